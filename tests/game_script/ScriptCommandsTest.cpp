// The game's script verbs, one table: each case runs command texts from the
// two entities of a small world and checks what changed. Words missing,
// extra words and words of the wrong kind are cases of their own.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZAnimComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "foundation/ZAppInfo.h"
#include "foundation/ZStateStore.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/GameComponentFactory.h"
#include "game/components/GameScriptCommands.h"
#include "game/components/GroupComponent.h"
#include "game/components/GroupStore.h"
#include "game/components/NPCComponent.h"
#include "game/menus/LeaderboardMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game_rooms/RoomTestSupport.h"
#include "game_world/GameFixture.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"

namespace {

struct Effect {
    std::string file;
    int32_t priority;
    std::string unique;
    int32_t mode;
    bool stomp;
};

class EffectVoice : public worldtest::RecordingVoice {
public:
    void PlayEffect(const char* file, int32_t priority, ZHashedString unique, int32_t mode, bool stomp) override {
        effects.push_back({file, priority, unique.GetTextOrEmpty(), mode, stomp});
    }
    std::vector<Effect> effects;
};

constexpr uint32_t kHelperGUID = 0x2D3CDF64u;  // one of the four map helpers
const uint32_t kOtherHelpers[] = {0x327EB074u, 0x7AAD9576u, 0x5AD065E0u};

// Who runs a step's text: the lever (fast, with a camera, a map helper, a
// pickup and a teleport), the gate (slow, no camera) or a character; the
// lever is the other object of the gate's and the character's texts, and the
// gate the lever's.
enum class Runner { Lever, Gate, Npc };

struct World {
    KorvanthGame* game = nullptr;
    EffectVoice* voice = nullptr;
    ZFont* font = nullptr;
    KorvEntity* lever = nullptr;
    KorvEntity* gate = nullptr;
    KorvEntity* rider = nullptr;
    KorvEntity* npc = nullptr;
    Player* player = nullptr;
    GroupStore* store = nullptr;
    size_t roomEntities = 0;  // what the game's room held before the case

    ZSpatialComponent& Spatial(KorvEntity* e) const { return *GetComponent<ZSpatialComponent>(e); }
    SpeedrunComponent& Speedrun() const { return *GetComponent<SpeedrunComponent>(player); }
    ZDataComponent& Data(KorvEntity* e) const { return *GetComponent<ZDataComponent>(e); }
    ZDatumEntry Datum(KorvEntity* e, const char* name) const {
        ZDatumEntry entry;
        Data(e).GetDatum(ZHashedString(name), entry);
        return entry;
    }
    bool StoreHas(const char* key) const { return store->GetData()->HasDatum(ZHashedString(key)); }
    ZDatumEntry Stored(const char* key) const {
        ZDatumEntry entry;
        store->GetData()->GetDatum(ZHashedString(key), entry);
        return entry;
    }
    const ZDefNode* HelperCounter(uint32_t guid) const {
        static const ZHashedString kData("Data");
        static const ZHashedString kName("Name");
        if (!GetStateStore()->Has(guid)) return nullptr;
        for (const ZDefNode& datum : GetStateStore()->GetOrInsert(guid).FindChild(kData).children) {
            if (datum.GetAttribute(kName) == "MapHelperInvalidated") return &datum;
        }
        return nullptr;
    }
};

struct Step {
    const char* text;
    Runner runner;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    bool known;  // what ExecuteScriptCommand answers for the last step
    std::function<void(World&)> check;
    std::function<void(World&)> prepare = nullptr;  // before the first step
};

// The player on the "Gallery" course with the clock running, 7 s in, the
// double jump granted for the run and the leaderboard's ghost raced.
void OnCourse(World& w) {
    w.player->spatial->current.position = ZVector3(40.0f, 50.0f, 0.0f);
    w.player->spatial->ResetInterpolation();
    SpeedrunComponent& speedrun = w.Speedrun();
    speedrun.SetCourseState(true, true, ZHashedString("Gallery"));
    speedrun.AdvanceTimer(7.0f);
    speedrun.GrantCoursePowerup(0x20002);
    speedrun.RaceLeaderboardGhost(true);
}

// The same run, finished: the clock stopped at the bell.
void Finished(World& w) {
    OnCourse(w);
    w.Speedrun().SetCourseState(true, false, ZHashedString("Gallery"));
}

// The menu the last request of the menu manager opens, when it is a leaderboard.
const LeaderboardMenu* QueuedBoard() {
    const ZArray<ZMenuRequest>& requests = GetMenuMgr()->GetRequests();
    if (requests.IsEmpty() || requests[requests.Count() - 1].kind != ZMenuRequest::kOpen) return nullptr;
    return dynamic_cast<const LeaderboardMenu*>(requests[requests.Count() - 1].menu);
}

bool AllHidden(const ZRenderableComponent* renderable) {
    if (renderable == nullptr) return true;
    for (const auto& node : renderable->renderables) {
        if (node.value != nullptr && node.value->visible) return false;
    }
    return true;
}

ZVector3 V(float x, float y, float z = 0.0f) { return ZVector3(x, y, z); }

bool IsInt(const ZDatumEntry& e, int32_t v) { return e.type == kDatumInt && e.value.intValue == v; }
bool IsBool(const ZDatumEntry& e, bool v) { return e.type == kDatumBool && e.value.boolValue == v; }

// What nothing may change: the world as the fixture made it.
void Untouched(World& w) {
    EXPECT_EQ(w.Spatial(w.lever).current.velocity, V(300.0f, 0.0f));
    EXPECT_EQ(w.Spatial(w.lever).current.acceleration, V(0.0f, 0.0f));
    EXPECT_EQ(w.Spatial(w.gate).current.velocity, V(5.0f, 5.0f));
    EXPECT_TRUE(IsBool(w.Datum(w.lever, "Open"), true));
    EXPECT_TRUE(IsBool(w.Datum(w.gate, "Open"), false));
    EXPECT_TRUE(w.voice->effects.empty());
    EXPECT_EQ(w.game->GetRoomEntities().size(), w.roomEntities);
    EXPECT_EQ(GetCameraShake().intensity, 0.0f);
    EXPECT_EQ(w.store->GetData()->GetValues().Count(), 0u);
    EXPECT_FALSE(w.player->recheckJump);
    EXPECT_FLOAT_EQ(w.font->lineSpacing, 2.0f);
}

const Case kCases[] = {
    // --- Verbs the table does not hold ---
    {"unknown verb", {{"opensesame Self", Runner::Lever}}, false, Untouched},
    {"engine verb", {{"set Self Open false", Runner::Lever}}, false, Untouched},

    // --- Groups ---
    {"groupset then groupget in another member",
     {{"groupset Open", Runner::Lever}, {"groupget Open", Runner::Gate}},
     true,
     [](World& w) {
         EXPECT_TRUE(IsBool(w.Stored("GROUP_Sluice_Open"), true));
         EXPECT_TRUE(IsBool(w.Datum(w.gate, "Open"), true));
     }},
    {"verb in capitals", {{"GROUPSET Open", Runner::Lever}}, true,
     [](World& w) { EXPECT_TRUE(IsBool(w.Stored("GROUP_Sluice_Open"), true)); }},
    {"groupget of a key never set keeps the entity's value", {{"groupget Open", Runner::Gate}}, true, Untouched},
    {"groupget into an entity that does not declare the datum",
     {{"groupset Count", Runner::Lever}, {"groupget Count", Runner::Gate}},
     true,
     [](World& w) {
         EXPECT_TRUE(IsInt(w.Stored("GROUP_Sluice_Count"), 3));
         EXPECT_FALSE(w.Data(w.gate).HasDatum(ZHashedString("Count")));
     }},
    {"groupset of a datum the entity lacks stores a default", {{"groupset Missing", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_TRUE(w.StoreHas("GROUP_Sluice_Missing"));
         EXPECT_EQ(w.Stored("GROUP_Sluice_Missing").type, kDatumNone);
     }},
    {"groupset without a datum name", {{"groupset", Runner::Lever}}, true,
     [](World& w) { EXPECT_TRUE(w.StoreHas("GROUP_Sluice_")); }},
    {"groupget with extra words", {{"groupset Open", Runner::Lever}, {"groupget Open now please", Runner::Gate}}, true,
     [](World& w) { EXPECT_TRUE(IsBool(w.Datum(w.gate, "Open"), true)); }},

    // --- Sounds ---
    {"playsound plain", {{"playsound Chime", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         const Effect& e = w.voice->effects[0];
         EXPECT_EQ(e.file, "T_Chime.zms");
         EXPECT_EQ(e.priority, 75);
         EXPECT_EQ(e.unique, "");
         EXPECT_EQ(e.mode, 2);
         EXPECT_FALSE(e.stomp);
     }},
    {"playsound unique", {{"playsound Chime 80 unique", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         EXPECT_EQ(w.voice->effects[0].unique, "Chime");
         EXPECT_EQ(w.voice->effects[0].priority, 80);
     }},
    {"playsound stomp in capitals", {{"playsound Fanfare 90 FORCESTOMP", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         EXPECT_EQ(w.voice->effects[0].mode, 1);
         EXPECT_TRUE(w.voice->effects[0].stomp);
     }},
    {"playsound impact from a fast entity", {{"playsound Thud 60 impact", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         EXPECT_EQ(w.voice->effects[0].unique, "Thud");
     }},
    {"playsound impact from a slow entity", {{"playsound Thud 60 impact", Runner::Gate}}, true, Untouched},
    {"playsound with a priority that is no number", {{"playsound Chime loud", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         EXPECT_EQ(w.voice->effects[0].priority, 0);
     }},
    {"playsound with an unknown keyword", {{"playsound Chime 10 gently", Runner::Lever}}, true,
     [](World& w) {
         ASSERT_EQ(w.voice->effects.size(), 1u);
         EXPECT_EQ(w.voice->effects[0].mode, 2);
         EXPECT_EQ(w.voice->effects[0].unique, "");
     }},
    {"playsound without a tune", {{"playsound", Runner::Lever}}, true, Untouched},
    {"playsound of a tune no package holds", {{"playsound Missing 80", Runner::Lever}}, true, Untouched},

    // --- Effects ---
    {"playfx at the context", {{"playfx Spark", Runner::Gate}}, true,
     [](World& w) {
         ASSERT_EQ(w.game->GetRoomEntities().size(), w.roomEntities + 1);
         ZSpatialComponent* spark = GetComponent<ZSpatialComponent>(w.game->GetRoomEntities().back());
         ASSERT_NE(spark, nullptr);
         EXPECT_EQ(spark->current.position, V(-40.0f, 60.0f, 7.0f)) << "x and y of the gate, its own z";
         EXPECT_EQ(spark->interpolated.position, spark->current.position);
     }},
    {"playfx of a missing file", {{"playfx NoSuchThing", Runner::Lever}}, true, Untouched},
    {"playfx without a name", {{"playfx", Runner::Lever}}, true, Untouched},

    // --- Camera shake ---
    {"shake", {{"shake 8 2.5", Runner::Lever}}, true,
     [](World&) {
         const ZCameraShake& s = GetCameraShake();
         EXPECT_FLOAT_EQ(s.intensity, 8.0f);
         EXPECT_FLOAT_EQ(s.decay, 2.5f);
         EXPECT_FLOAT_EQ(s.interval, 1.0f / 24.0f);
     }},
    {"shake with one number", {{"shake 8", Runner::Lever}}, true, Untouched},
    {"shake from an entity without a camera", {{"shake 8 2", Runner::Gate}}, true, Untouched},
    {"shake on impact, fast", {{"shake 8 2 Impact", Runner::Lever}}, true,
     [](World&) { EXPECT_FLOAT_EQ(GetCameraShake().intensity, 8.0f); }},

    // --- Motion ---
    {"setgrav", {{"setgrav Self 300", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_EQ(w.Spatial(w.lever).current.acceleration, V(0.0f, 300.0f)) << "against the side view's up";
         EXPECT_EQ(w.Spatial(w.lever).previous.acceleration, V(0.0f, 300.0f));
     }},
    {"setgrav of the other object", {{"setgrav Other -50", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.Spatial(w.gate).current.acceleration, V(0.0f, -50.0f)); }},
    {"setgrav without a value", {{"setgrav Self", Runner::Lever}}, true, Untouched},
    {"setgrav of World", {{"setgrav World 300", Runner::Lever}}, true, Untouched},
    {"setgrav with a value that is no number", {{"setgrav Self heavy", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.Spatial(w.lever).current.acceleration, V(0.0f, 0.0f)); }},
    {"killvel", {{"killvel Other", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_EQ(w.Spatial(w.gate).current.velocity, V(0.0f, 0.0f));
         EXPECT_EQ(w.Spatial(w.gate).interpolated.velocity, V(0.0f, 0.0f));
     }},
    {"killvel without an operand", {{"killvel", Runner::Lever}}, true, Untouched},
    {"setvel", {{"setvel Self 1.5 -2", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.Spatial(w.lever).current.velocity, V(1.5f, -2.0f)); }},
    {"setvel with one number", {{"setvel Self 1", Runner::Lever}}, true, Untouched},
    {"setvel with three numbers", {{"setvel Self 1 2 3", Runner::Lever}}, true, Untouched},
    {"setvel with words for numbers", {{"setvel Self fast up", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.Spatial(w.lever).current.velocity, V(0.0f, 0.0f)); }},
    {"setacc", {{"setacc Other 4 5", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.Spatial(w.gate).current.acceleration, V(4.0f, 5.0f)); }},
    {"setacc with a missing operand", {{"setacc", Runner::Lever}}, true, Untouched},

    // --- Fake deletion ---
    {"fakedelete", {{"fakedelete Self", Runner::Lever}}, true,
     [](World& w) {
         for (const auto& node : GetComponent<ZRenderableComponent>(w.lever)->renderables) {
             EXPECT_FALSE(node.value->visible);
         }
         EXPECT_FALSE(GetComponent<ZCollisionComponent>(w.lever)->GetPrimary()->enabled);
         const ZBasingComponent* basing = GetComponent<ZBasingComponent>(w.lever);
         EXPECT_FALSE(basing->parentRole);
         EXPECT_FALSE(basing->childRole);
         EXPECT_TRUE(basing->children.IsEmpty());
         EXPECT_EQ(GetComponent<ZBasingComponent>(w.rider)->parent, nullptr);
     }},
    {"fakedelete of an entity without those components", {{"fakedelete Self", Runner::Gate}}, true, Untouched},
    {"fakedelete without an operand", {{"fakedelete", Runner::Lever}}, true,
     [](World& w) {
         for (const auto& node : GetComponent<ZRenderableComponent>(w.lever)->renderables) {
             EXPECT_TRUE(node.value->visible);
         }
     }},

    // --- The player ---
    {"rejump", {{"rejump", Runner::Lever}}, true, [](World& w) { EXPECT_TRUE(w.player->recheckJump); }},
    {"reprop gives the held boots' second jump", {{"reprop", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(w.player->physics->maxJumps, 2); },
     [](World& w) {
         SetPowerup(*w.player, 0x20002, true);
         w.player->physics->maxJumps = 1;
     }},
    {"reprop with extra words", {{"reprop now", Runner::Lever}}, true,
     [](World& w) {
         Untouched(w);
         EXPECT_EQ(w.player->physics->maxJumps, 1);
     }},

    // --- Map helpers ---
    {"invalidatemaphelper twice",
     {{"invalidatemaphelper", Runner::Lever}, {"invalidatemaphelper", Runner::Lever}},
     true,
     [](World& w) {
         for (const uint32_t guid : kOtherHelpers) {
             const ZDefNode* counter = w.HelperCounter(guid);
             ASSERT_NE(counter, nullptr) << std::hex << guid;
             EXPECT_EQ(counter->GetAttribute(ZHashedString("Value")), "2");
             EXPECT_EQ(counter->GetAttribute(ZHashedString("Type")), "int");
         }
         EXPECT_EQ(w.HelperCounter(kHelperGUID), nullptr) << "the runner's own record is not raised";
         EXPECT_TRUE(IsInt(w.Datum(w.lever, "MapHelperInvalidated"), 1));
     }},
    {"invalidatemaphelper from an entity that is no helper", {{"invalidatemaphelper", Runner::Gate}}, true,
     [](World& w) {
         for (const uint32_t guid : kOtherHelpers) EXPECT_EQ(w.HelperCounter(guid), nullptr);
         EXPECT_TRUE(IsInt(w.Datum(w.gate, "MapHelperInvalidated"), 1));
     }},

    // --- Text ---
    {"setleadingscale", {{"setleadingscale 1.25", Runner::Lever}}, true,
     [](World& w) { EXPECT_FLOAT_EQ(w.font->lineSpacing, 1.25f); }},
    {"setleadingscale without a scale", {{"setleadingscale", Runner::Lever}}, true, Untouched},

    // --- Coffee ---
    {"caffeinate", {{"caffeinate Player", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(GetComponent<CoffeeComponent>(w.player)->timer, 12.0f); }},
    {"caffeinate an entity without coffee", {{"caffeinate Self", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(GetComponent<CoffeeComponent>(w.player)->timer, 0.0f); }},

    // --- Teleports: the lever's "Cellar" is behind a wipe ---
    {"teleport with wipe",
     {{"playfx Spark", Runner::Gate}, {"teleport Player Cellar", Runner::Lever}},
     true,
     [](World& w) {
         EXPECT_TRUE(w.game->GetRoomEntities().empty()) << "the room's entities left behind the wipe";
         EXPECT_GT(w.game->GetRetiredEntityCount(), 0u) << "kept until the next step, not deleted in the event";
         EXPECT_TRUE(AllHidden(w.player->renderable));
         EXPECT_TRUE(GetCinematicMgr()->IsPlaying(ZHashedString("Door Transition")));
         // The ghost notes where the player stood before the wipe (after the
         // frame of the run's start); the move itself is the transition's.
         ASSERT_EQ(w.Speedrun().GetRecording().size(), 2u);
         EXPECT_EQ(w.Speedrun().GetRecording()[1].time, 7.0f);
         EXPECT_EQ(w.Speedrun().GetRecording()[1].x, 40.0f);
         EXPECT_EQ(w.Speedrun().GetRecording()[1].y, 50.0f);
     },
     OnCourse},
    {"teleport without a teleport component", {{"teleport Player Cellar save", Runner::Gate}}, true, Untouched},
    {"teleport of an object that is not the player", {{"teleport Other Cellar", Runner::Lever}}, true, Untouched},
    {"teleport without words", {{"teleport", Runner::Lever}}, true, Untouched},
    {"powerup from a pickup", {{"powerup Player", Runner::Lever}}, true,
     [](World& w) { EXPECT_TRUE(HasPowerup(*w.player, 0x20002, true)) << "the lever carries the double-jump boots"; }},
    {"powerup of an object that is not the player", {{"powerup Other", Runner::Lever}}, true,
     [](World& w) { EXPECT_FALSE(HasPowerup(*w.player, 0x20002, true)); }},
    {"powerup without a pickup", {{"powerup Player", Runner::Gate}}, true,
     [](World& w) { EXPECT_FALSE(HasPowerup(*w.player, 0x20002, true)); }},

    // --- Characters: "initnpc" and "trypop" set the look up alike ---
    {"initnpc", {{"initnpc", Runner::Npc}}, true,
     [](World& w) {
         const NPCComponent* npc = GetComponent<NPCComponent>(w.npc);
         EXPECT_GE(npc->GetFigure(), 0) << "a figure drawn from its GUID";
         EXPECT_NE(GetComponent<ZAnimComponent>(w.npc)->GetDirectionHook(), nullptr) << "it faces its way";
         EXPECT_NE(GetComponent<ZFrobComponent>(w.npc)->GetOnFrobbed(), nullptr) << "it turns to who talks";
     }},
    {"trypop", {{"trypop", Runner::Npc}}, true,
     [](World& w) {
         EXPECT_GE(GetComponent<NPCComponent>(w.npc)->GetFigure(), 0);
         EXPECT_NE(GetComponent<ZAnimComponent>(w.npc)->GetDirectionHook(), nullptr);
     }},
    {"initnpc from an entity without a character", {{"initnpc", Runner::Lever}}, true,
     [](World& w) { EXPECT_EQ(GetComponent<NPCComponent>(w.npc)->GetFigure(), -1); }},
    {"checkach", {{"checkach AnyCampaign", Runner::Lever}}, true, Untouched},
    {"speedrun grant without an id", {{"speedrun grant", Runner::Lever}}, true, Untouched},
    {"fullmaphack without the map's pictures", {{"fullmaphack", Runner::Lever}}, true, Untouched},
    {"mapfixprep on the player's minimap",
     {{"mapfixprep Player", Runner::Gate}, {"touchmap Player", Runner::Gate}},
     true,
     [](World& w) {
         float x = 0.0f, y = 0.0f;
         const MinimapComponent* minimap = GetComponent<MinimapComponent>(w.player);
         ASSERT_NE(minimap, nullptr);
         EXPECT_TRUE(minimap->GetFixPosition(ZHashedString::FromId(w.gate->GetHandle()), x, y));
         EXPECT_EQ(x, -40.0f);
         EXPECT_EQ(y, 60.0f);
         EXPECT_FALSE(minimap->GetFixPosition(ZHashedString::FromId(w.lever->GetHandle()), x, y));
     }},
    {"touchmap without a minimap", {{"touchmap Other", Runner::Lever}}, true, Untouched},
    {"mapfixprep without an operand", {{"mapfixprep", Runner::Lever}}, true, Untouched},
    {"speedrun grant and clear edit the course's set",
     {{"speedrun grant 0000002a", Runner::Lever}, {"speedrun grant 1x", Runner::Lever}},
     true,
     [](World& w) {
         SpeedrunComponent* speedrun = GetComponent<SpeedrunComponent>(w.player);
         ASSERT_NE(speedrun, nullptr);
         speedrun->SetCourseState(true, true, ZHashedString("Gallery"));
         bool held = false;
         ASSERT_TRUE(speedrun->HasCoursePowerup(0x2a, held));
         EXPECT_TRUE(held);
         EXPECT_TRUE(speedrun->HasCoursePowerup(0x10, held) && held) << "a non-digit counts as 0";
         speedrun->SetCourseState(false, false, ZHashedString());
     }},
    {"speedrun clear empties the course's set",
     {{"speedrun grant 2a", Runner::Lever}, {"speedrun CLEAR", Runner::Lever}},
     true,
     [](World& w) {
         SpeedrunComponent* speedrun = GetComponent<SpeedrunComponent>(w.player);
         ASSERT_NE(speedrun, nullptr);
         speedrun->SetCourseState(true, true, ZHashedString("Gallery"));
         bool held = true;
         ASSERT_TRUE(speedrun->HasCoursePowerup(0x2a, held));
         EXPECT_FALSE(held);
         speedrun->SetCourseState(false, false, ZHashedString());
     }},
    {"speedrun with an unknown word", {{"speedrun grab 2a", Runner::Lever}, {"speedrun", Runner::Lever}}, true,
     Untouched},
    // --- The speedrun ---
    {"speedruncommit while the clock runs", {{"speedruncommit", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_LT(w.Speedrun().GetResultTime(ZHashedString("Gallery")), 0.0f);
         EXPECT_LT(ReadGhostBestTime(GetGhostFilePath(ZHashedString("Gallery"))), 0.0f);
     },
     OnCourse},
    {"speedruncommit writes the finished run as the course's ghost", {{"speedruncommit", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_FLOAT_EQ(w.Speedrun().GetResultTime(ZHashedString("Gallery")), 7.0f);
         EXPECT_FLOAT_EQ(ReadGhostBestTime(GetGhostFilePath(ZHashedString("Gallery"))), 7.0f);
     },
     Finished},
    {"showleaderboard", {{"showleaderboard Gallery", Runner::Lever}}, true,
     [](World&) {
         const auto* board = QueuedBoard();
         ASSERT_NE(board, nullptr);
         EXPECT_EQ(board->GetCourse(), ZHashedString("Gallery"));
     }},
    {"showleaderboard without a course", {{"showleaderboard", Runner::Lever}}, true,
     [](World&) {
         const auto* board = QueuedBoard();
         ASSERT_NE(board, nullptr);
         EXPECT_EQ(board->GetCourse(), ZHashedString("none"));
     }},
    {"restartcourse starts the run over", {{"restartcourse", Runner::Lever}}, true,
     [](World& w) {
         SpeedrunComponent& speedrun = w.Speedrun();
         EXPECT_TRUE(speedrun.IsOnCourse());
         EXPECT_EQ(speedrun.GetCourse(), ZHashedString("Gallery"));
         EXPECT_EQ(speedrun.GetElapsed(), 0.0f);
         bool held = true;
         ASSERT_TRUE(speedrun.HasCoursePowerup(0x20002, held));
         EXPECT_FALSE(held) << "the run's grants are gone";
     },
     OnCourse},
    {"restartcourse off a course", {{"restartcourse", Runner::Lever}}, true,
     [](World& w) { EXPECT_FALSE(w.Speedrun().IsOnCourse()); }},
    {"clearleaderboardghost", {{"clearleaderboardghost", Runner::Lever}}, true,
     [](World& w) {
         EXPECT_FALSE(w.Speedrun().IsRacingLeaderboardGhost());
         EXPECT_TRUE(w.Speedrun().IsOnCourse()) << "the run goes on";
     },
     OnCourse},
    {"resetspeedrun", {{"resetspeedrun", Runner::Lever}}, true,
     [](World& w) {
         SpeedrunComponent& speedrun = w.Speedrun();
         EXPECT_TRUE(speedrun.IsOnCourse());
         EXPECT_EQ(speedrun.GetElapsed(), 0.0f);
         bool held = true;
         ASSERT_TRUE(speedrun.HasCoursePowerup(0x20002, held));
         EXPECT_FALSE(held);
     },
     OnCourse},
};

Player* gTestPlayer = nullptr;
uint32_t TestPlayerHandle() { return gTestPlayer != nullptr ? gTestPlayer->GetHandle() : 0; }

class ScriptCommandsTest : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        MountGamePackage();
        roomtest::UseEngineComponents();
        static const bool registered = [] {
            RegisterComponentFactory(CreateGameComponentByName);
            return true;
        }();
        (void)registered;
        m_files = std::make_unique<roomtest::DefinitionFolder>();
        // Tunes are only looked up here: any bytes will do.
        for (const char* tune : {"T_Chime.zms", "T_Fanfare.zms", "T_Thud.zms"}) m_files->Dir().Write(tune, "tune");
        m_files->Write("Spark.zdd", "<E><Spatial><Position><Vector X='1' Y='2' Z='7'/></Position></Spatial></E>");
        GetStateStore()->Clear();
        m_savedUp = gWorldUp;
        gWorldUp = V(0.0f, -1.0f, 0.0f);
        GetCameraShake() = ZCameraShake();
        GetEntityGameHooks().getPlayerHandle = &TestPlayerHandle;
    }
    void TearDown() override {
        GetEntityGameHooks().getPlayerHandle = nullptr;
        gWorldUp = m_savedUp;
        GetCameraShake() = ZCameraShake();
        GetStateStore()->Clear();
        m_files.reset();
        GameTest::TearDown();
    }

    // A fresh world for each case: the lever and the gate are members of the
    // group "Sluice"; the lever moves fast and carries a rider.
    void Build(World& w) {
        w.game = m_game;
        m_game->SetCampaign(roomtest::Markup("<Campaign ID='T'/>"));
        m_voice = std::make_unique<EffectVoice>();
        w.voice = m_voice.get();
        m_game->SetVoice(w.voice);
        m_font = std::make_unique<ZFont>();
        m_font->lineSpacing = 2.0f;
        w.font = m_font.get();
        m_game->SetTextFont(w.font);
        m_store = std::make_unique<GroupStore>();
        w.store = m_store.get();

        m_lever = std::make_unique<KorvEntity>();
        w.lever = m_lever.get();
        w.lever->CreateComponentsFromNode(roomtest::Markup(
            "<E><GUID GUID='2D3CDF64'/><Group Name='Sluice'/><Camera/><Basing Role='parent'/>"
            "<Powerup Make='Boots' Model='DoubleJump'/>"
            "<Teleport Name='Cellar' MapX='1' MapY='0' Entity='Spot' Wipe='true'/>"
            "<Data><Datum Name='Open' Type='Bool' Value='true'/><Datum Name='Count' Type='Int' Value='3'/></Data>"
            "<Collision><Primitive Type='Box'><Extents><Vector X='4' Y='4' Z='1'/></Extents></Primitive></Collision>"
            "</E>"));
        AddComponent<ZSpatialComponent>(w.lever)->current.velocity = V(300.0f, 0.0f);
        // The entity deletes its drawables with itself.
        AddComponent<ZRenderableComponent>(w.lever)->AddRenderable(ZHashedString("Body"), new ZRenderable());

        m_gate = std::make_unique<KorvEntity>();
        w.gate = m_gate.get();
        w.gate->CreateComponentsFromNode(roomtest::Markup(
            "<E><Group Name='Sluice'/><Data><Datum Name='Open' Type='Bool' Value='false'/></Data></E>"));
        ZSpatialComponent* gate = AddComponent<ZSpatialComponent>(w.gate);
        gate->current.position = V(-40.0f, 60.0f, 3.0f);
        gate->current.velocity = V(5.0f, 5.0f);

        m_rider = std::make_unique<KorvEntity>();
        w.rider = m_rider.get();
        AddComponent<ZBasingComponent>(w.rider)->childRole = true;
        AddComponent<ZBasingComponent>(w.rider)->AttachTo(GetComponent<ZBasingComponent>(w.lever)->GetHandle());
        ASSERT_EQ(GetComponent<ZBasingComponent>(w.rider)->parent, w.lever);

        // A character with every part its look needs.
        m_npc = std::make_unique<KorvEntity>();
        w.npc = m_npc.get();
        AddComponent<ZSpatialComponent>(w.npc);
        AddComponent<ZRenderableComponent>(w.npc);
        AddComponent<ZSpriteComponent>(w.npc);
        AddComponent<ZAnimComponent>(w.npc);
        AddComponent<ZGUIDComponent>(w.npc)->guid = 0x1234u;
        AddComponent<ZFrobComponent>(w.npc);
        AddComponent<NPCComponent>(w.npc);

        m_player = std::make_unique<Player>();
        w.player = m_player.get();
        gTestPlayer = w.player;
        w.roomEntities = m_game->GetRoomEntities().size();
    }
    void Clear(World& w) {
        GetCinematicMgr()->StopAll();
        gTestPlayer = nullptr;
        m_player.reset();
        m_npc.reset();
        m_rider.reset();
        m_lever.reset();
        m_gate.reset();
        m_store.reset();
        m_game->SetTextFont(nullptr);
        m_font.reset();
        m_game->SetVoice(nullptr);
        m_voice.reset();
        GetStateStore()->Clear();
        GetCameraShake() = ZCameraShake();
        w = World();
    }

    std::unique_ptr<roomtest::DefinitionFolder> m_files;
    std::unique_ptr<EffectVoice> m_voice;
    std::unique_ptr<ZFont> m_font;
    std::unique_ptr<GroupStore> m_store;
    std::unique_ptr<KorvEntity> m_lever;
    std::unique_ptr<KorvEntity> m_gate;
    std::unique_ptr<KorvEntity> m_rider;
    std::unique_ptr<KorvEntity> m_npc;
    std::unique_ptr<Player> m_player;
    ZVector3 m_savedUp;
};

// Splits like the command runner does for these plain texts.
ZArray<ZString> Split(const char* text) {
    ZArray<ZString> words;
    ZString(text).Split(" ", words);
    return words;
}

TEST_F(ScriptCommandsTest, EveryVerb) {
    EXPECT_EQ(GetScriptCommandCount(), 29u);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        World w;
        Build(w);
        if (c.prepare) c.prepare(w);
        bool known = false;
        for (const Step& step : c.steps) {
            KorvEntity* const runner = step.runner == Runner::Lever ? w.lever : step.runner == Runner::Gate ? w.gate : w.npc;
            KorvEntity* const other = step.runner == Runner::Lever ? w.gate : w.lever;
            const ZArray<ZString> words = Split(step.text);
            const ZHashedString verb(words[0].GetText());
            known = ExecuteScriptCommand(&verb, words, runner->GetHandle(), other->GetHandle());
        }
        EXPECT_EQ(known, c.known);
        c.check(w);
        Clear(w);
    }
}

// Any words from any object, or from none: every verb answers that it knows
// the verb and nothing reads past the words (the sanitizers watch).
TEST_F(ScriptCommandsTest, EveryVerbTakesAnyWordsFromAnyObject) {
    const char* const verbs[] = {"teleport", "powerup", "groupset", "groupget", "playsound", "playfx", "initnpc",
                                 "shake", "setgrav", "killvel", "setvel", "setacc", "fakedelete", "reprop",
                                 "trypop", "rejump", "checkach", "speedrun", "caffeinate", "fullmaphack",
                                 "touchmap", "mapfixprep", "invalidatemaphelper", "speedruncommit",
                                 "showleaderboard", "restartcourse", "setleadingscale", "clearleaderboardghost",
                                 "resetspeedrun"};
    const char* const junk[] = {"", "Self", "World", "-1e40", "NULL", "Other", "grant", "impact", "Player", "zz"};
    World w;
    Build(w);
    const uint32_t objects[] = {0, w.lever->GetHandle(), w.gate->GetHandle(), 0xDEADBEEFu};
    for (const char* verb : verbs) {
        for (uint32_t count = 1; count <= 6; ++count) {
            for (uint32_t shift = 0; shift < 3; ++shift) {
                ZArray<ZString> words;
                words.PushBack(ZString(verb));
                for (uint32_t i = 1; i < count; ++i) {
                    words.PushBack(ZString(junk[(i * 3 + shift * 7 + count) % 10]));
                }
                for (const uint32_t context : objects) {
                    const ZHashedString name(verb);
                    EXPECT_TRUE(ExecuteScriptCommand(&name, words, context, objects[(context + shift) % 4]))
                        << verb << " with " << count << " words";
                }
            }
        }
    }
    Clear(w);
}

// Through the engine's runner as events run them: the engine's verbs first,
// the game's after, and a verb neither knows does nothing.
TEST_F(ScriptCommandsTest, TheRunnerReachesTheGamesVerbsAfterTheEngines) {
    ClearCommandHandlers();
    RegisterCommandHandler(EntityCommandDispatcher);
    RegisterCommandHandler(ExecuteScriptCommand);
    World w;
    Build(w);
    RunCommandText("set Self Open false", w.lever->GetHandle(), 0);
    RunCommandText("groupset Open", w.lever->GetHandle(), 0);
    RunCommandText("nonsense Self", w.lever->GetHandle(), 0);
    EXPECT_TRUE(IsBool(w.Stored("GROUP_Sluice_Open"), false));
    // A component's handle resolves to its entity's group, as an event's context does.
    RunCommandText("groupget Open", GetComponent<ZDataComponent>(w.gate)->GetHandle(), 0);
    EXPECT_TRUE(IsBool(w.Datum(w.gate, "Open"), false));
    Clear(w);
    ClearCommandHandlers();
}

// "mapfixprep" keeps where the gate stands; "touchmap" then discovers the room
// under that place on the player's minimap and counts its gems again, even a
// room it knew. A place past the area's bounds touches the room at that edge.
TEST_F(ScriptCommandsTest, TouchmapDiscoversAndRecountsTheRoomUnderTheFixPosition) {
    World w;
    Build(w);
    // An area of 2 x 2 rooms, loaded from (0, 0): x from -256 to 256, y from 0 to 448.
    MapData& map = m_game->GetMapData();
    for (int32_t x = -1; x <= 0; ++x) {
        for (int32_t y = 0; y <= 1; ++y) map.GetOrAddRoom(x, y);
    }
    map.GetOrAddRoom(-1, 0).instanceIds.PushBack(0xA1);
    // Gems are counted from the campaign's instance files.
    m_files->Write(InstanceFileName(0xA1), "<Entity><MapHelper Name='gem' Count='3'/></Entity>");
    MapArea area;
    area.left = -1, area.top = 0, area.right = 1, area.bottom = 2;
    map.areas.PushBack(area);
    m_game->LoadRoom();
    MinimapComponent* const minimap = GetComponent<MinimapComponent>(w.player);
    ASSERT_NE(minimap, nullptr);
    const ZHashedString halls("Halls");
    minimap->SetCurrentMap(halls);
    const auto run = [&w](const char* text) {
        const ZArray<ZString> words = Split(text);
        const ZHashedString verb(words[0].GetText());
        EXPECT_TRUE(ExecuteScriptCommand(&verb, words, w.gate->GetHandle(), w.lever->GetHandle())) << text;
    };
    const auto known = [&](int32_t x, int32_t y) {
        const auto& found = minimap->GetDiscovered();
        return found.count(halls) != 0 && found.at(halls).count(x) != 0 && found.at(halls).at(x).count(y) != 0;
    };
    const struct {
        const char* what;
        ZVector3 gate;
        int32_t roomX, roomY;
    } cases[] = {
        {"where the gate stands", V(-40.0f, 60.0f), -1, 0},
        {"past the right and bottom bounds: the bottom right room", V(900.0f, 700.0f), 0, 1},
        {"past the left and top bounds: the top left room", V(-900.0f, -700.0f), -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        minimap->ClearDiscovered();
        minimap->SetCurrentMap(halls);
        w.Spatial(w.gate).current.position = c.gate;
        run("mapfixprep Player");
        run("touchmap Player");
        EXPECT_TRUE(known(c.roomX, c.roomY));
        size_t rooms = 0;
        for (const auto& column : minimap->GetDiscovered().at(halls)) rooms += column.second.size();
        EXPECT_EQ(rooms, 1u) << "that room alone";
    }
    // The gems of (-1, 0): counted when found, and again once they are taken.
    minimap->ClearDiscovered();
    minimap->SetCurrentMap(halls);
    w.Spatial(w.gate).current.position = V(-40.0f, 60.0f);
    run("mapfixprep Player");
    run("touchmap Player");
    ASSERT_TRUE(known(-1, 0));
    EXPECT_EQ(minimap->GetDiscovered().at(halls).at(-1).at(0).total, 3);
    EXPECT_EQ(minimap->GetDiscovered().at(halls).at(-1).at(0).collected, 0);
    ZDefNode taken;
    ZDefNode dead(ZHashedString("Delete"));
    dead.SetAttribute(ZHashedString("Dead"), ZString("true"));
    taken.AddChild(dead);
    GetStateStore()->GetOrInsert(0xA1) = taken;
    run("touchmap Player");
    EXPECT_EQ(minimap->GetDiscovered().at(halls).at(-1).at(0).collected, 3) << "counted again";
    EXPECT_EQ(minimap->GetCurrentCount().collected, 3);
    Clear(w);
}

}  // namespace
