#include "game/world/TileLayerMesh.h"

#include "foundation/ZLog.h"
#include "game/world/MapData.h"
#include "game/world/TileDepth.h"
#include "renderer/ZRenderer.h"

namespace {

// 16-bit indices reach 65536 vertices: 18 full rooms of one layer.
constexpr size_t kMaxVertices = 65536;

}  // namespace

void AppendTileQuad(std::vector<float>& positions, std::vector<uint16_t>& indices, const float x, const float y,
                    const float z) {
    const auto base = static_cast<uint16_t>(positions.size() / 3);
    const float corners[4][2] = {{x, y}, {x + 8.0f, y}, {x, y + 8.0f}, {x + 8.0f, y + 8.0f}};
    for (const auto& c : corners) {
        positions.insert(positions.end(), {c[0], c[1], z});
    }
    for (const uint16_t i : {0, 2, 1, 1, 2, 3}) {
        indices.push_back(static_cast<uint16_t>(base + i));
    }
}

void AppendTileTexCoords(std::vector<float>& texCoords, const float uOrigin, const float vOrigin,
                         const float uPerPixel, const float vPerPixel, const int32_t column, const int32_t row) {
    const float left = uOrigin + static_cast<float>(8 * column) * uPerPixel;
    const float right = uOrigin + static_cast<float>(8 * column + 8) * uPerPixel;
    const float top = vOrigin + static_cast<float>(8 * row) * vPerPixel;
    const float bottom = vOrigin + static_cast<float>(8 * row + 8) * vPerPixel;
    texCoords.insert(texCoords.end(), {left, top, right, top, left, bottom, right, bottom});
}

TileLayerMesh::TileLayerMesh(UnitQuad) {
    static constexpr float kCorners[4][3] = {
        {-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    if (BuildQuadGeometry(kCorners, kTexCoords, kIndices, m_vertices, m_indexBuffer)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indexBuffer;
    } else {
        ReleaseBuffers();
    }
}

TileLayerMesh::~TileLayerMesh() {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
    ReleaseBuffers();
}

void TileLayerMesh::ReleaseBuffers() {
    m_vertices.Release();
    m_indexBuffer.Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
}

void TileLayerMesh::Build(const MapData& map, const bool layerFlag, const RoomRect& rect, const bool overworld,
                          const PowerupHolder* const holder) {
    ReleaseBuffers();
    m_positions.clear();
    m_texCoords.clear();
    m_depths.clear();
    m_indices.clear();
    const float z = layerFlag ? kForegroundZ : kBackgroundZ;
    bool full = false;
    for (int32_t rx = rect.left; rx < rect.right && !full; ++rx) {
        for (int32_t ry = rect.top; ry < rect.bottom && !full; ++ry) {
            const float ox = static_cast<float>((rx - map.currentRoomX) * kRoomPixelsX);
            const float oy = static_cast<float>((ry - map.currentRoomY) * kRoomPixelsY);
            for (int32_t cx = 0; cx < kRoomTilesX && !full; ++cx) {
                for (int32_t cy = 0; cy < kRoomTilesY; ++cy) {
                    const MapCell cell = GetTileAt(map, rx, ry, cx, cy, layerFlag);
                    if ((cell.kind != kCellSheet && cell.kind != kCellCustom) || cell.column == -1 ||
                        cell.row == -1 || cell.palette < 0 ||
                        static_cast<uint32_t>(cell.palette) >= map.palettes.Count()) {
                        continue;
                    }
                    int32_t column = 0;
                    int32_t row = 0;
                    if (!ResolveSheetTile(map, cell, holder, column, row)) {
                        continue;
                    }
                    if (m_positions.size() / 3 + 4 > kMaxVertices) {
                        ZLog::Printf("World layer: more tiles than one mesh holds; the rest of rooms %d..%d x %d..%d "
                                     "is not drawn.",
                                     rect.left, rect.right - 1, rect.top, rect.bottom - 1);
                        full = true;
                        break;
                    }
                    const PaletteData& palette = map.palettes[static_cast<uint32_t>(cell.palette)];
                    float depth = GetTileDepth(palette.GetClass(column, row), overworld, layerFlag, false);
                    ApplyDepthRegions(palette.depthForces, depth, column, row, cell.kind);
                    AppendTileQuad(m_positions, m_indices, ox + static_cast<float>(8 * cx),
                                   oy + static_cast<float>(8 * cy), z);
                    AppendTileTexCoords(m_texCoords, palette.uOrigin, palette.vOrigin, palette.uPerPixel,
                                        palette.vPerPixel, column, row);
                    m_depths.insert(m_depths.end(), {depth, depth, depth, depth});
                }
            }
        }
    }
    if (m_depths.empty() || PeekRenderer() == nullptr) {
        return;
    }
    const auto vertexCount = static_cast<uint32_t>(m_depths.size());
    const ZStreamElement elements[3] = {{m_positions.data(), 12, 0, false},
                                        {m_texCoords.data(), 8, 5, false},
                                        {m_depths.data(), 4, 6, false}};
    if (m_vertices.Create(elements, 3, vertexCount) &&
        m_indexBuffer.Create(m_indices.data(), static_cast<uint32_t>(m_indices.size()))) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indexBuffer;
    } else {
        ReleaseBuffers();
    }
}
