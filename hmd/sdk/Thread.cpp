#include "hmd/sdk/Thread.h"

#include "hmd/sdk/HashSet.h"

namespace HSK {

namespace {

struct RunningList {
    std::mutex mutex;
    std::condition_variable empty;
    HashSet<Thread*> threads;
};

RunningList& RunningThreads() {
    static RunningList list;
    return list;
}

}  // namespace

Thread::Thread() = default;
Thread::Thread(const CreateParams& params) : m_params(params) {}

int Thread::Run() {
    return m_params.function != nullptr ? m_params.function(this, m_params.userData) : 0;
}

os::ThreadPriority Thread::MapPriority(const int priority) {
    switch (priority) {
        case CriticalPriority: return os::ThreadPriority::TimeCritical;
        case HighestPriority: return os::ThreadPriority::Highest;
        case AboveNormalPriority: return os::ThreadPriority::AboveNormal;
        case BelowNormalPriority: return os::ThreadPriority::BelowNormal;
        case LowestPriority: return os::ThreadPriority::Lowest;
        case IdlePriority: return os::ThreadPriority::Idle;
        default: return os::ThreadPriority::Normal;
    }
}

bool Thread::Start(const ThreadState initialState) {
    if (initialState == NotRunning) return false;
    {
        const std::lock_guard<std::mutex> lock(m_gate);
        if ((m_flags.load() & Flag_Started) != 0 || m_suspendCount > 0) return false;
        m_suspendCount = 0;
        m_finished = false;
    }
    AddRef();
    {
        RunningList& list = RunningThreads();
        const std::lock_guard<std::mutex> lock(list.mutex);
        list.threads.Add(this);
    }
    m_exitCode.store(0);
    uint32_t flags = Flag_Started;
    if (initialState != Running) flags |= Flag_StartSuspended;
    m_flags.store(flags);

    os::Thread thread;
    const bool started = thread.Start("HSK::Thread", [this]() -> uint32_t {
        Entry();
        return 0;
    }, m_params.stackSize);
    if (!started) {
        m_flags.store(0);
        {
            RunningList& list = RunningThreads();
            const std::lock_guard<std::mutex> lock(list.mutex);
            list.threads.Remove(this);
            if (list.threads.GetCount() == 0) list.empty.notify_all();
        }
        Release();
        return false;
    }
    if (m_params.processor >= 0 && m_params.processor < 64) {
        thread.SetAffinity(uint64_t{1} << m_params.processor);
    }
    thread.SetPriority(MapPriority(m_params.priority));  // best effort
    m_thread = std::move(thread);
    return true;
}

void Thread::Entry() {
    m_threadId.store(os::CurrentThreadId());
    {
        std::unique_lock<std::mutex> lock(m_gate);
        if ((m_flags.load() & Flag_StartSuspended) != 0) {
            ++m_suspendCount;
            m_flags.fetch_and(~static_cast<uint32_t>(Flag_StartSuspended));
            m_gateChanged.wait(lock, [this] { return m_suspendCount == 0; });
        }
    }
    const int code = Run();
    m_exitCode.store(code);
    m_flags.fetch_and(~static_cast<uint32_t>(Flag_Started));
    m_flags.fetch_or(Flag_Finished);
    {
        const std::lock_guard<std::mutex> lock(m_gate);
        m_finished = true;
        m_gateChanged.notify_all();
    }
    RunningList& list = RunningThreads();
    {
        const std::lock_guard<std::mutex> lock(list.mutex);
        list.threads.Remove(this);
        if (list.threads.GetCount() == 0) list.empty.notify_all();
    }
    Release();
}

bool Thread::Resume() {
    const std::lock_guard<std::mutex> lock(m_gate);
    if (m_suspendCount == 0) {
        // Not suspended yet: the entry will find nothing to wait for.
        if ((m_flags.load() & Flag_StartSuspended) == 0) return false;
        m_flags.fetch_and(~static_cast<uint32_t>(Flag_StartSuspended));
        return true;
    }
    --m_suspendCount;
    m_gateChanged.notify_all();
    return true;
}

void Thread::Join() {
    if (IsCurrentThread()) return;
    std::unique_lock<std::mutex> lock(m_gate);
    if ((m_flags.load() & (Flag_Started | Flag_Finished)) == 0) return;
    m_gateChanged.wait(lock, [this] { return m_finished; });
}

void Thread::SetCurrentThreadName(const char* const name) {
    os::SetCurrentThreadName(name != nullptr ? name : "");
}

void Thread::FinishAllThreads() {
    RunningList& list = RunningThreads();
    std::unique_lock<std::mutex> lock(list.mutex);
    list.empty.wait(lock, [&list] { return list.threads.GetCount() == 0; });
}

size_t Thread::RunningThreadCount() {
    RunningList& list = RunningThreads();
    const std::lock_guard<std::mutex> lock(list.mutex);
    return list.threads.GetCount();
}

}  // namespace HSK
