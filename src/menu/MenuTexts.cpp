#include "menu/MenuTexts.h"

#include <algorithm>
#include <cmath>

#include "framework/ZBaseGame.h"
#include "menu/ZMenuUnderlay.h"

void ReinitInputDevices() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->DeinitInput();
        game->InitInput();
    }
}

void CentreAndWidenPanel(ZMenuUnderlay* panel) {
    if (panel == nullptr) {
        return;
    }
    const float moved = std::fabs(512.0f - panel->x);
    panel->SetPosition(512.0f, panel->y);
    panel->Refresh();
    panel->SetSize(std::max(960.0f, panel->width + moved), panel->height);
    panel->Refresh();
}
