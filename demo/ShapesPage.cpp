// Shapes: every line, outline, figure, fill, gradient and rounded-rectangle member, in rows.
#include "Demo.h"

namespace {

// Members that paint a whole canvas are shown on a small canvas of their own, laid on the page.
template <typename Paint>
void Tile(CFxPictor& page, int x, int y, int w, int h, Paint paint)
{
    CFxPictor tile(nullptr, w, h);
    tile.Clear(255, 255, 255, 255);
    paint(tile);
    tile.CopyToThis(&page, x, y);
}

void AddZigzag(Gdiplus::GraphicsPath& path, int x, int y)
{
    path.AddLine(x, y + 20, x + 30, y);
    path.AddLine(x + 30, y, x + 60, y + 20);
    path.AddLine(x + 60, y + 20, x + 90, y);
    path.AddLine(x + 90, y, x + 120, y + 20);
}

void DrawLinesAndFigures(CFxPictor& page)
{
    page.Line(10, 20, 150, 20, 255, 40, 40, 40, 1.0f);
    page.Line(10, 35, 150, 50, Gdiplus::Color(255, 200, 40, 40), 3.0f);
    page.Line(20, 70, 140, 70, 255, 30, 90, 200, 6.0f, Gdiplus::DashStyleDash, Gdiplus::LineCapRound,
              Gdiplus::LineCapRound);
    page.Line(20, 95, 140, 115, 255, 20, 140, 80, 4.0f, Gdiplus::DashStyleDashDot, Gdiplus::LineCapSquare,
              Gdiplus::LineCapSquare);

    Gdiplus::GraphicsPath zigzag1, zigzag2, zigzag3;
    AddZigzag(zigzag1, 170, 15);
    AddZigzag(zigzag2, 170, 50);
    AddZigzag(zigzag3, 170, 90);
    page.DrawPathLine(&zigzag1, Gdiplus::Color(255, 120, 40, 160), 5);
    page.DrawPathLine(&zigzag2, 255, 200, 120, 0, 3);
    page.DrawPathLine(&zigzag3, 255, 0, 120, 160, 3, Gdiplus::DashStyleDot);

    Gdiplus::GraphicsPath star;
    Gdiplus::Point points[] = {{350, 10}, {362, 48}, {400, 48}, {369, 70}, {381, 110},
                               {350, 85}, {319, 110}, {331, 70}, {300, 48}, {338, 48}};
    star.AddPolygon(points, 10);
    page.DrawPolygon(&star, 255, 250, 200, 40, 255, 150, 80, 0);

    CRect arrow(420, 15, 470, 115);
    page.RectArrow(&arrow, 0, 180, 30, 60, 0);

    Gdiplus::Point triangle[] = {{490, 110}, {530, 15}, {570, 110}};
    page.Polygon(triangle, 0, 30, 120, 90, 3);

    page.Circle(590, 20, 60, 255, 250, 220, 80, 2.0f, 1);
    page.Circle(660, 20, 60, 160, 40, 140, 220, 200, 30, 60, 3.0f);
    page.Circle(730, 20, 60, Gdiplus::Color(255, 120, 200, 120), Gdiplus::Color(255, 20, 80, 20), 1.0f);
}

void DrawOutlines(CFxPictor& page)
{
    page.WireRect(10, 140, 80, 60, 255, 40, 40, 40, 1.0f);
    CRect second(110, 140, 190, 200), third(210, 140, 290, 200), fourth(310, 140, 390, 200),
        fifth(410, 140, 490, 200);
    page.WireRect(&second, 255, 200, 40, 40, 2.0f);
    page.WireRect(&third, Gdiplus::Color(255, 30, 90, 200), 3.0f);
    page.WireRect(&fourth, 255, 30, 30, 30, 2.0f, 1);
    page.WireRect(&fifth, 255, 30, 120, 60, 2.0f, 1, Gdiplus::DashStyleDash);

    page.FillRect(510, 130, 280, 80, 255, 200, 200, 200);
    page.WireRectEmboss(530, 140, 110, 60, 2.0f, 0);
    page.WireRectEmboss(660, 140, 110, 60, 2.0f, 1);
}

void DrawHatches(CFxPictor& page)
{
    const int kStyles = 53;
    for (int style = 0; style < kStyles; ++style) {
        int column = style % 27, row = style / 27;
        page.FillPatternRect(10 + column * 29, 220 + row * 29, 28, 28, style);
    }
}

void DrawSolidFills(CFxPictor& page)
{
    page.FillRect(10, 290, 50, 50, 255, 220, 60, 60);
    page.FillRect(70, 290, 50, 50, Gdiplus::Color(160, 60, 60, 220));
    CRect third(130, 290, 180, 340), fourth(190, 290, 240, 340), round(250, 290, 300, 340);
    page.FillRect(&third, 255, 60, 160, 60);
    page.FillRect(&fourth, Gdiplus::Color(255, 240, 180, 40));
    page.FillRoundRect(&round, Gdiplus::Color(255, 120, 60, 160));

    page.FillRect(320, 290, 50, 50, Gdiplus::Color(255, 230, 230, 250), Gdiplus::Color(255, 30, 30, 120));
    page.FillRect(380, 290, 50, 50, 255, 90, 110, 140, 0);
    CRect lighter(440, 290, 490, 340), boxA(510, 300, 531, 321), boxB(545, 300, 566, 321);
    page.FillRect(&lighter, 255, 140, 60, 60, 0);
    page.FillRect(&boxA, 255, 70, 90, 120, 0, 1);
    page.FillRect(&boxB, 255, 70, 90, 120, 0, 0);

    Tile(page, 590, 290, 90, 50, [](CFxPictor& tile) { tile.FillPattern(Gdiplus::HatchStyleDiagonalCross); });
    Tile(page, 700, 290, 90, 50, [](CFxPictor& tile) { tile.FillPattern(Gdiplus::HatchStyleLargeCheckerBoard); });
}

void DrawGradients(CFxPictor& page)
{
    Tile(page, 10, 360, 90, 80, [](CFxPictor& tile) { tile.FillGradientRect(255, 250, 80, 40, 255, 40, 40, 160); });
    CRect second(110, 360, 200, 440), third(210, 360, 300, 440);
    page.FillGradientRect(&second, 255, 255, 255, 255, 255, 30, 120, 60);
    page.FillGradientRect(&third, Gdiplus::Color(255, 40, 40, 40), Gdiplus::Color(255, 230, 230, 230));
    page.FillGradientRect(310, 360, 90, 80, 255, 250, 220, 60, 255, 200, 40, 40);
    page.FillGradientRectH(410, 360, 90, 80, 255, 30, 60, 180, 255, 120, 220, 250);
    Tile(page, 510, 360, 90, 80, [](CFxPictor& tile) { tile.FillGradientRectH(255, 0, 0, 0, 0, 0, 0, 0); });
    Tile(page, 610, 360, 80, 80,
         [](CFxPictor& tile) { tile.FillGradientRectHalf(255, 90, 90, 100, 255, 230, 230, 240); });
    page.FillGradientRectHalf(700, 360, 90, 80, 255, 30, 80, 160, 255, 170, 210, 250);
}

void DrawRoundRects(CFxPictor& page)
{
    page.DrawRoundRect(10, 460, 80, 60, 255, 40, 40, 40, 10, 1);
    CRect thick(100, 460, 180, 520);
    page.DrawRoundRect(&thick, 255, 200, 60, 40, 8, 3);

    CRect bytes(190, 460, 270, 520), colours(280, 460, 360, 520), fillOnly(370, 460, 450, 520);
    page.FillRoundRect(&bytes, 255, 250, 230, 150, 255, 160, 120, 20, 10);
    page.FillRoundRect(&colours, Gdiplus::Color(255, 200, 230, 250), Gdiplus::Color(255, 30, 90, 160), 14);
    page.FillRoundRect(&fillOnly, 255, 120, 190, 120, 6);
    page.FillRoundRect(460, 460, 80, 60, 255, 240, 240, 240, 255, 90, 90, 90, 8);
    page.FillRoundRect(550, 460, 80, 60, 255, 250, 210, 220, 255, 200, 40, 90, 4, 12);

    Gdiplus::GraphicsPath outline;
    page.GetRoundRectPath(&outline, Gdiplus::Rect(640, 460, 150, 60), 30);
    page.DrawPathLine(&outline, 255, 90, 40, 160, 3, Gdiplus::DashStyleDash);

    // Gradients whose rows start at the canvas's top: these rectangles sit on a multiple of their height.
    CRect vertical(10, 540, 90, 600), upSolid(200, 540, 280, 600), upGradient(290, 540, 370, 600);
    page.FillGradientRoundRectV(&vertical, 255, 250, 250, 250, 255, 60, 100, 170, 10);
    page.FillGradientRoundRectV(100, 535, 90, 60, 255, 250, 200, 60, 255, 60, 20, 20, 12);
    page.FillUpSideRoundRect(&upSolid, 255, 60, 120, 180, 12);
    page.FillUpSideRoundRect(&upGradient, 255, 240, 240, 240, 255, 120, 120, 130, 12);
    page.RectRound(390, 540, 80, 50, 255, 30, 30, 30, 24, 2);
    page.RectRound(490, 540, 80, 50, 255, 200, 40, 40, 50, 4);
    // Draws nothing: the frame marks where it was asked to draw.
    page.FillRectRound(590, 540, 80, 50, 255, 255, 0, 0, 4, 4, 4);
    CRect unused(590, 540, 670, 590);
    page.WireRect(&unused, 255, 200, 200, 200, 1.0f, 0, Gdiplus::DashStyleDot);

    // The same circle and triangle at high speed, then anti-aliased.
    page.SetSmoothModeHighSpeed();
    page.Circle(690, 540, 40, 255, 250, 160, 60, 2.0f, 1);
    page.SetSmoothModeHighQuility();
    page.Circle(740, 540, 40, 255, 250, 160, 60, 2.0f, 1);
}

}  // namespace

void DrawShapesPage(CFxPictor& canvas)
{
    canvas.Clear(250, 250, 247, 255);
    canvas.SetSmoothModeHighQuility();
    DrawLinesAndFigures(canvas);
    DrawOutlines(canvas);
    DrawHatches(canvas);
    DrawSolidFills(canvas);
    DrawGradients(canvas);
    DrawRoundRects(canvas);
}
