/// @file
/// CFxPictor: a canvas that owns a 32-bit ARGB bitmap and a drawing context bound to it.
///
/// Conventions of every member: colours given as separate bytes are alpha, red, green, blue unless a
/// member says otherwise; four ints are x, y, width, height; a CRect is left, top, right, bottom; of two
/// rectangles the source comes first. Coordinates are canvas pixels from the top left. No member throws
/// or reports a platform failure: the failing object keeps its last status and the member goes on. The
/// drawing context keeps its smoothing, interpolation, page unit and world transform between calls (a
/// member that changes one says so); every Init starts afresh with the defaults.
#pragma once

#include "gdiplus/Gdiplus.h"
#include "mfc/Afx.h"
#include "win/WinTypes.h"

/// A drawing canvas: an off-screen 32-bit ARGB bitmap (`m_pBitmap`) with a drawing context (`m_pGraphics`).
class CFxPictor {
public:
    /// @name Construction, lifetime and canvas-wide settings
    ///@{

    /// An empty canvas: size 0 × 0, no bitmap, no drawing context; build it later with Init.
    CFxPictor();
    /// Builds a canvas of nWidth × nHeight for the window (null: the screen), with the window's resolution.
    /// The pixels are not cleared.
    CFxPictor(HWND hWnd, int nWidth, int nHeight);
    /// Deletes the bitmap and the drawing context (once, even when shared by a copy).
    ~CFxPictor();
    /// A copy shares the other canvas's bitmap and drawing context, as assignment does.
    CFxPictor(const CFxPictor& other);
    /// Copies the fields as they stand: both canvases then share one bitmap and one drawing context.
    CFxPictor& operator=(const CFxPictor& other);

    /// Releases the bitmap and drawing context and builds new ones of nWidth × nHeight for the window;
    /// the drawing context's settings return to the defaults.
    void Init(HWND hWnd, int nWidth, int nHeight);
    /// As Init(HWND, int, int), for the window stored by the last build.
    void Init(int nWidth, int nHeight);
    /// Returns the canvas size (width, height) as built; (0, 0) when empty.
    CSize GetSize();
    /// Returns the canvas bitmap itself (null when empty); the canvas keeps it, do not delete it.
    Gdiplus::Bitmap* GetBitmap();
    /// Returns the canvas's own 32-bit BITMAPINFO description (writable, lives as long as the canvas).
    tagBITMAPINFO* GetBitmapInfo();
    /// Makes the canvas's bitmap object designate pBitmap's image. Presentation, copies and pixel members
    /// then use that image; drawing still goes into the previous one. The canvas releases the image.
    void SetBitmap(Gdiplus::Bitmap* pBitmap);
    /// Clips the rectangle x, y, w, h (in and out) to the canvas; returns 1 when something is left, else 0.
    int ClipXYWH(int& x, int& y, int& w, int& h);
    /// Replaces every pixel with the colour given as red, green, blue, alpha (note the order), alpha
    /// included, whatever the world transform.
    void Clear(BYTE r, BYTE g, BYTE b, BYTE a);
    /// Replaces every pixel with the colour.
    void Clear(Gdiplus::Color color);
    /// Anti-aliased drawing from now on (SmoothingModeHighQuality), until the next Init.
    void SetSmoothModeHighQuility();
    /// Drawing without anti-aliasing from now on (SmoothingModeHighSpeed), until the next Init.
    void SetSmoothModeHighSpeed();
    /// Replaces the world transform with (m11, m12, m21, m22, dx, dy): a point (x, y) of later drawing lands
    /// at (m11·x + m21·y + dx, m12·x + m22·y + dy). It stays until changed or the next Init.
    void MatrixTransform(float m11, float m12, float m21, float m22, float dx, float dy);
    ///@}

    /// @name Presenting to a device context
    ///@{

    /// Draws the whole canvas on the device with its top-left corner at (0, 0), at its own size.
    void UpdateGdi(CDC* pDC);
    /// Draws the whole canvas on the device with its top-left corner at (x, y), at its own size.
    void UpdateGdi(CDC* pDC, int x, int y);
    /// Draws the canvas rectangle (srcX, srcY, srcW, srcH) scaled into the device rectangle
    /// (dstX, dstY, dstW, dstH).
    void UpdateGdi(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);
    /// As the scaled UpdateGdi, on a printer page at half scale (page unit pixels, page scale 0.5).
    void UpdateGdiPrint(CDC* pDC, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);
    ///@}

    /// @name Loading images from files
    /// Each returns 1 (or a size) once the file was decoded, 0 (or (0, 0)) when it could not be.
    ///@{

    /// Rebuilds the canvas at the picture's size (no window) and draws the picture scaled into (x, y, w, h).
    int LoadImageW(CString strFile, int x, int y, int w, int h);
    /// Rebuilds the canvas at the picture's size times fScale and draws the picture over all of it; returns
    /// the picture's own size.
    CSize LoadImageW(CString strFile, float fScale);
    /// Rebuilds the canvas at nWidth × nHeight and stretches the picture over all of it.
    int LoadImageW(CString strFile, int nWidth, int nHeight);
    /// Keeps the canvas and draws the picture's rectangle (srcX, srcY, srcW, srcH) unscaled at (dstX, dstY).
    int LoadImageW(CString strFile, int dstX, int dstY, int srcX, int srcY, int srcW, int srcH);
    /// Keeps the canvas and draws the picture's rectangle (srcX, srcY, srcW, srcH) scaled into a rectangle
    /// at the origin as wide and high as rcDst.
    int LoadImageW(CString strFile, CRect rcDst, int srcX, int srcY, int srcW, int srcH);
    /// Turns or flips the picture, rebuilds the canvas at its new size for hWnd, and draws it.
    int LoadImageW(CString strFile, HWND hWnd, Gdiplus::RotateFlipType rotateFlip);
    /// Rebuilds the canvas at the picture's size (no window) and draws the picture.
    int LoadImageW(CString strFile);
    ///@}

    /// @name Loading images from the program's resources (see pictor_add_resources)
    ///@{

    /// Rebuilds the canvas at the size of bitmap resource nResourceId, keeping its window, and draws it;
    /// returns 1.
    int LoadResource(long nResourceId);
    /// Draws frame nFrame of bitmap resource nResourceId, a horizontal strip of canvas-sized frames, at the
    /// origin; the canvas keeps its size. Returns 1.
    int LoadResource(int nFrame, long nResourceId);
    /// Decodes resource nResourceId of type "PNG" of hInstance (null: the application) into a new bitmap
    /// for the caller (*ppBitmap, the caller deletes it); true when one was made. The canvas is not used.
    bool LoadBitmapFromPNG(unsigned int nResourceId, Gdiplus::Bitmap** ppBitmap, HINSTANCE hInstance);
    ///@}

    /// @name Image export and encoder lookup
    ///@{

    /// Finds the engine's encoder for the MIME type (exact match, e.g. u"image/png") and writes its class
    /// identifier to pClsid; returns 1 when found, else 0 with pClsid untouched. Pass it to
    /// Gdiplus::Image::Save on GetBitmap() to write PNG, BMP, GIF or TIFF and get the save's status.
    int GetEncCLSID(const WCHAR* format, CLSID* pClsid);
    /// As above, with the MIME type as wide text (e.g. L"image/jpeg").
    int GetEncCLSID(const wchar_t* format, CLSID* pClsid);
    /// Writes the whole canvas as a JPEG file of the given quality (0 to 100). Reports nothing; save through
    /// GetBitmap()->Save to learn the status.
    void SaveJPG(CString strFile, unsigned long nQuality);
    ///@}

    /// @name Clipboard and bitmap exchange
    ///@{

    /// Puts the canvas rectangle (x, y, w, h) on the clipboard as a w × h bitmap.
    void CopyToClipBoard(int x, int y, int w, int h);
    /// Replaces the canvas with the clipboard's bitmap, when it holds one (as CopyFromBitmap).
    void CopyFromClipBoard();
    /// Rebuilds the canvas at the bitmap's size (no window) and copies it in 1:1; the bitmap stays the caller's.
    void CopyFromBitmap(Gdiplus::Bitmap* pBitmap);
    /// Rebuilds the canvas at the image's size (no window) and draws it over all of it; the image stays the
    /// caller's.
    void CopyFromImage(Gdiplus::Image* pImage);
    ///@}

    /// @name Raw pixel access (4 bytes a pixel: blue, green, red, alpha, not premultiplied, rows top down)
    ///@{

    /// Copies the canvas rectangle (x, y, w, h) into pBuffer, w × 4 bytes a row.
    void GetBits(BYTE* pBuffer, int x, int y, int w, int h);
    /// Replaces the canvas rectangle at (x, y), canvas-sized and clipped to the canvas, with pBuffer's
    /// pixels, a canvas width × 4 bytes a row.
    void SetBits(BYTE* pBuffer, int x, int y);
    ///@}

    /// @name Colour keying, alpha and resampling
    ///@{

    /// Makes every pixel of exactly the colour red, green, blue (any alpha) transparent black.
    void SetColorToAlphaZero(BYTE r, BYTE g, BYTE b);
    /// Gives every pixel the alpha, keeping its colour.
    void SetAlpha(BYTE alpha);
    /// Rebuilds the canvas at nWidth × nHeight (no window) with the picture redrawn to that size: stretched,
    /// or with nFitMode 1 fitted and centred on the opaque background red, green, blue.
    void ReSampling(int nWidth, int nHeight, int nFitMode, BYTE r, BYTE g, BYTE b);
    ///@}

    /// @name Cropping and rotation
    ///@{

    /// Rebuilds the canvas (no window) as the rectangle (x, y, w, h), clipped to the canvas, over opaque black.
    void Crop(int x, int y, int w, int h);
    /// Prepends a quarter turn clockwise to the world transform: later drawing turns; nothing is drawn now.
    void Rotate90CW();
    /// Prepends a quarter turn anticlockwise to the world transform: later drawing turns.
    void Rotate90CCW();
    /// Draws the canvas's picture over itself turned by 90 − fAngle degrees about (cx, cy); leaves the
    /// identity world transform.
    void Rotate(float fAngle, int cx, int cy);
    /// As Rotate(float, int, int); nUnused has no effect.
    void Rotate(float fAngle, int cx, int cy, int nUnused);
    /// Draws this canvas's picture into pDest at its origin, turned by 90 − fAngle degrees about this
    /// canvas's centre; leaves pDest's world transform the identity. This canvas is unchanged.
    void Rotate(CFxPictor* pDest, float fAngle);
    ///@}

    /// @name Canvas-to-canvas copies (this canvas is the source, pDest the destination)
    ///@{

    /// Copies every pixel into pDest, alpha included, when both have the same size; otherwise does nothing.
    void CopyToThis(CFxPictor* pDest);
    /// Draws the whole canvas into pDest with its top-left corner at (x, y), at its own size.
    void CopyToThis(CFxPictor* pDest, int x, int y);
    /// Draws the whole canvas into pDest's rectangle (x, y, w, h), scaled.
    void CopyToThis(CFxPictor* pDest, int x, int y, int w, int h);
    /// Draws the rectangle (srcX, srcY, srcW, srcH) of this canvas into pDest's rectangle
    /// (dstX, dstY, dstW, dstH), scaled.
    void CopyToThis(CFxPictor* pDest, int srcX, int srcY, int srcW, int srcH, int dstX, int dstY, int dstW, int dstH);
    /// Draws the whole canvas into pDest's rectangle (x, y, w, h), scaled, with the opacity fAlpha (0 to 1).
    void CopyToThisAlpha(CFxPictor* pDest, int x, int y, int w, int h, float fAlpha);
    ///@}

    /// @name Lines, outlines and figures
    ///@{

    /// A line from (x1, y1) to (x2, y2) in the colour a, r, g, b, fWidth pixels wide.
    void Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    /// A line from (x1, y1) to (x2, y2) in the colour, fWidth pixels wide.
    void Line(int x1, int y1, int x2, int y2, Gdiplus::Color color, float fWidth);
    /// A line from (x1, y1) to (x2, y2) in the colour a, r, g, b, fWidth wide, dashed and capped as given.
    void Line(int x1, int y1, int x2, int y2, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth,
              Gdiplus::DashStyle dashStyle, Gdiplus::LineCap startCap, Gdiplus::LineCap endCap);
    /// The outline of the caller's path in the colour, nWidth wide, bevel-joined.
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, Gdiplus::Color color, int nWidth);
    /// The outline of the caller's path in the colour a, r, g, b, nWidth wide, bevel-joined.
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth);
    /// As above, dashed with nDashStyle (a Gdiplus::DashStyle value).
    void DrawPathLine(Gdiplus::GraphicsPath* pPath, BYTE a, BYTE r, BYTE g, BYTE b, int nWidth, int nDashStyle);
    /// The caller's path outlined in the line colour, then filled in the fill colour (each a, r, g, b).
    void DrawPolygon(Gdiplus::GraphicsPath* pPath, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                     BYTE lineR, BYTE lineG, BYTE lineB);
    /// The outline of the rectangle (x, y, w, h) in the colour a, r, g, b, fWidth wide.
    void WireRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    /// The outline of the rectangle in the colour a, r, g, b, fWidth wide.
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth);
    /// The outline of the rectangle in the colour, fWidth wide.
    void WireRect(CRect* pRect, Gdiplus::Color color, float fWidth);
    /// The outline of the rectangle, over a soft shadow to its lower right when nShadow is 1.
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow);
    /// As above, the outline dashed with dashStyle.
    void WireRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, float fWidth, int nShadow,
                  Gdiplus::DashStyle dashStyle);
    /// A three-dimensional frame around (x, y, w, h): raised, or sunken when nMode is 1.
    void WireRectEmboss(int x, int y, int w, int h, float fWidth, int nMode);
    /// A pentagonal arrow in the rectangle, outlined opaque r, g, b one pixel wide (a and nUnused are not used).
    void RectArrow(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    /// The polygon through nCount points, outlined opaque r, g, b two pixels wide (a is not used).
    void Polygon(Gdiplus::Point* pPoints, BYTE a, BYTE r, BYTE g, BYTE b, int nCount);
    /// A circle filling the square (x, y, nDiameter, nDiameter) with a, r, g, b; with an opaque black border
    /// fBorderWidth wide when nBorder is not 0.
    void Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, float fBorderWidth, int nBorder);
    /// A circle in the square (x, y, nDiameter, nDiameter) filled with a, r, g, b and outlined opaque
    /// lineR, lineG, lineB, fLineWidth wide.
    void Circle(int x, int y, int nDiameter, BYTE a, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG, BYTE lineB,
                float fLineWidth);
    /// A circle in the square (x, y, nDiameter, nDiameter), filled and outlined in the two colours.
    void Circle(int x, int y, int nDiameter, Gdiplus::Color fillColor, Gdiplus::Color lineColor, float fLineWidth);
    ///@}

    /// @name Solid and pattern fills
    ///@{

    /// The whole canvas painted with the hatch pattern nHatchStyle (a Gdiplus::HatchStyle value).
    void FillPattern(int nHatchStyle);
    /// The rectangle (x, y, w, h) painted with the hatch pattern nHatchStyle.
    void FillPatternRect(int x, int y, int w, int h, int nHatchStyle);
    /// The rectangle (x, y, w, h) filled with a, r, g, b.
    void FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b);
    /// The rectangle (x, y, w, h) filled with the colour.
    void FillRect(int x, int y, int w, int h, Gdiplus::Color color);
    /// The rectangle filled with a, r, g, b.
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b);
    /// The rectangle filled with the colour.
    void FillRect(CRect* pRect, Gdiplus::Color color);
    /// The rectangle (x, y, w, h) filled with fillColor, then bordered one pixel wide in borderColor.
    void FillRect(int x, int y, int w, int h, Gdiplus::Color fillColor, Gdiplus::Color borderColor);
    /// The rectangle (x, y, w, h) filled with a, r, g, b, then bordered in a lighter colour (nUnused is not used).
    void FillRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    /// The rectangle filled with a, r, g, b, then bordered in a lighter colour (nUnused is not used).
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused);
    /// As above, with a plus sign in the middle when nPlus is not 0 (an expand box).
    void FillRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nUnused, int nPlus);
    ///@}

    /// @name Gradient fills (two colours, each a, r, g, b; the end points are canvas points)
    ///@{

    /// The whole canvas, top to bottom, from the first colour to the second.
    void FillGradientRect(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    /// The rectangle, from the first colour at its top to the second at its bottom.
    void FillGradientRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    /// The rectangle, from color1 at its top to color2 at its bottom.
    void FillGradientRect(CRect* pRect, Gdiplus::Color color1, Gdiplus::Color color2);
    /// The rectangle (x, y, w, h), from the first colour at its top to the second one pixel below its bottom.
    void FillGradientRect(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                          BYTE b2);
    /// The rectangle (x, y, w, h), from the first colour at its left to the second at its right.
    void FillGradientRectH(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2,
                           BYTE b2);
    /// The whole canvas, left to right, from the first colour to the second.
    void FillGradientRectH(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    /// The whole canvas, top to bottom, mirrored about its middle: the first colour at the top and bottom
    /// edges, the second in the middle.
    void FillGradientRectHalf(BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2);
    /// The rectangle (x, y, w, h) as above: the first colour at its top and bottom, the second in the middle.
    void FillGradientRectHalf(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                              BYTE g2, BYTE b2);
    ///@}

    /// @name Rounded rectangles (all but GetRoundRectPath leave the page unit at pixels)
    ///@{

    /// Adds the outline of r with rounded corners of nDiameter to the caller's path; draws nothing.
    void GetRoundRectPath(Gdiplus::GraphicsPath* pPath, Gdiplus::Rect r, int nDiameter);
    /// nThickness nested one-pixel rounded outlines of the rectangle in a, r, g, b, corner radius nRadius.
    void DrawRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius, int nThickness);
    /// As above, for the rectangle (x, y, w, h).
    void DrawRoundRect(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius, int nThickness);
    /// The rounded rectangle filled with the fill colour, then outlined one pixel wide in the line colour.
    void FillRoundRect(CRect* pRect, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA, BYTE lineR,
                       BYTE lineG, BYTE lineB, int nRadius);
    /// The rounded rectangle filled with fillColor, then outlined one pixel wide in lineColor.
    void FillRoundRect(CRect* pRect, Gdiplus::Color fillColor, Gdiplus::Color lineColor, int nRadius);
    /// The rounded rectangle filled with a, r, g, b, with no outline.
    void FillRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius);
    /// The rounded rectangle (x, y, w, h) filled, then outlined one pixel wide.
    void FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                       BYTE lineR, BYTE lineG, BYTE lineB, int nRadius);
    /// The rounded rectangle (x, y, w, h) filled, then outlined nLineWidth wide.
    void FillRoundRect(int x, int y, int w, int h, BYTE fillA, BYTE fillR, BYTE fillG, BYTE fillB, BYTE lineA,
                       BYTE lineR, BYTE lineG, BYTE lineB, int nLineWidth, int nRadius);
    /// A plain rectangle filled with the colour: no rounding, exactly FillRect(CRect*, Gdiplus::Color).
    void FillRoundRect(CRect* pRect, Gdiplus::Color color);
    /// The rounded rectangle filled with a vertical gradient from the canvas's top row (first colour) to the
    /// row at the rectangle's height (second colour).
    void FillGradientRoundRectV(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2,
                                int nRadius);
    /// The rounded rectangle (x, y, w, h) filled with a vertical gradient over the canvas's height.
    void FillGradientRoundRectV(int x, int y, int w, int h, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2,
                                BYTE g2, BYTE b2, int nRadius);
    /// The rectangle with only its upper corners rounded, filled with a, r, g, b.
    void FillUpSideRoundRect(CRect* pRect, BYTE a, BYTE r, BYTE g, BYTE b, int nRadius);
    /// The rectangle with only its upper corners rounded, filled with a vertical gradient from the canvas's
    /// top row to the row at the rectangle's height.
    void FillUpSideRoundRect(CRect* pRect, BYTE a1, BYTE r1, BYTE g1, BYTE b1, BYTE a2, BYTE r2, BYTE g2, BYTE b2,
                             int nRadius);
    /// The outline of the rounded rectangle (x, y, w, h) in a, r, g, b, corner diameter nDiameter,
    /// nLineWidth wide.
    void RectRound(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int nDiameter, int nLineWidth);
    /// Does nothing: kept for callers that use it.
    void FillRectRound(int x, int y, int w, int h, BYTE a, BYTE r, BYTE g, BYTE b, int n1, int n2, int n3);
    ///@}

    /// @name Text at a point and measuring
    /// (x, y) is the text's origin, nSize the em size in pixels; an unknown family falls back to the
    /// generic sans-serif family.
    ///@{

    /// strText in the colour a, r, g, b.
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText);
    /// strText in the colour.
    void Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText);
    /// strText in the colour and the font style nStyle (a Gdiplus::FontStyle value).
    void Text(int x, int y, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText);
    /// strText in a, r, g, b over its drop shadow in shadowA, shadowR, shadowG, shadowB one pixel down and
    /// right (nUnused has no effect).
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, BYTE shadowA, BYTE shadowR, BYTE shadowG,
              BYTE shadowB, CString strFamily, CString strText, int nUnused);
    /// strText in a, r, g, b turned by fAngle degrees about its origin; leaves the identity world transform.
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle);
    /// strText in the colour turned by fAngle degrees about its origin; leaves the identity world transform.
    void Text(int x, int y, int nSize, Gdiplus::Color color, CString strFamily, CString strText, float fAngle);
    /// strText in a, r, g, b drawn at (pivotX, pivotY) turned by 90 − fAngle degrees about it (x and y have
    /// no effect); leaves the identity world transform.
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle, int pivotX, int pivotY);
    /// strText in a, r, g, b, mirrored left to right when nMirror is not 0 (nUnused has no effect); leaves
    /// the identity world transform.
    void Text(int x, int y, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              int nMirror, int nUnused);
    /// Returns the box strText would take from its origin (left and top 0, right and bottom its extent).
    CRect GetTextSize(int nSize, CString strFamily, CString strText);
    /// As above, in the font style nStyle.
    CRect GetTextSize(int nSize, CString strFamily, CString strText, int nStyle);
    ///@}

    /// @name Text in a rectangle
    ///@{

    /// With fAngle not above 0, strText in a, r, g, b laid out in the rectangle (wrapped, clipped); with
    /// fAngle above 0, drawn at (pivotX, pivotY) turned by 90 − fAngle degrees and the rectangle unused,
    /// leaving the identity world transform.
    void Text(CRect rect, int nSize, BYTE a, BYTE r, BYTE g, BYTE b, CString strFamily, CString strText,
              float fAngle, int pivotX, int pivotY);
    /// strText in the colour and style nStyle, aligned across the rectangle by align, centred vertically.
    void Text(CRect rect, int nSize, Gdiplus::Color color, int nStyle, Gdiplus::StringAlignment align,
              CString strFamily, CString strText);
    /// strText in the colour and style nStyle, in the bottom-right corner of the rectangle.
    void TextFar(CRect rect, int nSize, Gdiplus::Color color, int nStyle, CString strFamily, CString strText);
    ///@}

    /// @name Outlined and effect text (colours are opaque red, green, blue)
    ///@{

    /// strText as glyph outlines stroked nPenWidth wide in lineR, lineG, lineB, then filled with r, g, b;
    /// leaves anti-aliased smoothing and high-quality bicubic interpolation set.
    void OutLineText(int x, int y, int nSize, int nPenWidth, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG,
                     BYTE lineB, CString strFamily, CString strText);
    /// strText in r, g, b with a one-pixel outline in lineR, lineG, lineB (eight offset passes).
    void OutLineText(int x, int y, int nSize, BYTE r, BYTE g, BYTE b, BYTE lineR, BYTE lineG, BYTE lineB,
                     CString strFamily, CString strText);
    /// Does nothing; the canvas and rect are left as they are. Kept for callers that use it.
    void TextFx(int n1, int n2, int n3, int n4, float f1, Gdiplus::Color c1, Gdiplus::Color c2, Gdiplus::Color c3,
                Gdiplus::Color c4, Gdiplus::Color c5, int i1, int i2, int i3, int i4, int i5, int i6, int i7, int i8,
                int i9, Gdiplus::FontStyle fontStyle, CString str1, CString str2, CRect& rect);
    ///@}

    /// @name Fields, in this order; assignment copies them as they stand
    ///@{

    int m_nWidth;                     ///< Width in pixels, as built.
    int m_nHeight;                    ///< Height in pixels, as built.
    Gdiplus::Graphics* m_pGraphics;   ///< The drawing context bound to the bitmap; null when empty.
    Gdiplus::Bitmap* m_pBitmap;       ///< The canvas bitmap; null when empty.
    BITMAPINFO m_BitmapInfo;          ///< The canvas as a 32-bit device-independent bitmap description.
    HWND m_hWnd;                      ///< The window the canvas was built for; may be null.
    ///@}

private:
    void Release();
    void Build(HWND hWnd, int nWidth, int nHeight);
    // A bitmap of the kind a canvas for no window draws into.
    static Gdiplus::Bitmap* NewBitmap(int nWidth, int nHeight);
    // Takes the bitmap (of nWidth × nHeight) as the canvas's, with a new drawing context; nothing is released.
    void Attach(HWND hWnd, int nWidth, int nHeight, Gdiplus::Bitmap* pBitmap);
};
