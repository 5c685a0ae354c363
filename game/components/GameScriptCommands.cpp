#include "game/components/GameScriptCommands.h"

#include <cstdio>
#include <set>
#include <string>

#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDatum.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "foundation/ZMap.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/GroupComponent.h"
#include "game/components/NPCComponent.h"
#include "game/components/PowerupComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/menus/LeaderboardMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerStatus.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZCamera.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"

namespace {

using Words = ZArray<ZString>;
using ScriptCommandHandler = void (*)(const Words& words, uint32_t context, uint32_t other);

// Scripts come from data and may give fewer words than a command reads: a
// word past the end is the empty text, never a read past the array.
const ZString& Word(const Words& words, const uint32_t index) {
    static const ZString kEmpty;
    return index < words.Count() ? words[index] : kEmpty;
}

// A word used as a name; a missing or empty word is the empty name.
ZHashedString WordName(const Words& words, const uint32_t index) {
    return ZHashedString(Word(words, index).GetText());
}

ZRTTIBase* ObjectOf(const uint32_t handle) { return handle != 0 ? FindObjectByHandle(handle) : nullptr; }

// The T of the object that runs the command (its own, or its entity's).
template <typename T>
T* ContextComponent(const uint32_t context) {
    return ResolveComponent<T>(ObjectOf(context));
}

// The T of the object a word names relative to the two objects ("Self",
// "Other", "Player", ...); null for "World" and every other word.
template <typename T>
T* OperandComponent(const Words& words, const uint32_t index, const uint32_t context, const uint32_t other) {
    return ResolveComponent<T>(ResolveEntityName(WordName(words, index), context, other));
}

// Every copy of the spatial state becomes the current one, so nothing is
// blended from the old values.
void SettleSpatial(ZSpatialComponent& spatial) { spatial.ResetInterpolation(); }

bool MovingSlowerThanImpact(ZRTTIBase* const object) {
    const ZSpatialComponent* const spatial = ResolveComponent<ZSpatialComponent>(object);
    if (spatial == nullptr) {
        return false;
    }
    const ZVector3& v = spatial->current.velocity;
    return v.x * v.x + v.y * v.y < 16384.0f;
}

void SetItemsVisible(ZRenderableComponent* const renderable, const bool visible) {
    if (renderable == nullptr) {
        return;
    }
    for (auto& node : renderable->renderables) {
        if (node.value != nullptr) {
            node.value->visible = visible;
        }
    }
}

// --- The commands, in the order of the table ---

void Teleport(const Words& words, const uint32_t context, const uint32_t other) {
    static const ZHashedString kNull("NULL");
    TeleportComponent* const teleport = ContextComponent<TeleportComponent>(context);
    Player* const player = OperandComponent<Player>(words, 1, context, other);
    if (teleport == nullptr || player == nullptr) {
        return;
    }
    ZHashedString destination = words.Count() > 2 ? WordName(words, 2) : ZHashedString("");
    if (destination == kNull) {
        destination = ZHashedString("");
    }
    TeleportPlayer(*teleport, *player, destination, words.Count() > 3 && words[3].EqualsNoCase("save"));
}

void Powerup(const Words& words, const uint32_t context, const uint32_t other) {
    const PowerupComponent* const powerup = ContextComponent<PowerupComponent>(context);
    Player* const player = OperandComponent<Player>(words, 1, context, other);
    if (powerup == nullptr || player == nullptr) {
        return;
    }
    SetPowerup(*player, powerup->powerupId, true);
    Autosave(*player, player->GetHandle(), false);
}

void GroupSet(const Words& words, const uint32_t context, uint32_t) {
    if (const GroupComponent* const group = ContextComponent<GroupComponent>(context)) {
        group->Set(WordName(words, 1));
    }
}

void GroupGet(const Words& words, const uint32_t context, uint32_t) {
    if (const GroupComponent* const group = ContextComponent<GroupComponent>(context)) {
        group->Get(WordName(words, 1));
    }
}

void PlaySound(const Words& words, const uint32_t context, uint32_t) {
    static const ZHashedString kNone("");
    const ZString& tune = Word(words, 1);
    KorvanthGame* const game = KorvanthGame::Get();
    if (tune.IsEmpty() || game == nullptr || game->GetVoice() == nullptr) {
        return;
    }
    const int32_t priority = words.Count() > 2 ? words[2].ToInt() : 75;
    ZHashedString unique = kNone;
    int32_t mode = 2;
    bool stomp = false;
    if (words.Count() > 3) {
        const ZString& how = words[3];
        if (how.EqualsNoCase("stomp") || how.EqualsNoCase("forcestomp")) {
            stomp = true;
            mode = 1;
        } else if (how.EqualsNoCase("unique")) {
            unique = ZHashedString(tune.GetText());
        } else if (how.EqualsNoCase("impact")) {
            unique = ZHashedString(tune.GetText());
            if (MovingSlowerThanImpact(ObjectOf(context))) {
                return;
            }
        }
    }
    const ZString path = game->GetCampaignPrefix() + tune + ".zms";
    // A tune the data names but no package holds is a data mistake, not an
    // error for the player: it is logged once and nothing plays.
    if (ZStreamMgr::GetInstance()->FindSource(path.GetText(), false) < 0) {
        static std::set<std::string> reported;
        if (reported.insert(path.GetText()).second) {
            ZLog::Printf("Script command \"playsound\": there is no tune %s; nothing plays.", path.GetText());
        }
        return;
    }
    game->GetVoice()->PlayEffect(path.GetText(), priority, unique, mode, stomp);
}

void PlayFx(const Words& words, const uint32_t context, uint32_t) {
    const ZString& name = Word(words, 1);
    if (name.IsEmpty()) {
        return;
    }
    const ZString fileName = name + ".zdd";
    const ZHashedString file(fileName.GetText());
    if (GetDefinitionFile(file).children.IsEmpty()) {
        ZLog::Printf("Script command \"playfx\": %s is missing or empty; nothing is made.", fileName.GetText());
        return;
    }
    KorvEntity* const entity = CreateKorvEntity(file, 0);
    if (entity == nullptr) {
        return;
    }
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) {
        delete entity;  // nobody would own it
        return;
    }
    const uint32_t handle = entity->GetHandle();
    game->AddRoomEntity(entity);
    const ZSpatialComponent* const from = ContextComponent<ZSpatialComponent>(context);
    ZSpatialComponent* const to = ResolveComponent<ZSpatialComponent>(ObjectOf(handle));
    if (from != nullptr && to != nullptr) {
        to->current.position.x = from->current.position.x;
        to->current.position.y = from->current.position.y;
        SettleSpatial(*to);
    }
    // Drawn in front of its giver: sprites of one layer draw in the order
    // of their batching, which would as soon put the gift behind him.
    const ZSpriteComponent* const gift = ResolveComponent<ZSpriteComponent>(ObjectOf(handle));
    ZRenderGroup* const group = GetRenderer()->FindRenderGroup(GetWorldSpriteGroup());
    if (gift != nullptr && gift->sheet != nullptr && group != nullptr) {
        const ZSpriteComponent* const giver = ContextComponent<ZSpriteComponent>(context);
        const int32_t below = giver != nullptr && giver->sheet != nullptr ? group->GetLayer(giver->sheet) : 0;
        group->AddOnLayer(gift->sheet, below + 1);
    }
    // Put down where a player may already stand: taken as if walked into,
    // since walking on from inside it would never enter it.
    if (ZCollisionComponent* const collision = ResolveComponent<ZCollisionComponent>(ObjectOf(handle))) {
        collision->TouchMoversWithin();
    }
}

// "initnpc" and "trypop": the look of the character that runs the command.
void InitNpc(const Words&, const uint32_t context, uint32_t) {
    if (NPCComponent* const npc = ContextComponent<NPCComponent>(context)) {
        npc->Setup();
    }
}

void Shake(const Words& words, const uint32_t context, uint32_t) {
    ZRTTIBase* const object = ObjectOf(context);
    if (words.Count() <= 2 || ResolveComponent<ZCameraComponent>(object) == nullptr) {
        return;
    }
    if (words.Count() > 3 && words[3].EqualsNoCase("impact") && MovingSlowerThanImpact(object)) {
        return;
    }
    ZCameraShake& shake = GetCameraShake();
    shake.intensity = words[1].ToFloat();
    shake.decay = words[2].ToFloat();
    shake.interval = 1.0f / 24.0f;
}

void SetGrav(const Words& words, const uint32_t context, const uint32_t other) {
    if (words.Count() <= 2) {
        return;
    }
    if (ZSpatialComponent* const spatial = OperandComponent<ZSpatialComponent>(words, 1, context, other)) {
        spatial->current.acceleration = gWorldUp * -words[2].ToFloat();
        SettleSpatial(*spatial);
    }
}

void KillVel(const Words& words, const uint32_t context, const uint32_t other) {
    if (words.Count() <= 1) {
        return;
    }
    if (ZSpatialComponent* const spatial = OperandComponent<ZSpatialComponent>(words, 1, context, other)) {
        spatial->current.velocity = ZVector3(0.0f, 0.0f, 0.0f);
        SettleSpatial(*spatial);
    }
}

template <ZVector3 ZSpatialState::*Field>
void SetVector(const Words& words, const uint32_t context, const uint32_t other) {
    if (words.Count() != 4) {
        return;
    }
    if (ZSpatialComponent* const spatial = OperandComponent<ZSpatialComponent>(words, 1, context, other)) {
        spatial->current.*Field = ZVector3(words[2].ToFloat(), words[3].ToFloat(), 0.0f);
        SettleSpatial(*spatial);
    }
}

void FakeDelete(const Words& words, const uint32_t context, const uint32_t other) {
    ZEntity* const entity = ResolveEntityName(WordName(words, 1), context, other);
    if (entity == nullptr) {
        return;
    }
    SetItemsVisible(GetComponent<ZRenderableComponent>(entity), false);
    if (ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(entity)) {
        collision->SetEnabled(false);
    }
    if (ZBasingComponent* const basing = GetComponent<ZBasingComponent>(entity)) {
        basing->parentRole = false;
        basing->childRole = false;
        basing->DetachChildren();
    }
}

void Reprop(const Words&, uint32_t, uint32_t) {
    if (Player* const player = GetPlayer()) {
        RefreshPlayerAbilities(*player);
    }
}

void Rejump(const Words&, uint32_t, uint32_t) {
    if (Player* const player = GetPlayer()) {
        player->recheckJump = true;
    }
}

// The achievements from the player's statistics; word 1 ("AnyCampaign")
// also counts the entered code outside the campaign.
void CheckAch(const Words& words, uint32_t, uint32_t) {
    UpdateAchievementsFromStats(KorvanthGame::Get(), Word(words, 1).GetText());
}

// The speedrun component of the game's player, found from the player's handle.
SpeedrunComponent* PlayerSpeedrun() {
    const auto playerHandle = GetEntityGameHooks().getPlayerHandle;
    ZHandleRegistry* const registry = ZHandleRegistry::GetInstance();
    if (playerHandle == nullptr || registry == nullptr) return nullptr;
    return ResolveComponent<SpeedrunComponent>(registry->Find(playerHandle()));
}

// The course's collected set: "clear" empties it, "grant <hex id>" adds one
// (a character that is no hexadecimal digit counts as 0). The player's
// abilities follow at once, so a granted double jump is there for the run.
void Speedrun(const Words& words, uint32_t, uint32_t) {
    SpeedrunComponent* const speedrun = PlayerSpeedrun();
    if (speedrun == nullptr) return;
    const ZString& what = Word(words, 1);
    if (what.EqualsNoCase("clear")) {
        speedrun->ClearCoursePowerups();
    } else if (what.EqualsNoCase("grant")) {
        speedrun->GrantCoursePowerup(HexToInt(Word(words, 2).GetText()));
    } else {
        return;
    }
    if (Player* const player = DynamicCast<Player>(speedrun->GetOwner())) RefreshPlayerAbilities(*player);
}

// "caffeinate <entity>": its coffee timer starts (or starts over).
void Caffeinate(const Words& words, const uint32_t context, const uint32_t other) {
    if (CoffeeComponent* const coffee = OperandComponent<CoffeeComponent>(words, 1, context, other)) {
        coffee->StartCoffee();
    }
}

// The full map's pictures over the screen, once the map has them.
void FullMapHack(const Words&, uint32_t, uint32_t) {
    if (IsFullMapAvailable()) ShowFullMap(true);
}

// The fix positions of a minimap are kept per object that prepared them:
// the preparing object's handle is the key.
ZHashedString FixKey(const uint32_t context) { return ZHashedString::FromId(context); }

// The room under the position "mapfixprep" stored for this object (or, without
// one, under the minimap's owner) is discovered on the named object's minimap.
void TouchMap(const Words& words, const uint32_t context, const uint32_t other) {
    MinimapComponent* const minimap = OperandComponent<MinimapComponent>(words, 1, context, other);
    if (minimap == nullptr) {
        return;
    }
    float x = 0.0f;
    float y = 0.0f;
    const bool found = minimap->GetFixPosition(FixKey(context), x, y);
    minimap->TouchRoom(true, found, x, y);
}

// Where this object stands becomes its fix position on the named object's minimap.
void MapFixPrep(const Words& words, const uint32_t context, const uint32_t other) {
    const ZSpatialComponent* const spatial = ContextComponent<ZSpatialComponent>(context);
    const float x = spatial != nullptr ? spatial->current.position.x : 0.0f;
    const float y = spatial != nullptr ? spatial->current.position.y : 0.0f;
    if (MinimapComponent* const minimap = OperandComponent<MinimapComponent>(words, 1, context, other)) {
        minimap->SetFixPosition(FixKey(context), x, y);
    }
}

// One "MapHelper" entity of the four tells the other three, through their
// saved state, that the map they help with changed.
void InvalidateMapHelper(const Words&, const uint32_t context, uint32_t) {
    static const ZHashedString kData("Data");
    static const ZHashedString kDatum("Datum");
    static const ZHashedString kName("Name");
    static const ZHashedString kType("Type");
    static const ZHashedString kValue("Value");
    static const ZHashedString kInvalidated("MapHelperInvalidated");
    static const uint32_t kHelpers[] = {0x2D3CDF64u, 0x327EB074u, 0x7AAD9576u, 0x5AD065E0u};
    ZRTTIBase* const object = ObjectOf(context);
    const ZGUIDComponent* const guid = ResolveComponent<ZGUIDComponent>(object);
    bool helper = false;
    for (const uint32_t id : kHelpers) {
        helper = helper || (guid != nullptr && guid->guid == id);
    }
    if (helper) {
        for (const uint32_t id : kHelpers) {
            if (id == guid->guid) {
                continue;
            }
            ZDefNode& record = GetStateStore()->GetOrInsert(id);
            if (record.FindChildIndex(0, kData) >= record.children.Count()) {
                record.AddChild(ZDefNode(kData));
            }
            for (ZDefNode& data : record.children) {
                if (data.name != kData) {
                    continue;
                }
                ZDefNode* counter = nullptr;
                for (ZDefNode& datum : data.children) {
                    if (datum.name == kDatum && datum.GetAttribute(kName).EqualsNoCase("MapHelperInvalidated")) {
                        counter = &datum;
                        break;
                    }
                }
                if (counter == nullptr) {
                    ZDefNode datum(kDatum);
                    datum.SetAttribute(kName, ZString("MapHelperInvalidated"));
                    datum.SetAttribute(kType, ZString("int"));
                    datum.SetAttribute(kValue, ZString("0"));
                    data.AddChild(datum);
                    counter = &data.children[data.children.Count() - 1];
                }
                const ZString& text = counter->GetAttribute(kValue);
                int32_t n = text.ToInt();
                if (text.EqualsNoCase("true") || text.EqualsNoCase("false")) {
                    n = text.EqualsNoCase("true") ? 1 : 0;
                    counter->SetAttribute(kType, ZString("int"));
                }
                char value[16];
                std::snprintf(value, sizeof value, "%d", n + 1);
                counter->SetAttribute(kValue, ZString(value));
            }
        }
    }
    if (ZDataComponent* const data = ResolveComponent<ZDataComponent>(object)) {
        if (!data->HasDatum(kInvalidated)) {
            data->SetDatum(kInvalidated, ZDatumEntry::Int(0));
        }
        data->SetDatum(kInvalidated, ZDatumEntry::Int(1));
    }
}

void SpeedrunCommit(const Words&, uint32_t, uint32_t) {
    if (SpeedrunComponent* const speedrun = PlayerSpeedrun()) speedrun->Commit();
}

void ShowLeaderboard(const Words& words, uint32_t, uint32_t) {
    const ZString& course = Word(words, 1);
    GetMenuMgr()->OpenMenu(new LeaderboardMenu(course.IsEmpty() ? ZHashedString("none") : WordName(words, 1)));
}

void RestartCourse(const Words&, uint32_t, uint32_t) {
    if (SpeedrunComponent* const speedrun = PlayerSpeedrun()) speedrun->RestartCourse();
}

void SetLeadingScale(const Words& words, uint32_t, uint32_t) {
    const KorvanthGame* const game = KorvanthGame::Get();
    ZFont* const font = game != nullptr ? game->GetTextFont() : nullptr;
    // A missing scale leaves the font as it is rather than collapsing its lines.
    if (font != nullptr && words.Count() > 1) {
        font->lineSpacing = words[1].ToFloat();
    }
}

void ClearLeaderboardGhost(const Words&, uint32_t, uint32_t) {
    if (SpeedrunComponent* const speedrun = PlayerSpeedrun()) speedrun->RaceLeaderboardGhost(false);
}

void ResetSpeedrun(const Words&, uint32_t, uint32_t) {
    if (SpeedrunComponent* const speedrun = PlayerSpeedrun()) speedrun->ResetRun();
}

ZMap<ZHashedString, ScriptCommandHandler>& CommandMap() {
    static ZMap<ZHashedString, ScriptCommandHandler> map;
    return map;
}

}  // namespace

void RegisterScriptCommands() {
    ZMap<ZHashedString, ScriptCommandHandler>& map = CommandMap();
    if (!map.IsEmpty()) {
        return;
    }
    struct Row {
        const char* verb;
        ScriptCommandHandler run;
    };
    static const Row rows[] = {
        {"teleport", &Teleport},
        {"powerup", &Powerup},
        {"groupset", &GroupSet},
        {"groupget", &GroupGet},
        {"playsound", &PlaySound},
        {"playfx", &PlayFx},
        {"initnpc", &InitNpc},
        {"shake", &Shake},
        {"setgrav", &SetGrav},
        {"killvel", &KillVel},
        {"setvel", &SetVector<&ZSpatialState::velocity>},
        {"setacc", &SetVector<&ZSpatialState::acceleration>},
        {"fakedelete", &FakeDelete},
        {"reprop", &Reprop},
        {"trypop", &InitNpc},
        {"rejump", &Rejump},
        {"checkach", &CheckAch},
        {"speedrun", &Speedrun},
        {"caffeinate", &Caffeinate},
        {"fullmaphack", &FullMapHack},
        {"touchmap", &TouchMap},
        {"mapfixprep", &MapFixPrep},
        {"invalidatemaphelper", &InvalidateMapHelper},
        {"speedruncommit", &SpeedrunCommit},
        {"showleaderboard", &ShowLeaderboard},
        {"restartcourse", &RestartCourse},
        {"setleadingscale", &SetLeadingScale},
        {"clearleaderboardghost", &ClearLeaderboardGhost},
        {"resetspeedrun", &ResetSpeedrun},
    };
    for (const Row& row : rows) {
        map.Insert(ZHashedString(row.verb), row.run);
    }
}

uint32_t GetScriptCommandCount() {
    RegisterScriptCommands();
    return CommandMap().Count();
}

bool ExecuteScriptCommand(const ZHashedString* const verb, const ZArray<ZString>& words, const uint32_t context,
                          const uint32_t other) {
    RegisterScriptCommands();
    if (verb == nullptr) {
        return false;
    }
    const auto* node = CommandMap().Find(*verb);
    if (node == nullptr || node->value == nullptr) {
        // The game's runner is the last one asked: a verb it does not know
        // either is named once per run, so a mistyped script is found.
        static std::set<uint32_t> reported;
        if (reported.insert(verb->GetId()).second) {
            ZLog::Printf("Script command \"%s\" is not known; it does nothing.", Word(words, 0).GetText());
        }
        return false;
    }
    node->value(words, context, other);
    return true;
}
