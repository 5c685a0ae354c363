#include "tools/mapbuild/MapText.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace {

// Words of one line: bare words, or "quoted" with \" \\ \n escapes. A '#'
// outside quotes starts a comment.
bool SplitLine(const std::string& line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && i < line.size()) {
                    const char e = line[i++];
                    word += e == 'n' ? '\n' : e;
                } else {
                    word += d;
                }
            }
            if (!closed) {
                error = "unclosed quote";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool ToInt(const std::string& s, int32_t& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 0);
    if (*end != '\0' || v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool ToFloat(const std::string& s, float& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtof(s.c_str(), &end);
    return *end == '\0';
}

bool HexBytes(const std::string& s, uint8_t* out, size_t n) {
    if (s.size() != 2 * n) return false;
    for (size_t i = 0; i < n; ++i) {
        int32_t v = 0;
        if (!ToInt("0x" + s.substr(2 * i, 2), v)) return false;
        out[i] = static_cast<uint8_t>(v);
    }
    return true;
}

std::string Hex(const uint8_t* p, size_t n) {
    std::string out;
    char buf[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", p[i]);
        out += buf;
    }
    return out;
}

std::string Float(float v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

const char* const kSides[4] = {"top", "bottom", "left", "right"};
const char* const kKinds[4] = {"sheet", "anim", "custom", "none"};

class LineSource {
public:
    explicit LineSource(const std::string& text) : m_in(text) {}
    // The next line with words (comments and blank lines skipped).
    bool Next(std::vector<std::string>& words, std::string& error) {
        std::string line;
        while (std::getline(m_in, line)) {
            ++m_line;
            m_raw = line;
            if (!SplitLine(line, words, error)) {
                error = At() + error;
                return false;
            }
            if (!words.empty()) return true;
        }
        words.clear();
        return false;
    }
    // The next raw line (grid rows).
    bool Raw(std::string& line) {
        if (!std::getline(m_in, line)) return false;
        ++m_line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    std::string At() const { return "line " + std::to_string(m_line) + ": "; }

private:
    std::istringstream m_in;
    int m_line = 0;
    std::string m_raw;
};

}  // namespace

bool ParseMapText(const std::string& text, MapSource& out, std::string& error) {
    out = MapSource();
    LineSource in(text);
    std::map<char, MapCell> legend;
    std::vector<std::string> w;
    MapRoomSource* room = nullptr;
    auto fail = [&](const std::string& what) {
        error = in.At() + what;
        return false;
    };
    while (in.Next(w, error)) {
        const std::string& key = w[0];
        if (key == "version") {
            int32_t major = 0, minor = 0;
            if (w.size() != 2 || std::sscanf(w[1].c_str(), "%d.%d", &major, &minor) != 2 || major < 0 ||
                major > 255 || minor < 0 || minor > 255) {
                return fail("version wants MAJOR.MINOR");
            }
            out.major = static_cast<uint8_t>(major);
            out.minor = static_cast<uint8_t>(minor);
        } else if (key == "current") {
            if (w.size() != 3 || !ToInt(w[1], out.currentRoom[0]) || !ToInt(w[2], out.currentRoom[1])) {
                return fail("current wants X Y");
            }
        } else if (key == "header") {
            if (w.size() != 2 || !HexBytes(w[1], out.header, 8)) return fail("header wants 16 hex digits");
        } else if (key == "v2block") {
            if (w.size() != 2 || !HexBytes(w[1], out.version2Block, sizeof out.version2Block)) {
                return fail("v2block wants 6144 hex digits");
            }
        } else if (key == "tile") {
            MapCell cell;
            int32_t kind = -1;
            for (int k = 0; k < 4; ++k) {
                if (w.size() > 2 && w[2] == kKinds[k]) kind = k;
            }
            if (w.size() != 6 || w[1].size() != 1 || (kind < 0 && !ToInt(w.size() > 2 ? w[2] : "", kind)) ||
                !ToInt(w[3], cell.column) || !ToInt(w[4], cell.row) || !ToInt(w[5], cell.palette)) {
                return fail("tile wants CHAR KIND COLUMN ROW PALETTE");
            }
            cell.kind = kind;
            legend[w[1][0]] = cell;
        } else if (key == "room") {
            out.rooms.emplace_back();
            room = &out.rooms.back();
            for (int32_t i = 0; i < kRoomCells; ++i) room->background[i] = room->foreground[i] = MapCell::NoRoom();
            if (w.size() != 3 || !ToInt(w[1], room->x) || !ToInt(w[2], room->y)) return fail("room wants X Y");
        } else if (key == "place" || key == "back" || key == "front" || key == "edge") {
            if (room == nullptr) return fail(key + " outside a room");
            if (key == "place") {
                MapPlacementSource p;
                int32_t id = 0;
                if ((w.size() != 7 && w.size() != 8) || !ToInt(w[4], id) || !ToFloat(w[5], p.x) ||
                    !ToFloat(w[6], p.y) || (w.size() == 8 && !HexBytes(w[7], p.extra, 8))) {
                    return fail("place wants NAME1 NAME2 NAME3 ID X Y [EXTRA]");
                }
                for (int k = 0; k < 3; ++k) p.names[k] = w[1 + k];
                p.id = static_cast<uint32_t>(id);
                room->placements.push_back(p);
            } else if (key == "edge") {
                int side = -1;
                for (int k = 0; k < 4; ++k) {
                    if (w.size() > 1 && w[1] == kSides[k]) side = k;
                }
                int32_t kind = 0;
                if (side < 0 || w.size() < 3 || !ToInt(w[2], kind) || kind < 0 || kind > 255) {
                    return fail("edge wants top|bottom|left|right KIND ...");
                }
                MapEdgeSource& e = room->edges[side];
                e = MapEdgeSource();
                e.kind = static_cast<uint8_t>(kind);
                for (size_t i = 3; i < w.size(); ++i) {
                    if (w[i] == "flag") {
                        e.flags |= 0x10;
                    } else if ((w[i] == "a" || w[i] == "b") && i + 2 < w.size()) {
                        int32_t* point = w[i] == "a" ? e.pointA : e.pointB;
                        e.flags |= w[i] == "a" ? 0x01 : 0x08;
                        if (!ToInt(w[i + 1], point[0]) || !ToInt(w[i + 2], point[1])) return fail("bad point");
                        i += 2;
                    } else if ((w[i] == "nameA" || w[i] == "nameB") && i + 1 < w.size()) {
                        (w[i] == "nameA" ? e.nameA : e.nameB) = w[i + 1];
                        e.flags |= w[i] == "nameA" ? 0x02 : 0x04;
                        ++i;
                    } else if (w[i] == "bits" && i + 1 < w.size()) {
                        int32_t bits = 0;
                        if (!ToInt(w[i + 1], bits)) return fail("bad bits");
                        e.flags |= static_cast<uint8_t>(bits & 0xE0);
                        ++i;
                    } else {
                        return fail("unknown edge word \"" + w[i] + "\"");
                    }
                }
            } else {
                MapCell* layer = key == "back" ? room->background : room->foreground;
                for (int32_t y = 0; y < kRoomTilesY; ++y) {
                    std::string row;
                    if (!in.Raw(row)) return fail("the grid ends early");
                    if (row.size() != static_cast<size_t>(kRoomTilesX)) {
                        return fail("a grid row needs exactly 32 characters");
                    }
                    for (int32_t x = 0; x < kRoomTilesX; ++x) {
                        const auto it = legend.find(row[static_cast<size_t>(x)]);
                        if (it == legend.end()) return fail(std::string("no tile for '") + row[x] + "'");
                        layer[x * kRoomTilesY + y] = it->second;
                    }
                }
            }
        } else if (key == "area") {
            MapAreaSource a;
            if (w.size() < 5 || !ToInt(w[1], a.x) || !ToInt(w[2], a.y) || !ToInt(w[3], a.width) ||
                !ToInt(w[4], a.height)) {
                return fail("area wants X Y WIDTH HEIGHT ...");
            }
            for (size_t i = 5; i < w.size(); i += 2) {
                if (i + 1 >= w.size()) return fail("area word without value");
                int32_t v = 0;
                if (w[i] == "kind" && ToInt(w[i + 1], v) && v >= 0 && v <= 255) {
                    a.kind = static_cast<uint8_t>(v);
                } else if (w[i] == "colour" && HexBytes(w[i + 1], a.colour, 4)) {
                } else if (w[i] == "props") {
                    a.properties = w[i + 1];
                } else {
                    return fail("bad area word \"" + w[i] + "\"");
                }
            }
            out.areas.push_back(a);
        } else {
            return fail("unknown word \"" + key + "\"");
        }
    }
    return error.empty();
}

bool PrintMapText(const MapSource& map, std::string& out, std::string& error) {
    std::ostringstream s;
    s << "version " << int(map.major) << "." << int(map.minor) << "\n";
    s << "current " << map.currentRoom[0] << " " << map.currentRoom[1] << "\n";
    s << "header " << Hex(map.header, 8) << "\n";
    if (map.major == 2) s << "v2block " << Hex(map.version2Block, sizeof map.version2Block) << "\n";

    // One legend character per distinct cell, in order of first use.
    static const char kChars[] =
        ".=-+*~%@&$!?abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789^:;,/|<>()[]{}_'`";
    std::vector<MapCell> cells;
    auto charFor = [&](const MapCell& c) -> int {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] == c) return kChars[i];
        }
        if (cells.size() + 1 >= sizeof kChars) return -1;
        cells.push_back(c);
        return kChars[cells.size() - 1];
    };
    std::ostringstream rooms;
    for (const MapRoomSource& room : map.rooms) {
        rooms << "\nroom " << room.x << " " << room.y << "\n";
        for (const MapPlacementSource& p : room.placements) {
            rooms << "place " << Quote(p.names[0]) << " " << Quote(p.names[1]) << " " << Quote(p.names[2]) << " 0x"
                  << std::hex << p.id << std::dec << " " << Float(p.x) << " " << Float(p.y) << " "
                  << Hex(p.extra, 8) << "\n";
        }
        for (int layer = 0; layer < 2; ++layer) {
            const MapCell* cellsOf = layer == 0 ? room.background : room.foreground;
            rooms << (layer == 0 ? "back\n" : "front\n");
            for (int32_t y = 0; y < kRoomTilesY; ++y) {
                for (int32_t x = 0; x < kRoomTilesX; ++x) {
                    const int ch = charFor(cellsOf[x * kRoomTilesY + y]);
                    if (ch < 0) {
                        error = "more distinct cells than legend characters";
                        return false;
                    }
                    rooms << static_cast<char>(ch);
                }
                rooms << "\n";
            }
        }
        for (int side = 0; side < 4; ++side) {
            const MapEdgeSource& e = room.edges[side];
            rooms << "edge " << kSides[side] << " " << int(e.kind);
            if (e.flags & 0x01) rooms << " a " << e.pointA[0] << " " << e.pointA[1];
            if (e.flags & 0x02) rooms << " nameA " << Quote(e.nameA);
            if (e.flags & 0x04) rooms << " nameB " << Quote(e.nameB);
            if (e.flags & 0x08) rooms << " b " << e.pointB[0] << " " << e.pointB[1];
            if (e.flags & 0x10) rooms << " flag";
            if (e.flags & 0xE0) rooms << " bits " << int(e.flags & 0xE0);
            rooms << "\n";
        }
    }
    for (size_t i = 0; i < cells.size(); ++i) {
        const MapCell& c = cells[i];
        s << "tile " << kChars[i] << " ";
        if (c.kind >= 0 && c.kind < 4) {
            s << kKinds[c.kind];
        } else {
            s << c.kind;
        }
        s << " " << c.column << " " << c.row << " " << c.palette << "\n";
    }
    s << rooms.str();
    for (const MapAreaSource& a : map.areas) {
        s << "\narea " << a.x << " " << a.y << " " << a.width << " " << a.height << " kind " << int(a.kind)
          << " colour " << Hex(a.colour, 4) << " props " << Quote(a.properties) << "\n";
    }
    out = s.str();
    return true;
}

bool ParseTilesText(const std::string& text, TileSideSources& out, std::string& error) {
    out = TileSideSources();
    LineSource in(text);
    std::vector<std::string> w;
    auto fail = [&](const std::string& what) {
        error = in.At() + what;
        return false;
    };
    while (in.Next(w, error)) {
        const std::string& key = w[0];
        if (key == "versions") {
            int32_t v[6];
            if (w.size() != 7) return fail("versions wants six numbers");
            for (int i = 0; i < 6; ++i) {
                if (!ToInt(w[1 + i], v[i])) return fail("bad version");
            }
            uint8_t* slots[3] = {out.collision.version, out.custom.version, out.animations.version};
            for (int i = 0; i < 3; ++i) {
                slots[i][0] = static_cast<uint8_t>(v[2 * i]);
                slots[i][1] = static_cast<uint8_t>(v[2 * i + 1]);
            }
        } else if (key == "collision") {
            CollisionSource& c = out.collision;
            if (w.size() != 3 || !ToInt(w[1], c.stride) || !ToInt(w[2], c.count) || c.stride < 0 || c.count < 0 ||
                c.stride > 4096 || c.count > 4096) {
                return fail("collision wants ROWS COLUMNS");
            }
            c.classes.assign(static_cast<size_t>(c.stride) * static_cast<size_t>(c.count), 0);
            for (int32_t r = 0; r < c.stride; ++r) {
                if (!in.Next(w, error) || w.size() != static_cast<size_t>(c.count)) {
                    return fail("a collision row needs one class per column");
                }
                for (int32_t col = 0; col < c.count; ++col) {
                    int32_t v = 0;
                    if (!ToInt(w[static_cast<size_t>(col)], v) || v < 0 || v > 255) return fail("bad class");
                    c.classes[static_cast<size_t>(c.stride) * col + r] = static_cast<uint8_t>(v);
                }
            }
        } else if (key == "custom") {
            if (w.size() != 3) return fail("custom wants NAME PROPS");
            out.custom.tiles.push_back(CustomTileSource{w[1], w[2], {}});
        } else if (key == "variant") {
            CustomVariantSource v;
            if (out.custom.tiles.empty() || w.size() != 5 || !ToInt(w[3], v.column) || !ToInt(w[4], v.row)) {
                return fail("variant (after custom) wants NAME PROPS COLUMN ROW");
            }
            v.name = w[1];
            v.properties = w[2];
            out.custom.tiles.back().variants.push_back(v);
        } else if (key == "anim") {
            AnimationSource a;
            int32_t random = 0;
            if (w.size() < 4 || !ToFloat(w[2], a.period) || !ToInt(w[3], random)) {
                return fail("anim wants NAME PERIOD RANDOM COLUMN,ROW...");
            }
            a.name = w[1];
            a.randomPhase = static_cast<uint8_t>(random);
            for (size_t i = 4; i < w.size(); ++i) {
                TileFrame f;
                const size_t comma = w[i].find(',');
                if (comma == std::string::npos || !ToInt(w[i].substr(0, comma), f.column) ||
                    !ToInt(w[i].substr(comma + 1), f.row)) {
                    return fail("a frame is COLUMN,ROW");
                }
                a.frames.push_back(f);
            }
            out.animations.animations.push_back(a);
        } else {
            return fail("unknown word \"" + key + "\"");
        }
    }
    return error.empty();
}

void PrintTilesText(const TileSideSources& tiles, std::string& out) {
    std::ostringstream s;
    s << "versions " << int(tiles.collision.version[0]) << " " << int(tiles.collision.version[1]) << " "
      << int(tiles.custom.version[0]) << " " << int(tiles.custom.version[1]) << " "
      << int(tiles.animations.version[0]) << " " << int(tiles.animations.version[1]) << "\n";
    const CollisionSource& c = tiles.collision;
    s << "collision " << c.stride << " " << c.count << "\n";
    for (int32_t r = 0; r < c.stride; ++r) {
        for (int32_t col = 0; col < c.count; ++col) {
            s << (col ? " " : "") << int(c.classes[static_cast<size_t>(c.stride) * col + r]);
        }
        s << "\n";
    }
    for (const CustomTileSource& t : tiles.custom.tiles) {
        s << "custom " << Quote(t.name) << " " << Quote(t.properties) << "\n";
        for (const CustomVariantSource& v : t.variants) {
            s << "variant " << Quote(v.name) << " " << Quote(v.properties) << " " << v.column << " " << v.row
              << "\n";
        }
    }
    for (const AnimationSource& a : tiles.animations.animations) {
        s << "anim " << Quote(a.name) << " " << Float(a.period) << " " << int(a.randomPhase);
        for (const TileFrame& f : a.frames) s << " " << f.column << "," << f.row;
        s << "\n";
    }
    out = s.str();
}

bool ParseSheetText(const std::string& text, SheetSource& out, std::string& error) {
    out = SheetSource();
    LineSource in(text);
    std::vector<std::string> w;
    std::map<char, uint8_t> index;
    auto fail = [&](const std::string& what) {
        error = in.At() + what;
        return false;
    };
    while (in.Next(w, error)) {
        if (w[0] == "size") {
            if (w.size() != 3 || !ToInt(w[1], out.tilesAcross) || !ToInt(w[2], out.tilesDown) ||
                out.tilesAcross < 1 || out.tilesDown < 1 || out.tilesAcross > 256 || out.tilesDown > 256) {
                return fail("size wants TILES_ACROSS TILES_DOWN (1..256)");
            }
            out.pixels.assign(static_cast<size_t>(out.tilesAcross) * out.tilesDown * 64, 0);
        } else if (w[0] == "colour") {
            int32_t rgb = 0;
            if (w.size() != 3 || w[1].size() != 1 || !ToInt("0x" + w[2], rgb) || out.colours.size() >= 256) {
                return fail("colour wants CHAR RRGGBB (at most 256)");
            }
            index[w[1][0]] = static_cast<uint8_t>(out.colours.size());
            out.colours.push_back(static_cast<uint32_t>(rgb));
        } else if (w[0] == "tile") {
            int32_t column = 0, row = 0;
            if (w.size() != 3 || !ToInt(w[1], column) || !ToInt(w[2], row) || column < 0 || row < 0 ||
                column >= out.tilesAcross || row >= out.tilesDown) {
                return fail("tile wants COLUMN ROW inside the sheet (after size)");
            }
            const size_t pitch = static_cast<size_t>(out.tilesAcross) * 8;
            for (int32_t y = 0; y < 8; ++y) {
                std::string line;
                if (!in.Raw(line) || line.size() != 8) return fail("a tile row needs 8 characters");
                for (int32_t x = 0; x < 8; ++x) {
                    const auto it = index.find(line[static_cast<size_t>(x)]);
                    if (it == index.end()) return fail(std::string("no colour for '") + line[x] + "'");
                    out.pixels[(static_cast<size_t>(row) * 8 + y) * pitch + static_cast<size_t>(column) * 8 + x] =
                        it->second;
                }
            }
        } else {
            return fail("unknown word \"" + w[0] + "\"");
        }
    }
    if (error.empty() && out.pixels.empty()) return fail("no size");
    return error.empty();
}
