#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "input/ZInputBinding.h"
#include "input/ZInputSnapshot.h"
#include "platform/input/input.h"

// Owner of every raw input device: the keyboard and mouse, at most one open
// game controller (a DirectInput-style joystick, or an XInput pad found among
// the joysticks) and the four XInput pad slots. Once per frame PollDevices
// copies the current snapshot into `previous` and reads the devices again;
// queries never touch the devices.
//
// Devices come from the installed platform input system
// (platform::input::GetInputSystem); without one every device reads as
// missing (zeroed, joystick neutral). Main thread only, no lock.
class ZInputHandler {
public:
    // One enumerated game controller.
    struct JoystickRecord {
        platform::input::DeviceInstance instance;
        bool isXInput = false;  // read through the XInput calls, never opened as a joystick
    };

    // A timed vibration: an attack-hold-release envelope per motor. Times are
    // absolute on the rumble clock (GetRumbleClock); strengths are fractions
    // of full speed.
    struct RumbleEffect {
        float startTime = 0.0f;
        float leftStrength = 0.0f;  // low-frequency motor
        float leftAttackEnd = 0.0f;
        float leftHoldEnd = 0.0f;
        float leftReleaseEnd = 0.0f;
        float rightStrength = 0.0f;  // high-frequency motor
        float rightAttackEnd = 0.0f;
        float rightHoldEnd = 0.0f;
        float rightReleaseEnd = 0.0f;
    };

    ZInputHandler();
    ~ZInputHandler();
    ZInputHandler(const ZInputHandler&) = delete;
    ZInputHandler& operator=(const ZInputHandler&) = delete;

    // --- Start-up, in this order: BuildCharTable, InitInputDevices,
    // IsXInputPadConnected, XInputEnable(true), SelectJoystickByName. ---

    // Fills charTable from the window system's keyboard layout (all zero
    // without a window system).
    void BuildCharTable();
    // Opens the mouse and keyboard, enumerates the game controllers and, when
    // selectPreferred is set, opens the controller the system prefers. No
    // failure stops start-up; always true.
    bool InitInputDevices(bool selectPreferred);
    // Runs the pad connection test (padConnected for user indices 0-3);
    // true when any pad answered.
    bool IsXInputPadConnected();
    bool IsPadConnected(uint32_t userIndex) const;
    // XInputEnable of the platform (deactivation switches pads off).
    void XInputEnable(bool enable);

    // --- Controllers ---
    // Fresh list of the attached game controllers.
    ZArray<JoystickRecord> EnumJoysticks();
    // A pad read through the XInput calls: the raw-input entry whose ids match
    // the product GUID's first 32 bits has "IG_" in its name.
    static bool IsXInputDevice(const std::vector<platform::input::RawDevice>& rawDevices,
                               const platform::input::Guid& productGuid);
    // Makes index the selected controller; an index outside the list closes it.
    void SelectJoystick(int32_t index);
    // Selects the first controller whose instance name equals name ignoring
    // case; null, empty or unknown names change nothing.
    void SelectJoystickByName(const char* name);
    // Hashed instance name of the selected controller; the none name when none.
    ZHashedString GetSelectedJoystickName() const;
    const ZArray<JoystickRecord>& GetJoysticks() const { return joysticks; }
    int32_t GetSelectedJoystick() const { return selectedJoystick; }
    int32_t GetPreferredJoystick() const { return preferredJoystick; }
    // A controller is open through DirectInput (not a pad).
    bool HasJoystickDevice() const { return joystickDevice != nullptr; }
    bool IsPadSelected() const { return padSelected; }

    // --- Per frame ---
    // The poll: current -> previous, read every device, advance the rumble
    // clock and mix rumble while activeDeviceClass is 2 (pad), lower the key
    // repeat timer, re-acquire lost devices and re-detect pads when asked.
    void PollDevices(float dt, int32_t activeDeviceClass);
    // The frame timing's name for the poll.
    void PollXInput(float dt, int32_t activeDeviceClass) { PollDevices(dt, activeDeviceClass); }

    // Text-entry key repeat: true the poll a key goes down, again after 0.25 s
    // while held, then every 0.05 s. One key repeats at a time.
    bool CheckKeyRepeat(uint8_t scanCode);
    bool IsKeyDown(uint8_t scanCode) const { return current.keys[scanCode] != 0; }
    bool WasKeyDown(uint8_t scanCode) const { return previous.keys[scanCode] != 0; }
    // Down now and up at the previous poll.
    bool WasKeyPressed(uint8_t scanCode) const { return IsKeyDown(scanCode) && !WasKeyDown(scanCode); }
    int32_t GetMouseDeltaX() const { return current.mouse.lX; }
    int32_t GetMouseDeltaY() const { return current.mouse.lY; }
    // The character a key types: variant 0 plain, 1 Shift, 2 Caps Lock, 3 both.
    uint8_t GetChar(uint8_t scanCode, bool shift, bool capsLock) const {
        return charTable[scanCode][(shift ? 1 : 0) + (capsLock ? 2 : 0)];
    }

    // --- Window activation and the cursor ---
    // Window activation: the next poll enables XInput and re-tests the pads.
    void RequestPadRedetection() { redetectPads = 1; }
    // Unacquires the mouse, keyboard and joystick (those that exist).
    void UnacquireInputDevices();
    // Re-acquires the mouse and the keyboard (non-exclusive, foreground), then
    // moves the window system's cursor counter to shown (hideCursor false) or
    // hidden (true).
    void ReacquireInputDevices(bool hideCursor);
    // Releases every device (framework deinit); the handler reads nothing after.
    void ReleaseDevices();

    // --- Rumble ---
    // Pause: stops pad 0's motors (when a pad is selected and pad 0 answers)
    // and holds the rumble clock while paused.
    void SetRumblePaused(bool paused);
    bool IsRumblePaused() const { return rumblePaused != 0; }
    // Both motors of pad 0 to 0 at once.
    void StopRumble();
    float GetRumbleClock() const { return rumbleClock; }
    // An effect that runs until both of its motors' release ends have passed.
    void AddRumbleEffect(const RumbleEffect& effect);
    // A keyed effect replaces the effect held under the same key.
    void SetKeyedRumbleEffect(int32_t key, const RumbleEffect& effect);
    void RemoveKeyedRumbleEffect(int32_t key);
    // Drops every effect (the motors stop at the next mix).
    void ClearRumbleEffects();
    uint32_t CountRumbleEffects() const { return rumbleEffects.Count() + keyedRumbleEffects.Count(); }
    // The mixer: sums the envelopes at the rumble clock and sends them to pad 0.
    void UpdateRumble();
    // One motor's envelope value at time t.
    static float Envelope(float strength, float start, float attackEnd, float holdEnd, float releaseEnd, float t);

    // --- Rebinding ---
    // The first input that became active this frame; false when none did.
    bool ScanForNewInput(ZInputBinding& out) const { return ::ScanForNewInput(*this, out); }

    // --- State. Fields others read (and the framework sets) directly. ---
    uint8_t redetectPads = 0;  // window activation; cleared by the next poll
    uint8_t reacquire = 0;     // a read or acquire failed; the next poll re-acquires
    uint8_t padSelected = 0;   // the selected controller is an XInput pad: pad 0 is the controller
    ZInputSnapshot current;
    ZInputSnapshot previous;
    uint8_t padConnected[platform::input::XUSER_MAX_COUNT] = {};
    float mouseScale = 1.0f;  // factor on mouse-axis values
    float frameTime = 0.0f;
    float inverseFrameTime = 0.0f;  // 1 / frameTime, 0 when frameTime <= 0
    // Per scan code: plain, Shift, Caps Lock, Shift and Caps Lock; 0 = types nothing.
    uint8_t charTable[256][4] = {};
    // Result of the last device call, for diagnostics only.
    platform::input::Result lastResult = platform::input::DI_OK;

private:
    void ReleaseJoystickDevice();
    void ReadJoystick();
    void ReadPads(int32_t activeDeviceClass, float dt);
    void AcquireAll();

    ZArray<JoystickRecord> joysticks;
    int32_t selectedJoystick = -1;
    int32_t preferredJoystick = -1;

    ZArray<RumbleEffect> rumbleEffects;
    ZMap<int32_t, RumbleEffect> keyedRumbleEffects;
    float rumbleClock = 0.0f;
    uint8_t rumblePaused = 0;

    std::unique_ptr<platform::input::Device> mouseDevice;
    std::unique_ptr<platform::input::Device> keyboardDevice;
    std::unique_ptr<platform::input::Device> joystickDevice;
};

// The handler, made on first use.
ZInputHandler* GetInputHandler();
// Destroys the handler; the next GetInputHandler makes a fresh one.
void DeleteInputHandler();
