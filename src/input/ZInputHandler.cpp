#include "input/ZInputHandler.h"

#include <strings.h>

#include <cstring>

#include "foundation/ZLog.h"
#include "foundation/ZMath.h"
#include "platform/window/window.h"

namespace pin = platform::input;

namespace {

ZInputHandler* gInputHandler = nullptr;

constexpr float kKeyRepeatDelay = 0.25f;
constexpr float kKeyRepeatInterval = 0.05f;

bool ReadOk(const pin::Result result) {
    return result == pin::DI_OK || result == pin::DI_NOEFFECT;
}

void ResetJoystick(pin::JoystickState& state) {
    state = pin::JoystickState();
}

float MixedEnvelope(const ZInputHandler::RumbleEffect& e, const float t, const bool left) {
    return left ? ZInputHandler::Envelope(e.leftStrength, e.startTime, e.leftAttackEnd, e.leftHoldEnd,
                                          e.leftReleaseEnd, t)
                : ZInputHandler::Envelope(e.rightStrength, e.startTime, e.rightAttackEnd, e.rightHoldEnd,
                                          e.rightReleaseEnd, t);
}

bool Expired(const ZInputHandler::RumbleEffect& e, const float t) {
    return t > e.leftReleaseEnd && t > e.rightReleaseEnd;
}

}  // namespace

ZInputHandler* GetInputHandler() {
    if (gInputHandler == nullptr) {
        gInputHandler = new ZInputHandler();
    }
    return gInputHandler;
}

void DeleteInputHandler() {
    delete gInputHandler;
    gInputHandler = nullptr;
}

ZInputHandler::ZInputHandler() {
    ResetJoystick(current.joystick);
    ResetJoystick(previous.joystick);
}

ZInputHandler::~ZInputHandler() {
    ReleaseDevices();
}

void ZInputHandler::ReleaseDevices() {
    ReleaseJoystickDevice();
    mouseDevice.reset();
    keyboardDevice.reset();
}

void ZInputHandler::ReleaseJoystickDevice() {
    if (joystickDevice != nullptr) {
        joystickDevice->Unacquire();
        joystickDevice.reset();
    }
}

void ZInputHandler::BuildCharTable() {
    std::memset(charTable, 0, sizeof(charTable));
    const platform::window::WindowSystem* window = platform::window::GetWindowSystem();
    if (window == nullptr) {
        return;
    }
    for (uint32_t code = 0; code < 256; ++code) {
        const uint32_t vk = window->MapVirtualKey(code, platform::window::MAPVK_VSC_TO_VK_EX);
        if (vk == 0) {
            continue;
        }
        uint8_t keyState[256] = {};
        // Cleared once: a variant that types nothing repeats the byte before it.
        uint8_t out = 0;
        for (int variant = 0; variant < 4; ++variant) {
            keyState[platform::VK_SHIFT] = (variant & 1) != 0 ? 0xFF : 0;
            keyState[platform::VK_CAPITAL] = (variant & 2) != 0 ? 0xFF : 0;
            window->ToAscii(vk, code, keyState, &out);
            charTable[code][variant] = out;
        }
    }
}

bool ZInputHandler::InitInputDevices(const bool selectPreferred) {
    ZLog::Printf("ZInputHandler::InitInputDevices");
    ReleaseDevices();
    reacquire = 0;
    selectedJoystick = -1;
    padSelected = 0;

    pin::InputSystem* system = pin::GetInputSystem();
    ZLog::Printf("Create DInput8");
    if (system == nullptr) {
        ZLog::Printf("ZInputHandler: no input system; every device reads as missing");
        joysticks.Clear();
        preferredJoystick = -1;
        return true;
    }

    const struct {
        const pin::Guid* guid;
        std::unique_ptr<pin::Device>* device;
        const char* lines[4];
    } systemDevices[] = {
        {&pin::GUID_SysMouse,
         &mouseDevice,
         {"Create mouse device", "Set mouse format", "Set mouse level", "Acquire mouse"}},
        {&pin::GUID_SysKeyboard,
         &keyboardDevice,
         {"Create keyboard device", "Set keyboard format", "Set keyboard level", "Acquire keyboard"}},
    };
    for (const auto& d : systemDevices) {
        ZLog::Printf("%s", d.lines[0]);
        *d.device = system->CreateDevice(*d.guid);
        ZLog::Printf("%s", d.lines[1]);
        if (*d.device == nullptr) {
            continue;
        }
        ZLog::Printf("%s", d.lines[2]);
        lastResult = (*d.device)->SetCooperativeLevel(pin::DISCL_NONEXCLUSIVE | pin::DISCL_FOREGROUND);
        ZLog::Printf("%s", d.lines[3]);
        lastResult = (*d.device)->Acquire();
        if (!pin::Succeeded(lastResult)) {
            reacquire = 1;
        }
    }

    ZLog::Printf("Enumerate joysticks");
    ZArray<JoystickRecord> found = EnumJoysticks();
    joysticks = std::move(found);
    preferredJoystick = -1;

    if (selectPreferred) {
        ZLog::Printf("Select preferred controller");
        pin::Guid preferred;
        if (system->GetPreferredJoystick(preferred)) {
            ZLog::Printf("Iterate over known controllers");
            for (uint32_t i = 0; i < joysticks.Count(); ++i) {
                if (joysticks[i].instance.guidInstance == preferred) {
                    ZLog::Printf("Found a match");
                    preferredJoystick = static_cast<int32_t>(i);
                    SelectJoystick(preferredJoystick);
                    break;
                }
            }
        }
    }
    return true;
}

ZArray<ZInputHandler::JoystickRecord> ZInputHandler::EnumJoysticks() {
    ZLog::Printf("ZInputHandler::EnumJoysticks");
    ZArray<JoystickRecord> list;
    pin::InputSystem* system = pin::GetInputSystem();
    if (system == nullptr) {
        return list;
    }
    ZLog::Printf("Set up XInput device list");
    ZLog::Printf("ZInputHandler::SetupXInputDeviceList");
    const std::vector<pin::RawDevice> rawDevices = system->GetRawInputDeviceList();
    ZLog::Printf("Enumerate joysticks");
    for (const pin::DeviceInstance& instance : system->EnumDevices(pin::DI8DEVCLASS_GAMECTRL, pin::DIEDFL_ATTACHEDONLY)) {
        ZLog::Printf("Enumerate joysticks CALLBACK");
        ZLog::Printf("    Is XInput?");
        JoystickRecord record;
        record.isXInput = IsXInputDevice(rawDevices, instance.guidProduct);
        ZLog::Printf("    Memcpy");
        record.instance = instance;
        ZLog::Printf("    Add to list");
        list.PushBack(record);
    }
    ZLog::Printf("Clean up XInput device list");
    ZLog::Printf("ZInputHandler::CleanupXInputDeviceList");
    return list;
}

bool ZInputHandler::IsXInputDevice(const std::vector<pin::RawDevice>& rawDevices, const pin::Guid& productGuid) {
    ZLog::Printf("ZInputHandler::IsXInputDevice");
    for (const pin::RawDevice& raw : rawDevices) {
        if (raw.type != pin::RIM_TYPEHID) {
            continue;
        }
        const uint32_t ids = (static_cast<uint32_t>(raw.productId) << 16) | raw.vendorId;
        if (ids == productGuid.data1) {
            // The first device with matching ids decides, whatever its name.
            return raw.name.find("IG_") != std::string::npos;
        }
    }
    return false;
}

void ZInputHandler::SelectJoystick(const int32_t index) {
    if (index < 0 || static_cast<uint32_t>(index) >= joysticks.Count()) {
        ReleaseJoystickDevice();
        selectedJoystick = -1;
        padSelected = 0;
        ResetJoystick(current.joystick);
        return;
    }
    selectedJoystick = index;
    ReleaseJoystickDevice();
    ResetJoystick(current.joystick);
    if (joysticks[index].isXInput) {
        // Pads are read through the XInput calls, never opened as joysticks.
        padSelected = 1;
        return;
    }
    padSelected = 0;
    pin::InputSystem* system = pin::GetInputSystem();
    if (system == nullptr) {
        return;
    }
    joystickDevice = system->CreateDevice(joysticks[index].instance.guidInstance);
    if (joystickDevice == nullptr) {
        return;
    }
    lastResult = joystickDevice->SetCooperativeLevel(pin::DISCL_EXCLUSIVE | pin::DISCL_FOREGROUND);
    ZLog::Printf("ZInputHandler::EnumObjectsCallback");
    for (const pin::DeviceObject& object : joystickDevice->EnumObjects(pin::DIDFT_ALL)) {
        if ((object.type & (pin::DIDFT_RELAXIS | pin::DIDFT_ABSAXIS)) == 0) {
            continue;
        }
        lastResult = joystickDevice->SetAxisRange(object.instance, -32768, 32767);
        if (!pin::Succeeded(lastResult)) {
            break;
        }
    }
    lastResult = joystickDevice->Acquire();
    if (!pin::Succeeded(lastResult)) {
        reacquire = 1;
    }
}

void ZInputHandler::SelectJoystickByName(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return;
    }
    for (uint32_t i = 0; i < joysticks.Count(); ++i) {
        if (strcasecmp(joysticks[i].instance.instanceName.c_str(), name) == 0) {
            SelectJoystick(static_cast<int32_t>(i));
            return;
        }
    }
}

ZHashedString ZInputHandler::GetSelectedJoystickName() const {
    if (selectedJoystick < 0 || static_cast<uint32_t>(selectedJoystick) >= joysticks.Count()) {
        return ZHashedString::None();
    }
    return ZHashedString(joysticks[selectedJoystick].instance.instanceName.c_str());
}

bool ZInputHandler::IsXInputPadConnected() {
    pin::InputSystem* system = pin::GetInputSystem();
    bool any = false;
    for (uint32_t i = 0; i < pin::XUSER_MAX_COUNT; ++i) {
        pin::PadState state;
        padConnected[i] = system != nullptr && system->XInputGetState(i, state) == pin::ERROR_SUCCESS;
        any = any || padConnected[i] != 0;
    }
    return any;
}

bool ZInputHandler::IsPadConnected(const uint32_t userIndex) const {
    return userIndex < pin::XUSER_MAX_COUNT && padConnected[userIndex] != 0;
}

void ZInputHandler::XInputEnable(const bool enable) {
    if (pin::InputSystem* system = pin::GetInputSystem()) {
        system->XInputEnable(enable);
    }
}

void ZInputHandler::PollDevices(const float dt, const int32_t activeDeviceClass) {
    frameTime = dt;
    inverseFrameTime = dt > 0.0f ? 1.0f / dt : 0.0f;
    previous = current;

    if (mouseDevice == nullptr) {
        current.mouse = pin::MouseState();
    } else {
        lastResult = mouseDevice->Poll();
        if (ReadOk(lastResult)) {
            lastResult = mouseDevice->GetMouseState(current.mouse);
        }
        if (!ReadOk(lastResult)) {
            reacquire = 1;
            // Movement is per read: repeating the last frame's would drift.
            current.mouse.lX = 0;
            current.mouse.lY = 0;
            current.mouse.lZ = 0;
        }
    }

    if (keyboardDevice == nullptr) {
        std::memset(current.keys, 0, sizeof(current.keys));
    } else {
        lastResult = keyboardDevice->Poll();
        pin::KeyboardState keys;
        if (ReadOk(lastResult)) {
            lastResult = keyboardDevice->GetKeyboardState(keys);
        }
        if (ReadOk(lastResult)) {
            std::memcpy(current.keys, keys.keys, sizeof(current.keys));
        } else {
            reacquire = 1;
        }
    }

    ReadJoystick();
    if (padSelected != 0) {
        ReadPads(activeDeviceClass, dt);
    }

    current.repeatTimer -= dt;
    if (current.repeatTimer < 0.0f) {
        current.repeatTimer = 0.0f;
    }

    if (reacquire != 0) {
        AcquireAll();
        reacquire = 0;
    }
    if (redetectPads != 0) {
        redetectPads = 0;
        XInputEnable(true);
        IsXInputPadConnected();
    }
}

void ZInputHandler::ReadJoystick() {
    if (joystickDevice == nullptr || padSelected != 0) {
        ResetJoystick(current.joystick);
        return;
    }
    lastResult = joystickDevice->Poll();
    if (ReadOk(lastResult)) {
        lastResult = joystickDevice->GetJoystickState(current.joystick);
    }
    if (!ReadOk(lastResult)) {
        reacquire = 1;
    }
}

void ZInputHandler::ReadPads(const int32_t activeDeviceClass, const float dt) {
    pin::InputSystem* system = pin::GetInputSystem();
    bool anyRead = false;
    for (uint32_t i = 0; i < pin::XUSER_MAX_COUNT; ++i) {
        if (padConnected[i] == 0) {
            continue;
        }
        if (system != nullptr && system->XInputGetState(i, current.pads[i]) == pin::ERROR_SUCCESS) {
            anyRead = true;
        } else {
            // A pad that stopped answering reads at rest, not frozen as it was.
            padConnected[i] = 0;
            current.pads[i] = pin::PadState();
        }
    }
    // One clock step and one mix per poll, however many pads answered.
    if (anyRead && rumblePaused == 0) {
        rumbleClock += dt;
        if (activeDeviceClass == 2) {
            UpdateRumble();
        }
    }
}

void ZInputHandler::AcquireAll() {
    for (pin::Device* device : {mouseDevice.get(), keyboardDevice.get(), joystickDevice.get()}) {
        if (device != nullptr) {
            lastResult = device->Acquire();
        }
    }
}

bool ZInputHandler::CheckKeyRepeat(const uint8_t scanCode) {
    if (!IsKeyDown(scanCode)) {
        return false;
    }
    if (!WasKeyDown(scanCode)) {
        current.repeatKey = scanCode;
        current.repeatTimer = kKeyRepeatDelay;
        return true;
    }
    if (current.repeatKey == scanCode && current.repeatTimer <= 0.0f) {
        current.repeatTimer = kKeyRepeatInterval;
        return true;
    }
    return false;
}

void ZInputHandler::UnacquireInputDevices() {
    for (pin::Device* device : {mouseDevice.get(), keyboardDevice.get(), joystickDevice.get()}) {
        if (device != nullptr) {
            lastResult = device->Unacquire();
        }
    }
}

void ZInputHandler::ReacquireInputDevices(const bool hideCursor) {
    for (pin::Device* device : {mouseDevice.get(), keyboardDevice.get()}) {
        if (device == nullptr) {
            continue;
        }
        device->Unacquire();
        lastResult = device->SetCooperativeLevel(pin::DISCL_NONEXCLUSIVE | pin::DISCL_FOREGROUND);
        lastResult = device->Acquire();
        if (!pin::Succeeded(lastResult)) {
            reacquire = 1;
        }
    }
    platform::window::WindowSystem* window = platform::window::GetWindowSystem();
    if (window == nullptr) {
        return;
    }
    if (!hideCursor) {
        while (window->ShowCursor(true) < 0) {
        }
    } else {
        while (window->ShowCursor(false) >= 0) {
        }
    }
}

// --- Rumble --------------------------------------------------------------------------

float ZInputHandler::Envelope(const float strength, const float start, const float attackEnd, const float holdEnd,
                              const float releaseEnd, const float t) {
    if (start <= t && t < attackEnd) {
        return strength * (t - start) / (attackEnd - start);
    }
    if (attackEnd <= t && t < holdEnd) {
        return strength;
    }
    if (holdEnd <= t && t < releaseEnd) {
        return strength * (1.0f - (t - holdEnd) / (releaseEnd - holdEnd));
    }
    return 0.0f;
}

void ZInputHandler::UpdateRumble() {
    if (padSelected == 0 || padConnected[0] == 0) {
        return;
    }
    const float t = rumbleClock;
    float left = 0.0f;
    float right = 0.0f;
    for (uint32_t i = 0; i < rumbleEffects.Count();) {
        const RumbleEffect& effect = rumbleEffects[i];
        left += MixedEnvelope(effect, t, true);
        right += MixedEnvelope(effect, t, false);
        if (Expired(effect, t)) {
            rumbleEffects.RemoveAt(i);
        } else {
            ++i;
        }
    }
    ZArray<int32_t> expiredKeys;
    for (const auto& node : keyedRumbleEffects) {
        left += MixedEnvelope(node.value, t, true);
        right += MixedEnvelope(node.value, t, false);
        if (Expired(node.value, t)) {
            expiredKeys.PushBack(node.key);
        }
    }
    for (const int32_t key : expiredKeys) {
        keyedRumbleEffects.Remove(key);
    }
    pin::Vibration vibration;
    vibration.wLeftMotorSpeed = static_cast<uint16_t>(ZMath::Clamp01(left) * 65535.0f);
    vibration.wRightMotorSpeed = static_cast<uint16_t>(ZMath::Clamp01(right) * 65535.0f);
    if (pin::InputSystem* system = pin::GetInputSystem()) {
        system->XInputSetState(0, vibration);
    }
}

void ZInputHandler::StopRumble() {
    if (pin::InputSystem* system = pin::GetInputSystem()) {
        system->XInputSetState(0, pin::Vibration());
    }
}

void ZInputHandler::SetRumblePaused(const bool paused) {
    if (padSelected != 0 && padConnected[0] != 0) {
        StopRumble();
    }
    rumblePaused = paused ? 1 : 0;
}

void ZInputHandler::AddRumbleEffect(const RumbleEffect& effect) {
    rumbleEffects.PushBack(effect);
}

void ZInputHandler::SetKeyedRumbleEffect(const int32_t key, const RumbleEffect& effect) {
    keyedRumbleEffects[key] = effect;
}

void ZInputHandler::RemoveKeyedRumbleEffect(const int32_t key) {
    keyedRumbleEffects.Remove(key);
}

void ZInputHandler::ClearRumbleEffects() {
    rumbleEffects.Clear();
    keyedRumbleEffects.Clear();
}
