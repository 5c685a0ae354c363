#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class ZMenuLabel;

// A notice with one "OK" button. OK and the Cancel control both close it and
// then call the callback (when a context is set).
class MessageMenu : public ZMenu {
public:
    using Callback = void (*)(void* context);

    MessageMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Shows the notice and fits the underlay to it again.
    void SetDescription(const ZString& description);

    Callback callback = nullptr;
    ZMenuLabel* descriptionLabel = nullptr;  // owned through the item list
    void* context = nullptr;
};
