// ImageAttributes drawn by the layer: each adjustment's value on known pixels (Wine's recorded GDI+ values
// where it records them), the same routes as a picture drawn without attributes, source units, and hostile
// settings.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::AllPixels;
using pictor_test::ChannelGap;
using pictor_test::ExpectPixels;
using pictor_test::PaintRedAndBlueHalves;
using pictor_test::PixelOf;

namespace {

const ColorMatrix kIdentity = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};

// One pixel drawn unscaled with the attributes onto a transparent bitmap, read back.
ARGB Drawn(ARGB pixel, const ImageAttributes& attributes)
{
    Bitmap source(1, 1, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Color(pixel));
    Bitmap target(1, 1, PixelFormat32bppARGB);
    Graphics graphics(&target);
    EXPECT_EQ(Ok, graphics.DrawImage(&source, Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPixel, &attributes));
    return PixelOf(target, 0, 0);
}

// A picture of colours and alphas that vary across it (red and green never 1 and 2 together).
std::unique_ptr<Bitmap> Pattern(int width, int height, PixelFormat format = PixelFormat32bppARGB)
{
    auto picture = std::make_unique<Bitmap>(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->SetPixel(x, y,
                              Color(BYTE(255 - (x * 7 + y * 3) % 200), BYTE(x * 13), BYTE(100 + y * 11), BYTE(x * y)));
    return picture;
}

// Everything a draw leaves on a white 100 x 100 premultiplied bitmap (as a canvas is).
std::vector<ARGB> DrawnPixels(const std::function<void(Graphics&)>& place, const std::function<Status(Graphics&)>& draw)
{
    Bitmap target(100, 100, PixelFormat32bppPARGB);
    Graphics graphics(&target);
    graphics.Clear(Color(Color::White));
    place(graphics);
    EXPECT_EQ(Ok, draw(graphics));
    return AllPixels(target);
}

}  // namespace

// Wine's recorded GDI+ values: a matrix doubling red, a matrix moving each channel to the next, gamma 3,
// a colour key over 2 x 2 pixels, a remap table; and the documented threshold and grey matrices.
TEST(ImageAttributes, EachAdjustmentGivesGdiplusValues)
{
    ImageAttributes matrix;
    ColorMatrix doubleRed = kIdentity;
    doubleRed.m[0][0] = 2;
    ASSERT_EQ(Ok, matrix.SetColorMatrix(&doubleRed));
    EXPECT_EQ(0xFF80CCEEu, Drawn(0xFF40CCEE, matrix));
    const ColorMatrix rotate = {{{0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {1, 0, 0, 0, 0}, {0, 0, 0, 0, 1}}};
    ASSERT_EQ(Ok, matrix.SetColorMatrix(&rotate));
    EXPECT_LE(ChannelGap(0xEEFF40CC, Drawn(0xFF40CCEE, matrix)), 3);
    // Greys skipped, or taken by the grey matrix (which here empties green).
    ColorMatrix noGreen = kIdentity;
    noGreen.m[1][1] = 0;
    ASSERT_EQ(Ok, matrix.SetColorMatrices(&doubleRed, &noGreen, ColorMatrixFlagsSkipGrays));
    EXPECT_EQ(0xFF404040u, Drawn(0xFF404040, matrix));
    ASSERT_EQ(Ok, matrix.SetColorMatrices(&doubleRed, &noGreen, ColorMatrixFlagsAltGray));
    EXPECT_EQ(0xFF400040u, Drawn(0xFF404040, matrix));
    EXPECT_EQ(0xFF802040u, Drawn(0xFF402040, matrix));
    ASSERT_EQ(Ok, matrix.Reset());
    EXPECT_EQ(0xFF40CCEEu, Drawn(0xFF40CCEE, matrix));

    ImageAttributes gamma;
    ASSERT_EQ(Ok, gamma.SetGamma(3.0f));
    EXPECT_LE(ChannelGap(0xFF20FFFF, Drawn(0xFF80FFFF, gamma)), 1);

    // The documented threshold example: 230, 50, 220 at 0.7 go to full, none, full.
    ImageAttributes threshold;
    ASSERT_EQ(Ok, threshold.SetThreshold(0.7f));
    EXPECT_EQ(0xFFFF00FFu, Drawn(0xFFE632DC, threshold));

    ImageAttributes remap;
    const ColorMap map{Color(0xFF00FF00), Color(0xFFFF00FF)};
    ASSERT_EQ(Ok, remap.SetRemapTable(1, &map));
    EXPECT_EQ(0xFFFF00FFu, Drawn(0xFF00FF00, remap));
    EXPECT_EQ(0xFF00FE00u, Drawn(0xFF00FE00, remap));

    // The key compares colour, not alpha.
    ImageAttributes key;
    ASSERT_EQ(Ok, key.SetColorKey(Color(0xFF405060), Color(0xFF708090)));
    Bitmap keyed(2, 2, PixelFormat32bppARGB), target(2, 2, PixelFormat32bppARGB);
    keyed.SetPixel(0, 0, Color(0x20405060));
    keyed.SetPixel(0, 1, Color(0x40506070));
    keyed.SetPixel(1, 0, Color(0x60708090));
    keyed.SetPixel(1, 1, Color(0xFFFFFFFF));
    Graphics(&target).DrawImage(&keyed, Rect(0, 0, 2, 2), 0, 0, 2, 2, UnitPixel, &key);
    ExpectPixels(target, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0xFFFFFFFF}});

    // The bitmap kind falls back to the default kind until anything is set for it; then the default no
    // longer applies. No-op turns the kind's adjustments off; a clone keeps every setting.
    ImageAttributes kinds;
    ASSERT_EQ(Ok, kinds.SetColorMatrix(&doubleRed));
    ASSERT_EQ(Ok, kinds.SetThreshold(0.5f, ColorAdjustTypeBrush));
    EXPECT_EQ(0xFF80CCEEu, Drawn(0xFF40CCEE, kinds));
    ASSERT_EQ(Ok, kinds.SetGamma(1.0f, ColorAdjustTypeBitmap));
    EXPECT_EQ(0xFF40CCEEu, Drawn(0xFF40CCEE, kinds));
    ASSERT_EQ(Ok, kinds.Reset(ColorAdjustTypeBitmap));
    std::unique_ptr<ImageAttributes> clone(kinds.Clone());
    ASSERT_TRUE(clone);
    ASSERT_EQ(Ok, kinds.SetNoOp());
    EXPECT_EQ(0xFF40CCEEu, Drawn(0xFF40CCEE, kinds));
    EXPECT_EQ(0xFF80CCEEu, Drawn(0xFF40CCEE, *clone));
}

// Past the picture's edges the wrap mode repeats it, mirrors it, or gives the clamp colour.
TEST(ImageAttributes, WrapModeFillsPastTheEdges)
{
    Bitmap halves(10, 10, PixelFormat32bppARGB);
    PaintRedAndBlueHalves(halves);
    ImageAttributes flipped, clamped;
    ASSERT_EQ(Ok, flipped.SetWrapMode(WrapModeTileFlipX));
    ASSERT_EQ(Ok, clamped.SetWrapMode(WrapModeClamp, Color(255, 0, 255, 0)));
    Bitmap target(30, 10, PixelFormat32bppARGB);
    Graphics g(&target);
    ASSERT_EQ(Ok, g.DrawImage(&halves, Rect(0, 0, 30, 10), 0, 0, 30, 10, UnitPixel, &flipped));
    ExpectPixels(target, {{2, 5, 0xFFFF0000},
                          {7, 5, 0xFF0000FF},
                          {12, 5, 0xFF0000FF},
                          {17, 5, 0xFFFF0000},
                          {22, 5, 0xFFFF0000},
                          {27, 5, 0xFF0000FF}});
    ASSERT_EQ(Ok, g.DrawImage(&halves, Rect(0, 0, 30, 10), -10, 0, 30, 10, UnitPixel, &clamped));
    ExpectPixels(target, {{5, 5, 0xFF00FF00}, {12, 5, 0xFFFF0000}, {25, 5, 0xFF00FF00}});
}

// A picture drawn with attributes that change nothing, or through the adjusting stage with a key that
// matches no pixel, lands on exactly the pixels the plain draw gives: shrunk, turned, and from a small
// part of a large picture. A canvas copied with an opacity of 1 equals the plain copy, and 0.5 halves alpha.
TEST(ImageAttributes, AdjustedPicturesTakeThePlainRoutes)
{
    ImageAttributes identity, unmatchedKey;
    ASSERT_EQ(Ok, identity.SetToIdentity());
    ASSERT_EQ(Ok, unmatchedKey.SetColorKey(Color(0xFF010203), Color(0xFF010203)));
    // Premultiplied, as canvases are: libgdiplus's straight bitmaps come back a little changed from every
    // read, so that even two plain draws of one differ.
    const auto small = Pattern(64, 48, PixelFormat32bppPARGB), large = Pattern(800, 600, PixelFormat32bppPARGB);
    const auto none = [](Graphics&) {};
    const auto turned = [](Graphics& g) { g.RotateTransform(30); };
    struct Draw {
        Bitmap* picture;
        std::function<void(Graphics&)> place;
        RectF dest, source;
    } draws[] = {{small.get(), none, RectF(3, 4, 40, 30), RectF(0, 0, 64, 48)},
                 {small.get(), turned, RectF(20, 5, 50, 40), RectF(0, 0, 64, 48)},
                 {large.get(), none, RectF(5, 5, 25, 20), RectF(300, 200, 50, 40)}};
    for (const Draw& draw : draws) {
        const auto plain = DrawnPixels(draw.place, [&](Graphics& g) {
            return g.DrawImage(draw.picture, draw.dest, draw.source.X, draw.source.Y, draw.source.Width,
                               draw.source.Height, UnitPixel);
        });
        for (const ImageAttributes* attributes : {&identity, &unmatchedKey}) {
            const auto adjusted = DrawnPixels(draw.place, [&](Graphics& g) {
                return g.DrawImage(draw.picture, draw.dest, draw.source.X, draw.source.Y, draw.source.Width,
                                   draw.source.Height, UnitPixel, attributes);
            });
            EXPECT_EQ(plain, adjusted) << "drawn into " << draw.dest.X << ", " << draw.dest.Y;
        }
    }

    CFxPictor source(nullptr, 64, 48), copied(nullptr, 40, 30), opaque(nullptr, 40, 30), half(nullptr, 40, 30);
    std::vector<BYTE> bits(64 * 48 * 4);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = BYTE(i * 7 % 251);
    source.SetBits(bits.data(), 0, 0);
    for (CFxPictor* dest : {&copied, &opaque, &half}) dest->Clear(0, 0, 0, 0);
    source.CopyToThis(&copied, 0, 0, 40, 30);
    source.CopyToThisAlpha(&opaque, 0, 0, 40, 30, 1.0f);
    source.CopyToThisAlpha(&half, 0, 0, 40, 30, 0.5f);
    EXPECT_EQ(0, pictor_test::DifferingPixels(copied, opaque));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_LE(std::abs(int(PixelOf(half, x, y) >> 24) - int(PixelOf(copied, x, y) >> 24) / 2), 1)
                << x << ", " << y;
}

// A source in inches, points, millimetres or document units is the picture's pixels by its resolution; a
// display unit is a pixel; world units are refused.
TEST(ImageAttributes, SourceUnitsAreThePicturesResolution)
{
    const auto picture = Pattern(64, 48);
    picture->SetResolution(192, 192);
    const auto none = [](Graphics&) {};
    const auto inPixels = DrawnPixels(
        none, [&](Graphics& g) { return g.DrawImage(picture.get(), RectF(2, 3, 50, 40), 0, 0, 48, 24, UnitPixel); });
    const struct {
        Unit unit;
        REAL perInch;
    } units[] = {{UnitInch, 1}, {UnitPoint, 72}, {UnitMillimeter, 25.4f}, {UnitDocument, 300}, {UnitDisplay, 192}};
    for (const auto& unit : units) {
        const REAL scale = unit.perInch / 192;
        const auto drawn = DrawnPixels(none, [&](Graphics& g) {
            return g.DrawImage(picture.get(), RectF(2, 3, 50, 40), 0, 0, 48 * scale, 24 * scale, unit.unit);
        });
        EXPECT_EQ(inPixels, drawn) << "unit " << unit.unit;
    }
    // At a point, the part is drawn at its physical size: 48 x 24 pixels at 192 dpi on a 96-dpi bitmap.
    const auto atPoint = DrawnPixels(
        none, [&](Graphics& g) { return g.DrawImage(picture.get(), 2.0f, 3.0f, 0.0f, 0.0f, 0.25f, 0.125f, UnitInch); });
    const auto pointInPixels = DrawnPixels(
        none, [&](Graphics& g) { return g.DrawImage(picture.get(), RectF(2, 3, 24, 12), 0, 0, 48, 24, UnitPixel); });
    EXPECT_EQ(pointInPixels, atPoint);
    Bitmap target(10, 10, PixelFormat32bppARGB);
    EXPECT_EQ(InvalidParameter, Graphics(&target).DrawImage(picture.get(), RectF(0, 0, 5, 5), 0, 0, 5, 5, UnitWorld));
}

// Hostile settings: refused with GDI+'s statuses, or drawn without harm and in bounded time.
TEST(ImageAttributes, HostileSettingsAreRefusedOrDrawnSafely)
{
    const REAL nan = std::numeric_limits<REAL>::quiet_NaN();
    ImageAttributes attributes;
    ColorMatrix matrix = kIdentity;
    EXPECT_EQ(InvalidParameter, attributes.SetColorMatrix(nullptr));
    EXPECT_EQ(InvalidParameter, attributes.SetColorMatrix(&matrix, ColorMatrixFlagsAltGray));
    EXPECT_EQ(InvalidParameter, attributes.SetColorMatrix(&matrix, ColorMatrixFlags(3)));
    EXPECT_EQ(InvalidParameter, attributes.SetColorMatrix(&matrix, ColorMatrixFlagsDefault, ColorAdjustTypeAny));
    EXPECT_EQ(InvalidParameter, attributes.SetGamma(0.0f));
    EXPECT_EQ(InvalidParameter, attributes.SetGamma(-1.0f));
    EXPECT_EQ(InvalidParameter, attributes.SetGamma(nan));
    EXPECT_EQ(InvalidParameter, attributes.SetThreshold(nan));
    EXPECT_EQ(InvalidParameter, attributes.SetRemapTable(0, nullptr));
    EXPECT_EQ(InvalidParameter, attributes.SetColorKey(Color(), Color(), ColorAdjustTypeCount));
    EXPECT_EQ(Ok, attributes.SetThreshold(2.0f));  // above every channel: all go to none
    EXPECT_EQ(0xFF000000u, Drawn(0xFFFFFFFF, attributes));

    // Matrices of values that are not numbers, or huge, give channels of none or full.
    for (auto& row : matrix.m)
        for (auto& value : row) value = nan;
    ImageAttributes nans, huge;
    ASSERT_EQ(Ok, nans.SetColorMatrix(&matrix));
    EXPECT_EQ(0u, Drawn(0xFF40CCEE, nans));
    for (auto& row : matrix.m)
        for (auto& value : row) value = 1e30f;
    ASSERT_EQ(Ok, huge.SetColorMatrix(&matrix));
    EXPECT_EQ(0xFFFFFFFFu, Drawn(0xFF40CCEE, huge));

    // A remap table of a million entries draws in bounded time; past 2^20 entries it is refused.
    std::vector<ColorMap> maps(1000000);
    for (size_t i = 0; i < maps.size(); ++i) maps[i] = {Color(ARGB(0xFF000000u | i)), Color(0xFF00FF00)};
    ImageAttributes remap;
    ASSERT_EQ(Ok, remap.SetRemapTable(UINT(maps.size()), maps.data()));
    const auto picture = Pattern(400, 300);
    Bitmap target(400, 300, PixelFormat32bppARGB);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ok, Graphics(&target).DrawImage(picture.get(), Rect(0, 0, 400, 300), 0, 0, 400, 300, UnitPixel, &remap));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(0xFF00FF00u, Drawn(0xFF000010, remap));
    maps.resize((1u << 20) + 1);
    EXPECT_EQ(OutOfMemory, remap.SetRemapTable(UINT(maps.size()), maps.data()));
}
