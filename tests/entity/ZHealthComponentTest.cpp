#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entity/BodyFixture.h"
#include "entity/ZAllegianceComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZHealthComponent.h"
#include "entity/ZKnockbackComponent.h"
#include "entity/ZPhysicsComponent.h"

using entitytest::Body;
using entitytest::CommandChain;

namespace {

constexpr float kDt = 1.0f / 60.0f;

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}
void Damaged(ZEntity*, uint32_t) { Calls().push_back("damaged"); }
void Died(ZEntity*, uint32_t) { Calls().push_back("died"); }

// An entity with health and, when side is not negative, an allegiance.
struct Fighter {
    explicit Fighter(const int side) {
        health = AddComponent<ZHealthComponent>(&entity);
        health->onDamaged = &Damaged;
        health->onDeath = &Died;
        if (side >= 0) {
            AddComponent<ZAllegianceComponent>(&entity)->allegiance = side;
        }
    }
    ZEntity entity;
    ZHealthComponent* health = nullptr;
};

void Steps(ZHealthComponent* health, const int n) {
    for (int i = 0; i < n; ++i) {
        health->Update(kDt, 2);
    }
}

}  // namespace

TEST(ZHealthComponent, HitsCountFromEnemiesAndUnknownAttackersOnly) {
    struct Case {
        const char* name;
        int targetSide;    // -1: no allegiance
        int attackerSide;  // -1: no allegiance, -2: attacker gone
        bool taken;
    };
    const Case cases[] = {
        {"enemy", 2, 3, true},
        {"friend", 2, 2, false},
        {"attacker without a side", 2, -1, false},
        {"target without a side", -1, 2, true},
        {"neither has a side", -1, -1, true},
        {"attacker gone", 2, -2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Calls().clear();
        Fighter target(c.targetSide);
        uint32_t attackerHandle = 0;
        {
            Fighter attacker(c.attackerSide == -2 ? 3 : c.attackerSide);
            attackerHandle = attacker.entity.GetHandle();
            if (c.attackerSide != -2) {
                target.health->TakeDamage(1, attackerHandle);
            }
        }
        if (c.attackerSide == -2) {
            target.health->TakeDamage(1, attackerHandle);
        }
        EXPECT_EQ(target.health->health, c.taken ? 2 : 3);
        EXPECT_EQ(Calls().size(), c.taken ? 1u : 0u);
    }
}

TEST(ZHealthComponent, InvulnerabilityFollowsEachHitForItsSidesPeriod) {
    struct Case {
        int side;
        int refusedAfterSteps;  // a hit this many fixed steps later is refused
        int takenAfterSteps;    // and one this many steps later is taken
    };
    // 0.275 s is 16.5 steps; 1.0 s is 60 steps.
    const Case cases[] = {{2, 16, 17}, {-1, 16, 17}, {1, 59, 61}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        Fighter target(c.side);
        target.health->health = 10;
        target.health->TakeDamage(1, 0);
        EXPECT_EQ(target.health->health, 9);
        Steps(target.health, c.refusedAfterSteps);
        target.health->TakeDamage(1, 0);
        EXPECT_EQ(target.health->health, 9);
        Steps(target.health, c.takenAfterSteps - c.refusedAfterSteps);
        target.health->TakeDamage(1, 0);
        EXPECT_EQ(target.health->health, 8);
    }
}

TEST(ZHealthComponent, ALethalHitCallsHurtThenDeathOnce) {
    Calls().clear();
    Fighter target(-1);
    target.health->TakeDamage(5, 0);
    EXPECT_EQ(target.health->health, 0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"damaged", "died"}));
    Steps(target.health, 100);
    target.health->TakeDamage(1, 0);
    EXPECT_EQ(Calls().size(), 2u) << "the dead take no hits";

    // A zero hit is still a hit: it starts the invulnerability.
    Calls().clear();
    Fighter other(-1);
    other.health->TakeDamage(0, 0);
    EXPECT_EQ(other.health->health, 3);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"damaged"}));
    EXPECT_GT(other.health->invulnerableTime, 0.0f);
}

TEST(ZHealthComponent, HitsKnockTheTargetAwayUntilTheInvulnerabilityEnds) {
    Body target({10, 0, 0}, 1, 1, "");
    AddComponent<ZPhysicsComponent>(&target.entity)->bounceCount = 3;
    ZKnockbackComponent* knockback = AddComponent<ZKnockbackComponent>(&target.entity);
    ZHealthComponent* health = AddComponent<ZHealthComponent>(&target.entity);
    Body attacker({4, 0, 0}, 1, 1, "");
    health->TakeDamage(1, attacker.entity.GetHandle());
    EXPECT_EQ(knockback->knockedBack, 1);
    EXPECT_EQ(target.Velocity(), ZVector3(3.0f, 0.0f, 1.5f));
    EXPECT_FLOAT_EQ(target.Position().z, 0.1f);
    EXPECT_EQ(target.spatial->previous.position, target.Position()) << "no blur from the throw";
    EXPECT_EQ(GetComponent<ZPhysicsComponent>(&target.entity)->bounceCount, 0);
    Steps(health, 16);
    EXPECT_EQ(knockback->knockedBack, 1);
    Steps(health, 1);
    EXPECT_EQ(knockback->knockedBack, 0);

    struct Case {
        ZVector3 direction;
        float strength;
        ZVector3 velocity;
    };
    const Case cases[] = {
        {{0, 0, 1}, 1.0f, {0, 0, 4.5f}},
        {{0, -2, 0}, 2.0f, {0, -6, 3}},
        {{0, 0, 0}, 1.0f, {0, 0, 1.5f}},
    };
    for (const Case& c : cases) {
        knockback->ApplyKnockback(c.direction, c.strength);
        EXPECT_EQ(target.Velocity(), c.velocity);
    }
}

TEST(ZEntityCommands, DamageCollisionAndInitPhysicsReachTheirComponents) {
    const CommandChain chain;
    Body body({0, 0, 0}, 1, 1, "");
    ZHealthComponent* health = AddComponent<ZHealthComponent>(&body.entity);
    ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&body.entity);
    const uint32_t self = body.entity.GetHandle();

    RunCommandText("damage Self 2", self, 0);
    EXPECT_EQ(health->health, 1);
    Steps(health, 20);
    RunCommandText("damage Self 1.5", self, 0);  // a Float amount damages by 0
    EXPECT_EQ(health->health, 1);
    EXPECT_GT(health->invulnerableTime, 0.0f);
    Steps(health, 20);
    RunCommandText("damage Self", self, 0);
    RunCommandText("damage Nobody 3", self, 0);
    EXPECT_EQ(health->health, 1);

    RunCommandText("collision Self disable", self, 0);
    EXPECT_FALSE(body.Box()->enabled);
    RunCommandText("collision Self ENABLE", self, 0);
    EXPECT_TRUE(body.Box()->enabled);
    RunCommandText("collision Self", self, 0);
    EXPECT_TRUE(body.Box()->enabled);

    RunCommandText("initphysics Self", self, 0);
    EXPECT_NEAR(physics->firstJumpSpeed, 213.333f, 1e-2f);
    EXPECT_NEAR(physics->gravity, 711.111f, 1e-2f);
    EXPECT_NEAR(physics->releasedJumpGravity, 711.111f, 1e-2f);
    EXPECT_NEAR(physics->maxFallSpeed, 213.333f, 1e-2f);
    EXPECT_FLOAT_EQ(physics->landingSpeedLimit, 0.0f);
    EXPECT_TRUE(chain.Words().empty()) << "the verbs are taken, not passed on";
}
