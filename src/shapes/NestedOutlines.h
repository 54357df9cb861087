// The geometry of rounded outlines, and which of a run of nested ones can show on a canvas.
#pragma once

#include <optional>

#include "FxPictor.h"

namespace pictor {

// The boxes of the four corner arcs of a rounded outline, in drawing order, as the path is built.
struct CornerBoxes {
    Gdiplus::Rect topLeft, topRight, bottomRight, bottomLeft;
};

// Corner boxes of the rounded outline of r with corner diameter nDiameter (clamped to r's sides).
CornerBoxes RoundCorners(const Gdiplus::Rect& r, int nDiameter);

// Replaces the path's figures with the rounded outline through the corner boxes, closed.
void AddRoundOutline(Gdiplus::GraphicsPath& path, const CornerBoxes& corners);

// A rectangle of world coordinates, in doubles: outlines reach far beyond what floats hold exactly.
struct WorldBox {
    double left, top, right, bottom;
};

// The part of the world that can show on the canvas, widened by the reach of a one-pixel pen and of
// anti-aliasing; nothing when the context's transform cannot be inverted.
std::optional<WorldBox> VisibleWorld(CFxPictor& canvas);

// How many outlines, from this one on in a run inset by at most a pixel per side per outline, surely
// stay clear of the visible world: 0 when this one may touch it.
long long OutlinesClear(const CornerBoxes& corners, const WorldBox& visible);

}  // namespace pictor
