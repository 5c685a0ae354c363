// Keys pressed while the developer console is open are the console's: the
// player neither walks nor steps, in a side-view room or on the overworld,
// and its controls work again once the console closes.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework_game/RunScenarios.h"
#include "support/PlayHarness.h"

namespace {

struct ConsoleCase {
    const char* name;
    const char* map;
    int32_t tileX;
    int32_t tileY;
    const char* held;  // the control held while the console is open
};

// The player after the last step of a script frame.
const playtest::PlaySample* AtFrame(const playtest::PlayResult& r, const int32_t frame) {
    const playtest::PlaySample* found = nullptr;
    for (const playtest::PlaySample& sample : r.samples) {
        if (sample.frame == frame) found = &sample;
    }
    return found;
}

}  // namespace

TEST(ConsoleKeys, NoKeyReachesThePlayerWhileTheConsoleIsOpen) {
    const ConsoleCase cases[] = {
        {"side view, arrow", "Workshop", 12, 24, "right"},
        {"side view, typed d", "Workshop", 12, 24, "key-d"},
        {"side view, typed a", "Workshop", 12, 24, "key-a"},
        {"side view, jump", "Workshop", 12, 24, "jump"},
        {"overworld, typed d", "Overworld", 16, 14, "key-d"},
        {"overworld, arrow", "Overworld", 16, 14, "left"},
    };
    for (const ConsoleCase& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = playtest::PlaySetup::QuickStartAt(c.map, 0, 0, c.tileX, c.tileY);
            const std::string held = c.held;
            // Settle, open the console, press the key a few times and hold it,
            // close the console, wait; then hold the key in play.
            const std::string script = "30 -\n1 console\n5 -\n" + std::string("1 ") + held + "\n1 -\n1 " + held +
                                       "\n1 -\n40 " + held + "\n1 -\n1 console\n20 -\n40 " + held + "\n";
            const playtest::PlayResult r = playtest::RunPlay(setup, script);
            ASSERT_TRUE(r.started) << r.error;
            const playtest::PlaySample* const before = AtFrame(r, 29);
            const playtest::PlaySample* const after = AtFrame(r, 101);
            ASSERT_TRUE(before != nullptr && after != nullptr && !r.samples.empty());
            const playtest::PlaySample& opened = *before;
            const playtest::PlaySample& closed = *after;
            EXPECT_FLOAT_EQ(closed.position.x, opened.position.x) << "moved while the console was open";
            EXPECT_FLOAT_EQ(closed.position.y, opened.position.y) << "moved while the console was open";
            // The same key moves the player once the console is closed.
            const playtest::PlaySample& played = r.samples.back();
            EXPECT_GT(std::fabs(played.position.x - closed.position.x) + std::fabs(played.position.y - closed.position.y),
                      4.0f)
                << "the key does nothing in play";
        });
    }
}
