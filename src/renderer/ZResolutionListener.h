#pragma once

#include <cstdint>

// An object that follows the render size (screen-sized targets, the camera).
// It adds itself to the render host's listeners and removes itself when it goes.
class ZResolutionListener {
public:
    virtual ~ZResolutionListener() = default;
    // The new render size in pixels.
    virtual void OnResolutionChanged(int32_t width, int32_t height) = 0;

protected:
    // Joins the render host's listeners and answers its render size, for the
    // listener to build itself for (0 x 0 without a host).
    void StartListening(int32_t& width, int32_t& height);
    // Leaves the render host's listeners, where there still is a host.
    void StopListening();
};
