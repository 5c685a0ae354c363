#pragma once

#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"

// 4x4 float matrix, row-major: element i sits at row i / 4, column i % 4.
//
// Two conventions meet here, and no builder converts between them:
// - projection, view, translation and scale builders are for row vectors (a
//   point is the row (x, y, z, 1) on the left, offset in elements 12..14), as
//   the renderer's device expects; depth comes out in 0..1;
// - the rotation builders and TransformPoint are in column form (element
//   4i + j multiplies component j into result i).
// Transpose turns one into the other.
struct ZMatrix4 {
    float m[16];

    // The identity.
    ZMatrix4() { SetIdentity(); }

    float& operator[](const int i) { return m[i]; }
    float operator[](const int i) const { return m[i]; }
    bool operator==(const ZMatrix4& o) const = default;

    void SetIdentity();
    static ZMatrix4 Identity() { return ZMatrix4(); }

    // r = a * b (for row vectors, a applies first). r may be a or b.
    static void Multiply(ZMatrix4& r, const ZMatrix4& a, const ZMatrix4& b);
    ZMatrix4 operator*(const ZMatrix4& b) const;

    static ZMatrix4 Transpose(const ZMatrix4& src);

    // Column form: rows 0..2 times (p, 1), elements 3, 7, 11 as the offset; no
    // division by w.
    ZVector3 TransformPoint(const ZVector3& p) const;

    static ZMatrix4 MakeScale(const ZVector3& v);
    static ZMatrix4 MakeUniformScale(float s);
    static ZMatrix4 Translation(const ZVector3& v);

    // Angles in radians; column form.
    static ZMatrix4 RotationX(float angle);
    static ZMatrix4 RotationZ(float angle);
    // The axis is normalised first.
    static ZMatrix4 RotationAxis(const ZVector3& axis, float angle);

    // Rows 0..2 are the three axes, row 3 is (0, 0, 0, 1).
    static ZMatrix4 FromAxes(const ZVector3& ax, const ZVector3& ay, const ZVector3& az);
    void GetAxes(ZVector3& ax, ZVector3& ay, ZVector3& az) const;

    // Right-handed projection for row vectors, depth 0..1. fov is vertical,
    // unless referenceAspect is wider than aspect: then the horizontal extent
    // of referenceAspect is kept and the view grows vertically.
    static ZMatrix4 Perspective(float fov, float aspect, float nearZ, float farZ, float referenceAspect);
    // View matrix whose first three columns are -ax, ay and -az.
    static ZMatrix4 LookAt(const ZVector3& eye, const ZVector3& ax, const ZVector3& ay, const ZVector3& az);
    // Note the order: top before bottom. Passing top < bottom gives y down.
    static ZMatrix4 OrthoOffCenter(float left, float right, float top, float bottom, float nearZ, float farZ);
};

// The six clipping planes (a, b, c, d) of a view-projection matrix, not
// normalised, in the order near, far, top, bottom, left, right. A point p is
// inside a plane when a * p.x + b * p.y + c * p.z + d >= 0.
void ExtractFrustumPlanes(const ZMatrix4& m, ZVector4 planes[6]);
