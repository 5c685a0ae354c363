#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "foundation/ZArray.h"

namespace {

// Counts live objects so that leaks and double destructions show up, and
// holds a heap string so that a bitwise copy would be caught by ASan.
struct Tracked {
    static int live;
    std::string text;

    Tracked() { ++live; }
    Tracked(const char* t) : text(t) { ++live; }  // NOLINT: implicit for brevity
    Tracked(const Tracked& o) : text(o.text) { ++live; }
    Tracked(Tracked&& o) noexcept : text(std::move(o.text)) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    Tracked& operator=(Tracked&&) = default;
    ~Tracked() { --live; }
    bool operator==(const Tracked& o) const { return text == o.text; }
};
int Tracked::live = 0;

class ZArrayTracked : public ::testing::Test {
protected:
    void SetUp() override { Tracked::live = 0; }
    // Every slot of the storage is a live object, used or not.
    void TearDown() override { EXPECT_EQ(Tracked::live, 0); }
};

std::vector<std::string> Texts(const ZArray<Tracked>& a) {
    std::vector<std::string> out;
    for (const Tracked& t : a) {
        out.push_back(t.text);
    }
    return out;
}

ZArray<int> Filled(uint32_t n) {
    ZArray<int> a;
    for (uint32_t i = 0; i < n; ++i) {
        a.PushBack(static_cast<int>(i));
    }
    return a;
}

}  // namespace

TEST(ZArray, EmptyArrayHasNoStorage) {
    ZArray<int> a;
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.Capacity(), 0u);
    EXPECT_EQ(a.MinCapacity(), 0u);
    EXPECT_FALSE(a.IsFixed());
    EXPECT_EQ(a.Data(), nullptr);
}

TEST(ZArray, PushBackDoublesCapacityFromOne) {
    const uint32_t expected[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    ZArray<int> a;
    for (uint32_t i = 0; i < std::size(expected); ++i) {
        a.PushBack(static_cast<int>(i) * 10);
        EXPECT_EQ(a.Count(), i + 1);
        EXPECT_EQ(a.Capacity(), expected[i]) << "after push " << i + 1;
    }
    for (uint32_t i = 0; i < a.Count(); ++i) {
        EXPECT_EQ(a[i], static_cast<int>(i) * 10);
    }
}

// The shrink rule, driven through the operations that apply it.
TEST(ZArray, ShrinkRule) {
    struct Case {
        const char* name;
        uint32_t pushes;     // elements appended first
        uint32_t minCap;     // SetMinCapacity before removing (0: not called)
        bool fixed;
        uint32_t removals;   // RemoveAt(0) calls
        uint32_t wantCount;
        uint32_t wantCapacity;
    };
    const Case cases[] = {
        {"cap 8 count 3, one removal", 3 + 5, 0, false, 5 + 1, 2, 4},
        {"cap 8 count 3, two removals", 8, 0, false, 7, 1, 2},
        {"cap 8 count 3, three removals", 8, 0, false, 8, 0, 1},
        {"removal past empty is ignored", 8, 0, false, 9, 0, 1},
        {"fixed never shrinks", 8, 0, true, 8, 0, 8},
        {"minimum stops the halving", 32, 8, false, 32, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZArray<int> a = Filled(c.pushes);
        a.SetFixed(c.fixed);
        if (c.minCap != 0) {
            a.SetMinCapacity(c.minCap);
        }
        for (uint32_t i = 0; i < c.removals; ++i) {
            a.RemoveAt(0);
        }
        EXPECT_EQ(a.Count(), c.wantCount);
        EXPECT_EQ(a.Capacity(), c.wantCapacity);
    }
}

TEST(ZArray, RemovalFromCapacityEightCountThreeHalvesStepByStep) {
    ZArray<int> a = Filled(5);  // capacity 8
    a.Resize(3);                // rule sees 5 and 4: no halving
    ASSERT_EQ(a.Capacity(), 8u);
    const uint32_t caps[] = {4, 2, 1};
    for (uint32_t cap : caps) {
        a.RemoveAt(0);
        EXPECT_EQ(a.Capacity(), cap);
    }
    a.RemoveAt(0);
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.Capacity(), 1u);
}

TEST(ZArray, ResizeShrinkingSeesCountBeforeEachStep) {
    ZArray<int> a = Filled(5);
    a.Resize(3);
    a.Resize(0);  // halves at the counts 2 and 1
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.Capacity(), 2u);
}

TEST(ZArray, ResizeGrowingDoublesAndKeepsElements) {
    ZArray<int> a = Filled(3);
    a.Resize(9);
    EXPECT_EQ(a.Count(), 9u);
    EXPECT_EQ(a.Capacity(), 16u);
    EXPECT_EQ(a[2], 2);
    a.Resize(9);
    EXPECT_EQ(a.Capacity(), 16u);
}

TEST(ZArray, FixedArrayStillGrows) {
    ZArray<int> a;
    a.SetFixed(true);
    for (int i = 0; i < 5; ++i) {
        a.PushBack(i);
    }
    EXPECT_EQ(a.Capacity(), 8u);
    a.RemoveRange(0, 5);
    EXPECT_EQ(a.Capacity(), 8u);
}

TEST(ZArray, SetMinCapacity) {
    struct Case {
        uint32_t pushes;
        uint32_t minCap;
        uint32_t wantCapacity;
    };
    const Case cases[] = {
        {0, 3, 2},    // grows to 4, then the rule halves it (4 > 3)
        {0, 4, 4},    // 4 is not above the minimum
        {2, 8, 8},    // capacity 2 grows to 8
        {2, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pushes << " pushes, minimum " << c.minCap);
        ZArray<int> a = Filled(c.pushes);
        a.SetMinCapacity(c.minCap);
        EXPECT_EQ(a.Capacity(), c.wantCapacity);
        EXPECT_EQ(a.MinCapacity(), c.minCap);
    }
}

TEST(ZArray, SetMinCapacityOnLargeArrayHalvesOncePerApplication) {
    ZArray<int> a = Filled(17);  // capacity 32
    a.Resize(2);                 // halvings on the way down: 32 -> 16 -> 8 -> 4
    a.SetFixed(true);
    a.Resize(17);
    a.Resize(2);
    a.SetFixed(false);
    ASSERT_EQ(a.Capacity(), 32u);
    a.SetMinCapacity(8);
    EXPECT_EQ(a.Capacity(), 16u);
    a.RemoveAt(0);
    EXPECT_EQ(a.Capacity(), 8u);
    a.RemoveAt(0);
    EXPECT_EQ(a.Capacity(), 8u);
}

TEST(ZArray, AssignFromEmptyFreesStorage) {
    ZArray<int> a = Filled(9);  // capacity 16
    a.Resize(5);
    ASSERT_EQ(a.Capacity(), 16u);
    const ZArray<int> empty;
    a.Assign(empty);
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.Capacity(), 0u);
    EXPECT_EQ(a.Data(), nullptr);
}

TEST(ZArray, AssignCopiesElementsMinimumAndFixedFlag) {
    ZArray<int> src = Filled(3);
    src.SetMinCapacity(16);
    src.SetFixed(true);
    ZArray<int> dst = Filled(20);
    dst.Assign(src);
    EXPECT_EQ(dst.Count(), 3u);
    EXPECT_EQ(dst.MinCapacity(), 16u);
    EXPECT_TRUE(dst.IsFixed());
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(dst[2], 2);

    ZArray<int> copy(src);
    EXPECT_EQ(copy.Count(), 3u);
    EXPECT_EQ(copy[1], 1);
    const ZArray<int>& alias = copy;
    copy = alias;  // self-assignment keeps everything
    EXPECT_EQ(copy.Count(), 3u);
}

TEST(ZArray, ClearForgetsMinimumAndFixedFlag) {
    ZArray<int> a = Filled(3);
    a.SetMinCapacity(8);
    a.SetFixed(true);
    a.Clear();
    EXPECT_EQ(a.Count(), 0u);
    EXPECT_EQ(a.Capacity(), 0u);
    EXPECT_EQ(a.MinCapacity(), 0u);
    EXPECT_FALSE(a.IsFixed());
    EXPECT_EQ(a.Data(), nullptr);
}

TEST(ZArray, RemoveRange) {
    struct Case {
        uint32_t index;
        uint32_t n;
        std::vector<int> want;
    };
    const Case cases[] = {
        {1, 2, {0, 3, 4, 5}},
        {0, 6, {}},
        {5, 1, {0, 1, 2, 3, 4}},
        {4, 3, {0, 1, 2, 3, 4, 5}},  // runs past the end: ignored
        {6, 0, {0, 1, 2, 3, 4, 5}},  // index past the end: ignored
        {0, 7, {0, 1, 2, 3, 4, 5}},
        {2, 0, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "RemoveRange(" << c.index << ", " << c.n << ")");
        ZArray<int> a = Filled(6);
        a.RemoveRange(c.index, c.n);
        EXPECT_EQ(std::vector<int>(a.begin(), a.end()), c.want);
    }
}

TEST(ZArray, AddUniqueAndRemoveFirstMatch) {
    ZArray<int> a;
    a.AddUnique(4);
    a.AddUnique(7);
    a.AddUnique(4);
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{4, 7}));
    a.PushBack(4);
    EXPECT_TRUE(a.Remove(4));
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{7, 4}));
    EXPECT_FALSE(a.Remove(9));
    EXPECT_EQ(a.Find(4), 1);
}

TEST(ZArray, AppendSelfDoublesContents) {
    ZArray<int> a = Filled(3);
    a.Append(a);
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST(ZArray, QuickSortOrdersByCallbackWithContext) {
    ZArray<int> a;
    const int values[] = {5, -2, 9, 9, 0, 3, -7, 1, 9, 4};
    for (int v : values) {
        a.PushBack(v);
    }
    int calls = 0;
    a.QuickSort([](const int& x, const int& y, void* ctx) {
        ++*static_cast<int*>(ctx);
        return y - x;  // descending
    }, &calls);
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()),
              (std::vector<int>{9, 9, 9, 5, 4, 3, 1, 0, -2, -7}));
    EXPECT_GT(calls, 0);
}

TEST_F(ZArrayTracked, RemoveKeepsOrderAndResetsVacatedSlot) {
    ZArray<Tracked> a;
    for (const char* t : {"a", "b", "c", "d"}) {
        a.PushBack(t);
    }
    a.RemoveAt(1);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"a", "c", "d"}));
    // The old last slot is back in its default state and reusable.
    EXPECT_TRUE(a.Data()[3].text.empty());
    a.PushBack("e");
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"a", "c", "d", "e"}));
}

TEST_F(ZArrayTracked, PushBackOfOwnElementSurvivesReallocation) {
    ZArray<Tracked> a;
    for (const char* t : {"first element, long enough to live on the heap", "b", "c", "d"}) {
        a.PushBack(t);
    }
    ASSERT_EQ(a.Count(), a.Capacity());
    a.PushBack(a[0]);
    EXPECT_EQ(a[4].text, "first element, long enough to live on the heap");
    a.PushBack(std::move(a[1]));
    EXPECT_EQ(a[5].text, "b");
}

TEST_F(ZArrayTracked, EveryOperationReleasesWhatItHolds) {
    ZArray<Tracked> a;
    for (int i = 0; i < 40; ++i) {
        a.PushBack(std::to_string(i).c_str());
    }
    a.RemoveRange(3, 20);
    a.Resize(30);
    a.Resize(2);
    ZArray<Tracked> b(a);
    b.Append(a);
    ZArray<Tracked> c(std::move(b));
    EXPECT_EQ(b.Count(), 0u);
    EXPECT_EQ(Texts(c), (std::vector<std::string>{"0", "1", "0", "1"}));
    a = c;
    a.SetMinCapacity(64);
    a.Clear();
    c = std::move(a);
    EXPECT_EQ(c.Count(), 0u);
}
