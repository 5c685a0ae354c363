#pragma once

#include <cstdint>

#include "platform/input/input.h"

// Everything the input devices reported at one poll. The handler keeps the
// current and the previous poll, and every question (is it down, was it up)
// compares the two.
struct ZInputSnapshot {
    uint8_t keys[256] = {};  // by DirectInput scan code; non-zero while down
    // Key repeat of text entry: the key that repeats and the time to its next
    // repeat (seconds). The poll lowers the timer of the current snapshot.
    uint8_t repeatKey = 0;
    float repeatTimer = 0.0f;
    platform::input::MouseState mouse;
    // Neutral (all zero, hats centred) whenever no joystick is read.
    platform::input::JoystickState joystick;
    platform::input::PadState pads[platform::input::XUSER_MAX_COUNT];
};
