// Multi-page TIFF files as GDI+ client code writes and reads them: Save with EncoderValueMultiFrame,
// SaveAdd for each further page, EncoderValueFlush to finish; FrameDimensionPage to count and select the
// pages read back. Statuses for misuse are those Windows reports. Broken files fail with a status, quickly
// and without a word on stderr.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

// One EncoderSaveFlag parameter whose value is set before each call.
struct SaveFlag {
    ULONG value = 0;
    EncoderParameters parameters{};
    SaveFlag()
    {
        parameters.Count = 1;
        parameters.Parameter[0] = EncoderParameter{EncoderSaveFlag, 1, EncoderParameterValueTypeLong, &value};
    }
    const EncoderParameters* With(EncoderValue v)
    {
        value = v;
        return &parameters;
    }
};

// A bitmap of one colour with a different corner pixel, so that a page's orientation shows.
std::unique_ptr<Bitmap> Page(INT width, INT height, ARGB fill, ARGB corner)
{
    auto bitmap = std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
    for (INT y = 0; y < height; ++y)
        for (INT x = 0; x < width; ++x) bitmap->SetPixel(x, y, Color(fill));
    bitmap->SetPixel(width - 1, 0, Color(corner));
    return bitmap;
}

struct Expected {
    UINT width, height;
    ARGB fill, corner;
};

void ExpectPages(Bitmap& file, const std::vector<Expected>& pages)
{
    ASSERT_EQ(file.GetLastStatus(), Ok);
    GUID format{};
    EXPECT_EQ(file.GetRawFormat(&format), Ok);
    EXPECT_TRUE(format == ImageFormatTIFF);
    ASSERT_EQ(file.GetFrameDimensionsCount(), 1u);
    GUID dimension{};
    ASSERT_EQ(file.GetFrameDimensionsList(&dimension, 1), Ok);
    EXPECT_TRUE(dimension == FrameDimensionPage);
    ASSERT_EQ(file.GetFrameCount(&FrameDimensionPage), pages.size());
    EXPECT_EQ(file.GetFrameCount(&FrameDimensionTime), 0u);
    for (UINT i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(file.SelectActiveFrame(&FrameDimensionPage, i), Ok);
        EXPECT_EQ(file.GetWidth(), pages[i].width);
        EXPECT_EQ(file.GetHeight(), pages[i].height);
        const int right = static_cast<int>(pages[i].width) - 1, bottom = static_cast<int>(pages[i].height) - 1;
        pictor_test::ExpectPixels(file, {{0, bottom, pages[i].fill}, {right, 0, pages[i].corner, 1}});
    }
    EXPECT_EQ(file.SelectActiveFrame(&FrameDimensionPage, static_cast<UINT>(pages.size())), InvalidParameter);
    EXPECT_EQ(file.SelectActiveFrame(&FrameDimensionTime, 0), InvalidParameter);
}

// A little-endian TIFF of 8-bit grey pages, uncompressed, one strip each; a page can point its strip or
// its next directory anywhere.
struct GreyPage {
    uint32_t width, height;
    uint8_t grey;
    uint32_t stripOffset = 0;  // 0: the page's own pixels
    uint32_t stripBytes = 0;   // 0: width x height
    uint32_t next = 0;         // 0: the next page (or none after the last)
};

std::vector<char> GreyTiff(const std::vector<GreyPage>& pages)
{
    std::vector<char> out = {'I', 'I', 42, 0, 0, 0, 0, 0};
    auto put16 = [&](size_t at, uint32_t v) { out[at] = char(v), out[at + 1] = char(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
    size_t link = 4;  // where the offset of the next directory goes
    for (const GreyPage& page : pages) {
        const uint32_t pixels = static_cast<uint32_t>(out.size());
        out.insert(out.end(), page.width * page.height, char(page.grey));
        if (out.size() % 2) out.push_back(0);
        const uint32_t directory = static_cast<uint32_t>(out.size());
        put32(link, directory);
        const uint32_t strip = page.stripOffset ? page.stripOffset : pixels,
                       stripBytes = page.stripBytes ? page.stripBytes : page.width * page.height;
        const struct {
            uint16_t tag, type;
            uint32_t value;
        } entries[] = {{256, 4, page.width}, {257, 4, page.height}, {258, 3, 8},
                       {259, 3, 1},          {262, 3, 1},           {273, 4, strip},
                       {277, 3, 1},          {278, 4, page.height}, {279, 4, stripBytes}};
        out.resize(out.size() + 2 + sizeof(entries) / sizeof(entries[0]) * 12 + 4);
        put16(directory, sizeof(entries) / sizeof(entries[0]));
        size_t at = directory + 2;
        for (const auto& e : entries) {
            put16(at, e.tag), put16(at + 2, e.type), put32(at + 4, 1), put32(at + 8, e.value);
            at += 12;
        }
        link = at;
        if (page.next) put32(link, page.next);
    }
    return out;
}

}  // namespace

TEST(MultiPageTiff, PagesWrittenWithSaveAddReadBackAndMisuseFailsAsOnWindows)
{
    const std::string path = testing::TempDir() + "pages.tif";
    const CLSID tiff = pictor_test::EncoderFor(u"image/tiff");
    SaveFlag flag;
    auto red = Page(3, 2, 0xFFFF0000, 0xFF00FF00);
    auto green = Page(5, 4, 0xFF00FF00, 0x800000FF);  // a translucent corner keeps its alpha
    auto blue = Page(2, 7, 0xFF0000FF, 0xFFFFFFFF);

    const std::u16string name(path.begin(), path.end());
    ASSERT_EQ(red->Save(name.c_str(), &tiff, flag.With(EncoderValueMultiFrame)), Ok);
    ASSERT_EQ(red->SaveAdd(green.get(), flag.With(EncoderValueFrameDimensionPage)), Ok);
    ASSERT_EQ(red->SaveAdd(blue.get(), flag.With(EncoderValueFrameDimensionPage)), Ok);
    ASSERT_EQ(red->SaveAdd(flag.With(EncoderValueFlush)), Ok);
    // The picture saved is still one page; only the file has three (as Windows keeps it).
    EXPECT_EQ(red->GetFrameCount(&FrameDimensionPage), 1u);

    const std::vector<Expected> three = {
        {3, 2, 0xFFFF0000, 0xFF00FF00}, {5, 4, 0xFF00FF00, 0x800000FF}, {2, 7, 0xFF0000FF, 0xFFFFFFFF}};
    Bitmap fromFile(name.c_str());
    ExpectPages(fromFile, three);

    // Through a stream, with SaveAdd of the file's own active page: its pages written in the other order.
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(fromFile.SelectActiveFrame(&FrameDimensionPage, 2), Ok);
    ASSERT_EQ(fromFile.Save(stream, &tiff, flag.With(EncoderValueMultiFrame)), Ok);
    for (UINT page : {1u, 0u}) {
        ASSERT_EQ(fromFile.SelectActiveFrame(&FrameDimensionPage, page), Ok);
        ASSERT_EQ(fromFile.SaveAdd(flag.With(EncoderValueFrameDimensionPage)), Ok);
    }
    ASSERT_EQ(fromFile.SaveAdd(flag.With(EncoderValueFlush)), Ok);
    auto fromStream = pictor_test::BitmapFromBytes(pictor_test::StreamBytes(stream));
    stream->Release();
    ExpectPages(*fromStream, {three[2], three[1], three[0]});
    std::remove(path.c_str());

    const std::string misusePath = testing::TempDir() + "misuse.tif";
    const std::u16string misuseName(misusePath.begin(), misusePath.end());
    auto first = Page(4, 4, 0xFF102030, 0xFF405060);
    auto second = Page(8, 8, 0xFF708090, 0xFFA0B0C0);

    // As Windows reports: missing arguments are InvalidParameter; SaveAdd before a multi-frame Save, after
    // a plain Save, a flush before the start, and a start through SaveAdd are Win32Error.
    EXPECT_EQ(first->SaveAdd(nullptr), InvalidParameter);
    EXPECT_EQ(first->SaveAdd(second.get(), nullptr), InvalidParameter);
    EXPECT_EQ(first->SaveAdd(nullptr, flag.With(EncoderValueFrameDimensionPage)), InvalidParameter);
    EXPECT_EQ(first->SaveAdd(flag.With(EncoderValueFrameDimensionPage)), Win32Error);
    EXPECT_EQ(first->SaveAdd(second.get(), flag.With(EncoderValueFrameDimensionPage)), Win32Error);
    ASSERT_EQ(first->Save(misuseName.c_str(), &tiff, nullptr), Ok);
    EXPECT_EQ(first->SaveAdd(flag.With(EncoderValueFrameDimensionPage)), Win32Error);
    EXPECT_EQ(first->SaveAdd(flag.With(EncoderValueFlush)), Win32Error);
    EXPECT_EQ(first->SaveAdd(flag.With(EncoderValueMultiFrame)), Win32Error);

    // A second multi-frame Save starts the file over; after the flush nothing more can be added.
    ASSERT_EQ(first->Save(misuseName.c_str(), &tiff, flag.With(EncoderValueMultiFrame)), Ok);
    ASSERT_EQ(first->Save(misuseName.c_str(), &tiff, flag.With(EncoderValueMultiFrame)), Ok);
    ASSERT_EQ(first->SaveAdd(second.get(), flag.With(EncoderValueFrameDimensionPage)), Ok);
    ASSERT_EQ(first->SaveAdd(flag.With(EncoderValueFlush)), Ok);
    EXPECT_EQ(first->SaveAdd(second.get(), flag.With(EncoderValueFrameDimensionPage)), Win32Error);
    EXPECT_EQ(first->SaveAdd(flag.With(EncoderValueFlush)), Win32Error);
    Bitmap saved(misuseName.c_str());
    ExpectPages(saved, {{4, 4, 0xFF102030, 0xFF405060}, {8, 8, 0xFF708090, 0xFFA0B0C0}});
    std::remove(misusePath.c_str());
}

TEST(MultiPageTiff, BrokenPagesFailWithAStatusQuicklyAndQuietly)
{
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();

    // A page whose strip lies past the end of the file: the good page loads, the broken one is refused
    // and the good one stays.
    auto cut = pictor_test::BitmapFromBytes(GreyTiff({{2, 2, 0x40}, {3, 3, 0x80, 1u << 30, 9}}));
    ASSERT_EQ(cut->GetLastStatus(), Ok);
    ASSERT_EQ(cut->GetFrameCount(&FrameDimensionPage), 2u);
    EXPECT_NE(cut->SelectActiveFrame(&FrameDimensionPage, 1), Ok);
    EXPECT_EQ(cut->GetWidth(), 2u);
    EXPECT_EQ(pictor_test::PixelOf(*cut, 1, 1), 0xFF404040u);

    // A strip that claims 2 GB in a file of a few bytes.
    auto claims = pictor_test::BitmapFromBytes(GreyTiff({{2, 2, 0x40}, {3, 3, 0x80, 0, 0x7FFFFFFF}}));
    ASSERT_EQ(claims->GetLastStatus(), Ok);
    const Status claimed = claims->SelectActiveFrame(&FrameDimensionPage, 1);
    EXPECT_TRUE(claimed == Ok || claimed == OutOfMemory) << claimed;
    if (claimed == Ok) {
        EXPECT_EQ(pictor_test::PixelOf(*claims, 2, 2), 0xFF808080u);
    }

    // Directories that loop back on themselves count each page once.
    const std::vector<char> looped = GreyTiff({{2, 2, 0x40}, {3, 3, 0x80, 0, 0, 8 + 4}});
    auto loop = pictor_test::BitmapFromBytes(looped);
    ASSERT_EQ(loop->GetLastStatus(), Ok);
    EXPECT_LE(loop->GetFrameCount(&FrameDimensionPage), 2u);

    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
}
