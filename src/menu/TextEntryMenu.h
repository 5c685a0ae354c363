#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class ZMenuLabel;
class ZMenuSpinner;
class ZMenuTextField;

// The widget test page ("uitest"): buttons, a description line, a text field,
// a value row bound to FOV and a free slider, together on one screen. It draws
// no dimming backdrop.
class TextEntryMenu : public ZMenu {
public:
    explicit TextEntryMenu(bool allowCancel);

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void AdjustBackdropOpacity(float* opacity) override;
    void SetDescription(const ZString& text);

    ZMenuLabel* GetDescriptionLine() const { return descriptionLine; }
    ZMenuTextField* GetTextField() const { return textField; }
    ZMenuSpinner* GetValueRow() const { return valueRow; }

private:
    ZMenuLabel* descriptionLine = nullptr;  // owned by the item list
    ZMenuTextField* textField = nullptr;    // owned by the item list
    ZMenuSpinner* valueRow = nullptr;       // owned by the item list
    bool allowCancel = false;
};
