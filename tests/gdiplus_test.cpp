// The GDI+ object types client code builds itself: curves, pies, paths, pens, brushes, bitmaps, string
// formats and Windows font names, checked by drawing into bitmaps and reading the pixels back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Channel;
using pictor_test::PixelOf;
using pictor_test::Surface;

TEST(ClientGraphics, BeziersSplinesPiesAndPolygonsLandWhereGdiPlusPutsThem)
{
    Pen pen(Color(Color::Black), 3);
    Surface bezier, beziers;
    // Halfway along, a cubic from (10,50) to (90,50) pulled up to y = 10 is at (50, 20).
    bezier.graphics.DrawBezier(&pen, Point(10, 50), Point(10, 10), Point(90, 10), Point(90, 50));
    EXPECT_TRUE(bezier.Ink(50, 20));
    EXPECT_FALSE(bezier.Ink(50, 50));
    bezier.graphics.DrawBezier(&pen, 90.f, 50.f, 90.f, 90.f, 10.f, 90.f, 10.f, 50.f);
    const PointF chain[] = {{10, 50}, {10, 10}, {90, 10}, {90, 50}, {90, 90}, {10, 90}, {10, 50}};
    beziers.graphics.DrawBeziers(&pen, chain, 7);
    // The chain joins at (90, 50), where the two separate strokes end in flat caps square to the curves'
    // common tangent: together they cover what the chain does.
    EXPECT_EQ(beziers.Differing(bezier), 0);

    // Tension 0 gives straight segments; the default tension bends them.
    Surface straight, lines, path, curved;
    const Point peak[] = {{10, 80}, {50, 20}, {90, 80}};
    straight.graphics.DrawCurve(&pen, peak, 3, 0.0f);
    lines.graphics.DrawLines(&pen, peak, 3);
    GraphicsPath polyline;
    polyline.AddLines(peak, 3);
    path.graphics.DrawPath(&pen, &polyline);
    EXPECT_EQ(lines.Differing(path), 0);
    EXPECT_LT(straight.Differing(lines), 20);
    EXPECT_TRUE(straight.Ink(30, 50));
    curved.graphics.DrawCurve(&pen, peak, 3);
    EXPECT_TRUE(curved.Ink(50, 21));
    EXPECT_FALSE(curved.Ink(30, 50));

    // Pie angles run clockwise from the x axis: 0 to 90 degrees is the lower right quarter.
    Surface pie;
    SolidBrush black(Color(Color::Black));
    pie.graphics.FillPie(&black, Rect(10, 10, 80, 80), 0, 90);
    EXPECT_TRUE(pie.Ink(70, 70));
    EXPECT_FALSE(pie.Ink(30, 30) || pie.Ink(70, 30) || pie.Ink(30, 70));
    Surface outline;
    outline.graphics.DrawPie(&pen, 10, 10, 80, 80, 0, 90);
    EXPECT_TRUE(outline.Ink(50, 50) && outline.Ink(89, 50) && outline.Ink(50, 89));
    EXPECT_FALSE(outline.Ink(65, 65));
    Surface arc;
    arc.graphics.DrawArc(&pen, RectF(10, 10, 80, 80), 0, 90);
    EXPECT_TRUE(arc.Ink(89, 50) && arc.Ink(50, 89));
    EXPECT_FALSE(arc.Ink(50, 50) || arc.Ink(11, 50) || arc.Ink(50, 11));

    // A closed spline through a square's corners holds its centre; a real-valued triangle fills.
    Surface closed;
    const PointF square[] = {{30, 30}, {70, 30}, {70, 70}, {30, 70}};
    closed.graphics.FillClosedCurve(&black, square, 4);
    EXPECT_TRUE(closed.Ink(50, 50) && closed.Ink(31, 31));
    EXPECT_FALSE(closed.Ink(5, 5));
    closed.graphics.Clear(Color(Color::White));
    closed.graphics.DrawClosedCurve(&pen, square, 4, 0.0f);
    EXPECT_TRUE(closed.Ink(50, 30) && closed.Ink(70, 50));
    EXPECT_FALSE(closed.Ink(50, 50));
    const PointF triangle[] = {{10.5f, 90.5f}, {50.5f, 10.5f}, {90.5f, 90.5f}};
    closed.graphics.FillPolygon(&black, triangle, 3);
    EXPECT_TRUE(closed.Ink(50, 80));
    EXPECT_FALSE(closed.Ink(15, 20));

    EXPECT_EQ(closed.graphics.SetCompositingQuality(CompositingQualityHighQuality), Ok);
    EXPECT_EQ(closed.graphics.GetCompositingQuality(), CompositingQualityHighQuality);
}

TEST(ClientGraphics, ClipsAndSavedStatesComeBack)
{
    Surface s;
    SolidBrush black(Color(Color::Black));
    s.graphics.SetPageUnit(UnitPixel);
    s.graphics.SetPageScale(2);
    const GraphicsState outer = s.graphics.Save();
    s.graphics.SetPageScale(1);
    s.graphics.SetClip(Rect(0, 0, 10, 100));
    GraphicsPath disc;
    disc.AddEllipse(20, 0, 20, 20);
    s.graphics.SetClip(&disc, CombineModeUnion);
    s.graphics.FillRectangle(&black, 0, 0, 100, 5);
    EXPECT_TRUE(s.Ink(5, 2) && s.Ink(30, 2));
    EXPECT_FALSE(s.Ink(15, 2) || s.Ink(50, 2));
    RectF bounds;
    s.graphics.GetClipBounds(&bounds);
    EXPECT_FLOAT_EQ(bounds.GetRight(), 40);

    // Back to the scale of 2 and no clip: 10 units reach 20 pixels.
    EXPECT_EQ(s.graphics.Restore(outer), Ok);
    EXPECT_FLOAT_EQ(s.graphics.GetPageScale(), 2);
    Matrix world;
    s.graphics.GetTransform(&world);
    EXPECT_TRUE(world.IsIdentity());
    s.graphics.FillRectangle(&black, 0, 40, 10, 10);
    EXPECT_TRUE(s.Ink(15, 85) && s.Ink(19, 99));
    EXPECT_FALSE(s.Ink(21, 90));
    s.graphics.SetClip(RectF(0, 0, 5, 5));
    s.graphics.ResetClip();
    s.graphics.FillRectangle(&black, 40, 40, 5, 5);
    EXPECT_TRUE(s.Ink(85, 85));
}

// Missing points, too few points, a missing image: each call fails with a status and the objects keep it.
TEST(ClientGraphics, BadArgumentsFailWithAStatus)
{
    Surface s;
    Pen pen(Color(Color::Black), 2);
    Pen inset(Color(Color::Black), 4);
    inset.SetAlignment(PenAlignmentInset);
    const PointF three[] = {{0, 0}, {10, 10}, {20, 0}};
    EXPECT_EQ(s.graphics.DrawBeziers(&pen, static_cast<const Point*>(nullptr), 4), InvalidParameter);
    EXPECT_EQ(s.graphics.DrawCurve(&pen, static_cast<const PointF*>(nullptr), 3), InvalidParameter);
    EXPECT_EQ(s.graphics.DrawCurve(&pen, three, 3, 1, 5, 0.5f), InvalidParameter);
    EXPECT_EQ(s.graphics.DrawPolygon(&inset, three, 1), InvalidParameter);
    EXPECT_EQ(s.graphics.DrawPie(&inset, 0, 0, 0, 0, 0, 90), InvalidParameter);
    EXPECT_EQ(s.graphics.GetLastStatus(), InvalidParameter);
    GraphicsPath path;
    EXPECT_EQ(path.AddClosedCurve(three, 1), InvalidParameter);
    EXPECT_EQ(path.GetPathPoints(static_cast<Point*>(nullptr), 3), InvalidParameter);
    TextureBrush noImage(nullptr);
    EXPECT_EQ(noImage.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(s.graphics.FillRectangle(&noImage, 0, 0, 10, 10), InvalidParameter);
    Matrix singular(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(singular.Invert(), InvalidParameter);
    Surface blank;
    EXPECT_EQ(s.Differing(blank), 0);
}

TEST(ClientPaths, FiguresTransformsBoundsAndPoints)
{
    GraphicsPath path;
    path.AddRectangle(RectF(10, 10, 20, 10));
    EXPECT_EQ(path.GetPointCount(), 4);
    Matrix shift;
    shift.Translate(5, 7);
    EXPECT_EQ(path.Transform(&shift), Ok);
    Rect bounds;
    path.GetBounds(&bounds);
    EXPECT_TRUE(bounds.Equals(Rect(15, 17, 20, 10)));
    Point corners[4];
    EXPECT_EQ(path.GetPathPoints(corners, 4), Ok);
    EXPECT_TRUE(corners[0].Equals(Point(15, 17)) && corners[2].Equals(Point(35, 27)));

    // One figure of each kind, side by side; each fills its own area.
    GraphicsPath figures;
    figures.AddEllipse(RectF(5, 5, 20, 20));
    figures.AddPie(Rect(30, 5, 20, 20), 180, 180);
    const Rect pair[] = {{55, 5, 10, 10}, {70, 5, 10, 10}};
    figures.AddRectangles(pair, 2);
    figures.AddBezier(PointF(5, 40), PointF(5, 60), PointF(25, 60), PointF(25, 40));
    figures.CloseFigure();
    figures.StartFigure();
    const PointF diamond[] = {{40, 30}, {50, 40}, {40, 50}, {30, 40}};
    figures.AddClosedCurve(diamond, 4, 0.0f);
    figures.AddPolygon(diamond + 1, 3);
    Surface s;
    SolidBrush black(Color(Color::Black));
    EXPECT_EQ(s.graphics.FillPath(&black, &figures), Ok);
    EXPECT_TRUE(s.Ink(15, 15) && s.Ink(40, 12) && s.Ink(60, 10) && s.Ink(75, 10) && s.Ink(15, 50) && s.Ink(40, 35));
    EXPECT_FALSE(s.Ink(40, 20) || s.Ink(67, 10) || s.Ink(15, 38) || s.Ink(60, 30) || s.Ink(40, 45));

    // A curve segment of a longer spline and a Bézier chain end where their points say.
    GraphicsPath part;
    const Point wave[] = {{0, 0}, {10, 10}, {20, 0}, {30, 10}};
    part.AddCurve(wave, 4, 1, 1, 0.5f);
    PointF ends[8];
    const INT count = part.GetPointCount();
    ASSERT_EQ(count, 4);
    part.GetPathPoints(ends, count);
    EXPECT_FLOAT_EQ(ends[0].X, 10);
    EXPECT_FLOAT_EQ(ends[3].X, 20);
}

TEST(ClientMatrices, InverseProductShearAndRotationAboutAPoint)
{
    Matrix m(2, 0, 0, 4, 10, 20);
    EXPECT_TRUE(m.IsInvertible());
    EXPECT_EQ(m.Invert(), Ok);
    PointF p(30, 100);
    m.TransformPoints(&p);
    EXPECT_FLOAT_EQ(p.X, 10);
    EXPECT_FLOAT_EQ(p.Y, 20);

    Matrix singular(1, 2, 2, 4, 0, 0);
    EXPECT_FALSE(singular.IsInvertible());
    EXPECT_NE(singular.Invert(), Ok);
    REAL e[6];
    singular.GetElements(e);
    EXPECT_FLOAT_EQ(e[1], 2);

    Matrix turn;
    turn.RotateAt(90, PointF(50, 50));
    Point q(60, 50);
    turn.TransformPoints(&q);
    EXPECT_TRUE(q.Equals(Point(50, 60)));

    // Prepending a scale to a translation scales first; appending translates first.
    Matrix scale(2, 0, 0, 2, 0, 0), before(1, 0, 0, 1, 5, 0), after(1, 0, 0, 1, 5, 0);
    before.Multiply(&scale, MatrixOrderPrepend);
    after.Multiply(&scale, MatrixOrderAppend);
    EXPECT_FLOAT_EQ(before.OffsetX(), 5);
    EXPECT_FLOAT_EQ(after.OffsetX(), 10);
    Matrix shear;
    shear.Shear(1, 0);
    PointF r(0, 10);
    shear.TransformPoints(&r);
    EXPECT_FLOAT_EQ(r.X, 10);
    shear.Reset();
    EXPECT_TRUE(shear.IsIdentity());
}

// GDI+ draws an inset pen's whole width inside closed outlines (libgdiplus centres it on them) and
// centres it on open figures.
TEST(ClientPens, InsetPensStayInsideClosedOutlines)
{
    Pen inset(Color(Color::Black), 6);
    inset.SetAlignment(PenAlignmentInset);
    Pen centred(Color(Color::Black), 6);
    Surface rect, ellipse, polygon, path, reference;
    EXPECT_EQ(rect.graphics.DrawRectangle(&inset, 20, 20, 60, 60), Ok);
    EXPECT_TRUE(rect.Ink(21, 50) && rect.Ink(25, 50) && rect.Ink(50, 78));
    EXPECT_FALSE(rect.Ink(18, 50) || rect.Ink(50, 81) || rect.Ink(28, 50));
    reference.graphics.DrawRectangle(&centred, 20, 20, 60, 60);
    EXPECT_TRUE(reference.Ink(18, 50));

    ellipse.graphics.DrawEllipse(&inset, 20.f, 20.f, 60.f, 60.f);
    EXPECT_TRUE(ellipse.Ink(22, 50) && ellipse.Ink(77, 50));
    EXPECT_FALSE(ellipse.Ink(18, 50) || ellipse.Ink(82, 50));

    const Point box[] = {{20, 20}, {80, 20}, {80, 80}, {20, 80}};
    polygon.graphics.DrawPolygon(&inset, box, 4);
    EXPECT_EQ(polygon.Differing(rect), 0);

    GraphicsPath closed, open;
    closed.AddPie(20, 20, 60, 60, 0, 90);
    path.graphics.DrawPath(&inset, &closed);
    path.graphics.DrawPie(&inset, Rect(20, 20, 60, 60), 180, 90);
    EXPECT_TRUE(path.Ink(52, 60) && path.Ink(48, 40));
    EXPECT_FALSE(path.Ink(48, 60) || path.Ink(52, 40) || path.Ink(50, 82) || path.Ink(50, 18));
    open.AddLine(10, 90, 90, 90);
    path.graphics.DrawPath(&inset, &open);
    EXPECT_TRUE(path.Ink(50, 88) && path.Ink(50, 92));
}

TEST(ClientGraphics, AntialiasedFillsAndOutlinesCoverExactlyTheirShapes)
{
    // On a transparent premultiplied bitmap, with anti-aliasing, in black: alpha is the share covered.
    struct Clear : pictor_test::CoverageCanvas<100> {
        int Alpha(int x, int y) { return static_cast<int>(PixelOf(bitmap, x, y) >> 24); }
        double Area() { return Read(), Ink() / 255.0; }
    };
    SolidBrush ink(Color(Color::Black));
    const double pi = 3.14159265358979;

    // GDI+ puts pixel centres on whole coordinates and fills a path to its outline: the columns on the
    // sides of a 20-wide square are half covered. libgdiplus strokes every path fill a pixel wide as well.
    Clear square;
    GraphicsPath box;
    box.AddRectangle(Rect(10, 10, 20, 20));
    EXPECT_EQ(square.graphics.FillPath(&ink, &box), Ok);
    EXPECT_NEAR(square.Alpha(10, 20), 128, 2);
    EXPECT_NEAR(square.Alpha(30, 20), 128, 2);
    EXPECT_EQ(square.Alpha(20, 20), 255);
    EXPECT_EQ(square.Alpha(9, 20) + square.Alpha(31, 20), 0);
    EXPECT_NEAR(square.Area(), 400.0, 0.5);

    // An ellipse's fill lies where its outline does (libgdiplus put it half a pixel up and left), and
    // covers its area; a 3-pixel outline covers 3 times the circumference.
    Clear disc, ring;
    EXPECT_EQ(disc.graphics.FillEllipse(&ink, 20, 20, 61, 61), Ok);
    EXPECT_NEAR(disc.Alpha(20, 50), disc.Alpha(81, 50), 2);
    EXPECT_NEAR(disc.Alpha(50, 20), disc.Alpha(50, 81), 2);
    EXPECT_NEAR(disc.Area(), pi * 30.5 * 30.5, 0.005 * pi * 30.5 * 30.5);
    Pen thick(Color(Color::Black), 3);
    EXPECT_EQ(ring.graphics.DrawEllipse(&thick, 20.f, 20.f, 61.f, 61.f), Ok);
    EXPECT_NEAR(ring.Area(), 2 * pi * 30.5 * 3, 0.01 * 2 * pi * 30.5 * 3);
    EXPECT_EQ(ring.Alpha(50, 50), 0);

    // Shapes that run off every side keep the part inside.
    Clear corners;
    corners.graphics.FillEllipse(&ink, -30, -30, 60, 60);
    corners.graphics.FillEllipse(&ink, 70, 70, 60, 60);
    EXPECT_EQ(corners.Alpha(5, 5) + corners.Alpha(95, 95) + corners.Alpha(99, 80), 3 * 255);
    EXPECT_EQ(corners.Alpha(25, 25) + corners.Alpha(75, 75), 0);

    // A disc larger than the layer's working band of rows comes out whole across the bands' seams.
    pictor_test::CoverageCanvas<1500> large;
    large.graphics.FillEllipse(&ink, 0, 0, 1500, 1500);
    large.Read();
    EXPECT_NEAR(large.Ink() / 255.0, pi * 750 * 750, 0.001 * pi * 750 * 750);

    // Nested squares turning the same way: alternate filling leaves the inner one empty, winding fills it.
    Clear alternate, winding;
    for (Clear* c : {&alternate, &winding}) {
        GraphicsPath nested(c == &alternate ? FillModeAlternate : FillModeWinding);
        nested.AddRectangle(Rect(10, 10, 60, 60));
        nested.AddRectangle(Rect(30, 30, 20, 20));
        c->graphics.FillPath(&ink, &nested);
    }
    EXPECT_EQ(alternate.Alpha(40, 40), 0);
    EXPECT_EQ(winding.Alpha(40, 40), 255);
    EXPECT_EQ(alternate.Alpha(20, 20) + winding.Alpha(20, 20), 2 * 255);

    // A half-transparent fill over white blends as the engine's own fills do.
    Clear shape, block;
    SolidBrush glass(Color(128, 30, 60, 250));
    for (Clear* c : {&shape, &block}) c->graphics.Clear(Color(Color::White));
    shape.graphics.FillEllipse(&glass, 10, 10, 80, 80);
    block.graphics.FillRectangle(&glass, 10, 10, 80, 80);
    EXPECT_EQ(PixelOf(shape.bitmap, 50, 50), PixelOf(block.bitmap, 50, 50));

    // Under a transform, and with a pen wider than the figure it outlines, the shapes still come out whole.
    Clear scaled, wide;
    scaled.graphics.ScaleTransform(2, 2);
    scaled.graphics.FillEllipse(&ink, 10, 10, 20, 20);
    EXPECT_EQ(scaled.Alpha(40, 40), 255);
    EXPECT_EQ(scaled.Alpha(70, 40), 0);
    Pen broad(Color(Color::Black), 30);
    GraphicsPath small;
    small.AddRectangle(Rect(40, 40, 10, 10));
    wide.graphics.DrawPath(&broad, &small);
    EXPECT_EQ(wide.Alpha(45, 45), 255);
    EXPECT_EQ(wide.Alpha(28, 45), 255);
}

TEST(ClientPens, BrushPensAndDashPatterns)
{
    Bitmap stripes(2, 1, PixelFormat32bppARGB);
    stripes.SetPixel(0, 0, Color(Color::Red));
    stripes.SetPixel(1, 0, Color(Color::Blue));
    TextureBrush texture(&stripes);
    Pen painted(&texture, 4);
    Surface s;
    s.graphics.SetSmoothingMode(SmoothingModeNone);
    EXPECT_EQ(s.graphics.DrawLine(&painted, 0, 10, 99, 10), Ok);
    EXPECT_EQ(s.At(10, 10), ARGB(Color::Red));
    EXPECT_EQ(s.At(11, 10), ARGB(Color::Blue));

    // Dash and gap lengths count in pen widths: 4 × 2 pixels on, 4 × 2 off.
    Pen dashed(Color(Color::Black), 2);
    const REAL pattern[] = {4, 4};
    EXPECT_EQ(dashed.SetDashPattern(pattern, 2), Ok);
    s.graphics.DrawLine(&dashed, 0, 30, 99, 30);
    EXPECT_TRUE(s.Ink(3, 30) && s.Ink(19, 30) && s.Ink(35, 30));
    EXPECT_FALSE(s.Ink(11, 30) || s.Ink(27, 30));
}

TEST(ClientBrushes, TexturesTileAndBlendsShapeTheGradient)
{
    Bitmap tile(2, 2, PixelFormat32bppARGB);
    tile.SetPixel(0, 0, Color(Color::Red));
    tile.SetPixel(1, 0, Color(Color::Lime));
    tile.SetPixel(0, 1, Color(Color::Blue));
    tile.SetPixel(1, 1, Color(Color::White));
    TextureBrush brush(&tile, WrapModeTile);
    Surface s;
    s.graphics.FillRectangle(&brush, 0, 0, 10, 10);
    EXPECT_EQ(s.At(0, 0), ARGB(Color::Red));
    EXPECT_EQ(s.At(3, 0), ARGB(Color::Lime));
    EXPECT_EQ(s.At(4, 5), ARGB(Color::Blue));
    EXPECT_EQ(s.At(10, 0), ARGB(Color::White));
    brush.TranslateTransform(1, 0);
    s.graphics.FillRectangle(&brush, 20, 0, 10, 10);
    EXPECT_EQ(s.At(21, 0), ARGB(Color::Red));

    // Black at both ends and white in the middle instead of a plain black-to-white ramp.
    LinearGradientBrush ramp(Point(0, 0), Point(100, 0), Color(Color::Black), Color(Color::White));
    const REAL factors[] = {0, 1, 0};
    const REAL positions[] = {0, 0.5f, 1};
    EXPECT_EQ(ramp.SetBlend(factors, positions, 3), Ok);
    s.graphics.FillRectangle(&ramp, 0, 50, 100, 10);
    EXPECT_GT(Channel(s.At(50, 55), 8), 240);
    EXPECT_LT(Channel(s.At(2, 55), 8), 16);
    EXPECT_LT(Channel(s.At(97, 55), 8), 16);
}

TEST(ClientBitmaps, FromSizePixelsLockBitsSaveAndFromFile)
{
    Bitmap bitmap(3, 2, PixelFormat32bppARGB);
    EXPECT_EQ(bitmap.SetPixel(2, 1, Color(0x80, 0x10, 0x20, 0x30)), Ok);
    Color back;
    bitmap.GetPixel(2, 1, &back);
    EXPECT_EQ(back.GetValue(), 0x80102030u);
    BitmapData data;
    Rect whole(0, 0, 3, 2);
    ASSERT_EQ(bitmap.LockBits(&whole, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    BYTE* pixel = static_cast<BYTE*>(data.Scan0) + data.Stride + 8;
    EXPECT_TRUE(pixel[0] == 0x30 && pixel[1] == 0x20 && pixel[2] == 0x10 && pixel[3] == 0x80);
    pixel[-4] = 0xFF;  // blue of (1, 1)
    pixel[-1] = 0xFF;
    bitmap.UnlockBits(&data);

    const pictor_test::TempFolder folder;
    const CString path(folder.File("saved.png").c_str());
    const CLSID png = pictor_test::EncoderFor(u"image/png");
    EXPECT_EQ(bitmap.Save(path, &png), Ok);
    Bitmap loaded(path);
    ASSERT_EQ(loaded.GetLastStatus(), Ok);
    EXPECT_EQ(loaded.GetWidth(), 3u);
    EXPECT_EQ(loaded.GetHeight(), 2u);
    pictor_test::ExpectPixels(loaded, {{1, 1, 0xFF0000FFu}, {2, 1, 0x80102030u}});
}

TEST(ClientText, FormatFlagsAndTabStops)
{
    Surface s;
    FontFamily family(u"DejaVu Sans");
    Font font(&family, 16, FontStyleRegular, UnitPixel);
    const WCHAR words[] = u"wrapping words here";
    RectF narrow(0, 0, 60, 200), wrapped, single;
    StringFormat format;
    s.graphics.MeasureString(words, -1, &font, narrow, &format, &wrapped);
    EXPECT_EQ(format.SetFormatFlags(StringFormatFlagsNoWrap), Ok);
    s.graphics.MeasureString(words, -1, &font, narrow, &format, &single);
    EXPECT_GT(wrapped.Height, 2 * single.Height);

    // A tab moves the text after it to the next stop.
    const WCHAR tabbed[] = u"a\tb";
    const REAL stops[] = {80};
    StringFormat tabs;
    EXPECT_EQ(tabs.SetTabStops(0, 1, stops), Ok);
    EXPECT_EQ(tabs.GetTabStopCount(), 1);
    RectF box;
    s.graphics.MeasureString(tabbed, -1, &font, PointF(0, 0), &tabs, &box);
    EXPECT_GT(box.Width, 80);
    EXPECT_LT(box.Width, 110);

    // Copies keep the settings; the typographic format lays out without clipping, fitting whole lines.
    StringFormat copy(&format);
    EXPECT_EQ(copy.GetFormatFlags(), StringFormatFlagsNoWrap);
    EXPECT_EQ(StringFormat::GenericDefault()->GetFormatFlags(), 0);
    EXPECT_EQ(StringFormat::GenericTypographic()->GetFormatFlags(),
              StringFormatFlagsLineLimit | StringFormatFlagsNoClip | StringFormatFlagsNoFitBlackBox);
}

// Windows family names resolve to the families fontconfig declares metric-compatible with them, so text
// keeps its layout, and report the name asked for, as on Windows; a name without such a family is still
// missing.
TEST(ClientText, WindowsFamilyNamesFindTheirMetricCompatibleFonts)
{
    const struct {
        const WCHAR* windows;
        const WCHAR* free;
    } pairs[] = {{u"Arial", u"Liberation Sans"}, {u"Times New Roman", u"Liberation Serif"}, {u"Courier New", u"Liberation Mono"}};
    for (const auto& pair : pairs) {
        FontFamily family(pair.windows);
        ASSERT_TRUE(family.IsAvailable());
        WCHAR name[LF_FACESIZE] = {};
        EXPECT_EQ(family.GetFamilyName(name), Ok);
        EXPECT_EQ(std::u16string(name), std::u16string(pair.windows));
        FontFamily free(pair.free);
        free.GetFamilyName(name);
        EXPECT_EQ(std::u16string(name), std::u16string(pair.free));
    }
    FontFamily missing(u"No Such Family Anywhere");
    EXPECT_FALSE(missing.IsAvailable());
    EXPECT_EQ(missing.GetLastStatus(), FontFamilyNotFound);

    // A font made from a name alone falls back to the generic sans-serif family.
    Surface s;
    const WCHAR text[] = u"Metric layout";
    FontFamily liberationSans(u"Liberation Sans");
    Font byName(u"Arial", 20, FontStyleRegular, UnitPixel), byFamily(&liberationSans, 20, FontStyleRegular, UnitPixel);
    Font unknown(u"No Such Family Anywhere", 20, FontStyleRegular, UnitPixel);
    Font generic(FontFamily::GenericSansSerif(), 20, FontStyleRegular, UnitPixel);
    RectF a, b, c, d;
    s.graphics.MeasureString(text, -1, &byName, PointF(0, 0), &a);
    s.graphics.MeasureString(text, -1, &byFamily, PointF(0, 0), &b);
    s.graphics.MeasureString(text, -1, &unknown, PointF(0, 0), &c);
    s.graphics.MeasureString(text, -1, &generic, PointF(0, 0), &d);
    EXPECT_FLOAT_EQ(a.Width, b.Width);
    EXPECT_FLOAT_EQ(c.Width, d.Width);
    EXPECT_NE(a.Width, c.Width);

    // Through the canvas, "Arial" draws as Liberation Sans, not as the generic fallback.
    CFxPictor arial(nullptr, 200, 40), liberation(nullptr, 200, 40), fallback(nullptr, 200, 40);
    arial.Text(5, 5, 20, Color(Color::Black), CString("Arial"), CString("Metric layout"));
    liberation.Text(5, 5, 20, Color(Color::Black), CString("Liberation Sans"), CString("Metric layout"));
    fallback.Text(5, 5, 20, Color(Color::Black), CString("No Such Family Anywhere"), CString("Metric layout"));
    const auto differing = [](CFxPictor& one, CFxPictor& two) { return pictor_test::DifferingPixels(one, two); };
    EXPECT_EQ(differing(arial, liberation), 0);
    EXPECT_GT(differing(arial, fallback), 100);

    // "Malgun Gothic" draws as NanumGothic; its Hangul gets real glyphs (missing ones would all be the
    // same box).
    CFxPictor ga(nullptr, 60, 60), na(nullptr, 60, 60);
    ga.Text(5, 5, 40, Color(Color::Black), CString("Malgun Gothic"), CString("가"));
    na.Text(5, 5, 40, Color(Color::Black), CString("Malgun Gothic"), CString("나"));
    EXPECT_GT(differing(ga, na), 40);
}

namespace {

// The bytes of a pixel of a lock, from the start of its row.
BYTE* LockedPixel(const BitmapData& data, int x, int y, int bytesPerPixel)
{
    return static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride + x * bytesPerPixel;
}

}  // namespace

// Locks as GDI+ takes them (Windows' values as Wine's tests record them): a lock in the bitmap's own format
// is its pixels, so writes through a read lock stay and a write lock starts from what is there; a lock
// that converts keeps read-only writes to itself; a caller's buffer is laid out at the caller's stride;
// a premultiplied lock of a straight bitmap is premultiplied. What a write lock is not given stays as it was.
TEST(ClientBitmaps, LocksWriteThroughKeepWhatIsNotWrittenAndConvert)
{
    Bitmap rgb(10, 20, PixelFormat24bppRGB);
    rgb.SetPixel(2, 3, Color(0xFF, 0xC3, 0, 0));
    rgb.SetPixel(3, 4, Color(0xFF, 0x48, 0, 0));
    Rect rect(2, 3, 4, 5);
    BitmapData data;
    ASSERT_EQ(rgb.LockBits(&rect, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(LockedPixel(data, 0, 0, 3)[2], 0xC3);
    EXPECT_EQ(LockedPixel(data, 1, 1, 3)[2], 0x48);
    LockedPixel(data, 0, 0, 3)[2] = 0xFF;
    rgb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(rgb, 2, 3), 0xFFFF0000u);

    ASSERT_EQ(rgb.LockBits(&rect, ImageLockModeWrite, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(LockedPixel(data, 0, 0, 3)[2], 0xFF);
    LockedPixel(data, 2, 0, 3)[1] = 0x77;
    rgb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(rgb, 4, 3), 0xFF007700u);
    EXPECT_EQ(PixelOf(rgb, 3, 4), 0xFF480000u);
    EXPECT_EQ(PixelOf(rgb, 5, 7), 0xFF000000u);

    // Converting locks: read-only writes are lost, read-write ones land, a write-only one keeps the rest.
    ASSERT_EQ(rgb.LockBits(&rect, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
    LockedPixel(data, 0, 0, 4)[2] = 0xC3;
    rgb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(rgb, 2, 3), 0xFFFF0000u);
    ASSERT_EQ(rgb.LockBits(&rect, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    LockedPixel(data, 0, 0, 4)[1] = 0x88;
    rgb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(rgb, 2, 3), 0xFFFF8800u);
    ASSERT_EQ(rgb.LockBits(&rect, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    *reinterpret_cast<ARGB*>(LockedPixel(data, 0, 0, 4)) = 0xFF563412u;
    rgb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(rgb, 2, 3), 0xFF563412u);
    EXPECT_EQ(PixelOf(rgb, 3, 4), 0xFF480000u);
    EXPECT_EQ(PixelOf(rgb, 4, 3), 0xFF007700u);

    // A premultiplied bitmap, as canvases hold, locked write-only as straight ARGB keeps the pixels not written.
    Bitmap canvas(3, 3, PixelFormat32bppPARGB);
    ASSERT_EQ(canvas.GetPixelFormat(), PixelFormat32bppPARGB);
    canvas.SetPixel(0, 0, Color(Color::White));
    canvas.SetPixel(1, 1, Color(0x80, 0x10, 0x20, 0x30));
    const ARGB halfTransparent = PixelOf(canvas, 1, 1);
    ASSERT_EQ(canvas.LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    *reinterpret_cast<ARGB*>(LockedPixel(data, 2, 2, 4)) = 0xFF0000FFu;
    canvas.UnlockBits(&data);
    EXPECT_EQ(PixelOf(canvas, 2, 2), 0xFF0000FFu);
    EXPECT_EQ(PixelOf(canvas, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelOf(canvas, 1, 1), halfTransparent);

    // The caller's buffer, at the caller's stride: rows land 40 bytes apart and nothing past them is touched.
    Bitmap argb(10, 20, PixelFormat32bppARGB);
    ARGB bits[200];
    std::fill(std::begin(bits), std::end(bits), 0xAAAAAAAAu);
    data.Width = 4;
    data.Height = 5;
    data.Stride = 10 * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = &bits[2 + 3 * 10];
    ASSERT_EQ(argb.LockBits(&rect, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data), Ok);
    argb.UnlockBits(&data);
    EXPECT_EQ(bits[0], 0xAAAAAAAAu);
    EXPECT_EQ(bits[2 + 4 * 10], 0u);
    EXPECT_EQ(bits[5 + 7 * 10], 0u);
    EXPECT_EQ(bits[6 + 3 * 10], 0xAAAAAAAAu);
    EXPECT_EQ(bits[2 + 8 * 10], 0xAAAAAAAAu);
    bits[2 + 4 * 10] = 0x12345678u;
    ASSERT_EQ(argb.LockBits(&rect, ImageLockModeWrite | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(bits[2 + 4 * 10], 0x12345678u);
    argb.UnlockBits(&data);
    EXPECT_EQ(PixelOf(argb, 2, 4), 0x12345678u);
    EXPECT_EQ(PixelOf(argb, 2, 3), 0u);

    // Straight pixels locked premultiplied: each channel times alpha / 255, rounded; transparent is zero.
    BYTE straight[8] = {0x11, 0x22, 0x33, 0x80, 0xFF, 0xFF, 0xFF, 0x00};
    Bitmap pair(2, 1, 8, PixelFormat32bppARGB, straight);
    ASSERT_EQ(pair.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppPARGB, &data), Ok);
    const BYTE premultiplied[8] = {0x09, 0x11, 0x1A, 0x80, 0, 0, 0, 0};
    EXPECT_EQ(data.PixelFormat, PixelFormat32bppPARGB);
    EXPECT_EQ(std::memcmp(data.Scan0, premultiplied, 8), 0);
    pair.UnlockBits(&data);
}

// New bitmaps are at the screen's 96 dpi, and so is a drawing context on one; drawn at a point on a 96-dpi
// bitmap, a new bitmap keeps its pixel size. A state saved by another context is ignored.
TEST(ClientBitmaps, NewBitmapsAreAtTheScreensResolutionAndForeignStatesAreIgnored)
{
    Bitmap plain(10, 10, PixelFormat32bppARGB);
    BYTE pixels[4 * 4 * 4] = {};
    Bitmap wrapped(4, 4, 16, PixelFormat32bppARGB, pixels);
    for (Bitmap* bitmap : {&plain, &wrapped}) {
        EXPECT_FLOAT_EQ(bitmap->GetHorizontalResolution(), 96);
        EXPECT_FLOAT_EQ(bitmap->GetVerticalResolution(), 96);
    }
    Graphics onPlain(&plain);
    EXPECT_FLOAT_EQ(onPlain.GetDpiX(), 96);
    onPlain.Clear(Color(Color::Black));

    Surface s;
    EXPECT_EQ(s.graphics.DrawImage(&plain, 20, 30), Ok);
    EXPECT_TRUE(s.Ink(20, 30) && s.Ink(29, 39));
    EXPECT_FALSE(s.Ink(30, 35) || s.Ink(25, 40));

    Surface other;
    s.graphics.TranslateTransform(5, 5);
    const GraphicsState foreign = other.graphics.Save();
    other.graphics.Save();
    EXPECT_EQ(s.graphics.Restore(foreign), Ok);
    EXPECT_EQ(s.graphics.Restore(foreign + 1000), Ok);
    Matrix world;
    s.graphics.GetTransform(&world);
    EXPECT_FLOAT_EQ(world.OffsetX(), 5);
}

// Pictures GDI+ reads where the engine does not, in the formats GDI+ gives them: a PNG whose header checksum
// is wrong still loads; 8-bit RGB with a transparent colour is 32-bit ARGB, that colour transparent; an
// animated GIF is 32-bit ARGB (its first frame), a GIF of one frame stays indexed.
TEST(ClientDecoding, BadHeaderChecksumTransparentRgbAndAnimatedGif)
{
    const std::string folder = PICTOR_TEST_DATA "/decode/";
    std::vector<char> rgb = pictor_test::ReadFile(folder + "rgb8.png");
    ASSERT_GT(rgb.size(), 33u);
    auto intact = pictor_test::BitmapFromBytes(rgb);
    std::fill(rgb.begin() + 29, rgb.begin() + 33, '\xFF');  // the header chunk's checksum
    auto badChecksum = pictor_test::BitmapFromBytes(rgb);
    ASSERT_EQ(badChecksum->GetLastStatus(), Ok);
    EXPECT_EQ(badChecksum->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(PixelOf(*badChecksum, 5, 5), PixelOf(*intact, 5, 5));

    // A tRNS chunk after the header makes the colour of the top-left pixel transparent.
    const ARGB key = PixelOf(*intact, 0, 0) & 0xFFFFFF;
    std::string chunk("\0\0\0\6tRNS", 8);
    for (int shift : {16, 8, 0}) chunk += {'\0', static_cast<char>(key >> shift)};
    const uint32_t crc = pictor_test::Crc32(chunk.data() + 4, chunk.size() - 4);
    for (int shift : {24, 16, 8, 0}) chunk += static_cast<char>(crc >> shift);
    std::vector<char> keyedBytes = pictor_test::ReadFile(folder + "rgb8.png");
    keyedBytes.insert(keyedBytes.begin() + 33, chunk.begin(), chunk.end());
    auto keyed = pictor_test::BitmapFromBytes(keyedBytes);
    ASSERT_EQ(keyed->GetLastStatus(), Ok);
    EXPECT_EQ(keyed->GetPixelFormat(), PixelFormat32bppARGB);
    int differing = 0;
    for (UINT y = 0; y < keyed->GetHeight(); ++y)
        for (UINT x = 0; x < keyed->GetWidth(); ++x) {
            const ARGB plain = PixelOf(*intact, x, y);
            differing += PixelOf(*keyed, x, y) != ((plain & 0xFFFFFF) == key ? key : plain);
        }
    EXPECT_EQ(differing, 0);

    namespace flat = DllExports;
    for (const char* name : {"anim.gif", "trans.gif"}) {
        SCOPED_TRACE(name);
        const CString path((folder + name).c_str());
        Bitmap gif(path);
        ASSERT_EQ(gif.GetLastStatus(), Ok);
        const bool animated = std::string(name) == "anim.gif";
        EXPECT_EQ(gif.GetPixelFormat(), animated ? PixelFormat32bppARGB : PixelFormat8bppIndexed);
        // The first frame's pixels, as the engine shows them.
        flat::GpImage* engine = nullptr;
        ASSERT_EQ(flat::GdipLoadImageFromFile(path.GetString(), &engine), Ok);
        int gifDiffering = 0;
        for (UINT y = 0; y < gif.GetHeight(); ++y)
            for (UINT x = 0; x < gif.GetWidth(); ++x) {
                ARGB expected = 0;
                flat::GdipBitmapGetPixel(reinterpret_cast<flat::GpBitmap*>(engine), x, y, &expected);
                gifDiffering += PixelOf(gif, x, y) != expected;
            }
        flat::GdipDisposeImage(engine);
        EXPECT_EQ(gifDiffering, 0);
    }
}

// Lines need points: none, or a negative count, fail as in GDI+ and leave the path as it was.
TEST(ClientPaths, AddLinesWithoutPointsIsInvalid)
{
    GraphicsPath path;
    const PointF floats[] = {{0, 0}, {10, 10}, {20, 0}};
    const Point ints[] = {{0, 0}, {10, 10}};
    EXPECT_EQ(path.AddLines(floats, 0), InvalidParameter);
    EXPECT_EQ(path.AddLines(floats, -1), InvalidParameter);
    EXPECT_EQ(path.AddLines(static_cast<const PointF*>(nullptr), 2), InvalidParameter);
    EXPECT_EQ(path.AddLines(ints, 0), InvalidParameter);
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(path.GetPointCount(), 0);
    EXPECT_EQ(path.AddLines(floats, 3), Ok);
    EXPECT_EQ(path.AddLines(ints, 2), Ok);
    EXPECT_EQ(path.GetPointCount(), 5);
}

// With nearest neighbour each drawn pixel is one source pixel, never a blend: a one-pixel checkerboard
// shrunk to 0.6 stays black and white, and a picture doubled is drawn in 2 x 2 blocks of its pixels.
TEST(ClientGraphics, NearestNeighbourDrawsSourcePixelsUnblended)
{
    Bitmap checker(10, 10, PixelFormat32bppARGB), quad(2, 2, PixelFormat32bppARGB);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) checker.SetPixel(x, y, Color((x + y) % 2 ? Color::White : Color::Black));
    const ARGB colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFF00};
    for (int i = 0; i < 4; ++i) quad.SetPixel(i % 2, i / 2, Color(colours[i]));

    CFxPictor canvas(nullptr, 20, 20);
    canvas.Clear(0, 0, 0, 0);
    canvas.m_pGraphics->SetInterpolationMode(InterpolationModeNearestNeighbor);
    canvas.m_pGraphics->DrawImage(&checker, Rect(0, 0, 6, 6), 0, 0, 10, 10, UnitPixel);
    int black = 0, white = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const ARGB pixel = pictor_test::PixelOf(canvas, x, y);
            black += pixel == 0xFF000000u;
            white += pixel == 0xFFFFFFFFu;
        }
    EXPECT_EQ(black + white, 36);
    EXPECT_GE(std::min(black, white), 12);

    canvas.m_pGraphics->DrawImage(&quad, Rect(10, 10, 4, 4), 0, 0, 2, 2, UnitPixel);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(pictor_test::Near(pictor_test::PixelOf(canvas, 10 + x, 10 + y), colours[y / 2 * 2 + x / 2], 1))
                << x << ", " << y;
}
