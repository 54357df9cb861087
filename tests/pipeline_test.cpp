// The layer's pipeline end to end: fills and pens through the page (units and scale), pens growing with the
// transform, figures reaching far off the canvas, pictures drawn turned, and canvases cleared to transparency.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

const int kSide = 120;

using Canvas = pictor_test::CoverageCanvas<kSide>;

using Shape = std::function<Status(Graphics&, const Brush&)>;
using pictor_test::ChannelGap;
using pictor_test::kSamePlace;
using pictor_test::PixelMap;

std::vector<PointF> Star(float cx, float cy, float outer)
{
    std::vector<PointF> points;
    for (int k = 0; k < 5; ++k) {
        const double angle = -M_PI / 2 + k * 4 * M_PI / 5;  // every second point of five: a self-crossing star
        points.emplace_back(float(cx + outer * std::cos(angle)), float(cy + outer * std::sin(angle)));
    }
    return points;
}

Status FillStar(Graphics& g, const Brush& ink, FillMode mode)
{
    GraphicsPath path(mode);
    const std::vector<PointF> star = Star(50.3f, 47.6f, 33.7f);
    path.AddPolygon(star.data(), INT(star.size()));
    return g.FillPath(&ink, &path);
}

}  // namespace

TEST(Pipeline, FillsLandOnTheSamePixelsThroughThePage)
{
    const std::vector<std::pair<const char*, Shape>> shapes = {
        {"ellipse", [](Graphics& g, const Brush& b) { return g.FillEllipse(&b, 10.3f, 12.0f, 61.5f, 37.25f); }},
        {"circle", [](Graphics& g, const Brush& b) { return g.FillEllipse(&b, 20, 30, 60, 60); }},
        {"star, winding", [](Graphics& g, const Brush& b) { return FillStar(g, b, FillModeWinding); }},
        {"star, alternate", [](Graphics& g, const Brush& b) { return FillStar(g, b, FillModeAlternate); }},
        {"rectangle", [](Graphics& g, const Brush& b) { return g.FillRectangle(&b, 12.25f, 20.5f, 60.5f, 33.75f); }},
        {"whole rectangle", [](Graphics& g, const Brush& b) { return g.FillRectangle(&b, 10, 20, 70, 40); }},
        {"polygon",
         [](Graphics& g, const Brush& b) {
             const PointF points[] = {{14.2f, 9.5f}, {88.0f, 30.3f}, {60.6f, 81.1f}, {25.5f, 60.0f}};
             return g.FillPolygon(&b, points, 4);
         }},
        {"pie", [](Graphics& g, const Brush& b) { return g.FillPie(&b, 15.5f, 10.0f, 70.0f, 66.0f, 20.0f, 250.0f); }},
        {"ellipse outline",
         [](Graphics& g, const Brush&) {
             Pen pen(Color(Color::Black), 3.5f);
             return g.DrawEllipse(&pen, 12.5f, 15.0f, 63.0f, 44.0f);
         }},
        {"pentagon outline",
         [](Graphics& g, const Brush&) {
             Pen pen(Color(Color::Black), 2.0f);
             GraphicsPath path;
             const std::vector<PointF> star = Star(50.3f, 47.6f, 33.7f);
             std::vector<PointF> pentagon;  // the star's points in turn round the centre
             for (int k = 0, i = 0; k < 5; ++k, i = (i + 3) % 5) pentagon.push_back(star[i]);
             path.AddPolygon(pentagon.data(), 5);
             return g.DrawPath(&pen, &path);
         }},
    };
    // Translations and quarter turns are route_test's; here the page, applied after the world's.
    struct Route {
        const char* name;
        std::function<void(Graphics&)> set;
        PixelMap map;
    };
    const std::vector<Route> routes = {
        // Page scale 2 after the world's half scale and move by (8, 4): a move by (16, 8) in all.
        {"page scale over world scale",
         [](Graphics& g) {
             g.SetPageUnit(UnitPixel);
             g.SetPageScale(2);
             g.ScaleTransform(0.5f, 0.5f);
             g.TranslateTransform(8, 4, MatrixOrderAppend);
         },
         [](int x, int y, int* tx, int* ty) { *tx = x + 16, *ty = y + 8; }},
        // Millimetres at 96 dpi under a world scale that makes a unit a pixel, moved by (16, 8) pixels.
        {"millimetre page under a world scale",
         [](Graphics& g) {
             const REAL perPixel = 25.4f / 96;
             g.SetPageUnit(UnitMillimeter);
             g.ScaleTransform(perPixel, perPixel);
             g.TranslateTransform(16 * perPixel, 8 * perPixel, MatrixOrderAppend);
         },
         [](int x, int y, int* tx, int* ty) { *tx = x + 16, *ty = y + 8; }},
        // Half an inch a unit, world coordinates scaled to a 48th: a pixel a unit again.
        {"inch page at scale one half",
         [](Graphics& g) {
             g.SetPageUnit(UnitInch);
             g.SetPageScale(0.5f);
             g.ScaleTransform(1.0f / 48, 1.0f / 48);
         },
         kSamePlace},
    };
    SolidBrush ink(Color(Color::Black));
    for (const auto& [shapeName, shape] : shapes) {
        Canvas plain;
        ASSERT_EQ(shape(plain.graphics, ink), Ok) << shapeName;
        plain.Read();
        for (const Route& route : routes) {
            Canvas moved;
            route.set(moved.graphics);
            ASSERT_EQ(shape(moved.graphics, ink), Ok) << shapeName;
            moved.Read();
            EXPECT_LE(plain.LargestDifference(moved, route.map), 2) << shapeName << ", " << route.name;
            // A shape drawn nowhere cannot pass.
            EXPECT_GT(plain.Ink(), 255 * 200) << shapeName;
        }
    }

    // A pen's width grows with the transform, and is never less than a device pixel.
    for (const REAL width : {4.0f, 0.25f}) {
        Canvas plain, scaled;
        Pen wide(Color(Color::Black), std::max(2 * width, 1.0f)), narrow(Color(Color::Black), width);
        plain.graphics.DrawEllipse(&wide, 20.5f, 30.0f, 70.0f, 50.0f);
        scaled.graphics.ScaleTransform(2, 2);
        scaled.graphics.DrawEllipse(&narrow, 10.25f, 15.0f, 35.0f, 25.0f);
        plain.Read();
        scaled.Read();
        EXPECT_LE(plain.LargestDifference(scaled, kSamePlace), 2) << width;
        EXPECT_GT(plain.Ink(), 255L * 150) << width;
    }

    // Pens of world units grow with the page as with the world transform, as Windows draws them on a 10 dpi
    // bitmap (the widths Wine's tests record): 1 at scale 1 (0 too), 6 for 2 at page scale 3, 20 for 1 inch
    // at page scale 2. A line each way through the middle; the width is counted along the top row.
    struct PagedPen {
        Unit unit;
        REAL scale, width;
        int pixels;
    };
    for (const PagedPen& paged : {PagedPen{UnitPixel, 1, 1, 1}, PagedPen{UnitPixel, 1, 0, 1},
                                  PagedPen{UnitPixel, 3, 2, 6}, PagedPen{UnitInch, 2, 1, 20}}) {
        Canvas canvas(SmoothingModeNone);
        canvas.bitmap.SetResolution(10, 10);
        Graphics g(&canvas.bitmap);
        g.SetPageUnit(paged.unit);
        g.SetPageScale(paged.scale);
        PointF corner(kSide, kSide);
        g.TransformPoints(CoordinateSpaceWorld, CoordinateSpaceDevice, &corner, 1);
        Pen pen(Color(Color::Black), paged.width);
        g.DrawLine(&pen, corner.X / 2, 0.0f, corner.X / 2, corner.Y);
        g.DrawLine(&pen, 0.0f, corner.Y / 2, corner.X, corner.Y / 2);
        canvas.Read();
        int inked = 0;
        for (int x = 0; x < kSide; ++x) inked += canvas.At(x, 0) == 255;
        EXPECT_EQ(inked, paged.pixels) << paged.unit << " at " << paged.scale;
    }

    // A rectangle fills as the path of the same rectangle, thin ones and ones off the canvas included; the
    // sides through pixel centres half cover them.
    const RectF boxes[] = {
        {10, 20, 70, 40}, {12.3f, 20.6f, 0.5f, 30}, {5.5f, 7.25f, 50, 0.4f}, {-20.5f, 90.2f, 200, 60}};
    for (const RectF& area : boxes) {
        Canvas rectangle, path;
        rectangle.graphics.FillRectangle(&ink, area);
        GraphicsPath box;
        box.AddRectangle(area);
        path.graphics.FillPath(&ink, &box);
        rectangle.Read();
        path.Read();
        EXPECT_LE(rectangle.LargestDifference(path, kSamePlace), 1) << area.X;
        EXPECT_GT(rectangle.Ink(), 255L * 10) << area.X;
        if (area.X == 10) pictor_test::ExpectPixels(rectangle, {{10, 40, 128}, {11, 40, 255}});
    }
}

TEST(Pipeline, FarPointsFillTheCanvasAsTheFigureClippedNearIt)
{
    // A wedge from (20, 30) and (20, 90) to a point far to the right; by hand it is cut at x = 200.
    SolidBrush ink(Color(Color::Black));
    for (const float far : {1e7f, 1e30f}) {
        const PointF tip(far, 30.0f + 1e-5f * (far - 20.0f));
        const PointF wedge[] = {{20.3f, 30.0f}, tip, {20.3f, 90.0f}};
        auto at200 = [&](const PointF& from) {
            const double t = (200.0 - from.X) / (double(tip.X) - from.X);
            return PointF(200.0f, float(from.Y + t * (double(tip.Y) - from.Y)));
        };
        const PointF cut[] = {wedge[0], at200(wedge[0]), at200(wedge[2]), wedge[2]};
        Canvas farOff, byHand;
        EXPECT_EQ(farOff.graphics.FillPolygon(&ink, wedge, 3), Ok);
        EXPECT_EQ(byHand.graphics.FillPolygon(&ink, cut, 4), Ok);
        farOff.Read();
        byHand.Read();
        EXPECT_LE(byHand.LargestDifference(farOff, kSamePlace), 2) << far;
        EXPECT_GT(byHand.Ink(), 255L * 90 * 55) << far;
    }

    // Not-a-number and infinite points draw nothing, and the context draws on afterwards.
    Canvas broken;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const PointF bad[] = {{20, 30}, {nan, 50}, {20, 90}};
    const PointF endless[] = {{20, 30}, {inf, 50}, {20, 90}};
    broken.graphics.FillPolygon(&ink, bad, 3);
    broken.graphics.FillPolygon(&ink, endless, 3);
    broken.graphics.FillRectangle(&ink, 100, 100, 10, 10);
    broken.Read();
    pictor_test::ExpectPixels(broken, {{50, 60, 0}, {105, 105, 255}});
}

// Fills of every size, cut by the canvas or not, and a turned picture, one after another on one thread
// leave nothing behind for the next fill: a star drawn after them has exactly the pixels of a star drawn
// first on a new thread.
TEST(Pipeline, EachFillStartsFromNothing)
{
    SolidBrush ink(Color(Color::Black));
    Canvas before;
    Bitmap picture(40, 30, PixelFormat32bppARGB);
    Graphics(&picture).Clear(Color(Color::Red));
    for (const float size : {3.7f, 150.0f, 61.2f, 700.0f, 9.9f}) {
        const PointF corners[] = {{-size / 3, 7.3f}, {size, -2.1f}, {size / 2, size * 0.8f}};
        before.graphics.FillPolygon(&ink, corners, 3);
        before.graphics.FillEllipse(&ink, 110.5f, 40.2f, size, size / 2);
        before.graphics.RotateTransform(17.0f);
        before.graphics.DrawImage(&picture, size / 4, size / 5);
        before.graphics.ResetTransform();
    }
    before.graphics.Clear(Color(0));
    EXPECT_EQ(FillStar(before.graphics, ink, FillModeWinding), Ok);
    before.Read();
    Canvas alone;
    std::thread([&] { EXPECT_EQ(FillStar(alone.graphics, ink, FillModeWinding), Ok); }).join();
    alone.Read();
    EXPECT_GT(alone.Ink(), 255L * 1000);
    EXPECT_EQ(alone.LargestDifference(before, kSamePlace), 0);
}

// A picture drawn turned by the layer: the colour under its middle, nothing outside its parallelogram, an
// area as large as the picture's, and every stored form of the same colours drawing the same pixels.
TEST(Pipeline, TurnedPicturesKeepTheirColourPlaceAndArea)
{
    auto turned = [](Bitmap* picture, InterpolationMode mode) {
        auto canvas = std::make_unique<Canvas>();
        canvas->graphics.SetInterpolationMode(mode);
        canvas->graphics.TranslateTransform(60, 60);
        canvas->graphics.RotateTransform(30);
        EXPECT_EQ(canvas->graphics.DrawImage(picture, RectF(-20, -15, 40, 30), 0, 0, 40, 30, UnitPixel), Ok);
        canvas->Read();
        return canvas;
    };
    auto filled = [](PixelFormat format, ARGB colour) {
        auto picture = std::make_unique<Bitmap>(40, 30, format);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) picture->SetPixel(x, y, Color(colour));
        return picture;
    };
    for (InterpolationMode mode : {InterpolationModeBilinear, InterpolationModeNearestNeighbor}) {
        auto opaque = turned(filled(PixelFormat32bppARGB, 0xFF000000).get(), mode);
        // The turned side crosses the middle column 17.3 above the middle.
        pictor_test::ExpectPixels(*opaque, {{60, 60, 255}, {60, 40, 0}, {10, 10, 0}});
        const long area = opaque->Ink();
        // Bilinear edges blend with transparency beyond the picture: across the outer half pixel the alpha
        // falls from 1 to 1/2, which leaves 3/8 of the outermost pixel on each side.
        const double expected = mode == InterpolationModeBilinear ? (39 + 0.75) * (29 + 0.75) : 40 * 30;
        EXPECT_NEAR(area / 255.0, expected, expected * 0.01) << mode;

        // Straight, premultiplied and opaque-only storage of one colour draw alike.
        auto straight = turned(filled(PixelFormat32bppARGB, 0x80000000).get(), mode);
        auto premultiplied = turned(filled(PixelFormat32bppPARGB, 0x80000000).get(), mode);
        auto noAlpha = turned(filled(PixelFormat32bppRGB, 0x00000000).get(), mode);
        long kinked = 0;
        for (size_t i = 0; i < straight->alpha.size(); ++i) {
            kinked += std::abs(straight->alpha[i] - premultiplied->alpha[i]) > 1;
            kinked += noAlpha->alpha[i] != opaque->alpha[i];
        }
        EXPECT_EQ(kinked, 0) << mode;
        EXPECT_NEAR(straight->At(60, 60), 128, 1);
    }
    // Maps that flatten the picture or reach past any number draw nothing and fail nothing.
    Bitmap picture(4, 4, PixelFormat32bppARGB);
    Canvas canvas;
    canvas.graphics.RotateTransform(30);
    canvas.graphics.ScaleTransform(1e30f, 1e-30f);
    EXPECT_EQ(canvas.graphics.DrawImage(&picture, RectF(0, 0, 4, 4), 0, 0, 4, 4, UnitPixel), Ok);
    canvas.graphics.ResetTransform();
    canvas.graphics.RotateTransform(30);
    canvas.graphics.ScaleTransform(1e7f, 1e7f);
    EXPECT_EQ(canvas.graphics.DrawImage(&picture, RectF(0, 0, 4, 4), 0, 0, 4, 4, UnitPixel), Ok);
}

// Pictures turned by bicubic sampling: one colour stays that colour up to the edges (the cubic's overshoot past
// the picture's side does not brighten it), a picture quarter-turned in memory and drawn a quarter turn back
// lands on the same pixels, and on a smooth ramp bicubic and bilinear agree.
TEST(Pipeline, TurnedPicturesDrawnBicubic)
{
    // The picture, 40 x 30, centred on (60, 60) and turned by `degrees`.
    auto turned = [](Bitmap* picture, InterpolationMode mode, float degrees) {
        Canvas canvas;
        canvas.graphics.SetInterpolationMode(mode);
        canvas.graphics.TranslateTransform(60, 60);
        canvas.graphics.RotateTransform(degrees);
        const REAL w = REAL(picture->GetWidth()), h = REAL(picture->GetHeight());
        EXPECT_EQ(canvas.graphics.DrawImage(picture, RectF(-w / 2, -h / 2, w, h), 0, 0, w, h, UnitPixel), Ok);
        return pictor_test::AllPixels(canvas.bitmap);
    };
    auto painted = [](const std::function<ARGB(int x, int y)>& colour) {
        auto picture = std::make_unique<Bitmap>(40, 30, PixelFormat32bppARGB);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) picture->SetPixel(x, y, Color(colour(x, y)));
        return picture;
    };
    const ARGB blue = 0xFF2060A0;
    for (InterpolationMode mode : {InterpolationModeBicubic, InterpolationModeHighQualityBicubic}) {
        const std::vector<ARGB> plain = turned(painted([&](int, int) { return blue; }).get(), mode, 30);
        ASSERT_EQ(plain.size(), size_t(kSide * kSide));
        EXPECT_EQ(plain[60 * kSide + 60], blue);
        int offColour = 0;
        for (ARGB c : plain) offColour += (c >> 24) >= 64 && ChannelGap(c | 0xFF000000u, blue) > 2;
        EXPECT_EQ(offColour, 0) << mode;
    }

    // Channels that change by 6 and 8 levels a pixel: a tap grid half a pixel off shows as 3 or 4 levels.
    auto ramp = painted([](int x, int y) { return ARGB(0xFF000000u | (6 * x + 10) << 16 | (8 * y + 10) << 8); });
    const std::vector<ARGB> bicubic = turned(ramp.get(), InterpolationModeBicubic, 30);
    const std::vector<ARGB> bilinear = turned(ramp.get(), InterpolationModeBilinear, 30);
    // The ramp turned in memory a quarter turn clockwise, drawn turned a quarter turn less.
    ASSERT_EQ(ramp->RotateFlip(Rotate90FlipNone), Ok);
    const std::vector<ARGB> quarter = turned(ramp.get(), InterpolationModeBicubic, -60);
    int rampGap = 0, quarterGap = 0, opaque = 0;
    for (size_t i = 0; i < bicubic.size(); ++i) {
        quarterGap = std::max(quarterGap, ChannelGap(bicubic[i], quarter[i]));
        // Away from the edges, where the two samplings weigh the transparency beyond the picture alike.
        if ((bicubic[i] >> 24) < 255 || (bilinear[i] >> 24) < 255) continue;
        ++opaque;
        rampGap = std::max(rampGap, ChannelGap(bicubic[i], bilinear[i]));
    }
    EXPECT_GT(opaque, 900);
    EXPECT_LE(rampGap, 3);  // bilinear weighs in 256ths, truncating
    EXPECT_LE(quarterGap, 2);

    // A map past any number draws nothing and fails nothing.
    Canvas far;
    far.graphics.SetInterpolationMode(InterpolationModeBicubic);
    far.graphics.RotateTransform(30);
    far.graphics.TranslateTransform(3e9f, -3e9f);
    EXPECT_EQ(far.graphics.DrawImage(ramp.get(), RectF(0, 0, 30, 40), 0, 0, 30, 40, UnitPixel), Ok);
}

// A noisy picture, part of a larger bitmap framed in another colour, drawn turned and scaled, bilinear: stored
// straight (sampled a pixel at a time), premultiplied or without alpha (sampled in vector steps over the run
// whose taps lie inside, one at a time at its ends), it lands on the same pixels, and none of the frame shows.
TEST(Pipeline, TurnedPicturesSampleAlikeInEveryStep)
{
    const ARGB frame = 0xFFFF00FF;
    auto picture = [&](PixelFormat format) {
        auto made = std::make_unique<Bitmap>(50, 40, format);
        uint32_t noise = 7;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x) {
                noise = noise * 1103515245u + 12345u;
                const bool inside = x >= 10 && x < 40 && y >= 10 && y < 30;
                made->SetPixel(x, y, Color(inside ? 0xFF000000u | (noise >> 8 & 0x7F7F7F) : frame));
            }
        return made;
    };
    auto turned = [](Bitmap* source, float degrees) {
        Canvas canvas;
        canvas.graphics.SetInterpolationMode(InterpolationModeBilinear);
        canvas.graphics.TranslateTransform(60.3f, 59.6f);
        canvas.graphics.RotateTransform(degrees);
        // Enlarged, so that pixels wholly covered still have taps past the picture.
        canvas.graphics.ScaleTransform(2.5f, 2.1f);
        EXPECT_EQ(canvas.graphics.DrawImage(source, RectF(-15, -10, 30, 20), 10, 10, 30, 20, UnitPixel), Ok);
        return pictor_test::AllPixels(canvas.bitmap);
    };
    const auto straight = picture(PixelFormat32bppARGB), premultiplied = picture(PixelFormat32bppPARGB),
               noAlpha = picture(PixelFormat32bppRGB);
    for (float degrees : {30.0f, -17.5f, 121.0f}) {
        const std::vector<ARGB> scalar = turned(straight.get(), degrees);
        EXPECT_EQ(turned(premultiplied.get(), degrees), scalar) << degrees;
        EXPECT_EQ(turned(noAlpha.get(), degrees), scalar) << degrees;
        int framed = 0;
        // Away from the faintest edge pixels, whose colour is too coarse to tell.
        for (ARGB c : scalar)
            framed += (c >> 24) >= 64 && (c & 0xFF) > 0x90 && (c >> 16 & 0xFF) > 0x90 && (c >> 8 & 0xFF) < 0x40;
        EXPECT_EQ(framed, 0) << degrees;
    }
}

// A turned picture, and an upright unscaled one, drawn under a clip, a box or a shape: inside the clip's pixels
// each equals the picture drawn without the clip, and outside them the canvas is untouched.
TEST(Pipeline, ClippedPicturesAreTheUnclippedPictureWithinTheClip)
{
    Bitmap picture(30, 20, PixelFormat32bppPARGB);
    uint32_t noise = 11;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            noise = noise * 1103515245u + 12345u;
            picture.SetPixel(x, y, Color(0xC0000000u | (noise >> 8 & 0xFFFFFF)));
        }
    const ARGB ground = 0xFF406080;
    // The canvas, with the clip set, drawn on by `draw`.
    auto drawn = [&](const Region* clip, const std::function<void(Graphics&)>& draw) {
        Canvas canvas;
        canvas.graphics.Clear(Color(ground));
        if (clip) canvas.graphics.SetClip(clip);
        draw(canvas.graphics);
        return pictor_test::AllPixels(canvas.bitmap);
    };
    auto turned = [&](Graphics& g) {
        g.TranslateTransform(60.3f, 59.6f);
        g.RotateTransform(30);
        g.ScaleTransform(2.5f, 2.1f);
        EXPECT_EQ(g.DrawImage(&picture, RectF(-15, -10, 30, 20), 0, 0, 30, 20, UnitPixel), Ok);
    };
    // Upright and unscaled at whole pixels: a copy of the picture's pixels.
    auto upright = [&](Graphics& g) {
        EXPECT_EQ(g.DrawImage(&picture, RectF(37, 41, 30, 20), 0, 0, 30, 20, UnitPixel), Ok);
    };
    GraphicsPath ellipse;
    ellipse.AddEllipse(30.4f, 35.7f, 50.2f, 40.9f);
    const Region box(RectF(40.5f, 30.25f, 37.5f, 48.75f)), shape(&ellipse);
    // The unclipped upright copy is the engine's, which premultiplies and composites with its own rounding.
    const std::pair<std::function<void(Graphics&)>, int> draws[] = {{turned, 0}, {upright, 1}};
    for (const auto& [draw, slack] : draws) {
        const std::vector<ARGB> whole = drawn(nullptr, draw);
        for (const Region* clip : {&box, &shape}) {
            // The clip's pixels: those a fill of the whole canvas paints under it.
            SolidBrush black(Color(255, 0, 0, 0));
            const std::vector<ARGB> inside =
                drawn(clip, [&](Graphics& g) { g.FillRectangle(&black, -1, -1, 200, 200); });
            const std::vector<ARGB> clipped = drawn(clip, draw);
            ASSERT_EQ(clipped.size(), whole.size());
            int wrong = 0, within = 0;
            for (size_t i = 0; i < whole.size(); ++i) {
                const bool in = inside[i] == 0xFF000000u;
                within += in && whole[i] != ground;
                wrong += ChannelGap(clipped[i], in ? whole[i] : ground) > slack;
            }
            EXPECT_GT(within, 400);
            EXPECT_EQ(wrong, 0) << (clip == &box ? "box " : "shape ") << slack;
        }
    }
}

// A bitmap cleared to transparency and then painted by the layer is drawn elsewhere with what was painted:
// cairo, under the engine, skipped a surface it had cleared as an empty source.
TEST(Pipeline, PaintingAfterATransparentClearReachesOtherBitmaps)
{
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        Canvas painted, copy;
        painted.graphics.SetSmoothingMode(smoothing);
        ASSERT_EQ(painted.graphics.Clear(Color(0u)), Ok);
        SolidBrush black(Color(255, 0, 0, 0));
        painted.graphics.FillRectangle(&black, 10, 10, 40, 30);
        copy.graphics.DrawImage(&painted.bitmap, 0, 0);
        copy.Read();
        EXPECT_EQ(copy.At(30, 25), 255) << smoothing;
        EXPECT_EQ(copy.At(5, 5), 0) << smoothing;
    }
}

TEST(Pipeline, EllipsesOfNegativeSizeFillAndOutlineTheirBox)
{
    Pen pen(Color(255, 0, 0, 0), 3);
    SolidBrush ink(Color(255, 0, 0, 0));
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        Canvas filled(smoothing), mirrored(smoothing), outlined(smoothing), turnedBack(smoothing);
        ASSERT_EQ(filled.graphics.FillEllipse(&ink, 10.25f, 12.5f, 80.5f, 60.25f), Ok);
        ASSERT_EQ(mirrored.graphics.FillEllipse(&ink, 90.75f, 72.75f, -80.5f, -60.25f), Ok);
        ASSERT_EQ(outlined.graphics.DrawEllipse(&pen, 10.25f, 12.5f, 80.5f, 60.25f), Ok);
        ASSERT_EQ(turnedBack.graphics.DrawEllipse(&pen, 90.75f, 12.5f, -80.5f, 60.25f), Ok);
        for (Canvas* c : {&filled, &mirrored, &outlined, &turnedBack}) c->Read();
        EXPECT_GT(filled.Ink(), 255 * 3000) << smoothing;
        EXPECT_LE(filled.LargestDifference(mirrored, pictor_test::kSamePlace), 1) << smoothing;
        EXPECT_LE(outlined.LargestDifference(turnedBack, pictor_test::kSamePlace), 1) << smoothing;
    }
}

TEST(Pipeline, RectanglesWithASideOfNoLengthOutlineAsTheirCorners)
{
    Pen pen(Color(255, 0, 0, 0), 2.5f);
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const RectF& flat : {RectF(10.5f, 10.25f, 0, 60.5f), RectF(10.25f, 40.5f, 70.5f, 0)}) {
            Canvas rectangle(smoothing), corners(smoothing);
            ASSERT_EQ(rectangle.graphics.DrawRectangle(&pen, flat), Ok);
            GraphicsPath outline;
            const PointF points[] = {{flat.X, flat.Y}, {flat.GetRight(), flat.Y}, {flat.GetRight(), flat.GetBottom()},
                                     {flat.X, flat.GetBottom()}};
            outline.AddLines(points, 4);
            outline.CloseFigure();
            ASSERT_EQ(corners.graphics.DrawPath(&pen, &outline), Ok);
            for (Canvas* c : {&rectangle, &corners}) c->Read();
            EXPECT_GT(corners.Ink(), 255 * 100) << smoothing;
            EXPECT_EQ(rectangle.LargestDifference(corners, pictor_test::kSamePlace), 0) << smoothing;
        }
}
