// Draws a small bar chart, the kind of frame an application paints, and saves it as a JPEG.
// Usage: example_chart OUTPUT.jpg
#include <cstdio>

#include "FxPictor.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    const int values[] = {42, 77, 58, 91, 66, 30};
    CFxPictor chart(nullptr, 640, 400);
    chart.Clear(250, 250, 252, 255);
    chart.SetSmoothModeHighQuility();

    chart.FillRoundRect(20, 20, 600, 360, 255, 255, 255, 255, 255, 200, 205, 215, 16);
    chart.Text(40, 34, 20, 255, 40, 50, 70, CString("DejaVu Sans"), CString("Sales per month"));
    chart.Line(60, 340, 600, 340, 255, 120, 130, 150, 2.0f);
    for (int i = 0; i < 6; ++i) {
        const int height = values[i] * 3;
        const int x = 80 + i * 85;
        chart.FillGradientRect(x, 340 - height, 50, height, 255, 90, 150, 230, 255, 30, 80, 170);
        chart.Text(x + 10, 345, 14, 255, 80, 90, 110, CString("DejaVu Sans"), CString(std::to_string(values[i]).c_str()));
    }
    chart.SaveJPG(CString(argv[1]), 90);

    // SaveJPG reports nothing; check the file the way an application would.
    CFxPictor check;
    if (check.LoadImageW(CString(argv[1])) != 1) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s (%d x %d)\n", argv[1], check.GetSize().cx, check.GetSize().cy);
    return 0;
}
