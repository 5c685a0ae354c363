#pragma once

#include "renderer/ZShader.h"

// A shader of a full-screen picture that keeps its own aspect ratio on any
// screen (the calibration picture): the picture's width / height.
class ZFittedImageShader : public ZShader {
public:
    ~ZFittedImageShader() override = default;
    // 0 when there is no picture.
    virtual float GetImageAspect() const = 0;
};
