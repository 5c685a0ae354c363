// The campaign's placed entities as a player sees them, through the real
// start-up: QuickStart into a room of each map, let it settle, stop the clock,
// hide every drawn entity and show each in turn on its own. The frame with it
// must differ from the frame without any, and only around where it stands:
// every gem, item, character, door, lever, gate, checkpoint, pad, turret and
// course marker shows on screen. Shown alone, an entity that another one
// covers (a shot under its turret) is measured by its own picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZNameComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplaySettings.h"
#include "game/display/DisplayState.h"
#include "game/display/KorvanthDisplay.h"
#include "game/display/NoCRTShader.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/TempDir.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

// What hiding one entity changed on screen, and where it should have shown.
struct Seen {
    std::string name;
    float expectedX = 0.0f, expectedY = 0.0f;  // its middle in window pixels
    float sizeX = 0.0f, sizeY = 0.0f;          // its sprite in window pixels
    int32_t left = 0, right = -1, top = 0, bottom = -1;
    int32_t changed = 0;
};

class PlacedSpritesGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
    }
    // 0.05 s a frame until the room has settled; then the game stands still
    // (no game time passes), so every later frame draws the same world.
    void UpdateTiming() override {
        clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    bool IsGamePaused() override { return drawnFrames >= kSettled || KorvanthGame::IsGamePaused(); }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        if (drawnFrames < kSettled) return;
        if (drawnFrames == kSettled) {
            // The player stands in front of what it overlaps: out of the way.
            if (Player* player = GetPlayer(); player != nullptr && player->renderable != nullptr) {
                player->renderable->SetRenderablesVisible(false);
            }
            // The drawn entities of the room on screen (a room loads with the
            // rest of its area).
            const ZVector3 centre = GetRoomViewCentre();
            for (KorvEntity* entity : GetRoomEntities()) {
                const ZSpriteComponent* sprite = GetComponent<ZSpriteComponent>(entity);
                const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity);
                if (sprite == nullptr || sprite->sheet == nullptr || !sprite->sheet->visible || spatial == nullptr) continue;
                const ZVector3 p = spatial->current.position;
                if (std::fabs(p.x - centre.x) < 128.0f && std::fabs(p.y - centre.y) < 112.0f) drawn.push_back(entity);
            }
            return;
        }
        // Frame 1: the whole room; 2: the room without them; then each alone.
        const size_t step = static_cast<size_t>(drawnFrames - kSettled - 1);
        if (step == 0) {
            room = Take();
            for (KorvEntity* entity : drawn) SetShown(entity, false);
            return;
        }
        if (step == 1) {
            without = Take();
        } else {
            Measure(drawn[step - 2]);
            SetShown(drawn[step - 2], false);
        }
        if (step - 1 < drawn.size()) {
            SetShown(drawn[step - 1], true);
        } else {
            RequestQuit();
        }
    }

    static void SetShown(KorvEntity* entity, const bool shown) {
        GetComponent<ZSpriteComponent>(entity)->sheet->visible = shown;
    }

    void Measure(KorvEntity* entity) {
        const Shot with = Take();
        Seen seen;
        const ZNameComponent* name = GetComponent<ZNameComponent>(entity);
        seen.name = name != nullptr ? name->name.GetTextOrEmpty() : "";
        const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity);
        // The 256 x 224 view around the room's view centre (y down) fills the
        // game picture, which the flat display shows as large as fits at the
        // picture's aspect (its pixels' aspect times 8:7), less its overscan.
        const ZVector3 centre = GetRoomViewCentre();
        const ZVector3 p = spatial->current.position;
        const DisplaySettings defaults;
        const DisplaySettings& settings = PeekDisplayState() != nullptr ? PeekDisplayState()->Settings() : defaults;
        ZVector4 scalar, offset;
        NoCRTShader::ComputeBox(settings.pixelAspectRatio * 1.1428571939468384f,
                                float(with.width) / float(with.height), scalar, offset);
        const float overscan = settings.overscan > 0.0f ? settings.overscan : 1.0f;
        const auto screen = [&](const float picture, const int i) {
            const float boxed = (picture - 0.5f) * overscan + 0.5f;
            return i == 0 ? (boxed - offset.x) / scalar.x * float(with.width)
                          : (boxed - offset.y) / scalar.y * float(with.height);
        };
        seen.expectedX = screen((p.x - centre.x + 128.0f) / 256.0f, 0);
        seen.expectedY = screen((p.y - centre.y + 112.0f) / 224.0f, 1);
        seen.sizeX = spatial->current.scale.x / 256.0f * overscan / scalar.x * float(with.width);
        seen.sizeY = spatial->current.scale.y / 224.0f * overscan / scalar.y * float(with.height);
        seen.left = with.width;
        seen.top = with.height;
        if (without.pixels.size() == with.pixels.size()) {
            for (int32_t y = 0; y < with.height; ++y) {
                for (int32_t x = 0; x < with.width; ++x) {
                    const size_t i = static_cast<size_t>(y) * with.width + x;
                    if (with.pixels[i] == without.pixels[i]) continue;
                    ++seen.changed;
                    seen.left = std::min(seen.left, x);
                    seen.right = std::max(seen.right, x);
                    seen.top = std::min(seen.top, y);
                    seen.bottom = std::max(seen.bottom, y);
                }
            }
        }
        measured.push_back(seen);
        // KORV_ART_SHOTS=<folder> keeps each room's picture.
        if (const char* keep = std::getenv("KORV_ART_SHOTS"); keep != nullptr && measured.size() == 1) {
            std::string file = std::string(GetCurrentMapName().GetText()) + "-" +
                               std::to_string(GetMapData().currentRoomX) + "-" + std::to_string(GetMapData().currentRoomY);
            std::replace(file.begin(), file.end(), ' ', '_');
            WriteScreenshotPNG((std::string(keep) + "/placed-" + file + ".png").c_str(), room.pixels.data(), room.width,
                               room.height);
        }
    }

    static constexpr int kSettled = 10;
    os::fake::FakeClock* clock = nullptr;
    int drawnFrames = 0;
    std::vector<KorvEntity*> drawn;
    Shot room;     // every entity shown
    Shot without;  // none of the drawn ones shown
    std::vector<Seen> measured;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

struct Case {
    const char* args;
    std::vector<std::string> mustShow;  // names among the room's drawn entities
};

TEST(CampaignArtGl, EveryPlacedEntityOfARoomDrawsWhereItStands) {
    const Case cases[] = {
        {"QuickStart Korvanth.kdd Sunken 0 0 5 22", {"Checkpoint", "Merchant", "Ferryman", "Gem"}},
        {"QuickStart Korvanth.kdd Sunken 4 1 16 22", {"Gate", "Item"}},
        {"QuickStart Korvanth.kdd Spire 0 1 16 22", {"TeleportPad", "Checkpoint"}},
        {"QuickStart Korvanth.kdd Spire 2 1 16 22", {"Turret", "Coffee"}},
        {"QuickStart Korvanth.kdd \"Speedrun Maps\" 14 3 16 22",
         {"GalleryStart", "LeaderboardBoard", "Timekeeper", "GalleryExit", "Merchant"}},
        {"QuickStart Korvanth.kdd \"Speedrun Maps\" 17 3 16 22", {"GalleryFinish", "TeleportPad"}},
        {"QuickStart Korvanth.kdd Workshop 0 0 12 22", {"Elder", "WorkshopDoor"}},
        {"QuickStart Korvanth.kdd Overworld 1 0 8 8", {"Door"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        gametest::RunInChild([&c] {
            korvtest::TempDir documents;
            os::fake::FakeClock clock;
            gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                     "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 512\r\n"
                                     "HeightWindowed: 448\r\nCRTSim: false\r\n");
            auto* game = new PlacedSpritesGame();
            game->clock = &clock;
            game->SetDisplay(std::make_unique<KorvanthDisplay>());

            ZBaseGame::Run(game, 0, 0, c.args, 1);

            std::set<std::string> names;
            for (const Seen& seen : game->measured) {
                SCOPED_TRACE(seen.name);
                names.insert(seen.name);
                ASSERT_GE(seen.right, 0) << "shown alone it changes no pixel: it is not drawn";
                EXPECT_GE(seen.changed, 6) << "a few stray pixels are no picture";
                EXPECT_LE(seen.right - seen.left, seen.sizeX + 4.0f);
                EXPECT_LE(seen.bottom - seen.top, seen.sizeY + 4.0f);
                const float midX = float(seen.left + seen.right) * 0.5f;
                const float midY = float(seen.top + seen.bottom) * 0.5f;
                EXPECT_NEAR(midX, seen.expectedX, seen.sizeX * 0.5f) << seen.left << ".." << seen.right;
                EXPECT_NEAR(midY, seen.expectedY, seen.sizeY * 0.5f) << seen.top << ".." << seen.bottom;
            }
            // Names are hashed without regard to case: the text kept is the
            // first spelling met.
            std::string all;
            for (const std::string& name : names) all += " " + Lower(name);
            for (const std::string& name : c.mustShow) {
                EXPECT_NE((all + " ").find(" " + Lower(name) + " "), std::string::npos) << name << " not among" << all;
            }
            // No sprite lacked its sheet or frames on the way.
            std::ifstream log(documents.Path() / ("My Games/" + std::string(KorvanthGame::kTitle)) / "Logs" / "Log.txt");
            for (std::string line; std::getline(log, line);) {
                EXPECT_EQ(line.find("Anim:"), std::string::npos) << line;
                EXPECT_EQ(line.find("keeps its look"), std::string::npos) << line;
                EXPECT_EQ(line.find("is not a texture file"), std::string::npos) << line;
            }
            ZBaseGame::DestroyInstance();
        });
    }
}

}  // namespace
