#pragma once

#include <cstdint>
#include <limits>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "input/ZInputBinding.h"

// A named action fed by any number of bindings whose values add up. The
// control manager evaluates it, shapes the sum through the response ramp and
// keeps this and the previous evaluation's value.
struct ZControl {
    // Response ramp: a sum above rampThreshold is held at the cap, which
    // then grows toward the sum at rampRate per second after rampDelay.
    float responseExponent = 1.0f;
    float initialCap = 1.0f;
    float rampThreshold = 1.0f;
    float rampDelay = 0.0f;
    float rampRate = 1.0f;
    float cap = 1.0f;
    float rampStart = std::numeric_limits<float>::infinity();

    uint8_t hidden = 0;  // left out of the controls menu
    ZHashedString name;
    ZArray<ZInputBinding> bindings;
    float idleScale = 1.0f;    // factor while no binding is active or the mouse drives it
    float activeScale = 1.0f;  // factor on the shaped value otherwise
    float value = 0.0f;
    float previousValue = 0.0f;
    float rawValue = 0.0f;
    uint8_t active = 0;       // a binding read non-zero at the last evaluation
    uint8_t mouseDriven = 0;  // a mouse axis moved at the last evaluation
    float repeatTimer = 0.0f;  // WasPressedRepeating
};
