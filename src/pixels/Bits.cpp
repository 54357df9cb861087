// Raw pixel access: straight 32-bit ARGB (bytes blue, green, red, alpha), rows from the top, width x 4
// bytes apart, whatever the canvas bitmap holds inside.
#include "FxPictor.h"
#include "Wrapping.h"

namespace {

// A lock into the caller's own buffer: the engine lays the rectangle's rows there, w x 4 bytes apart,
// so the pixels are copied once, by the lock (or the unlock) itself.
bool LockIntoBuffer(Gdiplus::Bitmap& bitmap, BYTE* pBuffer, const Gdiplus::Rect& rect, UINT mode,
                    Gdiplus::BitmapData& data)
{
    data.Width = static_cast<UINT>(rect.Width);
    data.Height = static_cast<UINT>(rect.Height);
    data.Stride = pictor::WrapMul(rect.Width, 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pBuffer;
    data.Reserved = 0;
    return bitmap.LockBits(&rect, mode | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data) ==
           Gdiplus::Ok;
}

}  // namespace

void CFxPictor::GetBits(BYTE* pBuffer, int x, int y, int w, int h)
{
    if (!m_pBitmap || !pBuffer) return;
    Gdiplus::BitmapData data;
    if (!LockIntoBuffer(*m_pBitmap, pBuffer, Gdiplus::Rect(x, y, w, h), Gdiplus::ImageLockModeRead, data)) return;
    m_pBitmap->UnlockBits(&data);
}

void CFxPictor::SetBits(BYTE* pBuffer, int x, int y)
{
    if (!m_pBitmap || !pBuffer) return;
    Gdiplus::BitmapData data;
    const Gdiplus::Rect rect(x, y, m_nWidth, m_nHeight);
    if (!LockIntoBuffer(*m_pBitmap, pBuffer, rect, Gdiplus::ImageLockModeWrite, data)) return;
    // The buffer's pixels replace the canvas's at the unlock, alpha included.
    m_pBitmap->UnlockBits(&data);
}
