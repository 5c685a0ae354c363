// Sprites on OpenGL: an entity's sprite with an animation drawn offscreen and
// read back: the right frame of the sheet centred on the entity's position,
// with its camera or with the game's sprite view.

#include <string>
#include <vector>

#include "entity/ZAnimComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "renderer/ZImage.h"
#include "renderer_gl/GlRendererFixture.h"

using namespace gltest;

namespace {

// The sprite quad is the unit square, y down; wvpMat places it in screen
// pixels, which the vertex stage turns into clip space.
const char* kSpriteEffect = R"(effect 1
parameter float4x4 wvpMat = 1 0 0 0  0 1 0 0  0 0 1 0  0 0 0 1
annotation string Scope = "RendInst"
parameter float4x4 uvMat = 1 0 0 0  0 1 0 0  0 0 1 0  0 0 0 1
annotation string Scope = "RendInst"
parameter texture DiffuseMap
annotation string Scope = "RendInst"
sampler sampler2D diffuseSampler
    texture DiffuseMap
    MinFilter Point
    MagFilter Point
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
technique Sprite
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
        AlphaBlendEnable false
end
code vertex VS
uniform mat4 wvpMat;
uniform mat4 uvMat;
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 uv;
void main() {
    vec4 p = vec4(a_Position, 1.0) * wvpMat;
    gl_Position = vec4(p.x / 128.0 - 1.0, 1.0 - p.y / 112.0, 0.0, 1.0);
    uv = (vec4(a_TexCoord0, 0.0, 1.0) * uvMat).xy;
}
endcode
code fragment FS
uniform sampler2D diffuseSampler;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(diffuseSampler, uv); }
endcode
)";

// Four 16 x 16 frames in the second row of a 64 x 64 sheet, one colour each;
// the rest of the sheet is grey.
const uint32_t kFrameColours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
constexpr uint32_t kSheetGrey = 0xFF808080u;
constexpr uint32_t kClear = 0xFF000000u;

std::string SheetBmp() {
    ZImage image;
    image.Create(64, 64, 4, 32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            image.SetPixel(x, y, y >= 16 && y < 32 ? kFrameColours[x / 16] : kSheetGrey);
        }
    }
    const std::vector<uint8_t> bytes = image.EncodeBMP();
    return std::string(bytes.begin(), bytes.end());
}

ZDefNode Markup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

class ZSpriteGlTest : public GlRendererTest {};

}  // namespace

TEST_F(ZSpriteGlTest, DrawsTheCurrentFrameAtTheEntitysPixels) {
    dir.Write("sheet.bmp", SheetBmp());
    ZEffect* effect = LoadEffect("sprite", kSpriteEffect);
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    AddComponent<ZCameraComponent>(&entity);  // no game camera: screen pixels
    ZSpriteComponent* sprite = AddComponent<ZSpriteComponent>(&entity);
    sprite->ReadDefinition(Markup("<Sprite Name='HeroSheet' Sheet='sheet.bmp'/>"));
    ASSERT_NE(sprite->sheet, nullptr);
    ASSERT_EQ(sprite->sheet->GetWidth(), 64);
    ZAnimComponent* anim = AddComponent<ZAnimComponent>(&entity);
    anim->ReadDefinition(Markup("<Anim><Sequence Name='Walk' Duration='1' Loop='true' "
                                            "StartPlaying='true'><Frame X='0' Y='16' W='16' H='16' DX='4'/>"
                                            "</Sequence></Anim>"));
    ASSERT_EQ(anim->GetFrameCount(), 4);

    struct Case {
        ZVector3 position;  // the middle of the 16 x 16 sprite
        float elapsed;
        int frame;
    };
    const Case cases[] = {
        {{40.2f, 30.4f, 0.0f}, 0.0f, 0},
        {{100.0f, 60.0f, 0.0f}, 0.3f, 1},
        {{10.6f, 150.0f, 0.0f}, 0.6f, 2},
        {{200.0f, 100.0f, 0.0f}, 0.9f, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        // Drawn between two fixed steps: halfway from 20 pixels up-left.
        spatial->current.position = c.position - ZVector3(20.0f, 20.0f, 0.0f);
        spatial->current.scale = {16.0f, 16.0f, 1.0f};
        spatial->ResetInterpolation();
        spatial->current.position = c.position + ZVector3(20.0f, 20.0f, 0.0f);
        spatial->Interpolate(0.5f);
        anim->elapsed = c.elapsed;
        GetRenderer()->Clear(true, false, kClear, 1.0f);
        Draw(effect, "Sprite", *sprite->sheet, [&] {
            for (const char* name : {"wvpMat", "uvMat", "DiffuseMap"}) {
                EXPECT_TRUE(sprite->sheet->SetParameters(Param(effect, name), ZHashedString(), nullptr)) << name;
            }
        });
        const std::vector<uint32_t> pixels = ReadBackBuffer();
        // The sprite is centred on its position, snapped to whole pixels (the
        // integer part moves up where the fraction is above one half): its
        // middle is the edge between the pixels left + 7 and left + 8.
        const int left = static_cast<int>(std::floor(c.position.x + 0.5f)) - 7;
        const int top = static_cast<int>(std::floor(c.position.y + 0.5f)) - 7;
        for (int y = top - 2; y < top + 18; ++y) {
            for (int x = left - 2; x < left + 18; ++x) {
                const bool inside = x >= left && x < left + 16 && y >= top && y < top + 16;
                const uint32_t expected = inside ? kFrameColours[c.frame] : kClear;
                ASSERT_EQ(pixels[static_cast<size_t>(y) * kWidth + x], expected) << "pixel " << x << ", " << y;
            }
        }
    }
}

TEST_F(ZSpriteGlTest, TheGamesSpriteViewPlacesSpritesWithoutACamera) {
    dir.Write("sheet.bmp", SheetBmp());
    ZEffect* effect = LoadEffect("sprite", kSpriteEffect);
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    ZSpriteComponent* sprite = AddComponent<ZSpriteComponent>(&entity);
    sprite->ReadDefinition(Markup("<Sprite Name='PlacedSheet' Sheet='sheet.bmp'/>"));
    ASSERT_NE(sprite->sheet, nullptr);
    // The whole 64 x 64 sheet on a 16 x 16 quad is too coarse to tell frames
    // apart: one frame of it fills the quad.
    ZAnimComponent* anim = AddComponent<ZAnimComponent>(&entity);
    anim->ReadDefinition(Markup("<Anim><Sequence Name='Still' Duration='1' StartPlaying='true'>"
                                "<Frame X='16' Y='16' W='16' H='16'/></Sequence></Anim>"));
    spatial->current.position = {100.0f, 80.0f, 0.0f};
    spatial->current.scale = {16.0f, 16.0f, 1.0f};
    spatial->ResetInterpolation();

    // The game's view: a room whose camera looks 40 pixels right and 20 down.
    static ZMatrix4 view;
    view = ZMatrix4::Translation(ZVector3(-40.0f, -20.0f, 0.0f));
    GetEntityGameHooks().getSpriteViewProjection = [] { return view; };
    GetRenderer()->Clear(true, false, kClear, 1.0f);
    Draw(effect, "Sprite", *sprite->sheet, [&] {
        for (const char* name : {"wvpMat", "uvMat", "DiffuseMap"}) {
            EXPECT_TRUE(sprite->sheet->SetParameters(Param(effect, name), ZHashedString(), nullptr)) << name;
        }
    });
    GetEntityGameHooks().getSpriteViewProjection = nullptr;
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    // Middle at (60, 60) on screen: pixels 53..68 both ways.
    for (int y = 50; y < 72; ++y) {
        for (int x = 50; x < 72; ++x) {
            const bool inside = x >= 53 && x < 69 && y >= 53 && y < 69;
            ASSERT_EQ(pixels[static_cast<size_t>(y) * kWidth + x], inside ? kFrameColours[1] : kClear)
                << "pixel " << x << ", " << y;
        }
    }
}
