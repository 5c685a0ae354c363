#include "menu/MouseMenu.h"

#include <algorithm>
#include <cmath>

#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

MouseMenu::MouseMenu() {
    AddItem(ZMenuItem::Create(MenuText("MouseMenu", "Back"), 512.0f, 576.0f, 0, 1.0f));
    AddValueSpinner(332.8f, 320.0f, 0.5f, 0.8f, MenuText("MouseMenu", "MouseSpeed"), ZString(), nullptr,
                    ZHashedString("Input"), ZHashedString("MouseScalar"), "%+.2f");
    panel = ArrangeItems(80.0f, 64.0f);
    if (panel != nullptr) {
        // Centred on the middle column, widened by the distance it moved, never wider than 960.
        const float moved = std::fabs(512.0f - panel->x);
        panel->SetPosition(512.0f, panel->y);
        panel->Refresh();
        panel->SetSize(std::min(panel->width + moved, 960.0f), panel->height);
        panel->Refresh();
    }
}

void MouseMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::Accept && selectedIndex == 0) {
        GetMenuMgr()->CloseMenu();
    }
}
