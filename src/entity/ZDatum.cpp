#include "entity/ZDatum.h"

#include <cmath>

ZDatumEntry ZDatumEntry::Int(const int32_t v) {
    ZDatumEntry entry;
    entry.type = kDatumInt;
    entry.value.intValue = v;
    return entry;
}

ZDatumEntry ZDatumEntry::Float(const float v) {
    ZDatumEntry entry;
    entry.type = kDatumFloat;
    entry.value.floatValue = v;
    return entry;
}

ZDatumEntry ZDatumEntry::Bool(const bool v) {
    ZDatumEntry entry;
    entry.type = kDatumBool;
    entry.value.boolValue = v;
    return entry;
}

ZDatumEntry ZDatumEntry::String(const ZString& v) {
    ZDatumEntry entry;
    entry.type = kDatumString;
    entry.value.string = v;
    return entry;
}

ZDatumEntry ZDatumEntry::HashedString(const ZHashedString v) {
    ZDatumEntry entry;
    entry.type = kDatumHashedString;
    entry.value.hashedString = v;
    return entry;
}

namespace {

enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

template <typename T>
bool Apply(const Op op, const T a, const T b) {
    switch (op) {
        case Op::Equal: return a == b;
        case Op::NotEqual: return a != b;
        case Op::Less: return a < b;
        case Op::LessEqual: return a <= b;
        case Op::Greater: return a > b;
        case Op::GreaterEqual: return a >= b;
    }
    return false;
}

bool Compare(const ZDatumEntry& left, const ZDatumEntry& right, const Op op) {
    switch (left.type) {
        case kDatumInt: return Apply(op, left.value.intValue, right.value.intValue);
        // IEEE rules already give NaN: only != holds.
        case kDatumFloat: return Apply(op, left.value.floatValue, right.value.floatValue);
        case kDatumBool:
            return Apply(op, static_cast<uint8_t>(left.value.boolValue), static_cast<uint8_t>(right.value.boolValue));
        case kDatumHashedString:
            return Apply(op, static_cast<int32_t>(left.value.hashedString.GetId()),
                         static_cast<int32_t>(right.value.hashedString.GetId()));
        default: return false;
    }
}

// Integer sums wrap as two's complement rather than overflow.
int32_t WrapAdd(const int32_t a, const int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapSub(const int32_t a, const int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace

bool DatumEquals(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::Equal); }
bool DatumNotEquals(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::NotEqual); }
bool DatumLess(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::Less); }
bool DatumLessEqual(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::LessEqual); }
bool DatumGreater(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::Greater); }
bool DatumGreaterEqual(const ZDatumEntry& l, const ZDatumEntry& r) { return Compare(l, r, Op::GreaterEqual); }

ZDatumEntry DatumAdd(const ZDatumEntry& left, const ZDatumEntry& right) {
    if (left.type == kDatumInt) {
        return ZDatumEntry::Int(WrapAdd(left.value.intValue, right.value.intValue));
    }
    if (left.type == kDatumFloat) {
        return ZDatumEntry::Float(left.value.floatValue + right.value.floatValue);
    }
    return ZDatumEntry();
}

ZDatumEntry DatumSubtract(const ZDatumEntry& left, const ZDatumEntry& right) {
    if (left.type == kDatumInt) {
        return ZDatumEntry::Int(WrapSub(left.value.intValue, right.value.intValue));
    }
    if (left.type == kDatumFloat) {
        return ZDatumEntry::Float(left.value.floatValue - right.value.floatValue);
    }
    return ZDatumEntry();
}
