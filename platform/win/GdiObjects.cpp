#include "GdiObjects.h"

#include "../gdiplus/engine/GdiplusFlat.h"

BOOL DeleteObject(HGDIOBJ hObject)
{
    if (!hObject) return FALSE;
    return Gdiplus::DllExports::GdipDisposeImage(static_cast<Gdiplus::DllExports::GpImage*>(hObject)) == Gdiplus::Ok
               ? TRUE
               : FALSE;
}
