#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "TestSupport.h"
#include "win/MemoryDC.h"
#include "win/Window.h"

using pictor_test::ExpectPixels;
using pictor_test::PixelOf;

TEST(Module, LeavesFontconfigAloneAndUnloadsCleanlyAfterText)
{
    // The process's FcFini is fontconfig's own, not one of the library's.
    void* fontconfig = dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    ASSERT_NE(fontconfig, nullptr);
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "FcFini"), dlsym(fontconfig, "FcFini"));
    dlclose(fontconfig);
    // A process that drew text at fresh sizes ends normally, shutting the library down on the way.
    EXPECT_EXIT(
        {
            CFxPictor canvas(nullptr, 64, 32);
            for (int size = 31; size < 34; ++size)
                canvas.Text(0, 0, size, 255, 0, 0, 0, CString("DejaVu Sans"), CString("Ag"));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Canvas, ClipXYWHFollowsItsSteps)
{
    CFxPictor canvas(nullptr, 100, 80);
    struct Case {
        int x, y, w, h;
        int ex, ey, ew, eh, result;
    } cases[] = {
        {-10, 0, 50, 10, 0, 0, 40, 10, 1},
        {-10, 0, 200, 10, 0, 0, 100, 10, 1},
        {90, 0, 20, 10, 90, 0, 10, 10, 1},
        {95, 0, 5, 10, 95, 0, 5, 10, 1},
        {100, 0, 5, 10, 100, 0, 0, 10, 0},
        {-10, 0, 5, 10, 0, 0, -5, 10, 0},
        {0, -20, 10, 200, 0, 0, 10, 80, 1},
        {0, 70, 10, 30, 0, 70, 10, 10, 1},
        {10, 10, 0, 5, 10, 10, 0, 5, 0},
        // x + w wraps in 32-bit arithmetic, so the width is kept.
        {2147483600, 0, 100, 10, 2147483600, 0, 100, 10, 1},
    };
    for (const Case& c : cases) {
        int x = c.x, y = c.y, w = c.w, h = c.h;
        int result = canvas.ClipXYWH(x, y, w, h);
        SCOPED_TRACE(testing::Message() << "(" << c.x << "," << c.y << "," << c.w << "," << c.h << ")");
        EXPECT_EQ((std::vector<int>{result, x, y, w, h}), (std::vector<int>{c.result, c.ex, c.ey, c.ew, c.eh}));
    }
}

TEST(Canvas, ClearReplacesEverythingAndMatrixTransformMovesLaterDrawing)
{
    CFxPictor canvas(nullptr, 16, 12);
    canvas.Clear(0, 0, 255, 255);
    canvas.Clear(255, 0, 0, 128);
    ExpectPixels(canvas, {{0, 0, 0x80FF0000u}, {15, 11, 0x80FF0000u}});

    // A transform does not limit what Clear covers.
    canvas.MatrixTransform(0.5f, 0, 0, 0.5f, 3, 3);
    canvas.Clear(Gdiplus::Color(0xFF00FF00));
    ExpectPixels(canvas, {{0, 0, 0xFF00FF00u}, {15, 11, 0xFF00FF00u}});

    canvas.Clear(0, 0, 0, 0);
    EXPECT_EQ(PixelOf(canvas, 7, 7) >> 24, 0u);

    CFxPictor moved(nullptr, 40, 40);
    moved.Clear(0, 0, 0, 255);
    // A 2x scale with an offset of (10, 5): the rectangle (0, 0, 5, 5) lands on (10, 5, 10, 10).
    moved.MatrixTransform(2, 0, 0, 2, 10, 5);
    Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    moved.m_pGraphics->FillRectangle(&white, 0, 0, 5, 5);
    ExpectPixels(moved, {{11, 6, 0xFFFFFFFFu}, {19, 14, 0xFFFFFFFFu}, {21, 6, 0xFF000000u}, {2, 2, 0xFF000000u}});
}

TEST(Canvas, InitRebuildsKeepsWindowAndResetsSettings)
{
    HWND__ window;
    CFxPictor canvas;
    canvas.Init(&window, 30, 20);
    EXPECT_EQ(canvas.m_hWnd, &window);
    const Gdiplus::SmoothingMode freshSmoothing = canvas.m_pGraphics->GetSmoothingMode();

    // The engine reports high quality as anti-aliased, as GDI+ does.
    canvas.SetSmoothModeHighQuility();
    EXPECT_EQ(canvas.m_pGraphics->GetSmoothingMode(), Gdiplus::SmoothingModeAntiAlias);
    canvas.MatrixTransform(2, 0, 0, 2, 10, 10);

    canvas.Init(50, 40);
    EXPECT_EQ(canvas.m_hWnd, &window);
    EXPECT_EQ(canvas.GetSize(), CSize(50, 40));
    EXPECT_EQ(canvas.GetBitmap()->GetWidth(), 50u);
    EXPECT_EQ(canvas.GetBitmap()->GetHeight(), 40u);
    EXPECT_EQ(canvas.m_pGraphics->GetSmoothingMode(), freshSmoothing);
    Gdiplus::Matrix transform;
    canvas.m_pGraphics->GetTransform(&transform);
    EXPECT_TRUE(transform.IsIdentity());

    canvas.SetSmoothModeHighSpeed();
    EXPECT_EQ(canvas.m_pGraphics->GetSmoothingMode(), Gdiplus::SmoothingModeNone);

    // Size, width, height, planes, bits a pixel, compression and image size of the rebuilt canvas's header.
    const BITMAPINFOHEADER& h = canvas.GetBitmapInfo()->bmiHeader;
    EXPECT_EQ((std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, long(h.biCompression),
                                 long(h.biSizeImage)}),
              (std::vector<long>{40, 50, 40, 1, 32, 0, 50 * 40 * 4}));
}

// A default-constructed canvas, and one of a bad size, ignore the members that need a built canvas.
TEST(Canvas, EmptyAndBadSizesLeaveAnInertCanvas)
{
    CFxPictor empty, zero(nullptr, 0, 10), negative(nullptr, -5, 10);
    EXPECT_EQ(empty.GetBitmap(), nullptr);
    EXPECT_EQ((std::vector<CSize>{empty.GetSize(), zero.GetSize(), negative.GetSize()}),
              (std::vector<CSize>{CSize(0, 0), CSize(0, 10), CSize(-5, 10)}));
    for (CFxPictor* inert : {&empty, &zero, &negative}) {
        CFxPictor& canvas = *inert;
        canvas.Clear(255, 0, 0, 255);
        canvas.SetSmoothModeHighQuility();
        canvas.MatrixTransform(1, 0, 0, 1, 5, 5);
        CMemoryDC device(8, 8, 0xFF00FF00);
        CDC dc(device.GetSafeHdc());
        canvas.UpdateGdi(&dc, 0, 0);
        canvas.UpdateGdiPrint(&dc, 0, 0, 4, 4, 0, 0, 4, 4);
        EXPECT_EQ(device.Pixel(2, 2), 0xFF00FF00u);
        canvas.Init(8, 8);  // and it can be rebuilt afterwards
        canvas.Clear(255, 0, 0, 255);
        EXPECT_EQ(PixelOf(canvas, 3, 3), 0xFFFF0000u);
    }
}

TEST(Canvas, SetBitmapRedirectsPresentationNotDrawing)
{
    CFxPictor canvas(nullptr, 20, 20);
    Gdiplus::Bitmap* ownBitmap = canvas.GetBitmap();
    canvas.Clear(255, 0, 0, 255);

    auto* given = new Gdiplus::Bitmap(8, 6, PixelFormat32bppARGB);
    Gdiplus::Graphics(given).Clear(Gdiplus::Color(0xFF0000FF));
    canvas.SetBitmap(given);
    delete given;  // the canvas keeps the image alive

    EXPECT_EQ(canvas.GetBitmap(), ownBitmap);
    EXPECT_EQ(canvas.GetSize(), CSize(20, 20));
    EXPECT_EQ(canvas.GetBitmap()->GetWidth(), 8u);
    EXPECT_EQ(PixelOf(canvas, 1, 1), 0xFF0000FFu);

    // Drawing still goes to the image the canvas had before; the given one is untouched.
    canvas.Clear(0, 255, 0, 255);
    EXPECT_EQ(PixelOf(canvas, 1, 1), 0xFF0000FFu);

    CMemoryDC device(30, 30, 0xFFFFFFFF);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);
    ExpectPixels(device, {{2, 2, 0xFF0000FFu}, {12, 12, 0xFFFFFFFFu}});
}

TEST(Canvas, AssignmentSharesObjectsAndReleasesThemOnce)
{
    CFxPictor first(nullptr, 10, 10);
    {
        CFxPictor second;
        second = first;
        EXPECT_EQ(second.m_pBitmap, first.m_pBitmap);
        EXPECT_EQ(second.m_pGraphics, first.m_pGraphics);
        EXPECT_EQ(std::memcmp(&second.m_BitmapInfo, &first.m_BitmapInfo, sizeof(BITMAPINFO)), 0);
        EXPECT_EQ(second.GetSize(), CSize(10, 10));
        second.Clear(1, 2, 3, 255);
    }
    // The first canvas still draws after the second is gone, and so does a copy made from it.
    EXPECT_EQ(PixelOf(first, 5, 5), 0xFF010203u);
    {
        CFxPictor copy(first);
        EXPECT_EQ(copy.m_pBitmap, first.m_pBitmap);
        copy.Clear(4, 4, 4, 255);
    }
    first.Clear(9, 9, 9, 255);
    EXPECT_EQ(PixelOf(first, 5, 5), 0xFF090909u);
}

class Presentation : public testing::Test {
protected:
    Presentation() : canvas(nullptr, 40, 30), device(300, 300, 0xFFFFFFFF), dc(device.GetSafeHdc())
    {
        canvas.Clear(255, 0, 0, 255);
    }
    CFxPictor canvas;
    CMemoryDC device;
    CDC dc;
};

TEST_F(Presentation, AtAPointAtTheBitmapsOwnSizeSourceOverLeavingTheCanvas)
{
    canvas.UpdateGdi(&dc, 10, 20);
    ExpectPixels(device, {{10, 20, 0xFFFF0000u}, {49, 49, 0xFFFF0000u}});
    ExpectPixels(device, {{9, 20, 0xFFFFFFFFu}, {50, 20, 0xFFFFFFFFu}, {10, 50, 0xFFFFFFFFu}});

    CMemoryDC other(200, 200, 0xFFFFFFFF);
    CDC otherDC(other.GetSafeHdc());
    CMemoryDC origin(200, 200, 0xFFFFFFFF);
    CDC originDC(origin.GetSafeHdc());
    canvas.UpdateGdi(&otherDC);
    canvas.UpdateGdi(&originDC, 0, 0);
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 50; x += 3) ASSERT_EQ(other.Pixel(x, y), origin.Pixel(x, y)) << x << "," << y;
    ExpectPixels(other, {{39, 29, 0xFFFF0000u}, {40, 29, 0xFFFFFFFFu}});

    // At a point the canvas goes over what is there, and stays as it was.
    canvas.Clear(0, 0, 255, 128);
    canvas.UpdateGdi(&dc, 0, 0);
    ExpectPixels(device, {{5, 5, 0xFF7F7FFF, 2}});
    canvas.UpdateGdi(&dc, 0, 0);
    ExpectPixels(device, {{5, 5, 0xFF3F3FFF, 3}});
    ExpectPixels(canvas, {{5, 5, 0x800000FFu}});

    canvas.Clear(0, 0, 0, 0);
    device.Fill(0xFF00FF00);
    canvas.UpdateGdi(&dc, 0, 0);
    EXPECT_EQ(device.Pixel(5, 5), 0xFF00FF00u);
}

TEST_F(Presentation, ScaledIntoADestinationRectangle)
{
    // For a printed page the destination is halved: (100, 100, 400, 300) covers (50, 50) to (250, 200).
    CMemoryDC page(300, 300, 0xFFFFFFFF);
    CDC pageDC(page.GetSafeHdc());
    canvas.UpdateGdiPrint(&pageDC, 0, 0, 40, 30, 100, 100, 400, 300);
    ExpectPixels(page, {{55, 55, 0xFFFF0000u}, {245, 195, 0xFFFF0000u}, {150, 120, 0xFFFF0000u}});
    ExpectPixels(page,
                 {{45, 120, 0xFFFFFFFFu}, {255, 120, 0xFFFFFFFFu}, {150, 45, 0xFFFFFFFFu}, {150, 205, 0xFFFFFFFFu}});

    // The left half of the canvas blue: source (0, 0, 20, 30) scaled to (0, 0, 80, 60).
    Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
    canvas.m_pGraphics->FillRectangle(&blue, 0, 0, 20, 30);
    canvas.UpdateGdi(&dc, 0, 0, 20, 30, 0, 0, 80, 60);
    ExpectPixels(device, {{40, 30, 0xFF0000FFu}, {76, 56, 0xFF0000FFu}, {82, 30, 0xFFFFFFFFu}, {40, 62, 0xFFFFFFFFu}});

    // Twice the size: the whole canvas covers (100, 100, 80, 60).
    canvas.UpdateGdi(&dc, 0, 0, 40, 30, 100, 100, 80, 60);
    ExpectPixels(device, {{170, 150, 0xFFFF0000u}, {110, 110, 0xFF0000FFu}, {182, 150, 0xFFFFFFFFu}});

    CMemoryDC blank(200, 200, 0xFFFFFFFF);
    CDC blankDC(blank.GetSafeHdc());
    canvas.UpdateGdi(&blankDC, 0, 0, 40, 30, 10, 10, 0, 60);
    canvas.UpdateGdi(&blankDC, 0, 0, 40, 30, 10, 10, 60, 0);
    for (int y = 0; y < 80; y += 2)
        for (int x = 0; x < 80; x += 2) ASSERT_EQ(blank.Pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
}
