// Every verb of the entity command table, run as data runs it, and short
// command lines that must change nothing.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZShadowComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;
using Texts = std::vector<std::string>;

std::vector<ZEntity*>& Spawned() {
    static std::vector<ZEntity*> spawned;
    return spawned;
}

std::vector<int32_t>& DialogCalls() {
    static std::vector<int32_t> calls;
    return calls;
}

uint32_t g_checkpoint = 0;

// Self carries one of every component a verb acts on; Other listens.
struct World {
    World() {
        saved = GetEntityGameHooks();
        GetEntityGameHooks().addSpawnedEntity = [](ZEntity* entity) { Spawned().push_back(entity); };
        GetEntityGameHooks().showDialogText = [](const int32_t what) { DialogCalls().push_back(what); };
        GetEntityGameHooks().onCheckpointReached = [](const uint32_t checkpoint, uint32_t) {
            g_checkpoint = checkpoint;
        };
        Spawned().clear();
        DialogCalls().clear();
        g_checkpoint = 0;
        AddComponent<ZDataComponent>(&self)->ReadDefinition(
            Markup("<Data><Datum Name='Coins' Type='Int' Value='5'/></Data>"));
        AddComponent<ZScriptComponent>(&self)->ReadDefinition(
            Markup("<Script><Function Name='F'><Action Text='ran'/></Function></Script>"));
        AddComponent<ZTimerComponent>(&self);
        AddComponent<ZDialogProviderComponent>(&self)->ReadDefinition(
            Markup("<DialogProvider><Dialog Text='Hi' NoLoc='True'/></DialogProvider>"));
        AddComponent<ZPickupComponent>(&self);
        AddComponent<ZBasingComponent>(&self);
        AddComponent<ZShadowComponent>(&self);
        AddComponent<ZDeleteComponent>(&self);
        AddComponent<ZCheckpointComponent>(&self);
        AddComponent<ZDialogConsumerComponent>(&other);
        AddComponent<ZBasingComponent>(&other);
    }
    ~World() {
        for (ZEntity* entity : Spawned()) {
            delete entity;
        }
        Spawned().clear();
        GetEntityGameHooks() = saved;
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    int32_t Coins() const {
        ZDatumEntry entry;
        GetDatumByHandle(self.GetHandle(), ZHashedString("Coins"), entry);
        return entry.type == kDatumInt ? entry.value.intValue : -1;
    }
    ZDialogConsumerComponent* Consumer() { return GetComponent<ZDialogConsumerComponent>(&other); }

    ZEntityGameHooks saved;
    ZEntity self;
    ZEntity other;
};

TEST(ZEntityCommands, EveryVerb) {
    struct Case {
        const char* text;
        std::function<bool(World&)> check;  // true when the verb did its part
    };
    const Case cases[] = {
        {"add Self Coins 2", [](World& w) { return w.Coins() == 7; }},
        {"INC Self Coins 2", [](World& w) { return w.Coins() == 7; }},
        {"sub Self Coins 2", [](World& w) { return w.Coins() == 3; }},
        {"dec Self Coins 2", [](World& w) { return w.Coins() == 3; }},
        {"cs Self Coins 9", [](World& w) { return w.Coins() == 9; }},
        {"set Self Coins 9", [](World& w) { return w.Coins() == 9; }},
        {"set Other Coins 9", [](World& w) { return w.Coins() == 5; }},
        {"init Self Coins 9", [](World& w) { return w.Coins() == 5; }},
        {"init Self Gems 9",
         [](World& w) {
             ZDatumEntry gems;
             return GetDatumByHandle(w.self.GetHandle(), ZHashedString("Gems"), gems) && gems.value.intValue == 9;
         }},
        {"clear Self", [](World& w) { return w.Coins() == -1; }},
        {"damage Self 3", [](World& w) { return w.Coins() == 5; }},
        {"delete Self perm", [](World& w) { return GetComponent<ZDeleteComponent>(&w.self)->deleteMode == 3; }},
        {"pickup",
         [](World& w) {
             return GetComponent<ZBasingComponent>(&w.self)->parent == &w.other &&
                    GetComponent<ZBasingComponent>(&w.other)->children.Contains(&w.self);
         }},
        {"initdialog", [](World& w) { return w.Consumer()->text == "Hi" && DialogCalls().at(0) == 0; }},
        {"initdialog Other", [](World& w) { return w.Consumer()->text == "Hi"; }},
        {"initdialog Self", [](World& w) { return w.Consumer()->text.IsEmpty(); }},  // Self does not listen
        {"spawn", [](World&) { return Spawned().size() == 3; }},
        {"rest", [](World& w) { return GetComponent<ZShadowComponent>(&w.self)->locked == 1; }},
        {"run Self F", [](World&) { return CommandChain::Log().size() == 1 && CommandChain::Log()[0].words == "ran"; }},
        {"runscript Self F", [](World&) { return CommandChain::Log().size() == 1; }},
        {"runfunction Self F", [](World&) { return CommandChain::Log().size() == 1; }},
        {"timer Self start Fuse",
         [](World& w) { return GetComponent<ZTimerComponent>(&w.self)->HasTimer(ZHashedString("Fuse")); }},
        {"anim Self play Walk", [](World& w) { return w.Coins() == 5; }},
        {"render Self disable", [](World& w) { return w.Coins() == 5; }},
        {"collision Self disable", [](World& w) { return w.Coins() == 5; }},
        {"initphysics Self", [](World& w) { return w.Coins() == 5; }},
        {"respawn Self", [](World& w) { return w.Coins() == 5; }},
        {"checkpoint Self",
         [](World& w) { return g_checkpoint == GetComponent<ZCheckpointComponent>(&w.self)->GetHandle(); }},
    };
    for (const Case& c : cases) {
        const CommandChain chain;
        World world;
        RunCommandText(c.text, world.self.GetHandle(), world.other.GetHandle());
        EXPECT_TRUE(c.check(world)) << c.text;
        const Texts seen = chain.Words();
        EXPECT_TRUE(seen.empty() || seen == Texts{"ran"}) << c.text << ": the game's handler saw the verb";
    }
}

TEST(ZEntityCommands, ShortLinesChangeNothingAndSayWhy) {
    const char* const texts[] = {
        "set Self Coins", "add Self", "init", "clear", "run Self", "timer Self start", "render Self", "delete",
    };
    korvtest::TempDir documents;
    korvtest::TestAppInfo info{"Verb Test"};
    const korvtest::EngineTestEnv env(documents.Path(), &info);
    for (const char* text : texts) {
        const CommandChain chain;
        World world;
        testing::internal::CaptureStdout();
        RunCommandText(text, world.self.GetHandle(), world.other.GetHandle());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(world.Coins(), 5) << text;
        EXPECT_FALSE(GetComponent<ZTimerComponent>(&world.self)->HasTimer(ZHashedString(""))) << text;
        EXPECT_EQ(GetComponent<ZDeleteComponent>(&world.self)->deleteMode, 0) << text;
        EXPECT_TRUE(chain.Words().empty()) << text << ": still taken";
        EXPECT_NE(out.find("ignored"), std::string::npos) << text << " logged: " << out;
    }
}

TEST(ZEntityCommands, InitDialogWithoutATreeOpensNoBox) {
    const CommandChain chain;
    World world;
    ZEntity mute;
    AddComponent<ZDialogProviderComponent>(&mute);
    RunCommandText("initdialog", mute.GetHandle(), world.other.GetHandle());
    EXPECT_TRUE(world.Consumer()->text.IsEmpty());
    EXPECT_EQ(world.Consumer()->provider, 0u);
    EXPECT_EQ(GetComponent<ZDialogProviderComponent>(&mute)->consumer, 0u);
}

}  // namespace

namespace {

ZEntity* g_respawned = nullptr;
ZHashedString g_respawnFile;

// The definition every file of the test reads as: a blackboard with 5 coins.
void CoinsDefinition(ZDefNode& root, ZHashedString) {
    root = Markup("<Entity><Data><Datum Name='Coins' Type='Int' Value='5'/></Data><Respawn/></Entity>");
}

// "respawn" strips the entity and has it made again from the file its respawn
// component names: by the game when it takes it, else by the engine in place.
TEST(ZEntityCommands, RespawnMakesTheEntityAgainFromItsFile) {
    const CommandChain chain;
    ZDefinitionCache* cache = ZDefinitionCache::GetInstance();
    const ZDefinitionCache::LoadCallback savedCallback = cache->GetLoadCallback();
    cache->Clear();
    cache->SetLoadCallback(&CoinsDefinition);
    const ZEntityGameHooks saved = GetEntityGameHooks();
    for (const bool gameTakesIt : {true, false}) {
        SCOPED_TRACE(gameTakesIt ? "the game rebuilds" : "the engine rebuilds");
        GetEntityGameHooks().respawnEntity =
            gameTakesIt ? +[](ZEntity* entity, ZHashedString file) {
                g_respawned = entity;
                g_respawnFile = file;
            }
                        : nullptr;
        g_respawned = nullptr;
        ZEntity entity;
        ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
        data->ReadDefinition(Markup("<Data><Datum Name='Coins' Type='Int' Value='1'/></Data>"));
        RunCommandText("respawn Self", entity.GetHandle(), 0);
        EXPECT_NE(GetComponent<ZDataComponent>(&entity), nullptr) << "no file named: nothing happens";
        AddComponent<ZRespawnComponent>(&entity)->instanceFile = ZHashedString("Chest.zdd");
        RunCommandText("respawn Self", entity.GetHandle(), 0);
        ZDatumEntry coins;
        if (gameTakesIt) {
            EXPECT_EQ(g_respawned, &entity);
            EXPECT_EQ(g_respawnFile, ZHashedString("Chest.zdd"));
            EXPECT_EQ(GetComponent<ZDataComponent>(&entity), nullptr) << "every component went";
        } else {
            ASSERT_TRUE(GetDatumByHandle(entity.GetHandle(), ZHashedString("Coins"), coins));
            EXPECT_EQ(coins.value.intValue, 5) << "made again from the file";
            ASSERT_NE(GetComponent<ZRespawnComponent>(&entity), nullptr);
            EXPECT_EQ(GetComponent<ZRespawnComponent>(&entity)->instanceFile, ZHashedString("Chest.zdd"));
        }
    }
    GetEntityGameHooks() = saved;
    cache->SetLoadCallback(savedCallback);
    cache->Clear();
}

}  // namespace
