#pragma once

#include <atomic>
#include <cstdint>

#include "platform/os/threads.h"

// A high-resolution timer on the system's performance counter. Tick measures
// the seconds between two ticks (the frame time); the elapsed time runs from
// Start to the latest tick (the total time, and the log's timestamps).
//
// One thread ticks a timer: for gTimer the thread that started it (the main
// loop). Other threads may read it at any time and see the latest tick, which
// is why the fields are atomic; they must not tick it, since that would cut the
// main loop's next frame time short.
class ZTimer {
public:
    // Reads the counter frequency and the counter; false (changing nothing)
    // when there is no high-resolution counter.
    bool Start();
    // Reads the counter and returns the new delta. While paused the delta is 0
    // and the latest tick still moves, so the first tick after the pause
    // measures only from the last paused tick. A failed read changes nothing.
    double Tick();

    double GetDelta() const { return m_delta.load(std::memory_order_relaxed); }
    // Seconds from Start to the latest tick.
    double GetElapsed() const;
    void SetPaused(bool paused) { m_paused.store(paused, std::memory_order_relaxed); }
    bool IsPaused() const { return m_paused.load(std::memory_order_relaxed); }
    // True on the thread that last started the timer: the one that ticks it.
    bool IsTickThread() const;

private:
    std::atomic<uint64_t> m_startCount{0};
    std::atomic<uint64_t> m_lastCount{0};
    std::atomic<double> m_secondsPerCount{0.0};
    std::atomic<double> m_delta{0.0};
    std::atomic<bool> m_paused{false};
    std::atomic<os::ThreadId> m_tickThread{0};
};

extern ZTimer gTimer;
