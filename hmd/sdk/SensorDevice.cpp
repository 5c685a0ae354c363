#include "hmd/sdk/SensorDevice.h"

#include <cmath>
#include <cstring>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/HMDDevice.h"
#include "hmd/sdk/Log.h"
#include "platform/hid/hid.h"

namespace HSK {

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(uint8_t* p, const uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}

template <size_t N>
uint32_t PickRange(const float requested, const uint32_t (&table)[N]) {
    const float rounded = std::floor(requested + 0.5f);
    for (const uint32_t value : table) {
        if (!(rounded > static_cast<float>(value))) return value;
    }
    return table[N - 1];
}

const uint32_t kAccelRanges[] = {2, 4, 8, 16};
const uint32_t kGyroRanges[] = {250, 500, 1000, 2000};
const uint32_t kMagRanges[] = {880, 1300, 1900, 2500};

}  // namespace

// --- Reports -------------------------------------------------------------------------

SensorRangeImpl SensorRangeImpl::FromRange(const SensorRange& range) {
    SensorRangeImpl impl;
    impl.accelScale = static_cast<uint8_t>(PickRange(range.maxAcceleration * 0.101936795f, kAccelRanges));
    impl.gyroScale = static_cast<uint16_t>(PickRange(range.maxRotationRate * 57.295784f, kGyroRanges));
    impl.magScale = static_cast<uint16_t>(PickRange(range.maxMagneticField * 1000.0f, kMagRanges));
    return impl;
}

SensorRange SensorRangeImpl::ToRange() const {
    SensorRange range;
    range.maxAcceleration = static_cast<float>(accelScale) * 9.81f;
    range.maxRotationRate = static_cast<float>(gyroScale) * 0.0174532924f;
    range.maxMagneticField = static_cast<float>(magScale) * 0.001f;
    return range;
}

void SensorRangeImpl::Pack(uint8_t* const buffer) const {
    buffer[0] = 4;
    Put16(buffer + 1, commandId);
    buffer[3] = accelScale;
    Put16(buffer + 4, gyroScale);
    Put16(buffer + 6, magScale);
}

void SensorRangeImpl::Unpack(const uint8_t* const buffer) {
    commandId = U16(buffer + 1);
    accelScale = buffer[3];
    gyroScale = U16(buffer + 4);
    magScale = U16(buffer + 6);
}

bool DisplayInfoReport::Unpack(const uint8_t* const b, const size_t size) {
    if (b == nullptr || size < kSize || b[0] != 9) return false;
    commandId = U16(b + 1);
    distortionType = b[3];
    horizontalResolution = U16(b + 4);
    verticalResolution = U16(b + 6);
    horizontalSize = static_cast<float>(U32(b + 8)) * 1e-6f;
    verticalSize = static_cast<float>(U32(b + 12)) * 1e-6f;
    verticalCentre = static_cast<float>(U32(b + 16)) * 1e-6f;
    lensSeparation = static_cast<float>(U32(b + 20)) * 1e-6f;
    eyeToScreenDistance[0] = static_cast<float>(U32(b + 24)) * 1e-6f;
    eyeToScreenDistance[1] = static_cast<float>(U32(b + 28)) * 1e-6f;
    for (int i = 0; i < 6; ++i) {
        const uint32_t bits = U32(b + 32 + 4 * i);
        std::memcpy(&distortionK[i], &bits, 4);
    }
    return true;
}

bool DisplayInfoReport::ToDescriptor(HMDDeviceDescriptor* const hmd) const {
    if (hmd == nullptr || (distortionType & 0x0F) == 0) return false;
    // A screen of no size describes nothing: the projection would collapse.
    if (!(horizontalSize > 0) || !(verticalSize > 0)) return false;
    hmd->horizontalResolution = horizontalResolution;
    hmd->verticalResolution = verticalResolution;
    hmd->screenWidth = horizontalSize;
    hmd->screenHeight = verticalSize;
    hmd->contents = HMDDeviceDescriptor::Contents_Screen;
    bool finite = true;
    for (int i = 0; i < 4; ++i) finite = finite && std::isfinite(distortionK[i]);
    // Coefficients that are not numbers are not used: the model's own apply.
    if ((distortionType & 0x0F) == 2 && finite) {
        for (int i = 0; i < 4; ++i) hmd->distortionK[i] = distortionK[i];
        hmd->eyeToScreenDistance = eyeToScreenDistance[0];
        hmd->contents |= HMDDeviceDescriptor::Contents_Distortion;
    }
    if (hmd->screenWidth > 0.14f) hmd->contents |= HMDDeviceDescriptor::Contents_7Inch;
    return true;
}

// --- Device ----------------------------------------------------------------------------

const HIDDeviceBase::LogLines& SensorDevice::GetLogLines() const {
    static const LogLines lines = {
        "HSK::SensorDevice - Opened '%s'\n                    Manufacturer:'%s'  Product:'%s'  Serial#:'%s'\n",
        "HSK::SensorDevice - Closed '%s'\n",
        "HSK::SensorDevice - Failed to open '%s'\n",
        "HSK::SensorDevice - Failed to initialize '%s' during open\n",
        "HSK::SensorDevice - Lost connection to '%s'\n",
        "HSK::SendorDevice - Failed to reopen a device '%s' that was re-added. Error: %s.\n",
        "HSK::SensorDevice - Reopened device '%s'\n",
    };
    return lines;
}

bool SensorDevice::OnOpened() {
    uint8_t range[8] = {4};
    if (GetFeature(range, sizeof(range))) {
        SensorRangeImpl impl;
        impl.Unpack(range);
        const std::lock_guard<std::recursive_mutex> guard(GetManager()->GetLock());
        m_currentRange = impl.ToRange();
    }
    uint8_t display[DisplayInfoReport::kSize] = {9};
    DisplayInfoReport info;
    if (GetFeature(display, sizeof(display)) && info.Unpack(display, sizeof(display))) {
        m_coordinates = (info.distortionType & 0x0F) != 0 ? Coord_HMD : Coord_Sensor;
    }
    ApplyCoordinateFrame();
    SendKeepAlive();
    return true;
}

bool SensorDevice::ApplyCoordinateFrame() {
    uint8_t report[7] = {2};
    if (!GetFeature(report, sizeof(report))) {
        // The report also holds the tracker's packet and keep-alive intervals:
        // a made-up one would overwrite them, so nothing is written.
        LogError("HSK::SensorDevice - Could not read the configuration report of '%s'; its coordinate frame is "
                 "left as it was",
                 GetHIDDesc().path.c_str());
        return false;
    }
    if (m_coordinates == Coord_Sensor) {
        report[3] |= 0x40;
    } else {
        report[3] &= static_cast<uint8_t>(~0x40);
    }
    const bool written = SetFeature(report, sizeof(report));
    uint8_t readBack[7] = {2};
    if (GetFeature(readBack, sizeof(readBack))) {
        m_hwCoordinates = (readBack[3] & 0x40) != 0 ? Coord_Sensor : Coord_HMD;
    } else {
        m_hwCoordinates = Coord_HMD;
    }
    return written;
}

bool SensorDevice::SendKeepAlive() {
    uint8_t report[5] = {8, 0, 0, 0, 0};
    Put16(report + 3, 10000);
    return SetFeature(report, sizeof(report));
}

bool SensorDevice::ApplyRange(const SensorRange& range) {
    SensorRangeImpl impl = SensorRangeImpl::FromRange(range);
    uint8_t report[8];
    impl.Pack(report);
    if (!SetFeature(report, sizeof(report))) return false;
    const std::lock_guard<std::recursive_mutex> guard(GetManager()->GetLock());
    m_currentRange = impl.ToRange();
    return true;
}

uint64_t SensorDevice::OnTicks(const uint64_t nowUs) {
    if (nowUs >= m_nextKeepAliveTicks) {
        if (IsReading()) SendKeepAlive();
        m_nextKeepAliveTicks = nowUs + kKeepAliveUs;
    }
    return m_nextKeepAliveTicks - nowUs;
}

void SensorDevice::SetMessageHandler(MessageHandler* const handler) {
    // A new listener starts a new sequence (no make-up frame across the gap).
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    if (handler != nullptr) m_sequenceValid = false;
    DeviceBase::SetMessageHandler(handler);
}

bool SensorDevice::SetCoordinateFrame(const CoordinateFrame frame) {
    DeviceManager* const manager = GetManager();
    bool result = false;
    if (manager == nullptr || !manager->PushCallAndWait([this, frame, &result]() {
            m_coordinates = frame;
            result = ApplyCoordinateFrame();
        })) {
        return false;
    }
    return result;
}

SensorDevice::CoordinateFrame SensorDevice::GetCoordinateFrame() const {
    return m_coordinates.load();
}

bool SensorDevice::SetRange(const SensorRange& range, const bool waitFlag) {
    DeviceManager* const manager = GetManager();
    if (manager == nullptr) return false;
    if (!waitFlag) return manager->PushCall([this, range]() { ApplyRange(range); });
    bool result = false;
    if (!manager->PushCallAndWait([this, range, &result]() { result = ApplyRange(range); })) return false;
    return result;
}

void SensorDevice::GetRange(SensorRange* const range) const {
    if (range == nullptr) return;
    DeviceManager* const manager = GetManager();
    if (manager == nullptr) return;
    const std::lock_guard<std::recursive_mutex> guard(manager->GetLock());
    *range = m_currentRange;
}

bool SensorDevice::SetFeatureReport(const uint8_t* const data, const size_t size, const bool waitFlag) {
    DeviceManager* const manager = GetManager();
    if (manager == nullptr || data == nullptr || size == 0 || size > kMaxFeatureReportSize) return false;
    // The command carries its own copy: the caller's buffer may be gone when it runs.
    struct Report {
        uint8_t bytes[kMaxFeatureReportSize];
    } report;
    std::memcpy(report.bytes, data, size);
    if (!waitFlag) {
        return manager->PushCall([this, report, size]() {
            if (IsReading()) SetFeature(report.bytes, size);
        });
    }
    bool result = false;
    if (!manager->PushCallAndWait([this, report, size, &result]() {
            result = IsReading() && SetFeature(report.bytes, size);
        })) {
        return false;
    }
    return result;
}

bool SensorDevice::GetFeatureReport(uint8_t* const data, const size_t size) {
    DeviceManager* const manager = GetManager();
    if (manager == nullptr || data == nullptr || size == 0) return false;
    bool result = false;
    if (!manager->PushCallAndWait([this, data, size, &result]() { result = GetFeature(data, size); })) return false;
    return result;
}

Vector3f SensorDevice::GetLastAcceleration() const {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    return m_lastAcceleration;
}

float SensorDevice::GetLastTemperature() const {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    return m_lastTemperature;
}

Vector3f SensorDevice::Convert(const int32_t raw[3]) const {
    const Vector3f v(static_cast<float>(raw[0]) * 0.0001f, static_cast<float>(raw[1]) * 0.0001f,
                     static_cast<float>(raw[2]) * 0.0001f);
    if (m_coordinates.load() == Coord_Sensor && m_hwCoordinates.load() == Coord_HMD) return {v.x, v.z, -v.y};
    return v;
}

void SensorDevice::OnInputReport(const uint8_t* const data, const size_t size) {
    TrackerReport report;
    if (DecodeTrackerReport(data, size, &report)) ProcessReport(report);
}

void SensorDevice::ProcessReport(const TrackerReport& report) {
    const std::lock_guard<std::recursive_mutex> guard(*m_handlerLock);
    const bool hasHandler = m_handler != nullptr;
    if (!m_sequenceValid) {
        m_lastAcceleration = m_lastRotationRate = m_lastMagneticField = Vector3f();
        m_lastTemperature = 0;
        m_sequenceValid = true;
    } else {
        int step = static_cast<int>(report.timestamp) - static_cast<int>(m_lastTimestamp);
        if (step < 0) step += 65536;
        // Reports were lost: one frame of the last values stands in for them.
        if (step > m_lastSampleCount && step < 255 && hasHandler) {
            MessageBodyFrame frame;
            frame.type = Message_BodyFrame;
            frame.device = this;
            frame.acceleration = m_lastAcceleration;
            frame.rotationRate = m_lastRotationRate;
            frame.magneticField = m_lastMagneticField;
            frame.temperature = m_lastTemperature;
            frame.timeDelta = static_cast<float>(step - m_lastSampleCount) * 0.001f;
            SendToHandler(frame);
        }
    }
    m_lastSampleCount = report.sampleCount;
    m_lastTimestamp = report.timestamp;

    const int32_t magRaw[3] = {report.mag[0], report.mag[1], report.mag[2]};
    const Vector3f magnetic = Convert(magRaw);
    const float temperature = static_cast<float>(report.temperature) * 0.01f;
    if (!hasHandler) {
        if (report.sampleCount > 0) {
            m_lastAcceleration = Convert(report.samples[0].accel);
            m_lastRotationRate = Convert(report.samples[0].gyro);
        }
        m_lastMagneticField = magnetic;
        m_lastTemperature = temperature;
        return;
    }
    const int n = report.sampleCount < 3 ? report.sampleCount : 3;
    for (int i = 0; i < n; ++i) {
        MessageBodyFrame frame;
        frame.type = Message_BodyFrame;
        frame.device = this;
        frame.acceleration = Convert(report.samples[i].accel);
        frame.rotationRate = Convert(report.samples[i].gyro);
        frame.magneticField = magnetic;
        frame.temperature = temperature;
        frame.timeDelta = i == 0 && report.sampleCount >= 4 ? static_cast<float>(report.sampleCount - 2) * 0.001f
                                                           : 0.001f;
        SendToHandler(frame);
        m_lastAcceleration = frame.acceleration;
        m_lastRotationRate = frame.rotationRate;
        m_lastMagneticField = magnetic;
        m_lastTemperature = temperature;
    }
}

// --- Descriptor and factory --------------------------------------------------------------

bool SensorDeviceDescriptor::GetDeviceInfo(DeviceInfo* const info) const {
    if (info == nullptr || (info->infoClassType != Device_Sensor && info->infoClassType != Device_None)) return false;
    info->type = Device_Sensor;
    info->version = 0;
    CopyField(info->productName, hid.product.c_str());
    CopyField(info->manufacturer, hid.manufacturer.c_str());
    if (info->infoClassType == Device_Sensor) {
        SensorInfo* const sensor = static_cast<SensorInfo*>(info);
        sensor->vendorId = hid.vendorId;
        sensor->productId = hid.productId;
        sensor->maxAcceleration = SensorDevice::kMaxAcceleration;
        sensor->maxRotationRate = SensorDevice::kMaxRotationRate;
        sensor->maxMagneticField = SensorDevice::kMaxMagneticField;
        CopyField(sensor->serialNumber, hid.serialNumber.c_str());
    }
    return true;
}

bool SensorDeviceFactory::MatchVendorProduct(const uint16_t vendorId, const uint16_t productId) {
    return (vendorId == 0xF055 && productId == 0x0001) || (vendorId == 0x0483 && productId == 0x5750);
}

void SensorDeviceFactory::EnumerateDevices(EnumerateVisitor& visitor) {
    if (manager == nullptr || manager->GetHidSystem() == nullptr) return;
    platform::hid::HidSystem* const system = manager->GetHidSystem();
    for (const platform::hid::DeviceInfo& info : system->Enumerate()) {
        if (!MatchVendorProduct(info.vendorId, info.productId)) continue;
        const HIDDeviceDesc desc = HIDDeviceDesc::From(info);
        visitor.Visit(SensorDeviceDescriptor(this, desc));

        // A tracker in a headset knows the headset's screen.
        std::string error;
        const std::unique_ptr<platform::hid::Device> device = system->Open(info.path, &error);
        if (device == nullptr) continue;
        uint8_t buffer[DisplayInfoReport::kSize] = {9};
        DisplayInfoReport report;
        if (!device->GetFeatureReport(buffer, sizeof(buffer)) || !report.Unpack(buffer, sizeof(buffer))) continue;
        if (manager->GetHMDFactory() == nullptr) continue;
        HMDDeviceDescriptor hmd(manager->GetHMDFactory());
        if (!report.ToDescriptor(&hmd)) continue;
        visitor.Visit(hmd);
    }
}

}  // namespace HSK
