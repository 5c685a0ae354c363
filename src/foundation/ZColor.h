#pragma once

#include "foundation/ZColor32.h"

// Float colour, channels nominally 0..1.
struct ZColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr ZColor() = default;
    constexpr ZColor(const float cr, const float cg, const float cb, const float ca) : r(cr), g(cg), b(cb), a(ca) {}

    bool operator==(const ZColor& o) const = default;

    // Each channel * 255, truncated toward zero and clamped to 0..255 (so 0.5
    // gives 127 and 0.999 gives 254). NaN gives 0.
    ZColor32 ToColor32() const;
    // Each byte * (1 / 255).
    static ZColor FromColor32(const ZColor32& c);
    // a + (b - a) * t per channel, alpha included; t not clamped.
    static ZColor Lerp(const ZColor& from, const ZColor& to, float t);
};
