// The campaign played from the title with one recorded input script
// (tests/fixtures/campaign/playthrough.txt), as far as the game's parts reach:
// New Game starts in the caverns, and their west edge leads onto the overworld.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "support/PlayHarness.h"

namespace {

std::string ReadScript() {
    std::ifstream in(std::string(KORV_FIXTURES_DIR) + "/campaign/playthrough.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The maps the run loaded, in order, from its log.
std::vector<std::string> LoadedMaps(const std::vector<std::string>& log) {
    std::vector<std::string> maps;
    const std::string words = "Loading map \"";
    for (const std::string& line : log) {
        const size_t at = line.find(words);
        if (at == std::string::npos) continue;
        const size_t start = at + words.size();
        const std::string map = line.substr(start, line.find('"', start) - start);
        if (maps.empty() || maps.back() != map) maps.push_back(map);
    }
    return maps;
}

TEST(CampaignPlay, FromTheTitleOutOfTheCavernsOntoTheOverworld) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.start = playtest::PlayStart::kNewGame;
        const playtest::PlayResult result = playtest::RunPlay(setup, ReadScript());
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_FALSE(result.samples.empty());
        EXPECT_EQ(result.framesWithoutOneStep, 0);

        EXPECT_EQ(LoadedMaps(result.log), (std::vector<std::string>{"Caverns", "Overworld"}));
        const playtest::PlaySample& first = result.samples.front();
        EXPECT_EQ(first.roomX, 0);
        EXPECT_EQ(first.roomY, 0);
        // Out at the cave's mouth (72, 120) of the overworld's room (0, 0), then
        // cell by cell west along the path.
        const playtest::PlaySample& last = result.samples.back();
        EXPECT_EQ(last.roomX, 0);
        EXPECT_EQ(last.roomY, 0);
        EXPECT_FLOAT_EQ(last.position.y, 120.0f);
        EXPECT_LT(last.position.x, 72.0f);
        EXPECT_EQ(last.deaths, 0);
    });
}

}  // namespace
