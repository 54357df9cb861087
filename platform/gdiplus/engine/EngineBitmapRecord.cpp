#include "EngineBitmapRecord.h"

#include <climits>
#include <cstdint>
#include <memory>

#include <cairo.h>

namespace Gdiplus {

namespace {

const EngineRecord::Bitmap& Record(DllExports::GpBitmap* bitmap)
{
    return *reinterpret_cast<const EngineRecord::Bitmap*>(bitmap);
}

// The surface is a cairo image surface of the pixels' size and stride, as the engine makes it.
bool SurfaceFits(cairo_surface_t* surface, const EngineRecord::BitmapPixels& pixels)
{
    return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE &&
           cairo_image_surface_get_width(surface) == static_cast<int>(pixels.width) &&
           cairo_image_surface_get_height(surface) == static_cast<int>(pixels.height) &&
           cairo_image_surface_get_stride(surface) == pixels.stride && cairo_image_surface_get_data(surface) != nullptr;
}

struct ImageDisposer {
    void operator()(DllExports::GpBitmap* bitmap) const
    {
        DllExports::GdipDisposeImage(reinterpret_cast<DllExports::GpImage*>(bitmap));
    }
};
struct GraphicsDeleter {
    void operator()(DllExports::GpGraphics* graphics) const { DllExports::GdipDeleteGraphics(graphics); }
};

// A bitmap of ours, made over our own buffer, lies in the record where expected, before a context and after.
bool RecordsAsDeclared()
{
    constexpr INT kWidth = 7, kHeight = 5, kStride = kWidth * 4;
    uint32_t pixels[kWidth * kHeight] = {0x80FF0000u};
    BYTE* scan0 = reinterpret_cast<BYTE*>(pixels);
    DllExports::GpBitmap* made = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(kWidth, kHeight, kStride, PixelFormat32bppARGB, scan0, &made) != Ok)
        return false;
    const std::unique_ptr<DllExports::GpBitmap, ImageDisposer> bitmap(made);
    const EngineRecord::Bitmap& record = Record(made);
    if (record.type != ImageTypeBitmap || record.frameCount != 1 || !record.frames || record.activeFrame != 0 ||
        record.activeBitmap != 0 || record.surface != nullptr || record.cairoFormat != CAIRO_FORMAT_ARGB32 ||
        record.frames[0].count != 1 || record.active != record.frames[0].bitmaps)
        return false;
    const EngineRecord::BitmapPixels& own = *record.active;
    if (own.width != kWidth || own.height != kHeight || own.stride != kStride ||
        own.pixelFormat != PixelFormat32bppARGB || own.scan0 != scan0 || (own.reserved & EngineRecord::kLocked))
        return false;

    DllExports::GpGraphics* context = nullptr;
    if (DllExports::GdipGetImageGraphicsContext(reinterpret_cast<DllExports::GpImage*>(made), &context) != Ok)
        return false;
    const std::unique_ptr<DllExports::GpGraphics, GraphicsDeleter> graphics(context);
    // The context drew into a premultiplied copy: half-transparent red is half red there.
    if (!record.surface || !SurfaceFits(record.surface, own) ||
        cairo_image_surface_get_format(record.surface) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_data(record.surface) == scan0)
        return false;
    const uint32_t first = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(record.surface));
    if (first >> 24 != 0x80 || ((first >> 16) & 0xFF) < 0x7F || ((first >> 16) & 0xFF) > 0x81) return false;

    // A lock shows in `reserved` until the unlock.
    struct {
        BitmapData data;
        BYTE engineFields[128];
    } lock{};
    const Rect onePixel(0, 0, 1, 1);
    if (DllExports::GdipBitmapLockBits(made, &onePixel, ImageLockModeRead, PixelFormat32bppARGB, &lock.data) != Ok)
        return false;
    const bool locked = (own.reserved & EngineRecord::kLocked) != 0;
    DllExports::GdipBitmapUnlockBits(made, &lock.data);
    return locked && !(own.reserved & EngineRecord::kLocked);
}

bool RecordTrusted()
{
    static const bool trusted = RecordsAsDeclared();
    return trusted;
}

}  // namespace

bool ReadEngineBitmap(DllExports::GpBitmap* bitmap, EngineBitmapPixels* pixels)
{
    if (!bitmap || !pixels || !RecordTrusted()) return false;
    const EngineRecord::Bitmap& record = Record(bitmap);
    if (record.type != ImageTypeBitmap || !record.active) return false;
    const EngineRecord::BitmapPixels& own = *record.active;
    if ((own.reserved & EngineRecord::kLocked) || own.width == 0 || own.height == 0 || own.width > INT_MAX / 4 ||
        own.height > INT_MAX || own.stride < static_cast<int32_t>(own.width * 4))
        return false;
    EngineBitmapPixels read;
    read.width = static_cast<INT>(own.width);
    read.height = static_cast<INT>(own.height);
    read.stride = own.stride;
    read.format = own.pixelFormat;
    if (record.surface) {
        if (!SurfaceFits(record.surface, own)) return false;
        // Drawing cairo still holds lands before the pixels are read.
        cairo_surface_flush(record.surface);
        read.rows = cairo_image_surface_get_data(record.surface);
        read.surface = record.surface;
    } else {
        if (!own.scan0) return false;
        read.rows = own.scan0;
    }
    *pixels = read;
    return true;
}

void EngineSurfaceWritten(cairo_surface_t* surface)
{
    // cairo skips a surface it cleared as a source until told its pixels changed; it wants no copies of
    // the surface (snapshots) pending when told, which a flush settles.
    if (!surface) return;
    cairo_surface_flush(surface);
    cairo_surface_mark_dirty(surface);
}

}  // namespace Gdiplus
