#include "menu/TextEntryMenu.h"

#include "menu/MenuTexts.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSlider.h"
#include "menu/ZMenuSpinner.h"
#include "menu/ZMenuTextField.h"

TextEntryMenu::TextEntryMenu(const bool allowCancelIn) : allowCancel(allowCancelIn) {
    cannotCancel = true;
    ZMenuItem* accept =
        ZMenuItem::Create(MenuText("TextEntryMenu", "Accept"), allowCancel ? 256.0f : 512.0f, 440.0f, 0, 1.0f);
    accept->name = ZHashedString("Accept");
    AddItem(accept);
    if (allowCancel) {
        ZMenuItem* cancel = ZMenuItem::Create(MenuText("TextEntryMenu", "Cancel"), 768.0f, 440.0f, 0, 1.0f);
        cancel->name = ZHashedString("Cancel");
        AddItem(cancel);
    }
    descriptionLine = ZMenuItem::Create<ZMenuLabel>(ZString(), 512.0f, 216.0f, 0, 0.75f);
    AddItem(descriptionLine);
    textField = ZMenuItem::Create<ZMenuTextField>(ZString("Text Entry"), 512.0f, 328.0f, 0, 1.0f);
    textField->SetText(ZString("Text Entry"));
    AddItem(textField);
    valueRow = AddValueSpinner(256.0f, 384.0f, 1.0f, 1.0f, MenuText("AudioMenu", "VolumeSFX"),
                               MenuText("AudioMenu", "VolumeSFXDesc"), descriptionLine, ZHashedString::None(),
                               ZHashedString("FOV"), "%.0f");
    AddItem(ZMenuItem::Create<ZMenuSpinner>(ZString(), 512.0f, 664.0f, 0, 1.0f));
    Arrange(80.0f, 64.0f);
}

void TextEntryMenu::SetDescription(const ZString& text) {
    if (descriptionLine != nullptr) {
        descriptionLine->SetText(text);
    }
}

void TextEntryMenu::AdjustBackdropOpacity(float* opacity) {
    if (opacity != nullptr) {
        *opacity = 0.0f;
    }
}

void TextEntryMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    const bool acceptButton = event.kind == ZMenuEventKind::Accept && selectedIndex == 0;
    const bool cancelButton = event.kind == ZMenuEventKind::Accept && selectedIndex == 1 && allowCancel;
    const bool cancelEvent = event.kind == ZMenuEventKind::Cancel && allowCancel;
    if (acceptButton || cancelButton || cancelEvent) {
        GetMenuMgr()->CloseMenu();
    }
}
