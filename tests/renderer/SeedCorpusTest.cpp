// The seed files of the renderer's fuzz targets (fuzz/corpus/dds_file,
// bmp_file, palette_file and m3d_file): each is built here from its fields and
// checked to be accepted or refused as its name says. With
// KORV_RENDERER_SEEDS=<folder> the files are also written under that folder
// (pass the repository's fuzz/corpus to refresh the seeds).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RendererFiles.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZImage.h"
#include "renderer/ZM3DMesh.h"

namespace {

struct Seed {
    std::string target;  // the fuzz target's corpus folder
    std::string name;
    std::string bytes;
    bool accepted;
};

std::vector<Seed> Seeds() {
    using namespace rfiles;
    std::vector<Seed> seeds;

    std::vector<uint32_t> texels;
    for (uint32_t i = 0; i < 16; ++i) texels.push_back(0xFF000000u | i * 0x0F0F0Fu);
    seeds.push_back({"dds_file", "rgb32.dds", Dds32(4, 4, texels).Bytes(), true});
    DDS rgb24;
    rgb24.width = 3;
    rgb24.height = 2;
    rgb24.bitCount = 24;
    rgb24.data = std::string(18, '\x40');
    seeds.push_back({"dds_file", "rgb24.dds", rgb24.Bytes(), true});
    DDS chain;
    chain.width = chain.height = 8;
    chain.flags |= kDDSMipMapCount;
    chain.mipCount = 4;
    chain.pixelFlags = kDDSFourCC;
    chain.fourCC = FourCC("DXT1");
    chain.bitCount = 0;
    const uint8_t ramp[16] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    for (int b = 0; b < 4 + 1 + 1 + 1; ++b) chain.data += Dxt1Block(0xF800, 0x001F, ramp);
    seeds.push_back({"dds_file", "dxt1_chain.dds", chain.Bytes(), true});
    DDS dxt5 = chain;
    dxt5.width = dxt5.height = 4;
    dxt5.flags &= ~kDDSMipMapCount;
    dxt5.fourCC = FourCC("DXT5");
    dxt5.data = std::string("\xff\x00\x00\x00\x00\x00\x00\x00", 8) + Dxt1Block(0xFFFF, 0, ramp);
    seeds.push_back({"dds_file", "dxt5.dds", dxt5.Bytes(), true});
    DDS cube = Dds32(2, 2, {});
    cube.caps2 = kDDSCubeMap;
    cube.data = std::string(6 * 16, '\x7f');
    seeds.push_back({"dds_file", "cube.dds", cube.Bytes(), true});
    DDS unflagged = Dds32(4, 4, texels);
    unflagged.mipCount = 9;
    seeds.push_back({"dds_file", "count_without_flag.dds", unflagged.Bytes(), true});
    std::string shortDds = chain.Bytes();
    shortDds.resize(shortDds.size() - 3);
    seeds.push_back({"dds_file", "truncated.dds", shortDds, false});
    DDS ati2 = dxt5;
    ati2.fourCC = FourCC("ATI2");
    seeds.push_back({"dds_file", "other_fourcc.dds", ati2.Bytes(), false});
    DDS huge = Dds32(4, 4, texels);
    huge.flags |= kDDSMipMapCount;
    huge.width = huge.height = 16384;
    huge.mipCount = 0xFFFFFFFF;
    seeds.push_back({"dds_file", "huge.dds", huge.Bytes(), false});

    BMP b8;
    b8.bitCount = 8;
    b8.width = 5;
    b8.height = 3;
    for (int i = 0; i < 256; ++i) b8.palette += std::string{char(i), char(255 - i), char(i / 2), '\0'};
    for (int i = 0; i < 24; ++i) b8.pixels.push_back(static_cast<char>(i * 11));
    seeds.push_back({"bmp_file", "indexed.bmp", b8.Bytes(), true});
    BMP b24;
    b24.width = 5;
    b24.height = 3;
    b24.pixels = std::string(48, '\x33');
    seeds.push_back({"bmp_file", "rgb24_padded.bmp", b24.Bytes(), true});
    BMP b32;
    b32.bitCount = 32;
    b32.width = 3;
    b32.height = 2;
    b32.pixels = std::string(24, '\x80');
    seeds.push_back({"bmp_file", "rgba32.bmp", b32.Bytes(), true});
    BMP topDown = b8;
    topDown.height = -3;
    topDown.clrUsed = 2;
    topDown.palette = std::string("\x10\x20\x30\x00\x40\x50\x60\x00", 8);
    topDown.offBits = 54 + 8 + 10;
    seeds.push_back({"bmp_file", "top_down_short_palette.bmp", topDown.Bytes(), true});
    BMP b4;  // 16 colours, written back as an 8-bit file of 16 colours
    b4.bitCount = 4;
    b4.width = 2;
    b4.height = 1;
    for (int i = 0; i < 16; ++i) b4.palette += std::string{char(16 * i), char(255 - i), char(i), '\0'};
    b4.pixels = std::string("\x5A\0\0\0", 4);
    seeds.push_back({"bmp_file", "sixteen_colours.bmp", b4.Bytes(), true});
    BMP rle = b8;
    rle.compression = 1;
    seeds.push_back({"bmp_file", "compressed.bmp", rle.Bytes(), false});
    std::string shortBmp = b24.Bytes();
    shortBmp.resize(shortBmp.size() - 1);
    seeds.push_back({"bmp_file", "truncated.bmp", shortBmp, false});

    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < 256; ++i) colours.push_back(i << 16 | (255 - i) << 8 | i / 3);
    seeds.push_back({"palette_file", "full.pal", Palette(colours, 256), true});
    seeds.push_back({"palette_file", "sixteen.pal", Palette(std::vector<uint32_t>(16, 0x808080), 16), false});
    std::string shortPal = Palette(colours, 256);
    shortPal.resize(shortPal.size() - 5);
    seeds.push_back({"palette_file", "truncated.pal", shortPal, false});
    seeds.push_back({"palette_file", "negative_count.pal", Palette(colours, -256), false});

    M3D tangents = QuadMesh();
    tangents.tangentFlag = 1;
    seeds.push_back({"m3d_file", "quad_tangents_2_1.m3d", tangents.Bytes(), true});
    M3D v20 = QuadMesh();
    v20.minor = 0;
    seeds.push_back({"m3d_file", "quad_2_0.m3d", v20.Bytes(), true});
    M3D v30 = QuadMesh();
    v30.major = 3;
    v30.minor = 0;
    seeds.push_back({"m3d_file", "quad_3_0.m3d", v30.Bytes(), true});
    M3D v10 = QuadMesh();
    v10.major = 1;
    v10.minor = 0;
    seeds.push_back({"m3d_file", "quad_1_0.m3d", v10.Bytes(), true});
    M3D wide = QuadMesh();
    wide.indexSize = 4;
    seeds.push_back({"m3d_file", "index_size_4.m3d", wide.Bytes(), false});
    M3D beyond = QuadMesh();
    beyond.indices[5] = 9;
    seeds.push_back({"m3d_file", "index_beyond.m3d", beyond.Bytes(), false});
    std::string shortMesh = tangents.Bytes();
    shortMesh.resize(shortMesh.size() - 4);
    seeds.push_back({"m3d_file", "truncated.m3d", shortMesh, false});
    M3D counts = QuadMesh();
    counts.elementCountField = 0x7FFFFFFF;
    seeds.push_back({"m3d_file", "huge_element_count.m3d", counts.Bytes(), false});
    return seeds;
}

bool Accepted(const Seed& seed) {
    const auto* data = reinterpret_cast<const uint8_t*>(seed.bytes.data());
    const size_t size = seed.bytes.size();
    if (seed.target == "dds_file") {
        ZDDSFile dds;
        return dds.Parse(data, size);
    }
    if (seed.target == "bmp_file") {
        ZImage image;
        return image.LoadBMPFromMemory(data, size);
    }
    if (seed.target == "palette_file") {
        ZImage image;
        return image.Create(1, 1, 1, 8) && image.LoadPaletteFromMemory(data, size);
    }
    ZM3DMesh mesh;
    return mesh.Parse(data, size);
}

}  // namespace

TEST(SeedCorpus, EachSeedIsAcceptedOrRefusedAsNamed) {
    const char* folder = std::getenv("KORV_RENDERER_SEEDS");
    for (const Seed& seed : Seeds()) {
        EXPECT_EQ(Accepted(seed), seed.accepted) << seed.target << "/" << seed.name;
        if (folder == nullptr || *folder == 0) continue;
        const std::filesystem::path dir = std::filesystem::path(folder) / seed.target;
        std::filesystem::create_directories(dir);
        std::ofstream(dir / seed.name, std::ios::binary) << seed.bytes;
    }
}
