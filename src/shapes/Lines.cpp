// Lines, rectangle outlines, caller-built paths and figures; every stroke follows the canvas's
// smoothing, transform and page unit as they stand.
#include <algorithm>

#include "Areas.h"
#include "FxPictor.h"

namespace {

const Gdiplus::ARGB kEmbossLight = 0xFFFAFAFA;
const Gdiplus::ARGB kEmbossDark = 0xFF787878;
const Gdiplus::ARGB kCircleBorder = 0xFF000000;

// The frame over, when the flag is exactly 1, a solid and fainter black copy one pixel right and down.
void DrawShadowedFrame(Gdiplus::Graphics& graphics, const Gdiplus::Rect& area, const Gdiplus::Pen& frame, BYTE alpha,
                       float fWidth, int nShadow)
{
    if (nShadow == 1) {
        BYTE shadowAlpha = static_cast<BYTE>(std::max(alpha - 50, 0));
        Gdiplus::Pen shadow(Gdiplus::Color(shadowAlpha, 0, 0, 0), fWidth);
        graphics.DrawRectangle(&shadow, pictor::WrapAdd(area.X, 1), pictor::WrapAdd(area.Y, 1), area.Width,
                               area.Height);
    }
    graphics.DrawRectangle(&frame, area);
}

}  // namespace

void CFxPictor::Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth)
{
    Line(x1, y1, x2, y2, Gdiplus::Color(a, r, g, b), fWidth);
}

void CFxPictor::Line(int x1, int y1, int x2, int y2, Gdiplus::Color color, float fWidth)
{
    if (!m_pGraphics) return;
    Gdiplus::Pen pen(color, fWidth);
    m_pGraphics->DrawLine(&pen, x1, y1, x2, y2);
}

void CFxPictor::Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth,
                     Gdiplus::DashStyle dashStyle, Gdiplus::LineCap startCap, Gdiplus::LineCap endCap)
{
    if (!m_pGraphics) return;
    Gdiplus::Pen pen(Gdiplus::Color(a, r, g, b), fWidth);
    pen.SetDashStyle(dashStyle);
    pen.SetStartCap(startCap);
    pen.SetEndCap(endCap);
    m_pGraphics->DrawLine(&pen, x1, y1, x2, y2);
}

void CFxPictor::DrawPathLine(Gdiplus::GraphicsPath* pPath, Gdiplus::Color color, int nWidth)
{
    if (!m_pGraphics || !pPath) return;
    Gdiplus::Pen pen(color, static_cast<float>(nWidth));
    pen.SetLineJoin(Gdiplus::LineJoinBevel);
    m_pGraphics->DrawPath(&pen, pPath);
}

void CFxPictor::DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth)
{
    DrawPathLine(pPath, Gdiplus::Color(a, r, g, b), nWidth);
}

void CFxPictor::DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth,
                             int nDashStyle)
{
    if (!m_pGraphics || !pPath) return;
    Gdiplus::Pen pen(Gdiplus::Color(a, r, g, b), static_cast<float>(nWidth));
    pen.SetLineJoin(Gdiplus::LineJoinBevel);
    pen.SetDashStyle(static_cast<Gdiplus::DashStyle>(nDashStyle));
    m_pGraphics->DrawPath(&pen, pPath);
}

void CFxPictor::DrawPolygon(Gdiplus::GraphicsPath* pPath, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB,
                            BYTE lineA, BYTE lineR, BYTE lineG, BYTE lineB)
{
    if (!m_pGraphics || !pPath) return;
    Gdiplus::Pen pen(Gdiplus::Color(lineA, lineR, lineG, lineB), 1.0f);
    Gdiplus::SolidBrush brush(Gdiplus::Color(fillA, fillR, fillG, fillB));
    // The fill goes last, over the inner half of the outline.
    m_pGraphics->DrawPath(&pen, pPath);
    m_pGraphics->FillPath(&brush, pPath);
}

void CFxPictor::WireRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth)
{
    if (!m_pGraphics) return;
    Gdiplus::Pen pen(Gdiplus::Color(a, r, g, b), fWidth);
    m_pGraphics->DrawRectangle(&pen, x, y, w, h);
}

void CFxPictor::WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth)
{
    WireRect(pRect, Gdiplus::Color(a, r, g, b), fWidth);
}

void CFxPictor::WireRect(CRect* pRect, Gdiplus::Color color, float fWidth)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::Pen pen(color, fWidth);
    m_pGraphics->DrawRectangle(&pen, pictor::AreaOf(pRect));
}

void CFxPictor::WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::Pen frame(Gdiplus::Color(a, r, g, b), fWidth);
    DrawShadowedFrame(*m_pGraphics, pictor::AreaOf(pRect), frame, a, fWidth, nShadow);
}

void CFxPictor::WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow,
                         Gdiplus::DashStyle dashStyle)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::Pen frame(Gdiplus::Color(a, r, g, b), fWidth);
    frame.SetDashStyle(dashStyle);
    DrawShadowedFrame(*m_pGraphics, pictor::AreaOf(pRect), frame, a, fWidth, nShadow);
}

void CFxPictor::WireRectEmboss(int x, int y, int w, int h, float fWidth, int nMode)
{
    if (!m_pGraphics) return;
    Gdiplus::Pen light(Gdiplus::Color(kEmbossLight), fWidth);
    Gdiplus::Pen dark(Gdiplus::Color(kEmbossDark), fWidth);
    const int right = pictor::WrapAdd(x, w), bottom = pictor::WrapAdd(y, h);
    // Raised: dark all round, then light on the left and top.
    m_pGraphics->DrawRectangle(&dark, x, y, w, h);
    m_pGraphics->DrawLine(&light, x, bottom, x, y);
    m_pGraphics->DrawLine(&light, x, y, right, y);
    if (nMode == 1) {
        // Sunken: dark over the left and top again, light on the right and bottom.
        m_pGraphics->DrawRectangle(&dark, x, y, w, h);
        m_pGraphics->DrawLine(&light, right, y, right, bottom);
        m_pGraphics->DrawLine(&light, right, bottom, x, bottom);
    }
}

void CFxPictor::RectArrow(CRect* pRect, BYTE, BYTE r, BYTE g, BYTE b, int)
{
    if (!m_pGraphics || !pRect) return;
    const int left = pRect->left, top = pRect->top, right = pRect->right, bottom = pRect->bottom;
    using pictor::WrapSub;
    const int third = WrapSub(bottom, top) / 3;
    const int half = WrapSub(right, left) / 2;
    // A box whose lower third narrows to a point in the middle of the bottom edge; the left side
    // is left open, as the four lines describe it.
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    path.AddLine(left, top, right, top);
    path.AddLine(right, top, right, WrapSub(bottom, third));
    path.AddLine(right, WrapSub(bottom, third), WrapSub(right, half), bottom);
    path.AddLine(WrapSub(right, half), bottom, left, WrapSub(bottom, third));
    Gdiplus::Pen pen(Gdiplus::Color(255, r, g, b), 1.0f);
    m_pGraphics->DrawPath(&pen, &path);
}

void CFxPictor::Polygon(Gdiplus::Point* pPoints, BYTE, BYTE r, BYTE g, BYTE b, int nCount)
{
    if (!m_pGraphics) return;
    Gdiplus::Pen pen(Gdiplus::Color(255, r, g, b), 2.0f);
    m_pGraphics->DrawPolygon(&pen, pPoints, nCount);
}

void CFxPictor::Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, float fBorderWidth,
                       int nBorder)
{
    if (!m_pGraphics) return;
    Gdiplus::SolidBrush brush(Gdiplus::Color(a, r, g, b));
    m_pGraphics->FillEllipse(&brush, x, y, nDiameter, nDiameter);
    if (nBorder != 0) {
        Gdiplus::Pen pen(Gdiplus::Color(kCircleBorder), fBorderWidth);
        m_pGraphics->DrawEllipse(&pen, x, y, nDiameter, nDiameter);
    }
}

void CFxPictor::Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG,
                       BYTE lineB, float fLineWidth)
{
    Circle(x, y, nDiameter, Gdiplus::Color(a, r, g, b), Gdiplus::Color(255, lineR, lineG, lineB), fLineWidth);
}

void CFxPictor::Circle(int x, int y, int nDiameter, Gdiplus::Color fillColor, Gdiplus::Color lineColor,
                       float fLineWidth)
{
    if (!m_pGraphics) return;
    Gdiplus::SolidBrush brush(fillColor);
    m_pGraphics->FillEllipse(&brush, x, y, nDiameter, nDiameter);
    Gdiplus::Pen pen(lineColor, fLineWidth);
    m_pGraphics->DrawEllipse(&pen, x, y, nDiameter, nDiameter);
}
