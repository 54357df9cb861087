// Image formats, frames, palettes and property items: the GDI+ values and the engine's flat functions
// behind Image's and Bitmap's members of that family. Included at the end of GdiplusFlat.h.
#pragma once

#pragma push_macro("Status")
#undef Status

#include "../GdiplusTypes.h"

// The pixel formats beyond the common ones, as GDI+ numbers them.
#ifndef PixelFormat16bppGrayScale
#define PixelFormat16bppGrayScale 0x00101004
#define PixelFormat16bppRGB555 0x00021005
#define PixelFormat16bppRGB565 0x00021006
#define PixelFormat16bppARGB1555 0x00061007
#define PixelFormat48bppRGB 0x0010300C
#define PixelFormat64bppARGB 0x0034400D
#define PixelFormat64bppPARGB 0x001C400E
#endif

namespace Gdiplus {

typedef ULONG PROPID;

/// The file format a picture was read from (Image::GetRawFormat).
const GUID ImageFormatUndefined = {0xb96b3ca9, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatMemoryBMP = {0xb96b3caa, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatEMF = {0xb96b3cac, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatWMF = {0xb96b3cad, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatTIFF = {0xb96b3cb1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatEXIF = {0xb96b3cb2, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID ImageFormatIcon = {0xb96b3cb5, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

/// The ways a picture holds several frames: an animation (GIF), pages (TIFF), resolutions (icons).
const GUID FrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
const GUID FrameDimensionResolution = {0x84236f7b, 0x3bd3, 0x428f, {0x8d, 0xab, 0x4e, 0xa1, 0x43, 0x9c, 0xa3, 0x15}};
const GUID FrameDimensionPage = {0x7462dc86, 0x6180, 0x4c7e, {0x8e, 0x3f, 0xee, 0x73, 0x33, 0xa7, 0xa4, 0x83}};

/// The encoder parameter that starts, continues and ends a multi-frame save (its value an EncoderValue).
const GUID EncoderSaveFlag = {0x292266fc, 0xac40, 0x47bf, {0x8c, 0xfc, 0xa8, 0x5b, 0x89, 0xa6, 0x55, 0xde}};

/// Values of encoder parameters, as GDI+ numbers them.
enum EncoderValue {
    EncoderValueColorTypeCMYK = 0,
    EncoderValueColorTypeYCCK = 1,
    EncoderValueCompressionLZW = 2,
    EncoderValueCompressionCCITT3 = 3,
    EncoderValueCompressionCCITT4 = 4,
    EncoderValueCompressionRle = 5,
    EncoderValueCompressionNone = 6,
    EncoderValueScanMethodInterlaced = 7,
    EncoderValueScanMethodNonInterlaced = 8,
    EncoderValueVersionGif87 = 9,
    EncoderValueVersionGif89 = 10,
    EncoderValueRenderProgressive = 11,
    EncoderValueRenderNonProgressive = 12,
    EncoderValueTransformRotate90 = 13,
    EncoderValueTransformRotate180 = 14,
    EncoderValueTransformRotate270 = 15,
    EncoderValueTransformFlipHorizontal = 16,
    EncoderValueTransformFlipVertical = 17,
    EncoderValueMultiFrame = 18,
    EncoderValueLastFrame = 19,
    EncoderValueFlush = 20,
    EncoderValueFrameDimensionTime = 21,
    EncoderValueFrameDimensionResolution = 22,
    EncoderValueFrameDimensionPage = 23,
    EncoderValueColorTypeGray = 24,
    EncoderValueColorTypeRGB = 25
};

/// Facts about a picture's pixels and origin (Image::GetFlags).
enum ImageFlags {
    ImageFlagsNone = 0,
    ImageFlagsScalable = 0x0001,
    ImageFlagsHasAlpha = 0x0002,
    ImageFlagsHasTranslucent = 0x0004,
    ImageFlagsPartiallyScalable = 0x0008,
    ImageFlagsColorSpaceRGB = 0x0010,
    ImageFlagsColorSpaceCMYK = 0x0020,
    ImageFlagsColorSpaceGRAY = 0x0040,
    ImageFlagsColorSpaceYCBCR = 0x0080,
    ImageFlagsColorSpaceYCCK = 0x0100,
    ImageFlagsHasRealDPI = 0x1000,
    ImageFlagsHasRealPixelSize = 0x2000,
    ImageFlagsReadOnly = 0x00010000,
    ImageFlagsCaching = 0x00020000
};

/// One piece of metadata of a picture: its tag, byte length, type (PropertyTagType*) and value.
struct PropertyItem {
    PROPID id;
    ULONG length;
    WORD type;
    void* value;
};

const WORD PropertyTagTypeByte = 1;
const WORD PropertyTagTypeASCII = 2;
const WORD PropertyTagTypeShort = 3;
const WORD PropertyTagTypeLong = 4;
const WORD PropertyTagTypeRational = 5;
const WORD PropertyTagTypeUndefined = 7;
const WORD PropertyTagTypeSLONG = 9;
const WORD PropertyTagTypeSRational = 10;

/// The GIF tags: each frame's delay in hundredths of a second, and how often the animation repeats.
const PROPID PropertyTagFrameDelay = 0x5100;
const PROPID PropertyTagLoopCount = 0x5101;
/// More GIF tags: the global palette (RGB bytes), the background and the transparent colour's index.
const PROPID PropertyTagGlobalPalette = 0x5102;
const PROPID PropertyTagIndexBackground = 0x5103;
const PROPID PropertyTagIndexTransparent = 0x5104;
/// JPEG's quantisation tables (64 shorts each), and the comment tag a GIF's comment is listed under.
const PROPID PropertyTagLuminanceTable = 0x5090;
const PROPID PropertyTagChrominanceTable = 0x5091;
const PROPID PropertyTagExifUserComment = 0x9286;

/// The size of the picture's bounding rectangle in real numbers (Image::GetPhysicalDimension).
class SizeF {
public:
    SizeF() : Width(0), Height(0) {}
    SizeF(REAL width, REAL height) : Width(width), Height(height) {}
    REAL Width;
    REAL Height;
};

/// Asks a thumbnail that is being made to stop (GDI+ calls it; the engine never does).
typedef BOOL (*GetThumbnailImageAbort)(void* callbackData);

namespace DllExports {

struct GpImage;
struct GpBitmap;

extern "C" {

Status GdipGetImageRawFormat(GpImage* image, GUID* format);
Status GdipGetImageFlags(GpImage* image, UINT* flags);
Status GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
Status GdipGetImageBounds(GpImage* image, RectF* rect, Unit* unit);
Status GdipGetImagePaletteSize(GpImage* image, INT* size);
Status GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size);
Status GdipImageSelectActiveFrame(GpImage* image, const GUID* dimensionID, UINT frameIndex);
Status GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                            GpBitmap** dstBitmap);
Status GdipGetImageThumbnail(GpImage* image, UINT thumbWidth, UINT thumbHeight, GpImage** thumbImage,
                             GetThumbnailImageAbort callback, void* callbackData);
Status GdipSaveImageToDelegate_linux(GpImage* image, GetBytesDelegate getBytes, PutBytesDelegate putBytes,
                                     SeekDelegate seek, CloseDelegate close, SizeDelegate size,
                                     const CLSID* encoderClsid, const EncoderParameters* encoderParams);
Status GdipGetPropertyCount(GpImage* image, UINT* numOfProperty);
Status GdipGetPropertyIdList(GpImage* image, UINT numOfProperty, PROPID* list);
Status GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT* size);
Status GdipGetPropertyItem(GpImage* image, PROPID propId, UINT propSize, PropertyItem* buffer);
Status GdipGetPropertySize(GpImage* image, UINT* totalBufferSize, UINT* numProperties);
Status GdipGetAllPropertyItems(GpImage* image, UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
Status GdipRemovePropertyItem(GpImage* image, PROPID propId);
Status GdipSetPropertyItem(GpImage* image, const PropertyItem* item);
Status GdipSaveAdd(GpImage* image, const EncoderParameters* encoderParams);
Status GdipSaveAddImage(GpImage* image, GpImage* newImage, const EncoderParameters* encoderParams);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus

#pragma pop_macro("Status")
