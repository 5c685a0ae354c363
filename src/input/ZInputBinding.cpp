#include "input/ZInputBinding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "foundation/ZStaticInit.h"
#include "input/ZInputHandler.h"
#include "input/ZInputSnapshot.h"

using platform::input::JoystickState;

namespace {

const char* const kAxisNames[ZInputAxis::Count] = {
    "MouseX",       "MouseY",       "MouseZ",        "JoyPosX",      "JoyPosY",      "JoyPosZ",
    "JoyPosRotX",   "JoyPosRotY",   "JoyPosRotZ",    "JoyPosSlider", "JoyVelX",      "JoyVelY",
    "JoyVelZ",      "JoyVelRotX",   "JoyVelRotY",    "JoyVelRotZ",   "JoyVelSlider", "JoyAccX",
    "JoyAccY",      "JoyAccZ",      "JoyAccRotX",    "JoyAccRotY",   "JoyAccRotZ",   "JoyAccSlider",
    "JoyForceX",    "JoyForceY",    "JoyForceZ",     "JoyForceRotX", "JoyForceRotY", "JoyForceRotZ",
    "JoyForceSlider", "JoyPOVHatX", "JoyPOVHatY",    "XboxLSX",      "XboxLSY",      "XboxRSX",
    "XboxRSY",      "XboxLT",       "XboxRT",
};

constexpr int32_t kScanAxisThreshold = 16384;
constexpr int32_t kScanMouseThreshold = 10;
constexpr uint8_t kScanTriggerThreshold = 64;
constexpr float kScanHatThreshold = 0.01f;

// The joystick state fields behind axis ids 4-31 (sliders included); null
// for the hat axes and ids outside the joystick's range.
const int32_t* JoystickField(const JoystickState& s, const uint32_t axis) {
    switch (axis) {
        case ZInputAxis::JoyPosX: return &s.lX;
        case ZInputAxis::JoyPosY: return &s.lY;
        case ZInputAxis::JoyPosZ: return &s.lZ;
        case ZInputAxis::JoyPosRotX: return &s.lRx;
        case ZInputAxis::JoyPosRotY: return &s.lRy;
        case ZInputAxis::JoyPosRotZ: return &s.lRz;
        case ZInputAxis::JoyPosSlider: return &s.rglSlider[0];
        case ZInputAxis::JoyVelX: return &s.lVX;
        case ZInputAxis::JoyVelY: return &s.lVY;
        case ZInputAxis::JoyVelZ: return &s.lVZ;
        case ZInputAxis::JoyVelRotX: return &s.lVRx;
        case ZInputAxis::JoyVelRotY: return &s.lVRy;
        case ZInputAxis::JoyVelRotZ: return &s.lVRz;
        case ZInputAxis::JoyVelSlider: return &s.rglVSlider[0];
        case ZInputAxis::JoyAccX: return &s.lAX;
        case ZInputAxis::JoyAccY: return &s.lAY;
        case ZInputAxis::JoyAccZ: return &s.lAZ;
        case ZInputAxis::JoyAccRotX: return &s.lARx;
        case ZInputAxis::JoyAccRotY: return &s.lARy;
        case ZInputAxis::JoyAccRotZ: return &s.lARz;
        case ZInputAxis::JoyAccSlider: return &s.rglASlider[0];
        case ZInputAxis::JoyForceX: return &s.lFX;
        case ZInputAxis::JoyForceY: return &s.lFY;
        case ZInputAxis::JoyForceZ: return &s.lFZ;
        case ZInputAxis::JoyForceRotX: return &s.lFRx;
        case ZInputAxis::JoyForceRotY: return &s.lFRy;
        case ZInputAxis::JoyForceRotZ: return &s.lFRz;
        case ZInputAxis::JoyForceSlider: return &s.rglFSlider[0];
        default: return nullptr;
    }
}

bool IsSlider(const uint32_t axis) {
    return axis == ZInputAxis::JoyPosSlider || axis == ZInputAxis::JoyVelSlider ||
           axis == ZInputAxis::JoyAccSlider || axis == ZInputAxis::JoyForceSlider;
}

// Dead zone 6144, full scale at 31744, sign kept.
float StickValue(const int32_t raw) {
    const int64_t magnitude = std::llabs(static_cast<int64_t>(raw));
    const int64_t clamped = magnitude < kStickAxisDeadZone    ? kStickAxisDeadZone
                            : magnitude > kStickAxisFullScale ? kStickAxisFullScale
                                                              : magnitude;
    const float v = static_cast<float>(clamped - kStickAxisDeadZone) * kStickAxisScale;
    return raw < 0 ? -v : v;
}

float TriggerValue(const uint8_t raw) {
    const int32_t t = raw < kTriggerDeadZone ? kTriggerDeadZone : raw > kTriggerFullScale ? kTriggerFullScale : raw;
    return static_cast<float>(t - kTriggerDeadZone) * kTriggerScale;
}

bool HatCentred(const uint32_t hat) {
    return (hat & 0xFFFF) == 0xFFFF;
}

// Hat direction: north is y = +1, east is x = +1; (0, 0) when centred.
void HatVector(const uint32_t hat, float& x, float& y) {
    if (HatCentred(hat)) {
        x = 0.0f;
        y = 0.0f;
        return;
    }
    const float angle = static_cast<float>(hat) * static_cast<float>(3.14159265358979323846 / 18000.0);
    x = std::sin(angle);
    y = std::cos(angle);
}

float SignOf(const float v) {
    return v > 0.0f ? 1.0f : v < 0.0f ? -1.0f : 0.0f;
}

// Raw value of an axis before half selection.
float RawAxisValue(const uint32_t axis, const ZInputHandler& handler, const ZInputSnapshot& snapshot,
                   bool& mouseDriven) {
    const bool padSelected = handler.padSelected != 0;
    const platform::input::Gamepad& pad = snapshot.pads[0].gamepad;
    switch (axis) {
        case ZInputAxis::MouseX:
        case ZInputAxis::MouseY:
        case ZInputAxis::MouseZ: {
            const int32_t counts = axis == ZInputAxis::MouseX   ? snapshot.mouse.lX
                                   : axis == ZInputAxis::MouseY ? snapshot.mouse.lY
                                                                : snapshot.mouse.lZ;
            const float v = handler.mouseScale * handler.inverseFrameTime * static_cast<float>(counts);
            mouseDriven = mouseDriven || std::fabs(v) > 0.0f;
            return v;
        }
        case ZInputAxis::JoyPOVHatX:
        case ZInputAxis::JoyPOVHatY: {
            if (padSelected) {
                return 0.0f;
            }
            float x = 0.0f;
            float y = 0.0f;
            HatVector(snapshot.joystick.rgdwPOV[0], x, y);
            return axis == ZInputAxis::JoyPOVHatX ? x : y;
        }
        case ZInputAxis::XboxLSX: return padSelected ? StickValue(pad.sThumbLX) : 0.0f;
        case ZInputAxis::XboxLSY: return padSelected ? StickValue(pad.sThumbLY) : 0.0f;
        case ZInputAxis::XboxRSX: return padSelected ? StickValue(pad.sThumbRX) : 0.0f;
        case ZInputAxis::XboxRSY: return padSelected ? StickValue(pad.sThumbRY) : 0.0f;
        case ZInputAxis::XboxLT: return padSelected ? TriggerValue(pad.bLeftTrigger) : 0.0f;
        case ZInputAxis::XboxRT: return padSelected ? TriggerValue(pad.bRightTrigger) : 0.0f;
        default: break;
    }
    const int32_t* field = JoystickField(snapshot.joystick, axis);
    if (field == nullptr || padSelected) {
        return 0.0f;
    }
    if (IsSlider(axis)) {
        return static_cast<float>(*field) / 65536.0f;
    }
    return StickValue(*field);
}

float ButtonValue(const ZInputBinding& b, const ZInputHandler& handler, const ZInputSnapshot& snapshot) {
    const int32_t code = b.code;
    switch (b.device) {
        case ZInputDevice::Keyboard:
            return code >= 0 && code < 256 && snapshot.keys[code] != 0 ? 1.0f : 0.0f;
        case ZInputDevice::Mouse:
            return code >= 0 && code < 8 && snapshot.mouse.rgbButtons[code] != 0 ? 1.0f : 0.0f;
        case ZInputDevice::Joystick:
            return handler.padSelected == 0 && code >= 0 && code < 128 && snapshot.joystick.rgbButtons[code] != 0
                       ? 1.0f
                       : 0.0f;
        case ZInputDevice::XInput:
            return handler.padSelected != 0 && (static_cast<uint32_t>(snapshot.pads[0].gamepad.wButtons) &
                                                static_cast<uint32_t>(code)) != 0
                       ? 1.0f
                       : 0.0f;
        default:
            return 0.0f;
    }
}

bool Crossed(const int32_t now, const int32_t before) {
    return std::llabs(static_cast<int64_t>(now)) > kScanAxisThreshold &&
           std::llabs(static_cast<int64_t>(before)) <= kScanAxisThreshold;
}

bool ScanPad(const ZInputHandler& handler, ZInputBinding& out) {
    const platform::input::Gamepad& now = handler.current.pads[0].gamepad;
    const platform::input::Gamepad& before = handler.previous.pads[0].gamepad;
    if (now.bLeftTrigger > kScanTriggerThreshold && before.bLeftTrigger <= kScanTriggerThreshold) {
        out = ZInputBinding::Axis(ZInputAxis::XboxLT, 1.0f);
        return true;
    }
    if (now.bRightTrigger > kScanTriggerThreshold && before.bRightTrigger <= kScanTriggerThreshold) {
        out = ZInputBinding::Axis(ZInputAxis::XboxRT, 1.0f);
        return true;
    }
    const struct {
        int16_t now;
        int16_t before;
        uint32_t axis;
    } sticks[] = {
        {now.sThumbLX, before.sThumbLX, ZInputAxis::XboxLSX},
        {now.sThumbLY, before.sThumbLY, ZInputAxis::XboxLSY},
        {now.sThumbRX, before.sThumbRX, ZInputAxis::XboxRSX},
        {now.sThumbRY, before.sThumbRY, ZInputAxis::XboxRSY},
    };
    for (const auto& stick : sticks) {
        if (Crossed(stick.now, stick.before)) {
            out = ZInputBinding::Axis(stick.axis, static_cast<float>(stick.now));
            return true;
        }
    }
    for (uint32_t bit = 1; bit <= 0x8000; bit <<= 1) {
        if ((now.wButtons & bit) != 0 && (before.wButtons & bit) == 0) {
            out = ZInputBinding::Button(ZInputDevice::XInput, static_cast<int32_t>(bit));
            return true;
        }
    }
    return false;
}

bool ScanJoystick(const ZInputHandler& handler, ZInputBinding& out) {
    const JoystickState& now = handler.current.joystick;
    const JoystickState& before = handler.previous.joystick;
    for (uint32_t axis = ZInputAxis::JoyPosX; axis <= ZInputAxis::JoyForceRotZ; ++axis) {
        if (IsSlider(axis)) {
            continue;
        }
        const int32_t n = *JoystickField(now, axis);
        if (Crossed(n, *JoystickField(before, axis))) {
            out = ZInputBinding::Axis(axis, static_cast<float>(n));
            return true;
        }
    }
    const uint32_t sliders[] = {ZInputAxis::JoyPosSlider, ZInputAxis::JoyVelSlider, ZInputAxis::JoyAccSlider,
                                ZInputAxis::JoyForceSlider};
    for (const uint32_t axis : sliders) {
        if (*JoystickField(now, axis) > kScanAxisThreshold &&
            std::llabs(static_cast<int64_t>(*JoystickField(before, axis))) <= kScanAxisThreshold) {
            out = ZInputBinding::Axis(axis, 1.0f);
            return true;
        }
    }
    if (!HatCentred(now.rgdwPOV[0])) {
        float nx = 0.0f;
        float ny = 0.0f;
        float bx = 0.0f;
        float by = 0.0f;
        HatVector(now.rgdwPOV[0], nx, ny);
        HatVector(before.rgdwPOV[0], bx, by);
        if (std::fabs(nx) > kScanHatThreshold && std::fabs(bx) <= kScanHatThreshold) {
            out = ZInputBinding::Axis(ZInputAxis::JoyPOVHatX, nx);
            return true;
        }
        if (std::fabs(ny) > kScanHatThreshold && std::fabs(by) <= kScanHatThreshold) {
            out = ZInputBinding::Axis(ZInputAxis::JoyPOVHatY, ny);
            return true;
        }
    }
    for (int32_t button = 0; button < 128; ++button) {
        if (now.rgbButtons[button] != 0 && before.rgbButtons[button] == 0) {
            out = ZInputBinding::Button(ZInputDevice::Joystick, button);
            return true;
        }
    }
    return false;
}

}  // namespace

ZInputBinding ZInputBinding::Button(const uint32_t device, const int32_t code) {
    ZInputBinding b;
    b.kind = kButton;
    b.device = device;
    b.code = code;
    return b;
}

ZInputBinding ZInputBinding::Axis(const uint32_t axisId, const float value) {
    ZInputBinding b;
    b.kind = kAxis;
    b.device = axisId;
    b.direction = SignOf(value);
    return b;
}

bool ZInputBinding::SameInput(const ZInputBinding& other) const {
    if (kind != other.kind) {
        return false;
    }
    if (kind == kButton) {
        return device == other.device && code == other.code;
    }
    if (kind == kAxis) {
        return device == other.device && SignOf(direction) == SignOf(other.direction);
    }
    return true;
}

const char* GetInputAxisName(const uint32_t axisId) {
    return axisId >= 1 && axisId <= ZInputAxis::Count ? kAxisNames[axisId - 1] : nullptr;
}

ZHashedString GetInputName(const ZInputBinding& binding, ZHashedString& deviceName) {
    const ZBuiltinNames& names = GetBuiltinNames();
    char text[64];
    deviceName = ZHashedString::None();
    if (binding.kind == ZInputBinding::kButton) {
        switch (binding.device) {
            case ZInputDevice::Keyboard:
                std::snprintf(text, sizeof(text), "Key%d", binding.code);
                deviceName = names.keyboardDeviceType;
                break;
            case ZInputDevice::Mouse:
                std::snprintf(text, sizeof(text), "MB%d", binding.code);
                deviceName = names.mouseDeviceType;
                break;
            case ZInputDevice::Joystick:
                std::snprintf(text, sizeof(text), "JB%d", binding.code);
                deviceName = names.joystickDeviceType;
                break;
            case ZInputDevice::XInput:
                std::snprintf(text, sizeof(text), "XB%d", binding.code);
                deviceName = names.xboxDeviceType;
                break;
            default:
                std::snprintf(text, sizeof(text), "Bad button %d", static_cast<int32_t>(binding.device));
                break;
        }
        return ZHashedString(text);
    }
    if (binding.kind == ZInputBinding::kAxis) {
        const uint32_t axis = binding.AxisId();
        const char* name = GetInputAxisName(axis);
        if (name == nullptr) {
            std::snprintf(text, sizeof(text), "Bad axis %d", static_cast<int32_t>(axis));
            return ZHashedString(text);
        }
        std::snprintf(text, sizeof(text), "%s%s", name, binding.direction > 0.0f ? "(+)" : "(-)");
        deviceName = axis <= ZInputAxis::MouseZ      ? names.mouseDeviceType
                     : axis <= ZInputAxis::JoyPOVHatY ? names.joystickDeviceType
                                                      : names.xboxDeviceType;
        return ZHashedString(text);
    }
    return ZHashedString::None();
}

int32_t GetDeviceClass(const ZInputBinding& binding) {
    if (binding.kind == ZInputBinding::kButton) {
        switch (binding.device) {
            case ZInputDevice::Keyboard:
            case ZInputDevice::Mouse: return ZDeviceClass::KeyboardMouse;
            case ZInputDevice::XInput: return ZDeviceClass::XInputPad;
            case ZInputDevice::Joystick: return ZDeviceClass::Joystick;
            default: return ZDeviceClass::None;
        }
    }
    if (binding.kind == ZInputBinding::kAxis) {
        const uint32_t axis = binding.AxisId();
        if (axis >= ZInputAxis::MouseX && axis <= ZInputAxis::MouseZ) {
            return ZDeviceClass::KeyboardMouse;
        }
        if (axis >= ZInputAxis::XboxLSX && axis <= ZInputAxis::XboxRT) {
            return ZDeviceClass::XInputPad;
        }
        if (axis >= ZInputAxis::JoyPosX && axis <= ZInputAxis::JoyPOVHatY) {
            return ZDeviceClass::Joystick;
        }
    }
    return ZDeviceClass::None;
}

bool IsPadInput(const ZInputBinding& binding) {
    if (binding.kind == ZInputBinding::kButton) {
        return binding.device == ZInputDevice::Joystick || binding.device == ZInputDevice::XInput;
    }
    return binding.kind == ZInputBinding::kAxis && binding.AxisId() >= ZInputAxis::JoyPosX &&
           binding.AxisId() <= ZInputAxis::XboxRT;
}

float EvaluateBinding(const ZInputBinding& binding, const ZInputHandler& handler, const ZInputSnapshot& snapshot,
                      bool& active, bool& mouseDriven) {
    float result = 0.0f;
    if (binding.kind == ZInputBinding::kButton) {
        result = ButtonValue(binding, handler, snapshot);
    } else if (binding.kind == ZInputBinding::kAxis) {
        float v = RawAxisValue(binding.AxisId(), handler, snapshot, mouseDriven);
        // Keep only the bound half, read as a positive value.
        if (binding.direction > 0.0f) {
            if (v <= 0.0f) {
                v = 0.0f;
            }
        } else if (v >= 0.0f) {
            v = 0.0f;
        }
        result = binding.direction * v;
    }
    active = active || std::fabs(result) > 0.0f;
    return result;
}

float EvaluateBindings(ZArray<ZInputBinding>& bindings, const ZInputHandler& handler, bool& active,
                       bool& mouseDriven, int32_t& activeDeviceClass, const float time) {
    active = false;
    mouseDriven = false;
    float sum = 0.0f;
    for (ZInputBinding& binding : bindings) {
        const float v = EvaluateBinding(binding, handler, handler.current, active, mouseDriven);
        sum += v;
        if (std::fabs(v) > 0.0f) {
            bool previousActive = false;
            bool previousMouse = false;
            const float before = EvaluateBinding(binding, handler, handler.previous, previousActive, previousMouse);
            if (std::fabs(v - before) > 0.0f) {
                activeDeviceClass = GetDeviceClass(binding);
                binding.lastUsed = time;
            }
        }
    }
    return sum;
}

ZInputBinding FindMostRecentBinding(const ZArray<ZInputBinding>& bindings, const int32_t deviceClass) {
    ZInputBinding result;
    if (bindings.IsEmpty()) {
        return result;
    }
    result = bindings[0];
    float best = -1.0f;
    for (const ZInputBinding& binding : bindings) {
        if (GetDeviceClass(binding) == deviceClass && binding.lastUsed > best) {
            result = binding;
            best = binding.lastUsed;
        }
    }
    return result;
}

bool ScanForNewInput(const ZInputHandler& handler, ZInputBinding& out) {
    const platform::input::MouseState& mouse = handler.current.mouse;
    const struct {
        int32_t movement;
        uint32_t axis;
    } mouseAxes[] = {{mouse.lX, ZInputAxis::MouseX}, {mouse.lY, ZInputAxis::MouseY}, {mouse.lZ, ZInputAxis::MouseZ}};
    for (const auto& m : mouseAxes) {
        if (std::llabs(static_cast<int64_t>(m.movement)) > kScanMouseThreshold) {
            out = ZInputBinding::Axis(m.axis, static_cast<float>(m.movement));
            return true;
        }
    }
    for (int32_t button = 0; button < 8; ++button) {
        if (mouse.rgbButtons[button] != 0 && handler.previous.mouse.rgbButtons[button] == 0) {
            out = ZInputBinding::Button(ZInputDevice::Mouse, button);
            return true;
        }
    }
    for (int32_t code = 0; code < 256; ++code) {
        if (handler.current.keys[code] != 0 && handler.previous.keys[code] == 0) {
            out = ZInputBinding::Button(ZInputDevice::Keyboard, code);
            return true;
        }
    }
    if (handler.padSelected != 0) {
        return ScanPad(handler, out);
    }
    return ScanJoystick(handler, out);
}
