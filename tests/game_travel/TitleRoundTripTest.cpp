// Back to the title and on again through the real start-up: what the title's
// reset forgets, what a pickup leaves in the saved state through Quit to
// Title and Continue (in the same run and after a restart), and what the
// game's shutdown saves.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZGUIDComponent.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZStateStore.h"
#include "framework_game/RunScenarios.h"
#include "game/components/GroupStore.h"
#include "game/menus/GameFlow.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "menu/PauseMenu.h"
#include "menu/ZMenuMgr.h"
#include "support/PlayHarness.h"

namespace {

using namespace playtest;

// Spire (1, 1): the yellow aura's pickup, and the powerup it gives.
constexpr uint32_t kAuraPickup = 0x0c000025;
constexpr uint32_t kYellowAura = 0x10004;

bool RoomHasEntity(const KorvanthGame& game, const uint32_t guid) {
    for (KorvEntity* const entity : game.GetRoomEntities()) {
        const ZGUIDComponent* const id = GetComponent<ZGUIDComponent>(entity);
        if (id != nullptr && id->guid == guid) return true;
    }
    return false;
}

// An entity's saved record says it is gone for good.
bool RecordedDead(const ZDefNode& record) {
    static const ZHashedString kDelete("Delete");
    static const ZHashedString kDead("Dead");
    for (const ZDefNode& child : record.children) {
        if (child.name == kDelete && child.GetAttribute(kDead) == "true") return true;
    }
    return false;
}

// The user's documents of both runs of a test: each runs in a child of its
// own, so the folder is named after the test's process, their parent.
std::filesystem::path SharedDocuments(const pid_t testProcess) {
    return std::filesystem::temp_directory_path() / ("korv-title-" + std::to_string(testProcess));
}

std::filesystem::path AutosaveFile(const std::filesystem::path& documents) {
    return documents / "My Games" / KorvanthGame::kTitle / "Saves" / "autosave.zsd";
}

TEST(TitleRoundTrip, APickupTakenStaysGoneThroughQuitToTitleAndContinue) {
    std::filesystem::remove_all(SharedDocuments(getpid()));
    // Fallen onto the aura, the pause menu's Quit to Title, then the title's
    // Continue in the same run.
    gametest::RunInChild([] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        std::filesystem::create_directories(documents);
        PlaySetup setup;
        setup.documents = documents.string();
        setup.quickStart = PlaySetup::QuickStartAt("Spire", 1, 1, 25, 21);
        int32_t takenAt = -1;
        bool deadWhenContinuing = false;
        bool seenAgain = false;
        bool playingAgain = false;
        bool keptAfterContinue = false;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            KorvanthGame* const game = KorvanthGame::Get();
            if (takenAt < 0) {
                if (HasPowerup(player, kYellowAura, true) && !RoomHasEntity(*game, kAuraPickup)) takenAt = frame;
                return;
            }
            if (frame == takenAt + 5) PauseMenu::OnConfirmReset(nullptr);
            if (frame == takenAt + 40) {
                StartFromTitle(true);
                // Continue has read the saved state back: the room is made from it.
                deadWhenContinuing = RecordedDead(GetStateStore()->Get(kAuraPickup));
            }
            if (frame > takenAt + 40) {
                seenAgain = seenAgain || RoomHasEntity(*game, kAuraPickup);
                if (gameflow::IsGameInProgress() && GetMenuMgr()->GetOpenMenuCount() == 0 && !playingAgain) {
                    playingAgain = true;
                    keptAfterContinue = HasPowerup(player, kYellowAura, true);
                }
            }
        };
        const PlayResult r = RunPlay(setup, "300 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GE(takenAt, 0) << "the player fell onto the aura";
        EXPECT_TRUE(deadWhenContinuing) << "the saved state knows the pickup was taken";
        EXPECT_FALSE(seenAgain) << "the pickup is not in the room again";
        ASSERT_TRUE(playingAgain) << "Continue went back to play";
        EXPECT_TRUE(keptAfterContinue) << "the powerup is kept";
    });
    // A new process continues from what the first one left.
    gametest::RunInChild([] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        std::ifstream in(AutosaveFile(documents), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ZStateStore saved;
        ASSERT_TRUE(saved.LoadBytes(bytes.data(), bytes.size()));
        EXPECT_TRUE(RecordedDead(saved.Get(kAuraPickup))) << "the file knows the pickup was taken";

        PlaySetup setup;
        setup.documents = documents.string();
        setup.start = PlayStart::kContinue;
        bool there = true;
        bool kept = false;
        setup.prepare = [&](Player& player) {
            there = RoomHasEntity(*KorvanthGame::Get(), kAuraPickup);
            kept = HasPowerup(player, kYellowAura, true);
        };
        const PlayResult r = RunPlay(setup, "5 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_FALSE(there);
        EXPECT_TRUE(kept);
    });
    std::filesystem::remove_all(SharedDocuments(getpid()));
}

// The title's reset on its own (the pause menu's way back also ends the run,
// which clears the seed by itself): the group values and the seed go.
TEST(TitleRoundTrip, TheTitlesResetForgetsTheGroupValuesAndTheSeed) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Caverns", 0, 0, 16, 14);
        bool randomizedBefore = false;
        uint32_t valuesBefore = 0;
        bool randomizedAfter = true;
        bool worldAfter = true;
        uint32_t valuesAfter = 1;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            KorvanthGame* const game = KorvanthGame::Get();
            ZDataComponent* const groups = game->GetGroupStore()->GetData();
            if (frame == 1) {
                ASSERT_TRUE(game->QuickStart("Korvanth.kdd", "Caverns", 0, 0, 16, 14, true, "KQTBZMRW"));
                groups->SetDatum(ZHashedString("GROUP_Sluice_Open"), ZDatumEntry::Bool(true));
                randomizedBefore = FindPlayerRandomizer()->IsRandomized();
                valuesBefore = groups->GetValues().Count();
            }
            if (frame == 3) {
                game->OnTitleMenuOpened(nullptr);
                valuesAfter = groups->GetValues().Count();
                randomizedAfter = FindPlayerRandomizer()->IsRandomized();
                worldAfter = !GetRandomizerWorldTable().empty();
            }
        };
        const PlayResult r = RunPlay(setup, "5 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_TRUE(randomizedBefore);
        ASSERT_GT(valuesBefore, 0u);
        EXPECT_EQ(valuesAfter, 0u) << "the group values are forgotten";
        EXPECT_FALSE(randomizedAfter) << "the title plays the shipped world";
        EXPECT_FALSE(worldAfter) << "the seed's world is gone";
    });
}

// A run that ends before anything was saved (the player never stood
// anywhere safe, so even the exit's autosave writes nothing): the shutdown
// still leaves the player's and the group store's records in the store.
TEST(TitleRoundTrip, ShutdownSavesThePlayerAndTheGroupStoreAsTheyGo) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = {"................................", "...............P................"};
        bool playerSaved = false;
        bool groupsSaved = false;
        setup.atShutdown = [&] {
            playerSaved = GetStateStore()->Has(Player::kGUID);
            groupsSaved = GetStateStore()->Has(GroupStore::kGUID);
        };
        const PlayResult r = RunPlay(setup, "3 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_TRUE(playerSaved);
        EXPECT_TRUE(groupsSaved);
    });
}

}  // namespace
