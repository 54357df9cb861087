// Rectangles filled with a linear gradient along an axis. libgdiplus hands every such fill to pixman, which
// works out the gradient pixel by pixel; along an axis a whole row (or column) shares one colour, so the
// colours are worked out once and the rows are filled or copied.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "../Gdiplus.h"
#include "PixelView.h"
#include "RowClones.h"

namespace Gdiplus {

namespace {

// How far ahead of the row being painted its edge pixels are asked for.
const INT kRowsAhead = 8;

// The premultiplied colour at t (0 ≤ t < 1): the straight colours interpolated, then scaled by the alpha.
uint32_t ColourAt(float t, ARGB first, ARGB second)
{
    auto channel = [t](ARGB a, ARGB b, int shift) {
        const float from = float((a >> shift) & 0xFF), to = float((b >> shift) & 0xFF);
        return from + (to - from) * t;
    };
    const float alpha = channel(first, second, 24);
    uint32_t pixel = uint32_t(alpha + 0.5f) << 24;
    for (int shift : {16, 8, 0}) pixel |= uint32_t(alpha * channel(first, second, shift) / 255.0f + 0.5f) << shift;
    return pixel;
}

// The colours at the centres of pixels begin .. begin + count - 1 along a gradient from `from` to `to`
// on that axis (pixel centres on whole coordinates, as for every shape), repeating beyond its ends.
std::vector<uint32_t> ColoursAlong(int begin, int count, float from, float to, ARGB first, ARGB second)
{
    std::vector<uint32_t> colours(static_cast<size_t>(count));
    const double length = double(to) - double(from);
    for (int i = 0; i < count; ++i) {
        double t = (begin + i - double(from)) / length;
        if (t < 0 || t >= 1) t -= std::floor(t);  // floor is a library call on baseline x86-64
        colours[i] = ColourAt(float(t), first, second);
    }
    return colours;
}

PICTOR_ROW_CLONES void FillRow(uint32_t* row, int count, uint32_t colour, bool sourceCopy)
{
    const uint32_t alpha = colour >> 24;
    if (sourceCopy || alpha == 255) {
        // A string store: for long rows the processor writes whole lines without reading them first.
        size_t left = static_cast<size_t>(count);
        asm volatile("rep stosl" : "+D"(row), "+c"(left) : "a"(colour) : "memory");
    } else if (colour != 0) {
        for (int x = 0; x < count; ++x) row[x] = OverPixel(colour, row[x]);
    }
}

// Copies the colours onto the row: single pixels up to a 32-byte boundary of the row, then whole aligned
// blocks. Measured on whole canvas rows: a fifth to a quarter faster than a string move, whose fast form
// wants the destination and source equally aligned (an anti-aliased fill's inside starts a pixel in).
[[gnu::always_inline]] inline void CopyPixels(uint32_t* row, const uint32_t* colours, int count)
{
    using Block = uint32_t __attribute__((vector_size(32)));
    using LooseBlock = uint32_t __attribute__((vector_size(32), aligned(4)));
    int x = 0;
    for (; x < count && (reinterpret_cast<uintptr_t>(row + x) & 31) != 0; ++x) row[x] = colours[x];
    for (; x + 8 <= count; x += 8)
        *reinterpret_cast<Block*>(row + x) = *reinterpret_cast<const LooseBlock*>(colours + x);
    for (; x < count; ++x) row[x] = colours[x];
}

PICTOR_ROW_CLONES void CopyRow(uint32_t* row, const uint32_t* colours, int count, bool opaque, bool sourceCopy)
{
    if (sourceCopy || opaque) return CopyPixels(row, colours, count);
    for (int x = 0; x < count; ++x) row[x] = OverPixel(colours[x], row[x]);
}

// Colours each scaled by the same coverage, composited over a row: the half-covered first and last rows of
// an anti-aliased fill.
PICTOR_ROW_CLONES void BlendRowScaled(uint32_t* row, const uint32_t* colours, int count, uint32_t coverage)
{
    for (int x = 0; x < count; ++x) row[x] = OverPixel(ScaledPixel(colours[x], coverage), row[x]);
}

}  // namespace

void FillAxisGradient(const PixelView& dst, const Rect& area, const PointF& from, const PointF& to, ARGB first,
                      ARGB second, bool sourceCopy)
{
    if (from.X == to.X) {
        const std::vector<uint32_t> colours = ColoursAlong(area.Y, area.Height, from.Y, to.Y, first, second);
        for (int y = 0; y < area.Height; ++y) FillRow(dst.Row(area.Y + y) + area.X, area.Width, colours[y], sourceCopy);
        return;
    }
    const std::vector<uint32_t> colours = ColoursAlong(area.X, area.Width, from.X, to.X, first, second);
    const bool opaque = std::all_of(colours.begin(), colours.end(), [](uint32_t c) { return c >> 24 == 255; });
    for (int y = 0; y < area.Height; ++y)
        CopyRow(dst.Row(area.Y + y) + area.X, colours.data(), area.Width, opaque, sourceCopy);
}

void FillAxisGradientAntialiased(const PixelView& dst, const Rect& area, const PointF& from, const PointF& to,
                                 ARGB first, ARGB second)
{
    // The rectangle's sides run through the centres of its first row and column and of the row and column
    // after its last: those are half covered, their corners a quarter.
    const Rect inner(area.X + 1, area.Y + 1, area.Width - 1, area.Height - 1);
    const INT left = std::max(area.X, 0), top = std::max(area.Y, 0);
    const INT right = std::min(area.X + area.Width + 1, dst.Width());
    const INT bottom = std::min(area.Y + area.Height + 1, dst.Height());
    if (right <= left || bottom <= top) return;
    const bool down = from.X == to.X;
    const std::vector<uint32_t> colours = down ? ColoursAlong(top, bottom - top, from.Y, to.Y, first, second)
                                               : ColoursAlong(left, right - left, from.X, to.X, first, second);
    const bool opaque = std::all_of(colours.begin(), colours.end(), [](uint32_t c) { return c >> 24 == 255; });
    auto share = [](INT at, INT start, INT end) { return at == start || at == end ? 128u : 255u; };
    auto paint = [&](INT x, INT y) {
        const uint32_t coverage =
            (share(x, area.X, area.X + area.Width) * share(y, area.Y, area.Y + area.Height) + 127) / 255;
        uint32_t* pixel = dst.Row(y) + x;
        *pixel = OverPixel(ScaledPixel(colours[down ? y - top : x - left], coverage), *pixel);
    };
    const INT innerLeft = std::max(inner.X, left), innerRight = std::min(inner.X + inner.Width, right);
    // Row by row, each row's edge pixels beside its inside: the row is read from memory once.
    for (INT y = top; y < bottom; ++y) {
        if (y == area.Y || y == area.Y + area.Height) {
            // Half covered between the corners, which are painted pixel by pixel.
            if (area.X >= left && area.X < right) paint(area.X, y);
            if (innerRight > innerLeft) {
                uint32_t* row = dst.Row(y) + innerLeft;
                const uint32_t half = share(y, area.Y, area.Y + area.Height);
                if (down)
                    FillRow(row, innerRight - innerLeft, ScaledPixel(colours[y - top], half), false);
                else
                    BlendRowScaled(row, colours.data() + (innerLeft - left), innerRight - innerLeft, half);
            }
            if (area.X + area.Width >= left && area.X + area.Width < right) paint(area.X + area.Width, y);
            continue;
        }
        // The edge pixels are read: their lines are asked for some rows ahead.
        if (y + kRowsAhead < bottom) {
            if (area.X >= left) __builtin_prefetch(dst.Row(y + kRowsAhead) + area.X, 1);
            if (area.X + area.Width < right) __builtin_prefetch(dst.Row(y + kRowsAhead) + area.X + area.Width, 1);
        }
        if (area.X >= left && area.X < right) paint(area.X, y);
        if (innerRight > innerLeft) {
            uint32_t* row = dst.Row(y) + innerLeft;
            if (down)
                FillRow(row, innerRight - innerLeft, colours[y - top], false);
            else
                CopyRow(row, colours.data() + (innerLeft - left), innerRight - innerLeft, opaque, false);
        }
        const INT last = area.X + area.Width;
        if (last >= left && last < right) paint(last, y);
    }
}

bool Graphics::FillGradientRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    const auto* gradient = dynamic_cast<const LinearGradientBrush*>(brush);
    if (!gradient || !gradient->NativeBrush()) return false;
    const LinearGradientBrush::Line& line = gradient->Definition();
    const bool alongAxis = (line.from.X == line.to.X) != (line.from.Y == line.to.Y);
    if (!line.tiled || line.blended || !alongAxis) return false;
    if (!(width >= 1 && height >= 1 && std::abs(x) < 1e7f && std::abs(y) < 1e7f && width < 1e7f && height < 1e7f))
        return false;
    const Rect area(static_cast<INT>(x), static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(height));
    if (area.X != x || area.Y != y || area.Width != width || area.Height != height) return false;
    if (!DrawsPixelForPixel()) return false;
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    if (!target.Valid()) return false;
    const SmoothingMode smoothing = State().smoothing;
    if (smoothing == SmoothingModeAntiAlias || smoothing == SmoothingModeHighQuality) {
        // Copying compositing of half-covered edges stays with the engine.
        if (compositingMode == CompositingModeSourceCopy) return false;
        FillAxisGradientAntialiased(target, area, line.from, line.to, line.first, line.second);
        return true;
    }
    const INT left = std::max(area.X, 0), top = std::max(area.Y, 0);
    const INT right = std::min(area.X + area.Width, target.Width()),
              bottom = std::min(area.Y + area.Height, target.Height());
    if (right > left && bottom > top)
        FillAxisGradient(target, Rect(left, top, right - left, bottom - top), line.from, line.to, line.first,
                         line.second, compositingMode == CompositingModeSourceCopy);
    return true;
}

}  // namespace Gdiplus
