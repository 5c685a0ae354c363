#include <gtest/gtest.h>

#include <cstring>

#include "InputFixture.h"

using namespace platform;
using namespace platform::input;
using inputtest::InputFixture;

namespace {

FakeInputSystem::JoystickDesc Stick(const char* name) {
    FakeInputSystem::JoystickDesc desc;
    desc.name = name;
    desc.productId = 0x0002;
    return desc;
}

FakeInputSystem::JoystickDesc PadDesc(const char* name) {
    FakeInputSystem::JoystickDesc desc;
    desc.name = name;
    desc.isXInput = true;
    desc.productId = 0x0003;
    return desc;
}

bool IsNeutral(const JoystickState& s) {
    const JoystickState neutral;
    return std::memcmp(&s, &neutral, sizeof(JoystickState)) == 0 && s.rgdwPOV[0] == kPovCentered;
}

}  // namespace

using InputHandler = InputFixture;

TEST_F(InputHandler, ConstructionClearsStateAndSelectsNothing) {
    EXPECT_EQ(handler->GetSelectedJoystick(), -1);
    EXPECT_EQ(handler->mouseScale, 1.0f);
    EXPECT_FALSE(handler->IsPadSelected());
    EXPECT_TRUE(handler->GetSelectedJoystickName().IsNone());
    EXPECT_TRUE(IsNeutral(handler->current.joystick));
}

TEST_F(InputHandler, WithoutAJoystickTheJoystickReadsNeutral) {
    StartDevices();
    handler->current.joystick.lX = 1234;  // whatever was there
    handler->PollDevices(0.016f, 1);
    EXPECT_TRUE(IsNeutral(handler->current.joystick));
    for (const uint32_t hat : handler->current.joystick.rgdwPOV) {
        EXPECT_EQ(hat & 0xFFFF, 0xFFFFu);
    }
}

// Pads are told apart from other controllers by "IG_" in their raw device
// name, and are never opened as joysticks.
TEST_F(InputHandler, PadsAmongTheControllersAreReadThroughXInput) {
    fake->AttachJoystick(PadDesc("Fake Pad"));
    fake->AttachJoystick(Stick("Fake Stick"));
    StartDevices();
    const int keyboardAndMouse = fake->LiveDevices();
    ASSERT_EQ(handler->GetJoysticks().Count(), 2u);
    EXPECT_TRUE(handler->GetJoysticks()[0].isXInput);
    EXPECT_FALSE(handler->GetJoysticks()[1].isXInput);

    handler->SelectJoystick(0);
    EXPECT_TRUE(handler->IsPadSelected());
    EXPECT_FALSE(handler->HasJoystickDevice());
    EXPECT_EQ(fake->LiveDevices(), keyboardAndMouse);

    handler->SelectJoystick(1);
    EXPECT_FALSE(handler->IsPadSelected());
    EXPECT_TRUE(handler->HasJoystickDevice());
    EXPECT_EQ(fake->LiveDevices(), keyboardAndMouse + 1);

    for (const int32_t outside : {-1, 2, 99}) {
        handler->SelectJoystick(1);
        handler->SelectJoystick(outside);
        EXPECT_EQ(handler->GetSelectedJoystick(), -1) << outside;
        EXPECT_FALSE(handler->HasJoystickDevice()) << outside;
        EXPECT_EQ(fake->LiveDevices(), keyboardAndMouse) << outside;
    }
}

TEST_F(InputHandler, SelectsJoysticksByNameIgnoringCase) {
    fake->AttachJoystick(Stick("Fake Stick"));
    fake->AttachJoystick(PadDesc("Fake Pad"));
    StartDevices();
    struct Case {
        const char* name;
        int32_t expected;  // starting from "nothing selected"
    };
    const Case cases[] = {{nullptr, -1}, {"", -1}, {"No Such Pad", -1}, {"FAKE PAD", 1}, {"fake stick", 0}};
    for (const Case& c : cases) {
        handler->SelectJoystick(-1);
        handler->SelectJoystickByName(c.name);
        EXPECT_EQ(handler->GetSelectedJoystick(), c.expected) << (c.name ? c.name : "null");
    }
    handler->SelectJoystickByName("fake pad");
    EXPECT_EQ(handler->GetSelectedJoystickName(), ZHashedString("Fake Pad"));
}

TEST_F(InputHandler, OpensThePreferredControllerOnlyWhenAsked) {
    fake->AttachJoystick(Stick("First"));
    const Guid second = fake->AttachJoystick(Stick("Second"));
    fake->SetPreferredJoystick(second);

    StartDevices(false);
    EXPECT_EQ(handler->GetSelectedJoystick(), -1);
    EXPECT_EQ(handler->GetPreferredJoystick(), -1);

    StartDevices(true);
    EXPECT_EQ(handler->GetPreferredJoystick(), 1);
    EXPECT_EQ(handler->GetSelectedJoystick(), 1);
    EXPECT_TRUE(handler->HasJoystickDevice());
}

TEST_F(InputHandler, XInputDetectionByRawDeviceName) {
    const Guid product = MakeProductGuid(0x045E, 0x028E);
    struct Case {
        const char* what;
        std::vector<RawDevice> raw;
        bool expected;
    };
    const Case cases[] = {
        {"matching ids with IG_", {{RIM_TYPEHID, 0x045E, 0x028E, "\\\\?\\HID#VID_045E&PID_028E&IG_00#1"}}, true},
        {"matching ids without IG_", {{RIM_TYPEHID, 0x045E, 0x028E, "\\\\?\\HID#VID_045E&PID_028E#1"}}, false},
        {"first match decides", {{RIM_TYPEHID, 0x045E, 0x028E, "plain"}, {RIM_TYPEHID, 0x045E, 0x028E, "IG_"}}, false},
        {"keyboards are skipped", {{RIM_TYPEKEYBOARD, 0x045E, 0x028E, "IG_"}, {RIM_TYPEHID, 0x045E, 0x028E, "IG_"}}, true},
        {"other ids", {{RIM_TYPEHID, 0x045E, 0x0001, "IG_"}}, false},
        {"empty list", {}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZInputHandler::IsXInputDevice(c.raw, product), c.expected) << c.what;
    }
}

TEST_F(InputHandler, PollKeepsThePreviousSnapshotAndTheFrameTime) {
    StartDevices();
    fake->SetKey(DIK_SPACE, true);
    handler->PollDevices(0.5f, 1);
    EXPECT_EQ(handler->inverseFrameTime, 2.0f);
    EXPECT_TRUE(handler->WasKeyPressed(DIK_SPACE));
    handler->PollDevices(0.0f, 1);
    EXPECT_EQ(handler->inverseFrameTime, 0.0f);  // dt 0: mouse axes read 0
    EXPECT_TRUE(handler->IsKeyDown(DIK_SPACE));
    EXPECT_TRUE(handler->WasKeyDown(DIK_SPACE));
    EXPECT_FALSE(handler->WasKeyPressed(DIK_SPACE));
    handler->PollDevices(-1.0f, 1);
    EXPECT_EQ(handler->inverseFrameTime, 0.0f);
}

TEST_F(InputHandler, LostKeyboardKeepsItsKeysAndIsReacquired) {
    StartDevices();
    fake->SetKey(DIK_A, true);
    handler->PollDevices(0.016f, 1);
    fake->SetKey(DIK_A, false);
    fake->LoseDevice(GUID_SysKeyboard);
    handler->PollDevices(0.016f, 1);
    EXPECT_TRUE(handler->IsKeyDown(DIK_A));  // the failed read left the old keys
    EXPECT_EQ(handler->reacquire, 0);        // re-acquired at the end of that poll
    handler->PollDevices(0.016f, 1);
    EXPECT_FALSE(handler->IsKeyDown(DIK_A));
}

// Mouse movement is per read: a failed read must not repeat the last frame's.
TEST_F(InputHandler, LostMouseStopsMoving) {
    StartDevices();
    fake->MoveMouse(40, -7);
    handler->PollDevices(0.016f, 1);
    EXPECT_EQ(handler->GetMouseDeltaX(), 40);
    fake->MoveMouse(40, -7);
    fake->LoseDevice(GUID_SysMouse);
    handler->PollDevices(0.016f, 1);
    EXPECT_EQ(handler->GetMouseDeltaX(), 0);
    EXPECT_EQ(handler->GetMouseDeltaY(), 0);
}

TEST_F(InputHandler, UnacquiredDevicesComeBackOnTheirOwn) {
    StartDevices();
    handler->UnacquireInputDevices();
    fake->SetKey(DIK_W, true);
    handler->PollDevices(0.016f, 1);
    EXPECT_FALSE(handler->IsKeyDown(DIK_W));
    handler->PollDevices(0.016f, 1);
    EXPECT_TRUE(handler->IsKeyDown(DIK_W));
}

TEST_F(InputHandler, ReadsTheOpenJoystickInFullRange) {
    const Guid stick = fake->AttachJoystick(Stick("Stick"));
    StartDevices();
    handler->SelectJoystick(0);
    JoystickState raw;
    raw.lX = -32768;
    raw.lY = 32767;
    raw.lRz = 1000;
    raw.rgdwPOV[0] = 9000;
    raw.rgbButtons[3] = 0x80;
    fake->SetJoystickState(stick, raw);
    handler->PollDevices(0.016f, 3);
    EXPECT_EQ(handler->current.joystick.lX, -32768);
    EXPECT_EQ(handler->current.joystick.lY, 32767);
    EXPECT_EQ(handler->current.joystick.lRz, 1000);
    EXPECT_EQ(handler->current.joystick.rgdwPOV[0], 9000u);
    EXPECT_NE(handler->current.joystick.rgbButtons[3], 0);
}

// A pad that stops answering is dropped and reads at rest (not frozen with a
// button held) until the next re-detection finds it again.
TEST_F(InputHandler, PadThatStopsAnsweringReadsAtRestUntilRedetected) {
    fake->AttachJoystick(PadDesc("Pad"));
    StartDevices();
    handler->SelectJoystick(0);
    ASSERT_TRUE(handler->IsPadConnected(0));
    input::Gamepad held;
    held.wButtons = XINPUT_GAMEPAD_A;
    fake->SetPad(0, held);
    handler->PollDevices(0.016f, 2);
    EXPECT_EQ(handler->current.pads[0].gamepad.wButtons, XINPUT_GAMEPAD_A);

    fake->FailPad(0, true);
    handler->PollDevices(0.016f, 2);
    EXPECT_FALSE(handler->IsPadConnected(0));
    EXPECT_EQ(handler->current.pads[0].gamepad.wButtons, 0);

    fake->FailPad(0, false);
    handler->PollDevices(0.016f, 2);
    EXPECT_FALSE(handler->IsPadConnected(0));  // not until re-detection
    handler->RequestPadRedetection();
    handler->PollDevices(0.016f, 2);
    EXPECT_TRUE(handler->IsPadConnected(0));
    EXPECT_EQ(handler->redetectPads, 0);
    handler->PollDevices(0.016f, 2);
    EXPECT_EQ(handler->current.pads[0].gamepad.wButtons, XINPUT_GAMEPAD_A);
}

TEST_F(InputHandler, RedetectionSwitchesXInputBackOn) {
    StartDevices();
    handler->XInputEnable(false);
    EXPECT_FALSE(fake->XInputEnabled());
    handler->RequestPadRedetection();
    handler->PollDevices(0.016f, 1);
    EXPECT_TRUE(fake->XInputEnabled());
}

// Built-in US layout of the fake window system.
TEST_F(InputHandler, CharTableHasFourVariantsPerKey) {
    handler->BuildCharTable();
    struct Case {
        uint8_t scanCode;
        const char expected[4];  // plain, Shift, Caps Lock, both
    };
    const Case cases[] = {
        {DIK_A, {'a', 'A', 'A', 'a'}},
        {DIK_1, {'1', '!', '1', '!'}},
        {DIK_SPACE, {' ', ' ', ' ', ' '}},
        {DIK_F1, {0, 0, 0, 0}},
        {DIK_LSHIFT, {0, 0, 0, 0}},
        {0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(handler->charTable[c.scanCode][v], static_cast<uint8_t>(c.expected[v]))
                << "scan code " << int(c.scanCode) << " variant " << v;
        }
    }
    EXPECT_EQ(handler->GetChar(DIK_A, true, false), 'A');
}

TEST_F(InputHandler, CharTableIsEmptyWithoutAWindowSystem) {
    platform::window::SetWindowSystem(nullptr);
    handler->charTable[DIK_A][0] = 'x';
    handler->BuildCharTable();
    EXPECT_EQ(handler->charTable[DIK_A][0], 0);
}

// A held key types once, again after 0.25 s, then on every 0.05 s.
TEST_F(InputHandler, KeyRepeatsAfterADelay) {
    StartDevices();
    const float dt = 0.0625f;  // exact in binary, so the timer lands on 0
    struct Case {
        bool down;
        bool repeats;
    };
    const Case frames[] = {
        {true, true},  {true, false}, {true, false}, {true, false}, {true, true},
        {true, true},  {true, true},  {false, false}, {true, true}, {true, false},
    };
    int n = 0;
    for (const Case& c : frames) {
        fake->SetKey(DIK_BACK, c.down);
        handler->PollDevices(dt, 1);
        EXPECT_EQ(handler->CheckKeyRepeat(DIK_BACK), c.repeats) << "frame " << n;
        ++n;
    }
}

TEST_F(InputHandler, OnlyOneKeyRepeatsAtATime) {
    StartDevices();
    fake->SetKey(DIK_A, true);
    handler->PollDevices(0.1f, 1);
    EXPECT_TRUE(handler->CheckKeyRepeat(DIK_A));
    fake->SetKey(DIK_B, true);
    handler->PollDevices(0.1f, 1);
    EXPECT_TRUE(handler->CheckKeyRepeat(DIK_B));  // B takes over the repeat
    for (int i = 0; i < 5; ++i) {
        handler->PollDevices(0.1f, 1);
        EXPECT_FALSE(handler->CheckKeyRepeat(DIK_A));
    }
}

// Showing or hiding works whatever the display counter held before.
TEST_F(InputHandler, ReacquireShowsOrHidesTheCursor) {
    StartDevices();
    platform::window::WindowSystem* window = platform::window::GetWindowSystem();
    for (const bool hide : {true, false, false, true, true, false}) {
        handler->ReacquireInputDevices(hide);
        const int count = window->ShowCursor(true) - 1;  // read it back, then undo
        window->ShowCursor(false);
        EXPECT_EQ(count < 0, hide);
    }
}

TEST_F(InputHandler, WithoutAnInputSystemEverythingReadsMissing) {
    platform::input::SetInputSystem(nullptr);
    fake = nullptr;
    EXPECT_TRUE(handler->InitInputDevices(true));
    EXPECT_FALSE(handler->IsXInputPadConnected());
    handler->PollDevices(0.016f, 1);
    for (const uint8_t key : handler->current.keys) {
        EXPECT_EQ(key, 0);
    }
    EXPECT_TRUE(IsNeutral(handler->current.joystick));
}
