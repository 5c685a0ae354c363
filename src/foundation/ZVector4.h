#pragma once

// Four floats: shader parameters, planes (a, b, c, d), four-float settings.
struct ZVector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr ZVector4() = default;
    constexpr ZVector4(const float vx, const float vy, const float vz, const float vw) : x(vx), y(vy), z(vz), w(vw) {}

    ZVector4 operator+(const ZVector4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    ZVector4 operator-(const ZVector4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    ZVector4 operator*(const float s) const { return {x * s, y * s, z * s, w * s}; }
    bool operator==(const ZVector4& o) const = default;

    float Dot(const ZVector4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
};
