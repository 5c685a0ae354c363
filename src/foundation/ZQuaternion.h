#pragma once

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"

// Rotation quaternion, stored scalar first: w, x, y, z.
struct ZQuaternion {
    float w = 1.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr ZQuaternion() = default;
    constexpr ZQuaternion(const float qw, const float qx, const float qy, const float qz) : w(qw), x(qx), y(qy), z(qz) {}

    bool operator==(const ZQuaternion& o) const = default;

    float Dot(const ZQuaternion& o) const { return w * o.w + x * o.x + y * o.y + z * o.z; }

    // The axis is normalised; angle in radians.
    static ZQuaternion FromAxisAngle(const ZVector3& axis, float angle);
    // Column-form rotation matrix; transposed gives the row-vector form.
    static ZMatrix4 ToMatrix(const ZQuaternion& q, bool transposed);
    // Reads the column-form rotation that ToMatrix (q, false) writes.
    static ZQuaternion FromMatrix(const ZMatrix4& m);
    // Rotation a, then b, as with row-vector matrices: Hamilton's b * a.
    static ZQuaternion Multiply(const ZQuaternion& a, const ZQuaternion& b);

    // In place; a zero or invalid quaternion becomes all zeros.
    void Normalize();
    // q * (1 / length) with no zero check: a zero quaternion gives NaN or infinity.
    static ZQuaternion Normalized(const ZQuaternion& q);

    // Spherical interpolation along the shorter arc; the result is not
    // normalised. Nearly equal inputs give a unchanged.
    static ZQuaternion Slerp(float t, const ZQuaternion& a, const ZQuaternion& b);
};
