// Paths: lines, Béziers, cardinal splines, rectangles, ellipses, pies and polygons; transforms and bounds.
// Matrices: shears, products, inverses and mapped points.
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

const REAL kDefaultTension = 0.5f;

}  // namespace

Status GraphicsPath::AddLine(const PointF& pt1, const PointF& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }

Status GraphicsPath::AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

// libgdiplus takes lines through no points as done; GDI+ refuses them.
Status GraphicsPath::AddLines(const Point* points, INT count)
{
    if (!points || count <= 0) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipAddPathLine2I(nativePath, points, count));
}

Status GraphicsPath::AddLines(const PointF* points, INT count)
{
    if (!points || count <= 0) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipAddPathLine2(nativePath, points, count));
}

Status GraphicsPath::AddBezier(INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4)
{
    return SetStatus(DllExports::GdipAddPathBezierI(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status GraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    return SetStatus(DllExports::GdipAddPathBezier(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status GraphicsPath::AddBezier(const Point& pt1, const Point& pt2, const Point& pt3, const Point& pt4)
{
    return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status GraphicsPath::AddBezier(const PointF& pt1, const PointF& pt2, const PointF& pt3, const PointF& pt4)
{
    return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status GraphicsPath::AddBeziers(const Point* points, INT count)
{
    return SetStatus(DllExports::GdipAddPathBeziersI(nativePath, points, count));
}

Status GraphicsPath::AddBeziers(const PointF* points, INT count)
{
    return SetStatus(DllExports::GdipAddPathBeziers(nativePath, points, count));
}

Status GraphicsPath::AddCurve(const Point* points, INT count) { return AddCurve(points, count, kDefaultTension); }
Status GraphicsPath::AddCurve(const PointF* points, INT count) { return AddCurve(points, count, kDefaultTension); }

Status GraphicsPath::AddCurve(const Point* points, INT count, REAL tension)
{
    return AddCurve(points, count, 0, count - 1, tension);
}

Status GraphicsPath::AddCurve(const PointF* points, INT count, REAL tension)
{
    return AddCurve(points, count, 0, count - 1, tension);
}

Status GraphicsPath::AddCurve(const Point* points, INT count, INT offset, INT numberOfSegments, REAL tension)
{
    return SetStatus(DllExports::GdipAddPathCurve3I(nativePath, points, count, offset, numberOfSegments, tension));
}

Status GraphicsPath::AddCurve(const PointF* points, INT count, INT offset, INT numberOfSegments, REAL tension)
{
    return SetStatus(DllExports::GdipAddPathCurve3(nativePath, points, count, offset, numberOfSegments, tension));
}

Status GraphicsPath::AddClosedCurve(const Point* points, INT count)
{
    return AddClosedCurve(points, count, kDefaultTension);
}

Status GraphicsPath::AddClosedCurve(const PointF* points, INT count)
{
    return AddClosedCurve(points, count, kDefaultTension);
}

Status GraphicsPath::AddClosedCurve(const Point* points, INT count, REAL tension)
{
    return SetStatus(DllExports::GdipAddPathClosedCurve2I(nativePath, points, count, tension));
}

Status GraphicsPath::AddClosedCurve(const PointF* points, INT count, REAL tension)
{
    return SetStatus(DllExports::GdipAddPathClosedCurve2(nativePath, points, count, tension));
}

Status GraphicsPath::AddRectangle(const RectF& rect)
{
    return SetStatus(DllExports::GdipAddPathRectangle(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

Status GraphicsPath::AddRectangles(const Rect* rects, INT count)
{
    return SetStatus(DllExports::GdipAddPathRectanglesI(nativePath, rects, count));
}

Status GraphicsPath::AddRectangles(const RectF* rects, INT count)
{
    return SetStatus(DllExports::GdipAddPathRectangles(nativePath, rects, count));
}

Status GraphicsPath::AddEllipse(const Rect& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }
Status GraphicsPath::AddEllipse(const RectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }

Status GraphicsPath::AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    return AddPie(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width), static_cast<REAL>(height),
                  startAngle, sweepAngle);
}

Status GraphicsPath::AddPie(const Rect& rect, REAL startAngle, REAL sweepAngle)
{
    return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status GraphicsPath::AddPie(const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status GraphicsPath::AddPolygon(const PointF* points, INT count)
{
    return SetStatus(DllExports::GdipAddPathPolygon(nativePath, points, count));
}

Status GraphicsPath::GetPathPoints(Point* points, INT count) const
{
    return SetStatus(DllExports::GdipGetPathPointsI(nativePath, points, count));
}

Status GraphicsPath::Transform(const Matrix* matrix)
{
    // GDI+ takes a missing matrix as nothing to do.
    if (!matrix) return Ok;
    return SetStatus(DllExports::GdipTransformPath(nativePath, matrix->NativeMatrix()));
}

bool GraphicsPath::AllFiguresClosed() const
{
    const INT count = GetPointCount();
    if (count <= 0) return false;
    std::vector<BYTE> types(static_cast<size_t>(count));
    if (GetPathTypes(types.data(), count) != Ok) return false;
    for (INT i = 0; i < count; ++i) {
        const bool figureEnds = i + 1 == count || (types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart;
        if (figureEnds && !(types[i] & PathPointTypeCloseSubpath)) return false;
    }
    return true;
}

Status Matrix::Shear(REAL shearX, REAL shearY, MatrixOrder order)
{
    return SetStatus(DllExports::GdipShearMatrix(nativeMatrix, shearX, shearY, order));
}

Status Matrix::RotateAt(REAL angle, const PointF& center, MatrixOrder order)
{
    if (order == MatrixOrderPrepend) {
        Translate(center.X, center.Y, order);
        Rotate(angle, order);
        return Translate(-center.X, -center.Y, order);
    }
    Translate(-center.X, -center.Y, order);
    Rotate(angle, order);
    return Translate(center.X, center.Y, order);
}

Status Matrix::Multiply(const Matrix* matrix, MatrixOrder order)
{
    return SetStatus(DllExports::GdipMultiplyMatrix(nativeMatrix, matrix ? matrix->NativeMatrix() : nullptr, order));
}

Status Matrix::Invert() { return SetStatus(DllExports::GdipInvertMatrix(nativeMatrix)); }

BOOL Matrix::IsInvertible() const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsMatrixInvertible(nativeMatrix, &result));
    return result;
}

Status Matrix::Reset() { return SetElements(1, 0, 0, 1, 0, 0); }

Status Matrix::TransformPoints(PointF* points, INT count) const
{
    return SetStatus(DllExports::GdipTransformMatrixPoints(nativeMatrix, points, count));
}

Status Matrix::TransformPoints(Point* points, INT count) const
{
    return SetStatus(DllExports::GdipTransformMatrixPointsI(nativeMatrix, points, count));
}

}  // namespace Gdiplus
