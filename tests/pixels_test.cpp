#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "pixels/Fit.h"

using pictor_test::ExpectPixels;
using pictor_test::Near;
using pictor_test::PixelOf;

namespace {

std::vector<BYTE> Bits(CFxPictor& canvas, int x, int y, int w, int h)
{
    std::vector<BYTE> buffer(static_cast<size_t>(w) * h * 4, 0xEE);
    canvas.GetBits(buffer.data(), x, y, w, h);
    return buffer;
}

// The bounds of the pixels that are closer to the colour than to anything else in the row/column
// through the middle: {first x, count across, first y, count down}.
struct Extent {
    int x, w, y, h;
};

Extent ExtentOf(CFxPictor& canvas, Gdiplus::ARGB colour)
{
    const CSize size = canvas.GetSize();
    Extent e{-1, 0, -1, 0};
    for (int x = 0; x < size.cx; ++x)
        if (Near(PixelOf(canvas, x, size.cy / 2), colour, 127)) {
            if (e.x < 0) e.x = x;
            ++e.w;
        }
    for (int y = 0; y < size.cy; ++y)
        if (Near(PixelOf(canvas, size.cx / 2, y), colour, 127)) {
            if (e.y < 0) e.y = y;
            ++e.h;
        }
    return e;
}

}  // namespace

TEST(RawPixels, GetBitsAndSetBitsUseStraightTopDownBgra)
{
    CFxPictor canvas(nullptr, 8, 6);
    canvas.Clear(10, 20, 30, 255);
    std::vector<BYTE> one = Bits(canvas, 0, 0, 1, 1);
    EXPECT_EQ(one, (std::vector<BYTE>{30, 20, 10, 255}));

    // A narrow rectangle holds its own pixels only, w x 4 bytes a row, rows from the top.
    std::vector<BYTE> pattern(8 * 6 * 4);
    for (int i = 0; i < 8 * 6; ++i) {
        const BYTE pixel[4] = {BYTE(i % 8 * 10), BYTE(i / 8 * 10), 200, 255};  // x * 10, y * 10, red 200
        std::copy_n(pixel, 4, &pattern[i * 4]);
    }
    canvas.SetBits(pattern.data(), 0, 0);
    EXPECT_EQ(Bits(canvas, 0, 0, 8, 6), pattern);
    EXPECT_EQ(PixelOf(canvas, 3, 0), 0xFFC8001Eu);  // top row first: alpha, red 200, green 0, blue 30
    std::vector<BYTE> part = Bits(canvas, 2, 3, 3, 2);
    ASSERT_EQ(part.size(), 24u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(part[(y * 3 + x) * 4 + 0], (2 + x) * 10);
            EXPECT_EQ(part[(y * 3 + x) * 4 + 1], (3 + y) * 10);
        }

    // Writing replaces, transparency included; half-transparent pixels come back straight.
    std::vector<BYTE> clear(8 * 6 * 4, 0);
    clear[0] = 40, clear[1] = 80, clear[2] = 160, clear[3] = 128;
    canvas.SetBits(clear.data(), 0, 0);
    EXPECT_EQ(PixelOf(canvas, 5, 5), 0u);
    const std::vector<BYTE> half = Bits(canvas, 0, 0, 1, 1);  // blue 40, green 80, red 160 within a level
    EXPECT_TRUE(Near(Gdiplus::ARGB(half[3]) << 24 | half[2] << 16 | half[1] << 8 | half[0], 0x80A05028u, 1));
    EXPECT_EQ(half[3], 128);

    // A rectangle outside the canvas copies nothing; an empty canvas ignores both.
    std::vector<BYTE> outside = Bits(canvas, 6, 0, 4, 1);
    EXPECT_EQ(outside, std::vector<BYTE>(16, 0xEE));
    CFxPictor empty;
    EXPECT_EQ(Bits(empty, 0, 0, 1, 1), std::vector<BYTE>(4, 0xEE));
    empty.SetBits(pattern.data(), 0, 0);
}

// Whole rows are converted several pixels at a time, single pixels one by one: both must read every
// alpha and colour the same, within one level of what was written.
TEST(RawPixels, WideAndSinglePixelReadsAgreeForEveryAlphaAndColour)
{
    CFxPictor canvas(nullptr, 256, 256);
    std::vector<BYTE> written(256 * 256 * 4);
    for (int alpha = 0; alpha < 256; ++alpha)
        for (int colour = 0; colour < 256; ++colour) {
            BYTE* p = &written[(alpha * 256 + colour) * 4];
            p[0] = static_cast<BYTE>(colour), p[1] = static_cast<BYTE>(255 - colour), p[2] = 0, p[3] = static_cast<BYTE>(alpha);
        }
    canvas.SetBits(written.data(), 0, 0);
    const std::vector<BYTE> wide = Bits(canvas, 0, 0, 256, 256);
    int disagreements = 0, offByMore = 0;
    for (int alpha = 1; alpha < 256; alpha += 3)
        for (int colour = 0; colour < 256; ++colour) {
            const size_t at = static_cast<size_t>(alpha * 256 + colour) * 4;
            const std::vector<BYTE> single = Bits(canvas, colour, alpha, 1, 1);
            disagreements += !std::equal(single.begin(), single.end(), wide.begin() + static_cast<long>(at));
            // Premultiplied storage keeps 8 bits of colour times alpha: what comes back is within
            // half a step of alpha's scale.
            for (int c = 0; c < 3; ++c)
                offByMore += std::abs(wide[at + c] - written[at + c]) > 128 / alpha + 1;
        }
    EXPECT_EQ(disagreements, 0);
    EXPECT_EQ(offByMore, 0);
}

TEST(ColourKeyAndAlpha, KeyMatchesColourExactlyAndAlphaIsSetEverywhere)
{
    CFxPictor canvas(nullptr, 20, 10);
    canvas.Clear(255, 0, 255, 255);
    canvas.SetColorToAlphaZero(255, 0, 254);
    EXPECT_EQ(PixelOf(canvas, 3, 3), 0xFFFF00FFu);
    canvas.SetColorToAlphaZero(255, 0, 255);
    EXPECT_EQ(Bits(canvas, 0, 0, 20, 10), std::vector<BYTE>(20 * 10 * 4, 0));

    // Alpha is not part of the key; other colours stay as they are.
    canvas.Clear(255, 0, 255, 40);
    canvas.FillRect(0, 0, 5, 10, Gdiplus::Color(255, 1, 2, 3));
    canvas.SetColorToAlphaZero(255, 0, 255);
    ExpectPixels(canvas, {{10, 5, 0u}, {2, 5, 0xFF010203u}});

    canvas.Clear(255, 0, 0, 255);
    canvas.SetAlpha(128);
    EXPECT_EQ(Bits(canvas, 19, 9, 1, 1), (std::vector<BYTE>{0, 0, 255, 128}));
    EXPECT_EQ(PixelOf(canvas, 0, 0), 0x80FF0000u);
    canvas.SetAlpha(255);
    EXPECT_EQ(PixelOf(canvas, 7, 7), 0xFFFF0000u);

    CFxPictor empty;
    empty.SetColorToAlphaZero(0, 0, 0);
    empty.SetAlpha(10);

    // Given an image larger than itself, the canvas keys only its own area, and sets alpha over all of it.
    Gdiplus::Bitmap given(40, 30, PixelFormat32bppARGB);
    Gdiplus::Graphics(&given).Clear(Gdiplus::Color(0xFFFF00FF));
    canvas.SetBitmap(&given);
    canvas.SetColorToAlphaZero(255, 0, 255);
    ExpectPixels(canvas, {{19, 9, 0u}, {20, 9, 0xFFFF00FFu}, {5, 29, 0xFFFF00FFu}});
    canvas.SetAlpha(128);
    ExpectPixels(canvas, {{39, 29, 0x80FF00FFu}});
}

TEST(ColourKeyAndAlpha, WideRowsGiveWhatPixelByPixelWorkGives)
{
    // Every alpha with many colours, in rows whose blocks of eight and four take the vector loops, and the
    // same pixels in a canvas one pixel wide, which takes them one at a time.
    const int width = 61, height = 67, count = width * height;
    std::vector<BYTE> picture(size_t(count) * 4);
    for (int i = 0; i < count; ++i) {
        const BYTE straight[4] = {BYTE(i * 37), BYTE(i * 91), BYTE(i * 13), BYTE(i % 7 == 0 ? 255 : i)};
        std::copy(straight, straight + 4, picture.begin() + i * 4);
    }
    std::copy(picture.begin() + 40, picture.begin() + 44, picture.begin() + 400);  // a second pixel to key
    for (int alpha : {-1, 0, 1, 77, 128, 254, 255}) {
        SCOPED_TRACE(alpha);
        CFxPictor wide(nullptr, width, height), narrow(nullptr, 1, count);
        for (CFxPictor* c : {&wide, &narrow}) {
            c->SetBits(picture.data(), 0, 0);
            if (alpha < 0)
                c->SetColorToAlphaZero(picture[42], picture[41], picture[40]);
            else
                c->SetAlpha(BYTE(alpha));
        }
        EXPECT_EQ(Bits(wide, 0, 0, width, height), Bits(narrow, 0, 0, 1, count));
    }
}

TEST(Resampling, FitTableTruncatesAndFittedAndStretchedPicturesLandWhereTheyShould)
{
    struct Case {
        int w0, h0, newW, newH, x, y, w, h;
    } cases[] = {
        {100, 100, 200, 100, 50, 0, 100, 100}, {100, 100, 100, 200, 0, 50, 100, 100},
        {400, 100, 300, 100, 0, 12, 300, 75},  {640, 480, 320, 320, 0, 40, 320, 240},
        {480, 640, 320, 240, 70, 0, 180, 240}, {7, 3, 300, 100, 33, 0, 233, 100},
        {3, 7, 200, 100, 79, 1, 42, 98},       {10, 1000, 60, 50, 30, 25, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.newW << "x" << c.newH);
        const pictor::FitResult fit = pictor::FitInto(c.w0, c.h0, c.newW, c.newH);
        EXPECT_EQ((std::vector<int>{fit.x, fit.y, fit.width, fit.height}), (std::vector<int>{c.x, c.y, c.w, c.h}));
    }

    // Pictures fitted land where the table puts them.
    const Gdiplus::ARGB red = 0xFFFF0000u, blue = 0xFF0000FFu;
    struct Picture {
        int w0, h0, newW, newH;
        Extent expected;
    } pictures[] = {{100, 100, 200, 100, {50, 100, 0, 100}},
                 {640, 480, 320, 320, {0, 320, 40, 240}},
                 {480, 640, 320, 240, {70, 180, 0, 240}}};
    for (const Picture& c : pictures) {
        SCOPED_TRACE(testing::Message() << c.w0 << "x" << c.h0 << " -> " << c.newW << "x" << c.newH);
        CFxPictor canvas(nullptr, c.w0, c.h0);
        canvas.Clear(255, 0, 0, 255);
        canvas.MatrixTransform(1, 0, 0, 1, 7, 7);
        canvas.ReSampling(c.newW, c.newH, 1, 0, 0, 255);
        ASSERT_EQ(canvas.GetSize(), CSize(c.newW, c.newH));
        EXPECT_EQ(canvas.m_hWnd, nullptr);
        const Extent e = ExtentOf(canvas, red);
        for (auto [got, expected] :
             {std::pair(e.x, c.expected.x), {e.w, c.expected.w}, {e.y, c.expected.y}, {e.h, c.expected.h}})
            EXPECT_NEAR(got, expected, 1);
        EXPECT_EQ(PixelOf(canvas, 0, 0), c.expected.x > 1 || c.expected.y > 1 ? blue : red);
        // The rebuilt drawing context has the identity transform again.
        canvas.FillRect(0, 0, 1, 1, Gdiplus::Color(0xFF00FF00u));
        EXPECT_EQ(PixelOf(canvas, 0, 0), 0xFF00FF00u);
    }

    // Transparent parts show the background; far too narrow pictures leave only the background.
    CFxPictor thin(nullptr, 10, 1000);
    thin.Clear(255, 0, 0, 0);
    thin.ReSampling(60, 50, 1, 0, 0, 255);
    EXPECT_EQ(ExtentOf(thin, red).w, 0);
    EXPECT_EQ(PixelOf(thin, 30, 25), blue);

    // Stretching a 100 x 50 picture to 50 x 100 halves it across and doubles it down.
    CFxPictor stretched(nullptr, 100, 50);
    stretched.Clear(0, 0, 255, 255);
    stretched.FillRect(0, 0, 50, 25, Gdiplus::Color(red));
    stretched.ReSampling(50, 100, 0, 0, 255, 0);
    ExpectPixels(stretched, {{10, 20, red}, {40, 80, blue}, {20, 60, blue}, {30, 40, blue}, {20, 45, red}});
}

TEST(Crop, KeepsTheClippedRectangleOverBlack)
{
    CFxPictor canvas(nullptr, 100, 100);
    // A green rectangle with a red last pixel and a transparent hole, on a transparent canvas.
    canvas.Clear(Gdiplus::Color(0u));
    canvas.FillRect(10, 20, 30, 40, Gdiplus::Color(0xFF00FF00u));
    canvas.FillRect(39, 59, 1, 1, Gdiplus::Color(0xFFFF0000u));
    std::vector<BYTE> hole(100 * 100 * 4);
    canvas.GetBits(hole.data(), 0, 0, 100, 100);
    std::fill_n(&hole[(30 * 100 + 20) * 4], 4, 0);
    canvas.SetBits(hole.data(), 0, 0);

    canvas.Crop(10, 20, 30, 40);
    ASSERT_EQ(canvas.GetSize(), CSize(30, 40));
    EXPECT_EQ(canvas.m_hWnd, nullptr);
    ExpectPixels(canvas, {{0, 0, 0xFF00FF00u}, {29, 39, 0xFFFF0000u}, {10, 10, 0xFF000000u}});

    CFxPictor corner(nullptr, 100, 100);
    corner.Clear(0, 0, 255, 128);
    corner.Crop(-10, -10, 50, 50);
    EXPECT_EQ(corner.GetSize(), CSize(40, 40));
    ExpectPixels(corner, {{20, 20, 0xFF000080u, 1}});

    CFxPictor edge(nullptr, 100, 10);
    edge.Crop(90, 0, 20, 10);
    EXPECT_EQ(edge.GetSize(), CSize(10, 10));

    // Nothing inside: an empty canvas, still usable.
    CFxPictor away(nullptr, 50, 50);
    away.Crop(200, 200, 10, 10);
    EXPECT_LE(away.GetSize().cx, 0);
    away.Clear(1, 2, 3, 4);
    away.Init(nullptr, 4, 4);
    EXPECT_NE(away.GetBitmap(), nullptr);
}

TEST(Rotation, QuarterTurnsPrependRotateLeavesIdentityAndPicturesTurnAboutTheirCentre)
{
    CFxPictor canvas(nullptr, 60, 40);
    canvas.Clear(255, 255, 255, 255);
    canvas.Rotate90CW();
    canvas.FillRect(0, -50, 20, 50, Gdiplus::Color(0xFF0000FFu));
    ExpectPixels(canvas, {{2, 2, 0xFF0000FFu}, {47, 17, 0xFF0000FFu}, {52, 10, 0xFFFFFFFFu}, {10, 22, 0xFFFFFFFFu}});

    // With a shift in force the turn applies first: (x, y) lands at (dx - y, dy + x).
    canvas.Clear(255, 255, 255, 255);
    canvas.MatrixTransform(1, 0, 0, 1, 30, 5);
    canvas.Rotate90CW();
    canvas.FillRect(2, 4, 4, 4, Gdiplus::Color(0xFF00FF00u));
    EXPECT_EQ(PixelOf(canvas, 24, 9), 0xFF00FF00u);
    canvas.Rotate90CCW();
    canvas.FillRect(0, 0, 2, 2, Gdiplus::Color(0xFFFF0000u));
    EXPECT_EQ(PixelOf(canvas, 30, 5), 0xFFFF0000u);

    // Rotate(90, ...) redraws the picture unturned, then the identity is left even after a quarter turn.
    canvas.Clear(255, 255, 255, 255);
    canvas.MatrixTransform(1, 0, 0, 1, 0, 0);
    canvas.FillRect(0, 0, 10, 10, Gdiplus::Color(0xFFFF0000u));
    canvas.Rotate90CW();
    canvas.Rotate(90, 30, 20);
    ExpectPixels(canvas, {{5, 5, 0xFFFF0000u}, {15, 5, 0xFFFFFFFFu}});
    canvas.FillRect(50, 30, 5, 5, Gdiplus::Color(0xFF00FF00u));
    EXPECT_EQ(PixelOf(canvas, 52, 32), 0xFF00FF00u);

    // A red block at the top-left quarter, turned a quarter clockwise about the centre, lands at the
    // top-right quarter.
    auto picture = [](CFxPictor& canvas) {
        canvas.Clear(0, 0, 0, 0);
        canvas.FillRect(0, 0, 50, 50, Gdiplus::Color(0xFFFF0000u));
    };
    CFxPictor self(nullptr, 100, 100);
    picture(self);
    self.Rotate(0, 50, 50);
    // (25, 25): the old picture stays under the turned one.
    ExpectPixels(self, {{75, 25, 0xFFFF0000u}, {25, 25, 0xFFFF0000u}, {25, 75, 0u}, {75, 75, 0u}});

    for (int unused : {0, 7, -3}) {
        CFxPictor other(nullptr, 100, 100);
        picture(other);
        other.Rotate(0, 50, 50, unused);
        EXPECT_EQ(Bits(self, 0, 0, 100, 100), Bits(other, 0, 0, 100, 100));
    }

    CFxPictor source(nullptr, 100, 100), dest(nullptr, 100, 100);
    picture(source);
    dest.Clear(255, 255, 255, 255);
    source.Rotate(&dest, 180);  // anticlockwise: top-left quarter to bottom-left
    ExpectPixels(dest, {{25, 75, 0xFFFF0000u}, {75, 25, 0xFFFFFFFFu}, {25, 25, 0xFFFFFFFFu}});
    ExpectPixels(source, {{75, 25, 0u}});
    dest.FillRect(80, 0, 5, 5, Gdiplus::Color(0xFF0000FFu));
    ExpectPixels(dest, {{82, 2, 0xFF0000FFu}});
}

