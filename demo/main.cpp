// PICTOR demo: draws each page on a canvas, presents it on a device context with UpdateGdi and
// writes the device as a PNG file. Then, when a display is present, shows a window frame.
// With --print, the pages are also printed: to a CUPS destination by name ("default" for the default
// one) or, for a name ending in ".pdf", to that PDF file.
// Usage: pictor_demo [output folder] [--no-window] [--seconds N] [--screenshot FILE] [--print DESTINATION]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "Demo.h"
#include "win/MemoryDC.h"
#include "win/PrinterDC.h"

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

const char* Describe(PrintStatus status)
{
    switch (status) {
    case PrintStatus::Ok: return "ok";
    case PrintStatus::StrayPage: return "a page call out of order";
    case PrintStatus::NoPage: return "no page";
    case PrintStatus::CannotWrite: return "the document could not be written";
    case PrintStatus::NoScheduler: return "no print scheduler answered";
    case PrintStatus::NoDestination: return "no such destination";
    case PrintStatus::Refused: return "the scheduler refused the job";
    case PrintStatus::Ended: return "the job had ended";
    }
    return "unknown";
}

// One A4 page per demo page at 150 dpi, each fitted to the page width inside a 1 cm margin.
bool PrintPages(const std::string& destination)
{
    bool toFile = destination.size() > 4 && destination.compare(destination.size() - 4, 4, ".pdf") == 0;
    CPrinterDC printer = CPrinterDC::A4(toFile ? PrintOutput::PdfFile : PrintOutput::Queue,
                                        destination == "default" ? "" : destination, 150.0f);
    int margin = 59;  // 1 cm
    int width = 1240 - 2 * margin;
    int height = width * kPageHeight / kPageWidth;
    for (const DemoPage& page : kPages) {
        CFxPictor canvas(nullptr, kPageWidth, kPageHeight);
        page.draw(canvas);
        CDC dc(printer.StartPage());
        // The printing member halves its destination, so it is given at twice the size.
        canvas.UpdateGdiPrint(&dc, 0, 0, kPageWidth, kPageHeight, 2 * margin, 2 * margin, 2 * width, 2 * height);
        printer.EndPage();
    }
    if (!printer.EndDoc("PICTOR demo")) {
        std::fprintf(stderr, "printing to %s failed: %s\n", destination.c_str(), Describe(printer.Status()));
        return false;
    }
    if (toFile)
        std::printf("printed %d pages to %s\n", printer.PageCount(), destination.c_str());
    else
        std::printf("printed %d pages as job %d\n", printer.PageCount(), printer.JobId());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = ".";
    std::string screenshot;
    std::string printDestination;
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
        else if (arg == "--print" && i + 1 < argc)
            printDestination = argv[++i];
        else
            folder = arg;
    }

    // A new folder (and its parents) is made, as a user naming one expects.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "could not make the folder %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    g_demoOutputFolder = folder;
    bool ok = true;
    for (const DemoPage& page : kPages) ok = RenderPage(page, folder) && ok;
    if (!printDestination.empty()) ok = PrintPages(printDestination) && ok;

    const char* display = std::getenv("DISPLAY");
    if (window && display && *display) {
        std::printf("showing the demo window on %s; close it to quit\n", display);
        if (!RunWindow(folder + "/pictor-images.jpg", seconds, screenshot))
            std::fprintf(stderr, "no window could be opened on %s\n", display);
    }
    return ok ? 0 : 1;
}
