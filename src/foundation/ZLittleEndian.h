#pragma once

#include <cstdint>

// Little-endian fields, as every file format of the engine stores them. The
// caller makes sure the bytes are there (ZByteReader checks for readers).

inline uint16_t LoadLE16(const void* at) {
    const auto* b = static_cast<const uint8_t*>(at);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

inline uint32_t LoadLE32(const void* at) {
    const auto* b = static_cast<const uint8_t*>(at);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline void StoreLE16(void* at, const uint16_t value) {
    auto* b = static_cast<uint8_t*>(at);
    b[0] = static_cast<uint8_t>(value);
    b[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLE32(void* at, const uint32_t value) {
    auto* b = static_cast<uint8_t*>(at);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Appends to a byte container (std::string or std::vector<uint8_t>).
template <typename Bytes>
void AppendLE16(Bytes& out, const uint16_t value) {
    out.push_back(static_cast<typename Bytes::value_type>(value));
    out.push_back(static_cast<typename Bytes::value_type>(value >> 8));
}

template <typename Bytes>
void AppendLE32(Bytes& out, const uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<typename Bytes::value_type>(value >> (8 * i)));
    }
}
