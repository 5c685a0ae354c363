#pragma once
// The window system on SDL2. The window is made with SDL_WINDOW_OPENGL; its
// NativeHandle() is the SDL_Window* for the graphics device.

#include <memory>

#include "platform/window/window.h"

namespace platform::window {

std::unique_ptr<WindowSystem> CreateSdlWindowSystem();

}  // namespace platform::window
