#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/ZArray.h"
#include "game/world/TileLayerMesh.h"
#include "renderer/ZDynamicResource.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

struct PaletteData;
struct TileAnimation;

// One animated cell: where its quad stands, which animation it plays and
// where its palette sits in the atlas.
struct AnimatedTileRecord {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    const TileAnimation* animation = nullptr;  // into the map's palettes; cleared before they go
    const PaletteData* palette = nullptr;
    float uPerPixel = 0.0f;
    float vPerPixel = 0.0f;
    float uOrigin = 0.0f;
    float vOrigin = 0.0f;
    bool layerFlag = false;
};

// The frame of the animation shown at time t (seconds) with the phase added
// (a fraction of a cycle): the whole part of frames x (t / period + phase),
// wrapped into the frames. 0 for an animation without frames or period.
int32_t AnimationFrameAt(const TileAnimation& animation, float t, float phase);

// One layer of the animated tiles of a rectangle of rooms. Every draw works
// out each cell's current frame and streams the quads through one set of
// dynamic buffers, 128 quads at a time. The buffers live in the device's
// default pool, so they are released before a device reset and made again
// after it.
class AnimatedTileLayerMesh : public ZRenderable, public ZDynamicResource {
public:
    static constexpr float kBackgroundZ = 14.0f;
    static constexpr float kForegroundZ = -6.0f;
    static constexpr uint32_t kBatchQuads = 128;

    AnimatedTileLayerMesh();
    ~AnimatedTileLayerMesh() override;
    AnimatedTileLayerMesh(const AnimatedTileLayerMesh&) = delete;
    AnimatedTileLayerMesh& operator=(const AnimatedTileLayerMesh&) = delete;

    // Collects a record for every animated cell of the layer in the rectangle.
    void Build(const MapData& map, bool layerFlag, const RoomRect& rect, bool overworld);
    // Forgets every record (before the palettes they point into go).
    void ClearAnimations();
    const ZArray<AnimatedTileRecord>& GetRecords() const { return m_records; }

    // Writes the quads of records [first, first + count) at time t: four
    // corners each, with texture coordinates and depth values.
    void WriteQuads(uint32_t first, uint32_t count, float t, float* positions, float* texCoords,
                    float* depths) const;
    // The phase table entry (0..1) of a record index.
    float GetPhase(uint32_t index) const;

    void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) override;
    void ReleaseResource() override { ReleaseBuffers(); }
    void RenewResource() override { CreateBuffers(); }

    // Makes the dynamic buffers, the fixed index pattern and a new phase
    // table, and listens for device resets.
    void CreateBuffers();
    void ReleaseBuffers();
    bool HasBuffers() const { return vertexBuffer != nullptr; }

    // The time animations are drawn at; unset: the game's fixed-step clock.
    std::function<float()> clock;

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indexBuffer;
    std::vector<float> m_phases;  // kBatchQuads entries once made
    ZArray<AnimatedTileRecord> m_records;
    bool m_overworld = false;
};
