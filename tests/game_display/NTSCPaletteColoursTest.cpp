// The coloured entries of the generated palette against the NTSC signal
// formulas, worked out here on their own at the precision the signal model
// fixes (single-precision constants and channels, the luma restore in double):
// the YIQ-to-RGB matrix, each hue's chroma vector, the gamut pull-in and the
// luma restore. Grey entries (I = Q = 0) cannot show a wrong chroma
// coefficient; these can.

#include <gtest/gtest.h>

#include <cmath>

#include "game/display/NTSCPalette.h"

namespace {

struct Rgb {
    int r, g, b;
};

// Y, I, Q to bytes as the signal model defines it.
Rgb Expected(float y, float i, float q) {
    if (y < 0.0f) y = i = q = 0.0f;
    const float matrix[3][2] = {{0.9563f, 0.621f}, {-0.2721f, -0.6474f}, {-1.107f, 1.7046f}};
    float chroma[3], c[3];
    for (int k = 0; k < 3; ++k) {
        chroma[k] = matrix[k][0] * i + matrix[k][1] * q;
        c[k] = y + chroma[k];
    }
    while (c[0] > 1.00001f || c[1] > 1.00001f || c[2] > 1.00001f) {
        float s = 1.0f;
        for (int k = 0; k < 3; ++k) {
            if (c[k] > 1.0f) s *= (1.0f - y) / chroma[k];
        }
        for (int k = 0; k < 3; ++k) c[k] = y + s * chroma[k];
    }
    for (float& v : c) v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    const double l = double{0.299f} * c[0] + double{0.587f} * c[1] + double{0.114f} * c[2];
    if (!(l > 0.0)) return {0, 0, 0};
    const double k = double{y} / l;
    const auto byte = [&](float v) {
        const double scaled = 256.0 * (v * k);
        return scaled <= 0.0 ? 0 : (scaled >= 255.0 ? 255 : static_cast<int>(scaled));
    };
    return {byte(c[0]), byte(c[1]), byte(c[2])};
}

// The entry of a row and a hue (1 to 12) with the given tuning.
Rgb ExpectedEntry(int row, int hue, float phase, float iScalar, float qScalar) {
    const float low[4] = {-0.117f, 0.0f, 0.308f, 0.715f};
    const float high[4] = {0.397f, 0.681f, 1.0f, 1.0f};
    const float y = (high[row] + low[row]) * 0.5f;
    const float amplitude = high[row] - low[row];
    const double theta = (hue - 1) / 12.0 * 6.2831854820251465 + double{phase};  // 2 pi as a float, widened
    const float i = static_cast<float>(std::sin(theta)) * iScalar;
    const float q = static_cast<float>(std::cos(theta)) * qScalar;
    const float m = std::sqrt(i * i + q * q);
    return Expected(y, amplitude * i / m, amplitude * q / m);
}

}  // namespace

TEST(NTSCPaletteColoursTest, EveryColouredEntryFollowsTheSignalFormulas) {
    struct Tuning {
        const char* what;
        float phase, iScalar, qScalar;
    };
    const Tuning tunings[] = {
        {"the game's tuning", kDefaultTint, kDefaultIScalar, kDefaultQScalar},
        // Hue 1 is pure Q, hue 4 pure I, hue 7 -Q, hue 10 -I: each column of the matrix alone.
        {"no tint", 0.0f, 1.0f, 1.0f},
        {"a turned tint with a strong Q", 1.0f, 0.5f, 2.0f},
    };
    for (const Tuning& t : tunings) {
        ZColor32 palette[kPaletteEntries];
        GeneratePalette(palette, t.phase, t.iScalar, t.qScalar);
        for (int row = 0; row < 4; ++row) {
            for (int hue = 1; hue <= 12; ++hue) {
                const ZColor32 got = palette[row * 16 + hue];
                const Rgb want = ExpectedEntry(row, hue, t.phase, t.iScalar, t.qScalar);
                EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b && got.a == 255)
                    << t.what << ", row " << row << " hue " << hue << ": (" << int(got.r) << ", " << int(got.g)
                    << ", " << int(got.b) << ", " << int(got.a) << "), want (" << want.r << ", " << want.g << ", "
                    << want.b << ")";
            }
        }
    }
}

// The hue of each coloured entry read back from its bytes (the standard
// RGB-to-YIQ matrix): hue n lies (n - 1) x 30 degrees round the I-Q circle
// from +Q, turned by the tint, so a shift of every hue shows even where the
// steps between hues stay right.
TEST(NTSCPaletteColoursTest, EachHueSitsAtItsAngleOnTheColourCircle) {
    struct Tuning {
        const char* what;
        float phase, iScalar, qScalar;
    };
    const Tuning tunings[] = {
        {"no tint", 0.0f, 1.0f, 1.0f},
        {"the game's tuning", kDefaultTint, kDefaultIScalar, kDefaultQScalar},
    };
    constexpr double kPi = 3.14159265358979323846;
    for (const Tuning& t : tunings) {
        ZColor32 palette[kPaletteEntries];
        GeneratePalette(palette, t.phase, t.iScalar, t.qScalar);
        for (int hue = 1; hue <= 12; ++hue) {
            // Row 3: the gamut pull-in scales its chroma toward grey without
            // clipping a channel at 0, which keeps each hue's angle.
            const ZColor32 c = palette[3 * 16 + hue];
            const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
            const double i = 0.596 * r - 0.274 * g - 0.322 * b;
            const double q = 0.211 * r - 0.523 * g + 0.312 * b;
            const double theta = (hue - 1) * kPi / 6.0 + t.phase;
            const double want = std::atan2(t.iScalar * std::sin(theta), t.qScalar * std::cos(theta));
            double off = (std::atan2(i, q) - want) * 180.0 / kPi;
            while (off > 180.0) off -= 360.0;
            while (off < -180.0) off += 360.0;
            EXPECT_LT(std::fabs(off), 5.0) << t.what << ", hue " << hue << " is " << off << " degrees off";
        }
    }
}
