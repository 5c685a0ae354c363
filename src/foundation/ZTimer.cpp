#include "foundation/ZTimer.h"

#include "platform/os/clock.h"

ZTimer gTimer;

bool ZTimer::Start() {
    uint64_t frequency = 0;
    uint64_t now = 0;
    if (!os::ReadCounterFrequency(frequency) || frequency == 0 || !os::ReadCounter(now)) {
        return false;
    }
    m_secondsPerCount.store(1.0 / static_cast<double>(frequency), std::memory_order_relaxed);
    m_startCount.store(now, std::memory_order_relaxed);
    m_lastCount.store(now, std::memory_order_relaxed);
    m_tickThread.store(os::CurrentThreadId(), std::memory_order_relaxed);
    return true;
}

double ZTimer::Tick() {
    uint64_t now = 0;
    if (!os::ReadCounter(now)) {
        return GetDelta();
    }
    const uint64_t last = m_lastCount.load(std::memory_order_relaxed);
    double delta = 0.0;
    if (!m_paused.load(std::memory_order_relaxed)) {
        // Unsigned difference: a counter that went backwards gives no negative time.
        delta = now >= last ? static_cast<double>(now - last) * m_secondsPerCount.load(std::memory_order_relaxed)
                            : 0.0;
    }
    m_delta.store(delta, std::memory_order_relaxed);
    m_lastCount.store(now, std::memory_order_relaxed);
    return delta;
}

double ZTimer::GetElapsed() const {
    const uint64_t start = m_startCount.load(std::memory_order_relaxed);
    const uint64_t last = m_lastCount.load(std::memory_order_relaxed);
    if (last < start) {
        return 0.0;
    }
    return static_cast<double>(last - start) * m_secondsPerCount.load(std::memory_order_relaxed);
}

bool ZTimer::IsTickThread() const {
    const os::ThreadId owner = m_tickThread.load(std::memory_order_relaxed);
    return owner != 0 && owner == os::CurrentThreadId();
}
