#include "hmd/sdk/LatencyTestReport.h"

namespace HSK {

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

Color ColorAt(const uint8_t* p) {
    return Color{p[0], p[1], p[2], 255};
}

}  // namespace

bool DecodeLatencyTestReport(const uint8_t* const data, const size_t size, LatencyTestReport* const out) {
    if (data == nullptr || out == nullptr || size == 0) return false;
    LatencyTestReport report;
    switch (data[0]) {
        case 1: {
            if (size < 64) return false;
            report.type = Message_LatencyTestSamples;
            report.timestamp = U16(data + 2);
            // Three bytes a sample after the 4-byte header, never more than the report holds.
            size_t count = data[1];
            const size_t room = (size - 4) / 3;
            if (count > room) count = room;
            if (count > LatencyTestReport::kMaxSamples) count = LatencyTestReport::kMaxSamples;
            report.sampleCount = static_cast<uint8_t>(count);
            for (size_t i = 0; i < count; ++i) report.samples[i] = ColorAt(data + 4 + 3 * i);
            break;
        }
        case 2:
            if (size < 13) return false;
            report.type = Message_LatencyTestColorDetected;
            report.commandId = U16(data + 1);
            report.timestamp = U16(data + 3);
            report.elapsed = U16(data + 5);
            report.trigger = ColorAt(data + 7);
            report.target = ColorAt(data + 10);
            break;
        case 3:
            if (size < 8) return false;
            report.type = Message_LatencyTestStarted;
            report.commandId = U16(data + 1);
            report.timestamp = U16(data + 3);
            report.target = ColorAt(data + 5);
            break;
        case 4:
            if (size < 5) return false;
            report.type = Message_LatencyTestButton;
            report.commandId = U16(data + 1);
            report.timestamp = U16(data + 3);
            break;
        default:
            return false;
    }
    *out = report;
    return true;
}

}  // namespace HSK
