#include "support/PlayRoom.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZCollisionWorld.h"
#include "foundation/ZArray.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"

namespace playtest {

namespace {

struct Scenery : ZCollisionOwner {
    ZRTTIBase* GetSpatial() override { return nullptr; }
};
Scenery gScenery;

bool Blocks(ZCollisionInterface*, ZCollisionInterface*) { return true; }
bool Passes(ZCollisionInterface*, ZCollisionInterface*) { return false; }
bool Always(ZCollisionInterface*, ZCollisionInterface*) { return true; }

// One-way lines let a dropping player through.
bool AcceptOneWay(ZCollisionInterface*, ZCollisionInterface* other, const CollisionResult&) {
    const Player* const player = GetPlayer();
    if (player == nullptr || player->collision == nullptr || other != player->collision->GetPrimary()) {
        return true;
    }
    return !(player->dropThroughTimer > 0.0f);
}

ZVector3 MoverExtents(const ZCollisionInterface& mover) {
    if (const auto* box = DynamicCast<ZCollisionBox>(&mover)) {
        return box->halfExtents;
    }
    return {};
}

// A one-sided segment whose solid side is to its left, grown by the mover's
// box: pushed out along its normal and lengthened at both ends.
class Line : public ZCollisionInterface {
    Z_RTTI(Line, ZCollisionInterface)

public:
    explicit Line(const PlayLine& line) : a(line.a), b(line.b), kind(line.kind) {
        owner = &gScenery;
        blocker = line.solid ? &Blocks : &Passes;
        gate = &Always;
        if (kind == 3) {
            accept = &AcceptOneWay;
        }
        filterMask = 1;
    }
    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override {
        const ZVector3 grow = MoverExtents(mover);
        const ZVector3 e = (b - a).Normalized();
        const ZVector3 n(e.y, -e.x, 0.0f);
        const float out = std::fabs(n.x) * grow.x + std::fabs(n.y) * grow.y;
        const float along = std::fabs(e.x) * grow.x + std::fabs(e.y) * grow.y;
        ZCollisionFeature f;
        f.kind = ZCollisionFeature::kSegment;
        f.a = a + n * out - e * along;
        f.b = b + n * out + e * along;
        list.PushBack(f);
        return true;
    }
    void GetBounds(float out[6]) const override {
        out[0] = std::min(a.x, b.x) - 64.0f;
        out[1] = std::min(a.y, b.y) - 64.0f;
        out[2] = -10.0f;
        out[3] = std::max(a.x, b.x) + 64.0f;
        out[4] = std::max(a.y, b.y) + 64.0f;
        out[5] = 10.0f;
    }
    ZVector3 a;
    ZVector3 b;
    int kind;
};

bool LineKind(const ZCollisionInterface* other, int32_t& kind) {
    if (const auto* line = DynamicCast<Line>(other)) {
        kind = line->kind;
        return true;
    }
    return false;
}

int SolidKind(const char c) {
    switch (c) {
        case '#': return 1;
        case '^': return 2;
        case '=': return 3;
        case '/': return 5;
        default: return 0;
    }
}

int WaterKind(const char c) { return c == '~' ? 4 : (c == '%' ? 6 : 0); }

}  // namespace

PlayRoom::PlayRoom(const std::vector<std::string>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = height > 0 ? static_cast<int>(rows[0].size()) : 0;
    for (int y = 0; y < height; ++y) {
        if (static_cast<int>(rows[y].size()) != width) {
            m_error = "row " + std::to_string(y) + " is " + std::to_string(rows[y].size()) + " wide, not " +
                      std::to_string(width);
            return;
        }
        for (int x = 0; x < width; ++x) {
            if (std::string(".#=^/~%P").find(rows[y][x]) == std::string::npos) {
                m_error = std::string("unknown tile '") + rows[y][x] + "' at " + std::to_string(x) + ", " +
                          std::to_string(y);
                return;
            }
            if (rows[y][x] == 'P') {
                m_start = ZVector3(x * 8.0f + 4.0f, (y + 1) * 8.0f - 8.0f - 0.015f, 0.0f);
            }
        }
    }
    const auto at = [&](const int x, const int y) {
        return x < 0 || y < 0 || x >= width || y >= height ? '.' : rows[y][x];
    };
    // Faces: for each direction, walk the runs of cells whose face borders open space.
    struct Face {
        int dx, dy;  // towards the open neighbour
    };
    const Face faces[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (const Face& face : faces) {
        const bool horizontal = face.dx == 0;
        const int outer = horizontal ? height : width;
        const int inner = horizontal ? width : height;
        for (int o = 0; o < outer; ++o) {
            int runStart = -1;
            int runKind = 0;
            const auto flush = [&](const int end) {
                if (runStart < 0) return;
                PlayLine line;
                line.kind = runKind;
                const float s = runStart * 8.0f;
                const float t = end * 8.0f;
                if (horizontal) {
                    const float yy = (face.dy < 0 ? o : o + 1) * 8.0f;
                    line.a = face.dy < 0 ? ZVector3(s, yy, 0) : ZVector3(t, yy, 0);
                    line.b = face.dy < 0 ? ZVector3(t, yy, 0) : ZVector3(s, yy, 0);
                } else {
                    const float xx = (face.dx < 0 ? o : o + 1) * 8.0f;
                    line.a = face.dx < 0 ? ZVector3(xx, t, 0) : ZVector3(xx, s, 0);
                    line.b = face.dx < 0 ? ZVector3(xx, s, 0) : ZVector3(xx, t, 0);
                }
                m_lines.push_back(line);
                runStart = -1;
            };
            for (int i = 0; i <= inner; ++i) {
                int kind = 0;
                if (i < inner) {
                    const int x = horizontal ? i : o;
                    const int y = horizontal ? o : i;
                    const char here = at(x, y);
                    const char there = at(x + face.dx, y + face.dy);
                    kind = SolidKind(here);
                    if (kind != 0 && SolidKind(there) != 0) kind = 0;
                    if (kind == 3 && face.dy != -1) kind = 0;
                }
                if (kind != runKind || kind == 0) {
                    flush(i);
                }
                if (kind != 0 && runStart < 0) {
                    runStart = i;
                    runKind = kind;
                }
            }
        }
    }
    // Water surfaces: a line facing up that enters, the same line facing down that leaves.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int kind = WaterKind(at(x, y));
            if (kind == 0 || WaterKind(at(x, y - 1)) != 0) continue;
            int end = x;
            while (end < width && WaterKind(at(end, y)) == kind && WaterKind(at(end, y - 1)) == 0) ++end;
            const float yy = y * 8.0f;
            m_lines.push_back({ZVector3(x * 8.0f, yy, 0), ZVector3(end * 8.0f, yy, 0), kind, false});
            m_lines.push_back({ZVector3(end * 8.0f, yy, 0), ZVector3(x * 8.0f, yy, 0), 128, false});
            x = end - 1;
        }
    }
    for (const PlayLine& line : m_lines) {
        m_shapes.push_back(std::make_unique<Line>(line));
    }
    GetEdgeKindQuery() = &LineKind;
}

PlayRoom::~PlayRoom() {
    if (GetEdgeKindQuery() == &LineKind) {
        GetEdgeKindQuery() = nullptr;
    }
}

}  // namespace playtest
