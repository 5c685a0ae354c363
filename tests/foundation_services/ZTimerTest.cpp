#include <gtest/gtest.h>

#include "foundation/ZTimer.h"
#include "platform/os/fake/fake.h"

namespace {

TEST(ZTimer, StartFailsWithoutACounter) {
    os::fake::FakeClock clock(1000);
    clock.SetCounterAvailable(false);
    ZTimer timer;
    EXPECT_FALSE(timer.Start());
    clock.SetCounterAvailable(true);
    EXPECT_TRUE(timer.Start());
}

TEST(ZTimer, TicksMeasureTheTimeBetweenThem) {
    os::fake::FakeClock clock(5000000000u);
    ZTimer timer;
    ASSERT_TRUE(timer.Start());
    clock.AdvanceMs(250);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.25);
    clock.AdvanceMs(500);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.5);
    EXPECT_DOUBLE_EQ(timer.GetDelta(), 0.5);
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 0.75);
}

TEST(ZTimer, PausedTicksGiveNoTimeAndTheNextMeasuresFromTheLastPausedTick) {
    os::fake::FakeClock clock;
    ZTimer timer;
    ASSERT_TRUE(timer.Start());
    clock.AdvanceMs(100);
    timer.Tick();

    timer.SetPaused(true);
    clock.AdvanceSeconds(3.0);
    EXPECT_EQ(timer.Tick(), 0.0);
    EXPECT_EQ(timer.GetDelta(), 0.0);
    // The total time still runs while paused.
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 3.1);

    timer.SetPaused(false);
    clock.AdvanceMs(200);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.2);
}

TEST(ZTimer, AFailedReadChangesNothing) {
    os::fake::FakeClock clock;
    ZTimer timer;
    ASSERT_TRUE(timer.Start());
    clock.AdvanceMs(100);
    timer.Tick();
    clock.SetCounterAvailable(false);
    clock.AdvanceMs(700);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.1);
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 0.1);
    clock.SetCounterAvailable(true);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.7);
}

TEST(ZTimer, RestartingSetsTheElapsedTimeBackToZero) {
    os::fake::FakeClock clock;
    ZTimer timer;
    ASSERT_TRUE(timer.Start());
    clock.AdvanceSeconds(4.0);
    timer.Tick();
    ASSERT_TRUE(timer.Start());
    EXPECT_EQ(timer.GetElapsed(), 0.0);
    clock.AdvanceSeconds(1.0);
    timer.Tick();
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 1.0);
}

}  // namespace
