#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "platform/window/window.h"

// What the primary display can show. The base game keeps the sorted list of
// distinct resolutions for its video options; the renderer asks for the first
// mode of a wanted size. All of it reads the installed window system, and a
// program without one (or a display without modes) gets empty lists.
// Main thread only.

// Width, height, bits per pixel, refresh rate in hertz.
using ZDisplayMode = platform::window::DisplayMode;

struct ZResolution {
    uint32_t width = 0;
    uint32_t height = 0;
    bool operator==(const ZResolution&) const = default;
};

// Empties out, then appends every mode of the primary display in the
// system's order.
void EnumDisplayModes(ZArray<ZDisplayMode>& out);
// Removes every later mode equal in all four values to an earlier one; the
// order of the rest is kept.
void RemoveDuplicateModes(ZArray<ZDisplayMode>& modes);
// Appends each resolution, bit depth and refresh rate of modes to its list
// once (a value the list already holds is not added again), in first-seen order.
void SplitDisplayModes(const ZArray<ZDisplayMode>& modes, ZArray<ZResolution>& resolutions,
                       ZArray<uint32_t>& bitDepths, ZArray<uint32_t>& refreshRates);
// Ascending by width, then by height.
void SortResolutions(ZArray<ZResolution>& resolutions);
// Empties out, then fills it with the display's distinct resolutions, sorted.
void GetScreenResolutions(ZArray<ZResolution>& out);
// The first mode, in the system's order, whose width, height and bit depth
// equal the non-zero arguments (0 matches any). False when none does, and
// out is left as it was.
bool FindDisplayMode(ZDisplayMode& out, uint32_t width, uint32_t height, uint32_t bitsPerPixel);
