#pragma once

#include <SDL.h>

#include <vector>

namespace korvtest {

// SDL's virtual joysticks for input tests: a flight stick (3 axes, 8 buttons,
// one hat) or a gamepad of the standard layout whose rumble is recorded. What
// was opened is closed and every controller detached by DetachAll, at the
// latest when the object goes (before SDL's joysticks are shut down).
class VirtualJoysticks {
public:
    struct Rumble {
        Uint16 low = 0;
        Uint16 high = 0;
        int calls = 0;
    };

    VirtualJoysticks() = default;
    ~VirtualJoysticks() { DetachAll(); }
    VirtualJoysticks(const VirtualJoysticks&) = delete;
    VirtualJoysticks& operator=(const VirtualJoysticks&) = delete;

    // Attaches a controller; its device index, or -1 (failing the test) when SDL refuses.
    int Attach(const char* name, bool gamepad, Uint16 vendor, Uint16 product);
    // The SDL joystick at a device index, for setting its inputs: the one already
    // open, or one opened now.
    SDL_Joystick* Open(int deviceIndex);
    void DetachAll();

    Rumble rumble;  // the last speeds a gamepad was given, and how many times

private:
    std::vector<int> m_attached;
    std::vector<SDL_Joystick*> m_opened;
};

}  // namespace korvtest
