// Conditions: expression texts, condition trees and the names of entities.

#include <gtest/gtest.h>

#include <string>

#include "EntityTestSupport.h"
#include "entity/ZAllegianceComponent.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"

namespace {

using entitytest::Markup;

// Context and other entities with blackboards, and a player.
class ConditionWorld : public ::testing::Test {
protected:
    void SetUp() override {
        self.ReadDefinition(Markup("<Data><Datum Name='Coins' Type='Int' Value='5'/>"
                                   "<Datum Name='Shared' Type='Int' Value='1'/>"
                                   "<Datum Name='Speed' Type='Float' Value='2.5'/>"
                                   "<Datum Name='Open' Type='Bool' Value='true'/>"
                                   "<Datum Name='Title' Type='String' Value='Gate'/>"
                                   "<Datum Name='Key' Type='HashedString' Value='Brass'/></Data>"));
        otherData->ReadDefinition(Markup("<Data><Datum Name='Shared' Type='Int' Value='2'/>"
                                         "<Datum Name='Lives' Type='Int' Value='3'/></Data>"));
        playerData->ReadDefinition(Markup("<Data><Datum Name='Gems' Type='Int' Value='9'/></Data>"));
        s_player = player.GetHandle();
        GetEntityGameHooks().getPlayerHandle = [] { return s_player; };
    }
    void TearDown() override { GetEntityGameHooks() = ZEntityGameHooks(); }

    bool Eval(const char* text) { return EvaluateExpressionText(ZString(text), selfEntity.GetHandle(), other.GetHandle()); }

    static uint32_t s_player;
    ZEntity selfEntity;
    ZDataComponent& self = *AddComponent<ZDataComponent>(&selfEntity);
    ZEntity other;
    ZDataComponent* otherData = AddComponent<ZDataComponent>(&other);
    ZEntity player;
    ZDataComponent* playerData = AddComponent<ZDataComponent>(&player);
};

uint32_t ConditionWorld::s_player = 0;

TEST_F(ConditionWorld, ExpressionTexts) {
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"Coins == 5", true},
        {"Coins==5", true},
        {"Coins != 5", false},
        {"Coins &gt; 4", true},
        {"Coins &lt;= 4", false},
        {"Coins >= 5", true},
        {"Coins < 6", true},
        {"Coins == 5.0", false},  // an int compared with a float word reads its int field, 0
        {"Speed > 2.25", true},
        {"Speed == 2", false},
        {"Open == True", true},
        {"Open == false", false},
        {"Title == 'Gate'", false},  // strings never compare
        {"Title != 'Gate'", false},
        {"Shared == 1", true},  // the context answers before the other object
        {"Lives == 3", true},
        {"Gems == 9", true},
        {"Missing == 0", false},
        {"Coins === 5", false},
        {"Coins = 5", false},
        {"Coins", false},
        {"True", false},
        {"Coins == 5 extra", false},
        {"", false},
        {"   ", false},
        {"hassteam", false},
        {"israndomizermode", false},
        {"speedrunbest", false},
        {"-3 < -2", true},
        {"'a' == 'a'", false},
        {"99999999999 > 2147483646", true},  // clamped to the largest int, not overflowed
        {"-99999999999 < -2147483647", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Eval(c.text), c.expected) << c.text;
    }
}

TEST_F(ConditionWorld, KeywordsAskTheGame) {
    GetEntityGameHooks().isRandomizerMode = [] { return true; };
    GetEntityGameHooks().isSpeedrunBest = [] { return true; };
    EXPECT_TRUE(Eval("IsRandomizerMode"));
    EXPECT_TRUE(Eval("speedrunbest four words here"));
    EXPECT_FALSE(Eval("hassteam"));
}

TEST_F(ConditionWorld, ConditionTrees) {
    struct Case {
        const char* node;
        bool expected;
    };
    const Case cases[] = {
        {"<Query Text='Coins == 5'/>", true},
        {"<Query><Condition><Expression Text='Coins == 5'/></Condition></Query>", true},
        {"<Query><Condition><Expression/></Condition></Query>", false},
        {"<Query><Condition><Combination Logic='and'><Expression Text='Coins == 5'/>"
         "<Expression Text='Lives == 3'/></Combination></Condition></Query>", true},
        {"<Query><Condition><Combination Logic='AND'><Expression Text='Coins == 5'/>"
         "<Expression Text='Lives == 4'/></Combination></Condition></Query>", false},
        {"<Query><Condition><Combination Logic='Or'><Expression Text='Coins == 1'/>"
         "<Expression Text='Lives == 3'/></Combination></Condition></Query>", true},
        {"<Query><Condition><Combination Logic='AND'/></Condition></Query>", true},
        {"<Query><Condition><Combination Logic='OR'/></Condition></Query>", false},
        {"<Query><Condition><Combination Logic='XOR'><Expression Text='Coins == 5'/></Combination>"
         "</Condition></Query>", false},
        {"<Query><Condition><Combination><Expression Text='Coins == 5'/></Combination></Condition></Query>", false},
        // A nested condition inside a combination's expression.
        {"<Query><Condition><Combination Logic='AND'><Expression><Condition><Combination Logic='OR'>"
         "<Expression Text='Lives == 3'/></Combination></Condition></Expression></Combination></Condition></Query>",
         true},
        {"<Query/>", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EvaluateCondition(Markup(c.node), selfEntity.GetHandle(), other.GetHandle()), c.expected) << c.node;
    }
}

TEST_F(ConditionWorld, EntityNames) {
    ZAllegianceComponent* mine = AddComponent<ZAllegianceComponent>(&selfEntity);
    const uint32_t s = selfEntity.GetHandle();
    const uint32_t o = otherData->GetHandle();  // a component stands for its entity
    struct Case {
        const char* name;
        int sides;  // -1: the other has no allegiance; else its value (mine is 1)
        ZEntity* expected;
    };
    ZAllegianceComponent* theirs = nullptr;
    const Case cases[] = {
        {"Self", -1, &selfEntity},  {"context", -1, &selfEntity}, {"OTHER", -1, &other},
        {"Player", -1, &player},    {"World", -1, nullptr},       {"Nobody", -1, nullptr},
        {"Enemy", -1, &other},      {"Friend", -1, &other},       {"Enemy", 1, nullptr},
        {"Friendly", 1, &other},    {"Enemy", 2, &other},         {"Friend", 2, nullptr},
    };
    mine->allegiance = 1;
    for (const Case& c : cases) {
        if (c.sides >= 0) {
            theirs = AddComponent<ZAllegianceComponent>(&other);
            theirs->allegiance = c.sides;
        }
        EXPECT_EQ(ResolveEntityName(ZHashedString(c.name), s, o), c.expected) << c.name << " " << c.sides;
    }
    EXPECT_EQ(ResolveEntityName(ZHashedString("Self"), 0xFFFFFF00u, 0), nullptr);
}

}  // namespace
