#include "foundation/ZMatrix4.h"

namespace {

ZMatrix4 Zero() {
    ZMatrix4 r;
    for (float& e : r.m) {
        e = 0.0f;
    }
    return r;
}

ZMatrix4 Rows(const float (&e)[16]) {
    ZMatrix4 r;
    for (int i = 0; i < 16; ++i) {
        r.m[i] = e[i];
    }
    return r;
}

}  // namespace

void ZMatrix4::SetIdentity() {
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

void ZMatrix4::Multiply(ZMatrix4& r, const ZMatrix4& a, const ZMatrix4& b) {
    // Built in a temporary so that r may alias a or b.
    float t[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[4 * i + k] * b.m[4 * k + j];
            }
            t[4 * i + j] = sum;
        }
    }
    for (int i = 0; i < 16; ++i) {
        r.m[i] = t[i];
    }
}

ZMatrix4 ZMatrix4::operator*(const ZMatrix4& b) const {
    ZMatrix4 r;
    Multiply(r, *this, b);
    return r;
}

ZMatrix4 ZMatrix4::Transpose(const ZMatrix4& src) {
    ZMatrix4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[4 * i + j] = src.m[4 * j + i];
        }
    }
    return r;
}

ZVector3 ZMatrix4::TransformPoint(const ZVector3& p) const {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
            m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

ZMatrix4 ZMatrix4::MakeScale(const ZVector3& v) {
    ZMatrix4 r = Zero();
    r.m[0] = v.x;
    r.m[5] = v.y;
    r.m[10] = v.z;
    r.m[15] = 1.0f;
    return r;
}

ZMatrix4 ZMatrix4::MakeUniformScale(const float s) {
    return MakeScale({s, s, s});
}

ZMatrix4 ZMatrix4::Translation(const ZVector3& v) {
    ZMatrix4 r;
    r.m[12] = v.x;
    r.m[13] = v.y;
    r.m[14] = v.z;
    return r;
}

ZMatrix4 ZMatrix4::RotationX(const float angle) {
    const float c = ZMath::Cos(angle);
    const float s = ZMath::Sin(angle);
    return Rows({1, 0, 0, 0,
                 0, c, -s, 0,
                 0, s, c, 0,
                 0, 0, 0, 1});
}

ZMatrix4 ZMatrix4::RotationZ(const float angle) {
    const float c = ZMath::Cos(angle);
    const float s = ZMath::Sin(angle);
    return Rows({c, -s, 0, 0,
                 s, c, 0, 0,
                 0, 0, 1, 0,
                 0, 0, 0, 1});
}

ZMatrix4 ZMatrix4::RotationAxis(const ZVector3& axis, const float angle) {
    const ZVector3 n = axis.Normalized();
    const float x = n.x;
    const float y = n.y;
    const float z = n.z;
    const float c = ZMath::Cos(angle);
    const float s = ZMath::Sin(angle);
    const float t = 1.0f - c;
    return Rows({x * x * t + c, x * y * t - z * s, x * z * t + y * s, 0,
                 x * y * t + z * s, y * y * t + c, y * z * t - x * s, 0,
                 x * z * t - y * s, y * z * t + x * s, z * z * t + c, 0,
                 0, 0, 0, 1});
}

ZMatrix4 ZMatrix4::FromAxes(const ZVector3& ax, const ZVector3& ay, const ZVector3& az) {
    return Rows({ax.x, ax.y, ax.z, 0,
                 ay.x, ay.y, ay.z, 0,
                 az.x, az.y, az.z, 0,
                 0, 0, 0, 1});
}

void ZMatrix4::GetAxes(ZVector3& ax, ZVector3& ay, ZVector3& az) const {
    ax = {m[0], m[1], m[2]};
    ay = {m[4], m[5], m[6]};
    az = {m[8], m[9], m[10]};
}

ZMatrix4 ZMatrix4::Perspective(const float fov, const float aspect, const float nearZ, const float farZ,
                               const float referenceAspect) {
    const float h = fov * 0.5f;
    float xs;
    float ys;
    if (referenceAspect > aspect) {
        xs = 1.0f / ZMath::Tan(ZMath::ATan(ZMath::Tan(h) * referenceAspect));
        ys = xs * aspect;
    } else {
        ys = 1.0f / ZMath::Tan(h);
        xs = ys / aspect;
    }
    ZMatrix4 r = Zero();
    r.m[0] = xs;
    r.m[5] = ys;
    r.m[10] = farZ / (nearZ - farZ);
    r.m[11] = -1.0f;
    r.m[14] = nearZ * farZ / (nearZ - farZ);
    return r;
}

ZMatrix4 ZMatrix4::LookAt(const ZVector3& eye, const ZVector3& ax, const ZVector3& ay, const ZVector3& az) {
    return Rows({-ax.x, ay.x, -az.x, 0,
                 -ax.y, ay.y, -az.y, 0,
                 -ax.z, ay.z, -az.z, 0,
                 ax.Dot(eye), -ay.Dot(eye), az.Dot(eye), 1});
}

ZMatrix4 ZMatrix4::OrthoOffCenter(const float left, const float right, const float top, const float bottom,
                                  const float nearZ, const float farZ) {
    ZMatrix4 r = Zero();
    r.m[0] = 2.0f / (right - left);
    r.m[5] = 2.0f / (top - bottom);
    r.m[10] = 1.0f / (nearZ - farZ);
    r.m[12] = (left + right) / (left - right);
    r.m[13] = (top + bottom) / (bottom - top);
    r.m[14] = nearZ / (nearZ - farZ);
    r.m[15] = 1.0f;
    return r;
}

void ExtractFrustumPlanes(const ZMatrix4& m, ZVector4 planes[6]) {
    const ZVector4 c0(m[0], m[4], m[8], m[12]);
    const ZVector4 c1(m[1], m[5], m[9], m[13]);
    const ZVector4 c2(m[2], m[6], m[10], m[14]);
    const ZVector4 c3(m[3], m[7], m[11], m[15]);
    planes[0] = c2 + c3;  // near
    planes[1] = c3 - c2;  // far
    planes[2] = c3 - c1;  // top
    planes[3] = c1 + c3;  // bottom
    planes[4] = c0 + c3;  // left
    planes[5] = c3 - c0;  // right
}
