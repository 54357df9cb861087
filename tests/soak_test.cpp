// Thousands of build/draw/save/load cycles: the process's memory must stay flat.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "TestSupport.h"

using pictor_test::ResidentKilobytes;

namespace {

void Cycle(CFxPictor& canvas, CFxPictor& picture, const std::string& file, int i)
{
    canvas.Init(nullptr, 320 + i % 7, 240);
    canvas.Clear(240, 240, 240, 255);
    canvas.SetSmoothModeHighQuility();
    canvas.FillRoundRect(10, 10, 200, 120, 255, 90, 150, 230, 255, 20, 40, 80, 12);
    canvas.Line(0, 0, 300, 200, 255, 200, 30, 30, 3.0f);
    canvas.Text(20, 150, 18, 255, 0, 0, 0, CString("DejaVu Sans"), CString("soak 그림"));
    canvas.SetAlpha(200);
    canvas.SaveJPG(CString(file.c_str()), 80);
    picture.LoadImageW(CString(file.c_str()));
    picture.ReSampling(100, 80, 1, 0, 0, 0);
    picture.CopyToThis(&canvas, 5, 5);
    canvas.Crop(10, 10, 100, 100);
}

}  // namespace

TEST(Soak, MemoryStaysFlatOverThousandsOfCycles)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "memory is measured in the normal build; the sanitizer build checks for leaks instead";
#endif
    const std::string file = testing::TempDir() + "/pictor-soak-" + std::to_string(getpid()) + ".jpg";
    CFxPictor canvas, picture;
    // Warm up first: the engine's caches and the allocator's arenas settle in the first cycles.
    for (int i = 0; i < 300; ++i) Cycle(canvas, picture, file, i);
    const long before = ResidentKilobytes();
    const int cycles = 3000;
    for (int i = 0; i < cycles; ++i) Cycle(canvas, picture, file, i);
    const long after = ResidentKilobytes();
    std::remove(file.c_str());
    RecordProperty("resident_kb_before", static_cast<int>(before));
    RecordProperty("resident_kb_after", static_cast<int>(after));
    std::printf("resident memory: %ld kB after warm-up, %ld kB after %d more cycles\n", before, after, cycles);
    // Leaking one 320 x 240 bitmap a cycle would add some 900 MB; a few MB is allocator noise.
    EXPECT_LT(after - before, 8 * 1024);
    EXPECT_EQ(picture.GetSize(), CSize(100, 80));
}
