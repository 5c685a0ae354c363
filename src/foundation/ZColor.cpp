#include "foundation/ZColor.h"

#include "foundation/ZMath.h"

namespace {

uint8_t ToByte(const float scaled) {
    return static_cast<uint8_t>(ZMath::TruncateToByte(scaled));
}

}  // namespace

ZColor32 ZColor::ToColor32() const {
    return {ToByte(r * 255.0f), ToByte(g * 255.0f), ToByte(b * 255.0f), ToByte(a * 255.0f)};
}

ZColor ZColor::FromColor32(const ZColor32& c) {
    // 1/255 rounded to single precision.
    const float scale = 0.0039215689f;
    return {c.r * scale, c.g * scale, c.b * scale, c.a * scale};
}

ZColor ZColor::Lerp(const ZColor& from, const ZColor& to, const float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}
