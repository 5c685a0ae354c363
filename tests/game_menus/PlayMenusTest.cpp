// The menus around play: campaign select, the randomizer's two menus, the
// pause menu, the loading screen and its warning, and the demo countdown.

#include <filesystem>
#include <fstream>
#include <set>

#include "foundation/ZUpdateRegistry.h"
#include "framework/ZRuntimeRand.h"
#include "game/menus/CampaignMenu.h"
#include "game/menus/DemoIdleMenu.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "game/menus/MenuScene.h"
#include "game/menus/RandomizerInfoMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerComponent.h"
#include "game/world/MenuCloser.h"
#include "menu/ZCinematicMgr.h"
#include "GameMenusFixture.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuTextField.h"
#include "menu/ZMenuUnderlay.h"

namespace menustest {
namespace {

using Kind = ZMenuEventKind;

class PlayMenusTest : public GameMenusTest {
protected:
    // A folder source holding campaign files with the given names.
    void MountCampaigns(const std::vector<std::string>& names) {
        const std::filesystem::path folder = m_documents.Path() / "campaigns";
        std::filesystem::create_directories(folder);
        for (size_t i = 0; i < names.size(); ++i) {
            char file[32];
            std::snprintf(file, sizeof file, "c%02zu.kdd", i);
            m_documents.Write(std::string("campaigns/") + file, "");
            writeMarkup(folder / file, names[i]);
        }
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource((folder.string() + "/").c_str());
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    }
    // Campaign files are compiled definitions; the tool writes them from markup.
    static void writeMarkup(const std::filesystem::path& kdd, const std::string& name) {
        const std::string markup = kdd.string() + ".markup";
        std::ofstream(markup) << "<Campaign ID=\"T\" Name=\"" << name << "\"/>\n";
        const std::string command =
            std::string(KORV_TOOLS_DIR "/zddc \"") + markup + "\" \"" + kdd.string() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static std::vector<std::string> RowTexts(const ZMenu* menu) {
        std::vector<std::string> rows;
        for (uint32_t i = CampaignMenu::kFirstRow; i < menu->GetItemCount(); ++i) {
            rows.push_back(menu->GetItem(static_cast<int32_t>(i))->GetText().GetText());
        }
        return rows;
    }
};

TEST_F(PlayMenusTest, CampaignSelectPagesAndNames) {
    MountCampaigns({"One", "Two", "Three", "Four", "Five", "Six", "100% %s %n Seven"});
    auto* menu = new CampaignMenu();
    Open(menu);
    ASSERT_EQ(menu->GetPageCount(), 2);
    EXPECT_EQ(RowTexts(menu).size(), 6u);
    EXPECT_EQ(menu->selectedIndex, CampaignMenu::kFirstRow);
    EXPECT_EQ(menu->GetSelectedName(), "One");
    EXPECT_EQ(menu->GetItem(3)->GetText(), "1 / 2");
    EXPECT_TRUE(menu->GetItem(2)->IsSelectable()) << "two pages: the paging buttons work";
    menu->Select(2);
    Send(Kind::Accept);  // next page
    // Names are shown as they are, never read as formats.
    EXPECT_EQ(RowTexts(menu), (std::vector<std::string>{"7. 100% %s %n Seven"}));
    EXPECT_EQ(menu->GetItem(3)->GetText(), "2 / 2");
    Send(Kind::Accept);
    EXPECT_EQ(menu->GetPage(), 0) << "next on the last page wraps to the first";
    menu->Select(1);
    Send(Kind::Accept);
    EXPECT_EQ(menu->GetPage(), 1) << "previous on the first page wraps to the last";
    menu->Select(CampaignMenu::kFirstRow);
    EXPECT_EQ(menu->GetSelectedName(), "100% %s %n Seven");
}

TEST_F(PlayMenusTest, CampaignSelectWithOnePageOrNone) {
    struct Case {
        std::vector<std::string> names;
        size_t rows;
    };
    const Case cases[] = {{{"A", "B", "C", "D", "E", "F"}, 6}, {{}, 0}};
    for (const Case& c : cases) {
        MountCampaigns(c.names);
        auto* menu = new CampaignMenu();
        Open(menu);
        EXPECT_EQ(RowTexts(menu).size(), c.rows);
        EXPECT_EQ(menu->GetItem(3)->GetText(), c.rows == 0 ? "1 / 1" : "1 / 1");
        EXPECT_FALSE(menu->GetItem(1)->IsSelectable());
        EXPECT_FLOAT_EQ(menu->GetItem(3)->y, 10640.0f) << "one page: paging lies below the canvas";
        Send(Kind::Accept);  // on the first row, or on nothing
        if (c.rows == 0) {
            EXPECT_EQ(Top(), menu) << "no campaign: accept does nothing";
        }
        GetMenuMgr()->CloseAll();
        Settle();
        std::filesystem::remove_all(m_documents.Path() / "campaigns");
    }
}

TEST_F(PlayMenusTest, CampaignSelectShrinksAWideName) {
    MountCampaigns({std::string(300, 'W')});
    auto* menu = new CampaignMenu();
    Open(menu);
    const ZMenuItem* row = menu->GetItem(CampaignMenu::kFirstRow);
    ASSERT_NE(row, nullptr);
    EXPECT_NEAR(row->width, 928.0f, 12.0f);
}

TEST_F(PlayMenusTest, ChoosingACampaignThrowsTheSaveAwayAndLoadsIt) {
    WriteSave();
    const std::string autosave = AutosaveFile();
    ASSERT_TRUE(std::filesystem::exists(autosave));
    GetStateStore()->GetOrInsert(1234).SetAttribute(ZHashedString("Dead"), "true");
    auto* menu = new CampaignMenu();
    Open(menu);
    ASSERT_GE(menu->GetCampaignFiles().Count(), 1u);
    // The loading screen fails to start the row's file here (the package's
    // campaign is what a start needs); look at what the choice did first.
    menu->Select(CampaignMenu::kFirstRow);
    ZMenuEvent accept;
    accept.kind = Kind::Accept;
    GetMenuMgr()->DispatchEvent(accept, nullptr);
    EXPECT_FALSE(std::filesystem::exists(autosave));
    EXPECT_FALSE(GetStateStore()->Has(1234)) << "every saved state is forgotten";
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << "the campaign started and closed the menus";
    EXPECT_TRUE(std::filesystem::exists(autosave)) << "the new game's first autosave";
}

TEST_F(PlayMenusTest, TheMenuCloserClosesEveryMenuOnceItsMomentIsOver) {
    Open(game->CreateOptionsMenu());
    Open(game->CreateAudioMenu());
    ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 2u);
    const ZHashedString name("HACK_MENU_CLOSER");
    auto* const closer = new MenuCloser();
    EXPECT_TRUE(closer->IsTimed());
    GetCinematicMgr()->Play(closer, name, -1);
    // It runs on frame time: a paused game's steps do not end it.
    GetCinematicMgr()->FixedUpdate(now, 1.0f);
    GetCinematicMgr()->Update(now, 0.0005f);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 2u) << "not before its moment is over";
    GetCinematicMgr()->Update(now, 0.001f);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(name));
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    DestroyCinematicMgr();
}

TEST_F(PlayMenusTest, AutosaveIsDeletedOnlyAtItsOwnWholePath) {
    // A documents folder deep enough that the save's path passes 260 bytes:
    // a cut path would name the sibling file below instead.
    const std::filesystem::path deep = m_documents.Path() / std::string(120, 'd') / std::string(120, 'e');
    std::filesystem::create_directories(deep);
    setenv("XDG_DOCUMENTS_DIR", deep.c_str(), 1);
    const std::string autosave = AutosaveFile();
    ASSERT_GT(autosave.size(), 260u);
    // What a fixed 260-byte buffer would have kept of it, had it ended in the name.
    const std::string cut = autosave.substr(0, autosave.size() - 3);
    std::ofstream(cut) << "not ours";
    std::ofstream(autosave) << "save";
    gameflow::DiscardSavedGame();
    EXPECT_FALSE(std::filesystem::exists(autosave));
    EXPECT_TRUE(std::filesystem::exists(cut)) << "a file at a cut path is never touched";
    setenv("XDG_DOCUMENTS_DIR", m_documents.Path().c_str(), 1);
}

TEST_F(PlayMenusTest, RolledSeedsAreFourConsonantsASpaceAndFourMore) {
    SeedRuntimeRand(12345);
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string seed = RandomizerMenu::RollSeedString().GetText();
        ASSERT_EQ(seed.size(), 9u) << seed;
        EXPECT_EQ(seed[4], ' ') << seed;
        for (size_t k = 0; k < 9; ++k) {
            if (k == 4) continue;
            EXPECT_NE(std::string("BCDFGHJKLMNPQRSTVWXYZ").find(seed[k]), std::string::npos) << seed;
        }
        seen.insert(seed);
    }
    EXPECT_GT(seen.size(), 1u);
}

struct Completion {
    int calls = 0;
    bool randomized = false;
    std::string seed;
    static void Record(void* owner, const bool randomized, const ZString& seed) {
        auto* self = static_cast<Completion*>(owner);
        ++self->calls;
        self->randomized = randomized;
        self->seed = seed.GetText();
    }
};

TEST_F(PlayMenusTest, RandomizerSetupHandsTheChoiceOn) {
    struct Case {
        const char* what;
        int32_t button;  // -1: Cancel
        int calls;
        bool randomized;
    };
    const Case cases[] = {
        {"Original", 0, 1, false},
        {"Random", 1, 1, true},
        {"Cancel", -1, 0, false},
    };
    for (const Case& c : cases) {
        Completion done;
        auto* setup = new RandomizerMenu();
        setup->owner = &done;
        setup->completion = Completion::Record;
        Open(setup);
        EXPECT_EQ(setup->selectedIndex, 0) << c.what << ": Original first";
        setup->seedField->SetText("my seed");
        if (c.button < 0) {
            Send(Kind::Cancel);
        } else {
            setup->Select(c.button);
            Send(Kind::Accept);
        }
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.what;
        EXPECT_EQ(done.calls, c.calls) << c.what;
        if (c.calls > 0) {
            EXPECT_EQ(done.randomized, c.randomized) << c.what;
            EXPECT_EQ(done.seed, "my seed") << c.what << ": the seed as typed";
        }
    }
    // Seed rolls again and stays open.
    auto* setup = new RandomizerMenu();
    Open(setup);
    setup->seedField->SetText("x");
    setup->Select(2);
    Send(Kind::Accept);
    EXPECT_EQ(Top(), setup);
    EXPECT_EQ(setup->seedField->GetFieldText().GetLength(), 9);
    EXPECT_EQ(setup->selectedIndex, 2);
}

TEST_F(PlayMenusTest, PauseMenuButtons) {
    struct Case {
        const char* what;
        bool demo;
        bool randomized;
        std::vector<std::pair<std::string, float>> buttons;
    };
    const Case cases[] = {
        {"plain", false, false, {{"Resume", 328.0f}, {"Options", 384.0f}, {"Title", 440.0f}}},
        {"demo mode", true, false, {{"Resume", 356.0f}, {"Title", 412.0f}}},
        {"randomized",
         false,
         true,
         {{"Resume", 272.0f}, {"Options", 328.0f}, {"DebugReset", 384.0f}, {"DebugCritPath", 440.0f},
          {"Title", 496.0f}}},
    };
    for (const Case& c : cases) {
        SetDemoMode(c.demo);
        GetStateStore()->Clear();
        if (c.randomized) WriteSave(gameflow::kMinimapVersion, true);
        gameflow::SetGameInProgress(true);
        Open(game->CreatePauseMenu());
        std::vector<std::pair<std::string, float>> buttons;
        const ZMenuLabel* info = nullptr;
        for (uint32_t i = 0; i < Top()->GetItemCount(); ++i) {
            const ZMenuItem* item = Top()->GetItem(static_cast<int32_t>(i));
            if (item->IsSelectable()) {
                buttons.emplace_back(item->GetName().GetTextOrEmpty(), item->y);
            } else {
                info = dynamic_cast<const ZMenuLabel*>(item);
            }
        }
        EXPECT_EQ(buttons, c.buttons) << c.what;
        EXPECT_EQ(info != nullptr, c.randomized) << c.what;
        if (info != nullptr) {
            // No player here, so no minimap component: the label is empty.
            EXPECT_EQ(info->GetText(), "") << info->GetText().GetText();
            EXPECT_LT(info->y, Top()->underlays[0]->top) << "the information stands outside the panel";
        }
        Send(Kind::Cancel);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.what << ": cancel resumes";
    }
}

TEST_F(PlayMenusTest, PauseMenuOpensTheRandomizerLogAndReturnsToTheTitle) {
    WriteSave(gameflow::kMinimapVersion, true);
    gameflow::SetGameInProgress(true);
    Open(game->CreatePauseMenu());
    SelectAndSend("DebugCritPath", Kind::Accept);
    auto* info = TopAs<RandomizerInfoMenu>();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetItem(1)->GetText(), KorvanthPauseMenu::BuildRandomizerInfoText());
    Send(Kind::Cancel);
    SelectAndSend("Title", Kind::Accept);
    ASSERT_NE(TopAs<ConfirmationMenu>(), nullptr);
    Top()->Select(0);
    Send(Kind::Accept);
    auto* title = TopAs<KorvanthTitleMenu>();
    ASSERT_NE(title, nullptr);
    EXPECT_FALSE(title->IsOnPressStartPage()) << "outside demo mode straight to the main page";
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    EXPECT_FALSE(gameflow::IsGameInProgress());
    EXPECT_EQ(title->GetItem(0)->GetName(), ZHashedString("Continue")) << "the game was saved first";
}

TEST_F(PlayMenusTest, PauseInformationNamesTheMinimapsCollection) {
    RandomizerComponent randomizer;
    ASSERT_TRUE(randomizer.Setup(true, "abc"));
    MinimapComponent minimap;
    minimap.GetTables().minimapCollections[ZHashedString("Minimap_Ice")] = ZHashedString("IceSet");
    minimap.GetTables().collectionLocKeys[ZHashedString("IceSet")] = ZHashedString("Ice");
    minimap.GetTables().minimapCollections[ZHashedString("Minimap_Lab")] = ZHashedString("LabSet");
    minimap.GetTables().collectionLocKeys[ZHashedString("LabSet")] = ZHashedString("NoSuchTitle");
    struct Case {
        const char* what;
        bool withMinimap;
        const char* current;  // the minimap the player is on
        const char* map;      // the current map's own name
        const char* shown;    // the map line, or "" for no text at all
    };
    const Case cases[] = {
        {"a collection with a localised title", true, "Minimap_Ice", "OVERWORLD", "Map: Ice World {X=3,Y=-1}"},
        {"a title key without a string", true, "Minimap_Lab", "LAB MAP", "Map: Lab Map {X=3,Y=-1}"},
        {"no collection", true, "", "Caverns", "Map: Caverns {X=3,Y=-1}"},
        {"no minimap component", false, "Minimap_Ice", "OVERWORLD", ""},
    };
    for (const Case& c : cases) {
        minimap.SetCurrentMap(ZHashedString(c.current));
        const ZString text = KorvanthPauseMenu::FormatRandomizerInfo(&randomizer, c.withMinimap ? &minimap : nullptr,
                                                                     c.map, 3, -1);
        if (c.shown[0] == '\0') {
            EXPECT_EQ(text, "") << c.what;
            continue;
        }
        const std::string s = text.GetText();
        EXPECT_EQ(s.rfind("Seed: \"abc\" (00004563)\n", 0), 0u) << c.what << ": " << s;
        EXPECT_EQ(s.substr(s.rfind('\n') + 1), c.shown) << c.what;
    }
    EXPECT_EQ(KorvanthPauseMenu::FormatRandomizerInfo(nullptr, &minimap, "OVERWORLD", 0, 0), "");
}

// DisplayCase on a stack that earlier calls left full of capital letters: a
// walk past the bytes it wrote itself meets no zero there, and the sanitizer
// build stops at the buffer's end. The call stands lower than the letters'
// own frame, so that it meets the letters, not that frame's saved addresses.
[[gnu::noinline]] void FillTheStack() {
    volatile char letters[16384];
    for (volatile char& c : letters) c = 'Q';
}
[[gnu::noinline]] ZString DisplayCaseLower(const ZString& name) {
    volatile char lower[1024];
    lower[0] = '\0';
    ZString shown = KorvanthPauseMenu::DisplayCase(name);
    return lower[0] == '\0' ? shown : ZString();
}
ZString DisplayCaseOnADirtyStack(const ZString& name) {
    FillTheStack();
    return DisplayCaseLower(name);
}

TEST_F(PlayMenusTest, MapNamesInDisplayCase) {
    struct Case {
        const char* name;
        const char* shown;
    };
    const Case cases[] = {
        {"ICE WORLD", "Ice World"}, {"ice world", "ice world"}, {"McMAP", "Mcmap"},
        {"A\tB\nCD", "A\tB\nCd"},   {"", ""},  {"X", "X"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayCaseOnADirtyStack(c.name), c.shown) << c.name;
    }
    EXPECT_EQ(KorvanthPauseMenu::DisplayCase(std::string(400, 'A').c_str()).GetLength(), 255);
}

TEST_F(PlayMenusTest, LoadingScreenHidesTheTextLayerWhileItStands) {
    auto* loading = new LoadingMenu();
    EXPECT_FALSE(GetMenuScene().textLayerVisible);
    EXPECT_TRUE(GetMenuScene().wipeVisible);
    delete loading;
    EXPECT_TRUE(GetMenuScene().textLayerVisible);
    EXPECT_FALSE(GetMenuScene().wipeVisible);
}

TEST_F(PlayMenusTest, ACampaignThatCannotStartBringsTheTitleBack) {
    // A save that names a campaign file no source holds (a removed mod).
    SavedProgress progress;
    progress.campaign = "Removed Mod.kdd";
    progress.map = "Somewhere";
    progress.minimapVersion = gameflow::kMinimapVersion;
    gameflow::WriteProgressAndAutosave(progress);
    Open(game->CreateTitleMenu(1));
    SelectAndSend("Continue", Kind::Accept);
    ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    auto* title = TopAs<KorvanthTitleMenu>();
    ASSERT_NE(title, nullptr) << "not an empty screen";
    EXPECT_FALSE(title->IsOnPressStartPage());
    EXPECT_FALSE(gameflow::IsGameInProgress());
    EXPECT_TRUE(std::filesystem::exists(AutosaveFile())) << "the save is kept";
}

TEST_F(PlayMenusTest, LoadWarningContinuesTheSaveOnEitherAnswer) {
    for (const int32_t answer : {Kind::Accept, Kind::Cancel}) {
        WriteSave();  // its checkpoint lies in "Overworld"; a new game would start in "Caverns"
        gameflow::SetGameInProgress(false);
        auto* warning = new LoadWarningMenu(ZHashedString("MinimapWarning"));
        warning->SetTarget("Korvanth.kdd");
        Open(warning);
        EXPECT_NE(warning->GetWarningText().Find("\n"), -1) << "the text's \\n is a line break";
        Send(answer);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << answer;
        EXPECT_TRUE(gameflow::IsGameInProgress()) << answer;
        EXPECT_EQ(game->GetCurrentMapName(), "Overworld") << answer << ": continued at the checkpoint";
        game->LoadCampaign("Caverns");
    }
}

TEST_F(PlayMenusTest, LoadWarningAnswersOnceWhenBothAnswersComeInOneUpdate) {
    WriteSave();
    auto* warning = new LoadWarningMenu(ZHashedString("MinimapWarning"));
    warning->SetTarget("Korvanth.kdd");
    Open(warning);
    // Accept and Cancel before the manager applies what they asked for.
    for (const int32_t answer : {Kind::Accept, Kind::Cancel}) {
        ZMenuEvent event;
        event.kind = answer;
        GetMenuMgr()->DispatchEvent(event, nullptr);
    }
    EXPECT_EQ(GetMenuMgr()->GetQueuedOpenCount(), 1u) << "one loading screen, one start";
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_TRUE(gameflow::IsGameInProgress());
}

TEST_F(PlayMenusTest, DemoCountdown) {
    struct Case {
        float duration;
        const char* first;
    };
    const Case cases[] = {{0.0f, "Returning to the title in 15"}, {-1.0f, "Returning to the title in 15"},
                          {5.99f, "Returning to the title in 5"}};
    for (const Case& c : cases) {
        DemoIdleMenu menu(c.duration, false);
        EXPECT_EQ(menu.GetCountdownLabel()->GetText(), c.first) << c.duration;
    }
}

TEST_F(PlayMenusTest, DemoCountdownExpiresIntoTheTitleOnce) {
    SetDemoMode(true);
    gameflow::SetGameInProgress(true);
    Open(game->CreatePauseMenu());
    Open(new DemoIdleMenu(5.99f, true));
    Send(Kind::Cancel);
    Send(Kind::Accept);
    EXPECT_NE(TopAs<DemoIdleMenu>(), nullptr) << "without the prompt nothing dismisses it";
    for (int i = 0; i < 7; ++i) {
        GetUpdateRegistry()->Run(1.0f, 1);
        Settle();
    }
    ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    auto* title = TopAs<KorvanthTitleMenu>();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->IsOnPressStartPage());
}

TEST_F(PlayMenusTest, AnsweringTheCountdownGoesBackToWhatWasThere) {
    struct Case {
        const char* what;
        bool inGame;
        uint32_t left;  // menus open afterwards
    };
    // Over a running game every menu goes; over the title only the countdown.
    const Case cases[] = {{"in play", true, 0}, {"on the title", false, 1}};
    for (const Case& c : cases) {
        gameflow::SetGameInProgress(c.inGame);
        Open(c.inGame ? game->CreatePauseMenu() : game->CreateTitleMenu(0));
        Open(new DemoIdleMenu(0.0f, false));
        Send(Kind::Accept);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), c.left) << c.what;
        GetMenuMgr()->CloseAll();
        Settle();
    }
}

TEST_F(PlayMenusTest, DemoResetClosesEverythingIntoAShortCountdown) {
    SetDemoMode(true);
    gameflow::SetGameInProgress(true);
    Open(game->CreatePauseMenu());
    StartDemoReset();
    Settle();
    ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    auto* counting = TopAs<DemoIdleMenu>();
    ASSERT_NE(counting, nullptr);
    EXPECT_FLOAT_EQ(counting->GetRemaining(), 5.99f);
    StartDemoReset();  // held: not again
    Settle();
    EXPECT_EQ(Top(), counting);
}

TEST_F(PlayMenusTest, DemoIdleCountOpensTheCountdownPastItsTime) {
    SetDemoMode(true);
    struct Case {
        const char* what;
        bool menuOpen;
        float notYet;  // seconds that are not yet past the time
    };
    // The player's idle count: 15 s with a menu up (the pause menu), 45 s without.
    const Case cases[] = {{"a menu open", true, 15.0f}, {"no menu", false, 45.0f}};
    for (const Case& c : cases) {
        if (c.menuOpen) Open(game->CreatePauseMenu());
        float idle = c.notYet;
        EXPECT_FALSE(OpenDemoIdleWhenDue(idle)) << c.what;
        EXPECT_EQ(idle, c.notYet) << c.what << ": the count goes on";
        idle = c.notYet + 0.01f;
        EXPECT_TRUE(OpenDemoIdleWhenDue(idle)) << c.what;
        EXPECT_EQ(idle, 0.0f) << c.what << ": the count starts again";
        Settle();
        EXPECT_NE(TopAs<DemoIdleMenu>(), nullptr) << c.what;
        idle = 100.0f;
        EXPECT_FALSE(OpenDemoIdleWhenDue(idle)) << c.what << ": not over a countdown";
        GetMenuMgr()->CloseAll();
        Settle();
    }
}

}  // namespace
}  // namespace menustest
