// Pixel-font source text from untrusted bytes: the reader must stay inside the
// bytes, and whatever it accepts must hold glyphs that are sorted, distinct
// and exactly height rows of width pixels each.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/fontbuild/GlyphSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    korvart::GlyphSource source;
    std::string error;
    if (!korvart::ParseGlyphSource(std::string_view(reinterpret_cast<const char*>(data), size), source,
                                   error)) {
        return 0;
    }
    for (size_t i = 0; i < source.glyphs.size(); ++i) {
        const korvart::SourceGlyph& g = source.glyphs[i];
        if (g.width < 1 || g.width > korvart::kMaxGlyphWidth ||
            g.pixels.size() != static_cast<size_t>(g.width) * static_cast<size_t>(source.height) ||
            (i > 0 && source.glyphs[i - 1].code >= g.code)) {
            std::abort();
        }
    }
    return 0;
}
