// Compound pens: a pen whose compound array splits its width into bands with undrawn gaps between them.
#pragma once

#include <vector>

#include "Stroke.h"

namespace Gdiplus {

/// Appends the outline a compound pen covers along the figures, as polygons to fill by the nonzero rule.
/// Each band [a, b] of `bands` (pairs of fractions of the width, in order) is the region between the
/// figure moved (a - 0.5) * width and (b - 0.5) * width to the left of its direction as the stroker
/// measures it (`sense` -1 swaps the sides, for figures mirrored onto the device), its corners joined as
/// the pen's; a dashed pen's bands follow each dash. Caps (line caps at an open
/// figure's ends, dash caps at dash ends) are drawn once over the pen's full width, anchors at full size
/// as for a plain pen. A band inside corners too close together for its moved sides to cross is built
/// corner by corner. False, with nothing appended, for an empty pattern or an outline beyond a bounded
/// size.
bool CompoundStroke(const std::vector<StrokeFigure>& figures, const StrokeStyle& style,
                    const std::vector<double>& bands, double sense, std::vector<Polygon>* out);

}  // namespace Gdiplus
