#pragma once
// Input devices shaped like DirectInput 8 and XInput 1.3: the system keyboard and mouse
// and the game controllers as devices to acquire, poll and read; XInput pads (up to four,
// from the controllers the system recognises as gamepads) read and vibrated by user
// index. Results, flags, state layouts and button bits keep their platform values
// because the engine stores and compares them (the bindings file, "XB4096").
//
// Devices appear and disappear at run time; TakeDeviceChanges reports both.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/keycodes.h"

namespace platform::input {

// --- Results ---------------------------------------------------------------------------
using Result = int32_t;
constexpr Result DI_OK = 0;
constexpr Result DI_NOEFFECT = 1;  // also "already acquired"
constexpr Result DIERR_INPUTLOST = static_cast<Result>(0x8007001E);
constexpr Result DIERR_NOTACQUIRED = static_cast<Result>(0x8007000C);
constexpr Result DIERR_OTHERAPPHASPRIO = static_cast<Result>(0x80070005);
constexpr Result DIERR_INVALIDPARAM = static_cast<Result>(0x80070057);
constexpr Result DIERR_DEVICENOTREG = static_cast<Result>(0x80040154);
constexpr Result DIERR_UNPLUGGED = static_cast<Result>(0x80040209);
inline bool Succeeded(const Result result) {
    return result >= 0;
}

// XInput results.
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_DEVICE_NOT_CONNECTED = 1167;

// --- Flags -----------------------------------------------------------------------------
constexpr uint32_t DISCL_EXCLUSIVE = 0x01;
constexpr uint32_t DISCL_NONEXCLUSIVE = 0x02;
constexpr uint32_t DISCL_FOREGROUND = 0x04;
constexpr uint32_t DISCL_BACKGROUND = 0x08;

constexpr uint32_t DI8DEVCLASS_ALL = 0;
constexpr uint32_t DI8DEVCLASS_GAMECTRL = 4;
constexpr uint32_t DIEDFL_ATTACHEDONLY = 0x01;

constexpr uint32_t DI8DEVTYPE_MOUSE = 0x12;
constexpr uint32_t DI8DEVTYPE_KEYBOARD = 0x13;
constexpr uint32_t DI8DEVTYPE_JOYSTICK = 0x14;
constexpr uint32_t DI8DEVTYPE_GAMEPAD = 0x15;

// Device object types (EnumObjects).
constexpr uint32_t DIDFT_RELAXIS = 0x01;
constexpr uint32_t DIDFT_ABSAXIS = 0x02;
constexpr uint32_t DIDFT_AXIS = 0x03;
constexpr uint32_t DIDFT_PSHBUTTON = 0x04;
constexpr uint32_t DIDFT_BUTTON = 0x0C;
constexpr uint32_t DIDFT_POV = 0x10;
constexpr uint32_t DIDFT_ALL = 0x00;

// Raw-input device types.
constexpr uint32_t RIM_TYPEMOUSE = 0;
constexpr uint32_t RIM_TYPEKEYBOARD = 1;
constexpr uint32_t RIM_TYPEHID = 2;

// XInput.
constexpr uint32_t XUSER_MAX_COUNT = 4;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_UP = 0x0001;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_DOWN = 0x0002;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_LEFT = 0x0004;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_RIGHT = 0x0008;
constexpr uint16_t XINPUT_GAMEPAD_START = 0x0010;
constexpr uint16_t XINPUT_GAMEPAD_BACK = 0x0020;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_THUMB = 0x0040;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_THUMB = 0x0080;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_SHOULDER = 0x0100;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_SHOULDER = 0x0200;
constexpr uint16_t XINPUT_GAMEPAD_A = 0x1000;
constexpr uint16_t XINPUT_GAMEPAD_B = 0x2000;
constexpr uint16_t XINPUT_GAMEPAD_X = 0x4000;
constexpr uint16_t XINPUT_GAMEPAD_Y = 0x8000;

// A hat at rest; the low 16 bits 0xFFFF are what marks it centred.
constexpr uint32_t kPovCentered = 0xFFFFFFFF;

// --- Records ---------------------------------------------------------------------------
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
    bool operator==(const Guid&) const = default;
};

// Identities of the system keyboard and mouse for CreateDevice.
extern const Guid GUID_SysKeyboard;
extern const Guid GUID_SysMouse;

// The product GUID's first 32 bits are (product id << 16) | vendor id.
Guid MakeProductGuid(uint16_t vendorId, uint16_t productId);

struct DeviceInstance {
    Guid guidInstance;  // stable for one device while it stays plugged in the same port
    Guid guidProduct;
    uint32_t devType = 0;  // DI8DEVTYPE_*
    std::string instanceName;
    std::string productName;
};

struct DeviceObject {
    uint32_t type = 0;      // DIDFT_ABSAXIS, DIDFT_PSHBUTTON or DIDFT_POV
    uint32_t instance = 0;  // axis 0-7 (X, Y, Z, Rx, Ry, Rz, slider 0, slider 1), button, hat
    std::string name;
};

struct RawDevice {
    uint32_t type = RIM_TYPEHID;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    // Device path; a gamepad read through the XInput calls has "IG_" in it.
    std::string name;
};

struct KeyboardState {
    uint8_t keys[256] = {};  // by scan code; 0x80 while down
};

struct MouseState {
    int32_t lX = 0;  // movement since the previous read
    int32_t lY = 0;
    int32_t lZ = 0;              // wheel, 120 per notch
    uint8_t rgbButtons[8] = {};  // 0 left, 1 right, 2 middle, 3 and 4 the side buttons; 0x80 down
};

struct JoystickState {
    int32_t lX = 0, lY = 0, lZ = 0;  // axes in the range set per axis (0..65535 until set)
    int32_t lRx = 0, lRy = 0, lRz = 0;
    int32_t rglSlider[2] = {};
    uint32_t rgdwPOV[4] = {kPovCentered, kPovCentered, kPovCentered,
                           kPovCentered};  // hundredths of a degree clockwise from up
    uint8_t rgbButtons[128] = {};          // 0x80 down
    // Velocities, accelerations and forces: no device here reports them; they read 0.
    int32_t lVX = 0, lVY = 0, lVZ = 0, lVRx = 0, lVRy = 0, lVRz = 0;
    int32_t rglVSlider[2] = {};
    int32_t lAX = 0, lAY = 0, lAZ = 0, lARx = 0, lARy = 0, lARz = 0;
    int32_t rglASlider[2] = {};
    int32_t lFX = 0, lFY = 0, lFZ = 0, lFRx = 0, lFRy = 0, lFRz = 0;
    int32_t rglFSlider[2] = {};
};

struct Gamepad {
    uint16_t wButtons = 0;  // XINPUT_GAMEPAD_* bits
    uint8_t bLeftTrigger = 0;
    uint8_t bRightTrigger = 0;
    int16_t sThumbLX = 0;  // -32768..32767, up and right positive
    int16_t sThumbLY = 0;
    int16_t sThumbRX = 0;
    int16_t sThumbRY = 0;
    bool operator==(const Gamepad&) const = default;
};

struct PadState {
    uint32_t dwPacketNumber = 0;  // changes whenever the pad's state changes
    Gamepad gamepad;
};

struct Vibration {
    uint16_t wLeftMotorSpeed = 0;   // low-frequency motor
    uint16_t wRightMotorSpeed = 0;  // high-frequency motor
    bool operator==(const Vibration&) const = default;
};

struct DeviceChange {
    bool arrived = false;  // false: removed
    Guid guidInstance;
    std::string name;
    bool isXInput = false;  // read through the XInput calls
};

// Axis value from the device's -32768..32767 into a range set with SetAxisRange.
int32_t ScaleAxis(int32_t raw, int32_t minimum, int32_t maximum);

// --- Devices ---------------------------------------------------------------------------
class Device {
public:
    virtual ~Device();

    virtual Result SetCooperativeLevel(uint32_t flags) = 0;  // DISCL_*
    // DI_OK, DI_NOEFFECT when already acquired, DIERR_OTHERAPPHASPRIO while a foreground
    // device's window is in the background, DIERR_UNPLUGGED when gone.
    virtual Result Acquire() = 0;
    virtual Result Unacquire() = 0;
    // DI_NOEFFECT for devices that need no polling; DIERR_NOTACQUIRED or DIERR_INPUTLOST
    // when the device cannot be read.
    virtual Result Poll() = 0;
    // Each device answers its own kind; the others give DIERR_INVALIDPARAM.
    virtual Result GetKeyboardState(KeyboardState& out);
    virtual Result GetMouseState(MouseState& out);  // movement since the previous read
    virtual Result GetJoystickState(JoystickState& out);
    // Joysticks: their axes, buttons and hats, filtered by DIDFT_* type (DIDFT_ALL: all).
    virtual std::vector<DeviceObject> EnumObjects(uint32_t typeFilter);
    // Joysticks: range of axis `instance` (0-7); the default is 0..65535.
    virtual Result SetAxisRange(uint32_t instance, int32_t minimum, int32_t maximum);
};

class InputSystem {
public:
    virtual ~InputSystem();

    // GUID_SysKeyboard, GUID_SysMouse or a joystick's instance GUID; null when there is no
    // such device.
    virtual std::unique_ptr<Device> CreateDevice(const Guid& guid) = 0;
    // Attached game controllers (DI8DEVCLASS_GAMECTRL), or every device (DI8DEVCLASS_ALL).
    virtual std::vector<DeviceInstance> EnumDevices(uint32_t deviceClass, uint32_t flags) = 0;
    // The controller the system prefers; false when it names none.
    virtual bool GetPreferredJoystick(Guid& guidInstance) = 0;
    virtual std::vector<RawDevice> GetRawInputDeviceList() = 0;

    // ERROR_SUCCESS or ERROR_DEVICE_NOT_CONNECTED. While disabled, a connected pad reads
    // as at rest and does not vibrate.
    virtual uint32_t XInputGetState(uint32_t userIndex, PadState& out) = 0;
    virtual uint32_t XInputSetState(uint32_t userIndex, const Vibration& vibration) = 0;
    virtual void XInputEnable(bool enable) = 0;

    // Devices that arrived or left since the last call, in order.
    virtual std::vector<DeviceChange> TakeDeviceChanges() = 0;
};

enum class Backend { Sdl, Fake };
std::unique_ptr<InputSystem> CreateInputSystem(Backend backend);

// The process-wide input system, chosen at start-up; null until one is installed.
InputSystem* GetInputSystem();
// Installs an input system (destroying the previous one); null uninstalls.
void SetInputSystem(std::unique_ptr<InputSystem> system);

}  // namespace platform::input
