#pragma once

#include <mutex>
#include <vector>

#include "hmd/sdk/Types.h"

namespace HSK {

// Receives a device's messages. All handlers share one process-wide lock,
// made by the first handler and destroyed by the last; messages are delivered
// and handlers installed with it held.
class MessageHandler {
public:
    MessageHandler();
    virtual ~MessageHandler();
    MessageHandler(const MessageHandler&) = delete;
    MessageHandler& operator=(const MessageHandler&) = delete;

    // Runs on the device-manager thread with the handler lock held: it must not
    // call operations that take the manager lock (ranges, enumeration, device
    // creation), which would invert the lock order.
    virtual void OnMessage(const Message& /*message*/) {}
    virtual bool SupportsMessageType(MessageType /*type*/) const { return true; }

    bool IsHandlerInstalled() const;
    // Takes this handler off every device it is installed on.
    void RemoveHandlerFromDevices();

    std::recursive_mutex& GetHandlerLock() const { return *m_lock; }
    // The shared lock while any handler exists (null otherwise).
    static std::recursive_mutex* SharedLock();
    static int SharedLockUsers();
    // Devices count as users too, so the lock outlives every device that sends.
    static std::recursive_mutex* AddLockUser();
    static void RemoveLockUser();

private:
    friend class DeviceBase;
    std::recursive_mutex* m_lock;
    std::vector<DeviceBase*> m_devices;  // guarded by the shared lock
};

}  // namespace HSK
