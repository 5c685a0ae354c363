#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>

#include "hmd/sdk/HashSet.h"

namespace {

TEST(HskHashSet, StartsAtEightAndDoublesPastFourFifths) {
    HSK::HashSet<void*> set;
    EXPECT_EQ(set.GetSize(), 0u);
    uint64_t storage[16];
    for (int i = 0; i < 7; ++i) {
        set.Add(&storage[i]);
        EXPECT_EQ(set.GetSize(), 8u) << i;
    }
    set.Add(&storage[7]);
    EXPECT_EQ(set.GetSize(), 16u);
    EXPECT_EQ(set.GetCount(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(set.Contains(&storage[i]));
    EXPECT_FALSE(set.Contains(&storage[8]));
}

// Values that collide a lot (a hash of a few bits) exercise the chains, the
// moves of foreign members and the removal of chain heads.
struct FewBitsHash {
    size_t operator()(uint32_t v) const { return v % 5; }
};

TEST(HskHashSet, AgreesWithAnOrderedSetUnderChurn) {
    for (const uint32_t seed : {1u, 2u, 3u, 99u}) {
        std::mt19937 random(seed);
        HSK::HashSet<uint32_t, FewBitsHash> set;
        std::set<uint32_t> model;
        for (int step = 0; step < 4000; ++step) {
            const uint32_t value = random() % 64;
            if (random() % 3 == 0) {
                EXPECT_EQ(set.Remove(value), model.erase(value) == 1) << seed << ":" << step;
            } else if (model.insert(value).second) {
                set.Add(value);
            }
            ASSERT_EQ(set.GetCount(), model.size());
        }
        for (uint32_t v = 0; v < 64; ++v) EXPECT_EQ(set.Contains(v), model.count(v) == 1) << seed << ":" << v;
        size_t visited = 0;
        set.ForEach([&](uint32_t v) {
            EXPECT_EQ(model.count(v), 1u);
            ++visited;
        });
        EXPECT_EQ(visited, model.size());
    }
}

}  // namespace
