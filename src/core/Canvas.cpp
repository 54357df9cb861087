// The canvas object: building, releasing, assignment, accessors and canvas-wide settings.
#include <cstring>

#include "FxPictor.h"
#include "SharedObjects.h"
#include "Wrapping.h"

CFxPictor::CFxPictor() : m_nWidth(0), m_nHeight(0), m_pGraphics(nullptr), m_pBitmap(nullptr), m_hWnd(nullptr)
{
    std::memset(&m_BitmapInfo, 0, sizeof(m_BitmapInfo));
}

CFxPictor::CFxPictor(HWND hWnd, int nWidth, int nHeight) : m_pGraphics(nullptr), m_pBitmap(nullptr)
{
    std::memset(&m_BitmapInfo, 0, sizeof(m_BitmapInfo));
    Build(hWnd, nWidth, nHeight);
}

CFxPictor::CFxPictor(const CFxPictor& other) : CFxPictor() { *this = other; }

CFxPictor::~CFxPictor() { Release(); }

void CFxPictor::Release()
{
    // The drawing context goes before the bitmap it draws into.
    if (m_pGraphics && pictor::DropHolder(m_pGraphics)) delete m_pGraphics;
    m_pGraphics = nullptr;
    if (m_pBitmap && pictor::DropHolder(m_pBitmap)) delete m_pBitmap;
    m_pBitmap = nullptr;
}

void CFxPictor::Build(HWND hWnd, int nWidth, int nHeight)
{
    Gdiplus::Graphics* windowGraphics = new Gdiplus::Graphics(hWnd);
    Attach(hWnd, nWidth, nHeight, new Gdiplus::Bitmap(nWidth, nHeight, windowGraphics));
    delete windowGraphics;
}

Gdiplus::Bitmap* CFxPictor::NewBitmap(int nWidth, int nHeight)
{
    Gdiplus::Graphics screen(static_cast<HWND>(nullptr));
    return new Gdiplus::Bitmap(nWidth, nHeight, &screen);
}

void CFxPictor::Attach(HWND hWnd, int nWidth, int nHeight, Gdiplus::Bitmap* pBitmap)
{
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_hWnd = hWnd;
    m_pBitmap = pBitmap;

    BITMAPINFOHEADER& header = m_BitmapInfo.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = nHeight;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    // Wraps like the 32-bit arithmetic it describes.
    header.biSizeImage = static_cast<DWORD>(static_cast<uint32_t>(nWidth) * static_cast<uint32_t>(nHeight) * 4u);

    m_pGraphics = new Gdiplus::Graphics(m_pBitmap);
}

void CFxPictor::Init(HWND hWnd, int nWidth, int nHeight)
{
    Release();
    Build(hWnd, nWidth, nHeight);
}

void CFxPictor::Init(int nWidth, int nHeight) { Init(m_hWnd, nWidth, nHeight); }

CFxPictor& CFxPictor::operator=(const CFxPictor& other)
{
    if (this == &other) return *this;
    // Whatever this canvas held is dropped, as the old objects simply stop being referred to here;
    // the shared ones gain a holder so that only the last canvas deletes them.
    Release();
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_pGraphics = other.m_pGraphics;
    m_pBitmap = other.m_pBitmap;
    m_BitmapInfo = other.m_BitmapInfo;
    m_hWnd = other.m_hWnd;
    pictor::AddHolder(m_pGraphics);
    pictor::AddHolder(m_pBitmap);
    return *this;
}

CSize CFxPictor::GetSize() { return CSize(m_nWidth, m_nHeight); }

Gdiplus::Bitmap* CFxPictor::GetBitmap() { return m_pBitmap; }

tagBITMAPINFO* CFxPictor::GetBitmapInfo() { return &m_BitmapInfo; }

void CFxPictor::SetBitmap(Gdiplus::Bitmap* pBitmap)
{
    if (!m_pBitmap || !pBitmap) return;
    m_pBitmap->AdoptImageOf(*pBitmap);
}

int CFxPictor::ClipXYWH(int& x, int& y, int& w, int& h)
{
    using pictor::WrapAdd, pictor::WrapSub;
    if (WrapAdd(x, w) >= m_nWidth) w = WrapSub(m_nWidth, x);
    if (x < 0) {
        w = WrapAdd(w, x);
        x = 0;
    }
    if (WrapAdd(y, h) >= m_nHeight) h = WrapSub(m_nHeight, y);
    if (y < 0) {
        h = WrapAdd(h, y);
        y = 0;
    }
    return (w >= 1 && h >= 1) ? 1 : 0;
}

void CFxPictor::Clear(BYTE r, BYTE g, BYTE b, BYTE a)
{
    Clear(Gdiplus::Color(a * 0x1000000u + r * 0x10000u + g * 0x100u + b));
}

void CFxPictor::Clear(Gdiplus::Color color)
{
    if (!m_pGraphics) return;
    m_pGraphics->Clear(color);
}

void CFxPictor::SetSmoothModeHighQuility()
{
    if (m_pGraphics) m_pGraphics->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
}

void CFxPictor::SetSmoothModeHighSpeed()
{
    if (m_pGraphics) m_pGraphics->SetSmoothingMode(Gdiplus::SmoothingModeHighSpeed);
}

void CFxPictor::MatrixTransform(float m11, float m12, float m21, float m22, float dx, float dy)
{
    if (!m_pGraphics) return;
    Gdiplus::Matrix matrix;
    matrix.SetElements(m11, m12, m21, m22, dx, dy);
    m_pGraphics->SetTransform(&matrix);
}
