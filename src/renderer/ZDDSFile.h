#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/gfx.h"

// A DDS texture file, read in place: the header is checked and every face and
// mip level located before anything is uploaded. Accepted: "DDS " with a
// 124-byte header, DXT1 to DXT5 blocks or 24/32-bit RGB texels, 2D or cube
// (square, six faces), sides up to kMaxSide, and no more mip levels than the
// full chain. Any other file is refused with a reason.
class ZDDSFile {
public:
    static constexpr uint32_t kMagic = 0x20534444;  // "DDS "
    static constexpr uint32_t kHeaderBytes = 124;
    static constexpr uint32_t kFlagMipMapCount = 0x20000;
    static constexpr uint32_t kPixelFourCC = 0x4;
    static constexpr uint32_t kPixelRGB = 0x40;
    static constexpr uint32_t kCaps2CubeMap = 0x200;
    static constexpr uint32_t kMaxSide = 16384;

    // One level of one face as stored in the file.
    struct Level {
        const uint8_t* data = nullptr;
        uint32_t width = 0;     // texels
        uint32_t height = 0;
        uint32_t rowBytes = 0;  // bytes of a row of texels (or of 4x4 blocks) in the file
        uint32_t rows = 0;      // rows of texels (or of blocks)
    };

    // Reads the header and locates the data; false (see GetError) when refused.
    // The bytes must outlive this object.
    bool Parse(const uint8_t* data, size_t size);
    const char* GetError() const { return m_error; }

    // The texture format to create: a DXT format, A8R8G8B8 for 32-bit texels or
    // X8R8G8B8 for 24-bit ones (widened to 4 bytes on upload).
    gfx::Format GetFormat() const { return m_format; }
    // Bytes of one texel in the file: 3 or 4, or 0 for block formats.
    uint32_t GetSourceTexelBytes() const { return m_texelBytes; }
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    uint32_t GetLevelCount() const { return m_levels; }
    bool IsCube() const { return m_cube; }
    uint32_t GetFaceCount() const { return m_cube ? 6 : 1; }
    // Face 0 for a 2D texture; faces in the order +x, -x, +y, -y, +z, -z.
    Level GetLevel(uint32_t face, uint32_t level) const;

private:
    bool Refuse(const char* why) {
        m_error = why;
        return false;
    }

    const uint8_t* m_data = nullptr;  // the first byte after the header
    const char* m_error = "";
    gfx::Format m_format = gfx::Format::Unknown;
    uint32_t m_texelBytes = 0;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_levels = 0;
    bool m_cube = false;
    size_t m_faceBytes = 0;  // every level of one face
};
