#include "input/ZGamepadGlyphSheet.h"

namespace {

const char* const kGlyphNames[kGamepadGlyphCount] = {
    "a",    "b",    "x",    "y",                       //
    "dp_up", "dp_down", "dp_left", "dp_right",         //
    "lsy+", "lsy-", "lsx-", "lsx+",                    //
    "rsy+", "rsy-", "rsx-", "rsx+",                    //
    "lsb",  "rsb",  "back", "start",                   //
    "lb",   "rb",   "lt",   "rt",
};

}  // namespace

const char* GetGamepadGlyphName(const uint32_t index) {
    return index < kGamepadGlyphCount ? kGlyphNames[index] : nullptr;
}

void CreateGamepadGlyphSheet(ZGlyphSheetTarget& sheet) {
    for (uint32_t i = 0; i < kGamepadGlyphCount; ++i) {
        ZGlyphSheetTarget::Frame frame;
        frame.u = 0.25f * static_cast<float>(i % 4);
        frame.v = 0.125f * static_cast<float>(i / 4);
        frame.width = 0.25f;
        frame.height = 0.125f;
        sheet.AddFrame(ZHashedString(kGlyphNames[i]), frame);
    }
}
