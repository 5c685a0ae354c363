#include "menu/ConfirmationMenu.h"

#include <cmath>

#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

namespace {

constexpr float kButtonsY = 440.0f;
constexpr float kDescriptionY = 328.0f;
// The least room between the question's last line and the buttons' text.
constexpr float kButtonGap = 16.0f;

ZString ButtonText(const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("ConfirmationMenu"),
                                             ZHashedString(key));
}

}  // namespace

ConfirmationMenu::ConfirmationMenu(const bool withCancelIn) : withCancel(withCancelIn) {
    AddItem(ZMenuItem::Create(ButtonText("Yes"), withCancel ? 256.0f : 320.0f, kButtonsY, 0, 1.0f));
    AddItem(ZMenuItem::Create(ButtonText("No"), withCancel ? 512.0f : 704.0f, kButtonsY, 0, 1.0f));
    if (withCancel) {
        AddItem(ZMenuItem::Create(ButtonText("Cancel"), 768.0f, kButtonsY, 0, 1.0f));
    }
    descriptionLabel = ZMenuItem::Create<ZMenuLabel>(ZString(), 512.0f, kDescriptionY, 0, 0.75f);
    descriptionLabel->wrapWidth = ZMenuLabel::kTextWrapWidth;
    AddItem(descriptionLabel);
    Arrange(80.0f, 64.0f);
}

void ConfirmationMenu::SetDescription(const ZString& description) {
    descriptionLabel->y = kDescriptionY;
    descriptionLabel->SetText(description);
    // A question of many lines rises so that its last one stays clear of the buttons.
    float buttonsTop = kButtonsY;
    for (int32_t i = 0; i < static_cast<int32_t>(GetItemCount()); ++i) {
        if (GetItem(i) != descriptionLabel) {
            buttonsTop = std::fmin(buttonsTop, GetItem(i)->top);
        }
    }
    const float overlap = descriptionLabel->top + descriptionLabel->height + kButtonGap - buttonsTop;
    if (overlap > 0.0f) {
        descriptionLabel->y -= overlap;
        descriptionLabel->Refresh();
    }
    // A new underlay starts hidden: one made while the menu shows (a count-down
    // that rewrites its question) shows as the old one did.
    const bool shown = !underlays.IsEmpty() && underlays[0]->visible;
    DeleteUnderlays();
    Arrange(80.0f, 64.0f);
    for (ZMenuUnderlay* underlay : underlays) {
        underlay->visible = shown;
    }
}

void ConfirmationMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened: {
            const int32_t answer = withCancel ? 2 : 1;
            if (GetItemCount() >= static_cast<uint32_t>(answer + 1)) {
                Select(answer);
            }
            break;
        }
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
                if (yesCallback != nullptr && context != nullptr) {
                    yesCallback(context);
                }
            } else if (selectedIndex == 1) {
                GetMenuMgr()->CloseMenu();
                if (noCallback != nullptr && context != nullptr) {
                    noCallback(context);
                }
            } else if (selectedIndex == 2 && withCancel) {
                GetMenuMgr()->CloseMenu();
            }
            break;
        case ZMenuEventKind::Cancel:
            // The base handler closed the menu; without a third button Cancel answers "No".
            if (!withCancel && !cannotCancel && noCallback != nullptr && context != nullptr) {
                noCallback(context);
            }
            break;
        default: break;
    }
}
