// Cropping to a rectangle, and turns: quarter turns of later drawing, and pictures drawn turned.
#include <memory>

#include "FxPictor.h"

namespace {

const Gdiplus::ARGB kOpaqueBlack = 0xFF000000u;

// The turn of a picture that should point at the given direction (degrees anticlockwise from the
// right) when it pointed straight up, about (cx, cy).
void SetTurn(Gdiplus::Matrix& matrix, float angle, float cx, float cy)
{
    const float theta = static_cast<float>(90.0 - static_cast<double>(angle));
    matrix.Translate(cx, cy, Gdiplus::MatrixOrderPrepend);
    matrix.Rotate(theta, Gdiplus::MatrixOrderPrepend);
    matrix.Translate(-cx, -cy, Gdiplus::MatrixOrderPrepend);
}

// Draws the image turned through the drawing context, then leaves the identity transform behind.
void DrawTurned(Gdiplus::Graphics& graphics, Gdiplus::Image* image, float angle, float cx, float cy)
{
    Gdiplus::Matrix matrix;
    SetTurn(matrix, angle, cx, cy);
    graphics.SetTransform(&matrix);
    graphics.DrawImage(image, 0, 0);
    matrix.SetElements(1, 0, 0, 1, 0, 0);
    graphics.SetTransform(&matrix);
}

}  // namespace

void CFxPictor::Crop(int x, int y, int w, int h)
{
    if (!m_pBitmap || !m_pGraphics) return;
    // Clipped as ClipXYWH clips, but whatever is left goes on, even nothing.
    ClipXYWH(x, y, w, h);

    CFxPictor scratch(nullptr, w, h);
    if (scratch.m_pGraphics) {
        scratch.m_pGraphics->Clear(Gdiplus::Color(kOpaqueBlack));
        const Gdiplus::RectF destination(0, 0, static_cast<float>(w), static_cast<float>(h));
        scratch.m_pGraphics->DrawImage(m_pBitmap, destination, static_cast<float>(x), static_cast<float>(y),
                                       static_cast<float>(w), static_cast<float>(h), Gdiplus::UnitPixel, nullptr);
    }

    Init(nullptr, w, h);
    if (m_pGraphics) m_pGraphics->Clear(Gdiplus::Color(kOpaqueBlack));
    scratch.CopyToThis(this);
}

void CFxPictor::Rotate90CW()
{
    if (m_pGraphics) m_pGraphics->RotateTransform(90.0f, Gdiplus::MatrixOrderPrepend);
}

void CFxPictor::Rotate90CCW()
{
    if (m_pGraphics) m_pGraphics->RotateTransform(-90.0f, Gdiplus::MatrixOrderPrepend);
}

void CFxPictor::Rotate(float fAngle, int cx, int cy)
{
    if (!m_pBitmap || !m_pGraphics) return;
    // Drawn from a copy: the drawing would otherwise read the pixels it is writing.
    std::unique_ptr<Gdiplus::Image> picture(m_pBitmap->Clone());
    if (!picture) return;
    DrawTurned(*m_pGraphics, picture.get(), fAngle, static_cast<float>(cx), static_cast<float>(cy));
}

void CFxPictor::Rotate(float fAngle, int cx, int cy, int /*nUnused*/) { Rotate(fAngle, cx, cy); }

void CFxPictor::Rotate(CFxPictor* pDest, float fAngle)
{
    if (!pDest || !pDest->m_pGraphics || !m_pBitmap) return;
    const float cx = static_cast<float>(m_nWidth * 0.5);
    const float cy = static_cast<float>(m_nHeight * 0.5);
    DrawTurned(*pDest->m_pGraphics, m_pBitmap, fAngle, cx, cy);
}
