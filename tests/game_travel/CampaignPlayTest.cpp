// The first playable slice, played as a player would: New Game starts the
// campaign, the player walks through the three rooms of the caverns' first
// area (the camera following inside its dead zone and within the area's
// bounds), goes through a door (the screen wipes) into the sunken halls,
// touches the checkpoint there and quits; the next start continues from the
// autosave in the same room with the same progress.

#include <algorithm>
#include <cmath>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/MenuScene.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"

namespace {

using namespace playtest;

// Where a run stands in its progress.
struct Progress {
    std::string map;
    int32_t room[2] = {0, 0};
    ZVector2 checkpoint;
    std::string checkpointMap;
    ZVector2 resume;
    int32_t deaths = -1;
    float playTime = 0.0f;
};

Progress Read(const Player& player) {
    Progress p;
    const KorvanthGame* const game = KorvanthGame::Get();
    p.map = game->GetCurrentMapName().GetText();
    p.room[0] = game->GetMapData().currentRoomX;
    p.room[1] = game->GetMapData().currentRoomY;
    GetCheckpointPosition(player, p.checkpoint, false);
    ZHashedString map;
    GetCheckpointMap(player, map, false);
    p.checkpointMap = map.GetTextOrEmpty();
    GetCheckpointPosition(player, p.resume, true);
    p.deaths = GetDeathsCount(player);
    p.playTime = GetPlayTimeSeconds(player);
    return p;
}

// A door of the sunken halls' entry, as a door's teleport hands it over.
RoomEdge DoorToTheSunkenHalls() {
    RoomEdge door;
    door.flagA = 1;
    door.hasNameA = 1;
    door.nameA = ZHashedString("Sunken");
    door.hasPointA = 1;
    door.hasNameB = 1;
    door.nameB = ZHashedString("SunkenEntry");
    return door;
}

// Over the pit of the first room, onto the platform above the spikes of the
// second, down beyond them and along the third room's floor.
const char* const kWalk =
    "20 -\n"
    "40 right\n"
    "40 right jump\n"
    "113 right\n"
    "30 right jump\n"
    "8 right\n"
    "1 -\n"
    "30 right jump\n"
    "118 right\n"
    "45 -            # through the door\n"
    "15 right        # onto the checkpoint\n"
    "40 -\n";

// The user's documents of both starts: each start runs in a child process
// of its own, as a player's would be, so the folder is named after the test's
// process, which both children know as their parent.
std::filesystem::path SharedDocuments(const pid_t testProcess) {
    return std::filesystem::temp_directory_path() / ("korv-campaign-play-" + std::to_string(testProcess));
}

TEST(CampaignPlay, NewGameWalksThroughRoomsAndADoorToACheckpointAndContinuesThere) {
    std::filesystem::remove_all(SharedDocuments(getpid()));
    gametest::RunInChild([&] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        std::filesystem::create_directories(documents);
        PlaySetup setup;
        setup.start = PlayStart::kNewGame;
        setup.documents = documents.string();
        Progress started;
        Progress quit;
        int32_t doorFrame = -1;
        bool wiped = false;
        setup.prepare = [&](Player& player) { started = Read(player); };
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            // The door of the third room (the door's own component stands in
            // here: the player enters it where it stands).
            if (doorFrame < 0 && player.spatial->current.position.x >= 590.0f) {
                doorFrame = frame;
                TransitionToRoom(player, player.spatial->current.position, ZVector3(), DoorToTheSunkenHalls(), true,
                                 0, 0, 0, 0);
            }
            wiped = wiped || GetMenuScene().wipeVisible;
            quit = Read(player);
        };
        const PlayResult first = RunPlay(setup, kWalk);
        ASSERT_TRUE(first.started) << first.error;
        EXPECT_EQ(started.map, "Caverns");
        EXPECT_EQ(started.room[0], 0);
        EXPECT_EQ(first.samples.front().position.x, 40.0f) << "the campaign's first checkpoint";

        // The caverns' first area is three rooms wide: the room stays the
        // first one while the player walks on, and the camera follows within
        // the dead zone, never showing beyond the area.
        float furthestCamera = 0.0f;
        for (const PlaySample& s : first.samples) {
            if (doorFrame >= 0 && s.frame >= doorFrame) break;
            EXPECT_EQ(s.roomX, 0) << s.frame;
            EXPECT_FALSE(s.dead) << s.frame;
            EXPECT_GE(s.camera.x, 128.0f) << s.frame;
            EXPECT_LE(s.camera.x, 640.0f) << s.frame;
            EXPECT_EQ(s.camera.y, 112.0f) << s.frame;
            if (s.camera.x > 128.0f) {
                EXPECT_LE(std::fabs(s.camera.x - s.position.x), 12.0f + 6.0f) << s.frame;
            }
            furthestCamera = std::max(furthestCamera, s.camera.x);
        }
        EXPECT_GT(furthestCamera, 512.0f) << "the camera panned into the third room";
        ASSERT_GE(doorFrame, 0) << "the player reached the door";
        EXPECT_TRUE(wiped) << "the door wiped the screen";

        // Through the door: the sunken halls' entry, and the checkpoint touched.
        EXPECT_EQ(quit.map, "Sunken");
        EXPECT_EQ(quit.room[0], 0);
        EXPECT_EQ(quit.room[1], 0);
        EXPECT_EQ(quit.checkpointMap, "Sunken");
        EXPECT_EQ(quit.checkpoint.x, 40.0f) << "the checkpoint's place";
        EXPECT_EQ(quit.checkpoint.y, 196.0f);
        EXPECT_EQ(quit.deaths, 0);
        // Where the player stood at the end, for the next start to compare.
        std::ofstream(documents / "resume.txt") << quit.resume.x << " " << quit.resume.y;
    });
    gametest::RunInChild([&] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        ZVector2 resume;
        std::ifstream(documents / "resume.txt") >> resume.x >> resume.y;
        EXPECT_GT(resume.y, 150.0f) << "the player was saved standing in the sunken halls";
        PlaySetup setup;
        setup.documents = documents.string();
        setup.start = PlayStart::kContinue;
        Progress continued;
        setup.prepare = [&](Player& player) { continued = Read(player); };
        const PlayResult second = RunPlay(setup, "60 -\n");
        ASSERT_TRUE(second.started) << second.error;
        EXPECT_EQ(continued.map, "Sunken");
        EXPECT_EQ(continued.room[0], 0);
        EXPECT_EQ(continued.room[1], 0);
        EXPECT_EQ(continued.checkpointMap, "Sunken");
        EXPECT_EQ(continued.checkpoint.x, 40.0f) << "the checkpoint touched before";
        EXPECT_EQ(continued.checkpoint.y, 196.0f);
        EXPECT_EQ(continued.deaths, 0);
        EXPECT_GT(continued.playTime, 5.0f) << "the play time carried over";
        EXPECT_NEAR(second.samples.front().position.x, resume.x, 1.0f) << "where the run was saved";
        EXPECT_NEAR(second.samples.front().position.y, resume.y, 1.0f);
        EXPECT_FALSE(second.samples.back().dead);
    });
    std::filesystem::remove_all(SharedDocuments(getpid()));
}

}  // namespace
