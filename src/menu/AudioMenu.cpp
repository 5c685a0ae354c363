#include "menu/AudioMenu.h"


#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

AudioMenu::AudioMenu() {
    AddItem(ZMenuItem::Create(MenuText("AudioMenu", "Back"), 512.0f, 576.0f, 0, 1.0f));
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
        AddValueSpinner(332.8f, row.y, 0.5f, 0.8f, MenuText("AudioMenu", row.label), ZString(), nullptr,
                        ZHashedString("Audio"), ZHashedString(row.variable), "%.2f");
    }
    CentreAndWidenPanel(ArrangeItems(80.0f, 64.0f));
}

void AudioMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::Accept && selectedIndex == 0) {
        GetMenuMgr()->CloseMenu();
    }
}
