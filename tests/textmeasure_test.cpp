// Text measured as GDI+ measures it (the values Windows gives), and the common Windows face names found
// among the installed fonts.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::Surface;

namespace {

RectF Measure(Surface& s, const WCHAR* text, INT length, const Font& font, const RectF& layout,
              const StringFormat* format, INT* chars = nullptr, INT* lines = nullptr)
{
    RectF box;
    EXPECT_EQ(s.graphics.MeasureString(text, length, &font, layout, format, &box, chars, lines), Ok);
    return box;
}

}  // namespace

// Windows faces without a metric-compatible free family are found as the nearest installed face, draw
// and measure as it, and still report the name asked for.
TEST(TextMeasure, WindowsFaceNamesFindTheNearestInstalledFace)
{
    const struct {
        const WCHAR* windows;
        const WCHAR* nearest;
    } faces[] = {{u"Lucida Console", u"DejaVu Sans Mono"}, {u"Consolas", u"Liberation Mono"},
                 {u"Tahoma", u"DejaVu Sans"},           {u"Segoe UI", u"DejaVu Sans"},
                 {u"Verdana", u"DejaVu Sans"},          {u"Malgun Gothic", u"NanumGothic"}};
    Surface s;
    for (const auto& face : faces) {
        FontFamily windows(face.windows), nearest(face.nearest);
        ASSERT_TRUE(windows.IsAvailable()) << std::string(face.windows, face.windows + 3);
        WCHAR name[LF_FACESIZE] = {};
        EXPECT_EQ(windows.GetFamilyName(name), Ok);
        EXPECT_EQ(std::u16string(name), std::u16string(face.windows));
        Font asked(&windows, 20, FontStyleRegular, UnitPixel), drawn(&nearest, 20, FontStyleRegular, UnitPixel);
        const WCHAR text[] = u"Mill 가나";
        EXPECT_FLOAT_EQ(Measure(s, text, -1, asked, RectF(), nullptr).Width,
                        Measure(s, text, -1, drawn, RectF(), nullptr).Width);
    }
    // The monospace stand-ins keep one advance for every character, as Lucida Console and Consolas do.
    Font lucida(u"Lucida Console", 20, FontStyleRegular, UnitPixel);
    EXPECT_FLOAT_EQ(Measure(s, u"iiiiiiii", -1, lucida, RectF(), StringFormat::GenericTypographic()).Width,
                    Measure(s, u"MMMMMMMM", -1, lucida, RectF(), StringFormat::GenericTypographic()).Width);
}
