#include <gtest/gtest.h>

#include <vector>

#include "HeadsetFixture.h"
#include "hmd/sdk/LatencyTestReport.h"
#include "hmd/sdk/TrackerReport.h"

namespace {

TEST(TrackerReportDecode, UnpacksSigned21BitTriples) {
    struct Case {
        uint8_t bytes[8];
        int32_t x, y, z;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0},
        {{0, 0, 0x08, 0, 0, 0, 0, 0}, 1, 0, 0},
        {{0xFF, 0xFF, 0xF8, 0, 0, 0, 0, 0}, -1, 0, 0},
        {{0x7F, 0xFF, 0xF8, 0, 0, 0, 0, 0}, 1048575, 0, 0},
        {{0, 0, 0, 0, 0, 0x40, 0, 0}, 0, 1, 0},
        {{0, 0, 0x04, 0, 0, 0, 0, 0}, 0, -1048576, 0},
        {{0, 0, 0, 0, 0, 0, 0, 0x02}, 0, 0, 1},
        {{0, 0, 0, 0, 0, 0x20, 0, 0}, 0, 0, -1048576},
        {{0, 0, 0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}, 0, -1, -1},
    };
    for (const Case& c : cases) {
        int32_t x, y, z;
        HSK::UnpackSensorTriple(c.bytes, &x, &y, &z);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(z, c.z);
    }
}

TEST(TrackerReportDecode, ReadsTheHeaderSamplesAndField) {
    std::vector<uint8_t> report = hmdtest::TrackerReport(
        5, 0xBEEF, {{{1, -2, 3}, {-4, 5, -6}}, {{7, 8, 9}, {10, 11, 12}}, {{-13, 14, 15}, {16, 17, -18}}}, -1234,
        100, -200, 300);
    report[4] = 0x34;
    report[5] = 0x12;
    HSK::TrackerReport out;
    ASSERT_TRUE(HSK::DecodeTrackerReport(report.data(), report.size(), &out));
    EXPECT_EQ(out.sampleCount, 5);
    EXPECT_EQ(out.timestamp, 0xBEEF);
    EXPECT_EQ(out.lastCommandId, 0x1234);
    EXPECT_EQ(out.temperature, -1234);
    EXPECT_EQ(out.samples[0].accel[1], -2);
    EXPECT_EQ(out.samples[0].gyro[2], -6);
    EXPECT_EQ(out.samples[2].accel[0], -13);
    EXPECT_EQ(out.samples[2].gyro[2], -18);
    EXPECT_EQ(out.mag[0], 100);
    EXPECT_EQ(out.mag[1], -200);
    EXPECT_EQ(out.mag[2], 300);
}

TEST(TrackerReportDecode, RefusesShortAndForeignReports) {
    const std::vector<uint8_t> good = hmdtest::TrackerReport(1, 1, {{{1, 1, 1}, {1, 1, 1}}});
    struct Case {
        std::vector<uint8_t> bytes;
        bool accepted;
    };
    std::vector<uint8_t> wrongId = good;
    wrongId[0] = 2;
    const Case cases[] = {
        {{}, false},
        {{1, 1, 0}, false},
        {std::vector<uint8_t>(good.begin(), good.begin() + 61), false},
        {wrongId, false},
        {good, true},
    };
    for (const Case& c : cases) {
        HSK::TrackerReport out;
        out.timestamp = 777;
        EXPECT_EQ(HSK::DecodeTrackerReport(c.bytes.data(), c.bytes.size(), &out), c.accepted) << c.bytes.size();
        if (!c.accepted) {
            EXPECT_EQ(out.timestamp, 777);  // untouched
        }
    }
}

TEST(LatencyTestDecode, EachReportAndItsLength) {
    std::vector<uint8_t> samples(64, 0);
    samples[0] = 1;
    samples[1] = 2;
    samples[4] = 10, samples[5] = 20, samples[6] = 30;
    samples[7] = 40, samples[8] = 50, samples[9] = 60;
    const std::vector<uint8_t> detected = {2, 1, 0, 9, 0, 37, 0, 200, 100, 50, 255, 0, 0};
    const std::vector<uint8_t> started = {3, 1, 0, 9, 0, 255, 0, 0};
    const std::vector<uint8_t> button = {4, 1, 0, 9, 0};

    HSK::LatencyTestReport out;
    ASSERT_TRUE(HSK::DecodeLatencyTestReport(samples.data(), samples.size(), &out));
    EXPECT_EQ(out.type, HSK::Message_LatencyTestSamples);
    ASSERT_EQ(out.sampleCount, 2);
    EXPECT_EQ(out.samples[1], (HSK::Color{40, 50, 60, 255}));

    ASSERT_TRUE(HSK::DecodeLatencyTestReport(detected.data(), detected.size(), &out));
    EXPECT_EQ(out.type, HSK::Message_LatencyTestColorDetected);
    EXPECT_EQ(out.elapsed, 37);
    EXPECT_EQ(out.trigger, (HSK::Color{200, 100, 50, 255}));
    EXPECT_EQ(out.target, (HSK::Color{255, 0, 0, 255}));

    ASSERT_TRUE(HSK::DecodeLatencyTestReport(started.data(), started.size(), &out));
    EXPECT_EQ(out.type, HSK::Message_LatencyTestStarted);
    EXPECT_EQ(out.target, (HSK::Color{255, 0, 0, 255}));

    ASSERT_TRUE(HSK::DecodeLatencyTestReport(button.data(), button.size(), &out));
    EXPECT_EQ(out.type, HSK::Message_LatencyTestButton);

    // One byte short of each, and unknown ids, are dropped.
    const std::vector<std::vector<uint8_t>> dropped = {
        std::vector<uint8_t>(samples.begin(), samples.begin() + 63),
        std::vector<uint8_t>(detected.begin(), detected.end() - 1),
        std::vector<uint8_t>(started.begin(), started.end() - 1),
        std::vector<uint8_t>(button.begin(), button.end() - 1),
        {5, 0, 0, 0, 0, 0},
        {},
    };
    for (const auto& bytes : dropped) {
        EXPECT_FALSE(HSK::DecodeLatencyTestReport(bytes.data(), bytes.size(), &out)) << bytes.size();
    }
}

TEST(LatencyTestDecode, ASampleCountPastTheReportIsCut) {
    struct Case {
        size_t size;
        uint8_t count;
        uint8_t expected;
    };
    const Case cases[] = {{64, 20, 20}, {64, 21, 20}, {64, 255, 20}, {96, 255, 20}, {64, 0, 0}};
    for (const Case& c : cases) {
        std::vector<uint8_t> report(c.size, 7);
        report[0] = 1;
        report[1] = c.count;
        HSK::LatencyTestReport out;
        ASSERT_TRUE(HSK::DecodeLatencyTestReport(report.data(), report.size(), &out));
        EXPECT_EQ(out.sampleCount, c.expected) << int(c.count) << " in " << c.size;
    }
}

}  // namespace
