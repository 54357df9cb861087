// Graphics::Clear by the layer. GDI+ sets every pixel whose centre the clip holds to the colour itself,
// whatever the world transform and the compositing mode. libgdiplus clears through cairo, whose clip takes
// every pixel a path touches and mixes the colour in at its edges, and which marks a surface cleared to
// transparency as empty and from then on skips it as a source (so pixels the layer wrote there later were
// never drawn anywhere else). Premultiplied bitmaps, and straight (32bppARGB) ones in the premultiplied
// pixels the engine draws them in, are therefore cleared here, within the clip read as pixels as the fills
// read it.
#include <algorithm>

#include "../Gdiplus.h"
#include "Clip.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

void FillRun(const PixelView& target, INT y, INT from, INT to, uint32_t pixel)
{
    std::fill(target.Row(y) + from, target.Row(y) + to, pixel);
}

}  // namespace

bool Graphics::ClearByLayer(ARGB colour)
{
    if (!surface || !nativeGraphics) return false;
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    DeviceClip clip;
    // 32bppRGB and 24bppRGB keep a byte the engine reads back as opaque: they are left to the engine.
    if (!target.Valid() || target.Opaque() || !ReadDeviceClip(&clip, target)) return false;
    const uint32_t pixel = EnginePremultiplied(colour);  // transparency is 0, straight or not
    const Rect box = clip.Narrow(Rect(0, 0, target.Width(), target.Height()));
    PixelRuns runs;
    for (INT y = box.Y; y < box.Y + box.Height; ++y) {
        if (clip.IsBox()) {
            FillRun(target, y, box.X, box.X + box.Width, pixel);
            continue;
        }
        clip.Runs(y, box.X, box.X + box.Width, &runs);
        for (const PixelRun& run : runs) FillRun(target, y, run.from, run.to, pixel);
    }
    return true;
}

}  // namespace Gdiplus
