// The GDI+ object interface, as thin RAII classes over libgdiplus's flat functions.
// Like GDI+, no member throws: each object keeps the last failing status it saw.
#pragma once

// <X11/Xlib.h> makes Status a macro: it is set aside while this header is read and restored at its end,
// so that X11 code and this header can be included in either order.
#pragma push_macro("Status")
#undef Status

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/GdiplusFlat.h"
#include "GdiplusTypes.h"

struct IStream;

namespace Gdiplus {

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

Status GetImageEncodersSize(UINT* numEncoders, UINT* size);
Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
// The encoder whose MIME type is exactly the one given (no case folding), looked up in a list fetched for
// the call; false, with the class identifier untouched, when there is none.
bool FindImageEncoder(const WCHAR* mimeType, CLSID* clsid);

// The largest bitmap the layer makes or keeps: the engine draws through cairo image surfaces, which
// stop at 32767 pixels a side (beyond, drawing and locking crash the process), and a bitmap is held
// to 2^28 pixels (1 GiB). Larger sizes, asked for or decoded from a file, fail with OutOfMemory.
const INT kMaxBitmapSide = 32767;
const long long kMaxBitmapPixels = 1LL << 28;
// False when a bitmap of this size would pass those bounds (sizes below 1 are left to the engine).
inline bool BitmapSizeFits(long long width, long long height)
{
    if (width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
    return width <= 0 || height <= 0 || width * height <= kMaxBitmapPixels;
}

// Objects of the engine are allocated with the engine's allocator, as in GDI+.
class GdiplusBase {
public:
    static void* operator new(size_t size);
    static void operator delete(void* ptr);
    static void* operator new[](size_t size);
    static void operator delete[](void* ptr);
};

// Records a status: a failure overwrites the last status, success leaves it.
class StatusKeeper {
public:
    /// The last failing status of a call on this object (Ok when none), which it then forgets.
    Status GetLastStatus() const
    {
        Status s = lastResult;
        lastResult = Ok;
        return s;
    }

protected:
    Status SetStatus(Status status) const
    {
        if (status != Ok) lastResult = status;
        return status;
    }
    mutable Status lastResult = Ok;
};

class Graphics;
class Matrix;
struct DecodedPicture;
struct PictureSource;
class TiffWriter;
struct DeviceMap;
class DeviceClip;
class DeviceClipCache;
class PixelView;
struct LayerFont;
struct LaidText;
class Brush;
class CustomLineCap;
struct CustomCapOutline;
class FontFamily;
class FontCollection;
class StringFormat;
class PathData;
class Region;

class Image : public GdiplusBase, public StatusKeeper {
public:
    /// Decodes the picture file; GetLastStatus tells whether it could be read.
    explicit Image(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE);
    /// Decodes the stream from its current position; the image keeps a reference to the stream.
    explicit Image(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);
    /// Releases the picture (once its last holder goes).
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// A new image decoded from the file (the caller deletes it); check its GetLastStatus.
    static Image* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE);
    /// A new image decoded from the stream (the caller deletes it); check its GetLastStatus.
    static Image* FromStream(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);

    /// A new, independent copy of the picture (the caller deletes it).
    Image* Clone();
    /// The width in pixels; 0 when there is no picture.
    UINT GetWidth();
    /// The height in pixels; 0 when there is no picture.
    UINT GetHeight();
    /// The pixel format (a PixelFormat value such as PixelFormat32bppARGB).
    PixelFormat GetPixelFormat();
    /// Whether the picture is a bitmap or a metafile (ImageTypeUnknown when there is no picture).
    ImageType GetType();
    /// The horizontal resolution in dots per inch.
    REAL GetHorizontalResolution();
    /// The vertical resolution in dots per inch.
    REAL GetVerticalResolution();
    /// Turns and/or mirrors the picture in place (its width and height swap for quarter turns).
    Status RotateFlip(RotateFlipType rotateFlipType);
    /// Writes the picture to the file with the encoder (see CFxPictor::GetEncCLSID) and its parameters
    /// (for JPEG, EncoderQuality); returns Ok only when the encoder succeeded.
    Status Save(const WCHAR* filename, const CLSID* clsidEncoder, const EncoderParameters* encoderParams = nullptr);

    /// Makes this object designate the other object's engine image, with its status fields, the way a
    /// whole-object overwrite does in GDI+. The engine image is shared and disposed with its last holder.
    void AdoptImageOf(const Image& other);

    /// Keeps the companion (memory the image was read from, say) until the engine image is disposed,
    /// by whichever object holds it last. Later companions are released after earlier ones.
    void TieToImage(std::shared_ptr<void> companion);

    // Image family "ImageExtra": formats, flags, palettes, frames, thumbnails, streams and metadata.
    /// The format the picture was read from (ImageFormatPNG...; ImageFormatMemoryBMP for a bitmap made here).
    Status GetRawFormat(GUID* format);
    /// ImageFlags values describing the picture (0 when there is none).
    UINT GetFlags();
    /// The picture's size in pixels as real numbers.
    Status GetPhysicalDimension(SizeF* size);
    /// The picture's bounding rectangle and the unit it is measured in.
    Status GetBounds(RectF* srcRect, Unit* srcUnit);
    /// The bytes GetPalette needs (a ColorPalette header and its entries).
    INT GetPaletteSize();
    /// Copies the palette into palette, which holds size bytes (exactly GetPaletteSize()).
    Status GetPalette(ColorPalette* palette, INT size);
    /// Gives the picture the palette (at most 256 entries, else InvalidParameter).
    Status SetPalette(const ColorPalette* palette);
    /// How many frame dimensions the picture has (1 for every bitmap).
    UINT GetFrameDimensionsCount();
    /// The frame dimensions (FrameDimensionTime for GIF, FrameDimensionPage otherwise); count must match.
    Status GetFrameDimensionsList(GUID* dimensionIDs, UINT count);
    /// How many frames the picture has along the dimension (0 for a dimension it does not have).
    UINT GetFrameCount(const GUID* dimensionID);
    /// Makes the frame the picture's pixels (a GIF frame is composed over the frames before it; a TIFF
    /// file's pages are FrameDimensionPage).
    Status SelectActiveFrame(const GUID* dimensionID, UINT frameIndex);
    /// A new picture of the given size (0 x 0: 120 pixels on its longer side) drawn from this one; the caller
    /// deletes it.
    Image* GetThumbnailImage(UINT thumbWidth, UINT thumbHeight, GetThumbnailImageAbort callback = nullptr,
                             void* callbackData = nullptr);
    /// Writes the picture to the stream with the encoder; returns Ok only when the encoder succeeded.
    Status Save(IStream* stream, const CLSID* clsidEncoder, const EncoderParameters* encoderParams = nullptr);
    /// Continues a multi-page TIFF begun by Save with EncoderSaveFlag = EncoderValueMultiFrame: the
    /// EncoderSaveFlag EncoderValueFrameDimensionPage adds this picture's active frame as the next page,
    /// EncoderValueFlush finishes the file. Win32Error when no such save is under way.
    Status SaveAdd(const EncoderParameters* encoderParams);
    /// As SaveAdd(const EncoderParameters*), the page added being newImage's active frame.
    Status SaveAdd(Image* newImage, const EncoderParameters* encoderParams);
    /// How many property items (metadata) the picture has.
    UINT GetPropertyCount();
    /// The tags of the property items; numOfProperty must be GetPropertyCount().
    Status GetPropertyIdList(UINT numOfProperty, PROPID* list);
    /// The bytes GetPropertyItem needs for the tag (0 when the picture has no such item).
    UINT GetPropertyItemSize(PROPID propId);
    /// Copies the item and its value into buffer, which holds propSize bytes.
    Status GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer);
    /// The bytes GetAllPropertyItems needs and the number of items.
    Status GetPropertySize(UINT* totalBufferSize, UINT* numProperties);
    /// Copies every item and its value into allItems, which holds totalBufferSize bytes.
    Status GetAllPropertyItems(UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
    /// Removes the item with the tag.
    Status RemovePropertyItem(PROPID propId);
    /// Adds the item, or replaces the one with its tag.
    Status SetPropertyItem(const PropertyItem* item);

    /// The engine's own image, for the platform layer.
    DllExports::GpImage* NativeImage() const { return nativeImage.get(); }
    /// The engine's own image, shared, for the platform layer.
    std::shared_ptr<DllExports::GpImage> SharedNativeImage() const { return nativeImage; }

protected:
    Image(DllExports::GpImage* image, Status status);
    void SetNativeImage(DllExports::GpImage* image);
    // Takes the outcome of a load: its status, and its image with the memory that holds its pixels.
    void AdoptLoaded(Status status, DecodedPicture& picture);

    std::shared_ptr<DllExports::GpImage> nativeImage;
    Status loadStatus = Ok;
    // Image family "ImageExtra": what the layer knows of the file it decoded itself (format, GIF frames).
    std::shared_ptr<PictureSource> source;
    // Replaces the pixels with the GIF's frame (GdiplusImageExtra.cpp).
    Status SelectGifFrame(UINT frameIndex);
    // A format the engine cannot hold that the pixels are declared in (0 for none): the engine's bitmap
    // is 32bppARGB, its pixels quantised as this format holds them (api/WidePixels.h).
    PixelFormat wideFormat = 0;
    // Replaces the pixels with the TIFF file's page.
    Status SelectTiffPage(UINT pageIndex);
    // The multi-page TIFF file a Save with EncoderValueMultiFrame began, until SaveAdd flushes it.
    std::shared_ptr<TiffWriter> multiFrameSave;
    // Begins a multi-page save when the encoder is TIFF's and the parameters ask for one (true, with its
    // status); every Save first ends the multi-page save before it.
    bool SaveMultiFrame(const WCHAR* filename, IStream* stream, const CLSID* clsidEncoder,
                        const EncoderParameters* encoderParams, Status& status);
};

class Bitmap : public Image {
public:
    /// A width × height 32-bit ARGB bitmap with the resolution of the target drawing context.
    Bitmap(INT width, INT height, Graphics* target);
    /// A width × height bitmap of the pixel format.
    Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
    /// A width × height bitmap over the caller's pixels at scan0, stride bytes a row (kept by the caller
    /// for the bitmap's life).
    Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);
    /// Decodes the picture file; GetLastStatus tells whether it could be read.
    explicit Bitmap(const WCHAR* filename, BOOL useIcm = FALSE);
    /// A copy of the GDI bitmap handle's picture (the handle stays the caller's).
    Bitmap(HBITMAP hbm, HPALETTE hpal);
    /// Decodes the stream from its current position.
    explicit Bitmap(IStream* stream, BOOL useIcm = FALSE);
    /// A bitmap resource (RT_BITMAP) of the module.
    Bitmap(HINSTANCE hInstance, const WCHAR* bitmapName);

    /// A new bitmap from the GDI bitmap handle (the caller deletes it).
    static Bitmap* FromHBITMAP(HBITMAP hbm, HPALETTE hpal);
    /// A new bitmap decoded from the stream (the caller deletes it).
    static Bitmap* FromStream(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);
    /// A new bitmap from the module's bitmap resource (the caller deletes it).
    static Bitmap* FromResource(HINSTANCE hInstance, const WCHAR* bitmapName);
    /// A new bitmap decoded from the file (the caller deletes it).
    static Bitmap* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE);

    /// A bitmap handle of the caller's (DeleteObject), the picture composited over the background.
    Status GetHBITMAP(const Color& colorBackground, HBITMAP* hbmReturn);
    /// Gives direct access to the pixels of rect (null: all) in the format (PixelFormat32bppARGB: straight
    /// BGRA bytes, rows top down); flags are ImageLockMode values. Every lock is ended by UnlockBits.
    Status LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData);
    /// Ends the lock, writing the pixels back when it was taken for writing.
    Status UnlockBits(BitmapData* lockedBitmapData);
    /// Reads the pixel at (x, y) as a straight (not premultiplied) colour.
    Status GetPixel(INT x, INT y, Color* color);
    /// Writes the colour to the pixel at (x, y).
    Status SetPixel(INT x, INT y, const Color& color);
    /// Sets the resolution recorded with the picture, in dots per inch.
    Status SetResolution(REAL xdpi, REAL ydpi);

    // Bitmap family "ImageExtra": copies of a rectangle in another pixel format.
    using Image::Clone;
    /// A new bitmap of the rectangle's pixels in the format (indexed formats take the nearest colour of
    /// their standard palette; 16-bit formats keep each channel's top bits, and 16bppARGB1555 an alpha of
    /// 128 or more as opaque; 48- and 64-bit formats hold linear light, 8192 for full, in LockBits); the
    /// caller deletes it. A rectangle outside the bitmap is InvalidParameter.
    Bitmap* Clone(const Rect& rect, PixelFormat format);
    /// As Clone(Rect, PixelFormat).
    Bitmap* Clone(INT x, INT y, INT width, INT height, PixelFormat format);
    /// As Clone(Rect, PixelFormat), the rectangle's edges rounded to whole pixels.
    Bitmap* Clone(const RectF& rect, PixelFormat format);

    /// The engine's own bitmap, for the platform layer.
    DllExports::GpBitmap* NativeBitmap() const { return reinterpret_cast<DllExports::GpBitmap*>(NativeImage()); }

protected:
    Bitmap(DllExports::GpBitmap* bitmap, Status status);

private:
    // Image family "ImageExtra": writes straight ARGB pixels into this bitmap in its own format.
    Status CopyConverted(const BitmapData& from);
    // Image family "ImageExtra": a clone of the area in PixelFormat16bppRGB555 or 565, packed here.
    Bitmap* ClonePacked16(const Rect& area, PixelFormat format);
    // Image family "ImageExtra": a clone in 16bppARGB1555, 48bppRGB, 64bppARGB or 64bppPARGB.
    Bitmap* CloneWide(const Rect& area, PixelFormat format);
    // What one lock holds until it is unlocked (GdiplusLockBits.cpp).
    struct LockState;
    std::shared_ptr<LockState> lockState;
    Status LockView(const Rect& area, PixelFormat native, LockState& state, BitmapData& caller);
    Status LockConverted(const Rect& area, PixelFormat format, PixelFormat native, LockState& state,
                         BitmapData& caller);
};

class Matrix : public GdiplusBase, public StatusKeeper {
public:
    Matrix();
    Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    ~Matrix();
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;

    Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    Status GetElements(REAL* m) const;
    Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
    BOOL IsIdentity() const;
    /// Shears by the given factors, before or after the matrix as it stands.
    Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
    /// Rotates by angle degrees about the centre point.
    Status RotateAt(REAL angle, const PointF& center, MatrixOrder order = MatrixOrderPrepend);
    /// Multiplies by the other matrix, before or after this one.
    Status Multiply(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    /// Turns the matrix into its inverse; a singular matrix is left unchanged, with InvalidParameter.
    Status Invert();
    /// True when the matrix has an inverse.
    BOOL IsInvertible() const;
    /// Back to the identity.
    Status Reset();
    /// Maps the points in place.
    Status TransformPoints(PointF* points, INT count = 1) const;
    /// Maps the points in place, rounding to whole coordinates.
    Status TransformPoints(Point* points, INT count = 1) const;
    REAL OffsetX() const;
    REAL OffsetY() const;

    DllExports::GpMatrix* NativeMatrix() const { return nativeMatrix; }

private:
    DllExports::GpMatrix* nativeMatrix = nullptr;
};

class Pen : public GdiplusBase, public StatusKeeper {
public:
    Pen(const Color& color, REAL width = 1.0f);
    /// A pen that paints its stroke with the brush (a texture, a gradient); the brush stays the caller's.
    Pen(const Brush* brush, REAL width = 1.0f);
    ~Pen();
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

    Status SetDashStyle(DashStyle dashStyle);
    Status SetStartCap(LineCap startCap);
    Status SetEndCap(LineCap endCap);
    Status SetLineJoin(LineJoin lineJoin);
    Status SetAlignment(PenAlignment penAlignment);
    /// Centre (the default) or inset; drawing with an inset pen keeps closed outlines inside the shape.
    PenAlignment GetAlignment() const;
    /// Dash and gap lengths in turn, in multiples of the pen's width; the dash style becomes custom.
    Status SetDashPattern(const REAL* dashArray, INT count);
    /// The width in world units.
    REAL GetWidth() const;
    Status SetWidth(REAL width);
    Status SetColor(const Color& color);

    // BrushExtra: pen getters, caps, transform and compound lines.
    /// A new, independent copy of the pen (the caller deletes it); null when the copy fails.
    Pen* Clone() const;
    Status GetColor(Color* color) const;
    /// The kind of brush the pen paints with (PenTypeSolidColor for a pen made from a colour).
    PenType GetPenType() const;
    /// Paints later strokes with a copy of the brush.
    Status SetBrush(const Brush* brush);
    LineCap GetStartCap() const;
    LineCap GetEndCap() const;
    /// Sets both line caps and the cap of each dash at once.
    Status SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap);
    DashCap GetDashCap() const;
    Status SetDashCap(DashCap dashCap);
    LineJoin GetLineJoin() const;
    DashStyle GetDashStyle() const;
    /// How far into the dash pattern the line starts, in pen widths.
    REAL GetDashOffset() const;
    Status SetDashOffset(REAL dashOffset);
    INT GetDashPatternCount() const;
    Status GetDashPattern(REAL* dashArray, INT count) const;
    /// The longest a mitred join reaches, in multiples of half the pen's width.
    REAL GetMiterLimit() const;
    Status SetMiterLimit(REAL miterLimit);
    /// Draws the cap's copy at the start or end of lines (the cap stays the caller's).
    Status SetCustomStartCap(const CustomLineCap* customCap);
    Status SetCustomEndCap(const CustomLineCap* customCap);
    /// Makes the given object a copy of the pen's custom cap (no engine cap when the pen has none).
    Status GetCustomStartCap(CustomLineCap* customCap) const;
    Status GetCustomEndCap(CustomLineCap* customCap) const;
    /// Parallel bands across the stroke: ascending pairs of start and end, as shares (0 to 1) of its width;
    /// an odd count, a value out of order, outside 0 to 1 or not a number gives InvalidParameter.
    Status SetCompoundArray(const REAL* compoundArray, INT count);
    INT GetCompoundArrayCount() const;
    Status GetCompoundArray(REAL* compoundArray, INT count) const;
    /// The matrix the pen's shape goes through before the world transform, and the one-step changes to it.
    Status GetTransform(Matrix* matrix) const;
    Status SetTransform(const Matrix* matrix);
    Status ResetTransform();
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

    DllExports::GpPen* NativePen() const { return nativePen; }
    /// The pen's own copy of the brush it paints with, for the layer's strokes; null for a pen of one colour.
    const Brush* StrokeBrush() const { return strokeBrush.get(); }
    /// The path of the custom cap last set at the start or end, for the layer's strokes; null for none or
    /// an arrow cap.
    const CustomCapOutline* CustomCapPath(bool start) const { return (start ? startCapPath : endCapPath).get(); }

private:
    DllExports::GpPen* nativePen = nullptr;
    std::shared_ptr<const Brush> strokeBrush;
    // The engine keeps a cap's path but gives it no getter: the layer keeps its own copy.
    std::shared_ptr<const CustomCapOutline> startCapPath, endCapPath;
};

class Brush : public GdiplusBase, public StatusKeeper {
public:
    virtual ~Brush();
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;

    DllExports::GpBrush* NativeBrush() const { return nativeBrush; }
    /// A new, independent copy of the brush, of the same kind (the caller deletes it); null when the copy
    /// fails.
    virtual Brush* Clone() const;

protected:
    Brush() = default;
    /// Gives the copy a copy of this brush's engine object; false (and the status kept) when that fails.
    bool CopyNativeTo(Brush* copy) const;
    DllExports::GpBrush* nativeBrush = nullptr;
};

class SolidBrush : public Brush {
public:
    explicit SolidBrush(const Color& color);
    Status SetColor(const Color& color);
    Brush* Clone() const override;

private:
    SolidBrush() = default;
};

class HatchBrush : public Brush {
public:
    HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor = Color());

    // What the brush was made from, for the fills the layer draws itself.
    struct Hatch {
        HatchStyle style = HatchStyleHorizontal;
        ARGB fore = 0, back = 0;
    };
    const Hatch& Definition() const { return hatch; }
    Brush* Clone() const override;

private:
    HatchBrush() = default;
    Hatch hatch;
};

class LinearGradientBrush : public Brush {
public:
    LinearGradientBrush(const Point& point1, const Point& point2, const Color& color1, const Color& color2);
    LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1, const Color& color2);
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const;
    /// Shapes the gradient: at each position (0 to 1 along the line, first 0 and last 1) the colour is that
    /// share of the way from the first colour to the second.
    Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);

    // BrushExtra: rectangle and angle gradients, colours, blends, gamma and transform.
    /// A gradient across the rectangle in the mode's direction, first colour at its start.
    LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, LinearGradientMode mode);
    LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, LinearGradientMode mode);
    /// A gradient across the rectangle at angle degrees clockwise from the x axis; when the angle is
    /// scalable it follows the rectangle's diagonal as the rectangle stretches.
    LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                        BOOL isAngleScalable = FALSE);
    LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, REAL angle,
                        BOOL isAngleScalable = FALSE);
    /// The colours at the start and end (colors holds two).
    Status GetLinearColors(Color* colors) const;
    Status SetLinearColors(const Color& color1, const Color& color2);
    /// The rectangle one repeat of the gradient covers.
    Status GetRectangle(RectF* rect) const;
    Status GetRectangle(Rect* rect) const;
    Status SetGammaCorrection(BOOL useGammaCorrection);
    BOOL GetGammaCorrection() const;
    INT GetBlendCount() const;
    Status GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) const;
    /// Colours at positions along the line (first 0, last 1), in place of the two colours.
    Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
    INT GetInterpolationColorCount() const;
    Status GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const;
    /// A bell-shaped (Gaussian) or triangular blend: the second colour peaks at focus (0 to 1) with the
    /// share scale, falling off to the first colour at both ends.
    Status SetBlendBellShape(REAL focus, REAL scale = 1.0f);
    Status SetBlendTriangularShape(REAL focus, REAL scale = 1.0f);
    /// The matrix from brush to world coordinates, and the one-step changes to it.
    Status GetTransform(Matrix* matrix) const;
    Status SetTransform(const Matrix* matrix);
    Status ResetTransform();
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

    // What the brush was made from, for the fills the layer draws itself.
    struct Line {
        PointF from, to;  // where the first colour starts and the last ends, before the brush transform
        ARGB first = 0, second = 0;
        bool tiled = true;                       // WrapModeTile
        bool blended = false;                    // shaped by SetBlend
        REAL transform[6] = {1, 0, 0, 1, 0, 0};  // the brush transform as set by the caller
    };
    const Line& Definition() const { return line; }
    Brush* Clone() const override;

private:
    LinearGradientBrush() = default;
    Line line;
    DllExports::GpLineGradient* NativeLine() const { return reinterpret_cast<DllExports::GpLineGradient*>(nativeBrush); }
};

/// Paints with copies of an image, or of a part of it, laid from the origin of the drawing surface.
class TextureBrush : public Brush {
public:
    /// The whole image; the brush keeps its own copy, so the image may go before the brush.
    explicit TextureBrush(Image* image, WrapMode wrapMode = WrapModeTile);
    /// The part of the image inside the rectangle.
    TextureBrush(Image* image, WrapMode wrapMode, const RectF& dstRect);
    TextureBrush(Image* image, WrapMode wrapMode, const Rect& dstRect);
    TextureBrush(Image* image, WrapMode wrapMode, REAL dstX, REAL dstY, REAL dstWidth, REAL dstHeight);
    TextureBrush(Image* image, WrapMode wrapMode, INT dstX, INT dstY, INT dstWidth, INT dstHeight);

    /// How copies meet beyond the image: tiled, mirrored or (clamp) none.
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const;
    /// Places the image's copies: the matrix maps image coordinates to drawing coordinates; the other
    /// members reset it or change it by one step, before or after the transform as it stands.
    Status SetTransform(const Matrix* matrix);
    Status ResetTransform();
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Brush* Clone() const override;

private:
    TextureBrush() = default;
    DllExports::GpTexture* NativeTexture() const { return reinterpret_cast<DllExports::GpTexture*>(nativeBrush); }
};

class FontFamily : public GdiplusBase, public StatusKeeper {
public:
    FontFamily() = default;
    /// The installed family of that name, or the family of that name in the collection when one is given.
    explicit FontFamily(const WCHAR* name, const FontCollection* fontCollection = nullptr);
    ~FontFamily();
    FontFamily(const FontFamily&) = delete;
    FontFamily& operator=(const FontFamily&) = delete;

    // The engine's generic sans-serif family, made once and kept for the process.
    static const FontFamily* GenericSansSerif();

    /// The family's name; a Windows name that a metric-compatible family stands in for is reported as asked.
    Status GetFamilyName(WCHAR name[LF_FACESIZE], LANGID language = 0) const;
    BOOL IsAvailable() const { return nativeFamily != nullptr; }

    // GraphicsExtra: the family's design metrics, in font design units (GdiplusGraphicsExtra.cpp).
    /// The height of the em square (2048 for most TrueType families); 0 when there is no family.
    UINT16 GetEmHeight(INT style) const;
    /// The distance from the baseline to the top of the cell.
    UINT16 GetCellAscent(INT style) const;
    /// The distance from the baseline to the bottom of the cell.
    UINT16 GetCellDescent(INT style) const;
    /// The distance from one baseline to the next.
    UINT16 GetLineSpacing(INT style) const;
    /// Whether the family can be drawn in the style (a FontStyle set).
    BOOL IsStyleAvailable(INT style) const;

    DllExports::GpFontFamily* NativeFamily() const { return nativeFamily; }

private:
    friend class FontCollection;
    // GraphicsExtra: one of the family's design metrics, 0 (with the status kept) when it cannot be had.
    UINT16 Metric(Status (*metric)(const DllExports::GpFontFamily*, INT, UINT16*), INT style) const;
    DllExports::GpFontFamily* nativeFamily = nullptr;
    std::u16string standInFor;  // the name asked for, where another family stands in for it
};

class Font : public GdiplusBase, public StatusKeeper {
public:
    Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
    /// A font of the named family, or of the generic sans-serif family when that name is not installed.
    Font(const WCHAR* familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint,
         const FontCollection* fontCollection = nullptr);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    REAL GetSize() const;
    INT GetStyle() const;
    BOOL IsAvailable() const { return nativeFont != nullptr; }

    // GraphicsExtra: fonts from GDI descriptions, and their sizes (GdiplusGraphicsExtra.cpp).
    /// The font a GDI logical font describes: its face (NotTrueTypeFont when no such family is installed),
    /// its height in pixels (negative: the em height; positive: the cell height), weight, italic, underline
    /// and strikeout. The device context is not consulted.
    Font(HDC hdc, const LOGFONTW* logfont);
    /// The font selected into the device context: not available here (NotImplemented).
    explicit Font(HDC hdc);
    /// The GDI logical font of this font as drawn on the context.
    Status GetLogFontW(const Graphics* g, LOGFONTW* logfontW) const;
    /// The line spacing in the context's page units.
    REAL GetHeight(const Graphics* graphics) const;
    /// The line spacing in pixels at the resolution.
    REAL GetHeight(REAL dpi) const;
    /// The unit the size is given in.
    Unit GetUnit() const;

    DllExports::GpFont* NativeFont() const { return nativeFont; }
    // The face, size and metrics the layer lays this font out with itself (text/TextFaces.cpp), looked up
    // once; null when the layer leaves the font to the engine.
    const LayerFont* Layer() const;

private:
    DllExports::GpFont* nativeFont = nullptr;
    mutable std::once_flag layerLookup;
    mutable std::shared_ptr<const LayerFont> layer;
};

class StringFormat : public GdiplusBase, public StatusKeeper {
public:
    explicit StringFormat(INT formatFlags = 0, LANGID language = 0);
    /// A copy of the other format's settings.
    StringFormat(const StringFormat* format);
    ~StringFormat();
    /// The engine's shared formats, kept for the process: the default layout, and the typographic one
    /// (no clipping, whole lines only, no fitting to the glyphs' black box).
    static const StringFormat* GenericDefault();
    static const StringFormat* GenericTypographic();
    StringFormat(const StringFormat&) = delete;
    StringFormat& operator=(const StringFormat&) = delete;

    Status SetAlignment(StringAlignment align);
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetAlignment() const;
    StringAlignment GetLineAlignment() const;
    /// A set of StringFormatFlags (no wrapping, no clipping, right to left...).
    Status SetFormatFlags(INT flags);
    /// The flags set, as a StringFormatFlags set.
    INT GetFormatFlags() const;
    /// Tab stops: the first at firstTabOffset from the layout's start, each next one the given distance further.
    Status SetTabStops(REAL firstTabOffset, INT count, const REAL* tabStops);
    /// How many distances SetTabStops gave, and those distances with the first offset.
    INT GetTabStopCount() const;
    Status GetTabStops(INT count, REAL* firstTabOffset, REAL* tabStops) const;
    /// How the last visible line is cut when the text does not fit (Character by default; ellipsis forms
    /// end it with "…").
    Status SetTrimming(StringTrimming trimming);
    StringTrimming GetTrimming() const;
    /// What "&" does: None draws it, Hide drops it, Show drops it and underlines the next character ("&&"
    /// is one "&" under Hide and Show).
    Status SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
    HotkeyPrefix GetHotkeyPrefix() const;
    /// The runs of characters Graphics::MeasureCharacterRanges measures (at most 32, as in GDI+).
    Status SetMeasurableCharacterRanges(INT rangeCount, const CharacterRange* ranges);
    /// How many runs SetMeasurableCharacterRanges gave.
    INT GetMeasurableCharacterRangeCount() const;

    DllExports::GpStringFormat* NativeFormat() const { return nativeFormat; }

    /// True for GenericTypographic and its copies, which lay text out without GenericDefault's padding.
    bool IsTypographic() const { return typographic; }
    /// The runs SetMeasurableCharacterRanges gave.
    const std::vector<CharacterRange>& MeasurableRanges() const { return measurableRanges; }

private:
    StringFormat(DllExports::GpStringFormat* format, Status status);
    DllExports::GpStringFormat* nativeFormat = nullptr;
    bool typographic = false;
    std::vector<CharacterRange> measurableRanges;
};

class GraphicsPath : public GdiplusBase, public StatusKeeper {
public:
    /// An empty path; the fill mode decides the inside of crossing figures.
    explicit GraphicsPath(FillMode fillMode = FillModeAlternate);
    /// Releases the path.
    ~GraphicsPath();
    GraphicsPath(const GraphicsPath&) = delete;
    GraphicsPath& operator=(const GraphicsPath&) = delete;

    /// Adds a line from (x1, y1) to (x2, y2) to the current figure (joined to what the figure holds).
    Status AddLine(INT x1, INT y1, INT x2, INT y2);
    /// As above, in floating point.
    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
    /// Adds a line from pt1 to pt2 to the current figure.
    Status AddLine(const Point& pt1, const Point& pt2);
    /// One segment from the first point to the second, joined to the figure's last point.
    Status AddLine(const PointF& pt1, const PointF& pt2);
    /// Joined line segments through the points.
    Status AddLines(const Point* points, INT count);
    Status AddLines(const PointF* points, INT count);
    /// A cubic Bézier from the first point to the fourth, pulled towards the second and third.
    Status AddBezier(INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
    Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status AddBezier(const Point& pt1, const Point& pt2, const Point& pt3, const Point& pt4);
    Status AddBezier(const PointF& pt1, const PointF& pt2, const PointF& pt3, const PointF& pt4);
    /// Béziers in a row, each ending where the next begins: 1 + 3 × n points.
    Status AddBeziers(const Point* points, INT count);
    Status AddBeziers(const PointF* points, INT count);
    /// A cardinal spline through the points; tension 0 gives straight segments, 0.5 is the default.
    Status AddCurve(const Point* points, INT count);
    Status AddCurve(const PointF* points, INT count);
    Status AddCurve(const Point* points, INT count, REAL tension);
    Status AddCurve(const PointF* points, INT count, REAL tension);
    /// The part of the spline from point offset over numberOfSegments segments.
    Status AddCurve(const Point* points, INT count, INT offset, INT numberOfSegments, REAL tension);
    Status AddCurve(const PointF* points, INT count, INT offset, INT numberOfSegments, REAL tension);
    /// A closed cardinal spline through the points, as a figure of its own.
    Status AddClosedCurve(const Point* points, INT count);
    Status AddClosedCurve(const PointF* points, INT count);
    Status AddClosedCurve(const Point* points, INT count, REAL tension);
    Status AddClosedCurve(const PointF* points, INT count, REAL tension);
    /// Adds the arc of the ellipse bounded by (x, y, width, height), from startAngle (degrees clockwise
    /// from the x axis) through sweepAngle degrees, to the current figure.
    Status AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
    /// As above, in floating point.
    Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    /// As above, for the ellipse bounded by rect.
    Status AddArc(const Rect& rect, REAL startAngle, REAL sweepAngle);
    /// An arc of the ellipse in the rectangle: angles in degrees, clockwise from the x axis.
    Status AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle);
    /// Adds the rectangle as a closed figure of its own.
    Status AddRectangle(const Rect& rect);
    /// The rectangle as a closed figure of its own.
    Status AddRectangle(const RectF& rect);
    /// Each rectangle as a closed figure of its own.
    Status AddRectangles(const Rect* rects, INT count);
    Status AddRectangles(const RectF* rects, INT count);
    /// Adds the ellipse bounded by (x, y, width, height) as a closed figure of its own.
    Status AddEllipse(INT x, INT y, INT width, INT height);
    /// The ellipse in the rectangle, as a closed figure of its own.
    Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
    Status AddEllipse(const Rect& rect);
    Status AddEllipse(const RectF& rect);
    /// A closed wedge of the ellipse in the rectangle: angles in degrees, clockwise from the x axis.
    Status AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
    Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddPie(const Rect& rect, REAL startAngle, REAL sweepAngle);
    Status AddPie(const RectF& rect, REAL startAngle, REAL sweepAngle);
    /// Adds the polygon through count points as a closed figure of its own.
    Status AddPolygon(const Point* points, INT count);
    /// The polygon through the points, as a closed figure of its own.
    Status AddPolygon(const PointF* points, INT count);
    /// Adds the outlines of the first length characters of string (UTF-16) in the family, style (FontStyle)
    /// and em size, at origin or laid out in the rectangle, as closed figures; an underlined or struck-out
    /// style adds its lines as rectangles. A layout with NaN or an infinite corner is InvalidParameter.
    Status AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                     const Point& origin, const StringFormat* format);
    Status AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                     const PointF& origin, const StringFormat* format);
    Status AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                     const Rect& layoutRect, const StringFormat* format);
    Status AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                     const RectF& layoutRect, const StringFormat* format);
    /// Starts a new figure without closing the current one; later lines are not joined to it.
    Status StartFigure();
    /// Closes the current figure (back to its first point) and starts a new one.
    Status CloseFigure();
    /// Closes every open figure of the path.
    Status CloseAllFigures();
    Status Reset();
    /// The number of points the path holds.
    INT GetPointCount() const;
    /// Copies the path's count points into points.
    Status GetPathPoints(PointF* points, INT count) const;
    /// The points rounded to whole coordinates.
    Status GetPathPoints(Point* points, INT count) const;
    /// Copies the type of each of the count points (PathPointType values) into types.
    Status GetPathTypes(BYTE* types, INT count) const;
    /// The box around the path's points (control points included), its corners mapped by matrix; a pen
    /// widens it on every side by the pen's reach as GDI+ estimates it (half the width, the miter reach
    /// for a path of more than two points with mitered joins, 2.2 widths for an anchor cap).
    Status GetBounds(RectF* bounds, const Matrix* matrix = nullptr, const Pen* pen = nullptr) const;
    /// The bounds with each of x, y, width and height rounded to the nearest whole unit.
    Status GetBounds(Rect* bounds, const Matrix* matrix = nullptr, const Pen* pen = nullptr) const;
    /// Maps every point of the path by the matrix.
    Status Transform(const Matrix* matrix);
    /// True when every figure of the path is closed.
    bool AllFiguresClosed() const;

    // PathExtra: construction from points and types, whole-path operations, markers and hit tests.
    /// A path of count points with their PathPointType values; the first point always starts a figure.
    /// Types that do not make whole figures (a Bézier short of three points, a trailing start) give an
    /// empty path; count below 1 fails with OutOfMemory, null arrays with InvalidParameter.
    GraphicsPath(const PointF* points, const BYTE* types, INT count, FillMode fillMode = FillModeAlternate);
    GraphicsPath(const Point* points, const BYTE* types, INT count, FillMode fillMode = FillModeAlternate);
    /// Appends the figures of another path; with connect, its first figure joins the current open one.
    Status AddPath(const GraphicsPath* addingPath, BOOL connect);
    /// Reverses the order of the points, each figure keeping its start, closure and markers.
    Status Reverse();
    /// Marks the end of the current section (for GraphicsPathIterator::NextMarker).
    Status SetMarker();
    /// Removes every marker.
    Status ClearMarkers();
    /// The last point of the path; InvalidParameter when it has none.
    Status GetLastPoint(PointF* lastPoint) const;
    /// Copies the points and types into pathData (its arrays are replaced).
    Status GetPathData(PathData* pathData) const;
    /// The fill mode, and setting it.
    FillMode GetFillMode() const;
    Status SetFillMode(FillMode fillMode);
    /// Replaces the curves by line segments no farther than flatness from them, after mapping by matrix.
    Status Flatten(const Matrix* matrix = nullptr, REAL flatness = FlatnessDefault);
    /// Replaces the path by the outline of its stroke with the pen (caps, joins and dashes included),
    /// as closed figures, the curves flattened to flatness; matrix maps the path first.
    Status Widen(const Pen* pen, const Matrix* matrix = nullptr, REAL flatness = FlatnessDefault);
    /// Maps the rectangle srcRect onto the quadrilateral of destPoints (3 or 4 points: top-left, top-right,
    /// bottom-left[, bottom-right]), bilinearly or in perspective; the path is flattened first.
    Status Warp(const PointF* destPoints, INT count, const RectF& srcRect, const Matrix* matrix = nullptr,
                WarpMode warpMode = WarpModePerspective, REAL flatness = FlatnessDefault);
    /// True when (x, y) is inside the filled path (by its fill mode); the graphics does not change it.
    BOOL IsVisible(REAL x, REAL y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const PointF& point, const Graphics* g = nullptr) const;
    BOOL IsVisible(INT x, INT y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const Point& point, const Graphics* g = nullptr) const;
    /// True when (x, y) is under the stroke the pen would draw, the pen's width taken on the graphics'
    /// device when one is given.
    BOOL IsOutlineVisible(REAL x, REAL y, const Pen* pen, const Graphics* g = nullptr) const;
    BOOL IsOutlineVisible(const PointF& point, const Pen* pen, const Graphics* g = nullptr) const;
    BOOL IsOutlineVisible(INT x, INT y, const Pen* pen, const Graphics* g = nullptr) const;
    BOOL IsOutlineVisible(const Point& point, const Pen* pen, const Graphics* g = nullptr) const;

    /// The engine's own path, for the platform layer.
    DllExports::GpPath* NativePath() const { return nativePath; }

private:
    // PathExtra: puts the points and types in place of the path's own (the fill mode stays).
    Status ReplaceWith(const std::vector<PointF>& points, const std::vector<BYTE>& types);
    DllExports::GpPath* nativePath = nullptr;
};

#include "GdiplusPathExtra.h"
}  // namespace Gdiplus

#include "GdiplusBrushExtra.h"

namespace Gdiplus {

struct ImageAdjustments;
struct ColorAdjustments;

class ImageAttributes : public GdiplusBase, public StatusKeeper {
public:
    ImageAttributes();
    ~ImageAttributes();
    ImageAttributes(const ImageAttributes&) = delete;
    ImageAttributes& operator=(const ImageAttributes&) = delete;

    /// Colours drawn are the row (r, g, b, a, 1) times the matrix; with ColorMatrixFlagsSkipGrays greys are
    /// left as they are.
    Status SetColorMatrix(const ColorMatrix* colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                          ColorAdjustType type = ColorAdjustTypeDefault);
    /// As SetColorMatrix, and with ColorMatrixFlagsAltGray greys are multiplied by the grey matrix instead.
    Status SetColorMatrices(const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                            ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                            ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorMatrices(ColorAdjustType type = ColorAdjustTypeDefault);

    // BrushExtra: the other colour adjustments and the wrap mode.
    /// A new, independent copy (the caller deletes it); null when the copy fails.
    ImageAttributes* Clone() const;
    /// Sets the kind of drawing's colour matrix to the identity.
    Status SetToIdentity(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Forgets everything set for the kind of drawing.
    Status Reset(ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorMatrix(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Pixels whose every colour channel lies between the low and high key colours are drawn transparent.
    Status SetColorKey(const Color& colorLow, const Color& colorHigh, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorKey(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Each map's old colour is drawn as its new colour (at most 2^20 entries: more is OutOfMemory).
    Status SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearRemapTable(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Colour channels raised to the power gamma (above 0, else InvalidParameter).
    Status SetGamma(REAL gamma, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearGamma(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Colour channels above the threshold (0 to 1) go to full, the others to none.
    Status SetThreshold(REAL threshold, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearThreshold(ColorAdjustType type = ColorAdjustTypeDefault);
    /// Turns the adjustments for the kind of drawing off, or back on.
    Status SetNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    /// How the picture repeats beyond its edges, with the colour used outside it for WrapModeClamp.
    Status SetWrapMode(WrapMode wrap, const Color& color = Color(), BOOL clamp = FALSE);

    DllExports::GpImageAttributes* NativeAttributes() const { return nativeAttributes; }
    /// The layer's record of the settings, which the layer draws with (null if it could not be made).
    const ImageAdjustments* Adjustments() const { return adjustments.get(); }

private:
    // Checks the kind and the status of the arguments' checks, then changes the kind's record.
    Status Record(ColorAdjustType type, Status check, const std::function<void(ColorAdjustments&)>& change);

    DllExports::GpImageAttributes* nativeAttributes = nullptr;
    std::unique_ptr<ImageAdjustments> adjustments;
};

#include "GdiplusGraphicsExtra.h"

class Graphics : public GdiplusBase, public StatusKeeper {
public:
    explicit Graphics(HDC hdc);
    explicit Graphics(HWND hwnd, BOOL icm = FALSE);
    explicit Graphics(Image* image);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    static Graphics* FromHDC(HDC hdc);
    static Graphics* FromHWND(HWND hwnd, BOOL icm = FALSE);
    static Graphics* FromImage(Image* image);

    Status Clear(const Color& color);
    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const;
    Status SetInterpolationMode(InterpolationMode mode);
    InterpolationMode GetInterpolationMode() const;
    Status SetCompositingMode(CompositingMode mode);
    /// Whether drawing blends over the pixels (source over) or replaces them (source copy).
    CompositingMode GetCompositingMode() const;
    /// How carefully blended pixels are computed.
    Status SetCompositingQuality(CompositingQuality quality);
    CompositingQuality GetCompositingQuality() const;
    Status SetTextRenderingHint(TextRenderingHint hint);

    Status SetTransform(const Matrix* matrix);
    Status GetTransform(Matrix* matrix) const;
    Status ResetTransform();
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);

    /// Keeps later drawing inside the rectangle or path, combined with the clip as it stands.
    Status SetClip(const Rect& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const RectF& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const GraphicsPath* path, CombineMode combineMode = CombineModeReplace);
    /// Drawing reaches everywhere again.
    Status ResetClip();
    /// The box around the clip, in world coordinates.
    Status GetClipBounds(RectF* rect) const;

    // Region family: clipping to regions, and what the clip lets through.
    /// Keeps later drawing inside the region (world coordinates), combined with the clip as it stands.
    Status SetClip(const Region* region, CombineMode combineMode = CombineModeReplace);
    /// Takes the other context's clip, combined with this one's as it stands.
    Status SetClip(const Graphics* g, CombineMode combineMode = CombineModeReplace);
    /// Clips to a GDI region handle: there are no GDI regions here, so NotImplemented.
    Status SetClip(HRGN hRgn, CombineMode combineMode = CombineModeReplace);
    /// Narrows the clip to its part inside the rectangle or region.
    Status IntersectClip(const Rect& rect);
    Status IntersectClip(const RectF& rect);
    Status IntersectClip(const Region* region);
    /// Takes the rectangle or region out of the clip.
    Status ExcludeClip(const Rect& rect);
    Status ExcludeClip(const RectF& rect);
    Status ExcludeClip(const Region* region);
    /// Moves the clip by the offsets.
    Status TranslateClip(INT dx, INT dy);
    Status TranslateClip(REAL dx, REAL dy);
    /// Copies the clip, in world coordinates, into the region.
    Status GetClip(Region* region) const;
    /// The box around the clip, rounded outwards to whole units.
    Status GetClipBounds(Rect* rect) const;
    /// The box around what drawing can reach: the clip within the surface, in world coordinates.
    Status GetVisibleClipBounds(RectF* rect) const;
    Status GetVisibleClipBounds(Rect* rect) const;
    /// True when the clip holds no area.
    BOOL IsClipEmpty() const;
    /// True when nothing drawn can reach the surface.
    BOOL IsVisibleClipEmpty() const;
    /// True when the point lies in what drawing can reach.
    BOOL IsVisible(INT x, INT y) const;
    BOOL IsVisible(const Point& point) const;
    BOOL IsVisible(REAL x, REAL y) const;
    BOOL IsVisible(const PointF& point) const;
    /// True when some part of the rectangle lies in what drawing can reach.
    BOOL IsVisible(INT x, INT y, INT width, INT height) const;
    BOOL IsVisible(const Rect& rect) const;
    BOOL IsVisible(REAL x, REAL y, REAL width, REAL height) const;
    BOOL IsVisible(const RectF& rect) const;
    /// Fills the region with the brush.
    Status FillRegion(const Brush* brush, const Region* region);
    /// Keeps the transform, page unit and scale, clip and quality settings; Restore brings them back and
    /// forgets the states saved after that one.
    GraphicsState Save();
    Status Restore(GraphicsState state);

    Status SetPageUnit(Unit unit);
    Unit GetPageUnit() const;
    Status SetPageScale(REAL scale);
    REAL GetPageScale() const;
    REAL GetDpiX() const;
    REAL GetDpiY() const;

    Status DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2);
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLine(const Pen* pen, const Point& pt1, const Point& pt2);
    /// Joined line segments through the points.
    Status DrawLines(const Pen* pen, const Point* points, INT count);
    Status DrawLines(const Pen* pen, const PointF* points, INT count);
    /// An arc of the ellipse in the rectangle: angles in degrees, clockwise from the x axis.
    Status DrawArc(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
    Status DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status DrawArc(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle);
    Status DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height);
    Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawRectangle(const Pen* pen, const Rect& rect);
    Status DrawRectangle(const Pen* pen, const RectF& rect);
    Status DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height);
    Status DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawPolygon(const Pen* pen, const Point* points, INT count);
    Status DrawPolygon(const Pen* pen, const PointF* points, INT count);
    Status DrawPath(const Pen* pen, const GraphicsPath* path);
    /// A cubic Bézier from the first point to the fourth, pulled towards the second and third.
    Status DrawBezier(const Pen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
    Status DrawBezier(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status DrawBezier(const Pen* pen, const Point& pt1, const Point& pt2, const Point& pt3, const Point& pt4);
    Status DrawBezier(const Pen* pen, const PointF& pt1, const PointF& pt2, const PointF& pt3, const PointF& pt4);
    /// Béziers in a row, each ending where the next begins: 1 + 3 × n points.
    Status DrawBeziers(const Pen* pen, const Point* points, INT count);
    Status DrawBeziers(const Pen* pen, const PointF* points, INT count);
    /// A cardinal spline through the points; tension 0 gives straight segments, 0.5 is the default.
    Status DrawCurve(const Pen* pen, const Point* points, INT count);
    Status DrawCurve(const Pen* pen, const PointF* points, INT count);
    Status DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension);
    Status DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension);
    /// The part of the spline from point offset over numberOfSegments segments.
    Status DrawCurve(const Pen* pen, const Point* points, INT count, INT offset, INT numberOfSegments, REAL tension);
    Status DrawCurve(const Pen* pen, const PointF* points, INT count, INT offset, INT numberOfSegments,
                     REAL tension);
    /// A closed cardinal spline through the points.
    Status DrawClosedCurve(const Pen* pen, const Point* points, INT count);
    Status DrawClosedCurve(const Pen* pen, const PointF* points, INT count);
    Status DrawClosedCurve(const Pen* pen, const Point* points, INT count, REAL tension);
    Status DrawClosedCurve(const Pen* pen, const PointF* points, INT count, REAL tension);
    /// The outline of a wedge of the ellipse in the rectangle: angles in degrees, clockwise from the x axis.
    Status DrawPie(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
    Status DrawPie(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status DrawPie(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle);
    Status DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height);
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillRectangle(const Brush* brush, const Rect& rect);
    Status FillRectangle(const Brush* brush, const RectF& rect);
    Status FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height);
    Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillPolygon(const Brush* brush, const Point* points, INT count, FillMode fillMode = FillModeAlternate);
    /// The inside of the polygon through the points, by the fill mode's rule.
    Status FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate);
    /// The inside of a closed cardinal spline through the points.
    Status FillClosedCurve(const Brush* brush, const Point* points, INT count);
    Status FillClosedCurve(const Brush* brush, const PointF* points, INT count);
    Status FillClosedCurve(const Brush* brush, const Point* points, INT count, FillMode fillMode,
                           REAL tension = 0.5f);
    Status FillClosedCurve(const Brush* brush, const PointF* points, INT count, FillMode fillMode,
                           REAL tension = 0.5f);
    /// A wedge of the ellipse in the rectangle: angles in degrees, clockwise from the x axis.
    Status FillPie(const Brush* brush, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
    Status FillPie(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status FillPie(const Brush* brush, const Rect& rect, REAL startAngle, REAL sweepAngle);
    Status FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status FillPath(const Brush* brush, const GraphicsPath* path);

    /// Draws the text laid out as MeasureString measures it, filled with the brush (InvalidParameter for a
    /// missing string, font or brush, or a layout MeasureString refuses).
    Status DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin, const Brush* brush);
    Status DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                      const StringFormat* format, const Brush* brush);
    Status DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                      const StringFormat* format, const Brush* brush);
    /// The box the text takes in the layout, and how many UTF-16 units and lines fit, as GDI+ measures:
    /// an empty or infinite side of the layout sets no limit, and an unwrapped line stops at the layout's
    /// width after its last whole character (unless StringFormatFlagsNoClip is set). A layout with NaN or
    /// an infinite corner is InvalidParameter.
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                         const StringFormat* format, RectF* boundingBox, INT* codepointsFitted = nullptr,
                         INT* linesFilled = nullptr) const;
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                         const StringFormat* format, RectF* boundingBox) const;
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                         RectF* boundingBox) const;
    /// Sets each of the first regions to the area that the format's measurable character range of the
    /// same index takes when the text is laid out in the layout (an empty side sets no limit); a range
    /// laid out beyond the layout gets an empty region. regionCount must be at least the number of ranges,
    /// and a range reaching outside the string is InvalidParameter (GDI+).
    Status MeasureCharacterRanges(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                  const StringFormat* stringFormat, INT regionCount, Region* regions) const;

    Status DrawImage(Image* image, INT x, INT y);
    Status DrawImage(Image* image, REAL x, REAL y);
    Status DrawImage(Image* image, const Point& point);
    Status DrawImage(Image* image, INT x, INT y, INT width, INT height);
    Status DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height);
    Status DrawImage(Image* image, const Rect& rect);
    Status DrawImage(Image* image, const RectF& rect);
    Status DrawImage(Image* image, INT x, INT y, INT srcx, INT srcy, INT srcwidth, INT srcheight, Unit srcUnit);
    Status DrawImage(Image* image, REAL x, REAL y, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, Unit srcUnit);
    Status DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                     Unit srcUnit, const ImageAttributes* imageAttributes = nullptr,
                     DrawImageAbort callback = nullptr, void* callbackData = nullptr);
    Status DrawImage(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight,
                     Unit srcUnit, const ImageAttributes* imageAttributes = nullptr,
                     DrawImageAbort callback = nullptr, void* callbackData = nullptr);

    HDC GetHDC();
    void ReleaseHDC(HDC hdc);

    // GraphicsExtra: containers, coordinate spaces and other context settings (GdiplusGraphicsExtra.cpp).
    /// Opens a container: the state is kept (as Save keeps it) and then starts afresh (identity transform,
    /// default page and quality settings) inside the context's present mapping, so drawing inside lands
    /// where the outside mapping puts it. EndContainer closes it and everything opened after it.
    GraphicsContainer BeginContainer();
    /// As above, with a world transform that carries srcrect (in unit: pixels to millimetres) onto dstrect
    /// (in the outside's world coordinates).
    GraphicsContainer BeginContainer(const RectF& dstrect, const RectF& srcrect, Unit unit);
    GraphicsContainer BeginContainer(const Rect& dstrect, const Rect& srcrect, Unit unit);
    /// Brings back the state as it was when the container was begun; a container the context does not
    /// hold open is ignored.
    Status EndContainer(GraphicsContainer state);
    /// Maps the points in place from one coordinate space to another (world, page, device).
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, PointF* pts, INT count) const;
    /// As above, rounding to whole coordinates.
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, Point* pts, INT count) const;
    /// Where pixel centres lie for drawing: Half and HighQuality put them half a pixel off whole coordinates.
    Status SetPixelOffsetMode(PixelOffsetMode pixelOffsetMode);
    PixelOffsetMode GetPixelOffsetMode() const;
    /// The origin of dither and hatch patterns, in device pixels.
    Status SetRenderingOrigin(INT x, INT y);
    Status GetRenderingOrigin(INT* x, INT* y) const;
    /// The gamma of anti-aliased text, 0 to 12 (4 by default).
    Status SetTextContrast(UINT contrast);
    UINT GetTextContrast() const;
    /// Each rectangle filled with the brush, in order.
    Status FillRectangles(const Brush* brush, const RectF* rects, INT count);
    Status FillRectangles(const Brush* brush, const Rect* rects, INT count);
    /// Each rectangle outlined with the pen, in order.
    Status DrawRectangles(const Pen* pen, const RectF* rects, INT count);
    Status DrawRectangles(const Pen* pen, const Rect* rects, INT count);
    /// The whole image on the parallelogram whose upper-left, upper-right and lower-left corners are the
    /// three points (count 3; other counts fail with NotImplemented or InvalidParameter as in GDI+).
    Status DrawImage(Image* image, const PointF* destPoints, INT count);
    Status DrawImage(Image* image, const Point* destPoints, INT count);
    /// The colour the surface would show for the colour (every colour, on 32-bit surfaces).
    Status GetNearestColor(Color* color) const;
    /// Hands drawing done so far to the surface.
    void Flush(FlushIntention intention = FlushIntentionFlush);

    DllExports::GpGraphics* NativeGraphics() const { return nativeGraphics; }

private:
    // libgdiplus ignores the page scale when the page unit is pixels; the layer applies that scale itself,
    // as a uniform scale after the world transform, keeping the world transform callers see unchanged.
    REAL EnginePageScale() const;
    void UpdatePixelPageScale();
    Status SetEngineWorld(const Matrix& world);
    // libgdiplus draws an inset pen centred on the outline; GDI+ keeps it inside closed outlines.
    static bool IsInset(const Pen* pen);
    // The outline's figures were added with the status built.
    Status DrawInset(const Pen* pen, const GraphicsPath& outline, Status built);
    // Lines whose caps or dashes the engine cannot end as GDI+ does are filled as outlines here.
    static bool EngineDrawsLineEnds(const Pen* pen);
    Status DrawLineWithEnds(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status FillNativePath(DllExports::GpBrush* brush, DllExports::GpPath* path);
    bool PhysicalSize(Image* image, REAL pixelsWide, REAL pixelsHigh, REAL* width, REAL* height) const;
    static bool ScalesOneAxisOnly(const RectF& destRect, REAL srcwidth, REAL srcheight);
    Status DrawImageThroughScale(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                                 REAL srcheight, DrawImageAbort callback, void* callbackData);
    // libgdiplus plays a metafile only whole into a rectangle; a source rectangle of one is drawn here.
    Status DrawMetafilePart(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight);
    // True when the context draws into a bitmap one-to-one: pixel units, no transform, no page scale, no clip.
    bool DrawsPixelForPixel() const;
    // Draws a scaled-down picture, or any scaled one with nearest neighbour, onto whole device pixels itself
    // (GdiplusScale.cpp), within the clip; false otherwise.
    bool DrawScaledDown(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight);
    // Fills a region's whole pixels within the clip, both read as pixels by the layer; false, having drawn
    // nothing, otherwise (GdiplusRegionFill.cpp). ReadRegionPixels reads the region's device pixels as a clip.
    bool FillRegionByLayer(const Brush* brush, const Region* region);
    bool ReadRegionPixels(const Region* region, const PixelView& target, DeviceClip* pixels);
    // Clears the clip's pixels of a 32-bit bitmap with an alpha to the colour itself (GdiplusClear.cpp);
    // false, having changed nothing, otherwise.
    bool ClearByLayer(ARGB colour);
    // Draws a picture from a source rectangle of pixels by one of the layer's own routes below; false when
    // none takes it.
    bool DrawImageItself(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight);
    // Draws a 32-bit or 24-bit bitmap placed, scaled, turned or sheared onto the canvas itself (ImageDraw.cpp),
    // bilinear, bicubic or nearest neighbour, within the clip, composited over or copied; false on a page the
    // engine half applies.
    bool DrawImageSampled(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight);
    // Fills a rectangle with an axis-aligned linear gradient itself (GdiplusGradient.cpp); false otherwise.
    bool FillGradientRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    // Fills rectangles, polygons, pies, ellipses and paths (anti-aliased, or whole pixels by GDI+'s aliased
    // rule), and outlines anti-aliased shapes, itself (GdiplusAntialiased.cpp) when it can: no page unit the
    // engine ignores, a clip it can read as pixels (ReadDeviceClip, Clip.h), source-over or copying
    // compositing; false, having drawn nothing, otherwise. AntialiasedDeviceMap gives the map from world
    // coordinates to device pixels that FillAntialiased and DrawAntialiased draw through.
    bool AntialiasedDeviceMap(DeviceMap* map) const;
    bool ReadDeviceClip(DeviceClip* clip, const PixelView& target) const;
    // The same map without the smoothing mode's say (text follows its own rendering hint) and without
    // regard to the clip; only for source-over compositing unless copying is asked for too.
    bool LayerDeviceMap(DeviceMap* map, bool copyingToo = false) const;
    // True when nothing is clipped (the engine reports an unclipped context as bounded by a huge rectangle).
    bool Unclipped() const;
    bool FillAntialiased(const Brush* brush, const DeviceMap& map, const PointF* points, const BYTE* types,
                         INT count, FillMode mode);
    // FillAntialiased with the choice of whole pixels (GDI+'s aliased rule) or exact areas made by the
    // caller (text follows its rendering hint, not the smoothing mode).
    bool FillFigures(const Brush* brush, const DeviceMap& map, const PointF* points, const BYTE* types, INT count,
                     FillMode mode, bool wholePixels);
    bool DrawAntialiased(const Pen* pen, const DeviceMap& map, const PointF* points, const BYTE* types, INT count);
    bool FillRectangleAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    bool FillPolygonAntialiased(const Brush* brush, const PointF* points, INT count, FillMode mode);
    bool FillPieAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                            REAL sweepAngle);
    bool FillEllipseAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    bool DrawEllipseAntialiased(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    bool DrawFlatEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height, Status* answer);
    bool FillPathAntialiased(const Brush* brush, const GraphicsPath* path);
    bool DrawPathAntialiased(const Pen* pen, const GraphicsPath* path);
    // Lays text out, measures and draws it itself (text/TextDraw.cpp), with the status GDI+ gives:
    // InvalidParameter for a missing string or font, a layout with NaN or an infinite corner, or a character
    // range outside the string.
    Status LayOutByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                         const StringFormat* format, LaidText* laid, bool drawn = false) const;
    // The map from world to device pixels for text: the layer's, or the engine's world and page.
    bool TextDeviceMap(DeviceMap* map) const;
    Status MeasureStringByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                const StringFormat* format, RectF* box, INT* fitted, INT* lines) const;
    Status DrawStringByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                             const StringFormat* format, const Brush* brush);
    // Fills the outlines of the laid glyphs that may reach the canvas (those within `reach` device pixels),
    // anti-aliased or in whole pixels, kept to `clipTo` when given.
    Status FillOutlinesByLayer(const LaidText& laid, const DeviceMap& map, const RectF* clipTo, float reach,
                               bool wholePixels, const Brush* brush);
    // Fills text's figures through the layer's coverage, or, with a brush or clip it cannot read, as a path.
    Status FillTextFigures(const Brush* brush, const DeviceMap& map, const std::vector<PointF>& points,
                           const std::vector<BYTE>& types, bool wholePixels);
    Status MeasureRangesByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                const StringFormat* format, Region* regions) const;
    // Outlines lines, polygons and shapes with any solid-colour pen (caps, joins, dashes, inset) by the
    // layer's stroker (GdiplusStrokeRoute.cpp) under the same conditions; false, having drawn nothing,
    // otherwise. `build` adds the shape to an empty path.
    bool DrawLinesAntialiased(const Pen* pen, const PointF* points, INT count, bool closed);
    bool DrawLinesAntialiased(const Pen* pen, const Point* points, INT count, bool closed);
    bool DrawShapeAntialiased(const Pen* pen, const std::function<Status(GraphicsPath&)>& build);
    // Combines the clip with a region of no area (what a rectangle of negative size holds).
    Status SetClipToNoArea(CombineMode combineMode);
    // What the layer's drawing reads of the context, read from the engine at the first drawing and kept until
    // a setter changes the context, so that drawing in a row asks the engine nothing (GdiplusGraphicsState.cpp).
    struct LayerState {
        bool known = false;
        SmoothingMode smoothing = SmoothingModeInvalid;
        PixelOffsetMode pixelOffset = PixelOffsetModeInvalid;
        Point origin;                         // the rendering origin
        REAL world[6] = {1, 0, 0, 1, 0, 0};  // the engine's world transform
        bool unclipped = false;               // the engine reports no clip
        REAL dpiX = 0;
        InterpolationMode interpolation = InterpolationModeInvalid;
        TextRenderingHint textHint = TextRenderingHintSystemDefault;
    };
    const LayerState& State() const;
    // Makes the context on a device context: on the surface it draws on when the layer handed it out.
    void OpenDeviceContext(HDC hdc);
    // The context changed (or may have): the next drawing reads its state from the engine again.
    void StateChanged() const { layerState.known = false; }

    DllExports::GpGraphics* nativeGraphics = nullptr;
    Unit pageUnit = UnitDisplay;
    REAL pageScale = 1.0f;
    REAL appliedPageScale = 1.0f;
    CompositingMode compositingMode = CompositingModeSourceOver;
    // What the context draws into when it was made for a window that has no surface of its own.
    std::shared_ptr<DllExports::GpImage> surface;
    // The page settings the layer tracks, as they were at each saved state still open.
    struct SavedPage {
        GraphicsState state;
        Unit unit;
        REAL scale;
        REAL applied;
    };
    std::vector<SavedPage> savedPages;
    // The clip's pixels as the last fill read them (Clip.h), made at the first fill through a clip.
    mutable std::shared_ptr<DeviceClipCache> deviceClips;
    mutable LayerState layerState;

    // GraphicsExtra: inside a container, the outside's mapping to device pixels (world, page and the
    // containers around it) follows the world transform in the engine, and the layer applies the page
    // settings itself, with the engine's page left in pixels. Only states still open are kept.
    struct OpenContainer {
        GraphicsContainer state;
        REAL outerBase[6];  // the mapping around the container, brought back when it ends
        CompositingMode compositing;
        std::shared_ptr<Region> clip;  // the clip around the container on the device; null when none
    };
    std::vector<OpenContainer> openContainers;
    REAL containerBase[6] = {1, 0, 0, 1, 0, 0};
    bool InContainer() const { return !openContainers.empty(); }
    // True when the engine's world transform is not the caller's (a page scale or a container in it).
    bool LayerShapesWorld() const { return appliedPageScale != 1.0f || InContainer(); }
    // Device pixels per page unit, times the page scale.
    REAL PageFactor() const;
    // What the layer scales the engine's world-mapped coordinates (and its clip) by to reach device pixels:
    // the page the engine leaves out (it ignores the page scale, and keeps a clip set under a page unit in
    // that unit); 1 where the layer has put the page into the engine's world transform already; 0 for a
    // page unit no page can have.
    REAL EngineToDevice() const;
    // Scales the engine's clip from the page it was kept under (`before`, as EngineToDevice gave) to the
    // present one, so that it stays on the same device pixels.
    void KeepClipOnDevice(REAL before);
    // The caller's world transform followed by the page, in device pixels.
    void WorldToDevice(REAL m[6]) const;
    GraphicsContainer OpenContainerMapped(const REAL inner[6]);
    // The engine's clip on the device; null when nothing is clipped or it cannot be read.
    std::shared_ptr<Region> DeviceClipRegion() const;
    // Combines the engine's clip with a region on the device (inside a container, where the engine's page is
    // in pixels).
    void CombineDeviceClip(const Region& region, CombineMode combineMode);
    // A clip set inside a container is kept within the container's clip, as in GDI+; returns the status.
    Status KeptInContainer(Status status);
    void ForgetContainersFrom(GraphicsState state);
};

}  // namespace Gdiplus

#include "GdiplusRegion.h"

#pragma pop_macro("Status")
