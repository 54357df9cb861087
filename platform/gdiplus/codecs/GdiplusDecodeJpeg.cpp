// JPEG through libjpeg-turbo, as GDI+ gives it: colour pictures are 24-bit, greyscale ones 8-bit indexed
// over a grey palette, CMYK ones 32-bit RGB. A file cut short gives the part decoded, the rest grey, as
// in GDI+; a file broken before its first scan fails. The upsampling is the engine's (plain, not
// smoothed), so pictures look as they always did.
//
// A file whose scans would take more work or memory than its size warrants (JpegBudget.h) is refused with
// OutOfMemory, as a picture too large to hold is, rather than shown as far as the budget went: the file is
// intact, and a blurred early scan handed over with Ok would pass for the picture.
#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include "../Gdiplus.h"
#include "GdiplusDecode.h"
#include "JpegBudget.h"
#include "JpegErrors.h"

namespace Gdiplus {

namespace {

// libjpeg's input, taken from the reader's buffer; a file that ends early ends with an end-of-image
// marker, so that what came before it is decoded.
struct Source {
    jpeg_source_mgr base;
    PictureReader* reader;
};

void StartSource(j_decompress_ptr) {}
void EndSource(j_decompress_ptr) {}

boolean FillSource(j_decompress_ptr info)
{
    static const JOCTET kEnd[] = {0xFF, JPEG_EOI};
    auto* source = reinterpret_cast<Source*>(info->src);
    size_t count = 0;
    const BYTE* bytes = source->reader->Take(count);
    source->base.next_input_byte = count ? bytes : kEnd;
    source->base.bytes_in_buffer = count ? count : sizeof(kEnd);
    return TRUE;
}

void SkipSource(j_decompress_ptr info, long count)
{
    jpeg_source_mgr& source = *info->src;
    while (count > 0) {
        if (source.bytes_in_buffer == 0) FillSource(info);
        const size_t n = std::min(static_cast<size_t>(count), source.bytes_in_buffer);
        source.next_input_byte += n;
        source.bytes_in_buffer -= n;
        count -= static_cast<long>(n);
    }
}

class JpegReader {
public:
    JpegReader() { info.err = AttachJpegErrors(errors); }
    ~JpegReader() { jpeg_destroy_decompress(&info); }
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    jpeg_decompress_struct info{};
    JpegErrors errors{};
    JpegBudget budget{};
    Source source{};
};

struct Layout {
    PixelFormat format = 0;
    REAL dpiX = 0;
    REAL dpiY = 0;
};

// CMYK rows to opaque BGRA in place; files written by Adobe's programs store the inks inverted.
void CmykToBgra(BYTE* row, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, row += 4) {
        const unsigned c = row[0], m = row[1], y = row[2], k = row[3];
        const unsigned r = inverted ? k * y / 255 : (255 - k) * (255 - y) / 255;
        const unsigned g = inverted ? k * m / 255 : (255 - k) * (255 - m) / 255;
        const unsigned b = inverted ? k * c / 255 : (255 - k) * (255 - c) / 255;
        row[0] = static_cast<BYTE>(b);
        row[1] = static_cast<BYTE>(g);
        row[2] = static_cast<BYTE>(r);
        row[3] = 0xFF;
    }
}

// All of libjpeg's work, in a frame holding nothing to destroy: an error jumps back here.
bool Decode(JpegReader& reader, PictureReader& input, DecodeTarget& target, Layout& layout)
{
    jpeg_decompress_struct& info = reader.info;
    if (setjmp(reader.errors.jump)) return false;
    jpeg_create_decompress(&info);
    reader.source.base = {nullptr, 0, StartSource, FillSource, SkipSource, jpeg_resync_to_restart, EndSource};
    reader.source.reader = &input;
    info.src = &reader.source.base;
    jpeg_read_header(&info, TRUE);
    LimitJpegWork(info, reader.budget);
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
        layout.format = PixelFormat8bppIndexed;
    } else if (info.num_components == 3) {
        info.out_color_space = JCS_EXT_BGRA;
        layout.format = PixelFormat24bppRGB;
    } else if (info.num_components == 4) {
        info.out_color_space = JCS_CMYK;
        layout.format = PixelFormat32bppRGB;
    } else {
        return false;
    }
    if (info.density_unit == 1 || info.density_unit == 2) {
        const REAL perInch = info.density_unit == 2 ? 2.54f : 1.0f;
        layout.dpiX = info.X_density * perInch;
        layout.dpiY = info.Y_density * perInch;
    }
    if (!target.Allocate(static_cast<INT>(info.image_width), static_cast<INT>(info.image_height), layout.format))
        return false;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = target.Row(static_cast<INT>(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
        if (info.out_color_space == JCS_CMYK) CmykToBgra(row, info.output_width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

Status DecodeJpeg(PictureReader& input, DecodedPicture& picture)
{
    JpegReader reader;
    DecodeTarget target;
    Layout layout;
    if (!Decode(reader, input, target, layout)) return OutOfMemory;
    PaletteOf256 grey;
    if (layout.format == PixelFormat8bppIndexed) {
        grey.SetFlags(PaletteFlagsGrayScale);
        for (UINT i = 0; i < 256; ++i) grey.Set(i, 0xFF000000u | i << 16 | i << 8 | i);
    }
    return target.Finish(picture, layout.format == PixelFormat8bppIndexed ? grey.Get() : nullptr, layout.dpiX,
                         layout.dpiY);
}

}  // namespace Gdiplus
