// Linear volumes and pans to the device's hundredths of a decibel.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/ZVoice.h"

TEST(VoiceLevels, LinearVolumeToBufferVolume) {
    struct Case {
        float volume;
        int32_t expected;
    };
    const Case cases[] = {
        {1.0f, 0},        {0.5f, -600},       {0.25f, -1200},   {0.0f, -10000},   {1e-05f, -10000},
        {2e-05f, -9365},  {-1.0f, -10000},    {2.0f, 0},        {0.7f, -308},     {1e-30f, -10000},
        {std::numeric_limits<float>::quiet_NaN(), -10000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZVoice::LinearToBufferVolume(c.volume), c.expected) << c.volume;
    }
}

TEST(VoiceLevels, PanToBufferPan) {
    struct Case {
        float pan;
        int32_t expected;
    };
    const Case cases[] = {
        {0.0f, 0},      {0.5f, 600},     {-0.5f, -600},  {1.0f, 10000}, {-1.0f, -10000},
        {0.75f, 1200},  {1.5f, 10000},   {-3.0f, -10000}, {0.000001f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZVoice::PanToBufferPan(c.pan), c.expected) << c.pan;
    }
}
