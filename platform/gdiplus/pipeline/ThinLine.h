// GDI+'s lines for aliased pens no wider than a device pixel: one pixel across whatever the slope. Each
// segment becomes a parallelogram one pixel tall (one pixel wide where the segment is steep), so that the
// centre rule (AliasedCoverage.h) takes exactly one pixel of each column (row) the segment spans: the
// pixels from its start's up to its end's, which the next segment takes (an open figure's last point, and
// a dash that ends there, take it themselves).
#pragma once

#include <vector>

#include "Coverage.h"
#include "Dash.h"

namespace Gdiplus {

/// Appends the thin lines along the figures (device pixels), cut into dashes first when `pattern` (dash
/// and gap lengths in pixels) is not empty, the pattern moved back by `offset` pixels. Every polygon turns
/// alike, so that overlapping pieces fill once by the nonzero rule. False, with nothing appended, when the
/// lines would exceed a bounded size.
bool ThinLines(const std::vector<StrokeFigure>& figures, const std::vector<double>& pattern, double offset,
               std::vector<Polygon>* out);

}  // namespace Gdiplus
