#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "hmd/sdk/Allocator.h"
#include "hmd/sdk/Types.h"

namespace HSK {

class DeviceManager;
class DeviceFactory;
class MessageHandler;

// One physical device found by a factory. It stays on the manager's list while
// handles to it exist or its device was found by the latest enumeration.
class DeviceDescriptor : public NewOverride {
public:
    enum MatchResult { Match_None, Match_Found, Match_Candidate };

    DeviceDescriptor(DeviceFactory* factory, DeviceType type) : factory(factory), type(type) {}
    virtual ~DeviceDescriptor() = default;
    DeviceDescriptor& operator=(const DeviceDescriptor&) = delete;

    virtual DeviceDescriptor* Clone() const = 0;
    virtual DeviceBase* CreateInstance() = 0;
    virtual bool GetDeviceInfo(DeviceInfo* info) const = 0;
    virtual MatchResult Matches(const DeviceDescriptor& other) const = 0;
    virtual bool MergeCandidate(const DeviceDescriptor& /*other*/) { return false; }

    void AddHandle() { handleCount.fetch_add(1); }
    // The last handle deletes the descriptor when its manager is gone or the
    // latest enumeration did not find its device.
    void ReleaseHandle();

    DeviceFactory* const factory;
    const DeviceType type;
    std::atomic<int> handleCount{0};
    // Guarded by the manager lock (lock below).
    DeviceBase* device = nullptr;
    bool enumerated = true;
    DeviceManager* manager = nullptr;
    // The manager lock, shared so that it outlives the manager for late handles.
    std::shared_ptr<std::recursive_mutex> lock;

protected:
    DeviceDescriptor(const DeviceDescriptor& other) : factory(other.factory), type(other.type) {}
};

// A counted reference to a descriptor.
class DeviceHandle {
public:
    DeviceHandle() = default;
    explicit DeviceHandle(DeviceDescriptor* descriptor) : m_descriptor(descriptor) {
        if (m_descriptor != nullptr) m_descriptor->AddHandle();
    }
    DeviceHandle(const DeviceHandle& other) : DeviceHandle(other.m_descriptor) {}
    DeviceHandle& operator=(const DeviceHandle& other) {
        if (this != &other) {
            DeviceHandle copy(other);
            std::swap(m_descriptor, copy.m_descriptor);
        }
        return *this;
    }
    ~DeviceHandle() { Clear(); }

    void Clear() {
        if (m_descriptor != nullptr) m_descriptor->ReleaseHandle();
        m_descriptor = nullptr;
    }
    DeviceDescriptor* Get() const { return m_descriptor; }
    bool IsEmpty() const { return m_descriptor == nullptr; }
    // Whether the latest enumeration found the device.
    bool IsAvailable() const;
    DeviceType GetType() const { return m_descriptor != nullptr ? m_descriptor->type : Device_None; }
    bool GetDeviceInfo(DeviceInfo* info) const;
    // Opens the device (once; later calls add a reference). Null on failure.
    DeviceBase* CreateDevice(DeviceBase* parent = nullptr) const;

private:
    DeviceDescriptor* m_descriptor = nullptr;
};

// Every device: counted, with a parent, a descriptor and a message handler.
class DeviceBase : public NewOverride {
public:
    DeviceBase();
    DeviceBase(const DeviceBase&) = delete;
    DeviceBase& operator=(const DeviceBase&) = delete;

    virtual void AddRef() { m_refCount.fetch_add(1); }
    // The last release closes the device on the manager's thread.
    virtual void Release();
    virtual DeviceBase* GetParent() const { return m_parent; }
    virtual DeviceManager* GetManager() const;
    virtual void SetMessageHandler(MessageHandler* handler);
    virtual MessageHandler* GetMessageHandler() const;
    virtual DeviceType GetType() const = 0;
    virtual bool GetDeviceInfo(DeviceInfo* info) const;

    // Open and close, on the manager's thread.
    virtual bool Initialize(DeviceBase* parent) = 0;
    virtual void Shutdown() = 0;

    // One more reference unless the count already reached 0 (closing).
    bool TryAddRef();
    int32_t GetRefCount() const { return m_refCount.load(); }
    DeviceDescriptor* GetDescriptor() const { return m_handle.Get(); }
    void SetDescriptor(DeviceDescriptor* descriptor) { m_handle = DeviceHandle(descriptor); }
    // Hands message to the installed handler, with the handler lock held.
    void SendToHandler(const Message& message);

protected:
    friend class MessageHandler;
    friend class DeviceManager;
    virtual ~DeviceBase();

    // Closes and deletes a device whose last reference is gone.
    void CloseAndDelete();

    std::atomic<int32_t> m_refCount{1};
    DeviceBase* m_parent = nullptr;  // holds a reference while open
    DeviceHandle m_handle;
    MessageHandler* m_handler = nullptr;  // guarded by the shared handler lock
    std::recursive_mutex* m_handlerLock;  // the shared handler lock, held as a user
};

// Receives the temporary descriptors a factory finds.
class EnumerateVisitor {
public:
    virtual ~EnumerateVisitor() = default;
    virtual void Visit(const DeviceDescriptor& descriptor) = 0;
};

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    virtual void EnumerateDevices(EnumerateVisitor& visitor) = 0;
    DeviceManager* manager = nullptr;
};

// What the manager's thread calls on a device it reads, ticks or tells of
// arrivals and removals.
class ThreadNotifier {
public:
    enum DeviceMessage { DeviceMessage_Added = 0, DeviceMessage_Removed = 1 };
    virtual ~ThreadNotifier() = default;
    // Reads whatever input waits.
    virtual void OnInputReady() {}
    // Runs periodic work; returns the microseconds until it wants to run again.
    virtual uint64_t OnTicks(uint64_t /*nowUs*/) { return 1000000000ull; }
    // True when the message concerned this device.
    virtual bool OnDeviceMessage(DeviceMessage /*message*/, const std::string& /*path*/) { return false; }
};

}  // namespace HSK
