#pragma once

#include "menu/ConfirmationMenu.h"

// The yes/no/cancel question of the picture settings pages: it leaves the
// picture behind it undimmed, so the player still sees what a reset would
// change.
class TunerConfirmationMenu : public ConfirmationMenu {
public:
    TunerConfirmationMenu() : ConfirmationMenu(true) {}
    void AdjustBackdropOpacity(float* opacity) override { *opacity = 0.0f; }
};
