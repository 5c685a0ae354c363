#include "foundation/ZHashedStringTable.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "foundation/ZHashedString.h"

namespace {

std::atomic<ZHashedStringTable*> gTable{nullptr};
std::mutex gCreateMutex;  // constant-initialised, so usable during static start-up

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameIgnoringCase(const char* a, const char* b, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        if (a[i] != b[i] && FoldAscii(a[i]) != FoldAscii(b[i])) {
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

void ZHashedStringTable::DestroyInstance() {
    std::lock_guard<std::mutex> lock(gCreateMutex);
    delete gTable.exchange(nullptr, std::memory_order_acq_rel);
}

ZHashedStringTable::ZHashedStringTable() {
    // "NULL" is the first text of every table, which makes the none id a constant.
    FindOrInsert("NULL", ZHashedString::NoneId(), false);
}

ZHashedStringTable::~ZHashedStringTable() {
    for (std::vector<Entry>& chain : chains) {
        for (Entry& entry : chain) {
            delete[] entry.text;
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

uint32_t ZHashedStringTable::FindOrInsert(const char* text, const Key& key, uint32_t bucket,
                                          bool caseSensitive) {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Entry>& chain = chains[bucket & ZHashedString::kBucketMask];
    const size_t count = chain.size();
    for (size_t i = 0; i < count; ++i) {
        const Entry& entry = chain[i];
        if (entry.key.hash != key.hash || entry.key.length != key.length) {
            continue;
        }
        if (caseSensitive ? std::memcmp(entry.text, text, key.length) == 0
                          : SameIgnoringCase(entry.text, text, key.length)) {
            return static_cast<uint32_t>(i);
        }
    }
    Entry entry;
    entry.key = key;
    entry.text = new char[key.length + 1];
    std::memcpy(entry.text, text, key.length);
    entry.text[key.length] = 0;
    chain.push_back(entry);
    return static_cast<uint32_t>(count);
}

const char* ZHashedStringTable::GetTextAt(uint32_t bucket, int32_t index) const {
    // A negative index (an id with its top bit set) names no entry.
    if (bucket >= kBucketCount || index < 0) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex);
    const std::vector<Entry>& chain = chains[bucket];
    return static_cast<size_t>(index) < chain.size() ? chain[static_cast<size_t>(index)].text : nullptr;
}

ZHashedStringStats ZHashedStringTable::GetStats() const {
    int32_t lengths[kBucketCount];
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (uint32_t b = 0; b < kBucketCount; ++b) {
            lengths[b] = static_cast<int32_t>(chains[b].size());
        }
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
