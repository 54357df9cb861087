// Conversions between straight and premultiplied 32-bit ARGB pixels, rounded to the nearest value,
// as the engine's premultiplied bitmaps need them on the way in and out.
#pragma once

#include <cstdint>

namespace Gdiplus {

// The straight pixel for a premultiplied one: c * 255 / a per channel, rounded, from a table.
uint32_t UnpremultiplyPixel(uint32_t pixel);

// The colour bits of a straight pixel scaled by alpha: c * a / 255 per channel, rounded exactly,
// two channels a multiply.
inline uint32_t PremultiplyColour(uint32_t colour, uint32_t alpha)
{
    uint32_t rb = (colour & 0x00FF00FFu) * alpha + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t g = ((colour >> 8) & 0xFFu) * alpha + 0x80u;
    g = ((g + (g >> 8)) >> 8) & 0xFFu;
    return alpha << 24 | rb | g << 8;
}

inline uint32_t PremultiplyPixel(uint32_t pixel) { return PremultiplyColour(pixel & 0x00FFFFFFu, pixel >> 24); }

// True for the pixels both forms agree on: opaque ones and transparent black.
inline bool SameInBothForms(uint32_t pixel) { return pixel >> 24 == 255 || pixel == 0; }

}  // namespace Gdiplus
