// Text laid out inside a rectangle: the engine's default layout, aligned and vertically centred, or bottom-right.
#include "TextSupport.h"
#include "Wrapping.h"

namespace {

// The neutral language, as GDI+ names it; formats of these members carry no flags.
const LANGID kLanguageNeutral = 0;

Gdiplus::RectF LayoutOf(const CRect& rect)
{
    // Width and height are taken in integers first, as the rectangle holds them.
    const int width = pictor::WrapSub(rect.right, rect.left), height = pictor::WrapSub(rect.bottom, rect.top);
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                          static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
}

void DrawAligned(Gdiplus::Graphics& graphics, const CRect& rect, int nSize, const Gdiplus::Color& color, int nStyle,
                 Gdiplus::StringAlignment horizontal, Gdiplus::StringAlignment vertical, const CString& family,
                 const CString& text)
{
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(family, nSize, nStyle);
    Gdiplus::SolidBrush brush(color);
    Gdiplus::StringFormat format(0, kLanguageNeutral);
    format.SetAlignment(horizontal);
    format.SetLineAlignment(vertical);
    graphics.DrawString(text.GetString(), text.GetLength(), font.get(), LayoutOf(rect), &format, &brush);
}

}  // namespace

void CFxPictor::Text(CRect rect, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
                     float fAngle, int pivotX, int pivotY)
{
    if (!m_pGraphics) return;
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(strFamily, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush brush(Gdiplus::Color(a, r, g, b));
    // A positive angle turns the text about the pivot and leaves the rectangle out; zero, negative and
    // not-a-number angles lay it out in the rectangle.
    if (fAngle > 0.0f) {
        pictor::DrawTextAboutPivot(*m_pGraphics, strText, *font, fAngle, pivotX, pivotY, brush);
        return;
    }
    // A length of -1 has the engine read up to the first NUL, so the text ends there.
    m_pGraphics->DrawString(strText.GetString(), -1, font.get(), LayoutOf(rect), nullptr, &brush);
}

void CFxPictor::Text(CRect rect, int nSize, Gdiplus::Color color, int nStyle, Gdiplus::StringAlignment align,
                     CString strFamily, CString strText)
{
    if (!m_pGraphics) return;
    DrawAligned(*m_pGraphics, rect, nSize, color, nStyle, align, Gdiplus::StringAlignmentCenter, strFamily, strText);
}

void CFxPictor::TextFar(CRect rect, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText)
{
    if (!m_pGraphics) return;
    DrawAligned(*m_pGraphics, rect, nSize, color, nStyle, Gdiplus::StringAlignmentFar, Gdiplus::StringAlignmentFar,
                strFamily, strText);
}
