#pragma once

#include <cstdint>
#include <vector>

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class MapData;
class PowerupHolder;

// The room rectangle a build covers, in rooms: left <= x < right, top <= y < bottom.
struct RoomRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// One layer of the static tiles of a rectangle of rooms: one 8 x 8 quad per
// drawn cell (sheet and custom tiles), positioned in world pixels from the
// map's current room, cut from the tile atlas, with the tile's stereo depth
// per vertex. Streams: position, texture coordinate, depth value.
class TileLayerMesh : public ZRenderable {
public:
    static constexpr float kBackgroundZ = 15.0f;
    static constexpr float kForegroundZ = -5.0f;

    TileLayerMesh() = default;
    // The unit quad: corners -0.5..0.5 (top-left, top-right, bottom-left,
    // bottom-right, y down), texture coordinates 0..1 with v = 0 at the top,
    // two streams (no depth value). The game keeps one as the sprite quad
    // the player's and the ghost's sprites draw with. Without a device it
    // has no buffers and draws nothing.
    struct UnitQuad {};
    explicit TileLayerMesh(UnitQuad);
    ~TileLayerMesh() override;
    TileLayerMesh(const TileLayerMesh&) = delete;
    TileLayerMesh& operator=(const TileLayerMesh&) = delete;

    // Rebuilds the buffers from the map's cells of the layer (foreground when
    // layerFlag) in the rectangle. overworld picks the flat depth rule;
    // holder answers the powerups custom tiles look at (null before the
    // player exists). A rectangle of nothing, or cells that draw nothing,
    // leave the mesh without buffers.
    void Build(const MapData& map, bool layerFlag, const RoomRect& rect, bool overworld, const PowerupHolder* holder);

    // What the last build wrote (the buffers hold the same).
    const std::vector<float>& GetPositions() const { return m_positions; }
    const std::vector<float>& GetTexCoords() const { return m_texCoords; }
    const std::vector<float>& GetDepths() const { return m_depths; }
    const std::vector<uint16_t>& GetIndices() const { return m_indices; }
    uint32_t GetQuadCount() const { return static_cast<uint32_t>(m_depths.size() / 4); }

private:
    void ReleaseBuffers();

    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indexBuffer;
    std::vector<float> m_positions;
    std::vector<float> m_texCoords;
    std::vector<float> m_depths;
    std::vector<uint16_t> m_indices;
};

// Appends the four corners of the quad whose top-left corner is (x, y), in
// the order top-left, top-right, bottom-left, bottom-right, and its six
// indices (0, 2, 1, 1, 2, 3 from the first corner).
void AppendTileQuad(std::vector<float>& positions, std::vector<uint16_t>& indices, float x, float y, float z);
// The four corners' texture coordinates of sheet tile (column, row).
void AppendTileTexCoords(std::vector<float>& texCoords, float uOrigin, float vOrigin, float uPerPixel,
                         float vPerPixel, int32_t column, int32_t row);
