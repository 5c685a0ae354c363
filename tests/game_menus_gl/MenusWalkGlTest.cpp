// The game's menus as a player walks them: the real start-up on the SDL
// window (headless driver), the GL device, fake sound and keyboard, the
// game's packages. Title, the randomizer setup, loading, play, pause, every
// option page, a CRT tuner change that the next frame shows, the way back to
// the title, a continue through the old-save warning, and in demo mode the
// idle countdown on the title. With KORV_MENU_SHOTS set to a folder, each
// menu is written there as a PNG (docs/menus/ holds them).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/menus/AnaglyphMenu.h"
#include "game/menus/CRTTunerMenu.h"
#include "game/menus/CampaignMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/DemoIdleMenu.h"
#include "game/menus/GameFlow.h"
#include "game/menus/KorvanthAudioMenu.h"
#include "game/menus/KorvanthCRTMenu.h"
#include "game/menus/KorvanthGameOptionsMenu.h"
#include "game/menus/KorvanthOptionsMenu.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "renderer/ZFont.h"
#include "game/menus/RandomizerInfoMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MessageMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/fake/fake.h"
#include "platform/sound/sound.h"
#include "platform/window/keycodes.h"
#include "renderer/ZRenderer.h"
#include "support/GameMenusWalk.h"
#include "support/GamePackages.h"
#include "support/MenuWalk.h"
#include "support/TempDir.h"

namespace {

using namespace menuwalk;

// The title with its fade-in and page change over, as a player sees it at rest.
bool TitleAtRest() {
    const auto* title = dynamic_cast<const KorvanthTitleMenu*>(GetMenuMgr()->GetTopMenu());
    return AtRestOn<KorvanthTitleMenu>() && title->GetTitleFade() == 0.0f && title->GetPageTransition() == 0.0f &&
           title->GetTimeOpen() >= KorvanthTitleMenu::kFadeSeconds;
}

TEST(GameMenusWalkGl, FromTheTitleIntoPlayThroughEveryPageAndBackToContinue) {
    gametest::RunInChild([] {
        GameRunWalk run("");
        KorvanthGame* game = run.game;
        const auto press = [&](const uint8_t key) { return [&run, key] { run.Press(key); }; };
        const auto ready = [] { return true; };
        using namespace platform;
        std::vector<uint32_t> before;
        size_t changedPixels = 0;
        float scanOpacityBefore = 0.0f;
        const std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, press(DIK_RETURN)},
            {"press start, faded in", TitleAtRest,
             [&] {
                 Shot("title_press_start");
                 run.Press(DIK_RETURN);
             }},
            {"the main page: New Game", TitleAtRest,
             [&] {
                 const auto* title = dynamic_cast<KorvanthTitleMenu*>(GetMenuMgr()->GetTopMenu());
                 EXPECT_FALSE(title->IsOnPressStartPage());
                 Shot("title_main");
                 run.Press(DIK_RETURN);
             }},
            {"randomizer setup: to Random", [] { return AtRestOn<RandomizerMenu>(); },
             [&] {
                 Shot("randomizer_setup");
                 run.Press(DIK_DOWN);
             }},
            {"start the randomized world", ready, press(DIK_RETURN)},
            {"loading", [] { return OnTop<LoadingMenu>(); },
             [] { EXPECT_FALSE(KorvanthGame::Get()->GetHUDFont()->visible) << "the text layer hides while loading"; }},
            // Its opening over, the frame it starts the campaign in: the text
            // shows in full (its close is asked for by then).
            {"loading, opened",
             [] { return OnTop<LoadingMenu>() && GetMenuMgr()->GetTransitionState() == ZMenuMgr::kNone; },
             [] { Shot("loading"); }},
            {"playing a seeded world: pause", Playing,
             [&] {
                 EXPECT_TRUE(KorvanthGame::Get()->GetHUDFont()->visible) << "and shows in play";
                 EXPECT_TRUE(gameflow::IsGameInProgress());
                 EXPECT_TRUE(gameflow::IsRandomized());
                 EXPECT_EQ(gameflow::GetSeedString().GetLength(), 9);
                 EXPECT_FALSE(game->GetCurrentMapName().IsEmpty());
                 run.Press(DIK_ESCAPE);
             }},
            {"paused: to Options", [] { return AtRestOn<KorvanthPauseMenu>(); },
             [&] {
                 Shot("pause");
                 run.Press(DIK_DOWN);
             }},
            {"open the options", ready, press(DIK_RETURN)},
            {"options: open Game", [] { return AtRestOn<KorvanthOptionsMenu>(); },
             [&] {
                 Shot("options");
                 run.Press(DIK_RETURN);
             }},
            {"game options", [] { return AtRestOn<KorvanthGameOptionsMenu>(); },
             [&] {
                 Shot("game_options");
                 run.Press(DIK_ESCAPE);
             }},
            {"options: to CRT", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
            {"open CRT", ready, press(DIK_RETURN)},
            {"CRT page: to the switch", [] { return AtRestOn<KorvanthCRTMenu>(); },
             [&] {
                 EXPECT_TRUE(game->m_tunerActive);
                 EXPECT_EQ(GetMenuMgr()->GetOverlayOpacity(), 0.0f) << "the picture is not darkened";
                 Shot("crt");
                 run.Press(DIK_DOWN);
             }},
            {"to Shape", ready, press(DIK_DOWN)},
            {"to Color", ready, press(DIK_DOWN)},
            {"open Color", ready, press(DIK_RETURN)},
            {"color tuner: to the first row", [] { return AtRestOn<CRTTunerColorMenu>(); },
             [&] {
                 Shot("tuner_color");
                 run.Press(DIK_DOWN);
             }},
            {"the picture before", ready,
             [&] {
                 before = BackBuffer();
                 scanOpacityBefore = game->m_displaySettings.scanOpacity;
                 run.Press(DIK_LEFT);
             }},
            {"scanlines lighter: the next frame shows it", ready,
             [&] {
                 EXPECT_LT(game->m_displaySettings.scanOpacity, scanOpacityBefore);
                 const std::vector<uint32_t> after = BackBuffer();
                 ASSERT_EQ(after.size(), before.size());
                 for (size_t i = 0; i < after.size(); ++i) changedPixels += after[i] != before[i] ? 1 : 0;
                 run.Press(DIK_ESCAPE);
             }},
            {"back on CRT", [] { return AtRestOn<KorvanthCRTMenu>(); }, press(DIK_UP)},
            {"to Shape", ready, press(DIK_RETURN)},
            {"shape tuner", [] { return AtRestOn<CRTTunerShapeMenu>(); },
             [&] {
                 Shot("tuner_shape");
                 run.Press(DIK_ESCAPE);
             }},
            {"to Lighting", [] { return AtRestOn<KorvanthCRTMenu>(); }, press(DIK_DOWN)},
            {"to Lighting", ready, press(DIK_DOWN)},
            {"open Lighting", ready, press(DIK_RETURN)},
            {"lighting tuner", [] { return AtRestOn<CRTTunerLightingMenu>(); },
             [&] {
                 Shot("tuner_lighting");
                 run.Press(DIK_ESCAPE);
             }},
            {"leave CRT", [] { return AtRestOn<KorvanthCRTMenu>(); }, press(DIK_ESCAPE)},
            {"options: to Anaglyph", [] { return AtRestOn<KorvanthOptionsMenu>(); },
             [&] {
                 EXPECT_FALSE(game->m_tunerActive);
                 run.Press(DIK_DOWN);
             }},
            {"open Anaglyph", ready, press(DIK_RETURN)},
            {"anaglyph", [] { return AtRestOn<AnaglyphMenu>(); },
             [&] {
                 Shot("anaglyph");
                 run.Press(DIK_ESCAPE);
             }},
            {"to Video", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
            {"to Audio", ready, press(DIK_DOWN)},
            {"open Audio", ready, press(DIK_RETURN)},
            {"audio", [] { return AtRestOn<KorvanthAudioMenu>(); },
             [&] {
                 Shot("audio");
                 run.Press(DIK_ESCAPE);
             }},
            {"to Controls", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
            {"to Language", ready, press(DIK_DOWN)},
            {"to Credits", ready, press(DIK_DOWN)},
            {"open Credits", ready, press(DIK_RETURN)},
            {"credits", [] { return AtRestOn<CreditsMenu>(); },
             [&] {
                 Shot("credits");
                 run.Press(DIK_RETURN);
             }},
            {"leave the options", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_ESCAPE)},
            {"pause: to the randomizer log", [] { return AtRestOn<KorvanthPauseMenu>(); }, press(DIK_DOWN)},
            {"to the log", ready, press(DIK_DOWN)},
            {"open the log", ready, press(DIK_RETURN)},
            {"randomizer log", [] { return AtRestOn<RandomizerInfoMenu>(); },
             [&] {
                 Shot("randomizer_log");
                 run.Press(DIK_ESCAPE);
             }},
            {"to Title", [] { return AtRestOn<KorvanthPauseMenu>(); }, press(DIK_DOWN)},
            {"ask for the title", ready, press(DIK_RETURN)},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); },
             [&] {
                 Shot("confirm_title");
                 run.Press(DIK_LEFT);
             }},
            {"answer Yes", ready, press(DIK_RETURN)},
            {"the title offers Continue: make the save an old one", [] { return AtRestOn<KorvanthTitleMenu>(); },
             [&] {
                 EXPECT_FALSE(gameflow::IsGameInProgress());
                 const ZMenu* title = GetMenuMgr()->GetTopMenu();
                 EXPECT_EQ(title->GetSelectedItem()->GetName(), ZHashedString("Continue"));
                 Shot("title_continue");
                 // The save as an older version wrote it: no minimap version,
                 // neither in the run record nor in the player's minimap data.
                 SavedProgress progress;
                 ASSERT_TRUE(gameflow::ReadProgress(progress));
                 progress.minimapVersion = 0;
                 gameflow::WriteProgressAndAutosave(progress);
                 ZDefNode& player = GetStateStore()->GetOrInsert(Player::kGUID);
                 for (ZDefNode& data : player.children) {
                     if (data.name == ZHashedString("Minimap")) data.SetAttribute(ZHashedString("Version"), "0");
                 }
                 ASSERT_TRUE(GetStateStore()->Save(KorvanthGame::Get()->GetAutosavePath().GetText()));
                 run.Press(DIK_RETURN);
             }},
            {"the warning", [] { return AtRestOn<LoadWarningMenu>(); },
             [&] {
                 Shot("load_warning");
                 run.Press(DIK_RETURN);
             }},
            {"playing the saved game again", Playing,
             [&] {
                 EXPECT_TRUE(gameflow::IsGameInProgress());
                 EXPECT_TRUE(gameflow::IsRandomized()) << "the continued save keeps its seed";
                 // A campaign select over the only campaign, for its picture.
                 GetMenuMgr()->OpenMenu(new CampaignMenu());
             }},
            {"campaign select", [] { return AtRestOn<CampaignMenu>(); },
             [&] {
                 Shot("campaign_select");
                 run.Press(DIK_ESCAPE);
             }},
            {"pause", Playing, press(DIK_ESCAPE)},
            {"to Title", [] { return AtRestOn<KorvanthPauseMenu>(); }, press(DIK_UP)},
            {"ask", ready, press(DIK_RETURN)},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, press(DIK_LEFT)},
            {"Yes", ready, press(DIK_RETURN)},
            {"title: up to Exit", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_UP)},
            {"ask to exit", ready, press(DIK_RETURN)},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, press(DIK_LEFT)},
            {"answer Yes", ready, press(DIK_RETURN)},
        };
        const size_t done = run.Walk(steps, 4000);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
        EXPECT_GT(changedPixels, 0u) << "the tuner's change shows in the next frame";
        EXPECT_EQ(run.game->exits, 1);
    });
}

TEST(GameMenusWalkGl, DemoModeLeavesTheIdleTitleWithoutACountdown) {
    gametest::RunInChild([] {
        GameRunWalk run("DemoMode: true");
        // Only play counts the idle time down: the title and its menus do not,
        // however long nobody touches them (50 s here, past both limits).
        int idleFrames = 0;
        bool countdownSeen = false;
        const std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; },
             [&] { run.Press(platform::DIK_RETURN); }},
            {"the title", [] { return AtRestOn<KorvanthTitleMenu>(); }, [] {}},
            {"left alone for 50 s",
             [&] {
                 countdownSeen = countdownSeen || OnTop<DemoIdleMenu>();
                 return ++idleFrames > 1000;
             },
             [] {
                 EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
                 EXPECT_TRUE(OnTop<KorvanthTitleMenu>());
             }},
        };
        const size_t done = run.Walk(steps, 1100);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
        EXPECT_FALSE(countdownSeen);
    });
}

// A save cut in half at start-up: the title, at rest, says once that it could
// not be read and where its copy was kept (the copy holds every byte), then
// offers New Game without Continue; nothing asks again.
TEST(GameMenusWalkGl, ADamagedSaveIsToldOnceOverTheTitle) {
    struct Case {
        const char* language;
        const char* words;  // the notice's start in that language
    };
    const Case cases[] = {{"", "Your saved game could not be read"},
                          {"German", "Der gespeicherte Spielstand konnte nicht gelesen werden"}};
    for (const Case& c : cases) {
        gametest::RunInChild([&c] {
            GameRunWalk run(*c.language != '\0' ? (std::string("Language: ") + c.language).c_str() : "");
            ZStateStore whole;
            for (uint32_t key = 1; key <= 8; ++key) {
                ZDefNode& node = whole.GetOrInsert(key);
                node.name = ZHashedString("Player");
                node.SetAttribute(ZHashedString("DeathsCount"), ZString("12"));
            }
            const std::string bytes = whole.SaveBytes();
            const std::string cut = bytes.substr(0, bytes.size() / 2);
            const std::string saves = std::string("My Games/") + KorvanthGame::kTitle + "/Saves/";
            run.documents.Write(saves + "autosave.zsd", cut);
            std::string told;
            int32_t inkPixels = 0;
            int32_t noticesAfter = 0;
            int32_t framesAfter = 0;
            MessageMenu* notice = nullptr;
            std::vector<uint32_t> shown;
            const std::vector<Step> steps = {
                {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; },
                 [&] { run.Press(platform::DIK_RETURN); }},
                {"the notice over the title", [] { return AtRestOn<MessageMenu>(); },
                 [&] {
                     notice = dynamic_cast<MessageMenu*>(GetMenuMgr()->GetTopMenu());
                     told = notice->descriptionLabel->text.GetText();
                     Shot("damaged_save_notice");
                     shown = BackBuffer();
                     notice->descriptionLabel->text = ZString();
                 }},
                {"its text read back", [] { return true; },
                 [&] {
                     // Only the text went: what differs on its panel is the
                     // notice's words (the canvas spans the 640 x 480 window).
                     const std::vector<uint32_t> blank = BackBuffer();
                     const ZMenuItem* label = notice->descriptionLabel;
                     const auto x0 = static_cast<int32_t>(label->left * 640.0f / 1024.0f);
                     const auto x1 = static_cast<int32_t>((label->left + label->width) * 640.0f / 1024.0f);
                     const auto y0 = static_cast<int32_t>(label->top * 480.0f / 768.0f);
                     const auto y1 = static_cast<int32_t>((label->top + label->height) * 480.0f / 768.0f);
                     ASSERT_EQ(shown.size(), 640u * 480u);
                     ASSERT_EQ(blank.size(), shown.size());
                     for (int32_t y = std::max(y0, 0); y < std::min(y1, 480); ++y) {
                         for (int32_t x = std::max(x0, 0); x < std::min(x1, 640); ++x) {
                             const size_t i = static_cast<size_t>(y) * 640u + static_cast<size_t>(x);
                             if (shown[i] != blank[i]) ++inkPixels;
                         }
                     }
                     notice->descriptionLabel->text = ZString(told.c_str());
                     run.Press(platform::DIK_RETURN);
                 }},
                {"the title again, for a while",
                 [&] {
                     noticesAfter += AtRestOn<MessageMenu>() ? 1 : 0;
                     return AtRestOn<KorvanthTitleMenu>() && ++framesAfter > 60;
                 },
                 [&] { run.Press(platform::DIK_RETURN); }},
                {"the main page", TitleAtRest,
                 [] {
                     const auto* title = dynamic_cast<KorvanthTitleMenu*>(GetMenuMgr()->GetTopMenu());
                     EXPECT_FALSE(title->IsOnPressStartPage());
                     EXPECT_EQ(title->GetSelectedItem()->GetName(), ZHashedString("NewGame"))
                         << "no Continue: New Game starts afresh";
                 }},
            };
            const size_t done = run.Walk(steps, 1500);
            EXPECT_EQ(done, steps.size()) << "the walk stopped before: "
                                          << (done < steps.size() ? steps[done].what : "");
            const std::filesystem::path folder = run.documents.Path() / saves;
            const std::string copy = (folder / "autosave.zsd.damaged").string();
            EXPECT_EQ(told.rfind(c.words, 0), 0u) << told;
            EXPECT_NE(told.find(copy), std::string::npos) << told << " names " << copy;
            EXPECT_GT(inkPixels, 500) << "the notice's words show";
            EXPECT_EQ(noticesAfter, 0) << "told once";
            std::ifstream in(copy, std::ios::binary);
            const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(kept, cut) << "the copy keeps every byte";
        });
    }
}

}  // namespace
