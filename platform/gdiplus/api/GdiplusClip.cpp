// Graphics: clipping, and saving and restoring the drawing state.
#include <algorithm>

#include "../Gdiplus.h"

namespace Gdiplus {

// libgdiplus clips to a rectangle of negative width or height as if its sides were swapped, so drawing
// goes on inside it; to GDI+ such a rectangle holds no area, and the clip is combined with nothing.
Status Graphics::SetClip(const Rect& rect, CombineMode combineMode)
{
    if (rect.Width < 0 || rect.Height < 0) return SetClipToNoArea(combineMode);
    return KeptInContainer(
        SetStatus(DllExports::GdipSetClipRectI(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode)));
}

Status Graphics::SetClip(const RectF& rect, CombineMode combineMode)
{
    if (rect.Width < 0 || rect.Height < 0) return SetClipToNoArea(combineMode);
    return KeptInContainer(
        SetStatus(DllExports::GdipSetClipRect(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode)));
}

Status Graphics::SetClip(const GraphicsPath* path, CombineMode combineMode)
{
    return KeptInContainer(
        SetStatus(DllExports::GdipSetClipPath(nativeGraphics, path ? path->NativePath() : nullptr, combineMode)));
}

Status Graphics::SetClipToNoArea(CombineMode combineMode)
{
    Region nothing;
    nothing.MakeEmpty();
    return SetClip(&nothing, combineMode);
}

Status Graphics::ResetClip() { return KeptInContainer(SetStatus(DllExports::GdipResetClip(nativeGraphics))); }

Status Graphics::GetClipBounds(RectF* rect) const
{
    return SetStatus(DllExports::GdipGetClipBounds(nativeGraphics, rect));
}

// The engine restores its own page unit, scale and transform; the page scale the layer applies for pixel
// units is part of that transform, so the layer's record of it goes back with them.
GraphicsState Graphics::Save()
{
    GraphicsState state = 0;
    if (SetStatus(DllExports::GdipSaveGraphics(nativeGraphics, &state)) == Ok)
        savedPages.push_back({state, pageUnit, pageScale, appliedPageScale});
    return state;
}

// libgdiplus restores any state number it is given, one another context saved or one already restored
// past included, from slots that were never filled (and crashes); GDI+ ignores a state the context does
// not hold. Only states this context saved and still holds reach the engine.
Status Graphics::Restore(GraphicsState state)
{
    auto saved = std::find_if(savedPages.begin(), savedPages.end(),
                              [state](const SavedPage& page) { return page.state == state; });
    if (saved == savedPages.end()) return SetStatus(Ok);
    StateChanged();
    Status status = SetStatus(DllExports::GdipRestoreGraphics(nativeGraphics, state));
    if (status != Ok) return status;
    pageUnit = saved->unit;
    pageScale = saved->scale;
    appliedPageScale = saved->applied;
    savedPages.erase(saved, savedPages.end());
    ForgetContainersFrom(state);
    return status;
}

}  // namespace Gdiplus
