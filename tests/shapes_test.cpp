// Shapes: lines, outlines, figures, solid, hatch and gradient fills, rounded rectangles,
// checked by reading the canvas's pixels back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "TestSupport.h"

using pictor_test::Channel;
using pictor_test::DifferingPixels;
using pictor_test::ExpectPixels;
using pictor_test::Near;
using pictor_test::PixelOf;

namespace {

const Gdiplus::ARGB kClear = 0x00000000;
const Gdiplus::ARGB kRed = 0xFFFF0000;
const Gdiplus::ARGB kBlue = 0xFF0000FF;

// A transparent canvas with nothing on it, for reading strokes back exactly.
struct Canvas : CFxPictor {
    Canvas(int w = 120, int h = 90) : CFxPictor(nullptr, w, h) { Clear(0, 0, 0, 0); }
};

// The colour at fraction t of the way from the first colour to the second.
Gdiplus::ARGB Lerp(Gdiplus::ARGB first, Gdiplus::ARGB second, double t)
{
    Gdiplus::ARGB out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= static_cast<Gdiplus::ARGB>(std::lround(Channel(first, shift) +
                                                      (Channel(second, shift) - Channel(first, shift)) * t))
               << shift;
    return out;
}

// Red to blue, sampled at a pixel's centre between the end points from and to.
Gdiplus::ARGB RedToBlue(int pixel, double from, double to) { return Lerp(kRed, kBlue, (pixel - from) / (to - from)); }

bool RowIsUniform(CFxPictor& c, int y, int x0, int x1)
{
    for (int x = x0; x <= x1; ++x)
        if (PixelOf(c, x, y) != PixelOf(c, x0, y)) return false;
    return true;
}

int CountAlong(CFxPictor& c, int x0, int y0, int dx, int dy, int n, Gdiplus::ARGB colour)
{
    int count = 0;
    for (int i = 0; i < n; ++i) count += PixelOf(c, x0 + i * dx, y0 + i * dy) == colour;
    return count;
}

using Draw = std::function<void(CFxPictor&)>;

// Both end points of each of the four corner arcs.
void ExpectCorners(const Gdiplus::GraphicsPath& path, const std::vector<Gdiplus::PointF>& corners)
{
    std::vector<Gdiplus::PointF> points(path.GetPointCount());
    path.GetPathPoints(points.data(), static_cast<INT>(points.size()));
    for (const Gdiplus::PointF& c : corners) {
        bool found = false;
        for (const Gdiplus::PointF& p : points) found |= std::fabs(p.X - c.X) < 0.01f && std::fabs(p.Y - c.Y) < 0.01f;
        EXPECT_TRUE(found) << c.X << "," << c.Y;
    }
    Gdiplus::RectF bounds;
    path.GetBounds(&bounds);
    EXPECT_NEAR(bounds.X, 0.f, 1e-4);
    EXPECT_NEAR(bounds.GetRight(), corners[3].X, 1e-4);
}

}  // namespace

TEST(Shapes, EveryFormOfAMemberDrawsTheSamePixels)
{
    CRect frame(10, 10, 50, 40), roundFrame(10, 10, 60, 50), area(10, 20, 60, 60);
    const Gdiplus::Color ink(0xFF0A141E), red(kRed), blue(kBlue);
    Gdiplus::GraphicsPath corner;
    corner.AddLine(20, 20, 60, 20);
    corner.AddLine(60, 20, 60, 60);
    const std::pair<Draw, Draw> same[] = {
        {[&](CFxPictor& c) { c.Line(20, 20, 110, 60, 255, 10, 20, 30, 2.0f); },
         [&](CFxPictor& c) { c.Line(20, 20, 110, 60, ink, 2.0f); }},
        {[&](CFxPictor& c) { c.DrawPathLine(&corner, 255, 10, 20, 30, 4); },
         [&](CFxPictor& c) { c.DrawPathLine(&corner, ink, 4); }},
        {[&](CFxPictor& c) { c.WireRect(10, 10, 40, 30, 255, 255, 0, 0, 1.0f); },
         [&](CFxPictor& c) { c.WireRect(&frame, red, 1.0f); }},
        {[&](CFxPictor& c) { c.WireRect(&frame, 255, 255, 0, 0, 1.0f); },
         [&](CFxPictor& c) { c.WireRect(&frame, 255, 255, 0, 0, 1.0f, 2); }},  // flag 2: no shadow
        {[&](CFxPictor& c) { c.WireRectEmboss(10, 10, 40, 30, 1.0f, 0); },
         [&](CFxPictor& c) { c.WireRectEmboss(10, 10, 40, 30, 1.0f, 2); }},
        {[&](CFxPictor& c) { c.Circle(10, 10, 20, 128, 0, 0, 255, 255, 0, 0, 2.0f); },
         [&](CFxPictor& c) { c.Circle(10, 10, 20, Gdiplus::Color(0x800000FF), red, 2.0f); }},
        {[&](CFxPictor& c) { c.FillRect(10, 20, 50, 40, 255, 10, 20, 30); },
         [&](CFxPictor& c) { c.FillRect(10, 20, 50, 40, ink); }},
        {[&](CFxPictor& c) { c.FillRect(&area, 255, 10, 20, 30); }, [&](CFxPictor& c) { c.FillRect(&area, ink); }},
        {[&](CFxPictor& c) { c.FillRect(&area, ink); }, [&](CFxPictor& c) { c.FillRoundRect(&area, ink); }},
        {[&](CFxPictor& c) { c.FillRect(10, 20, 50, 40, 230, 220, 100, 204, 0); },
         [&](CFxPictor& c) { c.FillRect(&area, 230, 220, 100, 204, 987654); }},  // the int is not used
        {[&](CFxPictor& c) { c.FillRect(&area, 255, 100, 100, 100, -3); },
         [&](CFxPictor& c) { c.FillRect(&area, 255, 100, 100, 100, 0, 0); }},
        {[&](CFxPictor& c) { c.FillRect(10, 20, 50, 40, blue, Gdiplus::Color(0x00FF0000)); },
         [&](CFxPictor& c) { c.FillRect(10, 20, 50, 40, blue); }},  // a transparent border keeps the edge
        {[&](CFxPictor& c) { c.FillGradientRect(&area, 255, 255, 0, 0, 255, 0, 0, 255); },
         [&](CFxPictor& c) { c.FillGradientRect(&area, red, blue); }},
        {[&](CFxPictor& c) { c.DrawRoundRect(10, 10, 50, 40, 255, 10, 20, 30, 4, 3); },
         [&](CFxPictor& c) { c.DrawRoundRect(&roundFrame, 255, 10, 20, 30, 4, 3); }},
        {[&](CFxPictor& c) { c.FillRoundRect(&area, 255, 0, 0, 255, 255, 255, 0, 0, 6); },
         [&](CFxPictor& c) { c.FillRoundRect(&area, blue, red, 6); }},
        {[&](CFxPictor& c) { c.FillRoundRect(&area, blue, red, 6); },
         [&](CFxPictor& c) { c.FillRoundRect(10, 20, 50, 40, 255, 0, 0, 255, 255, 255, 0, 0, 6); }},
        {[&](CFxPictor& c) { c.FillRoundRect(&area, blue, red, 6); },
         [&](CFxPictor& c) { c.FillRoundRect(10, 20, 50, 40, 255, 0, 0, 255, 255, 255, 0, 0, 1, 6); }},
    };
    int index = 0;
    for (const auto& [first, second] : same) {
        Canvas a, b;
        first(a);
        second(b);
        EXPECT_EQ(DifferingPixels(a, b), 0) << "pair " << index;
        EXPECT_NE(PixelOf(a, 10, 40) | PixelOf(a, 30, 40) | PixelOf(a, 20, 20), kClear) << "pair " << index;
        ++index;
    }
}

TEST(Lines, BytesDashesCapsAndJoins)
{
    Canvas c;
    c.Line(10, 10, 110, 10, 255, 10, 20, 30, 1.0f);
    EXPECT_EQ(CountAlong(c, 10, 10, 1, 0, 100, 0xFF0A141E), 100);
    c.Line(10, 30, 110, 30, 255, 255, 0, 0, 1.0f, Gdiplus::DashStyleDash, Gdiplus::LineCapFlat, Gdiplus::LineCapFlat);
    int dashed = CountAlong(c, 10, 30, 1, 0, 100, kRed);
    EXPECT_GT(dashed, 30);
    EXPECT_LT(dashed, 90);
    // A square cap reaches half the width before the start; the next plain line is solid with flat caps.
    c.Line(20, 50, 100, 50, 255, 0, 0, 255, 8.0f, Gdiplus::DashStyleDot, Gdiplus::LineCapSquare,
           Gdiplus::LineCapSquare);
    EXPECT_EQ(PixelOf(c, 17, 50), kBlue);
    c.Line(20, 70, 100, 70, 255, 0, 0, 255, 8.0f);
    EXPECT_EQ(PixelOf(c, 17, 70), kClear);
    EXPECT_EQ(CountAlong(c, 20, 70, 1, 0, 80, kBlue), 80);

    // Path outlines have bevelled joins: the outer corner that a mitre would fill up to (65, 15) stays clear.
    Gdiplus::GraphicsPath corner;
    corner.AddLine(20, 20, 60, 20);
    corner.AddLine(60, 20, 60, 60);
    Canvas bevel, mitre;
    bevel.DrawPathLine(&corner, Gdiplus::Color(kRed), 10);
    Gdiplus::Pen mitrePen(Gdiplus::Color(kRed), 10.0f);
    mitre.m_pGraphics->DrawPath(&mitrePen, &corner);
    ExpectPixels(bevel, {{61, 19, kRed}, {64, 16, kClear}});
    ExpectPixels(mitre, {{64, 16, kRed}});
    EXPECT_EQ(corner.GetPointCount(), 3);

    Gdiplus::GraphicsPath line;
    line.AddLine(10, 80, 110, 80);
    Canvas path;
    path.DrawPathLine(&line, 255, 255, 0, 0, 3, Gdiplus::DashStyleDash);
    dashed = CountAlong(path, 10, 80, 1, 0, 100, kRed);
    EXPECT_GT(dashed, 30);
    EXPECT_LT(dashed, 90);
    Canvas none, blank;
    none.DrawPathLine(nullptr, Gdiplus::Color(kRed), 3);
    EXPECT_EQ(DifferingPixels(none, blank), 0);
}

TEST(Lines, PolygonFillGoesOverItsOutline)
{
    Gdiplus::GraphicsPath box;
    box.AddRectangle(Gdiplus::Rect(20, 20, 60, 40));
    // A half-transparent fill shows the outline under it at the edge.
    Canvas both;
    both.DrawPolygon(&box, 128, 0, 0, 255, 255, 255, 0, 0);
    const Gdiplus::ARGB edge = PixelOf(both, 50, 20);
    EXPECT_GT(Channel(edge, 0), 100);
    EXPECT_GT(Channel(edge, 16), 20);
    EXPECT_LT(Channel(edge, 16), 200);
    ExpectPixels(both, {{50, 40, 0x800000FF, 1}, {50, 18, kClear}});

    Canvas outlineOnly, fillOnly;
    outlineOnly.DrawPolygon(&box, 0, 0, 0, 255, 255, 255, 0, 0);
    fillOnly.DrawPolygon(&box, 255, 0, 0, 255, 0, 255, 0, 0);
    ExpectPixels(outlineOnly, {{50, 40, kClear}, {20, 40, kRed}});
    ExpectPixels(fillOnly, {{50, 40, kBlue}});
    EXPECT_EQ(CountAlong(fillOnly, 0, 40, 1, 0, 120, kRed), 0);
}

TEST(Lines, FramesShadowsAndEmboss)
{
    CRect frame(10, 10, 50, 40);
    Canvas plain;
    plain.WireRect(&frame, 255, 255, 0, 0, 1.0f);
    ExpectPixels(plain, {{10, 25, kRed}, {50, 25, kRed}, {30, 40, kRed}, {30, 25, kClear}});

    // The shadow is the frame moved one pixel right and down, black at alpha a - 50 (none below 50).
    Canvas shadowed, faint, dashed;
    shadowed.WireRect(&frame, 255, 255, 0, 0, 1.0f, 1);
    faint.WireRect(&frame, 40, 255, 0, 0, 1.0f, 1);
    dashed.WireRect(&frame, 255, 255, 0, 0, 1.0f, 1, Gdiplus::DashStyleDash);
    ExpectPixels(shadowed, {{50, 25, kRed}, {51, 25, 0xCD000000u}, {30, 41, 0xCD000000u}, {9, 25, kClear}});
    ExpectPixels(faint, {{51, 25, kClear}});
    EXPECT_EQ(CountAlong(dashed, 51, 12, 0, 1, 28, 0xCD000000), 28);  // solid shadow under a dashed frame
    int frameDots = CountAlong(dashed, 50, 12, 0, 1, 28, kRed);
    EXPECT_GT(frameDots, 5);
    EXPECT_LT(frameDots, 28);

    // Raised: light left and top, dark right and bottom; sunken the other way round.
    const Gdiplus::ARGB light = 0xFFFAFAFA, dark = 0xFF787878;
    Canvas raised, sunken;
    raised.WireRectEmboss(10, 10, 40, 30, 1.0f, 0);
    sunken.WireRectEmboss(10, 10, 40, 30, 1.0f, 1);
    ExpectPixels(raised, {{10, 25, light}, {30, 10, light}, {50, 25, dark}, {30, 40, dark}, {30, 25, kClear}});
    ExpectPixels(sunken, {{10, 25, dark}, {30, 10, dark}, {50, 25, light}, {30, 40, light}});
}

TEST(Lines, ArrowPolygonAndCircles)
{
    // (10, 10)-(40, 40): third 10, half 15; points (10,10) (40,10) (40,30) (25,40) (10,30), left side open.
    Canvas arrow;
    CRect box(10, 10, 40, 40);
    arrow.RectArrow(&box, 0, 255, 0, 0, 12345);
    ExpectPixels(arrow, {{25, 10, kRed}, {40, 30, kRed}, {40, 35, kClear}, {10, 20, kClear}, {25, 25, kClear}});
    EXPECT_TRUE(PixelOf(arrow, 25, 40) == kRed || PixelOf(arrow, 25, 39) == kRed);

    Canvas triangle;
    Gdiplus::Point points[] = {{20, 20}, {100, 20}, {20, 80}, {110, 85}};
    triangle.Polygon(points, 0, 0, 0, 255, 3);
    // (20, 50): closed back to the first point; (100, 84): beyond the count.
    ExpectPixels(triangle, {{60, 20, kBlue}, {20, 50, kBlue}, {40, 40, kClear}, {100, 84, kClear}});
    int width = CountAlong(triangle, 60, 16, 0, 1, 8, kBlue);
    EXPECT_GE(width, 2);
    EXPECT_LE(width, 3);

    // The circle fills the square (10, 10, 20, 20); the flagged border is black whatever the fill.
    const Gdiplus::ARGB green = 0xFF00FF00;
    Canvas bordered, unbordered, outlined;
    bordered.Circle(10, 10, 20, 255, 0, 255, 0, 2.0f, 7);
    unbordered.Circle(10, 10, 20, 255, 0, 255, 0, 2.0f, 0);
    outlined.Circle(10, 10, 20, 128, 0, 0, 255, 255, 0, 0, 2.0f);
    ExpectPixels(bordered,
                 {{20, 20, green}, {11, 11, kClear}, {33, 20, kClear}, {20, 10, 0xFF000000u}, {20, 29, 0xFF000000u}});
    EXPECT_EQ(CountAlong(unbordered, 0, 20, 1, 0, 120, 0xFF000000), 0);
    ExpectPixels(outlined, {{20, 20, 0x800000FFu}, {20, 10, kRed}});
}

TEST(Fills, AreasLighterBordersAndPlusSign)
{
    Canvas solid;
    solid.FillRect(10, 20, 30, 40, 255, 10, 20, 30);
    ExpectPixels(solid, {{10, 20, 0xFF0A141Eu}, {39, 59, 0xFF0A141Eu}, {40, 30, kClear}, {20, 60, kClear}});

    // Alpha 0: nothing inside, a border of (50, 60, 70, 80), which loses a few steps to premultiplying.
    CRect area(10, 10, 50, 40);
    Canvas clear, bright, twoColours;
    clear.FillRect(&area, 0, 10, 20, 30, 0);
    ExpectPixels(clear, {{30, 25, kClear}, {10, 25, 0x323C4650u, 5}, {50, 25, 0x323C4650u, 5}});
    EXPECT_EQ(PixelOf(clear, 30, 40) >> 24, 50u);
    // Alpha 230 and red 220 are held at 255; blue 204 just reaches 254.
    bright.FillRect(10, 10, 40, 30, 230, 220, 100, 204, 0);
    ExpectPixels(bright, {{10, 25, 0xFFFF96FEu}, {30, 25, 0xE6DC64CCu, 1}});
    twoColours.FillRect(10, 10, 40, 30, Gdiplus::Color(0x00FFFFFF), Gdiplus::Color(kRed));
    ExpectPixels(twoColours, {{10, 25, kRed}, {30, 25, kClear}});

    // 21 x 21 at (20, 20): centre (30, 30), strokes (30, 25)-(30, 35) and (25, 30)-(35, 30) in the
    // border colour. 22 x 22: centre (31, 31).
    const Gdiplus::ARGB fill = 0xFF646464, border = 0xFF969696;
    Canvas odd, even;
    CRect oddArea(20, 20, 41, 41), evenArea(20, 20, 42, 42);
    odd.FillRect(&oddArea, 255, 100, 100, 100, 0, 1);
    even.FillRect(&evenArea, 255, 100, 100, 100, 0, 1);
    ExpectPixels(odd, {{30, 26, border}, {30, 34, border}, {26, 30, border}, {34, 30, border}});
    ExpectPixels(odd, {{30, 23, fill}, {37, 30, fill}, {29, 27, fill}});
    ExpectPixels(even, {{31, 27, border}, {30, 27, fill}});
}

TEST(Fills, HatchIsBlackOnWhiteAndAlignedToTheCanvas)
{
    Canvas area, whole, vertical, invalid;
    area.FillPatternRect(10, 10, 30, 30, Gdiplus::HatchStyleHorizontal);
    whole.FillPattern(Gdiplus::HatchStyleHorizontal);
    vertical.FillPatternRect(10, 10, 30, 30, Gdiplus::HatchStyleVertical);
    invalid.FillPatternRect(10, 10, 30, 30, 99);
    int black = 0, white = 0;
    for (int y = 10; y < 40; ++y) {
        EXPECT_TRUE(RowIsUniform(area, y, 10, 39)) << "row " << y;
        for (int x = 10; x < 40; ++x) {
            Gdiplus::ARGB p = PixelOf(area, x, y);
            black += p == 0xFF000000;
            white += p == 0xFFFFFFFF;
            EXPECT_EQ(p, PixelOf(whole, x, y));
        }
    }
    EXPECT_EQ(black + white, 900);
    EXPECT_GT(black, 30);
    EXPECT_GT(white, 500);
    ExpectPixels(area, {{9, 20, kClear}, {40, 20, kClear}, {20, 40, kClear}});
    EXPECT_NE(PixelOf(whole, 100, 80), kClear);
    EXPECT_FALSE(RowIsUniform(vertical, 20, 10, 39));
    ExpectPixels(invalid, {{20, 20, kClear}});  // beyond the engine's styles
}

TEST(Gradients, EndPointsOfEachFormAndTheHalfMirror)
{
    // Whole canvas: (0, 0) to (0, height); every row one colour.
    Canvas whole(100, 50);
    whole.FillGradientRect(255, 255, 0, 0, 255, 0, 0, 255);
    for (int y : {0, 25, 49}) {
        EXPECT_TRUE(RowIsUniform(whole, y, 0, 99));
        EXPECT_TRUE(Near(PixelOf(whole, 50, y), RedToBlue(y, 0, 50), 3)) << "row " << y;
    }
    // A CRect: (0, top) to (0, bottom); four ints: to one row below the area.
    CRect rect(5, 20, 60, 60);
    Canvas byRect, byInts;
    byRect.FillGradientRect(&rect, 255, 255, 0, 0, 255, 0, 0, 255);
    byInts.FillGradientRect(5, 20, 55, 40, 255, 255, 0, 0, 255, 0, 0, 255);
    ExpectPixels(byRect, {{30, 20, RedToBlue(20, 20, 60), 3}, {30, 59, RedToBlue(59, 20, 60), 3}});
    ExpectPixels(byInts, {{30, 59, RedToBlue(59, 20, 61), 3}});
    EXPECT_FALSE(Near(PixelOf(byInts, 30, 59), PixelOf(byRect, 30, 59), 3));
    for (CFxPictor* c : {&byRect, &byInts})
        ExpectPixels(*c, {{30, 19, kClear}, {30, 60, kClear}, {4, 40, kClear}, {60, 40, kClear}});

    // Rightwards: (x, 0) to (x + width, 0), every column one colour; the whole canvas to (width, 0).
    Canvas across(120, 80), wide(100, 20);
    across.FillGradientRectH(10, 20, 100, 40, 255, 255, 0, 0, 255, 0, 0, 255);
    wide.FillGradientRectH(255, 255, 0, 0, 255, 0, 0, 255);
    for (int x : {10, 60, 109}) {
        EXPECT_EQ(PixelOf(across, x, 20), PixelOf(across, x, 59));
        EXPECT_TRUE(Near(PixelOf(across, x, 40), RedToBlue(x, 10, 110), 3)) << "column " << x;
    }
    ExpectPixels(across, {{50, 19, kClear}, {50, 60, kClear}});
    ExpectPixels(wide, {{99, 0, RedToBlue(99, 0, 100), 3}});

    // Half-transparent colours go over what is there.
    Canvas over(100, 20);
    over.Clear(255, 255, 255, 255);
    over.FillGradientRectH(128, 255, 0, 0, 128, 255, 0, 0);
    ExpectPixels(over, {{50, 10, 0xFFFF7F7F, 2}});

    // (0, 0, 40, 11): half 5; upper (0,0)->(0,6) over rows 0-4, lower (0,11)->(0,4) over rows 5-10.
    Canvas half(60, 20);
    half.FillGradientRectHalf(0, 0, 40, 11, 255, 255, 0, 0, 255, 0, 0, 255);
    for (int y = 0; y <= 4; ++y) EXPECT_TRUE(Near(PixelOf(half, 20, y), RedToBlue(y, 0, 6), 3)) << "row " << y;
    for (int y = 5; y <= 10; ++y) EXPECT_TRUE(Near(PixelOf(half, 20, y), RedToBlue(y, 11, 4), 3)) << "row " << y;
    ExpectPixels(half, {{20, 11, kClear}, {40, 5, kClear}});

    Canvas wholeHalf(30, 11);
    wholeHalf.FillGradientRectHalf(255, 255, 0, 0, 255, 0, 0, 255);
    for (int y = 0; y < 11; ++y) EXPECT_EQ(PixelOf(wholeHalf, 10, y), PixelOf(half, 20, y)) << "row " << y;
    // Height 1: only the lower band, from (0, 1) to (0, -1).
    Canvas oneRow(30, 1);
    oneRow.FillGradientRectHalf(255, 255, 0, 0, 255, 0, 0, 255);
    ExpectPixels(oneRow, {{10, 0, RedToBlue(0, 1, -1), 3}});
}

TEST(RoundRects, OutlinePathCornersAreExactAndLeaveThePageUnit)
{
    CFxPictor none;
    Gdiplus::GraphicsPath path;
    path.AddLine(200, 200, 300, 300);  // discarded

    // Boxes (0,0,16,16), (83,0,16,16), (83,33,16,16), (0,33,16,16): right side 99, bottom 49.
    none.GetRoundRectPath(&path, Gdiplus::Rect(0, 0, 100, 50), 16);
    ExpectCorners(path, {{0, 8}, {8, 0}, {91, 0}, {99, 8}, {99, 41}, {91, 49}, {8, 49}, {0, 41}});
    std::vector<BYTE> types(path.GetPointCount());
    path.GetPathTypes(types.data(), static_cast<INT>(types.size()));
    int starts = 0;
    for (BYTE t : types) starts += (t & 0x07) == 0;
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(types.back() & 0x80, 0x80);  // one closed figure

    // Diameter 20: the last three corners in 21 x 21 boxes at (78,0), (78,28), (0,28).
    none.GetRoundRectPath(&path, Gdiplus::Rect(0, 0, 100, 50), 20);
    ExpectCorners(path, {{0, 10}, {10, 0}, {88.5f, 0}, {99, 10.5f}, {99, 38.5f}, {88.5f, 49}, {10.5f, 49}, {0, 38.5f}});

    // 40 on (0, 0, 30, 10) is held to 10: boxes (0,0), (19,0), (19,-1), (0,-1).
    none.GetRoundRectPath(&path, Gdiplus::Rect(0, 0, 30, 10), 40);
    ExpectCorners(path, {{0, 5}, {5, 0}, {24, 0}, {29, 5}, {29, 4}, {24, 9}, {5, 9}, {0, 4}});
    none.GetRoundRectPath(nullptr, Gdiplus::Rect(0, 0, 30, 10), 4);

    // Its own outline and a call that draws nothing leave the page unit as they found it.
    Canvas c;
    const Gdiplus::Unit before = c.m_pGraphics->GetPageUnit();
    ASSERT_NE(before, Gdiplus::UnitPixel);
    Gdiplus::GraphicsPath ownPath;
    c.GetRoundRectPath(&ownPath, Gdiplus::Rect(0, 0, 40, 40), 10);
    c.RectRound(10, 10, 50, 40, 255, 0, 0, 255, 8, 1);
    EXPECT_EQ(c.m_pGraphics->GetPageUnit(), before);
    // It reaches x + width and y + height themselves.
    ExpectPixels(c, {{10, 30, kBlue}, {60, 30, kBlue}, {35, 50, kBlue}, {59, 30, kClear}, {10, 10, kClear}});

    Canvas untouched, reference;
    untouched.FillRectRound(0, 0, 120, 90, 255, 255, 0, 0, 5, 5, 5);
    EXPECT_EQ(DifferingPixels(untouched, reference), 0);
    EXPECT_EQ(untouched.m_pGraphics->GetPageUnit(), before);
}

TEST(RoundRects, ThickOutlinesAreNestedInsetOutlines)
{
    // Thickness 3 on (10, 10, 50, 40): the last outline is (12, 12, 46, 36), right at 57, bottom at 47.
    const Gdiplus::ARGB ink = 0xFF204080;
    Canvas thick;
    thick.DrawRoundRect(10, 10, 50, 40, 255, 0x20, 0x40, 0x80, 4, 3);
    EXPECT_EQ(CountAlong(thick, 8, 30, 1, 0, 6, ink), 3);   // columns 10-12
    EXPECT_EQ(CountAlong(thick, 55, 30, 1, 0, 6, ink), 3);  // columns 57-59
    EXPECT_EQ(CountAlong(thick, 35, 8, 0, 1, 6, ink), 3);   // rows 10-12
    EXPECT_EQ(CountAlong(thick, 35, 45, 0, 1, 6, ink), 3);  // rows 47-49
    EXPECT_EQ(PixelOf(thick, 35, 30), kClear);
    EXPECT_EQ(thick.m_pGraphics->GetPageUnit(), Gdiplus::UnitPixel);
    for (int thickness : {1, 0, -2}) {
        Canvas thin;
        thin.DrawRoundRect(10, 10, 50, 40, 255, 0x20, 0x40, 0x80, 4, thickness);
        EXPECT_EQ(CountAlong(thin, 8, 30, 1, 0, 6, ink), 1) << thickness;
        ExpectPixels(thin, {{59, 30, ink}, {35, 49, ink}, {10, 10, kClear}});  // (10, 10): a rounded corner
    }
}

namespace {

// The nested outlines as the plain inset loop draws them, every one of them.
void EveryNestedOutline(CFxPictor& canvas, int x, int y, int w, int h, int radius, int thickness)
{
    canvas.m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::Pen pen(Gdiplus::Color(0x80204080), 1.0f);
    Gdiplus::GraphicsPath path;
    auto draw = [&] {
        canvas.GetRoundRectPath(&path, Gdiplus::Rect(x, y, w, h), 2 * radius);
        canvas.m_pGraphics->DrawPath(&pen, &path);
    };
    draw();
    for (int i = 1; i < thickness && w >= 0 && h >= 0; ++i) {
        ++x, w -= 2;
        draw();
        ++y, h -= 2;
        draw();
    }
}

}  // namespace

// Outlines that cannot reach the canvas are passed over, but every one that can is drawn as the inset loop
// draws it: overlapping half-transparent outlines show any that went missing or came twice.
TEST(RoundRects, ThickOutlinesReachingPastTheCanvasDrawAsEveryInsetOutline)
{
    struct Case {
        int x, y, w, h, radius, thickness;
        bool turned;
    };
    const Case cases[] = {
        {-500, -400, 1200, 1000, 6, 700, false},    // sweeps across the canvas from outside
        {-1500, -1500, 3100, 3100, 1600, 1600, false},  // nearly a circle around the canvas
        {20, -2000, 60, 5000, 40, 100, false},      // a tall strip through it
        {-100, -100, 300, 260, 10, 200, false},     // the diameter-20 corners
        {-200, -150, 500, 400, -8, 300, false},     // a negative radius
        {-300, -300, 800, 700, 50, 500, true},      // turned 30 degrees about the canvas's middle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y) + " radius " + std::to_string(c.radius));
        Canvas passedOver(100, 80), every(100, 80);
        for (Canvas* canvas : {&passedOver, &every})
            if (c.turned) {
                canvas->m_pGraphics->TranslateTransform(50, 40);
                canvas->m_pGraphics->RotateTransform(30);
                canvas->m_pGraphics->TranslateTransform(-50, -40);
            }
        passedOver.DrawRoundRect(c.x, c.y, c.w, c.h, 0x80, 0x20, 0x40, 0x80, c.radius, c.thickness);
        EveryNestedOutline(every, c.x, c.y, c.w, c.h, c.radius, c.thickness);
        Canvas blank(100, 80);
        EXPECT_EQ(DifferingPixels(passedOver, every), 0);
        // Inked, unless the radius is negative: the engine draws no arc of a negative size.
        EXPECT_TRUE(c.radius < 0 || DifferingPixels(every, blank) > 100);
    }
}

TEST(RoundRects, FillsOutlinesAndCorners)
{
    const Gdiplus::ARGB fill = 0xFF3366CC;
    CRect rect(10, 10, 60, 50);
    Canvas outlined, wide, fillOnly;
    outlined.FillRoundRect(&rect, 255, 0x33, 0x66, 0xCC, 255, 255, 0, 0, 6);
    wide.FillRoundRect(10, 10, 50, 40, 255, 0x33, 0x66, 0xCC, 255, 255, 0, 0, 5, 6);
    fillOnly.FillRoundRect(&rect, 255, 0x33, 0x66, 0xCC, 6);
    ExpectPixels(outlined, {{35, 30, fill}, {10, 30, kRed}, {59, 30, kRed}, {35, 49, kRed}});
    ExpectPixels(outlined, {{60, 30, kClear}, {10, 10, kClear}, {59, 49, kClear}});
    EXPECT_GE(CountAlong(wide, 6, 30, 1, 0, 10, kRed), 4);
    ExpectPixels(fillOnly, {{10, 30, fill}, {10, 10, kClear}});
    EXPECT_EQ(CountAlong(fillOnly, 0, 30, 1, 0, 120, kRed), 0);
    for (CFxPictor* c : {&outlined, &wide, &fillOnly}) EXPECT_EQ(c->m_pGraphics->GetPageUnit(), Gdiplus::UnitPixel);

    // A dashed stroke drawn before leaves the next fill's edge whole.
    Canvas afterDash, alone;
    for (CFxPictor* c : {&afterDash, &alone}) c->SetSmoothModeHighQuility();
    afterDash.Line(0, 85, 40, 85, 255, 0, 0, 0, 1.0f, Gdiplus::DashStyleDash, Gdiplus::LineCapFlat,
                   Gdiplus::LineCapFlat);
    afterDash.FillRoundRect(&rect, 255, 0x33, 0x66, 0xCC, 6);
    alone.FillRoundRect(&rect, 255, 0x33, 0x66, 0xCC, 6);
    EXPECT_EQ(DifferingPixels(afterDash, alone, 80), 0);
}

TEST(RoundRects, GradientsRunOverCanvasRows)
{
    // The int form runs from row 0 to the canvas's height, whatever the area.
    Canvas tall(60, 200);
    tall.FillGradientRoundRectV(10, 100, 40, 50, 255, 255, 0, 0, 255, 0, 0, 255, 4);
    ExpectPixels(tall, {{30, 100, RedToBlue(100, 0, 200), 3}, {30, 148, RedToBlue(148, 0, 200), 3}, {10, 100, kClear}});
    EXPECT_EQ(tall.m_pGraphics->GetPageUnit(), Gdiplus::UnitPixel);

    // The CRect forms run from row 0 to the row at the rectangle's height, repeating below it.
    Canvas rounded(60, 120), up(80, 100);
    CRect atTop(10, 0, 60, 30), below(10, 30, 60, 60);
    for (CRect* r : {&atTop, &below}) {
        rounded.FillGradientRoundRectV(r, 255, 255, 0, 0, 255, 0, 0, 255, 4);
        up.FillUpSideRoundRect(r, 255, 255, 0, 0, 255, 0, 0, 255, 8);
    }
    for (CFxPictor* c : {&rounded, &up}) {
        ExpectPixels(
            *c, {{35, 0, RedToBlue(0, 0, 30), 3}, {35, 28, RedToBlue(28, 0, 30), 3}, {35, 45, PixelOf(*c, 35, 15), 2}});
    }
    // Upper corners rounded, lower corners square.
    ExpectPixels(up, {{10, 0, kClear}, {11, 58, PixelOf(up, 35, 58)}});
    EXPECT_EQ(up.m_pGraphics->GetPageUnit(), Gdiplus::UnitPixel);

    // The solid form reaches the right edge itself, one column beyond the shared outline's fill.
    Canvas solidUp, shared;
    CRect r(10, 20, 60, 60);
    solidUp.FillUpSideRoundRect(&r, 255, 0, 0, 255, 8);
    shared.FillRoundRect(&r, 255, 0, 0, 255, 8);
    int upRight = 0, sharedRight = 0;
    for (int x = 0; x < 120; ++x) {
        if (PixelOf(solidUp, x, 40) == kBlue) upRight = x;
        if (PixelOf(shared, x, 40) == kBlue) sharedRight = x;
    }
    EXPECT_EQ(upRight, sharedRight + 1);
    ExpectPixels(solidUp, {{10, 59, kBlue}, {10, 20, kClear}});
}

TEST(Shapes, StrokesAndFillsKeepTheContextSettings)
{
    Canvas c;
    c.SetSmoothModeHighQuility();
    c.MatrixTransform(1, 0, 0, 1, 3, 4);
    const Gdiplus::Unit unit = c.m_pGraphics->GetPageUnit();
    CRect rect(5, 5, 30, 30);
    Gdiplus::GraphicsPath path;
    path.AddLine(0, 0, 20, 20);
    Gdiplus::Point points[] = {{1, 1}, {20, 1}, {10, 20}};
    c.Line(0, 0, 50, 50, 255, 1, 2, 3, 1.0f);
    c.DrawPolygon(&path, 255, 1, 2, 3, 255, 4, 5, 6);
    c.WireRect(&rect, 255, 1, 2, 3, 1.0f, 1, Gdiplus::DashStyleDot);
    c.WireRectEmboss(5, 5, 20, 20, 1.0f, 1);
    c.RectArrow(&rect, 255, 1, 2, 3, 0);
    c.Polygon(points, 255, 1, 2, 3, 3);
    c.Circle(5, 5, 20, 255, 1, 2, 3, 1.0f, 1);
    c.FillPatternRect(5, 5, 20, 20, 5);
    c.FillRect(&rect, 255, 1, 2, 3, 0, 1);
    c.FillGradientRectHalf(5, 5, 20, 20, 255, 1, 2, 3, 255, 4, 5, 6);
    EXPECT_EQ(c.m_pGraphics->GetSmoothingMode(), Gdiplus::SmoothingModeAntiAlias);
    EXPECT_EQ(c.m_pGraphics->GetPageUnit(), unit);
    Gdiplus::Matrix world;
    c.m_pGraphics->GetTransform(&world);
    EXPECT_FLOAT_EQ(world.OffsetX(), 3.0f);
    EXPECT_FLOAT_EQ(world.OffsetY(), 4.0f);
    EXPECT_NE(PixelOf(c, 31, 32), kClear);  // (5, 5, 25, 25) moved to (8, 9)
}
