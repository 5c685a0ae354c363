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

// Compares a stored text with the first 255 bytes of a text.
bool SameText(const char* stored, const char* text, bool caseSensitive) {
    for (uint32_t i = 0; i < ZHashedString::kMaxTextLength; ++i) {
        const char a = caseSensitive ? stored[i] : FoldAscii(stored[i]);
        const char b = caseSensitive ? text[i] : FoldAscii(text[i]);
        if (a != b) {
            return false;
        }
        if (a == 0) {
            return true;
        }
    }
    return true;  // both reach the stored length: the stored copy is the text cut
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
    for (Entry*& head : heads) {
        while (head != nullptr) {
            Entry* next = head->next;
            delete[] head->text;
            delete head;
            head = next;
        }
    }
}

ZHashedStringTable::Entry* ZHashedStringTable::MakeEntry(const char* text) {
    const size_t length = strnlen(text, ZHashedString::kMaxTextLength);
    Entry* entry = new Entry;
    entry->text = new char[length + 1];
    memcpy(entry->text, text, length);
    entry->text[length] = 0;
    return entry;
}

uint32_t ZHashedStringTable::FindOrInsert(const char* text, uint32_t bucket, bool caseSensitive) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Entry** link = &heads[bucket & ZHashedString::kBucketMask];
    uint32_t index = 0;
    while (*link != nullptr) {
        if (SameText((*link)->text, text, caseSensitive)) {
            return index;
        }
        link = &(*link)->next;
        ++index;
    }
    *link = MakeEntry(text);
    return index;
}

const char* ZHashedStringTable::GetTextAt(uint32_t bucket, int32_t index) const {
    // A negative index (an id with its top bit set) names no entry.
    if (bucket >= kBucketCount || index < 0) {
        return nullptr;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const Entry* entry = heads[bucket];
    for (int32_t i = 0; i < index && entry != nullptr; ++i) {
        entry = entry->next;
    }
    return entry != nullptr ? entry->text : nullptr;
}

ZHashedStringStats ZHashedStringTable::GetStats() const {
    int32_t lengths[kBucketCount];
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        for (uint32_t b = 0; b < kBucketCount; ++b) {
            int32_t n = 0;
            for (const Entry* e = heads[b]; e != nullptr; e = e->next) {
                ++n;
            }
            lengths[b] = n;
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
