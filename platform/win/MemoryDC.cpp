#include "MemoryDC.h"

#include <string>
#include <vector>

CMemoryDC::CMemoryDC(int width, int height, Gdiplus::ARGB background, float dpi)
    : m_width(width), m_height(height), m_surface(new Gdiplus::Bitmap(width, height, PixelFormat32bppPARGB))
{
    m_surface->SetResolution(dpi, dpi);
    m_graphics.reset(new Gdiplus::Graphics(m_surface.get()));
    m_hDC = m_graphics->GetHDC();
    Fill(background);
}

CMemoryDC::~CMemoryDC()
{
    if (m_hDC) m_graphics->ReleaseHDC(m_hDC);
}

Gdiplus::ARGB CMemoryDC::Pixel(int x, int y) const
{
    Gdiplus::Color color(0u);
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    m_surface->GetPixel(x, y, &color);
    return color.GetValue();
}

void CMemoryDC::Fill(Gdiplus::ARGB color) { m_graphics->Clear(Gdiplus::Color(color)); }

bool CMemoryDC::SavePng(const WCHAR* path) const
{
    CLSID png;
    if (!Gdiplus::FindImageEncoder(u"image/png", &png)) return false;
    return m_surface->Save(path, &png, nullptr) == Gdiplus::Ok;
}
