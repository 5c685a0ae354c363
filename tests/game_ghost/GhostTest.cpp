// The speedrun ghost on its own: where the raced run's pose puts it, when it
// shows, which sheet frame it draws, and when the speedrun component makes
// and deletes it.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/progression/Ghost.h"
#include "game/progression/SpeedrunComponent.h"
#include "renderer/ZRenderable.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

GhostFrame Frame(float time, float x, int32_t facing = 2, int32_t roomX = 0, int32_t roomY = 0) {
    GhostFrame f;
    f.time = time;
    f.x = x;
    f.y = 100.0f;
    f.facing = facing;
    f.roomX = roomX;
    f.roomY = roomY;
    return f;
}

bool Shown(Ghost& ghost) {
    const ZRenderableComponent* const renderable = GetComponent<ZRenderableComponent>(&ghost);
    if (renderable == nullptr) return false;
    bool shown = false;
    for (const auto& node : renderable->renderables) shown = shown || (node.value != nullptr && node.value->visible);
    return shown;
}

// A runner with a place and a facing, in a fresh user folder.
class GhostTest : public ::testing::Test {
protected:
    void SetUp() override {
        spatial = AddComponent<ZSpatialComponent>(&runner);
        spatial->current.position = ZVector3{40.0f, 60.0f, 0.0f};
        AddComponent<ZFacingComponent>(&runner)->facing = ZFacingComponent::kTowardsMinusX;
        speedrun = AddComponent<SpeedrunComponent>(&runner);
    }

    void Run(float seconds) {
        for (float t = 0.0f; t < seconds; t += 1.0f / 60.0f) speedrun->Update(1.0f / 60.0f, 2);
    }

    korvtest::TempDir documents;
    korvtest::TestAppInfo info{"Ghost Test", false};
    korvtest::EngineTestEnv env{documents.Path(), &info};
    ZPlainEntity runner;
    ZSpatialComponent* spatial = nullptr;
    SpeedrunComponent* speedrun = nullptr;
};

// The map of these cases: rooms (0, 0) to (2, 1), the player in (0, 0).
const SpeedrunComponent::RoomView kView{0, 0, 0, 0, 3, 2};

}  // namespace

TEST_F(GhostTest, ThePoseOfTheRacedRunPlacesTheGhost) {
    struct Case {
        const char* name;
        std::vector<GhostFrame> race;
        float time;
        SpeedrunComponent::RoomView view;
        float x;
        float y;
        int32_t facing;
        bool shown;
    };
    const std::vector<GhostFrame> line = {Frame(0.0f, 0.0f), Frame(1.0f, 10.0f), Frame(2.0f, 20.0f, 1)};
    const Case cases[] = {
        {"halfway through the second segment", line, 1.5f, kView, 15.0f, 100.0f, 1, true},
        {"before halfway: the earlier frame's facing", line, 1.25f, kView, 12.5f, 100.0f, 2, true},
        {"on a frame", line, 1.0f, kView, 10.0f, 100.0f, 2, true},
        {"past the last frame: stays there", line, 9.0f, kView, 20.0f, 100.0f, 1, true},
        {"two frames at one time: the later one",
         {Frame(1.0f, 0.0f), Frame(1.0f, 8.0f), Frame(2.0f, 8.0f)}, 1.0f, kView, 8.0f, 100.0f, 2, true},
        {"one frame", {Frame(3.0f, 33.0f, 1)}, 0.5f, kView, 33.0f, 100.0f, 1, true},
        {"the room to the right is 256 further right",
         {Frame(0.0f, 10.0f, 2, 1), Frame(2.0f, 30.0f, 2, 1)}, 1.0f, kView, 256.0f + 20.0f, 100.0f, 2, true},
        {"a segment into the next room crosses the boundary where the runner did",
         {Frame(0.0f, 250.0f, 2, 0), Frame(2.0f, 6.0f, 2, 1)}, 1.0f, kView, 256.0f, 100.0f, 2, true},
        {"the room below is 224 further down",
         {Frame(0.0f, 10.0f, 2, 0, 1), Frame(2.0f, 10.0f, 2, 0, 1)}, 1.0f, kView, 10.0f, 324.0f, 2, true},
        {"seen from another room",
         {Frame(0.0f, 10.0f), Frame(2.0f, 10.0f)}, 1.0f, {2, 1, 0, 0, 3, 2}, 10.0f - 512.0f, 100.0f - 224.0f, 2,
         true},
        {"a room outside the map hides it",
         {Frame(0.0f, 10.0f, 2, 3), Frame(2.0f, 10.0f, 2, 3)}, 1.0f, kView, 768.0f + 10.0f, 100.0f, 2, false},
        {"coming from outside the map hides it",
         {Frame(0.0f, 10.0f, 2, -1), Frame(2.0f, 10.0f, 2, 0)}, 1.0f, kView, -118.0f, 100.0f, 2, false},
        {"nothing raced: on the player, hidden", {}, 1.0f, kView, 40.0f, 60.0f, 1, false},
    };
    for (const Case& c : cases) {
        speedrun->SetCourseState(true, true, H("Gallery"));
        Ghost* const ghost = speedrun->GetGhost();
        ASSERT_NE(ghost, nullptr) << c.name;
        ZSpatialComponent* const place = GetComponent<ZSpatialComponent>(ghost);
        ASSERT_NE(place, nullptr);
        place->previous.position = ZVector3{-999.0f, -999.0f, 0.0f};
        speedrun->SetRace(c.race);
        speedrun->AdvanceTimer(c.time);
        speedrun->UpdateGhostPose(*place, c.view);
        EXPECT_FLOAT_EQ(place->current.position.x, c.x) << c.name;
        EXPECT_FLOAT_EQ(place->current.position.y, c.y) << c.name;
        EXPECT_EQ(place->current.position.z, 0.0f) << c.name;
        EXPECT_EQ(GetComponent<ZFacingComponent>(ghost)->facing, c.facing) << c.name;
        EXPECT_EQ(Shown(*ghost), c.shown) << c.name;
        // Straight to the pose at its size, with nothing to blend from.
        EXPECT_EQ(place->current.scale.x, 16.0f) << c.name;
        EXPECT_EQ(place->current.scale.y, 24.0f) << c.name;
        for (const ZSpatialState* state : {&place->previous, &place->previousInterpolated, &place->interpolated}) {
            EXPECT_EQ(state->position.x, place->current.position.x) << c.name;
            EXPECT_EQ(state->position.y, place->current.position.y) << c.name;
        }
        speedrun->SetCourseState(false, false, ZHashedString());
    }
}

// A ghost without an owner has nothing to show and stays where it is.
TEST_F(GhostTest, AGhostWithoutOwnerIsLeftAlone) {
    Ghost ghost;
    ZSpatialComponent* const place = GetComponent<ZSpatialComponent>(&ghost);
    place->current.position = ZVector3{5.0f, 6.0f, 0.0f};
    ghost.PostUpdate(1.0f / 60.0f, 2);
    EXPECT_EQ(place->current.position.x, 5.0f);
    EXPECT_FALSE(Shown(ghost)) << "hidden until posed";
    EXPECT_EQ(GetComponent<ZFacingComponent>(&ghost)->facing, ZFacingComponent::kTowardsPlusX);
}

// Three frames a quarter of the sheet wide, six a second, cycling; the row
// halfway down for facing left.
TEST(GhostSheet, TheFrameFollowsTheClockAndTheFacing) {
    struct Case {
        float time;
        int32_t facing;
        float u;
        float v;
    };
    const Case cases[] = {
        {0.0f, 2, 0.0f, 0.0f},     {0.17f, 2, 0.25f, 0.0f},  {0.34f, 2, 0.5f, 0.0f}, {0.5f, 2, 0.0f, 0.0f},
        {0.17f, 1, 0.25f, 0.5f},   {10.0f, 1, 0.0f, 0.5f},   {0.34f, 0, 0.5f, 0.0f}, {-3.0f, 2, 0.0f, 0.0f},
        {1.0e12f, 2, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        float u = -1.0f;
        float v = -1.0f;
        Ghost::SelectFrame(c.time, c.facing, u, v);
        EXPECT_FLOAT_EQ(u, c.u) << c.time << " facing " << c.facing;
        EXPECT_FLOAT_EQ(v, c.v) << c.time << " facing " << c.facing;
    }
}

// The ghost lives while a run is on: made on entering a course (and on a
// restored run), gone when the course is left, when the run finishes with a
// time, and replaced by a fresh one on a reset.
TEST_F(GhostTest, TheComponentMakesAndDeletesItsGhost) {
    EXPECT_EQ(speedrun->GetGhost(), nullptr);
    speedrun->SetCourseState(true, false, H("Gallery"));
    ASSERT_NE(speedrun->GetGhost(), nullptr) << "entering the course";
    EXPECT_EQ(speedrun->GetGhost()->GetOwner(), speedrun);
    EXPECT_FALSE(Shown(*speedrun->GetGhost())) << "nothing raced";

    speedrun->SetCourseState(true, true, H("Gallery"));
    EXPECT_NE(speedrun->GetGhost(), nullptr) << "the timer starts";
    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_NE(speedrun->GetGhost(), nullptr) << "a run of no time has not finished";

    speedrun->SetCourseState(true, true, H("Gallery"));
    Run(1.0f);
    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_EQ(speedrun->GetGhost(), nullptr) << "the finish";
    EXPECT_GT(speedrun->GetElapsed(), 0.0f) << "the time stays for the best and the commit";

    const uint32_t run = speedrun->GetSessionGUID();
    speedrun->ResetRun();
    EXPECT_NE(speedrun->GetGhost(), nullptr) << "a fresh run";
    EXPECT_EQ(speedrun->GetElapsed(), 0.0f);
    EXPECT_NE(speedrun->GetSessionGUID(), run);
    EXPECT_TRUE(speedrun->IsOnCourse());

    speedrun->SetCourseState(false, false, ZHashedString());
    EXPECT_EQ(speedrun->GetGhost(), nullptr) << "leaving the course";
    speedrun->ResetRun();
    EXPECT_EQ(speedrun->GetGhost(), nullptr) << "a reset off the course stays off it";

    // A run restored from a save gets its ghost; the component's end takes it.
    speedrun->SetCourseState(true, true, H("Gallery"));
    Run(0.5f);
    ZDefNode parent;
    speedrun->SaveInto(parent);
    ZPlainEntity other;
    AddComponent<ZSpatialComponent>(&other);
    SpeedrunComponent* const restored = AddComponent<SpeedrunComponent>(&other);
    restored->ReadDefinition(parent.FindChild(H("Speedrun")));
    ASSERT_NE(restored->GetGhost(), nullptr);
    EXPECT_EQ(restored->GetGhost()->GetOwner(), restored);
}

// With the leaderboard ghost chosen, entering the course races its file; the
// ghost then shows.
TEST_F(GhostTest, EnteringTheCourseRacesTheLeaderboardGhost) {
    const std::vector<GhostFrame> chosen = {Frame(0.0f, 20.0f), Frame(5.0f, 220.0f)};
    ASSERT_TRUE(WriteGhostFile(GetGhostFilePath(H("Leaderboard Ghost")), 5.0f, 0, chosen));

    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_TRUE(speedrun->GetRace().empty()) << "not chosen";
    speedrun->SetCourseState(false, false, ZHashedString());

    speedrun->RaceLeaderboardGhost(true);
    speedrun->SetCourseState(true, false, H("Gallery"));
    ASSERT_EQ(speedrun->GetRace(), chosen);
    speedrun->SetCourseState(true, true, H("Gallery"));
    speedrun->AdvanceTimer(2.5f);
    Ghost* const ghost = speedrun->GetGhost();
    ASSERT_NE(ghost, nullptr);
    ZSpatialComponent* const place = GetComponent<ZSpatialComponent>(ghost);
    speedrun->UpdateGhostPose(*place, kView);
    EXPECT_FLOAT_EQ(place->current.position.x, 120.0f);
    EXPECT_TRUE(Shown(*ghost));

    // A reset keeps racing it: the fresh run reads the file again.
    speedrun->ResetRun();
    EXPECT_EQ(speedrun->GetRace(), chosen);

    // A missing or foreign file races nothing.
    for (const char* bytes : {"", "not a ghost file, only words"}) {
        std::string path = GetGhostFilePath(H("Leaderboard Ghost"));
        for (char& ch : path) {
            if (ch == '\\') ch = '/';
        }
        std::remove(path.c_str());
        if (*bytes != 0) {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            std::fputs(bytes, file);
            std::fclose(file);
        }
        speedrun->ResetRun();
        EXPECT_TRUE(speedrun->GetRace().empty()) << bytes;
        ASSERT_NE(speedrun->GetGhost(), nullptr);
        speedrun->UpdateGhostPose(*GetComponent<ZSpatialComponent>(speedrun->GetGhost()), kView);
        EXPECT_FALSE(Shown(*speedrun->GetGhost())) << bytes;
    }
}
