#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "HeadsetFixture.h"
#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/DeviceManagerThread.h"
#include "hmd/sdk/SensorDevice.h"

namespace {

using hmdtest::HeadsetTest;
using hmdtest::kTrackerPath;

class DeviceManagerTest : public HeadsetTest {
protected:
    void TearDown() override {
        if (manager != nullptr) manager->Release();
        HeadsetTest::TearDown();
    }
    size_t CountDescriptors(HSK::DeviceType type, bool availableOnly) {
        size_t n = 0;
        HSK::DeviceEnumerator e = manager->EnumerateDevices(type, availableOnly);
        for (; !e.IsEmpty(); e.Next()) ++n;
        return n;
    }
    HSK::DeviceManager* manager = nullptr;
};

TEST_F(DeviceManagerTest, NeedsAStartedSystem) {
    HSK::System::Destroy();
    EXPECT_EQ(HSK::DeviceManager::Create(), nullptr);
    HSK::System::Init();
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::DeviceManager - initialized.\n"));
    EXPECT_TRUE(hmdtest::WaitFor([] { return hmdtest::LogCapture::Contains("HSK::DeviceManagerThread - running"); }));
    HSK::DeviceInfo info;
    ASSERT_TRUE(manager->GetDeviceInfo(&info));
    EXPECT_STREQ(info.productName, "DeviceManager");
    EXPECT_STREQ(info.manufacturer, "Headset Vendor, Inc.");
    manager->Release();
    manager = nullptr;
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::DeviceManager - shutting down.\n"));
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::DeviceManagerThread - exiting"));
}

TEST_F(DeviceManagerTest, EnumerationMergesAndReportsChangesOnce) {
    PlugHeadset();
    hid->AddDevice(hmdtest::TesterInfo());
    platform::hid::DeviceInfo mouse;
    mouse.path = "/dev/hidraw0";
    mouse.vendorId = 0x046D;
    mouse.productId = 0xC077;
    hid->AddDevice(mouse);

    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    hmdtest::RecordingHandler handler;
    manager->SetMessageHandler(&handler);

    // Tracker, tester and one headset (monitor and tracker figures merged).
    EXPECT_EQ(CountDescriptors(HSK::Device_All, false), 3u);
    EXPECT_EQ(CountDescriptors(HSK::Device_Sensor, true), 1u);
    EXPECT_EQ(CountDescriptors(HSK::Device_HMD, true), 1u);
    EXPECT_EQ(CountDescriptors(HSK::Device_LatencyTester, true), 1u);
    const size_t added = handler.Count();
    EXPECT_EQ(added, 3u);

    // Nothing changed: no new descriptor, no message.
    EXPECT_EQ(CountDescriptors(HSK::Device_All, false), 3u);
    EXPECT_EQ(handler.Count(), added);

    // Unplugged: still listed but not available, reported once.
    hid->RemoveDevice(kTrackerPath);
    EXPECT_EQ(CountDescriptors(HSK::Device_Sensor, true), 0u);
    EXPECT_EQ(handler.Count(), added + 1);
    EXPECT_EQ(handler.Types().back(), HSK::Message_DeviceRemoved);
    {
        HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, false);
        ASSERT_FALSE(e.IsEmpty());
        EXPECT_FALSE(e.GetHandle().IsAvailable());
        EXPECT_EQ(handler.Count(), added + 1);
        // Dropping the last handle of a device that is gone forgets it.
    }
    EXPECT_EQ(CountDescriptors(HSK::Device_Sensor, false), 0u);

    // Back: found anew.
    hid->AddDevice(hmdtest::TrackerInfo());
    EXPECT_EQ(CountDescriptors(HSK::Device_Sensor, true), 1u);
    EXPECT_EQ(CountDescriptors(HSK::Device_All, false), 3u);
    EXPECT_EQ(handler.Types().back(), HSK::Message_DeviceAdded);
    manager->SetMessageHandler(nullptr);
}

// One thread drops the last handle of an unplugged device while another keeps
// enumerating every descriptor, taking and dropping handles to the same one.
// Whichever drop is last must forget the descriptor exactly once, and neither
// may touch it after the other freed it (AddressSanitizer and ThreadSanitizer
// watch the interleavings).
TEST_F(DeviceManagerTest, TheLastHandleOfAGoneDeviceRacingAnEnumerationIsFreedOnce) {
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    std::atomic<bool> stop{false};
    std::thread enumerating([&] {
        while (!stop.load()) {
            HSK::DeviceEnumerator e(manager, HSK::Device_Sensor, false);
            while (!e.IsEmpty()) e.Next();
        }
    });
    for (int round = 0; round < 300; ++round) {
        hid->AddDevice(hmdtest::TrackerInfo());
        HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
        ASSERT_FALSE(e.IsEmpty());
        HSK::DeviceHandle last = e.GetHandle();
        e.Clear();
        hid->RemoveDevice(kTrackerPath);
        manager->EnumerateDevices(HSK::Device_Sensor, true);
        ASSERT_FALSE(last.IsAvailable());
        last.Clear();
    }
    stop.store(true);
    enumerating.join();
    EXPECT_EQ(CountDescriptors(HSK::Device_Sensor, false), 0u);
}

TEST_F(DeviceManagerTest, CreatingTwiceSharesTheDeviceAndTheLastReleaseClosesIt) {
    PlugHeadset();
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
    ASSERT_FALSE(e.IsEmpty());
    const int opensBefore = hid->OpenCount(kTrackerPath);  // enumeration reads the display figures
    HSK::DeviceBase* const first = e.CreateDevice();
    ASSERT_NE(first, nullptr);
    HSK::DeviceBase* const second = e.CreateDevice();
    EXPECT_EQ(first, second);
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 1);
    EXPECT_EQ(hid->OpenCount(kTrackerPath), opensBefore + 1);
    first->Release();
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 1);
    second->Release();  // closed on the device thread
    EXPECT_TRUE(hmdtest::WaitFor([&] { return hid->OpenHandles(kTrackerPath) == 0; }));
    EXPECT_TRUE(hmdtest::WaitFor([] { return hmdtest::LogCapture::Contains("HSK::SensorDevice - Closed '/dev/hidraw3'"); }));
    // A new create opens it again.
    HSK::DeviceBase* const again = e.CreateDevice();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(hid->OpenCount(kTrackerPath), opensBefore + 2);
    again->Release();
}

TEST_F(DeviceManagerTest, ReleasingTheManagerLastOnItsThreadIsSafe) {
    PlugHeadset();
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_Sensor, true);
    HSK::DeviceBase* const sensor = e.CreateDevice();
    ASSERT_NE(sensor, nullptr);
    e.Clear();
    // The sensor holds the manager: dropping ours first leaves the sensor's
    // close (on the thread) to drop the last one.
    manager->Release();
    manager = nullptr;
    sensor->Release();
    HSK::Thread::FinishAllThreads();
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 0);
    EXPECT_TRUE(hmdtest::LogCapture::Contains("HSK::DeviceManagerThread - exiting"));
}

}  // namespace
