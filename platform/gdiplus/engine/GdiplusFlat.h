// The GDI+ flat C functions this project calls, as exported by libgdiplus.
// libgdiplus ships no headers, so every function we use is declared here, and only here.
#pragma once

// <X11/Xlib.h> makes Status a macro: it is set aside while this header is read and restored at its end,
// so that X11 code and this header can be included in either order.
#pragma push_macro("Status")
#undef Status

#include "../GdiplusTypes.h"

namespace Gdiplus {
namespace DllExports {

// Opaque engine objects.
struct GpGraphics;
struct GpImage;
struct GpBitmap;
struct GpPen;
struct GpBrush;
struct GpSolidFill;
struct GpHatch;
struct GpLineGradient;
struct GpPath;
struct GpMatrix;
struct GpFontFamily;
struct GpFontCollection;
struct GpFont;
struct GpStringFormat;
struct GpImageAttributes;
struct GpTexture;

// Stream callbacks of libgdiplus's delegate loader (it has no IStream on this platform).
typedef int (*GetHeaderDelegate)(BYTE* buffer, int size);
typedef int (*GetBytesDelegate)(BYTE* buffer, int size, BOOL peek);
typedef long (*SeekDelegate)(int offset, int whence);
typedef int (*PutBytesDelegate)(BYTE* buffer, int size);
typedef void (*CloseDelegate)(void);
typedef long (*SizeDelegate)(void);

extern "C" {

// Start-up and memory.
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);
void* GdipAlloc(size_t size);
void GdipFree(void* ptr);

// Graphics.
// An X11 drawable (an XID) on an X display connection (a Display*).
Status GdipCreateFromXDrawable_linux(unsigned long drawable, void* display, GpGraphics** graphics);
Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
Status GdipDeleteGraphics(GpGraphics* graphics);
Status GdipGetDC(GpGraphics* graphics, HDC* hdc);
Status GdipReleaseDC(GpGraphics* graphics, HDC hdc);
Status GdipGraphicsClear(GpGraphics* graphics, ARGB color);
Status GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
Status GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
Status GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
Status GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);
Status GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode);
Status GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint hint);
Status GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* hint);
Status GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode);
Status GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
Status GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
Status GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
Status GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);
Status GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode);
Status GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode combineMode);
Status GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode combineMode);
Status GdipResetClip(GpGraphics* graphics);
Status GdipGetClipBounds(GpGraphics* graphics, RectF* rect);
Status GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipResetWorldTransform(GpGraphics* graphics);
Status GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
Status GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
Status GdipMultiplyWorldTransform(GpGraphics* graphics, GpMatrix* matrix, MatrixOrder order);
Status GdipSetPageUnit(GpGraphics* graphics, Unit unit);
Status GdipGetPageUnit(GpGraphics* graphics, Unit* unit);
Status GdipSetPageScale(GpGraphics* graphics, REAL scale);
Status GdipGetPageScale(GpGraphics* graphics, REAL* scale);
Status GdipGetDpiX(GpGraphics* graphics, REAL* dpi);
Status GdipGetDpiY(GpGraphics* graphics, REAL* dpi);
Status GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
Status GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
Status GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
Status GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const Point* points, INT count);
Status GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
Status GdipDrawLines(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, const Point* points, INT count);
Status GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                    REAL sweepAngle);
Status GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                      REAL y4);
Status GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
Status GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipDrawBeziersI(GpGraphics* graphics, GpPen* pen, const Point* points, INT count);
Status GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, INT offset,
                      INT numberOfSegments, REAL tension);
Status GdipDrawCurve3I(GpGraphics* graphics, GpPen* pen, const Point* points, INT count, INT offset,
                       INT numberOfSegments, REAL tension);
Status GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, REAL tension);
Status GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, const Point* points, INT count, REAL tension);
Status GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, REAL tension,
                            FillMode fillMode);
Status GdipFillClosedCurve2I(GpGraphics* graphics, GpBrush* brush, const Point* points, INT count, REAL tension,
                             FillMode fillMode);
Status GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                    REAL sweepAngle);
Status GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height, REAL startAngle,
                    REAL sweepAngle);
Status GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, FillMode fillMode);
Status GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
Status GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
Status GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const Point* points, INT count, FillMode fillMode);
Status GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
Status GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
Status GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
Status GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
Status GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL srcx, REAL srcy,
                              REAL srcwidth, REAL srcheight, Unit srcUnit);
Status GdipDrawImagePointRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT srcx, INT srcy,
                               INT srcwidth, INT srcheight, Unit srcUnit);
Status GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth,
                             REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, Unit srcUnit,
                             const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData);
Status GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                              INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight, Unit srcUnit,
                              const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData);

// Images and bitmaps.
Status GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
Status GdipLoadImageFromDelegate_linux(GetHeaderDelegate getHeader, GetBytesDelegate getBytes,
                                       PutBytesDelegate putBytes, SeekDelegate seek, CloseDelegate close,
                                       SizeDelegate size, GpImage** image);
Status GdipCloneImage(GpImage* image, GpImage** cloneImage);
Status GdipDisposeImage(GpImage* image);
Status GdipGetImageWidth(GpImage* image, UINT* width);
Status GdipGetImageHeight(GpImage* image, UINT* height);
Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
Status GdipGetImageType(GpImage* image, ImageType* type);
Status GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count);
Status GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensionIDs, UINT count);
Status GdipImageGetFrameCount(GpImage* image, const GUID* dimensionID, UINT* count);
Status GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
Status GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
Status GdipImageRotateFlip(GpImage* image, RotateFlipType rfType);
Status GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                           const EncoderParameters* encoderParams);
Status GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
Status GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                 GpBitmap** bitmap);
Status GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap);
Status GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap);
Status GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background);
Status GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
Status GdipBitmapLockBits(GpBitmap* bitmap, const Rect* rect, UINT flags, PixelFormat format,
                          BitmapData* lockedBitmapData);
Status GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData);
Status GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
Status GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
Status GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);
Status GdipSetImagePalette(GpImage* image, const ColorPalette* palette);

// Pens.
Status GdipCreatePen1(ARGB color, REAL width, Unit unit, GpPen** pen);
Status GdipDeletePen(GpPen* pen);
Status GdipSetPenDashStyle(GpPen* pen, DashStyle dashStyle);
Status GdipSetPenStartCap(GpPen* pen, LineCap startCap);
Status GdipSetPenEndCap(GpPen* pen, LineCap endCap);
Status GdipSetPenLineJoin(GpPen* pen, LineJoin lineJoin);
Status GdipSetPenMode(GpPen* pen, PenAlignment penMode);
Status GdipSetPenWidth(GpPen* pen, REAL width);
Status GdipSetPenColor(GpPen* pen, ARGB argb);
Status GdipCreatePen2(GpBrush* brush, REAL width, Unit unit, GpPen** pen);
Status GdipClonePen(GpPen* pen, GpPen** clonePen);
Status GdipGetPenMode(GpPen* pen, PenAlignment* penMode);
Status GdipGetPenWidth(GpPen* pen, REAL* width);
Status GdipSetPenDashArray(GpPen* pen, const REAL* dash, INT count);
Status GdipGetPenDashCount(GpPen* pen, INT* count);
Status GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count);
Status GdipGetPenStartCap(GpPen* pen, LineCap* startCap);
Status GdipGetPenEndCap(GpPen* pen, LineCap* endCap);
Status GdipGetPenDashStyle(GpPen* pen, DashStyle* dashStyle);
Status GdipGetPenDashOffset(GpPen* pen, REAL* offset);
Status GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
Status GdipGetPenFillType(GpPen* pen, PenType* type);
Status GdipGetPenColor(GpPen* pen, ARGB* argb);
Status GdipGetPenLineJoin(GpPen* pen, LineJoin* lineJoin);
Status GdipGetPenMiterLimit(GpPen* pen, REAL* miterLimit);
Status GdipGetPenCompoundCount(GpPen* pen, INT* count);
Status GdipGetPenTransform(GpPen* pen, GpMatrix* matrix);

// Brushes.
Status GdipDeleteBrush(GpBrush* brush);
Status GdipCloneBrush(GpBrush* brush, GpBrush** clone);
Status GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
Status GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
Status GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);
Status GdipGetBrushType(GpBrush* brush, BrushType* type);
Status GdipCreateHatchBrush(HatchStyle hatchstyle, ARGB forecol, ARGB backcol, GpHatch** brush);
Status GdipCreateLineBrush(const PointF* point1, const PointF* point2, ARGB color1, ARGB color2,
                           WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipCreateLineBrushI(const Point* point1, const Point* point2, ARGB color1, ARGB color2,
                            WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipSetLineWrapMode(GpLineGradient* brush, WrapMode wrapmode);
Status GdipGetLineWrapMode(GpLineGradient* brush, WrapMode* wrapmode);
Status GdipSetLineBlend(GpLineGradient* brush, const REAL* blend, const REAL* positions, INT count);
Status GdipCreateTexture(GpImage* image, WrapMode wrapmode, GpTexture** texture);
Status GdipCreateTexture2(GpImage* image, WrapMode wrapmode, REAL x, REAL y, REAL width, REAL height,
                          GpTexture** texture);
Status GdipSetTextureWrapMode(GpTexture* texture, WrapMode wrapmode);
Status GdipGetTextureWrapMode(GpTexture* texture, WrapMode* wrapmode);
Status GdipSetTextureTransform(GpTexture* texture, const GpMatrix* matrix);
Status GdipResetTextureTransform(GpTexture* texture);
Status GdipTranslateTextureTransform(GpTexture* texture, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleTextureTransform(GpTexture* texture, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateTextureTransform(GpTexture* texture, REAL angle, MatrixOrder order);

// Paths.
Status GdipCreatePath(FillMode brushMode, GpPath** path);
Status GdipDeletePath(GpPath* path);
Status GdipResetPath(GpPath* path);
Status GdipGetPointCount(GpPath* path, INT* count);
Status GdipGetPathPoints(GpPath* path, PointF* points, INT count);
Status GdipGetPathTypes(GpPath* path, BYTE* types, INT count);
Status GdipGetPathFillMode(GpPath* path, FillMode* fillmode);
Status GdipStartPathFigure(GpPath* path);
Status GdipClosePathFigure(GpPath* path);
Status GdipClosePathFigures(GpPath* path);
Status GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2);
Status GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height);
Status GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height);
Status GdipAddPathPolygonI(GpPath* path, const Point* points, INT count);
Status GdipGetPathWorldBounds(GpPath* path, RectF* bounds, const GpMatrix* matrix, const GpPen* pen);
Status GdipGetPathWorldBoundsI(GpPath* path, Rect* bounds, const GpMatrix* matrix, const GpPen* pen);
Status GdipGetPathPointsI(GpPath* path, Point* points, INT count);
Status GdipAddPathLine2(GpPath* path, const PointF* points, INT count);
Status GdipAddPathLine2I(GpPath* path, const Point* points, INT count);
Status GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
Status GdipAddPathBezierI(GpPath* path, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
Status GdipAddPathBeziers(GpPath* path, const PointF* points, INT count);
Status GdipAddPathBeziersI(GpPath* path, const Point* points, INT count);
Status GdipAddPathCurve3(GpPath* path, const PointF* points, INT count, INT offset, INT numberOfSegments,
                         REAL tension);
Status GdipAddPathCurve3I(GpPath* path, const Point* points, INT count, INT offset, INT numberOfSegments,
                          REAL tension);
Status GdipAddPathClosedCurve2(GpPath* path, const PointF* points, INT count, REAL tension);
Status GdipAddPathClosedCurve2I(GpPath* path, const Point* points, INT count, REAL tension);
Status GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathRectangles(GpPath* path, const RectF* rects, INT count);
Status GdipAddPathRectanglesI(GpPath* path, const Rect* rects, INT count);
Status GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathPieI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathPolygon(GpPath* path, const PointF* points, INT count);
Status GdipTransformPath(GpPath* path, GpMatrix* matrix);

// Matrices.
Status GdipCreateMatrix(GpMatrix** matrix);
Status GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
Status GdipDeleteMatrix(GpMatrix* matrix);
Status GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
Status GdipGetMatrixElements(const GpMatrix* matrix, REAL* matrixOut);
Status GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order);
Status GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
Status GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order);
Status GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result);
Status GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order);
Status GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order);
Status GdipInvertMatrix(GpMatrix* matrix);
Status GdipIsMatrixInvertible(const GpMatrix* matrix, BOOL* result);
Status GdipTransformMatrixPoints(GpMatrix* matrix, PointF* points, INT count);
Status GdipTransformMatrixPointsI(GpMatrix* matrix, Point* points, INT count);

// Fonts and string formats.
Status GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* fontCollection,
                                    GpFontFamily** fontFamily);
Status GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily);
Status GdipDeleteFontFamily(GpFontFamily* fontFamily);
Status GdipGetFamilyName(const GpFontFamily* family, WCHAR name[LF_FACESIZE], LANGID language);
Status GdipCreateFont(const GpFontFamily* fontFamily, REAL emSize, INT style, Unit unit, GpFont** font);
Status GdipDeleteFont(GpFont* font);
Status GdipGetFontSize(GpFont* font, REAL* size);
Status GdipGetFontStyle(GpFont* font, INT* style);
Status GdipGetFamily(GpFont* font, GpFontFamily** family);
Status GdipCreateStringFormat(INT formatAttributes, LANGID language, GpStringFormat** format);
Status GdipDeleteStringFormat(GpStringFormat* format);
Status GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
Status GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
Status GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align);
Status GdipGetStringFormatLineAlign(GpStringFormat* format, StringAlignment* align);
Status GdipCloneStringFormat(const GpStringFormat* format, GpStringFormat** newFormat);
Status GdipStringFormatGetGenericDefault(GpStringFormat** format);
Status GdipStringFormatGetGenericTypographic(GpStringFormat** format);
Status GdipSetStringFormatFlags(GpStringFormat* format, INT flags);
Status GdipGetStringFormatFlags(const GpStringFormat* format, INT* flags);
Status GdipSetStringFormatTabStops(GpStringFormat* format, REAL firstTabOffset, INT count, const REAL* tabStops);
Status GdipGetStringFormatTabStopCount(const GpStringFormat* format, INT* count);
Status GdipGetStringFormatTabStops(const GpStringFormat* format, INT count, REAL* firstTabOffset, REAL* tabStops);
Status GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming);
Status GdipGetStringFormatTrimming(const GpStringFormat* format, StringTrimming* trimming);
Status GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix);
Status GdipGetStringFormatHotkeyPrefix(const GpStringFormat* format, INT* hotkeyPrefix);

// Image attributes.
Status GdipCreateImageAttributes(GpImageAttributes** imageattr);
Status GdipDisposeImageAttributes(GpImageAttributes* imageattr);
Status GdipSetImageAttributesColorMatrix(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                                         ColorMatrixFlags flags);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus

#include "GdiplusFlatGraphicsExtra.h"
#include "GdiplusFlatPathExtra.h"
#include "GdiplusFlatRegion.h"
#include "GdiplusFlatImageExtra.h"

#pragma pop_macro("Status")

// Path gradients, line caps, pen getters and image attributes.
#include "GdiplusFlatBrushExtra.h"
