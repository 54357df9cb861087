// The engine's flat functions that read a texture brush back, for the layer's own paint stage
// (pipeline/PaintTexture.cpp). libgdiplus 6.1 exports them.
#pragma once

#include "GdiplusFlat.h"

#pragma push_macro("Status")
#undef Status

namespace Gdiplus::DllExports {

extern "C" {
// A copy of the brush's image, which the caller disposes of.
Status GdipGetTextureImage(GpTexture* brush, GpImage** image);
Status GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
}

}  // namespace Gdiplus::DllExports

#pragma pop_macro("Status")
