#include "game/display/NTSCPalette.h"

#include <cmath>
#include <cstring>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "game/display/DisplayState.h"
#include "renderer/ZTexture.h"

namespace {

float Finite(const float v) { return std::isfinite(v) ? v : 0.0f; }

// trunc(256 x value), clamped to a byte; not a number gives 0.
uint8_t ToByte(const double value) {
    const double scaled = 256.0 * value;
    if (!(scaled > 0.0)) return 0;
    if (scaled >= 255.0) return 255;
    return static_cast<uint8_t>(scaled);
}

float Clamp01(const float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

ZColor32 YIQToColor32(float y, float i, float q) {
    y = Finite(y);
    i = Finite(i);
    q = Finite(q);
    if (y < 0.0f) {
        y = 0.0f;
        i = 0.0f;
        q = 0.0f;
    }
    const float luma[3] = {1.0f * y, 1.0f * y, 1.0f * y};
    const float chroma[3] = {0.9563f * i + 0.621f * q, -0.2721f * i - 0.6474f * q, -1.107f * i + 1.7046f * q};
    float c[3];
    for (int k = 0; k < 3; ++k) c[k] = luma[k] + chroma[k];

    // Pull the chroma in until no channel is above 1. For luma at most 1 one
    // round suffices; a few more cover brighter input, and a channel whose
    // luma alone is too bright is left to the clamp.
    for (int round = 0; round < 8; ++round) {
        if (!(c[0] > 1.00001f || c[1] > 1.00001f || c[2] > 1.00001f)) break;
        float s = 1.0f;
        for (int k = 0; k < 3; ++k) {
            if (c[k] > 1.0f && chroma[k] != 0.0f) s *= (1.0f - luma[k]) / chroma[k];
        }
        if (!std::isfinite(s)) break;
        for (int k = 0; k < 3; ++k) c[k] = luma[k] + s * chroma[k];
    }
    const float r = Clamp01(c[0]), g = Clamp01(c[1]), b = Clamp01(c[2]);
    const double l = static_cast<double>(0.299f) * r + static_cast<double>(0.587f) * g +
                     static_cast<double>(0.114f) * b;
    if (!(l > 0.0)) return ZColor32(0, 0, 0, 255);
    const double k = static_cast<double>(y) / l;
    return ZColor32(ToByte(r * k), ToByte(g * k), ToByte(b * k), 255);
}

void GeneratePalette(ZColor32 (&palette)[kPaletteEntries], float huePhase, const float iScalar, const float qScalar) {
    static constexpr float kLow[4] = {-0.117f, 0.0f, 0.308f, 0.715f};
    static constexpr float kHigh[4] = {0.397f, 0.681f, 1.0f, 1.0f};
    for (ZColor32& entry : palette) entry = ZColor32(0, 0, 0, 255);
    palette[255] = ZColor32(255, 0, 255, 255);
    huePhase = Finite(huePhase);
    for (int row = 0; row < 4; ++row) {
        const float low = kLow[row], high = kHigh[row];
        palette[row * 16 + 0] = YIQToColor32(high, 0.0f, 0.0f);
        palette[row * 16 + 13] = YIQToColor32(low, 0.0f, 0.0f);
        const float y = (high + low) * 0.5f;
        const float amplitude = high - low;
        for (int hue = 1; hue <= 12; ++hue) {
            const double theta = (hue - 1) / 12.0 * 6.2831854820251465 + static_cast<double>(huePhase);
            const float i = static_cast<float>(std::sin(theta)) * iScalar;
            const float q = static_cast<float>(std::cos(theta)) * qScalar;
            const float m = std::sqrt(i * i + q * q);
            // Scalars of no length (or not finite) leave no direction: grey.
            float chromaI = 0.0f, chromaQ = 0.0f;
            if (m > 0.0f && std::isfinite(m)) {
                chromaI = amplitude * i / m;
                chromaQ = amplitude * q / m;
            }
            palette[row * 16 + hue] = YIQToColor32(y, chromaI, chromaQ);
        }
    }
}

bool ParseReferencePalette(const uint8_t* data, const size_t size, ZColor32 (&palette)[kPaletteEntries]) {
    for (ZColor32& entry : palette) entry = ZColor32(0, 0, 0, 255);
    constexpr size_t kHeader = 24;
    if (data == nullptr || size < kHeader) {
        ZLog::Printf("Palette \"%s\": %zu bytes, shorter than its header; using black", kReferencePaletteFile, size);
        return false;
    }
    const int16_t count = static_cast<int16_t>(data[22] | data[23] << 8);
    int32_t wanted = count < 0 ? 0 : count;
    bool ok = true;
    if (wanted > kPaletteEntries) {
        ZLog::Printf("Palette \"%s\": %d entries, reading the first %d", kReferencePaletteFile, wanted, kPaletteEntries);
        wanted = kPaletteEntries;
        ok = false;
    }
    const size_t available = (size - kHeader) / 4;
    if (static_cast<size_t>(wanted) > available) {
        ZLog::Printf("Palette \"%s\": %d entries promised, %zu present", kReferencePaletteFile, wanted, available);
        wanted = static_cast<int32_t>(available);
        ok = false;
    }
    for (int32_t n = 0; n < wanted; ++n) {
        const uint8_t* e = data + kHeader + 4 * n;
        // Stored red, green, blue, flags; the entry keeps the flags as alpha.
        palette[n] = ZColor32(e[0], e[1], e[2], e[3]);
    }
    return ok;
}

bool ReadReferencePalette(ZColor32 (&palette)[kPaletteEntries]) {
    char* buffer = nullptr;
    int64_t size = 0;
    if (!ZStreamMgr::GetInstance()->ReadFile(kReferencePaletteFile, &buffer, &size)) {
        for (ZColor32& entry : palette) entry = ZColor32(0, 0, 0, 255);
        ZLog::Printf("Palette \"%s\" not found; the NTSC colours map to black", kReferencePaletteFile);
        return false;
    }
    const bool ok = ParseReferencePalette(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size), palette);
    delete[] buffer;
    return ok;
}

void BuildPaletteLookup(const ZColor32 (&reference)[kPaletteEntries], const ZColor32 (&generated)[kPaletteEntries],
                        std::vector<uint32_t>& image) {
    struct Candidate {
        float r, g, b;
        int32_t index;
    };
    Candidate candidates[56];
    int32_t count = 0;
    for (int32_t hue = 0; hue < 14; ++hue) {
        for (int32_t row = 0; row < 4; ++row) {
            const int32_t index = row * 16 + hue;
            const ZColor32 c = reference[index];
            candidates[count++] = {static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b), index};
        }
    }
    // The 32 levels of a channel as bytes.
    uint8_t level[32];
    for (int32_t n = 0; n < 32; ++n) level[n] = static_cast<uint8_t>(static_cast<int32_t>(n / 31.0 * 255.0));

    image.assign(static_cast<size_t>(kLookupWidth) * kLookupHeight, 0xFF000000u);
    for (int32_t y = 0; y < kLookupHeight; ++y) {
        for (int32_t x = 0; x < kLookupWidth; ++x) {
            const float r = level[x % 32], g = level[y], b = level[x / 32];
            int32_t best = 0;
            float bestDistance = 0.0f;
            for (int32_t n = 0; n < count; ++n) {
                const float dr = candidates[n].r - r, dg = candidates[n].g - g, db = candidates[n].b - b;
                const float d = dr * dr + dg * dg + db * db;
                // Strictly nearer only: on a tie the earlier candidate stays.
                if (n == 0 || d < bestDistance) {
                    best = n;
                    bestDistance = d;
                }
            }
            const ZColor32 out = generated[candidates[best].index];
            image[static_cast<size_t>(y) * kLookupWidth + x] = 0xFF000000u | ZColor32(out.r, out.g, out.b, 255).ToARGB();
        }
    }
}

void RebuildNTSCLookupTexture() {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr || display->ntscLookup == nullptr) return;
    ZTexture* texture = display->ntscLookup;
    ZColor32 generated[kPaletteEntries];
    GeneratePalette(generated, display->Settings().tint, display->Settings().iScalar, display->Settings().qScalar);
    ZColor32 reference[kPaletteEntries];
    ReadReferencePalette(reference);
    std::vector<uint32_t> image;
    BuildPaletteLookup(reference, generated, image);

    if (texture->width != kLookupWidth || texture->height != kLookupHeight) {
        ZLog::Printf("NTSC lookup texture is %dx%d, not %dx%d; left as it is", texture->width, texture->height,
                     kLookupWidth, kLookupHeight);
        return;
    }
    int32_t pitch = 0;
    void* bits = nullptr;
    if (!texture->LockRect(pitch, bits) || bits == nullptr) return;
    // Rows may be padded; a pitch narrower than a row would write past the lock.
    const int32_t rowBytes = kLookupWidth * 4;
    if (pitch < rowBytes) {
        texture->UnlockRect();
        ZLog::Printf("NTSC lookup texture rows are %d bytes, not %d; left as it is", pitch, rowBytes);
        return;
    }
    for (int32_t y = 0; y < kLookupHeight; ++y) {
        std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * pitch,
                    image.data() + static_cast<size_t>(y) * kLookupWidth, static_cast<size_t>(rowBytes));
    }
    texture->UnlockRect();
}
