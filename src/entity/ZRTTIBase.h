#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

// A class's type record: the hashed name of the class's own name text. Two
// records are the same type when their ids are equal; maps keyed by them use
// the ids' signed order.
//
// The record is interned on its class's first request and kept for the run,
// so the hashed-name table must outlive every use of it.
using ZTypeRecord = ZHashedString;

// The root of every engine object (entities, components, collision shapes).
// It answers the engine's own type queries, which stand in for the compiler's,
// and holds the object's handle: the object is registered with the handle
// registry from the end of this constructor to the start of this destructor.
class ZRTTIBase {
public:
    static ZTypeRecord StaticType();
    static bool StaticIsA(ZTypeRecord type);

    ZRTTIBase();
    // A copy is another object, with a handle of its own.
    ZRTTIBase(const ZRTTIBase& other);
    // Assignment keeps this object's handle.
    ZRTTIBase& operator=(const ZRTTIBase& other);
    virtual ~ZRTTIBase();

    // The record of the object's class.
    virtual ZTypeRecord GetType() const;
    // True when the object's class is that type or derives from it.
    virtual bool IsA(ZTypeRecord type) const;

    uint32_t GetHandle() const { return handle; }
    // The object's handle, or 0 for null.
    static uint32_t GetHandle(const ZRTTIBase* object) {
        return object != nullptr ? object->handle : 0;
    }

private:
    uint32_t handle = 0;  // 0 until registered
};

// The type queries of a class derived (singly, along its engine-object line)
// from Base. Put it first in the class body; what follows it is private until
// the next access label. Records are interned on first use.
#define Z_RTTI(Class, Base)                                                          \
public:                                                                              \
    static ZTypeRecord StaticType() {                                                \
        static const ZTypeRecord type(#Class);                                       \
        return type;                                                                 \
    }                                                                                \
    static bool StaticIsA(const ZTypeRecord type) {                                  \
        return type == StaticType() || Base::StaticIsA(type);                        \
    }                                                                                \
    ZTypeRecord GetType() const override { return StaticType(); }                    \
    bool IsA(const ZTypeRecord type) const override { return StaticIsA(type); }      \
                                                                                     \
private:

// The object as a T when it is one (or derives from T), else null.
template <typename T>
T* DynamicCast(ZRTTIBase* object) {
    return object != nullptr && object->IsA(T::StaticType()) ? static_cast<T*>(object) : nullptr;
}

template <typename T>
const T* DynamicCast(const ZRTTIBase* object) {
    return object != nullptr && object->IsA(T::StaticType()) ? static_cast<const T*>(object) : nullptr;
}

// The one shared body of hook operations that a class leaves unused (the
// attach hook and the post-load hook of components).
void EmptyHook();
