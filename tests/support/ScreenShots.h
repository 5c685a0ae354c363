#pragma once

// Read-backs of the window for the GL play tests: a shot of the back buffer,
// kept as a PNG when the test's folder variable names a folder, and counts of
// the pixels two shots of one size differ by inside a box.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZScreenshot.h"
#include "renderer/ZRenderer.h"

namespace screenshot {

struct Shot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

inline Shot Take() {
    Shot shot;
    shot.pixels = GetRenderer()->CaptureBackBuffer(shot.width, shot.height);
    return shot;
}

// Writes the shot to <$folderVariable>/<name> when the variable names a folder.
inline void Keep(const Shot& shot, const char* folderVariable, const char* name) {
    const char* folder = std::getenv(folderVariable);
    if (folder == nullptr || *folder == '\0' || shot.pixels.empty()) return;
    EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/" + name).c_str(), shot.pixels.data(), shot.width,
                                   shot.height));
}

// The pixels of the box (fractions of the size) for which counts(first, second)
// holds; -1 for shots of different sizes or none.
template <typename Counts>
int32_t CountInBox(const Shot& a, const Shot& b, const float left, const float top, const float right,
                   const float bottom, Counts counts) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return -1;
    int32_t counted = 0;
    for (auto y = static_cast<int32_t>(top * static_cast<float>(a.height));
         y < static_cast<int32_t>(bottom * static_cast<float>(a.height)); ++y) {
        for (auto x = static_cast<int32_t>(left * static_cast<float>(a.width));
             x < static_cast<int32_t>(right * static_cast<float>(a.width)); ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(a.width) + static_cast<size_t>(x);
            if (counts(a.pixels[i], b.pixels[i])) ++counted;
        }
    }
    return counted;
}

// The pixels of the box that differ between the two shots.
inline int32_t Changed(const Shot& a, const Shot& b, const float left, const float top, const float right,
                       const float bottom) {
    return CountInBox(a, b, left, top, right, bottom, [](uint32_t p, uint32_t q) { return p != q; });
}

}  // namespace screenshot
