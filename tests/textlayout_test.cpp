// Text laid out, measured and drawn by the layer (platform/gdiplus/text): where it lands against what
// MeasureString says and where the engine put it, GDI+'s padding and alignment, hostile strings, the glyph
// cache's bound and threads drawing at once. A 32-bit straight ARGB bitmap is still drawn by the engine,
// which gives the placement to compare with.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "TextTestSupport.h"
#include "gdiplus/text/GlyphCache.h"

using namespace Gdiplus;

namespace {

using Canvas = pictor_test::TextCanvas;
using pictor_test::InkBox;
using pictor_test::Measure;

const SolidBrush kBlack(Color(255, 0, 0, 0));

}  // namespace

// Latin text at a point lies inside its measured box, a sixth of an em in from its left (GDI+'s padding),
// and in the same place, within a pixel, when copied (the glyphs' outlines filled as one shape instead of
// blended from the glyph cache).
TEST(TextLayout, TextAtAPointLandsInItsMeasuredBoxOnEveryRoute)
{
    FontFamily family(u"DejaVu Sans");
    Font font(&family, 20, FontStyleRegular, UnitPixel);
    Canvas layer, copied;
    copied.graphics.SetCompositingMode(CompositingModeSourceCopy);
    ASSERT_EQ(layer.graphics.DrawString(u"Hello World", -1, &font, PointF(40, 30), &kBlack), Ok);
    ASSERT_EQ(copied.graphics.DrawString(u"Hello World", -1, &font, PointF(40, 30), &kBlack), Ok);
    const InkBox drawn = layer.Ink(), reference = copied.Ink();
    const RectF box = Measure(layer.graphics, u"Hello World", font, RectF(40, 30, 0, 0));
    ASSERT_FALSE(drawn.Empty());
    pictor_test::ExpectInkInside(drawn, RectF(box.X + 20 / 6.0f, box.Y, box.Width - 2 * 20 / 6.0f, box.Height));
    pictor_test::ExpectSameInk(drawn, reference, 1);

    // Wrapped into a rectangle, every line lies inside the box MeasureString gives for it.
    Canvas wrapped;
    const RectF layout(20, 10, 150, 100);
    const std::u16string words = u"The quick brown fox jumps over";
    INT fitted = 0, lines = 0;
    const RectF wrappedBox = Measure(wrapped.graphics, words, font, layout, nullptr, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(INT(words.size()), 3));
    wrapped.graphics.DrawString(words.c_str(), -1, &font, layout, nullptr, &kBlack);
    pictor_test::ExpectInkInside(wrapped.Ink(), wrappedBox);
}

// GenericDefault pads each line by a sixth of the em on both sides, GenericTypographic not at all; lines
// align near, centre and far on both axes, about the point itself when the layout has no size.
TEST(TextLayout, PaddingAndAlignmentFollowGdiplus)
{
    Canvas c;
    Font font(u"DejaVu Sans", 24, FontStyleRegular, UnitPixel);
    const RectF point(100, 50, 0, 0);
    const RectF padded = Measure(c.graphics, u"Padding", font, point);
    const RectF bare = Measure(c.graphics, u"Padding", font, point, StringFormat::GenericTypographic());
    EXPECT_NEAR(padded.Width - bare.Width, 24 / 3.0f, 0.01);
    EXPECT_FLOAT_EQ(padded.Height, bare.Height);
    // A copy of the typographic format is typographic too.
    StringFormat copy(StringFormat::GenericTypographic());
    EXPECT_FLOAT_EQ(Measure(c.graphics, u"Padding", font, point, &copy).Width, bare.Width);

    StringFormat centred, far;
    centred.SetAlignment(StringAlignmentCenter);
    centred.SetLineAlignment(StringAlignmentCenter);
    far.SetAlignment(StringAlignmentFar);
    far.SetLineAlignment(StringAlignmentFar);
    RectF box = Measure(c.graphics, u"Padding", font, point, &centred);
    EXPECT_NEAR(box.X + box.Width / 2, point.X, 0.01);
    EXPECT_NEAR(box.Y + box.Height / 2, point.Y, 0.01);
    box = Measure(c.graphics, u"Padding", font, point, &far);
    EXPECT_NEAR(box.GetRight(), point.X, 0.01);
    EXPECT_NEAR(box.GetBottom(), point.Y, 0.01);
    const RectF layout(10, 10, 300, 100);
    box = Measure(c.graphics, u"Padding", font, layout, &far);
    EXPECT_NEAR(box.GetRight(), layout.GetRight(), 0.01);
    EXPECT_NEAR(box.GetBottom(), layout.GetBottom(), 0.01);

    // Drawn centred in the rectangle, the ink's middle is the rectangle's.
    c.graphics.DrawString(u"Padding", -1, &font, layout, &centred, &kBlack);
    const InkBox ink = c.Ink();
    EXPECT_NEAR((ink.left + ink.right) / 2.0, layout.X + layout.Width / 2, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, layout.Y + layout.Height / 2, 4);
}

// Hangul in a Latin face is drawn by the layer with the face fontconfig falls back to, the Latin with the
// font's own: padded as GDI+ pads, real syllables, and the Latin pixels those of the Latin alone.
TEST(TextLayout, MixedScriptsFallBackPerRun)
{
    Font font(u"DejaVu Sans", 24, FontStyleRegular, UnitPixel);
    Canvas ga, na, latin;
    EXPECT_NEAR(Measure(ga.graphics, u"Ab 가나", font, RectF()).Width -
                    Measure(ga.graphics, u"Ab 가나", font, RectF(), StringFormat::GenericTypographic()).Width,
                24 / 3.0f, 0.01);
    ga.graphics.DrawString(u"Ab 가나", -1, &font, PointF(10, 10), &kBlack);
    na.graphics.DrawString(u"Ab 나가", -1, &font, PointF(10, 10), &kBlack);
    latin.graphics.DrawString(u"Ab", -1, &font, PointF(10, 10), &kBlack);
    const InkBox latinInk = latin.Ink(), all = ga.Ink();
    EXPECT_GT(all.right, latinInk.right + 40);
    int differing = 0, latinDiffering = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const ARGB a = pictor_test::PixelOf(ga.bitmap, x, y);
            differing += a != pictor_test::PixelOf(na.bitmap, x, y);
            latinDiffering += x <= latinInk.right && a != pictor_test::PixelOf(latin.bitmap, x, y);
        }
    EXPECT_GT(differing, 40);
    EXPECT_EQ(latinDiffering, 0);
}

// Strings an attacker could pass end quickly, with bounded memory, and never crash: a million
// characters, unpaired surrogates, marks with nothing to combine with, NULs (no glyph, no width), a
// 10000-pixel font and a rectangle of no size.
TEST(TextLayout, HostileTextEndsQuicklyAndTheGlyphCacheStaysUnderItsByteBound)
{
    const auto started = std::chrono::steady_clock::now();
    Canvas c;
    Font font(u"DejaVu Sans", 16, FontStyleRegular, UnitPixel);
    const std::u16string million(1000000, u'x');
    RectF box = Measure(c.graphics, million, font, RectF(0, 0, 0, 0));
    EXPECT_GT(box.Width, 1e6f * 5);
    EXPECT_EQ(c.graphics.DrawString(million.c_str(), INT(million.size()), &font, PointF(0, 0), &kBlack), Ok);
    EXPECT_EQ(
        c.graphics.DrawString(million.c_str(), INT(million.size()), &font, RectF(0, 0, 400, 120), nullptr, &kBlack),
        Ok);

    for (const std::u16string& odd : {std::u16string(u"a\xD800"
                                                     u"b\xDC00"),
                                      std::u16string(u"\u0301\u0308\u20DD"), std::u16string(u"\xDBFF")}) {
        EXPECT_EQ(c.graphics.DrawString(odd.c_str(), INT(odd.size()), &font, PointF(10, 10), &kBlack), Ok);
        Measure(c.graphics, odd, font, RectF());
    }
    const std::u16string withNuls(u"ab\0\0cd", 6);
    EXPECT_FLOAT_EQ(Measure(c.graphics, withNuls, font, RectF()).Width,
                    Measure(c.graphics, u"abcd", font, RectF()).Width);

    Font huge(u"DejaVu Sans", 10000, FontStyleRegular, UnitPixel);
    EXPECT_EQ(c.graphics.DrawString(u"WM", -1, &huge, PointF(-3000, -5000), &kBlack), Ok);
    EXPECT_FALSE(c.Ink().Empty());
    Canvas empty;
    EXPECT_EQ(empty.graphics.DrawString(u"nothing", -1, &font, RectF(50, 50, 0.001f, 0.001f), nullptr, &kBlack), Ok);
    EXPECT_EQ(empty.graphics.DrawString(u"", -1, &font, RectF(50, 50, 0, 0), nullptr, &kBlack), Ok);
    EXPECT_TRUE(empty.Ink().Empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));

    // Glyphs of many sizes and faces stay within the cache's byte bound.
    Canvas large(PixelFormat32bppPARGB, 1000, 1000);
    large.graphics.SetTextRenderingHint(TextRenderingHintAntiAlias);
    std::u16string all;
    for (char16_t ch = 0x21; ch < 0x17F; ++ch)
        if (ch < 0x7F || ch >= 0xA0) all += ch;
    for (const WCHAR* face : {u"DejaVu Sans", u"DejaVu Serif", u"Liberation Mono"})
        for (int size = 8; size <= 120; size += 8) {
            Font sized(face, REAL(size), FontStyleRegular, UnitPixel);
            for (REAL x : {0.0f, 0.25f, 0.5f, 0.75f})
                large.graphics.DrawString(all.c_str(), INT(all.size()), &sized, RectF(x, x, 1000, 1000), nullptr,
                                          &kBlack);
        }
    EXPECT_GT(GlyphCacheBytes(), kGlyphCacheBytes / 8);
    EXPECT_LE(GlyphCacheBytes(), kGlyphCacheBytes);
}

// Four threads drawing text on canvases of their own each draw what one thread alone draws.
TEST(TextLayout, ThreadsDrawTextOnTheirOwnCanvases)
{
    Font font(u"DejaVu Sans", 18, FontStyleRegular, UnitPixel);
    Canvas alone;
    for (int i = 0; i < 20; ++i) alone.graphics.DrawString(u"Threads 0123", -1, &font, PointF(10, 10), &kBlack);
    const InkBox expected = alone.Ink();
    std::vector<InkBox> drawn(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < drawn.size(); ++t)
        threads.emplace_back([&, t] {
            Canvas own;
            for (int i = 0; i < 20; ++i) own.graphics.DrawString(u"Threads 0123", -1, &font, PointF(10, 10), &kBlack);
            drawn[t] = own.Ink();
        });
    for (std::thread& thread : threads) thread.join();
    for (const InkBox& ink : drawn) pictor_test::ExpectSameInk(ink, expected, 0);
}
