#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZPlatformServices.h"
#include "game/progression/SpeedrunComponent.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

GhostFrame Frame(float time, float x, int32_t facing = 0, int32_t roomX = 0) {
    GhostFrame f;
    f.time = time;
    f.x = x;
    f.y = 100.0f;
    f.facing = facing;
    f.roomX = roomX;
    return f;
}

// A runner with a place and a facing, in a fresh user folder.
class SpeedrunTest : public ::testing::Test {
protected:
    void SetUp() override {
        spatial = AddComponent<ZSpatialComponent>(&runner);
        AddComponent<ZFacingComponent>(&runner)->facing = 1;
        speedrun = AddComponent<SpeedrunComponent>(&runner);
    }

    void Step(float x) {
        spatial->current.position = ZVector3{x, 100.0f, 0.0f};
        speedrun->Update(1.0f / 60.0f, 2);
    }
    // The course file's path on this system (the game's paths use '\\').
    static std::string CoursePath() {
        std::string path = GetGhostFilePath(H("Gallery"));
        for (char& c : path) {
            if (c == '\\') c = '/';
        }
        return path;
    }
    void WriteCourseFile(const std::string& bytes) {
        std::FILE* file = std::fopen(CoursePath().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    korvtest::TempDir documents;
    korvtest::TestAppInfo info{"Speedrun Test", false};
    korvtest::EngineTestEnv env{documents.Path(), &info};
    ZPlainEntity runner;
    ZSpatialComponent* spatial = nullptr;
    SpeedrunComponent* speedrun = nullptr;
};

}  // namespace

// Timer texts come from string files a mod may replace: only a format of
// three numbers is used, anything else gives the built-in one.
TEST_F(SpeedrunTest, TheTimerTextIsOnlyUsedAsAFormatWhenItIsSafe) {
    struct Case {
        const char* format;
        const char* shown;  // for 65.4321 s
    };
    const Case cases[] = {
        {"%d:%02d.%03d", "1:05.432"},
        {"%i min %02i s %03i", "1 min 05 s 432"},
        {"100%% %d:%d:%d", "100% 1:5:432"},
        {"%s:%d:%d", "01:05.432"},
        {"%d:%d", "01:05.432"},
        {"%d:%d:%d:%d", "01:05.432"},
        {"%n%d%d", "01:05.432"},
        {"%999999d%d%d", "01:05.432"},
        {"", "01:05.432"},
    };
    for (const Case& c : cases) {
        speedrun->SetTimerFormat(ZString(c.format));
        EXPECT_EQ(speedrun->FormatTimer(65.4321f), c.shown) << c.format;
    }
    speedrun->SetTimerFormat(ZString("%d:%02d.%03d"));
    EXPECT_EQ(speedrun->FormatTimer(3725.0f), "62:05.000") << "minutes grow past 59";
    EXPECT_EQ(speedrun->FormatTimer(-1.0f), "0:00.000");
}

TEST_F(SpeedrunTest, ARunIsRecordedOnlyWhileTheTimerRunsAndAfterAMove) {
    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_NE(speedrun->GetSessionGUID(), 0u);
    for (int i = 0; i < 30; ++i) Step(10.0f * i);
    EXPECT_TRUE(speedrun->GetRecording().empty()) << "the timer has not started";
    speedrun->SetCourseState(true, true, H("Gallery"));
    ASSERT_EQ(speedrun->GetRecording().size(), 1u) << "the start";
    EXPECT_EQ(speedrun->GetRecording()[0].time, 0.0f);
    for (int i = 0; i < 60; ++i) Step(290.0f);  // standing still
    EXPECT_EQ(speedrun->GetRecording().size(), 1u);
    for (int i = 0; i < 60; ++i) Step(290.0f + i);
    // One frame per tenth of a second at most.
    EXPECT_GE(speedrun->GetRecording().size(), 6u);
    EXPECT_LE(speedrun->GetRecording().size(), 11u);
    speedrun->AddDeath();
    EXPECT_EQ(speedrun->GetDeaths(), 1);
    EXPECT_EQ(speedrun->GetRecording().back().facing, 1);
}

// A committed run replays as a ghost frame for frame, and its file is the
// course's best time.
TEST_F(SpeedrunTest, ACommittedRunReplaysFrameForFrame) {
    speedrun->SetCourseState(true, true, H("Gallery"));
    for (int i = 0; i < 240; ++i) Step(static_cast<float>(i * i % 97));
    EXPECT_FALSE(speedrun->Commit()) << "the timer still runs";
    speedrun->SetCourseState(true, false, H("Gallery"));
    const float elapsed = speedrun->GetElapsed();
    EXPECT_TRUE(speedrun->IsNewBest()) << "no reference yet";
    ASSERT_TRUE(speedrun->Commit());
    EXPECT_FLOAT_EQ(speedrun->GetResultTime(H("Gallery")), elapsed);

    const GhostFileData file = ReadGhostFile(GetGhostFilePath(H("Gallery")));
    ASSERT_TRUE(file.valid);
    const std::vector<GhostFrame>& recorded = speedrun->GetRecording();
    ASSERT_EQ(file.frames.size(), recorded.size());
    speedrun->SetRace(file.frames);
    for (const GhostFrame& frame : recorded) {
        const SpeedrunComponent::Pose pose = speedrun->GhostPose(frame.time);
        EXPECT_FLOAT_EQ(pose.x, static_cast<float>(static_cast<int16_t>(frame.x))) << frame.time;
        EXPECT_FLOAT_EQ(pose.y, frame.y);
    }
    EXPECT_NEAR(ReadGhostBestTime(GetGhostFilePath(H("Gallery"))), elapsed, 0.001f);
    EXPECT_FALSE(speedrun->IsNewBest()) << "the same time is no new best";
}

TEST_F(SpeedrunTest, TheGhostIsPosedBetweenItsFrames) {
    speedrun->SetRace({Frame(0.0f, 0.0f, 0), Frame(1.0f, 10.0f, 0), Frame(2.0f, 20.0f, 1, 1)});
    SpeedrunComponent::Pose pose = speedrun->GhostPose(1.5f);
    EXPECT_FLOAT_EQ(pose.x, 15.0f);
    EXPECT_EQ(pose.facing, 1);
    EXPECT_EQ(pose.toX, 1);
    EXPECT_EQ(pose.fromX, 0);
    pose = speedrun->GhostPose(9.0f);
    EXPECT_FLOAT_EQ(pose.x, 20.0f) << "past the end: the last frame";
    speedrun->SetRace({Frame(1.0f, 0.0f), Frame(1.0f, 8.0f), Frame(2.0f, 8.0f)});
    EXPECT_FLOAT_EQ(speedrun->GhostPose(1.0f).x, 8.0f) << "equal times give the later frame";
    speedrun->SetRace({});
    EXPECT_FALSE(speedrun->GhostPose(1.0f).fromFrames);
}

// A missing, cut, foreign or old file has no time to give: the stored best
// stays as it was.
TEST_F(SpeedrunTest, TheBestTimeSurvivesABadGhostFile) {
    ZDefNode saved(H("Speedrun"));
    ZDefNode result(H("Result"));
    result.SetAttribute(H("CourseID"), ZString("Gallery"));
    result.SetAttribute(H("Elapsed"), ZString("50.000000"));
    saved.AddChild(result);
    speedrun->ReadDefinition(saved);
    ASSERT_FLOAT_EQ(speedrun->GetResultTime(H("Gallery")), 50.0f);

    const std::vector<uint8_t> good = EncodeGhostFile(40.0f, 2, {Frame(0.0f, 1.0f), Frame(40.0f, 2.0f)});
    const std::string bytes(good.begin(), good.end());
    struct Case {
        const char* what;
        std::string bytes;  // empty: no file
    };
    std::string old = bytes.substr(0, 8);
    old[4] = 1;
    old[6] = 0;  // version 1.0: no run time
    old += std::string("\x01\x00\x00\x00", 4) + bytes.substr(20, 12);
    const Case cases[] = {
        {"missing", ""},
        {"cut", bytes.substr(0, 10)},
        {"foreign", "MZ\x90\x00 this is not a ghost at all"},
        {"old", old},
    };
    for (const Case& c : cases) {
        std::remove(CoursePath().c_str());
        if (!c.bytes.empty()) WriteCourseFile(c.bytes);
        EXPECT_LT(speedrun->ReadGhostBestTime(H("Gallery")), 0.0f) << c.what;
        EXPECT_FLOAT_EQ(speedrun->GetResultTime(H("Gallery")), 50.0f) << c.what;
    }
    WriteCourseFile(bytes);
    EXPECT_FLOAT_EQ(speedrun->ReadGhostBestTime(H("Gallery")), 40.0f);
    EXPECT_FLOAT_EQ(speedrun->GetResultTime(H("Gallery")), 40.0f) << "a better file time is taken";
}

// The first look at a named course without a ghost file gives it an entry
// without a time; the file's time fills it later.
TEST_F(SpeedrunTest, AFirstLookAtACourseEntersItWithoutATime) {
    std::remove(CoursePath().c_str());
    EXPECT_LT(speedrun->ReadGhostBestTime(H("Gallery")), 0.0f);
    ASSERT_EQ(speedrun->GetResults().count(H("Gallery")), 1u);
    EXPECT_FLOAT_EQ(speedrun->GetResults().at(H("Gallery")).time, -1.0f);
    speedrun->ReadGhostBestTime(ZHashedString());
    speedrun->ReadGhostBestTime(H(""));
    EXPECT_EQ(speedrun->GetResults().size(), 1u) << "an unnamed course gets no entry";

    const std::vector<uint8_t> good = EncodeGhostFile(40.0f, 2, {Frame(0.0f, 1.0f), Frame(40.0f, 2.0f)});
    WriteCourseFile(std::string(good.begin(), good.end()));
    EXPECT_FLOAT_EQ(speedrun->ReadGhostBestTime(H("Gallery")), 40.0f);
    EXPECT_FLOAT_EQ(speedrun->GetResultTime(H("Gallery")), 40.0f);
}

TEST_F(SpeedrunTest, ARunInProgressSurvivesASaveAndLoad) {
    speedrun->SetCourseState(true, true, H("Gallery"));
    speedrun->GrantCoursePowerup(0x70001);
    for (int i = 0; i < 90; ++i) Step(3.0f * i);
    speedrun->AddDeath();
    ZDefNode parent;
    speedrun->SaveInto(parent);

    ZPlainEntity other;
    AddComponent<ZSpatialComponent>(&other);
    SpeedrunComponent* restored = AddComponent<SpeedrunComponent>(&other);
    restored->ReadDefinition(parent.FindChild(H("Speedrun")));
    EXPECT_TRUE(restored->IsOnCourse());
    EXPECT_TRUE(restored->IsTimerActive());
    EXPECT_NEAR(restored->GetElapsed(), speedrun->GetElapsed(), 1e-4f);
    EXPECT_EQ(restored->GetDeaths(), 1);
    EXPECT_EQ(restored->GetSessionGUID(), speedrun->GetSessionGUID());
    EXPECT_EQ(restored->GetCourse(), H("Gallery"));
    EXPECT_EQ(restored->GetRecording().size(), speedrun->GetRecording().size());
    bool has = false;
    EXPECT_TRUE(restored->HasCoursePowerup(0x70001, has));
    EXPECT_TRUE(has);

    // Off the course the saved progress answers.
    restored->SetCourseState(false, false, ZHashedString());
    EXPECT_FALSE(restored->HasCoursePowerup(0x70001, has));
    EXPECT_EQ(restored->GetSessionGUID(), 0u);
}

namespace {

class RecordingServices : public ZPlatformServices {
public:
    explicit RecordingServices(std::vector<std::string>* out) : m_out(out) {}
    void UnlockAchievement(ZHashedString id) override { m_out->emplace_back(id.GetText()); }

private:
    std::vector<std::string>* m_out;
};

}  // namespace

// The raced leaderboard ghost is beaten only when it is raced, has frames and
// its last frame is later than the run's time.
TEST_F(SpeedrunTest, BeatingTheLeaderboardGhostEarnsItsAchievement) {
    struct Case {
        const char* name;
        bool raced;
        std::vector<GhostFrame> race;
        bool earned;
        bool byNewBest = false;  // found by the new-best check, which runs the ghost check again
        bool finished = true;    // the timer stopped at the finish (else it still runs)
    };
    const Case cases[] = {
        {"beaten", true, {Frame(0.0f, 0.0f), Frame(100.0f, 50.0f)}, true},
        {"not raced", false, {Frame(0.0f, 0.0f), Frame(100.0f, 50.0f)}, false},
        {"no frames", true, {}, false},
        {"ghost was faster", true, {Frame(0.0f, 0.0f), Frame(0.5f, 50.0f)}, false},
        {"beaten, seen by the new-best check", true, {Frame(0.0f, 0.0f), Frame(100.0f, 50.0f)}, true, true},
        {"ghost was faster, seen by the new-best check", true, {Frame(0.0f, 0.0f), Frame(0.5f, 50.0f)}, false, true},
        {"beaten, seen by the new-best check before the finish", true, {Frame(0.0f, 0.0f), Frame(100.0f, 50.0f)},
         true, true, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> reported;
        SetPlatformServices(std::make_unique<RecordingServices>(&reported));
        speedrun->SetCourseState(true, true, H("Gallery"));
        for (int i = 0; i < 60; ++i) Step(static_cast<float>(i));
        if (c.finished) speedrun->SetCourseState(true, false, H("Gallery"));
        speedrun->SetRace(c.race);
        speedrun->RaceLeaderboardGhost(c.raced);
        if (c.byNewBest) {
            // No best time yet: a finished run is a new best; a running one is none.
            EXPECT_EQ(speedrun->IsNewBest(), c.finished) << c.name;
        } else {
            EXPECT_EQ(speedrun->CheckGhostAchievement(), c.earned) << c.name;
        }
        const bool has = std::find(reported.begin(), reported.end(), "ACH_SPEEDRUN_GHOST") != reported.end();
        EXPECT_EQ(has, c.earned) << c.name;
        DestroyPlatformServices();
    }
}
