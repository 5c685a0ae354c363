#include "foundation/ZPackageWriter.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "foundation/ZPackageFile.h"
#include "platform/os/files.h"
#include "foundation/ZLittleEndian.h"
#include "foundation/ZString.h"

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLowerASCII(a[i]) != ToLowerASCII(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ZPackageWriter::CheckName(std::string& name) {
    for (char& c : name) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (name.empty() || name.size() >= ZPackageEntry::kNameSize ||
        !ZPackageFile::IsSafeRelativeName(name.c_str())) {
        m_error = "unusable entry name \"" + name + "\"";
        return false;
    }
    for (const File& file : m_files) {
        if (SameNameNoCase(file.name, name)) {
            m_error = "two files named \"" + name + "\"";
            return false;
        }
    }
    return true;
}

bool ZPackageWriter::AddFile(const char* name, const char* sourcePath) {
    File file;
    file.name = name ? name : "";
    file.sourcePath = sourcePath ? sourcePath : "";
    if (!CheckName(file.name)) {
        return false;
    }
    if (file.sourcePath.empty()) {
        m_error = "no source file for \"" + file.name + "\"";
        return false;
    }
    m_files.push_back(std::move(file));
    return true;
}

bool ZPackageWriter::AddData(const char* name, const void* data, size_t size) {
    File file;
    file.name = name ? name : "";
    if (!CheckName(file.name)) {
        return false;
    }
    if (size > 0) {
        file.data.assign(static_cast<const char*>(data), size);
    }
    m_files.push_back(std::move(file));
    return true;
}

bool ZPackageWriter::Write(const char* path) {
    os::AtomicFile out(path ? path : "");
    if (!out.IsOpen()) {
        m_error = std::string("cannot create ") + (path ? path : "") + ": " + std::strerror(out.Error());
        return false;
    }
    unsigned char head[ZPackageHeader::kSize] = {};
    out.Write(head, sizeof(head));

    struct Placed {
        uint32_t offset;
        uint32_t size;
    };
    std::vector<Placed> placed;
    placed.reserve(m_files.size());
    uint64_t position = ZPackageHeader::kSize;
    std::unique_ptr<char[]> chunk(new char[kCopyChunk]);
    for (const File& file : m_files) {
        uint64_t size = 0;
        if (file.sourcePath.empty()) {
            out.Write(file.data.data(), file.data.size());
            size = file.data.size();
        } else {
            std::FILE* in = os::OpenFile(file.sourcePath, "rb");
            if (!in) {
                m_error = "cannot read " + file.sourcePath;
                return false;
            }
            size_t n = 0;
            while ((n = std::fread(chunk.get(), 1, kCopyChunk, in)) > 0) {
                out.Write(chunk.get(), n);
                size += n;
            }
            const bool failed = std::ferror(in) != 0;
            std::fclose(in);
            if (failed) {
                m_error = "cannot read " + file.sourcePath;
                return false;
            }
        }
        if (position + size > UINT32_MAX) {
            m_error = "the package would exceed 4 GB at \"" + file.name + "\"";
            return false;
        }
        placed.push_back({static_cast<uint32_t>(position), static_cast<uint32_t>(size)});
        position += size;
    }
    const uint64_t tocSize = uint64_t(m_files.size()) * ZPackageEntry::kSize;
    if (position + tocSize > UINT32_MAX) {
        m_error = "the package would exceed 4 GB";
        return false;
    }
    for (size_t i = 0; i < m_files.size(); ++i) {
        unsigned char raw[ZPackageEntry::kSize] = {};
        std::memcpy(raw, m_files[i].name.data(), m_files[i].name.size());
        StoreLE32(raw + ZPackageEntry::kNameSize, placed[i].offset);
        StoreLE32(raw + ZPackageEntry::kNameSize + 4, placed[i].size);
        out.Write(raw, sizeof(raw));
    }
    std::memcpy(head, ".zpk", 4);
    head[4] = static_cast<unsigned char>(ZPackageHeader::kVersion);
    StoreLE32(head + 8, static_cast<uint32_t>(position));
    StoreLE32(head + 12, static_cast<uint32_t>(tocSize));
    if (out.Error() == 0 && std::fseek(out.File(), 0, SEEK_SET) != 0) {
        m_error = std::string("cannot write ") + path;
        return false;
    }
    out.Write(head, sizeof(head));
    const int error = out.Commit();
    if (error != 0) {
        m_error = std::string("cannot write ") + path + ": " + std::strerror(error);
        return false;
    }
    return true;
}
