// Window sizes from Config.ini, the console and the video options are held to
// what the display allows (the fake display: 1920 x 1080); a refused size is
// logged, never used and never saved.

#include <gtest/gtest.h>

#include <string>

#include "RunScenarios.h"

namespace gametest {
namespace {

TEST(WindowSizeLimits, ABadSizeInConfigIniGivesTheDefaultWindow) {
    struct Case {
        const char* name;
        const char* lines;
    };
    const Case cases[] = {
        {"huge", "WidthWindowed: 99999999\r\nHeightWindowed: 2\r\n"},
        {"zero", "WidthWindowed: 0\r\nHeightWindowed: 600\r\n"},
        {"negative", "WidthWindowed: 800\r\nHeightWindowed: -600\r\n"},
        {"beyond the display", "WidthWindowed: 1921\r\nHeightWindowed: 1080\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run;
            run.Configure(std::string("\r\n[Video]\r\nFullscreen: false\r\n") + c.lines);
            run.game->quitAfterFrames = 2;
            run.Run();

            EXPECT_EQ(run.game->drawnFrames, 2);
            // The default windowed size on a 1920 x 1080 monitor.
            EXPECT_EQ(run.game->GetScreenWidth(), 1024);
            EXPECT_EQ(run.game->GetScreenHeight(), 768);
            EXPECT_EQ(CountLines(run.user.ReadLog(), "Video: WidthWindowed/HeightWindowed"), 1);
            const std::string config = run.user.Read("Config/Config.ini");
            EXPECT_NE(config.find("WidthWindowed: 1024\r\nHeightWindowed: 768\r\n"), std::string::npos) << config;
        });
    }
}

// The console's ways to a size: setres (whose huge numbers once overflowed a
// conversion to float and back), and "set" of the variables then applied.
TEST(WindowSizeLimits, TheConsoleCannotStoreASizeTheDisplayCannotShow) {
    struct Case {
        const char* name;
        const char* lines[2];
        // The size afterwards: setres keeps the old one; a variable set out of
        // bounds has already lost it and goes back to its default.
        int32_t width, height;
    };
    const Case cases[] = {
        {"setres huge", {"setres 9999921111x2", nullptr}, 800, 600},
        {"setres with blanks around x, too large", {"setres 4000 x 3000", nullptr}, 800, 600},
        {"set WidthFullscreen", {"set Video WidthFullscreen 99999999", "applyvideooptions"}, 800, 600},
        {"set WidthWindowed", {"set Video WidthWindowed 77777", "applyvideooptions"}, 1024, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run;
            run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 800\r\nHeightWindowed: 600\r\n");
            run.game->afterFrame = [&c](TestGame& g, const int frame) {
                if (frame == 1) {
                    for (const char* line : c.lines) {
                        if (line != nullptr) {
                            g.ExecuteConsoleLine(line);
                        }
                    }
                }
            };
            run.game->quitAfterFrames = 3;
            run.Run();

            EXPECT_EQ(run.game->drawnFrames, 3);
            EXPECT_EQ(run.game->GetScreenWidth(), c.width);
            EXPECT_EQ(run.game->GetScreenHeight(), c.height);
            EXPECT_LE(run.game->m_widthFullscreen, 1920);
            EXPECT_LE(run.game->m_widthWindowed, 1920);
            const std::string config = run.user.Read("Config/Config.ini");
            const std::string windowed =
                "WidthWindowed: " + std::to_string(c.width) + "\r\nHeightWindowed: " + std::to_string(c.height);
            EXPECT_NE(config.find(windowed), std::string::npos) << config;
            EXPECT_NE(config.find("WidthFullscreen: 1920\r\nHeightFullscreen: 1080\r\n"), std::string::npos)
                << config;
        });
    }
}

}  // namespace
}  // namespace gametest
