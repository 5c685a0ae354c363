#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/window/KeyLayout.h"
#include "platform/window/keycodes.h"
#include "platform/window/sdl/SdlShared.h"

using namespace platform;

TEST(SdlKeyTable, SamplesMapToTheirScanCodes) {
    struct Case {
        SDL_Scancode scancode;
        uint8_t dik;
    };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
        {SDL_SCANCODE_A, DIK_A},
        {SDL_SCANCODE_Z, DIK_Z},
        {SDL_SCANCODE_1, DIK_1},
        {SDL_SCANCODE_0, DIK_0},
        {SDL_SCANCODE_GRAVE, DIK_GRAVE},
        {SDL_SCANCODE_LANG5, DIK_KANJI},
        {SDL_SCANCODE_RETURN, DIK_RETURN},
        {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
        {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
        {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
        {SDL_SCANCODE_LALT, DIK_LMENU},
        {SDL_SCANCODE_RALT, DIK_RMENU},
        {SDL_SCANCODE_LGUI, DIK_LWIN},
        {SDL_SCANCODE_RGUI, DIK_RWIN},
        {SDL_SCANCODE_UP, DIK_UP},
        {SDL_SCANCODE_DOWN, DIK_DOWN},
        {SDL_SCANCODE_LEFT, DIK_LEFT},
        {SDL_SCANCODE_RIGHT, DIK_RIGHT},
        {SDL_SCANCODE_HOME, DIK_HOME},
        {SDL_SCANCODE_END, DIK_END},
        {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
        {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
        {SDL_SCANCODE_DELETE, DIK_DELETE},
        {SDL_SCANCODE_INSERT, DIK_INSERT},
        {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
        {SDL_SCANCODE_PAUSE, DIK_PAUSE},
        {SDL_SCANCODE_F1, DIK_F1},
        {SDL_SCANCODE_F10, DIK_F10},
        {SDL_SCANCODE_F11, DIK_F11},
        {SDL_SCANCODE_F12, DIK_F12},
        {SDL_SCANCODE_F13, DIK_F13},
        {SDL_SCANCODE_KP_8, DIK_NUMPAD8},
        {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
        {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
        {SDL_SCANCODE_KP_PLUS, DIK_ADD},
        {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
        {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
        {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
        {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
        {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
        {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
        {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
        {SDL_SCANCODE_APPLICATION, DIK_APPS},
        {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
        {SDL_SCANCODE_F16, 0},
        {SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sdl::DikFromScancode(c.scancode), c.dik) << SDL_GetScancodeName(c.scancode);
    }
    EXPECT_EQ(sdl::DikFromScancode(static_cast<SDL_Scancode>(-1)), 0);
    EXPECT_EQ(sdl::DikFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(SdlKeyTable, EveryScanCodeWithAScancodeMapsBack) {
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        const uint8_t dik = sdl::DikFromScancode(static_cast<SDL_Scancode>(s));
        if (dik == 0) continue;
        const SDL_Scancode back = sdl::ScancodeFromDik(dik);
        ASSERT_NE(back, SDL_SCANCODE_UNKNOWN) << "scancode " << s;
        EXPECT_EQ(sdl::DikFromScancode(back), dik) << "scancode " << s;
    }
}

// Every key the built-in layout places has a physical key under SDL, so that nothing the
// layout can name is out of reach of the keyboard state.
TEST(SdlKeyTable, CoversEveryKeyOfTheLayout) {
    for (int scan = 1; scan < 256; ++scan) {
        if (window::UsVirtualKeyFromScan(static_cast<uint8_t>(scan)) == 0) continue;
        // No SDL scancode names the keypad separator of Brazilian keyboards.
        if (scan == DIK_ABNT_C2) continue;
        EXPECT_NE(sdl::ScancodeFromDik(static_cast<uint8_t>(scan)), SDL_SCANCODE_UNKNOWN)
            << "scan 0x" << std::hex << scan;
    }
}
