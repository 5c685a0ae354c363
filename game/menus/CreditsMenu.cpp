#include "game/menus/CreditsMenu.h"

#include <vector>

#include "game/menus/GameMenuSupport.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

CreditsMenu::CreditsMenu() {
    const ZMenuItem* back = AddMenuItem(*this, GameMenuText("CreditsMenu", "Back"), 256.0f, 672.0f, 4, 0.8f);
    static const char* const kGroups[4][4] = {
        {"Line1A", "Line1B", nullptr, nullptr},
        {"Line2A", "Line2B", nullptr, nullptr},
        {"Line3A", "Line3B", "Line3C", nullptr},
        {"Line4A", "Line4B", "Line4C", "Line4D"},
    };
    constexpr float kLineStep = 30.24f;
    std::vector<const ZMenuItem*> lines;
    float y = 96.0f;
    for (int g = 0; g < 4; ++g) {
        if (g > 0) y += kLineStep;  // an empty line between groups
        for (int i = 0; i < 4 && kGroups[g][i] != nullptr; ++i) {
            lines.push_back(AddMenuItem<ZMenuLabel>(*this, GameMenuText("CreditsMenu", kGroups[g][i]),
                                                    256.0f + (i == 0 ? 0.0f : 32.0f), y, 4, 0.6f));
            y += kLineStep;
        }
    }
    ArrangeAround(*this, lines.data(), lines.size(), 80.0f, 64.0f);
    ArrangeAround(*this, {back}, 80.0f, 64.0f);
}

void CreditsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::Accept) GetMenuMgr()->CloseMenu();
}
