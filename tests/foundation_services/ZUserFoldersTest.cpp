#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ServicesFixture.h"
#include "foundation/ZUserFolders.h"

namespace {

using servicestest::ServicesTest;

std::vector<std::string> Texts(const ZArray<ZString>& list) {
    std::vector<std::string> texts;
    for (const ZString& s : list) {
        texts.emplace_back(s.GetText());
    }
    return texts;
}

class UserFolderTest : public ServicesTest {};

TEST_F(UserFolderTest, PathsJoinTheNonEmptyComponents) {
    struct Case {
        const char* myGames;
        const char* game;
        const char* sub;
        const char* expected;  // after the documents folder
    };
    const Case cases[] = {
        {"My Games", "Test Game", "Logs\\", "\\My Games\\Test Game\\Logs\\"},
        {"My Games", "Test Game", "", "\\My Games\\Test Game"},
        {"My Games", "Test Game", nullptr, "\\My Games\\Test Game"},
        {"", "Test Game", "Config\\", "\\Test Game\\Config\\"},
        {"My Games", "", "Saves\\", "\\My Games\\Saves\\"},
        {"", nullptr, nullptr, ""},
    };
    InstallAppInfo();
    for (const Case& c : cases) {
        m_info.myGames = c.myGames;
        EXPECT_STREQ(GetUserFolderPath(c.game, c.sub, false).GetText(), (Documents() + c.expected).c_str())
            << c.myGames << "|" << (c.game ? c.game : "null") << "|" << (c.sub ? c.sub : "null");
    }
    EXPECT_FALSE(std::filesystem::exists(m_temp.Path() / "My Games"));
}

TEST_F(UserFolderTest, WithoutAGameTheDefaultDescriptionNamesTheFolders) {
    const ZString path = GetUserFolderPath(ZAppInfo::GetInstance()->GetGameFolderName(), "Logs\\", false);
    EXPECT_STREQ(path.GetText(), (Documents() + "\\My Games\\ZORP Core\\Logs\\").c_str());
}

TEST_F(UserFolderTest, CreatingMakesEveryMissingFolderInOneCall) {
    InstallAppInfo();
    const ZString path = GetUserFolderPath("Test Game", "Screenshots\\", true);
    EXPECT_TRUE(std::filesystem::is_directory(m_temp.Path() / "My Games" / "Test Game" / "Screenshots"));
    // Files are named by appending to the result.
    const std::string file = std::string(path.GetText()) + "shot.bmp";
    EXPECT_FALSE(FileExists(file.c_str()));
    m_temp.Write("My Games/Test Game/Screenshots/shot.bmp", "BM");
    EXPECT_TRUE(FileExists(file.c_str()));
}

TEST_F(UserFolderTest, FileExistsOnlyForFilesThatOpen) {
    m_temp.Write("present.txt", "x");
    std::filesystem::create_directory(m_temp.Path() / "folder");
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {"", false},
        {m_temp.File("missing.txt"), false},
        {m_temp.File("folder"), false},
        {m_temp.File("present.txt"), true},
        {Documents() + "\\PRESENT.TXT", true},
    };
    EXPECT_FALSE(FileExists(nullptr));
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(c.path.c_str()), c.exists) << c.path;
    }
}

class ListingTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        for (const char* file : {"a.kpk", "b.KPK", "notes.txt", ".hidden.kpk", "sub/inner.kpk",
                                 "sub/deeper/deep.txt", "sub.kpk/packed.txt", ".secret/lost.kpk"}) {
            m_temp.Write(file, "x");
        }
        std::filesystem::create_directory(m_temp.Path() / "empty");
        m_folder = Documents() + "\\";
    }

    std::string m_folder;
};

TEST_F(ListingTest, ListFilesAppliesThePatternToTheFolderOnly) {
    ZArray<ZString> list;
    ListFiles(m_folder.c_str(), "*.kpk", list, false);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a.kpk", "b.KPK"}));
}

TEST_F(ListingTest, RecursionEntersOnlyMatchingSubFolders) {
    struct Case {
        const char* pattern;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"*", {"a.kpk", "b.KPK", "notes.txt", "sub\\deeper\\deep.txt", "sub\\inner.kpk",
               "sub.kpk\\packed.txt"}},
        {"*.kpk", {"a.kpk", "b.KPK"}},
        {"*.txt", {"notes.txt"}},
    };
    for (const Case& c : cases) {
        ZArray<ZString> list;
        ListFiles(m_folder.c_str(), c.pattern, list, true);
        EXPECT_EQ(Texts(list), c.expected) << c.pattern;
    }
}

TEST_F(ListingTest, APrefixIsSearchedAndKeptInTheNames) {
    ZArray<ZString> list;
    ListFiles(m_folder.c_str(), "*", list, true, "sub\\");
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"sub\\deeper\\deep.txt", "sub\\inner.kpk"}));
}

TEST_F(ListingTest, FindingNothingLeavesTheListAsItWas) {
    ZArray<ZString> list;
    list.PushBack(ZString("kept"));
    ListFiles(m_folder.c_str(), "*.none", list, true);
    ListFiles((m_folder + "missing\\").c_str(), "*", list, true);
    ListFiles((m_folder + "empty\\").c_str(), "*", list, true);
    ListFiles(m_folder.c_str(), nullptr, list, true);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"kept"}));
}

TEST_F(ListingTest, ListSubFoldersListsFoldersOnlyWhenRecursing) {
    ZArray<ZString> list;
    ListSubFolders(m_folder.c_str(), "*", list, false);
    EXPECT_TRUE(list.IsEmpty());
    ListSubFolders(m_folder.c_str(), "*", list, true);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"empty", "sub", "sub\\deeper", "sub.kpk"}));
}

TEST_F(ListingTest, AFolderLinkToItsParentDoesNotWalkForever) {
    std::filesystem::create_directory_symlink(m_temp.Path() / "sub", m_temp.Path() / "sub" / "loop");
    ZArray<ZString> list;
    ListFiles((m_folder + "sub\\").c_str(), "*", list, true);
    EXPECT_GT(list.Count(), 2u);
    EXPECT_LT(list.Count(), 1000u);
}

}  // namespace
