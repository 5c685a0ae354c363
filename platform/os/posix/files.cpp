// Files and folders on POSIX, and the atomic file replace.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os/files.h"
#include "platform/os/hooks.h"
#include "platform/os/posix/internal.h"

namespace os {

namespace posix {

bool IsWriteMode(const char* mode) {
    return mode && (std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+'));
}

namespace {

// The stream the caller sees wraps the real one; only writes are refused.
ssize_t FullRead(void* cookie, char* buffer, std::size_t size) {
    std::FILE* inner = static_cast<std::FILE*>(cookie);
    const std::size_t got = std::fread(buffer, 1, size, inner);
    return (got == 0 && std::ferror(inner)) ? -1 : static_cast<ssize_t>(got);
}

ssize_t FullWrite(void*, const char*, std::size_t) {
    errno = ENOSPC;
    return 0;
}

int FullSeek(void* cookie, off64_t* offset, int whence) {
    std::FILE* inner = static_cast<std::FILE*>(cookie);
    if (fseeko(inner, *offset, whence) != 0) {
        return -1;
    }
    *offset = ftello(inner);
    return 0;
}

int FullClose(void* cookie) {
    return std::fclose(static_cast<std::FILE*>(cookie));
}

}  // namespace

std::FILE* ApplyDiskFull(std::FILE* file, const char* mode) {
    if (!file || !hooks::IsDiskFull() || !IsWriteMode(mode)) {
        return file;
    }
    cookie_io_functions_t io = {};
    io.read = FullRead;
    io.write = FullWrite;
    io.seek = FullSeek;
    io.close = FullClose;
    std::FILE* wrapped = fopencookie(file, mode, io);
    if (!wrapped) {
        std::fclose(file);
    }
    return wrapped;
}

}  // namespace posix

namespace {

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string ReadLink(const char* path) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = readlink(path, buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::FILE* OpenFile(std::string_view path, const char* mode, int* error) {
    int err = 0;
    std::FILE* file = nullptr;
    if (!mode || !*mode) {
        err = EINVAL;
    } else if (path.empty()) {
        err = ENOENT;
    } else {
        const std::string native = ResolvePath(path);
        file = std::fopen(native.c_str(), mode);
        if (!file) {
            err = errno;
        } else {
            // Windows refuses to open a folder as a file; Linux would open it
            // and fail on the first read.
            struct stat st;
            if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
                std::fclose(file);
                file = nullptr;
                err = EISDIR;
            } else {
                file = posix::ApplyDiskFull(file, mode);
                if (!file) {
                    err = errno ? errno : EIO;
                }
            }
        }
    }
    if (error) {
        *error = err;
    }
    return file;
}

std::int64_t FileSize(std::FILE* file) {
    if (!file) {
        return -1;
    }
    const off_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const off_t size = ftello(file);
    fseeko(file, here, SEEK_SET);
    return size;
}

std::int64_t FileSize(std::string_view path) {
    if (path.empty()) {
        return -1;
    }
    const int fd = open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return ok ? static_cast<std::int64_t>(st.st_size) : -1;
}

bool Exists(std::string_view path) {
    struct stat st;
    return !path.empty() && stat(ResolvePath(path).c_str(), &st) == 0;
}

bool IsFolder(std::string_view path) {
    struct stat st;
    return !path.empty() && stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int CreateFolder(std::string_view path) {
    if (path.empty()) {
        return ENOENT;
    }
    const std::string native = ResolvePath(path);
    if (mkdir(native.c_str(), 0777) == 0) {
        return 0;
    }
    const int err = errno;
    struct stat st;
    return (err == EEXIST && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? 0 : err;
}

int CreateFolders(std::string_view path) {
    const std::string native = ResolvePath(path);
    if (native.empty()) {
        return ENOENT;
    }
    // Each level in turn, so that existing levels under other case are used.
    for (std::size_t pos = native.find('/', 1); pos != std::string::npos; pos = native.find('/', pos + 1)) {
        if (native[pos - 1] == '/') {
            continue;
        }
        const int err = CreateFolder(native.substr(0, pos));
        if (err != 0) {
            return err;
        }
    }
    return native.back() == '/' ? 0 : CreateFolder(native);
}

int DeleteFile(std::string_view path) {
    if (path.empty()) {
        return ENOENT;
    }
    return unlink(ResolvePath(path).c_str()) == 0 ? 0 : errno;
}

int RenameFile(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) {
        return ENOENT;
    }
    return std::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0 ? 0 : errno;
}

std::string ExecutablePath() {
    return ReadLink("/proc/self/exe");
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

std::string CurrentFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

int SetCurrentFolder(std::string_view path) {
    if (path.empty()) {
        return ENOENT;
    }
    return chdir(ResolvePath(path).c_str()) == 0 ? 0 : errno;
}

AtomicFile::AtomicFile(std::string_view path) : m_target(ResolvePath(path)) {
    if (m_target.empty()) {
        m_error = ENOENT;
        return;
    }
    // Through a symbolic link, the file it names is the one replaced.
    struct stat st;
    if (lstat(m_target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(m_target.c_str(), nullptr)) {
            m_target = real;
            std::free(real);
        }
    }
    bool keepMode = false;
    mode_t mode = 0;
    if (stat(m_target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            m_error = EISDIR;
            return;
        }
        keepMode = true;
        mode = st.st_mode & 07777;
    }
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    if (base.empty()) {
        m_error = EISDIR;
        return;
    }
    // A hidden name, so a folder listing never shows a half-written file; cut
    // so that the decoration still fits the system's name limit.
    base.resize(std::min<std::size_t>(base.size(), 200));
    static std::atomic<unsigned> counter{0};
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp =
            folder + "." + base + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
        m_fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        err = errno;
        if (m_fd >= 0 || err != EEXIST) {
            break;
        }
    }
    if (m_fd < 0) {
        m_error = err;
        m_temp.clear();
        return;
    }
    if (keepMode) {
        fchmod(m_fd, mode);
    }
    m_file = fdopen(m_fd, "wb");
    if (m_file) {
        m_file = posix::ApplyDiskFull(m_file, "wb");
    } else {
        close(m_fd);
    }
    if (!m_file) {
        m_error = errno ? errno : EIO;
        m_fd = -1;
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (!m_file) {
        if (m_error == 0) {
            m_error = EBADF;
        }
        return false;
    }
    if (m_error != 0) {
        return false;
    }
    errno = 0;
    if (size != 0 && std::fwrite(data, 1, size, m_file) != size) {
        m_error = errno ? errno : EIO;
        return false;
    }
    return true;
}

int AtomicFile::Commit() {
    if (!m_file) {
        return m_error != 0 ? m_error : EBADF;
    }
    if (m_error == 0) {
        errno = 0;
        if (std::fflush(m_file) != 0) {
            m_error = errno ? errno : EIO;
        } else if (std::ferror(m_file)) {
            // A writer printing through File() failed earlier.
            m_error = EIO;
        }
    }
    if (m_error == 0 && fsync(m_fd) != 0) {
        m_error = errno;
    }
    const int closed = std::fclose(m_file);
    const int closeError = errno;
    m_file = nullptr;
    m_fd = -1;
    if (m_error == 0 && closed != 0) {
        m_error = closeError;
    }
    if (m_error == 0 && std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        m_error = errno;
    }
    if (m_error != 0) {
        Discard();
        return m_error;
    }
    m_temp.clear();
    const std::size_t slash = m_target.rfind('/');
    SyncFolder(slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1));
    return 0;
}

int WriteFileAtomic(std::string_view path, const void* data, std::size_t size) {
    AtomicFile file(path);
    file.Write(data, size);
    return file.Commit();
}

}  // namespace os
