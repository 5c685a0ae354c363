// The map builder tool: the campaign's sources build, print back and build
// again to the same bytes, at every version, and broken sources are refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/world/MapFileReader.h"
#include "game/world/MapSource.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "support/TempDir.h"

namespace {

const std::string kTool = std::string(KORV_TOOLS_DIR) + "/mapbuild";
const std::string kSources = std::string(KORV_SOURCE_DIR) + "/data/game/src/";

int RunTool(const std::string& arguments, const std::string& output = "/dev/null") {
    const std::string command = kTool + " " + arguments + " > '" + output + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MapBuilder, CampaignMapsRoundTripAtEveryVersion) {
    korvtest::TempDir dir;
    auto fake = std::make_unique<platform::window::FakeWindowSystem>();
    platform::window::SetWindowSystem(std::move(fake));
    for (const char* map : {"Caverns", "Overworld"}) {
        const std::string built = dir.File(std::string(map) + ".map");
        ASSERT_EQ(RunTool("map '" + kSources + map + ".mapsrc' '" + built + "'"), 0) << map;
        MapData reference;
        const std::vector<uint8_t> bytes = ReadBytes(built);
        ASSERT_TRUE(ReadMapDataFromMemory(bytes.data(), bytes.size(), reference, map));
        for (const char* version : {"3.4", "3.3", "3.2", "3.1", "3.0", "2.0"}) {
            SCOPED_TRACE(std::string(map) + " " + version);
            const std::string old = dir.File("old.map");
            const std::string printed = dir.File("old.mapsrc");
            const std::string again = dir.File("again.map");
            ASSERT_EQ(RunTool("map '" + kSources + map + ".mapsrc' '" + old + "' --version " + version), 0);
            ASSERT_EQ(RunTool("print-map '" + old + "'", printed), 0);
            ASSERT_EQ(RunTool("map '" + printed + "' '" + again + "'"), 0);
            const std::vector<uint8_t> oldBytes = ReadBytes(old);
            EXPECT_EQ(ReadBytes(again), oldBytes);
            // Every version reads into the records of the current one, but
            // for what older versions do not store.
            MapData read;
            ASSERT_TRUE(ReadMapDataFromMemory(oldBytes.data(), oldBytes.size(), read, version));
            ASSERT_EQ(read.GetRoomCount(), reference.GetRoomCount());
            const bool palettes = version[0] == '3' && version[2] >= '2';
            for (const auto& column : reference.GetRooms()) {
                for (const auto& room : column.second) {
                    const RoomData& other = read.GetRoom(column.first, room.first);
                    ASSERT_EQ(other.instanceIds.Count(), room.second.instanceIds.Count());
                    for (int32_t i = 0; i < kRoomCells; ++i) {
                        MapCell want = room.second.background[i];
                        if (!palettes) want.palette = 0;
                        ASSERT_EQ(other.background[i], want);
                    }
                    EXPECT_EQ(other.edges[2].nameA, room.second.edges[2].nameA);
                }
            }
            EXPECT_EQ(read.areas.Count(), reference.areas.Count());
        }
    }
    platform::window::SetWindowSystem(nullptr);
}

TEST(MapBuilder, TileSetsRoundTrip) {
    korvtest::TempDir dir;
    for (const char* set : {"Caverns", "Overworld"}) {
        const std::string base = dir.File(set);
        ASSERT_EQ(RunTool("tiles '" + kSources + set + ".tilesrc' '" + base + ".col' '" + base + ".cus' '" + base +
                      ".ani'"),
                  0);
        ASSERT_EQ(RunTool("print-tiles '" + base + ".col' '" + base + ".cus' '" + base + ".ani'", base + ".txt"), 0);
        ASSERT_EQ(RunTool("tiles '" + base + ".txt' '" + base + "2.col' '" + base + "2.cus' '" + base + "2.ani'"), 0);
        for (const char* ext : {".col", ".cus", ".ani"}) {
            EXPECT_EQ(ReadBytes(base + ext), ReadBytes(base + "2" + ext)) << set << ext;
        }
    }
}

TEST(MapBuilder, BrokenSourcesAreRefusedWithoutOutput) {
    korvtest::TempDir dir;
    struct Case {
        const char* what;
        const char* command;
        const char* text;
    };
    const Case cases[] = {
        {"unknown word", "map", "version 3.4\nfloor 1\n"},
        {"grid row too short", "map", "tile . none -1 -1 0\nroom 0 0\nback\n....\n"},
        {"character without a tile", "map",
         "tile . none -1 -1 0\nroom 0 0\nback\n................................x...\n"},
        {"placement outside a room", "map", "place \"a\" \"b\" \"c\" 1 0 0\n"},
        {"unclosed quote", "map", "area 0 0 1 1 props \"<Safe/>\n"},
        {"bad edge side", "map", "room 0 0\nedge middle 0\n"},
        {"collision rows missing", "tiles", "collision 2 2\n1 1\n"},
        {"variant before custom", "tiles", "variant \"a\" \"\" 0 0\n"},
        {"bad frame", "tiles", "anim \"w\" 1 0 4;0\n"},
        {"sheet tile outside", "sheet", "size 1 1\ncolour . 000000\ntile 1 0\n"},
    };
    for (const Case& c : cases) {
        const std::string source = dir.File("bad.txt");
        dir.Write("bad.txt", c.text);
        const std::string out = dir.File("out.bin");
        std::string args = std::string(c.command) + " '" + source + "' '" + out + "'";
        if (std::string(c.command) == "tiles") args += " '" + out + "2' '" + out + "3'";
        EXPECT_EQ(RunTool(args), 1) << c.what;
        EXPECT_TRUE(ReadBytes(out).empty()) << c.what;
    }
    EXPECT_EQ(RunTool("map '" + kSources + "Caverns.mapsrc' '" + dir.File("x.map") + "' --version 9.9"), 2);
    EXPECT_EQ(RunTool("frobnicate"), 2);
    EXPECT_EQ(RunTool("--help"), 0);
}

TEST(MapBuilder, PrintRefusesDamagedFiles) {
    korvtest::TempDir dir;
    const std::string built = dir.File("c.map");
    ASSERT_EQ(RunTool("map '" + kSources + "Overworld.mapsrc' '" + built + "'"), 0);
    std::vector<uint8_t> bytes = ReadBytes(built);
    bytes.resize(bytes.size() - 3);
    dir.Write("cut.map", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(RunTool("print-map '" + dir.File("cut.map") + "'"), 1);
    dir.Write("cut.col", std::string("\x01\x00\xff\xff\xff\x7f\x02\x00\x00\x00", 10));
    EXPECT_EQ(RunTool("print-tiles '" + dir.File("cut.col") + "' - -"), 1);
}

}  // namespace
