#include "renderer/ZSpriteBatch.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderer.h"

void BuildQuadIndices(uint16_t* indices, const uint32_t quads) {
    for (uint32_t q = 0; q < quads; ++q) {
        const auto b = static_cast<uint16_t>(4 * q);
        uint16_t* at = indices + 6 * q;
        at[0] = b;
        at[1] = static_cast<uint16_t>(b + 2);
        at[2] = static_cast<uint16_t>(b + 1);
        at[3] = static_cast<uint16_t>(b + 1);
        at[4] = static_cast<uint16_t>(b + 2);
        at[5] = static_cast<uint16_t>(b + 3);
    }
}

bool CreateQuadBatchBuffers(ZVertexBuffer& vertices, ZIndexBuffer& indices, const uint32_t maxQuads,
                            const uint32_t initialColour) {
    vertices.Release();
    indices.Release();
    const uint32_t vertexCount = maxQuads * 4;
    const auto zeros = std::make_unique<uint8_t[]>(size_t{vertexCount} * 12);
    std::memset(zeros.get(), 0, size_t{vertexCount} * 12);
    const auto colours = std::make_unique<uint32_t[]>(vertexCount);
    std::fill(colours.get(), colours.get() + vertexCount, initialColour);
    const ZStreamElement elements[4] = {
        {zeros.get(), 12, 0, true},    // position
        {zeros.get(), 8, 5, true},     // texture coordinate 0
        {zeros.get(), 8, 6, true},     // texture coordinate 1
        {colours.get(), 4, 4, true},   // colour
    };
    const auto quadIndices = std::make_unique<uint16_t[]>(size_t{maxQuads} * 6);
    BuildQuadIndices(quadIndices.get(), maxQuads);
    if (!vertices.Create(elements, 4, vertexCount) || !indices.Create(quadIndices.get(), maxQuads * 6)) {
        vertices.Release();
        indices.Release();
        return false;
    }
    return true;
}

ZSpriteBatch::ZSpriteBatch() {
    m_quads.SetFixed(true);
    vertexBuffer = &m_vertices;
    indexBuffer = &m_indices;
    CreateBuffers();
    GetRenderer()->AddDynamicResource(this);
}

ZSpriteBatch::~ZSpriteBatch() {
    ReleaseBuffers();
    // Nothing may draw or show pictures through a batch that is gone.
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveDynamicResource(this);
        renderer->RemoveFromAllRenderGroups(this);
    }
    if (ZGlyphSheetMgr* sheets = PeekGlyphSheetMgr()) {
        sheets->Remove(this);
    }
}

bool ZSpriteBatch::CreateBuffers() {
    // Zeroed streams, so that a draw before the first write shows nothing stray.
    return CreateQuadBatchBuffers(m_vertices, m_indices, kMaxQuads, 0u);
}

void ZSpriteBatch::ReleaseBuffers() {
    m_vertices.Release();
    m_indices.Release();
}

void ZSpriteBatch::ReleaseResource() {
    ReleaseBuffers();
}

void ZSpriteBatch::RenewResource() {
    CreateBuffers();
}

void ZSpriteBatch::AddSprite(const int32_t key, const ZSpriteFrame& frame) {
    if (!m_frames.Contains(key)) {
        m_frames.Insert(key, frame);
    }
}

const ZSpriteFrame* ZSpriteBatch::FindSprite(const int32_t key) const {
    const auto* node = m_frames.Find(key);
    return node != nullptr ? &node->value : nullptr;
}

void ZSpriteBatch::AddFrame(const ZHashedString name, const Frame& frame) {
    ZSpriteFrame sprite;
    sprite.u = frame.u;
    sprite.v = frame.v;
    sprite.uWidth = frame.width;
    sprite.vHeight = frame.height;
    sprite.width = frame.sizeX;
    sprite.height = frame.sizeY;
    sprite.originX = frame.originX;
    sprite.originY = frame.originY;
    AddSprite(static_cast<int32_t>(name.GetId()), sprite);
}

bool ZSpriteBatch::AddGlyphQuad(const int32_t key, float* penX, const float* penY, const float scaleX,
                                const float scaleY, const ZColor32 topColor, const ZColor32 bottomColor,
                                const uint32_t user0, const uint32_t user1, const float scale) {
    const ZSpriteFrame* frame = FindSprite(key);
    if (frame == nullptr || penX == nullptr || penY == nullptr) {
        return false;
    }
    // Quads past the limit would never be drawn; not keeping them also bounds
    // the list of a sheet that no pass draws (and so never empties).
    if (m_quads.Count() >= kMaxQuads) {
        *penX += frame->width * scaleX * scale;
        return true;
    }
    ZSpriteQuad quad;
    quad.frame = *frame;
    quad.x = *penX;
    quad.y = -*penY;
    quad.scaleX = scaleX;
    quad.scaleY = scaleY;
    quad.user0 = user0;
    quad.user1 = user1;
    quad.topColor = topColor;
    quad.bottomColor = bottomColor;
    quad.scale = scale;
    m_quads.PushBack(quad);
    *penX += frame->width * scaleX * scale;
    return true;
}

void ZSpriteBatch::MeasureGlyph(const int32_t key, const float a, const float b, float* penX) const {
    const ZSpriteFrame* frame = FindSprite(key);
    if (frame != nullptr && penX != nullptr) {
        *penX += frame->width * a * b;
    }
}

void ZSpriteBatch::Draw(ZRenderer* renderer, ZParameterSource* /*renderInstanceSource*/) {
    if (renderer == nullptr) {
        return;
    }
    gfx::Device* device = renderer->GetDevice();
    uint32_t written = 0;
    // A batch made before the device has its buffers made at its first draw.
    if (device != nullptr && !m_quads.IsEmpty() && !HasBuffers()) {
        CreateBuffers();
    }
    if (device != nullptr && HasBuffers() && !m_quads.IsEmpty()) {
        auto* positions = static_cast<float*>(m_vertices.LockStream(0, true));
        auto* uv0 = static_cast<float*>(m_vertices.LockStream(1, true));
        auto* uv1 = static_cast<float*>(m_vertices.LockStream(2, true));
        auto* colours = static_cast<uint32_t*>(m_vertices.LockStream(3, true));
        if (positions != nullptr && uv0 != nullptr && uv1 != nullptr && colours != nullptr) {
            for (const ZSpriteQuad& q : m_quads) {
                if (written >= kMaxVertices) {
                    break;  // the surplus of a crowded frame is not drawn
                }
                const ZSpriteFrame& f = q.frame;
                const float left = q.x + q.scaleX * f.originX * q.scale - 0.5f;
                const float right = left + f.width * q.scaleX * q.scale;
                const float top = -q.y - f.originY * q.scaleY * q.scale + 0.5f;
                const float bottom = top - f.height * q.scaleY * q.scale;
                const float xs[4] = {left, right, left, right};
                const float ys[4] = {top, top, bottom, bottom};
                const float us[4] = {f.u, f.u + f.uWidth, f.u, f.u + f.uWidth};
                const float vs[4] = {f.v, f.v, f.v + f.vHeight, f.v + f.vHeight};
                const float a = (1.0f - f.width) * 0.5f;
                const float c = (1.0f - f.height) * 0.5f;
                const float ss[4] = {a, 1.0f - a, a, 1.0f - a};
                const float ts[4] = {c, c, 1.0f - c, 1.0f - c};
                const uint32_t top32 = q.topColor.ToARGB();
                const uint32_t bottom32 = q.bottomColor.ToARGB();
                const uint32_t cs[4] = {top32, top32, bottom32, bottom32};
                for (int k = 0; k < 4; ++k, ++written) {
                    float* p = positions + 3 * written;
                    p[0] = xs[k];
                    p[1] = ys[k];
                    p[2] = 0.0f;
                    uv0[2 * written] = us[k];
                    uv0[2 * written + 1] = vs[k];
                    uv1[2 * written] = ss[k];
                    uv1[2 * written + 1] = ts[k];
                    colours[written] = cs[k];
                }
            }
        }
        const void* locked[4] = {positions, uv0, uv1, colours};
        for (uint32_t s = 0; s < 4; ++s) {
            if (locked[s] != nullptr) {
                m_vertices.UnlockStream(s);
            }
        }
    }
    // Two triangles per four vertices.
    const uint32_t primitives = written / 2;
    if (primitives > 0) {
        renderer->SetVertexBuffer(&m_vertices);
        renderer->SetIndexBuffer(&m_indices);
        if (renderer->currentIndexCount > 0) {
            renderer->Check(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0,
                                                         renderer->currentVertexCount, 0, primitives));
        }
    }
    if (renderer->finalView) {
        m_quads.Resize(0);
    }
}
