// Text laid out from a point: plain, shadowed, turned about its origin or a pivot, mirrored; and measuring.
#include "TextSupport.h"

namespace {

// Where the mirror puts a point (u, v): (800 - u, v), the axis at x = 400 whatever the canvas's width.
const Gdiplus::REAL kMirrorWidth = 800.0f;

Gdiplus::Color ColorOf(BYTE a, BYTE r, BYTE g, BYTE b) { return Gdiplus::Color(a, r, g, b); }

void DrawPlain(Gdiplus::Graphics& graphics, int x, int y, int nSize, const Gdiplus::Color& color, int nStyle,
               const CString& family, const CString& text)
{
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(family, nSize, nStyle);
    Gdiplus::SolidBrush brush(color);
    pictor::DrawTextAt(graphics, text, *font, static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), brush);
}

// Turned by the angle (clockwise on the canvas) about the top-left corner of the text's measured box,
// which for text laid out from a point is the point itself.
void DrawTurnedAboutOrigin(Gdiplus::Graphics& graphics, int x, int y, int nSize, const Gdiplus::Color& color,
                           const CString& family, const CString& text, float fAngle)
{
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(family, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush brush(color);
    const Gdiplus::REAL fx = static_cast<Gdiplus::REAL>(x), fy = static_cast<Gdiplus::REAL>(y);

    Gdiplus::RectF box(0.0f, 0.0f, 0.0f, 0.0f);
    graphics.MeasureString(text.GetString(), text.GetLength(), font.get(), Gdiplus::PointF(fx, fy), &box);

    Gdiplus::Matrix matrix;
    matrix.Translate(box.X, box.Y);
    matrix.Rotate(fAngle);
    matrix.Translate(-box.X, -box.Y);
    pictor::DrawTextTransformed(graphics, matrix, text, *font, fx, fy, brush);
}

CRect MeasureFromOrigin(Gdiplus::Graphics& graphics, int nSize, const CString& family, const CString& text,
                        int nStyle)
{
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(family, nSize, nStyle);
    Gdiplus::RectF box(0.0f, 0.0f, 0.0f, 0.0f);
    graphics.MeasureString(text.GetString(), text.GetLength(), font.get(), Gdiplus::RectF(0.0f, 0.0f, 0.0f, 0.0f),
                           nullptr, &box);
    // Edges summed in single precision, then truncated toward zero.
    const Gdiplus::REAL right = box.X + box.Width, bottom = box.Y + box.Height;
    return CRect(static_cast<int>(box.X), static_cast<int>(box.Y), static_cast<int>(right),
                 static_cast<int>(bottom));
}

}  // namespace

namespace pictor {

void DrawTextAt(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font& font, float x, float y,
                const Gdiplus::Brush& brush)
{
    graphics.DrawString(text.GetString(), text.GetLength(), &font, Gdiplus::PointF(x, y), &brush);
}

void DrawTextTransformed(Gdiplus::Graphics& graphics, Gdiplus::Matrix& matrix, const CString& text,
                         const Gdiplus::Font& font, float x, float y, const Gdiplus::Brush& brush)
{
    graphics.SetTransform(&matrix);
    DrawTextAt(graphics, text, font, x, y, brush);
    matrix.SetElements(1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    graphics.SetTransform(&matrix);
}

void DrawTextAboutPivot(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font& font, float angle,
                        int pivotX, int pivotY, const Gdiplus::Brush& brush)
{
    const Gdiplus::REAL px = static_cast<Gdiplus::REAL>(pivotX), py = static_cast<Gdiplus::REAL>(pivotY);
    Gdiplus::Matrix matrix;
    matrix.Translate(px, py);
    matrix.Rotate(static_cast<Gdiplus::REAL>(90.0 - static_cast<double>(angle)));
    matrix.Translate(-px, -py);
    DrawTextTransformed(graphics, matrix, text, font, px, py, brush);
}

}  // namespace pictor

void CFxPictor::Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText)
{
    Text(x, y, nSize, ColorOf(a, r, g, b), Gdiplus::FontStyleRegular, strFamily, strText);
}

void CFxPictor::Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText)
{
    Text(x, y, nSize, color, Gdiplus::FontStyleRegular, strFamily, strText);
}

void CFxPictor::Text(int x, int y, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText)
{
    if (!m_pGraphics) return;
    DrawPlain(*m_pGraphics, x, y, nSize, color, nStyle, strFamily, strText);
}

void CFxPictor::Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, BYTE shadowA, BYTE shadowR,
                     BYTE shadowG, BYTE shadowB, CString strFamily, CString strText, int /*nUnused*/)
{
    if (!m_pGraphics) return;
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(strFamily, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush textBrush(ColorOf(a, r, g, b));
    Gdiplus::SolidBrush shadowBrush(ColorOf(shadowA, shadowR, shadowG, shadowB));
    const Gdiplus::REAL fx = static_cast<Gdiplus::REAL>(x), fy = static_cast<Gdiplus::REAL>(y);
    // The shadow first, one pixel down and right, so the text lies over it.
    pictor::DrawTextAt(*m_pGraphics, strText, *font, fx + 1.0f, fy + 1.0f, shadowBrush);
    pictor::DrawTextAt(*m_pGraphics, strText, *font, fx, fy, textBrush);
}

void CFxPictor::Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
                     float fAngle)
{
    Text(x, y, nSize, ColorOf(a, r, g, b), strFamily, strText, fAngle);
}

void CFxPictor::Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText, float fAngle)
{
    if (!m_pGraphics) return;
    DrawTurnedAboutOrigin(*m_pGraphics, x, y, nSize, color, strFamily, strText, fAngle);
}

void CFxPictor::Text(int /*x*/, int /*y*/, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily,
                     CString strText, float fAngle, int pivotX, int pivotY)
{
    if (!m_pGraphics) return;
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(strFamily, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush brush(ColorOf(a, r, g, b));
    pictor::DrawTextAboutPivot(*m_pGraphics, strText, *font, fAngle, pivotX, pivotY, brush);
}

void CFxPictor::Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
                     int nMirror, int /*nUnused*/)
{
    if (!m_pGraphics) return;
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(strFamily, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush brush(ColorOf(a, r, g, b));
    // The transform is set even when not mirroring: the identity then, which is also what stays behind.
    Gdiplus::Matrix matrix;
    if (nMirror != 0) matrix.SetElements(-1.0f, 0.0f, 0.0f, 1.0f, kMirrorWidth, 0.0f);
    pictor::DrawTextTransformed(*m_pGraphics, matrix, strText, *font, static_cast<Gdiplus::REAL>(x),
                                static_cast<Gdiplus::REAL>(y), brush);
}

CRect CFxPictor::GetTextSize(int nSize, CString strFamily, CString strText)
{
    return GetTextSize(nSize, strFamily, strText, Gdiplus::FontStyleRegular);
}

CRect CFxPictor::GetTextSize(int nSize, CString strFamily, CString strText, int nStyle)
{
    if (!m_pGraphics) return CRect(0, 0, 0, 0);
    return MeasureFromOrigin(*m_pGraphics, nSize, strFamily, strText, nStyle);
}
