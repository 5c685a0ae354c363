// artgen: draws the engine's built-in pictures (button glyphs, interface
// pieces, panels, title and calibration pictures) as PNG files. The output is
// the same on every run; the PNGs are kept in data/engine/textures/ and the
// build turns them into the texture files the engine loads.
//   artgen FONT.glyphs OUTDIR

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tools/fontbuild/GlyphSource.h"
#include "tools/texbuild/TextureEncode.h"

namespace {

const char* const kUsage =
    "usage: artgen FONT.glyphs OUTDIR\n"
    "       artgen --game-title FONT.glyphs OUT.png\n"
    "\n"
    "Draws the engine's built-in pictures into OUTDIR as PNG files, using the\n"
    "pixel font FONT.glyphs for their lettering. The same input always gives the\n"
    "same pictures. Written files:\n"
    "  xbox_dxt5.png gen_dxt5.png   gamepad button glyphs, 4 x 8 cells of 32 x 32\n"
    "  xbox_pixel.png gen_pixel.png the same glyphs for the game's pixel HUD, cells of\n"
    "                               8 x 8 with hard edges (the game packs these)\n"
    "  uiglyphs.png                 slider and check-box pieces, 4 x 4 cells of 16 x 16\n"
    "  mod_white.png                plain white\n"
    "  menu_underlay.png            menu panel, corners in the outer quarter\n"
    "  menu_quad.png                soft highlight behind a menu item\n"
    "  default_title.png            title picture\n"
    "  default_calibration.png      brightness calibration picture\n"
    "  qmw.png qmw_grid.png         start-up splash picture and mesh grid\n"
    "  header.png                   banner picture\n"
    "With --game-title it draws only the game's title card (the game keeps it as\n"
    "data/game/src/title_text.png).\n";

struct Colour {
    uint8_t r, g, b, a;
};

constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kInk{24, 24, 28, 255};

// Source-over blend of a colour whose alpha is scaled by coverage/16, in
// integers so every machine draws the same bytes.
void Blend(korvart::Picture& pic, int x, int y, Colour c, int coverage) {
    if (x < 0 || y < 0 || x >= static_cast<int>(pic.width) || y >= static_cast<int>(pic.height) ||
        coverage <= 0) {
        return;
    }
    uint8_t* d = pic.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    const int sa = c.a * coverage / 16;
    const int da = d[3];
    const int outA = sa + da * (255 - sa) / 255;
    if (outA == 0) return;
    const int src[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) {
        const int value = (src[i] * sa * 255 + d[i] * da * (255 - sa) + outA * 255 / 2) / (outA * 255);
        d[i] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
    d[3] = static_cast<uint8_t>(outA);
}

// Fills every texel of the box whose 4 x 4 sample points fall inside the
// shape, weighted by how many do (a cheap, exact anti-aliasing).
void Paint(korvart::Picture& pic, int x0, int y0, int x1, int y1, Colour c,
           const std::function<bool(double, double)>& inside) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int count = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    count += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) ? 1 : 0;
            Blend(pic, x, y, c, count);
        }
    }
}

void Rect(korvart::Picture& pic, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Blend(pic, x, y, c, 16);
}

void Circle(korvart::Picture& pic, double cx, double cy, double r, Colour c) {
    Paint(pic, static_cast<int>(cx - r) - 1, static_cast<int>(cy - r) - 1, static_cast<int>(cx + r) + 2,
          static_cast<int>(cy + r) + 2, c,
          [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

void Ring(korvart::Picture& pic, double cx, double cy, double inner, double outer, Colour c) {
    Paint(pic, static_cast<int>(cx - outer) - 1, static_cast<int>(cy - outer) - 1,
          static_cast<int>(cx + outer) + 2, static_cast<int>(cy + outer) + 2, c, [=](double x, double y) {
              const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
              return d <= outer * outer && d >= inner * inner;
          });
}

bool InRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

void RoundRect(korvart::Picture& pic, double x0, double y0, double x1, double y1, double r, Colour c) {
    Paint(pic, static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2,
          static_cast<int>(y1) + 2, c,
          [=](double x, double y) { return InRoundRect(x, y, x0, y0, x1, y1, r); });
}

void Triangle(korvart::Picture& pic, double ax, double ay, double bx, double by, double cx, double cy,
              Colour c) {
    auto edge = [](double px, double py, double qx, double qy, double x, double y) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    const int x0 = static_cast<int>(std::min({ax, bx, cx})) - 1,
              x1 = static_cast<int>(std::max({ax, bx, cx})) + 2;
    const int y0 = static_cast<int>(std::min({ay, by, cy})) - 1,
              y1 = static_cast<int>(std::max({ay, by, cy})) + 2;
    Paint(pic, x0, y0, x1, y1, c, [=](double x, double y) {
        const double e0 = edge(ax, ay, bx, by, x, y), e1 = edge(bx, by, cx, cy, x, y),
                     e2 = edge(cx, cy, ax, ay, x, y);
        return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
    });
}

// ---------------------------------------------------------------------------
// Lettering from the pixel font

struct Font {
    korvart::GlyphSource source;

    int Width(const std::string& text, int scale) const {
        int width = 0;
        for (const unsigned char ch : text) {
            if (const korvart::SourceGlyph* g = source.Find(ch))
                width += (g->before + g->width + g->after) * scale;
        }
        if (const korvart::SourceGlyph* last =
                text.empty() ? nullptr : source.Find(static_cast<unsigned char>(text.back()))) {
            width -= last->after * scale;  // no trailing space
        }
        return width;
    }
    // Height of capitals: from the top of 'H' to the baseline.
    int CapTop() const {
        const korvart::SourceGlyph* h = source.Find('H');
        for (int32_t y = 0; h && y < source.height; ++y)
            for (int32_t x = 0; x < h->width; ++x)
                if (h->Ink(x, y)) return y;
        return 0;
    }

    // Draws text with its capitals' top at y.
    void Draw(korvart::Picture& pic, const std::string& text, int x, int y, int scale, Colour c) const {
        y -= CapTop() * scale;
        for (const unsigned char ch : text) {
            const korvart::SourceGlyph* g = source.Find(ch);
            if (!g) continue;
            x += g->before * scale;
            for (int32_t gy = 0; gy < source.height; ++gy)
                for (int32_t gx = 0; gx < g->width; ++gx)
                    if (g->Ink(gx, gy))
                        Rect(pic, x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale,
                             c);
            x += (g->width + g->after) * scale;
        }
    }
    // Centred on (cx, cy) by the capitals' box, with a one-texel dark outline.
    void DrawCentred(korvart::Picture& pic, const std::string& text, int cx, int cy, int scale, Colour c,
                     bool outline) const {
        const int capHeight = (source.baseline - CapTop()) * scale;
        const int x = cx - Width(text, scale) / 2, y = cy - capHeight / 2;
        if (outline) {
            const Colour dark{kInk.r, kInk.g, kInk.b, 200};
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (dx || dy) Draw(pic, text, x + dx, y + dy, scale, dark);
        }
        Draw(pic, text, x, y, scale, c);
    }
};

// ---------------------------------------------------------------------------
// Gamepad glyphs: 4 columns by 8 rows of 32 x 32 cells (the lower two rows
// stay empty), in the order the engine's glyph sheet names them.

constexpr int kCell = 32;

enum class PadStyle { Xbox, Generic };

struct CellOrigin {
    int x, y;
};

CellOrigin Cell(int index) {
    return {(index % 4) * kCell, (index / 4) * kCell};
}

void FaceButton(korvart::Picture& pic, const Font& font, CellOrigin o, PadStyle style, int which) {
    const double cx = o.x + 16, cy = o.y + 16;
    if (style == PadStyle::Xbox) {
        static const Colour fills[4] = {
            {60, 170, 70, 255}, {205, 55, 50, 255}, {45, 110, 210, 255}, {230, 185, 40, 255}};
        static const char* const letters[4] = {"A", "B", "X", "Y"};
        Circle(pic, cx, cy, 14.5, kInk);
        Circle(pic, cx, cy, 13, fills[which]);
        Circle(pic, cx - 1, cy - 1, 11, Colour{255, 255, 255, 40});
        font.DrawCentred(pic, letters[which], o.x + 16, o.y + 16, 2, kWhite, true);
        return;
    }
    // Generic: four dots in a diamond, the pressed one filled (south, east,
    // west, north for a, b, x, y), so no maker's lettering is assumed.
    Circle(pic, cx, cy, 14.5, kInk);
    Circle(pic, cx, cy, 13, Colour{92, 96, 104, 255});
    const double dx[4] = {0, 7.5, -7.5, 0}, dy[4] = {7.5, 0, 0, -7.5};
    for (int i = 0; i < 4; ++i) {
        if (i == which) {
            Circle(pic, cx + dx[i], cy + dy[i], 4.5, kWhite);
        } else {
            Ring(pic, cx + dx[i], cy + dy[i], 2.5, 4, Colour{200, 204, 210, 255});
        }
    }
}

// Arrow head pointing in direction (dx, dy) with its tip at (tx, ty).
void Arrow(korvart::Picture& pic, double tx, double ty, int dx, int dy, double size, Colour c) {
    const double bx = tx - dx * size, by = ty - dy * size;
    const double px = -dy * size * 0.8, py = dx * size * 0.8;
    Triangle(pic, tx, ty, bx + px, by + py, bx - px, by - py, c);
}

void DirectionPad(korvart::Picture& pic, CellOrigin o, PadStyle style, int which) {
    const Colour body = style == PadStyle::Xbox ? Colour{70, 74, 82, 255} : Colour{92, 96, 104, 255};
    const Colour lit{250, 250, 250, 255};
    const double c = 16, half = 5.5, reach = 13.5;
    RoundRect(pic, o.x + c - half - 1, o.y + c - reach - 1, o.x + c + half + 1, o.y + c + reach + 1, 2.5,
              kInk);
    RoundRect(pic, o.x + c - reach - 1, o.y + c - half - 1, o.x + c + reach + 1, o.y + c + half + 1, 2.5,
              kInk);
    RoundRect(pic, o.x + c - half, o.y + c - reach, o.x + c + half, o.y + c + reach, 2, body);
    RoundRect(pic, o.x + c - reach, o.y + c - half, o.x + c + reach, o.y + c + half, 2, body);
    // up, down, left, right
    const int dirX[4] = {0, 0, -1, 1}, dirY[4] = {-1, 1, 0, 0};
    const double ax = o.x + c + dirX[which] * 8.5, ay = o.y + c + dirY[which] * 8.5;
    RoundRect(pic, ax - half + 1, ay - half + 1, ax + half - 1, ay + half - 1, 1.5, lit);
    Arrow(pic, ax + dirX[which] * 3.5, ay + dirY[which] * 3.5, dirX[which], dirY[which], 4, body);
}

void Stick(korvart::Picture& pic, const Font& font, CellOrigin o, PadStyle style, const char* label, int dirX,
           int dirY, bool click) {
    const Colour body = style == PadStyle::Xbox ? Colour{70, 74, 82, 255} : Colour{92, 96, 104, 255};
    const double cx = o.x + 16, cy = o.y + 16;
    // Everything stays a texel inside the cell, so filtering never picks up
    // a neighbouring glyph.
    Circle(pic, cx, cy, 11.5, kInk);
    Circle(pic, cx, cy, 10, body);
    Ring(pic, cx, cy, 7, 8, Colour{140, 146, 156, 255});
    font.DrawCentred(pic, label, o.x + 16, o.y + 16, 1, kWhite, false);
    if (click) {
        // A pressed stick: a ring around the disc.
        Ring(pic, cx, cy, 13, 14.5, kWhite);
        return;
    }
    const double tx = cx + dirX * 13.5, ty = cy + dirY * 13.5;
    Arrow(pic, tx + dirX, ty + dirY, dirX, dirY, 7, kInk);
    Arrow(pic, tx, ty, dirX, dirY, 5.5, kWhite);
}

void Pill(korvart::Picture& pic, const Font& font, CellOrigin o, PadStyle style, const char* label,
          bool trigger) {
    const Colour body = style == PadStyle::Xbox ? Colour{70, 74, 82, 255} : Colour{92, 96, 104, 255};
    if (trigger) {
        RoundRect(pic, o.x + 4, o.y + 2, o.x + 28, o.y + 30, 7, kInk);
        RoundRect(pic, o.x + 5.5, o.y + 3.5, o.x + 26.5, o.y + 28.5, 6, body);
        Rect(pic, o.x + 8, o.y + 6, o.x + 24, o.y + 8, Colour{255, 255, 255, 60});
        font.DrawCentred(pic, label, o.x + 16, o.y + 18, 1, kWhite, false);
    } else {
        RoundRect(pic, o.x + 1, o.y + 8, o.x + 31, o.y + 24, 7, kInk);
        RoundRect(pic, o.x + 2.5, o.y + 9.5, o.x + 29.5, o.y + 22.5, 6, body);
        font.DrawCentred(pic, label, o.x + 16, o.y + 16, 1, kWhite, false);
    }
}

void MenuButton(korvart::Picture& pic, CellOrigin o, PadStyle style, bool start) {
    const Colour body = style == PadStyle::Xbox ? Colour{70, 74, 82, 255} : Colour{92, 96, 104, 255};
    const double cx = o.x + 16, cy = o.y + 16;
    Circle(pic, cx, cy, 11.5, kInk);
    Circle(pic, cx, cy, 10, body);
    if (style == PadStyle::Xbox) {
        if (start) {
            for (int i = -1; i <= 1; ++i)
                Rect(pic, o.x + 11, o.y + 15 + i * 4, o.x + 21, o.y + 17 + i * 4, kWhite);
        } else {
            // Two overlapping windows.
            Rect(pic, o.x + 10, o.y + 10, o.x + 19, o.y + 18, kWhite);
            Rect(pic, o.x + 12, o.y + 12, o.x + 17, o.y + 16, body);
            Rect(pic, o.x + 14, o.y + 14, o.x + 23, o.y + 22, kWhite);
            Rect(pic, o.x + 16, o.y + 16, o.x + 21, o.y + 20, body);
        }
    } else {
        const int dir = start ? 1 : -1;
        Arrow(pic, cx + dir * 6, cy, dir, 0, 10, kWhite);
    }
}

korvart::Picture GamepadSheet(const Font& font, PadStyle style) {
    korvart::Picture pic(4 * kCell, 8 * kCell);
    const bool xbox = style == PadStyle::Xbox;
    for (int i = 0; i < 4; ++i) FaceButton(pic, font, Cell(i), style, i);
    for (int i = 0; i < 4; ++i) DirectionPad(pic, Cell(4 + i), style, i);
    // lsy+, lsy-, lsx-, lsx+ (and the same for the right stick): up, down, left, right.
    const int dirX[4] = {0, 0, -1, 1}, dirY[4] = {-1, 1, 0, 0};
    for (int i = 0; i < 4; ++i) Stick(pic, font, Cell(8 + i), style, "L", dirX[i], dirY[i], false);
    for (int i = 0; i < 4; ++i) Stick(pic, font, Cell(12 + i), style, "R", dirX[i], dirY[i], false);
    Stick(pic, font, Cell(16), style, "L", 0, 0, true);
    Stick(pic, font, Cell(17), style, "R", 0, 0, true);
    MenuButton(pic, Cell(18), style, false);
    MenuButton(pic, Cell(19), style, true);
    Pill(pic, font, Cell(20), style, xbox ? "LB" : "L1", false);
    Pill(pic, font, Cell(21), style, xbox ? "RB" : "R1", false);
    Pill(pic, font, Cell(22), style, xbox ? "LT" : "L2", true);
    Pill(pic, font, Cell(23), style, xbox ? "RT" : "R2", true);
    return pic;
}

// The glyphs at a quarter of their size for the 256 x 224 frame: each 4 x 4
// block becomes one texel of its inked pixels' mean colour, inked when at
// least half the block is, so the small glyphs keep hard edges.
korvart::Picture PixelSheet(const korvart::Picture& big) {
    constexpr uint32_t kBlock = 4;
    korvart::Picture pic(big.width / kBlock, big.height / kBlock);
    for (uint32_t y = 0; y < pic.height; ++y) {
        for (uint32_t x = 0; x < pic.width; ++x) {
            uint32_t sum[3] = {0, 0, 0}, alpha = 0;
            for (uint32_t by = 0; by < kBlock; ++by) {
                for (uint32_t bx = 0; bx < kBlock; ++bx) {
                    const uint8_t* p = big.At(x * kBlock + bx, y * kBlock + by);
                    for (int c = 0; c < 3; ++c) sum[c] += p[c] * p[3];
                    alpha += p[3];
                }
            }
            uint8_t* out = pic.At(x, y);
            if (alpha * 2 < 255u * kBlock * kBlock) continue;
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(sum[c] / alpha);
            out[3] = 255;
        }
    }
    return pic;
}

// ---------------------------------------------------------------------------
// Interface pieces: 64 x 64, cells of 16 x 16. Row 0: slider left cap, track,
// right cap, and the knob in the 8 texels from x = 52; row 1: check box
// empty and ticked.

korvart::Picture InterfaceSheet() {
    korvart::Picture pic(64, 64);
    const Colour track{150, 156, 170, 255}, groove{50, 54, 62, 255};
    // Track: one bar 6 texels high across the three cells, rounded at the
    // caps, so the middle cell is the same in every column and stretches,
    // and the cells meet without a seam when drawn side by side.
    RoundRect(pic, 3, 4.5, 45, 11.5, 3.5, kInk);
    RoundRect(pic, 4.5, 6, 43.5, 10, 2, track);
    Rect(pic, 5, 8, 43, 9, Colour{groove.r, groove.g, groove.b, 90});
    // Knob, 8 x 16 at x = 52.
    RoundRect(pic, 52, 1, 60, 15, 2.5, kInk);
    RoundRect(pic, 53.2, 2.2, 58.8, 13.8, 1.8, Colour{235, 238, 244, 255});
    Rect(pic, 55, 5, 57, 11, Colour{150, 156, 170, 255});
    // Check boxes.
    for (int box = 0; box < 2; ++box) {
        const int x = box * 16, y = 16;
        RoundRect(pic, x + 2, y + 2, x + 14, y + 14, 2, kInk);
        RoundRect(pic, x + 3.5, y + 3.5, x + 12.5, y + 12.5, 1, Colour{235, 238, 244, 255});
        RoundRect(pic, x + 5, y + 5, x + 11, y + 11, 0.5, Colour{200, 205, 215, 255});
        if (box == 1) {
            auto tick = [=](double px, double py) {
                // Two strokes of the tick as thick line segments.
                auto near = [&](double ax, double ay, double bx, double by) {
                    const double vx = bx - ax, vy = by - ay;
                    const double t =
                        std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
                    const double qx = ax + t * vx - px, qy = ay + t * vy - py;
                    return qx * qx + qy * qy <= 1.3 * 1.3;
                };
                return near(x + 4.5, y + 8.5, x + 7, y + 11) || near(x + 7, y + 11, x + 12, y + 4.5);
            };
            Paint(pic, x, y, x + 16, y + 16, Colour{40, 140, 60, 255}, tick);
        }
    }
    return pic;
}

// ---------------------------------------------------------------------------
// Panels and pictures

korvart::Picture Plain(uint32_t w, uint32_t h, Colour c) {
    korvart::Picture pic(w, h);
    Rect(pic, 0, 0, static_cast<int>(w), static_cast<int>(h), c);
    return pic;
}

// Menu panel: the outer 16 texels on each side hold the rounded corners and
// edges, the middle stretches.
korvart::Picture MenuUnderlay() {
    korvart::Picture pic(64, 64);
    RoundRect(pic, 1, 1, 63, 63, 11, Colour{120, 150, 205, 255});
    RoundRect(pic, 3, 3, 61, 61, 9, Colour{18, 24, 44, 215});
    Rect(pic, 10, 4, 54, 5, Colour{170, 195, 240, 90});
    return pic;
}

// Highlight behind a menu item: the item covers the middle two thirds in
// each direction; the glow fades to nothing at the texture's edges.
korvart::Picture MenuQuad() {
    korvart::Picture pic(96, 48);
    const double x0 = 16, y0 = 8, x1 = 80, y1 = 40, fade = 14;
    for (uint32_t y = 0; y < pic.height; ++y) {
        for (uint32_t x = 0; x < pic.width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double dx = std::max({x0 - px, 0.0, px - x1}), dy = std::max({y0 - py, 0.0, py - y1});
            const double outside = std::sqrt(dx * dx + dy * dy);
            const double t = std::clamp(1.0 - outside / fade, 0.0, 1.0);
            uint8_t* d = pic.At(x, y);
            d[0] = d[1] = d[2] = 255;
            d[3] = static_cast<uint8_t>(std::lround(110.0 * t * t * (3 - 2 * t)));
        }
    }
    // A brighter rim along the item's own edge.
    Paint(pic, 14, 6, 82, 42, Colour{255, 255, 255, 120}, [=](double px, double py) {
        return InRoundRect(px, py, x0 - 1, y0 - 1, x1 + 1, y1 + 1, 4) &&
               !InRoundRect(px, py, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3);
    });
    return pic;
}

void Gradient(korvart::Picture& pic, Colour top, Colour bottom) {
    for (uint32_t y = 0; y < pic.height; ++y) {
        const int t = static_cast<int>(y * 255 / std::max(1u, pic.height - 1));
        const Colour c{static_cast<uint8_t>((top.r * (255 - t) + bottom.r * t) / 255),
                       static_cast<uint8_t>((top.g * (255 - t) + bottom.g * t) / 255),
                       static_cast<uint8_t>((top.b * (255 - t) + bottom.b * t) / 255),
                       static_cast<uint8_t>((top.a * (255 - t) + bottom.a * t) / 255)};
        for (uint32_t x = 0; x < pic.width; ++x) {
            uint8_t* d = pic.At(x, y);
            d[0] = c.r;
            d[1] = c.g;
            d[2] = c.b;
            d[3] = c.a;
        }
    }
}

// Big lettering with a dark outline and a vertical colour ramp.
void Headline(korvart::Picture& pic, const Font& font, const std::string& text, int cx, int top, int scale,
              Colour upper, Colour lower) {
    const int width = font.Width(text, scale);
    const int x = cx - width / 2;
    korvart::Picture layer(pic.width, pic.height);
    for (int dy = -2; dy <= 3; ++dy)
        for (int dx = -2; dx <= 2; ++dx) font.Draw(layer, text, x + dx, top + dy, scale, kInk);
    korvart::Picture fill(pic.width, pic.height);
    font.Draw(fill, text, x, top, scale, kWhite);
    const int capHeight = (font.source.baseline - font.CapTop()) * scale;
    for (uint32_t y = 0; y < pic.height; ++y) {
        const int t = std::clamp((static_cast<int>(y) - top) * 255 / std::max(1, capHeight - 1), 0, 255);
        const Colour c{static_cast<uint8_t>((upper.r * (255 - t) + lower.r * t) / 255),
                       static_cast<uint8_t>((upper.g * (255 - t) + lower.g * t) / 255),
                       static_cast<uint8_t>((upper.b * (255 - t) + lower.b * t) / 255), 255};
        for (uint32_t x = 0; x < pic.width; ++x) {
            Blend(pic, static_cast<int>(x), static_cast<int>(y), kInk, layer.At(x, y)[3] * 16 / 255);
            if (fill.At(x, y)[3]) Blend(pic, static_cast<int>(x), static_cast<int>(y), c, 16);
        }
    }
}

korvart::Picture Title(const Font& font) {
    korvart::Picture pic(256, 128);
    Headline(pic, font, "ZORP", 128, 22, 8, Colour{255, 236, 150, 255}, Colour{235, 120, 40, 255});
    font.DrawCentred(pic, "ENGINE", 128, 96, 2, Colour{220, 228, 240, 255}, true);
    return pic;
}

// The game's own title card: its name in two lines.
korvart::Picture GameTitle(const Font& font) {
    korvart::Picture pic(256, 128);
    Headline(pic, font, "DROVANI", 128, 14, 5, Colour{190, 236, 255, 255}, Colour{60, 120, 220, 255});
    Headline(pic, font, "SKYREACH", 128, 70, 4, Colour{255, 236, 150, 255}, Colour{235, 120, 40, 255});
    return pic;
}

// Brightness calibration: a dark mark on black that should just show, a
// light mark on white that should just show, and a ramp of eight greys.
korvart::Picture Calibration(const Font& font) {
    korvart::Picture pic = Plain(128, 128, Colour{0, 0, 0, 255});
    Rect(pic, 64, 0, 128, 96, Colour{255, 255, 255, 255});
    Circle(pic, 32, 44, 18, Colour{18, 18, 18, 255});
    Circle(pic, 96, 44, 18, Colour{236, 236, 236, 255});
    for (int i = 0; i < 8; ++i) {
        const uint8_t v = static_cast<uint8_t>(i * 255 / 7);
        Rect(pic, i * 16, 96, i * 16 + 16, 128, Colour{v, v, v, 255});
    }
    font.DrawCentred(pic, "DARK", 32, 80, 1, Colour{90, 90, 90, 255}, false);
    font.DrawCentred(pic, "LIGHT", 96, 80, 1, Colour{160, 160, 160, 255}, false);
    return pic;
}

// The studio's mark: its initials in a ring, its name below, on a clear
// ground (the splash shows it over black).
korvart::Picture SplashLogo(const Font& font) {
    korvart::Picture pic(256, 128);
    Ring(pic, 128, 58, 40, 44, Colour{235, 120, 40, 255});
    Ring(pic, 128, 58, 34, 36, Colour{255, 236, 150, 160});
    Headline(pic, font, "KW", 128, 44, 4, Colour{255, 236, 150, 255}, Colour{235, 120, 40, 255});
    font.DrawCentred(pic, "KORVANTH WORKS", 128, 112, 1, Colour{200, 206, 220, 255}, false);
    return pic;
}

korvart::Picture SplashGrid() {
    korvart::Picture pic(64, 64);
    for (uint32_t y = 0; y < 64; ++y) {
        for (uint32_t x = 0; x < 64; ++x) {
            const bool major = x % 16 == 0 || y % 16 == 0;
            const bool minor = x % 8 == 0 || y % 8 == 0;
            uint8_t* d = pic.At(x, y);
            d[0] = 90;
            d[1] = 200;
            d[2] = 255;
            d[3] = major ? 230 : minor ? 110 : 0;
        }
    }
    return pic;
}

korvart::Picture Header(const Font& font) {
    korvart::Picture pic(256, 64);
    Gradient(pic, Colour{30, 38, 70, 255}, Colour{8, 10, 20, 255});
    Headline(pic, font, "ZORP ENGINE", 128, 17, 3, Colour{255, 236, 150, 255}, Colour{235, 120, 40, 255});
    return pic;
}

bool ReadText(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0 && text.size() <= (16u << 20))
        text.append(chunk, n);
    const bool ok = !std::ferror(file) && text.size() <= (16u << 20);
    std::fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool gameTitle = argc == 4 && std::strcmp(argv[1], "--game-title") == 0;
    if (argc != 3 && !gameTitle) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (gameTitle) {
        ++argv;
    }
    std::string text, error;
    Font font;
    if (!ReadText(argv[1], text)) {
        std::fprintf(stderr, "artgen: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!korvart::ParseGlyphSource(text, font.source, error)) {
        std::fprintf(stderr, "artgen: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (gameTitle) {
        if (!korvart::WritePng(argv[2], GameTitle(font), error)) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    const std::string folder = std::string(argv[2]) + "/";
    const struct {
        const char* name;
        korvart::Picture picture;
    } outputs[] = {
        {"xbox_dxt5.png", GamepadSheet(font, PadStyle::Xbox)},
        {"gen_dxt5.png", GamepadSheet(font, PadStyle::Generic)},
        {"xbox_pixel.png", PixelSheet(GamepadSheet(font, PadStyle::Xbox))},
        {"gen_pixel.png", PixelSheet(GamepadSheet(font, PadStyle::Generic))},
        {"uiglyphs.png", InterfaceSheet()},
        {"mod_white.png", Plain(4, 4, kWhite)},
        {"menu_underlay.png", MenuUnderlay()},
        {"menu_quad.png", MenuQuad()},
        {"default_title.png", Title(font)},
        {"default_calibration.png", Calibration(font)},
        {"qmw.png", SplashLogo(font)},
        {"qmw_grid.png", SplashGrid()},
        {"header.png", Header(font)},
    };
    for (const auto& out : outputs) {
        if (!korvart::WritePng(folder + out.name, out.picture, error)) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("artgen: wrote %zu pictures into %s\n", std::size(outputs), argv[2]);
    return 0;
}
