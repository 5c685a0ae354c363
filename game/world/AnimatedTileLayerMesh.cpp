#include "game/world/AnimatedTileLayerMesh.h"

#include <algorithm>
#include <cmath>

#include "framework/ZBaseGame.h"
#include "framework/ZRuntimeRand.h"
#include "game/world/MapData.h"
#include "game/world/TileDepth.h"
#include "renderer/ZRenderer.h"

int32_t AnimationFrameAt(const TileAnimation& animation, const float t, const float phase) {
    const auto frames = static_cast<int32_t>(animation.frames.Count());
    if (frames == 0 || !(animation.period > 0.0f) || !std::isfinite(animation.period)) {
        return 0;
    }
    const double f = static_cast<double>(t) / static_cast<double>(animation.period) + static_cast<double>(phase);
    const double whole = std::floor(static_cast<double>(frames) * f);
    if (!std::isfinite(whole)) {
        return 0;
    }
    const auto index = static_cast<int64_t>(std::fmod(whole, static_cast<double>(frames)));
    return static_cast<int32_t>(index < 0 ? index + frames : index);
}

AnimatedTileLayerMesh::AnimatedTileLayerMesh() { CreateBuffers(); }

AnimatedTileLayerMesh::~AnimatedTileLayerMesh() {
    ReleaseBuffers();
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveDynamicResource(this);
        renderer->RemoveFromAllRenderGroups(this);
    }
}

void AnimatedTileLayerMesh::CreateBuffers() {
    ReleaseBuffers();
    m_phases.resize(kBatchQuads);
    for (float& phase : m_phases) {
        phase = static_cast<float>(RuntimeRand()) * (1.0f / 32767.0f);
    }
    ZRenderer* const renderer = PeekRenderer();
    if (renderer == nullptr) {
        return;
    }
    renderer->AddDynamicResource(this);
    const std::vector<float> positions(kBatchQuads * 4 * 3, 0.0f);
    const std::vector<float> texCoords(kBatchQuads * 4 * 2, 0.0f);
    const std::vector<float> depths(kBatchQuads * 4, 0.0f);
    std::vector<float> unused;
    std::vector<uint16_t> indices;
    for (uint32_t q = 0; q < kBatchQuads; ++q) {
        AppendTileQuad(unused, indices, 0.0f, 0.0f, 0.0f);
    }
    const ZStreamElement elements[3] = {{positions.data(), 12, 0, true},
                                        {texCoords.data(), 8, 5, true},
                                        {depths.data(), 4, 6, true}};
    if (m_vertices.Create(elements, 3, kBatchQuads * 4) &&
        m_indexBuffer.Create(indices.data(), static_cast<uint32_t>(indices.size()))) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indexBuffer;
    } else {
        m_vertices.Release();
        m_indexBuffer.Release();
    }
}

void AnimatedTileLayerMesh::ReleaseBuffers() {
    m_vertices.Release();
    m_indexBuffer.Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    m_phases.clear();
}

float AnimatedTileLayerMesh::GetPhase(const uint32_t index) const {
    return m_phases.empty() ? 0.0f : m_phases[index % m_phases.size()];
}

void AnimatedTileLayerMesh::ClearAnimations() {
    for (AnimatedTileRecord& record : m_records) {
        record.animation = nullptr;
        record.palette = nullptr;
    }
    m_records.Clear();
}

void AnimatedTileLayerMesh::Build(const MapData& map, const bool layerFlag, const RoomRect& rect,
                                  const bool overworld) {
    m_records.Clear();
    m_overworld = overworld;
    const float z = layerFlag ? kForegroundZ : kBackgroundZ;
    for (int32_t rx = rect.left; rx < rect.right; ++rx) {
        for (int32_t ry = rect.top; ry < rect.bottom; ++ry) {
            for (int32_t cx = 0; cx < kRoomTilesX; ++cx) {
                for (int32_t cy = 0; cy < kRoomTilesY; ++cy) {
                    const MapCell cell = GetTileAt(map, rx, ry, cx, cy, layerFlag);
                    if (cell.kind != kCellAnimated || cell.palette < 0 ||
                        static_cast<uint32_t>(cell.palette) >= map.palettes.Count()) {
                        continue;
                    }
                    const PaletteData& palette = map.palettes[static_cast<uint32_t>(cell.palette)];
                    AnimatedTileRecord record;
                    record.x = static_cast<float>(8 * cx + (rx - map.currentRoomX) * kRoomPixelsX);
                    record.y = static_cast<float>(8 * cy + (ry - map.currentRoomY) * kRoomPixelsY);
                    record.z = z;
                    // An index past the palette's animations draws tile (0, 0).
                    if (cell.column >= 0 && static_cast<uint32_t>(cell.column) < palette.animations.Count()) {
                        record.animation = &palette.animations[static_cast<uint32_t>(cell.column)];
                    }
                    record.palette = &palette;
                    record.uPerPixel = palette.uPerPixel;
                    record.vPerPixel = palette.vPerPixel;
                    record.uOrigin = palette.uOrigin;
                    record.vOrigin = palette.vOrigin;
                    record.layerFlag = layerFlag;
                    m_records.PushBack(record);
                }
            }
        }
    }
}

void AnimatedTileLayerMesh::WriteQuads(const uint32_t first, const uint32_t count, const float t,
                                       float* const positions, float* const texCoords, float* const depths) const {
    std::vector<float> quadPositions;
    std::vector<uint16_t> unusedIndices;
    std::vector<float> quadTexCoords;
    for (uint32_t n = 0; n < count; ++n) {
        const uint32_t i = first + n;
        const AnimatedTileRecord& record = m_records[i];
        int32_t column = 0;
        int32_t row = 0;
        float depth = 0.0f;
        if (record.animation != nullptr && !record.animation->frames.IsEmpty()) {
            const TileAnimation& animation = *record.animation;
            const float phase = animation.randomPhase != 0 ? GetPhase(i) : 0.0f;
            const TileFrame& frame = animation.frames[static_cast<uint32_t>(AnimationFrameAt(animation, t, phase))];
            column = frame.column;
            row = frame.row;
            const TileFrame& firstFrame = animation.frames[0];
            const uint8_t tileClass =
                record.palette != nullptr ? record.palette->GetClass(firstFrame.column, firstFrame.row) : 0;
            depth = GetTileDepth(tileClass, m_overworld, record.layerFlag, true);
            if (record.palette != nullptr) {
                ApplyDepthRegions(record.palette->depthForces, depth, column, row, kCellSheet);
            }
        }
        quadPositions.clear();
        quadTexCoords.clear();
        AppendTileQuad(quadPositions, unusedIndices, record.x, record.y, record.z);
        AppendTileTexCoords(quadTexCoords, record.uOrigin, record.vOrigin, record.uPerPixel, record.vPerPixel, column,
                            row);
        for (uint32_t k = 0; k < 12; ++k) positions[n * 12 + k] = quadPositions[k];
        for (uint32_t k = 0; k < 8; ++k) texCoords[n * 8 + k] = quadTexCoords[k];
        for (uint32_t k = 0; k < 4; ++k) depths[n * 4 + k] = depth;
    }
}

void AnimatedTileLayerMesh::Draw(ZRenderer* const renderer, ZParameterSource* /*renderInstanceSource*/) {
    gfx::Device* const device = renderer != nullptr ? renderer->GetDevice() : nullptr;
    if (device == nullptr || vertexBuffer == nullptr || indexBuffer == nullptr || m_records.IsEmpty()) {
        return;
    }
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    const float t = clock ? clock() : (game != nullptr ? game->GetFixedTime() : 0.0f);
    for (uint32_t first = 0; first < m_records.Count(); first += kBatchQuads) {
        const uint32_t count = std::min<uint32_t>(kBatchQuads, m_records.Count() - first);
        auto* const positions = static_cast<float*>(m_vertices.LockStream(0, true));
        auto* const texCoords = static_cast<float*>(m_vertices.LockStream(1, true));
        auto* const depths = static_cast<float*>(m_vertices.LockStream(2, true));
        const bool locked = positions != nullptr && texCoords != nullptr && depths != nullptr;
        if (locked) {
            WriteQuads(first, count, t, positions, texCoords, depths);
        }
        const void* const streams[3] = {positions, texCoords, depths};
        for (uint32_t s = 0; s < 3; ++s) {
            if (streams[s] != nullptr) {
                m_vertices.UnlockStream(s);
            }
        }
        if (!locked) {
            return;
        }
        renderer->SetVertexBuffer(vertexBuffer);
        renderer->SetIndexBuffer(indexBuffer);
        renderer->Check(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, count * 4, 0, count * 2));
    }
}
