#pragma once

// Pictures for the engine's texture files: PNG in and out, DXT1/DXT5 block
// encoding, and whole DDS and BMP files as the engine's readers take them.
// Header-only so that texbuild, fontbuild, artgen and the tests share one copy.

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/image.h"
#include "platform/gfx/texel.h"

namespace korvart {

// An 8-bit RGBA picture, rows top-down, no padding.
struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4 bytes: R, G, B, A

    Picture() = default;
    Picture(uint32_t w, uint32_t h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}

    uint8_t* At(uint32_t x, uint32_t y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* At(uint32_t x, uint32_t y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
    bool IsOpaque() const {
        for (size_t i = 3; i < rgba.size(); i += 4) {
            if (rgba[i] != 255) return false;
        }
        return true;
    }
};

// Larger pictures are refused: nothing the engine loads comes near it, and it
// keeps a damaged header from asking for gigabytes.
inline constexpr uint32_t kMaxSide = 8192;

inline bool ReadPng(const std::string& path, Picture& out, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        error = path + ": " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " is outside 1..8192 texels per side";
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out = Picture(image.width, image.height);
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

inline bool WritePng(const std::string& path, const Picture& picture, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = picture.width;
    image.height = picture.height;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

// Writes bytes to path through a temporary file beside it, so that a failed
// run never leaves a half-written output that looks up to date.
inline bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) {
        error = "cannot create " + temp;
        return false;
    }
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// ---------------------------------------------------------------------------
// DXT blocks

// One 4x4 block of RGBA texels; texels past the picture's edge repeat the
// nearest one so partial blocks encode as if the edge continued.
struct Block {
    uint8_t texel[16][4];
};

inline Block GatherBlock(const Picture& picture, uint32_t bx, uint32_t by) {
    Block block;
    for (uint32_t t = 0; t < 16; ++t) {
        const uint32_t x = std::min(bx * 4 + t % 4, picture.width - 1);
        const uint32_t y = std::min(by * 4 + t / 4, picture.height - 1);
        std::memcpy(block.texel[t], picture.At(x, y), 4);
    }
    return block;
}

inline uint16_t Pack565(int r, int g, int b) {
    return static_cast<uint16_t>((r & 31) << 11 | (g & 63) << 5 | (b & 31));
}
inline void Unpack565(uint16_t c, int rgb[3]) {
    const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = r << 3 | r >> 2;
    rgb[1] = g << 2 | g >> 4;
    rgb[2] = b << 3 | b >> 2;
}
// Nearest 5- or 6-bit value whose expansion is closest to an 8-bit one.
inline int Quantize(float v, int bits) {
    const int levels = (1 << bits) - 1;
    int best = 0, bestError = 1 << 30;
    const int guess = static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f) * levels / 255.0f));
    for (int q = std::max(0, guess - 1); q <= std::min(levels, guess + 1); ++q) {
        const int expanded = bits == 5 ? (q << 3 | q >> 2) : (q << 2 | q >> 4);
        const int error = std::abs(expanded - static_cast<int>(std::lround(v)));
        if (error < bestError) {
            bestError = error;
            best = q;
        }
    }
    return best;
}

// Endpoint pair for one channel whose 2/3 : 1/3 mix (rounded as decoders
// commonly do) lands closest to an 8-bit value: lets a flat block of a colour
// that 5:6:5 cannot hold come out nearer than the endpoint alone would.
struct SingleColourTable {
    uint8_t e0[256];
    uint8_t e1[256];
    uint8_t error[256];
};
inline SingleColourTable MakeSingleColourTable(int bits) {
    SingleColourTable table{};
    const int levels = 1 << bits;
    for (int v = 0; v < 256; ++v) {
        int best = 1 << 30;
        for (int a = 0; a < levels; ++a) {
            const int ea = bits == 5 ? (a << 3 | a >> 2) : (a << 2 | a >> 4);
            for (int b = 0; b < levels; ++b) {
                const int eb = bits == 5 ? (b << 3 | b >> 2) : (b << 2 | b >> 4);
                const int mixed = (2 * ea + eb + 1) / 3;
                const int error = std::abs(mixed - v);
                if (error < best) {
                    best = error;
                    table.e0[v] = static_cast<uint8_t>(a);
                    table.e1[v] = static_cast<uint8_t>(b);
                    table.error[v] = static_cast<uint8_t>(error);
                }
            }
        }
    }
    return table;
}

// The two 5:6:5 endpoints of the texels whose weight is set: the extremes
// of the texels along their main axis (a few power iterations on the
// covariance matrix). False when no texel has weight.
inline bool ColourEndpoints(const Block& block, const bool weight[16], uint16_t& a, uint16_t& b) {
    float points[16][3];
    int count = 0;
    for (int t = 0; t < 16; ++t) {
        if (!weight[t]) continue;
        for (int c = 0; c < 3; ++c) points[count][c] = block.texel[t][c];
        ++count;
    }
    if (count == 0) return false;
    float mean[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) mean[c] += points[i][c] / static_cast<float>(count);
    float cov[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const float d[3] = {points[i][0] - mean[0], points[i][1] - mean[1], points[i][2] - mean[2]};
        cov[0] += d[0] * d[0];
        cov[1] += d[0] * d[1];
        cov[2] += d[0] * d[2];
        cov[3] += d[1] * d[1];
        cov[4] += d[1] * d[2];
        cov[5] += d[2] * d[2];
    }
    // Start from the covariance column of the widest channel: a fixed start
    // such as (1, 1, 1) can be orthogonal to the real axis (red against blue).
    float axis[3] = {1, 1, 1};
    if (cov[0] >= cov[3] && cov[0] >= cov[5] && cov[0] > 0) {
        axis[0] = cov[0], axis[1] = cov[1], axis[2] = cov[2];
    } else if (cov[3] >= cov[5] && cov[3] > 0) {
        axis[0] = cov[1], axis[1] = cov[3], axis[2] = cov[4];
    } else if (cov[5] > 0) {
        axis[0] = cov[2], axis[1] = cov[4], axis[2] = cov[5];
    }
    for (int iteration = 0; iteration < 8; ++iteration) {
        const float x = cov[0] * axis[0] + cov[1] * axis[1] + cov[2] * axis[2];
        const float y = cov[1] * axis[0] + cov[3] * axis[1] + cov[4] * axis[2];
        const float z = cov[2] * axis[0] + cov[4] * axis[1] + cov[5] * axis[2];
        const float length = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
        if (length <= 0.0f) break;
        axis[0] = x / length;
        axis[1] = y / length;
        axis[2] = z / length;
    }
    float lo = 1e30f, hi = -1e30f;
    int loIndex = 0, hiIndex = 0;
    for (int i = 0; i < count; ++i) {
        const float p = points[i][0] * axis[0] + points[i][1] * axis[1] + points[i][2] * axis[2];
        if (p < lo) {
            lo = p;
            loIndex = i;
        }
        if (p > hi) {
            hi = p;
            hiIndex = i;
        }
    }
    const float* h = points[hiIndex];
    const float* l = points[loIndex];
    a = Pack565(Quantize(h[0], 5), Quantize(h[1], 6), Quantize(h[2], 5));
    b = Pack565(Quantize(l[0], 5), Quantize(l[1], 6), Quantize(l[2], 5));
    return true;
}

inline void StoreColourBlock(uint16_t c0, uint16_t c1, uint32_t indices, uint8_t out[8]) {
    out[0] = static_cast<uint8_t>(c0);
    out[1] = static_cast<uint8_t>(c0 >> 8);
    out[2] = static_cast<uint8_t>(c1);
    out[3] = static_cast<uint8_t>(c1 >> 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(indices >> (8 * i));
}

// Index of the palette entry nearest each texel (entries past `entries` are
// not used); texels without weight get `unweighted`.
inline uint32_t NearestIndices(const Block& block, const bool weight[16], const int palette[][3], int entries,
                               int unweighted) {
    uint32_t indices = 0;
    for (int t = 0; t < 16; ++t) {
        int best = unweighted;
        if (weight[t] || unweighted < 0) {
            int bestError = 1 << 30;
            for (int p = 0; p < entries; ++p) {
                int error = 0;
                for (int c = 0; c < 3; ++c) {
                    const int d = palette[p][c] - block.texel[t][c];
                    error += d * d;
                }
                if (error < bestError) {
                    bestError = error;
                    best = p;
                }
            }
        }
        indices |= static_cast<uint32_t>(best) << (2 * t);
    }
    return indices;
}

// Orders two endpoints for the four-colour mode (colour0 > colour1; equal
// endpoints use index 0 only), picks each texel's nearest entry and answers
// the squared error over the weighted texels.
inline int FourColourFit(const Block& block, const bool weight[16], uint16_t& c0, uint16_t& c1,
                         uint32_t& indices) {
    if (c0 < c1) std::swap(c0, c1);
    int palette[4][3];
    Unpack565(c0, palette[0]);
    Unpack565(c1, palette[1]);
    for (int c = 0; c < 3; ++c) {
        palette[2][c] = (2 * palette[0][c] + palette[1][c] + 1) / 3;
        palette[3][c] = (palette[0][c] + 2 * palette[1][c] + 1) / 3;
    }
    indices = c0 == c1 ? 0 : NearestIndices(block, weight, palette, 4, -1);
    int total = 0;
    for (int t = 0; t < 16; ++t) {
        if (!weight[t]) continue;
        const int* p = palette[(indices >> (2 * t)) & 3];
        for (int c = 0; c < 3; ++c) total += (p[c] - block.texel[t][c]) * (p[c] - block.texel[t][c]);
    }
    return total;
}

// The colour half of a block (8 bytes) in four-colour mode. Texels whose
// weight is 0 (fully transparent in DXT5) do not pull the endpoints. The
// result always has colour0 > colour1, or colour0 == colour1 with every index
// 0, so decoders that read DXT3/5 colour blocks either way agree.
inline void EncodeColourBlock(const Block& block, const bool weight[16], uint8_t out[8]) {
    int first = -1;
    bool flat = true;
    for (int t = 0; t < 16; ++t) {
        if (!weight[t]) continue;
        if (first < 0) {
            first = t;
        } else if (std::memcmp(block.texel[t], block.texel[first], 3) != 0) {
            flat = false;
        }
    }
    if (first < 0) {
        StoreColourBlock(0, 0, 0, out);
        return;
    }
    if (flat) {
        const int r = block.texel[first][0], g = block.texel[first][1], b = block.texel[first][2];
        const uint16_t exact = Pack565(Quantize(static_cast<float>(r), 5), Quantize(static_cast<float>(g), 6),
                                       Quantize(static_cast<float>(b), 5));
        int expanded[3];
        Unpack565(exact, expanded);
        if (expanded[0] == r && expanded[1] == g && expanded[2] == b) {
            StoreColourBlock(exact, exact, 0, out);
            return;
        }
        static const SingleColourTable t5 = MakeSingleColourTable(5);
        static const SingleColourTable t6 = MakeSingleColourTable(6);
        uint16_t c0 = Pack565(t5.e0[r], t6.e0[g], t5.e0[b]);
        uint16_t c1 = Pack565(t5.e1[r], t6.e1[g], t5.e1[b]);
        // Index 2 is the 2/3 : 1/3 mix of colour0 and colour1; index 3 is the
        // same mix seen from the other end once the two are swapped.
        uint32_t indices = 0xAAAAAAAAu;
        if (c0 == c1) {
            indices = 0;
        } else if (c0 < c1) {
            std::swap(c0, c1);
            indices = 0xFFFFFFFFu;
        }
        StoreColourBlock(c0, c1, indices, out);
        return;
    }
    uint16_t c0 = 0, c1 = 0;
    ColourEndpoints(block, weight, c0, c1);
    uint32_t indices = 0;
    int error = FourColourFit(block, weight, c0, c1, indices);
    // One least-squares pass: the endpoints that best fit the texels given
    // their chosen palette entries, kept when they lower the error.
    if (c0 != c1) {
        static const float kShare[4] = {1.0f, 0.0f, 2.0f / 3.0f, 1.0f / 3.0f};
        float aa = 0, ab = 0, bb = 0, ax[3] = {0, 0, 0}, bx[3] = {0, 0, 0};
        for (int t = 0; t < 16; ++t) {
            if (!weight[t]) continue;
            const float a = kShare[(indices >> (2 * t)) & 3], b = 1.0f - a;
            aa += a * a;
            ab += a * b;
            bb += b * b;
            for (int c = 0; c < 3; ++c) {
                ax[c] += a * block.texel[t][c];
                bx[c] += b * block.texel[t][c];
            }
        }
        const float det = aa * bb - ab * ab;
        if (std::fabs(det) > 1e-6f) {
            float e0[3], e1[3];
            for (int c = 0; c < 3; ++c) {
                e0[c] = (ax[c] * bb - bx[c] * ab) / det;
                e1[c] = (bx[c] * aa - ax[c] * ab) / det;
            }
            uint16_t r0 = Pack565(Quantize(e0[0], 5), Quantize(e0[1], 6), Quantize(e0[2], 5));
            uint16_t r1 = Pack565(Quantize(e1[0], 5), Quantize(e1[1], 6), Quantize(e1[2], 5));
            uint32_t refined = 0;
            const int refinedError = FourColourFit(block, weight, r0, r1, refined);
            if (refinedError < error) {
                error = refinedError;
                c0 = r0;
                c1 = r1;
                indices = refined;
            }
        }
    }
    StoreColourBlock(c0, c1, indices, out);
}

// The alpha half of a DXT5 block (8 bytes): tries the eight-value ramp
// between the extremes and the six-value ramp with exact 0 and 255, and keeps
// whichever is closer.
inline void EncodeAlphaBlock(const Block& block, uint8_t out[8]) {
    int lo = 255, hi = 0, innerLo = 255, innerHi = 0;
    for (const auto& texel : block.texel) {
        const int a = texel[3];
        lo = std::min(lo, a);
        hi = std::max(hi, a);
        if (a != 0 && a != 255) {
            innerLo = std::min(innerLo, a);
            innerHi = std::max(innerHi, a);
        }
    }
    auto fit = [&](int a0, int a1, uint64_t& bits) {
        uint32_t palette[8];
        gfx::InterpolatedAlphaPalette(static_cast<uint32_t>(a0), static_cast<uint32_t>(a1), palette);
        int total = 0;
        bits = 0;
        for (int t = 0; t < 16; ++t) {
            int best = 0, bestError = 1 << 30;
            for (int p = 0; p < 8; ++p) {
                const int d = static_cast<int>(palette[p]) - block.texel[t][3];
                if (d * d < bestError) {
                    bestError = d * d;
                    best = p;
                }
            }
            total += bestError;
            bits |= static_cast<uint64_t>(best) << (3 * t);
        }
        return total;
    };
    int a0 = hi, a1 = lo;
    uint64_t bits = 0;
    if (hi == lo) {
        // Equal endpoints select the six-value ramp, whose first entry is a0.
        a0 = a1 = hi;
    } else {
        int error = fit(hi, lo, bits);
        if (innerLo > innerHi) {
            innerLo = innerHi = lo == 0 ? hi : lo;  // only 0 and 255 (or one of them)
        }
        uint64_t sixBits = 0;
        if (innerLo <= innerHi) {
            const int sixError = fit(innerLo, innerHi, sixBits);
            if (sixError < error) {
                error = sixError;
                a0 = innerLo;
                a1 = innerHi;
                bits = sixBits;
            }
        }
    }
    out[0] = static_cast<uint8_t>(a0);
    out[1] = static_cast<uint8_t>(a1);
    for (int i = 0; i < 6; ++i) out[2 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline void EncodeDxt5Block(const Block& block, uint8_t out[16]) {
    bool weight[16];
    bool any = false;
    for (int t = 0; t < 16; ++t) any |= (weight[t] = block.texel[t][3] != 0);
    if (!any) std::fill(weight, weight + 16, true);
    EncodeAlphaBlock(block, out);
    EncodeColourBlock(block, weight, out + 8);
}

// DXT1: texels with alpha below 128 become the transparent entry of the
// three-colour mode (colour0 <= colour1); blocks without them stay in the
// four-colour mode.
inline void EncodeDxt1Block(const Block& block, uint8_t out[8]) {
    bool weight[16];
    bool transparent = false;
    for (int t = 0; t < 16; ++t) {
        weight[t] = block.texel[t][3] >= 128;
        transparent |= !weight[t];
    }
    if (!transparent) {
        EncodeColourBlock(block, weight, out);
        return;
    }
    uint16_t c0 = 0, c1 = 0;
    ColourEndpoints(block, weight, c0, c1);
    if (c0 > c1) std::swap(c0, c1);
    int palette[3][3];
    Unpack565(c0, palette[0]);
    Unpack565(c1, palette[1]);
    for (int c = 0; c < 3; ++c) palette[2][c] = (palette[0][c] + palette[1][c] + 1) / 2;
    StoreColourBlock(c0, c1, NearestIndices(block, weight, palette, 3, 3), out);
}

// ---------------------------------------------------------------------------
// DDS and BMP files

enum class TexFormat { Argb, Rgb, Dxt1, Dxt5 };

inline const char* TexFormatName(TexFormat f) {
    switch (f) {
        case TexFormat::Argb:
            return "argb";
        case TexFormat::Rgb:
            return "rgb";
        case TexFormat::Dxt1:
            return "dxt1";
        case TexFormat::Dxt5:
            return "dxt5";
    }
    return "?";
}

// Half the size in both directions, averaging each 2x2 square (a side of 1
// stays 1). Colours are weighted by alpha so transparent texels do not bleed
// their colour into the smaller levels.
inline Picture HalvePicture(const Picture& in) {
    Picture out(std::max(1u, in.width / 2), std::max(1u, in.height / 2));
    for (uint32_t y = 0; y < out.height; ++y) {
        for (uint32_t x = 0; x < out.width; ++x) {
            const uint8_t* t[4];
            for (uint32_t i = 0; i < 4; ++i) {
                t[i] = in.At(std::min(x * 2 + i % 2, in.width - 1), std::min(y * 2 + i / 2, in.height - 1));
            }
            uint32_t alphaSum = 0;
            for (const uint8_t* texel : t) alphaSum += texel[3];
            uint8_t* o = out.At(x, y);
            for (int c = 0; c < 3; ++c) {
                uint32_t sum = 0;
                for (const uint8_t* texel : t) sum += alphaSum ? texel[c] * texel[3] : texel[c];
                const uint32_t weight = alphaSum ? alphaSum : 4;
                o[c] = static_cast<uint8_t>((sum + weight / 2) / weight);
            }
            o[3] = static_cast<uint8_t>((alphaSum + 2) / 4);
        }
    }
    return out;
}

// The engine's reader takes max(1, side / 4) blocks per side of a level, so a
// compressed level whose side is 4 or more must be a multiple of 4.
inline bool BlockSizesFit(uint32_t width, uint32_t height, uint32_t levels, std::string& error) {
    for (uint32_t level = 0; level < levels; ++level) {
        const uint32_t w = std::max(1u, width >> level), h = std::max(1u, height >> level);
        if ((w >= 4 && w % 4 != 0) || (h >= 4 && h % 4 != 0)) {
            error = "level " + std::to_string(level) + " is " + std::to_string(w) + " x " +
                    std::to_string(h) + ": compressed levels need sides that are multiples of 4 (or below 4)";
            return false;
        }
    }
    return true;
}

// A whole DDS file: "DDS ", the 124-byte header and every level.
inline bool BuildDds(const Picture& picture, TexFormat format, bool mips, std::vector<uint8_t>& out,
                     std::string& error) {
    const uint32_t levels = mips ? gfx::FullChainLevels(picture.width, picture.height) : 1;
    const bool compressed = format == TexFormat::Dxt1 || format == TexFormat::Dxt5;
    if (compressed && !BlockSizesFit(picture.width, picture.height, levels, error)) return false;
    const uint32_t blockBytes = format == TexFormat::Dxt1 ? 8 : 16;
    const uint32_t texelBytes = format == TexFormat::Rgb ? 3 : 4;
    const uint32_t topSize =
        compressed ? std::max(1u, picture.width / 4) * std::max(1u, picture.height / 4) * blockBytes
                   : picture.width * texelBytes;

    constexpr uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPitch = 0x8, kPixelFormat = 0x1000,
                       kMipMapCount = 0x20000, kLinearSize = 0x80000;
    constexpr uint32_t kAlphaPixels = 0x1, kFourCC = 0x4, kRgbFlag = 0x40;
    constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;

    out.assign({'D', 'D', 'S', ' '});
    Put32(out, 124);
    Put32(out, kCaps | kHeight | kWidth | kPixelFormat | (compressed ? kLinearSize : kPitch) |
                   (mips ? kMipMapCount : 0));
    Put32(out, picture.height);
    Put32(out, picture.width);
    Put32(out, topSize);
    Put32(out, 0);  // depth
    Put32(out, mips ? levels : 0);
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    // Pixel format (32 bytes).
    Put32(out, 32);
    if (compressed) {
        Put32(out, kFourCC);
        out.insert(out.end(), {'D', 'X', 'T', static_cast<uint8_t>(format == TexFormat::Dxt1 ? '1' : '5')});
        for (int i = 0; i < 5; ++i) Put32(out, 0);
    } else {
        const bool alpha = format == TexFormat::Argb;
        Put32(out, kRgbFlag | (alpha ? kAlphaPixels : 0));
        Put32(out, 0);
        Put32(out, texelBytes * 8);
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
        Put32(out, alpha ? 0xFF000000u : 0);
    }
    Put32(out, kCapsTexture | (mips ? kCapsComplex | kCapsMipMap : 0));
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // caps2, caps3, caps4, reserved

    Picture level = picture;
    for (uint32_t l = 0; l < levels; ++l) {
        if (l > 0) level = HalvePicture(level);
        if (compressed) {
            const uint32_t bw = std::max(1u, level.width / 4), bh = std::max(1u, level.height / 4);
            for (uint32_t by = 0; by < bh; ++by) {
                for (uint32_t bx = 0; bx < bw; ++bx) {
                    uint8_t bytes[16];
                    const Block block = GatherBlock(level, bx, by);
                    if (format == TexFormat::Dxt1) {
                        EncodeDxt1Block(block, bytes);
                    } else {
                        EncodeDxt5Block(block, bytes);
                    }
                    out.insert(out.end(), bytes, bytes + blockBytes);
                }
            }
        } else {
            for (uint32_t y = 0; y < level.height; ++y) {
                for (uint32_t x = 0; x < level.width; ++x) {
                    const uint8_t* t = level.At(x, y);
                    out.push_back(t[2]);
                    out.push_back(t[1]);
                    out.push_back(t[0]);
                    if (texelBytes == 4) out.push_back(t[3]);
                }
            }
        }
    }
    return true;
}

// A whole uncompressed BMP file: 14-byte file header, 40-byte info header,
// rows bottom-up padded to 4 bytes, bytes B, G, R (and A at 32 bits).
inline std::vector<uint8_t> BuildBmp(const Picture& picture, uint32_t bitsPerPixel) {
    const uint32_t bytes = bitsPerPixel / 8;
    const uint32_t pitch = (picture.width * bytes + 3) & ~3u;
    const uint32_t imageSize = pitch * picture.height;
    std::vector<uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, picture.width);
    Put32(out, picture.height);  // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, bitsPerPixel);
    Put32(out, 0);  // uncompressed
    Put32(out, imageSize);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t row = 0; row < picture.height; ++row) {
        const uint32_t y = picture.height - 1 - row;
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t* t = picture.At(x, y);
            out.push_back(t[2]);
            out.push_back(t[1]);
            out.push_back(t[0]);
            if (bytes == 4) out.push_back(t[3]);
        }
        for (uint32_t pad = picture.width * bytes; pad < pitch; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace korvart
