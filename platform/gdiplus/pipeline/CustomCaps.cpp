// Custom caps as GDI+ draws them: the cap's path (an arrow's, or the fill or stroke path of a CustomLineCap) is scaled
// by the pen's width (and the cap's width scale), turned so that its y axis runs outwards along the line's last
// segment, and placed with its origin on the line's end; the line itself stops the cap's base inset (in pen widths)
// short of its end. An AdjustableArrowCap of height h and width w is the triangle (-w/2, -h), (0, 0), (w/2, -h), its
// back pushed towards the tip by the middle inset; outlined, the two sides alone. Its base inset is h / w: where the
// arrow is as wide as the pen, so that the line ends under the arrow.
#include "CustomCaps.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "AnchorCap.h"

namespace Gdiplus {

namespace {

struct CapDeleter {
    void operator()(DllExports::GpCustomLineCap* cap) const { DllExports::GdipDeleteCustomLineCap(cap); }
};
using CapHolder = std::unique_ptr<DllExports::GpCustomLineCap, CapDeleter>;

bool PlainCap(LineCap cap) { return cap <= LineCapTriangle; }

// The arrow's path in cap units.
void SetArrowPath(double height, double width, double middleInset, CustomCapShape* shape)
{
    const REAL h = static_cast<REAL>(height), half = static_cast<REAL>(width / 2);
    shape->points = {PointF(-half, -h), PointF(0, 0), PointF(half, -h)};
    shape->types = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine};
    if (!shape->filled) return;
    shape->points.push_back(PointF(0, static_cast<REAL>(-height + middleInset)));
    shape->types.push_back(PathPointTypeLine | PathPointTypeCloseSubpath);
}

bool ReadArrow(DllExports::GpCustomLineCap* cap, CustomCapShape* shape)
{
    auto* arrow = reinterpret_cast<DllExports::GpAdjustableArrowCap*>(cap);
    REAL height = 0, width = 0, middleInset = 0;
    BOOL filled = TRUE;
    if (DllExports::GdipGetAdjustableArrowCapHeight(arrow, &height) != Ok ||
        DllExports::GdipGetAdjustableArrowCapWidth(arrow, &width) != Ok ||
        DllExports::GdipGetAdjustableArrowCapMiddleInset(arrow, &middleInset) != Ok ||
        DllExports::GdipGetAdjustableArrowCapFillState(arrow, &filled) != Ok)
        return false;
    if (!std::isfinite(height) || !std::isfinite(width) || !std::isfinite(middleInset)) return false;
    shape->filled = filled != FALSE;
    SetArrowPath(height, width, middleInset, shape);
    shape->inset = width != 0 ? std::fabs(height / width) : 0.0;
    return true;
}

// A cap made from a path: the path as the pen keeps it, the base inset from the engine.
bool ReadPathCap(DllExports::GpCustomLineCap* cap, const CustomCapOutline* path, CustomCapShape* shape)
{
    REAL inset = 0;
    if (!path || path->points.size() != path->types.size() ||
        DllExports::GdipGetCustomLineCapBaseInset(cap, &inset) != Ok || !std::isfinite(inset))
        return false;
    shape->points = path->points;
    shape->types = path->types;
    shape->filled = path->filled;
    shape->inset = inset;
    return true;
}

bool ReadCap(DllExports::GpCustomLineCap* cap, const CustomCapOutline* path, CustomCapShape* shape)
{
    CustomLineCapType type = CustomLineCapTypeDefault;
    REAL scale = 1;
    LineCap startCap = LineCapFlat, endCap = LineCapFlat;
    if (!cap || DllExports::GdipGetCustomLineCapType(cap, &type) != Ok ||
        DllExports::GdipGetCustomLineCapWidthScale(cap, &scale) != Ok ||
        DllExports::GdipGetCustomLineCapBaseCap(cap, &shape->baseCap) != Ok ||
        DllExports::GdipGetCustomLineCapStrokeCaps(cap, &startCap, &endCap) != Ok ||
        DllExports::GdipGetCustomLineCapStrokeJoin(cap, &shape->strokeJoin) != Ok || !std::isfinite(scale) ||
        !(type == CustomLineCapTypeAdjustableArrow ? ReadArrow(cap, shape) : ReadPathCap(cap, path, shape)))
        return false;
    shape->scale = std::fabs(scale);
    if (!PlainCap(shape->baseCap)) shape->baseCap = LineCapFlat;
    shape->strokeCap = PlainCap(startCap) ? startCap : LineCapFlat;
    shape->present = true;
    return true;
}

bool ReadEnd(const Pen& pen, bool start, CustomCapShape* shape)
{
    DllExports::GpCustomLineCap* copy = nullptr;
    const Status status = start ? DllExports::GdipGetPenCustomStartCap(pen.NativePen(), &copy)
                                : DllExports::GdipGetPenCustomEndCap(pen.NativePen(), &copy);
    const CapHolder held(copy);
    return status == Ok && ReadCap(held.get(), pen.CustomCapPath(start), shape);
}

// The direction of the figure's last segment of some length, and that length; false when it has none.
bool LastDirection(const std::vector<PointF>& points, double* ux, double* uy)
{
    const PointF end = points.back();
    for (size_t i = points.size() - 1; i-- > 0;) {
        const double dx = double(end.X) - points[i].X, dy = double(end.Y) - points[i].Y;
        const double length = std::hypot(dx, dy);
        if (length > 0 && std::isfinite(length)) {
            *ux = dx / length;
            *uy = dy / length;
            return true;
        }
    }
    return false;
}

double Length(const std::vector<PointF>& points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += std::hypot(double(points[i].X) - points[i - 1].X, double(points[i].Y) - points[i - 1].Y);
    return length;
}

// The cap placed at the end of a figure whose last segment runs along (ux, uy): its figures filled, or
// stroked with the pen.
bool PlaceCap(const CustomCapShape& cap, const StrokeStyle& style, PointF end, double ux, double uy,
              std::vector<Polygon>* out)
{
    const double size = cap.scale * style.width;
    std::vector<PointF> placed = cap.points;
    for (PointF& p : placed) {
        const double x = p.X * size, y = p.Y * size;
        p = PointF(static_cast<REAL>(end.X + x * uy + y * ux), static_cast<REAL>(end.Y - x * ux + y * uy));
        // A cap too large for floats is not drawn by the layer.
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
    }
    std::vector<Polygon> flat;
    std::vector<bool> closed;
    if (!FlattenPath(placed.data(), cap.types.data(), static_cast<INT>(placed.size()), PointF(0, 0), &flat, &closed))
        return false;
    if (!cap.filled) {
        std::vector<StrokeFigure> figures(flat.size());
        for (size_t i = 0; i < flat.size(); ++i) figures[i] = StrokeFigure{std::move(flat[i]), closed[i]};
        StrokeStyle outline = style;
        outline.dashes.clear();
        outline.startCap = outline.endCap = cap.strokeCap;
        outline.join = cap.strokeJoin;
        return StrokeFigures(figures, outline, out);
    }
    // Filled by the winding rule, as GDI+ fills a cap; all figures turned together so that their sum turns
    // as the stroker's polygons do, and where they overlap the line the nonzero rule paints once.
    double area = 0;
    for (const Polygon& polygon : flat) area += SignedArea(polygon);
    for (Polygon& polygon : flat) {
        if (area < 0) std::reverse(polygon.begin(), polygon.end());
        out->push_back(std::move(polygon));
    }
    return true;
}

// The cap at the figure's last point, along the curve's exact tangent out of it when it has one, the
// figure shortened under it.
bool CapEnd(const CustomCapShape& cap, const StrokeStyle& style, double length, PointF tangent,
            std::vector<PointF>* points, std::vector<Polygon>* out)
{
    double ux = 0, uy = 0;
    if (!cap.present || !LastDirection(*points, &ux, &uy)) return true;
    if (tangent.X != 0 || tangent.Y != 0) {
        const PointF along = EndDirection(tangent, PointF(REAL(ux), REAL(uy)));
        ux = along.X, uy = along.Y;
    }
    if (!PlaceCap(cap, style, points->back(), ux, uy, out)) return false;
    TrimEnd(points, std::min(cap.inset * style.width, length / 2));
    return true;
}

}  // namespace

bool ReadCustomCaps(const Pen& pen, LineCap startCap, LineCap endCap, CustomCaps* caps)
{
    return (startCap != LineCapCustom || ReadEnd(pen, true, &caps->start)) &&
           (endCap != LineCapCustom || ReadEnd(pen, false, &caps->end));
}

bool AddCustomCaps(const CustomCaps& caps, const StrokeStyle& style, std::vector<StrokeFigure>* figures,
                   std::vector<Polygon>* out)
{
    const size_t before = out->size();
    for (StrokeFigure& figure : *figures) {
        if (figure.closed || figure.points.size() < 2) continue;
        const double length = Length(figure.points);
        if (!std::isfinite(length)) continue;
        std::vector<PointF>& points = figure.points;
        bool made = CapEnd(caps.end, style, length, figure.endTangent, &points, out);
        std::reverse(points.begin(), points.end());
        const PointF startOut(-figure.startTangent.X, -figure.startTangent.Y);  // the start's runs into it
        made = made && CapEnd(caps.start, style, length, startOut, &points, out);
        std::reverse(points.begin(), points.end());
        if (!made) {
            out->resize(before);
            return false;
        }
    }
    return true;
}

}  // namespace Gdiplus
