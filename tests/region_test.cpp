// GDI+ regions as client code uses them: building and combining them, asking what they hold, and clipping
// a drawing context to them; values as Windows reports them.
#include <gtest/gtest.h>

#include <chrono>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Surface;

TEST(Region, BuildsCombinesAndAnswersAsWindows)
{
    Surface s;
    Graphics* g = &s.graphics;
    Region infinite;
    RectF bounds;
    // The infinite region's box, and its data size, as Windows reports them.
    EXPECT_EQ(infinite.GetBounds(&bounds, g), Ok);
    EXPECT_EQ(bounds.X, -4194304.0f);
    EXPECT_EQ(bounds.Width, 8388608.0f);
    EXPECT_TRUE(infinite.IsInfinite(g));
    EXPECT_EQ(infinite.GetDataSize(), 20u);
    EXPECT_EQ(Region(Rect(10, 20, 100, 200)).GetDataSize(), 36u);

    // Windows requires a context to say whether a region is empty, infinite or equal to another.
    EXPECT_FALSE(infinite.IsEmpty(nullptr));
    EXPECT_EQ(infinite.GetLastStatus(), InvalidParameter);
    infinite.IsInfinite(nullptr);
    EXPECT_EQ(infinite.GetLastStatus(), InvalidParameter);
    infinite.Equals(&infinite, nullptr);
    EXPECT_EQ(infinite.GetLastStatus(), InvalidParameter);

    // Two squares side by side and a bar under them, minus a hole: scans, visibility, equality.
    Region shape(Rect(0, 0, 10, 10));
    shape.Union(Rect(20, 0, 10, 10));
    shape.Union(RectF(0, 20, 30, 10));
    Matrix identity;
    EXPECT_EQ(shape.GetRegionScansCount(&identity), 3u);
    Rect scans[3];
    INT count = 0;
    EXPECT_EQ(shape.GetRegionScans(&identity, scans, &count), Ok);
    ASSERT_EQ(count, 3);
    EXPECT_TRUE(scans[1].Equals(Rect(20, 0, 10, 10)));
    EXPECT_TRUE(shape.IsVisible(25, 5));
    EXPECT_FALSE(shape.IsVisible(15, 5));
    EXPECT_TRUE(shape.IsVisible(Rect(5, 5, 20, 2)));
    shape.Exclude(Rect(0, 20, 5, 5));
    EXPECT_FALSE(shape.IsVisible(2, 22));
    std::unique_ptr<Region> copy(shape.Clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->Equals(&shape, g));
    copy->Translate(5, 0);
    EXPECT_FALSE(copy->Equals(&shape, g));
    EXPECT_TRUE(copy->IsVisible(32, 5));

    // A rectangle of negative size holds nothing; a GDI region handle cannot be had here.
    EXPECT_TRUE(Region(RectF(10, 10, -5, -5)).IsEmpty(g));
    EXPECT_EQ(shape.GetHRGN(g), nullptr);
    EXPECT_EQ(shape.GetLastStatus(), NotImplemented);
    EXPECT_EQ(Region(static_cast<HRGN>(nullptr)).GetLastStatus(), NotImplemented);
}

TEST(Region, ClipsDrawingToRegionsAndRectangles)
{
    SolidBrush black(Color(Color::Black));
    // Clip to the union of two rectangles minus a third, fill everything: only what is left changes.
    Surface s;
    Region clip(Rect(10, 10, 30, 30));
    clip.Union(Rect(60, 10, 30, 30));
    EXPECT_EQ(s.graphics.SetClip(&clip), Ok);
    EXPECT_EQ(s.graphics.ExcludeClip(Rect(20, 20, 60, 10)), Ok);
    EXPECT_TRUE(s.graphics.IsVisible(15, 15));
    EXPECT_FALSE(s.graphics.IsVisible(25, 25));
    EXPECT_FALSE(s.graphics.IsClipEmpty());
    EXPECT_EQ(s.graphics.FillRectangle(&black, 0, 0, 100, 100), Ok);
    EXPECT_TRUE(s.Ink(15, 15));
    EXPECT_TRUE(s.Ink(85, 35));
    EXPECT_TRUE(s.Blank(25, 25));  // excluded
    EXPECT_TRUE(s.Blank(50, 15));  // between the rectangles
    Region got;
    EXPECT_EQ(s.graphics.GetClip(&got), Ok);
    EXPECT_TRUE(got.IsVisible(65, 15));
    EXPECT_FALSE(got.IsVisible(65, 25));

    // GDI+ clips everything to a rectangle of negative size (libgdiplus let its inside through).
    Surface negative;
    negative.graphics.SetClip(Rect(50, 50, -20, -20));
    EXPECT_TRUE(negative.graphics.IsClipEmpty());
    negative.graphics.FillRectangle(&black, 0, 0, 100, 100);
    EXPECT_TRUE(negative.Blank(40, 40));
    negative.graphics.ResetClip();
    negative.graphics.IntersectClip(RectF(0, 0, 50, -1));
    EXPECT_FALSE(negative.graphics.IsVisible(10, 10));

    // FillRegion of a path region: a triangle.
    Surface filled;
    GraphicsPath triangle;
    const Point corners[] = {{10, 90}, {50, 10}, {90, 90}};
    triangle.AddPolygon(corners, 3);
    Region inside(&triangle);
    EXPECT_EQ(filled.graphics.FillRegion(&black, &inside), Ok);
    EXPECT_TRUE(filled.Ink(50, 60));
    EXPECT_TRUE(filled.Blank(15, 20));
    RectF visible;
    EXPECT_EQ(filled.graphics.GetVisibleClipBounds(&visible), Ok);
    EXPECT_EQ(visible.Width, 100.0f);
}

TEST(Region, ManyRectanglesAreRefusedInBoundedTime)
{
    // A union in a loop of a million one-pixel squares: the engine's cost grows with the square of the
    // rectangles, so the region stops growing at its bound and further unions fail.
    auto start = std::chrono::steady_clock::now();
    Region region;
    region.MakeEmpty();
    int refused = 0;
    for (int i = 0; i < 1000000; ++i)
        refused += region.Union(Rect((i % 1000) * 2, (i / 1000) * 2, 1, 1)) == OutOfMemory;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Matrix identity;
    EXPECT_EQ(region.GetRegionScansCount(&identity), Region::kMaxRectangles);
    EXPECT_EQ(refused, 1000000 - static_cast<int>(Region::kMaxRectangles));
    EXPECT_LT(seconds, 30.0);
    // A huge rectangle is held and answered without harm.
    Region huge(RectF(-1e30f, -1e30f, 2e30f, 2e30f));
    EXPECT_TRUE(huge.IsVisible(5, 5));
}
