#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "hmd/sdk/CommandQueue.h"
#include "hmd/sdk/Device.h"

namespace platform::hid {
class HidSystem;
}

namespace HSK {

class DeviceManagerThread;

// Walks the manager's descriptors of one type (Device_All for any); holds a
// handle on the current one.
class DeviceEnumerator {
public:
    DeviceEnumerator() = default;
    DeviceEnumerator(DeviceManager* manager, DeviceType type, bool availableOnly);

    bool IsEmpty() const { return m_handle.IsEmpty(); }
    const DeviceHandle& GetHandle() const { return m_handle; }
    bool Next();
    DeviceBase* CreateDevice() const { return m_handle.CreateDevice(); }
    void Clear() { m_handle.Clear(); }

private:
    bool Accepts(const DeviceDescriptor* descriptor) const;
    DeviceManager* m_manager = nullptr;
    DeviceType m_type = Device_None;
    bool m_availableOnly = false;
    DeviceHandle m_handle;
};

// The root of the device model: factories, the descriptors they found, and the
// thread on which every device is opened, read, kept alive and closed.
class DeviceManager : public DeviceBase {
public:
    // Null while the SDK system is stopped or when the thread does not start.
    // Uses the installed HID system (the SDL one when none is installed).
    static DeviceManager* Create();

    void Release() override;
    DeviceManager* GetManager() const override { return const_cast<DeviceManager*>(this); }
    DeviceType GetType() const override { return Device_Manager; }
    bool GetDeviceInfo(DeviceInfo* info) const override;
    bool Initialize(DeviceBase* parent) override;
    void Shutdown() override;

    // Enumerates every factory (on the thread, waited), then positions on the
    // first matching descriptor.
    DeviceEnumerator EnumerateDevices(DeviceType type, bool availableOnly);
    CommandQueue* GetCommandQueue();
    DeviceManagerThread* GetThread() const { return m_thread; }
    platform::hid::HidSystem* GetHidSystem() const { return m_hid; }
    std::recursive_mutex& GetLock() const { return *m_lock; }
    const std::shared_ptr<std::recursive_mutex>& GetSharedLock() const { return m_lock; }

    // Queue work for the thread; with no thread (or after exit) they refuse.
    template <typename F>
    bool PushCall(F function) {
        CommandQueue* const queue = GetCommandQueue();
        return queue != nullptr && queue->Push(CallCommand<F>(std::move(function), false));
    }
    template <typename F>
    bool PushCallAndWait(F function) {
        CommandQueue* const queue = GetCommandQueue();
        return queue != nullptr && queue->PushAndWait(CallCommand<F>(std::move(function), true));
    }

    // On the thread, under the manager lock: every factory enumerates and the
    // descriptor list follows (added and removed messages to the handler).
    void EnumerateAllFactoryDevices();
    // Opens the descriptor's device on the thread (or adds a reference).
    DeviceBase* CreateDevice(DeviceDescriptor* descriptor, DeviceBase* parent);
    // Called from a device's re-plug handling: marks the descriptor and sends the message.
    void NotifyDeviceStatus(DeviceDescriptor* descriptor, bool added);

    void AddFactory(DeviceFactory* factory);
    // The factory that headset descriptors belong to, whoever finds them.
    DeviceFactory* GetHMDFactory() const { return m_ownFactories.empty() ? nullptr : m_ownFactories[0].get(); }
    // Descriptors in list order (manager lock held by the caller).
    const std::vector<DeviceDescriptor*>& Descriptors() const { return m_descriptors; }
    void RemoveDescriptor(DeviceDescriptor* descriptor);

    // Deletes a manager whose last reference went on its own thread (after exit).
    void FinishDeleteOnThread() { delete this; }

    // The thread polls for arrivals and removals this often while it is idle.
    static constexpr uint32_t kIdlePollMs = 50;

private:
    friend class DeviceManagerThread;
    DeviceManager();
    ~DeviceManager() override;
    DeviceBase* CreateDeviceOnThread(DeviceDescriptor* descriptor, DeviceBase* parent);
    void Visit(const DeviceDescriptor& found);

    std::shared_ptr<std::recursive_mutex> m_lock;
    std::vector<DeviceDescriptor*> m_descriptors;
    std::vector<DeviceFactory*> m_factories;
    std::vector<std::unique_ptr<DeviceFactory>> m_ownFactories;
    platform::hid::HidSystem* m_hid = nullptr;
    DeviceManagerThread* m_thread = nullptr;
    bool m_shutDown = false;
};

}  // namespace HSK
