// Checkpoints, GUIDs and the entity state kept in "autosave.zsd"; the small
// components of this folder and the entity verbs that use them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZLocProxyComponent.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "renderer/ZRenderable.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;

TEST(ZGUIDComponent, ReadsHexadecimalGUIDs) {
    struct Case {
        const char* element;
        uint32_t guid;
    };
    const Case cases[] = {
        {"<GUID GUID='1a2B3c4D'/>", 0x1A2B3C4Du},
        {"<GUID GUID='0x0000BEEF'/>", 0xBEEFu},
        {"<GUID GUID=''/>", 0u},
        {"<GUID/>", 7u},  // no attribute: unchanged
    };
    for (const Case& c : cases) {
        ZGUIDComponent guid;
        guid.guid = 7;
        guid.ReadDefinition(Markup(c.element));
        EXPECT_EQ(guid.guid, c.guid) << c.element;
    }
    ZGUIDComponent kept;
    kept.guid = 9;
    kept.ReadDefinition(ZDefNode::GetEmptyNode());
    EXPECT_EQ(kept.guid, 9u);
}

TEST(ZLocProxyComponent, KeysMapToSections) {
    ZLocProxyComponent proxy;
    proxy.ReadDefinition(Markup("<Loc Key='Greeting' Text='Hi' Section='Village'/>"));
    proxy.ReadDefinition(Markup("<Loc Key='NoText' Section='Village'/>"));
    proxy.ReadDefinition(Markup("<Loc Key='greeting' Text='Hi' Section='Castle'/>"));
    EXPECT_EQ(proxy.FindSection(ZHashedString("Greeting")), ZHashedString("Castle"));
    EXPECT_FALSE(proxy.sections.Contains(ZHashedString("NoText")));
    EXPECT_EQ(proxy.FindSection(ZHashedString("Unknown")), ZHashedString(""));
    EXPECT_TRUE(proxy.sections.Contains(ZHashedString("Unknown")));
}

// An entity made from its definition as the game makes one.
ZEntity* MakeEntity(const char* markup) {
    static const bool installed = [] {
        RegisterComponentFactory(CreateComponentByName);
        return true;
    }();
    (void)installed;
    auto* entity = new ZEntity();
    entity->CreateComponentsFromNode(entitytest::CompileMarkup(markup));
    return entity;
}

const char* const kCheckpoint =
    "<Entity><GUID GUID='00000C4E'/>"
    "<Checkpoint><Event Name='OnTouch'><Action Text='set Self Reached true'/><Action Text='checkpoint Self'/></Event>"
    "</Checkpoint>"
    "<Data><Datum Name='Reached' Type='Bool' Value='false'/><Datum Name='Visits' Type='Int' Value='0'/></Data>"
    "<Script><OnFullyLoaded><Action Text='inc Self Visits 1'/></OnFullyLoaded></Script>"
    "<Respawn/></Entity>";

uint32_t g_checkpoint = 0;
uint32_t g_reachedBy = 0;

TEST(ZEntityState, ACheckpointsStateGoesThroughTheAutosaveFile) {
    const korvtest::TempDir documents;
    const korvtest::EngineTestEnv env(documents.Path());
    const CommandChain chain;
    GetEntityGameHooks().onCheckpointReached = [](uint32_t checkpoint, uint32_t context) {
        g_checkpoint = checkpoint;
        g_reachedBy = context;
    };
    GetStateStore()->Clear();
    const std::string path = GetAutosavePath("Test Game", true);

    ZEntity player;
    ZEntity* checkpoint = MakeEntity(kCheckpoint);
    ZCheckpointComponent* marker = GetComponent<ZCheckpointComponent>(checkpoint);
    ASSERT_NE(marker, nullptr);
    ZDefinedComponent::FireEvent(marker, ZHashedString("OnTouch"), marker->GetHandle(), player.GetHandle());
    EXPECT_EQ(g_checkpoint, marker->GetHandle());
    EXPECT_EQ(g_reachedBy, marker->GetHandle());

    SaveEntityState(checkpoint);
    delete checkpoint;
    ASSERT_TRUE(GetStateStore()->Save(path.c_str()));
    GetStateStore()->Clear();

    ASSERT_TRUE(GetStateStore()->Load(path.c_str()));
    ASSERT_TRUE(GetStateStore()->Has(0xC4Eu));
    ZEntity* again = MakeEntity(kCheckpoint);
    RestoreEntityState(again, ZHashedString("Checkpoint.zdd"), 0);
    ZDatumEntry reached;
    ZDatumEntry visits;
    ASSERT_TRUE(GetDatumByHandle(again->GetHandle(), ZHashedString("Reached"), reached));
    ASSERT_TRUE(GetDatumByHandle(again->GetHandle(), ZHashedString("Visits"), visits));
    EXPECT_TRUE(reached.value.boolValue);
    EXPECT_EQ(visits.value.intValue, 1);
    EXPECT_EQ(GetComponent<ZRespawnComponent>(again)->instanceFile, ZHashedString("Checkpoint.zdd"));
    delete again;

    GetEntityGameHooks() = ZEntityGameHooks();
    GetStateStore()->Clear();
}

TEST(ZEntityState, EntitiesWithoutGUIDAreNotSavedAndTheGameMayTakeOver) {
    GetStateStore()->Clear();
    ZEntity plain;
    AddComponent<ZDataComponent>(&plain)->ReadDefinition(Markup("<Data><Datum Name='A' Type='Int' Value='1'/></Data>"));
    SaveEntityState(&plain);
    SaveEntityState(nullptr);
    EXPECT_EQ(GetStateStore()->Count(), 0u);

    static int taken = 0;
    GetEntityStateList()->saveCallback = [](ZEntity*) { ++taken; };
    AddComponent<ZGUIDComponent>(&plain)->guid = 5;
    SaveEntityState(&plain);
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(GetStateStore()->Count(), 0u);
    GetEntityStateList()->saveCallback = nullptr;
    SaveEntityState(&plain);
    EXPECT_EQ(GetStateStore()->Count(), 1u);
    GetStateStore()->Clear();
}

TEST(ZEntityCommands, DeleteAndRenderVerbs) {
    struct Case {
        const char* text;
        int32_t mode;       // the delete component's mode afterwards
        bool visible;       // the drawable afterwards
        bool hasRecord;     // a semi-permanent record with the session
    };
    const Case cases[] = {
        {"delete Self", 1, false, false},
        {"delete Self Permanently", 3, false, false},
        {"delete Self PERM", 3, false, false},
        {"delete Self semipermanent", 2, false, true},
        {"delete Self semi", 1, false, false},
        {"delete Other", 0, true, false},
        {"render Self disable", 0, false, false},
        {"render Self enable", 0, true, false},
        {"render Self sideways", 0, true, false},
        {"render", 0, true, false},
    };
    GetEntityGameHooks().getSessionId = [] { return 0xABCu; };
    for (const Case& c : cases) {
        const CommandChain chain;
        ZEntity entity;
        ZDeleteComponent* deletion = AddComponent<ZDeleteComponent>(&entity);
        ZRenderableComponent* renderable = AddComponent<ZRenderableComponent>(&entity);
        ZRenderable drawable;
        renderable->AddRenderable(ZHashedString("Body"), &drawable);
        RunCommandText(c.text, entity.GetHandle(), 0);
        EXPECT_EQ(deletion->deleteMode, c.mode) << c.text;
        EXPECT_EQ(drawable.visible, c.visible) << c.text;
        EXPECT_EQ(deletion->deleteRecord.GetAttribute(ZHashedString("SessionGUID")) == "00000abc", c.hasRecord)
            << c.text;
        EXPECT_TRUE(chain.Words().empty()) << c.text;
        renderable->renderables.Clear();
    }
    GetEntityGameHooks() = ZEntityGameHooks();
}

TEST(ZEntityCommands, BlackboardVerbs) {
    const CommandChain chain;
    ZEntity entity;
    ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
    const uint32_t self = entity.GetHandle();
    const char* const texts[] = {
        "set Self Coins 10", "inc Self Coins 5", "dec Self Coins 2", "sub Self Coins 1", "add Self Coins 3",
        "init Self Coins 100", "init Self Fresh 7", "cs Self Copy Coins", "set Self", "inc",
    };
    for (const char* text : texts) {
        RunCommandText(text, self, 0);
    }
    ZDatumEntry entry;
    ASSERT_TRUE(data->GetDatum(ZHashedString("Coins"), entry));
    EXPECT_EQ(entry.value.intValue, 15);
    ASSERT_TRUE(data->GetDatum(ZHashedString("Fresh"), entry));
    EXPECT_EQ(entry.value.intValue, 7);
    ASSERT_TRUE(data->GetDatum(ZHashedString("Copy"), entry));
    EXPECT_EQ(entry.value.intValue, 15);  // a datum name as the value reads that datum
    RunCommandText("clear Self", self, 0);
    EXPECT_FALSE(data->HasDatum(ZHashedString("Coins")));
    EXPECT_TRUE(chain.Words().empty());
}

}  // namespace

namespace {

TEST(ZEntity, SpawnsFromADefinitionFileWhenTheGameAllowsIt) {
    const korvtest::TempDir dir;
    const ZDefNode coin = entitytest::CompileMarkup(
        "<Entity><Data><Datum Name='Value' Type='Int' Value='5'/></Data><Pickup/></Entity>");
    ASSERT_TRUE(SaveDefinitionFile(coin, dir.File("Coin.zdd").c_str()));
    ZStreamMgr::GetInstance()->AddDirectorySource(dir.Path().string().c_str());
    ZDefinitionCache::GetInstance()->Clear();
    delete MakeEntity("<Entity/>");  // installs the engine's factory

    ZEntity* spawned = SpawnEntityFromDefinition(ZHashedString("coin.zdd"));
    ASSERT_NE(spawned, nullptr);
    ZDatumEntry value;
    EXPECT_TRUE(GetDatumByHandle(spawned->GetHandle(), ZHashedString("Value"), value));
    EXPECT_EQ(value.value.intValue, 5);
    EXPECT_NE(GetComponent<ZPickupComponent>(spawned), nullptr);
    delete spawned;

    GetEntityGameHooks().shouldCreateEntity = [](ZHashedString) { return false; };
    EXPECT_EQ(SpawnEntityFromDefinition(ZHashedString("Coin.zdd")), nullptr);
    GetEntityGameHooks() = ZEntityGameHooks();
    ZDefinitionCache::DestroyInstance();
    ZStreamMgr::DestroyInstance();
}

}  // namespace
