// Image and Bitmap members for formats, palettes, frames, thumbnails, streams, metadata and format
// clones. The layer decodes PNG, JPEG, GIF and TIFF itself, so the engine sees those as bitmaps made in
// memory: their file format, a GIF's later frames and a TIFF file's later pages come from what the layer
// kept of the file. Multi-page TIFF files are written by the layer (codecs/GdiplusTiff.cpp).
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "../../win/Stream.h"
#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "../codecs/GdiplusDecode.h"
#include "../codecs/GdiplusPropertyItems.h"
#include "../codecs/GdiplusTiff.h"
#include "WidePixels.h"

namespace Gdiplus {

// The file behind a picture the layer decoded, the GIF frame or TIFF page on show, and the file's property
// items.
struct PictureSource {
    GUID rawFormat{};
    std::vector<BYTE> gifBytes;   // an animation's whole file, to decode its later frames from
    std::vector<BYTE> tiffBytes;  // a TIFF file of several pages, to decode its later pages from
    UINT frameCount = 1;
    UINT activeFrame = 0;
    PropertyList properties;
};

namespace {

// An animation larger than this keeps only its first frame (its later frames fail with OutOfMemory).
const size_t kMaxKeptGif = 256u << 20;

// giflib reading a GIF held in memory.
struct MemoryInput {
    const std::vector<BYTE>* bytes;
    size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int count)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), in->bytes->size() - in->position);
    std::memcpy(out, in->bytes->data() + in->position, n);
    in->position += n;
    return static_cast<int>(n);
}

class GifFile {
public:
    explicit GifFile(const std::vector<BYTE>& bytes) : input{&bytes}
    {
        gif = DGifOpen(&input, ReadMemory, nullptr);
    }
    ~GifFile()
    {
        if (gif) DGifCloseFile(gif, nullptr);
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;

    MemoryInput input;
    GifFileType* gif = nullptr;
};

// A frame's graphic control: disposal (0-3), transparent index (-1 for none) and delay (1/100 s).
struct FrameControl {
    int disposal = 0;
    int transparent = -1;
    UINT delay = 0;
};

// What the GIF's extensions say beyond the frames' controls: the first comment and the loop count.
struct GifNotes {
    std::vector<BYTE> comment;
    bool hasComment = false;
    int loopCount = -1;  // -1: no NETSCAPE2.0 block
};

// Sub-blocks after an extension's first: the loop count of a NETSCAPE2.0 block, the rest of a comment.
bool ReadExtensionRest(GifFileType* gif, GifByteType* block, bool netscape, bool comment, GifNotes* notes)
{
    while (block) {
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
        if (!block || !notes) continue;
        if (netscape && block[0] >= 3 && block[1] == 1) notes->loopCount = block[2] | block[3] << 8;
        if (comment) notes->comment.insert(notes->comment.end(), block + 1, block + 1 + block[0]);
    }
    return true;
}

// Reads an extension; a graphic control sets control, other blocks go into notes when given. False on
// a broken file.
bool ReadExtension(GifFileType* gif, FrameControl& control, GifNotes* notes = nullptr)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        control.disposal = (block[1] >> 2) & 7;
        control.transparent = (block[1] & 1) ? block[4] : -1;
        control.delay = block[2] | block[3] << 8;
    }
    const bool netscape = code == APPLICATION_EXT_FUNC_CODE && block && block[0] == 11 &&
                          std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
    const bool comment = code == COMMENT_EXT_FUNC_CODE && block && notes && !notes->hasComment;
    if (comment) {
        notes->hasComment = true;
        notes->comment.assign(block + 1, block + 1 + block[0]);
    }
    return ReadExtensionRest(gif, block, netscape, comment, notes);
}

// Passes over a frame's compressed data without decoding it.
bool SkipFrameData(GifFileType* gif)
{
    int size = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &size, &block) != GIF_OK) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK) return false;
    return true;
}

// Lists the GIF's property items as GDI+ does: frame delays, first comment, loop count (1 without a
// NETSCAPE2.0 block), global palette, background index, and the first frame's transparent index.
void ListGifProperties(const GifFileType* gif, const std::vector<UINT>& delays, const GifNotes& notes,
                       int transparent, PropertyList& list)
{
    PutProperty(list, PropertyTagFrameDelay, PropertyTagTypeLong, delays.data(), delays.size() * sizeof(UINT));
    if (notes.hasComment) {
        std::vector<BYTE> text = notes.comment;
        text.push_back(0);
        PutProperty(list, PropertyTagExifUserComment, PropertyTagTypeASCII, text.data(), text.size());
    }
    const WORD loops = static_cast<WORD>(notes.loopCount < 0 ? 1 : notes.loopCount);
    PutProperty(list, PropertyTagLoopCount, PropertyTagTypeShort, &loops, sizeof(loops));
    if (const ColorMapObject* map = gif->SColorMap) {
        std::vector<BYTE> rgb;
        for (int i = 0; i < map->ColorCount; ++i)
            rgb.insert(rgb.end(), {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
        PutProperty(list, PropertyTagGlobalPalette, PropertyTagTypeByte, rgb.data(), rgb.size());
        const BYTE background = static_cast<BYTE>(gif->SBackGroundColor);
        PutProperty(list, PropertyTagIndexBackground, PropertyTagTypeByte, &background, 1);
    }
    if (transparent >= 0) {
        const BYTE index = static_cast<BYTE>(transparent);
        PutProperty(list, PropertyTagIndexTransparent, PropertyTagTypeByte, &index, 1);
    }
}

// Counts the frames and lists the GIF's property items. A frame without a graphic control keeps the
// delay of the one before, as GDI+ reports it; a broken file keeps the frames read so far.
UINT ScanGif(const std::vector<BYTE>& bytes, PropertyList& list)
{
    GifFile file(bytes);
    if (!file.gif) return 1;
    std::vector<UINT> delays;
    GifNotes notes;
    int firstTransparent = -1;
    FrameControl control;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(file.gif, &record) != GIF_OK || record == TERMINATE_RECORD_TYPE) break;
        if (record == EXTENSION_RECORD_TYPE && !ReadExtension(file.gif, control, &notes)) break;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(file.gif) != GIF_OK || !SkipFrameData(file.gif)) break;
            if (delays.empty()) firstTransparent = control.transparent;
            delays.push_back(control.delay);
            control.transparent = -1;
        }
    }
    if (delays.empty()) delays.push_back(0);
    ListGifProperties(file.gif, delays, notes, firstTransparent, list);
    return static_cast<UINT>(delays.size());
}

// The screen an animation is composed on, in straight ARGB.
class GifCanvas {
public:
    GifCanvas(INT w, INT h) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {}

    void Fill(ARGB color) { std::fill(pixels.begin(), pixels.end(), color); }
    void ClearRect(const GifImageDesc& rect)
    {
        for (INT y = std::max(rect.Top, 0); y < std::min(rect.Top + rect.Height, height); ++y)
            for (INT x = std::max(rect.Left, 0); x < std::min(rect.Left + rect.Width, width); ++x) At(x, y) = 0;
    }
    ARGB& At(INT x, INT y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }

    INT width, height;
    std::vector<ARGB> pixels;
};

ARGB ColorOf(const ColorMapObject* map, int index, int transparent)
{
    if (!map) return 0xFF000000u | ARGB(index) << 16 | ARGB(index) << 8 | ARGB(index);
    if (index >= map->ColorCount) return 0xFF000000u;
    const GifColorType& c = map->Colors[index];
    const ARGB rgb = ARGB(c.Red) << 16 | ARGB(c.Green) << 8 | c.Blue;
    return index == transparent ? rgb : 0xFF000000u | rgb;
}

// Draws the frame just described onto the canvas; the first frame's transparent pixels are written as
// transparent (as the first-frame decoder shows them), later frames' let what is below show through.
bool DrawFrame(GifFileType* gif, const FrameControl& control, bool first, GifCanvas& canvas)
{
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0) return false;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    std::vector<GifByteType> row(static_cast<size_t>(frame.Width));
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0, step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, row.data(), frame.Width) != GIF_OK) return false;
            const INT cy = frame.Top + y;
            if (cy < 0 || cy >= canvas.height) continue;
            for (int x = 0; x < frame.Width; ++x) {
                const INT cx = frame.Left + x;
                if (cx < 0 || cx >= canvas.width || (!first && row[x] == control.transparent)) continue;
                canvas.At(cx, cy) = ColorOf(map, row[x], control.transparent);
            }
        }
    }
    return true;
}

// Composes frames 0 to last in order, each disposed of as it asks before the next is drawn.
Status ComposeGif(const std::vector<BYTE>& bytes, UINT last, GifCanvas*& result, std::unique_ptr<GifCanvas>& holder)
{
    GifFile file(bytes);
    GifFileType* gif = file.gif;
    if (!gif || !BitmapSizeFits(gif->SWidth, gif->SHeight) || gif->SWidth <= 0 || gif->SHeight <= 0) return OutOfMemory;
    holder.reset(new (std::nothrow) GifCanvas(gif->SWidth, gif->SHeight));
    if (!holder) return OutOfMemory;
    GifCanvas& canvas = *holder;
    std::vector<ARGB> saved;
    FrameControl control, previous;
    GifImageDesc previousRect{};
    UINT index = 0;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK || record == TERMINATE_RECORD_TYPE) return OutOfMemory;
        if (record == EXTENSION_RECORD_TYPE && !ReadExtension(gif, control)) return OutOfMemory;
        if (record != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) != GIF_OK) return OutOfMemory;
        if (index == 0) {
            const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
            const int background = map && gif->SBackGroundColor < map->ColorCount ? gif->SBackGroundColor : 0;
            canvas.Fill(ColorOf(map, background, control.transparent));
        } else if (previous.disposal == 2) {
            canvas.ClearRect(previousRect);
        } else if (previous.disposal == 3 && !saved.empty()) {
            canvas.pixels = saved;
        }
        if (control.disposal == 3) saved = canvas.pixels;
        if (!DrawFrame(gif, control, index == 0, canvas)) return OutOfMemory;
        if (index == last) break;
        previous = control;
        previousRect = gif->Image;
        control = FrameControl{};
        ++index;
    }
    result = &canvas;
    return Ok;
}

// Stream callbacks for the engine's delegate writer; the stream being written is kept per thread.
thread_local IStream* t_saving = nullptr;

int PutSaved(BYTE* buffer, int size)
{
    ULONG written = 0;
    if (!t_saving || size < 0 || FAILED(t_saving->Write(buffer, static_cast<ULONG>(size), &written))) return -1;
    return static_cast<int>(written);
}

int GetSaved(BYTE* buffer, int size, BOOL)
{
    ULONG read = 0;
    if (!t_saving || size < 0 || FAILED(t_saving->Read(buffer, static_cast<ULONG>(size), &read))) return -1;
    return static_cast<int>(read);
}

long SeekSaved(int offset, int whence)
{
    if (!t_saving || whence < STREAM_SEEK_SET || whence > STREAM_SEEK_END) return -1;
    LARGE_INTEGER move{};
    move.QuadPart = offset;
    ULARGE_INTEGER position{};
    if (FAILED(t_saving->Seek(move, static_cast<DWORD>(whence), &position))) return -1;
    return static_cast<long>(position.QuadPart);
}

long SizeSaved()
{
    STATSTG stat{};
    if (!t_saving || FAILED(t_saving->Stat(&stat, STATFLAG_NONAME))) return -1;
    return static_cast<long>(stat.cbSize.QuadPart);
}

void CloseSaved() {}

bool IsIndexed(PixelFormat format) { return (format & 0x00010000) != 0; }

// The engine holds these 16-bit formats but its locks do not write them: the layer packs their pixels.
bool IsPacked16(PixelFormat format) { return format == PixelFormat16bppRGB555 || format == PixelFormat16bppRGB565; }

// A straight ARGB colour in 5-5-5 or 5-6-5 bits, each channel cut to its top bits (alpha is dropped).
WORD Pack16(ARGB color, PixelFormat format)
{
    const WORD r = (color >> 19) & 0x1F, b = (color >> 3) & 0x1F;
    if (format == PixelFormat16bppRGB565) return static_cast<WORD>(r << 11 | ((color >> 10) & 0x3F) << 5 | b);
    return static_cast<WORD>(r << 10 | ((color >> 11) & 0x1F) << 5 | b);
}

// A new bitmap of the locked pixels packed into the 16-bit format, over rows it keeps alive.
Bitmap* PackedClone(const BitmapData& from, PixelFormat format, REAL dpiX, REAL dpiY)
{
    const INT width = static_cast<INT>(from.Width), height = static_cast<INT>(from.Height);
    const INT stride = (width * 2 + 3) & ~3;
    std::shared_ptr<BYTE> rows(new (std::nothrow) BYTE[static_cast<size_t>(stride) * static_cast<size_t>(height)],
                               std::default_delete<BYTE[]>());
    if (!rows) return nullptr;
    for (INT y = 0; y < height; ++y) {
        const ARGB* in = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(from.Scan0) + static_cast<size_t>(from.Stride) * y);
        WORD* out = reinterpret_cast<WORD*>(rows.get() + static_cast<size_t>(stride) * y);
        for (INT x = 0; x < width; ++x) out[x] = Pack16(in[x], format);
    }
    auto* copy = new Bitmap(width, height, stride, format, rows.get());
    copy->TieToImage(rows);
    copy->SetResolution(dpiX, dpiY);
    return copy;
}

// The formats a clone can be written in.
bool CanCloneInto(PixelFormat format)
{
    if (IsPacked16(format) || IsWideFormat(format)) return true;
    switch (format) {
    case PixelFormat1bppIndexed:
    case PixelFormat4bppIndexed:
    case PixelFormat8bppIndexed:
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB: return true;
    default: return false;
    }
}

// The palette entry nearest the colour (by squared distance over the four channels).
BYTE NearestIndex(const ColorPalette& palette, ARGB color)
{
    UINT best = 0;
    long long bestDistance = -1;
    for (UINT i = 0; i < palette.Count; ++i) {
        long long distance = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const long long d = static_cast<long long>((palette.Entries[i] >> shift) & 0xFF) - ((color >> shift) & 0xFF);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

void PutIndex(BYTE* row, INT x, PixelFormat format, BYTE index)
{
    if (format == PixelFormat8bppIndexed) {
        row[x] = index;
    } else if (format == PixelFormat4bppIndexed) {
        const int shift = (x & 1) ? 0 : 4;
        row[x / 2] = static_cast<BYTE>((row[x / 2] & ~(0xF << shift)) | (index & 0xF) << shift);
    } else {
        const int bit = 7 - (x & 7);
        row[x / 8] = static_cast<BYTE>((row[x / 8] & ~(1 << bit)) | (index & 1) << bit);
    }
}

// The value of the EncoderSaveFlag parameter, or -1 when there is none.
long SaveFlagOf(const EncoderParameters* parameters)
{
    if (!parameters) return -1;
    for (UINT i = 0; i < parameters->Count; ++i) {
        const EncoderParameter& parameter = parameters->Parameter[i];
        if (parameter.Guid == EncoderSaveFlag && parameter.NumberOfValues >= 1 &&
            parameter.Type == EncoderParameterValueTypeLong && parameter.Value)
            return static_cast<long>(*static_cast<const ULONG*>(parameter.Value));
    }
    return -1;
}

}  // namespace

std::shared_ptr<PictureSource> DescribeTiffSource(std::vector<BYTE>&& file, UINT pageCount)
{
    std::shared_ptr<PictureSource> source(new (std::nothrow) PictureSource);
    if (!source) return nullptr;
    source->rawFormat = ImageFormatTIFF;
    source->frameCount = pageCount;
    if (pageCount > 1) source->tiffBytes = std::move(file);
    return source;
}

std::shared_ptr<PictureSource> DescribeSource(PictureBytes& bytes, const GUID& rawFormat)
{
    std::shared_ptr<PictureSource> source(new (std::nothrow) PictureSource);
    if (!source) return nullptr;
    source->rawFormat = rawFormat;
    if (rawFormat == ImageFormatGIF && ReadWholePicture(bytes, kMaxKeptGif, source->gifBytes))
        source->frameCount = ScanGif(source->gifBytes, source->properties);
    if (rawFormat == ImageFormatJPEG) ReadJpegProperties(bytes, source->properties);
    if (source->frameCount < 2) std::vector<BYTE>().swap(source->gifBytes);
    return source;
}

Status Image::GetRawFormat(GUID* format)
{
    if (!format) return SetStatus(InvalidParameter);
    if (source && nativeImage) {
        *format = source->rawFormat;
        return Ok;
    }
    return SetStatus(DllExports::GdipGetImageRawFormat(NativeImage(), format));
}

UINT Image::GetFlags()
{
    UINT flags = 0;
    SetStatus(DllExports::GdipGetImageFlags(NativeImage(), &flags));
    // The engine holds a wide format's pixels as 32bppARGB; the alpha is the format's own.
    if (wideFormat && !WideHasAlpha(wideFormat)) flags &= ~UINT{ImageFlagsHasAlpha};
    return flags;
}

Status Image::GetPhysicalDimension(SizeF* size)
{
    if (!size) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipGetImageDimension(NativeImage(), &size->Width, &size->Height));
}

Status Image::GetBounds(RectF* srcRect, Unit* srcUnit)
{
    return SetStatus(DllExports::GdipGetImageBounds(NativeImage(), srcRect, srcUnit));
}

INT Image::GetPaletteSize()
{
    INT size = 0;
    SetStatus(DllExports::GdipGetImagePaletteSize(NativeImage(), &size));
    return size;
}

Status Image::GetPalette(ColorPalette* palette, INT size)
{
    return SetStatus(DllExports::GdipGetImagePalette(NativeImage(), palette, size));
}

Status Image::SetPalette(const ColorPalette* palette)
{
    // GDI+ holds at most 256 colours; the engine would take any count.
    if (!palette || palette->Count > 256) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipSetImagePalette(NativeImage(), palette));
}

UINT Image::GetFrameDimensionsCount()
{
    UINT count = 0;
    SetStatus(DllExports::GdipImageGetFrameDimensionsCount(NativeImage(), &count));
    return count;
}

Status Image::GetFrameDimensionsList(GUID* dimensionIDs, UINT count)
{
    if (source && nativeImage && source->rawFormat == ImageFormatGIF) {
        // A GIF's frames are times, as GDI+ lists them, whatever its count.
        if (!dimensionIDs || count != 1) return SetStatus(InvalidParameter);
        *dimensionIDs = FrameDimensionTime;
        return Ok;
    }
    if (source && nativeImage && source->rawFormat == ImageFormatTIFF) {
        if (!dimensionIDs || count != 1) return SetStatus(InvalidParameter);
        *dimensionIDs = FrameDimensionPage;
        return Ok;
    }
    return SetStatus(DllExports::GdipImageGetFrameDimensionsList(NativeImage(), dimensionIDs, count));
}

UINT Image::GetFrameCount(const GUID* dimensionID)
{
    if (source && nativeImage && source->rawFormat == ImageFormatGIF) {
        if (!dimensionID || !(*dimensionID == FrameDimensionTime)) return 0;
        return source->frameCount;
    }
    if (source && nativeImage && source->rawFormat == ImageFormatTIFF) {
        if (!dimensionID || !(*dimensionID == FrameDimensionPage)) return 0;
        return source->frameCount;
    }
    UINT count = 0;
    SetStatus(DllExports::GdipImageGetFrameCount(NativeImage(), dimensionID, &count));
    return count;
}

Status Image::SelectActiveFrame(const GUID* dimensionID, UINT frameIndex)
{
    if (!dimensionID || !nativeImage) return SetStatus(InvalidParameter);
    if (source && source->rawFormat == ImageFormatGIF) {
        if (!(*dimensionID == FrameDimensionTime) || frameIndex >= source->frameCount) return SetStatus(InvalidParameter);
        return SetStatus(SelectGifFrame(frameIndex));
    }
    if (source && source->rawFormat == ImageFormatTIFF) {
        if (!(*dimensionID == FrameDimensionPage) || frameIndex >= source->frameCount) return SetStatus(InvalidParameter);
        return SetStatus(SelectTiffPage(frameIndex));
    }
    // The engine takes any index for its frames; GDI+ refuses one past the last.
    UINT count = 0;
    Status status = DllExports::GdipImageGetFrameCount(NativeImage(), dimensionID, &count);
    if (status == Ok && frameIndex >= count) status = InvalidParameter;
    if (status == Ok) status = DllExports::GdipImageSelectActiveFrame(NativeImage(), dimensionID, frameIndex);
    return SetStatus(status);
}

Status Image::SelectGifFrame(UINT frameIndex)
{
    // Selecting the frame on show keeps what was drawn on it, as in GDI+.
    if (frameIndex == source->activeFrame) return Ok;
    if (source->gifBytes.empty()) return OutOfMemory;
    std::unique_ptr<GifCanvas> holder;
    GifCanvas* canvas = nullptr;
    Status status = ComposeGif(source->gifBytes, frameIndex, canvas, holder);
    if (status != Ok) return status;
    DecodeTarget target;
    if (!target.Allocate(canvas->width, canvas->height, PixelFormat32bppARGB)) return OutOfMemory;
    for (INT y = 0; y < canvas->height; ++y)
        std::memcpy(target.Row(y), &canvas->At(0, y), static_cast<size_t>(canvas->width) * sizeof(ARGB));
    REAL dpiX = GetHorizontalResolution(), dpiY = GetVerticalResolution();
    DecodedPicture picture;
    status = target.Finish(picture, nullptr, dpiX, dpiY);
    if (status != Ok) return status;
    std::shared_ptr<PictureSource> kept = source;
    AdoptLoaded(Ok, picture);
    source = kept;
    source->activeFrame = frameIndex;
    return Ok;
}

Status Image::SelectTiffPage(UINT pageIndex)
{
    if (pageIndex == source->activeFrame) return Ok;
    if (source->tiffBytes.empty()) return OutOfMemory;
    DecodedPicture picture;
    Status status = DecodeTiffPage(source->tiffBytes, pageIndex, picture);
    if (status != Ok) return status;
    std::shared_ptr<PictureSource> kept = source;
    AdoptLoaded(Ok, picture);
    source = kept;
    source->activeFrame = pageIndex;
    return Ok;
}

Image* Image::GetThumbnailImage(UINT thumbWidth, UINT thumbHeight, GetThumbnailImageAbort callback, void* callbackData)
{
    if (!BitmapSizeFits(thumbWidth, thumbHeight)) {
        SetStatus(OutOfMemory);
        return new Image(nullptr, OutOfMemory);
    }
    DllExports::GpImage* thumbnail = nullptr;
    Status status =
        SetStatus(DllExports::GdipGetImageThumbnail(NativeImage(), thumbWidth, thumbHeight, &thumbnail, callback, callbackData));
    return new Image(thumbnail, status);
}

Status Image::Save(IStream* stream, const CLSID* clsidEncoder, const EncoderParameters* encoderParams)
{
    if (!stream || !clsidEncoder) return SetStatus(InvalidParameter);
    Status status = Ok;
    if (SaveMultiFrame(nullptr, stream, clsidEncoder, encoderParams, status)) return SetStatus(status);
    IStream* outer = t_saving;
    t_saving = stream;
    status = DllExports::GdipSaveImageToDelegate_linux(NativeImage(), GetSaved, PutSaved, SeekSaved, CloseSaved,
                                                             SizeSaved, clsidEncoder, encoderParams);
    t_saving = outer;
    return SetStatus(status);
}

bool Image::SaveMultiFrame(const WCHAR* filename, IStream* stream, const CLSID* clsidEncoder,
                           const EncoderParameters* encoderParams, Status& status)
{
    // Saving again, even to the same file, starts over (the file is written anew), as in GDI+.
    multiFrameSave.reset();
    if (!nativeImage || !IsTiffEncoder(clsidEncoder) || SaveFlagOf(encoderParams) != EncoderValueMultiFrame) return false;
    std::unique_ptr<TiffWriter> writer;
    if (stream) writer = TiffWriter::ToStream(stream);
    else if (filename) writer = TiffWriter::ToFile(Utf16ToUtf8(filename));
    status = !filename && !stream ? InvalidParameter : !writer ? Win32Error : writer->AddPage(NativeImage());
    if (status == Ok) multiFrameSave = std::move(writer);
    return true;
}

// Adds the page, or finishes the file, as the EncoderSaveFlag asks. A save is under way.
static Status ContinueSave(std::shared_ptr<TiffWriter>& save, DllExports::GpImage* page, const EncoderParameters* parameters)
{
    const long flag = SaveFlagOf(parameters);
    if (flag == EncoderValueFrameDimensionPage) return save->AddPage(page);
    if (flag != EncoderValueFlush) return InvalidParameter;
    const Status status = save->Finish();
    save.reset();
    return status;
}

Status Image::SaveAdd(const EncoderParameters* encoderParams)
{
    if (!nativeImage || !encoderParams) return SetStatus(InvalidParameter);
    // Only a Save with EncoderValueMultiFrame begins a file that pages can be added to (Win32Error, as
    // Windows reports, before it, after the flush, or after a plain Save).
    if (!multiFrameSave) return SetStatus(Win32Error);
    return SetStatus(ContinueSave(multiFrameSave, NativeImage(), encoderParams));
}

Status Image::SaveAdd(Image* newImage, const EncoderParameters* encoderParams)
{
    if (!nativeImage || !newImage || !newImage->NativeImage() || !encoderParams) return SetStatus(InvalidParameter);
    if (!multiFrameSave) return SetStatus(Win32Error);
    return SetStatus(ContinueSave(multiFrameSave, newImage->NativeImage(), encoderParams));
}

UINT Image::GetPropertyCount()
{
    if (source && nativeImage) return static_cast<UINT>(source->properties.size());
    UINT count = 0;
    SetStatus(DllExports::GdipGetPropertyCount(NativeImage(), &count));
    return count;
}

// A picture the layer decoded has its items in the layer (the engine never saw the file); every other
// picture's are the engine's.
Status Image::GetPropertyIdList(UINT numOfProperty, PROPID* list)
{
    if (source && nativeImage) return SetStatus(CopyPropertyIds(source->properties, numOfProperty, list));
    return SetStatus(DllExports::GdipGetPropertyIdList(NativeImage(), numOfProperty, list));
}

UINT Image::GetPropertyItemSize(PROPID propId)
{
    UINT size = 0;
    if (source && nativeImage) SetStatus(FindPropertySize(source->properties, propId, &size));
    else SetStatus(DllExports::GdipGetPropertyItemSize(NativeImage(), propId, &size));
    return size;
}

Status Image::GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer)
{
    if (source && nativeImage) return SetStatus(CopyPropertyItem(source->properties, propId, propSize, buffer));
    return SetStatus(DllExports::GdipGetPropertyItem(NativeImage(), propId, propSize, buffer));
}

Status Image::GetPropertySize(UINT* totalBufferSize, UINT* numProperties)
{
    if (source && nativeImage) return SetStatus(TotalPropertySize(source->properties, totalBufferSize, numProperties));
    return SetStatus(DllExports::GdipGetPropertySize(NativeImage(), totalBufferSize, numProperties));
}

Status Image::GetAllPropertyItems(UINT totalBufferSize, UINT numProperties, PropertyItem* allItems)
{
    if (source && nativeImage)
        return SetStatus(CopyAllPropertyItems(source->properties, totalBufferSize, numProperties, allItems));
    return SetStatus(DllExports::GdipGetAllPropertyItems(NativeImage(), totalBufferSize, numProperties, allItems));
}

Status Image::RemovePropertyItem(PROPID propId)
{
    if (source && nativeImage) return SetStatus(RemoveProperty(source->properties, propId));
    return SetStatus(DllExports::GdipRemovePropertyItem(NativeImage(), propId));
}

Status Image::SetPropertyItem(const PropertyItem* item)
{
    if (source && nativeImage) return SetStatus(SetProperty(source->properties, item));
    return SetStatus(DllExports::GdipSetPropertyItem(NativeImage(), item));
}

Bitmap* Bitmap::Clone(INT x, INT y, INT width, INT height, PixelFormat format)
{
    // The engine checks only the far edges, and reads outside the bitmap for a negative corner.
    const long long right = static_cast<long long>(x) + width, bottom = static_cast<long long>(y) + height;
    if (!nativeImage || x < 0 || y < 0 || width <= 0 || height <= 0 || right > GetWidth() || bottom > GetHeight()) {
        SetStatus(InvalidParameter);
        return new Bitmap(static_cast<DllExports::GpBitmap*>(nullptr), InvalidParameter);
    }
    if (!CanCloneInto(format)) {
        SetStatus(NotImplemented);
        return new Bitmap(static_cast<DllExports::GpBitmap*>(nullptr), NotImplemented);
    }
    if (IsPacked16(format)) return ClonePacked16(Rect(x, y, width, height), format);
    if (IsWideFormat(format)) return CloneWide(Rect(x, y, width, height), format);
    auto* copy = new Bitmap(width, height, format);
    Status status = copy->GetLastStatus();
    if (status == Ok) {
        copy->SetResolution(GetHorizontalResolution(), GetVerticalResolution());
        Rect area(x, y, width, height);
        BitmapData from{};
        status = LockBits(&area, ImageLockModeRead, PixelFormat32bppARGB, &from);
        if (status == Ok) {
            status = copy->CopyConverted(from);
            UnlockBits(&from);
        }
    }
    if (status != Ok) {
        delete copy;
        SetStatus(status);
        return new Bitmap(static_cast<DllExports::GpBitmap*>(nullptr), status);
    }
    return copy;
}

Bitmap* Bitmap::ClonePacked16(const Rect& area, PixelFormat format)
{
    BitmapData from{};
    Status status = LockBits(&area, ImageLockModeRead, PixelFormat32bppARGB, &from);
    Bitmap* copy = nullptr;
    if (status == Ok) {
        copy = PackedClone(from, format, GetHorizontalResolution(), GetVerticalResolution());
        UnlockBits(&from);
        status = !copy ? OutOfMemory : copy->GetLastStatus();
    }
    if (status == Ok) return copy;
    delete copy;
    SetStatus(status);
    return new Bitmap(static_cast<DllExports::GpBitmap*>(nullptr), status);
}

// The engine cannot hold the format: the clone is an engine 32bppARGB bitmap of the pixels quantised as
// the format holds them, declared in the format, whose locks in it are converted by the layer.
Bitmap* Bitmap::CloneWide(const Rect& area, PixelFormat format)
{
    auto* copy = new Bitmap(area.Width, area.Height, PixelFormat32bppARGB);
    BitmapData from{}, to{};
    Status status = copy->GetLastStatus();
    if (status == Ok) status = LockBits(&area, ImageLockModeRead, PixelFormat32bppARGB, &from);
    if (status == Ok) {
        status = copy->LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &to);
        for (UINT y = 0; status == Ok && y < from.Height; ++y) {
            const auto* in = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(from.Scan0) + static_cast<ptrdiff_t>(from.Stride) * y);
            auto* out = reinterpret_cast<ARGB*>(static_cast<BYTE*>(to.Scan0) + static_cast<ptrdiff_t>(to.Stride) * y);
            for (UINT x = 0; x < from.Width; ++x) out[x] = QuantisedAs(format, in[x]);
        }
        if (status == Ok) status = copy->UnlockBits(&to);
        UnlockBits(&from);
    }
    if (status == Ok) status = copy->SetResolution(GetHorizontalResolution(), GetVerticalResolution());
    if (status == Ok) {
        copy->wideFormat = format;
        return copy;
    }
    delete copy;
    SetStatus(status);
    return new Bitmap(static_cast<DllExports::GpBitmap*>(nullptr), status);
}

Bitmap* Bitmap::Clone(const Rect& rect, PixelFormat format) { return Clone(rect.X, rect.Y, rect.Width, rect.Height, format); }

Bitmap* Bitmap::Clone(const RectF& rect, PixelFormat format)
{
    return Clone(static_cast<INT>(std::lround(rect.X)), static_cast<INT>(std::lround(rect.Y)),
                 static_cast<INT>(std::lround(rect.Width)), static_cast<INT>(std::lround(rect.Height)), format);
}

Status Bitmap::CopyConverted(const BitmapData& from)
{
    const PixelFormat format = GetPixelFormat();
    BitmapData to{};
    if (!IsIndexed(format)) {
        // The layer's locks convert straight ARGB into the bitmap's own format.
        Status status = LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &to);
        if (status != Ok) return status;
        for (UINT y = 0; y < from.Height; ++y)
            std::memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<size_t>(to.Stride) * y,
                        static_cast<const BYTE*>(from.Scan0) + static_cast<size_t>(from.Stride) * y, from.Width * 4u);
        return UnlockBits(&to);
    }
    const INT size = GetPaletteSize();
    std::vector<UINT> words(static_cast<size_t>(std::max(size, 12)) / sizeof(UINT) + 1);
    auto* palette = reinterpret_cast<ColorPalette*>(words.data());
    Status status = GetPalette(palette, size);
    if (status == Ok && palette->Count == 0) status = InvalidParameter;
    if (status == Ok) status = LockBits(nullptr, ImageLockModeWrite, format, &to);
    if (status != Ok) return status;
    for (UINT y = 0; y < from.Height; ++y) {
        const ARGB* in = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(from.Scan0) + static_cast<size_t>(from.Stride) * y);
        BYTE* out = static_cast<BYTE*>(to.Scan0) + static_cast<size_t>(to.Stride) * y;
        for (UINT x = 0; x < from.Width; ++x) PutIndex(out, static_cast<INT>(x), format, NearestIndex(*palette, in[x]));
    }
    return UnlockBits(&to);
}

}  // namespace Gdiplus
