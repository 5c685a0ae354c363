#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/ZHashedString.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZThreadTagger.h"
#include "foundation/ZUpdateRegistry.h"
#include "framework/ZInputRecorder.h"
#include "framework/ZPlatformGlue.h"
#include "input/ZControlMgr.h"
#include "platform/os/files.h"
#include "platform/os/threads.h"

namespace {

TEST(SetWorkingDirToExe, MountsTheExecutablesFolderFirst) {
    const std::string before = os::CurrentFolder();
    ZStreamMgr::DestroyInstance();
    SetWorkingDirToExe();
    EXPECT_EQ(os::CurrentFolder(), os::ExecutableFolder());
    ASSERT_EQ(ZStreamMgr::GetInstance()->GetSourceCount(), 1u);
    EXPECT_EQ(ZStreamMgr::GetInstance()->GetSource(0).package, nullptr);
    EXPECT_TRUE(ZStreamMgr::GetInstance()->GetSource(0).folderPath.IsEmpty());
    ZStreamMgr::DestroyInstance();
    os::SetCurrentFolder(before);
}

// Shutdown frees process-wide singletons (the hashed-name table among them),
// so each case runs in a child process of its own.
class ShutdownEngineTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ShutdownEngineTest, NothingCreated) {
    EXPECT_EXIT(
        {
            ShutdownEngine();
            ShutdownEngine();  // and once more, with everything gone
            std::exit(IsEngineShuttingDown() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ShutdownEngineTest, EverythingMadeIsFreedInOrder) {
    EXPECT_EXIT(
        {
            // The recorder unregisters from the update registry as it goes, so
            // the registry must still be there: a fresh one would be made and
            // leaked, which the leak check of the child would report.
            GetControlMgr()->AddControlGroup(ZHashedString("Player"), false, true, false, false);
            GetInputRecorder()->ToggleRecording();
            ZStreamMgr::GetInstance()->AddDirectorySource("");
            const ZHashedString name("Shutdown probe");
            ShutdownEngine();
            // A new table: the old id no longer reads back as its text.
            const char* text = ZHashedString::FromId(name.GetId()).GetText();
            const bool tableFreed = text == nullptr || std::string(text) != "Shutdown probe";
            const bool emptyRegistry = GetUpdateRegistry()->GetList(1).IsEmpty();
            const bool emptyStreams = ZStreamMgr::GetInstance()->GetSourceCount() == 0;
            DestroyUpdateRegistry();
            ZStreamMgr::DestroyInstance();
            std::exit(tableFreed && emptyRegistry && emptyStreams ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A thread that outlived shutdown's wait keeps what it shares.
TEST_F(ShutdownEngineTest, ALiveThreadKeepsTheSharedManagers) {
    EXPECT_EXIT(
        {
            static os::Event release(true);
            static os::Event started(true);
            GetThreadTagger()->CreateNamedThread(
                "Straggler",
                [](uintptr_t) -> uint32_t {
                    started.Set();
                    release.Wait();
                    return 0;
                },
                0);
            started.Wait();
            const ZHashedString name("Straggler probe");
            ShutdownEngine();
            const char* text = name.GetText();
            const bool kept = text != nullptr && std::string(text) == "Straggler probe" &&
                              GetThreadTagger()->GetThreadCount() == 2;
            release.Set();
            while (GetThreadTagger()->GetThreadCount() > 1) os::YieldThread();
            std::exit(kept ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
