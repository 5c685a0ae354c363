#include "hmd/ZHMDMgr.h"

#include <cmath>

#include "hmd/sdk/DeviceManager.h"
#include "hmd/sdk/HMDDevice.h"
#include "hmd/sdk/SensorDevice.h"
#include "hmd/sdk/System.h"

namespace {

// A missing description (the engine is shutting down) wants no headset.
bool HeadsetWanted() {
    const ZAppInfo* const info = ZAppInfo::GetInstance();
    return info != nullptr && info->AllowsHeadset();
}

}  // namespace

ZHMDMgr::ZHMDMgr() {
    m_hmdInfo.infoClassType = HSK::Device_HMD;
    m_hmdInfo.type = HSK::Device_HMD;
    Init();
}

ZHMDMgr::~ZHMDMgr() {
    if (m_sensorDevice != nullptr) {
        m_sensorDevice->Release();
        m_sensorDevice = nullptr;
    }
    if (m_hmdDevice != nullptr) {
        m_hmdDevice->Release();
        m_hmdDevice = nullptr;
    }
    if (m_deviceManager != nullptr) {
        m_deviceManager->Release();
        m_deviceManager = nullptr;
    }
    HSK::System::Destroy();
    m_fusion.AttachToSensor(nullptr);
}

void ZHMDMgr::Init() {
    lensCenter = 0.0f;
    viewportScale = 1.0f;
    eye = 0;
    vertScale = 1.0f;
    fovScale = 1.0f;
    warpParam[0] = 1.0f;
    warpParam[1] = warpParam[2] = warpParam[3] = 0.0f;
    viewportOffset = 0.0f;

    HSK::System::Init();

    if (!HeadsetWanted()) return;
    m_deviceManager = HSK::DeviceManager::Create();
    if (m_deviceManager == nullptr) return;

    HSK::DeviceEnumerator enumerator = m_deviceManager->EnumerateDevices(HSK::Device_HMD, true);
    HSK::DeviceBase* const device = enumerator.IsEmpty() ? nullptr : enumerator.CreateDevice();
    enumerator.Clear();
    m_hmdDevice = static_cast<HSK::HMDDevice*>(device);
    if (m_hmdDevice == nullptr) return;

    m_sensorDevice = m_hmdDevice->GetSensor();
    if (m_sensorDevice == nullptr) return;

    m_active = true;
    m_fusion.AttachToSensor(m_sensorDevice);
    m_hmdDevice->GetDeviceInfo(&m_hmdInfo);
    for (int i = 0; i < 4; ++i) warpParam[i] = m_hmdInfo.distortionK[i];
    if (m_hmdInfo.screenWidth > 0) {
        lensOffset = 1.0f - (m_hmdInfo.lensSeparation + m_hmdInfo.lensSeparation) / m_hmdInfo.screenWidth;
    }
}

bool ZHMDMgr::IsActive() const {
    return HeadsetWanted() && m_active;
}

float ZHMDMgr::GetVerticalFOV() const {
    if (!IsActive() || !(m_hmdInfo.eyeToScreenDistance > 0)) return kDefaultVerticalFOV;
    const float quotient = m_hmdInfo.screenHeight * 1.9296875f * 0.5f / m_hmdInfo.eyeToScreenDistance;
    return 2.0f * std::atan(quotient);
}
