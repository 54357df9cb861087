// Copies a canvas of the given size to the clipboard and prints how the clipboard took it: built by
// tests/relocate_check.sh against an installed, then moved, library.
#include <cstdio>
#include <cstdlib>

#include "FxPictor.h"
#include "win/Clipboard.h"

namespace {

const char* NameOf(ClipboardStatus status)
{
    switch (status) {
    case ClipboardStatus::Ok:
        return "Ok";
    case ClipboardStatus::NoDisplay:
        return "NoDisplay";
    case ClipboardStatus::NoPicture:
        return "NoPicture";
    case ClipboardStatus::NoAnswer:
        return "NoAnswer";
    case ClipboardStatus::DisplayLost:
        return "DisplayLost";
    case ClipboardStatus::BadPicture:
        return "BadPicture";
    case ClipboardStatus::NoHelper:
        return "NoHelper";
    }
    return "unknown";
}

}  // namespace

int main(int argc, char** argv)
{
    int width = argc == 3 ? std::atoi(argv[1]) : 0;
    int height = argc == 3 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: copy_canvas WIDTH HEIGHT\n");
        return 2;
    }
    CFxPictor canvas(nullptr, width, height);
    canvas.Clear(30, 120, 200, 255);
    canvas.CopyToClipBoard(0, 0, width, height);
    std::puts(NameOf(GetClipboardStatus()));
    return 0;
}
