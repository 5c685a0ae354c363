#pragma once

// A hidden OpenGL window and a device on it (256 x 224, the game's screen),
// with helpers to build geometry and effects and read pixels back.

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/effect.h"
#include "platform/gfx/gfx.h"

namespace gfxtest {

constexpr uint32_t kWidth = 256;
constexpr uint32_t kHeight = 224;

struct Bgra {
    uint8_t b, g, r, a;
    bool operator==(const Bgra&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Bgra& c) {
    return os << "(b " << int(c.b) << ", g " << int(c.g) << ", r " << int(c.r) << ", a " << int(c.a) << ")";
}

// Geometry in one stream per element, as the device wants it.
struct Mesh {
    gfx::Ref<gfx::VertexBuffer> positions, texcoords, colours;
    gfx::Ref<gfx::IndexBuffer> indices;
    gfx::Ref<gfx::VertexDeclaration> declaration;
    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
    uint32_t texcoordSize = 2;
};

class GlFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Compiles an effect or fails the test with the compiler's text.
    gfx::Ref<gfx::Effect> MakeEffect(const std::string& text);
    // The compiler's text for an effect that must not compile.
    std::string EffectErrors(const std::string& text);

    gfx::Ref<gfx::VertexBuffer> MakeBuffer(const void* data, uint32_t bytes, uint32_t usage = 0,
                                           gfx::Pool pool = gfx::Pool::Managed);
    // A quad (0,1,2 0,2,3) from four positions and optional texcoords (2 or 3 floats each) and colours.
    Mesh MakeQuad(const float (*positions)[3], const float* texcoords, uint32_t texcoordSize,
                  const uint32_t* coloursArgb = nullptr);
    // The screen-filling quad with half-texel offsets for a target of w x h.
    Mesh MakeScreenQuad(uint32_t w, uint32_t h);
    // Draws the mesh with every pass of the effect's current technique.
    void Draw(gfx::Effect* effect, const Mesh& mesh);

    std::vector<Bgra> ReadBack(gfx::Surface* target, uint32_t w, uint32_t h);
    std::vector<Bgra> ReadBackBuffer() {
        gfx::Ref<gfx::Surface> back;
        EXPECT_EQ(device->GetBackBuffer(back.Out()), gfx::Result::Ok);
        return ReadBack(back.Get(), kWidth, kHeight);
    }

    gfx::Ref<gfx::Texture> MakeTexture(uint32_t w, uint32_t h, gfx::Format format, const void* rows, uint32_t rowBytes);

    SDL_Window* window = nullptr;
    gfx::System* system = nullptr;
    gfx::Device* device = nullptr;
};

inline Bgra At(const std::vector<Bgra>& pixels, uint32_t w, uint32_t x, uint32_t y) { return pixels[y * w + x]; }

}  // namespace gfxtest
