#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "hmd/sdk/RefCounted.h"
#include "platform/os/threads.h"

namespace HSK {

// An SDK thread. While it runs it is on the running-thread list, which the
// system's stop waits to see empty.
class Thread : public RefCounted {
public:
    enum ThreadState { NotRunning = 0, Running = 1, Suspended = 2 };
    enum ThreadPriority {
        CriticalPriority = 0,
        HighestPriority,
        AboveNormalPriority,
        NormalPriority,
        BelowNormalPriority,
        LowestPriority,
        IdlePriority,
    };
    enum ThreadFlags : uint32_t { Flag_Started = 1, Flag_Finished = 2, Flag_StartSuspended = 8 };

    using ThreadFn = int (*)(Thread* thread, void* userData);
    struct CreateParams {
        ThreadFn function = nullptr;
        void* userData = nullptr;
        size_t stackSize = 128 * 1024;
        int processor = -1;
        ThreadState initialState = NotRunning;
        int priority = NormalPriority;
    };

    Thread();
    explicit Thread(const CreateParams& params);

    // The thread's work; the default calls the function it was made with.
    virtual int Run();

    // False for NotRunning, and for a thread already started or holding a suspension.
    bool Start(ThreadState initialState = Running);
    // Lets a thread started suspended go on.
    bool Resume();
    bool IsFinished() const { return (m_flags.load() & Flag_Finished) != 0; }
    int GetExitCode() const { return m_exitCode.load(); }
    os::ThreadId GetThreadId() const { return m_threadId.load(); }
    // True on the thread itself.
    bool IsCurrentThread() const { return os::CurrentThreadId() == m_threadId.load(); }
    // Waits until Run has returned.
    void Join();

    // Names the calling thread for debuggers.
    static void SetCurrentThreadName(const char* name);
    // The platform priority of an SDK priority 0..6.
    static os::ThreadPriority MapPriority(int priority);
    // Waits until no SDK thread runs.
    static void FinishAllThreads();
    static size_t RunningThreadCount();

private:
    void Entry();

    CreateParams m_params;
    std::atomic<uint32_t> m_flags{0};
    std::atomic<int> m_exitCode{0};
    std::atomic<os::ThreadId> m_threadId{0};
    std::mutex m_gate;
    std::condition_variable m_gateChanged;
    int m_suspendCount = 0;  // guarded by m_gate
    bool m_finished = false;  // guarded by m_gate
    os::Thread m_thread;
};

}  // namespace HSK
