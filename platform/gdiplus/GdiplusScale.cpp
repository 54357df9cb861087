// Scaled-down drawing of 32-bit bitmaps by area averaging. libgdiplus scales every picture with pixman's
// separable convolution at full resolution, several times slower than the two passes here: a vertical pass
// that sums whole source rows (vectorised) and a horizontal pass over the one summed row.
#include <algorithm>
#include <cstring>
#include <vector>
#include <emmintrin.h>

#include "PixelView.h"
#include "RowClones.h"

namespace Gdiplus {

PixelView::PixelView(DllExports::GpImage* image, bool premultipliedOnly)
{
    // A metafile has no pixels: the engine reports it as 32bppRGB and crashes locking it.
    ImageType type = ImageTypeUnknown;
    if (!image || DllExports::GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap) return;
    PixelFormat native = 0;
    if (DllExports::GdipGetImagePixelFormat(image, &native) != Ok) return;
    const bool wanted = native == PixelFormat32bppPARGB || (!premultipliedOnly && native == PixelFormat32bppRGB);
    if (!wanted) return;
    UINT imageWidth = 0, imageHeight = 0;
    if (DllExports::GdipGetImageWidth(image, &imageWidth) != Ok ||
        DllExports::GdipGetImageHeight(image, &imageHeight) != Ok || imageWidth == 0 || imageHeight == 0)
        return;
    DllExports::GpBitmap* candidate = reinterpret_cast<DllExports::GpBitmap*>(image);
    const Rect onePixel(0, 0, 1, 1);
    if (DllExports::GdipBitmapLockBits(candidate, &onePixel, ImageLockModeRead, native, &data.data) != Ok) return;
    bitmap = candidate;
    width = static_cast<INT>(imageWidth);
    height = static_cast<INT>(imageHeight);
    format = native;
    scan0 = static_cast<BYTE*>(data.data.Scan0);
    stride = data.data.Stride;
}

PixelView::~PixelView()
{
    if (bitmap) DllExports::GdipBitmapUnlockBits(bitmap, &data.data);
}

namespace {

// The source pixels one destination pixel covers along an axis, with the share of each in fixed point.
struct Taps {
    std::vector<int> first;   // per destination pixel: its first source pixel
    std::vector<int> count;   // per destination pixel: how many source pixels it covers
    std::vector<int> offset;  // per destination pixel: where its weights start
    std::vector<uint16_t> weight;
    std::vector<int32_t> pairs;  // the weights two by two, as one 32-bit lane of a multiply-add
};

// Destination pixel j covers source [j·n/m, (j+1)·n/m); in units of 1/m of a source pixel that is
// [j·n, (j+1)·n), and source pixel i is [i·m, (i+1)·m). The weights are rounded on the running total so
// that every pixel's weights add up to exactly one, one = 2^bits. An odd count gets a zero weight more, so
// that the pass across can take taps in pairs.
Taps AreaTaps(int sourceLength, int destLength, int bits, bool pairs)
{
    Taps taps;
    const int64_t n = sourceLength, m = destLength, one = int64_t(1) << bits;
    taps.first.resize(destLength);
    taps.count.resize(destLength);
    taps.offset.resize(destLength);
    for (int64_t j = 0; j < m; ++j) {
        const int64_t begin = j * n, end = (j + 1) * n;
        const int64_t firstPixel = begin / m, lastPixel = (end - 1) / m;
        taps.first[j] = static_cast<int>(firstPixel);
        taps.count[j] = static_cast<int>(lastPixel - firstPixel + 1);
        taps.offset[j] = static_cast<int>(taps.weight.size());
        int64_t covered = 0, given = 0;
        for (int64_t i = firstPixel; i <= lastPixel; ++i) {
            covered += std::min(end, (i + 1) * m) - std::max(begin, i * m);
            const int64_t total = (covered * one + n / 2) / n;
            taps.weight.push_back(static_cast<uint16_t>(total - given));
            given = total;
        }
        if (pairs && taps.count[j] % 2) taps.weight.push_back(0);
    }
    if (pairs)
        for (size_t k = 0; k + 1 < taps.weight.size(); k += 2)
            taps.pairs.push_back(int32_t(taps.weight[k]) | int32_t(taps.weight[k + 1]) << 16);
    return taps;
}

// Rows are summed with weights of 8 bits, so that a sum of bytes fits 16 bits (channel × 256).
const int kDownBits = 8;
// Across, the summed row is taken at channel × 128 (fits a signed 16-bit lane) with weights of 12 bits.
const int kAcrossBits = 12;
const int kResultShift = kAcrossBits + 7;

// sums[k] (+)= Σ weight[t] × rows[t][k] over up to four source rows at once, so that the sums are loaded and
// stored once per four rows; the loops the compiler vectorises.
PICTOR_ROW_CLONES void AccumulateRows(const uint8_t* const* rows,
                                                                      const uint16_t* weight, int count,
                                                                      uint16_t* __restrict sums, size_t length,
                                                                      bool first)
{
    const uint16_t start = first ? 0 : 1;
    const uint8_t* __restrict r0 = rows[0];
    const uint16_t w0 = weight[0];
    if (count == 1) {
        for (size_t k = 0; k < length; ++k) sums[k] = uint16_t(start * sums[k] + w0 * r0[k]);
        return;
    }
    const uint8_t* __restrict r1 = rows[1];
    const uint16_t w1 = weight[1];
    if (count == 2) {
        for (size_t k = 0; k < length; ++k) sums[k] = uint16_t(start * sums[k] + w0 * r0[k] + w1 * r1[k]);
        return;
    }
    const uint8_t* __restrict r2 = rows[2];
    const uint16_t w2 = weight[2];
    if (count == 3) {
        for (size_t k = 0; k < length; ++k)
            sums[k] = uint16_t(start * sums[k] + w0 * r0[k] + w1 * r1[k] + w2 * r2[k]);
        return;
    }
    const uint8_t* __restrict r3 = rows[3];
    const uint16_t w3 = weight[3];
    for (size_t k = 0; k < length; ++k)
        sums[k] = uint16_t(start * sums[k] + w0 * r0[k] + w1 * r1[k] + w2 * r2[k] + w3 * r3[k]);
}

// Four 16-bit channels of one summed pixel, at channel × 128.
__m128i SummedPixel(const uint16_t* row, int index)
{
    return _mm_srli_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + static_cast<size_t>(index) * 4)), 1);
}

// One destination row from the summed source row: each pixel the weighted sum of its taps, two taps per
// multiply-add.
void ScaleRowAcross(const uint16_t* row, const Taps& across, uint32_t* out, int width)
{
    const __m128i round = _mm_set1_epi32(1 << (kResultShift - 1));
    for (int x = 0; x < width; ++x) {
        // The row ends in one spare pixel of zeros, for the second tap of a last odd pair (weight zero).
        const int32_t* pair = across.pairs.data() + across.offset[x] / 2;
        const int first = across.first[x], count = across.count[x];
        __m128i sum = round;
        for (int t = 0; t < count; t += 2, ++pair) {
            const __m128i ab = _mm_unpacklo_epi16(SummedPixel(row, first + t), SummedPixel(row, first + t + 1));
            sum = _mm_add_epi32(sum, _mm_madd_epi16(ab, _mm_set1_epi32(*pair)));
        }
        __m128i pixel = _mm_srli_epi32(sum, kResultShift);
        pixel = _mm_packus_epi16(_mm_packs_epi32(pixel, pixel), pixel);
        uint32_t value = static_cast<uint32_t>(_mm_cvtsi128_si32(pixel));
        // Premultiplied colour never exceeds its alpha; rounding must not make it.
        const __m128i alpha = _mm_set1_epi8(static_cast<char>(value >> 24));
        value = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_min_epu8(pixel, alpha)));
        out[x] = value;
    }
}

void StoreRow(const uint32_t* scaled, uint32_t* dst, int width, bool sourceCopy)
{
    if (sourceCopy) {
        std::memcpy(dst, scaled, sizeof(uint32_t) * static_cast<size_t>(width));
        return;
    }
    for (int x = 0; x < width; ++x) {
        const uint32_t alpha = scaled[x] >> 24;
        if (alpha == 255)
            dst[x] = scaled[x];
        else if (alpha != 0 || scaled[x] != 0)
            dst[x] = OverPixel(scaled[x], dst[x]);
    }
}

}  // namespace

void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy)
{
    const Taps down = AreaTaps(from.Height, to.Height, kDownBits, false);
    const Taps across = AreaTaps(from.Width, to.Width, kAcrossBits, true);
    const size_t rowBytes = static_cast<size_t>(from.Width) * 4;
    std::vector<uint16_t> summed(rowBytes + 4);
    std::vector<uint32_t> scaled(static_cast<size_t>(to.Width));
    for (int y = 0; y < to.Height; ++y) {
        for (int t = 0; t < down.count[y]; t += 4) {
            const uint8_t* rows[4];
            const int count = std::min(4, down.count[y] - t);
            for (int r = 0; r < count; ++r)
                rows[r] = reinterpret_cast<const uint8_t*>(src.Row(from.Y + down.first[y] + t + r) + from.X);
            AccumulateRows(rows, down.weight.data() + down.offset[y] + t, count, summed.data(), rowBytes, t == 0);
        }
        if (src.Opaque())
            for (size_t k = 3; k < rowBytes; k += 4) summed[k] = 255u << kDownBits;
        ScaleRowAcross(summed.data(), across, scaled.data(), to.Width);
        StoreRow(scaled.data(), dst.Row(to.Y + y) + to.X, to.Width, sourceCopy);
    }
}

}  // namespace Gdiplus
