#include "hmd/sdk/Device.h"

#include <algorithm>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/DeviceManagerThread.h"
#include "hmd/sdk/MessageHandler.h"

namespace HSK {

void DeviceDescriptor::ReleaseHandle() {
    // A handle that is not the last one goes without the lock: the count stays
    // above 0, so nobody can decide on the descriptor meanwhile.
    int count = handleCount.load();
    while (count > 1) {
        if (handleCount.compare_exchange_weak(count, count - 1)) return;
    }
    const std::shared_ptr<std::recursive_mutex> held = lock;
    if (held == nullptr) {
        // Never listed by a manager: nobody else can take a handle from 0.
        if (handleCount.fetch_sub(1) == 1) delete this;
        return;
    }
    // The count drops to 0 and the descriptor's fate is decided under the
    // manager lock, where enumerations take new handles: no other thread can
    // take and drop a handle in between and delete the descriptor under us.
    const std::lock_guard<std::recursive_mutex> guard(*held);
    if (handleCount.fetch_sub(1) != 1) return;
    if (manager != nullptr && enumerated) return;
    if (manager != nullptr) manager->RemoveDescriptor(this);
    delete this;
}

bool DeviceHandle::IsAvailable() const {
    if (m_descriptor == nullptr) return false;
    if (m_descriptor->lock == nullptr) return m_descriptor->enumerated;
    const std::lock_guard<std::recursive_mutex> guard(*m_descriptor->lock);
    return m_descriptor->enumerated;
}

bool DeviceHandle::GetDeviceInfo(DeviceInfo* const info) const {
    return m_descriptor != nullptr && info != nullptr && m_descriptor->GetDeviceInfo(info);
}

DeviceBase* DeviceHandle::CreateDevice(DeviceBase* const parent) const {
    if (m_descriptor == nullptr || m_descriptor->manager == nullptr) return nullptr;
    return m_descriptor->manager->CreateDevice(m_descriptor, parent);
}

DeviceBase::DeviceBase() : m_handlerLock(MessageHandler::AddLockUser()) {}

DeviceBase::~DeviceBase() {
    {
        const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
        if (m_handler != nullptr) {
            auto& devices = m_handler->m_devices;
            devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
            m_handler = nullptr;
        }
    }
    MessageHandler::RemoveLockUser();
}

bool DeviceBase::TryAddRef() {
    int32_t count = m_refCount.load();
    while (count > 0) {
        if (m_refCount.compare_exchange_weak(count, count + 1)) return true;
    }
    return false;
}

DeviceManager* DeviceBase::GetManager() const {
    const DeviceDescriptor* const descriptor = GetDescriptor();
    return descriptor != nullptr ? descriptor->manager : nullptr;
}

void DeviceBase::Release() {
    if (m_refCount.fetch_sub(1) != 1) return;
    DeviceManager* const manager = GetManager();
    if (manager != nullptr && manager->PushCall([this]() { CloseAndDelete(); })) return;
    // The thread is stopping or gone: let it finish, then close here.
    if (manager != nullptr && manager->GetThread() != nullptr) manager->GetThread()->Join();
    CloseAndDelete();
}

void DeviceBase::CloseAndDelete() {
    DeviceDescriptor* const descriptor = GetDescriptor();
    const std::shared_ptr<std::recursive_mutex> lock = descriptor != nullptr ? descriptor->lock : nullptr;
    std::unique_lock<std::recursive_mutex> guard;
    if (lock != nullptr) guard = std::unique_lock<std::recursive_mutex>(*lock);
    if (descriptor != nullptr && descriptor->device == this) descriptor->device = nullptr;
    Shutdown();
    delete this;
}

void DeviceBase::SetMessageHandler(MessageHandler* const handler) {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    if (m_handler == handler) return;
    if (m_handler != nullptr) {
        auto& devices = m_handler->m_devices;
        devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    }
    m_handler = handler;
    if (m_handler != nullptr) m_handler->m_devices.push_back(this);
}

MessageHandler* DeviceBase::GetMessageHandler() const {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    return m_handler;
}

bool DeviceBase::GetDeviceInfo(DeviceInfo* const info) const {
    const DeviceDescriptor* const descriptor = GetDescriptor();
    return descriptor != nullptr && info != nullptr && descriptor->GetDeviceInfo(info);
}

void DeviceBase::SendToHandler(const Message& message) {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    if (m_handler != nullptr) {
        m_handler->OnMessage(message);
    }
}

}  // namespace HSK
