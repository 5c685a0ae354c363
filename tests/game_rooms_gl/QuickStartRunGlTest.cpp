// "QuickStart" through the real start-up: the game on the SDL window
// (headless driver) with its packages starts straight in a room of the
// campaign, and the room's tiles come out of the whole display chain.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "foundation/ZStreamMgr.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/KorvanthGame.h"
#include "game/world/WorldEntity.h"
#include "platform/sound/sound.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/TempDir.h"

namespace {

class QuickStartedGame : public KorvanthGame {
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
        if (drawnFrames == 8) {
            const ZRenderer* renderer = GetRenderer();
            width = renderer->GetBackBufferWidth();
            height = renderer->GetBackBufferHeight();
            pixels.assign(static_cast<size_t>(width) * height, 0);
            renderer->ReadBackBuffer(pixels.data());
            roomEntities = GetRoomEntities().size();
            for (int i = 0; i < 2; ++i) {
                const ZRenderGroup* group = renderer->FindRenderGroup(ZHashedString(i == 0 ? "Screen Group" : "No CRT Group"));
                screenGroups[i] = group != nullptr && group->enabled;
            }
            if (const WorldEntity* world = GetWorldEntity()) staticQuads = world->GetCurrentMesh(false)->GetQuadCount();
            if (const DynWorldEntity* dyn = GetDynWorldEntity()) {
                animatedCells = dyn->GetCurrentMesh(false)->GetRecords().Count();
            }
            RequestScreenshot();
        }
        if (drawnFrames == 10) RequestQuit();
    }
    os::fake::FakeClock* clock = nullptr;
    int drawnFrames = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    size_t roomEntities = 0;
    bool screenGroups[2] = {false, false};  // "Screen Group", "No CRT Group"
    uint32_t staticQuads = 0;
    uint32_t animatedCells = 0;
};

TEST(QuickStartRunGl, StartsInTheRoomAndShowsItsTilesThroughTheChain) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
        const std::string folder = std::string("My Games/") + KorvanthGame::kTitle;
        documents.Write(folder + "/Config/Config.ini",
                        "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\n"
                        "HeightWindowed: 480\r\n");
        os::fake::FakeClock clock;
        platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
        platform::input::SetInputSystem(std::make_unique<platform::input::FakeInputSystem>());
        platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
        auto* game = new QuickStartedGame();
        game->clock = &clock;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());

        ZBaseGame::Run(game, 0, 0, "QuickStart Korvanth.kdd Caverns 2 0 4 5", 1);

        EXPECT_EQ(game->GetCurrentMapName(), "Caverns");
        EXPECT_EQ(game->GetMapData().currentRoomX, 2);
        EXPECT_EQ(game->GetMapData().currentRoomY, 0);
        // The room's debug start (32, 192) on its floor wins over the tile (4, 5).
        EXPECT_EQ(game->GetCheckpointX(), 32.0f);
        EXPECT_EQ(game->GetCheckpointY(), 192.0f);
        // The area of the first row: three rooms of edges and the crystal placed there.
        EXPECT_EQ(game->GetMapData().currentRect[0], 0);
        EXPECT_EQ(game->GetMapData().currentRect[2], 3);
        EXPECT_FALSE(game->GetRoomEdges().empty());
        EXPECT_EQ(game->roomEntities, 5u) << "the start marker, the crystal, the signpost before the pit and the "
                                             "second and third rooms' debug starts, while it ran";
        // No title came to choose the screen groups: the quick start did, as CRTSim says (on).
        EXPECT_TRUE(game->screenGroups[0]);
        EXPECT_FALSE(game->screenGroups[1]);
        EXPECT_GT(game->staticQuads, 0u) << "the background layer's tiles";
        EXPECT_GT(game->animatedCells, 0u) << "the torches";

        // The picture: the tube shows more than the room's clear colour.
        ASSERT_FALSE(game->pixels.empty());
        std::set<uint32_t> colours;
        for (int32_t y = game->height / 3; y < 2 * game->height / 3; ++y) {
            for (int32_t x = game->width / 3; x < 2 * game->width / 3; ++x) {
                colours.insert(game->pixels[static_cast<size_t>(y) * game->width + x] & 0xF0F0F0u);
            }
        }
        EXPECT_GT(colours.size(), 3u) << "tiles drawn, not one flat colour";

        // The screenshot the frame asked for, kept when asked to (docs/).
        const std::filesystem::path shots = documents.Path() / folder / "Screenshots";
        bool wrote = false;
        if (std::filesystem::exists(shots)) {
            for (const auto& entry : std::filesystem::directory_iterator(shots)) {
                wrote = true;
                if (const char* keep = std::getenv("KORV_KEEP_QUICKSTART_SHOT")) {
                    std::filesystem::copy_file(entry.path(), keep, std::filesystem::copy_options::overwrite_existing);
                }
            }
        }
        EXPECT_TRUE(wrote) << "a screenshot was written";
        ZBaseGame::DestroyInstance();
    });
}

}  // namespace
