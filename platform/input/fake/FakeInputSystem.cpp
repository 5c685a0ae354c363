#include "platform/input/fake/FakeInputSystem.h"

#include <algorithm>
#include <cstdio>

#include "platform/input/BasicDevice.h"

namespace platform::input {

class FakeInputSystem::FakeDevice final : public BasicDevice {
public:
    FakeDevice(FakeInputSystem& system, const Kind kind, const Guid& guid)
        : BasicDevice(kind), m_system(system), m_guid(guid) {
        ++m_system.m_liveDevices;
    }
    ~FakeDevice() override { --m_system.m_liveDevices; }

protected:
    bool Attached() const override {
        return GetKind() != Kind::Joystick || m_system.FindJoystick(m_guid) != nullptr;
    }
    bool Foreground() const override { return m_system.m_foreground; }

    Result AcquireFault() override {
        for (auto& [guid, times] : m_system.m_acquireFailures) {
            if (guid == m_guid && times > 0) {
                --times;
                return DIERR_OTHERAPPHASPRIO;
            }
        }
        return DI_OK;
    }

    bool TakeLoss() override {
        const auto it = std::find(m_system.m_lost.begin(), m_system.m_lost.end(), m_guid);
        if (it == m_system.m_lost.end()) return false;
        m_system.m_lost.erase(it);
        return true;
    }

    bool RangeRefused(const uint32_t instance) override {
        return std::find(m_system.m_refusedRanges.begin(), m_system.m_refusedRanges.end(),
                         std::pair{m_guid, instance}) != m_system.m_refusedRanges.end();
    }

    void ReadKeys(KeyboardState& out) override { out = m_system.m_keys; }

    void ReadMouse(MouseState& out) override {
        out.lX = m_system.m_mouseX;
        out.lY = m_system.m_mouseY;
        out.lZ = m_system.m_mouseZ;
        m_system.m_mouseX = m_system.m_mouseY = m_system.m_mouseZ = 0;
        std::copy(std::begin(m_system.m_mouseButtons), std::end(m_system.m_mouseButtons), out.rgbButtons);
    }

    void ReadJoystick(JoystickState& out) override {
        if (const Joystick* joystick = m_system.FindJoystick(m_guid)) out = joystick->raw;
    }

    Counts ObjectCounts() const override {
        const Joystick* joystick = m_system.FindJoystick(m_guid);
        if (joystick == nullptr) return {};
        return {std::min(joystick->desc.axes, 8), std::min(joystick->desc.buttons, 128),
                std::min(joystick->desc.hats, 4)};
    }

private:
    FakeInputSystem& m_system;
    Guid m_guid;
};

FakeInputSystem::FakeInputSystem() = default;

FakeInputSystem::~FakeInputSystem() {
    if (m_liveDevices != 0)
        std::fprintf(stderr, "FakeInputSystem destroyed with %d devices alive\n", m_liveDevices);
}

FakeInputSystem::Joystick* FakeInputSystem::FindJoystick(const Guid& instance) {
    for (Joystick& joystick : m_joysticks) {
        if (joystick.instance == instance) return &joystick;
    }
    return nullptr;
}

std::unique_ptr<Device> FakeInputSystem::CreateDevice(const Guid& guid) {
    if (guid == GUID_SysKeyboard)
        return std::make_unique<FakeDevice>(*this, BasicDevice::Kind::Keyboard, guid);
    if (guid == GUID_SysMouse) return std::make_unique<FakeDevice>(*this, BasicDevice::Kind::Mouse, guid);
    if (FindJoystick(guid) != nullptr)
        return std::make_unique<FakeDevice>(*this, BasicDevice::Kind::Joystick, guid);
    return nullptr;
}

std::vector<DeviceInstance> FakeInputSystem::EnumDevices(const uint32_t deviceClass, uint32_t) {
    std::vector<DeviceInstance> devices;
    if (deviceClass == DI8DEVCLASS_ALL) {
        devices.push_back({GUID_SysMouse, GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse", "Mouse"});
        devices.push_back({GUID_SysKeyboard, GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard", "Keyboard"});
    } else if (deviceClass != DI8DEVCLASS_GAMECTRL) {
        return devices;
    }
    for (const Joystick& joystick : m_joysticks) {
        devices.push_back({joystick.instance,
                           MakeProductGuid(joystick.desc.vendorId, joystick.desc.productId),
                           joystick.desc.isXInput ? DI8DEVTYPE_GAMEPAD : DI8DEVTYPE_JOYSTICK,
                           joystick.desc.name, joystick.desc.name});
    }
    return devices;
}

bool FakeInputSystem::GetPreferredJoystick(Guid& guidInstance) {
    if (!m_preferred) return false;
    guidInstance = *m_preferred;
    return true;
}

std::vector<RawDevice> FakeInputSystem::GetRawInputDeviceList() {
    if (m_rawOverride) return *m_rawOverride;
    std::vector<RawDevice> devices;
    devices.push_back({RIM_TYPEMOUSE, 0, 0, "fake-mouse"});
    devices.push_back({RIM_TYPEKEYBOARD, 0, 0, "fake-keyboard"});
    for (const Joystick& joystick : m_joysticks) {
        char name[96];
        std::snprintf(name, sizeof(name), "fake#VID_%04X&PID_%04X%s#%u", joystick.desc.vendorId,
                      joystick.desc.productId, joystick.desc.isXInput ? "&IG_00" : "",
                      joystick.instance.data1);
        devices.push_back({RIM_TYPEHID, joystick.desc.vendorId, joystick.desc.productId, name});
    }
    return devices;
}

uint32_t FakeInputSystem::XInputGetState(const uint32_t userIndex, PadState& out) {
    if (userIndex >= XUSER_MAX_COUNT) return ERROR_DEVICE_NOT_CONNECTED;
    const Pad& pad = m_pads[userIndex];
    if (!pad.connected || pad.failing) return ERROR_DEVICE_NOT_CONNECTED;
    out.dwPacketNumber = pad.packet;
    out.gamepad = m_xinputEnabled ? pad.gamepad : Gamepad();
    return ERROR_SUCCESS;
}

uint32_t FakeInputSystem::XInputSetState(const uint32_t userIndex, const Vibration& vibration) {
    if (userIndex >= XUSER_MAX_COUNT || !m_pads[userIndex].connected) return ERROR_DEVICE_NOT_CONNECTED;
    m_pads[userIndex].vibration = vibration;
    ++m_pads[userIndex].sends;
    return ERROR_SUCCESS;
}

void FakeInputSystem::XInputEnable(const bool enable) {
    m_xinputEnabled = enable;
}

Vibration FakeInputSystem::PadVibration(const uint32_t userIndex) const {
    if (userIndex >= XUSER_MAX_COUNT || !m_xinputEnabled) return {};
    return m_pads[userIndex].vibration;
}

int FakeInputSystem::VibrationSends(const uint32_t userIndex) const {
    return userIndex < XUSER_MAX_COUNT ? m_pads[userIndex].sends : 0;
}

std::vector<DeviceChange> FakeInputSystem::TakeDeviceChanges() {
    std::vector<DeviceChange> changes;
    changes.swap(m_changes);
    return changes;
}

void FakeInputSystem::SetKey(const uint8_t scanCode, const bool down) {
    m_keys.keys[scanCode] = down ? 0x80 : 0;
}

void FakeInputSystem::MoveMouse(const int32_t dx, const int32_t dy) {
    m_mouseX += dx;
    m_mouseY += dy;
}

void FakeInputSystem::SetMouseButton(const int button, const bool down) {
    if (button >= 0 && button < 8) m_mouseButtons[button] = down ? 0x80 : 0;
}

Guid FakeInputSystem::AttachJoystick(const JoystickDesc& desc) {
    Joystick joystick;
    joystick.instance.data1 = 0xFA4E0000u + m_nextId++;
    joystick.instance.data4[0] = 'F';
    joystick.instance.data4[1] = 'A';
    joystick.instance.data4[2] = 'K';
    joystick.instance.data4[3] = 'E';
    joystick.desc = desc;
    if (desc.isXInput) {
        for (uint32_t i = 0; i < XUSER_MAX_COUNT; ++i) {
            if (!m_pads[i].connected) {
                m_pads[i] = Pad();
                m_pads[i].connected = true;
                joystick.padIndex = static_cast<int>(i);
                break;
            }
        }
    }
    m_joysticks.push_back(joystick);
    m_changes.push_back({true, joystick.instance, desc.name, desc.isXInput});
    return joystick.instance;
}

void FakeInputSystem::DetachJoystick(const Guid& instance) {
    for (auto it = m_joysticks.begin(); it != m_joysticks.end(); ++it) {
        if (it->instance != instance) continue;
        if (it->padIndex >= 0) m_pads[it->padIndex] = Pad();
        m_changes.push_back({false, it->instance, it->desc.name, it->desc.isXInput});
        m_joysticks.erase(it);
        return;
    }
}

void FakeInputSystem::SetJoystickState(const Guid& instance, const JoystickState& raw) {
    if (Joystick* joystick = FindJoystick(instance)) joystick->raw = raw;
}

void FakeInputSystem::SetPad(const uint32_t userIndex, const Gamepad& pad) {
    if (userIndex >= XUSER_MAX_COUNT) return;
    Pad& slot = m_pads[userIndex];
    if (slot.gamepad != pad) ++slot.packet;
    slot.gamepad = pad;
}

void FakeInputSystem::FailPad(const uint32_t userIndex, const bool fail) {
    if (userIndex < XUSER_MAX_COUNT) m_pads[userIndex].failing = fail;
}

void FakeInputSystem::LoseDevice(const Guid& device) {
    m_lost.push_back(device);
}

void FakeInputSystem::FailAcquire(const Guid& device, const int times) {
    m_acquireFailures.push_back({device, times});
}

void FakeInputSystem::RefuseAxisRange(const Guid& device, const uint32_t instance) {
    m_refusedRanges.push_back({device, instance});
}

bool FakeInputSystem::StepFrame() {
    if (m_frames.empty()) return false;
    const Frame frame = std::move(m_frames.front());
    m_frames.pop_front();
    if (frame.keys) m_keys = *frame.keys;
    MoveMouse(frame.mouseX, frame.mouseY);
    TurnWheel(frame.wheelNotches);
    if (frame.mouseButtons) {
        for (int i = 0; i < 8; ++i) SetMouseButton(i, (*frame.mouseButtons)[i]);
    }
    for (const auto& [guid, state] : frame.joysticks) SetJoystickState(guid, state);
    for (const auto& [index, pad] : frame.pads) SetPad(index, pad);
    return true;
}

}  // namespace platform::input
