#include "game/menus/KorvanthCRTMenu.h"

#include "framework/ZConfigVar.h"
#include "game/menus/CRTTunerMenu.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/MenuScene.h"
#include "game/menus/TunerConfirmationMenu.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

namespace {

const ZHashedString& VideoSection() {
    static const ZHashedString kVideo("Video");
    return kVideo;
}

void SetTunerActive(const bool on) {
    GetMenuScene().tunerPreviewVisible = on;
    if (KorvanthGame* game = KorvanthGame::Get()) game->m_tunerActive = on;
}

}  // namespace

KorvanthCRTMenu::KorvanthCRTMenu() {
    cannotCancel = true;
    SetTunerActive(true);
    const ZMenuItem* back = AddMenuItem(*this, EngineMenuText("GameOptionsMenu", "Back"), 512.0f, 640.0f, 0, 1.0f);
    const bool* crtSim = FindConfigBool(VideoSection(), ZHashedString("CRTSim"));
    m_crtSim = crtSim != nullptr && *crtSim;
    ZMenuItem* spinner = AddMenuItem(*this, SpinnerText(), 512.0f, 192.0f, 0, 1.0f, "SpinnerButton_CRT_SIM");
    spinner->kind = ZMenuItem::kHorizontal;
    struct Button {
        const char* name;
        const char* key;
    };
    static const Button kButtons[4] = {
        {"TunerButton_Shape", "CRTTuner_Shape"},
        {"TunerButton_Color", "CRTTuner_Color"},
        {"TunerButton_Lighting", "CRTTuner_Lighting"},
        {"ResetButton", "Reset"},
    };
    for (int32_t i = 0; i < 4; ++i) {
        m_buttons[i] = AddMenuItem(*this, GameMenuText("GameOptions", kButtons[i].key), 512.0f,
                                   256.0f + 64.0f * static_cast<float>(i), 0, 1.0f, kButtons[i].name);
    }
    ArrangeAround(*this, {spinner, m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3]}, 80.0f, 64.0f);
    ArrangeAround(*this, {back}, 80.0f, 64.0f);
    SetTunerButtonsSelectable();
}

KorvanthCRTMenu::~KorvanthCRTMenu() { SetTunerActive(false); }

ZString KorvanthCRTMenu::SpinnerText() const {
    return SwitchText(GameMenuText("GameOptions", "CRTSim"), GameMenuText("GameOptions", m_crtSim ? "On" : "Off"));
}

void KorvanthCRTMenu::SetTunerButtonsSelectable() {
    for (ZMenuItem* button : m_buttons) button->selectable = m_crtSim;
}

void KorvanthCRTMenu::ToggleCRTSim() {
    m_crtSim = !m_crtSim;
    if (ZMenuItem* spinner = GetSelectedItem()) spinner->SetText(SpinnerText());
    // The setter runs the pass switch (which also turns anaglyph 3D off).
    SetConfigBool(VideoSection(), ZHashedString("CRTSim"), m_crtSim);
    SetTunerButtonsSelectable();
}

void KorvanthCRTMenu::ResetCRTSettings(void* /*context*/) {
    ResetConfigVar(ZHashedString::None(), ZHashedString("FOV"));
    for (const char* section : {"CRT", "NTSC", "Lighting"}) ResetConfigSection(ZHashedString(section));
}

void KorvanthCRTMenu::AdjustBackdropOpacity(float* opacity) { TransitionOnlyBackdrop(opacity); }

void KorvanthCRTMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    const ZMenuItem* selected = GetSelectedItem();
    const ZHashedString name = selected != nullptr ? selected->GetName() : ZHashedString::None();
    switch (event.kind) {
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight:
            if (name == ZHashedString("SpinnerButton_CRT_SIM")) ToggleCRTSim();
            break;
        case ZMenuEventKind::Accept: {
            CRTTunerMenu* page = nullptr;
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
            } else if (name == ZHashedString("TunerButton_Shape")) {
                page = new CRTTunerShapeMenu();
            } else if (name == ZHashedString("TunerButton_Color")) {
                page = new CRTTunerColorMenu();
            } else if (name == ZHashedString("TunerButton_Lighting")) {
                page = new CRTTunerLightingMenu();
            } else if (name == ZHashedString("ResetButton")) {
                auto* confirmation = new TunerConfirmationMenu();
                confirmation->SetDescription(GameMenuText("KorvanthCRTMenu", "ConfirmReset"));
                confirmation->yesCallback = ResetCRTSettings;
                confirmation->context = this;
                GetMenuMgr()->OpenMenu(confirmation);
            }
            if (page != nullptr) {
                page->BuildItems();
                GetMenuMgr()->OpenMenu(page);
            }
            break;
        }
        case ZMenuEventKind::Cancel: GetMenuMgr()->CloseMenu(); break;
        default: break;
    }
}
