// The desktop's clipboard: the X11 CLIPBOARD selection of the display named by DISPLAY. Pictures put
// there are held by the helper program pictor-clipboard, so they outlive the process; pictures are read
// from whichever client owns the selection. Pictures stream both ways: the rows go to the helper a band at
// a time, and a picture read is handed on as its increments arrive. Every wait is bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "Clipboard.h"

// True when the display can be reached.
bool DesktopClipboardReachable();

// Writes `count` rows of the picture, from row `first`, into out as 4-byte pixels (blue, green, red,
// unused), width × 4 bytes a row. False gives the offer up.
using DesktopRows = std::function<bool(int first, int count, uint8_t* out)>;
// Hands a width × height picture to the helper, which takes the selection; its rows are asked for and
// sent a band of about 1 MB at a time. Ok once the helper holds it.
ClipboardStatus DesktopClipboardOffer(int width, int height, const DesktopRows& rows);

// The file formats a picture is taken in.
enum class DesktopPictureType { Png, Bmp };

// Receives the selection's picture as its bytes arrive.
class DesktopPictureSink {
public:
    // The picture comes as a file of this type; false refuses it.
    virtual bool Begin(DesktopPictureType type) = 0;
    // The file's next bytes; false stops the transfer (they are no picture).
    virtual bool Take(const uint8_t* bytes, size_t size) = 0;

protected:
    ~DesktopPictureSink() = default;
};

// Ok when the selection offers a picture (image/png or image/bmp).
ClipboardStatus DesktopClipboardOffersPicture();
// Streams the selection's picture into the sink: image/png, or image/bmp when the owner offers no PNG or
// is pictor's own helper (which sends it uncompressed, much faster than it compresses). Ok when the whole
// file came; BadPicture when the sink refused it.
ClipboardStatus DesktopClipboardTake(DesktopPictureSink& sink);
// Leaves the selection without an owner.
ClipboardStatus DesktopClipboardClear();
