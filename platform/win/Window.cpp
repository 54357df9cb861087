#include "Window.h"

#include <poll.h>

#include <memory>
#include <string>

#include "../gdiplus/api/DeviceContexts.h"
#include "../gdiplus/engine/GdiplusFlat.h"
#include "MemoryDC.h"
#include "../mfc/Afx.h"

// Xlib defines names such as Status as macros, so it comes after the engine's declarations.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

Display* DisplayOf(HWND hwnd) { return static_cast<Display*>(hwnd->display); }

struct EngineGraphicsDeleter {
    void operator()(Gdiplus::DllExports::GpGraphics* graphics) const
    {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
};

}  // namespace

// The client area at one size: the layer draws on a premultiplied bitmap (a memory device context, whose
// HDC the window hands out), which the engine's context on the X window copies onto the screen.
struct WindowSurface {
    // The screen goes after the bitmap, whose end makes its HDC gone, so nothing shows through it then.
    std::unique_ptr<Gdiplus::DllExports::GpGraphics, EngineGraphicsDeleter> screen;
    CMemoryDC bitmap;

    explicit WindowSurface(HWND hwnd) : bitmap(hwnd->width, hwnd->height, 0xFFFFFFFF)
    {
        // The engine reads the window's size when its context is made.
        Gdiplus::DllExports::GpGraphics* graphics = nullptr;
        if (Gdiplus::DllExports::GdipCreateFromXDrawable_linux(hwnd->drawable, hwnd->display, &graphics) != Gdiplus::Ok)
            return;
        screen.reset(graphics);
        Gdiplus::DllExports::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
        Gdiplus::ShowDeviceContextWith(bitmap.GetSafeHdc(), [this] { Show(); });
    }

    // Copies the bitmap onto the window; cairo holds the copy back until it is flushed.
    void Show()
    {
        if (!screen) return;
        Gdiplus::DllExports::GdipDrawImageRectI(screen.get(), bitmap.Surface()->NativeImage(), 0, 0, bitmap.Width(),
                                                bitmap.Height());
        Gdiplus::DllExports::GdipFlush(screen.get(), Gdiplus::FlushIntentionFlush);
    }
};

namespace {

// A surface for the client area as it is now; null when the engine cannot draw on the window.
WindowSurface* CreateClientSurface(HWND hwnd)
{
    std::unique_ptr<WindowSurface> surface(new WindowSurface(hwnd));
    return surface->screen && surface->bitmap.GetSafeHdc() ? surface.release() : nullptr;
}

// X takes window sides of 1 to 32767 pixels; a zero side makes Xlib end the process.
bool IsWindowSide(int side) { return side >= 1 && side <= 32767; }

// The client surface is replaced on a resize; one the application holds stays alive until the window goes.
void ReplaceClientSurface(HWND hwnd)
{
    if (hwnd->clientDCHandedOut)
        hwnd->retired.push_back(hwnd->client);
    else
        delete hwnd->client;
    hwnd->clientDCHandedOut = false;
    hwnd->client = CreateClientSurface(hwnd);
}

HDC ClientDC(HWND hwnd) { return hwnd && hwnd->client ? hwnd->client->bitmap.GetSafeHdc() : nullptr; }

void WaitForMap(HWND hwnd)
{
    XEvent event;
    do {
        XWindowEvent(DisplayOf(hwnd), hwnd->drawable, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    hwnd->paintPending = true;
}

bool WaitForEvent(Display* display, int timeoutMs)
{
    if (XPending(display)) return true;
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    return poll(&fd, 1, timeoutMs) > 0 && XPending(display);
}

// Turns one X event into a message; false for events the application does not see.
bool Translate(HWND hwnd, const XEvent& event, MSG* msg)
{
    msg->hwnd = hwnd;
    msg->width = hwnd->width;
    msg->height = hwnd->height;
    switch (event.type) {
    case Expose:
        if (event.xexpose.count != 0) return false;
        msg->message = WM_PAINT;
        return true;
    case ConfigureNotify:
        if (event.xconfigure.width == hwnd->width && event.xconfigure.height == hwnd->height) return false;
        hwnd->width = msg->width = event.xconfigure.width;
        hwnd->height = msg->height = event.xconfigure.height;
        ReplaceClientSurface(hwnd);
        msg->message = WM_SIZE;
        return true;
    case ClientMessage:
        if (static_cast<unsigned long>(event.xclient.data.l[0]) != hwnd->deleteAtom) return false;
        msg->message = WM_CLOSE;
        return true;
    default:
        return false;
    }
}

}  // namespace

HWND CreateWindowW(const WCHAR* title, int width, int height)
{
    if (!IsWindowSide(width) || !IsWindowSide(height)) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                        BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteAtom, 1);
    std::string name = CString(title).ToUtf8();
    XStoreName(display, window, name.c_str());

    HWND hwnd = new HWND__;
    hwnd->display = display;
    hwnd->drawable = window;
    hwnd->width = width;
    hwnd->height = height;
    hwnd->deleteAtom = deleteAtom;
    XMapWindow(display, window);
    WaitForMap(hwnd);
    hwnd->client = CreateClientSurface(hwnd);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    if (!hwnd || !hwnd->display) return FALSE;
    delete hwnd->client;
    for (WindowSurface* retired : hwnd->retired) delete retired;
    XDestroyWindow(DisplayOf(hwnd), hwnd->drawable);
    XCloseDisplay(DisplayOf(hwnd));
    delete hwnd;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!hwnd || !rect) return FALSE;
    *rect = RECT{0, 0, hwnd->width, hwnd->height};
    return TRUE;
}

BOOL SetWindowSize(HWND hwnd, int width, int height)
{
    if (!hwnd || !hwnd->display || !IsWindowSide(width) || !IsWindowSide(height)) return FALSE;
    XResizeWindow(DisplayOf(hwnd), hwnd->drawable, width, height);
    XFlush(DisplayOf(hwnd));
    return TRUE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, int timeoutMs)
{
    if (!hwnd || !hwnd->display || !msg) return FALSE;
    if (hwnd->paintPending) {
        hwnd->paintPending = false;
        *msg = MSG{hwnd, WM_PAINT, hwnd->width, hwnd->height};
        return TRUE;
    }
    while (WaitForEvent(DisplayOf(hwnd), timeoutMs)) {
        XEvent event;
        XNextEvent(DisplayOf(hwnd), &event);
        if (Translate(hwnd, event, msg)) return TRUE;
    }
    return FALSE;
}

BOOL InvalidateRect(HWND hwnd)
{
    if (!hwnd || !hwnd->display) return FALSE;
    hwnd->paintPending = true;
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint)
{
    if (!hwnd || !hwnd->display || !paint) return nullptr;
    paint->hdc = ClientDC(hwnd);
    paint->rcPaint = RECT{0, 0, hwnd->width, hwnd->height};
    return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    if (!hwnd || !hwnd->display || !paint) return FALSE;
    if (hwnd->client) hwnd->client->Show();
    XSync(DisplayOf(hwnd), False);
    return TRUE;
}

HDC GetWindowDC(HWND hwnd)
{
    if (!hwnd) return nullptr;
    hwnd->clientDCHandedOut = hwnd->client != nullptr;
    return ClientDC(hwnd);
}

HDC CurrentClientDC(HWND hwnd) { return ClientDC(hwnd); }

bool ReadWindowPixels(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height)
{
    if (!hwnd || !hwnd->display) return false;
    XSync(DisplayOf(hwnd), False);
    XImage* image = XGetImage(DisplayOf(hwnd), hwnd->drawable, 0, 0, hwnd->width, hwnd->height, AllPlanes, ZPixmap);
    if (!image) return false;
    width = hwnd->width;
    height = hwnd->height;
    pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = 0xFF000000u | (XGetPixel(image, x, y) & 0xFFFFFFu);
    XDestroyImage(image);
    return true;
}
