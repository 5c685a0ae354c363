#include "foundation/ZDefNode.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

// Root with children named by the letters of kinds, each with attribute i = its index.
ZDefNode MakeNode(const char* kinds) {
    ZDefNode root(Name("Root"));
    for (int i = 0; kinds[i] != 0; ++i) {
        const char text[2] = {kinds[i], 0};
        ZDefNode child(Name(text));
        child.SetAttribute(Name("i"), ZString(std::to_string(i).c_str()));
        root.AddChild(child);
    }
    return root;
}

TEST(ZDefNode, FindChildIndex) {
    const ZDefNode node = MakeNode("abab");
    struct Case {
        uint32_t start;
        const char* name;
        uint32_t expected;
    };
    const Case cases[] = {
        {0, "a", 0}, {1, "a", 2}, {3, "a", 4},  // none at or after the start: the count
        {0, "B", 1},                            // names ignore case
        {0, "c", 4}, {4, "a", 4}, {9, "a", 9},  // a start not below the count comes back
    };
    for (const Case& c : cases) {
        EXPECT_EQ(node.FindChildIndex(c.start, Name(c.name)), c.expected) << c.start << " " << c.name;
    }
}

TEST(ZDefNode, ChildIteratorAndLookupsVisitOnlyTheNamedChildren) {
    const ZDefNode node = MakeNode("abcab");
    ZDefNode::ChildIterator it(node, Name("b"));
    const ZDefNode* first = it.Next();
    const ZDefNode* second = it.Next();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetAttribute(Name("i")), "1");
    EXPECT_EQ(second->GetAttribute(Name("i")), "4");
    EXPECT_EQ(it.Next(), nullptr);
    EXPECT_EQ(it.Next(), nullptr);

    EXPECT_EQ(node.FindChildren(Name("a")).Count(), 2u);
    EXPECT_EQ(node.FindChild(Name("c")).GetAttribute(Name("i")), "2");
    const ZDefNode& missing = node.FindChild(Name("z"));
    EXPECT_EQ(&missing, &ZDefNode::GetEmptyNode());
    EXPECT_EQ(missing.GetAttribute(Name("i")), "");
}

TEST(ZDefNode, CopiesAreDeep) {
    ZDefNode original = MakeNode("ab");
    ZDefNode copy = original;
    copy.children[0].SetAttribute(Name("i"), ZString("changed"));
    copy.RemoveChild(1);
    EXPECT_EQ(original.children.Count(), 2u);
    EXPECT_EQ(original.children[0].GetAttribute(Name("i")), "0");
    EXPECT_FALSE(copy == original);
    copy = original;
    EXPECT_TRUE(copy == original);
}

TEST(ZDefNode, AssigningADescendantToItsAncestor) {
    ZDefNode deep = MakeNode("ab");
    deep.children[1].AddChild(MakeNode("xyz"));
    const ZDefNode expected = deep.children[1];

    ZDefNode copied = deep;
    copied = copied.children[1];
    EXPECT_TRUE(copied == expected);

    ZDefNode moved = deep;
    moved = std::move(moved.children[1]);
    EXPECT_TRUE(moved == expected);
}

TEST(ZDefNode, ResetAndClear) {
    ZDefNode node = MakeNode("ab");
    node.SetAttribute(Name("k"), ZString("v"));
    node.Clear();
    EXPECT_TRUE(node.IsEmpty());
    EXPECT_EQ(node.name, Name("Root"));
    node.Reset();
    EXPECT_TRUE(node.name.IsNone());
}

}  // namespace
