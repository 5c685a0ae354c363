// What a player sees of dialogs, the minimap, the full map and the sprites,
// read back from the game's own display (flat, no CRT): a choice shows its
// inline picture; the minimap makes way for a dialog's box; the full map opens
// in the middle of the screen on a map that has one and its prompt shows only
// there; the player stands in front of doors and huts, its boots level with
// the elder's. KORV_DIALOG_SHOTS names a folder for the pictures (docs/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplaySettings.h"
#include "game/display/DisplayState.h"
#include "game/display/NoCRTShader.h"
#include "game/display/SceneOverlays.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderable.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_DIALOG_SHOTS", name); }

playtest::PlaySetup At(const char* map, const int32_t roomX, const int32_t roomY, const int32_t tileX,
                       const int32_t tileY) {
    playtest::PlaySetup setup;
    setup.gl = true;
    setup.display = true;
    setup.config = "[Video]\r\nCRTSim: false\r\n";
    setup.quickStart = playtest::PlaySetup::QuickStartAt(map, roomX, roomY, tileX, tileY);
    return setup;
}

// A box of the 256 x 224 game screen (pixels, y down) in the window: the flat
// display shows the picture as large as fits at its aspect, less overscan.
struct Box {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

Box OnWindow(const Shot& shot, const float left, const float top, const float right, const float bottom) {
    const DisplaySettings defaults;
    const DisplaySettings& settings = PeekDisplayState() != nullptr ? PeekDisplayState()->Settings() : defaults;
    ZVector4 scalar, offset;
    NoCRTShader::ComputeBox(settings.pixelAspectRatio * 1.1428571939468384f,
                            float(shot.width) / float(shot.height), scalar, offset);
    const float overscan = settings.overscan > 0.0f ? settings.overscan : 1.0f;
    const auto at = [&](const float picture, const int i) {
        const float boxed = (picture - 0.5f) * overscan + 0.5f;
        return i == 0 ? (boxed - offset.x) / scalar.x * float(shot.width)
                      : (boxed - offset.y) / scalar.y * float(shot.height);
    };
    Box box;
    box.left = std::clamp(static_cast<int32_t>(at(left / 256.0f, 0)), 0, shot.width);
    box.right = std::clamp(static_cast<int32_t>(std::ceil(at(right / 256.0f, 0))), 0, shot.width);
    box.top = std::clamp(static_cast<int32_t>(at(top / 224.0f, 1)), 0, shot.height);
    box.bottom = std::clamp(static_cast<int32_t>(std::ceil(at(bottom / 224.0f, 1))), 0, shot.height);
    return box;
}

// Window pixels of one game pixel, upright.
float GamePixel(const Shot& shot) {
    const Box one = OnWindow(shot, 0.0f, 0.0f, 0.0f, 224.0f);
    return float(one.bottom - one.top) / 224.0f;
}

template <typename Test>
int32_t Count(const Shot& a, const Shot& b, const Box& box, Test test) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return -1;
    int32_t n = 0;
    for (int32_t y = box.top; y < box.bottom; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) {
            const size_t i = size_t(y) * size_t(a.width) + size_t(x);
            if (test(a.pixels[i], b.pixels[i])) ++n;
        }
    }
    return n;
}

int32_t Differ(const Shot& a, const Shot& b, const Box& box) {
    return Count(a, b, box, [](uint32_t p, uint32_t q) { return p != q; });
}

// The lowest window row in the box where the shots differ; -1 for none.
int32_t LowestChange(const Shot& a, const Shot& b, const Box& box) {
    for (int32_t y = box.bottom - 1; y >= box.top; --y) {
        for (int32_t x = box.left; x < box.right; ++x) {
            const size_t i = size_t(y) * size_t(a.width) + size_t(x);
            if (a.pixels[i] != b.pixels[i]) return y;
        }
    }
    return -1;
}

// A colourful pixel: its channels spread by more than a grey's or a white's.
bool Colourful(const uint32_t p) {
    const int32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b}) > 96;
}

KorvEntity* RoomEntityNamed(const char* name) {
    for (KorvEntity* entity : KorvanthGame::Get()->GetRoomEntities()) {
        const ZNameComponent* named = GetComponent<ZNameComponent>(entity);
        if (named != nullptr && named->name.GetTextOrEmpty() == std::string(name)) return entity;
    }
    return nullptr;
}

void ShowSprite(KorvEntity* entity, const bool shown) {
    if (ZSpriteComponent* sprite = GetComponent<ZSpriteComponent>(entity); sprite != nullptr && sprite->sheet != nullptr) {
        sprite->sheet->visible = shown;
    }
}

// The sunken halls' merchant, talked to from his left: his greeting and his
// three choices stand at the top of the screen, under the minimap's corner.
const char* const kTalkToMerchant = "10 -\n31 right\n10 -\n1 interact\n60 -\n";

}  // namespace

TEST(DialogShownGl, AChoiceShowsItsPictureNotItsMarkup) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = At("Sunken", 0, 0, 5, 24);
        Shot before;
        Shot choosing;
        std::vector<std::string> labels;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 40) before = Take();
            if (frame == 111) {
                choosing = Take();
                if (KorvEntity* merchant = RoomEntityNamed("Merchant")) {
                    if (const auto* provider = GetComponent<ZDialogProviderComponent>(merchant)) {
                        for (const auto& option : provider->options) labels.push_back(option.label.GetText());
                    }
                }
            }
        };
        const auto r = playtest::RunPlay(setup, kTalkToMerchant);
        ASSERT_TRUE(r.started) << r.error;
        Keep(choosing, "dialog-shop.png");
        ASSERT_EQ(labels.size(), 3u) << "the key, the pass, leaving";
        for (const std::string& label : labels) {
            EXPECT_EQ(label.find("<img>"), std::string::npos) << label;
            EXPECT_EQ(label.find("stat:"), std::string::npos) << label;
        }
        // The key's and the pass's pictures are drawn in their colours among
        // the white choices (above the sparkling gems, left of the minimap).
        const Box box = OnWindow(choosing, 0.0f, 24.0f, 198.0f, 116.0f);
        const int32_t pictured = Count(before, choosing, box, [](uint32_t p, uint32_t q) { return p != q && Colourful(q); });
        EXPECT_GT(pictured, int32_t(8.0f * GamePixel(choosing) * GamePixel(choosing))) << "no picture among the choices";
    });
}

TEST(DialogShownGl, TheMinimapMakesWayForADialogsBox) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = At("Sunken", 0, 0, 5, 24);
        Shot before;
        Shot talking;
        Shot after;
        bool hiddenWhileTalking = false;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 40) before = Take();
            if (frame == 111) {
                talking = Take();
                hiddenWhileTalking = true;
                for (const ZRenderable* quad : PeekDisplayState()->minimapQuads) {
                    hiddenWhileTalking = hiddenWhileTalking && quad != nullptr && !quad->visible;
                }
            }
            if (frame == 150) after = Take();
        };
        // Talk, then leave with Escape (the choice to leave is the default).
        const auto r = playtest::RunPlay(setup, std::string(kTalkToMerchant) + "1 escape\n38 -\n");
        ASSERT_TRUE(r.started) << r.error;
        Keep(talking, "dialog-minimap.png");
        EXPECT_TRUE(hiddenWhileTalking);
        // The minimap's plate sits at (200, 16) to (240, 48): while the box
        // shows, little of what was there stays; after it, all of it is back.
        const Box plate = OnWindow(talking, 202.0f, 18.0f, 238.0f, 46.0f);
        const int32_t area = (plate.right - plate.left) * (plate.bottom - plate.top);
        ASSERT_GT(area, 0);
        const int32_t kept = Count(before, talking, plate, [](uint32_t p, uint32_t q) { return p == q; });
        EXPECT_LT(kept, area / 2) << "the minimap still stands over the box";
        EXPECT_GT(Count(before, after, plate, [](uint32_t p, uint32_t q) { return p == q; }), area / 2)
            << "the minimap is back";
    });
}

TEST(DialogShownGl, TheBoxKeepsTheRoomOutOfItsArea) {
    struct Case {
        const char* name;
        const char* config;
        bool roomColour;
    };
    const Case cases[] = {
        {"room colour (the default)", "", true},
        {"black", "OpaqueDialogBoxes: true\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = At("Sunken", 0, 0, 5, 24);
            setup.config = c.config + setup.config;  // a setting of no section: before the first
            Shot before;
            Shot talking;
            setup.afterFrame = [&](Player&, const int32_t frame) {
                if (frame == 40) before = Take();
                if (frame == 111) talking = Take();
            };
            const auto r = playtest::RunPlay(setup, kTalkToMerchant);
            ASSERT_TRUE(r.started) << r.error;
            Keep(talking, c.roomColour ? "dialog-box-room.png" : "dialog-box-black.png");
            // The hall's right column of tiles runs down x 200..208, through
            // the box and clear of its text.
            const Box column = OnWindow(talking, 201.0f, 36.0f, 207.0f, 68.0f);
            const int32_t area = (column.right - column.left) * (column.bottom - column.top);
            ASSERT_GT(area, 0);
            const Box under = OnWindow(talking, 201.0f, 150.0f, 207.0f, 180.0f);
            ASSERT_GT(Differ(before, talking, column), 0) << "the column was not drawn there before";
            const uint32_t fill = talking.pixels[size_t(column.top) * size_t(talking.width) + size_t(column.left)];
            const uint32_t background =
                before.pixels[size_t(OnWindow(before, 100.0f, 170.0f, 101.0f, 171.0f).top) * size_t(before.width) +
                              size_t(OnWindow(before, 100.0f, 170.0f, 101.0f, 171.0f).left)];
            EXPECT_EQ(Count(talking, talking, column, [fill](uint32_t p, uint32_t) { return p == fill; }), area)
                << "the room's tiles show through the box";
            if (c.roomColour) {
                EXPECT_EQ(fill, background) << "the box shows the room's background colour";
            } else {
                EXPECT_NE(fill, background) << "the box has its own fill";
            }
            // Below the box the column is drawn as ever.
            EXPECT_EQ(Differ(before, talking, under), 0);
        });
    }
}

TEST(DialogShownGl, TheFullMapOpensInTheMiddleOfTheScreen) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = At("Caverns", 0, 0, 16, 14);
        Shot before;
        Shot open;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 29) before = Take();
            if (frame == 50) open = Take();
        };
        const auto r = playtest::RunPlay(setup, "30 -\n1 map\n30 -\n");
        ASSERT_TRUE(r.started) << r.error;
        Keep(open, "fullmap.png");
        // The map's window is 132 x 108 pixels with its lower left corner 36
        // above the screen's bottom edge at x 62: (62, 80) to (194, 188).
        const Box window = OnWindow(open, 62.0f, 80.0f, 194.0f, 188.0f);
        const int32_t windowArea = (window.right - window.left) * (window.bottom - window.top);
        EXPECT_GT(Differ(before, open, window), windowArea / 2) << "the map covers its window";
        // Its window is one black panel, not the part of the picture that
        // happens to lie in it.
        const Box left = OnWindow(open, 64.0f, 82.0f, 100.0f, 120.0f);
        const int32_t leftArea = (left.right - left.left) * (left.bottom - left.top);
        EXPECT_GT(Count(before, open, left, [](uint32_t, uint32_t q) { return (q & 0xFFFFFFu) == 0u; }), leftArea * 9 / 10);
    });
}

// The smallest box around the window pixels of the box for which test(first,
// second) holds; empty (right <= left) for none.
template <typename Test>
Box Around(const Shot& a, const Shot& b, const Box& box, Test test) {
    Box found{box.right, box.bottom, box.left, box.top};
    for (int32_t y = box.top; y < box.bottom; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) {
            const size_t i = size_t(y) * size_t(a.width) + size_t(x);
            if (!test(a.pixels[i], b.pixels[i])) continue;
            found.left = std::min(found.left, x);
            found.top = std::min(found.top, y);
            found.right = std::max(found.right, x + 1);
            found.bottom = std::max(found.bottom, y + 1);
        }
    }
    return found;
}

// The full map frames the whole of the map's picture wherever the player is,
// so in every area the marker stands on the cell of the player's room: the
// caverns' first room, three areas of the sunken halls (the cellar under the
// east end among them) and the course's hall, whose rooms lie far from the
// world's first column. The screen over it counts the gems of the minimap's
// collection: none in the caverns, whose crystal is no gem.
TEST(DialogShownGl, TheFullMapsMarkerStandsOnThePlayersRoom) {
    struct Case {
        const char* name;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;
        uint32_t powerup;   // held, or 0
        const char* count;  // the screen's count line, when it is known
    };
    const Case cases[] = {
        {"the caverns' first room", "Caverns", 0, 0, 5, 24, 0, "Gems 0 of 0"},
        {"the sunken halls' upper row", "Sunken", 0, 0, 5, 24, 0, nullptr},
        {"the flooded row", "Sunken", 2, 1, 3, 24, kPowerupSwimSuit, nullptr},
        {"the cellar", "Sunken", 5, 2, 3, 24, 0, nullptr},
        {"the course's hall", "Speedrun Maps", 14, 3, 17, 24, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = At(c.map, c.roomX, c.roomY, c.tileX, c.tileY);
            if (c.powerup != 0) setup.powerups.push_back(c.powerup);
            Shot marked;
            Shot bare;
            std::string text;
            setup.afterFrame = [&](Player& p, const int32_t frame) {
                ZRenderable& marker =
                    PeekDisplayState()->GetChain()->GetOverlays()->GetRenderable(SceneOverlays::kFullMapIndicator);
                if (frame == 110) {
                    marked = Take();
                    text = GetComponent<ZDialogConsumerComponent>(&p)->text.GetText();
                    marker.visible = false;
                } else if (frame == 112) {
                    bare = Take();
                    marker.visible = true;
                }
            };
            // QuickStart puts the player in the flooded row before the suit is
            // handed over: it drowns once and comes back at the checkpoint,
            // suited, before the map opens.
            const auto r = playtest::RunPlay(setup, "90 -\n1 map\n30 -\n");
            ASSERT_TRUE(r.started) << r.error;
            if (c.count != nullptr) {
                EXPECT_NE(text.find(c.count), std::string::npos) << text;
            }
            // In the map's window, (62, 80) to (194, 188), only the player's
            // room is discovered: the one cell drawn, six game pixels across.
            const Box window = OnWindow(bare, 62.0f, 80.0f, 194.0f, 188.0f);
            const Box cell = Around(bare, bare, window, [](uint32_t p, uint32_t) { return (p & 0xFFFFFFu) != 0u; });
            const Box mark = Around(marked, bare, window, [](uint32_t p, uint32_t q) { return p != q; });
            ASSERT_GT(cell.right, cell.left) << "no room drawn in the map";
            ASSERT_GT(mark.right, mark.left) << "no marker";
            const float pixel = GamePixel(bare);
            EXPECT_LE(float(cell.right - cell.left) / pixel, 8.0f) << "more than the player's room drawn";
            // The marker stands on that cell.
            const int32_t x = (mark.left + mark.right) / 2;
            const int32_t y = (mark.top + mark.bottom) / 2;
            EXPECT_TRUE(x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom)
                << "the marker's middle (" << x << ", " << y << ") lies off the room's cell (" << cell.left << ", "
                << cell.top << ") to (" << cell.right << ", " << cell.bottom << ")";
        });
    }
}

TEST(DialogShownGl, TheFullMapsPromptShowsOnlyWhereThereIsAFullMap) {
    struct Case {
        const char* name;
        const char* map;
        int32_t tileX, tileY;
        bool prompt;
    };
    const Case cases[] = {
        {"caverns", "Caverns", 16, 14, true},
        {"overworld", "Overworld", 16, 14, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = At(c.map, 0, 0, c.tileX, c.tileY);
            Shot shown;
            Shot without;
            bool opened = false;
            setup.afterFrame = [&](Player& p, const int32_t frame) {
                if (frame == 19) {
                    shown = Take();
                    // The minimap switched off takes its prompt with it.
                    GetDisplayState()->Settings().showMinimap = false;
                } else if (frame == 21) {
                    without = Take();
                    GetDisplayState()->Settings().showMinimap = true;
                } else if (frame == 40) {
                    opened = GetComponent<ZDialogConsumerComponent>(&p)->provider != 0;
                }
            };
            const auto r = playtest::RunPlay(setup, "22 -\n1 map\n20 -\n");
            ASSERT_TRUE(r.started) << r.error;
            Keep(shown, (std::string("dialog-prompt-") + c.map + ".png").c_str());
            // The prompt's text starts at (198.5, 14.5), its top rows above
            // the minimap's plate.
            const Box top = OnWindow(shown, 188.0f, 8.0f, 256.0f, 15.5f);
            EXPECT_EQ(Differ(shown, without, top) > 0, c.prompt) << "the prompt";
            EXPECT_EQ(opened, c.prompt) << "M opens the map screen";
        });
    }
}

TEST(DialogShownGl, ThePlayerStandsInFrontOfDoorsAndHuts) {
    struct Case {
        const char* name;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;
        const char* prop;
    };
    const Case cases[] = {
        {"the workshop's door", "Workshop", 0, 0, 25, 24, "WorkshopDoor"},
        {"the hut on the overworld", "Overworld", 1, 0, 17, 9, "Door"},
        {"the elder", "Workshop", 0, 0, 10, 24, "Elder"},
        {"the merchant", "Sunken", 0, 0, 12, 24, "Merchant"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = At(c.map, c.roomX, c.roomY, c.tileX, c.tileY);
            Shot both;
            Shot noPlayer;
            Shot noProp;
            Box box;
            setup.afterFrame = [&](Player& p, const int32_t frame) {
                KorvEntity* const prop = RoomEntityNamed(c.prop);
                if (prop == nullptr || p.renderable == nullptr) return;
                if (frame == 20) {
                    both = Take();
                    p.renderable->SetRenderablesVisible(false);
                } else if (frame == 22) {
                    noPlayer = Take();
                    p.renderable->SetRenderablesVisible(true);
                    ShowSprite(prop, false);
                } else if (frame == 24) {
                    noProp = Take();
                    ShowSprite(prop, true);
                    const ZVector3 at = p.spatial->current.position;
                    const ZVector3 centre = KorvanthGame::Get()->GetRoomViewCentre();
                    const float x = at.x - centre.x + 128.0f;
                    const float y = at.y - centre.y + 112.0f;
                    box = OnWindow(both, x - 8.0f, y - 12.0f, x + 8.0f, y + 12.0f);
                }
            };
            const auto r = playtest::RunPlay(setup, "26 -\n");
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_FALSE(noProp.pixels.empty()) << "no " << c.prop << " in the room";
            Keep(both, (std::string("dialog-front-") + c.prop + ".png").c_str());
            // Where the player and the prop overlap, the player's pixels are
            // the ones drawn: the prop taken away changes nothing the player covers.
            const int32_t player = Differ(both, noPlayer, box);
            const int32_t propShows = Count(both, noProp, box, [](uint32_t p, uint32_t q) { return p != q; });
            ASSERT_GT(player, 0) << "the player is not drawn there";
            const int32_t playerOverProp = Count(noPlayer, noProp, box, [](uint32_t p, uint32_t q) { return p != q; });
            ASSERT_GT(playerOverProp, 0) << "the prop is not under the player";
            // Pixels that change when the player goes and also when the prop goes
            // would be the prop's drawn over the player.
            int32_t propOverPlayer = 0;
            for (int32_t y = box.top; y < box.bottom; ++y) {
                for (int32_t x = box.left; x < box.right; ++x) {
                    const size_t i = size_t(y) * size_t(both.width) + size_t(x);
                    if (both.pixels[i] != noPlayer.pixels[i] && both.pixels[i] != noProp.pixels[i]) ++propOverPlayer;
                }
            }
            EXPECT_EQ(propOverPlayer, 0) << player << " player pixels, " << propShows << " prop pixels";
        });
    }
}

// The key the merchant hands out lies at his feet in front of him: where
// the two overlap the key's pixels are the ones drawn. The player talks from
// well left of him, clear of the spot.
TEST(DialogShownGl, TheMerchantsGiftIsDrawnInFrontOfHim) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = At("Sunken", 0, 0, 5, 24);
        Shot all;
        Shot noGift;
        Shot noMerchant;
        Shot neither;
        Box box;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            KorvEntity* const merchant = RoomEntityNamed("Merchant");
            if (merchant == nullptr) return;
            // The item standing where he stands (the next room's are loaded too).
            const ZVector3 there = GetComponent<ZSpatialComponent>(merchant)->current.position;
            KorvEntity* gift = nullptr;
            for (KorvEntity* entity : KorvanthGame::Get()->GetRoomEntities()) {
                const ZNameComponent* named = GetComponent<ZNameComponent>(entity);
                const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity);
                if (named != nullptr && named->name.GetTextOrEmpty() == std::string("Item") && spatial != nullptr &&
                    spatial->current.position.x == there.x && spatial->current.position.y == there.y) {
                    gift = entity;
                }
            }
            if (gift == nullptr) return;
            if (frame == 168) {
                all = Take();
                ShowSprite(gift, false);
            } else if (frame == 170) {
                noGift = Take();
                ShowSprite(merchant, false);
            } else if (frame == 172) {
                neither = Take();
                ShowSprite(gift, true);
            } else if (frame == 174) {
                noMerchant = Take();
                ShowSprite(merchant, true);
                const ZVector3 at = GetComponent<ZSpatialComponent>(gift)->current.position;
                const ZVector3 centre = KorvanthGame::Get()->GetRoomViewCentre();
                const float x = at.x - centre.x + 128.0f;
                const float y = at.y - centre.y + 112.0f;
                box = OnWindow(all, x - 8.0f, y - 8.0f, x + 8.0f, y + 8.0f);
            }
        };
        // Talk, buy the key, close his answer; stand.
        const auto r = playtest::RunPlay(
            setup, "10 -\n24 right\n10 -\n1 interact\n60 -\n1 down\n10 -\n1 return\n30 -\n1 return\n30 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_FALSE(noMerchant.pixels.empty()) << "no key beside the merchant";
        Keep(all, "dialog-gift.png");
        // Where the key alone draws something and the merchant alone too,
        // both are drawn; there the whole picture shows the key's pixels.
        int32_t both = 0;
        int32_t merchantOverGift = 0;
        for (int32_t y = box.top; y < box.bottom; ++y) {
            for (int32_t x = box.left; x < box.right; ++x) {
                const size_t i = size_t(y) * size_t(all.width) + size_t(x);
                const bool giftDraws = noMerchant.pixels[i] != neither.pixels[i];
                const bool merchantDraws = noGift.pixels[i] != neither.pixels[i];
                if (giftDraws && merchantDraws) ++both;
                if (giftDraws && all.pixels[i] != noMerchant.pixels[i]) ++merchantOverGift;
            }
        }
        ASSERT_GT(both, 0) << "the key and the merchant do not overlap";
        EXPECT_EQ(merchantOverGift, 0) << "of " << both << " pixels where both are drawn";
    });
}

TEST(DialogShownGl, ThePlayersBootsStandLevelWithTheElders) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = At("Workshop", 0, 0, 7, 24);
        Shot all;
        Shot noPlayer;
        Shot noElder;
        Box playerBox;
        Box elderBox;
        setup.afterFrame = [&](Player& p, const int32_t frame) {
            KorvEntity* const elder = RoomEntityNamed("Elder");
            if (elder == nullptr || p.renderable == nullptr) return;
            if (frame == 30) {
                all = Take();
                p.renderable->SetRenderablesVisible(false);
            } else if (frame == 32) {
                noPlayer = Take();
                p.renderable->SetRenderablesVisible(true);
                ShowSprite(elder, false);
            } else if (frame == 34) {
                noElder = Take();
                ShowSprite(elder, true);
                const ZVector3 centre = KorvanthGame::Get()->GetRoomViewCentre();
                const auto around = [&](const ZVector3& at) {
                    const float x = at.x - centre.x + 128.0f;
                    const float y = at.y - centre.y + 112.0f;
                    return OnWindow(all, x - 8.0f, y - 16.0f, x + 8.0f, y + 16.0f);
                };
                playerBox = around(p.spatial->current.position);
                elderBox = around(GetComponent<ZSpatialComponent>(elder)->current.position);
            }
        };
        const auto r = playtest::RunPlay(setup, "36 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_FALSE(noElder.pixels.empty()) << "no elder in the workshop";
        Keep(all, "dialog-boots.png");
        const int32_t playerFeet = LowestChange(all, noPlayer, playerBox);
        const int32_t elderFeet = LowestChange(all, noElder, elderBox);
        ASSERT_GE(playerFeet, 0);
        ASSERT_GE(elderFeet, 0);
        EXPECT_LE(std::abs(playerFeet - elderFeet), int32_t(GamePixel(all))) << "the player's boots sink into the floor";
    });
}

// The overworld's gallery arch, tried without its key: the player stands on
// the arch and hides its padlock, so the lock shows over the player's head,
// where it is seen, and goes again after a moment.
TEST(DialogShownGl, ALockedArchShowsItsPadlockOverThePlayersHead) {
    gametest::RunInChild([] {
        // From the cell east of the arch: step onto it, then press up.
        playtest::PlaySetup setup = At("Overworld", 1, 0, 7, 23);
        const int32_t press = 36;  // the frame of the press, in the script below
        Shot before;
        Shot tried;
        Shot later;
        Box overHead;
        setup.afterFrame = [&](Player& p, const int32_t frame) {
            if (frame == press - 1) {
                before = Take();
                const ZVector3 at = p.spatial->current.position;
                const ZVector3 centre = KorvanthGame::Get()->GetRoomViewCentre();
                const float x = at.x - centre.x + 128.0f;
                const float y = at.y - centre.y + 112.0f;
                // The 10 pixels over the player's 16 x 16 figure.
                overHead = OnWindow(before, x - 8.0f, y - 18.0f, x + 8.0f, y - 8.0f);
            }
            if (frame == press + 10) tried = Take();
            if (frame == press + 90) later = Take();
        };
        const auto r = playtest::RunPlay(setup, "20 -\n15 left\n1 -\n1 up\n100 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_FALSE(later.pixels.empty());
        Keep(tried, "padlock.png");
        ASSERT_GT(overHead.bottom, overHead.top);
        // The padlock's gold over the head, in more than a few game pixels.
        const float pixel = GamePixel(tried);
        const int32_t gold = Count(before, tried, overHead, [](uint32_t p, uint32_t q) { return p != q && Colourful(q); });
        EXPECT_GT(gold, int32_t(12.0f * pixel * pixel)) << "no padlock over the player's head";
        EXPECT_EQ(Differ(before, later, overHead), 0) << "the padlock stays";
    });
}

// Each signpost before water a player can fall into is read where it
// stands: walked up to and faced, Interact opens its warning, which names
// what the water asks for, in a box over the room.
TEST(DialogShownGl, TheSignpostsBeforeTheWaterAreRead) {
    struct Case {
        const char* name;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;  // the start (a room's start for testing wins)
        const char* approach;                // the walk up to the sign, ending facing it
        uint32_t powerup;                    // held, or 0
        const char* names;
        const char* picture;  // kept, or null
    };
    const Case cases[] = {
        {"the caverns' pit", "Caverns", 2, 0, 4, 24, "12 right", 0, "Magic Snorkel", nullptr},
        {"the caverns' dry room", "Caverns", 0, 1, 23, 24, "1 right", 0, "Magic Snorkel", nullptr},
        {"the sunken pool's west side", "Sunken", 4, 0, 3, 24, "1 left", 0, "Magic Snorkel", "signpost.png"},
        // From the east hall, walked into the pool's room.
        {"the sunken pool's east side", "Sunken", 5, 0, 2, 24, "12 left", 0, "Magic Snorkel", nullptr},
        {"the shaft", "Sunken", 5, 0, 3, 24, "1 right", 0, "Magic Snorkel", nullptr},
        {"the toxic halls", "Sunken", 2, 1, 7, 24, "1 left", kPowerupSwimSuit, "Steelskin Catalyst", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = At(c.map, c.roomX, c.roomY, c.tileX, c.tileY);
            if (c.powerup != 0) setup.powerups.push_back(c.powerup);
            Shot before;
            Shot reading;
            std::string text;
            std::string speaker;
            setup.afterFrame = [&](Player& p, const int32_t frame) {
                if (frame == 89) before = Take();
                if (frame == 170) {
                    reading = Take();
                    const auto* consumer = GetComponent<ZDialogConsumerComponent>(&p);
                    text = consumer->text.GetText() != nullptr ? consumer->text.GetText() : "";
                    if (const ZDialogProviderComponent* provider = consumer->ResolveProvider()) {
                        if (const auto* named = GetComponent<ZNameComponent>(provider->GetOwner())) {
                            speaker = named->name.GetTextOrEmpty();
                        }
                    }
                }
            };
            // A QuickStart into the flooded row drowns once before the suit
            // is handed over: wait for the checkpoint, then turn and read.
            const auto r = playtest::RunPlay(setup, std::string("90 -\n") + c.approach + "\n1 -\n1 interact\n80 -\n");
            ASSERT_TRUE(r.started) << r.error;
            if (c.picture != nullptr) Keep(reading, c.picture);
            EXPECT_EQ(speaker, "Sign");
            EXPECT_NE(text.find(c.names), std::string::npos) << text;
            // The warning's box over the top of the room.
            EXPECT_GT(Differ(before, reading, OnWindow(reading, 16.0f, 16.0f, 180.0f, 40.0f)), 0);
        });
    }
}
