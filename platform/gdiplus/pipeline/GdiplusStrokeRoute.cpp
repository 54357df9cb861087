// Outlines drawn by the layer's stroker (Stroke.cpp through DrawAntialiased), anti-aliased or by the
// aliased centre rule: lines, polygons and every shape a path can hold, with a pen of any brush. The
// context is checked first, so that drawing the engine keeps (other page units) builds nothing.
#include <vector>

#include "../Gdiplus.h"
#include "DeviceFigure.h"

namespace Gdiplus {

namespace {

std::vector<BYTE> LineTypes(INT count, bool closed)
{
    std::vector<BYTE> types(static_cast<size_t>(count), PathPointTypeLine);
    types.front() = PathPointTypeStart;
    if (closed) types.back() |= PathPointTypeCloseSubpath;
    return types;
}

}  // namespace

bool Graphics::DrawLinesAntialiased(const Pen* pen, const PointF* points, INT count, bool closed)
{
    DeviceMap map;
    if (!points || count < 2 || !AntialiasedDeviceMap(&map)) return false;
    return DrawAntialiased(pen, map, points, LineTypes(count, closed).data(), count);
}

bool Graphics::DrawLinesAntialiased(const Pen* pen, const Point* points, INT count, bool closed)
{
    DeviceMap map;
    if (!points || count < 2 || !AntialiasedDeviceMap(&map)) return false;
    std::vector<PointF> real(static_cast<size_t>(count));
    for (INT i = 0; i < count; ++i) real[size_t(i)] = PointF(REAL(points[i].X), REAL(points[i].Y));
    return DrawAntialiased(pen, map, real.data(), LineTypes(count, closed).data(), count);
}

bool Graphics::DrawShapeAntialiased(const Pen* pen, const std::function<Status(GraphicsPath&)>& build)
{
    DeviceMap map;
    if (!AntialiasedDeviceMap(&map)) return false;
    GraphicsPath shape;
    if (build(shape) != Ok) return false;
    const INT count = shape.GetPointCount();
    if (count <= 0) return false;
    std::vector<PointF> points(static_cast<size_t>(count));
    std::vector<BYTE> types(static_cast<size_t>(count));
    return shape.GetPathPoints(points.data(), count) == Ok && shape.GetPathTypes(types.data(), count) == Ok &&
           DrawAntialiased(pen, map, points.data(), types.data(), count);
}

}  // namespace Gdiplus
