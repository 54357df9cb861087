// CFxPictor: a canvas that owns a 32-bit ARGB bitmap and a drawing context bound to it.
#pragma once

#include "gdiplus/Gdiplus.h"
#include "mfc/Afx.h"
#include "win/WinTypes.h"

class CFxPictor {
public:
    // Construction, lifetime and canvas-wide settings.
    CFxPictor();
    CFxPictor(HWND hWnd, int nWidth, int nHeight);
    ~CFxPictor();
    // A copy shares the other canvas's bitmap and drawing context, as assignment does.
    CFxPictor(const CFxPictor& other);
    CFxPictor& operator=(const CFxPictor& other);

    void Init(HWND hWnd, int nWidth, int nHeight);
    void Init(int nWidth, int nHeight);
    CSize GetSize();
    Gdiplus::Bitmap* GetBitmap();
    tagBITMAPINFO* GetBitmapInfo();
    void SetBitmap(Gdiplus::Bitmap* pBitmap);
    int ClipXYWH(int& x, int& y, int& w, int& h);
    void Clear(BYTE r, BYTE g, BYTE b, BYTE a);
    void Clear(Gdiplus::Color color);
    void SetSmoothModeHighQuility();
    void SetSmoothModeHighSpeed();
    void MatrixTransform(float m11, float m12, float m21, float m22, float dx, float dy);

    // Presenting to a device context.
    void UpdateGdi(CDC* pDC);
    void UpdateGdi(CDC* pDC, int x, int y);
    void UpdateGdi(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);
    void UpdateGdiPrint(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);

    // Loading images from files.
    int LoadImageW(CString strFile, int x, int y, int w, int h);
    CSize LoadImageW(CString strFile, float fScale);
    int LoadImageW(CString strFile, int nWidth, int nHeight);
    int LoadImageW(CString strFile, int dstX, int dstY, int srcX, int srcY, int srcW, int srcH);
    int LoadImageW(CString strFile, CRect rcDst, int srcX, int srcY, int srcW, int srcH);
    int LoadImageW(CString strFile, HWND hWnd, Gdiplus::RotateFlipType rotateFlip);
    int LoadImageW(CString strFile);

    // Loading images from resources.
    int LoadResource(long nResourceId);
    int LoadResource(int nFrame, long nResourceId);
    bool LoadBitmapFromPNG(unsigned int nResourceId, Gdiplus::Bitmap** ppBitmap, HINSTANCE hInstance);

    // JPEG export.
    int GetEncCLSID(const WCHAR* format, CLSID* pClsid);
    int GetEncCLSID(const wchar_t* format, CLSID* pClsid);
    void SaveJPG(CString strFile, unsigned long nQuality);

    // Clipboard and bitmap exchange.
    void CopyToClipBoard(int x, int y, int w, int h);
    void CopyFromClipBoard();
    void CopyFromBitmap(Gdiplus::Bitmap* pBitmap);
    void CopyFromImage(Gdiplus::Image* pImage);

    // Raw pixel access.
    void GetBits(BYTE* pBuffer, int x, int y, int w, int h);
    void SetBits(BYTE* pBuffer, int x, int y);

    // Colour keying, alpha and resampling.
    void SetColorToAlphaZero(BYTE r, BYTE g, BYTE b);
    void SetAlpha(BYTE alpha);
    void ReSampling(int nWidth, int nHeight, int nFitMode, BYTE r, BYTE g, BYTE b);

    // Cropping and rotation.
    void Crop(int x, int y, int w, int h);
    void Rotate90CW();
    void Rotate90CCW();
    void Rotate(float fAngle, int cx, int cy);
    void Rotate(float fAngle, int cx, int cy, int nUnused);
    void Rotate(CFxPictor* pDest, float fAngle);

    // Canvas-to-canvas copies; this canvas is the source, the argument the destination.
    void CopyToThis(CFxPictor* pDest);
    void CopyToThis(CFxPictor* pDest, int x, int y);
    void CopyToThis(CFxPictor* pDest, int x, int y, int w, int h);
    void CopyToThis(CFxPictor* pDest, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);
    void CopyToThisAlpha(CFxPictor* pDest, int x, int y, int w, int h, float fAlpha);

    // Lines, outlines and figures.
    void Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    void Line(int x1, int y1, int x2, int y2, Gdiplus::Color color, float fWidth);
    void Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth,
              Gdiplus::DashStyle dashStyle, Gdiplus::LineCap startCap, Gdiplus::LineCap endCap);
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, Gdiplus::Color color, int nWidth);
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth);
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth, int nDashStyle);
    void DrawPolygon(Gdiplus::GraphicsPath* pPath, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                     BYTE lineR, BYTE lineG, BYTE lineB);
    void WireRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    void WireRect(CRect* pRect, Gdiplus::Color color, float fWidth);
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow);
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow,
                  Gdiplus::DashStyle dashStyle);
    void WireRectEmboss(int x, int y, int w, int h, float fWidth, int nMode);
    void RectArrow(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    void Polygon(Gdiplus::Point* pPoints, BYTE a, BYTE r, BYTE g, BYTE b, int nCount);
    void Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, float fBorderWidth, int nBorder);
    void Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG, BYTE lineB,
                float fLineWidth);
    void Circle(int x, int y, int nDiameter, Gdiplus::Color fillColor, Gdiplus::Color lineColor, float fLineWidth);

    // Solid and pattern fills.
    void FillPattern(int nHatchStyle);
    void FillPatternRect(int x, int y, int w, int h, int nHatchStyle);
    void FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b);
    void FillRect(int x, int y, int w, int h, Gdiplus::Color color);
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b);
    void FillRect(CRect* pRect, Gdiplus::Color color);
    void FillRect(int x, int y, int w, int h, Gdiplus::Color fillColor, Gdiplus::Color borderColor);
    void FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused, int nPlus);

    // Gradient fills.
    void FillGradientRect(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    void FillGradientRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    void FillGradientRect(CRect* pRect, Gdiplus::Color color1, Gdiplus::Color color2);
    void FillGradientRect(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                          BYTE b2);
    void FillGradientRectH(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                           BYTE b2);
    void FillGradientRectH(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    void FillGradientRectHalf(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    void FillGradientRectHalf(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                              BYTE g2, BYTE b2);

    // Rounded rectangles.
    void GetRoundRectPath(Gdiplus::GraphicsPath* pPath, Gdiplus::Rect r, int nDiameter);
    void DrawRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius, int nThickness);
    void DrawRoundRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius, int nThickness);
    void FillRoundRect(CRect* pRect, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA, BYTE lineR,
                       BYTE lineG, BYTE lineB, int nRadius);
    void FillRoundRect(CRect* pRect, Gdiplus::Color fillColor, Gdiplus::Color lineColor, int nRadius);
    void FillRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius);
    void FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                       BYTE lineR, BYTE lineG, BYTE lineB, int nRadius);
    void FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                       BYTE lineR, BYTE lineG, BYTE lineB, int nLineWidth, int nRadius);
    void FillRoundRect(CRect* pRect, Gdiplus::Color color);
    void FillGradientRoundRectV(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2,
                                int nRadius);
    void FillGradientRoundRectV(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                                BYTE g2, BYTE b2, int nRadius);
    void FillUpSideRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius);
    void FillUpSideRoundRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2,
                             int nRadius);
    void RectRound(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nDiameter, int nLineWidth);
    void FillRectRound(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int n1, int n2, int n3);

    // Text at a point and measuring.
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText);
    void Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText);
    void Text(int x, int y, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText);
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, BYTE shadowA, BYTE shadowR, BYTE shadowG,
              BYTE shadowB, CString strFamily, CString strText, int nUnused);
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle);
    void Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText, float fAngle);
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle, int pivotX, int pivotY);
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              int nMirror, int nUnused);
    CRect GetTextSize(int nSize, CString strFamily, CString strText);
    CRect GetTextSize(int nSize, CString strFamily, CString strText, int nStyle);

    // Text in a rectangle.
    void Text(CRect rect, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle, int pivotX, int pivotY);
    void Text(CRect rect, int nSize, Gdiplus::Color color, int nStyle, Gdiplus::StringAlignment align,
              CString strFamily, CString strText);
    void TextFar(CRect rect, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText);

    // Outlined and effect text.
    void OutLineText(int x, int y, int nSize, int nPenWidth, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG,
                     BYTE lineB, CString strFamily, CString strText);
    void OutLineText(int x, int y, int nSize, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG, BYTE lineB,
                     CString strFamily, CString strText);
    void TextFx(int n1, int n2, int n3, int n4, float f1, Gdiplus::Color c1, Gdiplus::Color c2, Gdiplus::Color c3,
                Gdiplus::Color c4, Gdiplus::Color c5, int i1, int i2, int i3, int i4, int i5, int i6, int i7, int i8,
                int i9, Gdiplus::FontStyle fontStyle, CString str1, CString str2, CRect& rect);

    // Fields, in this order; assignment copies them as they stand.
    int m_nWidth;
    int m_nHeight;
    Gdiplus::Graphics* m_pGraphics;
    Gdiplus::Bitmap* m_pBitmap;
    BITMAPINFO m_BitmapInfo;
    HWND m_hWnd;

private:
    void Release();
    void Build(HWND hWnd, int nWidth, int nHeight);
};
