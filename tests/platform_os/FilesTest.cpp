#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os/files.h"
#include "support/TempDir.h"

namespace {

std::string ReadAll(std::FILE* file) {
    std::string text;
    char buffer[256];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

// A folder laid out as Windows-habit code would have written it.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("Data/Config/Settings.ini", "settings");
        dir.Write("Data/Readme.txt", "readme");
    }
    std::string Root(const std::string& rest) const { return dir.Path().string() + rest; }

    korvtest::TempDir dir;
};

TEST_F(FilesTest, OpensForReadingWhateverTheCaseAndSeparators) {
    struct Case {
        const char* path;
        const char* content;  // null: the open must fail with "file not found"
    };
    const Case cases[] = {
        {"/Data/Config/Settings.ini", "settings"},
        {"\\Data\\Config\\Settings.ini", "settings"},
        {"/Data/Config/SETTINGS.INI", "settings"},
        {"\\data\\CONFIG\\settings.ini", "settings"},
        {"/DATA/readme.TXT", "readme"},
        {"/Data/Config/Missing.ini", nullptr},
        {"/Nowhere/Settings.ini", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int error = -1;
        std::FILE* file = os::OpenFile(Root(c.path), "rb", &error);
        if (c.content) {
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(error, 0);
            EXPECT_EQ(ReadAll(file), c.content);
            std::fclose(file);
            EXPECT_TRUE(os::Exists(Root(c.path)));
            EXPECT_EQ(os::FileSize(Root(c.path)), static_cast<std::int64_t>(std::string(c.content).size()));
        } else {
            EXPECT_EQ(file, nullptr);
            EXPECT_EQ(error, os::kFileNotFound);
            EXPECT_FALSE(os::Exists(Root(c.path)));
            EXPECT_EQ(os::FileSize(Root(c.path)), -1);
        }
    }
}

TEST_F(FilesTest, WritingUsesTheExistingFoldersAndFiles) {
    // New file in folders named with other case: no second "DATA" folder.
    std::FILE* file = os::OpenFile(Root("\\DATA\\config\\New.ini"), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("new", file);
    std::fclose(file);
    EXPECT_EQ(dir.Read("Data/Config/New.ini"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "DATA"));

    // An existing file under other case is the one rewritten.
    file = os::OpenFile(Root("/data/config/settings.INI"), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("rewritten", file);
    std::fclose(file);
    EXPECT_EQ(dir.Read("Data/Config/Settings.ini"), "rewritten");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Data/Config/settings.INI"));
}

TEST_F(FilesTest, ExactNameWinsOverOtherCase) {
    dir.Write("Data/Config/settings.ini", "lower");
    std::FILE* file = os::OpenFile(Root("/Data/Config/settings.ini"), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "lower");
    std::fclose(file);
}

// Exactness is decided folder by folder, also on the way to a file that does
// not exist yet: with sibling folders "Save" and "save", a new file under
// "save/" lands in "save".
TEST_F(FilesTest, ExactFolderWinsOnTheWayToANewFile) {
    dir.Write("Data/Save/keep.txt", "upper");
    dir.Write("Data/save/keep.txt", "lower");
    struct Case {
        const char* path;    // written through the os layer
        const char* landed;  // where the bytes must be, exactly
    };
    const Case cases[] = {
        {"/Data/save/new.sav", "Data/save/new.sav"},
        {"/Data/Save/new.sav", "Data/Save/new.sav"},
        {"\\Data\\save\\Deeper\\new.sav", "Data/save/Deeper/new.sav"},
        {"/data/save/other.sav", "Data/save/other.sav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_EQ(os::CreateFolders(Root(c.path).substr(0, Root(c.path).find_last_of("/\\"))), 0);
        std::FILE* file = os::OpenFile(Root(c.path), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(c.path, file);
        std::fclose(file);
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / c.landed));
        if (std::filesystem::exists(dir.Path() / c.landed)) {
            EXPECT_EQ(dir.Read(c.landed), c.path);
        }
    }
}

TEST_F(FilesTest, FolderIsNotAFile) {
    int error = 0;
    EXPECT_EQ(os::OpenFile(Root("/data"), "rb", &error), nullptr);
    EXPECT_NE(error, 0);
    EXPECT_TRUE(os::IsFolder(Root("/data")));
    EXPECT_FALSE(os::IsFolder(Root("/data/readme.txt")));
}

TEST_F(FilesTest, FileSizeKeepsThePosition) {
    std::FILE* file = os::OpenFile(Root("/Data/Readme.txt"), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 2, SEEK_SET);
    EXPECT_EQ(os::FileSize(file), 6);
    EXPECT_EQ(std::ftell(file), 2);
    std::fclose(file);
}

TEST_F(FilesTest, FolderCreationDeletionAndRename) {
    EXPECT_EQ(os::CreateFolder(Root("/data")), 0) << "an existing folder is no error";
    EXPECT_EQ(os::CreateFolder(Root("\\Data\\Saves")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Data/Saves"));
    EXPECT_EQ(os::CreateFolder(Root("/Missing/Child")), ENOENT);
    EXPECT_EQ(os::CreateFolder(Root("/Data/Readme.txt")), EEXIST) << "a file is in the way";

    EXPECT_EQ(os::CreateFolders(Root("\\DATA\\My Games\\Title\\Logs\\")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Data/My Games/Title/Logs"));

    EXPECT_EQ(os::RenameFile(Root("/data/readme.txt"), Root("/Data/Moved.txt")), 0);
    EXPECT_EQ(dir.Read("Data/Moved.txt"), "readme");
    EXPECT_EQ(os::DeleteFile(Root("/DATA/MOVED.TXT")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Data/Moved.txt"));
    EXPECT_EQ(os::DeleteFile(Root("/Data/Moved.txt")), os::kFileNotFound);
}

TEST_F(FilesTest, PathTranslation) {
    EXPECT_EQ(os::TranslatePath("Config\\Sub\\a.ini"), "Config/Sub/a.ini");
    EXPECT_EQ(os::ResolvePath(Root("\\data\\config\\")), Root("/Data/Config/"));
    // The part that exists nowhere keeps the caller's case.
    EXPECT_EQ(os::ResolvePath(Root("/data/NEW/File.TXT")), Root("/Data/NEW/File.TXT"));
}

TEST_F(FilesTest, FullPathIsAbsoluteAndResolved) {
    const std::string cwd = os::CurrentFolder();
    ASSERT_EQ(os::SetCurrentFolder(Root("\\data")), 0);
    EXPECT_EQ(os::CurrentFolder(), std::filesystem::canonical(dir.Path() / "Data").string());
    EXPECT_EQ(os::FullPath("config\\..\\CONFIG\\settings.ini"), os::CurrentFolder() + "/Config/Settings.ini");
    std::FILE* file = os::OpenFile("Readme.txt", "rb");
    EXPECT_NE(file, nullptr) << "relative paths start at the working folder";
    if (file) {
        std::fclose(file);
    }
    ASSERT_EQ(os::SetCurrentFolder(cwd), 0);
    EXPECT_EQ(os::SetCurrentFolder(Root("/nowhere")), ENOENT);
}

TEST(Executable, FolderHoldsTheRunningProgram) {
    const std::string folder = os::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(os::ExecutablePath(), folder + "/test_platform_os");
}

class FindFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Alpha.kpk", "beta.KPK", "abc.txt", "gamma", ".hidden.kpk", "Sub/inner.kpk",
                                 "Sub/deep/Core.kpk", "Other.kpk/x.txt", ".secret/s.kpk"}) {
            dir.Write(name, "x");
        }
    }
    std::vector<std::string> Find(const char* pattern, bool recurse) const {
        std::vector<std::string> names;
        for (const os::FoundFile& f : os::FindFiles(dir.Path().string(), pattern, recurse)) {
            names.push_back(f.isFolder ? f.name + "/" : f.name);
        }
        return names;
    }

    korvtest::TempDir dir;
};

TEST_F(FindFilesTest, PatternsMatchIgnoringCaseAndSkipHiddenEntries) {
    struct Case {
        const char* pattern;
        bool recurse;
        std::vector<std::string> expected;  // folders end in '/'
    };
    const Case cases[] = {
        {"*", false, {"abc.txt", "Alpha.kpk", "beta.KPK", "gamma", "Other.kpk/", "Sub/"}},
        {"*.*", false, {"abc.txt", "Alpha.kpk", "beta.KPK", "gamma", "Other.kpk/", "Sub/"}},
        {"*.kpk", false, {"Alpha.kpk", "beta.KPK", "Other.kpk/"}},
        {"*.KPK", false, {"Alpha.kpk", "beta.KPK", "Other.kpk/"}},
        {"?eta.*", false, {"beta.KPK"}},
        {"a*", false, {"abc.txt", "Alpha.kpk"}},
        {"*a", false, {"gamma"}},
        {"a?c.txt", false, {"abc.txt"}},
        {"????", false, {}},
        {"?????", false, {"gamma"}},
        {"*.zdd", false, {}},
        {"", false, {}},
        {"*.kpk", true, {"Alpha.kpk", "beta.KPK", "Other.kpk/", "Sub/deep/Core.kpk", "Sub/inner.kpk"}},
        {"Sub\\*.kpk", false, {"inner.kpk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(Find(c.pattern, c.recurse), c.expected);
    }
}

TEST_F(FindFilesTest, RecursionListsSubFoldersBeforeLaterNames) {
    const std::vector<std::string> expected = {
        "abc.txt", "Alpha.kpk", "beta.KPK",          "gamma",        "Other.kpk/", "Other.kpk/x.txt",
        "Sub/",    "Sub/deep/", "Sub/deep/Core.kpk", "Sub/inner.kpk"};
    EXPECT_EQ(Find("*", true), expected);
}

TEST_F(FindFilesTest, MissingFolderFindsNothing) {
    EXPECT_TRUE(os::FindFiles(dir.File("nowhere"), "*").empty());
    // The folder itself is looked up ignoring case.
    EXPECT_EQ(os::FindFiles(dir.File("SUB"), "*.kpk").size(), 1u);
}

}  // namespace
