// The world sprites' effect drawn over a cleared target and read back: opaque
// texels as they are, clear texels and the mask colour cut out, and a texel
// between (the speedrun ghost's sheet) laid over the room by its alpha.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"
#include "renderer_gl/GlRendererFixture.h"

namespace {

constexpr uint32_t kRoom = 0xFF204060u;
constexpr const char* kSheet = "sprites test sheet";

struct Texel {
    const char* what;
    uint32_t texel;
    uint32_t shown;
};

// One texel a 4-pixel cell of the 32 x 8 target.
const Texel kTexels[] = {
    {"opaque", 0xFFC81E0Au, 0xFFC81E0Au},
    {"opaque white", 0xFFFFFFFFu, 0xFFFFFFFFu},
    {"clear", 0x00FFFFFFu, kRoom},
    {"the mask colour", 0xFFFF00FFu, kRoom},
    // Half over the room: 0x80 of 255 of the texel, the rest of the room.
    {"half clear", 0x8000FF00u, 0xFF10A030u},
    {"a quarter", 0x40FFFFFFu, 0xFF587088u},
    {"three quarters", 0xC0FF0000u, 0xFFC81018u},
};
constexpr int32_t kCells = static_cast<int32_t>(std::size(kTexels));

class SpritesGlTest : public gltest::GlRendererTest {};

TEST_F(SpritesGlTest, OpaqueTexelsStayClearOnesCutOutAndPartOnesShowTheRoomBehind) {
    ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(kCells, 1, ZHashedString(kSheet));
    ASSERT_NE(texture, nullptr);
    int32_t pitch = 0;
    void* bits = nullptr;
    ASSERT_TRUE(texture->LockRect(pitch, bits));
    for (int32_t x = 0; x < kCells; ++x) std::memcpy(static_cast<uint8_t*>(bits) + 4 * x, &kTexels[x].texel, 4);
    texture->UnlockRect();

    std::ifstream file(std::string(KORV_SOURCE_DIR) + "/data/game/effects/sprites.fxo");
    std::stringstream text;
    text << file.rdbuf();
    ZEffect* effect = LoadEffect("sprites", text.str());
    ASSERT_NE(effect->GetEffect(), nullptr);

    const int32_t width = 4 * kCells, height = 8;
    ZRenderTarget target;
    target.width = width;
    target.height = height;
    target.format = ZRenderTarget::kA8R8G8B8;
    ASSERT_TRUE(GetRenderer()->CreateRenderTarget(target, ZHashedString::None()));
    gltest::ScreenQuad quad(width, height);
    ZRenderer* r = GetRenderer();
    r->SetRenderTarget(0, &target);
    r->Clear(true, true, kRoom, 1.0f);  // depth too, as the game's passes do: sprites test it
    Draw(effect, "SpriteTech", quad.renderable, [&] {
        Param(effect, "DiffuseMap")->SetTexture(ZHashedString(kSheet));
        Param(effect, "MaskColor")->SetVector(ZVector4(1.0f, 0.0f, 1.0f, 1.0f));
    });
    const std::vector<uint32_t> pixels = ReadTarget(target.surface, width, height);
    r->SetRenderTarget(0, nullptr);

    for (int32_t c = 0; c < kCells; ++c) {
        const uint32_t got = pixels[static_cast<size_t>(4 * width + 4 * c + 1)];
        const uint32_t want = kTexels[c].shown;
        // Blending rounds: a step either way in a channel.
        for (const int shift : {0, 8, 16, 24}) {
            EXPECT_LE(std::abs(static_cast<int>(got >> shift & 0xFF) - static_cast<int>(want >> shift & 0xFF)),
                      (kTexels[c].texel >> 24) == 0xFF || (kTexels[c].texel >> 24) == 0 ? 0 : 1)
                << kTexels[c].what << std::hex << ": 0x" << got << ", not 0x" << want;
        }
    }
}

}  // namespace
