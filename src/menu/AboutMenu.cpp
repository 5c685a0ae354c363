#include "menu/AboutMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

namespace {

ZString AboutText(const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("AboutMenu"), ZHashedString(key));
}

const ZHashedString& SiteButtonName() {
    static const ZHashedString name("SiteButton");
    return name;
}

}  // namespace

AboutMenu::AboutMenu() {
    AddItem(ZMenuItem::Create(AboutText("Back"), 512.0f, 576.0f, 0, 1.0f));
    AddItem(ZMenuItem::Create<ZMenuLabel>(AboutText("PlaceholderText"), 512.0f, 192.0f, 0, 1.0f));
    ZMenuItem* site = ZMenuItem::Create(ZString(ZBaseGame::GetInstance()->GetWebsiteURL()), 512.0f, 256.0f, 0, 1.0f);
    site->name = SiteButtonName();
    AddItem(site);
    Arrange(80.0f, 64.0f);
}

void AboutMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Accept) {
        return;
    }
    const ZMenuItem* selected = GetSelectedItem();
    if (selected != nullptr && selected->GetName() == SiteButtonName()) {
        ZBaseGame::GetInstance()->OpenURL(ZString(ZBaseGame::GetInstance()->GetWebsiteURL()));
    } else {
        GetMenuMgr()->CloseMenu();
    }
}
