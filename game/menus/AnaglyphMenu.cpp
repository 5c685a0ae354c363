#include "game/menus/AnaglyphMenu.h"

#include "framework/ZConfigVar.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/TunerConfirmationMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSpinner.h"

namespace {

const ZHashedString& Video() {
    static const ZHashedString kVideo("Video");
    return kVideo;
}
const ZHashedString& Anaglyph() {
    static const ZHashedString kAnaglyph("Anaglyph");
    return kAnaglyph;
}

}  // namespace

AnaglyphMenu::AnaglyphMenu() {
    cannotCancel = true;
    const bool* on = FindConfigBool(Video(), ZHashedString("Anaglyph3D"));
    const bool* swap = FindConfigBool(Anaglyph(), ZHashedString("EyeSwap"));
    m_anaglyph3D = on != nullptr && *on;
    m_eyeSwap = swap != nullptr && *swap;
    const ZMenuItem* back = AddMenuItem(*this, EngineMenuText("GameOptionsMenu", "Back"), 512.0f, 672.0f, 0, 1.0f);
    ZMenuItem* anaglyph =
        AddMenuItem(*this, SwitchLine("Anaglyph3D", m_anaglyph3D), 512.0f, 96.0f, 0, 1.0f, "SpinnerButton_ANAGLYPH");
    ZMenuItem* eyeSwap =
        AddMenuItem(*this, SwitchLine("EyeSwap", m_eyeSwap), 512.0f, 160.0f, 0, 1.0f, "SpinnerButton_EYE_SWAP");
    anaglyph->kind = ZMenuItem::kHorizontal;
    eyeSwap->kind = ZMenuItem::kHorizontal;
    const ZMenuItem* reset = AddMenuItem(*this, GameMenuText("GameOptions", "Reset"), 512.0f, 608.0f, 0, 1.0f,
                                         "ResetButton");
    ZMenuLabel* description =
        AddMenuItem<ZMenuLabel>(*this, ZString(" ").ExpandNewlines(), 512.0f, 544.0f, 0, 0.375f);
    ArrangeAround(*this, {anaglyph, eyeSwap}, 80.0f, 64.0f);
    WidenPanel(ArrangeAround(*this, {back, description, reset}, 80.0f, 64.0f), 960.0f);
    struct Row {
        float y;
        const char* label;
        const char* variable;
        bool zeroMark;
    };
    static const Row kRows[] = {
        {320.0f, "Desat", "Desaturation", false}, {348.0f, "Bright", "Brightness", false},
        {376.0f, "RedTint", "RedTint", true},     {404.0f, "BlueTint", "BlueTint", true},
        {432.0f, "Dim", "BackgroundDimming", false},
    };
    for (const Row& row : kRows) {
        const ZString descKey = ZString(row.label) + "Desc";
        ZMenuSpinner* spinner = AddValueSpinner(400.0f, row.y, 0.375f, 0.5f, GameMenuText("AnaglyphMenu", row.label),
                                                GameMenuText("AnaglyphMenu", descKey.GetText()), description,
                                                Anaglyph(), ZHashedString(row.variable), "%.2f");
        if (spinner != nullptr && row.zeroMark && spinner->maximum > spinner->minimum) {
            spinner->AddSnapPoint((0.0f - spinner->minimum) / (spinner->maximum - spinner->minimum));
        }
    }
}

ZString AnaglyphMenu::SwitchLine(const char* labelKey, const bool on) const {
    return SwitchText(GameMenuText("GameOptions", labelKey), GameMenuText("GameOptions", on ? "On" : "Off"));
}

void AnaglyphMenu::ToggleAnaglyph3D() {
    m_anaglyph3D = !m_anaglyph3D;
    if (ZMenuItem* item = GetSelectedItem()) item->SetText(SwitchLine("Anaglyph3D", m_anaglyph3D));
    // The setter re-selects the pass set (and turns the CRT simulation off).
    SetConfigBool(Video(), ZHashedString("Anaglyph3D"), m_anaglyph3D);
}

void AnaglyphMenu::ToggleEyeSwap() {
    m_eyeSwap = !m_eyeSwap;
    if (ZMenuItem* item = GetSelectedItem()) item->SetText(SwitchLine("EyeSwap", m_eyeSwap));
    SetConfigBool(Anaglyph(), ZHashedString("EyeSwap"), m_eyeSwap);
    // The swap has no callback of its own: re-select the passes as the output switch does.
    if (bool* on = FindConfigBool(Video(), ZHashedString("Anaglyph3D"))) SetConfigBool(Video(), ZHashedString("Anaglyph3D"), *on);
}

void AnaglyphMenu::ResetAnaglyphSettings(void* /*context*/) {
    ResetConfigSection(Anaglyph());
    GetMenuMgr()->CloseMenu();
}

void AnaglyphMenu::AdjustBackdropOpacity(float* opacity) { TransitionOnlyBackdrop(opacity); }

void AnaglyphMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    const ZMenuItem* selected = GetSelectedItem();
    const ZHashedString name = selected != nullptr ? selected->GetName() : ZHashedString::None();
    switch (event.kind) {
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight:
            if (name == ZHashedString("SpinnerButton_ANAGLYPH")) {
                ToggleAnaglyph3D();
            } else if (name == ZHashedString("SpinnerButton_EYE_SWAP")) {
                ToggleEyeSwap();
            }
            break;
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
            } else if (name == ZHashedString("ResetButton")) {
                auto* confirmation = new TunerConfirmationMenu();
                confirmation->SetDescription(GameMenuText("AnaglyphMenu", "ConfirmReset"));
                confirmation->yesCallback = ResetAnaglyphSettings;
                confirmation->context = this;
                GetMenuMgr()->OpenMenu(confirmation);
            }
            break;
        case ZMenuEventKind::Cancel: GetMenuMgr()->CloseMenu(); break;
        default: break;
    }
}
