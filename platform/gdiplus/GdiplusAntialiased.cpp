// Anti-aliased ellipses and paths in one solid colour, filled and outlined by the layer itself. libgdiplus
// hands them to cairo, whose scan converter samples 15 sub-rows of every pixel and which, for each path
// fill, also strokes the outline a pixel wide (so the fill spills half a pixel over its edge) and puts an
// ellipse's fill half a pixel up and left of its outline. Here each pixel gets the exact area the shape
// covers of it, with GDI+'s geometry: pixel centres on whole coordinates, fills to their outline. Anything
// else (other brushes and pens, transforms, clips, copying compositing, no anti-aliasing) stays with the
// engine.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Coverage.h"
#include "Gdiplus.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

// A pixel's square spans half a pixel either side of its centre; coverage squares start at whole numbers.
const PointF kPixelCentre(0.5f, 0.5f);
// Shapes reaching further than this from the origin are left to the engine.
const float kFarthest = 1e6f;
// The control-point distance of a quarter ellipse of radius 1 drawn as a cubic Bézier.
const float kQuarterBezier = 0.5522847498f;
// How many rows ahead of the one being painted are fetched into the cache.
const INT kRowsAhead = 3;
// The most cells a coverage mask holds at once (4 MiB of them).
const INT kMostCells = 1 << 20;

// The colour as the engine's cairo premultiplies it: each straight channel times the alpha, both in
// [0, 1], to 16 bits, then the high byte.
uint32_t EnginePremultiplied(ARGB colour)
{
    const uint32_t alphaByte = colour >> 24;
    if (alphaByte == 0) return 0;
    const double alpha = alphaByte / 255.0;
    uint32_t pixel = alphaByte << 24;
    for (int shift : {16, 8, 0}) {
        const double channel = ((colour >> shift) & 0xFF) / 255.0;
        pixel |= (static_cast<uint32_t>(channel * alpha * 65535.0 + 0.5) >> 8) << shift;
    }
    return pixel;
}

// The pixels the polygons reach, inside the bitmap; false when a point is not a finite, near coordinate.
bool PixelBounds(const std::vector<Polygon>& polygons, const PixelView& target, Rect* box)
{
    float left = kFarthest, top = kFarthest, right = -kFarthest, bottom = -kFarthest;
    for (const Polygon& polygon : polygons)
        for (const PointF& p : polygon) {
            if (!(std::fabs(p.X) < kFarthest && std::fabs(p.Y) < kFarthest)) return false;
            left = std::min(left, p.X);
            right = std::max(right, p.X);
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
    const INT x0 = std::max(static_cast<INT>(std::floor(left)), 0);
    const INT y0 = std::max(static_cast<INT>(std::floor(top)), 0);
    const INT x1 = std::min(static_cast<INT>(std::ceil(right)), target.Width());
    const INT y1 = std::min(static_cast<INT>(std::ceil(bottom)), target.Height());
    *box = Rect(x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0));
    return true;
}

// Composites the premultiplied source over the pixels of the band that the polygons cover.
void PaintBand(const PixelView& target, const std::vector<Polygon>& polygons, bool evenOdd, uint32_t source,
               const Rect& band)
{
    CoverageMask mask(band);
    for (const Polygon& polygon : polygons) mask.AddPolygon(polygon);
    INT fetched = band.Y - 1;
    mask.Sweep(evenOdd, [&](INT x, INT y, INT count, int coverage) {
        // Canvas rows lie pages apart: the rows a little ahead are asked for before they are reached.
        for (; fetched < std::min(y + kRowsAhead, band.Y + band.Height - 1); ++fetched)
            for (INT at = 0; at < band.Width; at += 16) __builtin_prefetch(target.Row(fetched + 1) + band.X + at, 1);
        uint32_t* row = target.Row(y) + x;
        if (coverage == 255 && source >> 24 == 255) {
            std::fill_n(row, count, source);
            return;
        }
        const uint32_t covered = coverage == 255 ? source : ScaledPixel(source, static_cast<uint32_t>(coverage));
        for (INT i = 0; i < count; ++i) row[i] = OverPixel(covered, row[i]);
    });
}

// Composites the colour source over the pixels the polygons cover; false when they cannot be measured.
bool PaintCovered(const PixelView& target, const std::vector<Polygon>& polygons, bool evenOdd, ARGB colour)
{
    Rect box;
    if (!PixelBounds(polygons, target, &box)) return false;
    const uint32_t source = EnginePremultiplied(colour);
    if (box.Width == 0 || box.Height == 0 || source == 0) return true;
    // Rows are worked in bands, so that a shape as large as the canvas needs a mask of bounded size.
    const INT rowsPerBand = std::max(kMostCells / (box.Width + 1), 1);
    for (INT top = box.Y; top < box.Y + box.Height; top += rowsPerBand) {
        const INT rows = std::min(rowsPerBand, box.Y + box.Height - top);
        PaintBand(target, polygons, evenOdd, source, Rect(box.X, top, box.Width, rows));
    }
    return true;
}

// The points and types of an ellipse's four quarter Béziers, from its right end anticlockwise on screen, as
// GDI+ and the engine build it.
void EllipseFigure(REAL x, REAL y, REAL width, REAL height, std::vector<PointF>* points, std::vector<BYTE>* types)
{
    const float rx = width / 2, ry = height / 2, cx = x + rx, cy = y + ry;
    const float kx = kQuarterBezier * rx, ky = kQuarterBezier * ry;
    *points = {{cx + rx, cy},      {cx + rx, cy - ky}, {cx + kx, cy - ry}, {cx, cy - ry},      {cx - kx, cy - ry},
               {cx - rx, cy - ky}, {cx - rx, cy},      {cx - rx, cy + ky}, {cx - kx, cy + ry}, {cx, cy + ry},
               {cx + kx, cy + ry}, {cx + rx, cy + ky}, {cx + rx, cy}};
    types->assign(points->size(), PathPointTypeBezier);
    types->front() = PathPointTypeStart;
    types->back() |= PathPointTypeCloseSubpath;
}

bool PathOf(const GraphicsPath* path, std::vector<PointF>* points, std::vector<BYTE>* types, FillMode* mode)
{
    INT count = 0;
    if (!path || !path->NativePath() || DllExports::GdipGetPointCount(path->NativePath(), &count) != Ok || count <= 0)
        return false;
    points->resize(static_cast<size_t>(count));
    types->resize(static_cast<size_t>(count));
    return DllExports::GdipGetPathPoints(path->NativePath(), points->data(), count) == Ok &&
           DllExports::GdipGetPathTypes(path->NativePath(), types->data(), count) == Ok &&
           DllExports::GdipGetPathFillMode(path->NativePath(), mode) == Ok;
}

// A pen this file can stroke with: one solid colour, centred, undashed, unscaled, no compound lines and no
// anchors or custom caps (which the engine adds even to closed figures). Its width and join limit.
bool PlainPen(const Pen* pen, ARGB* colour, REAL* width, REAL* miterLimit)
{
    DllExports::GpPen* native = pen ? pen->NativePen() : nullptr;
    if (!native) return false;
    PenType type = PenTypeUnknown;
    DashStyle dash = DashStyleCustom;
    PenAlignment alignment = PenAlignmentInset;
    INT compound = -1;
    LineCap start = LineCapCustom, end = LineCapCustom;
    LineJoin join = LineJoinMiter;
    Matrix transform;
    if (DllExports::GdipGetPenFillType(native, &type) != Ok || type != PenTypeSolidColor ||
        DllExports::GdipGetPenDashStyle(native, &dash) != Ok || dash != DashStyleSolid ||
        DllExports::GdipGetPenMode(native, &alignment) != Ok || alignment != PenAlignmentCenter ||
        DllExports::GdipGetPenCompoundCount(native, &compound) != Ok || compound != 0 ||
        DllExports::GdipGetPenStartCap(native, &start) != Ok || start > LineCapTriangle ||
        DllExports::GdipGetPenEndCap(native, &end) != Ok || end > LineCapTriangle ||
        DllExports::GdipGetPenTransform(native, transform.NativeMatrix()) != Ok || !transform.IsIdentity() ||
        DllExports::GdipGetPenColor(native, colour) != Ok || DllExports::GdipGetPenWidth(native, width) != Ok ||
        DllExports::GdipGetPenLineJoin(native, &join) != Ok ||
        DllExports::GdipGetPenMiterLimit(native, miterLimit) != Ok)
        return false;
    if (std::isnan(*width)) return false;
    // A pen thinner than a pixel draws a pixel wide, as in GDI+.
    if (*width < 1.0f) *width = 1.0f;
    // Round and bevelled joins are taken only where they differ from a miter by under a hundredth of a pixel.
    if (join != LineJoinMiter && join != LineJoinMiterClipped) *miterLimit = 1.0f + 0.01f / (*width / 2);
    return true;
}

}  // namespace

bool Graphics::DrawsAntialiasedItself() const
{
    SmoothingMode mode = SmoothingModeInvalid;
    return compositingMode == CompositingModeSourceOver && nativeGraphics &&
           DllExports::GdipGetSmoothingMode(nativeGraphics, &mode) == Ok &&
           (mode == SmoothingModeAntiAlias || mode == SmoothingModeHighQuality) && DrawsPixelForPixel();
}

bool Graphics::FillAntialiased(const Brush* brush, const PointF* points, const BYTE* types, INT count, FillMode mode)
{
    BrushType type = BrushTypeLinearGradient;
    ARGB colour = 0;
    DllExports::GpBrush* native = brush ? brush->NativeBrush() : nullptr;
    if (!native || DllExports::GdipGetBrushType(native, &type) != Ok || type != BrushTypeSolidColor ||
        DllExports::GdipGetSolidFillColor(reinterpret_cast<DllExports::GpSolidFill*>(native), &colour) != Ok)
        return false;
    std::vector<Polygon> figures;
    std::vector<bool> closed;
    if (!FlattenPath(points, types, count, kPixelCentre, &figures, &closed)) return false;
    const PixelView target(surface.get(), true);
    return target.Valid() && PaintCovered(target, figures, mode == FillModeAlternate, colour);
}

bool Graphics::DrawAntialiased(const Pen* pen, const PointF* points, const BYTE* types, INT count)
{
    ARGB colour = 0;
    REAL width = 0, miterLimit = 0;
    if (!PlainPen(pen, &colour, &width, &miterLimit)) return false;
    std::vector<Polygon> figures, band;
    std::vector<bool> closed;
    if (!FlattenPath(points, types, count, kPixelCentre, &figures, &closed)) return false;
    if (std::find(closed.begin(), closed.end(), false) != closed.end()) return false;
    for (const Polygon& figure : figures)
        if (!CentredStroke(figure, width, miterLimit, &band)) return false;
    const PixelView target(surface.get(), true);
    return target.Valid() && PaintCovered(target, band, false, colour);
}

bool Graphics::FillEllipseAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!(width > 0 && height > 0) || !DrawsAntialiasedItself()) return false;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    EllipseFigure(x, y, width, height, &points, &types);
    return FillAntialiased(brush, points.data(), types.data(), INT(points.size()), FillModeAlternate);
}

bool Graphics::DrawEllipseAntialiased(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (!(width > 0 && height > 0) || !DrawsAntialiasedItself()) return false;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    EllipseFigure(x, y, width, height, &points, &types);
    return DrawAntialiased(pen, points.data(), types.data(), INT(points.size()));
}

bool Graphics::FillPathAntialiased(const Brush* brush, const GraphicsPath* path)
{
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode mode = FillModeAlternate;
    return DrawsAntialiasedItself() && PathOf(path, &points, &types, &mode) &&
           FillAntialiased(brush, points.data(), types.data(), INT(points.size()), mode);
}

bool Graphics::DrawPathAntialiased(const Pen* pen, const GraphicsPath* path)
{
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode mode = FillModeAlternate;
    return DrawsAntialiasedItself() && PathOf(path, &points, &types, &mode) &&
           DrawAntialiased(pen, points.data(), types.data(), INT(points.size()));
}

}  // namespace Gdiplus
