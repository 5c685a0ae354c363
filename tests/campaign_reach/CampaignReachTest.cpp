// The campaign's powerups off the main route, each reached by a short leg: a
// recorded script (tests/fixtures/campaign/reach_*.txt) played from a room of
// the halls or the spire with the powerups a player holds by then. A leg that
// can no longer be played (a ledge moved out of reach, a missing platform, a
// door that leads nowhere) ends without its powerup.
//
// To write or mend a leg, play it with tests/campaign_play's disabled Leg
// test: KORV_PLAY_SCRIPT, KORV_PLAY_FROM and KORV_PLAY_POWERUPS as in the
// table below print where the player is after every script line.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZGUIDComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"

namespace {

std::string ReadLeg(const std::string& name) {
    std::ifstream in(std::string(KORV_FIXTURES_DIR) + "/campaign/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Powerup ids: kind << 16 | model.
constexpr uint32_t kRedAura = 0x10001;
constexpr uint32_t kBlueAura = 0x10002;
constexpr uint32_t kGreenAura = 0x10003;
constexpr uint32_t kYellowAura = 0x10004;
constexpr uint32_t kSpikedBoots = 0x20003;
constexpr uint32_t kMask = 0x40001;
constexpr uint32_t kBadge = 0x50001;
constexpr uint32_t kArcSeal = 0x80001;
constexpr uint32_t kNecklace = 0x90001;

struct Leg {
    const char* script;  // under tests/fixtures/campaign/
    const char* map;
    int32_t roomX, roomY, tileX, tileY;  // where the leg starts
    std::vector<uint32_t> held;          // what a player holds by then
    std::vector<uint32_t> reaches;       // the powerups taken on the way, held at its end
    int32_t hearts = 0;                  // the heart pieces taken on the way
    float endsWestOf = 1e9f;             // the leg ends left of this x in its room
    int32_t endsInX = -1, endsInY = -1;  // the room the leg ends in, when it leaves its own
};

// The heart pieces the player has gathered, as the status screen reads them.
int32_t HeartPieces(const Player& player) {
    ZDatumEntry pieces;
    return GetDatumByHandle(player.GetHandle(), ZHashedString("bgcubes"), pieces) ? pieces.value.intValue : 0;
}

playtest::PlaySetup SetupAt(const char* map, const int32_t roomX, const int32_t roomY, const int32_t tileX,
                            const int32_t tileY, const std::vector<uint32_t>& held) {
    playtest::PlaySetup setup;
    setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", map, roomX, roomY, tileX, tileY};
    setup.powerups = held;
    return setup;
}

TEST(CampaignReach, EveryLegEndsHoldingItsPowerup) {
    // The sunken halls' dry floor, then down the shaft into the flooded one.
    const std::vector<uint32_t> halls = {kRedAura, kPowerupDoubleJump, kPowerupSwimSuit};
    // Into the spire with what the halls gave; up its floors one by one.
    const std::vector<uint32_t> spire = {kRedAura, kBlueAura, kPowerupDoubleJump, kPowerupSwimSuit,
                                         kPowerupClimbingGloves};
    std::vector<uint32_t> spireToxic = spire;
    spireToxic.push_back(kPowerupToxicSuit);
    std::vector<uint32_t> masked = spire;
    masked.insert(masked.end(), {kPowerupToxicSuit, kMask});
    std::vector<uint32_t> badged = masked;
    badged.push_back(kBadge);
    std::vector<uint32_t> sealed = badged;
    sealed.push_back(kArcSeal);
    const Leg legs[] = {
        {"reach_sunken_red_aura.txt", "Sunken", 1, 0, 3, 24, {}, {kRedAura}},
        {"reach_sunken_green_aura.txt", "Sunken", 1, 0, 3, 24, {}, {kGreenAura}},
        {"reach_sunken_boots.txt", "Sunken", 2, 0, 3, 24, {kRedAura}, {kPowerupDoubleJump}},
        {"reach_sunken_snorkel.txt", "Sunken", 4, 0, 3, 24, {kRedAura, kPowerupDoubleJump}, {kPowerupSwimSuit}},
        {"reach_sunken_blue_aura.txt", "Sunken", 5, 0, 20, 24, halls, {kBlueAura}},
        {"reach_sunken_gloves.txt", "Sunken", 5, 0, 20, 24, halls, {kSpikedBoots, kPowerupClimbingGloves}},
        {"reach_spire_catalyst.txt", "Spire", 0, 2, 3, 24, spire, {kPowerupToxicSuit}},
        {"reach_spire_mask.txt", "Spire", 2, 2, 3, 24, spire, {kMask}},
        {"reach_spire_east_ledge.txt", "Spire", 3, 2, 3, 24, masked, {}, 1},
        {"reach_spire_badge.txt", "Spire", 3, 2, 3, 24, masked, {kBadge}},
        // Floor 0 starts: the rooms below load once the mask is held.
        {"reach_spire_hidden_ledge.txt", "Spire", 0, 0, 16, 24, badged, {}, 1},
        {"reach_spire_seal.txt", "Spire", 3, 1, 16, 24, badged, {kYellowAura, kArcSeal, kNecklace}, 1},
        {"reach_sunken_hearts.txt", "Sunken", 5, 0, 20, 24, spireToxic, {}, 2},
        // Back out of the vault: west of its wall (x 128 to 136).
        {"reach_spire_vault.txt", "Spire", 3, 0, 3, 24, sealed, {}, 1, 128.0f},
        // Ways out of rooms a player gets into: up out of the dry room under
        // the caverns' first pit, and off the top of the spire's ladder and
        // back west.
        {"reach_caverns_pit_way_up.txt", "Caverns", 0, 1, 8, 24, {}, {}, 0, 1e9f, 0, 0},
        {"reach_spire_ladder_top.txt", "Spire", 3, 2, 16, 1, spire, {}, 0, 0.0f},
    };
    for (const Leg& leg : legs) {
        SCOPED_TRACE(leg.script);
        // Each run finds the placed pickups' shapes: a child of its own.
        gametest::RunInChild([&leg] {
            const std::string script = ReadLeg(leg.script);
            ASSERT_FALSE(script.empty());
            playtest::PlaySetup setup = SetupAt(leg.map, leg.roomX, leg.roomY, leg.tileX, leg.tileY, leg.held);
            // Per frame, which of the leg's powerups the player holds.
            std::vector<std::vector<bool>> holds;
            std::vector<int32_t> hearts;
            setup.afterFrame = [&holds, &hearts, &leg](Player& player, int32_t) {
                hearts.push_back(HeartPieces(player));
                std::vector<bool> now;
                for (const uint32_t id : leg.reaches) now.push_back(HasPowerup(player, id, true));
                holds.push_back(now);
            };
            const playtest::PlayResult result = playtest::RunPlay(setup, script);
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_FALSE(result.samples.empty());
            ASSERT_FALSE(holds.empty());
            EXPECT_EQ(result.framesWithoutOneStep, 0);
            const playtest::PlaySample& last = result.samples.back();
            EXPECT_EQ(hearts.back() - hearts.front(), leg.hearts) << "heart pieces";
            EXPECT_LT(last.position.x, leg.endsWestOf);
            if (leg.endsInX >= 0) {
                EXPECT_EQ(last.roomX, leg.endsInX) << "at (" << last.position.x << ", " << last.position.y << ")";
                EXPECT_EQ(last.roomY, leg.endsInY) << "at (" << last.position.x << ", " << last.position.y << ")";
            }
            for (size_t i = 0; i < leg.reaches.size(); ++i) {
                SCOPED_TRACE(testing::Message() << "powerup " << std::hex << leg.reaches[i]);
                EXPECT_FALSE(holds.front()[i]) << "held before the leg was played";
                EXPECT_TRUE(holds.back()[i]) << "not held at the leg's end, at (" << last.position.x << ", "
                                             << last.position.y << ") from room (" << last.roomX << ", "
                                             << last.roomY << ")";
            }
            // Alive all the way: a leg that only works by dying is no way there.
            const int32_t deaths = result.samples.front().deaths;
            for (const playtest::PlaySample& sample : result.samples) {
                ASSERT_EQ(sample.deaths, deaths) << "died at frame " << sample.frame;
            }
        });
    }
}

// Every room of the campaign's maps, read from their sources: the map's name
// in the campaign, the room, and whether an area of it is flooded.
struct CampaignRoom {
    std::string map;
    int32_t x, y;
    bool flooded;
};

std::vector<CampaignRoom> CampaignRooms() {
    const std::string src = std::string(KORV_SOURCE_DIR) + "/data/game/src/";
    std::ifstream campaign(src + "Korvanth.kdd.markup");
    std::stringstream text;
    text << campaign.rdbuf();
    std::vector<CampaignRoom> rooms;
    std::vector<std::string> files;
    const std::string all = text.str();
    // Each <Map Name="NAME" Src="FILE.map" ...>.
    const auto quoted = [&all](const size_t from, const char* attribute, size_t& end) {
        const size_t start = all.find(attribute, from) + std::strlen(attribute);
        end = all.find('"', start);
        return all.substr(start, end - start);
    };
    for (size_t at = all.find("<Map Name=\""); at != std::string::npos; at = all.find("<Map Name=\"", at)) {
        const std::string name = quoted(at, "<Map Name=\"", at);
        std::string file = quoted(at, "Src=\"", at);
        file = file.substr(0, file.rfind(".map"));
        // A second name for a map already read (the overworld's) has its rooms.
        if (std::find(files.begin(), files.end(), file) != files.end()) continue;
        files.push_back(file);
        std::ifstream source(src + file + ".mapsrc");
        std::vector<CampaignRoom> own;
        for (std::string line; std::getline(source, line);) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            int32_t x = 0, y = 0, w = 0, h = 0;
            if (word == "room" && words >> x >> y) own.push_back({name, x, y, false});
            if (word == "area" && words >> x >> y >> w >> h && line.find("<Underwater") != std::string::npos) {
                for (CampaignRoom& room : own) {
                    room.flooded = room.flooded || (x <= room.x && room.x < x + w && y <= room.y && room.y < y + h);
                }
            }
        }
        rooms.insert(rooms.end(), own.begin(), own.end());
    }
    return rooms;
}

// A QuickStart into any room, at its start for testing or its middle, stands
// the player in that room where it can stay: three seconds without a key
// pressed cost no life, the player is still in the room it named (not fallen
// into the one below), and it took nothing on arrival (no pickup lies on its
// start). The flooded rooms are water wherever a player stands in them (their
// whole area is underwater): a player without the swimming suit drowns there
// at once, before the suits the run hands out arrive; with them it lives on.
TEST(CampaignReach, AQuickStartIntoAnyRoomSurvivesStandingStill) {
    const std::vector<CampaignRoom> rooms = CampaignRooms();
    ASSERT_GT(rooms.size(), 30u);
    for (const CampaignRoom& room : rooms) {
        SCOPED_TRACE(testing::Message() << room.map << " (" << room.x << ", " << room.y << ")");
        gametest::RunInChild([&room] {
            playtest::PlaySetup setup;
            playtest::PlaySetup::QuickStart start;
            start.map = room.map;
            start.roomX = room.x;
            start.roomY = room.y;
            setup.quickStart = start;
            if (room.flooded) setup.powerups = {kPowerupSwimSuit, kPowerupToxicSuit};
            // The room's placed entities as it started: a pickup taken goes.
            std::vector<uint32_t> placed;
            std::vector<uint32_t> gone;
            const auto present = [] {
                std::vector<uint32_t> guids;
                for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
                    if (const ZGUIDComponent* const id = GetComponent<ZGUIDComponent>(entity)) guids.push_back(id->guid);
                }
                return guids;
            };
            setup.prepare = [&](Player&) { placed = present(); };
            setup.afterFrame = [&](Player&, const int32_t frame) {
                if (frame != 29) return;
                const std::vector<uint32_t> now = present();
                for (const uint32_t guid : placed) {
                    if (std::find(now.begin(), now.end(), guid) == now.end()) gone.push_back(guid);
                }
            };
            const playtest::PlayResult result = playtest::RunPlay(setup, "180 -\n");
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_EQ(result.samples.size(), 180u);
            if (!room.flooded) {
                EXPECT_EQ(result.samples.front().deaths, 0) << "died as it started";
            }
            for (size_t i = 1; i < result.samples.size(); ++i) {
                const playtest::PlaySample& before = result.samples[i - 1];
                const playtest::PlaySample& now = result.samples[i];
                EXPECT_EQ(now.deaths, before.deaths) << "died at frame " << now.frame << " at (" << before.position.x
                                                     << ", " << before.position.y << ")";
            }
            // Known still: the caverns' first room's middle is over its pit,
            // and the middles of these rooms lie over a pickup. They have no
            // start for testing yet: one would also win over the tiles other
            // tests start these rooms at.
            const auto is = [&room](const char* map, const int32_t x, const int32_t y) {
                return room.map == map && room.x == x && room.y == y;
            };
            const bool overThePit = is("Caverns", 0, 0);
            const bool pickupUnderMiddle = is("Spire", 1, 2) || is("Spire", 2, 0) || is("Workshop", 0, 0);
            for (const playtest::PlaySample& sample : result.samples) {
                if (overThePit) break;
                ASSERT_TRUE(sample.roomX == room.x && sample.roomY == room.y)
                    << "in room (" << sample.roomX << ", " << sample.roomY << ") at frame " << sample.frame;
            }
            if (!pickupUnderMiddle) {
                for (const uint32_t guid : gone) ADD_FAILURE() << "took " << std::hex << guid << " on arrival";
            }
        });
    }
}

// The signpost beside the caverns' flooded passage (between the floor a
// player drops onto from the pit and the water) says what the water does:
// Interact beside it, facing it, opens its warning.
TEST(CampaignReach, TheSignpostByTheFloodedPassageWarnsOfTheWater) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = SetupAt("Caverns", 0, 1, 23, 24, {});
        std::string shown;
        setup.afterFrame = [&shown](Player& player, int32_t) {
            const ZDialogConsumerComponent* const dialog = GetComponent<ZDialogConsumerComponent>(&player);
            if (dialog != nullptr && dialog->provider != 0 && dialog->text.GetText() != nullptr) {
                shown = dialog->text.GetText();
            }
        };
        const playtest::PlayResult result = playtest::RunPlay(setup, "20 -\n1 right\n1 -\n1 interact\n90 -\n");
        ASSERT_TRUE(result.started) << result.error;
        EXPECT_NE(shown.find("Deep water"), std::string::npos) << "shown: \"" << shown << "\"";
    });
}

// The sunken halls' sluice gate, in the room west of the shaft's foot, holds
// a swimmer back (over it is a wall up to the ceiling) until the lever at the
// shaft's foot is pulled; then the way on west is open.
TEST(CampaignReach, TheSluiceGateHoldsUntilItsLeverIsPulled) {
    struct Case {
        const char* name;
        const char* script;
        bool passes;
    };
    const Case cases[] = {
        {"the lever left alone", "20 -\n600 left\n", false},
        {"the lever pulled", "60 -\n1 interact\n30 -\n600 left\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            // Over the lever (40, 200), with the snorkel to swim.
            playtest::PlaySetup setup = SetupAt("Sunken", 5, 1, 5, 22, {kPowerupSwimSuit});
            const playtest::PlayResult result = playtest::RunPlay(setup, c.script);
            ASSERT_TRUE(result.started) << result.error;
            // West of the gate (x 196 to 204 of room (4, 1)); positions are
            // the current room's, which in an area of several rooms is the
            // room the area was entered by.
            bool passed = false;
            for (const playtest::PlaySample& s : result.samples) {
                passed = passed || static_cast<float>(s.roomX * 256) + s.position.x < 4.0f * 256.0f + 190.0f;
                ASSERT_EQ(s.deaths, result.samples.front().deaths) << "died at frame " << s.frame;
            }
            EXPECT_EQ(passed, c.passes) << "at the end in (" << result.samples.back().roomX << ", "
                                        << result.samples.back().roomY << ") x " << result.samples.back().position.x;
        });
    }
}

// The gates the randomizer counts on, each played both ways: without its item
// the player (with what else a player could bring to it) stays out; with it
// the way opens. A gate of ghost tiles is solid or open as its area loads, so
// those are played from the area before. The red gate of the sunken halls' (3, 0) is a wall
// up to the ceiling that only the red aura opens; the badge's cage of blue
// blocks in the spire's (3, 1); the strongroom of the spire's (2, 0), whose
// door opens for the Tesla Badge; the Ferryman's ride down to the cellar,
// for the Underworld Ticket.
TEST(CampaignReach, EachGateHoldsWithoutItsItemAndOpensWithIt) {
    constexpr uint32_t kTicket = 0x80002;
    // Jumping (with the second jump) and climbing towards the gate's east.
    std::string jumping = "20 -\n";
    for (int i = 0; i < 8; ++i) jumping += "1 right jump\n24 right jump\n12 right\n";
    struct Case {
        const char* gate;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;
        std::vector<uint32_t> held;  // without the gate's item
        uint32_t item;
        std::string script;
        // Through: past x in the start room (counted across the area's
        // rooms), into room (inX, inY), or holding the powerup or more heart pieces.
        float pastX;
        int32_t inX, inY;
        uint32_t takes;
        bool heart;
    };
    const std::vector<uint32_t> climber = {kPowerupDoubleJump, kPowerupClimbingGloves};
    const Case cases[] = {
        // From the room west of the gate's (its area loads as the player
        // comes in, with what it holds): past the gate (x 112 to 144).
        {"the red gate", "Sunken", 2, 0, 24, 24, climber, kRedAura, jumping, 256.0f + 150.0f, -1, -1, 0, false},
        // Up from the room below, as the badge's leg goes.
        {"the badge's blue cage", "Spire", 3, 2, 3, 24,
         {kRedAura, kPowerupDoubleJump, kPowerupSwimSuit, kPowerupClimbingGloves, kPowerupToxicSuit, kMask}, kBlueAura,
         ReadLeg("reach_spire_badge.txt"), 1e9f, -1, -1, kBadge, false},
        // On the door (160, 200), Up.
        {"the strongroom's door", "Spire", 2, 0, 20, 24, climber, kBadge, "20 -\n1 up\n90 -\n40 right\n30 -\n",
         1e9f, -1, -1, 0, true},
        // From the room's start (40, 196) east to him (160, 196), Interact,
        // and from the default choice (goodbye, the last) down round to the
        // third (the ride, or the question without the ticket).
        {"the Ferryman's ride", "Sunken", 0, 0, 5, 24, {}, kTicket,
         "20 -\n75 right\n10 -\n1 interact\n120 -\n1 down\n10 -\n1 down\n10 -\n1 down\n10 -\n1 return\n120 -\n", 1e9f, 5, 2, 0,
         false},
    };
    for (const Case& c : cases) {
        for (const bool holds : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.gate << (holds ? " with its item" : " without its item"));
            gametest::RunInChild([&c, holds] {
                std::vector<uint32_t> held = c.held;
                if (holds) held.push_back(c.item);
                playtest::PlaySetup setup = SetupAt(c.map, c.roomX, c.roomY, c.tileX, c.tileY, held);
                bool took = false;
                int32_t hearts = -1, firstHearts = -1;
                setup.afterFrame = [&](Player& player, int32_t) {
                    took = took || (c.takes != 0 && HasPowerup(player, c.takes, true));
                    hearts = HeartPieces(player);
                    if (firstHearts < 0) firstHearts = hearts;
                };
                const playtest::PlayResult result = playtest::RunPlay(setup, c.script);
                ASSERT_TRUE(result.started) << result.error;
                ASSERT_FALSE(result.samples.empty());
                bool past = false, inRoom = false;
                for (const playtest::PlaySample& s : result.samples) {
                    past = past || static_cast<float>((s.roomX - c.roomX) * 256) + s.position.x > c.pastX;
                    inRoom = inRoom || (s.roomX == c.inX && s.roomY == c.inY);
                    ASSERT_EQ(s.deaths, result.samples.front().deaths) << "died at frame " << s.frame;
                }
                const bool through = past || inRoom || took || (c.heart && hearts > firstHearts);
                const playtest::PlaySample& last = result.samples.back();
                EXPECT_EQ(through, holds) << "at the end in (" << last.roomX << ", " << last.roomY << ") at ("
                                          << last.position.x << ", " << last.position.y << ")";
            });
        }
    }
}

// The turret in the spire's second room fires through the catalyst's place:
// its bullets fly on, and the catalyst stays there for the player.
TEST(CampaignReach, BulletsTakeNoPickupForThePlayer) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = SetupAt("Spire", 0, 2, 3, 24, {});
        bool held = false;
        setup.afterFrame = [&held](Player& player, int32_t) {
            held = held || HasPowerup(player, kPowerupToxicSuit, true);
        };
        // Long enough for several of its bullets to cross the place.
        const playtest::PlayResult result = playtest::RunPlay(setup, "300 -\n");
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_FALSE(result.samples.empty());
        EXPECT_FALSE(held);
    });
}

// A teleport pad puts the player on its arrival spot in the room it names,
// not where the player stood on the pad.
TEST(CampaignReach, TeleportPadsArriveAtTheirSpot) {
    struct Case {
        const char* pad;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;  // beside the pad
        const char* walk;                    // onto it
        int32_t arrivesX, arrivesY;          // the room it arrives in
        float x, y;                          // its arrival spot there
    };
    const Case cases[] = {
        {"the spire's pad to the sunken halls", "Spire", 0, 1, 10, 24, "25 left", 0, 0, 24.0f, 200.0f},
        {"the bell's pad back to the gallery's hall", "Speedrun Maps", 17, 3, 25, 24, "30 right", 14, 3, 40.0f,
         200.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pad);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup = SetupAt(c.map, c.roomX, c.roomY, c.tileX, c.tileY, {});
            const playtest::PlayResult result = playtest::RunPlay(setup, std::string("20 -\n") + c.walk + "\n90 -\n");
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_FALSE(result.samples.empty());
            const playtest::PlaySample& last = result.samples.back();
            EXPECT_EQ(last.roomX, c.arrivesX);
            EXPECT_EQ(last.roomY, c.arrivesY);
            EXPECT_NEAR(last.position.x, c.x, 1.0f);
            EXPECT_NEAR(last.position.y, c.y, 1.0f);
        });
    }
}

// Both pads to the sunken halls (the spire's, taken before the snorkel, and
// the cellar's) leave the player where it lives: standing still, or stepping
// either way, it neither falls nor dies beside its arrival.
TEST(CampaignReach, APadsArrivalInTheSunkenHallsIsSafeGround) {
    struct Pad {
        const char* name;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;  // beside the pad
        const char* walk;                    // onto it
    };
    const Pad pads[] = {
        {"the spire's pad", "Spire", 0, 1, 10, 24, "25 left"},
        // Down the cellar's hole, then east onto its pad.
        {"the cellar's pad", "Sunken", 5, 2, 3, 24, "70 right\n90 -\n80 right"},
    };
    // Two seconds standing still, then a nudge, another, and a short walk.
    const char* const afterwards[] = {"120 -\n1 left\n1 -\n1 left\n60 -\n12 left\n60 -",
                                      "120 -\n1 right\n1 -\n1 right\n60 -\n12 right\n60 -"};
    for (const Pad& pad : pads) {
        for (const char* then : afterwards) {
            SCOPED_TRACE(testing::Message() << pad.name << ", then " << then);
            gametest::RunInChild([&pad, then] {
                playtest::PlaySetup setup = SetupAt(pad.map, pad.roomX, pad.roomY, pad.tileX, pad.tileY, {});
                const playtest::PlayResult result =
                    playtest::RunPlay(setup, std::string("20 -\n") + pad.walk + "\n90 -\n" + then + "\n");
                ASSERT_TRUE(result.started) << result.error;
                ASSERT_FALSE(result.samples.empty());
                int32_t arrived = -1;
                for (const playtest::PlaySample& s : result.samples) {
                    if (arrived < 0 && s.roomX == 0 && s.roomY == 0 && !s.transition) arrived = s.frame;
                }
                ASSERT_GE(arrived, 0) << "the pad did not lead to the halls' entrance";
                const playtest::PlaySample& last = result.samples.back();
                EXPECT_EQ(last.deaths, 0);
                EXPECT_FALSE(last.dead);
                EXPECT_EQ(last.roomX, 0);
                EXPECT_EQ(last.roomY, 0) << "fell out of the hall";
                EXPECT_TRUE(last.grounded);
            });
        }
    }
}

// The sunken halls' cellar is one area two rooms tall, (5, 2) over (5, 3):
// through the hole in the upper room's floor the player drops onto the lower
// room's floor, one room height (224) further down, without a room change;
// the lower room's pad then leads back to the halls' entrance, where the ferry is.
TEST(CampaignReach, TheCellarsHoleDropsThePlayerOntoTheFloorBelow) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = SetupAt("Sunken", 5, 2, 3, 24, {});
        // Over the hole (x 112 to 144), down, then right onto the pad (232).
        const std::string script = "20 -\n70 right\n90 -\n80 right\n90 -\n";
        const playtest::PlayResult result = playtest::RunPlay(setup, script);
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_EQ(result.samples.size(), 350u);
        const playtest::PlaySample& landed = result.samples[179];
        EXPECT_TRUE(landed.grounded);
        EXPECT_NEAR(landed.position.y, 224.0f + 208.0f - 8.0f, 1.0f) << "on the lower room's floor (row 26)";
        EXPECT_GT(landed.position.x, 112.0f);
        EXPECT_LT(landed.position.x, 144.0f);
        for (size_t i = 0; i <= 179; ++i) {
            const playtest::PlaySample& s = result.samples[i];
            ASSERT_FALSE(s.transition) << "no room change inside the area, frame " << s.frame;
            ASSERT_EQ(s.roomX, 5);
            ASSERT_EQ(s.roomY, 2);
            ASSERT_FALSE(s.dead);
        }
        const playtest::PlaySample& last = result.samples.back();
        EXPECT_EQ(last.roomX, 0);
        EXPECT_EQ(last.roomY, 0) << "the pad's arrival, the halls' entrance";
    });
}

// A heart piece taken is kept by the save the next powerup makes: Continue
// comes back with it counted, and the piece is gone from its place.
TEST(CampaignReach, AHeartPieceTakenIsKeptByTheSave) {
    // One folder for both runs (each in a child of its own), named after the
    // test's process, which both know as their parent.
    const auto documents = [](const pid_t test) {
        return std::filesystem::temp_directory_path() / ("korv-campaign-reach-" + std::to_string(test));
    };
    std::filesystem::remove_all(documents(getpid()));
    gametest::RunInChild([&documents] {
        std::filesystem::create_directories(documents(getppid()));
        // Spire (2, 0): up through the strongroom's door (160, 200; the badge
        // is held) in to the heart piece (120, 196), out by the door inside
        // (130, 200) and east to the necklace (212, 196), whose pickup saves
        // the run.
        playtest::PlaySetup setup = SetupAt("Spire", 2, 0, 20, 24, {kBadge});
        setup.documents = documents(getppid()).string();
        int32_t hearts = -1;
        setup.afterFrame = [&hearts](Player& player, int32_t) { hearts = HeartPieces(player); };
        const playtest::PlayResult result = playtest::RunPlay(
            setup, "20 -\n1 up\n90 -\n15 right\n10 -\n1 up\n90 -\n30 right\n30 -\n");
        ASSERT_TRUE(result.started) << result.error;
        EXPECT_EQ(hearts, 1);
    });
    gametest::RunInChild([&documents] {
        playtest::PlaySetup setup;
        setup.start = playtest::PlayStart::kContinue;
        setup.documents = documents(getppid()).string();
        int32_t continued = -1;
        bool necklace = false;
        int32_t hearts = -1;
        setup.prepare = [&](Player& player) {
            continued = HeartPieces(player);
            necklace = HasPowerup(player, kNecklace, true);
        };
        setup.afterFrame = [&hearts](Player& player, int32_t) { hearts = HeartPieces(player); };
        // Back west to the strongroom's door, in, and over the heart piece's
        // place.
        const playtest::PlayResult result =
            playtest::RunPlay(setup, "20 -\n28 left\n10 -\n1 up\n90 -\n20 right\n30 -\n");
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_FALSE(result.samples.empty());
        EXPECT_TRUE(necklace) << "the save was made";
        EXPECT_EQ(continued, 1);
        bool over = false;
        for (const playtest::PlaySample& s : result.samples) over = over || std::fabs(s.position.x - 120.0f) < 4.0f;
        EXPECT_TRUE(over) << "walked back over the piece's place: from (" << result.samples.front().roomX << ", "
                          << result.samples.front().roomY << ") x " << result.samples.front().position.x
                          << ", at the end in (" << result.samples.back().roomX << ", " << result.samples.back().roomY
                          << ") x " << result.samples.back().position.x;
        EXPECT_EQ(hearts, 1) << "the piece is not there to take again";
    });
    std::filesystem::remove_all(documents(getpid()));
}

}  // namespace
