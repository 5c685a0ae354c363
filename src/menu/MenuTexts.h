#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "framework/ZLocMgr.h"

// A text of the engine's menus: file "Menus", the menu's section, the item's key.
inline ZString MenuText(const char* section, const char* key) {
    return ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString(section), ZHashedString(key));
}

// Re-reads the input devices, so that a pad plugged in while the game runs is found.
void ReinitInputDevices();
