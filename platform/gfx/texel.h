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

// The eight alphas a DXT5 alpha block picks from, given its two endpoints: six
// steps from a0 to a1 when a0 > a1, otherwise four steps plus 0 and 255.
void InterpolatedAlphaPalette(uint32_t a0, uint32_t a1, uint32_t palette[8]);

// IEEE half-precision conversions (round to nearest even).
uint16_t FloatToHalf(float value);
float HalfToFloat(uint16_t half);

}  // namespace gfx
