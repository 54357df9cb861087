// Start-up, the engine's allocator and the encoder list.
#include <string_view>
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    return DllExports::GdiplusStartup(token, input, output);
}

// libgdiplus's shutdown ends fontconfig for the whole process (FcFini), which other libraries in the
// process may still be using, and which aborts while pango holds fonts; GDI+'s shutdown ends only
// GDI+. The engine is therefore left started: its codec list and font cache go with the process.
void GdiplusShutdown(ULONG_PTR) {}

Status GetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    return DllExports::GdipGetImageEncodersSize(numEncoders, size);
}

Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    return DllExports::GdipGetImageEncoders(numEncoders, size, encoders);
}

bool FindImageEncoder(const WCHAR* mimeType, CLSID* clsid)
{
    if (!mimeType || !clsid) return false;
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0) return false;
    std::vector<unsigned char> block(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(block.data());
    if (GetImageEncoders(count, size, encoders) != Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && std::u16string_view(encoders[i].MimeType) == std::u16string_view(mimeType)) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

void* GdiplusBase::operator new(size_t size) { return DllExports::GdipAlloc(size); }
void GdiplusBase::operator delete(void* ptr) { DllExports::GdipFree(ptr); }
void* GdiplusBase::operator new[](size_t size) { return DllExports::GdipAlloc(size); }
void GdiplusBase::operator delete[](void* ptr) { DllExports::GdipFree(ptr); }

}  // namespace Gdiplus
