#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "HeadsetFixture.h"
#include "hmd/sdk/CommandQueue.h"

namespace {

using HSK::Command;
using HSK::CommandQueue;

// A command of exactly 48 bytes that appends its value to a list.
class Append final : public Command {
public:
    Append(std::vector<int>* out, int value) : m_out(out), m_value(value) { size = sizeof(Append); }
    void Execute() override { m_out->push_back(m_value); }
    void CopyTo(void* dst) const override { new (dst) Append(*this); }

private:
    std::vector<int>* m_out;
    int m_value;
    [[maybe_unused]] uint8_t m_pad[48 - sizeof(Command) - sizeof(std::vector<int>*) - sizeof(int)] = {};  // size only
};
static_assert(sizeof(Append) == 48);

// Pops and runs everything queued.
size_t Drain(CommandQueue& queue) {
    alignas(16) uint8_t buffer[CommandQueue::kMaxCommandSize];
    size_t n = 0;
    while (queue.Pop(buffer)) {
        Command* const command = reinterpret_cast<Command*>(buffer);
        command->Execute();
        queue.Finish(command);
        ++n;
    }
    return n;
}

TEST(HskCommandQueue, FortyTwoCommandsOfFortyEightBytesFitThenAProducerWaits) {
    CommandQueue queue;
    std::vector<int> ran;
    for (int i = 0; i < 42; ++i) ASSERT_TRUE(queue.Push(Append(&ran, i)));
    std::atomic<bool> pushed{false};
    std::thread producer([&] {
        queue.Push(Append(&ran, 42));
        pushed = true;
    });
    ASSERT_TRUE(hmdtest::WaitFor([&] { return queue.BlockedProducers() == 1; }));
    EXPECT_FALSE(pushed.load());
    // The ring wraps to its start once more than one slot is free there: the
    // first pop wakes the producer to find too little room, the second lets it in.
    alignas(16) uint8_t buffer[CommandQueue::kMaxCommandSize];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(queue.Pop(buffer));
        reinterpret_cast<Command*>(buffer)->Execute();
        queue.Finish(reinterpret_cast<Command*>(buffer));
        if (i == 0) {
            ASSERT_TRUE(hmdtest::WaitFor([&] { return queue.BlockedProducers() == 1; }));
            EXPECT_FALSE(pushed.load());
        }
    }
    producer.join();
    EXPECT_TRUE(pushed.load());
    EXPECT_EQ(Drain(queue), 41u);
    ASSERT_EQ(ran.size(), 43u);
    for (int i = 0; i < 43; ++i) EXPECT_EQ(ran[i], i);
}

TEST(HskCommandQueue, KeepsOrderAcrossManyWraps) {
    CommandQueue queue;
    std::vector<int> ran;
    int next = 0;
    int queued = 0;
    // Push and pop in uneven batches so that the write position wraps often;
    // at most 40 queued, so this thread never waits for room.
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 1 + round % 23 && queued < 40; ++i, ++queued) {
            ASSERT_TRUE(queue.Push(Append(&ran, next++)));
        }
        alignas(16) uint8_t buffer[CommandQueue::kMaxCommandSize];
        for (int i = 0; i < 1 + round % 19 && queue.Pop(buffer); ++i, --queued) {
            reinterpret_cast<Command*>(buffer)->Execute();
            queue.Finish(reinterpret_cast<Command*>(buffer));
        }
    }
    Drain(queue);
    ASSERT_EQ(ran.size(), static_cast<size_t>(next));
    for (int i = 0; i < next; ++i) ASSERT_EQ(ran[i], i);
}

TEST(HskCommandQueue, AfterExitNothingIsQueued) {
    CommandQueue queue;
    std::vector<int> ran;
    ASSERT_TRUE(queue.Push(Append(&ran, 1)));
    queue.PushExit();
    queue.PushExit();  // once only
    EXPECT_FALSE(queue.Push(Append(&ran, 2)));
    EXPECT_FALSE(queue.PushAndWait(Append(&ran, 3)));
    EXPECT_EQ(Drain(queue), 2u);  // the command before exit, and exit
    EXPECT_TRUE(queue.IsExitProcessed());
    EXPECT_EQ(ran, std::vector<int>{1});
}

TEST(HskCommandQueue, WaitedCommandsRunBeforeTheCallReturns) {
    CommandQueue queue;
    std::vector<int> ran;
    std::atomic<bool> stop{false};
    std::thread consumer([&] {
        queue.SetConsumerThread(os::CurrentThreadId());
        while (!stop) {
            Drain(queue);
            queue.GetCommandEvent().Wait(5);
        }
        Drain(queue);
    });
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(queue.PushAndWait(Append(&ran, i)));
        ASSERT_EQ(ran.size(), static_cast<size_t>(i + 1));  // safe: the consumer is done with it
    }
    stop = true;
    queue.GetCommandEvent().Set();
    consumer.join();
}

TEST(HskCommandQueue, TheConsumerRunsItsOwnPushesAtOnce) {
    CommandQueue queue;
    std::vector<int> ran;
    queue.SetConsumerThread(os::CurrentThreadId());
    EXPECT_TRUE(queue.PushAndWait(Append(&ran, 5)));  // would wait for itself otherwise
    EXPECT_TRUE(queue.Push(Append(&ran, 6)));
    EXPECT_EQ(ran, (std::vector<int>{5, 6}));
    EXPECT_EQ(Drain(queue), 0u);
}

}  // namespace
