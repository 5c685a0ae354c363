#include "hmd/sdk/DeviceManager.h"

#include <algorithm>

#include "hmd/sdk/DeviceManagerThread.h"
#include "hmd/sdk/HMDDevice.h"
#include "hmd/sdk/LatencyTestDevice.h"
#include "hmd/sdk/Log.h"
#include "hmd/sdk/SensorDevice.h"
#include "platform/hid/hid.h"

namespace HSK {

// --- Enumerator ----------------------------------------------------------------------

DeviceEnumerator::DeviceEnumerator(DeviceManager* const manager, const DeviceType type, const bool availableOnly)
    : m_manager(manager), m_type(type), m_availableOnly(availableOnly) {
    if (m_manager == nullptr) return;
    const std::lock_guard<std::recursive_mutex> guard(m_manager->GetLock());
    for (DeviceDescriptor* const descriptor : m_manager->Descriptors()) {
        if (Accepts(descriptor)) {
            m_handle = DeviceHandle(descriptor);
            return;
        }
    }
}

bool DeviceEnumerator::Accepts(const DeviceDescriptor* const descriptor) const {
    return (m_type == Device_All || descriptor->type == m_type) && (!m_availableOnly || descriptor->enumerated);
}

bool DeviceEnumerator::Next() {
    if (m_manager == nullptr || m_handle.IsEmpty()) return false;
    const std::lock_guard<std::recursive_mutex> guard(m_manager->GetLock());
    const auto& list = m_manager->Descriptors();
    auto it = std::find(list.begin(), list.end(), m_handle.Get());
    if (it != list.end()) ++it;
    for (; it != list.end(); ++it) {
        if (Accepts(*it)) {
            m_handle = DeviceHandle(*it);
            return true;
        }
    }
    m_handle.Clear();
    return false;
}

// --- Manager ---------------------------------------------------------------------------

DeviceManager::DeviceManager() : m_lock(std::make_shared<std::recursive_mutex>()) {}

DeviceManager::~DeviceManager() {
    {
        const std::lock_guard<std::recursive_mutex> guard(*m_lock);
        for (DeviceDescriptor* const descriptor : m_descriptors) {
            descriptor->manager = nullptr;
            if (descriptor->handleCount.load() == 0) delete descriptor;
        }
        m_descriptors.clear();
    }
    if (m_thread != nullptr) m_thread->Release();
}

DeviceManager* DeviceManager::Create() {
    if (Allocator::GetInstance() == nullptr) return nullptr;
    DeviceManager* const manager = new DeviceManager();
    if (manager == nullptr) return nullptr;
    manager->m_hid = platform::hid::GetOrCreateHidSystem();
    // The game's thread runs the video system: take the displays' desktop
    // places here, where the device thread's monitor search finds them.
    platform::hid::RefreshDisplayPlacements();
    if (!manager->Initialize(nullptr)) {
        manager->Release();
        return nullptr;
    }
    manager->m_ownFactories.push_back(std::make_unique<HMDDeviceFactory>());
    manager->m_ownFactories.push_back(std::make_unique<SensorDeviceFactory>());
    manager->m_ownFactories.push_back(std::make_unique<LatencyTestDeviceFactory>());
    for (const auto& factory : manager->m_ownFactories) manager->AddFactory(factory.get());
    return manager;
}

bool DeviceManager::Initialize(DeviceBase*) {
    DeviceManagerThread* const thread = new DeviceManagerThread(this);
    if (thread == nullptr) return false;
    if (m_thread != nullptr) m_thread->Release();
    m_thread = thread;
    if (!m_thread->Start()) {
        m_thread->Release();
        m_thread = nullptr;
        return false;
    }
    LogText("HSK::DeviceManager - initialized.\n");
    return true;
}

void DeviceManager::Shutdown() {
    LogText("HSK::DeviceManager - shutting down.\n");
    m_shutDown = true;
    if (m_thread != nullptr) m_thread->GetQueue().PushExit();
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    for (DeviceFactory* const factory : m_factories) factory->manager = nullptr;
    m_factories.clear();
}

void DeviceManager::Release() {
    if (m_refCount.fetch_sub(1) != 1) return;
    Shutdown();
    if (m_thread != nullptr && m_thread->IsCurrentThread()) {
        // The thread is still inside a command: it deletes the manager on its way out.
        m_thread->DeleteManagerOnExit();
        return;
    }
    if (m_thread != nullptr) m_thread->Join();
    delete this;
}

bool DeviceManager::GetDeviceInfo(DeviceInfo* const info) const {
    if (info == nullptr || (info->infoClassType != Device_Manager && info->infoClassType != Device_None)) {
        return false;
    }
    info->type = Device_Manager;
    info->version = 0;
    CopyField(info->productName, "DeviceManager");
    CopyField(info->manufacturer, "Headset Vendor, Inc.");
    return true;
}

CommandQueue* DeviceManager::GetCommandQueue() {
    return m_thread != nullptr ? &m_thread->GetQueue() : nullptr;
}

void DeviceManager::AddFactory(DeviceFactory* const factory) {
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    factory->manager = this;
    m_factories.push_back(factory);
}

void DeviceManager::RemoveDescriptor(DeviceDescriptor* const descriptor) {
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    m_descriptors.erase(std::remove(m_descriptors.begin(), m_descriptors.end(), descriptor), m_descriptors.end());
}

DeviceEnumerator DeviceManager::EnumerateDevices(const DeviceType type, const bool availableOnly) {
    PushCallAndWait([this]() { EnumerateAllFactoryDevices(); });
    return DeviceEnumerator(this, type, availableOnly);
}

namespace {

class ManagerVisitor final : public EnumerateVisitor {
public:
    explicit ManagerVisitor(std::function<void(const DeviceDescriptor&)> visit) : m_visit(std::move(visit)) {}
    void Visit(const DeviceDescriptor& descriptor) override { m_visit(descriptor); }

private:
    std::function<void(const DeviceDescriptor&)> m_visit;
};

}  // namespace

void DeviceManager::EnumerateAllFactoryDevices() {
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    std::vector<bool> before;
    for (DeviceDescriptor* const descriptor : m_descriptors) {
        before.push_back(descriptor->enumerated);
        descriptor->enumerated = false;
    }
    ManagerVisitor visitor([this](const DeviceDescriptor& found) { Visit(found); });
    for (DeviceFactory* const factory : m_factories) factory->EnumerateDevices(visitor);
    // Only a device that was there before is reported gone, once.
    for (size_t i = 0; i < before.size() && i < m_descriptors.size(); ++i) {
        DeviceDescriptor* const descriptor = m_descriptors[i];
        if (!descriptor->enumerated && before[i]) {
            MessageDeviceStatus message;
            message.type = Message_DeviceRemoved;
            message.device = this;
            message.descriptor = descriptor;
            SendToHandler(message);
        }
    }
}

void DeviceManager::Visit(const DeviceDescriptor& found) {
    DeviceDescriptor* candidate = nullptr;
    for (DeviceDescriptor* const descriptor : m_descriptors) {
        const DeviceDescriptor::MatchResult result = descriptor->Matches(found);
        if (result == DeviceDescriptor::Match_Found) {
            descriptor->enumerated = true;
            return;
        }
        if (result == DeviceDescriptor::Match_Candidate && candidate == nullptr) candidate = descriptor;
    }
    if (candidate != nullptr && candidate->MergeCandidate(found)) {
        candidate->enumerated = true;
        return;
    }
    DeviceDescriptor* const added = found.Clone();
    if (added == nullptr) return;
    added->manager = this;
    added->lock = m_lock;
    added->enumerated = true;
    m_descriptors.push_back(added);
    MessageDeviceStatus message;
    message.type = Message_DeviceAdded;
    message.device = this;
    message.descriptor = added;
    SendToHandler(message);
}

DeviceBase* DeviceManager::CreateDevice(DeviceDescriptor* const descriptor, DeviceBase* const parent) {
    if (descriptor == nullptr) return nullptr;
    {
        const std::lock_guard<std::recursive_mutex> guard(*m_lock);
        if (descriptor->device != nullptr && descriptor->device->TryAddRef()) return descriptor->device;
    }
    DeviceBase* result = nullptr;
    if (!PushCallAndWait([this, descriptor, parent, &result]() { result = CreateDeviceOnThread(descriptor, parent); })) {
        return nullptr;
    }
    return result;
}

DeviceBase* DeviceManager::CreateDeviceOnThread(DeviceDescriptor* const descriptor, DeviceBase* const parent) {
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    if (descriptor->device != nullptr && descriptor->device->TryAddRef()) return descriptor->device;
    DeviceBase* const device = descriptor->CreateInstance();
    if (device == nullptr) return nullptr;
    device->SetDescriptor(descriptor);
    if (!device->Initialize(parent != nullptr ? parent : this)) {
        delete device;
        return nullptr;
    }
    descriptor->device = device;
    return device;
}

void DeviceManager::NotifyDeviceStatus(DeviceDescriptor* const descriptor, const bool added) {
    const std::lock_guard<std::recursive_mutex> guard(*m_lock);
    descriptor->enumerated = added;
    MessageDeviceStatus message;
    message.type = added ? Message_DeviceAdded : Message_DeviceRemoved;
    message.device = this;
    message.descriptor = descriptor;
    SendToHandler(message);
}

}  // namespace HSK
