#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

// The package layout (.zpk, and .kpk with the same layout), little-endian:
//   header  ".zpk", u16 version (2), u16 reserved (0), u32 TOC offset, u32 TOC size
//   data    each file's bytes stored whole, anywhere between header and TOC
//   TOC     256-byte entries: 248-byte zero-padded name, u32 data offset, u32 data size
// The older layout starts "zpk." followed directly by the TOC offset and size;
// it reads as version 0.
struct ZPackageHeader {
    static constexpr uint32_t kSize = 16;
    static constexpr uint32_t kOldSize = 12;
    static constexpr uint16_t kVersion = 2;

    char magic[4] = {'.', 'z', 'p', 'k'};
    uint16_t version = kVersion;
    uint16_t reserved = 0;
    uint32_t tocOffset = 0;
    uint32_t tocSize = 0;
};

struct ZPackageEntry {
    static constexpr uint32_t kSize = 256;
    static constexpr uint32_t kNameSize = 248;  // the name is always zero-terminated within it

    char name[kNameSize] = {};
    uint32_t offset = 0;  // in the TOC: where the data lie (or will lie after a write-back)
    uint32_t size = 0;
    // Not stored in the file:
    // where the data lie in the file held open now (differs from offset only
    // between Compact and WriteHeader);
    uint64_t heldOffset = 0;
    // the hash of the name as FindEntry compares it, so a search compares
    // whole names only where the hashes agree.
    uint32_t nameHash = 0;
};

// One opened package. Every size in the file is checked against the file's
// length: a header or TOC that does not fit gives a log line and the entries
// that do fit; an entry whose data lie outside the file is dropped. Reads
// through the held handle seek first, so reads of one package must not
// overlap (main thread).
class ZPackageFile {
public:
    ZPackageFile() = default;
    // Frees the path and entries and closes the held file, if still open.
    ~ZPackageFile();
    ZPackageFile(const ZPackageFile&) = delete;
    ZPackageFile& operator=(const ZPackageFile&) = delete;

    // When not open yet: keeps a copy of path, opens it "rb" and reads the
    // header and TOC. False when the file does not open, is not a package, or
    // the package was already open (it then keeps its path).
    bool Open(const char* path);
    // Closes the held file: 0, or the close's errno number. Clears both flags
    // on success.
    int Close();
    // Re-reads header and TOC from the held file; false when they are unusable
    // (the entries are then empty).
    bool ReadTOC();

    // Index of the first entry named name ignoring ASCII case ('/' and '\'
    // count as the same), or -1.
    int32_t FindEntry(const char* name) const;
    // The hash FindEntry compares first: equal for names FindEntry takes as equal.
    static uint32_t HashName(const char* name);
    // A new buffer of size + 1 bytes (freed with delete[]) ending in 0, and the
    // entry's size. False, with null and -1, when closed, missing or unreadable.
    bool ReadEntry(const char* name, char** outBuffer, int64_t* outSize);
    // A new "rb" handle on the package at the entry's first byte: 0, the errno
    // number when the package does not open, 2 when the entry is missing.
    int OpenEntry(const char* name, std::FILE** outFile) const;
    // The entry's size and offset and the package's path; false (with -1, -1,
    // null) when closed or missing.
    bool GetEntryLocation(const char* name, int64_t* outSize, int64_t* outOffset, const char** outPath) const;
    // Appends entry names in TOC order: "*suffix" (two characters or more)
    // keeps names ending in suffix ignoring case; any other pattern keeps all.
    void ListEntries(ZArray<ZString>& out, const char* pattern) const;

    // Drops an entry from the TOC and marks the package modified, so that the
    // shutdown write-back removes its bytes. False when missing.
    bool RemoveEntry(const char* name);

    // Moves the entries' data down to close every gap after the header and puts
    // the TOC behind the last data. Only offsets change here; WriteHeader moves
    // the bytes.
    void Compact();
    // Rewrites the package as the header and TOC now describe it, ending right
    // behind the TOC. The new file replaces the old one atomically and is held
    // open in its place. Refused (false) for the older layout, whose smaller
    // header would overwrite data, and for a package that is not open.
    bool WriteHeader();

    // Copies every entry out as a plain file under folder (created as needed),
    // or under the user's content-dump folder. Names that would leave the folder
    // ("..", absolute paths, drive letters) are refused with a log line.
    // Returns the number of files written.
    uint32_t DumpContent() const;
    uint32_t DumpContent(const char* folder) const;

    bool IsOpen() const { return m_isOpen; }
    // The table promised more than the file holds: entries were dropped.
    bool IsDamaged() const { return m_isDamaged; }
    bool IsModified() const { return m_isModified; }
    void SetModified(bool modified) { m_isModified = modified; }
    const char* GetPath() const { return m_path.GetText(); }
    const ZPackageHeader& GetHeader() const { return m_header; }
    uint32_t GetEntryCount() const { return m_entries.Count(); }
    const ZPackageEntry& GetEntry(uint32_t index) const { return m_entries[index]; }

    // True for a name that may be written under a folder: relative, no ".."
    // component, no drive letter, no empty name.
    static bool IsSafeRelativeName(const char* name);

private:
    bool m_isOpen = false;
    bool m_isDamaged = false;
    bool m_isModified = false;
    std::FILE* m_file = nullptr;
    ZString m_path;
    ZPackageHeader m_header;
    ZArray<ZPackageEntry> m_entries;
    uint64_t m_fileSize = 0;  // of the held file, for bounding every read
};
