#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/ZDefNode.h"
#include "foundation/ZMap.h"

// Saved state: definition nodes under 32-bit keys (the ids of the things whose
// state they hold), read and written as a .zsd file (the autosave). File,
// little-endian: ".zsd", u16 major 1, u16 minor 1, u32 count of non-empty
// entries, then per entry in ascending (unsigned) key order a u32 key and the
// node in the definition-file layout. Entries of version 1.0 files (pair
// lists) are skipped, so such a file loads empty.
class ZStateStore {
public:
    using EntryMap = ZMap<uint32_t, ZDefNode>;

    ZStateStore() = default;
    virtual ~ZStateStore() = default;

    // Clears the store and reads the file when it exists. A truncated or
    // damaged file keeps the whole entries before the fault and logs a line.
    // True when the file existed and was read whole.
    virtual bool Load(const char* path);
    // Writes every non-empty entry, replacing the file atomically. False (with
    // a log line) when it cannot be written; the old file is then untouched.
    virtual bool Save(const char* path) const;
    virtual void Clear() { m_entries.Clear(); }

    // Load and Save on bytes in memory.
    bool LoadBytes(const void* data, size_t size, const char* what = nullptr);
    std::string SaveBytes() const;

    // A copy of the stored node, or an empty node when the key is absent.
    ZDefNode Get(uint32_t key) const;
    bool Has(uint32_t key) const { return m_entries.Contains(key); }
    // The stored node, inserted empty first when absent; callers fill it in
    // place. An entry left empty is not saved.
    ZDefNode& GetOrInsert(uint32_t key) { return m_entries[key]; }
    bool Remove(uint32_t key) { return m_entries.Remove(key); }
    uint32_t Count() const { return m_entries.Count(); }
    const EntryMap& GetEntries() const { return m_entries; }

private:
    EntryMap m_entries;
};

// The process-wide saved-state store, made empty on first use; shutdown
// destroys it.
ZStateStore* GetStateStore();
void DestroyStateStore();
// "autosave.zsd" in the user's Saves folder of the game folder (created on the
// way when create is set).
std::string GetAutosavePath(const char* gameFolder, bool create);
