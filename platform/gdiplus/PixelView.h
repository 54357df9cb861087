// Direct access to an engine bitmap's own 32-bit pixels, for the drawing the layer does itself where the
// engine is slow. A whole-bitmap read lock in the bitmap's own format is a view of its pixels: writes go
// straight into them and nothing is copied back at unlock.
#pragma once

#include <cstdint>

#include "GdiplusFlat.h"

namespace Gdiplus {

class PixelView {
public:
    // Empty (Valid() false) unless the image is a 32-bit bitmap of one of the formats asked for.
    PixelView(DllExports::GpImage* image, bool premultipliedOnly);
    ~PixelView();
    PixelView(const PixelView&) = delete;
    PixelView& operator=(const PixelView&) = delete;

    bool Valid() const { return scan0 != nullptr; }
    uint32_t* Row(INT y) const { return reinterpret_cast<uint32_t*>(scan0 + static_cast<ptrdiff_t>(y) * stride); }
    INT Width() const { return static_cast<INT>(data.data.Width); }
    INT Height() const { return static_cast<INT>(data.data.Height); }
    // True for 32bppRGB, whose fourth byte is not an alpha and reads as opaque.
    bool Opaque() const { return format == PixelFormat32bppRGB; }

private:
    DllExports::GpBitmap* bitmap = nullptr;
    struct {
        BitmapData data;
        BYTE engineFields[128];  // libgdiplus writes its own fields after the public ones
    } data{};
    BYTE* scan0 = nullptr;
    INT stride = 0;
    PixelFormat format = 0;
};

// Draws the source rectangle of src scaled down into the destination rectangle of dst (both inside their
// bitmaps, the destination no larger than the source on either axis) by averaging exactly the source area
// under each destination pixel, then composites it source over (or copies it when sourceCopy).
void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy);

}  // namespace Gdiplus
