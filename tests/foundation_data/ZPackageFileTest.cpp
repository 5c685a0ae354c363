#include "foundation/ZPackageFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/ZPackageWriter.h"
#include "foundation_data/PackageBytes.h"
#include "platform/os/hooks.h"
#include "support/TempDir.h"

using korvtest::OldPackageHeader;
using korvtest::PackageHeader;
using korvtest::TocEntry;

namespace {

class PackageFileTest : public ::testing::Test {
protected:
    std::string Put(const std::string& bytes, const std::string& name = "test.zpk") {
        dir.Write(name, bytes);
        return dir.File(name);
    }

    static std::vector<std::string> Names(const ZPackageFile& package) {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < package.GetEntryCount(); ++i) {
            names.push_back(package.GetEntry(i).name);
        }
        return names;
    }

    static std::string Read(ZPackageFile& package, const char* name) {
        char* buffer = nullptr;
        int64_t size = -1;
        if (!package.ReadEntry(name, &buffer, &size)) {
            return "<missing>";
        }
        std::string bytes(buffer, static_cast<size_t>(size));
        delete[] buffer;
        return bytes;
    }

    korvtest::TempDir dir;
};

TEST_F(PackageFileTest, ReadsBothLayouts) {
    struct Case {
        const char* what;
        std::string bytes;
        uint16_t version;
        uint32_t tocOffset;
        uint32_t entries;
    };
    const Case cases[] = {
        {"current", PackageHeader(21, 256) + "hello" + TocEntry("a.txt", 16, 5), 2, 21, 1},
        {"older", OldPackageHeader(17, 256) + "hello" + TocEntry("a.txt", 12, 5), 0, 17, 1},
        // The remainder of a table size that is no multiple of 256 is ignored.
        {"table size 300", PackageHeader(21, 300) + "hello" + TocEntry("a.txt", 16, 5) + std::string(44, 'x'),
         2, 21, 1},
        {"empty table", PackageHeader(16, 0), 2, 16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZPackageFile package;
        ASSERT_TRUE(package.Open(Put(c.bytes).c_str()));
        EXPECT_TRUE(package.IsOpen());
        EXPECT_FALSE(package.IsDamaged());
        EXPECT_FALSE(package.IsModified());
        EXPECT_EQ(package.GetHeader().version, c.version);
        EXPECT_EQ(package.GetHeader().tocOffset, c.tocOffset);
        ASSERT_EQ(package.GetEntryCount(), c.entries);
        if (c.entries > 0) {
            EXPECT_EQ(Read(package, "a.txt"), "hello");
        }
        EXPECT_EQ(package.Close(), 0);
        EXPECT_FALSE(package.IsOpen());
    }
}

TEST_F(PackageFileTest, RefusesFilesThatAreNotPackages) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"short text", "abc"},
        {"other magic", "PK\x03\x04" + std::string(12, '\0') + TocEntry("a", 0, 0)},
        {"current magic, short header", ".zpk" + std::string(8, '\0')},
        {"older magic, short header", "zpk." + std::string(4, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZPackageFile package;
        EXPECT_FALSE(package.Open(Put(c.bytes).c_str()));
        EXPECT_FALSE(package.IsOpen());
        EXPECT_EQ(package.GetEntryCount(), 0u);
        EXPECT_EQ(package.FindEntry("a"), -1);
    }
    ZPackageFile missing;
    EXPECT_FALSE(missing.Open(dir.File("nothing.zpk").c_str()));
    EXPECT_STREQ(missing.GetPath(), dir.File("nothing.zpk").c_str());
}

TEST_F(PackageFileTest, OpeningTwiceIsRefused) {
    ZPackageFile package;
    const std::string path = Put(PackageHeader(16, 0));
    ASSERT_TRUE(package.Open(path.c_str()));
    const std::string other = Put(PackageHeader(16, 0), "other.zpk");
    EXPECT_FALSE(package.Open(other.c_str()));
    EXPECT_TRUE(package.IsOpen());
    EXPECT_STREQ(package.GetPath(), path.c_str()) << "the path still names the held file";
}

// A damaged table gives the entries that lie wholly inside the file; nothing
// is read past its end and nothing huge is allocated.
TEST_F(PackageFileTest, CorruptTablesKeepOnlyWhatFits) {
    const std::string data = "0123456789";  // bytes 16..25
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"table beyond the end", PackageHeader(5000, 256) + data, {}},
        {"table size beyond the end", PackageHeader(26, 3 * 256) + data + TocEntry("a", 16, 4), {"a"}},
        {"table size 0xFFFFFFFF", PackageHeader(26, 0xFFFFFFFFu) + data + TocEntry("a", 16, 4), {"a"}},
        {"half an entry",
         PackageHeader(26, 2 * 256) + data + TocEntry("a", 16, 4) + std::string(100, 'x'),
         {"a"}},
        {"size 0xFFFFFFFF",
         PackageHeader(26, 512) + data + TocEntry("huge", 16, 0xFFFFFFFFu) + TocEntry("b", 20, 6),
         {"b"}},
        {"offset beyond the end",
         PackageHeader(26, 512) + data + TocEntry("far", 0x7FFFFFF0u, 1) + TocEntry("b", 20, 6),
         {"b"}},
        {"data running past the end", PackageHeader(26, 256) + data + TocEntry("long", 20, 600), {}},
        {"offset plus size wraps", PackageHeader(26, 256) + data + TocEntry("wrap", 0xFFFFFFF0u, 0x20), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZPackageFile package;
        ASSERT_TRUE(package.Open(Put(c.bytes).c_str()));
        EXPECT_TRUE(package.IsDamaged()) << "the start-up names a damaged package";
        EXPECT_EQ(Names(package), c.names);
        for (const std::string& name : c.names) {
            EXPECT_NE(Read(package, name.c_str()), "<missing>");
        }
    }
}

TEST_F(PackageFileTest, UnterminatedNameIsCutToFitItsField) {
    const std::string longName(300, 'n');
    ZPackageFile package;
    ASSERT_TRUE(package.Open(Put(PackageHeader(18, 256) + "ok" + TocEntry(longName, 16, 2)).c_str()));
    ASSERT_EQ(package.GetEntryCount(), 1u);
    EXPECT_EQ(std::string(package.GetEntry(0).name), std::string(247, 'n'));
    EXPECT_EQ(Read(package, std::string(247, 'n').c_str()), "ok");
}

TEST_F(PackageFileTest, ReadEntryEndsTheBufferWithZero) {
    ZPackageFile package;
    ASSERT_TRUE(package.Open(
        Put(PackageHeader(21, 512) + "hello" + TocEntry("Text.txt", 16, 5) + TocEntry("empty.bin", 21, 0))
            .c_str()));

    char* buffer = nullptr;
    int64_t size = -1;
    ASSERT_TRUE(package.ReadEntry("text.TXT", &buffer, &size));
    EXPECT_EQ(size, 5);
    EXPECT_EQ(std::string(buffer), "hello");  // relies on the terminator
    delete[] buffer;

    ASSERT_TRUE(package.ReadEntry("empty.bin", &buffer, &size));
    EXPECT_EQ(size, 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[0], 0);
    delete[] buffer;

    buffer = reinterpret_cast<char*>(1);
    EXPECT_FALSE(package.ReadEntry("other.txt", &buffer, &size));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, -1);

    package.Close();
    EXPECT_FALSE(package.ReadEntry("Text.txt", &buffer, &size));
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(PackageFileTest, FileTruncatedAfterOpeningFailsTheRead) {
    // Larger than any read-ahead, so the bytes must come from the file.
    const uint32_t size = 1 << 20;
    const std::string path =
        Put(PackageHeader(16 + size, 256) + std::string(size, 'd') + TocEntry("a", 16, size));
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    std::filesystem::resize_file(path, 1000);
    char* buffer = nullptr;
    int64_t read = 0;
    EXPECT_FALSE(package.ReadEntry("a", &buffer, &read));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(read, -1);
}

TEST_F(PackageFileTest, FindEntryIgnoresCaseAndSlashKindFirstMatchWins) {
    ZPackageFile package;
    ASSERT_TRUE(package.Open(Put(PackageHeader(20, 3 * 256) + "abcd" + TocEntry("Sub\\File.TXT", 16, 1) +
                                 TocEntry("sub\\file.txt", 17, 1) + TocEntry("other", 18, 2))
                                 .c_str()));
    struct Case {
        const char* name;
        int32_t index;
    };
    const Case cases[] = {
        {"Sub\\File.TXT", 0}, {"SUB\\FILE.txt", 0}, {"sub/file.txt", 0},
        {"other", 2},         {"Sub\\File", -1},    {"", -1},
        {nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(package.FindEntry(c.name), c.index);
    }
}

TEST_F(PackageFileTest, ListEntriesBySuffixOrAll) {
    ZPackageFile package;
    ASSERT_TRUE(
        package.Open(Put(PackageHeader(16, 4 * 256) + TocEntry("a.kdd", 16, 0) +
                         TocEntry("Maps\\B.KDD", 16, 0) + TocEntry("c.txt", 16, 0) + TocEntry("dd", 16, 0))
                         .c_str()));
    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const std::vector<std::string> all = {"a.kdd", "Maps\\B.KDD", "c.txt", "dd"};
    const Case cases[] = {
        {"*.kdd", {"a.kdd", "Maps\\B.KDD"}},
        {"*.KDD", {"a.kdd", "Maps\\B.KDD"}},
        {"*txt", {"c.txt"}},
        {"*ddd", {}},  // longer than "dd": no match
        {"*", all},
        {"Maps\\*", all},
        {"", all},
        {nullptr, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern ? c.pattern : "(null)");
        ZArray<ZString> out;
        out.PushBack(ZString("kept"));
        package.ListEntries(out, c.pattern);
        ASSERT_EQ(out.Count(), c.names.size() + 1);
        EXPECT_EQ(out[0], "kept");
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(std::string(out[uint32_t(i + 1)].GetText()), c.names[i]);
        }
    }
}

TEST_F(PackageFileTest, OpenEntryAndLocationPointAtTheData) {
    const std::string path =
        Put(PackageHeader(26, 512) + "0123456789" + TocEntry("a", 16, 3) + TocEntry("b", 19, 7));
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));

    std::FILE* file = nullptr;
    ASSERT_EQ(package.OpenEntry("B", &file), 0);
    char bytes[8] = {};
    ASSERT_EQ(std::fread(bytes, 1, 7, file), 7u);
    EXPECT_EQ(std::string(bytes), "3456789");
    std::fclose(file);

    int64_t size = 0;
    int64_t offset = 0;
    const char* where = nullptr;
    ASSERT_TRUE(package.GetEntryLocation("b", &size, &offset, &where));
    EXPECT_EQ(size, 7);
    EXPECT_EQ(offset, 19);
    EXPECT_STREQ(where, path.c_str());

    EXPECT_EQ(package.OpenEntry("c", &file), 2);
    EXPECT_EQ(file, nullptr);
    EXPECT_FALSE(package.GetEntryLocation("c", &size, &offset, &where));
    EXPECT_EQ(size, -1);
    EXPECT_EQ(offset, -1);
    EXPECT_EQ(where, nullptr);
}

// Data B then A, each after a gap: B moves down to the header, A behind it and
// the table behind A; the rewritten file ends right after the table.
TEST_F(PackageFileTest, CompactClosesGapsAndWriteHeaderRewrites) {
    const std::string bytes = PackageHeader(41, 512) + std::string(10, '-') + "BBBB" + std::string(5, '-') +
                              "AAAAAA" + TocEntry("a", 35, 6) + TocEntry("b", 26, 4);
    const std::string path = Put(bytes);
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    package.Compact();
    EXPECT_EQ(package.GetEntry(1).offset, 16u);
    EXPECT_EQ(package.GetEntry(0).offset, 20u);
    EXPECT_EQ(package.GetHeader().tocOffset, 26u);
    EXPECT_EQ(package.GetHeader().tocSize, 512u);
    // Until written back, reads still find the bytes where they are.
    EXPECT_EQ(Read(package, "a"), "AAAAAA");

    ASSERT_TRUE(package.WriteHeader());
    EXPECT_EQ(std::filesystem::file_size(path), 26u + 512u);
    EXPECT_EQ(Read(package, "a"), "AAAAAA");
    EXPECT_EQ(Read(package, "b"), "BBBB");
    EXPECT_EQ(dir.Read("test.zpk").substr(0, 26), PackageHeader(26, 512) + "BBBBAAAAAA");

    ZPackageFile again;
    ASSERT_TRUE(again.Open(path.c_str()));
    EXPECT_EQ(Read(again, "a"), "AAAAAA");
    EXPECT_EQ(Read(again, "b"), "BBBB");
}

TEST_F(PackageFileTest, CompactKeepsOverlappingEntriesSharingBytes) {
    // "inner" lies inside "outer"; both move down together.
    const std::string path = Put(PackageHeader(30, 512) + std::string(4, '-') + "0123456789" +
                                 TocEntry("inner", 23, 3) + TocEntry("outer", 20, 10));
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    package.Compact();
    EXPECT_EQ(package.GetEntry(1).offset, 16u);
    EXPECT_EQ(package.GetEntry(0).offset, 19u);
    EXPECT_EQ(package.GetHeader().tocOffset, 26u);
    ASSERT_TRUE(package.WriteHeader());
    EXPECT_EQ(Read(package, "inner"), "345");
    EXPECT_EQ(Read(package, "outer"), "0123456789");
}

TEST_F(PackageFileTest, RemovedEntryIsDroppedByTheWriteBack) {
    ZPackageWriter writer;
    ASSERT_TRUE(writer.AddData("one", "1111", 4));
    ASSERT_TRUE(writer.AddData("two", "22222222", 8));
    ASSERT_TRUE(writer.AddData("three", "333", 3));
    const std::string path = dir.File("w.zpk");
    ASSERT_TRUE(writer.Write(path.c_str()));

    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    EXPECT_FALSE(package.RemoveEntry("four"));
    EXPECT_FALSE(package.IsModified());
    ASSERT_TRUE(package.RemoveEntry("TWO"));
    EXPECT_TRUE(package.IsModified());
    package.Compact();
    ASSERT_TRUE(package.WriteHeader());
    EXPECT_EQ(std::filesystem::file_size(path), 16u + 7u + 512u);

    ZPackageFile again;
    ASSERT_TRUE(again.Open(path.c_str()));
    EXPECT_EQ(Names(again), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(Read(again, "one"), "1111");
    EXPECT_EQ(Read(again, "three"), "333");
}

TEST_F(PackageFileTest, WriteBackIsRefusedWhereItWouldDamageTheFile) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        // A 16-byte header over a 12-byte one would overwrite data.
        {"older layout", OldPackageHeader(17, 256) + "hello" + TocEntry("a", 12, 5)},
        // Data behind the table would be cut off.
        {"data behind the table", PackageHeader(16, 256) + TocEntry("a", 272, 5) + "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Put(c.bytes);
        ZPackageFile package;
        ASSERT_TRUE(package.Open(path.c_str()));
        EXPECT_FALSE(package.WriteHeader());
        EXPECT_EQ(dir.Read("test.zpk"), c.bytes);
        EXPECT_EQ(Read(package, "a"), "hello");
    }
}

TEST_F(PackageFileTest, FailedWriteBackLeavesTheOldFile) {
    const std::string bytes = PackageHeader(30, 256) + std::string(9, '-') + "hello" + TocEntry("a", 25, 5);
    const std::string path = Put(bytes);
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    package.Compact();
    os::hooks::SetDiskFull(true);
    const bool written = package.WriteHeader();
    os::hooks::SetDiskFull(false);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.Read("test.zpk"), bytes);
    EXPECT_TRUE(package.IsOpen());
    EXPECT_EQ(Read(package, "a"), "hello");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

TEST_F(PackageFileTest, DumpContentWritesEntriesAndRefusesEscapes) {
    std::string table;
    const std::vector<std::string> names = {
        "top.txt",      "Sub\\Deep\\inner.txt", "..\\escape.txt", "Sub\\..\\..\\escape2.txt",
        "\\rooted.txt", "/rooted2.txt",         "C:\\drive.txt",  "empty.bin"};
    for (const std::string& name : names) {
        table += TocEntry(name, 16, name == "empty.bin" ? 0 : 4);
    }
    const std::string path =
        Put(PackageHeader(20, uint32_t(names.size() * 256)) + "data" + table, "pkg/p.zpk");
    ZPackageFile package;
    ASSERT_TRUE(package.Open(path.c_str()));
    const std::string out = dir.File("out");
    EXPECT_EQ(package.DumpContent(out.c_str()), 3u);
    EXPECT_EQ(dir.Read("out/top.txt"), "data");
    EXPECT_EQ(dir.Read("out/Sub/Deep/inner.txt"), "data");
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/empty.bin")));
    // Nothing outside the dump folder.
    std::vector<std::string> top;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        top.push_back(entry.path().filename().string());
    }
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{"out", "pkg"}));
    EXPECT_FALSE(std::filesystem::exists("/rooted.txt"));
    EXPECT_FALSE(std::filesystem::exists("/rooted2.txt"));
}

TEST(PackageNameSafety, RelativeNamesWithoutEscapes) {
    struct Case {
        const char* name;
        bool safe;
    };
    const Case cases[] = {
        {"a.txt", true},   {"Sub\\b.txt", true}, {"Sub/b.txt", true}, {"..x\\y..", true},
        {"a\\.\\b", true}, {"", false},          {nullptr, false},    {"..", false},
        {"..\\a", false},  {"a\\..", false},     {"a/../b", false},   {"\\a", false},
        {"/a", false},     {"C:\\a", false},     {"C:a", false},      {"a\\b:c", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(ZPackageFile::IsSafeRelativeName(c.name), c.safe);
    }
}

}  // namespace
