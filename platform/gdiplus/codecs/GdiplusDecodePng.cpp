// PNG through libpng, in the pixel formats GDI+ gives: palettes of 1, 4 or 8 bits and 1-bit grey stay
// indexed, 8-bit RGB is 24-bit (32-bit ARGB with a transparent colour), everything else (grey, grey and
// alpha, 2-bit, 16-bit) is 32-bit ARGB. A file cut short fails the load, as in GDI+; a chunk whose
// checksum is wrong is read as it stands, as GDI+ reads it.
#include <png.h>

#include <csetjmp>
#include <vector>

#include "../Gdiplus.h"
#include "GdiplusDecode.h"

namespace Gdiplus {

namespace {

void ReadInput(png_structp png, png_bytep out, size_t count)
{
    if (static_cast<PictureReader*>(png_get_io_ptr(png))->Read(out, count) != count) png_error(png, "truncated");
}

// libpng's messages stay off the terminal; an error unwinds to the read that caused it.
void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Ignore(png_structp, png_const_charp) {}

class PngReader {
public:
    PngReader()
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
        info = png ? png_create_info_struct(png) : nullptr;
    }
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Each libpng call that can fail runs in a frame of its own holding nothing to destroy, so that the
// error's jump back leaves no object behind.
bool ReadInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    return true;
}

// Expansions to 8-bit BGRA where the picture does not stay indexed, as the engine asks libpng for them.
bool Prepare(png_structp png, png_infop info, int depth, int type, bool indexed)
{
    if (setjmp(png_jmpbuf(png))) return false;
    if (!indexed) {
        if (depth == 16) png_set_strip_16(png);
        if (depth == 2 || ((depth == 4 || depth == 8) && type != PNG_COLOR_TYPE_PALETTE)) png_set_expand(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool ReadImage(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

bool StaysIndexed(int depth, int type)
{
    return (type == PNG_COLOR_TYPE_PALETTE && depth != 2) || (type == PNG_COLOR_TYPE_GRAY && depth == 1);
}

void FillPalette(png_structp png, png_infop info, int depth, int type, PaletteOf256& palette)
{
    if (type == PNG_COLOR_TYPE_GRAY) {
        palette.SetFlags(PaletteFlagsGrayScale);
        palette.Set(0, 0xFF000000);
        palette.Set(1, 0xFFFFFFFF);
        return;
    }
    png_colorp colors = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colors, &count);
    png_bytep alphas = nullptr;
    int transparent = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_get_tRNS(png, info, &alphas, &transparent, nullptr);
    const int entries = 1 << depth;
    for (int i = 0; i < entries; ++i) {
        const ARGB alpha = alphas && i < transparent ? alphas[i] : 0xFF;
        const ARGB rgb = i < count ? ARGB(colors[i].red) << 16 | ARGB(colors[i].green) << 8 | colors[i].blue : 0;
        palette.Set(static_cast<UINT>(i), alpha << 24 | rgb);
    }
    if (alphas && transparent > 0) palette.SetFlags(PaletteFlagsHasAlpha);
}

}  // namespace

Status DecodePng(PictureReader& input, DecodedPicture& picture)
{
    PngReader reader;
    if (!reader.info) return OutOfMemory;
    png_structp png = reader.png;
    png_set_read_fn(png, &input, ReadInput);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    if (!ReadInfo(png, reader.info)) return OutOfMemory;

    const INT width = static_cast<INT>(png_get_image_width(png, reader.info));
    const INT height = static_cast<INT>(png_get_image_height(png, reader.info));
    const int depth = png_get_bit_depth(png, reader.info), type = png_get_color_type(png, reader.info);
    const bool indexed = StaysIndexed(depth, type);
    PixelFormat format = PixelFormat32bppARGB;
    if (indexed)
        format = depth == 1 ? PixelFormat1bppIndexed : depth == 4 ? PixelFormat4bppIndexed : PixelFormat8bppIndexed;
    else if (type == PNG_COLOR_TYPE_RGB && depth == 8 && !png_get_valid(png, reader.info, PNG_INFO_tRNS))
        format = PixelFormat24bppRGB;  // the expansion gives a transparent colour alpha 0 in the fourth byte

    PaletteOf256 palette;
    if (indexed) FillPalette(png, reader.info, depth, type, palette);
    if (!Prepare(png, reader.info, depth, type, indexed)) return OutOfMemory;

    DecodeTarget target;
    if (!target.Allocate(width, height, format)) return OutOfMemory;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (INT y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = target.Row(y);
    if (!ReadImage(png, rows.data())) return OutOfMemory;

    // GDI+ reports the resolution the file gives in pixels per metre, unrounded.
    png_uint_32 xPerMetre = 0, yPerMetre = 0;
    int unit = 0;
    REAL dpiX = 0, dpiY = 0;
    if (png_get_pHYs(png, reader.info, &xPerMetre, &yPerMetre, &unit) && unit == PNG_RESOLUTION_METER) {
        dpiX = static_cast<REAL>(xPerMetre * 0.0254);
        dpiY = static_cast<REAL>(yPerMetre * 0.0254);
    }
    return target.Finish(picture, indexed ? palette.Get() : nullptr, dpiX, dpiY);
}

}  // namespace Gdiplus
