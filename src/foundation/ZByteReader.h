#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/ZLittleEndian.h"

// Reads little-endian fields from a byte range and never past its end: a read
// that does not fit fails, leaves the output alone and marks the reader as
// failed, so a parser may read a run of fields and check once.
class ZByteReader {
public:
    ZByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    bool U8(uint8_t& out) { return Take(&out, 1); }
    bool U16(uint16_t& out) {
        uint8_t b[2];
        if (!Take(b, 2)) return false;
        out = LoadLE16(b);
        return true;
    }
    bool I16(int16_t& out) {
        uint16_t v = 0;
        if (!U16(v)) return false;
        out = static_cast<int16_t>(v);
        return true;
    }
    bool U32(uint32_t& out) {
        uint8_t b[4];
        if (!Take(b, 4)) return false;
        out = LoadLE32(b);
        return true;
    }
    bool I32(int32_t& out) {
        uint32_t v = 0;
        if (!U32(v)) return false;
        out = static_cast<int32_t>(v);
        return true;
    }
    // Copies n bytes.
    bool Bytes(void* out, size_t n) { return Take(out, n); }
    // The next n bytes in place (null when they do not fit), skipping them.
    const uint8_t* Span(size_t n) {
        if (!Fits(n)) {
            m_failed = true;
            return nullptr;
        }
        const uint8_t* at = m_data + m_pos;
        m_pos += n;
        return at;
    }
    bool Skip(size_t n) { return Span(n) != nullptr || n == 0; }
    bool Seek(size_t pos) {
        if (pos > m_size) {
            m_failed = true;
            return false;
        }
        m_pos = pos;
        return true;
    }

    bool Fits(size_t n) const { return n <= m_size - m_pos; }
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }
    size_t Size() const { return m_size; }
    bool Failed() const { return m_failed; }

private:
    bool Take(void* out, size_t n) {
        if (!Fits(n)) {
            m_failed = true;
            return false;
        }
        if (n != 0) std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_failed = false;
};
