// The figures of a fill or an outline carried from world coordinates to device pixels for the layer's own
// rasteriser (GdiplusAntialiased.cpp): through the world transform (with the page scale the layer applies
// in it), then cut to a band around the canvas, so that no point far off it reaches the coverage stage.
#pragma once

#include <vector>

#include "Coverage.h"

namespace Gdiplus {

// An affine map in GDI+'s row-vector order: (x, y) goes to (x m11 + y m21 + dx, x m12 + y m22 + dy).
struct DeviceMap {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    bool IsIdentity() const { return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0; }
    // Scales, mirrors and quarter turns keep a rectangle's sides along the axes.
    bool KeepsAxes() const { return (m12 == 0 && m21 == 0) || (m11 == 0 && m22 == 0); }
    // How much the map scales every length, when it scales them all alike (turns and mirrors included); 0
    // when it stretches some directions more than others.
    double UniformScale() const;
    PointF Apply(const PointF& p) const;
};

// The inverse map; false when the map flattens the plane or holds values that are not numbers.
bool InvertMap(const DeviceMap& map, DeviceMap* inverse);

// The points carried to the device; as they are under the identity map, so that untransformed figures keep
// exactly their coordinates.
std::vector<PointF> ToDevice(const DeviceMap& map, const PointF* points, INT count);

// Cuts every polygon that reaches outside the band to it: a part outside is moved onto the band's side it
// lies beyond, so that every point inside the band keeps its winding number, whatever the fill rule.
// Polygons inside the band stay as they are. False when a point is not a finite number.
bool CutToBand(std::vector<Polygon>* polygons, const RectF& band);

// The band figures are cut to: a bitmap of the size and a margin around it.
RectF BandAround(INT width, INT height);

// The pixels of a width x height bitmap that the polygons (cut to its band) reach.
Rect PixelBounds(const std::vector<Polygon>& polygons, INT width, INT height);

}  // namespace Gdiplus
