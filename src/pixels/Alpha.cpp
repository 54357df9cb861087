// Whole-canvas alpha work: one key colour made transparent, one alpha for every pixel.
//
// A canvas bitmap holds premultiplied pixels; both members work on them in place through a lock in that
// format (no scratch copies), seeing each pixel's straight colour as the members define it. A bitmap of
// any other format is worked on through a lock in straight ARGB.
#include <cstdint>
#include <immintrin.h>

#include "FxPictor.h"
#include "gdiplus/pipeline/Premultiply.h"

namespace {

const uint32_t kColourBits = 0x00FFFFFFu;

// Runs the row rule over every row of the area (0, 0, width, height) of the bitmap, in place; nothing is
// done when the bitmap does not hold that area.
void ForEachRow(Gdiplus::Bitmap& bitmap, INT width, INT height, Gdiplus::PixelFormat format,
                void (*rule)(uint32_t*, UINT, uint32_t), uint32_t value)
{
    if (width <= 0 || height <= 0) return;
    const Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok)
        return;
    for (UINT y = 0; y < data.Height; ++y)
        rule(reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride),
             data.Width, value);
    bitmap.UnlockBits(&data);
}

bool HoldsPremultiplied(Gdiplus::Bitmap& bitmap) { return bitmap.GetPixelFormat() == PixelFormat32bppPARGB; }

// The row loops are built for AVX2 and for any x86-64; the loader picks one for the machine. Colour alone
// decides: the key's alpha is not looked at, and there is no tolerance.
PICTOR_ROW_CLONES void KeyStraightRow(uint32_t* row, UINT width, uint32_t key)
{
    for (UINT x = 0; x < width; ++x) row[x] = (row[x] & kColourBits) == key ? 0u : row[x];
}

// Four pixels at a time, each seen by its straight colour.
PICTOR_ROW_CLONES void KeyPremultipliedRow(uint32_t* row, UINT width, uint32_t key)
{
    const __m128i colourBits = _mm_set1_epi32(kColourBits), keyed = _mm_set1_epi32(static_cast<int>(key));
    UINT x = 0;
    for (; x + 4 <= width; x += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i pixels = _mm_loadu_si128(at);
        const __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(Gdiplus::Straight4(pixels), colourBits), keyed);
        _mm_storeu_si128(at, _mm_andnot_si128(hit, pixels));
    }
    for (; x < width; ++x)
        if ((Gdiplus::StraightPixel(row[x]) & kColourBits) == key) row[x] = 0;
}

PICTOR_ROW_CLONES void SetAlphaStraightRow(uint32_t* row, UINT width, uint32_t alpha)
{
    for (UINT x = 0; x < width; ++x) row[x] = (row[x] & kColourBits) | alpha << 24;
}

// Every pixel made straight and premultiplied by the new alpha in one pass, eight at a time.
PICTOR_ROW_CLONES void SetAlphaPremultipliedRow(uint32_t* row, UINT width, uint32_t alpha)
{
    UINT x = 0;
    for (; x + 8 <= width; x += 8) {
        __m128i* at = reinterpret_cast<__m128i*>(row + x);
        __m128i low = _mm_loadu_si128(at), high = _mm_loadu_si128(at + 1);
        Gdiplus::Straight8(low, high);
        _mm_storeu_si128(at, Gdiplus::PremultiplyColour4(low, alpha));
        _mm_storeu_si128(at + 1, Gdiplus::PremultiplyColour4(high, alpha));
    }
    for (; x < width; ++x) row[x] = Gdiplus::PremultiplyColour(Gdiplus::StraightPixel(row[x]) & kColourBits, alpha);
}

// The same, eight pixels in one 256-bit register, for processors with AVX2: the 128-bit loop is bound by
// its arithmetic, not by memory, so the wider registers take a third off the pass.
[[gnu::target("avx2")]] void SetAlphaPremultipliedRowAvx2(uint32_t* row, UINT width, uint32_t alpha)
{
    const short a = static_cast<short>(alpha);
    const __m256i scale = _mm256_set_epi16(0, a, a, a, 0, a, a, a, 0, a, a, a, 0, a, a, a);
    const __m256i round = _mm256_set1_epi16(0x80), by257 = _mm256_set1_epi16(257), zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi32(1), notAlphaEnds = _mm256_set1_epi32(0xFE);
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(alpha << 24));
    UINT x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256i* at = reinterpret_cast<__m256i*>(row + x);
        __m256i pixels = _mm256_loadu_si256(at);
        const __m256i mixed = _mm256_and_si256(_mm256_add_epi32(_mm256_srli_epi32(pixels, 24), one), notAlphaEnds);
        if (!_mm256_testz_si256(mixed, mixed)) {
            const __m128i low = Gdiplus::Unpremultiply4(_mm256_castsi256_si128(pixels));
            const __m128i high = Gdiplus::Unpremultiply4(_mm256_extracti128_si256(pixels, 1));
            pixels = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        }
        __m256i low = _mm256_unpacklo_epi8(pixels, zero), high = _mm256_unpackhi_epi8(pixels, zero);
        low = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(low, scale), round), by257);
        high = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(high, scale), round), by257);
        _mm256_storeu_si256(at, _mm256_or_si256(_mm256_packus_epi16(low, high), alphaBits));
    }
    if (x < width) SetAlphaPremultipliedRow(row + x, width - x, alpha);
}

}  // namespace

void CFxPictor::SetColorToAlphaZero(BYTE r, BYTE g, BYTE b)
{
    if (!m_pBitmap) return;
    const uint32_t key = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
    // The canvas's own area, even when SetBitmap gave it a larger image.
    if (HoldsPremultiplied(*m_pBitmap))
        ForEachRow(*m_pBitmap, m_nWidth, m_nHeight, PixelFormat32bppPARGB, KeyPremultipliedRow, key);
    else
        ForEachRow(*m_pBitmap, m_nWidth, m_nHeight, PixelFormat32bppARGB, KeyStraightRow, key);
}

void CFxPictor::SetAlpha(BYTE alpha)
{
    if (!m_pBitmap) return;
    // The whole image, whatever its size.
    const INT width = static_cast<INT>(m_pBitmap->GetWidth());
    const INT height = static_cast<INT>(m_pBitmap->GetHeight());
    if (HoldsPremultiplied(*m_pBitmap))
        ForEachRow(*m_pBitmap, width, height, PixelFormat32bppPARGB,
                   __builtin_cpu_supports("avx2") ? SetAlphaPremultipliedRowAvx2 : SetAlphaPremultipliedRow, alpha);
    else
        ForEachRow(*m_pBitmap, width, height, PixelFormat32bppARGB, SetAlphaStraightRow, alpha);
}
