// Threads on pthreads, with our own 32-bit ids.

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <thread>

#include "platform/os/threads.h"

namespace os {

namespace detail {

struct ThreadState {
    std::mutex guard;
    std::condition_variable changed;
    Thread::Body body;
    std::string name;
    ThreadId id = 0;
    pid_t kernelId = 0;  // set by the thread itself before its body runs
    bool running = false;
    bool finished = false;
    std::uint32_t exitCode = 0;
};

}  // namespace detail

namespace {

std::atomic<ThreadId> g_nextId{1};
thread_local ThreadId t_id = 0;

void* ThreadEntry(void* parameter) {
    auto* handoff = static_cast<std::shared_ptr<detail::ThreadState>*>(parameter);
    const std::shared_ptr<detail::ThreadState> state = std::move(*handoff);
    delete handoff;

    t_id = state->id;
    SetCurrentThreadName(state->name);
    Thread::Body body = std::move(state->body);
    {
        const std::lock_guard<std::mutex> lock(state->guard);
        state->kernelId = gettid();
        state->running = true;
    }
    state->changed.notify_all();

    const std::uint32_t code = body();
    body = nullptr;  // what the body captured goes before anyone sees it finished

    {
        const std::lock_guard<std::mutex> lock(state->guard);
        state->exitCode = code;
        state->finished = true;
    }
    state->changed.notify_all();
    return nullptr;
}

template <typename Pred>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint32_t timeoutMs,
             Pred pred) {
    if (timeoutMs == kInfinite) {
        cv.wait(lock, pred);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
}

int NiceFor(ThreadPriority priority) {
    switch (priority) {
        case ThreadPriority::Idle:
            return 19;
        case ThreadPriority::Lowest:
            return 10;
        case ThreadPriority::BelowNormal:
            return 5;
        case ThreadPriority::Normal:
            return 0;
        case ThreadPriority::AboveNormal:
            return -5;
        case ThreadPriority::Highest:
            return -10;
        case ThreadPriority::TimeCritical:
            return -20;
    }
    return 0;
}

}  // namespace

ThreadId CurrentThreadId() {
    if (t_id == 0) {
        t_id = g_nextId.fetch_add(1);
    }
    return t_id;
}

std::string CurrentThreadName() {
    char name[16] = {};
    if (pthread_getname_np(pthread_self(), name, sizeof name) != 0) {
        return {};
    }
    return name;
}

void SetCurrentThreadName(std::string_view name) {
    // The system keeps 15 bytes; do not split a UTF-8 sequence.
    std::size_t length = std::min<std::size_t>(name.size(), 15);
    if (length < name.size()) {
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    const std::string cut(name.substr(0, length));
    pthread_setname_np(pthread_self(), cut.c_str());
}

void YieldThread() {
    std::this_thread::yield();
}

void SleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool Thread::Start(std::string_view name, Body body, std::size_t stackBytes) {
    if (m_state || !body) {
        return false;
    }
    auto state = std::make_shared<detail::ThreadState>();
    state->body = std::move(body);
    state->name = name;
    state->id = g_nextId.fetch_add(1);

    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) {
        return false;
    }
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stackBytes != 0 &&
        pthread_attr_setstacksize(&attr, std::max<std::size_t>(stackBytes, PTHREAD_STACK_MIN)) != 0) {
        pthread_attr_destroy(&attr);
        return false;
    }
    auto* handoff = new std::shared_ptr<detail::ThreadState>(state);
    pthread_t handle;
    const int created = pthread_create(&handle, &attr, ThreadEntry, handoff);
    pthread_attr_destroy(&attr);
    if (created != 0) {
        delete handoff;
        return false;
    }
    // Wait for the kernel id, so priority and affinity can be set at once.
    std::unique_lock<std::mutex> lock(state->guard);
    state->changed.wait(lock, [&] { return state->running; });
    lock.unlock();
    m_state = std::move(state);
    return true;
}

ThreadId Thread::Id() const {
    return m_state ? m_state->id : 0;
}

bool Thread::Wait(std::uint32_t timeoutMs) const {
    if (!m_state) {
        return true;
    }
    std::unique_lock<std::mutex> lock(m_state->guard);
    return WaitFor(m_state->changed, lock, timeoutMs, [&] { return m_state->finished; });
}

std::uint32_t Thread::ExitCode() const {
    if (!m_state) {
        return 0;
    }
    const std::lock_guard<std::mutex> lock(m_state->guard);
    return m_state->exitCode;
}

bool Thread::SetPriority(ThreadPriority priority) const {
    if (!m_state) {
        return false;
    }
    // Holding the lock keeps the thread from finishing, so its kernel id
    // cannot be reused meanwhile.
    const std::lock_guard<std::mutex> lock(m_state->guard);
    if (m_state->finished) {
        return false;
    }
    return setpriority(PRIO_PROCESS, static_cast<id_t>(m_state->kernelId), NiceFor(priority)) == 0;
}

bool Thread::SetAffinity(std::uint64_t processorMask) const {
    if (!m_state || processorMask == 0) {
        return false;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu = 0; cpu < 64 && cpu < CPU_SETSIZE; ++cpu) {
        if (processorMask & (std::uint64_t{1} << cpu)) {
            CPU_SET(cpu, &set);
        }
    }
    const std::lock_guard<std::mutex> lock(m_state->guard);
    if (m_state->finished) {
        return false;
    }
    return sched_setaffinity(m_state->kernelId, sizeof set, &set) == 0;
}

void Mutex::Lock() {
    Lock(kInfinite);
}

bool Mutex::Lock(std::uint32_t timeoutMs) {
    const ThreadId self = CurrentThreadId();
    std::unique_lock<std::mutex> lock(m_guard);
    if (m_depth != 0 && m_owner == self) {
        ++m_depth;
        return true;
    }
    if (!WaitFor(m_released, lock, timeoutMs, [&] { return m_depth == 0; })) {
        return false;
    }
    m_owner = self;
    m_depth = 1;
    return true;
}

bool Mutex::Unlock() {
    const ThreadId self = CurrentThreadId();
    std::unique_lock<std::mutex> lock(m_guard);
    if (m_depth == 0 || m_owner != self) {
        return false;
    }
    if (--m_depth == 0) {
        m_owner = 0;
        // Notified under the guard: a thread that takes the mutex next may
        // free it (and its condition) as soon as the guard is free, so nothing
        // of it may be touched after that.
        m_released.notify_one();
    }
    return true;
}

bool Mutex::IsOwnedByCurrentThread() const {
    const ThreadId self = CurrentThreadId();
    const std::lock_guard<std::mutex> lock(m_guard);
    return m_depth != 0 && m_owner == self;
}

Event::Event(bool manualReset, bool initiallySet) : m_manualReset(manualReset), m_set(initiallySet) {}

void Event::Set() {
    // Notified under the guard, as the mutex does: a waiter may free the event
    // once it sees it set.
    const std::lock_guard<std::mutex> lock(m_guard);
    m_set = true;
    if (m_manualReset) {
        m_changed.notify_all();
    } else {
        m_changed.notify_one();
    }
}

void Event::Reset() {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_set = false;
}

bool Event::Wait(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(m_guard);
    if (!WaitFor(m_changed, lock, timeoutMs, [&] { return m_set; })) {
        return false;
    }
    if (!m_manualReset) {
        m_set = false;
    }
    return true;
}

bool Event::IsSet() const {
    const std::lock_guard<std::mutex> lock(m_guard);
    return m_set;
}

Semaphore::Semaphore(std::uint32_t initialCount, std::uint32_t maximumCount)
    : m_maximum(std::max<std::uint32_t>(maximumCount, 1)), m_count(std::min(initialCount, m_maximum)) {}

bool Semaphore::Wait(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(m_guard);
    if (!WaitFor(m_released, lock, timeoutMs, [&] { return m_count != 0; })) {
        return false;
    }
    --m_count;
    return true;
}

bool Semaphore::Release(std::uint32_t count) {
    // Notified under the guard, as the mutex does.
    const std::lock_guard<std::mutex> lock(m_guard);
    if (count == 0 || count > m_maximum - m_count) {
        return false;
    }
    m_count += count;
    if (count == 1) {
        m_released.notify_one();
    } else {
        m_released.notify_all();
    }
    return true;
}

std::uint32_t Semaphore::Count() const {
    const std::lock_guard<std::mutex> lock(m_guard);
    return m_count;
}

}  // namespace os
