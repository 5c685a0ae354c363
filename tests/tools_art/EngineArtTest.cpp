// The engine's built-in pictures: their PNG sources are what artgen draws,
// their layouts are the ones the glyph sheets address, and the built
// Engine.zpk holds every texture and font file the engine loads by name.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "support/TempDir.h"
#include "tools/texbuild/TextureEncode.h"
#include "tools_art/ArtFiles.h"

namespace {

using arttest::Quoted;
using arttest::RunTool;

const std::string kTextures = std::string(KORV_SOURCE_DIR) + "/data/engine/textures";
const std::string kEngineFont = std::string(KORV_SOURCE_DIR) + "/data/engine/fonts/engine8.glyphs";
const std::string kEnginePackage = std::string(KORV_DATA_BUILD_DIR) + "/Engine.zpk";

korvart::Picture LoadSource(const std::string& name) {
    korvart::Picture pic;
    std::string error;
    EXPECT_TRUE(korvart::ReadPng(kTextures + "/" + name, pic, error)) << error;
    return pic;
}

std::set<std::string> PngNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".png") names.insert(entry.path().filename().string());
    }
    return names;
}

// The committed sources are exactly what the generator draws today: an
// edit to the generator without regenerating (or a hand edit of a PNG) shows.
TEST(EngineArt, SourcesAreWhatArtgenDraws) {
    korvtest::TempDir dir;
    const arttest::ToolRun run = RunTool("artgen", Quoted(kEngineFont) + " " + Quoted(dir.Path().string()));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::set<std::string> drawn = PngNames(dir.Path().string());
    ASSERT_EQ(drawn, PngNames(kTextures));
    for (const std::string& name : drawn) {
        SCOPED_TRACE(name);
        korvart::Picture fresh;
        std::string error;
        ASSERT_TRUE(korvart::ReadPng(dir.File(name), fresh, error)) << error;
        const korvart::Picture kept = LoadSource(name);
        ASSERT_EQ(fresh.width, kept.width);
        ASSERT_EQ(fresh.height, kept.height);
        EXPECT_TRUE(fresh.rgba == kept.rgba) << "run: artgen " << kEngineFont << " " << kTextures;
    }
}

// The game's title card likewise.
TEST(EngineArt, GameTitleIsWhatArtgenDraws) {
    korvtest::TempDir dir;
    const arttest::ToolRun run =
        RunTool("artgen", "--game-title " + Quoted(kEngineFont) + " " + Quoted(dir.File("title.png")));
    ASSERT_EQ(run.status, 0) << run.output;
    korvart::Picture fresh;
    korvart::Picture kept;
    std::string error;
    ASSERT_TRUE(korvart::ReadPng(dir.File("title.png"), fresh, error)) << error;
    ASSERT_TRUE(korvart::ReadPng(std::string(KORV_SOURCE_DIR) + "/data/game/src/title_text.png", kept, error)) << error;
    EXPECT_TRUE(fresh.width == kept.width && fresh.height == kept.height && fresh.rgba == kept.rgba)
        << "run: artgen --game-title " << kEngineFont << " data/game/src/title_text.png";
}

bool HasInk(const korvart::Picture& pic, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
    for (uint32_t y = y0; y < y1; ++y)
        for (uint32_t x = x0; x < x1; ++x)
            if (pic.At(x, y)[3] != 0) return true;
    return false;
}

// Glyph i of 24 sits at (0.25 * (i mod 4), 0.125 * (i div 4)); every cell
// has a picture, keeps its outermost texels clear (no bleeding into a
// neighbour when filtered), and the two unused rows stay empty.
TEST(EngineArt, GamepadSheetsFillTheAddressedCells) {
    for (const char* name : {"xbox_dxt5.png", "gen_dxt5.png"}) {
        SCOPED_TRACE(name);
        const korvart::Picture pic = LoadSource(name);
        ASSERT_EQ(pic.width % 4, 0u);
        ASSERT_EQ(pic.height % 8, 0u);
        const uint32_t cw = pic.width / 4, ch = pic.height / 8;
        for (uint32_t i = 0; i < 32; ++i) {
            const uint32_t x0 = (i % 4) * cw, y0 = (i / 4) * ch;
            if (i >= 24) {
                EXPECT_FALSE(HasInk(pic, x0, y0, x0 + cw, y0 + ch)) << "unused cell " << i;
                continue;
            }
            EXPECT_TRUE(HasInk(pic, x0 + 1, y0 + 1, x0 + cw - 1, y0 + ch - 1)) << "cell " << i;
            EXPECT_FALSE(
                HasInk(pic, x0, y0, x0 + cw, y0 + 1) || HasInk(pic, x0, y0 + ch - 1, x0 + cw, y0 + ch) ||
                HasInk(pic, x0, y0, x0 + 1, y0 + ch) || HasInk(pic, x0 + cw - 1, y0, x0 + cw, y0 + ch))
                << "cell " << i << " touches its edge";
        }
    }
    // The two styles are different pictures.
    EXPECT_FALSE(LoadSource("xbox_dxt5.png").rgba == LoadSource("gen_dxt5.png").rgba);
}

// The "ui" sheet's regions, as fractions of the texture.
TEST(EngineArt, InterfaceSheetRegions) {
    const korvart::Picture pic = LoadSource("uiglyphs.png");
    struct Region {
        const char* name;
        float u, v, w, h;
    };
    const Region regions[] = {
        {"s_l", 0, 0, 0.25f, 0.25f},     {"s_m", 0.25f, 0, 0.25f, 0.25f},
        {"s_r", 0.5f, 0, 0.25f, 0.25f},  {"s_b", 0.8125f, 0, 0.125f, 0.25f},
        {"c_0", 0, 0.25f, 0.25f, 0.25f}, {"c_1", 0.25f, 0.25f, 0.25f, 0.25f},
    };
    std::vector<uint8_t> inside(static_cast<size_t>(pic.width) * pic.height, 0);
    for (const Region& r : regions) {
        SCOPED_TRACE(r.name);
        const uint32_t x0 = static_cast<uint32_t>(r.u * static_cast<float>(pic.width));
        const uint32_t y0 = static_cast<uint32_t>(r.v * static_cast<float>(pic.height));
        const uint32_t x1 = x0 + static_cast<uint32_t>(r.w * static_cast<float>(pic.width));
        const uint32_t y1 = y0 + static_cast<uint32_t>(r.h * static_cast<float>(pic.height));
        EXPECT_TRUE(HasInk(pic, x0, y0, x1, y1));
        for (uint32_t y = y0; y < y1; ++y)
            for (uint32_t x = x0; x < x1; ++x) inside[static_cast<size_t>(y) * pic.width + x] = 1;
    }
    for (uint32_t y = 0; y < pic.height; ++y)
        for (uint32_t x = 0; x < pic.width; ++x)
            if (!inside[static_cast<size_t>(y) * pic.width + x]) {
                ASSERT_EQ(pic.At(x, y)[3], 0) << x << "," << y;
            }
    // The track's middle is the same in every column, so it stretches, and
    // the caps continue it without a seam.
    const uint32_t m0 = pic.width / 4, m1 = pic.width / 2;
    for (uint32_t y = 0; y < pic.height / 4; ++y) {
        for (uint32_t x = m0; x <= m1; ++x) {
            EXPECT_TRUE(std::equal(pic.At(x, y), pic.At(x, y) + 4, pic.At(m0, y))) << x << "," << y;
        }
        EXPECT_TRUE(std::equal(pic.At(m0 - 1, y), pic.At(m0 - 1, y) + 4, pic.At(m0, y))) << y;
    }
}

std::vector<uint8_t> ReadPacked(const char* name) {
    char* buffer = nullptr;
    int64_t size = 0;
    if (!ZStreamMgr::GetInstance()->ReadFile(name, &buffer, &size)) return {};
    std::vector<uint8_t> bytes(buffer, buffer + size);
    delete[] buffer;
    return bytes;
}

class EnginePackage : public testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kEnginePackage)) GTEST_SKIP() << "Engine.zpk has not been built";
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddPackageSource(kEnginePackage.c_str());
    }
    void TearDown() override { ZStreamMgr::DestroyInstance(); }
};

// Every texture and font file the engine asks for by name, with the layout
// its reader expects.
TEST_F(EnginePackage, HoldsTheEngineTexturesAndFont) {
    struct Case {
        const char* name;
        const char* fourCC;  // empty: uncompressed 32-bit
        uint32_t width, height;
    };
    const Case cases[] = {
        {"xbox_dxt5.dds", "DXT5", 128, 256}, {"gen_dxt5.dds", "DXT5", 128, 256},
        {"uiglyphs.dds", "", 64, 64},        {"mod_white.dds", "", 4, 4},
        {"menu_underlay.dds", "", 64, 64},   {"menu_quad.dds", "", 96, 48},
        {"default_title.dds", "", 256, 128}, {"default_calibration.dds", "", 128, 128},
        {"qmw.dds", "", 256, 128},           {"qmw_grid.dds", "", 64, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> file = ReadPacked(c.name);
        const arttest::DdsInfo info = arttest::ParseDds(file);
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(info.headerSize, 124u);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        if (*c.fourCC) {
            EXPECT_TRUE(info.Compressed());
            EXPECT_EQ(info.fourCC, c.fourCC);
        } else {
            EXPECT_FALSE(info.Compressed());
            EXPECT_EQ(info.bitCount, 32u);
        }
        EXPECT_EQ(file.size(), 128 + info.LevelBytes(0));
    }
    // The modulation texture is opaque white.
    const std::vector<uint8_t> white = ReadPacked("mod_white.dds");
    for (size_t i = 128; i < white.size(); ++i) EXPECT_EQ(white[i], 255);

    const arttest::UvTable font = arttest::ParseUv(ReadPacked("Font_Tahoma_8_256.uv"));
    ASSERT_TRUE(font.valid);
    const arttest::DdsInfo sheet = arttest::ParseDds(ReadPacked("Font_Tahoma_8_256.dds"));
    ASSERT_TRUE(sheet.valid);
    EXPECT_EQ(sheet.width, static_cast<uint32_t>(font.metrics[3]));
    EXPECT_EQ(sheet.height, static_cast<uint32_t>(font.metrics[4]));

    const std::vector<uint8_t> header = ReadPacked("header.bmp");
    ASSERT_GE(header.size(), 54u);
    EXPECT_EQ(header[0], 'B');
    EXPECT_EQ(header[1], 'M');
    EXPECT_EQ(arttest::U32(header, 2), header.size());
}

// The art sources stay out of the package; the other engine files stay in.
TEST_F(EnginePackage, LeavesTheSourcesOut) {
    EXPECT_LT(ZStreamMgr::GetInstance()->FindSource("textures\\xbox_dxt5.png", false), 0);
    EXPECT_LT(ZStreamMgr::GetInstance()->FindSource("fonts\\engine8.glyphs", false), 0);
    EXPECT_GE(ZStreamMgr::GetInstance()->FindSource("General.txt", false), 0);
    EXPECT_GE(ZStreamMgr::GetInstance()->FindSource("Version.ini", false), 0);
}

}  // namespace
