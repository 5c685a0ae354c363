#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/fake/fake.h"
#include "platform/os/files.h"
#include "support/TempDir.h"

namespace {

// Names in the folder, so a test sees any temporary file left behind.
std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, ReplacesTheTargetAndLeavesNothingElse) {
    korvtest::TempDir dir;
    dir.Write("Config/Config.ini", "old");
    EXPECT_EQ(os::WriteFileAtomic(dir.File("config\\CONFIG.INI"), "new content", 11), 0);
    EXPECT_EQ(dir.Read("Config/Config.ini"), "new content");
    EXPECT_EQ(Listing(dir.Path() / "Config"), std::vector<std::string>{"Config.ini"});

    // A file that did not exist is made.
    EXPECT_EQ(os::WriteFileAtomic(dir.File("Config\\Bindings.bnd"), "b", 1), 0);
    EXPECT_EQ(dir.Read("Config/Bindings.bnd"), "b");
}

TEST(AtomicFile, StreamsThroughTheFileAndCommits) {
    korvtest::TempDir dir;
    dir.Write("save.zsd", "old");
    os::AtomicFile file(dir.File("save.zsd"));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Write("part one, "));
    std::fprintf(file.File(), "part %d", 2);
    EXPECT_EQ(dir.Read("save.zsd"), "old") << "nothing shows before the commit";
    EXPECT_EQ(file.Commit(), 0);
    EXPECT_EQ(dir.Read("save.zsd"), "part one, part 2");
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"save.zsd"});
}

TEST(AtomicFile, AbandonedWriteKeepsTheOldFile) {
    korvtest::TempDir dir;
    dir.Write("save.zsd", "old");
    {
        os::AtomicFile file(dir.File("save.zsd"));
        file.Write("half of it");
    }
    EXPECT_EQ(dir.Read("save.zsd"), "old");
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"save.zsd"});
}

TEST(AtomicFile, FullDiskKeepsTheOldFileAndReportsIt) {
    korvtest::TempDir dir;
    dir.Write("autosave.zsd", "precious progress");
    const std::string big(100000, 'x');  // more than one stdio buffer
    {
        os::fake::DiskFull full;
        EXPECT_EQ(os::WriteFileAtomic(dir.File("autosave.zsd"), big.data(), big.size()), ENOSPC);
        EXPECT_EQ(os::WriteFileAtomic(dir.File("autosave.zsd"), "tiny", 4), ENOSPC) << "caught at the flush";

        os::AtomicFile file(dir.File("autosave.zsd"));
        std::fputs("printed", file.File());
        EXPECT_NE(file.Commit(), 0);
    }
    EXPECT_EQ(dir.Read("autosave.zsd"), "precious progress");
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"autosave.zsd"});
    EXPECT_EQ(os::WriteFileAtomic(dir.File("autosave.zsd"), "later", 5), 0) << "the disk has room again";
    EXPECT_EQ(dir.Read("autosave.zsd"), "later");
}

TEST(AtomicFile, FullDiskFailsPlainWritesToo) {
    korvtest::TempDir dir;
    os::fake::DiskFull full;
    std::FILE* file = os::OpenFile(dir.File("Log.txt"), "wb");
    ASSERT_NE(file, nullptr) << "opening works; writing does not";
    std::fputs("line", file);
    EXPECT_NE(std::fflush(file), 0);
    std::fclose(file);
    EXPECT_EQ(dir.Read("Log.txt"), "");
}

TEST(AtomicFile, ReadOnlyFolderKeepsTheOldFile) {
    korvtest::TempDir dir;
    dir.Write("ro/Config.ini", "old");
    const std::filesystem::path folder = dir.Path() / "ro";
    chmod(folder.c_str(), 0555);
    // Privileged users write anyway; then there is nothing to show.
    if (access(folder.c_str(), W_OK) == 0) {
        chmod(folder.c_str(), 0755);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    os::AtomicFile file(dir.File("ro/Config.ini"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Write("new"));
    EXPECT_EQ(file.Commit(), EACCES);
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(dir.Read("ro/Config.ini"), "old");
}

TEST(AtomicFile, TargetThatCannotBeReplacedIsReported) {
    korvtest::TempDir dir;
    dir.Write("Saves/keep.txt", "k");
    // A folder stands where the file should go.
    EXPECT_EQ(os::WriteFileAtomic(dir.File("Saves"), "x", 1), EISDIR);
    EXPECT_EQ(dir.Read("Saves/keep.txt"), "k");
    // Its folder does not exist.
    EXPECT_EQ(os::WriteFileAtomic(dir.File("Nowhere/file.txt"), "x", 1), ENOENT);
}

TEST(AtomicFile, KeepsTheOldFilesPermissions) {
    korvtest::TempDir dir;
    dir.Write("script.sh", "old");
    const std::filesystem::path path = dir.Path() / "script.sh";
    chmod(path.c_str(), 0751);
    ASSERT_EQ(os::WriteFileAtomic(path.string(), "new", 3), 0);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0751u);
}

}  // namespace
