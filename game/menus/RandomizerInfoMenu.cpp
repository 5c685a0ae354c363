#include "game/menus/RandomizerInfoMenu.h"

#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "menu/ZMenuLabel.h"

RandomizerInfoMenu::RandomizerInfoMenu() {
    const ZMenuItem* path =
        AddMenuItem<ZMenuLabel>(*this, gameflow::GetCriticalPathText(), 512.0f, 448.0f, 0, 0.5f);
    AddMenuItem<ZMenuLabel>(*this, KorvanthPauseMenu::BuildRandomizerInfoText(), 32.0f, 32.0f, 1, 0.5f);
    ArrangeAround(*this, {path}, 80.0f, 64.0f);
}
