#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <mutex>
#include <vector>

// Distribution of the texts over the buckets, for the statistics command.
struct ZHashedStringStats {
    int32_t rows = 0;
    int32_t count = 0;
    float mean = 0.0f;
    int32_t minimum = 0;
    int32_t maximum = 0;
    float variance = 0.0f;
    float standardDeviation = 0.0f;
};

// The process-wide store of hashed-name texts: 1024 buckets, each a chain that
// only grows at its tail, so an entry's position (and its id) never changes.
// Any thread may intern or read back; reads take no lock, appends take one.
class ZHashedStringTable {
public:
    static constexpr uint32_t kBucketCount = 1024;

    // The table, created on first use (with "NULL" as its first entry).
    static ZHashedStringTable* GetInstance();
    // The table if one exists, without making one.
    static ZHashedStringTable* PeekInstance();
    // Frees the table at shutdown, once no other thread uses it. The next
    // interning makes a new table; ids made before no longer mean anything.
    static void DestroyInstance();

    // A fresh table holds only "NULL"; the process uses GetInstance's.
    ZHashedStringTable();
    ~ZHashedStringTable();
    ZHashedStringTable(const ZHashedStringTable&) = delete;
    ZHashedStringTable& operator=(const ZHashedStringTable&) = delete;

    // The folded hash and the length of the part of a text the table keeps
    // (its first 255 bytes). Texts equal ignoring ASCII case share both.
    struct Key {
        uint32_t hash = 0;
        uint32_t length = 0;
    };
    static Key MakeKey(const char* text);

    // Position of the text in the bucket's chain, appended when absent. Only the
    // first 255 bytes are kept and compared. Without case sensitivity the first
    // entry equal ignoring ASCII case matches.
    uint32_t FindOrInsert(const char* text, uint32_t bucket, bool caseSensitive);
    // The same with the text's key made already (MakeKey of the same text).
    uint32_t FindOrInsert(const char* text, const Key& key, uint32_t bucket, bool caseSensitive);
    // The text at that position, or null when the chain has no such entry. The
    // text stays valid until the table is destroyed.
    const char* GetTextAt(uint32_t bucket, int32_t index) const;

    ZHashedStringStats GetStats() const;

private:
    // Each entry keeps its key beside the text, so a lookup compares whole
    // texts only where hash and length already agree.
    struct Entry {
        Key key;
        const char* text = nullptr;  // own copy, zero-terminated, at most 255 bytes
    };
    // A chain is a list of blocks that only grows at its tail: entries never
    // move, so readers walk the first `count` entries without the lock, and
    // only appending takes it.
    static constexpr uint32_t kBlockEntries = 8;
    struct Block {
        Entry entries[kBlockEntries];
        std::atomic<Block*> next{nullptr};
    };
    struct Chain {
        std::atomic<uint32_t> count{0};  // published after the entry is complete
        std::atomic<Block*> first{nullptr};
        Block* last = nullptr;  // written under the lock only
    };

    // A side index over all entries, keyed by the full hash, so a lookup does
    // not walk a bucket's chain (at thousands of names the 1024 buckets make
    // long chains). Ids stay bucket-based; a slot only says where the entry is.
    // Open addressing with linear probing and no removal: texts sharing a hash
    // meet in the order they were appended, which is their order in the chain,
    // so the first match is the chain's first match. A full index is rebuilt
    // at twice the size under the lock; readers still on an old one see a
    // consistent older view, and old ones are kept until the table goes.
    struct Slot {
        std::atomic<const Entry*> entry{nullptr};  // published last; null ends a probe
        uint32_t hash = 0;
        uint32_t id = 0;  // (position << 10) ^ bucket, as the name's id
    };
    struct Index {
        // size is a power of two, at least 2.
        explicit Index(uint32_t size)
            : mask(size - 1), shift(static_cast<uint32_t>(32 - std::countr_zero(size))), slots(new Slot[size]) {}
        ~Index() { delete[] slots; }
        Index(const Index&) = delete;
        Index& operator=(const Index&) = delete;
        // The first slot to probe: the hash's digits spread over the index
        // (names that differ in their last letter differ little in hash).
        uint32_t Home(uint32_t hash) const { return (hash * 2654435769u) >> shift; }
        uint32_t mask;
        uint32_t shift;
        Slot* slots;
    };

    // Position of the text in the bucket's chain, or -1.
    static int64_t Find(const Index& index, const char* text, const Key& key, uint32_t bucket,
                        bool caseSensitive);
    // Enters an appended entry into the index, growing it first when half full.
    void AddToIndex(const Entry* entry, uint32_t bucket, uint32_t position);
    static void PlaceInIndex(Index& index, const Entry* entry, uint32_t bucket, uint32_t position);

    std::mutex appendMutex;
    Chain chains[kBucketCount];
    std::atomic<Index*> index{nullptr};
    uint32_t indexed = 0;               // entries in the index, under the lock
    std::vector<Index*> retiredIndexes;  // outgrown, freed with the table
};
