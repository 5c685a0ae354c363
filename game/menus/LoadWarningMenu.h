#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "menu/ZMenu.h"

// A one-button popup between the title's Continue and the loading screen
// when the save was made by an older version: a warning text on a fixed
// panel and "Okay". Accept or Cancel opens the loading screen with the target
// the title handed over; the popup stays below it. It answers once: the
// manager may hand it Accept and Cancel in the same update, and a second
// loading screen would start the campaign again.
class LoadWarningMenu : public ZMenu {
public:
    // The warning's key in section "Loading" ("MinimapWarning", "RandomizerWarning").
    explicit LoadWarningMenu(ZHashedString warningKey);

    // Continue this campaign as the loading screen's target.
    void SetTarget(const ZString& campaign);
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

    const ZString& GetWarningText() const { return m_warningText; }

private:
    void DrawWarning() const;

    ZString m_warningText;
    ZString m_targetCampaign;
    bool m_continue = false;
    bool m_newGame = false;
    bool m_answered = false;  // the loading screen is on its way
};
