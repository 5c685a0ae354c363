// A missing or damaged engine package is named once, with where it was looked
// for, and the game goes on without it.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "RunScenarios.h"
#include "platform/os/files.h"

namespace gametest {
namespace {

// Boxes whose text names the package.
int PackageBoxes(const platform::window::FakeWindowSystem& window, const std::string& name) {
    int count = 0;
    for (const auto& box : window.Boxes()) {
        count += box.text.find("\"" + name + "\"") != std::string::npos;
    }
    return count;
}

std::string BoxAbout(const platform::window::FakeWindowSystem& window, const std::string& name) {
    for (const auto& box : window.Boxes()) {
        if (box.text.find("\"" + name + "\"") != std::string::npos) {
            return box.text;
        }
    }
    return std::string();
}

// The test program's folder holds no Engine.zpk: the base game misses it.
TEST(EnginePackage, AMissingPackageIsNamedOnceWithWhereItWasLookedFor) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->quitAfterFrames = 2;
        run.Run();

        EXPECT_EQ(run.game->drawnFrames, 2) << "the game goes on";
        const std::string expectedPath = os::ExecutableFolder() + "/Engine.zpk";
        EXPECT_EQ(PackageBoxes(*run.fakeWindow, "Engine.zpk"), 1);
        const std::string text = BoxAbout(*run.fakeWindow, "Engine.zpk");
        EXPECT_NE(text.find("missing"), std::string::npos) << text;
        EXPECT_NE(text.find(expectedPath), std::string::npos) << text;
        EXPECT_EQ(text.find('\\'), std::string::npos) << "paths shown use '/': " << text;
        EXPECT_EQ(CountLines(run.user.ReadLog(), "Engine package Engine.zpk not found (looked for at " + expectedPath),
                  1);
        // A box nobody answers (no dialogs here) is kept in the log too.
        EXPECT_EQ(CountLines(run.user.ReadLog(),
                             "Message box \"ZORP Game\" answered OK: The engine package \"Engine.zpk\""),
                  1);
    });
}

// A package of its own in the user's folder, damaged in several ways.
class DamagedPackageGame : public TestGame {
public:
    std::string packagePath;
    void addStreamSources() override { MountEnginePackage(packagePath.c_str()); }
};

TEST(EnginePackage, ADamagedPackageIsNamedOnce) {
    std::ifstream in(KORV_DATA_BUILD_DIR "/Engine.zpk", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(good.size(), 64u);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not a package", std::string(300, 'z')},
        {"cut short", good.substr(0, good.size() / 3)},
        {"header only", good.substr(0, 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run;
            delete run.game;
            auto* game = new DamagedPackageGame();
            run.game = game;
            game->clock = &run.clock;
            run.Configure("");
            run.user.Write("Broken.zpk", c.bytes);
            game->packagePath = run.user.GamePath("Broken.zpk");
            game->quitAfterFrames = 2;
            run.Run();

            EXPECT_EQ(game->drawnFrames, 2) << "the game goes on";
            EXPECT_EQ(PackageBoxes(*run.fakeWindow, game->packagePath), 1);
            const std::string text = BoxAbout(*run.fakeWindow, game->packagePath);
            EXPECT_NE(text.find("damaged"), std::string::npos) << text;
            EXPECT_EQ(CountLines(run.user.ReadLog(), "Engine package " + game->packagePath + " is damaged"), 1);
        });
    }
}

}  // namespace
}  // namespace gametest
