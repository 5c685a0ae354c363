#include "entity/ZRTTIBase.h"

#include "foundation/ZHandleRegistry.h"

ZTypeRecord ZRTTIBase::StaticType() {
    static const ZTypeRecord type("ZRTTIBase");
    return type;
}

bool ZRTTIBase::StaticIsA(const ZTypeRecord type) {
    return type == StaticType();
}

ZRTTIBase::ZRTTIBase() {
    handle = ZHandleRegistry::Add(this);
}

ZRTTIBase::ZRTTIBase(const ZRTTIBase&) : ZRTTIBase() {}

ZRTTIBase& ZRTTIBase::operator=(const ZRTTIBase&) {
    return *this;
}

ZRTTIBase::~ZRTTIBase() {
    ZHandleRegistry::Remove(handle);
}

ZTypeRecord ZRTTIBase::GetType() const {
    return StaticType();
}

bool ZRTTIBase::IsA(const ZTypeRecord type) const {
    return StaticIsA(type);
}

void EmptyHook() {}
