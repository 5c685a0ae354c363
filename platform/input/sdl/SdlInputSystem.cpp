#include "platform/input/sdl/SdlInputSystem.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/input/BasicDevice.h"
#include "platform/window/sdl/SdlShared.h"
#include "platform/window/window.h"

namespace platform::input {

namespace {

// SDL's longest rumble; the vibration is sent again before it runs out, because an XInput
// pad keeps vibrating until told otherwise.
constexpr Uint32 kRumbleMs = 0xFFFF;
constexpr Uint64 kRumbleRefreshMs = 30000;

uint64_t Fnv1a(const void* data, const size_t size, uint64_t hash) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001B3ull;
    }
    return hash;
}

// DirectInput numbers the mouse buttons left, right, middle, then the side buttons.
int MouseButtonIndex(const Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        default:
            return sdlButton >= 4 && sdlButton <= 8 ? sdlButton - 1 : -1;
    }
}

uint32_t PovFromHat(const Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return kPovCentered;
    }
}

struct ButtonBit {
    SDL_GameControllerButton button;
    uint16_t bit;
};

constexpr ButtonBit kPadButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
    {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
    {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
    {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
    {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
    {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
};

// SDL's triggers run 0..32767, XInput's 0..255.
uint8_t TriggerByte(const Sint16 value) {
    const int clamped = std::clamp<int>(value, 0, 32767);
    return static_cast<uint8_t>((clamped * 255 + 16383) / 32767);
}

// SDL's stick Y grows downwards, XInput's upwards.
int16_t FlipY(const Sint16 value) {
    return static_cast<int16_t>(std::min(32767, -static_cast<int>(value)));
}

class SdlInputSystem final : public InputSystem {
public:
    SdlInputSystem();
    ~SdlInputSystem() override;

    std::unique_ptr<Device> CreateDevice(const Guid& guid) override;
    std::vector<DeviceInstance> EnumDevices(uint32_t deviceClass, uint32_t flags) override;
    bool GetPreferredJoystick(Guid& guidInstance) override;
    std::vector<RawDevice> GetRawInputDeviceList() override;
    uint32_t XInputGetState(uint32_t userIndex, PadState& out) override;
    uint32_t XInputSetState(uint32_t userIndex, const Vibration& vibration) override;
    void XInputEnable(bool enable) override;
    std::vector<DeviceChange> TakeDeviceChanges() override;

    // Reads the joysticks and takes in devices that came or went.
    void Refresh();
    bool Foreground() const;
    void ReadKeys(KeyboardState& out);
    void TakeMouse(MouseState& out);

private:
    class SdlDevice;
    struct Controller {
        SDL_JoystickID id = -1;
        Guid instance;
        std::string name;
        std::string path;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        bool isXInput = false;
        SDL_GameController* pad = nullptr;  // open while the device is an XInput pad
        int padIndex = -1;
        uint32_t packet = 0;
        Gamepad last;
        Uint64 rumbleSentAt = 0;
    };

    static int Watch(void* self, SDL_Event* event);
    void OnEvent(const SDL_Event& event);
    void SyncDevices();
    void AddController(int deviceIndex);
    void RemoveController(size_t index);
    Controller* FindPad(uint32_t userIndex);
    void SendRumble(Controller& controller, const Vibration& vibration);

    bool m_ready = false;
    std::vector<Controller> m_controllers;
    std::vector<DeviceChange> m_changes;
    Vibration m_wanted[XUSER_MAX_COUNT];
    bool m_xinputEnabled = true;

    // Keyboard and mouse, gathered by the event watch (which may run on another thread).
    std::mutex m_mutex;
    uint8_t m_keys[256] = {};
    int32_t m_mouseX = 0;
    int32_t m_mouseY = 0;
    float m_wheel = 0.0f;
    uint8_t m_mouseButtons[8] = {};
};

class SdlInputSystem::SdlDevice final : public BasicDevice {
public:
    SdlDevice(SdlInputSystem& system, const Kind kind, SDL_Joystick* joystick)
        : BasicDevice(kind), m_system(system), m_joystick(joystick) {}
    ~SdlDevice() override {
        if (IsAcquired()) Unacquire();
        if (m_joystick != nullptr) SDL_JoystickClose(m_joystick);
    }

protected:
    bool Attached() const override { return m_joystick == nullptr || SDL_JoystickGetAttached(m_joystick); }
    bool Foreground() const override { return m_system.Foreground(); }

    void OnAcquireChanged(const bool acquired) override {
        // An exclusive mouse owns the pointer: hidden, and reporting movement without limit.
        if (GetKind() == Kind::Mouse && IsExclusive() && SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_SetRelativeMouseMode(acquired ? SDL_TRUE : SDL_FALSE);
        }
    }

    void Update() override { m_system.Refresh(); }
    void ReadKeys(KeyboardState& out) override { m_system.ReadKeys(out); }
    void ReadMouse(MouseState& out) override { m_system.TakeMouse(out); }

    void ReadJoystick(JoystickState& out) override {
        if (m_joystick == nullptr) return;
        const Counts counts = ObjectCounts();
        int32_t* const axes[8] = {&out.lX,  &out.lY,  &out.lZ,           &out.lRx,
                                  &out.lRy, &out.lRz, &out.rglSlider[0], &out.rglSlider[1]};
        for (int i = 0; i < counts.axes; ++i) *axes[i] = SDL_JoystickGetAxis(m_joystick, i);
        for (int i = 0; i < counts.hats; ++i) out.rgdwPOV[i] = PovFromHat(SDL_JoystickGetHat(m_joystick, i));
        for (int i = 0; i < counts.buttons; ++i)
            out.rgbButtons[i] = SDL_JoystickGetButton(m_joystick, i) ? 0x80 : 0;
    }

    Counts ObjectCounts() const override {
        if (m_joystick == nullptr) return {};
        return {std::clamp(SDL_JoystickNumAxes(m_joystick), 0, 8),
                std::clamp(SDL_JoystickNumButtons(m_joystick), 0, 128),
                std::clamp(SDL_JoystickNumHats(m_joystick), 0, 4)};
    }

private:
    SdlInputSystem& m_system;
    SDL_Joystick* m_joystick;
};

SdlInputSystem::SdlInputSystem() {
    // DirectInput's foreground rule is applied here, per device; SDL must not drop
    // controller input on its own while the window is in the background.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS) != 0) {
        window::WriteLog(std::string("SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) failed: ") + SDL_GetError());
        return;
    }
    m_ready = true;
    SDL_AddEventWatch(&SdlInputSystem::Watch, this);
    Refresh();
    m_changes.clear();  // what is plugged in at start is not news
}

SdlInputSystem::~SdlInputSystem() {
    if (!m_ready) return;
    SDL_DelEventWatch(&SdlInputSystem::Watch, this);
    while (!m_controllers.empty()) RemoveController(m_controllers.size() - 1);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

int SdlInputSystem::Watch(void* self, SDL_Event* event) {
    static_cast<SdlInputSystem*>(self)->OnEvent(*event);
    return 0;
}

void SdlInputSystem::OnEvent(const SDL_Event& event) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (const uint8_t dik = sdl::DikFromScancode(event.key.keysym.scancode)) {
                m_keys[dik] = event.type == SDL_KEYDOWN ? 0x80 : 0;
            }
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.which != SDL_TOUCH_MOUSEID) {
                m_mouseX += event.motion.xrel;
                m_mouseY += event.motion.yrel;
            }
            break;
        case SDL_MOUSEWHEEL:
            if (event.wheel.which != SDL_TOUCH_MOUSEID) {
                const float sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
                m_wheel += event.wheel.preciseY * sign * 120.0f;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (const int index = MouseButtonIndex(event.button.button); index >= 0) {
                m_mouseButtons[index] = event.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                // Keys released elsewhere would stay down.
                std::fill(std::begin(m_keys), std::end(m_keys), 0);
                std::fill(std::begin(m_mouseButtons), std::end(m_mouseButtons), 0);
            }
            break;
        default:
            break;
    }
}

bool SdlInputSystem::Foreground() const {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || sdl::HeadlessVideo()) return true;
    return SDL_GetKeyboardFocus() != nullptr;
}

void SdlInputSystem::ReadKeys(KeyboardState& out) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::copy(std::begin(m_keys), std::end(m_keys), out.keys);
}

void SdlInputSystem::TakeMouse(MouseState& out) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    out.lX = m_mouseX;
    out.lY = m_mouseY;
    out.lZ = static_cast<int32_t>(m_wheel);  // the fraction of a step waits for the next read
    m_wheel -= static_cast<float>(out.lZ);
    m_mouseX = m_mouseY = 0;
    std::copy(std::begin(m_mouseButtons), std::end(m_mouseButtons), out.rgbButtons);
}

// ---------------------------------------------------------------------------------
// Controllers

void SdlInputSystem::Refresh() {
    if (!m_ready) return;
    SDL_JoystickUpdate();
    SyncDevices();
}

void SdlInputSystem::SyncDevices() {
    const int count = SDL_NumJoysticks();
    std::vector<SDL_JoystickID> present;
    for (int i = 0; i < count; ++i) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        present.push_back(id);
        const bool known = std::any_of(m_controllers.begin(), m_controllers.end(),
                                       [id](const Controller& c) { return c.id == id; });
        if (!known) AddController(i);
    }
    for (size_t i = m_controllers.size(); i-- > 0;) {
        if (std::find(present.begin(), present.end(), m_controllers[i].id) == present.end())
            RemoveController(i);
    }
}

void SdlInputSystem::AddController(const int deviceIndex) {
    Controller controller;
    controller.id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    controller.name = name != nullptr ? name : "Joystick";
    const char* path = SDL_JoystickPathForIndex(deviceIndex);
    controller.path = path != nullptr ? path : "";
    controller.vendorId = SDL_JoystickGetDeviceVendor(deviceIndex);
    controller.productId = SDL_JoystickGetDeviceProduct(deviceIndex);

    // The instance GUID comes from the model, the port and, for identical devices without
    // a path, their order, so that it stays the same while the device stays plugged in.
    const SDL_JoystickGUID model = SDL_JoystickGetDeviceGUID(deviceIndex);
    uint32_t twins = 0;
    for (const Controller& other : m_controllers) {
        if (other.path == controller.path && other.vendorId == controller.vendorId &&
            other.productId == controller.productId && other.name == controller.name) {
            ++twins;
        }
    }
    uint64_t high = Fnv1a(model.data, sizeof(model.data), 0xCBF29CE484222325ull);
    high = Fnv1a(controller.path.data(), controller.path.size(), high);
    high = Fnv1a(&twins, sizeof(twins), high);
    const uint64_t low = Fnv1a(&high, sizeof(high), 0x84222325CBF29CE4ull);
    controller.instance.data1 = static_cast<uint32_t>(high >> 32);
    controller.instance.data2 = static_cast<uint16_t>(high >> 16);
    controller.instance.data3 = static_cast<uint16_t>(high);
    for (int i = 0; i < 8; ++i) controller.instance.data4[i] = static_cast<uint8_t>(low >> (8 * i));

    if (SDL_IsGameController(deviceIndex)) {
        controller.pad = SDL_GameControllerOpen(deviceIndex);
        controller.isXInput = controller.pad != nullptr;
    }
    if (controller.isXInput) {
        for (uint32_t slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
            const bool taken =
                std::any_of(m_controllers.begin(), m_controllers.end(),
                            [slot](const Controller& c) { return c.padIndex == static_cast<int>(slot); });
            if (!taken) {
                controller.padIndex = static_cast<int>(slot);
                m_wanted[slot] = Vibration();
                break;
            }
        }
    }
    m_changes.push_back({true, controller.instance, controller.name, controller.isXInput});
    m_controllers.push_back(controller);
}

void SdlInputSystem::RemoveController(const size_t index) {
    Controller& controller = m_controllers[index];
    if (controller.pad != nullptr) SDL_GameControllerClose(controller.pad);
    if (controller.padIndex >= 0) m_wanted[controller.padIndex] = Vibration();
    m_changes.push_back({false, controller.instance, controller.name, controller.isXInput});
    m_controllers.erase(m_controllers.begin() + static_cast<std::ptrdiff_t>(index));
}

SdlInputSystem::Controller* SdlInputSystem::FindPad(const uint32_t userIndex) {
    for (Controller& controller : m_controllers) {
        if (controller.padIndex == static_cast<int>(userIndex) && controller.pad != nullptr &&
            SDL_GameControllerGetAttached(controller.pad)) {
            return &controller;
        }
    }
    return nullptr;
}

std::unique_ptr<Device> SdlInputSystem::CreateDevice(const Guid& guid) {
    if (!m_ready) return nullptr;
    if (guid == GUID_SysKeyboard)
        return std::make_unique<SdlDevice>(*this, BasicDevice::Kind::Keyboard, nullptr);
    if (guid == GUID_SysMouse) return std::make_unique<SdlDevice>(*this, BasicDevice::Kind::Mouse, nullptr);
    Refresh();
    for (const Controller& controller : m_controllers) {
        if (controller.instance != guid) continue;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) != controller.id) continue;
            SDL_Joystick* joystick = SDL_JoystickOpen(i);
            if (joystick == nullptr) {
                window::WriteLog(std::string("SDL_JoystickOpen failed: ") + SDL_GetError());
                return nullptr;
            }
            return std::make_unique<SdlDevice>(*this, BasicDevice::Kind::Joystick, joystick);
        }
    }
    return nullptr;
}

std::vector<DeviceInstance> SdlInputSystem::EnumDevices(const uint32_t deviceClass, uint32_t) {
    std::vector<DeviceInstance> devices;
    if (deviceClass == DI8DEVCLASS_ALL) {
        devices.push_back({GUID_SysMouse, GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse", "Mouse"});
        devices.push_back({GUID_SysKeyboard, GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard", "Keyboard"});
    } else if (deviceClass != DI8DEVCLASS_GAMECTRL) {
        return devices;
    }
    Refresh();
    for (const Controller& controller : m_controllers) {
        devices.push_back({controller.instance, MakeProductGuid(controller.vendorId, controller.productId),
                           controller.isXInput ? DI8DEVTYPE_GAMEPAD : DI8DEVTYPE_JOYSTICK, controller.name,
                           controller.name});
    }
    return devices;
}

bool SdlInputSystem::GetPreferredJoystick(Guid& guidInstance) {
    // Linux names no preferred controller: the first one plugged in stands for it.
    Refresh();
    if (m_controllers.empty()) return false;
    guidInstance = m_controllers.front().instance;
    return true;
}

std::vector<RawDevice> SdlInputSystem::GetRawInputDeviceList() {
    Refresh();
    std::vector<RawDevice> devices;
    devices.push_back({RIM_TYPEMOUSE, 0, 0, "mouse"});
    devices.push_back({RIM_TYPEKEYBOARD, 0, 0, "keyboard"});
    for (const Controller& controller : m_controllers) {
        std::string name =
            controller.path.empty() ? "sdl-joystick-" + std::to_string(controller.id) : controller.path;
        if (controller.isXInput) name += "#IG_00";
        devices.push_back({RIM_TYPEHID, controller.vendorId, controller.productId, name});
    }
    return devices;
}

uint32_t SdlInputSystem::XInputGetState(const uint32_t userIndex, PadState& out) {
    if (!m_ready || userIndex >= XUSER_MAX_COUNT) return ERROR_DEVICE_NOT_CONNECTED;
    Refresh();
    Controller* controller = FindPad(userIndex);
    if (controller == nullptr) return ERROR_DEVICE_NOT_CONNECTED;

    Gamepad pad;
    if (m_xinputEnabled) {
        SDL_GameController* const c = controller->pad;
        for (const ButtonBit& button : kPadButtons) {
            if (SDL_GameControllerGetButton(c, button.button)) pad.wButtons |= button.bit;
        }
        pad.bLeftTrigger = TriggerByte(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
        pad.bRightTrigger = TriggerByte(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
        pad.sThumbLX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        pad.sThumbLY = FlipY(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
        pad.sThumbRX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX);
        pad.sThumbRY = FlipY(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY));
    }
    if (pad != controller->last) {
        controller->last = pad;
        ++controller->packet;
    }
    // Keep a vibration going past SDL's longest rumble.
    const Vibration& wanted = m_wanted[userIndex];
    if (m_xinputEnabled && wanted != Vibration() &&
        SDL_GetTicks64() - controller->rumbleSentAt > kRumbleRefreshMs) {
        SendRumble(*controller, wanted);
    }
    out.dwPacketNumber = controller->packet;
    out.gamepad = pad;
    return ERROR_SUCCESS;
}

void SdlInputSystem::SendRumble(Controller& controller, const Vibration& vibration) {
    // Pads without motors refuse; XInput does not report that either.
    SDL_GameControllerRumble(controller.pad, vibration.wLeftMotorSpeed, vibration.wRightMotorSpeed,
                             kRumbleMs);
    controller.rumbleSentAt = SDL_GetTicks64();
}

uint32_t SdlInputSystem::XInputSetState(const uint32_t userIndex, const Vibration& vibration) {
    if (!m_ready || userIndex >= XUSER_MAX_COUNT) return ERROR_DEVICE_NOT_CONNECTED;
    Controller* controller = FindPad(userIndex);
    if (controller == nullptr) return ERROR_DEVICE_NOT_CONNECTED;
    const bool changed = m_wanted[userIndex] != vibration;
    m_wanted[userIndex] = vibration;
    if (m_xinputEnabled && changed) SendRumble(*controller, vibration);
    return ERROR_SUCCESS;
}

void SdlInputSystem::XInputEnable(const bool enable) {
    if (enable == m_xinputEnabled) return;
    m_xinputEnabled = enable;
    // Disabled pads stop vibrating; enabled again, they take up what they were told last.
    for (Controller& controller : m_controllers) {
        if (controller.padIndex < 0 || controller.pad == nullptr) continue;
        SendRumble(controller, enable ? m_wanted[controller.padIndex] : Vibration());
    }
}

std::vector<DeviceChange> SdlInputSystem::TakeDeviceChanges() {
    Refresh();
    std::vector<DeviceChange> changes;
    changes.swap(m_changes);
    return changes;
}

}  // namespace

std::unique_ptr<InputSystem> CreateSdlInputSystem() {
    return std::make_unique<SdlInputSystem>();
}

}  // namespace platform::input
