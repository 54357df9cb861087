// Canvas-to-canvas copies. This canvas is the source; the canvas passed in is the destination.
#include <cstring>

#include "FxPictor.h"

namespace {

Gdiplus::RectF ToRectF(int x, int y, int w, int h)
{
    return Gdiplus::RectF(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h));
}

// Two bitmaps of one pixel format are copied in that format: a lock in a bitmap's own format is a
// view of its pixels, and a byte copy between two such views is exact. Otherwise both are seen as
// straight ARGB.
Gdiplus::PixelFormat SharedLockFormat(Gdiplus::Bitmap& source, Gdiplus::Bitmap& dest)
{
    const Gdiplus::PixelFormat format = source.GetPixelFormat();
    const bool whole32 = format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB;
    return whole32 && dest.GetPixelFormat() == format ? format : PixelFormat32bppARGB;
}

void CopyRows(const Gdiplus::BitmapData& from, const Gdiplus::BitmapData& to)
{
    const size_t rowBytes = static_cast<size_t>(from.Width) * 4;
    const BYTE* src = static_cast<const BYTE*>(from.Scan0);
    BYTE* dst = static_cast<BYTE*>(to.Scan0);
    if (from.Stride == to.Stride && static_cast<size_t>(from.Stride) == rowBytes) {
        std::memcpy(dst, src, rowBytes * from.Height);
        return;
    }
    for (UINT y = 0; y < from.Height; ++y)
        std::memcpy(dst + static_cast<ptrdiff_t>(y) * to.Stride, src + static_cast<ptrdiff_t>(y) * from.Stride, rowBytes);
}

}  // namespace

void CFxPictor::CopyToThis(CFxPictor* pDest)
{
    if (!pDest || pDest == this || !m_pBitmap || !pDest->m_pBitmap) return;
    if (pDest->m_nWidth != m_nWidth || pDest->m_nHeight != m_nHeight) return;

    const Gdiplus::Rect whole(0, 0, m_nWidth, m_nHeight);
    const Gdiplus::PixelFormat format = SharedLockFormat(*m_pBitmap, *pDest->m_pBitmap);
    Gdiplus::BitmapData from, to;
    if (m_pBitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, format, &from) != Gdiplus::Ok) return;
    if (pDest->m_pBitmap->LockBits(&whole, Gdiplus::ImageLockModeWrite, format, &to) != Gdiplus::Ok) {
        m_pBitmap->UnlockBits(&from);
        return;
    }
    // Both locks cover the same rectangle, so their sizes agree even if a bitmap was taken over.
    if (from.Width == to.Width && from.Height == to.Height) CopyRows(from, to);
    m_pBitmap->UnlockBits(&from);
    pDest->m_pBitmap->UnlockBits(&to);
}

void CFxPictor::CopyToThis(CFxPictor* pDest, int x, int y)
{
    if (!pDest || !pDest->m_pGraphics || !m_pBitmap) return;
    pDest->m_pGraphics->DrawImage(m_pBitmap, x, y);
}

void CFxPictor::CopyToThis(CFxPictor* pDest, int x, int y, int w, int h)
{
    if (!pDest || !pDest->m_pGraphics || !m_pBitmap) return;
    pDest->m_pGraphics->DrawImage(m_pBitmap, x, y, w, h);
}

void CFxPictor::CopyToThis(CFxPictor* pDest, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW,
                           int dstH)
{
    if (!pDest || !pDest->m_pGraphics || !m_pBitmap) return;
    pDest->m_pGraphics->DrawImage(m_pBitmap, ToRectF(dstX, dstY, dstW, dstH), static_cast<float>(srcX),
                                  static_cast<float>(srcY), static_cast<float>(srcW), static_cast<float>(srcH),
                                  Gdiplus::UnitPixel, nullptr);
}

void CFxPictor::CopyToThisAlpha(CFxPictor* pDest, int x, int y, int w, int h, float fAlpha)
{
    if (!pDest || !pDest->m_pGraphics || !m_pBitmap) return;
    // The identity but for alpha, which is scaled by the opacity.
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, fAlpha, 0}, {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeBitmap);
    pDest->m_pGraphics->DrawImage(m_pBitmap, ToRectF(x, y, w, h), 0.0f, 0.0f, static_cast<float>(m_nWidth),
                                  static_cast<float>(m_nHeight), Gdiplus::UnitPixel, &attributes);
}
