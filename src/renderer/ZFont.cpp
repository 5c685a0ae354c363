#include "renderer/ZFont.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZString.h"
#include "platform/window/window.h"
#include "foundation/ZByteReader.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"
#include "foundation/ZLittleEndian.h"

namespace {

constexpr uint32_t kFontMagic = 0x746E6F66;  // "font"

// Codes that take no room and draw nothing (besides the line feed and the
// picture escape, which layout handles itself).
bool IsControl(const uint32_t c) {
    return c < 32 || c == 127 || c == 129 || c == 141 || c == 143 || c == 144 || c == 157;
}

float ReadF32(ZByteReader& in) {
    uint32_t bits = 0;
    in.U32(bits);
    float value = 0.0f;
    std::memcpy(&value, &bits, 4);
    return value;
}

// Emits nothing: layout for measuring.
struct NoEmit {
    void Glyph(const ZFontGlyph&, float, float) {}
    void Image(ZSpriteBatch*, int32_t, float, float) {}
};

}  // namespace

// Writes glyph quads into the locked streams and draws each full batch.
struct ZFont::QuadWriter {
    ZFont& font;
    ZRenderer& renderer;
    float* positions = nullptr;
    float* uv0 = nullptr;
    float* uv1 = nullptr;
    uint32_t* colours = nullptr;
    uint32_t quads = 0;
    bool failed = false;
    // The request being written.
    const ZTextRequest* request = nullptr;
    float lineHeight = 0.0f;
    float spreadShare = 0.0f;
    uint32_t requestQuads = 0;

    QuadWriter(ZFont& f, ZRenderer& r) : font(f), renderer(r) { Lock(); }

    void Lock() {
        positions = static_cast<float*>(font.m_vertices.LockStream(0, true));
        uv0 = static_cast<float*>(font.m_vertices.LockStream(1, true));
        uv1 = static_cast<float*>(font.m_vertices.LockStream(2, true));
        colours = static_cast<uint32_t*>(font.m_vertices.LockStream(3, true));
        failed = positions == nullptr || uv0 == nullptr || uv1 == nullptr || colours == nullptr;
    }

    void Unlock() {
        const void* locked[4] = {positions, uv0, uv1, colours};
        for (uint32_t s = 0; s < 4; ++s) {
            if (locked[s] != nullptr) {
                font.m_vertices.UnlockStream(s);
            }
        }
        positions = uv0 = uv1 = nullptr;
        colours = nullptr;
    }

    // Unlocks, draws what was written, and (unless last) locks again with discard.
    void Flush(const bool last) {
        Unlock();
        if (quads > 0 && !failed) {
            renderer.SetVertexBuffer(&font.m_vertices);
            renderer.SetIndexBuffer(&font.m_indices);
            if (renderer.currentIndexCount > 0) {
                renderer.Check(renderer.GetDevice()->DrawIndexedPrimitive(
                    gfx::PrimitiveType::TriangleList, 0, 0, renderer.currentVertexCount, 0, quads * 2));
                ++font.m_lastDraws;
            }
        }
        quads = 0;
        if (!last) {
            Lock();
        }
    }

    void Glyph(const ZFontGlyph& g, const float penX, const float penY) {
        if (failed) {
            return;
        }
        const ZTextRequest& r = *request;
        const float left = penX + g.before * r.scaleX - 0.5f + spreadShare * static_cast<float>(requestQuads);
        const float right = left + g.width * r.scaleX;
        const float top = penY + 0.5f;
        const float bottom = penY - lineHeight * r.scaleY + 0.5f;
        const float xs[4] = {left, right, left, right};
        const float ys[4] = {top, top, bottom, bottom};
        const float us[4] = {g.u0, g.u1, g.u0, g.u1};
        const float vs[4] = {g.v0, g.v0, g.v1, g.v1};
        const float ss[4] = {0.0f, 1.0f, 0.0f, 1.0f};
        const float ts[4] = {0.0f, 0.0f, 1.0f, 1.0f};
        const uint32_t topColour = r.color.ToARGB();
        const uint32_t bottomColour = r.color2.ToARGB();
        const uint32_t cs[4] = {topColour, topColour, bottomColour, bottomColour};
        const uint32_t base = quads * 4;
        for (uint32_t k = 0; k < 4; ++k) {
            const uint32_t v = base + k;
            positions[3 * v] = xs[k];
            positions[3 * v + 1] = ys[k];
            positions[3 * v + 2] = 0.0f;
            uv0[2 * v] = us[k];
            uv0[2 * v + 1] = vs[k];
            uv1[2 * v] = ss[k];
            uv1[2 * v + 1] = ts[k];
            colours[v] = cs[k];
        }
        ++quads;
        ++requestQuads;
        ++font.m_lastQuads;
        if (quads == kMaxQuads) {
            Flush(false);
        }
    }

    // Pictures were queued on their sheets with the request.
    void Image(ZSpriteBatch*, int32_t, float, float) {}
};

// Counts a request's glyph quads, for spreading.
struct ZFont::GlyphCounter {
    uint32_t glyphs = 0;
    void Glyph(const ZFontGlyph&, float, float) { ++glyphs; }
    void Image(ZSpriteBatch*, int32_t, float, float) {}
};

ZFont::ZFont() : ZUpdatable(1) {
    m_requests.SetFixed(true);
    vertexBuffer = &m_vertices;
    indexBuffer = &m_indices;
    BuildTextBatchGeometry();
    GetRenderer()->AddDynamicResource(this);
}

ZFont::~ZFont() {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveDynamicResource(this);
        renderer->RemoveFromAllRenderGroups(this);
    }
    m_vertices.Release();
    m_indices.Release();
}

// --- The glyph table ------------------------------------------------------------

bool ZFont::ParseGlyphTable(const uint8_t* data, const size_t size, ZGlyphTable& out, const char** error) {
    const char* ignored = nullptr;
    const char*& why = error != nullptr ? *error : ignored;
    why = "";
    out = ZGlyphTable();
    ZByteReader in(data, size);
    uint32_t magic = 0;
    uint32_t field = 0;
    if (!in.U32(magic) || !in.U32(field)) {
        why = "shorter than its header";
        return false;
    }
    if (magic != kFontMagic) {
        // The old layout has neither the magic nor the field: the count comes first.
        out.oldLayout = true;
        in.Seek(0);
    } else {
        out.version = field;
    }
    uint32_t count = 0;
    in.U32(count);
    for (int32_t& metric : out.metrics) {
        in.I32(metric);
    }
    if (in.Failed()) {
        why = "shorter than its header";
        return false;
    }
    const uint32_t recordBytes = out.oldLayout ? kOldGlyphBytes : kNewGlyphBytes;
    if (count > in.Remaining() / recordBytes) {
        why = "its glyph count is larger than the file holds";
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t code = 0;
        if (out.oldLayout) {
            uint8_t small = 0;
            in.U8(small);
            code = small;
        } else {
            in.U16(code);
        }
        int32_t width = 0;
        int32_t before = 0;
        int32_t after = 0;
        ZFontGlyph glyph;
        in.I32(width);
        glyph.u0 = ReadF32(in);
        glyph.v0 = ReadF32(in);
        glyph.u1 = ReadF32(in);
        glyph.v1 = ReadF32(in);
        in.I32(before);
        in.I32(after);
        glyph.width = static_cast<float>(width);
        glyph.before = static_cast<float>(before);
        glyph.after = static_cast<float>(after);
        out.glyphs.Insert(code, glyph);
    }
    if (in.Failed()) {
        why = "a glyph record is cut short";
        out = ZGlyphTable();
        return false;
    }
    return true;
}

bool ZFont::LoadFromMemory(const uint8_t* data, const size_t size, const char* name) {
    ZGlyphTable table;
    const char* why = nullptr;
    if (!ParseGlyphTable(data, size, table, &why)) {
        ZLog::Printf("ZFont::Load: %s is not a glyph table: %s.", name != nullptr ? name : "(memory)", why);
        return false;
    }
    std::memcpy(m_metrics, table.metrics, sizeof m_metrics);
    m_glyphs = std::move(table.glyphs);
    return true;
}

bool ZFont::Load(const char* fileName) {
    char* buffer = nullptr;
    int64_t size = 0;
    if (fileName == nullptr || !ZStreamMgr::GetInstance()->ReadFile(fileName, &buffer, &size)) {
        ZLog::Printf("ZFont::Load: %s was not found.", fileName != nullptr ? fileName : "(no name)");
        return false;
    }
    const std::unique_ptr<char[]> bytes(buffer);
    return LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.get()), static_cast<size_t>(size), fileName);
}

const ZFontGlyph* ZFont::FindGlyph(const uint16_t code) const {
    const auto* node = m_glyphs.Find(code);
    return node != nullptr ? &node->value : nullptr;
}

ZHashedString ZFont::GetFamilySheet(const ZHashedString family) const {
    const auto* node = m_familySheets.Find(family);
    return node != nullptr ? node->value : ZHashedString::None();
}

ZSpriteBatch* ZFont::FindGlyphSheet(const ZHashedString family) const {
    const ZGlyphSheetMgr* sheets = PeekGlyphSheetMgr();
    if (sheets == nullptr) {
        return nullptr;
    }
    const auto* node = m_familySheets.Find(family);
    if (node != nullptr) {
        return sheets->Find(family, node->value);
    }
    if (ZSpriteBatch* sheet = sheets->FindAny(family)) {
        return sheet;
    }
    // Text may also name the glyph sheet itself.
    return sheets->FindByName(family);
}

// --- Layout -----------------------------------------------------------------------

float ZFont::MeasureWord(const char* text, const char* end, const float scaleX) const {
    float width = 0.0f;
    while (text < end) {
        int32_t length = 0;
        const uint16_t c = DecodeChar(text, end, &length);
        if (length <= 0) {
            if (*text == 0) {
                break;
            }
            ++text;  // a byte that starts no character
            continue;
        }
        if (c == ' ' || IsControl(c)) {
            break;
        }
        if (const ZFontGlyph* g = FindGlyph(c)) {
            width += (g->before + g->width + g->after) * scaleX;
        }
        text += length;
    }
    return width;
}

template <typename Emit>
const char* ZFont::LayOut(const char* text, const int32_t length, const float x, const float y, const float scaleX,
                          const float scaleY, const float widthLimit, const float heightLimit, float* outWidth,
                          float* outHeight, Emit&& emit) const {
    float widest = 0.0f;
    float height = 0.0f;
    const char* p = text;
    if (text != nullptr && length > 0) {
        const float lineHeight = static_cast<float>(GetLineHeight());
        const float lineAdvance = lineSpacing * lineHeight * scaleY;
        const char* const end = text + length;
        float line = 0.0f;             // width of the current line
        float penY = -y;               // y grows upward from here on
        bool wordStart = true;         // the last character ended a word
        height = lineHeight * scaleY;
        // Starts a new line; false when the height limit stops layout.
        const auto newLine = [&]() {
            widest = std::max(widest, line);
            line = 0.0f;
            height += lineAdvance;
            penY -= lineAdvance;
            if (heightLimit > 0.0f && height > heightLimit) {
                height = std::max(0.0f, height - lineAdvance);
                return false;
            }
            return true;
        };
        while (p < end) {
            int32_t bytes = 0;
            const uint16_t c = DecodeChar(p, end, &bytes);
            if (bytes <= 0) {
                if (*p == 0) {
                    break;
                }
                ++p;  // a byte that starts no character
                continue;
            }
            if (c == 0) {
                break;
            }
            if (c == '\n') {
                p += bytes;
                wordStart = true;
                if (!newLine()) {
                    break;
                }
                continue;
            }
            if (c == kImageEscape) {
                if (end - p < 9) {
                    p = end;  // a cut escape ends the text
                    break;
                }
                const ZHashedString family = ZHashedString::FromId(LoadLE32(p + 1));
                const auto key = static_cast<int32_t>(LoadLE32(p + 5));
                ZSpriteBatch* sheet = FindGlyphSheet(family);
                if (sheet != nullptr && sheet->FindSprite(key) != nullptr) {
                    float advance = 0.0f;
                    sheet->MeasureGlyph(key, lineHeight, scaleX, &advance);
                    // A picture wraps like a word of its own.
                    if (widthLimit > 0.0f && line > 0.0f && line + advance > widthLimit && !newLine()) {
                        break;
                    }
                    emit.Image(sheet, key, x + line, penY);
                    line += advance;
                }
                p += 9;
                wordStart = true;
                continue;
            }
            if (IsControl(c)) {
                p += bytes;
                wordStart = true;
                continue;
            }
            if (c == ' ') {
                wordStart = true;
            } else if (wordStart) {
                wordStart = false;
                if (widthLimit > 0.0f && line > 0.0f && line + MeasureWord(p, end, scaleX) > widthLimit &&
                    !newLine()) {
                    break;
                }
            }
            if (const ZFontGlyph* g = FindGlyph(c)) {
                emit.Glyph(*g, x + line, penY);
                line += (g->before + g->width + g->after) * scaleX;
            }
            p += bytes;
        }
        widest = std::max(widest, line);
    }
    if (outWidth != nullptr) {
        *outWidth = widest;
    }
    if (outHeight != nullptr) {
        *outHeight = height;
    }
    return p;
}

const char* ZFont::DrawTextFormatted(const char* text, const int32_t length, float* outWidth, float* outHeight,
                                     const float scaleX, const float scaleY, const float widthLimit,
                                     const float heightLimit) const {
    return LayOut(text, length, 0.0f, 0.0f, scaleX, scaleY, widthLimit, heightLimit, outWidth, outHeight, NoEmit());
}

// --- The frame's text -------------------------------------------------------------

void ZFont::DrawText(const char* text, const int32_t length, const float x, const float y, const float scaleX,
                     const float scaleY, const ZColor32 color, const ZColor32 color2, const float shadowOffset,
                     const float widthLimit, const float heightLimit) {
    // The shadow goes first even without an offset: under a translucent
    // text it darkens what shows through the glyphs.
    AddGlyphQuads(text, length, x + shadowOffset, y + shadowOffset, scaleX, scaleY, ZColor32(0, 0, 0, color.a),
                  ZColor32(0, 0, 0, color2.a), widthLimit, heightLimit);
    AddGlyphQuads(text, length, x, y, scaleX, scaleY, color, color2, widthLimit, heightLimit);
}

bool ZFont::AddGlyphQuads(const char* text, const int32_t length, const float x, const float y, const float scaleX,
                          const float scaleY, const ZColor32 color, const ZColor32 color2, const float widthLimit,
                          const float heightLimit) {
    if (text == nullptr || length <= 0) {
        return false;
    }
    ZTextRequest request;
    // The stored copy serves again only while it still holds these very bytes:
    // a caller may refill one buffer between calls.
    if (text == m_lastText && length == m_lastLength &&
        std::memcmp(m_store + m_lastOffset, text, static_cast<size_t>(length)) == 0) {
        request.offset = m_lastOffset;
    } else {
        if (length > kStoreBytes - 1 || m_storeUsed > kStoreBytes - 1 - length) {
            if (!m_overflowShown) {
                m_overflowShown = true;
                platform::window::MessageBox("Dev Error", "Font rendering exceeded maximum characters per frame.",
                                             platform::window::MB_OK | platform::window::MB_ICONERROR);
            }
            return false;
        }
        request.offset = static_cast<uint32_t>(m_storeUsed);
        std::memcpy(m_store + m_storeUsed, text, static_cast<size_t>(length));
        m_store[m_storeUsed + length] = 0;
        m_storeUsed += length + 1;
        m_lastText = text;
        m_lastLength = length;
        m_lastOffset = request.offset;
    }
    request.length = length;
    request.x = x;
    request.y = y;
    request.color = color;
    request.color2 = color2;
    request.scaleX = scaleX;
    request.scaleY = scaleY;
    request.widthLimit = widthLimit;
    request.heightLimit = heightLimit;
    m_requests.PushBack(request);
    if (std::memchr(text, static_cast<int>(kImageEscape), static_cast<size_t>(length)) != nullptr) {
        QueueImages(request, m_store + request.offset);
    }
    return true;
}

void ZFont::QueueImages(const ZTextRequest& request, const char* text) {
    // Pictures go to their sheets now, once per queued text, so that they
    // are drawn whichever order the groups draw in, once for both eyes.
    struct ImageEmit {
        const ZTextRequest& request;
        float lineHeight;
        void Glyph(const ZFontGlyph&, float, float) {}
        void Image(ZSpriteBatch* sheet, const int32_t key, float penX, const float penY) const {
            sheet->AddGlyphQuad(key, &penX, &penY, request.scaleX, request.scaleY, request.color, request.color2, 0, 0,
                                lineHeight);
        }
    };
    LayOut(text, request.length, request.x, request.y, request.scaleX, request.scaleY, request.widthLimit,
           request.heightLimit, nullptr, nullptr, ImageEmit{request, static_cast<float>(GetLineHeight())});
}

void ZFont::DrawQueue(ZRenderer* renderer) {
    m_lastQuads = 0;
    m_lastDraws = 0;
    if (renderer == nullptr) {
        return;
    }
    // A font made before the device has its buffers made at its first draw.
    if (renderer->GetDevice() != nullptr && !m_requests.IsEmpty() && !HasBuffers()) {
        BuildTextBatchGeometry();
    }
    if (renderer->GetDevice() != nullptr && HasBuffers() && !m_requests.IsEmpty()) {
        QuadWriter writer(*this, *renderer);
        writer.lineHeight = static_cast<float>(GetLineHeight());
        for (const ZTextRequest& request : m_requests) {
            const char* text = m_store + request.offset;
            writer.request = &request;
            writer.requestQuads = 0;
            writer.spreadShare = 0.0f;
            if (spread && request.widthLimit > 0.0f) {
                // The leftover width of the line is shared out between the gaps.
                GlyphCounter count;
                float used = 0.0f;
                LayOut(text, request.length, request.x, request.y, request.scaleX, request.scaleY,
                       request.widthLimit, request.heightLimit, &used, nullptr, count);
                if (count.glyphs > 1 && request.widthLimit > used) {
                    writer.spreadShare = (request.widthLimit - used) / static_cast<float>(count.glyphs - 1);
                }
            }
            LayOut(text, request.length, request.x, request.y, request.scaleX, request.scaleY, request.widthLimit,
                   request.heightLimit, nullptr, nullptr, writer);
        }
        writer.Flush(true);
    }
    // The stored bytes stay for the requests; new text overwrites them from the start.
    m_storeUsed = 0;
    m_lastText = nullptr;
    if (renderer->finalView) {
        m_requests.Resize(0);
    }
}

void ZFont::ResetFrame() {
    m_requests.Resize(0);
    m_storeUsed = 0;
    m_lastText = nullptr;
    m_lastLength = 0;
    m_lastOffset = 0;
    m_overflowShown = false;
}

// --- Interfaces -------------------------------------------------------------------

void ZFont::Draw(ZRenderer* renderer, ZParameterSource* /*renderInstanceSource*/) {
    DrawQueue(renderer);
}

bool ZFont::BuildTextBatchGeometry() {
    // Colours start opaque black.
    return CreateQuadBatchBuffers(m_vertices, m_indices, kMaxQuads, 0xFF000000u);
}

void ZFont::ReleaseResource() {
    m_vertices.Release();
    m_indices.Release();
}

void ZFont::RenewResource() {
    BuildTextBatchGeometry();
}

void ZFont::Update(float /*timeStep*/, uint8_t /*mask*/) {}

void ZFont::PostUpdate(float /*timeStep*/, uint8_t /*mask*/) {
    ResetFrame();
}
