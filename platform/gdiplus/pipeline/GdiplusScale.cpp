// Scaled-down drawing of 32-bit bitmaps by area averaging. libgdiplus scales every picture with pixman's
// separable convolution at full resolution, several times slower than the two passes here: a vertical pass
// that sums whole source rows (vectorised) and a horizontal pass over the one summed row. Both weigh each
// source pixel by its exact overlap, in whole numbers, so that every ratio up to 32767:1 averages exactly.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <vector>
#include <emmintrin.h>

#include "Clip.h"
#include "ImageDraw.h"
#include "PixelView.h"
#include "Premultiply.h"
#include "RowClones.h"

namespace Gdiplus {

namespace {

// The source pixels one destination pixel covers along an axis, each with its exact share.
struct Taps {
    std::vector<int> first;   // per destination pixel: its first source pixel
    std::vector<int> count;   // per destination pixel: how many source pixels it covers
    std::vector<int> offset;  // per destination pixel: where its weights start
    std::vector<int16_t> weight;
    std::vector<int32_t> pairs;  // the weights two by two, as one 32-bit lane of a multiply-add
    int common = 1;              // gcd(n, m) below, which divides every weight
};

// Two taps' weights side by side, as one 32-bit lane of a multiply-add.
int32_t WeightPair(int16_t a, int16_t b) { return int32_t(uint16_t(a)) | int32_t(b) << 16; }

// Destination pixel j covers source [j·n/m, (j+1)·n/m); in units of 1/m of a source pixel that is [j·n, (j+1)·n),
// and source pixel i is [i·m, (i+1)·m). Each source pixel's weight is its overlap in those units: whole numbers
// up to m (at most 32767, a signed 16-bit lane) that add up to n, so the weighted sums are exact at any ratio.
// Every bound above is a multiple of gcd(n, m), and so is every weight. An odd count gets a zero weight more,
// so that the pass across can take taps in pairs.
Taps AreaTaps(int sourceLength, int destLength)
{
    Taps taps;
    const int64_t n = sourceLength, m = destLength;
    taps.common = std::gcd(sourceLength, destLength);
    taps.first.resize(destLength);
    taps.count.resize(destLength);
    taps.offset.resize(destLength);
    for (int64_t j = 0; j < m; ++j) {
        const int64_t begin = j * n, end = (j + 1) * n;
        const int64_t firstPixel = begin / m, lastPixel = (end - 1) / m;
        taps.first[j] = static_cast<int>(firstPixel);
        taps.count[j] = static_cast<int>(lastPixel - firstPixel + 1);
        taps.offset[j] = static_cast<int>(taps.weight.size());
        for (int64_t i = firstPixel; i <= lastPixel; ++i)
            taps.weight.push_back(static_cast<int16_t>(std::min(end, (i + 1) * m) - std::max(begin, i * m)));
        if (taps.count[j] % 2) taps.weight.push_back(0);
    }
    for (size_t k = 0; k + 1 < taps.weight.size(); k += 2)
        taps.pairs.push_back(WeightPair(taps.weight[k], taps.weight[k + 1]));
    return taps;
}

// sums[k] (+)= Σ weight[t] × rows[t][k] over up to four source rows at once, so that the sums are loaded and
// stored once per four rows; the loops the compiler vectorises.
PICTOR_ROW_CLONES void AccumulateRows(const uint8_t* const* rows, const uint16_t* weight, int count,
                                      uint16_t* __restrict sums, size_t length, bool first)
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

// wide[k] (+)= sums[k], for more rows than 16-bit sums hold.
PICTOR_ROW_CLONES void CarrySums(const uint16_t* __restrict sums, uint32_t* __restrict wide, size_t length, bool first)
{
    for (size_t k = 0; k < length; ++k) wide[k] = (first ? 0 : wide[k]) + sums[k];
}

// A row finished from the source rows a destination row covers whole (the sums of all but the last few, and
// those) and the (at most two) rows it covers in part, each times its weight: exact in 32 bits (at most
// 255 × 32767), then over the whole weight and × 128, rounded. One pass over all the rows of a small ratio.
struct RowFinish {
    const uint16_t* sums;     // the sums of the earlier rows covered whole, or null
    const uint32_t* wide;     // what was carried out of them, or null
    const uint8_t* whole[4];  // the last rows covered whole (where fewer, a row of zeros)
    const uint8_t* part[2];   // the rows covered in part (where fewer, any row, at weight zero)
    int32_t wholeWeight;
    int32_t partWeight[2];
    float scale;
};

PICTOR_ROW_CLONES void FinishRow(const RowFinish& row, int16_t* __restrict out, size_t length)
{
    const uint8_t* __restrict r0 = row.whole[0];
    const uint8_t* __restrict r1 = row.whole[1];
    const uint8_t* __restrict r2 = row.whole[2];
    const uint8_t* __restrict r3 = row.whole[3];
    const uint8_t* __restrict a = row.part[0];
    const uint8_t* __restrict b = row.part[1];
    const int32_t whole = row.wholeWeight, partA = row.partWeight[0], partB = row.partWeight[1];
    const float scale = row.scale;
    const auto finish = [&](size_t k, int32_t earlier) {
        const int32_t wholeSum = earlier + r0[k] + r1[k] + r2[k] + r3[k];
        return int16_t(float(wholeSum * whole + a[k] * partA + b[k] * partB) * scale + 0.5f);
    };
    const uint16_t* __restrict sums = row.sums;
    const uint32_t* __restrict wide = row.wide;
    if (!sums)
        for (size_t k = 0; k < length; ++k) out[k] = finish(k, 0);
    else if (!wide)
        for (size_t k = 0; k < length; ++k) out[k] = finish(k, sums[k]);
    else
        for (size_t k = 0; k < length; ++k) out[k] = finish(k, int32_t(wide[k] + sums[k]));
}

// A row's weights over their common divisor, when they add up to at most this, give sums of at most 255 × 128,
// which fit a signed 16-bit lane as the pass across takes them.
const int kMostReducedWeight = 128;
// Rows added with a weight of one fit unsigned 16-bit lanes up to 256 at a time (255 × 256).
const int kRowsPer16Bits = 256;

// A destination row after the vertical pass: its channels in signed 16-bit lanes, followed by one pixel of
// zeros, and the levels one step of them is worth.
struct SummedRow {
    int16_t* channels;
    float unit;
    int16_t opaque;  // a full alpha
};

// The vertical pass, one destination row at a time, into scratch rows of its own.
class VerticalPass {
public:
    VerticalPass(const PixelView& src, const Rect& from, const Rect& to)
        : src(src), from(from), down(AreaTaps(from.Height, to.Height)), length(size_t(from.Width) * 4),
          sums(length + 4), finished(length + 4), zeros(length)
    {
    }

    // Where the whole weight over its common divisor is small (every whole ratio, and most picture sizes), rows
    // are weighed as they are added, four to a pass; elsewhere the rows covered whole are added as they are.
    SummedRow Row(int y)
    {
        const int reduced = from.Height / down.common;
        if (reduced <= kMostReducedWeight) return WeighedAsAdded(y, reduced);
        return WholeAndParts(y);
    }

private:
    const uint8_t* Source(int y, int t) const
    {
        return reinterpret_cast<const uint8_t*>(src.Row(from.Y + down.first[y] + t) + from.X);
    }

    // Each row weighed as it is added, with its weight over the common divisor: whole numbers that add up to
    // `reduced`, so that the sums are exact in 16-bit lanes and go across as they are.
    SummedRow WeighedAsAdded(int y, int reduced)
    {
        const int16_t* weight = down.weight.data() + down.offset[y];
        for (int t = 0; t < down.count[y]; t += 4) {
            const int count = std::min(4, down.count[y] - t);
            const uint8_t* rows[4];
            uint16_t reducedWeight[4];
            for (int r = 0; r < count; ++r) {
                rows[r] = Source(y, t + r);
                reducedWeight[r] = static_cast<uint16_t>(weight[t + r] / down.common);
            }
            AccumulateRows(rows, reducedWeight, count, sums.data(), length, t == 0);
        }
        return {reinterpret_cast<int16_t*>(sums.data()), 1.0f / static_cast<float>(reduced),
                static_cast<int16_t>(255 * reduced)};
    }

    // The rows covered whole all weigh m (the destination's height): they are added up as they are, in 16-bit
    // lanes up to kRowsPer16Bits at a time, then in 32-bit ones. The (at most two) rows covered in part are
    // weighed when the row is finished, at channel × 128 (at most 32640, a signed 16-bit lane).
    SummedRow WholeAndParts(int y)
    {
        const int16_t* weight = down.weight.data() + down.offset[y];
        const int count = down.count[y], m = static_cast<int>(down.first.size());
        const bool partTop = weight[0] < m;
        const bool partBottom = count > 1 && weight[count - 1] < m;
        RowFinish finish{
            nullptr, nullptr, {}, {Source(y, 0), Source(y, 0)}, m, {0, 0}, 128.0f / static_cast<float>(from.Height)};
        if (partTop) finish.partWeight[0] = weight[0];
        if (partBottom) finish.part[1] = Source(y, count - 1), finish.partWeight[1] = weight[count - 1];
        const int firstWhole = partTop ? 1 : 0, wholeCount = count - partTop - partBottom;
        // The last one to four rows covered whole go to the finish; the rest are summed first.
        const int summed = wholeCount > 0 ? (wholeCount - 1) / 4 * 4 : 0;
        const uint16_t ones[4] = {1, 1, 1, 1};
        for (int t = 0; t < summed; t += 4) {
            const bool fresh = t % kRowsPer16Bits == 0;
            if (fresh && t > 0) {
                wide.resize(length);
                CarrySums(sums.data(), wide.data(), length, t == kRowsPer16Bits);
                finish.wide = wide.data();
            }
            const uint8_t* rows[4];
            for (int r = 0; r < 4; ++r) rows[r] = Source(y, firstWhole + t + r);
            AccumulateRows(rows, ones, 4, sums.data(), length, fresh);
            finish.sums = sums.data();
        }
        for (int r = 0; r < 4; ++r)
            finish.whole[r] = summed + r < wholeCount ? Source(y, firstWhole + summed + r) : zeros.data();
        FinishRow(finish, finished.data(), length);
        return {finished.data(), 1.0f / 128.0f, static_cast<int16_t>(255 * 128)};
    }

    const PixelView& src;
    const Rect from;
    const Taps down;
    const size_t length;  // channels in a row
    std::vector<uint16_t> sums;
    std::vector<uint32_t> wide;
    std::vector<int16_t> finished;
    const std::vector<uint8_t> zeros;
};

// Four 16-bit channels of one summed pixel.
__m128i SummedPixel(const int16_t* row, int index)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + static_cast<size_t>(index) * 4));
}

// Destination pixel x's weighted sum of its taps, two taps per multiply-add (at most 32640 × 32767 in all,
// within a signed 32-bit lane).
__m128i AcrossSum(const int16_t* row, const Taps& across, int x)
{
    // The row ends in one spare pixel of zeros, for the second tap of a last odd pair (weight zero).
    const int32_t* pair = across.pairs.data() + across.offset[x] / 2;
    const int first = across.first[x], count = across.count[x];
    __m128i sum = _mm_setzero_si128();
    for (int t = 0; t < count; t += 2, ++pair) {
        const __m128i ab = _mm_unpacklo_epi16(SummedPixel(row, first + t), SummedPixel(row, first + t + 1));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(ab, _mm_set1_epi32(*pair)));
    }
    return sum;
}

// Two pixels' sums over the whole weight, rounded, as bytes (the low eight). Premultiplied colour never exceeds
// its alpha, and rounding must not make it: the colour is held to the alpha in 16-bit lanes, which gives what
// holding the bytes would, as both clamps to a byte keep order.
__m128i FinishedPair(__m128i first, __m128i second, __m128 scale)
{
    const __m128i a = _mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(first), scale));
    const __m128i b = _mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(second), scale));
    const __m128i pixels = _mm_packs_epi32(a, b);
    const __m128i alphas = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
    const __m128i held = _mm_min_epi16(pixels, alphas);
    return _mm_packus_epi16(held, held);
}

// One destination row from the summed source row, two pixels at a time.
void ScaleRowAcross(const SummedRow& summed, const Taps& across, uint32_t* out, int width, int sourceWidth)
{
    const __m128 scale = _mm_set1_ps(summed.unit / static_cast<float>(sourceWidth));
    const int16_t* row = summed.channels;
    int x = 0;
    for (; x + 1 < width; x += 2) {
        const __m128i pair = FinishedPair(AcrossSum(row, across, x), AcrossSum(row, across, x + 1), scale);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), pair);
    }
    if (x < width)
        out[x] = static_cast<uint32_t>(
            _mm_cvtsi128_si32(FinishedPair(AcrossSum(row, across, x), _mm_setzero_si128(), scale)));
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

// The destination rows a clip lets through at all, with the clip's runs of each; every row without a clip.
class ClippedRows {
public:
    ClippedRows(const Rect& to, DeviceClip* clip) : to(to), box(clip ? clip->Narrow(to) : to)
    {
        if (clip && box.Width > 0 && box.Height > 0) rows.emplace(*clip, box);
    }

    // The first and past-the-last destination row (counted from the rectangle's top) to work out.
    int First() const { return box.Height > 0 && box.Width > 0 ? box.Y - to.Y : 0; }
    int End() const { return box.Height > 0 && box.Width > 0 ? box.Y + box.Height - to.Y : 0; }

    // Stores destination row y (from the rectangle's top) where the clip lets it through.
    void Store(const uint32_t* scaled, const PixelView& dst, int y, bool sourceCopy) const
    {
        uint32_t* row = dst.Row(to.Y + y) + to.X;
        if (!rows) return StoreRow(scaled, row, to.Width, sourceCopy);
        rows->ForEachPart(to.Y + y, box.X, box.Width, [&](INT at, INT count) {
            StoreRow(scaled + (at - to.X), row + (at - to.X), count, sourceCopy);
        });
    }

private:
    const Rect to, box;
    std::optional<ClipRows> rows;
};

}  // namespace

void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy)
{
    ScaleDownByArea(src, from, dst, to, sourceCopy, nullptr);
}

void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy,
                     DeviceClip* clip)
{
    // Each destination row is worked out from its own source rows, so rows the clip leaves out are skipped.
    const ClippedRows rows(to, clip);
    VerticalPass vertical(src, from, to);
    const Taps across = AreaTaps(from.Width, to.Width);
    std::vector<uint32_t> scaled(static_cast<size_t>(to.Width));
    const size_t rowChannels = static_cast<size_t>(from.Width) * 4;
    for (int y = rows.First(); y < rows.End(); ++y) {
        const SummedRow summed = vertical.Row(y);
        if (src.Opaque())
            for (size_t k = 3; k < rowChannels; k += 4) summed.channels[k] = summed.opaque;
        ScaleRowAcross(summed, across, scaled.data(), to.Width, from.Width);
        rows.Store(scaled.data(), dst, y, sourceCopy);
    }
}

// Destination pixel j's centre, j + 1/2, lies in source pixel ⌊(2j + 1)·n / 2m⌋ along an axis of n source and m
// destination pixels.
void ScaleNearest(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy)
{
    ScaleNearest(src, from, dst, to, sourceCopy, nullptr);
}

void ScaleNearest(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy,
                  DeviceClip* clip)
{
    const ClippedRows rows(to, clip);
    auto under = [](int j, int n, int m) { return static_cast<int>((2LL * j + 1) * n / (2LL * m)); };
    std::vector<int> columns(static_cast<size_t>(to.Width));
    for (int x = 0; x < to.Width; ++x) columns[static_cast<size_t>(x)] = from.X + under(x, from.Width, to.Width);
    const uint32_t opaque = src.Opaque() ? 0xFF000000u : 0;
    std::vector<uint32_t> picked(static_cast<size_t>(to.Width));
    for (int y = rows.First(); y < rows.End(); ++y) {
        const uint32_t* row = src.Row(from.Y + under(y, from.Height, to.Height));
        for (int x = 0; x < to.Width; ++x) {
            const uint32_t pixel = row[columns[static_cast<size_t>(x)]] | opaque;
            picked[static_cast<size_t>(x)] = src.Straight() ? PremultiplyPixel(pixel) : pixel;
        }
        rows.Store(picked.data(), dst, y, sourceCopy);
    }
}

}  // namespace Gdiplus
