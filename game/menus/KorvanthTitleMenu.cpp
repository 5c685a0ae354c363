#include "game/menus/KorvanthTitleMenu.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "audio/ZAudioMgr.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUserFolders.h"
#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "game/menus/CampaignMenu.h"
#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MessageMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "platform/os/files.h"
#include "menu/ZTitleShader.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

// The hidden sequence: up up down down left right left right, cancel, accept.
constexpr int32_t kTheCode[KorvanthTitleMenu::kCodeLength] = {1, 1, 2, 2, 3, 4, 3, 4, 5, 6};

ZString TitleText(const char* key) { return GameMenuText("KorvanthTitleMenu", key); }

float Saturate(const float x) { return std::clamp(x, 0.0f, 1.0f); }

}  // namespace

const int32_t* KorvanthTitleMenu::GetCode() { return kTheCode; }

KorvanthTitleMenu::KorvanthTitleMenu(const bool startOnMainPage)
    : m_prompt(ZHashedString("VisOnly"), ZHashedString("PressStart"), true) {
    std::copy(kTheCode, kTheCode + kCodeLength, m_code);
    cannotCancel = true;
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (game->ShowsTitleCard()) {
        m_backdrop = new ZQuadRenderable();
        m_backdrop->shader = new ZTitleShader("title.fxo", ZHashedString("Korvanth Title Shader"));
        m_backdrop->visible = false;
        // The picture's own parameters come from this menu.
        ZTransform::SetParent(m_backdrop, static_cast<ZParameterSource*>(this));
        if (ZRenderer* renderer = PeekRenderer()) {
            if (ZRenderGroup* group = renderer->FindRenderGroup(game->GetTitleScreenGroupName())) {
                group->Add(m_backdrop);
            }
        }
    }
    if (startOnMainPage) {
        BuildMainPage(false);
        return;
    }
    BuildPressStartPage();
    m_titleFade = kFadeSeconds;
}

KorvanthTitleMenu::~KorvanthTitleMenu() {
    if (m_codeEntered) GetAudioMgr()->ReleaseSound(ZHashedString("QMW Stinger"));
    if (m_backdrop != nullptr) {
        if (ZRenderer* renderer = PeekRenderer()) {
            renderer->RemoveFromRenderGroup(ZBaseGame::GetInstance()->GetTitleScreenGroupName(), m_backdrop);
        }
        delete m_backdrop->shader;
        delete m_backdrop;
    }
}

void KorvanthTitleMenu::BuildPressStartPage() {
    m_onPressStart = true;
    m_pressStart = AddMenuItem(*this, ZString(), 512.0f, 656.0f, 7, 1.0f, "PressStart");
    RefreshPressStartText(true);
}

void KorvanthTitleMenu::RefreshPressStartText(const bool force) {
    bool changed = false;
    const ZString& input = FormatInputPrompt(m_prompt, changed);
    if (m_pressStart == nullptr || (!changed && !force)) return;
    // The prompt goes in by replacement, never as a printf format.
    m_pressStart->SetText(TitleText("PressStart").Replace("%s", input.GetText()));
}

void KorvanthTitleMenu::BuildMainPage(const bool fromPressStart) {
    m_titleFade = 0.0f;
    m_pressStart = nullptr;
    m_onPressStart = false;
    m_exitPending = false;
    m_pageTransition = fromPressStart ? kPageSeconds : 0.0f;
    ZBaseGame* game = ZBaseGame::GetInstance();
    GetUserFolderPath(game->GetGameFolderName(), "Saves\\", true);
    const bool canContinue = gameflow::CanContinue();
    const bool demo = game->IsDemoMode();
    const float n = canContinue ? 4.0f : 3.0f;
    float row = -0.5f * n - 1.0f;
    const auto add = [&](const char* key) {
        AddMenuItem(*this, TitleText(key), 96.0f, 640.0f + 28.0f * row, 4, 0.5f, key);
        row += 1.0f;
    };
    if (canContinue) add("Continue");
    add("NewGame");
    if (!demo) add("Options");
    add("Exit");
    float min[2] = {10000.0f, 10000.0f};
    float max[2] = {-10000.0f, -10000.0f};
    for (const ZMenuItem* item : items) item->ExpandBounds(min, max);
    auto* panel = new ZMenuUnderlay();
    panel->SetPosition((min[0] + max[0]) * 0.5f, (min[1] + max[1]) * 0.5f);
    panel->SetSize(max[0] - min[0] + 160.0f, max[1] - min[1] + 128.0f);
    panel->Refresh();
    underlays.PushBack(panel);
    m_titleY = (min[1] + max[1]) * 0.5f - (max[1] - min[1]) * 0.5f - 64.0f;
    SetVisible(fromPressStart);
    if (fromPressStart) ShowBackdrop(true);
}

void KorvanthTitleMenu::RecordInput(const int32_t code) {
    std::copy(m_history + 1, m_history + kCodeLength, m_history);
    m_history[kCodeLength - 1] = code;
}

bool KorvanthTitleMenu::MatchesCode(const int32_t count) const {
    if (count <= 0) return true;
    if (count > kCodeLength) return false;
    return std::equal(m_history + kCodeLength - count, m_history + kCodeLength, m_code);
}

void KorvanthTitleMenu::LeaveForMainPage() {
    DeleteItems();
    DeleteUnderlays();
    BuildMainPage(true);
    NotifySelectedItem();
}

void KorvanthTitleMenu::ReturnToPressStart() {
    m_onPressStart = true;
    std::fill(m_history, m_history + kCodeLength, 0);
    m_titleY = 0.0f;
    m_pageTransition = -kPageSeconds;
    m_titleFade = 0.0f;
    std::copy(kTheCode, kTheCode + kCodeLength, m_code);
    m_exitPending = false;
    DeleteItems();
    DeleteUnderlays();
    m_pressStart = AddMenuItem(*this, ZString(), 512.0f, 656.0f, 7, 1.0f, "PressStart");
    RefreshPressStartText(true);
    m_pressStart->visible = true;
    Select(0);
}

void KorvanthTitleMenu::ShowBackdrop(const bool show) {
    if (m_backdrop != nullptr) m_backdrop->visible = show;
}

void KorvanthTitleMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    switch (event.kind) {
        case ZMenuEventKind::NavUp:
        case ZMenuEventKind::NavDown:
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight:
            if (m_onPressStart) RecordInput(event.kind - ZMenuEventKind::NavUp + kUp);
            break;
        case ZMenuEventKind::Accept: {
            const ZMenuItem* selected = GetSelectedItem();
            OnAccept(selected != nullptr ? selected->GetName() : ZHashedString::None());
            break;
        }
        case ZMenuEventKind::Cancel:
            if (m_onPressStart) {
                RecordInput(kCancel);
                if (!MatchesCode(kCodeLength - 1)) LeaveForMainPage();
            } else {
                ReturnToPressStart();
            }
            break;
        case ZMenuEventKind::Opened:
            game->OnTitleMenuOpened(this);
            ShowBackdrop(true);
            break;
        case ZMenuEventKind::Closing:
        case ZMenuEventKind::Covered: ShowBackdrop(false); break;
        case ZMenuEventKind::Resumed:
            ShowBackdrop(true);
            if (m_exitPending) {
                m_exitPending = false;
                game->Exit();
            }
            break;
        case ZMenuEventKind::Tick: Tick(); break;
        default: break;
    }
    ZMenu::HandleAction(event, mouse);
}

void KorvanthTitleMenu::OnAccept(const ZHashedString name) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (name == ZHashedString("PressStart")) {
        if (MatchesCode(kCodeLength)) {
            ZAudioMgr* audio = GetAudioMgr();
            // One reference a menu, given back by the destructor.
            if (!m_codeEntered) {
                audio->CreateSound("qmw.wav", ZHashedString("QMW Stinger"), game->GetSFXAudioGroupName(), false);
            }
            audio->PlaySound(ZHashedString("QMW Stinger"));
            m_codeEntered = true;
            const KorvanthGame* korvanth = KorvanthGame::Get();
            if (Player* player = korvanth != nullptr ? korvanth->GetPlayer() : nullptr) SetEnteredCode(*player, true);
        }
        RecordInput(kAccept);
        if (MatchesCode(kCodeLength)) {
            ++silentAccepts;
        } else {
            LeaveForMainPage();
        }
    } else if (name == ZHashedString("Continue")) {
        OnContinue();
    } else if (name == ZHashedString("NewGame")) {
        if (gameflow::CanContinue()) {
            ZMenu* menu = game->CreateConfirmationMenu(false);
            if (auto* confirmation = dynamic_cast<ConfirmationMenu*>(menu)) {
                confirmation->SetDescription(TitleText("ConfirmNewGame").ExpandNewlines());
                confirmation->yesCallback = OpenRandomizerSetup;
                confirmation->context = this;
            }
            GetMenuMgr()->OpenMenu(menu);
        } else {
            OpenRandomizerSetup(this);
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
}

void KorvanthTitleMenu::OnContinue() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    GetMenuMgr()->CloseAll(ZMenuMgr::kForward);
    gameflow::ReloadSavedState(*game, false);
    game->GetDisplay().SetUpWorldLayerMeshes(*game);
    SavedProgress progress;
    gameflow::ReadProgress(progress);
    if (progress.minimapVersion == 0 || (progress.randomized && progress.algorithmVersion < 15)) {
        auto* warning = new LoadWarningMenu(
            ZHashedString(progress.minimapVersion == 0 ? "MinimapWarning" : "RandomizerWarning"));
        warning->SetTarget(progress.campaign);
        GetMenuMgr()->OpenMenu(warning);
        return;
    }
    auto* loading = new LoadingMenu();
    loading->SetTarget(progress.campaign, true, false);
    GetMenuMgr()->OpenMenu(loading);
}

void KorvanthTitleMenu::OpenRandomizerSetup(void* context) {
    auto* setup = new RandomizerMenu();
    setup->owner = context;
    setup->completion = StartNewGame;
    GetMenuMgr()->OpenMenu(setup);
}

void KorvanthTitleMenu::OnConfirmExit(void* context) {
    static_cast<KorvanthTitleMenu*>(context)->m_exitPending = true;
    GetMenuMgr()->CloseAll(ZMenuMgr::kBack);
}

void KorvanthTitleMenu::StartNewGame(void* /*owner*/, const bool randomized, const ZString& seed) {
    // The choice waits for the campaign's start, whichever way it is chosen.
    gameflow::SetUpRandomizer(randomized, seed);
    ZArray<ZString> campaigns;
    ZStreamMgr::GetInstance()->FindFiles(campaigns, "*.kdd");
    if (campaigns.Count() > 1) {
        GetMenuMgr()->OpenMenu(new CampaignMenu());
        return;
    }
    gameflow::DiscardSavedGame();
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().SetUpWorldLayerMeshes(*game);
    auto* loading = new LoadingMenu();
    loading->SetTarget(campaigns.IsEmpty() ? ZString() : campaigns[0], false, true);
    GetMenuMgr()->OpenMenu(loading);
}

void KorvanthTitleMenu::Tick() {
    ZBaseGame* game = ZBaseGame::GetInstance();
    const float dt = game->GetEngineFrameTime();
    float& p = m_pageTransition;
    if (std::fabs(p) < 0.00001f) {
        p = 0.0f;
    } else if (p > 0.0f) {
        p = std::max(0.0f, p - dt);
    } else {
        p = std::min(0.0f, p + dt);
    }
    float& u = m_titleFade;
    if (std::fabs(u) < 0.00001f) {
        u = 0.0f;
        game->SetScreenFadeLevel(1.0f);
    } else if (u > 0.0f) {
        u = std::max(0.0f, u - dt);
        game->SetScreenFadeLevel(1.0f - SmootherStep(u / kFadeSeconds));
    } else {
        u = std::min(0.0f, u + dt);
        game->SetScreenFadeLevel(SmootherStep(-u / kFadeSeconds));
    }
    m_timeOpen += dt;
    RefreshPressStartText(false);
    if (m_titleFade == 0.0f && m_pageTransition == 0.0f && m_timeOpen >= kFadeSeconds) ShowDamagedSaveNotice();
}

void KorvanthTitleMenu::ShowDamagedSaveNotice() {
    ZMenuMgr* const menus = GetMenuMgr();
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr || menus->GetTopMenu() != this || !menus->GetRequests().IsEmpty() ||
        menus->GetTransitionState() != ZMenuMgr::kNone) {
        return;
    }
    const ZString kept = game->TakeDamagedSaveNotice();
    if (kept.IsEmpty()) return;
    auto* notice = new MessageMenu();
    // The path as the file system names it, put in after the line breaks are
    // made, so that nothing in it is read as one.
    const std::string path = os::TranslatePath(kept.GetText());
    notice->SetDescription(TitleText("DamagedSave").ExpandNewlines().Replace("%s", path.c_str()));
    menus->OpenMenu(notice);
}

void KorvanthTitleMenu::AdjustBackdropOpacity(float* opacity) {
    const float p = m_pageTransition;
    if (p > 0.0f) {
        *opacity = 1.0f - 2.0f * p;
    } else if (p < 0.0f) {
        *opacity = -2.0f * p;
    } else {
        *opacity = m_onPressStart ? 0.0f : 1.0f;
    }
}

void KorvanthTitleMenu::AdjustSlideY(float* slide) {
    if (m_pageTransition != 0.0f) *slide = SmootherStep(2.0f * std::fabs(m_pageTransition));
}

void KorvanthTitleMenu::AdjustTitleOffset(float* offset) {
    if (m_pressStart == nullptr) {
        *offset = 0.0f;
        return;
    }
    const float a = Saturate(m_timeOpen / kFadeSeconds);
    *offset = 0.2f * (1.0f - (1.0f - a) * (1.0f - a)) - 0.2f;
}

void KorvanthTitleMenu::AdjustTransitionProgress(float* progress) {
    if (m_pressStart != nullptr) *progress = Saturate(m_timeOpen / kFadeSeconds);
}

float KorvanthTitleMenu::GetBackdropEmphasis() {
    float& p = m_pageTransition;
    if (std::fabs(p) < 0.00001f) p = 0.0f;
    if (p > 0.0f) return SmootherStep(2.0f * p);
    if (p < 0.0f) return 1.0f - SmootherStep(-2.0f * p);
    return m_onPressStart ? 1.0f : 0.0f;
}

bool KorvanthTitleMenu::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                      ZParameterSource* source) {
    static const ZHashedString kScale("ExtraScaleMat");
    static const ZHashedString kTranslation("ExtraTransMat");
    static const ZHashedString kColour("BackdropColor");
    static const ZHashedString kTime("TimeIn");
    if (binding == nullptr) return false;
    if (binding->name == kScale) {
        const float s = GetBackdropScale();
        binding->SetMatrix(ZMatrix4::MakeScale(ZVector3(s, s, s)));
    } else if (binding->name == kTranslation) {
        binding->SetMatrix(ZMatrix4::Translation(ZVector3(0.0f, 0.0f, 0.0f)));
    } else if (binding->name == kColour) {
        binding->SetVector(ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (binding->name == kTime) {
        binding->SetFloat(m_timeOpen);
    } else {
        return ZParameterSource::SetParameters(binding, passName, source);
    }
    return true;
}
