#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "InputFixture.h"

using namespace platform;
using namespace platform::input;
using inputtest::InputFixture;

namespace {

const ZHashedString kGeneral("General");
const ZHashedString kMenus("Menus");
const ZHashedString kGameplay("Gameplay");
const ZHashedString kOverworld("Overworld");
const ZHashedString kPause("Pause");
const ZHashedString kAccept("Accept");
const ZHashedString kNavUp("NavUp");
const ZHashedString kJump("Jump");
const ZHashedString kEnter("Enter");
const ZHashedString kInteract("Interact");
const ZHashedString kMoveLeft("MoveLeft");
const ZHashedString kNorth("MoveNorth");
const ZHashedString kSouth("MoveSouth");
const ZHashedString kEast("MoveEast");
const ZHashedString kWest("MoveWest");

ZInputBinding Key(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Keyboard, code); }

bool gBlocked = false;
bool IsBlocked() { return gBlocked; }

std::vector<int32_t> gClassChanges;
void OnClassChanged(const int32_t deviceClass) { gClassChanges.push_back(deviceClass); }

}  // namespace

// The engine's and the game's groups, in the shapes the program makes them.
class ControlMgr : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        gBlocked = false;
        gClassChanges.clear();
        ZControlMgr::Hooks hooks;
        hooks.isInputBlocked = IsBlocked;
        hooks.onActiveDeviceClassChanged = OnClassChanged;
        mgr = Controls();
        mgr->SetHooks(hooks);
        mgr->AddControlGroup(kGeneral, true, false, true, false);
        mgr->AddControl(kGeneral, kPause, false);
        mgr->AddControlGroup(kMenus, false, false, true, false);
        mgr->AddControl(kMenus, kAccept, false);
        mgr->AddControl(kMenus, kNavUp, false);
        mgr->AddControlGroup(kGameplay, true, true, false, false);
        for (const ZHashedString name : {kMoveLeft, kJump, kEnter, kInteract}) {
            mgr->AddControl(kGameplay, name, false);
        }
        mgr->AddControlGroup(kOverworld, true, true, false, false);
        for (const ZHashedString name : {kWest, kEast, kNorth, kSouth}) {
            mgr->AddControl(kOverworld, name, false);
        }
        mgr->AddBinding(kGeneral, kPause, Key(DIK_ESCAPE));
        mgr->AddBinding(kMenus, kAccept, Key(DIK_RETURN));
        mgr->AddBinding(kGameplay, kJump, Key(DIK_SPACE));
        mgr->AddBinding(kOverworld, kNorth, Key(DIK_W));
        mgr->AddBinding(kOverworld, kSouth, Key(DIK_S));
        mgr->AddBinding(kOverworld, kEast, Key(DIK_D));
        mgr->AddBinding(kOverworld, kWest, Key(DIK_A));
        StartDevices();
    }

    uint32_t CountBindings(const ZHashedString group, const ZHashedString control) {
        const ZControl* c = mgr->GetControl(group, control);
        return c != nullptr ? c->bindings.Count() : 0;
    }

    ZControlMgr* mgr = nullptr;
};

TEST_F(ControlMgr, GroupsAndControlsAreUniqueByName) {
    EXPECT_EQ(mgr->AddControlGroup(kMenus, true, true, true, true), nullptr);
    EXPECT_EQ(mgr->GetGroup(kMenus)->rebindable, 0);  // the existing group is unchanged
    EXPECT_EQ(mgr->AddControl(kMenus, kAccept, true), nullptr);
    EXPECT_EQ(mgr->AddControl(ZHashedString("NoGroup"), kAccept, false), nullptr);
    // Names are unique per group, not across groups.
    EXPECT_NE(mgr->AddControl(kGameplay, kAccept, true), nullptr);

    EXPECT_EQ(mgr->FindGroup(kGameplay), 2);
    EXPECT_EQ(mgr->FindGroup(ZHashedString("NoGroup")), -1);
    EXPECT_EQ(mgr->FindControl(kGameplay, kJump), 1);
    EXPECT_EQ(mgr->FindControl(kGameplay, kPause), -1);
    EXPECT_EQ(mgr->GetGroupIdAt(1), kMenus);
    EXPECT_TRUE(mgr->GetGroupIdAt(4).IsNone());
    EXPECT_TRUE(mgr->GetGroupIdAt(-1).IsNone());
    EXPECT_EQ(mgr->GetControlIdAt(kMenus, 1), kNavUp);
    EXPECT_TRUE(mgr->GetControlIdAt(kMenus, 2).IsNone());
    EXPECT_EQ(mgr->CountVisibleControls(kGameplay), 4);  // the hidden Accept is not counted
    EXPECT_EQ(mgr->CountVisibleControls(ZHashedString("NoGroup")), 0);
}

TEST_F(ControlMgr, MissingGroupsAndControlsAnswerNothing) {
    const ZHashedString nothing("Nothing");
    fake->SetKey(DIK_RETURN, true);
    Frame();
    EXPECT_EQ(mgr->GetValue(nothing, kAccept), 0.0f);
    EXPECT_EQ(mgr->GetValue(kMenus, nothing), 0.0f);
    EXPECT_FALSE(mgr->WasPressed(kMenus, nothing, 0.5f));
    EXPECT_FALSE(mgr->IsDown(nothing, kAccept, 0.5f));
    EXPECT_FALSE(mgr->WasUp(nothing, kAccept, 0.5f));
    EXPECT_FALSE(mgr->WasPressedRepeating(nothing, kAccept));
    mgr->AddBinding(nothing, kAccept, Key(1));
    mgr->ClearBindings(kMenus, nothing);
    EXPECT_EQ(mgr->GetPromptBinding(kMenus, nothing).kind, ZInputBinding::kEmpty);
}

TEST_F(ControlMgr, PressHoldAndReleaseOfAKey) {
    struct Case {
        bool down;
        bool pressed, isDown, released, wasUp;
    };
    const Case frames[] = {
        {true, true, true, false, true},   {true, false, true, false, false}, {true, false, true, false, false},
        {false, false, false, true, false}, {false, false, false, false, true},
    };
    int n = 0;
    for (const Case& c : frames) {
        fake->SetKey(DIK_RETURN, c.down);
        Frame();
        EXPECT_EQ(mgr->WasPressed(kMenus, kAccept, 0.5f), c.pressed) << "frame " << n;
        EXPECT_EQ(mgr->IsDown(kMenus, kAccept, 0.5f), c.isDown) << "frame " << n;
        EXPECT_EQ(mgr->WasReleased(kMenus, kAccept, 0.5f), c.released) << "frame " << n;
        EXPECT_EQ(mgr->WasUp(kMenus, kAccept, 0.5f), c.wasUp) << "frame " << n;
        ++n;
    }
}

// Per-step groups keep their state through frames without a step.
TEST_F(ControlMgr, PerStepGroupsChangeOnlyOnSteps) {
    fake->SetKey(DIK_SPACE, true);
    Frame();
    EXPECT_FALSE(mgr->IsDown(kGameplay, kJump, 0.5f));
    Step();
    EXPECT_TRUE(mgr->WasPressed(kGameplay, kJump, 0.5f));
    Frame();
    Frame();
    EXPECT_TRUE(mgr->WasPressed(kGameplay, kJump, 0.5f));
    Step();
    EXPECT_FALSE(mgr->WasPressed(kGameplay, kJump, 0.5f));
    EXPECT_TRUE(mgr->IsDown(kGameplay, kJump, 0.5f));
    // A per-frame group is not touched by steps.
    fake->SetKey(DIK_RETURN, true);
    handler->PollDevices(0.016f, 1);
    Step();
    EXPECT_FALSE(mgr->IsDown(kMenus, kAccept, 0.5f));
}

TEST_F(ControlMgr, RepeatFiresOnPressThenAfterDelayThenAtIntervals) {
    const float dt = 0.005f;
    fake->SetKey(DIK_RETURN, true);
    std::vector<float> fired;
    float t = 0.0f;
    for (int i = 0; i < 120; ++i) {  // 0.6 s held
        Frame(dt);
        if (mgr->WasPressedRepeating(kMenus, kAccept)) {
            fired.push_back(t);
        }
        t += dt;
    }
    ASSERT_GE(fired.size(), 4u);
    EXPECT_EQ(fired[0], 0.0f);
    EXPECT_NEAR(fired[1] - fired[0], 0.35f, dt * 1.5f);
    for (size_t i = 2; i < fired.size(); ++i) {
        EXPECT_NEAR(fired[i] - fired[i - 1], 0.075f, dt * 1.5f) << i;
    }
    fake->SetKey(DIK_RETURN, false);
    Frame(dt);
    EXPECT_FALSE(mgr->WasPressedRepeating(kMenus, kAccept));
}

TEST_F(ControlMgr, CinematicsBlockOnlyMarkedGroups) {
    fake->SetKey(DIK_ESCAPE, true);
    fake->SetKey(DIK_RETURN, true);
    fake->SetKey(DIK_SPACE, true);
    gBlocked = true;
    FrameAndStep();
    struct Case {
        ZHashedString group, control;
        bool answers;
    };
    const Case cases[] = {{kGeneral, kPause, false}, {kGameplay, kJump, false}, {kMenus, kAccept, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(mgr->WasPressed(c.group, c.control, 0.5f), c.answers) << c.group.GetText();
        EXPECT_EQ(mgr->IsDown(c.group, c.control, 0.5f), c.answers) << c.group.GetText();
        EXPECT_EQ(mgr->GetValue(c.group, c.control) > 0.0f, c.answers) << c.group.GetText();
    }
    gBlocked = false;
    EXPECT_TRUE(mgr->IsDown(kGeneral, kPause, 0.5f));  // the control itself kept running
}

TEST_F(ControlMgr, AnInputMovesBetweenControlsOfAGroupUnlessShared) {
    mgr->AddBinding(kGameplay, kInteract, Key(DIK_SPACE));
    EXPECT_EQ(CountBindings(kGameplay, kJump), 0u);
    EXPECT_EQ(CountBindings(kGameplay, kInteract), 1u);
    mgr->AddBinding(kGameplay, kInteract, Key(DIK_SPACE));
    EXPECT_EQ(CountBindings(kGameplay, kInteract), 1u);  // never twice on one control

    ZArray<ZHashedString> shared;
    shared.PushBack(kJump);
    shared.PushBack(kEnter);
    shared.PushBack(kInteract);
    ASSERT_NE(mgr->AddShareSet(kGameplay, shared), nullptr);
    EXPECT_EQ(mgr->AddShareSet(ZHashedString("NoGroup"), shared), nullptr);
    mgr->AddBinding(kGameplay, kJump, Key(DIK_SPACE));
    mgr->AddBinding(kGameplay, kEnter, Key(DIK_SPACE));
    EXPECT_EQ(CountBindings(kGameplay, kJump), 1u);
    EXPECT_EQ(CountBindings(kGameplay, kEnter), 1u);
    EXPECT_EQ(CountBindings(kGameplay, kInteract), 1u);
    mgr->AddBinding(kGameplay, kMoveLeft, Key(DIK_SPACE));  // outside the set: takes it from all three
    EXPECT_EQ(CountBindings(kGameplay, kJump), 0u);
    EXPECT_EQ(CountBindings(kGameplay, kInteract), 0u);

    // Another group is not affected; axis halves of opposite sign are different inputs.
    mgr->AddBinding(kMenus, kAccept, Key(DIK_SPACE));
    EXPECT_EQ(CountBindings(kGameplay, kMoveLeft), 1u);
    mgr->AddBinding(kMenus, kAccept, ZInputBinding::Axis(ZInputAxis::XboxLSY, 1.0f));
    mgr->AddBinding(kMenus, kNavUp, ZInputBinding::Axis(ZInputAxis::XboxLSY, -1.0f));
    EXPECT_EQ(CountBindings(kMenus, kAccept), 3u);
    mgr->AddBinding(kMenus, kNavUp, ZInputBinding::Axis(ZInputAxis::XboxLSY, 0.5f));
    EXPECT_EQ(CountBindings(kMenus, kAccept), 2u);
}

TEST_F(ControlMgr, ClearingAllOrOnlyRebindableGroups) {
    mgr->ClearAllBindings(true);
    EXPECT_EQ(CountBindings(kGameplay, kJump), 0u);
    EXPECT_EQ(CountBindings(kOverworld, kNorth), 0u);
    EXPECT_EQ(CountBindings(kMenus, kAccept), 1u);
    EXPECT_EQ(CountBindings(kGeneral, kPause), 1u);
    mgr->ClearBindings(kMenus, kAccept);
    EXPECT_EQ(CountBindings(kMenus, kAccept), 0u);
    mgr->ClearAllBindings(false);
    EXPECT_EQ(CountBindings(kGeneral, kPause), 0u);
}

// A sum above 1 is held at the cap, then let through at the ramp rate.
TEST_F(ControlMgr, RampHoldsLargeSumsThenFollows) {
    mgr->AddBinding(kGameplay, kJump, Key(DIK_J));
    fake->SetKey(DIK_SPACE, true);
    fake->SetKey(DIK_J, true);
    FrameAndStep(0.1f);
    const ZControl* jump = mgr->GetControl(kGameplay, kJump);
    EXPECT_EQ(jump->rawValue, 2.0f);
    EXPECT_EQ(mgr->GetValue(kGameplay, kJump), 1.0f);
    float last = 1.0f;
    for (int i = 0; i < 30; ++i) {
        FrameAndStep(0.1f);
        const float now = mgr->GetValue(kGameplay, kJump);
        EXPECT_GT(now, last) << i;
        EXPECT_LT(now, 2.0f) << i;
        last = now;
    }
    EXPECT_NEAR(last, 2.0f, 0.05f);
    fake->SetKey(DIK_J, false);  // back to 1: the ramp is over, the value follows
    FrameAndStep(0.1f);
    EXPECT_EQ(mgr->GetValue(kGameplay, kJump), 1.0f);
}

TEST_F(ControlMgr, ResponseShapeAndScales) {
    ZControl* jump = mgr->GetControl(kGameplay, kJump);
    jump->responseExponent = 2.0f;
    jump->activeScale = 0.5f;
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::JoyPosX, 1.0f));
    const Guid stick = fake->AttachJoystick(FakeInputSystem::JoystickDesc());
    StartDevices();
    handler->SelectJoystick(0);
    JoystickState half;
    half.lX = 18944;  // reads 0.5
    fake->SetJoystickState(stick, half);
    FrameAndStep();
    EXPECT_FLOAT_EQ(mgr->GetValue(kGameplay, kJump), 0.5f * 0.25f);
}

// A mouse axis drives the control straight: idle scale times the raw speed,
// no cap.
TEST_F(ControlMgr, MouseDrivenControlsReadIdleScaleTimesRaw) {
    ZControl* jump = mgr->GetControl(kGameplay, kJump);
    jump->idleScale = 0.01f;
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::MouseX, 1.0f));
    fake->MoveMouse(10, 0);
    Frame(0.02f);  // 500 counts per second
    Step(0.02f);
    EXPECT_TRUE(jump->mouseDriven);
    EXPECT_FLOAT_EQ(mgr->GetValue(kGameplay, kJump), 5.0f);
}

TEST_F(ControlMgr, DiagonalOnTheStickIsCircular) {
    ASSERT_NE(mgr->AddStick(kOverworld, kNorth, kSouth, kEast, kWest), nullptr);
    fake->SetKey(DIK_D, true);
    fake->SetKey(DIK_W, true);
    FrameAndStep();
    EXPECT_NEAR(mgr->GetValue(kOverworld, kEast), 0.70710677f, 1e-5f);
    EXPECT_NEAR(mgr->GetValue(kOverworld, kNorth), 0.70710677f, 1e-5f);
    EXPECT_EQ(mgr->GetValue(kOverworld, kWest), 0.0f);
    EXPECT_EQ(mgr->GetValue(kOverworld, kSouth), 0.0f);
    fake->SetKey(DIK_W, false);
    FrameAndStep();
    EXPECT_FLOAT_EQ(mgr->GetValue(kOverworld, kEast), 1.0f);
}

// With a ramp that starts low and grows, a 90-degree turn keeps the grown
// cap and a reversal starts it over.
TEST_F(ControlMgr, ReversingTheStickResetsItsRamp) {
    ZStickControl* stick = mgr->AddStick(kOverworld, kNorth, kSouth, kEast, kWest);
    ASSERT_NE(stick, nullptr);
    stick->rampThreshold = 0.5f;
    stick->initialCap = 0.25f;
    stick->rampRate = 2.0f;
    fake->SetKey(DIK_D, true);
    FrameAndStep(0.1f);
    EXPECT_FLOAT_EQ(mgr->GetValue(kOverworld, kEast), 0.25f);
    for (int i = 0; i < 3; ++i) {
        FrameAndStep(0.1f);
    }
    const float grown = mgr->GetValue(kOverworld, kEast);
    EXPECT_GT(grown, 0.5f);

    fake->SetKey(DIK_D, false);
    fake->SetKey(DIK_W, true);  // a quarter turn
    FrameAndStep(0.1f);
    EXPECT_GT(mgr->GetValue(kOverworld, kNorth), grown);

    fake->SetKey(DIK_W, false);
    fake->SetKey(DIK_S, true);  // reversal
    FrameAndStep(0.1f);
    EXPECT_FLOAT_EQ(mgr->GetValue(kOverworld, kSouth), 0.25f);
}

TEST_F(ControlMgr, SticksNeedTheirFourControls) {
    EXPECT_EQ(mgr->AddStick(kOverworld, kNorth, kSouth, kEast, ZHashedString("MoveUpward")), nullptr);
    EXPECT_EQ(mgr->AddStick(ZHashedString("NoGroup"), kNorth, kSouth, kEast, kWest), nullptr);
    fake->SetKey(DIK_D, true);
    FrameAndStep();
    EXPECT_EQ(mgr->GetValue(kOverworld, kEast), 1.0f);
}

TEST_F(ControlMgr, TracksTheDeviceClassUsedLast) {
    FakeInputSystem::JoystickDesc padDesc;
    padDesc.isXInput = true;
    fake->AttachJoystick(padDesc);
    StartDevices();
    handler->SelectJoystick(0);
    mgr->ResetActiveDeviceClass();
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::XInputPad);
    mgr->AddBinding(kMenus, kAccept, ZInputBinding::Button(ZInputDevice::XInput, XINPUT_GAMEPAD_A));

    fake->SetKey(DIK_RETURN, true);
    Frame();
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::KeyboardMouse);
    Frame();  // held: no change, no call
    input::Gamepad a;
    a.wButtons = XINPUT_GAMEPAD_A;
    fake->SetPad(0, a);
    Frame();
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::XInputPad);
    EXPECT_EQ(gClassChanges, (std::vector<int32_t>{ZDeviceClass::KeyboardMouse, ZDeviceClass::XInputPad}));
}

TEST_F(ControlMgr, StartingDeviceClassFollowsTheSelectedController) {
    fake->AttachJoystick(FakeInputSystem::JoystickDesc());
    FakeInputSystem::JoystickDesc padDesc;
    padDesc.isXInput = true;
    padDesc.productId = 0x0077;
    fake->AttachJoystick(padDesc);
    StartDevices();
    struct Case {
        int32_t select;
        int32_t expected;
    };
    const Case cases[] = {{-1, ZDeviceClass::KeyboardMouse}, {0, ZDeviceClass::Joystick}, {1, ZDeviceClass::XInputPad}};
    for (const Case& c : cases) {
        handler->SelectJoystick(c.select);
        mgr->ResetActiveDeviceClass();
        EXPECT_EQ(mgr->GetActiveDeviceClass(), c.expected) << c.select;
    }
}

TEST_F(ControlMgr, RecorderListsRefreshesAndPlaysBackControls) {
    ZArray<ZHashedString> excluded;
    excluded.PushBack(kGeneral);
    excluded.PushBack(kMenus);
    ZArray<ZControlSample> samples;
    samples.PushBack(ZControlSample());
    mgr->SnapshotControls(samples, excluded);
    ASSERT_EQ(samples.Count(), 8u);
    EXPECT_EQ(samples[0].group, 2);
    EXPECT_EQ(samples[1].control, 1);
    EXPECT_EQ(samples[4].group, 3);
    EXPECT_EQ(samples[4].control, 0);

    fake->SetKey(DIK_SPACE, true);
    FrameAndStep();
    mgr->FillSnapshot(samples);
    EXPECT_EQ(samples[1].value, 1.0f);  // Jump
    EXPECT_EQ(samples[1].change, 1.0f);
    EXPECT_EQ(samples[0].change, 0.0f);

    fake->SetKey(DIK_SPACE, false);
    FrameAndStep();
    mgr->SetControlValue(2, 2, 1.0f);  // Enter, as a recording replays it
    mgr->SetControlValue(9, 0, 1.0f);
    mgr->SetControlValue(2, 99, 1.0f);
    EXPECT_TRUE(mgr->WasPressed(kGameplay, kEnter, 0.5f));
}
