// The Gallery course played as a player does, through the play harness: a run
// from the start line to the bell is committed as the course's ghost, and a
// second run on the same course races it (chosen as the leaderboard does),
// with the ghost standing exactly where the recorded run stood at every one
// of its frames.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/progression/Ghost.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

// In the course's hall, left of the start line.
PlaySetup Gallery(const std::string& documents) {
    PlaySetup setup;
    setup.documents = documents;
    setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 24, 24);
    // The course's boots, whether or not the course's own grant counts.
    setup.powerups = {0x20002};
    return setup;
}

// From the hall over the start line, across the spikes and the block, to the
// bell in the finish room.
const char* const kRun =
    "10 -\n"
    "90 right\n"
    "1 right jump\n"  // over the spikes, with the second jump at the top
    "25 right jump\n"
    "1 right\n"
    "1 right jump\n"
    "20 right jump\n"
    "97 right\n"
    "1 right jump\n"  // onto the block
    "14 right jump\n"
    "1 right\n"
    "1 right jump\n"
    "20 right jump\n"
    "258 right\n"  // through the finish room to the bell
    "20 -\n";

// What a frame left.
struct Step {
    float elapsed = 0.0f;
    bool onCourse = false;
    bool timer = false;
    int32_t roomX = 0;
    int32_t roomY = 0;
    ZVector3 player;
    bool ghost = false;
    ZVector3 ghostAt;
    bool ghostShown = false;
    int32_t ghostFacing = 0;
    size_t race = 0;
};

Step Read(Player& p) {
    Step s;
    const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
    if (speedrun == nullptr) return s;
    s.elapsed = speedrun->GetElapsed();
    s.onCourse = speedrun->IsOnCourse();
    s.timer = speedrun->IsTimerActive();
    s.roomX = KorvanthGame::Get()->GetMapData().currentRoomX;
    s.roomY = KorvanthGame::Get()->GetMapData().currentRoomY;
    s.player = GetComponent<ZSpatialComponent>(&p)->current.position;
    s.race = speedrun->GetRace().size();
    if (Ghost* const ghost = speedrun->GetGhost()) {
        s.ghost = true;
        s.ghostAt = GetComponent<ZSpatialComponent>(ghost)->current.position;
        s.ghostFacing = GetComponent<ZFacingComponent>(ghost)->facing;
        for (const auto& node : GetComponent<ZRenderableComponent>(ghost)->renderables) {
            s.ghostShown = s.ghostShown || node.value->visible;
        }
    }
    return s;
}

std::string Describe(const std::vector<Step>& steps) {
    std::string out;
    char line[200];
    for (size_t i = 0; i < steps.size(); i += 10) {
        const Step& s = steps[i];
        std::snprintf(line, sizeof line, "%zu room %d,%d at %.1f,%.1f course %d timer %d t %.3f ghost %d at %.1f,%.1f\n",
                      i, s.roomX, s.roomY, s.player.x, s.player.y, s.onCourse, s.timer, s.elapsed, s.ghost,
                      s.ghostAt.x, s.ghostAt.y);
        out += line;
    }
    return out;
}

bool SpeedrunBest() { return EvaluateExpressionText(ZString("speedrunbest"), 0, 0); }

// The course file's bytes become the raced "Leaderboard Ghost", as the
// leaderboard's race does, and the next course entry races them.
void ChooseCourseGhost(Player& p) {
    const std::vector<uint8_t> bytes = LoadGhostFileData(GetGhostFilePath(ZHashedString("Gallery")));
    ASSERT_FALSE(bytes.empty());
    std::string path = GetGhostFilePath(ZHashedString("Leaderboard Ghost"));
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    GetComponent<SpeedrunComponent>(&p)->RaceLeaderboardGhost(true);
}

}  // namespace

TEST(GhostRace, ACommittedRunIsRacedFrameForFrame) {
    // Each child starts this program anew: the shared user folder reaches
    // both through the environment.
    std::optional<korvtest::TempDir> shared;
    if (getenv("KORV_GHOST_RACE_DOCUMENTS") == nullptr) {
        shared.emplace();
        setenv("KORV_GHOST_RACE_DOCUMENTS", shared->Path().c_str(), 1);
    }
    const std::string documents = getenv("KORV_GHOST_RACE_DOCUMENTS");
    // The first run: recorded from the timer's start in the second room to
    // its stop in the finish room, committed at the bell.
    gametest::RunInChild([&documents] {
        PlaySetup setup = Gallery(documents);
        std::vector<Step> steps;
        bool bestBeforeBell = false;
        bool bestAfterBell = true;
        std::vector<GhostFrame> recorded;
        float finished = -1.0f;
        float result = -1.0f;
        std::string coursePath;  // the game's user folder, known while it runs
        setup.afterFrame = [&](Player& p, int32_t) {
            steps.push_back(Read(p));
            const Step& s = steps.back();
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            if (s.roomX == 17 && s.player.x < 20.0f) {
                bestBeforeBell = SpeedrunBest();
                recorded = speedrun->GetRecording();
                finished = s.elapsed;
            }
            if (s.roomX == 17 && s.player.x > 200.0f) bestAfterBell = SpeedrunBest();
            result = speedrun->GetResultTime(ZHashedString("Gallery"));
            coursePath = GetGhostFilePath(ZHashedString("Gallery"));
        };
        const auto r = RunPlay(setup, kRun);
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_FALSE(steps.empty());
        const Step& last = steps.back();
        ASSERT_EQ(last.roomX, 17) << "the finish room\n" << Describe(steps);
        EXPECT_GT(last.player.x, 200.0f) << "past the bell\n" << Describe(steps);
        EXPECT_TRUE(last.onCourse);
        EXPECT_FALSE(last.timer) << "the finish room stops the clock";
        EXPECT_FLOAT_EQ(last.elapsed, finished);
        EXPECT_GT(finished, 4.0f);
        EXPECT_FALSE(last.ghost) << "the ghost goes when the run finishes";
        EXPECT_TRUE(bestBeforeBell) << "no best time yet";
        EXPECT_FALSE(bestAfterBell) << "once committed, the same time is no new best";

        // Committed: the course's file holds the run, its time and frames.
        const GhostFileData file = ReadGhostFile(coursePath);
        ASSERT_TRUE(file.valid);
        EXPECT_EQ(file.runTimeMs, static_cast<uint32_t>(finished * 1000.0f));
        ASSERT_EQ(file.frames.size(), recorded.size());
        ASSERT_GT(recorded.size(), 30u);
        for (size_t i = 0; i < recorded.size(); ++i) {
            EXPECT_EQ(file.frames[i].time, recorded[i].time) << i;
            EXPECT_NEAR(file.frames[i].x, recorded[i].x, 0.5f) << i;
            EXPECT_NEAR(file.frames[i].y, recorded[i].y, 0.5f) << i;
            EXPECT_EQ(file.frames[i].roomX, recorded[i].roomX) << i;
        }
        EXPECT_NEAR(result, finished, 0.001f) << "the course's result (the file's whole milliseconds)";
    });

    // The second run races the first: the same inputs on the same course.
    gametest::RunInChild([&documents] {
        PlaySetup setup = Gallery(documents);
        setup.prepare = ChooseCourseGhost;
        std::vector<Step> steps;
        std::string racedPath;
        setup.afterFrame = [&](Player& p, int32_t) {
            steps.push_back(Read(p));
            racedPath = GetGhostFilePath(ZHashedString("Leaderboard Ghost"));
        };
        const auto r = RunPlay(setup, kRun);
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        const GhostFileData raced = ReadGhostFile(racedPath);
        ASSERT_TRUE(raced.valid);
        const std::vector<GhostFrame>& frames = raced.frames;
        ASSERT_GT(frames.size(), 30u);

        // Each recorded frame's time, with the pose a replay owes it there:
        // the last frame of that time.
        std::map<float, GhostFrame> owed;
        for (const GhostFrame& f : frames) owed[f.time] = f;
        std::map<float, int32_t> seen;
        for (const Step& s : steps) {
            if (!s.onCourse || !s.ghost || s.race == 0) continue;
            const auto it = owed.find(s.elapsed);
            if (it == owed.end()) continue;
            const GhostFrame& f = it->second;
            const float x = static_cast<float>((f.roomX - s.roomX) * 256) + f.x;
            const float y = static_cast<float>((f.roomY - s.roomY) * 224) + f.y;
            EXPECT_EQ(s.ghostAt.x, x) << "at " << s.elapsed << " s";
            EXPECT_EQ(s.ghostAt.y, y) << "at " << s.elapsed << " s";
            EXPECT_EQ(s.ghostFacing, f.facing) << "at " << s.elapsed << " s";
            EXPECT_TRUE(s.ghostShown) << "at " << s.elapsed << " s";
            ++seen[s.elapsed];
        }
        // Every frame was passed while the ghost raced, but the last: the
        // clock's stop at the finish, where the ghost goes.
        for (const auto& [time, frame] : owed) {
            if (time == frames.back().time) continue;
            EXPECT_GT(seen[time], 0) << "the frame at " << time << " s was never shown\n" << Describe(steps);
        }
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.back().elapsed, frames.back().time) << "the same inputs, the same time";
        EXPECT_FALSE(steps.back().ghost);
    });
    unsetenv("KORV_GHOST_RACE_DOCUMENTS");
}

// Running into the spikes on the course: the run counts the death and its
// ghost marks the moment, whatever the last frame's distance.
TEST(GhostRace, ADeathOnTheCourseIsCountedAndMarked) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 15, 3, 4, 24);
        struct Seen {
            bool dead = false;
            int32_t deaths = 0;
            float elapsed = 0.0f;
            bool marked = false;  // a frame of the run at this moment
        };
        std::vector<Seen> seen;
        setup.afterFrame = [&seen](Player& p, int32_t) {
            const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            Seen s;
            s.dead = p.IsDead();
            s.deaths = speedrun->GetDeaths();
            s.elapsed = speedrun->GetElapsed();
            for (const GhostFrame& f : speedrun->GetRecording()) s.marked = s.marked || f.time == s.elapsed;
            seen.push_back(s);
        };
        const auto r = RunPlay(setup, "10 -\n80 right\n10 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        size_t first = seen.size();
        for (size_t i = 0; i < seen.size(); ++i) {
            if (seen[i].dead) {
                first = i;
                break;
            }
        }
        ASSERT_LT(first, seen.size()) << "the spikes kill";
        EXPECT_EQ(seen[first - 1].deaths, 0);
        EXPECT_EQ(seen[first].deaths, 1);
        EXPECT_TRUE(seen[first].marked) << "a frame at " << seen[first].elapsed << " s";
        EXPECT_EQ(seen.back().deaths, 1) << "one death, counted once";
    });
}

// On the course the timer's text goes to the HUD font at (16, 16) on the game
// screen, white, every frame tick; a conversation hides it, the clock runs on.
TEST(GhostRace, TheTimerShowsOnTheCourseButNotOverADialog) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 15, 3, 4, 24);
        // A QuickStart leaves the course's clock stopped; set it going as the
        // room load does when the player crosses the start line.
        setup.prepare = [](Player& p) {
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            speedrun->SetCourseState(true, true, speedrun->GetCourse());
        };
        struct Drawn {
            std::vector<std::string> texts;
            float x = -1.0f;
            float y = -1.0f;
            bool white = false;
        };
        // The texts one frame tick of the component queues.
        const auto tick = [](SpeedrunComponent& speedrun) {
            Drawn d;
            ZFont* const font = KorvanthGame::Get()->GetHUDFont();
            font->ResetFrame();
            speedrun.Update(0.0f, 4);
            for (const ZTextRequest& request : font->GetRequests()) {
                // Each text comes after its black shadow.
                if (request.color == ZColor32(0, 0, 0, request.color.a)) continue;
                d.texts.emplace_back(font->GetStoredText(request), static_cast<size_t>(request.length));
                d.x = request.x;
                d.y = request.y;
                d.white = request.color == ZColor32(255, 255, 255, 255);
            }
            font->ResetFrame();
            return d;
        };
        Drawn shown;
        Drawn talking;
        std::string expected;
        float before = -1.0f;
        float after = -1.0f;
        setup.afterFrame = [&](Player& p, const int32_t frame) {
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            ZDialogConsumerComponent* const dialog = GetComponent<ZDialogConsumerComponent>(&p);
            if (frame == 30) {
                shown = tick(*speedrun);
                expected = speedrun->FormatTimer(speedrun->GetElapsed());
                before = speedrun->GetElapsed();
                // A conversation is open while the consumer has a speaker.
                dialog->provider = p.GetHandle();
                talking = tick(*speedrun);
            } else if (frame == 40) {
                after = speedrun->GetElapsed();
                dialog->provider = 0;
            }
        };
        const auto r = RunPlay(setup, "41 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_EQ(shown.texts.size(), 1u);
        EXPECT_EQ(shown.texts[0], expected);
        EXPECT_EQ(expected.size(), 9u) << "mm:ss.mmm from the string file: " << expected;
        EXPECT_FLOAT_EQ(shown.x, 16.0f);
        EXPECT_FLOAT_EQ(shown.y, 16.0f);
        EXPECT_TRUE(shown.white);
        EXPECT_TRUE(talking.texts.empty()) << "hidden while a dialog is open";
        EXPECT_GT(after, before) << "the clock runs on";
    });
}
