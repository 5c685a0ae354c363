#include <gtest/gtest.h>

#include "HeadsetFixture.h"
#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/LatencyTestDevice.h"

namespace {

using hmdtest::HeadsetTest;
using hmdtest::kTesterPath;

class LatencyTestDeviceTest : public HeadsetTest {
protected:
    void SetUp() override {
        HeadsetTest::SetUp();
        hid->AddDevice(hmdtest::TesterInfo());
        manager = HSK::DeviceManager::Create();
        ASSERT_NE(manager, nullptr);
        HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_LatencyTester, true);
        ASSERT_FALSE(e.IsEmpty());
        HSK::LatencyTestInfo info;
        info.infoClassType = HSK::Device_LatencyTester;
        ASSERT_TRUE(e.GetHandle().GetDeviceInfo(&info));
        EXPECT_EQ(info.type, HSK::Device_LatencyTester);
        EXPECT_STREQ(info.serialNumber, "LT0042");
        EXPECT_EQ(info.productId, 0x0101);
        tester = static_cast<HSK::LatencyTestDevice*>(e.CreateDevice());
        ASSERT_NE(tester, nullptr);
    }
    void TearDown() override {
        if (tester != nullptr) {
            tester->SetMessageHandler(nullptr);
            tester->Release();
        }
        if (manager != nullptr) manager->Release();
        HeadsetTest::TearDown();
    }

    HSK::DeviceManager* manager = nullptr;
    HSK::LatencyTestDevice* tester = nullptr;
};

TEST_F(LatencyTestDeviceTest, AMeasurementCycle) {
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::LatencyTestDevice - Opened '/dev/hidraw5'"));
    // Nothing is written at open.
    EXPECT_TRUE(hid->SentFeatureReports(kTesterPath).empty());

    HSK::LatencyTestConfiguration configuration;
    configuration.sendSamples = true;
    configuration.threshold = {128, 128, 128, 255};
    ASSERT_TRUE(tester->SetConfiguration(configuration, true));
    ASSERT_TRUE(tester->SetCalibrate({0, 0, 0, 255}, true));
    ASSERT_TRUE(tester->SetStartTest({255, 0, 0, 255}, true));
    ASSERT_TRUE(tester->SetDisplay(2, 0x01020304, true));
    const std::vector<std::vector<uint8_t>> expected = {
        {5, 1, 128, 128, 128}, {7, 0, 0, 0}, {8, 1, 0, 255, 0, 0}, {9, 2, 4, 3, 2, 1}};
    EXPECT_EQ(hid->SentFeatureReports(kTesterPath), expected);

    hmdtest::RecordingHandler handler;
    struct Seen {
        HSK::MessageType type;
        size_t samples = 0;
        uint16_t elapsed = 0;
        HSK::Color colour;
    };
    std::vector<Seen> seen;  // written on the device thread, read after a round trip
    handler.onMessage = [&seen](const HSK::Message& m) {
        Seen s;
        s.type = m.type;
        if (m.type == HSK::Message_LatencyTestSamples) {
            s.samples = static_cast<const HSK::MessageLatencyTestSamples&>(m).samples.size();
        } else if (m.type == HSK::Message_LatencyTestColorDetected) {
            const auto& d = static_cast<const HSK::MessageLatencyTestColorDetected&>(m);
            s.elapsed = d.elapsed;
            s.colour = d.detectedValue;
        } else if (m.type == HSK::Message_LatencyTestStarted) {
            s.colour = static_cast<const HSK::MessageLatencyTestStarted&>(m).targetValue;
        }
        seen.push_back(s);
    };
    tester->SetMessageHandler(&handler);
    std::vector<uint8_t> samples(64, 0);
    samples[0] = 1;
    samples[1] = 200;  // more than the report holds: cut to 20
    hid->QueueInputReport(kTesterPath, {3, 1, 0, 10, 0, 255, 0, 0});
    hid->QueueInputReport(kTesterPath, samples);
    hid->QueueInputReport(kTesterPath, std::vector<uint8_t>(samples.begin(), samples.begin() + 63));  // dropped
    hid->QueueInputReport(kTesterPath, {2, 1, 0, 48, 0, 37, 0, 250, 10, 10, 255, 0, 0});
    hid->QueueInputReport(kTesterPath, {4, 0, 0, 60, 0});
    ASSERT_TRUE(hmdtest::WaitFor([&] { return handler.Count() == 4; }));
    manager->PushCallAndWait([] {});
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].type, HSK::Message_LatencyTestStarted);
    EXPECT_EQ(seen[0].colour, (HSK::Color{255, 0, 0, 255}));
    EXPECT_EQ(seen[1].type, HSK::Message_LatencyTestSamples);
    EXPECT_EQ(seen[1].samples, 20u);
    EXPECT_EQ(seen[2].type, HSK::Message_LatencyTestColorDetected);
    EXPECT_EQ(seen[2].elapsed, 37);
    EXPECT_EQ(seen[2].colour, (HSK::Color{250, 10, 10, 255}));
    EXPECT_EQ(seen[3].type, HSK::Message_LatencyTestButton);
}

TEST_F(LatencyTestDeviceTest, SettersWriteNothingWhileTheDeviceIsGone) {
    hid->FailNextRead(kTesterPath);
    ASSERT_TRUE(hmdtest::WaitFor(
        [] { return hmdtest::LogCapture::Contains("HSK::LatencyTesterDevice - Lost connection to '/dev/hidraw5'\n"); }));
    EXPECT_FALSE(tester->SetStartTest({255, 0, 0, 255}, true));
    EXPECT_TRUE(tester->SetCalibrate({1, 2, 3, 255}));  // not waited: answers at once
    manager->PushCallAndWait([] {});
    EXPECT_TRUE(hid->SentFeatureReports(kTesterPath).empty());
}

}  // namespace
