// Distinct canvases on several threads at once: every member family draws what it draws alone.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace {

const int kSide = 96;

// Draws with every member family on its own canvas; sizes and files depend on the seed only, so that
// each thread asks for font sizes no other drawing has used yet.
std::vector<BYTE> DrawEverything(int seed)
{
    const CString family("DejaVu Sans"), korean("NanumGothic"), text("Pictor 그림 Ag");
    const int size = 11 + seed;
    CFxPictor canvas(nullptr, kSide, kSide);
    canvas.Clear(250, 250, 240, 255);
    canvas.SetSmoothModeHighQuility();
    canvas.Line(0, 0, kSide, kSide / 2, 255, 200, 0, 0, 2.5f);
    canvas.FillGradientRect(0, 60, kSide, 20, 255, 0, 0, 255, 128, 0, 255, 0);
    canvas.FillRoundRect(5, 5, 40, 30, 200, 0, 128, 0, 255, 0, 0, 0, 6);
    canvas.Circle(50, 50, 20, 180, 10, 20, 200, 1.5f, 1);
    canvas.FillPatternRect(70, 0, 26, 20, seed % 50);
    canvas.Text(2, 2, size, 255, 0, 0, 0, family, text);
    canvas.Text(CRect(0, 30, kSide, 60), size + 1, Gdiplus::Color(0xFF202080u), 1, Gdiplus::StringAlignmentCenter,
                korean, text);
    canvas.Text(40, 40, size + 2, 255, 90, 0, 90, family, text, 30.0f);
    canvas.OutLineText(4, 64, size + 3, 2, 255, 255, 0, 0, 0, 0, family, text);
    canvas.OutLineText(4, 80, size + 4, 0, 0, 255, 255, 255, 255, korean, text);
    const CRect box = canvas.GetTextSize(size + 5, family, text);
    canvas.FillRect(0, kSide - 4, box.right - box.left, 4, Gdiplus::Color(0xFF00A0A0u));

    const std::string jpeg = testing::TempDir() + "pictor-thread-" + std::to_string(seed) + ".jpg";
    canvas.SaveJPG(CString(jpeg.c_str()), 80);
    CFxPictor loaded;
    loaded.LoadImageW(CString(jpeg.c_str()), kSide / 2, kSide / 2);
    std::remove(jpeg.c_str());
    loaded.SetColorToAlphaZero(0, 0, 0);
    loaded.CopyToThisAlpha(&canvas, 0, 0, kSide / 2, kSide / 2, 0.5f);
    CFxPictor turned(nullptr, kSide, kSide);
    canvas.Rotate(&turned, 30.0f);
    turned.ReSampling(kSide / 2, kSide / 3, 1, 10, 20, 30);
    turned.CopyToThis(&canvas, kSide / 2, kSide / 2);
    canvas.SetAlpha(230);
    canvas.Crop(1, 1, kSide - 2, kSide - 2);

    std::vector<BYTE> pixels(static_cast<size_t>(kSide - 2) * (kSide - 2) * 4);
    canvas.GetBits(pixels.data(), 0, 0, kSide - 2, kSide - 2);
    return pixels;
}

}  // namespace

TEST(Threads, DistinctCanvasesDrawAloneOrTogetherTheSame)
{
    const int kThreads = 4;
    std::vector<std::vector<BYTE>> together(kThreads);
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) threads.emplace_back([&, t] { together[t] = DrawEverything(t * 7); });
        for (std::thread& thread : threads) thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        const std::vector<BYTE> alone = DrawEverything(t * 7);
        EXPECT_TRUE(together[t] == alone);
    }
}
