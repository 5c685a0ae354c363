#include "menu/VideoKeepMenu.h"

#include <cmath>
#include <cstdio>

#include "foundation/ZTimer.h"
#include "framework/ZBaseGame.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuMgr.h"

namespace {

void RevertCallback(void* context) { static_cast<VideoKeepMenu*>(context)->Revert(); }

}  // namespace

VideoKeepMenu::VideoKeepMenu(const Settings& previousIn) : ConfirmationMenu(false), previous(previousIn) {
    clock = [] { return gTimer.GetElapsed(); };
    context = this;
    noCallback = RevertCallback;
    secondsLeft = static_cast<int32_t>(kSeconds);
    ShowSecondsLeft();
}

VideoKeepMenu::Settings VideoKeepMenu::CurrentSettings() {
    Settings s;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return s;
    }
    s.fullscreen = game->m_fullscreen;
    s.width = game->m_fullscreen ? game->m_widthFullscreen : game->m_widthWindowed;
    s.height = game->m_fullscreen ? game->m_heightFullscreen : game->m_heightWindowed;
    s.vsync = game->m_vsync;
    s.fullscreenWindowed = game->m_fullscreenWindowed;
    s.stretch = game->m_fullscreenWindowedStretch;
    s.fxaa = game->m_fxaa;
    s.tate = game->m_tate;
    return s;
}

void VideoKeepMenu::ShowSecondsLeft() {
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%d", secondsLeft);
    // The translated question is not a format: its "%d" is replaced as text.
    SetDescription(MenuText("VideoMenu", "KeepChanges").ExpandNewlines().Replace("%d", seconds));
}

void VideoKeepMenu::Revert() {
    if (reverted) {
        return;
    }
    reverted = true;
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetAllVideoOptions(previous.width, previous.height, previous.vsync, previous.fullscreen,
                                 previous.fullscreenWindowed, previous.stretch, previous.fxaa, previous.tate);
    }
}

void VideoKeepMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    const bool button = event.kind == ZMenuEventKind::Accept && (selectedIndex == 0 || selectedIndex == 1);
    answered = answered || button || event.kind == ZMenuEventKind::Cancel;
    ConfirmationMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Tick || answered || reverted) {
        return;
    }
    const double now = clock ? clock() : 0.0;
    if (deadline < 0.0) {
        deadline = now + kSeconds;
    }
    const int32_t left = static_cast<int32_t>(std::ceil(deadline - now));
    if (left <= 0) {
        answered = true;
        GetMenuMgr()->CloseMenu();
        Revert();
        return;
    }
    if (left != secondsLeft) {
        secondsLeft = left;
        ShowSecondsLeft();
    }
}
