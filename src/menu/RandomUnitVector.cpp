#include "menu/RandomUnitVector.h"

#include <cmath>
#include <cstdint>

#include "framework/ZRuntimeRand.h"

ZVector3 UnitVectorFromDraws(const int32_t draw1, const int32_t draw2) {
    constexpr float kInverseMax = 1.0f / 32767.0f;
    const float theta = 2.0f * 3.14159265f * (static_cast<float>(draw1) * kInverseMax);
    const float phi = std::acos(2.0f * (static_cast<float>(draw2) * kInverseMax) - 1.0f);
    return ZVector3(std::cos(theta) * std::sin(phi), std::sin(theta) * std::sin(phi), std::cos(phi));
}

ZVector3 RandomUnitVector() {
    const int32_t first = RuntimeRand();
    const int32_t second = RuntimeRand();
    return UnitVectorFromDraws(first, second);
}
