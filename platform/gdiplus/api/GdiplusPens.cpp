// Pens and brushes.
#include "../Gdiplus.h"

namespace Gdiplus {

Pen::Pen(const Color& color, REAL width)
{
    SetStatus(DllExports::GdipCreatePen1(color.GetValue(), width, UnitWorld, &nativePen));
}

Pen::~Pen()
{
    if (nativePen) DllExports::GdipDeletePen(nativePen);
}

Status Pen::SetDashStyle(DashStyle dashStyle) { return SetStatus(DllExports::GdipSetPenDashStyle(nativePen, dashStyle)); }
Status Pen::SetStartCap(LineCap startCap) { return SetStatus(DllExports::GdipSetPenStartCap(nativePen, startCap)); }
Status Pen::SetEndCap(LineCap endCap) { return SetStatus(DllExports::GdipSetPenEndCap(nativePen, endCap)); }
Status Pen::SetLineJoin(LineJoin lineJoin) { return SetStatus(DllExports::GdipSetPenLineJoin(nativePen, lineJoin)); }
Status Pen::SetAlignment(PenAlignment penAlignment)
{
    return SetStatus(DllExports::GdipSetPenMode(nativePen, penAlignment));
}
Status Pen::SetWidth(REAL width) { return SetStatus(DllExports::GdipSetPenWidth(nativePen, width)); }
Status Pen::SetColor(const Color& color)
{
    const Status status = SetStatus(DllExports::GdipSetPenColor(nativePen, color.GetValue()));
    if (status == Ok) strokeBrush.reset();
    return status;
}

Brush::~Brush()
{
    if (nativeBrush) DllExports::GdipDeleteBrush(nativeBrush);
}

SolidBrush::SolidBrush(const Color& color)
{
    DllExports::GpSolidFill* brush = nullptr;
    SetStatus(DllExports::GdipCreateSolidFill(color.GetValue(), &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
}

Status SolidBrush::SetColor(const Color& color)
{
    return SetStatus(
        DllExports::GdipSetSolidFillColor(reinterpret_cast<DllExports::GpSolidFill*>(nativeBrush), color.GetValue()));
}

namespace {

// libgdiplus draws HatchStyleLargeConfetti exactly as HatchStyleSmallConfetti; in GDI+ its pieces are
// larger. Its 8 × 8 cell, a byte a row, the leftmost pixel in the top bit.
const BYTE kLargeConfetti[8] = {0xD8, 0xC6, 0x06, 0x00, 0x30, 0x33, 0x03, 0x18};

// A brush tiling the two-colour cell.
DllExports::GpBrush* CellBrush(const BYTE (&rows)[8], ARGB foreColor, ARGB backColor, Status* status)
{
    DllExports::GpBitmap* cell = nullptr;
    *status = DllExports::GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat32bppARGB, nullptr, &cell);
    if (*status != Ok) return nullptr;
    for (INT y = 0; y < 8; ++y)
        for (INT x = 0; x < 8; ++x)
            DllExports::GdipBitmapSetPixel(cell, x, y, (rows[y] & (0x80 >> x)) ? foreColor : backColor);
    DllExports::GpTexture* texture = nullptr;
    auto* image = reinterpret_cast<DllExports::GpImage*>(cell);
    *status = DllExports::GdipCreateTexture(image, WrapModeTile, &texture);
    DllExports::GdipDisposeImage(image);
    return reinterpret_cast<DllExports::GpBrush*>(texture);
}

}  // namespace

HatchBrush::HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor)
    : hatch{hatchStyle, foreColor.GetValue(), backColor.GetValue()}
{
    if (hatchStyle == HatchStyleLargeConfetti) {
        Status status = Ok;
        nativeBrush = CellBrush(kLargeConfetti, foreColor.GetValue(), backColor.GetValue(), &status);
        SetStatus(status);
        return;
    }
    DllExports::GpHatch* brush = nullptr;
    SetStatus(DllExports::GdipCreateHatchBrush(hatchStyle, foreColor.GetValue(), backColor.GetValue(), &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
}

LinearGradientBrush::LinearGradientBrush(const Point& point1, const Point& point2, const Color& color1,
                                         const Color& color2)
{
    DllExports::GpLineGradient* brush = nullptr;
    SetStatus(DllExports::GdipCreateLineBrushI(&point1, &point2, color1.GetValue(), color2.GetValue(), WrapModeTile,
                                               &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
    line = Line{PointF(REAL(point1.X), REAL(point1.Y)), PointF(REAL(point2.X), REAL(point2.Y)), color1.GetValue(),
                color2.GetValue(), true};
}

LinearGradientBrush::LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1,
                                         const Color& color2)
{
    DllExports::GpLineGradient* brush = nullptr;
    SetStatus(DllExports::GdipCreateLineBrush(&point1, &point2, color1.GetValue(), color2.GetValue(), WrapModeTile,
                                              &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
    line = Line{point1, point2, color1.GetValue(), color2.GetValue(), true};
}

Status LinearGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    Status status = SetStatus(DllExports::GdipSetLineWrapMode(NativeLine(), wrapMode));
    if (status == Ok) line.tiled = wrapMode == WrapModeTile;
    return status;
}

WrapMode LinearGradientBrush::GetWrapMode() const
{
    WrapMode mode = WrapModeTile;
    SetStatus(DllExports::GdipGetLineWrapMode(NativeLine(), &mode));
    return mode;
}

}  // namespace Gdiplus
