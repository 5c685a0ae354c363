#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "platform/os/threads.h"

namespace {

TEST(Thread, RunsNamedWithItsOwnIdAndExitCode) {
    struct Case {
        const char* name;
        const char* seen;  // the name the thread finds on itself
    };
    const Case cases[] = {
        {"Music Thread", "Music Thread"},
        {"HSK DeviceManagerThread", "HSK DeviceManag"},
        {"abcdefghijklmn\xC3\xA9", "abcdefghijklmn"},  // no half character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string seenName;
        os::ThreadId seenId = 0;
        os::Thread thread;
        ASSERT_TRUE(thread.Start(c.name, [&] {
            seenName = os::CurrentThreadName();
            seenId = os::CurrentThreadId();
            return 7u;
        }));
        ASSERT_TRUE(thread.Wait());
        EXPECT_EQ(seenName, c.seen);
        EXPECT_EQ(seenId, thread.Id());
        EXPECT_NE(seenId, 0u);
        EXPECT_NE(seenId, os::CurrentThreadId());
        EXPECT_EQ(thread.ExitCode(), 7u);
    }
}

TEST(Thread, IdIsKnownBeforeTheBodyCanRun) {
    // As a thread registry does: hold a lock across the start and record the
    // id; the body then finds itself recorded.
    os::Mutex registryLock;
    std::map<os::ThreadId, std::string> registry;
    bool foundItself = false;
    os::Thread thread;
    {
        const std::lock_guard<os::Mutex> lock(registryLock);
        ASSERT_TRUE(thread.Start("Worker", [&] {
            const std::lock_guard<os::Mutex> inner(registryLock);
            foundItself = registry.count(os::CurrentThreadId()) == 1;
            return 0u;
        }));
        registry[thread.Id()] = "Worker";
    }
    ASSERT_TRUE(thread.Wait());
    EXPECT_TRUE(foundItself);
}

TEST(Thread, WaitTimesOutWhileTheBodyRuns) {
    os::Event go(true);
    os::Thread thread;
    ASSERT_TRUE(thread.Start("Blocked", [&] {
        go.Wait();
        return 1u;
    }));
    EXPECT_FALSE(thread.Wait(20));
    EXPECT_FALSE(thread.IsFinished());
    EXPECT_EQ(thread.ExitCode(), 0u);
    go.Set();
    EXPECT_TRUE(thread.Wait());
    EXPECT_EQ(thread.ExitCode(), 1u);

    os::Thread never;
    EXPECT_TRUE(never.Wait(0)) << "nothing started, nothing to wait for";
    EXPECT_EQ(never.Id(), 0u);
}

TEST(Thread, PriorityAndAffinityReportWhatHappened) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    int usable = -1;
    for (int cpu = 0; cpu < 64 && usable < 0; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) usable = cpu;
    }
    // A processor the machine does not have. One it has but this process was
    // started without (taskset) may still be granted, so it proves nothing.
    const long configured = sysconf(_SC_NPROCESSORS_CONF);
    const int unusable = configured > 0 && configured < 64 ? static_cast<int>(configured) : -1;
    ASSERT_GE(usable, 0);

    os::Event done(true);
    os::Thread thread;
    ASSERT_TRUE(thread.Start("Prioritised", [&] {
        done.Wait();
        return 0u;
    }));
    EXPECT_TRUE(thread.SetPriority(os::ThreadPriority::BelowNormal)) << "lowering is always allowed";
    EXPECT_TRUE(thread.SetAffinity(std::uint64_t{1} << usable));
    EXPECT_FALSE(thread.SetAffinity(0));
    if (unusable >= 0) {
        EXPECT_FALSE(thread.SetAffinity(std::uint64_t{1} << unusable));
    }
    done.Set();
    ASSERT_TRUE(thread.Wait());
    EXPECT_FALSE(thread.SetPriority(os::ThreadPriority::Normal)) << "the thread is gone";
}

TEST(Mutex, IsRecursiveForItsOwnerOnly) {
    os::Mutex mutex;
    mutex.Lock();
    EXPECT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.IsOwnedByCurrentThread());

    auto tryFromAnotherThread = [&](std::uint32_t timeoutMs) {
        bool took = false;
        bool releasedForeign = true;
        os::Thread other;
        other.Start("Other", [&] {
            releasedForeign = mutex.Unlock();
            took = mutex.Lock(timeoutMs);
            if (took) {
                mutex.Unlock();
            }
            return 0u;
        });
        other.Wait();
        EXPECT_FALSE(releasedForeign) << "only the owner may release";
        return took;
    };

    EXPECT_FALSE(tryFromAnotherThread(10));
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(tryFromAnotherThread(10)) << "still held once";
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.IsOwnedByCurrentThread());
    EXPECT_FALSE(mutex.Unlock()) << "not held any more";
    EXPECT_TRUE(tryFromAnotherThread(os::kInfinite));
}

// A worker sets a flag under the mutex; the owner, polling, sees it and frees
// the mutex at once (as the audio manager does when its music thread says it
// is done). The release must touch nothing of the mutex once the next owner
// can take it: the thread sanitizer build (scripts/tsan) sees a late touch.
TEST(Mutex, MayBeFreedByTheNextOwnerAsSoonAsItIsReleased) {
    for (int round = 0; round < 200; ++round) {
        auto* const mutex = new os::Mutex;
        bool done = false;  // guarded by the mutex
        os::Thread worker;
        ASSERT_TRUE(worker.Start("Worker", [&] {
            const std::lock_guard<os::Mutex> lock(*mutex);
            done = true;
            return 0u;
        }));
        for (bool seen = false; !seen;) {
            const std::lock_guard<os::Mutex> lock(*mutex);
            seen = done;
        }
        delete mutex;
        ASSERT_TRUE(worker.Wait());
    }
}

// The same for an event: a waiter may free it once it sees it set.
TEST(Event, MayBeFreedByTheWaiterAsSoonAsItIsSet) {
    for (int round = 0; round < 200; ++round) {
        auto* const event = new os::Event(false, false);
        os::Thread setter;
        ASSERT_TRUE(setter.Start("Setter", [event] {
            event->Set();
            return 0u;
        }));
        while (!event->Wait(0)) {
        }
        delete event;
        ASSERT_TRUE(setter.Wait());
    }
}

TEST(Event, ManualAndAutoReset) {
    struct Case {
        bool manualReset;
        int wokenBySet;  // of two waiters
        bool setAfterwards;
    };
    const Case cases[] = {{true, 2, true}, {false, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manualReset ? "manual" : "auto");
        os::Event event(c.manualReset);
        os::Semaphore waiting(0, 2);
        std::atomic<int> woken{0};
        os::Thread a;
        os::Thread b;
        auto waiter = [&] {
            waiting.Release();
            if (event.Wait(2000)) {
                ++woken;
            }
            return 0u;
        };
        ASSERT_TRUE(a.Start("WaiterA", waiter));
        ASSERT_TRUE(b.Start("WaiterB", waiter));
        ASSERT_TRUE(waiting.Wait());
        ASSERT_TRUE(waiting.Wait());
        event.Set();
        if (c.wokenBySet == 1) {
            for (int i = 0; i < 2000 && woken == 0; ++i) {
                os::SleepMs(1);
            }
            os::SleepMs(20);
            EXPECT_EQ(woken, 1) << "one waiter took the event; the other still waits";
            EXPECT_FALSE(event.IsSet());
            event.Set();
        }
        ASSERT_TRUE(a.Wait());
        ASSERT_TRUE(b.Wait());
        EXPECT_EQ(woken, 2);
        EXPECT_EQ(event.IsSet(), c.setAfterwards);
    }
}

TEST(Event, TimeoutsAndInitialState) {
    os::Event autoSet(false, true);
    EXPECT_TRUE(autoSet.Wait(0));
    EXPECT_FALSE(autoSet.Wait(0)) << "an auto-reset event clears when taken";

    os::Event manual(true);
    EXPECT_FALSE(manual.Wait(10));
    manual.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(10));
}

TEST(Semaphore, CountsWithinItsMaximum) {
    os::Semaphore semaphore(5, 2);
    EXPECT_EQ(semaphore.Count(), 2u) << "kept within the maximum";
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_FALSE(semaphore.Wait(10));
    EXPECT_FALSE(semaphore.Release(3)) << "would pass the maximum";
    EXPECT_EQ(semaphore.Count(), 0u);
    EXPECT_TRUE(semaphore.Release(2));
    EXPECT_FALSE(semaphore.Release());
    EXPECT_EQ(semaphore.Count(), 2u);
}

TEST(Semaphore, HandsCountsAcrossThreads) {
    constexpr int kItems = 200;
    os::Semaphore items(0, kItems);
    std::atomic<int> consumed{0};
    os::Thread consumer;
    ASSERT_TRUE(consumer.Start("Consumer", [&] {
        for (int i = 0; i < kItems; ++i) {
            if (!items.Wait(5000)) {
                return 1u;
            }
            ++consumed;
        }
        return 0u;
    }));
    for (int i = 0; i < kItems; ++i) {
        ASSERT_TRUE(items.Release());
        if (i % 16 == 0) {
            os::YieldThread();
        }
    }
    ASSERT_TRUE(consumer.Wait());
    EXPECT_EQ(consumer.ExitCode(), 0u);
    EXPECT_EQ(consumed, kItems);
    EXPECT_EQ(items.Count(), 0u);
}

}  // namespace
