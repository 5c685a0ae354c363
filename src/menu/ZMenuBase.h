#pragma once

#include "menu/ZMenuEvent.h"

// The root of menus and menu items: both receive menu events.
class ZMenuBase {
public:
    ZMenuBase() = default;
    virtual ~ZMenuBase() = default;
    ZMenuBase(const ZMenuBase&) = delete;
    ZMenuBase& operator=(const ZMenuBase&) = delete;

    // Delivers one event: a menu's HandleAction, an item's HandleInput.
    virtual void ReceiveEvent(const ZMenuEvent& event, ZMenuMouseState* mouse) = 0;
};
