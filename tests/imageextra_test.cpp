// The Image and Bitmap members client code uses on pictures: file formats, palettes, GIF frames, format
// clones, thumbnails and saving to a stream. Expected values are those Windows' GDI+ reports.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;
using pictor_test::ExpectPixels;
using pictor_test::PixelOf;

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

// A 1 x 1 animation that loops forever, with a comment, a transparent colour in its first frame and a
// second frame without a graphic control.
std::vector<char> AnnotatedGif()
{
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 1, 0, 0xFF, 0, 0, 0, 0, 0xFF,  // 2 colours, background 1
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,  // loop forever
        0x21, 0xFE, 2, 'h', 'i', 1, '!', 0,                                                  // comment "hi!"
        0x21, 0xF9, 4, 0x01, 7, 0, 1, 0,                                                     // 0.07 s, transparent 1
        0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0,
        0x21, 0xFE, 5, 'l', 'a', 't', 'e', 'r', 0,  // a later comment, not listed
        0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B};
    return std::vector<char>(bytes, bytes + sizeof(bytes));
}

// The items as GetAllPropertyItems lays them out (the values after the headers), by tag.
std::vector<std::pair<PropertyItem, std::vector<BYTE>>> AllItems(Image& image)
{
    UINT total = 0, count = 0;
    EXPECT_EQ(image.GetPropertySize(&total, &count), Ok);
    std::vector<std::pair<PropertyItem, std::vector<BYTE>>> items;
    if (count == 0) return items;
    std::vector<BYTE> buffer(total);
    auto* all = reinterpret_cast<PropertyItem*>(buffer.data());
    EXPECT_EQ(image.GetAllPropertyItems(total, count, all), Ok);
    const BYTE* next = buffer.data() + count * sizeof(PropertyItem);
    for (UINT i = 0; i < count; ++i) {
        EXPECT_EQ(all[i].value, next);
        const BYTE* value = static_cast<const BYTE*>(all[i].value);
        items.push_back({all[i], std::vector<BYTE>(value, value + all[i].length)});
        next += all[i].length;
    }
    return items;
}

std::vector<BYTE> Bytes(std::initializer_list<int> values) { return std::vector<BYTE>(values.begin(), values.end()); }

// An item's tag, type and value, to compare at once.
std::tuple<PROPID, WORD, std::vector<BYTE>> Tagged(const std::pair<PropertyItem, std::vector<BYTE>>& item)
{
    return {item.first.id, item.first.type, item.second};
}

// The bitmap written through a stream by the encoder of the MIME type.
std::vector<char> Encoded(Bitmap& bitmap, const char16_t* mime)
{
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(GlobalAlloc(GMEM_MOVEABLE, 0), TRUE, &stream);
    const CLSID encoder = pictor_test::EncoderFor(mime);
    EXPECT_EQ(bitmap.Save(stream, &encoder), Ok);
    std::vector<char> bytes = pictor_test::StreamBytes(stream);
    stream->Release();
    return bytes;
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
    EXPECT_EQ(std::pair(size.Width, size.Height), std::pair(10.0f, 20.0f));
    RectF bounds;
    Unit unit = UnitWorld;
    ASSERT_EQ(memory.GetBounds(&bounds, &unit), Ok);
    EXPECT_EQ(unit, UnitPixel);
    EXPECT_EQ(std::pair(bounds.Width, bounds.Height), std::pair(10.0f, 20.0f));

    // Pictures the layer decodes itself still report the file's format, as Windows does.
    auto gif = pictor_test::BitmapFromBytes(TwoFrameGif());
    ASSERT_EQ(gif->GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatGIF);

    // A PNG written to a stream and read back from it.
    memory.SetPixel(3, 4, Color(255, 10, 200, 30));
    auto reread = pictor_test::BitmapFromBytes(Encoded(memory, u"image/png"));
    ASSERT_EQ(reread->GetLastStatus(), Ok);
    ASSERT_EQ(reread->GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatPNG);
    EXPECT_EQ(PixelOf(*reread, 3, 4), 0xFF0AC81Eu);
    const CLSID png = pictor_test::EncoderFor(u"image/png");
    EXPECT_EQ(memory.Save(static_cast<IStream*>(nullptr), &png), InvalidParameter);

    std::unique_ptr<Image> thumbnail(memory.GetThumbnailImage(5, 4));
    EXPECT_EQ(std::pair(thumbnail->GetWidth(), thumbnail->GetHeight()), std::pair(5u, 4u));
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
    // An empty palette, and buffers too small or of negative size, are refused too.
    palette->Count = 0;
    EXPECT_EQ(indexed.SetPalette(palette), InvalidParameter);
    EXPECT_EQ(indexed.GetPaletteSize(), 20);
    EXPECT_EQ(indexed.GetPalette(palette, 4), InvalidParameter);
    EXPECT_EQ(indexed.GetPalette(palette, -5), InvalidParameter);
}

TEST(ImageExtra, GifFramesAndProperties)
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

    ExpectPixels(*gif, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF0000FF}});  // (1, 0): the screen's background
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 1), Ok);
    ExpectPixels(*gif, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF00FF00}});  // frame 0 stays under frame 1

    // Selecting the frame on show keeps what was drawn; another frame and back decodes afresh.
    gif->SetPixel(0, 0, Color(255, 0, 0, 0));
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 1), Ok);
    EXPECT_EQ(PixelOf(*gif, 0, 0), 0xFF000000u);
    ASSERT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 0), Ok);
    ExpectPixels(*gif, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF0000FF}});

    EXPECT_EQ(gif->SelectActiveFrame(&FrameDimensionTime, 2), InvalidParameter);
    EXPECT_EQ(gif->SelectActiveFrame(&FrameDimensionPage, 1), InvalidParameter);
    EXPECT_EQ(gif->SelectActiveFrame(nullptr, 0), InvalidParameter);
    EXPECT_EQ(PixelOf(*gif, 0, 0), 0xFFFF0000u);

    // A bitmap made in memory has one page, and selecting it changes nothing (as on Windows).
    Bitmap memory(1, 1, PixelFormat32bppARGB);
    memory.SetPixel(0, 0, Color(255, 1, 2, 3));
    ASSERT_EQ(memory.GetFrameDimensionsList(&dimension, 1), Ok);
    EXPECT_TRUE(dimension == FrameDimensionPage);
    EXPECT_EQ(memory.GetFrameCount(&FrameDimensionPage), 1u);
    EXPECT_EQ(memory.SelectActiveFrame(&FrameDimensionPage, 0), Ok);
    EXPECT_EQ(memory.SelectActiveFrame(&FrameDimensionPage, 7), InvalidParameter);
    EXPECT_EQ(PixelOf(memory, 0, 0), 0xFF010203u);

    // As Windows lists them: delays in hundredths (a long a frame), the loop count (1 without a
    // NETSCAPE2.0 block), the global palette and the background index.
    gif = pictor_test::BitmapFromBytes(TwoFrameGif());
    auto items = AllItems(*gif);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(Tagged(items[0]),
              std::tuple(PropertyTagFrameDelay, PropertyTagTypeLong, Bytes({10, 0, 0, 0, 20, 0, 0, 0})));
    EXPECT_EQ(Tagged(items[1]), std::tuple(PropertyTagLoopCount, PropertyTagTypeShort, Bytes({1, 0})));
    EXPECT_EQ(items[2].first.id, PropertyTagGlobalPalette);
    EXPECT_EQ(items[2].second.size(), 12u);
    EXPECT_EQ(items[3].first.id, PropertyTagIndexBackground);
    EXPECT_EQ(items[3].second, Bytes({2}));

    // The first comment, a loop count of 0, the first frame's transparent index; a frame without a
    // graphic control keeps the delay before it. Selecting a frame changes none of it.
    auto annotated = pictor_test::BitmapFromBytes(AnnotatedGif());
    ASSERT_EQ(annotated->SelectActiveFrame(&FrameDimensionTime, 1), Ok);
    items = AllItems(*annotated);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].second, Bytes({7, 0, 0, 0, 7, 0, 0, 0}));
    EXPECT_EQ(Tagged(items[1]),
              std::tuple(PropertyTagExifUserComment, PropertyTagTypeASCII, Bytes({'h', 'i', '!', 0})));
    EXPECT_EQ(items[2].second, Bytes({0, 0}));
    EXPECT_EQ(items[4].second, Bytes({1}));
    EXPECT_EQ(items[5].first.id, PropertyTagIndexTransparent);
    EXPECT_EQ(items[5].second, Bytes({1}));

    // One item, and Windows' statuses for sizes and tags that do not match.
    const UINT size = gif->GetPropertyItemSize(PropertyTagLoopCount);
    ASSERT_EQ(size, sizeof(PropertyItem) + 2);
    std::vector<BYTE> buffer(size + 1);
    auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
    EXPECT_EQ(gif->GetPropertyItem(PropertyTagLoopCount, size - 1, item), InvalidParameter);
    EXPECT_EQ(gif->GetPropertyItem(PropertyTagLoopCount, size + 1, item), InvalidParameter);
    ASSERT_EQ(gif->GetPropertyItem(PropertyTagLoopCount, size, item), Ok);
    EXPECT_EQ(item->value, item + 1);
    EXPECT_EQ(*static_cast<WORD*>(item->value), 1);
    EXPECT_EQ(gif->GetPropertyItem(0x1234, size, item), PropertyNotFound);
    EXPECT_EQ(gif->GetPropertyItemSize(0x1234), 0u);
    EXPECT_EQ(gif->GetLastStatus(), PropertyNotFound);
    PROPID ids[5];
    EXPECT_EQ(gif->GetPropertyIdList(3, ids), InvalidParameter);
    EXPECT_EQ(gif->GetPropertyIdList(5, ids), InvalidParameter);
    ASSERT_EQ(gif->GetPropertyIdList(4, ids), Ok);
    EXPECT_EQ(ids[3], PropertyTagIndexBackground);
    UINT total = 0, count = 0;
    gif->GetPropertySize(&total, &count);
    EXPECT_EQ(gif->GetAllPropertyItems(total + 1, count, item), InvalidParameter);

    // Set and remove work on the items the layer serves.
    const WORD loops = 3;
    PropertyItem changed{PropertyTagLoopCount, 2, PropertyTagTypeShort, const_cast<WORD*>(&loops)};
    ASSERT_EQ(gif->SetPropertyItem(&changed), Ok);
    ASSERT_EQ(gif->GetPropertyItem(PropertyTagLoopCount, size, item), Ok);
    EXPECT_EQ(*static_cast<WORD*>(item->value), 3);
    EXPECT_EQ(gif->RemovePropertyItem(PropertyTagGlobalPalette), Ok);
    EXPECT_EQ(gif->RemovePropertyItem(PropertyTagGlobalPalette), PropertyNotFound);
    EXPECT_EQ(gif->GetPropertyCount(), 3u);
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
    ExpectPixels(*mono, {{0, 0, 0xFFFFFFFF}, {1, 0, 0xFF000000}, {2, 0, 0xFFFFFFFF}});  // the nearest of the two

    const PixelFormat formats[] = {PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat32bppPARGB,
                                   PixelFormat4bppIndexed, PixelFormat8bppIndexed};
    for (PixelFormat format : formats) {
        std::unique_ptr<Bitmap> copy(source.Clone(0, 1, 2, 1, format));
        ASSERT_EQ(copy->GetLastStatus(), Ok) << std::hex << format;
        EXPECT_EQ(copy->GetPixelFormat(), format);
        EXPECT_EQ(copy->GetWidth(), 2u);
        EXPECT_EQ(PixelOf(*copy, 0, 0), 0xFFFF0000u) << std::hex << format;
    }

    // 16-bit RGB keeps each channel's top bits (5, or 6 for 565's green), read back widened.
    source.SetPixel(1, 1, Color(255, 0x84, 0x46, 0x2F));
    std::unique_ptr<Bitmap> rgb555(source.Clone(0, 1, 2, 1, PixelFormat16bppRGB555));
    std::unique_ptr<Bitmap> rgb565(source.Clone(0, 1, 2, 1, PixelFormat16bppRGB565));
    ASSERT_EQ(rgb555->GetLastStatus(), Ok);
    ASSERT_EQ(rgb565->GetLastStatus(), Ok);
    EXPECT_EQ(rgb555->GetPixelFormat(), PixelFormat16bppRGB555);
    EXPECT_EQ(rgb565->GetPixelFormat(), PixelFormat16bppRGB565);
    ExpectPixels(*rgb555, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF844229}});
    EXPECT_EQ(PixelOf(*rgb565, 1, 0), 0xFF844529u);

    // A rectangle outside the bitmap is refused, with a bitmap that holds no picture.
    for (const Rect& outside : {Rect(-1, 0, 2, 1), Rect(2, 0, 2, 1), Rect(0, 0, 0, 1), Rect(0, 1, 3, 2)}) {
        std::unique_ptr<Bitmap> none(source.Clone(outside, PixelFormat24bppRGB));
        EXPECT_EQ(none->GetLastStatus(), InvalidParameter);
        EXPECT_EQ(none->GetWidth(), 0u);
    }
}

// The words of a locked row, as the format lays them out.
std::vector<uint16_t> LockedWords(Bitmap& bitmap, PixelFormat format, INT* stride)
{
    BitmapData data{};
    EXPECT_EQ(bitmap.LockBits(nullptr, ImageLockModeRead, format, &data), Ok);
    *stride = data.Stride;
    const auto* words = static_cast<const uint16_t*>(data.Scan0);
    std::vector<uint16_t> row(words, words + data.Width * (((format >> 8) & 0xFF) / 16));
    bitmap.UnlockBits(&data);
    return row;
}

TEST(ImageExtra, CloneIntoFormatsTheEngineCannotHold)
{
    Bitmap source(3, 1, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Color(255, 255, 0, 0));
    source.SetPixel(1, 0, Color(128, 0x84, 0x46, 0x2F));
    source.SetPixel(2, 0, Color(127, 255, 255, 255));

    // 16bppARGB1555: five bits a channel, an alpha of 128 or more opaque; rows padded to four bytes.
    std::unique_ptr<Bitmap> packed(source.Clone(Rect(0, 0, 3, 1), PixelFormat16bppARGB1555));
    ASSERT_EQ(packed->GetLastStatus(), Ok);
    EXPECT_EQ(packed->GetPixelFormat(), PixelFormat16bppARGB1555);
    INT stride = 0;
    EXPECT_EQ(LockedWords(*packed, PixelFormat16bppARGB1555, &stride), std::vector<uint16_t>({0xFC00, 0xC105, 0x7FFF}));
    EXPECT_EQ(stride, 8);
    ExpectPixels(*packed, {{0, 0, 0xFFFF0000}, {1, 0, 0xFF844229}, {2, 0, 0x00FFFFFF}});

    // 48bppRGB and 64bppARGB: linear light, 8192 for full, blue first; alpha scaled, and premultiplied in
    // 64bppPARGB. The 32-bit colours come back as they went in.
    std::unique_ptr<Bitmap> rgb48(source.Clone(Rect(0, 0, 3, 1), PixelFormat48bppRGB));
    std::unique_ptr<Bitmap> argb64(source.Clone(Rect(0, 0, 3, 1), PixelFormat64bppARGB));
    std::unique_ptr<Bitmap> pargb64(source.Clone(Rect(0, 0, 3, 1), PixelFormat64bppPARGB));
    ASSERT_EQ(argb64->GetLastStatus(), Ok);
    EXPECT_EQ(rgb48->GetPixelFormat(), PixelFormat48bppRGB);
    EXPECT_EQ(argb64->GetPixelFormat(), PixelFormat64bppARGB);
    EXPECT_EQ(pargb64->GetPixelFormat(), PixelFormat64bppPARGB);
    const std::vector<uint16_t> rgb = LockedWords(*rgb48, PixelFormat48bppRGB, &stride);
    EXPECT_EQ(stride, 20);
    EXPECT_EQ(std::vector<uint16_t>(rgb.begin(), rgb.begin() + 3), std::vector<uint16_t>({0, 0, 8192}));
    EXPECT_EQ(rgb[6], 8192);
    const std::vector<uint16_t> argb = LockedWords(*argb64, PixelFormat64bppARGB, &stride);
    EXPECT_EQ(stride, 24);
    EXPECT_EQ(std::vector<uint16_t>(argb.begin(), argb.begin() + 4), std::vector<uint16_t>({0, 0, 8192, 8192}));
    EXPECT_EQ(argb[11], 4080);  // alpha 127
    EXPECT_EQ(argb[8], 8192);
    const std::vector<uint16_t> premultiplied = LockedWords(*pargb64, PixelFormat64bppPARGB, &stride);
    EXPECT_EQ(premultiplied[8], 4080);
    EXPECT_EQ(premultiplied[11], 4080);
    EXPECT_LT(argb[4], argb[5]);  // 0x2F, 0x46, 0x84 stay in order, darker in linear light
    EXPECT_LT(argb[5], argb[6]);
    EXPECT_LT(argb[6], 0x84 * 8192 / 255);
    for (Bitmap* wide : {argb64.get(), pargb64.get()})
        for (INT x = 0; x < 3; ++x) {
            Color original;
            source.GetPixel(x, 0, &original);
            EXPECT_EQ(PixelOf(*wide, x, 0), original.GetValue()) << x;
            std::unique_ptr<Bitmap> back(wide->Clone(Rect(x, 0, 1, 1), PixelFormat32bppARGB));
            EXPECT_EQ(PixelOf(*back, 0, 0), original.GetValue()) << x;
        }
    EXPECT_EQ(PixelOf(*rgb48, 1, 0), 0xFF84462Fu);

    // Written through a lock in its own format, the clone reads the new colour back.
    BitmapData data{};
    ASSERT_EQ(argb64->LockBits(nullptr, ImageLockModeWrite, PixelFormat64bppARGB, &data), Ok);
    const uint16_t green[4] = {0, 8192, 0, 8192};
    std::memcpy(data.Scan0, green, sizeof(green));
    ASSERT_EQ(argb64->UnlockBits(&data), Ok);
    ExpectPixels(*argb64, {{0, 0, 0xFF00FF00}, {2, 0, 0x7FFFFFFF}});

    // Drawn, it gives its colours.
    Bitmap target(3, 1, PixelFormat32bppARGB);
    Graphics graphics(&target);
    graphics.SetCompositingMode(CompositingModeSourceCopy);
    ASSERT_EQ(graphics.DrawImage(argb64.get(), 0, 0), Ok);
    ExpectPixels(target, {{0, 0, 0xFF00FF00}, {1, 0, 0x8084462F, 1}});  // through premultiplied pixels
}

// SetPixel on a clone in a format the engine cannot hold keeps the colour as the format holds it, as a
// drawing into it or a clone does; only 48bppRGB has no alpha (as Windows flags them).
TEST(ImageExtra, SetPixelOnWideClonesQuantises)
{
    Bitmap source(2, 1, PixelFormat32bppARGB);
    source.SetPixel(0, 0, Color(1, 0x84, 0x46, 0x2F));
    source.SetPixel(1, 0, Color(200, 0x84, 0x46, 0x2F));
    for (PixelFormat format :
         {PixelFormat16bppARGB1555, PixelFormat48bppRGB, PixelFormat64bppARGB, PixelFormat64bppPARGB}) {
        std::unique_ptr<Bitmap> cloned(source.Clone(Rect(0, 0, 2, 1), format));
        std::unique_ptr<Bitmap> set(source.Clone(Rect(0, 0, 2, 1), format));
        ASSERT_EQ(set->GetLastStatus(), Ok);
        EXPECT_EQ((set->GetFlags() & ImageFlagsHasAlpha) != 0, format != PixelFormat48bppRGB) << format;
        set->SetPixel(0, 0, Color(0, 0, 0, 0));
        set->SetPixel(1, 0, Color(0, 0, 0, 0));
        ASSERT_EQ(set->SetPixel(0, 0, Color(1, 0x84, 0x46, 0x2F)), Ok);
        ASSERT_EQ(set->SetPixel(1, 0, Color(200, 0x84, 0x46, 0x2F)), Ok);
        for (INT x = 0; x < 2; ++x) EXPECT_EQ(PixelOf(*set, x, 0), PixelOf(*cloned, x, 0)) << format << " " << x;
    }
    std::unique_ptr<Bitmap> packed(source.Clone(Rect(0, 0, 2, 1), PixelFormat16bppARGB1555));
    packed->SetPixel(1, 0, Color(200, 0x84, 0x46, 0x2F));
    EXPECT_EQ(PixelOf(*packed, 1, 0), 0xFF844229u);  // five bits a channel, alpha 128 or more opaque
    packed->SetPixel(1, 0, Color(127, 0x84, 0x46, 0x2F));
    EXPECT_EQ(PixelOf(*packed, 1, 0) >> 24, 0u);
    std::unique_ptr<Bitmap> rgb48(source.Clone(Rect(0, 0, 2, 1), PixelFormat48bppRGB));
    rgb48->SetPixel(0, 0, Color(1, 0x84, 0x46, 0x2F));
    EXPECT_EQ(PixelOf(*rgb48, 0, 0), 0xFF84462Fu);
    // Premultiplied in 13 bits, a colour of alpha 1 keeps only a few levels.
    std::unique_ptr<Bitmap> pargb64(source.Clone(Rect(0, 0, 2, 1), PixelFormat64bppPARGB));
    pargb64->SetPixel(0, 0, Color(1, 0x84, 0x46, 0x2F));
    EXPECT_NE(PixelOf(*pargb64, 0, 0), 0x0184462Fu);
    // GDI+ numbers 64bppPARGB 0x001C400E (alpha, premultiplied, extended).
    std::unique_ptr<Bitmap> numbered(source.Clone(Rect(0, 0, 2, 1), PixelFormat(0x001C400E)));
    EXPECT_EQ(numbered->GetLastStatus(), Ok);
    EXPECT_EQ(numbered->GetPixelFormat(), PixelFormat(0x001C400E));
}

TEST(ImageExtra, JpegProperties)
{
    Bitmap picture(16, 16, PixelFormat24bppRGB);
    picture.SetPixel(3, 3, Color(255, 200, 10, 10));
    std::vector<char> jpeg = Encoded(picture, u"image/jpeg");
    ASSERT_GT(jpeg.size(), 2u);

    // Without EXIF, Windows lists the two quantisation tables, 64 shorts each, chrominance first.
    auto plain = pictor_test::BitmapFromBytes(jpeg);
    ASSERT_EQ(plain->GetLastStatus(), Ok);
    auto items = AllItems(*plain);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first.id, PropertyTagChrominanceTable);
    EXPECT_EQ(items[1].first.id, PropertyTagLuminanceTable);
    EXPECT_EQ(items[1].first.type, PropertyTagTypeShort);
    EXPECT_EQ(items[1].second.size(), 128u);

    // A big-endian EXIF block: Make (ASCII, stored away from its entry), Orientation (a short in its
    // entry) and an ImageDescription that claims 2 GB: it is left out and the picture still loads.
    const unsigned char exif[] = {
        0xFF, 0xE1, 0, 2 + 6 + 8 + 2 + 3 * 12 + 4 + 7, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0, 42, 0, 0, 0, 8,  // big-endian, first directory at 8
        0, 3,                          // three entries
        0x01, 0x0F, 0, 2, 0, 0, 0, 7, 0, 0, 0, 8 + 2 + 36 + 4,  // Make: 7 bytes after the directory
        0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0,                // Orientation 6
        0x01, 0x0E, 0, 2, 0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 8,    // 2 GB of description
        0, 0, 0, 0, 'P', 'i', 'c', 't', 'o', 'r', 0};
    jpeg.insert(jpeg.begin() + 2, exif, exif + sizeof(exif));
    auto tagged = pictor_test::BitmapFromBytes(jpeg);
    ASSERT_EQ(tagged->GetLastStatus(), Ok);
    EXPECT_EQ(PixelOf(*tagged, 3, 3) >> 24, 0xFFu);
    items = AllItems(*tagged);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(Tagged(items[0]), std::tuple(0x010Fu, PropertyTagTypeASCII, Bytes({'P', 'i', 'c', 't', 'o', 'r', 0})));
    EXPECT_EQ(items[1].first.id, 0x0112u);
    EXPECT_EQ(items[1].second, Bytes({6, 0}));  // little-endian, as GDI+ hands values over
    EXPECT_EQ(tagged->GetPropertyItemSize(0x010E), 0u);
    EXPECT_EQ(tagged->GetLastStatus(), PropertyNotFound);

    // A bitmap made in memory has none: Windows answers GenericError for all of nothing.
    Bitmap memory(1, 1, PixelFormat32bppARGB);
    UINT total = 1, count = 1;
    ASSERT_EQ(memory.GetPropertySize(&total, &count), Ok);
    EXPECT_EQ(count, 0u);
}
