#include "support/VirtualJoysticks.h"

#include <gtest/gtest.h>

namespace korvtest {

namespace {

int RecordRumble(void* userdata, const Uint16 low, const Uint16 high) {
    auto* rumble = static_cast<VirtualJoysticks::Rumble*>(userdata);
    rumble->low = low;
    rumble->high = high;
    ++rumble->calls;
    return 0;
}

}  // namespace

int VirtualJoysticks::Attach(const char* name, const bool gamepad, const Uint16 vendor, const Uint16 product) {
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.name = name;
    desc.vendor_id = vendor;
    desc.product_id = product;
    if (gamepad) {
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = &rumble;
        desc.Rumble = &RecordRumble;
    } else {
        desc.type = SDL_JOYSTICK_TYPE_FLIGHT_STICK;
        desc.naxes = 3;
        desc.nbuttons = 8;
        desc.nhats = 1;
    }
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
        ADD_FAILURE() << "no virtual joystick: " << SDL_GetError();
        return -1;
    }
    m_attached.push_back(index);
    return index;
}

SDL_Joystick* VirtualJoysticks::Open(const int deviceIndex) {
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(deviceIndex));
    if (joystick == nullptr) {
        joystick = SDL_JoystickOpen(deviceIndex);
        m_opened.push_back(joystick);
    }
    return joystick;
}

void VirtualJoysticks::DetachAll() {
    for (SDL_Joystick* opened : m_opened) SDL_JoystickClose(opened);
    m_opened.clear();
    // Last first: detaching one moves the indices of those after it.
    while (!m_attached.empty()) {
        SDL_JoystickDetachVirtual(m_attached.back());
        m_attached.pop_back();
    }
}

}  // namespace korvtest
