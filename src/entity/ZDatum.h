#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZQuaternion.h"
#include "foundation/ZString.h"
#include "foundation/ZVector2.h"
#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"

// The type of a datum. The codes are stored and compared as numbers; 7 (a
// matrix) has no name in definitions but keeps its place so the later codes
// keep theirs.
enum ZDatumType : int32_t {
    kDatumNone = 0,
    kDatumInt = 1,
    kDatumFloat = 2,
    kDatumBool = 3,
    kDatumVec2 = 4,
    kDatumVec3 = 5,
    kDatumVec4 = 6,
    kDatumMatrix = 7,
    kDatumQuat = 8,
    kDatumString = 9,
    kDatumHashedString = 10,
    kDatumHandle = 11,
    kDatumVoidPtr = 12,
    kDatumCallback = 13,
};

using ZDatumCallback = void (*)();

// A matrix's constructor makes the identity; a datum's matrix starts as zeros.
inline ZMatrix4 ZeroMatrix() {
    ZMatrix4 zero;
    for (float& element : zero.m) {
        element = 0.0f;
    }
    return zero;
}

// A datum's value: one field per type, all present at once (not a union);
// only the field its type names is meaningful. New values are all zeros.
struct ZDatum {
    int32_t intValue = 0;
    float floatValue = 0.0f;
    bool boolValue = false;
    ZVector2 vec2;
    ZVector3 vec3;
    ZVector4 vec4;
    ZMatrix4 matrix = ZeroMatrix();
    ZQuaternion quat{0.0f, 0.0f, 0.0f, 0.0f};
    ZString string;
    ZHashedString hashedString = ZHashedString::FromId(0);
    uint32_t handle = 0;
    void* pointer = nullptr;
    ZDatumCallback callback = nullptr;
};

// A typed value as blackboards store it and every operation passes it.
struct ZDatumEntry {
    ZDatumType type = kDatumNone;
    ZDatum value;

    static ZDatumEntry Int(int32_t v);
    static ZDatumEntry Float(float v);
    static ZDatumEntry Bool(bool v);
    static ZDatumEntry String(const ZString& v);
    static ZDatumEntry HashedString(ZHashedString v);
};

// Comparisons read both sides from the field the left entry's type names;
// only Int, Float, Bool and HashedString compare, every other left type
// answers false to all six (not-equal included). A NaN float is not-equal to
// everything and false under the other five.
bool DatumEquals(const ZDatumEntry& left, const ZDatumEntry& right);
bool DatumNotEquals(const ZDatumEntry& left, const ZDatumEntry& right);
bool DatumLess(const ZDatumEntry& left, const ZDatumEntry& right);
bool DatumLessEqual(const ZDatumEntry& left, const ZDatumEntry& right);
bool DatumGreater(const ZDatumEntry& left, const ZDatumEntry& right);
bool DatumGreaterEqual(const ZDatumEntry& left, const ZDatumEntry& right);

// Int and Float left entries add (subtract) the right entry's field of the
// same kind; any other left type gives a new entry of type none.
ZDatumEntry DatumAdd(const ZDatumEntry& left, const ZDatumEntry& right);
ZDatumEntry DatumSubtract(const ZDatumEntry& left, const ZDatumEntry& right);
