#pragma once

#include "menu/ZMenu.h"

// The "Game" options page: four switches (alternative down-jump, dialog box
// backs, the minimap, interaction prompts) that left and right toggle at
// once, and Back. Cancel closes it; the toggled values stay.
class KorvanthGameOptionsMenu : public ZMenu {
public:
    KorvanthGameOptionsMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

private:
    void Toggle(int32_t row);
    ZString RowText(int32_t row) const;

    bool m_values[4] = {};  // working copies, in row order
};
