// The game's scene as a player meets it, through the real start-up on the
// built packages: the title shows the TV static on the CRT, New Game takes it
// away, the pause menu and the way back to the title bring it back, and two
// rounds from the title through play and the menus back to the title leave
// the scene's frame buffers, pictures and effects held as often as at the
// first title, and the texture and effect managers holding as many entries
// and references as on the title's first main page (the set-up and shutdown themselves are counted whole in
// SceneOverlaysGlTest). With KORV_DISPLAY_DOCS=dir the title and the play screen are
// written there.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/KorvanthDisplay.h"
#include "game/display/SceneOverlays.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "entity/ZRenderableComponent.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/fake/fake.h"
#include "platform/sound/sound.h"
#include "platform/window/keycodes.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZSpriteBatch.h"
#include "renderer/ZTextureMgr.h"
#include "support/GamePackages.h"
#include "support/MenuWalk.h"
#include "support/TempDir.h"

namespace {

class WalkedGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
    }
    void UpdateTiming() override {
        clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        if (afterFrame) afterFrame();
        if (drawnFrames == quitAfterFrames) RequestQuit();
    }

    os::fake::FakeClock* clock = nullptr;
    std::function<void()> afterFrame;
    int drawnFrames = 0;
    int quitAfterFrames = -1;
};

using korvtest::AtRestOn;
using korvtest::Step;

bool GroupEnabled(const char* name) {
    const ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString(name));
    return group != nullptr && group->enabled;
}

SceneOverlays* Overlays() {
    const DisplayChain* chain = GetDisplayState()->GetChain();
    return chain != nullptr ? chain->GetOverlays() : nullptr;
}

bool StaticShows() {
    SceneOverlays* overlays = Overlays();
    return overlays != nullptr && overlays->GetRenderable(SceneOverlays::kStatic).visible;
}

// The reference counts of the scene's frame buffers, pictures and effects.
std::vector<int32_t> SceneRefs() {
    std::vector<int32_t> refs;
    for (const char* name : {"Clean Frame", "Cln3D Frame", "NTSC Frame", "Composite Frame 1", "Composite Frame 2",
                             "Downsampled Buffer", "NTSC_LUT_Texture", "Texture_WorldTiles", "Texture_Static",
                             "Texture_Static_Line", "Texture_CRT_Dist", "Texture_Attract_1", "Texture_Attract_7",
                             "Tuner Texture (Back)", "Tuner Texture (Ball)", "Minimap Texture (Back)",
                             "Minimap Texture (Indicator)", "FullMap Texture (Indicator)"}) {
        refs.push_back(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString(name)));
    }
    for (const char* name : {"Static Shader", "Wipe Shader", "Tuner Shader", "Minimap Shader", "FullMap Shader",
                             "NTSC Shader", "Screen Shader"}) {
        refs.push_back(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString(name)));
    }
    return refs;
}

// The player's sprite is drawn.
bool PlayerShows(const KorvanthGame& game) {
    const Player* player = game.GetPlayer();
    if (player == nullptr || player->renderable == nullptr) return false;
    for (const auto& node : player->renderable->renderables) {
        if (node.value != nullptr) return node.value->visible;
    }
    return false;
}

// How many textures and effects the managers hold, and how many references to them.
std::array<int64_t, 4> Totals() {
    const ZTextureMgr* textures = ZTextureMgr::GetInstance();
    const ZShaderMgr* effects = ZShaderMgr::GetInstance();
    return {textures->GetCount(), textures->GetTotalRefCount(), effects->GetCount(), effects->GetTotalRefCount()};
}

void Shot(const char* name) {
    const char* docs = std::getenv("KORV_DISPLAY_DOCS");
    if (docs == nullptr) return;
    const ZRenderer* renderer = GetRenderer();
    const int32_t w = renderer->GetBackBufferWidth(), h = renderer->GetBackBufferHeight();
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0xFF000000u);
    renderer->ReadBackBuffer(pixels.data());
    EXPECT_TRUE(WriteScreenshotPNG((std::string(docs) + "/" + name).c_str(), pixels.data(), w, h));
}

TEST(SceneRunGl, TitlePlayMenusAndBackLeaveTheSceneAsItWas) {
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
        std::vector<int32_t> titleRefs;
        std::array<int64_t, 4> titleTotals{};
        int titleFrames = 0;
        using namespace platform;
        std::vector<Step> steps = {
            {"the splash plays", [] { return GetCinematicMgr()->GetPlayingCount() > 0; },
             [] {
                 // Neither of the game's screens shows before the title.
                 EXPECT_FALSE(GroupEnabled("Screen Group"));
                 EXPECT_FALSE(GroupEnabled("No CRT Group"));
             }},
            {"skip it", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"the title: the static on the CRT", [] { return AtRestOn<KorvanthTitleMenu>(); },
             [&] {
                 EXPECT_TRUE(StaticShows());
                 EXPECT_TRUE(GetDisplayState()->staticActive);
                 EXPECT_TRUE(GroupEnabled("Screen Group"));
                 EXPECT_FALSE(GroupEnabled("No CRT Group"));
                 EXPECT_EQ(GetMenuMgr()->GetNavigationSound(), ZHashedString("Boop"));
                 // The game's fonts and sheets, and where text finds its pictures.
                 const GameFontSet& fonts = shownBy->GetFonts();
                 ASSERT_NE(fonts.GetHUDFont(), nullptr);
                 EXPECT_GT(fonts.GetHUDFont()->GetGlyphCount(), 90u) << "PressStart2P_6.uv";
                 EXPECT_GT(fonts.GetMenuFont()->GetGlyphCount(), 90u) << "ProbaPro_40_1024.uv";
                 EXPECT_EQ(fonts.GetHUDFont()->GetFamilySheet(ZHashedString("xbox")), ZHashedString("xbox_pixel"));
                 EXPECT_EQ(fonts.GetHUDFont()->GetFamilySheet(ZHashedString("stat")), ZHashedString("stat_glyphs"));
                 EXPECT_EQ(fonts.GetMenuFont()->GetFamilySheet(ZHashedString("xbox")), ZHashedString("xbox_menu"));
                 EXPECT_EQ(fonts.GetMenuFontAlt()->GetFamilySheet(ZHashedString("xbox")), ZHashedString::None());
                 EXPECT_EQ(fonts.GetHUDFont()->FindGlyphSheet(ZHashedString("gen")), fonts.GetGenPixelSheet());
                 const ZRenderGroup* glyphs = GetRenderer()->FindRenderGroup(ZHashedString("Glyph Group"));
                 ASSERT_NE(glyphs, nullptr);
                 // The renderer orders a group by its members' effects, which the heap places.
                 const ZArray<ZRenderable*>& list = glyphs->renderables;
                 EXPECT_TRUE(list.Contains(fonts.GetXboxPixelSheet()));
                 EXPECT_TRUE(list.Contains(fonts.GetGenPixelSheet()));
                 EXPECT_TRUE(list.Contains(game->GetItemSheet()));
                 EXPECT_FALSE(fonts.GetHUDFont()->visible) << "the world and its HUD are hidden";
                 EXPECT_FALSE(PlayerShows(*game));
                 // No campaign is open at start; the one a game opens stays
                 // loaded through the title. It is opened here, so that each
                 // visit compares with a title that has it too.
                 ASSERT_TRUE(game->OpenCampaignFile("Korvanth.kdd"));
                 titleRefs = SceneRefs();
                 titleFrames = game->drawnFrames;
             }},
            {"a few frames of static, then past press start", [&] { return game->drawnFrames > titleFrames + 4; },
             [&] {
                 Shot("display-title.png");
                 press(DIK_RETURN);
             }},
            {"the title's main page: the managers' totals", [] { return AtRestOn<KorvanthTitleMenu>(); },
             [&] { titleTotals = Totals(); }},
        };
        // Title, play, pause, back to the title: twice, each time with the
        // managers' totals as at the first visit to the title's main page.
        for (int round = 1; round <= 2; ++round) {
            const std::vector<Step> trip = {
                // New Game the first time, Continue (the first row once there is a save) the second.
                {"new game or continue", [] { return true; }, [&] { press(DIK_RETURN); }},
                {"the original world, for a new game",
                 [] { return AtRestOn<RandomizerMenu>() || GetMenuMgr()->GetOpenMenuCount() == 0; },
                 [&] {
                     if (AtRestOn<RandomizerMenu>()) press(DIK_RETURN);
                 }},
                {"playing: the static is gone",
                 [] { return GetMenuMgr()->GetOpenMenuCount() == 0 && GetMenuMgr()->GetRequests().IsEmpty(); },
                 [&, round] {
                     EXPECT_FALSE(StaticShows());
                     EXPECT_FALSE(GetDisplayState()->staticActive);
                     EXPECT_TRUE(shownBy->GetFonts().GetHUDFont()->visible);
                     EXPECT_TRUE(PlayerShows(*game));
                     if (round == 1) Shot("display-play.png");
                     press(DIK_ESCAPE);
                 }},
                {"paused", [] { return AtRestOn<KorvanthPauseMenu>(); }, [] {}},
                {"up to Title", [] { return true; }, [&] { press(DIK_UP); }},
                {"ask for the title", [] { return true; }, [&] { press(DIK_RETURN); }},
                {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
                {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
                {"the title again, as it was", [] { return AtRestOn<KorvanthTitleMenu>(); },
                 [&, round] {
                     EXPECT_TRUE(StaticShows());
                     EXPECT_TRUE(GroupEnabled("Screen Group"));
                     EXPECT_FALSE(PlayerShows(*game));
                     EXPECT_EQ(SceneRefs(), titleRefs) << "round " << round;
                     EXPECT_EQ(Totals(), titleTotals) << "round " << round;
                 }},
            };
            steps.insert(steps.end(), trip.begin(), trip.end());
        }
        const std::vector<Step> leave = {
            {"up to Exit", [] { return true; }, [&] { press(DIK_UP); }},
            {"ask to exit", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
        };
        steps.insert(steps.end(), leave.begin(), leave.end());
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
        game->quitAfterFrames = 3000;
        ZBaseGame::Run(game, 0, 0, "", platform::window::SW_SHOWNORMAL);
        EXPECT_EQ(next, steps.size()) << "the walk stopped before: " << (next < steps.size() ? steps[next].what : "");
        EXPECT_LT(game->drawnFrames, 3000);
        // The scene shutdown ran: none of its frame buffers or pictures is left.
        EXPECT_EQ(GetDisplayState()->GetChain(), nullptr);
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    });
}

}  // namespace
