#include "menu/GameOptionsMenu.h"

#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

GameOptionsMenu::GameOptionsMenu() {
    AddItem(ZMenuItem::Create(ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"),
                                                                 ZHashedString("GameOptionsMenu"), ZHashedString("Back")),
                              512.0f, 576.0f, 0, 1.0f));
    // Its own handler closes it on Cancel.
    cannotCancel = true;
    Arrange(80.0f, 64.0f);
}

void GameOptionsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if ((event.kind == ZMenuEventKind::Accept && selectedIndex == 0) || event.kind == ZMenuEventKind::Cancel) {
        GetMenuMgr()->CloseMenu();
    }
}
