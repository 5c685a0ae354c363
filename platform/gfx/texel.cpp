#include "platform/gfx/texel.h"

#include <bit>
#include <cstring>

namespace gfx {

namespace {

// 5:6:5 colour to 8-bit B, G, R with the top bits repeated into the low ones.
void Expand565(uint16_t c, uint8_t* bgr) {
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    bgr[0] = static_cast<uint8_t>(b << 3 | b >> 2);
    bgr[1] = static_cast<uint8_t>(g << 2 | g >> 4);
    bgr[2] = static_cast<uint8_t>(r << 3 | r >> 2);
}

uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Decodes the 8-byte colour part of a block into 16 BGRA texels.
void DecodeColour(const uint8_t* block, bool allowTransparent, uint8_t texels[16][4]) {
    const uint16_t c0 = Load16(block), c1 = Load16(block + 2);
    uint8_t palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    if (c0 > c1 || !allowTransparent) {
        for (int i = 0; i < 3; ++i) {
            palette[2][i] = static_cast<uint8_t>((2 * palette[0][i] + palette[1][i] + 1) / 3);
            palette[3][i] = static_cast<uint8_t>((palette[0][i] + 2 * palette[1][i] + 1) / 3);
        }
        palette[2][3] = palette[3][3] = 255;
    } else {
        for (int i = 0; i < 3; ++i) {
            palette[2][i] = static_cast<uint8_t>((palette[0][i] + palette[1][i] + 1) / 2);
            palette[3][i] = 0;
        }
        palette[2][3] = 255;
        palette[3][3] = 0;
    }
    const uint32_t bits = Load32(block + 4);
    for (int t = 0; t < 16; ++t) std::memcpy(texels[t], palette[(bits >> (2 * t)) & 3], 4);
}

void DecodeExplicitAlpha(const uint8_t* block, uint8_t texels[16][4]) {
    for (int t = 0; t < 16; ++t) {
        const uint32_t a = (block[t / 2] >> (4 * (t & 1))) & 15;
        texels[t][3] = static_cast<uint8_t>(a << 4 | a);
    }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t texels[16][4]) {
    uint32_t palette[8];
    InterpolatedAlphaPalette(block[0], block[1], palette);
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (int t = 0; t < 16; ++t) texels[t][3] = static_cast<uint8_t>(palette[(bits >> (3 * t)) & 7]);
}

}  // namespace

void InterpolatedAlphaPalette(uint32_t a0, uint32_t a1, uint32_t palette[8]) {
    palette[0] = a0;
    palette[1] = a1;
    if (a0 > a1) {
        for (uint32_t i = 1; i < 7; ++i) palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (uint32_t i = 1; i < 5; ++i) palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
}

void DecodeBlocksBGRA(Format format, const uint8_t* blocks, uint32_t blockPitch, uint32_t width,
                      uint32_t height, uint8_t* out, uint32_t outPitch) {
    const uint32_t blockBytes = FormatBytes(format);
    const uint32_t bw = RowBytes(format, width) / blockBytes, bh = RowCount(format, height);
    for (uint32_t by = 0; by < bh; ++by) {
        for (uint32_t bx = 0; bx < bw; ++bx) {
            const uint8_t* block = blocks + static_cast<size_t>(by) * blockPitch + static_cast<size_t>(bx) * blockBytes;
            uint8_t texels[16][4];
            switch (format) {
                case Format::DXT1: DecodeColour(block, true, texels); break;
                case Format::DXT2:
                case Format::DXT3:
                    DecodeColour(block + 8, false, texels);
                    DecodeExplicitAlpha(block, texels);
                    break;
                case Format::DXT4:
                case Format::DXT5:
                    DecodeColour(block + 8, false, texels);
                    DecodeInterpolatedAlpha(block, texels);
                    break;
                default: return;
            }
            for (uint32_t ty = 0; ty < 4; ++ty) {
                const uint32_t y = by * 4 + ty;
                if (y >= height) break;
                for (uint32_t tx = 0; tx < 4; ++tx) {
                    const uint32_t x = bx * 4 + tx;
                    if (x >= width) break;
                    std::memcpy(out + static_cast<size_t>(y) * outPitch + static_cast<size_t>(x) * 4, texels[ty * 4 + tx], 4);
                }
            }
        }
    }
}

uint16_t FloatToHalf(float value) {
    const uint32_t f = std::bit_cast<uint32_t>(value);
    const uint32_t sign = (f >> 16) & 0x8000;
    const int32_t exponent = static_cast<int32_t>((f >> 23) & 0xFF) - 127 + 15;
    uint32_t mantissa = f & 0x7FFFFF;
    if (((f >> 23) & 0xFF) == 0xFF) return static_cast<uint16_t>(sign | 0x7C00 | (mantissa ? 0x200 : 0));
    if (exponent >= 31) return static_cast<uint16_t>(sign | 0x7C00);
    if (exponent <= 0) {
        if (exponent < -10) return static_cast<uint16_t>(sign);
        mantissa |= 0x800000;
        const uint32_t shift = static_cast<uint32_t>(14 - exponent);
        uint32_t half = mantissa >> shift;
        const uint32_t rest = mantissa & ((1u << shift) - 1), midpoint = 1u << (shift - 1);
        if (rest > midpoint || (rest == midpoint && (half & 1))) ++half;
        return static_cast<uint16_t>(sign | half);
    }
    uint32_t half = static_cast<uint32_t>(exponent) << 10 | mantissa >> 13;
    const uint32_t rest = mantissa & 0x1FFF;
    if (rest > 0x1000 || (rest == 0x1000 && (half & 1))) ++half;  // may carry into the exponent: still right
    return static_cast<uint16_t>(sign | half);
}

float HalfToFloat(uint16_t half) {
    const uint32_t sign = static_cast<uint32_t>(half & 0x8000) << 16;
    uint32_t exponent = (half >> 10) & 31;
    uint32_t mantissa = half & 0x3FF;
    if (exponent == 31) return std::bit_cast<float>(sign | 0x7F800000 | mantissa << 13);
    if (exponent == 0) {
        if (mantissa == 0) return std::bit_cast<float>(sign);
        exponent = 1;
        while (!(mantissa & 0x400)) {
            mantissa <<= 1;
            --exponent;
        }
        mantissa &= 0x3FF;
        return std::bit_cast<float>(sign | (exponent + 112) << 23 | mantissa << 13);
    }
    return std::bit_cast<float>(sign | (exponent + 112) << 23 | mantissa << 13);
}

}  // namespace gfx
