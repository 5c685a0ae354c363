#include "menu/MessageMenu.h"

#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

MessageMenu::MessageMenu() {
    const ZString ok =
        ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("ConfirmationMenu"), ZHashedString("OK"));
    AddItem(ZMenuItem::Create(ok, 512.0f, 496.0f, 0, 0.65f));
    descriptionLabel = ZMenuItem::Create<ZMenuLabel>(ZString(), 512.0f, 328.0f, 0, 0.5f);
    // The notice wraps so that its panel stays on the screen in every language.
    descriptionLabel->wrapWidth = ZMenuLabel::kTextWrapWidth;
    AddItem(descriptionLabel);
    Arrange(80.0f, 64.0f);
}

void MessageMenu::SetDescription(const ZString& description) {
    descriptionLabel->SetText(description);
    DeleteUnderlays();
    Arrange(80.0f, 64.0f);
}

void MessageMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened: Select(0); break;
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
                if (callback != nullptr && context != nullptr) {
                    callback(context);
                }
            }
            break;
        case ZMenuEventKind::Cancel:
            if (!cannotCancel && callback != nullptr && context != nullptr) {
                callback(context);
            }
            break;
        default: break;
    }
}
