// Path gradient brushes, and the rectangle constructors, colours, blends and transform of linear gradients.
// Blends are checked here before the engine copies them: it allocates for whatever count it is given and
// takes positions that are not numbers.
#include <algorithm>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "RoundedRect.h"

namespace Gdiplus {

namespace {

// A blend longer than this is refused with OutOfMemory rather than copied (4 MiB a table).
const INT kMaxBlendCount = 1 << 20;

bool AllFinite(const REAL* values, INT count)
{
    for (INT i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

// Ok when the engine may copy the blend; positions and factors must all be numbers.
Status CheckBlend(const void* values, const REAL* positions, INT count)
{
    if (!values || !positions || count <= 0) return InvalidParameter;
    if (count > kMaxBlendCount) return OutOfMemory;
    return AllFinite(positions, count) ? Ok : InvalidParameter;
}

std::vector<ARGB> ArgbOf(const Color* colors, INT count)
{
    std::vector<ARGB> values(static_cast<size_t>(count));
    for (INT i = 0; i < count; ++i) values[i] = colors[i].GetValue();
    return values;
}

void CopyColors(const std::vector<ARGB>& values, Color* colors, INT count)
{
    for (INT i = 0; i < count && i < INT(values.size()); ++i) colors[i] = Color(values[i]);
}

DllExports::GpBrush* AsBrush(void* brush) { return reinterpret_cast<DllExports::GpBrush*>(brush); }

// The gradient line of a rectangle's gradient at angle degrees clockwise from the x axis: from the corner
// first reached along that direction to the point level with the last. When the angle is scalable it is
// taken in the rectangle stretched to a square, as GDI+ takes it.
void AngleLine(const RectF& rect, REAL angle, bool scalable, PointF* from, PointF* to)
{
    const double radians = double(angle) * M_PI / 180.0;
    double direction = radians;
    if (scalable)
        direction = std::atan2(double(rect.Width) * std::sin(radians), double(rect.Height) * std::cos(radians));
    const double ux = std::cos(direction), uy = std::sin(direction);
    const PointF corners[] = {{rect.X, rect.Y},
                              {rect.X + rect.Width, rect.Y},
                              {rect.X, rect.Y + rect.Height},
                              {rect.X + rect.Width, rect.Y + rect.Height}};
    double nearest = 0, farthest = 0;
    for (size_t i = 0; i < 4; ++i) {
        const double along = corners[i].X * ux + corners[i].Y * uy;
        if (i == 0 || along < nearest) nearest = along, *from = corners[i];
        if (i == 0 || along > farthest) farthest = along;
    }
    const double length = farthest - nearest;
    *to = PointF(REAL(from->X + ux * length), REAL(from->Y + uy * length));
}

REAL ModeAngle(LinearGradientMode mode)
{
    switch (mode) {
    case LinearGradientModeVertical:
        return 90.0f;
    case LinearGradientModeForwardDiagonal:
        return 45.0f;
    case LinearGradientModeBackwardDiagonal:
        return 135.0f;
    default:
        return 0.0f;
    }
}

// Applies the change to the brush transform the layer keeps for its own fills.
template <class Change> void ChangeKept(REAL (&kept)[6], Change&& change)
{
    Matrix matrix(kept[0], kept[1], kept[2], kept[3], kept[4], kept[5]);
    change(matrix);
    matrix.GetElements(kept);
}

}  // namespace

// ---- PathGradientBrush ----

namespace {

// A polygon's outline: one closed figure through the points.
PathGradientBrush::Outline PolygonOutline(const PointF* points, INT count)
{
    PathGradientBrush::Outline outline;
    if (!points || count < 3) return outline;
    outline.points.assign(points, points + count);
    outline.types.assign(size_t(count), BYTE(PathPointTypeLine));
    outline.types.front() = PathPointTypeStart;
    outline.types.back() |= PathPointTypeCloseSubpath;
    return outline;
}

}  // namespace

PathGradientBrush::PathGradientBrush(const PointF* points, INT count, WrapMode wrapMode)
{
    DllExports::GpPathGradient* brush = nullptr;
    if (SetStatus(DllExports::GdipCreatePathGradient(points, count, wrapMode, &brush)) == Ok)
        outline = PolygonOutline(points, count);
    nativeBrush = AsBrush(brush);
}

PathGradientBrush::PathGradientBrush(const Point* points, INT count, WrapMode wrapMode)
{
    DllExports::GpPathGradient* brush = nullptr;
    if (SetStatus(DllExports::GdipCreatePathGradientI(points, count, wrapMode, &brush)) == Ok) {
        std::vector<PointF> exact;
        for (INT i = 0; i < count; ++i) exact.emplace_back(REAL(points[i].X), REAL(points[i].Y));
        outline = PolygonOutline(exact.data(), count);
    }
    nativeBrush = AsBrush(brush);
}

PathGradientBrush::PathGradientBrush(const GraphicsPath* path)
{
    DllExports::GpPathGradient* brush = nullptr;
    if (SetStatus(DllExports::GdipCreatePathGradientFromPath(path ? path->NativePath() : nullptr, &brush)) == Ok) {
        const INT count = path->GetPointCount();
        outline.points.resize(size_t(std::max(count, 0)));
        outline.types.resize(size_t(std::max(count, 0)));
        if (count <= 0 || path->GetPathPoints(outline.points.data(), count) != Ok ||
            path->GetPathTypes(outline.types.data(), count) != Ok)
            outline = Outline();
    }
    nativeBrush = AsBrush(brush);
}

Status PathGradientBrush::GetCenterColor(Color* color) const
{
    if (!color) return SetStatus(InvalidParameter);
    ARGB value = 0;
    Status status = SetStatus(DllExports::GdipGetPathGradientCenterColor(NativeGradient(), &value));
    if (status == Ok) *color = Color(value);
    return status;
}

Status PathGradientBrush::SetCenterColor(const Color& color)
{
    return SetStatus(DllExports::GdipSetPathGradientCenterColor(NativeGradient(), color.GetValue()));
}

Status PathGradientBrush::GetCenterPoint(PointF* point) const
{
    return SetStatus(DllExports::GdipGetPathGradientCenterPoint(NativeGradient(), point));
}

Status PathGradientBrush::GetCenterPoint(Point* point) const
{
    if (!point) return SetStatus(InvalidParameter);
    PointF exact;
    Status status = GetCenterPoint(&exact);
    if (status == Ok) *point = Point(INT(std::lround(exact.X)), INT(std::lround(exact.Y)));
    return status;
}

Status PathGradientBrush::SetCenterPoint(const PointF& point)
{
    return SetStatus(DllExports::GdipSetPathGradientCenterPoint(NativeGradient(), &point));
}

Status PathGradientBrush::SetCenterPoint(const Point& point)
{
    return SetCenterPoint(PointF(REAL(point.X), REAL(point.Y)));
}

INT PathGradientBrush::GetPointCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPathGradientPointCount(NativeGradient(), &count));
    return count;
}

INT PathGradientBrush::GetSurroundColorCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPathGradientSurroundColorCount(NativeGradient(), &count));
    return count;
}

Status PathGradientBrush::SetSurroundColors(const Color* colors, INT* count)
{
    if (!colors || !count) return SetStatus(InvalidParameter);
    const INT points = GetPointCount();
    if (*count < 1 || *count > points) return SetStatus(InvalidParameter);
    const std::vector<ARGB> values = ArgbOf(colors, *count);
    return SetStatus(DllExports::GdipSetPathGradientSurroundColorsWithCount(NativeGradient(), values.data(), count));
}

Status PathGradientBrush::GetSurroundColors(Color* colors, INT* count) const
{
    if (!colors || !count) return SetStatus(InvalidParameter);
    const INT points = GetPointCount();
    if (points < 1 || *count < points) return SetStatus(InvalidParameter);
    std::vector<ARGB> values(static_cast<size_t>(points));
    INT answered = points;
    Status status =
        SetStatus(DllExports::GdipGetPathGradientSurroundColorsWithCount(NativeGradient(), values.data(), &answered));
    if (status != Ok) return status;
    CopyColors(values, colors, points);
    *count = answered;
    return Ok;
}

Status PathGradientBrush::GetRectangle(RectF* rect) const
{
    return SetStatus(DllExports::GdipGetPathGradientRect(NativeGradient(), rect));
}

Status PathGradientBrush::GetRectangle(Rect* rect) const
{
    if (!rect) return SetStatus(InvalidParameter);
    RectF exact;
    Status status = GetRectangle(&exact);
    if (status == Ok)
        *rect = RoundedRect(exact);
    return status;
}

Status PathGradientBrush::SetGammaCorrection(BOOL useGammaCorrection)
{
    return SetStatus(DllExports::GdipSetPathGradientGammaCorrection(NativeGradient(), useGammaCorrection));
}

BOOL PathGradientBrush::GetGammaCorrection() const
{
    BOOL use = FALSE;
    SetStatus(DllExports::GdipGetPathGradientGammaCorrection(NativeGradient(), &use));
    return use;
}

Status PathGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count)
{
    Status checked = CheckBlend(blendFactors, blendPositions, count);
    if (checked == Ok && !AllFinite(blendFactors, count)) checked = InvalidParameter;
    if (checked != Ok) return SetStatus(checked);
    return SetStatus(DllExports::GdipSetPathGradientBlend(NativeGradient(), blendFactors, blendPositions, count));
}

INT PathGradientBrush::GetBlendCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPathGradientBlendCount(NativeGradient(), &count));
    return count;
}

Status PathGradientBrush::GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) const
{
    return SetStatus(DllExports::GdipGetPathGradientBlend(NativeGradient(), blendFactors, blendPositions, count));
}

Status PathGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count)
{
    Status checked = CheckBlend(presetColors, blendPositions, count);
    if (checked != Ok) return SetStatus(checked);
    const std::vector<ARGB> values = ArgbOf(presetColors, count);
    return SetStatus(
        DllExports::GdipSetPathGradientPresetBlend(NativeGradient(), values.data(), blendPositions, count));
}

INT PathGradientBrush::GetInterpolationColorCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPathGradientPresetBlendCount(NativeGradient(), &count));
    return count;
}

Status PathGradientBrush::GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const
{
    // As Windows: a negative count is taken as a failed allocation, zero as a bad argument.
    if (count < 0 || count > kMaxBlendCount) return SetStatus(OutOfMemory);
    if (!presetColors || !blendPositions || count == 0) return SetStatus(InvalidParameter);
    std::vector<ARGB> values(static_cast<size_t>(count));
    Status status =
        SetStatus(DllExports::GdipGetPathGradientPresetBlend(NativeGradient(), values.data(), blendPositions, count));
    if (status == Ok) CopyColors(values, presetColors, count);
    return status;
}

Status PathGradientBrush::SetBlendBellShape(REAL focus, REAL scale)
{
    return SetStatus(DllExports::GdipSetPathGradientSigmaBlend(NativeGradient(), focus, scale));
}

Status PathGradientBrush::SetBlendTriangularShape(REAL focus, REAL scale)
{
    return SetStatus(DllExports::GdipSetPathGradientLinearBlend(NativeGradient(), focus, scale));
}

Status PathGradientBrush::GetFocusScales(REAL* xScale, REAL* yScale) const
{
    return SetStatus(DllExports::GdipGetPathGradientFocusScales(NativeGradient(), xScale, yScale));
}

Status PathGradientBrush::SetFocusScales(REAL xScale, REAL yScale)
{
    return SetStatus(DllExports::GdipSetPathGradientFocusScales(NativeGradient(), xScale, yScale));
}

WrapMode PathGradientBrush::GetWrapMode() const
{
    WrapMode mode = WrapModeClamp;
    SetStatus(DllExports::GdipGetPathGradientWrapMode(NativeGradient(), &mode));
    return mode;
}

Status PathGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    return SetStatus(DllExports::GdipSetPathGradientWrapMode(NativeGradient(), wrapMode));
}

Status PathGradientBrush::GetTransform(Matrix* matrix) const
{
    return SetStatus(
        DllExports::GdipGetPathGradientTransform(NativeGradient(), matrix ? matrix->NativeMatrix() : nullptr));
}

Status PathGradientBrush::SetTransform(const Matrix* matrix)
{
    return SetStatus(
        DllExports::GdipSetPathGradientTransform(NativeGradient(), matrix ? matrix->NativeMatrix() : nullptr));
}

Status PathGradientBrush::ResetTransform()
{
    return SetStatus(DllExports::GdipResetPathGradientTransform(NativeGradient()));
}

Status PathGradientBrush::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    return SetStatus(DllExports::GdipMultiplyPathGradientTransform(NativeGradient(),
                                                                   matrix ? matrix->NativeMatrix() : nullptr, order));
}

Status PathGradientBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipTranslatePathGradientTransform(NativeGradient(), dx, dy, order));
}

Status PathGradientBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipScalePathGradientTransform(NativeGradient(), sx, sy, order));
}

Status PathGradientBrush::RotateTransform(REAL angle, MatrixOrder order)
{
    return SetStatus(DllExports::GdipRotatePathGradientTransform(NativeGradient(), angle, order));
}

// ---- LinearGradientBrush ----
// The layer keeps each brush's gradient line and transform for its own fills (pipeline/PaintLinear.cpp); its
// axis-rectangle fill (GdiplusGradient.cpp) takes only two-point, two-colour, untransformed gradients, and
// `blended` keeps such brushes from it.

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2,
                                         LinearGradientMode mode)
{
    DllExports::GpLineGradient* brush = nullptr;
    SetStatus(DllExports::GdipCreateLineBrushFromRect(&rect, color1.GetValue(), color2.GetValue(), mode, WrapModeTile,
                                                      &brush));
    nativeBrush = AsBrush(brush);
    line.blended = true;
    line.first = color1.GetValue(), line.second = color2.GetValue();
    AngleLine(rect, ModeAngle(mode), mode != LinearGradientModeHorizontal && mode != LinearGradientModeVertical,
              &line.from, &line.to);
}

LinearGradientBrush::LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2,
                                         LinearGradientMode mode)
    : LinearGradientBrush(RectF(REAL(rect.X), REAL(rect.Y), REAL(rect.Width), REAL(rect.Height)), color1, color2, mode)
{
}

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                                         BOOL isAngleScalable)
{
    DllExports::GpLineGradient* brush = nullptr;
    SetStatus(DllExports::GdipCreateLineBrushFromRectWithAngle(&rect, color1.GetValue(), color2.GetValue(), angle,
                                                               isAngleScalable, WrapModeTile, &brush));
    nativeBrush = AsBrush(brush);
    line.blended = true;
    line.first = color1.GetValue(), line.second = color2.GetValue();
    AngleLine(rect, angle, isAngleScalable, &line.from, &line.to);
}

LinearGradientBrush::LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, REAL angle,
                                         BOOL isAngleScalable)
    : LinearGradientBrush(RectF(REAL(rect.X), REAL(rect.Y), REAL(rect.Width), REAL(rect.Height)), color1, color2, angle,
                          isAngleScalable)
{
}

Status LinearGradientBrush::GetLinearColors(Color* colors) const
{
    if (!colors) return SetStatus(InvalidParameter);
    ARGB values[2] = {0, 0};
    Status status = SetStatus(DllExports::GdipGetLineColors(NativeLine(), values));
    if (status == Ok) colors[0] = Color(values[0]), colors[1] = Color(values[1]);
    return status;
}

Status LinearGradientBrush::SetLinearColors(const Color& color1, const Color& color2)
{
    Status status = SetStatus(DllExports::GdipSetLineColors(NativeLine(), color1.GetValue(), color2.GetValue()));
    if (status == Ok) line.first = color1.GetValue(), line.second = color2.GetValue();
    return status;
}

Status LinearGradientBrush::GetRectangle(RectF* rect) const
{
    return SetStatus(DllExports::GdipGetLineRect(NativeLine(), rect));
}

Status LinearGradientBrush::GetRectangle(Rect* rect) const
{
    if (!rect) return SetStatus(InvalidParameter);
    RectF exact;
    Status status = GetRectangle(&exact);
    if (status == Ok)
        *rect = RoundedRect(exact);
    return status;
}

Status LinearGradientBrush::SetGammaCorrection(BOOL useGammaCorrection)
{
    Status status = SetStatus(DllExports::GdipSetLineGammaCorrection(NativeLine(), useGammaCorrection));
    if (status == Ok && useGammaCorrection) line.blended = true;
    return status;
}

BOOL LinearGradientBrush::GetGammaCorrection() const
{
    BOOL use = FALSE;
    SetStatus(DllExports::GdipGetLineGammaCorrection(NativeLine(), &use));
    return use;
}

Status LinearGradientBrush::SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count)
{
    Status checked = CheckBlend(blendFactors, blendPositions, count);
    if (checked == Ok && !AllFinite(blendFactors, count)) checked = InvalidParameter;
    if (checked != Ok) return SetStatus(checked);
    Status status = SetStatus(DllExports::GdipSetLineBlend(NativeLine(), blendFactors, blendPositions, count));
    if (status == Ok) line.blended = true;
    return status;
}

INT LinearGradientBrush::GetBlendCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetLineBlendCount(NativeLine(), &count));
    return count;
}

Status LinearGradientBrush::GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) const
{
    return SetStatus(DllExports::GdipGetLineBlend(NativeLine(), blendFactors, blendPositions, count));
}

Status LinearGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count)
{
    Status checked = CheckBlend(presetColors, blendPositions, count);
    if (checked != Ok) return SetStatus(checked);
    const std::vector<ARGB> values = ArgbOf(presetColors, count);
    Status status = SetStatus(DllExports::GdipSetLinePresetBlend(NativeLine(), values.data(), blendPositions, count));
    if (status == Ok) line.blended = true;
    return status;
}

INT LinearGradientBrush::GetInterpolationColorCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetLinePresetBlendCount(NativeLine(), &count));
    return count;
}

Status LinearGradientBrush::GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const
{
    // As Windows: a negative count is taken as a failed allocation, zero as a bad argument.
    if (count < 0 || count > kMaxBlendCount) return SetStatus(OutOfMemory);
    if (!presetColors || !blendPositions || count == 0) return SetStatus(InvalidParameter);
    std::vector<ARGB> values(static_cast<size_t>(count));
    Status status = SetStatus(DllExports::GdipGetLinePresetBlend(NativeLine(), values.data(), blendPositions, count));
    if (status == Ok) CopyColors(values, presetColors, count);
    return status;
}

Status LinearGradientBrush::SetBlendBellShape(REAL focus, REAL scale)
{
    Status status = SetStatus(DllExports::GdipSetLineSigmaBlend(NativeLine(), focus, scale));
    if (status == Ok) line.blended = true;
    return status;
}

Status LinearGradientBrush::SetBlendTriangularShape(REAL focus, REAL scale)
{
    Status status = SetStatus(DllExports::GdipSetLineLinearBlend(NativeLine(), focus, scale));
    if (status == Ok) line.blended = true;
    return status;
}

Status LinearGradientBrush::GetTransform(Matrix* matrix) const
{
    return SetStatus(DllExports::GdipGetLineTransform(NativeLine(), matrix ? matrix->NativeMatrix() : nullptr));
}

// Any change of the transform hands the brush to the engine (see above).
Status LinearGradientBrush::SetTransform(const Matrix* matrix)
{
    Status status =
        SetStatus(DllExports::GdipSetLineTransform(NativeLine(), matrix ? matrix->NativeMatrix() : nullptr));
    if (status == Ok) line.blended = true, matrix->GetElements(line.transform);
    return status;
}

Status LinearGradientBrush::ResetTransform()
{
    Status status = SetStatus(DllExports::GdipResetLineTransform(NativeLine()));
    if (status == Ok) line.blended = true, ChangeKept(line.transform, [](Matrix& kept) { kept.Reset(); });
    return status;
}

Status LinearGradientBrush::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    Status status = SetStatus(
        DllExports::GdipMultiplyLineTransform(NativeLine(), matrix ? matrix->NativeMatrix() : nullptr, order));
    if (status == Ok)
        line.blended = true, ChangeKept(line.transform, [&](Matrix& kept) { kept.Multiply(matrix, order); });
    return status;
}

Status LinearGradientBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    Status status = SetStatus(DllExports::GdipTranslateLineTransform(NativeLine(), dx, dy, order));
    if (status == Ok)
        line.blended = true, ChangeKept(line.transform, [&](Matrix& kept) { kept.Translate(dx, dy, order); });
    return status;
}

Status LinearGradientBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    Status status = SetStatus(DllExports::GdipScaleLineTransform(NativeLine(), sx, sy, order));
    if (status == Ok) line.blended = true, ChangeKept(line.transform, [&](Matrix& kept) { kept.Scale(sx, sy, order); });
    return status;
}

Status LinearGradientBrush::RotateTransform(REAL angle, MatrixOrder order)
{
    Status status = SetStatus(DllExports::GdipRotateLineTransform(NativeLine(), angle, order));
    if (status == Ok) line.blended = true, ChangeKept(line.transform, [&](Matrix& kept) { kept.Rotate(angle, order); });
    return status;
}

}  // namespace Gdiplus
