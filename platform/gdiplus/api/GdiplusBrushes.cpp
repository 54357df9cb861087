// Brush pens, dash patterns, gradient blends and texture brushes.
#include "../Gdiplus.h"

namespace Gdiplus {

Pen::Pen(const Brush* brush, REAL width)
{
    if (SetStatus(DllExports::GdipCreatePen2(brush ? brush->NativeBrush() : nullptr, width, UnitWorld, &nativePen)) ==
        Ok)
        strokeBrush.reset(brush->Clone());
}

PenAlignment Pen::GetAlignment() const
{
    PenAlignment alignment = PenAlignmentCenter;
    SetStatus(DllExports::GdipGetPenMode(nativePen, &alignment));
    return alignment;
}

Status Pen::SetDashPattern(const REAL* dashArray, INT count)
{
    return SetStatus(DllExports::GdipSetPenDashArray(nativePen, dashArray, count));
}

REAL Pen::GetWidth() const
{
    REAL width = 0;
    SetStatus(DllExports::GdipGetPenWidth(nativePen, &width));
    return width;
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode)
{
    DllExports::GpTexture* brush = nullptr;
    SetStatus(DllExports::GdipCreateTexture(image ? image->NativeImage() : nullptr, wrapMode, &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode, REAL dstX, REAL dstY, REAL dstWidth, REAL dstHeight)
{
    DllExports::GpTexture* brush = nullptr;
    SetStatus(DllExports::GdipCreateTexture2(image ? image->NativeImage() : nullptr, wrapMode, dstX, dstY, dstWidth,
                                             dstHeight, &brush));
    nativeBrush = reinterpret_cast<DllExports::GpBrush*>(brush);
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode, const RectF& dstRect)
    : TextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height)
{
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode, const Rect& dstRect)
    : TextureBrush(image, wrapMode, dstRect.X, dstRect.Y, dstRect.Width, dstRect.Height)
{
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode, INT dstX, INT dstY, INT dstWidth, INT dstHeight)
    : TextureBrush(image, wrapMode, REAL(dstX), REAL(dstY), REAL(dstWidth), REAL(dstHeight))
{
}

Status TextureBrush::SetWrapMode(WrapMode wrapMode)
{
    return SetStatus(DllExports::GdipSetTextureWrapMode(NativeTexture(), wrapMode));
}

WrapMode TextureBrush::GetWrapMode() const
{
    WrapMode mode = WrapModeTile;
    SetStatus(DllExports::GdipGetTextureWrapMode(NativeTexture(), &mode));
    return mode;
}

Status TextureBrush::SetTransform(const Matrix* matrix)
{
    return SetStatus(DllExports::GdipSetTextureTransform(NativeTexture(), matrix ? matrix->NativeMatrix() : nullptr));
}

Status TextureBrush::ResetTransform() { return SetStatus(DllExports::GdipResetTextureTransform(NativeTexture())); }

Status TextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipTranslateTextureTransform(NativeTexture(), dx, dy, order));
}

Status TextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    return SetStatus(DllExports::GdipScaleTextureTransform(NativeTexture(), sx, sy, order));
}

Status TextureBrush::RotateTransform(REAL angle, MatrixOrder order)
{
    return SetStatus(DllExports::GdipRotateTextureTransform(NativeTexture(), angle, order));
}

}  // namespace Gdiplus
