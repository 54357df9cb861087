// Draws on a canvas, presents it, and checks one pixel and some text: exit status 0 when the library
// works. X11's headers come first here and last in Text.cpp: an application with X11 code of its own
// includes them and the library's header in either order.
#include <X11/Xlib.h>
#include <X11/Xmd.h>

#include <cstdio>

#include "FxPictor.h"
#include "win/MemoryDC.h"

bool DrawsUtf8Text();

int main()
{
    CFxPictor canvas(nullptr, 32, 24);
    canvas.Clear(10, 20, 30, 255);
    CMemoryDC device(32, 24);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);
    Gdiplus::ARGB pixel = device.Pixel(16, 12);
    std::printf("pixel %08x\n", pixel);
    // X11's Status is in force again after the library's header.
    const Status x11Status = True;
    return pixel == 0xFF0A141Eu && DrawsUtf8Text() && x11Status == 1 ? 0 : 1;
}
