#include "menu/OptionsMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"

namespace {

OptionsMenuEntry EngineEntry(const char* name) {
    static const ZHashedString file("Menus");
    static const ZHashedString section("OptionsMenu");
    return OptionsMenuEntry{ZHashedString(name), file, section, ZHashedString(name)};
}

}  // namespace

void OptionsMenu::GetEntries(ZArray<OptionsMenuEntry>& entries) {
    for (const char* name : {"Game", "Video", "Audio", "Controls", "Language", "About"}) {
        entries.PushBack(EngineEntry(name));
    }
}

void OptionsMenu::BuildItems() {
    ZArray<OptionsMenuEntry> entries;
    GetEntries(entries);
    entries.PushBack(EngineEntry("Back"));
    float row = (static_cast<float>(entries.Count()) - 1.0f) * -0.5f;
    ZLocMgr* loc = ZLocMgr::GetInstance();
    for (const OptionsMenuEntry& entry : entries) {
        ZMenuItem* item = ZMenuItem::Create(loc->GetString(entry.locFile, entry.locSection, entry.locKey), 512.0f,
                                            384.0f + 56.0f * row, 0, 1.0f);
        item->name = entry.name;
        AddItem(item);
        row += 1.0f;
    }
    ArrangeItems(80.0f, 64.0f);
}

void OptionsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::Accept) {
        const ZMenuItem* selected = GetSelectedItem();
        OnEntryChosen(selected != nullptr ? selected->GetName() : ZHashedString::None());
    }
}

bool OptionsMenu::OnEntryChosen(const ZHashedString name) {
    static const ZHashedString game("Game");
    static const ZHashedString video("Video");
    static const ZHashedString audio("Audio");
    static const ZHashedString controls("Controls");
    static const ZHashedString language("Language");
    static const ZHashedString about("About");
    static const ZHashedString back("Back");
    ZBaseGame* base = ZBaseGame::GetInstance();
    ZMenu* page = nullptr;
    if (name == game) {
        page = base->CreateGameOptionsMenu();
    } else if (name == video) {
        page = base->CreateVideoMenu();
    } else if (name == audio) {
        page = base->CreateAudioMenu();
    } else if (name == controls) {
        page = base->CreateControlsMenu();
    } else if (name == language) {
        page = base->CreateLanguageMenu();
    } else if (name == about) {
        page = base->CreateAboutMenu();
    } else if (name == back) {
        GetMenuMgr()->CloseMenu();
        return true;
    } else {
        return false;
    }
    GetMenuMgr()->OpenMenu(page);
    return true;
}
