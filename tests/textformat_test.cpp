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
using pictor_test::ExpectInkInside;
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
TEST(TextFormat, VerticalTextRunsDownItsLinesLeftwardsAndHangulUpright)
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
    ExpectInkInside(ink, box);
    // Two lines: the first ("Vertical") on the right, the second left of it.
    const std::vector<RectF> cells = Cells(c.graphics, text, font, layout, vertical);
    EXPECT_GT(cells[0].X, cells[9].X);
    EXPECT_LT(cells[0].Y, cells[3].Y);
    EXPECT_NEAR(cells[0].Width, box.Width / 2, 0.01);  // a line across

    // Hangul (and Han, kana) is set upright, as GDI+ does: a flat jamo keeps its flat ink, as wide as drawn
    // across, where a turned one would stand; its glyphs follow each other downwards, so the string's ink is
    // taller than wide; Latin in the same line is still turned.
    Font nanum(u"NanumGothic", 24, FontStyleRegular, UnitPixel);
    Canvas flatCanvas, down;
    ASSERT_EQ(flatCanvas.graphics.DrawString(u"\u3161", -1, &nanum, PointF(20, 20), &kBlack), Ok);
    ASSERT_EQ(down.graphics.DrawString(u"\u3161", -1, &nanum, layout, &vertical, &kBlack), Ok);
    const InkBox flat = flatCanvas.Ink(), upright = down.Ink();
    ASSERT_FALSE(upright.Empty());
    EXPECT_GT(flat.right - flat.left, 3 * (flat.bottom - flat.top));
    EXPECT_NEAR(upright.right - upright.left, flat.right - flat.left, 1);
    EXPECT_NEAR(upright.bottom - upright.top, flat.bottom - flat.top, 1);

    Canvas word;
    const std::u16string hangul = u"\uD55C\uAD6D\uC5B4";
    ASSERT_EQ(word.graphics.DrawString(hangul.c_str(), -1, &nanum, layout, &vertical, &kBlack), Ok);
    const InkBox stacked = word.Ink();
    EXPECT_GT(stacked.bottom - stacked.top, 2 * (stacked.right - stacked.left));
    const RectF hangulBox = Measure(word.graphics, hangul, nanum, layout, &vertical);
    EXPECT_GE(stacked.top, hangulBox.Y);
    EXPECT_LE(stacked.bottom, hangulBox.GetBottom());

    // "ㅡ" upright (flat ink in its cell's rows), then "-" turned (standing ink in its rows).
    Canvas mixed;
    const std::u16string mixedText = u"\u3161\u3161--";
    ASSERT_EQ(mixed.graphics.DrawString(mixedText.c_str(), -1, &nanum, layout, &vertical, &kBlack), Ok);
    const std::vector<RectF> mixedCells = Cells(mixed.graphics, mixedText, nanum, layout, vertical);
    const InkBox jamo = mixed.Ink(int(mixedCells[0].Y), int(mixedCells[0].GetBottom()));
    const InkBox dash = mixed.Ink(int(mixedCells[2].Y), int(mixedCells[3].GetBottom()));
    ASSERT_FALSE(jamo.Empty());
    ASSERT_FALSE(dash.Empty());
    EXPECT_GT(jamo.right - jamo.left, jamo.bottom - jamo.top);
    EXPECT_GT(dash.bottom - dash.top, dash.right - dash.left);
}

// A character no installed face has is GDI+'s missing-glyph box from the font's face: measured like any
// glyph, drawn inside its box, and the same box for every such character (the engine drew each one's
// code in hex).
TEST(TextFormat, CharacterNoFaceHasDrawsTheMissingGlyphBox)
{
    Font font(u"DejaVu Sans", 24, FontStyleRegular, UnitPixel);
    Canvas first, second;
    const RectF plain = Measure(first.graphics, u"ab", font, RectF());
    const RectF withBox = Measure(first.graphics, u"a\U000F0000b", font, RectF());
    EXPECT_GT(withBox.Width, plain.Width + 4);
    EXPECT_FLOAT_EQ(withBox.Height, plain.Height);
    ASSERT_EQ(first.graphics.DrawString(u"\U000F0000", -1, &font, PointF(10, 10), &kBlack), Ok);
    ASSERT_EQ(second.graphics.DrawString(u"\U000F0001", -1, &font, PointF(10, 10), &kBlack), Ok);
    const RectF box = Measure(first.graphics, u"\U000F0000", font, RectF(10, 10, 0, 0));
    const InkBox ink = first.Ink();
    ASSERT_FALSE(ink.Empty());
    ExpectInkInside(ink, box);
    EXPECT_TRUE(first.SamePixels(second));

    // Under NoFontFallback a character the font's face lacks is that face's missing glyph too.
    StringFormat noFallback(StringFormatFlagsNoFontFallback);
    Canvas hangul, missing;
    ASSERT_EQ(hangul.graphics.DrawString(u"a\uD55Cb", -1, &font, PointF(10, 10), &noFallback, &kBlack), Ok);
    ASSERT_EQ(missing.graphics.DrawString(u"a\U000F0000b", -1, &font, PointF(10, 10), &kBlack), Ok);
    EXPECT_TRUE(hangul.SamePixels(missing));
}

// An underlined or struck-out font draws its face's line under or through each line's measured width,
// which starts after GenericDefault's padding of a sixth of the em.
TEST(TextFormat, UnderlineAndStrikeoutRunUnderTheMeasuredLine)
{
    const std::u16string text = u"Hello";
    for (const INT style : {FontStyleUnderline, FontStyleStrikeout}) {
        Font plainFont(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
        Font font(u"DejaVu Sans", 20, style, UnitPixel);
        Canvas plain, lined;
        ASSERT_EQ(plain.graphics.DrawString(text.c_str(), -1, &plainFont, PointF(20, 20), &kBlack), Ok);
        ASSERT_EQ(lined.graphics.DrawString(text.c_str(), -1, &font, PointF(20, 20), &kBlack), Ok);
        const RectF box = Measure(lined.graphics, text, font, RectF(20, 20, 0, 0));
        // The row where the line lies: far more dark pixels than without it.
        auto dark = [](Canvas& c, int y) {
            int count = 0;
            for (int x = 0; x < 400; ++x) count += pictor_test::Channel(pictor_test::PixelOf(c.bitmap, x, y), 8) < 160;
            return count;
        };
        int row = -1;
        for (int y = 0; y < 120 && row < 0; ++y)
            if (dark(lined, y) > dark(plain, y) + 20) row = y;
        ASSERT_GE(row, 0) << style;
        const InkBox line = lined.Ink(row, row + 1);
        EXPECT_NEAR(line.left, box.X + 20 / 6.0f, 1) << style;
        EXPECT_NEAR(line.right + 1, box.GetRight() - 20 / 6.0f, 1) << style;
    }
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
// distance, each next one the next distance further. In a paragraph that wraps, tabs count from their own
// line's start, a line breaks before a tab whose stop lies past the right edge, every line stays inside
// the rectangle, and MeasureString's box holds the drawn ink.
TEST(TextFormat, TabsMoveThePenToTheNextStopInEveryLine)
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
    Canvas drawn;
    ASSERT_EQ(drawn.graphics.DrawString(u"\tb", -1, &font, layout, &format, &kBlack), Ok);
    EXPECT_NEAR(drawn.Ink().left, start + 110, 3);

    // Without tab stops a tab moves the pen to the next multiple of eight widths of a space from the line's
    // start (the engine's choice; GDI+ records none).
    StringFormat plain;
    const float space = Cells(c.graphics, u"a b", font, layout, plain)[1].Width;
    ASSERT_GT(space, 0);
    const std::vector<RectF> spaced = Cells(c.graphics, u"ab\tc\t\td", font, layout, plain);
    EXPECT_NEAR(spaced[3].X, start + 8 * space, 0.01);
    EXPECT_NEAR(spaced[6].X, start + 24 * space, 0.01);

    const REAL sixty[] = {60};
    StringFormat stops;
    ASSERT_EQ(stops.SetTabStops(0, 1, sixty), Ok);
    const RectF narrow(20, 10, 100, 100);
    const std::u16string words = u"abc\tdef\tghi";
    const std::vector<RectF> wrapped = Cells(c.graphics, words, font, narrow, stops);
    EXPECT_NEAR(wrapped[4].X, start + 60, 0.01);  // "def" at the first stop of the first line
    EXPECT_NEAR(wrapped[8].X, start + 60, 0.01);  // the tab before "ghi" starts the second line
    EXPECT_GT(wrapped[8].Y, wrapped[4].Y);
    INT lines = 0;
    EXPECT_LE(Measure(c.graphics, words, font, narrow, &stops, nullptr, &lines).GetRight(), narrow.GetRight() + 0.01);
    EXPECT_EQ(lines, 2);
    for (const RectF& cell : wrapped) {
        if (cell.Width <= 0) continue;
        EXPECT_GE(cell.X, narrow.X);
        EXPECT_LE(cell.GetRight(), narrow.GetRight() + 0.01);
    }
    const std::u16string paragraph = u"one\ttwo three\tfour\tfive six\tseven eight\tnine";
    ASSERT_EQ(c.graphics.DrawString(paragraph.c_str(), -1, &font, narrow, &plain, &kBlack), Ok);
    const RectF measured = Measure(c.graphics, paragraph, font, narrow, &plain, nullptr, &lines);
    EXPECT_GT(lines, 2);
    const InkBox ink = c.Ink();
    ASSERT_FALSE(ink.Empty());
    ExpectInkInside(ink, measured);
    EXPECT_LE(measured.GetRight(), narrow.GetRight() + 0.01);
}

// Text cut by the rectangle's height, as Windows measures it (Wine's and libgdiplus's recorded values):
// line feeds count among the characters fitted, a final one starts no line; a line shown in part counts
// unless LineLimit, and the box then keeps to the rectangle's height; a hidden line's range is empty.
TEST(TextFormat, OverflowingTextMeasuresWhatIsShown)
{
    Canvas c;
    Font font(u"DejaVu Sans", 10, FontStyleRegular, UnitPixel);
    const RectF big(5, 5, 200, 200);
    INT fitted = 0, lines = 0;
    Measure(c.graphics, u"M\n", font, big, nullptr, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(2, 1));
    Measure(c.graphics, u"M\n\nM", font, big, nullptr, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(4, 3));
    const RectF one = Measure(c.graphics, u"M\n", font, big);
    Measure(c.graphics, u"M\n\n", font, one, nullptr, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(2, 1));

    const RectF shorter(one.X, one.Y, one.Width, one.Height * 0.9f);
    StringFormat limited(StringFormatFlagsLineLimit);
    Measure(c.graphics, u"M\n", font, shorter, &limited, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(0, 0));
    Measure(c.graphics, u"M\n", font, shorter, nullptr, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(2, 1));

    StringFormat unwrapped(StringFormatFlagsNoWrap);
    const RectF whole = Measure(c.graphics, u"A01", font, RectF(), &unwrapped);
    const RectF half = Measure(c.graphics, u"A01", font, RectF(0, 0, 0, whole.Height / 2), &unwrapped, &fitted, &lines);
    EXPECT_EQ(std::pair(fitted, lines), std::pair(3, 1));
    EXPECT_FLOAT_EQ(half.Width, whole.Width);
    EXPECT_FLOAT_EQ(half.Height, whole.Height / 2);

    const std::vector<RectF> cells =
        Cells(c.graphics, u"ab\ncd\nef", font, RectF(5, 5, 200, one.Height * 1.5f), StringFormat());
    EXPECT_GT(cells[3].Width, 0);  // the second line, shown in part
    EXPECT_EQ(cells[6].Width, 0);  // the third, not shown
}

// Page units, as Windows measures them (Wine's recorded values): a font in pixels is sized in world units,
// so it measures the same under any page unit and scale; one in points keeps its size on the device, so
// its box in page units times the page's pixels per unit is the box in pixels. Drawn under millimetres,
// the text lands on the pixels it covers under a pixel page.
TEST(TextFormat, PageUnitsScaleTextAsGdiplusDoes)
{
    Canvas c, pixels;
    const REAL dpi = c.graphics.GetDpiY();
    ASSERT_GT(dpi, 0);
    const std::u16string text = u"1234567";
    Font pointFont(u"DejaVu Sans", 12, FontStyleRegular, UnitPoint);
    Font pixelFont(u"DejaVu Sans", 20, FontStyleRegular, UnitPixel);
    const RectF inPixels = Measure(c.graphics, text, pointFont, RectF());
    const RectF pixelBox = Measure(c.graphics, text, pixelFont, RectF());
    ASSERT_EQ(c.graphics.SetPageUnit(UnitInch), Ok);
    ASSERT_EQ(c.graphics.SetPageScale(0.5f), Ok);
    const RectF inInches = Measure(c.graphics, text, pointFont, RectF());
    EXPECT_NEAR(inInches.Height * dpi * 0.5f, inPixels.Height, inPixels.Height / 100);
    EXPECT_NEAR(inInches.Width * dpi * 0.5f, inPixels.Width, inPixels.Width / 100);
    const RectF pixelFontInInches = Measure(c.graphics, text, pixelFont, RectF());
    EXPECT_NEAR(pixelFontInInches.Width, pixelBox.Width, 0.01);
    EXPECT_NEAR(pixelFontInInches.Height, pixelBox.Height, 0.01);

    ASSERT_EQ(c.graphics.SetPageScale(1.0f), Ok);
    ASSERT_EQ(c.graphics.SetPageUnit(UnitMillimeter), Ok);
    const REAL perMillimetre = dpi / 25.4f;
    ASSERT_EQ(
        c.graphics.DrawString(text.c_str(), -1, &pointFont, PointF(40 / perMillimetre, 30 / perMillimetre), &kBlack),
        Ok);
    ASSERT_EQ(pixels.graphics.DrawString(text.c_str(), -1, &pointFont, PointF(40, 30), &kBlack), Ok);
    const InkBox paged = c.Ink(), plain = pixels.Ink();
    ASSERT_FALSE(plain.Empty());
    pictor_test::ExpectSameInk(paged, plain, 1);
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

    // Tabs without stops in a paragraph that wraps; distinct Hangul syllables set upright.
    std::u16string wrappedTabs(1000000, u'\t');
    for (size_t i = 0; i < wrappedTabs.size(); i += 3) wrappedTabs[i] = u'x';
    EXPECT_GT(Measure(c.graphics, wrappedTabs, font, RectF(0, 0, 300, 100)).Width, 0);
    std::u16string syllables;
    for (int i = 0; i < 1000000; ++i) syllables += char16_t(0xAC00 + i % 11000);
    StringFormat upright(StringFormatFlagsDirectionVertical);
    EXPECT_EQ(c.graphics.DrawString(syllables.c_str(), INT(syllables.size()), &font, layout, &upright, &kBlack), Ok);

    const REAL none[] = {0, -5};
    tabs.SetTabStops(0, 2, none);
    EXPECT_GT(Measure(c.graphics, u"a\tb", font, RectF(), &tabs).Width, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}
