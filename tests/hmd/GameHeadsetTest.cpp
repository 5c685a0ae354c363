#include <gtest/gtest.h>

#include <memory>

#include "HeadsetFixture.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/world/KorvanthGame.h"
#include "hmd/ZHMDMgr.h"
#include "hmd/sdk/Thread.h"
#include "input/ZControlMgr.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

// The game itself declines the headset: even with one plugged in, only the
// SDK's system start runs.
TEST(GameHeadset, TheGameLeavesAPluggedHeadsetOff) {
    auto system = std::make_unique<platform::hid::FakeHidSystem>();
    platform::hid::FakeHidSystem* const hid = system.get();
    platform::hid::SetHidSystem(std::move(system));
    hid->AddDevice(hmdtest::TrackerInfo());
    hid->SetFeatureReport(hmdtest::kTrackerPath, hmdtest::DisplayInfoReport());
    hid->AddMonitor({"HSK0001", "card0-HDMI-A-1", 0, 0});

    korvtest::TempDir documents;
    {
        korvtest::EngineTestEnv env(documents.Path());
        KorvanthGame* const game = new KorvanthGame();
        EXPECT_EQ(ZAppInfo::GetInstance(), game);
        EXPECT_FALSE(game->AllowsHeadset());
        ZHMDMgr* const hmd = GetHMDManager();
        ASSERT_NE(hmd, nullptr);
        EXPECT_TRUE(HSK::System::IsInitialized());
        EXPECT_FALSE(hmd->IsActive());
        EXPECT_FLOAT_EQ(hmd->GetVerticalFOV(), 1.0471976f);
        EXPECT_EQ(hmd->GetDeviceManager(), nullptr);
        EXPECT_EQ(HSK::Thread::RunningThreadCount(), 0u);
        EXPECT_EQ(hid->OpenCount(hmdtest::kTrackerPath), 0);
        DestroyHMDManager();
        EXPECT_FALSE(HSK::System::IsInitialized());
        ZBaseGame::DestroyInstance();
        ClearConfigRegistry();
        DeleteControlMgr();
        ZLocMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
    }
    platform::hid::SetHidSystem(nullptr);
}

}  // namespace
