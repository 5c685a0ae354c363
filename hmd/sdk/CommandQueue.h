#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "platform/os/threads.h"

namespace HSK {

// A unit of work for the device-manager thread, queued by value.
class Command {
public:
    virtual ~Command() = default;
    virtual void Execute() = 0;
    // Copy-constructs this command at dst (at least size bytes, 16-aligned).
    virtual void CopyTo(void* dst) const = 0;

    uint16_t size = 0;
    uint8_t needsWait = 0;
    uint8_t exitCommand = 0;
    os::Event* completion = nullptr;
};

// A command that calls a function object (a lambda capturing what it needs).
template <typename F>
class CallCommand final : public Command {
public:
    CallCommand(F function, const bool wait) : m_function(std::move(function)) {
        size = static_cast<uint16_t>(sizeof(CallCommand));
        needsWait = wait ? 1 : 0;
    }
    void Execute() override { m_function(); }
    void CopyTo(void* dst) const override { new (dst) CallCommand(*this); }

private:
    F m_function;
};

// The device-manager thread's queue: a 2048-byte ring holding commands by
// value in 16-byte-rounded slots. A producer finding no room waits until a
// command is taken; once the exit command is queued every push is refused.
class CommandQueue {
public:
    static constexpr size_t kBufferSize = 2048;
    static constexpr size_t kMaxCommandSize = 256;

    CommandQueue();
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    static size_t SlotSize(size_t commandSize) { return (commandSize + 15) & ~size_t{15}; }

    // Queues a copy. On the consuming thread the command runs at once instead
    // (that thread cannot wait for itself, and is still running when it calls).
    // Elsewhere false once exit is queued.
    bool Push(const Command& command);
    // Queues a copy and waits until it has run. False, and nothing runs, once exit is queued.
    bool PushAndWait(const Command& command);
    // Queues the exit command once; later calls return at once.
    void PushExit();

    // Takes the oldest command into out (kMaxCommandSize bytes, 16-aligned);
    // false when the queue is empty. The caller runs it, then calls Finish.
    bool Pop(void* out);
    // Signals a waited command's producer and destroys the popped copy.
    void Finish(Command* popped);

    bool IsExitProcessed() const;
    // Set while commands wait; the consumer sleeps on it.
    os::Event& GetCommandEvent() { return m_commandEvent; }
    // The consuming thread; pushes from it run at once.
    void SetConsumerThread(os::ThreadId id);
    // Number of producers waiting for room (for tests).
    size_t BlockedProducers() const;

private:
    bool Reserve(size_t slot, size_t* offset);
    os::Event* TakeEvent();
    void GiveEvent(os::Event* event);
    bool PushImpl(const Command& command, bool wait);

    mutable std::mutex m_lock;
    uint8_t* m_buffer;
    size_t m_head = 0;
    size_t m_tail = 0;
    size_t m_wrapEnd = 0;
    bool m_exitEnqueued = false;
    bool m_exitProcessed = false;
    std::deque<os::Event*> m_blocked;
    std::vector<std::unique_ptr<os::Event>> m_events;
    std::vector<os::Event*> m_freeEvents;
    os::Event m_commandEvent{true, false};
    os::ThreadId m_consumer = 0;
};

}  // namespace HSK
