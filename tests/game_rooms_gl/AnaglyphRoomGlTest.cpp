// A campaign room in anaglyph 3D through the real start-up, read back from the
// game's 256 x 224 picture ("Clean Frame") one frame before, during and after
// anaglyph 3D: with it on, the room's edges show in the red eye's colour on
// one side and the blue eye's on the other, each moved by the eye's distance,
// and the room's colours are desaturated and lightened by the anaglyph
// settings; with it off, the picture is the room's own. A character stands
// apart between the eyes as well.
// KORV_ANAGLYPH_SHOTS names a folder for the pictures (room and character,
// each with anaglyph 3D off and on).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 224;
// The rows below the HUD's text and the columns left of the minimap.
constexpr int32_t kTop = 48;
constexpr int32_t kBottom = 216;
constexpr int32_t kLeft = 8;
constexpr int32_t kRight = 184;
// A plain background tile stands at depth 2: each eye's picture moves by the
// eye distance (1/128 of the picture's half width) times 2 / 2, one pixel;
// the red eye's to the left, the blue eye's to the right.
constexpr int32_t kEyeShift = 1;

std::vector<uint32_t> ReadCleanFrame() {
    DisplayChain* chain = GetDisplayState()->GetChain();
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0);
    if (chain == nullptr || chain->cleanFrame.surface == nullptr ||
        !GetRenderer()->ReadRenderTargetPixels(chain->cleanFrame.surface, pixels.data(),
                                               ZHashedString::None())) {
        pixels.clear();
    }
    return pixels;
}

int Channel(const uint32_t p, const int shift) {
    return static_cast<int>((p >> shift) & 0xFF);
}
int Red(const uint32_t p) {
    return Channel(p, 16);
}
int Green(const uint32_t p) {
    return Channel(p, 8);
}
int Blue(const uint32_t p) {
    return Channel(p, 0);
}
int Luma(const uint32_t p) {
    return (299 * Red(p) + 587 * Green(p) + 114 * Blue(p)) / 1000;
}

uint32_t At(const std::vector<uint32_t>& pixels, const int32_t x, const int32_t y) {
    return pixels[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)];
}

// A part of the picture: columns [left, right), rows [top, bottom).
struct Window {
    int32_t left = kLeft;
    int32_t right = kRight;
    int32_t top = kTop;
    int32_t bottom = kBottom;
};

// The shift s for which the channel's edges in the anaglyph picture line up
// best with the edges of the room's own picture moved by s (the channel at x
// shows the room at x + s).
int32_t BestShift(const std::vector<uint32_t>& room, const std::vector<uint32_t>& anaglyph,
                  int (*channel)(uint32_t), const Window& window = Window{}) {
    int32_t best = 0;
    int32_t bestCount = -1;
    for (int32_t s = -3; s <= 3; ++s) {
        int32_t count = 0;
        for (int32_t y = window.top; y < window.bottom; ++y) {
            for (int32_t x = window.left; x < window.right; ++x) {
                const bool roomEdge = std::abs(Luma(At(room, x + s + 1, y)) - Luma(At(room, x + s, y))) > 24;
                const bool eyeEdge =
                    std::abs(channel(At(anaglyph, x + 1, y)) - channel(At(anaglyph, x, y))) > 12;
                if (roomEdge && eyeEdge) ++count;
            }
        }
        if (count > bestCount) {
            bestCount = count;
            best = s;
        }
    }
    return best;
}

// One eye's value of a colour channel (0..255): the share `kept` of the
// colour's difference from its grey, raised to the gamma, times the filter.
int EyeValue(const uint32_t room, const int channel, const float kept, const float gamma,
             const float filter) {
    const float grey = static_cast<float>(Luma(room)) / 255.0f;
    const float c = static_cast<float>(channel) / 255.0f;
    return static_cast<int>(std::lround(255.0f * std::pow(grey + (c - grey) * kept, gamma) * filter));
}

TEST(AnaglyphRoomGl, TheRoomSplitsIntoTheEyesColoursMovedByTheEyeDistanceAndComesBackWhole) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 0, 0, 5, 22);
        std::vector<uint32_t> before;
        std::vector<uint32_t> during;
        std::vector<uint32_t> after;
        ZColor32 background;
        DisplaySettings settings;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            DisplaySettings& s = KorvanthGame::Get()->m_displaySettings;
            if (frame == 30) {
                before = ReadCleanFrame();
                background = GetDisplayState()->roomBackground;
                s.anaglyph3D = true;
                ApplyAnaglyphPassSetting();
                settings = s;
            } else if (frame == 31) {
                during = ReadCleanFrame();
                s.anaglyph3D = false;
                ApplyAnaglyphPassSetting();
            } else if (frame == 32) {
                after = ReadCleanFrame();
            }
        };
        const auto r = playtest::RunPlay(setup, "34 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_FALSE(before.empty());
        ASSERT_FALSE(during.empty());
        ASSERT_FALSE(after.empty());
        ASSERT_FALSE(settings.eyeSwap);
        if (const char* folder = std::getenv("KORV_ANAGLYPH_SHOTS"); folder != nullptr && *folder != '\0') {
            for (const auto& [name, pixels] :
                 {std::pair{"anaglyph-room-off.png", &before}, std::pair{"anaglyph-room-on.png", &during}}) {
                EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/" + name).c_str(), pixels->data(),
                                               kWidth, kHeight));
            }
        }

        // The red eye draws the room moved left, the blue eye moved right.
        EXPECT_EQ(BestShift(before, during, Red), kEyeShift) << "the red eye";
        EXPECT_EQ(BestShift(before, during, Blue), -kEyeShift) << "the blue eye";

        // Inside the room's flat areas (the same colour two pixels either
        // way, so the shifts do not matter) each pixel is the two eyes'
        // filters over the desaturated, lightened colour.
        const float kept = 1.0f - settings.anaglyphDesaturation;
        const float gamma = 1.0f - settings.anaglyphBrightness;
        const uint32_t clear = 0xFF000000u | (uint32_t{background.r} << 16) | (uint32_t{background.g} << 8) |
                               uint32_t{background.b};
        int32_t flat = 0;
        int32_t matching = 0;
        int32_t colourful = 0;
        for (int32_t y = kTop; y < kBottom; ++y) {
            for (int32_t x = kLeft; x < kRight; ++x) {
                const uint32_t p = At(before, x, y);
                if ((p | 0xFF000000u) == clear) continue;
                bool same = true;
                for (int32_t dx = -2; dx <= 2; ++dx) same = same && At(before, x + dx, y) == p;
                if (!same) continue;
                ++flat;
                const uint32_t q = At(during, x, y);
                const bool match = std::abs(Red(q) - EyeValue(p, Red(p), kept, gamma, 1.0f)) <= 4 &&
                                   std::abs(Green(q) - EyeValue(p, Green(p), kept, gamma, 0.25f)) <= 4 &&
                                   std::abs(Blue(q) - EyeValue(p, Blue(p), kept, gamma, 1.0f)) <= 4;
                if (match) ++matching;
                if (std::max({Red(p), Green(p), Blue(p)}) - std::min({Red(p), Green(p), Blue(p)}) > 40)
                    ++colourful;
            }
        }
        EXPECT_GT(flat, 1000) << "the room has flat areas to compare";
        EXPECT_GT(matching, flat * 9 / 10);

        // Everything drawn went through an eye's filter, the sprites and the
        // characters as well as the tiles: green comes from the blue eye
        // alone, which keeps a quarter of it.
        int32_t tooGreen = 0;
        for (const uint32_t p : during) {
            if (Green(p) > 64 + 4) ++tooGreen;
        }
        EXPECT_EQ(tooGreen, 0);

        // Off again: the room's own picture, colours and places.
        int32_t changed = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                if (At(before, x, y) != At(after, x, y)) ++changed;
            }
        }
        EXPECT_LT(changed, kWidth * kHeight / 100);
        EXPECT_GT(colourful, 100) << "the room's picture keeps its colours";
    });
}

// The Workshop's elder, a character in the palette material, stands still at
// (80, 196) (16 x 24 pixels) on a plain floor, clear of the player. With
// anaglyph 3D on, each eye draws it moved by the material's half eye distance:
// its edges lie apart between the two eyes (a character drawn flat would put
// them on the same columns in both).
TEST(AnaglyphRoomGl, ACharacterStandsOutOfTheScreenBetweenTheEyes) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Workshop", 0, 0, 22, 24);
        std::vector<uint32_t> before;
        std::vector<uint32_t> during;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            DisplaySettings& s = KorvanthGame::Get()->m_displaySettings;
            if (frame == 30) {
                before = ReadCleanFrame();
                s.anaglyph3D = true;
                ApplyAnaglyphPassSetting();
            } else if (frame == 31) {
                during = ReadCleanFrame();
                s.anaglyph3D = false;
                ApplyAnaglyphPassSetting();
            }
        };
        const auto r = playtest::RunPlay(setup, "33 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_FALSE(before.empty());
        ASSERT_FALSE(during.empty());
        if (const char* folder = std::getenv("KORV_ANAGLYPH_SHOTS"); folder != nullptr && *folder != '\0') {
            for (const auto& [name, pixels] : {std::pair{"anaglyph-character-off.png", &before},
                                               std::pair{"anaglyph-character-on.png", &during}}) {
                EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/" + name).c_str(), pixels->data(),
                                               kWidth, kHeight));
            }
        }

        // Around the elder, above the floor's tiles (row 208 on).
        const Window elder{60, 104, 180, 206};
        int32_t edges = 0;
        for (int32_t y = elder.top; y < elder.bottom; ++y) {
            for (int32_t x = elder.left; x < elder.right; ++x) {
                if (std::abs(Luma(At(before, x + 1, y)) - Luma(At(before, x, y))) > 24) ++edges;
            }
        }
        ASSERT_GT(edges, 20) << "the elder is drawn where the Workshop places it";
        const int32_t red = BestShift(before, during, Red, elder);
        const int32_t blue = BestShift(before, during, Blue, elder);
        EXPECT_GT(red, blue) << "the red eye's elder lies left of the blue eye's (red " << red << ", blue " << blue
                             << ")";
        EXPECT_LE(red - blue, 1) << "half the eye distance each way: one pixel apart at most";
    });
}

// The Caverns' first room has a floor of plain grey tiles along the bottom of
// the picture. With anaglyph 3D on, each eye's picture moves the tiles by a
// whole pixel; every pixel of the floor still samples its own tile, so no
// column of the clear colour shows between two tiles in either eye.
TEST(AnaglyphRoomGl, NoSeamsOpenBetweenTheFloorsTilesInEitherEye) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Caverns", 0, 0, 5, 22);
        std::vector<uint32_t> before;
        std::vector<uint32_t> during;
        ZColor32 background;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            DisplaySettings& s = KorvanthGame::Get()->m_displaySettings;
            if (frame == 30) {
                before = ReadCleanFrame();
                background = GetDisplayState()->roomBackground;
                s.anaglyph3D = true;
                ApplyAnaglyphPassSetting();
            } else if (frame == 31) {
                during = ReadCleanFrame();
                s.anaglyph3D = false;
                ApplyAnaglyphPassSetting();
            }
        };
        const auto r = playtest::RunPlay(setup, "33 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_FALSE(before.empty());
        ASSERT_FALSE(during.empty());
        if (const char* folder = std::getenv("KORV_ANAGLYPH_SHOTS"); folder != nullptr && *folder != '\0') {
            for (const auto& [name, pixels] :
                 {std::pair{"anaglyph-floor-off.png", &before}, std::pair{"anaglyph-floor-on.png", &during}}) {
                EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/" + name).c_str(), pixels->data(),
                                               kWidth, kHeight));
            }
        }

        // Where the flat picture shows tiles two pixels either way, both eyes
        // show a tile whatever their shift: the red eye keeps red and the
        // blue eye blue (their clear colours have none of the other's).
        const uint32_t clear = 0xFF000000u | (uint32_t{background.r} << 16) | (uint32_t{background.g} << 8) |
                               uint32_t{background.b};
        constexpr int32_t kDark = 16;
        int32_t tiled = 0;
        std::vector<std::string> seams;
        for (int32_t y = kTop; y < kHeight; ++y) {
            for (int32_t x = 2; x < kWidth - 2; ++x) {
                bool covered = true;
                for (int32_t dx = -2; dx <= 2; ++dx) covered = covered && (At(before, x + dx, y) | 0xFF000000u) != clear;
                if (!covered) continue;
                ++tiled;
                const uint32_t q = At(during, x, y);
                if (Red(q) < kDark || Blue(q) < kDark) {
                    seams.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
                }
            }
        }
        EXPECT_GT(tiled, 2000) << "the floor's tiles are in the picture";
        EXPECT_TRUE(seams.empty()) << seams.size() << " pixels show the clear colour inside the floor, first "
                                   << seams.front();
    });
}

}  // namespace
