// Draws on a canvas, presents it, and checks one pixel: exit status 0 when the library works.
#include <cstdio>

#include "FxPictor.h"
#include "win/MemoryDC.h"

int main()
{
    CFxPictor canvas(nullptr, 32, 24);
    canvas.Clear(10, 20, 30, 255);
    CMemoryDC device(32, 24);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);
    Gdiplus::ARGB pixel = device.Pixel(16, 12);
    std::printf("pixel %08x\n", pixel);
    return pixel == 0xFF0A141Eu ? 0 : 1;
}
