// The string format's layout rules laid out by the layer (platform/gdiplus/text) as GDI+ lays them out:
// right-to-left text, trimming with an ellipsis, tab stops and hotkey prefixes, each seen both in what
// DrawString paints and in what MeasureString and MeasureCharacterRanges report.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "TextTestSupport.h"

using namespace Gdiplus;

namespace {

using Canvas = pictor_test::TextCanvas;
using pictor_test::InkBox;
using pictor_test::Measure;

const SolidBrush kBlack(Color(255, 0, 0, 0));

// The box of each character's cell, by MeasureCharacterRanges; empty for a character not laid out.
std::vector<RectF> Cells(Graphics& g, const std::u16string& text, const Font& font, const RectF& layout,
                         const StringFormat& base)
{
    StringFormat format(&base);
    std::vector<CharacterRange> ranges;
    for (INT i = 0; i < INT(text.size()); ++i) ranges.emplace_back(i, 1);
    std::vector<RectF> cells(text.size());
    for (size_t first = 0; first < ranges.size(); first += 32) {
        const INT count = INT(std::min<size_t>(32, ranges.size() - first));
        EXPECT_EQ(format.SetMeasurableCharacterRanges(count, ranges.data() + first), Ok);
        std::vector<Region> regions(static_cast<size_t>(count));
        EXPECT_EQ(
            g.MeasureCharacterRanges(text.c_str(), INT(text.size()), &font, layout, &format, count, regions.data()),
            Ok);
        for (INT k = 0; k < count; ++k) regions[size_t(k)].GetBounds(&cells[first + size_t(k)], &g);
    }
    return cells;
}

}  // namespace

// Bidi runs (FriBidi): a Hebrew word in a Latin sentence reads right to left, its first letter rightmost;
// under DirectionRightToLeft a line's near side is the right edge (GDI+); the measured width does not
// depend on the direction.
TEST(TextFormat, RightToLeftTextIsOrderedAndAlignedAsGdiplusDoes)
{
    Canvas c;
    Font font(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
    const std::u16string mixed = u"go \u05E9\u05DC\u05D5\u05DD now";
    const RectF layout(10, 10, 380, 100);
    const std::vector<RectF> cells = Cells(c.graphics, mixed, font, layout, *StringFormat::GenericDefault());
    for (size_t i = 4; i < 7; ++i) EXPECT_LT(cells[i].X, cells[i - 1].X) << i;
    EXPECT_LT(cells[1].X, cells[6].X);
    EXPECT_GT(cells[8].X, cells[3].X);

    StringFormat rightToLeft(StringFormatFlagsDirectionRightToLeft);
    const RectF box = Measure(c.graphics, u"Latin", font, layout, &rightToLeft);
    EXPECT_NEAR(box.GetRight(), layout.GetRight(), 0.01);
    ASSERT_EQ(c.graphics.DrawString(u"Latin", -1, &font, layout, &rightToLeft, &kBlack), Ok);
    const InkBox ink = c.Ink();
    EXPECT_GT(ink.right, layout.GetRight() - 20 / 6.0f - 3);
    EXPECT_GE(ink.left, box.X);
    EXPECT_NEAR(Measure(c.graphics, mixed, font, layout, &rightToLeft).Width,
                Measure(c.graphics, mixed, font, layout).Width, 0.01);
}

// Vertical text (DirectionVertical): lines run top to bottom with Latin glyphs turned a quarter clockwise,
// each next line left of the last; MeasureString swaps the sides, and the ink lies inside its box.
TEST(TextFormat, VerticalTextRunsDownAndItsLinesLeftwards)
{
    Canvas c;
    Font font(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
    StringFormat vertical(StringFormatFlagsDirectionVertical);
    const RectF layout(100, 5, 200, 110);
    const std::u16string text = u"Vertical lines";
    const RectF across = Measure(c.graphics, text, font, RectF(0, 0, 110, 200));
    const RectF box = Measure(c.graphics, text, font, layout, &vertical);
    EXPECT_FLOAT_EQ(box.Width, across.Height);
    EXPECT_FLOAT_EQ(box.Height, across.Width);
    EXPECT_NEAR(box.GetRight(), layout.GetRight(), 0.01);
    ASSERT_EQ(c.graphics.DrawString(text.c_str(), -1, &font, layout, &vertical, &kBlack), Ok);
    const InkBox ink = c.Ink();
    ASSERT_FALSE(ink.Empty());
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left) / 3);
    EXPECT_GE(ink.left, box.X);
    EXPECT_LE(ink.right, box.GetRight());
    EXPECT_GE(ink.top, box.Y);
    EXPECT_LE(ink.bottom, box.GetBottom());
    // Two lines: the first ("Vertical") on the right, the second left of it.
    const std::vector<RectF> cells = Cells(c.graphics, text, font, layout, vertical);
    EXPECT_GT(cells[0].X, cells[9].X);
    EXPECT_LT(cells[0].Y, cells[3].Y);
    EXPECT_NEAR(cells[0].Width, box.Width / 2, 0.01);  // a line across
}

// Ellipsis trimming: an unwrapped line too long for its box ends with "…" after its last fitting
// character (drawn exactly as that prefix and "…" are) and fits the width; EllipsisWord stops at a word;
// EllipsisPath keeps the end of the string and drops its middle.
TEST(TextFormat, EllipsisTrimmingEndsTheLineWithAnEllipsis)
{
    Font font(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
    const std::u16string text = u"The quick brown fox jumps over the lazy dog";
    const RectF layout(10, 10, 200, 30);
    StringFormat trimmed(StringFormatFlagsNoWrap);
    trimmed.SetTrimming(StringTrimmingEllipsisCharacter);
    Canvas c, reference;
    INT fitted = 0;
    const RectF box = Measure(c.graphics, text, font, layout, &trimmed, &fitted);
    EXPECT_LE(box.Width, layout.Width);
    ASSERT_GT(fitted, 0);
    ASSERT_LT(fitted, INT(text.size()));
    ASSERT_EQ(c.graphics.DrawString(text.c_str(), -1, &font, layout, &trimmed, &kBlack), Ok);
    const std::u16string shown = text.substr(0, size_t(fitted)) + u"\u2026";
    reference.graphics.DrawString(shown.c_str(), -1, &font, layout, StringFormat::GenericDefault(), &kBlack);
    EXPECT_TRUE(c.SamePixels(reference));
    const InkBox ink = c.Ink();
    EXPECT_LE(ink.right, layout.GetRight());
    EXPECT_GT(ink.right, layout.GetRight() - 30);

    trimmed.SetTrimming(StringTrimmingEllipsisWord);
    Measure(c.graphics, text, font, layout, &trimmed, &fitted);
    EXPECT_EQ(text[size_t(fitted)], u' ');

    const std::u16string path = u"C:\\Documents\\Projects\\Pictures\\holiday.png";
    trimmed.SetTrimming(StringTrimmingEllipsisPath);
    EXPECT_LE(Measure(c.graphics, path, font, layout, &trimmed).Width, layout.Width);
    const std::vector<RectF> cells = Cells(c.graphics, path, font, layout, trimmed);
    EXPECT_GT(cells[0].Width, 0);                // the start
    EXPECT_EQ(cells[path.size() / 2].Width, 0);  // the middle, dropped
    EXPECT_GT(cells.back().Width, 0);            // the end
    EXPECT_LE(cells.back().GetRight(), layout.GetRight());
}

// Tab stops count from the line's start after the padding: the first at the offset plus the first
// distance, each next one the next distance further.
TEST(TextFormat, TabsMoveThePenToTheNextStop)
{
    Canvas c;
    Font font(u"DejaVu Sans", 16, FontStyleRegular, UnitPixel);
    const RectF layout(20, 10, 360, 100);
    const REAL distances[] = {100, 50};
    StringFormat format;
    ASSERT_EQ(format.SetTabStops(10, 2, distances), Ok);
    const std::u16string text = u"a\tb\tc\td";
    const std::vector<RectF> cells = Cells(c.graphics, text, font, layout, format);
    const float start = layout.X + 16 / 6.0f;
    EXPECT_NEAR(cells[2].X, start + 110, 0.01);
    EXPECT_NEAR(cells[4].X, start + 160, 0.01);
    EXPECT_NEAR(cells[6].X, start + 210, 0.01);
    EXPECT_NEAR(Measure(c.graphics, text, font, layout, &format).GetRight(), cells[6].GetRight() + 16 / 6.0f, 0.01);

    // Drawn, the "b" starts at its stop.
    ASSERT_EQ(c.graphics.DrawString(u"\tb", -1, &font, layout, &format, &kBlack), Ok);
    const InkBox ink = c.Ink();
    EXPECT_NEAR(ink.left, start + 110, 3);
}

// Hotkey prefixes: Hide drops "&" ("&&" is one "&"), Show also underlines the character after it, None
// draws "&" as it is.
TEST(TextFormat, HotkeyPrefixesAreDroppedAndShown)
{
    Font font(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
    Canvas hidden, shown, plain;
    StringFormat hide, show;
    hide.SetHotkeyPrefix(HotkeyPrefixHide);
    show.SetHotkeyPrefix(HotkeyPrefixShow);
    const RectF point(20, 20, 0, 0);
    const float file = Measure(plain.graphics, u"File", font, point).Width;
    INT fitted = 0;
    EXPECT_FLOAT_EQ(Measure(plain.graphics, u"&File", font, point, &hide, &fitted).Width, file);
    EXPECT_EQ(fitted, 5);
    EXPECT_FLOAT_EQ(Measure(plain.graphics, u"&File", font, point, &show).Width, file);
    EXPECT_GT(Measure(plain.graphics, u"&File", font, point).Width, file);
    EXPECT_FLOAT_EQ(Measure(plain.graphics, u"A&&B", font, point, &hide).Width,
                    Measure(plain.graphics, u"A&B", font, point).Width);

    ASSERT_EQ(hidden.graphics.DrawString(u"&File", -1, &font, PointF(20, 20), &hide, &kBlack), Ok);
    ASSERT_EQ(shown.graphics.DrawString(u"&File", -1, &font, PointF(20, 20), &show, &kBlack), Ok);
    plain.graphics.DrawString(u"File", -1, &font, PointF(20, 20), nullptr, &kBlack);
    EXPECT_TRUE(hidden.SamePixels(plain));
    // The underline lies below the letters' ink, under the "F" only.
    const InkBox letters = hidden.Ink();
    const InkBox underline = shown.Ink(letters.bottom + 1, 120);
    ASSERT_FALSE(underline.Empty());
    EXPECT_LT(underline.top, letters.bottom + 6);
    EXPECT_LE(underline.left, letters.left + 2);
    EXPECT_LT(underline.right, letters.left + 14);
}

// Hostile strings through the new rules end quickly: a million tabs (past the last stop, whose distance
// repeats), a million right-to-left letters with hotkey prefixes, a million characters trimmed with an
// ellipsis and laid out vertically, tab distances of no size.
TEST(TextFormat, HostileFormattedTextEndsQuickly)
{
    const auto started = std::chrono::steady_clock::now();
    Canvas c;
    Font font(u"DejaVu Sans", 16, FontStyleRegular, UnitPixel);
    const RectF layout(0, 0, 400, 120);
    StringFormat tabs(StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
    const REAL distances[] = {40};
    tabs.SetTabStops(0, 1, distances);
    std::u16string million(1000000, u'\t');
    million.back() = u'x';  // trailing spaces and tabs are not measured
    EXPECT_NEAR(Measure(c.graphics, million, font, RectF(), &tabs).Width, 40e6f, 40e6f * 1e-3f);

    StringFormat mixed(StringFormatFlagsDirectionRightToLeft);
    mixed.SetHotkeyPrefix(HotkeyPrefixShow);
    std::u16string hebrew;
    for (int i = 0; i < 250000; ++i) hebrew += u"&\u05D0\u05D1 ";
    EXPECT_EQ(c.graphics.DrawString(hebrew.c_str(), INT(hebrew.size()), &font, layout, &mixed, &kBlack), Ok);

    StringFormat trimmed(StringFormatFlagsDirectionVertical);
    trimmed.SetTrimming(StringTrimmingEllipsisPath);
    const std::u16string letters(1000000, u'x');
    EXPECT_EQ(c.graphics.DrawString(letters.c_str(), INT(letters.size()), &font, layout, &trimmed, &kBlack), Ok);

    const REAL none[] = {0, -5};
    tabs.SetTabStops(0, 2, none);
    EXPECT_GT(Measure(c.graphics, u"a\tb", font, RectF(), &tabs).Width, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}
