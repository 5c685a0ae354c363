#pragma once

#include <cstdint>

#include "foundation/ZString.h"

// Screenshot files. Pixels are the renderer's back-buffer read-out: 4-byte
// words A << 24 | R << 16 | G << 8 | B, rows from the top.

// Writes the pixels as an 8-bit RGB PNG (alpha dropped: a screenshot is
// opaque), replacing path atomically. False, with a log line, when the size
// is empty or the file cannot be written; an old file is then untouched.
bool WriteScreenshotPNG(const char* path, const uint32_t* pixels, int32_t width, int32_t height);

// "<folder><prefix><nnnn>.<extension>" with the first number from 0000 to 9999
// whose file does not open for reading; empty when every number is taken.
ZString FindFreeScreenshotPath(const char* folder, const char* prefix, const char* extension);
