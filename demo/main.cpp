// PICTOR demo: draws each page on a canvas, presents it on a device context with UpdateGdi and
// writes the device as a PNG file. Usage: pictor_demo [output folder]
#include <cstdio>
#include <string>

#include "Demo.h"
#include "win/MemoryDC.h"

namespace {

const DemoPage kPages[] = {
    {"core", DrawCorePage},
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
    std::string folder = argc > 1 ? argv[1] : ".";
    bool ok = true;
    for (const DemoPage& page : kPages) ok = RenderPage(page, folder) && ok;
    return ok ? 0 : 1;
}
