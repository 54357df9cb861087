// Shape input the layer answers itself (ShapeInput.h).
#include "ShapeInput.h"

#include <vector>

namespace Gdiplus {

namespace {

bool AllFinite(std::initializer_list<REAL> values)
{
    for (REAL v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

bool FiniteBox(REAL x, REAL y, REAL width, REAL height) { return AllFinite({x, y, width, height}); }

ShapeInput RectangleInput(REAL x, REAL y, REAL width, REAL height)
{
    if (!FiniteBox(x, y, width, height)) return ShapeInput::Invalid;
    return width > 0 && height > 0 ? ShapeInput::Drawable : ShapeInput::Empty;
}

ShapeInput EllipseInput(REAL x, REAL y, REAL width, REAL height)
{
    if (!FiniteBox(x, y, width, height)) return ShapeInput::Invalid;
    return width != 0 && height != 0 ? ShapeInput::Drawable : ShapeInput::Empty;
}

ShapeInput ArcInput(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    const bool valid = AllFinite({x, y, width, height, startAngle, sweepAngle}) && width > 0 && height > 0;
    if (!valid) return ShapeInput::Invalid;
    return sweepAngle != 0 ? ShapeInput::Drawable : ShapeInput::Empty;
}

ShapeInput PathInput(const GraphicsPath* path)
{
    if (!path || !path->NativePath()) return ShapeInput::Invalid;
    const INT count = path->GetPointCount();
    if (count <= 0) return ShapeInput::Empty;
    std::vector<PointF> points(static_cast<size_t>(count));
    if (path->GetPathPoints(points.data(), count) != Ok) return ShapeInput::Invalid;
    return PointsInput(points.data(), count, 1);
}

bool UndrawableShape(bool contextValid, bool toolUsable, ShapeInput input, Status* answer)
{
    if (contextValid && toolUsable && input == ShapeInput::Drawable) return false;
    *answer = contextValid && toolUsable && input == ShapeInput::Empty ? Ok : InvalidParameter;
    return true;
}

}  // namespace Gdiplus
