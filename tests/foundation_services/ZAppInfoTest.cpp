#include <gtest/gtest.h>

#include "ServicesFixture.h"
#include "foundation/ZAppInfo.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZStreamMgr.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

using servicestest::ServicesTest;

class AppInfoTest : public ServicesTest {};

TEST_F(AppInfoTest, WithoutAGameOneDefaultDescriptionAnswers) {
    ZAppInfo* info = ZAppInfo::GetInstance();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(ZAppInfo::GetInstance(), info);
    EXPECT_EQ(gAppInfo.load(), info);
    EXPECT_FALSE(info->IsLogging());
    info->SetLogging(true);
    EXPECT_FALSE(info->IsLogging());
    EXPECT_STREQ(info->GetMyGamesFolderName(), "My Games");
    EXPECT_STREQ(info->GetLogsFolder(), "Logs\\");
    char buffer[32] = "untouched";
    EXPECT_FALSE(info->CheckStack(buffer, sizeof(buffer)));
}

TEST_F(AppInfoTest, AnInstalledDescriptionIsNeverReplaced) {
    InstallAppInfo();
    EXPECT_EQ(ZAppInfo::GetInstance(), &m_info);
    EXPECT_TRUE(ZAppInfo::GetInstance()->IsLogging());
}

TEST_F(AppInfoTest, AfterTheGameExitsNoDescriptionIsMade) {
    gAppInfoDestroyed = true;
    EXPECT_EQ(ZAppInfo::GetInstance(), nullptr);
    EXPECT_EQ(gAppInfo.load(), nullptr);
}

struct Counted {
    Counted() { ++constructed; }
    static inline int constructed = 0;
};

TEST(ManagerAccessor, TheFirstCallMakesTheObjectAndLaterCallsReturnIt) {
    Counted::constructed = 0;
    Counted* slot = nullptr;
    Counted* first = GetOrCreateManager(slot);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetOrCreateManager(slot), first);
    EXPECT_EQ(Counted::constructed, 1);
    DestroyManager(slot);
    EXPECT_EQ(slot, nullptr);
}

// The engine's own managers share those helpers: each accessor makes its
// object on first use, keeps it, and after shutdown frees it makes a fresh one.
struct ManagerCase {
    const char* name;
    void* (*get)();
    void (*destroy)();
};

const ManagerCase kManagers[] = {
    {"textures", [] { return static_cast<void*>(ZTextureMgr::GetInstance()); }, ZTextureMgr::DestroyInstance},
    {"shaders", [] { return static_cast<void*>(ZShaderMgr::GetInstance()); }, ZShaderMgr::DestroyInstance},
    {"streams", [] { return static_cast<void*>(ZStreamMgr::GetInstance()); }, ZStreamMgr::DestroyInstance},
    {"handles", [] { return static_cast<void*>(ZHandleRegistry::GetInstance()); }, ZHandleRegistry::DestroyInstance},
};

TEST(ManagerAccessor, EngineManagersAreMadeOnFirstUseAndMadeAgainAfterShutdown) {
    for (const ManagerCase& c : kManagers) {
        void* first = c.get();
        ASSERT_NE(first, nullptr) << c.name;
        EXPECT_EQ(c.get(), first) << c.name;
        c.destroy();
        c.destroy();  // a second shutdown finds nothing to free
        EXPECT_NE(c.get(), nullptr) << c.name;
        c.destroy();
    }
    EXPECT_EQ(ZShaderMgr::PeekInstance(), nullptr);
}

}  // namespace
