// Glyph tables (".uv"): the reader must refuse what does not fit its bytes
// with a reason, and a font made from what it accepts must lay out any bytes
// as text (the input itself, with and without limits) without reading astray.

#include <cstddef>
#include <cstdint>

#include "renderer/ZFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZGlyphTable table;
    const char* why = nullptr;
    if (!ZFont::ParseGlyphTable(data, size, table, &why)) {
        if (why == nullptr || why[0] == 0 || table.glyphs.Count() != 0) __builtin_trap();
        return 0;
    }
    // Every record read lies within the file.
    const size_t record = table.oldLayout ? ZFont::kOldGlyphBytes : ZFont::kNewGlyphBytes;
    if (table.glyphs.Count() * record > size) __builtin_trap();

    // One font for the whole run: no device, so it builds no buffers.
    static ZFont* font = new ZFont();
    if (!font->LoadFromMemory(data, size, "fuzz")) __builtin_trap();
    const char* text = reinterpret_cast<const char*>(data);
    const auto length = static_cast<int32_t>(size > 4096 ? 4096 : size);
    float width = 0.0f, height = 0.0f;
    const char* stop = font->DrawTextFormatted(text, length, &width, &height, 1.0f, 1.0f);
    if (stop < text || stop > text + length) __builtin_trap();
    stop = font->DrawTextFormatted(text, length, &width, &height, 2.0f, 0.5f, 40.0f, 30.0f);
    if (stop < text || stop > text + length) __builtin_trap();
    font->AddGlyphQuads(text, length, 0.0f, 0.0f, 1.0f, 1.0f, ZColor32(), ZColor32(), 64.0f, 0.0f);
    font->ResetFrame();
    return 0;
}
