// Text with an outline: stroked and filled glyph outlines, or eight offset passes under the text; and TextFx.
#include "TextSupport.h"

namespace {

const LANGID kLanguageNeutral = 0;

// The eight neighbours of the text's origin, in the order they are stamped.
const int kNeighbours[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

// Outlined text is cut, on purpose, to its first kMaxOutlinedUnits UTF-16 units: outlining a
// megabyte of text takes minutes and gigabytes, for glyphs far beyond any canvas.
const int kMaxOutlinedUnits = 4096;

CString OutlinedPart(const CString& text)
{
    int length = text.GetLength();
    if (length <= kMaxOutlinedUnits) return text;
    length = kMaxOutlinedUnits;
    const WCHAR last = text.GetString()[length - 1];
    if (last >= 0xD800 && last <= 0xDBFF) --length;  // a surrogate pair stays whole
    return CString(text.GetString(), length);
}

// Outline colours take no alpha: always opaque.
Gdiplus::Color OpaqueOf(BYTE r, BYTE g, BYTE b) { return Gdiplus::Color(255, r, g, b); }

}  // namespace

void CFxPictor::OutLineText(int x, int y, int nSize, int nPenWidth, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG,
                            BYTE lineB, CString strFamily, CString strText)
{
    if (!m_pGraphics) return;
    // Glyph edges should be smooth; the canvas keeps these settings afterwards.
    m_pGraphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    m_pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);

    // The family alone, with no fallback: a name no installed font has leaves the path empty.
    Gdiplus::FontFamily family(strFamily.GetString());
    Gdiplus::StringFormat format(0, kLanguageNeutral);
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    const CString text = OutlinedPart(strText);
    path.AddString(text.GetString(), text.GetLength(), &family, Gdiplus::FontStyleRegular,
                   static_cast<Gdiplus::REAL>(nSize), Gdiplus::Rect(x, y, 0, 0), &format);

    Gdiplus::Pen pen(OpaqueOf(lineR, lineG, lineB), static_cast<Gdiplus::REAL>(nPenWidth));
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    m_pGraphics->DrawPath(&pen, &path);

    // Filling after stroking covers the inner half of the stroke: the outline shows outside the glyphs only.
    Gdiplus::SolidBrush brush(OpaqueOf(r, g, b));
    m_pGraphics->FillPath(&brush, &path);
}

void CFxPictor::OutLineText(int x, int y, int nSize, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG, BYTE lineB,
                            CString strFamily, CString strText)
{
    if (!m_pGraphics) return;
    std::shared_ptr<Gdiplus::Font> font = pictor::MakeTextFont(strFamily, nSize, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush textBrush(OpaqueOf(r, g, b));
    Gdiplus::SolidBrush outlineBrush(OpaqueOf(lineR, lineG, lineB));
    const Gdiplus::REAL fx = static_cast<Gdiplus::REAL>(x), fy = static_cast<Gdiplus::REAL>(y);
    const CString text = OutlinedPart(strText);
    for (const auto& offset : kNeighbours)
        pictor::DrawTextAt(*m_pGraphics, text, *font, fx + static_cast<Gdiplus::REAL>(offset[0]),
                           fy + static_cast<Gdiplus::REAL>(offset[1]), outlineBrush);
    pictor::DrawTextAt(*m_pGraphics, text, *font, fx, fy, textBrush);
}

// Kept for callers that use it; it has no effect and leaves the rectangle as given.
void CFxPictor::TextFx(int, int, int, int, float, Gdiplus::Color, Gdiplus::Color, Gdiplus::Color, Gdiplus::Color,
                       Gdiplus::Color, int, int, int, int, int, int, int, int, int, Gdiplus::FontStyle, CString,
                       CString, CRect&)
{
}
