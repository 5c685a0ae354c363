#pragma once

#include <cstdint>

// An object that follows the render size (screen-sized targets, the camera).
// It adds itself to the base game's listeners and removes itself when it goes.
class ZResolutionListener {
public:
    virtual ~ZResolutionListener() = default;
    // The new render size in pixels.
    virtual void OnResolutionChanged(int32_t width, int32_t height) = 0;
};
