#include <gtest/gtest.h>

#include "foundation/ZString.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game_player/PlayerFixture.h"
#include "renderer/ZTextureMgr.h"

using playertest::PlayerTest;

namespace {

const ZHashedString kDefault("Texture_PlayerSprite_Default");
const ZHashedString kOverworld("Texture_PlayerSprite_Overworld");

int32_t Count(const ZHashedString name) { return ZTextureMgr::GetInstance()->GetRefCount(name); }

}  // namespace

TEST_F(PlayerTest, SwitchingSheetsLoadsEachOnceAndGoingAwayGivesEachBack) {
    const int32_t defaultHeld = Count(kDefault);  // the player's own sprite holds one
    EXPECT_EQ(defaultHeld, 1);
    {
        PlayerSpriteTexture sprite;
        sprite.SelectModeSheet(true);
        sprite.SelectModeSheet(false);
        sprite.SelectModeSheet(true);
        EXPECT_EQ(sprite.GetLoadedTextures().Count(), 2u);
        EXPECT_EQ(sprite.GetCurrentTexture(), kOverworld);
        EXPECT_EQ(Count(kDefault), defaultHeld + 1);
        EXPECT_EQ(Count(kOverworld), 1);
        sprite.SelectSheet("drovanisheet_ghost.bmp", ZHashedString("Texture_PlayerSprite_Alternate_x"));
        EXPECT_EQ(Count(ZHashedString("Texture_PlayerSprite_Alternate_x")), 1);
    }
    EXPECT_EQ(Count(kDefault), defaultHeld);
    EXPECT_EQ(Count(kOverworld), 0);
    EXPECT_EQ(Count(ZHashedString("Texture_PlayerSprite_Alternate_x")), 0);
}

TEST_F(PlayerTest, ARoomsFigureReplacesTheSheetAndAnEmptyNameGoesBackToTheMode) {
    SelectRoomSpriteSheet(*player, ZString("drovanisheet_ghost.bmp"));
    auto* own = dynamic_cast<PlayerSpriteTexture*>(player->renderable->GetRenderable(ZHashedString()));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetCurrentTexture(), ZHashedString("Texture_PlayerSprite_Alternate_drovanisheet_ghost.bmp"));
    SelectRoomSpriteSheet(*player, ZString());
    EXPECT_EQ(own->GetCurrentTexture(), kDefault);

    GhostSpriteTexture ghost;
    EXPECT_EQ(ghost.GetCurrentTexture(), ZHashedString("Texture_GhostSprite_Default"));
    EXPECT_EQ(Count(ZHashedString("Texture_GhostSprite_Default")), 1);
}

TEST_F(PlayerTest, ASpriteDrawingFromASourceUsesTheSourcesShaderUnlessItHasItsOwn) {
    PlayerSpriteTexture source;
    PlayerSpriteTexture sprite;
    sprite.SetSource(&source);
    // Its own sheet and place are still asked of it: only the quad is shared.
    EXPECT_EQ(sprite.GetRenderableSource(), &sprite);
    auto* shader = reinterpret_cast<ZShader*>(&source);  // only compared, never used
    source.shader = shader;
    EXPECT_EQ(sprite.GetShader(), shader);
    source.shader = nullptr;
    EXPECT_EQ(sprite.GetShader(), nullptr);
}
