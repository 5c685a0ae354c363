#include "platform/input/BasicDevice.h"

#include <string>

namespace platform::input {

namespace {

const char* const kAxisNames[8] = {"X Axis",     "Y Axis",     "Z Axis", "X Rotation",
                                   "Y Rotation", "Z Rotation", "Slider", "Slider"};

}  // namespace

BasicDevice::BasicDevice(const Kind kind) : m_kind(kind) {
    for (int i = 0; i < 8; ++i) {
        m_rangeMin[i] = 0;
        m_rangeMax[i] = 65535;
    }
}

Result BasicDevice::SetCooperativeLevel(const uint32_t flags) {
    const uint32_t access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const uint32_t scope = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if ((access != DISCL_EXCLUSIVE && access != DISCL_NONEXCLUSIVE) ||
        (scope != DISCL_FOREGROUND && scope != DISCL_BACKGROUND)) {
        return DIERR_INVALIDPARAM;
    }
    m_flags = flags;
    return DI_OK;
}

Result BasicDevice::Acquire() {
    if (!Attached()) return DIERR_UNPLUGGED;
    if (m_acquired) return DI_NOEFFECT;
    if ((m_flags & DISCL_FOREGROUND) && !Foreground()) return DIERR_OTHERAPPHASPRIO;
    if (const Result fault = AcquireFault(); fault != DI_OK) return fault;
    m_acquired = true;
    if (m_kind == Kind::Mouse) {
        // Movement made while not acquired is not reported.
        MouseState discard;
        ReadMouse(discard);
    }
    OnAcquireChanged(true);
    return DI_OK;
}

Result BasicDevice::Unacquire() {
    if (!m_acquired) return DI_NOEFFECT;
    m_acquired = false;
    OnAcquireChanged(false);
    return DI_OK;
}

Result BasicDevice::ReadCheck() {
    if (!m_acquired) return DIERR_NOTACQUIRED;
    if (!Attached() || ((m_flags & DISCL_FOREGROUND) && !Foreground()) || TakeLoss()) {
        Unacquire();
        return DIERR_INPUTLOST;
    }
    return DI_OK;
}

Result BasicDevice::Poll() {
    if (const Result check = ReadCheck(); check != DI_OK) return check;
    if (m_kind != Kind::Joystick) return DI_NOEFFECT;
    Update();
    return DI_OK;
}

Result BasicDevice::GetKeyboardState(KeyboardState& out) {
    if (m_kind != Kind::Keyboard) return DIERR_INVALIDPARAM;
    if (const Result check = ReadCheck(); check != DI_OK) return check;
    out = KeyboardState();
    ReadKeys(out);
    return DI_OK;
}

Result BasicDevice::GetMouseState(MouseState& out) {
    if (m_kind != Kind::Mouse) return DIERR_INVALIDPARAM;
    if (const Result check = ReadCheck(); check != DI_OK) return check;
    out = MouseState();
    ReadMouse(out);
    return DI_OK;
}

Result BasicDevice::GetJoystickState(JoystickState& out) {
    if (m_kind != Kind::Joystick) return DIERR_INVALIDPARAM;
    if (const Result check = ReadCheck(); check != DI_OK) return check;
    JoystickState raw;
    ReadJoystick(raw);
    const int axes = ObjectCounts().axes;
    int32_t* const fields[8] = {&raw.lX,  &raw.lY,  &raw.lZ,           &raw.lRx,
                                &raw.lRy, &raw.lRz, &raw.rglSlider[0], &raw.rglSlider[1]};
    for (int i = 0; i < 8; ++i) {
        *fields[i] = i < axes ? ScaleAxis(*fields[i], m_rangeMin[i], m_rangeMax[i]) : 0;
    }
    out = raw;
    return DI_OK;
}

std::vector<DeviceObject> BasicDevice::EnumObjects(const uint32_t typeFilter) {
    std::vector<DeviceObject> objects;
    if (m_kind != Kind::Joystick) return objects;
    const Counts counts = ObjectCounts();
    const auto wanted = [typeFilter](const uint32_t type) {
        return typeFilter == DIDFT_ALL || (typeFilter & type) != 0;
    };
    if (wanted(DIDFT_ABSAXIS)) {
        for (int i = 0; i < counts.axes && i < 8; ++i)
            objects.push_back({DIDFT_ABSAXIS, static_cast<uint32_t>(i), kAxisNames[i]});
    }
    if (wanted(DIDFT_PSHBUTTON)) {
        for (int i = 0; i < counts.buttons && i < 128; ++i) {
            objects.push_back({DIDFT_PSHBUTTON, static_cast<uint32_t>(i), "Button " + std::to_string(i)});
        }
    }
    if (wanted(DIDFT_POV)) {
        for (int i = 0; i < counts.hats && i < 4; ++i)
            objects.push_back({DIDFT_POV, static_cast<uint32_t>(i), "Hat Switch"});
    }
    return objects;
}

Result BasicDevice::SetAxisRange(const uint32_t instance, const int32_t minimum, const int32_t maximum) {
    if (m_kind != Kind::Joystick || instance >= 8 || static_cast<int>(instance) >= ObjectCounts().axes ||
        minimum >= maximum) {
        return DIERR_INVALIDPARAM;
    }
    if (RangeRefused(instance)) return DIERR_INVALIDPARAM;
    m_rangeMin[instance] = minimum;
    m_rangeMax[instance] = maximum;
    return DI_OK;
}

}  // namespace platform::input
