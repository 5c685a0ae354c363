#include "GlFixture.h"

namespace gfxtest {

void GlFixture::SetUp() {
    system = gfx::CreateSystem(gfx::Backend::OpenGL);
    ASSERT_NE(system, nullptr) << "SDL video did not start: " << SDL_GetError();
    window = SDL_CreateWindow("gfx test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    gfx::PresentParams params;
    params.backBufferWidth = kWidth;
    params.backBufferHeight = kHeight;
    params.window = window;
    params.presentationInterval = gfx::present::kIntervalImmediate;
    const gfx::Result r = system->CreateDevice(window, gfx::create::kHardwareVertexProcessing, params, &device);
    ASSERT_EQ(r, gfx::Result::Ok) << "no GL device: " << gfx::ResultName(r) << " " << SDL_GetError();
    ASSERT_EQ(device->BeginScene(), gfx::Result::Ok);
}

void GlFixture::TearDown() {
    if (device) {
        device->EndScene();
        // Every object the test made was released: the device goes with the last reference.
        EXPECT_EQ(device->Release(), 0u) << "objects of the device were leaked";
    }
    if (window) SDL_DestroyWindow(window);
    if (system) {
        EXPECT_EQ(system->Release(), 0u);
    }
}

gfx::Ref<gfx::Effect> GlFixture::MakeEffect(const std::string& text) {
    gfx::Ref<gfx::Effect> effect;
    std::optional<std::string> errors;
    const gfx::Result r = gfx::CreateEffect(device, text.data(), text.size(), effect.Out(), &errors);
    EXPECT_EQ(r, gfx::Result::Ok) << errors.value_or("(no errors)");
    return effect;
}

std::string GlFixture::EffectErrors(const std::string& text) {
    gfx::Ref<gfx::Effect> effect;
    std::optional<std::string> errors;
    EXPECT_EQ(gfx::CreateEffect(device, text.data(), text.size(), effect.Out(), &errors), gfx::Result::CompileFailed);
    EXPECT_FALSE(effect);
    return errors.value_or("");
}

gfx::Ref<gfx::VertexBuffer> GlFixture::MakeBuffer(const void* data, uint32_t bytes, uint32_t usage, gfx::Pool pool) {
    gfx::Ref<gfx::VertexBuffer> vb;
    EXPECT_EQ(device->CreateVertexBuffer(bytes, usage, pool, vb.Out()), gfx::Result::Ok);
    void* p = nullptr;
    EXPECT_EQ(vb->Lock(0, 0, &p, 0), gfx::Result::Ok);
    std::memcpy(p, data, bytes);
    EXPECT_EQ(vb->Unlock(), gfx::Result::Ok);
    return vb;
}

Mesh GlFixture::MakeQuad(const float (*positions)[3], const float* texcoords, uint32_t texcoordSize,
                         const uint32_t* coloursArgb) {
    Mesh m;
    m.vertexCount = 4;
    m.indexCount = 6;
    m.texcoordSize = texcoordSize;
    m.positions = MakeBuffer(positions, 4 * 12);
    std::vector<gfx::VertexElement> elements{{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0}};
    if (texcoords) {
        m.texcoords = MakeBuffer(texcoords, 4 * 4 * texcoordSize);
        elements.push_back({1, 0, texcoordSize == 3 ? gfx::DeclType::Float3 : gfx::DeclType::Float2,
                            gfx::DeclUsage::TexCoord, 0});
    }
    if (coloursArgb) {
        m.colours = MakeBuffer(coloursArgb, 4 * 4);
        elements.push_back({2, 0, gfx::DeclType::Color, gfx::DeclUsage::Color, 0});
    }
    EXPECT_EQ(device->CreateVertexDeclaration(elements.data(), static_cast<uint32_t>(elements.size()),
                                              m.declaration.Out()),
              gfx::Result::Ok);
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    EXPECT_EQ(device->CreateIndexBuffer(sizeof indices, 0, gfx::Format::Index16, gfx::Pool::Managed, m.indices.Out()),
              gfx::Result::Ok);
    void* p = nullptr;
    EXPECT_EQ(m.indices->Lock(0, 0, &p, 0), gfx::Result::Ok);
    std::memcpy(p, indices, sizeof indices);
    EXPECT_EQ(m.indices->Unlock(), gfx::Result::Ok);
    return m;
}

Mesh GlFixture::MakeScreenQuad(uint32_t w, uint32_t h) {
    const float hx = 1.0f / (2.0f * static_cast<float>(w)), hy = 1.0f / (2.0f * static_cast<float>(h));
    const float positions[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const float uv[8] = {hx, 1 + hy, 1 + hx, 1 + hy, 1 + hx, hy, hx, hy};
    return MakeQuad(positions, uv, 2);
}

void GlFixture::Draw(gfx::Effect* effect, const Mesh& mesh) {
    ASSERT_EQ(device->SetVertexDeclaration(mesh.declaration.Get()), gfx::Result::Ok);
    ASSERT_EQ(device->SetStreamSource(0, mesh.positions.Get(), 0, 12), gfx::Result::Ok);
    if (mesh.texcoords) {
        ASSERT_EQ(device->SetStreamSource(1, mesh.texcoords.Get(), 0, 4 * mesh.texcoordSize), gfx::Result::Ok);
    }
    if (mesh.colours) {
        ASSERT_EQ(device->SetStreamSource(2, mesh.colours.Get(), 0, 4), gfx::Result::Ok);
    }
    ASSERT_EQ(device->SetIndices(mesh.indices.Get()), gfx::Result::Ok);
    uint32_t passes = 0;
    ASSERT_EQ(effect->Begin(&passes, gfx::kDoNotSaveState), gfx::Result::Ok);
    for (uint32_t p = 0; p < passes; ++p) {
        ASSERT_EQ(effect->BeginPass(p), gfx::Result::Ok);
        EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, mesh.vertexCount, 0,
                                               mesh.indexCount / 3),
                  gfx::Result::Ok);
        ASSERT_EQ(effect->EndPass(), gfx::Result::Ok);
    }
    ASSERT_EQ(effect->End(), gfx::Result::Ok);
}

std::vector<Bgra> GlFixture::ReadBack(gfx::Surface* target, uint32_t w, uint32_t h) {
    std::vector<Bgra> pixels(static_cast<size_t>(w) * h);
    EXPECT_EQ(gfx::ReadTargetBGRA(device, target, reinterpret_cast<uint8_t*>(pixels.data()), w, h), gfx::Result::Ok);
    return pixels;
}

gfx::Ref<gfx::Texture> GlFixture::MakeTexture(uint32_t w, uint32_t h, gfx::Format format, const void* rows,
                                              uint32_t rowBytes) {
    gfx::Ref<gfx::Texture> texture;
    EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, gfx::Pool::Managed, texture.Out()), gfx::Result::Ok);
    gfx::LockedRect locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), gfx::Result::Ok);
    const uint32_t rowCount = gfx::RowCount(format, h);
    for (uint32_t y = 0; y < rowCount; ++y) {
        std::memcpy(static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch,
                    static_cast<const uint8_t*>(rows) + static_cast<size_t>(y) * rowBytes, rowBytes);
    }
    EXPECT_EQ(texture->UnlockRect(0), gfx::Result::Ok);
    return texture;
}

}  // namespace gfxtest
