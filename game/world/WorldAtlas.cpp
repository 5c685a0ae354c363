#include "game/world/WorldAtlas.h"

#include <cstring>

#include "foundation/ZHashedString.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "platform/window/window.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

WorldAtlas BuildWorldAtlas(const std::vector<ZImage>& sheets) {
    WorldAtlas atlas;
    std::vector<AtlasSize> sizes;
    for (const ZImage& sheet : sheets) sizes.push_back(AtlasSize{sheet.GetWidth(), sheet.GetHeight()});
    atlas.layout = PackAtlas(sizes, kMaxAtlasSide);
    for (uint32_t i = 0; i < atlas.layout.unplaced; ++i) {
        ZLog::Printf("A tile sheet does not fit into a %d x %d atlas; it is left out", kMaxAtlasSide, kMaxAtlasSide);
        platform::window::MessageBox("Dev Error", "Dev Error: Texture atlas out of space.",
                                     platform::window::MB_OK | platform::window::MB_ICONERROR);
    }
    const int32_t side = atlas.layout.side;
    atlas.image.Create(side, side, 1, 8);
    bool paletteSet = false;
    if (ZStreamMgr::GetInstance()->FindSource(kWorldPaletteFile, false) >= 0) {
        paletteSet = atlas.image.LoadPalette(kWorldPaletteFile);
    }
    for (size_t i = 0; i < sheets.size(); ++i) {
        const ZImage& sheet = sheets[i];
        if (!paletteSet && sheet.GetPaletteCount() == ZImage::kPaletteCount) {
            std::memcpy(atlas.image.GetPalette(), sheet.GetPalette(), 4 * ZImage::kPaletteCount);
            paletteSet = true;
        }
        if (paletteSet && sheet.GetPaletteCount() == ZImage::kPaletteCount &&
            std::memcmp(atlas.image.GetPalette(), sheet.GetPalette(), 4 * ZImage::kPaletteCount) != 0) {
            ZLog::Printf("Tile sheet %zu has colours of its own; the atlas shows its indices in the world palette",
                         i);
        }
        const AtlasPlacement& at = atlas.layout.placements[i];
        if (!at.placed) continue;
        if (sheet.GetBytesPerPixel() == 1) {
            // Indices are copied as they are: the sheets share the world palette.
            for (int32_t y = 0; y < sheet.GetHeight(); ++y) {
                std::memcpy(atlas.image.Row(at.y + y) + at.x, sheet.Row(y), static_cast<size_t>(sheet.GetWidth()));
            }
        } else {
            ZLog::Printf("A tile sheet is not 8-bit indexed; its pixels are converted");
            ZImage::Blit(atlas.image, at.x, at.y, sheet, 0, 0, sheet.GetWidth(), sheet.GetHeight());
        }
    }
    return atlas;
}

uint32_t AtlasTexel(const ZImage& atlas, uint8_t index) {
    if (index == 0) return 0;
    uint32_t rgb = 0;
    if (atlas.GetPaletteCount() != 0) {
        const uint8_t* entry = atlas.GetPalette() + 4 * static_cast<uint32_t>(index);
        rgb = uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | uint32_t{entry[0]};
    } else {
        rgb = uint32_t{index} * 0x010101u;
    }
    return 0xFF000000u | rgb;
}

bool UploadWorldAtlas(const WorldAtlas& atlas) {
    const int32_t side = atlas.layout.side;
    const ZHashedString name(kWorldTilesTexture);
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    ZTexture* texture = textures->CreateTexture(side, side, name);
    if (texture == nullptr) return false;
    if (texture->width != side || texture->height != side) {
        // A texture of that name from an earlier map: made again at this size.
        // A failed re-creation leaves the old, smaller one: writing side rows
        // into it would run past its end.
        if (!texture->CreateBlankTexture(side, side) || texture->width != side || texture->height != side) {
            ZLog::Printf("The world tile atlas could not be made %dx%d (the texture is %dx%d); it is not written",
                         side, side, texture->width, texture->height);
            return false;
        }
    }
    int32_t pitch = 0;
    void* bits = nullptr;
    if (texture->Get2D() == nullptr || !texture->LockRect(pitch, bits) || bits == nullptr) {
        ZLog::Printf("The world tile atlas could not be written (no device texture)");
        return false;
    }
    // Rows may be padded; a pitch narrower than a row would write past the lock.
    if (pitch < side * 4) {
        texture->UnlockRect();
        ZLog::Printf("The world tile atlas rows are %d bytes, not %d; it is not written", pitch, side * 4);
        return false;
    }
    for (int32_t y = 0; y < side; ++y) {
        uint8_t* row = static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        const uint8_t* source = atlas.image.Row(y);
        for (int32_t x = 0; x < side; ++x) {
            const uint32_t texel = AtlasTexel(atlas.image, source[x]);
            std::memcpy(row + 4 * x, &texel, 4);
        }
    }
    texture->UnlockRect();
    return true;
}
