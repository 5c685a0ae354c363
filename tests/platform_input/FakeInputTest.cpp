#include <gtest/gtest.h>

#include <string>

#include "platform/input/fake/FakeInputSystem.h"

using namespace platform;
using namespace platform::input;

namespace {

// A device made and acquired as the input handler does it.
std::unique_ptr<Device> Open(InputSystem& system, const Guid& guid, const uint32_t level) {
    std::unique_ptr<Device> device = system.CreateDevice(guid);
    if (device == nullptr) return nullptr;
    EXPECT_EQ(device->SetCooperativeLevel(level), DI_OK);
    EXPECT_EQ(device->Acquire(), DI_OK);
    return device;
}

}  // namespace

TEST(InputAxis, ScaleAxisIntoRanges) {
    struct Case {
        int32_t raw, minimum, maximum, expected;
    };
    const Case cases[] = {
        {-32768, 0, 65535, 0},           {32767, 0, 65535, 65535},      {0, 0, 65535, 32768},
        {-32768, -32768, 32767, -32768}, {12345, -32768, 32767, 12345}, {32767, -32768, 32767, 32767},
        {-32768, -1000, 1000, -1000},    {32767, -1000, 1000, 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleAxis(c.raw, c.minimum, c.maximum), c.expected)
            << c.raw << " in " << c.minimum << ".." << c.maximum;
    }
}

TEST(FakeInput, CooperativeLevelNeedsOneAccessAndOneScope) {
    struct Case {
        uint32_t flags;
        Result result;
    };
    const Case cases[] = {
        {DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DI_OK},
        {DISCL_EXCLUSIVE | DISCL_BACKGROUND, DI_OK},
        {DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
        {DISCL_FOREGROUND, DIERR_INVALIDPARAM},
        {DISCL_NONEXCLUSIVE, DIERR_INVALIDPARAM},
        {DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND, DIERR_INVALIDPARAM},
    };
    FakeInputSystem system;
    const std::unique_ptr<Device> keyboard = system.CreateDevice(GUID_SysKeyboard);
    for (const Case& c : cases)
        EXPECT_EQ(keyboard->SetCooperativeLevel(c.flags), c.result) << "flags " << c.flags;
}

// The cycle the input handler relies on: a device that cannot be read says so, stops
// being acquired, and reading works again once it is acquired again.
TEST(FakeInput, AcquisitionLossAndReacquisition) {
    FakeInputSystem system;
    const std::unique_ptr<Device> keyboard = system.CreateDevice(GUID_SysKeyboard);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_EQ(keyboard->SetCooperativeLevel(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    KeyboardState keys;
    EXPECT_EQ(keyboard->Poll(), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->GetKeyboardState(keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->Poll(), DI_NOEFFECT);

    // The window goes to the background.
    system.SetForeground(false);
    EXPECT_EQ(keyboard->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Poll(), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    system.SetForeground(true);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);

    // A loss without a reason the program can see, then two refused acquires.
    system.LoseDevice(GUID_SysKeyboard);
    system.FailAcquire(GUID_SysKeyboard, 2);
    EXPECT_EQ(keyboard->GetKeyboardState(keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetKeyboardState(keys), DI_OK);

    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
}

TEST(FakeInput, BackgroundDevicesReadBehindOtherWindows) {
    FakeInputSystem system;
    const std::unique_ptr<Device> keyboard =
        Open(system, GUID_SysKeyboard, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    system.SetForeground(false);
    KeyboardState keys;
    EXPECT_EQ(keyboard->GetKeyboardState(keys), DI_OK);
}

TEST(FakeInput, EachDeviceAnswersOnlyItsOwnState) {
    FakeInputSystem system;
    const Guid stick = system.AttachJoystick({});
    const std::unique_ptr<Device> keyboard =
        Open(system, GUID_SysKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    const std::unique_ptr<Device> mouse = Open(system, GUID_SysMouse, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    const std::unique_ptr<Device> joystick = Open(system, stick, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    KeyboardState keys;
    MouseState mouseState;
    JoystickState joystickState;
    EXPECT_EQ(keyboard->GetMouseState(mouseState), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->GetJoystickState(joystickState), DIERR_INVALIDPARAM);
    EXPECT_EQ(joystick->GetKeyboardState(keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetAxisRange(0, -1, 1), DIERR_INVALIDPARAM);
    EXPECT_TRUE(keyboard->EnumObjects(DIDFT_ALL).empty());
    EXPECT_EQ(system.CreateDevice(Guid{}), nullptr);
}

TEST(FakeInput, KeyboardAndMouseState) {
    FakeInputSystem system;
    const std::unique_ptr<Device> keyboard =
        Open(system, GUID_SysKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    const std::unique_ptr<Device> mouse = Open(system, GUID_SysMouse, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    system.SetKey(DIK_NUMPADENTER, true);
    system.MoveMouse(5, -3);
    system.MoveMouse(2, 1);
    system.TurnWheel(-1);
    system.SetMouseButton(1, true);

    KeyboardState keys;
    ASSERT_EQ(keyboard->GetKeyboardState(keys), DI_OK);
    EXPECT_EQ(keys.keys[DIK_NUMPADENTER], 0x80);
    EXPECT_EQ(keys.keys[DIK_RETURN], 0);

    MouseState state;
    ASSERT_EQ(mouse->GetMouseState(state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -2);
    EXPECT_EQ(state.lZ, -120);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    // Movement is reported once; buttons stay until released.
    ASSERT_EQ(mouse->GetMouseState(state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);

    // Movement while not acquired is dropped.
    mouse->Unacquire();
    system.MoveMouse(50, 50);
    mouse->Acquire();
    ASSERT_EQ(mouse->GetMouseState(state), DI_OK);
    EXPECT_EQ(state.lX, 0);
}

TEST(FakeInput, JoystickObjectsRangesHatsAndButtons) {
    FakeInputSystem system;
    FakeInputSystem::JoystickDesc desc;
    desc.name = "Flight Stick";
    desc.vendorId = 0x046D;
    desc.productId = 0xC215;
    desc.axes = 3;
    desc.buttons = 12;
    desc.hats = 1;
    const Guid stick = system.AttachJoystick(desc);

    const std::vector<DeviceInstance> devices = system.EnumDevices(DI8DEVCLASS_GAMECTRL, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].guidInstance, stick);
    EXPECT_EQ(devices[0].guidProduct.data1, 0xC215046Du);
    EXPECT_EQ(devices[0].devType, DI8DEVTYPE_JOYSTICK);
    EXPECT_EQ(devices[0].instanceName, "Flight Stick");

    const std::unique_ptr<Device> joystick = system.CreateDevice(stick);
    ASSERT_NE(joystick, nullptr);
    EXPECT_EQ(joystick->EnumObjects(DIDFT_ALL).size(), 3u + 12u + 1u);
    const std::vector<DeviceObject> axes = joystick->EnumObjects(DIDFT_AXIS);
    ASSERT_EQ(axes.size(), 3u);
    EXPECT_EQ(axes[2].name, "Z Axis");
    EXPECT_EQ(joystick->EnumObjects(DIDFT_POV).size(), 1u);

    system.RefuseAxisRange(stick, 2);
    EXPECT_EQ(joystick->SetAxisRange(0, -32768, 32767), DI_OK);
    EXPECT_EQ(joystick->SetAxisRange(1, -32768, 32767), DI_OK);
    EXPECT_EQ(joystick->SetAxisRange(2, -32768, 32767), DIERR_INVALIDPARAM);
    EXPECT_EQ(joystick->SetAxisRange(3, -32768, 32767), DIERR_INVALIDPARAM);  // no such axis
    EXPECT_EQ(joystick->SetAxisRange(0, 5, 5), DIERR_INVALIDPARAM);
    ASSERT_EQ(joystick->SetCooperativeLevel(DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(joystick->Acquire(), DI_OK);

    JoystickState raw;
    raw.lX = -20000;
    raw.lY = 18944;
    raw.lZ = 0;
    raw.lRx = 999;  // beyond the device's three axes
    raw.rgdwPOV[0] = 9000;
    raw.rgbButtons[11] = 0x80;
    system.SetJoystickState(stick, raw);
    EXPECT_EQ(joystick->Poll(), DI_OK);
    JoystickState state;
    ASSERT_EQ(joystick->GetJoystickState(state), DI_OK);
    EXPECT_EQ(state.lX, -20000);
    EXPECT_EQ(state.lY, 18944);
    EXPECT_EQ(state.lZ, 32768);  // the refused axis keeps the default 0..65535
    EXPECT_EQ(state.lRx, 0);
    EXPECT_EQ(state.rgdwPOV[0], 9000u);
    EXPECT_EQ(state.rgdwPOV[1], kPovCentered);
    EXPECT_EQ(state.rgbButtons[11], 0x80);
}

TEST(FakeInput, UnpluggedJoystick) {
    FakeInputSystem system;
    const Guid stick = system.AttachJoystick({});
    const std::unique_ptr<Device> joystick = Open(system, stick, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    system.DetachJoystick(stick);
    EXPECT_EQ(joystick->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(joystick->Acquire(), DIERR_UNPLUGGED);
    EXPECT_EQ(system.CreateDevice(stick), nullptr);
    const std::vector<DeviceChange> changes = system.TakeDeviceChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].arrived);
    EXPECT_FALSE(changes[1].arrived);
    EXPECT_EQ(changes[1].guidInstance, stick);
    EXPECT_TRUE(system.TakeDeviceChanges().empty());
}

// Gamepads take the lowest free user index, as XInput numbers its pads.
TEST(FakeInput, PadsTakeTheLowestFreeUserIndex) {
    FakeInputSystem system;
    FakeInputSystem::JoystickDesc pad;
    pad.isXInput = true;
    const Guid first = system.AttachJoystick(pad);
    system.AttachJoystick(pad);
    system.AttachJoystick({});  // a joystick is no pad
    PadState state;
    EXPECT_EQ(system.XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(system.XInputGetState(1, state), ERROR_SUCCESS);
    EXPECT_EQ(system.XInputGetState(2, state), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(system.XInputGetState(4, state), ERROR_DEVICE_NOT_CONNECTED);
    system.DetachJoystick(first);
    EXPECT_EQ(system.XInputGetState(0, state), ERROR_DEVICE_NOT_CONNECTED);
    system.AttachJoystick(pad);
    EXPECT_EQ(system.XInputGetState(0, state), ERROR_SUCCESS);

    const std::vector<DeviceInstance> devices = system.EnumDevices(DI8DEVCLASS_GAMECTRL, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(devices.size(), 3u);
    int gamepads = 0;
    for (const DeviceInstance& device : devices) gamepads += device.devType == DI8DEVTYPE_GAMEPAD;
    EXPECT_EQ(gamepads, 2);
    int marked = 0;
    for (const RawDevice& raw : system.GetRawInputDeviceList()) {
        marked += raw.type == RIM_TYPEHID && raw.name.find("IG_") != std::string::npos;
    }
    EXPECT_EQ(marked, 2);
}

TEST(FakeInput, PadStateFailuresAndXInputEnable) {
    FakeInputSystem system;
    FakeInputSystem::JoystickDesc desc;
    desc.isXInput = true;
    system.AttachJoystick(desc);
    Gamepad pad;
    pad.wButtons = XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_DPAD_UP;
    pad.bRightTrigger = 240;
    pad.sThumbLY = 20000;
    system.SetPad(0, pad);

    PadState state;
    ASSERT_EQ(system.XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(state.gamepad, pad);
    const uint32_t packet = state.dwPacketNumber;
    system.SetPad(0, pad);
    system.XInputGetState(0, state);
    EXPECT_EQ(state.dwPacketNumber, packet);
    pad.wButtons = 0;
    system.SetPad(0, pad);
    system.XInputGetState(0, state);
    EXPECT_NE(state.dwPacketNumber, packet);

    EXPECT_EQ(system.XInputSetState(0, {1000, 65535}), ERROR_SUCCESS);
    EXPECT_EQ(system.PadVibration(0), (Vibration{1000, 65535}));
    EXPECT_EQ(system.XInputSetState(1, {1, 1}), ERROR_DEVICE_NOT_CONNECTED);

    system.XInputEnable(false);
    ASSERT_EQ(system.XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(state.gamepad, Gamepad());
    EXPECT_EQ(system.PadVibration(0), Vibration());
    system.XInputEnable(true);
    EXPECT_EQ(system.PadVibration(0), (Vibration{1000, 65535}));

    system.FailPad(0, true);
    EXPECT_EQ(system.XInputGetState(0, state), ERROR_DEVICE_NOT_CONNECTED);
    system.FailPad(0, false);
    EXPECT_EQ(system.XInputGetState(0, state), ERROR_SUCCESS);
}

TEST(FakeInput, ScriptedFramesApplyOneByOne) {
    FakeInputSystem system;
    const Guid stick = system.AttachJoystick({});
    const std::unique_ptr<Device> mouse = Open(system, GUID_SysMouse, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    const std::unique_ptr<Device> keyboard =
        Open(system, GUID_SysKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    const std::unique_ptr<Device> joystick = Open(system, stick, DISCL_EXCLUSIVE | DISCL_FOREGROUND);

    FakeInputSystem::Frame first;
    first.keys = KeyboardState();
    first.keys->keys[DIK_SPACE] = 0x80;
    first.mouseX = 4;
    FakeInputSystem::Frame second;
    second.mouseX = -1;
    second.wheelNotches = 2;
    JoystickState pushed;
    pushed.rgbButtons[3] = 0x80;
    second.joysticks.push_back({stick, pushed});
    FakeInputSystem::Frame third;
    third.keys = KeyboardState();
    system.QueueFrame(first);
    system.QueueFrame(second);
    system.QueueFrame(third);

    struct Expected {
        uint8_t space;
        int32_t mouseX;
        int32_t wheel;
        uint8_t button3;
    };
    const Expected expected[] = {{0x80, 4, 0, 0}, {0x80, -1, 240, 0x80}, {0, 0, 0, 0x80}};
    for (const Expected& frame : expected) {
        ASSERT_TRUE(system.StepFrame());
        KeyboardState keys;
        MouseState mouseState;
        JoystickState joystickState;
        ASSERT_EQ(keyboard->GetKeyboardState(keys), DI_OK);
        ASSERT_EQ(mouse->GetMouseState(mouseState), DI_OK);
        ASSERT_EQ(joystick->GetJoystickState(joystickState), DI_OK);
        EXPECT_EQ(keys.keys[DIK_SPACE], frame.space);
        EXPECT_EQ(mouseState.lX, frame.mouseX);
        EXPECT_EQ(mouseState.lZ, frame.wheel);
        EXPECT_EQ(joystickState.rgbButtons[3], frame.button3);
    }
    EXPECT_FALSE(system.StepFrame());
}

TEST(FakeInput, PreferredJoystickAndRawOverride) {
    FakeInputSystem system;
    Guid preferred;
    EXPECT_FALSE(system.GetPreferredJoystick(preferred));
    const Guid stick = system.AttachJoystick({});
    system.SetPreferredJoystick(stick);
    ASSERT_TRUE(system.GetPreferredJoystick(preferred));
    EXPECT_EQ(preferred, stick);

    system.SetRawDevices(
        std::vector<RawDevice>{{RIM_TYPEHID, 0x045E, 0x028E, "\\\\?\\HID#VID_045E&PID_028E&IG_00#1"}});
    ASSERT_EQ(system.GetRawInputDeviceList().size(), 1u);
    EXPECT_EQ(system.GetRawInputDeviceList()[0].productId, 0x028E);
}

TEST(InputBackends, TheFakeIsMadeAtRunTimeAndInstalled) {
    SetInputSystem(CreateInputSystem(Backend::Fake));
    ASSERT_NE(GetInputSystem(), nullptr);
    EXPECT_NE(dynamic_cast<FakeInputSystem*>(GetInputSystem()), nullptr);
    SetInputSystem(nullptr);
    EXPECT_EQ(GetInputSystem(), nullptr);
}
