// Pictures decoded by the layer itself. Every picture's header is read first and a size that cannot be
// held is refused before anything is allocated; PNG, JPEG, GIF and TIFF are then decoded here with libpng,
// libjpeg-turbo, giflib and libtiff (the engine's own loaders leak on broken files, trust declared sizes and, for
// GIF, crash), into engine bitmaps laid out as the engine's decoders lay them out.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "../engine/GdiplusFlat.h"

namespace Gdiplus {

struct PictureSource;

// The bytes of a picture file or stream, read at offsets from its start.
class PictureBytes {
public:
    virtual ~PictureBytes() = default;
    // Reads up to size bytes at offset; the count read, 0 past the end or on failure.
    virtual size_t ReadAt(unsigned long long offset, void* buffer, size_t size) = 0;
};

// Reads the whole picture into `out`, a megabyte at a time; false once it reaches `limit` bytes.
bool ReadWholePicture(PictureBytes& bytes, size_t limit, std::vector<BYTE>& out);

// A picture read front to back through a buffer, for the codecs.
class PictureReader {
public:
    explicit PictureReader(PictureBytes& source) : bytes(source) {}
    // False when the buffer could not be had.
    bool Ready() const { return buffer != nullptr; }
    // Copies up to size bytes out; fewer only at the end.
    size_t Read(BYTE* out, size_t size);
    // The bytes buffered next (read in when none are), all taken at once; count 0 at the end.
    const BYTE* Take(size_t& count);

private:
    static const size_t kBufferSize = 64 * 1024;
    PictureBytes& bytes;
    unsigned long long position = 0;  // where the file continues after the buffer
    std::unique_ptr<BYTE[]> buffer{new (std::nothrow) BYTE[kBufferSize]};
    size_t begin = 0;
    size_t end = 0;
};

// An engine image decoded here, and the memory its pixels live in (kept until the image is disposed).
struct DecodedPicture {
    DllExports::GpImage* image = nullptr;
    std::shared_ptr<void> pixels;
    std::shared_ptr<PictureSource> source;  // the file's format and, for an animated GIF, its frames
};

// What Image keeps of a file the layer decoded: the engine sees only the pixels (GdiplusImageExtra.cpp).
std::shared_ptr<PictureSource> DescribeSource(PictureBytes& bytes, const GUID& rawFormat);

// Checks the declared size, then decodes PNG, JPEG and GIF into picture. Ok with no image means the
// engine is to decode the picture; any other status is the load's failure (OutOfMemory for a size that
// cannot be held, as GDI+ gives).
Status DecodePicture(PictureBytes& bytes, DecodedPicture& picture);

// The codecs. Each fails with a status, never allocates pixels before the size is checked, and frees all
// it took on every path.
Status DecodePng(PictureReader& reader, DecodedPicture& picture);
Status DecodeJpeg(PictureReader& reader, DecodedPicture& picture);
Status DecodeGif(PictureReader& reader, DecodedPicture& picture);

// Pixel rows for a picture being decoded, 4-byte aligned, then handed to the engine as its bitmap.
class DecodeTarget {
public:
    // False when the size cannot be held or the memory cannot be had.
    bool Allocate(INT width, INT height, PixelFormat format);
    BYTE* Row(INT y) const { return rows.get() + static_cast<size_t>(y) * static_cast<size_t>(stride); }
    INT Stride() const { return stride; }
    // Makes the engine bitmap over the rows (with the palette for indexed formats, and the resolution,
    // 96 dpi unless both are positive) into picture.
    Status Finish(DecodedPicture& picture, const ColorPalette* palette, REAL dpiX, REAL dpiY);

private:
    std::shared_ptr<BYTE> rows;
    INT width = 0;
    INT height = 0;
    INT stride = 0;
    PixelFormat format = 0;
};

// A palette of up to 256 entries, laid out as ColorPalette: flags, count, then the colours.
struct PaletteOf256 {
    UINT words[2 + 256]{};
    void SetFlags(UINT flags) { words[0] = flags; }
    void Set(UINT index, ARGB color)
    {
        words[2 + index] = color;
        if (index >= words[1]) words[1] = index + 1;
    }
    ARGB At(UINT index) const { return words[2 + index]; }
    const ColorPalette* Get() const { return reinterpret_cast<const ColorPalette*>(words); }
};

}  // namespace Gdiplus
