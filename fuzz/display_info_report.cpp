// The headset's display-info report (feature report 9) from untrusted bytes:
// a report describes a headset screen only with a distortion type and a
// screen of some size, and the headset description made from it always has
// a positive screen and lens figures that are numbers.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "hmd/sdk/HMDDevice.h"
#include "hmd/sdk/SensorDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HSK::DisplayInfoReport report;
    if (!report.Unpack(data, size)) {
        if (size >= HSK::DisplayInfoReport::kSize && data[0] == 9) __builtin_trap();
        return 0;
    }
    HSK::HMDDeviceDescriptor desc(nullptr);
    if (!report.ToDescriptor(&desc)) return 0;
    if (!(desc.screenWidth > 0) || !(desc.screenHeight > 0)) __builtin_trap();

    for (const HSK::DeviceType infoClass : {HSK::Device_HMD, HSK::Device_None}) {
        HSK::HMDInfo info;
        info.infoClassType = infoClass;
        if (!desc.GetDeviceInfo(&info)) __builtin_trap();
        if (infoClass != HSK::Device_HMD) continue;
        for (const float k : info.distortionK) {
            if (!std::isfinite(k)) __builtin_trap();
        }
        if (!(info.screenWidth > 0) || !(info.screenHeight > 0)) __builtin_trap();
    }
    return 0;
}
