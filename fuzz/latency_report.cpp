// The latency tester's input reports: any bytes. The decoder reads nothing past
// the report, and a sample count never reaches past what the report holds.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "hmd/sdk/LatencyTestReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<uint8_t[]> report(new uint8_t[size == 0 ? 1 : size]);
    if (size > 0) std::memcpy(report.get(), data, size);
    HSK::LatencyTestReport out;
    if (!HSK::DecodeLatencyTestReport(report.get(), size, &out)) return 0;
    if (out.type == HSK::Message_LatencyTestSamples) {
        if (out.sampleCount > HSK::LatencyTestReport::kMaxSamples || 4 + 3 * size_t{out.sampleCount} > size) {
            __builtin_trap();
        }
        for (size_t i = 0; i < out.sampleCount; ++i) {
            if (out.samples[i].a != 255) __builtin_trap();
        }
    }
    return 0;
}
