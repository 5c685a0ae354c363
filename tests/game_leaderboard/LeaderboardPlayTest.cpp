// The leaderboard as a player meets it, through the play harness in the
// campaign's speedrun hall (the Gallery course's start, where its board
// stands): a run of the course is committed, the board is used, the
// personal best is listed; answering no to the race keeps the list, answering
// yes races it: the course's ghost file becomes the leaderboard ghost byte for
// byte, the menus close and the run starts again at the course's start with
// that ghost as the race.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/LeaderboardMenu.h"
#include "game/player/Player.h"
#include "game/progression/GhostFile.h"
#include "game/progression/SpeedrunComponent.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "support/PlayHarness.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

// What the menus and the course show after a frame.
struct Seen {
    int32_t frame = 0;
    uint32_t menus = 0;
    bool leaderboard = false;  // the leaderboard is on top
    bool question = false;     // the race question is on top
    std::string questionText;  // as its label shows it
    int32_t selected = -1;
    std::vector<LeaderboardEntry> rows;
    std::string rowText;  // item 6's text
    bool onCourse = false;
    bool timerActive = false;
    float elapsed = 0.0f;
    uint32_t session = 0;
    bool raceLoaded = false;  // last frame only
    float raceX = 0.0f;       // the race's pose at course time 0
};

Seen Look(Player& player, const int32_t frame) {
    Seen seen;
    seen.frame = frame;
    const ZMenuMgr* menus = PeekMenuMgr();
    ZMenu* top = menus != nullptr ? menus->GetTopMenu() : nullptr;
    seen.menus = menus != nullptr ? menus->GetOpenMenuCount() : 0;
    if (const auto* board = dynamic_cast<LeaderboardMenu*>(top)) {
        seen.leaderboard = true;
        seen.rows = board->GetRows();
        if (const ZMenuItem* item = board->GetItem(LeaderboardMenu::kFirstRow)) seen.rowText = item->GetText().GetText();
    }
    if (const auto* question = dynamic_cast<ConfirmationMenu*>(top)) {
        seen.question = true;
        if (question->descriptionLabel != nullptr) seen.questionText = question->descriptionLabel->GetText().GetText();
    }
    seen.selected = top != nullptr ? top->selectedIndex : -1;
    if (SpeedrunComponent* speedrun = GetComponent<SpeedrunComponent>(&player)) {
        seen.onCourse = speedrun->IsOnCourse();
        seen.timerActive = speedrun->IsTimerActive();
        seen.elapsed = speedrun->GetElapsed();
        seen.session = speedrun->GetSessionGUID();
    }
    return seen;
}

}  // namespace

TEST(LeaderboardPlay, ACommittedRunIsListedAndRacedAsTheLeaderboardGhost) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);  // beside the board, facing it
        std::vector<Seen> seen;
        uint32_t committedMs = 0;
        std::vector<GhostFrame> committedFrames;
        std::vector<uint8_t> courseBytes;
        std::vector<uint8_t> raceBytes;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            SpeedrunComponent* speedrun = GetComponent<SpeedrunComponent>(&player);
            ASSERT_NE(speedrun, nullptr);
            if (frame == 0) {
                // The hall is on the course with its clock stopped: start it,
                // as the start line does.
                speedrun->SetCourseState(true, true, ZHashedString("Gallery"));
            } else if (frame == 40) {
                // Stop it, as the finish does, and commit as the bell does.
                speedrun->SetCourseState(true, false, ZHashedString("Gallery"));
                RunCommandText("speedruncommit", player.GetHandle(), 0);
                committedMs = static_cast<uint32_t>(speedrun->GetElapsed() * 1000.0f);
                committedFrames = speedrun->GetRecording();
            }
            seen.push_back(Look(player, frame));
            if (frame == 299) {
                const SpeedrunComponent::Pose pose = speedrun->GhostPose(0.0f);
                seen.back().raceLoaded = pose.fromFrames;
                seen.back().raceX = pose.x;
                courseBytes = LoadGhostFileData(GetGhostFilePath(ZHashedString("Gallery")));
                raceBytes = LoadGhostFileData(GetGhostFilePath(ZHashedString("Leaderboard Ghost")));
            }
        };
        const auto r = RunPlay(setup,
                               "15 left\n"     // a short run: there and back
                               "15 right\n"
                               "15 -\n"        // frame 40: finished and committed
                               "1 interact\n"  // frame 45: the board
                               "39 -\n"
                               "1 return\n"    // frame 85: the personal best
                               "34 -\n"
                               "1 return\n"    // frame 120: "No"
                               "39 -\n"
                               "1 return\n"    // frame 160: the question again
                               "34 -\n"
                               "1 left\n"      // frame 195: to "Yes"
                               "4 -\n"
                               "1 return\n"    // frame 200: race it
                               "99 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_EQ(seen.size(), 300u);
        ASSERT_GT(committedMs, 0u);
        ASSERT_GE(committedFrames.size(), 2u) << "the run moved: frames were recorded";

        EXPECT_EQ(seen[44].menus, 0u);
        const Seen& listed = seen[84];
        ASSERT_TRUE(listed.leaderboard) << "the board opens the course's leaderboard";
        ASSERT_EQ(listed.rows.size(), 1u);
        EXPECT_EQ(listed.rows[0].name, "Your Best");
        EXPECT_EQ(listed.rows[0].rank, 0);
        EXPECT_NEAR(static_cast<double>(listed.rows[0].score), committedMs, 1.0);
        EXPECT_EQ(listed.rowText.rfind("Your Best  .", 0), 0u) << listed.rowText;
        const std::string time = LeaderboardMenu::TimeText(listed.rows[0].score).GetText();
        EXPECT_EQ(listed.rowText.substr(listed.rowText.size() - time.size()), time) << listed.rowText;
        EXPECT_EQ(listed.selected, LeaderboardMenu::kFirstRow) << "the first row is selected";

        ASSERT_TRUE(seen[119].question) << "Accept on the row asks whether to race it";
        EXPECT_EQ(seen[119].selected, 1) << "the question starts on No";
        // Two lines, as the string file breaks them.
        const std::string& asked = seen[119].questionText;
        EXPECT_EQ(asked.find('\\'), std::string::npos) << asked;
        EXPECT_NE(asked.find("?\nYou"), std::string::npos) << asked;
        const Seen& back = seen[159];
        ASSERT_TRUE(back.leaderboard) << "No returns to the list";
        ASSERT_EQ(back.rows.size(), 1u) << "with its rows read again";
        EXPECT_EQ(back.rowText, listed.rowText);
        EXPECT_EQ(back.menus, 1u);

        ASSERT_TRUE(seen[194].question);
        EXPECT_EQ(seen[196].selected, 0) << "left moves to Yes";
        const uint32_t sessionBefore = seen[199].session;
        const Seen& raced = seen[299];
        EXPECT_EQ(raced.menus, 0u) << "every menu closed";
        ASSERT_FALSE(courseBytes.empty());
        EXPECT_EQ(raceBytes, courseBytes) << "Leaderboard_Ghost.kgd is the course's file byte for byte";
        EXPECT_TRUE(raced.onCourse);
        EXPECT_FALSE(raced.timerActive) << "back at the course's start, before its line";
        EXPECT_NE(raced.session, sessionBefore) << "a new run";
        EXPECT_LT(raced.elapsed, 0.001f);
        ASSERT_TRUE(raced.raceLoaded) << "the run races the chosen ghost";
        EXPECT_NEAR(raced.raceX, committedFrames.front().x, 0.5f);
        EXPECT_EQ(r.samples.back().roomX, 14);
        EXPECT_EQ(r.samples.back().roomY, 3);
        EXPECT_NEAR(r.samples.back().position.x, 40.0f, 8.0f) << "at the course's start (GalleryIntro)";
    });
}

// The course file comes from the user's folder and may be anything: the board
// still opens, a file that is not a whole ghost lists nothing (and is left as
// it was), an old-format file lists its last frame's time.
TEST(LeaderboardPlay, TheBoardListsOnlyWhatTheCourseFileReallyHolds) {
    const auto u16 = [](std::vector<uint8_t>& out, const uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto u32 = [](std::vector<uint8_t>& out, const uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
    };
    std::vector<uint8_t> old{'.', 'k', 'g', 'd'};  // version 1.0: no run time, two frames
    u16(old, 1);
    u16(old, 0);
    u32(old, 2);
    for (const float time : {0.0f, 12.3456f}) {
        uint32_t bits = 0;
        std::memcpy(&bits, &time, sizeof bits);
        u32(old, bits);
        for (int i = 0; i < 8; ++i) old.push_back(0);
    }
    const std::vector<uint8_t> whole = EncodeGhostFile(20.0f, 1, {});
    std::vector<uint8_t> counted(whole.begin(), whole.begin() + 16);  // the header before the count
    u32(counted, 1000);  // frames the file does not hold
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;  // empty: no file
        size_t rows;
        uint32_t score;
    };
    const Case cases[] = {
        {"no file", {}, 0, 0},
        {"a picture", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'}, 0, 0},
        {"a cut header", {'.', 'k', 'g', 'd', 1, 0, 1}, 0, 0},
        {"an old file", old, 1, 12345},
        {"a count past its frames", counted, 1, 20000},
    };
    for (const Case& c : cases) {
        // The board's collision shape is found afresh in a process of its own.
        gametest::RunInChild([&c] {
            PlaySetup setup;
            setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
            Seen listed;
            std::vector<uint8_t> after;
            const std::string path = GetGhostFilePath(ZHashedString("Gallery"));
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                if (frame == 0 && !c.bytes.empty()) {
                    ASSERT_TRUE(WriteGhostFileData(GetGhostFilePath(ZHashedString("Gallery")), c.bytes));
                }
                if (frame == 44) {
                    listed = Look(player, frame);
                    after = LoadGhostFileData(GetGhostFilePath(ZHashedString("Gallery")));
                }
            };
            const auto r = RunPlay(setup, "5 -\n1 interact\n39 -\n");
            ASSERT_TRUE(r.error.empty()) << c.what << ": " << r.error;
            ASSERT_TRUE(listed.leaderboard) << c.what;
            ASSERT_EQ(listed.rows.size(), c.rows) << c.what;
            if (c.rows == 0) {
                EXPECT_EQ(listed.selected, 0) << c.what << ": Back is selected";
            } else {
                EXPECT_EQ(listed.rows[0].score, c.score) << c.what;
            }
            EXPECT_EQ(after, c.bytes) << c.what << ": the file is left as it was";
        });
    }
}

// The course file went away after the list was read: the race is nothing,
// and an older leaderboard ghost is not raced in its place.
TEST(LeaderboardPlay, RacingACourseFileThatWentAwayRacesNoGhost) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
        const ZHashedString course("Gallery");
        const ZHashedString race("Leaderboard Ghost");
        std::vector<Seen> seen;
        bool raceFileThere = false;
        std::vector<uint8_t> raceBytes{1};
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame == 0) {
                const std::vector<GhostFrame> frames(2, GhostFrame{1.0f, 14, 3, 100.0f, 200.0f, 1});
                ASSERT_TRUE(WriteGhostFile(GetGhostFilePath(course), 30.0f, 0, frames));
                ASSERT_TRUE(WriteGhostFile(GetGhostFilePath(race), 10.0f, 0, frames));
            } else if (frame == 44) {
                ASSERT_EQ(os::DeleteFile(GetGhostFilePath(course)), 0);
            }
            seen.push_back(Look(player, frame));
            if (frame == 139) {
                seen.back().raceLoaded = GetComponent<SpeedrunComponent>(&player)->GhostPose(0.0f).fromFrames;
                raceFileThere = os::Exists(os::TranslatePath(GetGhostFilePath(race)));
                raceBytes = LoadGhostFileData(GetGhostFilePath(race));
            }
        };
        const auto r = RunPlay(setup,
                               "5 -\n"
                               "1 interact\n"  // frame 5: the board
                               "39 -\n"
                               "1 return\n"    // frame 45: the question
                               "34 -\n"
                               "1 left\n"      // frame 80: Yes
                               "4 -\n"
                               "1 return\n"    // frame 85: race
                               "54 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_EQ(seen.size(), 140u);
        ASSERT_EQ(seen[43].rows.size(), 1u) << "the list was read while the file was there";
        ASSERT_TRUE(seen[79].question);
        EXPECT_EQ(seen[139].menus, 0u);
        EXPECT_TRUE(raceFileThere);
        EXPECT_TRUE(raceBytes.empty()) << "the race is the course's file as it is now: none";
        EXPECT_TRUE(seen[139].onCourse);
        EXPECT_FALSE(seen[139].raceLoaded) << "no ghost is raced";
    });
}
