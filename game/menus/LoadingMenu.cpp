#include "game/menus/LoadingMenu.h"

#include "foundation/ZLog.h"
#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/MenuScene.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZFont.h"

namespace {

// The in-game text (the HUD font's renderable in the game's picture).
void SetTextLayerVisible(const bool visible) {
    const KorvanthGame* game = KorvanthGame::Get();
    if (ZFont* font = game != nullptr ? game->GetHUDFont() : nullptr) font->visible = visible;
}

}  // namespace

LoadingMenu::LoadingMenu() {
    AddMenuItem<ZMenuLabel>(*this, GameMenuText("Loading", "Loading"), 512.0f, 384.0f, 0, 1.0f);
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = true;
    scene.wipe = 0.0f;
    scene.textLayerVisible = false;
    SetTextLayerVisible(false);
}

LoadingMenu::~LoadingMenu() {
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = false;
    scene.textLayerVisible = true;
    scene.wipe = 0.0f;
    SetTextLayerVisible(true);
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
        m_outcome = game != nullptr && gameflow::StartCampaign(*game, m_campaignFile, m_continue, m_newGame)
                        ? Outcome::kStarted
                        : Outcome::kFailed;
    } else if (event.kind == ZMenuEventKind::Tick && m_outcome != Outcome::kPending) {
        // The manager takes requests again by the frame's tick, not while it
        // reports the finished opening.
        ZMenuMgr* menus = GetMenuMgr();
        menus->CloseAll(m_outcome == Outcome::kStarted ? ZMenuMgr::kForward : ZMenuMgr::kBack);
        if (m_outcome == Outcome::kFailed) {
            // The title may be gone (Continue closed it): bring it back rather
            // than leave an empty screen.
            ZLog::Printf("Campaign \"%s\" could not be started; back to the title", m_campaignFile.GetText());
            if (KorvanthGame* game = KorvanthGame::Get()) menus->OpenMenu(game->CreateTitleMenu(1));
        }
        m_outcome = Outcome::kPending;
    }
}
