#pragma once
// Input devices on SDL2: the keyboard and mouse from SDL's events (seen through an event
// watch, whoever pumps them), joysticks through SDL_Joystick, and the controllers SDL
// recognises as gamepads as XInput pads through SDL_GameController with its rumble.

#include <memory>

#include "platform/input/input.h"

namespace platform::input {

std::unique_ptr<InputSystem> CreateSdlInputSystem();

}  // namespace platform::input
