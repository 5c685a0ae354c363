#pragma once
// The built-in keyboard layout (US): which virtual key sits at each scan code, and
// which character a virtual key types with Shift, Caps Lock and Ctrl. Backends use it
// for everything the system layout does not tell them.

#include <cstdint>

namespace platform::window {

// Virtual key at a scan code, telling left and right modifiers apart (VK_LSHIFT, ...);
// 0 for a scan code without a key.
uint32_t UsVirtualKeyFromScan(uint8_t scanCode);

// Scan code of a virtual key (VK_SHIFT, VK_CONTROL and VK_MENU give the left key);
// 0 for a virtual key without a key.
uint8_t UsScanFromVirtualKey(uint32_t virtualKey);

// Virtual key of the key that types `ch` without Shift (letters: their upper case);
// 0 when no key of the built-in layout does.
uint32_t UsVirtualKeyForCharacter(char ch);

// VK_LSHIFT/VK_RSHIFT -> VK_SHIFT, likewise Ctrl and Alt; other keys unchanged.
uint32_t GenericVirtualKey(uint32_t virtualKey);

// The byte a key types, 0 when it types nothing. Ctrl with a letter gives its control
// code (Ctrl+A = 1), as the system's translation does.
uint8_t UsCharacter(uint32_t virtualKey, bool shift, bool capsLock, bool ctrl);

}  // namespace platform::window
