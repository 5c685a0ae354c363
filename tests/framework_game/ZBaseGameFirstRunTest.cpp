// A player's first start: no Config.ini yet. The file written then holds the
// registered defaults, so this run and every later one log.

#include <gtest/gtest.h>

#include <string>

#include "RunScenarios.h"

namespace gametest {
namespace {

TEST(ZBaseGameFirstRun, WritesTheDefaultsAndKeepsLogging) {
    RunInChild([] {
        GameRun run;  // no Configure: nothing in the user's folder
        run.game->quitAfterFrames = 2;
        run.Run();

        EXPECT_EQ(run.game->drawnFrames, 2);
        const std::string config = run.user.Read("Config/Config.ini");
        EXPECT_NE(config.find("DoLogging: true\r\n"), std::string::npos);
        EXPECT_EQ(config.find("DoLogging: false"), std::string::npos);
        // The log goes on past the load, to the end of the run.
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_TRUE(LinesInOrder(log, {"Loading config vars from file...", "ZBaseGame::init", "ZBaseGame::postinit",
                                       "ZBaseGame::shutdown"}));
    });
}

// A file that exists and says nothing about logging keeps it off, as before.
TEST(ZBaseGameFirstRun, AnExistingFileWithoutTheEntryKeepsLoggingOff) {
    RunInChild([] {
        GameRun run;
        run.user.Write("Config/Config.ini", "[Video]\r\nVSync: true\r\n");
        run.game->quitAfterFrames = 1;
        run.Run();

        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_EQ(FindLine(log, "ZBaseGame::init"), -1);
        EXPECT_NE(run.user.Read("Config/Config.ini").find("DoLogging: false"), std::string::npos);
    });
}

// A damaged Config.ini full of entries no variable takes: the good entries
// still apply, the bad ones are named a few at a time, and the log stays small.
TEST(ZBaseGameFirstRun, AConfigFileOfJunkDoesNotFloodTheLog) {
    RunInChild([] {
        GameRun run;
        std::string text = "DoLogging: true\r\nShowFPS: true\r\n";
        for (int i = 0; i < 50000; ++i) {
            text += "Junk" + std::to_string(i) + ": " + std::string(40, 'x') + "\r\n";
        }
        run.user.Write("Config/Config.ini", text);
        run.game->quitAfterFrames = 1;
        run.Run();

        EXPECT_TRUE(run.game->m_showFPS);
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_EQ(CountLines(log, "Config: no variable"), 20);
        EXPECT_EQ(CountLines(log, "Config: 49980 more entries without a variable dropped"), 1);
        EXPECT_LT(run.user.Read("Logs/Log.txt").size(), 200000u);
    });
}

}  // namespace
}  // namespace gametest
