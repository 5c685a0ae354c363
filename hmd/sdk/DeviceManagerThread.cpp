#include "hmd/sdk/DeviceManagerThread.h"

#include <algorithm>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/Log.h"
#include "hmd/sdk/Timer.h"

namespace HSK {

namespace {

Thread::CreateParams ThreadParams() {
    Thread::CreateParams params;
    params.stackSize = 128 * 1024;
    params.priority = Thread::AboveNormalPriority;
    return params;
}

}  // namespace

DeviceManagerThread::DeviceManagerThread(DeviceManager* const manager) : Thread(ThreadParams()), m_manager(manager) {}

void DeviceManagerThread::Add(std::vector<ThreadNotifier*>& list, ThreadNotifier* const owner) {
    if (std::find(list.begin(), list.end(), owner) == list.end()) list.push_back(owner);
}

void DeviceManagerThread::Remove(std::vector<ThreadNotifier*>& list, ThreadNotifier* const owner) {
    std::replace(list.begin(), list.end(), owner, static_cast<ThreadNotifier*>(nullptr));
}

void DeviceManagerThread::Compact(std::vector<ThreadNotifier*>& list) {
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

void DeviceManagerThread::MarkDeviceLost(const std::string& path) {
    m_status.MarkLost(path, Timer::GetTicksMs());
}

void DeviceManagerThread::RunCommands() {
    alignas(16) uint8_t buffer[CommandQueue::kMaxCommandSize];
    while (m_queue.Pop(buffer)) {
        Command* const command = reinterpret_cast<Command*>(buffer);
        command->Execute();
        m_queue.Finish(command);
    }
}

int DeviceManagerThread::Run() {
    SetCurrentThreadName("HSK::DeviceManagerThread");
    const os::ThreadId id = os::CurrentThreadId();
    m_queue.SetConsumerThread(id);
    LogText("HSK::DeviceManagerThread - running (ThreadId=0x%X).\n", id);
    if (!m_status.Initialize(m_manager->GetHidSystem())) {
        LogText("HSK::DeviceManagerThread - failed to initialize MessageObject.\n");
    }

    for (;;) {
        RunCommands();
        if (m_queue.IsExitProcessed()) break;

        Compact(m_ticksOwners);
        Compact(m_readOwners);
        Compact(m_messageOwners);

        uint64_t waitMs = os::kInfinite;
        if (!m_ticksOwners.empty()) {
            const uint64_t now = Timer::GetTicksUs();
            for (size_t i = 0; i < m_ticksOwners.size(); ++i) {
                if (m_ticksOwners[i] == nullptr) continue;
                waitMs = std::min<uint64_t>(waitMs, m_ticksOwners[i]->OnTicks(now) / 1000);
            }
        }
        for (size_t i = 0; i < m_readOwners.size(); ++i) {
            if (m_readOwners[i] != nullptr) m_readOwners[i]->OnInputReady();
        }
        for (const auto& [change, path] : m_status.Poll(Timer::GetTicksMs())) {
            const auto message = change == DeviceStatus::Arrival ? ThreadNotifier::DeviceMessage_Added
                                                                 : ThreadNotifier::DeviceMessage_Removed;
            for (size_t i = 0; i < m_messageOwners.size(); ++i) {
                if (m_messageOwners[i] != nullptr && m_messageOwners[i]->OnDeviceMessage(message, path)) break;
            }
        }

        // Reads and arrivals are polled: no system call wakes this thread for them.
        waitMs = std::min<uint64_t>(waitMs, m_readOwners.empty() ? DeviceManager::kIdlePollMs : kReadPollMs);
        m_queue.GetCommandEvent().Wait(static_cast<uint32_t>(waitMs));
    }

    m_status.Shutdown();
    LogText("HSK::DeviceManagerThread - exiting (ThreadId=0x%X).\n", id);
    if (m_deleteManager) {
        m_manager->FinishDeleteOnThread();
    }
    return 0;
}

}  // namespace HSK
