// GDI+ regions as client code uses them: building and combining them, asking what they hold, and clipping
// a drawing context to them; values as Windows reports them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Surface;

TEST(Region, BuildsCombinesAnswersAndClipsAsWindows)
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

    SolidBrush black(Color(Color::Black));
    // Clip to the union of two rectangles minus a third, fill everything: only what is left changes.
    Surface clipped;
    Region clip(Rect(10, 10, 30, 30));
    clip.Union(Rect(60, 10, 30, 30));
    EXPECT_EQ(clipped.graphics.SetClip(&clip), Ok);
    EXPECT_EQ(clipped.graphics.ExcludeClip(Rect(20, 20, 60, 10)), Ok);
    EXPECT_TRUE(clipped.graphics.IsVisible(15, 15));
    EXPECT_FALSE(clipped.graphics.IsVisible(25, 25));
    EXPECT_FALSE(clipped.graphics.IsClipEmpty());
    EXPECT_EQ(clipped.graphics.FillRectangle(&black, 0, 0, 100, 100), Ok);
    EXPECT_TRUE(clipped.Ink(15, 15) && clipped.Ink(85, 35));
    EXPECT_TRUE(clipped.Blank(25, 25) && clipped.Blank(50, 15));  // excluded; between the rectangles
    Region got;
    EXPECT_EQ(clipped.graphics.GetClip(&got), Ok);
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
    EXPECT_TRUE(filled.Ink(50, 60) && filled.Blank(15, 20));
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

namespace {

std::vector<UINT> DataOf(const Region& region)
{
    std::vector<UINT> words(region.GetDataSize() / 4);
    UINT filled = 0;
    EXPECT_EQ(region.GetData(reinterpret_cast<BYTE*>(words.data()), region.GetDataSize(), &filled), Ok);
    EXPECT_EQ(filled, words.size() * 4);
    return words;
}

// Checks the data's word at each index given.
void ExpectWords(const std::vector<UINT>& words, std::initializer_list<std::pair<size_t, UINT>> expected)
{
    for (const auto& [at, value] : expected) EXPECT_EQ(at < words.size() ? words[at] : ~value, value) << "word " << at;
}

UINT Bits(REAL value)
{
    UINT bits = 0;
    std::memcpy(&bits, &value, 4);
    return bits;
}

const UINT kRect = 0x10000000, kPath = 0x10000001, kEmpty = 0x10000002, kInfinite = 0x10000003, kMagic = 0xdbc01002;

}  // namespace

TEST(Region, DataHasWindowsLayoutAndReadsBack)
{
    Surface s;
    Graphics* g = &s.graphics;
    // Sizes and words as Windows writes them: header (size after 8 bytes, checksum, magic, twice the
    // combinations), then the tree of operations in prefix order.
    Region empty;
    empty.MakeEmpty();
    EXPECT_EQ(DataOf(empty), (std::vector<UINT>{12, DataOf(empty)[1], kMagic, 0, kEmpty}));
    EXPECT_EQ(DataOf(Region())[4], kInfinite);

    GraphicsPath square;
    square.AddRectangle(RectF(12.5f, 13.0f, 14.0f, 15.0f));
    Region path(&square);
    EXPECT_EQ(path.GetDataSize(), 72u);  // libgdiplus: 68
    ExpectWords(DataOf(path), {{0, 64u}, {4, kPath}, {5, 48u}, {7, 4u}, {9, Bits(12.5f)}, {17, 0x81010100u}});
    path.Intersect(Rect(50, 30, 10, 20));
    std::vector<UINT> words = DataOf(path);
    ASSERT_EQ(words.size() * 4, 96u);
    ExpectWords(words, {{3, 2u}, {4, UINT(CombineModeIntersect)}, {19, kRect}});

    // Whole-number points are kept as shorts, flagged 0x4000.
    GraphicsPath triangle;
    triangle.AddLine(5, 6, 7, 8);
    triangle.AddLine(8, 1, 5, 6);
    triangle.CloseFigure();
    words = DataOf(Region(&triangle));
    ASSERT_EQ(words.size() * 4, 56u);
    ExpectWords(words, {{8, 0x4000u}, {9, 0x00060005u}, {13, 0x81010100u}});
    GraphicsPath none;
    EXPECT_EQ(Region(&none).GetDataSize(), 36u);

    // Five combinations of six rectangles: 156 bytes, as Windows.
    Region mixed(Rect(10, 20, 100, 200));
    mixed.Intersect(Rect(50, 30, 10, 20));
    mixed.Xor(Rect(100, 300, 30, 50));
    Region other(Rect(200, 100, 133, 266));
    other.Union(Rect(20, 10, 40, 66));
    mixed.Complement(&other);
    mixed.Exclude(Rect(400, 500, 22, 55));
    words = DataOf(mixed);
    ASSERT_EQ(words.size() * 4, 156u);
    EXPECT_EQ(words[3], 10u);
    EXPECT_EQ(
        std::vector<UINT>(words.begin() + 4, words.begin() + 9),
        (std::vector<UINT>{CombineModeExclude, CombineModeComplement, CombineModeXor, CombineModeIntersect, kRect}));
    EXPECT_EQ(words[23], static_cast<UINT>(CombineModeUnion));

    // The data build the same area back, and a replaced region is its operand's.
    Region back(reinterpret_cast<const BYTE*>(words.data()), static_cast<INT>(words.size() * 4));
    EXPECT_EQ(back.GetLastStatus(), Ok);
    EXPECT_TRUE(back.Equals(&mixed, g));
    EXPECT_EQ(back.GetDataSize(), 156u);
    GraphicsPath zigzag;
    zigzag.AddLine(50.0f, 70.2f, 60.0f, 102.8f);
    zigzag.AddLine(55.4f, 122.4f, 40.4f, 60.2f);
    zigzag.AddLine(45.6f, 20.2f, 50.0f, 70.2f);
    Region joined(Rect(20, 25, 60, 120));
    joined.Union(&zigzag);
    words = DataOf(joined);
    ASSERT_EQ(words.size() * 4, 116u);
    ExpectWords(words, {{11, 68u}, {27, 0x01010100u}, {28, 0x00000101u}});

    // The Xor of two equal regions is empty, as on Windows (libgdiplus kept two-rectangle ones whole).
    Region first(Rect(0, 0, 10, 10)), second(Rect(0, 0, 10, 10));
    first.Union(Rect(20, 0, 10, 10));
    second.Union(Rect(20, 0, 10, 10));
    std::unique_ptr<Region> copy(first.Clone());
    first.Xor(&second);
    EXPECT_TRUE(first.IsEmpty(g));
    copy->Xor(Rect(20, 0, 10, 10));
    Region leftSquare(Rect(0, 0, 10, 10));
    EXPECT_TRUE(copy->Equals(&leftSquare, g));
    Region plane, alsoPlane;
    plane.Xor(Rect(0, 0, 10, 10));
    alsoPlane.Xor(Rect(0, 0, 10, 10));
    plane.Xor(&alsoPlane);
    EXPECT_TRUE(plane.IsEmpty(g));
    // So do exclusion and complement of regions of several rectangles.
    second.Exclude(copy.get());
    Region gaps(Rect(10, 0, 10, 10)), rightSquare(Rect(20, 0, 10, 10));
    EXPECT_TRUE(second.Equals(&rightSquare, g));
    second.Union(Rect(0, 0, 10, 10));
    second.Complement(Rect(0, 0, 30, 10));
    EXPECT_TRUE(second.Equals(&gaps, g));
    // Data of such a combination build it back through the same fixed operations.
    std::vector<UINT> pairData = DataOf(second);
    Region rebuilt(reinterpret_cast<const BYTE*>(pairData.data()), static_cast<INT>(pairData.size() * 4));
    EXPECT_TRUE(rebuilt.Equals(&gaps, g));

    // Cut or lying data are refused, never read past their end.
    words = DataOf(joined);
    for (size_t cut = 0; cut < words.size() * 4; cut += 3)
        EXPECT_NE(Region(reinterpret_cast<const BYTE*>(words.data()), static_cast<INT>(cut)).GetLastStatus(), Ok);
    words[13] = 0x7FFFFFFF;  // the path's point count
    EXPECT_NE(Region(reinterpret_cast<const BYTE*>(words.data()), static_cast<INT>(words.size() * 4)).GetLastStatus(),
              Ok);
}
