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

ZHashedStringTable::ZHashedStringTable() {
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
}

ZHashedStringTable::Key ZHashedStringTable::MakeKey(const char* text) {
    // The case-folded hash of the ids, over the kept part of the text only.
    Key key;
    uint32_t h = 5381;
    uint32_t i = 0;
    for (; i < ZHashedString::kMaxTextLength && text[i] != 0; ++i) {
        int32_t c = static_cast<signed char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            c += 32;
        }
        h = h * 33 + static_cast<uint32_t>(c);
    }
    key.hash = h;
    key.length = i;
    return key;
}

uint32_t ZHashedStringTable::FindOrInsert(const char* text, uint32_t bucket, bool caseSensitive) {
    return FindOrInsert(text, MakeKey(text), bucket, caseSensitive);
}

int64_t ZHashedStringTable::Find(const Chain& chain, const char* text, const Key& key, bool caseSensitive,
                                 uint32_t from, uint32_t to) {
    const Block* block = chain.first.load(std::memory_order_acquire);
    for (uint32_t skip = from / kBlockEntries; skip > 0 && block != nullptr; --skip) {
        block = block->next.load(std::memory_order_acquire);
    }
    for (uint32_t i = from; i < to && block != nullptr; ++i) {
        const Entry& entry = block->entries[i % kBlockEntries];
        if (entry.key.hash == key.hash && entry.key.length == key.length &&
            (caseSensitive ? std::memcmp(entry.text, text, key.length) == 0
                           : SameIgnoringCase(entry.text, text, key.length))) {
            return i;
        }
        if (i % kBlockEntries == kBlockEntries - 1) {
            block = block->next.load(std::memory_order_acquire);
        }
    }
    return -1;
}

uint32_t ZHashedStringTable::FindOrInsert(const char* text, const Key& key, uint32_t bucket,
                                          bool caseSensitive) {
    Chain& chain = chains[bucket & ZHashedString::kBucketMask];
    const uint32_t seen = chain.count.load(std::memory_order_acquire);
    int64_t found = Find(chain, text, key, caseSensitive, 0, seen);
    if (found >= 0) {
        return static_cast<uint32_t>(found);
    }
    std::lock_guard<std::mutex> lock(appendMutex);
    // Another thread may have appended the text since.
    const uint32_t count = chain.count.load(std::memory_order_relaxed);
    found = Find(chain, text, key, caseSensitive, seen, count);
    if (found >= 0) {
        return static_cast<uint32_t>(found);
    }
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
    chain.count.store(count + 1, std::memory_order_release);
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
