// The fontbuild tool: pixel-font source in, glyph table and sheet out.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"
#include "tools/fontbuild/GlyphSource.h"
#include "tools_art/ArtFiles.h"

namespace {

using arttest::Quoted;
using arttest::RunTool;

const std::string kEngineFont = std::string(KORV_SOURCE_DIR) + "/data/engine/fonts/engine8.glyphs";

TEST(FontBuild, HelpAndUsage) {
    struct Case {
        const char* arguments;
        int status;
        const char* shows;
    };
    const Case cases[] = {
        {"--help", 0, "usage: fontbuild"},
        {"", 2, "usage: fontbuild"},
        {"only-one", 2, "usage: fontbuild"},
        {"--bogus a b", 2, "unknown option \"--bogus\""},
        {"/no/such/file.glyphs out", 1, "cannot read /no/such/file.glyphs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const arttest::ToolRun run = RunTool("fontbuild", c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.shows), std::string::npos) << run.output;
    }
}

// A small source whose every pixel the test knows.
const char* const kTinySource =
    "// two glyphs and a blank\n"
    "height 4\n"
    "baseline 3\n"
    "after 1\n"
    "char U+0041 before 1 after 2  // A\n"
    ".#.\n"
    "#.#\n"
    "###\n"
    "#.#\n"
    "char 0x20\n"
    "..\n"
    "..\n"
    "..\n"
    "..\n"
    "char 233  // e acute, drawn after the higher code to check sorting\n"
    "..#\n"
    "##.\n"
    "#.#\n"
    ".##\n";

TEST(FontBuild, TableAndSheetHoldTheSourcePixels) {
    korvtest::TempDir dir;
    dir.Write("tiny.glyphs", kTinySource);
    const arttest::ToolRun run =
        RunTool("fontbuild", Quoted(dir.File("tiny.glyphs")) + " " + Quoted(dir.File("Tiny")));
    ASSERT_EQ(run.status, 0) << run.output;

    const arttest::UvTable table = arttest::ParseUv(arttest::ReadBytes(dir.File("Tiny.uv")));
    ASSERT_TRUE(table.valid);
    EXPECT_EQ(table.version, 1u);
    ASSERT_EQ(table.glyphs.size(), 3u);
    EXPECT_EQ(table.metrics[0], 4);         // line height
    EXPECT_EQ(table.metrics[1], 3);         // ascent
    EXPECT_EQ(table.metrics[2], 1);         // descent
    EXPECT_EQ(table.glyphs[0].code, 0x20);  // sorted by code
    EXPECT_EQ(table.glyphs[1].code, 0x41);
    EXPECT_EQ(table.glyphs[2].code, 0xE9);

    const arttest::UvGlyph* a = table.Find(0x41);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width, 3);
    EXPECT_EQ(a->before, 1);
    EXPECT_EQ(a->after, 2);
    EXPECT_EQ(table.Find(0x20)->after, 1);  // the file's default

    const std::vector<uint8_t> sheetFile = arttest::ReadBytes(dir.File("Tiny.dds"));
    const arttest::DdsInfo sheet = arttest::ParseDds(sheetFile);
    ASSERT_TRUE(sheet.valid);
    EXPECT_EQ(sheet.width, static_cast<uint32_t>(table.metrics[3]));
    EXPECT_EQ(sheet.height, static_cast<uint32_t>(table.metrics[4]));

    const char* const aRows[] = {".#.", "#.#", "###", "#.#"};
    const char* const eRows[] = {"..#", "##.", "#.#", ".##"};
    struct Expect {
        uint16_t code;
        const char* const* rows;
    };
    for (const Expect& e : {Expect{0x41, aRows}, Expect{0xE9, eRows}}) {
        const arttest::UvGlyph* g = table.Find(e.code);
        const uint32_t x0 = static_cast<uint32_t>(g->u0 * static_cast<float>(sheet.width));
        const uint32_t y0 = static_cast<uint32_t>(g->v0 * static_cast<float>(sheet.height));
        for (uint32_t y = 0; y < 4; ++y) {
            for (uint32_t x = 0; x < 3; ++x) {
                const arttest::Rgba t = arttest::DdsTexel(sheetFile, sheet, x0 + x, y0 + y);
                EXPECT_EQ(t.a, e.rows[y][x] == '#' ? 255 : 0)
                    << "glyph " << e.code << " at " << x << "," << y;
                EXPECT_EQ(t.r + t.g + t.b, 3 * 255);
            }
        }
    }
}

// The engine's own font: every printable code of ASCII and Latin-1 has a
// glyph, every record lies inside the sheet, and the sheet's alpha is exactly
// the ink of the source, texel for texel.
TEST(FontBuild, EngineFontCoversLatin1AndMatchesItsSource) {
    korvtest::TempDir dir;
    const arttest::ToolRun run = RunTool("fontbuild", Quoted(kEngineFont) + " " + Quoted(dir.File("Font")));
    ASSERT_EQ(run.status, 0) << run.output;
    const arttest::UvTable table = arttest::ParseUv(arttest::ReadBytes(dir.File("Font.uv")));
    ASSERT_TRUE(table.valid);
    const std::vector<uint8_t> sheetFile = arttest::ReadBytes(dir.File("Font.dds"));
    const arttest::DdsInfo sheet = arttest::ParseDds(sheetFile);
    ASSERT_TRUE(sheet.valid);
    EXPECT_EQ(sheet.bitCount, 32u);
    EXPECT_EQ(sheet.masks[3], 0xFF000000u);
    ASSERT_EQ(sheetFile.size(), 128 + static_cast<size_t>(sheet.width) * sheet.height * 4);

    for (uint32_t code = 0x20; code <= 0xFF; ++code) {
        if (code >= 0x7F && code < 0xA0) continue;
        EXPECT_NE(table.Find(static_cast<uint16_t>(code)), nullptr) << "no glyph for " << code;
    }

    const std::vector<uint8_t> bytes = arttest::ReadBytes(kEngineFont);
    const std::string text(bytes.begin(), bytes.end());
    korvart::GlyphSource source;
    std::string error;
    ASSERT_TRUE(korvart::ParseGlyphSource(text, source, error)) << error;
    const int32_t lineHeight = table.metrics[0];
    EXPECT_EQ(lineHeight, source.height);
    EXPECT_GT(lineHeight, 0);

    std::vector<uint8_t> covered(static_cast<size_t>(sheet.width) * sheet.height, 0);
    for (const arttest::UvGlyph& g : table.glyphs) {
        SCOPED_TRACE(g.code);
        ASSERT_GT(g.width, 0);
        EXPECT_GE(g.before, 0);
        EXPECT_GE(g.after, 0);
        EXPECT_GE(g.u0, 0.0f);
        EXPECT_GE(g.v0, 0.0f);
        EXPECT_LE(g.u1, 1.0f);
        EXPECT_LE(g.v1, 1.0f);
        // The box is exactly width x line height texels.
        EXPECT_FLOAT_EQ((g.u1 - g.u0) * static_cast<float>(sheet.width), static_cast<float>(g.width));
        EXPECT_FLOAT_EQ((g.v1 - g.v0) * static_cast<float>(sheet.height), static_cast<float>(lineHeight));
        const korvart::SourceGlyph* s = source.Find(g.code);
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->width, g.width);
        const uint32_t x0 = static_cast<uint32_t>(g.u0 * static_cast<float>(sheet.width));
        const uint32_t y0 = static_cast<uint32_t>(g.v0 * static_cast<float>(sheet.height));
        for (int32_t y = 0; y < lineHeight; ++y) {
            for (int32_t x = 0; x < g.width; ++x) {
                const size_t at = static_cast<size_t>(y0 + static_cast<uint32_t>(y)) * sheet.width + x0 +
                                  static_cast<uint32_t>(x);
                EXPECT_EQ(covered[at], 0) << "glyph boxes overlap";
                covered[at] = 1;
                const arttest::Rgba t = arttest::DdsTexel(sheetFile, sheet, x0 + static_cast<uint32_t>(x),
                                                          y0 + static_cast<uint32_t>(y));
                ASSERT_EQ(t.a, s->Ink(x, y) ? 255 : 0) << "texel " << x << "," << y;
            }
        }
    }
    // Nothing outside the glyph boxes has ink, and every texel is white.
    for (uint32_t y = 0; y < sheet.height; ++y) {
        for (uint32_t x = 0; x < sheet.width; ++x) {
            const arttest::Rgba t = arttest::DdsTexel(sheetFile, sheet, x, y);
            ASSERT_TRUE(t.r == 255 && t.g == 255 && t.b == 255) << x << "," << y;
            if (!covered[static_cast<size_t>(y) * sheet.width + x]) {
                ASSERT_EQ(t.a, 0) << x << "," << y;
            }
        }
    }
}

TEST(FontBuild, BrokenSourcesAreRefusedWithTheirLine) {
    struct Case {
        const char* name;
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"no height", "char U+0041\n#\n", "line 1: height must be given before the first glyph"},
        {"short glyph", "height 3\nchar U+0041\n#\n#\nchar U+0042\n#\n#\n#\n",
         "line 5: glyph 65 has 2 rows; it needs 3 rows"},
        {"ends early", "height 3\nchar U+0041\n#\n#\n", "glyph 65 ends after 2 of its 3 rows"},
        {"ragged rows", "height 2\nchar U+0041\n##\n#\n",
         "line 4: row is 1 pixels wide; the glyph's first row is 2"},
        {"stray character", "height 1\nchar U+0041\n#x#\n", "line 3: glyph 65 has 0 rows"},
        {"drawn twice", "height 1\nchar U+0041\n#\nchar 65\n#\n",
         "line 4: U+0041 is drawn twice (also at line 2)"},
        {"code too large", "height 1\nchar U+10000\n#\n", "line 2: char needs a code from U+0000 to U+FFFF"},
        {"bad spacing", "height 1\nchar U+0041 before -1\n#\n", "line 2: after the code only"},
        {"unknown keyword", "height 1\nwidth 3\n", "line 2: unknown line \"width\""},
        {"row outside a glyph", "height 1\n##\n", "line 2: pixel row outside a glyph"},
        {"height too large", "height 65\n", "line 1: height must be a whole number from 1 to 64"},
        {"height after glyphs", "height 1\nchar 65\n#\nheight 2\n",
         "line 4: height must come before the first glyph"},
        {"empty", "// nothing\n", "no glyphs"},
        {"too wide", "height 1\nchar 65\n#################################################################\n",
         "line 3: a glyph is at most 64 pixels wide"},
    };
    korvtest::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("bad.glyphs", c.source);
        const arttest::ToolRun run =
            RunTool("fontbuild", Quoted(dir.File("bad.glyphs")) + " " + Quoted(dir.File("Bad")));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_TRUE(dir.Read("Bad.uv").empty());
        EXPECT_TRUE(dir.Read("Bad.dds").empty());
    }
}

}  // namespace
