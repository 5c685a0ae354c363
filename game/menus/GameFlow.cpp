#include "game/menus/GameFlow.h"

#include <cstdio>
#include <string>

#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZLog.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "game/components/GroupStore.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"

namespace gameflow {

namespace {

struct Keys {
    ZHashedString campaign{"CheckpointCampaign"};
    ZHashedString map{"CheckpointMap_QuickSave"};
    ZHashedString roomX{"CheckpointRoomX_QuickSave"};
    ZHashedString roomY{"CheckpointRoomY_QuickSave"};
    ZHashedString x{"CheckpointPositionX_QuickSave"};
    ZHashedString y{"CheckpointPositionY_QuickSave"};
    ZHashedString minimapVersion{"Version"};
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

bool ReadProgress(SavedProgress& out) {
    const ZStateStore* store = GetStateStore();
    if (!store->Has(ProgressKey())) return false;
    const ZDefNode record = store->Get(ProgressKey());
    const Keys& k = K();
    out = SavedProgress();
    out.campaign = record.GetAttribute(k.campaign);
    out.map = record.GetAttribute(k.map);
    out.roomX = record.GetAttribute(k.roomX).ToInt();
    out.roomY = record.GetAttribute(k.roomY).ToInt();
    out.x = record.GetAttribute(k.x).ToFloat();
    out.y = record.GetAttribute(k.y).ToFloat();
    out.minimapVersion = record.GetAttribute(k.minimapVersion).ToInt();
    // Both keys or neither: a record with one of them is not randomized.
    out.randomized = record.HasAttribute(k.seed) && record.HasAttribute(k.algorithm);
    if (out.randomized) {
        out.seed = record.GetAttribute(k.seed);
        out.algorithmVersion = record.GetAttribute(k.algorithm).ToInt();
    }
    return true;
}

void WriteProgressAndAutosave(const SavedProgress& progress) {
    ZStateStore* store = GetStateStore();
    ZDefNode& record = store->GetOrInsert(ProgressKey());
    record = ZDefNode();
    record.name = ZHashedString("Player");
    const Keys& k = K();
    record.SetAttribute(k.campaign, progress.campaign);
    record.SetAttribute(k.map, progress.map);
    record.SetAttribute(k.roomX, Number(progress.roomX));
    record.SetAttribute(k.roomY, Number(progress.roomY));
    record.SetAttribute(k.x, Number(progress.x));
    record.SetAttribute(k.y, Number(progress.y));
    record.SetAttribute(k.minimapVersion, Number(progress.minimapVersion));
    if (progress.randomized) {
        record.SetAttribute(k.seed, progress.seed);
        record.SetAttribute(k.algorithm, Number(progress.algorithmVersion));
    }
    if (const KorvanthGame* game = KorvanthGame::Get()) {
        store->Save(game->GetAutosavePath().GetText());
    }
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
    ZLog::Printf("Starting campaign %s (%s)", file.GetText(), continueGame ? "continue" : "new game");
    SavedProgress saved;
    const bool hasSaved = ReadProgress(saved);
    if (!game.OpenCampaignFile(file.GetText())) {
        return false;
    }
    SavedProgress progress;
    if (continueGame && hasSaved) {
        progress = saved;
        game.LoadCampaign(saved.map);
    } else {
        progress.campaign = file;
        progress.map = game.GetCurrentMapName();
        progress.minimapVersion = kMinimapVersion;
        if (newGame && Pending().randomized) {
            progress.randomized = true;
            progress.seed = Pending().seed;
            progress.algorithmVersion = kAlgorithmVersion;
        }
    }
    Pending() = PendingRandomizer();
    // The world of the seed is built now (or an earlier one cleared); a seed
    // that gives no world starts the game not randomized.
    progress.randomized = SetUpGameRandomizer(progress.randomized, progress.seed);
    if (!progress.randomized) progress.seed = ZString();
    LogOpportunityRegistry();
    progress.campaign = file;
    WriteProgressAndAutosave(progress);
    g_inProgress = true;
    return true;
}

void ReloadSavedState(KorvanthGame& game, const bool autosaveFirst) {
    if (autosaveFirst && g_inProgress) {
        SavedProgress progress;
        if (ReadProgress(progress)) WriteProgressAndAutosave(progress);
    }
    game.ResetToSavedState(autosaveFirst);
}

bool IsGameInProgress() { return g_inProgress; }
void SetGameInProgress(const bool inProgress) {
    g_inProgress = inProgress;
    // Back at the title nothing is randomized any more.
    if (!inProgress) SetUpGameRandomizer(false, ZString());
}

}  // namespace gameflow
