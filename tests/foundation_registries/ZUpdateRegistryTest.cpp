#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZUpdatable.h"
#include "foundation/ZUpdateRegistry.h"

namespace {

// Records every call as "name:U" or "name:P" and offers a hook that runs after
// the record, outside the object, so a hook may delete the object it ran for.
struct Recorder {
    std::vector<std::string> calls;
    std::vector<float> timeSteps;
    std::vector<uint8_t> masks;
    std::function<void(const std::string& name, char pass)> hook;
};

class Probe : public ZUpdatable {
public:
    Probe(Recorder& recorder, std::string name, uint8_t mask, int32_t priority = 0)
        : ZUpdatable(mask), recorder(recorder), name(std::move(name)) {
        SetUpdatePriority(priority);
    }

    void Update(float timeStep, uint8_t mask) override { Record('U', timeStep, mask); }
    void PostUpdate(float timeStep, uint8_t mask) override { Record('P', timeStep, mask); }

private:
    void Record(char pass, float timeStep, uint8_t mask) {
        recorder.calls.push_back(name + ":" + pass);
        recorder.timeSteps.push_back(timeStep);
        recorder.masks.push_back(mask);
        if (recorder.hook) {
            const std::string me = name;  // the hook may delete this object
            recorder.hook(me, pass);
        }
    }

    Recorder& recorder;
    std::string name;
};

using Calls = std::vector<std::string>;

class UpdateRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < ZUpdateRegistry::kListCount; ++i) {
            ASSERT_TRUE(registry.GetList(i).IsEmpty()) << "an earlier test left list " << i;
        }
    }

    bool InList(const ZUpdatable& object, int index) const {
        return registry.GetList(index).Contains(const_cast<ZUpdatable*>(&object));
    }

    ZUpdateRegistry& registry = *GetUpdateRegistry();
    Recorder recorder;
};

TEST_F(UpdateRegistryTest, MaskBitsChooseTheLists) {
    struct Case {
        uint8_t mask;
        bool inList[3];
    };
    const Case cases[] = {
        {0, {false, false, false}}, {1, {true, false, false}}, {2, {false, true, false}},
        {4, {false, false, true}},  {6, {false, true, true}},  {7, {true, true, true}},
        {8, {false, false, false}},
    };
    for (const Case& c : cases) {
        {
            const Probe probe(recorder, "p", c.mask);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(InList(probe, i), c.inList[i]) << "mask " << int(c.mask) << " list " << i;
            }
        }
        // Destroyed: gone from every list of its mask.
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(registry.GetList(i).IsEmpty()) << "mask " << int(c.mask) << " list " << i;
        }
    }
}

TEST_F(UpdateRegistryTest, UnregisterRemovesTheFirstOccurrenceFromTheMaskedListsOnly) {
    Probe a(recorder, "a", 2);
    Probe p(recorder, "p", 7);
    Probe b(recorder, "b", 2);
    registry.Register(&p, 2);  // held twice in list 2: a, p, b, p

    registry.Unregister(&p, 3);
    EXPECT_FALSE(InList(p, 0));
    EXPECT_TRUE(InList(p, 2));
    const ZArray<ZUpdatable*>& list = registry.GetList(1);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0], &a);
    EXPECT_EQ(list[1], &b);
    EXPECT_EQ(list[2], &p);
    // p's destructor removes its last entry in list 2 and the one in list 4.
}

TEST_F(UpdateRegistryTest, CompareUpdatePriorityOrdersWithoutOverflow) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    struct Case {
        int32_t a;
        int32_t b;
        int sign;
    };
    const Case cases[] = {
        {-1, 1, -1}, {1, -1, 1}, {7, 7, 0}, {kMin, kMax, -1}, {kMax, kMin, 1}, {kMin, 1, -1}, {kMax, -1, 1},
    };
    for (const Case& c : cases) {
        const Probe a(recorder, "a", 0, c.a);
        const Probe b(recorder, "b", 0, c.b);
        const int result = CompareUpdatePriority(&a, &b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST_F(UpdateRegistryTest, RunSortsByAscendingPriority) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const int32_t priorities[] = {5, -3, 0, kMax, kMin, 2, -3, 0, 100, -10000};
    std::vector<std::unique_ptr<Probe>> probes;
    for (const int32_t priority : priorities) {
        probes.push_back(std::make_unique<Probe>(recorder, std::to_string(priority), 2, priority));
    }
    registry.Run(1.0f / 60.0f, 2);

    // Equal priorities may come in either order, so compare priorities only.
    const Calls expected = {"-2147483648:U", "-10000:U", "-3:U", "-3:U", "0:U", "0:U", "2:U", "5:U",
                            "100:U", "2147483647:U"};
    const Calls updates(recorder.calls.begin(), recorder.calls.begin() + 10);
    EXPECT_EQ(updates, expected);
}

TEST_F(UpdateRegistryTest, PriorityChangesTakeEffectAtTheNextSort) {
    Probe a(recorder, "a", 2, 0);
    Probe b(recorder, "b", 2, 1);
    registry.Run(0.0f, 2);
    a.SetUpdatePriority(2);
    registry.Update(0.0f, 2);  // not sorted again
    registry.Run(0.0f, 2);
    EXPECT_EQ(recorder.calls, (Calls{"a:U", "b:U", "a:P", "b:P", "a:U", "b:U", "b:U", "a:U", "b:P", "a:P"}));
}

TEST_F(UpdateRegistryTest, PostUpdateWalkFollowsTheWholeUpdateWalk) {
    Probe a(recorder, "a", 2);
    Probe b(recorder, "b", 2);
    Probe other(recorder, "other", 4);
    registry.Run(0.5f, 2);
    EXPECT_EQ(recorder.calls, (Calls{"a:U", "b:U", "a:P", "b:P"}));
    EXPECT_EQ(recorder.timeSteps, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}));
}

TEST_F(UpdateRegistryTest, WalksGoListByListAndPassTheMaskAsGiven) {
    Probe fixed(recorder, "fixed", 2);
    Probe frame(recorder, "frame", 4);
    Probe both(recorder, "both", 6);
    Probe timing(recorder, "timing", 1);
    registry.Update(0.25f, 6);
    EXPECT_EQ(recorder.calls, (Calls{"fixed:U", "both:U", "frame:U", "both:U"}));
    EXPECT_EQ(recorder.masks, (std::vector<uint8_t>{6, 6, 6, 6}));
}

TEST_F(UpdateRegistryTest, PausedObjectsAreSkippedAndAskedAgainEachPass) {
    Probe a(recorder, "a", 2, 0);
    Probe b(recorder, "b", 2, 1);
    Probe c(recorder, "c", 2, 2);
    Probe d(recorder, "d", 2, 3);
    b.SetUpdatePaused(true);
    // a pauses c and wakes b before their turns; d pauses itself after its Update.
    recorder.hook = [&](const std::string& name, char pass) {
        if (pass == 'U' && name == "a") {
            c.SetUpdatePaused(true);
            b.SetUpdatePaused(false);
        }
        if (pass == 'U' && name == "d") {
            d.SetUpdatePaused(true);
        }
    };
    registry.Run(0.0f, 2);
    EXPECT_EQ(recorder.calls, (Calls{"a:U", "b:U", "d:U", "a:P", "b:P"}));
    EXPECT_TRUE(InList(c, 1));
    EXPECT_TRUE(InList(d, 1));
}

TEST_F(UpdateRegistryTest, ObjectAddedDuringAWalkIsVisitedByThatWalk) {
    Probe a(recorder, "a", 2);
    Probe b(recorder, "b", 2);
    std::unique_ptr<Probe> added;
    recorder.hook = [&](const std::string& name, char pass) {
        if (pass == 'U' && name == "a" && !added) {
            added = std::make_unique<Probe>(recorder, "new", 2);
        }
    };
    registry.Update(0.0f, 2);
    registry.PostUpdate(0.0f, 2);
    EXPECT_EQ(recorder.calls, (Calls{"a:U", "b:U", "new:U", "a:P", "b:P", "new:P"}));
}

TEST_F(UpdateRegistryTest, ObjectRemovedDuringAWalkMakesNoOtherObjectMissItsTurn) {
    struct Case {
        const char* what;
        const char* victim;  // deleted by b's Update
        Calls expected;
    };
    const Case cases[] = {
        {"b deletes itself", "b", {"a:U", "b:U", "c:U", "d:U", "a:P", "c:P", "d:P"}},
        {"b deletes an earlier object", "a", {"a:U", "b:U", "c:U", "d:U", "b:P", "c:P", "d:P"}},
        {"b deletes a later object", "c", {"a:U", "b:U", "d:U", "a:P", "b:P", "d:P"}},
    };
    for (const Case& c : cases) {
        Recorder rec;
        const char* names[] = {"a", "b", "c", "d"};
        std::unique_ptr<Probe> probes[4];
        for (int i = 0; i < 4; ++i) {
            probes[i] = std::make_unique<Probe>(rec, names[i], 2, i);
        }
        rec.hook = [&](const std::string& name, char pass) {
            if (pass == 'U' && name == "b") {
                for (int i = 0; i < 4; ++i) {
                    if (names[i] == std::string(c.victim)) {
                        probes[i].reset();
                    }
                }
            }
        };
        registry.Run(0.0f, 2);
        EXPECT_EQ(rec.calls, c.expected) << c.what;
        EXPECT_EQ(registry.GetList(1).Count(), 3u) << c.what;
    }
}

}  // namespace
