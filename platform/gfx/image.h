#pragma once

// CPU-side texel storage with the lock rules both backends share.

#include <cstdint>
#include <vector>

#include "platform/gfx/gfx.h"

namespace gfx {

struct Image {
    Format format = Format::Unknown;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;  // bytes per row of texels (or of 4x4 blocks)
    std::vector<uint8_t> bits;
    bool locked = false;
    bool lockedReadOnly = false;

    // Sizes the storage: rows of RowBytes plus `padding`, zero-filled.
    void Allocate(Format f, uint32_t w, uint32_t h, uint32_t padding);
    uint32_t Rows() const { return RowCount(format, height); }
};

// Locks an image (or a rectangle of it); refuses a second lock, a rectangle
// outside the image, and a block-format rectangle off the 4x4 grid.
Result LockImage(Image& image, const Rect* rect, LockedRect* locked, uint32_t flags);
Result UnlockImage(Image& image);

// Size of mip level `level` of a side of `size` texels.
inline uint32_t LevelSize(uint32_t size, uint32_t level) {
    const uint32_t s = level < 32 ? size >> level : 0;
    return s ? s : 1;
}
// Number of levels of a full chain down to 1x1.
uint32_t FullChainLevels(uint32_t width, uint32_t height);

// The checks both devices make on a new texture (a cube passes its edge as
// both sides): sides of 1 to `maxSide`, no more levels than the chain has, no
// depth usage, targets and dynamic textures in the default pool. `formatOk` and
// `targetOk` say whether the device offers the format for textures and for
// render targets. On success settles `*levels`: 0 asks for the whole chain, and
// automatic mipmaps keep one level.
Result CheckNewTexture(uint32_t width, uint32_t height, uint32_t maxSide, uint32_t usage, Pool pool, bool formatOk,
                       bool targetOk, uint32_t* levels);

}  // namespace gfx
