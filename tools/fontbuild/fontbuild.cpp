// fontbuild: turns a pixel-font source into the engine's glyph table (.uv)
// and glyph sheet (.dds, A8R8G8B8: white texels whose alpha is the ink).
//   fontbuild SOURCE.glyphs OUT        writes OUT.uv and OUT.dds

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/fontbuild/GlyphSource.h"
#include "tools/texbuild/TextureEncode.h"

namespace {

const char* const kUsage =
    "usage: fontbuild [--scale N] [--preview SHEET.png] SOURCE.glyphs OUT\n"
    "\n"
    "Reads a pixel-font source (see data/engine/fonts/README.md) and writes the\n"
    "glyph table OUT.uv and the glyph sheet OUT.dds beside it (an OUT that ends in\n"
    ".uv or .dds is taken without that ending). The sheet is uncompressed\n"
    "A8R8G8B8: white texels whose alpha is 255 where a glyph has ink and 0\n"
    "elsewhere, one glyph per grid cell with a blank texel between cells.\n"
    "\n"
    "  --scale N             draw every source pixel as N x N texels (1-8), the\n"
    "                        spacing and the baseline likewise: a larger font of\n"
    "                        the same shapes\n"
    "  --preview SHEET.png   also write the sheet as a PNG, for looking at\n"
    "  --help                show this text\n";

// Sheets larger than this would not help a pixel font and hint at a broken source.
constexpr uint32_t kMaxSheetSide = 4096;

uint32_t NextPowerOfTwo(uint32_t v) {
    uint32_t p = 1;
    while (p < v) p <<= 1;
    return p;
}

struct Layout {
    uint32_t columns = 0;
    uint32_t cellWidth = 0;
    uint32_t cellHeight = 0;
    uint32_t sheetWidth = 0;
    uint32_t sheetHeight = 0;
};

// A grid of equal cells, each glyph at its cell's top-left corner. The column
// count is the one that gives the smallest power-of-two sheet, the squarer one
// on a tie, so the output never depends on anything but the source.
bool ChooseLayout(const korvart::GlyphSource& source, Layout& layout) {
    int32_t widest = 1;
    for (const korvart::SourceGlyph& g : source.glyphs) widest = std::max(widest, g.width);
    const uint32_t count = static_cast<uint32_t>(source.glyphs.size());
    const uint32_t cellWidth = static_cast<uint32_t>(widest) + 1;
    const uint32_t cellHeight = static_cast<uint32_t>(source.height) + 1;
    bool found = false;
    for (uint32_t columns = 1; columns <= count; ++columns) {
        const uint32_t rows = (count + columns - 1) / columns;
        const uint32_t w = NextPowerOfTwo(columns * cellWidth), h = NextPowerOfTwo(rows * cellHeight);
        if (w > kMaxSheetSide || h > kMaxSheetSide) continue;
        const uint64_t area = static_cast<uint64_t>(w) * h;
        const uint64_t bestArea = static_cast<uint64_t>(layout.sheetWidth) * layout.sheetHeight;
        const uint32_t side = std::max(w, h), bestSide = std::max(layout.sheetWidth, layout.sheetHeight);
        if (!found || area < bestArea || (area == bestArea && side < bestSide)) {
            layout = {columns, cellWidth, cellHeight, w, h};
            found = true;
        }
    }
    return found;
}

void PutFloat(std::vector<uint8_t>& out, float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof(bits));
    korvart::Put32(out, bits);
}

// The glyph table in the engine's current layout: "font", a format version,
// the glyph count, fourteen 32-bit metrics, then one 30-byte record per glyph.
std::vector<uint8_t> BuildGlyphTable(const korvart::GlyphSource& source, const Layout& layout) {
    std::vector<uint8_t> out;
    out.insert(out.end(), {'f', 'o', 'n', 't'});
    korvart::Put32(out, 1);  // format version
    korvart::Put32(out, static_cast<uint32_t>(source.glyphs.size()));

    int32_t widestAdvance = 0;
    for (const korvart::SourceGlyph& g : source.glyphs)
        widestAdvance = std::max(widestAdvance, g.before + g.width + g.after);
    const korvart::SourceGlyph* space = source.Find(0x20);
    const korvart::SourceGlyph* fallback = source.Find('?');
    const int32_t metrics[14] = {
        source.height,                            // line height
        source.baseline,                          // ascent
        source.height - source.baseline,          // descent
        static_cast<int32_t>(layout.sheetWidth),  // sheet size
        static_cast<int32_t>(layout.sheetHeight),
        static_cast<int32_t>(source.glyphs.size()),               // glyph count
        widestAdvance,                                            // widest advance
        space ? space->before + space->width + space->after : 0,  // advance of a blank
        static_cast<int32_t>(source.glyphs.front().code),         // first and last code
        static_cast<int32_t>(source.glyphs.back().code),
        fallback ? static_cast<int32_t>(fallback->code) : 0,  // code to show for a missing one
        0,
        0,
        0};
    for (const int32_t m : metrics) korvart::Put32(out, static_cast<uint32_t>(m));

    const float sheetW = static_cast<float>(layout.sheetWidth),
                sheetH = static_cast<float>(layout.sheetHeight);
    for (size_t i = 0; i < source.glyphs.size(); ++i) {
        const korvart::SourceGlyph& g = source.glyphs[i];
        const uint32_t x = static_cast<uint32_t>(i % layout.columns) * layout.cellWidth;
        const uint32_t y = static_cast<uint32_t>(i / layout.columns) * layout.cellHeight;
        korvart::Put16(out, g.code);
        korvart::Put32(out, static_cast<uint32_t>(g.width));
        PutFloat(out, static_cast<float>(x) / sheetW);
        PutFloat(out, static_cast<float>(y) / sheetH);
        PutFloat(out, static_cast<float>(x + static_cast<uint32_t>(g.width)) / sheetW);
        PutFloat(out, static_cast<float>(y + static_cast<uint32_t>(source.height)) / sheetH);
        korvart::Put32(out, static_cast<uint32_t>(g.before));
        korvart::Put32(out, static_cast<uint32_t>(g.after));
    }
    return out;
}

korvart::Picture BuildSheet(const korvart::GlyphSource& source, const Layout& layout) {
    korvart::Picture sheet(layout.sheetWidth, layout.sheetHeight);
    // White everywhere, so filtering at a glyph's edge fades its alpha only.
    for (size_t i = 0; i < sheet.rgba.size(); i += 4)
        sheet.rgba[i] = sheet.rgba[i + 1] = sheet.rgba[i + 2] = 255;
    for (size_t i = 0; i < source.glyphs.size(); ++i) {
        const korvart::SourceGlyph& g = source.glyphs[i];
        const uint32_t x0 = static_cast<uint32_t>(i % layout.columns) * layout.cellWidth;
        const uint32_t y0 = static_cast<uint32_t>(i / layout.columns) * layout.cellHeight;
        for (int32_t y = 0; y < source.height; ++y) {
            for (int32_t x = 0; x < g.width; ++x) {
                if (g.Ink(x, y))
                    sheet.At(x0 + static_cast<uint32_t>(x), y0 + static_cast<uint32_t>(y))[3] = 255;
            }
        }
    }
    return sheet;
}

// Every pixel becomes a block of factor x factor; spacing and baseline grow alike.
void ScaleSource(korvart::GlyphSource& source, const int32_t factor) {
    for (korvart::SourceGlyph& g : source.glyphs) {
        std::vector<uint8_t> pixels(static_cast<size_t>(g.width) * factor * source.height * factor);
        for (int32_t y = 0; y < source.height * factor; ++y) {
            for (int32_t x = 0; x < g.width * factor; ++x) {
                pixels[static_cast<size_t>(y) * g.width * factor + x] = g.Ink(x / factor, y / factor) ? 1 : 0;
            }
        }
        g.pixels = std::move(pixels);
        g.width *= factor;
        g.before *= factor;
        g.after *= factor;
    }
    source.height *= factor;
    source.baseline *= factor;
}

bool ReadText(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        text.append(chunk, n);
        if (text.size() > (16u << 20)) break;  // no font source comes near this
    }
    const bool ok = !std::ferror(file) && text.size() <= (16u << 20);
    std::fclose(file);
    return ok;
}

bool EndsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    std::string preview;
    int32_t scale = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--scale" && i + 1 < argc) {
            const std::string word = argv[++i];
            if (!korvart::detail::ParseInt(word, 1, 8, scale)) {
                std::fprintf(stderr, "fontbuild: --scale takes a whole number from 1 to 8, not \"%s\"\n", word.c_str());
                return 2;
            }
        } else if (arg == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "fontbuild: unknown option \"%s\"\n\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& sourcePath = positional[0];
    std::string base = positional[1];
    if (EndsWith(base, ".uv")) base.resize(base.size() - 3);
    if (EndsWith(base, ".dds")) base.resize(base.size() - 4);

    std::string text;
    if (!ReadText(sourcePath.c_str(), text)) {
        std::fprintf(stderr, "fontbuild: cannot read %s\n", sourcePath.c_str());
        return 1;
    }
    korvart::GlyphSource source;
    std::string error;
    if (!korvart::ParseGlyphSource(text, source, error)) {
        std::fprintf(stderr, "fontbuild: %s: %s\n", sourcePath.c_str(), error.c_str());
        return 1;
    }
    if (scale > 1) ScaleSource(source, scale);
    Layout layout;
    if (!ChooseLayout(source, layout)) {
        std::fprintf(stderr, "fontbuild: %s: %zu glyphs do not fit a %u x %u sheet\n", sourcePath.c_str(),
                     source.glyphs.size(), kMaxSheetSide, kMaxSheetSide);
        return 1;
    }
    const korvart::Picture sheet = BuildSheet(source, layout);
    std::vector<uint8_t> dds;
    if (!korvart::BuildDds(sheet, korvart::TexFormat::Argb, false, dds, error) ||
        !korvart::WriteFileAtomic(base + ".dds", dds, error) ||
        !korvart::WriteFileAtomic(base + ".uv", BuildGlyphTable(source, layout), error) ||
        (!preview.empty() && !korvart::WritePng(preview, sheet, error))) {
        std::fprintf(stderr, "fontbuild: %s\n", error.c_str());
        return 1;
    }
    std::printf("fontbuild: %zu glyphs, line height %d, sheet %u x %u -> %s.uv, %s.dds\n",
                source.glyphs.size(), source.height, layout.sheetWidth, layout.sheetHeight, base.c_str(),
                base.c_str());
    return 0;
}
