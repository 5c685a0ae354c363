#include "foundation/ZHashedStringTable.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

namespace {

std::atomic<ZHashedStringTable*> gTable{nullptr};
std::mutex gCreateMutex;  // constant-initialised, so usable during static start-up

bool SameIgnoringCase(const char* a, const char* b, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        if (a[i] != b[i] && ToLowerASCII(a[i]) != ToLowerASCII(b[i])) {
            return false;
        }
    }
    return true;
}

// Most lookups spell a name as it was first interned, so the plain compare
// comes first.
bool SameText(const char* a, const char* b, uint32_t length, bool caseSensitive) {
    return std::memcmp(a, b, length) == 0 || (!caseSensitive && SameIgnoringCase(a, b, length));
}

// A byte as the hash adds it: read as signed, ASCII capitals folded.
uint32_t FoldedByte(char byte) {
    const int32_t c = static_cast<signed char>(byte);
    return static_cast<uint32_t>(c + (static_cast<uint32_t>(c - 'A') < 26u ? 32 : 0));
}

constexpr uint32_t kInitialIndexSize = 4096;

}  // namespace

ZHashedStringTable* ZHashedStringTable::GetInstance() {
    ZHashedStringTable* table = gTable.load(std::memory_order_acquire);
    if (table != nullptr) {
        return table;
    }
    std::lock_guard<std::mutex> lock(gCreateMutex);
    table = gTable.load(std::memory_order_relaxed);
    if (table == nullptr) {
        table = new ZHashedStringTable();
        gTable.store(table, std::memory_order_release);
    }
    return table;
}

ZHashedStringTable* ZHashedStringTable::PeekInstance() {
    return gTable.load(std::memory_order_acquire);
}

void ZHashedStringTable::DestroyInstance() {
    std::lock_guard<std::mutex> lock(gCreateMutex);
    delete gTable.exchange(nullptr, std::memory_order_acq_rel);
}

ZHashedStringTable::ZHashedStringTable() : index(new Index(kInitialIndexSize)) {
    // "NULL" is the first text of every table, which makes the none id a constant.
    FindOrInsert("NULL", ZHashedString::NoneId(), false);
}

ZHashedStringTable::~ZHashedStringTable() {
    for (Chain& chain : chains) {
        const uint32_t count = chain.count.load(std::memory_order_acquire);
        Block* block = chain.first.load(std::memory_order_acquire);
        for (uint32_t i = 0; block != nullptr; ++i) {
            if (i < count) {
                delete[] block->entries[i % kBlockEntries].text;
            }
            if (i % kBlockEntries == kBlockEntries - 1 || i + 1 >= count) {
                Block* next = block->next.load(std::memory_order_acquire);
                delete block;
                block = next;
            }
        }
    }
    delete index.load(std::memory_order_acquire);
    for (Index* old : retiredIndexes) {
        delete old;
    }
}

ZHashedStringTable::Key ZHashedStringTable::MakeKey(const char* text) {
    // The case-folded hash of the ids, over the kept part of the text only.
    // Four bytes a step (h * 33^4 + ...) give the same sum as one at a time,
    // without every byte waiting on the one before.
    Key key;
    key.length = static_cast<uint32_t>(strnlen(text, ZHashedString::kMaxTextLength));
    uint32_t h = 5381;
    uint32_t i = 0;
    for (; i + 4 <= key.length; i += 4) {
        h = h * 1185921u + FoldedByte(text[i]) * 35937u + FoldedByte(text[i + 1]) * 1089u +
            FoldedByte(text[i + 2]) * 33u + FoldedByte(text[i + 3]);
    }
    for (; i < key.length; ++i) {
        h = h * 33 + FoldedByte(text[i]);
    }
    key.hash = h;
    return key;
}

uint32_t ZHashedStringTable::FindOrInsert(const char* text, uint32_t bucket, bool caseSensitive) {
    return FindOrInsert(text, MakeKey(text), bucket, caseSensitive);
}

int64_t ZHashedStringTable::Find(const Index& index, const char* text, const Key& key, uint32_t bucket,
                                 bool caseSensitive) {
    // The index is never more than half full, so every probe meets an empty slot.
    for (uint32_t s = index.Home(key.hash);; s = (s + 1) & index.mask) {
        const Slot& slot = index.slots[s];
        const Entry* entry = slot.entry.load(std::memory_order_acquire);
        if (entry == nullptr) {
            return -1;
        }
        if (slot.hash == key.hash && (slot.id & ZHashedString::kBucketMask) == bucket &&
            entry->key.length == key.length && SameText(entry->text, text, key.length, caseSensitive)) {
            return slot.id >> ZHashedString::kBucketBits;
        }
    }
}

void ZHashedStringTable::PlaceInIndex(Index& index, const Entry* entry, uint32_t bucket, uint32_t position) {
    uint32_t s = index.Home(entry->key.hash);
    while (index.slots[s].entry.load(std::memory_order_relaxed) != nullptr) {
        s = (s + 1) & index.mask;
    }
    Slot& slot = index.slots[s];
    slot.hash = entry->key.hash;
    slot.id = (position << ZHashedString::kBucketBits) ^ bucket;
    slot.entry.store(entry, std::memory_order_release);
}

void ZHashedStringTable::AddToIndex(const Entry* entry, uint32_t bucket, uint32_t position) {
    Index* current = index.load(std::memory_order_relaxed);
    ++indexed;
    if (indexed * 2 <= current->mask + 1) {
        PlaceInIndex(*current, entry, bucket, position);
        return;
    }
    // Rebuilt from the chains, each in its own order, so texts sharing a hash
    // keep their order; the chains already hold the new entry.
    Index* grown = new Index((current->mask + 1) * 2);
    for (uint32_t b = 0; b < kBucketCount; ++b) {
        const uint32_t count = chains[b].count.load(std::memory_order_relaxed);
        const Block* block = chains[b].first.load(std::memory_order_relaxed);
        for (uint32_t i = 0; i < count; ++i) {
            PlaceInIndex(*grown, &block->entries[i % kBlockEntries], b, i);
            if (i % kBlockEntries == kBlockEntries - 1) {
                block = block->next.load(std::memory_order_relaxed);
            }
        }
    }
    index.store(grown, std::memory_order_release);
    // Readers may still be probing the old index: it stays until the table goes.
    retiredIndexes.push_back(current);
}

uint32_t ZHashedStringTable::FindOrInsert(const char* text, const Key& key, uint32_t bucket,
                                          bool caseSensitive) {
    bucket &= ZHashedString::kBucketMask;
    int64_t found = Find(*index.load(std::memory_order_acquire), text, key, bucket, caseSensitive);
    if (found >= 0) {
        return static_cast<uint32_t>(found);
    }
    std::lock_guard<std::mutex> lock(appendMutex);
    // Another thread may have appended the text since.
    found = Find(*index.load(std::memory_order_relaxed), text, key, bucket, caseSensitive);
    if (found >= 0) {
        return static_cast<uint32_t>(found);
    }
    Chain& chain = chains[bucket];
    const uint32_t count = chain.count.load(std::memory_order_relaxed);
    if (count % kBlockEntries == 0) {
        Block* block = new Block;
        if (chain.last == nullptr) {
            chain.first.store(block, std::memory_order_release);
        } else {
            chain.last->next.store(block, std::memory_order_release);
        }
        chain.last = block;
    }
    char* copy = new char[key.length + 1];
    std::memcpy(copy, text, key.length);
    copy[key.length] = 0;
    Entry& entry = chain.last->entries[count % kBlockEntries];
    entry.key = key;
    entry.text = copy;
    // The chain first, then the index: whoever finds the entry in the index
    // can read its text back by id at once.
    chain.count.store(count + 1, std::memory_order_release);
    AddToIndex(&entry, bucket, count);
    return count;
}

const char* ZHashedStringTable::GetTextAt(uint32_t bucket, int32_t index) const {
    // A negative index (an id with its top bit set) names no entry.
    if (bucket >= kBucketCount || index < 0) {
        return nullptr;
    }
    const Chain& chain = chains[bucket];
    if (static_cast<uint32_t>(index) >= chain.count.load(std::memory_order_acquire)) {
        return nullptr;
    }
    const Block* block = chain.first.load(std::memory_order_acquire);
    for (int32_t skip = index / static_cast<int32_t>(kBlockEntries); skip > 0; --skip) {
        block = block->next.load(std::memory_order_acquire);
    }
    return block->entries[static_cast<uint32_t>(index) % kBlockEntries].text;
}

ZHashedStringStats ZHashedStringTable::GetStats() const {
    int32_t lengths[kBucketCount];
    for (uint32_t b = 0; b < kBucketCount; ++b) {
        lengths[b] = static_cast<int32_t>(chains[b].count.load(std::memory_order_acquire));
    }
    ZHashedStringStats stats;
    stats.rows = static_cast<int32_t>(kBucketCount);
    stats.minimum = 1000000;
    stats.maximum = 0;
    for (int32_t n : lengths) {
        stats.count += n;
        stats.minimum = n < stats.minimum ? n : stats.minimum;
        stats.maximum = n > stats.maximum ? n : stats.maximum;
    }
    stats.mean = static_cast<float>(stats.count) * 0.0009765625f;
    float sum = 0.0f;
    for (int32_t n : lengths) {
        const float d = static_cast<float>(n) - stats.mean;
        sum += d * d;
    }
    stats.variance = sum * 0.0009765625f;
    stats.standardDeviation = std::sqrt(stats.variance);
    return stats;
}
