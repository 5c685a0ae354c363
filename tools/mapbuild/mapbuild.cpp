// mapbuild: turns the game's map and tile-set sources (text) into the binary
// map data file and palette side files the game reads, prints those files
// back as sources, and draws 8-bit tile sheets from text. See README.md.

#include <algorithm>
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
    "       mapbuild sheet IN.sheetsrc OUT.bmp|OUT.png [--palette WORLD.pal]\n"
    "       mapbuild print-map IN.map\n"
    "       mapbuild print-tiles IN.col IN.cus IN.ani   (\"-\" for a missing one)\n"
    "       mapbuild picture IN.map OUT.png SET...\n"
    "\n"
    "map      writes the map data file (version 3.4 unless the source or\n"
    "         --version says otherwise; 2.x to 3.4 are written by their own\n"
    "         field rules).\n"
    "tiles    writes a tile set's collision grid, custom tiles and animations.\n"
    "sheet    draws an 8-bit indexed BMP tile sheet from its text (or an RGBA\n"
    "         PNG, colour 0 see-through, for pictures that become textures).\n"
    "         With --palette the BMP carries that RIFF palette (the world's) and\n"
    "         each colour of the source becomes its nearest entry there (1 to\n"
    "         254; colour 0 stays index 0, see-through).\n"
    "print-*  print binary files as sources; building the printed text gives\n"
    "         the same bytes.\n"
    "picture  draws every room of a map into one PNG, rooms where the grid puts\n"
    "         them with a gap between; each SET is a tile set's path without\n"
    "         extension (SET.bmp, SET.ani, SET.cus), in the map's palette order.\n"
    "         Animated tiles show their first frame, custom tiles their first\n"
    "         variant; rooms absent from the grid stay dark.\n"
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
    if (argc != 4 && !(argc == 6 && std::strcmp(argv[4], "--palette") == 0)) {
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
    std::vector<uint8_t> remap(256);
    for (size_t i = 0; i < remap.size(); ++i) remap[i] = static_cast<uint8_t>(i);
    if (argc == 6) {
        // The world's palette: the atlas shows every sheet's indices in it.
        std::string palette;
        if (!ReadAll(argv[5], palette)) return 1;
        if (!image.LoadPaletteFromMemory(reinterpret_cast<const uint8_t*>(palette.data()), palette.size())) {
            std::fprintf(stderr, "mapbuild: %s is no RIFF palette of 256 colours\n", argv[5]);
            return 1;
        }
        const uint8_t* world = image.GetPalette();  // B, G, R, 0
        for (size_t i = 1; i < sheet.colours.size(); ++i) {
            const int32_t r = static_cast<int32_t>((sheet.colours[i] >> 16) & 0xFF);
            const int32_t g = static_cast<int32_t>((sheet.colours[i] >> 8) & 0xFF);
            const int32_t b = static_cast<int32_t>(sheet.colours[i] & 0xFF);
            int32_t best = 1;
            int32_t bestDistance = 1 << 30;
            for (int32_t j = 1; j < 255; ++j) {
                const int32_t db = world[4 * j] - b, dg = world[4 * j + 1] - g, dr = world[4 * j + 2] - r;
                const int32_t distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = j;
                }
            }
            remap[i] = static_cast<uint8_t>(best);
        }
    } else {
        for (size_t i = 0; i < sheet.colours.size(); ++i) {
            uint8_t* entry = image.GetPalette() + 4 * i;
            entry[0] = static_cast<uint8_t>(sheet.colours[i]);
            entry[1] = static_cast<uint8_t>(sheet.colours[i] >> 8);
            entry[2] = static_cast<uint8_t>(sheet.colours[i] >> 16);
            entry[3] = 0;
        }
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.Row(y);
        for (int32_t x = 0; x < width; ++x) row[x] = remap[sheet.pixels[static_cast<size_t>(y) * width + x]];
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

// One tile set as the picture needs it: the sheet with its colours, and the
// first frame of each animation and the first variant of each custom tile.
struct PictureSet {
    ZImage sheet;
    std::vector<TileFrame> animationFrames;
    std::vector<TileFrame> customTiles;
};

bool LoadPictureSet(const std::string& base, PictureSet& set) {
    std::string bytes;
    std::string error;
    if (!ReadAll((base + ".bmp").c_str(), bytes)) return false;
    if (!set.sheet.LoadBMPFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) ||
        set.sheet.GetBytesPerPixel() != 1) {
        std::fprintf(stderr, "mapbuild: %s.bmp is no 8-bit tile sheet\n", base.c_str());
        return false;
    }
    AnimationsSource animations;
    if (!ReadAll((base + ".ani").c_str(), bytes) ||
        !DecodeAnimations(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), animations, error)) {
        std::fprintf(stderr, "mapbuild: %s.ani: %s\n", base.c_str(), error.c_str());
        return false;
    }
    for (const AnimationSource& a : animations.animations) {
        set.animationFrames.push_back(a.frames.empty() ? TileFrame{-1, -1} : a.frames[0]);
    }
    CustomTilesSource custom;
    if (!ReadAll((base + ".cus").c_str(), bytes) ||
        !DecodeCustomTiles(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), custom, error)) {
        std::fprintf(stderr, "mapbuild: %s.cus: %s\n", base.c_str(), error.c_str());
        return false;
    }
    for (const CustomTileSource& t : custom.tiles) {
        set.customTiles.push_back(t.variants.empty() ? TileFrame{-1, -1}
                                                     : TileFrame{t.variants[0].column, t.variants[0].row});
    }
    return true;
}

// Copies the sheet tile (column, row) of a set to (x, y) of the picture;
// colour 0 is see-through, so the layer below shows.
void DrawTile(korvart::Picture& picture, const PictureSet& set, const TileFrame tile, const uint32_t x,
              const uint32_t y) {
    const ZImage& sheet = set.sheet;
    if (tile.column < 0 || tile.row < 0 || (tile.column + 1) * 8 > sheet.GetWidth() ||
        (tile.row + 1) * 8 > sheet.GetHeight()) {
        return;
    }
    for (int32_t ty = 0; ty < 8; ++ty) {
        const uint8_t* row = sheet.Row(tile.row * 8 + ty);
        for (int32_t tx = 0; tx < 8; ++tx) {
            const uint8_t index = row[tile.column * 8 + tx];
            if (index == 0 || index >= sheet.GetPaletteCount()) continue;
            const uint8_t* colour = sheet.GetPalette() + 4 * index;  // B, G, R, unused
            uint8_t* p = picture.At(x + static_cast<uint32_t>(tx), y + static_cast<uint32_t>(ty));
            p[0] = colour[2];
            p[1] = colour[1];
            p[2] = colour[0];
            p[3] = 255;
        }
    }
}

int DrawPicture(int argc, char** argv) {
    if (argc < 5) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::string bytes;
    if (!ReadAll(argv[2], bytes)) return 1;
    MapSource map;
    std::string error;
    if (!DecodeMap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), map, error)) {
        std::fprintf(stderr, "mapbuild: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    std::vector<PictureSet> sets(static_cast<size_t>(argc - 4));
    for (int i = 4; i < argc; ++i) {
        if (!LoadPictureSet(argv[i], sets[static_cast<size_t>(i - 4)])) return 1;
    }
    if (map.rooms.empty()) {
        std::fprintf(stderr, "mapbuild: %s holds no room\n", argv[2]);
        return 1;
    }
    int32_t left = map.rooms[0].x, top = map.rooms[0].y, right = left, bottom = top;
    for (const MapRoomSource& room : map.rooms) {
        left = std::min(left, room.x);
        top = std::min(top, room.y);
        right = std::max(right, room.x);
        bottom = std::max(bottom, room.y);
    }
    constexpr uint32_t kGap = 4;
    constexpr uint32_t kRoomW = kRoomTilesX * 8;
    constexpr uint32_t kRoomH = kRoomTilesY * 8;
    const auto across = static_cast<uint32_t>(right - left + 1);
    const auto down = static_cast<uint32_t>(bottom - top + 1);
    if (across > 64 || down > 64) {
        std::fprintf(stderr, "mapbuild: %s spans %u x %u rooms; pictures stop at 64 x 64\n", argv[2], across, down);
        return 1;
    }
    korvart::Picture picture(kGap + across * (kRoomW + kGap), kGap + down * (kRoomH + kGap));
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        picture.rgba[i + 3] = 255;  // the gaps and missing rooms: opaque black
    }
    for (const MapRoomSource& room : map.rooms) {
        const uint32_t ox = kGap + static_cast<uint32_t>(room.x - left) * (kRoomW + kGap);
        const uint32_t oy = kGap + static_cast<uint32_t>(room.y - top) * (kRoomH + kGap);
        for (uint32_t y = 0; y < kRoomH; ++y) {
            for (uint32_t x = 0; x < kRoomW; ++x) {
                uint8_t* p = picture.At(ox + x, oy + y);
                p[0] = 16, p[1] = 20, p[2] = 28;  // the room's back: dark blue-grey
            }
        }
        for (const MapCell* layer : {room.background, room.foreground}) {
            for (int32_t tx = 0; tx < kRoomTilesX; ++tx) {
                for (int32_t ty = 0; ty < kRoomTilesY; ++ty) {
                    const MapCell& cell = layer[tx * kRoomTilesY + ty];
                    if (cell.palette < 0 || static_cast<size_t>(cell.palette) >= sets.size()) continue;
                    const PictureSet& set = sets[static_cast<size_t>(cell.palette)];
                    TileFrame tile{-1, -1};
                    if (cell.kind == kCellSheet) {
                        tile = TileFrame{cell.column, cell.row};
                    } else if (cell.kind == kCellAnimated && cell.column >= 0 &&
                               static_cast<size_t>(cell.column) < set.animationFrames.size()) {
                        tile = set.animationFrames[static_cast<size_t>(cell.column)];
                    } else if (cell.kind == kCellCustom && cell.column >= 0 &&
                               static_cast<size_t>(cell.column) < set.customTiles.size()) {
                        tile = set.customTiles[static_cast<size_t>(cell.column)];
                    }
                    DrawTile(picture, set, tile, ox + static_cast<uint32_t>(tx) * 8, oy + static_cast<uint32_t>(ty) * 8);
                }
            }
        }
    }
    if (!korvart::WritePng(argv[3], picture, error)) {
        std::fprintf(stderr, "mapbuild: %s\n", error.c_str());
        return 1;
    }
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
    if (command == "picture") return DrawPicture(argc, argv);
    std::fprintf(stderr, "mapbuild: unknown command \"%s\"\n", argv[1]);
    std::fputs(kHelp, stderr);
    return 2;
}
