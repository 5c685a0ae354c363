// The language page: its layout, the splash text of the language under the
// selection, switching the whole program's texts (listeners told, every menu
// closed, a title menu rebuilt), and the translators' export of the default
// string files.

#include <filesystem>
#include <string>

#include "Menu3Fixture.h"
#include "framework/ZLocListener.h"
#include "menu/LanguageMenu.h"
#include "menu/MessageMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuUnderlay.h"

namespace menu3test {
namespace {

std::string Text(const ZMenuItem* item) { return item->GetText().GetText(); }

// A title menu that counts how many were made.
class TitleStandIn : public ZMenu {
public:
    bool IsTitleMenu() const override { return true; }
};

class LanguageGame : public menutest::CountingGame {
public:
    ZMenu* CreateTitleMenu(int32_t argument) override {
        ++titlesMade;
        lastArgument = argument;
        return new TitleStandIn();
    }
    int titlesMade = 0;
    int32_t lastArgument = -1;
};

class CountingListener : public ZLocListener {
public:
    void OnLanguageChanged() override { ++calls; }
    int calls = 0;
};

class LanguageMenuTest : public Menu3Fixture {
protected:
    void WithGerman() { ZLocMgr::GetInstance()->AddLanguageList("Language List.ini"); }
    LanguageMenu* OpenLanguages() {
        auto* menu = Open(static_cast<LanguageMenu*>(game->CreateLanguageMenu()));
        MenuFrame();
        return menu;
    }
    static std::string MenusText(const char* section, const char* key) {
        return ZLocMgr::GetInstance()
            ->GetString(ZHashedString("Menus"), ZHashedString(section), ZHashedString(key))
            .GetText();
    }
};

TEST_F(LanguageMenuTest, OnlyEnglishLaysOutTheFourRows) {
    LanguageMenu* menu = OpenLanguages();
    ASSERT_EQ(menu->GetItemCount(), 4u);
    const float ys[] = {229.0f, 365.8f, 502.6f, 539.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(menu->GetItem(i)->y, ys[i], 1e-3f) << i;
    }
    EXPECT_EQ(Text(menu->GetItem(0)), "English");
    EXPECT_EQ(menu->underlays.Count(), 3u);
    EXPECT_FLOAT_EQ(menu->GetSplashPanel()->width, 960.0f);
    EXPECT_FALSE(menu->IsSplashPanelVisible());
}

TEST_F(LanguageMenuTest, SplashTextFollowsTheSelection) {
    WithGerman();
    LanguageMenu* menu = OpenLanguages();
    ASSERT_EQ(menu->GetItemCount(), 5u);
    EXPECT_EQ(Text(menu->GetItem(1)), "Deutsch");
    struct Case {
        int32_t index;
        bool shown;
    };
    const Case cases[] = {{1, true}, {0, false}, {1, true}, {3, false}, {4, false}};
    for (const Case& c : cases) {
        menu->Select(c.index);
        MenuFrame();
        EXPECT_EQ(menu->IsSplashPanelVisible(), c.shown) << c.index;
        EXPECT_EQ(menu->GetSplashPanel()->visible, c.shown) << c.index;
        const std::string splash = Text(menu->GetSplashLabel());
        if (c.shown) {
            EXPECT_EQ(splash, "Drovani Skyreach spricht jetzt Deutsch.\nAlle Menüs, Hinweise und Dialoge wechseln sofort.");
        } else {
            EXPECT_EQ(splash, "");
        }
    }
}

TEST_F(LanguageMenuTest, ChoosingALanguageSwitchesTextsAndRebuildsTheTitleMenu) {
    ZBaseGame::DestroyInstance();
    auto* languageGame = new LanguageGame();
    game = languageGame;
    game->SetLogging(false);
    game->menuFont = font.get();
    ClearConfigRegistry();
    game->registerConfigVars();
    game->SetLogging(false);
    WithGerman();
    CountingListener listener;
    ZLocListener::GetRegistry()->PushBack(&listener);

    struct Case {
        bool titleOpen;
        int32_t button;
        const char* back;
        int titles;
    };
    const Case cases[] = {{true, 1, "Zurück", 1}, {false, 0, "Back", 1}};
    for (const Case& c : cases) {
        if (c.titleOpen) {
            Open(new TitleStandIn());
        }
        LanguageMenu* menu = OpenLanguages();
        const int before = listener.calls;
        menu->Select(c.button);
        Send(ZMenuEventKind::Accept);
        Settle();
        Settle();
        MenuFrame();
        EXPECT_GT(listener.calls, before);
        EXPECT_EQ(MenusText("LanguageMenu", "Back"), c.back);
        EXPECT_EQ(languageGame->titlesMade, c.titles);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), c.titleOpen ? 1u : 0u);
        if (c.titleOpen) {
            EXPECT_NE(dynamic_cast<TitleStandIn*>(GetMenuMgr()->GetTopMenu()), nullptr);
            EXPECT_EQ(languageGame->lastArgument, 1);
        }
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
    EXPECT_EQ(std::string(game->m_language.GetText()), "English");
    ZArray<ZLocListener*>* registry = ZLocListener::GetRegistry();
    for (uint32_t i = 0; i < registry->Count(); ++i) {
        if ((*registry)[i] == &listener) {
            registry->RemoveAt(i);
            break;
        }
    }
}

// A player's language folder without string files: an empty button, no splash
// text, and choosing it falls back to the default texts.
TEST_F(LanguageMenuTest, ALanguageFolderWithoutFilesIsHarmless) {
    const std::filesystem::path folder =
        std::filesystem::path(documents.Path()) / "My Games" / ZBaseGame::kEngineGameTitle / "Localization" / "Klingon";
    std::filesystem::create_directories(folder);
    LanguageMenu* menu = OpenLanguages();
    ASSERT_EQ(menu->GetItemCount(), 5u);
    EXPECT_EQ(menu->GetItem(1)->GetName(), ZHashedString("LANG_Klingon"));
    menu->Select(1);
    MenuFrame();
    EXPECT_EQ(Text(menu->GetSplashLabel()).find("Klingon"), std::string::npos);
    Send(ZMenuEventKind::Accept);
    Settle();
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_EQ(MenusText("LanguageMenu", "Back"), "Back");
}

TEST_F(LanguageMenuTest, ExportWritesTheDefaultFilesAndSaysWhere) {
    WithGerman();
    LanguageMenu* languages = OpenLanguages();
    languages->Select(static_cast<int32_t>(languages->GetItemCount()) - 2);  // Help
    Send(ZMenuEventKind::Accept);
    Settle();
    auto* page = dynamic_cast<LocalizationExportMenu*>(GetMenuMgr()->GetTopMenu());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetHelpText().GetText()[0], 'T');
    page->Select(0);
    Send(ZMenuEventKind::Accept);
    Settle();
    auto* notice = dynamic_cast<MessageMenu*>(GetMenuMgr()->GetTopMenu());
    ASSERT_NE(notice, nullptr);
    const std::string text = Text(notice->descriptionLabel);
    EXPECT_EQ(text.rfind("The string files were written to:\n", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 8), "English\\") << text;
    EXPECT_EQ(text.find("%s"), std::string::npos);

    const std::filesystem::path folder =
        std::filesystem::path(documents.Path()) / "My Games" / ZBaseGame::kEngineGameTitle / "Localization" / "English";
    for (const char* file : {"Startup.txt", "General.txt", "Input.txt", "EngineControls.txt", "Menus.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
    }
    // OK closes the notice and the export page: the language page is back, on English.
    Send(ZMenuEventKind::Accept);
    Settle();
    Settle();
    MenuFrame();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), languages);
    EXPECT_EQ(languages->selectedIndex, 0);
    EXPECT_FALSE(languages->IsSplashPanelVisible());
}

}  // namespace
}  // namespace menu3test
