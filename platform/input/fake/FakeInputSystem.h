#pragma once
// Input devices without hardware, for tests. A test plugs in controllers, sets what the
// keyboard, mouse, joysticks and pads report (directly or as a script of frames that
// StepFrame applies one by one), injects failures (a lost device, a refused acquire, a
// pad that stops answering, a refused axis range) and reads back what the program sent
// (vibration, XInputEnable).
//
// Devices made by CreateDevice read from this object and must not outlive it.

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/input/input.h"

namespace platform::input {

class FakeInputSystem : public InputSystem {
public:
    struct JoystickDesc {
        std::string name = "Fake Joystick";
        uint16_t vendorId = 0x1234;
        uint16_t productId = 0x0001;
        bool isXInput = false;  // a gamepad: also takes the lowest free XInput user index
        int axes = 6;
        int buttons = 16;
        int hats = 1;
    };

    // One frame of scripted input; what a frame leaves unset keeps its state.
    struct Frame {
        std::optional<KeyboardState> keys;
        int32_t mouseX = 0;  // movement during the frame
        int32_t mouseY = 0;
        int32_t wheelNotches = 0;
        std::optional<std::array<bool, 8>> mouseButtons;
        std::vector<std::pair<Guid, JoystickState>> joysticks;  // axes -32768..32767
        std::vector<std::pair<uint32_t, Gamepad>> pads;         // by user index
    };

    FakeInputSystem();
    ~FakeInputSystem() override;

    // InputSystem
    std::unique_ptr<Device> CreateDevice(const Guid& guid) override;
    std::vector<DeviceInstance> EnumDevices(uint32_t deviceClass, uint32_t flags) override;
    bool GetPreferredJoystick(Guid& guidInstance) override;
    std::vector<RawDevice> GetRawInputDeviceList() override;
    uint32_t XInputGetState(uint32_t userIndex, PadState& out) override;
    uint32_t XInputSetState(uint32_t userIndex, const Vibration& vibration) override;
    void XInputEnable(bool enable) override;
    std::vector<DeviceChange> TakeDeviceChanges() override;

    // --- Keyboard and mouse ----------------------------------------------------------
    void SetKey(uint8_t scanCode, bool down);
    void SetKeys(const KeyboardState& keys) { m_keys = keys; }
    void MoveMouse(int32_t dx, int32_t dy);
    void TurnWheel(int32_t notches) { m_mouseZ += notches * 120; }
    void SetMouseButton(int button, bool down);

    // --- Controllers -----------------------------------------------------------------
    // Plugs a controller in and answers its instance GUID.
    Guid AttachJoystick(const JoystickDesc& desc);
    void DetachJoystick(const Guid& instance);
    void SetJoystickState(const Guid& instance, const JoystickState& raw);
    // The state of the pad at a user index (one attached with isXInput).
    void SetPad(uint32_t userIndex, const Gamepad& pad);
    // The pad at a user index stops (or starts again) answering XInputGetState.
    void FailPad(uint32_t userIndex, bool fail);
    void SetPreferredJoystick(std::optional<Guid> instance) { m_preferred = instance; }
    // Replaces the raw-input list that the controllers would give.
    void SetRawDevices(std::optional<std::vector<RawDevice>> devices) { m_rawOverride = std::move(devices); }

    // --- The window and failures -----------------------------------------------------
    // Foreground devices can be acquired and read only while the window is in front.
    void SetForeground(bool foreground) { m_foreground = foreground; }
    // The next read of the device fails with DIERR_INPUTLOST and it is no longer acquired.
    void LoseDevice(const Guid& device);
    // The next `times` acquires of the device fail with DIERR_OTHERAPPHASPRIO.
    void FailAcquire(const Guid& device, int times);
    // Setting the range of this axis fails.
    void RefuseAxisRange(const Guid& device, uint32_t instance);

    // --- Script ----------------------------------------------------------------------
    void QueueFrame(Frame frame) { m_frames.push_back(std::move(frame)); }
    // Applies the next queued frame; false when the script is over.
    bool StepFrame();

    // --- Records ---------------------------------------------------------------------
    bool XInputEnabled() const { return m_xinputEnabled; }
    // What the pad at the index was last told (zero while XInput is disabled).
    Vibration PadVibration(uint32_t userIndex) const;
    int VibrationSends(uint32_t userIndex) const;
    // Devices made and not yet destroyed.
    int LiveDevices() const { return m_liveDevices; }

private:
    class FakeDevice;
    struct Joystick {
        Guid instance;
        JoystickDesc desc;
        JoystickState raw;
        int padIndex = -1;
    };
    struct Pad {
        bool connected = false;
        bool failing = false;
        Gamepad gamepad;
        uint32_t packet = 0;
        Vibration vibration;
        int sends = 0;
    };

    Joystick* FindJoystick(const Guid& instance);

    KeyboardState m_keys;
    int32_t m_mouseX = 0;
    int32_t m_mouseY = 0;
    int32_t m_mouseZ = 0;
    uint8_t m_mouseButtons[8] = {};
    std::vector<Joystick> m_joysticks;
    Pad m_pads[XUSER_MAX_COUNT];
    bool m_xinputEnabled = true;
    bool m_foreground = true;
    std::optional<Guid> m_preferred;
    std::optional<std::vector<RawDevice>> m_rawOverride;
    std::vector<DeviceChange> m_changes;
    std::deque<Frame> m_frames;
    std::vector<Guid> m_lost;
    std::vector<std::pair<Guid, int>> m_acquireFailures;
    std::vector<std::pair<Guid, uint32_t>> m_refusedRanges;
    uint32_t m_nextId = 1;
    int m_liveDevices = 0;
};

}  // namespace platform::input
