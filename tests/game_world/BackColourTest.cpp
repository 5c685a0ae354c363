// A map's back colour is read by the engine's hex-colour rule: short or
// malformed texts keep what they do say (and are reported), not black.

#include <gtest/gtest.h>

#include <cstdint>

#include "game/world/KorvanthGame.h"

namespace {

TEST(BackColour, ReadByTheEnginesHexRule) {
    struct Case {
        const char* text;
        uint8_t rgba[4];
        bool wellFormed;
    };
    const Case cases[] = {
        {"#FF8000", {255, 128, 0, 255}, true},
        {"102030C0", {0x10, 0x20, 0x30, 0xC0}, true},
        {"", {0, 0, 0, 255}, true},
        {"F80", {0xF8, 0x00, 0, 255}, false},        // a lone last digit is the high one
        {"#3366", {0x33, 0x66, 0, 255}, false},      // missing pairs stay 0
        {"zz8000", {0x00, 0x80, 0x00, 255}, false},  // a non-hex digit reads as 0
        {"1020304050", {0x10, 0x20, 0x30, 0x40}, false},
    };
    for (const Case& c : cases) {
        uint8_t out[4] = {1, 2, 3, 4};
        EXPECT_EQ(ParseBackColour(ZString(c.text), out), c.wellFormed) << c.text;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(out[i], c.rgba[i]) << c.text << " channel " << i;
        }
    }
}

}  // namespace
