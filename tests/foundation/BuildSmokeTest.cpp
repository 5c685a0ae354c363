#include <gtest/gtest.h>

#include "support/TempDir.h"

// The test harness itself: temporary folders are private and cleaned up.
TEST(TestHarness, TempDirRoundTripsAndCleansUp) {
    std::filesystem::path kept;
    {
        korvtest::TempDir dir;
        kept = dir.Path();
        dir.Write("a/b.txt", std::string("x\0y", 3));
        EXPECT_EQ(dir.Read("a/b.txt"), std::string("x\0y", 3));
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}
