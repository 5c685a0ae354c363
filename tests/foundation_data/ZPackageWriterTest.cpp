#include "foundation/ZPackageWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation_data/PackageBytes.h"
#include "support/TempDir.h"

namespace {

using korvtest::PackageHeader;
using korvtest::TocEntry;

TEST(ZPackageWriter, WritesTheLayoutByteForByte) {
    korvtest::TempDir dir;
    dir.Write("source.bin", "from disk");
    ZPackageWriter writer;
    ASSERT_TRUE(writer.AddData("Sub/a.txt", "abc", 3));
    ASSERT_TRUE(writer.AddFile("b.bin", dir.File("source.bin").c_str()));
    ASSERT_TRUE(writer.AddData("empty", nullptr, 0));
    ASSERT_TRUE(writer.Write(dir.File("p.zpk").c_str())) << writer.Error();
    EXPECT_EQ(dir.Read("p.zpk"), PackageHeader(28, 3 * 256) + "abc" + "from disk" +
                                     TocEntry("Sub\\a.txt", 16, 3) + TocEntry("b.bin", 19, 9) +
                                     TocEntry("empty", 28, 0));
}

TEST(ZPackageWriter, RefusesNamesTheTableCannotHoldSafely) {
    struct Case {
        std::string name;
        bool accepted;
    };
    const Case cases[] = {
        {"ok.txt", true},
        {std::string(247, 'n'), true},
        {std::string(248, 'n'), false},
        {"", false},
        {"..\\up.txt", false},
        {"/abs.txt", false},
        {"C:\\drive.txt", false},
        {"OK.TXT", false},  // same as "ok.txt" ignoring case
    };
    ZPackageWriter writer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(writer.AddData(c.name.c_str(), "x", 1), c.accepted);
        if (!c.accepted) {
            EXPECT_FALSE(writer.Error().empty());
        }
    }
    EXPECT_EQ(writer.GetCount(), 2u);
}

TEST(ZPackageWriter, UnreadableSourceLeavesNoPackage) {
    korvtest::TempDir dir;
    dir.Write("p.zpk", "old package");
    ZPackageWriter writer;
    ASSERT_TRUE(writer.AddFile("gone.bin", dir.File("gone.bin").c_str()));
    EXPECT_FALSE(writer.Write(dir.File("p.zpk").c_str()));
    EXPECT_NE(writer.Error().find("gone.bin"), std::string::npos);
    EXPECT_EQ(dir.Read("p.zpk"), "old package");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
