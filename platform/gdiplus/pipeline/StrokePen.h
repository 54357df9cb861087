// A pen's outline along a path, in device pixels, for the layer's own anti-aliased drawing
// (GdiplusAntialiased.cpp): the pen read, the path flattened, stroked in world units by the stroker and
// carried to the device.
#pragma once

#include <vector>

#include "Coverage.h"
#include "DeviceFigure.h"

namespace Gdiplus {
class Pen;

/// The polygons (nonzero rule) a pen covers along the path given as points and types in world units, in
/// device pixels through the map, each point then moved by `offset`; the pen's colour (its paint when the
/// pen is of one colour: PenPaint gives the paint of any pen). Centred pens, and inset pens on paths whose
/// figures are all closed, of any brush, without compound lines or a transform of their own; custom caps
/// (AdjustableArrowCap, CustomLineCap) included.
/// False, having appended nothing, for any other pen or path, or when the outline would exceed a bounded size.
/// With `aliased`, a pen no wider than a device pixel gives GDI+'s one-pixel lines (ThinLine.h), for the
/// centre rule.
bool PenOutline(const Pen* pen, const DeviceMap& map, const PointF* points, const BYTE* types, INT count, PointF offset,
                std::vector<Polygon>* outline, ARGB* colour, bool aliased = false);

}  // namespace Gdiplus
