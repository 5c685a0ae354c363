// Starting a game through the real start-up: where QuickStart puts the
// player (and brings it back after a death), entities destroyed for a
// session, a save that cannot be read, and a seeded QuickStart's first room
// and pause menu.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/GameFlow.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "platform/input/input.h"
#include "platform/sound/sound.h"
#include "platform/window/window.h"
#include "support/GamePackages.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

namespace {

using namespace playtest;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path SavesFolder(const std::string& documents) {
    return std::filesystem::path(documents) / "My Games" / KorvanthGame::kTitle / "Saves";
}

bool RoomHasEntity(const KorvanthGame& game, const uint32_t guid) {
    for (KorvEntity* const entity : game.GetRoomEntities()) {
        const ZGUIDComponent* const id = GetComponent<ZGUIDComponent>(entity);
        if (id != nullptr && id->guid == guid) return true;
    }
    return false;
}

TEST(Starting, QuickStartPutsThePlayerItsCheckpointAndItsResumePointAtTheRoomsStart) {
    const struct Case {
        const char* map;
        int32_t roomX;
        int32_t tileX;
        int32_t tileY;
        float x;  // where the player, the checkpoint and the resume point stand
        float y;
    } cases[] = {
        // Sunken (0, 0) has a debug start of priority 1 at (40, 196): it wins over the tile.
        {"Sunken", 0, 16, 14, 40.0f, 196.0f},
        // Spire (1, 0) has none: the tile (4, 5) it is.
        {"Spire", 1, 4, 5, 32.0f, 40.0f},
    };
    for (const auto& c : cases) {
        gametest::RunInChild([&c] {
            PlaySetup setup;
            setup.quickStart = PlaySetup::QuickStartAt(c.map, c.roomX, 0, c.tileX, c.tileY);
            ZVector3 placed;
            ZVector2 checkpoint;
            ZVector2 resume;
            float recorded[2] = {0.0f, 0.0f};
            setup.prepare = [&](Player& player) {
                placed = player.spatial->current.position;
                GetCheckpointPosition(player, checkpoint, false);
                GetCheckpointPosition(player, resume, true);
                recorded[0] = KorvanthGame::Get()->GetCheckpointX();
                recorded[1] = KorvanthGame::Get()->GetCheckpointY();
            };
            const PlayResult r = RunPlay(setup, "10 -\n");
            ASSERT_TRUE(r.started) << c.map << ": " << r.error;
            EXPECT_FLOAT_EQ(placed.x, c.x) << c.map;
            EXPECT_NEAR(placed.y, c.y, 16.0f) << c.map << ": out of the floor, near the start";
            EXPECT_EQ(checkpoint.x, c.x) << c.map;
            EXPECT_EQ(checkpoint.y, c.y) << c.map;
            EXPECT_EQ(resume.x, placed.x) << c.map;
            EXPECT_EQ(resume.y, placed.y) << c.map;
            EXPECT_EQ(recorded[0], c.x) << c.map;
            EXPECT_EQ(recorded[1], c.y) << c.map;
        });
    }
}

// A QuickStart into the gallery's timed stretch (Speedrun Maps (15, 3)) puts
// the player on the course with its timer stopped, and so does a Continue of
// that QuickStart's save: standing there, no run begins and no time counts.
TEST(Starting, AQuickStartIntoARunningCourseLeavesItsTimerStoppedAndSoDoesItsContinue) {
    korvtest::TempDir made;
    setenv("KORV_COURSE_DOCS", made.Path().c_str(), 0);
    const std::string documents = getenv("KORV_COURSE_DOCS");
    for (const PlayStart start : {PlayStart::kRoom, PlayStart::kContinue}) {
        SCOPED_TRACE(start == PlayStart::kRoom ? "the QuickStart" : "a Continue of its save");
        gametest::RunInChild([start, &documents] {
            PlaySetup setup;
            setup.documents = documents;
            setup.start = start;
            if (start == PlayStart::kRoom) setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 15, 3, 16, 14);
            bool onCourse = false;
            bool timing = false;
            float elapsed = 0.0f;
            setup.afterFrame = [&](Player& player, int32_t) {
                const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player);
                onCourse = speedrun != nullptr && speedrun->IsOnCourse();
                timing = timing || (speedrun != nullptr && speedrun->IsTimerActive());
                if (speedrun != nullptr) elapsed = std::max(elapsed, speedrun->GetElapsed());
            };
            const PlayResult r = RunPlay(setup, "60 -\n");
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_FALSE(r.samples.empty());
            EXPECT_EQ(r.samples.back().roomX, 15);
            EXPECT_EQ(r.samples.back().roomY, 3);
            EXPECT_TRUE(onCourse);
            EXPECT_FALSE(timing);
            EXPECT_EQ(elapsed, 0.0f);
        });
    }
    unsetenv("KORV_COURSE_DOCS");
}

TEST(Starting, ACampaignStartingInARoomWithDebugStartsBeginsAtTheBestOne) {
    gametest::RunInChild([] {
        // The campaign as shipped, but entered in Sunken (0, 0), whose debug
        // start of priority 1 stands at (40, 196).
        korvtest::TempDir folder;
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Caverns", 0, 0, 16, 14);
        bool started = false;
        ZVector3 placed;
        ZVector2 checkpoint;
        ZVector2 resume;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 1) return;
            ZDefNode root;
            ASSERT_TRUE(LoadDefinitionFile(root, "Korvanth.kdd"));
            ZDefNode* const campaign = root.name == ZHashedString("Campaign")
                                           ? &root
                                           : &root.children[root.FindChildIndex(0, ZHashedString("Campaign"))];
            ZDefNode& metadata = campaign->children[campaign->FindChildIndex(0, ZHashedString("Metadata"))];
            ZDefNode& entry = metadata.children[metadata.FindChildIndex(0, ZHashedString("Entry"))];
            entry.SetAttribute(ZHashedString("MapName"), ZString("Sunken"));
            ASSERT_TRUE(SaveDefinitionFile(root, folder.File("Sunken.kdd").c_str()));
            ZStreamMgr::GetInstance()->AddDirectorySource(folder.Path().string().c_str());
            started = KorvanthGame::Get()->StartCampaign("Sunken.kdd", false, true);
            placed = player.spatial->current.position;
            GetCheckpointPosition(player, checkpoint, false);
            GetCheckpointPosition(player, resume, true);
        };
        const PlayResult r = RunPlay(setup, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_TRUE(started);
        EXPECT_EQ(checkpoint.x, 40.0f) << "the checkpoint";
        EXPECT_EQ(checkpoint.y, 196.0f);
        EXPECT_EQ(placed.x, 40.0f) << "the player";
        EXPECT_NEAR(placed.y, 196.0f, 16.0f);
        EXPECT_EQ(resume.x, placed.x) << "the resume point";
        EXPECT_EQ(resume.y, placed.y);
    });
}

// The campaign's entry, Caverns (0, 0), shares its area with (1, 0) and
// (2, 0), whose debug starts (each at 32, 192 of its room) are theirs, not
// the entry's: a campaign started anew begins in the entry room.
TEST(Starting, TheCampaignsEntryTakesOnlyItsOwnRoomsDebugStart) {
    gametest::RunInChild([] {
        PlaySetup setup;
        // Caverns (0, 0) names no start of its own: the checkpoint stays
        // where the player stood (40, 176) when the campaign starts again.
        setup.quickStart = PlaySetup::QuickStartAt("Caverns", 0, 0, 5, 22);
        bool started = false;
        ZVector2 checkpoint;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 1) return;
            started = KorvanthGame::Get()->StartCampaign("Korvanth.kdd", false, true);
            GetCheckpointPosition(player, checkpoint, false);
        };
        const PlayResult r = RunPlay(setup, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_TRUE(started);
        EXPECT_EQ(r.samples.back().roomX, 0);
        EXPECT_EQ(r.samples.back().roomY, 0);
        EXPECT_EQ(checkpoint.x, 40.0f) << "the entry room's spot";
        EXPECT_EQ(checkpoint.y, 176.0f);
    });
}

// The sunken halls' dry rooms are two areas, (0, 0) to (2, 0) and (3, 0) to
// (5, 0); (0, 0) has a debug start (40, 196), (1, 0), (3, 0) and (4, 0) have
// one too, while (2, 0) and (5, 0) have none. A start takes a QuickStart into
// its own room, not one into another room of its area, which keeps its tile.
TEST(Starting, AQuickStartTakesOnlyItsOwnRoomsDebugStart) {
    struct Case {
        int32_t roomX, tileX, tileY;
        float x, y;  // the checkpoint
    };
    const Case cases[] = {
        {0, 16, 14, 40.0f, 196.0f},
        {5, 16, 14, 128.0f, 112.0f},
        {2, 15, 20, 120.0f, 160.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "room (" << c.roomX << ", 0)");
        gametest::RunInChild([&c] {
            PlaySetup setup;
            setup.quickStart = PlaySetup::QuickStartAt("Sunken", c.roomX, 0, c.tileX, c.tileY);
            ZVector2 checkpoint;
            setup.prepare = [&checkpoint](Player& player) { GetCheckpointPosition(player, checkpoint, false); };
            const PlayResult r = RunPlay(setup, "1 -\n");
            ASSERT_TRUE(r.started) << r.error;
            EXPECT_EQ(checkpoint.x, c.x);
            EXPECT_EQ(checkpoint.y, c.y);
        });
    }
}

TEST(Starting, ACupDrunkStaysGoneInItsSessionAndIsBackInTheNext) {
    gametest::RunInChild([] {
        // Sunken (2, 0) holds a cup of coffee that deletes itself "semiperm"
        // when touched: its touch's verb is run on it.
        constexpr uint32_t kCup = 0x0c000005;
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Sunken", 2, 0, 25, 14);
        bool thereAtStart = false;
        bool goneAfterTouch = true;
        bool goneOnReentry = false;
        bool backNextSession = false;
        std::string quietStart;  // standard error of a start without KORV_DEBUG_OUTPUT
        std::string debugLines;  // ... and of one with it
        setup.prepare = [&](Player&) { thereAtStart = RoomHasEntity(*KorvanthGame::Get(), kCup); };
        setup.afterFrame = [&](Player&, const int32_t frame) {
            KorvanthGame* const game = KorvanthGame::Get();
            if (frame == 2) {
                for (KorvEntity* const entity : game->GetRoomEntities()) {
                    const ZGUIDComponent* const id = GetComponent<ZGUIDComponent>(entity);
                    if (id != nullptr && id->guid == kCup) RunCommandText("delete Self semiperm", entity->GetHandle(), 0);
                }
            }
            if (frame == 10) {
                goneAfterTouch = !RoomHasEntity(*game, kCup);
                // Out and back in, as a door or Continue's room load does.
                game->EnterRoom("Sunken", 1, 0, ZVector3(128.0f, 112.0f, 0.0f));
                game->EnterRoom("Sunken", 2, 0, ZVector3(200.0f, 112.0f, 0.0f));
                goneOnReentry = !RoomHasEntity(*game, kCup);
            }
            if (frame == 12) {
                // A new start is a new session.
                unsetenv("KORV_DEBUG_OUTPUT");
                testing::internal::CaptureStderr();
                game->QuickStart("Korvanth.kdd", "Sunken", 2, 0, 25, 14);
                quietStart = testing::internal::GetCapturedStderr();
                backNextSession = RoomHasEntity(*game, kCup);
            }
            if (frame == 13) {
                setenv("KORV_DEBUG_OUTPUT", "1", 1);
                testing::internal::CaptureStderr();
                game->QuickStart("Korvanth.kdd", "Sunken", 2, 0, 25, 14);
                debugLines = testing::internal::GetCapturedStderr();
                unsetenv("KORV_DEBUG_OUTPUT");
            }
        };
        const PlayResult r = RunPlay(setup, "15 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_TRUE(thereAtStart);
        EXPECT_TRUE(goneAfterTouch) << "drunk";
        EXPECT_TRUE(goneOnReentry) << "gone for the rest of the session";
        EXPECT_TRUE(backNextSession) << "back in the next session";
        // The start lists the randomizer's places met so far (the room's gems), one debugger line
        // each, and the debugger output is on only when asked for.
        EXPECT_EQ(quietStart.find("EntInst_"), std::string::npos) << quietStart;
        EXPECT_NE(debugLines.find("EntInst_"), std::string::npos) << debugLines;
        EXPECT_NE(debugLines.find(" (false, "), std::string::npos) << debugLines;
    });
}

// The user's documents of both runs: each runs in a child process of its
// own, so the folder is named after the test's process, their parent.
std::filesystem::path SharedDocuments(const pid_t testProcess) {
    return std::filesystem::temp_directory_path() / ("korv-starting-" + std::to_string(testProcess));
}

TEST(Starting, ASaveThatCannotBeReadSurvivesNewGameBesideTheNewOne) {
    std::filesystem::remove_all(SharedDocuments(getpid()));
    // A save of a real run.
    gametest::RunInChild([] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        std::filesystem::create_directories(documents);
        PlaySetup first;
        first.documents = documents.string();
        first.quickStart = PlaySetup::QuickStartAt("Caverns", 0, 0, 16, 14);
        ASSERT_TRUE(RunPlay(first, "10 -\n").started);
    });
    gametest::RunInChild([] {
        const std::filesystem::path documents = SharedDocuments(getppid());
        const std::filesystem::path saves = SavesFolder(documents.string());
        // Cut in half.
        const std::string whole = ReadBytes(saves / "autosave.zsd");
        ASSERT_GT(whole.size(), 100u);
        const std::string half = whole.substr(0, whole.size() / 2);
        std::ofstream(saves / "autosave.zsd", std::ios::binary | std::ios::trunc) << half;

        PlaySetup second;
        second.documents = documents.string();
        second.start = PlayStart::kNewGame;
        const PlayResult r = RunPlay(second, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(ReadBytes(saves / "autosave.zsd.damaged"), half) << "kept as it was";
        const std::string fresh = ReadBytes(saves / "autosave.zsd");
        EXPECT_FALSE(fresh.empty()) << "New Game wrote its own save";
        EXPECT_NE(fresh, half);
        bool said = false;
        for (const std::string& line : r.log) said = said || line.find("autosave.zsd.damaged") != std::string::npos;
        EXPECT_TRUE(said) << "the log says where it went";
    });
    std::filesystem::remove_all(SharedDocuments(getpid()));
}

// Instance files of rooms, and whether the randomizer's world was in force
// when each was read.
std::vector<std::pair<std::string, bool>> gInstanceLoads;

void RecordingDefinitionHook(ZDefNode& root, const ZHashedString fileName) {
    const std::string name = fileName.GetTextOrEmpty();
    if (name.find("EntInst_") != std::string::npos) {
        gInstanceLoads.emplace_back(name, !GetRandomizerWorldTable().empty());
    }
    RandomizerDefinitionHook(root, fileName);
}

class SeededGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
    }
    void init() override {
        KorvanthGame::init();
        ZDefinitionCache::GetInstance()->SetLoadCallback(&RecordingDefinitionHook);
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        if (++frames == 3) RequestQuit();
    }
    int frames = 0;
};

// A game run from a command line in its own user folder (logging on), on the
// fake window, input and sound systems. Answers the log's path.
std::filesystem::path PrepareCommandLineRun(const korvtest::TempDir& documents) {
    setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
    const std::string folder = std::string("My Games/") + KorvanthGame::kTitle;
    documents.Write(folder + "/Config/Config.ini", "DoLogging: true\r\n");
    platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Fake));
    platform::input::SetInputSystem(std::make_unique<platform::input::FakeInputSystem>());
    platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
    return documents.Path() / folder / "Logs" / "Log.txt";
}

TEST(Starting, ASeededQuickStartMakesItsFirstRoomInTheSeedsWorld) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        PrepareCommandLineRun(documents);
        auto* const game = new SeededGame();
        gInstanceLoads.clear();
        ZBaseGame::Run(game, 0, 0, "QuickStart Korvanth.kdd Sunken 0 0 Seed KQTBZMRW", 1);
        EXPECT_FALSE(GetRandomizerWorldTable().empty()) << "the seed's world is in force";
        ASSERT_FALSE(gInstanceLoads.empty()) << "the room's entities were made";
        for (const auto& [file, seeded] : gInstanceLoads) EXPECT_TRUE(seeded) << file << " read before the world";
        ZBaseGame::DestroyInstance();
    });
}

// What the command line started, as seen on the game's second frame.
class CommandLineGame : public SeededGame {
public:
    void PostRender() override {
        if (frames == 1) {
            quickStart = IsQuickStart();
            inProgress = gameflow::IsGameInProgress();
            map = GetCurrentMapName().GetText() != nullptr ? GetCurrentMapName().GetText() : "";
        }
        SeededGame::PostRender();
    }
    bool quickStart = false;
    bool inProgress = false;
    std::string map;
};

// "QuickStart" is one word spelt one way in both passes over the command
// line: spelt so, no splash and the campaign starts in the named room; in
// other letters it is no option at all (the splash and the title, as
// without it), and the log says why.
TEST(Starting, TheQuickStartOptionIsSpeltOneWayInBothPasses) {
    const struct Case {
        const char* word;
        bool starts;
    } cases[] = {{"QuickStart", true}, {"quickstart", false}, {"QUICKSTART", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        gametest::RunInChild([&c] {
            korvtest::TempDir documents;
            const std::filesystem::path logPath = PrepareCommandLineRun(documents);
            auto* const game = new CommandLineGame();
            ZBaseGame::Run(game, 0, 0, (std::string(c.word) + " Korvanth.kdd Spire 1 0").c_str(), 1);
            EXPECT_EQ(game->quickStart, c.starts) << "the splash is skipped";
            EXPECT_EQ(game->inProgress, c.starts) << "a game is in play";
            if (c.starts) {
                EXPECT_EQ(game->map, "Spire");
            }
            const std::string log = ReadBytes(logPath);
            EXPECT_EQ(log.find(std::string("\"") + c.word + "\" is not an option") != std::string::npos, !c.starts);
            ZBaseGame::DestroyInstance();
        });
    }
}

// Where the command line's QuickStart put the player, on the game's frames.
class SpotGame : public SeededGame {
public:
    void PostRender() override {
        if (const Player* const player = GetPlayer(); player != nullptr && player->spatial != nullptr) {
            spots.push_back(player->spatial->current.position);
        }
        SeededGame::PostRender();
    }
    std::vector<ZVector3> spots;
};

// The words after "QuickStart" are the campaign, the map, the room and the
// tile; "Seed TEXT" beside them makes the game a randomized one and is no
// tile. Without a tile the player starts in the middle of a room that has
// no start for testing, seeded or not.
TEST(Starting, ASeedOnTheCommandLineLeavesTheQuickStartsSpotAlone) {
    const char* const lines[] = {
        "QuickStart Korvanth.kdd Sunken 5 0",
        "QuickStart Korvanth.kdd Sunken 5 0 Seed PWGVJGJQ",
        "Seed PWGVJGJQ QuickStart Korvanth.kdd Sunken 5 0",
        "QuickStart Korvanth.kdd Sunken 5 0 16 14 Seed PWGVJGJQ",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        gametest::RunInChild([line] {
            korvtest::TempDir documents;
            const std::filesystem::path logPath = PrepareCommandLineRun(documents);
            auto* const game = new SpotGame();
            ZBaseGame::Run(game, 0, 0, line, 1);
            ASSERT_FALSE(game->spots.empty());
            EXPECT_NEAR(game->spots.front().x, 128.0f, 1.0f);
            EXPECT_NEAR(game->spots.front().y, 112.0f, 8.0f);
            const std::string log = ReadBytes(logPath);
            EXPECT_NE(log.find("QuickStart: map \"Sunken\", room (5, 0), checkpoint (128, 112)"), std::string::npos)
                << log;
            ZBaseGame::DestroyInstance();
        });
    }
}

}  // namespace

// A QuickStart's spot is the checkpoint: a pickup taken there (its own
// autosave) and a death later, the player comes back to that spot in that
// room, whichever map the QuickStart went into, also over the save of an
// earlier session that stood at the spire's entry checkpoint.
TEST(Starting, AfterAPickupAQuickStartsDeathsRespawnAtItsSpot) {
    const struct Case {
        const char* what;
        const char* map;
        int32_t roomX, roomY, tileX, tileY;
        uint32_t pickup;  // the powerup lying under the spot
    } cases[] = {
        {"the catalyst in the spire", "Spire", 1, 2, 16, 14, kPowerupToxicSuit},
        {"the blue aura in the sunken halls", "Sunken", 5, 0, 23, 14, 0x10002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        korvtest::TempDir made;
        setenv("KORV_RESPAWN_DOCS", made.Path().c_str(), 0);
        const std::string documents = getenv("KORV_RESPAWN_DOCS");
        // The earlier session: on the spire's entry checkpoint.
        gametest::RunInChild([&documents] {
            PlaySetup earlier;
            earlier.documents = documents;
            earlier.quickStart = PlaySetup::QuickStartAt("Spire", 0, 2, 5, 24);
            ASSERT_TRUE(RunPlay(earlier, "30 -\n").started);
        });
        gametest::RunInChild([&c, &documents] {
            PlaySetup setup;
            setup.documents = documents;
            setup.quickStart = PlaySetup::QuickStartAt(c.map, c.roomX, c.roomY, c.tileX, c.tileY);
            bool taken = false;
            ZVector2 spot;
            setup.prepare = [&spot](Player& p) { GetCheckpointPosition(p, spot, false); };
            struct Seen {
                std::string map;
                int32_t roomX = 0, roomY = 0;
                ZVector3 at;
            };
            std::vector<Seen> respawns;
            bool wasDead = false;
            setup.afterFrame = [&](Player& p, const int32_t frame) {
                taken = taken || HasPowerup(p, c.pickup, true);
                // Two deaths once the pickup is taken.
                if ((frame == 40 || frame == 90) && !p.IsDead()) Die(p);
                if (wasDead && !p.IsDead()) {
                    const KorvanthGame* const game = KorvanthGame::Get();
                    respawns.push_back({game->GetCurrentMapName().GetText(), game->GetMapData().currentRoomX,
                                        game->GetMapData().currentRoomY, GetComponent<ZSpatialComponent>(&p)->current.position});
                }
                wasDead = p.IsDead();
            };
            const PlayResult r = RunPlay(setup, "140 -\n");
            ASSERT_TRUE(r.started) << r.error;
            EXPECT_TRUE(taken) << "the player fell onto the pickup";
            ASSERT_EQ(respawns.size(), 2u);
            for (const Seen& s : respawns) {
                EXPECT_EQ(s.map, c.map);
                EXPECT_EQ(s.roomX, c.roomX);
                EXPECT_EQ(s.roomY, c.roomY);
                EXPECT_NEAR(s.at.x, spot.x, 1.0f);
            }
        });
        unsetenv("KORV_RESPAWN_DOCS");
    }
}

// A QuickStart is a new game: over the save of an earlier one (seed ALPHA,
// a gem counted), it takes its own seed or none, and nothing of that save's
// progress; its autosave names its own seed.
TEST(Starting, AQuickStartTakesItsOwnSeedAndNoneOfAnEarlierSavesProgress) {
    const struct Case {
        const char* what;
        const char* seed;
    } cases[] = {
        {"seeded ALPHA in a new folder", "ALPHA"},
        {"seeded BETA over ALPHA's save", "BETA"},
        {"not seeded over BETA's save", ""},
    };
    korvtest::TempDir made;
    setenv("KORV_SEED_DOCS", made.Path().c_str(), 0);
    const std::string documents = getenv("KORV_SEED_DOCS");
    static const ZHashedString kGems("smcubes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gametest::RunInChild([&c, &documents] {
            PlaySetup setup;
            setup.documents = documents;
            setup.quickStart = PlaySetup::QuickStartAt("Sunken", 0, 0, 16, 14);
            setup.seed = c.seed;
            ZString seed("unread");
            bool randomized = true;
            int32_t gems = -1;
            // What the QuickStart began with; then a gem is counted and saved.
            setup.prepare = [&](Player& player) {
                const RandomizerComponent* const randomizer = GetComponent<RandomizerComponent>(&player);
                randomized = randomizer != nullptr && randomizer->IsRandomized();
                seed = randomizer != nullptr ? randomizer->GetSeedString() : ZString();
                ZDatumEntry entry;
                gems = GetDatumByHandle(player.GetHandle(), kGems, entry) ? entry.value.intValue : 0;
                entry.value.intValue = gems + 1;
                ASSERT_TRUE(SetDatumByHandle(player.GetHandle(), kGems, entry));
                ASSERT_TRUE(WriteAutosaveFile(player));
            };
            const PlayResult r = RunPlay(setup, "5 -\n");
            ASSERT_TRUE(r.started) << r.error;
            EXPECT_EQ(randomized, *c.seed != '\0');
            EXPECT_STREQ(seed.GetText() != nullptr ? seed.GetText() : "", c.seed);
            EXPECT_EQ(gems, 0) << "an earlier save's gem";
            const std::string save = ReadBytes(SavesFolder(documents) / "autosave.zsd");
            EXPECT_EQ(save.find("ALPHA") != std::string::npos, std::string(c.seed) == "ALPHA");
            EXPECT_EQ(save.find("BETA") != std::string::npos, std::string(c.seed) == "BETA");
        });
    }
    unsetenv("KORV_SEED_DOCS");
}

// A QuickStart of a campaign that cannot be read starts nothing, and the
// earlier game's save is kept as it was.
TEST(Starting, AQuickStartOfACampaignThatCannotBeReadKeepsTheSave) {
    korvtest::TempDir made;
    setenv("KORV_KEPT_DOCS", made.Path().c_str(), 0);
    const std::string documents = getenv("KORV_KEPT_DOCS");
    gametest::RunInChild([&documents] {
        PlaySetup earlier;
        earlier.documents = documents;
        earlier.quickStart = PlaySetup::QuickStartAt("Sunken", 0, 0, 16, 14);
        earlier.seed = "ALPHA";
        ASSERT_TRUE(RunPlay(earlier, "5 -\n").started);
    });
    const std::string saved = ReadBytes(SavesFolder(documents) / "autosave.zsd");
    ASSERT_NE(saved.find("ALPHA"), std::string::npos);
    gametest::RunInChild([&documents] {
        PlaySetup setup;
        setup.documents = documents;
        setup.quickStart = PlaySetup::QuickStartAt("Sunken", 0, 0, 16, 14);
        setup.quickStart->campaign = "Missing.kdd";
        EXPECT_FALSE(RunPlay(setup, "5 -\n").started);
    });
    EXPECT_EQ(ReadBytes(SavesFolder(documents) / "autosave.zsd"), saved);
    unsetenv("KORV_KEPT_DOCS");
}

// A seeded QuickStart is a randomized game in play: its pause menu offers
// what a randomized New Game's does (the way back to the overworld's start,
// the randomizer's log) and names its seed.
TEST(Starting, ASeededQuickStartsPauseMenuIsARandomizedGames) {
    const struct Case {
        const char* what;
        const char* seed;
        std::vector<std::string> buttons;
    } cases[] = {
        {"seeded", "VXJR FWTN", {"Resume", "Options", "DebugReset", "DebugCritPath", "Title"}},
        {"not seeded", "", {"Resume", "Options", "Title"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gametest::RunInChild([&c] {
            PlaySetup setup;
            setup.quickStart = PlaySetup::QuickStartAt("Sunken", 0, 0, 16, 14);
            setup.seed = c.seed;
            std::vector<std::string> buttons;
            std::string info;
            bool paused = false;
            setup.afterFrame = [&](Player&, const int32_t frame) {
                if (frame != 29) return;
                const ZMenu* const top = GetMenuMgr()->GetTopMenu();
                paused = dynamic_cast<const KorvanthPauseMenu*>(top) != nullptr;
                for (uint32_t i = 0; paused && i < top->GetItemCount(); ++i) {
                    const ZMenuItem* const item = top->GetItem(static_cast<int32_t>(i));
                    if (item->IsSelectable()) {
                        buttons.emplace_back(item->GetName().GetTextOrEmpty());
                    } else {
                        info += item->GetText().GetText();
                    }
                }
            };
            const PlayResult r = RunPlay(setup, "10 -\n1 escape\n19 -\n");
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_TRUE(paused) << "the pause control opens the pause menu";
            EXPECT_EQ(buttons, c.buttons);
            if (*c.seed != '\0') {
                EXPECT_NE(info.find(std::string("\"") + c.seed + "\""), std::string::npos) << info;
            } else {
                EXPECT_EQ(info, "");
            }
        });
    }
}
