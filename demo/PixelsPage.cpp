// Pixel work and compositing: one picture keyed, faded, resampled, cropped, turned and laid over
// the page with an opacity.
#include <cmath>
#include <vector>

#include "Demo.h"

namespace {

const int kPictureWidth = 160;
const int kPictureHeight = 120;

// A picture made of raw pixels: colour rings on a magenta ground, the ground keyed out later.
void DrawPicture(CFxPictor& picture)
{
    std::vector<BYTE> pixels(kPictureWidth * kPictureHeight * 4);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            BYTE* p = &pixels[(y * kPictureWidth + x) * 4];
            const double dx = x - kPictureWidth / 2.0, dy = y - kPictureHeight / 2.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const bool ground = r > 56;
            p[0] = ground ? 255 : static_cast<BYTE>(128 + 127 * std::cos(r / 6));
            p[1] = ground ? 0 : static_cast<BYTE>(x * 255 / kPictureWidth);
            p[2] = ground ? 255 : static_cast<BYTE>(y * 255 / kPictureHeight);
            p[3] = 255;
        }
    picture.SetBits(pixels.data(), 0, 0);
    picture.FillRect(70, 10, 20, 100, Gdiplus::Color(255, 250, 250, 250));
}

// A fresh copy of the picture, to be worked on by one step.
void Fresh(CFxPictor& picture)
{
    picture.Init(nullptr, kPictureWidth, kPictureHeight);
    DrawPicture(picture);
}

void Label(CFxPictor& page, int x, int y, const char* text)
{
    page.Text(x, y, 14, 255, 40, 40, 60, CString("DejaVu Sans"), CString(text));
}

}  // namespace

void DrawPixelsPage(CFxPictor& page)
{
    page.Clear(232, 236, 240, 255);
    // A checker board shows where pictures are transparent.
    for (int y = 0; y < kPageHeight; y += 20)
        for (int x = (y / 20) % 2 * 20; x < kPageWidth; x += 40) page.FillRect(x, y, 20, 20, Gdiplus::Color(255, 210, 214, 220));

    CFxPictor picture;
    Fresh(picture);
    picture.CopyToThis(&page, 20, 30);
    Label(page, 20, 8, "picture");

    picture.SetColorToAlphaZero(255, 0, 255);
    picture.CopyToThis(&page, 200, 30);
    Label(page, 200, 8, "keyed");

    picture.SetAlpha(110);
    picture.CopyToThis(&page, 380, 30);
    Label(page, 380, 8, "keyed, alpha 110");

    Fresh(picture);
    picture.ReSampling(220, 120, 1, 40, 60, 90);
    picture.CopyToThis(&page, 560, 30);
    Label(page, 560, 8, "fitted into 220 x 120");

    Fresh(picture);
    picture.ReSampling(220, 90, 0, 0, 0, 0);
    picture.CopyToThis(&page, 20, 200);
    Label(page, 20, 178, "stretched to 220 x 90");

    Fresh(picture);
    picture.Crop(40, 20, 80, 80);
    picture.CopyToThis(&page, 270, 200);
    Label(page, 270, 178, "cropped");

    Fresh(picture);
    picture.SetColorToAlphaZero(255, 0, 255);
    CFxPictor turned(nullptr, kPictureWidth, kPictureHeight);
    turned.Clear(0, 0, 0, 0);
    picture.Rotate(&turned, 60);
    turned.CopyToThis(&page, 380, 200);
    Label(page, 380, 178, "turned to 60 degrees");

    Fresh(picture);
    picture.Rotate(180, 80, 60);
    picture.CopyToThis(&page, 560, 200);
    Label(page, 560, 178, "turned over itself");

    // Layers: the keyed picture laid three times with growing opacity, and scaled up once.
    Fresh(picture);
    picture.SetColorToAlphaZero(255, 0, 255);
    for (int i = 0; i < 3; ++i) picture.CopyToThisAlpha(&page, 20 + i * 130, 380, 160, 120, 0.3f + 0.35f * i);
    Label(page, 20, 358, "opacity 0.3, 0.65, 1.0");
    picture.CopyToThis(&page, 40, 20, 80, 80, 440, 360, 200, 200);
    Label(page, 440, 338, "part scaled 2.5 times");
}
