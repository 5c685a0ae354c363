// Path translation, the case-insensitive lookup and the wildcard folder walk.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/os/files.h"
#include "platform/os/posix/internal.h"

namespace os {

namespace posix {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(FoldCase(a[i]));
        const unsigned char cb = static_cast<unsigned char>(FoldCase(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace posix

namespace {

using posix::CompareNoCase;
using posix::EqualsNoCase;

bool EntryExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name ignoring case; the byte-wise
// smallest when several do, so the choice never depends on readdir order.
std::string FindNoCase(const std::string& folder, std::string_view name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return {};
    }
    std::string best;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (candidate == "." || candidate == "..") {
            continue;
        }
        if (EqualsNoCase(candidate, name) && (best.empty() || candidate < best)) {
            best = candidate;
        }
    }
    closedir(dir);
    return best;
}

std::string Join(const std::string& folder, std::string_view name) {
    std::string out = folder;
    if (!out.empty() && out.back() != '/') {
        out += '/';
    }
    out += name;
    return out;
}

bool IsFolderEntry(const std::string& folder, const dirent* entry) {
    if (entry->d_type == DT_DIR) {
        return true;
    }
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) {
        return false;
    }
    struct stat st;
    return stat(Join(folder, entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListedBefore(const std::string& a, const std::string& b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

void Walk(const std::string& folder, const std::string& prefix, std::string_view pattern, bool recurse,
          std::vector<FoundFile>& out) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return;
    }
    std::vector<FoundFile> entries;
    while (const dirent* entry = readdir(dir)) {
        // Dot files are the hidden files here; this also drops "." and "..".
        if (entry->d_name[0] == '.') {
            continue;
        }
        entries.push_back({entry->d_name, IsFolderEntry(folder, entry)});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FoundFile& a, const FoundFile& b) { return ListedBefore(a.name, b.name); });

    for (const FoundFile& entry : entries) {
        if (MatchWildcard(pattern, entry.name)) {
            out.push_back({prefix + entry.name, entry.isFolder});
        }
        if (recurse && entry.isFolder) {
            Walk(Join(folder, entry.name), prefix + entry.name + "/", pattern, recurse, out);
        }
    }
}

}  // namespace

std::string TranslatePath(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string ResolvePath(std::string_view path) {
    const std::string native = TranslatePath(path);
    if (native.empty() || EntryExists(native)) {
        return native;
    }

    std::string resolved = native[0] == '/' ? "/" : "";
    bool matching = true;
    std::size_t pos = 0;
    while (pos < native.size()) {
        std::size_t end = native.find('/', pos);
        if (end == std::string::npos) {
            end = native.size();
        }
        const std::string_view part(native.data() + pos, end - pos);
        pos = end + 1;
        if (part.empty()) {
            continue;
        }
        if (!resolved.empty() && resolved.back() != '/') {
            resolved += '/';
        }
        if (!matching || part == "." || part == "..") {
            resolved += part;
            continue;
        }
        std::string candidate = resolved;
        candidate += part;
        if (EntryExists(candidate)) {
            resolved = std::move(candidate);
            continue;
        }
        const std::string match = FindNoCase(resolved, part);
        if (match.empty()) {
            // Nothing further down can exist; keep the rest as given, so a
            // new file is created under the name the caller chose.
            matching = false;
            resolved += part;
        } else {
            resolved += match;
        }
    }
    if (native.back() == '/' && (resolved.empty() || resolved.back() != '/')) {
        resolved += '/';
    }
    return resolved;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    // Windows treats "*.*" as "everything", names without a dot included.
    if (pattern == "*.*") {
        pattern = "*";
    }
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || posix::FoldCase(pattern[p]) == posix::FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::vector<FoundFile> FindFiles(std::string_view folder, std::string_view pattern, bool recurse) {
    std::string base = TranslatePath(folder);
    std::string mask = TranslatePath(pattern);
    // A pattern may carry folders of its own ("Mods\\*.kpk").
    const std::size_t slash = mask.rfind('/');
    if (slash != std::string::npos) {
        if (!base.empty() && base.back() != '/') {
            base += '/';
        }
        base += mask.substr(0, slash);
        mask.erase(0, slash + 1);
    }
    base = ResolvePath(base);
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    std::vector<FoundFile> out;
    Walk(base, "", mask, recurse, out);
    return out;
}

std::string FullPath(std::string_view path) {
    if (path.empty()) {
        return {};
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(ResolvePath(path), ec);
    if (ec) {
        return {};
    }
    return absolute.lexically_normal().string();
}

}  // namespace os
