// The Image and Bitmap members client code uses on pictures: file formats, palettes, GIF frames, format
// clones, thumbnails and saving to a stream. Expected values are those Windows' GDI+ reports.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

// A 2 x 1 animation on a blue screen: frame 0 paints (0, 0) red, frame 1 paints (1, 0) green and
// leaves frame 0 in place.
std::vector<char> TwoFrameGif()
{
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x81, 2, 0,           // screen 2 x 1, 4 colours, background 2
        0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,           // red, green, blue, white
        0x21, 0xF9, 4, 0x00, 10, 0, 0, 0,                               // frame 0: 0.1 s
        0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0,           // 1 x 1 at (0, 0), index 0
        0x21, 0xF9, 4, 0x04, 20, 0, 0, 0,                               // frame 1: 0.2 s, left in place
        0x2C, 1, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0,           // 1 x 1 at (1, 0), index 1
        0x3B};
    return std::vector<char>(bytes, bytes + sizeof(bytes));
}

ARGB PixelAt(Bitmap& bitmap, int x, int y)
{
    Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetValue();
}

// A palette buffer large enough for 256 entries.
struct PaletteBuffer {
    UINT words[2 + 256]{};
    ColorPalette* Get() { return reinterpret_cast<ColorPalette*>(words); }
};

}  // namespace

TEST(ImageExtra, FormatSizeAndBounds)
{
    Bitmap memory(10, 20, PixelFormat24bppRGB);
    GUID format{};
    ASSERT_EQ(memory.GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatMemoryBMP);
    SizeF size;
    ASSERT_EQ(memory.GetPhysicalDimension(&size), Ok);
    EXPECT_FLOAT_EQ(size.Width, 10.0f);
    EXPECT_FLOAT_EQ(size.Height, 20.0f);
    RectF bounds;
    Unit unit = UnitWorld;
    ASSERT_EQ(memory.GetBounds(&bounds, &unit), Ok);
    EXPECT_EQ(unit, UnitPixel);
    EXPECT_FLOAT_EQ(bounds.Width, 10.0f);
    EXPECT_FLOAT_EQ(bounds.Height, 20.0f);

    // Pictures the layer decodes itself still report the file's format, as Windows does.
    auto gif = pictor_test::BitmapFromBytes(TwoFrameGif());
    ASSERT_EQ(gif->GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatGIF);

    // A PNG written to a stream and read back from it.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    CLSID png;
    ASSERT_TRUE(FindImageEncoder(u"image/png", &png));
    memory.SetPixel(3, 4, Color(255, 10, 200, 30));
    ASSERT_EQ(memory.Save(stream, &png), Ok);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    std::unique_ptr<Bitmap> reread(Bitmap::FromStream(stream));
    stream->Release();
    ASSERT_EQ(reread->GetLastStatus(), Ok);
    ASSERT_EQ(reread->GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatPNG);
    EXPECT_EQ(PixelAt(*reread, 3, 4), 0xFF0AC81Eu);
    EXPECT_EQ(memory.Save(static_cast<IStream*>(nullptr), &png), InvalidParameter);

    std::unique_ptr<Image> thumbnail(memory.GetThumbnailImage(5, 4));
    EXPECT_EQ(thumbnail->GetWidth(), 5u);
    EXPECT_EQ(thumbnail->GetHeight(), 4u);
}

TEST(ImageExtra, Palettes)
{
    PaletteBuffer buffer;
    ColorPalette* palette = buffer.Get();
    // As Windows reports: a non-indexed bitmap has an empty palette of one header and one entry.
    Bitmap rgb(2, 2, PixelFormat32bppRGB);
    EXPECT_EQ(rgb.GetPaletteSize(), 12);
    ASSERT_EQ(rgb.GetPalette(palette, 12), Ok);
    EXPECT_EQ(palette->Count, 0u);

    Bitmap mono(2, 2, PixelFormat1bppIndexed);
    ASSERT_EQ(mono.GetPaletteSize(), 16);
    ASSERT_EQ(mono.GetPalette(palette, 16), Ok);
    EXPECT_EQ(palette->Flags, UINT(PaletteFlagsGrayScale));
    EXPECT_EQ(palette->Count, 2u);
    EXPECT_EQ(palette->Entries[0], 0xFF000000u);
    EXPECT_EQ(palette->Entries[1], 0xFFFFFFFFu);

    Bitmap indexed(2, 2, PixelFormat8bppIndexed);
    ASSERT_EQ(indexed.GetPaletteSize(), 8 + 4 * 256);
    palette->Flags = 12345;
    palette->Count = 3;
    palette->Entries[1] = 0xFFCCCCCC;
    ASSERT_EQ(indexed.SetPalette(palette), Ok);
    EXPECT_EQ(indexed.GetPaletteSize(), 20);
    palette->Entries[1] = 0;
    ASSERT_EQ(indexed.GetPalette(palette, 20), Ok);
    EXPECT_EQ(palette->Flags, 12345u);
    EXPECT_EQ(palette->Entries[1], 0xFFCCCCCCu);
    // More than 256 colours is refused (Windows: InvalidParameter); the palette stays as it was.
    palette->Count = 257;
    EXPECT_EQ(indexed.SetPalette(palette), InvalidParameter);
    EXPECT_EQ(indexed.GetPaletteSize(), 20);
    EXPECT_EQ(indexed.SetPalette(nullptr), InvalidParameter);
}

TEST(ImageExtra, GifFrames)
{
    auto gif = pictor_test::BitmapFromBytes(TwoFrameGif());
    ASSERT_EQ(gif->GetLastStatus(), Ok);
    // Windows lists one dimension for a GIF, its frames in time.
    ASSERT_EQ(gif->GetFrameDimensionsCount(), 1u);
    GUID dimension{};
    ASSERT_EQ(gif->GetFrameDimensionsList(&dimension, 1), Ok);
    EXPECT_TRUE(dimension == FrameDimensionTime);
    EXPECT_EQ(gif->GetFrameCount(&FrameDimensionTime), 2u);
    EXPECT_EQ(gif->GetFrameCount(&FrameDimensionPage), 0u);

    EXPECT_EQ(PixelAt(*gif, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*gif, 1, 0), 0xFF0000FFu);  // the screen's background
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 1), Ok);
    EXPECT_EQ(PixelAt(*gif, 0, 0), 0xFFFF0000u);  // frame 0 stays under frame 1
    EXPECT_EQ(PixelAt(*gif, 1, 0), 0xFF00FF00u);

    // Selecting the frame on show keeps what was drawn; another frame and back decodes afresh.
    gif->SetPixel(0, 0, Color(255, 0, 0, 0));
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 1), Ok);
    EXPECT_EQ(PixelAt(*gif, 0, 0), 0xFF000000u);
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 0), Ok);
    EXPECT_EQ(PixelAt(*gif, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*gif, 1, 0), 0xFF0000FFu);

    EXPECT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 2), InvalidParameter);
    EXPECT_EQ(gif->SelectActiveFrame(&FrameDimensionPage, 1), InvalidParameter);
    EXPECT_EQ(gif->SelectActiveFrame(nullptr, 0), InvalidParameter);
    EXPECT_EQ(PixelAt(*gif, 0, 0), 0xFFFF0000u);

    // A bitmap made in memory has one page, and selecting it changes nothing (as on Windows).
    Bitmap memory(1, 1, PixelFormat32bppARGB);
    memory.SetPixel(0, 0, Color(255, 1, 2, 3));
    ASSERT_EQ(memory.GetFrameDimensionsList(&dimension, 1), Ok);
    EXPECT_TRUE(dimension == FrameDimensionPage);
    EXPECT_EQ(memory.GetFrameCount(&FrameDimensionPage), 1u);
    EXPECT_EQ(memory.SelectActiveFrame(&FrameDimensionPage, 0), Ok);
    EXPECT_EQ(memory.SelectActiveFrame(&FrameDimensionPage, 7), InvalidParameter);
    EXPECT_EQ(PixelAt(memory, 0, 0), 0xFF010203u);
}

TEST(ImageExtra, CloneIntoFormats)
{
    Bitmap source(3, 2, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Color(255, 255, 255, 255));
    source.SetPixel(1, 0, Color(255, 0, 0, 0));
    source.SetPixel(2, 0, Color(255, 250, 250, 250));
    source.SetPixel(0, 1, Color(255, 255, 0, 0));

    std::unique_ptr<Bitmap> mono(source.Clone(Rect(0, 0, 3, 1), PixelFormat1bppIndexed));
    ASSERT_EQ(mono->GetLastStatus(), Ok);
    EXPECT_EQ(mono->GetPixelFormat(), PixelFormat1bppIndexed);
    EXPECT_EQ(mono->GetPaletteSize(), 16);
    EXPECT_EQ(PixelAt(*mono, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(*mono, 1, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(*mono, 2, 0), 0xFFFFFFFFu);  // the nearest of black and white

    const PixelFormat formats[] = {PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat32bppPARGB,
                                   PixelFormat4bppIndexed, PixelFormat8bppIndexed};
    for (PixelFormat format : formats) {
        std::unique_ptr<Bitmap> copy(source.Clone(0, 1, 2, 1, format));
        ASSERT_EQ(copy->GetLastStatus(), Ok) << std::hex << format;
        EXPECT_EQ(copy->GetPixelFormat(), format);
        EXPECT_EQ(copy->GetWidth(), 2u);
        EXPECT_EQ(PixelAt(*copy, 0, 0), 0xFFFF0000u) << std::hex << format;
    }

    // A rectangle outside the bitmap is refused, with a bitmap that holds no picture.
    for (const Rect& outside : {Rect(-1, 0, 2, 1), Rect(2, 0, 2, 1), Rect(0, 0, 0, 1), Rect(0, 1, 3, 2)}) {
        std::unique_ptr<Bitmap> none(source.Clone(outside, PixelFormat24bppRGB));
        EXPECT_EQ(none->GetLastStatus(), InvalidParameter);
        EXPECT_EQ(none->GetWidth(), 0u);
    }
}
