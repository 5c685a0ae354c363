#pragma once

// Drawing glyph quads and sprites on OpenGL: an effect that maps pixel
// positions (y negated) to the screen like the engine's HUD effect, samples
// its texture point by point and multiplies the vertex colour in, blended
// over a 256 x 224 colour target that the test reads back.

#include <string>
#include <vector>

#include "GlRendererFixture.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"

namespace gltest {

inline const char* kPixelQuadEffect = R"(effect 1
parameter float invHalfScreenWidth = 0.0078125
parameter float invHalfScreenHeight = 0.008928571428571
parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter Point
    MagFilter Point
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
technique Quads
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend InvSrcAlpha
end
code vertex VS
uniform float invHalfScreenWidth;
uniform float invHalfScreenHeight;
in vec3 a_Position;
in vec2 a_TexCoord0;
in vec4 a_Color;
out vec2 uv;
out vec4 tint;
void main() {
    gl_Position = vec4(a_Position.x * invHalfScreenWidth - 1.0, a_Position.y * invHalfScreenHeight + 1.0, 0.0, 1.0);
    uv = a_TexCoord0;
    tint = a_Color;
}
endcode
code fragment FS
uniform sampler2D texSampler;
in vec2 uv;
in vec4 tint;
out vec4 colour;
void main() { colour = texture(texSampler, uv) * tint; }
endcode
)";

class TextGlTest : public GlRendererTest {
protected:
    void SetUp() override {
        GlRendererTest::SetUp();
        if (HasFatalFailure()) return;
        target.width = kWidth;
        target.height = kHeight;
        target.format = ZRenderTarget::kA8R8G8B8;
        ASSERT_TRUE(GetRenderer()->CreateRenderTarget(target, ZHashedString::None()));
        GetRenderer()->SetRenderTarget(0, &target);
        GetRenderer()->Clear(true, false, kBackground, 1.0f);
        effect = LoadEffect("pixelquads", kPixelQuadEffect);
    }
    void TearDown() override {
        GetRenderer()->SetRenderTarget(0, nullptr);
        target.Release();
        GlRendererTest::TearDown();
    }

    // Draws the renderable with the texture of that name.
    void DrawWith(ZRenderable& renderable, const ZHashedString texture) {
        Draw(effect, "Quads", renderable, [&] {
            gfx::Effect* fx = effect->GetEffect();
            ZTexture* t = ZTextureMgr::GetInstance()->FindTexture(texture);
            ASSERT_NE(t, nullptr);
            fx->SetTexture(fx->GetParameterByName(0, "tex"), t->GetTexture());
        });
    }

    std::vector<uint32_t> Pixels() { return ReadTarget(target.surface, kWidth, kHeight); }

    // The first pixel that differs from the expected image, or success.
    static ::testing::AssertionResult SameImage(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want) {
        for (size_t i = 0; i < got.size(); ++i) {
            if (got[i] != want[i]) {
                return ::testing::AssertionFailure()
                       << "pixel (" << i % kWidth << ", " << i / kWidth << ") is 0x" << std::hex << got[i]
                       << ", expected 0x" << want[i];
            }
        }
        return ::testing::AssertionSuccess();
    }

    static constexpr uint32_t kBackground = 0xFF000000u;
    ZRenderTarget target;
    ZEffect* effect = nullptr;
};

}  // namespace gltest
