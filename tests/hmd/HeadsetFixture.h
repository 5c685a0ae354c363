#pragma once
// A fake headset on the fake HID system: a tracker (with its display-info
// report), a latency tester and the headset's monitor, plus helpers to build
// tracker reports and to wait for the device thread.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hmd/sdk/Log.h"
#include "hmd/sdk/MessageHandler.h"
#include "hmd/sdk/System.h"
#include "platform/hid/fake/FakeHidSystem.h"

namespace hmdtest {

inline const char* const kTrackerPath = "/dev/hidraw3";
inline const char* const kTesterPath = "/dev/hidraw5";

inline platform::hid::DeviceInfo TrackerInfo(const std::string& path = kTrackerPath) {
    platform::hid::DeviceInfo info;
    info.path = path;
    info.vendorId = 0xF055;
    info.productId = 0x0001;
    info.inputReportLength = 62;
    info.manufacturer = "Headset Vendor";
    info.product = "Tracker DK";
    info.serialNumber = "SN0001";
    return info;
}

inline platform::hid::DeviceInfo TesterInfo() {
    platform::hid::DeviceInfo info;
    info.path = kTesterPath;
    info.vendorId = 0xF055;
    info.productId = 0x0101;
    info.inputReportLength = 64;
    info.manufacturer = "Headset Vendor";
    info.product = "Latency Tester";
    info.serialNumber = "LT0042";
    return info;
}

inline void Put16(std::vector<uint8_t>& r, size_t at, uint16_t v) {
    r[at] = static_cast<uint8_t>(v & 0xFF);
    r[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void Put32(std::vector<uint8_t>& r, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Feature report 2, the tracker's configuration: flags (0x40: it reports in its
// own frame), packet interval and keep-alive interval in ms.
inline std::vector<uint8_t> ConfigReport(uint8_t flags = 0, uint8_t interval = 7, uint16_t keepAliveMs = 10000) {
    std::vector<uint8_t> r = {2, 0, 0, flags, interval, 0, 0};
    Put16(r, 5, keepAliveMs);
    return r;
}

// Feature report 9 of a seven-inch headset; distortion type 1 (screen figures only)
// unless told otherwise.
inline std::vector<uint8_t> DisplayInfoReport(uint8_t distortionType = 1, uint32_t widthUm = 149760,
                                              uint32_t heightUm = 93600) {
    std::vector<uint8_t> r(56, 0);
    r[0] = 9;
    r[3] = distortionType;
    Put16(r, 4, 1280);
    Put16(r, 6, 800);
    Put32(r, 8, widthUm);
    Put32(r, 12, heightUm);
    Put32(r, 16, heightUm / 2);
    Put32(r, 20, 64000);
    Put32(r, 24, 41000);
    Put32(r, 28, 41000);
    const float k[6] = {1.0f, 0.25f, 0.5f, 0.125f, 0, 0};
    for (int i = 0; i < 6; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &k[i], 4);
        Put32(r, 32 + 4 * i, bits);
    }
    return r;
}

// Three signed 21-bit values into 8 bytes, high bits first.
inline void PackTriple(uint8_t* b, int32_t x, int32_t y, int32_t z) {
    const uint32_t ux = static_cast<uint32_t>(x) & 0x1FFFFF;
    const uint32_t uy = static_cast<uint32_t>(y) & 0x1FFFFF;
    const uint32_t uz = static_cast<uint32_t>(z) & 0x1FFFFF;
    b[0] = static_cast<uint8_t>(ux >> 13);
    b[1] = static_cast<uint8_t>(ux >> 5);
    b[2] = static_cast<uint8_t>((ux << 3) | (uy >> 18));
    b[3] = static_cast<uint8_t>(uy >> 10);
    b[4] = static_cast<uint8_t>(uy >> 2);
    b[5] = static_cast<uint8_t>((uy << 6) | (uz >> 15));
    b[6] = static_cast<uint8_t>(uz >> 7);
    b[7] = static_cast<uint8_t>(uz << 1);
}

struct RawSample {
    int32_t accel[3];
    int32_t gyro[3];
};

// Input report 1 with up to three samples (the rest zero).
inline std::vector<uint8_t> TrackerReport(uint8_t count, uint16_t timestamp, const std::vector<RawSample>& samples,
                                          int16_t temperature = 2500, int16_t mx = 0, int16_t my = 0,
                                          int16_t mz = 0, size_t size = 62) {
    std::vector<uint8_t> r(size, 0);
    r[0] = 1;
    r[1] = count;
    Put16(r, 2, timestamp);
    Put16(r, 6, static_cast<uint16_t>(temperature));
    for (size_t i = 0; i < samples.size() && i < 3; ++i) {
        PackTriple(&r[8 + 16 * i], samples[i].accel[0], samples[i].accel[1], samples[i].accel[2]);
        PackTriple(&r[16 + 16 * i], samples[i].gyro[0], samples[i].gyro[1], samples[i].gyro[2]);
    }
    if (size >= 62) {
        Put16(r, 56, static_cast<uint16_t>(mx));
        Put16(r, 58, static_cast<uint16_t>(my));
        Put16(r, 60, static_cast<uint16_t>(mz));
    }
    return r;
}

// Polls until the condition holds or five seconds pass.
inline bool WaitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

// The SDK's log lines, collected.
class LogCapture {
public:
    LogCapture() {
        Lines().clear();
        HSK::Log::SetOutputHook(&LogCapture::Hook);
    }
    ~LogCapture() { HSK::Log::SetOutputHook(nullptr); }
    static std::vector<std::string> Snapshot() {
        const std::lock_guard<std::mutex> lock(Mutex());
        return Lines();
    }
    static bool Contains(const std::string& part) {
        for (const std::string& line : Snapshot()) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }

private:
    static void Hook(uint32_t, const char* text) {
        const std::lock_guard<std::mutex> lock(Mutex());
        Lines().push_back(text);
    }
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
};

// Records every message it gets (on the device thread).
class RecordingHandler : public HSK::MessageHandler {
public:
    void OnMessage(const HSK::Message& message) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        types.push_back(message.type);
        if (message.type == HSK::Message_BodyFrame) {
            frames.push_back(static_cast<const HSK::MessageBodyFrame&>(message));
        }
        if (onMessage) onMessage(message);
    }
    size_t Count() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return types.size();
    }
    std::vector<HSK::MessageBodyFrame> Frames() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return frames;
    }
    std::vector<HSK::MessageType> Types() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return types;
    }

    std::function<void(const HSK::Message&)> onMessage;
    std::vector<HSK::MessageType> types;
    std::vector<HSK::MessageBodyFrame> frames;

private:
    mutable std::mutex m_mutex;
};

// Installs a fake HID system and starts the SDK; undoes both.
class HeadsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<platform::hid::FakeHidSystem>();
        hid = system.get();
        platform::hid::SetHidSystem(std::move(system));
        HSK::System::Init();
    }
    void TearDown() override {
        HSK::System::Destroy();
        platform::hid::SetHidSystem(nullptr);
    }

    // The tracker of a seven-inch headset and its monitor.
    void PlugHeadset(bool withMonitor = true) {
        hid->AddDevice(TrackerInfo());
        hid->SetFeatureReport(kTrackerPath, DisplayInfoReport());
        hid->SetFeatureReport(kTrackerPath, ConfigReport());
        // Ranges 2 g, 250 deg/s, 880 mG.
        hid->SetFeatureReport(kTrackerPath, {4, 0, 0, 2, 250, 0, 0x70, 0x03});
        if (withMonitor) hid->AddMonitor({"HSK0001", "card0-HDMI-A-1", 1920, 0});
    }

    LogCapture log;
    platform::hid::FakeHidSystem* hid = nullptr;
};

}  // namespace hmdtest
