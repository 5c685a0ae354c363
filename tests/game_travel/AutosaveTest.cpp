// The autosave: what it records in the progress keys, when it writes, that a
// failed write is no save, and that a write killed at any moment leaves the
// old file or the new one, whole.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "tests/game_travel/TravelFixture.h"

namespace traveltest {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PlaceAt(Player& player, const float x, const float y) {
    player.spatial->current.position = ZVector3(x, y, 0.0f);
    player.spatial->ResetInterpolation();
}

ZVector2 Position(const Player& player, const bool quickSave) {
    ZVector2 at;
    GetCheckpointPosition(player, at, quickSave);
    return at;
}

using AutosaveTest = TravelTest;

TEST_F(AutosaveTest, ThePlayerAsTargetMovesOnlyTheResumeKeysAndWritesTheFile) {
    game->GetMapData().currentRoomX = 2;
    game->GetMapData().currentRoomY = 1;
    PlaceAt(*player, 40.0f, 176.0f);
    ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
    EXPECT_EQ(Position(*player, true).x, 40.0f);
    EXPECT_EQ(Position(*player, true).y, 176.0f);
    EXPECT_EQ(Position(*player, false).x, 128.0f) << "the checkpoint keys stay";
    int32_t room[2] = {0, 0};
    GetCheckpointRoom(*player, room, true);
    EXPECT_EQ(room[0], 2);
    EXPECT_EQ(room[1], 1);
    ASSERT_TRUE(std::filesystem::exists(AutosaveFile()));
    ZStateStore read;
    ASSERT_TRUE(read.Load(game->GetAutosavePath().GetText()));
    EXPECT_TRUE(read.Has(Player::kGUID)) << "the player's record, with its progress keys";
}

TEST_F(AutosaveTest, AnotherEntityBecomesTheCheckpointAndThePlayerTheResumePoint) {
    ZEntity shrine;
    ::AddComponent<ZSpatialComponent>(&shrine)->current.position = ZVector3(200.0f, 96.0f, 0.0f);
    PlaceAt(*player, 64.0f, 150.0f);
    ASSERT_TRUE(Autosave(*player, shrine.GetHandle(), false));
    EXPECT_EQ(Position(*player, false).x, 200.0f);
    EXPECT_EQ(Position(*player, false).y, 96.0f);
    EXPECT_EQ(Position(*player, true).x, 64.0f);
    EXPECT_EQ(Position(*player, true).y, 150.0f);
}

// The room saved is the game's current room, column and row, read back from
// the file into the player: the plain keys for another target, the resume
// keys for the player.
TEST_F(AutosaveTest, TheCheckpointRoomComesBackFromTheFile) {
    ZEntity shrine;
    ::AddComponent<ZSpatialComponent>(&shrine)->current.position = ZVector3(200.0f, 96.0f, 0.0f);
    const struct {
        const char* what;
        bool atShrine;
        bool quickSave;  // the keys that hold the room
    } cases[] = {{"at another entity: the checkpoint", true, false}, {"at the player: the resume point", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game->GetMapData().currentRoomX = 3;
        game->GetMapData().currentRoomY = -5;
        PlaceAt(*player, 64.0f, 150.0f);
        ASSERT_TRUE(Autosave(*player, c.atShrine ? shrine.GetHandle() : player->GetHandle(), false));
        // Forget it in memory, then read the file back into the player.
        SetCheckpointRoom(*player, 0, 0, c.quickSave);
        GetStateStore()->Clear();
        ASSERT_TRUE(GetStateStore()->Load(game->GetAutosavePath().GetText()));
        RestoreEntityState(player, ZHashedString(), 0);
        int32_t room[2] = {0, 0};
        GetCheckpointRoom(*player, room, c.quickSave);
        EXPECT_EQ(room[0], 3) << "column";
        EXPECT_EQ(room[1], -5) << "row";
    }
}

TEST_F(AutosaveTest, AComponentsHandleStandsForItsEntity) {
    // A room's debug starts are known by their components' handles.
    ZEntity start;
    ::AddComponent<ZSpatialComponent>(&start)->current.position = ZVector3(40.0f, 196.0f, 0.0f);
    ZNameComponent* const part = ::AddComponent<ZNameComponent>(&start);
    PlaceAt(*player, 64.0f, 150.0f);
    ASSERT_TRUE(Autosave(*player, part->GetHandle(), false));
    EXPECT_EQ(Position(*player, false).x, 40.0f);
    EXPECT_EQ(Position(*player, false).y, 196.0f);
    EXPECT_EQ(Position(*player, true).x, 64.0f) << "the player stays the resume point";
}

TEST_F(AutosaveTest, ATargetWithoutAPlaceOrNoTargetAtAllKeepsThePositionKeys) {
    ZEntity bare;  // no spatial component
    PlaceAt(*player, 64.0f, 150.0f);
    EXPECT_TRUE(Autosave(*player, bare.GetHandle(), false));
    EXPECT_EQ(Position(*player, false).x, 128.0f) << "nothing to read a position from";
    EXPECT_EQ(Position(*player, true).x, 64.0f) << "the player's own place is still the resume point";
    EXPECT_TRUE(Autosave(*player, 0xDEADBEEFu, false)) << "a handle of nothing is another entity without a place";
}

TEST_F(AutosaveTest, TheSafeSpotWritesOnlyWhenThePlayerStoodSafelySinceTheLastSave) {
    // The game's clock stands at 0 here: the write marks the last save at 0.
    player->lastSaveTime = -1.0f;
    player->lastSafeTime = -2.0f;
    player->lastSafePosition = ZVector2(10.0f, 20.0f);
    EXPECT_FALSE(Autosave(*player, player->GetHandle(), true)) << "no safe ground since the last save";
    EXPECT_FALSE(std::filesystem::exists(AutosaveFile()));
    player->lastSafeTime = 0.0f;
    EXPECT_TRUE(Autosave(*player, player->GetHandle(), true));
    EXPECT_EQ(Position(*player, true).x, 10.0f);
    EXPECT_EQ(Position(*player, true).y, 20.0f);
    EXPECT_FALSE(Autosave(*player, player->GetHandle(), true)) << "twice without safe ground in between";
}

TEST_F(AutosaveTest, AFailedWriteIsLoggedIsNoSaveAndKeepsTheOldFileAndTheLastSaveTime) {
    ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
    const std::string old = ReadBytes(AutosaveFile());
    player->lastSaveTime = 3.0f;
    // The Saves folder cannot take a new file: the rename over the old one
    // has nowhere to go when the old "file" is a folder now.
    std::filesystem::rename(AutosaveFile(), AutosaveFile() + ".kept");
    std::filesystem::create_directory(AutosaveFile());
    PlaceAt(*player, 99.0f, 99.0f);
    EXPECT_FALSE(Autosave(*player, player->GetHandle(), false));
    EXPECT_EQ(player->lastSaveTime, 3.0f) << "a failed write does not move the last save";
    EXPECT_TRUE(std::filesystem::is_directory(AutosaveFile()));
    EXPECT_EQ(ReadBytes(AutosaveFile() + ".kept"), old);
    // No temporary file is left beside it.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(AutosaveFile()).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "autosave.zsd" || name == "autosave.zsd.kept") << name;
    }
}

TEST_F(AutosaveTest, ASaveThatCannotBeReadIsKeptBesideTheNextOne) {
    PlaceAt(*player, 64.0f, 150.0f);
    ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
    const std::string file = AutosaveFile();
    const std::string whole = ReadBytes(file);
    ASSERT_GT(whole.size(), 40u);
    std::vector<std::string> damaged;
    for (const size_t cut : {whole.size() / 2, whole.size() - 3}) {
        damaged.push_back(whole.substr(0, cut));
        std::ofstream(file, std::ios::binary | std::ios::trunc) << damaged.back();
        game->ResetToSavedState(false);  // reads the save, as a start does
        EXPECT_FALSE(std::filesystem::exists(file)) << "moved aside before anything writes";
        ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
        ZStateStore read;
        EXPECT_TRUE(read.Load(game->GetAutosavePath().GetText())) << "the new save is whole";
    }
    EXPECT_EQ(ReadBytes(file + ".damaged"), damaged[0]) << "the first damaged save, untouched";
    EXPECT_EQ(ReadBytes(file + ".damaged2"), damaged[1]) << "the second beside it, never over it";
}

TEST_F(AutosaveTest, ADeepDocumentsFolderIsNeverCutShort) {
    // Far beyond 260 characters.
    std::string deep = m_documents.Path().string();
    for (int i = 0; i < 12; ++i) deep += "/a-rather-long-folder-name-" + std::to_string(i);
    std::filesystem::create_directories(deep);
    setenv("XDG_DOCUMENTS_DIR", deep.c_str(), 1);
    const std::string path = game->GetAutosavePath().GetText();
    EXPECT_GT(path.size(), 400u);
    EXPECT_EQ(path.rfind("autosave.zsd"), path.size() - 12);
    ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
    EXPECT_TRUE(std::filesystem::exists(os::TranslatePath(path)));
}

// A child writes the autosave and is killed (SIGKILL) at many moments of the
// write; each time the file left behind is the old save or the new one, whole.
TEST_F(AutosaveTest, AKilledWriteLeavesTheOldSaveOrTheNewOneWhole) {
    // A large store, so that a write takes long enough to be cut at many points.
    ZStateStore* const store = GetStateStore();
    for (uint32_t key = 1; key <= 20000; ++key) {
        ZDefNode& record = store->GetOrInsert(key);
        record.name = ZHashedString("Entity");
        record.SetAttribute(ZHashedString("Filler"), ZString("the quick brown fox jumps over the lazy dog, twice"));
    }
    PlaceAt(*player, 10.0f, 10.0f);
    ASSERT_TRUE(Autosave(*player, player->GetHandle(), false));
    const std::string file = AutosaveFile();
    const std::string oldBytes = ReadBytes(file);
    ASSERT_GT(oldBytes.size(), 1000000u);

    // The new save: the same store with the player elsewhere, written whole once.
    const auto saveInChild = [&](const bool wait, const std::chrono::microseconds delay) -> pid_t {
        const pid_t child = fork();
        if (child == 0) {
            PlaceAt(*player, 200.0f, 150.0f);
            const bool written = Autosave(*player, player->GetHandle(), false);
            _exit(written ? 0 : 1);
        }
        if (!wait) {
            std::this_thread::sleep_for(delay);
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return child;
    };
    const auto started = std::chrono::steady_clock::now();
    saveInChild(true, {});
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    const std::string newBytes = ReadBytes(file);
    ASSERT_NE(newBytes, oldBytes);
    {
        ZStateStore check;
        ASSERT_TRUE(check.LoadBytes(newBytes.data(), newBytes.size()));
    }

    int olds = 0;
    int news = 0;
    const int points = 60;
    for (int i = 0; i < points; ++i) {
        // Put the old save back, then cut a new write at a point from its
        // very start to past its end.
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(oldBytes.data(), static_cast<std::streamsize>(oldBytes.size()));
        }
        const auto delay = std::chrono::microseconds(whole.count() * i * 12 / (points * 10));
        saveInChild(false, delay);
        const std::string left = ReadBytes(file);
        if (left == oldBytes) {
            ++olds;
        } else if (left == newBytes) {
            ++news;
        } else {
            ADD_FAILURE() << "cut after " << delay.count() << " us: a save of " << left.size()
                          << " bytes that is neither the old one nor the new one";
        }
    }
    EXPECT_EQ(olds + news, points);
    EXPECT_GT(olds, 0) << "an early cut leaves the old save";
    RecordProperty("old", olds);
    RecordProperty("new", news);
}

}  // namespace
}  // namespace traveltest
