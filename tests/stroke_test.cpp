// Anti-aliased outlines drawn by the layer's stroker: every pen family lands on the same pixels whatever
// route the coordinates take to the device; pens widen with the transform and never draw thinner than a
// pixel; caps, joins and inset pens have GDI+'s geometry; hostile input stays bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

const int kSide = 120;
const int kLast = kSide - 1;

using Canvas = pictor_test::CoverageCanvas<kSide>;

using Shape = std::function<Status(Graphics&, const Pen&)>;
using pictor_test::ExpectPixels;
using pictor_test::PixelMap;

std::vector<std::pair<const char*, Shape>> Shapes()
{
    return {
        {"line", [](Graphics& g, const Pen& p) { return g.DrawLine(&p, 20.3f, 30.6f, 95.1f, 70.4f); }},
        {"whole line", [](Graphics& g, const Pen& p) { return g.DrawLine(&p, 20, 40, 90, 40); }},
        {"lines",
         [](Graphics& g, const Pen& p) {
             const PointF points[] = {{15.5f, 90.0f}, {40.2f, 20.7f}, {60.0f, 80.3f}, {95.4f, 25.0f}};
             return g.DrawLines(&p, points, 4);
         }},
        {"rectangle", [](Graphics& g, const Pen& p) { return g.DrawRectangle(&p, 20, 25, 70, 50); }},
        {"polygon",
         [](Graphics& g, const Pen& p) {
             const PointF points[] = {{14.2f, 19.5f}, {88.0f, 30.3f}, {60.6f, 91.1f}, {45.0f, 50.0f}};
             return g.DrawPolygon(&p, points, 4);
         }},
        {"arc", [](Graphics& g, const Pen& p) { return g.DrawArc(&p, 20.5f, 15.0f, 70.0f, 80.0f, 30.0f, 250.0f); }},
        {"bezier", [](Graphics& g, const Pen& p) { return g.DrawBezier(&p, 15, 90, 30, 5, 90, 110, 100, 20); }},
        {"open path",
         [](Graphics& g, const Pen& p) {
             GraphicsPath path;
             path.AddLine(20.0f, 20.0f, 60.0f, 30.0f);
             path.AddBezier(60.0f, 30.0f, 100.0f, 40.0f, 90.0f, 90.0f, 40.0f, 95.0f);
             return g.DrawPath(&p, &path);
         }},
    };
}

std::vector<std::pair<const char*, std::function<void(Pen&)>>> PenFamilies()
{
    return {
        {"flat, miter", [](Pen&) {}},
        {"round caps and joins",
         [](Pen& p) {
             p.SetLineCap(LineCapRound, LineCapRound, DashCapRound);
             p.SetLineJoin(LineJoinRound);
         }},
        {"square and triangle caps, bevel",
         [](Pen& p) {
             p.SetLineCap(LineCapSquare, LineCapTriangle, DashCapFlat);
             p.SetLineJoin(LineJoinBevel);
         }},
        {"dash-dot, round dash caps, anchors",
         [](Pen& p) {
             p.SetDashStyle(DashStyleDashDot);
             p.SetDashOffset(0.5f);
             p.SetLineCap(LineCapArrowAnchor, LineCapDiamondAnchor, DashCapRound);
         }},
        {"custom dashes, clipped miters",
         [](Pen& p) {
             const REAL pattern[] = {2.0f, 1.5f, 0.5f, 1.0f};
             p.SetDashPattern(pattern, 4);
             p.SetLineJoin(LineJoinMiterClipped);
             p.SetMiterLimit(1.5f);
         }},
        {"arrow caps, outlined at the start, filled at the end",
         [](Pen& p) {
             AdjustableArrowCap outlined(3.0f, 2.0f, FALSE), filled(4.0f, 4.0f, TRUE);
             filled.SetMiddleInset(1.0f);
             p.SetCustomStartCap(&outlined);
             p.SetCustomEndCap(&filled);
         }},
    };
}

struct Route {
    const char* name;
    std::function<void(Graphics&)> set;
    PixelMap map;
};

std::vector<Route> Routes()
{
    return {
        {"translation", [](Graphics& g) { g.TranslateTransform(7, -5); },
         [](int x, int y, int* tx, int* ty) { *tx = x + 7, *ty = y - 5; }},
        {"quarter turn clockwise",
         [](Graphics& g) {
             Matrix turn(0, 1, -1, 0, REAL(kLast), 0);
             g.SetTransform(&turn);
         },
         [](int x, int y, int* tx, int* ty) { *tx = kLast - y, *ty = x; }},
        {"quarter turn anticlockwise",
         [](Graphics& g) {
             Matrix turn(0, -1, 1, 0, 0, REAL(kLast));
             g.SetTransform(&turn);
         },
         [](int x, int y, int* tx, int* ty) { *tx = y, *ty = kLast - x; }},
    };
}

// The ink of column x (or row y when `row`), in pixels.
double InkAcross(const Canvas& c, int at, bool row)
{
    double sum = 0;
    for (int k = 0; k < kSide; ++k) sum += row ? c.At(k, at) : c.At(at, k);
    return sum / 255.0;
}

}  // namespace

TEST(Stroke, EveryPenFamilyLandsOnTheSamePixelsThroughTranslationAndQuarterTurns)
{
    for (const auto& [shapeName, shape] : Shapes())
        for (const auto& [penName, style] : PenFamilies()) {
            Pen pen(Color(Color::Black), 3.0f);
            style(pen);
            Canvas plain;
            ASSERT_EQ(shape(plain.graphics, pen), Ok) << shapeName << ", " << penName;
            plain.Read();
            EXPECT_GT(plain.Ink(), 255L * 60) << shapeName << ", " << penName;
            for (const Route& route : Routes()) {
                Canvas moved;
                route.set(moved.graphics);
                ASSERT_EQ(shape(moved.graphics, pen), Ok);
                moved.Read();
                EXPECT_LE(plain.LargestDifference(moved, route.map), 2)
                    << shapeName << ", " << penName << ", " << route.name;
            }
        }
}

TEST(Stroke, WidthFollowsTheTransformWithAOnePixelMinimum)
{
    // Three times wider across a vertical line under ScaleTransform(3, 1); as wide along a horizontal one.
    Canvas stretched;
    stretched.graphics.ScaleTransform(3, 1);
    Pen pen(Color(Color::Black), 2.0f);
    stretched.graphics.DrawLine(&pen, 20.0f, 10.0f, 20.0f, 50.0f);
    stretched.graphics.DrawLine(&pen, 5.0f, 80.0f, 35.0f, 80.0f);
    stretched.Read();
    EXPECT_NEAR(InkAcross(stretched, 30, true), 6.0, 0.05);
    EXPECT_NEAR(InkAcross(stretched, 90, false), 2.0, 0.05);
    EXPECT_EQ(stretched.At(90, 80), 255);

    // A shear slants a vertical line's width along the rows: still 2 pixels across each row.
    Canvas sheared;
    Matrix shear(1, 0, 0.5f, 1, 0, 0);
    sheared.graphics.SetTransform(&shear);
    sheared.graphics.DrawLine(&pen, 30.0f, 10.0f, 30.0f, 100.0f);
    sheared.Read();
    EXPECT_NEAR(InkAcross(sheared, 50, true), 2.0, 0.05);

    // Pens of no width, or thinner than a pixel on the device, draw a pixel wide.
    for (const REAL width : {0.0f, 1.0f}) {
        Canvas thin;
        thin.graphics.ScaleTransform(0.25f, 0.25f);
        Pen narrow(Color(Color::Black), width);
        thin.graphics.DrawLine(&narrow, 40.0f, 160.0f, 400.0f, 160.0f);
        thin.Read();
        EXPECT_NEAR(InkAcross(thin, 50, false), 1.0, 0.05) << width;
        EXPECT_EQ(thin.At(50, 40), 255) << width;
    }
}

TEST(Stroke, CapsAndJoinsHaveGdiplusGeometry)
{
    // Pixel centres lie on whole coordinates: a flat end at x = 10 half covers pixel 10; a square cap
    // reaches half the width further, a round one as far on the line's middle only.
    Canvas ends;
    Pen flat(Color(Color::Black), 1.0f), square(Color(Color::Black), 2.0f), round(Color(Color::Black), 2.0f);
    square.SetLineCap(LineCapSquare, LineCapSquare, DashCapFlat);
    round.SetLineCap(LineCapRound, LineCapRound, DashCapFlat);
    ends.graphics.DrawLine(&flat, 10, 10, 50, 10);
    ends.graphics.DrawLine(&square, 10.0f, 30.5f, 50.0f, 30.5f);
    ends.graphics.DrawLine(&round, 10.0f, 50.5f, 50.0f, 50.5f);
    ends.Read();
    ExpectPixels(ends, {{10, 10, 128}, {11, 10, 255}, {9, 10, 0}, {10, 9, 0}});
    ExpectPixels(ends, {{9, 30, 128}, {9, 31, 128}, {10, 31, 255}, {8, 30, 0}});  // the square cap starts at x = 9
    EXPECT_GT(ends.At(9, 50), 60);  // about 0.31 of the pixel lies inside the round cap
    EXPECT_LT(ends.At(9, 50), 100);

    // A sharp corner beyond the miter limit: LineJoinMiter cuts the miter at the limit, LineJoinMiterClipped
    // bevels it, as GDI+ documents them.
    const PointF vee[] = {{20.0f, 100.0f}, {60.0f, 20.0f}, {100.0f, 100.0f}};
    auto tip = [&](LineJoin join) {
        Canvas c;
        Pen pen(Color(Color::Black), 8.0f);
        pen.SetLineJoin(join);
        pen.SetMiterLimit(2.0f);
        c.graphics.DrawLines(&pen, vee, 3);
        c.Read();
        return std::vector<int>{c.At(60, 16), c.At(60, 13), c.At(60, 10)};
    };
    const std::vector<int> cut = tip(LineJoinMiter), bevel = tip(LineJoinMiterClipped), sharp = tip(LineJoinBevel);
    EXPECT_EQ(cut[0], 255);  // the cut lies 2 x 4 = 8 pixels past the corner, at y = 12
    EXPECT_EQ(cut[2], 0);
    EXPECT_LT(bevel[1], 10);
    EXPECT_EQ(bevel, sharp);
}

TEST(Stroke, CurveEndsAreSquareToTheCurvesExactTangent)
{
    // Both ends of this arch head straight down and up: their flat ends lie on the row y = 100 whatever
    // direction the flattened lines nearest the ends take, on a plain pen and on a compound one's bands.
    // The end whose first control point coincides with it takes its direction from the next one.
    GraphicsPath arch;
    arch.AddBezier(20.0f, 100.0f, 20.0f, 20.0f, 100.0f, 20.0f, 100.0f, 100.0f);
    arch.StartFigure();
    arch.AddBezier(40.0f, 110.0f, 40.0f, 110.0f, 40.0f, 80.0f, 80.0f, 80.0f);
    const REAL halves[] = {0.0f, 0.4f, 0.6f, 1.0f};
    for (bool compound : {false, true}) {
        Canvas c;
        Pen pen(Color(Color::Black), 16.0f);
        if (compound) {
            ASSERT_EQ(pen.SetCompoundArray(halves, 4), Ok);
        }
        ASSERT_EQ(c.graphics.DrawPath(&pen, &arch), Ok);
        c.Read();
        // Inside the bands (12 to 18.4 and 21.6 to 28 across a line at x = 20).
        for (int x : {13, 27, 93, 107}) {
            EXPECT_EQ(c.At(x, 99), 255) << x << ", compound " << compound;
            EXPECT_NEAR(c.At(x, 100), 128, 2) << x << ", compound " << compound;
            EXPECT_EQ(c.At(x, 101), 0) << x << ", compound " << compound;
        }
        for (int x : {33, 47}) {
            EXPECT_EQ(c.At(x, 109), 255) << x << ", compound " << compound;
            EXPECT_EQ(c.At(x, 111), 0) << x << ", compound " << compound;
        }
    }

    // An arrow at a curve's end points along the exact tangent there (here (1, 1), from the last control
    // point): around its tip it draws as on a straight line along that tangent, on a plain pen, a compound
    // one and as a custom cap. The lines nearest the end turn a few degrees away from it.
    const PointF tip(100, 100), along(float(M_SQRT1_2), float(M_SQRT1_2));
    AdjustableArrowCap custom(3.0f, 3.0f, TRUE);
    std::vector<std::unique_ptr<Pen>> pens;
    for (int kind = 0; kind < 3; ++kind) {
        Pen& arrowed = *pens.emplace_back(std::make_unique<Pen>(Color(Color::Black), 8.0f));
        if (kind == 2)
            arrowed.SetCustomEndCap(&custom);
        else
            arrowed.SetEndCap(LineCapArrowAnchor);
        if (kind == 1) {
            ASSERT_EQ(arrowed.SetCompoundArray(halves, 4), Ok);
        }
    }
    for (size_t kind = 0; kind < pens.size(); ++kind) {
        Canvas curve, straight;
        ASSERT_EQ(curve.graphics.DrawBezier(pens[kind].get(), 10.0f, 110.0f, 10.0f, 40.0f, 60.0f, 60.0f, tip.X, tip.Y),
                  Ok);
        ASSERT_EQ(
            straight.graphics.DrawLine(pens[kind].get(), tip.X - 50 * along.X, tip.Y - 50 * along.Y, tip.X, tip.Y), Ok);
        curve.Read();
        straight.Read();
        // The arrow's front, clear of where the line comes out from under it (as far back as the pen is
        // wide): from 6 behind the tip to past it.
        int largest = 0, inked = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const double forward = (x + 0.5 - tip.X) * along.X + (y + 0.5 - tip.Y) * along.Y;
                if (forward < -6 || forward > 2) continue;
                largest = std::max(largest, std::abs(curve.At(x, y) - straight.At(x, y)));
                inked += straight.At(x, y) == 255;
            }
        EXPECT_GT(inked, 10) << kind;
        EXPECT_LE(largest, 2) << kind;
    }
}

// A dashed line's dashes lie where the pattern puts them, in pen widths from the line's start, moved back by
// the dash offset, the last one cut at the line's end: here on whole pixels, so each pixel is all ink or none.
TEST(Stroke, DashesFollowThePatternAndItsOffset)
{
    struct Case {
        DashStyle style;
        REAL offset;
        int on, period, shift;  // in pixels
    };
    const Case cases[] = {
        {DashStyleDash, 0.0f, 6, 8, 0}, {DashStyleDash, 0.5f, 6, 8, 1}, {DashStyleDot, 0.0f, 2, 4, 0}};
    for (const Case& c : cases) {
        Canvas canvas;
        Pen pen(Color(Color::Black), 2.0f);
        pen.SetDashStyle(c.style);
        pen.SetDashOffset(c.offset);
        canvas.graphics.DrawLine(&pen, 9.5f, 20.5f, 69.5f, 20.5f);
        canvas.Read();
        int wrong = 0;
        for (int x = 8; x < 72; ++x) {
            const bool inked = x >= 10 && x <= 69 && (x - 10 + c.shift) % c.period < c.on;
            for (int y : {19, 20, 21, 22}) wrong += canvas.At(x, y) != (inked && (y == 20 || y == 21) ? 255 : 0);
        }
        EXPECT_EQ(wrong, 0) << "style " << c.style << ", offset " << c.offset;
    }
}

TEST(Stroke, ArrowCapsHaveGdiplusSize)
{
    // A 4 x 4 arrow on a 3-pixel pen is 12 long and 12 wide, its tip on the line's end; the line stops
    // under it: the ink is the line up to the arrow's back and the arrow's triangle.
    auto arrowed = [](BOOL isFilled, SmoothingMode mode) {
        auto c = std::make_unique<Canvas>(mode);
        Pen pen(Color(Color::Black), 3.0f);
        AdjustableArrowCap arrow(4.0f, 4.0f, isFilled);
        pen.SetCustomEndCap(&arrow);
        EXPECT_EQ(c->graphics.DrawLine(&pen, 10.0f, 60.5f, 90.0f, 60.5f), Ok);
        c->Read();
        return c;
    };
    const auto filled = arrowed(TRUE, SmoothingModeAntiAlias);
    EXPECT_NEAR(filled->Ink() / 255.0, 68 * 3 + 12 * 12 / 2, 2.0);
    // Columns 78 to 90 (the back at x = 78, the tip at 90), rows 55 to 66 (54.5 to 66.5).
    EXPECT_NEAR(InkAcross(*filled, 77, false), 3.0, 0.05);
    EXPECT_NEAR(InkAcross(*filled, 79, false), 11.0, 0.1);
    EXPECT_NEAR(InkAcross(*filled, 90, false), 0.125, 0.01);  // the tip's last half pixel
    EXPECT_EQ(InkAcross(*filled, 91, false), 0.0);
    EXPECT_GT(InkAcross(*filled, 55, true), 0.0);
    EXPECT_EQ(InkAcross(*filled, 54, true), 0.0);
    EXPECT_GT(InkAcross(*filled, 66, true), 0.0);
    EXPECT_EQ(InkAcross(*filled, 67, true), 0.0);
    // Aliased, about as many whole pixels.
    const auto aliased = arrowed(TRUE, SmoothingModeNone);
    EXPECT_NEAR(aliased->Ink() / 255.0, 68 * 3 + 12 * 12 / 2, 12.0);

    // Outlined, the arrow's two sides are stroked with the pen and its inside stays empty.
    const auto outlined = arrowed(FALSE, SmoothingModeAntiAlias);
    EXPECT_EQ(filled->At(80, 58), 255);
    ExpectPixels(*outlined, {{80, 58, 0}, {80, 63, 0}, {84, 57, 255}});  // (84, 57): the upper side
    EXPECT_NEAR(InkAcross(*outlined, 76, false), 3.0, 0.1);

    // Turned with the line: a vertical line downwards has the same arrow across its rows.
    Canvas down;
    Pen pen(Color(Color::Black), 3.0f);
    AdjustableArrowCap arrow(4.0f, 4.0f, TRUE);
    pen.SetCustomEndCap(&arrow);
    down.graphics.DrawLine(&pen, 60.5f, 10.0f, 60.5f, 90.0f);
    down.Read();
    EXPECT_NEAR(InkAcross(down, 79, true), 11.0, 0.1);
    EXPECT_NEAR(InkAcross(down, 90, true), 0.125, 0.01);
    EXPECT_EQ(InkAcross(down, 91, true), 0.0);
}

TEST(Stroke, CustomCapPathsTurnWithTheLineInPenWidths)
{
    // Cap units are pen widths, the y axis outwards along the line: on a 4-pixel line going down to y = 80,
    // the triangle (-1, -2), (1, -2), (0, 1) spans rows 72 to 84 and is 8 wide at its back.
    GraphicsPath triangle, bar;
    const PointF corners[] = {{-1, -2}, {1, -2}, {0, 1}};
    triangle.AddPolygon(corners, 3);
    CustomLineCap pointed(&triangle, nullptr);
    // A stroke path is stroked with the pen; the base inset of 1 stops the line 4 pixels short.
    bar.AddLine(-2.0f, 0.0f, 2.0f, 0.0f);
    CustomLineCap tee(nullptr, &bar, LineCapFlat, 1.0f);
    Pen first(Color(Color::Black), 4.0f), second(Color(Color::Black), 4.0f);
    first.SetCustomEndCap(&pointed);
    second.SetCustomEndCap(&tee);
    Canvas c;
    c.graphics.DrawLine(&first, 30.5f, 10.0f, 30.5f, 80.0f);
    c.graphics.DrawLine(&second, 90.5f, 10.0f, 90.5f, 80.0f);
    c.Read();
    auto inkInRow = [&](int y, int from, int to) {
        double sum = 0;
        for (int x = from; x < to; ++x) sum += c.At(x, y);
        return sum / 255.0;
    };
    EXPECT_NEAR(inkInRow(71, 0, 60), 4.0, 0.05);
    EXPECT_NEAR(inkInRow(73, 0, 60), 8.0 * 11 / 12, 0.1);
    EXPECT_GT(inkInRow(84, 0, 60), 0.0);
    EXPECT_EQ(inkInRow(85, 0, 60), 0.0);
    EXPECT_NEAR(inkInRow(75, 60, kSide), 4.0, 0.05);
    EXPECT_EQ(inkInRow(77, 60, kSide), 0.0);
    EXPECT_NEAR(inkInRow(80, 60, kSide), 16.0, 0.05);  // the bar: 16 across, from y = 78 to 82
    EXPECT_NEAR(inkInRow(82, 60, kSide), 8.0, 0.05);
    EXPECT_EQ(inkInRow(83, 60, kSide), 0.0);
}

TEST(Stroke, InsetPensCoverTheBandInsideTheShapeInLinearTime)
{
    Pen inset(Color(Color::Black), 6.0f);
    inset.SetAlignment(PenAlignmentInset);
    // The band is the shape less the shape moved in by the width: a rectangle's smaller rectangle, a
    // triangle's copy shrunk about its incentre.
    const PointF triangle[] = {{14.0f, 19.0f}, {100.0f, 30.0f}, {60.0f, 100.0f}};
    std::vector<PointF> innerTriangle;
    {
        double sides[3], cx = 0, cy = 0, perimeter = 0;
        for (int i = 0; i < 3; ++i) {
            const PointF &a = triangle[(i + 1) % 3], &b = triangle[(i + 2) % 3];
            sides[i] = std::hypot(a.X - b.X, a.Y - b.Y);
            cx += sides[i] * triangle[i].X, cy += sides[i] * triangle[i].Y, perimeter += sides[i];
        }
        cx /= perimeter, cy /= perimeter;
        const double area = std::fabs((triangle[1].X - triangle[0].X) * (triangle[2].Y - triangle[0].Y) -
                                      (triangle[2].X - triangle[0].X) * (triangle[1].Y - triangle[0].Y)) /
                            2;
        const double shrink = (2 * area / perimeter - 6.0) / (2 * area / perimeter);
        for (const PointF& p : triangle)
            innerTriangle.emplace_back(float(cx + (p.X - cx) * shrink), float(cy + (p.Y - cy) * shrink));
    }
    struct Case {
        const char* name;
        Shape draw;
        std::function<void(GraphicsPath&)> band;
    };
    const std::vector<Case> cases = {
        {"rectangle", [](Graphics& g, const Pen& p) { return g.DrawRectangle(&p, 20.5f, 25.0f, 70.0f, 50.25f); },
         [](GraphicsPath& band) {
             band.AddRectangle(RectF(20.5f, 25.0f, 70.0f, 50.25f));
             band.AddRectangle(RectF(26.5f, 31.0f, 58.0f, 38.25f));
         }},
        {"triangle", [&](Graphics& g, const Pen& p) { return g.DrawPolygon(&p, triangle, 3); },
         [&](GraphicsPath& band) {
             band.AddPolygon(triangle, 3);
             band.AddPolygon(innerTriangle.data(), 3);
         }},
    };
    SolidBrush ink(Color(Color::Black));
    for (const Case& shape : cases) {
        Canvas drawn, filled;
        ASSERT_EQ(shape.draw(drawn.graphics, inset), Ok);
        GraphicsPath band(FillModeAlternate);
        shape.band(band);
        ASSERT_EQ(filled.graphics.FillPath(&ink, &band), Ok);
        drawn.Read();
        filled.Read();
        EXPECT_GT(drawn.Ink(), 255L * 500) << shape.name;
        EXPECT_LE(drawn.LargestDifference(filled, pictor_test::kSamePlace), 2) << shape.name;
    }

    // A closed polygon of a million points (a circle): the band lies inside it only.
    std::vector<PointF> circle(1000000);
    for (size_t i = 0; i < circle.size(); ++i) {
        const double angle = 2 * M_PI * double(i) / double(circle.size());
        circle[i] = PointF(float(60 + 50 * std::cos(angle)), float(60 + 50 * std::sin(angle)));
    }
    Canvas big;
    ASSERT_EQ(big.graphics.DrawPolygon(&inset, circle.data(), INT(circle.size())), Ok);
    big.Read();
    ExpectPixels(big, {{107, 60, 255}, {111, 60, 0}, {60, 60, 0}});
}

TEST(Stroke, HostileInputStaysBounded)
{
    Canvas c;
    Pen pen(Color(Color::Black), 2.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PointF odd[] = {{10, 10}, {nan, 20}, {1e30f, 1e30f}, {-1e30f, 50}};
    c.graphics.DrawLines(&pen, odd, 4);
    c.graphics.DrawPolygon(&pen, odd + 1, 3);
    // How far off the canvas a line reaches does not change the pixels on it.
    Canvas near, far;
    for (auto [canvas, reach] : {std::pair{&near, 1e7f}, {&far, 1e30f}}) {
        const PointF ends[] = {{10.3f, 10.5f}, {reach, 10.5f}};
        EXPECT_EQ(canvas->graphics.DrawLines(&pen, ends, 2), Ok);
        canvas->Read();
    }
    EXPECT_EQ(near.LargestDifference(far, pictor_test::kSamePlace), 0);
    EXPECT_EQ(far.At(100, 10), 255);

    // Widths of nothing and of a billion; a million-point zigzag, dashed.
    Pen none(Color(Color::Black), 0.0f), huge(Color(Color::Black), 1e9f);
    EXPECT_EQ(c.graphics.DrawLine(&none, 10, 100, 100, 100), Ok);
    Canvas covered;
    EXPECT_EQ(covered.graphics.DrawLine(&huge, 10, 60, 100, 60), Ok);
    covered.Read();
    EXPECT_EQ(covered.At(50, 0), 255);
    std::vector<PointF> zigzag(1000000);
    for (size_t i = 0; i < zigzag.size(); ++i) zigzag[i] = PointF(float(i % 100) + 10.0f, i % 2 ? 50.0f : 51.0f);
    EXPECT_EQ(c.graphics.DrawLines(&pen, zigzag.data(), INT(zigzag.size())), Ok);
    Pen dashed(Color(Color::Black), 1.0f);
    dashed.SetDashStyle(DashStyleDot);
    EXPECT_EQ(c.graphics.DrawLines(&dashed, zigzag.data(), 100000), Ok);
    // Arrow caps scaled past what floats hold, or by not-a-number, on the points above.
    for (const REAL scale : {1e38f, nan}) {
        Pen arrowed(Color(Color::Black), 1e9f);
        AdjustableArrowCap arrow(4.0f, 4.0f, TRUE);
        arrow.SetWidthScale(scale);
        arrowed.SetCustomEndCap(&arrow);
        arrowed.SetCustomStartCap(&arrow);
        c.graphics.DrawLines(&arrowed, odd, 4);
        c.graphics.DrawLines(&arrowed, zigzag.data(), 1000);
    }
    c.Read();
    EXPECT_EQ(c.At(50, 100), 255);
}

TEST(Stroke, AliasedOutlinesTakeWholePixelsAndThinPensOnePixelAcross)
{
    // Every shape and pen family: whole pixels only, the same pixels when moved by whole pixels or clipped
    // by a clip that excludes nothing.
    for (const auto& [shapeName, shape] : Shapes())
        for (const auto& [penName, style] : PenFamilies()) {
            Pen pen(Color(Color::Black), 3.0f);
            style(pen);
            Canvas plain(SmoothingModeNone), moved(SmoothingModeNone), clipped(SmoothingModeNone);
            moved.graphics.TranslateTransform(7, -5);
            clipped.graphics.SetClip(RectF(-500, -500, 2000, 2000));
            for (Canvas* c : {&plain, &moved, &clipped}) {
                ASSERT_EQ(shape(c->graphics, pen), Ok) << shapeName << ", " << penName;
                c->Read();
            }
            EXPECT_GT(plain.Ink(), 255L * 60) << shapeName << ", " << penName;
            EXPECT_EQ(std::count_if(plain.alpha.begin(), plain.alpha.end(), [](int a) { return a != 0 && a != 255; }),
                      0)
                << shapeName << ", " << penName;
            const PixelMap move = [](int x, int y, int* tx, int* ty) { *tx = x + 7, *ty = y - 5; };
            EXPECT_EQ(plain.LargestDifference(moved, move), 0) << shapeName << ", " << penName;
            EXPECT_EQ(plain.LargestDifference(clipped, pictor_test::kSamePlace), 0) << shapeName << ", " << penName;
        }

    // Lines across the middle (Wine's pen thickness cases): pens of 1, 0.1 and 0 world units are a pixel
    // across, 2 pixels are 2, and 2 world units under a page scale of 3 are 6.
    struct Thickness {
        REAL width, scale;
        int pixels;
    };
    for (const Thickness& t : {Thickness{1, 1, 1}, {0.1f, 1, 1}, {0, 1, 1}, {2, 1, 2}, {2, 3, 6}}) {
        Canvas c(SmoothingModeNone);
        c.graphics.ScaleTransform(t.scale, t.scale);
        Pen pen(Color(Color::Black), t.width);
        const REAL middle = 60 / t.scale, end = REAL(kSide) / t.scale;
        c.graphics.DrawLine(&pen, middle, 0.0f, middle, end);
        c.graphics.DrawLine(&pen, 0.0f, middle, end, middle);
        c.Read();
        EXPECT_NEAR(InkAcross(c, 20, true), t.pixels, 0.01) << t.width << " x " << t.scale;
        EXPECT_NEAR(InkAcross(c, 20, false), t.pixels, 0.01) << t.width << " x " << t.scale;
    }

    // A thin pen draws one pixel in each column of a shallow line and each row of a steep one, dashes
    // measured in pixels.
    Canvas thin(SmoothingModeNone);
    Pen one(Color(Color::Black), 1.0f);
    thin.graphics.DrawLine(&one, 10.3f, 20.2f, 90.7f, 96.9f);
    thin.graphics.DrawLine(&one, 104.4f, 5.1f, 116.2f, 115.6f);
    Pen dashed(Color(Color::Black), 0.5f);
    dashed.SetDashStyle(DashStyleDash);  // 3 on, 1 off
    thin.graphics.DrawLine(&dashed, 40.0f, 100.0f, 90.0f, 100.0f);
    thin.Read();
    for (int x = 12; x <= 88; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 98; ++y) inColumn += thin.At(x, y) == 255;
        EXPECT_EQ(inColumn, 1) << x;
    }
    for (int y = 12; y <= 108; ++y) {
        int inRow = 0;
        for (int x = 100; x < kSide; ++x) inRow += thin.At(x, y) == 255;
        EXPECT_EQ(inRow, 1) << y;
    }
    // An inset pen under a clip that excludes nothing takes the pixels it takes unclipped.
    const PointF star[] = {{60, 10}, {72, 90}, {14, 40}, {106, 40}, {48, 90}};
    Pen inset(Color(Color::Black), 4.0f);
    inset.SetAlignment(PenAlignmentInset);
    inset.SetLineJoin(LineJoinBevel);
    Canvas open(SmoothingModeNone), clipped(SmoothingModeNone);
    clipped.graphics.SetClip(RectF(-500, -500, 2000, 2000));
    for (Canvas* c : {&open, &clipped}) {
        ASSERT_EQ(c->graphics.DrawPolygon(&inset, star, 5), Ok);
        c->Read();
    }
    EXPECT_EQ(open.LargestDifference(clipped, pictor_test::kSamePlace), 0);
    const std::vector<int> dashes = {thin.At(40, 100), thin.At(42, 100), thin.At(43, 100), thin.At(44, 100)};
    EXPECT_EQ(dashes, (std::vector<int>{255, 255, 0, 255}));
    // A closed figure's dashes run on along its closing side (the rectangle's left, drawn last).
    Canvas closed(SmoothingModeNone);
    ASSERT_EQ(closed.graphics.DrawRectangle(&dashed, 20, 20, 60, 60), Ok);
    closed.Read();
    int onClosingSide = 0;
    for (int y = 22; y < 78; ++y) onClosingSide += closed.At(20, y) == 255;
    EXPECT_NEAR(onClosingSide, 56 * 3 / 4, 3);
}

TEST(Stroke, CompoundPensDrawOnlyTheirBandsOnEveryShape)
{
    // A circle of radius 40 with a 12-pixel pen banded {0, 0.25, 0.75, 1}: rings 3 pixels thick at radii
    // 34-37 and 43-46, the 6 pixels between them undrawn; read along the radius in four directions.
    const REAL quarters[] = {0.0f, 0.25f, 0.75f, 1.0f};
    Pen rings(Color(Color::Black), 12.0f);
    ASSERT_EQ(rings.SetCompoundArray(quarters, 4), Ok);
    Canvas circle;
    ASSERT_EQ(circle.graphics.DrawEllipse(&rings, 20, 20, 80, 80), Ok);
    circle.Read();
    const int directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& [dx, dy] : directions) {
        const auto at = [&](int r) { return circle.At(60 + dx * r, 60 + dy * r); };
        double inner = 0, outer = 0;
        for (int r = 32; r <= 39; ++r) inner += at(r) / 255.0;
        for (int r = 41; r <= 48; ++r) outer += at(r) / 255.0;
        EXPECT_NEAR(inner, 3.0, 0.1) << dx << ", " << dy;
        EXPECT_NEAR(outer, 3.0, 0.1) << dx << ", " << dy;
        for (int r = 38; r <= 42; ++r) EXPECT_LE(at(r), 2) << dx << ", " << dy << ", " << r;
        EXPECT_EQ(at(35), 255);
        EXPECT_EQ(at(44), 255);
        EXPECT_EQ(at(31) + at(49), 0);
    }

    // Uneven bands keep their sides: a closed polygon lands on the pixels of the rectangle of the same
    // corners (the array's 0 outside), anti-aliased and aliased.
    const REAL uneven[] = {0.0f, 0.2f, 0.6f, 1.0f};
    Pen bands(Color(Color::Black), 12.0f);
    ASSERT_EQ(bands.SetCompoundArray(uneven, 4), Ok);
    const PointF corners[] = {{20, 25}, {90, 25}, {90, 75}, {20, 75}};
    for (const SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        Canvas rectangle(mode), polygon(mode);
        ASSERT_EQ(rectangle.graphics.DrawRectangle(&bands, 20, 25, 70, 50), Ok);
        ASSERT_EQ(polygon.graphics.DrawPolygon(&bands, corners, 4), Ok);
        rectangle.Read();
        polygon.Read();
        EXPECT_LE(rectangle.LargestDifference(polygon, pictor_test::kSamePlace), 2) << mode;
        EXPECT_EQ(polygon.At(55, 24) + polygon.At(20, 50), 0) << mode;  // the gap, on the outline
    }

    // Curves and open figures land on the same pixels through translation and quarter turns.
    const std::pair<const char*, Shape> curves[] = {
        {"ellipse", [](Graphics& g, const Pen& p) { return g.DrawEllipse(&p, 20.5f, 25.0f, 80.0f, 60.0f); }},
        {"arc", [](Graphics& g, const Pen& p) { return g.DrawArc(&p, 20.5f, 15.0f, 70.0f, 80.0f, 30.0f, 250.0f); }},
        {"bezier", [](Graphics& g, const Pen& p) { return g.DrawBezier(&p, 15, 90, 30, 5, 90, 110, 100, 20); }},
    };
    Pen dashed(Color(Color::Black), 12.0f);
    ASSERT_EQ(dashed.SetCompoundArray(uneven, 4), Ok);
    dashed.SetDashStyle(DashStyleDash);
    for (const auto& [shapeName, shape] : curves)
        for (const Pen* pen : {&bands, &dashed}) {
            Canvas plain;
            ASSERT_EQ(shape(plain.graphics, *pen), Ok);
            plain.Read();
            EXPECT_GT(plain.Ink(), 255L * 300) << shapeName;
            for (const Route& route : Routes()) {
                Canvas moved;
                route.set(moved.graphics);
                ASSERT_EQ(shape(moved.graphics, *pen), Ok);
                moved.Read();
                EXPECT_LE(plain.LargestDifference(moved, route.map), 2) << shapeName << ", " << route.name;
            }
        }

    // Hostile input stays bounded: points not a number or far off, a width of a billion, a sharp zigzag
    // whose corners come closer than the bands' offsets (built corner by corner).
    Canvas hostile;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PointF odd[] = {{10, 10}, {nan, 20}, {1e30f, 1e30f}, {-1e30f, 50}};
    EXPECT_EQ(hostile.graphics.DrawPolygon(&bands, odd, 4), Ok);
    Pen huge(Color(Color::Black), 1e9f);
    ASSERT_EQ(huge.SetCompoundArray(uneven, 4), Ok);
    EXPECT_EQ(hostile.graphics.DrawEllipse(&huge, 20, 20, 80, 80), Ok);
    std::vector<PointF> zigzag(100000);
    for (size_t i = 0; i < zigzag.size(); ++i) zigzag[i] = PointF(float(i % 100) + 10.0f, i % 2 ? 50.0f : 58.0f);
    Canvas sharp;
    Pen bevelled(Color(Color::Black), 12.0f);
    ASSERT_EQ(bevelled.SetCompoundArray(uneven, 4), Ok);
    bevelled.SetLineJoin(LineJoinBevel);
    EXPECT_EQ(sharp.graphics.DrawLines(&bevelled, zigzag.data(), INT(zigzag.size())), Ok);
    sharp.Read();
    EXPECT_GT(sharp.Ink(), 255L * 1000);
    for (int x = 0; x < kSide; ++x) EXPECT_EQ(sharp.At(x, 40) + sharp.At(x, 68), 0) << x;  // within the bevelled pen
}

TEST(Stroke, CompoundPensKeepTheirGapsUnderCaps)
{
    // A 16-pixel pen banded {0, 0.25, 0.75, 1} with round caps on the line y = 60 from x = 30 to 90: bands
    // at y 52-56 and 64-68, the gap between undrawn along the line; each cap a half disc of radius 8 over
    // the full width, so the square beyond an end is left out at its corners.
    const REAL quarters[] = {0.0f, 0.25f, 0.75f, 1.0f};
    Pen round(Color(Color::Black), 16.0f);
    ASSERT_EQ(round.SetCompoundArray(quarters, 4), Ok);
    round.SetLineCap(LineCapRound, LineCapRound, DashCapFlat);
    Canvas line;
    ASSERT_EQ(line.graphics.DrawLine(&round, 30, 60, 90, 60), Ok);
    line.Read();
    const std::vector<int> across = {line.At(60, 50), line.At(60, 54), line.At(60, 59), line.At(60, 66),
                                     line.At(60, 69)};
    EXPECT_EQ(across, (std::vector<int>{0, 255, 0, 255, 0}));
    const std::vector<int> ends = {line.At(93, 59), line.At(26, 60), line.At(96, 53), line.At(23, 66), line.At(99, 60)};
    EXPECT_EQ(ends, (std::vector<int>{255, 255, 0, 0, 0}));

    // A pen cannot be both compound and inset, set in either order.
    Pen inset(Color(Color::Black), 16.0f);
    EXPECT_EQ(round.SetAlignment(PenAlignmentInset), NotImplemented);
    ASSERT_EQ(inset.SetAlignment(PenAlignmentInset), Ok);
    EXPECT_EQ(inset.SetCompoundArray(quarters, 4), NotImplemented);

    // Caps, dash caps, anchors and custom caps land on the same pixels when moved or turned.
    Pen anchored(Color(Color::Black), 10.0f), custom(Color(Color::Black), 10.0f);
    for (Pen* pen : {&anchored, &custom}) ASSERT_EQ(pen->SetCompoundArray(quarters, 4), Ok);
    anchored.SetLineCap(LineCapArrowAnchor, LineCapSquare, DashCapTriangle);
    anchored.SetDashStyle(DashStyleDash);
    PenFamilies()[5].second(custom);
    const std::pair<const Pen*, Shape> cases[] = {
        {&round, Shapes()[0].second}, {&anchored, Shapes()[2].second}, {&custom, Shapes()[7].second}};
    for (const auto& [pen, shape] : cases) {
        Canvas plain;
        ASSERT_EQ(shape(plain.graphics, *pen), Ok);
        plain.Read();
        EXPECT_GT(plain.Ink(), 255L * 300);
        for (const Route& route : Routes()) {
            Canvas moved;
            route.set(moved.graphics);
            ASSERT_EQ(shape(moved.graphics, *pen), Ok);
            moved.Read();
            EXPECT_LE(plain.LargestDifference(moved, route.map), 2) << route.name;
        }
    }
}

// GDI+ draws the anchors Widen lists: each anchor cap drawn on a line, or on a bent line, covers what
// filling the widened line covers (the arrow's size and the line stopping short under it included).
TEST(Stroke, AnchorCapsDrawAsWidenListsThem)
{
    const PointF bent[] = {{20.3f, 30.6f}, {60.0f, 85.2f}, {95.1f, 40.4f}};
    for (LineCap cap : {LineCapSquareAnchor, LineCapRoundAnchor, LineCapDiamondAnchor, LineCapArrowAnchor})
        for (INT count : {2, 3}) {
            Pen pen(Color(Color::Black), 6.0f);
            pen.SetLineCap(cap, cap, DashCapFlat);
            Canvas drawn, filled;
            ASSERT_EQ(drawn.graphics.DrawLines(&pen, bent, count), Ok);
            GraphicsPath path(FillModeWinding);
            path.AddLines(bent, count);
            ASSERT_EQ(path.Widen(&pen), Ok);
            SolidBrush black(Color(Color::Black));
            ASSERT_EQ(filled.graphics.FillPath(&black, &path), Ok);
            drawn.Read();
            filled.Read();
            EXPECT_GT(drawn.Ink(), 255L * 400) << cap << ", " << count;
            EXPECT_LE(drawn.LargestDifference(filled, pictor_test::kSamePlace), 2) << cap << ", " << count;
        }
}
