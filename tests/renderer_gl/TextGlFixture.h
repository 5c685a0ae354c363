#pragma once

// Drawing glyph quads and sprites on OpenGL: the pixel-quad effect at the
// game's screen size, blended over a 256 x 224 colour target that the test
// reads back.

#include <string>
#include <vector>

#include "GlRendererFixture.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"
#include "support/PixelQuadEffect.h"

namespace gltest {

inline const std::string kPixelQuadEffect = korvtest::PixelQuadEffect("Quads", "0.0078125", "0.008928571428571");

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
