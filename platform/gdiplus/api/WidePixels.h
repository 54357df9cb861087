// The pixel formats the engine cannot hold (16bppARGB1555, 48bppRGB, 64bppARGB, 64bppPARGB): a bitmap
// declared in one keeps its pixels in an engine 32bppARGB bitmap, quantised as the format holds them, and
// locks in these formats convert rows at lock and unlock. 48- and 64-bit pixels are linear light, 8192 for
// full intensity, as GDI+ lays them out; 8-bit channels map through the sRGB curve.
#pragma once

#include <cstddef>

#include "../Gdiplus.h"

namespace Gdiplus {

// True for the four formats above.
bool IsWideFormat(PixelFormat format);

// True for the wide formats with an alpha channel (all but 48bppRGB).
bool WideHasAlpha(PixelFormat format);

// How rows pass between 32-bit engine pixels in `native` (32bppARGB, PARGB or RGB) and a lock in the
// wide format; both null when the pair is not one of those.
struct WideRowForms {
    void (*toCaller)(const BYTE* engine, BYTE* caller, size_t callerBytes) = nullptr;
    void (*toEngine)(const BYTE* caller, BYTE* engine, size_t callerBytes) = nullptr;
};
WideRowForms WideRows(PixelFormat native, PixelFormat wide);

// The straight colour as the wide format holds it, read back as straight 32-bit ARGB.
ARGB QuantisedAs(PixelFormat wide, ARGB straight);

}  // namespace Gdiplus
