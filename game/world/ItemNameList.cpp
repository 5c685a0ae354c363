#include "game/world/ItemNameList.h"

namespace {

const char* const kItemGlyphs[kItemGlyphCount] = {
    "empty", "keys", "smcubes", "bgcubes", "redaura", "blueaura", "swimsuit", "toxicsuit",
    "boots", "gloves", "mkey", "mask", "badge", "arcpass", "styxpass", "necklace",
};

}  // namespace

const char* GetItemGlyphName(uint32_t index) { return index < kItemGlyphCount ? kItemGlyphs[index] : nullptr; }

void CreateItemNameList(ZGlyphSheetTarget& sheet) {
    for (uint32_t i = 0; i < kItemGlyphCount; ++i) {
        ZGlyphSheetTarget::Frame frame;
        frame.u = static_cast<float>(i % 4) * 0.25f;
        frame.v = static_cast<float>(i / 4) * 0.25f;
        frame.width = 0.25f;
        frame.height = 0.25f;
        // Twice the size of a pad glyph, half a unit higher.
        frame.sizeX = 2.0f;
        frame.sizeY = 2.0f;
        frame.originX = 0.0f;
        frame.originY = -0.5f;
        sheet.AddFrame(ZHashedString(kItemGlyphs[i]), frame);
    }
}
