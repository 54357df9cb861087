// Graphics: joined lines, arcs, Béziers, cardinal splines, pies, real-valued polygons and compositing quality.
#include <vector>

#include "../Gdiplus.h"
#include "../pipeline/ShapeInput.h"

namespace Gdiplus {

namespace {

const REAL kDefaultTension = 0.5f;

DllExports::GpPen* NativeOf(const Pen* pen) { return pen ? pen->NativePen() : nullptr; }
DllExports::GpBrush* NativeOf(const Brush* brush) { return brush ? brush->NativeBrush() : nullptr; }

}  // namespace

CompositingMode Graphics::GetCompositingMode() const
{
    CompositingMode mode = CompositingModeSourceOver;
    SetStatus(DllExports::GdipGetCompositingMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetCompositingQuality(CompositingQuality quality)
{
    return SetStatus(DllExports::GdipSetCompositingQuality(nativeGraphics, quality));
}

CompositingQuality Graphics::GetCompositingQuality() const
{
    CompositingQuality quality = CompositingQualityInvalid;
    SetStatus(DllExports::GdipGetCompositingQuality(nativeGraphics, &quality));
    return quality;
}

Status Graphics::DrawLines(const Pen* pen, const Point* points, INT count)
{
    if (DrawLinesAntialiased(pen, points, count, false)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 2), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawLinesI(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, INT count)
{
    if (DrawLinesAntialiased(pen, points, count, false)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 2), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawLines(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawArc(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddArc(x, y, width, height, startAngle, sweepAngle); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen),
                        ArcInput(REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipDrawArcI(nativeGraphics, NativeOf(pen), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddArc(x, y, width, height, startAngle, sweepAngle); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen),
                        ArcInput(REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipDrawArc(nativeGraphics, NativeOf(pen), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::DrawArc(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle)
{
    return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::DrawBezier(const Pen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4)
{
    const Point ends[] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddBezier(x1, y1, x2, y2, x3, y3, x4, y4); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(ends, 4, 4), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawBezierI(nativeGraphics, NativeOf(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

Status Graphics::DrawBezier(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    const PointF ends[] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddBezier(x1, y1, x2, y2, x3, y3, x4, y4); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(ends, 4, 4), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawBezier(nativeGraphics, NativeOf(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

Status Graphics::DrawBezier(const Pen* pen, const Point& pt1, const Point& pt2, const Point& pt3, const Point& pt4)
{
    return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status Graphics::DrawBezier(const Pen* pen, const PointF& pt1, const PointF& pt2, const PointF& pt3,
                            const PointF& pt4)
{
    return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status Graphics::DrawBeziers(const Pen* pen, const Point* points, INT count)
{
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddBeziers(points, count); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawBeziersI(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawBeziers(const Pen* pen, const PointF* points, INT count)
{
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddBeziers(points, count); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipDrawBeziers(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawCurve(const Pen* pen, const Point* points, INT count)
{
    return DrawCurve(pen, points, count, kDefaultTension);
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, INT count)
{
    return DrawCurve(pen, points, count, kDefaultTension);
}

Status Graphics::DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension)
{
    return DrawCurve(pen, points, count, 0, count - 1, tension);
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension)
{
    return DrawCurve(pen, points, count, 0, count - 1, tension);
}

Status Graphics::DrawCurve(const Pen* pen, const Point* points, INT count, INT offset, INT numberOfSegments,
                           REAL tension)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddCurve(points, count, offset, numberOfSegments, tension); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipDrawCurve3I(nativeGraphics, NativeOf(pen), points, count, offset, numberOfSegments, tension));
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, INT count, INT offset, INT numberOfSegments,
                           REAL tension)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddCurve(points, count, offset, numberOfSegments, tension); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipDrawCurve3(nativeGraphics, NativeOf(pen), points, count, offset, numberOfSegments, tension));
}

Status Graphics::DrawClosedCurve(const Pen* pen, const Point* points, INT count)
{
    return DrawClosedCurve(pen, points, count, kDefaultTension);
}

Status Graphics::DrawClosedCurve(const Pen* pen, const PointF* points, INT count)
{
    return DrawClosedCurve(pen, points, count, kDefaultTension);
}

Status Graphics::DrawClosedCurve(const Pen* pen, const Point* points, INT count, REAL tension)
{
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddClosedCurve(points, count, tension); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddClosedCurve(points, count, tension));
    }
    return SetStatus(DllExports::GdipDrawClosedCurve2I(nativeGraphics, NativeOf(pen), points, count, tension));
}

Status Graphics::DrawClosedCurve(const Pen* pen, const PointF* points, INT count, REAL tension)
{
    if (DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddClosedCurve(points, count, tension); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 1), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddClosedCurve(points, count, tension));
    }
    return SetStatus(DllExports::GdipDrawClosedCurve2(nativeGraphics, NativeOf(pen), points, count, tension));
}

Status Graphics::DrawPie(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddPie(x, y, width, height, startAngle, sweepAngle); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen),
                        ArcInput(REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddPie(x, y, width, height, startAngle, sweepAngle));
    }
    return SetStatus(
        DllExports::GdipDrawPieI(nativeGraphics, NativeOf(pen), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::DrawPie(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (DrawShapeAntialiased(
            pen, [&](GraphicsPath& shape) { return shape.AddPie(x, y, width, height, startAngle, sweepAngle); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen),
                        ArcInput(REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddPie(x, y, width, height, startAngle, sweepAngle));
    }
    return SetStatus(
        DllExports::GdipDrawPie(nativeGraphics, NativeOf(pen), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::DrawPie(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle)
{
    return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode)
{
    if (FillPolygonAntialiased(brush, points, count, fillMode)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), AreaInput(points, count), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipFillPolygon(nativeGraphics, NativeOf(brush), points, count, fillMode));
}

Status Graphics::FillClosedCurve(const Brush* brush, const Point* points, INT count)
{
    return FillClosedCurve(brush, points, count, FillModeAlternate, kDefaultTension);
}

Status Graphics::FillClosedCurve(const Brush* brush, const PointF* points, INT count)
{
    return FillClosedCurve(brush, points, count, FillModeAlternate, kDefaultTension);
}

Status Graphics::FillClosedCurve(const Brush* brush, const Point* points, INT count, FillMode fillMode, REAL tension)
{
    if (!points || count <= 0) return SetStatus(InvalidParameter);
    std::vector<PointF> exact;
    for (INT i = 0; i < count; ++i) exact.emplace_back(REAL(points[i].X), REAL(points[i].Y));
    return FillClosedCurve(brush, exact.data(), count, fillMode, tension);
}

Status Graphics::FillClosedCurve(const Brush* brush, const PointF* points, INT count, FillMode fillMode, REAL tension)
{
    // The curve is filled as a path, so it takes the layer's fills as every other figure.
    if (points && count >= 3) {
        GraphicsPath curve(fillMode);
        if (curve.AddClosedCurve(points, count, tension) == Ok && FillPathAntialiased(brush, &curve))
            return SetStatus(Ok);
    }
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), AreaInput(points, count), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipFillClosedCurve2(nativeGraphics, NativeOf(brush), points, count, tension, fillMode));
}

Status Graphics::FillPie(const Brush* brush, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    if (FillPieAntialiased(brush, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush),
                        ArcInput(REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipFillPieI(nativeGraphics, NativeOf(brush), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::FillPie(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                         REAL sweepAngle)
{
    if (FillPieAntialiased(brush, x, y, width, height, startAngle, sweepAngle)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush),
                        ArcInput(x, y, width, height, startAngle, sweepAngle), &answer))
        return SetStatus(answer);
    return SetStatus(
        DllExports::GdipFillPie(nativeGraphics, NativeOf(brush), x, y, width, height, startAngle, sweepAngle));
}

Status Graphics::FillPie(const Brush* brush, const Rect& rect, REAL startAngle, REAL sweepAngle)
{
    return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

}  // namespace Gdiplus
