// Bad arguments through the public class: nothing crashes, and the canvas stays usable after.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include <climits>
#include <limits>
#include <cstdio>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "Wrapping.h"
#include "win/MemoryDC.h"

using pictor_test::ExpectPixels;
using pictor_test::ResidentKilobytes;

namespace {

// Calls every drawing, pixel and copy member with the one rectangle given.
void UseEverything(CFxPictor& canvas, int x, int y, int w, int h)
{
    // Right and bottom wrap as the canvas's own 32-bit arithmetic would.
    const int right = static_cast<int>(static_cast<int64_t>(x) + w);
    const int bottom = static_cast<int>(static_cast<int64_t>(y) + h);
    CRect rect(x, y, right, bottom);
    const Gdiplus::Color red(255, 255, 0, 0), blue(255, 0, 0, 255);
    const CString family("DejaVu Sans"), text("Pictor 그림");

    canvas.Clear(10, 20, 30, 255);
    canvas.Clear(red);
    canvas.SetSmoothModeHighQuility();
    canvas.MatrixTransform(1, 0, 0, 1, 0, 0);
    int cx = x, cy = y, cw = w, ch = h;
    canvas.ClipXYWH(cx, cy, cw, ch);

    canvas.Line(x, y, right, bottom, 255, 1, 2, 3, 2.0f);
    canvas.Line(x, y, right, bottom, red, 0.0f);
    canvas.Line(x, y, right, bottom, 255, 1, 2, 3, -4.0f, Gdiplus::DashStyleDot, Gdiplus::LineCapRound,
                Gdiplus::LineCapArrowAnchor);
    Gdiplus::GraphicsPath path;
    path.AddLine(x, y, right, bottom);
    canvas.DrawPathLine(&path, red, 3);
    canvas.DrawPathLine(&path, 255, 1, 2, 3, 3, 99);
    canvas.DrawPolygon(&path, 255, 1, 2, 3, 255, 4, 5, 6);
    Gdiplus::GraphicsPath emptyPath;
    canvas.DrawPathLine(&emptyPath, red, 1);
    canvas.WireRect(x, y, w, h, 255, 1, 2, 3, 1.0f);
    canvas.WireRect(&rect, 255, 1, 2, 3, 1.0f, 5, Gdiplus::DashStyleDash);
    canvas.WireRectEmboss(x, y, w, h, 2.0f, 1);
    canvas.WireRectEmboss(x, y, w, h, 2.0f, 0);
    canvas.RectArrow(&rect, 255, 1, 2, 3, 0);
    Gdiplus::Point points[] = {{x, y}, {right, y}, {x, bottom}};
    canvas.Polygon(points, 255, 1, 2, 3, 3);
    canvas.Polygon(points, 255, 1, 2, 3, 0);
    canvas.Circle(x, y, w, 255, 1, 2, 3, 2.0f, 1);
    canvas.Circle(x, y, pictor::WrapSub(0, w), red, blue, 1.0f);

    for (int style = -1; style <= 53; ++style) canvas.FillPatternRect(x, y, w, h, style);
    canvas.FillRect(x, y, w, h, red);
    canvas.FillRect(&rect, 255, 1, 2, 3, 0, 1);
    canvas.FillRect(x, y, w, h, red, blue);
    canvas.FillGradientRect(x, y, w, h, 255, 1, 2, 3, 255, 4, 5, 6);
    canvas.FillGradientRectH(x, y, w, h, 255, 1, 2, 3, 255, 4, 5, 6);
    canvas.FillGradientRectHalf(x, y, w, h, 255, 1, 2, 3, 255, 4, 5, 6);
    canvas.FillGradientRect(&rect, red, blue);

    canvas.DrawRoundRect(x, y, w, h, 255, 1, 2, 3, 8, 2);
    canvas.FillRoundRect(x, y, w, h, 255, 1, 2, 3, 255, 4, 5, 6, 8);
    canvas.FillRoundRect(&rect, red);
    canvas.FillGradientRoundRectV(x, y, w, h, 255, 1, 2, 3, 255, 4, 5, 6, 0);
    canvas.FillUpSideRoundRect(&rect, 255, 1, 2, 3, -6);
    canvas.RectRound(x, y, w, h, 255, 1, 2, 3, 10, 1);
    canvas.FillRectRound(x, y, w, h, 255, 1, 2, 3, 4, 4, 4);

    canvas.Text(x, y, 12, 255, 1, 2, 3, family, text);
    canvas.Text(x, y, 0, red, CString("No Such Family"), CString(""));
    canvas.Text(x, y, -5, 255, 1, 2, 3, family, text, 45.0f);
    canvas.Text(x, y, 12, 255, 1, 2, 3, family, text, 1, 0);
    canvas.Text(rect, 12, 255, 1, 2, 3, family, text, 30.0f, x, y);
    canvas.Text(rect, 12, red, 0, Gdiplus::StringAlignmentCenter, family, text);
    canvas.TextFar(rect, 12, red, 1, family, text);
    canvas.OutLineText(x, y, 12, 2, 1, 2, 3, 4, 5, 6, family, text);
    canvas.OutLineText(x, y, 12, 1, 2, 3, 4, 5, 6, family, text);
    canvas.GetTextSize(12, family, text);

    std::vector<BYTE> buffer(64 * 64 * 4);
    int bx = x, by = y, bw = std::min(w, 64), bh = std::min(h, 64);
    if (canvas.ClipXYWH(bx, by, bw, bh)) canvas.GetBits(buffer.data(), bx, by, bw, bh);
    canvas.SetColorToAlphaZero(1, 2, 3);
    canvas.SetAlpha(200);
    canvas.Rotate90CW();
    canvas.Rotate90CCW();
    canvas.Rotate(30.0f, x, y);

    CFxPictor other(nullptr, 32, 32);
    canvas.CopyToThis(&other);
    canvas.CopyToThis(&other, x, y);
    canvas.CopyToThis(&other, x, y, w, h);
    canvas.CopyToThis(&other, x, y, w, h, 0, 0, 32, 32);
    canvas.CopyToThisAlpha(&other, x, y, w, h, 0.5f);
    other.CopyToThis(&canvas, x, y, w, h);
    canvas.Rotate(&other, 45.0f);

    CMemoryDC device(16, 16, 0xFFFFFFFF);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);
    canvas.UpdateGdi(&dc, x, y, w, h, 0, 0, 16, 16);
    canvas.UpdateGdiPrint(&dc, x, y, w, h, 0, 0, 16, 16);
}

// A canvas is usable when it can be rebuilt and drawn on.
void ExpectUsable(CFxPictor& canvas)
{
    canvas.Init(nullptr, 8, 8);
    canvas.Clear(0, 0, 255, 255);
    canvas.FillRect(0, 0, 4, 4, Gdiplus::Color(0xFFFF0000u));
    ExpectPixels(canvas, {{1, 1, 0xFFFF0000u}, {6, 6, 0xFF0000FFu}});
}

}  // namespace

TEST(BadArguments, EveryMemberSurvivesEmptyAndDegenerateCanvases)
{
    CFxPictor empty;
    UseEverything(empty, 0, 0, 10, 10);
    EXPECT_EQ(empty.GetBitmap(), nullptr);
    ExpectUsable(empty);

    for (CSize size : {CSize(0, 0), CSize(-5, 10), CSize(10, -5), CSize(1, 1)}) {
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
        CFxPictor canvas(nullptr, size.cx, size.cy);
        UseEverything(canvas, 0, 0, 5, 5);
        ExpectUsable(canvas);
    }
}

TEST(BadArguments, RectanglesFarOutsideAndOverflowProneValues)
{
    CFxPictor canvas(nullptr, 40, 30);
    const int far = 1 << 28;
    struct Area {
        int x, y, w, h;
    } areas[] = {
        {-far, -far, 10, 10}, {far, far, 10, 10}, {0, 0, -20, -20}, {0, 0, 0, 0}, {-5, -5, far, far},
    };
    for (const Area& a : areas) {
        SCOPED_TRACE(testing::Message() << a.x << "," << a.y << "," << a.w << "," << a.h);
        UseEverything(canvas, a.x, a.y, a.w, a.h);
        canvas.Crop(a.x, a.y, a.w, a.h);
        ExpectUsable(canvas);
        canvas.Init(nullptr, 40, 30);
    }

    // Values whose sums leave 32 bits: every member wraps as 32-bit arithmetic does (the sanitizer
    // build stops at any signed overflow).
    const Area extremes[] = {{INT_MAX - 5, 0, 10, 10},
                             {INT_MIN + 5, INT_MIN + 5, 10, 10},
                             {5, 5, INT_MAX, INT_MAX},
                             {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                             {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
                             {INT_MIN, 0, INT_MAX, -1}};
    for (const Area& a : extremes) {
        SCOPED_TRACE(testing::Message() << a.x << "," << a.y << "," << a.w << "," << a.h);
        UseEverything(canvas, a.x, a.y, a.w, a.h);
        CRect rect(a.x, a.y, a.w, a.h);
        for (int n : {INT_MAX, INT_MIN}) {
            canvas.DrawRoundRect(a.x, a.y, a.w, a.h, 255, 1, 2, 3, n, 3);
            canvas.FillRoundRect(&rect, 255, 1, 2, 3, n);
            canvas.FillUpSideRoundRect(&rect, 255, 1, 2, 3, 255, 4, 5, 6, n);
            canvas.RectRound(a.x, a.y, a.w, a.h, 255, 1, 2, 3, n, 1);
            canvas.Text(a.x, a.y, n, 255, 1, 2, 3, CString("DejaVu Sans"), CString("x"), 10.0f, a.w, a.h);
        }
        canvas.Crop(a.x, a.y, a.w, a.h);
        ExpectUsable(canvas);
        canvas.Init(nullptr, 40, 30);
    }
}

TEST(BadArguments, SizesThatCannotBeAllocatedLeaveAnEmptyButUsableCanvas)
{
    const std::string jpeg = testing::TempDir() + "pictor-refused.jpg";
    // The engine's surfaces stop at 32767 pixels a side; such canvases are refused, not drawn.
    for (CSize size : {CSize(200000, 200000), CSize(INT_MAX, 2), CSize(70000, 70000), CSize(32768, 1), CSize(1, 32768),
                       CSize(40000, 2), CSize(65536, 1), CSize(20000, 20000)}) {
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
        CFxPictor canvas(nullptr, size.cx, size.cy);
        EXPECT_EQ(canvas.GetBitmap()->GetLastStatus(), Gdiplus::OutOfMemory);
        UseEverything(canvas, 0, 0, 10, 10);
        canvas.SaveJPG(CString(jpeg.c_str()), 90);
        canvas.CopyToClipBoard(0, 0, 10, 10);
        canvas.ReSampling(size.cx, size.cy, 1, 0, 0, 0);
        ExpectUsable(canvas);

        CFxPictor small(nullptr, 10, 10);
        small.ReSampling(size.cx, size.cy, 0, 1, 2, 3);
        small.Init(nullptr, 10, 10);
        CFxPictor dest(nullptr, 8, 8);
        small.CopyToThis(&dest, 0, 0, 10, 10, 0, 0, size.cx, size.cy);
        small.CopyToClipBoard(0, 0, size.cx, size.cy);
        small.Crop(0, 0, size.cx, size.cy);
        ExpectUsable(small);
        ExpectUsable(dest);
    }
    EXPECT_NE(access(jpeg.c_str(), F_OK), 0);
    CFxPictor tiny(nullptr, 10, 10);
    tiny.ReSampling(0, 0, 1, 1, 2, 3);
    ExpectUsable(tiny);
}

namespace {

// A valid 24-bit BMP of the given size, all black.
std::string WriteBmp(int width, int height)
{
    const std::string path = testing::TempDir() + "pictor-" + std::to_string(width) + ".bmp";
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u, pixels = row * height;
    std::vector<char> bytes(54 + pixels);  // the headers, then black rows
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = char(v >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M', bytes[26] = 1, bytes[28] = 24;  // one plane, 24 bits a pixel
    put32(2, 54 + pixels), put32(10, 54), put32(14, 40);            // file size, pixel offset, info header size
    put32(18, static_cast<uint32_t>(width)), put32(22, static_cast<uint32_t>(height));
    pictor_test::WriteFile(path, bytes);
    return path;
}

}  // namespace

TEST(BadArguments, PicturesBeyondTheEngineLimitsAreRefusedByEveryLoader)
{
    for (const std::string& path : {std::string(PICTOR_TEST_DATA "/wide-32768x1.png"), WriteBmp(40000, 1)}) {
        SCOPED_TRACE(path);
        const CString file(path.c_str());
        Gdiplus::Bitmap bitmap(file.GetString());
        EXPECT_EQ(bitmap.GetLastStatus(), Gdiplus::OutOfMemory);
        CFxPictor canvas(nullptr, 8, 8);
        EXPECT_EQ(canvas.LoadImageW(file), 0);
        EXPECT_EQ(canvas.LoadImageW(file, 0, 0, 4, 4), 0);
        EXPECT_EQ(canvas.LoadImageW(file, 1.0f), CSize(0, 0));
        EXPECT_EQ(canvas.LoadImageW(file, 16, 16), 0);
        EXPECT_EQ(canvas.LoadImageW(file, 0, 0, 0, 0, 4, 4), 0);
        EXPECT_EQ(canvas.LoadImageW(file, CRect(0, 0, 4, 4), 0, 0, 4, 4), 0);
        EXPECT_EQ(canvas.LoadImageW(file, nullptr, Gdiplus::Rotate90FlipNone), 0);
        EXPECT_EQ(canvas.GetSize(), CSize(8, 8));
        ExpectUsable(canvas);
    }

    // A FIFO (or any file that is not a regular one) is refused, not waited on.
    const std::string fifo = testing::TempDir() + "pictor-fifo.png";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Gdiplus::Bitmap fromFifo(CString(fifo.c_str()).GetString());
    EXPECT_EQ(fromFifo.GetLastStatus(), Gdiplus::InvalidParameter);
    CFxPictor canvas(nullptr, 8, 8);
    EXPECT_EQ(canvas.LoadImageW(CString(fifo.c_str())), 0);
    EXPECT_EQ(canvas.LoadImageW(CString(testing::TempDir().c_str())), 0);
    EXPECT_EQ(canvas.GetSize(), CSize(8, 8));
    unlink(fifo.c_str());
}

// Files made to hurt a loader (sizes far beyond what a bitmap may hold in a few bytes of header, GIF frames
// larger than their screen or off it, files cut short): each fails at once with OutOfMemory, as in GDI+,
// through a file and through a stream, without taking memory for the picture it declares.
TEST(BadArguments, HostilePicturesFailAtOnceThroughFilesAndStreams)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PICTOR_TEST_DATA "/hostile")) {
        const std::string path = entry.path().string();
        const CString file(path.c_str());
        SCOPED_TRACE(path);
        ++seeds;
        const auto start = std::chrono::steady_clock::now();
        Gdiplus::Image image(file.GetString());
        EXPECT_EQ(image.GetLastStatus(), Gdiplus::OutOfMemory);
        EXPECT_EQ(pictor_test::BitmapFromBytes(pictor_test::ReadFile(path))->GetLastStatus(), Gdiplus::OutOfMemory);
        CFxPictor canvas(nullptr, 8, 8);
        EXPECT_EQ(canvas.LoadImageW(file), 0);
        EXPECT_EQ(canvas.GetSize(), CSize(8, 8));
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
    }
    EXPECT_GE(seeds, 13);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 512 * 1024) << "peak resident kilobytes";
}

TEST(BadArguments, NullPointersWhereTheyMayComeIn)
{
    CFxPictor canvas(nullptr, 20, 20);
    canvas.SetBitmap(nullptr);
    canvas.CopyFromBitmap(nullptr);
    canvas.CopyFromImage(nullptr);
    canvas.UpdateGdi(nullptr);
    canvas.CopyToThis(nullptr);
    canvas.CopyToThisAlpha(nullptr, 0, 0, 1, 1, 1.0f);
    canvas.Rotate(nullptr, 10.0f);
    canvas.DrawPathLine(nullptr, Gdiplus::Color(0xFF000000u), 1);
    canvas.Polygon(nullptr, 255, 1, 2, 3, 0);
    canvas.GetBits(nullptr, 0, 0, 1, 1);
    canvas.SetBits(nullptr, 0, 0);
    canvas.GetEncCLSID(static_cast<const WCHAR*>(nullptr), nullptr);
    canvas.GetEncCLSID(static_cast<const wchar_t*>(nullptr), nullptr);
    // A null rectangle is nothing to draw, in every form that takes one.
    CRect* none = nullptr;
    const Gdiplus::Color red(0xFFFF0000u);
    canvas.FillRect(none, red);
    canvas.FillRect(none, 255, 1, 2, 3, 0);
    canvas.FillRect(none, 255, 1, 2, 3, 0, 1);
    canvas.FillGradientRect(none, red, red);
    canvas.WireRect(none, red, 1.0f);
    canvas.WireRect(none, 255, 1, 2, 3, 1.0f, 1);
    canvas.WireRect(none, 255, 1, 2, 3, 1.0f, 1, Gdiplus::DashStyleDash);
    canvas.RectArrow(none, 255, 1, 2, 3, 0);
    canvas.DrawRoundRect(none, 255, 1, 2, 3, 4, 2);
    canvas.FillRoundRect(none, red, red, 4);
    canvas.FillRoundRect(none, 255, 1, 2, 3, 4);
    canvas.FillRoundRect(none, red);
    canvas.FillGradientRoundRectV(none, 255, 1, 2, 3, 255, 4, 5, 6, 4);
    canvas.FillUpSideRoundRect(none, 255, 1, 2, 3, 4);
    canvas.FillUpSideRoundRect(none, 255, 1, 2, 3, 255, 4, 5, 6, 4);
    Gdiplus::Bitmap* bitmap = nullptr;
    EXPECT_FALSE(canvas.LoadBitmapFromPNG(987654, &bitmap, nullptr));
    EXPECT_EQ(bitmap, nullptr);
    ExpectUsable(canvas);
}

// Shapes GDI+ draws nothing of are answered by the layer on every surface: a figure with a coordinate
// that is not a number is refused (the engine drew stray lines from it), shapes without area or points
// draw nothing, and a flat ellipse's outline is the line along its side, with flat ends.
TEST(BadArguments, ShapesThatDrawNothingAreAnsweredWithoutStrayPixels)
{
    using namespace Gdiplus;
    const REAL nan = std::numeric_limits<REAL>::quiet_NaN();
    const PointF odd[] = {{10, 10}, {nan, 20}, {30, 40}, {40, 10}};
    for (const PixelFormat format : {PixelFormat32bppPARGB, PixelFormat24bppRGB}) {
        pictor_test::CoverageCanvas<64> c;
        Bitmap bitmap(64, 64, format);
        Graphics g(&bitmap);
        Graphics& layer = format == PixelFormat32bppPARGB ? c.graphics : g;
        Pen pen(Color(Color::Black), 3.0f);
        SolidBrush brush(Color(Color::Black));
        GraphicsPath empty, stray;
        stray.AddLines(odd, 4);
        const std::vector<Status> refused = {
            layer.DrawLine(&pen, nan, 1.0f, 50.0f, 50.0f),
            layer.DrawLines(&pen, odd, 4),
            layer.DrawPolygon(&pen, odd, 4),
            layer.DrawRectangle(&pen, nan, 10.0f, 20.0f, 20.0f),
            layer.DrawEllipse(&pen, 10.0f, 10.0f, nan, 20.0f),
            layer.DrawArc(&pen, nan, 10.0f, 20.0f, 20.0f, 0.0f, 90.0f),
            layer.DrawArc(&pen, 10.0f, 10.0f, 0.0f, 20.0f, 0.0f, 90.0f),
            layer.DrawBezier(&pen, odd[0], odd[1], odd[2], odd[3]),
            layer.DrawCurve(&pen, odd, 4),
            layer.DrawClosedCurve(&pen, odd, 4),
            layer.DrawPath(&pen, &stray),
            layer.DrawLines(nullptr, odd, 1),
            layer.FillRectangle(&brush, nan, 10.0f, 20.0f, 20.0f),
            layer.FillEllipse(&brush, nan, 10.0f, 20.0f, 20.0f),
            layer.FillPolygon(&brush, odd, 4),
            layer.FillClosedCurve(&brush, odd, 4),
            layer.FillPie(&brush, 10.0f, 10.0f, 20.0f, nan, 0.0f, 90.0f),
            layer.FillPath(&brush, &stray),
            layer.FillRectangle(nullptr, 10, 10, 20, 20),
        };
        const std::vector<Status> empties = {
            layer.DrawRectangle(&pen, 10.0f, 10.0f, -20.0f, 20.0f),
            layer.DrawEllipse(&pen, 10, 10, 0, 0),
            layer.DrawPath(&pen, &empty),
            layer.FillRectangle(&brush, 10, 10, -20, 20),
            layer.FillEllipse(&brush, 10.0f, 10.0f, 0.0f, 20.0f),
            layer.FillPolygon(&brush, odd, 1),
            layer.FillPath(&brush, &empty),
        };
        EXPECT_EQ(refused, std::vector<Status>(refused.size(), InvalidParameter)) << format;
        EXPECT_EQ(empties, std::vector<Status>(empties.size(), Ok)) << format;
        if (format != PixelFormat32bppPARGB) continue;
        c.Read();
        EXPECT_EQ(c.Ink(), 0);
        Pen round(Color(Color::Black), 4.0f);
        round.SetLineCap(LineCapRound, LineCapRound, DashCapFlat);
        ASSERT_EQ(c.graphics.DrawEllipse(&round, 30.0f, 10.0f, 0.0f, 40.0f), Ok);
        c.Read();
        ExpectPixels(
            c, {{29, 10, 128}, {29, 11, 255}, {31, 49, 255}, {30, 50, 128}, {30, 8, 0}, {32, 30, 128}, {33, 30, 0}});
        EXPECT_NEAR(c.Ink(), 4 * 40 * 255, 100);  // a line 4 wide and 40 long, its ends square
    }
}

// A path gradient whose outline goes round the same square 3001 times: every edge spans the whole square,
// far more bucket entries than the index holds at full resolution. It paints as the square gone round once
// (the even-odd inside and the nearest crossing are the same), with buckets that stay bounded.
TEST(BadArguments, PathGradientsOfManyLongEdgesPaintAsTheirShape)
{
    using namespace Gdiplus;
    const auto painted = [](int rounds) {
        const PointF corners[] = {{8, 8}, {56, 8}, {56, 56}, {8, 56}};
        std::vector<PointF> outline;
        for (int k = 0; k < rounds * 4; ++k) outline.push_back(corners[k % 4]);
        PathGradientBrush brush(outline.data(), INT(outline.size()));
        brush.SetCenterColor(Color(255, 255, 255, 255));
        Color surround(255, 0, 0, 160);
        INT one = 1;
        EXPECT_EQ(brush.SetSurroundColors(&surround, &one), Ok);
        brush.SetCenterPoint(PointF(30, 26));
        Bitmap bitmap(64, 64, PixelFormat32bppPARGB);
        Graphics g(&bitmap);
        EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 64, 64), Ok);
        std::vector<ARGB> pixels;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                Color c;
                bitmap.GetPixel(x, y, &c);
                pixels.push_back(c.GetValue());
            }
        return pixels;
    };
    const std::vector<ARGB> once = painted(1), often = painted(3001);
    EXPECT_EQ(once[26 * 64 + 30], 0xFFFFFFFFu);
    EXPECT_EQ(once[2 * 64 + 2], 0u);
    EXPECT_EQ(often, once);
}

// Nested outlines as thick as the int range (each an inset outline of its own) cost what the canvas
// can show, whatever the rectangle, the radius or the transform.
TEST(BadArguments, RoundOutlinesOfAnySizeTakeTimeBoundedByTheCanvas)
{
    struct Huge {
        int x, y, w, h, radius;
    };
    const Huge cases[] = {{0, 0, INT_MAX, INT_MAX, INT_MAX}, {0, 0, INT_MAX, INT_MAX, 8},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1 << 29}, {-(1 << 30), -(1 << 30), INT_MAX, INT_MAX, 1 << 29},
                          {INT_MAX - 10, 5, INT_MAX, INT_MAX, 3}};
    for (bool turned : {false, true})
        for (const Huge& c : cases) {
            CFxPictor canvas(nullptr, 100, 100);
            if (turned) canvas.MatrixTransform(0.866f, 0.5f, -0.5f, 0.866f, 50, 0);
            const auto start = std::chrono::steady_clock::now();
            canvas.DrawRoundRect(c.x, c.y, c.w, c.h, 255, 1, 2, 3, c.radius, INT_MAX);
            EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0)
                << c.x << ", " << c.y << " radius " << c.radius << (turned ? " turned" : "");
        }
}

TEST(BadArguments, HugeThicknessTextAndNamesTakeBoundedTimeAndMemory)
{
    CFxPictor canvas(nullptr, 64, 64);
    canvas.DrawRoundRect(4, 4, 50, 40, 255, 1, 2, 3, 6, INT_MAX);
    CRect rect(4, 4, 54, 44);
    canvas.DrawRoundRect(&rect, 255, 1, 2, 3, 6, 1 << 24);

    const CString megabyte(std::u16string(1 << 20, u'W'));
    canvas.OutLineText(0, 0, 12, 2, 1, 2, 3, 4, 5, 6, CString("DejaVu Sans"), megabyte);
    canvas.OutLineText(0, 0, 12, 1, 2, 3, 4, 5, 6, CString("DejaVu Sans"), megabyte);
    canvas.OutLineText(0, 0, 12, 2, 1, 2, 3, 4, 5, 6, megabyte, CString("W"));
    canvas.Text(0, 0, 12, 255, 1, 2, 3, megabyte, CString("W"));

    // Names asked for once each, as a program taking them from its users would: memory stays flat.
    auto askNames = [&](const std::string& stem, int count) {
        for (int i = 0; i < count; ++i)
            canvas.Text(0, 0, 12, 255, 1, 2, 3, CString((stem + std::to_string(i)).c_str()), CString("W"));
    };
    askNames("Warm ", 300);
    [[maybe_unused]] const long before = ResidentKilobytes();
    askNames("No Family ", 2000);
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's quarantine holds freed memory; measured in the normal build
    EXPECT_LT(ResidentKilobytes() - before, 2 * 1024);
    // Names of 4 Mi characters each: no family has such a name, and none of it is kept.
    const long beforeLong = ResidentKilobytes();
    for (int i = 0; i < 63; ++i) {
        std::u16string name(1 << 22, u'N');
        name.back() = static_cast<char16_t>(u'A' + i);
        canvas.Text(0, 0, 12, 255, 1, 2, 3, CString(name), CString("W"));
    }
    EXPECT_LT(ResidentKilobytes() - beforeLong, 64 * 1024);
#endif
    ExpectUsable(canvas);
}
