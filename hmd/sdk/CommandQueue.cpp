#include "hmd/sdk/CommandQueue.h"

#include <cstdlib>

namespace HSK {

namespace {

// The exit command: marks the queue's end when it runs.
class ExitCommand final : public Command {
public:
    ExitCommand() {
        size = static_cast<uint16_t>(sizeof(ExitCommand));
        exitCommand = 1;
    }
    // The queue marks exit processed as it hands this command out.
    void Execute() override {}
    void CopyTo(void* dst) const override { new (dst) ExitCommand(*this); }
};

}  // namespace

CommandQueue::CommandQueue() : m_buffer(static_cast<uint8_t*>(std::aligned_alloc(16, kBufferSize))) {}

CommandQueue::~CommandQueue() {
    // Commands never run are destroyed in place.
    const std::lock_guard<std::mutex> lock(m_lock);
    while (m_head != m_tail) {
        Command* const command = reinterpret_cast<Command*>(m_buffer + m_head);
        const size_t slot = SlotSize(command->size);
        command->~Command();
        m_head += slot;
        if (m_wrapEnd != 0 && m_head == m_wrapEnd) {
            m_head = 0;
            m_wrapEnd = 0;
        }
    }
    std::free(m_buffer);
}

void CommandQueue::SetConsumerThread(const os::ThreadId id) {
    const std::lock_guard<std::mutex> lock(m_lock);
    m_consumer = id;
}

size_t CommandQueue::BlockedProducers() const {
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_blocked.size();
}

bool CommandQueue::IsExitProcessed() const {
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_exitProcessed;
}

os::Event* CommandQueue::TakeEvent() {
    if (m_freeEvents.empty()) {
        m_events.push_back(std::make_unique<os::Event>(true, false));
        return m_events.back().get();
    }
    os::Event* const event = m_freeEvents.back();
    m_freeEvents.pop_back();
    return event;
}

void CommandQueue::GiveEvent(os::Event* const event) {
    event->Reset();
    m_freeEvents.push_back(event);
}

bool CommandQueue::Reserve(const size_t slot, size_t* const offset) {
    if (m_tail < m_head) {
        // The free run ends at head; it must stay larger than the slot so that
        // tail never catches up with head (equal means empty).
        if (m_head - m_tail > slot) {
            *offset = m_tail;
            m_tail += slot;
            return true;
        }
        return false;
    }
    if (kBufferSize - m_tail >= slot) {
        *offset = m_tail;
        m_tail += slot;
        return true;
    }
    if (m_head > slot) {
        m_wrapEnd = m_tail;
        *offset = 0;
        m_tail = slot;
        return true;
    }
    return false;
}

bool CommandQueue::Push(const Command& command) {
    return PushImpl(command, false);
}

bool CommandQueue::PushAndWait(const Command& command) {
    return PushImpl(command, true);
}

bool CommandQueue::PushImpl(const Command& command, const bool wait) {
    const size_t slot = SlotSize(command.size);
    if (command.size == 0 || slot > kMaxCommandSize) return false;
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_consumer != 0 && m_consumer == os::CurrentThreadId()) {
        // Queued work from the consumer itself could wait forever: run it now.
        lock.unlock();
        alignas(16) uint8_t local[kMaxCommandSize];
        command.CopyTo(local);
        Command* const copy = reinterpret_cast<Command*>(local);
        copy->Execute();
        copy->~Command();
        return true;
    }
    if (m_exitEnqueued) return false;
    size_t offset = 0;
    while (!Reserve(slot, &offset)) {
        os::Event* const room = TakeEvent();
        m_blocked.push_back(room);
        lock.unlock();
        room->Wait();
        lock.lock();
        GiveEvent(room);
        if (m_exitEnqueued) return false;
    }
    command.CopyTo(m_buffer + offset);
    Command* const queued = reinterpret_cast<Command*>(m_buffer + offset);
    queued->needsWait = wait ? 1 : 0;
    os::Event* done = nullptr;
    if (wait) {
        done = TakeEvent();
        queued->completion = done;
    }
    // Setting a set event is harmless; the consumer resets it only when it finds
    // the queue empty, under this lock.
    m_commandEvent.Set();
    if (!wait) return true;
    lock.unlock();
    done->Wait();
    lock.lock();
    GiveEvent(done);
    return true;
}

void CommandQueue::PushExit() {
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_exitEnqueued) return;
    const ExitCommand exit;
    size_t offset = 0;
    if (!Reserve(SlotSize(exit.size), &offset)) {
        // A full ring: the exit still has to get through, so it waits in the
        // flag alone and the consumer stops once the ring is empty.
        m_exitEnqueued = true;
        m_commandEvent.Set();
        return;
    }
    exit.CopyTo(m_buffer + offset);
    m_exitEnqueued = true;
    m_commandEvent.Set();
}

bool CommandQueue::Pop(void* const out) {
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_head == m_tail) {
        m_commandEvent.Reset();
        if (m_exitEnqueued && !m_exitProcessed) {
            // The exit command had no room in the ring.
            m_exitProcessed = true;
        }
        if (m_exitProcessed) {
            for (os::Event* const blocked : m_blocked) blocked->Set();
            m_blocked.clear();
        }
        return false;
    }
    Command* const command = reinterpret_cast<Command*>(m_buffer + m_head);
    const size_t slot = SlotSize(command->size);
    command->CopyTo(out);
    command->~Command();
    m_head += slot;
    if (m_wrapEnd != 0 && m_head == m_wrapEnd) {
        m_head = 0;
        m_wrapEnd = 0;
    }
    if (m_head == m_tail) {
        m_head = 0;
        m_tail = 0;
    }
    if (static_cast<Command*>(out)->exitCommand != 0) {
        m_exitProcessed = true;
        for (os::Event* const blocked : m_blocked) blocked->Set();
        m_blocked.clear();
    } else if (!m_blocked.empty()) {
        m_blocked.front()->Set();
        m_blocked.pop_front();
    }
    return true;
}

void CommandQueue::Finish(Command* const popped) {
    if (popped->needsWait != 0 && popped->completion != nullptr) {
        popped->completion->Set();
    }
    popped->~Command();
}

}  // namespace HSK
