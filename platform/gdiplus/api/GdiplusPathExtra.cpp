// Paths: construction from points and types, whole-path operations, markers, path data; arcs, pies
// and ellipses built as GDI+ builds them; the path iterator.
#include <algorithm>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "PathExtraGeometry.h"

namespace Gdiplus {

namespace {

const double kPi = 3.14159265358979323846;

double Radians(double degrees) { return degrees * kPi / 180.0; }

// The ellipse's parameter (in degrees) of the point seen at the given angle from its centre, in the
// same turn as that angle, so that pieces keep their direction.
double ParameterAt(double angle, double rx, double ry)
{
    const double a = Radians(angle);
    const double t = std::atan2(rx * std::sin(a), ry * std::cos(a)) * 180.0 / kPi;
    return t + 360.0 * std::round((angle - t) / 360.0);
}

struct Ellipse {
    double cx, cy, rx, ry;
    PointF At(double t) const
    {
        const double r = Radians(t);
        return PointF(static_cast<REAL>(cx + rx * std::cos(r)), static_cast<REAL>(cy + ry * std::sin(r)));
    }
};

// One cubic from parameter t1 to t2 (at most a quarter turn apart): three points after the first.
void AppendPiece(std::vector<PointF>& points, const Ellipse& e, double t1, double t2)
{
    const double k = 4.0 / 3.0 * std::tan(Radians(t2 - t1) / 4.0);
    const double r1 = Radians(t1), r2 = Radians(t2);
    const PointF p0 = e.At(t1), p3 = e.At(t2);
    points.emplace_back(static_cast<REAL>(p0.X - k * e.rx * std::sin(r1)),
                        static_cast<REAL>(p0.Y + k * e.ry * std::cos(r1)));
    points.emplace_back(static_cast<REAL>(p3.X + k * e.rx * std::sin(r2)),
                        static_cast<REAL>(p3.Y - k * e.ry * std::cos(r2)));
    points.push_back(p3);
}

// GDI+ cuts an arc into quarter turns of the ellipse's parameter, counted from where the arc starts (the
// last piece takes what is left); the angles given are where the ends are seen from the centre.
std::vector<PointF> ArcPoints(const Ellipse& e, double startAngle, double sweepAngle)
{
    const double t1 = ParameterAt(startAngle, e.rx, e.ry), t2 = ParameterAt(startAngle + sweepAngle, e.rx, e.ry);
    const double step = sweepAngle > 0 ? 90.0 : -90.0;
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(t2 - t1) / 90.0 - 1e-9)));
    std::vector<PointF> points{e.At(t1)};
    for (int i = 0; i < pieces; ++i) {
        const double a = t1 + i * step;
        AppendPiece(points, e, a, i + 1 == pieces ? t2 : a + step);
    }
    return points;
}

Ellipse EllipseIn(REAL x, REAL y, REAL width, REAL height)
{
    return Ellipse{x + width / 2.0, y + height / 2.0, width / 2.0, height / 2.0};
}

bool Usable(REAL v) { return std::isfinite(v); }

}  // namespace

GraphicsPath::GraphicsPath(const PointF* points, const BYTE* types, INT count, FillMode fillMode)
{
    if (SetStatus(DllExports::GdipCreatePath2(points, types, count, fillMode, &nativePath)) != Ok) {
        nativePath = nullptr;
        DllExports::GdipCreatePath(fillMode, &nativePath);
    }
}

GraphicsPath::GraphicsPath(const Point* points, const BYTE* types, INT count, FillMode fillMode)
{
    std::vector<PointF> real;
    if (points && count > 0) {
        real.reserve(static_cast<size_t>(count));
        for (INT i = 0; i < count; ++i)
            real.emplace_back(static_cast<REAL>(points[i].X), static_cast<REAL>(points[i].Y));
    }
    if (SetStatus(DllExports::GdipCreatePath2(points ? real.data() : nullptr, types, count, fillMode, &nativePath)) !=
        Ok) {
        nativePath = nullptr;
        DllExports::GdipCreatePath(fillMode, &nativePath);
    }
}

Status GraphicsPath::ReplaceWith(const std::vector<PointF>& points, const std::vector<BYTE>& types)
{
    const FillMode mode = GetFillMode();
    DllExports::GpPath* replacement = nullptr;
    const Status status = points.empty()
                              ? DllExports::GdipCreatePath(mode, &replacement)
                              : DllExports::GdipCreatePath2(points.data(), types.data(),
                                                            static_cast<INT>(points.size()), mode, &replacement);
    if (status != Ok) return SetStatus(status);
    DllExports::GdipDeletePath(nativePath);
    nativePath = replacement;
    return Ok;
}

// Arcs, pies and ellipses are built here: libgdiplus cuts arcs beyond a quarter turn at other angles
// and runs ellipses the other way round.
Status GraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (!nativePath) return SetStatus(InvalidParameter);
    if (!(width > 0) || !(height > 0) || !Usable(x) || !Usable(y) || !Usable(startAngle) || !Usable(sweepAngle))
        return SetStatus(InvalidParameter);
    if (sweepAngle == 0) return Ok;
    const bool wholeTurn = std::fabs(sweepAngle) >= 360.0f;
    if (wholeTurn) sweepAngle = sweepAngle > 0 ? 360.0f : -360.0f;
    const std::vector<PointF> points = ArcPoints(EllipseIn(x, y, width, height), startAngle, sweepAngle);
    const Status status = DllExports::GdipAddPathBeziers(nativePath, points.data(), static_cast<INT>(points.size()));
    if (status == Ok && wholeTurn) return SetStatus(DllExports::GdipClosePathFigure(nativePath));
    return SetStatus(status);
}

Status GraphicsPath::AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    return AddArc(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width), static_cast<REAL>(height),
                  startAngle, sweepAngle);
}

// From the right-hand end of the ellipse downwards (clockwise on the screen), in four quarter turns.
Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height)
{
    if (!nativePath) return SetStatus(InvalidParameter);
    if (!Usable(x) || !Usable(y) || !Usable(width) || !Usable(height)) return SetStatus(InvalidParameter);
    const Ellipse e = EllipseIn(x, y, width, height);
    std::vector<PointF> points{e.At(0)};
    for (int quarter = 0; quarter < 4; ++quarter) AppendPiece(points, e, quarter * 90.0, quarter * 90.0 + 90.0);
    Status status = DllExports::GdipStartPathFigure(nativePath);
    if (status == Ok) status = DllExports::GdipAddPathBeziers(nativePath, points.data(), 13);
    if (status == Ok) status = DllExports::GdipClosePathFigure(nativePath);
    return SetStatus(status);
}

Status GraphicsPath::AddEllipse(INT x, INT y, INT width, INT height)
{
    return AddEllipse(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width), static_cast<REAL>(height));
}

Status GraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (!nativePath) return SetStatus(InvalidParameter);
    const Ellipse e = EllipseIn(x, y, width, height);
    if (!(width > 0) || !(height > 0) || !Usable(x) || !Usable(y) || !Usable(startAngle) || !Usable(sweepAngle))
        return SetStatus(InvalidParameter);
    sweepAngle = std::fmax(-360.0f, std::fmin(360.0f, sweepAngle));
    Status status = DllExports::GdipStartPathFigure(nativePath);
    const PointF centre(static_cast<REAL>(e.cx), static_cast<REAL>(e.cy));
    if (status == Ok) status = DllExports::GdipAddPathLine2(nativePath, &centre, 1);
    if (status == Ok && sweepAngle != 0) {
        const std::vector<PointF> points = ArcPoints(e, startAngle, sweepAngle);
        status = DllExports::GdipAddPathBeziers(nativePath, points.data(), static_cast<INT>(points.size()));
    }
    if (status == Ok) status = DllExports::GdipClosePathFigure(nativePath);
    return SetStatus(status);
}

Status GraphicsPath::AddPath(const GraphicsPath* addingPath, BOOL connect)
{
    if (!addingPath) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipAddPathPath(nativePath, addingPath->nativePath, connect));
}

Status GraphicsPath::Reverse() { return SetStatus(DllExports::GdipReversePath(nativePath)); }
Status GraphicsPath::SetMarker() { return SetStatus(DllExports::GdipSetPathMarker(nativePath)); }
Status GraphicsPath::ClearMarkers() { return SetStatus(DllExports::GdipClearPathMarkers(nativePath)); }

Status GraphicsPath::GetLastPoint(PointF* lastPoint) const
{
    if (!lastPoint || GetPointCount() == 0) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipGetPathLastPoint(nativePath, lastPoint));
}

Status GraphicsPath::GetPathData(PathData* pathData) const
{
    if (!pathData) return SetStatus(InvalidParameter);
    PathExtra::Outline outline = PathExtra::ReadPath(*this);
    delete[] pathData->Points;
    delete[] pathData->Types;
    pathData->Points = nullptr;
    pathData->Types = nullptr;
    pathData->Count = 0;
    if (outline.points.empty()) return Ok;
    const size_t count = outline.points.size();
    pathData->Points = new (std::nothrow) PointF[count];
    pathData->Types = new (std::nothrow) BYTE[count];
    if (!pathData->Points || !pathData->Types) {
        delete[] pathData->Points;
        delete[] pathData->Types;
        pathData->Points = nullptr;
        pathData->Types = nullptr;
        return SetStatus(OutOfMemory);
    }
    std::copy(outline.points.begin(), outline.points.end(), pathData->Points);
    std::copy(outline.types.begin(), outline.types.end(), pathData->Types);
    pathData->Count = static_cast<INT>(count);
    return Ok;
}

FillMode GraphicsPath::GetFillMode() const
{
    FillMode mode = FillModeAlternate;
    SetStatus(DllExports::GdipGetPathFillMode(nativePath, &mode));
    return mode;
}

Status GraphicsPath::SetFillMode(FillMode fillMode)
{
    return SetStatus(DllExports::GdipSetPathFillMode(nativePath, fillMode));
}

GraphicsPathIterator::GraphicsPathIterator(const GraphicsPath* path)
{
    SetStatus(DllExports::GdipCreatePathIter(&nativeIterator, path ? path->NativePath() : nullptr));
}

GraphicsPathIterator::~GraphicsPathIterator()
{
    if (nativeIterator) DllExports::GdipDeletePathIter(nativeIterator);
}

INT GraphicsPathIterator::NextSubpath(INT* startIndex, INT* endIndex, BOOL* isClosed)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterNextSubpath(nativeIterator, &result, startIndex, endIndex, isClosed));
    return result;
}

INT GraphicsPathIterator::NextSubpath(GraphicsPath* path, BOOL* isClosed)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterNextSubpathPath(nativeIterator, &result, path ? path->NativePath() : nullptr,
                                                      isClosed));
    return result;
}

INT GraphicsPathIterator::NextPathType(BYTE* pathType, INT* startIndex, INT* endIndex)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterNextPathType(nativeIterator, &result, pathType, startIndex, endIndex));
    return result;
}

INT GraphicsPathIterator::NextMarker(INT* startIndex, INT* endIndex)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterNextMarker(nativeIterator, &result, startIndex, endIndex));
    return result;
}

INT GraphicsPathIterator::NextMarker(GraphicsPath* path)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterNextMarkerPath(nativeIterator, &result, path ? path->NativePath() : nullptr));
    return result;
}

INT GraphicsPathIterator::GetCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipPathIterGetCount(nativeIterator, &count));
    return count;
}

INT GraphicsPathIterator::GetSubpathCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipPathIterGetSubpathCount(nativeIterator, &count));
    return count;
}

BOOL GraphicsPathIterator::HasCurve() const
{
    BOOL curve = FALSE;
    SetStatus(DllExports::GdipPathIterHasCurve(nativeIterator, &curve));
    return curve;
}

void GraphicsPathIterator::Rewind() { SetStatus(DllExports::GdipPathIterRewind(nativeIterator)); }

INT GraphicsPathIterator::Enumerate(PointF* points, BYTE* types, INT count)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterEnumerate(nativeIterator, &result, points, types, count));
    return result;
}

INT GraphicsPathIterator::CopyData(PointF* points, BYTE* types, INT startIndex, INT endIndex)
{
    INT result = 0;
    SetStatus(DllExports::GdipPathIterCopyData(nativeIterator, &result, points, types, startIndex, endIndex));
    return result;
}

}  // namespace Gdiplus
