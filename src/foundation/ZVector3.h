#pragma once

#include "foundation/ZMath.h"

// Three floats: world positions, directions, axes.
struct ZVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr ZVector3() = default;
    constexpr ZVector3(const float vx, const float vy, const float vz) : x(vx), y(vy), z(vz) {}

    ZVector3 operator+(const ZVector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    ZVector3 operator-(const ZVector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    ZVector3 operator*(const float s) const { return {x * s, y * s, z * s}; }
    ZVector3 operator-() const { return {-x, -y, -z}; }
    ZVector3& operator+=(const ZVector3& o) { return *this = *this + o; }
    ZVector3& operator-=(const ZVector3& o) { return *this = *this - o; }
    ZVector3& operator*=(const float s) { return *this = *this * s; }
    bool operator==(const ZVector3& o) const = default;

    float Dot(const ZVector3& o) const { return x * o.x + y * o.y + z * o.z; }
    ZVector3 Cross(const ZVector3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    float LengthSquared() const { return x * x + y * y + z * z; }
    float Length() const { return ZMath::Sqrt(LengthSquared()); }

    // In place; a zero-length or invalid vector becomes (0, 0, 0).
    void Normalize();
    ZVector3 Normalized() const;

    // The part of v along axis; v itself when the axis has no length.
    static ZVector3 Project(const ZVector3& axis, const ZVector3& v);
    // a + (b - a) * t, t not clamped.
    static ZVector3 Lerp(const ZVector3& a, const ZVector3& b, float t);
};
