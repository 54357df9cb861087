// Image members against the libraries underneath: ReSampling against the engine's own scaled draw, SaveJPG
// against libjpeg-turbo, LoadImageW against libpng and libjpeg-turbo on the same files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "FxPictor.h"
#include "Ratios.h"
#include "gdiplus/engine/GdiplusFlat.h"

namespace {

namespace flat = Gdiplus::DllExports;

const int kPhotoWidth = 1920, kPhotoHeight = 1080;

// A photo-like picture: smooth shading with fine noise, which is what makes JPEG work hard.
std::vector<BYTE> PhotoPixels(int width, int height)
{
    std::vector<BYTE> pixels(size_t(width) * height * 4);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = int(noise >> 27) - 16;
            BYTE* p = &pixels[(size_t(y) * width + x) * 4];
            p[0] = BYTE(std::clamp(int(128 + 100 * std::sin(x * 0.01)) + grain, 0, 255));
            p[1] = BYTE(std::clamp(int(y * 255 / height) + grain, 0, 255));
            p[2] = BYTE(std::clamp(int(128 + 100 * std::cos((x + y) * 0.005)) + grain, 0, 255));
            p[3] = 255;
        }
    return pixels;
}

bool Fill(CFxPictor& canvas, int width, int height)
{
    std::vector<BYTE> pixels = PhotoPixels(width, height);
    canvas.SetBits(pixels.data(), 0, 0);
    return true;
}

CFxPictor& Photo()
{
    static CFxPictor photo(nullptr, kPhotoWidth, kPhotoHeight);
    static const bool filled = Fill(photo, kPhotoWidth, kPhotoHeight);
    (void)filled;
    return photo;
}

std::string TempFile(const char* name) { return "/tmp/pictor-bench-" + std::to_string(getpid()) + "-" + name; }

const std::string& PngFile()
{
    static const std::string path = [] {
        std::string file = TempFile("photo.png");
        CLSID png;
        Photo().GetEncCLSID(CString("image/png"), &png);
        Photo().GetBitmap()->Save(CString(file.c_str()), &png, nullptr);
        return file;
    }();
    return path;
}

const std::string& JpegFile()
{
    static const std::string path = [] {
        std::string file = TempFile("photo.jpg");
        Photo().SaveJPG(CString(file.c_str()), 90);
        return file;
    }();
    return path;
}

void BM_SaveJPG(benchmark::State& state)
{
    const std::string file = TempFile("save.jpg");
    for (auto _ : state) Photo().SaveJPG(CString(file.c_str()), 90);
    std::remove(file.c_str());
}

// The engine's own encoder, which the layer bypasses for JPEG files.
void BM_EngineSaveJpeg(benchmark::State& state)
{
    const std::string file = TempFile("save-engine.jpg");
    const CString path(file.c_str());
    CLSID jpeg;
    Photo().GetEncCLSID(CString("image/jpeg"), &jpeg);
    ULONG quality = 90;
    Gdiplus::EncoderParameters parameters{1, {{Gdiplus::EncoderQuality, 1, Gdiplus::EncoderParameterValueTypeLong, &quality}}};
    for (auto _ : state) flat::GdipSaveImageToFile(Photo().GetBitmap()->NativeImage(), path, &jpeg, &parameters);
    std::remove(file.c_str());
}

void BM_LibjpegSave(benchmark::State& state)
{
    const std::string file = TempFile("save-libjpeg.jpg");
    std::vector<BYTE> pixels(size_t(kPhotoWidth) * kPhotoHeight * 4);
    Photo().GetBits(pixels.data(), 0, 0, kPhotoWidth, kPhotoHeight);
    for (auto _ : state) {
        FILE* out = std::fopen(file.c_str(), "wb");
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_stdio_dest(&info, out);
        info.image_width = kPhotoWidth;
        info.image_height = kPhotoHeight;
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRA;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = &pixels[size_t(info.next_scanline) * kPhotoWidth * 4];
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::fclose(out);
    }
    std::remove(file.c_str());
}

void BM_LoadPng(benchmark::State& state)
{
    const CString file(PngFile().c_str());
    CFxPictor canvas;
    for (auto _ : state) canvas.LoadImageW(file);
}

void BM_LibpngLoad(benchmark::State& state)
{
    std::vector<BYTE> pixels;
    PngFile();
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_file(&image, PngFile().c_str());
        image.format = PNG_FORMAT_BGRA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void BM_LoadJpeg(benchmark::State& state)
{
    const CString file(JpegFile().c_str());
    CFxPictor canvas;
    for (auto _ : state) canvas.LoadImageW(file);
}

void BM_LibjpegLoad(benchmark::State& state)
{
    std::vector<BYTE> pixels;
    const std::string file = JpegFile();
    for (auto _ : state) {
        FILE* in = std::fopen(file.c_str(), "rb");
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, in);
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGRA;
        jpeg_start_decompress(&info);
        pixels.resize(size_t(info.output_width) * info.output_height * 4);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = &pixels[size_t(info.output_scanline) * info.output_width * 4];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(in);
        benchmark::DoNotOptimize(pixels.data());
    }
}

const int kLargeWidth = 4000, kLargeHeight = 3000;

CFxPictor& Large()
{
    static CFxPictor large(nullptr, kLargeWidth, kLargeHeight);
    static const bool filled = Fill(large, kLargeWidth, kLargeHeight);
    (void)filled;
    return large;
}

void BM_ReSampling(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CFxPictor picture(nullptr, kLargeWidth, kLargeHeight);
        Large().CopyToThis(&picture);
        state.ResumeTiming();
        picture.ReSampling(800, 600, 1, 0, 0, 0);
    }
}

// The engine's own scaled draw of the same picture into a new 800 x 600 bitmap, bicubic.
void BM_EngineScaledDraw(benchmark::State& state)
{
    for (auto _ : state) {
        flat::GpBitmap* target = nullptr;
        flat::GdipCreateBitmapFromScan0(800, 600, 0, PixelFormat32bppPARGB, nullptr, &target);
        flat::GpGraphics* graphics = nullptr;
        flat::GdipGetImageGraphicsContext(reinterpret_cast<flat::GpImage*>(target), &graphics);
        flat::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeBicubic);
        flat::GdipDrawImageRectRectI(graphics, Large().GetBitmap()->NativeImage(), 0, 0, 800, 600, 0, 0, kLargeWidth,
                                     kLargeHeight, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        flat::GdipDeleteGraphics(graphics);
        flat::GdipDisposeImage(reinterpret_cast<flat::GpImage*>(target));
    }
}

const bool kRegistered = [] {
    auto add = [](const char* name, void (*run)(benchmark::State&)) {
        benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond);
    };
    add("SaveJPG/1920x1080/q90", BM_SaveJPG);
    add("libjpeg:save/1920x1080/q90", BM_LibjpegSave);
    add("engine:save/1920x1080/q90", BM_EngineSaveJpeg);
    add("LoadImageW/png/1920x1080", BM_LoadPng);
    add("libpng:load/1920x1080", BM_LibpngLoad);
    add("LoadImageW/jpeg/1920x1080", BM_LoadJpeg);
    add("libjpeg:load/1920x1080", BM_LibjpegLoad);
    add("ReSampling/fit/4000x3000-to-800x600", BM_ReSampling);
    add("engine:scaled-draw/4000x3000-to-800x600", BM_EngineScaledDraw);
    RatioRows().push_back({"SaveJPG/1920x1080/q90", "libjpeg:save/1920x1080/q90", 1.05});
    RatioRows().push_back({"LoadImageW/png/1920x1080", "libpng:load/1920x1080", 1.05});
    RatioRows().push_back({"LoadImageW/jpeg/1920x1080", "libjpeg:load/1920x1080", 1.05});
    RatioRows().push_back({"ReSampling/fit/4000x3000-to-800x600", "engine:scaled-draw/4000x3000-to-800x600", 1.2});
    return true;
}();

}  // namespace
