#include "foundation/ZDefinitionFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DataFilesFixture.h"
#include "foundation/ZMarkupNode.h"

namespace {

using datatest::Text;
using datatest::U32;

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

struct Attribute {
    std::string key;
    std::string value;
};

// A node in the file layout, built byte by byte.
std::string NodeBytes(const std::string& name, const std::vector<Attribute>& attributes,
                      const std::vector<std::string>& children = {}) {
    std::string out = Text(name) + U32(uint32_t(attributes.size())) + U32(uint32_t(children.size()));
    for (const Attribute& a : attributes) {
        out += Text(a.key) + Text(a.value);
    }
    for (const std::string& child : children) {
        out += child;
    }
    return out;
}

const std::string kHeader = std::string(".zdd") + datatest::U16(1) + datatest::U16(1);

ZDefNode Read(const std::string& fileBytes, bool* whole = nullptr) {
    ZDefNode root;
    const bool ok = ReadDefinitionBytes(root, fileBytes.data(), fileBytes.size());
    if (whole != nullptr) {
        *whole = ok;
    }
    return root;
}

// A tree with every feature: attributes, nested and repeated children, an empty node.
ZDefNode SampleTree() {
    ZDefNode root(Name("Entity"));
    root.SetAttribute(Name("Name"), ZString("Drovani"));
    ZDefNode physics(Name("Physics"));
    physics.SetAttribute(Name("Mass"), ZString("1.5"));
    physics.SetAttribute(Name("Gravity"), ZString("true"));
    ZDefNode shape(Name("Shape"));
    shape.SetAttribute(Name("Size"), ZString("8 16"));
    physics.AddChild(shape);
    root.AddChild(physics);
    root.AddChild(ZDefNode(Name("Facing")));
    root.AddChild(physics);
    return root;
}

TEST(DefinitionFile, NodeLayout) {
    // Names are written as first interned, so these spellings are used nowhere else.
    ZDefNode node(Name("LayoutLeaf"));
    std::string bytes;
    SerializeDefinitionNode(bytes, node);
    EXPECT_EQ(bytes, NodeBytes("LayoutLeaf", {}));
    EXPECT_EQ(bytes.size(), 12u + 10u);

    ZDefNode tree(Name("LayoutA"));
    tree.SetAttribute(Name("layoutKey"), ZString("value"));
    tree.AddChild(ZDefNode(Name("LayoutB")));
    bytes.clear();
    SerializeDefinitionNode(bytes, tree);
    EXPECT_EQ(bytes, NodeBytes("LayoutA", {{"layoutKey", "value"}}, {NodeBytes("LayoutB", {})}));

    // A node without a name is written as the text of the none name.
    bytes.clear();
    SerializeDefinitionNode(bytes, ZDefNode());
    EXPECT_EQ(bytes, NodeBytes("NULL", {}));
    EXPECT_TRUE(Read(kHeader + bytes).name.IsNone());
}

TEST(DefinitionFile, WriteThenReadGivesTheSameTreeWithAttributesInIdOrder) {
    const ZDefNode tree = SampleTree();
    std::string bytes = kHeader;
    SerializeDefinitionNode(bytes, tree);
    bool whole = false;
    const ZDefNode back = Read(bytes, &whole);
    EXPECT_TRUE(whole);
    EXPECT_TRUE(back == tree);

    const ZDefNode& physics = back.children[0];
    const ZHashedString mass = Name("Mass");
    const ZHashedString gravity = Name("Gravity");
    ASSERT_EQ(physics.attributes.Count(), 2u);
    EXPECT_EQ(physics.attributes.begin()->key, mass < gravity ? mass : gravity);
}

TEST(DefinitionFile, RepeatedKeysInAnyCaseKeepTheLaterValue) {
    const ZDefNode root = Read(kHeader + NodeBytes("Root", {{"Speed", "1"}, {"SPEED", "2"}, {"other", "x"}}));
    EXPECT_EQ(root.attributes.Count(), 2u);
    EXPECT_EQ(root.GetAttribute(Name("speed")), "2");
}

TEST(DefinitionFile, TextsLongerThanAnyFixedBufferAreReadWhole) {
    const std::string longValue(5000, 'v');
    const std::string longName(300, 'n');
    const ZDefNode root = Read(kHeader + NodeBytes("Root", {{"Text", longValue}, {longName, "x"}}));
    EXPECT_EQ(root.GetAttribute(Name("Text")).GetLength(), 5000);
    // Names keep their first 255 bytes, as every hashed name does.
    EXPECT_EQ(root.GetAttribute(Name(longName.substr(0, 255).c_str())), "x");
}

TEST(DefinitionFile, DamagedBytesGiveAPartialTreeAndNeverAnOverRead) {
    struct Case {
        const char* what;
        std::string bytes;
        uint32_t attributes;  // kept by the root
        uint32_t children;
    };
    const std::string child = NodeBytes("Child", {{"a", "1"}});
    const Case cases[] = {
        {"empty", "", 0, 0},
        {"header only", kHeader, 0, 0},
        {"short header", kHeader.substr(0, 5), 0, 0},
        {"name longer than the file", kHeader + U32(0xFFFFFFFFu) + "Root", 0, 0},
        {"counts the bytes cannot hold", kHeader + Text("Root") + U32(0xFFFFFFFFu) + U32(0xFFFFFFFFu), 0, 0},
        {"value cut short",
         kHeader + Text("Root") + U32(2) + U32(0) + Text("k") + Text("v") + Text("k2") + U32(9) + "abc", 1,
         0},
        {"second child missing", kHeader + Text("Root") + U32(0) + U32(2) + child, 0, 1},
    };
    for (const Case& c : cases) {
        bool whole = true;
        const ZDefNode root = Read(c.bytes, &whole);
        EXPECT_FALSE(whole) << c.what;
        EXPECT_EQ(root.attributes.Count(), c.attributes) << c.what;
        EXPECT_EQ(root.children.Count(), c.children) << c.what;
    }
}

TEST(DefinitionFile, EveryPrefixOfAFileReadsInsideItsBytes) {
    std::string bytes = kHeader;
    SerializeDefinitionNode(bytes, SampleTree());
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::unique_ptr<char[]> exact(new char[n == 0 ? 1 : n]);
        std::copy(bytes.begin(), bytes.begin() + long(n), exact.get());
        ZDefNode root;
        EXPECT_FALSE(ReadDefinitionBytes(root, exact.get(), n)) << n;
    }
}

TEST(DefinitionFile, NestingDeeperThanTheLimitIsRefused) {
    std::string node = NodeBytes("leaf", {});
    for (uint32_t i = 0; i < kMaxDefinitionDepth + 10; ++i) {
        node = NodeBytes("n", {}, {node});
    }
    bool whole = true;
    const ZDefNode root = Read(kHeader + node, &whole);
    EXPECT_FALSE(whole);
    uint32_t depth = 0;
    for (const ZDefNode* n = &root; !n->children.IsEmpty(); n = &n->children[0]) {
        ++depth;
    }
    EXPECT_LT(depth, kMaxDefinitionDepth);
}

TEST(DefinitionFile, BuildDefinitionNodesFromMarkup) {
    const std::string text = "<Entity Name='Drovani'><physics Mass=1 mass=2/>text<FACING/></Entity><entity/>";
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    nodes.PushBack(ZDefNode(Name("Earlier")));
    BuildDefinitionNodes(nodes, markup);
    EXPECT_TRUE(markup.IsEmpty());

    ASSERT_EQ(nodes.Count(), 3u);
    const ZDefNode& entity = nodes[1];
    EXPECT_EQ(entity.name, Name("ENTITY"));
    EXPECT_EQ(nodes[2].name, entity.name);
    EXPECT_EQ(entity.GetAttribute(Name("name")), "Drovani");
    ASSERT_EQ(entity.children.Count(), 2u);
    EXPECT_EQ(entity.children[0].name, Name("Physics"));
    EXPECT_EQ(entity.children[0].attributes.Count(), 1u);
    EXPECT_EQ(entity.children[0].GetAttribute(Name("Mass")), "2");
    EXPECT_EQ(entity.children[1].name, Name("Facing"));
}

TEST(DefinitionFile, VersionAtLeast1_1) {
    struct Case {
        uint32_t major;
        uint32_t minor;
        bool expected;
    };
    const Case cases[] = {{0, 9, false}, {1, 0, false}, {1, 1, true}, {1, 7, true}, {2, 0, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(VersionAtLeast1_1(c.major, c.minor), c.expected) << c.major << "." << c.minor;
    }
}

class DefinitionFileLoad : public datatest::DataFilesTest {};

TEST_F(DefinitionFileLoad, ReadsThroughTheStreamSourcesAndReportsDamage) {
    ZDefNode root = SampleTree();
    EXPECT_FALSE(LoadDefinitionFile(root, "Missing.zdd"));
    EXPECT_TRUE(root.IsEmpty());
    EXPECT_TRUE(root.name.IsNone());
    EXPECT_EQ(LogText().find("Missing.zdd"), std::string::npos);  // a missing file is no fault

    ASSERT_TRUE(SaveDefinitionFile(SampleTree(), m_data.File("Player.zdd").c_str()));
    EXPECT_TRUE(LoadDefinitionFile(root, "Player.zdd"));
    EXPECT_TRUE(root == SampleTree());

    std::string bytes = m_data.Read("Player.zdd");
    m_data.Write("Cut.zdd", bytes.substr(0, bytes.size() - 3));
    EXPECT_FALSE(LoadDefinitionFile(root, "Cut.zdd"));
    EXPECT_EQ(root.name, Name("Entity"));
    EXPECT_NE(LogText().find("Cut.zdd is truncated or damaged"), std::string::npos);
}

}  // namespace
