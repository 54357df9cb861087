// Pictures drawn onto a parallelogram: coverage of the parallelogram, then each covered pixel's centre carried
// back into the picture and sampled there.
#include "ImageDraw.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include <immintrin.h>

#include "Clip.h"
#include "Coverage.h"
#include "Premultiply.h"
#include "RowClones.h"

namespace Gdiplus {

namespace {

// The most coverage cells a mask holds at once (4 MiB of them).
const INT kMostCells = 1 << 20;
// Rows a mask takes at most.
const INT kBandRows = 32;

// Two channels of a and b (in the 0x00FF00FF lanes) mixed as a + (b - a) * weight / 256.
inline uint32_t MixLanes(uint32_t a, uint32_t b, uint32_t weight)
{
    return ((a * (256 - weight) + b * weight) >> 8) & 0x00FF00FFu;
}

inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight)
{
    return MixLanes(a & 0x00FF00FFu, b & 0x00FF00FFu, weight) |
           MixLanes((a >> 8) & 0x00FF00FFu, (b >> 8) & 0x00FF00FFu, weight) << 8;
}

// Keys' cubic convolution weights with a = -0.5 (the Catmull-Rom spline) of the four taps around a fraction t
// in [0, 1): the taps at -1, 0, 1 and 2. They sum to 1, and at t = 0 pick the pixel itself.
inline void CubicWeights(float t, float weights[4])
{
    const float t2 = t * t, t3 = t2 * t;
    weights[0] = 0.5f * (-t3 + 2.0f * t2 - t);
    weights[1] = 0.5f * (3.0f * t3 - 5.0f * t2 + 2.0f);
    weights[2] = 0.5f * (-3.0f * t3 + 4.0f * t2 + t);
    weights[3] = 0.5f * (t3 - t2);
}

// A pixel's four channels as floats (blue first).
inline __m128 Channels(uint32_t pixel)
{
    const __m128i zero = _mm_setzero_si128();
    return _mm_cvtepi32_ps(
        _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), zero), zero));
}

// A premultiplied pixel from summed channels that may overshoot, as a cubic's negative lobes make them: an
// alpha past opaque scales the whole pixel back (keeping its colour), and no colour exceeds the alpha.
inline uint32_t PremultipliedFrom(__m128 sum)
{
    sum = _mm_max_ps(sum, _mm_setzero_ps());
    const float alpha = _mm_cvtss_f32(_mm_shuffle_ps(sum, sum, 0xFF));
    if (alpha > 255.0f) sum = _mm_mul_ps(sum, _mm_set1_ps(255.0f / alpha));
    sum = _mm_min_ps(sum, _mm_shuffle_ps(sum, sum, 0xFF));
    const __m128i whole = _mm_cvtps_epi32(sum);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(whole, whole), whole)));
}

// How the picture's pixels are read as premultiplied ones.
enum class Stored { Premultiplied, Opaque, Straight };

template <Stored kind> inline uint32_t AsPremultiplied(uint32_t pixel)
{
    if constexpr (kind == Stored::Opaque) return pixel | 0xFF000000u;
    if constexpr (kind == Stored::Straight) return PremultiplyPixel(pixel);
    return pixel;
}

// The picture's pixels, transparent outside the rectangle drawn from. Positions are in 16.16 fixed point.
template <Stored kind> class Picture {
public:
    // `from`: the picture's pixels drawn from (inside it, possibly none); `reach`: the pixels the rectangle
    // drawn from reaches into, past the picture too, whose edges the nearest pixel keeps to.
    Picture(const PixelView& view, const Rect& from, const Rect& reach)
        : scan0(reinterpret_cast<const BYTE*>(view.Row(0))),
          stride(view.Height() > 1 ? reinterpret_cast<const BYTE*>(view.Row(1)) - scan0 : 0), left(from.X), top(from.Y),
          right(from.X + from.Width - 1), bottom(from.Y + from.Height - 1), reachLeft(reach.X), reachTop(reach.Y),
          reachRight(reach.X + reach.Width - 1), reachBottom(reach.Y + reach.Height - 1)
    {
    }

    uint32_t At(INT x, INT y) const
    {
        if (x < left || y < top || x > right || y > bottom) return 0;
        return AsPremultiplied<kind>(Row(y)[x]);
    }
    // Bilinear sample with the tap grid's origin at (u, v): the pixel centres half a pixel in.
    uint32_t Bilinear(int64_t u, int64_t v) const
    {
        const INT x = static_cast<INT>(u >> 16), y = static_cast<INT>(v >> 16);
        const uint32_t fx = static_cast<uint32_t>(u >> 8) & 0xFFu, fy = static_cast<uint32_t>(v >> 8) & 0xFFu;
        if (Holds(x, y)) return BilinearInside(Row(y) + x, Row(y + 1) + x, fx, fy);
        const uint32_t p00 = At(x, y), p10 = At(x + 1, y), p01 = At(x, y + 1), p11 = At(x + 1, y + 1);
        return Mix(Mix(p00, p10, fx), Mix(p01, p11, fx), fy);
    }
    // The four pixels from two rows, mixed in 16-bit lanes: the two rows first, then the two columns.
    static uint32_t BilinearInside(const uint32_t* upper, const uint32_t* lower, uint32_t fx, uint32_t fy)
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(upper)), zero);
        __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(lower)), zero);
        if constexpr (kind == Stored::Opaque) {
            const __m128i alpha = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
            top = _mm_or_si128(top, alpha), bottom = _mm_or_si128(bottom, alpha);
        }
        if constexpr (kind == Stored::Straight) {
            top = Premultiplied16(top), bottom = Premultiplied16(bottom);
        }
        // Each sum is at most 255 * 256, within an unsigned 16-bit lane.
        const __m128i down = _mm_set1_epi16(static_cast<short>(fy));
        const __m128i up = _mm_set1_epi16(static_cast<short>(256 - fy));
        const __m128i rows = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, up), _mm_mullo_epi16(bottom, down)), 8);
        const short right = static_cast<short>(fx), left = static_cast<short>(256 - fx);
        const __m128i across = _mm_mullo_epi16(rows, _mm_set_epi16(right, right, right, right, left, left, left, left));
        const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(across, _mm_srli_si128(across, 8)), 8);
        return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, zero)));
    }
    // Two straight pixels in 16-bit lanes premultiplied, as PremultiplyPixel rounds them.
    static __m128i Premultiplied16(__m128i pixels)
    {
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
        __m128i product = _mm_add_epi16(_mm_mullo_epi16(pixels, alpha), _mm_set1_epi16(128));
        product = _mm_srli_epi16(_mm_add_epi16(product, _mm_srli_epi16(product, 8)), 8);
        // The alpha lanes keep the alpha itself.
        const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
        return _mm_or_si128(_mm_andnot_si128(alphaLanes, product), _mm_and_si128(alphaLanes, pixels));
    }
    // Bicubic sample with the tap grid's origin at (u, v): sixteen pixels around it, weighted by CubicWeights
    // along each axis. Taps outside are transparent, as the bilinear ones.
    uint32_t Bicubic(int64_t u, int64_t v) const
    {
        const int64_t x64 = u >> 16, y64 = v >> 16;
        // Every tap lies outside: nothing to weigh (and no sums past the integers' range).
        if (x64 < left - 3 || x64 > right + 3 || y64 < top - 3 || y64 > bottom + 3) return 0;
        const INT x = static_cast<INT>(x64), y = static_cast<INT>(y64);
        float across[4], down[4];
        CubicWeights(static_cast<float>(u & 0xFFFF) * (1.0f / 65536.0f), across);
        CubicWeights(static_cast<float>(v & 0xFFFF) * (1.0f / 65536.0f), down);
        const bool inside = x > left && x <= right - 2 && y > top && y <= bottom - 2;
        __m128 sum = _mm_setzero_ps();
        for (INT j = 0; j < 4; ++j) {
            __m128 row = _mm_setzero_ps();
            for (INT i = 0; i < 4; ++i) {
                const uint32_t pixel =
                    inside ? AsPremultiplied<kind>(Row(y - 1 + j)[x - 1 + i]) : At(x - 1 + i, y - 1 + j);
                row = _mm_add_ps(row, _mm_mul_ps(Channels(pixel), _mm_set1_ps(across[i])));
            }
            sum = _mm_add_ps(sum, _mm_mul_ps(row, _mm_set1_ps(down[j])));
        }
        return PremultipliedFrom(sum);
    }
    // Whether the two-by-two block at (x, y) lies wholly inside.
    bool Holds(INT x, INT y) const { return x >= left && y >= top && x < right && y < bottom; }
    INT Left() const { return left; }
    INT Top() const { return top; }
    INT Right() const { return right; }
    INT Bottom() const { return bottom; }
    const uint32_t* Row(INT y) const { return reinterpret_cast<const uint32_t*>(scan0 + y * stride); }
    const BYTE* Scan0() const { return scan0; }
    ptrdiff_t Stride() const { return stride; }
    // Whether every pixel's byte offset from the first row fits in 32 bits, as the eight-pixel step keeps them.
    bool OffsetsFit() const
    {
        const int64_t most = int64_t(1) << 30, across = std::llabs(int64_t(stride));
        return across < most && across * (int64_t(bottom) + 2) + 4 * (int64_t(right) + 2) < most;
    }
    // The pixel under (u, v), transparent past the picture; a pixel of the edge covered partly, whose centre
    // lies just outside, takes the edge's colour.
    uint32_t Nearest(int64_t u, int64_t v) const
    {
        const int64_t x = std::clamp<int64_t>(u >> 16, reachLeft, reachRight);
        return At(static_cast<INT>(x), static_cast<INT>(std::clamp<int64_t>(v >> 16, reachTop, reachBottom)));
    }

private:
    // Copies, not references: the compiler need not read them again after every pixel written.
    const BYTE* scan0;
    ptrdiff_t stride;
    INT left, top, right, bottom;                      // the picture's pixels drawn from, inclusive
    INT reachLeft, reachTop, reachRight, reachBottom;  // the pixels the rectangle reaches into, inclusive
};

// Four pixels at a time, two channels to a 32-bit lane (0x00FF00FF), each channel in 16 bits.
const __m128i kLanes = _mm_set1_epi32(0x00FF00FF);

// a + (b - a) * weight / 256 for four pixels, each with its weight in both 16-bit halves of its lane.
[[gnu::always_inline]] inline __m128i Mix4(__m128i a, __m128i b, __m128i weight)
{
    const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(256), weight);
    const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(a, kLanes), rest),
                                     _mm_mullo_epi16(_mm_and_si128(b, kLanes), weight));
    const __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(a, 8), kLanes), rest),
                                     _mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(b, 8), kLanes), weight));
    return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(kLanes, ag));
}

// Every channel of four pixels times its lane's factor / 255, rounded as ScaledPixel rounds.
[[gnu::always_inline]] inline __m128i Scaled4(__m128i pixels, __m128i factor)
{
    const __m128i half = _mm_set1_epi32(0x00800080);
    __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(pixels, kLanes), factor), half);
    rb = _mm_and_si128(_mm_srli_epi16(_mm_add_epi16(rb, _mm_and_si128(_mm_srli_epi32(rb, 8), kLanes)), 8), kLanes);
    __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(pixels, 8), kLanes), factor), half);
    ag = _mm_andnot_si128(kLanes, _mm_add_epi16(ag, _mm_and_si128(_mm_srli_epi32(ag, 8), kLanes)));
    return _mm_or_si128(rb, ag);
}

// A value in both 16-bit halves of each lane.
inline __m128i Doubled(__m128i values) { return _mm_or_si128(values, _mm_slli_epi32(values, 16)); }

// Four bilinear samples whose taps all lie inside, composited over four pixels of the row.
template <Stored kind>
[[gnu::always_inline]] inline void PaintFour(const Picture<kind>& picture, const INT* x, const INT* y, __m128i fx,
                                             __m128i fy, int coverage, uint32_t* row)
{
    // Each tap pair is one 8-byte read; the pairs of the four samples are then sorted into left and right taps.
    const auto pairs = [&](INT down, __m128i* left, __m128i* right) {
        __m128i p[4];
        for (int k = 0; k < 4; ++k)
            p[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(picture.Row(y[k] + down) + x[k]));
        const __m128 first = _mm_castsi128_ps(_mm_unpacklo_epi64(p[0], p[1]));
        const __m128 second = _mm_castsi128_ps(_mm_unpacklo_epi64(p[2], p[3]));
        *left = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0)));
        *right = _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1)));
    };
    __m128i tl, tr, bl, br;
    pairs(0, &tl, &tr);
    pairs(1, &bl, &br);
    if constexpr (kind == Stored::Opaque) {
        const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
        tl = _mm_or_si128(tl, alpha), tr = _mm_or_si128(tr, alpha);
        bl = _mm_or_si128(bl, alpha), br = _mm_or_si128(br, alpha);
    }
    __m128i sample = Mix4(Mix4(tl, bl, fy), Mix4(tr, br, fy), fx);
    if (coverage < 255) sample = Scaled4(sample, _mm_set1_epi16(static_cast<short>(coverage)));
    const __m128i alpha = _mm_srli_epi32(sample, 24);
    __m128i* out = reinterpret_cast<__m128i*>(row);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255))) == 0xFFFF) {
        _mm_storeu_si128(out, sample);
        return;
    }
    const __m128i rest = Doubled(_mm_sub_epi32(_mm_set1_epi32(255), alpha));
    _mm_storeu_si128(out, _mm_add_epi32(sample, Scaled4(_mm_loadu_si128(out), rest)));
}

inline int64_t Fixed(double value) { return static_cast<int64_t>(std::floor(value * 65536.0 + 0.5)); }

// One pixel sampled and composited.
template <Stored kind>
inline void PaintOne(const Picture<kind>& picture, ImageSampling sampling, int64_t u, int64_t v, int coverage,
                     uint32_t* pixel)
{
    uint32_t sample = sampling == ImageSampling::Bilinear  ? picture.Bilinear(u, v)
                      : sampling == ImageSampling::Bicubic ? picture.Bicubic(u, v)
                                                           : picture.Nearest(u, v);
    if (coverage < 255) sample = ScaledPixel(sample, static_cast<uint32_t>(coverage));
    const uint32_t alpha = sample >> 24;
    if (alpha == 255)
        *pixel = sample;
    else if (alpha != 0)
        *pixel = OverPixel(sample, *pixel);
}

// Whether the positions of a span's pixels, from (u, v) on by (du, dv) for `count` pixels, fit in 32-bit lanes
// with room for the eight-pixel step.
inline bool FitsLanes(int64_t u, int64_t v, int64_t du, int64_t dv, INT count)
{
    const int64_t most = int64_t(1) << 30;
    const auto fits = [&](int64_t start, int64_t step) {
        const int64_t last = start + step * (count + 8);
        return std::llabs(start) < most && std::llabs(last) < most && std::llabs(step) < most / 8;
    };
    return fits(u, du) && fits(v, dv);
}

// How many pixels ahead the source rows are fetched: a turned picture's span crosses a source row every pixel
// or two, on a new page for a large picture, which the hardware's stream prefetcher does not foresee.
const INT kAhead = 16;

// Asks for the two source rows a sample at (u, v) will read; a sample past the picture asks for its nearest
// two-by-two block instead (no branch in the loops). Always inlined: a call left standing holds nothing but
// prefetches, which the compiler counts as no effect and drops.
template <Stored kind>
[[gnu::always_inline]] inline void PrefetchAhead(const Picture<kind>& picture, int64_t u, int64_t v)
{
    const INT x = std::clamp(static_cast<INT>(u >> 16), picture.Left(), std::max(picture.Right() - 1, picture.Left()));
    const INT y = std::clamp(static_cast<INT>(v >> 16), picture.Top(), std::max(picture.Bottom() - 1, picture.Top()));
    const BYTE* upper = reinterpret_cast<const BYTE*>(picture.Row(y) + x);
    // The row below, or the same row again in a picture one row high.
    _mm_prefetch(reinterpret_cast<const char*>(upper), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(upper + (y < picture.Bottom() ? picture.Stride() : 0)), _MM_HINT_T0);
}

// a / b rounded down, for b > 0.
inline int64_t FloorDivide(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The pixels k of a span whose positions start + k * step lie in [low, high), clipped to [*first, *last).
inline void NarrowTo(int64_t start, int64_t step, int64_t low, int64_t high, int64_t* first, int64_t* last)
{
    if (step == 0) {
        if (start < low || start >= high) *last = *first;
        return;
    }
    // For a step up, low <= start + k * step from the first k on and below high until the last; down, the other way.
    const int64_t from = step > 0 ? -FloorDivide(start - low, step) : FloorDivide(start - high, -step) + 1;
    const int64_t to = step > 0 ? -FloorDivide(start - high, step) : FloorDivide(start - low, -step) + 1;
    *first = std::max(*first, from), *last = std::min(*last, to);
}

// The pixels of a span, from (u, v) on by (du, dv) for `count` pixels, whose bilinear taps all lie inside the
// picture: returns the end of that run and sets *first to its start (both 0 when there is none).
template <Stored kind>
inline INT InsideRun(const Picture<kind>& picture, int64_t u, int64_t v, int64_t du, int64_t dv, INT count, INT* first)
{
    // The two-by-two block at (x, y) lies inside for left <= x < right and top <= y < bottom.
    int64_t from = 0, to = count;
    NarrowTo(u, du, int64_t(picture.Left()) << 16, int64_t(picture.Right()) << 16, &from, &to);
    NarrowTo(v, dv, int64_t(picture.Top()) << 16, int64_t(picture.Bottom()) << 16, &from, &to);
    if (from >= to) from = to = 0;
    *first = static_cast<INT>(from);
    return static_cast<INT>(to);
}

// Bilinear samples of a run four pixels a step, the positions carried in 32-bit lanes; every sample's taps lie
// inside the picture. Returns how many pixels it painted (a multiple of four).
template <Stored kind>
[[gnu::always_inline]] inline INT PaintFours(const Picture<kind>& picture, int64_t u, int64_t v, int64_t du, int64_t dv,
                                             int coverage, uint32_t* row, INT count)
{
    const auto lanes = [](int64_t start, int64_t step) {
        return _mm_setr_epi32(int32_t(start), int32_t(start + step), int32_t(start + 2 * step),
                              int32_t(start + 3 * step));
    };
    __m128i u4 = lanes(u, du), v4 = lanes(v, dv);
    const __m128i stepU = _mm_set1_epi32(int32_t(4 * du)), stepV = _mm_set1_epi32(int32_t(4 * dv));
    const __m128i fraction = _mm_set1_epi32(0xFF);
    INT i = 0;
    for (; i + 4 <= count; i += 4, u4 = _mm_add_epi32(u4, stepU), v4 = _mm_add_epi32(v4, stepV)) {
        PrefetchAhead(picture, u + (i + kAhead) * du, v + (i + kAhead) * dv);
        // Whole vectors stored and read back as words: no narrow store is read back as a vector.
        alignas(16) INT xs[4], ys[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_srai_epi32(u4, 16));
        _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_srai_epi32(v4, 16));
        const __m128i fx = Doubled(_mm_and_si128(_mm_srli_epi32(u4, 8), fraction));
        const __m128i fy = Doubled(_mm_and_si128(_mm_srli_epi32(v4, 8), fraction));
        PaintFour(picture, xs, ys, fx, fy, coverage, row + i);
    }
    return i;
}

// Eight pixels' channels spread to 16-bit lanes, two to a 32-bit lane: blue and red (0x00FF00FF), or green and
// alpha (as the pixel shifted right by a byte).
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i BlueRed8(__m256i pixels)
{
    return _mm256_and_si256(pixels, _mm256_set1_epi32(0x00FF00FF));
}

[[gnu::target("avx2"), gnu::always_inline]] inline __m256i GreenAlpha8(__m256i pixels)
{
    const __m256i spread = _mm256_setr_epi8(1, -1, 3, -1, 5, -1, 7, -1, 9, -1, 11, -1, 13, -1, 15, -1, 1, -1, 3, -1, 5,
                                            -1, 7, -1, 9, -1, 11, -1, 13, -1, 15, -1);
    return _mm256_shuffle_epi8(pixels, spread);
}

// (a * rest + b * weight) / 256 in each 16-bit lane, left in the lane's low byte: Mix4's arithmetic on spread
// channels.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i MixSpread8(__m256i a, __m256i b, __m256i rest,
                                                                      __m256i weight)
{
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, rest), _mm256_mullo_epi16(b, weight)), 8);
}

// Eight bilinear samples from their four taps, with the weights in both 16-bit halves of each lane: the two rows
// mixed first, then the two columns, each step rounding down as Mix4 does. The channels stay spread from the
// taps to the sample.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Bilinear8(__m256i tl, __m256i tr, __m256i bl, __m256i br,
                                                                     __m256i fx, __m256i fy)
{
    const __m256i whole = _mm256_set1_epi16(256);
    const __m256i restY = _mm256_sub_epi16(whole, fy), restX = _mm256_sub_epi16(whole, fx);
    const __m256i leftBR = MixSpread8(BlueRed8(tl), BlueRed8(bl), restY, fy);
    const __m256i rightBR = MixSpread8(BlueRed8(tr), BlueRed8(br), restY, fy);
    const __m256i leftGA = MixSpread8(GreenAlpha8(tl), GreenAlpha8(bl), restY, fy);
    const __m256i rightGA = MixSpread8(GreenAlpha8(tr), GreenAlpha8(br), restY, fy);
    const __m256i blueRed = MixSpread8(leftBR, rightBR, restX, fx);
    const __m256i greenAlpha = _mm256_add_epi16(_mm256_mullo_epi16(leftGA, restX), _mm256_mullo_epi16(rightGA, fx));
    return _mm256_or_si256(blueRed, _mm256_andnot_si256(_mm256_set1_epi32(0x00FF00FF), greenAlpha));
}

// Scaled4 for eight pixels.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Scaled8(__m256i pixels, __m256i factor)
{
    const __m256i lanes = _mm256_set1_epi32(0x00FF00FF), half = _mm256_set1_epi32(0x00800080);
    __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(pixels, lanes), factor), half);
    rb = _mm256_and_si256(_mm256_srli_epi16(_mm256_add_epi16(rb, _mm256_and_si256(_mm256_srli_epi32(rb, 8), lanes)), 8),
                          lanes);
    __m256i ag =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(pixels, 8), lanes), factor), half);
    ag = _mm256_andnot_si256(lanes, _mm256_add_epi16(ag, _mm256_and_si256(_mm256_srli_epi32(ag, 8), lanes)));
    return _mm256_or_si256(rb, ag);
}

// The left and right taps of eight samples from one row each (8-byte reads, two to a 128-bit half: samples
// 0, 1, 4, 5 in one vector and 2, 3, 6, 7 in the other), sorted into two vectors in sample order.
[[gnu::target("avx2"), gnu::always_inline]] inline void TapPairs8(const BYTE* base, const INT* offsets, __m256i* left,
                                                                  __m256i* right)
{
    const auto two = [&](int first, int second) {
        const __m128 low = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + offsets[first])));
        return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(base + offsets[second]));
    };
    const __m256 even = _mm256_set_m128(two(4, 5), two(0, 1)), odd = _mm256_set_m128(two(6, 7), two(2, 3));
    *left = _mm256_castps_si256(_mm256_shuffle_ps(even, odd, _MM_SHUFFLE(2, 0, 2, 0)));
    *right = _mm256_castps_si256(_mm256_shuffle_ps(even, odd, _MM_SHUFFLE(3, 1, 3, 1)));
}

// start, start + step, ... start + 7 step in 32-bit lanes.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Lanes8(int64_t start, int64_t step)
{
    return _mm256_setr_epi32(int32_t(start), int32_t(start + step), int32_t(start + 2 * step),
                             int32_t(start + 3 * step), int32_t(start + 4 * step), int32_t(start + 5 * step),
                             int32_t(start + 6 * step), int32_t(start + 7 * step));
}

// PaintFours eight pixels a step, for processors with AVX2: the same samples, worked in 256-bit vectors. A run
// of full coverage (`partly` false) skips the coverage scaling.
template <Stored kind, bool partly>
[[gnu::target("avx2")]] INT PaintEights(const Picture<kind>& picture, int64_t u, int64_t v, int64_t du, int64_t dv,
                                        int coverage, uint32_t* row, INT count)
{
    __m256i u8 = Lanes8(u, du), v8 = Lanes8(v, dv);
    const __m256i stepU = _mm256_set1_epi32(int32_t(8 * du)), stepV = _mm256_set1_epi32(int32_t(8 * dv));
    const __m256i opaque = _mm256_set1_epi32(255), alphaBits = _mm256_set1_epi32(int(0xFF000000u));
    // The weights are the positions' second bytes (the fractions' high bytes), spread to both halves of the lanes.
    const __m256i weights = _mm256_setr_epi8(1, -1, 1, -1, 5, -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1, 1, -1, 1, -1, 5,
                                             -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1);
    const __m256i scale = _mm256_set1_epi16(static_cast<short>(coverage));
    const __m256i stride = _mm256_set1_epi32(int32_t(picture.Stride()));
    INT i = 0;
    for (; i + 8 <= count; i += 8, u8 = _mm256_add_epi32(u8, stepU), v8 = _mm256_add_epi32(v8, stepV)) {
        PrefetchAhead(picture, u + (i + kAhead) * du, v + (i + kAhead) * dv);
        // Byte offsets of the upper taps from the first row: one multiply for the eight.
        alignas(32) INT offsets[8];
        const __m256i x8 = _mm256_srai_epi32(u8, 16), y8 = _mm256_srai_epi32(v8, 16);
        _mm256_store_si256(reinterpret_cast<__m256i*>(offsets),
                           _mm256_add_epi32(_mm256_mullo_epi32(y8, stride), _mm256_slli_epi32(x8, 2)));
        __m256i tl, tr, bl, br;
        TapPairs8(picture.Scan0(), offsets, &tl, &tr);
        TapPairs8(picture.Scan0() + picture.Stride(), offsets, &bl, &br);
        if constexpr (kind == Stored::Opaque) {
            tl = _mm256_or_si256(tl, alphaBits), tr = _mm256_or_si256(tr, alphaBits);
            bl = _mm256_or_si256(bl, alphaBits), br = _mm256_or_si256(br, alphaBits);
        }
        __m256i sample = Bilinear8(tl, tr, bl, br, _mm256_shuffle_epi8(u8, weights), _mm256_shuffle_epi8(v8, weights));
        if constexpr (partly) sample = Scaled8(sample, scale);
        __m256i* out = reinterpret_cast<__m256i*>(row + i);
        // Opaque samples cover what lies under them (an opaque picture's always do, at full coverage).
        if ((kind == Stored::Opaque && !partly) || _mm256_testc_si256(sample, alphaBits)) {
            _mm256_storeu_si256(out, sample);
            continue;
        }
        const __m256i alpha = _mm256_srli_epi32(sample, 24);
        const __m256i rest = _mm256_sub_epi32(opaque, alpha);
        const __m256i restDoubled = _mm256_or_si256(rest, _mm256_slli_epi32(rest, 16));
        _mm256_storeu_si256(out, _mm256_add_epi32(sample, Scaled8(_mm256_loadu_si256(out), restDoubled)));
    }
    return i;
}

// PaintEights for a run along a row of the picture (an upright picture: every sample on one tap row pair, at
// one fraction down). The two rows are mixed once for the columns the run reaches, then each sample mixes two
// of those across: the same arithmetic as Bilinear8's, in the same order, so the same pixels, with half the
// work per sample.
template <Stored kind, bool partly>
[[gnu::target("avx2")]] INT PaintUprightEights(const Picture<kind>& picture, int64_t u, int64_t v, int64_t du,
                                               int coverage, uint32_t* row, INT count)
{
    if (count < 8) return 0;
    const INT y = static_cast<INT>(v >> 16);
    const uint32_t fy = static_cast<uint32_t>(v >> 8) & 0xFFu;
    // Columns from the first sample's left tap to the last's right one (in either order, for a mirrored picture).
    const INT ends[] = {static_cast<INT>(u >> 16), static_cast<INT>((u + int64_t(count - 1) * du) >> 16)};
    const INT first = std::min(ends[0], ends[1]), width = std::max(ends[0], ends[1]) - first + 2;
    thread_local std::vector<uint32_t> mixed;
    if (mixed.size() < size_t(width)) mixed.resize(size_t(width));
    const uint32_t* upper = picture.Row(y) + first;
    const uint32_t* lower = picture.Row(y + 1) + first;
    const uint32_t opaqueBits = kind == Stored::Opaque ? 0xFF000000u : 0u;
    const __m128i weight = _mm_set1_epi16(static_cast<short>(fy));
    INT c = 0;
    for (; c + 4 <= width; c += 4) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + c)),
                                       _mm_set1_epi32(int(opaqueBits)));
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + c)),
                                       _mm_set1_epi32(int(opaqueBits)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mixed.data() + c), Mix4(a, b, weight));
    }
    for (; c < width; ++c) mixed[size_t(c)] = Mix(upper[c] | opaqueBits, lower[c] | opaqueBits, fy);

    __m256i u8 = Lanes8(u - (int64_t(first) << 16), du);
    const __m256i stepU = _mm256_set1_epi32(int32_t(8 * du));
    const __m256i opaque = _mm256_set1_epi32(255), alphaBits = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i weights = _mm256_setr_epi8(1, -1, 1, -1, 5, -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1, 1, -1, 1, -1, 5,
                                             -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1);
    const __m256i scale = _mm256_set1_epi16(static_cast<short>(coverage));
    const __m256i whole = _mm256_set1_epi16(256);
    const BYTE* base = reinterpret_cast<const BYTE*>(mixed.data());
    INT i = 0;
    for (; i + 8 <= count; i += 8, u8 = _mm256_add_epi32(u8, stepU)) {
        alignas(32) INT offsets[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(offsets), _mm256_slli_epi32(_mm256_srai_epi32(u8, 16), 2));
        __m256i left, right;
        TapPairs8(base, offsets, &left, &right);
        const __m256i fx = _mm256_shuffle_epi8(u8, weights), restX = _mm256_sub_epi16(whole, fx);
        const __m256i blueRed = MixSpread8(BlueRed8(left), BlueRed8(right), restX, fx);
        const __m256i greenAlpha =
            _mm256_add_epi16(_mm256_mullo_epi16(GreenAlpha8(left), restX), _mm256_mullo_epi16(GreenAlpha8(right), fx));
        __m256i sample = _mm256_or_si256(blueRed, _mm256_andnot_si256(_mm256_set1_epi32(0x00FF00FF), greenAlpha));
        if constexpr (partly) sample = Scaled8(sample, scale);
        __m256i* out = reinterpret_cast<__m256i*>(row + i);
        if ((kind == Stored::Opaque && !partly) || _mm256_testc_si256(sample, alphaBits)) {
            _mm256_storeu_si256(out, sample);
            continue;
        }
        const __m256i rest = _mm256_sub_epi32(opaque, _mm256_srli_epi32(sample, 24));
        const __m256i restDoubled = _mm256_or_si256(rest, _mm256_slli_epi32(rest, 16));
        _mm256_storeu_si256(out, _mm256_add_epi32(sample, Scaled8(_mm256_loadu_si256(out), restDoubled)));
    }
    return i;
}

// Whether the processor runs AVX2.
inline bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// Samples and composites one run of pixels that share a coverage, part of the span the mask swept from `anchor`.
template <Stored kind>
[[gnu::always_inline]] inline void PaintSpan(const PixelView& target, const Picture<kind>& picture,
                                             const DeviceMap& back, ImageSampling sampling, INT anchor, INT x, INT y,
                                             INT count, int coverage)
{
    uint32_t* row = target.Row(y) + x;
    // The next row's pixels here are likely read next (the edge's pixels blend with what lies under them), and
    // the canvas's rows are far apart: ask for them now.
    if (y + 1 < target.Height()) _mm_prefetch(reinterpret_cast<const char*>(target.Row(y + 1) + x), _MM_HINT_T0);
    // Pixel centres lie on whole device coordinates; bilinear and bicubic taps sit on the source pixels' centres.
    const double tap = sampling == ImageSampling::Nearest ? 0.0 : 0.5;
    // Positions step on from the anchor's, so that a span painted in parts samples as it does whole.
    const int64_t du = Fixed(back.m11), dv = Fixed(back.m12);
    int64_t u = Fixed(anchor * back.m11 + y * back.m21 + back.dx - tap) + (x - anchor) * du;
    int64_t v = Fixed(anchor * back.m12 + y * back.m22 + back.dy - tap) + (x - anchor) * dv;
    INT i = 0;
    // Straight pictures are premultiplied pixel by pixel.
    if (sampling == ImageSampling::Bilinear && kind != Stored::Straight && count >= 4 &&
        FitsLanes(u, v, du, dv, count)) {
        // Pixels whose taps reach past the picture, at the run's ends, are sampled one at a time.
        const INT last = InsideRun(picture, u, v, du, dv, count, &i);
        for (INT k = 0; k < i; ++k) PaintOne(picture, sampling, u + k * du, v + k * dv, coverage, row + k);
        u += i * du, v += i * dv;
        INT done = 0;
        if (HasAvx2() && dv == 0)
            done = coverage < 255 ? PaintUprightEights<kind, true>(picture, u, v, du, coverage, row + i, last - i)
                                  : PaintUprightEights<kind, false>(picture, u, v, du, coverage, row + i, last - i);
        else if (HasAvx2() && picture.OffsetsFit())
            done = coverage < 255 ? PaintEights<kind, true>(picture, u, v, du, dv, coverage, row + i, last - i)
                                  : PaintEights<kind, false>(picture, u, v, du, dv, coverage, row + i, last - i);
        done += PaintFours(picture, u + done * du, v + done * dv, du, dv, coverage, row + i + done, last - i - done);
        i += done, u += done * du, v += done * dv;
    }
    for (; i < count; ++i, u += du, v += dv) PaintOne(picture, sampling, u, v, coverage, row + i);
}

// The span painters of each kind of picture, built for AVX2 and for any x86-64.
PICTOR_ROW_CLONES void PaintOpaqueSpan(const PixelView& target, const Picture<Stored::Opaque>& picture,
                                       const DeviceMap& back, ImageSampling sampling, INT anchor, INT x, INT y,
                                       INT count, int coverage)
{
    PaintSpan(target, picture, back, sampling, anchor, x, y, count, coverage);
}

PICTOR_ROW_CLONES void PaintPremultipliedSpan(const PixelView& target, const Picture<Stored::Premultiplied>& picture,
                                              const DeviceMap& back, ImageSampling sampling, INT anchor, INT x, INT y,
                                              INT count, int coverage)
{
    PaintSpan(target, picture, back, sampling, anchor, x, y, count, coverage);
}

template <Stored kind>
void PaintAnySpan(const PixelView& target, const Picture<kind>& picture, const DeviceMap& back, ImageSampling sampling,
                  INT anchor, INT x, INT y, INT count, int coverage)
{
    if constexpr (kind == Stored::Opaque)
        PaintOpaqueSpan(target, picture, back, sampling, anchor, x, y, count, coverage);
    else if constexpr (kind == Stored::Premultiplied)
        PaintPremultipliedSpan(target, picture, back, sampling, anchor, x, y, count, coverage);
    else
        PaintSpan(target, picture, back, sampling, anchor, x, y, count, coverage);
}

// The columns of `box` that the polygons reach within rows [top, bottom), a pixel more each side.
Rect ColumnsWithin(const std::vector<Polygon>& polygons, const Rect& box, INT top, INT bottom)
{
    float left = std::numeric_limits<float>::max(), right = -left;
    const float y0 = float(top), y1 = float(bottom);
    for (const Polygon& polygon : polygons)
        for (size_t k = 0; k < polygon.size(); ++k) {
            const PointF& p = polygon[k];
            const PointF& q = polygon[(k + 1) % polygon.size()];
            // The edge cut to the rows; its ends are the extremes of its x there.
            const float low = std::max(std::min(p.Y, q.Y), y0), high = std::min(std::max(p.Y, q.Y), y1);
            if (low > high) continue;
            for (float y : {low, high}) {
                const float x = p.Y == q.Y ? p.X : p.X + (q.X - p.X) * ((y - p.Y) / (q.Y - p.Y));
                const float other = p.Y == q.Y ? q.X : x;
                left = std::min({left, x, other}), right = std::max({right, x, other});
            }
        }
    if (!(left <= right)) return Rect(box.X, top, 0, bottom - top);
    const INT from = std::max(box.X, static_cast<INT>(std::floor(left)) - 1);
    const INT to = std::min(box.X + box.Width, static_cast<INT>(std::ceil(right)) + 1);
    return Rect(from, top, std::max(to - from, 0), bottom - top);
}

// Samples and writes one run of pixels: composited over the target's, or in copying compositing in their place,
// scaled to the coverage (as the layer's fills copy), which is the sample composited over transparency.
template <Stored kind>
inline void PaintOrCopySpan(const PixelView& target, const Picture<kind>& picture, const DeviceMap& back,
                            ImageSampling sampling, bool copying, INT anchor, INT x, INT y, INT count, int coverage)
{
    if (copying) std::fill_n(target.Row(y) + x, count, 0u);
    PaintAnySpan(target, picture, back, sampling, anchor, x, y, count, coverage);
}

template <Stored kind>
void PaintCovered(const PixelView& target, const PixelView& source, const Rect& from, const Rect& reach,
                  const DeviceMap& back, ImageSampling sampling, bool copying, const std::vector<Polygon>& polygons,
                  const Rect& box, DeviceClip* clip)
{
    const Picture<kind> picture(source, from, reach);
    // Rows are worked in bands of a few rows, each as wide as the picture reaches there: a turned picture
    // leaves much of its box bare, and the mask's cells need not be cleared and swept there.
    const INT rowsPerBand = std::clamp(kMostCells / (box.Width + 1), 1, kBandRows);
    // The bands and spans are those of the picture unclipped (the clip only takes parts of them), so that the
    // pixels it lets through are sampled exactly as they would be without it.
    const bool clipped = clip != nullptr;
    for (INT top = box.Y; top < box.Y + box.Height; top += rowsPerBand) {
        const Rect band = ColumnsWithin(polygons, box, top, std::min(top + rowsPerBand, box.Y + box.Height));
        if (band.Width <= 0) continue;
        CoverageMask mask(band);
        for (const Polygon& polygon : polygons) mask.AddPolygon(polygon);
        if (!clipped) {
            mask.Sweep(false, [&](INT x, INT y, INT count, int coverage) {
                PaintOrCopySpan(target, picture, back, sampling, copying, x, x, y, count, coverage);
            });
            continue;
        }
        // The clip lets parts of each span through.
        const ClipRows clipRows(*clip, band);
        mask.Sweep(false, [&](INT x, INT y, INT count, int coverage) {
            clipRows.ForEachPart(y, x, count, [&](INT at, INT n) {
                PaintOrCopySpan(target, picture, back, sampling, copying, x, at, y, n, coverage);
            });
        });
    }
}

// `count` picture pixels put in place of as many target pixels, as premultiplied ones.
template <Stored kind> void ReplaceRun(const uint32_t* in, uint32_t* out, INT count)
{
    if constexpr (kind == Stored::Premultiplied) {
        std::copy_n(in, count, out);
        return;
    }
    for (INT k = 0; k < count; ++k) out[k] = AsPremultiplied<kind>(in[k]);
}

// `count` picture pixels composited source over as many target pixels.
template <Stored kind> void CopyRun(const uint32_t* in, uint32_t* out, INT count)
{
    INT k = 0;
    // Four premultiplied pixels a step, composited as PaintFour composites them.
    if constexpr (kind != Stored::Straight)
        for (; k + 4 <= count; k += 4) {
            __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
            __m128i* to = reinterpret_cast<__m128i*>(out + k);
            if constexpr (kind == Stored::Opaque) {
                _mm_storeu_si128(to, _mm_or_si128(pixels, _mm_set1_epi32(int(0xFF000000u))));
                continue;
            }
            const __m128i alpha = _mm_srli_epi32(pixels, 24);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255))) == 0xFFFF) {
                _mm_storeu_si128(to, pixels);
                continue;
            }
            // Transparent pixels leave the target as it is.
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(pixels, _mm_setzero_si128())) == 0xFFFF) continue;
            const __m128i rest = Doubled(_mm_sub_epi32(_mm_set1_epi32(255), alpha));
            _mm_storeu_si128(to, _mm_add_epi32(pixels, Scaled4(_mm_loadu_si128(to), rest)));
        }
    for (; k < count; ++k) {
        const uint32_t pixel = AsPremultiplied<kind>(in[k]);
        if (pixel >> 24 == 255)
            out[k] = pixel;
        else if (pixel != 0)
            out[k] = OverPixel(pixel, out[k]);
    }
}

// The target pixels `area` covers when moved by (x, y), within the target and the clip's box (in 64 bits: a
// placement far off the canvas must not wrap around onto it); empty when it covers none.
Rect PlacedOnTarget(const PixelView& target, const Rect& area, INT x, INT y, const DeviceClip* clip)
{
    const Rect whole(0, 0, target.Width(), target.Height());
    const Rect box = clip ? clip->Narrow(whole) : whole;
    const int64_t left = std::max<int64_t>(int64_t(x) + area.X, box.X);
    const int64_t right = std::min<int64_t>(int64_t(x) + area.X + area.Width, box.X + box.Width);
    const int64_t top = std::max<int64_t>(int64_t(y) + area.Y, box.Y);
    const int64_t bottom = std::min<int64_t>(int64_t(y) + area.Y + area.Height, box.Y + box.Height);
    if (left >= right || top >= bottom) return Rect();
    return Rect(INT(left), INT(top), INT(right - left), INT(bottom - top));
}

// Calls paint(row, at, count) for each run of the placed rectangle's rows that the clip (if any) lets through.
template <class Paint>
void ForEachPlacedRun(const Rect& placed, DeviceClip* clip, Paint&& paint)
{
    if (placed.Width <= 0 || placed.Height <= 0) return;
    std::optional<ClipRows> clipRows;
    if (clip) clipRows.emplace(*clip, placed);
    for (INT row = placed.Y; row < placed.Y + placed.Height; ++row) {
        const auto run = [&](INT at, INT count) { paint(row, at, count); };
        if (clipRows)
            clipRows->ForEachPart(row, placed.X, placed.Width, run);
        else
            run(placed.X, placed.Width);
    }
}

// The `from` rectangle of the picture composited source over the target where the clip (if any) lets it
// through, picture pixel (0, 0) landing on target pixel (x, y): an unscaled picture whose pixels land on whole
// device pixels. In copying compositing the picture's pixels replace the target's.
template <Stored kind>
void CopyCovered(const PixelView& target, const PixelView& source, const Rect& from, INT x, INT y, bool copying,
                 DeviceClip* clip)
{
    ForEachPlacedRun(PlacedOnTarget(target, from, x, y, clip), clip, [&](INT row, INT at, INT count) {
        // Picture pixel (at - x, row - y) lands on target pixel (at, row).
        const uint32_t* in = source.Row(row - y) + (at - x);
        uint32_t* out = target.Row(row) + at;
        if (copying)
            ReplaceRun<kind>(in, out, count);
        else
            CopyRun<kind>(in, out, count);
    });
}

// Where an unscaled upright picture's first pixel lands, when its pixels land on whole device pixels: a corner
// on a whole coordinate (GDI+ copies such a picture as it is) or half a pixel past one.
bool WholePixelPlacement(const DeviceMap& toDevice, INT* x, INT* y)
{
    if (toDevice.m11 != 1 || toDevice.m22 != 1 || toDevice.m12 != 0 || toDevice.m21 != 0) return false;
    const double left = std::ceil(toDevice.dx), top = std::ceil(toDevice.dy);
    if (2 * (left - toDevice.dx) != std::floor(2 * (left - toDevice.dx)) ||
        2 * (top - toDevice.dy) != std::floor(2 * (top - toDevice.dy)) || std::fabs(left) > 1e9 ||
        std::fabs(top) > 1e9)
        return false;
    *x = static_cast<INT>(left), *y = static_cast<INT>(top);
    return true;
}

// The pixels the rectangle reaches into, kept within `bounds`; empty when it reaches none there.
Rect PixelsUnder(const RectF& from, const Rect& bounds)
{
    const double left = std::max(std::floor(double(from.X)), double(bounds.X));
    const double top = std::max(std::floor(double(from.Y)), double(bounds.Y));
    const double right = std::min(std::ceil(double(from.X) + from.Width), double(bounds.X) + bounds.Width);
    const double bottom = std::min(std::ceil(double(from.Y) + from.Height), double(bounds.Y) + bounds.Height);
    if (!(left < right && top < bottom)) return Rect();
    return Rect(INT(left), INT(top), INT(right - left), INT(bottom - top));
}

// The target's pixels of `area` (moved by (x, y)) within the clip cleared: what a copy of transparency leaves.
void ClearArea(const PixelView& target, const Rect& area, INT x, INT y, DeviceClip* clip)
{
    ForEachPlacedRun(PlacedOnTarget(target, area, x, y, clip), clip,
                     [&](INT row, INT at, INT count) { std::fill_n(target.Row(row) + at, count, 0u); });
}

}  // namespace

bool DrawImageMapped(const PixelView& target, const PixelView& source, const RectF& from, const DeviceMap& toDevice,
                     ImageSampling sampling, bool copying, DeviceClip* clip)
{
    DeviceMap back;
    if (!target.Valid() || !source.Valid() || !(from.Width > 0 && from.Height > 0) || !InvertMap(toDevice, &back))
        return false;
    const Rect pixels = PixelsUnder(from, Rect(0, 0, source.Width(), source.Height()));
    // Kept to 2^29 pixels either way, where no target pixel's centre reaches.
    const Rect reach = PixelsUnder(from, Rect(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30));
    const bool reached = pixels.Width > 0 && pixels.Height > 0;
    const bool whole =
        reach.X == from.X && reach.Y == from.Y && reach.Width == from.Width && reach.Height == from.Height;
    INT x = 0, y = 0;
    // Whole pixels land as the picture's pixels: composited over, the transparency past the picture leaves
    // the target as it is; a copy clears there.
    if (whole && WholePixelPlacement(toDevice, &x, &y)) {
        if (copying && !pixels.Equals(reach)) ClearArea(target, reach, x, y, clip);
        if (!reached) return true;
        if (source.Opaque())
            CopyCovered<Stored::Opaque>(target, source, pixels, x, y, copying, clip);
        else if (source.Straight())
            CopyCovered<Stored::Straight>(target, source, pixels, x, y, copying, clip);
        else
            CopyCovered<Stored::Premultiplied>(target, source, pixels, x, y, copying, clip);
        return true;
    }
    // Composited over, a rectangle that reaches none of the picture draws nothing; copied, it clears what it
    // covers.
    if (!reached && !copying) return true;
    const PointF corners[] = {PointF(from.X, from.Y), PointF(from.X + from.Width, from.Y),
                              PointF(from.X + from.Width, from.Y + from.Height), PointF(from.X, from.Y + from.Height)};
    Polygon outline;
    for (const PointF& corner : corners) {
        const PointF device = toDevice.Apply(corner);
        // Coverage squares start at whole numbers, half a pixel before the pixel centres.
        outline.push_back(PointF(device.X + 0.5f, device.Y + 0.5f));
    }
    std::vector<Polygon> polygons{outline};
    if (!CutToBand(&polygons, BandAround(target.Width(), target.Height()))) return false;
    const Rect box = PixelBounds(polygons, target.Width(), target.Height());
    // A clip that leaves the whole picture is no clip here.
    if (clip && clip->IsBox()) {
        const Rect within = clip->Narrow(box);
        if (within.Width <= 0 || within.Height <= 0) return true;
        if (within.Equals(box)) clip = nullptr;
    }
    // Positions are carried in 16.16 fixed point.
    if (std::fabs(back.m11) > 1e4 || std::fabs(back.m12) > 1e4) return false;
    if (source.Opaque())
        PaintCovered<Stored::Opaque>(target, source, pixels, reach, back, sampling, copying, polygons, box, clip);
    else if (source.Straight())
        PaintCovered<Stored::Straight>(target, source, pixels, reach, back, sampling, copying, polygons, box, clip);
    else
        PaintCovered<Stored::Premultiplied>(target, source, pixels, reach, back, sampling, copying, polygons, box,
                                            clip);
    return true;
}

}  // namespace Gdiplus
