#include "game/player/PlayerProgress.h"

#include <algorithm>
#include <cstdio>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerDataHooks.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"

namespace {

ZDataComponent* Data(const Player& player) { return GetComponent<ZDataComponent>(const_cast<Player*>(&player)); }

void Write(Player& player, const ZHashedString key, const ZDatumEntry& value) {
    if (ZDataComponent* data = Data(player)) {
        data->AddDatum(key);
        data->UpdateDatum(key, value);
    }
}

bool Read(const Player& player, const ZHashedString key, ZDatumEntry& out) {
    const ZDataComponent* const data = Data(player);
    return data != nullptr && data->GetDatum(key, out);
}

struct KeyPair {
    ZHashedString plain;
    ZHashedString quick;
    ZHashedString Pick(const bool quickSave) const { return quickSave ? quick : plain; }
};

const KeyPair& PositionX() {
    static const KeyPair keys{ZHashedString("CheckpointPositionX"), ZHashedString("CheckpointPositionX_QuickSave")};
    return keys;
}
const KeyPair& PositionY() {
    static const KeyPair keys{ZHashedString("CheckpointPositionY"), ZHashedString("CheckpointPositionY_QuickSave")};
    return keys;
}
const KeyPair& RoomX() {
    static const KeyPair keys{ZHashedString("CheckpointRoomX"), ZHashedString("CheckpointRoomX_QuickSave")};
    return keys;
}
const KeyPair& RoomY() {
    static const KeyPair keys{ZHashedString("CheckpointRoomY"), ZHashedString("CheckpointRoomY_QuickSave")};
    return keys;
}
const KeyPair& MapKey() {
    static const KeyPair keys{ZHashedString("CheckpointMap"), ZHashedString("CheckpointMap_QuickSave")};
    return keys;
}
const KeyPair& CampaignKey() {
    static const KeyPair keys{ZHashedString("CheckpointCampaign"), ZHashedString("CheckpointCampaign_QuickSave")};
    return keys;
}
const ZHashedString& DeathsKey() {
    static const ZHashedString key("DeathsCount");
    return key;
}
const ZHashedString& PlayTimeKey() {
    static const ZHashedString key("PlayTimeSeconds");
    return key;
}
const ZHashedString& CodeKey() {
    static const ZHashedString key("EnteredCode");
    return key;
}
const ZHashedString& Tier1Key() {
    static const ZHashedString key("Tier1Purchased");
    return key;
}
const ZHashedString& Tier2Key() {
    static const ZHashedString key("Tier2Purchased");
    return key;
}

const ZHashedString& NullName() {
    static const ZHashedString name("NULL");
    return name;
}

constexpr uint32_t kAllPowerups[] = {0x10001, 0x10002, 0x20001, 0x20002, 0x20003, 0x30001, 0x40001,
                                     0x50001, 0x60001, 0x60002, 0x70001, 0x80001, 0x80002, 0x90001};

}  // namespace

bool PlayerPowerups::HasPowerup(const uint32_t powerupId) const { return ::HasPowerup(player, powerupId, false); }

ZHashedString PowerupKey(const uint32_t id) {
    char key[64];
    std::snprintf(key, sizeof key, "Powerup_%08x", id);
    return ZHashedString(key);
}

void SetCheckpointPosition(Player& player, const float x, const float y, const bool quickSave) {
    Write(player, PositionX().Pick(quickSave), ZDatumEntry::Float(x));
    Write(player, PositionY().Pick(quickSave), ZDatumEntry::Float(y));
}

void SetCheckpointRoom(Player& player, const int32_t roomX, const int32_t roomY, const bool quickSave) {
    Write(player, RoomX().Pick(quickSave), ZDatumEntry::Int(roomX));
    Write(player, RoomY().Pick(quickSave), ZDatumEntry::Int(roomY));
}

void SetCheckpointMap(Player& player, const ZHashedString map, const bool quickSave) {
    Write(player, MapKey().Pick(quickSave), ZDatumEntry::HashedString(map));
}

void SetCheckpointCampaign(Player& player, const ZHashedString campaign, const bool quickSave) {
    Write(player, CampaignKey().Pick(quickSave), ZDatumEntry::HashedString(campaign));
}

void SetDeathsCount(Player& player, const int32_t deaths) {
    Write(player, DeathsKey(), ZDatumEntry::Int(deaths));
    UpdateAchievementsFromStats(KorvanthGame::Get(), "");
}

void SetPlayTimeSeconds(Player& player, const float seconds) {
    Write(player, PlayTimeKey(), ZDatumEntry::Float(seconds));
}

void SetEnteredCode(Player& player, const bool entered) {
    Write(player, CodeKey(), ZDatumEntry::Bool(entered));
    // The code counts in every campaign.
    UpdateAchievementsFromStats(KorvanthGame::Get(), "AnyCampaign");
}

namespace {

// A coordinate a script set with a whole number ("set Self CheckpointPositionX
// 40") holds an Int: it is read as the number it says.
float Coordinate(const ZDatumEntry& entry) {
    return entry.type == kDatumInt ? static_cast<float>(entry.value.intValue) : entry.value.floatValue;
}

}  // namespace

void GetCheckpointPosition(const Player& player, ZVector2& out, const bool quickSave) {
    out = ZVector2(128.0f, 112.0f);
    ZDatumEntry entry;
    if (Read(player, PositionX().Pick(quickSave), entry)) {
        out.x = Coordinate(entry);
    }
    if (Read(player, PositionY().Pick(quickSave), entry)) {
        out.y = Coordinate(entry);
    }
}

void GetCheckpointRoom(const Player& player, int32_t out[2], const bool quickSave) {
    out[0] = 0;
    out[1] = 0;
    ZDatumEntry entry;
    if (Read(player, RoomX().Pick(quickSave), entry)) {
        out[0] = entry.value.intValue;
    }
    if (Read(player, RoomY().Pick(quickSave), entry)) {
        out[1] = entry.value.intValue;
    }
}

void GetCheckpointMap(const Player& player, ZHashedString& out, const bool quickSave) {
    out = NullName();
    ZDatumEntry entry;
    if (Read(player, MapKey().Pick(quickSave), entry)) {
        out = entry.value.hashedString;
    }
}

void GetCheckpointCampaign(const Player& player, ZHashedString& out) {
    out = NullName();
    ZDatumEntry entry;
    if (Read(player, CampaignKey().quick, entry)) {
        out = entry.value.hashedString;
    }
}

int32_t GetDeathsCount(const Player& player) {
    ZDatumEntry entry;
    return Read(player, DeathsKey(), entry) ? entry.value.intValue : 0;
}

float GetPlayTimeSeconds(const Player& player) {
    ZDatumEntry entry;
    return Read(player, PlayTimeKey(), entry) ? entry.value.floatValue : 0.0f;
}

bool GetEnteredCode(const Player& player) {
    ZDatumEntry entry;
    return Read(player, CodeKey(), entry) && entry.value.boolValue;
}

bool HasPowerup(const Player& player, const uint32_t id, const bool ignoreCourse) {
    // The held powerup is read from the stored values themselves: on a course
    // the blackboard answers powerup keys from the course, and ignoreCourse
    // asks for what the run holds.
    const ZDataComponent* const data = Data(player);
    const auto* const stored = data != nullptr ? data->GetValues().Find(PowerupKey(id)) : nullptr;
    bool held = stored != nullptr && stored->value.value.boolValue;
    if (!ignoreCourse) {
        const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(const_cast<Player*>(&player));
        if (speedrun != nullptr) speedrun->HasCoursePowerup(id, held);
    }
    return held;
}

void SetPowerup(Player& player, const uint32_t id, const bool value) {
    Write(player, PowerupKey(id), ZDatumEntry::Bool(value));
    RefreshPlayerAbilities(player);
    if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(&player)) {
        physics->jumpsLeft = std::min(physics->jumpsLeft + 1, physics->maxJumps);
    }
}

void SetAllPowerups(Player& player, const bool value) {
    for (const uint32_t id : kAllPowerups) {
        SetPowerup(player, id, value);
    }
}

void RefreshPlayerAbilities(Player& player) {
    ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(&player);
    if (physics == nullptr) {
        return;
    }
    const int32_t old = physics->maxJumps;
    physics->maxJumps = HasPowerup(player, kPowerupDoubleJump, false) ? 2 : 1;
    physics->wallJumping = HasPowerup(player, kPowerupClimbingGloves, false);
    for (int32_t grown = old; grown < physics->maxJumps; ++grown) {
        physics->jumpsLeft = std::min(physics->jumpsLeft + 1, physics->maxJumps);
    }
}

void ResetProgress(Player& player) {
    if (ZDataComponent* data = Data(player)) {
        data->ClearData();
    }
    if (MinimapComponent* minimap = GetComponent<MinimapComponent>(&player)) {
        minimap->ClearDiscovered();
    }
    SetAllPowerups(player, false);
    if (ZDataComponent* data = Data(player)) {
        for (const ZHashedString key : {CampaignKey().plain, MapKey().plain, RoomX().plain, RoomY().plain,
                                        PositionX().plain, PositionY().plain, PlayTimeKey(), DeathsKey()}) {
            data->AddDatum(key);
        }
    }
    SetCheckpointPosition(player, 128.0f, 112.0f, false);
    SetCheckpointPosition(player, 128.0f, 112.0f, true);
    SetCheckpointRoom(player, 0, 0, false);
    SetCheckpointMap(player, NullName(), false);
    SetCheckpointCampaign(player, NullName(), false);
    SetCheckpointRoom(player, 0, 0, true);
    SetCheckpointMap(player, NullName(), true);
    SetCheckpointCampaign(player, NullName(), true);
    SetDeathsCount(player, 0);
    SetPlayTimeSeconds(player, 0.0f);
    SetEnteredCode(player, player.codeEntered || GetEnteredCode(player));
    Write(player, Tier1Key(), ZDatumEntry::Bool(false));
    Write(player, Tier2Key(), ZDatumEntry::Bool(false));
}

void ApplyLoadedProgress(Player& player) {
    // The restore read the camera component's state, which points it at the
    // base game's camera: the player follows the game picture's again.
    FollowWorldCamera(player);
    InstallPlayerDataHooks(player);
    RefreshPlayerAbilities(player);
    SetEnteredCode(player, player.codeEntered || GetEnteredCode(player));
    // In a plain run the tiers follow the key and the pass; a randomized run
    // keeps its tiers as they are (its key and pass lie elsewhere).
    const RandomizerComponent* const randomizer = GetComponent<RandomizerComponent>(&player);
    if (ZDataComponent* data = Data(player); data != nullptr && randomizer != nullptr && !randomizer->IsRandomized()) {
        if (HasPowerup(player, kPowerupMasterKey, false)) {
            data->UpdateDatum(Tier1Key(), ZDatumEntry::Bool(true));
        }
        if (HasPowerup(player, kPowerupStyxPass, false)) {
            data->UpdateDatum(Tier2Key(), ZDatumEntry::Bool(true));
        }
    }
}
