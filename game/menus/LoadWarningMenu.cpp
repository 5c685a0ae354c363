#include "game/menus/LoadWarningMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/LoadingMenu.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZFont.h"

LoadWarningMenu::LoadWarningMenu(const ZHashedString warningKey) {
    static const ZHashedString kFile("KorvanthMenus");
    static const ZHashedString kSection("Loading");
    m_warningText = ZLocMgr::GetInstance()->GetString(kFile, kSection, warningKey).ExpandNewlines();
    cannotCancel = true;
    AddMenuItem(*this, GameMenuText("Loading", "Okay"), 512.0f, 576.0f, 0, 0.65f);
    auto* panel = new ZMenuUnderlay();
    panel->SetPosition(512.0f, 384.0f);
    panel->SetSize(832.0f, 576.0f);
    panel->Refresh();
    underlays.PushBack(panel);
}

void LoadWarningMenu::SetTarget(const ZString& campaign) {
    m_targetCampaign = campaign;
    m_continue = true;
    m_newGame = false;
}

void LoadWarningMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Accept:
        case ZMenuEventKind::Cancel: {
            if (m_answered) break;
            m_answered = true;
            auto* loading = new LoadingMenu();
            loading->SetTarget(m_targetCampaign, m_continue, m_newGame);
            GetMenuMgr()->OpenMenu(loading);
            break;
        }
        case ZMenuEventKind::Tick: DrawWarning(); break;
        default: break;
    }
}

void LoadWarningMenu::DrawWarning() const {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
    if (font == nullptr || font->GetLineHeight() <= 0 || m_warningText.IsEmpty()) return;
    const float s = 0.55f * 56.0f / static_cast<float>(font->GetLineHeight());
    const ZColor32 colour = ZColor32::FromARGB(GetMenuMgr()->GetOverlayColor());
    font->DrawText(m_warningText.GetText(), m_warningText.GetLength(), 160.0f, 160.0f, s, s, colour, colour, 2.0f,
                   704.0f, 2000.0f);
}
