// The game as a player starts it: the real start-up on the SDL window
// (headless driver), the GL device, the fake sound device and the fake
// keyboard, with the game's packages from the data build. The walk: the
// splash, skipped with Enter; the title's press-start page; New Game and the
// original world into the campaign that start-up opened; Escape's pause menu and its way back to the title; Exit.
// Along the way the game's neighbours are checked where they meet the game:
// the synthesizer voice (tunes, reverb, the paused volume) and the entity
// framework's questions.

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/ZAudioMgr.h"
#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZLightMgr.h"
#include "entity/ZRenderableComponent.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "game/player/Player.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/fake/fake.h"
#include "platform/sound/sound.h"
#include "platform/window/keycodes.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"
#include "support/MenuWalk.h"
#include "support/ScreenShots.h"
#include "support/TempDir.h"

namespace {

// The game with a fake clock stepped 0.05 s a frame (or as set) and a hook after each drawn frame.
class WalkedGame : public KorvanthGame {
public:
    // Start-up moves to the program's folder; the packages are in the data build.
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        for (const char* package :
             {"Engine.zpk", "Korvanth.zpk", "KorvanthHeavy.zpk", "KorvanthVersion.zpk"}) {
            ZStreamMgr::GetInstance()->AddPackageSource(
                (std::string(KORV_DATA_BUILD_DIR) + "/" + package).c_str());
        }
    }
    void UpdateTiming() override {
        clock->AdvanceSeconds(frameSeconds);
        KorvanthGame::UpdateTiming();
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        if (afterFrame) afterFrame();
        if (drawnFrames == quitAfterFrames) RequestQuit();
    }
    void Exit() override {
        KorvanthGame::Exit();
        ++exits;
        synthAfterExit = GetAudioMgr()->FindSound(ZHashedString("MultiSynth")) != nullptr;
        voiceAfterExit = GetVoice() != nullptr;
    }

    os::fake::FakeClock* clock = nullptr;
    double frameSeconds = 0.05;
    std::function<void()> afterFrame;
    int drawnFrames = 0;
    int quitAfterFrames = -1;
    int exits = 0;
    bool synthAfterExit = true;
    bool voiceAfterExit = true;
};

using korvtest::AtRestOn;
using korvtest::Step;

ZMultiSynthVoice* Synth() {
    return dynamic_cast<ZMultiSynthVoice*>(GetAudioMgr()->FindSound(ZHashedString("MultiSynth")));
}

// The music thread applies the reverb word on its next pass: wait for it (a
// bounded wait, not a measurement).
bool WaitForReverbLines(ZMultiSynthVoice* synth, const bool wanted) {
    for (int i = 0; i < 400; ++i) {
        {
            const std::lock_guard<os::Mutex> lock(ZBufferedVoice::VoiceMutex());
            if ((synth->GetReverbLineCount() > 0) == wanted) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool IsPlaying(ZMultiSynthVoice* synth, const char* name, size_t* events = nullptr) {
    ZArray<ZMultiSynthPlayer> players;
    synth->GetPlayingTunes(players);
    for (const ZMultiSynthPlayer& player : players) {
        if (player.name == ZHashedString(name)) {
            if (events != nullptr) *events = player.events.Count();
            return true;
        }
    }
    return false;
}

TEST(KorvanthRunGl, SplashTitleNewGamePauseAndExitWithTheGamesVoiceAndHooks) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        platform::input::FakeInputSystem* const input =
            gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                     "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\n"
                                     "HeightWindowed: 480\r\n");

        auto* game = new WalkedGame();
        game->clock = &clock;
        auto display = std::make_unique<KorvanthDisplay>();
        KorvanthDisplay* shownBy = display.get();
        game->SetDisplay(std::move(display));

        uint8_t heldKey = 0;
        const auto press = [&](const uint8_t key) {
            input->SetKey(key, true);
            heldKey = key;
        };
        bool sawSplash = false;
        std::string mapAtStart;
        using namespace platform;
        const std::vector<Step> steps = {
            {"the splash plays", [] { return GetCinematicMgr()->GetPlayingCount() > 0; },
             [&] { sawSplash = true; }},
            {"skip it", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"the title, with the game's voice and answers", [] { return AtRestOn<KorvanthTitleMenu>(); },
             [&] {
                 mapAtStart = game->GetCurrentMapName().GetText();
                 ZMultiSynthVoice* synth = Synth();
                 ASSERT_NE(synth, nullptr) << "the synthesizer sound exists";
                 ASSERT_NE(game->GetVoice(), nullptr);
                 // The stored settings (Reverb on by default) reached the synthesizer.
                 EXPECT_NE(game->PackReverbWord(), 0u);
                 EXPECT_TRUE(WaitForReverbLines(synth, true)) << "reverb lines from the start-up word";
                 // A tune through the game's voice plays on the synthesizer under its channel.
                 game->GetVoice()->PlayTune("title.zms", 1, ZHashedString("BGMusicTune"));
                 size_t events = 0;
                 EXPECT_TRUE(IsPlaying(synth, "BGMusicTune", &events));
                 EXPECT_GT(events, 0u) << "the packed tune's events";
                 game->GetVoice()->StopChannel(ZHashedString("BGMusicTune"));
                 EXPECT_FALSE(IsPlaying(synth, "BGMusicTune"));
                 // Switching reverb off in the settings clears the lines; on again rebuilds them.
                 LoadConfigText("[Audio]\r\nReverb: false\r\n", 25);
                 EXPECT_TRUE(WaitForReverbLines(synth, false)) << "reverb off";
                 LoadConfigText("[Audio]\r\nReverb: true\r\n", 24);
                 EXPECT_TRUE(WaitForReverbLines(synth, true)) << "reverb on again";

                 // Frames go into the window one to one: its drawable is the
                 // back buffer's size, so presenting is a copy, not a scaling.
                 int32_t drawableWidth = 0;
                 int32_t drawableHeight = 0;
                 ASSERT_NE(SDL_GL_GetCurrentWindow(), nullptr);
                 SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &drawableWidth, &drawableHeight);
                 EXPECT_EQ(GetRenderer()->GetBackBufferWidth(), 640);
                 EXPECT_EQ(GetRenderer()->GetBackBufferHeight(), 480);
                 EXPECT_EQ(drawableWidth, GetRenderer()->GetBackBufferWidth());
                 EXPECT_EQ(drawableHeight, GetRenderer()->GetBackBufferHeight());

                 // The entity framework's questions, answered by the game.
                 int32_t width = 0;
                 int32_t height = 0;
                 GetGameScreenSize(width, height);
                 EXPECT_EQ(width, game->GetScreenWidth());
                 EXPECT_EQ(height, game->GetScreenHeight());
                 EXPECT_EQ(GetGameFrameTime(), game->GetGameFrameTime());
                 EXPECT_EQ(GetGameFont(ZHashedString("Dialog")), game->GetHUDFont());
                 EXPECT_EQ(GetGameFont(ZHashedString("Prompt")), game->GetHUDFont());
                 EXPECT_EQ(GetGameFont(ZHashedString("Popup")), game->GetMenuFont());
                 EXPECT_NE(game->GetHUDFont(), nullptr);
                 EXPECT_EQ(GetGameFont(ZHashedString("Nonsense")), nullptr);
                 EXPECT_EQ(ZLightMgr::Find(), &game->GetLightMgr());
                 EXPECT_EQ(FindGameManager(ZHashedString("Other Manager")), nullptr);
                 EXPECT_EQ(GetGameDialogStringFile(), game->GetCampaignStringFile());
                 EXPECT_EQ(GetWorldSpriteGroup(), ZHashedString("World Sprites Group"));
                 // The item pictures draw inline in the HUD's texts with the
                 // status glyph material.
                 ZSpriteBatch* sheet = game->GetItemSheet();
                 ASSERT_NE(sheet, nullptr);
                 ASSERT_NE(shownBy->GetItemSheetShader(), nullptr);
                 EXPECT_EQ(sheet->shader, shownBy->GetItemSheetShader());
                 EXPECT_EQ(shownBy->GetItemSheetShader()->GetKind(), AnaglyphTextShader::Kind::kStatusGlyphs);
                 const ZRenderGroup* glyphs = GetRenderer()->FindRenderGroup(ZHashedString("Glyph Group"));
                 ASSERT_NE(glyphs, nullptr);
                 EXPECT_TRUE(glyphs->Contains(sheet));
                 // The dialog's "still typing" event chirps on the dialog text channel.
                 ShowGameDialogText(5);
                 ShowGameDialogText(1);
                 EXPECT_FALSE(IsPlaying(synth, "DialogText")) << "closing the dialog stops its chirp";
             }},
            {"past press start", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"new game", [] { return AtRestOn<KorvanthTitleMenu>(); }, [&] { press(DIK_RETURN); }},
            {"the original world", [] { return AtRestOn<RandomizerMenu>(); }, [&] { press(DIK_RETURN); }},
            {"playing, then Escape",
             [] { return GetMenuMgr()->GetOpenMenuCount() == 0 && GetMenuMgr()->GetRequests().IsEmpty(); },
             [&] {
                 EXPECT_FALSE(game->GetCurrentMapName().IsEmpty()) << "the campaign's entry map is current";
                 EXPECT_TRUE(mapAtStart.empty()) << "no campaign opens before the title starts one";
                 press(DIK_ESCAPE);
             }},
            {"paused: the voice is quieter", [] { return AtRestOn<KorvanthPauseMenu>(); },
             [&] {
                 ASSERT_NE(Synth(), nullptr);
                 EXPECT_FLOAT_EQ(Synth()->volume, 0.35f);
             }},
            {"resume", [] { return true; }, [&] { press(DIK_ESCAPE); }},
            {"playing again at full volume, then Escape",
             [] { return GetMenuMgr()->GetOpenMenuCount() == 0 && GetMenuMgr()->GetRequests().IsEmpty(); },
             [&] {
                 ASSERT_NE(Synth(), nullptr);
                 EXPECT_FALSE(game->IsGamePaused());
                 EXPECT_FLOAT_EQ(Synth()->volume, 1.0f);
                 press(DIK_ESCAPE);
             }},
            {"paused again", [] { return AtRestOn<KorvanthPauseMenu>(); }, [] {}},
            {"up to Title", [] { return true; }, [&] { press(DIK_UP); }},
            {"ask for the title", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"title again: up to Exit", [] { return AtRestOn<KorvanthTitleMenu>(); }, [&] { press(DIK_UP); }},
            {"ask to exit", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
        };
        size_t next = 0;
        game->afterFrame = [&] {
            if (heldKey != 0) {
                input->SetKey(heldKey, false);
                heldKey = 0;
                return;
            }
            if (next < steps.size() && steps[next].ready()) {
                steps[next].act();
                ++next;
            }
        };
        game->quitAfterFrames = 3000;  // a safety net: Exit ends the run first
        ZBaseGame::Run(game, 0, 0, "", platform::window::SW_SHOWNORMAL);

        EXPECT_TRUE(sawSplash);
        EXPECT_EQ(next, steps.size())
            << "the walk stopped before: " << (next < steps.size() ? steps[next].what : "");
        EXPECT_LT(game->drawnFrames, 3000) << "Exit ended the run";
        EXPECT_EQ(game->exits, 1);
        EXPECT_FALSE(game->synthAfterExit) << "Exit releases the synthesizer's sound";
        EXPECT_FALSE(game->voiceAfterExit);
        EXPECT_EQ(GetEntityGameHooks().getFrameTime, nullptr) << "shutdown unsets the game's hooks";
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    });
}

// Where the band's sharp detail (the prompt's letters) stands: the centre of
// the brightness steps between neighbouring pixels, weighted by their size,
// inside the screen's middle (the tube's rim left out); and their sum. Smooth
// shading and the fade's dimming move neither the centre nor the letters.
struct BandDetail {
    double centreX = 0.0;
    double total = 0.0;
};
BandDetail MeasureBand(const screenshot::Shot& shot, const float top, const float bottom) {
    const auto brightness = [&shot](const int32_t x, const int32_t y) {
        const uint32_t p = shot.pixels[static_cast<size_t>(y) * static_cast<size_t>(shot.width) + static_cast<size_t>(x)];
        return static_cast<double>(((p >> 16) & 0xFFu) + ((p >> 8) & 0xFFu) + (p & 0xFFu));
    };
    BandDetail detail;
    double weighted = 0.0;
    for (auto y = static_cast<int32_t>(top * static_cast<float>(shot.height));
         y < static_cast<int32_t>(bottom * static_cast<float>(shot.height)); ++y) {
        for (int32_t x = shot.width / 8; x < shot.width * 7 / 8; ++x) {
            const double step = std::fabs(brightness(x + 1, y) - brightness(x, y));
            weighted += step * x;
            detail.total += step;
        }
    }
    detail.centreX = detail.total > 0.0 ? weighted / detail.total : 0.0;
    return detail;
}

// On a slow machine (a frame every quarter second) the title fades in where
// it stays: from the splash's end on, nothing of the menu slides sideways,
// and the press-start prompt stands where it settles in every frame that
// shows it.
TEST(KorvanthRunGl, TheTitleFadesInInPlaceAfterTheSplashOnASlowMachine) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                 "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\n"
                                 "HeightWindowed: 480\r\n");
        auto* game = new WalkedGame();
        game->clock = &clock;
        game->frameSeconds = 0.25;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());

        // The prompt's band, below the picture (its item stands at y 656 of 768).
        constexpr float kTop = 0.77f;
        constexpr float kBottom = 0.87f;
        std::vector<std::pair<int, BandDetail>> prompts;
        std::vector<float> slides;
        BandDetail settled;
        int afterSplash = -1;
        game->afterFrame = [&] {
            if (afterSplash < 0 && GetCinematicMgr()->GetPlayingCount() > 0) return;
            ++afterSplash;
            if (afterSplash == 0) return;  // the title is only queued
            slides.push_back(GetMenuMgr()->GetSlideOffset());
            const screenshot::Shot shot = screenshot::Take();
            char name[32];
            std::snprintf(name, sizeof name, "title-%02d.png", afterSplash);
            screenshot::Keep(shot, "KORV_SHOTS", name);
            if (afterSplash < 12) {
                prompts.emplace_back(afterSplash, MeasureBand(shot, kTop, kBottom));
            } else {
                settled = MeasureBand(shot, kTop, kBottom);
                game->RequestQuit();
            }
        };
        game->quitAfterFrames = 400;  // a safety net
        ZBaseGame::Run(game, 0, 0, "", platform::window::SW_SHOWNORMAL);

        ASSERT_GT(afterSplash, 0) << "the splash ended";
        for (size_t i = 0; i < slides.size(); ++i) EXPECT_EQ(slides[i], 0.0f) << "frame " << i + 1 << " after the splash";
        ASSERT_GT(settled.total, 0.0);
        int shown = 0;
        for (const auto& [frame, light] : prompts) {
            // Frames still nearly black say nothing of where the prompt is.
            if (light.total < 0.1 * settled.total) continue;
            ++shown;
            EXPECT_NEAR(light.centreX, settled.centreX, 8.0) << "frame " << frame << " after the splash";
        }
        EXPECT_GE(shown, 3) << "the fade-in shows the prompt before it settles";
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    });
}

// A game started from the command line (QuickStart) keeps no run record of
// its own, but its save is as new as any: after the pause menu's way back to
// the title, one Enter on Continue goes back into play, with no warning that
// the save is an old one.
TEST(KorvanthRunGl, AQuickStartedGameContinuesFromTheTitleWithOneEnter) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        platform::input::FakeInputSystem* const input =
            gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                     "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\n"
                                     "HeightWindowed: 480\r\n");
        auto* game = new WalkedGame();
        game->clock = &clock;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());

        uint8_t heldKey = 0;
        const auto press = [&](const uint8_t key) {
            input->SetKey(key, true);
            heldKey = key;
        };
        const auto playing = [] {
            return GetMenuMgr()->GetOpenMenuCount() == 0 && GetMenuMgr()->GetRequests().IsEmpty();
        };
        int continues = 0;
        bool warned = false;
        using namespace platform;
        const std::vector<Step> steps = {
            {"quick-started and settled, then Escape", [&] { return playing() && game->drawnFrames > 60; },
             [&] { press(DIK_ESCAPE); }},
            {"paused: up to Title", [] { return AtRestOn<KorvanthPauseMenu>(); }, [&] { press(DIK_UP); }},
            {"ask for the title", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"Continue", [] { return AtRestOn<KorvanthTitleMenu>(); },
             [&] {
                 const ZMenuItem* selected = GetMenuMgr()->GetTopMenu()->GetSelectedItem();
                 ASSERT_NE(selected, nullptr);
                 EXPECT_EQ(selected->GetName(), ZHashedString("Continue"));
                 ++continues;
                 press(DIK_RETURN);
             }},
            {"playing again", playing, [&] { game->RequestQuit(); }},
        };
        size_t next = 0;
        game->afterFrame = [&] {
            warned = warned || dynamic_cast<LoadWarningMenu*>(GetMenuMgr()->GetTopMenu()) != nullptr;
            if (heldKey != 0) {
                input->SetKey(heldKey, false);
                heldKey = 0;
                return;
            }
            if (next < steps.size() && steps[next].ready()) {
                steps[next].act();
                ++next;
            }
        };
        game->quitAfterFrames = 600;  // a safety net: the walk ends the run first
        ZBaseGame::Run(game, 0, 0, "QuickStart Korvanth.kdd Caverns 1 0", platform::window::SW_SHOWNORMAL);

        EXPECT_EQ(next, steps.size())
            << "the walk stopped before: " << (next < steps.size() ? steps[next].what : "");
        EXPECT_EQ(continues, 1);
        EXPECT_FALSE(warned) << "the quick start's save is not an old one";
        EXPECT_EQ(std::string(game->GetCurrentMapName().GetText()), "Caverns");
        EXPECT_EQ(game->GetMapData().currentRoomX, 1);
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    });
}

// Whether the player's figure is in the frame just drawn, inside the box
// (fractions of the frame): the frame drawn again with the figure hidden
// differs from it in warm pixels. (The second draw has no texts, as the text
// batches are spent by the first.)
bool PlayerFigureDrawn(KorvanthGame& game, const screenshot::Shot& drawn, const float left, const float top,
                       const float right, const float bottom) {
    Player* const player = game.GetPlayer();
    if (player == nullptr || player->renderable == nullptr) return false;
    std::vector<std::pair<ZRenderable*, bool>> nodes;
    for (const auto& node : player->renderable->renderables) {
        if (node.value == nullptr) continue;
        nodes.emplace_back(node.value, node.value->visible);
        node.value->visible = false;
    }
    game.Render();
    const screenshot::Shot without = screenshot::Take();
    for (const auto& [node, visible] : nodes) node->visible = visible;
    // The figure's hair and skin are warm; the menus' panels are blue, their
    // texts grey and white.
    const auto warm = [](const uint32_t p) {
        const int32_t r = static_cast<int32_t>((p >> 16) & 0xFFu);
        const int32_t b = static_cast<int32_t>(p & 0xFFu);
        return r > b + 12;
    };
    return screenshot::CountInBox(drawn, without, left, top, right, bottom, [&](const uint32_t p, const uint32_t q) {
               return p != q && (warm(p) || warm(q));
           }) > 0;
}

// A New Game from the title, frame by frame on the flat display: nothing of
// the world (the player least of all) shows before its room exists. The
// randomizer setup leaves, the loading screen shows its line on black, and
// the room then comes in with the player in it.
TEST(KorvanthRunGl, ANewGameShowsNothingOfTheWorldBeforeItsRoomIsThere) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        platform::input::FakeInputSystem* const input = gametest::StartGameOnSdl(
            documents, KorvanthGame::kTitle,
            "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n"
            "CRTSim: false\r\nAnaglyph3D: false\r\n");
        auto* game = new WalkedGame();
        game->clock = &clock;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());

        uint8_t heldKey = 0;
        const auto press = [&](const uint8_t key) {
            input->SetKey(key, true);
            heldKey = key;
        };
        struct Frame {
            std::string top;  // the menu on top, "" when none
            bool roomThere = false;
            bool playerDrawn = false;
        };
        std::vector<Frame> frames;
        bool recording = false;
        int afterRoom = 0;
        using namespace platform;
        const std::vector<korvtest::Step> steps = {
            {"the splash plays", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, [] {}},
            {"skip it", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"past press start", [] { return AtRestOn<KorvanthTitleMenu>(); }, [&] { press(DIK_RETURN); }},
            {"new game", [] { return AtRestOn<KorvanthTitleMenu>(); }, [&] { press(DIK_RETURN); }},
            {"the original world", [] { return AtRestOn<RandomizerMenu>(); },
             [&] {
                 press(DIK_RETURN);
                 recording = true;
             }},
        };
        size_t next = 0;
        game->afterFrame = [&] {
            if (recording) {
                const ZMenu* top = GetMenuMgr()->GetTopMenu();
                Frame frame;
                frame.top = top == nullptr                                      ? "none"
                            : dynamic_cast<const LoadingMenu*>(top) != nullptr    ? "loading"
                            : dynamic_cast<const RandomizerMenu*>(top) != nullptr ? "randomizer"
                                                                                  : "other";
                frame.roomThere = top == nullptr && GetMenuMgr()->GetRequests().IsEmpty();
                const screenshot::Shot shot = screenshot::Take();
                char name[32];
                std::snprintf(name, sizeof name, "newgame-%03zu.png", frames.size());
                screenshot::Keep(shot, "KORV_SHOTS", name);
                // Before its room the player stood in the middle of the screen.
                frame.playerDrawn = frame.roomThere ? PlayerFigureDrawn(*game, shot, 0.0f, 0.0f, 1.0f, 1.0f)
                                                    : PlayerFigureDrawn(*game, shot, 0.47f, 0.43f, 0.53f, 0.545f);
                frames.push_back(frame);
                if (frame.roomThere && ++afterRoom >= 5) game->RequestQuit();
            }
            if (heldKey != 0) {
                input->SetKey(heldKey, false);
                heldKey = 0;
                return;
            }
            if (next < steps.size() && steps[next].ready()) {
                steps[next].act();
                ++next;
            }
        };
        game->quitAfterFrames = 3000;  // a safety net
        ZBaseGame::Run(game, 0, 0, "", platform::window::SW_SHOWNORMAL);

        ASSERT_EQ(next, steps.size()) << "the walk stopped before: " << (next < steps.size() ? steps[next].what : "");
        ASSERT_GE(afterRoom, 5) << "the room came";
        bool sawLoading = false;
        for (size_t i = 0; i < frames.size(); ++i) {
            const Frame& f = frames[i];
            sawLoading = sawLoading || f.top == "loading";
            if (f.roomThere) {
                EXPECT_TRUE(f.playerDrawn) << "frame " << i << ": the room shows the player";
            } else {
                EXPECT_FALSE(f.playerDrawn) << "frame " << i << " (" << f.top << " on top): the player before its room";
            }
        }
        EXPECT_TRUE(sawLoading) << "the loading screen showed";
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    });
}

}  // namespace
