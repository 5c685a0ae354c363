// The device's life on the fake backend: start-up with its checks and error
// box, capability warnings, presentation with the frame query, device loss,
// resets (also while still lost) and running without a device.

#include <cstring>
#include <string>
#include <vector>

#include "RendererFixture.h"
#include "platform/gfx/effect.h"
#include "renderer/ZDynamicResource.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"
#include "renderer/ZVertexBuffer.h"

using namespace rtest;
using gfx::Result;

namespace {

int gPreResets = 0;
int gPostResets = 0;
int gLosses = 0;
void CountPreReset() { ++gPreResets; }
void CountPostReset() { ++gPostResets; }
void CountLoss() { ++gLosses; }

class ZRendererTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        gPreResets = gPostResets = gLosses = 0;
    }
    void StartWithCallbacks(int32_t w = 256, int32_t h = 224) {
        Start(w, h);
        GetRenderer()->AddPreResetCallback(CountPreReset);
        GetRenderer()->AddPostResetCallback(CountPostReset);
        GetRenderer()->AddLostDeviceCallback(CountLoss);
    }
    void Reset(int32_t w, int32_t h, bool exclusive = false) {
        width = w;
        height = h;
        ZRenderVideoSettings video;
        GetRenderer()->reset(window, width, height, video, exclusive);
    }
    void Reset() { Reset(width, height); }
    // A frame: begin, clear, end, present.
    void Frame() {
        ZRenderer* r = GetRenderer();
        r->BeginScene();
        r->Clear(true, false, 0xFF000000u, 1.0f);
        r->EndScene();
        r->present();
    }
};

}  // namespace

TEST_F(ZRendererTest, AFailedStartShowsTheErrorBoxAndNothingDrawsAfterwards) {
    using gfx::fake::Script;
    struct Case {
        const char* what;
        Result Script::*field;
        Result result;
    };
    const Case cases[] = {
        {"capabilities", &Script::getDeviceCaps, Result::NotAvailable},
        {"display modes", &Script::enumModes, Result::InvalidCall},
        {"device type", &Script::checkDeviceType, Result::NotAvailable},
        {"depth format", &Script::checkDeviceFormat, Result::NotAvailable},
        {"format conversion", &Script::checkDeviceFormatConversion, Result::NotAvailable},
        {"multisampling", &Script::checkDeviceMultiSampleType, Result::NotAvailable},
        {"depth-stencil match", &Script::checkDepthStencilMatch, Result::NotAvailable},
        {"device creation", &Script::createDevice, Result::OutOfVideoMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state->script = gfx::fake::Script();
        state->script.*c.field = c.result;
        const size_t boxesBefore = window->Boxes().size();
        Start(1280, 720);
        ZRenderer* r = GetRenderer();
        EXPECT_FALSE(r->hasDevice);
        EXPECT_EQ(r->GetDevice(), nullptr);

        ASSERT_EQ(window->Boxes().size(), boxesBefore + 1);
        const auto& box = window->Boxes().back();
        EXPECT_EQ(box.caption, "Direct3D Initialization Error");
        EXPECT_EQ(box.flags & platform::window::MB_ICONERROR, platform::window::MB_ICONERROR);
        const std::string expected = std::string("Direct3D Initialization Error: ") + gfx::ResultName(c.result) +
                                     "\r\n\r\n" + gfx::ResultDescription(c.result) +
                                     "\r\n\r\nUnable to proceed.\r\n\r\nFile: .\\src\\ZRenderer\r\nLine: ";
        EXPECT_EQ(box.text.compare(0, expected.size(), expected), 0) << box.text;
        EXPECT_GT(std::atoi(box.text.c_str() + expected.size()), 0);

        // The start-up that follows draws a blank frame and registers its callbacks:
        // none of it reaches a device.
        ClearCalls();
        EXPECT_FALSE(r->BeginScene());
        r->Clear(3, ZColor32(0, 0, 0, 255), 1.0f);
        r->EndScene();
        r->present();
        bool exclusive = false;
        r->reset(window, width, height, ZRenderVideoSettings(), exclusive);
        uint32_t pixels[4] = {1, 2, 3, 4};
        r->ReadBackBuffer(pixels);
        EXPECT_EQ(pixels[0], 1u);
        EXPECT_TRUE(state->calls.empty()) << Calls();
        EXPECT_FALSE(r->deviceLost);
        ShutdownRenderer();
        DestroyRenderer();
    }
}

TEST_F(ZRendererTest, MissingCapabilitiesAreNamedAndHardwareVertexProcessingNeedsItsBit) {
    struct Case {
        const char* what;
        void (*change)(gfx::Caps&);
        std::vector<const char*> names;
        const char* createFlags;
    };
    const Case cases[] = {
        {"everything", [](gfx::Caps&) {}, {}, "CreateDevice(flags 0x40"},
        {"no hardware transform", [](gfx::Caps& c) { c.deviceCaps = 0; }, {"HWVert"}, "CreateDevice(flags 0x20"},
        {"no MRT", [](gfx::Caps& c) { c.primitiveMiscCaps = 0; }, {"MRTBits", "MRTBlend"}, "CreateDevice(flags 0x40"},
        {"old shaders",
         [](gfx::Caps& c) {
             c.vertexShaderVersion = gfx::ShaderVersion(1, 1);
             c.pixelShaderVersion = gfx::ShaderVersion(2, 0);
         },
         {"VS20", "PS30"},
         "CreateDevice(flags 0x40"},
        {"vsync only", [](gfx::Caps& c) { c.presentationIntervals = gfx::present::kIntervalOne; }, {"PresInt"},
         "CreateDevice(flags 0x40"},
        {"powers of two", [](gfx::Caps& c) { c.textureCaps = gfx::Caps::kTexturePow2; }, {"NonP2"},
         "CreateDevice(flags 0x40"},
        {"conditional non-powers of two",
         [](gfx::Caps& c) { c.textureCaps = gfx::Caps::kTexturePow2 | gfx::Caps::kTextureNonPow2Conditional; },
         {"NonP2Cond"},
         "CreateDevice(flags 0x40"},
        {"square only", [](gfx::Caps& c) { c.textureCaps = gfx::Caps::kTextureSquareOnly; }, {"NonSq"},
         "CreateDevice(flags 0x40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state->script = gfx::fake::Script();
        c.change(state->script.caps);
        ClearCalls();
        missing = ZArray<ZHashedString>();
        Start();
        EXPECT_TRUE(GetRenderer()->hasDevice);
        ASSERT_EQ(missing.Count(), c.names.size());
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(missing[static_cast<uint32_t>(i)], ZHashedString(c.names[i]));
        }
        EXPECT_TRUE(Logged(c.createFlags)) << Calls();
        ShutdownRenderer();
        DestroyRenderer();
    }
}

TEST_F(ZRendererTest, StartUpChecksInOrderAndMakesASquareDefaultDepthStencil) {
    Start(1280, 720);
    ZRenderer* r = GetRenderer();
    ASSERT_TRUE(r->hasDevice);
    const char* order[] = {"GetDeviceCaps",
                           "GetModeCount(X8R8G8B8)",
                           "EnumModes(X8R8G8B8, 0)",
                           "EnumModes(X8R8G8B8, 1)",
                           "CheckDeviceType(X8R8G8B8, X8R8G8B8, windowed 1)",
                           "CheckDeviceFormat(X8R8G8B8, usage 0x2",
                           "CheckDeviceFormatConversion(X8R8G8B8, X8R8G8B8)",
                           "CheckDeviceMultiSampleType(X8R8G8B8",
                           "CheckDepthStencilMatch(X8R8G8B8, X8R8G8B8, D24S8)",
                           "CreateDevice(flags 0x40, 1280x720, windowed 1, swap 3, interval 0x80000000)",
                           "SetRenderState(CullMode, 2)",
                           "GetRenderTarget(0)",
                           "CreateDepthStencilSurface(1280x1280, D24S8, discard 1)",
                           "SetDepthStencilSurface(",
                           "CreateQuery",
                           "Query.Issue"};
    int at = 0;
    for (const char* call : order) {
        const int found = state->Find(call, static_cast<size_t>(at));
        ASSERT_GE(found, 0) << call << "\n" << Calls();
        at = found + 1;
    }
    // The mode search stops at the first 1280 x 720 X8R8G8B8 mode.
    EXPECT_FALSE(Logged("EnumModes(X8R8G8B8, 2)"));
    EXPECT_EQ(r->GetBackBufferWidth(), 1280);
    EXPECT_EQ(r->GetCurrentTargetHeight(), 720);
}

TEST_F(ZRendererTest, FullScreenOnlyAtASizeTheDisplayOffers) {
    window->SetDisplayModes({{1920, 1080, 32, 60}, {800, 600, 16, 60}});
    struct Case {
        int32_t w, h;
        const char* created;
    };
    const Case cases[] = {
        {1920, 1080, "CreateDevice(flags 0x40, 1920x1080, windowed 0, swap 1, interval 0x1)"},
        {1000, 700, "CreateDevice(flags 0x40, 1000x700, windowed 1, swap 3, interval 0x1)"},
        // The desktop is 32-bit: a 16-bit mode does not count.
        {800, 600, "CreateDevice(flags 0x40, 800x600, windowed 1, swap 3, interval 0x1)"},
    };
    for (const Case& c : cases) {
        ClearCalls();
        ZRenderVideoSettings video;
        video.fullscreen = true;
        video.vsync = true;
        Start(c.w, c.h, video);
        EXPECT_TRUE(Logged(c.created)) << Calls();
        ShutdownRenderer();
        DestroyRenderer();
    }
}

TEST_F(ZRendererTest, EachPresentWaitsForTheFrameAndALossCallsTheCallbacksOnce) {
    state->script.losePresent = 2;
    appInfo.logging = true;
    StartWithCallbacks();
    ZRenderer* r = GetRenderer();
    ClearCalls();
    Frame();
    // The query is waited on and issued again for the next frame.
    EXPECT_GE(state->Find("Query.GetData", static_cast<size_t>(state->Find("Present"))), 0);
    EXPECT_GE(state->Find("Query.Issue", static_cast<size_t>(state->Find("Query.GetData"))), 0);
    EXPECT_FALSE(r->deviceLost);

    Frame();
    EXPECT_TRUE(r->deviceLost);
    EXPECT_EQ(gLosses, 1);
    EXPECT_TRUE(LogHas("ZRenderer::present: Present returned D3DERR_DEVICELOST."));
    // A lost device draws nothing and a second lost present calls nobody.
    EXPECT_FALSE(r->BeginScene());
    r->present();
    EXPECT_EQ(gLosses, 1);
    EXPECT_EQ(gPreResets, 0);
}

TEST_F(ZRendererTest, ScenesOpenOncePerPresentedFrame) {
    Start();
    ZRenderer* r = GetRenderer();
    ASSERT_TRUE(r->BeginScene());
    EXPECT_FALSE(r->BeginScene());
    ClearCalls();
    r->present();  // a scene is open: nothing happens
    EXPECT_EQ(Count("Present"), 0u);
    r->EndScene();
    EXPECT_FALSE(r->BeginScene()) << "the last frame was not presented";
    r->present();
    EXPECT_EQ(Count("Present"), 1u);
    EXPECT_TRUE(r->BeginScene());
    r->EndScene();
}

TEST_F(ZRendererTest, AResetWhileStillLostKeepsTheFlagAndAResetAfterwardsRestoresTargets) {
    state->script.losePresent = 1;
    appInfo.logging = true;
    StartWithCallbacks();
    ZRenderer* r = GetRenderer();
    ZRenderTarget target;
    target.width = 64;
    target.height = 32;
    target.depthStencil = true;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString("Lost Target")));
    ZTexture* published = ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Lost Target"));
    ASSERT_NE(published, nullptr);

    Frame();
    ASSERT_TRUE(r->deviceLost);
    ASSERT_EQ(gLosses, 1);

    ClearCalls();
    Reset();
    EXPECT_TRUE(Logged("TestCooperativeLevel -> D3DERR_DEVICELOST")) << Calls();
    EXPECT_TRUE(LogHas("ZRenderer::reset: TestCooperativeLevel returned D3DERR_DEVICELOST."));
    EXPECT_TRUE(LogHas("ZRenderer::reset: Reset was unsuccessful"));
    EXPECT_FALSE(Logged("Reset("));
    EXPECT_TRUE(r->deviceLost);
    EXPECT_EQ(target.texture, nullptr) << "targets are not re-created while lost";
    EXPECT_EQ(published->GetTexture(), nullptr) << "the published texture lets go of the freed one";
    EXPECT_EQ(gPostResets, 0);
    EXPECT_EQ(gPreResets, 0);

    // The device can be reset now.
    state->deviceState = gfx::fake::DeviceState::NotReset;
    ClearCalls();
    Reset();
    EXPECT_TRUE(Logged("TestCooperativeLevel -> D3DERR_DEVICENOTRESET")) << Calls();
    EXPECT_TRUE(Logged("Reset(256x224, windowed 1, interval 0x80000000)")) << Calls();
    EXPECT_FALSE(r->deviceLost);
    ASSERT_NE(target.texture, nullptr);
    EXPECT_NE(target.depthStencilSurface, nullptr);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Lost Target")), published);
    EXPECT_EQ(published->GetTexture(), target.texture);
    EXPECT_EQ(gPostResets, 1);
    EXPECT_EQ(gPreResets, 0);
    Frame();
    EXPECT_FALSE(r->deviceLost);
}

TEST_F(ZRendererTest, AResetReleasesEverythingInVideoMemoryAndBuildsItAgain) {
    StartWithCallbacks();
    ZRenderer* r = GetRenderer();

    // A dynamic resource, a published target and an effect that still holds
    // the target's texture: the fake device refuses a reset while any of them
    // is alive in the default pool.
    struct Dynamic : ZDynamicResource {
        void ReleaseResource() override {
            events += "release ";
            buffer.Release();
        }
        void RenewResource() override {
            events += "renew ";
            const float data[3] = {};
            const ZStreamElement element{data, 12, 0, true};
            buffer.Create(&element, 1, 1);
        }
        ZVertexBuffer buffer;
        std::string events;
    } dynamic;
    dynamic.RenewResource();
    r->AddDynamicResource(&dynamic);

    ZRenderTarget target;
    target.width = 128;
    target.height = 128;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString("Reset Target")));
    ZTexture* published = ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Reset Target"));
    const uint32_t oldId = gfx::fake::IdOf(target.texture);

    WriteFile("holder.fxo", "effect 1\nparameter texture tex\n");
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("holder.fxo", ZHashedString("holder"));
    ASSERT_NE(effect->GetEffect(), nullptr);
    r->currentEffect = effect->GetEffect();
    SetEffectTexture(effect->GetEffect()->GetParameterByName(0, "tex"), ZHashedString("Reset Target"));

    ClearCalls();
    Reset(640, 480);
    EXPECT_TRUE(Logged("Reset(640x480, windowed 1, interval 0x80000000)")) << Calls();
    EXPECT_FALSE(Logged("Reset(640x480, windowed 1, interval 0x80000000) ->")) << Calls();
    EXPECT_FALSE(r->deviceLost);
    EXPECT_EQ(gPreResets, 1);
    EXPECT_EQ(gPostResets, 1);
    EXPECT_EQ(gLosses, 0);
    EXPECT_EQ(dynamic.events, "renew release renew ");
    EXPECT_TRUE(Logged("Effect.OnLostDevice"));
    EXPECT_TRUE(Logged("Effect.OnResetDevice"));
    EXPECT_TRUE(Logged("CreateDepthStencilSurface(640x640, D24S8, discard 1)"));

    // The target came back under its name, in the same texture object, with the same count.
    ASSERT_NE(target.texture, nullptr);
    EXPECT_NE(gfx::fake::IdOf(target.texture), oldId);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Reset Target")), published);
    EXPECT_EQ(published->GetTexture(), target.texture);
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("Reset Target")), 1);
    EXPECT_EQ(r->GetBackBufferWidth(), 640);
    EXPECT_EQ(r->GetCurrentTargetHeight(), 480);
    r->RemoveDynamicResource(&dynamic);
    ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString("holder"));
}

TEST_F(ZRendererTest, AResetTheDeviceRefusesLosesTheDevice) {
    StartWithCallbacks();
    state->script.reset.push_back(Result::InvalidCall);
    Reset();
    EXPECT_TRUE(GetRenderer()->deviceLost);
    EXPECT_EQ(gLosses, 1);
    EXPECT_EQ(gPreResets, 1);
    EXPECT_EQ(gPostResets, 0);
    // The next reset succeeds without calling the before-reset callbacks again.
    Reset();
    EXPECT_FALSE(GetRenderer()->deviceLost);
    EXPECT_EQ(gPreResets, 1);
    EXPECT_EQ(gPostResets, 1);
}

TEST_F(ZRendererTest, ExclusiveFullScreenThatTheWindowRefusesResetsWindowed) {
    window->SetDisplayModes({{640, 480, 32, 60}});
    platform::window::WindowCreateInfo info;
    info.width = 640;
    info.height = 480;
    info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
    ASSERT_TRUE(window->CreateMainWindow(info));
    Start(640, 480);
    window->RefuseExclusive(true);
    bool exclusive = true;
    ClearCalls();
    GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
    EXPECT_FALSE(exclusive);
    EXPECT_TRUE(Logged("Reset(640x480, windowed 1")) << Calls();

    window->RefuseExclusive(false);
    exclusive = true;
    ClearCalls();
    GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
    EXPECT_TRUE(exclusive);
    EXPECT_TRUE(Logged("Reset(640x480, windowed 0")) << Calls();
    EXPECT_EQ(window->GetFullscreen(), platform::window::FullscreenMode::Exclusive);
}

TEST_F(ZRendererTest, TheBackBufferReadsBackByItsPitchAndWritesAsABMP) {
    state->script.pitchPadding = 12;
    Start(5, 3);
    ZRenderer* r = GetRenderer();
    r->BeginScene();
    r->Clear(true, false, 0xFF336699u, 1.0f);
    r->EndScene();
    std::vector<uint32_t> pixels(15, 0xFF000000u);
    r->ReadBackBuffer(pixels.data());
    for (uint32_t p : pixels) EXPECT_EQ(p, 0xFF336699u);

    // Screenshots take the same pixels with the back buffer's size.
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_EQ(r->CaptureBackBuffer(width, height), pixels);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);

    const std::string path = dir.File("shot.bmp");
    pixels[5 * 1 + 2] = 0xFF010203u;  // row 1, column 2
    ASSERT_TRUE(ZRenderer::WriteBMP(path.c_str(), pixels.data(), 5, 3));
    ZImage image;
    ASSERT_TRUE(image.LoadBMP("shot.bmp"));
    EXPECT_EQ(image.GetBytesPerPixel(), 3u);
    EXPECT_EQ(image.GetPixel(2, 1), 0xFF010203u);
    EXPECT_EQ(image.GetPixel(4, 2), 0xFF336699u);
}

TEST_F(ZRendererTest, ShutdownReleasesTheDeviceWhileTargetsLiveOn) {
    Start();
    auto target = std::make_unique<ZRenderTarget>();
    target->width = target->height = 16;
    ASSERT_TRUE(GetRenderer()->CreateNativeResolutionTarget(*target, ZHashedString("Native")));
    EXPECT_EQ(target->width, 256);
    EXPECT_EQ(target->height, 224);
    EXPECT_TRUE(Logged("CreateTexture(256x224, levels 1, usage 0x1, X8R8G8B8, Default)")) << Calls();
    EXPECT_TRUE(Logged("CreateDepthStencilSurface(256x224"));
    ShutdownRenderer();
    EXPECT_FALSE(GetRenderer()->hasDevice);
    target.reset();  // releases what it held on the device, which goes with it
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Native")), nullptr);
}
