#pragma once

// Reader of the pixel-font source text that fontbuild turns into a glyph
// table and sheet (the format is described in data/engine/fonts/README.md).
// Header-only so that artgen and the tests read fonts the same way.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace korvart {

struct SourceGlyph {
    uint32_t code = 0;
    int32_t width = 0;            // pixels per row
    int32_t before = 0;           // blank pixels before the glyph
    int32_t after = 0;            // blank pixels after it
    int line = 0;                 // line of the "char" header, for messages
    std::vector<uint8_t> pixels;  // height rows of width bytes, 1 = ink

    bool Ink(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x] != 0; }
};

struct GlyphSource {
    int32_t height = 0;               // rows per glyph, also the line height
    int32_t baseline = 0;             // rows above the baseline
    std::vector<SourceGlyph> glyphs;  // in code order

    const SourceGlyph* Find(uint32_t code) const {
        const auto it = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                         [](const SourceGlyph& g, uint32_t c) { return g.code < c; });
        return it != glyphs.end() && it->code == code ? &*it : nullptr;
    }
};

// Limits that keep a broken source from asking for an absurd sheet.
inline constexpr int32_t kMaxGlyphHeight = 64;
inline constexpr int32_t kMaxGlyphWidth = 64;
inline constexpr int32_t kMaxGlyphSpace = 64;

namespace detail {

inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

inline std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        const size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

inline bool ParseInt(std::string_view word, int32_t low, int32_t high, int32_t& out) {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || value < low || value > high) return false;
    out = value;
    return true;
}

// "U+00E9", "0xE9" or decimal "233"; code points of the 16-bit range only,
// since the glyph table stores 16-bit codes.
inline bool ParseCode(std::string_view word, uint32_t& out) {
    int base = 10;
    if (word.size() > 2 && (word.substr(0, 2) == "U+" || word.substr(0, 2) == "u+" ||
                            word.substr(0, 2) == "0x" || word.substr(0, 2) == "0X")) {
        word.remove_prefix(2);
        base = 16;
    }
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size() || value > 0xFFFF) return false;
    out = value;
    return true;
}

inline bool IsPixelRow(std::string_view s) {
    return !s.empty() && s.find_first_not_of(".#") == std::string_view::npos;
}

}  // namespace detail

// Reads a whole source. On failure returns false with "line N: what is wrong"
// in error and leaves out unspecified.
inline bool ParseGlyphSource(std::string_view text, GlyphSource& out, std::string& error) {
    using namespace detail;
    out = GlyphSource();
    int32_t defaultBefore = 0, defaultAfter = 1;
    SourceGlyph* open = nullptr;  // glyph whose rows are being read
    int32_t rowsRead = 0;
    int lineNumber = 0;
    auto fail = [&](int line, const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return false;
    };

    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (lineNumber == 1 && line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (const size_t comment = line.find("//"); comment != std::string_view::npos)
            line = line.substr(0, comment);
        line = Trim(line);
        if (line.empty()) {
            if (end == text.size()) break;
            continue;
        }

        if (open) {
            if (!IsPixelRow(line)) {
                return fail(lineNumber, "glyph " + std::to_string(open->code) + " has " +
                                            std::to_string(rowsRead) + " rows; it needs " +
                                            std::to_string(out.height) + " rows of '.' and '#'");
            }
            const int32_t width = static_cast<int32_t>(line.size());
            if (rowsRead == 0) {
                if (width > kMaxGlyphWidth) {
                    return fail(lineNumber,
                                "a glyph is at most " + std::to_string(kMaxGlyphWidth) + " pixels wide");
                }
                open->width = width;
                open->pixels.reserve(static_cast<size_t>(width) * out.height);
            } else if (width != open->width) {
                return fail(lineNumber, "row is " + std::to_string(width) +
                                            " pixels wide; the glyph's first row is " +
                                            std::to_string(open->width));
            }
            for (const char c : line) open->pixels.push_back(c == '#' ? 1 : 0);
            if (++rowsRead == out.height) open = nullptr;
            if (end == text.size()) break;
            continue;
        }

        const std::vector<std::string_view> words = Words(line);
        const std::string_view keyword = words[0];
        if (keyword == "height" || keyword == "baseline" || keyword == "before" || keyword == "after") {
            if (words.size() != 2) return fail(lineNumber, std::string(keyword) + " takes one number");
            const bool size = keyword == "height" || keyword == "baseline";
            if (size && !out.glyphs.empty()) {
                return fail(lineNumber, std::string(keyword) + " must come before the first glyph");
            }
            int32_t value = 0;
            const int32_t high = size ? kMaxGlyphHeight : kMaxGlyphSpace;
            if (!ParseInt(words[1], keyword == "height" ? 1 : 0, high, value)) {
                return fail(lineNumber, std::string(keyword) + " must be a whole number from " +
                                            (keyword == "height" ? "1" : "0") + " to " +
                                            std::to_string(high));
            }
            if (keyword == "height") out.height = value;
            if (keyword == "baseline") out.baseline = value;
            if (keyword == "before") defaultBefore = value;
            if (keyword == "after") defaultAfter = value;
        } else if (keyword == "char") {
            if (out.height == 0) return fail(lineNumber, "height must be given before the first glyph");
            if (out.baseline > out.height) return fail(lineNumber, "baseline is below the glyph's last row");
            SourceGlyph glyph;
            glyph.line = lineNumber;
            glyph.before = defaultBefore;
            glyph.after = defaultAfter;
            if (words.size() < 2 || !ParseCode(words[1], glyph.code)) {
                return fail(lineNumber, "char needs a code from U+0000 to U+FFFF (U+0041, 0x41 or 65)");
            }
            for (size_t i = 2; i < words.size(); i += 2) {
                const bool known = words[i] == "before" || words[i] == "after";
                int32_t value = 0;
                if (!known || i + 1 >= words.size() || !ParseInt(words[i + 1], 0, kMaxGlyphSpace, value)) {
                    return fail(lineNumber, "after the code only \"before N\" and \"after N\" (0 to " +
                                                std::to_string(kMaxGlyphSpace) + ") may follow");
                }
                (words[i] == "before" ? glyph.before : glyph.after) = value;
            }
            out.glyphs.push_back(std::move(glyph));
            open = &out.glyphs.back();
            rowsRead = 0;
        } else if (IsPixelRow(line)) {
            return fail(lineNumber,
                        "pixel row outside a glyph (a glyph has " + std::to_string(out.height) + " rows)");
        } else {
            return fail(lineNumber, "unknown line \"" + std::string(keyword) + "\"");
        }
        if (end == text.size()) break;
    }
    if (open) {
        return fail(lineNumber, "glyph " + std::to_string(open->code) + " ends after " +
                                    std::to_string(rowsRead) + " of its " + std::to_string(out.height) +
                                    " rows");
    }
    if (out.glyphs.empty()) return fail(lineNumber, "no glyphs");

    std::stable_sort(out.glyphs.begin(), out.glyphs.end(),
                     [](const SourceGlyph& a, const SourceGlyph& b) { return a.code < b.code; });
    for (size_t i = 1; i < out.glyphs.size(); ++i) {
        if (out.glyphs[i].code == out.glyphs[i - 1].code) {
            char code[16];
            std::snprintf(code, sizeof(code), "U+%04X", out.glyphs[i].code);
            return fail(std::max(out.glyphs[i].line, out.glyphs[i - 1].line),
                        std::string(code) + " is drawn twice (also at line " +
                            std::to_string(std::min(out.glyphs[i].line, out.glyphs[i - 1].line)) + ")");
        }
    }
    return true;
}

}  // namespace korvart
