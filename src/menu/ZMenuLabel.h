#pragma once

#include "menu/ZMenuItem.h"

// A fixed text of a menu (a description, a value): never selected.
class ZMenuLabel : public ZMenuItem {
public:
    bool IsSelectable() const override { return false; }
};
