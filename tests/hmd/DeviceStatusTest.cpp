#include <gtest/gtest.h>

#include "HeadsetFixture.h"
#include "hmd/sdk/DeviceStatus.h"

namespace {

using Changes = std::vector<std::pair<HSK::DeviceStatus::Change, std::string>>;
constexpr auto Arrival = HSK::DeviceStatus::Arrival;
constexpr auto Removal = HSK::DeviceStatus::Removal;

TEST(DeviceStatus, ReportsPlugsPullsAndLostDevicesAgain) {
    platform::hid::FakeHidSystem hid;
    hid.AddDevice(hmdtest::TrackerInfo("/dev/hidraw1"));
    HSK::DeviceStatus status;
    EXPECT_FALSE(status.Initialize(nullptr));
    ASSERT_TRUE(status.Initialize(&hid));
    EXPECT_EQ(status.Poll(0), Changes{});  // the devices present at the start are known

    hid.AddDevice(hmdtest::TrackerInfo("/dev/hidraw2"));
    EXPECT_EQ(status.Poll(10), (Changes{{Arrival, "/dev/hidraw2"}}));
    EXPECT_EQ(status.Poll(20), Changes{});

    hid.RemoveDevice("/dev/hidraw1");
    EXPECT_EQ(status.Poll(30), (Changes{{Removal, "/dev/hidraw1"}}));

    // Pulled and put back between two polls: the paths look unchanged, but the
    // device's broken read marks it lost, and it is announced again later.
    hid.RemoveDevice("/dev/hidraw2");
    hid.AddDevice(hmdtest::TrackerInfo("/dev/hidraw2"));
    status.MarkLost("/dev/hidraw2", 40);
    EXPECT_EQ(status.Poll(41), Changes{});
    EXPECT_EQ(status.Poll(40 + HSK::DeviceStatus::kRetryLostMs), (Changes{{Arrival, "/dev/hidraw2"}}));
    EXPECT_EQ(status.Poll(5000), Changes{});

    // A lost device that is really gone is reported gone, once.
    status.MarkLost("/dev/hidraw2", 6000);
    hid.RemoveDevice("/dev/hidraw2");
    EXPECT_EQ(status.Poll(6001), (Changes{{Removal, "/dev/hidraw2"}}));
    EXPECT_EQ(status.Poll(9000), Changes{});
}

}  // namespace
