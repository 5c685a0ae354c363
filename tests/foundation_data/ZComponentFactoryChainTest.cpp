#include "entity/ZComponentFactoryChain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataFilesFixture.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"

namespace {

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

// Stand-ins for the entity system: a component records which factory made it
// and the settings it was handed.
struct TestComponent;

struct TestEntity {
    std::vector<TestComponent*> components;
};

struct TestComponent {
    std::string madeBy;
    ZHashedString kind;
    ZDefNode settings;
};

using Chain = ZFactoryChain<TestEntity, TestComponent>;

TestComponent* Make(TestEntity* entity, const char* factory, const ZHashedString kind) {
    auto* component = new TestComponent{factory, kind, ZDefNode()};
    entity->components.push_back(component);
    return component;
}

// The engine's factory knows Physics and Facing; the game's knows Facing and Npc.
TestComponent* EngineFactory(TestEntity* entity, const ZHashedString kind) {
    return kind == Name("Physics") || kind == Name("Facing") ? Make(entity, "engine", kind) : nullptr;
}

TestComponent* GameFactory(TestEntity* entity, const ZHashedString kind) {
    return kind == Name("Facing") || kind == Name("Npc") ? Make(entity, "game", kind) : nullptr;
}

class ZComponentFactoryChainTest : public datatest::DataFilesTest {
protected:
    void TearDown() override {
        for (TestComponent* component : m_entity.components) {
            delete component;
        }
        DataFilesTest::TearDown();
    }

    TestEntity m_entity;
};

TEST_F(ZComponentFactoryChainTest, TheFirstRegisteredFactoryThatKnowsAKindMakesIt) {
    Chain chain;
    EXPECT_EQ(chain.Create(&m_entity, Name("Physics")), nullptr);
    chain.Register(nullptr);
    chain.Register(&EngineFactory);
    chain.Register(&GameFactory);

    struct Case {
        const char* kind;
        const char* madeBy;  // null: nobody knows it
    };
    const Case cases[] = {
        {"Physics", "engine"}, {"facing", "engine"}, {"Npc", "game"}, {"Teleport", nullptr}};
    for (const Case& c : cases) {
        const TestComponent* made = chain.Create(&m_entity, Name(c.kind));
        if (c.madeBy == nullptr) {
            EXPECT_EQ(made, nullptr) << c.kind;
        } else {
            ASSERT_NE(made, nullptr) << c.kind;
            EXPECT_EQ(made->madeBy, c.madeBy) << c.kind;
        }
    }
}

TEST_F(ZComponentFactoryChainTest, ADefinitionMakesOneComponentPerKnownChildInOrder) {
    const std::string markup =
        "<Entity><Physics Mass='2'/><Unknown/><Npc Name='Vell'/><Physics "
        "Mass='3'><Shape/></Physics></Entity>";
    ZArray<ZMarkupNode*> parsed;
    ParseMarkupNode(parsed, markup.data(), markup.size(), nullptr);
    ZArray<ZDefNode> roots;
    BuildDefinitionNodes(roots, parsed);
    ASSERT_TRUE(SaveDefinitionFile(roots[0], m_data.File("Vell.zdd").c_str()));

    Chain chain;
    chain.Register(&EngineFactory);
    chain.Register(&GameFactory);
    ZDefinitionCache cache;
    const auto read = [](TestComponent* component, const ZDefNode& settings) {
        component->settings = settings;
    };
    EXPECT_EQ(chain.CreateFromDefinition(&m_entity, cache.GetDefinitionFile(Name("Vell.zdd")), read), 3u);

    ASSERT_EQ(m_entity.components.size(), 3u);
    const char* const kinds[] = {"Physics", "Npc", "Physics"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m_entity.components[i]->kind, Name(kinds[i])) << i;
        EXPECT_EQ(m_entity.components[i]->settings.name, Name(kinds[i])) << i;
    }
    EXPECT_EQ(m_entity.components[2]->settings.GetAttribute(Name("Mass")), "3");
    EXPECT_EQ(m_entity.components[2]->settings.children.Count(), 1u);

    // A missing definition is an empty tree and makes nothing.
    EXPECT_EQ(chain.CreateFromDefinition(&m_entity, cache.GetDefinitionFile(Name("Nobody.zdd")), read), 0u);
    EXPECT_EQ(m_entity.components.size(), 3u);
}

TEST_F(ZComponentFactoryChainTest, TheProcessWideChainUsesTheProcessWideCache) {
    // Nothing registered in this program: every kind is unknown.
    EXPECT_EQ(CreateComponentFromFactories(nullptr, Name("Physics")), nullptr);
    m_data.Write("Empty.zdd", "");
    uint32_t reads = 0;
    EXPECT_EQ(CreateComponentsFromDefinition(nullptr, Name("Empty.zdd"),
                                             [&](ZComponent*, const ZDefNode&) { ++reads; }),
              0u);
    EXPECT_TRUE(ZDefinitionCache::GetInstance()->IsCached(Name("Empty.zdd")));
    ZDefinitionCache::DestroyInstance();
}

}  // namespace
