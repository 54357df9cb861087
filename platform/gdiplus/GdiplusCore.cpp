// Start-up, the engine's allocator and the encoder list.
#include "Gdiplus.h"

namespace Gdiplus {

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    return DllExports::GdiplusStartup(token, input, output);
}

void GdiplusShutdown(ULONG_PTR token) { DllExports::GdiplusShutdown(token); }

Status GetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    return DllExports::GdipGetImageEncodersSize(numEncoders, size);
}

Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    return DllExports::GdipGetImageEncoders(numEncoders, size, encoders);
}

void* GdiplusBase::operator new(size_t size) { return DllExports::GdipAlloc(size); }
void GdiplusBase::operator delete(void* ptr) { DllExports::GdipFree(ptr); }
void* GdiplusBase::operator new[](size_t size) { return DllExports::GdipAlloc(size); }
void GdiplusBase::operator delete[](void* ptr) { DllExports::GdipFree(ptr); }

}  // namespace Gdiplus
