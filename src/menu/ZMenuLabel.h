#pragma once

#include "menu/ZMenuItem.h"

// A fixed text of a menu (a description, a value): never selected.
class ZMenuLabel : public ZMenuItem {
public:
    // The width a menu's long text (a question, a notice, a prompt) wraps
    // within, so that its panel stays on the screen in every language.
    static constexpr float kTextWrapWidth = 704.0f;

    bool IsSelectable() const override { return false; }
};
