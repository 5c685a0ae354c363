// DDS files down to the texels: every block level the reader accepts is
// decoded as the OpenGL device decodes it on upload (DXT1 to DXT5 into BGRA
// bytes), from the file's own bytes, and small textures are created on a real
// OpenGL device when one opens (offscreen), so the upload path runs too.

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/gfx.h"
#include "platform/gfx/texel.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZTexture.h"

namespace {

// A hidden window and a GL device on it, made once; null when there is no GL.
gfx::Device* GlDevice() {
    static gfx::Device* const device = []() -> gfx::Device* {
        gfx::System* const system = gfx::CreateSystem(gfx::Backend::OpenGL);
        if (system == nullptr) return nullptr;
        SDL_Window* const window = SDL_CreateWindow("fuzz", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window == nullptr) return nullptr;
        gfx::PresentParams params;
        params.backBufferWidth = params.backBufferHeight = 16;
        params.window = window;
        gfx::Device* made = nullptr;
        if (system->CreateDevice(window, gfx::create::kHardwareVertexProcessing, params, &made) != gfx::Result::Ok) {
            return nullptr;
        }
        return made;
    }();
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZDDSFile dds;
    if (!dds.Parse(data, size)) return 0;
    // The decode of every level straight from the file's bytes: the blocks it
    // reads must lie inside the level the reader located.
    if (gfx::IsBlockFormat(dds.GetFormat()) && static_cast<uint64_t>(dds.GetWidth()) * dds.GetHeight() <= 1024 * 1024) {
        for (uint32_t face = 0; face < dds.GetFaceCount(); ++face) {
            for (uint32_t level = 0; level < dds.GetLevelCount(); ++level) {
                const ZDDSFile::Level l = dds.GetLevel(face, level);
                if (l.width == 0 || l.height == 0) __builtin_trap();
                if (l.rows < (l.height + 3) / 4 || l.rowBytes < (l.width + 3) / 4 * 8) __builtin_trap();
                // Exactly the level's bytes, so that a stray block read is seen.
                const std::vector<uint8_t> blocks(l.data, l.data + static_cast<size_t>(l.rowBytes) * l.rows);
                std::vector<uint8_t> texels(static_cast<size_t>(l.width) * l.height * 4);
                gfx::DecodeBlocksBGRA(dds.GetFormat(), blocks.data(), l.rowBytes, l.width, l.height, texels.data(),
                                      l.width * 4);
            }
        }
    }
    // Through the device: small ones only, a GL texture is slow to make.
    if (static_cast<uint64_t>(dds.GetWidth()) * dds.GetHeight() > 64 * 64) return 0;
    gfx::Device* const device = GlDevice();
    if (device == nullptr) return 0;
    gfx::BaseTexture* texture = nullptr;
    int32_t width = 0, height = 0, levels = 0;
    bool cube = false;
    if (CreateTextureFromDDS(device, data, size, &texture, &width, &height, &levels, &cube)) {
        if (texture->GetLevelCount() != static_cast<uint32_t>(levels) || cube != dds.IsCube()) __builtin_trap();
        texture->Release();
    }
    return 0;
}

// The GL driver keeps allocations of its own for the life of the process.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
