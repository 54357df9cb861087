// Draws a small bar chart, the kind of frame an application paints, and saves it as PNG (or as JPEG
// when the name ends in .jpg), checking the save's status.
// Usage: example_chart OUTPUT.png|OUTPUT.jpg
#include <cstdio>
#include <string>

#include "FxPictor.h"

namespace {

// Writes the canvas with the engine's encoder for the MIME type; JPEG gets a quality of 90.
bool SavePicture(CFxPictor& canvas, const std::string& path)
{
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    CLSID encoder;
    if (canvas.GetEncCLSID(jpeg ? L"image/jpeg" : L"image/png", &encoder) != 1) return false;
    ULONG quality = 90;
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;
    // SaveJPG reports nothing; the bitmap's Save returns the encoder's status.
    return canvas.GetBitmap()->Save(CString(path), &encoder, jpeg ? &parameters : nullptr) == Gdiplus::Ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png|OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    const int values[] = {42, 77, 58, 91, 66, 30};
    CFxPictor chart(nullptr, 640, 400);
    chart.Clear(250, 250, 252, 255);
    chart.SetSmoothModeHighQuility();

    chart.FillRoundRect(20, 20, 600, 360, 255, 255, 255, 255, 255, 200, 205, 215, 16);
    chart.Text(40, 34, 20, 255, 40, 50, 70, "DejaVu Sans", "Sales per month");
    chart.Line(60, 340, 600, 340, 255, 120, 130, 150, 2.0f);
    for (int i = 0; i < 6; ++i) {
        const int height = values[i] * 3;
        const int x = 80 + i * 85;
        chart.FillGradientRect(x, 340 - height, 50, height, 255, 90, 150, 230, 255, 30, 80, 170);
        chart.Text(x + 10, 345, 14, 255, 80, 90, 110, "DejaVu Sans", std::to_string(values[i]));
    }

    if (!SavePicture(chart, argv[1])) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s (%d x %d)\n", argv[1], chart.GetSize().cx, chart.GetSize().cy);
    return 0;
}
