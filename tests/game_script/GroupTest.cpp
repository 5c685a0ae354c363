// Groups: the keys members share values under, and the store that keeps them
// across rooms and through the autosave.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "foundation/ZStateStore.h"
#include "game/components/GameComponentFactory.h"
#include "game/components/GroupComponent.h"
#include "game/components/GroupStore.h"
#include "game_rooms/RoomTestSupport.h"

namespace {

ZHashedString H(const std::string& text) { return ZHashedString(text.c_str()); }

TEST(GroupKey, TextOfGroupAndDatum) {
    struct Case {
        std::string group;
        std::string datum;
        std::string key;
    };
    const std::string longest(255 - 7, 'g');  // "GROUP_" + name + "_" fills a hashed name exactly
    const Case cases[] = {
        {"Sluice", "Open", "GROUP_Sluice_Open"},
        {"", "Open", "GROUP__Open"},
        {"Sluice", "", "GROUP_Sluice_"},
        {longest, "", "GROUP_" + longest + "_"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeGroupKeyText(H(c.group), H(c.datum)), c.key);
    }
}

TEST(GroupKey, LongNamesNeverShareAKey) {
    const std::string group(200, 'g');
    const std::string datum(100, 'd');
    const std::string a = MakeGroupKeyText(H(group), H(datum + "A"));
    const std::string b = MakeGroupKeyText(H(group), H(datum + "B"));
    EXPECT_NE(a, b) << "the names differ only past what a hashed name holds";
    EXPECT_NE(MakeGroupKey(H(group), H(datum + "A")), MakeGroupKey(H(group), H(datum + "B")));
    EXPECT_LE(a.size(), ZHashedString::kMaxTextLength);
    // The same names in other letter case are the same key, as short keys are.
    EXPECT_EQ(MakeGroupKey(H(group), H(datum + "A")), MakeGroupKey(H(std::string(200, 'G')), H(datum + "a")));
}

class GroupTest : public testing::Test {
protected:
    void SetUp() override {
        roomtest::UseEngineComponents();
        static const bool registered = [] {
            RegisterComponentFactory(CreateGameComponentByName);
            return true;
        }();
        (void)registered;
        GetStateStore()->Clear();
        store = std::make_unique<GroupStore>();
    }
    void TearDown() override {
        store.reset();
        GetStateStore()->Clear();
    }

    // A member entity made from its definition's elements.
    std::unique_ptr<ZEntity> Member(const std::string& elements) {
        auto entity = std::make_unique<ZEntity>();
        entity->CreateComponentsFromNode(roomtest::Markup("<E>" + elements + "</E>"));
        return entity;
    }
    static int32_t IntOf(ZEntity& entity, const char* name) {
        ZDatumEntry entry = ZDatumEntry::Int(-1);
        GetComponent<ZDataComponent>(&entity)->GetDatum(ZHashedString(name), entry);
        return entry.value.intValue;
    }
    static void SetInt(ZEntity& entity, const char* name, int32_t value) {
        GetComponent<ZDataComponent>(&entity)->SetDatum(ZHashedString(name), ZDatumEntry::Int(value));
    }

    std::unique_ptr<GroupStore> store;
};

TEST_F(GroupTest, MembersShareAndOtherGroupsDoNot) {
    const std::string level = "<Data><Datum Name='Level' Type='Int' Value='0'/></Data>";
    auto pump = Member("<Group Name='Sluice'/>" + level);
    auto gate = Member("<Group Name='Sluice'/>" + level);
    auto mill = Member("<Group Name='Mill'/>" + level);
    auto loose = Member("<Group/>" + level);
    auto stray = Member("<Group/>" + level);

    SetInt(*pump, "Level", 4);
    GetComponent<GroupComponent>(pump.get())->Set(ZHashedString("Level"));
    SetInt(*loose, "Level", 9);
    GetComponent<GroupComponent>(loose.get())->Set(ZHashedString("Level"));
    for (ZEntity* e : {gate.get(), mill.get(), stray.get()}) {
        GetComponent<GroupComponent>(e)->Get(ZHashedString("Level"));
    }
    EXPECT_EQ(IntOf(*gate, "Level"), 4);
    EXPECT_EQ(IntOf(*mill, "Level"), 0) << "another group's key";
    EXPECT_EQ(IntOf(*stray, "Level"), 9) << "members without a name share the empty group";
    EXPECT_TRUE(store->GetData()->HasDatum(ZHashedString("GROUP__Level")));
}

TEST_F(GroupTest, AMemberWithoutDataDoesNothing) {
    auto bare = Member("<Group Name='Sluice'/>");
    GetComponent<GroupComponent>(bare.get())->Set(ZHashedString("Level"));
    EXPECT_EQ(store->GetData()->GetValues().Count(), 0u);
}

TEST_F(GroupTest, ValuesComeBackFromTheAutosave) {
    auto pump = Member("<Group Name='Sluice'/><Data><Datum Name='Level' Type='Int' Value='7'/></Data>");
    GetComponent<GroupComponent>(pump.get())->Set(ZHashedString("Level"));
    ASSERT_TRUE(GetStateStore()->Has(GroupStore::kGUID)) << "the saved state follows every change";

    // Written to the file and read back, as a reload does.
    const std::string bytes = GetStateStore()->SaveBytes();
    GetStateStore()->Clear();
    store->GetData()->ClearData();
    ASSERT_TRUE(GetStateStore()->LoadBytes(bytes.data(), bytes.size()));
    store->RestoreFromSavedState();

    auto gate = Member("<Group Name='Sluice'/><Data><Datum Name='Level' Type='Int' Value='0'/></Data>");
    GetComponent<GroupComponent>(gate.get())->Get(ZHashedString("Level"));
    EXPECT_EQ(IntOf(*gate, "Level"), 7);

    // A new game forgets them.
    GetStateStore()->Clear();
    store->RestoreFromSavedState();
    EXPECT_EQ(store->GetData()->GetValues().Count(), 0u);
}

}  // namespace
