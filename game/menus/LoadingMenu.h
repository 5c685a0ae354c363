#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

// The screen that stands while a campaign starts: one centred "Loading"
// line. Once its opening transition is over it starts the campaign file it
// was given, as a new game or continuing the saved one; the start closes
// every menu. While it exists the world's text layer is hidden and the wipe
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
    bool m_closePending = false;  // the campaign started; the menus close at the next tick
};
