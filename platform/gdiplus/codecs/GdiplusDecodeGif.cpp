// GIF through giflib: the first frame, as GDI+ shows a GIF, on a bitmap the size of the logical screen
// (8-bit indexed, the frame's palette, its transparent colour cleared; 32-bit ARGB in those colours when
// more frames follow, as GDI+ gives an animation). Only the first frame is read, so a later frame can
// declare any size without costing anything.
#include <gif_lib.h>

#include <cstring>

#include "../Gdiplus.h"
#include "GdiplusDecode.h"

namespace Gdiplus {

namespace {

int ReadInput(GifFileType* gif, GifByteType* out, int count)
{
    if (count <= 0) return 0;
    return static_cast<int>(static_cast<PictureReader*>(gif->UserData)->Read(out, static_cast<size_t>(count)));
}

class GifReader {
public:
    explicit GifReader(PictureReader* input) { gif = DGifOpen(input, ReadInput, nullptr); }
    ~GifReader()
    {
        if (gif) DGifCloseFile(gif, nullptr);
    }
    GifReader(const GifReader&) = delete;
    GifReader& operator=(const GifReader&) = delete;

    GifFileType* gif = nullptr;
};

// The transparent colour a graphic control extension names, or -1.
int ReadExtension(GifFileType* gif, int transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return -2;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
    while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return -2;
    return transparent;
}

// The frame's rows into the screen-sized target, de-interlaced.
bool ReadFrame(GifFileType* gif, DecodeTarget& target)
{
    const GifImageDesc& frame = gif->Image;
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0, step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step)
            if (DGifGetLine(gif, target.Row(frame.Top + y) + frame.Left, frame.Width) != GIF_OK) return false;
    }
    return true;
}

void FillPalette(const ColorMapObject* map, int transparent, PaletteOf256& palette)
{
    if (!map) {
        palette.SetFlags(PaletteFlagsGrayScale);
        for (UINT i = 0; i < 256; ++i) palette.Set(i, 0xFF000000u | i << 16 | i << 8 | i);
    } else {
        for (int i = 0; i < map->ColorCount && i < 256; ++i) {
            const GifColorType& c = map->Colors[i];
            palette.Set(static_cast<UINT>(i), 0xFF000000u | ARGB(c.Red) << 16 | ARGB(c.Green) << 8 | c.Blue);
        }
    }
    if (transparent >= 0) {
        palette.SetFlags(PaletteFlagsHasAlpha);
        palette.Set(static_cast<UINT>(transparent), palette.At(static_cast<UINT>(transparent)) & 0x00FFFFFFu);
    }
}

// True when another frame follows the one just read; extensions between are passed over, and a file that
// ends or breaks there has none.
bool MoreFramesFollow(GifFileType* gif)
{
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK) return false;
        if (record == IMAGE_DESC_RECORD_TYPE) return true;
        if (record != EXTENSION_RECORD_TYPE || ReadExtension(gif, -1) == -2) return false;
    }
}

// The indexed rows in the palette's colours, into a 32-bit ARGB picture.
Status FinishInColour(const DecodeTarget& indexed, INT width, INT height, const PaletteOf256& palette,
                      DecodedPicture& picture)
{
    DecodeTarget target;
    if (!target.Allocate(width, height, PixelFormat32bppARGB)) return OutOfMemory;
    for (INT y = 0; y < height; ++y) {
        const BYTE* from = indexed.Row(y);
        ARGB* to = reinterpret_cast<ARGB*>(target.Row(y));
        for (INT x = 0; x < width; ++x) to[x] = palette.At(from[x]);
    }
    return target.Finish(picture, nullptr, 0, 0);
}

}  // namespace

Status DecodeGif(PictureReader& input, DecodedPicture& picture)
{
    GifReader reader(&input);
    GifFileType* gif = reader.gif;
    if (!gif) return OutOfMemory;
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK || record == TERMINATE_RECORD_TYPE) return OutOfMemory;
        if (record == EXTENSION_RECORD_TYPE) {
            transparent = ReadExtension(gif, transparent);
            if (transparent == -2) return OutOfMemory;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) break;
    }
    if (DGifGetImageDesc(gif) != GIF_OK) return OutOfMemory;
    const GifImageDesc& frame = gif->Image;
    // The frame must lie on the screen, as the engine requires.
    if (frame.Left < 0 || frame.Top < 0 || frame.Width <= 0 || frame.Height <= 0 ||
        frame.Left + frame.Width > gif->SWidth || frame.Top + frame.Height > gif->SHeight)
        return OutOfMemory;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (map && transparent >= map->ColorCount) return OutOfMemory;

    DecodeTarget target;
    if (!target.Allocate(gif->SWidth, gif->SHeight, PixelFormat8bppIndexed)) return OutOfMemory;
    // What the first frame leaves uncovered shows the screen's background colour.
    const int background = map && gif->SBackGroundColor < map->ColorCount ? gif->SBackGroundColor : 0;
    for (INT y = 0; y < gif->SHeight; ++y)
        std::memset(target.Row(y), background, static_cast<size_t>(target.Stride()));
    if (!ReadFrame(gif, target)) return OutOfMemory;
    PaletteOf256 palette;
    FillPalette(map, transparent, palette);
    if (MoreFramesFollow(gif)) return FinishInColour(target, gif->SWidth, gif->SHeight, palette, picture);
    return target.Finish(picture, palette.Get(), 0, 0);
}

}  // namespace Gdiplus
