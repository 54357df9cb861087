// The layer's own JPEG encoder, used in place of the engine's for 32-bit bitmaps.
#pragma once

#include "../engine/GdiplusFlat.h"

namespace Gdiplus {

// True when the encoder is the engine's JPEG encoder.
bool IsJpegEncoder(const CLSID* clsidEncoder);

// Writes the image to the file as the engine's JPEG encoder does (same quality, subsampling and JFIF
// header, so the file decodes to the same pixels), with libjpeg-turbo reading the bitmap's own pixels.
// False, with `status` untouched, when the image is not a 32-bit bitmap: the engine then encodes it.
bool SaveJpegFile(DllExports::GpImage* image, const WCHAR* filename, const EncoderParameters* parameters,
                  Status& status);

}  // namespace Gdiplus
