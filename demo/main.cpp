// PICTOR demo: draws each page on a canvas, presents it on a device context with UpdateGdi and
// writes the device as a PNG file. Then, when a display is present, shows a window frame.
// Usage: pictor_demo [output folder] [--no-window] [--seconds N] [--screenshot FILE]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Demo.h"
#include "win/MemoryDC.h"

namespace {

const DemoPage kPages[] = {
    {"core", DrawCorePage},
    {"pixels", DrawPixelsPage},
    {"shapes", DrawShapesPage},
    {"images", DrawImagesPage},
    {"text", DrawTextPage},
};

bool RenderPage(const DemoPage& page, const std::string& folder)
{
    CFxPictor canvas(nullptr, kPageWidth, kPageHeight);
    page.draw(canvas);

    CMemoryDC device(kPageWidth, kPageHeight, 0xFFFFFFFF);
    CDC dc(device.GetSafeHdc());
    canvas.UpdateGdi(&dc);

    std::string path = folder + "/pictor-" + page.name + ".png";
    if (!device.SavePng(CString(path.c_str()))) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = ".";
    std::string screenshot;
    double seconds = 0;
    bool window = true;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--no-window")
            window = false;
        else if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (arg == "--screenshot" && i + 1 < argc)
            screenshot = argv[++i];
        else
            folder = arg;
    }

    g_demoOutputFolder = folder;
    bool ok = true;
    for (const DemoPage& page : kPages) ok = RenderPage(page, folder) && ok;

    const char* display = std::getenv("DISPLAY");
    if (window && display && *display) {
        std::printf("showing the demo window on %s; close it to quit\n", display);
        if (!RunWindow(folder + "/pictor-images.jpg", seconds, screenshot))
            std::fprintf(stderr, "no window could be opened on %s\n", display);
    }
    return ok ? 0 : 1;
}
