#include <functional>

#include <gtest/gtest.h>

#include "TestSupport.h"

using pictor_test::ExpectPixels;
using pictor_test::PixelOf;

TEST(PixelCopy, ReplacesEqualSizesOnlyAndIgnoresTheTransform)
{
    CFxPictor source(nullptr, 100, 80), taller(nullptr, 100, 81), dest(nullptr, 100, 80);
    source.Clear(Gdiplus::Color(0xFF0000FFu));
    std::vector<BYTE> pixels(100 * 80 * 4);
    source.GetBits(pixels.data(), 0, 0, 100, 80);
    pixels[0] = 0, pixels[1] = 0, pixels[2] = 255, pixels[3] = 128;  // half-transparent red at (0, 0)
    source.SetBits(pixels.data(), 0, 0);

    taller.Clear(0, 255, 0, 255);
    source.CopyToThis(&taller);
    ExpectPixels(taller, {{50, 40, 0xFF00FF00u}});

    dest.Clear(0, 255, 0, 255);
    dest.MatrixTransform(1, 0, 0, 1, 30, 30);
    source.CopyToThis(&dest);
    ExpectPixels(dest, {{0, 0, 0x80FF0000u}, {10, 10, 0xFF0000FFu}, {99, 79, 0xFF0000FFu}});

    // A drawn copy of the same canvas blends that pixel instead, and goes through the transform.
    CFxPictor drawn(nullptr, 100, 80);
    drawn.Clear(0, 255, 0, 255);
    source.CopyToThis(&drawn, 0, 0);
    ExpectPixels(drawn, {{0, 0, 0xFF807F00u, 2}});
    drawn.Clear(0, 255, 0, 255);
    drawn.MatrixTransform(1, 0, 0, 1, 30, 30);
    source.CopyToThis(&drawn, 0, 0);
    ExpectPixels(drawn, {{10, 10, 0xFF00FF00u}, {40, 40, 0xFF0000FFu}});

    CFxPictor empty;
    source.CopyToThis(&empty);
    empty.CopyToThis(&dest);
    source.CopyToThis(nullptr);
}

TEST(DrawnCopies, PlaceScaleAndCutAsAsked)
{
    CFxPictor small(nullptr, 50, 50);
    small.Clear(255, 0, 0, 255);
    CFxPictor dest(nullptr, 200, 100);
    dest.Clear(255, 255, 255, 255);
    small.CopyToThis(&dest, 10, 20);
    ExpectPixels(dest, {{10, 20, 0xFFFF0000u},
                        {59, 69, 0xFFFF0000u},
                        {9, 20, 0xFFFFFFFFu},
                        {60, 69, 0xFFFFFFFFu},
                        {30, 70, 0xFFFFFFFFu}});

    // Whole picture stretched: a 100 x 100 source with a left half of green fills 200 x 100.
    CFxPictor square(nullptr, 100, 100);
    square.Clear(0, 0, 255, 255);
    square.FillRect(0, 0, 50, 100, Gdiplus::Color(0xFF00FF00u));
    square.FillRect(50, 50, 50, 50, Gdiplus::Color(0xFFFF0000u));
    dest.Clear(255, 255, 255, 255);
    square.CopyToThis(&dest, 0, 0, 200, 100);
    ExpectPixels(dest, {{90, 50, 0xFF00FF00u}, {110, 20, 0xFF0000FFu}, {190, 90, 0xFFFF0000u}});

    // Source (50, 50, 50, 50) into (0, 0, 100, 100): the red quarter enlarged twice.
    CFxPictor quarter(nullptr, 100, 100);
    quarter.Clear(255, 255, 255, 255);
    square.CopyToThis(&quarter, 50, 50, 50, 50, 0, 0, 100, 100);
    ExpectPixels(quarter, {{5, 5, 0xFFFF0000u}, {95, 95, 0xFFFF0000u}});
}

TEST(DrawnCopies, OpacityScalesAlpha)
{
    CFxPictor source(nullptr, 20, 20);
    source.Clear(255, 0, 0, 255);
    CFxPictor dest(nullptr, 40, 40);

    dest.Clear(0, 0, 0, 0);
    source.CopyToThisAlpha(&dest, 0, 0, 20, 20, 1.0f);
    ExpectPixels(dest, {{10, 10, 0xFFFF0000u}, {30, 30, 0u}});

    dest.Clear(255, 255, 255, 255);
    source.CopyToThisAlpha(&dest, 0, 0, 40, 40, 0.0f);
    ExpectPixels(dest, {{20, 20, 0xFFFFFFFFu}});

    dest.Clear(0, 0, 255, 255);
    source.CopyToThisAlpha(&dest, 0, 0, 40, 40, 0.5f);
    ExpectPixels(dest, {{20, 20, 0xFF80007Fu, 2}});
}

// GDI+ averages the source area under each pixel of a scaled-down draw; libgdiplus blurs across the edges
// into transparency and leaves a picture unscaled when only one side shrinks. The layer scales down itself.
TEST(DrawnCopies, ScaledDownDrawsAverageTheirAreaExactly)
{
    CFxPictor stripes(nullptr, 90, 60);  // columns alternate white and black, rows 0-29 opaque, 30-59 half alpha
    std::vector<BYTE> pixels(90 * 60 * 4);
    for (int i = 0; i < 90 * 60; ++i) {
        const BYTE grey = i % 90 % 2 ? 0 : 255, alpha = i / 90 < 30 ? 255 : 128;
        std::fill_n(&pixels[i * 4], 3, grey);
        pixels[i * 4 + 3] = alpha;
    }
    stripes.SetBits(pixels.data(), 0, 0);

    CFxPictor dest(nullptr, 100, 100);
    dest.Clear(0, 0, 255, 255);
    stripes.CopyToThis(&dest, 0, 0, 90, 60, 5, 5, 45, 20);  // 2 columns and 3 rows into each pixel
    // (20, 24): half-transparent grey over blue.
    ExpectPixels(dest, {{5, 5, 0xFF808080u, 1},
                        {49, 14, 0xFF808080u, 1},
                        {20, 24, 0xFF4040BFu, 1},
                        {4, 5, 0xFF0000FFu},
                        {50, 24, 0xFF0000FFu},
                        {5, 25, 0xFF0000FFu}});

    // Only the height shrinks: the picture is still fitted to the rectangle (odd columns stay black).
    dest.Clear(0, 0, 255, 255);
    stripes.CopyToThis(&dest, 0, 0, 90, 60, 0, 0, 90, 30);
    ExpectPixels(dest, {{1, 10, 0xFF000000u}, {2, 10, 0xFFFFFFFFu}, {2, 20, 0xFF7F7FFFu, 2}, {2, 30, 0xFF0000FFu}});
}

namespace {

// The source pixels under destination pixel j of m, from n, each with its overlap in units of 1/m of a pixel.
std::vector<std::pair<int, int64_t>> AreaUnder(int n, int m, int j)
{
    std::vector<std::pair<int, int64_t>> under;
    const int64_t begin = int64_t(j) * n, end = int64_t(j + 1) * n;
    for (int64_t i = begin / m; i * m < end; ++i)
        under.emplace_back(int(i), std::min(end, (i + 1) * m) - std::max(begin, i * m));
    return under;
}

}  // namespace

// Every channel of a scaled-down draw is within one level of the exact average of the source area under it,
// however many source pixels that is (up to 32767 in a row or a column). Blue is black on every period-th
// diagonal, so a draw that samples rows or columns instead of averaging them is off by far more.
TEST(DrawnCopies, ScaledDownDrawsAverageExactlyAtEveryRatio)
{
    struct Case {
        int width, height, toWidth, toHeight, period;
    };
    // Among them: 16-bit sums at their limit (128 rows into one) and just past it, rows covered in part or whole.
    const Case cases[] = {{1, 32767, 1, 1, 128}, {32767, 1, 1, 1, 128}, {1, 32767, 1, 3, 97},  {32767, 1, 3, 1, 97},
                          {1, 1000, 1, 7, 13},   {1000, 1, 7, 1, 13},   {301, 1000, 3, 7, 11}, {250, 1000, 96, 384, 7},
                          {3, 128, 1, 1, 5},     {3, 129, 1, 1, 5},     {1, 1000, 1, 999, 13}};
    for (const Case& c : cases) {
        std::vector<BYTE> pixels(size_t(c.width) * c.height * 4);
        unsigned seed = 1;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                BYTE* p = &pixels[(size_t(y) * c.width + x) * 4];
                seed = seed * 1103515245u + 12345u;
                p[0] = (x + y) % c.period == c.period / 2 ? 0 : 255;
                p[1] = BYTE(seed >> 24);  // noise
                p[2] = BYTE(x + y);       // a ramp
                p[3] = 255;
            }
        CFxPictor source(nullptr, c.width, c.height), dest(nullptr, c.toWidth, c.toHeight);
        source.SetBits(pixels.data(), 0, 0);
        source.CopyToThis(&dest, 0, 0, c.width, c.height, 0, 0, c.toWidth, c.toHeight);
        for (int j = 0; j < c.toHeight; ++j)
            for (int i = 0; i < c.toWidth; ++i)
                for (int channel = 0; channel < 3; ++channel) {
                    int64_t sum = 0;
                    for (auto [y, high] : AreaUnder(c.height, c.toHeight, j))
                        for (auto [x, wide] : AreaUnder(c.width, c.toWidth, i))
                            sum += high * wide * pixels[(size_t(y) * c.width + x) * 4 + channel];
                    const double exact = double(sum) / (double(c.width) * c.height);
                    EXPECT_NEAR(pictor_test::Channel(PixelOf(dest, i, j), channel * 8), exact, 1.0)
                        << c.width << " x " << c.height << " to " << c.toWidth << " x " << c.toHeight << ", pixel " << i
                        << ", " << j << ", channel " << channel;
                }
    }
}

TEST(DrawnCopies, ScaledDownDrawsAndGradientsKeepToTheClip)
{
    CFxPictor source(nullptr, 80, 80), dest(nullptr, 40, 40);
    source.Clear(255, 0, 0, 255);
    dest.Clear(0, 0, 255, 255);
    dest.m_pGraphics->SetClip(Gdiplus::Rect(0, 0, 20, 40));
    source.CopyToThis(&dest, 0, 0, 80, 80, 0, 0, 40, 40);
    dest.FillGradientRectH(0, 30, 40, 10, 255, 0, 255, 0, 255, 0, 255, 0);
    ExpectPixels(dest, {{10, 10, 0xFFFF0000u}, {10, 35, 0xFF00FF00u}, {30, 10, 0xFF0000FFu}, {30, 35, 0xFF0000FFu}});
}

namespace {

// A premultiplied picture of many colours and alphas, none the same along a row or a column.
std::unique_ptr<Gdiplus::Bitmap> Varied(int width, int height, Gdiplus::PixelFormat format = PixelFormat32bppPARGB)
{
    auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->SetPixel(
                x, y,
                Gdiplus::Color(BYTE(255 - (x * 11 + y * 5) % 180), BYTE(x * 23), BYTE(40 + y * 13), BYTE(x * y * 7)));
    return picture;
}

// Every pixel as the bitmap keeps it, premultiplied.
std::vector<uint32_t> RawPixels(Gdiplus::Bitmap& bitmap)
{
    const int width = int(bitmap.GetWidth()), height = int(bitmap.GetHeight());
    std::vector<uint32_t> pixels(size_t(width) * height);
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = UINT(width), data.Height = UINT(height), data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB, data.Scan0 = pixels.data();
    EXPECT_EQ(Gdiplus::Ok, bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                           PixelFormat32bppPARGB, &data));
    bitmap.UnlockBits(&data);
    return pixels;
}

const int kSide = 90;

// What a draw leaves on a square premultiplied bitmap cleared to `background`, after `place` set the context.
std::vector<uint32_t> Drawn(const std::function<void(Gdiplus::Graphics&)>& place,
                            const std::function<void(Gdiplus::Graphics&)>& draw, Gdiplus::ARGB background = 0xFF204060u)
{
    Gdiplus::Bitmap target(kSide, kSide, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&target);
    graphics.Clear(Gdiplus::Color(background));
    place(graphics);
    draw(graphics);
    return RawPixels(target);
}

// The largest gap between pixel (x, y) of `upright` and pixel (side - 1 - y, x) of `turned`, the same drawn a
// quarter turn clockwise about the canvas's centre.
int LargestTurnedGap(const std::vector<uint32_t>& upright, const std::vector<uint32_t>& turned)
{
    int gap = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            gap = std::max(gap, pictor_test::ChannelGap(upright[size_t(y) * kSide + x],
                                                        turned[size_t(x) * kSide + (kSide - 1 - y)]));
    return gap;
}

}  // namespace

// Upright pictures enlarged, mirrored, or placed off whole pixels, land as the same picture turned a quarter
// turn (the general route, which steps down the picture's columns): GDI+'s edges, blended with transparency beyond the picture. Placed on whole pixels they are
// copied exactly, from any source rectangle, and a clip only takes pixels away, whole or scaled down.
TEST(DrawnCopies, UprightPicturesLandAsTheGeneralRouteAndClipsOnlyCut)
{
    const auto picture = Varied(20, 15), opaque = Varied(20, 15, PixelFormat32bppRGB);
    const auto none = [](Gdiplus::Graphics&) {};
    // Pixel centres lie on whole coordinates: centre (x, y) goes to centre (side - 1 - y, x).
    const auto quarterTurn = [](Gdiplus::Graphics& g) {
        g.TranslateTransform(kSide - 1, 0);
        g.RotateTransform(90);
    };
    // Enlarged, mirrored, and off whole pixels.
    const Gdiplus::RectF places[] = {
        {7, 9, 60, 45}, {70, 9, -60, 45}, {3.25f, 5.5f, 20, 15}, {10.5f, 4.75f, 47.3f, 29.9f}};
    for (Gdiplus::Bitmap* drawn : {picture.get(), opaque.get()})
        for (auto mode : {Gdiplus::InterpolationModeBilinear, Gdiplus::InterpolationModeHighQualityBicubic})
            for (const Gdiplus::RectF& place : places) {
                const auto draw = [&](Gdiplus::Graphics& g) {
                    g.SetInterpolationMode(mode);
                    g.DrawImage(drawn, place, 0, 0, 20, 15, Gdiplus::UnitPixel);
                };
                EXPECT_LE(LargestTurnedGap(Drawn(none, draw), Drawn(quarterTurn, draw)), 2)
                    << "mode " << mode << " at " << place.X << ", " << place.Y << ", " << place.Width << " x "
                    << place.Height << (drawn == opaque.get() ? ", opaque" : "");
            }

    // Unscaled on whole pixels: the picture's own pixels, on a transparent canvas.
    const auto atPoint = Drawn(
        none, [&](Gdiplus::Graphics& g) { g.DrawImage(picture.get(), 13, 11, 20, 15); }, 0);
    const auto source = RawPixels(*picture);
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const bool inside = x >= 13 && x < 33 && y >= 11 && y < 26;
            wrong += atPoint[size_t(y) * kSide + x] != (inside ? source[size_t(y - 11) * 20 + x - 13] : 0u);
        }
    EXPECT_EQ(wrong, 0);

    // A part of the picture copied, and a large one scaled down a third, under an elliptic clip: the unclipped
    // pixels inside it, the background outside.
    const auto large = Varied(120, 90);
    const auto part = [&](Gdiplus::Graphics& g) {
        g.DrawImage(picture.get(), Gdiplus::RectF(31, 17, 12, 9), 5, 4, 12, 9, Gdiplus::UnitPixel);
    };
    const auto shrunk = [&](Gdiplus::Graphics& g) {
        g.DrawImage(large.get(), Gdiplus::RectF(40, 20, 40, 30), 0, 0, 120, 90, Gdiplus::UnitPixel);
    };
    Gdiplus::GraphicsPath ellipse;
    ellipse.AddEllipse(25, 10, 50, 45);
    const Gdiplus::Region clip(&ellipse);
    const auto clipped = [&](Gdiplus::Graphics& g) { g.SetClip(&clip); };
    const auto background = Drawn(none, none);
    const auto inClip = Drawn(clipped, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFFu));
        g.FillRectangle(&white, 0, 0, kSide, kSide);
    });
    using Draw = std::function<void(Gdiplus::Graphics&)>;
    for (const Draw& draw : {Draw(part), Draw(shrunk)}) {
        const auto whole = Drawn(none, draw), cut = Drawn(clipped, draw);
        int outside = 0, inside = 0, kept = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            if (inClip[i] == 0xFFFFFFFFu)
                inside += cut[i] != whole[i], kept += whole[i] != background[i];
            else
                outside += cut[i] != background[i];
        }
        EXPECT_GT(kept, 50);
        EXPECT_EQ(inside, 0);
        EXPECT_EQ(outside, 0);
    }
}

// Pictures of every kind the layer draws: copied in place of the pixels they cover (edge pixels the sample
// scaled to their coverage, the pixels outside kept).
TEST(DrawnCopies, PicturesCopyInPlaceOfWhatTheyCover)
{
    const auto picture = Varied(20, 15);
    const auto none = [](Gdiplus::Graphics&) {};
    const auto copying = [](Gdiplus::Graphics& g) { g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy); };
    // Unscaled on whole pixels, enlarged off them, and turned.
    const auto turned = [](Gdiplus::Graphics& g) { g.RotateTransform(10); };
    const struct {
        std::function<void(Gdiplus::Graphics&)> place;
        Gdiplus::RectF to;
    } draws[] = {{none, {13, 11, 20, 15}}, {none, {3.5f, 11.25f, 60.3f, 45}}, {turned, {23.5f, 1.25f, 50.3f, 45}}};
    for (const auto& draw : draws) {
        const auto image = [&](Gdiplus::Bitmap* drawn) {
            return [&, drawn](Gdiplus::Graphics& g) {
                draw.place(g);
                g.DrawImage(drawn, draw.to, 0, 0, 20, 15, Gdiplus::UnitPixel);
            };
        };
        // What the picture leaves on transparency is what it copies; an opaque picture's alpha is the coverage.
        const auto white = std::make_unique<Gdiplus::Bitmap>(20, 15, PixelFormat32bppRGB);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x) white->SetPixel(x, y, Gdiplus::Color(0xFFFFFFFFu));
        const auto onTransparency = Drawn(none, image(picture.get()), 0);
        const auto coverage = Drawn(none, image(white.get()), 0);
        const auto copied = Drawn(
            [&](Gdiplus::Graphics& g) {
                copying(g);
                draw.place(g);
            },
            [&](Gdiplus::Graphics& g) {
                // The unscaled picture by its whole-pixel form.
                if (draw.to.Width == 20)
                    g.DrawImage(picture.get(), INT(draw.to.X), INT(draw.to.Y), 20, 15);
                else
                    g.DrawImage(picture.get(), draw.to, 0, 0, 20, 15, Gdiplus::UnitPixel);
            });
        // A sliver of coverage may scale the copied sample to nothing, where the white one's rounds to nothing too.
        int gap = 0, covered = 0, slivers = 0;
        for (size_t i = 0; i < copied.size(); ++i) {
            covered += coverage[i] != 0;
            const bool sliver = coverage[i] == 0 && copied[i] == 0;
            slivers += sliver;
            if (!sliver)
                gap = std::max(gap, pictor_test::ChannelGap(copied[i], coverage[i] ? onTransparency[i] : 0xFF204060u));
        }
        EXPECT_LE(slivers, 10);
        EXPECT_GT(covered, 250);
        EXPECT_LE(gap, 2) << "at " << draw.to.X << ", " << draw.to.Y;
    }

    // From far past the picture, only transparency: the 5 x 5 pixels covered are cleared, the rest kept.
    const auto cleared = Drawn(copying, [&](Gdiplus::Graphics& g) {
        g.DrawImage(picture.get(), Gdiplus::RectF(10, 10, 5, 5), 1e6f, 1e6f, 5, 5, Gdiplus::UnitPixel);
    });
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            wrong += cleared[size_t(y) * kSide + x] != (x >= 10 && x < 15 && y >= 10 && y < 15 ? 0u : 0xFF204060u);
    EXPECT_EQ(wrong, 0);
}

namespace {

// A picture of the format with the pixels given (straight ARGB), as the engine converts them to it.
std::unique_ptr<Gdiplus::Bitmap> InFormat(std::vector<uint32_t> pixels, int width, int height,
                                          Gdiplus::PixelFormat format, Gdiplus::PixelFormat given)
{
    auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, format);
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = UINT(width), data.Height = UINT(height), data.Stride = width * 4;
    data.PixelFormat = given, data.Scan0 = pixels.data();
    EXPECT_EQ(Gdiplus::Ok, picture->LockBits(&whole, Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeUserInputBuf,
                                             given, &data))
        << "format " << format;
    picture->UnlockBits(&data);
    return picture;
}

}  // namespace

// Pictures of 24-bit and indexed formats land as the same pixels in 32bppPARGB do: placed, enlarged, turned and
// scaled down. A 24-bit picture shows no alpha, whatever its cells hold.
TEST(DrawnCopies, PicturesOfOtherFormatsLandAsTheirPremultipliedPixels)
{
    const auto varied = Varied(40, 30, PixelFormat32bppARGB);
    std::vector<uint32_t> straight(40 * 30), opaque(40 * 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            Gdiplus::Color colour;
            varied->GetPixel(x, y, &colour);
            straight[size_t(y) * 40 + x] = colour.GetValue();
            opaque[size_t(y) * 40 + x] = colour.GetValue() | 0xFF000000u;
        }
    std::vector<std::pair<std::unique_ptr<Gdiplus::Image>, std::unique_ptr<Gdiplus::Bitmap>>> pictures;
    pictures.emplace_back(InFormat(straight, 40, 30, PixelFormat24bppRGB, PixelFormat32bppARGB),
                          InFormat(opaque, 40, 30, PixelFormat32bppPARGB, PixelFormat32bppPARGB));
    // Indexed pictures held as a Bitmap, and as an Image (as a canvas loads a file).
    for (const char* name : {"pal8.png", "pal4-trns.png", "pal8.png"}) {
        const CString path((std::string(PICTOR_TEST_DATA "/decode/") + name).c_str());
        auto indexed = std::make_unique<Gdiplus::Bitmap>(path.GetString());
        const Gdiplus::PixelFormat format = indexed->GetPixelFormat();
        ASSERT_TRUE(format == PixelFormat8bppIndexed || format == PixelFormat4bppIndexed) << name;
        auto twin = InFormat(RawPixels(*indexed), int(indexed->GetWidth()), int(indexed->GetHeight()),
                             PixelFormat32bppPARGB, PixelFormat32bppPARGB);
        if (pictures.size() == 3)
            pictures.emplace_back(std::make_unique<Gdiplus::Image>(path.GetString()), std::move(twin));
        else
            pictures.emplace_back(std::move(indexed), std::move(twin));
    }
    const auto none = [](Gdiplus::Graphics&) {};
    const auto turned = [](Gdiplus::Graphics& g) { g.RotateTransform(20); };
    for (const auto& [picture, twin] : pictures) {
        const Gdiplus::REAL width = Gdiplus::REAL(picture->GetWidth()), height = Gdiplus::REAL(picture->GetHeight());
        const Gdiplus::RectF places[] = {
            {13, 11, width, height}, {3.5f, 11.25f, width * 1.7f, height * 1.9f}, {5, 7, width / 2, height / 2}};
        for (const Gdiplus::RectF& place : places)
            for (bool turn : {false, true}) {
                const auto draw = [&](Gdiplus::Image* drawn) {
                    return Drawn(turn ? std::function<void(Gdiplus::Graphics&)>(turned) : none,
                                 [&](Gdiplus::Graphics& g) {
                                     g.DrawImage(drawn, place, 0, 0, width, height, Gdiplus::UnitPixel);
                                 });
                };
                const auto drawn = draw(picture.get()), expected = draw(twin.get());
                int gap = 0;
                for (size_t i = 0; i < drawn.size(); ++i)
                    gap = std::max(gap, pictor_test::ChannelGap(drawn[i], expected[i]));
                EXPECT_LE(gap, 2) << "format " << picture->GetPixelFormat() << " at " << place.X << ", " << place.Y
                                  << (turn ? " turned" : "");
            }
    }
}

// A source rectangle of fractional pixels maps exactly onto the destination: inside it the picture lands as the
// whole picture drawn through the same map does, outside it nothing is drawn. One reaching past the picture
// reads transparency there: it lands as a picture padded with transparent pixels does.
TEST(DrawnCopies, SourceRectanglesMapExactlyAndReadTransparencyPastThePicture)
{
    const auto picture = Varied(20, 15);
    const auto none = [](Gdiplus::Graphics&) {};
    const auto turned = [](Gdiplus::Graphics& g) { g.RotateTransform(8); };
    using Place = std::function<void(Gdiplus::Graphics&)>;
    for (const Place& place : {Place(none), Place(turned)}) {
        // Source (2.5, 1.25, 10.5, 9) scaled by 4 and 5 into (10, 8, 42, 45): the whole picture's map is the same.
        const auto part = Drawn(place, [&](Gdiplus::Graphics& g) {
            g.DrawImage(picture.get(), Gdiplus::RectF(10, 8, 42, 45), 2.5f, 1.25f, 10.5f, 9, Gdiplus::UnitPixel);
        });
        const auto whole = Drawn(place, [&](Gdiplus::Graphics& g) {
            g.DrawImage(picture.get(), Gdiplus::RectF(0, 1.75f, 80, 75), 0, 0, 20, 15, Gdiplus::UnitPixel);
        });
        const auto background = Drawn(place, none);
        // Pixels two inside the destination's edges, and two outside them, in the world's coordinates.
        Gdiplus::Bitmap unused(1, 1, PixelFormat32bppPARGB);
        Gdiplus::Graphics probe(&unused);
        place(probe);
        Gdiplus::Matrix back;
        probe.GetTransform(&back);
        back.Invert();
        int inside = 0, insideGap = 0, outsideDrawn = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                Gdiplus::PointF at{Gdiplus::REAL(x), Gdiplus::REAL(y)};
                back.TransformPoints(&at);
                const size_t i = size_t(y) * kSide + x;
                if (at.X > 12 && at.X < 50 && at.Y > 10 && at.Y < 51) {
                    ++inside;
                    insideGap = std::max(insideGap, pictor_test::ChannelGap(part[i], whole[i]));
                } else if (at.X < 8 || at.X > 54 || at.Y < 6 || at.Y > 55) {
                    outsideDrawn += part[i] != background[i];
                }
            }
        EXPECT_GT(inside, 1000);
        EXPECT_LE(insideGap, 2);
        EXPECT_EQ(outsideDrawn, 0);
    }

    // Source (-5, -3, 30, 20) of the 20 x 15 picture, against the picture placed at (5, 3) on 30 x 20 of
    // transparency; each sampling, enlarged upright and turned, and unscaled on whole pixels; composited over
    // and copied.
    Gdiplus::Bitmap padded(30, 20, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics g(&padded);
        g.Clear(Gdiplus::Color(0));
        g.DrawImage(picture.get(), 5, 3, 20, 15);
    }
    const Gdiplus::RectF enlarged(3.5f, 6, 75, 60), unscaled(3, 6, 30, 20);
    for (auto mode : {Gdiplus::InterpolationModeBilinear, Gdiplus::InterpolationModeHighQualityBicubic,
                      Gdiplus::InterpolationModeNearestNeighbor})
        for (const auto& [place, to] : {std::pair(Place(none), enlarged), std::pair(Place(turned), enlarged),
                                        std::pair(Place(none), unscaled)})
            for (auto compositing : {Gdiplus::CompositingModeSourceOver, Gdiplus::CompositingModeSourceCopy}) {
                const auto draw = [&](Gdiplus::Bitmap* drawn, Gdiplus::REAL x, Gdiplus::REAL y) {
                    return Drawn(place, [&](Gdiplus::Graphics& g) {
                        g.SetInterpolationMode(mode);
                        g.SetCompositingMode(compositing);
                        g.DrawImage(drawn, to, x, y, 30, 20, Gdiplus::UnitPixel);
                    });
                };
                const auto past = draw(picture.get(), -5, -3), expected = draw(&padded, 0, 0);
                int gap = 0;
                for (size_t i = 0; i < past.size(); ++i)
                    gap = std::max(gap, pictor_test::ChannelGap(past[i], expected[i]));
                EXPECT_LE(gap, 2) << "mode " << mode << " into " << to.Width << " x " << to.Height << ", compositing "
                                  << compositing;
            }
}
