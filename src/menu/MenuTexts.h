#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "framework/ZLocMgr.h"

// A text of the engine's menus: file "Menus", the menu's section, the item's key.
inline ZString MenuText(const char* section, const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString(section), ZHashedString(key));
}

class ZMenuUnderlay;

// Moves the panel's centre to x 512, then makes it at least 960 wide and wider
// by the distance it moved (the audio and brightness pages).
void CentreAndWidenPanel(ZMenuUnderlay* panel);

// Re-reads the input devices, so that a pad plugged in while the game runs is found.
void ReinitInputDevices();
