// Paths and matrices.
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "../text/TextOutline.h"

namespace Gdiplus {

namespace {

// The outlines of the string laid out by the layer in the family's face at an em of emSize world units, as
// DrawString lays it out, and the lines of an underlined or struck-out font, as path figures.
Status StringOutlines(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                      const RectF& layoutRect, const StringFormat* format, std::vector<PointF>* points,
                      std::vector<BYTE>* types)
{
    RectF layout;
    if (!string || !family || !family->NativeFamily() || !(emSize > 0) || !std::isfinite(emSize) ||
        !UsableLayout(layoutRect, &layout))
        return InvalidParameter;
    const Font font(family, emSize, style, UnitWorld);
    if (font.GetLastStatus() != Ok) return font.GetLastStatus();
    const LayerFont* layer = font.Layer();
    LaidText laid;
    if (!layer || !LayOutAtEm(string, length, *layer, emSize, layout, format, &laid)) return GenericError;
    std::vector<size_t> all(laid.glyphs.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    if (!GlyphOutlines(laid, all, points, types)) return GenericError;
    UnderlineFigures(laid, nullptr, points, types);
    return Ok;
}

// Appends the figures to the path, as new figures.
Status AppendFigures(GraphicsPath* path, const std::vector<PointF>& points, const std::vector<BYTE>& types)
{
    if (points.empty()) return Ok;
    const GraphicsPath figures(points.data(), types.data(), INT(points.size()));
    const Status made = figures.GetLastStatus();
    return made == Ok ? path->AddPath(&figures, FALSE) : made;
}

}  // namespace

GraphicsPath::GraphicsPath(FillMode fillMode) { SetStatus(DllExports::GdipCreatePath(fillMode, &nativePath)); }

GraphicsPath::~GraphicsPath()
{
    if (nativePath) DllExports::GdipDeletePath(nativePath);
}

Status GraphicsPath::AddLine(INT x1, INT y1, INT x2, INT y2)
{
    return SetStatus(DllExports::GdipAddPathLineI(nativePath, x1, y1, x2, y2));
}

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
{
    return SetStatus(DllExports::GdipAddPathLine(nativePath, x1, y1, x2, y2));
}

Status GraphicsPath::AddLine(const Point& pt1, const Point& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }

Status GraphicsPath::AddArc(const Rect& rect, REAL startAngle, REAL sweepAngle)
{
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status GraphicsPath::AddRectangle(const Rect& rect)
{
    return SetStatus(DllExports::GdipAddPathRectangleI(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

Status GraphicsPath::AddPolygon(const Point* points, INT count)
{
    return SetStatus(DllExports::GdipAddPathPolygonI(nativePath, points, count));
}

Status GraphicsPath::AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const Point& origin, const StringFormat* format)
{
    Rect layout(origin.X, origin.Y, 0, 0);
    return AddString(string, length, family, style, emSize, layout, format);
}

Status GraphicsPath::AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const PointF& origin, const StringFormat* format)
{
    RectF layout(origin.X, origin.Y, 0.0f, 0.0f);
    return AddString(string, length, family, style, emSize, layout, format);
}

Status GraphicsPath::AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const Rect& layoutRect, const StringFormat* format)
{
    const RectF layout(REAL(layoutRect.X), REAL(layoutRect.Y), REAL(layoutRect.Width), REAL(layoutRect.Height));
    return AddString(string, length, family, style, emSize, layout, format);
}

Status GraphicsPath::AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const RectF& layoutRect, const StringFormat* format)
{
    std::vector<PointF> points;
    std::vector<BYTE> types;
    const Status outlined = StringOutlines(string, length, family, style, emSize, layoutRect, format, &points, &types);
    return SetStatus(outlined == Ok ? AppendFigures(this, points, types) : outlined);
}

Status GraphicsPath::StartFigure() { return SetStatus(DllExports::GdipStartPathFigure(nativePath)); }
Status GraphicsPath::CloseFigure() { return SetStatus(DllExports::GdipClosePathFigure(nativePath)); }
Status GraphicsPath::CloseAllFigures() { return SetStatus(DllExports::GdipClosePathFigures(nativePath)); }
Status GraphicsPath::Reset() { return SetStatus(DllExports::GdipResetPath(nativePath)); }

INT GraphicsPath::GetPointCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetPointCount(nativePath, &count));
    return count;
}

Status GraphicsPath::GetPathPoints(PointF* points, INT count) const
{
    return SetStatus(DllExports::GdipGetPathPoints(nativePath, points, count));
}

Status GraphicsPath::GetPathTypes(BYTE* types, INT count) const
{
    return SetStatus(DllExports::GdipGetPathTypes(nativePath, types, count));
}

Matrix::Matrix() { SetStatus(DllExports::GdipCreateMatrix(&nativeMatrix)); }

Matrix::Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    SetStatus(DllExports::GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix));
}

Matrix::~Matrix()
{
    if (nativeMatrix) DllExports::GdipDeleteMatrix(nativeMatrix);
}

Status Matrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    return SetStatus(DllExports::GdipSetMatrixElements(nativeMatrix, m11, m12, m21, m22, dx, dy));
}

Status Matrix::GetElements(REAL* m) const { return SetStatus(DllExports::GdipGetMatrixElements(nativeMatrix, m)); }

Status Matrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order)
{
    return SetStatus(DllExports::GdipTranslateMatrix(nativeMatrix, offsetX, offsetY, order));
}

Status Matrix::Rotate(REAL angle, MatrixOrder order)
{
    return SetStatus(DllExports::GdipRotateMatrix(nativeMatrix, angle, order));
}

Status Matrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order)
{
    return SetStatus(DllExports::GdipScaleMatrix(nativeMatrix, scaleX, scaleY, order));
}

BOOL Matrix::IsIdentity() const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsMatrixIdentity(nativeMatrix, &result));
    return result;
}

REAL Matrix::OffsetX() const
{
    REAL m[6] = {0, 0, 0, 0, 0, 0};
    GetElements(m);
    return m[4];
}

REAL Matrix::OffsetY() const
{
    REAL m[6] = {0, 0, 0, 0, 0, 0};
    GetElements(m);
    return m[5];
}

}  // namespace Gdiplus
