// Spikes kill whatever the player holds: with every powerup and item (as the
// console's "power all" gives them, the snorkel and the catalyst among them)
// the player walks into the spikes of each tile set's rooms and dies there,
// without a splash into water that is not there.

#include <gtest/gtest.h>

#include <string>

#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerStatus.h"
#include "support/PlayHarness.h"

namespace {

TEST(Spikes, APlayerHoldingEverythingDiesOnThem) {
    struct Case {
        const char* name;
        playtest::PlaySetup::QuickStart quickStart;
        const char* script;
    };
    const Case cases[] = {
        // A row of spikes on the floor, east of the start.
        {"the caverns' spikes", playtest::PlaySetup::QuickStartAt("Caverns", 1, 0, 5, 24), "10 -\n120 right\n"},
        // A pit of spikes in the floor, east of the start.
        {"the sunken halls' spikes", playtest::PlaySetup::QuickStartAt("Sunken", 1, 0, 9, 24), "10 -\n120 right\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = c.quickStart;
            setup.prepare = [](Player& player) {
                SetAllPowerups(player, true);
                GiveAllItems(player);
            };
            const playtest::PlayResult r = playtest::RunPlay(setup, c.script);
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_FALSE(r.samples.empty());
            EXPECT_EQ(r.samples.front().deaths, 0) << "alive at the start";
            size_t died = r.samples.size();
            for (size_t i = 0; i < r.samples.size() && died == r.samples.size(); ++i) {
                if (r.samples[i].deaths > 0) died = i;
            }
            ASSERT_LT(died, r.samples.size()) << "walked into the spikes and lived, at x "
                                              << r.samples.back().position.x;
            for (size_t i = 0; i <= died; ++i) {
                EXPECT_FALSE(r.samples[i].inWater) << "in water at step " << i;
                EXPECT_FALSE(r.samples[i].underwaterPhysics) << "swimming at step " << i;
            }
        });
    }
}

}  // namespace
