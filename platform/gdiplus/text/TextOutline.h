// Glyph outlines as path figures, for text the layer fills under a transform (TextDraw.cpp) and for
// GraphicsPath::AddString, so both share the geometry of every other shape.
#pragma once

#include <cstddef>
#include <vector>

#include "../GdiplusTypes.h"
#include "TextLayout.h"

namespace Gdiplus {

class StringFormat;

// Lays the text out with the font at an em of `em` layout units, as DrawString lays it out (the format's
// flags, padding and alignment); false when the layer cannot lay it out as GDI+ does. `drawn`: an unwrapped
// line is laid out whole, for drawing to clip it, rather than cut after its last fitting character.
bool LayOutAtEm(const WCHAR* string, INT length, const LayerFont& layer, float em, const RectF& layoutRect,
                const StringFormat* format, LaidText* laid, bool drawn = false);

// Appends the outlines of the laid glyphs numbered in `which`, at the layout's em with each origin where it
// was laid, as closed figures of lines and cubic Béziers; false when FreeType cannot outline one.
bool GlyphOutlines(const LaidText& laid, const std::vector<size_t>& which, std::vector<PointF>* points,
                   std::vector<BYTE>* types);

}  // namespace Gdiplus
