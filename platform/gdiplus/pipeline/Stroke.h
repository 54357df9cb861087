// The layer's stroker: flattened figures and a pen's shape in, polygons to fill by the nonzero rule out.
// Everything is worked in the figures' own units (world units when drawing, so that a transform that
// stretches or shears carries the whole outline, pen width included, to the device).
#pragma once

#include <vector>

#include "Coverage.h"
#include "Dash.h"
#include "../Gdiplus.h"

namespace Gdiplus {

/// How a pen strokes, lengths in the units of the figures it strokes.
struct StrokeStyle {
    double width = 1.0;
    LineCap startCap = LineCapFlat;
    LineCap endCap = LineCapFlat;
    DashCap dashCap = DashCapFlat;
    LineJoin join = LineJoinMiter;
    double miterLimit = 10.0;
    std::vector<double> dashes;  ///< dash and gap lengths in pen widths; empty when solid
    double dashOffset = 0.0;     ///< in pen widths
    double tolerance = 0.1;      ///< how far the lines of round joins and caps may stray from the circle
};

/// Appends the outline the pen covers along the figures, as polygons that turn alike (so that pieces
/// overlapping fill once by the nonzero rule). Open figures get the start and end caps, each dash its
/// dash caps, corners the pen's join. False, with nothing appended, when the outline would exceed a
/// bounded size (many millions of points or dashes).
bool StrokeFigures(const std::vector<StrokeFigure>& figures, const StrokeStyle& style, std::vector<Polygon>* out);

/// Appends the band an inset pen of the width covers inside each closed figure: the figure itself and its
/// outline moved inwards, turned against it. False, with nothing appended, when a figure is open or too
/// narrow for the width (the moved outline would fold over), or the outline would exceed a bounded size.
bool InsetBand(const std::vector<StrokeFigure>& figures, double width, LineJoin join, double miterLimit,
               double tolerance, std::vector<Polygon>* out);

/// The figure's points moved `distance` to the left of its direction (to the right when negative), its
/// corners joined as the pen's; a closed figure's side is one ring, an open one's a run from start to end.
/// False, with nothing appended, when the figure has no length. `throughCorner` tells whether an inner
/// corner came too close to the next for the moved segments to cross (the side then passes through it).
bool OffsetSide(const StrokeFigure& figure, double distance, LineJoin join, double miterLimit, double tolerance,
                std::vector<PointF>* side, bool* throughCorner);

/// Cuts `length` off the end of a figure's points (its end being its last point).
void TrimEnd(std::vector<PointF>* points, double length);
/// The polygon's signed area, positive when it turns clockwise on the device (y down).
double SignedArea(const Polygon& polygon);
/// How many points the polygons from index `from` on hold.
size_t PointsIn(const std::vector<Polygon>& polygons, size_t from);

}  // namespace Gdiplus
