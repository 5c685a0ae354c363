#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "game/progression/RandomizerData.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

ZDefNode Node(const char* name, std::initializer_list<std::pair<const char*, const char*>> attributes,
              std::initializer_list<ZDefNode> children = {}) {
    ZDefNode node(H(name));
    for (const auto& [key, value] : attributes) node.SetAttribute(H(key), ZString(value));
    for (const ZDefNode& child : children) node.AddChild(child);
    return node;
}

std::string Attr(const ZDefNode& node, const char* key) { return node.GetAttribute(H(key)).GetText(); }

// A shopkeeper: a stable entity giving its item through a function and a dialog.
ZDefNode Shopkeeper(const char* function, const char* glyph, const char* line, bool withCount = true) {
    ZDefNode helper = withCount ? Node("MapHelper", {{"Name", "npc"}, {"Count", "2"}}) : Node("MapHelper", {{"Name", "npc"}});
    return Node("Entity", {{"Kind", "npc"}}, {
        Node("Space", {{"X", "1"}}),
        Node("GUID", {{"GUID", "5"}}),
        helper,
        Node("Randomizer", {{"Stable", "true"}, {"Reqs", "10000000"}}, {
            Node("Opportunity", {}, {Node("Grant", {{"Function", function}, {"Glyph", glyph}, {"Definition", "Unused"}})}),
        }),
        Node("Script", {}, {Node("function", {{"name", function}}, {Node("give", {{"item", glyph}})})}),
        Node("text", {{"dialog", line}, {"Section", "Shop"}, {"File", "Dialog"}}),
    });
}

// A pickup: the entity is the gift.
ZDefNode Pickup(const char* item, const char* gift) {
    return Node("Entity", {{"Kind", "pickup"}}, {
        Node("GUID", {{"GUID", "9"}}),
        Node("Randomizer", {{"Stable", "false"}}, {Node("Opportunity", {}, {Node("Grant", {{"Definition", gift}})})}),
        Node("Powerup", {{"Item", item}}),
        Node("Space", {{"X", "7"}}),
    });
}

class RandomizerData : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(data.Path().c_str());
        data.Write("Dialog.txt", "[Shop]\nLine1: Buy a <img>ui:boots<img>?\nLine2: Take the <img>ui:gem<img>\n");
        ZLocMgr::GetInstance()->AddStringFile("Dialog.txt");
        ZLocMgr::GetInstance()->SetDefaultPath(false);
        ClearRandomizedWorld(GetRandomizerWorldTable());
        ZDefinitionCache::GetInstance()->SetLoadCallback(&RandomizerDefinitionHook);
    }

    void TearDown() override {
        ClearRandomizedWorld(GetRandomizerWorldTable());
        ZDefinitionCache::DestroyInstance();
        ZLocMgr::DestroyInstance();
        ZLocListener::DestroyRegistry();
        ZStreamMgr::DestroyInstance();
    }

    void Save(const char* name, const ZDefNode& root) { ASSERT_TRUE(SaveDefinitionFile(root, data.File(name).c_str())); }

    std::string String(const char* key) const {
        return ZLocMgr::GetInstance()->GetString(H("Dialog"), H("Shop"), H(key)).GetText();
    }

    static OpportunityRef Ref(const char* file) { return OpportunityRef::FromNames(file, ""); }

    korvtest::TempDir documents;
    korvtest::TempDir data;
    korvtest::TestAppInfo info{"Randomizer Test", false};
    korvtest::EngineTestEnv env{documents.Path(), &info};
};

const char* const kA = "QXV_EntInst_000000aa.zdd";
const char* const kB = "QXV_EntInst_000000bb.zdd";
const char* const kC = "QXV_EntInst_000000cc.zdd";

}  // namespace

TEST(RandomizerNames, InstanceIdsAndMasksAreReadFromTheirTexts) {
    EXPECT_EQ(InstanceIdFromFileName("QXV_EntInst_286b357a.zdd"), 0x286b357au);
    EXPECT_EQ(InstanceIdFromFileName("QXV_EntInst_286B357A"), 0x286b357au);
    EXPECT_EQ(InstanceIdFromFileName("Minimaps.zdd"), 0u);
    EXPECT_EQ(InstanceIdFromFileName("QXV_EntInst_xyz.zdd"), 0u);
    EXPECT_EQ(InstanceIdFromFileName("QXV_EntInst_123456789.zdd"), 0u);
    EXPECT_EQ(InstanceFileName(0x603f10), "QXV_EntInst_00603f10.zdd");
    EXPECT_EQ(ParseRequirementMask("0x10000030"), 0x10000030u);  // "x" is skipped
    EXPECT_EQ(ParseRequirementMask(" 4 000 020 "), 0x4000020u);
    EXPECT_EQ(ParseRequirementMask(""), 0u);
}

TEST_F(RandomizerData, TheElementIsReadOnceAndFilesWithoutItRegisterNothing) {
    std::vector<RandomizerFileRecord> records;
    ZDefNode root = Pickup("Gem", "Gem");
    root.AddChild(Node("Randomizer", {{"Reqs", "10000001"}}, {Node("Opportunity", {{"ID", "extra"}})}));
    ReadRandomizerElement(root, records, H(kA));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].instanceId, 0xaau);
    EXPECT_FALSE(records[0].stable);
    EXPECT_EQ(records[0].requirementMask, 0u);
    EXPECT_TRUE(records[0].hasRequirements);   // from the second element
    EXPECT_TRUE(records[0].majorEligible);
    EXPECT_EQ(records[0].opportunities.size(), 1u);  // the second adds no opportunity

    Save(kC, Node("Entity", {}, {Node("GUID", {{"GUID", "1"}})}));
    Save(kA, Pickup("Gem", "Gem"));
    const ZDefNode plain = GetDefinitionFile(H(kC));
    EXPECT_EQ(plain.children.Count(), 1u);
    EXPECT_TRUE(GetOpportunityRegistry().empty());
    // With no world a randomizer file loads as shipped, but is registered.
    ZDefNode shipped;
    LoadDefinitionFile(shipped, kA);
    EXPECT_TRUE(GetDefinitionFile(H(kA)) == shipped);
    EXPECT_EQ(GetOpportunityRegistry().size(), 1u);
}

TEST_F(RandomizerData, AGlobalOpportunityRegistersOnlyOnce) {
    const ZDefNode shop = Node("Entity", {}, {Node("Randomizer", {{"Stable", "true"}}, {
        Node("Opportunity", {{"ID", "tier1"}, {"Global", "true"}, {"GlobalID", "tier1"}}),
        Node("Opportunity", {{"ID", "local"}}),
    })});
    Save(kA, shop);
    Save(kB, shop);
    GetDefinitionFile(H(kA));
    GetDefinitionFile(H(kB));
    const auto& registry = GetOpportunityRegistry();
    EXPECT_EQ(registry.size(), 3u);
    EXPECT_EQ(registry.count({H(kA), H("tier1")}), 1u);
    EXPECT_EQ(registry.count({H(kB), H("tier1")}), 0u);
    EXPECT_EQ(registry.count({H(kB), H("local")}), 1u);
}

TEST_F(RandomizerData, AStableEntityTakesTheSourcesFunctionGlyphAndCount) {
    Save(kA, Shopkeeper("GiveBoots", "ui:boots", "Line1"));
    Save(kB, Shopkeeper("GiveGem", "ui:gem", "Line2", false));
    GetRandomizerWorldTable()[Ref(kA)] = Ref(kB);

    const ZDefNode& root = GetDefinitionFile(H(kA));
    EXPECT_EQ(Attr(root.FindChild(H("MapHelper")), "Count"), "3");  // 2 and the source's 1
    const ZDefNode& function = root.FindChild(H("Script")).FindChild(H("function"));
    EXPECT_EQ(Attr(function, "name"), "GiveBoots");  // the target's calls still reach it
    EXPECT_EQ(Attr(function.FindChild(H("give")), "item"), "ui:gem");
    EXPECT_EQ(Attr(function, "Randomized"), "true");
    EXPECT_EQ(Attr(root.FindChild(H("text")), "Randomized"), "true");
    EXPECT_EQ(String("Line1"), "Buy a <img>ui:gem<img>?");

    // Clearing the world reads every file and string as shipped again.
    ClearRandomizedWorld(GetRandomizerWorldTable());
    EXPECT_EQ(String("Line1"), "Buy a <img>ui:boots<img>?");
    EXPECT_EQ(Attr(GetDefinitionFile(H(kA)).FindChild(H("MapHelper")), "Count"), "2");
    EXPECT_TRUE(GetRandomizerAssignmentText().IsEmpty());
}

TEST_F(RandomizerData, AStableEntityGivenItsOwnGiftIsMarkedButTheSame) {
    const ZDefNode shipped = Shopkeeper("GiveBoots", "ui:boots", "Line1");
    Save(kA, shipped);
    GetRandomizerWorldTable()[Ref(kA)] = Ref(kA);
    const ZDefNode& root = GetDefinitionFile(H(kA));
    const ZDefNode& function = root.FindChild(H("Script")).FindChild(H("function"));
    EXPECT_EQ(Attr(function, "Randomized"), "true");
    EXPECT_TRUE(function.FindChild(H("give")) == shipped.FindChild(H("Script")).FindChild(H("function")).FindChild(H("give")));
    EXPECT_EQ(String("Line1"), "Buy a <img>ui:boots<img>?");
}

TEST_F(RandomizerData, MarkedElementsAreNotRewrittenAgain) {
    ZDefNode root = Shopkeeper("GiveBoots", "ui:boots", "Line1");
    root.children[5].SetAttribute(H("Randomized"), ZString("true"));  // the text
    RetargetTextGlyph(root, H("text"), H("dialog"), "ui:boots", "ui:gem");
    EXPECT_EQ(String("Line1"), "Buy a <img>ui:boots<img>?");

    const ZDefNode replacement = Node("function", {{"name", "Other"}}, {Node("give", {{"item", "x"}})});
    ReplaceElementsByAttribute(root, H("function"), H("name"), "GiveBoots", replacement);
    ReplaceElementsByAttribute(root, H("function"), H("name"), "GiveBoots", Node("function", {{"name", "Third"}}));
    const ZDefNode& function = root.FindChild(H("Script")).FindChild(H("function"));
    EXPECT_EQ(Attr(function, "name"), "GiveBoots");
    EXPECT_EQ(Attr(function.FindChild(H("give")), "item"), "x");

    // Nothing found: the empty node.
    EXPECT_EQ(&FindElementByAttribute(root, H("function"), H("name"), "Missing"), &ZDefNode::GetEmptyNode());
}

TEST_F(RandomizerData, APickupBecomesTheGiftInItsOwnPlace) {
    // A stable source: the pickup becomes the source's gift definition.
    Save(kA, Pickup("Gem", "Gem"));
    Save(kB, Shopkeeper("GiveBoots", "ui:boots", "Line1"));
    data.Write("Unused.zdd", "");
    Save("Boots.zdd", Node("Entity", {}, {Node("GUID", {{"GUID", "77"}}), Node("Powerup", {{"Item", "Boots"}})}));
    ZDefNode bootsShop = Shopkeeper("GiveBoots", "ui:boots", "Line1");
    bootsShop.children[3].children[0].children[0].SetAttribute(H("Definition"), ZString("Boots"));
    Save(kB, bootsShop);
    // A pickup source: the target becomes the source entity.
    Save(kC, Pickup("Key", "Key"));
    Save("QXV_EntInst_000000dd.zdd", Pickup("Gem", "Gem"));
    GetRandomizerWorldTable()[Ref(kA)] = Ref(kB);
    GetRandomizerWorldTable()[Ref("QXV_EntInst_000000dd.zdd")] = Ref(kC);

    const ZDefNode& fromShop = GetDefinitionFile(H(kA));
    EXPECT_EQ(Attr(fromShop, "Kind"), "pickup");  // its own name and attributes
    ASSERT_EQ(fromShop.children.Count(), 3u);
    EXPECT_EQ(fromShop.children[0].name, H("GUID"));  // its own identity and place first
    EXPECT_EQ(Attr(fromShop.children[0], "GUID"), "9");
    EXPECT_EQ(fromShop.children[1].name, H("Space"));
    EXPECT_EQ(Attr(fromShop.children[2], "Item"), "Boots");

    const ZDefNode& fromPickup = GetDefinitionFile(H("QXV_EntInst_000000dd.zdd"));
    EXPECT_EQ(Attr(fromPickup.FindChild(H("GUID")), "GUID"), "9");
    EXPECT_EQ(Attr(fromPickup.FindChild(H("Powerup")), "Item"), "Key");
    EXPECT_EQ(fromPickup.FindChild(H("Randomizer")).children.Count(), 1u);
}
