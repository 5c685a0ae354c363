// The campaign's characters played in their own rooms: the merchants, the
// walking villagers and what lies where they walk.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogNode.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/progression/MinimapComponent.h"
#include "game/world/DoorTransition.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"
#include "menu/ZCinematicMgr.h"

namespace {

// The room's entities of that name that are still there (not taken).
int32_t LiveNamed(const char* name) {
    int32_t live = 0;
    for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
        const ZNameComponent* const named = GetComponent<ZNameComponent>(entity);
        const ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
        if (named == nullptr || named->name != ZHashedString(name)) continue;
        if (deletion != nullptr && (deletion->deleteMode != 0 || deletion->state != 0)) continue;
        ++live;
    }
    return live;
}

// The dialog the player is in: whose it is (its speaker's GUID) and the text
// keys of the options it offers.
struct Offer {
    uint32_t speaker = 0;
    std::vector<std::string> options;
};

Offer OfferedOptions(Player& player) {
    Offer offer;
    const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&player);
    const ZDialogProviderComponent* const provider = consumer != nullptr ? consumer->ResolveProvider() : nullptr;
    if (provider == nullptr) return offer;
    if (const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(provider->GetOwner())) offer.speaker = guid->guid;
    for (const auto& option : provider->options) {
        offer.options.push_back(option.node != nullptr ? option.node->text.GetText() : "");
    }
    return offer;
}

// The sunken halls' two merchants share one stock: what is bought at the west
// merchant is gone at the east one (in the halls' other area, past the red
// gate) when the player talks to him there.
TEST(CampaignCharacters, TheSecondMerchantOffersOnlyWhatTheFirstHasNotSold) {
    // Talk to the merchant in front of the player (the greeting typed out),
    // pick the option below the default (it wraps round to the first one),
    // and close his answer.
    const std::string buyFirst = "1 interact\n60 -\n1 down\n10 -\n1 return\n30 -\n1 return\n30 -\n";
    struct Case {
        const char* name;
        int32_t purchases;
        std::vector<std::string> offered;
    };
    const Case cases[] = {
        {"the key bought", 1, {"BuyPass", "Leave"}},
        {"the key and the pass bought", 2, {"Leave"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&] {
            playtest::PlaySetup setup;
            // At (40, 196) in the west hall, left of its merchant at (96, 196).
            setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 0, 0, 5, 24);
            std::string script = "10 -\n31 right\n10 -\n";
            for (int32_t i = 0; i < c.purchases; ++i) script += buyFirst;
            const int32_t bought = [&] {
                std::vector<playtest::PlayFrames> lines;
                std::string error;
                playtest::ParsePlayScript(script, lines, error);
                int32_t frames = 0;
                for (const playtest::PlayFrames& line : lines) frames += line.frames;
                return frames;
            }();
            // Then the same way up to the east hall's merchant at (64, 196),
            // five rooms east: a door's move takes the player into his area,
            // and it is put down there as far left of him as it stood of the
            // first.
            const int32_t arrived = bought + 45;
            script += "46 -\n31 right\n10 -\n1 interact\n60 -\n";
            Offer offered;
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                if (frame == bought - 1) {
                    GetCinematicMgr()->Play(new DoorTransition(ZHashedString("Sunken"), 5, 0,
                                                               ZHashedString("SunkenEast"), false),
                                            ZHashedString("Door Transition"), 0);
                }
                if (frame == arrived) {
                    // From the door's spot (40, 200) to x 8 of the room.
                    player.spatial->current.position.x -= 32.0f;
                    player.spatial->ResetInterpolation();
                }
                offered = OfferedOptions(player);
            };
            const playtest::PlayResult r = playtest::RunPlay(setup, script);
            ASSERT_TRUE(r.started) << r.error;
            EXPECT_EQ(offered.speaker, 0x327eb074u) << "talks to the east hall's merchant";
            EXPECT_EQ(offered.options, c.offered);
        });
    }
}

// The keeper of the spire's top floor wanders on his ledge, over the two
// gems that lie on it, for the first fifteen seconds while the player stands
// on the floor below. Only the player takes a gem: they all stay, and the
// map's count of the spire stays. Then the player walks over the two floor
// gems east of its spot, and the count rises by two.
TEST(CampaignCharacters, OnlyThePlayerTakesGemsAndTheCountCountsThem) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Spire", 1, 0, 5, 24);
        constexpr int32_t kWatched = 900;
        struct Seen {
            int32_t live = -1;
            GemCount count;
        };
        Seen start, watched, end;
        float keeperLeast = 1e9f;  // how far west and east he walked while watched
        float keeperMost = -1e9f;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            MinimapComponent* const minimap = GetComponent<MinimapComponent>(&player);
            Seen now;
            now.live = LiveNamed("Gem");
            if (minimap != nullptr) now.count = minimap->CountCurrentLocation();
            if (frame == 0) start = now;
            if (frame < kWatched) {
                watched = now;
                for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
                    const ZNameComponent* const named = GetComponent<ZNameComponent>(entity);
                    if (named != nullptr && named->name == ZHashedString("Keeper")) {
                        // In his room's terms.
                        const float x = std::fmod(GetComponent<ZSpatialComponent>(entity)->current.position.x, 256.0f);
                        keeperLeast = std::min(keeperLeast, x);
                        keeperMost = std::max(keeperMost, x);
                    }
                }
            }
            end = now;
        };
        const playtest::PlayResult r = playtest::RunPlay(setup, std::to_string(kWatched) + " -\n40 right\n30 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GT(start.count.total, 0);
        ASSERT_GT(start.live, 2);
        // His box (8 either side) over the ledge's gems at x = 52 and 84.
        EXPECT_LT(keeperLeast, 52.0f + 8.0f) << "the keeper walked over the west gem";
        EXPECT_GT(keeperMost, 84.0f - 8.0f) << "and over the east one";
        EXPECT_EQ(watched.live, start.live) << "no gem went while the keeper walked";
        EXPECT_EQ(watched.count.collected, start.count.collected);
        EXPECT_EQ(end.live, start.live - 2) << "the player took two";
        EXPECT_EQ(end.count.collected, start.count.collected + 2);
        EXPECT_EQ(end.count.total, start.count.total);
    });
}

// The spire's keeper wanders on his ledge; the player stands on it facing
// east. The prompt over him shows until a step on which he walks out of the
// player's reach, read from a first run without a press (his walk is drawn
// from his id, the same every run): in a second run a press of Interact on
// that step (the prompt was on the screen) opens the talk with him.
TEST(CampaignCharacters, InteractOpensTheTalkWhereThePromptShowedOverAWalkingCharacter) {
    constexpr int32_t kWatched = 900;
    const auto onTheLedge = [] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Spire", 1, 0, 9, 18);
        return setup;
    };
    // The first run hands the step on through a file in the test's folder
    // (the second child runs this body again up to its own run: the file is
    // not removed here).
    const std::string found = (std::filesystem::current_path() / "keeper_leaves.txt").string();
    gametest::RunInChild([&] {
        playtest::PlaySetup setup = onTheLedge();
        std::vector<uint32_t> targets;
        setup.afterFrame = [&](Player& player, int32_t) {
            const ZFrobComponent* const frob = GetComponent<ZFrobComponent>(&player);
            targets.push_back(frob != nullptr ? frob->target : 0u);
        };
        const playtest::PlayResult r = playtest::RunPlay(setup, std::to_string(kWatched) + " -\n");
        ASSERT_TRUE(r.started) << r.error;
        for (size_t i = 1; i < targets.size(); ++i) {
            if (targets[i - 1] != 0 && targets[i] == 0) {
                if (FILE* const f = std::fopen(found.c_str(), "w")) {
                    std::fprintf(f, "%zu\n", i);
                    std::fclose(f);
                }
                return;
            }
        }
        ADD_FAILURE() << "the keeper never walked out of the player's reach";
    });
    int32_t leaves = 0;
    if (FILE* const f = std::fopen(found.c_str(), "r")) {
        if (std::fscanf(f, "%d", &leaves) != 1) leaves = 0;
        std::fclose(f);
    }
    ASSERT_GT(leaves, 0);
    gametest::RunInChild([&] {
        playtest::PlaySetup setup = onTheLedge();
        std::vector<uint32_t> targets;
        std::vector<Offer> offers;
        setup.afterFrame = [&](Player& player, int32_t) {
            const ZFrobComponent* const frob = GetComponent<ZFrobComponent>(&player);
            targets.push_back(frob != nullptr ? frob->target : 0u);
            offers.push_back(OfferedOptions(player));
        };
        const playtest::PlayResult r =
            playtest::RunPlay(setup, std::to_string(leaves) + " -\n1 interact\n60 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_EQ(targets.size(), static_cast<size_t>(leaves + 61));
        EXPECT_NE(targets[leaves - 1], 0u) << "the prompt showed over him";
        EXPECT_EQ(offers[leaves - 1].speaker, 0u) << "no talk before the press";
        EXPECT_EQ(offers.back().speaker, 0x0c000019u) << "the press opened the talk with the keeper";
    });
}

}  // namespace
