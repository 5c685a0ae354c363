#pragma once

#include <cstdint>
#include <vector>

#include "game/world/AtlasPacker.h"
#include "renderer/ZImage.h"

// The world tile atlas: every tile sheet of the current map in one square
// 8-bit image, so the world layers draw with one texture.
struct WorldAtlas {
    AtlasLayout layout;
    ZImage image;  // side x side, 8 bits, the colour table of the world palette
};

// The texture the world shader samples.
inline constexpr const char* kWorldTilesTexture = "Texture_WorldTiles";
// The colour table the atlas takes.
inline constexpr const char* kWorldPaletteFile = "nes_palette_w_trans.pal";
// The largest atlas side.
inline constexpr int32_t kMaxAtlasSide = 8192;

// Packs the sheets (empty ones take no room) and copies them in. A sheet that
// does not fit even at the largest side is left out, with the "Dev Error"
// box. The colour table is loaded from the world palette file when it
// exists, else taken from the first sheet that has one.
WorldAtlas BuildWorldAtlas(const std::vector<ZImage>& sheets);

// Creates (or takes, resized when its size differs) the "Texture_WorldTiles"
// texture and writes the atlas into it: each pixel its colour-table colour,
// opaque, except index 0, which is transparent. Without a renderer device
// nothing is written. True when written.
bool UploadWorldAtlas(const WorldAtlas& atlas);

// The texel the upload writes for a colour index of the atlas (A8R8G8B8).
uint32_t AtlasTexel(const ZImage& atlas, uint8_t index);
