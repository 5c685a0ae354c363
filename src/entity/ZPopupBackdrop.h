#pragma once

#include "entity/ZEntity.h"

class ZRenderable;

// The dark banner behind popup messages: one drawable, kept under the empty
// name of its renderable component, whose effect reads "BackdropOpacity"
// from the popup component that links itself in as its parameter source.
// The popup component sizes it (fractions of the back buffer).
class ZPopupBackdrop : public ZEntity {
    Z_RTTI(ZPopupBackdrop, ZEntity)

public:
    // Takes the drawable (owned from now on); null makes a plain quad. It
    // starts hidden.
    explicit ZPopupBackdrop(ZRenderable* drawable = nullptr);
    ~ZPopupBackdrop() override;

    ZRenderable* GetDrawable() const;

    float width = 0.0f;   // of the back buffer's width
    float height = 0.0f;  // of the back buffer's height
};
