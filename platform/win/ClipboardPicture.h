// Pictures exchanged with the desktop's clipboard without a bitmap handle in between, a row at a time:
// rows offered are composited over opaque white (a bitmap handle carries no transparency) on their way
// to the helper, and a picture taken is decoded as its bytes arrive, into a bitmap the caller makes at
// its size. Either way the process holds the picture once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "DesktopClipboard.h"
#include "WinTypes.h"

namespace Gdiplus {
class Bitmap;
}

// Makes the bitmap a width × height picture is decoded into, in a 32-bit format (PixelFormat32bppARGB,
// PARGB or RGB); null refuses the picture.
using PictureBitmapMaker = std::function<Gdiplus::Bitmap*(int width, int height)>;

// Puts the rectangle (x, y, width, height) of the bitmap (null: of an empty one; pixels outside it count
// as transparent) on the desktop's clipboard, as a CF_BITMAP data object handed to OleSetClipboard puts
// it: composited over opaque white, with nothing else left on the clipboard; GetClipboardStatus says how
// it went. Its rows go to the helper straight from the bitmap's pixels. While the clipboard is open the
// call does nothing, as OleSetClipboard. False, with nothing done, when the bitmap is to go as a handle
// instead: no display, or a bitmap that does not hold premultiplied 32-bit pixels.
bool OfferClipboardArea(Gdiplus::Bitmap* bitmap, int x, int y, int width, int height);

// For a caller that replaces its picture with the clipboard's bitmap (CF_BITMAP): when that is the
// desktop clipboard's, decodes it, composited over opaque white, into the bitmap `make` gives for its
// size, and returns it (null when there is none; GetClipboardStatus says why). When the bitmap is this
// process's own (no display, or one the clipboard holds since it was opened), returns null with `handle`
// set to it, as GetClipboardData gives it. Needs the clipboard open.
std::unique_ptr<Gdiplus::Bitmap> TakeClipboardPicture(const PictureBitmapMaker& make, HANDLE& handle);

// Premultiplied pixels (blue, green, red, alpha) over opaque white, as the engine draws them there:
// c + 255 - alpha per channel (at most 255), alpha 255.
void PremultipliedOverWhite(const uint32_t* pixels, uint32_t* out, int count);

// Decodes a picture taken from the desktop into a bitmap from `make`, composited over opaque white: a PNG
// as its bytes arrive, an uncompressed 24-bit BMP row by row, any other BMP by the engine once all of it
// has come.
class ClipboardPictureDecoder final : public DesktopPictureSink {
public:
    explicit ClipboardPictureDecoder(PictureBitmapMaker make);
    ~ClipboardPictureDecoder();
    ClipboardPictureDecoder(const ClipboardPictureDecoder&) = delete;
    ClipboardPictureDecoder& operator=(const ClipboardPictureDecoder&) = delete;

    bool Begin(DesktopPictureType type) override;
    bool Take(const uint8_t* bytes, size_t size) override;
    // The picture, once all its bytes came; null when they were no whole picture.
    std::unique_ptr<Gdiplus::Bitmap> Finish();

    class Target;
    class Format;

private:
    PictureBitmapMaker m_make;
    std::unique_ptr<Target> m_target;
    std::unique_ptr<Format> m_format;
};
