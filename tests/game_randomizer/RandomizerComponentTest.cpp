#include <gtest/gtest.h>

#include <string>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/RandomizerData.h"
#include "support/TempDir.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

class RandomizerComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(data.Path().c_str());
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_FIXTURES_DIR "/randomizer");
        ClearRandomizedWorld(GetRandomizerWorldTable());
    }
    void TearDown() override {
        ClearRandomizedWorld(GetRandomizerWorldTable());
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
    }

    korvtest::TempDir data;
};

}  // namespace

TEST(RandomizerSeed, SpacesAndLetterCaseDoNotChangeTheSeed) {
    struct Case {
        const char* seed;
        uint32_t hash;
    };
    const Case cases[] = {
        {"abc", 0x4563},  {"ABC", 0x4563}, {" a b  c ", 0x4563}, {"", 0},
        {" ", 0},         {"ABC\t", HashStringELF("ABC\t")},     {"bcd fgh", HashStringELF("BCDFGH")},
    };
    for (const Case& c : cases) EXPECT_EQ(RandomizerSeedHash(ZString(c.seed)), c.hash) << "\"" << c.seed << "\"";
    EXPECT_NE(RandomizerSeedHash(ZString("BCDFGH1")), RandomizerSeedHash(ZString("BCDFGH")));
    EXPECT_EQ(NormaliseRandomizerSeed(ZString("a b\xC3\xA9")), "AB\xC3\xA9");
}

TEST_F(RandomizerComponentTest, ANewComponentIsNotRandomizedAndSavesNothing) {
    RandomizerComponent component;
    EXPECT_FALSE(component.IsRandomized());
    EXPECT_EQ(component.GetAlgorithmVersion(), 15);
    EXPECT_EQ(component.GetSeedHash(), 0u);
    ZDefNode parent;
    component.SaveInto(parent);
    EXPECT_TRUE(parent.IsEmpty());

    // Restoring a save that is not randomized clears an earlier world.
    GetRandomizerWorldTable()[OpportunityRef::FromNames("QXV_EntInst_00000001.zdd", "")] = OpportunityRef();
    component.ReadDefinition(ZDefNode(H("Randomizer")));
    EXPECT_FALSE(component.IsRandomized());
    EXPECT_TRUE(GetRandomizerWorldTable().empty());
}

TEST_F(RandomizerComponentTest, ASavedSeedRestoresTheSameWorld) {
    RandomizerComponent first;
    ASSERT_TRUE(first.Setup(true, ZString("Kqtb zmrw")));
    EXPECT_EQ(first.GetSeedString(), "Kqtb zmrw");  // as typed
    EXPECT_EQ(first.GetSeedHash(), HashStringELF("KQTBZMRW"));
    const RandomizerWorldTable world = GetRandomizerWorldTable();
    const ZString text = GetRandomizerAssignmentText();
    EXPECT_EQ(world.size(), 166u);
    EXPECT_FALSE(text.IsEmpty());

    ZDefNode parent;
    first.SaveInto(parent);
    const ZDefNode& saved = parent.FindChild(H("Randomizer"));
    EXPECT_EQ(saved.GetAttribute(H("RandomSeedString")), "Kqtb zmrw");
    EXPECT_EQ(saved.GetAttribute(H("AlgorithmVersion")), "15");

    first.Setup(false, ZString());
    EXPECT_TRUE(GetRandomizerWorldTable().empty());
    EXPECT_TRUE(GetRandomizerAssignmentText().IsEmpty());

    // A save of an older algorithm: the version comes back, the world is the seed's.
    ZDefNode older = saved;
    older.SetAttribute(H("AlgorithmVersion"), ZString("7"));
    RandomizerComponent second;
    second.ReadDefinition(older);
    EXPECT_TRUE(second.IsRandomized());
    EXPECT_EQ(second.GetAlgorithmVersion(), 7);
    EXPECT_EQ(second.GetSeedHash(), HashStringELF("KQTBZMRW"));
    EXPECT_TRUE(GetRandomizerWorldTable() == world);
    EXPECT_EQ(GetRandomizerAssignmentText(), text);
    ZDefNode again;
    second.SaveInto(again);
    EXPECT_EQ(again.FindChild(H("Randomizer")).GetAttribute(H("AlgorithmVersion")), "7");

    // Only one of the two keys: the component keeps what it had.
    RandomizerComponent third;
    ZDefNode half(H("Randomizer"));
    half.SetAttribute(H("RandomSeedString"), ZString("abc"));
    third.ReadDefinition(half);
    EXPECT_FALSE(third.IsRandomized());
}

// Files cached under an earlier world are read again under the new one.
TEST_F(RandomizerComponentTest, ANewSeedReadsCachedFilesAgain) {
    ZDefNode root(H("Entity"));
    ASSERT_TRUE(SaveDefinitionFile(root, data.File("Thing.zdd").c_str()));
    RandomizerComponent component;
    ASSERT_TRUE(component.Setup(true, ZString("one")));
    GetDefinitionFile(H("Thing.zdd"));
    ASSERT_TRUE(ZDefinitionCache::GetInstance()->IsCached(H("Thing.zdd")));
    ASSERT_TRUE(component.Setup(true, ZString("two")));
    EXPECT_FALSE(ZDefinitionCache::GetInstance()->IsCached(H("Thing.zdd")));
    // The same seed again keeps the world and the cache as they are.
    GetDefinitionFile(H("Thing.zdd"));
    ASSERT_TRUE(component.Setup(true, ZString(" T W O ")));
    EXPECT_TRUE(ZDefinitionCache::GetInstance()->IsCached(H("Thing.zdd")));
}

// Without a manifest no world can be built: the game is not randomized, and
// says so, rather than drawing for ever.
TEST_F(RandomizerComponentTest, ASeedWithoutAWorldLeavesTheGameNotRandomized) {
    ZStreamMgr::DestroyInstance();
    ZStreamMgr::GetInstance()->AddDirectorySource(data.Path().c_str());
    RandomizerComponent component;
    EXPECT_FALSE(component.Setup(true, ZString("abc")));
    EXPECT_FALSE(component.IsRandomized());
    EXPECT_TRUE(component.GetSeedString().IsEmpty());
    EXPECT_TRUE(GetRandomizerWorldTable().empty());
    EXPECT_FALSE(SetUpGameRandomizer(true, ZString("abc")));
}
