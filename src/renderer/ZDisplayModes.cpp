#include "renderer/ZDisplayModes.h"

#include <utility>

void EnumDisplayModes(ZArray<ZDisplayMode>& out) {
    out.Resize(0);
    const platform::window::WindowSystem* system = platform::window::GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    ZDisplayMode mode;
    for (uint32_t index = 0; system->EnumDisplaySettings(index, mode); ++index) {
        out.PushBack(mode);
    }
}

void RemoveDuplicateModes(ZArray<ZDisplayMode>& modes) {
    for (uint32_t i = 0; i < modes.Count(); ++i) {
        for (uint32_t j = modes.Count(); j-- > i + 1;) {
            if (modes[j] == modes[i]) {
                modes.RemoveAt(j);
            }
        }
    }
}

void SplitDisplayModes(const ZArray<ZDisplayMode>& modes, ZArray<ZResolution>& resolutions,
                       ZArray<uint32_t>& bitDepths, ZArray<uint32_t>& refreshRates) {
    for (const ZDisplayMode& mode : modes) {
        resolutions.AddUnique(ZResolution{mode.width, mode.height});
        bitDepths.AddUnique(mode.bitsPerPixel);
        refreshRates.AddUnique(mode.refreshRate);
    }
}

void SortResolutions(ZArray<ZResolution>& resolutions) {
    // An exchange sort: the lists hold a few dozen sizes at most.
    for (uint32_t i = 0; i < resolutions.Count(); ++i) {
        for (uint32_t j = i + 1; j < resolutions.Count(); ++j) {
            const ZResolution& a = resolutions[i];
            const ZResolution& b = resolutions[j];
            if (b.width < a.width || (b.width == a.width && b.height < a.height)) {
                std::swap(resolutions[i], resolutions[j]);
            }
        }
    }
}

void GetScreenResolutions(ZArray<ZResolution>& out) {
    ZArray<ZDisplayMode> modes;
    EnumDisplayModes(modes);
    RemoveDuplicateModes(modes);
    ZArray<uint32_t> bitDepths;
    ZArray<uint32_t> refreshRates;
    out.Resize(0);
    SplitDisplayModes(modes, out, bitDepths, refreshRates);
    SortResolutions(out);
}

bool FindDisplayMode(ZDisplayMode& out, const uint32_t width, const uint32_t height, const uint32_t bitsPerPixel) {
    ZArray<ZDisplayMode> modes;
    EnumDisplayModes(modes);
    for (const ZDisplayMode& mode : modes) {
        if ((width == 0 || mode.width == width) && (height == 0 || mode.height == height) &&
            (bitsPerPixel == 0 || mode.bitsPerPixel == bitsPerPixel)) {
            out = mode;
            return true;
        }
    }
    return false;
}
