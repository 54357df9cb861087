// Reading the areas and colours that the shape members take.
#pragma once

#include "FxPictor.h"
#include "Wrapping.h"

namespace pictor {

// A rectangle given by its edges, as the x, y, width and height that the engine draws with.
inline Gdiplus::Rect AreaOf(const CRect* pRect)
{
    return Gdiplus::Rect(pRect->left, pRect->top, WrapSub(pRect->right, pRect->left),
                         WrapSub(pRect->bottom, pRect->top));
}

// One byte of a colour brightened by 50, held at full intensity.
inline BYTE Lighter(BYTE value) { return value > 205 ? BYTE(255) : BYTE(value + 50); }

}  // namespace pictor
