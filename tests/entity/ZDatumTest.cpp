// Datum comparisons and arithmetic, and the blackboard's load, save,
// provider and change callback.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"

namespace {

using entitytest::Markup;

ZDatumEntry Vec2(float x, float y) {
    ZDatumEntry e;
    e.type = kDatumVec2;
    e.value.vec2 = ZVector2(x, y);
    return e;
}

TEST(ZDatum, ComparisonsByTheLeftType) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        ZDatumEntry left;
        ZDatumEntry right;
        // ==, !=, <, <=, >, >=
        bool expected[6];
    };
    const Case cases[] = {
        {"int less", ZDatumEntry::Int(2), ZDatumEntry::Int(3), {false, true, true, true, false, false}},
        {"int equal", ZDatumEntry::Int(-4), ZDatumEntry::Int(-4), {true, false, false, true, false, true}},
        {"int against a float entry reads its int field", ZDatumEntry::Int(0), ZDatumEntry::Float(5.5f),
         {true, false, false, true, false, true}},
        {"float greater", ZDatumEntry::Float(2.5f), ZDatumEntry::Float(-1.0f), {false, true, false, false, true, true}},
        {"float NaN", ZDatumEntry::Float(nan), ZDatumEntry::Float(nan), {false, true, false, false, false, false}},
        {"bool false below true", ZDatumEntry::Bool(false), ZDatumEntry::Bool(true),
         {false, true, true, true, false, false}},
        {"names equal", ZDatumEntry::HashedString(ZHashedString("Door")), ZDatumEntry::HashedString(ZHashedString("door")),
         {true, false, false, true, false, true}},
        {"strings never compare", ZDatumEntry::String(ZString("a")), ZDatumEntry::String(ZString("a")),
         {false, false, false, false, false, false}},
        {"vectors never compare", Vec2(1, 2), Vec2(1, 2), {false, false, false, false, false, false}},
        {"none never compares", ZDatumEntry(), ZDatumEntry::Int(0), {false, false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        const bool got[6] = {DatumEquals(c.left, c.right),    DatumNotEquals(c.left, c.right),
                             DatumLess(c.left, c.right),      DatumLessEqual(c.left, c.right),
                             DatumGreater(c.left, c.right),   DatumGreaterEqual(c.left, c.right)};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(got[i], c.expected[i]) << c.name << ", operator " << i;
        }
    }
}

TEST(ZDatum, AddAndSubtractByTheLeftType) {
    struct Case {
        const char* name;
        ZDatumEntry left;
        ZDatumEntry right;
        ZDatumType type;
        double sum;
        double difference;
    };
    const Case cases[] = {
        {"ints", ZDatumEntry::Int(7), ZDatumEntry::Int(3), kDatumInt, 10, 4},
        {"int plus a float entry adds its int field", ZDatumEntry::Int(7), ZDatumEntry::Float(3.5f), kDatumInt, 7, 7},
        {"ints wrap", ZDatumEntry::Int(2147483647), ZDatumEntry::Int(1), kDatumInt, -2147483648.0, 2147483646},
        {"floats", ZDatumEntry::Float(1.5f), ZDatumEntry::Float(0.25f), kDatumFloat, 1.75, 1.25},
        {"a string becomes none", ZDatumEntry::String(ZString("x")), ZDatumEntry::Int(1), kDatumNone, 0, 0},
        {"bools become none", ZDatumEntry::Bool(true), ZDatumEntry::Bool(true), kDatumNone, 0, 0},
    };
    for (const Case& c : cases) {
        const ZDatumEntry sum = DatumAdd(c.left, c.right);
        const ZDatumEntry difference = DatumSubtract(c.left, c.right);
        EXPECT_EQ(sum.type, c.type) << c.name;
        EXPECT_EQ(difference.type, c.type) << c.name;
        const auto number = [](const ZDatumEntry& e) {
            return e.type == kDatumFloat ? static_cast<double>(e.value.floatValue) : e.value.intValue;
        };
        EXPECT_EQ(number(sum), c.sum) << c.name;
        EXPECT_EQ(number(difference), c.difference) << c.name;
    }
}

TEST(ZDataComponent, LoadsEveryTypeAndSavesItBack) {
    struct Case {
        const char* datum;     // a "Datum" element as definitions write it
        ZDatumType type;       // the type it loads as
        const char* saved;     // its "Type" and "Value" when saved ("" for none)
    };
    const Case cases[] = {
        {"<Datum Name='A' Type='int' Value=' 42 '/>", kDatumInt, "int 42"},
        {"<Datum Name='A' Type='Float' Value='0.5'/>", kDatumFloat, "float 0.500000"},
        {"<Datum Name='A' Type='BOOL' Value='True'/>", kDatumBool, "bool true"},
        {"<Datum Name='A' Type='Vec2' Value='1 2 3'/>", kDatumVec2, "vec2 1.000000 2.000000"},
        {"<Datum Name='A' Type='Vec3' Value='1'/>", kDatumVec3, "vec3 1.000000 0.000000 0.000000"},
        {"<Datum Name='A' Type='Vec4' Value='1  2 3 4'/>", kDatumVec4, "vec4 1.000000 2.000000 3.000000 4.000000"},
        {"<Datum Name='A' Type='String' Value='Hello there'/>", kDatumString, "string Hello there"},
        {"<Datum Name='A' Type='HashedString' Value='DoorKey'/>", kDatumHashedString, "hashedstring DoorKey"},
        {"<Datum Name='A' Type='Quat' Value='1 0 0 0'/>", kDatumNone, ""},
        {"<Datum Name='A' Type='Nonsense' Value='1'/>", kDatumNone, ""},
        {"<Datum Name='A' Type='Int'/>", kDatumInt, "int 0"},
    };
    for (const Case& c : cases) {
        ZDataComponent data;
        data.ReadDefinition(Markup(std::string("<Data>") + c.datum + "</Data>"));
        ZDatumEntry entry;
        ASSERT_TRUE(data.GetDatum(ZHashedString("A"), entry)) << c.datum;
        EXPECT_EQ(entry.type, c.type) << c.datum;
        ZDefNode saved;
        data.Save(saved);
        ASSERT_EQ(saved.children.Count(), 1u);
        const ZDefNode& element = saved.children[0];
        EXPECT_STREQ(element.GetAttribute(ZHashedString("Name")).GetText(), "A");
        std::string typeAndValue = element.GetAttribute(ZHashedString("Type")).GetText();
        if (element.HasAttribute(ZHashedString("Value"))) {
            typeAndValue += std::string(" ") + element.GetAttribute(ZHashedString("Value")).GetText();
        }
        EXPECT_EQ(typeAndValue, c.saved) << c.datum;

        // What was saved loads back to the same value; a name without a type
        // is saved without one and so does not load at all.
        ZDataComponent reloaded;
        reloaded.ReadDefinition(saved);
        if (entry.type == kDatumNone) {
            EXPECT_FALSE(reloaded.HasDatum(ZHashedString("A"))) << c.datum;
            continue;
        }
        ZDatumEntry again;
        ASSERT_TRUE(reloaded.GetDatum(ZHashedString("A"), again));
        EXPECT_EQ(again.type, entry.type) << c.datum;
        if (entry.type == kDatumString) {
            EXPECT_STREQ(again.value.string.GetText(), entry.value.string.GetText());
        } else if (entry.type != kDatumVec2 && entry.type != kDatumVec3 && entry.type != kDatumVec4) {
            EXPECT_TRUE(DatumEquals(again, entry)) << c.datum;
        }
    }
}

TEST(ZDataComponent, SkipsDatumsWithoutNameOrTypeAndSavesInKeyOrder) {
    ZDataComponent data;
    data.ReadDefinition(Markup("<Data><Datum Type='Int' Value='1'/><Datum Name='NoType' Value='1'/>"
                               "<Datum Name='Zeta' Type='Int' Value='1'/><Datum Name='Alpha' Type='Int' Value='2'/>"
                               "<Datum Name='Mid' Type='Int' Value='3'/></Data>"));
    EXPECT_FALSE(data.HasDatum(ZHashedString("NoType")));
    ZDefNode saved;
    data.Save(saved);
    ASSERT_EQ(saved.children.Count(), 3u);
    for (uint32_t i = 1; i < saved.children.Count(); ++i) {
        const ZHashedString before(saved.children[i - 1].GetAttribute(ZHashedString("Name")).GetText());
        const ZHashedString after(saved.children[i].GetAttribute(ZHashedString("Name")).GetText());
        EXPECT_LT(before, after);
    }
}

std::vector<uint32_t> g_changes;

TEST(ZDataComponent, HandleOperationsAndTheChangeCallback) {
    ZEntity entity;
    ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
    data->SetChangeCallback([](ZEntity*, ZHashedString name) { g_changes.push_back(name.GetId()); });
    g_changes.clear();
    const uint32_t h = entity.GetHandle();
    const ZHashedString coins("Coins");
    const ZHashedString name("Name");

    EXPECT_FALSE(data->UpdateDatum(coins, ZDatumEntry::Int(1)));
    EXPECT_TRUE(g_changes.empty());
    EXPECT_TRUE(data->SetDatum(coins, ZDatumEntry::Int(8)));
    EXPECT_EQ(g_changes.size(), 1u) << "a set that creates the name reports it";
    g_changes.clear();
    EXPECT_TRUE(SetDatumByHandle(h, coins, ZDatumEntry::Int(5)));
    EXPECT_TRUE(InitDatumByHandle(h, coins, ZDatumEntry::Int(99)));
    EXPECT_TRUE(AddToDatumByHandle(h, coins, ZDatumEntry::Int(2)));
    EXPECT_TRUE(SubtractFromDatumByHandle(h, coins, ZDatumEntry::Int(3)));
    ZDatumEntry entry;
    EXPECT_TRUE(GetDatumByHandle(h, coins, entry));
    EXPECT_EQ(entry.value.intValue, 4);

    // Adding to a string turns it into none, and still reports the change.
    EXPECT_TRUE(SetDatumByHandle(h, name, ZDatumEntry::String(ZString("Vel"))));
    EXPECT_TRUE(AddToDatumByHandle(h, name, ZDatumEntry::Int(1)));
    EXPECT_TRUE(GetDatumByHandle(h, name, entry));
    EXPECT_EQ(entry.type, kDatumNone);
    EXPECT_EQ(g_changes.size(), 5u);

    EXPECT_FALSE(AddToDatumByHandle(h, ZHashedString("Missing"), ZDatumEntry::Int(1)));
    EXPECT_FALSE(SetDatumByHandle(0, coins, ZDatumEntry::Int(1)));
    EXPECT_FALSE(GetDatumByHandle(0xFFFFFFF0u, coins, entry));
    EXPECT_TRUE(ClearDataByHandle(data->GetHandle()));
    EXPECT_FALSE(data->HasDatum(coins));
    EXPECT_FALSE(ClearDataByHandle(0));
}

TEST(ZDataComponent, AProviderAnswersOnlyWhileItsObjectLives) {
    ZDataComponent data;
    ZDataComponent::Provider provider;
    provider.has = [](uint32_t, ZHashedString name) { return name == ZHashedString("Owned"); };
    provider.get = [](uint32_t, ZHashedString name, ZDatumEntry* entry) {
        if (name != ZHashedString("Owned")) {
            return false;
        }
        *entry = ZDatumEntry::Int(77);
        return true;
    };
    ZDatumEntry entry;
    {
        auto* holder = new ZEntity();
        data.SetProvider(provider, holder->GetHandle());
        EXPECT_TRUE(data.HasDatum(ZHashedString("Owned")));
        EXPECT_TRUE(data.GetDatum(ZHashedString("Owned"), entry));
        EXPECT_EQ(entry.value.intValue, 77);
        delete holder;
    }
    EXPECT_FALSE(data.HasDatum(ZHashedString("Owned")));
    EXPECT_FALSE(data.GetDatum(ZHashedString("Owned"), entry));
}

// A provider that scribbles on the entry and then declines: the caller's
// entry stays as it was, and the map answers.
TEST(ZDataComponent, AProviderThatDeclinesLeavesTheEntryAlone) {
    ZEntity holder;
    ZDataComponent data;
    ZDataComponent::Provider provider;
    provider.get = [](uint32_t, ZHashedString, ZDatumEntry* entry) {
        *entry = ZDatumEntry::Int(-1);
        return false;
    };
    data.SetProvider(provider, holder.GetHandle());
    ZDatumEntry entry = ZDatumEntry::String(ZString("kept"));
    EXPECT_FALSE(data.GetDatum(ZHashedString("Missing"), entry));
    EXPECT_EQ(entry.type, kDatumString);
    EXPECT_EQ(entry.value.string, ZString("kept"));
    EXPECT_TRUE(data.SetDatum(ZHashedString("Here"), ZDatumEntry::Int(3)));
    EXPECT_TRUE(data.GetDatum(ZHashedString("Here"), entry));
    EXPECT_EQ(entry.type, kDatumInt);
    EXPECT_EQ(entry.value.intValue, 3);
}

TEST(ZDatum, ANewValueIsAllZeros) {
    const ZDatum value;
    for (const float element : value.matrix.m) {
        EXPECT_EQ(element, 0.0f);
    }
    EXPECT_EQ(value.quat.w, 0.0f);
    EXPECT_EQ(value.handle, 0u);
}

}  // namespace
