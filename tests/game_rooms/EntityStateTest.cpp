// Whether a placed entity comes back, from the record its GUID keeps in the
// saved-state store: destroyed for good, destroyed for this session, or
// restored into its components.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RoomTestSupport.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "foundation/ZStateStore.h"
#include "game/world/EntityState.h"
#include "game/world/GameEntityHooks.h"
#include "game/world/KorvEntity.h"
#include "game_world/GameFixture.h"

namespace {

class FixedSession : public SessionHolder {
public:
    explicit FixedSession(uint32_t guid) : m_guid(guid) {}
    uint32_t GetSessionGUID() const override { return m_guid; }

private:
    uint32_t m_guid;
};

class EntityStateTest : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        m_files = std::make_unique<roomtest::DefinitionFolder>();
        GetStateStore()->Clear();
    }
    void TearDown() override {
        GetStateStore()->Clear();
        m_files.reset();
        GameTest::TearDown();
    }
    // A record for the GUID whose "Delete" element has the given attributes.
    static void StoreDelete(uint32_t guid, const std::string& attributes) {
        GetStateStore()->GetOrInsert(guid) = roomtest::Markup("<R><Delete " + attributes + "/></R>");
    }
    std::unique_ptr<roomtest::DefinitionFolder> m_files;
};

TEST_F(EntityStateTest, DeleteRecordsDecideTheSpawn) {
    struct Case {
        const char* deleteAttributes;  // null: no record at all
        bool withSession;
        bool spawns;
    };
    const Case cases[] = {
        {nullptr, true, true},
        {"", true, true},
        {"Dead='true'", true, false},
        {"Dead='True'", true, true},  // only the exact text counts
        {"Dead='true' HalfDead='true' SessionGUID='51'", false, false},
        {"HalfDead='true' SessionGUID='0051'", true, false},  // this session
        {"HalfDead='true' SessionGUID='52'", true, true},     // another session
        {"HalfDead='true'", true, true},                      // no session recorded
        {"HalfDead='true' SessionGUID='51'", false, true},    // no player: every session is another
        {"HalfDead='TRUE' SessionGUID='51'", true, true},
    };
    m_files->Write("Block.zdd", "<Entity><GUID GUID='00c0ffee'/><Data/></Entity>");
    const FixedSession session(0x51);
    for (const Case& c : cases) {
        GetStateStore()->Clear();
        if (c.deleteAttributes != nullptr) StoreDelete(0xC0FFEE, c.deleteAttributes);
        m_game->SetSessionHolder(c.withSession ? &session : nullptr);
        const char* what = c.deleteAttributes != nullptr ? c.deleteAttributes : "(no record)";
        EXPECT_EQ(ShouldSpawnEntity(ZHashedString("Block.zdd")), c.spawns) << what;
        KorvEntity* made = CreateKorvEntity(ZHashedString("Block.zdd"), 0);
        EXPECT_EQ(made != nullptr, c.spawns) << what;
        delete made;
    }
    m_game->SetSessionHolder(nullptr);
}

TEST_F(EntityStateTest, DeletedEntitiesStayGoneAsTheirDeleteAsked) {
    struct Case {
        const char* command;
        bool sameSession;  // entering again in the session that deleted it
        bool spawns;
    };
    const Case cases[] = {
        {"delete Self", true, true},              // gone only until the room is entered again
        {"delete Self perm", true, false},        // gone for good
        {"delete Self perm", false, false},
        {"delete Self semiperm", true, false},    // gone for this session
        {"delete Self semiperm", false, true},    // back in another
    };
    m_files->Write("Gem.zdd", "<Entity><GUID GUID='00000abc'/><Delete/></Entity>");
    const FixedSession session(0x51);
    const FixedSession later(0x52);
    InstallGameEntityHooks();  // "semiperm" records the game's session
    ClearCommandHandlers();
    RegisterCommandHandler(EntityCommandDispatcher);
    for (const Case& c : cases) {
        GetStateStore()->Clear();
        m_game->SetSessionHolder(&session);
        KorvEntity* const gem = CreateKorvEntity(ZHashedString("Gem.zdd"), 0);
        ASSERT_NE(gem, nullptr) << c.command;
        RunCommandText(c.command, gem->GetHandle(), 0);
        SaveEntityState(gem);
        delete gem;
        m_game->SetSessionHolder(c.sameSession ? &session : &later);
        EXPECT_EQ(ShouldSpawnEntity(ZHashedString("Gem.zdd")), c.spawns)
            << c.command << (c.sameSession ? " (same session)" : " (next session)");
    }
    ClearCommandHandlers();
    ClearGameEntityHooks();
    m_game->SetSessionHolder(nullptr);
}

TEST_F(EntityStateTest, FilesWithoutAGuidAlwaysSpawn) {
    m_files->Write("Plain.zdd", "<Entity><Data/></Entity>");
    StoreDelete(0, "Dead='true'");
    EXPECT_TRUE(ShouldSpawnEntity(ZHashedString("Plain.zdd")));
    EXPECT_TRUE(ShouldSpawnEntity(ZHashedString("Missing.zdd")));
    // A GUID element without its attribute names no record either.
    m_files->Write("Bare.zdd", "<Entity><GUID/></Entity>");
    EXPECT_TRUE(ShouldSpawnEntity(ZHashedString("Bare.zdd")));
    // Malformed hexadecimal reads its bad characters as 0: "z1" is 0x01.
    m_files->Write("Odd.zdd", "<Entity><GUID GUID='z1'/></Entity>");
    StoreDelete(0x01, "Dead='true'");
    EXPECT_FALSE(ShouldSpawnEntity(ZHashedString("Odd.zdd")));
}

TEST_F(EntityStateTest, SavedStateComesBackIntoANewInstance) {
    m_files->Write("Chest.zdd",
                   "<Entity><GUID GUID='1234'/><Data><Datum Name='Coins' Type='Int' Value='3'/></Data></Entity>");
    KorvEntity* first = CreateKorvEntity(ZHashedString("Chest.zdd"), 0);
    ASSERT_NE(first, nullptr);
    ZDataComponent* data = GetComponent<ZDataComponent>(first);
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->UpdateDatum(ZHashedString("Coins"), ZDatumEntry::Int(9)));
    SaveEntityState(first);
    ASSERT_TRUE(data->UpdateDatum(ZHashedString("Coins"), ZDatumEntry::Int(11)));
    SaveEntityState(first);  // the second save replaces the first whole
    delete first;
    ASSERT_TRUE(GetStateStore()->Has(0x1234));

    KorvEntity* second = CreateKorvEntity(ZHashedString("Chest.zdd"), 0);
    ASSERT_NE(second, nullptr);
    ZDatumEntry coins;
    ASSERT_TRUE(GetComponent<ZDataComponent>(second)->GetDatum(ZHashedString("Coins"), coins));
    EXPECT_EQ(coins.value.intValue, 11);
    delete second;
}

TEST_F(EntityStateTest, DefinitionHasElementLooksAtTopLevelOnly) {
    m_files->Write("Door.zdd", "<Entity><Door><Teleport/></Door><GUID GUID='5'/></Entity>");
    struct Case {
        const char* element;
        bool has;
    };
    const Case cases[] = {{"Door", true}, {"GUID", true}, {"Teleport", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(DefinitionHasElement(ZHashedString("Door.zdd"), ZHashedString(c.element)), c.has) << c.element;
    }
    EXPECT_FALSE(DefinitionHasElement(ZHashedString("Nowhere.zdd"), ZHashedString("Door")));
}

}  // namespace
