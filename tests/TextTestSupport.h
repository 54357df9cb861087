// What the text tests share: a white canvas read back by its dark pixels, and MeasureString in one call.
#pragma once

#include <algorithm>
#include <source_location>
#include <string>

#include "TestSupport.h"
#include "gdiplus/Gdiplus.h"
#include <gtest/gtest.h>

namespace pictor_test {

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

struct TextCanvas {
    Gdiplus::Bitmap bitmap;
    Gdiplus::Graphics graphics{&bitmap};
    explicit TextCanvas(Gdiplus::PixelFormat format = PixelFormat32bppPARGB, int width = 400, int height = 120)
        : bitmap(width, height, format)
    {
        graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
    }
    // The dark pixels' box within rows [top, bottom) (all rows when bottom is negative).
    InkBox Ink(int top = 0, int bottom = -1)
    {
        InkBox ink;
        if (bottom < 0) bottom = int(bitmap.GetHeight());
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < int(bitmap.GetWidth()); ++x) {
                Gdiplus::Color c;
                bitmap.GetPixel(x, y, &c);
                if (((c.GetValue() >> 8) & 0xFF) >= 160) continue;
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
            }
        return ink;
    }
    bool SamePixels(TextCanvas& other) { return AllPixels(bitmap) == AllPixels(other.bitmap); }
};

// Checks that the ink lies within the box; a failure names the caller's line.
inline void ExpectInkInside(const InkBox& ink, const Gdiplus::RectF& box,
                            std::source_location where = std::source_location::current())
{
    testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "ink inside box");
    EXPECT_GE(ink.left, box.X);
    EXPECT_LE(ink.right, box.GetRight());
    EXPECT_GE(ink.top, box.Y);
    EXPECT_LE(ink.bottom, box.GetBottom());
}

// Checks that each side of one ink box is within `tolerance` pixels of the other's.
inline void ExpectSameInk(const InkBox& a, const InkBox& b, int tolerance,
                          std::source_location where = std::source_location::current())
{
    testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "same ink box");
    EXPECT_NEAR(a.left, b.left, tolerance);
    EXPECT_NEAR(a.right, b.right, tolerance);
    EXPECT_NEAR(a.top, b.top, tolerance);
    EXPECT_NEAR(a.bottom, b.bottom, tolerance);
}

inline Gdiplus::RectF Measure(Gdiplus::Graphics& g, const std::u16string& text, const Gdiplus::Font& font,
                              const Gdiplus::RectF& layout, const Gdiplus::StringFormat* format = nullptr,
                              INT* fitted = nullptr, INT* lines = nullptr)
{
    Gdiplus::RectF box;
    EXPECT_EQ(g.MeasureString(text.c_str(), INT(text.size()), &font, layout, format, &box, fitted, lines), Gdiplus::Ok);
    return box;
}

}  // namespace pictor_test
