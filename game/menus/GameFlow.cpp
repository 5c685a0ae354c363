#include "game/menus/GameFlow.h"

#include <cstdio>
#include <string>

#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZLog.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZVector3.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "game/components/GroupStore.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"

namespace gameflow {

namespace {

struct Keys {
    ZHashedString campaign{"CheckpointCampaign_QuickSave"};
    ZHashedString map{"CheckpointMap_QuickSave"};
    ZHashedString roomX{"CheckpointRoomX_QuickSave"};
    ZHashedString roomY{"CheckpointRoomY_QuickSave"};
    ZHashedString x{"CheckpointPositionX_QuickSave"};
    ZHashedString y{"CheckpointPositionY_QuickSave"};
    ZHashedString minimapVersion{"Version"};
    ZHashedString minimap{"Minimap"};  // the player's saved minimap data
    ZHashedString seed{"RandomSeedString"};
    ZHashedString algorithm{"AlgorithmVersion"};
};

const Keys& K() {
    static const Keys keys;
    return keys;
}

ZString Number(const int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return ZString(text);
}

ZString Number(const float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return ZString(text);
}

// The new game's randomizer choice until its campaign starts.
struct PendingRandomizer {
    bool randomized = false;
    ZString seed;
};
PendingRandomizer& Pending() {
    static PendingRandomizer pending;
    return pending;
}

bool g_inProgress = false;

}  // namespace

uint32_t ProgressKey() { return HashStringELF("PlayerCheckpointRecord"); }

namespace {

// The datum "Value" of the player's saved record under that name, or "".
ZString SavedDatum(const ZDefNode& record, const ZHashedString name) {
    static const ZHashedString kData("Data");
    static const ZHashedString kDatum("Datum");
    static const ZHashedString kName("Name");
    static const ZHashedString kValue("Value");
    for (const ZDefNode& datum : record.FindChild(kData).children) {
        if (datum.name == kDatum && ZHashedString(datum.GetAttribute(kName).GetText()) == name) {
            return datum.GetAttribute(kValue);
        }
    }
    return ZString();
}

// Writes one datum into the player's saved record, replacing one of that name.
void PutSavedDatum(ZDefNode& record, const ZHashedString name, const char* type, const ZString& value) {
    static const ZHashedString kData("Data");
    static const ZHashedString kDatum("Datum");
    static const ZHashedString kName("Name");
    static const ZHashedString kType("Type");
    static const ZHashedString kValue("Value");
    uint32_t at = 0;
    while (at < record.children.Count() && !(record.children[at].name == kData)) ++at;
    if (at == record.children.Count()) record.AddChild(ZDefNode(kData));
    ZDefNode& data = record.children[at];
    for (uint32_t i = 0; i < data.children.Count(); ++i) {
        ZDefNode& datum = data.children[i];
        if (datum.name == kDatum && ZHashedString(datum.GetAttribute(kName).GetText()) == name) {
            datum.SetAttribute(kType, ZString(type));
            datum.SetAttribute(kValue, value);
            return;
        }
    }
    ZDefNode datum(kDatum);
    datum.SetAttribute(kName, ZString(name));
    datum.SetAttribute(kType, ZString(type));
    datum.SetAttribute(kValue, value);
    data.AddChild(static_cast<ZDefNode&&>(datum));
}

// What only the menus keep of a run (until the minimap and the randomizer
// keep it themselves): the minimap's version and the randomizer's choice.
void PutRunRecord(const SavedProgress& progress) {
    const Keys& k = K();
    ZDefNode& record = GetStateStore()->GetOrInsert(ProgressKey());
    record = ZDefNode();
    record.name = ZHashedString("Run");
    record.SetAttribute(k.minimapVersion, Number(progress.minimapVersion));
    if (progress.randomized) {
        record.SetAttribute(k.seed, progress.seed);
        record.SetAttribute(k.algorithm, Number(progress.algorithmVersion));
    }
}

}  // namespace

bool ReadProgress(SavedProgress& out) {
    const ZStateStore* store = GetStateStore();
    const bool hasPlayer = store->Has(Player::kGUID);
    if (!hasPlayer && !store->Has(ProgressKey())) return false;
    const Keys& k = K();
    out = SavedProgress();
    // Where the run resumes: the player's own progress keys.
    const ZDefNode player = store->Get(Player::kGUID);
    out.campaign = SavedDatum(player, k.campaign);
    out.map = SavedDatum(player, k.map);
    if (out.campaign == "NULL") out.campaign = ZString();
    if (out.map == "NULL") out.map = ZString();
    out.roomX = SavedDatum(player, k.roomX).ToInt();
    out.roomY = SavedDatum(player, k.roomY).ToInt();
    out.x = SavedDatum(player, k.x).ToFloat();
    out.y = SavedDatum(player, k.y).ToFloat();
    const ZDefNode record = store->Get(ProgressKey());
    out.minimapVersion = record.GetAttribute(k.minimapVersion).ToInt();
    // A run that wrote no record of its own (a quick start) saved its minimap
    // with that data's version all the same: such a save is no older one.
    if (out.minimapVersion == 0) out.minimapVersion = player.FindChild(k.minimap).GetAttribute(k.minimapVersion).ToInt();
    // Both keys or neither: a record with one of them is not randomized.
    out.randomized = record.HasAttribute(k.seed) && record.HasAttribute(k.algorithm);
    if (out.randomized) {
        out.seed = record.GetAttribute(k.seed);
        out.algorithmVersion = record.GetAttribute(k.algorithm).ToInt();
    }
    return true;
}

void WriteProgressAndAutosave(const SavedProgress& progress) {
    PutRunRecord(progress);
    const Keys& k = K();
    KorvanthGame* const game = KorvanthGame::Get();
    Player* const player = game != nullptr ? game->GetPlayer() : nullptr;
    if (player != nullptr) {
        // The player's keys are the saved ones: the autosave writes them.
        SetCheckpointCampaign(*player, ZHashedString(progress.campaign.GetText()), true);
        SetCheckpointMap(*player, ZHashedString(progress.map.GetText()), true);
        SetCheckpointRoom(*player, progress.roomX, progress.roomY, true);
        SetCheckpointPosition(*player, progress.x, progress.y, true);
        WriteAutosaveFile(*player);
        return;
    }
    ZDefNode& record = GetStateStore()->GetOrInsert(Player::kGUID);
    PutSavedDatum(record, k.campaign, "hashedstring", progress.campaign);
    PutSavedDatum(record, k.map, "hashedstring", progress.map);
    PutSavedDatum(record, k.roomX, "int", Number(progress.roomX));
    PutSavedDatum(record, k.roomY, "int", Number(progress.roomY));
    PutSavedDatum(record, k.x, "float", Number(progress.x));
    PutSavedDatum(record, k.y, "float", Number(progress.y));
    if (game != nullptr) GetStateStore()->Save(game->GetAutosavePath().GetText());
}

bool CanContinue() {
    const ZBaseGame* base = ZBaseGame::PeekInstance();
    if (base == nullptr || base->IsDemoMode()) return false;
    SavedProgress progress;
    return ReadProgress(progress) && !progress.campaign.IsEmpty() && !progress.map.IsEmpty();
}

void DiscardSavedGame() {
    GetStateStore()->Clear();
    // The group values of the old game go with it.
    if (GroupStore* const groups = GetGroupStore()) groups->RestoreFromSavedState();
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    // The whole path as a std::string: never cut to a fixed buffer, so a long
    // documents folder can never make us delete some other file.
    const std::string path = game->GetAutosavePath().GetText();
    if (!FileExists(path.c_str())) return;
    if (os::DeleteFile(path) != 0) ZLog::Printf("The old autosave %s could not be deleted", path.c_str());
}

void SetUpRandomizer(const bool randomized, const ZString& seed) {
    Pending().randomized = randomized;
    Pending().seed = seed;
}

ZString NormaliseSeed(const ZString& seed) { return NormaliseRandomizerSeed(seed); }

// The player's randomizer component says what the running game is; before
// the player exists the checkpoint record does.
bool IsRandomized() {
    if (!g_inProgress) return false;
    if (const RandomizerComponent* component = FindPlayerRandomizer()) return component->IsRandomized();
    SavedProgress progress;
    return ReadProgress(progress) && progress.randomized;
}

ZString GetSeedString() {
    if (const RandomizerComponent* component = FindPlayerRandomizer()) return component->GetSeedString();
    SavedProgress progress;
    return ReadProgress(progress) ? progress.seed : ZString();
}

uint32_t GetSeedHash() {
    if (const RandomizerComponent* component = FindPlayerRandomizer()) return component->GetSeedHash();
    return RandomizerSeedHash(GetSeedString());
}

int32_t GetAlgorithmVersion() {
    if (const RandomizerComponent* component = FindPlayerRandomizer()) return component->GetAlgorithmVersion();
    SavedProgress progress;
    return ReadProgress(progress) ? progress.algorithmVersion : kAlgorithmVersion;
}

ZString GetCriticalPathText() { return GetRandomizerAssignmentText(); }

bool StartCampaign(KorvanthGame& game, const ZString& file, const bool continueGame, const bool newGame) {
    // The run: the saved one (the title read the store back), or a new one
    // with the randomizer's choice.
    SavedProgress run;
    if (continueGame) {
        ReadProgress(run);
    } else {
        run.minimapVersion = kMinimapVersion;
        if (newGame && Pending().randomized) {
            run.randomized = true;
            run.seed = Pending().seed;
            run.algorithmVersion = kAlgorithmVersion;
        }
    }
    Pending() = PendingRandomizer();
    // The world of the seed is built before any room loads (or an earlier one
    // cleared); a seed that gives no world starts the game not randomized.
    run.randomized = SetUpGameRandomizer(run.randomized, run.seed);
    if (!run.randomized) run.seed = ZString();
    if (continueGame) {
        // The player resumes where it was saved.
        if (!game.ContinueCampaign(file, run.map, run.roomX, run.roomY, ZVector3(run.x, run.y, 0.0f))) return false;
    } else if (!game.StartCampaign(file, false, true)) {
        return false;
    }
    // The start emptied the store and read the autosave back: the run's
    // record joins now, and the file is written with it.
    PutRunRecord(run);
    if (Player* const player = game.GetPlayer()) {
        WriteAutosaveFile(*player);
    } else {
        // No player to keep the resume keys: the room the game stands in.
        run.campaign = file;
        run.map = game.GetCurrentMapName();
        run.roomX = game.GetMapData().currentRoomX;
        run.roomY = game.GetMapData().currentRoomY;
        WriteProgressAndAutosave(run);
    }
    g_inProgress = true;
    return true;
}

void BeginQuickStartedGame() {
    // The run record stays the one the store was read with: a QuickStart
    // writes no record of its own, so a Continue of its autosave resumes
    // from the player's keys as it always did.
    g_inProgress = true;
}

void ReloadSavedState(KorvanthGame& game, const bool autosaveFirst) {
    game.ResetToSavedState(autosaveFirst && g_inProgress);
}

bool IsGameInProgress() { return g_inProgress; }
void SetGameInProgress(const bool inProgress) {
    g_inProgress = inProgress;
    // Back at the title nothing is randomized any more.
    if (!inProgress) SetUpGameRandomizer(false, ZString());
}

}  // namespace gameflow
