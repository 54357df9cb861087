// The pixels libgdiplus draws a bitmap's shapes into, reached through its own record of the bitmap.
// Its locks are no way to them for two formats: once a context exists on a 32bppARGB bitmap the engine draws
// into a premultiplied cairo surface of its own beside the straight pixels, and every lock converts the whole
// bitmap from it and back (32 ms for 2000 x 2000, per lock); a 24bppRGB bitmap keeps 32-bit cells that a lock
// in its own format copies into packed rows. The record's leading fields are declared here as libgdiplus 6.1
// lays them out (src/bitmap-private.h), and read only once a probe has found a bitmap of ours in them.
#pragma once

#include <cstdint>

#include "GdiplusFlat.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Gdiplus {

namespace EngineRecord {

// ActiveBitmapData: the pixels of one frame (the engine's own fields after `reserved` are left out).
struct BitmapPixels {
    uint32_t width;
    uint32_t height;
    int32_t stride;
    int32_t pixelFormat;
    BYTE* scan0;
    uintptr_t reserved;  // holds kLocked while the bitmap is locked
};

constexpr uintptr_t kLocked = 1u << 10;

// FrameData.
struct Frame {
    int32_t count;
    BitmapPixels* bitmaps;
    GUID dimension;
};

// GpBitmap.
struct Bitmap {
    int32_t type;  // ImageType
    int32_t imageFormat;
    int32_t frameCount;
    Frame* frames;
    int32_t activeFrame;
    int32_t activeBitmap;
    BitmapPixels* active;
    int32_t cairoFormat;
    cairo_surface_t* surface;  // made with the first context; premultiplied for 32bppARGB, else over scan0
};

}  // namespace EngineRecord

// What the engine draws into for a bitmap: rows of 32-bit cells at a stride.
struct EngineBitmapPixels {
    BYTE* rows = nullptr;  // the surface's when it exists, else the bitmap's own pixels
    INT stride = 0;
    INT width = 0;
    INT height = 0;
    PixelFormat format = 0;
    cairo_surface_t* surface = nullptr;  // null while no context was made on the bitmap
};

// Reads the bitmap's pixels from the engine's record: false when this engine's records did not pass the
// probe, the bitmap is locked, or what the record holds does not agree with itself (a surface of another
// size or kind, rows too short for 32-bit cells).
bool ReadEngineBitmap(DllExports::GpBitmap* bitmap, EngineBitmapPixels* pixels);

// Tells cairo that the layer wrote into the surface (null: nothing to tell).
void EngineSurfaceWritten(cairo_surface_t* surface);

}  // namespace Gdiplus
