// The picture follows the player across the rooms of an area, in every way a
// game starts: after Continue, after a QuickStart over an earlier save, and in
// a second New Game of the same run (back to the title through the pause
// menu's way). Each starts in the caverns' first room, crosses its pit into
// the second room of the area, comes back and drops down the pit into the
// room below. The player's sprite must show where the game camera frames it,
// read back from the frame drawn with and without it, and "which" names the
// room below once the player stands in it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "entity/ZCameraComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZConsole.h"
#include "framework_game/RunScenarios.h"
#include "game/display/NoCRTShader.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZCamera.h"
#include "menu/PauseMenu.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"
#include "support/TempDir.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

// From the caverns' start (tile 5, 22): right and over the pit into the
// second room, a rest there, back left and down the pit, a rest below.
const char* const kWalk =
    "40 -\n"
    "43 right\n"
    "1  right jump\n"
    "30 right jump\n"
    "80 right\n"
    "20 -\n"     // frames 194-213: standing in the second room
    "4 left\n"
    "1  jump\n"        // up the step back into the first room
    "12 jump\n"
    "14 left jump\n"
    "120 left\n"
    "60 -\n";    // frames 365-424: in the room below
constexpr int32_t kInSecondRoom = 208;
constexpr int32_t kBelow = 420;

// The game picture's box in the window (the flat display shows it as large
// as fits, in the middle) and where a point of the world shows in it, seen
// from the game camera the player moves.
void ScreenPoint(const ZVector3& world, const ZVector3& camera, const Shot& shot, float& x, float& y) {
    const float picX = (world.x - std::floor(camera.x + 0.5f) + 128.0f) / 256.0f;
    const float picY = (world.y - std::floor(camera.y + 0.5f) + 112.0f) / 224.0f;
    ZVector4 scalar, offset;
    NoCRTShader::ComputeBox(256.0f / 224.0f, static_cast<float>(shot.width) / static_cast<float>(shot.height), scalar,
                            offset);
    x = (picX - offset.x) / scalar.x * static_cast<float>(shot.width);
    y = (picY - offset.y) / scalar.y * static_cast<float>(shot.height);
}

std::string Which() {
    KorvanthGame& game = *KorvanthGame::Get();
    ZConsole& console = game.GetConsole();
    console.Clear();
    game.ExecuteConsoleLine("which");
    for (int i = ZConsole::kLineCount - 1; i >= 0; --i) {
        const std::string line = console.GetOutputLine(i);
        if (line.find("active room") != std::string::npos) return line;
    }
    return "";
}

// What one look at the player found: the pixels its sprite changes around
// where the camera frames it, and where it stood.
struct Look {
    int32_t spritePixels = -1;
    int32_t roomX = -99;
    int32_t roomY = -99;
    float x = 0.0f;
    std::string which;
};

// Takes the frame with the player at frame `at`, hides it for the next frame
// and takes that one: the sprite is what differs around the place where the
// camera the player moves frames it.
class Looker {
public:
    explicit Looker(const int32_t at) : m_at(at) {}
    void operator()(Player& player, const int32_t frame) {
        if (frame == m_at) {
            const MapData& map = KorvanthGame::Get()->GetMapData();
            m_with = Take();
            m_position = player.spatial->current.position;
            m_camera = player.camera->camera->position;
            look.roomX = map.currentRoomX;
            look.roomY = map.currentRoomY;
            look.x = m_position.x;
            look.which = Which();
            player.renderable->SetRenderablesVisible(false);
        } else if (frame == m_at + 1) {
            const Shot without = Take();
            player.renderable->SetRenderablesVisible(true);
            float x = 0.0f;
            float y = 0.0f;
            ScreenPoint(m_position, m_camera, m_with, x, y);
            // A box of 24 x 32 picture pixels around the player's middle.
            const float w = static_cast<float>(m_with.width);
            const float h = static_cast<float>(m_with.height);
            const float halfW = 12.0f / 256.0f * w;
            const float halfH = 16.0f / 224.0f * h;
            const auto fraction = [](const float v, const float size) { return std::fmin(std::fmax(v / size, 0.0f), 1.0f); };
            look.spritePixels = screenshot::Changed(m_with, without, fraction(x - halfW, w), fraction(y - halfH, h),
                                                    fraction(x + halfW, w), fraction(y + halfH, h));
        }
    }
    Look look;

private:
    int32_t m_at;
    Shot m_with;
    ZVector3 m_position;
    ZVector3 m_camera;
};

enum class Start { kContinue, kQuickStart, kSecondNewGame };

struct Case {
    const char* name;
    Start start;
};

// Plays the walk in the case's way and answers the looks in the second room
// and below.
void PlayCase(const Case& c, Look& second, Look& below, std::string& error) {
    korvtest::TempDir documents;
    playtest::PlaySetup setup;
    setup.gl = true;
    setup.display = true;
    setup.config = "[Video]\r\nCRTSim: false\r\n";
    setup.documents = documents.Path().string();
    const auto startTile = playtest::PlaySetup::QuickStartAt("Caverns", 0, 0, 5, 22);
    std::string script = kWalk;
    int32_t offset = 0;  // script frames before the walk
    if (c.start != Start::kSecondNewGame) {
        // An earlier session that saved where the walk begins.
        playtest::PlaySetup earlier;
        earlier.documents = setup.documents;
        earlier.quickStart = startTile;
        const playtest::PlayResult first = playtest::RunPlay(earlier, "30 -\n");
        if (!first.started) {
            error = "the earlier session did not start: " + first.error;
            return;
        }
        if (c.start == Start::kContinue) {
            setup.start = playtest::PlayStart::kContinue;
        } else {
            setup.quickStart = startTile;
        }
    } else {
        // A first game, back to the title as the pause menu's confirmation
        // does, and New Game again: the walk starts once the second game plays.
        setup.start = playtest::PlayStart::kNewGame;
        offset = 300;
        script = "300 -\n" + script;
    }
    Looker inSecond(offset + kInSecondRoom);
    Looker inBelow(offset + kBelow);
    const bool secondGame = c.start == Start::kSecondNewGame;
    setup.afterFrame = [&](Player& player, const int32_t frame) {
        if (secondGame && frame == 20) PauseMenu::OnConfirmReset(nullptr);
        if (secondGame && frame == 30) playtest::StartFromTitle(false);
        inSecond(player, frame);
        inBelow(player, frame);
    };
    const playtest::PlayResult r = playtest::RunPlay(setup, script);
    if (!r.started || !r.error.empty()) {
        error = "the run did not start: " + r.error;
        return;
    }
    second = inSecond.look;
    below = inBelow.look;
    for (const playtest::PlaySample& s : r.samples) {
        if (s.deaths != 0) {
            error = "the player died at frame " + std::to_string(s.frame);
            return;
        }
    }
}

TEST(ViewFollowsPlayerGl, ThePictureFollowsThePlayerAcrossRoomsInEveryWayAGameStarts) {
    const Case cases[] = {
        {"after Continue", Start::kContinue},
        {"after a QuickStart over an earlier save", Start::kQuickStart},
        {"in a second New Game of the run", Start::kSecondNewGame},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            Look second;
            Look below;
            std::string error;
            PlayCase(c, second, below, error);
            ASSERT_TRUE(error.empty()) << error;
            // Over the pit, in the area's second room: the area's first room
            // stays the one being played, and the camera has moved on with
            // the player, which shows where the camera frames it.
            EXPECT_EQ(second.roomX, 0);
            EXPECT_EQ(second.roomY, 0);
            EXPECT_GT(second.x, 256.0f) << "the player stands in the second room";
            EXPECT_GT(second.spritePixels, 40) << "the player's sprite is in the picture";
            // Down the pit: the room below is its own area, now played, and
            // "which" names it.
            EXPECT_EQ(below.roomX, 0);
            EXPECT_EQ(below.roomY, 1);
            EXPECT_EQ(below.which, "The active room is located at ( 0, 1 ).");
            EXPECT_GT(below.spritePixels, 40) << "the player's sprite is in the picture";
        });
    }
}

}  // namespace
