// The fake device: scripted failures for device creation, loss and reset,
// the platform's rules it keeps, and the pixels it keeps in memory.

#include <cstring>

#include "FakeFixture.h"

using namespace gfxtest;
using gfx::Result;

namespace {

gfx::PresentParams Params(uint32_t w, uint32_t h) {
    gfx::PresentParams p;
    p.backBufferWidth = w;
    p.backBufferHeight = h;
    return p;
}

TEST(FakeSystem, EachStartUpCallAnswersWhatTheScriptSays) {
    using Call = Result (*)(gfx::System*);
    struct Case {
        const char* name;
        Result gfx::fake::Script::*field;
        Call call;
    };
    const Case cases[] = {
        {"GetDeviceCaps", &gfx::fake::Script::getDeviceCaps,
         [](gfx::System* s) {
             gfx::Caps c;
             return s->GetDeviceCaps(&c);
         }},
        {"EnumModes", &gfx::fake::Script::enumModes,
         [](gfx::System* s) {
             gfx::DisplayMode m;
             return s->EnumModes(gfx::Format::X8R8G8B8, 0, &m);
         }},
        {"CheckDeviceType", &gfx::fake::Script::checkDeviceType,
         [](gfx::System* s) { return s->CheckDeviceType(gfx::Format::X8R8G8B8, gfx::Format::X8R8G8B8, true); }},
        {"CheckDeviceFormat", &gfx::fake::Script::checkDeviceFormat,
         [](gfx::System* s) {
             return s->CheckDeviceFormat(gfx::Format::X8R8G8B8, gfx::usage::kDepthStencil, gfx::ResourceType::Surface,
                                         gfx::Format::D24S8);
         }},
        {"CheckDeviceFormatConversion", &gfx::fake::Script::checkDeviceFormatConversion,
         [](gfx::System* s) { return s->CheckDeviceFormatConversion(gfx::Format::X8R8G8B8, gfx::Format::X8R8G8B8); }},
        {"CheckDeviceMultiSampleType", &gfx::fake::Script::checkDeviceMultiSampleType,
         [](gfx::System* s) { return s->CheckDeviceMultiSampleType(gfx::Format::X8R8G8B8, true, gfx::MultiSample::None); }},
        {"CheckDepthStencilMatch", &gfx::fake::Script::checkDepthStencilMatch,
         [](gfx::System* s) {
             return s->CheckDepthStencilMatch(gfx::Format::X8R8G8B8, gfx::Format::X8R8G8B8, gfx::Format::D24S8);
         }},
        {"CreateDevice", &gfx::fake::Script::createDevice,
         [](gfx::System* s) {
             gfx::Device* d = nullptr;
             const Result r = s->CreateDevice(nullptr, 0, Params(64, 64), &d);
             if (d) d->Release();
             return r;
         }},
    };
    const Result failures[] = {Result::InvalidCall, Result::NotAvailable, Result::OutOfVideoMemory, Result::DeviceLost};
    for (const Case& c : cases) {
        for (Result failure : failures) {
            auto state = std::make_shared<gfx::fake::State>();
            gfx::Ref<gfx::System> system(gfx::fake::CreateSystem(state));
            EXPECT_EQ(c.call(system.Get()), Result::Ok) << c.name;
            state->script.*c.field = failure;
            EXPECT_EQ(c.call(system.Get()), failure) << c.name;
            EXPECT_EQ(state->calls.back().rfind(c.name, 0), 0u);
            EXPECT_NE(state->calls.back().find(std::string(" -> ") + gfx::ResultName(failure)), std::string::npos);
        }
    }
}

TEST(FakeSystem, ReportsTheScriptedCapabilitiesAndModes) {
    auto state = std::make_shared<gfx::fake::State>();
    state->script.caps.deviceCaps &= ~gfx::Caps::kHwTransformAndLight;
    state->script.caps.textureCaps |= gfx::Caps::kTexturePow2;
    gfx::Ref<gfx::System> system(gfx::fake::CreateSystem(state));
    gfx::Caps caps;
    ASSERT_EQ(system->GetDeviceCaps(&caps), Result::Ok);
    EXPECT_FALSE(caps.deviceCaps & gfx::Caps::kHwTransformAndLight);
    EXPECT_TRUE(caps.textureCaps & gfx::Caps::kTexturePow2);

    EXPECT_EQ(system->GetModeCount(gfx::Format::X8R8G8B8), 3u);
    EXPECT_EQ(system->GetModeCount(gfx::Format::R5G6B5), 1u);
    gfx::DisplayMode mode;
    ASSERT_EQ(system->EnumModes(gfx::Format::X8R8G8B8, 2, &mode), Result::Ok);
    EXPECT_EQ(mode.width, 1920u);
    EXPECT_EQ(system->EnumModes(gfx::Format::X8R8G8B8, 3, &mode), Result::InvalidCall);
    ASSERT_EQ(system->GetDesktopDisplayMode(&mode), Result::Ok);
    EXPECT_EQ(gfx::DisplayFormatBits(mode.format), 32u);
}

TEST_F(FakeFixture, LosesTheDeviceAtTheScriptedPresent) {
    state->script.losePresent = 2;
    gfx::Ref<gfx::Query> query;
    ASSERT_EQ(device->CreateQuery(query.Out()), Result::Ok);
    uint32_t done = 0;
    EXPECT_EQ(device->Present(), Result::Ok);
    EXPECT_EQ(query->GetData(&done, 4, gfx::kGetDataFlush), Result::Ok);
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(device->Present(), Result::DeviceLost);
    EXPECT_EQ(query->GetData(&done, 4, gfx::kGetDataFlush), Result::DeviceLost);
    EXPECT_EQ(device->TestCooperativeLevel(), Result::DeviceLost);
    EXPECT_EQ(device->Reset(Params(256, 224)), Result::DeviceLost);

    state->deviceState = gfx::fake::DeviceState::NotReset;
    EXPECT_EQ(device->TestCooperativeLevel(), Result::DeviceNotReset);
    EXPECT_EQ(device->Reset(Params(320, 240)), Result::Ok);
    EXPECT_EQ(device->TestCooperativeLevel(), Result::Ok);
    EXPECT_EQ(device->Present(), Result::Ok);
}

TEST_F(FakeFixture, AnswersTheCooperativeLevelAndResetAsScripted) {
    const Result answers[] = {Result::Ok, Result::DeviceNotReset, Result::DeviceLost, Result::DriverInternalError,
                              Result::InvalidCall};
    for (Result r : answers) state->script.cooperativeLevel.push_back(r);
    for (Result r : answers) EXPECT_EQ(device->TestCooperativeLevel(), r);
    EXPECT_EQ(device->TestCooperativeLevel(), Result::Ok) << "then the device's own answer";

    state->script.reset = {Result::InvalidCall, Result::Ok};
    EXPECT_EQ(device->Reset(Params(256, 224)), Result::InvalidCall);
    EXPECT_EQ(device->Reset(Params(256, 224)), Result::Ok);
}

// As on the platform it stands in for, Reset needs every default-pool object
// and every reference to the back buffer released first; managed ones may stay.
TEST_F(FakeFixture, ResetRefusesWhileDefaultPoolObjectsLive) {
    gfx::Ref<gfx::Texture> target, managed;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8, gfx::Pool::Default,
                                    target.Out()),
              Result::Ok);
    ASSERT_EQ(device->CreateTexture(16, 16, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, managed.Out()), Result::Ok);
    gfx::Ref<gfx::Surface> back;
    ASSERT_EQ(device->GetBackBuffer(back.Out()), Result::Ok);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));

    EXPECT_EQ(device->Reset(Params(256, 224)), Result::InvalidCall);
    EXPECT_EQ(device->TestCooperativeLevel(), Result::DeviceNotReset);
    target.Reset();
    EXPECT_EQ(device->Reset(Params(256, 224)), Result::InvalidCall) << "the back buffer is still held";
    back.Reset();
    ASSERT_EQ(device->Reset(Params(640, 480)), Result::Ok);

    uint32_t cull = 0;
    device->GetRenderState(gfx::RenderState::CullMode, &cull);
    EXPECT_EQ(cull, static_cast<uint32_t>(gfx::Cull::CCW)) << "states are back to their defaults";
    gfx::Viewport viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.width, 640u);
}

// Clears fill the bound targets; read-back copies row by row at each surface's
// own pitch, so padded rows come back clean.
TEST_F(FakeFixture, ClearsFillTargetsAndReadBackHonoursThePitch) {
    state->script.pitchPadding = 12;
    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(5, 3, 1, gfx::usage::kRenderTarget, gfx::Format::A8R8G8B8, gfx::Pool::Default,
                                    target.Out()),
              Result::Ok);
    gfx::Ref<gfx::Surface> surface, back;
    target->GetSurfaceLevel(0, surface.Out());
    device->GetBackBuffer(back.Out());
    ASSERT_EQ(device->SetRenderTarget(0, surface.Get()), Result::Ok);
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0x80102030, 1.0f, 0), Result::Ok);
    const gfx::Rect one{4, 2, 5, 3};
    ASSERT_EQ(device->Clear(1, &one, gfx::clear::kTarget, 0xFFFFFFFF, 1.0f, 0), Result::Ok);
    EXPECT_TRUE(Logged("Clear(flags 0x1, colour 0xffffffff, z 1, stencil 0, rects 1)"));

    uint8_t pixels[5 * 3 * 4];
    ASSERT_EQ(gfx::ReadTargetBGRA(device, surface.Get(), pixels, 5, 3), Result::Ok);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(pixels[i * 4 + 0], 0x30);
        EXPECT_EQ(pixels[i * 4 + 1], 0x20);
        EXPECT_EQ(pixels[i * 4 + 2], 0x10);
        EXPECT_EQ(pixels[i * 4 + 3], 0x80);
    }
    EXPECT_EQ(pixels[14 * 4], 0xFF);

    gfx::Ref<gfx::Surface> copy;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(5, 3, gfx::Format::A8R8G8B8, gfx::Pool::SystemMem, copy.Out()),
              Result::Ok);
    gfx::LockedRect locked;
    ASSERT_EQ(copy->LockRect(&locked, nullptr, gfx::lock::kReadOnly), Result::Ok);
    EXPECT_EQ(locked.pitch, 5 * 4 + 12);
    copy->UnlockRect();
    device->SetRenderTarget(0, back.Get());
}

TEST_F(FakeFixture, LocksFollowThePoolAndUsageRules) {
    gfx::Ref<gfx::Texture> target, managed, dxt;
    device->CreateTexture(8, 8, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8, gfx::Pool::Default, target.Out());
    device->CreateTexture(8, 8, 0, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, managed.Out());
    device->CreateTexture(8, 8, 1, 0, gfx::Format::DXT1, gfx::Pool::Managed, dxt.Out());
    gfx::Ref<gfx::VertexBuffer> fixed, dynamic;
    device->CreateVertexBuffer(64, 0, gfx::Pool::Managed, fixed.Out());
    device->CreateVertexBuffer(64, gfx::usage::kDynamic, gfx::Pool::Default, dynamic.Out());
    gfx::LockedRect locked;
    void* p = nullptr;
    const gfx::Rect offGrid{2, 0, 6, 4}, onGrid{4, 4, 8, 8}, outside{0, 0, 9, 4};

    EXPECT_EQ(managed->GetLevelCount(), 4u) << "levels 0 makes the whole chain";
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), Result::InvalidCall);
    EXPECT_EQ(managed->LockRect(4, &locked, nullptr, 0), Result::InvalidCall);
    EXPECT_EQ(managed->LockRect(0, &locked, &outside, 0), Result::InvalidCall);
    ASSERT_EQ(managed->LockRect(0, &locked, nullptr, 0), Result::Ok);
    EXPECT_EQ(managed->LockRect(0, &locked, nullptr, 0), Result::InvalidCall) << "locked twice";
    EXPECT_EQ(managed->UnlockRect(0), Result::Ok);
    EXPECT_EQ(managed->UnlockRect(0), Result::InvalidCall);
    EXPECT_EQ(dxt->LockRect(0, &locked, &offGrid, 0), Result::InvalidCall);
    ASSERT_EQ(dxt->LockRect(0, &locked, &onGrid, 0), Result::Ok);
    EXPECT_EQ(locked.pitch, 16) << "a row of two 8-byte blocks";
    dxt->UnlockRect(0);
    EXPECT_EQ(fixed->Lock(0, 0, &p, gfx::lock::kDiscard), Result::InvalidCall) << "discard is for dynamic buffers";
    EXPECT_EQ(fixed->Lock(60, 8, &p, 0), Result::InvalidCall);
    ASSERT_EQ(dynamic->Lock(0, 0, &p, gfx::lock::kDiscard), Result::Ok);
    dynamic->Unlock();
    EXPECT_TRUE(Logged("VertexBuffer.Lock(#" + std::to_string(gfx::fake::IdOf(dynamic.Get())) + ", 0, 0, flags 0x2000)"));
}

TEST_F(FakeFixture, CreationRefusesWhatThePlatformRefuses) {
    gfx::Ref<gfx::Texture> t;
    gfx::Ref<gfx::Surface> s;
    gfx::Ref<gfx::IndexBuffer> ib;
    gfx::Ref<gfx::VertexDeclaration> d;
    const gfx::VertexElement badUsage{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Color, 1};
    const gfx::VertexElement twice[2] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                         {1, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0}};
    struct Case {
        const char* what;
        Result got, expected;
    };
    const Case cases[] = {
        {"DXT target", device->CreateTexture(8, 8, 1, gfx::usage::kRenderTarget, gfx::Format::DXT1, gfx::Pool::Default, t.Out()),
         Result::NotAvailable},
        {"managed target", device->CreateTexture(8, 8, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8, gfx::Pool::Managed, t.Out()),
         Result::InvalidCall},
        {"zero size", device->CreateTexture(0, 8, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, t.Out()), Result::InvalidCall},
        {"too many levels", device->CreateTexture(8, 8, 5, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, t.Out()), Result::InvalidCall},
        {"too large", device->CreateTexture(16384, 8, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, t.Out()), Result::InvalidCall},
        {"unknown format", device->CreateTexture(8, 8, 1, 0, gfx::Format::R5G6B5, gfx::Pool::Managed, t.Out()), Result::NotAvailable},
        {"depth format", device->CreateDepthStencilSurface(8, 8, gfx::Format::X8R8G8B8, gfx::MultiSample::None, 0, true, s.Out()),
         Result::NotAvailable},
        {"32-bit indices", device->CreateIndexBuffer(8, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, ib.Out()), Result::NotAvailable},
        {"odd index bytes", device->CreateIndexBuffer(7, 0, gfx::Format::Index16, gfx::Pool::Managed, ib.Out()), Result::InvalidCall},
        {"usage without a slot", device->CreateVertexDeclaration(&badUsage, 1, d.Out()), Result::InvalidCall},
        {"usage twice", device->CreateVertexDeclaration(twice, 2, d.Out()), Result::InvalidCall},
        {"empty declaration", device->CreateVertexDeclaration(&gfx::kDeclEnd, 1, d.Out()), Result::InvalidCall},
        {"no first target", device->SetRenderTarget(0, nullptr), Result::InvalidCall},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_FALSE(t || s || ib || d);
}

// Every element has its own stream; the log names each, in order.
TEST_F(FakeFixture, DeclarationsAndDrawsAreCheckedAndLogged) {
    const gfx::VertexElement elements[4] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                            {1, 0, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
                                            {2, 0, gfx::DeclType::Color, gfx::DeclUsage::Color, 0},
                                            gfx::kDeclEnd};
    gfx::Ref<gfx::VertexDeclaration> declaration;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, 4, declaration.Out()), Result::Ok);
    EXPECT_EQ(declaration->GetElements(nullptr, 0), 3u);
    EXPECT_TRUE(Logged("CreateVertexDeclaration(Position0 Float3 stream 0, TexCoord0 Float2 stream 1, Color0 Color stream 2)"));

    gfx::Ref<gfx::VertexBuffer> pos, uv, colour;
    device->CreateVertexBuffer(4 * 12, 0, gfx::Pool::Managed, pos.Out());
    device->CreateVertexBuffer(4 * 8, 0, gfx::Pool::Managed, uv.Out());
    device->CreateVertexBuffer(3 * 4, 0, gfx::Pool::Managed, colour.Out());  // one vertex short
    gfx::Ref<gfx::IndexBuffer> indices;
    device->CreateIndexBuffer(12, 0, gfx::Format::Index16, gfx::Pool::Managed, indices.Out());
    void* p = nullptr;
    indices->Lock(0, 0, &p, 0);
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(p, quad, sizeof quad);
    indices->Unlock();
    device->SetVertexDeclaration(declaration.Get());
    device->SetStreamSource(0, pos.Get(), 0, 12);
    device->SetStreamSource(1, uv.Get(), 0, 8);
    device->SetStreamSource(2, colour.Get(), 0, 4);
    device->SetIndices(indices.Get());

    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 2), Result::InvalidCall)
        << "outside a scene";
    ASSERT_EQ(device->BeginScene(), Result::Ok);
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 2), Result::InvalidCall)
        << "index 3 is past the colour stream";
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 3, 0, 1), Result::Ok);
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 3, 4, 1), Result::InvalidCall)
        << "past the index buffer";
    EXPECT_EQ(device->DrawPrimitive(gfx::PrimitiveType::PointList, 0, 3), Result::Ok);
    EXPECT_EQ(device->DrawPrimitive(gfx::PrimitiveType::PointList, 1, 3), Result::InvalidCall);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 3, 0, 1)"));
    EXPECT_TRUE(Logged("DrawPrimitive(PointList, 0, 3)"));
    EXPECT_EQ(device->Present(), Result::InvalidCall) << "inside a scene";
    ASSERT_EQ(device->EndScene(), Result::Ok);

    // A released buffer is no longer bound: the next draw is refused, not a read of freed memory.
    colour.Reset();
    device->BeginScene();
    EXPECT_EQ(device->DrawPrimitive(gfx::PrimitiveType::PointList, 0, 3), Result::InvalidCall);
    device->EndScene();
}

TEST_F(FakeFixture, TargetsAndDepthBindAndResetTheViewport) {
    gfx::Ref<gfx::Texture> target;
    device->CreateTexture(64, 32, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8, gfx::Pool::Default, target.Out());
    gfx::Ref<gfx::Surface> surface, depth, got;
    target->GetSurfaceLevel(0, surface.Out());
    ASSERT_EQ(device->CreateDepthStencilSurface(1280, 1280, gfx::Format::D24S8, gfx::MultiSample::None, 0, true,
                                                depth.Out()),
              Result::Ok);
    EXPECT_EQ(device->GetDepthStencilSurface(got.Out()), Result::NotFound);
    ASSERT_EQ(device->SetDepthStencilSurface(depth.Get()), Result::Ok);
    ASSERT_EQ(device->GetDepthStencilSurface(got.Out()), Result::Ok);
    EXPECT_EQ(got.Get(), depth.Get());
    EXPECT_EQ(device->SetDepthStencilSurface(surface.Get()), Result::InvalidCall);
    EXPECT_EQ(device->SetRenderTarget(1, depth.Get()), Result::InvalidCall);

    ASSERT_EQ(device->SetRenderTarget(0, surface.Get()), Result::Ok);
    gfx::Viewport viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.width, 64u);
    EXPECT_EQ(viewport.height, 32u);
    EXPECT_EQ(device->SetViewport({0, 0, 65, 32, 0, 1}), Result::InvalidCall);
    ASSERT_EQ(device->GetRenderTarget(0, got.Out()), Result::Ok);
    EXPECT_EQ(got.Get(), surface.Get());
    EXPECT_EQ(device->GetRenderTarget(1, got.Out()), Result::NotFound);
    got.Reset();

    // A texture's surface shares the texture's count: the texture lives while its surface is held.
    const int live = state->liveObjects;
    target.Reset();
    EXPECT_EQ(state->liveObjects, live);
    gfx::Ref<gfx::Surface> back;
    device->GetBackBuffer(back.Out());
    device->SetRenderTarget(0, back.Get());
    device->SetDepthStencilSurface(nullptr);
}

}  // namespace
