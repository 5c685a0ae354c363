#include "menu/TitleMenu.h"

#include <cstring>

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZTitleShader.h"
#include "renderer/ZFont.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"

namespace {

constexpr float kFadeSeconds = 1.5f;

ZString TitleText(const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("TitleMenu"), ZHashedString(key));
}

float SmootherStep(const float x) { return x * x * x * (x * (6.0f * x - 15.0f) + 10.0f); }

}  // namespace

TitleMenu::TitleMenu() {
    Build();
    m_fadeTimer = kFadeSeconds;
}

void TitleMenu::Build() {
    m_fadeTimer = 0.0f;
    m_titleCard = nullptr;
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (game->ShowsTitleCard()) {
        m_titleCard = new ZQuadRenderable();
        m_titleCard->shader = new ZTitleShader();
        m_titleCard->visible = false;
        if (ZRenderer* renderer = PeekRenderer()) {
            if (ZRenderGroup* group = renderer->FindRenderGroup(game->GetTitleScreenGroupName())) {
                group->Add(m_titleCard);
            }
        }
    }
    m_exitRequested = false;
    cannotCancel = true;

    const bool demo = game->IsDemoMode();
    const auto add = [this](const char* key, const float y) {
        ZMenuItem* item = ZMenuItem::Create(TitleText(key), 512.0f, y, 0, 1.0f);
        item->name = ZHashedString(key);
        AddItem(item);
    };
    add("NewGame", 520.0f);
    if (!demo) {
        add("Options", 576.0f);
        add("Exit", 576.0f + 56.0f);
    }
    ArrangeItems(80.0f, 64.0f);
}

TitleMenu::~TitleMenu() {
    if (m_titleCard != nullptr) {
        if (ZRenderer* renderer = PeekRenderer()) {
            renderer->RemoveFromRenderGroup(ZBaseGame::GetInstance()->GetTitleScreenGroupName(), m_titleCard);
        }
        delete m_titleCard->shader;
        delete m_titleCard;
        m_titleCard = nullptr;
    }
}

void TitleMenu::ShowTitleCard(const bool show) {
    if (m_titleCard != nullptr) {
        m_titleCard->visible = show;
    }
}

void TitleMenu::OnConfirmExit(void* context) {
    auto* menu = static_cast<TitleMenu*>(context);
    menu->m_exitRequested = true;
    GetMenuMgr()->CloseAll(ZMenuMgr::kBack);
}

void TitleMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    ZBaseGame* game = ZBaseGame::GetInstance();
    switch (event.kind) {
        case ZMenuEventKind::Accept: {
            const ZMenuItem* selected = GetSelectedItem();
            const ZHashedString name = selected != nullptr ? selected->GetName() : ZHashedString::None();
            if (name == ZHashedString("NewGame")) {
                if (game->StartNewGame()) {
                    GetMenuMgr()->CloseAll(ZMenuMgr::kForward);
                    game->ResetGame(false);
                }
            } else if (name == ZHashedString("Options")) {
                GetMenuMgr()->OpenMenu(game->CreateOptionsMenu());
            } else if (name == ZHashedString("Exit")) {
                ZMenu* menu = game->CreateConfirmationMenu(false);
                if (auto* confirmation = dynamic_cast<ConfirmationMenu*>(menu)) {
                    confirmation->SetDescription(TitleText("ConfirmExit"));
                    confirmation->yesCallback = OnConfirmExit;
                    confirmation->context = this;
                }
                GetMenuMgr()->OpenMenu(menu);
            }
            break;
        }
        case ZMenuEventKind::Opened:
            game->OnTitleMenuOpened(this);
            ShowTitleCard(true);
            break;
        case ZMenuEventKind::Closing:
        case ZMenuEventKind::Covered: ShowTitleCard(false); break;
        case ZMenuEventKind::Resumed:
            ShowTitleCard(true);
            if (m_exitRequested) {
                m_exitRequested = false;
                game->Exit();
            }
            break;
        case ZMenuEventKind::Tick:
            FadeInScene();
            if (game->ShowsTitleText()) {
                DrawTextTitle();
            }
            break;
        default: break;
    }
}

float TitleMenu::StepFade(float& timer, const float frameTime) {
    if (timer < 0.0f) {
        return 1.0f;
    }
    timer -= frameTime;
    return timer > 0.0f ? 1.0f - SmootherStep(timer / kFadeSeconds) : 1.0f;
}

void TitleMenu::FadeInScene() {
    ZBaseGame* game = ZBaseGame::GetInstance();
    game->SetScreenFadeLevel(StepFade(m_fadeTimer, game->GetEngineFrameTime()));
}

void TitleMenu::DrawTextTitle() {
    ZBaseGame* game = ZBaseGame::GetInstance();
    ZFont* font = game->GetMenuFont();
    if (font == nullptr || font->GetLineHeight() <= 0) {
        return;
    }
    const char* title = game->GetGameTitle();
    const auto length = static_cast<int32_t>(std::strlen(title));
    const float s0 = 56.0f / static_cast<float>(font->GetLineHeight());
    float w = 0.0f;
    float h = 0.0f;
    font->DrawTextFormatted(title, length, &w, &h, s0, s0);
    if (!(w > 0.0f)) {
        return;
    }
    const float scale = s0 * 768.0f / w;
    const ZColor32 color = ZColor32::FromARGB(GetMenuMgr()->GetOverlayColor());
    font->DrawText(title, length, 128.0f, 192.0f - h / 2.0f, scale, scale, color, color, 4.0f);
}
