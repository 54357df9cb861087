// Pictures into and out of a canvas: files, embedded resources, JPEG export, the clipboard and the
// caller's bitmaps. Every file is written by the tests themselves, into a fresh folder.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <sys/resource.h>
#include <unistd.h>

#include "TestSupport.h"
#include "win/Clipboard.h"
#include "win/GlobalMemory.h"
#include "win/MemoryDC.h"
#include "win/Resources.h"
#include "win/Window.h"

using pictor_test::ExpectPixels;
using pictor_test::Near;
using pictor_test::PixelOf;
using pictor_test::WriteFile;
using Folder = pictor_test::TempFolder;

namespace {

const Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
const Gdiplus::ARGB kHalfYellow = 0x80FFFF00;

// 40 × 30 in four quadrants: red, green / blue, and yellow (half transparent when asked).
std::unique_ptr<Gdiplus::Bitmap> Quadrants(int width = 40, int height = 30, bool halfTransparent = false)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            Gdiplus::ARGB color = !bottom ? (right ? kGreen : kRed) : (right ? (halfTransparent ? kHalfYellow : 0xFFFFFF00) : kBlue);
            bitmap->SetPixel(x, y, Gdiplus::Color(color));
        }
    return bitmap;
}

bool Save(Gdiplus::Bitmap& bitmap, const std::string& path, const char16_t* mime)
{
    CLSID encoder;
    return Gdiplus::FindImageEncoder(mime, &encoder) && bitmap.Save(CString(path.c_str()), &encoder) == Gdiplus::Ok;
}

std::string SavedQuadrants(const Folder& folder, const std::string& name, const char16_t* mime,
                           bool halfTransparent = false, int width = 40, int height = 30)
{
    auto picture = Quadrants(width, height, halfTransparent);
    std::string path = folder.File(name);
    EXPECT_TRUE(Save(*picture, path, mime)) << name;
    return path;
}

// A smooth picture with fine detail, like a photograph, for the JPEG encoder.
std::unique_ptr<Gdiplus::Bitmap> PhotoLike(int width, int height)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            int noise = static_cast<int>((seed >> 16) % 9);
            int r = x * 240 / width + noise, g = y * 240 / height + noise, b = (x + y) * 120 / (width + height) + noise;
            bitmap->SetPixel(x, y, Gdiplus::Color(static_cast<Gdiplus::ARGB>(0xFF000000u | r << 16 | g << 8 | b)));
        }
    return bitmap;
}

double MeanChannelError(CFxPictor& canvas, Gdiplus::Bitmap& original)
{
    double total = 0;
    int count = 0;
    for (int y = 0; y < canvas.m_nHeight; y += 3)
        for (int x = 0; x < canvas.m_nWidth; x += 3) {
            const Gdiplus::ARGB got = PixelOf(canvas, x, y), expected = PixelOf(original, x, y);
            for (int shift = 0; shift < 24; shift += 8)
                total += std::abs(pictor_test::Channel(got, shift) - pictor_test::Channel(expected, shift));
            count += 3;
        }
    return total / count;
}

// A placeable metafile of 64 × 32 units at 96 units per inch (one pixel each on a 96 dpi canvas): a red
// rectangle over its left half and a blue one over the lower right quarter, drawn without outlines.
std::vector<char> PlaceableMetafile()
{
    std::vector<char> bytes;
    auto word = [&bytes](unsigned value) { bytes.push_back(char(value & 0xFF)), bytes.push_back(char(value >> 8)); };
    auto record = [&](unsigned function, std::initializer_list<unsigned> parameters) {
        word(unsigned(3 + parameters.size())), word(0), word(function);  // size in 16-bit words, then the call
        for (unsigned parameter : parameters) word(parameter);
    };
    word(0xCDD7), word(0x9AC6), word(0);             // the placeable key and its handle
    word(0), word(0), word(64), word(32), word(96);  // bounds (left, top, right, bottom) and units per inch
    word(0), word(0);
    unsigned checksum = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) checksum ^= uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8;
    word(checksum);
    const size_t header = bytes.size();
    word(1), word(9), word(0x0300), word(0), word(0), word(3), word(8), word(0), word(0);  // sizes patched below
    record(0x0103, {1});                // SetMapMode: text, a unit a pixel
    record(0x02FA, {5, 0, 0, 0, 0});    // CreatePenIndirect: no pen
    record(0x012D, {0});                // SelectObject
    record(0x02FC, {0, 0x00FF, 0, 0});  // CreateBrushIndirect: solid red (COLORREF 0x0000FF)
    record(0x012D, {1});
    record(0x041B, {32, 32, 0, 0});     // Rectangle: bottom, right, top, left
    record(0x02FC, {0, 0, 0x00FF, 0});  // solid blue
    record(0x012D, {2});
    record(0x041B, {32, 64, 16, 32});
    record(0x0000, {});  // end of file
    const size_t words = (bytes.size() - header) / 2;
    bytes[header + 6] = char(words & 0xFF), bytes[header + 7] = char(words >> 8);
    return bytes;
}

}  // namespace

TEST(LoadImageFromFile, EveryFormatOpensAtItsSizeWithItsPixels)
{
    Folder folder;
    HWND__ window;
    struct Format {
        const char* name;
        const char16_t* mime;
        int tolerance;
    };
    const Format formats[] = {{"q.png", u"image/png", 0},  {"q.bmp", u"image/bmp", 0},  {"q.tif", u"image/tiff", 0},
                              {"q.gif", u"image/gif", 8},  {"q.jpg", u"image/jpeg", 40}};
    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        std::string path = SavedQuadrants(folder, format.name, format.mime);
        CFxPictor canvas(&window, 5, 5);
        ASSERT_EQ(canvas.LoadImageW(CString(path.c_str())), 1);
        EXPECT_EQ(canvas.GetSize(), CSize(40, 30));
        EXPECT_EQ(canvas.m_hWnd, nullptr);
        const int off = format.tolerance;
        ExpectPixels(canvas, {{5, 5, kRed, off}, {34, 5, kGreen, off}, {5, 24, kBlue, off}, {34, 24, 0xFFFFFF00, off}});
    }

    // The alpha channel of a PNG survives the trip.
    std::string alpha = SavedQuadrants(folder, "alpha.png", u"image/png", true);
    CFxPictor canvas;
    ASSERT_EQ(canvas.LoadImageW(CString(alpha.c_str())), 1);
    ExpectPixels(canvas, {{34, 24, kHalfYellow, 2}, {5, 5, kRed}});
}

TEST(LoadImageFromFile, OverloadsSizeAndPlaceThePicture)
{
    Folder folder;
    HWND__ window;
    std::string odd = SavedQuadrants(folder, "odd.png", u"image/png", false, 101, 75);
    std::string quad = SavedQuadrants(folder, "quad.png", u"image/png", true);
    CString oddPath(odd.c_str()), quadPath(quad.c_str());

    // Scaled: the canvas takes the truncated product, the result is the picture's own size.
    CFxPictor scaled(&window, 3, 3);
    EXPECT_EQ(scaled.LoadImageW(oddPath, 0.5f), CSize(101, 75));
    EXPECT_EQ(scaled.GetSize(), CSize(50, 37));
    EXPECT_EQ(scaled.m_hWnd, nullptr);
    ExpectPixels(scaled, {{10, 8, kRed}, {40, 30, 0xFFFFFF00}});
    EXPECT_EQ(scaled.LoadImageW(oddPath, 1.0f), CSize(101, 75));
    EXPECT_EQ(scaled.GetSize(), CSize(101, 75));
    EXPECT_EQ(scaled.LoadImageW(oddPath, 0.0f), CSize(101, 75));
    EXPECT_EQ(scaled.GetSize(), CSize(0, 0));

    // Stretched to a given size.
    CFxPictor stretched(&window, 3, 3);
    EXPECT_EQ(stretched.LoadImageW(quadPath, 80, 60), 1);
    EXPECT_EQ(stretched.GetSize(), CSize(80, 60));
    EXPECT_EQ(stretched.m_hWnd, nullptr);
    ExpectPixels(stretched, {{70, 10, kGreen}, {10, 50, kBlue}});

    // Picture-sized canvas, picture drawn into a rectangle of it.
    CFxPictor placed(&window, 3, 3);
    EXPECT_EQ(placed.LoadImageW(quadPath, 10, 6, 20, 16), 1);
    EXPECT_EQ(placed.GetSize(), CSize(40, 30));
    EXPECT_EQ(placed.m_hWnd, nullptr);
    ExpectPixels(placed, {{12, 8, kRed}, {27, 8, kGreen}});
    EXPECT_NE(PixelOf(placed, 5, 3), kRed);

    // Source rectangle at a point: no rebuild, composited over what is there, cut at the edges.
    CFxPictor kept(&window, 30, 30);
    kept.Clear(255, 255, 255, 255);
    EXPECT_EQ(kept.LoadImageW(quadPath, 5, 5, 20, 15, 20, 15), 1);
    EXPECT_EQ(kept.GetSize(), CSize(30, 30));
    EXPECT_EQ(kept.m_hWnd, &window);
    ExpectPixels(kept, {{10, 10, 0xFFFFFF7F, 2}, {2, 2, kWhite}});
    EXPECT_EQ(kept.LoadImageW(quadPath, 20, 20, 0, 0, 40, 30), 1);
    ExpectPixels(kept, {{29, 29, kRed}});

    // A CRect gives only the destination's size; the picture lands at the origin.
    CFxPictor framed(&window, 120, 80);
    framed.Clear(255, 255, 255, 255);
    EXPECT_EQ(framed.LoadImageW(quadPath, CRect(10, 20, 110, 70), 0, 0, 20, 15), 1);
    EXPECT_EQ(framed.GetSize(), CSize(120, 80));
    // GDI+ blends an enlarged picture's edge with transparency: (2, 2) is a tenth transparent over white.
    ExpectPixels(framed, {{2, 2, 0xFFFF1A1A, 2}, {5, 5, kRed}, {97, 47, kRed}, {105, 60, kWhite}});

    // Rotated or flipped, and bound to the given window.
    CFxPictor turned;
    EXPECT_EQ(turned.LoadImageW(quadPath, &window, Gdiplus::Rotate90FlipNone), 1);
    EXPECT_EQ(turned.GetSize(), CSize(30, 40));
    EXPECT_EQ(turned.m_hWnd, &window);
    ExpectPixels(turned, {{25, 5, kRed}, {5, 5, kBlue}});
    EXPECT_EQ(turned.LoadImageW(quadPath, &window, Gdiplus::RotateNoneFlipX), 1);
    EXPECT_EQ(turned.GetSize(), CSize(40, 30));
    EXPECT_EQ(PixelOf(turned, 5, 5), kGreen);
    EXPECT_EQ(turned.LoadImageW(quadPath, nullptr, Gdiplus::RotateNoneFlipNone), 1);
    EXPECT_EQ(PixelOf(turned, 5, 5), kRed);
    EXPECT_EQ(turned.m_hWnd, nullptr);
}

// A metafile has no pixels to lock (libgdiplus crashed when the layer's downscaler tried), and libgdiplus
// draws one only whole into a rectangle: every form draws it at its scale, a part cut to its rectangle.
TEST(LoadImageFromFile, MetafilesLoadThroughEveryFormAtTheirScale)
{
    Folder folder;
    const std::string path = folder.File("picture.wmf");
    WriteFile(path, PlaceableMetafile());
    const CString file(path.c_str());
    CFxPictor canvas;
    ASSERT_EQ(canvas.LoadImageW(file), 1);
    EXPECT_EQ(canvas.GetSize(), CSize(64, 32));
    ExpectPixels(canvas, {{8, 8, kRed}, {48, 24, kBlue}, {48, 8, 0}});
    EXPECT_EQ(canvas.LoadImageW(file, nullptr, Gdiplus::RotateNoneFlipNone), 1);
    ExpectPixels(canvas, {{8, 8, kRed}, {48, 24, kBlue}});

    EXPECT_EQ(canvas.LoadImageW(file, 0.25f), CSize(64, 32));
    EXPECT_EQ(canvas.GetSize(), CSize(16, 8));
    ExpectPixels(canvas, {{3, 3, kRed}, {12, 6, kBlue}, {12, 1, 0}});
    EXPECT_EQ(canvas.LoadImageW(file, 16, 8), 1);
    EXPECT_EQ(canvas.GetSize(), CSize(16, 8));
    ExpectPixels(canvas, {{3, 3, kRed}, {12, 6, kBlue}, {12, 1, 0}});
    EXPECT_EQ(canvas.LoadImageW(file, 32, 32), 1);  // one side shrinks, the other keeps its size
    EXPECT_EQ(canvas.GetSize(), CSize(32, 32));
    ExpectPixels(canvas, {{4, 4, kRed}, {24, 28, kBlue}, {24, 4, 0}});
    EXPECT_EQ(canvas.LoadImageW(file, 0, 0, 32, 16), 1);
    EXPECT_EQ(canvas.GetSize(), CSize(64, 32));
    ExpectPixels(canvas, {{4, 4, kRed}, {24, 12, kBlue}, {48, 24, 0}});

    // Parts: (24, 8, 16, 16) at (10, 10) unscaled, and the whole picture at half size into a CRect's size.
    CFxPictor kept(nullptr, 40, 40);
    kept.Clear(255, 255, 255, 255);
    EXPECT_EQ(kept.LoadImageW(file, 10, 10, 24, 8, 16, 16), 1);
    ExpectPixels(
        kept, {{14, 14, kRed}, {22, 22, kBlue}, {22, 14, kWhite}, {5, 5, kWhite}, {30, 30, kWhite}, {14, 28, kWhite}});
    kept.Clear(255, 255, 255, 255);
    EXPECT_EQ(kept.LoadImageW(file, CRect(5, 5, 37, 21), 0, 0, 64, 32), 1);
    EXPECT_EQ(kept.GetSize(), CSize(40, 40));
    ExpectPixels(kept, {{4, 4, kRed}, {24, 12, kBlue}, {24, 4, kWhite}, {36, 20, kWhite}, {4, 20, kWhite}});

    // The layer's JPEG writer reads pixels too: a metafile goes to the engine, which refuses it.
    Gdiplus::Image picture(file);
    EXPECT_EQ(picture.GetType(), Gdiplus::ImageTypeMetafile);
    CLSID jpeg;
    ASSERT_TRUE(Gdiplus::FindImageEncoder(u"image/jpeg", &jpeg));
    EXPECT_NE(picture.Save(CString(folder.File("picture.jpg").c_str()), &jpeg), Gdiplus::Ok);
}

TEST(LoadImageFromFile, FilesThatCannotBeDecodedLeaveTheCanvasAlone)
{
    Folder folder;
    HWND__ window;
    std::string png = SavedQuadrants(folder, "whole.png", u"image/png");
    std::vector<char> bytes = pictor_test::ReadFile(png);
    ASSERT_GT(bytes.size(), 40u);
    std::string header = folder.File("header.png"), garbage = folder.File("garbage.png"), empty = folder.File("empty.jpg");
    WriteFile(header, std::vector<char>(bytes.begin(), bytes.begin() + 20));
    std::vector<char> corrupt = bytes;
    for (size_t i = 8; i < corrupt.size(); ++i) corrupt[i] = static_cast<char>(i * 7);
    WriteFile(garbage, corrupt);
    WriteFile(empty, {});

    for (const std::string& path : {folder.File("missing.png"), header, garbage, empty, folder.File("")}) {
        CString file(path.c_str());
        CFxPictor canvas(&window, 6, 4);
        canvas.Clear(0x11, 0x22, 0x33, 0xFF);
        EXPECT_EQ(canvas.LoadImageW(file), 0) << path;
        EXPECT_EQ(canvas.LoadImageW(file, 2.0f), CSize(0, 0)) << path;
        EXPECT_EQ(canvas.LoadImageW(file, 9, 9), 0) << path;
        EXPECT_EQ(canvas.LoadImageW(file, 0, 0, 9, 9), 0) << path;
        EXPECT_EQ(canvas.LoadImageW(file, 0, 0, 0, 0, 9, 9), 0) << path;
        EXPECT_EQ(canvas.LoadImageW(file, CRect(0, 0, 9, 9), 0, 0, 9, 9), 0) << path;
        EXPECT_EQ(canvas.LoadImageW(file, nullptr, Gdiplus::Rotate90FlipNone), 0) << path;
        EXPECT_EQ(canvas.GetSize(), CSize(6, 4)) << path;
        EXPECT_EQ(canvas.m_hWnd, &window) << path;
        EXPECT_EQ(PixelOf(canvas, 3, 2), 0xFF112233u) << path;
    }
}

// The engine loses some of its own memory on its way out of a broken PNG or JPEG, so each cut file is
// tried in a child process, which must neither crash nor leave the canvas out of step with the result.
TEST(LoadImageFromFile, TruncatedPicturesNeverCrashTheCanvas)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Folder folder;
    for (const char16_t* mime : {u"image/png", u"image/jpeg", u"image/bmp", u"image/gif", u"image/tiff"}) {
        std::string whole = SavedQuadrants(folder, "whole", mime, false, 64, 64);
        std::vector<char> bytes = pictor_test::ReadFile(whole);
        for (size_t keep : {bytes.size() / 2, bytes.size() * 9 / 10}) {
            std::string cut = folder.File("cut");
            WriteFile(cut, std::vector<char>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
            EXPECT_EXIT(
                {
                    CFxPictor canvas(nullptr, 6, 4);
                    canvas.Clear(0x11, 0x22, 0x33, 0xFF);
                    // Whether part of a file decodes is the engine's call; a refused one changes nothing.
                    bool consistent = canvas.LoadImageW(CString(cut.c_str())) == 1
                                          ? canvas.GetSize() == CSize(64, 64)
                                          : canvas.GetSize() == CSize(6, 4) && PixelOf(canvas, 3, 2) == 0xFF112233u;
                    std::_Exit(consistent ? 0 : 1);
                },
                testing::ExitedWithCode(0), "")
                << std::string(mime, mime + std::char_traits<char16_t>::length(mime)) << " cut to " << keep;
        }
    }
}

// Pictures of every kind the layer decodes itself (PNG of each colour type and depth, interlaced, with
// transparency or a resolution; baseline, progressive, grey, CMYK JPEG; GIF with transparency, interlace,
// several frames) come out as the engine's own decoder gives them, from a file and from a stream: size,
// pixel format, every pixel. The resolution is the file's, 96 dpi when it gives none, as in GDI+; the
// pictures turn and save.
TEST(LoadImageFromFile, OwnDecodersGiveTheEnginesPixelsFormatsAndTheFilesResolution)
{
    namespace flat = Gdiplus::DllExports;
    Folder folder;
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PICTOR_TEST_DATA "/decode")) {
        const std::string path = entry.path().string();
        const CString file(path.c_str());
        SCOPED_TRACE(path);
        flat::GpImage* engine = nullptr;
        ASSERT_EQ(flat::GdipLoadImageFromFile(file.GetString(), &engine), Gdiplus::Ok);
        std::shared_ptr<flat::GpImage> hold(engine, flat::GdipDisposeImage);
        UINT width = 0, height = 0;
        Gdiplus::PixelFormat format = 0;
        Gdiplus::REAL dpi = 0;
        flat::GdipGetImageWidth(engine, &width);
        flat::GdipGetImageHeight(engine, &height);
        flat::GdipGetImagePixelFormat(engine, &format);
        flat::GdipGetImageHorizontalResolution(engine, &dpi);

        Gdiplus::Bitmap ours(file.GetString());
        auto streamed = pictor_test::BitmapFromBytes(pictor_test::ReadFile(path));
        for (Gdiplus::Bitmap* bitmap : {&ours, streamed.get()}) {
            ASSERT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);
            ASSERT_EQ(bitmap->GetWidth(), width);
            ASSERT_EQ(bitmap->GetHeight(), height);
            // GDI+ gives 8-bit RGB with a transparent colour, and an animation, as 32-bit ARGB.
            const std::string name = entry.path().filename().string();
            const bool argbInGdiplus = name == "rgb8-trns.png" || name == "anim.gif";
            EXPECT_EQ(bitmap->GetPixelFormat(), argbInGdiplus ? PixelFormat32bppARGB : format);
            EXPECT_NEAR(bitmap->GetHorizontalResolution(), dpi > 0 ? dpi : 96.0f, 0.01);
            EXPECT_NEAR(bitmap->GetVerticalResolution(), dpi > 0 ? dpi : 96.0f, 0.01);
            int differing = 0;
            for (UINT y = 0; y < height; ++y)
                for (UINT x = 0; x < width; ++x) {
                    Gdiplus::ARGB expected = 0;
                    Gdiplus::Color got;
                    flat::GdipBitmapGetPixel(reinterpret_cast<flat::GpBitmap*>(engine), x, y, &expected);
                    bitmap->GetPixel(x, y, &got);
                    differing += got.GetValue() != expected;
                }
            EXPECT_EQ(differing, 0);
        }
        // Turned a quarter clockwise, the bottom-left pixel comes to the top left; the result saves.
        Gdiplus::Color bottomLeft, topLeft;
        ours.GetPixel(0, static_cast<INT>(height) - 1, &bottomLeft);
        ASSERT_EQ(ours.RotateFlip(Gdiplus::Rotate90FlipNone), Gdiplus::Ok);
        ours.GetPixel(0, 0, &topLeft);
        EXPECT_EQ(topLeft.GetValue(), bottomLeft.GetValue());
        ASSERT_TRUE(Save(ours, folder.File("turned.png"), u"image/png"));
        EXPECT_EQ(Gdiplus::Bitmap(CString(folder.File("turned.png").c_str()).GetString()).GetWidth(), height);
        ++pictures;
    }
    EXPECT_GE(pictures, 32);
}

// GDI+ shows what it could decode of a JPEG cut short (the rest grey) and refuses a PNG cut short.
TEST(LoadImageFromFile, CutJpegShowsItsDecodedPartWhereCutPngFailsAsInGdiplus)
{
    Folder folder;
    auto photo = PhotoLike(128, 128);
    const std::string jpeg = folder.File("photo.jpg"), png = folder.File("photo.png"), cut = folder.File("cut");
    ASSERT_TRUE(Save(*photo, jpeg, u"image/jpeg") && Save(*photo, png, u"image/png"));
    Gdiplus::Bitmap whole(CString(jpeg.c_str()).GetString());
    for (const std::string& path : {jpeg, png}) {
        std::vector<char> bytes = pictor_test::ReadFile(path);
        bytes.resize(bytes.size() / 2);
        WriteFile(cut, bytes);
        Gdiplus::Bitmap fromFile(CString(cut.c_str()).GetString());
        auto fromStream = pictor_test::BitmapFromBytes(bytes);
        for (Gdiplus::Bitmap* bitmap : {&fromFile, fromStream.get()}) {
            if (path == png) {
                EXPECT_EQ(bitmap->GetLastStatus(), Gdiplus::OutOfMemory);
                continue;
            }
            ASSERT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);
            ASSERT_EQ(bitmap->GetWidth(), 128u);
            Gdiplus::Color top, wholeTop, bottom;
            bitmap->GetPixel(40, 2, &top);
            whole.GetPixel(40, 2, &wholeTop);
            bitmap->GetPixel(127, 127, &bottom);
            EXPECT_EQ(top.GetValue(), wholeTop.GetValue());
            EXPECT_TRUE(Near(bottom.GetValue(), 0xFF808080, 4)) << std::hex << bottom.GetValue();
        }
    }
}

// The most kilobytes the process had in memory since the last ResetPeakMemory.
bool ResetPeakMemory() { return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5" << std::flush); }
long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A progressive JPEG of 883 valid scans, each over all of a 4096 x 4096 picture (libjpeg took 3 s and a
// canvas of it 112 MB), is refused with OutOfMemory once it has cost what 32 scans of the whole picture
// would, through a file, a stream and every LoadImageW form: quickly, and holding little more than its
// coefficients (2 bytes a pixel), never the picture.
TEST(LoadImageFromFile, ProgressiveJpegOfManyScansIsRefusedWithinABudgetOfItsSize)
{
    Folder folder;
    const std::string path = folder.File("many-scans.jpg");
    const std::vector<char> bytes = pictor_test::ManyScanJpeg(4096, 4096, 883);
    WriteFile(path, bytes);
    const CString file(path.c_str());
    CFxPictor canvas(nullptr, 8, 8);
    const std::vector<std::pair<const char*, std::function<bool()>>> loads = {
        {"file", [&] { return Gdiplus::Image(file.GetString()).GetLastStatus() == Gdiplus::OutOfMemory; }},
        {"stream", [&] { return pictor_test::BitmapFromBytes(bytes)->GetLastStatus() == Gdiplus::OutOfMemory; }},
        {"LoadImageW into a rectangle", [&] { return canvas.LoadImageW(file, 0, 0, 8, 8) == 0; }},
        {"LoadImageW scaled", [&] { return canvas.LoadImageW(file, 0.5f) == CSize(0, 0); }},
        {"LoadImageW stretched", [&] { return canvas.LoadImageW(file, 8, 8) == 0; }},
        {"LoadImageW part", [&] { return canvas.LoadImageW(file, 0, 0, 0, 0, 8, 8) == 0; }},
        {"LoadImageW part scaled", [&] { return canvas.LoadImageW(file, CRect(0, 0, 8, 8), 0, 0, 8, 8) == 0; }},
        {"LoadImageW turned", [&] { return canvas.LoadImageW(file, nullptr, Gdiplus::Rotate90FlipNone) == 0; }},
        {"LoadImageW", [&] { return canvas.LoadImageW(file) == 0; }},
    };
    for (const auto& [form, load] : loads) {
        SCOPED_TRACE(form);
        ASSERT_TRUE(ResetPeakMemory());
        const long before = pictor_test::ResidentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(load());
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
        EXPECT_LT(PeakKilobytes() - before, 48 * 1024) << "kilobytes more at the peak";
        EXPECT_EQ(canvas.GetSize(), CSize(8, 8));
    }
}

// A grey picture with detail, written by libjpeg with its own progression (six scans over the whole picture).
std::vector<char> ProgressiveGreyJpeg(int width, int height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &data, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) row[x] = static_cast<JSAMPLE>((x * x / 97 + y * 3 + (x ^ y) % 29) & 0xFF);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<char> bytes(data, data + size);
    jpeg_destroy_compress(&info);
    std::free(data);
    return bytes;
}

// The same file decoded by libjpeg alone, row after row.
std::vector<JSAMPLE> LibjpegGreyPixels(const std::vector<char>& bytes)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> pixels(static_cast<size_t>(info.output_width) * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[] = {pixels.data() + static_cast<size_t>(info.output_scanline) * info.output_width};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

// libjpeg's own progressive file of the same 4096 x 4096 grey picture, whose six scans cost more than the
// work every picture is allowed, stays well within the budget: from a file and a stream it gives every
// pixel libjpeg gives.
TEST(LoadImageFromFile, ProgressiveJpegOfAnEncodersScansDecodesAsLibjpegDecodesIt)
{
    Folder folder;
    const std::string path = folder.File("progressive.jpg");
    const std::vector<char> bytes = ProgressiveGreyJpeg(4096, 4096);
    WriteFile(path, bytes);
    const std::vector<JSAMPLE> expected = LibjpegGreyPixels(bytes);
    Gdiplus::Bitmap fromFile(CString(path.c_str()).GetString());
    auto fromStream = pictor_test::BitmapFromBytes(bytes);
    for (Gdiplus::Bitmap* bitmap : {&fromFile, fromStream.get()}) {
        ASSERT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);
        ASSERT_EQ(bitmap->GetWidth(), 4096u);
        ASSERT_EQ(bitmap->GetHeight(), 4096u);
        ASSERT_EQ(bitmap->GetPixelFormat(), PixelFormat8bppIndexed);
        const Gdiplus::Rect all(0, 0, 4096, 4096);
        Gdiplus::BitmapData data{};
        ASSERT_EQ(bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat8bppIndexed, &data), Gdiplus::Ok);
        int differing = 0;
        for (size_t y = 0; y < 4096; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.Scan0) + y * static_cast<size_t>(data.Stride);
            differing += std::memcmp(row, &expected[y * 4096], 4096) != 0;
        }
        bitmap->UnlockBits(&data);
        EXPECT_EQ(differing, 0) << "rows";
    }
}

TEST(LoadFromResources, PngResourcesBecomeTheCallersBitmaps)
{
    Gdiplus::Bitmap* bitmap = nullptr;
    ASSERT_TRUE(CFxPictor().LoadBitmapFromPNG(101, &bitmap, nullptr));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 24u);
    EXPECT_EQ(bitmap->GetHeight(), 16u);
    Gdiplus::Color color;
    bitmap->GetPixel(3, 3, &color);
    EXPECT_EQ(color.GetValue(), kRed);
    bitmap->GetPixel(20, 3, &color);
    EXPECT_TRUE(Near(color.GetValue(), 0x800000FF, 2)) << std::hex << color.GetValue();
    delete bitmap;

    // The program's module named outright, and an identifier above 16 bits, find the same resource.
    CFxPictor canvas;
    bitmap = nullptr;
    ASSERT_TRUE(canvas.LoadBitmapFromPNG(101 + 65536, &bitmap, GetModuleHandleW(nullptr)));
    EXPECT_EQ(bitmap->GetWidth(), 24u);
    delete bitmap;

    // Undecodable bytes still make a bitmap, one that reports its failure.
    bitmap = nullptr;
    ASSERT_TRUE(canvas.LoadBitmapFromPNG(102, &bitmap, nullptr));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_NE(bitmap->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(bitmap->GetWidth(), 0u);
    delete bitmap;

    // No such resource, an empty one, a bitmap resource, or a module without resources: false, and
    // the caller's pointer keeps its value.
    HMODULE library = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                   reinterpret_cast<LPCWSTR>(&AfxGetModuleState), &library));
    ASSERT_NE(library, GetModuleHandleW(nullptr));
    Gdiplus::Bitmap* const sentinel = reinterpret_cast<Gdiplus::Bitmap*>(0x5A5A);
    bitmap = sentinel;
    EXPECT_FALSE(canvas.LoadBitmapFromPNG(999, &bitmap, nullptr));
    EXPECT_FALSE(canvas.LoadBitmapFromPNG(103, &bitmap, nullptr));
    EXPECT_FALSE(canvas.LoadBitmapFromPNG(201, &bitmap, nullptr));
    EXPECT_FALSE(canvas.LoadBitmapFromPNG(101, &bitmap, library));
    EXPECT_EQ(bitmap, sentinel);
}

TEST(LoadFromResources, BitmapResourcesFillTheCanvasOrOneFrame)
{
    const Gdiplus::ARGB frameTwoLeft = kBlue, frameTwoRight = 0xFF00FFFF;
    HWND__ window;

    // Resized to the whole strip, keeping the window.
    CFxPictor whole(&window, 10, 10);
    EXPECT_EQ(whole.LoadResource(201L), 1);
    EXPECT_EQ(whole.GetSize(), CSize(128, 32));
    EXPECT_EQ(whole.m_hWnd, &window);
    ExpectPixels(whole, {{3, 3, kRed}, {70, 30, frameTwoLeft}, {127, 0, 0xFFFF00FF}});

    // Frame 2 of 32-wide frames is columns 64 to 95, drawn at the origin of an unchanged canvas.
    for (long id : {201L, 201L + 65536L}) {
        CFxPictor frame(&window, 32, 32);
        frame.Clear(255, 255, 255, 255);
        EXPECT_EQ(frame.LoadResource(2, id), 1);
        EXPECT_EQ(frame.GetSize(), CSize(32, 32));
        ExpectPixels(frame,
                     {{0, 0, frameTwoLeft}, {15, 31, frameTwoLeft}, {16, 0, frameTwoRight}, {31, 31, frameTwoRight}});
    }

    // An unknown bitmap: still 1; the resizing form makes an empty canvas, the frame form draws nothing.
    CFxPictor missing(&window, 8, 8);
    missing.Clear(1, 2, 3, 255);
    EXPECT_EQ(missing.LoadResource(1, 999L), 1);
    EXPECT_EQ(PixelOf(missing, 4, 4), 0xFF010203u);
    EXPECT_EQ(missing.LoadResource(999L), 1);
    EXPECT_EQ(missing.GetSize(), CSize(0, 0));
    EXPECT_EQ(missing.m_hWnd, &window);
}

TEST(JpegExport, EncodersAreFoundByExactTypeAndQualityChangesTheFile)
{
    CFxPictor canvas(nullptr, 160, 120);
    // The engine's JPEG encoder carries GDI+'s own class identifier.
    const CLSID expected = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    CLSID found;
    EXPECT_EQ(canvas.GetEncCLSID(u"image/jpeg", &found), 1);
    EXPECT_TRUE(found == expected);
    CLSID png;
    EXPECT_EQ(canvas.GetEncCLSID(u"image/png", &png), 1);
    EXPECT_FALSE(png == expected);
    // The wide form, as Windows code writes it, finds the same encoders by the same exact rule.
    CLSID wide;
    EXPECT_EQ(canvas.GetEncCLSID(L"image/jpeg", &wide), 1);
    EXPECT_TRUE(wide == expected);
    EXPECT_EQ(canvas.GetEncCLSID(L"image/JPEG", &wide), 0);

    CLSID untouched;
    std::memset(&untouched, 0xA5, sizeof(untouched));
    CLSID probe = untouched;
    for (const char16_t* type : {u"IMAGE/JPEG", u"image/jpe", u"image/jpegx", u" image/jpeg", u""})
        EXPECT_EQ(canvas.GetEncCLSID(type, &probe), 0);
    EXPECT_TRUE(probe == untouched);

    auto photo = PhotoLike(160, 120);
    canvas.m_pGraphics->DrawImage(photo.get(), 0, 0, 160, 120);
    Folder folder;
    std::string low = folder.File("low.jpg"), high = folder.File("high.jpg"), twice = folder.File("twice.jpg");
    canvas.SaveJPG(CString(low.c_str()), 10);
    canvas.SaveJPG(CString(high.c_str()), 95);
    auto lowSize = std::filesystem::file_size(low), highSize = std::filesystem::file_size(high);
    EXPECT_LT(lowSize * 2, highSize);

    CFxPictor lowBack, highBack;
    ASSERT_EQ(lowBack.LoadImageW(CString(low.c_str())), 1);
    ASSERT_EQ(highBack.LoadImageW(CString(high.c_str())), 1);
    EXPECT_EQ(lowBack.GetSize(), CSize(160, 120));
    EXPECT_EQ(highBack.GetSize(), CSize(160, 120));
    double lowError = MeanChannelError(lowBack, *photo), highError = MeanChannelError(highBack, *photo);
    EXPECT_LT(highError, 3.0);
    EXPECT_GT(lowError, highError * 2);

    // Saving again overwrites; a folder that does not exist is no failure of the caller's.
    canvas.SaveJPG(CString(twice.c_str()), 95);
    canvas.SaveJPG(CString(twice.c_str()), 10);
    EXPECT_EQ(std::filesystem::file_size(twice), lowSize);
    std::string nowhere = folder.File("no/such/folder.jpg");
    canvas.SaveJPG(CString(nowhere.c_str()), 80);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    CFxPictor().SaveJPG(CString(folder.File("empty.jpg").c_str()), 80);
}

// The layer writes JPEG files itself; they decode to what the engine's encoder gives, for GDI+'s quality
// parameter in its forms (none: libjpeg's 75; a long; a range, its middle) and for half-transparent pixels.
TEST(JpegExport, TheLayersFilesDecodeAsTheEnginesWithGdiPlusQuality)
{
    CFxPictor canvas(nullptr, 161, 121);
    auto photo = PhotoLike(161, 121);
    canvas.m_pGraphics->DrawImage(photo.get(), 0, 0, 161, 121);
    canvas.FillRect(20, 20, 50, 40, Gdiplus::Color(kHalfYellow));
    CLSID jpeg;
    ASSERT_EQ(canvas.GetEncCLSID(u"image/jpeg", &jpeg), 1);
    Folder folder;
    const std::string layer = folder.File("layer.jpg"), engine = folder.File("engine.jpg");
    ULONG low = 10;
    LONG range[2] = {0, 100};
    Gdiplus::EncoderParameters longForm{1, {{Gdiplus::EncoderQuality, 1, Gdiplus::EncoderParameterValueTypeLong, &low}}};
    Gdiplus::EncoderParameters rangeForm{1, {{Gdiplus::EncoderQuality, 1, Gdiplus::EncoderParameterValueTypeLongRange, range}}};
    for (const Gdiplus::EncoderParameters* parameters : {static_cast<Gdiplus::EncoderParameters*>(nullptr), &longForm, &rangeForm}) {
        ASSERT_EQ(canvas.GetBitmap()->Save(CString(layer.c_str()), &jpeg, parameters), Gdiplus::Ok);
        ASSERT_EQ(Gdiplus::DllExports::GdipSaveImageToFile(canvas.GetBitmap()->NativeImage(), CString(engine.c_str()), &jpeg, parameters), Gdiplus::Ok);
        CFxPictor ours, theirs;
        ASSERT_EQ(ours.LoadImageW(CString(layer.c_str())), 1);
        ASSERT_EQ(theirs.LoadImageW(CString(engine.c_str())), 1);
        std::vector<BYTE> oursBits(161 * 121 * 4), theirBits(oursBits.size());
        ours.GetBits(oursBits.data(), 0, 0, 161, 121);
        theirs.GetBits(theirBits.data(), 0, 0, 161, 121);
        EXPECT_TRUE(oursBits == theirBits);
        EXPECT_EQ(std::filesystem::file_size(layer), std::filesystem::file_size(engine));
    }
    EXPECT_EQ(canvas.GetBitmap()->Save(CString(folder.File("no/such/folder.jpg").c_str()), &jpeg), Gdiplus::GenericError);
}

TEST(ClipboardExchange, ARectangleComesBackOverWhite)
{
    // Red, then half-transparent blue, with a transparent band at the bottom.
    CFxPictor source(nullptr, 100, 100);
    source.Clear(0, 0, 0, 0);
    Gdiplus::SolidBrush red{Gdiplus::Color(kRed)}, blue{Gdiplus::Color(0x800000FF)};
    source.m_pGraphics->FillRectangle(&red, 10, 10, 25, 35);
    source.m_pGraphics->FillRectangle(&blue, 35, 10, 65, 35);
    source.CopyToClipBoard(10, 10, 50, 40);

    HWND__ window;
    CFxPictor copy(&window, 3, 3);
    copy.CopyFromClipBoard();
    EXPECT_EQ(copy.GetSize(), CSize(50, 40));
    EXPECT_EQ(copy.m_hWnd, nullptr);
    ExpectPixels(copy, {{0, 0, kRed}, {24, 34, kRed}, {25, 0, 0xFF7F7FFF, 2}, {10, 36, kWhite}, {49, 39, kWhite}});

    // The clipboard keeps its bitmap: it can be read again.
    CFxPictor again;
    again.CopyFromClipBoard();
    EXPECT_EQ(again.GetSize(), CSize(50, 40));

    // A rectangle reaching past the canvas, and a canvas without a bitmap, come back white there.
    source.CopyToClipBoard(90, 30, 20, 20);
    copy.CopyFromClipBoard();
    EXPECT_EQ(copy.GetSize(), CSize(20, 20));
    ExpectPixels(copy, {{5, 0, 0xFF7F7FFF, 2}, {5, 15, kWhite}, {15, 5, kWhite}});
    CFxPictor().CopyToClipBoard(0, 0, 8, 6);
    copy.CopyFromClipBoard();
    EXPECT_EQ(copy.GetSize(), CSize(8, 6));
    EXPECT_EQ(PixelOf(copy, 4, 3), kWhite);
}

TEST(ClipboardExchange, NoBitmapOrNoClipboardLeavesTheCanvasAlone)
{
    HWND__ window;
    CFxPictor canvas(&window, 7, 5);
    canvas.Clear(9, 8, 7, 255);
    auto unchanged = [&] {
        EXPECT_EQ(canvas.GetSize(), CSize(7, 5));
        EXPECT_EQ(canvas.m_hWnd, &window);
        EXPECT_EQ(PixelOf(canvas, 3, 3), 0xFF090807u);
    };

    // Only text on the clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 8);
    std::memcpy(GlobalLock(text), u"abc", 8);
    GlobalUnlock(text);
    ASSERT_EQ(SetClipboardData(CF_UNICODETEXT, text), text);
    ASSERT_TRUE(CloseClipboard());
    canvas.CopyFromClipBoard();
    unchanged();

    // An empty clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    canvas.CopyFromClipBoard();
    unchanged();

    // A clipboard held open by another thread cannot be opened, even with a bitmap on it.
    CFxPictor(nullptr, 4, 4).CopyToClipBoard(0, 0, 4, 4);
    std::promise<void> opened, done;
    std::thread holder([&] {
        OpenClipboard(nullptr);
        opened.set_value();
        done.get_future().wait();
        CloseClipboard();
    });
    opened.get_future().wait();
    canvas.CopyFromClipBoard();
    done.set_value();
    holder.join();
    unchanged();
}

TEST(BitmapExchange, TakesTheCallersBitmapsAndImagesPixelForPixel)
{
    HWND__ window;
    auto bitmap = Quadrants(64, 48, true);
    CFxPictor canvas(&window, 3, 3);
    canvas.CopyFromBitmap(bitmap.get());
    EXPECT_EQ(canvas.GetSize(), CSize(64, 48));
    EXPECT_EQ(canvas.m_hWnd, nullptr);
    ExpectPixels(canvas, {{31, 23, kRed}, {32, 23, kGreen}, {63, 47, kHalfYellow, 2}});
    Gdiplus::Color still;
    bitmap->GetPixel(0, 0, &still);
    EXPECT_EQ(still.GetValue(), kRed);

    // An image recording another resolution still fills the canvas at its pixel size.
    auto dense = Quadrants(60, 40);
    dense->SetResolution(300.0f, 300.0f);
    canvas.Init(&window, 2, 2);
    canvas.CopyFromImage(dense.get());
    EXPECT_EQ(canvas.GetSize(), CSize(60, 40));
    EXPECT_EQ(canvas.m_hWnd, nullptr);
    ExpectPixels(canvas, {{1, 1, kRed}, {58, 38, 0xFFFFFF00}, {58, 1, kGreen}});
}

namespace {

void PutBigEndian(std::vector<char>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

// The encoders write no resolution: a PNG gets a pHYs chunk after its header, a JPEG its JFIF density.
// A resolution of 0 leaves the file without one.
void RecordResolution(std::vector<char>& file, bool png, int dpi)
{
    if (dpi == 0) return;
    if (!png) {  // JFIF: units at byte 13 (1 = dots per inch), then the two densities
        file[13] = 1;
        for (size_t at : {size_t(14), size_t(16)}) {
            file[at] = static_cast<char>(dpi >> 8);
            file[at + 1] = static_cast<char>(dpi & 0xFF);
        }
        return;
    }
    const uint32_t perMeter = static_cast<uint32_t>(dpi / 0.0254 + 0.5);
    std::vector<char> chunk(21);
    PutBigEndian(chunk, 0, 9);
    std::memcpy(chunk.data() + 4, "pHYs", 4);
    PutBigEndian(chunk, 8, perMeter);
    PutBigEndian(chunk, 12, perMeter);
    chunk[16] = 1;  // the unit is the metre
    PutBigEndian(chunk, 17, pictor_test::Crc32(chunk.data() + 4, 13));
    file.insert(file.begin() + 33, chunk.begin(), chunk.end());  // signature 8, header chunk 25
}

}  // namespace

// The members that draw a picture or a part of it "unscaled" fill the canvas pixel for pixel whatever
// resolution the picture records, through a file, a stream or the caller's bitmap; Graphics::DrawImage at a
// point still sizes it by its resolution, as GDI+ does.
TEST(BitmapExchange, UnscaledMembersIgnoreThePicturesResolution)
{
    Folder folder;
    auto photo = PhotoLike(50, 60);
    for (bool png : {true, false})
        for (int dpi : {72, 96, 300, 0}) {
            SCOPED_TRACE(std::string(png ? "PNG at " : "JPEG at ") + std::to_string(dpi) + " dpi");
            const std::string plain = folder.File(png ? "plain.png" : "plain.jpg");
            ASSERT_TRUE(Save(*photo, plain, png ? u"image/png" : u"image/jpeg"));
            std::vector<char> bytes = pictor_test::ReadFile(plain);
            RecordResolution(bytes, png, dpi);
            const std::string path = folder.File(std::to_string(dpi) + (png ? ".png" : ".jpg"));
            WriteFile(path, bytes);
            const CString file(path.c_str());
            ASSERT_NEAR(Gdiplus::Image(file.GetString()).GetHorizontalResolution(), dpi ? dpi : 96, 0.5);

            CFxPictor whole;  // the whole picture into a rectangle of its size: resolution plays no part
            ASSERT_EQ(whole.LoadImageW(file), 1);

            CFxPictor part(nullptr, 80, 80);
            part.Clear(0, 0, 0, 255);
            ASSERT_EQ(part.LoadImageW(file, 5, 7, 10, 12, 30, 40), 1);
            int wrong = 0;
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 80; ++x) {
                    bool inside = x >= 5 && x < 35 && y >= 7 && y < 47;
                    wrong += PixelOf(part, x, y) != (inside ? PixelOf(whole, x + 5, y + 5) : 0xFF000000u);
                }
            EXPECT_EQ(wrong, 0);

            auto streamed = pictor_test::BitmapFromBytes(bytes);
            CFxPictor taken;
            taken.CopyFromBitmap(streamed.get());
            ASSERT_EQ(taken.GetSize(), CSize(50, 60));
            EXPECT_EQ(pictor_test::DifferingPixels(taken, whole), 0);
        }

    for (float dpi : {72.0f, 300.0f}) {
        auto quadrants = Quadrants(64, 48);
        quadrants->SetResolution(dpi, dpi);
        CFxPictor canvas;
        canvas.CopyFromBitmap(quadrants.get());
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        int wrong = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) wrong += PixelOf(canvas, x, y) != PixelOf(*quadrants, x, y);
        EXPECT_EQ(wrong, 0);

        // At a point, a 64-pixel-wide picture at 300 dpi covers 64 * 96 / 300 = 20.5 pixels of the canvas.
        CFxPictor device(nullptr, 200, 150);
        device.Clear(255, 255, 255, 255);
        device.m_pGraphics->DrawImage(quadrants.get(), 0, 0);
        const int covered = static_cast<int>(64 * 96 / dpi);
        ExpectPixels(device, {{covered - 2, 5, kGreen}, {covered + 2, 5, kWhite}});
    }
}
