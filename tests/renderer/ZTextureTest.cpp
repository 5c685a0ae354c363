// Textures: the DDS reader's checks and uploads, BMP textures, blank ones,
// and the texture cache's counting and adoption of render-target textures.

#include <cstring>
#include <string>
#include <vector>

#include "RendererFiles.h"
#include "RendererFixture.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

rfiles::DDS Dxt1(uint32_t w, uint32_t h, uint32_t levels, bool mipFlag) {
    rfiles::DDS d;
    d.width = w;
    d.height = h;
    d.mipCount = levels;
    if (mipFlag) d.flags |= rfiles::kDDSMipMapCount;
    d.pixelFlags = rfiles::kDDSFourCC;
    d.fourCC = rfiles::FourCC("DXT1");
    d.bitCount = 0;
    return d;
}

// Reads level 0 of a 2D texture row by row through its pitch.
std::string ReadLevel0(ZTexture& texture, uint32_t rowBytes, uint32_t rows) {
    int32_t pitch = 0;
    void* bits = nullptr;
    if (!texture.LockRect(pitch, bits)) return "";
    std::string out;
    for (uint32_t y = 0; y < rows; ++y) out.append(static_cast<const char*>(bits) + y * pitch, rowBytes);
    texture.UnlockRect();
    return out;
}

}  // namespace

TEST(ZDDSFile, LevelsOfABlockCompressedChain) {
    rfiles::DDS d = Dxt1(256, 256, 9, true);
    size_t total = 0;
    for (uint32_t level = 0; level < 9; ++level) {
        const uint32_t side = std::max(1u, 256u >> level);
        total += 8 * std::max(1u, (side + 3) / 4) * std::max(1u, (side + 3) / 4);
    }
    d.data.assign(total, '\x5a');
    const std::string bytes = d.Bytes();
    ZDDSFile dds;
    ASSERT_TRUE(dds.Parse(Bytes(bytes), bytes.size())) << dds.GetError();
    EXPECT_EQ(dds.GetFormat(), gfx::Format::DXT1);
    ASSERT_EQ(dds.GetLevelCount(), 9u);
    const ZDDSFile::Level top = dds.GetLevel(0, 0);
    EXPECT_EQ(top.rowBytes, 64u * 8u);
    EXPECT_EQ(top.rows, 64u);
    EXPECT_EQ(top.data, Bytes(bytes) + 128);
    for (uint32_t level = 6; level < 9; ++level) {
        const ZDDSFile::Level l = dds.GetLevel(0, level);
        EXPECT_EQ(l.rowBytes * l.rows, 8u) << level;
    }
    EXPECT_EQ(dds.GetLevel(0, 8).data + 8, Bytes(bytes) + bytes.size());
    EXPECT_FALSE(dds.Parse(Bytes(bytes), bytes.size() - 1)) << "one byte short";
}

TEST(ZDDSFile, LevelCounts) {
    struct Case {
        uint32_t side, count;
        bool flag;
        uint32_t levels;
    };
    const Case cases[] = {
        {8, 9, false, 1},   // without the flag the count field means nothing
        {8, 0, true, 1},
        {8, 3, true, 3},
        {8, 20, true, 4},   // never more than the full chain
        {6, 3, true, 3},    // 6, 3 and 1 texels: 2, 1 and 1 blocks a side
    };
    for (const Case& c : cases) {
        rfiles::DDS d = Dxt1(c.side, c.side, c.count, c.flag);
        d.data.assign(4096, '\0');
        const std::string bytes = d.Bytes();
        ZDDSFile dds;
        ASSERT_TRUE(dds.Parse(Bytes(bytes), bytes.size())) << dds.GetError();
        EXPECT_EQ(dds.GetLevelCount(), c.levels) << c.side << " " << c.count;
    }
    rfiles::DDS six = Dxt1(6, 6, 1, false);
    six.data.assign(4 * 8 - 1, '\0');
    const std::string bytes = six.Bytes();
    ZDDSFile dds;
    EXPECT_FALSE(dds.Parse(Bytes(bytes), bytes.size())) << "a 6 x 6 level is 2 x 2 blocks";
}

TEST(ZDDSFile, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        void (*change)(rfiles::DDS&);
    };
    const Case cases[] = {
        {"magic", [](rfiles::DDS& d) { d.magic = rfiles::FourCC("DDS!"); }},
        {"header size", [](rfiles::DDS& d) { d.headerSize = 100; }},
        {"no width", [](rfiles::DDS& d) { d.width = 0; }},
        {"too tall", [](rfiles::DDS& d) { d.height = 20000; }},
        {"other block format",
         [](rfiles::DDS& d) {
             d.pixelFlags = rfiles::kDDSFourCC;
             d.fourCC = rfiles::FourCC("ATI2");
         }},
        {"16-bit texels", [](rfiles::DDS& d) { d.bitCount = 16; }},
        {"no pixel format", [](rfiles::DDS& d) { d.pixelFlags = 0; }},
        {"oblong cube", [](rfiles::DDS& d) {
             d.caps2 = rfiles::kDDSCubeMap;
             d.width = 8;
         }},
        {"cube without its faces", [](rfiles::DDS& d) { d.caps2 = rfiles::kDDSCubeMap; }},
        {"short texels", [](rfiles::DDS& d) { d.data.pop_back(); }},
    };
    for (const Case& c : cases) {
        rfiles::DDS d = rfiles::Dds32(4, 4, std::vector<uint32_t>(16, 0xFF00FF00u));
        c.change(d);
        const std::string bytes = d.Bytes();
        ZDDSFile dds;
        EXPECT_FALSE(dds.Parse(Bytes(bytes), bytes.size())) << c.what;
        EXPECT_STRNE(dds.GetError(), "") << c.what;
    }
    const std::string header = rfiles::Dds32(4, 4, {}).Bytes();
    ZDDSFile dds;
    EXPECT_FALSE(dds.Parse(Bytes(header), 100)) << "short header";
}

TEST_F(RendererTest, DDSTexturesUploadEveryLevelByThePitch) {
    state->script.pitchPadding = 4;
    Start();
    // 24-bit texels widen to X8R8G8B8.
    rfiles::DDS rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.bitCount = 24;
    for (int i = 0; i < 6; ++i) rgb.data += std::string{char(i), char(10 + i), char(20 + i)};
    WriteFile("rgb.dds", rgb.Bytes());
    ZTexture texture("rgb.dds", ZHashedString("rgb"), nullptr);
    EXPECT_TRUE(Logged("CreateTexture(3x2, levels 1, usage 0x0, X8R8G8B8, Managed)")) << Calls();
    EXPECT_EQ(texture.width, 3);
    EXPECT_EQ(texture.mipLevels, 1);
    EXPECT_FALSE(texture.cube);
    std::string expected;
    for (int i = 0; i < 6; ++i) expected += std::string{char(i), char(10 + i), char(20 + i), '\xff'};
    EXPECT_EQ(ReadLevel0(texture, 12, 2), expected);

    // Every level of a block-compressed chain.
    rfiles::DDS dxt = Dxt1(8, 8, 4, true);
    for (int i = 0; i < 4 * 8 + 8 + 8 + 8; ++i) dxt.data.push_back(static_cast<char>(i));
    WriteFile("chain.dds", dxt.Bytes());
    ZTexture chain("CHAIN.DDS", ZHashedString("chain"), nullptr);
    EXPECT_TRUE(Logged("CreateTexture(8x8, levels 4, usage 0x0, DXT1, Managed)")) << Calls();
    EXPECT_EQ(chain.mipLevels, 4);
    EXPECT_EQ(ReadLevel0(chain, 16, 2), dxt.data.substr(0, 32));
    for (uint32_t level = 0; level < 4; ++level) {
        EXPECT_TRUE(Logged("Texture.LockRect(" + std::string("#") +
                           std::to_string(gfx::fake::IdOf(chain.GetTexture())) + ", face 0, level " +
                           std::to_string(level)))
            << level;
    }
}

TEST_F(RendererTest, CubeMapsUploadSixFaces) {
    Start();
    rfiles::DDS cube = rfiles::Dds32(2, 2, {});
    cube.caps2 = rfiles::kDDSCubeMap;
    for (uint32_t face = 0; face < 6; ++face) {
        for (int t = 0; t < 4; ++t) rfiles::Put32(cube.data, 0xFF000000u | (face + 1) * 0x111111u);
    }
    WriteFile("sky.dds", cube.Bytes());
    ZTexture texture("sky.dds", ZHashedString("sky"), nullptr);
    ASSERT_NE(texture.GetTexture(), nullptr);
    EXPECT_TRUE(texture.cube);
    EXPECT_EQ(texture.GetTexture()->GetType(), gfx::ResourceType::CubeTexture);
    auto* faces = static_cast<gfx::CubeTexture*>(texture.GetTexture());
    for (uint32_t face = 0; face < 6; ++face) {
        gfx::LockedRect locked;
        ASSERT_EQ(faces->LockRect(static_cast<gfx::CubeFace>(face), 0, &locked, nullptr, gfx::lock::kReadOnly),
                  gfx::Result::Ok);
        uint32_t texel = 0;
        std::memcpy(&texel, locked.bits, 4);
        EXPECT_EQ(texel, 0xFF000000u | (face + 1) * 0x111111u) << face;
        faces->UnlockRect(static_cast<gfx::CubeFace>(face), 0);
    }
    // A 2D lock on a cube map is refused rather than misread.
    int32_t pitch = 0;
    void* bits = nullptr;
    EXPECT_FALSE(texture.LockRect(pitch, bits));
}

TEST_F(RendererTest, BMPTexturesTakeTheImagesColoursAndAnOptionalPalette) {
    state->script.pitchPadding = 8;
    Start();
    ZImage image;
    ASSERT_TRUE(image.Create(3, 2, 1, 8));
    image.SetPixel(0, 0, 0x00010000u);
    image.SetPixel(2, 1, 0x00020000u);
    ASSERT_TRUE(WriteBMPFile(image, dir.File("tiles.ktb").c_str()));
    WriteFile("tiles.pal", rfiles::Palette(std::vector<uint32_t>{0x000000, 0xFF0000, 0x00FF00, 0, 0, 0}, 6));
    std::vector<uint32_t> colours(256, 0);
    colours[1] = 0x102030;
    colours[2] = 0x405060;
    WriteFile("tiles256.pal", rfiles::Palette(colours, 256));

    ZTexture plain("tiles.ktb", ZHashedString("plain"), "tiles.pal");  // the count does not match: ignored
    EXPECT_TRUE(Logged("CreateTexture(3x2, levels 1, usage 0x0, A8R8G8B8, Managed)")) << Calls();
    EXPECT_EQ(plain.mipLevels, 1);
    std::string expected(24, '\0');
    for (size_t i = 3; i < expected.size(); i += 4) expected[i] = '\xff';
    EXPECT_EQ(ReadLevel0(plain, 12, 2), expected);

    ZTexture coloured("tiles.ktb", ZHashedString("coloured"), "tiles256.pal");
    const std::string texels = ReadLevel0(coloured, 12, 2);
    uint32_t first = 0, last = 0;
    std::memcpy(&first, texels.data(), 4);
    std::memcpy(&last, texels.data() + 20, 4);
    EXPECT_EQ(first, 0xFF102030u);
    EXPECT_EQ(last, 0xFF405060u);
}

TEST_F(RendererTest, TexturesThatCannotLoadHaveNoDeviceTexture) {
    Start();
    WriteFile("notes.txt", "text");
    WriteFile("bad.dds", "DDS not really");
    WriteFile("bad.bmp", "BM not really");
    for (const char* name : {"notes.txt", "bad.dds", "bad.bmp", "absent.dds"}) {
        ZTexture texture(name, ZHashedString(name), nullptr);
        EXPECT_EQ(texture.GetTexture(), nullptr) << name;
        EXPECT_EQ(texture.name, ZHashedString(name));
    }
}

TEST_F(RendererTest, TheTextureCacheCountsReferencesByName) {
    Start();
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    WriteFile("a.dds", rfiles::Dds32(1, 1, {0xFFFFFFFFu}).Bytes());
    EXPECT_EQ(textures->LoadTexture(nullptr, ZHashedString("a"), nullptr), nullptr);
    EXPECT_EQ(textures->GetCount(), 0u);

    ZTexture* first = textures->LoadTexture("a.dds", ZHashedString("a"), nullptr);
    ZTexture* second = textures->LoadTexture("a.dds", ZHashedString("A"), nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(textures->GetRefCount(ZHashedString("a")), 2);
    EXPECT_EQ(textures->FindTexture(ZHashedString("a")), first);
    EXPECT_EQ(textures->GetRefCount(ZHashedString("a")), 2) << "finding counts nothing";
    textures->ReleaseTexture(ZHashedString("a"));
    EXPECT_EQ(textures->FindTexture(ZHashedString("a")), first);
    textures->ReleaseTexture(ZHashedString("a"));
    EXPECT_EQ(textures->FindTexture(ZHashedString("a")), nullptr);
    textures->ReleaseTexture(ZHashedString("never"));

    ClearCalls();
    ZTexture* blank = textures->CreateTexture(16, 8, ZHashedString("blank"));
    EXPECT_TRUE(Logged("CreateTexture(16x8, levels 1, usage 0x0, A8R8G8B8, Managed)"));
    EXPECT_EQ(textures->CreateTexture(4, 4, ZHashedString("blank")), blank);
    EXPECT_EQ(textures->GetRefCount(ZHashedString("blank")), 2);
}

TEST_F(RendererTest, AdoptionKeepsTheCachedObjectAndItsCount) {
    Start();
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    WriteFile("stand-in.dds", rfiles::Dds32(1, 1, {0xFFFFFFFFu}).Bytes());
    // Two owners hold the name before a render target publishes under it.
    ZTexture* held = textures->LoadTexture("stand-in.dds", ZHashedString("Shared"), nullptr);
    textures->LoadTexture("stand-in.dds", ZHashedString("Shared"), nullptr);
    gfx::BaseTexture* fileTexture = held->GetTexture();
    ASSERT_NE(fileTexture, nullptr);
    fileTexture->AddRef();

    ZRenderTarget target;
    target.width = target.height = 8;
    ASSERT_TRUE(GetRenderer()->CreateRenderTarget(target, ZHashedString("Shared")));
    EXPECT_EQ(textures->FindTexture(ZHashedString("Shared")), held);
    EXPECT_EQ(textures->GetRefCount(ZHashedString("Shared")), 2);
    EXPECT_EQ(held->GetTexture(), target.texture);
    EXPECT_EQ(held->width, 8);
    EXPECT_EQ(fileTexture->Release(), 0u) << "the file's texture was released";

    // The wrapper never releases the target's texture, even when destroyed first.
    textures->ReleaseTexture(ZHashedString("Shared"));
    textures->ReleaseTexture(ZHashedString("Shared"));
    EXPECT_EQ(textures->FindTexture(ZHashedString("Shared")), nullptr);
    EXPECT_NE(target.texture, nullptr);
    target.Release();
}

TEST_F(RendererTest, NoDeviceNoTextures) {
    ZTexture texture;
    EXPECT_FALSE(texture.CreateBlankTexture(4, 4));
    WriteFile("a.dds", rfiles::Dds32(1, 1, {0xFFFFFFFFu}).Bytes());
    ZTexture loaded("a.dds", ZHashedString("a"), nullptr);
    EXPECT_EQ(loaded.GetTexture(), nullptr);
}
