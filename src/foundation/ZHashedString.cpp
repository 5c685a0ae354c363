#include "foundation/ZHashedString.h"

#include "foundation/ZHashedStringTable.h"

namespace {

// Only the part that the table keeps decides the bucket, so a text longer than
// the stored length always finds its own entry again.
uint32_t BucketOf(const char* text) {
    uint32_t h = 5381;
    for (uint32_t i = 0; i < ZHashedString::kMaxTextLength && text[i] != 0; ++i) {
        int32_t c = static_cast<signed char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            c += 32;
        }
        h = h * 33 + static_cast<uint32_t>(c);
    }
    return h & ZHashedString::kBucketMask;
}

uint32_t Intern(const char* text, bool caseSensitive) {
    const uint32_t bucket = BucketOf(text);  // outside the table's lock
    const uint32_t index = ZHashedStringTable::GetInstance()->FindOrInsert(text, bucket, caseSensitive);
    return (index << ZHashedString::kBucketBits) ^ bucket;
}

}  // namespace

ZHashedString::ZHashedString(const char* text, bool caseSensitive) {
    if (text != nullptr) {
        id = Intern(text, caseSensitive);
    }
}

const char* ZHashedString::GetText() const {
    const int32_t index = static_cast<int32_t>(id) >> kBucketBits;
    return ZHashedStringTable::GetInstance()->GetTextAt(id & kBucketMask, index);
}

ZHashedString ZHashedString::MakeCaseInsensitive() const {
    const char* text = GetText();
    if (text == nullptr) {
        return None();
    }
    return FromId(Intern(text, false));
}
