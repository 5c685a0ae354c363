#include "renderer/ZDDSFile.h"

#include "foundation/ZByteReader.h"

namespace {

uint32_t LevelSide(uint32_t side, uint32_t level) {
    const uint32_t s = level < 32 ? side >> level : 0;
    return s > 0 ? s : 1;
}

uint32_t FullChain(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t side = width > height ? width : height; side > 1; side >>= 1) {
        ++levels;
    }
    return levels;
}

}  // namespace

bool ZDDSFile::Parse(const uint8_t* data, const size_t size) {
    *this = ZDDSFile();
    ZByteReader in(data, size);
    uint32_t magic = 0, headerSize = 0, flags = 0, height = 0, width = 0, mipCount = 0;
    uint32_t pixelFlags = 0, fourCC = 0, bitCount = 0, caps2 = 0;
    in.U32(magic);
    in.U32(headerSize);
    in.U32(flags);
    in.U32(height);
    in.U32(width);
    in.Skip(8);  // pitch, depth
    in.U32(mipCount);
    in.Skip(44 + 4);  // reserved, pixel format size
    in.U32(pixelFlags);
    in.U32(fourCC);
    in.U32(bitCount);
    in.Skip(16 + 4);  // channel masks, caps
    in.U32(caps2);
    in.Skip(12);  // caps3, caps4, reserved
    if (in.Failed()) {
        return Refuse("the file is shorter than a DDS header");
    }
    if (magic != kMagic || headerSize != kHeaderBytes) {
        return Refuse("not a DDS file");
    }
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return Refuse("the texture size is out of range");
    }
    m_cube = (caps2 & kCaps2CubeMap) != 0;
    if (m_cube && width != height) {
        return Refuse("a cube map must be square");
    }

    if (pixelFlags & kPixelFourCC) {
        switch (static_cast<gfx::Format>(fourCC)) {
            case gfx::Format::DXT1:
            case gfx::Format::DXT2:
            case gfx::Format::DXT3:
            case gfx::Format::DXT4:
            case gfx::Format::DXT5: m_format = static_cast<gfx::Format>(fourCC); break;
            default: return Refuse("only the DXT1 to DXT5 block formats are read");
        }
    } else if (pixelFlags & kPixelRGB) {
        if (bitCount == 32) {
            m_format = gfx::Format::A8R8G8B8;
            m_texelBytes = 4;
        } else if (bitCount == 24) {
            m_format = gfx::Format::X8R8G8B8;
            m_texelBytes = 3;
        } else {
            return Refuse("only 24 and 32-bit RGB texels are read");
        }
    } else {
        return Refuse("the pixel format is neither block-compressed nor RGB");
    }

    m_width = width;
    m_height = height;
    // Without the mip-map flag the count field means nothing.
    m_levels = (flags & kFlagMipMapCount) && mipCount > 0 ? mipCount : 1;
    const uint32_t chain = FullChain(width, height);
    if (m_levels > chain) {
        m_levels = chain;
    }

    m_faceBytes = 0;
    for (uint32_t level = 0; level < m_levels; ++level) {
        const Level l = GetLevel(0, level);
        m_faceBytes += static_cast<size_t>(l.rowBytes) * l.rows;
    }
    if (m_faceBytes * GetFaceCount() > in.Remaining()) {
        return Refuse("the file is shorter than its texels");
    }
    m_data = data + in.Position();
    return true;
}

ZDDSFile::Level ZDDSFile::GetLevel(const uint32_t face, const uint32_t level) const {
    Level l;
    if (face >= GetFaceCount() || level >= m_levels) {
        return l;
    }
    l.width = LevelSide(m_width, level);
    l.height = LevelSide(m_height, level);
    if (m_texelBytes != 0) {
        l.rowBytes = l.width * m_texelBytes;
        l.rows = l.height;
    } else {
        l.rowBytes = gfx::RowBytes(m_format, l.width);
        l.rows = gfx::RowCount(m_format, l.height);
    }
    if (m_data != nullptr) {
        // Faces follow one another, each with all its levels, largest first.
        size_t offset = m_faceBytes * face;
        ZDDSFile layout = *this;
        layout.m_data = nullptr;
        for (uint32_t i = 0; i < level; ++i) {
            const Level before = layout.GetLevel(face, i);
            offset += static_cast<size_t>(before.rowBytes) * before.rows;
        }
        l.data = m_data + offset;
    }
    return l;
}
