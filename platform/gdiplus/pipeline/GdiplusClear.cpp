// Graphics::Clear by the layer. GDI+ sets every pixel whose centre the clip holds to the colour itself,
// whatever the world transform and the compositing mode. libgdiplus clears through cairo, whose clip takes
// every pixel a path touches and mixes the colour in at its edges, and which marks a surface cleared to
// transparency as empty and from then on skips it as a source (so pixels the layer wrote there later were
// never drawn anywhere else). Premultiplied bitmaps, straight (32bppARGB) ones in the premultiplied pixels
// the engine draws them in, and opaque ones (32bppRGB, 24bppRGB), which keep the colour as it shows over
// black, are therefore cleared here, within the clip read as pixels as the fills read it.
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
    if (!target.Valid() || !ReadDeviceClip(&clip, target)) return false;
    // Transparency is 0, straight or not. An opaque pixel keeps the premultiplied colour (the colour over
    // black) and a fourth byte of 255: the engine's locks hand that byte over as the alpha.
    const uint32_t pixel = EnginePremultiplied(colour) | (target.Opaque() ? 0xFF000000u : 0u);
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
