// Text: every text member, in Latin and Korean: at a point, shadowed, turned, mirrored, in boxes, outlined.
#include "Demo.h"

namespace {

const CString kLatin("DejaVu Sans");
const CString kKorean("NanumGothic");
const Gdiplus::Color kInk(255, 30, 40, 60);
const Gdiplus::Color kBoxLine(255, 170, 180, 200);

void Caption(CFxPictor& page, int x, int y, const char* text)
{
    page.Text(x, y, 11, 255, 120, 120, 140, kLatin, CString(text));
}

void DrawAtPoint(CFxPictor& page)
{
    page.Text(20, 20, 22, 255, 30, 40, 60, kLatin, CString("Plain text at a point"));
    page.Text(20, 52, 22, Gdiplus::Color(255, 0, 110, 180), kKorean, CString("한글 글꼴로 그린 글"));
    page.Text(20, 84, 22, Gdiplus::Color(255, 160, 30, 30), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic,
              kLatin, CString("Bold italic"));
    page.Text(200, 84, 22, 255, 250, 250, 250, 200, 40, 40, 40, kLatin, CString("Shadowed"), 0);

    // Measured text, boxed by what GetTextSize reports.
    const CString measured("Measured 측정");
    const CRect size = page.GetTextSize(18, kKorean, measured);
    CRect box(20, 122, 20 + size.right, 122 + size.bottom);
    page.WireRect(&box, kBoxLine, 1.0f);
    page.Text(20, 122, 18, kInk, kKorean, measured);
}

void DrawTurned(CFxPictor& page)
{
    Caption(page, 430, 12, "turned about the origin: 0, 30, 60, 90 degrees");
    for (int step = 0; step < 4; ++step)
        page.Text(440 + 70 * step, 40, 16, 255, 20, 90 + 40 * step, 160, kLatin, CString("turned"),
                  static_cast<float>(30 * step));
    page.Text(730, 40, 16, Gdiplus::Color(255, 0, 130, 90), kKorean, CString("회전한 글"), 60.0f);

    Caption(page, 430, 150, "about a pivot, 90 - angle: 90, 45, 1 (in a rectangle's overload)");
    page.Text(0, 0, 16, 255, 120, 40, 140, kLatin, CString("upright"), 90.0f, 440, 170);
    page.Text(0, 0, 16, 255, 120, 40, 140, kLatin, CString("pivot 45"), 45.0f, 560, 170);
    page.Text(CRect(0, 0, 10, 10), 16, 255, 200, 90, 0, kLatin, CString("pivot 1"), 1.0f, 655, 166);
}

void DrawMirrored(CFxPictor& page)
{
    // The mirror's axis is x = 400: text at x = 20 comes out reversed, ending at x = 780.
    Caption(page, 20, 192, "mirrored about x = 400");
    page.Text(20, 206, 20, 255, 30, 40, 60, kLatin, CString("Mirror 거울"), 0, 0);
    page.Text(20, 206, 20, 255, 190, 60, 60, kLatin, CString("Mirror 거울"), 1, 0);
}

void DrawBoxes(CFxPictor& page)
{
    const CRect boxes[] = {CRect(20, 250, 200, 330), CRect(215, 250, 395, 330), CRect(410, 250, 590, 330),
                           CRect(605, 250, 785, 330)};
    for (const CRect& box : boxes) {
        CRect edge = box;
        page.WireRect(&edge, kBoxLine, 1.0f);
    }
    page.Text(boxes[0], 15, kInk, Gdiplus::FontStyleRegular, Gdiplus::StringAlignmentNear, kLatin,
              CString("Near, centred"));
    page.Text(boxes[1], 15, kInk, Gdiplus::FontStyleBold, Gdiplus::StringAlignmentCenter, kKorean,
              CString("가운데 정렬"));
    page.Text(boxes[2], 15, kInk, Gdiplus::FontStyleRegular, Gdiplus::StringAlignmentFar, kLatin,
              CString("Far, centred"));
    page.TextFar(boxes[3], 15, Gdiplus::Color(255, 160, 30, 30), Gdiplus::FontStyleRegular, kKorean,
                 CString("오른쪽 아래 Far"));

    CRect wrap(20, 345, 395, 405);
    page.WireRect(&wrap, kBoxLine, 1.0f);
    page.Text(wrap, 14, 255, 30, 40, 60, kLatin,
              CString("Text in a rectangle wraps at word boundaries onto further lines, and whatever falls "
                      "below the rectangle's bottom edge is clipped away by the layout."),
              0.0f, 0, 0);
    CRect korean(410, 345, 785, 405);
    page.WireRect(&korean, kBoxLine, 1.0f);
    page.Text(korean, 14, 255, 0, 90, 140, kKorean,
              CString("사각형 안의 글은 낱말 경계에서 줄을 바꾸고, 아래 가장자리를 넘는 줄은 잘립니다."), 0.0f, 0, 0);
}

void DrawOutlined(CFxPictor& page)
{
    Caption(page, 20, 420, "outlined: glyph path with a 6-pixel pen; eight offset passes");
    page.OutLineText(20, 436, 56, 6, 255, 220, 60, 30, 30, 90, kLatin, CString("Outline"));
    page.OutLineText(300, 436, 56, 6, 255, 255, 255, 0, 110, 180, kKorean, CString("윤곽선"));
    page.OutLineText(20, 515, 40, 255, 255, 255, 20, 20, 20, kLatin, CString("Offset passes"));
    page.OutLineText(330, 515, 40, 250, 230, 120, 120, 40, 0, kKorean, CString("테두리 글"));

    // TextFx has no effect: nothing appears where it is asked to draw.
    CRect unused(560, 515, 780, 560);
    const Gdiplus::Color c(255, 255, 0, 0);
    page.TextFx(560, 515, 220, 45, 1.0f, c, c, c, c, c, 0, 0, 0, 0, 0, 0, 0, 0, 0, Gdiplus::FontStyleRegular, kLatin,
                CString("TextFx"), unused);
    Caption(page, 560, 530, "(TextFx draws nothing)");
}

}  // namespace

void DrawTextPage(CFxPictor& canvas)
{
    canvas.Clear(250, 250, 252, 255);
    canvas.SetSmoothModeHighQuility();
    DrawAtPoint(canvas);
    DrawTurned(canvas);
    DrawMirrored(canvas);
    DrawBoxes(canvas);
    DrawOutlined(canvas);
}
