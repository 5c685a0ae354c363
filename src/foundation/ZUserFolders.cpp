#include "foundation/ZUserFolders.h"

#include <cstdio>
#include <string>

#include "foundation/ZAppInfo.h"
#include "platform/os/files.h"
#include "platform/os/system.h"

namespace {

// Deeper than any real folder tree; stops a folder link that points at its
// own parent from walking forever.
constexpr int kMaxListDepth = 64;

void AppendComponent(std::string& path, const char* component, bool create) {
    if (component == nullptr || component[0] == 0) {
        return;
    }
    path += '\\';
    path += component;
    if (create) {
        os::CreateFolder(path);
    }
}

// Splits folder + prefix + pattern at its last separator into the folder to
// search and the pattern to match, as a FindFirstFile search path reads.
void SplitSearchPath(const std::string& searchPath, std::string& folder, std::string& pattern) {
    const size_t cut = searchPath.find_last_of("\\/");
    if (cut == std::string::npos) {
        folder = ".";
        pattern = searchPath;
        return;
    }
    folder = searchPath.substr(0, cut + 1);
    pattern = searchPath.substr(cut + 1);
}

void Walk(const std::string& folder, const std::string& pattern, ZArray<ZString>& out, bool recurse,
          const std::string& prefix, bool listFolders, int depth) {
    std::string searchFolder;
    std::string searchPattern;
    SplitSearchPath(folder + prefix + pattern, searchFolder, searchPattern);
    if (searchPattern.empty()) {
        return;
    }
    // FindFiles already leaves out hidden entries, "." and "..".
    for (const os::FoundFile& found : os::FindFiles(searchFolder, searchPattern, false)) {
        const std::string name = prefix + found.name;
        if (!found.isFolder) {
            if (!listFolders) {
                out.PushBack(ZString(name.c_str()));
            }
            continue;
        }
        if (!recurse || depth >= kMaxListDepth) {
            continue;
        }
        if (listFolders) {
            out.PushBack(ZString(name.c_str()));
        }
        Walk(folder, pattern, out, recurse, name + "\\", listFolders, depth + 1);
    }
}

}  // namespace

ZString GetUserFolderPath(const char* gameFolder, const char* subFolder, bool create) {
    std::string path = os::DocumentsFolder();
    const ZAppInfo* info = ZAppInfo::GetInstance();
    const ZAppInfo defaults;
    if (info == nullptr) {
        info = &defaults;
    }
    AppendComponent(path, info->GetMyGamesFolderName(), create);
    AppendComponent(path, gameFolder, create);
    AppendComponent(path, subFolder, create);
    return ZString(path.c_str());
}

bool FileExists(const char* path) {
    if (path == nullptr || path[0] == 0) {
        return false;
    }
    std::FILE* file = os::OpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

void ListFiles(const char* folder, const char* pattern, ZArray<ZString>& out, bool recurse, const char* prefix) {
    Walk(folder ? folder : "", pattern ? pattern : "", out, recurse, prefix ? prefix : "", false, 0);
}

void ListSubFolders(const char* folder, const char* pattern, ZArray<ZString>& out, bool recurse,
                    const char* prefix) {
    Walk(folder ? folder : "", pattern ? pattern : "", out, recurse, prefix ? prefix : "", true, 0);
}
