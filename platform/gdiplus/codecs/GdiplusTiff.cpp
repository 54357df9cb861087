// TIFF pages read and written with libtiff. Files are read from memory (the whole file is kept for the
// later pages); pages decode through libtiff's RGBA interface, which handles every photometric and
// compression libtiff knows, into straight 32bppARGB.
#include "GdiplusTiff.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "../../win/Stream.h"
#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

// A file larger than this is not kept in memory (its load fails with OutOfMemory).
const size_t kMaxTiffFile = 256u << 20;
// No single buffer libtiff takes for a page's strips or tiles may exceed this.
const tmsize_t kMaxTiffAllocation = 256 << 20;
const PixelFormat kFormatHasAlpha = 0x00040000;

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Open options that keep libtiff's messages to the file at hand and bound its allocations.
class QuietOptions {
public:
    QuietOptions() : options(TIFFOpenOptionsAlloc())
    {
        if (!options) return;
        TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAllocation);
    }
    ~QuietOptions()
    {
        if (options) TIFFOpenOptionsFree(options);
    }
    QuietOptions(const QuietOptions&) = delete;
    QuietOptions& operator=(const QuietOptions&) = delete;

    TIFFOpenOptions* Get() const { return options; }

private:
    TIFFOpenOptions* options;
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// A file in memory, read by libtiff through these callbacks.
struct MemoryFile {
    const std::vector<BYTE>* bytes;
    toff_t position = 0;
};

tmsize_t ReadMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t total = file->bytes->size();
    if (size <= 0 || file->position >= total) return 0;
    const size_t n = static_cast<size_t>(std::min<toff_t>(static_cast<toff_t>(size), total - file->position));
    std::memcpy(buffer, file->bytes->data() + file->position, n);
    file->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteNothing(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->bytes->size() : 0;
    file->position = base + offset;
    return file->position;
}

int CloseNothing(thandle_t) { return 0; }
toff_t SizeOfMemory(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes->size(); }
int MapNothing(thandle_t, void**, toff_t*) { return 0; }
void UnmapNothing(thandle_t, void*, toff_t) {}

TiffHandle OpenMemory(MemoryFile& file, const QuietOptions& options)
{
    return TiffHandle(TIFFClientOpenExt("memory", "rm", &file, ReadMemory, WriteNothing, SeekMemory, CloseNothing,
                                        SizeOfMemory, MapNothing, UnmapNothing, options.Get()));
}

// The page's resolution in dots per inch (0 when the file gives none).
void ReadResolution(TIFF* tif, REAL& dpiX, REAL& dpiY)
{
    float x = 0, y = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y)) return;
    const float perInch = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
    dpiX = x * perInch;
    dpiY = y * perInch;
}

// libtiff's RGBA pixels (red in the low byte, colour premultiplied) to straight ARGB, in place.
void ToStraightArgb(uint32_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i], a = TIFFGetA(p);
        uint32_t r = TIFFGetR(p), g = TIFFGetG(p), b = TIFFGetB(p);
        if (a != 255 && a != 0) {
            r = std::min(255u, (r * 255 + a / 2) / a);
            g = std::min(255u, (g * 255 + a / 2) / a);
            b = std::min(255u, (b * 255 + a / 2) / a);
        }
        pixels[i] = a << 24 | r << 16 | g << 8 | b;
    }
}

UINT CountPages(const std::vector<BYTE>& file)
{
    QuietOptions options;
    MemoryFile memory{&file};
    TiffHandle tif = OpenMemory(memory, options);
    return tif ? std::max<UINT>(1, TIFFNumberOfDirectories(tif.get())) : 1;
}

}  // namespace

Status DecodeTiffPage(const std::vector<BYTE>& file, UINT page, DecodedPicture& picture)
{
    QuietOptions options;
    MemoryFile memory{&file};
    TiffHandle tif = OpenMemory(memory, options);
    if (!options.Get() || !tif || !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(page))) return OutOfMemory;
    uint32_t width = 0, height = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    char message[1024];
    DecodeTarget target;
    if (width == 0 || height == 0 || !BitmapSizeFits(width, height) || !TIFFRGBAImageOK(tif.get(), message) ||
        !target.Allocate(static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB))
        return OutOfMemory;
    // 32-bit rows are packed, so the target is the one raster libtiff writes.
    auto* raster = reinterpret_cast<uint32_t*>(target.Row(0));
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster, ORIENTATION_TOPLEFT, 1)) return OutOfMemory;
    ToStraightArgb(raster, static_cast<size_t>(width) * height);
    REAL dpiX = 0, dpiY = 0;
    ReadResolution(tif.get(), dpiX, dpiY);
    return target.Finish(picture, nullptr, dpiX, dpiY);
}

Status DecodeTiff(PictureBytes& bytes, DecodedPicture& picture)
{
    std::vector<BYTE> file;
    if (!ReadWholePicture(bytes, kMaxTiffFile, file)) return OutOfMemory;
    Status status = DecodeTiffPage(file, 0, picture);
    if (status != Ok) return status;
    const UINT pages = CountPages(file);
    picture.source = DescribeTiffSource(std::move(file), pages);
    return Ok;
}

bool IsTiffEncoder(const CLSID* clsidEncoder)
{
    static CLSID tiff{};
    static const bool listed = FindImageEncoder(u"image/tiff", &tiff);
    return listed && clsidEncoder && *clsidEncoder == tiff;
}

namespace {

// A stream being written, and where it stood when the writer began: offsets in the file count from there.
struct StreamTarget {
    IStream* stream = nullptr;
    unsigned long long start = 0;
};

tmsize_t ReadStream(thandle_t handle, void* buffer, tmsize_t size)
{
    ULONG read = 0;
    if (size < 0 || FAILED(static_cast<StreamTarget*>(handle)->stream->Read(buffer, static_cast<ULONG>(size), &read)))
        return -1;
    return static_cast<tmsize_t>(read);
}

tmsize_t WriteStream(thandle_t handle, void* buffer, tmsize_t size)
{
    ULONG written = 0;
    if (size < 0 ||
        FAILED(static_cast<StreamTarget*>(handle)->stream->Write(buffer, static_cast<ULONG>(size), &written)))
        return -1;
    return static_cast<tmsize_t>(written);
}

toff_t SeekStream(thandle_t handle, toff_t offset, int whence)
{
    auto* target = static_cast<StreamTarget*>(handle);
    LARGE_INTEGER move{};
    move.QuadPart = static_cast<long long>(whence == SEEK_SET ? target->start + offset : offset);
    ULARGE_INTEGER position{};
    if (FAILED(target->stream->Seek(move, static_cast<DWORD>(whence), &position)) || position.QuadPart < target->start)
        return static_cast<toff_t>(-1);
    return position.QuadPart - target->start;
}

toff_t SizeOfStream(thandle_t handle)
{
    auto* target = static_cast<StreamTarget*>(handle);
    STATSTG stat{};
    if (FAILED(target->stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart < target->start) return 0;
    return stat.cbSize.QuadPart - target->start;
}

// A row of straight BGRA pixels as RGB or RGBA samples.
void PackRow(const BYTE* in, UINT width, bool alpha, BYTE* out)
{
    for (UINT x = 0; x < width; ++x, in += 4) {
        *out++ = in[2];
        *out++ = in[1];
        *out++ = in[0];
        if (alpha) *out++ = in[3];
    }
}

void DescribePage(TIFF* tif, UINT width, UINT height, bool alpha, REAL dpiX, REAL dpiY)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, alpha ? 4 : 3);
    if (alpha) {
        const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<double>(dpiX > 0 ? dpiX : 96.0f));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<double>(dpiY > 0 ? dpiY : 96.0f));
}

// A read lock of a whole bitmap as straight ARGB, released at the end of its scope.
class ArgbLock {
public:
    ArgbLock(DllExports::GpImage* image, UINT width, UINT height)
        : bitmap(reinterpret_cast<DllExports::GpBitmap*>(image))
    {
        const Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        status = DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &locked.data);
    }
    ~ArgbLock()
    {
        if (status == Ok) DllExports::GdipBitmapUnlockBits(bitmap, &locked.data);
    }
    ArgbLock(const ArgbLock&) = delete;
    ArgbLock& operator=(const ArgbLock&) = delete;

    Status status;
    const BYTE* Row(UINT y) const
    {
        return static_cast<const BYTE*>(locked.data.Scan0) + static_cast<ptrdiff_t>(y) * locked.data.Stride;
    }

private:
    DllExports::GpBitmap* bitmap;
    struct {
        BitmapData data;
        BYTE engineFields[128];  // libgdiplus writes its own fields after the public ones
    } locked{};
};

}  // namespace

struct TiffWriter::Output {
    QuietOptions options;
    StreamTarget target;
    TIFF* tif = nullptr;

    ~Output()
    {
        if (tif) TIFFClose(tif);
        if (target.stream) target.stream->Release();
    }
};

TiffWriter::TiffWriter(std::unique_ptr<Output> out) : output(std::move(out)) {}

TiffWriter::~TiffWriter() = default;

std::unique_ptr<TiffWriter> TiffWriter::ToFile(const std::string& path)
{
    auto output = std::make_unique<Output>();
    if (!output->options.Get() || path.empty()) return nullptr;
    output->tif = TIFFOpenExt(path.c_str(), "w", output->options.Get());
    if (!output->tif) return nullptr;
    return std::unique_ptr<TiffWriter>(new TiffWriter(std::move(output)));
}

std::unique_ptr<TiffWriter> TiffWriter::ToStream(IStream* stream)
{
    auto output = std::make_unique<Output>();
    ULARGE_INTEGER here{};
    if (!stream || !output->options.Get() || FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &here)))
        return nullptr;
    stream->AddRef();
    output->target = StreamTarget{stream, here.QuadPart};
    output->tif = TIFFClientOpenExt("stream", "w", &output->target, ReadStream, WriteStream, SeekStream, CloseNothing,
                                    SizeOfStream, MapNothing, UnmapNothing, output->options.Get());
    if (!output->tif) return nullptr;
    return std::unique_ptr<TiffWriter>(new TiffWriter(std::move(output)));
}

Status TiffWriter::AddPage(DllExports::GpImage* image)
{
    if (!output || !output->tif) return Win32Error;
    UINT width = 0, height = 0;
    PixelFormat format = 0;
    REAL dpiX = 0, dpiY = 0;
    Status status = DllExports::GdipGetImageWidth(image, &width);
    if (status == Ok) status = DllExports::GdipGetImageHeight(image, &height);
    if (status == Ok) status = DllExports::GdipGetImagePixelFormat(image, &format);
    if (status == Ok) status = DllExports::GdipGetImageHorizontalResolution(image, &dpiX);
    if (status == Ok) status = DllExports::GdipGetImageVerticalResolution(image, &dpiY);
    if (status != Ok) return status;
    ArgbLock pixels(image, width, height);
    if (pixels.status != Ok) return pixels.status;
    const bool alpha = (format & kFormatHasAlpha) != 0;
    TIFF* tif = output->tif;
    DescribePage(tif, width, height, alpha, dpiX, dpiY);
    std::vector<BYTE> row(static_cast<size_t>(width) * (alpha ? 4 : 3));
    for (UINT y = 0; y < height; ++y) {
        PackRow(pixels.Row(y), width, alpha, row.data());
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) return Win32Error;
    }
    if (!TIFFWriteDirectory(tif)) return Win32Error;
    ++pages;
    return Ok;
}

Status TiffWriter::Finish()
{
    if (!output || !output->tif) return Win32Error;
    const bool flushed = TIFFFlush(output->tif) == 1;
    output.reset();
    return flushed ? Ok : Win32Error;
}

}  // namespace Gdiplus
