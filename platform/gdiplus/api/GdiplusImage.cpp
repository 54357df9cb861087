// Image and Bitmap: engine images shared by handle, disposed with their last holder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "../codecs/GdiplusDecode.h"
#include "../codecs/JpegEncoder.h"
#include "WidePixels.h"

namespace Gdiplus {

namespace {

// libgdiplus records no resolution for a bitmap it makes (0 dpi); GDI+ gives a new bitmap the screen's.
DllExports::GpBitmap* AtScreenResolution(DllExports::GpBitmap* bitmap)
{
    const REAL kScreenDpi = 96.0f;
    REAL dpiX = 0, dpiY = 0;
    if (bitmap &&
        DllExports::GdipGetImageHorizontalResolution(reinterpret_cast<DllExports::GpImage*>(bitmap), &dpiX) == Ok &&
        DllExports::GdipGetImageVerticalResolution(reinterpret_cast<DllExports::GpImage*>(bitmap), &dpiY) == Ok &&
        !(dpiX > 0 && dpiY > 0))
        DllExports::GdipBitmapSetResolution(bitmap, kScreenDpi, kScreenDpi);
    return bitmap;
}

// The engine opens whatever it is given: a FIFO or a device would block the loader forever, so only
// regular files (or missing ones, which the engine reports itself) reach it.
Status RefuseNonRegularFile(const WCHAR* filename)
{
    if (!filename) return Ok;
    struct stat info {};
    const std::string path = Utf16ToUtf8(filename);
    if (stat(path.c_str(), &info) != 0) return Ok;
    return S_ISREG(info.st_mode) ? Ok : InvalidParameter;
}

// A picture file, open for the one load (without waiting, should it have become a FIFO since).
class FileBytes : public PictureBytes {
public:
    explicit FileBytes(const std::string& path) : fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~FileBytes() override
    {
        if (fd >= 0) close(fd);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    bool IsOpen() const { return fd >= 0; }

    size_t ReadAt(unsigned long long offset, void* buffer, size_t size) override
    {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pread(fd, static_cast<char*>(buffer) + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

private:
    int fd;
};

// Decodes the file here when it is a PNG, JPEG or GIF, has the engine decode other kinds (as an image,
// or as a bitmap), and refuses before that what is no regular file or declares a size that cannot be held.
Status LoadFile(const WCHAR* filename, bool asBitmap, DecodedPicture& picture)
{
    Status status = RefuseNonRegularFile(filename);
    if (status != Ok) return status;
    if (filename) {
        FileBytes bytes(Utf16ToUtf8(filename));
        if (bytes.IsOpen()) status = DecodePicture(bytes, picture);
        if (status != Ok || picture.image) return status;
    }
    DllExports::GpImage* image = nullptr;
    status = asBitmap ? DllExports::GdipCreateBitmapFromFile(filename, reinterpret_cast<DllExports::GpBitmap**>(&image))
                      : DllExports::GdipLoadImageFromFile(filename, &image);
    picture.image = image;
    return status;
}

std::shared_ptr<DllExports::GpImage> Hold(DllExports::GpImage* image)
{
    if (!image) return nullptr;
    return std::shared_ptr<DllExports::GpImage>(image, [](DllExports::GpImage* p) { DllExports::GdipDisposeImage(p); });
}

// The engine's loaders can give back an image whose first frame dimension holds no frame (a TIFF whose
// pages libtiff could not count, say); everything that reads its pixels or size then crashes.
bool HoldsAFrame(DllExports::GpImage* image)
{
    UINT dimensions = 0, frames = 0;
    if (DllExports::GdipImageGetFrameDimensionsCount(image, &dimensions) != Ok || dimensions == 0) return false;
    std::vector<GUID> ids(dimensions);
    return DllExports::GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) == Ok &&
           DllExports::GdipImageGetFrameCount(image, &ids[0], &frames) == Ok && frames > 0;
}

DllExports::GpImage* AsImage(DllExports::GpBitmap* bitmap) { return reinterpret_cast<DllExports::GpImage*>(bitmap); }

}  // namespace

Image::Image(const WCHAR* filename, BOOL)
{
    DecodedPicture picture;
    AdoptLoaded(LoadFile(filename, false, picture), picture);
}

Image::Image(DllExports::GpImage* image, Status status) : loadStatus(status)
{
    SetStatus(status);
    SetNativeImage(image);
}

Image::~Image() = default;

Image* Image::FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement)
{
    return new Image(filename, useEmbeddedColorManagement);
}

void Image::SetNativeImage(DllExports::GpImage* image)
{
    // GDI+ refuses a picture it cannot hold; the engine would take it and crash on the first draw. A
    // picture without a frame is no picture either: the engine's size queries crash on one.
    UINT width = 0, height = 0;
    if (image && (!HoldsAFrame(image) || (DllExports::GdipGetImageWidth(image, &width) == Ok &&
                                          DllExports::GdipGetImageHeight(image, &height) == Ok &&
                                          !BitmapSizeFits(width, height)))) {
        DllExports::GdipDisposeImage(image);
        image = nullptr;
        loadStatus = SetStatus(OutOfMemory);
    }
    nativeImage = Hold(image);
}

void Image::AdoptLoaded(Status status, DecodedPicture& picture)
{
    loadStatus = SetStatus(status);
    SetNativeImage(picture.image);
    TieToImage(std::move(picture.pixels));
    source = nativeImage ? std::move(picture.source) : nullptr;
}

void Image::AdoptImageOf(const Image& other)
{
    nativeImage = other.nativeImage;
    source = other.source;
    wideFormat = other.wideFormat;
    lastResult = other.lastResult;
    loadStatus = other.loadStatus;
}

Image* Image::Clone()
{
    DllExports::GpImage* copy = nullptr;
    Status status = SetStatus(DllExports::GdipCloneImage(NativeImage(), &copy));
    return new Image(copy, status);
}

UINT Image::GetWidth()
{
    UINT width = 0;
    SetStatus(DllExports::GdipGetImageWidth(NativeImage(), &width));
    return width;
}

UINT Image::GetHeight()
{
    UINT height = 0;
    SetStatus(DllExports::GdipGetImageHeight(NativeImage(), &height));
    return height;
}

PixelFormat Image::GetPixelFormat()
{
    PixelFormat format = 0;
    if (wideFormat && nativeImage) return wideFormat;  // held by the engine as 32bppARGB (WidePixels.h)
    SetStatus(DllExports::GdipGetImagePixelFormat(NativeImage(), &format));
    return format;
}

ImageType Image::GetType()
{
    ImageType type = ImageTypeUnknown;
    SetStatus(DllExports::GdipGetImageType(NativeImage(), &type));
    return type;
}

REAL Image::GetHorizontalResolution()
{
    REAL dpi = 0;
    SetStatus(DllExports::GdipGetImageHorizontalResolution(NativeImage(), &dpi));
    return dpi;
}

REAL Image::GetVerticalResolution()
{
    REAL dpi = 0;
    SetStatus(DllExports::GdipGetImageVerticalResolution(NativeImage(), &dpi));
    return dpi;
}

Status Image::RotateFlip(RotateFlipType rotateFlipType)
{
    return SetStatus(DllExports::GdipImageRotateFlip(NativeImage(), rotateFlipType));
}

Status Image::Save(const WCHAR* filename, const CLSID* clsidEncoder, const EncoderParameters* encoderParams)
{
    Status status = Ok;
    if (SaveMultiFrame(filename, nullptr, clsidEncoder, encoderParams, status)) return SetStatus(status);
    if (IsJpegEncoder(clsidEncoder) && SaveJpegFile(NativeImage(), filename, encoderParams, status))
        return SetStatus(status);
    return SetStatus(DllExports::GdipSaveImageToFile(NativeImage(), filename, clsidEncoder, encoderParams));
}

Bitmap::Bitmap(DllExports::GpBitmap* bitmap, Status status) : Image(AsImage(bitmap), status) {}

Bitmap::Bitmap(INT width, INT height, Graphics* target) : Image(nullptr, Ok)
{
    if (!BitmapSizeFits(width, height)) {
        loadStatus = SetStatus(OutOfMemory);
        return;
    }
    DllExports::GpBitmap* bitmap = nullptr;
    loadStatus = SetStatus(DllExports::GdipCreateBitmapFromGraphics(
        width, height, target ? target->NativeGraphics() : nullptr, &bitmap));
    SetNativeImage(AsImage(AtScreenResolution(bitmap)));
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format) : Image(nullptr, Ok)
{
    if (!BitmapSizeFits(width, height)) {
        loadStatus = SetStatus(OutOfMemory);
        return;
    }
    DllExports::GpBitmap* bitmap = nullptr;
    loadStatus = SetStatus(DllExports::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap));
    SetNativeImage(AsImage(AtScreenResolution(bitmap)));
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) : Image(nullptr, Ok)
{
    if (!BitmapSizeFits(width, height)) {
        loadStatus = SetStatus(OutOfMemory);
        return;
    }
    DllExports::GpBitmap* bitmap = nullptr;
    loadStatus = SetStatus(DllExports::GdipCreateBitmapFromScan0(width, height, stride, format, scan0, &bitmap));
    SetNativeImage(AsImage(AtScreenResolution(bitmap)));
}

Bitmap::Bitmap(const WCHAR* filename, BOOL) : Image(nullptr, Ok)
{
    DecodedPicture picture;
    AdoptLoaded(LoadFile(filename, true, picture), picture);
}

Bitmap::Bitmap(HBITMAP hbm, HPALETTE hpal) : Image(nullptr, Ok)
{
    DllExports::GpBitmap* bitmap = nullptr;
    loadStatus = SetStatus(DllExports::GdipCreateBitmapFromHBITMAP(hbm, hpal, &bitmap));
    SetNativeImage(AsImage(AtScreenResolution(bitmap)));
}

Bitmap* Bitmap::FromHBITMAP(HBITMAP hbm, HPALETTE hpal) { return new Bitmap(hbm, hpal); }

Bitmap* Bitmap::FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement)
{
    return new Bitmap(filename, useEmbeddedColorManagement);
}

Status Bitmap::GetHBITMAP(const Color& colorBackground, HBITMAP* hbmReturn)
{
    // The engine's handle is a plain copy; the background is laid under the picture here, as a handle
    // carries no transparency.
    INT width = static_cast<INT>(GetWidth()), height = static_cast<INT>(GetHeight());
    Bitmap flat(width, height, PixelFormat32bppARGB);
    flat.SetResolution(GetHorizontalResolution(), GetVerticalResolution());
    {
        Graphics graphics(&flat);
        graphics.Clear(colorBackground);
        graphics.DrawImage(this, Rect(0, 0, width, height), 0, 0, width, height, UnitPixel);
    }
    return SetStatus(DllExports::GdipCreateHBITMAPFromBitmap(flat.NativeBitmap(), hbmReturn, colorBackground.GetValue()));
}

Status Bitmap::GetPixel(INT x, INT y, Color* color)
{
    ARGB argb = 0;
    Status status = SetStatus(DllExports::GdipBitmapGetPixel(NativeBitmap(), x, y, &argb));
    if (status == Ok && color) color->SetValue(argb);
    return status;
}

Status Bitmap::SetPixel(INT x, INT y, const Color& color)
{
    // A format the engine cannot hold keeps the colour as that format would (WidePixels.h).
    const ARGB value = wideFormat ? QuantisedAs(wideFormat, color.GetValue()) : color.GetValue();
    return SetStatus(DllExports::GdipBitmapSetPixel(NativeBitmap(), x, y, value));
}

Status Bitmap::SetResolution(REAL xdpi, REAL ydpi)
{
    return SetStatus(DllExports::GdipBitmapSetResolution(NativeBitmap(), xdpi, ydpi));
}

}  // namespace Gdiplus
