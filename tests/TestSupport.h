// Helpers shared by the tests: reading canvas pixels back and comparing colours loosely.
#pragma once

#include <cstdlib>

#include "FxPictor.h"

namespace pictor_test {

inline Gdiplus::ARGB PixelOf(CFxPictor& canvas, int x, int y)
{
    Gdiplus::Color color(0u);
    canvas.GetBitmap()->GetPixel(x, y, &color);
    return color.GetValue();
}

inline int Channel(Gdiplus::ARGB argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// True when every channel of the two colours differs by at most tolerance.
inline bool Near(Gdiplus::ARGB a, Gdiplus::ARGB b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
    return true;
}

}  // namespace pictor_test
