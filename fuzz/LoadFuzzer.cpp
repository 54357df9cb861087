// Feeds arbitrary bytes to the picture loaders: from a file, and from the module's resources (a
// "PNG" resource read through global memory and a stream, and a bitmap resource).
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "FxPictor.h"
#include "win/Resources.h"

namespace {

const std::string& FilePath()
{
    static const std::string path = "/tmp/pictor-fuzz-" + std::to_string(getpid()) + ".img";
    return path;
}

// Pictures up to the library's limit are legitimate, but a cut JPEG declaring 16000 x 16000 decodes (grey
// where the data ends) into a gigabyte, and every canvas built from it takes seconds under the sanitizer.
// Such inputs are decoded once and go no further: the canvases they would fill add nothing to explore.
const unsigned long long kMaxCanvasPixels = 1ull << 22;

bool WriteFile(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(FilePath().c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

bool SmallEnoughForCanvases()
{
    Gdiplus::Image picture(CString(FilePath().c_str()).GetString());
    if (picture.GetLastStatus() != Gdiplus::Ok) return true;
    return static_cast<unsigned long long>(picture.GetWidth()) * picture.GetHeight() <= kMaxCanvasPixels;
}

// Every page of a multi-page picture is decoded on selection, so the first few are selected in turn.
void SelectPages()
{
    Gdiplus::Image picture(CString(FilePath().c_str()).GetString());
    const UINT pages = picture.GetFrameCount(&Gdiplus::FrameDimensionPage);
    for (UINT page = 1; page < pages && page < 8; ++page) picture.SelectActiveFrame(&Gdiplus::FrameDimensionPage, page);
}

void LoadFromFile()
{
    CFxPictor canvas(nullptr, 16, 16);
    if (canvas.LoadImageW(CString(FilePath().c_str())) == 1) canvas.LoadImageW(CString(FilePath().c_str()), 0.5f);
}

void LoadFromResources(const uint8_t* data, size_t size)
{
    const HMODULE program = GetModuleHandleW(nullptr);
    const LPCWSTR id = MAKEINTRESOURCEW(7);
    RegisterModuleResource(program, id, u"PNG", data, static_cast<DWORD>(size));
    RegisterModuleResource(program, id, RT_BITMAP, data, static_cast<DWORD>(size));

    CFxPictor canvas(nullptr, 16, 16);
    Gdiplus::Bitmap* bitmap = nullptr;
    if (canvas.LoadBitmapFromPNG(7, &bitmap, program)) {
        canvas.CopyFromBitmap(bitmap);
        delete bitmap;
    }
    canvas.LoadResource(7);

    UnregisterModuleResource(program, id, u"PNG");
    UnregisterModuleResource(program, id, RT_BITMAP);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteFile(data, size) || !SmallEnoughForCanvases()) return 0;
    SelectPages();
    LoadFromFile();
    LoadFromResources(data, size);
    return 0;
}
