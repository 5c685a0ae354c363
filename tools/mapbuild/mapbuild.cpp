// mapbuild: turns the game's map and tile-set sources (text) into the binary
// map data file and palette side files the game reads, prints those files
// back as sources, and draws 8-bit tile sheets from text. See README.md.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/world/MapSource.h"
#include "platform/os/files.h"
#include "renderer/ZImage.h"
#include "tools/mapbuild/MapText.h"
#include "tools/texbuild/TextureEncode.h"

namespace {

const char* const kHelp =
    "usage: mapbuild map IN.mapsrc OUT.map [--version MAJOR.MINOR]\n"
    "       mapbuild tiles IN.tilesrc OUT.col OUT.cus OUT.ani\n"
    "       mapbuild sheet IN.sheetsrc OUT.bmp|OUT.png\n"
    "       mapbuild print-map IN.map\n"
    "       mapbuild print-tiles IN.col IN.cus IN.ani   (\"-\" for a missing one)\n"
    "\n"
    "map      writes the map data file (version 3.4 unless the source or\n"
    "         --version says otherwise; 2.x to 3.4 are written by their own\n"
    "         field rules).\n"
    "tiles    writes a tile set's collision grid, custom tiles and animations.\n"
    "sheet    draws an 8-bit indexed BMP tile sheet from its text (or an RGBA\n"
    "         PNG, colour 0 see-through, for pictures that become textures).\n"
    "print-*  print binary files as sources; building the printed text gives\n"
    "         the same bytes.\n"
    "The source formats are described in tools/mapbuild/README.md.\n";

bool ReadAll(const char* path, std::string& out) {
    std::FILE* file = os::OpenFile(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "mapbuild: cannot open %s\n", path);
        return false;
    }
    out.clear();
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) std::fprintf(stderr, "mapbuild: cannot read %s\n", path);
    return ok;
}

// Writes beside the target and renames, so a failed run leaves the old file.
bool WriteAll(const char* path, const std::vector<uint8_t>& bytes) {
    const std::string temp = std::string(path) + ".tmp";
    std::FILE* file = os::OpenFile(temp.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "mapbuild: cannot write %s\n", path);
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed || std::rename(temp.c_str(), path) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "mapbuild: cannot write %s\n", path);
        return false;
    }
    return true;
}

int BuildMap(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::string text;
    if (!ReadAll(argv[2], text)) return 1;
    MapSource map;
    std::string error;
    if (!ParseMapText(text, map, error)) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    if (argc == 6) {
        int major = 0, minor = 0;
        if (std::strcmp(argv[4], "--version") != 0 || std::sscanf(argv[5], "%d.%d", &major, &minor) != 2 ||
            major < 2 || major > 3 || minor < 0 || minor > 255) {
            std::fprintf(stderr, "mapbuild: --version wants 2.x to 3.4\n");
            return 2;
        }
        map.major = static_cast<uint8_t>(major);
        map.minor = static_cast<uint8_t>(minor);
    }
    return WriteAll(argv[3], EncodeMap(map)) ? 0 : 1;
}

int BuildTiles(int argc, char** argv) {
    if (argc != 6) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::string text;
    if (!ReadAll(argv[2], text)) return 1;
    TileSideSources tiles;
    std::string error;
    if (!ParseTilesText(text, tiles, error)) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    const bool ok = WriteAll(argv[3], EncodeCollision(tiles.collision)) &&
                    WriteAll(argv[4], EncodeCustomTiles(tiles.custom)) &&
                    WriteAll(argv[5], EncodeAnimations(tiles.animations));
    return ok ? 0 : 1;
}

int BuildSheet(int argc, char** argv) {
    if (argc != 4) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::string text;
    if (!ReadAll(argv[2], text)) return 1;
    SheetSource sheet;
    std::string error;
    if (!ParseSheetText(text, sheet, error)) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    const int32_t width = sheet.tilesAcross * 8;
    const int32_t height = sheet.tilesDown * 8;
    const std::string out = argv[3];
    if (out.size() > 4 && out.compare(out.size() - 4, 4, ".png") == 0) {
        // A PNG for pictures that become textures: colour 0 is see-through.
        korvart::Picture picture(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t index = sheet.pixels[static_cast<size_t>(y) * width + x];
                const uint32_t rgb = index < sheet.colours.size() ? sheet.colours[index] : 0;
                uint8_t* p = picture.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
                p[0] = static_cast<uint8_t>(rgb >> 16);
                p[1] = static_cast<uint8_t>(rgb >> 8);
                p[2] = static_cast<uint8_t>(rgb);
                p[3] = index == 0 ? 0 : 255;
            }
        }
        if (!korvart::WritePng(out, picture, error)) {
            std::fprintf(stderr, "mapbuild: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    ZImage image;
    if (!image.Create(width, height, 1, 8)) return 1;
    for (size_t i = 0; i < sheet.colours.size(); ++i) {
        uint8_t* entry = image.GetPalette() + 4 * i;
        entry[0] = static_cast<uint8_t>(sheet.colours[i]);
        entry[1] = static_cast<uint8_t>(sheet.colours[i] >> 8);
        entry[2] = static_cast<uint8_t>(sheet.colours[i] >> 16);
        entry[3] = 0;
    }
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(image.Row(y), &sheet.pixels[static_cast<size_t>(y) * width], static_cast<size_t>(width));
    }
    return WriteBMPFile(image, argv[3]) ? 0 : 1;
}

int PrintMap(int argc, char** argv) {
    if (argc != 3) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::string bytes;
    if (!ReadAll(argv[2], bytes)) return 1;
    MapSource map;
    std::string error;
    std::string text;
    if (!DecodeMap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), map, error) ||
        !PrintMapText(map, text, error)) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    std::fputs(text.c_str(), stdout);
    return 0;
}

int PrintTiles(int argc, char** argv) {
    if (argc != 5) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    TileSideSources tiles;
    std::string bytes;
    std::string error;
    auto data = [&]() { return reinterpret_cast<const uint8_t*>(bytes.data()); };
    if (std::strcmp(argv[2], "-") != 0 &&
        (!ReadAll(argv[2], bytes) || !DecodeCollision(data(), bytes.size(), tiles.collision, error))) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    if (std::strcmp(argv[3], "-") != 0 &&
        (!ReadAll(argv[3], bytes) || !DecodeCustomTiles(data(), bytes.size(), tiles.custom, error))) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[3], error.c_str());
        return 1;
    }
    if (std::strcmp(argv[4], "-") != 0 &&
        (!ReadAll(argv[4], bytes) || !DecodeAnimations(data(), bytes.size(), tiles.animations, error))) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[4], error.c_str());
        return 1;
    }
    std::string text;
    PrintTilesText(tiles, text);
    std::fputs(text.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kHelp, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "map") return BuildMap(argc, argv);
    if (command == "tiles") return BuildTiles(argc, argv);
    if (command == "sheet") return BuildSheet(argc, argv);
    if (command == "print-map") return PrintMap(argc, argv);
    if (command == "print-tiles") return PrintTiles(argc, argv);
    std::fprintf(stderr, "mapbuild: unknown command \"%s\"\n", argv[1]);
    std::fputs(kHelp, stderr);
    return 2;
}
