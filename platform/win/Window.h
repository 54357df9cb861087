// Windows on this platform. A window owns the device context its client area is drawn through;
// a canvas built for the window takes its compatibility from that device.
#pragma once

#include "WinTypes.h"

struct HWND__ {
    HDC clientDC = nullptr;
};

// The device context of a window's client area, or null for no window or a window without one.
HDC GetWindowDC(HWND hwnd);
