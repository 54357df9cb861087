// Regions filled by the layer. GDI+ fills a region as it clips to one: whole pixels whose centres it holds,
// whatever the smoothing. The region's pixels are read as a clip of their own and met with the context's
// clip row by row here, so the engine combines nothing (its combination of a path region with another clip
// took other pixels than either alone).
#include <algorithm>
#include <cmath>

#include "AliasedCoverage.h"
#include "Clip.h"
#include "DeviceFigure.h"
#include "../Gdiplus.h"
#include "Paint.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

// The device pixels the world rectangle reaches through the map, a pixel wider on every side, within the
// canvas; empty for bounds that are not numbers.
Rect DeviceBox(const RectF& bounds, const DeviceMap& map, INT width, INT height)
{
    const PointF corners[] = {{bounds.X, bounds.Y},
                              {bounds.X + bounds.Width, bounds.Y},
                              {bounds.X, bounds.Y + bounds.Height},
                              {bounds.X + bounds.Width, bounds.Y + bounds.Height}};
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const PointF& corner : corners) {
        const PointF p = map.Apply(corner);
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return Rect();
        left = std::min(left, p.X), top = std::min(top, p.Y), right = std::max(right, p.X),
        bottom = std::max(bottom, p.Y);
    }
    const auto within = [](float v, INT size) { return static_cast<INT>(std::clamp(v, 0.0f, float(size))); };
    const INT x0 = within(std::floor(left) - 1, width), y0 = within(std::floor(top) - 1, height);
    const INT x1 = within(std::ceil(right) + 2, width), y1 = within(std::ceil(bottom) + 2, height);
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace

bool Graphics::ReadRegionPixels(const Region* region, const PixelView& target, DeviceClip* pixels)
{
    // The region in place of the clip for a moment: the engine carries it to the device as it carries a
    // clip, through the world transform, and the clip's reader reads its pixels.
    const GraphicsState state = Save();
    const bool set = DllExports::GdipSetClipRegion(nativeGraphics, region->NativeRegion(), CombineModeReplace) == Ok;
    StateChanged();  // the region is the clip until restored
    const bool read = set && ReadDeviceClip(pixels, target);
    Restore(state);
    return read;
}

bool Graphics::FillRegionByLayer(const Brush* brush, const Region* region)
{
    DeviceMap map;
    RectF bounds;
    if (!LayerDeviceMap(&map) || region->GetBounds(&bounds, this) != Ok || !(bounds.Width > 0 && bounds.Height > 0))
        return false;
    const PaintSource paint(brush, map, State().origin);
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    DeviceClip clip, shape;
    if (!paint.Valid() || !target.Valid() || !ReadDeviceClip(&clip, target) ||
        !ReadRegionPixels(region, target, &shape))
        return false;
    ARGB colour = 0;
    const uint32_t solid = paint.Solid(&colour) ? EnginePremultiplied(colour) : 0;
    if (paint.Solid(&colour) && solid == 0) return true;  // a transparent colour changes nothing
    const Rect box = clip.Narrow(shape.Narrow(DeviceBox(bounds, map, target.Width(), target.Height())));
    PixelRuns inShape;
    for (INT y = box.Y; y < box.Y + box.Height; ++y) {
        shape.Runs(y, box.X, box.X + box.Width, &inShape);
        PaintWholeRuns(target, paint, solid, y, clip, &inShape);
    }
    return true;
}

}  // namespace Gdiplus
