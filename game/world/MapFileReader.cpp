#include "game/world/MapFileReader.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

#include "foundation/ZDefinitionFile.h"
#include "foundation/ZLog.h"
#include "foundation/ZMarkupNode.h"
#include "foundation/ZStreamMgr.h"
#include "platform/window/window.h"
#include "foundation/ZByteReader.h"

namespace {

// Little-endian fields over the reader, plus the two kinds of field the map
// formats add: f32 and length-prefixed strings.
class FieldReader {
public:
    FieldReader(const uint8_t* data, size_t size) : m_in(data, size) {}

    bool U8(uint8_t& out) { return m_in.U8(out); }
    bool S8(int32_t& out) {
        uint8_t b = 0;
        if (!m_in.U8(b)) return false;
        out = static_cast<int8_t>(b);
        return true;
    }
    bool I32(int32_t& out) { return m_in.I32(out); }
    bool U32(uint32_t& out) { return m_in.U32(out); }
    bool F32(float& out) {
        uint32_t bits = 0;
        if (!m_in.U32(bits)) return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }
    bool String(ZString& out) {
        uint32_t length = 0;
        if (!m_in.U32(length)) return false;
        const uint8_t* bytes = m_in.Span(length);
        if (bytes == nullptr) return false;
        out = ZString::FromBytes(reinterpret_cast<const char*>(bytes), static_cast<int32_t>(length));
        return true;
    }
    bool Skip(size_t n) { return m_in.Skip(n); }
    size_t Position() const { return m_in.Position(); }
    size_t Remaining() const { return m_in.Remaining(); }

private:
    ZByteReader m_in;
};

void LogDamaged(const char* what, const char* part, size_t offset) {
    ZLog::Printf("%s: damaged or truncated file: %s at byte %zu; keeping what was read before it", what, part,
                 offset);
}

// A count that must not be negative; logs a negative one.
bool CheckCount(int32_t count, const char* what, const char* part, size_t offset) {
    if (count >= 0) return true;
    ZLog::Printf("%s: negative %s (%d) at byte %zu; reading stops", what, part, count, offset);
    return false;
}

bool ReadEdge(FieldReader& in, RoomEdge& edge) {
    edge = RoomEdge();
    uint8_t kind = 0;
    uint8_t flags = 0;
    if (!in.U8(kind) || !in.U8(flags)) return false;
    edge.kind = kind;
    if (flags & 0x01) {
        if (!in.I32(edge.pointAX) || !in.I32(edge.pointAY)) return false;
        edge.hasPointA = 1;
    }
    if (flags & 0x02) {
        ZString name;
        if (!in.String(name)) return false;
        edge.nameA = ZHashedString(name.GetText());
        edge.hasNameA = 1;
    }
    if (flags & 0x04) {
        ZString name;
        if (!in.String(name)) return false;
        edge.nameB = ZHashedString(name.GetText());
        edge.hasNameB = 1;
    }
    if (flags & 0x08) {
        if (!in.I32(edge.pointBX) || !in.I32(edge.pointBY)) return false;
        edge.hasPointB = 1;
    }
    // Both flags come from bit 0x10; the map builder writes its files that way.
    if (flags & 0x10) {
        edge.flagA = 1;
        edge.flagB = 1;
    }
    return true;
}

// One room block, read whole before it touches the map.
struct RoomBlock {
    int32_t x = 0;
    int32_t y = 0;
    ZArray<uint32_t> ids;
    MapCell background[kRoomCells];
    MapCell foreground[kRoomCells];
    RoomEdge edges[4];
};

bool ReadRoomBlock(FieldReader& in, uint8_t major, uint8_t minor, RoomBlock& block, const char* what) {
    int32_t placements = 0;
    if (!in.I32(block.x) || !in.I32(block.y) || !in.I32(placements)) return false;
    if (!CheckCount(placements, what, "placement count", in.Position())) return false;
    const bool thirdName = MapVersionAtLeast(major, minor, 3, 4);
    const bool extra = MapVersionAtLeast(major, minor, 3, 3);
    for (int32_t i = 0; i < placements; ++i) {
        ZString skipped;
        uint32_t id = 0;
        float x = 0.0f;
        float y = 0.0f;
        if (!in.String(skipped) || !in.String(skipped)) return false;
        if (thirdName && !in.String(skipped)) return false;
        if (!in.U32(id) || !in.F32(x) || !in.F32(y)) return false;
        if (extra && !in.Skip(8)) return false;
        block.ids.PushBack(id);
    }
    const bool palettes = MapVersionAtLeast(major, minor, 3, 2);
    for (int32_t i = 0; i < kRoomCells; ++i) {
        MapCell& back = block.background[i];
        MapCell& front = block.foreground[i];
        uint8_t kind = 0;
        uint8_t palette = 0;
        if (!in.S8(back.column) || !in.S8(back.row) || !in.U8(kind)) return false;
        back.kind = kind;
        if (palettes && !in.U8(palette)) return false;
        back.palette = palette;
        palette = 0;
        if (!in.S8(front.column) || !in.S8(front.row) || !in.U8(kind)) return false;
        front.kind = kind;
        if (palettes && !in.U8(palette)) return false;
        front.palette = palette;
    }
    for (RoomEdge& edge : block.edges) {
        if (!ReadEdge(in, edge)) return false;
    }
    return true;
}

bool ReadArea(FieldReader& in, uint8_t major, uint8_t minor, MapArea& area) {
    int32_t x = 0, y = 0, width = 0, height = 0;
    if (!in.I32(x) || !in.I32(y) || !in.I32(width) || !in.I32(height)) return false;
    area.left = x;
    area.top = y;
    // Wrapping sums of hostile values stay defined; such an area holds no room.
    area.right = static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(width));
    area.bottom = static_cast<int32_t>(static_cast<uint32_t>(y) + static_cast<uint32_t>(height));
    if (MapVersionAtLeast(major, minor, 3, 1)) {
        uint8_t colour[4];
        if (!in.U8(area.kind) || !in.U8(colour[0]) || !in.U8(colour[1]) || !in.U8(colour[2]) ||
            !in.U8(colour[3])) {
            return false;
        }
        std::memcpy(area.colour, colour, 4);
        if (!in.String(area.propertiesText)) return false;
        ParsePropertyMarkup(area.propertiesText, area.properties);
    }
    return true;
}

// The whole file through the stream manager, or false (the manager reports a
// missing one).
bool LoadWhole(const char* fileName, char*& buffer, int64_t& size) {
    buffer = nullptr;
    size = -1;
    if (!ZStreamMgr::GetInstance()->ReadFile(fileName, &buffer, &size) || buffer == nullptr || size < 0) {
        delete[] buffer;
        buffer = nullptr;
        ZLog::Printf("%s: could not be read", fileName);
        return false;
    }
    return true;
}

}  // namespace

void FormatMapVersionWarning(char* out, size_t size, uint8_t major, uint8_t minor) {
    std::snprintf(out, size, "File version mismatch.\nExpected v%d.%d, got v%d.%d.\nMay not load properly.",
                  kMapFileMajor, kMapFileMinor, major, minor);
}

void ParsePropertyMarkup(const ZString& text, ZDefNode& node) {
    if (text.GetLength() == 0) return;
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.GetText(), static_cast<size_t>(text.GetLength()), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    node.AppendChildren(nodes);
}

bool ReadMapDataFromMemory(const uint8_t* data, size_t size, MapData& map, const char* what) {
    map.ClearRooms();
    FieldReader in(data, size);
    uint8_t major = 0;
    uint8_t minor = 0;
    if (!in.U8(major) || !in.U8(minor)) {
        LogDamaged(what, "version", in.Position());
        return false;
    }
    if (major != kMapFileMajor || minor != kMapFileMinor) {
        char text[160];
        FormatMapVersionWarning(text, sizeof text, major, minor);
        ZLog::Printf("%s: map file version %d.%d", what, major, minor);
        // The answer does not matter: the file is read by its own version.
        platform::window::MessageBox("Error", text, platform::window::MB_OKCANCEL);
    }
    int32_t roomX = 0;
    int32_t roomY = 0;
    if (!in.I32(roomX) || !in.I32(roomY) || !in.Skip(8)) {
        LogDamaged(what, "header", in.Position());
        return false;
    }
    map.currentRoomX = roomX;
    map.currentRoomY = roomY;

    int32_t roomCount = 0;
    if (!in.I32(roomCount)) {
        LogDamaged(what, "room count", in.Position());
        return false;
    }
    // A block is large; one is reused so a long file does not churn memory.
    const std::unique_ptr<RoomBlock> scratch = std::make_unique<RoomBlock>();
    RoomBlock& block = *scratch;
    for (int32_t i = 0; i < roomCount; ++i) {
        block.ids.Clear();
        const size_t start = in.Position();
        if (!ReadRoomBlock(in, major, minor, block, what)) {
            LogDamaged(what, "room block", start);
            return false;
        }
        RoomData& room = map.GetOrAddRoom(block.x, block.y);
        for (uint32_t k = 0; k < block.ids.Count(); ++k) room.instanceIds.PushBack(block.ids[k]);
        std::memcpy(static_cast<void*>(room.background), block.background, sizeof room.background);
        std::memcpy(static_cast<void*>(room.foreground), block.foreground, sizeof room.foreground);
        for (int e = 0; e < 4; ++e) room.edges[e] = block.edges[e];
    }
    if (major == 2 && !in.Skip(3072)) {
        LogDamaged(what, "version 2 block", in.Position());
        return false;
    }

    map.areas.Clear();
    int32_t areaCount = 0;
    if (!in.I32(areaCount)) {
        LogDamaged(what, "area count", in.Position());
        return false;
    }
    if (!CheckCount(areaCount, what, "area count", in.Position())) return false;
    for (int32_t i = 0; i < areaCount; ++i) {
        MapArea area;
        const size_t start = in.Position();
        if (!ReadArea(in, major, minor, area)) {
            LogDamaged(what, "area", start);
            return false;
        }
        map.areas.PushBack(static_cast<MapArea&&>(area));
    }
    if (in.Remaining() != 0) ZLog::Printf("%s: %zu bytes after the areas ignored", what, in.Remaining());
    return true;
}

bool ReadMapData(const char* fileName, MapData& map) {
    if (fileName == nullptr || fileName[0] == '\0') return false;
    char* buffer = nullptr;
    int64_t size = 0;
    if (!LoadWhole(fileName, buffer, size)) {
        map.ClearRooms();
        return false;
    }
    const bool ok = ReadMapDataFromMemory(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size), map,
                                          fileName);
    delete[] buffer;
    return ok;
}

bool ReadPaletteCollisionFromMemory(const uint8_t* data, size_t size, PaletteData& palette, const char* what) {
    palette.collision.Clear();
    palette.collisionStride = 0;
    palette.collisionCount = 0;
    FieldReader in(data, size);
    int32_t stride = 0;
    int32_t count = 0;
    if (!in.Skip(2) || !in.I32(stride) || !in.I32(count)) {
        LogDamaged(what, "header", in.Position());
        return false;
    }
    if (!CheckCount(stride, what, "stride", 2) || !CheckCount(count, what, "column count", 6)) return false;
    const uint64_t cells = static_cast<uint64_t>(stride) * static_cast<uint64_t>(count);
    if (cells > in.Remaining()) {
        ZLog::Printf("%s: %d x %d classes need %" PRIu64 " bytes, the file has %zu; no classes kept", what, stride,
                     count, cells, in.Remaining());
        return false;
    }
    palette.collision.Resize(static_cast<uint32_t>(cells));
    for (uint32_t i = 0; i < cells; ++i) in.U8(palette.collision[i]);
    palette.collisionStride = stride;
    palette.collisionCount = count;
    return true;
}

bool ReadPaletteCustomTilesFromMemory(const uint8_t* data, size_t size, PaletteData& palette, const char* what) {
    palette.customTiles.Clear();
    FieldReader in(data, size);
    int32_t count = 0;
    if (!in.Skip(2) || !in.I32(count)) {
        LogDamaged(what, "header", in.Position());
        return false;
    }
    if (!CheckCount(count, what, "record count", 2)) return false;
    for (int32_t i = 0; i < count; ++i) {
        const size_t start = in.Position();
        CustomTile tile;
        int32_t variants = 0;
        bool ok = in.String(tile.name) && in.String(tile.propertiesText) && in.I32(variants) &&
                  CheckCount(variants, what, "variant count", in.Position());
        for (int32_t v = 0; ok && v < variants; ++v) {
            CustomTileVariant variant;
            ok = in.String(variant.name) && in.String(variant.propertiesText) && in.I32(variant.column) &&
                 in.I32(variant.row);
            if (ok) {
                ParsePropertyMarkup(variant.propertiesText, variant.properties);
                tile.variants.PushBack(static_cast<CustomTileVariant&&>(variant));
            }
        }
        if (!ok) {
            LogDamaged(what, "custom tile record", start);
            return false;
        }
        ParsePropertyMarkup(tile.propertiesText, tile.properties);
        palette.customTiles.PushBack(static_cast<CustomTile&&>(tile));
    }
    return true;
}

bool ReadPaletteAnimationsFromMemory(const uint8_t* data, size_t size, PaletteData& palette,
                                     uint32_t paletteIndex, const char* what) {
    palette.animations.Clear();
    FieldReader in(data, size);
    int32_t count = 0;
    if (!in.Skip(2) || !in.I32(count)) {
        LogDamaged(what, "header", in.Position());
        return false;
    }
    if (!CheckCount(count, what, "record count", 2)) return false;
    for (int32_t i = 0; i < count; ++i) {
        const size_t start = in.Position();
        TileAnimation animation;
        animation.paletteIndex = paletteIndex;
        int32_t frames = 0;
        bool ok = in.String(animation.name) && in.I32(frames) && CheckCount(frames, what, "frame count", in.Position());
        for (int32_t f = 0; ok && f < frames; ++f) {
            TileFrame frame;
            ok = in.I32(frame.column) && in.I32(frame.row);
            if (ok) animation.frames.PushBack(frame);
        }
        ok = ok && in.F32(animation.period) && in.U8(animation.randomPhase);
        if (!ok) {
            LogDamaged(what, "animation record", start);
            return false;
        }
        palette.animations.PushBack(static_cast<TileAnimation&&>(animation));
    }
    return true;
}

namespace {

template <typename Fn>
bool ReadSideFile(const char* fileName, Fn&& read) {
    if (fileName == nullptr || fileName[0] == '\0') return false;
    char* buffer = nullptr;
    int64_t size = 0;
    if (!LoadWhole(fileName, buffer, size)) return false;
    const bool ok = read(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size));
    delete[] buffer;
    return ok;
}

}  // namespace

bool ReadPaletteCollision(const char* fileName, PaletteData& palette) {
    palette.collision.Clear();
    palette.collisionStride = 0;
    palette.collisionCount = 0;
    return ReadSideFile(fileName, [&](const uint8_t* data, size_t size) {
        return ReadPaletteCollisionFromMemory(data, size, palette, fileName);
    });
}

bool ReadPaletteCustomTiles(const char* fileName, PaletteData& palette) {
    palette.customTiles.Clear();
    return ReadSideFile(fileName, [&](const uint8_t* data, size_t size) {
        return ReadPaletteCustomTilesFromMemory(data, size, palette, fileName);
    });
}

bool ReadPaletteAnimations(const char* fileName, PaletteData& palette, uint32_t paletteIndex) {
    palette.animations.Clear();
    return ReadSideFile(fileName, [&](const uint8_t* data, size_t size) {
        return ReadPaletteAnimationsFromMemory(data, size, palette, paletteIndex, fileName);
    });
}
