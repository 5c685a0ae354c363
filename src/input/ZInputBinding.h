#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

class ZInputHandler;
struct ZInputSnapshot;

// Axis ids of axis bindings. The numbers are stored in the bindings file.
struct ZInputAxis {
    enum : uint32_t {
        MouseX = 1, MouseY, MouseZ,
        JoyPosX, JoyPosY, JoyPosZ, JoyPosRotX, JoyPosRotY, JoyPosRotZ, JoyPosSlider,
        JoyVelX, JoyVelY, JoyVelZ, JoyVelRotX, JoyVelRotY, JoyVelRotZ, JoyVelSlider,
        JoyAccX, JoyAccY, JoyAccZ, JoyAccRotX, JoyAccRotY, JoyAccRotZ, JoyAccSlider,
        JoyForceX, JoyForceY, JoyForceZ, JoyForceRotX, JoyForceRotY, JoyForceRotZ, JoyForceSlider,
        JoyPOVHatX, JoyPOVHatY,
        XboxLSX, XboxLSY, XboxRSX, XboxRSY, XboxLT, XboxRT,
        Count = XboxRT  // ids run 1..Count
    };
};

// Devices of button bindings. Stored in the bindings file.
struct ZInputDevice {
    enum : uint32_t { Keyboard = 1, Mouse = 2, Joystick = 3, XInput = 4 };
};

// Which kind of device an input belongs to: the class of the input used last
// decides whether the cursor shows, whether rumble runs and what prompts name.
struct ZDeviceClass {
    enum : int32_t { None = 0, KeyboardMouse = 1, XInputPad = 2, Joystick = 3 };
};

// One bindable input: a key, a mouse, joystick or pad button, or one half of
// an axis. Kinds other than button and axis make an empty binding, which
// evaluates to 0.
struct ZInputBinding {
    static constexpr uint32_t kEmpty = 0;
    static constexpr uint32_t kButton = 1;
    static constexpr uint32_t kAxis = 2;

    uint32_t kind = kEmpty;
    uint32_t device = 0;     // buttons: ZInputDevice; axes: the axis id (ZInputAxis)
    int32_t code = 0;        // buttons: scan code, mouse button, joystick button or pad bit mask
    float direction = 0.0f;  // axes: +1 the positive half, -1 the negative half
    float lastUsed = 0.0f;   // time this binding last changed value while active

    // A button of a device (ZInputDevice) with its code.
    static ZInputBinding Button(uint32_t device, int32_t code);
    // An axis half: direction +1 for value > 0, -1 for value < 0, 0 for 0.
    static ZInputBinding Axis(uint32_t axisId, float value);

    uint32_t AxisId() const { return device; }
    bool IsButton() const { return kind == kButton; }
    bool IsAxis() const { return kind == kAxis; }

    // Equal inputs: same kind and, for buttons, same device and code; for axes
    // the same id and the same sign of direction. lastUsed takes no part.
    bool SameInput(const ZInputBinding& other) const;
};

// The name of an axis id ("MouseX" ... "XboxRT"), or null outside 1..39.
const char* GetInputAxisName(uint32_t axisId);

// The hashed display key of the input ("Key28", "XB4096", "XboxLSY(+)", "Bad
// axis 99") and, in deviceName, the hashed device-type name ("Keyboard",
// "Mouse", "Joystick", "Xbox"; the none name for an empty binding).
ZHashedString GetInputName(const ZInputBinding& binding, ZHashedString& deviceName);

// 1 keyboard or mouse, 2 XInput pad, 3 DirectInput joystick, 0 anything else.
int32_t GetDeviceClass(const ZInputBinding& binding);
// A joystick or pad button, or an axis 4-39.
bool IsPadInput(const ZInputBinding& binding);

// The value of one binding in a snapshot of the handler's devices. Codes
// outside their device's range read 0. `active` becomes true when the value
// is not 0, `mouseDriven` when a mouse axis moved; neither is ever cleared.
float EvaluateBinding(const ZInputBinding& binding, const ZInputHandler& handler, const ZInputSnapshot& snapshot,
                      bool& active, bool& mouseDriven);

// Sum of the bindings in the current snapshot. A binding whose value changed
// since the previous snapshot becomes the active device class and gets
// lastUsed = time.
float EvaluateBindings(ZArray<ZInputBinding>& bindings, const ZInputHandler& handler, bool& active,
                       bool& mouseDriven, int32_t& activeDeviceClass, float time);

// The most recently used binding of the class (the earliest of equal times);
// the first binding when none is of that class; empty for an empty list.
ZInputBinding FindMostRecentBinding(const ZArray<ZInputBinding>& bindings, int32_t deviceClass);

// The first input that became active this frame (for rebinding); false when
// there is none.
bool ScanForNewInput(const ZInputHandler& handler, ZInputBinding& out);
