#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "XServer.h"
#include "win/MemoryDC.h"
#include "win/PrinterDC.h"
#include "win/Window.h"

namespace {

const testing::Environment* const kXServer = testing::AddGlobalTestEnvironment(new pictor_test::XServer);

// Paints the canvas in the window's paint handler, the way an application does.
void PaintOnce(HWND hwnd, CFxPictor& canvas)
{
    MSG msg;
    while (GetMessageW(&msg, hwnd, 2000)) {
        if (msg.message != WM_PAINT) continue;
        PAINTSTRUCT paint;
        CDC dc(BeginPaint(hwnd, &paint));
        canvas.UpdateGdi(&dc);
        EndPaint(hwnd, &paint);
        return;
    }
}

}  // namespace

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        hwnd = CreateWindowW(u"pictor test", 160, 120);
        if (!hwnd) {
            const char* display = std::getenv("DISPLAY");
            GTEST_SKIP() << "no X display could be opened or started (is Xvfb installed?), DISPLAY="
                         << (display ? display : "(none)");
        }
    }
    void TearDown() override
    {
        if (hwnd) DestroyWindow(hwnd);
    }
    HWND hwnd = nullptr;
};

TEST_F(WindowTest, PresentsTheCanvasInTheWindowAndFollowsResizes)
{
    CFxPictor canvas(hwnd, 160, 120);
    EXPECT_EQ(canvas.m_hWnd, hwnd);
    pictor_test::PaintRedWithBlueSquare(canvas);
    PaintOnce(hwnd, canvas);

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(ReadWindowPixels(hwnd, pixels, width, height));
    ASSERT_EQ(std::pair(width, height), std::pair(160, 120));
    EXPECT_EQ(pixels[5 * width + 5], 0xFFFF0000u);
    EXPECT_EQ(pixels[45 * width + 60], 0xFF0000FFu);
    EXPECT_EQ(pixels[119 * width + 159], 0xFFFF0000u);

    // A bigger client area: the application rebuilds the canvas at the new size and repaints. A device
    // context it took before stays usable, as in GDI; sizes X cannot take are refused.
    CDC early(GetWindowDC(hwnd));
    EXPECT_FALSE(SetWindowSize(hwnd, 0, 180));
    EXPECT_FALSE(SetWindowSize(hwnd, 240, 40000));
    EXPECT_EQ(CreateWindowW(u"empty", 0, 0), nullptr);
    SetWindowSize(hwnd, 240, 180);
    MSG msg;
    bool resized = false;
    while (!resized && GetMessageW(&msg, hwnd, 2000)) resized = msg.message == WM_SIZE;
    ASSERT_TRUE(resized);
    EXPECT_EQ(msg.width, 240);
    canvas.Init(msg.width, msg.height);
    EXPECT_EQ(canvas.m_hWnd, hwnd);
    canvas.Clear(0, 128, 0, 255);
    InvalidateRect(hwnd);
    PaintOnce(hwnd, canvas);
    ASSERT_TRUE(ReadWindowPixels(hwnd, pixels, width, height));
    ASSERT_EQ(width, 240);
    EXPECT_EQ(pixels[170 * width + 230], 0xFF008000u);
    canvas.UpdateGdi(&early);
}

TEST_F(WindowTest, ShapesDrawnOnTheWindowLandAsOnABitmap)
{
    auto draw = [](Gdiplus::Graphics& graphics) {
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF1E3C78));
        graphics.FillEllipse(&brush, 10.3f, 8.6f, 91.2f, 57.5f);
    };
    {
        Gdiplus::Graphics onWindow(hwnd);  // shown when it ends
        draw(onWindow);
    }
    CMemoryDC expected(160, 120, 0xFFFFFFFF);
    Gdiplus::Graphics onBitmap(expected.Surface());
    draw(onBitmap);

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(ReadWindowPixels(hwnd, pixels, width, height));
    ASSERT_EQ(width, 160);
    int largest = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            largest = std::max(largest, pictor_test::ChannelGap(pixels[y * width + x], expected.Pixel(x, y)));
    EXPECT_LE(largest, 2);
}

TEST(PrinterPage, PrintHalvesThePlacementOnThePage)
{
    std::string base = (std::filesystem::temp_directory_path() / ("pictor-print-" + std::to_string(getpid()))).string();
    CPrinterDC printer = CPrinterDC::A4(base, 100.0f);
    CFxPictor canvas(nullptr, 160, 120);
    pictor_test::PaintRedWithBlueSquare(canvas);

    CDC dc(printer.StartPage());
    // Destination (100, 100, 400, 300) on a half-scale page covers (50, 50) to (250, 200).
    canvas.UpdateGdiPrint(&dc, 0, 0, 160, 120, 100, 100, 400, 300);
    const CMemoryDC* page = printer.Page();
    EXPECT_EQ(std::pair(page->Width(), page->Height()), std::pair(827, 1169));
    // (125, 105): the blue square, at (100, 87.5, 50, 37.5).
    pictor_test::ExpectPixels(*page, {{55, 55, 0xFFFF0000u}, {125, 105, 0xFF0000FFu}, {245, 195, 0xFFFF0000u}});
    pictor_test::ExpectPixels(*page, {{45, 100, 0xFFFFFFFFu}, {255, 100, 0xFFFFFFFFu}, {100, 205, 0xFFFFFFFFu}});

    ASSERT_TRUE(printer.EndPage());
    EXPECT_EQ(printer.GetSafeHdc(), nullptr);
    Gdiplus::Bitmap written(CString(printer.PagePath(1).c_str()));
    EXPECT_EQ(written.GetWidth(), 827u);
    pictor_test::ExpectPixels(written, {{125, 105, 0xFF0000FFu}});

    std::filesystem::remove(printer.PagePath(1));
}
