#include "renderer/ZImage.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "platform/os/files.h"
#include "foundation/ZByteReader.h"
#include "foundation/ZLittleEndian.h"

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr uint32_t kRiff = 0x46464952;  // "RIFF"

// The whole file through the stream manager; null when it is missing or unreadable.
std::unique_ptr<char[]> ReadWhole(const char* name, size_t& size) {
    char* buffer = nullptr;
    int64_t bytes = -1;
    if (!ZStreamMgr::GetInstance()->ReadFile(name, &buffer, &bytes) || bytes < 0) {
        delete[] buffer;
        size = 0;
        return nullptr;
    }
    size = static_cast<size_t>(bytes);
    return std::unique_ptr<char[]>(buffer);
}

uint32_t PitchOf(int32_t width, uint32_t bytesPerPixel) {
    return (static_cast<uint32_t>(width) * bytesPerPixel + 3u) & ~3u;
}

}  // namespace

bool ZImage::Create(const int32_t width, const int32_t height, const uint32_t bytesPerPixel,
                    const uint32_t /*bitsPerPixel*/) {
    Free();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
        (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4)) {
        ZLog::Printf("ZImage::Create: refused %dx%d at %u bytes per pixel", width, height, bytesPerPixel);
        return false;
    }
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
    m_paletteCount = kPaletteCount;
    m_pitch = PitchOf(width, bytesPerPixel);

    const uint32_t imageBytes = m_pitch * static_cast<uint32_t>(height);
    m_fileHeader.type = kBmpType;
    m_fileHeader.offBits = kFileHeaderBytes + kInfoHeaderBytes + (bytesPerPixel == 1 ? 4 * m_paletteCount : 0);
    m_fileHeader.size = m_fileHeader.offBits + imageBytes;
    m_infoHeader.size = kInfoHeaderBytes;
    m_infoHeader.width = width;
    m_infoHeader.height = height;
    m_infoHeader.planes = 1;
    m_infoHeader.bitCount = static_cast<uint16_t>(bytesPerPixel * 8);
    m_infoHeader.sizeImage = imageBytes;

    m_pixels.assign(imageBytes, 0);
    if (bytesPerPixel == 1) {
        m_palette.assign(4 * static_cast<size_t>(m_paletteCount), 0);
    }
    return true;
}

void ZImage::Free() { *this = ZImage(); }

void ZImage::SetPaletteCount(const uint32_t count) {
    m_paletteCount = count;
    m_palette.assign(4 * static_cast<size_t>(count), 0);
    // A full palette is the default the headers do not name.
    m_infoHeader.clrUsed = count == kPaletteCount ? 0 : count;
    m_fileHeader.offBits = kFileHeaderBytes + kInfoHeaderBytes + 4 * count;
    m_fileHeader.size = m_fileHeader.offBits + m_infoHeader.sizeImage;
}

uint32_t ZImage::GetPixel(const int32_t x, const int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * m_bytesPerPixel;
    switch (m_bytesPerPixel) {
        case 4: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        case 3: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | 0xFF000000u;
        default: break;
    }
    if (!m_palette.empty() && m_paletteCount > 0) {
        const uint8_t* e = &m_palette[4 * static_cast<size_t>(p[0] % m_paletteCount)];
        return uint32_t{e[0]} | uint32_t{e[1]} << 8 | uint32_t{e[2]} << 16 | 0xFF000000u;
    }
    return uint32_t{p[0]} | uint32_t{p[0]} << 8 | uint32_t{p[0]} << 16 | 0xFF000000u;
}

void ZImage::SetPixel(const int32_t x, const int32_t y, const uint32_t colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    uint8_t* p = Row(y) + static_cast<size_t>(x) * m_bytesPerPixel;
    if (m_bytesPerPixel == 1) {
        p[0] = static_cast<uint8_t>(colour >> 16);
        return;
    }
    p[0] = static_cast<uint8_t>(colour);
    p[1] = static_cast<uint8_t>(colour >> 8);
    p[2] = static_cast<uint8_t>(colour >> 16);
    if (m_bytesPerPixel == 4) {
        p[3] = static_cast<uint8_t>(colour >> 24);
    }
}

void ZImage::Blit(ZImage& dest, int32_t destX, int32_t destY, const ZImage& src, int32_t srcX, int32_t srcY,
                  int32_t width, int32_t rows) {
    // Clip against both images, moving both corners together.
    const auto clipStart = [&](int32_t& a, int32_t& b, int32_t& extent) {
        const int32_t shift = std::max(0, std::max(-a, -b));
        a += shift;
        b += shift;
        extent -= shift;
    };
    clipStart(destX, srcX, width);
    clipStart(destY, srcY, rows);
    width = std::min({width, dest.m_width - destX, src.m_width - srcX});
    rows = std::min({rows, dest.m_height - destY, src.m_height - srcY});
    if (width <= 0 || rows <= 0 || dest.IsEmpty() || src.IsEmpty()) {
        return;
    }
    for (int32_t r = 0; r < rows; ++r) {
        if (dest.m_bytesPerPixel == src.m_bytesPerPixel) {
            std::memmove(dest.Row(destY + r) + static_cast<size_t>(destX) * dest.m_bytesPerPixel,
                         src.Row(srcY + r) + static_cast<size_t>(srcX) * src.m_bytesPerPixel,
                         static_cast<size_t>(width) * src.m_bytesPerPixel);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            dest.SetPixel(destX + x, destY + r, src.GetPixel(srcX + x, srcY + r));
        }
    }
}

bool ZImage::LoadBMP(const char* fileName) {
    Free();
    if (fileName == nullptr) {
        return false;
    }
    size_t size = 0;
    const std::unique_ptr<char[]> bytes = ReadWhole(fileName, size);
    if (!bytes) {
        return false;
    }
    if (!LoadBMPFromMemory(reinterpret_cast<const uint8_t*>(bytes.get()), size)) {
        ZLog::Printf("ZImage::LoadBMP: %s is not a BMP this engine reads", fileName);
        return false;
    }
    return true;
}

bool ZImage::LoadBMPFromMemory(const uint8_t* data, const size_t size) {
    Free();
    ZByteReader in(data, size);
    ZBMPFileHeader file;
    ZBMPInfoHeader info;
    in.U16(file.type);
    in.U32(file.size);
    in.U16(file.reserved1);
    in.U16(file.reserved2);
    in.U32(file.offBits);
    in.U32(info.size);
    in.I32(info.width);
    in.I32(info.height);
    in.U16(info.planes);
    in.U16(info.bitCount);
    in.U32(info.compression);
    in.U32(info.sizeImage);
    in.I32(info.xPelsPerMeter);
    in.I32(info.yPelsPerMeter);
    in.U32(info.clrUsed);
    in.U32(info.clrImportant);
    if (in.Failed() || info.size != kInfoHeaderBytes || info.planes != 1 || info.compression != 0) {
        return false;
    }
    if (info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 24 && info.bitCount != 32) {
        return false;
    }
    // A 16-colour file packs two pixels a byte, high nibble first; the image
    // holds them one byte a pixel through a palette of 16 entries.
    const bool nibbles = info.bitCount == 4;
    // A negative height stores the rows top-down.
    const bool topDown = info.height < 0;
    const int32_t height = topDown ? (info.height == INT32_MIN ? 0 : -info.height) : info.height;
    // The palette follows the info header; a file may hold fewer entries than its depth allows.
    const uint32_t bytesPerPixel = nibbles ? 1u : info.bitCount / 8u;
    const uint32_t paletteCount = nibbles ? kNibblePaletteCount : kPaletteCount;
    const uint32_t entries = info.clrUsed != 0 && info.clrUsed < paletteCount ? info.clrUsed : paletteCount;
    const size_t paletteBytes = bytesPerPixel == 1 ? 4 * static_cast<size_t>(entries) : 0;
    // Check that the file holds every pixel before making the image: a header
    // alone must not make the reader fill a large image it cannot read.
    size_t fileRowBytes = 0;
    if (info.width >= 1 && height >= 1 && info.width <= kMaxSide && height <= kMaxSide) {
        fileRowBytes = nibbles ? (static_cast<size_t>(info.width + 1) / 2 + 3) & ~size_t{3}
                               : PitchOf(info.width, bytesPerPixel);
        const size_t afterPalette = in.Position() + paletteBytes;
        const size_t pixelStart = std::max<size_t>(file.offBits, afterPalette);
        const size_t needed = fileRowBytes * static_cast<size_t>(height);
        if (pixelStart > size || size - pixelStart < needed) {
            ZLog::Printf("ZImage: a %dx%d BMP needs %zu bytes of pixels; the file ends first", info.width,
                         height, needed);
            return false;
        }
    }
    if (!Create(info.width, height, bytesPerPixel, info.bitCount)) {
        return false;
    }
    // A 16-colour file keeps its 16 entries, and an 8-bit file that lists fewer
    // than 256 colours keeps just those: the image writes an 8-bit file with
    // that palette, which reads back as the same image and so writes the same
    // file again.
    const uint32_t kept = nibbles ? kNibblePaletteCount : entries;
    if (m_bytesPerPixel == 1 && kept != m_paletteCount) {
        SetPaletteCount(kept);
    }
    if (m_bytesPerPixel == 1) {
        if (!in.Bytes(m_palette.data(), paletteBytes)) {
            Free();
            return false;
        }
        for (uint32_t i = 0; i < entries; ++i) {
            m_palette[4 * i + 3] = 0;
        }
    }
    // The pixels start where the file header says, unless it points back into the headers.
    if (file.offBits >= in.Position() && !in.Seek(file.offBits)) {
        Free();
        return false;
    }
    const uint8_t* pixels = in.Span(fileRowBytes * static_cast<size_t>(m_height));
    if (pixels == nullptr) {
        Free();
        return false;
    }
    for (int32_t r = 0; r < m_height; ++r) {
        const uint8_t* from = pixels + static_cast<size_t>(r) * fileRowBytes;
        uint8_t* to = Row(topDown ? r : m_height - 1 - r);
        if (!nibbles) {
            std::memcpy(to, from, m_pitch);
            continue;
        }
        for (int32_t x = 0; x < m_width; ++x) {
            const uint8_t pair = from[x / 2];
            to[x] = (x & 1) == 0 ? static_cast<uint8_t>(pair >> 4) : static_cast<uint8_t>(pair & 0x0F);
        }
    }
    return true;
}

bool ZImage::LoadPalette(const char* fileName) {
    if (fileName == nullptr) {
        return false;
    }
    size_t size = 0;
    const std::unique_ptr<char[]> bytes = ReadWhole(fileName, size);
    if (!bytes) {
        return false;
    }
    return LoadPaletteFromMemory(reinterpret_cast<const uint8_t*>(bytes.get()), size);
}

bool ZImage::LoadPaletteFromMemory(const uint8_t* data, const size_t size) {
    ZByteReader in(data, size);
    uint32_t riff = 0, riffSize = 0, form = 0, chunk = 0, chunkSize = 0;
    uint16_t version = 0;
    int16_t count = 0;
    in.U32(riff);
    in.U32(riffSize);
    in.U32(form);
    in.U32(chunk);
    in.U32(chunkSize);
    in.U16(version);
    in.I16(count);
    if (in.Failed() || riff != kRiff) {
        ZLog::Printf("ZImage::LoadPalette: not a RIFF palette");
        return false;
    }
    // A full palette also replaces a shorter one read from a file that listed
    // fewer colours.
    const bool grows = static_cast<uint32_t>(count) == kPaletteCount && m_paletteCount < kPaletteCount;
    if (m_palette.empty() || count <= 0 || (static_cast<uint32_t>(count) != m_paletteCount && !grows)) {
        return false;
    }
    const uint8_t* entries = in.Span(4 * static_cast<size_t>(count));
    if (entries == nullptr) {
        ZLog::Printf("ZImage::LoadPalette: the palette is shorter than its %d entries", count);
        return false;
    }
    if (grows) {
        SetPaletteCount(kPaletteCount);
    }
    for (int32_t i = 0; i < count; ++i) {
        uint8_t* e = &m_palette[4 * static_cast<size_t>(i)];
        e[0] = entries[4 * i + 2];
        e[1] = entries[4 * i + 1];
        e[2] = entries[4 * i + 0];
        e[3] = 0;
    }
    return true;
}

std::vector<uint8_t> ZImage::EncodeBMP() const {
    std::vector<uint8_t> out;
    if (IsEmpty()) {
        return out;
    }
    out.reserve(kFileHeaderBytes + kInfoHeaderBytes + m_palette.size() + m_pixels.size());
    AppendLE16(out, m_fileHeader.type);
    AppendLE32(out, m_fileHeader.size);
    AppendLE16(out, m_fileHeader.reserved1);
    AppendLE16(out, m_fileHeader.reserved2);
    AppendLE32(out, m_fileHeader.offBits);
    AppendLE32(out, m_infoHeader.size);
    AppendLE32(out, static_cast<uint32_t>(m_infoHeader.width));
    AppendLE32(out, static_cast<uint32_t>(m_infoHeader.height));
    AppendLE16(out, m_infoHeader.planes);
    AppendLE16(out, m_infoHeader.bitCount);
    AppendLE32(out, m_infoHeader.compression);
    AppendLE32(out, m_infoHeader.sizeImage);
    AppendLE32(out, static_cast<uint32_t>(m_infoHeader.xPelsPerMeter));
    AppendLE32(out, static_cast<uint32_t>(m_infoHeader.yPelsPerMeter));
    AppendLE32(out, m_infoHeader.clrUsed);
    AppendLE32(out, m_infoHeader.clrImportant);
    if (m_bytesPerPixel == 1) {
        out.insert(out.end(), m_palette.begin(), m_palette.end());
    }
    out.insert(out.end(), m_pixels.begin(), m_pixels.end());
    return out;
}

bool WriteBMPFile(const ZImage& image, const char* path) {
    if (path == nullptr || image.IsEmpty()) {
        ZLog::Printf("WriteBMPFile: nothing to write to %s", path ? path : "(no path)");
        return false;
    }
    const std::vector<uint8_t> bytes = image.EncodeBMP();
    const int error = os::WriteFileAtomic(path, bytes.data(), bytes.size());
    if (error != 0) {
        ZLog::Printf("WriteBMPFile: could not write %s (error %d)", path, error);
        return false;
    }
    return true;
}
