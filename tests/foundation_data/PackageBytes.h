#pragma once

// Byte-level package images for tests that need layouts no writer would make
// (older layout, gaps, overlaps, corrupt tables).

#include <cstdint>
#include <string>

namespace korvtest {

inline std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string U32(uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return out;
}

// The 16-byte header of the current layout.
inline std::string PackageHeader(uint32_t tocOffset, uint32_t tocSize, uint16_t version = 2) {
    return ".zpk" + U16(version) + U16(0) + U32(tocOffset) + U32(tocSize);
}

// The 12-byte header of the older layout.
inline std::string OldPackageHeader(uint32_t tocOffset, uint32_t tocSize) {
    return "zpk." + U32(tocOffset) + U32(tocSize);
}

// One 256-byte table entry; the name is written as given, cut at 248 bytes.
inline std::string TocEntry(const std::string& name, uint32_t offset, uint32_t size) {
    std::string raw = name.substr(0, 248);
    raw.resize(248, '\0');
    return raw + U32(offset) + U32(size);
}

}  // namespace korvtest
