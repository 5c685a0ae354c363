#include <gtest/gtest.h>

#include "InputFixture.h"

using namespace platform::input;
using inputtest::InputFixture;

namespace {

using Effect = ZInputHandler::RumbleEffect;

// Both motors with one envelope, relative to a start time.
Effect Envelope(const float start, const float strength, const float attack, const float hold, const float release) {
    Effect e;
    e.startTime = start;
    e.leftStrength = e.rightStrength = strength;
    e.leftAttackEnd = e.rightAttackEnd = start + attack;
    e.leftHoldEnd = e.rightHoldEnd = start + hold;
    e.leftReleaseEnd = e.rightReleaseEnd = start + release;
    return e;
}

}  // namespace

TEST(RumbleEnvelope, AttackHoldRelease) {
    struct Case {
        float t;
        float expected;
    };
    // S = 1, t0 = 0, attack to 0.1, hold to 0.5, release to 1.0.
    const Case cases[] = {
        {-0.1f, 0.0f}, {0.0f, 0.0f}, {0.05f, 0.5f}, {0.1f, 1.0f}, {0.3f, 1.0f},
        {0.5f, 1.0f},  {0.75f, 0.5f}, {1.0f, 0.0f}, {2.0f, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ZInputHandler::Envelope(1.0f, 0.0f, 0.1f, 0.5f, 1.0f, c.t), c.expected, 1e-5f) << "t " << c.t;
    }
    EXPECT_NEAR(ZInputHandler::Envelope(0.4f, 1.0f, 1.2f, 2.0f, 3.0f, 2.5f), 0.2f, 1e-5f);
}

class Rumble : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        UsePad();
    }
    // Polls with the pad as the active device until the rumble clock reaches t.
    void RunTo(const float t, const int32_t deviceClass = ZDeviceClass::XInputPad) {
        while (handler->GetRumbleClock() + 0.0025f < t) {
            handler->PollDevices(0.05f, deviceClass);
        }
    }
    uint16_t Left() const { return fake->PadVibration(0).wLeftMotorSpeed; }
    uint16_t Right() const { return fake->PadVibration(0).wRightMotorSpeed; }
};

// Sampled on pad 0 through the poll, as the game runs it.
TEST_F(Rumble, EnvelopeSampledOverTimeOnPadZero) {
    Effect e = Envelope(0.0f, 1.0f, 0.1f, 0.5f, 1.0f);
    e.rightStrength = 0.5f;
    handler->AddRumbleEffect(e);
    struct Case {
        float t;
        float left;  // fraction of full speed
        float right;
    };
    const Case samples[] = {{0.05f, 0.5f, 0.25f}, {0.3f, 1.0f, 0.5f}, {0.75f, 0.5f, 0.25f}, {0.95f, 0.1f, 0.05f}};
    for (const Case& c : samples) {
        RunTo(c.t);
        EXPECT_NEAR(Left(), c.left * 65535.0f, 40.0f) << "t " << c.t;
        EXPECT_NEAR(Right(), c.right * 65535.0f, 40.0f) << "t " << c.t;
    }
    EXPECT_EQ(handler->CountRumbleEffects(), 1u);
    RunTo(1.05f);
    EXPECT_EQ(handler->CountRumbleEffects(), 0u);  // removed once past both release ends
    EXPECT_EQ(Left(), 0);
    EXPECT_EQ(Right(), 0);
}

TEST_F(Rumble, EffectStaysWhileEitherMotorRuns) {
    Effect e = Envelope(0.0f, 1.0f, 0.1f, 0.2f, 0.3f);
    e.rightReleaseEnd = 2.0f;
    e.rightHoldEnd = 1.5f;
    handler->AddRumbleEffect(e);
    RunTo(1.0f);
    EXPECT_EQ(handler->CountRumbleEffects(), 1u);
    EXPECT_EQ(Left(), 0);
    EXPECT_EQ(Right(), 65535);
}

TEST_F(Rumble, OverlappingEffectsClampAtFullSpeed) {
    handler->AddRumbleEffect(Envelope(0.0f, 1.0f, 0.0f, 1.0f, 1.0f));
    handler->SetKeyedRumbleEffect(7, Envelope(0.0f, 1.0f, 0.0f, 1.0f, 1.0f));
    RunTo(0.5f);
    EXPECT_EQ(Left(), 65535);
    EXPECT_EQ(Right(), 65535);
}

TEST_F(Rumble, SpeedsAreTruncated) {
    Effect e = Envelope(0.0f, 0.99999f, 0.0f, 10.0f, 10.0f);
    e.rightStrength = 0.5f / 65535.0f;
    handler->AddRumbleEffect(e);
    RunTo(0.1f);
    EXPECT_EQ(Left(), 65534);
    EXPECT_EQ(Right(), 0);
}

TEST_F(Rumble, KeyedEffectsReplaceAndExpire) {
    handler->SetKeyedRumbleEffect(1, Envelope(0.0f, 1.0f, 0.0f, 5.0f, 5.0f));
    handler->SetKeyedRumbleEffect(1, Envelope(0.0f, 0.25f, 0.0f, 0.5f, 0.5f));
    handler->SetKeyedRumbleEffect(2, Envelope(0.0f, 0.25f, 0.0f, 5.0f, 5.0f));
    EXPECT_EQ(handler->CountRumbleEffects(), 2u);
    RunTo(0.2f);
    EXPECT_NEAR(Left(), 0.5f * 65535.0f, 1.0f);
    RunTo(0.6f);
    EXPECT_EQ(handler->CountRumbleEffects(), 1u);
    EXPECT_NEAR(Left(), 0.25f * 65535.0f, 1.0f);
    handler->RemoveKeyedRumbleEffect(2);
    RunTo(0.7f);
    EXPECT_EQ(Left(), 0);
}

TEST_F(Rumble, NothingIsSentUnlessThePadIsTheActiveDevice) {
    handler->AddRumbleEffect(Envelope(0.0f, 1.0f, 0.0f, 5.0f, 5.0f));
    for (const int32_t deviceClass : {ZDeviceClass::KeyboardMouse, ZDeviceClass::Joystick, ZDeviceClass::None}) {
        handler->PollDevices(0.05f, deviceClass);
    }
    EXPECT_EQ(fake->VibrationSends(0), 0);
    handler->PollDevices(0.05f, ZDeviceClass::XInputPad);
    EXPECT_EQ(fake->VibrationSends(0), 1);
}

TEST_F(Rumble, NothingIsSentWhileAJoystickIsSelected) {
    FakeInputSystem::JoystickDesc stick;
    stick.name = "Stick";
    stick.productId = 0x0009;
    fake->AttachJoystick(stick);
    StartDevices();
    handler->SelectJoystickByName("Stick");
    ASSERT_FALSE(handler->IsPadSelected());
    handler->AddRumbleEffect(Envelope(0.0f, 1.0f, 0.0f, 5.0f, 5.0f));
    for (int i = 0; i < 5; ++i) {
        handler->PollDevices(0.05f, ZDeviceClass::XInputPad);
    }
    handler->UpdateRumble();
    EXPECT_EQ(fake->VibrationSends(0), 0);
}

// The clock and the mix run once per poll, however many pads answer; with
// four pads plugged in, envelopes must not run four times too fast.
TEST_F(Rumble, ClockRunsOncePerPollWithSeveralPads) {
    FakeInputSystem::JoystickDesc pad;
    pad.isXInput = true;
    for (const char* name : {"Second", "Third", "Fourth"}) {
        pad.name = name;
        fake->AttachJoystick(pad);
    }
    StartDevices();
    handler->SelectJoystick(0);
    ASSERT_TRUE(handler->IsPadConnected(3));
    for (int i = 0; i < 10; ++i) {
        handler->PollDevices(0.1f, ZDeviceClass::XInputPad);
    }
    EXPECT_NEAR(handler->GetRumbleClock(), 1.0f, 1e-5f);
    EXPECT_EQ(fake->VibrationSends(0), 10);
    EXPECT_EQ(fake->VibrationSends(1), 0);  // only pad 0 ever vibrates
}

TEST_F(Rumble, PauseStopsTheMotorsAndHoldsTheClock) {
    handler->AddRumbleEffect(Envelope(0.0f, 1.0f, 0.0f, 0.5f, 1.0f));
    RunTo(0.75f);
    const float clock = handler->GetRumbleClock();
    const uint16_t before = Left();
    EXPECT_GT(before, 0);

    handler->SetRumblePaused(true);
    EXPECT_EQ(Left(), 0);
    EXPECT_EQ(Right(), 0);
    for (int i = 0; i < 20; ++i) {
        handler->PollDevices(0.05f, ZDeviceClass::XInputPad);
    }
    EXPECT_EQ(handler->GetRumbleClock(), clock);
    EXPECT_EQ(Left(), 0);

    handler->SetRumblePaused(false);
    handler->PollDevices(0.0f, ZDeviceClass::XInputPad);  // resume at the same clock time
    EXPECT_EQ(Left(), before);
}
