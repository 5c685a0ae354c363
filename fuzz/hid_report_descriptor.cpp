// HID report descriptors from untrusted bytes (Linux hands them out for every
// hidraw device): the summary reads only what it is given, whatever sizes,
// counts and stack operations the items claim, and the same bytes give the
// same summary.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/hid/hid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the size, so a read past the end is seen.
    const std::vector<uint8_t> bytes(data, data + size);
    const platform::hid::ReportDescriptorSummary a = platform::hid::SummariseReportDescriptor(bytes.data(), size);
    const platform::hid::ReportDescriptorSummary b = platform::hid::SummariseReportDescriptor(data, size);
    if (a.complete != b.complete || a.usage != b.usage || a.usagePage != b.usagePage ||
        a.inputReportLength != b.inputReportLength || a.outputReportLength != b.outputReportLength ||
        a.featureReportLength != b.featureReportLength) {
        __builtin_trap();
    }
    // Any report listed has at least its id byte and one byte of data.
    for (const uint16_t length : {a.inputReportLength, a.outputReportLength, a.featureReportLength}) {
        if (length == 1) __builtin_trap();
    }
    return 0;
}
