#include "game/menus/KorvanthOptionsMenu.h"

#include "game/menus/AnaglyphMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/KorvanthCRTMenu.h"
#include "menu/ZMenuMgr.h"

void KorvanthOptionsMenu::GetEntries(ZArray<OptionsMenuEntry>& entries) {
    static const ZHashedString kSection("OptionsMenu");
    struct Entry {
        const char* name;
        const char* file;
    };
    static const Entry kEntries[] = {
        {"Game", "Menus"},   {"CRT", "KorvanthMenus"},  {"Anaglyph", "KorvanthMenus"}, {"Video", "Menus"},
        {"Audio", "Menus"},  {"Controls", "Menus"},     {"Language", "Menus"},         {"Credits", "KorvanthMenus"},
    };
    for (const Entry& e : kEntries) {
        entries.PushBack(OptionsMenuEntry{ZHashedString(e.name), ZHashedString(e.file), kSection, ZHashedString(e.name)});
    }
}

bool KorvanthOptionsMenu::OnEntryChosen(const ZHashedString name) {
    if (OptionsMenu::OnEntryChosen(name)) return true;
    ZMenu* page = nullptr;
    if (name == ZHashedString("CRT")) {
        page = new KorvanthCRTMenu();
    } else if (name == ZHashedString("Anaglyph")) {
        page = new AnaglyphMenu();
    } else if (name == ZHashedString("Credits")) {
        page = new CreditsMenu();
    } else {
        return false;
    }
    GetMenuMgr()->OpenMenu(page);
    return true;
}
