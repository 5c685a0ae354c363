// Every console command of the game, typed as a line into the running game's
// console (its own splitting and dispatch), one table row a frame, with what
// the line printed and what it changed read back right after.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZConsole.h"
#include "framework_game/RunScenarios.h"
#include "game/components/CRTRef.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/MinimapComponent.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZCamera.h"
#include "support/PlayHarness.h"

namespace {

const uint32_t kListedPowerups[] = {0x10001, 0x10002, 0x20001, 0x20002, 0x20003, 0x30001, 0x40001,
                                    0x50001, 0x60001, 0x60002, 0x70001, 0x80001, 0x80002, 0x90001};

const std::string kWall = "################################";
const std::string kOpen = "#..............................#";

std::vector<std::string> Hall() {
    std::vector<std::string> rows{kWall};
    for (int i = 0; i < 13; ++i) rows.push_back(kOpen);
    rows.push_back("#.P............................#");
    rows.push_back(kWall);
    return rows;
}

// What a row may look at and remember between its two checks.
struct Context {
    Context(KorvanthGame& g, Player& p, const std::vector<std::string>& printed)
        : game(g), player(p), expected(printed) {}
    KorvanthGame& game;
    Player& player;
    std::vector<std::string> expected;  // the row's printed lines, or what before() put here
    std::map<uint32_t, std::string> data;
    int32_t deaths = 0;
    ZVector3 camera;
    int32_t room[2] = {0, 0};
    MinimapComponent::Discovered discovered;
};

// Texels of the minimap picture that are not black.
int32_t LitTexels(const MinimapComponent& minimap) {
    int32_t lit = 0;
    for (int32_t y = 0; y < MinimapComponent::kTextureSize; ++y) {
        for (int32_t x = 0; x < MinimapComponent::kTextureSize; ++x) {
            lit += minimap.GetTexel(x, y) != MinimapComponent::kBlack ? 1 : 0;
        }
    }
    return lit;
}

// Whether the scene's CRT reference picture shows.
bool CRTReferenceShown(KorvanthGame& game) {
    const auto* node = game.GetBackdrops().Find(ZHashedString(KorvanthGame::kDebugBackgroundEntity));
    const auto* reference = node != nullptr ? DynamicCast<CRTRef>(node->value) : nullptr;
    return reference != nullptr && reference->GetQuad()->visible;
}

struct Row {
    const char* line;
    std::vector<std::string> printed;
    std::function<void(Context&)> before;
    std::function<void(Context&)> after;
};

// The player's data values as texts, to see that a line changed none.
std::map<uint32_t, std::string> DataValues(Player& player) {
    std::map<uint32_t, std::string> out;
    const ZDataComponent* const data = GetComponent<ZDataComponent>(&player);
    if (data == nullptr) return out;
    for (const auto& node : data->GetValues()) {
        const ZDatumEntry& e = node.value;
        out[node.key.GetId()] = std::to_string(e.type) + ":" + std::to_string(e.value.intValue) + ":" +
                                std::to_string(e.value.floatValue) + ":" + std::to_string(e.value.boolValue) +
                                ":" + std::to_string(e.value.hashedString.GetId());
    }
    return out;
}

int32_t Held(const Player& player) {
    int32_t held = 0;
    for (const uint32_t id : kListedPowerups) held += HasPowerup(player, id, true) ? 1 : 0;
    return held;
}

ZCamera* Camera(Context& c) {
    return c.player.camera != nullptr && c.player.camera->camera != nullptr ? c.player.camera->camera
                                                                             : c.game.GetWorldCamera();
}

// Runs the line through the console and answers the lines it printed after
// its echo ("> line").
std::vector<std::string> Type(KorvanthGame& game, const std::string& line) {
    ZConsole& console = game.GetConsole();
    console.Clear();
    game.ExecuteConsoleLine(line.c_str());
    std::vector<std::string> lines;
    bool echoed = false;
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        const std::string text = console.GetOutputLine(i);
        if (echoed) {
            lines.push_back(text);
        } else if (!text.empty()) {
            EXPECT_EQ(text, "> " + line);
            echoed = true;
        }
    }
    return lines;
}

void SetRoom(Context& c) {
    MapData& map = c.game.GetMapData();
    c.room[0] = map.currentRoomX;
    c.room[1] = map.currentRoomY;
    map.currentRoomX = 3;
    map.currentRoomY = 4;
}

void RestoreRoom(Context& c) {
    MapData& map = c.game.GetMapData();
    map.currentRoomX = c.room[0];
    map.currentRoomY = c.room[1];
}

void Snapshot(Context& c) { c.data = DataValues(c.player); }
void Unchanged(Context& c) { EXPECT_EQ(DataValues(c.player), c.data); }

void NoPowerups(Context& c) { SetAllPowerups(c.player, false); }

void Alive(Context& c) {
    c.player.deathTimer = 0.0f;
    c.player.inPlay = true;
    c.deaths = GetDeathsCount(c.player);
}

void KilledOnce(Context& c) {
    EXPECT_TRUE(c.player.IsDead());
    EXPECT_EQ(GetDeathsCount(c.player), c.deaths + 1);
}

void ExpectCamera(Context& c, const float x, const float y) {
    ZCamera* const camera = Camera(c);
    ASSERT_NE(camera, nullptr);
    EXPECT_FLOAT_EQ(camera->GetPosition().x, x);
    EXPECT_FLOAT_EQ(camera->GetPosition().y, y);
    EXPECT_FLOAT_EQ(camera->GetPosition().z, c.camera.z);
}

void CameraBefore(Context& c) {
    ZCamera* const camera = Camera(c);
    ASSERT_NE(camera, nullptr);
    c.camera = camera->GetPosition();
    char text[128];
    std::snprintf(text, sizeof text, "Camera position is: %f %f %f", static_cast<double>(c.camera.x),
                  static_cast<double>(c.camera.y), static_cast<double>(c.camera.z));
    c.expected = {text};
}

const char* const kItems[] = {"smcubes", "smcubes_total", "bgcubes", "keys"};

// No powerup held and none of the four item counts (the give-items cheat's).
void NoPowerupsOrItems(Context& c) {
    SetAllPowerups(c.player, false);
    ZDataComponent* const data = GetComponent<ZDataComponent>(&c.player);
    ASSERT_NE(data, nullptr);
    ZMap<ZHashedString, ZDatumEntry> values = data->GetValues();
    for (const char* item : kItems) values.Remove(ZHashedString(item));
    data->RestoreValues(values);
    c.data = DataValues(c.player);
}

int32_t Count(Context& c, const char* name) {
    ZDatumEntry entry;
    const ZDataComponent* const data = GetComponent<ZDataComponent>(&c.player);
    return data != nullptr && data->GetDatum(ZHashedString(name), entry) && entry.type == kDatumInt
               ? entry.value.intValue
               : -1;
}

void ExpectItems(Context& c) {
    EXPECT_EQ(Count(c, "smcubes"), 128);
    EXPECT_EQ(Count(c, "smcubes_total"), 128);
    EXPECT_EQ(Count(c, "bgcubes"), 6);
    EXPECT_EQ(Count(c, "keys"), 20);
}

std::vector<Row> Rows() {
    const auto roomRow = [](const char* line) {
        return Row{line, {"The active room is located at ( 3, 4 )."}, SetRoom, RestoreRoom};
    };
    const auto killRow = [](const char* line) { return Row{line, {}, Alive, KilledOnce}; };
    const auto acceptedRow = [](const char* line) { return Row{line, {}, Snapshot, Unchanged}; };
    return {
        roomRow("which"),
        roomRow("currentroom"),
        roomRow("Room"),
        // Powerups.
        {"power", {}, Snapshot, Unchanged},
        {"power 20002", {}, NoPowerups,
         [](Context& c) {
             EXPECT_TRUE(HasPowerup(c.player, 0x20002, true));
             EXPECT_EQ(Held(c.player), 1);
             EXPECT_EQ(c.player.physics->maxJumps, 2);
         }},
        {"PoWeR aLl", {}, NoPowerupsOrItems,
         [](Context& c) {
             EXPECT_EQ(Held(c.player), 14);
             ExpectItems(c);
             // The listed powerups and the four counts, nothing else.
             std::map<uint32_t, std::string> added = DataValues(c.player);
             for (const auto& [key, value] : c.data) added.erase(key);
             EXPECT_EQ(added.size(), 4u);
         }},
        {"power swag", {}, NoPowerupsOrItems,
         [](Context& c) {
             EXPECT_EQ(Held(c.player), 0);
             ExpectItems(c);
         }},
        {"power zz", {"power: \"zz\" is not a powerup id (up to 8 hexadecimal digits, e.g. 20002)"}, Snapshot,
         Unchanged},
        {"power 0", {"power: \"0\" is not a powerup id (up to 8 hexadecimal digits, e.g. 20002)"}, Snapshot,
         Unchanged},
        {"power none", {}, nullptr,
         [](Context& c) {
             EXPECT_EQ(Held(c.player), 0);
             EXPECT_EQ(c.player.physics->maxJumps, 1);
             EXPECT_FALSE(c.player.physics->wallJumping);
         }},
        {"doublejump on", {}, NoPowerups,
         [](Context& c) {
             EXPECT_TRUE(HasPowerup(c.player, 0x20002, true));
             EXPECT_EQ(c.player.physics->maxJumps, 2);
         }},
        {"DOUBLEJUMP off", {}, nullptr,
         [](Context& c) {
             EXPECT_FALSE(HasPowerup(c.player, 0x20002, true));
             EXPECT_EQ(c.player.physics->maxJumps, 1);
         }},
        {"doublejump", {"command \"doublejump\" unrecognized"}, Snapshot, Unchanged},
        {"doublejump on now", {"command \"doublejump\" unrecognized"}, Snapshot, Unchanged},
        {"walljump yes", {}, NoPowerups,
         [](Context& c) {
             EXPECT_TRUE(HasPowerup(c.player, 0x30001, true));
             EXPECT_TRUE(c.player.physics->wallJumping);
         }},
        {"walljump 0", {}, nullptr,
         [](Context& c) {
             EXPECT_FALSE(HasPowerup(c.player, 0x30001, true));
             EXPECT_FALSE(c.player.physics->wallJumping);
         }},
        {"walljump", {"command \"walljump\" unrecognized"}, Snapshot, Unchanged},
        // The camera: word 1 is y, word 2 is x; z stays.
        {"glitch", {}, CameraBefore, [](Context& c) { ExpectCamera(c, c.camera.x, c.camera.y); }},
        {"glitch 5", {}, CameraBefore, [](Context& c) { ExpectCamera(c, c.camera.x, 5.0f); }},
        {"glitch 5 7", {}, CameraBefore, [](Context& c) { ExpectCamera(c, 7.0f, 5.0f); }},
        {"glitch north", {}, CameraBefore, [](Context& c) { ExpectCamera(c, c.camera.x, 0.0f); }},
        {"glitch \"12.5\" -3", {}, CameraBefore, [](Context& c) { ExpectCamera(c, -3.0f, 12.5f); }},
        // Subsystems of other parts of the game say when they are missing.
        // The CRT reference backdrop: shown, then hidden again.
        {"crtref", {}, [](Context& c) { EXPECT_FALSE(CRTReferenceShown(c.game)); },
         [](Context& c) { EXPECT_TRUE(CRTReferenceShown(c.game)); }},
        {"crtref", {}, nullptr, [](Context& c) { EXPECT_FALSE(CRTReferenceShown(c.game)); }},
        // Every room of the map shows on the minimap, discovered or not.
        {"reveal", {},
         [](Context& c) {
             const MinimapComponent* minimap = GetComponent<MinimapComponent>(&c.player);
             ASSERT_NE(minimap, nullptr);
             ASSERT_GT(minimap->GetWidth(), 1) << "the map has a minimap of several rooms";
             c.deaths = LitTexels(*minimap);
             c.discovered = minimap->GetDiscovered();
         },
         [](Context& c) {
             const MinimapComponent* minimap = GetComponent<MinimapComponent>(&c.player);
             EXPECT_GT(LitTexels(*minimap), c.deaths);
             EXPECT_EQ(minimap->GetDiscovered(), c.discovered) << "nothing counts as discovered";
         }},
        {"multisynth", {},
         [](Context& c) {
             const GameVoice* voice = c.game.GetVoice();
             c.expected = {"The multisynth is playing " + std::to_string(voice ? voice->CountPlayingTunes() : 0) +
                           " tunes:"};
         },
         nullptr},
        // Accepted and doing nothing.
        acceptedRow("saveghost"),
        acceptedRow("loadghost"),
        acceptedRow("testlbui"),
        acceptedRow("speedrunclear"),
        acceptedRow("ClearSpeedrun"),
        {"frobnicate 3", {"command \"frobnicate\" unrecognized"}, Snapshot, Unchanged},
        // The engine's edit mode is not offered, even to a developer.
        {"edit", {}, [](Context& c) { c.game.m_devMode = true; },
         [](Context& c) {
             EXPECT_FALSE(c.game.IsEditMode());
             c.game.m_devMode = false;
         }},
        // Every kill alias kills; a second one while dead does nothing.
        killRow("stuck"),
        killRow("unstuck"),
        killRow("spawn"),
        killRow("respawn"),
        killRow("die"),
        killRow("suicide"),
        killRow("kill"),
        {"KILL", {}, [](Context& c) { c.deaths = GetDeathsCount(c.player); },
         [](Context& c) {
             EXPECT_TRUE(c.player.IsDead());
             EXPECT_EQ(GetDeathsCount(c.player), c.deaths);
         }},
        {"gimme", {}, NoPowerups,
         [](Context& c) {
             EXPECT_TRUE(HasPowerup(c.player, 0x20002, true));
             EXPECT_TRUE(HasPowerup(c.player, 0x30001, true));
             EXPECT_EQ(Held(c.player), 2);
             EXPECT_EQ(c.player.physics->maxJumps, 2);
             EXPECT_TRUE(c.player.physics->wallJumping);
             EXPECT_EQ(c.player.physics->jumpsLeft, 2);
         }},
        // The saved game goes: the file, the store, the player's progress.
        {"nukesave", {},
         [](Context& c) {
             const std::string path = c.game.GetAutosavePath().GetText();
             FILE* file = std::fopen(path.c_str(), "wb");
             ASSERT_NE(file, nullptr);
             std::fputs("saved", file);
             std::fclose(file);
             GetStateStore()->GetOrInsert(0x1234).SetAttribute(ZHashedString("Kept"), ZString("yes"));
             SetAllPowerups(c.player, true);
             SetDeathsCount(c.player, 3);
         },
         [](Context& c) {
             EXPECT_FALSE(FileExists(c.game.GetAutosavePath().GetText()));
             EXPECT_EQ(GetStateStore()->Count(), 0u);
             EXPECT_EQ(Held(c.player), 0);
             EXPECT_EQ(GetDeathsCount(c.player), 0);
         }},
        {"nukesave", {}, [](Context& c) { SetDeathsCount(c.player, 2); },
         [](Context& c) {
             EXPECT_FALSE(FileExists(c.game.GetAutosavePath().GetText()));
             EXPECT_EQ(GetDeathsCount(c.player), 0);
         }},
    };
}

}  // namespace

TEST(GameConsole, EveryCommandTypedIntoTheRunningGame) {
    gametest::RunInChild([] {
        const std::vector<Row> rows = Rows();
        size_t next = 0;
        playtest::PlaySetup setup;
        // The campaign's first room, as New Game starts it (with its minimap).
        setup.start = playtest::PlayStart::kNewGame;
        setup.afterFrame = [&](Player& player, int32_t) {
            KorvanthGame* const game = KorvanthGame::Get();
            if (next >= rows.size() || game == nullptr) return;
            const Row& row = rows[next++];
            SCOPED_TRACE(row.line);
            Context c{*game, player, row.printed};
            if (row.before) row.before(c);
            EXPECT_EQ(Type(*game, row.line), c.expected);
            if (row.after) row.after(c);
        };
        const playtest::PlayResult r = playtest::RunPlay(setup, std::to_string(rows.size() + 2) + " -\n");
        EXPECT_TRUE(r.error.empty()) << r.error;
        EXPECT_TRUE(r.started);
        EXPECT_EQ(next, rows.size()) << "every row ran";
    });
}

TEST(GameConsole, TheConsoleOpensAndClosesInDemoMode) {
    gametest::RunInChild([] {
        std::vector<bool> open;
        playtest::PlaySetup setup;
        setup.room = Hall();
        setup.prepare = [](Player&) { KorvanthGame::Get()->m_demoMode = true; };
        setup.afterFrame = [&](Player&, int32_t) { open.push_back(KorvanthGame::Get()->GetConsole().IsOpen()); };
        const playtest::PlayResult r = playtest::RunPlay(setup, "3 -\n1 console\n3 -\n1 console\n3 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(open, (std::vector<bool>{false, false, false, true, true, true, true, false, false, false, false}));
    });
}
