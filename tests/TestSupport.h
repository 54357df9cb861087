// Helpers shared by the tests: reading canvas pixels back and comparing colours loosely.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FxPictor.h"
#include "win/GlobalMemory.h"
#include "win/Stream.h"

namespace pictor_test {

inline Gdiplus::ARGB PixelOf(CFxPictor& canvas, int x, int y)
{
    Gdiplus::Color color(0u);
    canvas.GetBitmap()->GetPixel(x, y, &color);
    return color.GetValue();
}

inline int Channel(Gdiplus::ARGB argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// True when every channel of the two colours differs by at most tolerance.
inline bool Near(Gdiplus::ARGB a, Gdiplus::ARGB b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
    return true;
}

inline std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes decoded from a memory stream, as LoadBitmapFromPNG hands a resource to the decoder.
inline std::unique_ptr<Gdiplus::Bitmap> BitmapFromBytes(const std::vector<char>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, TRUE, &stream);
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    return bitmap;
}

}  // namespace pictor_test
