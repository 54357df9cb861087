// The context's state as the layer's drawing reads it, kept between drawings. Every member that changes the
// engine's smoothing, pixel offset, rendering origin, interpolation mode, text rendering hint, world
// transform, page or clip marks it unknown
// (StateChanged); members that change the engine's state for a moment and put it back leave it as it is.
#include <algorithm>
#include <cmath>
#include <limits>

#include "../Gdiplus.h"

namespace Gdiplus {

const Graphics::LayerState& Graphics::State() const
{
    if (layerState.known || !nativeGraphics) return layerState;
    LayerState read;
    DllExports::GdipGetSmoothingMode(nativeGraphics, &read.smoothing);
    DllExports::GdipGetPixelOffsetMode(nativeGraphics, &read.pixelOffset);
    DllExports::GdipGetRenderingOrigin(nativeGraphics, &read.origin.X, &read.origin.Y);
    DllExports::GdipGetDpiX(nativeGraphics, &read.dpiX);
    DllExports::GdipGetInterpolationMode(nativeGraphics, &read.interpolation);
    DllExports::GdipGetTextRenderingHint(nativeGraphics, &read.textHint);
    Matrix world;
    if (DllExports::GdipGetWorldTransform(nativeGraphics, world.NativeMatrix()) != Ok ||
        world.GetElements(read.world) != Ok)
        std::fill_n(read.world, 6, std::numeric_limits<REAL>::quiet_NaN());  // no map can be made of it
    // The engine reports an unclipped context as bounded by a huge rectangle.
    RectF clip;
    read.unclipped = DllExports::GdipGetClipBounds(nativeGraphics, &clip) == Ok && clip.Width >= 4e6f &&
                     clip.Height >= 4e6f;
    read.known = true;
    layerState = read;
    return layerState;
}

}  // namespace Gdiplus
