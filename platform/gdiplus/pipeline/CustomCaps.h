// A pen's custom line caps (AdjustableArrowCap, CustomLineCap) for the layer's stroker: read from the pen, set on the
// ends of open figures in the figures' own units, the lines shortened by the cap's base inset.
#pragma once

#include <vector>

#include "Stroke.h"

namespace Gdiplus {

/// One end's custom cap, in cap units (pen widths times the width scale): the path (points and point
/// types) has its tip at the origin, the y axis pointing outwards along the line and the x axis to the
/// right of that direction.
struct CustomCapShape {
    bool present = false;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    bool filled = true;               ///< filled, or stroked with the pen
    double inset = 0;                 ///< how far the line stops short of its end, in pen widths
    double scale = 1;                 ///< the cap's size in pen widths
    LineCap baseCap = LineCapFlat;    ///< the line's own cap under the custom one
    LineCap strokeCap = LineCapFlat;  ///< the caps of the lines that stroke an outlined cap
    LineJoin strokeJoin = LineJoinMiter;
};

/// The custom caps at the start and the end of a pen's open figures.
struct CustomCaps {
    CustomCapShape start, end;
    bool Any() const { return start.present || end.present; }
};

/// Reads the pen's custom caps where `startCap` or `endCap` is LineCapCustom: arrows from the engine, the
/// paths of other caps from the pen's own copy. False when a cap cannot be read.
bool ReadCustomCaps(const Pen& pen, LineCap startCap, LineCap endCap, CustomCaps* caps);

/// Shortens each open figure at the ends that have a custom cap by the cap's base inset (at most half the
/// figure) and appends each cap's polygons, turned alike with the stroker's, for a pen of style.width in
/// the figures' units. False, with nothing appended, when the caps' outline cannot be made.
bool AddCustomCaps(const CustomCaps& caps, const StrokeStyle& style, std::vector<StrokeFigure>* figures,
                   std::vector<Polygon>* out);

}  // namespace Gdiplus
