// Direct access to an engine bitmap's own 32-bit pixels, for the drawing the layer does itself where the
// engine is slow. A read lock in the bitmap's own format is a view of all its pixels, whatever the rectangle:
// writes go straight into them and nothing is copied back at unlock. libgdiplus copies the locked rectangle
// onto itself at lock, so the view is taken through a lock of one pixel. A 32bppARGB bitmap with a context,
// whose every lock converts all its pixels, and a 24bppRGB one, whose own-format lock is a packed copy, are
// viewed where the engine draws them instead: through its record of the bitmap (engine/EngineBitmapRecord.h).
#pragma once

#include <cstdint>

#include "../engine/GdiplusFlat.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Gdiplus {

// The 32-bit formats a view takes.
enum class ViewedFormats {
    Premultiplied,          // 32bppPARGB
    PremultipliedOrOpaque,  // and 32bppRGB
    Any,                    // and 32bppARGB: straight, or premultiplied where the engine draws it; and
                            // 24bppRGB's 32-bit cells as opaque pixels
    // What the layer draws into: 32bppPARGB; 32bppARGB as the premultiplied pixels the engine draws into;
    // 32bppRGB and 24bppRGB (32-bit cells) as opaque pixels.
    Drawn,
};

class PixelView {
public:
    // Empty (Valid() false) unless the image is a 32-bit bitmap of one of the formats asked for.
    PixelView(DllExports::GpImage* image, ViewedFormats formats);
    ~PixelView();
    PixelView(const PixelView&) = delete;
    PixelView& operator=(const PixelView&) = delete;

    bool Valid() const { return scan0 != nullptr; }
    uint32_t* Row(INT y) const { return reinterpret_cast<uint32_t*>(scan0 + static_cast<ptrdiff_t>(y) * stride); }
    INT Width() const { return width; }
    INT Height() const { return height; }
    // True for 32bppRGB and 24bppRGB, whose fourth byte is not an alpha and reads as opaque.
    bool Opaque() const { return rows == Rows::Opaque; }
    // True for 32bppARGB viewed in its own pixels, whose colour is not premultiplied.
    bool Straight() const { return rows == Rows::Straight; }

private:
    enum class Rows { Premultiplied, Straight, Opaque };
    bool ViewEngineRecord(DllExports::GpBitmap* candidate, PixelFormat native, ViewedFormats formats);

    DllExports::GpBitmap* bitmap = nullptr;   // locked while the view lasts
    cairo_surface_t* drawnSurface = nullptr;  // the engine's surface a Drawn view writes into
    struct {
        BitmapData data;
        BYTE engineFields[128];  // libgdiplus writes its own fields after the public ones
    } data{};
    BYTE* scan0 = nullptr;
    INT stride = 0;
    INT width = 0;
    INT height = 0;
    Rows rows = Rows::Premultiplied;
};

// Every channel of a pixel times factor / 255, rounded.
inline uint32_t ScaledPixel(uint32_t pixel, uint32_t factor)
{
    uint32_t rb = (pixel & 0x00FF00FFu) * factor + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((pixel >> 8) & 0x00FF00FFu) * factor + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// The colour as the engine's cairo premultiplies it: each straight channel times the alpha, both in
// [0, 1], to 16 bits, then the high byte.
uint32_t EnginePremultiplied(ARGB colour);

// A premultiplied pixel composited over another.
inline uint32_t OverPixel(uint32_t src, uint32_t dst) { return src + ScaledPixel(dst, 255 - (src >> 24)); }

// Draws the source rectangle of src scaled down into the destination rectangle of dst (both inside their
// bitmaps, the destination no larger than the source on either axis) by averaging exactly the source area
// under each destination pixel, then composites it source over (or copies it when sourceCopy).
void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy);

// Draws the source rectangle of src scaled into the destination rectangle of dst (both inside their bitmaps),
// each destination pixel the one source pixel under its centre, unblended, as GDI+'s nearest neighbour
// draws; composited source over (or copied when sourceCopy).
void ScaleNearest(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy);

// Fills the area (inside the bitmap) with a two-colour gradient that runs along one axis from `from` to `to`
// (one of whose coordinates agree), sampled at pixel centres, repeating beyond its ends, composited source
// over (or copied when sourceCopy).
void FillAxisGradient(const PixelView& dst, const Rect& area, const PointF& from, const PointF& to, ARGB first,
                      ARGB second, bool sourceCopy);

// The same gradient over the rectangle anti-aliased as GDI+ fills it (pixel centres on whole coordinates:
// the sides run through pixel centres), composited source over; the area may reach outside the bitmap.
void FillAxisGradientAntialiased(const PixelView& dst, const Rect& area, const PointF& from, const PointF& to,
                                 ARGB first, ARGB second);

}  // namespace Gdiplus
