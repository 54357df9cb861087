#include "PixelView.h"

#include "../engine/EngineBitmapRecord.h"

namespace Gdiplus {

namespace {

bool Wanted(PixelFormat native, ViewedFormats formats)
{
    switch (native) {
    case PixelFormat32bppPARGB:
        return true;
    case PixelFormat32bppRGB:
        return formats != ViewedFormats::Premultiplied;
    case PixelFormat32bppARGB:
    case PixelFormat24bppRGB:
        return formats == ViewedFormats::Any || formats == ViewedFormats::Drawn;
    default:
        return false;
    }
}

}  // namespace

PixelView::PixelView(DllExports::GpImage* image, ViewedFormats formats)
{
    // A metafile has no pixels: the engine reports it as 32bppRGB and crashes locking it.
    ImageType type = ImageTypeUnknown;
    if (!image || DllExports::GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap) return;
    PixelFormat native = 0;
    if (DllExports::GdipGetImagePixelFormat(image, &native) != Ok || !Wanted(native, formats)) return;
    UINT imageWidth = 0, imageHeight = 0;
    if (DllExports::GdipGetImageWidth(image, &imageWidth) != Ok ||
        DllExports::GdipGetImageHeight(image, &imageHeight) != Ok || imageWidth == 0 || imageHeight == 0)
        return;
    width = static_cast<INT>(imageWidth);
    height = static_cast<INT>(imageHeight);
    DllExports::GpBitmap* candidate = reinterpret_cast<DllExports::GpBitmap*>(image);
    if (native == PixelFormat32bppARGB || native == PixelFormat24bppRGB) {
        if (ViewEngineRecord(candidate, native, formats)) return;
        // Without the engine's surface a straight bitmap's own pixels are current: Any views them locked.
        if (native == PixelFormat24bppRGB || formats == ViewedFormats::Drawn) return;
    }
    const Rect onePixel(0, 0, 1, 1);
    if (DllExports::GdipBitmapLockBits(candidate, &onePixel, ImageLockModeRead, native, &data.data) != Ok) return;
    bitmap = candidate;
    rows = native == PixelFormat32bppARGB ? Rows::Straight
                                          : (native == PixelFormat32bppRGB ? Rows::Opaque : Rows::Premultiplied);
    scan0 = static_cast<BYTE*>(data.data.Scan0);
    stride = data.data.Stride;
}

// The pixels the engine draws into, from its record: a straight bitmap's premultiplied surface (none before
// its first context), an opaque one's 32-bit cells. Views of the same bitmap at once are not refused here:
// the drawing routes never take the bitmap they draw into as their picture.
bool PixelView::ViewEngineRecord(DllExports::GpBitmap* candidate, PixelFormat native, ViewedFormats formats)
{
    EngineBitmapPixels pixels;
    if (!ReadEngineBitmap(candidate, &pixels) || pixels.format != native || pixels.width != width ||
        pixels.height != height)
        return false;
    const bool straight = native == PixelFormat32bppARGB;
    if (straight && !pixels.surface) return false;
    rows = straight ? Rows::Premultiplied : Rows::Opaque;
    scan0 = pixels.rows;
    stride = pixels.stride;
    if (formats == ViewedFormats::Drawn) drawnSurface = pixels.surface;
    return true;
}

PixelView::~PixelView()
{
    if (bitmap) DllExports::GdipBitmapUnlockBits(bitmap, &data.data);
    EngineSurfaceWritten(drawnSurface);
}

}  // namespace Gdiplus
