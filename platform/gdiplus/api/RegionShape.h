// How a region was built (rectangles, paths, the whole plane, nothing, and their combinations), kept by
// the layer so that Region's data has GDI+'s layout: a tree of the operations, which libgdiplus flattens.
#pragma once

#include <memory>
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

struct RegionShape {
    enum class Kind { Rect, Path, Empty, Infinite, Combine };
    Kind kind = Kind::Infinite;
    RectF rect;                  // Rect
    std::vector<PointF> points;  // Path
    std::vector<BYTE> types;     // Path
    FillMode fillMode = FillModeAlternate;
    CombineMode mode = CombineModeReplace;  // Combine
    std::shared_ptr<const RegionShape> left, right;
    int nodes = 1;  // the nodes of the tree below and including this one
};

using RegionShapePtr = std::shared_ptr<const RegionShape>;

RegionShapePtr RectShape(const RectF& rect);
RegionShapePtr PathShape(const GraphicsPath& path);
RegionShapePtr PlainShape(RegionShape::Kind kind);
/// The combination of two described shapes (Replace gives the second), or nullptr when either is not
/// described or the tree would grow past 4096 nodes (its data is then the engine's).
RegionShapePtr CombinedShape(CombineMode mode, const RegionShapePtr& first, const RegionShapePtr& second);
/// The shape mapped by the matrix elements m; rectangles stay rectangles under scales and moves only.
RegionShapePtr MappedShape(const RegionShapePtr& shape, const REAL* m);

/// The bytes GDI+'s layout takes for the shape.
UINT RegionShapeDataSize(const RegionShape& shape);
/// Writes the shape in GDI+'s layout (header, checksum, tree) into buffer of RegionShapeDataSize bytes.
void WriteRegionShape(const RegionShape& shape, BYTE* buffer);
/// The shape GDI+'s layout describes, or nullptr when the bytes are not such a description.
RegionShapePtr ReadRegionShape(const BYTE* data, size_t size);
/// Combines two engine regions of rectangles into *region; xor, exclusion and complement go rectangle by
/// rectangle, which libgdiplus gets wrong for regions of several rectangles.
Status CombineRectangleRegions(DllExports::GpRegion** region, DllExports::GpRegion* other, CombineMode mode);
/// Builds an engine region for the shape (the caller deletes it).
Status BuildEngineRegion(const RegionShape& shape, DllExports::GpRegion** region);

}  // namespace Gdiplus
