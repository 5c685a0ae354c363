#include "game/menus/KorvanthAudioMenu.h"

#include "game/menus/GameMenuSupport.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

namespace {

const ZHashedString& Audio() {
    static const ZHashedString kAudio("Audio");
    return kAudio;
}

bool ReverbOn() {
    const bool* reverb = FindConfigBool(Audio(), ZHashedString("Reverb"));
    return reverb != nullptr && *reverb;
}

}  // namespace

KorvanthAudioMenu::KorvanthAudioMenu() {
    cannotCancel = true;
    AddMenuItem(*this, EngineMenuText("AudioMenu", "Back"), 512.0f, 576.0f, 0, 1.0f);
    ZMenuItem* reverb = AddMenuItem(*this, ReverbText(), 512.0f, 448.0f, 0, 1.0f, "Spinner_Reverb");
    reverb->kind = ZMenuItem::kHorizontal;
    struct Row {
        float y;
        const char* label;
        const char* variable;
    };
    static const Row kRows[] = {
        {256.0f, "MasterVolume", "MasterVolume"},
        {320.0f, "VolumeBGM", "MusicVolume"},
        {384.0f, "VolumeSFX", "SoundVolume"},
    };
    for (const Row& row : kRows) {
        AddValueSpinner(332.8f, row.y, 0.5f, 0.8f, EngineMenuText("AudioMenu", row.label), ZString(), nullptr, Audio(),
                        ZHashedString(row.variable), "%.2f");
    }
    CentreAndWidenPanel(ArrangeItems(80.0f, 64.0f));
}

ZString KorvanthAudioMenu::ReverbText() const {
    return SwitchText(GameMenuText("AudioMenu", "Reverb"), GameMenuText("AudioMenu", ReverbOn() ? "On" : "Off"));
}

void KorvanthAudioMenu::ToggleReverb() {
    ZMenuItem* selected = GetSelectedItem();
    if (selected == nullptr || !(selected->GetName() == ZHashedString("Spinner_Reverb"))) return;
    // The setter runs the reverb's change callback, which applies it.
    SetConfigBool(Audio(), ZHashedString("Reverb"), !ReverbOn());
    selected->SetText(ReverbText());
}

void KorvanthAudioMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight: ToggleReverb(); break;
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) GetMenuMgr()->CloseMenu();
            break;
        case ZMenuEventKind::Cancel: GetMenuMgr()->CloseMenu(); break;
        default: break;
    }
}
