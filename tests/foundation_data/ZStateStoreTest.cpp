#include "foundation/ZStateStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DataFilesFixture.h"
#include "foundation/ZDefinitionFile.h"

namespace {

using datatest::Text;
using datatest::U16;
using datatest::U32;

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

std::string Header(uint16_t major, uint16_t minor, uint32_t count) {
    return ".zsd" + U16(major) + U16(minor) + U32(count);
}

std::string NodeBytes(const ZDefNode& node) {
    std::string out;
    SerializeDefinitionNode(out, node);
    return out;
}

ZDefNode Progress(const char* room) {
    ZDefNode node(Name("Player"));
    node.SetAttribute(Name("Room"), ZString(room));
    ZDefNode powerup(Name("Powerup"));
    powerup.SetAttribute(Name("Name"), ZString("DoubleJump"));
    node.AddChild(powerup);
    return node;
}

// A store with ordinary keys, a key with the top bit set and an unfilled entry.
void Fill(ZStateStore& store) {
    store.GetOrInsert(0x80000001u) = Progress("high");
    store.GetOrInsert(7) = Progress("seven");
    store.GetOrInsert(3).SetAttribute(Name("Visited"), ZString("1"));
    store.GetOrInsert(5);  // never filled
}

TEST(ZStateStore, WritesNonEmptyEntriesInUnsignedKeyOrder) {
    ZStateStore store;
    Fill(store);
    const std::string expected = Header(1, 1, 3) + U32(3) + NodeBytes(store.Get(3)) + U32(7) +
                                 NodeBytes(Progress("seven")) + U32(0x80000001u) +
                                 NodeBytes(Progress("high"));
    EXPECT_EQ(store.SaveBytes(), expected);
}

TEST(ZStateStore, SaveThenLoadGivesTheSameEntries) {
    korvtest::TempDir dir;
    const std::string path = dir.File("autosave.zsd");
    ZStateStore store;
    Fill(store);
    ASSERT_TRUE(store.Save(path.c_str()));

    ZStateStore back;
    back.GetOrInsert(99) = Progress("stale");
    EXPECT_TRUE(back.Load(path.c_str()));
    EXPECT_EQ(back.Count(), 3u);
    EXPECT_FALSE(back.Has(99));
    EXPECT_FALSE(back.Has(5));
    for (const uint32_t key : {3u, 7u, 0x80000001u}) {
        EXPECT_TRUE(back.Get(key) == store.Get(key)) << key;
    }
    EXPECT_TRUE(back.Get(1234).IsEmpty());

    // Saving again replaces the file whole.
    back.Clear();
    back.GetOrInsert(1) = Progress("one");
    ASSERT_TRUE(back.Save(path.c_str()));
    EXPECT_TRUE(store.Load(path.c_str()));
    EXPECT_EQ(store.Count(), 1u);
    EXPECT_TRUE(store.Get(1) == Progress("one"));
}

TEST(ZStateStore, OlderAndOddVersions) {
    struct Case {
        const char* what;
        std::string bytes;
        bool whole;
        uint32_t entries;
    };
    const std::string pairs =
        U32(2) + Text("Room") + Text("x") + Text(std::string(300, 'n')) + Text("long value");
    const Case cases[] = {
        {"version 1.0 loads empty", Header(1, 0, 2) + U32(1) + pairs + U32(2) + U32(0), true, 0},
        {"version 1.0 with a text past the end", Header(1, 0, 1) + U32(1) + U32(1) + U32(0xFFFFFFF0u) + "abc",
         false, 0},
        {"major 0 holds bare keys", Header(0, 0, 3) + U32(1) + U32(2) + U32(3), true, 0},
        {"a later version reads nodes", Header(2, 0, 1) + U32(4) + NodeBytes(Progress("four")), true, 1},
        {"another magic is read all the same",
         "ZSD!" + U16(1) + U16(1) + U32(1) + U32(4) + NodeBytes(Progress("x")), true, 1},
        {"a repeated key keeps the later node",
         Header(1, 1, 2) + U32(4) + NodeBytes(Progress("a")) + U32(4) + NodeBytes(Progress("b")), true, 1},
    };
    for (const Case& c : cases) {
        ZStateStore store;
        EXPECT_EQ(store.LoadBytes(c.bytes.data(), c.bytes.size()), c.whole) << c.what;
        EXPECT_EQ(store.Count(), c.entries) << c.what;
    }
}

TEST(ZStateStore, ATruncatedFileKeepsOnlyWholeEntries) {
    ZStateStore store;
    Fill(store);
    const std::string bytes = store.SaveBytes();
    const size_t firstEntryEnd = 12 + 4 + NodeBytes(store.Get(3)).size();
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::unique_ptr<char[]> exact(new char[n == 0 ? 1 : n]);
        std::copy(bytes.begin(), bytes.begin() + long(n), exact.get());
        ZStateStore back;
        EXPECT_FALSE(back.LoadBytes(exact.get(), n)) << n;
        EXPECT_EQ(back.Has(3), n >= firstEntryEnd) << n;
        for (const auto& entry : back.GetEntries()) {
            EXPECT_TRUE(entry.value == store.Get(entry.key)) << n;  // never a part-read node
        }
    }
}

class ZStateStoreFiles : public datatest::DataFilesTest {};

TEST_F(ZStateStoreFiles, FailuresLeaveTheOldFileAndAreLogged) {
    const std::string path = m_documents.File("autosave.zsd");
    ZStateStore store;
    Fill(store);
    ASSERT_TRUE(store.Save(path.c_str()));
    const std::string saved = m_documents.Read("autosave.zsd");

    EXPECT_FALSE(store.Save(m_documents.File("missing folder/autosave.zsd").c_str()));
    EXPECT_NE(LogText().find("ZStateStore::Save"), std::string::npos);

    m_documents.Write("cut.zsd", saved.substr(0, saved.size() - 1));
    ZStateStore back;
    EXPECT_FALSE(back.Load(m_documents.File("cut.zsd").c_str()));
    EXPECT_EQ(back.Count(), 2u);
    EXPECT_NE(LogText().find("cut.zsd is truncated or damaged"), std::string::npos);

    EXPECT_FALSE(back.Load(m_documents.File("none.zsd").c_str()));
    EXPECT_EQ(back.Count(), 0u);
    EXPECT_EQ(m_documents.Read("autosave.zsd"), saved);
}

}  // namespace
