// Text measured as GDI+ measures it, by the layer (text/TextDraw.cpp).
#include "../Gdiplus.h"
#include "../GdiplusRegion.h"

namespace Gdiplus {

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               const StringFormat* format, RectF* boundingBox, INT* codepointsFitted,
                               INT* linesFilled) const
{
    // GDI+ refuses measuring into no box, and a missing string or font.
    if (!string || !font || !boundingBox) return SetStatus(InvalidParameter);
    return SetStatus(
        MeasureStringByLayer(string, length, font, layoutRect, format, boundingBox, codepointsFitted, linesFilled));
}

Status Graphics::MeasureCharacterRanges(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                        const StringFormat* stringFormat, INT regionCount, Region* regions) const
{
    if (!string || !font || !stringFormat || !regions || regionCount < 0) return SetStatus(InvalidParameter);
    const INT ranges = stringFormat->GetMeasurableCharacterRangeCount();
    if (regionCount < ranges) return SetStatus(InvalidParameter);
    for (INT i = 0; i < ranges; ++i)
        if (!regions[i].NativeRegion()) return SetStatus(InvalidParameter);
    return SetStatus(MeasureRangesByLayer(string, length, font, layoutRect, stringFormat, regions));
}

}  // namespace Gdiplus
