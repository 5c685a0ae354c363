#include "menu/ZUIGlyphSheet.h"

#include "input/ZGamepadGlyphSheet.h"

void CreateUIGlyphSheet(ZGlyphSheetTarget& sheet) {
    struct Region {
        const char* name;
        float u, v, width, height, sizeX, sizeY;
    };
    static const Region kRegions[] = {
        {"s_l", 0.0f, 0.0f, 0.25f, 0.25f, 1.0f, 1.0f},  {"s_m", 0.25f, 0.0f, 0.25f, 0.25f, 1.0f, 1.0f},
        {"s_r", 0.5f, 0.0f, 0.25f, 0.25f, 1.0f, 1.0f},  {"s_b", 0.8125f, 0.0f, 0.125f, 0.25f, 0.5f, 1.0f},
        {"c_0", 0.0f, 0.25f, 0.25f, 0.25f, 1.0f, 1.0f}, {"c_1", 0.25f, 0.25f, 0.25f, 0.25f, 1.0f, 1.0f},
    };
    for (const Region& r : kRegions) {
        ZGlyphSheetTarget::Frame frame;
        frame.u = r.u;
        frame.v = r.v;
        frame.width = r.width;
        frame.height = r.height;
        frame.sizeX = r.sizeX;
        frame.sizeY = r.sizeY;
        sheet.AddFrame(ZHashedString(r.name), frame);
    }
}
