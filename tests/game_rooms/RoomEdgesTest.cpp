// Collision edges from tile classes: which sides of which tiles become edges,
// how they are wound, and how runs of them merge; checked as tables of
// segments for small rooms drawn as text.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "game/world/RoomEdges.h"

namespace {

// A room drawn as rows of class digits ('.' is 0); rows and columns beyond
// the drawing (and the neighbouring rooms) are class 0.
struct DrawnRoom {
    std::vector<std::string> rows;
    uint8_t operator()(const int32_t column, const int32_t row) const {
        if (row < 0 || row >= static_cast<int32_t>(rows.size()) || column < 0 ||
            column >= static_cast<int32_t>(rows[static_cast<size_t>(row)].size())) {
            return 0;
        }
        const char c = rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
        return c == '.' ? 0 : static_cast<uint8_t>(c - '0');
    }
};

std::vector<EdgeRecord> MergedEdges(const DrawnRoom& room, int32_t px = 0, int32_t py = 0) {
    std::vector<EdgeRecord> edges;
    AppendRoomEdges(edges, room, px, py);
    MergeEdges(edges);
    return edges;
}

std::string Describe(const std::vector<EdgeRecord>& edges) {
    std::string out;
    for (const EdgeRecord& e : edges) {
        out += "(" + std::to_string(e.x1) + "," + std::to_string(e.y1) + ")->(" + std::to_string(e.x2) + "," +
               std::to_string(e.y2) + ") k" + std::to_string(e.kind) + "\n";
    }
    return out;
}

TEST(RoomEdges, SmallRoomsGiveTheseSegments) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        std::vector<EdgeRecord> edges;
    };
    const std::string floorRow(32, '1');
    const Case cases[] = {
        {"one solid tile: four sides wound clockwise on screen",
         {"", "", ".1"},
         {{8, 16, 16, 16, 1}, {16, 24, 8, 24, 1}, {8, 24, 8, 16, 1}, {16, 16, 16, 24, 1}}},
        {"a platform gets its top only", {"", "", ".3"}, {{8, 16, 16, 16, 3}}},
        {"a run of floor merges into one top edge",
         {"", "", ".111"},
         {{8, 16, 32, 16, 1}, {32, 24, 8, 24, 1}, {8, 24, 8, 16, 1}, {32, 16, 32, 24, 1}}},
        {"a special tile is outlined by its empty neighbours",
         {"", ".4"},
         {{8, 8, 16, 8, 4},
          {16, 8, 8, 8, 128},
          {8, 16, 16, 16, 128},
          {16, 16, 8, 16, 4},
          {8, 16, 8, 8, 4},
          {8, 8, 8, 16, 128},
          {16, 16, 16, 8, 128},
          {16, 8, 16, 16, 4}}},
        {"two kinds side by side meet in two walls",
         {"15"},
         {{0, 0, 8, 0, 1}, {8, 0, 16, 0, 5}, {0, 8, 0, 0, 1}, {8, 8, 8, 0, 5}, {8, 0, 8, 8, 1}, {16, 0, 16, 8, 5}, {8, 8, 0, 8, 1},
          {16, 8, 8, 8, 5}}},
    };
    for (const Case& c : cases) {
        const std::vector<EdgeRecord> edges = MergedEdges(DrawnRoom{c.rows});
        std::vector<EdgeRecord> sortedGot = edges;
        std::vector<EdgeRecord> sortedWant = c.edges;
        const auto less = [](const EdgeRecord& a, const EdgeRecord& b) {
            return std::tie(a.x1, a.y1, a.x2, a.y2, a.kind) < std::tie(b.x1, b.y1, b.x2, b.y2, b.kind);
        };
        std::sort(sortedGot.begin(), sortedGot.end(), less);
        std::sort(sortedWant.begin(), sortedWant.end(), less);
        EXPECT_EQ(sortedGot, sortedWant) << c.what << "\n" << Describe(edges);
    }
}

TEST(RoomEdges, AFullFloorIsOneEdgeAcrossTheRoom) {
    DrawnRoom room;
    room.rows.assign(27, "");
    room.rows.push_back(std::string(32, '1'));
    const std::vector<EdgeRecord> edges = MergedEdges(room, 256, -224);
    // The top, and the sides facing the empty rooms beside and below.
    const EdgeRecord top{256, -224 + 216, 512, -224 + 216, 1};
    ASSERT_FALSE(edges.empty());
    EXPECT_EQ(edges[0], top) << Describe(edges);
    EXPECT_EQ(edges.size(), 4u) << Describe(edges);
}

TEST(RoomEdges, MergeTakesTheFirstMatchAndKeepsKindAndDirection) {
    struct Case {
        const char* what;
        std::vector<EdgeRecord> in;
        std::vector<EdgeRecord> out;
    };
    const Case cases[] = {
        {"chain in reverse order", {{16, 0, 24, 0, 1}, {8, 0, 16, 0, 1}, {0, 0, 8, 0, 1}}, {{0, 0, 24, 0, 1}}},
        {"another kind stops the run", {{0, 0, 8, 0, 1}, {8, 0, 16, 0, 5}}, {{0, 0, 8, 0, 1}, {8, 0, 16, 0, 5}}},
        {"a turn stops the run", {{0, 0, 8, 0, 1}, {8, 0, 8, 8, 1}}, {{0, 0, 8, 0, 1}, {8, 0, 8, 8, 1}}},
        {"opposite directions never join", {{0, 0, 8, 0, 1}, {8, 0, 0, 0, 1}}, {{0, 0, 8, 0, 1}, {8, 0, 0, 0, 1}}},
        {"the first of two candidates wins",
         {{0, 0, 8, 0, 1}, {8, 0, 16, 0, 1}, {8, 0, 24, 0, 1}},
         {{0, 0, 16, 0, 1}, {8, 0, 24, 0, 1}}},
    };
    for (const Case& c : cases) {
        std::vector<EdgeRecord> edges = c.in;
        MergeEdges(edges);
        EXPECT_EQ(edges, c.out) << c.what << "\n" << Describe(edges);
    }
}

TEST(RoomEdges, NeighbouringRoomsBorderTilesAreRead) {
    // A solid column on the room's left border, and the room to the left
    // solid too: no wall between them.
    const auto classAt = [](const int32_t column, const int32_t row) -> uint8_t {
        return (column <= 0 && row == 5) ? 1 : 0;
    };
    std::vector<EdgeRecord> edges;
    AppendRoomEdges(edges, classAt, 0, 0);
    for (const EdgeRecord& e : edges) {
        EXPECT_FALSE(e.x1 == 0 && e.x2 == 0) << "no wall on the shared border\n" << Describe(edges);
    }
}

}  // namespace
