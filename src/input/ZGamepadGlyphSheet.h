#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

// What the gamepad glyph sheet is to the input code: a set of named frames of
// one texture. The sprite batch implements it; ZNullGlyphSheet stands in where
// nothing draws.
class ZGlyphSheetTarget {
public:
    // One frame: texture rectangle (u, v, width, height) in 0..1, the quad's
    // size and its origin.
    struct Frame {
        float u = 0.0f;
        float v = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        float sizeX = 1.0f;
        float sizeY = 1.0f;
        float originX = 0.0f;
        float originY = 0.0f;
    };

    virtual ~ZGlyphSheetTarget() = default;
    virtual void AddFrame(ZHashedString name, const Frame& frame) = 0;
};

class ZNullGlyphSheet : public ZGlyphSheetTarget {
public:
    void AddFrame(ZHashedString, const Frame&) override {}
};

// The 24 pad glyphs, in sheet order: a b x y, the d-pad, the stick
// directions, the stick buttons, back and start, the shoulders and triggers.
inline constexpr uint32_t kGamepadGlyphCount = 24;
// Name of glyph i (0-23), or null.
const char* GetGamepadGlyphName(uint32_t index);
// Adds the 24 frames: a grid of 4 columns of 0.25 and rows of 0.125.
void CreateGamepadGlyphSheet(ZGlyphSheetTarget& sheet);
