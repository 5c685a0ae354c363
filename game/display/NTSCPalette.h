#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ZColor32.h"

// The NES-style palette generated from a model of an NTSC signal, the
// reference palette file the game's art is drawn in, and the 1024 x 32 lookup
// that sends every colour to the generated colour of its nearest reference
// colour (32 tiles of 32 x 32: red = x mod 32, green = y, blue = x div 32).

constexpr int32_t kPaletteEntries = 256;
constexpr int32_t kLookupWidth = 1024;
constexpr int32_t kLookupHeight = 32;
constexpr const char* kReferencePaletteFile = "nes_palette_w_trans.pal";

// Hue phase and chroma scalars the palette is generated with by default.
constexpr float kDefaultTint = 5.183185577392578f;
constexpr float kDefaultIScalar = 1.75f;
constexpr float kDefaultQScalar = 1.0f;

// One YIQ colour as an opaque 8-bit colour: out-of-gamut chroma is pulled in
// towards the luma, then the luma is restored. Values that are not finite
// count as 0.
ZColor32 YIQToColor32(float y, float i, float q);

// Fills all 256 entries: rows 0..3 of 14 hues, entry 255 magenta, the rest
// black. A scalar pair of no length gives greys; a phase that is not finite
// counts as 0.
void GeneratePalette(ZColor32 (&palette)[kPaletteEntries], float huePhase, float iScalar, float qScalar);

// Reads a RIFF palette ("RIFF", size, "PAL ", "data", size, version, signed
// 16-bit count, count x (red, green, blue, flags)) into 256 entries. Entries
// the data does not give stay opaque black; at most 256 are read. False, with
// a log line, when the data is too short for its header or its count; what
// was read stays.
bool ParseReferencePalette(const uint8_t* data, size_t size, ZColor32 (&palette)[kPaletteEntries]);
// The reference palette file through the stream manager; a missing file
// leaves black defaults and logs a line.
bool ReadReferencePalette(ZColor32 (&palette)[kPaletteEntries]);

// The lookup image (kLookupWidth x kLookupHeight packed ARGB texels, top row
// first) for the reference and generated palettes.
void BuildPaletteLookup(const ZColor32 (&reference)[kPaletteEntries], const ZColor32 (&generated)[kPaletteEntries],
                        std::vector<uint32_t>& image);

// Regenerates the palette from the game's [NTSC] settings and copies the
// lookup into the game's lookup texture; nothing while there is none. The
// change callback of Tint, IScalar and QScalar.
void RebuildNTSCLookupTexture();
