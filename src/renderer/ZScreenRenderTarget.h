#pragma once

#include "foundation/ZHashedString.h"
#include "renderer/ZResolutionListener.h"
#include "renderer/ZRenderTarget.h"

// A render target whose size follows the screen by two scales. A size change
// only records the new size: the device objects are rebuilt at the next
// device reset, which re-creates every registered target.
class ZScreenRenderTarget : public ZResolutionListener {
public:
    // The screen's size, published under the name.
    ZScreenRenderTarget(ZHashedString textureName, bool autoMipmap);
    // The screen's size times the scales (truncated), no mipmaps.
    ZScreenRenderTarget(float scaleX, float scaleY, ZHashedString textureName);
    ~ZScreenRenderTarget() override;

    void OnResolutionChanged(int32_t width, int32_t height) override;

    ZRenderTarget target;
    float scaleX = 1.0f;
    float scaleY = 1.0f;

private:
    void Start(ZHashedString textureName);
};
