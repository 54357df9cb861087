// Region: an area of the plane built from rectangles and paths, for clipping, filling and hit-testing.
#pragma once

#include <memory>

#include "engine/GdiplusFlat.h"

namespace Gdiplus {

struct RegionShape;

class Region : public GdiplusBase, public StatusKeeper {
public:
    /// The infinite region: the whole plane.
    Region();
    /// The area of the rectangle (one of negative width or height is empty, as in GDI+).
    explicit Region(const RectF& rect);
    explicit Region(const Rect& rect);
    /// The inside of the path, by its fill mode.
    explicit Region(const GraphicsPath* path);
    /// The region described by data from GetData of size bytes.
    Region(const BYTE* regionData, INT size);
    /// A region from a GDI region handle: there are no GDI regions here, so the status is NotImplemented.
    explicit Region(HRGN hRgn);
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    /// A region from a GDI region handle (the caller deletes it); its status is NotImplemented here.
    static Region* FromHRGN(HRGN hRgn);
    /// A new, independent copy (the caller deletes it); nullptr when it could not be made.
    Region* Clone() const;

    /// Makes the region the whole plane.
    Status MakeInfinite();
    /// Makes the region empty.
    Status MakeEmpty();

    /// The number of bytes GetData writes.
    UINT GetDataSize() const;
    /// Writes the region's description into the buffer in GDI+'s layout (the tree of rectangles, paths
    /// and combinations it was built from); sizeFilled, when given, receives the bytes written.
    Status GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled = nullptr) const;

    /// Keeps only what the region and the argument share.
    Status Intersect(const Rect& rect);
    Status Intersect(const RectF& rect);
    Status Intersect(const GraphicsPath* path);
    Status Intersect(const Region* region);
    /// Adds the argument's area.
    Status Union(const Rect& rect);
    Status Union(const RectF& rect);
    Status Union(const GraphicsPath* path);
    Status Union(const Region* region);
    /// Keeps what lies in exactly one of the region and the argument.
    Status Xor(const Rect& rect);
    Status Xor(const RectF& rect);
    Status Xor(const GraphicsPath* path);
    Status Xor(const Region* region);
    /// Removes the argument's area.
    Status Exclude(const Rect& rect);
    Status Exclude(const RectF& rect);
    Status Exclude(const GraphicsPath* path);
    Status Exclude(const Region* region);
    /// Becomes the part of the argument outside the region.
    Status Complement(const Rect& rect);
    Status Complement(const RectF& rect);
    Status Complement(const GraphicsPath* path);
    Status Complement(const Region* region);

    /// Moves the region by the offsets.
    Status Translate(REAL dx, REAL dy);
    Status Translate(INT dx, INT dy);
    /// Maps the region through the matrix.
    Status Transform(const Matrix* matrix);

    /// The box around the region, in the world coordinates of the drawing context.
    Status GetBounds(RectF* rect, const Graphics* g) const;
    /// The box around the region, rounded outwards to whole units.
    Status GetBounds(Rect* rect, const Graphics* g) const;
    /// A GDI region handle: there are no GDI regions here, so nullptr with NotImplemented.
    HRGN GetHRGN(const Graphics* g) const;

    /// True when the region holds no area (g is required, as in GDI+).
    BOOL IsEmpty(const Graphics* g) const;
    /// True when the region is the whole plane (g is required, as in GDI+).
    BOOL IsInfinite(const Graphics* g) const;
    /// True when the region holds the same area as the other (g is required, as in GDI+).
    BOOL Equals(const Region* region, const Graphics* g) const;

    /// True when the point lies in the region.
    BOOL IsVisible(INT x, INT y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const Point& point, const Graphics* g = nullptr) const;
    BOOL IsVisible(REAL x, REAL y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const PointF& point, const Graphics* g = nullptr) const;
    /// True when some part of the rectangle lies in the region.
    BOOL IsVisible(INT x, INT y, INT width, INT height, const Graphics* g = nullptr) const;
    BOOL IsVisible(const Rect& rect, const Graphics* g = nullptr) const;
    BOOL IsVisible(REAL x, REAL y, REAL width, REAL height, const Graphics* g = nullptr) const;
    BOOL IsVisible(const RectF& rect, const Graphics* g = nullptr) const;

    /// The number of rectangles that make up the region once mapped through the matrix.
    UINT GetRegionScansCount(const Matrix* matrix) const;
    /// The rectangles that make up the region once mapped through the matrix; rects holds at least
    /// GetRegionScansCount of them, and count receives how many were written.
    Status GetRegionScans(const Matrix* matrix, RectF* rects, INT* count) const;
    Status GetRegionScans(const Matrix* matrix, Rect* rects, INT* count) const;

    DllExports::GpRegion* NativeRegion() const { return nativeRegion; }

    /// The most rectangles a region built from rectangles may hold: libgdiplus combines such regions in
    /// time growing with the square of their rectangles (1000 one-pixel unions took a second, 10000 over
    /// a minute), so a combination whose operands together hold more is refused with OutOfMemory.
    static constexpr UINT kMaxRectangles = 1024;

private:
    friend class Graphics;
    // True when a rectangle combination of this region with one of the other's rectangles fits.
    bool RectanglesFit(UINT otherRectangles) const;
    UINT RectangleCount() const;
    Status Combine(const RectF& rect, CombineMode mode);
    // Exclusion, xor and complement of two regions of rectangles, which libgdiplus gets wrong.
    Status CombineRectangles(DllExports::GpRegion* other, CombineMode mode);
    Status Combine(const GraphicsPath* path, CombineMode mode);
    Status Combine(const Region* region, CombineMode mode);
    BOOL Query(Status (*ask)(DllExports::GpRegion*, DllExports::GpGraphics*, BOOL*), const Graphics* g) const;

    DllExports::GpRegion* nativeRegion = nullptr;
    // Whether the engine may hold the region as a path (then it combines through a mask, and counting
    // its rectangles would draw that mask): paths, data and transforms make it so.
    bool mayBePath = false;
    // How the region was built, for its data (null when not described: then the data are the engine's).
    std::shared_ptr<const RegionShape> shape;
};

}  // namespace Gdiplus
