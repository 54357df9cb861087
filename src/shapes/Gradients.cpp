// Two-colour linear gradient fills of rectangles: downwards, rightwards, and mirrored about the
// area's horizontal centre line. Each gradient repeats beyond its end points.
#include "Areas.h"
#include "FxPictor.h"

namespace {

void FillGradient(Gdiplus::Graphics& graphics, const Gdiplus::Point& from, const Gdiplus::Point& to,
                  const Gdiplus::Color& first, const Gdiplus::Color& second, const Gdiplus::Rect& area)
{
    Gdiplus::LinearGradientBrush brush(from, to, first, second);
    graphics.FillRectangle(&brush, area);
}

// Two bands that meet at half the height, each shading from the first colour at its outer edge
// towards the second; each brush ends one pixel beyond its band, so neither band starts over.
void FillMirrored(Gdiplus::Graphics& graphics, int x, int y, int w, int h, const Gdiplus::Color& first,
                  const Gdiplus::Color& second, const Gdiplus::Rect& lowerBand)
{
    const int half = h / 2;
    using pictor::WrapAdd;
    Gdiplus::LinearGradientBrush upper(Gdiplus::Point(x, y), Gdiplus::Point(x, WrapAdd(WrapAdd(y, half), 1)), first,
                                       second);
    Gdiplus::LinearGradientBrush lower(Gdiplus::Point(x, WrapAdd(y, h)),
                                       Gdiplus::Point(x, WrapAdd(WrapAdd(y, half), -1)), first, second);
    graphics.FillRectangle(&upper, x, y, w, half);
    graphics.FillRectangle(&lower, lowerBand);
}

}  // namespace

void CFxPictor::FillGradientRect(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    FillGradient(*m_pGraphics, Gdiplus::Point(0, 0), Gdiplus::Point(0, m_nHeight), Gdiplus::Color(a1, r1, g1, b1),
                 Gdiplus::Color(a2, r2, g2, b2), Gdiplus::Rect(0, 0, m_nWidth, m_nHeight));
}

void CFxPictor::FillGradientRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                                 BYTE b2)
{
    FillGradientRect(pRect, Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2));
}

void CFxPictor::FillGradientRect(CRect* pRect, Gdiplus::Color color1, Gdiplus::Color color2)
{
    if (!m_pGraphics || !pRect) return;
    FillGradient(*m_pGraphics, Gdiplus::Point(0, pRect->top), Gdiplus::Point(0, pRect->bottom), color1, color2,
                 pictor::AreaOf(pRect));
}

void CFxPictor::FillGradientRect(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                                 BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    // This form ends its gradient one row below the area.
    FillGradient(*m_pGraphics, Gdiplus::Point(0, y), Gdiplus::Point(0, pictor::WrapAdd(pictor::WrapAdd(y, h), 1)),
                 Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2), Gdiplus::Rect(x, y, w, h));
}

void CFxPictor::FillGradientRectH(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                                  BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    FillGradient(*m_pGraphics, Gdiplus::Point(x, 0), Gdiplus::Point(pictor::WrapAdd(x, w), 0),
                 Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2), Gdiplus::Rect(x, y, w, h));
}

void CFxPictor::FillGradientRectH(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    FillGradient(*m_pGraphics, Gdiplus::Point(0, 0), Gdiplus::Point(m_nWidth, 0), Gdiplus::Color(a1, r1, g1, b1),
                 Gdiplus::Color(a2, r2, g2, b2), Gdiplus::Rect(0, 0, m_nWidth, m_nHeight));
}

void CFxPictor::FillGradientRectHalf(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    // The lower band is given the canvas's full height; what lies below the canvas paints nothing.
    const int half = m_nHeight / 2;
    FillMirrored(*m_pGraphics, 0, 0, m_nWidth, m_nHeight, Gdiplus::Color(a1, r1, g1, b1),
                 Gdiplus::Color(a2, r2, g2, b2), Gdiplus::Rect(0, half, m_nWidth, m_nHeight));
}

void CFxPictor::FillGradientRectHalf(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2,
                                     BYTE r2, BYTE g2, BYTE b2)
{
    if (!m_pGraphics) return;
    const int half = h / 2;
    FillMirrored(*m_pGraphics, x, y, w, h, Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2),
                 Gdiplus::Rect(x, pictor::WrapAdd(y, half), w, h - half));
}
