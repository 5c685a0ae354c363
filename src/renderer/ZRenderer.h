#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"

namespace platform::window {
class WindowSystem;
}

// The video options the renderer starts and resets with, in the order the
// base game hands them over.
struct ZRenderVideoSettings {
    bool vsync = false;
    bool fullscreen = false;
    bool fullscreenWindowed = false;
    bool fullscreenWindowedStretch = false;
    int32_t fxaa = 0;
};

// The renderer as the application framework sees it: the device flags, the
// reset with its notifications, the frame bracket and presentation, and the
// back-buffer read-out for screenshots.
//
// Until the renderer proper exists this one has no device: every drawing
// operation does nothing, and a reset only runs the notifications.
class ZRenderer {
public:
    using Callback = void (*)();

    ZRenderer() = default;
    ~ZRenderer() = default;
    ZRenderer(const ZRenderer&) = delete;
    ZRenderer& operator=(const ZRenderer&) = delete;

    // Resets the device for the options: runs the before-reset, device-lost and
    // after-reset lists in that order. exclusive comes back false when exclusive
    // full screen was refused (the window system decides).
    void reset(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
               const ZRenderVideoSettings& video, bool& exclusive);
    // Shows the back buffer.
    void present();

    // The frame bracket: BeginScene only while no scene is open and the device
    // is ready; EndScene only while one is open.
    bool BeginScene();
    void Clear(uint32_t flags, ZColor32 color, float depth);
    void EndScene();
    // Draws every render pass in list order (passes with the none name: all).
    void DrawRenderPasses(ZHashedString name);

    void AddPreResetCallback(Callback callback) { m_preReset.PushBack(callback); }
    void AddPostResetCallback(Callback callback) { m_postReset.PushBack(callback); }
    void AddLostDeviceCallback(Callback callback) { m_lostDevice.PushBack(callback); }

    // Back-buffer size in pixels.
    int32_t GetBackBufferWidth() const { return m_width; }
    int32_t GetBackBufferHeight() const { return m_height; }
    // Fills width x height 4-byte pixels (pre-filled opaque black by the caller)
    // with the back buffer; without a device the buffer stays as it was.
    void ReadBackBuffer(uint32_t* pixels) const;
    // Writes a width x height image as a BMP file; false when it cannot.
    static bool WriteBMP(const char* path, const uint32_t* pixels, int32_t width, int32_t height);

    // Fields other subsystems read or write.
    bool hasDevice = false;
    bool deviceLost = false;
    bool dumpRenderTargets = false;  // write every target to a BMP at the next frame

private:
    friend void InitRenderer(platform::window::WindowSystem*, int32_t&, int32_t&, const ZRenderVideoSettings&,
                             ZArray<ZHashedString>&);

    ZArray<Callback> m_preReset;
    ZArray<Callback> m_postReset;
    ZArray<Callback> m_lostDevice;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_inScene = false;
};

// The renderer, made on first use.
ZRenderer* GetRenderer();
// Frees it (shutdown, after ShutdownRenderer); the next GetRenderer makes a new one.
void DestroyRenderer();

// Starts the device for the window at the render size (in/out) with the video
// options; warning keys (names of strings in "General"/"D3DInitWarnings") are
// appended to warnings. A failure is reported by the renderer itself and
// leaves it without a device.
void InitRenderer(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& video, ZArray<ZHashedString>& warnings);
// Releases the device.
void ShutdownRenderer();
