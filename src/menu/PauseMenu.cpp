#include "menu/PauseMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

namespace {

ZString PauseText(const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("PauseMenu"), ZHashedString(key));
}

}  // namespace

PauseMenu::PauseMenu() {
    const bool demo = ZBaseGame::GetInstance()->IsDemoMode();
    const auto add = [this](const char* key, const float y) {
        ZMenuItem* item = ZMenuItem::Create(PauseText(key), 512.0f, y, 0, 1.0f);
        item->name = ZHashedString(key);
        AddItem(item);
    };
    add("Resume", 328.0f);
    if (!demo) {
        add("Options", 384.0f);
    }
    add("Title", 384.0f + (demo ? 0.0f : 56.0f));
    Arrange(80.0f, 64.0f);
}

void PauseMenu::OnConfirmReset(void* /*context*/) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    const bool demo = game->IsDemoMode();
    game->ResetGame(true);
    ZMenuMgr* menus = GetMenuMgr();
    menus->CloseAll(ZMenuMgr::kBack);
    menus->OpenMenu(game->CreateTitleMenu(demo ? 0 : 1));
    if (!demo) {
        // The title menu shows over the already dark backdrop, without sliding.
        menus->MarkPendingOpens();
    }
}

void PauseMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Accept) {
        return;
    }
    const ZMenuItem* selected = GetSelectedItem();
    const ZHashedString name = selected != nullptr ? selected->GetName() : ZHashedString::None();
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (name == ZHashedString("Resume")) {
        GetMenuMgr()->CloseMenu();
    } else if (name == ZHashedString("Options")) {
        GetMenuMgr()->OpenMenu(game->CreateOptionsMenu());
    } else if (name == ZHashedString("Title")) {
        ZMenu* menu = game->CreateConfirmationMenu(false);
        if (auto* confirmation = dynamic_cast<ConfirmationMenu*>(menu)) {
            confirmation->SetDescription(PauseText("ConfirmReset"));
            confirmation->yesCallback = OnConfirmReset;
            confirmation->context = this;
        }
        GetMenuMgr()->OpenMenu(menu);
    }
}
