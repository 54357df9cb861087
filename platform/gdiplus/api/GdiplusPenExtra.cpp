// Pen getters, caps, compound lines and transform; custom and arrow line caps; the image attributes
// beyond the colour matrix.
#include <cmath>

#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

DllExports::GpMatrix* NativeOf(const Matrix* matrix) { return matrix ? matrix->NativeMatrix() : nullptr; }

// GDI+'s order rule for compound bands: an even count of values from 0 to 1, none smaller than the one
// before. The engine lets values that are not numbers through; they are refused here as well.
bool CompoundInOrder(const REAL* values, INT count)
{
    if (!values || count <= 0 || count % 2 != 0) return false;
    REAL previous = 0;
    for (INT i = 0; i < count; ++i) {
        if (!(values[i] >= previous && values[i] <= 1)) return false;
        previous = values[i];
    }
    return true;
}

// Cap paths longer than this are not copied (and their caps are left to the engine).
const INT kMostCapPoints = 1 << 16;

// A copy of the path's points and types (the engine stroke and fill paths it copies cannot be read back);
// null when it cannot be read.
std::shared_ptr<const CustomCapOutline> CopyOutline(const GraphicsPath* path, bool filled)
{
    INT count = 0;
    if (!path || DllExports::GdipGetPointCount(path->NativePath(), &count) != Ok || count <= 0 ||
        count > kMostCapPoints)
        return nullptr;
    auto outline = std::make_shared<CustomCapOutline>();
    outline->points.resize(static_cast<size_t>(count));
    outline->types.resize(static_cast<size_t>(count));
    outline->filled = filled;
    if (DllExports::GdipGetPathPoints(path->NativePath(), outline->points.data(), count) != Ok ||
        DllExports::GdipGetPathTypes(path->NativePath(), outline->types.data(), count) != Ok)
        return nullptr;
    return outline;
}

}  // namespace

// ---- Pen ----

Pen* Pen::Clone() const
{
    DllExports::GpPen* copy = nullptr;
    if (SetStatus(DllExports::GdipClonePen(nativePen, &copy)) != Ok) return nullptr;
    Pen* pen = new Pen(Color(0u), 1.0f);
    if (pen->nativePen) DllExports::GdipDeletePen(pen->nativePen);
    pen->nativePen = copy;
    pen->strokeBrush = strokeBrush;
    pen->startCapPath = startCapPath;
    pen->endCapPath = endCapPath;
    pen->lastResult = Ok;
    return pen;
}

Status Pen::GetColor(Color* color) const
{
    if (!color) return SetStatus(InvalidParameter);
    ARGB value = 0;
    Status status = SetStatus(DllExports::GdipGetPenColor(nativePen, &value));
    if (status == Ok) *color = Color(value);
    return status;
}

PenType Pen::GetPenType() const
{
    PenType type = PenTypeUnknown;
    SetStatus(DllExports::GdipGetPenFillType(nativePen, &type));
    return type;
}

Status Pen::SetBrush(const Brush* brush)
{
    const Status status = SetStatus(DllExports::GdipSetPenBrushFill(nativePen, brush ? brush->NativeBrush() : nullptr));
    // The pen's copy, as the engine's pen keeps its own (the caller's brush may change or go).
    if (status == Ok) strokeBrush.reset(brush->Clone());
    return status;
}

LineCap Pen::GetStartCap() const
{
    LineCap cap = LineCapFlat;
    SetStatus(DllExports::GdipGetPenStartCap(nativePen, &cap));
    return cap;
}

LineCap Pen::GetEndCap() const
{
    LineCap cap = LineCapFlat;
    SetStatus(DllExports::GdipGetPenEndCap(nativePen, &cap));
    return cap;
}

Status Pen::SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap)
{
    Status status = SetStartCap(startCap);
    if (status == Ok) status = SetEndCap(endCap);
    if (status == Ok) status = SetDashCap(dashCap);
    return status;
}

DashCap Pen::GetDashCap() const
{
    DashCap cap = DashCapFlat;
    SetStatus(DllExports::GdipGetPenDashCap197819(nativePen, &cap));
    return cap;
}

Status Pen::SetDashCap(DashCap dashCap) { return SetStatus(DllExports::GdipSetPenDashCap197819(nativePen, dashCap)); }

LineJoin Pen::GetLineJoin() const
{
    LineJoin join = LineJoinMiter;
    SetStatus(DllExports::GdipGetPenLineJoin(nativePen, &join));
    return join;
}

DashStyle Pen::GetDashStyle() const
{
    DashStyle style = DashStyleSolid;
    SetStatus(DllExports::GdipGetPenDashStyle(nativePen, &style));
    return style;
}

REAL Pen::GetDashOffset() const
{
    REAL offset = 0;
    SetStatus(DllExports::GdipGetPenDashOffset(nativePen, &offset));
    return offset;
}

Status Pen::SetDashOffset(REAL dashOffset)
{
    return SetStatus(DllExports::GdipSetPenDashOffset(nativePen, dashOffset));
}

INT Pen::GetDashPatternCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPenDashCount(nativePen, &count));
    return count;
}

Status Pen::GetDashPattern(REAL* dashArray, INT count) const
{
    return SetStatus(DllExports::GdipGetPenDashArray(nativePen, dashArray, count));
}

REAL Pen::GetMiterLimit() const
{
    REAL limit = 0;
    SetStatus(DllExports::GdipGetPenMiterLimit(nativePen, &limit));
    return limit;
}

Status Pen::SetMiterLimit(REAL miterLimit)
{
    return SetStatus(DllExports::GdipSetPenMiterLimit(nativePen, miterLimit));
}

Status Pen::SetCustomStartCap(const CustomLineCap* customCap)
{
    const Status status =
        SetStatus(DllExports::GdipSetPenCustomStartCap(nativePen, customCap ? customCap->NativeCap() : nullptr));
    if (status == Ok) startCapPath = customCap ? customCap->capPath : nullptr;
    return status;
}

Status Pen::SetCustomEndCap(const CustomLineCap* customCap)
{
    const Status status =
        SetStatus(DllExports::GdipSetPenCustomEndCap(nativePen, customCap ? customCap->NativeCap() : nullptr));
    if (status == Ok) endCapPath = customCap ? customCap->capPath : nullptr;
    return status;
}

Status Pen::GetCustomStartCap(CustomLineCap* customCap) const
{
    if (!customCap) return SetStatus(InvalidParameter);
    DllExports::GpCustomLineCap* copy = nullptr;
    Status status = SetStatus(DllExports::GdipGetPenCustomStartCap(nativePen, &copy));
    customCap->Adopt(copy, status, startCapPath);
    return status;
}

Status Pen::GetCustomEndCap(CustomLineCap* customCap) const
{
    if (!customCap) return SetStatus(InvalidParameter);
    DllExports::GpCustomLineCap* copy = nullptr;
    Status status = SetStatus(DllExports::GdipGetPenCustomEndCap(nativePen, &copy));
    customCap->Adopt(copy, status, endCapPath);
    return status;
}

Status Pen::SetCompoundArray(const REAL* compoundArray, INT count)
{
    if (!nativePen || !CompoundInOrder(compoundArray, count)) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipSetPenCompoundArray(nativePen, compoundArray, count));
}

INT Pen::GetCompoundArrayCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPenCompoundCount(nativePen, &count));
    return count;
}

Status Pen::GetCompoundArray(REAL* compoundArray, INT count) const
{
    return SetStatus(DllExports::GdipGetPenCompoundArray(nativePen, compoundArray, count));
}

Status Pen::GetTransform(Matrix* matrix) const
{
    return SetStatus(DllExports::GdipGetPenTransform(nativePen, NativeOf(matrix)));
}

Status Pen::SetTransform(const Matrix* matrix)
{
    return SetStatus(DllExports::GdipSetPenTransform(nativePen, NativeOf(matrix)));
}

Status Pen::ResetTransform() { return SetStatus(DllExports::GdipResetPenTransform(nativePen)); }

Status Pen::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    return SetStatus(DllExports::GdipMultiplyPenTransform(nativePen, NativeOf(matrix), order));
}

Status Pen::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipTranslatePenTransform(nativePen, dx, dy, order));
}

Status Pen::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipScalePenTransform(nativePen, sx, sy, order));
}

Status Pen::RotateTransform(REAL angle, MatrixOrder order)
{
    return SetStatus(DllExports::GdipRotatePenTransform(nativePen, angle, order));
}

// ---- CustomLineCap ----

CustomLineCap::CustomLineCap(const GraphicsPath* fillPath, const GraphicsPath* strokePath, LineCap baseCap,
                             REAL baseInset)
{
    if (SetStatus(DllExports::GdipCreateCustomLineCap(fillPath ? fillPath->NativePath() : nullptr,
                                                      strokePath ? strokePath->NativePath() : nullptr, baseCap,
                                                      baseInset, &nativeCap)) == Ok)
        capPath = CopyOutline(strokePath ? strokePath : fillPath, strokePath == nullptr);
}

CustomLineCap::~CustomLineCap()
{
    if (nativeCap) DllExports::GdipDeleteCustomLineCap(nativeCap);
}

void CustomLineCap::Adopt(DllExports::GpCustomLineCap* cap, Status status, std::shared_ptr<const CustomCapOutline> path)
{
    if (status != Ok) {
        SetStatus(status);
        return;
    }
    if (nativeCap) DllExports::GdipDeleteCustomLineCap(nativeCap);
    nativeCap = cap;
    capPath = std::move(path);
}

CustomLineCap* CustomLineCap::Clone() const
{
    DllExports::GpCustomLineCap* copy = nullptr;
    if (SetStatus(DllExports::GdipCloneCustomLineCap(nativeCap, &copy)) != Ok) return nullptr;
    auto* cap = new CustomLineCap();
    cap->nativeCap = copy;
    cap->capPath = capPath;
    return cap;
}

Status CustomLineCap::SetStrokeCaps(LineCap startCap, LineCap endCap)
{
    return SetStatus(DllExports::GdipSetCustomLineCapStrokeCaps(nativeCap, startCap, endCap));
}

Status CustomLineCap::GetStrokeCaps(LineCap* startCap, LineCap* endCap) const
{
    return SetStatus(DllExports::GdipGetCustomLineCapStrokeCaps(nativeCap, startCap, endCap));
}

Status CustomLineCap::SetStrokeJoin(LineJoin lineJoin)
{
    return SetStatus(DllExports::GdipSetCustomLineCapStrokeJoin(nativeCap, lineJoin));
}

LineJoin CustomLineCap::GetStrokeJoin() const
{
    LineJoin join = LineJoinMiter;
    SetStatus(DllExports::GdipGetCustomLineCapStrokeJoin(nativeCap, &join));
    return join;
}

Status CustomLineCap::SetBaseCap(LineCap baseCap)
{
    return SetStatus(DllExports::GdipSetCustomLineCapBaseCap(nativeCap, baseCap));
}

LineCap CustomLineCap::GetBaseCap() const
{
    LineCap cap = LineCapFlat;
    SetStatus(DllExports::GdipGetCustomLineCapBaseCap(nativeCap, &cap));
    return cap;
}

Status CustomLineCap::SetBaseInset(REAL inset)
{
    return SetStatus(DllExports::GdipSetCustomLineCapBaseInset(nativeCap, inset));
}

REAL CustomLineCap::GetBaseInset() const
{
    REAL inset = 0;
    SetStatus(DllExports::GdipGetCustomLineCapBaseInset(nativeCap, &inset));
    return inset;
}

Status CustomLineCap::SetWidthScale(REAL widthScale)
{
    return SetStatus(DllExports::GdipSetCustomLineCapWidthScale(nativeCap, widthScale));
}

REAL CustomLineCap::GetWidthScale() const
{
    REAL scale = 0;
    SetStatus(DllExports::GdipGetCustomLineCapWidthScale(nativeCap, &scale));
    return scale;
}

// ---- AdjustableArrowCap ----

AdjustableArrowCap::AdjustableArrowCap(REAL height, REAL width, BOOL isFilled)
{
    DllExports::GpAdjustableArrowCap* cap = nullptr;
    SetStatus(DllExports::GdipCreateAdjustableArrowCap(height, width, isFilled, &cap));
    nativeCap = reinterpret_cast<DllExports::GpCustomLineCap*>(cap);
}

Status AdjustableArrowCap::SetHeight(REAL height)
{
    return SetStatus(DllExports::GdipSetAdjustableArrowCapHeight(NativeArrow(), height));
}

REAL AdjustableArrowCap::GetHeight() const
{
    REAL height = 0;
    SetStatus(DllExports::GdipGetAdjustableArrowCapHeight(NativeArrow(), &height));
    return height;
}

Status AdjustableArrowCap::SetWidth(REAL width)
{
    return SetStatus(DllExports::GdipSetAdjustableArrowCapWidth(NativeArrow(), width));
}

REAL AdjustableArrowCap::GetWidth() const
{
    REAL width = 0;
    SetStatus(DllExports::GdipGetAdjustableArrowCapWidth(NativeArrow(), &width));
    return width;
}

Status AdjustableArrowCap::SetMiddleInset(REAL middleInset)
{
    return SetStatus(DllExports::GdipSetAdjustableArrowCapMiddleInset(NativeArrow(), middleInset));
}

REAL AdjustableArrowCap::GetMiddleInset() const
{
    REAL inset = 0;
    SetStatus(DllExports::GdipGetAdjustableArrowCapMiddleInset(NativeArrow(), &inset));
    return inset;
}

Status AdjustableArrowCap::SetFillState(BOOL isFilled)
{
    return SetStatus(DllExports::GdipSetAdjustableArrowCapFillState(NativeArrow(), isFilled));
}

BOOL AdjustableArrowCap::IsFilled() const
{
    BOOL filled = FALSE;
    SetStatus(DllExports::GdipGetAdjustableArrowCapFillState(NativeArrow(), &filled));
    return filled;
}

}  // namespace Gdiplus
