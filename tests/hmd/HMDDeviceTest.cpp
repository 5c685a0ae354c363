#include <gtest/gtest.h>

#include <cmath>

#include "HeadsetFixture.h"
#include "hmd/ZHMDMgr.h"
#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/HMDDevice.h"
#include "hmd/sdk/SensorDevice.h"
#include "hmd/sdk/Thread.h"

namespace {

using hmdtest::HeadsetTest;
using hmdtest::kTrackerPath;

class HMDDeviceTest : public HeadsetTest {
protected:
    void TearDown() override {
        if (manager != nullptr) manager->Release();
        HeadsetTest::TearDown();
    }
    HSK::HMDInfo InfoOfFirstHeadset() {
        HSK::HMDInfo info;
        info.infoClassType = HSK::Device_HMD;
        HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_HMD, true);
        EXPECT_FALSE(e.IsEmpty());
        e.GetHandle().GetDeviceInfo(&info);
        return info;
    }
    size_t HeadsetCount() {
        size_t n = 0;
        for (HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_HMD, false); !e.IsEmpty(); e.Next()) ++n;
        return n;
    }
    HSK::DeviceManager* manager = nullptr;
};

TEST_F(HMDDeviceTest, TheMonitorIdGivesTheModelsFigures) {
    struct Case {
        const char* id;
        const char* product;
        float width, height, k1, k2, eyeToScreen;
    };
    const Case cases[] = {
        {"HSK0001", "Headset HD1", 0.14976f, 0.0936f, 0.22f, 0.24f, 0.041f},
        {"RTD2205", "Headset HD1-Prototype", 0.12096f, 0.0756f, 0.18f, 0.115f, 0.0387f},
        {"XYZ-HSK0042", "Headset HD1-Prototype", 0.12096f, 0.0756f, 0.18f, 0.115f, 0.0387f},
    };
    for (const Case& c : cases) {
        platform::hid::SetHidSystem(nullptr);
        auto system = std::make_unique<platform::hid::FakeHidSystem>();
        hid = system.get();
        platform::hid::SetHidSystem(std::move(system));
        hid->AddMonitor({"DEL4321", "card0-DP-1", 0, 0});
        hid->AddMonitor({c.id, "card0-HDMI-A-1", 1920, 0});
        manager = HSK::DeviceManager::Create();
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(HeadsetCount(), 1u) << c.id;
        const HSK::HMDInfo info = InfoOfFirstHeadset();
        EXPECT_STREQ(info.productName, c.product);
        EXPECT_STREQ(info.manufacturer, "Headset Vendor");
        EXPECT_EQ(info.horizontalResolution, 1280u);
        EXPECT_EQ(info.verticalResolution, 800u);
        EXPECT_FLOAT_EQ(info.screenWidth, c.width);
        EXPECT_FLOAT_EQ(info.screenHeight, c.height);
        EXPECT_FLOAT_EQ(info.screenCentreY, c.height * 0.5f);
        EXPECT_FLOAT_EQ(info.distortionK[0], 1.0f);
        EXPECT_FLOAT_EQ(info.distortionK[1], c.k1);
        EXPECT_FLOAT_EQ(info.distortionK[2], c.k2);
        EXPECT_FLOAT_EQ(info.eyeToScreenDistance, c.eyeToScreen);
        EXPECT_FLOAT_EQ(info.lensSeparation, 0.064f);
        EXPECT_EQ(info.desktopX, 1920);
        EXPECT_STREQ(info.displayDeviceName, "card0-HDMI-A-1");
        manager->Release();
        manager = nullptr;
    }
}

TEST_F(HMDDeviceTest, SeenThroughTheTrackerThenTheDisplayItStaysOneHeadset) {
    hid->AddDevice(hmdtest::TrackerInfo());
    hid->SetFeatureReport(kTrackerPath, hmdtest::DisplayInfoReport(2));  // with coefficients
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(HeadsetCount(), 1u);
    hid->AddMonitor({"HSK0001", "card0-HDMI-A-1", 0, 0});
    EXPECT_EQ(HeadsetCount(), 1u);
    const HSK::HMDInfo info = InfoOfFirstHeadset();
    EXPECT_STREQ(info.displayDeviceName, "card0-HDMI-A-1");
    EXPECT_FLOAT_EQ(info.distortionK[1], 0.25f);  // the tracker's
    EXPECT_FLOAT_EQ(info.distortionK[3], 0.125f);
    // The tracker's distance, so the field of view stays finite.
    EXPECT_FLOAT_EQ(info.eyeToScreenDistance, 0.041f);
    EXPECT_EQ(HeadsetCount(), 1u);
}

TEST_F(HMDDeviceTest, BrokenTrackerFiguresAreNotTaken) {
    struct Case {
        std::vector<uint8_t> report;
        size_t headsets;
        float k1;  // the model's 0.22 when the tracker's coefficients are not used
    };
    std::vector<uint8_t> notANumber = hmdtest::DisplayInfoReport(2);
    hmdtest::Put32(notANumber, 36, 0x7FC00000);  // k[1] is NaN
    const Case cases[] = {
        {hmdtest::DisplayInfoReport(2), 1, 0.25f},
        {notANumber, 1, 0.22f},
        {hmdtest::DisplayInfoReport(2, 0, 93600), 0, 0},
        {hmdtest::DisplayInfoReport(1, 149760, 0), 0, 0},
    };
    for (const Case& c : cases) {
        platform::hid::SetHidSystem(nullptr);
        auto system = std::make_unique<platform::hid::FakeHidSystem>();
        hid = system.get();
        platform::hid::SetHidSystem(std::move(system));
        hid->AddDevice(hmdtest::TrackerInfo());
        hid->SetFeatureReport(kTrackerPath, c.report);
        manager = HSK::DeviceManager::Create();
        ASSERT_NE(manager, nullptr);
        ASSERT_EQ(HeadsetCount(), c.headsets);
        if (c.headsets > 0) {
            const HSK::HMDInfo info = InfoOfFirstHeadset();
            EXPECT_FLOAT_EQ(info.distortionK[1], c.k1);
            EXPECT_TRUE(std::isfinite(info.distortionK[2]));
        }
        manager->Release();
        manager = nullptr;
    }
}

TEST_F(HMDDeviceTest, OnlyTheFirstNineMonitorsGivePositions) {
    for (int i = 0; i < 9; ++i) hid->AddMonitor({"DEL0000", "card0-DP-" + std::to_string(i), 100 * i, 0});
    hid->AddMonitor({"HSK0001", "card1-HDMI-A-1", 5000, 0});
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(InfoOfFirstHeadset().desktopX, 0);
}

TEST_F(HMDDeviceTest, NoTrackerNoSensor) {
    hid->AddMonitor({"HSK0001", "card0-HDMI-A-1", 0, 0});
    manager = HSK::DeviceManager::Create();
    ASSERT_NE(manager, nullptr);
    HSK::DeviceEnumerator e = manager->EnumerateDevices(HSK::Device_HMD, true);
    auto* const hmd = static_cast<HSK::HMDDevice*>(e.CreateDevice());
    ASSERT_NE(hmd, nullptr);
    EXPECT_EQ(hmd->GetSensor(), nullptr);
    hmd->Release();
}

// --- The engine's manager ------------------------------------------------------------

class HeadsetApp : public ZAppInfo {
public:
    explicit HeadsetApp(bool wants) : m_wants(wants) {}
    bool AllowsHeadset() const override { return m_wants; }

private:
    bool m_wants;
};

class ZHMDMgrTest : public HeadsetTest {
protected:
    void SetUp() override {
        HeadsetTest::SetUp();
        HSK::System::Destroy();  // the manager starts the SDK itself
    }
    void TearDown() override {
        delete mgr;
        gAppInfo.store(nullptr);
        ZAppInfo::DestroyInstance();
        HeadsetTest::TearDown();
    }
    ZHMDMgr* Make(bool wants) {
        app = std::make_unique<HeadsetApp>(wants);
        gAppInfo.store(app.get());
        mgr = new ZHMDMgr();
        return mgr;
    }
    std::unique_ptr<HeadsetApp> app;
    ZHMDMgr* mgr = nullptr;
};

TEST_F(ZHMDMgrTest, TheGameDeclinesTheHeadset) {
    PlugHeadset();
    ZHMDMgr* const m = Make(false);
    EXPECT_TRUE(HSK::System::IsInitialized());
    EXPECT_FALSE(m->IsActive());
    EXPECT_FLOAT_EQ(m->GetVerticalFOV(), 1.0471976f);
    EXPECT_EQ(m->GetDeviceManager(), nullptr);
    EXPECT_EQ(HSK::Thread::RunningThreadCount(), 0u);
    EXPECT_EQ(hid->OpenCount(kTrackerPath), 0);
    EXPECT_FLOAT_EQ(m->warpParam[0], 1.0f);
    EXPECT_FLOAT_EQ(m->viewportScale, 1.0f);
}

TEST_F(ZHMDMgrTest, AllowedWithoutAHeadsetHoldsOnlyTheDeviceManager) {
    ZHMDMgr* const m = Make(true);
    EXPECT_FALSE(m->IsActive());
    EXPECT_NE(m->GetDeviceManager(), nullptr);
    EXPECT_EQ(m->GetHMDDevice(), nullptr);
}

TEST_F(ZHMDMgrTest, AHeadsetWhoseTrackerWillNotOpenStaysInactive) {
    PlugHeadset();
    hid->SetOpenError(kTrackerPath, "no permission");
    ZHMDMgr* const m = Make(true);
    EXPECT_FALSE(m->IsActive());
    EXPECT_NE(m->GetHMDDevice(), nullptr);
    EXPECT_EQ(m->GetSensorDevice(), nullptr);
    EXPECT_FLOAT_EQ(m->GetVerticalFOV(), 1.0471976f);
}

TEST_F(ZHMDMgrTest, AnAllowedHeadsetIsOpenedAndTracked) {
    PlugHeadset();
    ZHMDMgr* const m = Make(true);
    ASSERT_TRUE(m->IsActive());
    EXPECT_NEAR(m->lensOffset, 1.0f - 0.128f / 0.14976f, 1e-5f);
    EXPECT_NEAR(m->lensOffset, 0.1453f, 1e-4f);
    EXPECT_FLOAT_EQ(m->warpParam[1], 0.22f);
    const float expected = 2.0f * std::atan(0.0936f * 1.9296875f * 0.5f / 0.041f);
    EXPECT_FLOAT_EQ(m->GetVerticalFOV(), expected);
    EXPECT_EQ(m->GetSensorDevice()->GetCoordinateFrame(), HSK::SensorDevice::Coord_HMD);
    EXPECT_EQ(m->GetSensorDevice()->GetMessageHandler(), m->GetFusion().GetHandler());

    // Turning at 1 rad/s about y for 300 ms turns the filter with it.
    const hmdtest::RawSample s = {{0, 0, 0}, {0, 10000, 0}};
    for (int i = 0; i < 100; ++i) {
        hid->QueueInputReport(kTrackerPath, hmdtest::TrackerReport(3, static_cast<uint16_t>(3 * i), {s, s, s}));
    }
    ASSERT_TRUE(hmdtest::WaitFor([&] { return hid->PendingInputReports(kTrackerPath) == 0; }));
    m->GetDeviceManager()->PushCallAndWait([] {});
    EXPECT_NEAR(m->GetFusion().GetOrientation().y, std::sin(0.15f), 1e-3f);

    // A missing application description (shutdown) counts as no headset.
    gAppInfo.store(nullptr);
    gAppInfoDestroyed.store(true);
    EXPECT_FALSE(m->IsActive());
    gAppInfoDestroyed.store(false);
    gAppInfo.store(app.get());

    // Destroying it closes the devices and stops the SDK.
    delete mgr;
    mgr = nullptr;
    EXPECT_FALSE(HSK::System::IsInitialized());
    EXPECT_EQ(HSK::Log::GetGlobalLog(), HSK::Log::GetDefaultLog());
    EXPECT_EQ(HSK::Thread::RunningThreadCount(), 0u);
    EXPECT_EQ(hid->OpenHandles(kTrackerPath), 0);
}

}  // namespace
