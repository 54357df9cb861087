// Path gradients, the rest of linear gradients, line caps, pen getters and image attributes, written as
// GDI+ client code: each draws into a bitmap and reads the pixels back. Expected statuses and values are
// those Windows reports.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::ExpectPixels;
using pictor_test::Surface;

namespace {

const REAL kNaN = std::numeric_limits<REAL>::quiet_NaN();

}  // namespace

TEST(BrushExtra, PathGradientGoesFromCentreColourToSurround)
{
    GraphicsPath circle;
    circle.AddEllipse(10, 10, 80, 80);
    PathGradientBrush brush(&circle);
    ASSERT_EQ(Ok, brush.GetLastStatus());
    EXPECT_EQ(Ok, brush.SetCenterColor(Color(255, 255, 0, 0)));
    Color blue(255, 0, 0, 255);
    INT count = 1;
    EXPECT_EQ(Ok, brush.SetSurroundColors(&blue, &count));
    // Windows counts a colour for every point of the outline, the last one set repeated.
    const INT points = brush.GetPointCount();
    EXPECT_EQ(13, points);
    EXPECT_EQ(points, brush.GetSurroundColorCount());
    std::vector<Color> got(static_cast<size_t>(points));
    count = points - 1;
    EXPECT_EQ(InvalidParameter, brush.GetSurroundColors(got.data(), &count));
    count = points;
    EXPECT_EQ(Ok, brush.GetSurroundColors(got.data(), &count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(blue.GetValue(), got[points - 1].GetValue());
    ASSERT_EQ(Ok, brush.SetCenterPoint(PointF(50, 50)));
    RectF box;
    EXPECT_EQ(Ok, brush.GetRectangle(&box));
    EXPECT_NEAR(10, box.X, 0.01);
    EXPECT_NEAR(80, box.Width, 0.01);

    Surface s;
    ASSERT_EQ(Ok, s.graphics.FillEllipse(&brush, 10, 10, 80, 80));
    ExpectPixels(s.bitmap,
                 {{50, 50, 0xFFFF0000, 24}, {12, 50, 0xFF0000FF, 40}, {50, 88, 0xFF0000FF, 40}, {3, 3, 0xFFFFFFFF}});

    // Blends, as Windows answers them: one factor to begin with, the ends must be 0 and 1, a short
    // buffer is refused; no interpolation colours until some are set.
    EXPECT_EQ(1, brush.GetBlendCount());
    const REAL factors[3] = {0, 0.5f, 1}, positions[3] = {0, 0.5f, 1}, open[3] = {0, 0.5f, 0.9f};
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, open, 3));
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, positions, 0));
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, positions, -1));
    EXPECT_EQ(Ok, brush.SetBlend(factors, positions, 3));
    EXPECT_EQ(3, brush.GetBlendCount());
    REAL gotFactors[3], gotPositions[3];
    EXPECT_EQ(InsufficientBuffer, brush.GetBlend(gotFactors, gotPositions, 2));
    EXPECT_EQ(Ok, brush.GetBlend(gotFactors, gotPositions, 3));
    EXPECT_FLOAT_EQ(0.5f, gotPositions[1]);
    EXPECT_EQ(0, brush.GetInterpolationColorCount());
    Color colours[2];
    REAL at[2];
    EXPECT_EQ(OutOfMemory, brush.GetInterpolationColors(colours, at, -1));
    EXPECT_EQ(InvalidParameter, brush.GetInterpolationColors(colours, at, 0));
    EXPECT_EQ(InvalidParameter, brush.SetInterpolationColors(colours, at, 1));

    // Hostile: a count far beyond the arrays is refused before anything is read; positions that are not
    // numbers are refused; so are more surround colours than points.
    const REAL nanPositions[3] = {0, kNaN, 1};
    EXPECT_EQ(OutOfMemory, brush.SetBlend(factors, positions, INT_MAX));
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, nanPositions, 3));
    EXPECT_EQ(3, brush.GetBlendCount());
    count = brush.GetPointCount() + 1;
    std::vector<Color> many(static_cast<size_t>(count), blue);
    EXPECT_EQ(InvalidParameter, brush.SetSurroundColors(many.data(), &count));
}

TEST(BrushExtra, LinearGradientWithBellShapePeaksAtTheFocus)
{
    LinearGradientBrush brush(PointF(0, 0), PointF(100, 0), Color(255, 255, 0, 0), Color(255, 0, 0, 255));
    ASSERT_EQ(Ok, brush.SetBlendBellShape(0.5f, 1.0f));
    EXPECT_GT(brush.GetBlendCount(), 2);
    Surface s;
    ASSERT_EQ(Ok, s.graphics.FillRectangle(&brush, 0, 0, 100, 100));
    // The second colour at the focus, the first at both ends.
    ExpectPixels(s.bitmap, {{50, 50, 0xFF0000FF, 16}, {0, 50, 0xFFFF0000, 40}, {99, 50, 0xFFFF0000, 40}});

    // A brush made from a rectangle runs down it from the first colour to the second.
    LinearGradientBrush vertical(RectF(10, 20, 30, 40), Color(0xFF112233), Color(0xFF445566),
                                 LinearGradientModeVertical);
    Surface v;
    ASSERT_EQ(Ok, v.graphics.FillRectangle(&vertical, 10, 20, 30, 40));
    ExpectPixels(v.bitmap, {{25, 20, 0xFF112233, 8}, {25, 59, 0xFF445566, 8}});

    // Hostile blends: none, far too many, a position that is not a number.
    const REAL factors[3] = {0, 0.5f, 1}, positions[3] = {0, kNaN, 1};
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, positions, 0));
    EXPECT_EQ(OutOfMemory, brush.SetBlend(factors, positions, INT_MAX));
    EXPECT_EQ(InvalidParameter, brush.SetBlend(factors, positions, 3));
    Color preset[3] = {Color(0xFF000000), Color(0xFF808080), Color(0xFFFFFFFF)};
    EXPECT_EQ(InvalidParameter, brush.SetInterpolationColors(preset, positions, 3));
}

TEST(BrushExtra, ArrowCapCompoundBandsAndPenGetters)
{
    AdjustableArrowCap arrow(4, 4, TRUE);
    ASSERT_EQ(Ok, arrow.GetLastStatus());
    EXPECT_FLOAT_EQ(0, arrow.GetMiddleInset());

    Pen pen(Color(255, 0, 0, 0), 3);
    ASSERT_EQ(Ok, pen.SetCustomEndCap(&arrow));
    EXPECT_EQ(LineCapCustom, pen.GetEndCap());
    Surface s;
    ASSERT_EQ(Ok, s.graphics.DrawLine(&pen, 10, 50, 80, 50));
    // The head ends at the line's end, 12 pixels long and 12 wide at its back: 5 to each side of the
    // 3-pixel line 10 pixels from the tip, nothing beside the line further back or beyond the tip.
    EXPECT_TRUE(s.Ink(45, 50) && s.Ink(70, 46) && s.Ink(70, 54));
    EXPECT_FALSE(s.Ink(60, 44) || s.Ink(84, 50) || s.Ink(30, 46) || s.Ink(30, 54));

    // A pen with no custom cap gives none back, as Windows does.
    Pen plain(Color(255, 0, 0, 0), 1);
    AdjustableArrowCap copy(1, 1);
    EXPECT_EQ(Ok, plain.GetCustomEndCap(&copy));
    EXPECT_EQ(nullptr, copy.NativeCap());

    // Compound bands: Windows refuses an odd count, values out of order or beyond 0 to 1.
    const REAL good[4] = {0.2f, 0.4f, 0.6f, 0.8f}, unsorted[4] = {0.2f, 0.6f, 0.4f, 0.8f};
    const REAL tooLarge[4] = {0.2f, 0.4f, 0.6f, 2.8f}, notNumbers[4] = {0.2f, kNaN, 0.6f, 0.8f};
    EXPECT_EQ(0, plain.GetCompoundArrayCount());
    EXPECT_EQ(InvalidParameter, plain.SetCompoundArray(good, 3));
    EXPECT_EQ(InvalidParameter, plain.SetCompoundArray(unsorted, 4));
    EXPECT_EQ(InvalidParameter, plain.SetCompoundArray(tooLarge, 4));
    EXPECT_EQ(InvalidParameter, plain.SetCompoundArray(notNumbers, 4));
    EXPECT_EQ(Ok, plain.SetCompoundArray(good, 4));
    EXPECT_EQ(4, plain.GetCompoundArrayCount());
    REAL got[4] = {};
    EXPECT_EQ(InvalidParameter, plain.GetCompoundArray(got, 5));
    EXPECT_EQ(Ok, plain.GetCompoundArray(got, 4));
    EXPECT_FLOAT_EQ(0.6f, got[2]);

    // The pen transform, as Windows composes it.
    Matrix m(3, -2, 5, 2, 6, 3);
    EXPECT_EQ(Ok, plain.SetTransform(&m));
    EXPECT_EQ(Ok, plain.TranslateTransform(1, -2, MatrixOrderAppend));
    Matrix back;
    REAL e[6];
    EXPECT_EQ(Ok, plain.GetTransform(&back));
    back.GetElements(e);
    EXPECT_FLOAT_EQ(7, e[4]);
    EXPECT_FLOAT_EQ(1, e[5]);
    EXPECT_EQ(PenTypeSolidColor, plain.GetPenType());

    // As GDI+ draws it: a 20-pixel pen with bands at 0-0.3 and 0.7-1 leaves the middle 8 pixels undrawn
    // (libgdiplus drew one solid stroke).
    const REAL outerQuarters[4] = {0.0f, 0.3f, 0.7f, 1.0f};
    Pen bandPen(Color(255, 0, 0, 0), 20);
    ASSERT_EQ(Ok, bandPen.SetCompoundArray(outerQuarters, 4));
    Surface line;
    ASSERT_EQ(Ok, line.graphics.DrawLine(&bandPen, 10, 50, 90, 50));
    EXPECT_TRUE(line.Ink(50, 41) && line.Ink(50, 45) && line.Ink(50, 55) && line.Ink(50, 59));
    EXPECT_TRUE(line.Blank(50, 47) && line.Blank(50, 50) && line.Blank(50, 53));
    EXPECT_TRUE(line.Blank(50, 38) && line.Blank(50, 62) && line.Blank(5, 43));

    // A rectangle's outline: a band outside and one inside, the gap between them on the outline.
    const REAL quarters[4] = {0.0f, 0.25f, 0.75f, 1.0f};
    Pen frame(Color(255, 0, 0, 0), 12);
    ASSERT_EQ(Ok, frame.SetCompoundArray(quarters, 4));
    Surface box;
    ASSERT_EQ(Ok, box.graphics.DrawRectangle(&frame, 20, 20, 60, 60));
    EXPECT_TRUE(box.Ink(15, 50) && box.Ink(24, 50) && box.Ink(50, 15) && box.Ink(50, 84));
    EXPECT_TRUE(box.Blank(20, 50) && box.Blank(80, 50) && box.Blank(50, 50) && box.Blank(12, 50));
}

TEST(BrushExtra, ColourKeyMakesAColourTransparentInDrawImage)
{
    Bitmap picture(20, 20, PixelFormat32bppARGB);
    {
        Graphics g(&picture);
        g.Clear(Color(255, 0, 128, 0));
        SolidBrush red(Color(255, 255, 0, 0));
        g.FillRectangle(&red, 5, 5, 10, 10);
    }
    ImageAttributes keyed;
    ASSERT_EQ(Ok, keyed.SetColorKey(Color(255, 250, 0, 0), Color(255, 255, 5, 5)));
    Surface s;
    ASSERT_EQ(Ok, s.graphics.DrawImage(&picture, Rect(0, 0, 20, 20), 0, 0, 20, 20, UnitPixel, &keyed));
    ExpectPixels(s.bitmap, {{10, 10, 0xFFFFFFFF}, {2, 2, 0xFF008000, 2}});  // the keyed red lets the white through

    // Cleared, the key no longer applies.
    EXPECT_EQ(Ok, keyed.ClearColorKey());
    ASSERT_EQ(Ok, s.graphics.DrawImage(&picture, Rect(0, 0, 20, 20), 0, 0, 20, 20, UnitPixel, &keyed));
    ExpectPixels(s.bitmap, {{10, 10, 0xFFFF0000, 2}});

    // A remap table turns green into blue.
    ImageAttributes remapped;
    ColorMap map{Color(255, 0, 128, 0), Color(255, 0, 0, 255)};
    ASSERT_EQ(Ok, remapped.SetRemapTable(1, &map));
    ASSERT_EQ(Ok, s.graphics.DrawImage(&picture, Rect(0, 0, 20, 20), 0, 0, 20, 20, UnitPixel, &remapped));
    ExpectPixels(s.bitmap, {{2, 2, 0xFF0000FF, 2}});

    // Hostile: a colour matrix of values that are not numbers is taken, as Windows takes any matrix, and
    // drawing with it returns without harm, leaving the surface as it was or changing only the drawn area.
    ColorMatrix nans;
    for (auto& row : nans.m)
        for (auto& value : row) value = kNaN;
    ImageAttributes broken;
    EXPECT_EQ(Ok, broken.SetColorMatrix(&nans));
    EXPECT_EQ(Ok, s.graphics.DrawImage(&picture, Rect(0, 0, 20, 20), 0, 0, 20, 20, UnitPixel, &broken));
    EXPECT_EQ(0xFFFFFFFFu, s.At(50, 50));
}

// Gamma and wrap mode of ImageAttributes as DrawImage applies them: a gamma above one darkens mid-tones
// (value^gamma), and a tiling wrap mode repeats the picture over a source rectangle past its edge.
TEST(BrushExtra, ImageAttributesGammaAndWrapMode)
{
    Bitmap grey(10, 10, PixelFormat32bppARGB);
    Graphics(&grey).Clear(Color(255, 128, 128, 128));
    ImageAttributes gamma;
    ASSERT_EQ(Ok, gamma.SetGamma(2.2f));
    Surface s(20);
    ASSERT_EQ(Ok, s.graphics.DrawImage(&grey, Rect(0, 0, 10, 10), 0, 0, 10, 10, UnitPixel, &gamma));
    ExpectPixels(s.bitmap, {{5, 5, 0xFF383838, 2}});  // (128 / 255)^2.2 of 255: 56

    Bitmap halves(10, 10, PixelFormat32bppARGB);
    pictor_test::PaintRedAndBlueHalves(halves);
    ImageAttributes tiled;
    ASSERT_EQ(Ok, tiled.SetWrapMode(WrapModeTile));
    Surface t(20);
    ASSERT_EQ(Ok, t.graphics.DrawImage(&halves, Rect(0, 0, 20, 10), 0, 0, 20, 10, UnitPixel, &tiled));
    ExpectPixels(t.bitmap, {{2, 5, 0xFFFF0000}, {7, 5, 0xFF0000FF}, {12, 5, 0xFFFF0000}, {17, 5, 0xFF0000FF}});
}
