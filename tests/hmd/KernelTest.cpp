#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>

#include "HeadsetFixture.h"
#include "hmd/sdk/Allocator.h"
#include "hmd/sdk/Log.h"
#include "hmd/sdk/System.h"
#include "hmd/sdk/Thread.h"
#include "hmd/sdk/Timer.h"
#include "platform/os/fake/fake.h"

namespace {

using hmdtest::LogCapture;

TEST(HskAllocator, AlignedBlocksKeepTheirDistanceBack) {
    alignas(64) uint8_t block[128] = {};
    struct Case {
        size_t offset;  // of the raw block inside the buffer
        size_t align;
        size_t distance;
    };
    const Case cases[] = {
        {0, 16, 16},  // already aligned: a whole alignment further
        {1, 16, 15},
        {15, 16, 1},
        {0, 2, 4},  // small alignments count as 4
        {3, 4, 1},
    };
    for (const Case& c : cases) {
        uint8_t* const raw = block + c.offset;
        uint8_t* const placed = HSK::Allocator::PlaceAligned(raw, c.align);
        EXPECT_EQ(static_cast<size_t>(placed - raw), c.distance) << c.offset << "/" << c.align;
        uint32_t stored = 0;
        std::memcpy(&stored, placed - 4, 4);
        EXPECT_EQ(stored, c.distance);
    }
    HSK::DefaultAllocator allocator;
    for (size_t align : {4u, 16u, 64u}) {
        void* const p = allocator.AllocAligned(10, align);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % align, 0u);
        std::memset(p, 0xAB, 10);
        allocator.FreeAligned(p);  // the sanitizer sees a wrong start
    }
}

std::string Format(HSK::LogMessageType type, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string Format(HSK::LogMessageType type, const char* format, ...) {
    char buffer[HSK::Log::kBufferSize];
    va_list args;
    va_start(args, format);
    HSK::Log::FormatMessage(buffer, sizeof(buffer), type, format, args);
    va_end(args);
    return buffer;
}

TEST(HskLog, MaskPrefixesAndCutting) {
    LogCapture capture;
    HSK::Log log(0x300);
    log.LogMessage(HSK::Log_Debug, "dropped");
    log.LogMessage(HSK::Log_Error, "abc");
    log.LogMessage(HSK::Log_Text, "plain %d\n", 7);
    HSK::Log regularOff(HSK::LogMask_Debug);
    regularOff.LogMessage(HSK::Log_Text, "also dropped");
    const std::vector<std::string> lines = LogCapture::Snapshot();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Error: abc\n");
    EXPECT_EQ(lines[1], "plain 7\n");

    EXPECT_EQ(Format(HSK::Log_Debug, "x"), "Debug: x\n");
    EXPECT_EQ(Format(HSK::Log_Assert, "x"), "Assert: x\n");
    // A message longer than the buffer is cut, and a prefixed one keeps its newline.
    const std::string big(5000, 'z');
    const std::string error = Format(HSK::Log_Error, "%s", big.c_str());
    EXPECT_EQ(error.size(), HSK::Log::kBufferSize - 1);
    EXPECT_EQ(error.back(), '\n');
    EXPECT_EQ(Format(HSK::Log_Text, "%s", big.c_str()).size(), HSK::Log::kBufferSize - 1);
}

TEST(HskTimer, CountsWrapsOfTheMillisecondClock) {
    HSK::Timer::Reset();
    os::fake::FakeClock clock(uint64_t{0xFFFFFFF0} * 1000000u);
    EXPECT_EQ(HSK::Timer::GetTicksMs(), (uint64_t{1} << 32) - 16);
    clock.AdvanceMs(32);
    EXPECT_EQ(HSK::Timer::GetTicksMs(), (uint64_t{1} << 32) + 16);
    EXPECT_EQ(HSK::Timer::GetTicksUs(), ((uint64_t{1} << 32) + 16) * 1000);
    HSK::Timer::Reset();
}

TEST(HskSystem, StartsOnceAndStopRestoresTheDefaultLog) {
    HSK::Log mine;
    HSK::System::Init(&mine);
    EXPECT_TRUE(HSK::System::IsInitialized());
    EXPECT_TRUE(HSK::System::HoldsTimerPeriod());
    EXPECT_EQ(HSK::Log::GetGlobalLog(), &mine);
    EXPECT_EQ(HSK::Log::GetDefaultLog()->GetLoggingMask(), HSK::LogMask_All);
    // A second start keeps the first one's log.
    HSK::System::Init();
    EXPECT_EQ(HSK::Log::GetGlobalLog(), &mine);
    HSK::System::Destroy();
    EXPECT_FALSE(HSK::System::IsInitialized());
    EXPECT_FALSE(HSK::System::HoldsTimerPeriod());
    EXPECT_EQ(HSK::Log::GetGlobalLog(), HSK::Log::GetDefaultLog());
    HSK::System::Destroy();  // stopped: nothing happens
    EXPECT_FALSE(HSK::System::IsInitialized());
}

TEST(HskThread, StartRulesSuspensionAndTheRunningList) {
    static std::atomic<int> runs{0};
    HSK::Thread::CreateParams params;
    params.function = [](HSK::Thread*, void* user) -> int {
        ++runs;
        return *static_cast<int*>(user);
    };
    int code = 7;
    params.userData = &code;
    HSK::Thread* const thread = new HSK::Thread(params);
    EXPECT_FALSE(thread->Start(HSK::Thread::NotRunning));
    ASSERT_TRUE(thread->Start(HSK::Thread::Suspended));
    EXPECT_FALSE(thread->Start(HSK::Thread::Running));  // already started
    EXPECT_EQ(runs.load(), 0);
    EXPECT_TRUE(thread->Resume());
    thread->Join();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_TRUE(thread->IsFinished());
    EXPECT_EQ(thread->GetExitCode(), 7);
    HSK::Thread::FinishAllThreads();
    EXPECT_EQ(HSK::Thread::RunningThreadCount(), 0u);
    thread->Release();

    struct Case {
        int priority;
        os::ThreadPriority expected;
    };
    const Case priorities[] = {{0, os::ThreadPriority::TimeCritical}, {1, os::ThreadPriority::Highest},
                               {2, os::ThreadPriority::AboveNormal},  {3, os::ThreadPriority::Normal},
                               {4, os::ThreadPriority::BelowNormal},  {5, os::ThreadPriority::Lowest},
                               {6, os::ThreadPriority::Idle}};
    for (const Case& c : priorities) EXPECT_EQ(HSK::Thread::MapPriority(c.priority), c.expected) << c.priority;
}

}  // namespace
