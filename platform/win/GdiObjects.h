// GDI object handles. A bitmap handle (HBITMAP) is an engine bitmap of its own, made by
// Gdiplus::Bitmap::GetHBITMAP; deleting it disposes that bitmap.
#pragma once

#include "WinBool.h"
#include "WinTypes.h"

typedef void* HGDIOBJ;

// FALSE for a null handle.
BOOL DeleteObject(HGDIOBJ hObject);
