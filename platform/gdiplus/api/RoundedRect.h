// GDI+'s integer getters report a rectangle kept in floating point at the nearest whole numbers.
#pragma once

#include <cmath>

#include "../GdiplusTypes.h"

namespace Gdiplus {

inline Rect RoundedRect(const RectF& r)
{
    return Rect(static_cast<INT>(std::lround(r.X)), static_cast<INT>(std::lround(r.Y)),
                static_cast<INT>(std::lround(r.Width)), static_cast<INT>(std::lround(r.Height)));
}

}  // namespace Gdiplus
