// Conversions between straight and premultiplied 32-bit ARGB pixels, rounded to the nearest value, as the
// engine's premultiplied bitmaps need them on the way in and out.
#pragma once

#include <cstdint>
#include <emmintrin.h>

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

// The straight form of a premultiplied pixel; opaque and transparent ones keep what they hold.
inline uint32_t StraightPixel(uint32_t pixel) { return IsMixed(pixel) ? UnpremultiplyPixel(pixel) : pixel; }

// Four pixels at a time, with SSE2 (every x86-64 has it): the compiler's own vectorisation of the pixel
// loops kept the mixed-pixel test in scalar registers.

// IsMixed of each of four pixels.
inline __m128i MixedBits(__m128i pixels)
{
    return _mm_and_si128(_mm_add_epi32(_mm_srli_epi32(pixels, 24), _mm_set1_epi32(1)), _mm_set1_epi32(0xFE));
}

// True when any lane of MixedBits is set.
inline bool AnyMixed(__m128i mixedBits)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi32(mixedBits, _mm_setzero_si128())) != 0xFFFF;
}

// Four premultiplied pixels to straight ones, as UnpremultiplyPixel gives them: (c * 255 + a / 2) / a per
// channel, at most 255. In single precision the quotient's floor is exact, since no quotient below 256 lies
// closer than 1/255 to the next whole number. Opaque and transparent pixels keep what they hold.
inline __m128i Unpremultiply4(__m128i pixels)
{
    const __m128i alpha = _mm_srli_epi32(pixels, 24);
    const __m128 alphaF = _mm_cvtepi32_ps(alpha);
    const __m128i half = _mm_srli_epi32(alpha, 1);
    __m128i straight = _mm_slli_epi32(alpha, 24);
    for (int shift = 0; shift <= 16; shift += 8) {
        const __m128i colour = _mm_and_si128(_mm_srli_epi32(pixels, shift), _mm_set1_epi32(0xFF));
        const __m128i scaled = _mm_add_epi32(_mm_mullo_epi16(colour, _mm_set1_epi32(255)), half);
        const __m128 quotient = _mm_min_ps(_mm_div_ps(_mm_cvtepi32_ps(scaled), alphaF), _mm_set1_ps(255.0f));
        straight = _mm_or_si128(straight, _mm_slli_epi32(_mm_cvttps_epi32(quotient), shift));
    }
    const __m128i plain = _mm_cmpeq_epi32(MixedBits(pixels), _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(plain, pixels), _mm_andnot_si128(plain, straight));
}

// The straight form of four premultiplied pixels, converting only when one of them is mixed.
inline __m128i Straight4(__m128i pixels) { return AnyMixed(MixedBits(pixels)) ? Unpremultiply4(pixels) : pixels; }

// The same for eight pixels, with one test for all of them.
inline void Straight8(__m128i& low, __m128i& high)
{
    if (!AnyMixed(_mm_or_si128(MixedBits(low), MixedBits(high)))) return;
    low = Unpremultiply4(low);
    high = Unpremultiply4(high);
}

// PremultiplyColour of four pixels' colours by one alpha, each channel in a 16-bit lane. (t + (t >> 8)) >> 8
// is the high half of t * 257.
inline __m128i PremultiplyColour4(__m128i pixels, uint32_t alpha)
{
    const short a = static_cast<short>(alpha);
    const __m128i scale = _mm_set_epi16(0, a, a, a, 0, a, a, a), round = _mm_set1_epi16(0x80);
    const __m128i by257 = _mm_set1_epi16(257), zero = _mm_setzero_si128();
    __m128i low = _mm_unpacklo_epi8(pixels, zero), high = _mm_unpackhi_epi8(pixels, zero);
    low = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(low, scale), round), by257);
    high = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(high, scale), round), by257);
    return _mm_or_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(static_cast<int>(alpha << 24)));
}

}  // namespace Gdiplus
