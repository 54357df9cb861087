// How the library hands a picture to the clipboard helper program (pictor-clipboard) over a socket:
// this header, then width × height pixels of 4 bytes (blue, green, red, unused), rows from the top.
// The helper answers one byte: kHandoverTaken once it owns the CLIPBOARD selection, kHandoverFailed if not.
#pragma once

#include <cstdint>

struct ClipboardHandover {
    char magic[8];
    uint32_t width;
    uint32_t height;
};

constexpr char kHandoverMagic[8] = {'P', 'I', 'C', 'T', 'C', 'L', 'I', 'P'};
constexpr char kHandoverTaken = 'Y';
constexpr char kHandoverFailed = 'N';
// The helper's window class (WM_CLASS: instance and class name): the library takes the uncompressed
// image/bmp from an owner of this class, and image/png from any other.
constexpr char kHelperClass[] = "pictor-clipboard\0pictor-clipboard";
// Pictures larger than this many pixels are refused (a 16384 × 16384 picture).
constexpr uint64_t kHandoverMaxPixels = 16384ull * 16384ull;
