#include "foundation/ZVector3.h"

void ZVector3::Normalize() {
    const float inv = 1.0f / ZMath::Sqrt(x * x + y * y + z * z);
    x *= inv;
    y *= inv;
    z *= inv;
    // Zero length, or a NaN or infinite component: zero, never NaN.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        *this = ZVector3();
    }
}

ZVector3 ZVector3::Normalized() const {
    ZVector3 v = *this;
    v.Normalize();
    return v;
}

ZVector3 ZVector3::Project(const ZVector3& axis, const ZVector3& v) {
    const float axisSquared = axis.Dot(axis);
    if (!(axisSquared > 0.0f)) {
        return v;
    }
    return axis * (v.Dot(axis) / axisSquared);
}

ZVector3 ZVector3::Lerp(const ZVector3& a, const ZVector3& b, const float t) {
    return a + (b - a) * t;
}
