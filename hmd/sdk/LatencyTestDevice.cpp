#include "hmd/sdk/LatencyTestDevice.h"

#include <array>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/LatencyTestReport.h"
#include "platform/hid/hid.h"

namespace HSK {

const HIDDeviceBase::LogLines& LatencyTestDevice::GetLogLines() const {
    static const LogLines lines = {
        "HSK::LatencyTestDevice - Opened '%s'\n                    Manufacturer:'%s'  Product:'%s'  Serial#:'%s'\n",
        "HSK::LatencyTestDevice - Closed '%s'\n",
        "HSK::LatencyTestDevice - Failed to open '%s'\n",
        "HSK::LatencyTestDevice - Failed to initialize '%s' during open\n",
        "HSK::LatencyTesterDevice - Lost connection to '%s'\n",
        "HSK::LatencyTestDevice - Failed to reopen a device '%s' that was re-added. Error: %s.\n",
        "HSK::LatencyTestDevice - Reopened device '%s'\n",
    };
    return lines;
}

template <size_t N>
bool LatencyTestDevice::Write(const uint8_t (&report)[N], const bool waitFlag) {
    DeviceManager* const manager = GetManager();
    if (manager == nullptr) return false;
    std::array<uint8_t, N> bytes;
    for (size_t i = 0; i < N; ++i) bytes[i] = report[i];
    if (!waitFlag) {
        return manager->PushCall([this, bytes]() {
            if (IsReading()) SetFeature(bytes.data(), bytes.size());
        });
    }
    bool result = false;
    if (!manager->PushCallAndWait([this, bytes, &result]() {
            result = IsReading() && SetFeature(bytes.data(), bytes.size());
        })) {
        return false;
    }
    return result;
}

bool LatencyTestDevice::SetConfiguration(const LatencyTestConfiguration& configuration, const bool waitFlag) {
    const uint8_t report[5] = {5, static_cast<uint8_t>(configuration.sendSamples ? 1 : 0), configuration.threshold.r,
                               configuration.threshold.g, configuration.threshold.b};
    return Write(report, waitFlag);
}

bool LatencyTestDevice::SetCalibrate(const Color& color, const bool waitFlag) {
    const uint8_t report[4] = {7, color.r, color.g, color.b};
    return Write(report, waitFlag);
}

bool LatencyTestDevice::SetStartTest(const Color& color, const bool waitFlag) {
    // The command id is always 1.
    const uint8_t report[6] = {8, 1, 0, color.r, color.g, color.b};
    return Write(report, waitFlag);
}

bool LatencyTestDevice::SetDisplay(const uint8_t mode, const uint32_t value, const bool waitFlag) {
    const uint8_t report[6] = {9,
                               mode,
                               static_cast<uint8_t>(value & 0xFF),
                               static_cast<uint8_t>((value >> 8) & 0xFF),
                               static_cast<uint8_t>((value >> 16) & 0xFF),
                               static_cast<uint8_t>((value >> 24) & 0xFF)};
    return Write(report, waitFlag);
}

void LatencyTestDevice::OnInputReport(const uint8_t* const data, const size_t size) {
    LatencyTestReport report;
    if (!DecodeLatencyTestReport(data, size, &report)) return;
    switch (report.type) {
        case Message_LatencyTestSamples: {
            MessageLatencyTestSamples message;
            message.type = report.type;
            message.device = this;
            message.samples.assign(report.samples, report.samples + report.sampleCount);
            SendToHandler(message);
            break;
        }
        case Message_LatencyTestColorDetected: {
            MessageLatencyTestColorDetected message;
            message.type = report.type;
            message.device = this;
            message.elapsed = report.elapsed;
            message.detectedValue = report.trigger;
            message.targetValue = report.target;
            SendToHandler(message);
            break;
        }
        case Message_LatencyTestStarted: {
            MessageLatencyTestStarted message;
            message.type = report.type;
            message.device = this;
            message.targetValue = report.target;
            SendToHandler(message);
            break;
        }
        default: {
            MessageLatencyTestButton message;
            message.type = Message_LatencyTestButton;
            message.device = this;
            SendToHandler(message);
            break;
        }
    }
}

bool LatencyTestDeviceDescriptor::GetDeviceInfo(DeviceInfo* const info) const {
    if (info == nullptr || (info->infoClassType != Device_LatencyTester && info->infoClassType != Device_None)) {
        return false;
    }
    info->type = Device_LatencyTester;
    info->version = 0;
    CopyField(info->productName, hid.product.c_str());
    CopyField(info->manufacturer, hid.manufacturer.c_str());
    if (info->infoClassType == Device_LatencyTester) {
        LatencyTestInfo* const tester = static_cast<LatencyTestInfo*>(info);
        tester->vendorId = hid.vendorId;
        tester->productId = hid.productId;
        CopyField(tester->serialNumber, hid.serialNumber.c_str());
    }
    return true;
}

void LatencyTestDeviceFactory::EnumerateDevices(EnumerateVisitor& visitor) {
    if (manager == nullptr || manager->GetHidSystem() == nullptr) return;
    for (const platform::hid::DeviceInfo& info : manager->GetHidSystem()->Enumerate()) {
        if (!MatchVendorProduct(info.vendorId, info.productId)) continue;
        visitor.Visit(LatencyTestDeviceDescriptor(this, HIDDeviceDesc::From(info)));
    }
}

}  // namespace HSK
