// Fonts on the fake device: reading glyph tables (both layouts, damaged
// files), measuring and wrapping, the frame's text store and its limit,
// the glyph quads DrawQueue writes, pictures inside text, and the buffers
// around a device reset. The seed files of fuzz/corpus/font_uv are made here:
// with KORV_RENDERER_SEEDS=<folder> they are written under <folder>/font_uv.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RendererFixture.h"
#include "foundation/ZString.h"
#include "foundation/ZUpdateRegistry.h"
#include "input/ZGamepadGlyphSheet.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZSpriteBatch.h"

namespace {

struct GlyphRecord {
    uint16_t code;
    int32_t width;
    float u0, v0, u1, v1;
    int32_t before, after;
};

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}
void PutF(std::string& out, float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    Put32(out, bits);
}

// A glyph table as the font builder writes it (or the old layout: no magic
// and no version, one-byte codes). count < 0: the number of records.
std::string GlyphTable(const std::vector<GlyphRecord>& glyphs, int32_t lineHeight, bool oldLayout = false,
                       int64_t count = -1) {
    std::string out;
    if (!oldLayout) {
        out += "font";
        Put32(out, 1);
    }
    Put32(out, static_cast<uint32_t>(count < 0 ? static_cast<int64_t>(glyphs.size()) : count));
    Put32(out, static_cast<uint32_t>(lineHeight));
    for (int i = 1; i < 14; ++i) Put32(out, static_cast<uint32_t>(100 + i));
    for (const GlyphRecord& g : glyphs) {
        if (oldLayout) {
            out += static_cast<char>(g.code);
        } else {
            out += static_cast<char>(g.code & 0xFF);
            out += static_cast<char>(g.code >> 8);
        }
        Put32(out, static_cast<uint32_t>(g.width));
        PutF(out, g.u0);
        PutF(out, g.v0);
        PutF(out, g.u1);
        PutF(out, g.v1);
        Put32(out, static_cast<uint32_t>(g.before));
        Put32(out, static_cast<uint32_t>(g.after));
    }
    return out;
}

// The test font: line height 10; 'a' to 'z' 5 wide with one blank before and
// none after (advance 6), 'é' likewise, the space 3 wide (advance 3), and no '?'.
std::vector<GlyphRecord> TestGlyphs() {
    std::vector<GlyphRecord> glyphs;
    for (uint16_t c = 'a'; c <= 'z'; ++c) {
        const float u = static_cast<float>(c - 'a') / 32.0f;
        glyphs.push_back({c, 5, u, 0.0f, u + 5.0f / 256.0f, 0.5f, 1, 0});
    }
    glyphs.push_back({0xE9, 5, 0.9f, 0.5f, 0.95f, 1.0f, 1, 0});
    glyphs.push_back({' ', 3, 0.0f, 0.5f, 0.01f, 1.0f, 0, 0});
    return glyphs;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class NotUtf8AppInfo : public rtest::LoggingAppInfo {
public:
    bool UsesUTF8() const override { return false; }
};

class ZFontTest : public rtest::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        ASSERT_TRUE(GetRenderer()->BeginScene());
        font = std::make_unique<ZFont>();
        const std::string table = GlyphTable(TestGlyphs(), 10);
        ASSERT_TRUE(font->LoadFromMemory(reinterpret_cast<const uint8_t*>(table.data()), table.size(), "test"));
    }
    void TearDown() override {
        font.reset();
        DestroyGlyphSheetMgr();
        GetRenderer()->EndScene();
        GetRenderer()->finalView = true;
        RendererTest::TearDown();
    }

    // Width and height of the text laid out without limits.
    void Measure(const std::string& text, float& w, float& h, float scale = 1.0f) const {
        font->DrawTextFormatted(text.data(), static_cast<int32_t>(text.size()), &w, &h, scale, scale);
    }
    // The left edge of glyph quad q as DrawQueue wrote it.
    float QuadLeft(uint32_t q) const {
        auto* p = static_cast<const float*>(font->vertexBuffer->LockStream(0, false));
        const float left = p[3 * (4 * q)];
        font->vertexBuffer->UnlockStream(0);
        return left;
    }

    std::unique_ptr<ZFont> font;
};

const ZColor32 kWhite(255, 255, 255, 255);

}  // namespace

// --- Glyph tables -------------------------------------------------------------------

TEST_F(ZFontTest, BothLayoutsReadTheMetricsAndGlyphs) {
    const std::vector<GlyphRecord> glyphs = {{0x41, 7, 0.125f, 0.25f, 0.5f, 0.75f, -1, 2}, {0x20AC, 6, 0, 0, 0, 0, 0, 1}};
    ZGlyphTable table;
    const std::string now = GlyphTable(glyphs, 12);
    ASSERT_TRUE(ZFont::ParseGlyphTable(Bytes(now).data(), now.size(), table, nullptr));
    EXPECT_FALSE(table.oldLayout);
    EXPECT_EQ(table.version, 1u);
    EXPECT_EQ(table.metrics[0], 12);
    EXPECT_EQ(table.metrics[13], 113);
    ASSERT_EQ(table.glyphs.Count(), 2u);
    const ZFontGlyph& a = table.glyphs.Get(0x41);
    EXPECT_EQ(a.u0, 0.125f);
    EXPECT_EQ(a.v0, 0.25f);
    EXPECT_EQ(a.u1, 0.5f);
    EXPECT_EQ(a.v1, 0.75f);
    EXPECT_EQ(a.width, 7.0f);
    EXPECT_EQ(a.before, -1.0f);
    EXPECT_EQ(a.after, 2.0f);
    EXPECT_TRUE(table.glyphs.Contains(0x20AC));

    // The old layout: the count comes first and codes are one byte.
    const std::vector<GlyphRecord> old = {{0x41, 7, 0, 0, 1, 1, 0, 0}, {0xE9, 3, 0, 0, 1, 1, 0, 0}};
    const std::string before = GlyphTable(old, 9, true);
    ASSERT_TRUE(ZFont::ParseGlyphTable(Bytes(before).data(), before.size(), table, nullptr));
    EXPECT_TRUE(table.oldLayout);
    EXPECT_EQ(table.metrics[0], 9);
    EXPECT_EQ(table.glyphs.Count(), 2u);
    EXPECT_EQ(table.glyphs.Get(0xE9).width, 3.0f);
}

TEST_F(ZFontTest, DamagedTablesAreRefusedWithAReasonAndTheFontKeepsItsGlyphs) {
    const std::string good = GlyphTable(TestGlyphs(), 10);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"shorter than the magic and version", "font"},
        {"metrics cut short", good.substr(0, 40)},
        {"last record cut short", good.substr(0, good.size() - 1)},
        {"count far above the file", GlyphTable(TestGlyphs(), 10, false, 0x7FFFFFFF)},
        {"count one above the file", GlyphTable(TestGlyphs(), 10, false, static_cast<int64_t>(TestGlyphs().size()) + 1)},
        {"old layout, count above the file", GlyphTable({{1, 1, 0, 0, 0, 0, 0, 0}}, 10, true, 0xFFFFFFFF)},
    };
    for (const Case& c : cases) {
        ZGlyphTable table;
        const char* why = nullptr;
        EXPECT_FALSE(ZFont::ParseGlyphTable(Bytes(c.bytes).data(), c.bytes.size(), table, &why)) << c.what;
        ASSERT_NE(why, nullptr);
        EXPECT_STRNE(why, "") << c.what;
        EXPECT_EQ(table.glyphs.Count(), 0u) << c.what;
        EXPECT_FALSE(font->LoadFromMemory(Bytes(c.bytes).data(), c.bytes.size(), "damaged.uv")) << c.what;
        EXPECT_EQ(font->GetLineHeight(), 10) << c.what;
        EXPECT_EQ(font->GetGlyphCount(), TestGlyphs().size()) << c.what;
    }
    appInfo.logging = true;
    WriteFile("broken.uv", "font");
    EXPECT_FALSE(font->Load("broken.uv"));
    EXPECT_FALSE(font->Load("missing.uv"));
    EXPECT_TRUE(LogHas("ZFont::Load: broken.uv is not a glyph table: shorter than its header."));
    EXPECT_TRUE(LogHas("ZFont::Load: missing.uv was not found."));

    WriteFile("good.uv", GlyphTable({{'x', 2, 0, 0, 0, 0, 0, 0}}, 14));
    EXPECT_TRUE(font->Load("good.uv"));
    EXPECT_EQ(font->GetLineHeight(), 14);
    EXPECT_EQ(font->GetGlyphCount(), 1u) << "a loaded table replaces the glyphs";
}

TEST_F(ZFontTest, TheEngineFontOfTheEnginePackageLoads) {
    const std::string package = std::string(KORV_DATA_BUILD_DIR) + "/Engine.zpk";
    ASSERT_TRUE(std::filesystem::exists(package)) << package;
    ZStreamMgr::GetInstance()->AddPackageSource(package.c_str());
    ZFont engine;
    ASSERT_TRUE(engine.Load("Font_Tahoma_8_256.uv"));
    EXPECT_EQ(engine.GetLineHeight(), 11);
    EXPECT_GE(engine.GetGlyphCount(), 95u + 96u);
    const ZFontGlyph* a = engine.FindGlyph('A');
    ASSERT_NE(a, nullptr);
    EXPECT_GT(a->width, 0.0f);
    EXPECT_GT(a->u1, a->u0);
    EXPECT_GT(a->v1, a->v0);
}

TEST_F(ZFontTest, SeedFilesAreAcceptedOrRefusedAsNamed) {
    struct Seed {
        const char* name;
        std::string bytes;
        bool accepted;
    };
    const std::vector<GlyphRecord> few = {{'A', 5, 0, 0, 0.25f, 0.5f, 0, 1}, {' ', 3, 0.5f, 0, 0.6f, 0.5f, 0, 0},
                                          {0xE9, 5, 0.25f, 0, 0.5f, 0.5f, 1, 1}};
    const Seed seeds[] = {
        {"current.uv", GlyphTable(few, 11), true},
        {"old_layout.uv", GlyphTable(few, 8, true), true},
        {"no_glyphs.uv", GlyphTable({}, 11), true},
        {"huge_count.uv", GlyphTable(few, 11, false, 0x10000000), false},
        {"cut_record.uv", GlyphTable(few, 11).substr(0, 4 + 4 + 4 + 56 + 45), false},
        {"header_only.uv", std::string("font\x01\0\0\0", 8), false},
    };
    const char* folder = std::getenv("KORV_RENDERER_SEEDS");
    for (const Seed& s : seeds) {
        ZGlyphTable table;
        EXPECT_EQ(ZFont::ParseGlyphTable(Bytes(s.bytes).data(), s.bytes.size(), table, nullptr), s.accepted) << s.name;
        if (folder != nullptr) {
            const std::filesystem::path dir = std::filesystem::path(folder) / "font_uv";
            std::filesystem::create_directories(dir);
            std::ofstream(dir / s.name, std::ios::binary) << s.bytes;
        }
    }
}

// --- Layout -------------------------------------------------------------------------

TEST_F(ZFontTest, MeasuringFollowsLinesControlsAndMissingGlyphs) {
    struct Case {
        const char* what;
        std::string text;
        float width, height;
    };
    const Case cases[] = {
        {"one line", "abc", 18, 10},
        {"two lines, the wider first", "ab\nc", 12, 20},
        {"two lines, the wider last", "a\nbcd", 18, 20},
        {"a trailing line feed starts an empty line", "ab\n", 12, 20},
        {"control bytes take no room", "a\x01\t\rb", 12, 10},
        {"a glyph missing from the font takes no room", "a?b", 12, 10},
        {"a picture of unknown names takes no room, the text goes on after its 9 bytes",
         std::string("a\x7F\x01\x02\x03\x04\x05\x06\x07\x08", 10) + "b", 12, 10},
        {"a cut picture escape ends the text", std::string("a\x7F\x01\x02\x03", 5), 6, 10},
        {"a zero ends the text", std::string("ab\0cd", 5), 12, 10},
        {"UTF-8 decodes to one glyph", "a\xC3\xA9", 12, 10},
        {"a byte that starts no UTF-8 character is stepped over", "a\xA9" "b", 12, 10},
        {"the space", "a a", 15, 10},
    };
    for (const Case& c : cases) {
        float w = -1, h = -1;
        Measure(c.text, w, h);
        EXPECT_EQ(w, c.width) << c.what;
        EXPECT_EQ(h, c.height) << c.what;
    }
    float w = 0, h = 0;
    Measure("ab\nc", w, h, 2.0f);
    EXPECT_EQ(w, 24.0f);
    EXPECT_EQ(h, 40.0f);
    font->lineSpacing = 1.5f;
    Measure("a\nb\nc", w, h);
    EXPECT_EQ(h, 10.0f + 2 * 15.0f) << "line feeds advance by the spacing, the first line is one line high";
    EXPECT_EQ(font->DrawTextFormatted(nullptr, 5, &w, &h, 1, 1), nullptr);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(h, 0.0f);
}

TEST_F(ZFontTest, WithoutUtf8EveryByteIsACharacterAndC1CodesAreControls) {
    NotUtf8AppInfo bytes;
    gAppInfo.store(&bytes);
    float w = 0, h = 0;
    // 0xE9 is the glyph; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are skipped.
    Measure("a\xE9\x81\x8D\x8F\x90\x9D", w, h);
    EXPECT_EQ(w, 12.0f);
    gAppInfo.store(&appInfo);
}

TEST_F(ZFontTest, WrappingBreaksBeforeWordsAndStopsAtTheHeightLimit) {
    struct Case {
        const char* what;
        std::string text;
        float widthLimit, heightLimit;
        float width, height;
        size_t stop;  // bytes laid out
    };
    // Words "aa" are 12 wide, blanks 3.
    const Case cases[] = {
        {"fits", "aa aa", 30, 0, 27, 10, 5},
        {"the third word wraps; the blank stays on the first line", "aa aa aa", 30, 0, 30, 20, 8},
        {"a word wider than the limit stays alone on its line", "aaaaaaaa", 30, 0, 48, 10, 8},
        {"a long word after another wraps once", "aa aaaaaaaa", 30, 0, 48, 20, 11},
        {"line feeds count against the height", "aa\naa\naa", 0, 25, 12, 20, 6},
        {"wrapped lines count against the height", "aa aa aa", 12, 20, 15, 20, 6},
        {"the first line is laid out even when it passes the limit (paging always moves on)", "aa", 0, 5, 12, 10, 2},
    };
    for (const Case& c : cases) {
        float w = -1, h = -1;
        const char* stop = font->DrawTextFormatted(c.text.data(), static_cast<int32_t>(c.text.size()), &w, &h, 1, 1,
                                                   c.widthLimit, c.heightLimit);
        EXPECT_EQ(w, c.width) << c.what;
        EXPECT_EQ(h, c.height) << c.what;
        EXPECT_EQ(static_cast<size_t>(stop - c.text.data()), c.stop) << c.what;
    }

    // Paging through a long text with a height limit of two lines.
    const std::string text = "aa aa aa aa aa";
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    int pages = 0;
    while (at < end && pages < 10) {
        float w = 0, h = 0;
        at = font->DrawTextFormatted(at, static_cast<int32_t>(end - at), &w, &h, 1, 1, 15, 20);
        ++pages;
    }
    EXPECT_EQ(pages, 3) << "two words a page";
}

// --- The frame's store and queue ------------------------------------------------------

TEST_F(ZFontTest, TheStoreHolds8192BytesAFrameAndRefusesTheRestWithOneBox) {
    const std::string big(8191, 'a');
    EXPECT_TRUE(font->AddGlyphQuads(big.data(), 8191, 0, 0, 1, 1, kWhite, kWhite));
    EXPECT_EQ(font->GetStoreUsed(), 8192);
    const char one[] = "b";
    EXPECT_FALSE(font->AddGlyphQuads(one, 1, 0, 0, 1, 1, kWhite, kWhite));
    EXPECT_FALSE(font->AddGlyphQuads("c", 1, 0, 0, 1, 1, kWhite, kWhite));
    // The texts drawn after the store is full (each a shadow and a text) are
    // all refused under that one box, not a modal box each.
    for (int i = 0; i < 30; ++i) font->DrawText("line", 4, 0, 0, 1, 1, kWhite, kWhite);
    EXPECT_EQ(font->GetRequests().Count(), 1u);
    ASSERT_EQ(window->Boxes().size(), 1u) << "one box a frame";
    EXPECT_EQ(window->Boxes()[0].caption, "Dev Error");
    EXPECT_EQ(window->Boxes()[0].text, "Font rendering exceeded maximum characters per frame.");
    EXPECT_EQ(window->Boxes()[0].flags & platform::window::MB_ICONERROR, platform::window::MB_ICONERROR);

    EXPECT_FALSE(font->AddGlyphQuads(nullptr, 3, 0, 0, 1, 1, kWhite, kWhite));
    EXPECT_FALSE(font->AddGlyphQuads("x", 0, 0, 0, 1, 1, kWhite, kWhite));

    // The per-frame update empties the store and the queue.
    GetUpdateRegistry()->Run(1.0f / 60.0f, 1);
    EXPECT_EQ(font->GetStoreUsed(), 0);
    EXPECT_TRUE(font->GetRequests().IsEmpty());
    EXPECT_TRUE(font->AddGlyphQuads(one, 1, 0, 0, 1, 1, kWhite, kWhite));
    EXPECT_FALSE(font->AddGlyphQuads(big.data(), 8191, 0, 0, 1, 1, kWhite, kWhite));
    EXPECT_EQ(window->Boxes().size(), 2u) << "a new frame shows its own box";
}

TEST_F(ZFontTest, TheStoredCopyServesAgainOnlyForTheSameBytes) {
    char buffer[16] = "ab";
    font->AddGlyphQuads(buffer, 2, 0, 0, 1, 1, kWhite, kWhite);
    font->AddGlyphQuads(buffer, 2, 0, 10, 1, 1, kWhite, kWhite);
    EXPECT_EQ(font->GetStoreUsed(), 3) << "the same text twice is stored once";

    // A caller that refills its buffer between calls.
    std::strcpy(buffer, "cd");
    font->AddGlyphQuads(buffer, 2, 0, 20, 1, 1, kWhite, kWhite);
    std::strcpy(buffer, "efghij");
    font->AddGlyphQuads(buffer, 6, 0, 30, 1, 1, kWhite, kWhite);
    const ZArray<ZTextRequest>& requests = font->GetRequests();
    ASSERT_EQ(requests.Count(), 4u);
    const char* expected[4] = {"ab", "ab", "cd", "efghij"};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(std::string(font->GetStoredText(requests[i]), static_cast<size_t>(requests[i].length)),
                  expected[i])
            << i;
    }

    // After a draw the store fills from its start again: a stale copy is never reused.
    font->DrawQueue(GetRenderer());
    std::strcpy(buffer, "ab");
    font->AddGlyphQuads(buffer, 2, 0, 0, 1, 1, kWhite, kWhite);
    font->AddGlyphQuads("xyz", 3, 0, 0, 1, 1, kWhite, kWhite);
    ASSERT_EQ(requests.Count(), 2u);
    EXPECT_EQ(std::string(font->GetStoredText(requests[0])), "ab");
    EXPECT_EQ(std::string(font->GetStoredText(requests[1])), "xyz");
}

TEST_F(ZFontTest, DrawTextQueuesABlackShadowFirst) {
    const char text[] = "ab";
    font->DrawText(text, 2, 10, 20, 1, 1, ZColor32(255, 0, 0, 200), ZColor32(0, 255, 0, 100), 1.0f);
    const ZArray<ZTextRequest>& requests = font->GetRequests();
    ASSERT_EQ(requests.Count(), 2u);
    EXPECT_EQ(requests[0].x, 11.0f);
    EXPECT_EQ(requests[0].y, 21.0f);
    EXPECT_EQ(requests[0].color, ZColor32(0, 0, 0, 200));
    EXPECT_EQ(requests[0].color2, ZColor32(0, 0, 0, 100));
    EXPECT_EQ(requests[1].x, 10.0f);
    EXPECT_EQ(requests[1].color, ZColor32(255, 0, 0, 200));
    EXPECT_EQ(font->GetStoreUsed(), 3);

    // Without an offset the shadow lies under the text itself.
    font->DrawText(text, 2, 5, 6, 1, 1, ZColor32(255, 255, 255, 128), kWhite);
    ASSERT_EQ(requests.Count(), 4u);
    EXPECT_EQ(requests[2].x, 5.0f);
    EXPECT_EQ(requests[2].y, 6.0f);
    EXPECT_EQ(requests[2].color, ZColor32(0, 0, 0, 128));
    EXPECT_EQ(requests[2].color2, ZColor32(0, 0, 0, 255));
    EXPECT_EQ(requests[3].color, ZColor32(255, 255, 255, 128));
    EXPECT_EQ(font->GetStoreUsed(), 3) << "both copies share the stored text";
}

// --- Drawing --------------------------------------------------------------------------

TEST_F(ZFontTest, GlyphQuadsSitOnThePenTexelCentred) {
    font->AddGlyphQuads("ab", 2, 10, 20, 1, 2, ZColor32(255, 0, 0, 255), ZColor32(0, 0, 255, 255));
    ClearCalls();
    font->DrawQueue(GetRenderer());
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 4)")) << Calls();
    EXPECT_EQ(font->GetLastQuadCount(), 2u);

    ZVertexBuffer& vb = *font->vertexBuffer;
    const auto* p = static_cast<const float*>(vb.LockStream(0, false));
    // 'a': left = 10 + 1 - 0.5, right = left + 5; top = -20 + 0.5, bottom = -20 - 10 * 2 + 0.5.
    const float expected[4][2] = {{10.5f, -19.5f}, {15.5f, -19.5f}, {10.5f, -39.5f}, {15.5f, -39.5f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(p[3 * i], expected[i][0]) << i;
        EXPECT_FLOAT_EQ(p[3 * i + 1], expected[i][1]) << i;
    }
    EXPECT_FLOAT_EQ(p[3 * 4], 16.5f) << "'b' follows after the advance of 'a'";
    vb.UnlockStream(0);
    const auto* uv = static_cast<const float*>(vb.LockStream(1, false));
    const ZFontGlyph* b = font->FindGlyph('b');
    EXPECT_FLOAT_EQ(uv[2 * 4], b->u0);
    EXPECT_FLOAT_EQ(uv[2 * 4 + 1], b->v0);
    EXPECT_FLOAT_EQ(uv[2 * 7], b->u1);
    EXPECT_FLOAT_EQ(uv[2 * 7 + 1], b->v1);
    vb.UnlockStream(1);
    const auto* colours = static_cast<const uint32_t*>(vb.LockStream(3, false));
    EXPECT_EQ(colours[0], 0xFFFF0000u);
    EXPECT_EQ(colours[1], 0xFFFF0000u);
    EXPECT_EQ(colours[2], 0xFF0000FFu);
    EXPECT_EQ(colours[3], 0xFF0000FFu);
    vb.UnlockStream(3);
    EXPECT_TRUE(font->GetRequests().IsEmpty()) << "the final view empties the queue";
    EXPECT_EQ(GetRenderer()->lastResult, gfx::Result::Ok);
}

TEST_F(ZFontTest, LongTextIsDrawnIn512QuadBatches) {
    const std::string text(600, 'a');
    font->AddGlyphQuads(text.data(), 600, 0, 0, 1, 1, kWhite, kWhite);
    ClearCalls();
    font->DrawQueue(GetRenderer());
    EXPECT_EQ(Count("DrawIndexedPrimitive"), 2u);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 1024)")) << Calls();
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 176)")) << Calls();
    EXPECT_EQ(font->GetLastDrawCount(), 2u);
    EXPECT_FLOAT_EQ(QuadLeft(0), 512 * 6 + 1 - 0.5f) << "the second batch starts at glyph 512";
}

TEST_F(ZFontTest, BothEyesDrawTheSameTextAndAnEmptyQueueDrawsNothing) {
    ClearCalls();
    font->DrawQueue(GetRenderer());
    EXPECT_FALSE(Logged("DrawIndexedPrimitive"));

    font->AddGlyphQuads("ab", 2, 0, 0, 1, 1, kWhite, kWhite);
    GetRenderer()->finalView = false;
    font->DrawQueue(GetRenderer());
    EXPECT_EQ(font->GetRequests().Count(), 1u);
    EXPECT_EQ(font->GetStoreUsed(), 0);
    GetRenderer()->finalView = true;
    ClearCalls();
    font->DrawQueue(GetRenderer());
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 4)")) << Calls();
    EXPECT_TRUE(font->GetRequests().IsEmpty());
}

TEST_F(ZFontTest, ASpreadRequestFillsItsWidthLimit) {
    font->spread = true;
    font->AddGlyphQuads("aaa", 3, 0, 0, 1, 1, kWhite, kWhite, 30.0f);
    font->DrawQueue(GetRenderer());
    // 18 of 30 used: the 12 left are shared between the two gaps.
    EXPECT_FLOAT_EQ(QuadLeft(0), 0.5f);
    EXPECT_FLOAT_EQ(QuadLeft(1), 6.5f + 6.0f);
    EXPECT_FLOAT_EQ(QuadLeft(2), 12.5f + 12.0f);
}

TEST_F(ZFontTest, PicturesInTextGoToTheFamilysGlyphSheetOneLineHigh) {
    ZSpriteBatch hud, menu;
    CreateGamepadGlyphSheet(hud);
    CreateGamepadGlyphSheet(menu);
    GetGlyphSheetMgr()->Add(ZHashedString("xbox"), ZHashedString("xbox_menu"), &menu);
    GetGlyphSheetMgr()->Add(ZHashedString("xbox"), ZHashedString("xbox_hud"), &hud);
    font->SetFamilySheet(ZHashedString("xbox"), ZHashedString("xbox_hud"));
    EXPECT_EQ(font->FindGlyphSheet(ZHashedString("xbox")), &hud);

    const ZString text = ZString("a<img>xbox:b<img>c").EncodeImageTags();
    ASSERT_EQ(text.GetLength(), 11);
    float w = 0, h = 0;
    font->DrawTextFormatted(text.GetText(), text.GetLength(), &w, &h, 2, 2);
    EXPECT_EQ(w, 12 + 20 + 12) << "the picture is one line high and wide";

    font->AddGlyphQuads(text.GetText(), text.GetLength(), 10, 20, 2, 2, kWhite, kWhite);
    ASSERT_EQ(hud.GetQuads().Count(), 1u);
    EXPECT_TRUE(menu.GetQuads().IsEmpty());
    const ZSpriteQuad& q = hud.GetQuads()[0];
    EXPECT_EQ(q.x, 10.0f + 12.0f);
    EXPECT_EQ(q.y, 20.0f) << "the pen's y, stored negated";
    EXPECT_EQ(q.scale, 10.0f);
    EXPECT_EQ(q.scaleX, 2.0f);
    EXPECT_EQ(q.frame.u, 0.25f) << "the 'b' glyph";

    font->DrawQueue(GetRenderer());
    EXPECT_EQ(font->GetLastQuadCount(), 2u);
    EXPECT_FLOAT_EQ(QuadLeft(1), 10.0f + 32.0f + 2.0f - 0.5f) << "'c' follows the picture";

    // Text may name the sheet itself in place of its family.
    struct Named {
        const char* tag;
        const ZSpriteBatch* sheet;
    };
    const Named named[] = {{"<img>xbox_menu:b<img>", &menu}, {"<img>XBOX_HUD:b<img>", &hud}};
    for (const Named& n : named) {
        SCOPED_TRACE(n.tag);
        const uint32_t hudBefore = hud.GetQuads().Count();
        const uint32_t menuBefore = menu.GetQuads().Count();
        const ZString encoded = ZString(n.tag).EncodeImageTags();
        font->AddGlyphQuads(encoded.GetText(), encoded.GetLength(), 0, 0, 1, 1, kWhite, kWhite);
        EXPECT_EQ(hud.GetQuads().Count() - hudBefore, n.sheet == &hud ? 1u : 0u);
        EXPECT_EQ(menu.GetQuads().Count() - menuBefore, n.sheet == &menu ? 1u : 0u);
    }

    // Without a mapping the family's first sheet serves; a sheet removed from the manager serves no more.
    font->SetFamilySheet(ZHashedString("xbox"), ZHashedString("nothing"));
    EXPECT_EQ(font->FindGlyphSheet(ZHashedString("xbox")), nullptr);
    ZFont other;
    EXPECT_NE(other.FindGlyphSheet(ZHashedString("xbox")), nullptr);
    GetGlyphSheetMgr()->Remove(&hud);
    GetGlyphSheetMgr()->Remove(&menu);
    EXPECT_EQ(other.FindGlyphSheet(ZHashedString("xbox")), nullptr);
}

TEST_F(ZFontTest, BuffersAreDroppedForAResetAndRebuiltAfterIt) {
    ASSERT_TRUE(font->HasBuffers());
    GetRenderer()->EndScene();
    bool exclusive = false;
    GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
    EXPECT_FALSE(GetRenderer()->deviceLost) << Calls();
    GetRenderer()->present();
    EXPECT_TRUE(font->HasBuffers());
    ASSERT_TRUE(GetRenderer()->BeginScene());
    font->AddGlyphQuads("a", 1, 0, 0, 1, 1, kWhite, kWhite);
    ClearCalls();
    font->DrawQueue(GetRenderer());
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 2)")) << Calls();
}

using ZFontBeforeDeviceTest = rtest::RendererTest;

TEST_F(ZFontBeforeDeviceTest, AFontMadeBeforeTheDeviceBuildsItsBuffersAtItsFirstDraw) {
    ZFont font;
    EXPECT_FALSE(font.HasBuffers());
    const std::string table = GlyphTable(TestGlyphs(), 10);
    ASSERT_TRUE(font.LoadFromMemory(reinterpret_cast<const uint8_t*>(table.data()), table.size(), "test"));
    Start();
    ASSERT_TRUE(GetRenderer()->BeginScene());
    font.AddGlyphQuads("ab", 2, 0, 0, 1, 1, kWhite, kWhite);
    font.DrawQueue(GetRenderer());
    EXPECT_TRUE(font.HasBuffers());
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 2048, 0, 4)")) << Calls();
    GetRenderer()->EndScene();
}
