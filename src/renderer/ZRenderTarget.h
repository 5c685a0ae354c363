#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

namespace gfx {
class Surface;
class Texture;
}  // namespace gfx

// An off-screen target: a texture, its level-0 surface and an optional
// depth-stencil surface of the same size. The renderer creates the objects
// (ZRenderer::CreateRenderTarget), keeps the target in its list so that a
// device reset re-creates them, and publishes the texture in the texture
// cache under the target's name so that shaders sample it by name.
struct ZRenderTarget {
    // Format codes.
    static constexpr int32_t kX8R8G8B8 = 1;
    static constexpr int32_t kA8R8G8B8 = 2;
    static constexpr int32_t kA16B16G16R16F = 3;
    static constexpr int32_t kA32B32G32R32F = 4;
    static constexpr int32_t kR16F = 5;

    ZRenderTarget() = default;
    // Releases what is still held and leaves the renderer's list.
    ~ZRenderTarget();
    ZRenderTarget(const ZRenderTarget&) = delete;
    ZRenderTarget& operator=(const ZRenderTarget&) = delete;

    // Drops the published name from the texture cache, frees the device
    // objects and leaves the renderer's list. Safe to call again.
    void Release();

    int32_t width = -1;
    int32_t height = -1;
    int32_t format = kA8R8G8B8;
    bool autoMipmap = false;    // with automatic mipmaps when the device makes them
    bool depthStencil = false;  // with its own D24S8 depth-stencil surface
    ZHashedString textureName;  // none: not published
    gfx::Texture* texture = nullptr;
    gfx::Surface* surface = nullptr;
    gfx::Surface* depthStencilSurface = nullptr;
    bool written = false;  // drawn into since the frame's passes began

    // Holds one reference in the texture cache under textureName.
    bool published = false;
};
