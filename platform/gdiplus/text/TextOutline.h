// Glyph outlines as path figures, for text the layer fills under a transform (TextDraw.cpp) and for
// GraphicsPath::AddString, so both share the geometry of every other shape.
#pragma once

#include <cstddef>
#include <vector>

#include "../GdiplusTypes.h"
#include "TextLayout.h"

namespace Gdiplus {

class StringFormat;
struct DeviceMap;

// The layout as text is laid out in it: false for NaN anywhere or an infinite corner; an infinite width or
// height becomes empty (no limit along that side, as GDI+ lays out an empty side).
bool UsableLayout(const RectF& layout, RectF* usable);

// True when the map flattens the plane (its determinant is 0) or is not finite: text under it draws nothing.
bool FlattensPlane(const DeviceMap& map);

// Lays the text out with the font at an em of `em` layout units, as DrawString lays it out (the format's
// flags, padding and alignment); false when the layer cannot lay it out as GDI+ does. `drawn`: an unwrapped
// line is laid out whole, for drawing to clip it, rather than cut after its last fitting character.
bool LayOutAtEm(const WCHAR* string, INT length, const LayerFont& layer, float em, const RectF& layoutRect,
                const StringFormat* format, LaidText* laid, bool drawn = false);

// Appends the outlines of the laid glyphs numbered in `which`, at the layout's em with each origin where it
// was laid, as closed figures of lines and cubic Béziers; false when FreeType cannot outline one.
bool GlyphOutlines(const LaidText& laid, const std::vector<size_t>& which, std::vector<PointF>* points,
                   std::vector<BYTE>* types);

// Appends the laid lines (an underlined or struck-out font's, shown hotkeys' underlines) as closed
// rectangles, kept to `clip` when given.
void UnderlineFigures(const LaidText& laid, const RectF* clip, std::vector<PointF>* points, std::vector<BYTE>* types);

}  // namespace Gdiplus
