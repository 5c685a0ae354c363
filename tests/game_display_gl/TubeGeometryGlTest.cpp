// The picture's geometry on the curved tube: straight lines of a test card,
// drawn through the whole chain and read back, bend smoothly (a barrel, more
// towards the edges of the glass) with no crease anywhere along them.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "DisplayChainGlFixture.h"
#include "game/display/TubeQuad.h"

using namespace displaytest;

namespace {

// Two texels wide lines every 32 texels, centred on the card's middle
// (texel edge 128 across, 112 down, where the picture's centre is).
constexpr int32_t kSpacing = 32;
bool OnLine(int32_t t) { return t % kSpacing == 15 || t % kSpacing == 16; }
uint32_t Rows(int32_t, int32_t y) { return OnLine(y) ? Rgb(255, 255, 255) : Rgb(0, 0, 0); }
uint32_t Columns(int32_t x, int32_t) { return OnLine(x) ? Rgb(255, 255, 255) : Rgb(0, 0, 0); }

// A read-back picture seen along lines or across them: Get(along, across).
struct View {
    const std::vector<uint32_t>* pixels;
    int32_t width, height;
    bool transposed;  // lines run down the screen
    int32_t Along() const { return transposed ? height : width; }
    int32_t Across() const { return transposed ? width : height; }
    float Get(int32_t along, int32_t across) const {
        const int32_t x = transposed ? across : along, y = transposed ? along : across;
        return Luma((*pixels)[static_cast<size_t>(y) * width + x]);
    }
};

// Where a bright line crosses one slice of the picture near 'guess': the
// weighted middle of its pixels brighter than a quarter of its peak; false when
// nothing bright enough is there.
bool LineCentre(const View& view, int32_t along, float guess, int32_t reach, float& centre) {
    const int32_t lo = std::max(0, static_cast<int32_t>(guess) - reach);
    const int32_t hi = std::min(view.Across() - 1, static_cast<int32_t>(guess) + reach);
    float peak = 0.0f;
    for (int32_t a = lo; a <= hi; ++a) peak = std::max(peak, view.Get(along, a));
    if (peak < 60.0f) return false;
    double sum = 0.0, weight = 0.0;
    for (int32_t a = lo; a <= hi; ++a) {
        const float w = view.Get(along, a) - 0.25f * peak;
        if (w <= 0.0f) continue;
        sum += w * a;
        weight += w;
    }
    centre = static_cast<float>(sum / weight);
    return true;
}

// One line followed across the picture: its position across, sampled every
// 'step' pixels along, from one end to the other.
struct Trace {
    float start = 0.0f;  // where it crosses the middle slice
    std::vector<float> points;
};

// Every line crossing the middle slice, each followed both ways to where it
// ends (the picture's edge); the few points at each end, where the picture
// fades into the glass's edge, are left off.
std::vector<Trace> TraceLines(const View& view, int32_t step, int32_t reach) {
    std::vector<Trace> traces;
    const int32_t middle = view.Along() / 2;
    for (int32_t a = 0; a < view.Across(); ++a) {
        const bool starts = view.Get(middle, a) > 100.0f && (a == 0 || view.Get(middle, a - 1) <= 100.0f);
        if (!starts) continue;
        float centre = 0.0f;
        if (!LineCentre(view, middle, static_cast<float>(a + reach / 2), reach, centre)) continue;
        // The scanlines may split one line into several bright runs.
        a = static_cast<int32_t>(centre) + reach;
        Trace trace;
        trace.start = centre;
        std::vector<float> left, right;
        for (int direction : {-1, 1}) {
            std::vector<float>& side = direction < 0 ? left : right;
            float guess = centre;
            for (int32_t along = middle + direction * step; along >= 0 && along < view.Along();
                 along += direction * step) {
                float c = 0.0f;
                if (!LineCentre(view, along, guess, reach, c)) break;
                side.push_back(c);
                guess = c;
            }
            side.resize(side.size() > 3 ? side.size() - 3 : 0);
        }
        trace.points.assign(left.rbegin(), left.rend());
        trace.points.push_back(centre);
        trace.points.insert(trace.points.end(), right.begin(), right.end());
        traces.push_back(trace);
    }
    return traces;
}

// The largest second difference along a trace, over points two steps
// apart: a crease shows as a jump of the slope, a smooth bend as a small and
// steady value. (Over the wider base a crease stands out more from the
// pixels' rounding.)
float WorstSecondDifference(const std::vector<float>& p, size_t& at) {
    float worst = 0.0f;
    for (size_t i = 2; i + 2 < p.size(); ++i) {
        const float d = std::fabs(p[i - 2] - 2.0f * p[i] + p[i + 2]);
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    return worst;
}

// How far the line's ends lie towards the screen's middle from its own
// middle point: the bow of the barrel (positive when it bends inward).
float Bow(const Trace& t, float screenMiddle) {
    const float ends = 0.5f * (t.points.front() + t.points.back());
    const float middle = t.points[t.points.size() / 2];
    return middle < screenMiddle ? ends - middle : middle - ends;
}

struct GeometryCase {
    const char* name;
    int32_t width, height;
};

class TubeGeometryGlTest : public DisplayChainGlTest, public ::testing::WithParamInterface<GeometryCase> {
protected:
    void SetUp() override {
        Start(GetParam().width, GetParam().height);
        // No light on the glass, no mask stripes and no trace of the card
        // drawn before: only the picture's lines.
        Settings().refl = 0.0f;
        Settings().dim = 0.0f;
        Settings().pers = 0.0f;
    }
};

}  // namespace

TEST_P(TubeGeometryGlTest, StraightLinesBendSmoothlyIntoABarrel) {
    float halfWidth = 0.0f, halfHeight = 0.0f;
    TubeQuad::Extents(m_width, m_height, halfWidth, halfHeight);
    // Lines of the card lie 60 screen pixels or more apart: look no further than a third of that.
    const int32_t reach = std::max(4, static_cast<int32_t>(halfHeight * m_height * 0.04f));
    const int32_t step = std::max(3, static_cast<int32_t>(halfWidth * m_width / 80.0f));
    struct Direction {
        const char* name;
        uint32_t (*card)(int32_t, int32_t);
        bool transposed;
        size_t lines;  // the card's lines that cross the picture's middle
    };
    for (const Direction d : {Direction{"rows", Rows, false, 7}, Direction{"columns", Columns, true, 8}}) {
        SCOPED_TRACE(d.name);
        harness.SetCard(d.card);
        Frames(3);
        const std::vector<uint32_t> screen = harness.ReadScreen();
        const View view{&screen, m_width, m_height, d.transposed};
        const std::vector<Trace> traces = TraceLines(view, step, reach);
        ASSERT_EQ(traces.size(), d.lines);
        const float screenMiddle = 0.5f * (view.Across() - 1);
        for (const Trace& t : traces) {
            SCOPED_TRACE("the line through " + std::to_string(t.start));
            // Followed across at least half of the glass.
            const float span = static_cast<float>(t.points.size() * step) / view.Along();
            ASSERT_GT(span, 0.5f * (d.transposed ? halfHeight : halfWidth));
            size_t at = 0;
            const float worst = WorstSecondDifference(t.points, at);
            // Rounding to pixels leaves up to about one pixel; the creases of a
            // mapping bent along the glass's diagonals gave five to twelve.
            EXPECT_LT(worst, 2.0f) << "a crease " << at << " steps from the line's start of " << t.points.size();
        }
        // The barrel: the line nearest each edge of the picture bows inward,
        // more than the next one in, and the middle line stays straight.
        const Trace& first = traces.front();
        const Trace& last = traces.back();
        const Trace& middle = traces[traces.size() / 2];
        EXPECT_GT(Bow(first, screenMiddle), 3.0f);
        EXPECT_GT(Bow(last, screenMiddle), 3.0f);
        EXPECT_GT(Bow(first, screenMiddle), Bow(traces[1], screenMiddle) + 1.0f);
        EXPECT_GT(Bow(last, screenMiddle), Bow(traces[traces.size() - 2], screenMiddle) + 1.0f);
        if (traces.size() % 2 == 1) {
            EXPECT_LT(std::fabs(Bow(middle, screenMiddle)), 1.0f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, TubeGeometryGlTest,
                         ::testing::Values(GeometryCase{"four_by_three", 800, 600},
                                           GeometryCase{"wide", 1024, 576}),
                         [](const ::testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

// The case takes the glow of the picture's edge nearest to it, wherever the
// tube sits: on a wide screen too it shows nothing of the picture's inside.
TEST_F(DisplayChainGlTest, TheCaseGlowsWithThePicturesEdgeOnly) {
    Start(1280, 720);
    Settings().pers = 0.0f;  // no trace of the card drawn before
    float halfWidth = 0.0f, halfHeight = 0.0f;
    TubeQuad::Extents(m_width, m_height, halfWidth, halfHeight);
    // The case beside the glass, left and right of its middle (the glass
    // spans 0.86 of the tube's half-width).
    const int32_t tubeLeft = static_cast<int32_t>((1.0f - halfWidth) * 0.5f * m_width);
    const int32_t glassLeft = static_cast<int32_t>((1.0f - 0.86f * halfWidth) * 0.5f * m_width);
    ASSERT_GT(glassLeft - tubeLeft, 30);
    const auto caseLuma = [&](uint32_t (*card)(int32_t, int32_t)) {
        harness.SetCard(card);
        Frames(3);
        const std::vector<uint32_t> screen = harness.ReadScreen();
        const int32_t x0 = tubeLeft + 8, x1 = glassLeft - 12;
        return 0.5f * (MeanLuma(screen, m_width, x0, 300, x1, 420) +
                       MeanLuma(screen, m_width, m_width - x1, 300, m_width - x0, 420));
    };
    const float dark = caseLuma([](int32_t, int32_t) { return Rgb(0, 0, 0); });
    const float inside = caseLuma([](int32_t x, int32_t y) {
        const bool border = x < 16 || y < 16 || x >= 240 || y >= 208;
        return border ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
    });
    const float frame = caseLuma([](int32_t x, int32_t y) {
        const bool border = x < 16 || y < 16 || x >= 240 || y >= 208;
        return border ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
    });
    EXPECT_LT(std::fabs(inside - dark), 1.5f) << "the picture's inside shows on the case";
    EXPECT_GT(frame, dark + 4.0f) << "the picture's edge lights the case";
}
