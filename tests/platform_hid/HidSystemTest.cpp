#include <gtest/gtest.h>

#include <vector>

#include "platform/hid/fake/FakeHidSystem.h"
#include "platform/hid/hid.h"

namespace {

using platform::hid::DeviceInfo;
using platform::hid::FakeHidSystem;

std::vector<uint8_t> Edid(const char letters[3], uint16_t product) {
    std::vector<uint8_t> edid(128, 0);
    const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, edid.begin());
    const unsigned maker = ((letters[0] - 'A' + 1) << 10) | ((letters[1] - 'A' + 1) << 5) | (letters[2] - 'A' + 1);
    edid[8] = static_cast<uint8_t>(maker >> 8);
    edid[9] = static_cast<uint8_t>(maker & 0xFF);
    edid[10] = static_cast<uint8_t>(product & 0xFF);
    edid[11] = static_cast<uint8_t>(product >> 8);
    return edid;
}

TEST(MonitorIdFromEdid, MakerLettersAndProductCode) {
    struct Case {
        std::vector<uint8_t> edid;
        size_t size;
        const char* expected;
    };
    std::vector<uint8_t> badHeader = Edid("HSK", 1);
    badHeader[0] = 1;
    std::vector<uint8_t> noLetters = Edid("HSK", 1);
    noLetters[8] = noLetters[9] = 0;
    const Case cases[] = {
        {Edid("HSK", 0x0001), 128, "HSK0001"},
        {Edid("RTD", 0x2205), 256, "RTD2205"},
        {Edid("ABC", 0xBEEF), 128, "ABCBEEF"},
        {Edid("HSK", 1), 127, ""},  // truncated block
        {badHeader, 128, ""},
        {noLetters, 128, ""},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.edid;
        bytes.resize(c.size);
        EXPECT_EQ(platform::hid::MonitorIdFromEdid(bytes.data(), bytes.size()), c.expected);
    }
    EXPECT_EQ(platform::hid::MonitorIdFromEdid(nullptr, 128), "");
}

TEST(DefaultInputReportLength, HeadsetDevicesAndTheRest) {
    EXPECT_EQ(platform::hid::DefaultInputReportLength(0xF055, 0x0001), 62);
    EXPECT_EQ(platform::hid::DefaultInputReportLength(0x0483, 0x5750), 62);
    EXPECT_EQ(platform::hid::DefaultInputReportLength(0xF055, 0x0101), 64);
    EXPECT_EQ(platform::hid::DefaultInputReportLength(0x046D, 0xC077), 64);
}

DeviceInfo Info(const char* path) {
    DeviceInfo info;
    info.path = path;
    info.vendorId = 0xF055;
    info.productId = 0x0001;
    return info;
}

TEST(FakeHidSystem, ScriptsPlugsReportsAndFailures) {
    FakeHidSystem hid;
    EXPECT_FALSE(hid.DevicesMayHaveChanged());
    hid.AddDevice(Info("/dev/hidraw1"));
    hid.AddDevice(Info("/dev/hidraw2"));
    EXPECT_TRUE(hid.DevicesMayHaveChanged());
    EXPECT_FALSE(hid.DevicesMayHaveChanged());
    ASSERT_EQ(hid.Enumerate().size(), 2u);
    EXPECT_EQ(hid.Enumerate()[0].path, "/dev/hidraw1");

    std::string error;
    auto device = hid.Open("/dev/hidraw1", &error);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(hid.OpenHandles("/dev/hidraw1"), 1);

    // Feature reports: scripted answers, and writes echoed back.
    uint8_t feature[4] = {4, 0, 0, 0};
    EXPECT_FALSE(device->GetFeatureReport(feature, sizeof feature));
    hid.SetFeatureReport("/dev/hidraw1", {4, 9, 8, 7});
    ASSERT_TRUE(device->GetFeatureReport(feature, sizeof feature));
    EXPECT_EQ(feature[3], 7);
    const uint8_t written[3] = {2, 5, 5};
    ASSERT_TRUE(device->SetFeatureReport(written, sizeof written));
    uint8_t back[3] = {2};
    ASSERT_TRUE(device->GetFeatureReport(back, sizeof back));
    EXPECT_EQ(back[2], 5);
    hid.FailFeatureReport("/dev/hidraw1", 4);
    EXPECT_FALSE(device->GetFeatureReport(feature, sizeof feature));

    // Input reports in order, then nothing waiting, then a failed read.
    uint8_t buffer[8];
    hid.QueueInputReport("/dev/hidraw1", {1, 2, 3});
    hid.QueueInputReport("/dev/hidraw1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 3);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 8);  // cut to the buffer
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
    hid.FailNextRead("/dev/hidraw1");
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);

    // Unplugged: the handle is dead for good, even after the device returns.
    hid.RemoveDevice("/dev/hidraw1");
    EXPECT_TRUE(hid.DevicesMayHaveChanged());
    EXPECT_EQ(hid.Enumerate().size(), 1u);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(hid.Open("/dev/hidraw1", &error), nullptr);
    EXPECT_FALSE(error.empty());
    hid.AddDevice(Info("/dev/hidraw1"));
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_FALSE(device->SetFeatureReport(written, sizeof written));
    device.reset();
    EXPECT_EQ(hid.OpenHandles("/dev/hidraw1"), 0);

    hid.SetOpenError("/dev/hidraw2", "no permission");
    EXPECT_EQ(hid.Open("/dev/hidraw2", &error), nullptr);
    EXPECT_EQ(error, "no permission");
}

}  // namespace

namespace {

// The real backend on a machine without headset devices: nothing to find, and
// a path that is not a device fails with a reason instead of crashing.
TEST(SdlHidSystem, AMissingDeviceFailsWithAReason) {
    auto hid = platform::hid::CreateHidSystem(platform::hid::Backend::Sdl);
    ASSERT_NE(hid, nullptr);
    for (const DeviceInfo& info : hid->Enumerate()) {
        EXPECT_FALSE(info.path.empty());
        EXPECT_GT(info.inputReportLength, 0);
    }
    std::string error;
    EXPECT_EQ(hid->Open("/nonexistent/hidraw99", &error), nullptr);
    EXPECT_FALSE(error.empty());
    for (const auto& monitor : hid->EnumerateMonitors()) EXPECT_EQ(monitor.hardwareId.size(), 7u);
}

}  // namespace
