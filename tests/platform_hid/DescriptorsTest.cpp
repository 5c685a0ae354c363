// What the platform offers beyond SDL's HID functions: the report descriptor
// Linux keeps for each hidraw node (usage and report lengths), a monitor's
// own name from its EDID block, and the monitor's place on the desktop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid/hid.h"

namespace {

using platform::hid::DisplayPlacement;
using platform::hid::MonitorInfo;
using platform::hid::ReportDescriptorSummary;

TEST(ReportDescriptor, UsageAndTheLongestReportOfEachKind) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        ReportDescriptorSummary want;
    };
    const Case cases[] = {
        {"a tracker: vendor page, numbered reports",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // usage page 0xFF00, usage 1, application
          0x85, 0x01, 0x75, 0x08, 0x95, 0x3D, 0x09, 0x01, 0x81, 0x02,  // input 1: 61 bytes
          0x85, 0x02, 0x95, 0x06, 0xB1, 0x02,                          // feature 2: 6 bytes
          0x85, 0x09, 0x95, 0x37, 0xB1, 0x02,                          // feature 9: 55 bytes
          0x85, 0x03, 0x95, 0x07, 0x91, 0x02,                          // output 3: 7 bytes
          0xC0},
         {true, 0xFF00, 0x01, 62, 8, 56}},
        {"a mouse: no report ids, bits that add up to bytes",
         {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03,
          0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x03,
          0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06,
          0xC0, 0xC0},
         {true, 0x01, 0x02, 4, 0, 0}},
        {"push and pop restore the report count",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x04, 0xA4, 0x95, 0x10, 0x81, 0x02, 0xB4,
          0x81, 0x02, 0xC0},
         {true, 0xFF00, 0x01, 21, 0, 0}},
        {"a four-byte usage names its own page",
         {0x0B, 0x01, 0x00, 0x0C, 0x00, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0},
         {true, 0x0C, 0x01, 3, 0, 0}},
        {"a long item is stepped over",
         {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x00,
          0xC0},
         {true, 0x01, 0x06, 9, 0, 0}},
        {"sizes past any report are capped",
         {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02},
         {true, 0, 0, 0xFFFF, 0, 0}},
        {"nothing", {}, {true, 0, 0, 0, 0, 0}},
        {"cut inside an item", {0x06, 0x00}, {false, 0, 0, 0, 0, 0}},
        {"cut inside a long item", {0xFE, 0x08, 0x10, 0x01}, {false, 0, 0, 0, 0, 0}},
        // What came before a broken item still counts.
        {"a pop without a push", {0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xB4}, {false, 0, 0, 3, 0, 0}},
    };
    for (const Case& c : cases) {
        const ReportDescriptorSummary got = platform::hid::SummariseReportDescriptor(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(got.complete, c.want.complete) << c.what;
        EXPECT_EQ(got.usagePage, c.want.usagePage) << c.what;
        EXPECT_EQ(got.usage, c.want.usage) << c.what;
        EXPECT_EQ(got.inputReportLength, c.want.inputReportLength) << c.what;
        EXPECT_EQ(got.outputReportLength, c.want.outputReportLength) << c.what;
        EXPECT_EQ(got.featureReportLength, c.want.featureReportLength) << c.what;
    }
    // Pushes beyond the stack end the reading.
    std::vector<uint8_t> deep(40, 0xA4);
    EXPECT_FALSE(platform::hid::SummariseReportDescriptor(deep.data(), deep.size()).complete);
    EXPECT_FALSE(platform::hid::SummariseReportDescriptor(nullptr, 4).complete);
}

std::vector<uint8_t> EdidWithDescriptor(size_t at, uint8_t tag, const std::string& text) {
    std::vector<uint8_t> edid(128, 0);
    const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, edid.begin());
    edid[8] = 0x22;  // "HSK"
    edid[9] = 0x6B;
    // The first descriptor is a timing (pixel clock not 0).
    edid[54] = 0x01;
    edid[55] = 0x1D;
    edid[at + 3] = tag;
    for (size_t i = 0; i < 13; ++i) edid[at + 5 + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
    return edid;
}

TEST(MonitorNameFromEdid, TheNameDescriptorWhereverItIs) {
    struct Case {
        std::vector<uint8_t> edid;
        size_t size;
        const char* expected;
    };
    const Case cases[] = {
        {EdidWithDescriptor(72, 0xFC, "Headset DK\n"), 128, "Headset DK"},
        {EdidWithDescriptor(108, 0xFC, "Panel Screen "), 256, "Panel Screen"},
        {EdidWithDescriptor(90, 0xFC, "ThirteenChars"), 128, "ThirteenChars"},
        {EdidWithDescriptor(72, 0xFC, std::string("Odd\x01name\n")), 128, "Odd?name"},
        {EdidWithDescriptor(72, 0xFF, "SERIAL123\n"), 128, ""},  // a serial number, not a name
        {EdidWithDescriptor(72, 0xFC, "Headset DK\n"), 127, ""},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.edid;
        bytes.resize(c.size);
        EXPECT_EQ(platform::hid::MonitorNameFromEdid(bytes.data(), bytes.size()), c.expected);
    }
    EXPECT_EQ(platform::hid::MonitorNameFromEdid(nullptr, 128), "");
}

TEST(PlaceMonitor, ByTheMonitorsNameElseItsConnector) {
    const std::vector<DisplayPlacement> desktop = {
        {"Desk Monitor", 0, 0}, {"Headset DK", 1920, 0}, {"HDMI-A-2", 3200, 40}, {"Twin", 10, 10}, {"Twin", 20, 20}};
    struct Case {
        const char* what;
        std::string edidName;
        std::string connector;
        bool placed;
        int32_t x, y;
    };
    const Case cases[] = {
        {"by its EDID name", "Headset DK", "card0-DP-1", true, 1920, 0},
        {"by its connector", "", "card1-HDMI-A-2", true, 3200, 40},
        {"a name the desktop does not know, then the connector", "Unknown", "card0-HDMI-A-2", true, 3200, 40},
        {"two displays of that name", "Twin", "card0-DP-3", false, -5, -5},
        {"nothing matches", "Other", "card0-DP-9", false, -5, -5},
    };
    for (const Case& c : cases) {
        MonitorInfo monitor;
        monitor.adapterName = c.connector;
        monitor.desktopX = monitor.desktopY = -5;
        EXPECT_EQ(platform::hid::PlaceMonitor(monitor, c.edidName, desktop), c.placed) << c.what;
        EXPECT_EQ(monitor.desktopX, c.x) << c.what;
        EXPECT_EQ(monitor.desktopY, c.y) << c.what;
    }
}

TEST(DisplayPlacements, KeptForOtherThreads) {
    platform::hid::SetDisplayPlacements({{"A", 1, 2}, {"B", 3, 4}});
    const std::vector<DisplayPlacement> got = platform::hid::GetDisplayPlacements();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].name, "B");
    EXPECT_EQ(got[1].x, 3);
    platform::hid::SetDisplayPlacements({});
    EXPECT_TRUE(platform::hid::GetDisplayPlacements().empty());
}

}  // namespace
