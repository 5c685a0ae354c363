#include <gtest/gtest.h>

#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/PlayerRendering.h"
#include "game_player/PlayerFixture.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderable.h"

using playertest::PlayerTest;

namespace {

// A parameter that keeps what it was given.
class Binding : public ZEffectParameter {
public:
    explicit Binding(const char* parameter) : ZEffectParameter(nullptr, parameter, 0, 1) {}
    void SetMatrix(const ZMatrix4& value) override {
        matrix = value;
        set = true;
    }
    void SetFloat(const float value) override {
        number = value;
        set = true;
    }
    void SetTexture(const ZHashedString texture) override {
        textureName = texture;
        set = true;
    }
    ZMatrix4 matrix;
    float number = -1.0f;
    ZHashedString textureName = ZHashedString::FromId(0);
    bool set = false;
};

}  // namespace

TEST_F(PlayerTest, SideViewFramesFollowTheStateInOrder) {
    struct Case {
        const char* what;
        float deathTimer;
        bool grounded;
        bool wall;  // touching a wall with climbing allowed
        float vx, vy;
        float landing;
        float walkPhase;
        bool drop;
        float idle;
        bool left;
        float u, v;
    };
    const Case cases[] = {
        {"dying, 0.5 s left", 0.5f, true, false, 0, 0, 0, 0, false, 0, false, 0.125f, 0.09375f},  // 7 odd
        {"dying, 0.45 s left", 0.45f, true, false, 0, 0, 0, 0, false, 0, false, 0.0f, 0.09375f},
        {"dying, 0.29 s left", 0.29f, true, false, 0, 0, 0, 0, false, 0, false, 0.0f, 0.09375f},  // x 30: 8
        {"dying, 0.25 s left", 0.25f, true, false, 0, 0, 0, 0, false, 0, false, 0.125f, 0.09375f},
        {"on a wall", 0, false, true, 0, 50, 0, 0, false, 0, false, 0.25f, 0.09375f},
        {"rising", 0, false, false, 0, -100, 0, 0, false, 0, false, 0.125f, 0.28125f},
        {"falling", 0, false, false, 0, 100, 0, 0, false, 0, false, 0.25f, 0.28125f},
        {"slow in the air", 0, false, false, 0, 50, 0, 0, false, 0, false, 0.0f, 0.28125f},
        {"slow rising", 0, false, false, 0, -50, 0, 0, false, 0, false, 0.0f, 0.28125f},
        {"landing", 0, true, false, 30, 0, 0.1f, 0, false, 0, false, 0.375f, 0.28125f},
        {"walking", 0, true, false, 30, 0, 0, 4.7f, false, 0, false, 0.5f, 0.1875f},
        {"crouching", 0, true, false, 0, 0, 0, 0, true, 0, false, 0.125f, 0.0f},
        {"standing", 0, true, false, 0, 0, 0, 0, false, 3.9f, false, 0.0f, 0.0f},
        {"idle 4.2 s", 0, true, false, 0, 0, 0, 0, false, 4.2f, false, 0.0f, 0.1875f},  // k = 0
        {"idle 4.6 s", 0, true, false, 0, 0, 0, 0, false, 4.6f, false, 0.0f, 0.0f},     // k = 1
        {"idle 7.2 s", 0, true, false, 0, 0, 0, 0, false, 7.2f, false, 0.375f, 0.28125f},  // k = 6
        {"idle 7.6 s", 0, true, false, 0, 0, 0, 0, false, 7.6f, false, 0.0f, 0.0f},
        {"falling, facing left", 0, false, false, 0, 100, 0, 0, false, 0, true, 0.25f, 0.78125f},
        {"standing, facing left", 0, true, false, 0, 0, 0, 0, false, 0, true, 0.0f, 0.5f},
    };
    for (const Case& c : cases) {
        player->deathTimer = c.deathTimer;
        player->physics->grounded = c.grounded;
        player->physics->onWall = c.wall;
        player->physics->wallJumping = c.wall;
        player->spatial->current.velocity = ZVector3(c.vx, c.vy, 0.0f);
        player->landingTimer = c.landing;
        player->walkPhase = c.walkPhase;
        player->dropHeld = c.drop;
        player->idleTime = c.idle;
        player->facingLeft = c.left;
        const PlayerFrame frame = SelectPlayerFrame(*player, false);
        EXPECT_FLOAT_EQ(frame.u, c.u) << c.what;
        EXPECT_FLOAT_EQ(frame.v, c.v) << c.what;
        EXPECT_FLOAT_EQ(frame.width, 0.125f) << c.what;
        EXPECT_FLOAT_EQ(frame.height, 0.09375f) << c.what;
    }
}

TEST_F(PlayerTest, OverworldFramesPickTheColumnByFacingAndTheRowByStep) {
    struct Case {
        float fx, fy, time, u, v;
    };
    const Case cases[] = {
        {0.0f, -1.0f, 0.0f, 0.75f, 0.5f},     // up, first step
        {0.0f, 1.0f, 0.3f, 0.0f, 0.0f},       // down, second step
        {-1.0f, 0.0f, 0.5f, 0.5f, 0.5f},      // left
        {1.0f, 0.0f, 0.0f, 0.25f, 0.5f},      // right
        {0.707f, 0.707f, 0.0f, 0.0f, 0.5f},   // a diagonal shows the down column
        {0.5f, 0.5f, 0.0f, 0.0f, 0.5f},       // nothing matches: the first column
    };
    for (const Case& c : cases) {
        player->overworldFacing = ZVector2(c.fx, c.fy);
        player->overworldAnimTime = c.time;
        const PlayerFrame frame = SelectPlayerFrame(*player, true);
        EXPECT_FLOAT_EQ(frame.u, c.u) << c.fx << ", " << c.fy;
        EXPECT_FLOAT_EQ(frame.v, c.v) << c.time;
        EXPECT_FLOAT_EQ(frame.width, 0.25f);
        EXPECT_FLOAT_EQ(frame.height, 0.5f);
    }
}

TEST_F(PlayerTest, TheUvMatrixCoversExactlyOneFrameAndOtherNamesGoDownTheChain) {
    player->physics->grounded = false;
    player->spatial->current.velocity = ZVector3(0.0f, 100.0f, 0.0f);
    player->facingLeft = true;
    Binding uv("uvMat");
    ASSERT_TRUE(player->SetParameters(&uv, ZHashedString(""), nullptr));
    // Row vectors (p x M): the column form of the transpose.
    const ZMatrix4 t = ZMatrix4::Transpose(uv.matrix);
    const ZVector3 a = t.TransformPoint(ZVector3(0.0f, 0.0f, 0.0f));
    const ZVector3 b = t.TransformPoint(ZVector3(1.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(a.x, 0.25f);
    EXPECT_FLOAT_EQ(a.y, 0.78125f);
    EXPECT_FLOAT_EQ(b.x, 0.375f);
    EXPECT_FLOAT_EQ(b.y, 0.875f);

    Binding silhouette("AnaglyphSilhFix");
    EXPECT_TRUE(player->SetParameters(&silhouette, ZHashedString(""), nullptr));
    EXPECT_EQ(silhouette.number, 0.0f);

    // The player does not know the sheet; its sprite does.
    Binding diffuse("DiffuseMap");
    EXPECT_FALSE(player->SetParameters(&diffuse, ZHashedString(""), nullptr));
    EXPECT_FALSE(diffuse.set);
    ZRenderable* sprite = player->renderable->GetRenderable(ZHashedString());
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(sprite->SetParameters(&diffuse, ZHashedString(""), nullptr));
    EXPECT_EQ(diffuse.textureName, ZHashedString("Texture_PlayerSprite_Default"));
    // And the sprite hands the frame question up to the player.
    Binding uv2("uvMat");
    EXPECT_TRUE(sprite->SetParameters(&uv2, ZHashedString(""), nullptr));
    EXPECT_EQ(uv2.matrix, uv.matrix);
}
