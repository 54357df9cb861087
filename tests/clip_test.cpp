// Clips as device pixels (a pixel is inside when its centre is), GDI+'s aliased fill rule and the pixel
// offset, for the fills the layer paints itself: a clip that lets everything through changes nothing, a clip
// cuts at pixel centres, keeps to the transform and page it was set under and within a container's clip,
// hostile clips stay bounded, and whatever changes between two fills is seen by the second.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

const int kSide = 100;

using Canvas = pictor_test::CoverageCanvas<kSide>;

using Shape = std::function<Status(Graphics&, const Brush&)>;

Status FillStar(Graphics& g, const Brush& ink, FillMode mode)
{
    GraphicsPath path(mode);
    std::vector<PointF> points;
    for (int k = 0; k < 5; ++k) {
        const double angle = -M_PI / 2 + k * 4 * M_PI / 5;  // every second point of five: a self-crossing star
        points.emplace_back(float(45.3 + 33.7 * std::cos(angle)), float(47.6 + 33.7 * std::sin(angle)));
    }
    path.AddPolygon(points.data(), 5);
    return g.FillPath(&ink, &path);
}

const std::vector<std::pair<const char*, Shape>>& Shapes()
{
    static const std::vector<std::pair<const char*, Shape>> shapes = {
        {"ellipse", [](Graphics& g, const Brush& b) { return g.FillEllipse(&b, 10.3f, 12.0f, 61.5f, 37.25f); }},
        {"star, winding", [](Graphics& g, const Brush& b) { return FillStar(g, b, FillModeWinding); }},
        {"star, alternate", [](Graphics& g, const Brush& b) { return FillStar(g, b, FillModeAlternate); }},
        {"rectangle", [](Graphics& g, const Brush& b) { return g.FillRectangle(&b, 12.25f, 20.6f, 60.5f, 33.7f); }},
        {"polygon",
         [](Graphics& g, const Brush& b) {
             const PointF points[] = {{14.2f, 9.7f}, {88.1f, 30.3f}, {60.6f, 81.1f}, {25.3f, 60.2f}};
             return g.FillPolygon(&b, points, 4);
         }},
        {"pie", [](Graphics& g, const Brush& b) { return g.FillPie(&b, 15.3f, 10.1f, 70.0f, 66.0f, 20.0f, 250.0f); }},
    };
    return shapes;
}

// Draws the shape with black ink after `prepare`, and reads the canvas back.
void Draw(Canvas& canvas, const Shape& shape, const std::function<void(Graphics&)>& prepare)
{
    SolidBrush ink(Color(255, 0, 0, 0));
    prepare(canvas.graphics);
    ASSERT_EQ(shape(canvas.graphics, ink), Ok);
    canvas.Read();
}

}  // namespace

TEST(Clip, ClipsThatExcludeNothingKeepThePixels)
{
    const std::vector<std::pair<const char*, std::function<void(Graphics&)>>> clips = {
        {"canvas rectangle", [](Graphics& g) { g.SetClip(Rect(0, 0, kSide, kSide)); }},
        {"two rectangles",
         [](Graphics& g) {
             Region both(Rect(0, 0, kSide, 40));
             both.Union(Rect(0, 40, kSide, kSide - 40));
             g.SetClip(&both);
         }},
        {"huge path",
         [](Graphics& g) {
             GraphicsPath huge;
             huge.AddEllipse(-1e6f, -1e6f, 2e6f, 2e6f);
             g.SetClip(&huge);
         }},
        {"negative-size intersection left out", [](Graphics& g) { g.IntersectClip(Rect(-5, -5, kSide + 10, kSide + 10)); }},
        {"huge rectangle", [](Graphics& g) { g.SetClip(RectF(-1e30f, -1e30f, 2e30f, 2e30f)); }},
    };
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const auto& [name, shape] : Shapes())
            for (const auto& [clipName, clip] : clips) {
                Canvas plain(mode), clipped(mode);
                Draw(plain, shape, [](Graphics&) {});
                Draw(clipped, shape, clip);
                EXPECT_GT(plain.Ink(), 255 * 100) << name;
                EXPECT_LE(plain.LargestDifference(clipped, pictor_test::kSamePlace), 2)
                    << name << " through " << clipName << ", mode " << mode;
            }
}

TEST(Clip, ClipsCutAtPixelCentresUnderTheTransformTheyWereSetWith)
{
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        const Shape& ellipse = Shapes()[0].second;
        Canvas plain(mode);
        Draw(plain, ellipse, [](Graphics&) {});
        // A rectangle clip holds the pixels whose centres it holds: x from 20.3 to 60.5, y from 14.6 to 40.7.
        Canvas boxed(mode);
        Draw(boxed, ellipse, [](Graphics& g) { g.SetClip(RectF(20.3f, 14.6f, 40.2f, 26.1f)); });
        // Set under a scale and a move, the clip stays where it was set after the transform changes.
        Canvas moved(mode);
        Draw(moved, ellipse, [](Graphics& g) {
            g.TranslateTransform(10.15f, 7.3f);
            g.ScaleTransform(2, 2);
            g.SetClip(RectF(5.075f, 3.65f, 20.1f, 13.05f));
            g.ResetTransform();
        });
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const bool inside = x >= 21 && x <= 60 && y >= 15 && y <= 40;
                ASSERT_EQ(boxed.At(x, y), inside ? plain.At(x, y) : 0) << x << ", " << y << ", mode " << mode;
                ASSERT_NEAR(moved.At(x, y), boxed.At(x, y), 2) << x << ", " << y << ", mode " << mode;
            }
        // Set under a page (inches at scale one half: 48 pixels an inch), the clip holds the same pixels, drawn
        // under that page or after the page went back to pixels.
        Canvas paged(mode), repaged(mode);
        Draw(paged, ellipse, [](Graphics& g) {
            g.SetPageUnit(UnitInch);
            g.SetPageScale(0.5f);
            g.ScaleTransform(1.0f / 48, 1.0f / 48);
            g.SetClip(RectF(20.3f, 14.6f, 40.2f, 26.1f));
        });
        Draw(repaged, ellipse, [](Graphics& g) {
            g.SetPageUnit(UnitInch);
            g.SetPageScale(0.5f);
            g.SetClip(RectF(20.3f / 48, 14.6f / 48, 40.2f / 48, 26.1f / 48));
            g.SetPageUnit(UnitPixel);
            g.SetPageScale(1);
        });
        EXPECT_LE(boxed.LargestDifference(paged, pictor_test::kSamePlace), 2) << "mode " << mode;
        EXPECT_LE(boxed.LargestDifference(repaged, pictor_test::kSamePlace), 2) << "mode " << mode;
        // A circle clip: pixels whose centres are clearly inside are as drawn plainly, clearly outside untouched.
        Canvas round(mode);
        Draw(round, ellipse, [](Graphics& g) {
            GraphicsPath circle;
            circle.AddEllipse(20.0f, 5.0f, 40.0f, 40.0f);
            g.SetClip(&circle);
        });
        int checked = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const double distance = std::hypot(x - 40.0, y - 25.0) - 20.0;
                if (std::fabs(distance) < 0.1) continue;  // the flattened circle strays up to a tenth of a pixel
                ASSERT_EQ(round.At(x, y), distance < 0 ? plain.At(x, y) : 0) << x << ", " << y << ", mode " << mode;
                checked += distance < 0 && plain.At(x, y) > 0;
            }
        EXPECT_GT(checked, 500);
    }
}

TEST(Clip, AliasedFillsTakeWholePixelsByTheirCentres)
{
    // A whole-number rectangle takes exactly its pixels, with either pixel offset; half a pixel further on,
    // the default offset moves the centres it holds by one pixel and the half offset does not.
    for (PixelOffsetMode offset : {PixelOffsetModeDefault, PixelOffsetModeHalf}) {
        Canvas whole(SmoothingModeNone), half(SmoothingModeNone);
        Draw(whole, [](Graphics& g, const Brush& b) { return g.FillRectangle(&b, 10, 20, 30, 15); },
             [&](Graphics& g) { g.SetPixelOffsetMode(offset); });
        Draw(half, [](Graphics& g, const Brush& b) { return g.FillRectangle(&b, 10.5f, 20.5f, 30.0f, 15.0f); },
             [&](Graphics& g) { g.SetPixelOffsetMode(offset); });
        const int shift = offset == PixelOffsetModeHalf ? 0 : 1;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                ASSERT_EQ(whole.At(x, y), x >= 10 && x < 40 && y >= 20 && y < 35 ? 255 : 0) << x << ", " << y;
                ASSERT_EQ(half.At(x, y), x >= 10 + shift && x < 40 + shift && y >= 20 + shift && y < 35 + shift ? 255 : 0)
                    << x << ", " << y << ", offset " << offset;
            }
    }
    // Moved by whole pixels or turned a quarter turn, an aliased shape lands on the same pixels (edges here
    // run through no pixel centre).
    const int last = kSide - 1;
    for (const auto& [name, shape] : Shapes()) {
        Canvas plain(SmoothingModeNone), moved(SmoothingModeNone), turned(SmoothingModeNone);
        Draw(plain, shape, [](Graphics&) {});
        Draw(moved, shape, [](Graphics& g) { g.TranslateTransform(7, -3); });
        Draw(turned, shape, [&](Graphics& g) {
            Matrix turn(0, 1, -1, 0, REAL(last), 0);
            g.SetTransform(&turn);
        });
        EXPECT_GT(plain.Ink(), 255 * 100) << name;
        EXPECT_EQ(plain.LargestDifference(moved, [](int x, int y, int* tx, int* ty) { *tx = x + 7, *ty = y - 3; }), 0)
            << name;
        EXPECT_EQ(plain.LargestDifference(turned, [&](int x, int y, int* tx, int* ty) { *tx = last - y, *ty = x; }), 0)
            << name;
    }
}

TEST(Clip, EmptyAndHostileClipsStayBounded)
{
    const Shape& ellipse = Shapes()[0].second;
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        // A clip of negative size holds nothing.
        Canvas empty(mode);
        Draw(empty, ellipse, [](Graphics& g) { g.SetClip(Rect(80, 80, -60, -60)); });
        EXPECT_EQ(empty.Ink(), 0);
        // A region of a thousand one-pixel squares (every other pixel of ten rows) lets those pixels alone through.
        Canvas dotted(mode), plain(mode);
        Draw(plain, ellipse, [](Graphics&) {});
        const auto start = std::chrono::steady_clock::now();
        Draw(dotted, ellipse, [](Graphics& g) {
            Region dots;
            dots.MakeEmpty();
            for (int k = 0; k < 1000; ++k) dots.Union(Rect(2 * (k % 50), 20 + k / 50, 1, 1));
            GraphicsPath circle;  // a path in the tree, so that the squares are combined as shapes
            circle.AddEllipse(-40.0f, -40.0f, 180.0f, 180.0f);  // holds the canvas
            dots.Intersect(&circle);
            g.SetClip(&dots);
        });
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const bool dot = x % 2 == 0 && y >= 20 && y < 40;
                ASSERT_EQ(dotted.At(x, y), dot ? plain.At(x, y) : 0) << x << ", " << y;
            }
        // Clips of numbers that are not numbers or beyond any canvas: no crash, no pixel outside the canvas.
        const float nan = std::numeric_limits<float>::quiet_NaN(), huge = 1e30f;
        for (const RectF& r : {RectF(nan, 0, 50, 50), RectF(0, 0, nan, nan), RectF(-huge, -huge, 2 * huge, 2 * huge),
                               RectF(huge, huge, huge, huge)}) {
            Canvas hostile(mode);
            Draw(hostile, ellipse, [&](Graphics& g) { g.SetClip(r); });
        }
    }
}

// A context keeps its clip's pixels from one fill to the next: every way of changing the clip between two fills
// must give the pixels of a fresh context that had its clip changed the same way before its only fill.
// Inside a container a clip is kept within the clip around it, whatever combination set it; EndContainer
// brings back the clip and transform outside.
TEST(Clip, ClipsInsideAContainerKeepWithinTheClipAroundIt)
{
    const Shape& ellipse = Shapes()[0].second;
    const Shape& rectangle = Shapes()[3].second;
    SolidBrush ink(Color(255, 0, 0, 0));
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        Canvas expected(mode), contained(mode);
        expected.graphics.SetClip(Rect(30, 15, 40, 30));
        ASSERT_EQ(ellipse(expected.graphics, ink), Ok);
        expected.graphics.SetClip(Rect(10, 5, 60, 40));
        expected.graphics.TranslateTransform(3, 2);
        ASSERT_EQ(rectangle(expected.graphics, ink), Ok);

        Graphics& g = contained.graphics;
        g.SetClip(Rect(10, 5, 60, 40));
        g.TranslateTransform(3, 2);
        const GraphicsContainer container = g.BeginContainer();
        g.SetSmoothingMode(mode);  // a container starts with GDI+'s default quality
        g.TranslateTransform(-3, -2);
        g.SetClip(Rect(30, 15, 50, 50));
        ASSERT_EQ(ellipse(g, ink), Ok);
        g.EndContainer(container);
        ASSERT_EQ(rectangle(g, ink), Ok);
        expected.Read();
        contained.Read();
        EXPECT_GT(expected.Ink(), 255 * 500);
        EXPECT_LE(expected.LargestDifference(contained, pictor_test::kSamePlace), 2) << "mode " << mode;
    }
}

// Whatever changes between two fills (the clip, or anything else the layer keeps of the context: the
// transform, the page, the smoothing, the pixel offset), the second fill is drawn as a context that had the
// change from the start draws it.
TEST(Clip, ContextChangedBetweenFillsIsReadAgain)
{
    using Step = std::function<void(Graphics&)>;
    GraphicsState saved = 0;
    GraphicsContainer container = 0;
    Bitmap otherBitmap(kSide, kSide, PixelFormat32bppARGB);
    struct Change {
        const char* name;
        Step before, change;
        Step draw = {};  // drawn in place of both fills where the change shows in other drawings
    };
    const Step nothing = [](Graphics&) {};
    // An enlarged checker (drawn by the layer when nearest, by the engine otherwise), text, a hatched
    // ellipse and region, each unclipped.
    Bitmap checker(4, 4, PixelFormat32bppARGB);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) checker.SetPixel(x, y, Color((x + y) % 2 ? 255 : 0, 0, 0, 0));
    const Step enlarged = [&](Graphics& g) { ASSERT_EQ(g.DrawImage(&checker, 10, 10, 80, 80), Ok); };
    FontFamily family(u"DejaVu Sans");
    Font font(&family, 16, FontStyleRegular, UnitPixel);
    SolidBrush black(Color(255, 0, 0, 0));
    const Step text = [&](Graphics& g) {
        ASSERT_EQ(g.DrawString(u"Kept state", -1, &font, PointF(5.3f, 40.6f), &black), Ok);
    };
    HatchBrush hatch(HatchStyleDiagonalCross, Color(255, 0, 0, 0), Color(0, 0, 0, 0));
    const Step hatchedEllipse = [&](Graphics& g) { ASSERT_EQ(g.FillEllipse(&hatch, 8.5f, 6.0f, 80.0f, 70.0f), Ok); };
    const Step hatchedRegion = [&](Graphics& g) {
        Region region(Rect(10, 10, 70, 60));
        ASSERT_EQ(g.FillRegion(&hatch, &region), Ok);
    };
    const std::vector<Change> changes = {
        {"rectangle", nothing, [](Graphics& g) { g.SetClip(Rect(20, 15, 50, 40)); }},
        {"rectangle, union", nothing,
         [](Graphics& g) { g.SetClip(RectF(60.5f, 2.2f, 30.0f, 90.0f), CombineModeUnion); }},
        {"path", nothing,
         [](Graphics& g) {
             GraphicsPath star;
             star.AddEllipse(30.0f, 25.0f, 60.0f, 55.0f);
             g.SetClip(&star);
         }},
        {"region", nothing,
         [](Graphics& g) {
             Region two(Rect(5, 5, 40, 30));
             two.Union(Rect(50, 40, 30, 50));
             g.SetClip(&two, CombineModeXor);
         }},
        {"another context's clip", nothing,
         [&](Graphics& g) {
             Graphics other(&otherBitmap);
             other.SetClip(Rect(10, 30, 70, 20));
             g.SetClip(&other);
         }},
        {"intersect", nothing, [](Graphics& g) { g.IntersectClip(RectF(0.0f, 40.4f, 100.0f, 30.0f)); }},
        {"exclude", nothing, [](Graphics& g) { g.ExcludeClip(Rect(35, 0, 20, 100)); }},
        {"translate", nothing, [](Graphics& g) { g.TranslateClip(9.5f, -6.0f); }},
        {"reset", nothing, [](Graphics& g) { g.ResetClip(); }},
        {"set under a turn", nothing,
         [](Graphics& g) {
             g.RotateTransform(30.0f);
             g.SetClip(RectF(40.0f, -10.0f, 40.0f, 30.0f));
             g.ResetTransform();
         }},
        {"pixel offset", nothing, [](Graphics& g) { g.SetPixelOffsetMode(PixelOffsetModeHalf); }},
        {"smoothing", nothing,
         [](Graphics& g) {
             const bool none = g.GetSmoothingMode() == SmoothingModeNone;
             g.SetSmoothingMode(none ? SmoothingModeAntiAlias : SmoothingModeNone);
         }},
        {"transform set", nothing,
         [](Graphics& g) {
             Matrix moved(1, 0, 0, 1, 5.5f, 3);
             g.SetTransform(&moved);
         }},
        {"translated", nothing, [](Graphics& g) { g.TranslateTransform(4.5f, 2); }},
        {"scaled", nothing, [](Graphics& g) { g.ScaleTransform(0.8f, 0.9f); }},
        {"turned", nothing, [](Graphics& g) { g.RotateTransform(10, MatrixOrderAppend); }},
        {"multiplied", nothing,
         [](Graphics& g) {
             Matrix shear(1, 0.2f, 0, 1, 0, 0);
             g.MultiplyTransform(&shear);
         }},
        {"transform reset", [](Graphics& g) { g.TranslateTransform(6, 4); }, [](Graphics& g) { g.ResetTransform(); }},
        {"page unit", nothing, [](Graphics& g) { g.SetPageUnit(UnitPoint); }},
        {"page scale", nothing, [](Graphics& g) { g.SetPageScale(1.25f); }},
        {"transform restored",
         [&](Graphics& g) {
             saved = g.Save();
             g.TranslateTransform(7, 3);
         },
         [&](Graphics& g) { g.Restore(saved); }},
        {"restore",
         [&](Graphics& g) {
             saved = g.Save();
             g.SetClip(Rect(25, 25, 30, 30));
         },
         [&](Graphics& g) { g.Restore(saved); }},
        {"container begun", nothing,
         [&](Graphics& g) {
             container = g.BeginContainer();
             g.SetClip(Rect(25, 25, 30, 30));
         }},
        {"container ended",
         [&](Graphics& g) {
             container = g.BeginContainer();
             g.SetClip(Rect(25, 25, 30, 30));
         },
         [&](Graphics& g) { g.EndContainer(container); }},
        {"interpolation",
         [](Graphics& g) {
             g.ResetClip();
             g.SetInterpolationMode(InterpolationModeNearestNeighbor);
         },
         [](Graphics& g) { g.SetInterpolationMode(InterpolationModeBilinear); }, enlarged},
        {"text rendering hint",
         [](Graphics& g) {
             g.ResetClip();
             g.SetTextRenderingHint(TextRenderingHintAntiAlias);
         },
         [](Graphics& g) { g.SetTextRenderingHint(TextRenderingHintSingleBitPerPixel); }, text},
        {"rendering origin", [](Graphics& g) { g.ResetClip(); }, [](Graphics& g) { g.SetRenderingOrigin(3, 1); },
         hatchedEllipse},
        {"rendering origin, region", [](Graphics& g) { g.ResetClip(); },
         [](Graphics& g) { g.SetRenderingOrigin(3, 1); }, hatchedRegion},
    };
    const Step roundClip = [](Graphics& g) {
        GraphicsPath round;
        round.AddEllipse(8.0f, 6.0f, 80.0f, 70.0f);
        g.SetClip(&round);
    };
    SolidBrush ink(Color(255, 0, 0, 0)), grey(Color(128, 0, 0, 0));
    const Step fillFirst = [&](Graphics& g) { ASSERT_EQ(g.FillEllipse(&grey, 2.5f, 3.0f, 95.0f, 90.0f), Ok); };
    const Step fillSecond = [&](Graphics& g) {
        const PointF points[] = {{3.2f, 8.7f}, {96.1f, 20.3f}, {80.6f, 95.1f}, {5.3f, 70.2f}};
        ASSERT_EQ(g.FillPolygon(&ink, points, 4), Ok);
    };
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const Change& c : changes) {
            const Step& first = c.draw ? c.draw : fillFirst;
            const Step& second = c.draw ? c.draw : fillSecond;
            Canvas kept(mode), fresh(mode), unchanged(mode);
            for (Canvas* canvas : {&kept, &unchanged}) {
                roundClip(canvas->graphics);
                c.before(canvas->graphics);
                first(canvas->graphics);
                if (canvas == &kept) c.change(canvas->graphics);
                second(canvas->graphics);
                canvas->Read();
            }
            for (bool again : {false, true}) {
                Graphics g(&fresh.bitmap);
                g.SetSmoothingMode(mode);
                roundClip(g);
                c.before(g);
                if (again)
                    c.change(g), second(g);
                else
                    first(g);
            }
            fresh.Read();
            EXPECT_EQ(kept.LargestDifference(fresh, pictor_test::kSamePlace), 0) << c.name << ", mode " << mode;
            // Each change shows: a context that kept the first drawing's state would differ.
            EXPECT_GT(kept.LargestDifference(unchanged, pictor_test::kSamePlace), 0) << c.name << ", mode " << mode;
        }
}

// A region filled under another clip takes the pixels both hold: the region's as it fills alone, the clip's
// as a fill of the whole canvas takes them, whatever transform either was given under, the smoothing and
// the brush. Clear sets the pixels a clip holds to the colour itself (on an opaque bitmap, as it shows over
// black).
TEST(Clip, RegionsFilledAndClearsUnderAClipTakeThePixelsItHolds)
{
    // Two overlapping figures filled alternately: the overlap is a hole.
    GraphicsPath figures, oval;
    figures.AddEllipse(8.5f, 12.25f, 60.0f, 44.0f);
    figures.AddRectangle(RectF(40.3f, 40.6f, 40, 30));
    oval.AddEllipse(20.3f, 10.6f, 70.0f, 55.5f);
    const Region region(&figures);
    Matrix turn;
    turn.RotateAt(30, PointF(50, 50));
    const std::vector<std::function<void(Graphics&)>> clips = {
        [](Graphics& g) { g.SetClip(RectF(-1000, -1000, 4000, 4000)); },  // excludes nothing
        [&](Graphics& g) {
            g.SetTransform(&turn);
            g.SetClip(&oval);
            g.ResetTransform();
        },
    };
    SolidBrush black(Color(Color::Black));
    HatchBrush hatch(HatchStyleSolidDiamond, Color(Color::Black), Color(Color::Black));
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const Brush* brush : {static_cast<const Brush*>(&black), static_cast<const Brush*>(&hatch)})
            for (size_t k = 0; k < clips.size(); ++k) {
                Canvas regionAlone(smoothing), clipAlone(smoothing), both(smoothing);
                regionAlone.graphics.TranslateTransform(3, 2);
                ASSERT_EQ(regionAlone.graphics.FillRegion(brush, &region), Ok);
                clips[k](clipAlone.graphics);
                ASSERT_EQ(clipAlone.graphics.FillRectangle(brush, 0, 0, kSide, kSide), Ok);
                clips[k](both.graphics);
                both.graphics.TranslateTransform(3, 2);
                ASSERT_EQ(both.graphics.FillRegion(brush, &region), Ok);
                for (Canvas* c : {&regionAlone, &clipAlone, &both}) c->Read();
                int wrong = 0, inked = 0;
                for (int y = 0; y < kSide; ++y)
                    for (int x = 0; x < kSide; ++x) {
                        const int expected = regionAlone.At(x, y) == 255 && clipAlone.At(x, y) == 255 ? 255 : 0;
                        wrong += both.At(x, y) != expected;
                        inked += expected != 0;
                    }
                EXPECT_GT(inked, 1000) << smoothing << ", clip " << k;
                EXPECT_EQ(wrong, 0) << smoothing << ", clip " << k;
            }

    // Clear sets the pixels the clip holds, as an aliased fill takes them, to the colour itself.
    const std::vector<std::function<void(Graphics&)>> clearClips = {
        [](Graphics& g) { g.SetClip(RectF(10.3f, 20.6f, 50.2f, 30.7f)); },
        [&](Graphics& g) {
            g.SetTransform(&turn);
            g.SetClip(&oval);
        },
    };
    SolidBrush opaque(Color(255, 0, 0, 255));
    for (size_t k = 0; k < clearClips.size(); ++k)
        for (BYTE alpha : {BYTE(0), BYTE(0x40)}) {
            // The clip's pixels, as an aliased fill takes them.
            Canvas held(SmoothingModeNone), cleared;
            clearClips[k](held.graphics);
            ASSERT_EQ(held.graphics.FillRectangle(&opaque, -50, -50, 200, 200), Ok);
            ASSERT_EQ(cleared.graphics.FillRectangle(&opaque, -1, -1, kSide + 2, kSide + 2), Ok);
            clearClips[k](cleared.graphics);
            // Neither the transform nor the compositing mode has a say: the colour replaces the pixel.
            ASSERT_EQ(cleared.graphics.Clear(Color(alpha, 255, 0, 0)), Ok);
            for (Canvas* c : {&held, &cleared}) c->Read();
            int wrong = 0, inside = 0;
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x) {
                    inside += held.At(x, y) == 255;
                    wrong += cleared.At(x, y) != (held.At(x, y) == 255 ? alpha : 255);
                }
            EXPECT_GT(inside, 1000) << "clip " << k;
            EXPECT_EQ(wrong, 0) << "clip " << k << ", alpha " << int(alpha);
            // An opaque bitmap keeps the colour as it shows over black, on the same pixels.
            for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppRGB}) {
                Bitmap opaqueBitmap(kSide, kSide, format);
                Graphics g(&opaqueBitmap);
                ASSERT_EQ(g.Clear(Color(255, 0, 0, 255)), Ok);
                clearClips[k](g);
                ASSERT_EQ(g.Clear(Color(alpha, 255, 0, 0)), Ok);
                const ARGB overBlack = 0xFF000000u | ARGB(alpha) << 16;
                // Read through a lock, which hands the fourth byte over as the alpha (GetPixel does not).
                const std::vector<ARGB> pixels = pictor_test::AllPixels(opaqueBitmap);
                int wrongOpaque = 0;
                for (int y = 0; y < kSide; ++y)
                    for (int x = 0; x < kSide; ++x)
                        wrongOpaque += pixels[y * kSide + x] != (held.At(x, y) == 255 ? overBlack : 0xFF0000FFu);
                EXPECT_EQ(wrongOpaque, 0) << "clip " << k << ", alpha " << int(alpha) << ", format " << format;
            }
        }
}
