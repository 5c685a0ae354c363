#include "foundation/ZStreamMgr.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZPackageFile.h"
#include "foundation/ZPackageWriter.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "support/TempDir.h"

namespace {

using Files = std::map<std::string, std::string>;

class StreamMgrTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        mgr = ZStreamMgr::GetInstance();
        auto fake = std::make_unique<platform::window::FakeWindowSystem>();
        window = fake.get();
        platform::window::SetWindowSystem(std::move(fake));
    }

    void TearDown() override {
        ZStreamMgr::DestroyInstance();
        platform::window::SetWindowSystem(nullptr);
    }

    std::string MakePackage(const std::string& file, const Files& files) {
        ZPackageWriter writer;
        for (const auto& [name, bytes] : files) {
            EXPECT_TRUE(writer.AddData(name.c_str(), bytes.data(), bytes.size())) << writer.Error();
        }
        EXPECT_TRUE(writer.Write(dir.File(file).c_str())) << writer.Error();
        return dir.File(file);
    }

    std::string MakeFolder(const std::string& folder, const Files& files) {
        for (const auto& [name, bytes] : files) {
            dir.Write(folder + "/" + os::TranslatePath(name), bytes);
        }
        return dir.File(folder);
    }

    std::string Read(const char* name) {
        char* buffer = nullptr;
        int64_t size = -1;
        if (!mgr->ReadFile(name, &buffer, &size)) {
            EXPECT_EQ(buffer, nullptr);
            EXPECT_EQ(size, -1);
            return "<missing>";
        }
        EXPECT_EQ(buffer[size], 0) << "the buffer ends in a zero byte";
        std::string bytes(buffer, static_cast<size_t>(size));
        delete[] buffer;
        return bytes;
    }

    size_t BoxCount() const { return window->Boxes().size(); }

    korvtest::TempDir dir;
    ZStreamMgr* mgr = nullptr;
    platform::window::FakeWindowSystem* window = nullptr;
};

TEST_F(StreamMgrTest, FirstSourceInMountOrderWins) {
    mgr->AddDirectorySource(
        MakeFolder("Mods", {{"shared.txt", "mods"}, {"Sub\\Mixed.Txt", "mods sub"}}).c_str());
    mgr->AddPackageSource(MakePackage("Engine.zpk", {{"Shared.TXT", "engine"},
                                                     {"engine.txt", "engine only"},
                                                     {"Sub\\Deep.txt", "deep"},
                                                     {"late.txt", "engine late"}})
                              .c_str());
    mgr->AddDirectorySource(
        MakeFolder("Late", {{"late.txt", "late"}, {"engine.txt", "late engine"}, {"last.txt", "last"}})
            .c_str());
    ASSERT_EQ(mgr->GetSourceCount(), 3u);

    struct Case {
        const char* name;
        int32_t source;
        const char* bytes;
    };
    const Case cases[] = {
        {"shared.txt", 0, "mods"},
        {"SHARED.TXT", 0, "mods"},  // the folder's case-insensitive
                                    // fallback
        {"sub\\mixed.txt", 0, "mods sub"},
        {"engine.txt", 1, "engine only"},
        {"ENGINE.TXT", 1, "engine only"},
        {"sub\\deep.TXT", 1, "deep"},
        {"late.txt", 1, "engine late"},
        {"last.txt", 2, "last"},
        {"none.txt", -1, "<missing>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mgr->FindSource(c.name, false), c.source);
        EXPECT_EQ(Read(c.name), c.bytes);
    }
    EXPECT_EQ(BoxCount(), 1u);  // only the one missing read
}

TEST_F(StreamMgrTest, MissingFileShowsTheErrorBoxAndFails) {
    mgr->AddDirectorySource(MakeFolder("Data", {{"here.txt", "x"}}).c_str());

    EXPECT_EQ(mgr->FindSource("missing.txt", false), -1);
    EXPECT_EQ(BoxCount(), 0u) << "a quiet search shows nothing";

    EXPECT_EQ(mgr->FindSource("missing.txt", true), -1);
    ASSERT_EQ(BoxCount(), 1u);
    const auto& box = window->Boxes()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.flags, 0x10u);
    const std::string expected =
        "No stream source was found containing file missing.txt.\r\n\r\nError code 2: " + os::ErrorText(2) +
        "\r\nFunction: ZStreamMgr::FindSource\r\nFile: .\\src\\ZStreamMgr\r\nLine: 145";
    EXPECT_EQ(box.text, expected.substr(0, 255));

    // Every reading operation reports the same way, then gives its failure value.
    EXPECT_EQ(Read("missing.txt"), "<missing>");
    std::FILE* file = reinterpret_cast<std::FILE*>(1);
    EXPECT_EQ(mgr->OpenFile("missing.txt", &file), 2);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(mgr->GetFileSize("missing.txt"), -1);
    int64_t size = 0;
    int64_t offset = 0;
    const char* path = "untouched";
    mgr->GetFileLocation("missing.txt", &size, &path, &offset);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(offset, -1);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(BoxCount(), 5u);

    // A long name is cut with the rest of the text to what a box shows.
    const std::string longName(400, 'q');
    EXPECT_EQ(mgr->FindSource(longName.c_str(), true), -1);
    EXPECT_EQ(window->Boxes().back().text,
              ("No stream source was found containing file " + longName).substr(0, 255));
}

TEST_F(StreamMgrTest, OpenSizeAndLocationInBothSourceKinds) {
    const std::string package = MakePackage("p.zpk", {{"first.bin", "0123"}, {"second.bin", "abcdefg"}});
    mgr->AddPackageSource(package.c_str());
    mgr->AddDirectorySource(MakeFolder("Loose", {{"loose.bin", "loose bytes"}}).c_str());

    std::FILE* file = nullptr;
    ASSERT_EQ(mgr->OpenFile("Second.bin", &file), 0);
    char bytes[16] = {};
    EXPECT_EQ(std::fread(bytes, 1, 7, file), 7u);
    EXPECT_EQ(std::string(bytes), "abcdefg");
    std::fclose(file);
    EXPECT_EQ(mgr->GetFileSize("second.bin"), 7);
    int64_t size = 0;
    int64_t offset = 0;
    const char* where = nullptr;
    mgr->GetFileLocation("second.bin", &size, &where, &offset);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(offset, 16 + 4);
    EXPECT_STREQ(where, package.c_str());

    ASSERT_EQ(mgr->OpenFile("loose.bin", &file), 0);
    EXPECT_EQ(std::fread(bytes, 1, sizeof(bytes), file), 11u);
    std::fclose(file);
    EXPECT_EQ(mgr->GetFileSize("LOOSE.bin"), 11);
    where = "untouched";
    mgr->GetFileLocation("loose.bin", &size, &where, &offset);
    EXPECT_EQ(size, 11);
    EXPECT_EQ(offset, 0);
    EXPECT_STREQ(where, "untouched");
    EXPECT_EQ(BoxCount(), 0u);
}

TEST_F(StreamMgrTest, FindFilesListsEachSourceInTurn) {
    mgr->AddDirectorySource(
        MakeFolder("A", {{"one.txt", ""}, {"two.dat", ""}, {"Sub\\nested.txt", ""}}).c_str());
    mgr->AddPackageSource(
        MakePackage("b.zpk", {{"one.txt", ""}, {"Sub\\three.TXT", ""}, {"four.dat", ""}}).c_str());
    ZArray<ZString> out;
    mgr->FindFiles(out, "*.txt");
    std::vector<std::string> names;
    for (const ZString& name : out) {
        names.push_back(name.GetText());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "Sub\\three.TXT", "one.txt"}));
}

TEST_F(StreamMgrTest, MountingRules) {
    dir.Write("not a package.zpk", "just some text, no header");
    mgr->AddPackageSource(nullptr);
    mgr->AddPackageSource("");
    mgr->AddPackageSource(dir.File("absent.zpk").c_str());
    mgr->AddDirectorySource(nullptr);
    EXPECT_EQ(mgr->GetSourceCount(), 0u);

    // A file that is no package stays mounted but never holds a name.
    mgr->AddPackageSource(dir.File("not a package.zpk").c_str());
    ASSERT_EQ(mgr->GetSourceCount(), 1u);
    ASSERT_NE(mgr->GetSource(0).package, nullptr);
    EXPECT_FALSE(mgr->GetSource(0).package->IsOpen());

    struct Case {
        const char* path;
        const char* stored;
    };
    const Case cases[] = {{"Folder", "Folder\\"}, {"Folder\\", "Folder\\"}, {"", ""}, {"a/b", "a/b\\"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        mgr->AddDirectorySource(c.path);
        const ZStreamSource& source = mgr->GetSource(mgr->GetSourceCount() - 1);
        EXPECT_EQ(source.package, nullptr);
        EXPECT_STREQ(source.folderPath.GetText(), c.stored);
    }
    EXPECT_EQ(mgr->FindSource("anything", false), -1);
}

TEST_F(StreamMgrTest, EmptyFolderPathIsTheWorkingFolder) {
    MakeFolder("Work", {{"here.ini", "value"}});
    const std::string before = os::CurrentFolder();
    ASSERT_EQ(os::SetCurrentFolder(dir.File("Work")), 0);
    mgr->AddDirectorySource("");
    const std::string bytes = Read("here.ini");
    os::SetCurrentFolder(before);
    EXPECT_EQ(bytes, "value");
}

TEST_F(StreamMgrTest, CloseAllSourcesWritesBackModifiedPackages) {
    const std::string path =
        MakePackage("m.zpk", {{"a", "aaaa"}, {"b", std::string(1000, 'b')}, {"c", "cc"}});
    mgr->AddPackageSource(path.c_str());
    mgr->AddDirectorySource(dir.File("folder").c_str());
    ASSERT_TRUE(mgr->GetSource(0).package->RemoveEntry("b"));
    mgr->CloseAllSources();
    EXPECT_EQ(mgr->GetSourceCount(), 0u);
    EXPECT_EQ(std::filesystem::file_size(path), 16u + 6u + 2u * 256u);

    mgr->AddPackageSource(path.c_str());
    EXPECT_EQ(Read("a"), "aaaa");
    EXPECT_EQ(Read("c"), "cc");
    EXPECT_EQ(mgr->FindSource("b", false), -1);
}

TEST_F(StreamMgrTest, DumpAllContentCopiesEveryPackage) {
    mgr->AddPackageSource(MakePackage("one.zpk", {{"a.txt", "from one"}, {"Sub\\b.txt", "b"}}).c_str());
    mgr->AddDirectorySource(MakeFolder("Loose", {{"loose.txt", "not dumped"}}).c_str());
    mgr->AddPackageSource(MakePackage("two.zpk", {{"c.txt", "c"}}).c_str());
    mgr->DumpAllContent(dir.File("Dump").c_str());
    EXPECT_EQ(dir.Read("Dump/a.txt"), "from one");
    EXPECT_EQ(dir.Read("Dump/Sub/b.txt"), "b");
    EXPECT_EQ(dir.Read("Dump/c.txt"), "c");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Dump/loose.txt")));
}

TEST_F(StreamMgrTest, DumpAllContentDefaultsToTheUserContentDumpFolder) {
    const char* old = std::getenv("XDG_DOCUMENTS_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_DOCUMENTS_DIR", dir.File("Documents").c_str(), 1);
    std::filesystem::create_directories(dir.File("Documents"));
    mgr->AddPackageSource(MakePackage("one.zpk", {{"a.txt", "dumped"}}).c_str());
    mgr->DumpAllContent();
    if (old) {
        setenv("XDG_DOCUMENTS_DIR", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DOCUMENTS_DIR");
    }
    EXPECT_EQ(dir.Read("Documents/My Games/ZORP Core/Content Dump/a.txt"), "dumped");
}

// A folder packed by the zpk tool reads back through the manager byte for byte.
TEST_F(StreamMgrTest, RoundTripThroughThePackerTool) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i) {
        allBytes += static_cast<char>(i);
    }
    std::string big;
    for (uint32_t i = 0; i < 300000; ++i) {
        big += static_cast<char>((i * 7919u) >> 3);
    }
    const Files files = {
        {"Config.ini", "[Video]\r\nWidth: 640\r\n"},
        {"all bytes.bin", allBytes},
        {"empty.txt", ""},
        {"Effects\\Final Pass.fxo", "technique FinalPassTechnique"},
        {"Maps\\World 1\\Room.KDD", big},
    };
    MakeFolder("Source", files);
    const std::string package = dir.File("Round Trip.zpk");
    const std::string command = std::string("\"") + KORV_TOOLS_DIR + "/zpk\" pack \"" + dir.File("Source") +
                                "\" \"" + package + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);

    mgr->AddPackageSource(package.c_str());
    ASSERT_TRUE(mgr->GetSource(0).package->IsOpen());
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Read(name.c_str()), bytes);
        EXPECT_EQ(mgr->GetFileSize(name.c_str()), static_cast<int64_t>(bytes.size()));
        std::FILE* file = nullptr;
        ASSERT_EQ(mgr->OpenFile(name.c_str(), &file), 0);
        std::string streamed(bytes.size(), '\0');
        EXPECT_EQ(std::fread(streamed.data(), 1, streamed.size(), file), bytes.size());
        std::fclose(file);
        EXPECT_EQ(streamed, bytes);
    }
    ZArray<ZString> listed;
    mgr->FindFiles(listed, "*");
    EXPECT_EQ(listed.Count(), files.size());
}

TEST_F(StreamMgrTest, BuildMakesTheEnginePackage) {
    mgr->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    ASSERT_EQ(mgr->GetSourceCount(), 1u);
    ASSERT_TRUE(mgr->GetSource(0).package->IsOpen());
    std::FILE* source = os::OpenFile(KORV_SOURCE_DIR "/data/engine/README.txt", "rb");
    ASSERT_NE(source, nullptr);
    std::string expected(static_cast<size_t>(os::FileSize(source)), '\0');
    EXPECT_EQ(std::fread(expected.data(), 1, expected.size(), source), expected.size());
    std::fclose(source);
    EXPECT_EQ(Read("README.txt"), expected);
}

}  // namespace
