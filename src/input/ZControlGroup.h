#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "input/ZControl.h"

// Controls evaluated together, every frame or every fixed step. The group owns
// its controls.
struct ZControlGroup {
    ZControlGroup() = default;
    ZControlGroup(const ZControlGroup&) = delete;
    ZControlGroup& operator=(const ZControlGroup&) = delete;
    ~ZControlGroup() {
        for (ZControl* control : controls) {
            delete control;
        }
    }

    uint8_t hiddenGroup = 0;  // left out of the controls menu
    ZHashedString name;
    ZArray<ZControl*> controls;  // creation order
    uint8_t cinematicBlock = 0;  // queries answer "not active" while a cinematic blocks input
    uint8_t rebindable = 0;      // the player edits its bindings
    uint8_t perFrame = 0;        // evaluated per frame; clear: per fixed step
    uint8_t engineGroup = 0;     // made by the engine: its texts are in "EngineControls", not "Controls"
};
