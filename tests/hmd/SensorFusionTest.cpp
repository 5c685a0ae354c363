#include <gtest/gtest.h>

#include <cmath>

#include "HeadsetFixture.h"
#include "hmd/sdk/SensorFusion.h"

namespace {

using HSK::MessageBodyFrame;
using HSK::Quatf;
using HSK::Vector3f;

MessageBodyFrame Frame(const Vector3f& rate, const Vector3f& accel, float dt = 0.001f) {
    MessageBodyFrame frame;
    frame.type = HSK::Message_BodyFrame;
    frame.device = nullptr;
    frame.rotationRate = rate;
    frame.acceleration = accel;
    frame.timeDelta = dt;
    return frame;
}

void ExpectQuat(const Quatf& q, const Quatf& expected, float tolerance) {
    // q and -q are the same rotation.
    const float sign = (q.x * expected.x + q.y * expected.y + q.z * expected.z + q.w * expected.w) < 0 ? -1.0f : 1.0f;
    EXPECT_NEAR(q.x * sign, expected.x, tolerance);
    EXPECT_NEAR(q.y * sign, expected.y, tolerance);
    EXPECT_NEAR(q.z * sign, expected.z, tolerance);
    EXPECT_NEAR(q.w * sign, expected.w, tolerance);
}

Quatf AxisAngle(const Vector3f& axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f)};
}

TEST(SensorFusion, FollowsAConstantRotation) {
    struct Case {
        Vector3f axis;
        float rate;  // rad/s
        int steps;   // of 1 ms
    };
    const Case cases[] = {
        {{0, 1, 0}, 1.0f, 1000},
        {{1, 0, 0}, -0.5f, 2000},
        {{0, 0.6f, 0.8f}, 2.0f, 750},
    };
    for (const Case& c : cases) {
        HSK::SensorFusion fusion;
        for (int i = 0; i < c.steps; ++i) fusion.HandleMessage(Frame(c.axis * c.rate, {0, 0, 0}));
        ExpectQuat(fusion.GetOrientation(), AxisAngle(c.axis, c.rate * 0.001f * c.steps), 1e-3f);
        // Without prediction the predicted orientation is the orientation.
        ExpectQuat(fusion.GetPredictedOrientation(), fusion.GetOrientation(), 1e-6f);
    }
}

// Rates are in the tracker's own frame, so each step turns about the axis as it
// now points: a turn about one axis then another composes on the right. Turns
// about a single axis from rest cannot tell the two orders apart; these can.
TEST(SensorFusion, TurnsAboutTwoAxesInTurnComposeInTheTrackersFrame) {
    const float quarter = 1.5707964f;
    struct Case {
        Vector3f first, second;  // axes, each turned a quarter at 1 rad/s
    };
    const Case cases[] = {
        {{0, 1, 0}, {1, 0, 0}},
        {{1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        HSK::SensorFusion fusion;
        fusion.SetGravityCorrection(false);
        fusion.SetPrediction(0.05f);
        const int steps = 1571;  // a quarter turn of 1 ms steps
        for (int i = 0; i < steps; ++i) fusion.HandleMessage(Frame(c.first, {0, 0, 0}));
        for (int i = 0; i < steps; ++i) fusion.HandleMessage(Frame(c.second, {0, 0, 0}));
        const Quatf expected = AxisAngle(c.first, quarter) * AxisAngle(c.second, quarter);
        ExpectQuat(fusion.GetOrientation(), expected, 2e-3f);
        // The prediction looks ahead about the second axis, from where the tracker now is.
        const float ahead = (0.05f + 0.001f);
        ExpectQuat(fusion.GetPredictedOrientation(), expected * AxisAngle(c.second, ahead), 2e-3f);
        // The tracker's own second axis now points where the first turn sent it.
        const Vector3f turned = fusion.GetOrientation().Rotate(c.second);
        const Vector3f want = AxisAngle(c.first, quarter).Rotate(c.second);
        EXPECT_NEAR(turned.x, want.x, 2e-3f);
        EXPECT_NEAR(turned.y, want.y, 2e-3f);
        EXPECT_NEAR(turned.z, want.z, 2e-3f);
    }
}

TEST(SensorFusion, TiltCorrectionOnlyNearRestAndOneG) {
    const Quatf tilted = AxisAngle({0, 0, 1}, 0.3f);
    struct Case {
        Vector3f accel;
        Vector3f rate;
        bool corrects;
    };
    const Case cases[] = {
        {{0, 9.81f, 0}, {0, 0, 0}, true},
        {{0, 10.3f, 0}, {0, 0, 0}, false},  // too strong
        {{0, 9.3f, 0}, {0, 0, 0}, false},   // too weak
        {{0, 9.81f, 0}, {0, 0, 3.5f}, false},  // turning fast
    };
    for (const Case& c : cases) {
        HSK::SensorFusion fusion;
        // Tilt the filter by integrating a rotation first, with correction off.
        fusion.SetGravityCorrection(false);
        for (int i = 0; i < 300; ++i) fusion.HandleMessage(Frame({0, 0, 1.0f}, {0, 0, 0}));
        fusion.SetGravityCorrection(true);
        const Quatf before = fusion.GetOrientation();
        ExpectQuat(before, tilted, 1e-3f);
        const Vector3f upBefore = before.Rotate(c.accel);
        fusion.HandleMessage(Frame(c.rate, c.accel, 0.0f));  // no rotation from this frame
        const Vector3f upAfter = fusion.GetOrientation().Rotate(c.accel);
        const float angleBefore = std::acos(upBefore.y / upBefore.Length());
        const float angleAfter = std::acos(std::min(1.0f, upAfter.y / upAfter.Length()));
        if (c.corrects) {
            EXPECT_LT(angleAfter, angleBefore) << c.accel.y;
        } else {
            EXPECT_NEAR(angleAfter, angleBefore, 1e-6f) << c.accel.y << " " << c.rate.z;
        }
    }
    // Upright at rest: nothing to correct.
    HSK::SensorFusion fusion;
    fusion.HandleMessage(Frame({0, 0, 0}, {0, 9.81f, 0}));
    ExpectQuat(fusion.GetOrientation(), Quatf(), 0.0f);
}

TEST(SensorFusion, PredictionLooksAheadAlongTheRate) {
    HSK::SensorFusion fusion;
    fusion.SetGravityCorrection(false);
    fusion.SetPrediction(0.05f);
    fusion.HandleMessage(Frame({0, 2.0f, 0}, {0, 0, 0}));
    // One step of 1 ms, predicted 51 ms ahead of the orientation before it.
    ExpectQuat(fusion.GetOrientation(), AxisAngle({0, 1, 0}, 0.002f), 1e-5f);
    ExpectQuat(fusion.GetPredictedOrientation(), AxisAngle({0, 1, 0}, 0.002f + 2.0f * 0.051f), 1e-4f);

    // A rate below the threshold predicts nothing.
    HSK::SensorFusion slow;
    slow.SetPrediction(0.05f);
    slow.HandleMessage(Frame({0, 0.0005f, 0}, {0, 0, 0}));
    ExpectQuat(slow.GetPredictedOrientation(), slow.GetOrientation(), 0.0f);

    // A frame without rotation leaves the prediction where it was.
    const Quatf predicted = fusion.GetPredictedOrientation();
    fusion.HandleMessage(Frame({0, 0, 0}, {0, 0, 0}));
    ExpectQuat(fusion.GetPredictedOrientation(), predicted, 0.0f);
}

TEST(SensorFusion, SmoothingWeighsTheLastEightRates) {
    HSK::SensorFusion fusion;
    fusion.SetGravityCorrection(false);
    fusion.SetPrediction(0.1f);
    fusion.SetSmoothing(true);
    // The first frame sees only its own rate, weighted 0.41667.
    fusion.HandleMessage(Frame({0, 1.0f, 0}, {0, 0, 0}));
    const float smoothed = 0.41667f;
    const float expected = 0.001f + smoothed * (0.1f + 0.001f);
    ExpectQuat(fusion.GetPredictedOrientation(), AxisAngle({0, 1, 0}, expected), 1e-5f);
}

}  // namespace
