#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "entity/AnaglyphComponent.h"
#include "entity/EntityTestSupport.h"
#include "entity/ZAnimComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTexture.h"

using entitytest::CommandChain;
using entitytest::Markup;
using Texts = std::vector<std::string>;

namespace {

// An entity with a sprite whose sheet is a texture of the given size.
struct SpriteEntity {
    SpriteEntity(const int width, const int height) {
        texture.width = width;
        texture.height = height;
        sprite = AddComponent<ZSpriteComponent>(&entity);
        auto* sheet = new ZSpriteSheet(ZHashedString("TestSheet"), nullptr);
        sheet->texture = &texture;
        sprite->SetSheet(sheet);
        anim = AddComponent<ZAnimComponent>(&entity);
    }
    ~SpriteEntity() {
        // The stand-in texture is not the cache's.
        sprite->sheet->texture = nullptr;
    }
    ZTexture texture;
    ZEntity entity;
    ZSpriteComponent* sprite = nullptr;
    ZAnimComponent* anim = nullptr;
};

// Records what a parameter source hands to one binding.
struct RecordedBinding : ZEffectParameter {
    explicit RecordedBinding(const char* parameterName) : ZEffectParameter(nullptr, parameterName, kMatrix, 1) {}
    void SetMatrix(const ZMatrix4& value) override { matrix = value; }
    void SetFloat(const float value) override { number = value; }
    void SetTexture(const ZHashedString textureName) override { texture = textureName; }
    ZMatrix4 matrix;
    float number = -1.0f;
    ZHashedString texture;
};

int gFinished = 0;
void CountFinished(ZEntity*) { ++gFinished; }

}  // namespace

TEST(ZAnimComponent, FramesAreCutFromTheSheetAlongRowsAndColumns) {
    struct Case {
        const char* frame;
        std::vector<AnimFrame> frames;
    };
    const Case cases[] = {
        {"X='0' Y='16' W='16' H='16' DX='4' DY='1'",
         {{0, 0.25f, 0.25f, 0.25f}, {0.25f, 0.25f, 0.25f, 0.25f}, {0.5f, 0.25f, 0.25f, 0.25f},
          {0.75f, 0.25f, 0.25f, 0.25f}}},
        // Right and down together; the third wraps down to the first row.
        {"X='0' Y='0' W='16' H='32' DX='3' DY='2'",
         {{0, 0, 0.25f, 0.5f}, {0.25f, 0.5f, 0.25f, 0.5f}, {0.5f, 0, 0.25f, 0.5f}}},
        // Counts below 1 count as 1.
        {"X='32' Y='32' W='16' H='16' DX='0' DY='-3'", {{0.5f, 0.5f, 0.25f, 0.25f}}},
    };
    {
        // A slip of the keyboard does not eat the memory.
        SpriteEntity e(64, 64);
        e.anim->ReadDefinition(Markup("<Anim><Sequence Name='Oops'><Frame W='2000000000' H='16' DX='2000000000'/>"
                                      "</Sequence></Anim>"));
        EXPECT_EQ(e.anim->sequences.Get(ZHashedString("Oops")).frames.Count(), 4096u);
    }
    for (const Case& c : cases) {
        SpriteEntity e(64, 64);
        e.anim->ReadDefinition(
            Markup(std::string("<Anim><Sequence Name='Walk'><Frame ") + c.frame + "/></Sequence></Anim>"));
        const AnimSequence& walk = e.anim->sequences.Get(ZHashedString("Walk"));
        ASSERT_EQ(walk.frames.Count(), c.frames.size()) << c.frame;
        for (uint32_t i = 0; i < walk.frames.Count(); ++i) {
            EXPECT_EQ(walk.frames[i], c.frames[i]) << c.frame << " frame " << i;
        }
    }
}

TEST(ZAnimComponent, TheFrameFollowsTheElapsedTime) {
    SpriteEntity e(64, 64);
    e.anim->ReadDefinition(Markup("<Anim><Sequence Name='Walk' Duration='1.0' StartPlaying='true'>"
                                  "<Frame X='0' Y='0' W='16' H='16' DX='4'/></Sequence></Anim>"));
    EXPECT_EQ(e.anim->playing, 1);
    EXPECT_EQ(e.anim->currentSequence, ZHashedString("Walk"));
    struct Case {
        float elapsed;
        int index;
    };
    for (const Case c : {Case{0.0f, 0}, Case{0.24f, 0}, Case{0.49f, 1}, Case{0.5f, 2}, Case{0.99f, 3}}) {
        e.anim->elapsed = c.elapsed;
        EXPECT_EQ(e.anim->GetFrameIndex(), c.index) << c.elapsed;
    }
    e.anim->elapsed = 0.5f;
    const ZMatrix4 uv = e.anim->GetUVMatrix();
    EXPECT_FLOAT_EQ(uv[0], 0.25f);
    EXPECT_FLOAT_EQ(uv[5], 0.25f);
    EXPECT_FLOAT_EQ(uv[12], 0.5f);
    EXPECT_FLOAT_EQ(uv[13], 0.0f);
}

TEST(ZAnimComponent, EachEndRunsTheCallbackAndTheFinishedActionsOnce) {
    const CommandChain chain;
    struct Case {
        const char* loop;
        bool keepsPlaying;
    };
    for (const Case c : {Case{"TRUE", true}, Case{"yes", false}, Case{"false", false}}) {
        SCOPED_TRACE(c.loop);
        CommandChain::Log().clear();
        gFinished = 0;
        SpriteEntity e(64, 64);
        e.anim->SetFinishedCallback(&CountFinished);
        e.anim->ReadDefinition(Markup(std::string("<Anim><Sequence Name='Spin' Duration='1.0' Loop='") + c.loop +
                                      "'><Frame W='16' H='16' DX='4'/><Finished><Action Text='spun'/></Finished>"
                                      "</Sequence></Anim>"));
        e.anim->Play(ZHashedString("Spin"));
        e.anim->Update(0.9f, 4);
        e.anim->Update(0.5f, 2);  // the fixed-step list does not advance it
        EXPECT_EQ(gFinished, 0);
        e.anim->Update(1.4f, 4);  // 0.9 -> 2.3: one end
        EXPECT_EQ(gFinished, 1);
        EXPECT_NEAR(e.anim->elapsed, 0.3f, 1e-5f);
        EXPECT_EQ(chain.Words(), (Texts{"spun"}));
        EXPECT_EQ(e.anim->playing != 0, c.keepsPlaying);
    }
}

TEST(ZAnimComponent, DirectionModsAddOffsetsWhileMovingTheirWay) {
    struct Case {
        float dot;
        ZVector3 velocity;
        float u;
    };
    // The frame is at u 0; the mod adds 16 pixels of a 64-pixel sheet.
    const Case cases[] = {
        {0.5f, {30, 0, 0}, 0.25f}, {0.5f, {0, 0, 0}, 0.0f}, {0.5f, {-30, 0, 0}, 0.0f},
        {0.0f, {0, 0, 0}, 0.25f},  {0.5f, {30, 30, 0}, 0.25f},
    };
    for (const Case& c : cases) {
        SpriteEntity e(64, 64);
        AddComponent<ZSpatialComponent>(&e.entity)->current.velocity = c.velocity;
        e.anim->ReadDefinition(Markup("<Anim><Sequence Name='Walk' Duration='1' StartPlaying='True'>"
                                      "<Frame W='16' H='16'/><Mod NX='2' NY='0' Dot='" +
                                      std::to_string(c.dot) + "' OX='16' OY='0'/></Sequence></Anim>"));
        EXPECT_FLOAT_EQ(e.anim->GetFrameOffset().x, c.u) << c.dot << " " << c.velocity.x;
    }
}

TEST(ZAnimComponent, SequencesWithoutFramesShowTheWholeSheetAndNeverDivideByZero) {
    struct Case {
        const char* name;
        int width;  // -1: no sprite at all
    };
    for (const Case c : {Case{"no sprite", -1}, Case{"no sheet texture", 0}}) {
        SCOPED_TRACE(c.name);
        ZEntity plain;
        SpriteEntity withSprite(c.width < 0 ? 0 : c.width, 0);
        ZAnimComponent* anim = c.width < 0 ? AddComponent<ZAnimComponent>(&plain) : withSprite.anim;
        anim->ReadDefinition(Markup("<Anim><Sequence Name='Idle' Duration='2' StartPlaying='true'>"
                                    "<Frame W='16' H='16' DX='4'/><Mod NX='1' OX='4'/></Sequence></Anim>"));
        const AnimSequence& idle = anim->sequences.Get(ZHashedString("Idle"));
        EXPECT_FLOAT_EQ(idle.duration, 2.0f);
        EXPECT_TRUE(idle.frames.IsEmpty());
        EXPECT_TRUE(idle.mods.IsEmpty());
        anim->elapsed = 1.3f;
        EXPECT_EQ(anim->GetFrameIndex(), 0);
        EXPECT_EQ(anim->GetUVMatrix(), ZMatrix4());
        EXPECT_FLOAT_EQ(anim->GetFrameSize().x, 1.0f);
        anim->Update(5.0f, 4);
        EXPECT_TRUE(std::isfinite(anim->elapsed));
    }
    // An unknown sequence answers the defaults.
    ZEntity entity;
    ZAnimComponent* anim = AddComponent<ZAnimComponent>(&entity);
    anim->Play(ZHashedString("Nothing"));
    EXPECT_EQ(anim->GetFrameCount(), 0);
    EXPECT_FLOAT_EQ(anim->GetDuration(), 0.0f);
    anim->Update(1.0f, 4);
    EXPECT_FLOAT_EQ(anim->elapsed, 1.0f);
}

TEST(ZAnimComponent, TheAnimVerbStartsASequence) {
    const CommandChain chain;
    ZEntity entity;
    ZAnimComponent* anim = AddComponent<ZAnimComponent>(&entity);
    anim->elapsed = 0.7f;
    RunCommandText("anim Self PLAY Jump", entity.GetHandle(), 0);
    EXPECT_EQ(anim->playing, 1);
    EXPECT_FLOAT_EQ(anim->elapsed, 0.0f);
    EXPECT_EQ(anim->currentSequence, ZHashedString("Jump"));
    RunCommandText("anim Self stop Jump", entity.GetHandle(), 0);
    EXPECT_EQ(anim->playing, 1);
    EXPECT_TRUE(chain.Words().empty());
}

TEST(ZSpriteComponent, ASecondDefinitionReplacesTheQuadInItsGroup) {
    ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString("World Sprites Group"));
    if (group == nullptr) {
        group = GetRenderer()->CreateRenderGroup(ZHashedString("World Sprites Group"));
    }
    ASSERT_NE(group, nullptr);
    const uint32_t before = group->renderables.Count();
    {
        ZEntity entity;
        ZRenderableComponent* renderables = AddComponent<ZRenderableComponent>(&entity);
        ZSpriteComponent* sprite = AddComponent<ZSpriteComponent>(&entity);
        sprite->ReadDefinition(Markup("<Sprite Sheet='NoSuchSheet.png'/>"));
        EXPECT_EQ(sprite->sheet, nullptr) << "a sheet without a name builds nothing";
        sprite->ReadDefinition(Markup("<Sprite Name='A' Sheet='NoSuchSheet.png'/>"));
        ZSpriteSheet* first = sprite->sheet;
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(group->Contains(first));
        EXPECT_EQ(renderables->GetRenderable(ZHashedString()), first);
        sprite->ReadDefinition(Markup("<Sprite Name='B' Sheet='NoSuchSheet.png'/>"));
        ASSERT_NE(sprite->sheet, nullptr);
        EXPECT_EQ(group->renderables.Count(), before + 1);
        EXPECT_TRUE(group->Contains(sprite->sheet));
        EXPECT_EQ(renderables->GetRenderable(ZHashedString()), sprite->sheet);
    }
    EXPECT_EQ(group->renderables.Count(), before) << "the quad leaves with its component";
}

TEST(ZSpriteComponent, AnswersTheQuadsParameters) {
    SpriteEntity e(64, 64);
    RecordedBinding uv("uvMat");
    RecordedBinding wvp("wvpMat");
    RecordedBinding distance("AnaglyphDistance");
    RecordedBinding diffuse("DiffuseMap");
    RecordedBinding unknown("SomethingElse");
    ZParameterSource* quad = e.sprite->sheet;
    // Without anim frames, a camera or an anaglyph depth: the neutral answers.
    EXPECT_TRUE(quad->SetParameters(&uv, ZHashedString(), nullptr));
    EXPECT_EQ(uv.matrix, ZMatrix4());
    EXPECT_TRUE(quad->SetParameters(&wvp, ZHashedString(), nullptr));
    EXPECT_EQ(wvp.matrix, ZMatrix4());
    EXPECT_TRUE(quad->SetParameters(&distance, ZHashedString(), nullptr));
    EXPECT_FLOAT_EQ(distance.number, 0.0f);
    EXPECT_TRUE(quad->SetParameters(&diffuse, ZHashedString(), nullptr));
    EXPECT_EQ(diffuse.texture, ZHashedString("TestSheet"));
    EXPECT_FALSE(quad->SetParameters(&unknown, ZHashedString(), nullptr));

    e.anim->ReadDefinition(Markup("<Anim><Sequence Name='Walk' Duration='1' StartPlaying='true'>"
                                  "<Frame X='16' Y='32' W='16' H='16'/></Sequence></Anim>"));
    quad->SetParameters(&uv, ZHashedString(), nullptr);
    EXPECT_EQ(uv.matrix, e.anim->GetUVMatrix());
    EXPECT_FLOAT_EQ(uv.matrix[12], 0.25f);
    EXPECT_FLOAT_EQ(uv.matrix[13], 0.5f);

    // A spatial and a camera component without a camera: the snapped world
    // matrix moved back onto whole pixels.
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&e.entity);
    AddComponent<ZCameraComponent>(&e.entity);
    spatial->current.position = {10.2f, 20.7f, 0.0f};
    spatial->ResetInterpolation();
    quad->SetParameters(&wvp, ZHashedString(), nullptr);
    EXPECT_FLOAT_EQ(wvp.matrix[12], 10.0f);
    EXPECT_FLOAT_EQ(wvp.matrix[13], 21.0f);

    AddComponent<AnaglyphComponent>(&e.entity)->ReadDefinition(Markup("<Anaglyph/>"));
    EXPECT_FLOAT_EQ(GetComponent<AnaglyphComponent>(&e.entity)->depth, 0.0f);
}

TEST(ZCameraComponent, ShakeDecaysAtItsRateAndStopsBelowHalfAUnit) {
    ZCameraShake& shake = GetCameraShake();
    const ZCameraShake saved = shake;
    shake = ZCameraShake();
    shake.intensity = 4.0f;
    shake.decay = 3.0f;
    shake.lastTime = 10.0f;
    ZCameraComponent::UpdateShakeAt(10.05f);
    EXPECT_NEAR(shake.intensity, 3.4f, 1e-4f);
    EXPECT_NEAR(shake.direction.x * shake.direction.x + shake.direction.y * shake.direction.y, 1.0f, 0.02f);
    // Each update multiplies by (1 - 3 dt) until below 0.5, which stops it.
    float expected = 3.4f;
    float now = 10.05f;
    while (expected >= 0.5f) {
        now += 0.05f;
        expected -= expected * 0.15f;
        ZCameraComponent::UpdateShakeAt(now);
        EXPECT_NEAR(shake.intensity, expected < 0.5f ? 0.0f : expected, 1e-3f) << now;
    }
    // Decay times the step of 1 or more zeroes it at once.
    shake.intensity = 100.0f;
    ZCameraComponent::UpdateShakeAt(now + 0.4f);
    EXPECT_FLOAT_EQ(shake.intensity, 0.0f);
    // Within the interval nothing changes.
    shake.intensity = 4.0f;
    shake.interval = 1.0f / 24.0f;
    ZCameraComponent::UpdateShakeAt(now + 0.41f);
    EXPECT_FLOAT_EQ(shake.intensity, 4.0f);
    ZCameraComponent::UpdateShakeAt(now + 0.41f);
    EXPECT_FLOAT_EQ(shake.intensity, 4.0f);
    shake = saved;
}

TEST(ZCameraComponent, TableSineWrapsNegativeAngles) {
    struct Case {
        float x;
        float sine;
    };
    const float pi = 3.14159265f;
    for (const Case c : {Case{pi / 2, 1.0f}, Case{-pi / 2, -1.0f}, Case{0.0f, 0.0f}, Case{pi / 6, 0.5f},
                         Case{-7 * pi / 2, 1.0f}, Case{1e30f, 0.0f}}) {
        EXPECT_NEAR(TableSin(c.x), c.sine, c.x > 1e20f ? 1.0f : 2e-3f) << c.x;
    }
    EXPECT_FLOAT_EQ(LerpClamped(4.0f, 0.0f, 3.0f, 0.05f), 3.4f);
    EXPECT_FLOAT_EQ(LerpClamped(4.0f, 0.0f, 3.0f, 1.0f), 0.0f);
}

TEST(ZPlainEntity, DrawablesGetPlainNamesAndOutliveTheirEntity) {
    ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString("Plain Test Group"));
    if (group == nullptr) {
        group = GetRenderer()->CreateRenderGroup(ZHashedString("Plain Test Group"));
    }
    ZQuadRenderable first;
    ZQuadRenderable second;
    ZQuadRenderable lost;
    {
        ZPlainEntity entity;
        EXPECT_NE(GetComponent<ZRenderableComponent>(&entity), nullptr);
        EXPECT_NE(GetComponent<ZCameraComponent>(&entity), nullptr);
        EXPECT_NE(GetComponent<ZSpatialComponent>(&entity), nullptr);
        entity.AddRenderable(&first, ZHashedString("Plain Test Group"), nullptr);
        entity.AddRenderable(&first, ZHashedString("Plain Test Group"), nullptr);
        entity.AddRenderable(&second, ZHashedString("Plain Test Group"), nullptr);
        entity.AddRenderable(&lost, ZHashedString("No Such Group"), nullptr);
        EXPECT_EQ(entity.renderGroup, ZHashedString("No Such Group"));
        EXPECT_EQ(group->renderables.Count(), 2u) << "the same drawable joins a group once";
        EXPECT_EQ(first.GetAttachedSource(), static_cast<ZParameterSource*>(&entity));
        ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(&entity);
        EXPECT_EQ(renderables->renderables.Count(), 4u);

        // Moves on the fixed step, blends each frame.
        ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(&entity);
        spatial->current.velocity = {60, 0, 0};
        entity.PostUpdate(1.0f / 60.0f, 2);
        EXPECT_NEAR(spatial->current.position.x, 1.0f, 1e-5f);
        entity.PostUpdate(0.5f, 4);
        RecordedBinding world("worldMat");
        EXPECT_TRUE(entity.SetParameters(&world, ZHashedString(), nullptr));
        EXPECT_NEAR(world.matrix[12], spatial->interpolated.position.x, 1e-5f);

        renderables->SetRenderablesVisible(false);
        EXPECT_FALSE(first.visible);
        EXPECT_FALSE(lost.visible);
    }
    EXPECT_EQ(group->renderables.Count(), 0u);
    EXPECT_FALSE(group->Contains(&first));
    EXPECT_EQ(first.GetAttachedSource(), nullptr) << "no link to the gone entity";
}
