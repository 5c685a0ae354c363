#include "hmd/sdk/HIDDeviceBase.h"

#include <strings.h>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/DeviceManagerThread.h"
#include "hmd/sdk/Log.h"
#include "platform/hid/hid.h"

namespace HSK {

HIDDeviceDesc HIDDeviceDesc::From(const platform::hid::DeviceInfo& info) {
    HIDDeviceDesc desc;
    desc.path = info.path;
    desc.vendorId = info.vendorId;
    desc.productId = info.productId;
    desc.manufacturer = info.manufacturer;
    desc.product = info.product;
    desc.serialNumber = info.serialNumber;
    desc.inputReportLength = info.inputReportLength != 0
                                 ? info.inputReportLength
                                 : platform::hid::DefaultInputReportLength(info.vendorId, info.productId);
    return desc;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

DeviceDescriptor::MatchResult HIDDeviceDescriptor::Matches(const DeviceDescriptor& other) const {
    if (other.type != type) return Match_None;
    const auto& o = static_cast<const HIDDeviceDescriptor&>(other);
    return SamePath(o.hid.path, hid.path) && o.hid.serialNumber == hid.serialNumber ? Match_Found : Match_None;
}

DeviceManagerThread* HIDDeviceBase::GetThread() const {
    DeviceManager* const manager = GetManager();
    return manager != nullptr ? manager->GetThread() : nullptr;
}

bool HIDDeviceBase::Initialize(DeviceBase* const parent) {
    const LogLines& lines = GetLogLines();
    if (m_desc.inputReportLength > kInputBufferSize) {
        LogText(lines.failedToInitialize, m_desc.path.c_str());
        LogText("    input reports of %u bytes do not fit the %u-byte buffer\n",
                static_cast<unsigned>(m_desc.inputReportLength), static_cast<unsigned>(kInputBufferSize));
        return false;
    }
    std::string error;
    if (!OpenHandle(&error)) return false;
    m_parent = parent;
    if (m_parent != nullptr) m_parent->AddRef();
    return true;
}

bool HIDDeviceBase::OpenHandle(std::string* const error) {
    const LogLines& lines = GetLogLines();
    DeviceManager* const manager = GetManager();
    platform::hid::HidSystem* const system = manager != nullptr ? manager->GetHidSystem() : nullptr;
    std::string reason;
    if (system != nullptr) m_hid = system->Open(m_desc.path, &reason);
    if (m_hid == nullptr) {
        if (reason.empty()) reason = "no HID system";
        LogText(lines.failedToOpen, m_desc.path.c_str());
        // The path alone does not say why; permission is the usual reason.
        LogText("    %s\n", reason.c_str());
        *error = reason;
        return false;
    }
    m_reading = true;
    if (!OnOpened()) {
        m_reading = false;
        m_hid.reset();
        LogText(lines.failedToInitialize, m_desc.path.c_str());
        *error = "the device did not answer its set-up";
        return false;
    }
    if (DeviceManagerThread* const thread = GetThread()) {
        thread->AddReadOwner(this);
        if (WantsTicks()) thread->AddTicksOwner(this);
        thread->AddMessageOwner(this);
    }
    LogText(lines.opened, m_desc.path.c_str(), m_desc.manufacturer.c_str(), m_desc.product.c_str(),
            m_desc.serialNumber.c_str());
    return true;
}

void HIDDeviceBase::CloseHandle() {
    if (DeviceManagerThread* const thread = GetThread()) thread->RemoveReadOwner(this);
    m_reading = false;
    m_hid.reset();
}

void HIDDeviceBase::Shutdown() {
    SetMessageHandler(nullptr);
    if (DeviceManagerThread* const thread = GetThread()) {
        thread->RemoveTicksOwner(this);
        thread->RemoveMessageOwner(this);
    }
    CloseHandle();
    LogText(GetLogLines().closed, m_desc.path.c_str());
    if (m_parent != nullptr) {
        DeviceBase* const parent = m_parent;
        m_parent = nullptr;
        parent->Release();
    }
}

void HIDDeviceBase::OnInputReady() {
    // A bounded number of reports a pass, so commands are never starved.
    for (int i = 0; i < 64 && m_hid != nullptr && m_reading; ++i) {
        const int got = m_hid->Read(m_buffer, m_desc.inputReportLength);
        if (got == 0) return;
        if (got < 0) {
            LogText(GetLogLines().lostConnection, m_desc.path.c_str());
            CloseHandle();
            OnConnectionLost();
            if (DeviceManagerThread* const thread = GetThread()) thread->MarkDeviceLost(m_desc.path);
            return;
        }
        OnInputReport(m_buffer, static_cast<size_t>(got));
    }
}

bool HIDDeviceBase::OnDeviceMessage(const DeviceMessage message, const std::string& path) {
    if (!SamePath(path, m_desc.path)) return false;
    const LogLines& lines = GetLogLines();
    if (message == DeviceMessage_Added) {
        if (m_hid == nullptr) {
            std::string error;
            if (!OpenHandle(&error)) {
                if (Log* const log = Log::GetGlobalLog()) {
                    log->LogMessage(Log_Error, lines.failedToReopen, m_desc.path.c_str(), error.c_str());
                }
                return true;
            }
            LogText(lines.reopened, m_desc.path.c_str());
        }
    } else if (m_hid != nullptr) {
        // Gone: drop the dead handle now, so that the device opens again when it returns.
        CloseHandle();
        OnConnectionLost();
    }
    MessageDeviceStatus status;
    status.type = message == DeviceMessage_Added ? Message_DeviceAdded : Message_DeviceRemoved;
    status.device = this;
    status.descriptor = GetDescriptor();
    SendToHandler(status);
    if (DeviceManager* const manager = GetManager()) {
        if (GetDescriptor() != nullptr) manager->NotifyDeviceStatus(GetDescriptor(), message == DeviceMessage_Added);
    }
    return true;
}

bool HIDDeviceBase::GetFeature(uint8_t* const data, const size_t size) {
    return m_hid != nullptr && size > 0 && m_hid->GetFeatureReport(data, size);
}

bool HIDDeviceBase::SetFeature(const uint8_t* const data, const size_t size) {
    return m_hid != nullptr && size > 0 && size <= kMaxFeatureReportSize && m_hid->SetFeatureReport(data, size);
}

}  // namespace HSK
