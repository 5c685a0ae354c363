// Rooms of the campaign's later maps through the real start-up: QuickStart puts
// the game in a room of the sunken halls, the spire and the gallery, the room's
// tiles come out of the display chain, and the start-up's log has no complaint
// about the campaign's data. KORV_CAMPAIGN_SHOTS=<folder> keeps the pictures
// (docs/campaign-<map>.png).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "platform/sound/sound.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/TempDir.h"

namespace {

class CampaignGame : public KorvanthGame {
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
            RequestScreenshot();
        }
        if (drawnFrames == 10) RequestQuit();
    }
    os::fake::FakeClock* clock = nullptr;
    int drawnFrames = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Log lines that say something about the campaign's data is wrong or missing.
// (The packages beside the test program are missing by design: the run
// mounts the build's own.)
bool IsComplaint(const std::string& line) {
    if (line.find("Package ") != std::string::npos || line.find("Engine package") != std::string::npos) return false;
    // The box that names it (the test program's folder has no Engine.zpk).
    if (line.find("engine package \"Engine.zpk\"") != std::string::npos) return false;
    for (const char* word : {"does not exist", "missing", "not found", "cannot", "could not", "has no map",
                             "names no", "names the palette", "colours of its own", "mismatch", "is not RRGGBB",
                             "not a RIFF", "shorter than", "damaged"}) {
        if (line.find(word) != std::string::npos) return true;
    }
    return false;
}

struct Case {
    const char* map;
    const char* args;
    int32_t roomX;
    int32_t roomY;
    const char* shot;
    const char* video = "";  // more [Video] lines of Config.ini
};

TEST(CampaignRoomsGl, LaterMapsStartAndDrawWithoutAComplaint) {
    const Case cases[] = {
        {"Sunken", "QuickStart Korvanth.kdd Sunken 0 0 5 22", 0, 0, "campaign-sunken.png"},
        {"Spire", "QuickStart Korvanth.kdd Spire 1 2 4 22", 1, 2, "campaign-spire.png"},
        {"Speedrun Maps", "QuickStart Korvanth.kdd \"Speedrun Maps\" 16 3 4 22", 16, 3, "campaign-gallery.png"},
        {"Overworld", "QuickStart Korvanth.kdd Overworld 0 0 9 15", 0, 0, "campaign-overworld.png", "CRTSim: false\r\n"},
        // The same rooms with the CRT simulation off (letterboxed) and in anaglyph.
        {"Sunken", "QuickStart Korvanth.kdd Sunken 0 0 5 22", 0, 0, "display-flat.png", "CRTSim: false\r\n"},
        {"Spire", "QuickStart Korvanth.kdd Spire 1 2 4 22", 1, 2, "display-anaglyph.png", "Anaglyph3D: true\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        gametest::RunInChild([&c] {
            korvtest::TempDir documents;
            setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
            const std::string folder = std::string("My Games/") + KorvanthGame::kTitle;
            documents.Write(folder + "/Config/Config.ini",
                            "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 512\r\n"
                            "HeightWindowed: 448\r\n" + std::string(c.video));
            os::fake::FakeClock clock;
            platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
            platform::input::SetInputSystem(std::make_unique<platform::input::FakeInputSystem>());
            platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
            auto* game = new CampaignGame();
            game->clock = &clock;
            game->SetDisplay(std::make_unique<KorvanthDisplay>());

            ZBaseGame::Run(game, 0, 0, c.args, 1);

            EXPECT_EQ(game->GetCurrentMapName(), c.map);
            EXPECT_EQ(game->GetMapData().currentRoomX, c.roomX);
            EXPECT_EQ(game->GetMapData().currentRoomY, c.roomY);
            EXPECT_FALSE(game->GetRoomEdges().empty());

            ASSERT_FALSE(game->pixels.empty());
            std::set<uint32_t> colours;
            for (int32_t y = game->height / 3; y < 2 * game->height / 3; ++y) {
                for (int32_t x = game->width / 3; x < 2 * game->width / 3; ++x) {
                    colours.insert(game->pixels[static_cast<size_t>(y) * game->width + x] & 0xF0F0F0u);
                }
            }
            EXPECT_GT(colours.size(), 3u) << "tiles drawn, not one flat colour";
            if (std::string(c.map) == "Overworld") {
                // Its grass is green on the flat picture: the tiles keep their colour.
                size_t green = 0;
                for (const uint32_t p : game->pixels) {
                    const int r = static_cast<int>((p >> 16) & 0xFF);
                    const int g = static_cast<int>((p >> 8) & 0xFF);
                    const int b = static_cast<int>(p & 0xFF);
                    if (g > r + 40 && g > b + 40) ++green;
                }
                EXPECT_GT(green, game->pixels.size() / 4) << "the grass is drawn in colour";
            }

            std::ifstream log(documents.Path() / folder / "Logs" / "Log.txt");
            for (std::string line; std::getline(log, line);) {
                EXPECT_FALSE(IsComplaint(line)) << line;
            }

            const std::filesystem::path shots = documents.Path() / folder / "Screenshots";
            if (const char* keep = std::getenv("KORV_CAMPAIGN_SHOTS"); keep != nullptr && std::filesystem::exists(shots)) {
                for (const auto& entry : std::filesystem::directory_iterator(shots)) {
                    std::filesystem::copy_file(entry.path(), std::filesystem::path(keep) / c.shot,
                                               std::filesystem::copy_options::overwrite_existing);
                }
            }
            ZBaseGame::DestroyInstance();
        });
    }
}

}  // namespace
