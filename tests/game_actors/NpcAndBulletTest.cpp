// The NPC component (its settings, its look from its GUID, wandering and
// facing, and entities that lack parts), its palette material, and the bullet
// component's streams and timers.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "entity/ZAnimComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZStreamMgr.h"
#include "game/components/BulletComponent.h"
#include "game/components/NPCComponent.h"
#include "game/components/NPCPaletteMaterial.h"
#include "game/components/NPCShader.h"
#include "game_actors/ActorTestSupport.h"
#include "game_world/GameFixture.h"
#include "renderer/ZImage.h"
#include "renderer/ZTexture.h"

using actortest::Markup;
using actortest::RecordedBinding;

namespace {

TEST(NPCComponent, SettingsAreReadAsWritten) {
    struct Case {
        const char* element;
        bool stationary;
        float speed;
        float facingX;
    };
    const Case cases[] = {
        {"<NPC/>", false, 48.0f, -1.0f},
        {"<NPC Stationary='TRUE'/>", true, 48.0f, -1.0f},
        {"<NPC Stationary='yes'/>", false, 48.0f, -1.0f},
        {"<NPC Face='Right' WalkSpeed='30'/>", false, 30.0f, 1.0f},
        {"<NPC Face='left'/>", false, 48.0f, -1.0f},
        {"<NPC WalkSpeed='fast'/>", false, 0.0f, -1.0f},
    };
    for (const Case& c : cases) {
        NPCComponent npc;
        npc.ReadDefinition(Markup(c.element));
        EXPECT_EQ(npc.stationary, c.stationary) << c.element;
        EXPECT_EQ(npc.walkSpeed, c.speed) << c.element;
        EXPECT_EQ(npc.facing.x, c.facingX) << c.element;
        EXPECT_EQ(npc.facing.y, 0.0f);
    }
}

TEST(NPCComponent, TheSharedShaderStaysFromTheFirstCharacterUntilTheGameReleasesIt) {
    EXPECT_EQ(NPCComponent::GetLiveCount(), 0);
    NPCComponent::ReleaseSharedShader();
    auto* first = new NPCComponent();
    NPCShader* shared = NPCComponent::GetSharedShader();
    ASSERT_NE(shared, nullptr);
    auto* second = new NPCComponent();
    EXPECT_EQ(NPCComponent::GetSharedShader(), shared);
    EXPECT_EQ(second->GetMaterial()->GetShader(), static_cast<ZShader*>(shared));
    delete first;
    delete second;
    // A room change takes every character away; the next room's share the shader.
    EXPECT_EQ(NPCComponent::GetLiveCount(), 0);
    EXPECT_EQ(NPCComponent::GetSharedShader(), shared);
    auto* next = new NPCComponent();
    EXPECT_EQ(next->GetMaterial()->GetShader(), static_cast<ZShader*>(shared));
    // Released while a character lives, it goes with the last one.
    NPCComponent::ReleaseSharedShader();
    EXPECT_EQ(NPCComponent::GetSharedShader(), shared);
    delete next;
    EXPECT_EQ(NPCComponent::GetSharedShader(), nullptr);
    auto* again = new NPCComponent();
    EXPECT_NE(NPCComponent::GetSharedShader(), nullptr);
    delete again;
    NPCComponent::ReleaseSharedShader();
    EXPECT_EQ(NPCComponent::GetSharedShader(), nullptr);
}

// A character with the parts the look needs (and a sheet of 128 x 192, in
// 16 x 24 frames as the figures use it).
struct Character {
    explicit Character(const uint32_t id, const bool withFrob = true, const bool withAnim = true) {
        texture.width = 128;
        texture.height = 192;
        spatial = AddComponent<ZSpatialComponent>(&entity);
        renderables = AddComponent<ZRenderableComponent>(&entity);
        sprite = AddComponent<ZSpriteComponent>(&entity);
        auto* sheet = new ZSpriteSheet(ZHashedString("NpcSheet"), nullptr);
        sheet->texture = &texture;
        sprite->SetSheet(sheet);
        if (withAnim) {
            anim = AddComponent<ZAnimComponent>(&entity);
            anim->ReadDefinition(Markup("<Anim><Sequence Name='Idle' Duration='1'><Frame X='0' Y='0' W='16' H='24'/>"
                                        "</Sequence><Sequence Name='Walk' Duration='1'>"
                                        "<Frame X='16' Y='0' W='16' H='24'/></Sequence></Anim>"));
        }
        AddComponent<ZGUIDComponent>(&entity)->guid = id;
        if (withFrob) frob = AddComponent<ZFrobComponent>(&entity);
        dialog = AddComponent<ZDialogProviderComponent>(&entity);
        npc = AddComponent<NPCComponent>(&entity);
    }
    ~Character() {
        sprite->sheet->texture = nullptr;
        renderables->ReleaseRenderables();
    }
    ZTexture texture;
    ZEntity entity;
    ZSpatialComponent* spatial = nullptr;
    ZRenderableComponent* renderables = nullptr;
    ZSpriteComponent* sprite = nullptr;
    ZAnimComponent* anim = nullptr;
    ZFrobComponent* frob = nullptr;
    ZDialogProviderComponent* dialog = nullptr;
    NPCComponent* npc = nullptr;
};

// Each test starts as a game does, with no shared shader or palette image
// yet, and ends as its shutdown does.
class NPCLookTest : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        NPCComponent::ReleaseSharedShader();
    }
    void TearDown() override {
        NPCComponent::ReleaseSharedShader();
        GameTest::TearDown();
    }
};

TEST_F(NPCLookTest, TheLookComesFromTheGUIDAndThePaletteImage) {
    MountGamePackage();
    Character a(0x1234);
    Character b(0x1234);
    a.npc->Setup();
    b.npc->Setup();
    const ZImage& palettes = NPCComponent::GetPaletteImage();
    ASSERT_GT(palettes.GetHeight(), 0) << "NPC_Palettes.bmp comes with the game";
    EXPECT_GE(a.npc->GetFigure(), 0);
    EXPECT_LT(a.npc->GetFigure(), 8);
    EXPECT_GE(a.npc->GetPaletteRow(), 0);
    EXPECT_LT(a.npc->GetPaletteRow(), palettes.GetHeight());
    EXPECT_EQ(a.npc->GetFigure(), b.npc->GetFigure()) << "one GUID, one look";
    EXPECT_EQ(a.npc->GetPaletteRow(), b.npc->GetPaletteRow());
    // The row's three pixels are the replacement colours.
    const uint32_t red = palettes.GetPixel(0, a.npc->GetPaletteRow());
    EXPECT_FLOAT_EQ(a.npc->GetMaterial()->red.x, static_cast<float>((red >> 16) & 0xFF) / 255.0f);
    EXPECT_FLOAT_EQ(a.npc->GetMaterial()->red.y, static_cast<float>((red >> 8) & 0xFF) / 255.0f);
    const uint32_t blue = palettes.GetPixel(2, a.npc->GetPaletteRow());
    EXPECT_FLOAT_EQ(a.npc->GetMaterial()->blue.z, static_cast<float>(blue & 0xFF) / 255.0f);
    EXPECT_EQ(a.sprite->sheet->shader, a.npc->GetMaterial()) << "the sprite draws with the character's material";

    // The figure's row and the facing column: two mods on each animation.
    const float u = static_cast<float>(a.npc->GetFigure()) * NPCComponent::kFigureRow;
    for (const char* name : {"Idle", "Walk"}) {
        const AnimSequence& sequence = a.anim->sequences.Find(ZHashedString(name))->value;
        ASSERT_EQ(sequence.mods.Count(), 2u) << name;
        EXPECT_EQ(sequence.mods[0], (AnimMod{0.0f, 0.0f, -1.0f, 0.0f, u}));
        EXPECT_EQ(sequence.mods[1], (AnimMod{1.0f, 0.0f, 0.0f, 0.5f, 0.0f}));
    }
    ASSERT_NE(a.anim->GetDirectionHook(), nullptr);
    ZVector2 direction;
    a.npc->facing = ZVector2(1.0f, 0.0f);
    a.anim->GetDirectionHook()(&a.entity, direction);
    EXPECT_EQ(direction.x, 1.0f);

    // Talking to it turns it towards the talker.
    ZEntity talker;
    AddComponent<ZSpatialComponent>(&talker)->current.position = ZVector3(-50.0f, 0.0f, 0.0f);
    ASSERT_NE(a.frob->GetOnFrobbed(), nullptr);
    a.frob->GetOnFrobbed()(&a.entity, talker.GetHandle());
    EXPECT_EQ(a.npc->facing.x, -1.0f);
}

TEST_F(NPCLookTest, CharactersLackingPartsOrPalettesAreHandled) {
    // No package: no palette image, so no row is drawn and colours stay black.
    Character plain(7, /*withFrob=*/false);
    plain.npc->Setup();
    EXPECT_EQ(NPCComponent::GetPaletteImage().GetHeight(), 0);
    EXPECT_GE(plain.npc->GetFigure(), 0);
    EXPECT_EQ(plain.npc->GetPaletteRow(), -1);
    EXPECT_EQ(plain.npc->GetMaterial()->red, ZVector4(0.0f, 0.0f, 0.0f, 1.0f));

    // Without an animation the look is left alone, and wandering still runs.
    Character stiff(8, true, /*withAnim=*/false);
    stiff.npc->Setup();
    EXPECT_EQ(stiff.npc->GetFigure(), -1);
    stiff.npc->Update(1.0f / 60.0f, 2);
    EXPECT_GT(stiff.npc->walkTimer, 0.0f) << "the first decision comes at the first fixed step";
    EXPECT_NE(std::fabs(stiff.spatial->current.velocity.x), 0.0f) << "it started walking";

    // No components at all.
    ZEntity bare;
    NPCComponent* alone = AddComponent<NPCComponent>(&bare);
    alone->Setup();
    alone->Update(0.5f, 2);
    EXPECT_EQ(alone->walkTimer, -1.0f) << "without a dialog provider and a spatial it does not wander";
}

TEST(NPCComponent, ItWandersStopsOnWholePixelsAndKeepsFacingWhileTalking) {
    Character c(42);
    c.npc->Update(1.0f / 60.0f, 4);
    EXPECT_EQ(c.npc->walkTimer, -1.0f) << "only the fixed step";
    c.npc->Update(1.0f / 60.0f, 2);
    const float speed = c.spatial->current.velocity.x;
    EXPECT_EQ(std::fabs(speed), 48.0f);
    EXPECT_EQ(c.anim->currentSequence, ZHashedString("Walk"));
    EXPECT_EQ(c.npc->facing.x, speed < 0.0f ? -1.0f : 1.0f);
    EXPECT_GE(c.npc->walkTimer, 1.0f);
    EXPECT_LE(c.npc->walkTimer, 3.0f);
    const float facing = c.npc->facing.x;
    c.spatial->current.position.x = 10.6f;
    c.npc->Update(c.npc->walkTimer + 0.01f, 2);
    EXPECT_EQ(c.spatial->current.velocity.x, 0.0f);
    EXPECT_EQ(c.spatial->current.position.x, 11.0f);
    EXPECT_EQ(c.anim->currentSequence, ZHashedString("Idle"));
    EXPECT_EQ(c.npc->facing.x, facing) << "it keeps looking the way it walked";

    // In a conversation it still starts walking but does not turn.
    ZEntity partner;
    c.dialog->consumer = partner.GetHandle();
    c.npc->facing = ZVector2(speed < 0.0f ? 1.0f : -1.0f, 0.0f);
    const float held = c.npc->facing.x;
    for (int i = 0; i < 20 && std::fabs(c.spatial->current.velocity.x) < 1.0f; ++i) {
        c.npc->Update(c.npc->walkTimer + 0.01f, 2);
    }
    ASSERT_GT(std::fabs(c.spatial->current.velocity.x), 1.0f);
    EXPECT_EQ(c.npc->facing.x, held);

    // A stationary character only ever stands.
    Character post(43);
    post.npc->ReadDefinition(Markup("<NPC Stationary='true'/>"));
    for (int i = 0; i < 5; ++i) post.npc->Update(3.1f, 2);
    EXPECT_EQ(post.spatial->current.velocity.x, 0.0f);
}

TEST(NPCPaletteMaterial, AnswersItsColoursAndTheAnaglyphValues) {
    NPCPaletteMaterial material(nullptr);
    RecordedBinding red("RedColor");
    EXPECT_TRUE(material.SetParameters(&red, ZHashedString(), nullptr));
    EXPECT_EQ(red.vector, ZVector4(0.0f, 0.0f, 0.0f, 1.0f)) << "opaque black until given colours";
    material.green = ZVector4(0.1f, 0.2f, 0.3f, 1.0f);
    RecordedBinding green("GreenColor");
    EXPECT_TRUE(material.SetParameters(&green, ZHashedString(), nullptr));
    EXPECT_EQ(green.vector, material.green);
    // Without a game (anaglyph off): no distance, a white tint, the rest zero.
    struct Case {
        const char* name;
        float number;
        ZVector4 vector;
    };
    const Case cases[] = {
        {"AnaglyphDistance", 0.0f, ZVector4(-1, -1, -1, -1)},
        {"AnaglyphDistanceOffset", 0.0f, ZVector4(-1, -1, -1, -1)},
        {"AnaglyphColor", -1.0f, ZVector4(1, 1, 1, 1)},
        {"AnaglyphSilhFix", 0.0f, ZVector4(-1, -1, -1, -1)},
        {"AnaglyphDesat", 0.0f, ZVector4(-1, -1, -1, -1)},
        {"AnaglyphGamma", -1.0f, ZVector4(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        RecordedBinding binding(c.name);
        EXPECT_TRUE(material.SetParameters(&binding, ZHashedString(), nullptr)) << c.name;
        EXPECT_EQ(binding.number, c.number) << c.name;
        EXPECT_EQ(binding.vector, c.vector) << c.name;
    }
    RecordedBinding other("DiffuseMap");
    EXPECT_FALSE(material.SetParameters(&other, ZHashedString(), nullptr)) << "nothing attached";
    EXPECT_EQ(material.GetPassBinding(ZHashedString()), nullptr) << "no shared shader, no technique";
}

TEST(BulletComponent, StreamsAreReadInOrderAndABadRateIsRefused) {
    BulletComponent bullets;
    bullets.ReadDefinition(Markup("<Bullet>"
                                  "<Stream Rate='1' Phase='0.5' Speed='120' Angle='90' Gravity='200' Bounces='3'/>"
                                  "<Stream Rate='0'/>"
                                  "<Stream Rate='-2' Speed='10'/>"
                                  "<Stream Rate='fast'/>"
                                  "<Stream Rate='0.25' Speed='x' Bounces='2.9'/>"
                                  "<Other Rate='1'/>"
                                  "</Bullet>"));
    ASSERT_EQ(bullets.streams.Count(), 2u) << "rates of 0, below 0 or not a number are left out";
    const BulletComponent::Stream& first = bullets.streams[0];
    EXPECT_EQ(first.rate, 1.0f);
    EXPECT_EQ(first.phase, 0.5f);
    EXPECT_EQ(first.timer, 0.5f) << "the first shot waits for the phase";
    EXPECT_EQ(first.speed, 120.0f);
    EXPECT_EQ(first.angle, 90.0f);
    EXPECT_EQ(first.gravity, 200.0f);
    EXPECT_EQ(first.bounces, 3);
    EXPECT_EQ(bullets.streams[1].speed, 0.0f);
    EXPECT_EQ(bullets.streams[1].bounces, 2);
    // A second definition adds to the streams.
    bullets.ReadDefinition(Markup("<Bullet><Stream Rate='3'/></Bullet>"));
    EXPECT_EQ(bullets.streams.Count(), 3u);
    BulletComponent none;
    none.ReadDefinition(Markup("<Bullet/>"));
    EXPECT_EQ(none.streams.Count(), 0u);
}

TEST(BulletComponent, TimersRunOnlyInTheFixedStepOfAShooterWithAPlace) {
    ZEntity shooter;
    BulletComponent* bullets = AddComponent<BulletComponent>(&shooter);
    bullets->ReadDefinition(Markup("<Bullet><Stream Rate='1' Phase='0.5'/><Stream Rate='0.02'/></Bullet>"));
    bullets->Update(0.3f, 2);
    EXPECT_EQ(bullets->streams[0].timer, 0.5f) << "no spatial component: silent";
    AddComponent<ZSpatialComponent>(&shooter);
    bullets->Update(0.3f, 4);
    EXPECT_EQ(bullets->streams[0].timer, 0.5f) << "the frame tick does not count";
    bullets->Update(0.3f, 2);
    EXPECT_NEAR(bullets->streams[0].timer, 0.2f, 1e-6f);
    bullets->Update(0.3f, 2);
    EXPECT_NEAR(bullets->streams[0].timer, 0.9f, 1e-6f) << "fired once and waits a whole rate";
    // A step far longer than the rate fires at most a few shots and starts a
    // fresh period: the fixed step never hangs.
    bullets->Update(1000.0f, 2);
    EXPECT_GT(bullets->streams[1].timer, 0.0f);
    EXPECT_LE(bullets->streams[1].timer, 0.02f);
}

}  // namespace
