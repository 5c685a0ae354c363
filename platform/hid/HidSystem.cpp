#include <mutex>

#include "platform/hid/fake/FakeHidSystem.h"
#include "platform/hid/hid.h"
#include "platform/hid/sdl/SdlHidSystem.h"

namespace platform::hid {

namespace {

std::mutex gSystemMutex;
std::unique_ptr<HidSystem> gSystem;

}  // namespace

Device::~Device() = default;
HidSystem::~HidSystem() = default;

uint16_t DefaultInputReportLength(const uint16_t vendorId, const uint16_t productId) {
    if ((vendorId == 0xF055 && productId == 0x0001) || (vendorId == 0x0483 && productId == 0x5750)) {
        return 62;
    }
    return 64;
}

std::string MonitorIdFromEdid(const uint8_t* edid, const size_t size) {
    static const uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (edid == nullptr || size < 128) {
        return {};
    }
    for (size_t i = 0; i < 8; ++i) {
        if (edid[i] != kHeader[i]) return {};
    }
    const unsigned maker = (static_cast<unsigned>(edid[8]) << 8) | edid[9];
    std::string id;
    for (int shift = 10; shift >= 0; shift -= 5) {
        const unsigned letter = (maker >> shift) & 0x1F;
        if (letter < 1 || letter > 26) return {};
        id.push_back(static_cast<char>('A' + letter - 1));
    }
    const unsigned product = edid[10] | (static_cast<unsigned>(edid[11]) << 8);
    static const char kHex[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) {
        id.push_back(kHex[(product >> shift) & 0xF]);
    }
    return id;
}

std::unique_ptr<HidSystem> CreateHidSystem(const Backend backend) {
    switch (backend) {
        case Backend::Sdl:
            return CreateSdlHidSystem();
        case Backend::Fake:
            return std::make_unique<FakeHidSystem>();
    }
    return nullptr;
}

HidSystem* GetHidSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    return gSystem.get();
}

void SetHidSystem(std::unique_ptr<HidSystem> system) {
    std::unique_ptr<HidSystem> old;
    {
        const std::lock_guard<std::mutex> lock(gSystemMutex);
        old = std::move(gSystem);
        gSystem = std::move(system);
    }
}

HidSystem* GetOrCreateHidSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    if (gSystem == nullptr) {
        gSystem = CreateSdlHidSystem();
    }
    return gSystem.get();
}

}  // namespace platform::hid
