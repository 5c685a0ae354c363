#include "game/menus/LoadingMenu.h"

#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/MenuScene.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

LoadingMenu::LoadingMenu() {
    AddMenuItem<ZMenuLabel>(*this, GameMenuText("Loading", "Loading"), 512.0f, 384.0f, 0, 1.0f);
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = true;
    scene.wipe = 0.0f;
    scene.textLayerVisible = false;
}

LoadingMenu::~LoadingMenu() {
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = false;
    scene.textLayerVisible = true;
    scene.wipe = 0.0f;
}

void LoadingMenu::SetTarget(const ZString& campaignFile, const bool continueGame, const bool newGame) {
    m_campaignFile = campaignFile;
    m_continue = continueGame;
    m_newGame = newGame;
}

void LoadingMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::InDone) {
        KorvanthGame* game = KorvanthGame::Get();
        // A campaign that cannot start leaves this screen up with its log
        // line; Cancel goes back.
        m_closePending = game != nullptr && gameflow::StartCampaign(*game, m_campaignFile, m_continue, m_newGame);
    } else if (event.kind == ZMenuEventKind::Tick && m_closePending) {
        // Play begins: every menu goes (the manager takes requests again by
        // the frame's tick, not while it reports the finished opening).
        m_closePending = false;
        GetMenuMgr()->CloseAll(ZMenuMgr::kForward);
    }
}
