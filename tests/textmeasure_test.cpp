// Text measured as GDI+ measures it (the values Windows gives), and the common Windows face names found
// among the installed fonts.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "TextTestSupport.h"

using namespace Gdiplus;
using pictor_test::Measure;
using pictor_test::Surface;

// Windows faces without a metric-compatible free family are found as the nearest installed face, draw
// and measure as it, and still report the name asked for.
TEST(TextMeasure, WindowsFaceNamesFindTheNearestInstalledFace)
{
    const struct {
        const WCHAR* windows;
        const WCHAR* nearest;
    } faces[] = {{u"Lucida Console", u"DejaVu Sans Mono"},
                 {u"Consolas", u"Liberation Mono"},
                 {u"Tahoma", u"DejaVu Sans"},
                 {u"Segoe UI", u"DejaVu Sans"},
                 {u"Verdana", u"DejaVu Sans"},
                 {u"Malgun Gothic", u"NanumGothic"}};
    Surface s;
    for (const auto& face : faces) {
        FontFamily windows(face.windows), nearest(face.nearest);
        ASSERT_TRUE(windows.IsAvailable()) << std::string(face.windows, face.windows + 3);
        WCHAR name[LF_FACESIZE] = {};
        EXPECT_EQ(windows.GetFamilyName(name), Ok);
        EXPECT_EQ(std::u16string(name), std::u16string(face.windows));
        Font asked(&windows, 20, FontStyleRegular, UnitPixel), drawn(&nearest, 20, FontStyleRegular, UnitPixel);
        const WCHAR text[] = u"Mill 가나";
        EXPECT_FLOAT_EQ(Measure(s.graphics, text, asked, RectF()).Width,
                        Measure(s.graphics, text, drawn, RectF()).Width);
    }
    // The monospace stand-ins keep one advance for every character, as Lucida Console and Consolas do.
    Font lucida(u"Lucida Console", 20, FontStyleRegular, UnitPixel);
    EXPECT_FLOAT_EQ(Measure(s.graphics, u"iiiiiiii", lucida, RectF(), StringFormat::GenericTypographic()).Width,
                    Measure(s.graphics, u"MMMMMMMM", lucida, RectF(), StringFormat::GenericTypographic()).Width);
}

// Windows measures "A01" (Tahoma, 20 px, unwrapped) into an empty layout as 3 characters on 1 line, and
// into half its width as the first character alone, as wide as "A" measured by itself; the same holds for
// a layout just short of the whole width (2 characters). A layout with an empty side is unbounded along it.
TEST(TextMeasure, EmptyLayoutIsUnboundedUnwrappedLinesStopAtTheWidthAndNonFiniteLayoutsAreRefused)
{
    Surface s;
    Font font(u"Tahoma", 20, FontStyleRegular, UnitPixel);
    StringFormat noWrap(StringFormatFlagsNoWrap);
    INT chars = -1, lines = -1;
    const RectF whole = Measure(s.graphics, u"A01", font, RectF(), &noWrap, &chars, &lines);
    EXPECT_EQ(std::pair(chars, lines), std::pair(3, 1));
    const RectF first = Measure(s.graphics, u"A", font, RectF(), &noWrap, &chars, &lines);
    EXPECT_EQ(std::pair(chars, lines), std::pair(1, 1));
    EXPECT_LT(first.Width, whole.Width / 2);
    EXPECT_FLOAT_EQ(first.Height, whole.Height);
    const RectF two = Measure(s.graphics, u"A0", font, RectF(), &noWrap);

    RectF cut = Measure(s.graphics, u"A01", font, RectF(0, 0, whole.Width / 2, 0), &noWrap, &chars, &lines);
    EXPECT_EQ(std::pair(chars, lines), std::pair(1, 1));
    EXPECT_NEAR(cut.Width, first.Width, 0.01);
    EXPECT_FLOAT_EQ(cut.Height, whole.Height);
    cut = Measure(s.graphics, u"A01", font, RectF(0, 0, whole.Width - 0.05f, whole.Height), &noWrap, &chars, &lines);
    EXPECT_EQ(chars, 2);
    EXPECT_NEAR(cut.Width, two.Width, 0.01);

    // Told not to clip, the line's box runs on past the width.
    StringFormat noWrapNoClip(StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
    cut = Measure(s.graphics, u"A01", font, RectF(0, 0, whole.Width / 2, 0), &noWrapNoClip);
    EXPECT_FLOAT_EQ(cut.Width, whole.Width);

    // Wrapped text into an empty layout: "MM M" and "M" on their 2 lines, all 6 units fitted.
    Measure(s.graphics, u"MM M\nM", font, RectF(), nullptr, &chars, &lines);
    EXPECT_EQ(std::pair(chars, lines), std::pair(6, 2));
    // A null box is refused, as in GDI+.
    EXPECT_EQ(s.graphics.MeasureString(u"A01", -1, &font, RectF(), &noWrap, nullptr), InvalidParameter);

    // A layout with NaN anywhere or an infinite corner is refused (InvalidParameter) by MeasureString,
    // DrawString and MeasureCharacterRanges; an infinite width or height sets no limit, as an empty one does.
    // A character range reaching past the string is refused too (GDI+).
    Surface surface;
    Font sans(u"DejaVu Sans", 12, FontStyleRegular, UnitPixel);
    const SolidBrush black(Color(255, 0, 0, 0));
    const WCHAR text[] = u"Some words here";
    const REAL nan = std::numeric_limits<REAL>::quiet_NaN(), inf = std::numeric_limits<REAL>::infinity();
    const CharacterRange inside[] = {{0, 4}};
    StringFormat format;
    ASSERT_EQ(format.SetMeasurableCharacterRanges(1, inside), Ok);
    Region region;
    for (const RectF& bad : {RectF(nan, 0, 50, 50), RectF(0, 0, nan, 50), RectF(0, 0, 50, nan), RectF(inf, 0, 0, 0),
                             RectF(0, -inf, 0, 0)}) {
        RectF box;
        EXPECT_EQ(surface.graphics.MeasureString(text, -1, &sans, bad, &format, &box), InvalidParameter);
        EXPECT_EQ(surface.graphics.DrawString(text, -1, &sans, bad, &format, &black), InvalidParameter);
        EXPECT_EQ(surface.graphics.MeasureCharacterRanges(text, -1, &sans, bad, &format, 1, &region), InvalidParameter);
    }
    const RectF unbounded = Measure(surface.graphics, text, sans, RectF(5, 5, 0, 0));
    for (const RectF& open : {RectF(5, 5, inf, 0), RectF(5, 5, 0, inf), RectF(5, 5, inf, inf), RectF(5, 5, -inf, 0)}) {
        const RectF box = Measure(surface.graphics, text, sans, open);
        EXPECT_EQ(std::tie(box.X, box.Y, box.Width, box.Height),
                  std::tie(unbounded.X, unbounded.Y, unbounded.Width, unbounded.Height));
    }

    const CharacterRange past[] = {{0, 4}, {10, 6}};
    ASSERT_EQ(format.SetMeasurableCharacterRanges(2, past), Ok);
    Region regions[2];
    EXPECT_EQ(surface.graphics.MeasureCharacterRanges(text, 15, &sans, RectF(), &format, 2, regions), InvalidParameter);
    EXPECT_EQ(surface.graphics.MeasureCharacterRanges(text, 16, &sans, RectF(), &format, 2, regions), Ok);
}

// Windows lays "MM M\nM" (Tahoma, 10 px) out with each measured range in a region of its own; laid out
// narrower (cut after the first space) and a line and a half high, the range on the line beyond the
// height is empty. Fewer regions than ranges are refused.
TEST(TextMeasure, CharacterRangesAreMeasuredAsRegions)
{
    Surface s;
    Font font(u"Tahoma", 10, FontStyleRegular, UnitPixel);
    const WCHAR text[] = u"MM M\nM";
    const CharacterRange ranges[] = {{0, 1}, {1, 3}, {5, 1}};
    StringFormat format;
    ASSERT_EQ(format.SetMeasurableCharacterRanges(3, ranges), Ok);
    EXPECT_EQ(format.GetMeasurableCharacterRangeCount(), 3);
    Region regions[3];
    EXPECT_EQ(s.graphics.MeasureCharacterRanges(text, 6, &font, RectF(0, 0, 100, 100), &format, 2, regions),
              InvalidParameter);
    ASSERT_EQ(s.graphics.MeasureCharacterRanges(text, 6, &font, RectF(0, 0, 100, 100), &format, 3, regions), Ok);
    RectF first, middle, last;
    regions[0].GetBounds(&first, &s.graphics);
    regions[1].GetBounds(&middle, &s.graphics);
    regions[2].GetBounds(&last, &s.graphics);
    EXPECT_GT(first.Width, 0);
    EXPECT_NEAR(middle.X, first.GetRight(), 0.5);  // the second M starts where the first ends
    EXPECT_NEAR(last.X, first.X, 0.5);             // the last M starts the second line
    EXPECT_GT(last.Y, first.Y);

    // An empty layout is unbounded: every range is laid out.
    ASSERT_EQ(s.graphics.MeasureCharacterRanges(text, 6, &font, RectF(), &format, 3, regions), Ok);
    for (Region& region : regions) EXPECT_FALSE(region.IsEmpty(&s.graphics));

    const RectF one = Measure(s.graphics, u"M", font, RectF()), two = Measure(s.graphics, u"MM", font, RectF());
    const RectF narrow(0, 0, one.Width + (two.Width - one.Width) * 2.1f, one.Height * 1.5f);
    ASSERT_EQ(s.graphics.MeasureCharacterRanges(text, 6, &font, narrow, &format, 3, regions), Ok);
    EXPECT_EQ((std::vector<bool>{regions[0].IsEmpty(&s.graphics) != FALSE, regions[1].IsEmpty(&s.graphics) != FALSE,
                                 regions[2].IsEmpty(&s.graphics) != FALSE}),
              (std::vector<bool>{false, false, true}));
}
