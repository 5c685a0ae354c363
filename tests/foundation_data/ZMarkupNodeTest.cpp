#include "foundation/ZMarkupNode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// name[attr=value,...]{child child "text" ...}: the parts of a node a reader sees.
std::string Describe(const ZMarkupNode& node) {
    std::string out = node.name.GetText();
    if (!node.attributes.IsEmpty()) {
        out += "[";
        for (uint32_t i = 0; i < node.attributes.Count(); ++i) {
            out += i > 0 ? "," : "";
            out +=
                std::string(node.attributes[i]->name.GetText()) + "=" + node.attributes[i]->value.GetText();
        }
        out += "]";
    }
    if (!node.children.IsEmpty() || !node.texts.IsEmpty()) {
        std::string items;
        for (const ZMarkupNode* child : node.children) {
            items += (items.empty() ? "" : " ") + Describe(*child);
        }
        for (const ZString& text : node.texts) {
            items += (items.empty() ? "\"" : " \"") + std::string(text.GetText()) + "\"";
        }
        out += "{" + items + "}";
    }
    return out;
}

std::string Describe(const ZArray<ZMarkupNode*>& nodes) {
    std::string out;
    for (const ZMarkupNode* node : nodes) {
        out += (out.empty() ? "" : " ") + Describe(*node);
    }
    return out;
}

std::string Parse(const std::string& text) {
    ZArray<ZMarkupNode*> nodes;
    ParseMarkupNode(nodes, text.data(), text.size(), nullptr);
    std::string described = Describe(nodes);
    FreeMarkupNodes(nodes);
    return described;
}

TEST(ZMarkupNode, ParsesElementsAttributesAndTexts) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"<a x='1' y=\"2\" z=3 w/>", "a[x=1,y=2,z=3,w=]"},
        {"<a k = \"v\" >text</a >", "a[k=v]{\"text\"}"},
        {"< a/>", "a"},
        {"<Entity/>", "Entity"},
        {"<a/><b/>", "a b"},
        {"<a><b/><c></c></a>", "a{b c}"},
        // Text between children: one trimmed run each.
        {"<a>  one <b/>\n two\t</a>", "a{b \"one\" \"two\"}"},
        // Top-level text has no owner and is dropped.
        {"loose <a/> text", "a"},
        {"<?xml version=\"1.0\"?><!DOCTYPE x><!-- note --><a/>", "a"},
        // A comment ends at its first '>'; the rest is text.
        {"<r><!-- x > y --></r>", "r{\"y -->\"}"},
        {"<a><a><b/></a></a>", "a{a{b}}"},
        {"<a><!-- <b> --><c/></a>", "a{c \"-->\"}"},
        // A declaration inside an element opens nothing, so the close tag still matches.
        {"<a><?pi x?><!DOCTYPE y><b/></a>", "a{b}"},
        // Quoted values keep '/', '>' and the other quote; bare ones stop at '/'.
        {"<a b=\"x/y>z\" c='say \"hi\"'/>", "a[b=x/y>z,c=say \"hi\"]"},
        {"<a b=x/>", "a[b=x]"},
        {"<a b=\"xyz", "a[b=xyz]"},
        // Without a close tag an element is empty and what follows is its sibling.
        {"<a><b/>", "a b"},
        {"<a><b></a>", "a b"},
        {"<A></a>", "A"},
        // Stray close tags and nameless tags make nothing.
        {"</x><a/>< >", "a"},
        {"", ""},
        {"<", ""},
        {"<a", "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.text), c.expected) << c.text;
    }
}

TEST(ZMarkupNode, TextRunsOfTheTopLevelGoToTheOwner) {
    const std::string text = " before <a/> between <b/> after ";
    ZMarkupNode owner(ZString("owner"));
    ParseMarkupNode(owner.children, text.data(), text.size(), &owner);
    EXPECT_EQ(Describe(owner), "owner{a b \"before\" \"between\" \"after\"}");
}

TEST(ZMarkupNode, StopsAtTheLengthOrAZeroByte) {
    const char text[] = "<a/><b/>\0<c/>";
    ZArray<ZMarkupNode*> nodes;
    EXPECT_EQ(ParseMarkupNode(nodes, text, 4, nullptr), 1u);
    EXPECT_EQ(ParseMarkupNode(nodes, text, sizeof(text) - 1, nullptr), 2u);
    EXPECT_EQ(Describe(nodes), "a a b");
    FreeMarkupNodes(nodes);
}

TEST(ZMarkupNode, DeepNestingIsCutAndDoesNotExhaustTheStack) {
    std::string text;
    const int depth = 5000;
    for (int i = 0; i < depth; ++i) {
        text += "<n>";
    }
    for (int i = 0; i < depth; ++i) {
        text += "</n>";
    }
    ZArray<ZMarkupNode*> nodes;
    ParseMarkupNode(nodes, text.data(), text.size(), nullptr);
    ASSERT_EQ(nodes.Count(), 1u);
    uint32_t levels = 0;
    for (const ZMarkupNode* n = nodes[0]; n != nullptr;
         n = n->children.IsEmpty() ? nullptr : n->children[0]) {
        ++levels;
    }
    EXPECT_EQ(levels, kMaxMarkupDepth);
    FreeMarkupNodes(nodes);
}

TEST(ZMarkupNode, EveryPrefixOfADocumentStaysInItsBytes) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n<!-- campaign -->\n<Campaign Name='First' Maps=3>\n"
        "  <Map File=\"a.kdd\" Start/>\n  text <Room x=1 y=2>\n<Door To='b'/></Room>\n</Campaign>\n";
    for (size_t n = 0; n <= text.size(); ++n) {
        // An exact-size copy, so that a read past the end is caught.
        std::unique_ptr<char[]> bytes(new char[n == 0 ? 1 : n]);
        std::memcpy(bytes.get(), text.data(), n);
        ZMarkupNode owner;
        ParseMarkupNode(owner.children, bytes.get(), n, &owner);
    }
    EXPECT_EQ(Parse(text),
              "Campaign[Name=First,Maps=3]{Map[File=a.kdd,Start=] Room[x=1,y=2]{Door[To=b]} \"text\"}");
}

}  // namespace
