// Writes the fuzzer's seed pictures, one per format the engine encodes, drawn by the library.
// Usage: pictor_fuzz_seeds FOLDER
#include <cstdio>
#include <string>

#include "FxPictor.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    // Small pictures keep each fuzz run fast; alpha and a few colours exercise the decoders.
    CFxPictor picture(nullptr, 24, 16);
    picture.Clear(0, 0, 0, 0);
    picture.FillRect(2, 2, 12, 8, Gdiplus::Color(255, 200, 40, 40));
    picture.FillRect(10, 6, 12, 8, Gdiplus::Color(128, 40, 40, 200));

    const struct {
        const char* mime;
        const char* name;
    } formats[] = {{"image/png", "seed.png"}, {"image/jpeg", "seed.jpg"}, {"image/bmp", "seed.bmp"},
                   {"image/gif", "seed.gif"}, {"image/tiff", "seed.tif"}};
    int written = 0;
    for (const auto& format : formats) {
        CLSID encoder;
        if (picture.GetEncCLSID(CString(format.mime), &encoder) != 1) continue;
        const std::string path = std::string(argv[1]) + "/" + format.name;
        if (picture.GetBitmap()->Save(CString(path.c_str()), &encoder, nullptr) == Gdiplus::Ok) ++written;
    }
    // A TIFF of two pages, for the decoding of pages after the first.
    CLSID tiff;
    if (picture.GetEncCLSID(CString("image/tiff"), &tiff) == 1) {
        ULONG flag = Gdiplus::EncoderValueMultiFrame;
        Gdiplus::EncoderParameters parameters{1, {{Gdiplus::EncoderSaveFlag, 1, Gdiplus::EncoderParameterValueTypeLong, &flag}}};
        const std::string path = std::string(argv[1]) + "/seed-pages.tif";
        Gdiplus::Bitmap* bitmap = picture.GetBitmap();
        Gdiplus::Status status = bitmap->Save(CString(path.c_str()), &tiff, &parameters);
        flag = Gdiplus::EncoderValueFrameDimensionPage;
        if (status == Gdiplus::Ok) status = bitmap->SaveAdd(&parameters);
        flag = Gdiplus::EncoderValueFlush;
        if (status == Gdiplus::Ok && bitmap->SaveAdd(&parameters) == Gdiplus::Ok) ++written;
    }
    std::printf("wrote %d seed pictures into %s\n", written, argv[1]);
    return written >= 4 ? 0 : 1;
}
