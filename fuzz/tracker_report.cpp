// The tracker's input reports: any bytes, as a device or a broken cable might
// send them. The decoder reads nothing past the report and takes only whole
// sample reports.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "hmd/sdk/TrackerReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is caught.
    const std::unique_ptr<uint8_t[]> report(new uint8_t[size == 0 ? 1 : size]);
    if (size > 0) std::memcpy(report.get(), data, size);
    HSK::TrackerReport out;
    const bool taken = HSK::DecodeTrackerReport(report.get(), size, &out);
    if (taken != (size >= HSK::TrackerReport::kMinSize && report[0] == 1)) __builtin_trap();
    if (!taken) return 0;
    const int n = out.sampleCount < 3 ? out.sampleCount : 3;
    for (int i = 0; i < n; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            // 21-bit signed values.
            if (out.samples[i].accel[axis] < -(1 << 20) || out.samples[i].accel[axis] >= (1 << 20)) __builtin_trap();
            if (out.samples[i].gyro[axis] < -(1 << 20) || out.samples[i].gyro[axis] >= (1 << 20)) __builtin_trap();
        }
    }
    return 0;
}
