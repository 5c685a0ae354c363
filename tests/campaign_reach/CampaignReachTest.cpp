// The campaign's powerups off the main route, each reached by a short leg: a
// recorded script (tests/fixtures/campaign/reach_*.txt) played from a room of
// the halls or the spire with the powerups a player holds by then. A leg that
// can no longer be played (a ledge moved out of reach, a missing platform, a
// door that leads nowhere) ends without its powerup.
//
// To write or mend a leg, play it with tests/campaign_play's disabled Leg
// test: KORV_PLAY_SCRIPT, KORV_PLAY_FROM and KORV_PLAY_POWERUPS as in the
// table below print where the player is after every script line.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "support/PlayHarness.h"

namespace {

std::string ReadLeg(const std::string& name) {
    std::ifstream in(std::string(KORV_FIXTURES_DIR) + "/campaign/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Powerup ids: kind << 16 | model.
constexpr uint32_t kRedAura = 0x10001;
constexpr uint32_t kBlueAura = 0x10002;
constexpr uint32_t kMask = 0x40001;
constexpr uint32_t kBadge = 0x50001;
constexpr uint32_t kArcSeal = 0x80001;

struct Leg {
    const char* script;  // under tests/fixtures/campaign/
    const char* map;
    int32_t roomX, roomY, tileX, tileY;  // where the leg starts
    std::vector<uint32_t> held;          // what a player holds by then
    uint32_t reaches;                    // the powerup taken at the leg's end
};

TEST(CampaignReach, EveryLegEndsHoldingItsPowerup) {
    const std::vector<uint32_t> halls = {kRedAura, kPowerupDoubleJump, kPowerupSwimSuit};
    const Leg legs[] = {
        {"reach_sunken_red_aura.txt", "Sunken", 1, 0, 3, 24, {}, kRedAura},
        {"reach_sunken_boots.txt", "Sunken", 2, 0, 3, 24, {kRedAura}, kPowerupDoubleJump},
        {"reach_sunken_snorkel.txt", "Sunken", 4, 0, 3, 24, {kRedAura, kPowerupDoubleJump}, kPowerupSwimSuit},
        {"reach_sunken_blue_aura.txt", "Sunken", 5, 0, 20, 24, halls, kBlueAura},
        {"reach_sunken_gloves.txt", "Sunken", 5, 0, 20, 24, halls, kPowerupClimbingGloves},
    };
    for (const Leg& leg : legs) {
        SCOPED_TRACE(leg.script);
        // Each run finds the placed pickups' shapes: a child of its own.
        gametest::RunInChild([&leg] {
            const std::string script = ReadLeg(leg.script);
            ASSERT_FALSE(script.empty());
            playtest::PlaySetup setup;
            setup.quickStart =
                playtest::PlaySetup::QuickStart{"Korvanth.kdd", leg.map, leg.roomX, leg.roomY, leg.tileX, leg.tileY};
            setup.powerups = leg.held;
            std::vector<bool> holds;
            setup.afterFrame = [&holds, &leg](Player& player, int32_t) {
                holds.push_back(HasPowerup(player, leg.reaches, true));
            };
            const playtest::PlayResult result = playtest::RunPlay(setup, script);
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_FALSE(result.samples.empty());
            ASSERT_FALSE(holds.empty());
            EXPECT_EQ(result.framesWithoutOneStep, 0);
            EXPECT_FALSE(holds.front()) << "held before the leg was played";
            EXPECT_TRUE(holds.back()) << "not held at the leg's end, which is "
                                      << result.samples.back().position.x << ", "
                                      << result.samples.back().position.y << " in room ("
                                      << result.samples.back().roomX << ", " << result.samples.back().roomY << ")";
            // Alive all the way: a leg that only works by dying is no way there.
            const int32_t deaths = result.samples.front().deaths;
            for (const playtest::PlaySample& sample : result.samples) {
                ASSERT_EQ(sample.deaths, deaths) << "died at frame " << sample.frame;
            }
        });
    }
}

}  // namespace
