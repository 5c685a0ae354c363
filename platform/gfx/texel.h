#pragma once

// Texel conversions shared by the backends.

#include <cstdint>

#include "platform/gfx/gfx.h"

namespace gfx {

// Decodes DXT1..DXT5 blocks into B, G, R, A bytes. `blockPitch` is the bytes
// from one row of blocks to the next; `outPitch` the bytes per output row.
// DXT2 and DXT4 decode like DXT3 and DXT5 (their colours stay premultiplied).
void DecodeBlocksBGRA(Format format, const uint8_t* blocks, uint32_t blockPitch, uint32_t width,
                      uint32_t height, uint8_t* out, uint32_t outPitch);

// IEEE half-precision conversions (round to nearest even).
uint16_t FloatToHalf(float value);
float HalfToFloat(uint16_t half);

}  // namespace gfx
