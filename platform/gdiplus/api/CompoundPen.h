// Lines and rectangles drawn with a compound pen as GDI+ draws them: only the pen's bands.
#pragma once

#include "../Gdiplus.h"

namespace Gdiplus {

/// Draws the line band by band when the pen is a solid, undashed, centred compound pen with flat ends
/// (libgdiplus draws such a pen as one solid stroke); false, with nothing drawn, for any other pen.
bool DrawCompoundLine(Graphics& graphics, const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2, Status* status);
/// The same for a rectangle's outline, each band a rectangle of its own.
bool DrawCompoundRectangle(Graphics& graphics, const Pen* pen, const RectF& rect, Status* status);

}  // namespace Gdiplus
