// The game's answers to the engine that this part of the game owns.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game_world/GameFixture.h"

namespace {

class LayerCountingDisplay : public NullGameDisplay {
public:
    void SetUpWorldLayerMeshes(KorvanthGame&) override { ++setUps; }
    int setUps = 0;
};

using GameOverrides = worldtest::GameTest;

}  // namespace

TEST_F(GameOverrides, ResettingTheSceneEffectsSetsUpTheWorldLayersAndLeavesNothingToTheEngine) {
    auto display = std::make_unique<LayerCountingDisplay>();
    LayerCountingDisplay* const counting = display.get();
    m_game->SetDisplay(std::move(display));
    EXPECT_FALSE(m_game->ResetSceneEffects());
    EXPECT_EQ(counting->setUps, 1);
}
