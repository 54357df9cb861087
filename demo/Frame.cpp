// One frame of a window, drawn the way an application's paint handler draws it.
#include "Demo.h"

void DrawFrame(CFxPictor& canvas)
{
    const CSize size = canvas.GetSize();
    canvas.Clear(236, 240, 246, 255);
    canvas.SetSmoothModeHighQuility();

    // A header band and a body panel that follow the client size.
    Gdiplus::SolidBrush header(Gdiplus::Color(255, 40, 70, 120));
    Gdiplus::SolidBrush panel(Gdiplus::Color(255, 255, 255, 255));
    canvas.m_pGraphics->FillRectangle(&header, 0, 0, size.cx, 56);
    canvas.m_pGraphics->FillRectangle(&panel, 24, 80, size.cx - 48, size.cy - 104);
}
