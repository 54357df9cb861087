// Conversions between straight and premultiplied 32-bit ARGB pixels, rounded to the nearest value, as the
// engine's premultiplied bitmaps need them on the way in and out.
#pragma once

#include <cstdint>

#include "RowClones.h"

namespace Gdiplus {

// The straight pixel for a premultiplied one: c * 255 / a per channel, rounded, from a table.
uint32_t UnpremultiplyPixel(uint32_t pixel);

// The colour bits of a straight pixel scaled by alpha: c * a / 255 per channel, rounded exactly, two channels
// a multiply.
inline uint32_t PremultiplyColour(uint32_t colour, uint32_t alpha)
{
    uint32_t rb = (colour & 0x00FF00FFu) * alpha + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t g = ((colour >> 8) & 0xFFu) * alpha + 0x80u;
    g = ((g + (g >> 8)) >> 8) & 0xFFu;
    return alpha << 24 | rb | g << 8;
}

inline uint32_t PremultiplyPixel(uint32_t pixel) { return PremultiplyColour(pixel & 0x00FFFFFFu, pixel >> 24); }

// Non-zero for a pixel whose alpha is neither 255 nor 0, written as arithmetic the compiler vectorises.
// Premultiplied storage keeps no colour under alpha 0, so such pixels read the same in both forms.
[[gnu::always_inline]] inline uint32_t IsMixed(uint32_t pixel) { return ((pixel >> 24) + 1) & 0xFEu; }

// True for the pixels both forms agree on: opaque and fully transparent ones.
inline bool SameInBothForms(uint32_t pixel) { return IsMixed(pixel) == 0; }

const uint32_t kPlainBlock = 16;

// True when none of the block's pixels is mixed: a few vector operations for the whole block.
[[gnu::always_inline]] inline bool BlockIsPlain(const uint32_t* block)
{
    uint32_t mixed = 0;
    // Kept a loop: unrolled inside the caller's loop, it would no longer be vectorised.
#pragma GCC unroll 1
    for (uint32_t k = 0; k < kPlainBlock; ++k) mixed |= IsMixed(block[k]);
    return mixed == 0;
}

// Calls fix(i) for each pixel of the row that is neither opaque nor fully transparent; plain blocks, by far
// the most common, are passed over.
template <typename Fix>
[[gnu::always_inline]] inline void ForEachMixedPixel(const uint32_t* row, uint32_t count, Fix fix)
{
    uint32_t i = 0;
    for (; i + kPlainBlock <= count; i += kPlainBlock) {
        if (BlockIsPlain(row + i)) continue;
        for (uint32_t k = i; k < i + kPlainBlock; ++k)
            if (IsMixed(row[k])) fix(k);
    }
    for (; i < count; ++i)
        if (IsMixed(row[i])) fix(i);
}

}  // namespace Gdiplus
