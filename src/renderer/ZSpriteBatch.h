#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZMap.h"
#include "input/ZGamepadGlyphSheet.h"
#include "renderer/ZDynamicResource.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

// A picture cut from the batch's texture: its texture rectangle, its size in
// pixels (the width is also the pen advance) and its origin.
struct ZSpriteFrame {
    float u = 0.0f;
    float v = 0.0f;
    float uWidth = 0.0f;
    float vHeight = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float originX = 0.0f;
    float originY = 0.0f;
};

// One queued quad: the frame it shows, the pen position (y stored negated),
// its scales, two words the caller may use, its colours and an overall scale.
struct ZSpriteQuad {
    ZSpriteFrame frame;
    float x = 0.0f;
    float y = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    uint32_t user0 = 0;
    uint32_t user1 = 0;
    ZColor32 topColor;     // opaque black unless given
    ZColor32 bottomColor;
    float scale = 1.0f;
};

// Textured quads of one texture, collected during a frame and drawn with one
// indexed draw call: glyph sheets of the interface and of input prompts, and
// the pictures fonts put inside text. Frames are stored under a signed key
// (a character code, or a hashed name's id for glyph sheets).
//
// Positions are pixels with y growing upward; the shader that draws the
// batch maps them to the screen. The -0.5/+0.5 terms of the corners put
// texel centres on pixel centres.
//
// The quads stay queued until the batch is drawn while the renderer's
// final-view flag is set, so both eyes of a headset frame draw the same quads.
// At most kMaxQuads are kept and drawn per frame; the rest are dropped
// without a word.
class ZSpriteBatch : public ZRenderable, public ZGlyphSheetTarget, public ZDynamicResource {
public:
    static constexpr uint32_t kMaxQuads = 256;
    static constexpr uint32_t kMaxVertices = kMaxQuads * 4;

    // Creates the drawing buffers (without a device yet: at the first draw)
    // and registers for their re-creation around device resets.
    ZSpriteBatch();
    // Leaves the renderer's dynamic resources, every render group and the
    // glyph-sheet manager.
    ~ZSpriteBatch() override;

    // Stores the frame under the key unless the key has one (the first wins).
    void AddSprite(int32_t key, const ZSpriteFrame& frame);
    // The key's frame, or null.
    const ZSpriteFrame* FindSprite(int32_t key) const;
    uint32_t GetSpriteCount() const { return m_frames.Count(); }

    // Queues the key's frame at the pen (y in the y-up space) and advances the
    // pen x by width x scaleX x scale (also when the frame's quads are full).
    // False, and the pen unmoved, when the key has no frame.
    bool AddGlyphQuad(int32_t key, float* penX, const float* penY, float scaleX, float scaleY, ZColor32 topColor,
                      ZColor32 bottomColor, uint32_t user0 = 0, uint32_t user1 = 0, float scale = 1.0f);
    // pen x += the key's width x a x b; nothing for a key without a frame.
    void MeasureGlyph(int32_t key, float a, float b, float* penX) const;

    // Writes the queued quads (the first kMaxQuads) and draws them with the
    // current effect pass; empties the queue when the view is the final one.
    void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) override;

    const ZArray<ZSpriteQuad>& GetQuads() const { return m_quads; }
    // Forgets the queued quads (their storage stays).
    void ClearQuads() { m_quads.Resize(0); }

    // The glyph-sheet side: a frame stored under the name's id.
    void AddFrame(ZHashedString name, const Frame& frame) override;

    // Device-reset hooks: drop and re-create the drawing buffers.
    void ReleaseResource() override;
    void RenewResource() override;

    bool HasBuffers() const { return m_vertices.declaration != nullptr && m_indices.buffer != nullptr; }

private:
    bool CreateBuffers();
    void ReleaseBuffers();

    ZMap<int32_t, ZSpriteFrame> m_frames;
    ZArray<ZSpriteQuad> m_quads;
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};

// Indices of a batch of quads: 4q, 4q + 2, 4q + 1, 4q + 1, 4q + 2, 4q + 3 for
// quad q (6 x quads entries).
void BuildQuadIndices(uint16_t* indices, uint32_t quads);

// (Re)creates the dynamic streams of a quad batch (position, two texture
// coordinates, colour; positions and coordinates zeroed, every colour
// initialColour) and its index buffer. Releases both and answers false on failure.
bool CreateQuadBatchBuffers(ZVertexBuffer& vertices, ZIndexBuffer& indices, uint32_t maxQuads,
                            uint32_t initialColour);
