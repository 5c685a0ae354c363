#include "game/menus/KorvanthGameOptionsMenu.h"

#include "game/menus/GameMenuSupport.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

namespace {

struct Row {
    const char* item;
    const char* label;
    const char* section;  // "" for the general section
    const char* variable;
    const char* whenTrue;
    const char* whenFalse;
};

constexpr Row kRows[4] = {
    {"SpinnerButton_ALT_DOWN_JUMP", "AltDownJump", "Input", "AltDownJump", "DJ_Alt", "DJ_Std"},
    {"SpinnerButton_DIALOG", "DialogBoxes", "", "OpaqueDialogBoxes", "DB_Black", "DB_BackColor"},
    {"SpinnerButton_MINIMAP", "ShowMinimap", "", "ShowMinimap", "On", "Off"},
    {"SpinnerButton_PROMPTS", "ShowPrompts", "", "ShowInteractPrompts", "On", "Off"},
};

ZHashedString Section(const Row& row) {
    return row.section[0] == '\0' ? ZHashedString::None() : ZHashedString(row.section);
}

}  // namespace

KorvanthGameOptionsMenu::KorvanthGameOptionsMenu() {
    cannotCancel = true;
    const ZMenuItem* back = AddMenuItem(*this, EngineMenuText("GameOptionsMenu", "Back"), 512.0f, 640.0f, 0, 1.0f);
    const ZMenuItem* rows[4] = {};
    for (int32_t i = 0; i < 4; ++i) {
        const bool* value = FindConfigBool(Section(kRows[i]), ZHashedString(kRows[i].variable));
        m_values[i] = value != nullptr && *value;
        ZMenuItem* item =
            AddMenuItem(*this, RowText(i), 512.0f, 256.0f + 64.0f * static_cast<float>(i), 0, 1.0f, kRows[i].item);
        item->kind = ZMenuItem::kHorizontal;
        rows[i] = item;
    }
    WidenPanel(ArrangeAround(*this, rows, 4, 80.0f, 64.0f), 960.0f);
    ArrangeAround(*this, {back}, 80.0f, 64.0f);
}

ZString KorvanthGameOptionsMenu::RowText(const int32_t row) const {
    const Row& r = kRows[row];
    return SwitchText(GameMenuText("GameOptions", r.label),
                      GameMenuText("GameOptions", m_values[row] ? r.whenTrue : r.whenFalse));
}

void KorvanthGameOptionsMenu::Toggle(const int32_t row) {
    m_values[row] = !m_values[row];
    if (ZMenuItem* item = GetSelectedItem()) item->SetText(RowText(row));
    // Through the variable's setter, so its change callback (the minimap's
    // visibility) runs.
    SetConfigBool(Section(kRows[row]), ZHashedString(kRows[row].variable), m_values[row]);
}

void KorvanthGameOptionsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight: {
            const ZMenuItem* selected = GetSelectedItem();
            if (selected == nullptr) break;
            for (int32_t i = 0; i < 4; ++i) {
                if (selected->GetName() == ZHashedString(kRows[i].item)) Toggle(i);
            }
            break;
        }
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) GetMenuMgr()->CloseMenu();
            break;
        case ZMenuEventKind::Cancel: GetMenuMgr()->CloseMenu(); break;
        default: break;
    }
}
