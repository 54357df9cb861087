// Exchanging pictures with the clipboard (as bitmap handles) and taking the caller's bitmaps and images.
#include "FxPictor.h"
#include "Unscaled.h"
#include "mfc/AfxOle.h"
#include "win/Clipboard.h"
#include "win/ClipboardPicture.h"

void CFxPictor::CopyToClipBoard(int x, int y, int w, int h)
{
    // With a desktop clipboard, the rows stream to it from the canvas's own pixels.
    if (OfferClipboardArea(m_pBitmap, x, y, w, h)) return;

    CFxPictor scratch(nullptr, w, h);
    if (m_pBitmap && scratch.m_pGraphics)
        scratch.m_pGraphics->DrawImage(m_pBitmap,
                                       Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)),
                                       static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                                       static_cast<float>(h), Gdiplus::UnitPixel, nullptr);

    COleDataSource* source = new COleDataSource;
    HBITMAP hBitmap = nullptr;
    // Composited over opaque white: a bitmap handle carries no transparency.
    if (scratch.m_pBitmap) scratch.m_pBitmap->GetHBITMAP(Gdiplus::Color(0xFFFFFFFF), &hBitmap);

    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = hBitmap;
    medium.pUnkForRelease = nullptr;
    source->CacheData(CF_BITMAP, &medium, nullptr);
    // From here the clipboard owns the data source and the bitmap handle it carries.
    source->SetClipboard();
}

void CFxPictor::CopyFromClipBoard()
{
    if (!OpenClipboard(nullptr)) return;
    // A desktop picture is decoded straight into the canvas's new bitmap as it arrives.
    HANDLE data = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> picture = TakeClipboardPicture(&NewBitmap, data);
    if (picture) {
        const int width = static_cast<int>(picture->GetWidth()), height = static_cast<int>(picture->GetHeight());
        Release();
        Attach(nullptr, width, height, picture.release());
    } else if (data) {
        // The handle stays the clipboard's; only the copy made from it is deleted here.
        Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromHBITMAP(static_cast<HBITMAP>(data), nullptr);
        CopyFromBitmap(bitmap);
        delete bitmap;
    }
    CloseClipboard();
}

void CFxPictor::CopyFromBitmap(Gdiplus::Bitmap* pBitmap)
{
    if (!pBitmap) return;
    int width = static_cast<int>(pBitmap->GetWidth());
    int height = static_cast<int>(pBitmap->GetHeight());
    Init(nullptr, width, height);
    pictor::DrawUnscaled(m_pGraphics, pBitmap, 0, 0, 0, 0, m_nWidth, m_nHeight);
}

void CFxPictor::CopyFromImage(Gdiplus::Image* pImage)
{
    if (!pImage) return;
    int width = static_cast<int>(pImage->GetWidth());
    int height = static_cast<int>(pImage->GetHeight());
    Init(nullptr, width, height);
    // At its own pixel size, whatever resolution it records.
    if (m_pGraphics) m_pGraphics->DrawImage(pImage, 0, 0, width, height);
}
