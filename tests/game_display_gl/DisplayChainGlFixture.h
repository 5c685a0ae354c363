#pragma once

// The display chain at a chosen screen size (tests/support/DisplayChainHarness.h),
// with helpers to measure read-back pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/DisplayChainHarness.h"

namespace displaytest {

inline int Red(uint32_t p) { return static_cast<int>(p >> 16 & 0xFF); }
inline int Green(uint32_t p) { return static_cast<int>(p >> 8 & 0xFF); }
inline int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }
inline float Luma(uint32_t p) { return 0.299f * Red(p) + 0.587f * Green(p) + 0.114f * Blue(p); }
inline uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// The mean luma of a rectangle of a width-wide picture.
inline float MeanLuma(const std::vector<uint32_t>& pixels, int32_t width, int32_t x0, int32_t y0, int32_t x1,
                      int32_t y1) {
    double sum = 0.0;
    int32_t n = 0;
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            sum += Luma(pixels[static_cast<size_t>(y) * width + x]);
            ++n;
        }
    }
    return n > 0 ? static_cast<float>(sum / n) : 0.0f;
}

// The largest difference of a channel between two pictures, and where.
inline int Worst(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, size_t& at) {
    int worst = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int d = std::max({std::abs(Red(a[i]) - Red(b[i])), std::abs(Green(a[i]) - Green(b[i])),
                                std::abs(Blue(a[i]) - Blue(b[i]))});
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    return worst;
}

class DisplayChainGlTest : public ::testing::Test {
protected:
    // The screen size of the test; 1280 x 720 unless a test starts its own.
    // A non-empty firstFolder is mounted ahead of the packaged files (a mod's effects).
    void Start(int32_t width = 1280, int32_t height = 720, const std::string& firstFolder = std::string()) {
        std::string why;
        m_started =
            harness.Start(width, height, KORV_DATA_BUILD_DIR "/Engine.zpk", KORV_SOURCE_DIR, why, firstFolder);
        ASSERT_TRUE(m_started) << why;
        m_width = width;
        m_height = height;
    }

    void TearDown() override {
        harness.Stop();
        ClearConfigRegistry();
    }

    DisplayState& Display() { return *GetDisplayState(); }
    DisplaySettings& Settings() { return GetDisplayState()->Settings(); }
    DisplayChain& Chain() { return *harness.chain; }

    // Draws frames (the composite frames fill and settle).
    void Frames(int count) {
        for (int i = 0; i < count; ++i) ASSERT_TRUE(harness.Frame());
    }

    korvtest::DisplayChainHarness harness;
    int32_t m_width = 0;
    int32_t m_height = 0;

private:
    bool m_started = false;
};

}  // namespace displaytest
