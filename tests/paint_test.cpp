// Paints in the layer's own anti-aliased fills: hatch, linear gradient and texture brushes give the pixels
// of their definitions, and a brush of one colour fills exactly as the solid brush of that colour.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Channel;
using pictor_test::ChannelGap;

namespace {

const int kSide = 120;
const ARGB kBackground = 0xFFFFFFFF;

// Draws on a white premultiplied canvas and reads back its straight pixels.
std::vector<ARGB> Drawn(const std::function<void(Graphics&)>& draw, SmoothingMode mode = SmoothingModeAntiAlias)
{
    Bitmap bitmap(kSide, kSide, PixelFormat32bppPARGB);
    {
        Graphics graphics(&bitmap);
        graphics.Clear(Color(kBackground));
        graphics.SetSmoothingMode(mode);
        draw(graphics);
    }
    return pictor_test::AllPixels(bitmap);
}

// A filled polygon over the rectangle, so that the fill takes the general route (not the axis-gradient one).
void FillBox(Graphics& graphics, const Brush& brush, REAL x, REAL y, REAL width, REAL height)
{
    const PointF corners[] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    ASSERT_EQ(graphics.FillPolygon(&brush, corners, 4), Ok);
}

std::unique_ptr<Bitmap> Picture(std::initializer_list<ARGB> row)
{
    auto picture = std::make_unique<Bitmap>(INT(row.size()), 1, PixelFormat32bppARGB);
    INT x = 0;
    for (ARGB pixel : row) picture->SetPixel(x++, 0, Color(pixel));
    return picture;
}

}  // namespace

TEST(Paint, OneColourBrushesFillAsTheSolidBrush)
{
    for (ARGB colour : {ARGB(0xFF3366CC), ARGB(0x80B04020)}) {
        Bitmap cell(8, 8, PixelFormat32bppARGB);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) cell.SetPixel(x, y, Color(colour));
        SolidBrush solid{Color(colour)};
        HatchBrush hatch(HatchStyleDiagonalCross, Color(colour), Color(colour));
        HatchBrush confetti(HatchStyleLargeConfetti, Color(colour), Color(colour));
        LinearGradientBrush line(PointF(3, 5), PointF(70, 31), Color(colour), Color(colour));
        LinearGradientBrush angled(RectF(0, 0, 50, 20), Color(colour), Color(colour), 30.0f, TRUE);
        TextureBrush texture(&cell, WrapModeTileFlipXY);
        const Brush* brushes[] = {&hatch, &confetti, &line, &angled, &texture};
        const PointF star[] = {{60, 5}, {75, 110}, {8, 40}, {112, 40}, {45, 110}};
        const std::function<void(Graphics&, const Brush&)> shapes[] = {
            [](Graphics& g, const Brush& b) { g.FillEllipse(&b, 10.3f, 12.7f, 90.0f, 70.0f); },
            [&star](Graphics& g, const Brush& b) { g.FillPolygon(&b, star, 5, FillModeWinding); },
            [](Graphics& g, const Brush& b) { g.FillRectangle(&b, 15.5f, 20.25f, 60.5f, 50.0f); },
            [](Graphics& g, const Brush& b) {
                g.RotateTransform(30);
                g.FillEllipse(&b, 40.0f, -20.0f, 60.0f, 40.0f);
            },
        };
        for (size_t s = 0; s < std::size(shapes); ++s) {
            const auto expected = Drawn([&](Graphics& g) { shapes[s](g, solid); });
            for (const Brush* const& brush : brushes) {
                const auto painted = Drawn([&](Graphics& g) { shapes[s](g, *brush); });
                size_t apart = 0, first = 0;
                for (size_t i = expected.size(); i-- > 0;)
                    if (ChannelGap(expected[i], painted[i]) > 2) ++apart, first = i;
                EXPECT_EQ(apart, 0u) << "shape " << s << ", brush " << (&brush - &brushes[0]) << std::hex << ", colour "
                                     << colour << ": " << expected[first] << " painted " << painted[first];
            }
        }
    }
}

TEST(Paint, LinearGradientsGiveTheirDefinedColours)
{
    const Color black(0xFF000000), white(0xFFFFFFFF);
    // The red channel at (x, 50) of a band filled with the brush from x = 0 to 120.
    auto redAt = [](const Brush& brush, std::initializer_list<int> xs, REAL worldDx = 0) {
        const auto pixels = Drawn([&](Graphics& g) {
            g.TranslateTransform(worldDx, 0);
            FillBox(g, brush, -worldDx - 1, -1, kSide + 2, kSide + 2);
        });
        std::vector<int> reds;
        for (int x : xs) reds.push_back(Channel(pixels[50 * kSide + x], 16));
        return reds;
    };
    auto expectNear = [](const std::vector<int>& got, std::initializer_list<double> want, const char* what) {
        size_t i = 0;
        for (double value : want) EXPECT_NEAR(got[i++], value, 1.0) << what << " sample " << i - 1;
    };
    LinearGradientBrush plain(PointF(0, 0), PointF(100, 0), black, white);
    expectNear(redAt(plain, {0, 25, 50, 75, 110}), {0, 63.75, 127.5, 191.25, 25.5}, "tiled");
    plain.SetWrapMode(WrapModeTileFlipX);
    expectNear(redAt(plain, {50, 110}), {127.5, 229.5}, "mirrored");
    expectNear(redAt(plain, {70}, 20), {127.5}, "under a world translation");

    LinearGradientBrush moved(PointF(0, 0), PointF(100, 0), black, white);
    moved.TranslateTransform(50, 0);
    expectNear(redAt(moved, {50, 100}), {0, 127.5}, "brush transform");

    LinearGradientBrush triangle(PointF(0, 0), PointF(100, 0), black, white);
    triangle.SetBlendTriangularShape(0.5f);
    expectNear(redAt(triangle, {25, 50, 75}), {127.5, 255, 127.5}, "triangular blend");

    LinearGradientBrush gamma(PointF(0, 0), PointF(100, 0), black, white);
    gamma.SetGammaCorrection(TRUE);
    expectNear(redAt(gamma, {50}), {255 * 0.7297}, "gamma");  // 0.5 ^ (1 / 2.2)

    LinearGradientBrush preset(PointF(0, 0), PointF(100, 0), black, white);
    const Color colours[] = {Color(0xFFFF0000), Color(0xFF000000), Color(0xFFFF0000)};
    const REAL positions[] = {0.0f, 0.5f, 1.0f};
    preset.SetInterpolationColors(colours, positions, 3);
    expectNear(redAt(preset, {0, 25, 50, 75}), {255, 127.5, 0, 127.5}, "interpolation colours");

    // An angle of 90 degrees runs down the rectangle.
    LinearGradientBrush down(RectF(0, 0, 100, 100), black, white, 90.0f);
    const auto pixels = Drawn([&](Graphics& g) { FillBox(g, down, -1, -1, kSide + 2, kSide + 2); });
    EXPECT_NEAR(Channel(pixels[50 * kSide + 10], 16), 127.5, 1.0);
    EXPECT_NEAR(Channel(pixels[25 * kSide + 90], 16), 63.75, 1.0);
}

TEST(Paint, TexturesTileMirrorAndClamp)
{
    const ARGB red = 0xFFFF0000, blue = 0xFF0000FF;
    auto picture = Picture({red, blue});
    auto row = [&](WrapMode wrap, REAL scale) {
        TextureBrush brush(picture.get(), wrap);
        brush.ScaleTransform(scale, scale);
        const auto pixels = Drawn([&](Graphics& g) { FillBox(g, brush, -1, -1, 9, 9); });
        return std::vector<ARGB>(pixels.begin(), pixels.begin() + 6);
    };
    EXPECT_EQ(row(WrapModeTile, 1), (std::vector<ARGB>{red, blue, red, blue, red, blue}));
    EXPECT_EQ(row(WrapModeTileFlipX, 1), (std::vector<ARGB>{red, blue, blue, red, red, blue}));
    EXPECT_EQ(row(WrapModeClamp, 1),
              (std::vector<ARGB>{red, blue, kBackground, kBackground, kBackground, kBackground}));
    EXPECT_EQ(row(WrapModeTile, 2), (std::vector<ARGB>{red, red, blue, blue, red, red}));

    // Half-transparent pixels fill as a solid brush of their colour, whether the tile is premultiplied or
    // straight, has a context on it or not, and is small (copied once) or large (read where it lies).
    const ARGB faint = 0x80FF0000, fainter = 0x400000FF;
    std::vector<ARGB> expected;
    for (ARGB colour : {faint, fainter}) {
        SolidBrush solid{Color(colour)};
        expected.push_back(Drawn([&](Graphics& g) { FillBox(g, solid, -1, -1, 9, 9); })[0]);
    }
    for (PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppPARGB})
        for (bool context : {false, true})
            for (INT side : {2, 300}) {
                Bitmap tile(side, side, format);
                tile.SetPixel(0, 0, Color(faint));
                tile.SetPixel(1, 0, Color(fainter));
                std::unique_ptr<Graphics> onTile(context ? new Graphics(&tile) : nullptr);
                TextureBrush brush(&tile);
                const auto pixels = Drawn([&](Graphics& g) { FillBox(g, brush, -1, -1, 9, 9); });
                for (int x = 0; x < 2; ++x)
                    EXPECT_LE(ChannelGap(pixels[x], expected[x]), 1)
                        << format << ", context " << context << ", side " << side << ", x " << x;
            }
}

TEST(Paint, HatchesKeepToTheDeviceOriginAndTheRenderingOrigin)
{
    const ARGB ink = 0xFF000000;
    // Windows' cells of three styles: whether device pixel (x, y) takes the fore colour.
    const std::pair<HatchStyle, std::function<bool(int, int)>> cells[] = {
        {HatchStyleHorizontal, [](int, int y) { return y % 8 == 4; }},
        {HatchStyleVertical, [](int x, int) { return x % 8 == 4; }},
        {HatchStyleForwardDiagonal, [](int x, int y) { return x % 8 == y % 8; }},
    };
    for (const auto& [style, inked] : cells) {
        HatchBrush hatch(style, Color(ink), Color(kBackground));
        const auto pixels = Drawn([&](Graphics& g) { FillBox(g, hatch, -1, -1, kSide + 2, kSide + 2); });
        int wrong = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) wrong += (pixels[y * kSide + x] == ink) != inked(x, y);
        EXPECT_EQ(wrong, 0) << "style " << style;
    }
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        HatchBrush hatch(static_cast<HatchStyle>(style), Color(ink), Color(kBackground));
        const auto plain = Drawn([&](Graphics& g) { FillBox(g, hatch, -1, -1, kSide + 2, kSide + 2); });
        // Moved by the world transform, the pattern keeps to the device; moved by the rendering origin, it follows.
        const auto moved = Drawn([&](Graphics& g) {
            g.TranslateTransform(3, 5);
            FillBox(g, hatch, -4, -6, kSide + 2, kSide + 2);
        });
        const auto shifted = Drawn([&](Graphics& g) {
            g.SetRenderingOrigin(2, 1);
            FillBox(g, hatch, -1, -1, kSide + 2, kSide + 2);
        });
        int movedDiffer = 0, shiftedDiffer = 0;
        for (int y = 1; y < kSide; ++y)
            for (int x = 2; x < kSide; ++x) {
                movedDiffer += moved[y * kSide + x] != plain[y * kSide + x];
                shiftedDiffer += shifted[y * kSide + x] != plain[(y - 1) * kSide + x - 2];
            }
        EXPECT_EQ(movedDiffer, 0) << "style " << style;
        EXPECT_EQ(shiftedDiffer, 0) << "style " << style;
    }
}

// A path gradient: the centre colour at its centre point, the surround colours along the outline (mixed
// between neighbouring points), the mix in between in the share of the distance to the outline, nothing
// outside the outline; under a world translation the gradient moves with the figure.
TEST(Paint, PathGradientsMixFromTheCentreToTheOutline)
{
    const PointF triangle[] = {{10, 10}, {110, 10}, {60, 110}};
    auto gradient = [&] {
        auto brush = std::make_unique<PathGradientBrush>(triangle, 3);
        brush->SetCenterColor(Color(255, 255, 255, 255));
        brush->SetCenterPoint(PointF(60, 40));
        Color surround[] = {Color(255, 255, 0, 0), Color(255, 0, 255, 0), Color(255, 0, 0, 0)};
        INT count = 3;
        EXPECT_EQ(brush->SetSurroundColors(surround, &count), Ok);
        return brush;
    };
    auto brush = gradient();
    const std::vector<ARGB> plain = Drawn([&](Graphics& g) { g.FillRectangle(brush.get(), 0, 0, kSide, kSide); });
    auto at = [&](int x, int y) { return plain[y * kSide + x]; };
    EXPECT_LE(ChannelGap(at(60, 40), 0xFFFFFFFF), 1);
    // Halfway from the centre to the top edge's middle, where red and green meet half and half.
    EXPECT_LE(ChannelGap(at(60, 25), 0xFFBFBF80), 2);
    // 64 of the 70 pixels from the centre to the bottom corner (black), and outside the outline nothing.
    EXPECT_LE(ChannelGap(at(60, 104), 0xFF161616), 2);
    EXPECT_EQ(at(5, 60), kBackground);
    EXPECT_EQ(at(100, 80), kBackground);

    const std::vector<ARGB> moved = Drawn([&](Graphics& g) {
        g.TranslateTransform(8, 4);
        g.FillRectangle(brush.get(), -8, -4, kSide, kSide);
    });
    int differing = 0;
    for (int y = 0; y + 4 < kSide; ++y)
        for (int x = 0; x + 8 < kSide; ++x)
            differing += ChannelGap(plain[y * kSide + x], moved[(y + 4) * kSide + x + 8]) > 2;
    EXPECT_EQ(differing, 0);
}

namespace {

// A circle of radius 50 about (60, 60): white at the centre, black on the outline.
std::unique_ptr<PathGradientBrush> CircleGradient()
{
    GraphicsPath circle;
    circle.AddEllipse(10, 10, 100, 100);
    auto brush = std::make_unique<PathGradientBrush>(&circle);
    brush->SetCenterPoint(PointF(60, 60));
    brush->SetCenterColor(Color(255, 255, 255, 255));
    Color black(255, 0, 0, 0);
    INT one = 1;
    brush->SetSurroundColors(&black, &one);
    return brush;
}

// The pixels `distance` right of the circle's centre, filled with the brush.
std::function<ARGB(int)> AlongRadius(const Brush& brush)
{
    auto pixels =
        std::make_shared<std::vector<ARGB>>(Drawn([&](Graphics& g) { g.FillRectangle(&brush, 0, 0, kSide, kSide); }));
    return [pixels](int distance) { return (*pixels)[60 * kSide + 60 + distance]; };
}

}  // namespace

// Along the centre-to-outline line (place 0 on the outline, 1 at the centre): blend factors give the centre
// colour's share, interpolation colours the colour itself, gamma correction mixes in linear light, and
// focus scales fill the scaled outline with the centre colour and run the blend between it and the outline.
TEST(Paint, PathGradientBlendsPresetsGammaAndFocus)
{
    auto triangular = CircleGradient();
    ASSERT_EQ(triangular->SetBlendTriangularShape(0.5f, 1.0f), Ok);
    const auto peaked = AlongRadius(*triangular);
    EXPECT_LE(ChannelGap(peaked(0), 0xFF000000), 3);
    EXPECT_LE(ChannelGap(peaked(13), 0xFF808080), 4);
    EXPECT_LE(ChannelGap(peaked(25), 0xFFFFFFFF), 3);
    EXPECT_LE(ChannelGap(peaked(37), 0xFF858585), 4);

    auto preset = CircleGradient();
    const Color colours[] = {Color(255, 255, 0, 0), Color(255, 0, 255, 0), Color(255, 0, 0, 255)};
    const REAL positions[] = {0.0f, 0.5f, 1.0f};
    ASSERT_EQ(preset->SetInterpolationColors(colours, positions, 3), Ok);
    ASSERT_EQ(preset->TranslateTransform(0, 0), Ok);
    const auto presets = AlongRadius(*preset);
    EXPECT_LE(ChannelGap(presets(0), 0xFF0000FF), 3);
    EXPECT_LE(ChannelGap(presets(25), 0xFF00FF00), 3);
    EXPECT_LE(ChannelGap(presets(45), 0xFFCC3300), 4);
    EXPECT_LE(ChannelGap(presets(-38), 0xFF867900), 5);
    ASSERT_EQ(preset->SetGammaCorrection(TRUE), Ok);
    // Halfway from red to green in linear light: each channel 255 x 0.5^(1 / 2.2).
    EXPECT_LE(ChannelGap(AlongRadius(*preset)(38), 0xFFBCB800), 5);

    auto focused = CircleGradient();
    ASSERT_EQ(focused->SetFocusScales(0.5f, 0.5f), Ok);
    const auto flat = AlongRadius(*focused);
    for (int distance : {0, 10, -20, 24}) EXPECT_EQ(flat(distance), 0xFFFFFFFF) << distance;
    EXPECT_LE(ChannelGap(flat(37), 0xFF858585), 4);
    EXPECT_LE(ChannelGap(flat(49), 0xFF000000), 12);
}

// Tiled, the gradient repeats over the plane in tiles the size of its outline's bounds, each painted inside
// the outline only; the flips mirror every other tile.
TEST(Paint, PathGradientTilesRepeatAndMirror)
{
    const PointF triangle[] = {{0, 0}, {40, 0}, {10, 40}};
    auto drawn = [&](WrapMode wrap) {
        PathGradientBrush brush(triangle, 3, wrap);
        brush.SetCenterColor(Color(255, 255, 255, 255));
        Color surround[] = {Color(255, 255, 0, 0), Color(255, 0, 0, 255), Color(255, 0, 128, 0)};
        INT count = 3;
        EXPECT_EQ(brush.SetSurroundColors(surround, &count), Ok);
        return Drawn([&](Graphics& g) { g.FillRectangle(&brush, 0, 0, kSide, kSide); });
    };
    const std::vector<ARGB> tiled = drawn(WrapModeTile), flipped = drawn(WrapModeTileFlipXY),
                            clamped = drawn(WrapModeClamp);
    auto at = [](const std::vector<ARGB>& p, int x, int y) { return p[y * kSide + x]; };
    int repeatsDiffer = 0, mirrorsDiffer = 0, clampedOutside = 0;
    for (int y = 1; y < 40; ++y)
        for (int x = 1; x < 40; ++x) {
            repeatsDiffer += at(tiled, x + 40, y) != at(tiled, x, y) || at(tiled, x, y + 40) != at(tiled, x, y);
            mirrorsDiffer +=
                at(flipped, 40 + x, y) != at(flipped, 40 - x, y) || at(flipped, x, 40 + y) != at(flipped, x, 40 - y);
            clampedOutside += at(clamped, x + 40, y) != kBackground;
        }
    EXPECT_EQ(repeatsDiffer, 0);
    EXPECT_EQ(mirrorsDiffer, 0);
    EXPECT_EQ(clampedOutside, 0);
    EXPECT_EQ(at(tiled, 15, 10), at(clamped, 15, 10));
    EXPECT_NE(at(tiled, 55, 10), kBackground);
    // Outside the triangle within a tile nothing is painted; the mirrored tile's triangle leans the other way.
    EXPECT_EQ(at(tiled, 75, 35), kBackground);
    EXPECT_NE(at(flipped, 70, 35), kBackground);
    EXPECT_EQ(at(flipped, 52, 35), kBackground);
}

// Outlines of many points are painted by the layer as a short one is: a circle of 10000 or 200000 points
// matches one of 1000 (focus scales included, which seek the outline twice a pixel).
TEST(Paint, PathGradientsOfLongOutlines)
{
    auto circle = [](int points) {
        std::vector<PointF> outline;
        for (int k = 0; k < points; ++k) {
            const double angle = 2 * M_PI * k / points;
            outline.emplace_back(REAL(60 + 50 * std::cos(angle)), REAL(60 + 50 * std::sin(angle)));
        }
        PathGradientBrush brush(outline.data(), points);
        brush.SetCenterColor(Color(255, 255, 255, 255));
        Color surround[] = {Color(255, 0, 0, 160), Color(255, 200, 0, 0)};
        INT count = 2;
        EXPECT_EQ(brush.SetSurroundColors(surround, &count), Ok);
        brush.SetFocusScales(0.3f, 0.2f);
        brush.SetCenterPoint(PointF(60, 60));
        return Drawn([&](Graphics& g) { g.FillRectangle(&brush, 0, 0, kSide, kSide); });
    };
    const std::vector<ARGB> few = circle(1000);
    EXPECT_LE(ChannelGap(few[105 * kSide + 60], 0xFFCF2020), 4);  // an eighth of the way to the centre colour
    for (int points : {10000, 200000}) {
        const std::vector<ARGB> many = circle(points);
        int farthest = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                // A pixel centre on the outline is inside one polygon and outside the other as they round.
                if (std::fabs(std::hypot(x - 60, y - 60) - 50) < 1) continue;
                farthest = std::max(farthest, ChannelGap(few[y * kSide + x], many[y * kSide + x]));
            }
        EXPECT_LE(farthest, 3) << points;
    }
}

// A pen paints its stroke with its brush placed as for a fill: a hatch from the device origin, a gradient in
// world space under the world transform; inside a wide stroke the pixels are the fill's. The pen keeps its
// own copy of the brush, so the caller's brush may go once the pen is made.
TEST(Paint, PensOfBrushesPaintAsTheirFills)
{
    const auto turned = [](Graphics& g) {
        g.TranslateTransform(60, 10);
        g.RotateTransform(30);
    };
    auto hatch =
        std::make_unique<HatchBrush>(HatchStyleDiagonalCross, Color(255, 20, 40, 160), Color(255, 250, 230, 20));
    LinearGradientBrush gradient(PointF(0, 0), PointF(25, 10), Color(255, 255, 0, 0), Color(255, 0, 0, 255));
    const Brush* brushes[] = {hatch.get(), &gradient};
    for (const Brush* brush : brushes) {
        Pen pen(brush, 24);
        const std::vector<ARGB> filled = Drawn([&](Graphics& g) {
            turned(g);
            g.FillRectangle(brush, -200, -200, 400, 400);
        });
        if (brush == hatch.get()) hatch.reset();
        const std::vector<ARGB> stroked = Drawn([&](Graphics& g) {
            turned(g);
            g.DrawLine(&pen, 0, 20, 90, 20);
        });
        int differing = 0;
        std::set<ARGB> seen;
        // Along the line's axis, where the stroke covers whole pixels.
        for (int step = 10; step <= 80; ++step) {
            const double x = 60 + step * std::cos(M_PI / 6) - 20 * std::sin(M_PI / 6);
            const double y = 10 + step * std::sin(M_PI / 6) + 20 * std::cos(M_PI / 6);
            const int at = int(std::lround(y)) * kSide + int(std::lround(x));
            differing += ChannelGap(stroked[at], filled[at]) > 1;
            seen.insert(stroked[at]);
        }
        EXPECT_EQ(differing, 0);
        // The pattern shows along the stroke: more than one colour, none of them the background.
        EXPECT_GE(seen.size(), 2u);
        EXPECT_EQ(seen.count(kBackground), 0u);
    }
}

// Copying compositing (SourceCopy): covered pixels take the paint's colour, its alpha scaled by the coverage,
// in place of what they held; uncovered pixels keep theirs. Fills of any brush and strokes alike, aliased
// and anti-aliased.
TEST(Paint, CopyingCompositingReplacesCoveredPixels)
{
    const ARGB kBlue = 0xFF2040C0, kHalfRed = 0x80FF0000;
    const auto copied = [&](SmoothingMode mode, const std::function<void(Graphics&)>& draw) {
        return Drawn(
            [&](Graphics& g) {
                g.Clear(Color(kBlue));
                g.SetCompositingMode(CompositingModeSourceCopy);
                draw(g);
            },
            mode);
    };
    auto at = [](const std::vector<ARGB>& p, int x, int y) { return p[y * kSide + x]; };
    SolidBrush halfRed{Color(kHalfRed)};
    for (SmoothingMode mode : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        const std::vector<ARGB> ellipse = copied(mode, [&](Graphics& g) { g.FillEllipse(&halfRed, 20, 20, 80, 80); });
        EXPECT_LE(ChannelGap(at(ellipse, 60, 60), kHalfRed), 1);
        EXPECT_EQ(at(ellipse, 5, 5), kBlue);
        int blended = 0;
        for (ARGB pixel : ellipse) blended += pixel != kBlue && (Channel(pixel, 0) > 2 || Channel(pixel, 24) > 0x81);
        EXPECT_EQ(blended, 0) << "mode " << mode;
    }
    // The left edge of the ellipse halves its pixel: half the alpha, still red, none of the blue.
    const std::vector<ARGB> smooth =
        copied(SmoothingModeAntiAlias, [&](Graphics& g) { g.FillEllipse(&halfRed, 20, 20, 80, 80); });
    EXPECT_NEAR(Channel(at(smooth, 20, 60), 24), 0x40, 4);
    EXPECT_GE(Channel(at(smooth, 20, 60), 16), 250);

    LinearGradientBrush gradient(PointF(0, 0), PointF(kSide, 0), Color(0x80FF0000), Color(0x8000FF00));
    Pen pen(Color(kHalfRed), 8);
    const std::vector<ARGB> shaded = copied(SmoothingModeAntiAlias, [&](Graphics& g) {
        g.FillRectangle(&gradient, 10.5f, 10.5f, 100.0f, 40.0f);
        g.DrawLine(&pen, 10, 90, 110, 90);
    });
    EXPECT_EQ(Channel(at(shaded, 60, 30), 24), 0x80);
    EXPECT_EQ(Channel(at(shaded, 60, 30), 0), 0);
    EXPECT_LE(ChannelGap(at(shaded, 60, 90), kHalfRed), 1);
    EXPECT_EQ(at(shaded, 60, 70), kBlue);
}
