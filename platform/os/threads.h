#pragma once

// Threads and synchronisation: stands in for CreateThread and the thread
// calls around it (ids, names, priority, affinity, Sleep, SwitchToThread) and
// for Win32 mutexes, events, semaphores and critical sections, keeping the
// semantics Windows code relies on: mutexes are recursive for their owner,
// events are manual or auto reset, waits take millisecond timeouts.
// Timeouts are measured on the real clock, never on a fake one.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace os {

using ThreadId = std::uint32_t;  // never 0 for a live thread
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// Our own ids, handed out in order: the first thread that asks gets 1.
ThreadId CurrentThreadId();
// The OS name of the calling thread (at most 15 bytes).
std::string CurrentThreadName();
// Names the calling thread; cut to 15 bytes, the system's limit.
void SetCurrentThreadName(std::string_view name);
void YieldThread();
void SleepMs(std::uint32_t milliseconds);

// The Windows priority levels, with their Windows values.
enum class ThreadPriority : int {
    Idle = -15,
    Lowest = -2,
    BelowNormal = -1,
    Normal = 0,
    AboveNormal = 1,
    Highest = 2,
    TimeCritical = 15,
};

namespace detail {
struct ThreadState;
}

// A thread that runs on its own: dropping the object neither stops nor joins
// it, as closing a Windows thread handle does not.
class Thread {
public:
    using Body = std::function<std::uint32_t()>;  // the result is the exit code

    Thread() = default;
    ~Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    Thread(Thread&&) = default;
    Thread& operator=(Thread&&) = default;

    // Starts body on a new thread named name (cut to 15 bytes). stackBytes 0
    // keeps the default stack. The id is valid when this returns true.
    bool Start(std::string_view name, Body body, std::size_t stackBytes = 0);
    bool IsStarted() const { return m_state != nullptr; }
    ThreadId Id() const;
    // True once the body has returned (or when nothing was started); false
    // when the timeout ran out first.
    bool Wait(std::uint32_t timeoutMs = kInfinite) const;
    bool IsFinished() const { return Wait(0); }
    std::uint32_t ExitCode() const;  // 0 until finished
    // Best effort: false when the system refuses (raising priority needs privileges).
    bool SetPriority(ThreadPriority priority) const;
    // One bit per processor, as Windows masks are; false for an empty or impossible mask.
    bool SetAffinity(std::uint64_t processorMask) const;

private:
    std::shared_ptr<detail::ThreadState> m_state;
};

// A Win32 mutex: the owning thread may take it again, and must release it as
// often as it took it. Usable with std::lock_guard.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Lock();
    // False when the timeout runs out before the mutex is free.
    bool Lock(std::uint32_t timeoutMs);
    bool TryLock() { return Lock(0); }
    // False, changing nothing, when the calling thread does not own it.
    bool Unlock();
    bool IsOwnedByCurrentThread() const;

    void lock() { Lock(); }
    bool try_lock() { return TryLock(); }
    void unlock() { Unlock(); }

private:
    mutable std::mutex m_guard;
    std::condition_variable m_released;
    ThreadId m_owner = 0;
    std::uint32_t m_depth = 0;
};

// Windows critical sections are re-entrant too.
using CriticalSection = Mutex;

// A Win32 event. A manual-reset event stays set and releases every waiter; an
// auto-reset event releases one waiter and clears itself.
class Event {
public:
    explicit Event(bool manualReset, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when the event was set; false on timeout.
    bool Wait(std::uint32_t timeoutMs = kInfinite);
    bool IsSet() const;

private:
    mutable std::mutex m_guard;
    std::condition_variable m_changed;
    const bool m_manualReset;
    bool m_set;
};

// A Win32 semaphore: a count between 0 and a maximum.
class Semaphore {
public:
    // The maximum is at least 1; the initial count is kept within it.
    Semaphore(std::uint32_t initialCount, std::uint32_t maximumCount);
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Takes one count; false on timeout.
    bool Wait(std::uint32_t timeoutMs = kInfinite);
    // Adds count; false, changing nothing, when that would pass the maximum.
    bool Release(std::uint32_t count = 1);
    std::uint32_t Count() const;

private:
    mutable std::mutex m_guard;
    std::condition_variable m_released;
    const std::uint32_t m_maximum;
    std::uint32_t m_count;
};

}  // namespace os
