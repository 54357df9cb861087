// The desktop's clipboard: the X11 CLIPBOARD selection of the display named by DISPLAY. Pictures put
// there are held by the helper program pictor-clipboard, so they outlive the process; pictures are read
// from whichever client owns the selection. Every wait is bounded.
#pragma once

#include <cstdint>
#include <vector>

#include "Clipboard.h"

// True when the display can be reached.
bool DesktopClipboardReachable();
// Hands a picture of 4-byte pixels (blue, green, red, unused; rows `stride` bytes apart) to the helper,
// which takes the selection. Ok once it holds it.
ClipboardStatus DesktopClipboardOffer(const uint8_t* pixels, int stride, int width, int height);
// The selection's picture as image/png (preferred) or image/bmp file bytes; with targetsOnly, only whether
// it offers one.
ClipboardStatus DesktopClipboardTake(std::vector<uint8_t>& bytes, bool targetsOnly = false);
// Leaves the selection without an owner.
ClipboardStatus DesktopClipboardClear();
