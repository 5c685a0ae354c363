#pragma once

// Small helpers the game's menus share: their texts, their items and panels.

#include <cstddef>
#include <initializer_list>

#include "foundation/ZString.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuItem.h"

class ZMenuLabel;
class ZMenuUnderlay;

// A text of the game's menus: file "KorvanthMenus", the section, the key.
ZString GameMenuText(const char* section, const char* key);
// A text of the engine's menus: file "Menus".
ZString EngineMenuText(const char* section, const char* key);

// "< label: value >", the text of a two-sided switch. Built by joining, so a
// translated label or value holding '%' shows as typed.
ZString SwitchText(const ZString& label, const ZString& value);

// A button (or, with Label, a fixed text) in the menu font, added to the
// menu; scale as ZMenuItem::SetTextScale. The name is hashed when given.
template <typename Item = ZMenuItem>
Item* AddMenuItem(ZMenu& menu, const ZString& text, float x, float y, int32_t anchor, float scale,
                  const char* name = nullptr) {
    Item* item = ZMenuItem::Create<Item>(text, x, y, anchor, scale);
    if (name != nullptr) item->name = ZHashedString(name);
    menu.AddItem(item);
    return item;
}

// A panel around the given items only (the others keep theirs or none),
// padded by padX and padY on each side; it joins the menu's underlays.
ZMenuUnderlay* ArrangeAround(ZMenu& menu, const ZMenuItem* const* around, size_t count, float padX, float padY);
inline ZMenuUnderlay* ArrangeAround(ZMenu& menu, std::initializer_list<const ZMenuItem*> around, float padX,
                                    float padY) {
    return ArrangeAround(menu, around.begin(), around.size(), padX, padY);
}
// Widens the panel to at least the width and places it again.
void WidenPanel(ZMenuUnderlay* panel, float minimumWidth);

// t^3 (t (6t - 15) + 10), unclamped.
float SmootherStep(float t);

// The backdrop rule of the pages that let the picture show through: during
// the manager's opening (forward) or closing (back) transition the backdrop
// follows it, otherwise it is clear.
void TransitionOnlyBackdrop(float* opacity);

// The live value of a registered bool configuration variable; null when there
// is none of that name and type.
bool* FindConfigBool(ZHashedString section, ZHashedString name);
// Sets a bool variable through the configuration, so its change callback runs.
void SetConfigBool(ZHashedString section, ZHashedString name, bool value);
