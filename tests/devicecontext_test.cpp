// Drawing contexts made from a device context: they draw on the device's surface through the layer, as a
// context made on the bitmap itself does, keep the device's resolution, and fail cleanly once it is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

#include "TestSupport.h"
#include "win/MemoryDC.h"
#include "win/PrinterDC.h"

using namespace Gdiplus;
using pictor_test::AllPixels;
using pictor_test::ChannelGap;
using pictor_test::ExpectPixels;

namespace {

const ARGB kWhite = 0xFFFFFFFFu;
const ARGB kInk = 0xFF1E3C78u;

// The largest channel difference between two same-sized bitmaps.
int LargestGap(Bitmap& a, Bitmap& b)
{
    const std::vector<ARGB> left = AllPixels(a), right = AllPixels(b);
    int largest = 0;
    for (size_t i = 0; i < left.size() && i < right.size(); ++i)
        largest = std::max(largest, ChannelGap(left[i], right[i]));
    return largest;
}

// Anti-aliased shapes at fractional places, where the engine's geometry differs from the layer's.
void DrawShapes(Graphics& graphics)
{
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    SolidBrush brush{Color(kInk)};
    Pen pen(Color(0xFFC83214u), 3.5f);
    graphics.FillEllipse(&brush, 10.3f, 8.6f, 41.2f, 27.5f);
    graphics.DrawLine(&pen, 5.2f, 60.7f, 70.9f, 44.1f);
    graphics.DrawRectangle(&pen, 40.5f, 50.25f, 30.0f, 20.0f);
}

// A small two-colour picture, scaled up and turned.
void DrawPicture(Graphics& graphics)
{
    Bitmap picture(4, 3, PixelFormat32bppARGB);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) picture.SetPixel(x, y, Color((x + y) % 2 ? kInk : 0xFFE0A020u));
    graphics.RotateTransform(20.0f);
    graphics.DrawImage(&picture, RectF(27.5f, 9.25f, 37.0f, 29.0f), 0, 0, 4, 3, UnitPixel);
    graphics.ResetTransform();
}

void DrawText(Graphics& graphics)
{
    FontFamily family(u"DejaVu Sans");
    Font font(&family, 15.5f, FontStyleRegular, UnitPixel);
    SolidBrush brush{Color(kInk)};
    graphics.DrawString(u"Device 42", -1, &font, PointF(3.4f, 20.6f), &brush);
}

}  // namespace

TEST(DeviceContext, DrawsThroughTheLayerAsOnTheBitmap)
{
    const std::pair<const char*, std::function<void(Graphics&)>> draws[] = {
        {"shapes", DrawShapes}, {"picture", DrawPicture}, {"text", DrawText}};
    for (const auto& [name, draw] : draws) {
        CMemoryDC throughDC(80, 80, kWhite), direct(80, 80, kWhite);
        Graphics fromDC(throughDC.GetSafeHdc());
        ASSERT_EQ(fromDC.GetLastStatus(), Ok);
        draw(fromDC);
        fromDC.Flush();
        Graphics onBitmap(direct.Surface());
        draw(onBitmap);
        onBitmap.Flush();
        EXPECT_LE(LargestGap(*throughDC.Surface(), *direct.Surface()), 2) << name;
    }
}

TEST(DeviceContext, APrinterPageKeepsItsResolutionUnderPageUnits)
{
    const std::string where =
        (std::filesystem::temp_directory_path() / ("pictor-dc-" + std::to_string(getpid()) + ".pdf")).string();
    CPrinterDC printer(PrintOutput::PdfFile, where, 300, 300, 300.0f);  // one inch square; never ended
    Graphics page(printer.StartPage());
    ASSERT_EQ(page.GetLastStatus(), Ok);
    EXPECT_EQ(page.GetDpiX(), 300.0f);
    EXPECT_EQ(page.GetDpiY(), 300.0f);
    page.SetPageUnit(UnitInch);
    SolidBrush brush{Color(kInk)};
    EXPECT_EQ(page.FillRectangle(&brush, 0.25f, 0.5f, 0.5f, 0.25f), Ok);  // pixels 75-225 × 150-225
    page.Flush();
    ExpectPixels(*printer.Page(),
                 {{76, 151, kInk}, {224, 224, kInk}, {74, 160, kWhite}, {226, 160, kWhite}, {100, 149, kWhite}});
}

TEST(DeviceContext, AContextFromAGoneDeviceFailsCleanly)
{
    SolidBrush brush{Color(kInk)};
    HDC stale = nullptr;
    {
        CMemoryDC device(8, 8);
        stale = device.GetSafeHdc();
    }
    Graphics afterwards(stale);
    EXPECT_EQ(afterwards.GetLastStatus(), InvalidParameter);
    EXPECT_NE(afterwards.FillRectangle(&brush, 0, 0, 4, 4), Ok);

    // Released by its owner, which lives on: gone as well.
    Bitmap bitmap(8, 8, PixelFormat32bppARGB);
    Graphics owner(&bitmap);
    HDC released = owner.GetHDC();
    owner.ReleaseHDC(released);
    EXPECT_EQ(Graphics(released).GetLastStatus(), InvalidParameter);

    // A context made while the device lived keeps drawing on its surface after the device has gone.
    auto device = std::make_unique<CMemoryDC>(8, 8);
    Graphics survivor(device->GetSafeHdc());
    device.reset();
    EXPECT_EQ(survivor.FillRectangle(&brush, 0, 0, 4, 4), Ok);
}
