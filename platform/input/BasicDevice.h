#pragma once
// The part of a DirectInput-shaped device that is the same on every backend: cooperative
// level, acquisition, foreground loss, axis ranges and object lists. A backend supplies
// the raw readings through the hooks.

#include "platform/input/input.h"

namespace platform::input {

class BasicDevice : public Device {
public:
    enum class Kind { Keyboard, Mouse, Joystick };

    explicit BasicDevice(Kind kind);

    Result SetCooperativeLevel(uint32_t flags) override;
    Result Acquire() override;
    Result Unacquire() override;
    Result Poll() override;
    Result GetKeyboardState(KeyboardState& out) override;
    Result GetMouseState(MouseState& out) override;
    Result GetJoystickState(JoystickState& out) override;
    std::vector<DeviceObject> EnumObjects(uint32_t typeFilter) override;
    Result SetAxisRange(uint32_t instance, int32_t minimum, int32_t maximum) override;

    Kind GetKind() const { return m_kind; }
    bool IsAcquired() const { return m_acquired; }
    bool IsExclusive() const { return (m_flags & DISCL_EXCLUSIVE) != 0; }

protected:
    struct Counts {
        int axes = 0;  // up to 8: X, Y, Z, Rx, Ry, Rz, two sliders
        int buttons = 0;
        int hats = 0;
    };

    // The device is still plugged in.
    virtual bool Attached() const = 0;
    // The window the device serves is in front (foreground devices read only then).
    virtual bool Foreground() const = 0;
    // Acquisition changed (an exclusive mouse captures the pointer).
    virtual void OnAcquireChanged(bool) {}
    // Failure injection by a test backend: a result other than DI_OK fails the call.
    virtual Result AcquireFault() { return DI_OK; }
    virtual bool TakeLoss() { return false; }
    virtual bool RangeRefused(uint32_t) { return false; }
    // Joysticks: read the hardware now.
    virtual void Update() {}
    virtual void ReadKeys(KeyboardState&) {}
    // Movement since the previous read (and the buttons).
    virtual void ReadMouse(MouseState&) {}
    // Axes in -32768..32767 (ranges are applied here), hats and buttons.
    virtual void ReadJoystick(JoystickState&) {}
    virtual Counts ObjectCounts() const { return {}; }

private:
    // Checks that the device can be read; a lost device stops being acquired.
    Result ReadCheck();

    Kind m_kind;
    uint32_t m_flags = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
    bool m_acquired = false;
    int32_t m_rangeMin[8];
    int32_t m_rangeMax[8];
};

}  // namespace platform::input
