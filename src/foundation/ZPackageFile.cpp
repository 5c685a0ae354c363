#include "foundation/ZPackageFile.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "foundation/ZLittleEndian.h"

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

// Entry names compare ignoring ASCII case and the kind of separator.
char FoldChar(char c) {
    return c == '/' ? '\\' : ToLowerASCII(c);
}

bool NamesEqual(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (FoldChar(*a) != FoldChar(*b)) {
            return false;
        }
        if (*a == 0) {
            return true;
        }
    }
}

bool EndsWithNoCase(const char* name, const char* suffix) {
    const size_t nameLength = std::strlen(name);
    const size_t suffixLength = std::strlen(suffix);
    if (suffixLength > nameLength) {
        return false;
    }
    const char* tail = name + nameLength - suffixLength;
    for (size_t i = 0; i < suffixLength; ++i) {
        if (FoldChar(tail[i]) != FoldChar(suffix[i])) {
            return false;
        }
    }
    return true;
}

// Reads exactly n bytes at offset; false on a failed seek or a short read.
bool ReadAt(std::FILE* file, uint64_t offset, void* out, size_t n) {
    if (!file || fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    return n == 0 || std::fread(out, 1, n, file) == n;
}

// Copies n bytes from offset of in to the current position of out.
bool CopyBytes(std::FILE* in, uint64_t offset, uint64_t n, os::AtomicFile& out) {
    if (fseeko(in, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    std::unique_ptr<char[]> chunk(new char[kCopyChunk]);
    while (n > 0) {
        const size_t step = n < kCopyChunk ? static_cast<size_t>(n) : kCopyChunk;
        if (std::fread(chunk.get(), 1, step, in) != step || !out.Write(chunk.get(), step)) {
            return false;
        }
        n -= step;
    }
    return true;
}

}  // namespace

ZPackageFile::~ZPackageFile() {
    if (m_file) {
        std::fclose(m_file);
    }
}

bool ZPackageFile::Open(const char* path) {
    // The path names the held file, so an open package keeps its own.
    if (m_isOpen) {
        return false;
    }
    m_path = path;
    m_file = os::OpenFile(m_path.GetText(), "rb");
    if (!m_file) {
        return false;
    }
    m_isModified = false;
    m_isOpen = true;
    if (!ReadTOC()) {
        // Not a package: nothing in it can be trusted, so it holds nothing.
        Close();
        m_isOpen = false;
        return false;
    }
    return true;
}

int ZPackageFile::Close() {
    if (!m_file) {
        m_isOpen = false;
        m_isModified = false;
        return 0;
    }
    const int result = std::fclose(m_file) == 0 ? 0 : (errno ? errno : EIO);
    m_file = nullptr;
    // The stream is gone either way; the flags say whether it went cleanly.
    if (result == 0) {
        m_isOpen = false;
        m_isModified = false;
    }
    return result;
}

bool ZPackageFile::ReadTOC() {
    m_entries.Clear();
    m_isDamaged = false;
    m_header = ZPackageHeader();
    const char* path = m_path.GetText();
    const int64_t fileSize = os::FileSize(m_file);
    if (fileSize < 0) {
        ZLog::Printf("ZPackageFile::ReadTOC: cannot tell the size of %s", path);
        return false;
    }
    m_fileSize = static_cast<uint64_t>(fileSize);

    unsigned char head[ZPackageHeader::kSize] = {};
    const size_t headBytes = m_fileSize < sizeof(head) ? static_cast<size_t>(m_fileSize) : sizeof(head);
    if (!ReadAt(m_file, 0, head, headBytes)) {
        ZLog::Printf("ZPackageFile::ReadTOC: cannot read the header of %s", path);
        return false;
    }
    // Anything else is refused: a stray file with a package's name must not
    // have its bytes taken for a table.
    if (headBytes >= ZPackageHeader::kSize && std::memcmp(head, ".zpk", 4) == 0) {
        std::memcpy(m_header.magic, head, 4);
        m_header.version = LoadLE16(head + 4);
        m_header.reserved = 0;
        m_header.tocOffset = LoadLE32(head + 8);
        m_header.tocSize = LoadLE32(head + 12);
    } else if (headBytes >= ZPackageHeader::kOldSize && std::memcmp(head, "zpk.", 4) == 0) {
        std::memcpy(m_header.magic, head, 4);
        m_header.version = 0;
        m_header.tocOffset = LoadLE32(head + 4);
        m_header.tocSize = LoadLE32(head + 8);
    } else {
        ZLog::Printf("ZPackageFile::ReadTOC: %s is not a package (bad header)", path);
        return false;
    }

    uint32_t count = m_header.tocSize / ZPackageEntry::kSize;
    const uint64_t available =
        m_header.tocOffset <= m_fileSize ? (m_fileSize - m_header.tocOffset) / ZPackageEntry::kSize : 0;
    if (count > available) {
        ZLog::Printf("ZPackageFile::ReadTOC: %s is truncated: its table lists %u entries, the file holds %u",
                     path, count, static_cast<uint32_t>(available));
        count = static_cast<uint32_t>(available);
        m_isDamaged = true;
    }
    if (count == 0) {
        return true;
    }

    std::unique_ptr<unsigned char[]> table(new unsigned char[size_t(count) * ZPackageEntry::kSize]);
    if (!ReadAt(m_file, m_header.tocOffset, table.get(), size_t(count) * ZPackageEntry::kSize)) {
        ZLog::Printf("ZPackageFile::ReadTOC: cannot read the table of %s", path);
        m_isDamaged = true;
        return true;
    }
    m_entries.Resize(count);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* raw = table.get() + size_t(i) * ZPackageEntry::kSize;
        ZPackageEntry& entry = m_entries[kept];
        std::memcpy(entry.name, raw, ZPackageEntry::kNameSize);
        entry.name[ZPackageEntry::kNameSize - 1] = 0;
        entry.offset = LoadLE32(raw + ZPackageEntry::kNameSize);
        entry.size = LoadLE32(raw + ZPackageEntry::kNameSize + 4);
        entry.heldOffset = entry.offset;
        entry.nameHash = HashName(entry.name);
        if (uint64_t(entry.offset) + entry.size > m_fileSize) {
            ZLog::Printf("ZPackageFile::ReadTOC: %s: entry \"%s\" lies outside the file; skipped", path,
                         entry.name);
            m_isDamaged = true;
            continue;
        }
        ++kept;
    }
    m_entries.Resize(kept);
    return true;
}

uint32_t ZPackageFile::HashName(const char* name) {
    uint32_t hash = 2166136261u;
    for (; *name; ++name) {
        hash = (hash ^ static_cast<unsigned char>(FoldChar(*name))) * 16777619u;
    }
    return hash;
}

int32_t ZPackageFile::FindEntry(const char* name) const {
    if (!name) {
        return -1;
    }
    const uint32_t hash = HashName(name);
    for (uint32_t i = 0; i < m_entries.Count(); ++i) {
        if (m_entries[i].nameHash == hash && NamesEqual(m_entries[i].name, name)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool ZPackageFile::ReadEntry(const char* name, char** outBuffer, int64_t* outSize) {
    *outBuffer = nullptr;
    *outSize = -1;
    if (!m_isOpen) {
        return false;
    }
    const int32_t index = FindEntry(name);
    if (index < 0) {
        return false;
    }
    const ZPackageEntry& entry = m_entries[static_cast<uint32_t>(index)];
    char* buffer = new char[size_t(entry.size) + 1];
    if (!ReadAt(m_file, entry.heldOffset, buffer, entry.size)) {
        ZLog::Printf("ZPackageFile::ReadEntry: cannot read \"%s\" from %s", entry.name, m_path.GetText());
        delete[] buffer;
        return false;
    }
    buffer[entry.size] = 0;
    *outBuffer = buffer;
    *outSize = entry.size;
    return true;
}

int ZPackageFile::OpenEntry(const char* name, std::FILE** outFile) const {
    *outFile = nullptr;
    const int32_t index = m_isOpen ? FindEntry(name) : -1;
    if (index < 0) {
        return os::kFileNotFound;
    }
    int error = 0;
    std::FILE* file = os::OpenFile(m_path.GetText(), "rb", &error);
    if (!file) {
        return error ? error : EIO;
    }
    if (fseeko(file, static_cast<off_t>(m_entries[static_cast<uint32_t>(index)].heldOffset), SEEK_SET) != 0) {
        const int seekError = errno ? errno : EIO;
        std::fclose(file);
        return seekError;
    }
    *outFile = file;
    return 0;
}

bool ZPackageFile::GetEntryLocation(const char* name, int64_t* outSize, int64_t* outOffset,
                                    const char** outPath) const {
    *outSize = -1;
    *outOffset = -1;
    *outPath = nullptr;
    const int32_t index = m_isOpen ? FindEntry(name) : -1;
    if (index < 0) {
        return false;
    }
    const ZPackageEntry& entry = m_entries[static_cast<uint32_t>(index)];
    *outSize = entry.size;
    *outOffset = static_cast<int64_t>(entry.heldOffset);
    *outPath = m_path.GetText();
    return true;
}

void ZPackageFile::ListEntries(ZArray<ZString>& out, const char* pattern) const {
    const bool bySuffix = pattern && pattern[0] == '*' && pattern[1] != 0;
    for (const ZPackageEntry& entry : m_entries) {
        if (!bySuffix || EndsWithNoCase(entry.name, pattern + 1)) {
            out.PushBack(ZString(entry.name));
        }
    }
}

bool ZPackageFile::RemoveEntry(const char* name) {
    const int32_t index = FindEntry(name);
    if (index < 0) {
        return false;
    }
    m_entries.RemoveAt(static_cast<uint32_t>(index));
    m_isModified = true;
    return true;
}

void ZPackageFile::Compact() {
    uint64_t position = ZPackageHeader::kSize;
    for (;;) {
        // Skip over data that already sit at the position (overlapping entries
        // keep sharing their bytes).
        bool covered = false;
        for (const ZPackageEntry& entry : m_entries) {
            if (entry.offset <= position && position < uint64_t(entry.offset) + entry.size) {
                position = uint64_t(entry.offset) + entry.size;
                covered = true;
                break;
            }
        }
        if (covered) {
            continue;
        }
        uint64_t next = UINT64_MAX;
        for (const ZPackageEntry& entry : m_entries) {
            if (entry.offset > position && entry.offset < next) {
                next = entry.offset;
            }
        }
        if (next == UINT64_MAX) {
            break;
        }
        // Everything above the gap moves down as one block.
        const uint32_t gap = static_cast<uint32_t>(next - position);
        for (ZPackageEntry& entry : m_entries) {
            if (entry.offset > position) {
                entry.offset -= gap;
            }
        }
    }
    m_header.tocOffset = static_cast<uint32_t>(position);
    m_header.tocSize = m_entries.Count() * ZPackageEntry::kSize;
}

bool ZPackageFile::WriteHeader() {
    const char* path = m_path.GetText();
    if (!m_isOpen || !m_file) {
        return false;
    }
    if (std::memcmp(m_header.magic, ".zpk", 4) != 0) {
        ZLog::Printf("ZPackageFile::WriteHeader: %s has the older layout; not written back", path);
        return false;
    }
    const uint32_t count = m_entries.Count();
    const uint64_t tocOffset = m_header.tocOffset;
    const uint64_t tocEnd = tocOffset + uint64_t(count) * ZPackageEntry::kSize;
    if (tocOffset < ZPackageHeader::kSize || tocEnd > UINT32_MAX) {
        ZLog::Printf("ZPackageFile::WriteHeader: %s: the table cannot lie at %llu; not written back", path,
                     static_cast<unsigned long long>(tocOffset));
        return false;
    }
    // The rewritten file keeps only header, data and table: data elsewhere
    // would be cut off or overwritten.
    for (const ZPackageEntry& entry : m_entries) {
        if (entry.size != 0 &&
            (entry.offset < ZPackageHeader::kSize || uint64_t(entry.offset) + entry.size > tocOffset)) {
            ZLog::Printf(
                "ZPackageFile::WriteHeader: %s: data of \"%s\" lie outside header and table; not written "
                "back",
                path, entry.name);
            return false;
        }
    }
    m_header.tocSize = count * ZPackageEntry::kSize;

    // Written whole to a new file that replaces the old one only when complete.
    os::AtomicFile out(path);
    bool ok = out.IsOpen();
    unsigned char head[ZPackageHeader::kSize] = {};
    ok = ok && out.Write(head, sizeof(head));
    const uint64_t keep = tocOffset < m_fileSize ? tocOffset : m_fileSize;
    if (ok && keep > ZPackageHeader::kSize) {
        ok = CopyBytes(m_file, ZPackageHeader::kSize, keep - ZPackageHeader::kSize, out);
    }
    for (const ZPackageEntry& entry : m_entries) {
        if (!ok) {
            break;
        }
        if (entry.heldOffset != entry.offset && entry.size != 0) {
            ok = fseeko(out.File(), static_cast<off_t>(entry.offset), SEEK_SET) == 0 &&
                 CopyBytes(m_file, entry.heldOffset, entry.size, out);
        }
    }
    std::memcpy(head, m_header.magic, 4);
    StoreLE16(head + 4, m_header.version);
    StoreLE16(head + 6, 0);
    StoreLE32(head + 8, m_header.tocOffset);
    StoreLE32(head + 12, m_header.tocSize);
    ok = ok && fseeko(out.File(), 0, SEEK_SET) == 0 && out.Write(head, sizeof(head));
    ok = ok && fseeko(out.File(), static_cast<off_t>(tocOffset), SEEK_SET) == 0;
    for (const ZPackageEntry& entry : m_entries) {
        if (!ok) {
            break;
        }
        unsigned char raw[ZPackageEntry::kSize] = {};
        std::memcpy(raw, entry.name, ZPackageEntry::kNameSize);
        StoreLE32(raw + ZPackageEntry::kNameSize, entry.offset);
        StoreLE32(raw + ZPackageEntry::kNameSize + 4, entry.size);
        ok = out.Write(raw, sizeof(raw));
    }
    const int error = ok ? out.Commit() : (out.Error() ? out.Error() : EIO);
    if (error != 0) {
        ZLog::Printf("ZPackageFile::WriteHeader: cannot rewrite %s: %s", path, std::strerror(error));
        return false;
    }

    // Hold the new file in place of the replaced one.
    std::fclose(m_file);
    m_file = os::OpenFile(path, "rb");
    if (!m_file) {
        ZLog::Printf("ZPackageFile::WriteHeader: cannot reopen %s", path);
        m_isOpen = false;
        return false;
    }
    m_fileSize = tocEnd;
    for (ZPackageEntry& entry : m_entries) {
        entry.heldOffset = entry.offset;
    }
    return true;
}

bool ZPackageFile::IsSafeRelativeName(const char* name) {
    if (!name || !*name || name[0] == '\\' || name[0] == '/') {
        return false;
    }
    // ':' covers drive letters and stream names; neither belongs in a data name.
    if (std::strchr(name, ':')) {
        return false;
    }
    const char* part = name;
    for (const char* p = name;; ++p) {
        if (*p == '\\' || *p == '/' || *p == 0) {
            if (p - part == 2 && part[0] == '.' && part[1] == '.') {
                return false;
            }
            if (*p == 0) {
                return true;
            }
            part = p + 1;
        }
    }
}

uint32_t ZPackageFile::DumpContent() const {
    const ZAppInfo* info = ZAppInfo::GetInstance();
    if (!info) {
        return 0;
    }
    const ZString folder = GetUserFolderPath(info->GetGameFolderName(), info->GetContentDumpFolder(), true);
    return DumpContent(folder.GetText());
}

uint32_t ZPackageFile::DumpContent(const char* folder) const {
    if (!m_isOpen || !folder) {
        return 0;
    }
    std::FILE* in = os::OpenFile(m_path.GetText(), "rb");
    if (!in) {
        ZLog::Printf("ZPackageFile::DumpContent: cannot open %s", m_path.GetText());
        return 0;
    }
    std::string base = os::TranslatePath(folder);
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    uint32_t written = 0;
    for (const ZPackageEntry& entry : m_entries) {
        if (!IsSafeRelativeName(entry.name)) {
            ZLog::Printf("ZPackageFile::DumpContent: refused unsafe name \"%s\" in %s", entry.name,
                         m_path.GetText());
            continue;
        }
        const std::string target = base + os::TranslatePath(entry.name);
        const size_t slash = target.rfind('/');
        if (slash != std::string::npos && slash > 0) {
            os::CreateFolders(target.substr(0, slash));
        }
        os::AtomicFile out(target);
        const int error = CopyBytes(in, entry.heldOffset, entry.size, out)
                              ? out.Commit()
                              : (out.Error() ? out.Error() : EIO);
        if (error != 0) {
            ZLog::Printf("ZPackageFile::DumpContent: cannot write %s: %s", target.c_str(),
                         std::strerror(error));
            continue;
        }
        ++written;
    }
    std::fclose(in);
    return written;
}
