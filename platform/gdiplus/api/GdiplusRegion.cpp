// Region, and the Graphics members that clip to regions and hit-test the clip.
#include <cmath>

#include "../Gdiplus.h"
#include "RegionShape.h"
#include "RoundedRect.h"

namespace Gdiplus {

namespace {

RectF ToRectF(const Rect& rect)
{
    return RectF(static_cast<REAL>(rect.X), static_cast<REAL>(rect.Y), static_cast<REAL>(rect.Width),
                 static_cast<REAL>(rect.Height));
}

DllExports::GpGraphics* NativeOf(const Graphics* g) { return g ? g->NativeGraphics() : nullptr; }

}  // namespace

Region::Region() : shape(PlainShape(RegionShape::Kind::Infinite))
{
    SetStatus(DllExports::GdipCreateRegion(&nativeRegion));
}

Region::Region(const RectF& rect) : shape(RectShape(rect))
{
    SetStatus(DllExports::GdipCreateRegionRect(&rect, &nativeRegion));
}

Region::Region(const Rect& rect) : Region(ToRectF(rect)) {}

Region::Region(const GraphicsPath* path)
{
    mayBePath = true;
    if (path) shape = PathShape(*path);
    SetStatus(path ? DllExports::GdipCreateRegionPath(path->NativePath(), &nativeRegion) : InvalidParameter);
}

Region::Region(const BYTE* regionData, INT size)
{
    mayBePath = true;
    if (size > 0) shape = ReadRegionShape(regionData, static_cast<size_t>(size));
    // Data in GDI+'s layout is built up by its operations; other data may be the engine's own.
    SetStatus(shape ? BuildEngineRegion(*shape, &nativeRegion)
                    : DllExports::GdipCreateRegionRgnData(regionData, size, &nativeRegion));
    if (!nativeRegion) shape.reset();
}

Region::Region(HRGN) { SetStatus(NotImplemented); }

Region::~Region()
{
    if (nativeRegion) DllExports::GdipDeleteRegion(nativeRegion);
}

Region* Region::FromHRGN(HRGN hRgn) { return new Region(hRgn); }

Region* Region::Clone() const
{
    DllExports::GpRegion* copy = nullptr;
    if (SetStatus(DllExports::GdipCloneRegion(nativeRegion, &copy)) != Ok) return nullptr;
    auto* region = new Region();
    if (region->nativeRegion) DllExports::GdipDeleteRegion(region->nativeRegion);
    region->nativeRegion = copy;
    region->mayBePath = mayBePath;
    region->shape = shape;
    return region;
}

Status Region::MakeInfinite()
{
    mayBePath = false;
    shape = PlainShape(RegionShape::Kind::Infinite);
    return SetStatus(DllExports::GdipSetInfinite(nativeRegion));
}

Status Region::MakeEmpty()
{
    mayBePath = false;
    shape = PlainShape(RegionShape::Kind::Empty);
    return SetStatus(DllExports::GdipSetEmpty(nativeRegion));
}

UINT Region::GetDataSize() const
{
    if (shape) return RegionShapeDataSize(*shape);
    UINT size = 0;
    SetStatus(DllExports::GdipGetRegionDataSize(nativeRegion, &size));
    return size;
}

Status Region::GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled) const
{
    if (!shape) return SetStatus(DllExports::GdipGetRegionData(nativeRegion, buffer, bufferSize, sizeFilled));
    if (!buffer) return SetStatus(InvalidParameter);
    const UINT size = RegionShapeDataSize(*shape);
    if (bufferSize < size) return SetStatus(InsufficientBuffer);
    WriteRegionShape(*shape, buffer);
    if (sizeFilled) *sizeFilled = size;
    return Ok;
}

UINT Region::RectangleCount() const
{
    Matrix identity;
    UINT count = 0;
    if (DllExports::GdipGetRegionScansCount(nativeRegion, &count, identity.NativeMatrix()) != Ok) return 0;
    return count;
}

bool Region::RectanglesFit(UINT otherRectangles) const
{
    if (mayBePath) return true;
    return otherRectangles <= kMaxRectangles && RectangleCount() <= kMaxRectangles - otherRectangles;
}

Status Region::CombineRectangles(DllExports::GpRegion* other, CombineMode mode)
{
    return SetStatus(CombineRectangleRegions(&nativeRegion, other, mode));
}

Status Region::Combine(const RectF& rect, CombineMode mode)
{
    if (mode != CombineModeReplace && !RectanglesFit(1)) return SetStatus(OutOfMemory);
    if (mode == CombineModeReplace) mayBePath = false;
    Status status = Ok;
    if ((mode == CombineModeXor || mode == CombineModeComplement) && !mayBePath) {
        Region other(rect);
        status = other.GetLastStatus();
        if (status == Ok) status = CombineRectangles(other.nativeRegion, mode);
    } else {
        status = SetStatus(DllExports::GdipCombineRegionRect(nativeRegion, &rect, mode));
    }
    if (status == Ok) shape = CombinedShape(mode, shape, RectShape(rect));
    return status;
}

Status Region::Combine(const GraphicsPath* path, CombineMode mode)
{
    if (!path) return SetStatus(InvalidParameter);
    mayBePath = true;
    const Status status = SetStatus(DllExports::GdipCombineRegionPath(nativeRegion, path->NativePath(), mode));
    if (status == Ok) shape = CombinedShape(mode, shape, PathShape(*path));
    return status;
}

Status Region::Combine(const Region* region, CombineMode mode)
{
    if (!region) return SetStatus(InvalidParameter);
    if (mode != CombineModeReplace && !region->mayBePath && !RectanglesFit(region->RectangleCount()))
        return SetStatus(OutOfMemory);
    const bool rectangles = !region->mayBePath && !mayBePath;
    mayBePath = region->mayBePath || (mode != CombineModeReplace && mayBePath);
    const Status status =
        rectangles ? CombineRectangles(region->nativeRegion, mode)
                   : SetStatus(DllExports::GdipCombineRegionRegion(nativeRegion, region->nativeRegion, mode));
    if (status == Ok) shape = CombinedShape(mode, shape, region->shape);
    return status;
}

Status Region::Intersect(const Rect& rect) { return Combine(ToRectF(rect), CombineModeIntersect); }
Status Region::Intersect(const RectF& rect) { return Combine(rect, CombineModeIntersect); }
Status Region::Intersect(const GraphicsPath* path) { return Combine(path, CombineModeIntersect); }
Status Region::Intersect(const Region* region) { return Combine(region, CombineModeIntersect); }
Status Region::Union(const Rect& rect) { return Combine(ToRectF(rect), CombineModeUnion); }
Status Region::Union(const RectF& rect) { return Combine(rect, CombineModeUnion); }
Status Region::Union(const GraphicsPath* path) { return Combine(path, CombineModeUnion); }
Status Region::Union(const Region* region) { return Combine(region, CombineModeUnion); }
Status Region::Xor(const Rect& rect) { return Combine(ToRectF(rect), CombineModeXor); }
Status Region::Xor(const RectF& rect) { return Combine(rect, CombineModeXor); }
Status Region::Xor(const GraphicsPath* path) { return Combine(path, CombineModeXor); }
Status Region::Xor(const Region* region) { return Combine(region, CombineModeXor); }
Status Region::Exclude(const Rect& rect) { return Combine(ToRectF(rect), CombineModeExclude); }
Status Region::Exclude(const RectF& rect) { return Combine(rect, CombineModeExclude); }
Status Region::Exclude(const GraphicsPath* path) { return Combine(path, CombineModeExclude); }
Status Region::Exclude(const Region* region) { return Combine(region, CombineModeExclude); }
Status Region::Complement(const Rect& rect) { return Combine(ToRectF(rect), CombineModeComplement); }
Status Region::Complement(const RectF& rect) { return Combine(rect, CombineModeComplement); }
Status Region::Complement(const GraphicsPath* path) { return Combine(path, CombineModeComplement); }
Status Region::Complement(const Region* region) { return Combine(region, CombineModeComplement); }

Status Region::Translate(REAL dx, REAL dy)
{
    const Status status = SetStatus(DllExports::GdipTranslateRegion(nativeRegion, dx, dy));
    const REAL move[6] = {1, 0, 0, 1, dx, dy};
    if (status == Ok) shape = MappedShape(shape, move);
    return status;
}

Status Region::Translate(INT dx, INT dy) { return Translate(static_cast<REAL>(dx), static_cast<REAL>(dy)); }

Status Region::Transform(const Matrix* matrix)
{
    if (!matrix) return SetStatus(InvalidParameter);
    mayBePath = true;
    REAL m[6] = {};
    const Status status = SetStatus(DllExports::GdipTransformRegion(nativeRegion, matrix->NativeMatrix()));
    if (status == Ok) shape = matrix->GetElements(m) == Ok ? MappedShape(shape, m) : nullptr;
    return status;
}

Status Region::GetBounds(RectF* rect, const Graphics* g) const
{
    return SetStatus(DllExports::GdipGetRegionBounds(nativeRegion, NativeOf(g), rect));
}

Status Region::GetBounds(Rect* rect, const Graphics* g) const
{
    if (!rect) return SetStatus(InvalidParameter);
    RectF bounds;
    Status status = GetBounds(&bounds, g);
    if (status != Ok) return status;
    INT left = static_cast<INT>(std::floor(bounds.X)), top = static_cast<INT>(std::floor(bounds.Y));
    *rect = Rect(left, top, static_cast<INT>(std::ceil(bounds.X + bounds.Width)) - left,
                 static_cast<INT>(std::ceil(bounds.Y + bounds.Height)) - top);
    return Ok;
}

HRGN Region::GetHRGN(const Graphics*) const
{
    SetStatus(NotImplemented);
    return nullptr;
}

// libgdiplus answers without a context; GDI+ requires one (InvalidParameter without).
BOOL Region::Query(Status (*ask)(DllExports::GpRegion*, DllExports::GpGraphics*, BOOL*), const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(g ? ask(nativeRegion, NativeOf(g), &result) : InvalidParameter);
    return result;
}

BOOL Region::IsEmpty(const Graphics* g) const { return Query(DllExports::GdipIsEmptyRegion, g); }

BOOL Region::IsInfinite(const Graphics* g) const { return Query(DllExports::GdipIsInfiniteRegion, g); }

BOOL Region::Equals(const Region* region, const Graphics* g) const
{
    BOOL result = FALSE;
    if (!region || !g)
        SetStatus(InvalidParameter);
    else
        SetStatus(DllExports::GdipIsEqualRegion(nativeRegion, region->nativeRegion, NativeOf(g), &result));
    return result;
}

BOOL Region::IsVisible(REAL x, REAL y, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionPoint(nativeRegion, x, y, NativeOf(g), &result));
    return result;
}

BOOL Region::IsVisible(INT x, INT y, const Graphics* g) const
{
    return IsVisible(static_cast<REAL>(x), static_cast<REAL>(y), g);
}

BOOL Region::IsVisible(const Point& point, const Graphics* g) const { return IsVisible(point.X, point.Y, g); }

BOOL Region::IsVisible(const PointF& point, const Graphics* g) const { return IsVisible(point.X, point.Y, g); }

BOOL Region::IsVisible(REAL x, REAL y, REAL width, REAL height, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionRect(nativeRegion, x, y, width, height, NativeOf(g), &result));
    return result;
}

BOOL Region::IsVisible(INT x, INT y, INT width, INT height, const Graphics* g) const
{
    return IsVisible(ToRectF(Rect(x, y, width, height)), g);
}

BOOL Region::IsVisible(const Rect& rect, const Graphics* g) const { return IsVisible(ToRectF(rect), g); }

BOOL Region::IsVisible(const RectF& rect, const Graphics* g) const
{
    return IsVisible(rect.X, rect.Y, rect.Width, rect.Height, g);
}

UINT Region::GetRegionScansCount(const Matrix* matrix) const
{
    UINT count = 0;
    if (!matrix)
        SetStatus(InvalidParameter);
    else
        SetStatus(DllExports::GdipGetRegionScansCount(nativeRegion, &count, matrix->NativeMatrix()));
    return count;
}

Status Region::GetRegionScans(const Matrix* matrix, RectF* rects, INT* count) const
{
    if (!matrix) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipGetRegionScans(nativeRegion, rects, count, matrix->NativeMatrix()));
}

Status Region::GetRegionScans(const Matrix* matrix, Rect* rects, INT* count) const
{
    if (!matrix) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipGetRegionScansI(nativeRegion, rects, count, matrix->NativeMatrix()));
}

// Graphics: clipping to regions.

Status Graphics::SetClip(const Region* region, CombineMode combineMode)
{
    if (!region) return SetStatus(InvalidParameter);
    return KeptInContainer(
        SetStatus(DllExports::GdipSetClipRegion(nativeGraphics, region->NativeRegion(), combineMode)));
}

Status Graphics::SetClip(const Graphics* g, CombineMode combineMode)
{
    if (!g) return SetStatus(InvalidParameter);
    return KeptInContainer(SetStatus(DllExports::GdipSetClipGraphics(nativeGraphics, g->nativeGraphics, combineMode)));
}

Status Graphics::SetClip(HRGN, CombineMode) { return SetStatus(NotImplemented); }

Status Graphics::IntersectClip(const Rect& rect) { return SetClip(rect, CombineModeIntersect); }
Status Graphics::IntersectClip(const RectF& rect) { return SetClip(rect, CombineModeIntersect); }
Status Graphics::IntersectClip(const Region* region) { return SetClip(region, CombineModeIntersect); }
Status Graphics::ExcludeClip(const Rect& rect) { return SetClip(rect, CombineModeExclude); }
Status Graphics::ExcludeClip(const RectF& rect) { return SetClip(rect, CombineModeExclude); }
Status Graphics::ExcludeClip(const Region* region) { return SetClip(region, CombineModeExclude); }

Status Graphics::TranslateClip(REAL dx, REAL dy)
{
    return KeptInContainer(SetStatus(DllExports::GdipTranslateClip(nativeGraphics, dx, dy)));
}

Status Graphics::TranslateClip(INT dx, INT dy) { return TranslateClip(static_cast<REAL>(dx), static_cast<REAL>(dy)); }

Status Graphics::GetClip(Region* region) const
{
    if (!region) return SetStatus(InvalidParameter);
    region->mayBePath = true;
    region->shape.reset();  // the engine's clip is described by the engine's data
    return SetStatus(DllExports::GdipGetClip(nativeGraphics, region->NativeRegion()));
}

Status Graphics::GetClipBounds(Rect* rect) const
{
    if (!rect) return SetStatus(InvalidParameter);
    RectF bounds;
    Status status = GetClipBounds(&bounds);
    if (status == Ok) *rect = RoundedRect(bounds);
    return status;
}

Status Graphics::GetVisibleClipBounds(RectF* rect) const
{
    return SetStatus(DllExports::GdipGetVisibleClipBounds(nativeGraphics, rect));
}

Status Graphics::GetVisibleClipBounds(Rect* rect) const
{
    if (!rect) return SetStatus(InvalidParameter);
    RectF bounds;
    Status status = GetVisibleClipBounds(&bounds);
    if (status == Ok) *rect = RoundedRect(bounds);
    return status;
}

BOOL Graphics::IsClipEmpty() const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsClipEmpty(nativeGraphics, &result));
    return result;
}

BOOL Graphics::IsVisibleClipEmpty() const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleClipEmpty(nativeGraphics, &result));
    return result;
}

BOOL Graphics::IsVisible(REAL x, REAL y) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisiblePoint(nativeGraphics, x, y, &result));
    return result;
}

BOOL Graphics::IsVisible(INT x, INT y) const { return IsVisible(static_cast<REAL>(x), static_cast<REAL>(y)); }
BOOL Graphics::IsVisible(const Point& point) const { return IsVisible(point.X, point.Y); }
BOOL Graphics::IsVisible(const PointF& point) const { return IsVisible(point.X, point.Y); }

BOOL Graphics::IsVisible(REAL x, REAL y, REAL width, REAL height) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRect(nativeGraphics, x, y, width, height, &result));
    return result;
}

BOOL Graphics::IsVisible(INT x, INT y, INT width, INT height) const
{
    return IsVisible(ToRectF(Rect(x, y, width, height)));
}
BOOL Graphics::IsVisible(const Rect& rect) const { return IsVisible(ToRectF(rect)); }
BOOL Graphics::IsVisible(const RectF& rect) const { return IsVisible(rect.X, rect.Y, rect.Width, rect.Height); }

Status Graphics::FillRegion(const Brush* brush, const Region* region)
{
    if (!brush || !region) return SetStatus(InvalidParameter);
    if (FillRegionByLayer(brush, region)) return SetStatus(Ok);
    return SetStatus(DllExports::GdipFillRegion(nativeGraphics, brush->NativeBrush(), region->NativeRegion()));
}

}  // namespace Gdiplus
