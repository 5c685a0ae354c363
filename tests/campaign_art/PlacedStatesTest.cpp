// The placed entities' pictures follow their state in play: a pulled lever
// shows thrown, and shows thrown again when its room is made anew (its group
// remembers); a checkpoint the player reaches lights its lantern.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "entity/ZAnimComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZNameComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"

namespace {

// The room's entity of that name (names are hashed without regard to case).
KorvEntity* Named(const char* name) {
    for (KorvEntity* entity : KorvanthGame::Get()->GetRoomEntities()) {
        const ZNameComponent* named = GetComponent<ZNameComponent>(entity);
        if (named != nullptr && named->name == ZHashedString(name)) return entity;
    }
    return nullptr;
}

// The sequence its picture shows, lower-cased ("" without one).
std::string Showing(const char* name) {
    KorvEntity* entity = Named(name);
    const ZAnimComponent* anim = entity != nullptr ? GetComponent<ZAnimComponent>(entity) : nullptr;
    std::string text = anim != nullptr ? anim->currentSequence.GetTextOrEmpty() : "";
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(PlacedStates, APulledLeverShowsThrownAndStaysSoWhenItsRoomIsMadeAgain) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStart();
        setup.quickStart->map = "Sunken";
        // The sluice's lever stands at the foot of the shaft into the flooded
        // halls: the player wears what keeps it alive there.
        setup.quickStart->roomX = 5;
        setup.quickStart->roomY = 1;
        setup.powerups = {kPowerupSwimSuit};
        std::string before, pulled, remade;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame == 1) {
                before = Showing("Lever");
                KorvEntity* lever = Named("Lever");
                ASSERT_NE(lever, nullptr);
                ZFrobComponent* frob = GetComponent<ZFrobComponent>(lever);
                ASSERT_NE(frob, nullptr);
                ZDefinedComponent::FireEvent(frob, ZHashedString("OnFrobbed"), frob->GetHandle(), player.GetHandle());
            } else if (frame == 3) {
                pulled = Showing("Lever");
                KorvanthGame::Get()->LoadRoom();
                KorvanthGame::Get()->LoadEntityInstances(false);
            } else if (frame == 6) {
                remade = Showing("Lever");
            }
        };
        const auto r = playtest::RunPlay(setup, "8 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        EXPECT_EQ(before, "off");
        EXPECT_EQ(pulled, "on");
        EXPECT_EQ(remade, "on") << "the group remembers the lever was pulled";
    });
}

TEST(PlacedStates, ACheckpointLightsWhenThePlayerReachesIt) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStart();
        setup.quickStart->map = "Sunken";
        // Far from the hall's checkpoint (40, 196), then walking to it: one
        // room east, since the hall's own debug start stands on the checkpoint.
        setup.quickStart->roomX = 1;
        setup.quickStart->tileX = 3;
        setup.quickStart->tileY = 24;
        std::string before, after;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 1) before = Showing("Checkpoint");
            // Walking on past it leads out of the room: the last seen counts.
            if (const std::string now = Showing("Checkpoint"); !now.empty()) after = now;
        };
        const auto r = playtest::RunPlay(setup, "2 -\n300 left\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        EXPECT_EQ(before, "unlit");
        EXPECT_EQ(after, "lit");
    });
}

}  // namespace
