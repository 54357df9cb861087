// Solid and hatch fills of rectangles, with the optional lighter border and plus sign.
#include "Areas.h"
#include "FxPictor.h"

namespace {

const Gdiplus::ARGB kHatchFore = 0xFF000000;
const Gdiplus::ARGB kHatchBack = 0xFFFFFFFF;
// Half the length of a stroke of the plus sign.
const int kPlusArm = 5;

Gdiplus::Color LighterBorder(BYTE a, BYTE r, BYTE g, BYTE b)
{
    return Gdiplus::Color(pictor::Lighter(a), pictor::Lighter(r), pictor::Lighter(g), pictor::Lighter(b));
}

void FillHatched(Gdiplus::Graphics& graphics, int x, int y, int w, int h, int nHatchStyle)
{
    // No rendering origin is set: the pattern lines up with the canvas, not with the area.
    Gdiplus::HatchBrush brush(static_cast<Gdiplus::HatchStyle>(nHatchStyle), Gdiplus::Color(kHatchFore),
                              Gdiplus::Color(kHatchBack));
    graphics.FillRectangle(&brush, x, y, w, h);
}

void FillBordered(Gdiplus::Graphics& graphics, const Gdiplus::Rect& area, const Gdiplus::Color& fill,
                  const Gdiplus::Color& border)
{
    Gdiplus::SolidBrush brush(fill);
    graphics.FillRectangle(&brush, area);
    Gdiplus::Pen pen(border, 1.0f);
    graphics.DrawRectangle(&pen, area);
}

}  // namespace

void CFxPictor::FillPattern(int nHatchStyle)
{
    if (!m_pGraphics) return;
    FillHatched(*m_pGraphics, 0, 0, m_nWidth, m_nHeight, nHatchStyle);
}

void CFxPictor::FillPatternRect(int x, int y, int w, int h, int nHatchStyle)
{
    if (!m_pGraphics) return;
    FillHatched(*m_pGraphics, x, y, w, h, nHatchStyle);
}

void CFxPictor::FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b)
{
    FillRect(x, y, w, h, Gdiplus::Color(a, r, g, b));
}

void CFxPictor::FillRect(int x, int y, int w, int h, Gdiplus::Color color)
{
    if (!m_pGraphics) return;
    Gdiplus::SolidBrush brush(color);
    m_pGraphics->FillRectangle(&brush, x, y, w, h);
}

void CFxPictor::FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b)
{
    FillRect(pRect, Gdiplus::Color(a, r, g, b));
}

void CFxPictor::FillRect(CRect* pRect, Gdiplus::Color color)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::SolidBrush brush(color);
    m_pGraphics->FillRectangle(&brush, pictor::AreaOf(pRect));
}

void CFxPictor::FillRect(int x, int y, int w, int h, Gdiplus::Color fillColor, Gdiplus::Color borderColor)
{
    if (!m_pGraphics) return;
    FillBordered(*m_pGraphics, Gdiplus::Rect(x, y, w, h), fillColor, borderColor);
}

void CFxPictor::FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int)
{
    if (!m_pGraphics) return;
    FillBordered(*m_pGraphics, Gdiplus::Rect(x, y, w, h), Gdiplus::Color(a, r, g, b), LighterBorder(a, r, g, b));
}

void CFxPictor::FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int)
{
    if (!m_pGraphics || !pRect) return;
    FillBordered(*m_pGraphics, pictor::AreaOf(pRect), Gdiplus::Color(a, r, g, b), LighterBorder(a, r, g, b));
}

void CFxPictor::FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int, int nPlus)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::Rect area = pictor::AreaOf(pRect);
    // The two strokes are separate figures, so that they are not joined to each other.
    Gdiplus::GraphicsPath plus(Gdiplus::FillModeAlternate);
    if (nPlus != 0) {
        using pictor::WrapAdd;
        const int cx = WrapAdd(area.X, area.Width / 2);
        const int cy = WrapAdd(area.Y, area.Height / 2);
        plus.AddLine(cx, WrapAdd(cy, -kPlusArm), cx, WrapAdd(cy, kPlusArm));
        plus.StartFigure();
        plus.AddLine(WrapAdd(cx, -kPlusArm), cy, WrapAdd(cx, kPlusArm), cy);
    }
    Gdiplus::Pen pen(LighterBorder(a, r, g, b), 1.0f);
    Gdiplus::SolidBrush brush(Gdiplus::Color(a, r, g, b));
    m_pGraphics->FillRectangle(&brush, area);
    m_pGraphics->DrawRectangle(&pen, area);
    m_pGraphics->DrawPath(&pen, &plus);  // an empty path when there is no plus sign
}
