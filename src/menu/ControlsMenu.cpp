#include "menu/ControlsMenu.h"

#include "framework/ZBaseGame.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

ControlsMenu::ControlsMenu() {
    ReinitInputDevices();
    static const char* const kKeys[] = {"Bindings", "Mouse", "Joysticks", "Back"};
    float y = 300.0f;
    for (const char* key : kKeys) {
        AddItem(ZMenuItem::Create(MenuText("ControlsMenu", key), 512.0f, y, 0, 1.0f));
        y += 56.0f;
    }
    Arrange(80.0f, 64.0f);
}

void ControlsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Accept) {
        return;
    }
    ZBaseGame* game = ZBaseGame::PeekInstance();
    ZMenuMgr* menus = GetMenuMgr();
    switch (selectedIndex) {
        case 0: if (game != nullptr) menus->OpenMenu(game->CreateControlGroupsMenu()); break;
        case 1: if (game != nullptr) menus->OpenMenu(game->CreateMouseMenu()); break;
        case 2: if (game != nullptr) menus->OpenMenu(game->CreateJoysticksMenu()); break;
        case 3: menus->CloseMenu(); break;
        default: break;
    }
}
