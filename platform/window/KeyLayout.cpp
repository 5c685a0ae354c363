#include "platform/window/KeyLayout.h"

#include "platform/window/keycodes.h"

namespace platform::window {

namespace {

struct ScanKey {
    uint8_t scan;
    uint32_t vk;
};

// Position of every key on a US keyboard, by DirectInput scan code.
constexpr ScanKey kScanKeys[] = {
    {DIK_ESCAPE, VK_ESCAPE},
    {DIK_1, '1'},
    {DIK_2, '2'},
    {DIK_3, '3'},
    {DIK_4, '4'},
    {DIK_5, '5'},
    {DIK_6, '6'},
    {DIK_7, '7'},
    {DIK_8, '8'},
    {DIK_9, '9'},
    {DIK_0, '0'},
    {DIK_MINUS, VK_OEM_MINUS},
    {DIK_EQUALS, VK_OEM_PLUS},
    {DIK_BACK, VK_BACK},
    {DIK_TAB, VK_TAB},
    {DIK_Q, 'Q'},
    {DIK_W, 'W'},
    {DIK_E, 'E'},
    {DIK_R, 'R'},
    {DIK_T, 'T'},
    {DIK_Y, 'Y'},
    {DIK_U, 'U'},
    {DIK_I, 'I'},
    {DIK_O, 'O'},
    {DIK_P, 'P'},
    {DIK_LBRACKET, VK_OEM_4},
    {DIK_RBRACKET, VK_OEM_6},
    {DIK_RETURN, VK_RETURN},
    {DIK_LCONTROL, VK_LCONTROL},
    {DIK_A, 'A'},
    {DIK_S, 'S'},
    {DIK_D, 'D'},
    {DIK_F, 'F'},
    {DIK_G, 'G'},
    {DIK_H, 'H'},
    {DIK_J, 'J'},
    {DIK_K, 'K'},
    {DIK_L, 'L'},
    {DIK_SEMICOLON, VK_OEM_1},
    {DIK_APOSTROPHE, VK_OEM_7},
    {DIK_GRAVE, VK_OEM_3},
    {DIK_LSHIFT, VK_LSHIFT},
    {DIK_BACKSLASH, VK_OEM_5},
    {DIK_Z, 'Z'},
    {DIK_X, 'X'},
    {DIK_C, 'C'},
    {DIK_V, 'V'},
    {DIK_B, 'B'},
    {DIK_N, 'N'},
    {DIK_M, 'M'},
    {DIK_COMMA, VK_OEM_COMMA},
    {DIK_PERIOD, VK_OEM_PERIOD},
    {DIK_SLASH, VK_OEM_2},
    {DIK_RSHIFT, VK_RSHIFT},
    {DIK_MULTIPLY, VK_MULTIPLY},
    {DIK_LMENU, VK_LMENU},
    {DIK_SPACE, VK_SPACE},
    {DIK_CAPITAL, VK_CAPITAL},
    {DIK_F1, VK_F1},
    {DIK_F2, VK_F2},
    {DIK_F3, VK_F3},
    {DIK_F4, VK_F4},
    {DIK_F5, VK_F5},
    {DIK_F6, VK_F6},
    {DIK_F7, VK_F7},
    {DIK_F8, VK_F8},
    {DIK_F9, VK_F9},
    {DIK_F10, VK_F10},
    {DIK_NUMLOCK, VK_NUMLOCK},
    {DIK_SCROLL, VK_SCROLL},
    // The keypad types digits: Num Lock is taken as on.
    {DIK_NUMPAD7, VK_NUMPAD0 + 7},
    {DIK_NUMPAD8, VK_NUMPAD0 + 8},
    {DIK_NUMPAD9, VK_NUMPAD0 + 9},
    {DIK_SUBTRACT, VK_SUBTRACT},
    {DIK_NUMPAD4, VK_NUMPAD0 + 4},
    {DIK_NUMPAD5, VK_NUMPAD0 + 5},
    {DIK_NUMPAD6, VK_NUMPAD0 + 6},
    {DIK_ADD, VK_ADD},
    {DIK_NUMPAD1, VK_NUMPAD0 + 1},
    {DIK_NUMPAD2, VK_NUMPAD0 + 2},
    {DIK_NUMPAD3, VK_NUMPAD0 + 3},
    {DIK_NUMPAD0, VK_NUMPAD0},
    {DIK_DECIMAL, VK_DECIMAL},
    {DIK_OEM_102, VK_OEM_102},
    {DIK_F11, VK_F11},
    {DIK_F12, VK_F12},
    {DIK_F13, VK_F1 + 12},
    {DIK_F14, VK_F1 + 13},
    {DIK_F15, VK_F1 + 14},
    {DIK_KANA, VK_KANA},
    {DIK_ABNT_C1, VK_ABNT_C1},
    {DIK_CONVERT, VK_CONVERT},
    {DIK_NOCONVERT, VK_NONCONVERT},
    {DIK_ABNT_C2, VK_ABNT_C2},
    {DIK_NUMPADEQUALS, VK_OEM_NEC_EQUAL},
    {DIK_PREVTRACK, VK_MEDIA_PREV_TRACK},
    {DIK_KANJI, VK_KANJI},
    {DIK_NEXTTRACK, VK_MEDIA_NEXT_TRACK},
    {DIK_NUMPADENTER, VK_RETURN},
    {DIK_RCONTROL, VK_RCONTROL},
    {DIK_MUTE, VK_VOLUME_MUTE},
    {DIK_CALCULATOR, VK_LAUNCH_APP2},
    {DIK_PLAYPAUSE, VK_MEDIA_PLAY_PAUSE},
    {DIK_MEDIASTOP, VK_MEDIA_STOP},
    {DIK_VOLUMEDOWN, VK_VOLUME_DOWN},
    {DIK_VOLUMEUP, VK_VOLUME_UP},
    {DIK_WEBHOME, VK_BROWSER_HOME},
    {DIK_NUMPADCOMMA, VK_SEPARATOR},
    {DIK_DIVIDE, VK_DIVIDE},
    {DIK_SYSRQ, VK_SNAPSHOT},
    {DIK_RMENU, VK_RMENU},
    {DIK_PAUSE, VK_PAUSE},
    {DIK_HOME, VK_HOME},
    {DIK_UP, VK_UP},
    {DIK_PRIOR, VK_PRIOR},
    {DIK_LEFT, VK_LEFT},
    {DIK_RIGHT, VK_RIGHT},
    {DIK_END, VK_END},
    {DIK_DOWN, VK_DOWN},
    {DIK_NEXT, VK_NEXT},
    {DIK_INSERT, VK_INSERT},
    {DIK_DELETE, VK_DELETE},
    {DIK_LWIN, VK_LWIN},
    {DIK_RWIN, VK_RWIN},
    {DIK_APPS, VK_APPS},
    {DIK_SLEEP, VK_SLEEP},
    {DIK_WEBSEARCH, VK_BROWSER_SEARCH},
    {DIK_WEBFAVORITES, VK_BROWSER_FAVORITES},
    {DIK_WEBREFRESH, VK_BROWSER_REFRESH},
    {DIK_WEBSTOP, VK_BROWSER_STOP},
    {DIK_WEBFORWARD, VK_BROWSER_FORWARD},
    {DIK_WEBBACK, VK_BROWSER_BACK},
    {DIK_MAIL, VK_LAUNCH_MAIL},
    {DIK_MEDIASELECT, VK_LAUNCH_MEDIA_SELECT},
};

struct KeyChars {
    uint32_t vk;
    char plain;
    char shifted;
};

// Characters of the keys that are not letters.
constexpr KeyChars kKeyChars[] = {
    {'1', '1', '!'},
    {'2', '2', '@'},
    {'3', '3', '#'},
    {'4', '4', '$'},
    {'5', '5', '%'},
    {'6', '6', '^'},
    {'7', '7', '&'},
    {'8', '8', '*'},
    {'9', '9', '('},
    {'0', '0', ')'},
    {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_4, '[', '{'},
    {VK_OEM_6, ']', '}'},
    {VK_OEM_1, ';', ':'},
    {VK_OEM_7, '\'', '"'},
    {VK_OEM_3, '`', '~'},
    {VK_OEM_5, '\\', '|'},
    {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},
    {VK_OEM_102, '\\', '|'},
    {VK_SPACE, ' ', ' '},
    {VK_BACK, 8, 8},
    {VK_TAB, '\t', '\t'},
    {VK_RETURN, '\r', '\r'},
    {VK_ESCAPE, 27, 27},
    {VK_NUMPAD0, '0', '0'},
    {VK_NUMPAD0 + 1, '1', '1'},
    {VK_NUMPAD0 + 2, '2', '2'},
    {VK_NUMPAD0 + 3, '3', '3'},
    {VK_NUMPAD0 + 4, '4', '4'},
    {VK_NUMPAD0 + 5, '5', '5'},
    {VK_NUMPAD0 + 6, '6', '6'},
    {VK_NUMPAD0 + 7, '7', '7'},
    {VK_NUMPAD0 + 8, '8', '8'},
    {VK_NUMPAD0 + 9, '9', '9'},
    {VK_MULTIPLY, '*', '*'},
    {VK_ADD, '+', '+'},
    {VK_SUBTRACT, '-', '-'},
    {VK_DECIMAL, '.', '.'},
    {VK_DIVIDE, '/', '/'},
    {VK_OEM_NEC_EQUAL, '=', '='},
};

}  // namespace

uint32_t UsVirtualKeyFromScan(const uint8_t scanCode) {
    for (const ScanKey& key : kScanKeys) {
        if (key.scan == scanCode) return key.vk;
    }
    return 0;
}

uint8_t UsScanFromVirtualKey(uint32_t virtualKey) {
    if (virtualKey == VK_SHIFT) virtualKey = VK_LSHIFT;
    if (virtualKey == VK_CONTROL) virtualKey = VK_LCONTROL;
    if (virtualKey == VK_MENU) virtualKey = VK_LMENU;
    for (const ScanKey& key : kScanKeys) {
        if (key.vk == virtualKey) return key.scan;
    }
    return 0;
}

uint32_t UsVirtualKeyForCharacter(const char ch) {
    if (ch >= 'a' && ch <= 'z') return static_cast<uint32_t>(ch - 'a' + 'A');
    for (const KeyChars& key : kKeyChars) {
        if (key.plain == ch) return key.vk;
    }
    return 0;
}

uint32_t GenericVirtualKey(const uint32_t virtualKey) {
    switch (virtualKey) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return virtualKey;
    }
}

uint8_t UsCharacter(const uint32_t virtualKey, const bool shift, const bool capsLock, const bool ctrl) {
    const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
    if (ctrl) {
        if (letter) return static_cast<uint8_t>(virtualKey - 'A' + 1);
        switch (virtualKey) {
            case VK_OEM_4:
                return 0x1B;
            case VK_OEM_5:
                return 0x1C;
            case VK_OEM_6:
                return 0x1D;
            case VK_RETURN:
                return '\n';
            case VK_BACK:
                return 0x7F;
            default:
                return 0;
        }
    }
    if (letter) {
        const bool upper = shift != capsLock;
        return static_cast<uint8_t>(upper ? virtualKey : virtualKey - 'A' + 'a');
    }
    for (const KeyChars& key : kKeyChars) {
        if (key.vk == virtualKey) return static_cast<uint8_t>(shift ? key.shifted : key.plain);
    }
    return 0;
}

}  // namespace platform::window
