// What a shape member makes of its input before anything is drawn: a shape GDI+ draws nothing of (no
// area, no points, not-a-number coordinates, no pen or brush) is answered here, by the layer, and never
// reaches the engine, whatever the surface.
#pragma once

#include <cmath>

#include "../Gdiplus.h"

namespace Gdiplus {

/// A shape's input: drawable, drawing nothing (answered Ok) or refused (answered InvalidParameter).
enum class ShapeInput { Drawable, Empty, Invalid };

inline bool FinitePoint(const PointF& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }
inline bool FinitePoint(const Point&) { return true; }

/// Points given to a line, polygon or curve member: refused when missing, fewer than `least`, or not all
/// numbers.
template <typename P> ShapeInput PointsInput(const P* points, INT count, INT least)
{
    if (!points || count < least || count <= 0) return ShapeInput::Invalid;
    for (INT i = 0; i < count; ++i)
        if (!FinitePoint(points[i])) return ShapeInput::Invalid;
    return ShapeInput::Drawable;
}

/// Points given to a fill: refused when missing or not numbers, nothing to fill with fewer than three.
template <typename P> ShapeInput AreaInput(const P* points, INT count)
{
    const ShapeInput input = PointsInput(points, count, 1);
    return input == ShapeInput::Drawable && count < 3 ? ShapeInput::Empty : input;
}

/// Whether a box's corner and sides are all numbers.
bool FiniteBox(REAL x, REAL y, REAL width, REAL height);
/// A rectangle's box: nothing to draw without area (a negative side included, as GDI+ draws it).
ShapeInput RectangleInput(REAL x, REAL y, REAL width, REAL height);
/// An ellipse's box: nothing to draw when a side has no length (a negative side mirrors the box).
ShapeInput EllipseInput(REAL x, REAL y, REAL width, REAL height);
/// An arc's or pie's box and angles: refused without area, as GDI+ refuses it; nothing to draw without sweep.
ShapeInput ArcInput(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
/// A path: refused when missing or holding a point that is not a number, nothing to draw when empty.
ShapeInput PathInput(const GraphicsPath* path);

inline bool Usable(const Pen* pen) { return pen && pen->NativePen(); }
inline bool Usable(const Brush* brush) { return brush && brush->NativeBrush(); }

/// The status for a shape that draws nothing, with no engine call: InvalidParameter without a context or
/// a usable pen or brush, or for refused input; Ok for empty input. False when the shape is drawable.
bool UndrawableShape(bool contextValid, bool toolUsable, ShapeInput input, Status* answer);

}  // namespace Gdiplus
