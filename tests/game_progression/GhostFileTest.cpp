#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/progression/GhostFile.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

// Little-endian byte builder for hand-made ghost files.
struct Bytes {
    std::string b;
    Bytes& Text(const char* t) {
        b += t;
        return *this;
    }
    Bytes& U16(uint16_t v) {
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8);
        return *this;
    }
    Bytes& U32(uint32_t v) {
        for (int s = 0; s < 32; s += 8) {
            b += static_cast<char>((v >> s) & 0xFF);
        }
        return *this;
    }
    Bytes& Frame(float time, int8_t col, int8_t row, int16_t x, int16_t y, uint8_t facing) {
        uint32_t bits = 0;
        std::memcpy(&bits, &time, 4);
        U32(bits);
        b += static_cast<char>(col);
        b += static_cast<char>(row);
        U16(static_cast<uint16_t>(x));
        U16(static_cast<uint16_t>(y));
        b += static_cast<char>(facing);
        b += '\0';
        return *this;
    }
};

GhostFileData Decode(const std::string& bytes) {
    return DecodeGhostFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

uint32_t U32At(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

}  // namespace

TEST(GhostFile, AWrittenRunHasTheHeaderAndRoundedFramesAndReadsBack) {
    const std::vector<GhostFrame> frames = {
        {0.0f, 0, 0, 10.5f, -3.5f, 1},
        {0.5f, -1, 2, 255.4f, 223.6f, 0},
        {1.25f, 127, -128, -0.5f, 0.49f, 258},  // facing keeps its low byte
    };
    const std::vector<uint8_t> bytes = EncodeGhostFile(83.2567f, 2, frames);
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), ".kgd");
    EXPECT_EQ(bytes[4] | (bytes[5] << 8), 1);
    EXPECT_EQ(bytes[6] | (bytes[7] << 8), 1);
    EXPECT_EQ(U32At(bytes, 8), 83256u);
    EXPECT_EQ(U32At(bytes, 12), 2u);
    EXPECT_EQ(U32At(bytes, 16), 3u);
    EXPECT_EQ(bytes[20 + 11], 0);  // pad byte

    const GhostFileData read = DecodeGhostFile(bytes.data(), bytes.size());
    ASSERT_TRUE(read.valid);
    EXPECT_TRUE(read.hasRunTime);
    EXPECT_EQ(read.runTimeMs, 83256u);
    EXPECT_EQ(read.deaths, 2u);
    const std::vector<GhostFrame> expected = {
        {0.0f, 0, 0, 11.0f, -3.0f, 1},
        {0.5f, -1, 2, 255.0f, 224.0f, 0},
        {1.25f, 127, -128, 0.0f, 0.0f, 2},
    };
    EXPECT_EQ(read.frames, expected);
}

TEST(GhostFile, PositionsBeyondTheFieldsRangeAreHeldAtItsEnds) {
    const std::vector<GhostFrame> frames = {{1.0f, 0, 0, 1e9f, -1e9f, 0}, {2.0f, 0, 0, NAN, 40000.0f, 0}};
    const std::vector<uint8_t> bytes = EncodeGhostFile(-5.0f, 0, frames);
    const GhostFileData read = DecodeGhostFile(bytes.data(), bytes.size());
    ASSERT_EQ(read.frames.size(), 2u);
    EXPECT_EQ(read.runTimeMs, 0u);  // a negative time is no time
    EXPECT_EQ(read.frames[0].x, 32767.0f);
    EXPECT_EQ(read.frames[0].y, -32768.0f);
    EXPECT_EQ(read.frames[1].x, 0.0f);
    EXPECT_EQ(read.frames[1].y, 32767.0f);
}

TEST(GhostFile, TheReaderTrustsNothingTheFileSays) {
    const std::string v11 = Bytes().Text(".kgd").U16(1).U16(1).U32(5000).U32(3).b;
    const std::string v10 = Bytes().Text(".kgd").U16(1).U16(0).b;
    const std::string oneFrame = Bytes().Frame(0.75f, 1, 2, 30, 40, 1).b;
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
        bool hasRunTime;
        size_t frames;
    };
    const Case cases[] = {
        {"empty file", "", false, false, 0},
        {"shorter than magic and version", ".kgd\x01", false, false, 0},
        {"foreign file", Bytes().Text("\x89PNG").U16(1).U16(1).U32(1).U32(1).U32(1).b + oneFrame, false, false, 0},
        {"lower-case magic differs", Bytes().Text(".KGD").U16(1).U16(0).U32(0).b, false, false, 0},
        {"1.1 header cut before the deaths", Bytes().Text(".kgd").U16(1).U16(1).U32(5000).b, false, false, 0},
        {"1.1 without a frame count", v11, true, true, 0},
        {"1.1 with one frame", Bytes{v11}.U32(1).b + oneFrame, true, true, 1},
        {"2.0 carries a run time", Bytes().Text(".kgd").U16(2).U16(0).U32(1).U32(0).U32(1).b + oneFrame, true, true, 1},
        {"1.0 with one frame", Bytes{v10}.U32(1).b + oneFrame, true, false, 1},
        {"1.0 with no frames", Bytes{v10}.U32(0).b, true, false, 0},
        {"1.0 with no frame count", v10, true, false, 0},
        {"negative count", Bytes{v10}.U32(0xFFFFFFFFu).b + oneFrame, true, false, 0},
        {"huge count, one frame held", Bytes{v11}.U32(0x7FFFFFFFu).b + oneFrame, true, true, 1},
        {"last frame cut short", Bytes{v11}.U32(2).b + oneFrame + oneFrame.substr(0, 7), true, true, 1},
        {"fewer stated than held", Bytes{v11}.U32(1).b + oneFrame + oneFrame, true, true, 1},
    };
    for (const Case& c : cases) {
        const GhostFileData g = Decode(c.bytes);
        EXPECT_EQ(g.valid, c.valid) << c.what;
        EXPECT_EQ(g.hasRunTime, c.hasRunTime) << c.what;
        ASSERT_EQ(g.frames.size(), c.frames) << c.what;
        if (c.frames > 0) {
            EXPECT_EQ(g.frames[0], (GhostFrame{0.75f, 1, 2, 30.0f, 40.0f, 1})) << c.what;
        }
    }
}

TEST(GhostFile, FileNamesTurnEachBlankIntoAnUnderscore) {
    struct Case {
        const char* name;
        const char* file;
    };
    const Case cases[] = {
        {"Temp Ghost", "Temp_Ghost.kgd"},
        {"Leaderboard Ghost", "Leaderboard_Ghost.kgd"},
        {"Gallery", "Gallery.kgd"},
        {"Old  Arcadia Run", "Old__Arcadia_Run.kgd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetGhostFileName(ZHashedString(c.name, true)), c.file) << c.name;
    }
}

// Course names come from data: none may name a file outside the ghosts'
// folder, whatever separators or parent steps it holds.
TEST(GhostFile, EveryCourseNameGivesAFileInsideTheGhostsFolder) {
    korvtest::TempDir dir;
    korvtest::TestAppInfo info("Ghost Test Game");
    korvtest::EngineTestEnv env(dir.Path(), &info);
    const std::filesystem::path ghosts = dir.Path() / "My Games" / "Ghost Test Game" / "Ghosts";
    struct Case {
        const char* name;
        const char* file;
    };
    const Case cases[] = {
        {"../Saves/autosave", ".._Saves_autosave.kgd"},
        {"..\\..\\Config\\Config", ".._.._Config_Config.kgd"},
        {"/tmp/run", "_tmp_run.kgd"},
        {"..", "...kgd"},
        {"Sub/Course Two", "Sub_Course_Two.kgd"},
        {"", ".kgd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ZHashedString name(c.name, true);
        EXPECT_EQ(GetGhostFileName(name), c.file);
        const std::string path = GetGhostFilePath(name);
        ASSERT_TRUE(WriteGhostFile(path, 5.0f, 0, {GhostFrame{0.1f, 0, 0, 1.0f, 1.0f, 0}}));
        EXPECT_TRUE(std::filesystem::is_regular_file(ghosts / c.file)) << "written in the ghosts' folder";
        EXPECT_FLOAT_EQ(ReadGhostBestTime(path), 5.0f);
    }
    // No ghost was written anywhere else under the user's folder.
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
        if (e.is_regular_file() && e.path().extension() == ".kgd") {
            EXPECT_EQ(e.path().parent_path(), ghosts) << e.path();
        }
    }
}

TEST(GhostFile, BestTimeAndPersonalBestRowComeFromTheCourseFile) {
    korvtest::TempDir dir;
    const std::string frame = Bytes().Frame(61.2349f, 0, 0, 1, 1, 0).b;
    struct Case {
        const char* what;
        const char* bytes;  // null: no file
        size_t size;
        float best;
        int32_t rank;
        uint32_t score;
        std::vector<int32_t> details;
    };
    const std::string v11 = Bytes().Text(".kgd").U16(1).U16(1).U32(83256).U32(2).U32(0).b;
    const std::string v10 = Bytes().Text(".kgd").U16(1).U16(0).U32(2).b + frame + frame;
    const std::string v10empty = Bytes().Text(".kgd").U16(1).U16(0).U32(0).b;
    const std::string v10negative = Bytes().Text(".kgd").U16(1).U16(0).U32(0x80000000u).b;
    const std::string foreign = "RIFF....WAVEfmt plenty of bytes here";
    const std::string cut = ".kgd\x01\x00\x01\x00\x10";
    const Case cases[] = {
        {"no file", nullptr, 0, -1.0f, -1, 0, {}},
        {"1.1 file", v11.data(), v11.size(), 83.256f, 0, 83256, {2}},
        {"1.0 file: time of its last frame", v10.data(), v10.size(), -1.0f, 0, 61234, {0}},
        {"1.0 file without frames", v10empty.data(), v10empty.size(), -1.0f, -1, 0, {}},
        {"1.0 file with a negative count", v10negative.data(), v10negative.size(), -1.0f, -1, 0, {}},
        {"foreign file", foreign.data(), foreign.size(), -1.0f, -1, 0, {}},
        {"header cut short", cut.data(), cut.size(), -1.0f, -1, 0, {}},
        {"empty file", "", 0, -1.0f, -1, 0, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "course" + std::to_string(n++) + ".kgd";
        if (c.bytes != nullptr) {
            dir.Write(name, std::string(c.bytes, c.size));
        }
        const std::string path = dir.File(name);
        EXPECT_FLOAT_EQ(ReadGhostBestTime(path), c.best) << c.what;
        const LeaderboardEntry row = LoadPersonalBestEntry(path, "Personal best");
        EXPECT_EQ(row.name, "Personal best") << c.what;
        EXPECT_EQ(row.rank, c.rank) << c.what;
        EXPECT_EQ(row.score, c.score) << c.what;
        EXPECT_EQ(row.details, c.details) << c.what;
    }
    // A folder where the file should be is no file.
    std::filesystem::create_directories(dir.Path() / "folder.kgd");
    EXPECT_EQ(ReadGhostBestTime(dir.File("folder.kgd")), -1.0f);
}

TEST(GhostFile, WritingReplacesTheWholeFileOrNothing) {
    korvtest::TempDir dir;
    const std::string path = dir.File("Gallery.kgd");
    const std::vector<GhostFrame> many(50, GhostFrame{1.0f, 0, 0, 5.0f, 6.0f, 0});
    ASSERT_TRUE(WriteGhostFile(path, 90.0f, 4, many));
    EXPECT_EQ(ReadGhostFile(path).frames.size(), 50u);

    // A shorter run leaves no bytes of the longer one behind, and no temporary files.
    ASSERT_TRUE(WriteGhostFile(path, 45.5f, 1, {GhostFrame{0.5f, 1, 1, 2.0f, 3.0f, 1}}));
    EXPECT_EQ(LoadGhostFileData(path).size(), 20u + kGhostFrameBytes);
    EXPECT_FLOAT_EQ(ReadGhostBestTime(path), 45.5f);
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(e.path().filename(), "Gallery.kgd");
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    // A write that cannot happen says so and leaves nothing.
    const std::string nowhere = dir.File("missing folder/Gallery.kgd");
    EXPECT_FALSE(WriteGhostFile(nowhere, 10.0f, 0, {}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing folder"));
    EXPECT_FALSE(ReadGhostFile(nowhere).valid);
    EXPECT_TRUE(LoadGhostFileData(nowhere).empty());
}

TEST(GhostFile, ThePathIsInTheUsersGhostsFolderWhichIsMade) {
    korvtest::TempDir dir;
    korvtest::TestAppInfo info("Ghost Test Game");
    korvtest::EngineTestEnv env(dir.Path(), &info);
    const std::string path = GetGhostFilePath(ZHashedString("Temp Ghost", true));
    const std::string tail = "Ghost Test Game\\Ghosts\\Temp_Ghost.kgd";
    ASSERT_GE(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "My Games" / "Ghost Test Game" / "Ghosts"));

    ASSERT_TRUE(WriteGhostFile(path, 12.0f, 0, {GhostFrame{0.1f, 0, 0, 1.0f, 1.0f, 0}}));
    EXPECT_FLOAT_EQ(ReadGhostBestTime(path), 12.0f);
}
