// Drawing-context extras and font metrics, written as GDI+ client code: containers, coordinate spaces,
// several rectangles, an image on a parallelogram, pixel offset, and the metrics and collections of fonts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Channel;
using pictor_test::Surface;

namespace {

void ExpectPoint(const PointF& p, REAL x, REAL y)
{
    EXPECT_NEAR(p.X, x, 1e-3) << "y " << p.Y;
    EXPECT_NEAR(p.Y, y, 1e-3) << "x " << p.X;
}

}  // namespace

TEST(GraphicsExtra, ContainersMoveDrawingAndMapPointsAsWindows)
{
    Surface s(60);
    SolidBrush black(Color(255, 0, 0, 0));
    s.graphics.TranslateTransform(20, 0);
    GraphicsContainer outer = s.graphics.BeginContainer();
    // Inside, the transform starts afresh but drawing still lands where the outside puts it.
    Matrix inside;
    s.graphics.GetTransform(&inside);
    EXPECT_TRUE(inside.IsIdentity());
    s.graphics.TranslateTransform(0, 30);
    s.graphics.FillRectangle(&black, 0, 0, 5, 5);
    EXPECT_EQ(s.graphics.EndContainer(outer), Ok);
    s.graphics.FillRectangle(&black, 0, 0, 5, 5);
    EXPECT_TRUE(s.Ink(22, 32));  // inside: both translations
    EXPECT_TRUE(s.Ink(22, 2));   // after: the outer one only
    EXPECT_FALSE(s.Ink(2, 32));
    EXPECT_EQ(s.graphics.EndContainer(outer), Ok);  // ended already: ignored

    // Rectangles carry the source onto the destination; values as Windows reports them.
    Surface r(60);
    const REAL dpi = r.graphics.GetDpiX();
    PointF p[3] = {{0, 0}, {1, 0}, {0, 1}};
    r.graphics.ScaleTransform(2, 2);
    GraphicsContainer c = r.graphics.BeginContainer(RectF(1, 0, 1, 3), RectF(0, 0, 1, 1), UnitPixel);
    EXPECT_EQ(r.graphics.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, p, 3), Ok);
    ExpectPoint(p[0], 2, 0);
    ExpectPoint(p[1], 4, 0);
    ExpectPoint(p[2], 2, 6);
    r.graphics.EndContainer(c);
    r.graphics.ResetTransform();
    r.graphics.SetPageUnit(UnitInch);
    c = r.graphics.BeginContainer(RectF(1, 0, 1, 3), RectF(0, 0, 1, 1), UnitInch);
    PointF q[2] = {{0, 0}, {1, 0}};
    r.graphics.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, q, 2);
    ExpectPoint(q[0], dpi, 0);
    ExpectPoint(q[1], dpi + 1, 0);
    EXPECT_EQ(r.graphics.GetPageUnit(), UnitDisplay);
    r.graphics.EndContainer(c);
    EXPECT_EQ(r.graphics.GetPageUnit(), UnitInch);
    GraphicsContainer bad = r.graphics.BeginContainer(RectF(0, 0, 1, 1), RectF(0, 0, 1, 1), UnitDisplay);
    EXPECT_EQ(bad, 0u);
    EXPECT_EQ(r.graphics.GetLastStatus(), InvalidParameter);

    // Device to world undoes world to device, through the page scale the layer applies for pixels.
    r.graphics.SetPageUnit(UnitPixel);
    r.graphics.SetPageScale(2);
    r.graphics.TranslateTransform(3, 4);
    PointF w = {1, 1};
    r.graphics.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &w, 1);
    ExpectPoint(w, 8, 10);
    r.graphics.TransformPoints(CoordinateSpaceWorld, CoordinateSpaceDevice, &w, 1);
    ExpectPoint(w, 1, 1);
    Point whole = {1, 1};
    r.graphics.TransformPoints(CoordinateSpacePage, CoordinateSpaceWorld, &whole, 1);
    EXPECT_EQ(std::pair(whole.X, whole.Y), std::pair(4, 5));
    EXPECT_EQ(r.graphics.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &w, 0), InvalidParameter);
    PointF nan = {NAN, 1};
    EXPECT_EQ(r.graphics.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &nan, 1), Ok);

    // Thousands nested, ended out of order: a status each, and ending the outermost ends them all.
    Surface deep(60);
    std::vector<GraphicsContainer> opened;
    for (int i = 0; i < 3000; ++i) opened.push_back(deep.graphics.BeginContainer());
    deep.graphics.GetLastStatus();
    deep.graphics.EndContainer(opened[5]);
    deep.graphics.EndContainer(opened[2000]);
    deep.graphics.EndContainer(opened[0]);
    deep.graphics.FillRectangle(&black, 0, 0, 5, 5);
    EXPECT_TRUE(deep.Ink(2, 2));
}

TEST(GraphicsExtra, RectanglesImagesAndSettingsGiveAStatusForHostileArguments)
{
    Surface s(60);
    SolidBrush black(Color(255, 0, 0, 0));
    const Rect three[3] = {Rect(0, 0, 10, 10), Rect(20, 0, 10, 10), Rect(40, 0, 10, 10)};
    EXPECT_EQ(s.graphics.FillRectangles(&black, three, 3), Ok);
    EXPECT_TRUE(s.Ink(5, 5) && s.Ink(25, 5) && s.Ink(45, 5));
    EXPECT_FALSE(s.Ink(15, 5));
    EXPECT_EQ(s.graphics.FillRectangles(&black, three, 0), InvalidParameter);
    Pen pen(Color(255, 0, 0, 0));
    const RectF outlines[2] = {RectF(0, 20, 10, 10), RectF(20, 20, 10, 10)};
    EXPECT_EQ(s.graphics.DrawRectangles(&pen, outlines, 2), Ok);
    EXPECT_TRUE(s.Ink(20, 25) && !s.Ink(25, 25));

    // A 10 × 10 image on a parallelogram: its upper edge to the right, its left edge leaning right.
    Surface p(60);
    Bitmap ink(10, 10, PixelFormat32bppARGB);
    Graphics(&ink).Clear(Color(255, 0, 0, 0));
    const PointF corners[3] = {PointF(10, 10), PointF(30, 10), PointF(30, 30)};
    EXPECT_EQ(p.graphics.DrawImage(&ink, corners, 3), Ok);
    EXPECT_TRUE(p.Ink(28, 27) && p.Ink(25, 12));  // inside the band, near its lower edge and its top
    EXPECT_FALSE(p.Ink(12, 27));                  // left of the leaning edge
    EXPECT_EQ(p.graphics.DrawImage(&ink, corners, 4), NotImplemented);
    EXPECT_EQ(p.graphics.DrawImage(&ink, corners, 2), InvalidParameter);

    Surface h(60);
    EXPECT_EQ(h.graphics.SetPixelOffsetMode(PixelOffsetModeHalf), Ok);
    EXPECT_EQ(h.graphics.SetPixelOffsetMode(PixelOffsetMode(9)), InvalidParameter);

    Color c(0x80123456);
    EXPECT_EQ(h.graphics.GetNearestColor(&c), Ok);
    EXPECT_EQ(c.GetValue(), 0x80123456u);
    EXPECT_EQ(h.graphics.SetTextContrast(13), InvalidParameter);  // as Windows: 0 to 12
    EXPECT_EQ(h.graphics.GetTextContrast(), 4u);
    h.graphics.GetLastStatus();
    h.graphics.Flush();
    EXPECT_EQ(h.graphics.GetLastStatus(), Ok);

    // Hostile arguments get a status.
    Surface hostile;
    Graphics& g = hostile.graphics;
    // Missing or empty arrays, as Windows: InvalidParameter, and nothing drawn.
    PointF points[2] = {{1, 2}, {3, 4}};
    EXPECT_EQ(g.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, static_cast<PointF*>(nullptr), 2),
              InvalidParameter);
    EXPECT_EQ(g.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, points, -1), InvalidParameter);
    EXPECT_EQ(g.FillRectangles(&black, static_cast<const RectF*>(nullptr), 3), InvalidParameter);
    const RectF rects[1] = {{10, 10, 20, 20}};
    EXPECT_EQ(g.FillRectangles(&black, rects, 0), InvalidParameter);
    EXPECT_EQ(g.DrawRectangles(&pen, rects, -3), InvalidParameter);
    EXPECT_EQ(g.GetNearestColor(nullptr), InvalidParameter);
    EXPECT_TRUE(hostile.Blank(15, 15));

    // Degenerate and far-reaching containers give statuses or nothing drawn, never a crash.
    const RectF nowhere(0, 0, 0, 0), huge(-1e30f, -1e30f, 2e30f, 2e30f);
    const REAL nan = std::nanf("");
    for (const RectF& source : {nowhere, huge, RectF(nan, 0, 10, 10)}) {
        GraphicsContainer inner = g.BeginContainer(RectF(0, 0, 50, 50), source, UnitPixel);
        g.FillRectangle(&black, 0.0f, 0.0f, 1.0f, 1.0f);
        PointF probe(5, 5);
        g.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &probe, 1);
        g.EndContainer(inner);
    }
    g.EndContainer(12345);  // a container the context never began
    Bitmap tiny(2, 2, PixelFormat32bppARGB);
    const PointF far[3] = {{1e30f, 0}, {-1e30f, 1e30f}, {nan, 0}};
    g.DrawImage(&tiny, far, 3);
    GraphicsContainer last = g.BeginContainer();
    EXPECT_EQ(g.EndContainer(last), Ok);
    EXPECT_TRUE(hostile.Blank(60, 60));

    // A face name that fills the whole field without an end, and font files that are no fonts.
    LOGFONTW unterminated{};
    unterminated.lfHeight = -12;
    for (WCHAR& c : unterminated.lfFaceName) c = u'A';
    Font named(nullptr, &unterminated);
    named.GetLastStatus();
    PrivateFontCollection fonts;  // (a missing file: FontMetricsLogFontsAndCollections)
    EXPECT_EQ(fonts.AddFontFile(nullptr), InvalidParameter);
    EXPECT_NE(fonts.AddFontFile(u"/dev/zero"), Ok);
}

TEST(GraphicsExtra, FontMetricsLogFontsAndCollections)
{
    // DejaVu Sans as FreeType reads its tables; Arial as Windows reports it, through Liberation Sans.
    // Em height, cell ascent, cell descent and line spacing, in font units.
    const auto metrics = [](const FontFamily& f) {
        const INT style = FontStyleRegular;
        return std::vector<int>{f.GetEmHeight(style), f.GetCellAscent(style), f.GetCellDescent(style),
                                f.GetLineSpacing(style)};
    };
    FontFamily dejavu(u"DejaVu Sans"), arial(u"Arial");
    EXPECT_EQ(metrics(dejavu), (std::vector<int>{2048, 1901, 483, 2384}));
    EXPECT_EQ(metrics(arial), (std::vector<int>{2048, 1854, 434, 2355}));
    EXPECT_TRUE(dejavu.IsStyleAvailable(FontStyleBold));

    Font pixels(&dejavu, 20, FontStyleRegular, UnitPixel);
    EXPECT_NEAR(pixels.GetHeight(96.0f), 20 * 2384 / 2048.0, 0.01);

    Surface s(60);
    LOGFONTW logfont = {};
    logfont.lfHeight = -20;
    logfont.lfWeight = 700;
    std::u16string face = u"DejaVu Sans";
    face.copy(logfont.lfFaceName, face.size());
    HDC dc = reinterpret_cast<HDC>(1);
    Font fromLog(dc, &logfont);
    EXPECT_EQ(fromLog.GetLastStatus(), Ok);
    EXPECT_EQ(fromLog.GetStyle(), FontStyleBold);
    EXPECT_NEAR(fromLog.GetSize(), 20, 1e-3);
    LOGFONTW back = {};
    EXPECT_EQ(fromLog.GetLogFontW(&s.graphics, &back), Ok);
    EXPECT_EQ(back.lfWeight, 700);
    std::u16string(u"No Such Face Here").copy(logfont.lfFaceName, 17);
    Font missing(dc, &logfont);
    EXPECT_EQ(missing.GetLastStatus(), NotTrueTypeFont);

    InstalledFontCollection installed;
    EXPECT_GT(installed.GetFamilyCount(), 0);
    FontFamily families[2];
    INT found = 0;
    EXPECT_EQ(installed.GetFamilies(2, families, &found), Ok);
    EXPECT_EQ(found, 2);
    EXPECT_GT(families[0].GetEmHeight(FontStyleRegular), 0);

    PrivateFontCollection mine;
    EXPECT_EQ(mine.AddFontFile(u"/nonexistent/font.ttf"), FileNotFound);
    EXPECT_EQ(mine.AddFontFile(u"/dev/null"), FileNotFound);  // not a regular file
    pictor_test::TempFolder folder;
    const std::string notFont = folder.File("not-a-font.ttf");
    pictor_test::WriteFile(notFont, std::vector<char>(10, 'x'));
    EXPECT_EQ(mine.AddFontFile(std::u16string(notFont.begin(), notFont.end()).c_str()), InvalidParameter);
    EXPECT_EQ(mine.AddFontFile(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), Ok);
    FontFamily privateFamily(u"DejaVu Sans", &mine);
    EXPECT_TRUE(privateFamily.IsAvailable());
}
