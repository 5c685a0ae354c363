#pragma once

#include <cstddef>
#include <cstdint>

#include "hmd/sdk/Types.h"

namespace HSK {

// One of the latency tester's input reports, decoded.
struct LatencyTestReport {
    static constexpr size_t kMaxSamples = 20;  // what a 64-byte sample report holds
    MessageType type = Message_LatencyTestButton;
    uint16_t commandId = 0;
    uint16_t timestamp = 0;
    uint16_t elapsed = 0;          // colour detected: ms
    Color trigger;                 // colour detected: the colour seen
    Color target;                  // colour detected and test started
    uint8_t sampleCount = 0;       // samples: how many of samples are filled
    Color samples[kMaxSamples];
};

// Tries reports 1 (at least 64 bytes), 2 (13), 3 (8) and 4 (5) in that order.
// False for anything else, including a known id with too few bytes. A sample
// count larger than the report can hold is cut to what it holds. Colours get
// alpha 255. Reads nothing past size.
bool DecodeLatencyTestReport(const uint8_t* data, size_t size, LatencyTestReport* out);

}  // namespace HSK
