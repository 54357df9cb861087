// Draws a small process diagram the way Windows GDI+ code paints it: rounded boxes built as paths,
// Bézier connectors, a textured backdrop, a pie of shares and labels in Arial; saves it as a PNG.
// The library starts GDI+ when it is loaded, so the program only draws.
// Usage: example_diagram OUTPUT.png
#include <cstdio>

#include "FxPictor.h"

using namespace Gdiplus;

namespace {

// A box with rounded corners, as one closed figure.
void AddRoundedBox(GraphicsPath& path, const RectF& box, REAL radius)
{
    const REAL d = radius * 2;
    path.StartFigure();
    path.AddArc(box.X, box.Y, d, d, 180, 90);
    path.AddArc(box.GetRight() - d, box.Y, d, d, 270, 90);
    path.AddArc(box.GetRight() - d, box.GetBottom() - d, d, d, 0, 90);
    path.AddArc(box.X, box.GetBottom() - d, d, d, 90, 90);
    path.CloseFigure();
}

// A two-colour checked tile for the backdrop.
void PaintTile(Bitmap& tile)
{
    for (INT y = 0; y < 16; ++y)
        for (INT x = 0; x < 16; ++x)
            tile.SetPixel(x, y, ((x / 8 + y / 8) % 2) ? Color(Color::WhiteSmoke) : Color(Color::GhostWhite));
}

void PaintDiagram(Graphics& g, Bitmap& tile)
{
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    TextureBrush backdrop(&tile, WrapModeTile);
    g.FillRectangle(&backdrop, 0, 0, 640, 360);

    const WCHAR* labels[] = {u"Load", u"Process", u"Save"};
    const RectF boxes[] = {{40, 60, 140, 70}, {250, 150, 140, 70}, {460, 60, 140, 70}};
    FontFamily arial(u"Arial");
    Font font(&arial, 18, FontStyleBold, UnitPixel);
    StringFormat centred;
    centred.SetAlignment(StringAlignmentCenter);
    centred.SetLineAlignment(StringAlignmentCenter);
    LinearGradientBrush fill(PointF(0, 60), PointF(0, 220), Color(Color::LightSteelBlue), Color(Color::SteelBlue));
    Pen frame(Color(Color::MidnightBlue), 3);
    frame.SetAlignment(PenAlignmentInset);
    SolidBrush ink(Color(Color::White));
    for (int i = 0; i < 3; ++i) {
        GraphicsPath box;
        AddRoundedBox(box, boxes[i], 12);
        g.FillPath(&fill, &box);
        g.DrawPath(&frame, &box);
        g.DrawString(labels[i], -1, &font, boxes[i], &centred, &ink);
    }

    // Connectors from the side of one box to the next, with a dashed pen and a head at the end.
    Pen connector(Color(Color::DarkSlateGray), 3);
    const REAL dashes[] = {3, 2};
    connector.SetDashPattern(dashes, 2);
    SolidBrush head(Color(Color::DarkSlateGray));
    for (int i = 0; i < 2; ++i) {
        const PointF from(boxes[i].GetRight(), boxes[i].Y + 35), to(boxes[i + 1].X - 8, boxes[i + 1].Y + 35);
        GraphicsPath curve;
        curve.AddBezier(from, PointF(from.X + 60, from.Y), PointF(to.X - 60, to.Y), to);
        g.DrawPath(&connector, &curve);
        const PointF arrow[] = {{to.X, to.Y - 7}, {to.X + 8, to.Y}, {to.X, to.Y + 7}};
        g.FillPolygon(&head, arrow, 3);
    }

    // Shares of the work, as a pie with its legend.
    const REAL shares[] = {0.5f, 0.3f, 0.2f};
    const ARGB colours[] = {Color::Tomato, Color::Gold, Color::MediumSeaGreen};
    REAL start = -90;
    for (int i = 0; i < 3; ++i) {
        SolidBrush slice{Color(colours[i])};
        g.FillPie(&slice, RectF(40, 230, 110, 110), start, shares[i] * 360);
        g.FillRectangle(&slice, 170, 250 + i * 26, 14, 14);
        g.DrawString(labels[i], -1, &font, PointF(192, 245 + i * 26), &head);
        start += shares[i] * 360;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    Bitmap tile(16, 16, PixelFormat32bppARGB);
    PaintTile(tile);
    Bitmap picture(640, 360, PixelFormat32bppARGB);
    {
        Graphics g(&picture);
        PaintDiagram(g, tile);
    }
    CLSID png;
    const CString path(argv[1]);
    if (!FindImageEncoder(u"image/png", &png) || picture.Save(path, &png) != Ok) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    Bitmap check(path);
    if (check.GetLastStatus() != Ok || check.GetWidth() != 640 || check.GetHeight() != 360) {
        std::fprintf(stderr, "could not read back %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s (%u x %u)\n", argv[1], check.GetWidth(), check.GetHeight());
    return 0;
}
