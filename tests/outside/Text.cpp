// Text from a UTF-8 std::string, with the library's header before X11's.
#include <cstdio>
#include <string>
#include <vector>

#include "FxPictor.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/Xmd.h>

bool DrawsUtf8Text()
{
    CFxPictor canvas(nullptr, 200, 40);
    canvas.Clear(255, 255, 255, 255);
    const std::string family = "DejaVu Sans", text = "Grüße, 그림";
    canvas.Text(4, 4, 24, 255, 0, 0, 0, family, text);
    std::vector<BYTE> pixels(200 * 40 * 4);
    canvas.GetBits(pixels.data(), 0, 0, 200, 40);
    int dark = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) dark += pixels[i] < 128;
    // X11's own BOOL (from Xmd.h) and the library's types live side by side.
    const BOOL x11Bool = True;
    std::printf("text ink %d\n", dark);
    return dark > 100 && x11Bool == 1;
}
