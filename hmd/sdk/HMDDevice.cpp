#include "hmd/sdk/HMDDevice.h"

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/SensorDevice.h"
#include "platform/hid/hid.h"

namespace HSK {

namespace {

const char* const kHeadsetIds[] = {"RTD2205", "CVT0003", "MST0030", "HSK00"};
const char* const kSevenInchId = "HSK0001";

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

bool HMDDevice::Initialize(DeviceBase* const parent) {
    m_parent = parent;
    if (m_parent != nullptr) m_parent->AddRef();
    return true;
}

void HMDDevice::Shutdown() {
    SetMessageHandler(nullptr);
    if (m_parent != nullptr) {
        DeviceBase* const parent = m_parent;
        m_parent = nullptr;
        parent->Release();
    }
}

SensorDevice* HMDDevice::GetSensor() {
    DeviceManager* const manager = GetManager();
    if (manager == nullptr) return nullptr;
    DeviceEnumerator enumerator = manager->EnumerateDevices(Device_Sensor, true);
    DeviceBase* const device = enumerator.IsEmpty() ? nullptr : enumerator.CreateDevice();
    enumerator.Clear();
    SensorDevice* const sensor = static_cast<SensorDevice*>(device);
    if (sensor != nullptr) sensor->SetCoordinateFrame(SensorDevice::Coord_HMD);
    return sensor;
}

bool HMDDeviceDescriptor::IsSevenInch() const {
    return Contains(deviceId, kSevenInchId) || (contents & Contents_7Inch) != 0;
}

DeviceDescriptor::MatchResult HMDDeviceDescriptor::Matches(const DeviceDescriptor& other) const {
    if (other.type != Device_HMD || other.factory != factory) return Match_None;
    const auto& o = static_cast<const HMDDeviceDescriptor&>(other);
    const bool sameSize = o.screenWidth == screenWidth && o.screenHeight == screenHeight;
    if (o.deviceId == deviceId && o.displayDeviceName == displayDeviceName && (!deviceId.empty() || sameSize)) {
        return Match_Found;
    }
    if (o.horizontalResolution == horizontalResolution && o.verticalResolution == verticalResolution && sameSize) {
        return !deviceId.empty() || o.deviceId.empty() ? Match_Found : Match_Candidate;
    }
    if (!o.deviceId.empty()) return deviceId.empty() ? Match_Candidate : Match_None;
    return Match_Candidate;
}

bool HMDDeviceDescriptor::MergeCandidate(const DeviceDescriptor& other) {
    const auto& o = static_cast<const HMDDeviceDescriptor&>(other);
    if (o.deviceId.empty()) {
        // From the tracker: its screen figures, and its lens figures when it has them.
        screenWidth = o.screenWidth;
        screenHeight = o.screenHeight;
        contents |= Contents_Screen;
        if ((o.contents & Contents_Distortion) != 0) {
            for (int i = 0; i < 4; ++i) distortionK[i] = o.distortionK[i];
            eyeToScreenDistance = o.eyeToScreenDistance;
            contents |= Contents_Distortion;
        }
    } else {
        deviceId = o.deviceId;
        displayDeviceName = o.displayDeviceName;
    }
    return true;
}

bool HMDDeviceDescriptor::GetDeviceInfo(DeviceInfo* const info) const {
    if (info == nullptr || (info->infoClassType != Device_HMD && info->infoClassType != Device_None)) return false;
    const bool sevenInch = IsSevenInch();
    CopyField(info->productName, sevenInch ? "Headset HD1" : "Headset HD1-Prototype");
    CopyField(info->manufacturer, "Headset Vendor");
    info->type = Device_HMD;
    info->version = 0;
    if (info->infoClassType != Device_HMD) return true;
    HMDInfo* const hmd = static_cast<HMDInfo*>(info);
    hmd->desktopX = desktopX;
    hmd->desktopY = desktopY;
    hmd->horizontalResolution = horizontalResolution;
    hmd->verticalResolution = verticalResolution;
    hmd->screenWidth = screenWidth;
    hmd->screenHeight = screenHeight;
    hmd->screenCentreY = screenHeight * 0.5f;
    hmd->lensSeparation = 0.064f;
    hmd->interpupillaryDistance = 0.064f;
    const float modelEyeToScreen = sevenInch ? 0.041f : 0.0387f;
    if ((contents & Contents_Distortion) == 0) {
        hmd->distortionK[0] = 1.0f;
        hmd->distortionK[1] = sevenInch ? 0.22f : 0.18f;
        hmd->distortionK[2] = sevenInch ? 0.24f : 0.115f;
        hmd->eyeToScreenDistance = modelEyeToScreen;
    } else {
        for (int i = 0; i < 4; ++i) hmd->distortionK[i] = distortionK[i];
        // Without a distance the field of view would be 180 degrees: keep the
        // model's figure unless the tracker gave one.
        if (eyeToScreenDistance > 0) {
            hmd->eyeToScreenDistance = eyeToScreenDistance;
        } else if (!(hmd->eyeToScreenDistance > 0)) {
            hmd->eyeToScreenDistance = modelEyeToScreen;
        }
    }
    CopyField(hmd->displayDeviceName, displayDeviceName.c_str());
    return true;
}

bool HMDDeviceFactory::IsHeadsetMonitor(const std::string& hardwareId) {
    for (const char* const id : kHeadsetIds) {
        if (Contains(hardwareId, id)) return true;
    }
    return false;
}

void HMDDeviceFactory::EnumerateDevices(EnumerateVisitor& visitor) {
    if (manager == nullptr || manager->GetHidSystem() == nullptr) return;
    const std::vector<platform::hid::MonitorInfo> monitors = manager->GetHidSystem()->EnumerateMonitors();
    for (const platform::hid::MonitorInfo& monitor : monitors) {
        if (!IsHeadsetMonitor(monitor.hardwareId)) continue;
        HMDDeviceDescriptor desc(this);
        desc.deviceId = monitor.hardwareId;
        desc.displayDeviceName = monitor.adapterName;
        // Only the first monitors count for the desktop position.
        for (size_t i = 0; i < monitors.size() && i < kMaxMonitors; ++i) {
            if (monitors[i].adapterName == monitor.adapterName) {
                desc.desktopX = monitors[i].desktopX;
                desc.desktopY = monitors[i].desktopY;
                break;
            }
        }
        desc.contents |= HMDDeviceDescriptor::Contents_Screen;
        desc.horizontalResolution = 1280;
        desc.verticalResolution = 800;
        if (desc.IsSevenInch()) {
            desc.screenWidth = 0.14976f;
            desc.screenHeight = 0.0936f;
        } else {
            desc.screenWidth = 0.12096f;
            desc.screenHeight = 0.0756f;
        }
        visitor.Visit(desc);
    }
}

}  // namespace HSK
