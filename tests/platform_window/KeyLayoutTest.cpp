#include <gtest/gtest.h>

#include "platform/window/fake/FakeWindowSystem.h"

using namespace platform;
using namespace platform::window;

namespace {

// The character a key types for Shift and Caps Lock, asked the way the input handler
// builds its table: scan code -> virtual key (sides apart) -> character.
uint8_t CharFor(const WindowSystem& system, const uint8_t scan, const bool shift, const bool caps) {
    const uint32_t vk = system.MapVirtualKey(scan, MAPVK_VSC_TO_VK_EX);
    if (vk == 0) return 0;
    uint8_t keyState[256] = {};
    keyState[VK_SHIFT] = shift ? 0xFF : 0;
    keyState[VK_CAPITAL] = caps ? 0xFF : 0;
    uint8_t out = 0;
    return system.ToAscii(vk, scan, keyState, &out) == 1 ? out : 0;
}

}  // namespace

TEST(KeyLayout, CharactersForPlainShiftCapsAndBoth) {
    struct Case {
        uint8_t scan;
        char plain, shift, caps, both;
    };
    const Case cases[] = {
        {DIK_A, 'a', 'A', 'A', 'a'},
        {DIK_Q, 'q', 'Q', 'Q', 'q'},
        {DIK_1, '1', '!', '1', '!'},
        {DIK_0, '0', ')', '0', ')'},
        {DIK_SLASH, '/', '?', '/', '?'},
        {DIK_GRAVE, '`', '~', '`', '~'},
        {DIK_APOSTROPHE, '\'', '"', '\'', '"'},
        {DIK_OEM_102, '\\', '|', '\\', '|'},
        {DIK_SPACE, ' ', ' ', ' ', ' '},
        {DIK_RETURN, '\r', '\r', '\r', '\r'},
        {DIK_NUMPADENTER, '\r', '\r', '\r', '\r'},
        {DIK_BACK, 8, 8, 8, 8},
        {DIK_NUMPAD7, '7', '7', '7', '7'},
        {DIK_DIVIDE, '/', '/', '/', '/'},
        {DIK_LSHIFT, 0, 0, 0, 0},
        {DIK_UP, 0, 0, 0, 0},
        {DIK_F1, 0, 0, 0, 0},
        {0x00, 0, 0, 0, 0},
        {0xFF, 0, 0, 0, 0},
    };
    const FakeWindowSystem system;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scan 0x" << std::hex << int(c.scan));
        EXPECT_EQ(CharFor(system, c.scan, false, false), uint8_t(c.plain));
        EXPECT_EQ(CharFor(system, c.scan, true, false), uint8_t(c.shift));
        EXPECT_EQ(CharFor(system, c.scan, false, true), uint8_t(c.caps));
        EXPECT_EQ(CharFor(system, c.scan, true, true), uint8_t(c.both));
    }
}

TEST(KeyLayout, ControlMakesControlCodesAndCtrlAltTypesNothing) {
    const FakeWindowSystem system;
    uint8_t keyState[256] = {};
    keyState[VK_CONTROL] = 0x80;
    uint8_t out = 0;
    ASSERT_EQ(system.ToAscii('C', DIK_C, keyState, &out), 1);
    EXPECT_EQ(out, 3);
    keyState[VK_MENU] = 0x80;
    EXPECT_EQ(system.ToAscii('C', DIK_C, keyState, &out), 0);
}

TEST(KeyLayout, MapVirtualKeyKinds) {
    struct Case {
        uint32_t code;
        uint32_t mapType;
        uint32_t expected;
    };
    const Case cases[] = {
        {DIK_LSHIFT, MAPVK_VSC_TO_VK, VK_SHIFT},
        {DIK_LSHIFT, MAPVK_VSC_TO_VK_EX, VK_LSHIFT},
        {DIK_RCONTROL, MAPVK_VSC_TO_VK, VK_CONTROL},
        {DIK_RCONTROL, MAPVK_VSC_TO_VK_EX, VK_RCONTROL},
        {DIK_RMENU, MAPVK_VSC_TO_VK_EX, VK_RMENU},
        {DIK_UP, MAPVK_VSC_TO_VK, VK_UP},
        {DIK_NUMPADENTER, MAPVK_VSC_TO_VK, VK_RETURN},
        {VK_UP, MAPVK_VK_TO_VSC, DIK_UP},
        {VK_RETURN, MAPVK_VK_TO_VSC, DIK_RETURN},
        {VK_SHIFT, MAPVK_VK_TO_VSC, DIK_LSHIFT},
        {VK_RSHIFT, MAPVK_VK_TO_VSC, DIK_RSHIFT},
        {'A', MAPVK_VK_TO_CHAR, 'A'},
        {VK_OEM_1, MAPVK_VK_TO_CHAR, ';'},
        {VK_F5, MAPVK_VK_TO_CHAR, 0},
        {0x00, MAPVK_VSC_TO_VK, 0},
        {0x1E0, MAPVK_VSC_TO_VK, 0},
        {DIK_A, 99, 0},
    };
    const FakeWindowSystem system;
    for (const Case& c : cases) {
        EXPECT_EQ(system.MapVirtualKey(c.code, c.mapType), c.expected)
            << "code 0x" << std::hex << c.code << " type " << std::dec << c.mapType;
    }
}

// Every key position maps to one virtual key and back; only the keypad Enter shares its
// virtual key with Enter.
TEST(KeyLayout, ScanCodesRoundTripThroughVirtualKeys) {
    const FakeWindowSystem system;
    int keys = 0;
    for (uint32_t scan = 1; scan < 256; ++scan) {
        const uint32_t vk = system.MapVirtualKey(scan, MAPVK_VSC_TO_VK_EX);
        if (vk == 0) continue;
        ++keys;
        const uint32_t back = system.MapVirtualKey(vk, MAPVK_VK_TO_VSC);
        if (scan == DIK_NUMPADENTER) {
            EXPECT_EQ(back, DIK_RETURN);
        } else {
            EXPECT_EQ(back, scan) << "scan 0x" << std::hex << scan << " vk 0x" << vk;
        }
    }
    EXPECT_GT(keys, 100);
}
