#pragma once

#include "foundation/ZMath.h"

// Two floats: screen positions, sizes, stick directions.
struct ZVector2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr ZVector2() = default;
    constexpr ZVector2(const float vx, const float vy) : x(vx), y(vy) {}

    ZVector2 operator+(const ZVector2& o) const { return {x + o.x, y + o.y}; }
    ZVector2 operator-(const ZVector2& o) const { return {x - o.x, y - o.y}; }
    ZVector2 operator*(const float s) const { return {x * s, y * s}; }
    ZVector2 operator-() const { return {-x, -y}; }
    bool operator==(const ZVector2& o) const = default;

    float Dot(const ZVector2& o) const { return x * o.x + y * o.y; }
    float Length() const { return ZMath::Sqrt(x * x + y * y); }

    // In place; a zero-length or invalid vector becomes (0, 0).
    void Normalize() {
        const float inv = 1.0f / ZMath::Sqrt(x * x + y * y);
        x *= inv;
        y *= inv;
        // Zero length, or a NaN or infinite component: zero, never NaN.
        if (!std::isfinite(x) || !std::isfinite(y)) {
            *this = ZVector2();
        }
    }
    ZVector2 Normalized() const {
        ZVector2 v = *this;
        v.Normalize();
        return v;
    }

    static ZVector2 Lerp(const ZVector2& a, const ZVector2& b, const float t) { return a + (b - a) * t; }
};
