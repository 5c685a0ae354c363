#include <mutex>

#include "platform/input/fake/FakeInputSystem.h"
#include "platform/input/input.h"
#include "platform/input/sdl/SdlInputSystem.h"

namespace platform::input {

namespace {

std::mutex gSystemMutex;
std::unique_ptr<InputSystem> gSystem;

}  // namespace

const Guid GUID_SysKeyboard = {0x4B4F5256, 0x0001, 0x0000, {'K', 'E', 'Y', 'B', 'O', 'A', 'R', 'D'}};
const Guid GUID_SysMouse = {0x4B4F5256, 0x0002, 0x0000, {'M', 'O', 'U', 'S', 'E', 0, 0, 0}};

Guid MakeProductGuid(const uint16_t vendorId, const uint16_t productId) {
    Guid guid;
    guid.data1 = (static_cast<uint32_t>(productId) << 16) | vendorId;
    return guid;
}

int32_t ScaleAxis(const int32_t raw, const int32_t minimum, const int32_t maximum) {
    const int64_t offset = static_cast<int64_t>(raw) + 32768;
    const int64_t span = static_cast<int64_t>(maximum) - minimum;
    return static_cast<int32_t>(minimum + offset * span / 65535);
}

Device::~Device() = default;

Result Device::GetKeyboardState(KeyboardState&) {
    return DIERR_INVALIDPARAM;
}

Result Device::GetMouseState(MouseState&) {
    return DIERR_INVALIDPARAM;
}

Result Device::GetJoystickState(JoystickState&) {
    return DIERR_INVALIDPARAM;
}

std::vector<DeviceObject> Device::EnumObjects(uint32_t) {
    return {};
}

Result Device::SetAxisRange(uint32_t, int32_t, int32_t) {
    return DIERR_INVALIDPARAM;
}

InputSystem::~InputSystem() = default;

std::unique_ptr<InputSystem> CreateInputSystem(const Backend backend) {
    switch (backend) {
        case Backend::Sdl:
            return CreateSdlInputSystem();
        case Backend::Fake:
            return std::make_unique<FakeInputSystem>();
    }
    return nullptr;
}

InputSystem* GetInputSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    return gSystem.get();
}

void SetInputSystem(std::unique_ptr<InputSystem> system) {
    std::unique_ptr<InputSystem> old;
    {
        const std::lock_guard<std::mutex> lock(gSystemMutex);
        old = std::move(gSystem);
        gSystem = std::move(system);
    }
}

}  // namespace platform::input
