// The engine font drawn on OpenGL: text queued through ZFont lands on exactly
// the pixels of its glyphs' bitmaps on the sheet, line by line, enlarged and
// in colour, and a picture of a glyph sheet sits in the line. The expected
// image is computed here from the sheet's texels.

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TextGlFixture.h"
#include "foundation/ZString.h"
#include "input/ZGamepadGlyphSheet.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZSpriteBatch.h"

using namespace gltest;

namespace {

const ZHashedString kSheetName("FontSheet");

class ZFontGlTest : public TextGlTest {
protected:
    void SetUp() override {
        TextGlTest::SetUp();
        if (HasFatalFailure()) return;
        const std::string package = std::string(KORV_DATA_BUILD_DIR) + "/Engine.zpk";
        ZStreamMgr::GetInstance()->AddPackageSource(package.c_str());
        fontObject = std::make_unique<ZFont>();
        font = fontObject.get();
        ASSERT_TRUE(font->Load("Font_Tahoma_8_256.uv")) << package;
        ASSERT_NE(ZTextureMgr::GetInstance()->LoadTexture("Font_Tahoma_8_256.dds", kSheetName, nullptr), nullptr);
        char* bytes = nullptr;
        int64_t size = 0;
        ASSERT_TRUE(ZStreamMgr::GetInstance()->ReadFile("Font_Tahoma_8_256.dds", &bytes, &size));
        sheetBytes.reset(bytes);
        ASSERT_TRUE(sheet.Parse(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(size)));
        ASSERT_EQ(sheet.GetSourceTexelBytes(), 4u);
        expected.assign(static_cast<size_t>(kWidth) * kHeight, kBackground);
    }
    void TearDown() override {
        fontObject.reset();
        TextGlTest::TearDown();
    }

    // The sheet's alpha at a texel.
    int SheetAlpha(int32_t tx, int32_t ty) const {
        const ZDDSFile::Level level = sheet.GetLevel(0, 0);
        return level.data[static_cast<size_t>(ty) * level.rowBytes + static_cast<size_t>(tx) * 4 + 3];
    }

    // Paints into the expected image what the text should look like: every
    // glyph's box of the sheet, enlarged by a whole scale, at the pen, inked
    // texels in the colour; lines one line height apart. ASCII only.
    void Expect(const std::string& text, int32_t x, int32_t y, int32_t scale, ZColor32 colour) {
        const int32_t lineHeight = font->GetLineHeight();
        int32_t penX = x;
        for (const char ch : text) {
            if (ch == '\n') {
                penX = x;
                y += lineHeight * scale;
                continue;
            }
            const ZFontGlyph* g = font->FindGlyph(static_cast<uint8_t>(ch));
            ASSERT_NE(g, nullptr) << ch;
            const auto tx0 = static_cast<int32_t>(std::lround(g->u0 * static_cast<float>(sheet.GetWidth())));
            const auto ty0 = static_cast<int32_t>(std::lround(g->v0 * static_cast<float>(sheet.GetHeight())));
            const int32_t left = penX + static_cast<int32_t>(g->before) * scale;
            for (int32_t row = 0; row < lineHeight * scale; ++row) {
                for (int32_t col = 0; col < static_cast<int32_t>(g->width) * scale; ++col) {
                    if (SheetAlpha(tx0 + col / scale, ty0 + row / scale) == 255) {
                        Put(left + col, y + row, colour.ToARGB());
                    }
                }
            }
            penX += static_cast<int32_t>(g->before + g->width + g->after) * scale;
        }
    }
    void Put(int32_t px, int32_t py, uint32_t argb) {
        if (px >= 0 && px < kWidth && py >= 0 && py < kHeight) {
            expected[static_cast<size_t>(py) * kWidth + static_cast<size_t>(px)] = argb;
        }
    }

    // Made once the device exists, gone before it goes.
    std::unique_ptr<ZFont> fontObject;
    ZFont* font = nullptr;
    ZDDSFile sheet;
    std::unique_ptr<char[]> sheetBytes;
    std::vector<uint32_t> expected;
};

const ZColor32 kWhite(255, 255, 255, 255);

}  // namespace

TEST_F(ZFontGlTest, TextLandsOnTheGlyphsPixels) {
    struct Case {
        std::string text;
        int32_t x, y, scale;
        ZColor32 colour;
    };
    const Case cases[] = {
        {"Hello, World! 0123456789", 4, 6, 1, kWhite},
        {"Two lines:\nquick brown fox", 10, 30, 1, ZColor32(255, 255, 0, 255)},
        {"Big Ag", 8, 80, 3, ZColor32(0, 255, 255, 255)},
        {"{[(|)]}~@#$%^&*_+=<>?/", 2, 150, 1, kWhite},
    };
    for (const Case& c : cases) {
        font->DrawText(c.text.data(), static_cast<int32_t>(c.text.size()), static_cast<float>(c.x),
                      static_cast<float>(c.y), static_cast<float>(c.scale), static_cast<float>(c.scale), c.colour,
                      c.colour);
        Expect(c.text, c.x, c.y, c.scale, c.colour);
    }
    DrawWith(*font, kSheetName);
    EXPECT_GT(font->GetLastQuadCount(), 60u);
    EXPECT_TRUE(SameImage(Pixels(), expected));
}

TEST_F(ZFontGlTest, TheShadowSitsBelowRightAndTheMeasureCoversTheInk) {
    // On grey, so that the black shadow shows.
    GetRenderer()->Clear(true, false, 0xFF808080u, 1.0f);
    expected.assign(expected.size(), 0xFF808080u);
    const std::string text = "Shadow";
    font->DrawText(text.data(), static_cast<int32_t>(text.size()), 20, 20, 1, 1, kWhite, kWhite, 1.0f);
    Expect(text, 21, 21, 1, ZColor32(0, 0, 0, 255));
    Expect(text, 20, 20, 1, kWhite);
    DrawWith(*font, kSheetName);
    const std::vector<uint32_t> pixels = Pixels();
    EXPECT_TRUE(SameImage(pixels, expected));

    // Every inked pixel lies within the measured box.
    float w = 0, h = 0;
    font->DrawTextFormatted(text.data(), static_cast<int32_t>(text.size()), &w, &h, 1, 1);
    EXPECT_EQ(h, static_cast<float>(font->GetLineHeight()));
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            if (pixels[static_cast<size_t>(y) * kWidth + x] == 0xFFFFFFFFu) {
                EXPECT_TRUE(x >= 20 && x < 20 + w && y >= 20 && y < 20 + h) << x << ", " << y;
            }
        }
    }
}

TEST_F(ZFontGlTest, ATranslucentTextIsDarkenedByItsShadowInPlace) {
    // Half-transparent white on grey, without a shadow offset: the black copy
    // under the glyphs halves the grey first, then the white is laid over it.
    GetRenderer()->Clear(true, false, 0xFF808080u, 1.0f);
    const std::string text = "Ghost HUD";
    const ZColor32 half(255, 255, 255, 128);
    font->DrawText(text.data(), static_cast<int32_t>(text.size()), 20, 20, 2, 2, half, half);
    DrawWith(*font, kSheetName);
    const std::vector<uint32_t> pixels = Pixels();

    const float a = 128.0f / 255.0f;
    const float shadowed = 255.0f * a + 128.0f * (1.0f - a) * (1.0f - a);  // about 160
    const float unshadowed = 255.0f * a + 128.0f * (1.0f - a);             // about 191
    Expect(text, 20, 20, 2, kWhite);  // marks the inked pixels
    int32_t inked = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (expected[i] != 0xFFFFFFFFu) continue;
        ++inked;
        const auto green = static_cast<float>((pixels[i] >> 8) & 0xFF);
        ASSERT_NEAR(green, shadowed, 3.0f) << "pixel (" << i % kWidth << ", " << i / kWidth << ") is " << green
                                           << "; without the shadow it would be about " << unshadowed;
    }
    EXPECT_GT(inked, 100);
}

TEST_F(ZFontGlTest, AWrappedRequestBreaksWhereTheMeasureSays) {
    const std::string text = "one two three four";
    const float limit = 60.0f;
    float w = 0, h = 0;
    font->DrawTextFormatted(text.data(), static_cast<int32_t>(text.size()), &w, &h, 1, 1, limit);
    ASSERT_EQ(h, 2.0f * static_cast<float>(font->GetLineHeight())) << "the text needs two lines at this width";
    font->DrawText(text.data(), static_cast<int32_t>(text.size()), 0, 0, 1, 1, kWhite, kWhite, 0.0f, limit);
    // Find the break as the layout would: the widest first line of whole words within the limit.
    float first = 0.0f;
    size_t breakAt = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            float lw = 0, lh = 0;
            font->DrawTextFormatted(text.data(), static_cast<int32_t>(i), &lw, &lh, 1, 1);
            if (lw > limit) break;
            first = lw;
            breakAt = i + 1;
        }
    }
    ASSERT_GT(first, 0.0f);
    Expect(text.substr(0, breakAt) + "\n" + text.substr(breakAt), 0, 0, 1, kWhite);
    DrawWith(*font, kSheetName);
    EXPECT_TRUE(SameImage(Pixels(), expected));
}

TEST_F(ZFontGlTest, APictureInTheTextIsDrawnByItsGlyphSheet) {
    // A 4 x 4 sheet of 1 x 1 pictures: the gamepad layout on a small texture
    // whose every texel is opaque, so the picture covers its whole square.
    ZTexture* pad = ZTextureMgr::GetInstance()->CreateTexture(4, 8, ZHashedString("PadSheet"));
    int32_t pitch = 0;
    void* bits = nullptr;
    ASSERT_TRUE(pad->LockRect(pitch, bits));
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const uint32_t c = 0xFF000000u | static_cast<uint32_t>(40 * x + 10) << 16 | static_cast<uint32_t>(30 * y);
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
        }
    }
    pad->UnlockRect();
    ZSpriteBatch pictures;
    CreateGamepadGlyphSheet(pictures);
    GetGlyphSheetMgr()->Add(ZHashedString("xbox"), ZHashedString("xbox_hud"), &pictures);
    font->SetFamilySheet(ZHashedString("xbox"), ZHashedString("xbox_hud"));

    const ZString text = ZString("A<img>xbox:b<img>A").EncodeImageTags();
    font->DrawText(text.GetText(), text.GetLength(), 10, 10, 1, 1, kWhite, kWhite);
    DrawWith(*font, kSheetName);
    DrawWith(pictures, ZHashedString("PadSheet"));

    const int32_t lh = font->GetLineHeight();
    const ZFontGlyph* a = font->FindGlyph('A');
    Expect("A", 10, 10, 1, kWhite);
    const int32_t picture = 10 + static_cast<int32_t>(a->before + a->width + a->after);
    Expect("A", picture + lh, 10, 1, kWhite);
    // Glyph "b" is texel (1, 0) of the sheet, stretched over lh x lh pixels.
    for (int32_t y = 0; y < lh; ++y) {
        for (int32_t x = 0; x < lh; ++x) Put(picture + x, 10 + y, 0xFF000000u | 50u << 16);
    }
    EXPECT_TRUE(SameImage(Pixels(), expected));
    GetGlyphSheetMgr()->Remove(&pictures);
    DestroyGlyphSheetMgr();
}
