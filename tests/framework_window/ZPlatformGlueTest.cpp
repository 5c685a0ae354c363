#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/ZHashedString.h"
#include "foundation/ZHashedStringTable.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZThreadTagger.h"
#include "foundation/ZUpdateRegistry.h"
#include "framework/ZInputRecorder.h"
#include "framework/ZPlatformGlue.h"
#include "input/ZControlMgr.h"
#include "platform/os/files.h"
#include "platform/os/threads.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZShaderMgr.h"

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
            // Managers are made on first use, so a step that still needed a
            // manager deleted before it would make that manager again: in the
            // right order, none of them exists once shutdown is done. The
            // recorder unregisters from the update registry as it goes; a
            // registry made again would also leak, which the child's leak
            // check reports.
            GetControlMgr()->AddControlGroup(ZHashedString("Player"), false, true, false, false);
            GetInputRecorder()->ToggleRecording();
            ZStreamMgr::GetInstance()->AddDirectorySource("");
            (void)GetGlyphSheetMgr();
            const ZHashedString name("Shutdown probe");
            ShutdownEngine();
            const bool tableFreed = ZHashedStringTable::PeekInstance() == nullptr;
            const bool sheetsFreed = PeekGlyphSheetMgr() == nullptr;
            const bool shadersFreed = ZShaderMgr::PeekInstance() == nullptr;
            // Only now may a new table be made; the old id means nothing in it.
            const char* text = ZHashedString::FromId(name.GetId()).GetText();
            const bool oldIdGone = text == nullptr || std::string(text) != "Shutdown probe";
            const bool emptyRegistry = GetUpdateRegistry()->GetList(1).IsEmpty();
            const bool emptyStreams = ZStreamMgr::GetInstance()->GetSourceCount() == 0;
            DestroyUpdateRegistry();
            ZStreamMgr::DestroyInstance();
            ZHashedStringTable::DestroyInstance();
            std::fprintf(stderr, "table %d sheets %d shaders %d old id %d registry %d streams %d\n", tableFreed,
                         sheetsFreed, shadersFreed, oldIdGone, emptyRegistry, emptyStreams);
            std::exit(tableFreed && sheetsFreed && shadersFreed && oldIdGone && emptyRegistry && emptyStreams ? 0
                                                                                                               : 1);
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
