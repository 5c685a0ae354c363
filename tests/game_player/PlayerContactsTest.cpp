#include <gtest/gtest.h>

#include <cmath>

#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZHealthComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerProgress.h"
#include "game/world/CollisionLineDef.h"
#include "game_player/PlayerFixture.h"
#include "support/PlayRoom.h"

using playertest::PlayerTest;

namespace {

// One line of each kind the player reacts to, side by side.
const std::vector<std::string> kKinds = {
    "........",
    "#^/~%...",
    "........",
};

// The contact with the first line of that kind, from above (normal up).
CollisionResult Touch(const playtest::PlayRoom& room, const int kind, const ZVector3& normal = {0.0f, -1.0f, 0.0f}) {
    CollisionResult contact;
    for (size_t i = 0; i < room.lines().size(); ++i) {
        if (room.lines()[i].kind == kind) {
            contact.other = room.shape(i);
            break;
        }
    }
    contact.normal = normal;
    contact.direction = normal;
    return contact;
}

}  // namespace

TEST_F(PlayerTest, TouchingADeadlyEdgeTwiceIsOneDeath) {
    playtest::PlayRoom room(kKinds);
    const auto contact = player->spatial->GetContactCallback();
    ASSERT_NE(contact, nullptr);
    contact(player, Touch(room, 2));
    contact(player, Touch(room, 2));
    EXPECT_TRUE(player->IsDead());
    EXPECT_FLOAT_EQ(player->deathTimer, 0.6f);
    EXPECT_EQ(GetDeathsCount(*player), 1);

    // Not in play (a menu's reset, a loading screen): no death at all.
    ResetPlayer(*player);
    contact(player, Touch(room, 2));
    EXPECT_FALSE(player->IsDead());
    // The health component's death reaches the same handler.
    player->inPlay = true;
    GetComponent<ZHealthComponent>(player)->onDeath(player, 0);
    EXPECT_TRUE(player->IsDead());
}

TEST_F(PlayerTest, WaterKillsWithoutTheSuitAndSwitchesThePhysicsWithIt) {
    playtest::PlayRoom room(kKinds);
    const auto contact = player->spatial->GetContactCallback();
    const float landJump = player->physics->jumpSpeed;
    contact(player, Touch(room, 4));
    EXPECT_TRUE(player->IsDead()) << "no swimming suit";
    contact(player, Touch(room, 128, ZVector3(0.0f, 1.0f, 0.0f)));

    ResetPlayer(*player);
    player->inPlay = true;
    SetPowerup(*player, kPowerupSwimSuit, true);
    EXPECT_FLOAT_EQ(player->physics->jumpSpeed, landJump);
    // Falling at 200 into the water: the vertical speed moves 65 % of the way
    // towards its share of the new jump speed.
    player->spatial->current.velocity = ZVector3(0.0f, 200.0f, 0.0f);
    contact(player, Touch(room, 4));
    EXPECT_FALSE(player->IsDead());
    EXPECT_TRUE(player->roomConditions[1]);
    EXPECT_TRUE(player->underwaterPhysics);
    const float waterJump = player->physics->jumpSpeed;
    EXPECT_LT(waterJump, landJump);
    const float v = -200.0f;  // along up
    const float target = v * waterJump / landJump;
    EXPECT_NEAR(player->spatial->current.velocity.y, -(v + (target - v) * 0.65f), 1e-3f);

    // Toxic water needs the other suit.
    contact(player, Touch(room, 6));
    EXPECT_TRUE(player->IsDead());

    // Leaving through the surface restores the side-view physics.
    ResetPlayer(*player);
    player->inPlay = true;
    SetPowerup(*player, kPowerupSwimSuit, true);
    contact(player, Touch(room, 4));
    contact(player, Touch(room, 128, ZVector3(0.0f, 1.0f, 0.0f)));
    EXPECT_FALSE(player->roomConditions[1]);
    EXPECT_FALSE(player->underwaterPhysics);
    EXPECT_FLOAT_EQ(player->physics->jumpSpeed, landJump);
}

TEST_F(PlayerTest, SlipperyFloorsAreFlaggedAndAWallStopsTheSlide) {
    playtest::PlayRoom room(kKinds);
    const auto contact = player->spatial->GetContactCallback();
    contact(player, Touch(room, 5));
    EXPECT_TRUE(player->slipperyGround);
    // A slippery line touched from the side does not change the flag.
    contact(player, Touch(room, 1, ZVector3(1.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(player->slipperyGround);
    player->smoothedSpeed = 50.0f;
    contact(player, Touch(room, 5, ZVector3(-1.0f, 0.0f, 0.0f)));
    EXPECT_EQ(player->smoothedSpeed, 0.0f) << "a wall contact";
    contact(player, Touch(room, 1));
    EXPECT_FALSE(player->slipperyGround) << "plain ground";
}

TEST_F(PlayerTest, ModeSettingsSizeTheBoxAndPickTheSheet) {
    ApplyModeSettings(*player);
    auto* box = DynamicCast<ZCollisionBox>(player->collision->GetPrimary());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->halfExtents, ZVector3(5.0f, 8.0f, 1.0f));
    EXPECT_EQ(gWorldUp, ZVector3(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(player->overworldInputFreeze, -1.0f);
    EXPECT_EQ(player->physics->maxJumps, 1) << "the abilities keep the jump count";
    EXPECT_GT(player->physics->jumpSpeed, 0.0f);
}

// The room loader's own lines, not the test scenery: the player reads their
// kinds, and a platform lets the player through only while it drops.
TEST_F(PlayerTest, RoomLinesKnowThePlayerAndTellTheirKind) {
    CollisionLineDef deadly;
    deadly.start = ZVector3(0.0f, 8.0f, 0.0f);
    deadly.end = ZVector3(16.0f, 8.0f, 0.0f);
    deadly.kind = 2;
    int32_t kind = -1;
    ASSERT_TRUE(GetEdgeKind(&deadly, kind));
    EXPECT_EQ(kind, 2);
    ZCollisionBox box(ZVector3(4.0f, 4.0f, 1.0f));
    EXPECT_FALSE(GetEdgeKind(&box, kind)) << "only room lines have a kind";

    ZCollisionInterface* const body = player->collision->GetPrimary();
    ASSERT_NE(body, nullptr);
    EXPECT_FALSE(deadly.BlocksMover(body)) << "the player passes its own walls";
    EXPECT_TRUE(deadly.BlocksAll(body));

    CollisionLineDef platform;
    platform.start = deadly.start;
    platform.end = deadly.end;
    platform.kind = 3;
    EXPECT_TRUE(platform.BlocksMover(body));
    player->dropThroughTimer = Player::kDropThroughTime;
    EXPECT_FALSE(platform.BlocksMover(body));
    player->dropThroughTimer = 0.0f;
    EXPECT_TRUE(platform.BlocksMover(body));

    CollisionResult touch;
    touch.other = &deadly;
    touch.normal = touch.direction = ZVector3(0.0f, -1.0f, 0.0f);
    player->spatial->GetContactCallback()(player, touch);
    EXPECT_TRUE(player->IsDead());
}
