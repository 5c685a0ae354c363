#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class ZMenuLabel;

// A yes/no question (optionally with a third "Cancel" button) that another
// menu opens over itself. Yes calls the yes callback, No and the Cancel
// control the no callback, the "Cancel" button none; each closes the menu
// first. Callbacks run only when a context is set. The selection starts on
// "No" ("Cancel" with three buttons), never on "Yes".
class ConfirmationMenu : public ZMenu {
public:
    using Callback = void (*)(void* context);

    explicit ConfirmationMenu(bool withCancel);

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Shows the question and fits the underlay to it again.
    void SetDescription(const ZString& description);

    Callback yesCallback = nullptr;
    Callback noCallback = nullptr;
    ZMenuLabel* descriptionLabel = nullptr;  // owned through the item list
    void* context = nullptr;
    bool withCancel = false;
};
