#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "foundation/ZHashedString.h"
#include "foundation/ZTempStringPool.h"
#include "foundation/ZThreadTagger.h"
#include "platform/os/clock.h"
#include "platform/os/threads.h"

namespace {

// What a registered thread saw of the registry from inside.
struct Probe {
    os::Event release{true};
    os::Event started{true};
    ZString list;
    ZHashedString name;
    std::atomic<bool> registeredWhenRun{false};
};

uint32_t HoldUntilReleased(uintptr_t argument) {
    Probe* probe = reinterpret_cast<Probe*>(argument);
    probe->name = GetThreadTagger()->GetCurrentThreadName();
    probe->registeredWhenRun = probe->name != ZHashedString::None();
    GetThreadTagger()->ListThreads(probe->list);
    probe->started.Set();
    probe->release.Wait();
    return 7;
}

uint32_t ReturnArgument(uintptr_t argument) { return static_cast<uint32_t>(argument); }

bool WaitForThreadCount(uint32_t count) {
    const uint32_t deadline = os::MilliClock() + 10000;
    while (GetThreadTagger()->GetThreadCount() != count) {
        if (os::MilliClock() > deadline) {
            return false;
        }
        os::SleepMs(1);
    }
    return true;
}

std::string Numbered(const char* name, os::ThreadId id) {
    return std::string(name) + " [" + std::to_string(id) + "]";
}

// Probes outlive the threads that use them: TearDown waits until every
// thread has left the registry before the fixture goes.
class ThreadTaggerTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (Probe& probe : m_probes) {
            probe.release.Set();
        }
        EXPECT_TRUE(WaitForThreadCount(1));
        EXPECT_TRUE(ZThreadTagger::DestroyInstance());
    }

    uintptr_t Arg(int i) { return reinterpret_cast<uintptr_t>(&m_probes[i]); }

    Probe m_probes[16];
};

TEST_F(ThreadTaggerTest, TheMakingThreadIsTheMainThread) {
    ZThreadTagger* tagger = GetThreadTagger();
    EXPECT_EQ(tagger->GetMainThreadId(), os::CurrentThreadId());
    EXPECT_EQ(tagger->GetThreadCount(), 1u);
    EXPECT_EQ(tagger->GetCurrentThreadName(),
              ZHashedString(Numbered("main thread", os::CurrentThreadId()).c_str()));
}

TEST_F(ThreadTaggerTest, ListNamesEveryThreadInIdOrderAndMarksMainAndCurrent) {
    Probe& named = m_probes[0];
    Probe& unnamed = m_probes[1];
    const os::ThreadId namedId = GetThreadTagger()->CreateNamedThread("Worker", HoldUntilReleased, Arg(0));
    ASSERT_NE(namedId, 0u);
    ASSERT_TRUE(named.started.Wait(10000));
    const os::ThreadId unnamedId = GetThreadTagger()->CreateNamedThread(nullptr, HoldUntilReleased, Arg(1));
    ASSERT_NE(unnamedId, 0u);
    ASSERT_TRUE(unnamed.started.Wait(10000));

    const std::string main = Numbered("Main Thread", os::CurrentThreadId());
    const std::string worker = Numbered("Worker", namedId);
    const std::string nameless = Numbered("Unnamed Thread", unnamedId);
    ZString list;
    GetThreadTagger()->ListThreads(list);
    EXPECT_STREQ(list.GetText(), (main + " (MAIN) (CURRENT)\n" + worker + "\n" + nameless + "\n").c_str());
    // Seen from the worker while only it and the main thread were registered.
    EXPECT_STREQ(named.list.GetText(), (main + " (MAIN)\n" + worker + " (CURRENT)\n").c_str());
    EXPECT_EQ(unnamed.name, ZHashedString(nameless.c_str()));
    EXPECT_EQ(GetThreadTagger()->GetThreadCount(), 3u);
}

TEST_F(ThreadTaggerTest, AThreadRunsOnlyOnceRegistered) {
    for (int i = 0; i < 16; ++i) {
        m_probes[i].release.Set();
        ASSERT_NE(GetThreadTagger()->CreateNamedThread("Racer", HoldUntilReleased, Arg(i)), 0u);
    }
    for (Probe& probe : m_probes) {
        ASSERT_TRUE(probe.started.Wait(10000));
        EXPECT_TRUE(probe.registeredWhenRun);
    }
}

TEST_F(ThreadTaggerTest, AFinishedThreadLeavesTheRegistryByItself) {
    ASSERT_NE(GetThreadTagger()->CreateNamedThread("Brief", ReturnArgument, 3), 0u);
    EXPECT_TRUE(WaitForThreadCount(1));
    ZString list;
    GetThreadTagger()->ListThreads(list);
    EXPECT_EQ(list.Find("Brief"), -1);
}

TEST_F(ThreadTaggerTest, LongNamesAreCutToTheRecord) {
    const std::string longName(100, 'n');
    ASSERT_NE(GetThreadTagger()->CreateNamedThread(longName.c_str(), HoldUntilReleased, Arg(0)), 0u);
    ASSERT_TRUE(m_probes[0].started.Wait(10000));
    EXPECT_STREQ(ZString(m_probes[0].name).GetText(), longName.substr(0, 63).c_str());
}

TEST_F(ThreadTaggerTest, TheShutdownReportHoldsEveryThreadHoweverMany) {
    // Twelve long names need far more than the 512 bytes a fixed report had.
    constexpr int kThreads = 12;
    os::ThreadId ids[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "Background loader number %02d with a long name", i);
        ids[i] = GetThreadTagger()->CreateNamedThread(name, HoldUntilReleased, Arg(i));
        ASSERT_NE(ids[i], 0u);
    }
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_TRUE(m_probes[i].started.Wait(10000));
    }

    std::string expected = "Thread tagger:\n" + Numbered("Main Thread", os::CurrentThreadId());
    for (int i = 0; i < kThreads; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "Background loader number %02d with a long name", i);
        expected += "\n" + Numbered(name, ids[i]);
    }
    ASSERT_GT(expected.size(), 512u);
    EXPECT_STREQ(ZThreadTagger::Shutdown().GetText(), expected.c_str());

    // The registry stays while threads still need it.
    EXPECT_FALSE(ZThreadTagger::DestroyInstance());
    for (Probe& probe : m_probes) {
        probe.release.Set();
    }
    ASSERT_TRUE(WaitForThreadCount(1));
    EXPECT_TRUE(ZThreadTagger::DestroyInstance());
    EXPECT_STREQ(ZThreadTagger::Shutdown().GetText(), "Thread tagger: Shut down.");
}

uint32_t FormatAndReturn(uintptr_t) {
    FormatTempString("made on a worker %d", 1);
    return 0;
}

TEST_F(ThreadTaggerTest, AThreadsTemporaryTextsGoWhenItsFunctionReturns) {
    ZTempStringPool::GetInstance()->FreeAll();
    ASSERT_NE(GetThreadTagger()->CreateNamedThread("Formatter", FormatAndReturn, 0), 0u);
    ASSERT_TRUE(WaitForThreadCount(1));
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 0u);
}

}  // namespace
