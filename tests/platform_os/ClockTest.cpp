#include <gtest/gtest.h>

#include <cstdint>

#include "platform/os/clock.h"
#include "platform/os/fake/fake.h"
#include "platform/os/threads.h"

namespace {

TEST(Clock, RealCounterMovesForward) {
    std::uint64_t frequency = 0;
    ASSERT_TRUE(os::ReadCounterFrequency(frequency));
    EXPECT_EQ(frequency, 1000000000u);
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    ASSERT_TRUE(os::ReadCounter(first));
    os::SleepMs(2);
    ASSERT_TRUE(os::ReadCounter(second));
    EXPECT_GT(second, first);
}

TEST(Clock, FakeClockDrivesEveryReadingUntilRemoved) {
    std::uint64_t ticks = 0;
    {
        os::fake::FakeClock clock(5000);
        ASSERT_TRUE(os::ReadCounter(ticks));
        EXPECT_EQ(ticks, 5000u);
        clock.AdvanceMs(3);
        ASSERT_TRUE(os::ReadCounter(ticks));
        EXPECT_EQ(ticks, 3005000u);
        EXPECT_EQ(os::MilliClock(), 3u);
        clock.AdvanceSeconds(0.5);
        EXPECT_EQ(os::MilliClock(), 503u);

        // Another thread sees the same clock.
        std::uint32_t seen = 0;
        os::Thread reader;
        ASSERT_TRUE(reader.Start("ClockReader", [&] {
            seen = os::MilliClock();
            return 0u;
        }));
        ASSERT_TRUE(reader.Wait());
        EXPECT_EQ(seen, 503u);
    }
    ASSERT_TRUE(os::ReadCounter(ticks));
    EXPECT_NE(ticks, 503005000u) << "the real counter is back";
}

TEST(Clock, MilliClockWrapsAfter32Bits) {
    const std::uint64_t wrapMs = std::uint64_t{1} << 32;
    os::fake::FakeClock clock((wrapMs - 2) * 1000000u);
    EXPECT_EQ(os::MilliClock(), 0xFFFFFFFEu);
    clock.AdvanceMs(5);
    EXPECT_EQ(os::MilliClock(), 3u);
}

TEST(Clock, FakeCounterCanGoMissing) {
    os::fake::FakeClock clock(100);
    clock.SetCounterAvailable(false);
    std::uint64_t ticks = 42;
    std::uint64_t frequency = 42;
    EXPECT_FALSE(os::ReadCounter(ticks));
    EXPECT_FALSE(os::ReadCounterFrequency(frequency));
    EXPECT_EQ(ticks, 42u) << "a failed read changes nothing";
    EXPECT_EQ(frequency, 42u);
    EXPECT_EQ(os::MilliClock(), 0u) << "the millisecond clock never fails";
}

TEST(Clock, FakeWallClockFollowsTheFakeTime) {
    os::fake::FakeClock clock;
    clock.SetUnixTime(1700000000);
    EXPECT_EQ(os::UnixTime(), 1700000000);
    clock.AdvanceSeconds(61.5);
    EXPECT_EQ(os::UnixTime(), 1700000061);
}

TEST(Clock, NestedFakesRestoreInOrder) {
    os::fake::FakeClock outer(1000000u);
    {
        os::fake::FakeClock inner(7000000u);
        EXPECT_EQ(os::MilliClock(), 7u);
    }
    EXPECT_EQ(os::MilliClock(), 1u);
}

}  // namespace
