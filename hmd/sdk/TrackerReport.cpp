#include "hmd/sdk/TrackerReport.h"

namespace HSK {

namespace {

int32_t SignExtend21(const uint32_t value) {
    return static_cast<int32_t>(value << 11) >> 11;
}

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void UnpackSensorTriple(const uint8_t* const b, int32_t* const x, int32_t* const y, int32_t* const z) {
    *x = SignExtend21((static_cast<uint32_t>(b[0]) << 13) | (static_cast<uint32_t>(b[1]) << 5) | (b[2] >> 3));
    *y = SignExtend21((static_cast<uint32_t>(b[2] & 7) << 18) | (static_cast<uint32_t>(b[3]) << 10) |
                      (static_cast<uint32_t>(b[4]) << 2) | (b[5] >> 6));
    *z = SignExtend21((static_cast<uint32_t>(b[5] & 0x3F) << 15) | (static_cast<uint32_t>(b[6]) << 7) | (b[7] >> 1));
}

bool DecodeTrackerReport(const uint8_t* const data, const size_t size, TrackerReport* const out) {
    if (data == nullptr || out == nullptr || size < 4 || data[0] != 1 || size < TrackerReport::kMinSize) {
        return false;
    }
    TrackerReport report;
    report.sampleCount = data[1];
    report.timestamp = U16(data + 2);
    report.lastCommandId = U16(data + 4);
    report.temperature = static_cast<int16_t>(U16(data + 6));
    const int n = report.sampleCount < 3 ? report.sampleCount : 3;
    for (int i = 0; i < n; ++i) {
        const uint8_t* const sample = data + 8 + 16 * i;
        TrackerSample& s = report.samples[i];
        UnpackSensorTriple(sample, &s.accel[0], &s.accel[1], &s.accel[2]);
        UnpackSensorTriple(sample + 8, &s.gyro[0], &s.gyro[1], &s.gyro[2]);
    }
    for (int i = 0; i < 3; ++i) report.mag[i] = static_cast<int16_t>(U16(data + 56 + 2 * i));
    *out = report;
    return true;
}

}  // namespace HSK
