// A user folder that cannot be written: the game says so once and runs on.
// (Permissions cannot be tested while the tests run as root; a file in a
// folder's place fails the same way for everyone.)

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "RunScenarios.h"

namespace gametest {
namespace {

int FolderBoxes(const platform::window::FakeWindowSystem& window) {
    int count = 0;
    for (const auto& box : window.Boxes()) {
        count += box.text.find("cannot be written") != std::string::npos;
    }
    return count;
}

TEST(UserFolder, AFolderThatCannotBeWrittenIsReportedOnceAndTheGameRunsOn) {
    struct Case {
        const char* name;
        const char* fileInThePlace;  // under the documents folder; null: the documents folder itself
        bool logKept;
    };
    const Case cases[] = {
        {"documents folder is a file", nullptr, false},
        {"game folder is a file", "My Games/ZORP Game", false},
        {"settings folder is a file", "My Games/ZORP Game/Config", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run;
            const std::filesystem::path documents = std::getenv("XDG_DOCUMENTS_DIR");
            const std::filesystem::path file =
                c.fileInThePlace == nullptr ? documents / "Documents" : documents / c.fileInThePlace;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file) << "a file, not a folder";
            if (c.fileInThePlace == nullptr) {
                setenv("XDG_DOCUMENTS_DIR", file.c_str(), 1);
            }
            run.game->quitAfterFrames = 3;
            run.Run();

            EXPECT_EQ(run.game->drawnFrames, 3);
            EXPECT_EQ(run.game->shutdowns, 1);
            ASSERT_NE(run.fakeWindow, nullptr);
            EXPECT_EQ(FolderBoxes(*run.fakeWindow), 1);
            for (const auto& box : run.fakeWindow->Boxes()) {
                if (box.text.find("cannot be written") != std::string::npos) {
                    EXPECT_EQ(box.text.find('\\'), std::string::npos) << "paths shown use '/': " << box.text;
                    EXPECT_NE(box.text.find("/Config/"), std::string::npos) << box.text;
                }
            }
            if (c.logKept) {
                EXPECT_EQ(CountLines(run.user.ReadLog(), "User folder "), 1);
            }
        });
    }
}

TEST(UserFolder, AWritableFolderIsNotReported) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->quitAfterFrames = 2;
        run.Run();
        EXPECT_EQ(FolderBoxes(*run.fakeWindow), 0);
        EXPECT_EQ(CountLines(run.user.ReadLog(), "User folder "), 0);
    });
}

}  // namespace
}  // namespace gametest
