// The demo in a window: a canvas built for the window at its client size, painted in the paint
// handler with UpdateGdi and rebuilt at the new client size when the window is resized.
#include <chrono>
#include <cstdio>
#include <vector>

#include "Demo.h"
#include "win/MemoryDC.h"
#include "win/Window.h"

namespace {

// Writes the window's client area as a PNG file, to see what the window showed.
bool SaveScreenshot(HWND hwnd, const std::string& path)
{
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!ReadWindowPixels(hwnd, pixels, width, height)) return false;
    Gdiplus::Bitmap shot(width, height, width * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()));
    CLSID png;
    return Gdiplus::FindImageEncoder(u"image/png", &png) && shot.Save(CString(path.c_str()), &png) == Gdiplus::Ok;
}

}  // namespace

bool RunWindow(const std::string& picturePath, double seconds, const std::string& screenshotPath)
{
    CFxPictor picture;
    if (!picture.LoadImageW(CString(picturePath.c_str()), 240, 180))
        std::fprintf(stderr, "no picture for the window frame: cannot read %s\n", picturePath.c_str());

    HWND hwnd = CreateWindowW(u"PICTOR demo", kPageWidth, kPageHeight);
    if (!hwnd) return false;

    CFxPictor canvas(hwnd, kPageWidth, kPageHeight);
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

    bool open = true;
    int paints = 0;
    while (open && (seconds <= 0 || elapsed() < seconds)) {
        MSG msg;
        if (!GetMessageW(&msg, hwnd, 100)) continue;
        switch (msg.message) {
        case WM_SIZE:
            canvas.Init(msg.width, msg.height);
            InvalidateRect(hwnd);
            break;
        case WM_PAINT: {
            DrawFrame(canvas, picture);
            PAINTSTRUCT paint;
            CDC dc(BeginPaint(hwnd, &paint));
            canvas.UpdateGdi(&dc);
            EndPaint(hwnd, &paint);
            ++paints;
            break;
        }
        case WM_CLOSE:
            open = false;
            break;
        }
    }
    if (!screenshotPath.empty()) {
        if (SaveScreenshot(hwnd, screenshotPath))
            std::printf("wrote %s after %d paints\n", screenshotPath.c_str(), paints);
        else
            std::fprintf(stderr, "could not write %s\n", screenshotPath.c_str());
    }
    DestroyWindow(hwnd);
    return true;
}
