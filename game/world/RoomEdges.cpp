#include "game/world/RoomEdges.h"

#include <unordered_map>

namespace {

constexpr int32_t kRoomColumns = 32;
constexpr int32_t kRoomRows = 28;
constexpr int32_t kTile = 8;

bool IsSpecial(const int32_t tileClass) { return tileClass == 4 || tileClass == 6; }

int32_t Sign(const int32_t v) { return (v > 0) - (v < 0); }

int32_t KindOf(const int32_t tileClass) { return tileClass == 0 ? kSpecialOutlineKind : tileClass; }

}  // namespace

void AppendRoomEdges(std::vector<EdgeRecord>& edges, const TileClassQuery& classAt, const int32_t px,
                     const int32_t py) {
    // Between a tile and the one below it.
    for (int32_t i = 0; i < kRoomColumns; ++i) {
        for (int32_t j = -1; j < kRoomRows; ++j) {
            const int32_t a = classAt(i, j);
            const int32_t b = classAt(i, j + 1);
            if (a == b) {
                continue;
            }
            const int32_t x = px + kTile * i;
            const int32_t y = py + kTile * j + kTile;
            if (b != 0 || IsSpecial(a)) {
                edges.push_back({x, y, x + kTile, y, KindOf(b)});
            }
            if ((a != 0 && a != 3) || (a == 0 && IsSpecial(b))) {
                edges.push_back({x + kTile, y, x, y, KindOf(a)});
            }
        }
    }
    // Between a tile and the one to its right.
    for (int32_t r = 0; r < kRoomRows; ++r) {
        for (int32_t j = -1; j < kRoomColumns; ++j) {
            const int32_t a = classAt(j, r);
            const int32_t b = classAt(j + 1, r);
            if (a == b) {
                continue;
            }
            const int32_t x = px + kTile * j + kTile;
            const int32_t y = py + kTile * r;
            if ((b != 0 && b != 3) || (b == 0 && IsSpecial(a))) {
                edges.push_back({x, y + kTile, x, y, KindOf(b)});
            }
            if ((a != 0 && a != 3) || (a == 0 && IsSpecial(b))) {
                edges.push_back({x, y, x, y + kTile, KindOf(a)});
            }
        }
    }
}

void MergeEdges(std::vector<EdgeRecord>& edges) {
    // Same result as scanning the whole list for each edge, pass after pass:
    // the candidates of an end point are kept by start point in list order,
    // so the first one that runs the same way with the same kind is the one
    // the scan would find.
    const auto key = [](const int32_t x, const int32_t y) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
    };
    bool merged = true;
    while (merged) {
        merged = false;
        std::unordered_map<uint64_t, std::vector<size_t>> byStart;
        for (size_t i = 0; i < edges.size(); ++i) {
            byStart[key(edges[i].x1, edges[i].y1)].push_back(i);
        }
        std::vector<bool> removed(edges.size(), false);
        for (size_t i = 0; i < edges.size(); ++i) {
            if (removed[i]) {
                continue;
            }
            EdgeRecord& edge = edges[i];
            const int32_t sx = Sign(edge.x2 - edge.x1);
            const int32_t sy = Sign(edge.y2 - edge.y1);
            const auto found = byStart.find(key(edge.x2, edge.y2));
            if (found == byStart.end()) {
                continue;
            }
            for (const size_t k : found->second) {
                if (k == i || removed[k]) {
                    continue;
                }
                const EdgeRecord& other = edges[k];
                if (other.kind == edge.kind && Sign(other.x2 - other.x1) == sx && Sign(other.y2 - other.y1) == sy) {
                    edge.x2 = other.x2;
                    edge.y2 = other.y2;
                    removed[k] = true;
                    merged = true;
                    break;
                }
            }
        }
        if (merged) {
            size_t out = 0;
            for (size_t i = 0; i < edges.size(); ++i) {
                if (!removed[i]) {
                    edges[out++] = edges[i];
                }
            }
            edges.resize(out);
        }
    }
}
