#include "foundation/ZDefinitionCache.h"

#include <gtest/gtest.h>

#include "DataFilesFixture.h"
#include "foundation/ZDefinitionFile.h"

namespace {

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

ZDefNode Tree(const char* value) {
    ZDefNode root(Name("Entity"));
    root.SetAttribute(Name("Value"), ZString(value));
    return root;
}

int g_loads = 0;
ZHashedString g_lastLoaded;

void CountingCallback(ZDefNode& root, const ZHashedString fileName) {
    ++g_loads;
    g_lastLoaded = fileName;
    root.SetAttribute(Name("Hooked"), ZString("yes"));
}

class ZDefinitionCacheTest : public datatest::DataFilesTest {
protected:
    void SetUp() override {
        DataFilesTest::SetUp();
        g_loads = 0;
        g_lastLoaded = ZHashedString();
    }
};

TEST_F(ZDefinitionCacheTest, LoadsEachFileOnceAndRunsTheCallbackOnEachLoad) {
    ASSERT_TRUE(SaveDefinitionFile(Tree("first"), m_data.File("Thing.zdd").c_str()));
    ZDefinitionCache cache(&CountingCallback);
    const ZHashedString file = Name("Thing.zdd");

    const ZDefNode& tree = cache.GetDefinitionFile(file);
    EXPECT_EQ(tree.GetAttribute(Name("Value")), "first");
    EXPECT_EQ(tree.GetAttribute(Name("Hooked")), "yes");
    EXPECT_EQ(g_lastLoaded, file);

    // A changed file is not read again while its tree is cached.
    ASSERT_TRUE(SaveDefinitionFile(Tree("second"), m_data.File("Thing.zdd").c_str()));
    EXPECT_EQ(&cache.GetDefinitionFile(Name("THING.ZDD")), &tree);
    EXPECT_EQ(g_loads, 1);

    cache.Clear();
    EXPECT_EQ(cache.GetDefinitionFile(file).GetAttribute(Name("Value")), "second");
    EXPECT_EQ(g_loads, 2);
}

TEST_F(ZDefinitionCacheTest, AMissingFileIsCachedAsAnEmptyTree) {
    ZDefinitionCache cache;
    const ZHashedString file = Name("Absent.zdd");
    EXPECT_TRUE(cache.GetDefinitionFile(file).IsEmpty());
    EXPECT_TRUE(cache.IsCached(file));

    // Found later only after the cache is emptied.
    ASSERT_TRUE(SaveDefinitionFile(Tree("late"), m_data.File("Absent.zdd").c_str()));
    EXPECT_TRUE(cache.GetDefinitionFile(file).IsEmpty());
    cache.Clear();
    EXPECT_EQ(cache.GetDefinitionFile(file).GetAttribute(Name("Value")), "late");
}

}  // namespace
