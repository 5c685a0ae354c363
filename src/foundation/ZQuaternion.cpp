#include "foundation/ZQuaternion.h"

ZQuaternion ZQuaternion::FromAxisAngle(const ZVector3& axis, const float angle) {
    const ZVector3 n = axis.Normalized();
    const float half = angle * 0.5f;
    const float s = ZMath::Sin(half);
    return {ZMath::Cos(half), n.x * s, n.y * s, n.z * s};
}

ZMatrix4 ZQuaternion::ToMatrix(const ZQuaternion& q, const bool transposed) {
    const float w = q.w;
    const float x = q.x;
    const float y = q.y;
    const float z = q.z;
    ZMatrix4 r;
    r.m[0] = 1.0f - 2.0f * y * y - 2.0f * z * z;
    r.m[1] = 2.0f * x * y - 2.0f * w * z;
    r.m[2] = 2.0f * x * z + 2.0f * w * y;
    r.m[4] = 2.0f * x * y + 2.0f * w * z;
    r.m[5] = 1.0f - 2.0f * x * x - 2.0f * z * z;
    r.m[6] = 2.0f * y * z - 2.0f * w * x;
    r.m[8] = 2.0f * x * z - 2.0f * w * y;
    r.m[9] = 2.0f * y * z + 2.0f * w * x;
    r.m[10] = 1.0f - 2.0f * x * x - 2.0f * y * y;
    if (transposed) {
        // Only the 3x3 block; the last row and column are the identity's.
        r = ZMatrix4::Transpose(r);
    }
    return r;
}

ZQuaternion ZQuaternion::FromMatrix(const ZMatrix4& mat) {
    const float* m = mat.m;
    ZQuaternion q;
    const float t = m[0] + m[5] + m[10] + 1.0f;
    if (t > 0.0001f) {
        q.w = ZMath::Sqrt(t) * 0.5f;
        const float f = 0.25f / q.w;
        q.x = (m[9] - m[6]) * f;
        q.y = (m[2] - m[8]) * f;
        q.z = (m[4] - m[1]) * f;
    } else if (m[0] >= m[5] && m[0] >= m[10]) {
        q.x = ZMath::Sqrt(1.0f + m[0] - m[5] - m[10]) * 0.5f;
        const float f = 0.25f / q.x;
        q.y = (m[4] + m[1]) * f;
        q.z = (m[8] + m[2]) * f;
        q.w = (m[9] - m[6]) * f;
    } else if (m[5] >= m[10]) {
        q.y = ZMath::Sqrt(1.0f - m[0] + m[5] - m[10]) * 0.5f;
        const float f = 0.25f / q.y;
        q.x = (m[4] + m[1]) * f;
        q.z = (m[9] + m[6]) * f;
        q.w = (m[2] - m[8]) * f;
    } else {
        q.z = ZMath::Sqrt(1.0f - m[0] - m[5] + m[10]) * 0.5f;
        const float f = 0.25f / q.z;
        q.x = (m[8] + m[2]) * f;
        q.y = (m[9] + m[6]) * f;
        q.w = (m[4] - m[1]) * f;
    }
    return q;
}

ZQuaternion ZQuaternion::Multiply(const ZQuaternion& a, const ZQuaternion& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
            a.w * b.x + a.x * b.w + a.z * b.y - a.y * b.z,
            a.w * b.y + a.y * b.w + a.x * b.z - a.z * b.x,
            a.w * b.z + a.z * b.w + a.y * b.x - a.x * b.y};
}

void ZQuaternion::Normalize() {
    const float inv = 1.0f / ZMath::Sqrt(Dot(*this));
    w *= inv;
    x *= inv;
    y *= inv;
    z *= inv;
    // Zero length, or a NaN or infinite component: all zeros, never NaN.
    if (!std::isfinite(w) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        *this = ZQuaternion(0, 0, 0, 0);
    }
}

ZQuaternion ZQuaternion::Normalized(const ZQuaternion& q) {
    const float inv = 1.0f / ZMath::Sqrt(q.Dot(q));
    return {q.w * inv, q.x * inv, q.y * inv, q.z * inv};
}

ZQuaternion ZQuaternion::Slerp(const float t, const ZQuaternion& from, const ZQuaternion& to) {
    const float epsilon = 0.00001f;
    if (FloatNearlyEqual(from.w, to.w, epsilon) && FloatNearlyEqual(from.x, to.x, epsilon) &&
        FloatNearlyEqual(from.y, to.y, epsilon) && FloatNearlyEqual(from.z, to.z, epsilon)) {
        return from;
    }
    ZQuaternion a = from;
    float d = a.Dot(to);
    if (d < 0.0f) {
        a = {-a.w, -a.x, -a.y, -a.z};
        d = -d;
    }
    d = ZMath::Min(d, 1.0f);
    const float theta = ZMath::ACos(d);
    const float s = ZMath::Sin(theta);
    float wa;
    float wb;
    if (s >= 0.00001f) {
        wa = ZMath::Sin((1.0f - t) * theta) / s;
        wb = ZMath::Sin(t * theta) / s;
    } else {
        wa = 1.0f - t;
        wb = t;
    }
    return {wa * a.w + wb * to.w, wa * a.x + wb * to.x, wa * a.y + wb * to.y, wa * a.z + wb * to.z};
}
