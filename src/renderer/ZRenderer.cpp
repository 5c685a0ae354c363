#include "renderer/ZRenderer.h"

#include "foundation/ZAppInfo.h"
#include "platform/window/window.h"

namespace {

ZRenderer* g_renderer = nullptr;

void RunCallbacks(const ZArray<ZRenderer::Callback>& callbacks) {
    // By index: a callback may register another.
    for (uint32_t i = 0; i < callbacks.Count(); ++i) {
        if (callbacks[i] != nullptr) {
            callbacks[i]();
        }
    }
}

}  // namespace

ZRenderer* GetRenderer() { return GetOrCreateManager(g_renderer); }

void DestroyRenderer() { DestroyManager(g_renderer); }

void InitRenderer(platform::window::WindowSystem* /*window*/, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& /*video*/, ZArray<ZHashedString>& /*warnings*/) {
    ZRenderer* renderer = GetRenderer();
    if (renderer == nullptr) {
        return;
    }
    // No device yet: the sizes are kept for the back-buffer queries only.
    renderer->m_width = width;
    renderer->m_height = height;
}

void ShutdownRenderer() {
    if (g_renderer != nullptr) {
        g_renderer->hasDevice = false;
    }
}

void ZRenderer::reset(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                      const ZRenderVideoSettings& /*video*/, bool& exclusive) {
    RunCallbacks(m_preReset);
    RunCallbacks(m_lostDevice);
    if (window != nullptr) {
        using platform::window::FullscreenMode;
        if (exclusive) {
            exclusive = window->SetFullscreen(FullscreenMode::Exclusive, nullptr);
        } else if (window->GetFullscreen() == FullscreenMode::Exclusive) {
            window->SetFullscreen(FullscreenMode::Windowed, nullptr);
        }
    }
    m_width = width;
    m_height = height;
    deviceLost = false;
    RunCallbacks(m_postReset);
}

void ZRenderer::present() {}

bool ZRenderer::BeginScene() {
    if (m_inScene || !hasDevice || deviceLost) {
        return false;
    }
    m_inScene = true;
    return true;
}

void ZRenderer::Clear(uint32_t /*flags*/, ZColor32 /*color*/, float /*depth*/) {}

void ZRenderer::EndScene() { m_inScene = false; }

void ZRenderer::DrawRenderPasses(ZHashedString /*name*/) {}

void ZRenderer::ReadBackBuffer(uint32_t* /*pixels*/) const {}

bool ZRenderer::WriteBMP(const char* /*path*/, const uint32_t* /*pixels*/, int32_t /*width*/, int32_t /*height*/) {
    return false;
}
