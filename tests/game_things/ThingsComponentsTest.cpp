// The game's things on their own: powerup ids from their words, teleport
// destinations built from definitions, doors found, entered and prompted,
// and the give-items cheat.

#include <gtest/gtest.h>

#include <string>

#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "game/components/DoorComponent.h"
#include "game/components/PowerupComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/player/PlayerStatus.h"
#include "renderer/ZCamera.h"

namespace {

ZDefNode Markup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    EXPECT_EQ(nodes.Count(), 1u) << text;
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

// Records the command texts events run, with their two handles.
struct Ran {
    std::string text;
    uint32_t context = 0;
    uint32_t other = 0;
};
std::vector<Ran>& RanTexts() {
    static std::vector<Ran> ran;
    return ran;
}
bool Record(const ZHashedString*, const ZArray<ZString>& words, const uint32_t context, const uint32_t other) {
    std::string text;
    for (const ZString& word : words) text += (text.empty() ? "" : " ") + std::string(word.GetText());
    RanTexts().push_back({text, context, other});
    return true;
}
struct Recorder {
    Recorder() {
        RanTexts().clear();
        ClearCommandHandlers();
        RegisterCommandHandler(&Record);
    }
    ~Recorder() { ClearCommandHandlers(); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
};

}  // namespace

TEST(PowerupComponent, MakeAndModelGiveTheItemsId) {
    struct Case {
        const char* markup;
        uint32_t id;
    };
    const Case cases[] = {
        {"<Powerup Make='aura' Model='red'/>", 0x10001},
        {"<Powerup Make='AURA' Model='Blue'/>", 0x10002},
        {"<Powerup Make='aura' Model='yellow'/>", 0x10004},
        {"<Powerup Make='boots' Model='doublejump'/>", 0x20002},
        {"<Powerup Make='boots' Model='rocket'/>", 0},
        {"<Powerup Make='gloves' Model='climbing'/>", 0x30001},
        {"<Powerup Make='mask' Model='hidden'/>", 0x40001},
        {"<Powerup Make='badge' Model='pass'/>", 0x50001},
        {"<Powerup Make='suit' Model='toxic'/>", 0x60002},
        {"<Powerup Make='key' Model='master'/>", 0x70001},
        {"<Powerup Make='pass' Model='arc'/>", 0x80001},
        {"<Powerup Make='pass' Model='styx'/>", 0x80002},
        {"<Powerup Make='pass' Model='pass'/>", 0},
        {"<Powerup Make='trinket' Model='necklace'/>", 0x90001},
        {"<Powerup Make='trinkets' Model='necklace'/>", 0},
        {"<Powerup Model='red'/>", 0},
        {"<Powerup Make='aura'/>", 0},
    };
    for (const Case& c : cases) {
        ZEntity pickup;
        PowerupComponent* const powerup = AddComponent<PowerupComponent>(&pickup);
        powerup->ReadDefinition(Markup(c.markup));
        EXPECT_EQ(powerup->powerupId, c.id) << c.markup;
    }
    // A node without its words still reads its events.
    ZEntity pickup;
    PowerupComponent* const powerup = AddComponent<PowerupComponent>(&pickup);
    powerup->ReadDefinition(Markup("<Powerup Model='red'><Event Name='OnTaken'><Action Text='x'/></Event></Powerup>"));
    EXPECT_TRUE(powerup->HasEvent(ZHashedString("OnTaken")));
    EXPECT_EQ(powerup->GetSerialName(), ZHashedString("Powerup"));
}

TEST(TeleportComponent, ElementsBuildDestinationsFieldByField) {
    ZEntity door;
    TeleportComponent* const teleport = AddComponent<TeleportComponent>(&door);
    teleport->ReadDefinition(Markup("<Teleport Name='Home' Map='Caverns' MapX='2' MapY=' -1 '/>"));
    teleport->ReadDefinition(Markup("<Teleport Name='Home' Entity='Start' Save='true'/>"));
    teleport->ReadDefinition(Markup("<Teleport Name='Half' MapX='5'/>"));
    teleport->ReadDefinition(Markup("<Teleport Name='Bare'/>"));
    const TeleportComponent::Destination& home = teleport->FindOrAddDestination(ZHashedString("Home"));
    EXPECT_EQ(home.map, ZHashedString("Caverns"));
    EXPECT_EQ(home.roomX, 2);
    EXPECT_EQ(home.roomY, -1);
    EXPECT_EQ(home.arrival, ZHashedString("Start"));
    EXPECT_TRUE(home.save);
    EXPECT_FALSE(home.wipe);
    EXPECT_EQ(teleport->GetDestinationArrival(ZHashedString("Home")), ZHashedString("Start"));
    EXPECT_EQ(teleport->destinations.Count(), 1u) << "MapX alone and a bare name make no record";
    const TeleportComponent::Destination& half = teleport->FindOrAddDestination(ZHashedString("Half"));
    EXPECT_EQ(half.roomX, 0);
    EXPECT_EQ(teleport->destinations.Count(), 2u) << "asking for a name makes its record";
    EXPECT_EQ(half.map, ZHashedString(""));

    const struct {
        const char* text;
        bool set;
    } flags[] = {{"true", true}, {"TRUE", true}, {"1", false}, {"yes", false}, {"", false}};
    for (const auto& f : flags) {
        ZEntity e;
        TeleportComponent* const t = AddComponent<TeleportComponent>(&e);
        t->ReadDefinition(Markup(std::string("<Teleport Name='A' Wipe='") + f.text + "' Save='" + f.text + "'/>"));
        EXPECT_EQ(t->FindOrAddDestination(ZHashedString("A")).wipe, f.set) << f.text;
        EXPECT_EQ(t->FindOrAddDestination(ZHashedString("A")).save, f.set) << f.text;
    }

    // A destination without a name is filed under the empty name.
    teleport->ReadDefinition(Markup("<Teleport Map='Overworld'/>"));
    EXPECT_EQ(teleport->GetDestinationMap(ZHashedString("")), ZHashedString("Overworld"));

    // The built-in destinations autosave and never wipe.
    teleport->FindOrAddDestination(ZHashedString("Hall")).wipe = true;
    teleport->SetDestination(ZHashedString("Hall"), ZHashedString("Town Interiors"), 13, 0,
                             ZHashedString("FromSpeedrun"));
    const TeleportComponent::Destination& hall = teleport->FindOrAddDestination(ZHashedString("Hall"));
    EXPECT_TRUE(hall.save);
    EXPECT_FALSE(hall.wipe);
    EXPECT_EQ(hall.roomX, 13);
    EXPECT_EQ(hall.map, ZHashedString("Town Interiors"));
}

namespace {

// Someone who walks up to doors: a place, a facing and the point it stands
// on, and a door with a box of the door category beside it.
struct DoorScene {
    DoorScene() {
        spatial = AddComponent<ZSpatialComponent>(&walker);
        ZCollisionComponent* const collision = AddComponent<ZCollisionComponent>(&walker);
        AddComponent<ZFacingComponent>(&walker);
        auto* const point = new ZCollisionPoint();
        point->SetOwner(spatial);
        point->filterMask = 0;
        collision->SetPrimitive(ZHashedString("FrobSweep").GetId(), point);
        seeker = AddComponent<DoorComponent>(&walker);
        seeker->sweepShape = ZHashedString("FrobSweep");
        seeker->doorMask = 0x80000u;

        ZSpatialComponent* const doorSpatial = AddComponent<ZSpatialComponent>(&doorEntity);
        doorSpatial->current.position = ZVector3(100.0f, 50.0f, 0.0f);
        doorSpatial->ResetInterpolation();
        AddComponent<ZCollisionComponent>(&doorEntity)
            ->ReadDefinition(Markup("<Collision><Primitive Type='Box' Filter='80000'>"
                                    "<Extents><Vector X='8' Y='12' Z='1'/></Extents></Primitive></Collision>"));
        door = AddComponent<DoorComponent>(&doorEntity);
        door->ReadDefinition(Markup("<Door><Event Name='OnFrobbed'><Action Text='teleport Other Home'/></Event></Door>"));
    }
    void StandAt(const float x, const float y) {
        spatial->current.position = ZVector3(x, y, 0.0f);
        spatial->ResetInterpolation();
    }

    ZEntity walker;
    ZEntity doorEntity;
    ZSpatialComponent* spatial = nullptr;
    DoorComponent* seeker = nullptr;
    DoorComponent* door = nullptr;
};

bool Refuse(ZEntity*, uint32_t) { return false; }
uint32_t g_enteredBy = 0;

}  // namespace

TEST(DoorComponent, TheDoorStoodAtIsTheTargetWhenBothSidesAgree) {
    const Recorder recorder;
    DoorScene scene;
    scene.StandAt(30.0f, 50.0f);
    scene.seeker->UpdateTarget();
    EXPECT_EQ(scene.seeker->GetTarget(), 0u) << "no door in reach";
    EXPECT_FALSE(scene.seeker->Enter());
    EXPECT_TRUE(RanTexts().empty());

    scene.StandAt(104.0f, 58.0f);
    scene.seeker->UpdateTarget();
    EXPECT_EQ(scene.seeker->GetTarget(), scene.doorEntity.GetHandle());

    scene.door->SetMayBeEnteredHook(&Refuse);
    EXPECT_EQ(scene.seeker->FindDoorTarget(), 0u) << "a door that refuses is never the target";
    scene.door->SetMayBeEnteredHook(nullptr);
    scene.seeker->SetMayEnterHook(&Refuse);
    EXPECT_EQ(scene.seeker->FindDoorTarget(), 0u) << "nor one the walker may not enter";
    scene.seeker->SetMayEnterHook(nullptr);

    // Another category does not count as a door.
    scene.seeker->doorMask = 0x100000u;
    EXPECT_EQ(scene.seeker->FindDoorTarget(), 0u);
    scene.seeker->doorMask = 0x80000u;

    // Entering runs the door's own event: the door is the context, the
    // walker the other; the walker's own "OnFrobbed" does not fire.
    scene.seeker->ReadDefinition(Markup("<Door><Event Name='OnFrobbed'><Action Text='mine'/></Event></Door>"));
    scene.door->SetOnEnterHook([](ZEntity*, const uint32_t entering) { g_enteredBy = entering; });
    EXPECT_TRUE(scene.seeker->Enter());
    EXPECT_EQ(g_enteredBy, scene.walker.GetHandle());
    ASSERT_EQ(RanTexts().size(), 1u);
    EXPECT_EQ(RanTexts()[0].text, "teleport Other Home");
    EXPECT_EQ(RanTexts()[0].context, scene.door->GetHandle());
    EXPECT_EQ(RanTexts()[0].other, scene.walker.GetHandle());
}

TEST(DoorComponent, AnEntryThatTakesTheDoorAwayAnswersFalse) {
    const Recorder recorder;
    DoorScene scene;
    auto* const doomed = new ZEntity();
    AddComponent<DoorComponent>(doomed)->SetOnEnterHook([](ZEntity* owner, uint32_t) { delete owner; });
    scene.seeker->target = doomed->GetHandle();
    EXPECT_FALSE(scene.seeker->Enter());
    EXPECT_TRUE(RanTexts().empty()) << "no event of a door that is gone";
    EXPECT_FALSE(scene.seeker->Enter()) << "a target that is gone is none";
}

// A target without a door component (it never had one, or lost it) is
// skipped: nothing fires, and the entry still answers that there was a target.
TEST(DoorComponent, ATargetWithoutADoorIsSkipped) {
    const Recorder recorder;
    DoorScene scene;
    ZEntity bare;
    AddComponent<ZSpatialComponent>(&bare);
    scene.seeker->target = bare.GetHandle();
    EXPECT_TRUE(scene.seeker->Enter());
    EXPECT_TRUE(RanTexts().empty());
    scene.seeker->target = 0;
    EXPECT_FALSE(scene.seeker->Enter()) << "no target";
}

TEST(DoorComponent, ThePromptIsCentred24PixelsAboveTheDoor) {
    DoorScene scene;
    ZCamera camera(30.0f, 256.0f / 224.0f, 1.0f, 100.0f);
    AddComponent<ZCameraComponent>(&scene.walker)->camera = &camera;
    float x = 0.0f;
    float y = 0.0f;
    EXPECT_FALSE(scene.seeker->GetPromptPosition(x, y)) << "no target, no prompt";
    scene.seeker->target = scene.doorEntity.GetHandle();
    camera.position = ZVector3(100.0f, 50.0f, 0.0f);
    ASSERT_TRUE(scene.seeker->GetPromptPosition(x, y));
    EXPECT_FLOAT_EQ(x, 128.5f);
    EXPECT_FLOAT_EQ(y, 88.5f);
    camera.position = ZVector3(90.3f, 60.0f, 0.0f);
    ASSERT_TRUE(scene.seeker->GetPromptPosition(x, y));
    EXPECT_FLOAT_EQ(x, 138.5f);
    EXPECT_FLOAT_EQ(y, 78.5f);
    AddComponent<ZCameraComponent>(&scene.walker)->camera = nullptr;
    EXPECT_FALSE(scene.seeker->GetPromptPosition(x, y)) << "no camera, no prompt";
}

TEST(PlayerStatus, GiveAllItemsWritesTheFinishedGamesCounts) {
    ZEntity player;
    ZDataComponent* const data = AddComponent<ZDataComponent>(&player);
    GiveAllItems(player);
    const struct {
        const char* key;
        int32_t value;
    } expected[] = {{"smcubes", 128}, {"smcubes_total", 128}, {"bgcubes", 6}, {"keys", 20}};
    for (const auto& e : expected) {
        ZDatumEntry entry;
        ASSERT_TRUE(data->GetDatum(ZHashedString(e.key), entry)) << e.key;
        EXPECT_EQ(entry.value.intValue, e.value) << e.key;
    }
    ZEntity nobody;
    GiveAllItems(nobody);  // without a data component nothing happens
}
