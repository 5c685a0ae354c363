#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

namespace {

using IntMap = ZMap<int32_t, int32_t>;

// The tree's shape as text: "key(left,right)", "-" for a missing child, a leaf
// as its bare key.
template <typename K, typename V>
std::string Shape(const ZMapNode<K, V>* node) {
    if (node == nullptr) {
        return "-";
    }
    std::string s = std::to_string(node->key);
    if (node->left != nullptr || node->right != nullptr) {
        s += "(" + Shape(node->left) + "," + Shape(node->right) + ")";
    }
    return s;
}

// Checks links, stored heights and the AVL balance below node; answers the
// subtree's height, or -1 after reporting a fault.
template <typename K, typename V>
int32_t CheckSubtree(const ZMapNode<K, V>* node, uint32_t& nodes) {
    if (node == nullptr) {
        return 0;
    }
    ++nodes;
    const int32_t lh = CheckSubtree(node->left, nodes);
    const int32_t rh = CheckSubtree(node->right, nodes);
    if (lh < 0 || rh < 0) {
        return -1;
    }
    bool ok = true;
    if (node->left != nullptr && (node->left->parent != node || !(node->left->key < node->key))) {
        ADD_FAILURE() << "left link of " << node->key;
        ok = false;
    }
    if (node->right != nullptr && (node->right->parent != node || !(node->key < node->right->key))) {
        ADD_FAILURE() << "right link of " << node->key;
        ok = false;
    }
    if (node->leftHeight != lh || node->rightHeight != rh) {
        ADD_FAILURE() << "stored heights of " << node->key << ": " << node->leftHeight << "/"
                      << node->rightHeight << ", true " << lh << "/" << rh;
        ok = false;
    }
    if (rh - lh > 1 || lh - rh > 1) {
        ADD_FAILURE() << "unbalanced at " << node->key;
        ok = false;
    }
    return ok ? 1 + std::max(lh, rh) : -1;
}

template <typename K, typename V>
bool IsSoundTree(const ZMap<K, V>& map) {
    if (map.Root() != nullptr && map.Root()->parent != nullptr) {
        ADD_FAILURE() << "root has a parent";
        return false;
    }
    uint32_t nodes = 0;
    if (CheckSubtree(map.Root(), nodes) < 0) {
        return false;
    }
    EXPECT_EQ(nodes, map.Count());
    return nodes == map.Count();
}

template <typename K, typename V>
std::vector<K> Keys(const ZMap<K, V>& map) {
    std::vector<K> keys;
    for (const auto& node : map) {
        keys.push_back(node.key);
    }
    return keys;
}

IntMap Built(std::initializer_list<int32_t> keys) {
    IntMap map;
    for (int32_t k : keys) {
        map.Insert(k, k * 10);
    }
    return map;
}

// Counts live objects so that a value leaked or destroyed twice shows up.
struct Tracked {
    static int live;
    std::string text;
    Tracked() { ++live; }
    explicit Tracked(const char* t) : text(t) { ++live; }
    Tracked(const Tracked& o) : text(o.text) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;

}  // namespace

TEST(ZMap, InsertionShapes) {
    struct Case {
        std::initializer_list<int32_t> keys;
        const char* shape;
    };
    const Case cases[] = {
        {{1, 2, 3}, "2(1,3)"},          // left rotation at 1
        {{3, 2, 1}, "2(1,3)"},          // right rotation at 3
        {{1, 3, 2}, "2(1,3)"},          // right rotation of 3, then left rotation of 1
        {{3, 1, 2}, "2(1,3)"},
        {{5, 3, 8, 1, 4, 2}, "3(1(-,2),5(4,8))"},
        {{1, 2, 3, 4, 5, 6, 7}, "4(2(1,3),6(5,7))"},
        {{2, 1, 2, 2}, "2(1,-)"},       // equal keys change nothing
    };
    for (const Case& c : cases) {
        const IntMap map = Built(c.keys);
        EXPECT_EQ(Shape(map.Root()), c.shape);
        EXPECT_TRUE(IsSoundTree(map));
    }
}

TEST(ZMap, Removal) {
    struct Case {
        std::initializer_list<int32_t> keys;
        int32_t remove;
        bool removed;
        const char* shape;
    };
    const Case cases[] = {
        {{2, 1, 3}, 2, true, "1(-,3)"},   // the predecessor takes the root's place
        {{2, 1, 3}, 1, true, "2(-,3)"},
        {{2, 3}, 2, true, "3"},           // no left child: the successor
        {{7}, 7, true, "-"},
        {{2, 1, 3}, 9, false, "2(1,3)"},
        {{}, 1, false, "-"},
        {{4, 2, 6, 1, 3, 5, 7}, 4, true, "3(2(1,-),6(5,7))"},
        {{4, 2, 6, 1, 3, 5, 7}, 6, true, "4(2(1,3),5(-,7))"},
        {{4, 2, 6, 1, 3, 5, 7, 8}, 5, true, "4(2(1,3),7(6,8))"},
        {{3, 2, 4, 1}, 4, true, "2(1,3)"},  // removal that rotates at the root
    };
    for (const Case& c : cases) {
        IntMap map = Built(c.keys);
        const uint32_t before = map.Count();
        EXPECT_EQ(map.Remove(c.remove), c.removed);
        EXPECT_EQ(map.Count(), before - (c.removed ? 1 : 0));
        EXPECT_EQ(Shape(map.Root()), c.shape) << "removing " << c.remove;
        EXPECT_FALSE(map.Contains(c.remove));
        EXPECT_TRUE(IsSoundTree(map));
    }
}

TEST(ZMap, InsertReplacesAndFindsValues) {
    IntMap map = Built({5, 1, 9});
    map.Insert(1, 111);
    EXPECT_EQ(map.Count(), 3u);
    EXPECT_EQ(map.Get(1), 111);
    ASSERT_NE(map.Find(9), nullptr);
    EXPECT_EQ(map.Find(9)->value, 90);
    EXPECT_EQ(map.Find(4), nullptr);
    EXPECT_TRUE(map.Contains(5));
    EXPECT_FALSE(map.Contains(6));
}

TEST(ZMap, MissesOfGetShareOneDefaultAndAddNothing) {
    ZMap<ZHashedString, std::string> map;
    map.Insert(ZHashedString("Zq_MapKeyA"), "a");
    const std::string& miss1 = map.Get(ZHashedString("Zq_MapKeyB"));
    const std::string& miss2 = map.Get(ZHashedString("Zq_MapKeyC"));
    EXPECT_EQ(miss1, "");
    EXPECT_EQ(&miss1, &miss2);
    EXPECT_EQ(map.Count(), 1u);
    const ZMap<int32_t, std::string> empty;
    EXPECT_EQ(empty.Get(1), "");

    std::string& slot = map[ZHashedString("Zq_MapKeyB")];
    EXPECT_EQ(slot, "");
    EXPECT_EQ(map.Count(), 2u);
    slot = "b";
    EXPECT_EQ(map.Get(ZHashedString("Zq_MapKeyB")), "b");
    map[ZHashedString("Zq_MapKeyA")] = "a2";
    EXPECT_EQ(map.Count(), 2u);
    EXPECT_EQ(map.Get(ZHashedString("Zq_MapKeyA")), "a2");
}

TEST(ZMap, KeyOrders) {
    ZMap<ZHashedString, int> names;
    ZMap<int32_t, int> ints;
    ZMap<uint32_t, int> handles;
    for (uint32_t id : {5u, 0x80000005u, 2u, 0xFFFFFFFFu}) {
        names.Insert(ZHashedString::FromId(id), 0);
        ints.Insert(static_cast<int32_t>(id), 0);
        handles.Insert(id, 0);
    }
    std::vector<uint32_t> nameOrder;
    for (const auto& node : names) {
        nameOrder.push_back(node.key.GetId());
    }
    EXPECT_EQ(nameOrder, (std::vector<uint32_t>{0x80000005u, 0xFFFFFFFFu, 2, 5}));
    EXPECT_EQ(Keys(ints), (std::vector<int32_t>{static_cast<int32_t>(0x80000005u), -1, 2, 5}));
    EXPECT_EQ(Keys(handles), (std::vector<uint32_t>{2, 5, 0x80000005u, 0xFFFFFFFFu}));

    ZMap<NamePair, bool> pairs;
    const auto pair = [](uint32_t a, uint32_t b) {
        return NamePair{ZHashedString::FromId(a), ZHashedString::FromId(b)};
    };
    for (const NamePair& p : {pair(2, 1), pair(1, 9), pair(2, 0x80000000u), pair(1, 3), pair(2, 1)}) {
        pairs.Insert(p, true);
    }
    std::vector<std::pair<uint32_t, uint32_t>> pairOrder;
    for (const auto& node : pairs) {
        pairOrder.emplace_back(node.key.first.GetId(), node.key.second.GetId());
    }
    EXPECT_EQ(pairOrder, (std::vector<std::pair<uint32_t, uint32_t>>{
                             {1, 3}, {1, 9}, {2, 0x80000000u}, {2, 1}}));
}

TEST(ZMap, IteratorWalksInOrderAndStaysPastTheEnd) {
    IntMap empty;
    IntMap::Iterator none(empty);
    EXPECT_FALSE(none.Next());
    EXPECT_FALSE(none.AtEntry());
    EXPECT_TRUE(Keys(empty).empty());

    IntMap map = Built({4, 2, 6, 1, 3, 5, 7});
    IntMap::Iterator it(map);
    std::vector<int32_t> seen;
    while (it.Next()) {
        seen.push_back(it.Key());
        it.Value() += 1;
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(it.IsPastEnd());
    EXPECT_FALSE(it.Next());
    EXPECT_TRUE(it.IsPastEnd());
    EXPECT_EQ(it.GetNode(), nullptr);
    EXPECT_EQ(map.Get(7), 71);
}

TEST(ZMap, CopyFromKeepsOwnKeysAndTakesOthersValues) {
    IntMap a = Built({1, 2, 3});
    IntMap b;
    b.Insert(3, 300);
    b.Insert(4, 400);
    a.CopyFrom(b);
    EXPECT_EQ(Keys(a), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(a.Get(3), 300);
    EXPECT_EQ(a.Get(1), 10);

    a.Assign(b);
    EXPECT_EQ(Keys(a), (std::vector<int32_t>{3, 4}));
    const IntMap& alias = a;
    a = alias;
    EXPECT_EQ(a.Count(), 2u);

    IntMap moved(std::move(a));
    EXPECT_EQ(moved.Count(), 2u);
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_TRUE(IsSoundTree(moved));
}

// Values that own memory: arrays of records and maps of maps, copied deep and
// destroyed once.
TEST(ZMap, OwningValuesAreCopiedDeepAndReleasedOnce) {
    Tracked::live = 0;
    {
        ZMap<ZHashedString, ZArray<Tracked>> lists;
        ZArray<Tracked> records;
        records.PushBack(Tracked("one"));
        records.PushBack(Tracked("two"));
        lists.Insert(ZHashedString("Zq_ListA"), records);
        lists.Insert(ZHashedString("Zq_ListB"), records);
        lists[ZHashedString("Zq_ListA")].PushBack(Tracked("three"));
        EXPECT_EQ(lists.Get(ZHashedString("Zq_ListB")).Count(), 2u);
        EXPECT_EQ(lists.Get(ZHashedString("Zq_ListA"))[2].text, "three");

        ZMap<ZHashedString, ZArray<Tracked>> copy;
        copy.Assign(lists);
        lists.Remove(ZHashedString("Zq_ListA"));
        EXPECT_EQ(copy.Get(ZHashedString("Zq_ListA")).Count(), 3u);

        ZMap<int32_t, ZMap<int32_t, std::string>> sections;
        sections[1][10] = "a";
        sections[2][20] = "b";
        ZMap<int32_t, ZMap<int32_t, std::string>> sectionsCopy(sections);
        sections[1][10] = "changed";
        EXPECT_EQ(sectionsCopy.Get(1).Get(10), "a");
        sectionsCopy.Clear();
        EXPECT_EQ(sectionsCopy.Root(), nullptr);
    }
    EXPECT_EQ(Tracked::live, 0);
}

// Random inserts and removals against std::map, checking the tree after each.
TEST(ZMap, MatchesStdMapUnderRandomEdits) {
    struct Case {
        uint32_t seed;
        int32_t keyRange;  // small ranges hit present keys often
        int operations;
    };
    const Case cases[] = {{1, 64, 3000}, {2, 1000, 3000}, {3, 1 << 30, 2000}, {4, 16, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "seed " << c.seed);
        std::mt19937 rng(c.seed);
        std::uniform_int_distribution<int32_t> keyDist(-c.keyRange, c.keyRange);
        IntMap map;
        std::map<int32_t, int32_t> expected;
        for (int op = 0; op < c.operations; ++op) {
            const int32_t key = keyDist(rng);
            const uint32_t kind = rng() % 10;
            if (kind < 5) {
                map.Insert(key, op);
                expected[key] = op;
            } else if (kind < 6) {
                map[key] += 1;
                expected[key] += 1;
            } else {
                EXPECT_EQ(map.Remove(key), expected.erase(key) == 1);
            }
            ASSERT_TRUE(IsSoundTree(map)) << "after operation " << op;
            ASSERT_EQ(map.Count(), expected.size());
            auto want = expected.begin();
            for (const auto& node : map) {
                ASSERT_EQ(node.key, want->first);
                ASSERT_EQ(node.value, want->second);
                ++want;
            }
        }
        // Empty it completely in random order.
        std::vector<int32_t> keys;
        for (const auto& [k, v] : expected) {
            keys.push_back(k);
        }
        std::shuffle(keys.begin(), keys.end(), rng);
        for (int32_t k : keys) {
            ASSERT_TRUE(map.Remove(k));
            ASSERT_TRUE(IsSoundTree(map));
        }
        EXPECT_EQ(map.Count(), 0u);
        EXPECT_EQ(map.Root(), nullptr);
    }
}
