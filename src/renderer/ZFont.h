#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZUpdatable.h"
#include "renderer/ZDynamicResource.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class ZSpriteBatch;

// One glyph of a font: the corners of its box on the sheet (top-left,
// bottom-right), its ink width and the blank space before and after it, in
// pixels.
struct ZFontGlyph {
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 0.0f;
    float v1 = 0.0f;
    float width = 0.0f;
    float before = 0.0f;
    float after = 0.0f;
};

// The contents of a glyph table file (".uv").
struct ZGlyphTable {
    static constexpr uint32_t kMetricCount = 14;

    bool oldLayout = false;  // no "font" magic: one-byte character codes
    uint32_t version = 0;    // the field after the magic
    int32_t metrics[kMetricCount] = {};  // the first is the line height
    ZMap<uint16_t, ZFontGlyph> glyphs;
};

// One queued text: where its bytes lie in the frame's store, where and how it
// is drawn, and the limits it is laid out in (0: none).
struct ZTextRequest {
    uint32_t offset = 0;
    int32_t length = 0;
    float x = 0.0f;
    float y = 0.0f;
    ZColor32 color;   // top of the glyphs
    ZColor32 color2;  // bottom of the glyphs
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float widthLimit = 0.0f;
    float heightLimit = 0.0f;
};

// A bitmap font: a glyph table beside a sheet of the same name (the sheet is
// bound by the font's shader), text layout with per-glyph spacing, and the
// frame's text queue, drawn as batches of glyph quads by Draw.
//
// Text is bytes: UTF-8 when the application says so, else one byte per
// character (DecodeChar). A line feed starts a new line; the byte 0x7F and two
// little-endian 32-bit name ids (family, glyph) show a picture of the glyph
// sheet the font maps that family to, one line high; other control codes
// are skipped and characters without a glyph take no room.
//
// Positions are screen pixels, x right and y down, of the top-left of the
// first line. Glyph quads are written with y negated (growing upward); the
// shader maps them to the screen.
//
// Each frame's text is copied into a store of kStoreBytes; the queue and the
// store empty in PostUpdate (the update registry's per-frame list) and after
// the final view is drawn.
class ZFont : public ZRenderable, public ZDynamicResource, public ZUpdatable {
public:
    static constexpr int32_t kStoreBytes = 8192;
    static constexpr uint32_t kMaxQuads = 512;
    static constexpr uint32_t kNewGlyphBytes = 30;  // u16 code, i32 width, 4 f32, 2 i32
    static constexpr uint32_t kOldGlyphBytes = 29;  // the same with a u8 code
    static constexpr uint32_t kImageEscape = 0x7F;

    // An empty font with its drawing buffers (without a device yet: at its
    // first draw), registered with the renderer's dynamic resources and the
    // update registry.
    ZFont();
    // Leaves the renderer's dynamic resources, every render group and the update registry.
    ~ZFont() override;
    ZFont(const ZFont&) = delete;
    ZFont& operator=(const ZFont&) = delete;

    // Reads a glyph table by name through the stream manager ("Font_Tahoma_8_256.uv").
    // A missing or damaged file is logged and leaves the font as it was.
    bool Load(const char* fileName);
    // The same from bytes in memory; name is for the log.
    bool LoadFromMemory(const uint8_t* data, size_t size, const char* name);
    // Reads a glyph table; false with a reason when the bytes are not one.
    // Every count and field is checked against the bytes given.
    static bool ParseGlyphTable(const uint8_t* data, size_t size, ZGlyphTable& out, const char** error);

    int32_t GetLineHeight() const { return m_metrics[0]; }
    const int32_t* GetMetrics() const { return m_metrics; }
    const ZFontGlyph* FindGlyph(uint16_t code) const;
    uint32_t GetGlyphCount() const { return m_glyphs.Count(); }

    // Which glyph sheet (by name in the glyph-sheet manager) shows the
    // pictures of a family ("xbox" -> "xbox_hud").
    void SetFamilySheet(ZHashedString family, ZHashedString sheetName) { m_familySheets.Insert(family, sheetName); }
    ZHashedString GetFamilySheet(ZHashedString family) const;
    // The sheet of the family: the mapped one, else any sheet of the family.
    ZSpriteBatch* FindGlyphSheet(ZHashedString family) const;

    // --- Text ---------------------------------------------------------------
    // Queues the text at (x, y) in its two colours (top and bottom of the
    // glyphs), after a black copy carrying the colours' alpha offset by the
    // shadow offset to the right and down (in place with an offset of 0,
    // where it darkens what shows through a translucent text).
    // With limits the text wraps at words within widthLimit and stops at
    // heightLimit (see DrawTextFormatted).
    void DrawText(const char* text, int32_t length, float x, float y, float scaleX, float scaleY, ZColor32 color,
                  ZColor32 color2, float shadowOffset = 0.0f, float widthLimit = 0.0f, float heightLimit = 0.0f);
    // Lays the text out without drawing it: *outWidth gets the widest line and
    // *outHeight the height used (either may be null). With a width limit
    // above 0 a word that would pass it starts a new line; with a height limit
    // above 0 layout stops before the line that would pass it. Returns where
    // layout stopped: the end of the text (text + length, or its terminating
    // zero) when everything fits, else the first byte of the part that did
    // not (for paging).
    const char* DrawTextFormatted(const char* text, int32_t length, float* outWidth, float* outHeight, float scaleX,
                                  float scaleY, float widthLimit = 0.0f, float heightLimit = 0.0f) const;
    // Copies the text into the frame's store and queues one request; pictures
    // inside it are queued on their glyph sheets at once. False when nothing
    // was queued: no text, or the frame's store is full (the first overflow
    // of a frame shows a "Dev Error" box).
    bool AddGlyphQuads(const char* text, int32_t length, float x, float y, float scaleX, float scaleY, ZColor32 color,
                       ZColor32 color2, float widthLimit = 0.0f, float heightLimit = 0.0f);
    // Writes the queued texts as glyph quads and draws them with the current
    // effect pass, kMaxQuads per draw call.
    void DrawQueue(ZRenderer* renderer);
    // Empties the queue, the store and the remembered last text.
    void ResetFrame();

    const ZArray<ZTextRequest>& GetRequests() const { return m_requests; }
    int32_t GetStoreUsed() const { return m_storeUsed; }
    const char* GetStoredText(const ZTextRequest& request) const { return m_store + request.offset; }
    // Glyph quads and draw calls of the last DrawQueue.
    uint32_t GetLastQuadCount() const { return m_lastQuads; }
    uint32_t GetLastDrawCount() const { return m_lastDraws; }

    // Line advance = lineSpacing x line height x vertical scale.
    float lineSpacing = 1.0f;
    // Spreads the glyphs of each request with a width limit over the whole
    // limit (the first stays, each next one moves one share further).
    // Pictures keep their places.
    bool spread = false;

    // --- Interfaces ---------------------------------------------------------
    void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) override;
    void ReleaseResource() override;
    void RenewResource() override;
    void Update(float timeStep, uint8_t mask) override;
    void PostUpdate(float timeStep, uint8_t mask) override;

    bool HasBuffers() const { return m_vertices.declaration != nullptr && m_indices.buffer != nullptr; }

private:
    struct GlyphCounter;
    struct QuadWriter;

    // The text layout shared by measuring, drawing and the pictures.
    template <typename Emit>
    const char* LayOut(const char* text, int32_t length, float x, float y, float scaleX, float scaleY,
                       float widthLimit, float heightLimit, float* outWidth, float* outHeight, Emit&& emit) const;
    // Width of the word that starts at text (up to a blank or control code).
    float MeasureWord(const char* text, const char* end, float scaleX) const;
    // Queues the pictures of a text on their glyph sheets.
    void QueueImages(const ZTextRequest& request, const char* text);
    bool BuildTextBatchGeometry();

    int32_t m_metrics[ZGlyphTable::kMetricCount] = {};
    ZMap<uint16_t, ZFontGlyph> m_glyphs;
    ZMap<ZHashedString, ZHashedString> m_familySheets;

    char m_store[kStoreBytes] = {};
    int32_t m_storeUsed = 0;
    const char* m_lastText = nullptr;  // the caller's pointer last copied
    int32_t m_lastLength = 0;
    uint32_t m_lastOffset = 0;
    bool m_overflowShown = false;  // this frame's overflow box was shown
    ZArray<ZTextRequest> m_requests;

    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
    uint32_t m_lastQuads = 0;
    uint32_t m_lastDraws = 0;
};
