#pragma once

#include <cstdint>
#include <string_view>

struct ZColor;

// 8-bit colour in the device's memory order B, G, R, A; as a little-endian
// word it reads A << 24 | R << 16 | G << 8 | B.
struct ZColor32 {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t r = 0;
    uint8_t a = 255;

    // Opaque black.
    constexpr ZColor32() = default;
    // Channels given as r, g, b, a, whatever the memory order.
    constexpr ZColor32(const uint8_t cr, const uint8_t cg, const uint8_t cb, const uint8_t ca)
        : b(cb), g(cg), r(cr), a(ca) {}

    bool operator==(const ZColor32& o) const = default;

    uint32_t ToARGB() const { return uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b; }
    static ZColor32 FromARGB(const uint32_t argb) {
        return {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb),
                static_cast<uint8_t>(argb >> 24)};
    }

    // Each byte times its own float channel, truncated and clamped to 0..255.
    static ZColor32 Modulate(const ZColor32& c, const ZColor& by);

    // "RRGGBBAA", optionally after one '#'. Pairs not given stay 0 (alpha 255);
    // a lone last digit is the high one; a non-hex digit reads as 0. A null or
    // empty text gives opaque black.
    static ZColor32 FromHexString(const char* text);
    static ZColor32 FromHexString(std::string_view text);
};
