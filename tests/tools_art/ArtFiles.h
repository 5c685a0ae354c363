#pragma once

// Small readers for what the art tools write (DDS headers and levels, BMP
// headers, glyph tables), kept independent of the tools' own code so the
// tests check the bytes against the file layouts rather than against
// themselves.

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace arttest {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error
};

inline ToolRun RunTool(const std::string& tool, const std::string& arguments) {
    const std::string command = std::string("\"") + KORV_TOOLS_DIR + "/" + tool + "\" " + arguments + " 2>&1";
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) run.output.append(chunk, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? static_cast<uint16_t>(b[at] | b[at + 1] << 8) : 0;
}
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    if (at + 4 > b.size()) return 0;
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline float F32(const std::vector<uint8_t>& b, size_t at) {
    const uint32_t bits = U32(b, at);
    float f = 0;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

// The fields of a DDS file that the engine's reader looks at.
struct DdsInfo {
    bool valid = false;
    uint32_t headerSize = 0;
    uint32_t flags = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t pitchOrLinearSize = 0;
    uint32_t mipMapCount = 0;
    uint32_t pfFlags = 0;
    std::string fourCC;
    uint32_t bitCount = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // R, G, B, A
    uint32_t caps = 0;
    uint32_t caps2 = 0;

    uint32_t Levels() const { return (flags & 0x20000) ? mipMapCount : 1; }
    bool Compressed() const { return (pfFlags & 4) != 0; }
    // Bytes of one level as the engine's reader counts them.
    size_t LevelBytes(uint32_t level) const {
        uint32_t w = width >> level, h = height >> level;
        w = w ? w : 1;
        h = h ? h : 1;
        if (Compressed()) {
            const size_t block = fourCC == "DXT1" ? 8 : 16;
            return static_cast<size_t>(w / 4 ? w / 4 : 1) * (h / 4 ? h / 4 : 1) * block;
        }
        return static_cast<size_t>(w) * h * (bitCount / 8);
    }
};

inline DdsInfo ParseDds(const std::vector<uint8_t>& b) {
    DdsInfo info;
    if (b.size() < 128 || std::memcmp(b.data(), "DDS ", 4) != 0) return info;
    info.headerSize = U32(b, 4);
    info.flags = U32(b, 8);
    info.height = U32(b, 12);
    info.width = U32(b, 16);
    info.pitchOrLinearSize = U32(b, 20);
    info.mipMapCount = U32(b, 28);
    info.pfFlags = U32(b, 80);
    info.fourCC.assign(reinterpret_cast<const char*>(&b[84]), 4);
    info.bitCount = U32(b, 88);
    for (int i = 0; i < 4; ++i) info.masks[i] = U32(b, 92 + 4 * static_cast<size_t>(i));
    info.caps = U32(b, 108);
    info.caps2 = U32(b, 112);
    info.valid = U32(b, 76) == 32;
    return info;
}

// Texel (x, y) of an uncompressed 32-bit level 0 as R, G, B, A.
struct Rgba {
    uint8_t r, g, b, a;
};
inline Rgba DdsTexel(const std::vector<uint8_t>& file, const DdsInfo& info, uint32_t x, uint32_t y) {
    const size_t at = 128 + (static_cast<size_t>(y) * info.width + x) * 4;
    if (at + 4 > file.size()) return {0, 0, 0, 0};
    return {file[at + 2], file[at + 1], file[at], file[at + 3]};
}

struct UvGlyph {
    uint16_t code = 0;
    int32_t width = 0;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
    int32_t before = 0, after = 0;
};

struct UvTable {
    bool valid = false;
    uint32_t version = 0;
    int32_t metrics[14] = {};
    std::vector<UvGlyph> glyphs;

    const UvGlyph* Find(uint16_t code) const {
        for (const UvGlyph& g : glyphs)
            if (g.code == code) return &g;
        return nullptr;
    }
};

// The current layout: "font", u32, count, 56 bytes of metrics, 30-byte glyphs.
inline UvTable ParseUv(const std::vector<uint8_t>& b) {
    UvTable table;
    if (b.size() < 12 + 56 || std::memcmp(b.data(), "font", 4) != 0) return table;
    table.version = U32(b, 4);
    const uint32_t count = U32(b, 8);
    for (int i = 0; i < 14; ++i)
        table.metrics[i] = static_cast<int32_t>(U32(b, 12 + 4 * static_cast<size_t>(i)));
    const size_t first = 12 + 56;
    if (b.size() != first + static_cast<size_t>(count) * 30) return table;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = first + static_cast<size_t>(i) * 30;
        UvGlyph g;
        g.code = U16(b, at);
        g.width = static_cast<int32_t>(U32(b, at + 2));
        g.u0 = F32(b, at + 6);
        g.v0 = F32(b, at + 10);
        g.u1 = F32(b, at + 14);
        g.v1 = F32(b, at + 18);
        g.before = static_cast<int32_t>(U32(b, at + 22));
        g.after = static_cast<int32_t>(U32(b, at + 26));
        table.glyphs.push_back(g);
    }
    table.valid = true;
    return table;
}

}  // namespace arttest
