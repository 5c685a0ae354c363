// The actors played through the whole game: the play harness starts the
// game, puts the player in a small room, places actors made from the game's
// own definitions (bullets, pop and hidden blocks) or from a definition
// written here (a shooter), holds the controls of a script and reads back
// what happened after every frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityState.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/components/BulletComponent.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/HiddenComponent.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game_actors/ActorTestSupport.h"
#include "renderer/ZRenderable.h"
#include "support/PlayHarness.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

constexpr float kStep = 1.0f / 60.0f;
const std::string kWall = "################################";
const std::string kOpen = "#..............................#";

// A hall of 16 rows: the floor's top at y = 120, the start at x = 20.
std::vector<std::string> Hall(const std::string& startRow = "#.P............................#") {
    std::vector<std::string> rows{kWall};
    for (int i = 0; i < 13; ++i) rows.push_back(kOpen);
    rows.push_back(startRow);
    rows.push_back(kWall);
    return rows;
}

bool Played(const playtest::PlayResult& r) {
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.framesWithoutOneStep, 0) << "one fixed step a frame";
    return r.error.empty() && r.started && !r.samples.empty();
}

// Places an entity of a definition file, or of a definition element written
// here, where the room's entities live (the game owns it from then on).
KorvEntity* Place(const ZDefNode& definition, const char* file, const float x, const float y) {
    KorvEntity* entity = nullptr;
    if (file != nullptr) {
        entity = CreateKorvEntity(ZHashedString(file), 0);
    } else {
        entity = new KorvEntity();
        entity->CreateComponentsFromNode(definition);
        RestoreEntityState(entity, ZHashedString("ActorTestEntity.zdd"), 0);
    }
    if (entity == nullptr) return nullptr;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(entity);
    spatial->current.position = ZVector3(x, y, 0.0f);
    spatial->ResetInterpolation();
    KorvanthGame::Get()->AddRoomEntity(entity);
    return entity;
}

KorvEntity* Place(const char* file, const float x, const float y) { return Place(ZDefNode(), file, x, y); }

int32_t IntDatum(ZEntity* entity, const char* name) {
    ZDatumEntry entry;
    const ZDataComponent* data = GetComponent<ZDataComponent>(entity);
    return data != nullptr && data->GetDatum(ZHashedString(name), entry) ? entry.value.intValue : -999;
}

bool Shown(ZEntity* entity) {
    const ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(entity);
    const ZRenderable* drawable = renderables != nullptr ? renderables->GetRenderable(ZHashedString()) : nullptr;
    return drawable != nullptr && drawable->visible;
}

// What the test saw of one bullet.
struct Shot {
    int32_t frame = 0;  // the frame it first showed in
    ZVector3 start;
    ZVector3 velocity;  // as fired
    float lowestVy = 0.0f;
    float highestVy = 0.0f;
    int32_t bouncesLeft = 0;
};

}  // namespace

TEST(ActorPlay, BulletStreamsFireAtTheirRatesAndAnglesAndBounce) {
    gametest::RunInChild([] {
        const ZDefNode shooter = actortest::Markup(
            "<Entity><Bullet>"
            "<Stream Rate='0.5' Phase='0.25' Speed='60' Angle='0'/>"
            "<Stream Rate='1' Phase='0' Speed='90' Angle='90'/>"
            "<Stream Rate='0.75' Phase='0.1' Speed='40' Angle='180'/>"
            "<Stream Rate='10' Phase='0.05' Speed='100' Angle='270' Bounces='1'/>"
            "<Stream Rate='0'/>"
            "</Bullet></Entity>");
        std::map<uint32_t, Shot> shots;
        uint32_t shooterHandle = 0;
        PlaySetup setup;
        setup.room = Hall();
        setup.prepare = [&](Player&) {
            KorvEntity* placed = Place(shooter, nullptr, 128.0f, 60.0f);
            ASSERT_NE(placed, nullptr);
            shooterHandle = placed->GetHandle();
            ASSERT_NE(GetComponent<BulletComponent>(placed), nullptr);
            EXPECT_EQ(GetComponent<BulletComponent>(placed)->streams.Count(), 4u) << "the zero rate is refused";
        };
        setup.afterFrame = [&](Player&, const int32_t frame) {
            for (KorvEntity* entity : KorvanthGame::Get()->GetRoomEntities()) {
                if (entity->GetHandle() == shooterHandle) continue;
                const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity);
                if (spatial == nullptr) continue;
                const ZVector3 v = spatial->current.velocity;
                auto [at, added] = shots.try_emplace(entity->GetHandle());
                Shot& shot = at->second;
                if (added) {
                    shot.frame = frame;
                    shot.start = spatial->current.position - spatial->current.velocity * kStep;
                    shot.velocity = v;
                    shot.lowestVy = shot.highestVy = v.y;
                }
                shot.lowestVy = std::min(shot.lowestVy, v.y);
                shot.highestVy = std::max(shot.highestVy, v.y);
                shot.bouncesLeft = IntDatum(entity, "Bounces");
            }
        };
        const auto r = RunPlay(setup, "150 -\n");  // 2.5 s
        ASSERT_TRUE(Played(r));

        // Sorted by stream: the direction of each shot names its stream.
        struct Stream {
            float angle;
            float speed;
            float phase;
            float rate;
            std::vector<Shot> shots;
        };
        Stream streams[] = {{0, 60, 0.25f, 0.5f, {}}, {90, 90, 0, 1, {}}, {180, 40, 0.1f, 0.75f, {}},
                            {270, 100, 0.05f, 10, {}}};
        for (const auto& [handle, shot] : shots) {
            const float angle = std::atan2(-shot.velocity.y, shot.velocity.x) * 57.29578f;
            bool matched = false;
            for (Stream& s : streams) {
                const float a = s.angle > 180.0f ? s.angle - 360.0f : s.angle;
                if (std::fabs(angle - a) < 0.5f || std::fabs(std::fabs(angle - a) - 360.0f) < 0.5f) {
                    EXPECT_NEAR(std::hypot(shot.velocity.x, shot.velocity.y), s.speed, 1e-3f);
                    s.shots.push_back(shot);
                    matched = true;
                }
            }
            EXPECT_TRUE(matched) << "a shot at " << angle << " degrees";
        }
        for (Stream& s : streams) {
            SCOPED_TRACE(s.angle);
            std::sort(s.shots.begin(), s.shots.end(), [](const Shot& a, const Shot& b) { return a.frame < b.frame; });
            // Fired at phase + k rate within the 2.5 s, from the muzzle.
            const int expected = static_cast<int>(std::floor((2.5f - s.phase) / s.rate)) + 1;
            ASSERT_NEAR(static_cast<int>(s.shots.size()), expected, 1);
            const int first = static_cast<int>(std::lround(s.phase * 60.0f));
            EXPECT_NEAR(s.shots[0].frame, std::max(first - 1, 0), 1);
            for (size_t i = 1; i < s.shots.size(); ++i) {
                EXPECT_NEAR(s.shots[i].frame - s.shots[i - 1].frame, s.rate * 60.0f, 1.0f) << "shot " << i;
            }
            EXPECT_NEAR(s.shots[0].start.x, 128.0f, 0.01f);
            EXPECT_NEAR(s.shots[0].start.y, 60.0f, 0.01f);
        }
        // The one fired down met the floor (y 120) and came back up: a bounce,
        // counted off its "Bounces".
        ASSERT_EQ(streams[3].shots.size(), 1u);
        const Shot& down = streams[3].shots[0];
        EXPECT_EQ(down.highestVy, 100.0f);
        EXPECT_LT(down.lowestVy, -50.0f) << "it bounced";
        EXPECT_LT(down.bouncesLeft, 1);
    });
}

TEST(ActorPlay, SpentBulletsLeaveTheRoom) {
    gametest::RunInChild([] {
        // Ten shots a second straight down onto the floor, none bouncing back.
        const ZDefNode shooter = actortest::Markup(
            "<Entity><Bullet><Stream Rate='0.1' Phase='0' Speed='200' Angle='270'/></Bullet></Entity>");
        PlaySetup setup;
        setup.room = Hall();
        setup.prepare = [&](Player&) { ASSERT_NE(Place(shooter, nullptr, 128.0f, 100.0f), nullptr); };
        size_t most = 0;
        setup.afterFrame = [&](Player&, int32_t) {
            most = std::max(most, KorvanthGame::Get()->GetRoomEntities().size());
        };
        const auto r = RunPlay(setup, "180 -\n");  // 3 s: 30 shots
        ASSERT_TRUE(Played(r));
        // The shooter and the few shots in flight, not every shot fired.
        EXPECT_LE(most, 5u);
    });
}

// A shot that reaches the player kills it, as spikes do, and bursts there;
// one that passes over its head flies on to the wall and harms nobody.
TEST(ActorPlay, AShotThatReachesThePlayerKillsItAndBurstsThere) {
    struct Case {
        const char* name;
        float shooterY;
        int32_t deaths;
    };
    const Case cases[] = {
        {"at the player's height", 112.0f, 1},
        {"over its head", 60.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            // One shot a second to the left, the first at 0.2 s: it crosses
            // the hall to the player (x = 20) in under a second.
            const ZDefNode shooter = actortest::Markup(
                "<Entity><Bullet><Stream Rate='1.0' Phase='0.2' Speed='200' Angle='180'/></Bullet></Entity>");
            PlaySetup setup;
            setup.room = Hall();
            KorvEntity* placed = nullptr;
            setup.prepare = [&](Player&) {
                placed = Place(shooter, nullptr, 200.0f, c.shooterY);
                ASSERT_NE(placed, nullptr);
            };
            // The leftmost a shot got.
            float leftmost = 1000.0f;
            setup.afterFrame = [&](Player&, int32_t) {
                for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
                    if (entity == placed) continue;
                    if (const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity)) {
                        leftmost = std::min(leftmost, spatial->current.position.x);
                    }
                }
            };
            const auto r = RunPlay(setup, "100 -\n");
            ASSERT_TRUE(Played(r));
            EXPECT_EQ(r.samples.back().deaths, c.deaths);
            if (c.deaths > 0) {
                EXPECT_GT(leftmost, 10.0f) << "the shot bursts at the player";
            } else {
                EXPECT_LT(leftmost, 16.0f) << "the shot flies on to the wall";
            }
        });
    }
}

TEST(ActorPlay, ABlockPopsWhenLandedOnFromAboveAndOnlyThen) {
    gametest::RunInChild([] {
        KorvEntity* overhead = nullptr;
        KorvEntity* inThePath = nullptr;
        PlaySetup setup;
        setup.room = Hall();
        bool hiddenAtStart = false;
        setup.prepare = [&](Player&) {
            // One in the air over the start (its top at y 84, its bottom 4
            // pixels above the player's head), one standing on the floor
            // further right, in the player's way.
            overhead = Place("PopBlock.zdd", 20.0f, 92.0f);
            inThePath = Place("PopBlock.zdd", 80.0f, 112.0f);
            ASSERT_NE(overhead, nullptr);
            ASSERT_NE(inThePath, nullptr);
            hiddenAtStart = !Shown(overhead) && !Shown(inThePath);
        };
        // What the blocks were after each frame (they go with the game).
        int32_t poppedAt = -1;
        int32_t pops = 0;
        int32_t pathPops = 0;
        bool shown = false;
        bool pathShown = false;
        bool kept = false;
        float highestFeet = 1000.0f;
        float vyWhenPopped = 0.0f;  // the player's vertical speed the frame before it popped
        float lastVy = 0.0f;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            highestFeet = std::min(highestFeet, player.spatial->current.position.y + 8.0f);
            pops = IntDatum(overhead, "Pops");
            pathPops = IntDatum(inThePath, "Pops");
            if (poppedAt < 0 && pops == 1) {
                poppedAt = frame;
                vyWhenPopped = lastVy;
            }
            lastVy = player.spatial->current.velocity.y;
            shown = Shown(overhead);
            pathShown = Shown(inThePath);
            ZDatumEntry visible;
            kept = GetComponent<ZDataComponent>(overhead)->GetDatum(ZHashedString("POPCOMPVIS"), visible) &&
                   visible.value.boolValue;
        };
        // Walk right through the standing block and back, then jump up
        // through the overhead one and come down on it.
        const auto r = RunPlay(setup, "60 right\n62 left\n20 -\n30 jump\n60 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_TRUE(hiddenAtStart) << "hidden until popped";
        EXPECT_GT(r.samples[59].position.x, 90.0f) << "walked through the block that had not popped";
        EXPECT_EQ(pathPops, 0) << "a touch from the side pops nothing";
        EXPECT_FALSE(pathShown);
        ASSERT_LT(highestFeet, 84.0f) << "the jump rose above the overhead block";
        ASSERT_GE(poppedAt, 142) << "popped by the jump";
        EXPECT_GE(vyWhenPopped, 0.0f) << "popped falling onto it, not rising through it";
        EXPECT_EQ(pops, 1) << "OnPop ran once";
        EXPECT_TRUE(shown);
        EXPECT_TRUE(kept) << "POPCOMPVIS, kept for the saved state";
        // The player stands on the block's top (y 84), not on the floor.
        EXPECT_TRUE(r.samples.back().grounded);
        EXPECT_NEAR(r.samples.back().position.y + 8.0f, 84.0f, 0.5f);
    });
}

TEST(ActorPlay, AHiddenBlockIsThereOnlyForAPlayerWithTheMask) {
    gametest::RunInChild([] {
        for (const bool mask : {false, true}) {
            SCOPED_TRACE(mask ? "with the mask" : "without the mask");
            KorvEntity* block = nullptr;
            PlaySetup setup;
            setup.room = Hall();
            if (mask) setup.powerups = {HiddenComponent::kMaskPowerup};
            setup.prepare = [&](Player&) {
                block = Place("HiddenBlock.zdd", 60.0f, 112.0f);
                ASSERT_NE(block, nullptr);
            };
            bool shownAtEnd = false;
            bool collidesAtEnd = false;
            setup.afterFrame = [&](Player&, int32_t) {
                shownAtEnd = Shown(block);
                const ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(block);
                collidesAtEnd = collision != nullptr && collision->GetPrimary() != nullptr &&
                                collision->GetPrimary()->enabled;
            };
            const auto r = RunPlay(setup, "60 right\n");
            ASSERT_TRUE(Played(r));
            EXPECT_EQ(shownAtEnd, mask);
            EXPECT_EQ(collidesAtEnd, mask);
            const float x = r.samples.back().position.x;
            if (mask) {
                EXPECT_LT(x, 60.0f) << "stopped by the block";
                EXPECT_NEAR(r.samples[r.samples.size() - 20].position.x, x, 1e-3f) << "and held there";
            } else {
                EXPECT_GT(x, 90.0f) << "walked through where it would be";
            }
        }
    });
}

TEST(ActorPlay, CoffeeSpeedsThePlayerUpForTwelveSecondsThenWearsOff) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = Hall();
        std::vector<float> boost;
        std::vector<float> timer;
        setup.prepare = [](Player& player) {
            CoffeeComponent* coffee = GetComponent<CoffeeComponent>(&player);
            ASSERT_NE(coffee, nullptr) << "the player carries its coffee";
            coffee->StartCoffee();
        };
        setup.afterFrame = [&](Player& player, int32_t) {
            const CoffeeComponent* coffee = GetComponent<CoffeeComponent>(&player);
            boost.push_back(coffee->boost);
            timer.push_back(coffee->timer);
        };
        // Back and forth across the hall for 15 s (1.2 s each way), then 2 s standing.
        std::string script;
        for (int i = 0; i < 6; ++i) script += "72 right\n72 left\n";
        script += "36 right\n120 -\n";
        const auto r = RunPlay(setup, script);
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(boost.size(), r.samples.size());
        const auto at = [](const float seconds) { return static_cast<size_t>(std::lround(seconds * 60.0f)) - 1; };
        // Rising while the coffee lasts, by 0.5 a second (about 1 - e^(-t/2)).
        EXPECT_NEAR(boost[at(1.0f)], 1.0f - std::exp(-0.5f), 0.05f);
        EXPECT_NEAR(boost[at(4.0f)], 1.0f - std::exp(-2.0f), 0.08f);
        EXPECT_GT(boost[at(11.9f)], 0.9f);
        float peak = 0.0f;
        for (size_t i = 0; i < at(12.0f); ++i) peak = std::max(peak, boost[i]);
        EXPECT_LE(peak, 1.0f);
        // The player goes faster by the boost.
        float fastest = 0.0f;
        for (size_t i = at(10.0f); i < at(12.0f); ++i) fastest = std::max(fastest, std::fabs(r.samples[i].velocity.x));
        EXPECT_GT(fastest, 88.32f * 1.85f);
        // After 12 s it falls, faster than it rose (1.5 a second).
        EXPECT_LT(timer[at(12.1f)], 0.0f);
        EXPECT_LT(boost[at(13.0f)], 0.35f);
        EXPECT_LT(boost.back(), 0.01f);
        float lateFastest = 0.0f;
        for (size_t i = at(14.5f); i < at(15.0f); ++i) lateFastest = std::max(lateFastest, std::fabs(r.samples[i].velocity.x));
        EXPECT_LT(lateFastest, 88.32f * 1.1f);
        // Drinking it earned the coffee achievement.
        const bool earned = std::any_of(r.log.begin(), r.log.end(), [](const std::string& line) {
            return line.find("Achievement \"ACH_PU_COFFEE\" earned") != std::string::npos;
        });
        EXPECT_TRUE(earned);
    });
}
