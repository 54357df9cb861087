// Whole-canvas alpha work: one key colour made transparent, one alpha for every pixel.
//
// A canvas bitmap holds premultiplied pixels; both members work on them in place through a lock in that
// format (no scratch copies), seeing each pixel's straight colour as the members define it. A bitmap of
// any other format is worked on through a lock in straight ARGB.
#include <cstdint>

#include "FxPictor.h"
#include "gdiplus/Premultiply.h"

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
        ForEachRow(*m_pBitmap, width, height, PixelFormat32bppPARGB, SetAlphaPremultipliedRow, alpha);
    else
        ForEachRow(*m_pBitmap, width, height, PixelFormat32bppARGB, SetAlphaStraightRow, alpha);
}
