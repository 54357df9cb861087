// GDI+'s anchor caps (square, round, diamond, arrow) as one geometry shared by the stroker, the straight-line
// route and GraphicsPath::Widen, so that a widened path fills the pixels the pen draws.
#pragma once

#include <vector>

#include "../GdiplusTypes.h"

namespace Gdiplus {

/// A point of an anchor in the cap's own frame: `forward` out of the line past its end, `side` along the
/// left normal of that direction, the line's end at (0, 0).
struct AnchorPoint {
    double forward, side;
};

/// An anchor as a closed figure: its points and their PathPointType values (the round anchor is four
/// Béziers), in the order Windows lists them; empty for a cap that is not an anchor.
struct AnchorFigure {
    std::vector<AnchorPoint> points;
    std::vector<BYTE> types;
};

/// True for the square, round, diamond and arrow anchors.
bool IsAnchorCap(LineCap cap);

/// How far an anchor reaches from the line's end for a pen of the width: the width, never less than for a
/// pen two units wide.
double AnchorSize(double penWidth);

/// How far the line stops short of its end under the cap: one pen width under an arrow anchor, else 0.
double AnchorInset(LineCap cap, double penWidth);

/// The anchor reaching `size` from the line's end (an arrow has its tip on the end, its base
/// size * sqrt(3) back and 2 * size wide).
AnchorFigure AnchorShape(LineCap cap, double size);

/// The anchor as a polygon, Béziers flattened within `tolerance`, turning counter-clockwise in the
/// (forward, side) frame; empty for a cap that is not an anchor.
std::vector<AnchorPoint> AnchorPolygon(LineCap cap, double size, double tolerance);

/// The direction of a line's end for the caps there: a curve's exact `tangent` when one is given (not
/// (0, 0)) and heads the same way as `line`, the direction of the flattened lines that only come near it;
/// else `line` itself. Both are directions out of the line at that end; the result is a unit vector when
/// `line` is.
PointF EndDirection(PointF tangent, PointF line);

}  // namespace Gdiplus
