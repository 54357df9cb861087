// Presenting the canvas bitmap on a device context, through a drawing context made for the call.
#include "FxPictor.h"

namespace {

void DrawScaled(Gdiplus::Graphics& device, Gdiplus::Bitmap* bitmap, int srcX, int srcY, int srcW, int srcH, int dstX,
                int dstY, int dstW, int dstH)
{
    Gdiplus::RectF dest(static_cast<float>(dstX), static_cast<float>(dstY), static_cast<float>(dstW),
                        static_cast<float>(dstH));
    device.DrawImage(bitmap, dest, static_cast<float>(srcX), static_cast<float>(srcY), static_cast<float>(srcW),
                     static_cast<float>(srcH), Gdiplus::UnitPixel, nullptr);
}

}  // namespace

void CFxPictor::UpdateGdi(CDC* pDC) { UpdateGdi(pDC, 0, 0); }

void CFxPictor::UpdateGdi(CDC* pDC, int x, int y)
{
    if (!m_pBitmap || !pDC) return;
    Gdiplus::Graphics device(pDC->m_hDC);
    device.DrawImage(m_pBitmap, x, y);
}

void CFxPictor::UpdateGdi(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH)
{
    if (!m_pBitmap || !pDC) return;
    Gdiplus::Graphics device(pDC->m_hDC);
    DrawScaled(device, m_pBitmap, srcX, srcY, srcW, srcH, dstX, dstY, dstW, dstH);
}

void CFxPictor::UpdateGdiPrint(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW,
                               int dstH)
{
    if (!m_pBitmap || !pDC) return;
    Gdiplus::Graphics device(pDC->m_hDC);
    device.SetPageUnit(Gdiplus::UnitPixel);
    device.SetPageScale(0.5f);
    DrawScaled(device, m_pBitmap, srcX, srcY, srcW, srcH, dstX, dstY, dstW, dstH);
}
