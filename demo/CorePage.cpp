// The canvas core: clearing, a world transform, and one small canvas presented four ways.
#include "Demo.h"
#include "win/MemoryDC.h"

namespace {

// Draws a tile with a few coloured quarters, so that scaling and placement show.
void DrawTile(CFxPictor& tile)
{
    tile.Clear(30, 60, 120, 255);
    Gdiplus::SolidBrush amber(Gdiplus::Color(255, 250, 180, 40));
    Gdiplus::SolidBrush rose(Gdiplus::Color(255, 220, 60, 90));
    tile.m_pGraphics->FillRectangle(&amber, 0, 0, 40, 30);
    tile.m_pGraphics->FillRectangle(&rose, 40, 30, 40, 30);
}

}  // namespace

void DrawCorePage(CFxPictor& canvas)
{
    canvas.Clear(245, 246, 250, 255);

    CFxPictor tile(nullptr, 80, 60);
    DrawTile(tile);

    // Present the tile onto the page's own bitmap through a device context made on it.
    HDC pageDC = canvas.m_pGraphics->GetHDC();
    CDC dc(pageDC);
    tile.UpdateGdi(&dc, 40, 40);                                  // at a point, own size
    tile.UpdateGdi(&dc, 0, 0, 80, 60, 160, 40, 240, 180);         // scaled three times
    tile.UpdateGdiPrint(&dc, 0, 0, 80, 60, 880, 80, 320, 240);   // print page: halved, at (440, 40)
    CFxPictor veil(nullptr, 200, 120);
    veil.Clear(255, 255, 255, 128);                              // half-transparent: source over
    veil.UpdateGdi(&dc, 120, 160);
    canvas.m_pGraphics->ReleaseHDC(pageDC);

    // A world transform set on the page moves a later fill.
    canvas.MatrixTransform(1.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f);  // shear
    Gdiplus::SolidBrush teal(Gdiplus::Color(255, 20, 150, 140));
    canvas.m_pGraphics->FillRectangle(&teal, 40, 300, 160, 120);
    canvas.MatrixTransform(1, 0, 0, 1, 0, 0);
}
