// The camera: snapped orthographic and perspective matrices against values
// worked out by hand, the field of view, turning with the pitch limit, the
// headset's eye views and the shared clamp.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "hmd/ZHMDMgr.h"
#include "renderer/ZCamera.h"

namespace {

constexpr float kTolerance = 1e-5f;

::testing::AssertionResult MatrixNear(const ZMatrix4& got, const float (&want)[16]) {
    for (int i = 0; i < 16; ++i) {
        if (std::fabs(got.m[i] - want[i]) > kTolerance * std::fmax(1.0f, std::fabs(want[i]))) {
            ::testing::AssertionResult failure = ::testing::AssertionFailure();
            failure << "element " << i << " is " << got.m[i] << ", not " << want[i] << "; got";
            for (float e : got.m) failure << " " << e;
            return failure;
        }
    }
    return ::testing::AssertionSuccess();
}

// A row vector (p, 1) times the matrix, divided by w.
ZVector3 Project(const ZMatrix4& m, const ZVector3& p) {
    float out[4];
    for (int c = 0; c < 4; ++c) {
        out[c] = p.x * m.m[c] + p.y * m.m[4 + c] + p.z * m.m[8 + c] + m.m[12 + c];
    }
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

class HeadsetOn : public ZHMDMgr {
public:
    bool IsActive() const override { return true; }
    float GetVerticalFOV() const override { return 0.75f; }
};

class ZCameraTest : public ::testing::Test {
protected:
    void TearDown() override {
        DestroyHMDManager();
        gWorldUp = {0.0f, 0.0f, 1.0f};
    }
    // Looking along +x with the world up +z: right is +y, up is +z.
    static void LookAlongX(ZCamera& camera) { camera.SetOrientation({1, 0, 0}, {0, 0, 1}); }
};

TEST_F(ZCameraTest, ConstructionStoresRadiansAndTheDefaults) {
    ZCamera camera(90.0f, 2.0f, 0.5f, 50.0f);
    EXPECT_FLOAT_EQ(camera.fov, 90.0f * 0.017453292f);
    EXPECT_FLOAT_EQ(camera.fov, static_cast<float>(M_PI / 2));
    EXPECT_EQ(camera.aspect, 2.0f);
    EXPECT_EQ(camera.nearPlane, 0.5f);
    EXPECT_EQ(camera.farPlane, 50.0f);
    EXPECT_EQ(camera.referenceAspect, -1.0f);
    EXPECT_FLOAT_EQ(camera.maxPitch, 89.0f * 0.017453292f);
    EXPECT_FALSE(camera.orthographic);
    EXPECT_FALSE(camera.pixelSnap);
    EXPECT_TRUE(camera.useWorldUp);
    EXPECT_FALSE(camera.dirty) << "the matrices are built at construction";
}

TEST_F(ZCameraTest, FieldOfViewIsDegreesInPerspectiveAndUnitsInOrthographic) {
    ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
    camera.SetFieldOfView(90.0f);
    EXPECT_FLOAT_EQ(camera.fov, static_cast<float>(M_PI / 2));
    EXPECT_TRUE(camera.dirty);
    camera.SetOrthographic(true);
    camera.SetFieldOfView(224.0f);
    EXPECT_EQ(camera.fov, 224.0f);
    DestroyHMDManager();
    gHMDMgr = new HeadsetOn();
    camera.SetFieldOfView(224.0f);
    EXPECT_EQ(camera.fov, 0.75f) << "a headset's own field of view wins";
}

TEST_F(ZCameraTest, SnappingOrthographicCamerasLookFromPixelCentres) {
    struct Case {
        float position;
        float eye;  // the component of the eye point the view is built from
    };
    const Case cases[] = {{10.3f, 10.5f}, {10.6f, 11.5f}, {10.5f, 11.5f},
                          {-0.4f, 0.5f},  {-0.6f, -0.5f}, {0.0f, 0.5f}};
    for (const Case& c : cases) {
        ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
        camera.SetOrthographic(true);
        camera.SetPixelSnap(true);
        LookAlongX(camera);
        camera.SetPosition({c.position, c.position, c.position});
        ZMatrix4 view;
        camera.GetView(view);
        // The last row holds forward . eye, -right . eye, up . eye.
        EXPECT_FLOAT_EQ(view.m[12], c.eye) << c.position;
        EXPECT_FLOAT_EQ(view.m[13], -c.eye) << c.position;
        EXPECT_FLOAT_EQ(view.m[14], c.eye) << c.position;
    }
    // Without snapping, or in perspective, the position is the eye.
    for (const bool ortho : {false, true}) {
        ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
        camera.SetOrthographic(ortho);
        camera.SetPixelSnap(!ortho);
        LookAlongX(camera);
        camera.SetPosition({10.3f, 0.0f, 0.0f});
        ZMatrix4 view;
        camera.GetView(view);
        EXPECT_FLOAT_EQ(view.m[12], 10.3f);
    }
}

TEST_F(ZCameraTest, TheOrthographicMatricesMatchHandWorkedValues) {
    ZCamera camera(60.0f, 256.0f / 224.0f, 1.0f, 11.0f);
    camera.SetOrthographic(true);
    camera.SetPixelSnap(true);
    camera.SetFieldOfView(224.0f);
    LookAlongX(camera);
    camera.SetPosition({10.3f, 20.6f, 3.2f});  // seen from (10.5, 21.5, 3.5)

    // h = 112: x from -128 to 128, y from -112 (top) to 112 (bottom), depth 1..11.
    const float projection[16] = {2.0f / 256, 0, 0, 0, 0, -2.0f / 224, 0, 0, 0, 0, -0.1f, 0, 0, 0, -0.1f, 1};
    // Columns -forward, right, -up; last row forward.e, -right.e, up.e.
    const float view[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 10.5f, -21.5f, 3.5f, 1};
    const float viewProjection[16] = {
        -2.0f / 256,   0, 0, 0, 0, -2.0f / 224, 0, 0, 0, 0, 0.1f, 0, 10.5f * 2.0f / 256, 21.5f * 2.0f / 224,
        -0.35f - 0.1f, 1};
    ZMatrix4 m;
    camera.GetProjection(m);
    EXPECT_TRUE(MatrixNear(m, projection));
    camera.GetView(m);
    EXPECT_TRUE(MatrixNear(m, view));
    camera.GetViewProjection(m);
    EXPECT_TRUE(MatrixNear(m, viewProjection));

    // The left plane of the frustum passes through the picture's left edge,
    // 128 units from the eye along -view x (+x here).
    const ZVector4 left = camera.GetFrustumPlanes()[4];
    EXPECT_NEAR(left.x * 138.5f + left.y * 21.5f + left.z * 3.0f + left.w, 0.0f, 1e-5f);
}

TEST_F(ZCameraTest, ATwoDimensionalCameraMapsWorldPixelsToTheGameScreen) {
    // The set-up a side view uses: screen x along world x, screen y down
    // along world y, looking down -z; world - camera + (128, 112) is the screen.
    ZCamera camera(60.0f, 256.0f / 224.0f, 0.1f, 100.0f);
    camera.SetOrthographic(true);
    camera.SetPixelSnap(true);
    camera.SetFieldOfView(224.0f);
    camera.SetUseWorldUp(false);
    camera.SetOrientation({-1, 0, 0}, {0, 0, -1});
    camera.SetPosition({300.2f, 150.0f, 10.0f});  // seen from (300.5, 150.5, 10.5)
    const ZMatrix4 vp = camera.GetViewProjection();
    struct Case {
        ZVector3 world;
        float screenX, screenY;  // pixels, clip (-1, 1) at (0, 0)
    };
    const Case cases[] = {{{300.5f, 150.5f, 0.0f}, 128.0f, 112.0f},
                          {{172.5f, 38.5f, 0.0f}, 0.0f, 0.0f},
                          {{428.5f, 262.5f, 0.0f}, 256.0f, 224.0f},
                          {{310.5f, 140.5f, 0.0f}, 138.0f, 102.0f}};
    for (const Case& c : cases) {
        const ZVector3 clip = Project(vp, c.world);
        EXPECT_NEAR((clip.x + 1.0f) * 128.0f, c.screenX, 1e-3f) << c.world.x;
        EXPECT_NEAR((1.0f - clip.y) * 112.0f, c.screenY, 1e-3f) << c.world.y;
        EXPECT_GE(clip.z, 0.0f);
        EXPECT_LE(clip.z, 1.0f);
    }
}

TEST_F(ZCameraTest, ThePerspectiveMatricesMatchHandWorkedValues) {
    ZCamera camera(90.0f, 2.0f, 1.0f, 101.0f);
    LookAlongX(camera);
    // fov pi/2: y scale 1, x scale 1/aspect; depth far/(near-far) and near*far/(near-far).
    const float projection[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.01f, -1, 0, 0, -1.01f, 0};
    const float viewProjection[16] = {-0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0};
    ZMatrix4 m;
    camera.GetProjection(m);
    EXPECT_TRUE(MatrixNear(m, projection));
    camera.GetViewProjection(m);
    EXPECT_TRUE(MatrixNear(m, viewProjection));
    // A perspective camera never snaps.
    camera.SetPixelSnap(true);
    camera.SetPosition({0.3f, 0.0f, 0.0f});
    camera.GetView(m);
    EXPECT_FLOAT_EQ(m.m[12], 0.3f);
}

TEST_F(ZCameraTest, YawKeepsPositionAndUpAndPitchStopsAtTheLimit) {
    ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
    LookAlongX(camera);
    camera.SetPosition({1, 2, 3});
    camera.Update();
    camera.Yaw(static_cast<float>(M_PI / 2));
    camera.Update();
    EXPECT_EQ(camera.position, ZVector3(1, 2, 3));
    EXPECT_NEAR(camera.up.z, 1.0f, 1e-6f);
    EXPECT_NEAR(camera.forward.y, 1.0f, 1e-6f) << "a quarter turn about +z takes +x to +y";

    struct Case {
        float angle;      // degrees
        float elevation;  // expected degrees above the horizontal
    };
    const Case cases[] = {{30.0f, 30.0f}, {-45.0f, -45.0f}, {120.0f, 89.0f}, {-100.0f, -89.0f}};
    for (const Case& c : cases) {
        LookAlongX(camera);
        camera.Update();
        camera.Pitch(c.angle * 0.017453292f);
        const float elevation = std::asin(camera.forward.Dot(gWorldUp)) / 0.017453292f;
        EXPECT_NEAR(elevation, c.elevation, 1e-3f) << c.angle;
    }
    // Roll turns up about forward and leaves forward alone.
    LookAlongX(camera);
    camera.SetUseWorldUp(false);
    camera.Update();
    camera.Roll(static_cast<float>(M_PI / 2));
    EXPECT_NEAR(camera.forward.x, 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(camera.up.y), 1.0f, 1e-6f);
}

TEST_F(ZCameraTest, HeadsetEyesGetTheirOwnViews) {
    ZCamera camera(90.0f, 2.0f, 1.0f, 101.0f);
    LookAlongX(camera);
    ZMatrix4 mono;
    camera.GetViewProjection(mono);
    // Without a headset the eye index changes nothing.
    GetHMDManager()->eye = 1;
    ZMatrix4 m;
    camera.GetViewProjection(m);
    EXPECT_EQ(m, mono);

    gHMDMgr->eye = 0;
    DestroyHMDManager();
    gHMDMgr = new HeadsetOn();
    gHMDMgr->eye = 1;
    ZMatrix4 left;
    camera.GetViewProjection(left);
    gHMDMgr->eye = 2;
    ZMatrix4 right;
    camera.GetViewProjection(right);
    EXPECT_NE(left, right);
    // The eyes sit 0.2 to either side along right (+y, view y here): a point
    // straight ahead moves oppositely in each.
    const ZVector3 ahead{0.0f, 0.0f, 10.0f};
    EXPECT_NEAR(Project(left, ahead).y, -0.02f, 1e-6f);
    EXPECT_NEAR(Project(right, ahead).y, 0.02f, 1e-6f);
    // The headset halves the aspect ratio of the projection.
    camera.GetProjection(m);
    EXPECT_FLOAT_EQ(m.m[0], 1.0f);
}

TEST_F(ZCameraTest, AScreenSizeChangeSetsTheAspectRatio) {
    ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
    camera.OnResolutionChanged(1280, 720);
    EXPECT_FLOAT_EQ(camera.aspect, 1280.0f / 720.0f);
    EXPECT_TRUE(camera.dirty);
    camera.OnResolutionChanged(0, 0);
    EXPECT_FLOAT_EQ(camera.aspect, 1280.0f / 720.0f) << "an empty size is ignored";
}

TEST(SaturateTest, ClampsToTheUnitRangeAndNaNToZero) {
    struct Case {
        float in, out;
    };
    const Case cases[] = {{-1.0f, 0.0f},
                          {0.0f, 0.0f},
                          {0.25f, 0.25f},
                          {1.0f, 1.0f},
                          {7.0f, 1.0f},
                          {std::numeric_limits<float>::infinity(), 1.0f},
                          {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (const Case& c : cases) {
        EXPECT_EQ(Saturate(c.in), c.out) << c.in;
    }
}

}  // namespace
