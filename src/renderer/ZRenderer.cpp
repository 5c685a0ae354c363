#include "renderer/ZRenderer.h"

#include <cstdio>
#include <cstring>
#include <chrono>
#include <thread>
#include <vector>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "renderer/ZDisplayModes.h"
#include "hmd/ZHMDMgr.h"
#include "platform/gfx/effect.h"
#include "platform/window/window.h"
#include "renderer/ZDynamicResource.h"
#include "renderer/ZImage.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "renderer/ZVertexBuffer.h"

namespace {

ZRenderer* g_renderer = nullptr;

constexpr const char* kSourceFile = ".\\src\\ZRenderer";
constexpr gfx::Format kDisplayFormat = gfx::Format::X8R8G8B8;
constexpr gfx::Format kDepthFormat = gfx::Format::D24S8;
// A headset's panel, on which a clear rectangle is laid out whatever the back buffer's size.
constexpr float kPanelWidth = 1280.0f;
constexpr int32_t kPanelHeight = 800;

// The start-up error box; start-up then ends without a device.
void InitError(gfx::Result result, int line) {
    char text[1024];
    std::snprintf(text, sizeof text, "%s: %s\r\n\r\n%s\r\n\r\n%s\r\n\r\nFile: %s\r\nLine: %d",
                  "Direct3D Initialization Error", gfx::ResultName(result), gfx::ResultDescription(result),
                  "Unable to proceed.", kSourceFile, line);
    ZLog::Printf("%s", text);
    platform::window::MessageBox("Direct3D Initialization Error", text,
                                 platform::window::MB_OK | platform::window::MB_ICONERROR);
}

const char* CreateDeviceLine(gfx::Result result) {
    switch (result) {
        case gfx::Result::Ok: return "CreateDevice returned D3D_OK";
        case gfx::Result::InvalidCall: return "CreateDevice returned D3DERR_INVALIDCALL";
        case gfx::Result::NotAvailable: return "CreateDevice returned D3DERR_NOTAVAILABLE";
        case gfx::Result::OutOfVideoMemory: return "CreateDevice returned D3DERR_OUTOFVIDEOMEMORY";
        case gfx::Result::DeviceLost: return "CreateDevice returned D3DERR_DEVICELOST";
        default: return "CreateDevice returned an unknown value";
    }
}

gfx::Format TargetFormat(int32_t code) {
    switch (code) {
        case ZRenderTarget::kX8R8G8B8: return gfx::Format::X8R8G8B8;
        case ZRenderTarget::kA8R8G8B8: return gfx::Format::A8R8G8B8;
        case ZRenderTarget::kA16B16G16R16F: return gfx::Format::A16B16G16R16F;
        case ZRenderTarget::kA32B32G32R32F: return gfx::Format::A32B32G32R32F;
        case ZRenderTarget::kR16F: return gfx::Format::R16F;
        default: return gfx::Format::Unknown;
    }
}

// Copies a system-memory copy of an 8-bit colour target into packed pixels,
// row by row by the surface's own pitch.
gfx::Result CopySurfacePixels(gfx::Surface* copy, const gfx::SurfaceDesc& desc, uint32_t* pixels) {
    gfx::LockedRect locked;
    const gfx::Result r = copy->LockRect(&locked, nullptr, gfx::lock::kReadOnly);
    if (gfx::Failed(r)) {
        return r;
    }
    const bool opaque = desc.format == gfx::Format::X8R8G8B8;
    for (uint32_t y = 0; y < desc.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
        uint32_t* out = pixels + static_cast<size_t>(y) * desc.width;
        std::memcpy(out, row, 4 * static_cast<size_t>(desc.width));
        if (opaque) {
            for (uint32_t x = 0; x < desc.width; ++x) out[x] |= 0xFF000000u;
        }
    }
    return copy->UnlockRect();
}

}  // namespace

ZRenderer* GetRenderer() { return GetOrCreateManager(g_renderer); }

ZRenderer* PeekRenderer() { return g_renderer; }

void DestroyRenderer() { DestroyManager(g_renderer); }

ZRenderer::~ZRenderer() {
    // Targets still registered are owned elsewhere: their device objects go now,
    // and their later Release finds no renderer.
    for (ZRenderTarget* target : m_targets) {
        FreeRenderTarget(*target, true);
    }
    m_targets.Clear();
    Shutdown();
}

void ZRenderer::UseSystem(gfx::System* system) {
    if (m_system != nullptr && m_system != system) {
        m_system->Release();
    }
    m_system = system;
}

template <typename T>
uint32_t ZRenderer::ReleaseObject(T*& object) {
    lastReleaseCount = 0;
    if (object != nullptr) {
        lastReleaseCount = object->Release();
        object = nullptr;
    }
    return lastReleaseCount;
}

// --- Start-up ---------------------------------------------------------------

void ReadDeviceCaps(uint32_t& flags, const gfx::Caps& caps, ZArray<ZHashedString>& missing) {
    if (!(caps.deviceCaps & gfx::Caps::kHwTransformAndLight)) {
        missing.PushBack(ZHashedString("HWVert"));
        flags |= gfx::create::kSoftwareVertexProcessing;
    } else {
        flags |= gfx::create::kHardwareVertexProcessing;
    }
    if (!(caps.primitiveMiscCaps & gfx::Caps::kMrtIndependentBitDepths)) {
        missing.PushBack(ZHashedString("MRTBits"));
    }
    if (!(caps.primitiveMiscCaps & gfx::Caps::kMrtPostPixelShaderBlending)) {
        missing.PushBack(ZHashedString("MRTBlend"));
    }
    if (caps.vertexShaderVersion < gfx::ShaderVersion(2, 0)) {
        missing.PushBack(ZHashedString("VS20"));
    }
    if (caps.pixelShaderVersion < gfx::ShaderVersion(3, 0)) {
        missing.PushBack(ZHashedString("PS30"));
    }
    if (!(caps.presentationIntervals & gfx::present::kIntervalImmediate) ||
        !(caps.presentationIntervals & gfx::present::kIntervalOne)) {
        missing.PushBack(ZHashedString("PresInt"));
    }
    const bool pow2 = (caps.textureCaps & gfx::Caps::kTexturePow2) != 0;
    const bool conditional = (caps.textureCaps & gfx::Caps::kTextureNonPow2Conditional) != 0;
    if (pow2 && !conditional) {
        missing.PushBack(ZHashedString("NonP2"));
    }
    if (pow2 && conditional) {
        missing.PushBack(ZHashedString("NonP2Cond"));
    }
    if (caps.textureCaps & gfx::Caps::kTextureSquareOnly) {
        missing.PushBack(ZHashedString("NonSq"));
    }
}

gfx::PresentParams ZRenderer::setParams(void* window, const int32_t width, const int32_t height, const bool vsync,
                                        bool& exclusive) const {
    if (exclusive && m_system != nullptr) {
        // Full screen only at a size the display offers at the desktop's depth.
        gfx::DisplayMode desktop;
        m_system->GetDesktopDisplayMode(&desktop);
        ZDisplayMode mode;
        if (!FindDisplayMode(mode, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                             gfx::DisplayFormatBits(desktop.format))) {
            ZLog::Printf("No %dx%d display mode: running windowed", width, height);
            exclusive = false;
        }
    }
    gfx::PresentParams params;
    params.backBufferWidth = static_cast<uint32_t>(width > 0 ? width : 0);
    params.backBufferHeight = static_cast<uint32_t>(height > 0 ? height : 0);
    params.backBufferFormat = kDisplayFormat;
    params.backBufferCount = 1;
    params.multiSample = gfx::MultiSample::None;
    params.multiSampleQuality = 0;
    params.swapEffect = exclusive ? gfx::SwapEffect::Discard : gfx::SwapEffect::Copy;
    params.window = window;
    params.windowed = !exclusive;
    params.autoDepthStencil = false;
    params.autoDepthStencilFormat = kDepthFormat;
    params.flags = 0;
    params.refreshRate = 0;
    params.presentationInterval = vsync ? gfx::present::kIntervalOne : gfx::present::kIntervalImmediate;
    return params;
}

void InitRenderer(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& video, ZArray<ZHashedString>& warnings) {
    bool exclusive = video.fullscreen && !video.fullscreenWindowed;
    InitRenderer(window, width, height, video, warnings, exclusive);
}

void InitRenderer(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& video, ZArray<ZHashedString>& warnings, bool& exclusive) {
    ZRenderer* r = GetRenderer();
    if (r == nullptr || r->m_device != nullptr) {
        return;
    }
    void* native = window != nullptr ? window->NativeHandle() : nullptr;
    if (r->m_system == nullptr) {
        if (native == nullptr) {
            ZLog::Printf("InitRenderer: the window has no native window to draw into; running without a device");
            return;
        }
        r->m_system = gfx::CreateSystem(gfx::Backend::OpenGL);
        if (r->m_system == nullptr) {
            InitError(gfx::Result::NotAvailable, __LINE__);
            return;
        }
    }
    r->m_caps = gfx::Caps();
    GetHMDManager()->IsActive();

    gfx::Result result = r->Check(r->m_system->GetDeviceCaps(&r->m_caps));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }
    uint32_t flags = 0;
    ReadDeviceCaps(flags, r->m_caps, warnings);

    ZLog::Printf("setParams");
    const gfx::PresentParams params = r->setParams(native, width, height, video.vsync, exclusive);

    const uint32_t modeCount = r->m_system->GetModeCount(kDisplayFormat);
    ZLog::Printf("NumModes = %d", static_cast<int32_t>(modeCount));
    bool found = false;
    for (uint32_t i = 0; i < modeCount && !found; ++i) {
        gfx::DisplayMode mode;
        result = r->Check(r->m_system->EnumModes(kDisplayFormat, i, &mode));
        if (gfx::Failed(result)) {
            InitError(result, __LINE__);
            return;
        }
        ZLog::Printf("DispMode(%d): %dx%d, %d Hz, format %d", static_cast<int32_t>(i), static_cast<int32_t>(mode.width),
                     static_cast<int32_t>(mode.height), static_cast<int32_t>(mode.refreshRate),
                     static_cast<int32_t>(mode.format));
        found = mode.width == params.backBufferWidth && mode.height == params.backBufferHeight &&
                mode.format == kDisplayFormat;
    }
    if (!found) {
        ZLog::Printf("No compatible display mode could be found.");
    }

    ZLog::Printf("CheckDeviceType for backbuffer");
    result = r->Check(r->m_system->CheckDeviceType(kDisplayFormat, kDisplayFormat, params.windowed));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }
    ZLog::Printf("CheckDeviceFormat for depth buffer");
    result = r->Check(r->m_system->CheckDeviceFormat(kDisplayFormat, gfx::usage::kDepthStencil,
                                                     gfx::ResourceType::Surface, kDepthFormat));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }
    ZLog::Printf("CheckDeviceFormatConversion");
    result = r->Check(r->m_system->CheckDeviceFormatConversion(kDisplayFormat, kDisplayFormat));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }
    ZLog::Printf("CheckDeviceMultiSampleType");
    result = r->Check(r->m_system->CheckDeviceMultiSampleType(kDisplayFormat, params.windowed, gfx::MultiSample::None));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }
    ZLog::Printf("CheckDepthStencilMatch");
    result = r->Check(r->m_system->CheckDepthStencilMatch(kDisplayFormat, kDisplayFormat, kDepthFormat));
    if (gfx::Failed(result)) {
        InitError(result, __LINE__);
        return;
    }

    ZLog::Printf("CreateDevice");
    gfx::Device* device = nullptr;
    result = r->Check(r->m_system->CreateDevice(native, flags, params, &device));
    ZLog::Printf("Immediately after CreateDevice");
    ZLog::Printf("%s", CreateDeviceLine(result));
    if (gfx::Failed(result) || device == nullptr) {
        if (device != nullptr) {
            device->Release();
        }
        InitError(gfx::Failed(result) ? result : gfx::Result::NotAvailable, __LINE__);
        return;
    }
    r->m_device = device;
    r->m_window = native;

    r->lastReleaseCount = 0;
    ZLog::Printf("setDefaultState");
    r->setDefaultState();
    if (r->m_backBuffer == nullptr) {
        r->Check(device->GetRenderTarget(0, &r->m_backBuffer));
    }
    r->CreateDefaultDepthStencil(static_cast<uint32_t>(width > height ? width : height));
    r->CreateFrameQuery();
    ZLog::Printf("init succeeded");
    r->m_backBufferWidth = r->m_targetWidth = width;
    r->m_backBufferHeight = r->m_targetHeight = height;
    r->hasDevice = true;
}

void ZRenderer::setDefaultState() {
    if (m_device == nullptr) {
        return;
    }
    Check(m_device->SetRenderState(gfx::RenderState::Lighting, 0));
    Check(m_device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::CW)));
    Check(m_device->SetRenderState(gfx::RenderState::ZEnable, 1));
    Check(m_device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0));
    Check(m_device->SetRenderState(gfx::RenderState::SrcBlend, static_cast<uint32_t>(gfx::Blend::SrcAlpha)));
    Check(m_device->SetRenderState(gfx::RenderState::DestBlend, static_cast<uint32_t>(gfx::Blend::InvSrcAlpha)));
}

void ZRenderer::ReleaseBackBuffer() {
    if (m_backBuffer != nullptr) {
        ZLog::Printf("pBackBuffer's mCount: %d", static_cast<int32_t>(ReleaseObject(m_backBuffer)));
    }
}

void ZRenderer::CreateDefaultDepthStencil(const uint32_t side) {
    if (m_device == nullptr) {
        return;
    }
    if (m_defaultDepthStencil == nullptr &&
        gfx::Succeeded(Check(m_device->CreateDepthStencilSurface(side, side, kDepthFormat, gfx::MultiSample::None, 0,
                                                                 true, &m_defaultDepthStencil)))) {
        Check(m_device->SetDepthStencilSurface(m_defaultDepthStencil));
    }
    if (m_defaultDepthStencil == nullptr) {
        Check(m_device->GetDepthStencilSurface(&m_defaultDepthStencil));
    }
}

void ZRenderer::ReleaseDefaultDepthStencil() {
    if (m_defaultDepthStencil == nullptr) {
        return;
    }
    if (m_device != nullptr) {
        Check(m_device->SetDepthStencilSurface(m_defaultDepthStencil));
    }
    ZLog::Printf("pDefaultStencilBuffer's mCount: %d", static_cast<int32_t>(ReleaseObject(m_defaultDepthStencil)));
}

void ZRenderer::CreateFrameQuery() {
    if (m_device == nullptr || m_frameQuery != nullptr) {
        return;
    }
    if (gfx::Succeeded(Check(m_device->CreateQuery(&m_frameQuery)))) {
        Check(m_frameQuery->Issue(gfx::kIssueEnd));
    } else {
        m_frameQuery = nullptr;
    }
}

void ZRenderer::ReleaseFrameQuery() { ReleaseObject(m_frameQuery); }

// --- Frames -------------------------------------------------------------------

bool ZRenderer::BeginScene() {
    if (!IsReady() || sceneOpen || !framePresented) {
        return false;
    }
    if (gfx::Failed(Check(m_device->BeginScene()))) {
        return false;
    }
    framePresented = false;
    sceneOpen = true;
    return true;
}

void ZRenderer::EndScene() {
    if (!sceneOpen) {
        return;
    }
    sceneOpen = false;
    if (m_device != nullptr) {
        Check(m_device->EndScene());
    }
}

void ZRenderer::Clear(const uint32_t flags, const ZColor32 color, const float depth) {
    Clear((flags & gfx::clear::kTarget) != 0, (flags & (gfx::clear::kZBuffer | gfx::clear::kStencil)) != 0,
          color.ToARGB(), depth);
}

void ZRenderer::Clear(const bool clearTarget, const bool clearDepthStencil, const uint32_t argb, const float z) {
    if (m_device == nullptr) {
        return;
    }
    const uint32_t flags = (clearTarget ? gfx::clear::kTarget : 0u) |
                           (clearDepthStencil ? gfx::clear::kZBuffer | gfx::clear::kStencil : 0u);
    const ZHMDMgr* hmd = GetHMDManager();
    if (hmd != nullptr && hmd->IsActive()) {
        gfx::Rect rect;
        rect.left = static_cast<int32_t>(kPanelWidth * hmd->viewportOffset);
        rect.top = 0;
        rect.right = rect.left + static_cast<int32_t>(kPanelWidth * hmd->viewportScale);
        rect.bottom = kPanelHeight;
        Check(m_device->Clear(1, &rect, flags, argb, z, 0));
        return;
    }
    Check(m_device->Clear(0, nullptr, flags, argb, z, 0));
}

void ZRenderer::present() {
    if (m_device == nullptr || sceneOpen) {
        return;
    }
    framePresented = true;
    Check(m_device->Present());

    // Wait until the device has finished this frame, so that the processor
    // never runs more than one frame ahead.
    bool lost = false;
    if (m_frameQuery != nullptr) {
        for (;;) {
            uint32_t done = 0;
            const gfx::Result r = m_frameQuery->GetData(&done, sizeof done, gfx::kGetDataFlush);
            if (r == gfx::Result::Ok && done != 0) {
                break;
            }
            if (r != gfx::Result::Ok && r != gfx::Result::False) {
                lost = true;
                break;
            }
            // A short sleep, not a yield: on a software device the frame takes
            // milliseconds, and a yielding loop keeps a core busy all that time.
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    if (lost) {
        ZShaderMgr::GetInstance()->OnLostDevice();
        ZLog::Printf("ZRenderer::present: Present returned D3DERR_DEVICELOST.");
        MarkDeviceLost();
        return;
    }
    if (m_frameQuery != nullptr) {
        Check(m_frameQuery->Issue(gfx::kIssueEnd));
    }
}

void ZRenderer::RunCallbacks(const ZArray<Callback>& callbacks) {
    // By index: a callback may register another.
    for (uint32_t i = 0; i < callbacks.Count(); ++i) {
        if (callbacks[i] != nullptr) {
            callbacks[i]();
        }
    }
}

void ZRenderer::MarkDeviceLost() {
    if (!deviceLost) {
        RunCallbacks(m_lostDevice);
    }
    deviceLost = true;
}

// --- Reset --------------------------------------------------------------------

void ZRenderer::reset(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                      const ZRenderVideoSettings& video, bool& exclusive) {
    if (m_device == nullptr) {
        return;
    }
    ZLog::Printf("************************** ZRenderer::reset (w:%d h:%d v:%d f:%d ) **************************",
                 width, height, video.vsync ? 1 : 0, exclusive ? 1 : 0);
    if (!deviceLost) {
        RunCallbacks(m_preReset);
    }
    deviceLost = false;

    // Everything in video memory goes before the reset: read-back copies,
    // what the effects and the device still hold, dynamic resources, the back
    // buffer, the default depth-stencil, the query and every target's objects.
    ReleaseReadbackSurfaces();
    ZShaderMgr* shaders = ZShaderMgr::GetInstance();
    shaders->OnLostDevice();
    shaders->UnbindAllTextures();
    currentEffect = nullptr;
    techniquePassCount = 0;
    for (uint32_t stage = 0; stage < gfx::kMaxSamplers; ++stage) {
        Check(m_device->SetTexture(stage, nullptr));
    }
    if (m_backBuffer != nullptr) {
        Check(m_device->SetRenderTarget(0, m_backBuffer));
    }
    for (uint32_t index = 1; index < gfx::kMaxTargets; ++index) {
        Check(m_device->SetRenderTarget(index, nullptr));
    }
    for (ZDynamicResource* resource : m_dynamicResources) {
        resource->ReleaseResource();
    }
    ReleaseBackBuffer();
    ReleaseDefaultDepthStencil();
    ReleaseFrameQuery();
    for (ZRenderTarget* target : m_targets) {
        FreeRenderTarget(*target, true);
    }

    ZLog::Printf("#### Checkpoint 1");
    gfx::PresentParams params = setParams(m_window, width, height, video.vsync, exclusive);
    if (window != nullptr) {
        using platform::window::FullscreenMode;
        if (exclusive) {
            exclusive = window->SetFullscreen(FullscreenMode::Exclusive, nullptr);
        } else if (window->GetFullscreen() == FullscreenMode::Exclusive) {
            window->SetFullscreen(FullscreenMode::Windowed, nullptr);
        }
        params.windowed = !exclusive;
        params.swapEffect = exclusive ? gfx::SwapEffect::Discard : gfx::SwapEffect::Copy;
    }

    // A reset that fails with an invalid call leaves the device lost; other failures change nothing more.
    const auto resetDevice = [&](const bool announce) {
        if (Check(m_device->Reset(params)) == gfx::Result::Ok) {
            ZLog::Printf("ZRenderer::reset: Reset apparently succeeded.");
            if (announce) {
                ZLog::Printf("ZRenderer::reset: About to call ZShaderMgr::GetInstance()->OnResetDevice()...");
            }
            shaders->OnResetDevice();
        } else if (lastResult == gfx::Result::InvalidCall) {
            ZLog::Printf("ZRenderer::reset: Reset returned D3DERR_INVALIDCALL.");
            ZLog::Printf("ZRenderer::reset: Returning false.");
            MarkDeviceLost();
        }
    };
    ZLog::Printf("ZRenderer::reset: About to call TestCooperativeLevel()...");
    switch (Check(m_device->TestCooperativeLevel())) {
        case gfx::Result::Ok:
            ZLog::Printf("ZRenderer::reset: TestCooperativeLevel returned D3D_OK.");
            ZLog::Printf("ZRenderer::reset: About to call ZShaderMgr::GetInstance()->OnLostDevice()...");
            shaders->OnLostDevice();
            ZLog::Printf("ZRenderer::reset: About to call TestCooperativeLevel()...");
            Check(m_device->TestCooperativeLevel());
            ZLog::Printf("ZRenderer::reset: About to call Reset()...");
            resetDevice(true);
            break;
        case gfx::Result::DeviceNotReset: {
            ZLog::Printf("ZRenderer::reset: TestCooperativeLevel returned D3DERR_DEVICENOTRESET.");
            ZLog::Printf("ZRenderer::reset: Attempting to reset.");
            const bool focused = window != nullptr && window->HasKeyboardFocus();
            ZLog::Printf(focused ? "ZRenderer::reset: Window has focus." : "ZRenderer::reset: Window does not have focus.");
            shaders->OnLostDevice();
            resetDevice(false);
            break;
        }
        case gfx::Result::DeviceLost:
            shaders->OnLostDevice();
            ZLog::Printf("ZRenderer::reset: TestCooperativeLevel returned D3DERR_DEVICELOST.");
            ZLog::Printf("ZRenderer::reset: Returning false.");
            MarkDeviceLost();
            break;
        case gfx::Result::DriverInternalError:
            ZLog::Printf("ZRenderer::reset: TestCooperativeLevel returned D3DERR_DRIVERINTERNALERROR.");
            ZLog::Printf("ZRenderer::reset: Returning false.");
            MarkDeviceLost();
            break;
        default: break;
    }
    ZLog::Printf("#### Checkpoint 2");

    if (!deviceLost) {
        ZLog::Printf("ZRenderer::reset: Reset was successful");
        setDefaultState();
        ZLog::Printf("Reiniting targets");
        ZTextureMgr* textures = ZTextureMgr::GetInstance();
        for (ZRenderTarget* target : m_targets) {
            initRenderTarget(*target, true);
            if (!target->textureName.IsNone()) {
                textures->AdoptTexture(target->texture, target->textureName, target, target->width, target->height);
            }
        }
        if (m_backBuffer == nullptr) {
            Check(m_device->GetRenderTarget(0, &m_backBuffer));
        }
        CreateDefaultDepthStencil(static_cast<uint32_t>(width > height ? width : height));
        CreateFrameQuery();
        TryRenewDynamicResourcesAndFullscreen();
    } else {
        ZLog::Printf("ZRenderer::reset: Reset was unsuccessful");
    }
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    if (!deviceLost) {
        RunCallbacks(m_postReset);
    }
    ZLog::Printf("#### END ZRenderer::reset()");
    m_backBufferWidth = m_targetWidth = width;
    m_backBufferHeight = m_targetHeight = height;
}

void ZRenderer::TryRenewDynamicResourcesAndFullscreen() {
    ZLog::Printf("BEGIN ZRenderer::TryRenewDynamicResourcesAndFullscreen");
    if (!deviceLost) {
        ZLog::Printf("!bDeviceLost, calling RenewDynamicResources");
        RenewDynamicResources();
        ZLog::Printf("Finished calling RenewDynamicResources");
    }
    ZLog::Printf("END ZRenderer::TryRenewDynamicResourcesAndFullscreen");
}

void ZRenderer::RenewDynamicResources() {
    // By index: renewing may register another resource.
    for (uint32_t i = 0; i < m_dynamicResources.Count(); ++i) {
        m_dynamicResources[i]->RenewResource();
    }
}

// --- Render targets -------------------------------------------------------------

bool ZRenderer::initRenderTarget(ZRenderTarget& target, const bool keepUnregistered) {
    ZLog::Printf("ZRenderer::initRenderTarget");
    FreeRenderTarget(target, true);
    if (!keepUnregistered) {
        m_targets.AddUnique(&target);
    }
    const gfx::Format format = TargetFormat(target.format);
    if (m_device == nullptr || target.width < 1 || target.height < 1 || format == gfx::Format::Unknown) {
        return false;
    }
    uint32_t use = gfx::usage::kRenderTarget;
    if (target.autoMipmap && (m_caps.caps2 & gfx::Caps::kCanAutoGenMipmap)) {
        use |= gfx::usage::kAutoGenMipmap;
    }
    const auto w = static_cast<uint32_t>(target.width);
    const auto h = static_cast<uint32_t>(target.height);
    if (gfx::Failed(Check(m_device->CreateTexture(w, h, 1, use, format, gfx::Pool::Default, &target.texture)))) {
        target.texture = nullptr;
        return false;
    }
    if (gfx::Failed(Check(target.texture->GetSurfaceLevel(0, &target.surface)))) {
        target.surface = nullptr;
        FreeRenderTarget(target, true);
        return false;
    }
    if (target.depthStencil &&
        gfx::Failed(Check(m_device->CreateDepthStencilSurface(w, h, kDepthFormat, gfx::MultiSample::None, 0, true,
                                                              &target.depthStencilSurface)))) {
        target.depthStencilSurface = nullptr;
        FreeRenderTarget(target, true);
        return false;
    }
    return true;
}

void ZRenderer::FreeRenderTarget(ZRenderTarget& target, const bool keepRegistered) {
    if (target.texture != nullptr && !target.textureName.IsNone()) {
        // A published texture must not keep pointing at the freed one.
        ZTextureMgr::GetInstance()->DetachTexture(target.textureName, &target);
    }
    if (target.texture != nullptr) {
        ZLog::Printf("Attempting to free render target texture, mCount == %d",
                     static_cast<int32_t>(ReleaseObject(target.texture)));
    }
    if (target.surface != nullptr) {
        ZLog::Printf("Attempting to free render target surface, mCount == %d",
                     static_cast<int32_t>(ReleaseObject(target.surface)));
    }
    if (target.depthStencilSurface != nullptr) {
        ZLog::Printf("Attempting to free render target depth stencil surface, mCount == %d",
                     static_cast<int32_t>(ReleaseObject(target.depthStencilSurface)));
    }
    if (!keepRegistered) {
        m_targets.Remove(&target);
    }
}

bool ZRenderer::CreateRenderTarget(ZRenderTarget& target, const ZHashedString textureName) {
    const bool made = initRenderTarget(target, false);
    if (!textureName.IsNone()) {
        target.textureName = textureName;
    }
    if (!target.textureName.IsNone()) {
        ZTextureMgr::GetInstance()->AdoptTexture(target.texture, target.textureName, &target, target.width,
                                                 target.height);
        target.published = true;
    }
    return made;
}

bool ZRenderer::CreateNativeResolutionTarget(ZRenderTarget& target, const ZHashedString textureName) {
    target.width = 256;
    target.height = 224;
    target.format = ZRenderTarget::kX8R8G8B8;
    target.autoMipmap = false;
    target.depthStencil = true;
    target.written = false;
    return CreateRenderTarget(target, textureName);
}

void ZRenderer::SetRenderTarget(const uint32_t index, ZRenderTarget* target) {
    if (m_device == nullptr || index >= gfx::kMaxTargets) {
        return;
    }
    if (target == nullptr || target->surface == nullptr) {
        Check(m_device->SetRenderTarget(index, index == 0 ? m_backBuffer : nullptr));
        if (index == 0) {
            m_targetWidth = m_backBufferWidth;
            m_targetHeight = m_backBufferHeight;
        }
    } else {
        Check(m_device->SetRenderTarget(index, target->surface));
        if (index == 0) {
            // The surface's own size: a screen-sized target records a new size before its surface follows.
            gfx::SurfaceDesc desc;
            const bool described = gfx::Succeeded(target->surface->GetDesc(&desc));
            m_targetWidth = described ? static_cast<int32_t>(desc.width) : target->width;
            m_targetHeight = described ? static_cast<int32_t>(desc.height) : target->height;
        }
    }
    if (target != nullptr && target->depthStencilSurface != nullptr) {
        Check(m_device->SetDepthStencilSurface(target->depthStencilSurface));
        return;
    }
    gfx::Surface* bound = nullptr;
    Check(m_device->GetDepthStencilSurface(&bound));
    if (bound != m_defaultDepthStencil) {
        Check(m_device->SetDepthStencilSurface(m_defaultDepthStencil));
    }
    if (bound != nullptr) {
        bound->Release();
    }
}

// --- Geometry -------------------------------------------------------------------

void ZRenderer::SetVertexBuffer(ZVertexBuffer* buffer) {
    if (m_device == nullptr || buffer == nullptr || buffer->vertexCount == 0 || buffer == currentVertexBuffer) {
        return;
    }
    currentVertexBuffer = buffer;
    Check(m_device->SetVertexDeclaration(buffer->declaration));
    for (uint32_t i = 0; i < ZVertexBuffer::kMaxStreams; ++i) {
        if (i < buffer->streamCount) {
            Check(m_device->SetStreamSource(i, buffer->streams[i], 0, buffer->strides[i]));
        } else {
            Check(m_device->SetStreamSource(i, nullptr, 0, 0));
        }
    }
    currentVertexCount = buffer->vertexCount;
}

void ZRenderer::SetIndexBuffer(ZIndexBuffer* buffer) {
    if (m_device == nullptr || buffer == nullptr || buffer->indexCount == 0 || buffer == currentIndexBuffer) {
        return;
    }
    Check(m_device->SetIndices(buffer->buffer));
    currentIndexBuffer = buffer;
    currentIndexCount = buffer->indexCount;
}

// --- Read-back ------------------------------------------------------------------

bool ZRenderer::ReadRenderTargetPixels(gfx::Surface* surface, uint32_t* pixels, const ZHashedString cacheKey) {
    if (m_device == nullptr || surface == nullptr || pixels == nullptr) {
        return false;
    }
    gfx::SurfaceDesc desc;
    if (gfx::Failed(Check(surface->GetDesc(&desc))) ||
        (desc.format != gfx::Format::X8R8G8B8 && desc.format != gfx::Format::A8R8G8B8)) {
        return false;
    }
    gfx::Surface* copy = nullptr;
    if (!cacheKey.IsNone()) {
        copy = m_readbackSurfaces.Get(cacheKey);
        gfx::SurfaceDesc held;
        if (copy != nullptr && (gfx::Failed(copy->GetDesc(&held)) || held.width != desc.width ||
                                held.height != desc.height || held.format != desc.format)) {
            copy->Release();
            m_readbackSurfaces.Remove(cacheKey);
            copy = nullptr;
        }
    }
    if (copy == nullptr &&
        gfx::Failed(Check(m_device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format,
                                                                gfx::Pool::SystemMem, &copy)))) {
        return false;
    }
    bool ok = gfx::Succeeded(Check(m_device->GetRenderTargetData(surface, copy))) &&
              gfx::Succeeded(Check(CopySurfacePixels(copy, desc, pixels)));
    if (cacheKey.IsNone()) {
        copy->Release();
    } else {
        m_readbackSurfaces.Insert(cacheKey, copy);
    }
    return ok;
}

void ZRenderer::ReleaseReadbackSurfaces() {
    for (auto& node : m_readbackSurfaces) {
        if (node.value != nullptr) {
            node.value->Release();
        }
    }
    m_readbackSurfaces.Clear();
}

void ZRenderer::ReadBackBuffer(uint32_t* pixels) const {
    if (m_device == nullptr || m_backBuffer == nullptr || pixels == nullptr) {
        return;
    }
    gfx::SurfaceDesc desc;
    if (gfx::Failed(m_backBuffer->GetDesc(&desc)) || static_cast<int32_t>(desc.width) != m_backBufferWidth ||
        static_cast<int32_t>(desc.height) != m_backBufferHeight ||
        (desc.format != gfx::Format::X8R8G8B8 && desc.format != gfx::Format::A8R8G8B8)) {
        return;
    }
    gfx::Surface* copy = nullptr;
    if (gfx::Failed(m_device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format, gfx::Pool::SystemMem,
                                                          &copy))) {
        return;
    }
    // Read into a scratch copy first, so a failed read leaves the caller's pixels as they were.
    std::vector<uint32_t> scratch(static_cast<size_t>(desc.width) * desc.height);
    if (gfx::Succeeded(m_device->GetRenderTargetData(m_backBuffer, copy)) &&
        gfx::Succeeded(CopySurfacePixels(copy, desc, scratch.data()))) {
        std::memcpy(pixels, scratch.data(), scratch.size() * sizeof(uint32_t));
    }
    copy->Release();
}

std::vector<uint32_t> ZRenderer::CaptureBackBuffer(int32_t& width, int32_t& height) const {
    width = m_backBufferWidth;
    height = m_backBufferHeight;
    if (width < 1 || height < 1) {
        width = 0;
        height = 0;
        return {};
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    ReadBackBuffer(pixels.data());
    return pixels;
}

bool ZRenderer::WriteBMP(const char* path, const uint32_t* pixels, const int32_t width, const int32_t height) {
    ZImage image;
    if (pixels == nullptr || !image.Create(width, height, 3, 24)) {
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image.SetPixel(x, y, pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]);
        }
    }
    return WriteBMPFile(image, path);
}

// --- Shutdown -------------------------------------------------------------------

void ShutdownRenderer() {
    if (ZRenderer* r = PeekRenderer()) {
        r->Shutdown();
    }
}

void ZRenderer::Shutdown() {
    ReleaseReadbackSurfaces();
    DeleteRenderPasses();
    DeleteRenderGroups();
    defaultTarget = nullptr;
    m_slot0 = nullptr;
    m_boundTargets.Clear();
    m_boundOverride = nullptr;
    currentEffect = nullptr;
    techniquePassCount = 0;
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    ReleaseBackBuffer();
    ReleaseDefaultDepthStencil();
    ReleaseFrameQuery();
    if (m_device != nullptr) {
        ZLog::Printf("mDevice's mCount: %d", static_cast<int32_t>(ReleaseObject(m_device)));
    }
    if (m_system != nullptr) {
        ZLog::Printf("mInterface's mCount: %d", static_cast<int32_t>(ReleaseObject(m_system)));
    }
    m_window = nullptr;
    hasDevice = false;
    deviceLost = false;
    sceneOpen = false;
    framePresented = true;
}
