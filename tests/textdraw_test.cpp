// Text drawn by the layer through the same paint, clip and coverage as every other shape: brushes of one
// colour draw as the solid brush does, clips keep ink to their pixels, turned text is the straight text
// turned, single-bit text has whole pixels only, and a path of AddString fills as DrawString draws. The
// faster paths behind them give what the plain ones give: the four-pixel glyph blend, words shaped alone.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "gdiplus/pipeline/PixelView.h"
#include "gdiplus/pipeline/Premultiply.h"
#include "gdiplus/text/GlyphBlend.h"
#include "gdiplus/text/GlyphCache.h"
#include "gdiplus/text/TextFaces.h"
#include "gdiplus/text/TextShaping.h"
#include "gdiplus/text/WordShapes.h"

using namespace Gdiplus;
using pictor_test::CoverageCanvas;
using pictor_test::PixelMap;

namespace {

constexpr int kSide = 160;
using Canvas = CoverageCanvas<kSide>;
const std::u16string kWords = u"Wag Hi";
const Color kInk(255, 0, 0, 0);

// Draws the words in 28 px DejaVu Sans at (10, 50) with the brush, after `prepare` sets the context up.
template <class Prepare> void DrawWords(Canvas& canvas, const Brush& brush, Prepare&& prepare)
{
    FontFamily family(u"DejaVu Sans");
    Font font(&family, 28, FontStyleRegular, UnitPixel);
    prepare(canvas.graphics);
    ASSERT_EQ(canvas.graphics.DrawString(kWords.c_str(), -1, &font, PointF(10, 50), &brush), Ok);
    canvas.Read();
}

void DrawWords(Canvas& canvas, const Brush& brush)
{
    DrawWords(canvas, brush, [](Graphics&) {});
}

// Turns the context's world about the middle of the canvas (pixel centres lie on whole coordinates).
void TurnAboutTheMiddle(Graphics& g, float angle)
{
    const float middle = (kSide - 1) / 2.0f;
    g.TranslateTransform(middle, middle);
    g.RotateTransform(angle);
    g.TranslateTransform(-middle, -middle);
}

int InkedPixels(const Canvas& canvas, int fromX = 0, int toX = kSide)
{
    int inked = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = fromX; x < toX; ++x) inked += canvas.At(x, y) != 0;
    return inked;
}

}  // namespace

// Hatch, gradient and texture brushes of one colour paint text as the solid brush does; a clip that keeps
// everything changes nothing, and a clip of the left half (a box, and a path-shaped region) keeps the same
// ink there and none elsewhere.
TEST(TextDraw, BrushesAndClipsPaintTextAsTheyPaintShapes)
{
    const SolidBrush solid(kInk);
    Canvas reference;
    DrawWords(reference, solid);
    ASSERT_GT(InkedPixels(reference), 200);
    ASSERT_GT(InkedPixels(reference, kSide / 2, kSide), 50);

    const HatchBrush hatch(HatchStyleDiagonalCross, kInk, kInk);
    const LinearGradientBrush gradient(PointF(0, 0), PointF(kSide, 0), kInk, kInk);
    Bitmap tile(4, 4, PixelFormat32bppARGB);
    Graphics(&tile).Clear(kInk);
    const TextureBrush texture(&tile);
    for (const Brush* brush : {static_cast<const Brush*>(&hatch), static_cast<const Brush*>(&gradient),
                               static_cast<const Brush*>(&texture)}) {
        Canvas painted;
        DrawWords(painted, *brush);
        EXPECT_LE(painted.LargestDifference(reference, pictor_test::kSamePlace), 1);
    }

    Canvas everything;
    GraphicsPath wide;
    wide.AddEllipse(-200, -200, kSide + 400, kSide + 400);
    const Region all(&wide);
    DrawWords(everything, solid, [&](Graphics& g) { g.SetClip(&all); });
    EXPECT_EQ(everything.LargestDifference(reference, pictor_test::kSamePlace), 0);

    GraphicsPath leftShape;
    leftShape.AddPolygon(std::vector<PointF>{{0, 0}, {kSide / 2, 0}, {kSide / 2, kSide}, {0, kSide}}.data(), 4);
    const Region leftRegion(&leftShape);
    Canvas boxed, shaped;
    DrawWords(boxed, solid, [](Graphics& g) { g.SetClip(RectF(0, 0, kSide / 2, kSide)); });
    DrawWords(shaped, solid, [&](Graphics& g) { g.SetClip(&leftRegion); });
    for (const Canvas* clipped : {&boxed, &shaped}) {
        EXPECT_EQ(InkedPixels(*clipped, kSide / 2, kSide), 0);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide / 2; ++x) ASSERT_EQ(clipped->At(x, y), reference.At(x, y)) << x << "," << y;
    }
}

// Text turned a quarter turn about the middle, moved to the turned pixels, is the text turned a half turn,
// and the straight text.
TEST(TextDraw, TurnedTextIsTheStraightTextTurned)
{
    const SolidBrush solid(kInk);
    const auto turned = [&](Canvas& canvas, float angle) {
        DrawWords(canvas, solid, [&](Graphics& g) {
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            TurnAboutTheMiddle(g, angle);
        });
    };
    Canvas straight, quarter, half;
    DrawWords(straight, solid, [](Graphics& g) { g.SetTextRenderingHint(TextRenderingHintAntiAlias); });
    turned(quarter, 90);
    turned(half, 180);
    ASSERT_GT(InkedPixels(quarter), 200);
    // A quarter turn clockwise on screen takes pixel (x, y) to (side - 1 - y, x); a half turn to the
    // opposite corner.
    const PixelMap quarterTurn = [](int x, int y, int* tx, int* ty) { *tx = kSide - 1 - y, *ty = x; };
    const PixelMap halfTurn = [](int x, int y, int* tx, int* ty) { *tx = kSide - 1 - x, *ty = kSide - 1 - y; };
    EXPECT_LE(quarter.LargestDifference(half, quarterTurn), 2);
    // Straight glyphs come from the cache, placed to the nearest quarter pixel: an edge moves by at most an
    // eighth of a pixel, a coverage by at most 32 levels.
    EXPECT_LE(straight.LargestDifference(quarter, quarterTurn), 32);
    EXPECT_LE(straight.LargestDifference(half, halfTurn), 32);
}

// Single-bit text has only empty and full pixels, turned or not, and its ink lies where the anti-aliased
// text has ink.
TEST(TextDraw, SingleBitTextHasWholePixelsWhereTheSmoothTextHasInk)
{
    const SolidBrush solid(kInk);
    Canvas smooth;
    DrawWords(smooth, solid, [](Graphics& g) { g.SetTextRenderingHint(TextRenderingHintAntiAlias); });
    for (TextRenderingHint hint : {TextRenderingHintSingleBitPerPixel, TextRenderingHintSingleBitPerPixelGridFit}) {
        for (float angle : {0.0f, 30.0f}) {
            Canvas single;
            DrawWords(single, solid, [&](Graphics& g) {
                g.SetTextRenderingHint(hint);
                g.RotateTransform(angle);
            });
            int inked = 0, beside = 0;
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x) {
                    const int a = single.At(x, y);
                    ASSERT_TRUE(a == 0 || a == 255) << a << " at " << x << "," << y;
                    inked += a != 0;
                    if (angle == 0 && a != 0 && smooth.At(x, y) == 0) ++beside;
                }
            EXPECT_GT(inked, 200);
            if (angle != 0) continue;
            // Hinting moves stems by at most a pixel: few whole pixels lie where smooth text has none.
            EXPECT_LT(beside, inked / 10) << hint;
            EXPECT_NEAR(inked, InkedPixels(smooth) * 0.6, InkedPixels(smooth) * 0.35) << hint;
        }
    }
}

// A path of AddString (at a point and in a rectangle) filled is the text DrawString draws in the same
// font, size and place: the same to a level when both are turned (both fill the glyphs' outlines), and
// straight to the few levels that quarter-pixel glyph positions in the cached glyphs leave. Underlines and
// strikeouts are part of the path.
TEST(TextDraw, AddStringFillsAsDrawStringDraws)
{
    const SolidBrush solid(kInk);
    FontFamily family(u"DejaVu Sans");
    GraphicsPath atPoint, inBox;
    ASSERT_EQ(atPoint.AddString(kWords.c_str(), -1, &family, FontStyleRegular, 28, PointF(10, 50), nullptr), Ok);
    ASSERT_EQ(inBox.AddString(kWords.c_str(), -1, &family, FontStyleRegular, 28, Rect(10, 50, 150, 100), nullptr), Ok);
    ASSERT_GT(atPoint.GetPointCount(), 100);
    for (float angle : {0.0f, 90.0f}) {
        Canvas drawn, filled, boxed;
        DrawWords(drawn, solid, [&](Graphics& g) {
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            TurnAboutTheMiddle(g, angle);
        });
        for (Canvas* canvas : {&filled, &boxed}) TurnAboutTheMiddle(canvas->graphics, angle);
        ASSERT_EQ(filled.graphics.FillPath(&solid, &atPoint), Ok);
        ASSERT_EQ(boxed.graphics.FillPath(&solid, &inBox), Ok);
        filled.Read();
        boxed.Read();
        EXPECT_EQ(boxed.LargestDifference(filled, pictor_test::kSamePlace), 0);
        if (angle != 0) {
            EXPECT_LE(filled.LargestDifference(drawn, pictor_test::kSamePlace), 1);
            continue;
        }
        long total = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) total += std::abs(filled.At(x, y) - drawn.At(x, y));
        EXPECT_LE(filled.LargestDifference(drawn, pictor_test::kSamePlace), 32);
        EXPECT_LT(total, drawn.Ink() / 20);
    }

    // An underlined or struck-out font adds the line as a rectangle under or through the text: the path
    // filled by the winding rule (the line crosses the glyphs) is what DrawString draws with that font (both
    // turned, where both fill outlines).
    for (const INT style : {FontStyleUnderline, FontStyleStrikeout}) {
        GraphicsPath lined;
        ASSERT_EQ(lined.AddString(kWords.c_str(), -1, &family, style, 28, PointF(10, 50), nullptr), Ok);
        EXPECT_EQ(lined.GetPointCount(), atPoint.GetPointCount() + 4) << style;
        lined.SetFillMode(FillModeWinding);
        Font font(&family, 28, style, UnitPixel);
        Canvas drawn, filled;
        for (Canvas* canvas : {&drawn, &filled}) TurnAboutTheMiddle(canvas->graphics, 90);
        ASSERT_EQ(drawn.graphics.DrawString(kWords.c_str(), -1, &font, PointF(10, 50), &solid), Ok);
        ASSERT_EQ(filled.graphics.FillPath(&solid, &lined), Ok);
        drawn.Read();
        filled.Read();
        EXPECT_LE(drawn.LargestDifference(filled, pictor_test::kSamePlace), 1) << style;
    }
}

// The four-at-a-time blend of glyph coverage gives every pixel of runs of any length what the one-pixel
// formula gives, skipped and wholly covered groups and the last few pixels of a run included, and leaves the
// pixels past the run alone. Some pixels, and one colour, hold colour above their alpha, whose carries between channels
// must match too.
TEST(TextDraw, GlyphBlendMatchesThePixelFormulaOnRunsOfAnyLength)
{
    std::mt19937 random(27);
    const auto pixel = [&] {
        const uint32_t alpha = random() % 256, colour = random() & 0xFFFFFFu;
        return random() % 8 ? PremultiplyColour(colour, alpha) : alpha << 24 | colour;
    };
    for (uint32_t source : {0xFF2040C0u, 0x80102040u, 0x00000000u, 0xFFFFFFFFu, 0x20FF80FFu})
        for (int count = 0; count <= 13; ++count)
            for (int trial = 0; trial < 50; ++trial) {
                std::vector<uint8_t> coverage(size_t(count) + 4);
                for (uint8_t& share : coverage) {
                    const uint32_t pick = random() % 4;
                    share = pick == 0 ? 0 : pick == 1 ? 255 : uint8_t(random());
                }
                std::vector<uint32_t> pixels(size_t(count) + 4);
                for (uint32_t& p : pixels) p = pixel();
                std::vector<uint32_t> expected = pixels;
                for (int i = 0; i < count; ++i)
                    expected[size_t(i)] = OverPixel(ScaledPixel(source, coverage[size_t(i)]), pixels[size_t(i)]);
                BlendCoverage(pixels.data(), coverage.data(), count, source);
                ASSERT_EQ(pixels, expected)
                    << "source " << std::hex << source << std::dec << ", " << count << " pixels";
            }
}

namespace {

// The face fontconfig gives for the family, as the layer lays it out.
LayerFont FontOf(const char* family)
{
    LayerFont font;
    std::string file;
    int index = 0;
    int synthetic = 0;
    if (MatchFace(family, FontStyleRegular, &file, &index, &synthetic)) font.face = TextFace::Open(file, index);
    font.family = family;
    return font;
}

// The glyphs, clusters and positions HarfBuzz gives for the whole string in one go.
std::vector<std::tuple<uint32_t, uint32_t, float, float>> ShapedWhole(const TextFace& face, const std::u16string& text)
{
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.data()), int(text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(face.Shaper(), buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    std::vector<std::tuple<uint32_t, uint32_t, float, float>> glyphs;
    for (unsigned i = 0; i < count; ++i)
        glyphs.emplace_back(info[i].codepoint, info[i].cluster, float(position[i].x_advance),
                            float(position[i].x_offset));
    hb_buffer_destroy(buffer);
    return glyphs;
}

std::vector<std::tuple<uint32_t, uint32_t, float, float>> ShapedByLayer(const LayerFont& font,
                                                                        const std::u16string& text)
{
    std::vector<ShapedGlyph> glyphs;
    std::vector<std::shared_ptr<TextFace>> fallbacks;
    const float em = float(font.face->UnitsPerEm());
    EXPECT_TRUE(ShapeParagraph(font, text.data(), int(text.size()), nullptr, em, &glyphs, &fallbacks));
    std::vector<std::tuple<uint32_t, uint32_t, float, float>> shaped;
    for (const ShapedGlyph& g : glyphs) shaped.emplace_back(g.glyph, g.cluster, g.advance, g.xOffset);
    return shaped;
}

}  // namespace

// Words shaped alone and kept give the glyphs of the whole string shaped at once: kerned pairs, doubled and
// trailing spaces, a mark after a space, Hangul. A face that kerns the space (Liberation Sans) is not
// shaped word by word. Many different words keep the cache within its byte bound.
TEST(TextDraw, WordsShapedAloneGiveTheGlyphsOfTheWholeString)
{
    const LayerFont dejaVu = FontOf("DejaVu Sans"), nanum = FontOf("NanumGothic"),
                    liberation = FontOf("Liberation Sans");
    ASSERT_TRUE(dejaVu.face && nanum.face && liberation.face);
    EXPECT_TRUE(ShapesWordByWord(*dejaVu.face, HB_SCRIPT_LATIN));
    EXPECT_FALSE(ShapesWordByWord(*liberation.face, HB_SCRIPT_LATIN));
    const std::u16string latin[] = {u"AVATAR To Wa, Yo. 1007 shipped", u"  T  A.  V ", u"a \u0301b Te", u"fi ffl 12 T"};
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::u16string& text : latin) {
            EXPECT_EQ(ShapedByLayer(dejaVu, text), ShapedWhole(*dejaVu.face, text));
            EXPECT_EQ(ShapedByLayer(liberation, text), ShapedWhole(*liberation.face, text));
        }
        const std::u16string hangul = u"주문 1007번, 리스본으로 발송된 소포 5개";
        EXPECT_EQ(ShapedByLayer(nanum, hangul), ShapedWhole(*nanum.face, hangul));
    }
    std::u16string many;
    for (int i = 0; i < 30000; ++i) {
        for (int letter = 0, rest = i; letter < 4; ++letter, rest /= 26) many += char16_t(u'a' + rest % 26);
        many += u' ';
    }
    ShapedByLayer(dejaVu, many);
    EXPECT_GT(WordCacheBytes(), kWordCacheBytes / 8);
    EXPECT_LE(WordCacheBytes(), kWordCacheBytes);
}

// A thread's own glyph cache gives the shared cache's mask for every key, when slots are shared by several
// keys and when its byte bound turns masks away.
TEST(TextDraw, ThreadCachedGlyphsAreTheSharedOnes)
{
    const LayerFont font = FontOf("DejaVu Sans");
    ASSERT_TRUE(font.face);
    const auto same = [](const GlyphMask* a, const std::shared_ptr<const GlyphMask>& b) {
        return a && b && a->left == b->left && a->top == b->top && a->width == b->width && a->coverage == b->coverage;
    };
    for (int round = 0; round < 2; ++round)
        for (float em : {9.0f, 16.0f, 60.0f, 200.0f})
            for (uint32_t glyph = 3; glyph < 300; glyph += 7)
                for (int quarter = 0; quarter < 4; ++quarter) {
                    const GlyphRendering smooth;
                    const GlyphMask* mine = GlyphLookup(em, smooth).Find(*font.face, glyph, quarter, 3 - quarter);
                    ASSERT_TRUE(same(mine, CachedGlyph(*font.face, em, glyph, quarter, 3 - quarter, smooth)))
                        << em << " px, glyph " << glyph << ", quarter " << quarter;
                }
}

// A setting or brush the layer does not paint text under fills the glyphs' outlines as any shape is: the
// text is what a path of AddString filled the same way gives. Under copying compositing the brush's colour,
// its alpha included, replaces the pixels the glyphs cover wholly (GDI+ copies rather than blends); the
// layer does not paint a path gradient of two figures itself.
TEST(TextDraw, TextTheLayerDoesNotPaintFillsTheOutlinesAsAPathIsFilled)
{
    GraphicsPath halves;
    halves.AddRectangle(RectF(0, 0, kSide / 2, kSide));
    halves.AddRectangle(RectF(kSide / 2, 0, kSide / 2, kSide));
    PathGradientBrush gradient(&halves);
    ASSERT_EQ(gradient.SetCenterColor(kInk), Ok);
    Color around[] = {kInk, kInk, kInk, kInk, kInk, kInk, kInk, kInk};
    INT count = 8;
    ASSERT_EQ(gradient.SetSurroundColors(around, &count), Ok);
    const SolidBrush half(Color(128, 0, 0, 0));
    const auto copying = [](Graphics& g) {
        g.Clear(Color(255, 255, 255, 255));
        g.SetCompositingMode(CompositingModeSourceCopy);
    };
    const auto smooth = [](Graphics& g) { g.SetTextRenderingHint(TextRenderingHintAntiAlias); };
    FontFamily family(u"DejaVu Sans");
    GraphicsPath outlines;
    ASSERT_EQ(outlines.AddString(kWords.c_str(), -1, &family, FontStyleRegular, 28, PointF(10, 50), nullptr), Ok);
    const struct {
        const Brush& brush;
        std::function<void(Graphics&)> drawPrepare, fillPrepare;
    } cases[] = {{half, copying, copying}, {gradient, smooth, [](Graphics&) {}}};
    for (const auto& c : cases) {
        Canvas drawn, filled;
        DrawWords(drawn, c.brush, c.drawPrepare);
        c.fillPrepare(filled.graphics);
        ASSERT_EQ(filled.graphics.FillPath(&c.brush, &outlines), Ok);
        filled.Read();
        ASSERT_GT(InkedPixels(filled), 200);
        EXPECT_LE(drawn.LargestDifference(filled, pictor_test::kSamePlace), 1);
        int copied = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) copied += drawn.At(x, y) == 128;
        EXPECT_TRUE(&c.brush != &half || copied > 100) << copied << " pixels copied";
    }
}

// Every family and style has a scalable face (GDI+ knows only outline fonts): a style the family lacks is
// its nearest face with the style made up (as GDI+ does), and a name fontconfig has no face for, or only a
// bitmap one, the nearest scalable face. Made-up italic leans the glyphs right.
TEST(TextDraw, EveryFamilyAndStyleHasAScalableFace)
{
    const struct {
        const char* family;
        int style, synthetic;
    } asked[] = {{"NanumGothic", FontStyleItalic, FontStyleItalic},
                 {"NanumSquare", FontStyleBoldItalic, FontStyleItalic},
                 {"DejaVu Math TeX Gyre", FontStyleBold, FontStyleBold},
                 {"DejaVu Sans", FontStyleBoldItalic, 0},
                 {"Fixed", FontStyleRegular, 0},
                 {"No Such Family", FontStyleBold, 0}};
    for (const auto& face : asked) {
        std::string file;
        int index = -1, synthetic = -1;
        ASSERT_TRUE(MatchFace(face.family, face.style, &file, &index, &synthetic)) << face.family;
        EXPECT_TRUE(TextFace::Open(file, index)) << face.family << " " << file;
        EXPECT_EQ(synthetic, face.synthetic) << face.family;
    }
    // The leftmost ink of the stem's top rows and of its bottom rows.
    const auto stemEdges = [](const Canvas& c) {
        std::vector<int> left;  // of each inked row, top down
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                if (c.At(x, y) > 128) {
                    left.push_back(x);
                    break;
                }
        return left.size() < 4 ? std::pair(-1, -1) : std::pair(left[1], left[left.size() - 2]);
    };
    const SolidBrush solid(kInk);
    Canvas upright, leaning;
    for (auto [canvas, style] : {std::pair(&upright, FontStyleRegular), std::pair(&leaning, FontStyleItalic)}) {
        Font font(u"NanumGothic", 60, style, UnitPixel);
        ASSERT_EQ(canvas->graphics.DrawString(u"l", -1, &font, PointF(40, 20), &solid), Ok);
        canvas->Read();
    }
    const auto [uprightTop, uprightBottom] = stemEdges(upright);
    const auto [leaningTop, leaningBottom] = stemEdges(leaning);
    EXPECT_NEAR(uprightTop, uprightBottom, 1);
    EXPECT_GT(leaningTop - leaningBottom, 4);
}
