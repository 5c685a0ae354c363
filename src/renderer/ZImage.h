#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The 14-byte file header of a BMP file, field by field as stored.
struct ZBMPFileHeader {
    uint16_t type = 0;  // "BM"
    uint32_t size = 0;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t offBits = 0;  // where the pixels start
};

// The 40-byte info header of a BMP file.
struct ZBMPInfoHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows bottom-up
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// The CPU-side picture textures, dumps and screenshots are made from: 1, 3 or
// 4 bytes per pixel, rows stored bottom-up (image row y lives at byte
// (height - y - 1) * pitch), each row padded to a multiple of 4 bytes.
// A packed colour is 32 bits, bytes B, G, R, A from the lowest.
class ZImage {
public:
    static constexpr uint32_t kFileHeaderBytes = 14;
    static constexpr uint32_t kInfoHeaderBytes = 40;
    static constexpr uint32_t kPaletteCount = 256;
    // The palette of an image read from a 16-colour (4-bit) BMP.
    static constexpr uint32_t kNibblePaletteCount = 16;
    // Larger pictures are refused: nothing the engine draws comes near it.
    static constexpr int32_t kMaxSide = 16384;

    ZImage() = default;

    // Forgets the old picture and makes a zeroed one with valid BMP headers; a
    // 1-byte image gets a zeroed palette of 256 entries. False (and an empty
    // image) for a size below 1 or above kMaxSide or bytes per pixel other than
    // 1, 3 or 4.
    bool Create(int32_t width, int32_t height, uint32_t bytesPerPixel, uint32_t bitsPerPixel);
    void Free();

    // The packed colour at (x, y); 0 outside the image. 3 bytes give A 255; 1
    // byte gives its palette entry (value mod palette count) with A 255, or the
    // value as grey without a palette.
    uint32_t GetPixel(int32_t x, int32_t y) const;
    // Ignored outside the image. 1 byte per pixel stores the colour's R byte.
    void SetPixel(int32_t x, int32_t y, uint32_t colour);

    // Copies a width x rows rectangle from src (at srcX, srcY) to dest (at
    // destX, destY), row y, y + 1, ... downwards. The rectangle is clipped to
    // both images; images of different depths are converted pixel by pixel.
    static void Blit(ZImage& dest, int32_t destX, int32_t destY, const ZImage& src, int32_t srcX, int32_t srcY,
                     int32_t width, int32_t rows);

    // Reads an uncompressed 4, 8, 24 or 32-bit BMP (bottom-up or top-down)
    // through the stream manager. A 4-bit file becomes a 1-byte image with
    // a 16-entry palette (two pixels a file byte, high nibble first; file rows
    // padded to 4 bytes), which writes back as an 8-bit file of 16 colours.
    // An 8-bit file that lists fewer than 256 colours keeps that many entries.
    // Whatever is read writes a file that reads back as the same image.
    // False, with a log line, when the file is missing, refused or short; the
    // image is then empty.
    bool LoadBMP(const char* fileName);
    bool LoadBMPFromMemory(const uint8_t* data, size_t size);

    // Reads a RIFF palette ("RIFF", size, "PAL ", "data", size, version, count,
    // entries R, G, B, flags) over this image's palette when the counts match
    // (a palette of 256 also replaces a shorter one).
    // True when the palette was replaced.
    bool LoadPalette(const char* fileName);
    bool LoadPaletteFromMemory(const uint8_t* data, size_t size);

    // The whole BMP file as WriteBMPFile writes it.
    std::vector<uint8_t> EncodeBMP() const;

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint32_t GetBytesPerPixel() const { return m_bytesPerPixel; }
    uint32_t GetPitch() const { return m_pitch; }
    uint32_t GetPaletteCount() const { return m_palette.empty() ? 0 : m_paletteCount; }
    bool IsEmpty() const { return m_pixels.empty(); }
    const ZBMPFileHeader& GetFileHeader() const { return m_fileHeader; }
    const ZBMPInfoHeader& GetInfoHeader() const { return m_infoHeader; }
    // Palette entries, 4 bytes each: B, G, R, 0 (GetPaletteCount of them).
    // Empty unless 1 byte per pixel.
    uint8_t* GetPalette() { return m_palette.data(); }
    const uint8_t* GetPalette() const { return m_palette.data(); }
    // Rows bottom-up, pitch bytes each.
    uint8_t* GetPixels() { return m_pixels.data(); }
    const uint8_t* GetPixels() const { return m_pixels.data(); }
    // Start of image row y (top = 0).
    uint8_t* Row(int32_t y) { return m_pixels.data() + static_cast<size_t>(m_height - y - 1) * m_pitch; }
    const uint8_t* Row(int32_t y) const {
        return m_pixels.data() + static_cast<size_t>(m_height - y - 1) * m_pitch;
    }

private:
    // A zeroed palette of count entries (1 byte per pixel), with the headers
    // that write it.
    void SetPaletteCount(uint32_t count);

    ZBMPFileHeader m_fileHeader;
    ZBMPInfoHeader m_infoHeader;
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint32_t m_bytesPerPixel = 0;
    uint32_t m_pitch = 0;
    uint32_t m_paletteCount = 0;
    std::vector<uint8_t> m_palette;
    std::vector<uint8_t> m_pixels;
};

// Writes the image as a BMP file (replacing any file at the path). False, with
// a log line, when the image is empty or the file cannot be written.
bool WriteBMPFile(const ZImage& image, const char* path);
