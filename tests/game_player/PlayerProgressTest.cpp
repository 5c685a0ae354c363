#include <gtest/gtest.h>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/DoorComponent.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game_player/PlayerFixture.h"

using playertest::PlayerTest;

namespace {

bool Tier(const Player& player, const char* key) {
    ZDatumEntry entry;
    return GetComponent<ZDataComponent>(const_cast<Player*>(&player))->GetDatum(ZHashedString(key), entry) &&
           entry.value.boolValue;
}

}  // namespace

TEST_F(PlayerTest, AFreshPlayerStandsAtTheScreenCentreFacingRightWithDefaultProgress) {
    EXPECT_EQ(player->spatial->current.position, ZVector3(128.0f, 112.0f, 0.0f));
    EXPECT_EQ(player->spatial->previous.position, player->spatial->current.position) << "nothing to interpolate";
    EXPECT_FALSE(player->facingLeft);
    EXPECT_FALSE(player->IsDead());
    EXPECT_EQ(player->physics->maxJumps, 1);
    EXPECT_FALSE(player->physics->wallJumping);
    EXPECT_EQ(GetComponent<ZGUIDComponent>(player)->guid, 0x80000001u);
    EXPECT_EQ(player->collision->primitives.Count(), 2u) << "the box and the frob point";
    // What the player faces is found by sweeping that point: for frob targets
    // with their mask, for doors with theirs.
    const ZFrobComponent* frob = GetComponent<ZFrobComponent>(player);
    ASSERT_NE(frob, nullptr);
    EXPECT_EQ(frob->reach, 20.0f);
    EXPECT_EQ(frob->primitiveKey, ZHashedString("FrobSweep"));
    EXPECT_EQ(frob->filterMask, 0x100000u);
    const DoorComponent* door = GetComponent<DoorComponent>(player);
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->sweepShape, ZHashedString("FrobSweep"));
    EXPECT_EQ(door->doorMask, 0x80000u);
    const auto* point = player->collision->primitives.Find(ZHashedString("FrobSweep").GetId());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->value->filterMask, 0u);
    EXPECT_EQ(player->spatial->current.scale, ZVector3(16.0f, 24.0f, 1.0f));

    for (const bool quick : {false, true}) {
        ZVector2 position;
        GetCheckpointPosition(*player, position, quick);
        EXPECT_EQ(position.x, 128.0f);
        EXPECT_EQ(position.y, 112.0f);
        ZHashedString map;
        GetCheckpointMap(*player, map, quick);
        EXPECT_EQ(map, ZHashedString("NULL"));
        int32_t room[2] = {7, 7};
        GetCheckpointRoom(*player, room, quick);
        EXPECT_EQ(room[0], 0);
        EXPECT_EQ(room[1], 0);
    }
    for (const uint32_t id : {0x10001u, 0x20002u, 0x30001u, 0x60001u, 0x90001u}) {
        EXPECT_FALSE(HasPowerup(*player, id, true)) << std::hex << id;
    }
    EXPECT_FALSE(Tier(*player, "Tier1Purchased"));
    EXPECT_EQ(GetDeathsCount(*player), 0);
}

TEST_F(PlayerTest, GettersFallBackToTheirDefaultsOneDatumAtATime) {
    ZDataComponent* data = GetComponent<ZDataComponent>(player);
    data->ClearData();
    data->AddDatum(ZHashedString("CheckpointPositionX"));
    data->UpdateDatum(ZHashedString("CheckpointPositionX"), ZDatumEntry::Float(40.0f));
    ZVector2 position;
    GetCheckpointPosition(*player, position, false);
    EXPECT_EQ(position.x, 40.0f);
    EXPECT_EQ(position.y, 112.0f);
    ZHashedString campaign;
    GetCheckpointCampaign(*player, campaign);
    EXPECT_EQ(campaign, ZHashedString("NULL"));
    EXPECT_EQ(GetPlayTimeSeconds(*player), 0.0f);
    EXPECT_FALSE(GetEnteredCode(*player));

    // The campaign is read from the resume point's key only.
    SetCheckpointCampaign(*player, ZHashedString("Plain"), false);
    GetCheckpointCampaign(*player, campaign);
    EXPECT_EQ(campaign, ZHashedString("NULL"));
    SetCheckpointCampaign(*player, ZHashedString("Resume"), true);
    GetCheckpointCampaign(*player, campaign);
    EXPECT_EQ(campaign, ZHashedString("Resume"));
}

TEST_F(PlayerTest, BootsGiveASecondJumpAndTakingThemAwayKeepsWhatIsLeft) {
    ZPhysicsComponent* physics = player->physics;
    // Mid-air with no jump left: the boots add one for the grown maximum and
    // one for the pickup, each clamped to 2.
    physics->jumpsLeft = 0;
    SetPowerup(*player, kPowerupDoubleJump, true);
    EXPECT_EQ(physics->maxJumps, 2);
    EXPECT_EQ(physics->jumpsLeft, 2);
    physics->jumpsLeft = 1;
    SetPowerup(*player, kPowerupDoubleJump, true);
    EXPECT_EQ(physics->jumpsLeft, 2) << "no more than the maximum";

    physics->jumpsLeft = 2;
    SetPowerup(*player, kPowerupDoubleJump, false);
    EXPECT_EQ(physics->maxJumps, 1);
    // The refresh leaves the count; the pickup's extra jump is clamped to the new maximum.
    EXPECT_EQ(physics->jumpsLeft, 1);

    SetPowerup(*player, kPowerupClimbingGloves, true);
    EXPECT_TRUE(physics->wallJumping);
    EXPECT_EQ(PowerupKey(0x30001), ZHashedString("Powerup_00030001"));
}

TEST_F(PlayerTest, ResetProgressForgetsTheRunButNotAnEnteredCode) {
    SetAllPowerups(*player, true);
    SetDeathsCount(*player, 9);
    SetCheckpointMap(*player, ZHashedString("Caverns"), false);
    EXPECT_TRUE(HasPowerup(*player, 0x90001, true));
    EXPECT_FALSE(HasPowerup(*player, 0x10003, true)) << "the green aura is not in the list";

    SetEnteredCode(*player, true);
    ResetProgress(*player);
    EXPECT_FALSE(GetEnteredCode(*player)) << "the datum went with the reset; the flag was clear";
    EXPECT_FALSE(HasPowerup(*player, 0x90001, true));
    EXPECT_EQ(GetDeathsCount(*player), 0);
    ZHashedString map;
    GetCheckpointMap(*player, map, false);
    EXPECT_EQ(map, ZHashedString("NULL"));

    player->codeEntered = true;
    SetEnteredCode(*player, false);
    ResetProgress(*player);
    EXPECT_TRUE(GetEnteredCode(*player)) << "the player's flag survives";
    SetEnteredCode(*player, false);
    ApplyLoadedProgress(*player);
    EXPECT_TRUE(GetEnteredCode(*player));
}

TEST_F(PlayerTest, LoadedProgressSetsTheTiersFromTheKeyAndThePass) {
    ApplyLoadedProgress(*player);
    EXPECT_FALSE(Tier(*player, "Tier1Purchased"));
    SetPowerup(*player, kPowerupMasterKey, true);
    SetPowerup(*player, kPowerupStyxPass, true);
    ApplyLoadedProgress(*player);
    EXPECT_TRUE(Tier(*player, "Tier1Purchased"));
    EXPECT_TRUE(Tier(*player, "Tier2Purchased"));
    // Only existing keys are written.
    GetComponent<ZDataComponent>(player)->ClearData();
    SetPowerup(*player, kPowerupMasterKey, true);
    ApplyLoadedProgress(*player);
    EXPECT_FALSE(GetComponent<ZDataComponent>(player)->HasDatum(ZHashedString("Tier1Purchased")));
}

TEST_F(PlayerTest, ResetPlayerClosesAnOpenDialogAndArmsTheWallStick) {
    ZDialogConsumerComponent* consumer = GetComponent<ZDialogConsumerComponent>(player);
    consumer->provider = player->GetHandle();  // a conversation with itself is open
    player->deathTimer = 0.5f;
    player->facingLeft = true;
    player->roomConditions[1] = true;
    ResetPlayer(*player);
    EXPECT_EQ(consumer->provider, 0u);
    EXPECT_EQ(player->wallStickTimer, 0.15f);
    EXPECT_FALSE(player->inPlay);
    EXPECT_FALSE(player->IsDead());
    EXPECT_FALSE(player->facingLeft);
    EXPECT_FALSE(player->roomConditions[1]);
    EXPECT_EQ(player->overworldFacing.y, 1.0f);
}

// A new game keeps nothing of the run before: no course powerup, no coffee,
// and a randomized game made afterwards uses the present algorithm.
TEST_F(PlayerTest, ResetPlayerEndsTheRunsCoursePowerupsCoffeeAndOldAlgorithm) {
    SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(player);
    speedrun->SetCourseState(true, true, ZHashedString("Gallery"));
    speedrun->GrantCoursePowerup(kPowerupDoubleJump);
    ASSERT_TRUE(HasPowerup(*player, kPowerupDoubleJump, false));
    CoffeeComponent* const coffee = GetComponent<CoffeeComponent>(player);
    coffee->StartCoffee();
    ASSERT_GT(coffee->timer, 0.0f);
    RandomizerComponent* const randomizer = GetComponent<RandomizerComponent>(player);
    randomizer->SetAlgorithmVersion(12);  // as a game saved by an older build loads
    ResetPlayer(*player);
    EXPECT_FALSE(HasPowerup(*player, kPowerupDoubleJump, false)) << "the course's powerup is gone";
    EXPECT_EQ(player->physics->maxJumps, 1);
    EXPECT_EQ(coffee->timer, 0.0f);
    EXPECT_EQ(coffee->boost, 0.0f);
    EXPECT_EQ(randomizer->GetAlgorithmVersion(), RandomizerComponent::kAlgorithmVersion);
}

TEST_F(PlayerTest, ARandomizedRunKeepsItsTiersWhateverKeyAndPassItHolds) {
    RandomizerComponent* const randomizer = GetComponent<RandomizerComponent>(player);
    ASSERT_TRUE(randomizer->Setup(true, ZString("TIERS")));
    SetPowerup(*player, kPowerupMasterKey, true);
    SetPowerup(*player, kPowerupStyxPass, true);
    ApplyLoadedProgress(*player);
    EXPECT_FALSE(Tier(*player, "Tier1Purchased"));
    EXPECT_FALSE(Tier(*player, "Tier2Purchased"));
    // Back to a plain run: the key and the pass set them.
    randomizer->Setup(false, ZString());
    ApplyLoadedProgress(*player);
    EXPECT_TRUE(Tier(*player, "Tier1Purchased"));
    EXPECT_TRUE(Tier(*player, "Tier2Purchased"));
}
