// Paths flattened, widened, warped and hit-tested by the layer: libgdiplus's Widen and Warp only flatten,
// and its hit tests look half a pixel to one side.
#include <algorithm>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "../pipeline/AnchorCap.h"
#include "../pipeline/Dash.h"
#include "PathExtraGeometry.h"

namespace Gdiplus {
namespace PathExtra {

namespace {

// A path beyond this many points (after flattening or widening) is refused with OutOfMemory, so that
// time and memory stay bounded.
const size_t kMaxPoints = size_t{1} << 24;
// At most this many segments stand for one Bézier.
const int kMaxBezierSegments = 1024;

BYTE Kind(BYTE type) { return type & PathPointTypePathTypeMask; }

PointF BezierAt(const PointF* p, double t)
{
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return PointF(static_cast<REAL>(a * p[0].X + b * p[1].X + c * p[2].X + d * p[3].X),
                  static_cast<REAL>(a * p[0].Y + b * p[1].Y + c * p[2].Y + d * p[3].Y));
}

double Distance(const PointF& a, const PointF& b) { return std::hypot(double(a.X) - b.X, double(a.Y) - b.Y); }

// Enough segments that the chords stay within flatness of the curve (the second difference bounds the
// distance), in powers of two as GDI+ halves its curves.
int SegmentsFor(const PointF* p, REAL flatness)
{
    const double dx = std::fmax(std::fabs(p[0].X - 2.0 * p[1].X + p[2].X), std::fabs(p[1].X - 2.0 * p[2].X + p[3].X));
    const double dy = std::fmax(std::fabs(p[0].Y - 2.0 * p[1].Y + p[2].Y), std::fabs(p[1].Y - 2.0 * p[2].Y + p[3].Y));
    const double bend = std::hypot(dx, dy) * 0.75;
    const double tolerance = std::fmax(static_cast<double>(flatness), 1e-3);
    int segments = 1;
    while (segments < kMaxBezierSegments && bend / (double(segments) * segments) > tolerance) segments *= 2;
    return std::isfinite(bend) ? segments : 1;
}

struct Edge {
    PointF a, b;
};

// The closed polygons of the flattened outline (every figure closed for filling).
std::vector<std::vector<PointF>> Polygons(const Outline& flat)
{
    std::vector<std::vector<PointF>> polygons;
    for (size_t i = 0; i < flat.points.size(); ++i) {
        if (Kind(flat.types[i]) == PathPointTypeStart || polygons.empty()) polygons.emplace_back();
        polygons.back().push_back(flat.points[i]);
    }
    return polygons;
}

PointF Offset(const PointF& p, double nx, double ny, double d)
{
    return PointF(static_cast<REAL>(p.X + nx * d), static_cast<REAL>(p.Y + ny * d));
}

struct Direction {
    double x, y;
};

Direction Along(const PointF& a, const PointF& b)
{
    const double len = Distance(a, b);
    return Direction{(b.X - a.X) / len, (b.Y - a.Y) / len};
}

// One side of a polyline at distance d to its left (d < 0: right), joined by miters within the limit and
// bevelled beyond it.
void AppendSide(std::vector<PointF>& out, const std::vector<PointF>& line, double d, double miterLimit, bool closed)
{
    const size_t n = line.size();
    for (size_t i = 0; i < n; ++i) {
        const bool hasPrev = closed || i > 0, hasNext = closed || i + 1 < n;
        const PointF& p = line[i];
        if (!hasPrev || !hasNext) {
            const Direction dir = hasNext ? Along(p, line[i + 1]) : Along(line[i - 1], p);
            out.push_back(Offset(p, -dir.y, dir.x, d));
            continue;
        }
        const Direction in = Along(line[(i + n - 1) % n], p), outDir = Along(p, line[(i + 1) % n]);
        const double mx = -in.y - outDir.y, my = in.x + outDir.x;
        const double cosHalf = std::hypot(mx, my) / 2.0;
        if (cosHalf > 1e-6 && 1.0 / cosHalf <= miterLimit) {
            // The miter point lies along the bisector, 1 / cos(half the turn) away.
            const double scale = d / (2.0 * cosHalf * cosHalf);
            out.emplace_back(static_cast<REAL>(p.X + mx * scale), static_cast<REAL>(p.Y + my * scale));
        } else {
            out.push_back(Offset(p, -in.y, in.x, d));
            out.push_back(Offset(p, -outDir.y, outDir.x, d));
        }
    }
}

struct Polyline {
    std::vector<PointF> points;
    bool closed = false;
};

// The figures of the flattened outline, without repeated points.
std::vector<Polyline> Figures(const Outline& flat)
{
    std::vector<Polyline> figures;
    for (size_t i = 0; i < flat.points.size(); ++i) {
        if (Kind(flat.types[i]) == PathPointTypeStart || figures.empty()) figures.emplace_back();
        Polyline& f = figures.back();
        if (f.points.empty() || Distance(f.points.back(), flat.points[i]) > 0) f.points.push_back(flat.points[i]);
        if (flat.types[i] & PathPointTypeCloseSubpath) f.closed = true;
    }
    for (Polyline& f : figures)
        if (f.closed && f.points.size() > 1 && Distance(f.points.front(), f.points.back()) == 0) f.points.pop_back();
    return figures;
}

void Add(Outline& o, const PointF& p, BYTE type)
{
    o.points.push_back(p);
    o.types.push_back(type);
}

// The cap at the end of a line arriving along dir at p (the outline is at p's right, going left).
void AppendCap(Outline& o, LineCap cap, const PointF& p, const Direction& dir, double half)
{
    const double nx = -dir.y, ny = dir.x;
    if (cap == LineCapTriangle) {
        Add(o, Offset(p, dir.x, dir.y, half), PathPointTypeLine);
    } else if (cap == LineCapRound) {
        const double k = half * 0.5522847498;
        const PointF tip = Offset(p, dir.x, dir.y, half);
        const PointF a = Offset(p, nx, ny, -half), b = Offset(p, nx, ny, half);
        Add(o, Offset(a, dir.x, dir.y, k), PathPointTypeBezier);
        Add(o, Offset(tip, nx, ny, -k), PathPointTypeBezier);
        Add(o, tip, PathPointTypeBezier);
        Add(o, Offset(tip, nx, ny, k), PathPointTypeBezier);
        Add(o, Offset(b, dir.x, dir.y, k), PathPointTypeBezier);
        Add(o, b, PathPointTypeBezier);
    }
}

void AppendPoints(Outline& o, const std::vector<PointF>& points, bool startFigure)
{
    for (size_t i = 0; i < points.size(); ++i)
        Add(o, points[i], startFigure && i == 0 ? BYTE(PathPointTypeStart) : BYTE(PathPointTypeLine));
}

void WidenOpen(Outline& o, std::vector<PointF> line, const Stroke& stroke, double half)
{
    const Direction first = Along(line[0], line[1]), last = Along(line[line.size() - 2], line.back());
    if (stroke.startCap == LineCapSquare) line.front() = Offset(line.front(), first.x, first.y, -half);
    if (stroke.endCap == LineCapSquare) line.back() = Offset(line.back(), last.x, last.y, half);
    std::vector<PointF> right, left;
    AppendSide(right, line, -half, stroke.miterLimit, false);
    std::reverse(line.begin(), line.end());
    AppendSide(left, line, -half, stroke.miterLimit, false);
    AppendPoints(o, right, true);
    AppendCap(o, stroke.endCap, line.front(), last, half);
    // A round cap ends on the first point of the other side.
    if (stroke.endCap == LineCapRound) left.erase(left.begin());
    AppendPoints(o, left, false);
    AppendCap(o, stroke.startCap, line.back(), Direction{-first.x, -first.y}, half);
    o.types.back() |= PathPointTypeCloseSubpath;
}

void WidenClosed(Outline& o, std::vector<PointF> ring, const Stroke& stroke, double half)
{
    std::vector<PointF> side;
    AppendSide(side, ring, -half, stroke.miterLimit, true);
    AppendPoints(o, side, true);
    o.types.back() |= PathPointTypeCloseSubpath;
    side.clear();
    std::reverse(ring.begin(), ring.end());
    AppendSide(side, ring, -half, stroke.miterLimit, true);
    AppendPoints(o, side, true);
    o.types.back() |= PathPointTypeCloseSubpath;
}

// One end of an open figure that carries an anchor or a custom cap: its point and the direction pointing
// out of the line there.
struct CapEnd {
    PointF at;
    Direction out;
    LineCap cap;
    const CustomCapShape* custom;
};

// A point of a cap figure: `forward` along the outward direction, `side` along its left normal.
PointF CapPoint(const CapEnd& end, double forward, double side)
{
    return PointF(static_cast<REAL>(end.at.X + end.out.x * forward - end.out.y * side),
                  static_cast<REAL>(end.at.Y + end.out.y * forward + end.out.x * side));
}

// The anchor around the line's end, as Windows lists it (pipeline/AnchorCap.h).
void AppendAnchor(Outline& o, const CapEnd& end, double size)
{
    const AnchorFigure anchor = AnchorShape(end.cap, size);
    for (size_t i = 0; i < anchor.points.size(); ++i)
        Add(o, CapPoint(end, anchor.points[i].forward, anchor.points[i].side), anchor.types[i]);
    if (!anchor.points.empty()) o.types.back() |= PathPointTypeCloseSubpath;
}

// A custom cap's path scaled by `size`, its y axis outwards and its x axis along the left normal (the
// order GDI+'s widened caps list their points in); an outlined cap is widened with the pen.
void AppendCustomCap(Outline& o, const CapEnd& end, double size, double half)
{
    const CustomCapShape& cap = *end.custom;
    Outline placed;
    for (size_t i = 0; i < cap.points.size(); ++i)
        Add(placed, CapPoint(end, cap.points[i].Y * size, cap.points[i].X * size), cap.types[i]);
    if (cap.filled) {
        o.points.insert(o.points.end(), placed.points.begin(), placed.points.end());
        o.types.insert(o.types.end(), placed.types.begin(), placed.types.end());
        return;
    }
    const Outline flat = FlattenOutline(placed, FlatnessDefault);
    Stroke outline;
    outline.width = static_cast<REAL>(2 * half);
    for (const Polyline& f : Figures(flat))
        if (f.points.size() > 1 && half > 0) WidenOpen(o, f.points, outline, half);
}

// Removes `length` from the polyline's start.
void TrimStart(std::vector<PointF>& points, double length)
{
    while (points.size() > 1 && length > 0) {
        const double d = Distance(points[0], points[1]);
        if (d > length) {
            const double t = length / d;
            points[0] = PointF(static_cast<REAL>(points[0].X + (points[1].X - points[0].X) * t),
                               static_cast<REAL>(points[0].Y + (points[1].Y - points[0].Y) * t));
            return;
        }
        length -= d;
        points.erase(points.begin());
    }
}

double PolylineLength(const std::vector<PointF>& points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i) length += Distance(points[i - 1], points[i]);
    return length;
}

// How far the line stops short of an end under its cap: an arrow anchor by the pen's width, a custom cap
// by its base inset (at most half the line either way).
double CapInset(const CapEnd& end, double width, double length)
{
    const double inset = end.custom ? end.custom->inset * width : AnchorInset(end.cap, width);
    return std::min(inset, length / 2);
}

const CustomCapShape* CustomShape(const CustomCapShape& shape, LineCap cap)
{
    return cap == LineCapCustom && shape.present ? &shape : nullptr;
}

// Collects the capped ends of the open figures and shortens the figures under arrows and custom caps.
std::vector<CapEnd> TakeCapEnds(std::vector<Polyline>& figures, const Stroke& stroke)
{
    std::vector<CapEnd> ends;
    const CustomCapShape* startCustom = CustomShape(stroke.custom.start, stroke.startCap);
    const CustomCapShape* endCustom = CustomShape(stroke.custom.end, stroke.endCap);
    const bool startCapped = IsAnchorCap(stroke.startCap) || startCustom;
    const bool endCapped = IsAnchorCap(stroke.endCap) || endCustom;
    if (!startCapped && !endCapped) return ends;
    for (Polyline& f : figures) {
        if (f.closed || f.points.size() < 2) continue;
        std::vector<PointF>& p = f.points;
        const Direction first = Along(p[0], p[1]), last = Along(p[p.size() - 2], p.back());
        const CapEnd start{p.front(), Direction{-first.x, -first.y}, stroke.startCap, startCustom};
        const CapEnd end{p.back(), last, stroke.endCap, endCustom};
        const double length = PolylineLength(p);
        if (endCapped) TrimEnd(&p, CapInset(end, stroke.width, length));
        if (startCapped) TrimStart(p, CapInset(start, stroke.width, length));
        if (startCapped) ends.push_back(start);
        if (endCapped) ends.push_back(end);
    }
    return ends;
}

}  // namespace

Stroke StrokeOf(const Pen& pen)
{
    Stroke stroke;
    DllExports::GpPen* native = pen.NativePen();
    DllExports::GdipGetPenWidth(native, &stroke.width);
    DllExports::GdipGetPenStartCap(native, &stroke.startCap);
    DllExports::GdipGetPenEndCap(native, &stroke.endCap);
    DllExports::GdipGetPenMiterLimit(native, &stroke.miterLimit);
    DashStyle style = DashStyleSolid;
    DllExports::GdipGetPenDashStyle(native, &style);
    INT count = 0;
    if (style != DashStyleSolid && DllExports::GdipGetPenDashCount(native, &count) == Ok && count > 0 && count <= 64) {
        stroke.dashes.resize(static_cast<size_t>(count));
        if (DllExports::GdipGetPenDashArray(native, stroke.dashes.data(), count) != Ok) stroke.dashes.clear();
        DllExports::GdipGetPenDashOffset(native, &stroke.dashOffset);
    }
    // A cap that cannot be read is widened flat.
    if (!ReadCustomCaps(pen, stroke.startCap, stroke.endCap, &stroke.custom)) stroke.custom = CustomCaps{};
    return stroke;
}

Outline WidenOutline(const Outline& flat, const Stroke& stroke)
{
    Outline o;
    const double half = stroke.width / 2.0;
    if (!std::isfinite(half)) return o;
    std::vector<Polyline> figures = Figures(flat);
    const std::vector<CapEnd> capEnds = TakeCapEnds(figures, stroke);
    if (!stroke.dashes.empty()) {
        // Dashes are multiples of the width, and of a unit at least (as GDI+ keeps thin dashes visible).
        std::vector<double> lengths;
        double total = 0;
        const double unit = std::fmax(double(stroke.width), 1.0);
        for (REAL dash : stroke.dashes) {
            lengths.push_back(std::fmax(double(dash), 0.0) * unit);
            total += lengths.back();
        }
        if (!(total > 0)) return o;
        // Cut as the drawing stroker cuts them (pipeline/Dash.cpp), the pattern moved back by the offset.
        std::vector<DashPiece> pieces;
        for (const Polyline& f : figures)
            if (f.points.size() > 1 &&
                !CutDashes(StrokeFigure{f.points, f.closed}, lengths, stroke.dashOffset * unit, kMaxPoints, &pieces))
                return Outline{};
        figures.clear();
        for (DashPiece& piece : pieces) figures.push_back(Polyline{std::move(piece.points), false});
    }
    for (const Polyline& f : figures) {
        // A pen of no width widens the lines to nothing (their anchors stay).
        if (f.points.size() < 2 || !(half > 0)) continue;
        if (f.closed && f.points.size() > 2)
            WidenClosed(o, f.points, stroke, half);
        else
            WidenOpen(o, f.points, stroke, half);
        if (o.points.size() > kMaxPoints) return Outline{};
    }
    // The caps follow all the lines, figure by figure, start before end.
    const double capSize = AnchorSize(stroke.width);
    for (const CapEnd& end : capEnds) {
        if (end.custom)
            AppendCustomCap(o, end, capSize * end.custom->scale, half);
        else
            AppendAnchor(o, end, capSize);
        if (o.points.size() > kMaxPoints) return Outline{};
    }
    return o;
}

Outline ReadPath(const GraphicsPath& path)
{
    Outline outline;
    const INT count = path.GetPointCount();
    if (count <= 0) return outline;
    outline.points.resize(static_cast<size_t>(count));
    outline.types.resize(static_cast<size_t>(count));
    if (path.GetPathPoints(outline.points.data(), count) != Ok || path.GetPathTypes(outline.types.data(), count) != Ok)
        return Outline{};
    return outline;
}

Outline FlattenOutline(const Outline& outline, REAL flatness)
{
    Outline flat;
    const size_t n = outline.points.size();
    for (size_t i = 0; i < n; ++i) {
        const BYTE type = outline.types[i];
        if (Kind(type) != PathPointTypeBezier || i == 0 || i + 2 >= n) {
            flat.points.push_back(outline.points[i]);
            flat.types.push_back(Kind(type) == PathPointTypeBezier ? BYTE(PathPointTypeLine | (type & 0xF8)) : type);
        } else {
            const PointF* p = &outline.points[i - 1];
            const int segments = SegmentsFor(p, flatness);
            for (int s = 1; s <= segments; ++s) {
                flat.points.push_back(s == segments ? p[3] : BezierAt(p, double(s) / segments));
                flat.types.push_back(s == segments ? BYTE(PathPointTypeLine | (outline.types[i + 2] & 0xF8))
                                                   : BYTE(PathPointTypeLine));
            }
            i += 2;
        }
        if (flat.points.size() > kMaxPoints) return Outline{};
    }
    return flat;
}

bool Inside(const Outline& flat, REAL x, REAL y, bool winding)
{
    int crossings = 0;
    for (const std::vector<PointF>& polygon : Polygons(flat)) {
        for (size_t i = 0; i < polygon.size(); ++i) {
            const PointF& a = polygon[i];
            const PointF& b = polygon[(i + 1) % polygon.size()];
            // Half-open in y, so that a vertex on the ray counts once; a point on a left or top edge is in.
            const bool up = a.Y <= y && y < b.Y, down = b.Y <= y && y < a.Y;
            if (!up && !down) continue;
            const double cross = a.X + (double(y) - a.Y) * (double(b.X) - a.X) / (double(b.Y) - a.Y);
            if (x < cross) crossings += up ? 1 : -1;
        }
    }
    return winding ? crossings != 0 : (crossings & 1) != 0;
}

void MapPoints(std::vector<PointF>& points, const REAL* m)
{
    for (PointF& p : points) {
        const REAL x = p.X, y = p.Y;
        p.X = m[0] * x + m[2] * y + m[4];
        p.Y = m[1] * x + m[3] * y + m[5];
    }
}

}  // namespace PathExtra
}  // namespace Gdiplus

namespace Gdiplus {

namespace {

using PathExtra::Outline;

// The matrix's six elements, the identity when there is none.
void ElementsOf(const Matrix* matrix, REAL* m)
{
    const REAL identity[6] = {1, 0, 0, 1, 0, 0};
    std::copy(identity, identity + 6, m);
    if (matrix) matrix->GetElements(m);
}

// How many device pixels one unit of the page is.
REAL PixelsPerUnit(Unit unit, REAL dpi)
{
    switch (unit) {
    case UnitPoint:
        return dpi / 72.0f;
    case UnitInch:
        return dpi;
    case UnitDocument:
        return dpi / 300.0f;
    case UnitMillimeter:
        return dpi / 25.4f;
    default:
        return 1.0f;
    }
}

// World to device: the world transform, then the page's unit and scale.
void DeviceElements(const Graphics* g, REAL* m)
{
    ElementsOf(nullptr, m);
    if (!g) return;
    Matrix world;
    g->GetTransform(&world);
    world.GetElements(m);
    const REAL scale = PixelsPerUnit(g->GetPageUnit(), g->GetDpiX()) * g->GetPageScale();
    for (int i = 0; i < 6; ++i) m[i] *= scale;
}

// A pen measured in world units widens the path before the matrix maps it; any other, after.
Outline Widened(const Outline& path, const Pen& pen, const REAL* m, REAL flatness, bool hitTest)
{
    PathExtra::Stroke stroke = PathExtra::StrokeOf(pen);
    Unit unit = UnitWorld;
    DllExports::GdipGetPenUnit(pen.NativePen(), &unit);
    const bool world = unit == UnitWorld;
    // A pen of no width strokes a unit wide in world units and a device pixel when drawn; GDI+ widens
    // it to nothing in pixels.
    if (stroke.width <= 0) stroke.width = world || hitTest ? 1.0f : 0.0f;
    Outline outline = path;
    if (!world) PathExtra::MapPoints(outline.points, m);
    outline = PathExtra::WidenOutline(PathExtra::FlattenOutline(outline, flatness), stroke);
    if (world) PathExtra::MapPoints(outline.points, m);
    return outline;
}

}  // namespace

Status GraphicsPath::Flatten(const Matrix* matrix, REAL flatness)
{
    Outline outline = PathExtra::ReadPath(*this);
    if (outline.points.empty()) return Ok;
    REAL m[6];
    ElementsOf(matrix, m);
    PathExtra::MapPoints(outline.points, m);
    const Outline flat = PathExtra::FlattenOutline(outline, flatness);
    if (flat.points.empty()) return SetStatus(OutOfMemory);
    return ReplaceWith(flat.points, flat.types);
}

Status GraphicsPath::Widen(const Pen* pen, const Matrix* matrix, REAL flatness)
{
    if (!pen) return SetStatus(InvalidParameter);
    const Outline outline = PathExtra::ReadPath(*this);
    // As GDI+ answers for a path of one point or none.
    if (outline.points.size() <= 1) return SetStatus(OutOfMemory);
    REAL m[6];
    ElementsOf(matrix, m);
    const Outline widened = Widened(outline, *pen, m, flatness, false);
    return ReplaceWith(widened.points, widened.types);
}

Status GraphicsPath::Warp(const PointF* destPoints, INT count, const RectF& srcRect, const Matrix* matrix,
                          WarpMode warpMode, REAL flatness)
{
    if (!destPoints || (count != 3 && count != 4) || !(srcRect.Width != 0) || !(srcRect.Height != 0))
        return SetStatus(InvalidParameter);
    if (warpMode != WarpModePerspective && warpMode != WarpModeBilinear) return SetStatus(InvalidParameter);
    Outline outline = PathExtra::ReadPath(*this);
    if (outline.points.empty()) return Ok;
    REAL m[6];
    ElementsOf(matrix, m);
    PathExtra::MapPoints(outline.points, m);
    Outline flat = PathExtra::FlattenOutline(outline, flatness);
    if (flat.points.empty()) return SetStatus(OutOfMemory);
    const PointF a = destPoints[0], b = destPoints[1], c = destPoints[2];
    const PointF d = count == 4 ? destPoints[3] : PointF(b.X + c.X - a.X, b.Y + c.Y - a.Y);
    // The unit square onto a, b, d, c (clockwise): a projective map, affine when the sides are parallel.
    const double sx = double(a.X) - b.X + d.X - c.X, sy = double(a.Y) - b.Y + d.Y - c.Y;
    const double dx1 = double(b.X) - d.X, dx2 = double(c.X) - d.X, dy1 = double(b.Y) - d.Y, dy2 = double(c.Y) - d.Y;
    const double den = dx1 * dy2 - dx2 * dy1;
    const bool perspective = warpMode == WarpModePerspective && (sx != 0 || sy != 0) && den != 0;
    const double g = perspective ? (sx * dy2 - dx2 * sy) / den : 0, h = perspective ? (dx1 * sy - sx * dy1) / den : 0;
    for (PointF& p : flat.points) {
        const double u = (p.X - srcRect.X) / srcRect.Width, v = (p.Y - srcRect.Y) / srcRect.Height;
        if (warpMode == WarpModeBilinear || !perspective) {
            const double w0 = (1 - u) * (1 - v), w1 = u * (1 - v), w2 = (1 - u) * v, w3 = u * v;
            p.X = static_cast<REAL>(w0 * a.X + w1 * b.X + w2 * c.X + w3 * d.X);
            p.Y = static_cast<REAL>(w0 * a.Y + w1 * b.Y + w2 * c.Y + w3 * d.Y);
            continue;
        }
        const double q = g * u + h * v + 1;
        p.X = static_cast<REAL>(((b.X - a.X + g * b.X) * u + (c.X - a.X + h * c.X) * v + a.X) / q);
        p.Y = static_cast<REAL>(((b.Y - a.Y + g * b.Y) * u + (c.Y - a.Y + h * c.Y) * v + a.Y) / q);
    }
    return ReplaceWith(flat.points, flat.types);
}

// Neither the clip nor the transform of the graphics changes what is inside the path, as in GDI+.
BOOL GraphicsPath::IsVisible(REAL x, REAL y, const Graphics*) const
{
    const Outline flat = PathExtra::FlattenOutline(PathExtra::ReadPath(*this), FlatnessDefault);
    return PathExtra::Inside(flat, x, y, GetFillMode() == FillModeWinding) ? TRUE : FALSE;
}

BOOL GraphicsPath::IsVisible(const PointF& point, const Graphics* g) const { return IsVisible(point.X, point.Y, g); }

BOOL GraphicsPath::IsVisible(INT x, INT y, const Graphics* g) const
{
    return IsVisible(static_cast<REAL>(x), static_cast<REAL>(y), g);
}

BOOL GraphicsPath::IsVisible(const Point& point, const Graphics* g) const { return IsVisible(point.X, point.Y, g); }

// The stroke is measured on the device of the graphics (a pen in pixels stays as wide whatever the
// transform), and the point is taken there too.
BOOL GraphicsPath::IsOutlineVisible(REAL x, REAL y, const Pen* pen, const Graphics* g) const
{
    if (!pen) {
        SetStatus(InvalidParameter);
        return FALSE;
    }
    REAL m[6];
    DeviceElements(g, m);
    const Outline widened = Widened(PathExtra::ReadPath(*this), *pen, m, FlatnessDefault, true);
    std::vector<PointF> point{PointF(x, y)};
    PathExtra::MapPoints(point, m);
    const Outline flat = PathExtra::FlattenOutline(widened, FlatnessDefault);
    return PathExtra::Inside(flat, point[0].X, point[0].Y, true) ? TRUE : FALSE;
}

BOOL GraphicsPath::IsOutlineVisible(const PointF& point, const Pen* pen, const Graphics* g) const
{
    return IsOutlineVisible(point.X, point.Y, pen, g);
}

BOOL GraphicsPath::IsOutlineVisible(INT x, INT y, const Pen* pen, const Graphics* g) const
{
    return IsOutlineVisible(static_cast<REAL>(x), static_cast<REAL>(y), pen, g);
}

BOOL GraphicsPath::IsOutlineVisible(const Point& point, const Pen* pen, const Graphics* g) const
{
    return IsOutlineVisible(point.X, point.Y, pen, g);
}

}  // namespace Gdiplus
