#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

// The screen that stands while a campaign starts: one centred "Loading"
// line. Once its opening transition is over it starts the campaign file it
// was given, as a new game or continuing the saved one; then every menu
// closes. A campaign that cannot start brings the title back. While it exists the world's text layer is hidden and the wipe
// overlay shown.
class LoadingMenu : public ZMenu {
public:
    LoadingMenu();
    ~LoadingMenu() override;

    // The campaign file, whether to continue the saved game, and whether to
    // start it as a new game.
    void SetTarget(const ZString& campaignFile, bool continueGame, bool newGame = false);
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

    const ZString& GetCampaignFile() const { return m_campaignFile; }
    bool IsContinue() const { return m_continue; }
    bool IsNewGame() const { return m_newGame; }

private:
    ZString m_campaignFile;
    bool m_continue = false;
    bool m_newGame = false;
    // What the start did, acted on at the next tick: play begins (every menu
    // closes), or the title comes back.
    enum class Outcome { kPending, kStarted, kFailed };
    Outcome m_outcome = Outcome::kPending;
};
