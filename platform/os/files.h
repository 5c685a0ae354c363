#pragma once

// Files and folders: stands in for the C runtime's fopen family as Windows
// code uses it, the FindFirstFile walk, CreateDirectory, DeleteFile,
// GetModuleFileName, Get/SetCurrentDirectory and GetFullPathName.
//
// Every call takes Windows-habit paths: '\' becomes '/', and a path that does
// not exist exactly is looked up again component by component ignoring case,
// so data and user files named with other letter case are still found. A path
// opened for writing keeps the existing folders it matches and creates the new
// file under the name it was given. Errors are errno numbers (0 = success);
// a missing file is 2, which is also the Windows "file not found" code.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace os {

inline constexpr int kFileNotFound = 2;

// '\' to '/', nothing else.
std::string TranslatePath(std::string_view path);
// TranslatePath plus the case-insensitive lookup; the part that does not exist
// under any case is kept as given.
std::string ResolvePath(std::string_view path);

// fopen with a C runtime mode ("rb", "wb", "ab", "w+b", ...). Null on failure,
// with the errno number in *error when error is given (0 on success).
std::FILE* OpenFile(std::string_view path, const char* mode, int* error = nullptr);
// Bytes in an open file (its position is kept), or -1.
std::int64_t FileSize(std::FILE* file);
// Bytes in the file at path, or -1 when it does not open.
std::int64_t FileSize(std::string_view path);

bool Exists(std::string_view path);  // file or folder
bool IsFolder(std::string_view path);
// One folder; an existing folder is no error.
int CreateFolder(std::string_view path);
// The folder and every missing parent.
int CreateFolders(std::string_view path);
int DeleteFile(std::string_view path);
// Replaces an existing target, as rename() does.
int RenameFile(std::string_view from, std::string_view to);

struct FoundFile {
    std::string name;  // relative to the searched folder, '/' between folders
    bool isFolder = false;
};
// Entries of folder whose names match pattern ('*', '?', ignoring case; "*.*"
// matches every name). Hidden (dot) entries, "." and ".." are left out. With
// recurse set, every non-hidden sub-folder is searched too. Sorted ignoring
// case, as Windows lists them; empty when the folder does not open.
std::vector<FoundFile> FindFiles(std::string_view folder, std::string_view pattern, bool recurse = false);
// The wildcard test FindFiles applies: '*' any run, '?' one byte, ASCII case ignored.
bool MatchWildcard(std::string_view pattern, std::string_view name);

std::string ExecutablePath();
std::string ExecutableFolder();  // without a trailing '/'
std::string CurrentFolder();
int SetCurrentFolder(std::string_view path);
// Absolute, normalised form of path; the file need not exist.
std::string FullPath(std::string_view path);

// Replaces a user's file safely: the bytes go to a temporary file in the same
// folder, which is flushed to disk and then renamed over the target. On any
// failure the old file is left as it was and the temporary file is removed.
class AtomicFile {
public:
    explicit AtomicFile(std::string_view path);
    ~AtomicFile();  // abandons the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // The temporary file, for writers that print into it. Null when not open.
    std::FILE* File() const { return m_file; }
    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // 0 when the target now holds exactly what was written, else the errno
    // number of the first failure (the target is then untouched).
    int Commit();
    int Error() const { return m_error; }
    const std::string& Target() const { return m_target; }

private:
    void Discard();

    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    int m_fd = -1;
    int m_error = 0;
};

// AtomicFile in one call: 0 or the errno number.
int WriteFileAtomic(std::string_view path, const void* data, std::size_t size);

}  // namespace os
