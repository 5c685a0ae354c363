#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "hmd/sdk/CommandQueue.h"
#include "hmd/sdk/DeviceStatus.h"
#include "hmd/sdk/Thread.h"

namespace HSK {

class DeviceManager;
class ThreadNotifier;

// The device-manager thread: runs queued commands first, then the devices'
// ticks, reads and arrival or removal notices, and sleeps until the next
// command, tick or poll.
class DeviceManagerThread : public Thread {
public:
    explicit DeviceManagerThread(DeviceManager* manager);

    int Run() override;
    CommandQueue& GetQueue() { return m_queue; }

    // Registration, on the thread only.
    void AddReadOwner(ThreadNotifier* owner) { Add(m_readOwners, owner); }
    void RemoveReadOwner(ThreadNotifier* owner) { Remove(m_readOwners, owner); }
    void AddTicksOwner(ThreadNotifier* owner) { Add(m_ticksOwners, owner); }
    void RemoveTicksOwner(ThreadNotifier* owner) { Remove(m_ticksOwners, owner); }
    void AddMessageOwner(ThreadNotifier* owner) { Add(m_messageOwners, owner); }
    void RemoveMessageOwner(ThreadNotifier* owner) { Remove(m_messageOwners, owner); }

    // A read failed on a device that may still be listed (thread only).
    void MarkDeviceLost(const std::string& path);

    // Set by the manager when its last reference went on this thread: the
    // thread deletes it once the exit command has run.
    void DeleteManagerOnExit() { m_deleteManager = true; }
    // Poll interval while devices are read (ms).
    static constexpr uint32_t kReadPollMs = 2;

private:
    static void Add(std::vector<ThreadNotifier*>& list, ThreadNotifier* owner);
    // Clears the slot; the list is compacted between passes, so an owner may
    // leave while the list is being walked.
    static void Remove(std::vector<ThreadNotifier*>& list, ThreadNotifier* owner);
    static void Compact(std::vector<ThreadNotifier*>& list);
    void RunCommands();

    DeviceManager* m_manager;
    CommandQueue m_queue;
    DeviceStatus m_status;
    std::vector<ThreadNotifier*> m_readOwners;
    std::vector<ThreadNotifier*> m_ticksOwners;
    std::vector<ThreadNotifier*> m_messageOwners;
    bool m_deleteManager = false;
};

}  // namespace HSK
