#pragma once

// Builders of the file formats the renderer reads (DDS, BMP, RIFF palette,
// M3D), byte by byte, so that tests and the seed corpus describe each file by
// its fields.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rfiles {

inline void Put8(std::string& out, uint32_t v) { out.push_back(static_cast<char>(v & 0xFF)); }
inline void Put16(std::string& out, uint32_t v) {
    Put8(out, v);
    Put8(out, v >> 8);
}
inline void Put32(std::string& out, uint32_t v) {
    Put16(out, v);
    Put16(out, v >> 16);
}
inline void PutFloat(std::string& out, float f) {
    uint32_t v = 0;
    std::memcpy(&v, &f, 4);
    Put32(out, v);
}

constexpr uint32_t kDDSMipMapCount = 0x20000;
constexpr uint32_t kDDSFourCC = 0x4;
constexpr uint32_t kDDSRGB = 0x40;
constexpr uint32_t kDDSCubeMap = 0x200;
constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

struct DDS {
    uint32_t magic = FourCC("DDS ");
    uint32_t headerSize = 124;
    uint32_t flags = 0x1007;  // caps, height, width, pixel format
    uint32_t width = 4;
    uint32_t height = 4;
    uint32_t mipCount = 0;
    uint32_t pixelFlags = kDDSRGB;
    uint32_t fourCC = 0;
    uint32_t bitCount = 32;
    uint32_t caps2 = 0;
    std::string data;  // every face's levels, as stored

    std::string Bytes() const {
        std::string out;
        Put32(out, magic);
        Put32(out, headerSize);
        Put32(out, flags);
        Put32(out, height);
        Put32(out, width);
        Put32(out, 0);  // pitch
        Put32(out, 0);  // depth
        Put32(out, mipCount);
        for (int i = 0; i < 11; ++i) Put32(out, 0);
        Put32(out, 32);
        Put32(out, pixelFlags);
        Put32(out, fourCC);
        Put32(out, bitCount);
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
        Put32(out, bitCount == 32 ? 0xFF000000u : 0);
        Put32(out, 0x1000);  // caps: texture
        Put32(out, caps2);
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, 0);
        return out + data;
    }
};

// A DDS of 32-bit texels in the given colours (B, G, R, A words), one level.
inline DDS Dds32(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    DDS d;
    d.width = width;
    d.height = height;
    for (uint32_t c : argb) Put32(d.data, c);
    return d;
}

// A DXT1 block: two 565 colours and sixteen 2-bit indices (row by row, low bits first).
inline std::string Dxt1Block(uint16_t c0, uint16_t c1, const uint8_t (&indices)[16]) {
    std::string out;
    Put16(out, c0);
    Put16(out, c1);
    for (int row = 0; row < 4; ++row) {
        uint32_t bits = 0;
        for (int x = 0; x < 4; ++x) bits |= uint32_t(indices[row * 4 + x] & 3) << (2 * x);
        Put8(out, bits);
    }
    return out;
}

struct BMP {
    uint16_t type = 0x4D42;
    uint32_t offBits = 0;  // 0: right after the headers and the palette
    uint32_t infoSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::string palette;  // 4 bytes per entry
    std::string pixels;   // rows as stored, padded to 4 bytes

    std::string Bytes() const {
        std::string out;
        const uint32_t off = offBits ? offBits : 54 + static_cast<uint32_t>(palette.size());
        Put16(out, type);
        Put32(out, off + static_cast<uint32_t>(pixels.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, off);
        Put32(out, infoSize);
        Put32(out, static_cast<uint32_t>(width));
        Put32(out, static_cast<uint32_t>(height));
        Put16(out, planes);
        Put16(out, bitCount);
        Put32(out, compression);
        Put32(out, static_cast<uint32_t>(pixels.size()));
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, clrUsed);
        Put32(out, 0);
        out += palette;
        if (off > out.size()) out.append(off - out.size(), '\0');
        return out + pixels;
    }
};

// A RIFF palette of count entries R, G, B, flags.
inline std::string Palette(const std::vector<uint32_t>& rgb, int16_t count) {
    std::string out;
    Put32(out, FourCC("RIFF"));
    Put32(out, 16 + 4 * static_cast<uint32_t>(rgb.size()));
    Put32(out, FourCC("PAL "));
    Put32(out, FourCC("data"));
    Put32(out, 4 + 4 * static_cast<uint32_t>(rgb.size()));
    Put16(out, 0x300);
    Put16(out, static_cast<uint16_t>(count));
    for (uint32_t c : rgb) {
        Put8(out, c >> 16);
        Put8(out, c >> 8);
        Put8(out, c);
        Put8(out, 0);
    }
    return out;
}

struct M3D {
    struct Element {
        uint32_t type = 0;
        uint32_t size = 12;
        std::string data;
    };
    uint8_t major = 2;
    uint8_t minor = 1;
    uint8_t tangentFlag = 0;
    uint32_t indexSize = 2;
    uint32_t vertexCount = 0;
    std::vector<uint16_t> indices;
    std::vector<Element> elements;
    // Counts written in place of the real ones when set.
    int64_t elementCountField = -1;
    int64_t indexCountField = -1;

    std::string Bytes() const {
        std::string out = ".m3d";
        Put8(out, major);
        Put8(out, minor);
        Put16(out, 0);
        Put32(out, elementCountField >= 0 ? uint32_t(elementCountField) : uint32_t(elements.size()));
        Put32(out, vertexCount);
        Put32(out, indexCountField >= 0 ? uint32_t(indexCountField) : uint32_t(indices.size()));
        if (major >= 2 && minor >= 1) Put8(out, tangentFlag);
        Put32(out, indexSize);
        for (uint16_t i : indices) Put16(out, i);
        for (const Element& e : elements) {
            Put32(out, e.type);
            Put32(out, e.size);
            out += e.data;
        }
        return out;
    }
};

inline std::string Floats(const std::vector<float>& values) {
    std::string out;
    for (float f : values) PutFloat(out, f);
    return out;
}

// A unit quad in the xy plane facing +z: position, normal and uv elements, two triangles.
inline M3D QuadMesh() {
    M3D m;
    m.vertexCount = 4;
    m.indices = {0, 1, 2, 0, 2, 3};
    m.elements.push_back({0, 12, Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0})});
    m.elements.push_back({1, 12, Floats({0, 0, 2, 0, 0, 2, 0, 0, 2, 0, 0, 2})});
    m.elements.push_back({5, 8, Floats({0, 0, 1, 0, 1, 1, 0, 1})});
    return m;
}

}  // namespace rfiles
