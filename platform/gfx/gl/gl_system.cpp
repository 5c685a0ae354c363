#include "platform/gfx/gl/gl_system.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "platform/gfx/gl/gl_device.h"
#include "platform/window/sdl/SdlShared.h"

namespace gfx::gl {

namespace {

// Display formats in the device's terms; a display has no alpha, so 24- and
// 32-bit modes are X8R8G8B8.
Format DisplayFormatOf(Uint32 sdlFormat) {
    if (sdlFormat == SDL_PIXELFORMAT_ARGB2101010) return Format::A2R10G10B10;
    switch (SDL_BITSPERPIXEL(sdlFormat)) {
        case 24:
        case 32: return Format::X8R8G8B8;
        case 16: return (sdlFormat == SDL_PIXELFORMAT_RGB565 || sdlFormat == SDL_PIXELFORMAT_BGR565) ? Format::R5G6B5
                        : SDL_ISPIXELFORMAT_ALPHA(sdlFormat)                                      ? Format::A1R5G5B5
                                                                                                  : Format::X1R5G5B5;
        case 15: return Format::X1R5G5B5;
        default: return Format::Unknown;
    }
}

DisplayMode ModeOf(const SDL_DisplayMode& m) {
    return {static_cast<uint32_t>(m.w), static_cast<uint32_t>(m.h), static_cast<uint32_t>(m.refresh_rate),
            DisplayFormatOf(m.format)};
}

class GlSystem final : public System {
public:
    GlSystem() = default;
    // Not on a lost display: closing video would destroy the window through it.
    ~GlSystem() override {
        if (!platform::sdl::DisplayLost()) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    Result GetDeviceCaps(Caps* caps) override {
        if (!caps) return Result::InvalidCall;
        const Result r = Probe();
        if (Succeeded(r)) *caps = m_caps;
        return r;
    }

    Result GetDesktopDisplayMode(DisplayMode* mode) override {
        SDL_DisplayMode m;
        if (!mode || SDL_GetDesktopDisplayMode(0, &m) != 0) return mode ? Result::NotAvailable : Result::InvalidCall;
        *mode = ModeOf(m);
        return Result::Ok;
    }

    uint32_t GetModeCount(Format format) override {
        uint32_t n = 0;
        for (const DisplayMode& m : Modes()) n += m.format == format ? 1 : 0;
        return n;
    }

    Result EnumModes(Format format, uint32_t index, DisplayMode* mode) override {
        if (!mode) return Result::InvalidCall;
        if (SDL_GetNumDisplayModes(0) < 0) return Result::NotAvailable;
        uint32_t n = 0;
        for (const DisplayMode& m : Modes()) {
            if (m.format != format) continue;
            if (n++ == index) {
                *mode = m;
                return Result::Ok;
            }
        }
        return Result::InvalidCall;
    }

    Result CheckDeviceType(Format displayFormat, Format backBufferFormat, bool /*windowed*/) override {
        const bool ok = displayFormat == Format::X8R8G8B8 &&
                        (backBufferFormat == Format::X8R8G8B8 || backBufferFormat == Format::A8R8G8B8);
        return ok ? Result::Ok : Result::NotAvailable;
    }

    Result CheckDeviceFormat(Format /*adapterFormat*/, uint32_t usage, ResourceType type, Format format) override {
        if (usage & usage::kDepthStencil) {
            return format == Format::D24S8 && type == ResourceType::Surface ? Result::Ok : Result::NotAvailable;
        }
        if (type == ResourceType::VertexBuffer) return Result::Ok;
        if (type == ResourceType::IndexBuffer) return format == Format::Index16 ? Result::Ok : Result::NotAvailable;
        if (usage & (usage::kRenderTarget | usage::kAutoGenMipmap)) {
            return IsTargetFormat(format) ? Result::Ok : Result::NotAvailable;
        }
        GlFormat f;
        return LookUpFormat(format, &f) ? Result::Ok : Result::NotAvailable;
    }

    Result CheckDeviceFormatConversion(Format source, Format target) override {
        return IsTargetFormat(source) && IsTargetFormat(target) ? Result::Ok : Result::NotAvailable;
    }

    Result CheckDeviceMultiSampleType(Format /*format*/, bool /*windowed*/, MultiSample type) override {
        return type == MultiSample::None ? Result::Ok : Result::NotAvailable;
    }

    Result CheckDepthStencilMatch(Format /*adapterFormat*/, Format targetFormat, Format depthFormat) override {
        return depthFormat == Format::D24S8 && IsTargetFormat(targetFormat) ? Result::Ok : Result::NotAvailable;
    }

    Result CreateDevice(void* focusWindow, uint32_t /*createFlags*/, const PresentParams& params,
                        Device** device) override {
        if (!device) return Result::InvalidCall;
        *device = nullptr;
        SDL_Window* window = static_cast<SDL_Window*>(params.window ? params.window : focusWindow);
        if (!window) return Result::InvalidCall;
        auto* d = new GlDevice(this, window);
        std::string why;
        const Result r = d->Initialise(params, &why);
        if (Failed(r)) {
            std::fprintf(stderr, "gfx: the OpenGL device could not be made: %s\n", why.c_str());
            d->Release();
            return r;
        }
        *device = d;
        return Result::Ok;
    }

private:
    // The display's modes. Some video drivers (the offscreen one) list none that
    // can be used; the desktop's own mode is always there.
    static std::vector<DisplayMode> Modes() {
        std::vector<DisplayMode> modes;
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w <= 0 || m.h <= 0) continue;
            const DisplayMode mode = ModeOf(m);
            if (mode.format != Format::Unknown) modes.push_back(mode);
        }
        SDL_DisplayMode desktop;
        if (modes.empty() && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
            modes.push_back(ModeOf(desktop));
        }
        return modes;
    }

    // The capabilities need a context: a hidden window gets one once, to ask.
    Result Probe() {
        if (m_probed) return m_probeResult;
        m_probed = true;
        m_probeResult = Result::NotAvailable;
        SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
        SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
        SetContextAttributes();
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window) {
            SDL_GLContext context = SDL_GL_CreateContext(window);
            if (context) {
                Api gl;
                const char* missing = nullptr;
                if (gl.Load(&missing)) {
                    GLint major = 0, minor = 0;
                    gl.GetIntegerv(GL_MAJOR_VERSION, &major);
                    gl.GetIntegerv(GL_MINOR_VERSION, &minor);
                    if (major > 3 || (major == 3 && minor >= 3)) {
                        m_caps = QueryCaps(gl);
                        m_probeResult = Result::Ok;
                    }
                }
                SDL_GL_MakeCurrent(window, nullptr);
                SDL_GL_DeleteContext(context);
            }
            SDL_DestroyWindow(window);
        }
        if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
        if (Failed(m_probeResult)) std::fprintf(stderr, "gfx: no OpenGL 3.3 core context: %s\n", SDL_GetError());
        return m_probeResult;
    }

    bool m_probed = false;
    Result m_probeResult = Result::NotAvailable;
    Caps m_caps;
};

}  // namespace

System* CreateSystem() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "gfx: SDL video could not start: %s\n", SDL_GetError());
        return nullptr;
    }
    return new GlSystem();
}

}  // namespace gfx::gl
