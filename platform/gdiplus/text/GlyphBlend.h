// A glyph's coverage composited in a solid premultiplied colour over a run of premultiplied pixels, four
// pixels at a time with SSE2 (every x86-64 has it) and without a branch per pixel: the scalar loop's tests
// of each pixel's coverage were mispredicted about as often as not on glyph edges.
#pragma once

#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace Gdiplus {

// Each 16-bit lane times nothing more than 255 * 255, divided by 255 and rounded as ScaledPixel rounds.
[[gnu::always_inline]] inline __m128i Divide255(__m128i product)
{
    const __m128i rounded = _mm_add_epi16(product, _mm_set1_epi16(0x80));
    return _mm_srli_epi16(_mm_add_epi16(rounded, _mm_srli_epi16(rounded, 8)), 8);
}

// Two pixels (a channel a 16-bit lane) of the colour scaled by their coverage, composited over two pixels;
// the halves are returned separately, for the caller to add them as OverPixel does.
[[gnu::always_inline]] inline void BlendTwo(__m128i colour, __m128i coverage, __m128i under, __m128i* ink,
                                            __m128i* kept)
{
    *ink = Divide255(_mm_mullo_epi16(colour, coverage));
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(*ink, 0xFF), 0xFF);
    *kept = Divide255(_mm_mullo_epi16(under, _mm_sub_epi16(_mm_set1_epi16(255), alpha)));
}

// Four pixels with four coverages (the first in the low byte): OverPixel(ScaledPixel(source, share), pixel)
// for each, exactly, carries between channels included.
[[gnu::always_inline]] inline __m128i BlendFour(__m128i pixels, uint32_t shares, __m128i colour)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i spread = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(shares)), zero);
    spread = _mm_unpacklo_epi16(spread, spread);
    __m128i inkLow, keptLow, inkHigh, keptHigh;
    BlendTwo(colour, _mm_unpacklo_epi32(spread, spread), _mm_unpacklo_epi8(pixels, zero), &inkLow, &keptLow);
    BlendTwo(colour, _mm_unpackhi_epi32(spread, spread), _mm_unpackhi_epi8(pixels, zero), &inkHigh, &keptHigh);
    return _mm_add_epi32(_mm_packus_epi16(inkLow, inkHigh), _mm_packus_epi16(keptLow, keptHigh));
}

// Four premultiplied sources composited over four pixels: OverPixel for each, exactly.
[[gnu::always_inline]] inline __m128i OverFour(__m128i sources, __m128i pixels)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i kept = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(sources, 24));
    const __m128i spread = _mm_unpacklo_epi16(_mm_packs_epi32(kept, kept), _mm_packs_epi32(kept, kept));
    const __m128i low = Divide255(_mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi32(spread, spread)));
    const __m128i high =
        Divide255(_mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi32(spread, spread)));
    return _mm_add_epi32(_mm_packus_epi16(low, high), sources);
}

// Four premultiplied pixels scaled by one coverage (ScaledPixel for each, exactly).
[[gnu::always_inline]] inline __m128i ScaledFour(__m128i pixels, int coverage)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i factor = _mm_set1_epi16(static_cast<short>(coverage));
    return _mm_packus_epi16(Divide255(_mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), factor)),
                            Divide255(_mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), factor)));
}

// One to three pixels, as a group of four whose missing coverages are zero, read and written in place:
// copying them through memory first cost a stalled load on every glyph row.
[[gnu::always_inline]] inline void BlendLastFew(uint32_t* pixels, const uint8_t* coverage, int rest, __m128i colour)
{
    uint32_t shares = coverage[0];
    if (rest >= 2) shares |= uint32_t(coverage[1]) << 8;
    if (rest == 3) shares |= uint32_t(coverage[2]) << 16;
    if (shares == 0) return;
    if (rest == 1) {
        pixels[0] = uint32_t(_mm_cvtsi128_si32(BlendFour(_mm_cvtsi32_si128(int(pixels[0])), shares, colour)));
        return;
    }
    __m128i* two = reinterpret_cast<__m128i*>(pixels);
    __m128i under = _mm_loadl_epi64(two);
    if (rest == 3) under = _mm_unpacklo_epi64(under, _mm_cvtsi32_si128(int(pixels[2])));
    const __m128i blended = BlendFour(under, shares, colour);
    _mm_storel_epi64(two, blended);
    if (rest == 3) pixels[2] = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(blended, 8)));
}

// Composites the premultiplied colour, scaled by each pixel's coverage, over `count` pixels. Groups of four
// with no coverage are left unread, and wholly covered ones in an opaque colour are set whole.
[[gnu::always_inline]] inline void BlendCoverage(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t source)
{
    const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(int(source)), _mm_setzero_si128());
    const bool opaque = source >> 24 == 255;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        uint32_t shares;
        std::memcpy(&shares, coverage + i, 4);
        if (shares == 0) continue;
        __m128i* four = reinterpret_cast<__m128i*>(pixels + i);
        if (shares == 0xFFFFFFFFu && opaque)
            _mm_storeu_si128(four, _mm_set1_epi32(int(source)));
        else
            _mm_storeu_si128(four, BlendFour(_mm_loadu_si128(four), shares, colour));
    }
    if (i < count) BlendLastFew(pixels + i, coverage + i, count - i, colour);
}

}  // namespace Gdiplus
