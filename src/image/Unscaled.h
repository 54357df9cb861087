// Pictures drawn one picture pixel to one canvas pixel.
#pragma once

#include "FxPictor.h"

namespace pictor {

// Draws the source rectangle with its top-left corner at (x, y), pixel for pixel whatever resolution
// the picture records. Graphics::DrawImage at a point sizes a picture by its resolution against the
// device's, as GDI+ does; naming a destination as large as the source keeps resolution out of it.
inline void DrawUnscaled(Gdiplus::Graphics* graphics, Gdiplus::Image* picture, int x, int y, int srcX, int srcY,
                         int srcW, int srcH)
{
    if (graphics)
        graphics->DrawImage(picture, Gdiplus::Rect(x, y, srcW, srcH), srcX, srcY, srcW, srcH, Gdiplus::UnitPixel,
                            nullptr);
}

}  // namespace pictor
