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

void LoadFromFile(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(FilePath().c_str(), "wb");
    if (!file) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
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
    LoadFromFile(data, size);
    LoadFromResources(data, size);
    return 0;
}
