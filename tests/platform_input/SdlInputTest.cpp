// The SDL input system with SDL's virtual joysticks and pushed keyboard and mouse events,
// without a window (CTest runs it under SDL_VIDEODRIVER=offscreen).

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/input/input.h"
#include "support/VirtualJoysticks.h"

using namespace platform;
using namespace platform::input;

namespace {

class SdlInputTest : public testing::Test {
protected:
    void SetUp() override { m_system = CreateInputSystem(Backend::Sdl); }

    void TearDown() override {
        m_joysticks.DetachAll();
        m_system.reset();
    }

    // The SDL joystick behind a virtual controller, for setting its inputs.
    SDL_Joystick* Virtual(const char* name) {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (std::string(SDL_JoystickNameForIndex(i)) == name) return m_joysticks.Open(i);
        }
        return nullptr;
    }

    const DeviceInstance* Find(const std::vector<DeviceInstance>& devices, const std::string& name) {
        const auto it = std::find_if(devices.begin(), devices.end(),
                                     [&](const DeviceInstance& d) { return d.instanceName == name; });
        return it == devices.end() ? nullptr : &*it;
    }

    std::unique_ptr<InputSystem> m_system;
    korvtest::VirtualJoysticks m_joysticks;
};

}  // namespace

TEST_F(SdlInputTest, AJoystickMovesAndPressesAndIsUnplugged) {
    m_joysticks.Attach("Virtual Stick", false, 0x046D, 0xC215);
    const std::vector<DeviceInstance> devices =
        m_system->EnumDevices(DI8DEVCLASS_GAMECTRL, DIEDFL_ATTACHEDONLY);
    const DeviceInstance* stick = Find(devices, "Virtual Stick");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->devType, DI8DEVTYPE_JOYSTICK);
    EXPECT_EQ(stick->guidProduct.data1, 0xC215046Du);
    const std::vector<DeviceChange> arrivals = m_system->TakeDeviceChanges();
    ASSERT_EQ(arrivals.size(), 1u);
    EXPECT_TRUE(arrivals[0].arrived);
    EXPECT_EQ(arrivals[0].guidInstance, stick->guidInstance);
    EXPECT_FALSE(arrivals[0].isXInput);

    std::unique_ptr<Device> device = m_system->CreateDevice(stick->guidInstance);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->SetCooperativeLevel(DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    for (const DeviceObject& axis : device->EnumObjects(DIDFT_AXIS)) {
        EXPECT_EQ(device->SetAxisRange(axis.instance, -32768, 32767), DI_OK);
    }
    EXPECT_EQ(device->EnumObjects(DIDFT_BUTTON).size(), 8u);
    ASSERT_EQ(device->Acquire(), DI_OK);

    JoystickState state;
    ASSERT_EQ(device->Poll(), DI_OK);
    ASSERT_EQ(device->GetJoystickState(state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.rgbButtons[2], 0);
    EXPECT_EQ(state.rgdwPOV[0], kPovCentered);

    SDL_Joystick* virtualStick = Virtual("Virtual Stick");
    ASSERT_NE(virtualStick, nullptr);
    SDL_JoystickSetVirtualAxis(virtualStick, 0, 20000);
    SDL_JoystickSetVirtualAxis(virtualStick, 1, -32768);
    SDL_JoystickSetVirtualButton(virtualStick, 2, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(virtualStick, 0, SDL_HAT_RIGHTDOWN);
    ASSERT_EQ(device->Poll(), DI_OK);
    ASSERT_EQ(device->GetJoystickState(state), DI_OK);
    EXPECT_EQ(state.lX, 20000);
    EXPECT_EQ(state.lY, -32768);
    EXPECT_EQ(state.lRx, 0);  // the stick has three axes
    EXPECT_EQ(state.rgbButtons[2], 0x80);
    EXPECT_EQ(state.rgdwPOV[0], 13500u);

    m_joysticks.DetachAll();
    EXPECT_EQ(device->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(device->Acquire(), DIERR_UNPLUGGED);
    const std::vector<DeviceChange> removals = m_system->TakeDeviceChanges();
    ASSERT_EQ(removals.size(), 1u);
    EXPECT_FALSE(removals[0].arrived);
    EXPECT_EQ(removals[0].guidInstance, stick->guidInstance);
}

// A gamepad reads as an XInput pad: XInput button bits, triggers 0..255, Y up positive.
TEST_F(SdlInputTest, AGamepadIsAnXInputPad) {
    m_joysticks.Attach("Virtual Pad", true, 0x045E, 0x028E);
    PadState state;
    ASSERT_EQ(m_system->XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(state.gamepad, Gamepad());
    EXPECT_EQ(m_system->XInputGetState(1, state), ERROR_DEVICE_NOT_CONNECTED);
    const uint32_t packet = state.dwPacketNumber;

    SDL_Joystick* pad = Virtual("Virtual Pad");
    ASSERT_NE(pad, nullptr);
    struct Case {
        SDL_GameControllerAxis axis;
        Sint16 value;
        int16_t Gamepad::*stick;
        int16_t expected;
    };
    const Case sticks[] = {
        {SDL_CONTROLLER_AXIS_LEFTY, -20000, &Gamepad::sThumbLY, 20000},
        {SDL_CONTROLLER_AXIS_LEFTY, 32767, &Gamepad::sThumbLY, -32767},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, &Gamepad::sThumbLY, 32767},
        {SDL_CONTROLLER_AXIS_RIGHTX, -12345, &Gamepad::sThumbRX, -12345},
        {SDL_CONTROLLER_AXIS_RIGHTY, 100, &Gamepad::sThumbRY, -100},
    };
    for (const Case& c : sticks) {
        SDL_JoystickSetVirtualAxis(pad, c.axis, c.value);
        ASSERT_EQ(m_system->XInputGetState(0, state), ERROR_SUCCESS);
        EXPECT_EQ(state.gamepad.*c.stick, c.expected) << "axis " << c.axis << " at " << c.value;
    }
    EXPECT_NE(state.dwPacketNumber, packet);

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    // The virtual pad's triggers run over the whole axis: -16384 is a quarter pressed.
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -16384);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_PRESSED);
    ASSERT_EQ(m_system->XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(state.gamepad.bLeftTrigger, 255);
    EXPECT_EQ(state.gamepad.bRightTrigger, 64);
    EXPECT_EQ(state.gamepad.wButtons, XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_START |
                                          XINPUT_GAMEPAD_RIGHT_SHOULDER);

    // Vibration goes to the pad's motors; disabling XInput stops them and reads the pad
    // as at rest; enabling it again takes up the last speeds.
    EXPECT_EQ(m_system->XInputSetState(0, {0x1234, 0xABCD}), ERROR_SUCCESS);
    EXPECT_EQ(m_joysticks.rumble.low, 0x1234);
    EXPECT_EQ(m_joysticks.rumble.high, 0xABCD);
    m_system->XInputEnable(false);
    EXPECT_EQ(m_joysticks.rumble.low, 0);
    EXPECT_EQ(m_joysticks.rumble.high, 0);
    ASSERT_EQ(m_system->XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(state.gamepad, Gamepad());
    m_system->XInputEnable(true);
    EXPECT_EQ(m_joysticks.rumble.low, 0x1234);
    EXPECT_EQ(m_joysticks.rumble.high, 0xABCD);

    // Enumerated as a gamepad, and its raw device carries the XInput mark.
    const std::vector<DeviceInstance> devices =
        m_system->EnumDevices(DI8DEVCLASS_GAMECTRL, DIEDFL_ATTACHEDONLY);
    const DeviceInstance* device = Find(devices, "Virtual Pad");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->devType, DI8DEVTYPE_GAMEPAD);
    bool marked = false;
    for (const RawDevice& raw : m_system->GetRawInputDeviceList()) {
        if (raw.vendorId == 0x045E && raw.productId == 0x028E)
            marked = raw.name.find("IG_") != std::string::npos;
    }
    EXPECT_TRUE(marked);
}

TEST_F(SdlInputTest, TwoPadsTakeTwoUserIndices) {
    m_joysticks.Attach("Pad One", true, 0x045E, 0x028E);
    m_joysticks.Attach("Pad Two", true, 0x045E, 0x028E);
    PadState state;
    EXPECT_EQ(m_system->XInputGetState(0, state), ERROR_SUCCESS);
    EXPECT_EQ(m_system->XInputGetState(1, state), ERROR_SUCCESS);
    EXPECT_EQ(m_system->XInputGetState(2, state), ERROR_DEVICE_NOT_CONNECTED);
    const std::vector<DeviceInstance> devices =
        m_system->EnumDevices(DI8DEVCLASS_GAMECTRL, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_NE(devices[0].guidInstance, devices[1].guidInstance);
    Guid preferred;
    ASSERT_TRUE(m_system->GetPreferredJoystick(preferred));
    EXPECT_EQ(preferred, devices[0].guidInstance);
}

// Keyboard and mouse come from SDL's events, whoever pumps them.
TEST_F(SdlInputTest, KeyboardAndMouseFromEvents) {
    const std::unique_ptr<Device> keyboard = m_system->CreateDevice(GUID_SysKeyboard);
    const std::unique_ptr<Device> mouse = m_system->CreateDevice(GUID_SysMouse);
    ASSERT_EQ(keyboard->SetCooperativeLevel(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(mouse->SetCooperativeLevel(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);

    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_KP_ENTER;
    SDL_PushEvent(&event);
    event.key.keysym.scancode = SDL_SCANCODE_LEFT;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = 5;
    event.motion.yrel = -3;
    SDL_PushEvent(&event);
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 1;
    event.wheel.preciseY = 1.0f;
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_RIGHT;
    event.button.state = SDL_PRESSED;
    SDL_PushEvent(&event);

    KeyboardState keys;
    ASSERT_EQ(keyboard->GetKeyboardState(keys), DI_OK);
    EXPECT_EQ(keys.keys[DIK_NUMPADENTER], 0x80);
    EXPECT_EQ(keys.keys[DIK_LEFT], 0);
    MouseState state;
    ASSERT_EQ(mouse->GetMouseState(state), DI_OK);
    EXPECT_EQ(state.lX, 10);
    EXPECT_EQ(state.lY, -6);
    EXPECT_EQ(state.lZ, 120);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0);
    ASSERT_EQ(mouse->GetMouseState(state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lZ, 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}
