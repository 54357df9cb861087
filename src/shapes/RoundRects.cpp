// Rectangles with rounded corners: the shared outline path, nested outlines, solid and gradient fills.
// Every member that builds its outline here leaves the drawing context's page unit at pixels.
#include <algorithm>

#include "Areas.h"
#include "FxPictor.h"
#include "NestedOutlines.h"

namespace {

void DrawRoundPath(CFxPictor& canvas, const pictor::CornerBoxes& corners, const Gdiplus::Pen& pen,
                   Gdiplus::GraphicsPath& path)
{
    pictor::AddRoundOutline(path, corners);
    canvas.m_pGraphics->DrawPath(&pen, &path);
}

// Outline s of the nested run inside (x, y, w, h): odd ones are inset once more at the sides, even ones
// once more at the top and bottom. Positions wrap as 32-bit arithmetic does; the sizes never do.
Gdiplus::Rect NestedOutline(int x, int y, int w, int h, long long s)
{
    const int sides = static_cast<int>((s + 1) / 2), ends = static_cast<int>(s / 2);
    return Gdiplus::Rect(pictor::WrapAdd(x, sides), pictor::WrapAdd(y, ends), static_cast<int>(w - 2LL * sides),
                         static_cast<int>(h - 2LL * ends));
}

void DrawRoundOutline(CFxPictor& canvas, int x, int y, int w, int h, const Gdiplus::Color& color, int nRadius,
                      int nThickness)
{
    canvas.m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::Pen pen(color, 1.0f);
    pen.SetAlignment(Gdiplus::PenAlignmentCenter);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    const int diameter = pictor::WrapMul(2, nRadius);
    DrawRoundPath(canvas, pictor::RoundCorners(Gdiplus::Rect(x, y, w, h), diameter), pen, path);
    // Thickness comes from outlines inset one pixel at a time, alternately at the sides and at the top and
    // bottom, until the thickness is reached or the outline turns inside out (a negative width or height
    // draws nothing). Outlines that cannot touch the canvas are passed over in strides, so the time taken
    // is bounded by the canvas, not by the rectangle or the thickness asked for.
    if (w < 0 || h < 0 || nThickness < 2) return;
    const long long rounds = std::min({static_cast<long long>(nThickness) - 1, w / 2 + 1LL, h / 2 + 1LL});
    const std::optional<pictor::WorldBox> visible = pictor::VisibleWorld(canvas);
    for (long long s = 1; s <= 2 * rounds;) {
        const pictor::CornerBoxes corners = pictor::RoundCorners(NestedOutline(x, y, w, h, s), diameter);
        const long long clear = visible ? pictor::OutlinesClear(corners, *visible) : 0;
        if (clear == 0) {
            DrawRoundPath(canvas, corners, pen, path);
            ++s;
        } else {
            s += clear;
        }
    }
}

// The fill, then an outline over its edge.
void FillRoundOutlined(CFxPictor& canvas, const Gdiplus::Rect& area, const Gdiplus::Color& fill,
                       const Gdiplus::Color& line, float fLineWidth, int nRadius)
{
    Gdiplus::SolidBrush brush(fill);
    canvas.m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::Pen pen(line, fLineWidth);
    pen.SetAlignment(Gdiplus::PenAlignmentCenter);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    canvas.GetRoundRectPath(&path, area, pictor::WrapMul(2, nRadius));
    canvas.m_pGraphics->FillPath(&brush, &path);
    canvas.m_pGraphics->DrawPath(&pen, &path);
}

// The gradient's end points are canvas rows, not the area's: from row 0 to row gradientEnd.
void FillRoundGradient(CFxPictor& canvas, const Gdiplus::Rect& area, const Gdiplus::Color& first,
                       const Gdiplus::Color& second, int gradientEnd, int nRadius)
{
    canvas.m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::LinearGradientBrush brush(Gdiplus::Point(0, 0), Gdiplus::Point(0, gradientEnd), first, second);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    canvas.GetRoundRectPath(&path, area, pictor::WrapMul(2, nRadius));
    canvas.m_pGraphics->FillPath(&brush, &path);
}

// Upper corners rounded with the full diameter, unclamped; lower corners square, on the rectangle's
// right and bottom edges themselves.
void AddUpSideRoundOutline(Gdiplus::GraphicsPath& path, const CRect& rect, int nRadius)
{
    using pictor::WrapAdd, pictor::WrapSub;
    const int d = pictor::WrapMul(2, nRadius);
    path.StartFigure();
    path.AddArc(rect.left, rect.top, d, d, 180.0f, 90.0f);
    path.AddLine(WrapAdd(rect.left, d), rect.top, WrapSub(rect.right, d), rect.top);
    path.AddArc(WrapSub(rect.right, d), rect.top, d, d, 270.0f, 90.0f);
    path.AddLine(rect.right, WrapAdd(rect.top, d), rect.right, rect.bottom);
    path.AddLine(rect.right, rect.bottom, rect.left, rect.bottom);
    path.CloseFigure();
}

}  // namespace

void CFxPictor::GetRoundRectPath(Gdiplus::GraphicsPath* pPath, Gdiplus::Rect r, int nDiameter)
{
    if (!pPath) return;
    pictor::AddRoundOutline(*pPath, pictor::RoundCorners(r, nDiameter));
}

void CFxPictor::DrawRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius, int nThickness)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::Rect area = pictor::AreaOf(pRect);
    DrawRoundOutline(*this, area.X, area.Y, area.Width, area.Height, Gdiplus::Color(a, r, g, b), nRadius,
                     nThickness);
}

void CFxPictor::DrawRoundRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius,
                              int nThickness)
{
    if (!m_pGraphics) return;
    DrawRoundOutline(*this, x, y, w, h, Gdiplus::Color(a, r, g, b), nRadius, nThickness);
}

void CFxPictor::FillRoundRect(CRect* pRect, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA, BYTE lineR,
                              BYTE lineG, BYTE lineB, int nRadius)
{
    FillRoundRect(pRect, Gdiplus::Color(fillA, fillR, fillG, fillB), Gdiplus::Color(lineA, lineR, lineG, lineB),
                  nRadius);
}

void CFxPictor::FillRoundRect(CRect* pRect, Gdiplus::Color fillColor, Gdiplus::Color lineColor, int nRadius)
{
    if (!m_pGraphics || !pRect) return;
    FillRoundOutlined(*this, pictor::AreaOf(pRect), fillColor, lineColor, 1.0f, nRadius);
}

void CFxPictor::FillRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius)
{
    if (!m_pGraphics || !pRect) return;
    Gdiplus::SolidBrush brush(Gdiplus::Color(a, r, g, b));
    m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    GetRoundRectPath(&path, pictor::AreaOf(pRect), pictor::WrapMul(2, nRadius));
    m_pGraphics->FillPath(&brush, &path);
}

void CFxPictor::FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB,
                              BYTE lineA, BYTE lineR, BYTE lineG, BYTE lineB, int nRadius)
{
    if (!m_pGraphics) return;
    FillRoundOutlined(*this, Gdiplus::Rect(x, y, w, h), Gdiplus::Color(fillA, fillR, fillG, fillB),
                      Gdiplus::Color(lineA, lineR, lineG, lineB), 1.0f, nRadius);
}

void CFxPictor::FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB,
                              BYTE lineA, BYTE lineR, BYTE lineG, BYTE lineB, int nLineWidth, int nRadius)
{
    if (!m_pGraphics) return;
    FillRoundOutlined(*this, Gdiplus::Rect(x, y, w, h), Gdiplus::Color(fillA, fillR, fillG, fillB),
                      Gdiplus::Color(lineA, lineR, lineG, lineB), static_cast<float>(nLineWidth), nRadius);
}

void CFxPictor::FillRoundRect(CRect* pRect, Gdiplus::Color color)
{
    // Square corners: the plain rectangle fill.
    FillRect(pRect, color);
}

void CFxPictor::FillGradientRoundRectV(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                                       BYTE b2, int nRadius)
{
    if (!m_pGraphics || !pRect) return;
    FillRoundGradient(*this, pictor::AreaOf(pRect), Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2),
                      pictor::WrapSub(pRect->bottom, pRect->top), nRadius);
}

void CFxPictor::FillGradientRoundRectV(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2,
                                       BYTE r2, BYTE g2, BYTE b2, int nRadius)
{
    if (!m_pGraphics) return;
    // This form runs its gradient over the canvas's height, not the area's.
    FillRoundGradient(*this, Gdiplus::Rect(x, y, w, h), Gdiplus::Color(a1, r1, g1, b1),
                      Gdiplus::Color(a2, r2, g2, b2), m_nHeight, nRadius);
}

void CFxPictor::FillUpSideRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius)
{
    if (!m_pGraphics || !pRect) return;
    m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    AddUpSideRoundOutline(path, *pRect, nRadius);
    Gdiplus::SolidBrush brush(Gdiplus::Color(a, r, g, b));
    m_pGraphics->FillPath(&brush, &path);
}

void CFxPictor::FillUpSideRoundRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                                    BYTE b2, int nRadius)
{
    if (!m_pGraphics || !pRect) return;
    m_pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    AddUpSideRoundOutline(path, *pRect, nRadius);
    // From canvas row 0 to the row at the rectangle's height, repeating beyond.
    Gdiplus::LinearGradientBrush brush(Gdiplus::Point(0, 0),
                                       Gdiplus::Point(0, pictor::WrapSub(pRect->bottom, pRect->top)),
                                       Gdiplus::Color(a1, r1, g1, b1), Gdiplus::Color(a2, r2, g2, b2));
    m_pGraphics->FillPath(&brush, &path);
}

void CFxPictor::RectRound(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nDiameter, int nLineWidth)
{
    if (!m_pGraphics) return;
    // Its own outline: the diameter as given, reaching x + w and y + h themselves.
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    const int farX = pictor::WrapSub(pictor::WrapAdd(x, w), nDiameter);
    const int farY = pictor::WrapSub(pictor::WrapAdd(y, h), nDiameter);
    path.AddArc(x, y, nDiameter, nDiameter, 180.0f, 90.0f);
    path.AddArc(farX, y, nDiameter, nDiameter, 270.0f, 90.0f);
    path.AddArc(farX, farY, nDiameter, nDiameter, 0.0f, 90.0f);
    path.AddArc(x, farY, nDiameter, nDiameter, 90.0f, 90.0f);
    path.CloseAllFigures();
    Gdiplus::Pen pen(Gdiplus::Color(a, r, g, b), static_cast<float>(nLineWidth));
    m_pGraphics->DrawPath(&pen, &path);
}

void CFxPictor::FillRectRound(int, int, int, int, BYTE, BYTE, BYTE, BYTE, int, int, int)
{
    // Draws and changes nothing.
}
