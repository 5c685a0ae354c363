#pragma once

#include <limits>

#include "foundation/ZHashedString.h"

// Four directional controls of one group read as one circular stick: a
// diagonal gives each of its two directions about 0.707, not 1.
struct ZStickControl {
    float responseExponent = 1.0f;
    float initialCap = 1.0f;
    float rampThreshold = 1.0f;
    float rampDelay = 0.0f;
    float rampRate = 1.0f;
    float cap = 1.0f;
    float rampStart = std::numeric_limits<float>::infinity();
    ZHashedString group;
    ZHashedString up;
    ZHashedString down;
    ZHashedString right;
    ZHashedString left;
    float lastDirection[2] = {0.0f, 0.0f};
    // A turn whose cosine to the last direction is below this resets the ramp.
    float reversalCos = -0.1f;
};
