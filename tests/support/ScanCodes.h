#pragma once

// The scan code of the US-layout key that types a character, for tests that
// type text through the fake keyboard: lower-case letters, digits, space, '-'
// and '.'. Any other character fails the test.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/window/keycodes.h"

inline uint8_t ScanCodeOf(const char c) {
    using namespace platform;
    static const char* const rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static const uint8_t starts[] = {DIK_Q, DIK_A, DIK_Z};
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; rows[r][i] != 0; ++i) {
            if (rows[r][i] == c) {
                return static_cast<uint8_t>(starts[r] + i);
            }
        }
    }
    if (c >= '1' && c <= '9') {
        return static_cast<uint8_t>(DIK_1 + (c - '1'));
    }
    switch (c) {
        case '0':
            return DIK_0;
        case ' ':
            return DIK_SPACE;
        case '-':
            return DIK_MINUS;
        case '.':
            return DIK_PERIOD;
        default:
            ADD_FAILURE() << "no key for '" << c << "'";
            return 0;
    }
}
