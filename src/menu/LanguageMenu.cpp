#include "menu/LanguageMenu.h"

#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "menu/MenuTexts.h"
#include "menu/MessageMenu.h"
#include "menu/VideoMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZFont.h"

namespace {

constexpr const char* kSection = "LanguageMenu";
constexpr const char* kDefaultLanguage = "English";
constexpr float kRowStep = 36.4f;

ZHashedString ButtonName(const ZString& language) { return ZHashedString((ZString("LANG_") + language).GetText()); }

// The strings of a language's "Startup" file: Autoglottonym and SplashText.
ZArray<ZString> StartupStrings(const ZString& language) {
    const ZHashedString file("Startup");
    ZArray<ZLocMgr::StringRef> refs;
    refs.PushBack(ZLocMgr::StringRef{file, ZHashedString::None(), ZHashedString("Autoglottonym")});
    refs.PushBack(ZLocMgr::StringRef{file, ZHashedString::None(), ZHashedString("SplashText")});
    return ZLocMgr::GetInstance()->LoadStringFiles(language, refs);
}

}  // namespace

LanguageMenu::LanguageMenu() {
    ZArray<ZString> listed;
    ZLocMgr::GetInstance()->ListLanguages(listed);
    const float n = static_cast<float>(listed.Count());
    float y = 384.0f - (n + 5.0f) * kRowStep * 0.5f - 64.0f;

    ZMenuItem* english = ZMenuItem::Create(ZString(kDefaultLanguage), 512.0f, y, 0, 0.65f);
    english->name = ButtonName(ZString(kDefaultLanguage));
    languages.Insert(english->name, ZString(kDefaultLanguage));
    AddItem(english);
    ZArray<ZMenuItem*> buttons;
    buttons.PushBack(english);
    for (const ZString& language : listed) {
        const ZArray<ZString> strings = StartupStrings(language);
        y += kRowStep;
        // A language whose start-up file is missing shows an empty button rather than nothing to choose.
        ZMenuItem* button =
            ZMenuItem::Create(strings.Count() > 0 ? strings[0] : ZString(), 512.0f, y, 0, 0.65f);
        button->name = ButtonName(language);
        languages.Insert(button->name, language);
        AddItem(button);
        buttons.PushBack(button);
    }
    y += 136.8f;
    splashLabel = ZMenuItem::Create<ZMenuLabel>(ZString(), 512.0f, y, 0, 0.65f);
    AddItem(splashLabel);
    y += 136.8f;
    ZMenuItem* help = ZMenuItem::Create(MenuText(kSection, "Help"), 512.0f, y, 0, 0.65f);
    help->name = ZHashedString("Help");
    AddItem(help);
    ZMenuItem* back = ZMenuItem::Create(MenuText(kSection, "Back"), 512.0f, y + kRowStep, 0, 0.65f);
    back->name = ZHashedString("Back");
    AddItem(back);

    // Three panels: the languages, the splash text (960 wide), Help and Back.
    const auto panelAround = [this](const ZArray<ZMenuItem*>& group) {
        ZArray<ZMenuItem*> all = items;
        items = group;
        ZMenuUnderlay* panel = ArrangeItems(60.0f, 48.0f);
        items = all;
        return panel;
    };
    panelAround(buttons);
    ZArray<ZMenuItem*> splashOnly;
    splashOnly.PushBack(splashLabel);
    splashPanel = panelAround(splashOnly);
    if (splashPanel != nullptr) {
        splashPanel->SetSize(960.0f, splashPanel->height);
        splashPanel->Refresh();
    }
    ZArray<ZMenuItem*> last;
    last.PushBack(back);
    last.PushBack(help);
    panelAround(last);

    Select(0);
}

LanguageMenu::~LanguageMenu() { languages.Clear(); }

bool LanguageMenu::IsSplashPanelVisible() const { return splashShown; }

void LanguageMenu::ShowSplashText() {
    const ZMenuItem* selected = GetSelectedItem();
    const auto* found = selected != nullptr ? languages.Find(selected->GetName()) : nullptr;
    const bool show = found != nullptr && !found->value.IsEmpty() && !(found->value == kDefaultLanguage);
    if (show) {
        const ZArray<ZString> strings = StartupStrings(found->value);
        splashLabel->SetText(strings.Count() > 1 ? strings[1].ExpandNewlines() : ZString());
    } else {
        splashLabel->SetText(ZString());
    }
    splashShown = show;
    if (splashPanel != nullptr) {
        splashPanel->visible = show && splashLabel->visible;
    }
}

void LanguageMenu::ChooseLanguage(const ZMenuItem* button) {
    const auto* found = button != nullptr ? languages.Find(button->GetName()) : nullptr;
    if (found != nullptr) {
        const ZString language = found->value;
        ZConfigVar& var = FindOrAddConfigVar(ZHashedString::None(), ZHashedString("Language"));
        if (var.type == ZConfigVar::kTypeName && var.storage != nullptr) {
            *static_cast<ZHashedString*>(var.storage) = ZHashedString(language.GetText());
        }
        ZLocMgr* loc = ZLocMgr::GetInstance();
        // The default language has no copies of its own: its texts are the default ones.
        loc->SetLocalizedPath(language == kDefaultLanguage ? "" : language.GetText(), false);
        loc->SetPseudoLocalization(false);
        ZLocListener::NotifyAll();
    }
    ZMenuMgr* menus = GetMenuMgr();
    bool titleWasOpen = false;
    for (uint32_t i = 0; i < menus->GetOpenMenuCount() && !titleWasOpen; ++i) {
        const ZMenu* menu = menus->GetMenuAt(i);
        titleWasOpen = menu != nullptr && menu->IsTitleMenu();
    }
    menus->CloseAll(ZMenuMgr::kBack);
    if (titleWasOpen) {
        if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
            menus->OpenMenu(game->CreateTitleMenu(1));
            menus->MarkPendingOpens();
        }
    }
}

void LanguageMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Tick:
            if (selectedIndex != lastSelection) {
                lastSelection = selectedIndex;
                ShowSplashText();
            }
            break;
        case ZMenuEventKind::Opened:
        case ZMenuEventKind::Resumed:
            // The base showed every panel: the splash panel follows the selection again.
            lastSelection = -10000;
            if (event.kind == ZMenuEventKind::Resumed) {
                Select(0);
            }
            break;
        case ZMenuEventKind::Accept: {
            const ZMenuItem* selected = GetSelectedItem();
            const ZHashedString which = selected != nullptr ? selected->GetName() : ZHashedString::None();
            if (which == ZHashedString("Back")) {
                GetMenuMgr()->CloseMenu();
            } else if (which == ZHashedString("Help")) {
                GetMenuMgr()->OpenMenu(new LocalizationExportMenu());
            } else {
                ChooseLanguage(selected);
            }
            break;
        }
        default: break;
    }
}

LocalizationExportMenu::LocalizationExportMenu() {
    ZMenuItem* exportButton = ZMenuItem::Create(MenuText(kSection, "Export"), 320.0f, 640.0f, 0, 0.65f);
    exportButton->name = ZHashedString("Export");
    AddItem(exportButton);
    ZMenuItem* back = ZMenuItem::Create(MenuText(kSection, "Back"), 704.0f, 640.0f, 0, 0.65f);
    back->name = ZHashedString("Back");
    AddItem(back);
    if (ZMenuUnderlay* panel = ArrangeItems(80.0f, 64.0f)) {
        panel->SetSize(1024.0f, 768.0f);
        panel->Refresh();
        panel->SetPosition(512.0f, 384.0f);
        panel->Refresh();
    }
    helpText = MenuText(kSection, "ExportHelp").ExpandNewlines();
}

void LocalizationExportMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Tick: {
            const ZBaseGame* game = ZBaseGame::PeekInstance();
            ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
            if (font != nullptr && font->GetLineHeight() > 0 && !helpText.IsEmpty()) {
                const float scale = 0.5f * 56.0f / static_cast<float>(font->GetLineHeight());
                const ZColor32 white(255, 255, 255, 255);
                font->DrawText(helpText.GetText(), helpText.GetLength(), 64.0f, 64.0f, scale, scale, white, white,
                               1.0f, 896.0f, 2000.0f);
            }
            break;
        }
        case ZMenuEventKind::Accept: {
            const ZMenuItem* selected = GetSelectedItem();
            if (selected != nullptr && selected->GetName() == ZHashedString("Back")) {
                GetMenuMgr()->CloseMenu();
            } else if (selected != nullptr && selected->GetName() == ZHashedString("Export")) {
                Export();
            }
            break;
        }
        default: break;
    }
}

void LocalizationExportMenu::Export() {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    game->DumpStringTable();
    ZString folder = GetUserFolderPath(game->GetGameFolderName(), game->GetLocalizationFolder(), false) +
                     kDefaultLanguage + "\\";
    if (folder.GetLength() > 259) {
        folder = ZString(folder.GetText(), 259);
    }
    // The translated notice is not a format: its "%s" is replaced as text.
    const ZString notice = MenuText(kSection, "Exported").ExpandNewlines().Replace("%s", folder.GetText());
    auto* message = new MessageMenu();
    message->SetDescription(notice);
    message->context = this;
    message->callback = CloseMenuCallback;
    GetMenuMgr()->OpenMenu(message);
}
