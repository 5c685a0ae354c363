#pragma once

#include <cstddef>
#include <cstdint>

namespace HSK {

// The tracker's sample report (input report 1), decoded.
struct TrackerSample {
    int32_t accel[3] = {};
    int32_t gyro[3] = {};
};

struct TrackerReport {
    static constexpr size_t kMinSize = 62;
    uint8_t sampleCount = 0;   // samples since the previous report; may exceed 3
    uint16_t timestamp = 0;    // ms, wraps at 65536
    uint16_t lastCommandId = 0;
    int16_t temperature = 0;   // hundredths of a degree Celsius
    TrackerSample samples[3];  // min(sampleCount, 3) of them are filled
    int16_t mag[3] = {};
};

// Three signed 21-bit values packed into 8 bytes.
void UnpackSensorTriple(const uint8_t* bytes, int32_t* x, int32_t* y, int32_t* z);

// False (out untouched) for fewer than 4 bytes, another report id, or a report 1
// shorter than 62 bytes. Reads nothing past size.
bool DecodeTrackerReport(const uint8_t* data, size_t size, TrackerReport* out);

}  // namespace HSK
