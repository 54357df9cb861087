// A memory device context: a pixel surface that drawing contexts can be made on with its HDC,
// and that can be read back and written to a file. It stands for a window's or a printer's device
// wherever there is no real one.
#pragma once

#include <memory>

#include "../gdiplus/Gdiplus.h"

class CMemoryDC {
public:
    // A width × height 32-bit premultiplied surface (the kind the layer draws on itself, as on a canvas) at
    // the given resolution (the screen's by default), filled with the background colour.
    CMemoryDC(int width, int height, Gdiplus::ARGB background = 0xFFFFFFFF, float dpi = 96.0f);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Gdiplus::Bitmap* Surface() const { return m_surface.get(); }

    // The surface pixel at (x, y) as 32-bit ARGB; 0 outside the surface.
    Gdiplus::ARGB Pixel(int x, int y) const;
    void Fill(Gdiplus::ARGB color);
    bool SavePng(const WCHAR* path) const;

private:
    int m_width;
    int m_height;
    std::unique_ptr<Gdiplus::Bitmap> m_surface;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
    HDC m_hDC = nullptr;
};

