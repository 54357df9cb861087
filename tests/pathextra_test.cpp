// The path family as GDI+ client code uses it: figures built from points and types, arcs and ellipses,
// flattening, widening, warping, hit tests and the iterator. Expected points are Windows' (Wine's
// gdiplus tests record them), to a tenth of a unit unless said otherwise.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

struct Expected {
    REAL x, y;
    BYTE type;
};

void ExpectPath(const GraphicsPath& path, const std::vector<Expected>& expected, REAL fudge = 0.1f)
{
    const INT count = path.GetPointCount();
    ASSERT_EQ(count, static_cast<INT>(expected.size()));
    std::vector<PointF> points(static_cast<size_t>(count));
    std::vector<BYTE> types(static_cast<size_t>(count));
    path.GetPathPoints(points.data(), count);
    path.GetPathTypes(types.data(), count);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(points[i].X, expected[i].x, fudge) << "point " << i;
        EXPECT_NEAR(points[i].Y, expected[i].y, fudge) << "point " << i;
        EXPECT_EQ(types[i], expected[i].type) << "point " << i;
    }
}

const BYTE S = PathPointTypeStart, L = PathPointTypeLine, B = PathPointTypeBezier, C = PathPointTypeCloseSubpath;

}  // namespace

TEST(PathExtra, ArcsAndEllipsesRunAsOnWindows)
{
    GraphicsPath arcs;
    EXPECT_EQ(arcs.AddArc(100.0f, 100.0f, 0.0f, 1.0f, 0.0f, 90.0f), InvalidParameter);
    EXPECT_EQ(arcs.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 0.0f, 90.0f), Ok);
    EXPECT_EQ(arcs.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 0.0f, 100.0f), Ok);
    EXPECT_EQ(arcs.AddArc(100.0f, 100.0f, 500.0f, 700.0f, -80.0f, 100.0f), Ok);
    const std::vector<Expected> arcPoints{
        {600, 450, S},       {600, 643.3f, B},    {488.1f, 800, B},    {350, 800, B},       {600, 450, L},
        {600, 643.3f, B},    {488.1f, 800, B},    {350, 800, B},       {329.8f, 800, B},    {309.7f, 796.6f, B},
        {290.1f, 789.8f, B}, {409.9f, 110.2f, L}, {544.0f, 156.5f, B}, {625.8f, 346.2f, B}, {592.7f, 533.9f, B},
        {592.5f, 535.3f, B}, {592.2f, 536.7f, B}, {592.0f, 538.1f, B}};
    ExpectPath(arcs, arcPoints);

    // An arc starting where the figure stands adds no line; an ellipse runs clockwise from its right.
    GraphicsPath joined;
    joined.AddLine(1.0f, 0.0f, 1.0f, 0.5f);
    joined.AddArc(0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 90.0f);
    ExpectPath(joined, {{1, 0, S}, {1, 0.5f, L}, {1, 0.776142f, B}, {0.776142f, 1, B}, {0.5f, 1, B}}, 1e-5f);
    GraphicsPath ellipse;
    EXPECT_EQ(ellipse.AddEllipse(10.0f, 100.0f, 20.0f, 50.5f), Ok);
    const std::vector<Expected> ellipsePoints{
        {30, 125.25f, S}, {30, 139.2f, B},  {25.52f, 150.5f, B}, {20, 150.5f, B},  {14.48f, 150.5f, B},
        {10, 139.2f, B},  {10, 125.25f, B}, {10, 111.3f, B},     {14.48f, 100, B}, {20, 100, B},
        {25.52f, 100, B}, {30, 111.3f, B},  {30, 125.25f, B | C}};
    ExpectPath(ellipse, ellipsePoints);
}

TEST(PathExtra, PointsAndTypesConstructorDataReverseAndAddPath)
{
    const PointF line[] = {{1, 1}, {2, 1}, {2, 2}};
    BYTE lineTypes[] = {S, L, S};
    GraphicsPath two(line, lineTypes, 2);
    EXPECT_EQ(two.GetLastStatus(), Ok);
    EXPECT_EQ(two.GetPointCount(), 2);
    GraphicsPath trailingStart(line, lineTypes, 3);  // a figure may not end on a start: empty
    EXPECT_EQ(trailingStart.GetPointCount(), 0);
    GraphicsPath none(line, lineTypes, 0);
    EXPECT_EQ(none.GetLastStatus(), OutOfMemory);
    GraphicsPath noTypes(line, nullptr, 2);
    EXPECT_EQ(noTypes.GetLastStatus(), InvalidParameter);
    const PointF bez[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}};
    const BYTE bezTypes[] = {S, B, B, B, B, B, B};
    for (INT n = 2; n <= 7; ++n) EXPECT_EQ(GraphicsPath(bez, bezTypes, n).GetPointCount(), n % 3 == 1 ? n : 0);
    const BYTE junk[] = {S, 7, 0x44};
    EXPECT_EQ(GraphicsPath(line, junk, 3).GetPointCount(), 0);

    PathData data;
    EXPECT_EQ(two.GetPathData(&data), Ok);
    ASSERT_EQ(data.Count, 2);
    EXPECT_EQ(data.Points[1].X, 2.0f);
    EXPECT_EQ(data.Types[0], S);
    PointF last;
    EXPECT_EQ(two.GetLastPoint(&last), Ok);
    EXPECT_EQ(last.X, 2.0f);

    std::vector<PointF> pts;
    for (int i = 0; i < 7; ++i) pts.emplace_back(i * 5.0f * (i % 2), 50.0f - i * 5.0f);
    GraphicsPath reversed;
    reversed.AddLines(pts.data(), 4);
    reversed.CloseFigure();
    reversed.AddLines(pts.data() + 4, 3);
    EXPECT_EQ(reversed.Reverse(), Ok);
    ExpectPath(reversed, {{0, 20, S}, {25, 25, L}, {0, 30, L}, {15, 35, S}, {0, 40, L}, {5, 45, L}, {0, 50, L | C}});

    GraphicsPath added, arc;
    arc.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 95.0f, 100.0f);
    added.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 0.0f, 90.0f);
    EXPECT_EQ(added.AddPath(&arc, FALSE), Ok);
    ASSERT_EQ(added.GetPointCount(), 11);
    PathData joined;
    added.GetPathData(&joined);
    EXPECT_EQ(joined.Types[4], S);
    EXPECT_NEAR(joined.Points[4].X, 319.61f, 0.1f);
    EXPECT_NEAR(joined.Points[10].Y, 384.21f, 0.1f);
}

TEST(PathExtra, FlattenWidenWithAnchorsAndCustomCapsAndWarp)
{
    GraphicsPath quarter;
    quarter.AddArc(0.0f, 0.0f, 100.0f, 100.0f, 0.0f, 90.0f);
    EXPECT_EQ(quarter.Flatten(nullptr, 1.0f), Ok);
    const std::vector<Expected> flatPoints{{100, 50, S},   {99, 60, L},       {96, 69.5f, L},
                                           {91.5f, 78, L}, {85.5f, 85.5f, L}, {78, 91.5f, L},
                                           {69.5f, 96, L}, {60, 99, L},       {50, 100, L}};
    ExpectPath(quarter, flatPoints, 0.5f);

    Pen pen(Color(255, 0, 0, 0), 10.0f);
    GraphicsPath empty;
    EXPECT_EQ(empty.Widen(&pen), OutOfMemory);
    GraphicsPath line;
    line.AddLine(5.0f, 10.0f, 50.0f, 10.0f);
    EXPECT_EQ(line.Widen(nullptr), InvalidParameter);
    EXPECT_EQ(line.Widen(&pen), Ok);
    ExpectPath(line, {{5, 5, S}, {50, 5, L}, {50, 15, L}, {5, 15, L | C}}, 1e-4f);
    // A world-unit pen widens before the matrix maps the path: twice as tall.
    Matrix tall(1, 0, 0, 2, 0, 0);
    GraphicsPath stretched;
    stretched.AddLine(5.0f, 5.0f, 50.0f, 5.0f);
    stretched.Widen(&pen, &tall);
    ExpectPath(stretched, {{5, 0, S}, {50, 0, L}, {50, 20, L}, {5, 20, L | C}}, 1e-4f);

    pen.SetStartCap(LineCapRound);
    pen.SetEndCap(LineCapRound);
    GraphicsPath round;
    round.AddLine(5.0f, 10.0f, 50.0f, 10.0f);
    round.Widen(&pen);
    const std::vector<Expected> roundCapPoints{
        {5, 5, S},           {50, 5, L},          {52.761421f, 5, B}, {55, 7.238576f, B}, {55, 10, B},
        {55, 12.761423f, B}, {52.761421f, 15, B}, {50, 15, B},        {5, 15, L},         {2.238576f, 15, B},
        {0, 12.761423f, B},  {0, 10, B},          {0, 7.238576f, B},  {2.238576f, 5, B},  {5, 5, B | C}};
    ExpectPath(round, roundCapPoints, 1e-4f);
    Pen dashed(Color(255, 0, 0, 0), 10.0f);
    dashed.SetDashStyle(DashStyleDash);
    GraphicsPath dashes;
    dashes.AddLine(5.0f, 5.0f, 50.0f, 5.0f);
    dashes.Widen(&dashed);
    ExpectPath(
        dashes,
        {{5, 0, S}, {35, 0, L}, {35, 10, L}, {5, 10, L | C}, {45, 0, S}, {50, 0, L}, {50, 10, L}, {45, 10, L | C}},
        1e-4f);
    // The offset moves the pattern back along the line, in pen widths: a 10-unit start of the first dash is
    // skipped.
    dashed.SetDashOffset(1.0f);
    GraphicsPath moved;
    moved.AddLine(5.0f, 5.0f, 50.0f, 5.0f);
    moved.Widen(&dashed);
    ExpectPath(
        moved,
        {{5, 0, S}, {25, 0, L}, {25, 10, L}, {5, 10, L | C}, {35, 0, S}, {50, 0, L}, {50, 10, L}, {35, 10, L | C}},
        1e-4f);

    // Warp maps the source rectangle's corners onto the destination points.
    GraphicsPath square;
    square.AddRectangle(RectF(0, 0, 10, 10));
    const PointF dest[] = {{100, 100}, {200, 100}, {100, 150}, {200, 150}};
    EXPECT_EQ(square.Warp(dest, 4, RectF(0, 0, 10, 10), nullptr, WarpModeBilinear), Ok);
    ExpectPath(square, {{100, 100, S}, {200, 100, L}, {200, 150, L}, {100, 150, L | C}}, 1e-3f);
    EXPECT_EQ(square.Warp(dest, 2, RectF(0, 0, 10, 10)), InvalidParameter);

    // Anchors and custom caps are figures of their own after the widened lines, figure by figure, start before
    // end, as Windows lists them (Wine's gdiplus tests record the points).
    const REAL fudge = 0.000005f;  // as Wine compares them
    auto widened = [](LineCap cap, REAL width, bool dashed = false) {
        Pen capPen(Color(255, 255, 255, 255), width);
        capPen.SetLineCap(cap, cap, DashCapFlat);
        if (dashed) capPen.SetDashStyle(DashStyleDash);
        auto path = std::make_unique<GraphicsPath>();
        path->AddLine(5.0f, 10.0f, 50.0f, 10.0f);
        EXPECT_EQ(path->Widen(&capPen), Ok);
        return path;
    };
    const std::vector<Expected> body{{5, 5, S}, {50, 5, L}, {50, 15, L}, {5, 15, L | C}};
    const std::vector<Expected> squares{{12.071068f, 2.928932f, S},  {12.071068f, 17.071066f, L},
                                        {-2.071068f, 17.071066f, L}, {-2.071068f, 2.928932f, L | C},
                                        {42.928928f, 17.071068f, S}, {42.928928f, 2.928932f, L},
                                        {57.071068f, 2.928932f, L},  {57.071068f, 17.071068f, L | C}};
    std::vector<Expected> expected = body;
    expected.insert(expected.end(), squares.begin(), squares.end());
    ExpectPath(*widened(LineCapSquareAnchor, 10.0f), expected, fudge);
    ExpectPath(*widened(LineCapNoAnchor, 10.0f), body, fudge);
    const std::vector<Expected> diamonds{{5, 5, S},   {50, 5, L},  {50, 15, L}, {5, 15, L | C},
                                         {-5, 10, S}, {5, 0, L},   {15, 10, L}, {5, 20, L | C},
                                         {60, 10, S}, {50, 20, L}, {40, 10, L}, {50, 0, L | C}};
    ExpectPath(*widened(LineCapDiamondAnchor, 10.0f), diamonds, fudge);
    // The arrow's tip is on the line's end; the line stops a capPen width short of it.
    const std::vector<Expected> arrows{{15, 5, S},
                                       {40, 5, L},
                                       {40, 15, L},
                                       {15, 15, L | C},
                                       {5, 10, S},
                                       {22.320507f, 0, L},
                                       {22.320507f, 20, L | C},
                                       {50, 10, S},
                                       {32.679489f, 20, L},
                                       {32.679489f, 0, L | C}};
    ExpectPath(*widened(LineCapArrowAnchor, 10.0f), arrows, fudge);
    expected = body;
    const std::vector<Expected> circles{
        {5, 20, S},          {-0.522847f, 20, B}, {-5, 15.522846f, B}, {-5, 10, B},         {-5, 4.477152f, B},
        {-0.522847f, 0, B},  {5, 0, B},           {10.522847f, 0, B},  {15, 4.477152f, B},  {15, 10, B},
        {15, 15.522846f, B}, {10.522847f, 20, B}, {5, 20, B | C},      {50, 0, S},          {55.522846f, 0, B},
        {60, 4.477153f, B},  {60, 10, B},         {60, 15.522847f, B}, {55.522846f, 20, B}, {50, 20, B},
        {44.477150f, 20, B}, {40, 15.522847f, B}, {40, 10, B},         {40, 4.477153f, B},  {44.477150f, 0, B},
        {50, 0, B | C}};
    expected.insert(expected.end(), circles.begin(), circles.end());
    ExpectPath(*widened(LineCapRoundAnchor, 10.0f), expected, fudge);
    // Dashes are widened first; the anchors stay on the figure's ends.
    expected = {{5, 5, S},  {35, 5, L}, {35, 15, L}, {5, 15, L | C},
                {45, 5, S}, {50, 5, L}, {50, 15, L}, {45, 15, L | C}};
    expected.insert(expected.end(), squares.begin(), squares.end());
    ExpectPath(*widened(LineCapSquareAnchor, 10.0f, true), expected, fudge);

    // Two figures with arrow caps 4 by 4 (middle inset 1) on a capPen one unit wide: the arrows are as large
    // as for a capPen two wide, the lines stop a unit short of their ends.
    AdjustableArrowCap arrow(4.0f, 4.0f, TRUE);
    arrow.SetMiddleInset(1.0f);
    Pen capPen(Color(255, 255, 255, 255), 1.0f);
    capPen.SetCustomStartCap(&arrow);
    capPen.SetCustomEndCap(&arrow);
    GraphicsPath figures;
    figures.AddLine(5.0f, 10.0f, 25.0f, 10.0f);
    figures.StartFigure();
    figures.AddLine(30.0f, 10.0f, 30.0f, 30.0f);
    ASSERT_EQ(figures.Widen(&capPen), Ok);
    const std::vector<Expected> customArrows{
        {6, 9.5f, S},   {24, 9.5f, L},      {24, 10.5f, L}, {6, 10.5f, L | C}, {30.5f, 11, S}, {30.5f, 29, L},
        {29.5f, 29, L}, {29.5f, 11, L | C}, {13, 14, S},    {5, 10, L},        {13, 6, L},     {11, 10, L | C},
        {17, 6, S},     {25, 10, L},        {17, 14, L},    {19, 10, L | C},   {26, 18, S},    {30, 10, L},
        {34, 18, L},    {30, 16, L | C},    {34, 22, S},    {30, 30, L},       {26, 22, L},    {30, 24, L | C}};
    ExpectPath(figures, customArrows, fudge);
}

// A caller hit-tests a star and an ellipse, outlines a rectangle with a pen and fills a widened line.
TEST(PathExtra, HitTestsAndAWidenedLineFilled)
{
    const PointF starPoints[] = {{50, 0},  {61, 35}, {98, 35}, {68, 57}, {79, 91},
                                 {50, 70}, {21, 91}, {32, 57}, {2, 35},  {39, 35}};
    GraphicsPath star;
    star.AddPolygon(starPoints, 10);
    GraphicsPath ellipse, rect;
    ellipse.AddEllipse(0, 0, 100, 50);
    rect.AddRectangle(RectF(0, 0, 10, 10));
    const struct {
        const GraphicsPath& path;
        REAL x, y;
        bool inside;
    } hits[] = {{star, 50, 50, true},    {star, 50, 5, true},     {star, 20, 20, false},
                {star, 50, 85, false},   {ellipse, 50, 25, true}, {ellipse, 97, 25, true},
                {ellipse, 95, 5, false}, {rect, 0, 0, true},  // as Windows reports
                {rect, 11, 11, false}};
    for (const auto& hit : hits)
        EXPECT_EQ(hit.path.IsVisible(hit.x, hit.y) != FALSE, hit.inside) << hit.x << ", " << hit.y;

    // As Windows reports for a 3-pixel pen around (2, 0, 13, 15), plain and under a 2x scale.
    Bitmap bitmap(20, 20, PixelFormat32bppARGB);
    Graphics g(&bitmap);
    GraphicsPath outline;
    outline.AddRectangle(RectF(2, 0, 13, 15));
    Pen pen(Color(255, 255, 0, 255), 3.0f);
    auto outlineHits = [&](std::initializer_list<REAL> xs) {
        std::vector<bool> hits;
        for (REAL x : xs) hits.push_back(outline.IsOutlineVisible(x, 1.0f, &pen, &g) != FALSE);
        return hits;
    };
    EXPECT_EQ(outlineHits({0, 1, 10, 16, 17}), (std::vector<bool>{false, true, true, true, false}));
    // A world-unit pen half as wide under a 2x scale is 3 pixels wide again.
    g.ScaleTransform(2.0f, 2.0f);
    pen.SetWidth(1.5f);
    EXPECT_EQ(outlineHits({1, 2, 3, 15, 16}), (std::vector<bool>{false, true, false, true, false}));
    EXPECT_FALSE(outline.IsOutlineVisible(1.0f, 1.0f, nullptr, &g));
    EXPECT_EQ(outline.GetLastStatus(), InvalidParameter);

    CFxPictor canvas;
    canvas.Init(nullptr, 60, 30);
    GraphicsPath line;
    line.AddLine(5.0f, 15.0f, 55.0f, 15.0f);
    Pen wide(Color(255, 0, 0, 0), 10.0f);
    ASSERT_EQ(line.Widen(&wide), Ok);
    SolidBrush red(Color(255, 255, 0, 0));
    canvas.m_pGraphics->Clear(Color(255, 255, 255, 255));
    canvas.m_pGraphics->FillPath(&red, &line);
    pictor_test::ExpectPixels(
        canvas, {{30, 15, 0xFFFF0000u}, {30, 11, 0xFFFF0000u}, {30, 22, 0xFFFFFFFFu}, {2, 15, 0xFFFFFFFFu}});
}

TEST(PathExtra, HostilePathsStaySafe)
{
    // A million-point zigzag widens and flattens in bounded time; NaN points give answers, not crashes.
    std::vector<PointF> zigzag;
    for (int i = 0; i < 1000000; ++i) zigzag.emplace_back(static_cast<REAL>(i), static_cast<REAL>(i % 2 * 10));
    GraphicsPath big;
    ASSERT_EQ(big.AddLines(zigzag.data(), static_cast<INT>(zigzag.size())), Ok);
    const auto start = std::chrono::steady_clock::now();
    Pen pen(Color(255, 0, 0, 0), 3.0f);
    big.Flatten();
    EXPECT_EQ(big.Widen(&pen), Ok);
    EXPECT_GT(big.GetPointCount(), 1000000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    const REAL nan = std::numeric_limits<REAL>::quiet_NaN();
    const PointF odd[] = {{0, 0}, {nan, 5}, {10, nan}, {10, 10}};
    const BYTE types[] = {S, L, L, L};
    GraphicsPath strange(odd, types, 4);
    EXPECT_FALSE(strange.IsVisible(5.0f, 5.0f) && strange.IsVisible(500.0f, 500.0f));
    strange.IsOutlineVisible(5.0f, 5.0f, &pen);
    strange.Widen(&pen);
    strange.Flatten();
    EXPECT_EQ(GraphicsPath().AddEllipse(nan, 0.0f, 10.0f, 10.0f), InvalidParameter);
    GraphicsPathIterator nothing(nullptr);
    EXPECT_EQ(nothing.GetLastStatus(), Ok);
}

TEST(PathExtra, IteratorWalksFiguresAndMarkers)
{
    GraphicsPath path;
    path.AddRectangle(RectF(5, 5, 100, 50));
    INT start = -1, end = -1;
    {
        GraphicsPathIterator iterator(&path);
        EXPECT_EQ(iterator.NextMarker(&start, &end), 4);  // no markers: the whole path, as Windows
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 3);
        EXPECT_EQ(iterator.NextMarker(&start, &end), 0);
        EXPECT_FALSE(iterator.HasCurve());
    }
    path.SetMarker();
    path.AddLine(0.0f, 0.0f, 10.0f, 30.0f);
    path.SetMarker();
    GraphicsPathIterator iterator(&path);
    EXPECT_EQ(iterator.NextMarker(&start, &end), 4);
    EXPECT_EQ(iterator.NextMarker(&start, &end), 2);
    EXPECT_EQ(start, 4);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(iterator.NextMarker(&start, &end), 0);
    EXPECT_EQ(iterator.GetSubpathCount(), 2);
    BOOL closed = FALSE;
    GraphicsPath figure;
    EXPECT_EQ(iterator.NextSubpath(&figure, &closed), 4);
    EXPECT_TRUE(closed);
    EXPECT_EQ(figure.GetPointCount(), 4);
    EXPECT_EQ(iterator.NextSubpath(&start, &end, &closed), 2);
    EXPECT_FALSE(closed);
    EXPECT_EQ(iterator.NextSubpath(&start, &end, &closed), 0);
    path.ClearMarkers();
    GraphicsPathIterator unmarked(&path);
    EXPECT_EQ(unmarked.NextMarker(&start, &end), 6);
}

TEST(PathExtra, BoundsWithAMatrixAndAPenAsWindows)
{
    // Windows' values: a 20-unit pen with a square anchor at its end, the path's points inflated by
    // the pen (by its miter reach once a path has more than two points, by the anchor's reach else).
    std::vector<PointF> zigzag;
    for (int i = 0; i < 10; ++i) zigzag.emplace_back(200.0f + i * 50.0f * (i % 2), 200.0f + i * 50.0f * !(i % 2));
    Pen pen(Color(255, 0, 0, 0), 20.0f);
    pen.SetEndCap(LineCapSquareAnchor);
    Matrix matrix(1.5f, 0.0f, 1.0f, 1.2f, 10.4f, 10.2f);
    auto expectBounds = [](const GraphicsPath& path, const Matrix* m, const Pen* p, RectF expected) {
        RectF bounds;
        ASSERT_EQ(path.GetBounds(&bounds, m, p), Ok);
        EXPECT_NEAR(bounds.X, expected.X, 0.1f);
        EXPECT_NEAR(bounds.Y, expected.Y, 0.1f);
        EXPECT_NEAR(bounds.Width, expected.Width, 0.1f);
        EXPECT_NEAR(bounds.Height, expected.Height, 0.1f);
    };
    GraphicsPath arcAndLines;
    arcAndLines.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 0.0f, 100.0f);
    arcAndLines.AddLines(zigzag.data(), 10);
    expectBounds(arcAndLines, nullptr, nullptr, {200.0f, 200.0f, 450.0f, 600.0f});
    expectBounds(arcAndLines, &matrix, nullptr, {510.4f, 250.2f, 1275.0f, 720.0f});
    expectBounds(arcAndLines, nullptr, &pen, {100.0f, 100.0f, 650.0f, 800.0f});
    Matrix turned(0.9f, -0.5f, -0.5f, -1.2f, 10.4f, 10.2f);
    expectBounds(arcAndLines, &turned, nullptr, {-209.6f, -1274.8f, 705.0f, 945.0f});

    GraphicsPath line;
    line.AddLines(zigzag.data(), 2);
    expectBounds(line, nullptr, &pen, {156.0f, 156.0f, 138.0f, 88.0f});
    Rect whole;
    EXPECT_EQ(line.GetBounds(&whole, nullptr, &pen), Ok);
    EXPECT_EQ(whole.X, 156);
    EXPECT_EQ(whole.Width, 138);

    const PointF straight[] = {{200.0f, 200.0f}, {250.0f, 200.0f}, {300.0f, 200.0f}};
    GraphicsPath collinear;
    collinear.AddLines(straight, 3);
    expectBounds(collinear, nullptr, &pen, {100.0f, 100.0f, 300.0f, 200.0f});

    GraphicsPath shortArc;
    shortArc.AddArc(100.0f, 100.0f, 500.0f, 700.0f, 45.0f, 20.0f);
    expectBounds(shortArc, nullptr, &pen, {386.7f, 553.4f, 266.8f, 289.6f});
    expectBounds(GraphicsPath(), &matrix, &pen, {0.0f, 0.0f, 0.0f, 0.0f});
}
