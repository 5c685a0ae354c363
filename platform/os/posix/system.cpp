// Process and shell services on POSIX.

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/os/files.h"
#include "platform/os/hooks.h"
#include "platform/os/system.h"

extern char** environ;

namespace os {

namespace {

struct ErrorEntry {
    int error;
    const char* text;
};

// The error numbers the program can meet, in the words Windows users know.
const ErrorEntry kErrorTexts[] = {
    {0, "The operation completed successfully."},
    {EPERM, "Access is denied."},
    {ENOENT, "The system cannot find the file specified."},
    {EIO, "The request could not be performed because of an I/O device error."},
    {EBADF, "The handle is invalid."},
    {ENOMEM, "Not enough memory resources are available to process this command."},
    {EACCES, "Access is denied."},
    {EBUSY, "The process cannot access the file because it is being used by another process."},
    {EEXIST, "The file exists."},
    {EXDEV, "The system cannot move the file to a different disk drive."},
    {ENOTDIR, "The system cannot find the path specified."},
    {EISDIR, "Access is denied."},
    {EINVAL, "The parameter is incorrect."},
    {EMFILE, "The system cannot open the file."},
    {ENOSPC, "There is not enough space on the disk."},
    {EROFS, "The media is write protected."},
    {ENAMETOOLONG, "The filename or extension is too long."},
    {ENOTEMPTY, "The directory is not empty."},
};

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/";
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The value of one user-dirs.dirs line: a shell assignment whose value is
// "$HOME/..." or an absolute path, usually in double quotes.
std::string UserDirValue(std::string value, const std::string& home) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        std::string inner;
        for (std::size_t i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == '\\' && i + 2 < value.size()) {
                ++i;
            }
            inner += value[i];
        }
        value = inner;
    }
    for (const char* var : {"${HOME}", "$HOME"}) {
        const std::size_t length = std::strlen(var);
        if (value.compare(0, length, var) == 0 && (value.size() == length || value[length] == '/')) {
            value = home + value.substr(length);
            break;
        }
    }
    if (value.empty() || value[0] != '/') {
        return {};
    }
    while (value.size() > 1 && value.back() == '/') {
        value.pop_back();
    }
    return value;
}

std::string DocumentsFromUserDirs(const std::string& home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string path = (configHome && configHome[0] == '/') ? std::string(configHome) : home + "/.config";
    path += "/user-dirs.dirs";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return {};
    }
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    std::fclose(file);
    return DocumentsFromUserDirsText(text, home);
}

bool IsAddress(std::string_view target) {
    if (target.compare(0, 7, "mailto:") == 0) {
        return true;
    }
    const std::size_t scheme = target.find("://");
    if (scheme == std::string_view::npos || scheme == 0) {
        return false;
    }
    for (std::size_t i = 0; i < scheme; ++i) {
        const char c = target[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '+' || c == '-' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::string FindProgram(const char* name) {
    const char* pathEnv = std::getenv("PATH");
    const std::string path = pathEnv ? pathEnv : "/usr/local/bin:/usr/bin:/bin";
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = path.find(':', pos);
        std::string folder = path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + name;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) {
            return {};
        }
        pos = end + 1;
    }
}

bool NeedsQuotes(const std::string& word) {
    if (word.empty() || word[0] == '"' || word[0] == '\'') {
        return true;
    }
    return word.find_first_of(" \t\n\r\v\f") != std::string::npos;
}

}  // namespace

std::string ComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    std::string out(name);
    if (out.size() > 15) {
        out.resize(15);
    }
    return out;
}

bool DebugOutputEnabled() {
    const char* value = std::getenv(kDebugOutputVariable);
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

void DebugOutput(std::string_view text) {
    if (!DebugOutputEnabled()) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::string ErrorText(int error) {
    for (const ErrorEntry& entry : kErrorTexts) {
        if (entry.error == error) {
            return entry.text;
        }
    }
    char buffer[256] = {};
    return strerror_r(error, buffer, sizeof buffer);
}

std::string DocumentsFromUserDirsText(std::string_view text, const std::string& home) {
    static const std::string kKey = "XDG_DOCUMENTS_DIR";
    std::string found;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string line = Trim(std::string(text.substr(start, end - start)));
        start = end + 1;
        if (line.compare(0, kKey.size(), kKey) != 0) {
            continue;
        }
        const std::string rest = Trim(line.substr(kKey.size()));
        if (rest.empty() || rest[0] != '=') {
            continue;
        }
        // Later lines win, as they would in the shell.
        const std::string value = UserDirValue(rest.substr(1), home);
        if (!value.empty()) {
            found = value;
        }
    }
    return found;
}

std::string DocumentsFolder() {
    std::string folder;
    const char* fromEnv = std::getenv("XDG_DOCUMENTS_DIR");
    if (fromEnv && *fromEnv) {
        folder = fromEnv;
    } else {
        const std::string home = HomeFolder();
        folder = DocumentsFromUserDirs(home);
        if (folder.empty()) {
            folder = home + (home.back() == '/' ? "Documents" : "/Documents");
        }
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    // Windows makes the folder on request; callers then build below it.
    CreateFolders(folder);
    return folder;
}

bool OpenInShell(std::string_view target) {
    if (target.empty()) {
        return false;
    }
    std::string resolved = IsAddress(target) ? std::string(target) : FullPath(target);
    if (hooks::ShellOpener* opener = hooks::CurrentShellOpener()) {
        return opener->Open(resolved);
    }
    const std::string program = FindProgram("xdg-open");
    if (program.empty()) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The helper must never read the program's console.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    char arg0[] = "xdg-open";
    char* argv[] = {arg0, resolved.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return false;
    }
    // Collect the helper when it ends, without anyone waiting for it.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (i > 1) {
            line += ' ';
        }
        if (NeedsQuotes(word)) {
            const char quote = word.find('"') == std::string::npos ? '"' : '\'';
            line += quote;
            line += word;
            line += quote;
        } else {
            line += word;
        }
    }
    return line;
}

}  // namespace os
