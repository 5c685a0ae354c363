// Groups in the running game: a lever's script switches its group, and
// members made later (another room loading) see the value.

#include <gtest/gtest.h>

#include <string>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZNameComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "framework_game/RunScenarios.h"
#include "game/components/GroupStore.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game_rooms/RoomTestSupport.h"
#include "support/PlayHarness.h"
#include "support/TempDir.h"

namespace {

const std::string kWall = "################################";
const std::string kOpen = "#..............................#";

// Floor at y = 120, the player standing at x = 20.
std::vector<std::string> Hall() {
    std::vector<std::string> rows{kWall};
    rows.insert(rows.end(), 13, kOpen);
    rows.push_back("#.P............................#");
    rows.push_back(kWall);
    return rows;
}

// What a run saw of one member, read in the game.
struct Seen {
    bool found = false;
    bool open = false;
    bool solid = false;  // its collision shape still takes part
};

KorvEntity* FindRoomEntity(const char* name) {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return nullptr;
    KorvEntity* found = nullptr;
    for (KorvEntity* e : game->GetRoomEntities()) {
        const ZNameComponent* n = GetComponent<ZNameComponent>(e);
        if (n != nullptr && n->name == ZHashedString(name)) found = e;
    }
    return found;
}

Seen Look(const char* name) {
    Seen seen;
    KorvEntity* e = FindRoomEntity(name);
    if (e == nullptr) return seen;
    seen.found = true;
    ZDatumEntry open;
    GetComponent<ZDataComponent>(e)->GetDatum(ZHashedString("Open"), open);
    seen.open = open.type == kDatumBool && open.value.boolValue;
    const ZCollisionComponent* c = GetComponent<ZCollisionComponent>(e);
    seen.solid = c != nullptr && c->GetPrimary() != nullptr && c->GetPrimary()->enabled;
    return seen;
}

bool StoredOpen(const char* key) {
    ZDatumEntry v;
    return GetGroupStore() != nullptr && GetGroupStore()->GetData()->GetDatum(ZHashedString(key), v) &&
           v.type == kDatumBool && v.value.boolValue;
}

// The player walks up to a lever and presses Interact; the lever's event
// sets its datum and switches its group. Gates made afterwards read the
// group when they load: the one of the lever's group opens (and stops
// blocking), the one of another group stays shut.
TEST(GroupPlay, APlayerSwitchedLeverOpensTheGatesOfItsGroup) {
    gametest::RunInChild([] {
        korvtest::TempDir defs;
        const char* lever =
            "<E><Name Name='Lever'/><Spatial/><Frob>"
            "<Event Name='OnFrobbed'><Action Text='set Self Open true'/><Action Text='groupset Open'/></Event></Frob>"
            "<Collision><Primitive Type='Box'><Extents><Vector X='6' Y='6' Z='1'/></Extents></Primitive></Collision>"
            "<Data><Datum Name='Open' Type='Bool' Value='false'/></Data><Group Name='Sluice'/></E>";
        const std::string gateParts =
            "<Spatial/><Data><Datum Name='Open' Type='Bool' Value='false'/></Data>"
            "<Collision><Primitive Type='Box'><Extents><Vector X='4' Y='24' Z='1'/></Extents></Primitive></Collision>"
            "<Script><OnFullyLoaded><Action Text='groupget Open'/>"
            "<Query Text='Open == True'><True><Action Text='fakedelete Self'/></True></Query></OnFullyLoaded></Script>";
        ASSERT_TRUE(SaveDefinitionFile(roomtest::Markup(lever), defs.File("PlayLever.zdd").c_str()));
        ASSERT_TRUE(SaveDefinitionFile(roomtest::Markup("<E><Name Name='Gate'/><Group Name='Sluice'/>" + gateParts + "</E>"),
                                       defs.File("PlayGate.zdd").c_str()));
        ASSERT_TRUE(SaveDefinitionFile(roomtest::Markup("<E><Name Name='Other'/><Group Name='Mill'/>" + gateParts + "</E>"),
                                       defs.File("PlayOtherGate.zdd").c_str()));

        Seen leverBefore, leverAfter, gate, other;
        bool stored = false;
        playtest::PlaySetup setup;
        setup.room = Hall();
        setup.prepare = [&](Player& player) {
            ZStreamMgr::GetInstance()->AddDirectorySource(defs.Path().string().c_str());
            // The lever appears where the player stands, as a script's effect does.
            RunCommandText("playfx PlayLever", player.GetHandle(), 0);
            leverBefore = Look("Lever");
        };
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 20) return;
            leverAfter = Look("Lever");
            stored = StoredOpen("GROUP_Sluice_Open");
            RunCommandText("playfx PlayGate", player.GetHandle(), 0);
            RunCommandText("playfx PlayOtherGate", player.GetHandle(), 0);
            gate = Look("Gate");
            other = Look("Other");
        };
        const auto r = playtest::RunPlay(setup, "10 -\n1 interact\n10 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        ASSERT_TRUE(leverBefore.found);
        EXPECT_FALSE(leverBefore.open);
        EXPECT_TRUE(leverAfter.open) << "the player's Interact ran the lever's event";
        EXPECT_TRUE(stored) << "the group store holds the switched value";
        ASSERT_TRUE(gate.found);
        EXPECT_TRUE(gate.open) << "a member made later reads its group";
        EXPECT_FALSE(gate.solid) << "and its own script acts on it";
        ASSERT_TRUE(other.found);
        EXPECT_FALSE(other.open) << "another group's member";
        EXPECT_TRUE(other.solid);
    });
}

// The campaign's own lever and gate, in rooms of the map "Sunken" loaded as
// the game loads them: the lever's room first, then the gate's.
TEST(GroupPlay, TheCampaignsSluiceGateOpensWhenItsRoomLoads) {
    gametest::RunInChild([] {
        Seen before, after;
        bool stored = false;
        playtest::PlaySetup setup;
        setup.room = Hall();
        setup.prepare = [&](Player& player) {
            KorvanthGame* game = KorvanthGame::Get();
            ASSERT_NE(game, nullptr);
            game->LoadCampaign("Sunken");
            MapData& map = game->GetMapData();
            const auto enter = [&](int32_t x, int32_t y) {
                map.currentRoomX = x;
                map.currentRoomY = y;
                game->LoadRoom();
                game->LoadEntityInstances(false);
            };
            enter(4, 1);
            before = Look("Gate");
            enter(5, 1);
            KorvEntity* lever = FindRoomEntity("Lever");
            ASSERT_NE(lever, nullptr);
            ASSERT_NE(GetComponent<ZFrobComponent>(lever), nullptr);
            GetComponent<ZFrobComponent>(lever)->Frob(player.GetHandle());
            stored = StoredOpen("GROUP_SluiceGate_Open");
            enter(4, 1);
            after = Look("Gate");
        };
        const auto r = playtest::RunPlay(setup, "2 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(before.found);
        EXPECT_FALSE(before.open);
        EXPECT_TRUE(before.solid);
        EXPECT_TRUE(stored);
        ASSERT_TRUE(after.found);
        EXPECT_TRUE(after.open);
        EXPECT_FALSE(after.solid);
    });
}

}  // namespace
