// The campaign played from the title with one recorded input script
// (tests/fixtures/campaign/playthrough.txt): New Game, out of the caverns onto
// the overworld, the boots from the workshop, the master key bought in the
// sunken halls, through the gallery's locked door and over the speedrun
// course to its bell.
//
// With KORV_PLAY_TRACE=1 in the environment the run prints where the player
// is at the end of every script line (map, room, position, powerups, the
// course's clock), with KORV_PLAY_TRACE=2 after every frame: that is how the
// script is written and mended leg by leg.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/progression/GhostFile.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerHooks.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

namespace {

std::string ReadScript(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Playthrough() { return ReadScript(std::string(KORV_FIXTURES_DIR) + "/campaign/playthrough.txt"); }

// The maps the run loaded, in order, from its log.
std::vector<std::string> LoadedMaps(const std::vector<std::string>& log) {
    std::vector<std::string> maps;
    const std::string words = "Loading map \"";
    for (const std::string& line : log) {
        const size_t at = line.find(words);
        if (at == std::string::npos) continue;
        const size_t start = at + words.size();
        const std::string map = line.substr(start, line.find('"', start) - start);
        if (maps.empty() || maps.back() != map) maps.push_back(map);
    }
    return maps;
}

// The powerups the player holds outside any course, as their ids.
std::vector<uint32_t> HeldPowerups(const Player& player) {
    std::vector<uint32_t> held;
    for (uint32_t kind = 1; kind <= 9; ++kind) {
        for (uint32_t model = 1; model <= 4; ++model) {
            const uint32_t id = (kind << 16) | model;
            if (HasPowerup(player, id, true)) held.push_back(id);
        }
    }
    return held;
}

// The powerups the running course holds for the run (none off a course).
std::vector<uint32_t> CoursePowerups() {
    std::vector<uint32_t> held;
    const SpeedrunComponent* const speedrun = FindPlayerSpeedrun();
    for (uint32_t kind = 1; kind <= 9 && speedrun != nullptr; ++kind) {
        for (uint32_t model = 1; model <= 4; ++model) {
            bool has = false;
            if (speedrun->HasCoursePowerup((kind << 16) | model, has) && has) held.push_back((kind << 16) | model);
        }
    }
    return held;
}

// What the trace and the checks read of the game at a frame's end.
std::string Where(const Player& player) {
    char text[256];
    const KorvanthGame* const game = KorvanthGame::Get();
    const MapData& map = game->GetMapData();
    std::snprintf(text, sizeof text, "%s (%d, %d) at (%.1f, %.1f)", game->GetCurrentMapName().GetText(),
                  map.currentRoomX, map.currentRoomY, static_cast<double>(player.spatial->current.position.x),
                  static_cast<double>(player.spatial->current.position.y));
    return text;
}

void Trace(Player& player, const int32_t frame) {
    std::string powerups;
    for (const uint32_t id : HeldPowerups(player)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " %05x", id);
        powerups += hex;
    }
    const SpeedrunComponent* const speedrun = FindPlayerSpeedrun();
    if (speedrun != nullptr && speedrun->IsOnCourse()) {
        powerups += " | on the course:";
        for (const uint32_t id : CoursePowerups()) {
            char hex[16];
            std::snprintf(hex, sizeof hex, " %05x", id);
            powerups += hex;
        }
    }
    const ZDialogConsumerComponent* const dialog = GetComponent<ZDialogConsumerComponent>(&player);
    std::printf("frame %6d  %-40s vel (%.1f, %.1f)  jumps %d  deaths %d  powerups%s  course %.3f%s%s\n", frame,
                 Where(player).c_str(), static_cast<double>(player.spatial->current.velocity.x),
                 static_cast<double>(player.spatial->current.velocity.y),
                 player.physics != nullptr ? player.physics->jumpsLeft : -1, GetDeathsCount(player), powerups.c_str(),
                 speedrun != nullptr ? static_cast<double>(speedrun->GetElapsed()) : -1.0,
                 speedrun != nullptr && speedrun->IsTimerActive() ? " (running)" : "",
                 dialog != nullptr && dialog->provider != 0 ? "  in a dialog" : "");
}

// The frames at which the script's lines end.
std::vector<int32_t> LineEnds(const std::string& script) {
    std::vector<playtest::PlayFrames> lines;
    std::string error;
    std::vector<int32_t> ends;
    if (!playtest::ParsePlayScript(script, lines, error)) return ends;
    int32_t frame = 0;
    for (const playtest::PlayFrames& line : lines) {
        frame += line.frames;
        ends.push_back(frame - 1);
    }
    return ends;
}

// Prints the trace when KORV_PLAY_TRACE is set.
void TraceIfAsked(playtest::PlaySetup& setup, const std::string& script) {
    if (std::getenv("KORV_PLAY_TRACE") == nullptr) return;
    const std::vector<int32_t> ends = LineEnds(script);
    const bool every = std::string(std::getenv("KORV_PLAY_TRACE")) == "2";
    setup.afterFrame = [ends, every](Player& player, const int32_t frame) {
        if (every || std::binary_search(ends.begin(), ends.end(), frame)) Trace(player, frame);
    };
}

// A room of a map, as the game's current room.
struct Room {
    std::string map;
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Room&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Room& room) {
    return out << room.map << " (" << room.x << ", " << room.y << ")";
}

TEST(CampaignPlay, FromTheTitleToTheGallerysBell) {
    gametest::RunInChild([] {
        const std::string script = Playthrough();
        playtest::PlaySetup setup;
        setup.start = playtest::PlayStart::kNewGame;
        TraceIfAsked(setup, script);
        // The rooms the run stood in, in order, the powerups at its end (kept
        // and the course's own), and the course's result.
        std::vector<Room> rooms;
        std::vector<uint32_t> powerups;
        std::vector<uint32_t> coursePowerups;
        float courseTime = -1.0f;
        int32_t courseDeaths = -1;
        const auto trace = setup.afterFrame;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (trace) trace(player, frame);
            const KorvanthGame* const game = KorvanthGame::Get();
            const Room room{game->GetCurrentMapName().GetText(), game->GetMapData().currentRoomX,
                            game->GetMapData().currentRoomY};
            if (rooms.empty() || !(rooms.back() == room)) rooms.push_back(room);
            powerups = HeldPowerups(player);
            coursePowerups = CoursePowerups();
            if (const SpeedrunComponent* const speedrun = FindPlayerSpeedrun()) {
                courseTime = speedrun->GetResultTime(ZHashedString("Gallery"));
                courseDeaths = speedrun->GetDeaths();
            }
        };
        const playtest::PlayResult result = playtest::RunPlay(setup, script);
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_FALSE(result.samples.empty());
        EXPECT_EQ(result.framesWithoutOneStep, 0);

        // Out of the caverns onto the overworld, into the workshop for the
        // boots (its door leads back into the caverns), down into the sunken
        // halls for the master key, back up at the halls' stair (the
        // overworld's second room) and through the gallery's door, which needs
        // the key; then the course: its two rooms under one clock, and the
        // bell's hall.
        // The overworld's two rooms are crossed on foot on the way to each door.
        EXPECT_EQ(rooms, (std::vector<Room>{{"Caverns", 0, 0},
                                            {"Overworld", 0, 0},
                                            {"Overworld", 1, 0},
                                            {"Workshop", 0, 0},
                                            {"Caverns", 0, 0},
                                            {"Overworld", 0, 0},
                                            {"Overworld", 1, 0},
                                            {"Sunken", 0, 0},
                                            {"Overworld", 1, 0},
                                            {"Speedrun Maps", 14, 3},
                                            {"Speedrun Maps", 15, 3},
                                            {"Speedrun Maps", 17, 3}}));
        EXPECT_EQ(LoadedMaps(result.log), (std::vector<std::string>{"Caverns", "Overworld", "Workshop", "Caverns",
                                                                    "Overworld", "Sunken", "Overworld",
                                                                    "Speedrun Maps"}));
        // Kept: the double-jump boots and the master key; the course's own:
        // the high-jump boots taken on the course and the double jump its
        // start line grants, both for the run only.
        EXPECT_EQ(powerups, (std::vector<uint32_t>{kPowerupDoubleJump, kPowerupMasterKey}));
        EXPECT_EQ(coursePowerups, (std::vector<uint32_t>{0x20001, kPowerupDoubleJump}));
        // The bell committed the run. Its time is a regression figure: what
        // this script gives with fixed steps of 1/60 s, read from a run of it
        // (KORV_PLAY_TRACE=1 prints the course clock), 353 steps summed in
        // float. A change to the course, the player's movement, the clock or
        // the script moves it.
        EXPECT_FLOAT_EQ(courseTime, 5.8833551f);
        EXPECT_EQ(courseDeaths, 0);
        EXPECT_TRUE(std::any_of(result.log.begin(), result.log.end(), [](const std::string& line) {
            return line.find("ACH_SPEEDRUN_1") != std::string::npos;
        })) << "the first finished course earns its achievement";
        // Ends standing in the bell's hall past the bell, alive all the way.
        const playtest::PlaySample& last = result.samples.back();
        EXPECT_GT(last.position.x, 200.0f);
        EXPECT_TRUE(last.grounded);
        for (const playtest::PlaySample& sample : result.samples) {
            ASSERT_EQ(sample.deaths, 0) << "died at frame " << sample.frame;
        }
    });
}

// The overworld's doors: the player steps onto the door's cell and presses up
// there, which enters it (and a locked one stays shut without its key).
TEST(CampaignPlay, OverworldDoorsAreEnteredFromTheirCell) {
    struct Case {
        const char* door;
        int32_t roomX;
        int32_t tileX, tileY;  // the cell beside the door (cell centres are tiles 2k + 1)
        const char* step;
        std::vector<uint32_t> powerups;
        const char* arrivesIn;  // the map the run ends in
    };
    const Case cases[] = {
        {"the cave's mouth", 0, 9, 15, "up", {}, "Caverns"},
        {"the sunken halls' stair", 1, 27, 13, "up", {}, "Sunken"},
        {"the spire's gate", 1, 29, 19, "down", {}, "Spire"},
        {"the workshop's hut", 1, 17, 11, "up", {}, "Workshop"},
        {"the gallery's door with the key", 1, 7, 23, "left", {kPowerupMasterKey}, "Speedrun Maps"},
        {"the gallery's door without the key", 1, 7, 23, "left", {}, "Overworld"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.door);
        // Each run finds a placed entity's shape: a child of its own.
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Overworld", c.roomX, 0, c.tileX,
                                                               c.tileY};
            setup.powerups = c.powerups;
            const std::string script = std::string("20 -\n15 ") + c.step + "\n1 -\n1 up\n90 -\n";
            const playtest::PlayResult result = playtest::RunPlay(setup, script);
            ASSERT_TRUE(result.started) << result.error;
            const std::vector<std::string> maps = LoadedMaps(result.log);
            ASSERT_FALSE(maps.empty());
            EXPECT_EQ(maps.back(), c.arrivesIn);
        });
    }
}

// The sunken halls' and the spire's entry spots, where their doors from the
// overworld put the player down, each lie on a floor gem. The player takes
// it on arrival, standing still, as walking onto it would.
TEST(CampaignPlay, ADoorsArrivalOnAGemTakesIt) {
    struct Case {
        const char* map;
        int32_t tileX, tileY;  // the overworld cell beside the door
        const char* step;
        uint32_t gem;  // the gem under the entry spot
    };
    const Case cases[] = {
        {"Sunken", 27, 13, "up", 0x05c4da55u},
        {"Spire", 29, 19, "down", 0x55249af4u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Overworld", 1, 0, c.tileX, c.tileY};
            int32_t arrived = -1;  // the first frame in the map
            int32_t gemSeen = -1;  // the last frame the gem lay there
            ZVector3 at;           // where the player stood at the end
            ZVector3 first;        // and on arrival
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                KorvanthGame* const game = KorvanthGame::Get();
                if (game->GetCurrentMapName() != c.map || IsTransitionPlaying()) return;
                if (arrived < 0) {
                    arrived = frame;
                    first = player.spatial->current.position;
                }
                at = player.spatial->current.position;
                for (KorvEntity* const entity : game->GetRoomEntities()) {
                    const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(entity);
                    const ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
                    if (guid == nullptr || guid->guid != c.gem) continue;
                    if (deletion == nullptr || (deletion->deleteMode == 0 && deletion->state == 0)) gemSeen = frame;
                }
            };
            const std::string script = std::string("20 -\n15 ") + c.step + "\n1 -\n1 up\n120 -\n";
            const playtest::PlayResult result = playtest::RunPlay(setup, script);
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_GE(arrived, 0) << "the door did not lead into " << c.map;
            EXPECT_EQ(at.x, first.x) << "the player stood still";
            EXPECT_LT(gemSeen, arrived + 1) << "the gem under the entry spot was still there " << gemSeen - arrived
                                            << " frames after the arrival";
        });
    }
}

// The caverns' crystal lies on the east ledge of their third room: walked
// into from the ledge it is taken, and it stays taken when the room's
// entities are made again.
TEST(CampaignPlay, TheCavernsCrystalIsTakenFromItsLedgeAndStaysTaken) {
    gametest::RunInChild([] {
        constexpr uint32_t kCrystal = 0x0000a001u;
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Caverns", 2, 0, 4, 24};
        // Onto the ledge (columns 22 to 27 of row 12), west of the crystal.
        setup.prepare = [](Player& player) { KorvanthGame::Get()->ArrivePlayer(player, ZVector3(180.0f, 88.0f, 0.0f)); };
        const auto crystalThere = [kCrystal] {
            for (KorvEntity* const entity : KorvanthGame::Get()->GetRoomEntities()) {
                const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(entity);
                const ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
                if (guid == nullptr || guid->guid != kCrystal) continue;
                if (deletion == nullptr || (deletion->deleteMode == 0 && deletion->state == 0)) return true;
            }
            return false;
        };
        bool atStart = false, afterWalk = true, afterReload = true;
        float standY = 0.0f;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame == 10) {
                atStart = crystalThere();
                standY = player.spatial->current.position.y;
            }
            if (frame == 60) {
                afterWalk = crystalThere();
                // Out of the area and back in, as a door or Continue's room load does.
                KorvanthGame* const game = KorvanthGame::Get();
                game->EnterRoom("Caverns", 0, 1, ZVector3(40.0f, 192.0f, 0.0f));
                game->EnterRoom("Caverns", 2, 0, ZVector3(212.0f, 88.0f, 0.0f));
            }
            if (frame == 70) afterReload = crystalThere();
        };
        const playtest::PlayResult result = playtest::RunPlay(setup, "20 -\n25 right\n40 -\n");
        ASSERT_TRUE(result.started) << result.error;
        EXPECT_TRUE(atStart) << "the crystal lies there";
        EXPECT_NEAR(standY, 88.0f, 1.0f) << "the player stands on the ledge";
        EXPECT_FALSE(afterWalk) << "walked into, the crystal is taken";
        EXPECT_FALSE(afterReload) << "taken, it stays taken";
        EXPECT_EQ(result.samples.back().deaths, 0);
    });
}

// The sunken halls' merchant hands the bought key out as a pickup put down
// where he stands: the player holds it once it walks over it, not before.
TEST(CampaignPlay, TheMerchantsKeyLiesBesideHimUntilTaken) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        // The room's start for testing is at (40, 196), left of the merchant at (96, 196).
        setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Sunken", 0, 0, 5, 24};
        std::vector<std::vector<uint32_t>> held;
        setup.afterFrame = [&held](Player& player, int32_t) { held.push_back(HeldPowerups(player)); };
        // Up to him, talk, down to the key, buy it, close his answer; wait; walk on.
        const std::string script =
            "10 -\n31 right\n10 -\n1 interact\n60 -\n1 down\n10 -\n1 return\n30 -\n1 return\n30 -\n20 right\n";
        const playtest::PlayResult result = playtest::RunPlay(setup, script);
        ASSERT_TRUE(result.started) << result.error;
        ASSERT_EQ(held.size(), 205u);
        // Frame 184 is the last before the walk on.
        EXPECT_EQ(held[184], std::vector<uint32_t>{}) << "bought, lying beside him";
        EXPECT_EQ(held.back(), std::vector<uint32_t>{kPowerupMasterKey}) << "taken";
    });
}

// The merchant's key is put down where he stands, and a player walking
// right through that spot takes it on the way, wherever the player stood to
// talk: beside him, or already where the key lands (a walk on from inside
// the key's box never entered it, and the key was taken only on the way back).
TEST(CampaignPlay, TheMerchantsKeyIsTakenWalkingThroughItFromWhereverThePlayerTalked) {
    struct Case {
        const char* name;
        int32_t approach;  // frames walked right from (40, 196) before talking
    };
    const Case cases[] = {
        {"beside him", 31},
        {"where the key lands", 38},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Sunken", 0, 0, 5, 24};
            std::vector<bool> held;
            setup.afterFrame = [&held](Player& player, int32_t) {
                held.push_back(HasPowerup(player, kPowerupMasterKey, true));
            };
            // Talk, buy the key, close his answer, then walk right past him.
            const std::string talk = "10 -\n" + std::to_string(c.approach) +
                                     " right\n10 -\n1 interact\n60 -\n1 down\n10 -\n1 return\n30 -\n1 return\n30 -\n";
            const playtest::PlayResult result = playtest::RunPlay(setup, talk + "40 right\n");
            ASSERT_TRUE(result.started) << result.error;
            ASSERT_FALSE(held.empty());
            const size_t walk = result.samples.size() - 40;
            // The merchant (and his key) stand at x 96.
            EXPECT_LT(result.samples[walk].position.x, 100.0f) << "the walk starts at the key or left of it";
            EXPECT_GT(result.samples.back().position.x, 112.0f) << "the walk goes past him";
            EXPECT_TRUE(held.back()) << "walked through the key without taking it";
        });
    }
}

// A QuickStart into a map or room the campaign does not have (a shortened
// map name, a room off the map) says so once and starts at the campaign's
// entry, where the player stands alive, instead of falling through rooms
// that do not exist.
TEST(CampaignPlay, AQuickStartIntoNoSuchMapOrRoomStartsAtTheEntry) {
    struct Case {
        const char* map;
        int32_t roomX, roomY;
        const char* message;
    };
    const Case cases[] = {
        {"Speedrun", 14, 3, "QuickStart: the campaign Korvanth.kdd has no map \"Speedrun\""},
        {"Speedrun Maps", 14, 9, "QuickStart: map \"Speedrun Maps\" has no room (14, 9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = playtest::PlaySetup::QuickStartAt(c.map, c.roomX, c.roomY, 16, 14);
            std::string map;
            setup.afterFrame = [&map](Player&, int32_t) { map = KorvanthGame::Get()->GetCurrentMapName().GetText(); };
            const playtest::PlayResult r = playtest::RunPlay(setup, "120 -\n");
            ASSERT_TRUE(r.started) << r.error;
            int32_t messages = 0;
            int32_t missingRooms = 0;
            for (const std::string& line : r.log) {
                if (line.find(c.message) != std::string::npos) ++messages;
                if (line.find("does not exist") != std::string::npos) ++missingRooms;
            }
            EXPECT_EQ(messages, 1);
            EXPECT_EQ(missingRooms, 0);
            EXPECT_EQ(map, "Caverns");
            const playtest::PlaySample& last = r.samples.back();
            EXPECT_EQ(last.roomX, 0);
            EXPECT_EQ(last.roomY, 0);
            EXPECT_TRUE(last.grounded);
            EXPECT_EQ(last.deaths, 0);
        });
    }
}

// The gallery's course from its hall, in the ways a player comes back to it:
// a QuickStart over the save of an earlier session there, and the title's
// Continue of that save. The run crosses the start line and the course's two
// rooms under the clock into the bell's hall, where the clock stops and the
// bell commits the run: the course's result and its ghost file are there as
// the player reaches the bell.
// The earlier session is a process of its own, as it is for a player: the
// engine's end frees the interned names, so a second game in the same process
// holds names that no longer match (the entity verbs, the touch event), and
// the course's touch boxes never answered there.
TEST(CampaignPlay, TheGalleryCourseIsFinishedAfterAQuickStartAndAfterContinue) {
    struct Case {
        const char* name;
        playtest::PlayStart start;
    };
    const Case cases[] = {
        {"a QuickStart over an earlier save", playtest::PlayStart::kRoom},
        {"Continue from the title", playtest::PlayStart::kContinue},
    };
    // The course's part of the playthrough, from the hall's door.
    const std::string course =
        "30 -\n190 right\n1 right jump\n30 right jump\n5 -\n1 right jump\n25 right jump\n83 right\n"
        "1 right jump\n19 right jump\n1 right\n1 right jump\n25 right jump\n260 right\n60 -\n";
    const auto hall = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 5, 24);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Both children use the user's folder made here: a child runs this
        // body again from its start, and finds the folder in its environment.
        korvtest::TempDir made;
        const std::string key =
            std::string("KORV_GALLERY_DOCUMENTS_") + (c.start == playtest::PlayStart::kRoom ? "Q" : "C");
        setenv(key.c_str(), made.Path().c_str(), 0);
        const std::string documents = std::getenv(key.c_str());
        gametest::RunInChild([&documents, &hall] {
            playtest::PlaySetup earlier;
            earlier.documents = documents;
            earlier.quickStart = hall;
            ASSERT_TRUE(playtest::RunPlay(earlier, "30 -\n").started);
        });
        gametest::RunInChild([&c, &course, &documents, &hall] {
            playtest::PlaySetup setup;
            setup.documents = documents;
            setup.start = c.start;
            if (c.start == playtest::PlayStart::kRoom) setup.quickStart = hall;
            TraceIfAsked(setup, course);
            const auto trace = setup.afterFrame;
            std::vector<Room> rooms;
            float result = -1.0f;
            GhostFileData ghost;
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                if (trace) trace(player, frame);
                const KorvanthGame* const game = KorvanthGame::Get();
                const Room room{game->GetCurrentMapName().GetText(), game->GetMapData().currentRoomX,
                                game->GetMapData().currentRoomY};
                if (rooms.empty() || !(rooms.back() == room)) rooms.push_back(room);
                if (const SpeedrunComponent* const speedrun = FindPlayerSpeedrun()) {
                    result = speedrun->GetResultTime(ZHashedString("Gallery"));
                }
                // Read back on the frame the bell commits.
                if (result > 0.0f && !ghost.valid) {
                    ghost = ReadGhostFile(GetGhostFilePath(ZHashedString("Gallery")));
                }
            };
            const playtest::PlayResult r = playtest::RunPlay(setup, course);
            ASSERT_TRUE(r.started) << r.error;
            EXPECT_EQ(rooms, (std::vector<Room>{{"Speedrun Maps", 14, 3},
                                                {"Speedrun Maps", 15, 3},
                                                {"Speedrun Maps", 17, 3}}));
            EXPECT_GT(result, 0.0f) << "the bell committed the run";
            EXPECT_LT(result, 30.0f);
            EXPECT_TRUE(ghost.valid) << "the course's ghost file";
            EXPECT_FALSE(ghost.frames.empty());
            EXPECT_NEAR(static_cast<float>(ghost.runTimeMs) * 0.001f, result, 0.002f);
            for (const playtest::PlaySample& sample : r.samples) {
                ASSERT_EQ(sample.deaths, 0) << "died at frame " << sample.frame;
            }
        });
        unsetenv(key.c_str());
    }
}

// A player who comes to the gallery from another map, its last checkpoint
// there, dies in the gallery: on the first timed room's spikes after walking
// through the hall and over the start line, or in the hall before reaching
// its checkpoint. The death brings it back into the gallery's hall, with the
// run ready to start again, never to the checkpoint of the other map.
TEST(CampaignPlay, ADeathInTheGalleryComesBackIntoItsHall) {
    struct Case {
        const char* name;
        const char* walk;   // after the door, which the script enters first
        int32_t killAt;     // the frame the player is killed at, -1 for none
        Room diesIn;
    };
    const Case cases[] = {
        {"on the course's spikes", "215 right\n240 -\n", -1, {"Speedrun Maps", 15, 3}},
        {"in the hall before its checkpoint", "240 -\n", 150, {"Speedrun Maps", 14, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            // Beside the gallery's door on the overworld: the checkpoint is here.
            setup.quickStart = playtest::PlaySetup::QuickStart{"Korvanth.kdd", "Overworld", 1, 0, 7, 23};
            setup.powerups = {kPowerupMasterKey};
            const std::string script = std::string("20 -\n15 left\n1 -\n1 up\n90 -\n") + c.walk;
            TraceIfAsked(setup, script);
            const auto trace = setup.afterFrame;
            std::vector<Room> rooms;
            std::vector<bool> dead;
            float elapsed = -1.0f;
            bool timerRunning = true;
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                if (trace) trace(player, frame);
                if (frame == c.killAt) Die(player);
                const KorvanthGame* const game = KorvanthGame::Get();
                rooms.push_back(Room{game->GetCurrentMapName().GetText(), game->GetMapData().currentRoomX,
                                     game->GetMapData().currentRoomY});
                dead.push_back(player.IsDead());
                if (const SpeedrunComponent* const speedrun = FindPlayerSpeedrun()) {
                    elapsed = speedrun->GetElapsed();
                    timerRunning = speedrun->IsTimerActive();
                }
            };
            const playtest::PlayResult r = playtest::RunPlay(setup, script);
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_EQ(rooms.size(), r.samples.size());
            size_t died = rooms.size();
            for (size_t i = 0; i < rooms.size() && died == rooms.size(); ++i) {
                if (dead[i]) died = i;
            }
            ASSERT_LT(died, rooms.size()) << "the player died";
            EXPECT_EQ(rooms[died], c.diesIn);
            for (size_t i = died; i < rooms.size(); ++i) {
                ASSERT_EQ(rooms[i].map, "Speedrun Maps") << "frame " << i << " is in " << rooms[i];
            }
            EXPECT_EQ(rooms.back(), (Room{"Speedrun Maps", 14, 3})) << "back in the gallery's hall";
            const playtest::PlaySample& last = r.samples.back();
            EXPECT_FALSE(last.dead);
            EXPECT_TRUE(last.grounded);
            EXPECT_EQ(last.deaths, 1);
            // No run goes on: the clock stands at zero until the start line
            // is crossed again.
            EXPECT_FALSE(timerRunning);
            EXPECT_EQ(elapsed, 0.0f);
        });
    }
}

// The first room's pit drops the player into the dry room below, which is
// played as dry: the player lands and stands there alive. Walking on east
// leads into the flooded passage, whose water shows at the room's east end:
// it drowns a player without the swimming suit there, and is swum with it.
TEST(CampaignPlay, TheFirstRoomsPitDropsIntoADryRoomBesideTheFloodedPassage) {
    struct Case {
        const char* name;
        std::vector<uint32_t> powerups;
        bool drowns;
    };
    const Case cases[] = {
        {"without the suit", {}, true},
        {"with the swimming suit", {0x60001}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            // Beside the pit, on the first room's floor.
            setup.quickStart = playtest::PlaySetup::QuickStartAt("Caverns", 0, 0, 11, 24);
            setup.powerups = c.powerups;
            // Into the pit, then a rest on the floor below; then east.
            const playtest::PlayResult r = playtest::RunPlay(setup, "20 -\n20 right\n100 -\n200 right\n40 -\n");
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_EQ(r.samples.size(), 380u);
            const playtest::PlaySample& below = r.samples[139];
            EXPECT_EQ(below.roomX, 0);
            EXPECT_EQ(below.roomY, 1);
            EXPECT_TRUE(below.grounded) << "stands on the floor below";
            EXPECT_FALSE(below.dead);
            EXPECT_FALSE(below.underwaterPhysics) << "the room below is dry";
            EXPECT_EQ(below.deaths, 0);
            // East into the flooded passage.
            bool swum = false;
            for (const playtest::PlaySample& s : r.samples) {
                swum = swum || (s.roomX == 1 && s.roomY == 1 && s.underwaterPhysics && !s.dead);
            }
            EXPECT_EQ(r.samples.back().deaths > 0, c.drowns);
            EXPECT_EQ(swum, !c.drowns);
        });
    }
}

// Plays one leg while the route is written (not run by default): the script
// KORV_PLAY_SCRIPT from KORV_PLAY_FROM ("Map,roomX,roomY,tileX,tileY", or the
// title's New Game without it) with KORV_PLAY_POWERUPS (hex ids, comma
// separated), tracing every line. Run with --gtest_also_run_disabled_tests.
TEST(CampaignPlay, DISABLED_Leg) {
    gametest::RunInChild([] {
        const char* const path = std::getenv("KORV_PLAY_SCRIPT");
        const std::string script = path != nullptr ? ReadScript(path) : Playthrough();
        playtest::PlaySetup setup;
        setup.start = playtest::PlayStart::kNewGame;
        if (const char* const from = std::getenv("KORV_PLAY_FROM")) {
            std::string text = from;
            std::replace(text.begin(), text.end(), ',', ' ');
            std::istringstream words(text);
            playtest::PlaySetup::QuickStart q;
            words >> q.map >> q.roomX >> q.roomY >> q.tileX >> q.tileY;
            // Map names may hold a space ("Speedrun Maps"): '_' stands for it.
            std::replace(q.map.begin(), q.map.end(), '_', ' ');
            setup.quickStart = q;
            setup.start = playtest::PlayStart::kRoom;
        }
        if (const char* const ids = std::getenv("KORV_PLAY_POWERUPS")) {
            std::string text = ids;
            std::replace(text.begin(), text.end(), ',', ' ');
            std::istringstream words(text);
            for (std::string id; words >> id;) setup.powerups.push_back(static_cast<uint32_t>(std::stoul(id, nullptr, 16)));
        }
        setenv("KORV_PLAY_TRACE", "1", 0);
        TraceIfAsked(setup, script);
        const playtest::PlayResult result = playtest::RunPlay(setup, script);
        ASSERT_TRUE(result.started) << result.error;
        for (const std::string& line : result.log) {
            if (line.find("arn") != std::string::npos || line.find("rror") != std::string::npos) {
                std::printf("log: %s\n", line.c_str());
            }
        }
        std::printf("maps:");
        for (const std::string& map : LoadedMaps(result.log)) std::printf(" [%s]", map.c_str());
        std::printf("\n");
    });
}

}  // namespace
