#include "game/menus/DemoIdleMenu.h"

#include <cstdio>

#include "framework/ZBaseGame.h"
#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

DemoIdleMenu::DemoIdleMenu(const float duration, const bool noPrompt)
    : ZUpdatable(1), m_remaining(duration > 0.0f ? duration : 15.99f) {
    if (!noPrompt) {
        AddMenuItem(*this, GameMenuText("DemoIdleMenu", "Prompt"), 512.0f, 480.0f, 0, 1.0f, "Resume");
    } else {
        cannotCancel = true;
    }
    m_countdown = AddMenuItem<ZMenuLabel>(*this, ZString(), 512.0f, 400.0f, 0, 1.0f);
    UpdateCountdown();
    Arrange(80.0f, 64.0f);
}

ZString DemoIdleMenu::CountdownText(const int32_t seconds) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", seconds);
    // The translated text is never a printf format: its first "%d" takes the number.
    const ZString text = GameMenuText("DemoIdleMenu", "Countdown");
    const int32_t at = text.Find("%d", 0);
    if (at < 0) return text;
    return text.Left(at) + number + text.Mid(at + 2, text.GetLength());
}

void DemoIdleMenu::UpdateCountdown() {
    m_countdown->SetText(CountdownText(static_cast<int32_t>(m_remaining)));
}

void DemoIdleMenu::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 1) != 0) m_remaining -= timeStep;
}

void DemoIdleMenu::PostUpdate(float /*timeStep*/, const uint8_t mask) {
    if ((mask & 1) == 0 || m_remaining > 0.0f || m_expired) return;
    m_expired = true;
    KorvanthGame* game = KorvanthGame::Get();
    if (game != nullptr) gameflow::ReloadSavedState(*game, true);
    gameflow::SetGameInProgress(false);
    ZMenuMgr* menus = GetMenuMgr();
    menus->CloseAll(ZMenuMgr::kBack);
    if (game != nullptr) menus->OpenMenu(game->CreateTitleMenu(0));
}

void DemoIdleMenu::Dismiss() {
    // Over a running game every menu goes and play resumes. With no game (the
    // title below) only this screen goes: closing the title would leave
    // nothing on screen.
    if (gameflow::IsGameInProgress()) {
        GetMenuMgr()->CloseAll(ZMenuMgr::kBack);
    } else {
        GetMenuMgr()->CloseMenu();
    }
}

void DemoIdleMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    const bool wasLocked = cannotCancel;
    // Cancel is this menu's to answer, not the base's.
    cannotCancel = true;
    ZMenu::HandleAction(event, mouse);
    cannotCancel = wasLocked;
    switch (event.kind) {
        case ZMenuEventKind::Accept: {
            const ZMenuItem* selected = GetSelectedItem();
            if (selected != nullptr && selected->GetName() == ZHashedString("Resume")) Dismiss();
            break;
        }
        case ZMenuEventKind::Cancel:
            if (!cannotCancel) Dismiss();
            break;
        case ZMenuEventKind::Tick: UpdateCountdown(); break;
        default: break;
    }
}

bool OpenDemoIdleWhenDue(float& idleSeconds) {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZMenuMgr* const menus = PeekMenuMgr();
    if (game == nullptr || !game->IsDemoMode() || menus == nullptr) return false;
    if (dynamic_cast<DemoIdleMenu*>(menus->GetTopMenu()) != nullptr) {
        idleSeconds = 0.0f;
        return false;
    }
    const bool menuActive = menus->GetOpenMenuCount() > 0 || menus->GetQueuedOpenCount() > 0;
    if (!(idleSeconds > (menuActive ? 15.0f : 45.0f))) return false;
    idleSeconds = 0.0f;
    menus->OpenMenu(new DemoIdleMenu(0.0f, false));
    return true;
}

void StartDemoReset() {
    ZMenuMgr* menus = GetMenuMgr();
    const auto* counting = dynamic_cast<const DemoIdleMenu*>(menus->GetTopMenu());
    if (counting != nullptr && counting->cannotCancel) return;
    menus->CloseAll(ZMenuMgr::kBack);
    menus->OpenMenu(new DemoIdleMenu(5.99f, true));
}
