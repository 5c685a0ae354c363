// The engine's screens: the title menu (its buttons, New Game, the options,
// the exit question, the title picture as menus cover it, the scene's fade),
// the pause menu (resume, options, back to the title), the options hub and
// its pages, the about page and the game-options page.

#include <memory>

#include "MenuFixture.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocMgr.h"
#include "menu/AboutMenu.h"
#include "menu/AudioMenu.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ControlsMenu.h"
#include "menu/GameOptionsMenu.h"
#include "menu/LanguageMenu.h"
#include "menu/OptionsMenu.h"
#include "menu/PauseMenu.h"
#include "menu/TitleMenu.h"
#include "menu/VideoMenu.h"
#include "menu/ZMenuLabel.h"
#include "platform/os/fake/fake.h"
#include "renderer/ZFont.h"
#include "renderer/ZQuadRenderable.h"

using namespace menutest;

namespace {

// Records what the screens ask of the base game.
class ScreenGame : public CountingGame {
public:
    void Exit() override { ++exits; }
    bool StartNewGame() override {
        ++newGames;
        return newGameAnswer;
    }
    void ResetGame(const bool saveFirst) override { resets.push_back(saveFirst); }
    void OnTitleMenuOpened(ZMenu* /*menu*/) override { ++titleOpenings; }
    ZMenu* CreateTitleMenu(const int32_t argument) override {
        titleArguments.push_back(argument);
        return CountingGame::CreateTitleMenu(argument);
    }

    int exits = 0;
    int newGames = 0;
    bool newGameAnswer = true;
    std::vector<bool> resets;
    int titleOpenings = 0;
    std::vector<int32_t> titleArguments;
};

class ScreenMenusTest : public EngineTextMenuFixture {
protected:
    CountingGame* MakeGame() override { return screen = new ScreenGame(); }

    template <typename Menu>
    Menu* Open(Menu* menu) {
        GetMenuMgr()->OpenMenu(menu);
        Settle();
        return menu;
    }
    static void Send(const int32_t kind) {
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
    }
    // Selects the item of that name and accepts it.
    static void Choose(ZMenu* menu, const char* name) {
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            if (menu->items[i]->GetName() == ZHashedString(name)) {
                menu->Select(static_cast<int32_t>(i));
                Send(ZMenuEventKind::Accept);
                return;
            }
        }
        ADD_FAILURE() << "no item " << name;
    }
    // Lets queued requests and transitions run to rest (a few rounds, as
    // closing one menu may open the next).
    void Settle() {
        for (int i = 0; i < 4; ++i) {
            Transitions(0.0f);
            Transitions(0.3f);
        }
    }
    static std::vector<std::string> Texts(const ZMenu* menu) {
        std::vector<std::string> out;
        for (const ZMenuItem* item : menu->items) out.push_back(item->GetText().GetText());
        return out;
    }
    static std::vector<float> Ys(const ZMenu* menu) {
        std::vector<float> out;
        for (const ZMenuItem* item : menu->items) out.push_back(item->y);
        return out;
    }

    ScreenGame* screen = nullptr;
};

TEST_F(ScreenMenusTest, TitleAndPauseButtonsFollowDemoMode) {
    struct Case {
        bool demo;
        std::vector<std::string> title;
        std::vector<float> titleYs;
        std::vector<std::string> pause;
        std::vector<float> pauseYs;
    };
    const Case cases[] = {
        {false, {"New Game", "Options", "Exit"}, {520, 576, 632}, {"Resume", "Options", "Quit to Title"}, {328, 384, 440}},
        {true, {"New Game"}, {520}, {"Resume", "Quit to Title"}, {328, 384}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.demo);
        game->m_demoMode = c.demo;
        TitleMenu title;
        EXPECT_EQ(Texts(&title), c.title);
        EXPECT_EQ(Ys(&title), c.titleYs);
        EXPECT_TRUE(title.cannotCancel);
        EXPECT_EQ(title.underlays.Count(), 1u);
        PauseMenu pause;
        EXPECT_EQ(Texts(&pause), c.pause);
        EXPECT_EQ(Ys(&pause), c.pauseYs);
    }
}

TEST_F(ScreenMenusTest, TitleCancelDoesNothingAndNewGameStartsTheGame) {
    TitleMenu* title = Open(new TitleMenu());
    EXPECT_EQ(screen->titleOpenings, 1);
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), title);

    // A game that prepares its world itself answers false: nothing closes.
    screen->newGameAnswer = false;
    Choose(title, "NewGame");
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), title);
    EXPECT_TRUE(screen->resets.empty());

    screen->newGameAnswer = true;
    Choose(title, "NewGame");
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_EQ(screen->newGames, 2);
    EXPECT_EQ(screen->resets, std::vector<bool>{false});
}

TEST_F(ScreenMenusTest, TheTitlePictureShowsOnlyWhileTheTitleIsOnTop) {
    TitleMenu* title = Open(new TitleMenu());
    ZQuadRenderable* card = title->GetTitleCard();
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->visible);
    Choose(title, "Options");
    Settle();
    ASSERT_NE(dynamic_cast<OptionsMenu*>(GetMenuMgr()->GetTopMenu()), nullptr);
    EXPECT_FALSE(card->visible) << "covered";
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), title);
    EXPECT_TRUE(card->visible) << "uncovered";
}

TEST_F(ScreenMenusTest, ExitAsksFirst) {
    struct Case {
        const char* answer;
        std::vector<int32_t> events;
        int exits;
        uint32_t menusLeft;
    };
    using K = ZMenuEventKind;
    const Case cases[] = {
        {"No", {K::Accept}, 0, 1},
        {"Cancel", {K::Cancel}, 0, 1},
        {"Yes", {K::NavLeft, K::Accept}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        screen->exits = 0;
        TitleMenu* title = Open(new TitleMenu());
        Choose(title, "Exit");
        Settle();
        auto* question = dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu());
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(std::string(question->descriptionLabel->GetText().GetText()), "Leave the game?");
        for (const int32_t kind : c.events) Send(kind);
        Settle();
        EXPECT_EQ(screen->exits, c.exits);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), c.menusLeft);
        if (c.menusLeft > 0) {
            EXPECT_EQ(GetMenuMgr()->GetTopMenu(), title);
            EXPECT_FALSE(title->IsExitRequested());
        }
        DestroyMenuMgr();
    }
}

TEST_F(ScreenMenusTest, TheSceneFadesInOverOneAndAHalfSeconds) {
    TitleMenu menu;
    EXPECT_FLOAT_EQ(menu.GetFadeTimer(), 1.5f);
    float timer = menu.GetFadeTimer();
    const float dt = 0.1f;
    const float first = TitleMenu::StepFade(timer, dt);
    EXPECT_GT(first, 0.0f);
    EXPECT_LT(first, 0.01f) << "just above black on the first tick";
    float previous = first;
    int ticks = 1;
    float level = first;
    while (level < 1.0f && ticks < 100) {
        level = TitleMenu::StepFade(timer, dt);
        EXPECT_GE(level, previous);
        previous = level;
        ++ticks;
    }
    EXPECT_EQ(ticks, 15) << "full brightness on the tick at which 1.5 s have passed";
    EXPECT_EQ(TitleMenu::StepFade(timer, dt), 1.0f);
    EXPECT_EQ(TitleMenu::StepFade(timer, dt), 1.0f);

    // A tick applies it to the base game's fade.
    game->SetScreenFadeLevel(0.25f);
    Send(ZMenuEventKind::Tick);  // no menu: nothing
    Open(new TitleMenu());
    EXPECT_LT(game->GetScreenFadeLevel(), 0.01f) << "a frame time of 0 leaves the start of the fade";
}

TEST_F(ScreenMenusTest, PauseResumesOpensOptionsAndReturnsToTheTitle) {
    // Cancel and Resume both close it.
    for (const char* how : {"Cancel", "Resume"}) {
        SCOPED_TRACE(how);
        PauseMenu* pause = Open(new PauseMenu());
        if (std::string(how) == "Cancel") {
            Send(ZMenuEventKind::Cancel);
        } else {
            Choose(pause, "Resume");
        }
        Settle();
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    }

    PauseMenu* pause = Open(new PauseMenu());
    Choose(pause, "Options");
    Settle();
    EXPECT_NE(dynamic_cast<OptionsMenu*>(GetMenuMgr()->GetTopMenu()), nullptr);
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), pause);

    // No returns to the pause menu.
    Choose(pause, "Title");
    Settle();
    auto* question = dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(std::string(question->descriptionLabel->GetText().GetText()),
              "Quit to the title screen? Progress since the last save will be lost.");
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), pause);
    EXPECT_TRUE(screen->resets.empty());

    // Yes saves, ends the game, closes everything and shows the title.
    Choose(pause, "Title");
    Settle();
    Send(ZMenuEventKind::NavLeft);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(screen->resets, std::vector<bool>{true});
    EXPECT_EQ(screen->titleArguments, std::vector<int32_t>{1});
    ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    EXPECT_TRUE(GetMenuMgr()->GetTopMenu()->IsTitleMenu());
    EXPECT_TRUE(GetMenuMgr()->GetTopMenu()->backdropFlagA) << "shown over the dark backdrop";
}

// A hub of a game: one page of its own, forwarding the rest.
class GameHub : public OptionsMenu {
public:
    void GetEntries(ZArray<OptionsMenuEntry>& entries) override {
        if (withPage) {
            entries.PushBack(OptionsMenuEntry{ZHashedString("Cheats"), ZHashedString("Menus"),
                                              ZHashedString("OptionsMenu"), ZHashedString("Cheats")});
        }
    }
    bool OnEntryChosen(const ZHashedString name) override {
        if (name == ZHashedString("Cheats")) {
            ++cheats;
            return true;
        }
        return OptionsMenu::OnEntryChosen(name);
    }
    bool withPage = false;
    int cheats = 0;
};

TEST_F(ScreenMenusTest, TheOptionsHubListsItsPagesAndBack) {
    auto* hub = static_cast<OptionsMenu*>(game->CreateOptionsMenu());
    EXPECT_EQ(Texts(hub), (std::vector<std::string>{"Game", "Video", "Audio", "Controls", "Language", "About", "Back"}));
    EXPECT_EQ(Ys(hub), (std::vector<float>{216, 272, 328, 384, 440, 496, 552}));
    delete hub;

    GameHub empty;
    empty.BuildItems();
    EXPECT_EQ(Texts(&empty), std::vector<std::string>{"Back"});
    EXPECT_EQ(Ys(&empty), std::vector<float>{384});
}

TEST_F(ScreenMenusTest, EachOptionsEntryOpensItsPage) {
    struct Case {
        const char* entry;
        const char* page;  // the stand-in's name, or "" for a built page
        bool (*is)(const ZMenu*);
    };
    const Case cases[] = {
        {"Game", "", [](const ZMenu* m) { return dynamic_cast<const GameOptionsMenu*>(m) != nullptr; }},
        {"Video", "", [](const ZMenu* m) { return dynamic_cast<const VideoMenu*>(m) != nullptr; }},
        {"Audio", "", [](const ZMenu* m) { return dynamic_cast<const AudioMenu*>(m) != nullptr; }},
        {"Controls", "", [](const ZMenu* m) { return dynamic_cast<const ControlsMenu*>(m) != nullptr; }},
        {"Language", "", [](const ZMenu* m) { return dynamic_cast<const LanguageMenu*>(m) != nullptr; }},
        {"About", "", [](const ZMenu* m) { return dynamic_cast<const AboutMenu*>(m) != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        ZMenu* hub = Open(game->CreateOptionsMenu());
        Choose(hub, c.entry);
        Settle();
        const ZMenu* top = GetMenuMgr()->GetTopMenu();
        ASSERT_NE(top, hub);
        if (c.is != nullptr) {
            EXPECT_TRUE(c.is(top));
        } else {
            EXPECT_EQ(top->GetName(), ZHashedString(c.page));
        }
        DestroyMenuMgr();
    }
}

TEST_F(ScreenMenusTest, OptionsBackClosesTheTopMenuAndUnknownNamesDoNothing) {
    auto* hub = Open(new GameHub());
    hub->withPage = true;
    hub->DeleteItems();
    hub->DeleteUnderlays();
    hub->BuildItems();
    EXPECT_EQ(Texts(hub).size(), 2u);
    Choose(hub, "Cheats");
    EXPECT_EQ(hub->cheats, 1);
    EXPECT_FALSE(hub->OnEntryChosen(ZHashedString("Nothing")));
    // Accept with no selection names nothing.
    hub->selectedIndex = -1;
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), hub);
    Choose(hub, "Back");
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(ScreenMenusTest, AboutOpensTheWebPageAndStaysUntilBack) {
    os::fake::FakeShell shell;
    AboutMenu* about = Open(static_cast<AboutMenu*>(game->CreateAboutMenu()));
    // Back, the information text, the web-page button: nothing else.
    ASSERT_EQ(about->GetItemCount(), 3u);
    EXPECT_FALSE(about->items[1]->IsSelectable()) << "the information text is a label";
    EXPECT_EQ(std::string(about->items[2]->GetText().GetText()), game->GetWebsiteURL());

    Choose(about, "SiteButton");
    Settle();
    EXPECT_EQ(shell.Opened(), std::vector<std::string>{game->GetWebsiteURL()});
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), about);
    about->Select(0);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);

    Open(game->CreateAboutMenu());
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(ScreenMenusTest, GameOptionsBackAndCancelClose) {
    for (const int32_t kind : {ZMenuEventKind::Accept, ZMenuEventKind::Cancel}) {
        SCOPED_TRACE(kind);
        ZMenu* page = Open(game->CreateGameOptionsMenu());
        EXPECT_EQ(Texts(page), std::vector<std::string>{"Back"});
        Send(kind);
        Settle();
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    }
}

}  // namespace
