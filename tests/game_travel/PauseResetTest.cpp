// The pause menu's reset in a randomized game: the player goes back to the
// overworld's intro marker, keeping what was collected, and that place
// becomes the continue point.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZNameComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

namespace {

using namespace playtest;

TEST(PauseReset, PutsThePlayerAtTheOverworldsIntroMarkerAndSavesThere) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        PlaySetup setup;
        setup.documents = documents.Path().string();
        setup.quickStart = PlaySetup::QuickStart();
        setup.quickStart->map = "Caverns";
        setup.quickStart->roomX = 1;
        setup.quickStart->roomY = 0;
        setup.powerups = {kPowerupDoubleJump};
        std::string map;
        int32_t room[2] = {-1, -1};
        ZVector3 position;
        bool keptBoots = false;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 4) return;
            KorvanthPauseMenu::ResetToOverworldStart();
            const KorvanthGame* game = KorvanthGame::Get();
            map = game->GetCurrentMapName().GetText();
            room[0] = game->GetMapData().currentRoomX;
            room[1] = game->GetMapData().currentRoomY;
            position = GetComponent<ZSpatialComponent>(&player)->current.position;
            keptBoots = HasPowerup(player, kPowerupDoubleJump, false);
        };
        const PlayResult r = RunPlay(setup, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(map, "Overworld Map");
        EXPECT_EQ(room[0], 0);
        EXPECT_EQ(room[1], 0);
        // The overworld's "FromIntro" marker stands at (40, 120).
        EXPECT_FLOAT_EQ(position.x, 40.0f);
        EXPECT_NEAR(position.y, 120.0f, 16.0f);
        EXPECT_TRUE(keptBoots) << "collected items stay";
        EXPECT_EQ(r.samples.back().roomX, 0);

        std::ifstream save(documents.Path() / "My Games" / KorvanthGame::kTitle / "Saves" / "autosave.zsd",
                           std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
        EXPECT_NE(bytes.find("Overworld Map"), std::string::npos) << "the reset is the continue point";
    });
}

// The marker may be any live entity: one the game's own list holds (an
// effect, or one a script made) counts as a room's does, and the last wins.
// The player lands there at rest, with nothing left to blend from where it was.
TEST(PauseReset, FindsTheIntroMarkerAmongEveryLiveEntityAndSettlesThePlayerThere) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        PlaySetup setup;
        setup.documents = documents.Path().string();
        setup.quickStart = PlaySetup::QuickStart();
        setup.quickStart->map = "Caverns";
        setup.quickStart->roomX = 1;
        setup.quickStart->roomY = 0;
        ZSpatialState current;
        ZSpatialState copies[3];  // previous, previous interpolated, interpolated
        bool reset = false;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 4) return;
            auto* const marker = new ZEntity();
            ::AddComponent<ZSpatialComponent>(marker)->current.position = ZVector3(200.0f, 96.0f, 0.0f);
            ::AddComponent<ZNameComponent>(marker)->name = ZHashedString("FromIntro");
            KorvanthGame::Get()->GetEntityList().PushBack(marker);  // the game deletes it
            KorvanthPauseMenu::ResetToOverworldStart();
            const ZSpatialComponent* const at = GetComponent<ZSpatialComponent>(&player);
            current = at->current;
            copies[0] = at->previous;
            copies[1] = at->previousInterpolated;
            copies[2] = at->interpolated;
            reset = true;
        };
        const PlayResult r = RunPlay(setup, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_TRUE(reset);
        EXPECT_FLOAT_EQ(current.position.x, 200.0f) << "the game's list is searched after the room's";
        EXPECT_FLOAT_EQ(current.position.y, 96.0f) << "nothing to settle on in the overworld";
        EXPECT_EQ(current.velocity, ZVector3());
        for (const ZSpatialState& copy : copies) EXPECT_EQ(copy.position, current.position) << "no slide";
        EXPECT_FLOAT_EQ(r.samples.back().position.x, 200.0f);
    });
}

TEST(PauseReset, WithoutAPlayerNothingMoves) {
    KorvanthPauseMenu::ResetToOverworldStart();  // no game at all: no crash
}

}  // namespace
