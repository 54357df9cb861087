// The path family's own geometry: paths read out as points and types, flattened, widened, warped and
// hit-tested in the layer (libgdiplus leaves Widen and Warp undone and offsets its hit tests).
#pragma once

#include <vector>

#include "../GdiplusTypes.h"
#include "../pipeline/CustomCaps.h"

namespace Gdiplus {
class GraphicsPath;
class Pen;

namespace PathExtra {

/// A path's points and their PathPointType values.
struct Outline {
    std::vector<PointF> points;
    std::vector<BYTE> types;
};

/// The points and types of the path (empty when it has none or cannot be read).
Outline ReadPath(const GraphicsPath& path);

/// The outline with every Bézier replaced by line segments within flatness of it.
Outline FlattenOutline(const Outline& outline, REAL flatness);

/// True when (x, y) is inside the flattened outline, by the nonzero rule or the even-odd rule.
bool Inside(const Outline& flat, REAL x, REAL y, bool winding);

/// How a pen strokes: its width (in the outline's units), caps, dash lengths (empty for solid), dash
/// offset and miter limit.
struct Stroke {
    REAL width = 1.0f;
    LineCap startCap = LineCapFlat;
    LineCap endCap = LineCapFlat;
    std::vector<REAL> dashes;
    REAL dashOffset = 0.0f;  // in widths
    REAL miterLimit = 10.0f;
    CustomCaps custom;  // the pen's custom caps where a cap is LineCapCustom
};

/// The pen's stroke (its width left for the caller to scale).
Stroke StrokeOf(const Pen& pen);

/// The outline of the flattened path stroked as given, as closed figures.
Outline WidenOutline(const Outline& flat, const Stroke& stroke);

/// Maps every point by the 2 x 3 matrix m (m11, m12, m21, m22, dx, dy).
void MapPoints(std::vector<PointF>& points, const REAL* m);

}  // namespace PathExtra
}  // namespace Gdiplus
