// String format flags and tab stops.
#include "Gdiplus.h"

namespace Gdiplus {

Status StringFormat::SetFormatFlags(INT flags)
{
    return SetStatus(DllExports::GdipSetStringFormatFlags(nativeFormat, flags));
}

INT StringFormat::GetFormatFlags() const
{
    INT flags = 0;
    SetStatus(DllExports::GdipGetStringFormatFlags(nativeFormat, &flags));
    return flags;
}

Status StringFormat::SetTabStops(REAL firstTabOffset, INT count, const REAL* tabStops)
{
    return SetStatus(DllExports::GdipSetStringFormatTabStops(nativeFormat, firstTabOffset, count, tabStops));
}

INT StringFormat::GetTabStopCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetStringFormatTabStopCount(nativeFormat, &count));
    return count;
}

Status StringFormat::GetTabStops(INT count, REAL* firstTabOffset, REAL* tabStops) const
{
    return SetStatus(DllExports::GdipGetStringFormatTabStops(nativeFormat, count, firstTabOffset, tabStops));
}

}  // namespace Gdiplus
