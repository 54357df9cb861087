// Where libgdiplus departs from GDI+, the platform layer must give GDI+'s result; each test names the
// GDI+ behaviour and checks it through the canvas (or the layer, where the canvas does not reach).
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "win/MemoryDC.h"

using pictor_test::ExpectPixels;
using pictor_test::Near;
using pictor_test::PixelOf;

namespace {

const Gdiplus::ARGB kRed = 0xFFFF0000u;
const Gdiplus::ARGB kBlue = 0xFF0000FFu;
const Gdiplus::ARGB kWhite = 0xFFFFFFFFu;

// A canvas whose left half is blue and right half red.
void PaintHalves(CFxPictor& canvas)
{
    const CSize size = canvas.GetSize();
    canvas.Clear(255, 0, 0, 255);
    canvas.FillRect(0, 0, size.cx / 2, size.cy, Gdiplus::Color(kBlue));
}

// The first and last columns of a white canvas that hold ink; (-1, -1) when none does.
std::pair<int, int> InkColumns(CFxPictor& canvas)
{
    const CSize size = canvas.GetSize();
    std::pair<int, int> columns{-1, -1};
    for (int x = 0; x < size.cx; ++x)
        for (int y = 0; y < size.cy; ++y)
            if (!Near(PixelOf(canvas, x, y), kWhite, 60)) {
                if (columns.first < 0) columns.first = x;
                columns.second = x;
                break;
            }
    return columns;
}

}  // namespace

TEST(GdiplusBehaviour, DrawImageScalesEachDirectionOnItsOwnAndShowsThePhysicalSize)
{
    CFxPictor source(nullptr, 100, 100);
    PaintHalves(source);
    source.ReSampling(200, 100, 0, 0, 255, 0);
    ExpectPixels(source, {{90, 50, kBlue}, {150, 50, kRed}});

    CFxPictor picture(nullptr, 20, 10);
    PaintHalves(picture);
    CFxPictor dest(nullptr, 60, 60);
    dest.Clear(255, 255, 255, 255);
    picture.CopyToThis(&dest, 0, 0, 20, 10, 0, 0, 20, 40);  // taller only
    ExpectPixels(dest, {{5, 35, kBlue}, {15, 35, kRed}});
    dest.Clear(255, 255, 255, 255);
    picture.CopyToThisAlpha(&dest, 0, 0, 60, 10, 1.0f);  // wider only, through image attributes
    ExpectPixels(dest, {{25, 5, kBlue}, {55, 5, kRed}});

    // Printed: a 20 × 10 source into 20 × 40 covers 10 × 20 of the page.
    CMemoryDC page(60, 60);
    CDC pageDC(page.GetSafeHdc());
    picture.UpdateGdiPrint(&pageDC, 0, 0, 20, 10, 0, 0, 20, 40);
    ExpectPixels(page, {{8, 18, kRed}, {8, 22, kWhite}});

    // A 96-dpi canvas at a point on a 192-dpi device covers twice its pixels in each direction.
    CFxPictor canvas(nullptr, 10, 10);
    canvas.Clear(255, 0, 0, 255);
    CMemoryDC device(60, 60, kWhite, 192.0f);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc, 5, 5);
    ExpectPixels(device, {{23, 23, kRed}, {26, 15, kWhite}, {15, 26, kWhite}});

    // A part of the image at a point, likewise.
    Gdiplus::Graphics graphics(device.Surface());
    graphics.Clear(Gdiplus::Color(kWhite));
    graphics.DrawImage(canvas.GetBitmap(), 0, 0, 0, 0, 5, 10, Gdiplus::UnitPixel);
    ExpectPixels(device, {{8, 18, kRed}, {11, 10, kWhite}});
}

TEST(GdiplusBehaviour, TextGoesOnPastAnEmbeddedNul)
{
    const CString family("DejaVu Sans"), whole(u"AB\0CD", 5), joined("ABCD");
    CFxPictor canvas(nullptr, 300, 80);
    EXPECT_NEAR(canvas.GetTextSize(20, family, whole).Width(), canvas.GetTextSize(20, family, joined).Width(), 2);

    using Draw = std::function<void(const CString&)>;
    auto columns = [&canvas](const Draw& draw, const CString& text) {
        canvas.Clear(255, 255, 255, 255);
        draw(text);
        return InkColumns(canvas);
    };
    const Draw draws[] = {
        [&](const CString& text) { canvas.Text(10, 10, 20, 255, 0, 0, 0, family, text); },
        [&](const CString& text) { canvas.Text(CRect(0, 0, 300, 80), 20, 255, 0, 0, 0, family, text, 90.0f, 10, 10); },
        [&](const CString& text) {
            canvas.Text(CRect(0, 0, 300, 80), 20, Gdiplus::Color(0xFF000000), 0, Gdiplus::StringAlignmentCenter,
                        family, text);
        },
    };
    for (const Draw& draw : draws) {
        const auto withNul = columns(draw, whole), plain = columns(draw, joined);
        EXPECT_NEAR(withNul.first, plain.first, 2);
        EXPECT_NEAR(withNul.second, plain.second, 2);
    }
}

TEST(GdiplusBehaviour, EveryHatchStyleIsItsOwnPattern)
{
    // 53 styles, each over an 8 × 8 cell of the pattern grid, side by side.
    const int kStyles = 53;
    CFxPictor canvas(nullptr, kStyles * 8, 8);
    for (int style = 0; style < kStyles; ++style) canvas.FillPatternRect(style * 8, 0, 8, 8, style);
    auto cell = [&canvas](int style) {
        std::vector<Gdiplus::ARGB> pixels;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pixels.push_back(PixelOf(canvas, style * 8 + x, y));
        return pixels;
    };
    for (int a = 0; a < kStyles; ++a)
        for (int b = a + 1; b < kStyles; ++b) EXPECT_NE(cell(a), cell(b)) << "styles " << a << " and " << b;
}

TEST(GdiplusBehaviour, PensEndEachLineWithItsOwnStartAndEndCaps)
{
    using Gdiplus::LineCap;
    // Pixels beyond an end of a line 20 wide (half width 10), as (along past the end, across from the axis)
    // in whole pixels, that tell the caps apart: flat covers none; square all; round the first and the last;
    // triangle the first only. (The engine puts anti-aliased lines through pixel centres.)
    struct Probe {
        int along, across;
        bool covered[4];  // by flat, square, round, triangle
    } const probes[] = {{4, 0, {false, true, true, true}}, {8, 8, {false, true, false, false}},
                        {5, 6, {false, true, true, false}}};
    const LineCap caps[] = {Gdiplus::LineCapFlat, Gdiplus::LineCapSquare, Gdiplus::LineCapRound,
                            Gdiplus::LineCapTriangle};
    CFxPictor canvas(nullptr, 200, 60);
    canvas.SetSmoothModeHighQuility();
    auto painted = [&canvas](int x, int y) { return (PixelOf(canvas, x, y) >> 16 & 0xFF) < 128; };
    // From x = 20 to x = 160 at y = 30: solid, then dashed (dashes of 60 and gaps of 20, the last from 100).
    for (Gdiplus::DashStyle dash : {Gdiplus::DashStyleSolid, Gdiplus::DashStyleDash})
        for (LineCap start : caps)
            for (LineCap end : caps) {
                canvas.Clear(255, 255, 255, 255);
                canvas.Line(20, 30, 160, 30, 255, 0, 0, 255, 20.0f, dash, start, end);
                for (const Probe& p : probes) {
                    EXPECT_EQ(painted(20 - p.along, 30 + p.across), p.covered[start])
                        << "start cap " << start << " end cap " << end << " dash " << dash << " at " << p.along;
                    EXPECT_EQ(painted(160 + p.along, 30 + p.across), p.covered[end])
                        << "end cap " << end << " start cap " << start << " dash " << dash << " at " << p.along;
                }
                // Between the ends the dashes end flat, whatever the caps.
                if (dash == Gdiplus::DashStyleDash) {
                    EXPECT_FALSE(painted(84, 30));
                }
            }

    // Anchors are centred on the end, reaching past it; an arrow's tip is the end.
    for (LineCap anchor : {Gdiplus::LineCapSquareAnchor, Gdiplus::LineCapRoundAnchor, Gdiplus::LineCapDiamondAnchor,
                           Gdiplus::LineCapArrowAnchor}) {
        canvas.Clear(255, 255, 255, 255);
        canvas.Line(20, 30, 160, 30, 255, 0, 0, 255, 20.0f, Gdiplus::DashStyleSolid, Gdiplus::LineCapFlat, anchor);
        EXPECT_EQ(painted(168, 30), anchor != Gdiplus::LineCapArrowAnchor) << "anchor " << anchor;
    }
}

TEST(GdiplusBehaviour, HatchesKeepToDevicePixelsUnderATransform)
{
    // A hatch is laid from the device's origin in device pixels: moved or scaled fills show the same cells.
    for (int style : {Gdiplus::HatchStyleForwardDiagonal, Gdiplus::HatchStyleLargeConfetti}) {
        CFxPictor plain(nullptr, 32, 16), moved(nullptr, 32, 16), scaled(nullptr, 32, 16);
        plain.FillPattern(style);
        moved.MatrixTransform(1, 0, 0, 1, 3, 0);
        moved.FillPatternRect(-3, 0, 32, 16, style);
        scaled.MatrixTransform(2, 0, 0, 2, 0, 0);
        scaled.FillPatternRect(0, 0, 16, 8, style);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) {
                ASSERT_EQ(PixelOf(moved, x, y), PixelOf(plain, x, y)) << "style " << style << " at " << x << "," << y;
                ASSERT_EQ(PixelOf(scaled, x, y), PixelOf(plain, x, y)) << "style " << style << " at " << x << "," << y;
            }
    }
}
