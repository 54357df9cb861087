// Images page: a picture embedded in the program, taken into canvases by the loaders (from the
// resource, from a JPEG file, through the clipboard) and laid out on the page; the page is also
// written as a JPEG.
#include <cstdio>
#include <string>

#include "Demo.h"

std::string g_demoOutputFolder = ".";

namespace {

const unsigned int kLandscapeId = 1;

// Opaque pictures on a frame of their own, so that their edges show.
void Place(CFxPictor& picture, CFxPictor& page, int x, int y)
{
    CFxPictor frame(nullptr, picture.m_nWidth + 8, picture.m_nHeight + 8);
    frame.Clear(60, 60, 70, 255);
    frame.CopyToThis(&page, x - 4, y - 4);
    picture.CopyToThis(&page, x, y);
}

}  // namespace

void DrawImagesPage(CFxPictor& canvas)
{
    canvas.Clear(236, 236, 230, 255);

    // The embedded "PNG" resource, at its own size; its rounded corners are transparent.
    Gdiplus::Bitmap* landscape = nullptr;
    if (!canvas.LoadBitmapFromPNG(kLandscapeId, &landscape, nullptr)) {
        std::fprintf(stderr, "the images page's picture is not embedded\n");
        return;
    }
    CFxPictor picture;
    picture.CopyFromBitmap(landscape);
    delete landscape;
    picture.CopyToThis(&canvas, 30, 30);

    // Through a JPEG file: turned, scaled, stretched, and at a very low quality.
    std::string file = g_demoOutputFolder + "/pictor-images-picture.jpg";
    std::string rough = g_demoOutputFolder + "/pictor-images-rough.jpg";
    picture.SaveJPG(CString(file.c_str()), 90);
    picture.SaveJPG(CString(rough.c_str()), 3);

    CFxPictor turned;
    if (turned.LoadImageW(CString(file.c_str()), nullptr, Gdiplus::Rotate90FlipNone)) Place(turned, canvas, 300, 30);
    CFxPictor half;
    if (half.LoadImageW(CString(file.c_str()), 0.5f).cx) Place(half, canvas, 500, 30);
    CFxPictor mirrored;
    if (mirrored.LoadImageW(CString(file.c_str()), nullptr, Gdiplus::RotateNoneFlipX)) Place(mirrored, canvas, 540, 150);
    CFxPictor wide;
    if (wide.LoadImageW(CString(file.c_str()), 500, 100)) Place(wide, canvas, 30, 310);
    CFxPictor poor;
    if (poor.LoadImageW(CString(rough.c_str()))) Place(poor, canvas, 30, 428);
    std::remove(file.c_str());
    std::remove(rough.c_str());

    // The sun, through the clipboard.
    picture.CopyToClipBoard(150, 15, 60, 60);
    CFxPictor sun;
    sun.CopyFromClipBoard();
    Place(sun, canvas, 300, 440);

    // The page itself, as a JPEG beside the PNG the demo writes.
    std::string page = g_demoOutputFolder + "/pictor-images.jpg";
    canvas.SaveJPG(CString(page.c_str()), 90);
}
