// Which decoder a picture goes to, once the size its header declares is known to fit. The header is read
// with a few small reads, so a refused picture costs neither time nor memory.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "../Gdiplus.h"
#include "GdiplusDecode.h"
#include "GdiplusTiff.h"

namespace Gdiplus {

namespace {

enum class Kind { Other, Png, Jpeg, Gif, Bmp, Tiff };

uint32_t Big16(const BYTE* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Big32(const BYTE* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const BYTE* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t Little32(const BYTE* p) { return Little16(p + 2) << 16 | Little16(p); }

bool ReadExactly(PictureBytes& bytes, unsigned long long offset, BYTE* buffer, size_t size)
{
    return bytes.ReadAt(offset, buffer, size) == size;
}

// The frame header's size, found by walking the segments before it.
bool JpegSize(PictureBytes& bytes, long long& width, long long& height)
{
    unsigned long long offset = 2;
    for (int segments = 0; segments < 100000; ++segments) {
        BYTE marker[9];
        if (!ReadExactly(bytes, offset, marker, 2) || marker[0] != 0xFF) return false;
        const BYTE code = marker[1];
        if (code == 0xFF || code == 0x01 || (code >= 0xD0 && code <= 0xD8)) {  // fill bytes, markers alone
            offset += code == 0xFF ? 1 : 2;
            continue;
        }
        if (code == 0xDA || code == 0xD9) return false;  // scan data before any frame header
        if (!ReadExactly(bytes, offset + 2, marker + 2, 7)) return false;
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            height = Big16(marker + 5);
            width = Big16(marker + 7);
            return true;
        }
        offset += 2 + Big16(marker + 2);
    }
    return false;
}

// Any page of a TIFF file may be selected, so every page's size is checked.
bool TiffPagesFit(PictureBytes& bytes, const BYTE* header)
{
    const bool little = header[0] == 'I';
    auto u16 = [little](const BYTE* p) { return little ? Little16(p) : Big16(p); };
    auto u32 = [little](const BYTE* p) { return little ? Little32(p) : Big32(p); };
    unsigned long long directory = u32(header + 4);
    for (int page = 0; page < 1024 && directory != 0; ++page) {
        BYTE count[2];
        if (!ReadExactly(bytes, directory, count, 2)) return true;  // broken: the engine says so
        const size_t listed = u16(count);
        std::unique_ptr<BYTE[]> table(new (std::nothrow) BYTE[listed * 12 + 4]);
        if (!table) return false;
        // A cut directory is read by libtiff as far as it goes, so the entries that are there are checked.
        const size_t got = bytes.ReadAt(directory + 2, table.get(), listed * 12 + 4);
        const size_t entries = std::min(listed, got / 12);
        long long width = 0, height = 0;
        for (size_t i = 0; i < entries; ++i) {
            const BYTE* entry = table.get() + i * 12;
            const uint32_t tag = u16(entry), type = u16(entry + 2);
            const long long value = type == 3 ? u16(entry + 8) : type == 4 ? u32(entry + 8) : 0;
            if (tag == 256) width = value;
            if (tag == 257) height = value;
        }
        if (!BitmapSizeFits(width, height)) return false;
        if (got < listed * 12 + 4) return true;
        directory = u32(table.get() + entries * 12);
    }
    return true;
}

// The kind of picture, told by the signatures the engine tells it by, and false when its header declares a
// size beyond what a bitmap may hold.
bool SizeFits(PictureBytes& bytes, Kind& kind)
{
    BYTE h[32]{};
    const size_t got = bytes.ReadAt(0, h, sizeof(h));
    long long width = 0, height = 0;
    kind = Kind::Other;
    if (got >= 8 && std::memcmp(h, "\x89PNG\r\n\x1a\n", 8) == 0) {
        kind = Kind::Png;
        if (got >= 24 && std::memcmp(h + 12, "IHDR", 4) == 0) {
            width = Big32(h + 16);
            height = Big32(h + 20);
        }
    } else if (got >= 2 && h[0] == 0xFF && h[1] == 0xD8) {
        kind = Kind::Jpeg;
        JpegSize(bytes, width, height);
    } else if (got >= 6 && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0)) {
        kind = Kind::Gif;
        width = Little16(h + 6);
        height = Little16(h + 8);
    } else if (got >= 26 && h[0] == 'B' && h[1] == 'M') {
        kind = Kind::Bmp;
        const bool core = Little32(h + 14) == 12;
        width = core ? Little16(h + 18) : static_cast<int32_t>(Little32(h + 18));
        height = core ? Little16(h + 20) : static_cast<int32_t>(Little32(h + 22));
        return BitmapSizeFits(std::llabs(width), std::llabs(height));  // negative heights run top-down
    } else if (got >= 8 && (std::memcmp(h, "II*\0", 4) == 0 || std::memcmp(h, "MM\0*", 4) == 0)) {
        kind = Kind::Tiff;
        return TiffPagesFit(bytes, h);
    }
    return BitmapSizeFits(width, height);
}

INT BitsPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat1bppIndexed: return 1;
    case PixelFormat4bppIndexed: return 4;
    case PixelFormat8bppIndexed: return 8;
    default: return 32;  // the engine holds 24-bit pixels in four bytes, as cairo does
    }
}

}  // namespace

Status DecodePicture(PictureBytes& bytes, DecodedPicture& picture)
{
    picture = DecodedPicture{};
    Kind kind = Kind::Other;
    if (!SizeFits(bytes, kind)) return OutOfMemory;
    if (kind == Kind::Tiff) return DecodeTiff(bytes, picture);
    if (kind != Kind::Png && kind != Kind::Jpeg && kind != Kind::Gif) return Ok;
    PictureReader reader(bytes);
    if (!reader.Ready()) return OutOfMemory;
    const Status status = kind == Kind::Png    ? DecodePng(reader, picture)
                          : kind == Kind::Jpeg ? DecodeJpeg(reader, picture)
                                               : DecodeGif(reader, picture);
    if (status == Ok && picture.image)
        picture.source = DescribeSource(bytes, kind == Kind::Png    ? ImageFormatPNG
                                               : kind == Kind::Jpeg ? ImageFormatJPEG
                                                                    : ImageFormatGIF);
    return status;
}

const BYTE* PictureReader::Take(size_t& count)
{
    if (begin == end) {
        begin = 0;
        end = bytes.ReadAt(position, buffer.get(), kBufferSize);
        position += end;
    }
    count = end - begin;
    const BYTE* taken = buffer.get() + begin;
    begin = end;
    return taken;
}

size_t PictureReader::Read(BYTE* out, size_t size)
{
    size_t done = 0;
    while (done < size) {
        if (begin == end && size - done >= kBufferSize) {  // large reads go straight to the caller
            const size_t read = bytes.ReadAt(position, out + done, size - done);
            position += read;
            return done + read;
        }
        if (begin == end) {
            begin = 0;
            end = bytes.ReadAt(position, buffer.get(), kBufferSize);
            position += end;
            if (end == 0) break;
        }
        const size_t n = std::min(size - done, end - begin);
        std::memcpy(out + done, buffer.get() + begin, n);
        begin += n;
        done += n;
    }
    return done;
}

bool DecodeTarget::Allocate(INT w, INT h, PixelFormat f)
{
    if (w <= 0 || h <= 0 || !BitmapSizeFits(w, h)) return false;
    width = w;
    height = h;
    format = f;
    stride = static_cast<INT>((static_cast<long long>(w) * BitsPerPixel(f) + 31) / 32 * 4);
    rows.reset(new (std::nothrow) BYTE[static_cast<size_t>(stride) * static_cast<size_t>(h)], std::default_delete<BYTE[]>());
    return rows != nullptr;
}

Status DecodeTarget::Finish(DecodedPicture& picture, const ColorPalette* palette, REAL dpiX, REAL dpiY)
{
    DllExports::GpBitmap* bitmap = nullptr;
    Status status = DllExports::GdipCreateBitmapFromScan0(width, height, stride, format, rows.get(), &bitmap);
    if (status != Ok) return status;
    auto* image = reinterpret_cast<DllExports::GpImage*>(bitmap);
    if (palette) status = DllExports::GdipSetImagePalette(image, palette);
    // A file that gives no resolution is taken at the screen's, as GDI+ takes it.
    const REAL kScreenDpi = 96.0f;
    if (!(dpiX > 0 && dpiY > 0)) dpiX = dpiY = kScreenDpi;
    if (status == Ok) status = DllExports::GdipBitmapSetResolution(bitmap, dpiX, dpiY);
    if (status != Ok) {
        DllExports::GdipDisposeImage(image);
        return status;
    }
    picture.image = image;
    picture.pixels = rows;
    return Ok;
}

bool ReadWholePicture(PictureBytes& bytes, size_t limit, std::vector<BYTE>& out)
{
    const size_t kChunk = 1 << 20;
    for (;;) {
        const size_t have = out.size();
        if (have >= limit) return false;
        out.resize(have + kChunk);
        const size_t got = bytes.ReadAt(have, out.data() + have, kChunk);
        out.resize(have + got);
        if (got < kChunk) return true;
    }
}

}  // namespace Gdiplus
