// Filling the canvas from image files: the picture is decoded by the engine, drawn through the
// canvas's drawing context and released before returning, whether or not it could be opened.
#include <climits>
#include <cmath>

#include "FxPictor.h"
#include "Unscaled.h"
#include "Wrapping.h"

namespace {

// A size times a factor, truncated toward zero; out of range gives what the processor's conversion
// gives (the smallest int) instead of undefined behaviour.
int ScaledSize(UINT size, float factor)
{
    double product = static_cast<double>(size) * static_cast<double>(factor);
    if (std::isnan(product) || product <= static_cast<double>(INT_MIN) - 1.0 ||
        product >= static_cast<double>(INT_MAX) + 1.0)
        return INT_MIN;
    return static_cast<int>(product);
}

bool Opened(Gdiplus::Image& picture) { return picture.GetLastStatus() == Gdiplus::Ok; }

}  // namespace

int CFxPictor::LoadImageW(CString strFile, int x, int y, int w, int h)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    int width = static_cast<int>(picture.GetWidth());
    int height = static_cast<int>(picture.GetHeight());
    Init(nullptr, width, height);
    if (m_pGraphics) m_pGraphics->DrawImage(&picture, x, y, w, h);
    return 1;
}

CSize CFxPictor::LoadImageW(CString strFile, float fScale)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return CSize(0, 0);
    UINT width = picture.GetWidth();
    UINT height = picture.GetHeight();
    int newWidth = ScaledSize(width, fScale);
    int newHeight = ScaledSize(height, fScale);
    Init(nullptr, newWidth, newHeight);
    if (m_pGraphics)
        m_pGraphics->DrawImage(&picture, Gdiplus::Rect(0, 0, newWidth, newHeight), 0, 0, static_cast<int>(width),
                               static_cast<int>(height), Gdiplus::UnitPixel, nullptr);
    return CSize(static_cast<int>(width), static_cast<int>(height));
}

int CFxPictor::LoadImageW(CString strFile, int nWidth, int nHeight)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    Init(nullptr, nWidth, nHeight);
    int width = static_cast<int>(picture.GetWidth());
    int height = static_cast<int>(picture.GetHeight());
    if (m_pGraphics)
        m_pGraphics->DrawImage(&picture, Gdiplus::Rect(0, 0, nWidth, nHeight), 0, 0, width, height,
                               Gdiplus::UnitPixel, nullptr);
    return 1;
}

int CFxPictor::LoadImageW(CString strFile, int dstX, int dstY, int srcX, int srcY, int srcW, int srcH)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    pictor::DrawUnscaled(m_pGraphics, &picture, dstX, dstY, srcX, srcY, srcW, srcH);
    return 1;
}

int CFxPictor::LoadImageW(CString strFile, CRect rcDst, int srcX, int srcY, int srcW, int srcH)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    // Only the rectangle's size counts: the picture always lands at the canvas origin.
    Gdiplus::Rect destination(0, 0, pictor::WrapSub(rcDst.right, rcDst.left), pictor::WrapSub(rcDst.bottom, rcDst.top));
    if (m_pGraphics) m_pGraphics->DrawImage(&picture, destination, srcX, srcY, srcW, srcH, Gdiplus::UnitPixel, nullptr);
    return 1;
}

int CFxPictor::LoadImageW(CString strFile, HWND hWnd, Gdiplus::RotateFlipType rotateFlip)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    if (rotateFlip != Gdiplus::RotateNoneFlipNone) picture.RotateFlip(rotateFlip);
    int width = static_cast<int>(picture.GetWidth());
    int height = static_cast<int>(picture.GetHeight());
    Init(hWnd, width, height);
    if (m_pGraphics) m_pGraphics->DrawImage(&picture, 0, 0, m_nWidth, m_nHeight);
    return 1;
}

int CFxPictor::LoadImageW(CString strFile)
{
    Gdiplus::Image picture(strFile);
    if (!Opened(picture)) return 0;
    int width = static_cast<int>(picture.GetWidth());
    int height = static_cast<int>(picture.GetHeight());
    Init(nullptr, width, height);
    if (m_pGraphics) m_pGraphics->DrawImage(&picture, 0, 0, m_nWidth, m_nHeight);
    return 1;
}
