// Pens read for the stroker, and the outline carried to the device. The stroke is built in world units
// and mapped whole, so that a transform that stretches or shears widens the pen as it does the figure;
// a pen thinner than a device pixel is stroked on the device a pixel wide, as GDI+ draws it.
#include "StrokePen.h"

#include <cmath>
#include <iterator>

#include "CompoundStroke.h"
#include "CustomCaps.h"
#include "Stroke.h"
#include "ThinLine.h"

namespace Gdiplus {

namespace {

// How far a flattened curve, or a round join's lines, may stray on the device, in pixels.
const double kFlatness = 0.1;
// Polygons an outline makes room for at once.
const size_t kPolygonsAtOnce = 8;
// Dash patterns longer than this are left to the engine.
const INT kMostDashValues = 64;

struct PenShape {
    StrokeStyle style;
    Unit unit = UnitWorld;
    bool inset = false;
    std::vector<double> bands;  ///< the compound array; empty for a plain pen
    CustomCaps custom;
};

bool DrawableCap(LineCap cap)
{
    return cap <= LineCapTriangle || (cap >= LineCapNoAnchor && cap <= LineCapArrowAnchor) || cap == LineCapCustom;
}

bool ReadDashes(DllExports::GpPen* native, StrokeStyle* style)
{
    DashStyle dash = DashStyleSolid;
    if (DllExports::GdipGetPenDashStyle(native, &dash) != Ok) return false;
    if (dash == DashStyleSolid) return true;
    INT count = 0;
    REAL offset = 0;
    DashCap cap = DashCapFlat;
    if (DllExports::GdipGetPenDashCount(native, &count) != Ok || count <= 0 || count > kMostDashValues ||
        DllExports::GdipGetPenDashOffset(native, &offset) != Ok ||
        DllExports::GdipGetPenDashCap197819(native, &cap) != Ok)
        return false;
    std::vector<REAL> values(static_cast<size_t>(count));
    if (DllExports::GdipGetPenDashArray(native, values.data(), count) != Ok) return false;
    style->dashes.assign(values.begin(), values.end());
    style->dashOffset = offset;
    style->dashCap = cap;
    return true;
}

// Compound arrays longer than this are left to the engine.
const INT kMostCompoundValues = 64;

bool ReadCompound(DllExports::GpPen* native, std::vector<double>* bands)
{
    INT count = -1;
    if (DllExports::GdipGetPenCompoundCount(native, &count) != Ok || count < 0 || count > kMostCompoundValues ||
        count % 2)
        return false;
    std::vector<REAL> values(static_cast<size_t>(count));
    if (count > 0 && DllExports::GdipGetPenCompoundArray(native, values.data(), count) != Ok) return false;
    bands->assign(values.begin(), values.end());
    return true;
}

bool ReadPen(const Pen* pen, PenShape* shape, ARGB* colour)
{
    DllExports::GpPen* native = pen ? pen->NativePen() : nullptr;
    if (!native) return false;
    PenType type = PenTypeUnknown;
    PenAlignment alignment = PenAlignmentCenter;
    REAL width = 0, miterLimit = 0;
    Matrix transform;
    StrokeStyle& style = shape->style;
    if (DllExports::GdipGetPenFillType(native, &type) != Ok || type == PenTypeUnknown ||
        DllExports::GdipGetPenMode(native, &alignment) != Ok || !ReadCompound(native, &shape->bands) ||
        DllExports::GdipGetPenStartCap(native, &style.startCap) != Ok || !DrawableCap(style.startCap) ||
        DllExports::GdipGetPenEndCap(native, &style.endCap) != Ok || !DrawableCap(style.endCap) ||
        DllExports::GdipGetPenTransform(native, transform.NativeMatrix()) != Ok || !transform.IsIdentity() ||
        DllExports::GdipGetPenUnit(native, &shape->unit) != Ok ||
        (shape->unit != UnitWorld && shape->unit != UnitPixel) ||
        // The engine has a colour only for a pen of one colour; others are painted by their brush.
        (type == PenTypeSolidColor && DllExports::GdipGetPenColor(native, colour) != Ok) ||
        DllExports::GdipGetPenWidth(native, &width) != Ok ||
        DllExports::GdipGetPenLineJoin(native, &style.join) != Ok ||
        DllExports::GdipGetPenMiterLimit(native, &miterLimit) != Ok || !ReadDashes(native, &style) ||
        !ReadCustomCaps(*pen, style.startCap, style.endCap, &shape->custom))
        return false;
    // The line's own ends under custom caps take the caps' base caps.
    if (shape->custom.start.present) style.startCap = shape->custom.start.baseCap;
    if (shape->custom.end.present) style.endCap = shape->custom.end.baseCap;
    style.width = width;
    style.miterLimit = miterLimit;
    shape->inset = alignment == PenAlignmentInset;
    return std::isfinite(style.width) && style.width >= 0;
}

// The largest factor by which the map stretches a length.
double LargestStretch(const DeviceMap& map)
{
    const double sum = map.m11 * map.m11 + map.m12 * map.m12 + map.m21 * map.m21 + map.m22 * map.m22;
    const double determinant = map.m11 * map.m22 - map.m12 * map.m21;
    return std::sqrt((sum + std::sqrt(std::max(sum * sum - 4 * determinant * determinant, 0.0))) / 2);
}

// The figures carried back from the device to world units through the map's inverse (their end tangents,
// being directions, without the move).
void ToWorld(const DeviceMap& map, std::vector<StrokeFigure>* figures)
{
    const double determinant = map.m11 * map.m22 - map.m12 * map.m21;
    const auto back = [&](double x, double y) {
        return PointF(static_cast<REAL>((x * map.m22 - y * map.m21) / determinant),
                      static_cast<REAL>((y * map.m11 - x * map.m12) / determinant));
    };
    for (StrokeFigure& figure : *figures) {
        for (PointF& p : figure.points) p = back(p.X - map.dx, p.Y - map.dy);
        figure.startTangent = back(figure.startTangent.X, figure.startTangent.Y);
        figure.endTangent = back(figure.endTangent.X, figure.endTangent.Y);
    }
}

// The direction from `end` to the first of `near` that is not `end` itself, (0, 0) when none is; turned
// round when `arriving` (the direction then runs from that point to `end`).
PointF Towards(PointF end, std::initializer_list<PointF> near, bool arriving)
{
    const float sense = arriving ? -1.0f : 1.0f;
    for (const PointF& p : near)
        if (p.X != end.X || p.Y != end.Y) return PointF((p.X - end.X) * sense, (p.Y - end.Y) * sense);
    return PointF(0, 0);
}

bool IsBezier(BYTE type) { return (type & PathPointTypePathTypeMask) == PathPointTypeBezier; }

// The exact tangents where an open figure begins or ends with a Bézier: the derivative of the cubic at its
// end, which points to the nearest control point that is not the end point itself (the flattened lines
// only come near that direction). The figures are FlattenPath's, one for each start in the types.
void SetCurveTangents(const PointF* points, const BYTE* types, INT count, std::vector<StrokeFigure>* figures)
{
    size_t figure = 0;
    for (INT from = 0; from < count && figure < figures->size();) {
        INT to = from + 1;
        while (to < count && (types[to] & PathPointTypePathTypeMask) != PathPointTypeStart) ++to;
        StrokeFigure& f = (*figures)[figure++];
        if (!f.closed && to - from >= 4) {
            const PointF* p = points + from;
            const INT last = to - from - 1;
            if (IsBezier(types[from + 1])) f.startTangent = Towards(p[0], {p[1], p[2], p[3]}, false);
            if (IsBezier(types[to - 1])) f.endTangent = Towards(p[last], {p[last - 1], p[last - 2], p[last - 3]}, true);
        }
        from = to;
    }
}

// The polygons from index `from` on carried to the device (when `mapped`) and moved by the offset.
void ToDeviceAndOffset(const DeviceMap& map, bool mapped, PointF offset, std::vector<Polygon>* polygons,
                       size_t from = 0)
{
    for (size_t i = from; i < polygons->size(); ++i)
        for (PointF& p : (*polygons)[i]) {
            if (mapped) p = map.Apply(p);
            p.X += offset.X;
            p.Y += offset.Y;
        }
}

bool HasAnchor(const StrokeStyle& style) { return style.startCap > LineCapTriangle || style.endCap > LineCapTriangle; }

// GDI+ draws an aliased pen no wider than a device pixel one pixel across, its dashes measured in pixels;
// the small caps of such a pen fall inside that pixel.
bool AliasedThinLines(const std::vector<StrokeFigure>& figures, const StrokeStyle& style, PointF offset,
                      std::vector<Polygon>* outline)
{
    std::vector<double> pattern;
    for (double dash : style.dashes) pattern.push_back(std::fabs(dash));
    std::vector<Polygon> lines;
    if (!ThinLines(figures, pattern, style.dashOffset, &lines)) return false;
    ToDeviceAndOffset(DeviceMap{}, false, offset, &lines);
    outline->insert(outline->end(), lines.begin(), lines.end());
    return true;
}

}  // namespace

// Closed figures with a solid, mitred pen under a map that scales all directions alike: the band between
// the outline moved out and moved in by half the width, two polygons a figure, the common case of
// outlined shapes and far fewer edges for the coverage stage than the general stroker's pieces. False,
// having added nothing, where that does not hold (a miter past its limit, an inner side folding over).
bool MitredBands(const std::vector<StrokeFigure>& figures, const StrokeStyle& style, const DeviceMap& map,
                 double deviceWidth, PointF offset, std::vector<Polygon>* outline)
{
    if (figures.empty() || !style.dashes.empty() || style.join != LineJoinMiter) return false;
    if (!map.IsIdentity() && !(map.UniformScale() > 0)) return false;
    std::vector<Polygon> band;
    for (const StrokeFigure& figure : figures)
        if (!figure.closed || !CentredStroke(figure.points, REAL(deviceWidth), REAL(style.miterLimit), &band))
            return false;
    for (Polygon& polygon : band)
        for (PointF& p : polygon) p = PointF(p.X + offset.X, p.Y + offset.Y);
    outline->insert(outline->end(), std::make_move_iterator(band.begin()), std::make_move_iterator(band.end()));
    return true;
}

// The polygons the pen covers along the figures, appended (in the stroker's units) to `polygons`: custom caps,
// then the compound, inset or plain stroke.
static bool StrokeInto(std::vector<StrokeFigure>& figures, const PenShape& shape, const StrokeStyle& style, bool inset,
                       bool compound, bool onDevice, const DeviceMap& map, std::vector<Polygon>* polygons)
{
    if (!inset && shape.custom.Any() && !AddCustomCaps(shape.custom, style, &figures, polygons)) return false;
    if (compound) {
        // Stroked on a device the map mirrors, the figures' left is the world's right.
        const double sense = onDevice && map.m11 * map.m22 - map.m12 * map.m21 < 0 ? -1.0 : 1.0;
        return CompoundStroke(figures, style, shape.bands, sense, polygons);
    }
    return inset ? InsetBand(figures, style.width, style.join, style.miterLimit, style.tolerance, polygons)
                 : StrokeFigures(figures, style, polygons);
}

static bool OutlineOfPen(const Pen* pen, const DeviceMap& map, const PointF* points, const BYTE* types, INT count,
                         PointF offset, std::vector<Polygon>* outline, ARGB* colour, bool aliased)
{
    PenShape shape;
    if (!ReadPen(pen, &shape, colour)) return false;
    // Flattened on the device, where the flatness is measured.
    const std::vector<PointF> device = ToDevice(map, points, count);
    std::vector<Polygon> flat;
    std::vector<bool> closed;
    if (!FlattenPath(device.data(), types, count, PointF(0, 0), &flat, &closed)) return false;
    std::vector<StrokeFigure> figures(flat.size());
    bool allClosed = true;
    for (size_t i = 0; i < flat.size(); ++i) {
        figures[i].points = std::move(flat[i]);
        figures[i].closed = closed[i];
        allClosed = allClosed && closed[i];
    }
    SetCurveTangents(device.data(), types, count, &figures);
    StrokeStyle& style = shape.style;
    const double stretch = map.IsIdentity() ? 1.0 : LargestStretch(map);
    const bool world = shape.unit == UnitWorld;
    const double deviceWidth = world ? style.width * stretch : style.width;
    // Thinner than a pixel, or measured in pixels: stroked on the device.
    const bool onDevice = !world || deviceWidth < 1.0 || map.IsIdentity();
    if (aliased && deviceWidth <= 1.0 && !HasAnchor(style) && !shape.custom.Any())
        return AliasedThinLines(figures, style, offset, outline);
    if (deviceWidth < 1.0) style.width = 1.0;
    // A compound pen thinner than a pixel is the one-pixel line.
    const bool compound = !shape.bands.empty() && deviceWidth >= 1.0;
    // The engine refuses a pen both compound and inset (GDI+ draws no compound inset lines); should one
    // come, it is left alone.
    if (compound && shape.inset) return false;
    if (!compound && !(shape.inset && allClosed) &&
        MitredBands(figures, style, map, onDevice ? style.width : deviceWidth, offset, outline))
        return true;
    if (!onDevice) {
        ToWorld(map, &figures);
        style.tolerance = kFlatness / stretch;
    }
    const bool inset = shape.inset && allClosed && !figures.empty() && deviceWidth >= 1.0;
    if (inset && !style.dashes.empty()) return false;
    // Stroked straight into the outline, room made for a few polygons (a dashed line's dashes) at once.
    const size_t before = outline->size();
    outline->reserve(before + kPolygonsAtOnce);
    if (!StrokeInto(figures, shape, style, inset, compound, onDevice, map, outline)) {
        outline->resize(before);
        return false;
    }
    ToDeviceAndOffset(map, !onDevice, offset, outline, before);
    return true;
}

// GDI+ rasterises on a grid of sixteenths of a pixel: an aliased outline's points are put on it, so that a
// point that lands on a pixel's centre line lands there along every route (a whole-pixel move, a stroke
// worked in world units or on the device), and the centre rule takes the same pixels.
static void SnapToSixteenths(std::vector<Polygon>* polygons, size_t from)
{
    // Floats from 2^19 on are sixteenths already (and far larger ones would overflow).
    const auto snap = [](REAL v) { return std::fabs(v) < 524288.0f ? std::nearbyint(v * 16.0f) / 16.0f : v; };
    for (size_t i = from; i < polygons->size(); ++i)
        for (PointF& p : (*polygons)[i]) p = PointF(snap(p.X), snap(p.Y));
}

bool PenOutline(const Pen* pen, const DeviceMap& map, const PointF* points, const BYTE* types, INT count, PointF offset,
                std::vector<Polygon>* outline, ARGB* colour, bool aliased)
{
    const size_t before = outline->size();
    if (!OutlineOfPen(pen, map, points, types, count, offset, outline, colour, aliased)) return false;
    if (aliased) SnapToSixteenths(outline, before);
    return true;
}

}  // namespace Gdiplus
