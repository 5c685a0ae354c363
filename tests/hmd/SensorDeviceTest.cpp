#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "HeadsetFixture.h"
#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/SensorDevice.h"
#include "hmd/sdk/SensorFusion.h"

namespace {

using hmdtest::HeadsetTest;
using hmdtest::kTrackerPath;
using hmdtest::TrackerReport;

class SensorDeviceTest : public HeadsetTest {
protected:
    // Opens the tracker; by default it is a bare tracker (sensor frame) without a headset.
    HSK::SensorDevice* Open(bool inHeadset = false) {
        hid->AddDevice(hmdtest::TrackerInfo());
        hid->SetFeatureReport(kTrackerPath, hmdtest::DisplayInfoReport(inHeadset ? 1 : 0));
        hid->SetFeatureReport(kTrackerPath, hmdtest::ConfigReport(0, 7, 2500));
        hid->SetFeatureReport(kTrackerPath, {4, 0, 0, 4, 0xE8, 0x03, 0x6C, 0x07});  // 4 g, 1000 deg/s, 1900 mG
        manager = HSK::DeviceManager::Create();
        if (manager == nullptr) return nullptr;
        HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
        sensor = static_cast<HSK::SensorDevice*>(e.CreateDevice());
        return sensor;
    }
    void TearDown() override {
        if (sensor != nullptr) {
            sensor->SetMessageHandler(nullptr);
            sensor->Release();
        }
        if (manager != nullptr) manager->Release();
        HeadsetTest::TearDown();
    }
    // Queues reports and waits until the device thread has taken them all.
    void Feed(const std::vector<std::vector<uint8_t>>& reports) {
        for (const auto& r : reports) hid->QueueInputReport(kTrackerPath, r);
        ASSERT_TRUE(hmdtest::WaitFor([&] { return hid->PendingInputReports(kTrackerPath) == 0; }));
        // One more round trip through the thread: the last report is processed.
        HSK::SensorRange range;
        manager->PushCallAndWait([] {});
        sensor->GetRange(&range);
    }

    // The last feature report of that id the device was sent.
    std::vector<uint8_t> LastSent(uint8_t id) {
        std::vector<uint8_t> last;
        for (const auto& sent : hid->SentFeatureReports(kTrackerPath)) {
            if (!sent.empty() && sent[0] == id) last = sent;
        }
        return last;
    }

    HSK::DeviceManager* manager = nullptr;
    HSK::SensorDevice* sensor = nullptr;
};

TEST_F(SensorDeviceTest, OpensReadsRangesSetsTheFrameAndKeepsAlive) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(hmdtest::LogCapture::Contains(
        "HSK::SensorDevice - Opened '/dev/hidraw3'\n                    Manufacturer:'Headset Vendor'  "
        "Product:'Tracker DK'  Serial#:'SN0001'\n"));
    HSK::SensorRange range;
    sensor->GetRange(&range);
    EXPECT_FLOAT_EQ(range.maxAcceleration, 4 * 9.81f);
    EXPECT_FLOAT_EQ(range.maxRotationRate, 1000 * 0.0174532924f);
    EXPECT_FLOAT_EQ(range.maxMagneticField, 1.9f);
    // A bare tracker is set to report in its own frame (flag 0x40), and the
    // keep-alive goes out with 10 s.
    EXPECT_EQ(sensor->GetCoordinateFrame(), HSK::SensorDevice::Coord_Sensor);
    EXPECT_EQ(sensor->GetHardwareCoordinateFrame(), HSK::SensorDevice::Coord_Sensor);
    bool keepAlive = false;
    for (const auto& sent : hid->SentFeatureReports(kTrackerPath)) {
        if (sent == std::vector<uint8_t>{8, 0, 0, 0x10, 0x27}) keepAlive = true;
    }
    EXPECT_TRUE(keepAlive);
    // Only the frame's flag changes: the tracker's intervals stay as it had them.
    EXPECT_EQ(LastSent(2), hmdtest::ConfigReport(0x40, 7, 2500));

    ASSERT_TRUE(sensor->SetCoordinateFrame(HSK::SensorDevice::Coord_HMD));
    EXPECT_EQ(sensor->GetHardwareCoordinateFrame(), HSK::SensorDevice::Coord_HMD);
    const std::vector<uint8_t> sent = LastSent(2);
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[3] & 0x40, 0);
}

// A configuration report that cannot be read is never written made up (it
// would zero the tracker's intervals): the frame is left alone and the log says so.
TEST_F(SensorDeviceTest, AConfigurationThatCannotBeReadIsNotWritten) {
    hid->AddDevice(hmdtest::TrackerInfo());
    hid->FailFeatureReport(kTrackerPath, 2);
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(hmdtest::LogCapture::Contains(
        "Error: HSK::SensorDevice - Could not read the configuration report of '/dev/hidraw3'; its coordinate "
        "frame is left as it was\n"));
    EXPECT_FALSE(sensor->SetCoordinateFrame(HSK::SensorDevice::Coord_HMD));
    EXPECT_TRUE(LastSent(2).empty()) << "no configuration report was written";
    EXPECT_FALSE(LastSent(8).empty()) << "the keep-alive still goes out";
}

TEST_F(SensorDeviceTest, ATrackerInAHeadsetReportsInTheHeadsetFrame) {
    ASSERT_NE(Open(true), nullptr);
    EXPECT_EQ(sensor->GetCoordinateFrame(), HSK::SensorDevice::Coord_HMD);
}

// The frame is changed on the device thread while the game may read it from its own:
// the thread sanitizer build (scripts/tsan) sees any unguarded access here.
TEST_F(SensorDeviceTest, TheFrameCanBeReadWhileTheDeviceThreadChangesIt) {
    ASSERT_NE(Open(), nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int> hmdSeen{0};
    std::thread reader([&] {
        while (!stop.load()) {
            if (sensor->GetCoordinateFrame() == HSK::SensorDevice::Coord_HMD) ++hmdSeen;
            if (sensor->GetHardwareCoordinateFrame() == HSK::SensorDevice::Coord_HMD) ++hmdSeen;
        }
    });
    for (int i = 0; i < 20; ++i) {
        const auto frame = i % 2 == 0 ? HSK::SensorDevice::Coord_HMD : HSK::SensorDevice::Coord_Sensor;
        EXPECT_TRUE(sensor->SetCoordinateFrame(frame));
        EXPECT_EQ(sensor->GetCoordinateFrame(), frame);
        EXPECT_EQ(sensor->GetHardwareCoordinateFrame(), frame);
    }
    stop = true;
    reader.join();
}

TEST_F(SensorDeviceTest, RangesRoundUpToWhatTheTrackerSupports) {
    ASSERT_NE(Open(), nullptr);
    struct Case {
        HSK::SensorRange requested;
        uint8_t accel;
        uint16_t gyro;
        uint16_t mag;
    };
    const Case cases[] = {
        {{29.43f, 4.0f, 0.9f}, 4, 250, 1300},     // 3 g -> 4 g, 900 mG -> 1300 mG
        {{200.0f, 40.0f, 9.0f}, 16, 2000, 2500},  // above the last: the last
        {{19.62f, 8.7266f, 1.3f}, 2, 500, 1300},  // exact entries stay
        {{0.0f, 0.0f, 0.0f}, 2, 250, 880},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sensor->SetRange(c.requested, true));
        const std::vector<uint8_t> sent = LastSent(4);
        ASSERT_EQ(sent.size(), 8u);
        EXPECT_EQ(sent[0], 4);
        EXPECT_EQ(sent[3], c.accel);
        EXPECT_EQ(sent[4] | (sent[5] << 8), c.gyro);
        EXPECT_EQ(sent[6] | (sent[7] << 8), c.mag);
        HSK::SensorRange now;
        sensor->GetRange(&now);
        EXPECT_FLOAT_EQ(now.maxAcceleration, c.accel * 9.81f);
    }
}

TEST_F(SensorDeviceTest, ReportsBecomeBodyFrames) {
    ASSERT_NE(Open(), nullptr);
    hmdtest::RecordingHandler handler;
    sensor->SetMessageHandler(&handler);
    // Sensor frame reported in the sensor frame: no axis change.
    Feed({TrackerReport(5, 100, {{{10000, -20000, 98100}, {1, 2, 3}}, {{0, 0, 0}, {0, 0, 0}}, {{5, 6, 7}, {8, 9, 10}}},
                        2512, 1000, -2000, 3000)});
    const auto frames = handler.Frames();
    ASSERT_EQ(frames.size(), 3u);
    const float steps[] = {0.003f, 0.001f, 0.001f};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(frames[i].timeDelta, steps[i]) << i;
        EXPECT_EQ(frames[i].device, sensor);
        EXPECT_FLOAT_EQ(frames[i].temperature, 25.12f);
        EXPECT_FLOAT_EQ(frames[i].magneticField.y, -0.2f);
    }
    EXPECT_FLOAT_EQ(frames[0].acceleration.x, 1.0f);
    EXPECT_FLOAT_EQ(frames[0].acceleration.y, -2.0f);
    EXPECT_FLOAT_EQ(frames[0].acceleration.z, 9.81f);
    EXPECT_FLOAT_EQ(frames[0].rotationRate.z, 0.0003f);
    EXPECT_FLOAT_EQ(frames[2].rotationRate.x, 0.0008f);
}

TEST_F(SensorDeviceTest, LostReportsGetOneMakeUpFrame) {
    ASSERT_NE(Open(), nullptr);
    hmdtest::RecordingHandler handler;
    sensor->SetMessageHandler(&handler);
    const hmdtest::RawSample s = {{100, 200, 300}, {0, 0, 0}};
    struct Case {
        uint16_t first, second;
        uint8_t firstCount;
        bool makeUp;
        float makeUpStep;
    };
    const Case cases[] = {
        {65530, 4, 1, true, 0.009f},  // wraps: step 10, minus the last count 1
        {1000, 1001, 1, false, 0},    // not more than the last count
        {1000, 1003, 3, false, 0},
        {1000, 1255, 1, false, 0},    // 255 or more: not a loss
        {1000, 1254, 1, true, 0.253f},
    };
    for (const Case& c : cases) {
        sensor->SetMessageHandler(nullptr);
        sensor->SetMessageHandler(&handler);  // a new sequence
        Feed({TrackerReport(c.firstCount, c.first, {s})});
        const size_t before = handler.Frames().size();
        Feed({TrackerReport(1, c.second, {s})});
        const auto frames = handler.Frames();
        ASSERT_EQ(frames.size() - before, c.makeUp ? 2u : 1u) << c.first << "->" << c.second;
        if (c.makeUp) {
            EXPECT_NEAR(frames[before].timeDelta, c.makeUpStep, 1e-6f);
            EXPECT_FLOAT_EQ(frames[before].acceleration.x, 0.01f);  // the last values
        }
    }
}

TEST_F(SensorDeviceTest, WithoutAHandlerTheLastValuesFollowAndShortReportsAreIgnored) {
    ASSERT_NE(Open(), nullptr);
    Feed({TrackerReport(1, 10, {{{10000, 0, 0}, {0, 0, 0}}}, 3000)});
    EXPECT_FLOAT_EQ(sensor->GetLastAcceleration().x, 1.0f);
    EXPECT_FLOAT_EQ(sensor->GetLastTemperature(), 30.0f);
    Feed({TrackerReport(1, 11, {{{20000, 0, 0}, {0, 0, 0}}}, 3100, 0, 0, 0, 61),  // too short
          {1, 2},                                                                  // far too short
          {7, 0, 0, 0, 0, 0}});                                                    // another report
    EXPECT_FLOAT_EQ(sensor->GetLastAcceleration().x, 1.0f);
    EXPECT_FLOAT_EQ(sensor->GetLastTemperature(), 30.0f);
}

TEST_F(SensorDeviceTest, FusionFollowsAKnownRotationFromReports) {
    ASSERT_NE(Open(), nullptr);
    HSK::SensorFusion fusion;
    fusion.SetGravityCorrection(false);
    ASSERT_TRUE(fusion.AttachToSensor(sensor));
    // 0.5 rad/s about the sensor's z axis for 999 ms, three samples a report.
    const hmdtest::RawSample s = {{0, 0, 0}, {0, 0, 5000}};
    std::vector<std::vector<uint8_t>> reports;
    for (int i = 0; i < 333; ++i) reports.push_back(TrackerReport(3, static_cast<uint16_t>(3 * i), {s, s, s}));
    Feed(reports);
    const HSK::Quatf q = fusion.GetOrientation();
    const float angle = 0.5f * 0.999f;
    EXPECT_NEAR(q.z, std::sin(angle / 2), 1e-3f);
    EXPECT_NEAR(q.w, std::cos(angle / 2), 1e-3f);
    EXPECT_NEAR(q.x, 0, 1e-6f);
    EXPECT_NEAR(q.y, 0, 1e-6f);
    // Attaching again resets; another handler's sensor is refused.
    EXPECT_TRUE(fusion.AttachToSensor(sensor));
    EXPECT_FLOAT_EQ(fusion.GetOrientation().w, 1.0f);
    HSK::SensorFusion other;
    EXPECT_FALSE(other.AttachToSensor(sensor));
    EXPECT_EQ(sensor->GetMessageHandler(), fusion.GetHandler());
}

TEST_F(SensorDeviceTest, UnplugAndReplugWhileRunning) {
    ASSERT_NE(Open(), nullptr);
    hmdtest::RecordingHandler handler;
    sensor->SetMessageHandler(&handler);
    const hmdtest::RawSample s = {{10000, 0, 0}, {0, 0, 0}};
    Feed({TrackerReport(1, 1, {s})});
    ASSERT_EQ(handler.Frames().size(), 1u);

    hid->RemoveDevice(kTrackerPath);
    ASSERT_TRUE(hmdtest::WaitFor([&] {
        const auto t = handler.Types();
        return !t.empty() && t.back() == HSK::Message_DeviceRemoved;
    }));
    EXPECT_TRUE(hmdtest::WaitFor([&] { return hid->OpenHandles(kTrackerPath) == 0; }));
    EXPECT_FALSE(manager->EnumerateDevices(HSK::Device_Sensor, true).GetHandle().IsAvailable());

    hid->AddDevice(hmdtest::TrackerInfo());
    ASSERT_TRUE(hmdtest::WaitFor([&] {
        const auto t = handler.Types();
        return !t.empty() && t.back() == HSK::Message_DeviceAdded;
    }));
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::SensorDevice - Reopened device '/dev/hidraw3'\n"));
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 1);
    Feed({TrackerReport(1, 2, {s})});
    EXPECT_EQ(handler.Frames().size(), 2u);
}

TEST_F(SensorDeviceTest, ALostConnectionIsLoggedAndAFailedReopenSaysWhy) {
    ASSERT_NE(Open(), nullptr);
    hid->FailNextRead(kTrackerPath);
    ASSERT_TRUE(hmdtest::WaitFor(
        [] { return hmdtest::LogCapture::Contains("HSK::SensorDevice - Lost connection to '/dev/hidraw3'\n"); }));
    hmdtest::RecordingHandler handler;
    sensor->SetMessageHandler(&handler);
    hid->RemoveDevice(kTrackerPath);
    // Arrivals and removals are noticed by comparing enumerations: wait for this one.
    ASSERT_TRUE(hmdtest::WaitFor([&] { return handler.Count() == 1; }));
    hid->SetOpenError(kTrackerPath, "no permission to open /dev/hidraw3");
    hid->AddDevice(hmdtest::TrackerInfo());
    ASSERT_TRUE(hmdtest::WaitFor([] {
        return hmdtest::LogCapture::Contains(
            "Error: HSK::SendorDevice - Failed to reopen a device '/dev/hidraw3' that was re-added. Error: no "
            "permission to open /dev/hidraw3.\n");
    }));
    // Nothing is read from a closed device; writes are refused.
    const uint8_t report[5] = {8, 0, 0, 0, 0};
    EXPECT_FALSE(sensor->SetFeatureReport(report, sizeof(report), true));
}

TEST_F(SensorDeviceTest, ABrokenReadOnAListedDeviceReopensIt) {
    ASSERT_NE(Open(), nullptr);
    hmdtest::RecordingHandler handler;
    sensor->SetMessageHandler(&handler);
    hid->FailNextRead(kTrackerPath);
    ASSERT_TRUE(hmdtest::WaitFor(
        [] { return hmdtest::LogCapture::Contains("HSK::SensorDevice - Reopened device '/dev/hidraw3'\n"); }));
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 1);
    Feed({TrackerReport(1, 5, {{{10000, 0, 0}, {0, 0, 0}}})});
    EXPECT_EQ(handler.Frames().size(), 1u);
}

TEST_F(SensorDeviceTest, AnUnopenableTrackerStaysOffAndTheLogSaysWhy) {
    hid->AddDevice(hmdtest::TrackerInfo());
    hid->SetOpenError(kTrackerPath, "no permission to open /dev/hidraw3 (Permission denied)");
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
    ASSERT_FALSE(e.IsEmpty());
    EXPECT_EQ(e.CreateDevice(), nullptr);
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::SensorDevice - Failed to open '/dev/hidraw3'\n"));
    EXPECT_TRUE(hmdtest::LogCapture::Contains("Permission denied"));
}

TEST_F(SensorDeviceTest, OversizedInputReportsRefuseTheDevice) {
    platform::hid::DeviceInfo info = hmdtest::TrackerInfo();
    info.inputReportLength = 97;
    hid->AddDevice(info);
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
    EXPECT_EQ(e.CreateDevice(), nullptr);
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 0);
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::SensorDevice - Failed to initialize '/dev/hidraw3' during open\n"));
}

}  // namespace
