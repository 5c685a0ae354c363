// The Gallery course run after run, played through the play harness: only a
// faster run becomes the course's best (its time on the board and its ghost
// file), what one run takes is back for the next, and a death that sends the
// runner back to the hall leaves the course ready for a new run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/GhostFile.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/EntityState.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZFont.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

// The course's high-jump boots in its first timed room.
constexpr uint32_t kCourseBoots = 0x0c000020;

bool RoomHasEntity(const uint32_t guid) {
    for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
        const ZGUIDComponent* const id = GetComponent<ZGUIDComponent>(entity);
        if (id != nullptr && id->guid == guid) return true;
    }
    return false;
}

// In the course's hall, left of the start line.
PlaySetup Hall() {
    PlaySetup setup;
    setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 24, 24);
    return setup;
}

// Over the start line, across the spikes, a rest of `pause` frames on the
// clock once down on the floor (the runner stops at once, so every run goes
// on from the same standstill), onto the block and through the finish room
// to the bell.
std::string CourseScript(const int32_t pause) {
    return "10 -\n"
           "90 right\n"
           "1 right jump\n"  // over the spikes, with the second jump at the top
           "25 right jump\n"
           "1 right\n"
           "1 right jump\n"
           "20 right jump\n"
           "45 right\n" +
           std::to_string(pause) +
           " -\n"
           "56 right\n"
           "1 right jump\n"  // onto the block
           "14 right jump\n"
           "1 right\n"
           "1 right jump\n"
           "20 right jump\n"
           "258 right\n"  // through the finish room to the bell
           "20 -\n";
}

// The timer text one frame tick of the component draws.
std::string DrawnTimer(SpeedrunComponent& speedrun) {
    ZFont* const font = KorvanthGame::Get()->GetHUDFont();
    if (font == nullptr) return "";
    font->ResetFrame();
    speedrun.Update(0.0f, 4);
    std::string text;
    for (const ZTextRequest& request : font->GetRequests()) {
        // Each text comes after its black shadow.
        if (request.color == ZColor32(0, 0, 0, request.color.a)) continue;
        text.append(font->GetStoredText(request), static_cast<size_t>(request.length));
    }
    font->ResetFrame();
    return text;
}

}  // namespace

TEST(CourseRuns, OnlyAFasterRunReplacesTheBestTimeAndItsGhost) {
    // Each child starts this program anew: the shared user folder reaches
    // them all through the environment.
    std::optional<korvtest::TempDir> shared;
    if (getenv("KORV_COURSE_RUNS_DOCUMENTS") == nullptr) {
        shared.emplace();
        setenv("KORV_COURSE_RUNS_DOCUMENTS", shared->Path().c_str(), 1);
    }
    const std::string documents = getenv("KORV_COURSE_RUNS_DOCUMENTS");
    const struct Case {
        const char* what;
        int32_t pause;   // frames of rest on the clock
        bool faster;     // than the best so far
    } cases[] = {
        {"the first run", 70, true},
        {"a slower run", 130, false},
        {"a run faster than both", 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gametest::RunInChild([&documents, &c] {
            PlaySetup setup = Hall();
            setup.documents = documents;
            // The course's best as the board and the ghost file hold it.
            struct Best {
                bool file = false;
                uint32_t fileMs = 0;
                size_t frames = 0;
                int32_t boardMs = -1;  // the board's "Your Best" row
            };
            const auto readBest = [] {
                const std::string path = GetGhostFilePath(ZHashedString("Gallery"));
                const GhostFileData file = ReadGhostFile(path);
                const LeaderboardEntry row = LoadPersonalBestEntry(path, "Your Best");
                return Best{file.valid, file.runTimeMs, file.frames.size(),
                            row.rank >= 0 ? static_cast<int32_t>(row.score) : -1};
            };
            std::optional<Best> before;
            Best after;
            float time = -1.0f;
            float result = -1.0f;
            std::vector<GhostFrame> recorded;
            setup.afterFrame = [&](Player& p, int32_t) {
                if (!before) before = readBest();
                SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
                if (KorvanthGame::Get()->GetMapData().currentRoomX == 17 && !speedrun->IsTimerActive() &&
                    time < 0.0f) {
                    time = speedrun->GetElapsed();
                    recorded = speedrun->GetRecording();
                }
                result = speedrun->GetResultTime(ZHashedString("Gallery"));
                after = readBest();
            };
            const auto r = RunPlay(setup, CourseScript(c.pause));
            ASSERT_TRUE(r.error.empty()) << r.error;
            ASSERT_TRUE(r.started);
            ASSERT_TRUE(before.has_value());
            ASSERT_GT(time, 0.0f) << "the bell was reached";
            const uint32_t ms = static_cast<uint32_t>(time * 1000.0f);
            if (before->file) {
                // One second of rest apart, at the least.
                if (c.faster) {
                    ASSERT_LT(ms + 900, before->fileMs);
                } else {
                    ASSERT_GT(ms, before->fileMs + 900);
                }
            }
            if (c.faster) {
                EXPECT_EQ(after.fileMs, ms) << "the run's ghost";
                EXPECT_EQ(after.frames, recorded.size());
                EXPECT_EQ(after.boardMs, static_cast<int32_t>(ms)) << "Your Best";
                EXPECT_NEAR(result, time, 0.002f);
            } else {
                EXPECT_EQ(after.fileMs, before->fileMs) << "the ghost file is still the faster run's";
                EXPECT_EQ(after.frames, before->frames);
                EXPECT_EQ(after.boardMs, before->boardMs) << "Your Best";
                EXPECT_NEAR(result, static_cast<float>(before->fileMs) * 0.001f, 0.002f);
            }
        });
    }
    unsetenv("KORV_COURSE_RUNS_DOCUMENTS");
}

// The boots taken on one run, the bell rung, the pad back to the hall and
// over the start line again: the run held them from their pickup on, the
// campaign's stored progress never did (back in the hall after the bell
// neither), and the next run finds the boots where they were and starts
// without them.
TEST(CourseRuns, WhatARunTakesIsThereForTheNext) {
    gametest::RunInChild([] {
        PlaySetup setup = Hall();
        bool thereFirst = false;
        bool taken = false;
        bool goneInItsRun = false;
        bool storedEver = false;
        bool backInTheNext = false;
        bool heldAtTheNextStart = true;
        int32_t runsSeen = 0;
        int32_t lastRoom = 14;
        setup.afterFrame = [&](Player& p, int32_t) {
            const int32_t roomX = KorvanthGame::Get()->GetMapData().currentRoomX;
            if (roomX == 15 && lastRoom == 14) {
                ++runsSeen;
                if (runsSeen == 1) thereFirst = RoomHasEntity(kCourseBoots);
                if (runsSeen == 2) {
                    backInTheNext = RoomHasEntity(kCourseBoots);
                    heldAtTheNextStart = HasPowerup(p, 0x20001, false);
                }
            }
            // What the run holds (the course's set while on the course).
            if (roomX == 15 && runsSeen == 1 && !taken && HasPowerup(p, 0x20001, false)) taken = true;
            storedEver = storedEver || HasPowerup(p, 0x20001, true);
            // At the bell: the boots would not come back while this run lasts.
            if (roomX == 17 && runsSeen == 1 && taken) {
                goneInItsRun = !ShouldSpawnEntity(ZHashedString("QXV_EntInst_0c000020.zdd"));
            }
            lastRoom = roomX;
        };
        // A run, on to the pad behind the bell, then from the hall's arrival
        // over the start line into the course again.
        const auto r = RunPlay(setup, CourseScript(1) + "60 right\n90 -\n200 right\n30 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        EXPECT_TRUE(thereFirst);
        EXPECT_TRUE(taken) << "the run held the boots it took";
        EXPECT_TRUE(goneInItsRun) << "gone for the rest of the run";
        EXPECT_FALSE(storedEver) << "the campaign's stored powerups never held the course's boots (nor after the bell)";
        ASSERT_EQ(runsSeen, 2) << "the second run entered the course";
        EXPECT_TRUE(backInTheNext) << "the next run finds them again";
        EXPECT_FALSE(heldAtTheNextStart) << "and starts without them";
    });
}

// Killed on the course's spikes, the runner comes back in the hall, where the
// clock does not run: that run is over unfinished, and the clock shows the
// new run's zero until the start line is crossed again.
TEST(CourseRuns, ADeathThatSendsTheRunnerBackToTheHallLeavesTheClockAtZero) {
    gametest::RunInChild([] {
        PlaySetup setup = Hall();
        struct Seen {
            bool dead = false;
            int32_t roomX = 0;
            bool onCourse = false;
            bool timer = false;
            float elapsed = 0.0f;
            std::string drawn;
        };
        std::vector<Seen> seen;
        setup.afterFrame = [&seen](Player& p, int32_t) {
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            seen.push_back({p.IsDead(), KorvanthGame::Get()->GetMapData().currentRoomX, speedrun->IsOnCourse(),
                            speedrun->IsTimerActive(), speedrun->GetElapsed(), DrawnTimer(*speedrun)});
        };
        // Over the line and straight on into the spikes.
        const auto r = RunPlay(setup, "10 -\n115 right\n90 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        size_t died = seen.size();
        for (size_t i = 0; i < seen.size() && died == seen.size(); ++i) {
            if (seen[i].dead) died = i;
        }
        ASSERT_LT(died, seen.size()) << "the spikes kill";
        EXPECT_EQ(seen[died].roomX, 15);
        EXPECT_GT(seen[died].elapsed, 0.5f) << "on the clock";
        const Seen& back = seen.back();
        ASSERT_FALSE(back.dead);
        EXPECT_EQ(back.roomX, 14) << "back in the hall";
        EXPECT_TRUE(back.onCourse);
        EXPECT_FALSE(back.timer);
        EXPECT_EQ(back.elapsed, 0.0f);
        EXPECT_EQ(back.drawn, "00:00.000");
    });
}

// Each death on the course ends its run (the runner is back in the hall), so
// the course's status screen has no deaths of a run to show: its line names
// what it counts, the game's total, which two deaths in two runs raised.
TEST(CourseRuns, TheCoursesStatusScreenNamesItsDeathsAsTheGamesTotal) {
    gametest::RunInChild([] {
        PlaySetup setup = Hall();
        std::string text;
        int32_t deaths = -1;
        int32_t runDeaths = -1;
        bool onCourse = false;
        setup.afterFrame = [&](Player& p, int32_t) {
            const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&p);
            if (consumer != nullptr && consumer->provider != 0) text = consumer->text.GetText();
            deaths = GetDeathsCount(p);
            const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            onCourse = speedrun->IsOnCourse();
            runDeaths = speedrun->GetDeaths();
        };
        // Over the line into the spikes, twice; then Status (the pad's Back).
        const auto r = RunPlay(setup, "10 -\n115 right\n90 -\n115 right\n90 -\n1 pad-back\n20 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_EQ(deaths, 2) << "both runs ended in the spikes";
        EXPECT_TRUE(onCourse);
        EXPECT_EQ(runDeaths, 0) << "the run the screen opened in has none";
        EXPECT_EQ(text, "COURSE\n\nAll deaths 2");
    });
}
