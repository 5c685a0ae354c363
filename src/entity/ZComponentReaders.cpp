#include "entity/ZComponentReaders.h"

#include <cmath>

ZVector3 ReadVector3(const ZDefNode& element) {
    ZVector3 v;
    ReadVector3Into(element, v);
    return v;
}

void ReadVector3Into(const ZDefNode& element, ZVector3& v) {
    static const ZHashedString kX("X");
    static const ZHashedString kY("Y");
    static const ZHashedString kZ("Z");
    if (element.HasAttribute(kX)) {
        v.x = element.GetAttribute(kX).ToFloat();
    }
    if (element.HasAttribute(kY)) {
        v.y = element.GetAttribute(kY).ToFloat();
    }
    if (element.HasAttribute(kZ)) {
        v.z = element.GetAttribute(kZ).ToFloat();
    }
}

ZQuaternion ReadRotation(const ZDefNode& element) {
    static const ZHashedString kAxis("Axis");
    static const ZHashedString kAngle("Angle");
    const ZVector3 axis = ReadVector3(element.FindChild(kAxis));
    const float angle = element.HasAttribute(kAngle) ? element.GetAttribute(kAngle).ToFloat() : 0.0f;
    const float s = std::sin(angle * 0.5f);
    return ZQuaternion(std::cos(angle * 0.5f), axis.x * s, axis.y * s, axis.z * s);
}
