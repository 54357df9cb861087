// Text: the font rule, text at a point and in rectangles, measuring and outlined text, checked by where the
// ink lands. Glyph shapes belong to the font engine, so boxes are compared with small tolerances.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"

using pictor_test::Near;

namespace {

const Gdiplus::ARGB kWhite = 0xFFFFFFFF;
const CString kSans("DejaVu Sans");
const CString kUnknown("No Such Family 1234");

// The canvas's pixels read once, straight ARGB.
struct Snapshot {
    int width = 0, height = 0;
    std::vector<Gdiplus::ARGB> pixels;

    explicit Snapshot(CFxPictor& canvas)
        : width(canvas.m_nWidth), height(canvas.m_nHeight), pixels(pictor_test::AllPixels(*canvas.GetBitmap()))
    {
    }
    Gdiplus::ARGB At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The smallest box holding every pixel that is not the background (edges inclusive).
struct Ink {
    int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max(), right = -1, bottom = -1;
    int count = 0;
    bool Empty() const { return count == 0; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    // The box's edges moved out by the amounts given (negative: in).
    std::array<int, 4> Grown(int by = 0) const { return {left - by, top - by, right + by, bottom + by}; }
    std::array<int, 4> Moved(int by) const { return {left + by, top + by, right + by, bottom + by}; }
};

template <typename Pick>
Ink InkWhere(const Snapshot& shot, Pick pick)
{
    Ink ink;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            if (!pick(shot.At(x, y))) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

Ink InkOf(CFxPictor& canvas)
{
    return InkWhere(Snapshot(canvas), [](Gdiplus::ARGB c) { return !Near(c, kWhite, 40); });
}

// Pixels close to one colour only, to tell a text colour from its outline.
Ink InkOfColour(CFxPictor& canvas, Gdiplus::ARGB colour)
{
    return InkWhere(Snapshot(canvas), [colour](Gdiplus::ARGB c) { return Near(c, colour, 30); });
}

int Differing(CFxPictor& a, CFxPictor& b)
{
    Snapshot sa(a), sb(b);
    int count = 0;
    for (size_t i = 0; i < sa.pixels.size(); ++i) count += !Near(sa.pixels[i], sb.pixels[i], 8);
    return count;
}

// A white canvas wide enough for the mirror's fixed axis at x = 400.
struct Page : CFxPictor {
    Page(int w = 800, int h = 200) : CFxPictor(nullptr, w, h) { Clear(255, 255, 255, 255); }
};

bool IsIdentityTransform(CFxPictor& canvas)
{
    Gdiplus::Matrix world;
    canvas.m_pGraphics->GetTransform(&world);
    return world.IsIdentity();
}

// Ink pixels of the plain text that the other canvas lacks (and the reverse), over the plain text's box,
// the other read either mirrored about x = 400 or shifted to the same place, at its best offset of a pixel.
int Mismatch(CFxPictor& plain, CFxPictor& other, const Ink& box, bool reflected)
{
    Snapshot a(plain), b(other);
    const Ink otherBox = InkOf(other);
    int best = std::numeric_limits<int>::max();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int count = 0;
            for (int y = box.top; y <= box.bottom; ++y)
                for (int x = box.left; x <= box.right; ++x) {
                    const int ox = (reflected ? 799 - x : x - box.left + otherBox.left) + dx, oy = y + dy;
                    if (ox < 0 || ox >= b.width || oy < 0 || oy >= b.height) continue;
                    count += !Near(a.At(x, y), kWhite, 100) != !Near(b.At(ox, oy), kWhite, 100);
                }
            best = std::min(best, count);
        }
    return best;
}

void ExpectInside(const Ink& ink, int left, int top, int right, int bottom)
{
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, left);
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.right, right);
    EXPECT_LE(ink.bottom, bottom);
}

}  // namespace

TEST(TextFontRule, UnknownFamilyFallsBackToGenericSansAndNamedFamiliesAreUsed)
{
    Page generic, unknown, serif;
    generic.Text(10, 20, 24, Gdiplus::Color(0xFF000000), kSans, CString("Fallback Rule"));
    unknown.Text(10, 20, 24, Gdiplus::Color(0xFF000000), kUnknown, CString("Fallback Rule"));
    serif.Text(10, 20, 24, Gdiplus::Color(0xFF000000), CString("DejaVu Serif"), CString("Fallback Rule"));

    // The generic sans-serif family here is DejaVu Sans; a named family other than it draws otherwise.
    EXPECT_LT(Differing(unknown, generic), 10);
    EXPECT_GT(Differing(serif, generic), 100);
    EXPECT_EQ(unknown.GetTextSize(24, kUnknown, CString("Fallback Rule")),
              unknown.GetTextSize(24, kSans, CString("Fallback Rule")));

    // The size is in pixels and the style is honoured.
    CRect small = generic.GetTextSize(12, kSans, CString("Size"));
    CRect large = generic.GetTextSize(48, kSans, CString("Size"));
    EXPECT_GT(large.right, 3 * small.right);
    EXPECT_GT(generic.GetTextSize(24, kSans, CString("Bold text"), Gdiplus::FontStyleBold).right,
              generic.GetTextSize(24, kSans, CString("Bold text")).right);
}

TEST(TextAtPoint, PlainOverloadsAgreeAndInkLiesInTheMeasuredBox)
{
    Page bytes, colour, styled;
    bytes.Text(40, 30, 20, 255, 200, 0, 0, kSans, CString("Hello World"));
    colour.Text(40, 30, 20, Gdiplus::Color(255, 200, 0, 0), kSans, CString("Hello World"));
    styled.Text(40, 30, 20, Gdiplus::Color(255, 200, 0, 0), Gdiplus::FontStyleRegular, kSans, CString("Hello World"));
    EXPECT_EQ(Differing(bytes, colour), 0);
    EXPECT_EQ(Differing(bytes, styled), 0);

    const CRect size = bytes.GetTextSize(20, kSans, CString("Hello World"));
    ExpectInside(InkOf(bytes), 40, 30, 40 + size.right, 30 + size.bottom);
    // The ink fills most of the measured width: the measure describes this text, not any text.
    EXPECT_GT(InkOf(bytes).Width(), size.right * 3 / 4);
    // Glyph cores carry the brush's colour.
    EXPECT_GT(InkOfColour(bytes, 0xFFC80000).count, 50);
}

// The engine reports whole-pixel extents, so this checks the edges are the measured box's, from the origin.
TEST(TextAtPoint, GetTextSizeGivesTheMeasuredBoxFromTheOrigin)
{
    Page page;
    Gdiplus::FontFamily family(kSans.GetString());
    Gdiplus::Font font(&family, 17.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    const char* samples[] = {"a", "ab", "abc", "Wide", "Pictor", "x y z", "Measure me", "Hello World"};
    for (const char* sample : samples) {
        CString text(sample);
        Gdiplus::RectF box;
        page.m_pGraphics->MeasureString(text.GetString(), text.GetLength(), &font, Gdiplus::RectF(0, 0, 0, 0),
                                        nullptr, &box);
        const CRect size = page.GetTextSize(17, kSans, text);
        EXPECT_EQ(size, CRect(0, 0, static_cast<int>(box.X + box.Width), static_cast<int>(box.Y + box.Height)))
            << sample;
    }
    // A longer text measures wider; an empty one has no width.
    EXPECT_GT(page.GetTextSize(17, kSans, CString("abcabc")).right, page.GetTextSize(17, kSans, CString("abc")).right);
    EXPECT_EQ(page.GetTextSize(17, kSans, CString("")).right, 0);

    CFxPictor empty;
    EXPECT_EQ(empty.GetTextSize(17, kSans, CString("abc")), CRect(0, 0, 0, 0));
}

TEST(TextAtPoint, DropShadowLiesOnePixelDownAndRight)
{
    Page plain, shadowOnly, textOnly;
    plain.Text(50, 40, 22, 255, 0, 0, 0, kSans, CString("Shadow"));
    shadowOnly.Text(50, 40, 22, 0, 255, 0, 0, 255, 0, 0, 0, kSans, CString("Shadow"), 7);
    textOnly.Text(50, 40, 22, 255, 0, 0, 0, 0, 0, 0, 255, kSans, CString("Shadow"), 7);

    EXPECT_EQ(Differing(textOnly, plain), 0);
    const Ink text = InkOf(plain), shadow = InkOf(shadowOnly);
    EXPECT_EQ(shadow.Grown(), text.Moved(1));

    // Both together: the text colour over the shadow colour.
    Page both;
    both.Text(50, 40, 22, 255, 200, 0, 0, 255, 0, 0, 200, kSans, CString("Shadow"), 0);
    EXPECT_GT(InkOfColour(both, 0xFFC80000).count, 50);
    EXPECT_GT(InkOfColour(both, 0xFF0000C8).count, 20);
}

TEST(TextAtPoint, RotationTurnsTheInkAboutTheOriginOrThePivotAndLeavesTheIdentity)
{
    Page plain, zero, quarter;
    plain.Text(300, 60, 20, 255, 0, 0, 0, kSans, CString("Turned"));
    zero.Text(300, 60, 20, 255, 0, 0, 0, kSans, CString("Turned"), 0.0f);
    EXPECT_EQ(Differing(zero, plain), 0);

    // A quarter turn clockwise: the text runs down from the origin with its glyph tops facing right, so the
    // ink lies left of the origin and below it, as far down as the text was wide.
    quarter.MatrixTransform(1, 0, 0, 1, 100, 0);
    quarter.Text(300, 60, 20, Gdiplus::Color(0xFF000000), kSans, CString("Turned"), 90.0f);
    const Ink upright = InkOf(plain), turned = InkOf(quarter);
    ExpectInside(turned, 300 - 30, 60, 300, 60 + upright.right - 300 + 3);
    EXPECT_NEAR(turned.Height(), upright.Width(), 2);
    EXPECT_NEAR(turned.Width(), upright.Height(), 2);
    // The earlier translation was replaced: the identity is left behind, and later drawing is untransformed.
    EXPECT_TRUE(IsIdentityTransform(quarter));
    quarter.FillRect(0, 0, 4, 4, Gdiplus::Color(0xFF00FF00));
    EXPECT_EQ(pictor_test::PixelOf(quarter, 1, 1), 0xFF00FF00u);

    // 45 degrees: the ink falls away down and to the right of the origin.
    Page diagonal;
    diagonal.Text(300, 60, 20, 255, 0, 0, 0, kSans, CString("Turned"), 45.0f);
    const Ink slanted = InkOf(diagonal);
    EXPECT_GT(slanted.bottom - 60, upright.Width() / 2);
    EXPECT_NEAR(slanted.Width(), slanted.Height(), 12);

    // Plain text leaves a transform it found in place.
    Page kept;
    kept.MatrixTransform(1, 0, 0, 1, 5, 0);
    kept.Text(10, 10, 12, 255, 0, 0, 0, kSans, CString("kept"));
    EXPECT_FALSE(IsIdentityTransform(kept));

    // The pivot overload turns by the complement about the pivot: at 90 degrees it is upright there.
    Page atPivot, undone, pivotQuarter, aboutOrigin;
    atPivot.Text(200, 80, 20, 255, 0, 0, 0, kSans, CString("Pivot"));
    undone.MatrixTransform(1, 0, 0, 1, 30, 30);
    undone.Text(7, 9, 20, 255, 0, 0, 0, kSans, CString("Pivot"), 90.0f, 200, 80);
    EXPECT_EQ(Differing(undone, atPivot), 0);
    EXPECT_TRUE(IsIdentityTransform(undone));

    // Angle 0 turns a quarter clockwise, the same as the origin rotation by 90 at the pivot.
    pivotQuarter.Text(500, 5, 20, 255, 0, 0, 0, kSans, CString("Pivot"), 0.0f, 200, 80);
    aboutOrigin.Text(200, 80, 20, 255, 0, 0, 0, kSans, CString("Pivot"), 90.0f);
    EXPECT_EQ(Differing(pivotQuarter, aboutOrigin), 0);

    // Angle 180 turns it anticlockwise: the text runs up from the pivot.
    Page anticlockwise;
    anticlockwise.Text(0, 0, 20, 255, 0, 0, 0, kSans, CString("Pivot"), 180.0f, 200, 150);
    ExpectInside(InkOf(anticlockwise), 200, 150 - InkOf(atPivot).Width() - 10, 230, 150);
}


TEST(TextAtPoint, MirrorReflectsAboutTheFixedAxis)
{
    Page plain, notMirrored, mirrored;
    plain.Text(100, 50, 24, 255, 0, 0, 0, kSans, CString("Mirror"));
    notMirrored.Text(100, 50, 24, 255, 0, 0, 0, kSans, CString("Mirror"), 0, 3);
    EXPECT_EQ(Differing(notMirrored, plain), 0);

    mirrored.MatrixTransform(1, 0, 0, 1, 20, 0);
    mirrored.Text(100, 50, 24, 255, 0, 0, 0, kSans, CString("Mirror"), 1, 3);
    EXPECT_TRUE(IsIdentityTransform(mirrored));
    const Ink straight = InkOf(plain), reflected = InkOf(mirrored);
    // Column c of the plain text becomes column 799 - c: the text runs leftwards from x = 700.
    EXPECT_NEAR(reflected.right, 799 - straight.left, 1);
    EXPECT_NEAR(reflected.left, 799 - straight.right, 1);
    // Transformed glyphs are not hinted, so they may sit a pixel off.
    EXPECT_NEAR(reflected.top, straight.top, 1);
    EXPECT_NEAR(reflected.bottom, straight.bottom, 1);

    // The glyphs match the plain ones read right to left, far better than read left to right.
    const int inked = InkOf(plain).count;
    const int asReflection = Mismatch(plain, mirrored, straight, true);
    const int asCopy = Mismatch(plain, mirrored, straight, false);
    EXPECT_LT(asReflection, inked / 3);
    EXPECT_LT(asReflection * 2, asCopy);

    // The axis is fixed, not the canvas's middle.
    Page narrow(500, 120);
    narrow.Text(100, 20, 24, 255, 0, 0, 0, kSans, CString("Mirror"), 1, 0);
    EXPECT_TRUE(InkOf(narrow).Empty());
}

TEST(TextInRectangle, DefaultLayoutWrapsClipsStopsAtNulAndTurnsAboutThePivot)
{
    Page boxed;
    const CRect rect(20, 20, 140, 80);
    boxed.Text(rect, 16, 255, 0, 0, 0, kSans,
               CString("words that wrap onto further lines and beyond the bottom of the box"), 0.0f, 600, 150);
    const Ink ink = InkOf(boxed);
    ExpectInside(ink, 20, 20, 139, 79);
    EXPECT_GT(ink.Height(), 40);  // more than one line

    Page withNul, cut;
    withNul.Text(rect, 16, 255, 0, 0, 0, kSans, CString(u"AB\0CD", 5), -3.0f, 0, 0);
    cut.Text(rect, 16, 255, 0, 0, 0, kSans, CString("AB"), 0.0f, 0, 0);
    EXPECT_EQ(Differing(withNul, cut), 0);
    EXPECT_FALSE(InkOf(cut).Empty());

    Page notANumber;
    notANumber.Text(rect, 16, 255, 0, 0, 0, kSans, CString("AB"), std::numeric_limits<float>::quiet_NaN(), 300, 150);
    EXPECT_EQ(Differing(notANumber, cut), 0);

    // A positive angle turns the text about the pivot, ignoring the rectangle.
    Page upright, atPivot;
    upright.MatrixTransform(1, 0, 0, 1, 0, 40);
    upright.Text(CRect(0, 0, 100, 30), 20, 255, 0, 0, 0, kSans, CString("About"), 90.0f, 400, 100);
    atPivot.Text(400, 100, 20, 255, 0, 0, 0, kSans, CString("About"));
    EXPECT_EQ(Differing(upright, atPivot), 0);
    EXPECT_TRUE(IsIdentityTransform(upright));

    // Just above zero: turned by 89.999 degrees, about the same as a quarter turn.
    Page slight, quarter;
    slight.Text(CRect(0, 0, 100, 30), 20, 255, 0, 0, 0, kSans, CString("About"), 0.001f, 400, 100);
    quarter.Text(400, 100, 20, 255, 0, 0, 0, kSans, CString("About"), 90.0f);
    const Ink a = InkOf(slight), b = InkOf(quarter);
    EXPECT_NEAR(a.left, b.left, 1);
    EXPECT_NEAR(a.bottom, b.bottom, 1);
    EXPECT_LT(a.right, 401);
}


TEST(TextInRectangle, AlignedTextIsCentredVerticallyAndTextFarSitsBottomRight)
{
    const CRect rect(100, 40, 400, 160);
    const Gdiplus::Color black(0xFF000000);
    Page nearPage, centrePage, farPage, farEnd;
    nearPage.Text(rect, 20, black, Gdiplus::FontStyleRegular, Gdiplus::StringAlignmentNear, kSans, CString("Align"));
    centrePage.Text(rect, 20, black, Gdiplus::FontStyleBold, Gdiplus::StringAlignmentCenter, kSans, CString("Align"));
    farEnd.Text(rect, 20, black, Gdiplus::FontStyleRegular, Gdiplus::StringAlignmentFar, kSans, CString("Align"));
    farPage.TextFar(rect, 20, black, Gdiplus::FontStyleRegular, kSans, CString("Align"));

    const Ink left = InkOf(nearPage), centre = InkOf(centrePage), right = InkOf(farEnd), far = InkOf(farPage);
    const int middleY = (rect.top + rect.bottom) / 2, middleX = (rect.left + rect.right) / 2;
    EXPECT_NEAR(left.left, rect.left, 5);
    EXPECT_NEAR((left.top + left.bottom) / 2, middleY, 4);
    EXPECT_NEAR((centre.left + centre.right) / 2, middleX, 3);
    EXPECT_NEAR((centre.top + centre.bottom) / 2, middleY, 4);
    // GDI+ keeps a sixth of the em (3.3 pixels here) between far-aligned text and the rectangle's side.
    const int padded = rect.right - 20 / 6;
    EXPECT_NEAR(right.right, padded, 4);
    EXPECT_NEAR((right.top + right.bottom) / 2, middleY, 4);
    EXPECT_NEAR(far.right, padded, 4);
    // The line's box rests on the bottom edge; its descent lies below the glyphs of "Align"'s baseline.
    EXPECT_LE(far.bottom, rect.bottom);
    EXPECT_GE(far.bottom, rect.bottom - 6);
    // The aligned members draw the whole text and take the style: bold is wider.
    EXPECT_GT(centre.Width(), left.Width());
}

TEST(OutlinedText, PathOutlineShowsHalfThePenOutsideAndLeavesSmoothing)
{
    const Gdiplus::ARGB fill = 0xFFFFFF00, outline = 0xFF0000FF;
    Page thick, thin;
    thick.SetSmoothModeHighSpeed();
    thick.m_pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    thick.OutLineText(20, 20, 48, 6, 255, 255, 0, 0, 0, 255, kSans, CString("Hollow"));
    thin.OutLineText(20, 20, 48, 2, 255, 255, 0, 0, 0, 255, kSans, CString("Hollow"));

    const Ink all = InkOf(thick), inner = InkOfColour(thick, fill), thinAll = InkOf(thin);
    ASSERT_FALSE(inner.Empty());
    EXPECT_GT(InkOfColour(thick, outline).count, 200);
    // Three pixels of outline around the filled glyphs, where a 2-pixel pen shows one.
    EXPECT_NEAR(inner.left - all.left, 3, 1);
    EXPECT_NEAR(all.right - inner.right, 3, 1);
    EXPECT_NEAR(all.bottom - inner.bottom, 3, 1);
    EXPECT_NEAR(thinAll.left - all.left, 2, 1);
    EXPECT_EQ(thick.m_pGraphics->GetSmoothingMode(), Gdiplus::SmoothingModeAntiAlias);
    EXPECT_EQ(thick.m_pGraphics->GetInterpolationMode(), Gdiplus::InterpolationModeHighQualityBicubic);

    // A later shape is anti-aliased: a slanted line leaves partly covered pixels.
    Page later;
    later.SetSmoothModeHighSpeed();
    later.OutLineText(20, 20, 20, 2, 0, 0, 0, 0, 0, 0, kUnknown, CString("x"));
    later.Line(10, 100, 300, 130, 255, 0, 0, 0, 1.0f);
    Snapshot shot(later);
    int partial = 0;
    for (Gdiplus::ARGB c : shot.pixels) partial += !Near(c, kWhite, 10) && !Near(c, 0xFF000000, 10);
    EXPECT_GT(partial, 50);
    // The path form has no fallback: an unknown family draws nothing.
    Page unknown;
    unknown.OutLineText(20, 20, 48, 6, 255, 255, 0, 0, 0, 255, kUnknown, CString("Hollow"));
    EXPECT_TRUE(InkOf(unknown).Empty());
}

TEST(OutlinedText, OffsetPassesMakeAOnePixelOutline)
{
    Page plain, bolder, coloured, unknown;
    plain.SetSmoothModeHighSpeed();
    plain.Text(30, 30, 24, 255, 0, 0, 0, kSans, CString("Stamp"));
    bolder.SetSmoothModeHighSpeed();
    bolder.OutLineText(30, 30, 24, 0, 0, 0, 0, 0, 0, kSans, CString("Stamp"));
    const Ink thin = InkOf(plain), thick = InkOf(bolder);
    EXPECT_EQ(thick.Grown(), thin.Grown(1));
    EXPECT_GT(thick.count, thin.count * 3 / 2);
    EXPECT_EQ(bolder.m_pGraphics->GetSmoothingMode(), plain.m_pGraphics->GetSmoothingMode());

    coloured.OutLineText(30, 30, 24, 255, 255, 255, 200, 0, 0, kSans, CString("Stamp"));
    EXPECT_GT(InkOfColour(coloured, 0xFFC80000).count, 100);
    EXPECT_GT(InkOfColour(coloured, kWhite).count, 0);

    unknown.OutLineText(30, 30, 24, 0, 0, 0, 0, 0, 0, kUnknown, CString("Stamp"));
    EXPECT_LT(Differing(unknown, bolder), 10);
}

TEST(OutlinedText, TextFxChangesNothing)
{
    Page page, before;
    page.Text(10, 10, 20, 255, 0, 0, 0, kSans, CString("unchanged"));
    before.Text(10, 10, 20, 255, 0, 0, 0, kSans, CString("unchanged"));
    CRect rect(1, 2, 3, 4);
    const Gdiplus::Color c(0xFF123456);
    page.TextFx(10, 10, 200, 100, 2.5f, c, c, c, c, c, 1, 2, 3, 4, 5, 6, 7, 8, 9, Gdiplus::FontStyleBold, kSans,
                CString("effect"), rect);
    EXPECT_EQ(Differing(page, before), 0);
    EXPECT_EQ(rect, CRect(1, 2, 3, 4));
}

TEST(KoreanText, HangulRendersWithRealGlyphs)
{
    // Missing glyphs would all be the same box; real syllables differ from one another.
    Page ga, na, koreanName;
    ga.Text(10, 10, 40, 255, 0, 0, 0, CString("NanumGothic"), CString("가"));
    na.Text(10, 10, 40, 255, 0, 0, 0, CString("NanumGothic"), CString("나"));
    const Ink a = InkOf(ga), b = InkOf(na);
    ASSERT_FALSE(a.Empty());
    ASSERT_FALSE(b.Empty());
    EXPECT_GT(Differing(ga, na), 40);
    // The family is also found by its Korean name.
    koreanName.Text(10, 10, 40, 255, 0, 0, 0, CString("나눔고딕"), CString("가"));
    EXPECT_EQ(Differing(koreanName, ga), 0);

    const CRect wide = ga.GetTextSize(40, CString("NanumGothic"), CString("가나다라"));
    EXPECT_GT(wide.right, 4 * a.Width());
}

TEST(TextStrings, StandardUtf8StringsDrawAsTheirUtf16TextAndBadUnitsBecomeReplacements)
{
    Page fromLiteral, fromString, fromView;
    fromLiteral.Text(10, 10, 40, 255, 0, 0, 0, kSans, CString(u"Grüße, 그림"));
    const std::string family = "DejaVu Sans", text = "Grüße, 그림";
    fromString.Text(10, 10, 40, 255, 0, 0, 0, family, text);
    fromView.Text(10, 10, 40, 255, 0, 0, 0, std::string_view(family), std::string_view(text));
    ASSERT_FALSE(InkOf(fromLiteral).Empty());
    EXPECT_EQ(Differing(fromString, fromLiteral), 0);
    EXPECT_EQ(Differing(fromView, fromLiteral), 0);

    // Each byte of a stray, truncated, overlong or surrogate sequence becomes U+FFFD; what follows survives.
    const std::string bad = "a\xC3(\xF8\x80z\xC0\xAF\xED\xA0\x80\xE4\xB8";
    EXPECT_TRUE(CString(bad) == CString(u"a\uFFFD(\uFFFD\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"));
    EXPECT_EQ(CString(std::string_view("a\0b", 3)).GetLength(), 3);
    EXPECT_TRUE(CString(L"\U0001F600") == CString(u"\U0001F600"));
    EXPECT_TRUE(CString(std::wstring{wchar_t(0x110000), L'x'}.c_str()) == CString(u"\uFFFDx"));
    // Back to UTF-8: pairs join into one character, a lone surrogate becomes U+FFFD.
    EXPECT_EQ(CString(u"\U0001F600").ToUtf8(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(CString(std::u16string{char16_t(0xDC00), u'a', char16_t(0xD800)}).ToUtf8(), "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
}
