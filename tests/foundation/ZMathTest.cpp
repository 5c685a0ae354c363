#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>

#include "foundation/ZColor.h"
#include "foundation/ZColor32.h"
#include "foundation/ZMath.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZQuaternion.h"
#include "foundation/ZVector2.h"
#include "foundation/ZVector3.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

void ExpectMatrixNear(const ZMatrix4& actual, const float (&expected)[16], const float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

void ExpectVectorNear(const ZVector3& actual, const ZVector3& expected, const float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectQuaternionNear(const ZQuaternion& actual, const ZQuaternion& expected, const float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.w, expected.w, tolerance);
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The row (x, y, z, 1) times m, then divided by w: what the device does.
ZVector3 ProjectRow(const ZMatrix4& m, const ZVector3& p) {
    float out[4];
    for (int j = 0; j < 4; ++j) {
        out[j] = p.x * m[j] + p.y * m[4 + j] + p.z * m[8 + j] + m[12 + j];
    }
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

}  // namespace

TEST(ZMath, FloatNearlyEqualIsRelativeToTheSmallerMagnitude) {
    struct Case {
        float a, b, epsilon;
        bool expected;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.00001f, true},
        {0.0f, 1e-30f, 0.00001f, false},  // zero equals only zero
        {100.0f, 100.0005f, 0.00001f, true},
        {100.0f, 100.002f, 0.00001f, false},
        {-2.0f, -2.0f, 0.0f, true},
        {-2.0f, 2.0f, 1.0f, false},
        {1.0f, 2.0f, 0.5f, false},  // 1 > 0.5 * 1 (the smaller), though <= 0.5 * 2
        {1.0f, 2.0f, 1.0f, true},
        {kNaN, kNaN, 1.0f, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FloatNearlyEqual(c.a, c.b, c.epsilon), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(FloatNearlyEqual(c.b, c.a, c.epsilon), c.expected) << c.b << " vs " << c.a;
    }
}

TEST(ZVector3, NormalizeGivesUnitOrZero) {
    struct Case {
        ZVector3 in, expected;
    };
    const Case cases[] = {
        {{3, 0, 4}, {0.6f, 0, 0.8f}},
        {{0, -2, 0}, {0, -1, 0}},
        {{0, 0, 0}, {0, 0, 0}},
        {{kNaN, 1, 1}, {0, 0, 0}},  // an invalid vector gives zero, not NaN
        {{kInf, 0, 0}, {0, 0, 0}},
        {{1e-30f, 0, 0}, {0, 0, 0}},  // squared length underflows to zero
    };
    for (const Case& c : cases) {
        ZVector3 v = c.in;
        v.Normalize();
        ExpectVectorNear(v, c.expected);
        ExpectVectorNear(c.in.Normalized(), c.expected);
    }
    ZVector2 flat(0, 0);
    flat.Normalize();
    EXPECT_EQ(flat, ZVector2(0, 0));
    EXPECT_EQ(ZVector2(0, 5).Normalized(), ZVector2(0, 1));
}

TEST(ZVector3, ProjectOntoAxis) {
    const ZVector3 v(3, 4, 5);
    ExpectVectorNear(ZVector3::Project({0, 2, 0}, v), {0, 4, 0});
    ExpectVectorNear(ZVector3::Project({1, 1, 0}, v), {3.5f, 3.5f, 0});
    EXPECT_EQ(ZVector3::Project({0, 0, 0}, v), v);  // zero axis: unchanged
}

TEST(ZVector3, LerpDoesNotClamp) {
    const ZVector3 a(0, 10, -2);
    const ZVector3 b(4, 20, 2);
    ExpectVectorNear(ZVector3::Lerp(a, b, 0.25f), {1, 12.5f, -1});
    ExpectVectorNear(ZVector3::Lerp(a, b, 2.0f), {8, 30, 6});
}

TEST(ZColor, ToColor32TruncatesThenClamps) {
    struct Case {
        float channel;
        int expected;
    };
    const Case cases[] = {
        {1.0f, 255}, {0.999f, 254}, {0.5f, 127}, {0.004f, 1}, {0.0039f, 0}, {0.0f, 0},
        {2.0f, 255}, {-1.0f, 0}, {-0.001f, 0},
        // Far out of range and invalid values still clamp.
        {1e30f, 255}, {-1e30f, 0}, {kInf, 255}, {-kInf, 0}, {kNaN, 0},
    };
    for (const Case& c : cases) {
        const ZColor32 out = ZColor(c.channel, c.channel, c.channel, c.channel).ToColor32();
        EXPECT_EQ(out.r, c.expected) << c.channel;
        EXPECT_EQ(out.g, c.expected) << c.channel;
        EXPECT_EQ(out.b, c.expected) << c.channel;
        EXPECT_EQ(out.a, c.expected) << c.channel;
    }
    // Each channel lands in its own byte.
    EXPECT_EQ(ZColor(1, 0.5f, 0, 1).ToColor32(), ZColor32(255, 127, 0, 255));
    EXPECT_EQ(ZColor(2, -1, 0.999f, 0.004f).ToColor32(), ZColor32(255, 0, 254, 1));
}

TEST(ZColor, FromColor32ScalesEachByte) {
    const ZColor c = ZColor::FromColor32(ZColor32(255, 0, 51, 128));
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_FLOAT_EQ(c.b, 0.2f);
    EXPECT_FLOAT_EQ(c.a, 128.0f / 255.0f);
    // Every byte survives the round trip.
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i);
        EXPECT_EQ(ZColor::FromColor32(ZColor32(v, v, v, v)).ToColor32(), ZColor32(v, v, v, v)) << i;
    }
}

TEST(ZColor, LerpRunsFromTheFirstColour) {
    const ZColor a(0, 1, 0.5f, 0);
    const ZColor b(1, 0, 0.5f, 1);
    EXPECT_EQ(ZColor::Lerp(a, b, 0.0f), a);
    EXPECT_EQ(ZColor::Lerp(a, b, 1.0f), b);
    const ZColor mid = ZColor::Lerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(mid.r, 0.25f);
    EXPECT_FLOAT_EQ(mid.g, 0.75f);
    EXPECT_FLOAT_EQ(mid.b, 0.5f);
    EXPECT_FLOAT_EQ(mid.a, 0.25f);
}

TEST(ZColor32, MemoryOrderIsBlueGreenRedAlpha) {
    const ZColor32 c(0x11, 0x22, 0x33, 0x44);  // r, g, b, a
    uint8_t bytes[4];
    static_assert(sizeof(ZColor32) == 4);
    std::memcpy(bytes, &c, 4);
    EXPECT_EQ(bytes[0], 0x33);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x11);
    EXPECT_EQ(bytes[3], 0x44);
    EXPECT_EQ(c.ToARGB(), 0x44112233u);
    EXPECT_EQ(ZColor32::FromARGB(0x44112233u), c);
    EXPECT_EQ(ZColor32(), ZColor32(0, 0, 0, 255));  // opaque black
}

TEST(ZColor32, ModulateTruncatesAndClampsPerChannel) {
    struct Case {
        ZColor32 in;
        ZColor by;
        ZColor32 expected;
    };
    const Case cases[] = {
        {{200, 100, 50, 255}, {1, 1, 1, 1}, {200, 100, 50, 255}},
        {{200, 100, 50, 255}, {0.5f, 0.5f, 0.5f, 0.5f}, {100, 50, 25, 127}},
        {{200, 100, 50, 255}, {2, 0, -1, 0.999f}, {255, 0, 0, 254}},
        {{255, 255, 255, 255}, {kNaN, kInf, 1e30f, -kInf}, {0, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZColor32::Modulate(c.in, c.by), c.expected);
    }
}

TEST(ZColor32, FromHexString) {
    struct Case {
        const char* text;
        ZColor32 expected;  // r, g, b, a
    };
    const Case cases[] = {
        {"FF8000", {255, 128, 0, 255}},
        {"#00FF0080", {0, 255, 0, 128}},
        {"", {0, 0, 0, 255}},
        {"#", {0, 0, 0, 255}},
        {nullptr, {0, 0, 0, 255}},
        {"#FFF", {255, 240, 0, 255}},  // pairs FF and F0
        {"abcdef12", {0xAB, 0xCD, 0xEF, 0x12}},
        {"#12345678FF", {0x12, 0x34, 0x56, 0x78}},  // a fifth pair is ignored
        {"G1zz", {0x01, 0, 0, 255}},  // non-hex digits read as 0
        {"##10", {0x01, 0, 0, 255}},  // only one '#' is skipped; the second reads as 0
        {"10203", {0x10, 0x20, 0x30, 255}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZColor32::FromHexString(c.text), c.expected) << (c.text ? c.text : "(null)");
    }
}

TEST(ZColor32, FromHexStringStopsAtTheEndOfAnUnterminatedText) {
    // Exactly three bytes on the heap, no terminator: reading a fourth would be caught.
    const std::unique_ptr<char[]> text(new char[3]{'F', 'F', '8'});
    EXPECT_EQ(ZColor32::FromHexString(std::string_view(text.get(), 3)), ZColor32(255, 128, 0, 255));
}

TEST(ParseFloat4, ReadsUpToFourSpaceSeparatedNumbers) {
    struct Case {
        const char* text;
        float expected[4];
    };
    const Case cases[] = {
        {"1   2    3", {1, 2, 3, 0}},
        {"1.5", {1.5f, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
        {nullptr, {0, 0, 0, 0}},
        {"1 2 3 4 5", {1, 2, 3, 4}},
        {"0.25 -1e2 +3 .5", {0.25f, -100, 3, 0.5f}},
        {"1 2 ", {1, 2, 0, 0}},
        {"   ", {0, 0, 0, 0}},
        {" 7 8", {7, 8, 0, 0}},  // a leading space does not repeat the first number
        {"x 2", {0, 2, 0, 0}},  // an unreadable number is 0 and the rest still count
        {"1.5abc 2", {1.5f, 2, 0, 0}},
        {"1,2,3", {1, 0, 0, 0}},  // only spaces separate
        {"1\t2", {1, 0, 0, 0}},
        {"1e999 -1e999 1e-999 -5", {kInf, -kInf, 0, -5}},
        {"1e400 2", {kInf, 2, 0, 0}},
    };
    for (const Case& c : cases) {
        float out[4] = {9, 9, 9, 9};
        ParseFloat4(c.text, out);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(out[i], c.expected[i]) << (c.text ? c.text : "(null)") << " value " << i;
        }
    }
}

TEST(ParseFloat4, CountedTextIsNotReadPastItsLength) {
    // "1 2.5" with only three bytes given, on the heap with no terminator.
    const std::unique_ptr<char[]> text(new char[3]{'1', ' ', '2'});
    float out[4];
    ParseFloat4(text.get(), 3, out);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], 2.0f);
    EXPECT_EQ(out[2], 0.0f);

    const char longer[] = "1 2.5 3";
    ParseFloat4(longer, 5, out);
    EXPECT_FLOAT_EQ(out[1], 2.5f);
    EXPECT_EQ(out[2], 0.0f);
}

TEST(ZMatrix4, MultiplyIsTheRowMajorProduct) {
    ZMatrix4 a;
    ZMatrix4 b;
    const float bElements[16] = {2, 0, 1, 0, 0, 1, 0, 3, 1, 0, 0, 1, 0, 2, 1, 0};
    for (int i = 0; i < 16; ++i) {
        a[i] = static_cast<float>(i + 1);
        b[i] = bElements[i];
    }
    ExpectMatrixNear(a * b, {5, 10, 5, 9, 17, 22, 13, 25, 29, 34, 21, 41, 41, 46, 29, 57});

    // The result may be either operand.
    ZMatrix4 r = a;
    ZMatrix4::Multiply(r, r, b);
    EXPECT_EQ(r, a * b);
    r = b;
    ZMatrix4::Multiply(r, a, r);
    EXPECT_EQ(r, a * b);
}

TEST(ZMatrix4, FirstOperandAppliesFirstForRowVectors) {
    const ZMatrix4 translate = ZMatrix4::Translation({1, 2, 3});
    const ZMatrix4 scale = ZMatrix4::MakeUniformScale(2);
    const ZMatrix4 ts = translate * scale;
    const ZMatrix4 st = scale * translate;
    const float row3ts[4] = {2, 4, 6, 1};
    const float row3st[4] = {1, 2, 3, 1};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(ts[12 + j], row3ts[j]);
        EXPECT_EQ(st[12 + j], row3st[j]);
    }
    ExpectVectorNear(ProjectRow(ts, {1, 1, 1}), {4, 6, 8});
}

TEST(ZMatrix4, BuildersWriteEveryElement) {
    ExpectMatrixNear(ZMatrix4::MakeScale({2, 3, 4}), {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
    ExpectMatrixNear(ZMatrix4::Translation({5, 6, 7}), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1});
    ExpectMatrixNear(ZMatrix4::Transpose(ZMatrix4::Translation({5, 6, 7})),
                     {1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1});
    ExpectMatrixNear(ZMatrix4::FromAxes({1, 2, 3}, {4, 5, 6}, {7, 8, 9}), {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1});
    ZVector3 ax, ay, az;
    ZMatrix4::FromAxes({1, 2, 3}, {4, 5, 6}, {7, 8, 9}).GetAxes(ax, ay, az);
    EXPECT_EQ(ax, ZVector3(1, 2, 3));
    EXPECT_EQ(ay, ZVector3(4, 5, 6));
    EXPECT_EQ(az, ZVector3(7, 8, 9));
}

TEST(ZMatrix4, RotationsAreInColumnForm) {
    struct Case {
        const char* name;
        ZMatrix4 m;
        ZVector3 in, expected;
    };
    const Case cases[] = {
        {"x quarter turn", ZMatrix4::RotationX(kPi / 2), {0, 1, 0}, {0, 0, 1}},
        {"z quarter turn", ZMatrix4::RotationZ(kPi / 2), {1, 0, 0}, {0, 1, 0}},
        {"axis z, unnormalised", ZMatrix4::RotationAxis({0, 0, 5}, kPi / 2), {1, 0, 0}, {0, 1, 0}},
        {"axis x", ZMatrix4::RotationAxis({1, 0, 0}, kPi / 2), {0, 1, 0}, {0, 0, 1}},
        {"axis (1,1,1), third turn", ZMatrix4::RotationAxis({1, 1, 1}, 2 * kPi / 3), {1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectVectorNear(c.m.TransformPoint(c.in), c.expected);
    }
    // The axis builder agrees with the fixed-axis ones.
    ExpectMatrixNear(ZMatrix4::RotationAxis({0, 0, 1}, 0.7f), ZMatrix4::RotationZ(0.7f).m);
    ExpectMatrixNear(ZMatrix4::RotationAxis({3, 0, 0}, -1.2f), ZMatrix4::RotationX(-1.2f).m);
}

TEST(ZMatrix4, TransformPointReadsTheOffsetFromTheLastColumn) {
    // A row-vector translation does nothing here; its transpose moves the point.
    const ZMatrix4 t = ZMatrix4::Translation({1, 2, 3});
    EXPECT_EQ(t.TransformPoint({4, 5, 6}), ZVector3(4, 5, 6));
    EXPECT_EQ(ZMatrix4::Transpose(t).TransformPoint({4, 5, 6}), ZVector3(5, 7, 9));
}

TEST(ZMatrix4, PerspectiveIsRightHandedWithDepthZeroToOne) {
    // fov 90 degrees: tan(45) = 1. near 1, far 101.
    ExpectMatrixNear(ZMatrix4::Perspective(kPi / 2, 2.0f, 1.0f, 101.0f, 0.0f),
                     {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.01f, -1, 0, 0, -1.01f, 0});
    const ZMatrix4 p = ZMatrix4::Perspective(kPi / 2, 2.0f, 1.0f, 101.0f, 0.0f);
    EXPECT_NEAR(ProjectRow(p, {0, 0, -1}).z, 0.0f, 1e-6f);
    EXPECT_NEAR(ProjectRow(p, {0, 0, -101}).z, 1.0f, 1e-6f);
    ExpectVectorNear(ProjectRow(p, {-20, 10, -10}), {-1, 1, ProjectRow(p, {0, 0, -10}).z});

    // A wider reference aspect keeps its horizontal extent; the height grows.
    ExpectMatrixNear(ZMatrix4::Perspective(kPi / 2, 1.0f, 1.0f, 101.0f, 2.0f),
                     {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, -1.01f, -1, 0, 0, -1.01f, 0});
    // A narrower one changes nothing.
    EXPECT_EQ(ZMatrix4::Perspective(1.0f, 1.5f, 0.1f, 50.0f, 1.0f), ZMatrix4::Perspective(1.0f, 1.5f, 0.1f, 50.0f, 0.0f));
}

TEST(ZMatrix4, OrthoOffCenterTakesTopBeforeBottom) {
    // A 640 x 480 screen with y down: top 0, bottom 480.
    const ZMatrix4 m = ZMatrix4::OrthoOffCenter(0, 640, 0, 480, 0, 1);
    ExpectMatrixNear(m, {2.0f / 640, 0, 0, 0, 0, -2.0f / 480, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1});
    ExpectVectorNear(ProjectRow(m, {0, 0, 0}), {-1, 1, 0});
    ExpectVectorNear(ProjectRow(m, {640, 480, -1}), {1, -1, 1});

    const ZMatrix4 general = ZMatrix4::OrthoOffCenter(-2, 6, 3, -1, 1, 5);
    ExpectMatrixNear(general, {0.25f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, -0.25f, 0, -0.5f, -0.5f, -0.25f, 1});
}

TEST(ZMatrix4, LookAtMovesTheEyeToTheOrigin) {
    const ZVector3 eye(1, 2, 3);
    const ZVector3 ax(1, 0, 0);
    const ZVector3 ay(0, 1, 0);
    const ZVector3 az(0, 0, 1);
    const ZMatrix4 v = ZMatrix4::LookAt(eye, ax, ay, az);
    ExpectMatrixNear(v, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1, -2, 3, 1});

    // A turned basis: columns are -ax, ay, -az.
    const ZMatrix4 turned = ZMatrix4::LookAt({2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    ExpectMatrixNear(turned, {0, 0, -1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 1});
    ExpectVectorNear(ProjectRow(turned, {2, 0, 0}), {0, 0, 0});
    ExpectVectorNear(ProjectRow(turned, {2, 0, 1}), {0, 1, 0});
}

TEST(ZMatrix4, FrustumPlanesComeFromTheColumns) {
    ZMatrix4 m;
    for (int i = 0; i < 16; ++i) {
        m[i] = static_cast<float>(i);
    }
    ZVector4 planes[6];
    ExtractFrustumPlanes(m, planes);
    const ZVector4 expected[6] = {
        {5, 13, 21, 29},  // near  = C2 + C3
        {1, 1, 1, 1},     // far   = C3 - C2
        {2, 2, 2, 2},     // top   = C3 - C1
        {4, 12, 20, 28},  // bottom = C1 + C3
        {3, 11, 19, 27},  // left  = C0 + C3
        {3, 3, 3, 3},     // right = C3 - C0
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(planes[i], expected[i]) << "plane " << i;
    }
}

TEST(ZMatrix4, FrustumPlanesOfACameraSeparateInsideFromOutside) {
    const ZMatrix4 view = ZMatrix4::LookAt({0, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1});  // identity: looking down -z
    const ZMatrix4 viewProjection = view * ZMatrix4::Perspective(kPi / 2, 1.0f, 1.0f, 100.0f, 0.0f);
    ZVector4 planes[6];
    ExtractFrustumPlanes(viewProjection, planes);
    const auto side = [&](const int plane, const ZVector3& p) { return planes[plane].Dot({p.x, p.y, p.z, 1}); };
    struct Case {
        ZVector3 point;
        int outsidePlane;  // -1: inside all
    };
    const Case cases[] = {
        {{0, 0, -10}, -1}, {{0, 0, -200}, 1}, {{0, 20, -10}, 2}, {{0, -20, -10}, 3},
        {{-20, 0, -10}, 4}, {{20, 0, -10}, 5}, {{0, 0, -0.4f}, 0},
    };
    for (const Case& c : cases) {
        for (int plane = 0; plane < 6; ++plane) {
            if (plane == c.outsidePlane) {
                EXPECT_LT(side(plane, c.point), 0.0f) << "plane " << plane;
            } else {
                EXPECT_GE(side(plane, c.point), 0.0f) << "plane " << plane << " point z " << c.point.z;
            }
        }
    }
}

TEST(ZQuaternion, FromAxisAngleAndToMatrixAgreeWithTheRotationBuilders) {
    const float s = std::sqrt(0.5f);
    ExpectQuaternionNear(ZQuaternion::FromAxisAngle({0, 0, 2}, kPi / 2), {s, 0, 0, s});

    const ZVector3 axis(1, -2, 0.5f);
    const float angle = 0.9f;
    const ZQuaternion q = ZQuaternion::FromAxisAngle(axis, angle);
    const ZMatrix4 column = ZQuaternion::ToMatrix(q, false);
    ExpectMatrixNear(column, ZMatrix4::RotationAxis(axis, angle).m);
    ExpectMatrixNear(ZQuaternion::ToMatrix(q, true), ZMatrix4::Transpose(column).m);
}

TEST(ZQuaternion, FromMatrixInvertsToMatrixOnEveryBranch) {
    struct Case {
        const char* name;
        ZQuaternion q;
    };
    const float s = std::sqrt(0.5f);
    const Case cases[] = {
        {"identity", {1, 0, 0, 0}},
        {"general", ZQuaternion::FromAxisAngle({1, 2, 3}, 1.1f)},
        {"half turn about x", {0, 1, 0, 0}},
        {"half turn about y", {0, 0, 1, 0}},
        {"half turn about z", {0, 0, 0, 1}},
        {"half turn about x+y", {0, s, s, 0}},
        {"near half turn about z", ZQuaternion::FromAxisAngle({0.1f, 0, 1}, kPi - 0.001f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZQuaternion back = ZQuaternion::FromMatrix(ZQuaternion::ToMatrix(c.q, false));
        if (back.Dot(c.q) < 0) {  // q and -q are one rotation
            back = {-back.w, -back.x, -back.y, -back.z};
        }
        ExpectQuaternionNear(back, c.q, 1e-5f);
    }
}

TEST(ZQuaternion, MultiplyAppliesTheFirstOperandFirst) {
    // Like the row-vector matrices: Multiply (a, b) rotates by a, then by b,
    // which is Hamilton's b * a.
    const ZQuaternion i(0, 1, 0, 0);
    const ZQuaternion j(0, 0, 1, 0);
    EXPECT_EQ(ZQuaternion::Multiply(i, j), ZQuaternion(0, 0, 0, -1));
    EXPECT_EQ(ZQuaternion::Multiply(j, i), ZQuaternion(0, 0, 0, 1));

    const ZQuaternion a = ZQuaternion::FromAxisAngle({1, 0, 1}, 0.4f);
    const ZQuaternion b = ZQuaternion::FromAxisAngle({0, 1, -1}, 1.3f);
    ExpectMatrixNear(ZQuaternion::ToMatrix(ZQuaternion::Multiply(a, b), true),
                     (ZQuaternion::ToMatrix(a, true) * ZQuaternion::ToMatrix(b, true)).m, 1e-5f);
    // A quarter turn about x, then one about z, takes y to z and keeps it there.
    const ZQuaternion xThenZ =
        ZQuaternion::Multiply(ZQuaternion::FromAxisAngle({1, 0, 0}, kPi / 2), ZQuaternion::FromAxisAngle({0, 0, 1}, kPi / 2));
    ExpectVectorNear(ZQuaternion::ToMatrix(xThenZ, false).TransformPoint({0, 1, 0}), {0, 0, 1});
    ExpectVectorNear(ZQuaternion::ToMatrix(xThenZ, false).TransformPoint({1, 0, 0}), {0, 1, 0});
}

TEST(ZQuaternion, NormalizeInPlaceGuardsZeroButNormalizedDoesNot) {
    ZQuaternion q(0, 2, 0, 0);
    q.Normalize();
    EXPECT_EQ(q, ZQuaternion(0, 1, 0, 0));
    ZQuaternion zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero, ZQuaternion(0, 0, 0, 0));
    ZQuaternion invalid(kNaN, 1, 0, 0);
    invalid.Normalize();
    EXPECT_EQ(invalid, ZQuaternion(0, 0, 0, 0));

    ExpectQuaternionNear(ZQuaternion::Normalized({3, 0, 4, 0}), {0.6f, 0, 0.8f, 0});
    EXPECT_FALSE(std::isfinite(ZQuaternion::Normalized({0, 0, 0, 0}).w));
}

TEST(ZQuaternion, Slerp) {
    const ZQuaternion identity(1, 0, 0, 0);
    const ZQuaternion quarterZ = ZQuaternion::FromAxisAngle({0, 0, 1}, kPi / 2);
    const ZQuaternion eighthZ = ZQuaternion::FromAxisAngle({0, 0, 1}, kPi / 4);
    const ZQuaternion negQuarterZ(-quarterZ.w, -quarterZ.x, -quarterZ.y, -quarterZ.z);
    struct Case {
        const char* name;
        float t;
        ZQuaternion a, b, expected;
    };
    const Case cases[] = {
        {"itself", 0.7f, quarterZ, quarterZ, quarterZ},
        {"t = 0", 0.0f, identity, quarterZ, identity},
        {"t = 1", 1.0f, identity, quarterZ, quarterZ},
        {"halfway", 0.5f, identity, quarterZ, eighthZ},
        // The far sign of b: a is negated to take the shorter arc.
        {"shorter arc, t = 0", 0.0f, identity, negQuarterZ, {-1, 0, 0, 0}},
        {"shorter arc, halfway", 0.5f, identity, negQuarterZ, {-eighthZ.w, 0, 0, -eighthZ.z}},
        // Too close for sin(theta): a straight blend.
        {"tiny angle", 0.25f, {1, 0, 0, 0}, {1, 1e-7f, 0, 0}, {1, 0.25e-7f, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectQuaternionNear(ZQuaternion::Slerp(c.t, c.a, c.b), c.expected, 1e-6f);
    }
    // Nearly equal inputs give a bit for bit.
    const ZQuaternion a(0.5f, 0.5f, 0.5f, 0.5f);
    const ZQuaternion b(0.500001f, 0.5f, 0.5f, 0.500001f);
    EXPECT_EQ(ZQuaternion::Slerp(0.5f, a, b), a);
}
