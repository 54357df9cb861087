// Windows on this platform: top-level X11 windows with a small message queue (paint, size, close),
// in the shape of the Windows calls an application makes. A window owns the device context its
// client area is drawn through: the layer draws on a bitmap of the client area, shown on the window
// when a drawing context made from the device context is flushed or ends, and at EndPaint; a canvas
// built for the window takes its compatibility from it.
#pragma once

#include <cstdint>
#include <vector>

#include "WinBool.h"
#include "WinTypes.h"

// The client area as the layer draws it, shown on the X window (Window.cpp).
struct WindowSurface;

struct HWND__ {
    WindowSurface* client = nullptr;      // the client area's surface; null for a window without one
    bool clientDCHandedOut = false;       // GetWindowDC gave the client's device context to the application
    std::vector<WindowSurface*> retired;  // handed-out surfaces of earlier sizes, valid until the window goes
    void* display = nullptr;              // the X display connection
    unsigned long drawable = 0;           // the X window
    int width = 0;
    int height = 0;
    unsigned long deleteAtom = 0;
    bool paintPending = false;
};

#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010

struct MSG {
    HWND hwnd;
    UINT message;
    int width;  // client size, for WM_SIZE
    int height;
};

struct PAINTSTRUCT {
    HDC hdc;
    RECT rcPaint;
};

// Opens a top-level window with a client area of width × height on the display named by DISPLAY,
// shown and ready to paint. Null when no display can be opened, or for a side outside 1 to 32767,
// which X cannot take.
HWND CreateWindowW(const WCHAR* title, int width, int height);
BOOL DestroyWindow(HWND hwnd);
BOOL GetClientRect(HWND hwnd, RECT* rect);
// FALSE, changing nothing, for a side outside 1 to 32767.
BOOL SetWindowSize(HWND hwnd, int width, int height);

// Waits up to timeoutMs for the window's next message; FALSE when none came in time.
BOOL GetMessageW(MSG* msg, HWND hwnd, int timeoutMs);
BOOL InvalidateRect(HWND hwnd);

// The client area's device context for one paint; EndPaint shows what was drawn.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// The device context of a window's client area, or null for no window or a window without one. As in
// GDI, it stays valid until the window is destroyed, even after the window is resized.
HDC GetWindowDC(HWND hwnd);

// The client area's device context for the platform layer's own passing use; it is replaced when the
// window is resized.
HDC CurrentClientDC(HWND hwnd);

// Reads the client area back as 32-bit ARGB pixels, rows from the top; false when it cannot.
bool ReadWindowPixels(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height);
