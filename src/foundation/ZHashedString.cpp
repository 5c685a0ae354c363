#include "foundation/ZHashedString.h"

#include "foundation/ZHashedStringTable.h"
#include "foundation/ZString.h"

namespace {

uint32_t Intern(const char* text, bool caseSensitive) {
    // Only the part that the table keeps decides the bucket, so a text longer
    // than the stored length always finds its own entry again. The key is made
    // outside the table's lock.
    const ZHashedStringTable::Key key = ZHashedStringTable::MakeKey(text);
    const uint32_t bucket = key.hash & ZHashedString::kBucketMask;
    const uint32_t index = ZHashedStringTable::GetInstance()->FindOrInsert(text, key, bucket, caseSensitive);
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

const char* ZHashedString::GetTextOrEmpty() const {
    return TextOrEmpty(GetText());
}

ZHashedString ZHashedString::MakeCaseInsensitive() const {
    const char* text = GetText();
    if (text == nullptr) {
        return None();
    }
    return FromId(Intern(text, false));
}
