#include "game/world/MapSource.h"

#include <cstring>

#include "game/world/MapFileReader.h"
#include "foundation/ZByteReader.h"

namespace {

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : m_out(out) {}
    void U8(uint8_t v) { m_out.push_back(v); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v) {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    void Bytes(const uint8_t* p, size_t n) { m_out.insert(m_out.end(), p, p + n); }
    void String(const std::string& s) {
        U32(static_cast<uint32_t>(s.size()));
        Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }

private:
    std::vector<uint8_t>& m_out;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_in(data, size) {}
    bool U8(uint8_t& v) { return m_in.U8(v); }
    bool S8(int32_t& v) {
        uint8_t b = 0;
        if (!m_in.U8(b)) return false;
        v = static_cast<int8_t>(b);
        return true;
    }
    bool U32(uint32_t& v) { return m_in.U32(v); }
    bool I32(int32_t& v) { return m_in.I32(v); }
    bool F32(float& v) {
        uint32_t bits = 0;
        if (!m_in.U32(bits)) return false;
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool Bytes(uint8_t* p, size_t n) { return m_in.Bytes(p, n); }
    bool String(std::string& s) {
        uint32_t n = 0;
        if (!m_in.U32(n)) return false;
        const uint8_t* p = m_in.Span(n);
        if (p == nullptr) return false;
        s.assign(reinterpret_cast<const char*>(p), n);
        return true;
    }
    // A count that is not negative and whose items (at least minBytes each) fit.
    bool Count(int32_t& n, size_t minBytes) {
        if (!m_in.I32(n) || n < 0) return false;
        return minBytes == 0 || static_cast<uint64_t>(n) <= m_in.Remaining() / minBytes;
    }
    size_t Position() const { return m_in.Position(); }
    size_t Remaining() const { return m_in.Remaining(); }

private:
    ZByteReader m_in;
};

bool Fail(std::string& error, const char* what, size_t at) {
    error = std::string(what) + " at byte " + std::to_string(at);
    return false;
}

bool Finish(const Reader& in, std::string& error) {
    if (in.Remaining() != 0) return Fail(error, "trailing bytes", in.Position());
    return true;
}

void EncodeCell(Writer& w, const MapCell& cell, bool palettes) {
    w.U8(static_cast<uint8_t>(cell.column));
    w.U8(static_cast<uint8_t>(cell.row));
    w.U8(static_cast<uint8_t>(cell.kind));
    if (palettes) w.U8(static_cast<uint8_t>(cell.palette));
}

bool DecodeCell(Reader& in, MapCell& cell, bool palettes) {
    uint8_t kind = 0;
    uint8_t palette = 0;
    if (!in.S8(cell.column) || !in.S8(cell.row) || !in.U8(kind)) return false;
    if (palettes && !in.U8(palette)) return false;
    cell.kind = kind;
    cell.palette = palette;
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeMap(const MapSource& map) {
    std::vector<uint8_t> out;
    Writer w(out);
    const uint8_t major = map.major;
    const uint8_t minor = map.minor;
    w.U8(major);
    w.U8(minor);
    w.I32(map.currentRoom[0]);
    w.I32(map.currentRoom[1]);
    w.Bytes(map.header, 8);
    w.I32(static_cast<int32_t>(map.rooms.size()));
    const bool third = MapVersionAtLeast(major, minor, 3, 4);
    const bool extra = MapVersionAtLeast(major, minor, 3, 3);
    const bool palettes = MapVersionAtLeast(major, minor, 3, 2);
    for (const MapRoomSource& room : map.rooms) {
        w.I32(room.x);
        w.I32(room.y);
        w.I32(static_cast<int32_t>(room.placements.size()));
        for (const MapPlacementSource& p : room.placements) {
            w.String(p.names[0]);
            w.String(p.names[1]);
            if (third) w.String(p.names[2]);
            w.U32(p.id);
            w.F32(p.x);
            w.F32(p.y);
            if (extra) w.Bytes(p.extra, 8);
        }
        for (int32_t i = 0; i < kRoomCells; ++i) {
            EncodeCell(w, room.background[i], palettes);
            EncodeCell(w, room.foreground[i], palettes);
        }
        for (const MapEdgeSource& e : room.edges) {
            w.U8(e.kind);
            w.U8(e.flags);
            if (e.flags & 0x01) {
                w.I32(e.pointA[0]);
                w.I32(e.pointA[1]);
            }
            if (e.flags & 0x02) w.String(e.nameA);
            if (e.flags & 0x04) w.String(e.nameB);
            if (e.flags & 0x08) {
                w.I32(e.pointB[0]);
                w.I32(e.pointB[1]);
            }
        }
    }
    if (major == 2) w.Bytes(map.version2Block, sizeof map.version2Block);
    w.I32(static_cast<int32_t>(map.areas.size()));
    const bool areaFields = MapVersionAtLeast(major, minor, 3, 1);
    for (const MapAreaSource& a : map.areas) {
        w.I32(a.x);
        w.I32(a.y);
        w.I32(a.width);
        w.I32(a.height);
        if (areaFields) {
            w.U8(a.kind);
            w.Bytes(a.colour, 4);
            w.String(a.properties);
        }
    }
    return out;
}

bool DecodeMap(const uint8_t* data, size_t size, MapSource& out, std::string& error) {
    out = MapSource();
    Reader in(data, size);
    if (!in.U8(out.major) || !in.U8(out.minor)) return Fail(error, "short version", in.Position());
    if (!in.I32(out.currentRoom[0]) || !in.I32(out.currentRoom[1]) || !in.Bytes(out.header, 8)) {
        return Fail(error, "short header", in.Position());
    }
    const uint8_t major = out.major;
    const uint8_t minor = out.minor;
    const bool third = MapVersionAtLeast(major, minor, 3, 4);
    const bool extra = MapVersionAtLeast(major, minor, 3, 3);
    const bool palettes = MapVersionAtLeast(major, minor, 3, 2);
    const size_t cellBytes = palettes ? 8 : 6;
    int32_t rooms = 0;
    if (!in.Count(rooms, 12 + kRoomCells * cellBytes + 8)) return Fail(error, "bad room count", in.Position());
    for (int32_t r = 0; r < rooms; ++r) {
        MapRoomSource room;
        int32_t placements = 0;
        if (!in.I32(room.x) || !in.I32(room.y) || !in.Count(placements, 20)) {
            return Fail(error, "bad room header", in.Position());
        }
        for (int32_t i = 0; i < placements; ++i) {
            MapPlacementSource p;
            bool ok = in.String(p.names[0]) && in.String(p.names[1]) && (!third || in.String(p.names[2])) &&
                      in.U32(p.id) && in.F32(p.x) && in.F32(p.y) && (!extra || in.Bytes(p.extra, 8));
            if (!ok) return Fail(error, "short placement", in.Position());
            room.placements.push_back(p);
        }
        for (int32_t i = 0; i < kRoomCells; ++i) {
            if (!DecodeCell(in, room.background[i], palettes) || !DecodeCell(in, room.foreground[i], palettes)) {
                return Fail(error, "short cells", in.Position());
            }
        }
        for (MapEdgeSource& e : room.edges) {
            bool ok = in.U8(e.kind) && in.U8(e.flags);
            if (ok && (e.flags & 0x01)) ok = in.I32(e.pointA[0]) && in.I32(e.pointA[1]);
            if (ok && (e.flags & 0x02)) ok = in.String(e.nameA);
            if (ok && (e.flags & 0x04)) ok = in.String(e.nameB);
            if (ok && (e.flags & 0x08)) ok = in.I32(e.pointB[0]) && in.I32(e.pointB[1]);
            if (!ok) return Fail(error, "short edge", in.Position());
        }
        out.rooms.push_back(std::move(room));
    }
    if (major == 2 && !in.Bytes(out.version2Block, sizeof out.version2Block)) {
        return Fail(error, "short version 2 block", in.Position());
    }
    const bool areaFields = MapVersionAtLeast(major, minor, 3, 1);
    int32_t areas = 0;
    if (!in.Count(areas, areaFields ? 25 : 16)) return Fail(error, "bad area count", in.Position());
    for (int32_t i = 0; i < areas; ++i) {
        MapAreaSource a;
        bool ok = in.I32(a.x) && in.I32(a.y) && in.I32(a.width) && in.I32(a.height);
        if (ok && areaFields) ok = in.U8(a.kind) && in.Bytes(a.colour, 4) && in.String(a.properties);
        if (!ok) return Fail(error, "short area", in.Position());
        out.areas.push_back(a);
    }
    return Finish(in, error);
}

std::vector<uint8_t> EncodeCollision(const CollisionSource& grid) {
    std::vector<uint8_t> out;
    Writer w(out);
    w.Bytes(grid.version, 2);
    w.I32(grid.stride);
    w.I32(grid.count);
    w.Bytes(grid.classes.data(), grid.classes.size());
    return out;
}

bool DecodeCollision(const uint8_t* data, size_t size, CollisionSource& out, std::string& error) {
    out = CollisionSource();
    Reader in(data, size);
    if (!in.Bytes(out.version, 2) || !in.I32(out.stride) || !in.I32(out.count)) {
        return Fail(error, "short header", in.Position());
    }
    if (out.stride < 0 || out.count < 0) return Fail(error, "negative size", in.Position());
    const uint64_t n = static_cast<uint64_t>(out.stride) * static_cast<uint64_t>(out.count);
    if (n > in.Remaining()) return Fail(error, "short class grid", in.Position());
    out.classes.resize(n);
    if (n != 0) in.Bytes(out.classes.data(), n);
    return Finish(in, error);
}

std::vector<uint8_t> EncodeCustomTiles(const CustomTilesSource& tiles) {
    std::vector<uint8_t> out;
    Writer w(out);
    w.Bytes(tiles.version, 2);
    w.I32(static_cast<int32_t>(tiles.tiles.size()));
    for (const CustomTileSource& t : tiles.tiles) {
        w.String(t.name);
        w.String(t.properties);
        w.I32(static_cast<int32_t>(t.variants.size()));
        for (const CustomVariantSource& v : t.variants) {
            w.String(v.name);
            w.String(v.properties);
            w.I32(v.column);
            w.I32(v.row);
        }
    }
    return out;
}

bool DecodeCustomTiles(const uint8_t* data, size_t size, CustomTilesSource& out, std::string& error) {
    out = CustomTilesSource();
    Reader in(data, size);
    int32_t count = 0;
    if (!in.Bytes(out.version, 2) || !in.Count(count, 12)) return Fail(error, "bad header", in.Position());
    for (int32_t i = 0; i < count; ++i) {
        CustomTileSource t;
        int32_t variants = 0;
        if (!in.String(t.name) || !in.String(t.properties) || !in.Count(variants, 16)) {
            return Fail(error, "short custom tile", in.Position());
        }
        for (int32_t v = 0; v < variants; ++v) {
            CustomVariantSource cv;
            if (!in.String(cv.name) || !in.String(cv.properties) || !in.I32(cv.column) || !in.I32(cv.row)) {
                return Fail(error, "short variant", in.Position());
            }
            t.variants.push_back(cv);
        }
        out.tiles.push_back(std::move(t));
    }
    return Finish(in, error);
}

std::vector<uint8_t> EncodeAnimations(const AnimationsSource& animations) {
    std::vector<uint8_t> out;
    Writer w(out);
    w.Bytes(animations.version, 2);
    w.I32(static_cast<int32_t>(animations.animations.size()));
    for (const AnimationSource& a : animations.animations) {
        w.String(a.name);
        w.I32(static_cast<int32_t>(a.frames.size()));
        for (const TileFrame& f : a.frames) {
            w.I32(f.column);
            w.I32(f.row);
        }
        w.F32(a.period);
        w.U8(a.randomPhase);
    }
    return out;
}

bool DecodeAnimations(const uint8_t* data, size_t size, AnimationsSource& out, std::string& error) {
    out = AnimationsSource();
    Reader in(data, size);
    int32_t count = 0;
    if (!in.Bytes(out.version, 2) || !in.Count(count, 13)) return Fail(error, "bad header", in.Position());
    for (int32_t i = 0; i < count; ++i) {
        AnimationSource a;
        int32_t frames = 0;
        if (!in.String(a.name) || !in.Count(frames, 8)) return Fail(error, "short animation", in.Position());
        for (int32_t f = 0; f < frames; ++f) {
            TileFrame frame;
            if (!in.I32(frame.column) || !in.I32(frame.row)) return Fail(error, "short frame", in.Position());
            a.frames.push_back(frame);
        }
        if (!in.F32(a.period) || !in.U8(a.randomPhase)) return Fail(error, "short animation", in.Position());
        out.animations.push_back(std::move(a));
    }
    return Finish(in, error);
}
