// Events read from definitions run their actions now or deferred, and their
// queries branch on conditions; a component may vanish while its event runs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentReaders.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZHandleRegistry.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;
using Texts = std::vector<std::string>;

TEST(ZDefinedComponent, EventsFireTheirActionsAndQueryBranches) {
    struct Case {
        const char* name;
        const char* definition;
        Texts now;       // texts run while the event fires
        Texts deferred;  // texts run by the next deferred pass
    };
    const Case cases[] = {
        {"the later of two events of one name wins",
         "<Data><Event Name='OnTouch'><Action Text='first'/></Event>"
         "<Event Name='ontouch'><Action Text='second'/></Event></Data>",
         {"second"}, {}},
        {"an event without a name never fires",
         "<Data><Event><Action Text='nameless'/></Event></Data>", {}, {}},
        {"Defer TRUE queues, yes and 1 run at once",
         "<Data><Event Name='OnTouch'><Action Text='a' Defer='TRUE'/><Action Text='b' Defer='yes'/>"
         "<Action Text='c' Defer='1'/></Event></Data>",
         {"b", "c"}, {"a"}},
        {"both True branches run in order",
         "<Data><Event Name='OnTouch'><Query Text='1 == 1'><True><Action Text='t1'/></True>"
         "<False><Action Text='f'/></False><True><Action Text='t2'/></True></Query></Event></Data>",
         {"t1", "t2"}, {}},
        {"a false condition without False runs nothing",
         "<Data><Event Name='OnTouch'><Query Text='1 == 2'><True><Action Text='t'/></True></Query>"
         "<Action Text='after'/></Event></Data>",
         {"after"}, {}},
        {"queries nest, and other elements are skipped",
         "<Data><Event Name='OnTouch'><Note Text='skip'/><Query Text='2 > 1'><True><Query Text='1 &gt; 2'>"
         "<False><Action Text='deep'/></False></Query></True></Query></Event></Data>",
         {"deep"}, {}},
        {"an action without text runs nothing", "<Data><Event Name='OnTouch'><Action/></Event></Data>", {}, {}},
    };
    for (const Case& c : cases) {
        const CommandChain chain;
        ZEntity entity;
        ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
        data->ReadDefinition(Markup(c.definition));
        ZDefinedComponent::FireEvent(data, ZHashedString("OnTouch"), data->GetHandle(), 0);
        EXPECT_EQ(chain.Words(), c.now) << c.name;
        CommandChain::Log().clear();
        RunDeferredCommands();
        EXPECT_EQ(chain.Words(), c.deferred) << c.name;
    }
}

TEST(ZDefinedComponent, ActionsSeeTheEventsHandles) {
    const CommandChain chain;
    ZEntity entity;
    ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
    data->ReadDefinition(Markup("<Data><Event Name='OnFrobbed'><Action Text='hello'/></Event></Data>"));
    ZDefinedComponent::FireEvent(data, ZHashedString("OnFrobbed"), 11, 22);
    ZDefinedComponent::FireEvent(data, ZHashedString("OnMissing"), 11, 22);
    ASSERT_EQ(CommandChain::Log().size(), 1u);
    EXPECT_EQ(CommandChain::Log()[0].context, 11u);
    EXPECT_EQ(CommandChain::Log()[0].other, 22u);
}

// A verb that deletes the entity that the context names, as a respawn does.
bool DeleteContextEntity(const ZHashedString* verb, const ZArray<ZString>& /*words*/, const uint32_t context,
                         uint32_t /*other*/) {
    if (*verb != ZHashedString("vanish")) {
        return false;
    }
    delete ResolveComponent<ZEntity>(FindObjectByHandle(context));
    return true;
}

TEST(ZDefinedComponent, AnEventMayDeleteItsOwnEntity) {
    const CommandChain chain(DeleteContextEntity);
    struct Case {
        const char* name;
        const char* definition;
        void (*fire)(ZEntity* entity);
    };
    const Case cases[] = {
        {"event",
         "<Data><Event Name='OnTouch'><Action Text='vanish'/><Query Text='Coins == 0'><True>"
         "<Action Text='after'/></True></Query><Action Text='after'/></Event></Data>",
         [](ZEntity* e) {
             ZDataComponent* data = GetComponent<ZDataComponent>(e);
             ZDefinedComponent::FireEvent(data, ZHashedString("OnTouch"), data->GetHandle(), 0);
         }},
        {"script",
         "<Script><Function Name='Go'><Action Text='vanish'/><Action Text='after'/></Function>"
         "<Function Name='go'><Action Text='after'/></Function></Script>",
         [](ZEntity* e) {
             ZScriptComponent* script = GetComponent<ZScriptComponent>(e);
             script->RunFunction(ZString("GO"), script->GetHandle(), 0);
         }},
        {"timer",
         "<Timer><Timer Name='A' Duration='0.5'><OnElapsed><Action Text='vanish'/><Action Text='after'/>"
         "</OnElapsed></Timer><Timer Name='B' Duration='0.5'><OnElapsed><Action Text='after'/></OnElapsed>"
         "</Timer></Timer>",
         [](ZEntity* e) {
             ZTimerComponent* timers = GetComponent<ZTimerComponent>(e);
             timers->Command(ZString("start"), ZHashedString("A"));
             timers->Command(ZString("start"), ZHashedString("B"));
             timers->Update(1.0f, 6);
         }},
    };
    for (const Case& c : cases) {
        CommandChain::Log().clear();
        auto* entity = new ZEntity();
        const uint32_t handle = entity->GetHandle();
        const ZDefNode root = Markup("<Entity>" + std::string(c.definition) + "</Entity>");
        ZDefNode element = root.children[0];
        ZComponent* component = c.name == std::string("event")     ? AddComponent<ZDataComponent>(entity)
                                : c.name == std::string("script") ? static_cast<ZComponent*>(AddComponent<ZScriptComponent>(entity))
                                                                  : AddComponent<ZTimerComponent>(entity);
        static_cast<ZDefinedComponent*>(component)->ReadDefinition(element);
        c.fire(entity);  // the sanitizer build reports any use of the freed entity
        EXPECT_EQ(FindObjectByHandle(handle), nullptr) << c.name;
        EXPECT_FALSE(CommandChain::Log().empty()) << c.name << ": the rest of the walk still runs";
    }
}

TEST(ZSerialComponent, SaveIntoAddsOnlyElementsThatGotSomething) {
    ZDataComponent empty;
    ZDataComponent filled;
    filled.ReadDefinition(Markup("<Data><Datum Name='Coins' Type='Int' Value='2'/></Data>"));
    ZDefNode parent;
    empty.SaveInto(parent);
    EXPECT_EQ(parent.children.Count(), 0u);
    filled.SaveInto(parent);
    ASSERT_EQ(parent.children.Count(), 1u);
    EXPECT_EQ(parent.children[0].name, ZHashedString("Data"));
}

TEST(ZComponentReaders, VectorsAndRotationsFromAttributes) {
    const ZVector3 v = ReadVector3(Markup("<P X='1.5' Z='-2'/>"));
    EXPECT_EQ(v, ZVector3(1.5f, 0.0f, -2.0f));
    ZVector3 kept(7.0f, 8.0f, 9.0f);
    ReadVector3Into(Markup("<P Y='abc'/>"), kept);
    EXPECT_EQ(kept, ZVector3(7.0f, 0.0f, 9.0f));
    const ZQuaternion q = ReadRotation(Markup("<R Angle='3.14159265'><Axis Z='1'/></R>"));
    EXPECT_NEAR(q.w, 0.0f, 1e-6f);
    EXPECT_NEAR(q.z, 1.0f, 1e-6f);
    const ZQuaternion none = ReadRotation(Markup("<R/>"));
    EXPECT_EQ(none, ZQuaternion(1.0f, 0.0f, 0.0f, 0.0f));
}

}  // namespace
