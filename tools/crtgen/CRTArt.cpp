#include "tools/crtgen/CRTArt.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

struct RGB {
    uint8_t r, g, b;
};
const RGB kSeeThrough{255, 0, 255};
constexpr double kPi = 3.14159265358979;

void Put16(std::vector<uint8_t>& out, const uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, const uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutFloat(std::vector<uint8_t>& out, const float f) {
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    Put32(out, bits);
}

uint8_t Byte(const double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// 24-bit, bottom row first, rows padded to four bytes.
std::vector<uint8_t> Bitmap(const uint32_t width, const uint32_t height,
                            const std::function<RGB(uint32_t, uint32_t)>& pixel) {
    const uint32_t row = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, 14 + 40 + row * height);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, row * height);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t y = height; y-- > 0;) {
        for (uint32_t x = 0; x < width; ++x) {
            const RGB c = pixel(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = width * 3; pad < row; ++pad) out.push_back(0);
    }
    return out;
}

// Uncompressed A8R8G8B8, one level; pixel gives alpha, red, green, blue.
std::vector<uint8_t> Surface(const uint32_t width, const uint32_t height,
                             const std::function<uint32_t(uint32_t, uint32_t)>& argb) {
    std::vector<uint8_t> out{'D', 'D', 'S', ' '};
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);
    Put32(out, height);
    Put32(out, width);
    Put32(out, width * 4);
    Put32(out, 0);
    Put32(out, 0);
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x1 | 0x40);
    Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x00FF0000u);
    Put32(out, 0x0000FF00u);
    Put32(out, 0x000000FFu);
    Put32(out, 0xFF000000u);
    Put32(out, 0x1000);
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) Put32(out, argb(x, y));
    }
    return out;
}

uint32_t Grey(const uint8_t v, const uint8_t alpha) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(v) << 16 | static_cast<uint32_t>(v) << 8 | v;
}

// A small generator of our own, so the noise is the same on every machine.
struct Noise {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 24;
    }
};

RGB Mix(const RGB a, const RGB b, const double t) {
    return {Byte(a.r + (b.r - a.r) * t), Byte(a.g + (b.g - a.g) * t), Byte(a.b + (b.b - a.b) * t)};
}

// The seven attract pictures, 128 x 112 each: little scenes the static
// cross-fades between on the title screen.
RGB Attract(const int picture, const uint32_t x, const uint32_t y) {
    const double fx = x / 128.0, fy = y / 112.0;
    switch (picture) {
    case 0: {  // colour bars over a grey ramp
        static const RGB bars[8] = {{235, 235, 235}, {230, 220, 40},  {40, 210, 220}, {40, 200, 60},
                                    {210, 50, 200},  {210, 50, 40},   {40, 60, 210},  {16, 16, 16}};
        if (y < 80) return bars[x / 16];
        return Mix({0, 0, 0}, {255, 255, 255}, fx);
    }
    case 1: {  // hills under a setting sun
        const double hill = 0.62 + 0.08 * std::sin(fx * 9.0) + 0.05 * std::sin(fx * 23.0 + 1.0);
        if (fy > hill) return Mix({30, 120, 40}, {10, 60, 20}, (fy - hill) / (1.0 - hill));
        const double dx = fx - 0.7, dy = fy - 0.45;
        if (dx * dx + dy * dy < 0.012) return {250, 200, 60};
        return Mix({250, 120, 60}, {40, 40, 120}, 1.0 - fy / hill);
    }
    case 2: {  // a checkered floor with a ball
        const double dx = fx - 0.5, dy = fy - 0.4;
        if (dx * dx + dy * dy < 0.03) return Mix({255, 240, 240}, {200, 30, 40}, std::min(1.0, (dx + dy + 0.3) * 2.0));
        if (fy < 0.6) return {20, 20, 50};
        const bool dark = ((x / 16) + (y / 8)) % 2 != 0;
        return dark ? RGB{60, 60, 160} : RGB{200, 200, 230};
    }
    case 3: {  // rings
        const double r = std::hypot(fx - 0.5, (fy - 0.5) * 0.875);
        const int band = static_cast<int>(r * 20.0) % 3;
        static const RGB colours[3] = {{240, 90, 40}, {250, 230, 120}, {40, 30, 80}};
        return colours[band];
    }
    case 4: {  // platforms, a coin and a figure
        if (y >= 96) return ((x / 8 + y / 8) % 2 != 0) ? RGB{140, 80, 40} : RGB{110, 60, 30};
        if (y >= 60 && y < 68 && x >= 70 && x < 118) return {140, 80, 40};
        if (x >= 24 && x < 32 && y >= 80 && y < 96) return y < 86 ? RGB{250, 210, 160} : RGB{40, 90, 220};
        const double cx = fx - 0.74, cy = fy - 0.45;
        if (cx * cx + cy * cy * 0.6 < 0.0015) return {250, 220, 40};
        return Mix({110, 170, 250}, {200, 230, 255}, fy);
    }
    case 5: {  // a night sky with a moon
        const double dx = fx - 0.3, dy = fy - 0.3;
        if (dx * dx + dy * dy < 0.01 && (dx - 0.04) * (dx - 0.04) + dy * dy > 0.008) return {240, 240, 200};
        const uint32_t h = (x * 73856093u) ^ (y * 19349663u);
        if (h % 97 == 0) return {255, 255, 255};
        return Mix({5, 5, 30}, {30, 20, 70}, fy);
    }
    default: {  // a tuning card: grid, circle and cross
        const double r = std::hypot(fx - 0.5, (fy - 0.5) * 0.875);
        if (std::fabs(r - 0.38) < 0.008) return {255, 255, 255};
        if (x == 64 || y == 56) return {255, 255, 255};
        if (x % 16 == 0 || y % 16 == 0) return {160, 160, 160};
        return r < 0.38 ? RGB{60, 60, 60} : RGB{30, 30, 30};
    }
    }
}

// -1..1 on the glass grid to the glass's rounded rectangle.
void GlassPoint(const double qx, const double qy, double& px, double& py) {
    const double r = std::max(std::fabs(qx), std::fabs(qy));
    double scale = 1.0;
    if (r > 0.0) {
        const double s = std::pow(std::pow(std::fabs(qx), 8.0) + std::pow(std::fabs(qy), 8.0), 1.0 / 8.0);
        scale = r / s;
    }
    px = qx * scale * kGlassHalf;
    py = qy * scale * kGlassHalf;
}

struct MeshBuilder {
    std::vector<float> positions, normals, uvs;
    std::vector<uint16_t> indices;

    uint16_t Add(const double x, const double y, const double z, double nx, double ny, double nz, const double u,
                 const double v) {
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (length > 0.0) {
            nx /= length;
            ny /= length;
            nz /= length;
        }
        const uint16_t index = static_cast<uint16_t>(positions.size() / 3);
        for (const double p : {x, y, z}) positions.push_back(static_cast<float>(p));
        for (const double n : {nx, ny, nz}) normals.push_back(static_cast<float>(n));
        uvs.push_back(static_cast<float>(u));
        uvs.push_back(static_cast<float>(v));
        return index;
    }

    // Version 2.1, no tangents, 16-bit indices, then the three streams.
    std::vector<uint8_t> Bytes() const {
        const uint32_t count = static_cast<uint32_t>(positions.size() / 3);
        std::vector<uint8_t> out{'.', 'm', '3', 'd', 2, 1, 0, 0};
        Put32(out, 3);
        Put32(out, count);
        Put32(out, static_cast<uint32_t>(indices.size()));
        out.push_back(0);
        Put32(out, 2);
        for (const uint16_t i : indices) Put16(out, i);
        Put32(out, 0);
        Put32(out, 12);
        for (const float f : positions) PutFloat(out, f);
        Put32(out, 1);
        Put32(out, 12);
        for (const float f : normals) PutFloat(out, f);
        Put32(out, 5);
        Put32(out, 8);
        for (const float f : uvs) PutFloat(out, f);
        return out;
    }
};

constexpr int kGlassColumns = 32;
constexpr int kGlassRows = 24;
// Depths in the units of the camera's planes (near 1): the glass's middle
// stands nearest, the case behind its edge.
constexpr double kGlassDepth = 1.0;
constexpr double kGlassBulge = 0.05;

double GlassDepth(const double px, const double py) {
    const double r2 = (px * px + py * py) / (2.0 * kGlassHalf * kGlassHalf);
    return kGlassDepth + kGlassBulge * r2;
}

// The glass's edge, once around (clockwise from the top-left corner), as grid coordinates.
std::vector<std::pair<double, double>> GlassEdge() {
    std::vector<std::pair<double, double>> edge;
    for (int i = 0; i < kGlassColumns; ++i) edge.emplace_back(-1.0 + 2.0 * i / kGlassColumns, 1.0);
    for (int i = 0; i < kGlassRows; ++i) edge.emplace_back(1.0, 1.0 - 2.0 * i / kGlassRows);
    for (int i = 0; i < kGlassColumns; ++i) edge.emplace_back(1.0 - 2.0 * i / kGlassColumns, -1.0);
    for (int i = 0; i < kGlassRows; ++i) edge.emplace_back(-1.0, -1.0 + 2.0 * i / kGlassRows);
    return edge;
}

}  // namespace

std::vector<uint8_t> MakeScreenMesh() {
    MeshBuilder mesh;
    for (int row = 0; row <= kGlassRows; ++row) {
        for (int column = 0; column <= kGlassColumns; ++column) {
            const double qx = -1.0 + 2.0 * column / kGlassColumns;
            const double qy = 1.0 - 2.0 * row / kGlassRows;
            double px = 0.0, py = 0.0;
            GlassPoint(qx, qy, px, py);
            // The texture coordinate follows the point's place on the glass,
            // not its place in the grid: the grid is pulled into the rounded
            // corners along the diagonals, and coordinates taken from it
            // would crease the picture there. Being linear in the position,
            // they blend exactly across every triangle, so the only bend in
            // the picture is the screen effect's smooth barrel.
            const double u = 0.5 + px / (2.0 * kGlassHalf);
            const double v = 0.5 - py / (2.0 * kGlassHalf);
            mesh.Add(px, py, GlassDepth(px, py), px * 0.35, py * 0.35, 1.0, u, v);
        }
    }
    const int stride = kGlassColumns + 1;
    for (int row = 0; row < kGlassRows; ++row) {
        for (int column = 0; column < kGlassColumns; ++column) {
            const uint16_t a = static_cast<uint16_t>(row * stride + column);
            const uint16_t b = static_cast<uint16_t>(a + 1);
            const uint16_t c = static_cast<uint16_t>(a + stride);
            const uint16_t d = static_cast<uint16_t>(c + 1);
            mesh.indices.insert(mesh.indices.end(), {a, c, b, b, c, d});
        }
    }
    return mesh.Bytes();
}

std::vector<uint8_t> MakeMonitorMesh() {
    // Four rings around the glass: its edge, the bezel's lip, the face of the
    // case and its bevelled outer edge at the rim of the 4:3 screen.
    struct Ring {
        double scale;      // of the glass edge; 0 takes the case's rectangle
        double rectangle;  // the case's half-size when scale is 0
        double depth;
        double outward, forward;  // the normal: along the edge's direction and towards the viewer
    };
    const Ring rings[] = {
        {1.0, 0.0, kGlassDepth + kGlassBulge, -0.8, 0.6},
        {1.05, 0.0, kGlassDepth - 0.02, 0.0, 1.0},
        {0.0, 0.975, kGlassDepth, 0.15, 1.0},
        {0.0, 1.0, kGlassDepth + 0.1, 0.8, 0.6},
    };
    const auto edge = GlassEdge();
    const size_t around = edge.size();
    MeshBuilder mesh;
    for (size_t r = 0; r < std::size(rings); ++r) {
        for (size_t i = 0; i < around; ++i) {
            double px = 0.0, py = 0.0;
            GlassPoint(edge[i].first, edge[i].second, px, py);
            const double length = std::hypot(px, py);
            const double dx = px / length, dy = py / length;
            double x = px * rings[r].scale, y = py * rings[r].scale;
            if (rings[r].scale == 0.0) {
                const double square = std::max(std::fabs(edge[i].first), std::fabs(edge[i].second));
                x = edge[i].first / square * rings[r].rectangle;
                y = edge[i].second / square * rings[r].rectangle;
            }
            // The texture coordinate is the glass's, carried on over the
            // case: where on the picture's plane the point lies.
            mesh.Add(x, y, rings[r].depth, dx * rings[r].outward, dy * rings[r].outward, rings[r].forward,
                     0.5 + x / (2.0 * kGlassHalf), 0.5 - y / (2.0 * kGlassHalf));
        }
    }
    for (size_t r = 0; r + 1 < std::size(rings); ++r) {
        for (size_t i = 0; i < around; ++i) {
            const uint16_t a = static_cast<uint16_t>(r * around + i);
            const uint16_t b = static_cast<uint16_t>(r * around + (i + 1) % around);
            const uint16_t c = static_cast<uint16_t>(a + around);
            const uint16_t d = static_cast<uint16_t>(b + around);
            mesh.indices.insert(mesh.indices.end(), {a, c, b, b, c, d});
        }
    }
    return mesh.Bytes();
}

std::vector<CRTArtFile> MakeCRTArt() {
    std::vector<CRTArtFile> files;
    Noise noise{0x5eedu};
    files.push_back({"static.dds", Surface(128, 128, [&](uint32_t, uint32_t) {
                         return Grey(static_cast<uint8_t>(noise.Next()), 255);
                     })});
    // A soft bright band across the middle; the rest lets the noise through.
    files.push_back({"static_line.dds", Surface(4, 64, [](uint32_t, uint32_t y) {
                         const double d = (y + 0.5 - 32.0) / 6.0;
                         return Grey(Byte(255.0 * std::exp(-d * d)), 255);
                     })});
    files.push_back({"crt_dist_1.dds", Surface(64, 64, [](uint32_t x, uint32_t y) {
                         const double wobble = std::sin(2.0 * kPi * y / 64.0 * 3.0);
                         const double ripple = std::cos(2.0 * kPi * x / 64.0 * 2.0);
                         return 0xFF000000u | static_cast<uint32_t>(Byte(128.0 + 24.0 * wobble)) << 16 |
                                static_cast<uint32_t>(Byte(128.0 + 10.0 * ripple)) << 8;
                     })});
    for (int picture = 0; picture < 7; ++picture) {
        files.push_back({"demo_attr_" + std::to_string(picture + 1) + ".bmp",
                         Bitmap(128, 112, [picture](uint32_t x, uint32_t y) { return Attract(picture, x, y); })});
    }
    // The dial: a dark plate with a lit slot and a scale of ticks on its left.
    files.push_back({"crttuner_back.bmp", Bitmap(64, 128, [](uint32_t x, uint32_t y) -> RGB {
                         if (x < 2 || y < 2 || x >= 62 || y >= 126) return {150, 150, 160};
                         if (x >= 8 && x < 14 && y >= 8 && y < 120 && (y % 8 == 0 || (y % 4 == 0 && x >= 11))) {
                             return {220, 220, 200};
                         }
                         if (x >= 18 && x < 42 && y >= 8 && y < 120) return {20, 26, 24};
                         return {52, 52, 60};
                     })});
    files.push_back({"crttuner_ball.bmp", Bitmap(16, 16, [](uint32_t x, uint32_t y) -> RGB {
                         const double dx = x + 0.5 - 8.0, dy = y + 0.5 - 8.0;
                         const double r = std::hypot(dx, dy);
                         if (r > 6.5) return kSeeThrough;
                         const double light = std::clamp(1.0 - std::hypot(dx + 2.5, dy + 2.5) / 9.0, 0.0, 1.0);
                         return Mix({160, 40, 20}, {255, 230, 170}, light);
                     })});
    files.push_back({"minimapback.bmp", Bitmap(40, 32, [](uint32_t x, uint32_t y) -> RGB {
                         if (x < 1 || y < 1 || x >= 39 || y >= 31) return {90, 90, 110};
                         if (x < 3 || y < 3 || x >= 37 || y >= 29) return {210, 210, 225};
                         return {14, 14, 36};
                     })});
    // Four frames of 8 x 8 across, pulsing; the lower row (rooms still to find) is amber.
    files.push_back({"minimapflashback.bmp", Bitmap(32, 16, [](uint32_t x, uint32_t y) -> RGB {
                         static const double pulse[4] = {1.0, 0.75, 0.45, 0.75};
                         const uint32_t fx = x % 8, fy = y % 8;
                         if (fx >= 1 && fx < 7 && fy >= 1 && fy < 7 && !(fx >= 2 && fx < 6 && fy >= 2 && fy < 6)) {
                             const RGB full = y < 8 ? RGB{255, 255, 255} : RGB{255, 190, 40};
                             return Mix({0, 0, 0}, full, pulse[x / 8]);
                         }
                         return kSeeThrough;
                     })});
    // The characters' palettes, one row each: the colour for the sheet's
    // red (clothes), green (skin) and blue (hair and outline).
    static constexpr RGB kNPCPalettes[8][3] = {
        {{200, 40, 40}, {240, 190, 150}, {60, 30, 10}},   {{40, 90, 200}, {230, 170, 120}, {20, 20, 20}},
        {{40, 160, 70}, {200, 140, 100}, {120, 60, 20}},  {{220, 180, 40}, {250, 210, 170}, {90, 50, 20}},
        {{150, 60, 180}, {180, 120, 80}, {30, 30, 40}},   {{230, 120, 30}, {240, 200, 160}, {140, 40, 20}},
        {{60, 170, 180}, {160, 110, 70}, {40, 40, 60}},   {{120, 120, 130}, {235, 185, 140}, {220, 220, 210}},
    };
    files.push_back({"NPC_Palettes.bmp", Bitmap(3, 8, [](uint32_t x, uint32_t y) { return kNPCPalettes[y][x]; })});
    // The placed actors' pictures: a bullet (a ball), a block that pops out of
    // hiding (a brick with a star) and a block only the mask shows (dashed).
    files.push_back({"bullet.bmp", Bitmap(8, 8, [](uint32_t x, uint32_t y) -> RGB {
                         const double r = std::hypot(x + 0.5 - 4.0, y + 0.5 - 4.0);
                         if (r > 3.6) return kSeeThrough;
                         return r < 1.6 ? RGB{255, 240, 170} : RGB{240, 120, 30};
                     })});
    files.push_back({"popblock.bmp", Bitmap(16, 16, [](uint32_t x, uint32_t y) -> RGB {
                         if (x == 0 || y == 0 || x == 15 || y == 15) return {90, 40, 10};
                         const bool star = (x == 7 || x == 8) ? (y >= 4 && y <= 11) : (y == 7 || y == 8) && x >= 4 && x <= 11;
                         return star ? RGB{255, 250, 220} : RGB{220, 150, 40};
                     })});
    files.push_back({"hiddenblock.bmp", Bitmap(16, 16, [](uint32_t x, uint32_t y) -> RGB {
                         const bool edge = x == 0 || y == 0 || x == 15 || y == 15;
                         if (edge) return (x + y) % 4 < 2 ? RGB{200, 220, 255} : RGB{60, 70, 120};
                         return {90, 110, 190};
                     })});
    files.push_back({"blank.bmp", Bitmap(8, 8, [](uint32_t, uint32_t) { return RGB{0, 0, 0}; })});
    files.push_back({"Screen.m3d", MakeScreenMesh()});
    files.push_back({"Monitor2.m3d", MakeMonitorMesh()});
    return files;
}
