#pragma once
// What the SDL backends of the window and input modules share: the one table from SDL
// scancodes to DirectInput scan codes (key messages and the keyboard state both use it)
// and the test for a video driver without a display.

#include <SDL_scancode.h>
#include <SDL_video.h>

#include <cstdint>

namespace platform::sdl {

// DirectInput scan code of an SDL scancode; 0 when the key has none.
uint8_t DikFromScancode(SDL_Scancode scancode);
// The SDL scancode of a DirectInput scan code; SDL_SCANCODE_UNKNOWN when none.
SDL_Scancode ScancodeFromDik(uint8_t dik);

// The video driver has no display and no user (offscreen, dummy): nothing takes the
// focus away and nobody can answer a dialog.
bool HeadlessVideo();

// Under the x11 driver: has Xlib note a lost connection to the display (the X
// server went away) instead of exiting the process from inside an X call.
// Nothing happens under other drivers.
void WatchDisplayConnection(SDL_Window* window);
// The connection to the display was lost: nothing may be done through it any
// more (hiding or destroying a window, closing the video subsystem would wait
// on it for ever).
bool DisplayLost();

// Asks for the main window's pixel format and context (OpenGL 3.3 core, double
// buffered, 8-bit red, green and blue, 24-bit depth, 8-bit stencil); called
// before the window is made.
void RequestGlWindowFormat();

}  // namespace platform::sdl
