// Whole-canvas alpha work: one key colour made transparent, one alpha for every pixel.
//
// A canvas bitmap holds premultiplied pixels; both members work on them in place through a lock in
// that format (one pass, no scratch copies), seeing each pixel's straight colour as the members
// define it. A bitmap of any other format is worked on through straight copies.
#include <cstdint>
#include <vector>

#include "FxPictor.h"
#include "gdiplus/Premultiply.h"

namespace {

const uint32_t kColourBits = 0x00FFFFFFu;

// Runs the pixel rules over every row of the locked bitmap, in place, eight pixels at a time: runs of
// opaque and transparent black pixels, by far the most common, take the plain rule, which sees
// straight and premultiplied pixels alike and which the compiler can vectorise.
const UINT kRun = 8;

template <typename PlainRule, typename AnyRule>
void ApplyToRow(uint32_t* row, UINT width, PlainRule plainRule, AnyRule anyRule)
{
    UINT x = 0;
    for (; x + kRun <= width; x += kRun) {
        bool plain = true;
        for (UINT k = 0; k < kRun; ++k) plain &= Gdiplus::SameInBothForms(row[x + k]);
        if (plain)
            for (UINT k = 0; k < kRun; ++k) row[x + k] = plainRule(row[x + k]);
        else
            for (UINT k = 0; k < kRun; ++k) row[x + k] = anyRule(row[x + k]);
    }
    for (; x < width; ++x) row[x] = anyRule(row[x]);
}

template <typename PlainRule, typename AnyRule>
void ForEachPixel(Gdiplus::Bitmap& bitmap, Gdiplus::PixelFormat format, PlainRule plainRule, AnyRule anyRule)
{
    const INT width = static_cast<INT>(bitmap.GetWidth());
    const INT height = static_cast<INT>(bitmap.GetHeight());
    if (width <= 0 || height <= 0) return;
    const Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok)
        return;
    for (UINT y = 0; y < data.Height; ++y)
        ApplyToRow(reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride),
                   data.Width, plainRule, anyRule);
    bitmap.UnlockBits(&data);
}

bool HoldsPremultiplied(Gdiplus::Bitmap& bitmap) { return bitmap.GetPixelFormat() == PixelFormat32bppPARGB; }

}  // namespace

void CFxPictor::SetColorToAlphaZero(BYTE r, BYTE g, BYTE b)
{
    if (!m_pBitmap) return;
    // Colour alone decides: the key's alpha is not looked at, and there is no tolerance.
    const uint32_t key = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
    auto keyed = [key](uint32_t pixel) { return (pixel & kColourBits) == key ? 0u : pixel; };
    if (!HoldsPremultiplied(*m_pBitmap)) {
        ForEachPixel(*m_pBitmap, PixelFormat32bppARGB, keyed, keyed);
        return;
    }
    ForEachPixel(*m_pBitmap, PixelFormat32bppPARGB, keyed,
                 [key](uint32_t pixel) { return (Gdiplus::UnpremultiplyPixel(pixel) & kColourBits) == key ? 0u : pixel; });
}

void CFxPictor::SetAlpha(BYTE alpha)
{
    if (!m_pBitmap) return;
    const uint32_t a = alpha;
    if (!HoldsPremultiplied(*m_pBitmap)) {
        auto set = [a](uint32_t pixel) { return (pixel & kColourBits) | a << 24; };
        ForEachPixel(*m_pBitmap, PixelFormat32bppARGB, set, set);
        return;
    }
    ForEachPixel(
        *m_pBitmap, PixelFormat32bppPARGB, [a](uint32_t pixel) { return Gdiplus::PremultiplyColour(pixel & kColourBits, a); },
        [a](uint32_t pixel) { return Gdiplus::PremultiplyColour(Gdiplus::UnpremultiplyPixel(pixel) & kColourBits, a); });
}
