// Lays a half-transparent text watermark over a picture, bottom right, and saves it as a JPEG.
// Usage: example_watermark PICTURE OUTPUT.jpg [TEXT]
#include <cstdio>

#include "FxPictor.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PICTURE OUTPUT.jpg [TEXT]\n", argv[0]);
        return 2;
    }
    CFxPictor picture;
    if (picture.LoadImageW(CString(argv[1])) != 1) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const CString text(argc > 3 ? argv[3] : "PICTOR");
    const CString family("DejaVu Sans");
    const CSize size = picture.GetSize();

    // The mark is drawn once on its own transparent canvas, then composited with an opacity.
    const CRect extent = picture.GetTextSize(28, family, text);
    const int markWidth = extent.Width() + 16, markHeight = extent.Height() + 8;
    CFxPictor mark(nullptr, markWidth, markHeight);
    mark.Clear(0, 0, 0, 0);
    mark.SetSmoothModeHighQuility();
    mark.Text(8, 4, 28, 255, 255, 255, 255, 160, 0, 0, 0, family, text, 2);
    mark.CopyToThisAlpha(&picture, size.cx - markWidth - 10, size.cy - markHeight - 10, markWidth, markHeight, 0.6f);

    picture.SaveJPG(CString(argv[2]), 90);
    std::printf("wrote %s\n", argv[2]);
    return 0;
}
