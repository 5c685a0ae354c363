#pragma once

#include <cstddef>

// Turns INI text into (section, key, value) entries, in file order:
// - a UTF-8 byte-order mark at the start is skipped;
// - lines end at CR, LF or a zero byte (which also ends the text); empty
//   lines vanish;
// - a line whose first non-blank character is ';' is a comment (whole lines
//   only: a ';' later in a line is ordinary text);
// - a line whose first non-blank character is '[' sets the section: the text
//   after it up to the first ']' (or the line's end), as it stands;
// - any other line holding ':' or '=' (a section line too) is an entry, split
//   at the first of them, key and value trimmed of whitespace at both ends.
// There are no quotes, escapes or continuation lines.
class ZINIFileParser {
public:
    // Section is null for entries before the first section line.
    using Callback = void (*)(const char* section, const char* key, const char* value, void* user);

    static void ParseINIFileText(const char* text, size_t size, Callback callback, void* user);
};
