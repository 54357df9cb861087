// Helpers shared by the tests: reading canvas pixels back and comparing colours loosely; a JPEG file of
// many scans.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "FxPictor.h"
#include "win/GlobalMemory.h"
#include "win/Stream.h"

namespace pictor_test {

inline Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color color(0u);
    bitmap.GetPixel(x, y, &color);
    return color.GetValue();
}
inline Gdiplus::ARGB PixelOf(CFxPictor& canvas, int x, int y) { return PixelOf(*canvas.GetBitmap(), x, y); }

inline int Channel(Gdiplus::ARGB argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// The largest difference of any channel between two colours.
inline int ChannelGap(Gdiplus::ARGB a, Gdiplus::ARGB b)
{
    int gap = 0;
    for (int shift = 0; shift < 32; shift += 8) gap = std::max(gap, std::abs(Channel(a, shift) - Channel(b, shift)));
    return gap;
}

// True when every channel of the two colours differs by at most tolerance.
inline bool Near(Gdiplus::ARGB a, Gdiplus::ARGB b, int tolerance) { return ChannelGap(a, b) <= tolerance; }

// Opaque red on the bitmap's left half and blue on its right: where repeats and mirrors of it land shows.
inline void PaintRedAndBlueHalves(Gdiplus::Bitmap& bitmap)
{
    Gdiplus::Graphics g(&bitmap);
    g.Clear(Gdiplus::Color(255, 255, 0, 0));
    Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255));
    const INT width = static_cast<INT>(bitmap.GetWidth());
    g.FillRectangle(&blue, width / 2, 0, width - width / 2, static_cast<INT>(bitmap.GetHeight()));
}

// Opaque red with a blue 40 x 30 square at (40, 30): where a presented canvas lands shows.
inline void PaintRedWithBlueSquare(CFxPictor& canvas)
{
    canvas.Clear(255, 0, 0, 255);
    Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
    canvas.m_pGraphics->FillRectangle(&blue, 40, 30, 40, 30);
}

// Every pixel of the bitmap as straight ARGB, row by row (all 0 when it cannot be read, which fails the test).
inline std::vector<Gdiplus::ARGB> AllPixels(Gdiplus::Bitmap& bitmap)
{
    const int width = static_cast<int>(bitmap.GetWidth()), height = static_cast<int>(bitmap.GetHeight());
    std::vector<Gdiplus::ARGB> pixels(static_cast<size_t>(width) * height);
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        ADD_FAILURE() << "the bitmap cannot be read";
        return pixels;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * width], static_cast<const BYTE*>(data.Scan0) + y * data.Stride,
                    static_cast<size_t>(width) * 4);
    bitmap.UnlockBits(&data);
    return pixels;
}

// A pixel of a canvas and the colour expected there, each channel within the tolerance.
struct Spot {
    int x, y;
    Gdiplus::ARGB colour;
    int tolerance = 0;
};

// Checks every spot of a canvas, a bitmap or a device context (read with Pixel(x, y)); a failure names the spot,
// the colour found there and the caller's line.
template <typename Picture>
void ExpectPixels(Picture& picture, std::initializer_list<Spot> spots,
                  std::source_location where = std::source_location::current())
{
    for (const Spot& spot : spots) {
        Gdiplus::ARGB got = 0;
        if constexpr (requires { picture.Pixel(0, 0); })
            got = picture.Pixel(spot.x, spot.y);
        else
            got = PixelOf(picture, spot.x, spot.y);
        if (!Near(got, spot.colour, spot.tolerance))
            ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
                << "pixel (" << spot.x << ", " << spot.y << ") is " << std::hex << got << ", expected " << spot.colour
                << " within " << std::dec << spot.tolerance;
    }
}

// How many pixels of the first canvas differ from the second's at the same place (rows below `rows` not counted).
inline int DifferingPixels(CFxPictor& a, CFxPictor& b, int rows = 1 << 30)
{
    int count = 0;
    for (int y = 0; y < rows && y < a.m_nHeight; ++y)
        for (int x = 0; x < a.m_nWidth; ++x) count += PixelOf(a, x, y) != PixelOf(b, x, y);
    return count;
}

// A fresh folder under /tmp, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        char name[] = "/tmp/pictor-test-XXXXXX";
        m_path = mkdtemp(name) ? name : "/tmp";
    }
    ~TempFolder()
    {
        if (m_path != "/tmp") std::filesystem::remove_all(m_path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void WriteFile(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The CRC-32 of PNG chunks (polynomial 0xEDB88320), bit by bit.
inline uint32_t Crc32(const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The kilobytes the process has in memory now.
inline long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
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

// Everything a stream holds, from its start.
inline std::vector<char> StreamBytes(IStream* stream)
{
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

// The CLSID of the encoder for the MIME type (a failure when there is none).
inline CLSID EncoderFor(const WCHAR* mime)
{
    CLSID clsid{};
    EXPECT_TRUE(Gdiplus::FindImageEncoder(mime, &clsid)) << "no encoder";
    return clsid;
}

// Entropy-coded JPEG data, most significant bit first, with the 0 byte that follows every 0xFF.
class JpegBits {
public:
    explicit JpegBits(std::vector<char>& out) : bytes(out) {}
    void Put(unsigned value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            byte = byte << 1 | (value >> i & 1);
            if (++used < 8) continue;
            bytes.push_back(static_cast<char>(byte));
            if (byte == 0xFF) bytes.push_back(0);
            byte = used = 0;
        }
    }
    // Fills the last byte with 1 bits, as a scan ends.
    void Pad()
    {
        while (used) Put(1, 1);
    }

private:
    std::vector<char>& bytes;
    unsigned byte = 0;
    int used = 0;
};

// A valid progressive JPEG of a flat grey width x height picture in `scans` scans (at most 883): the DC
// scan, then for each coefficient 1 to 63 a scan of its top bit and 13 refinement scans, one bit each.
// Every scan passes over every block, yet the file stays small: a code stands for a run of 32767 empty
// blocks.
inline std::vector<char> ManyScanJpeg(int width, int height, int scans)
{
    std::vector<char> out;
    auto put = [&out](std::initializer_list<int> bytes) {
        for (int b : bytes) out.push_back(static_cast<char>(b));
    };
    put({0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0});  // start; quantisation table 0, all 1s
    out.insert(out.end(), 64, 1);
    put({0xFF, 0xC2, 0, 11, 8, height >> 8, height & 0xFF, width >> 8, width & 0xFF, 1, 1, 0x11, 0});
    // Huffman tables: DC, one code "0" for a zero difference; AC, 4-bit codes for the runs of 2^n empty blocks.
    put({0xFF, 0xC4, 0, 2 + 18 + 32, 0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    put({0x10, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int n = 0; n < 15; ++n) out.push_back(static_cast<char>(n << 4));
    const long blocks = static_cast<long>((width + 7) / 8) * ((height + 7) / 8);
    JpegBits bits(out);
    put({0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0, 0});
    for (long b = 0; b < blocks; ++b) bits.Put(0, 1);
    bits.Pad();
    for (int made = 1; made < scans && made < 1 + 63 * 14; ++made) {
        const int coefficient = 1 + (made - 1) / 14, step = (made - 1) % 14;
        put({0xFF, 0xDA, 0, 8, 1, 1, 0, coefficient, coefficient, step == 0 ? 13 : (14 - step) << 4 | (13 - step)});
        for (long left = blocks; left > 0;) {
            const long run = std::min(left, 32767L);
            int n = 0;
            while ((2L << n) <= run) ++n;
            bits.Put(static_cast<unsigned>(n), 4);
            bits.Put(static_cast<unsigned>(run - (1L << n)), n);
            left -= run;
        }
        bits.Pad();
    }
    put({0xFF, 0xD9});
    return out;
}

// A white bitmap and a drawing context on it, as a client of the GDI+ classes draws; ink is whatever is dark.
// Where pixel (x, y) of one drawing lands on another.
using PixelMap = std::function<void(int x, int y, int* tx, int* ty)>;
inline const PixelMap kSamePlace = [](int x, int y, int* tx, int* ty) { *tx = x, *ty = y; };

// A transparent premultiplied square bitmap; drawn in black, each pixel's alpha is the share of it covered.
template <int side> struct CoverageCanvas {
    Gdiplus::Bitmap bitmap{side, side, PixelFormat32bppPARGB};
    Gdiplus::Graphics graphics{&bitmap};
    std::vector<int> alpha;
    explicit CoverageCanvas(Gdiplus::SmoothingMode mode = Gdiplus::SmoothingModeAntiAlias)
    {
        graphics.SetSmoothingMode(mode);
    }
    void Read()
    {
        Gdiplus::Rect whole(0, 0, side, side);
        Gdiplus::BitmapData data;
        ASSERT_EQ(bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
        alpha.resize(side * side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                alpha[y * side + x] = static_cast<const BYTE*>(data.Scan0)[y * data.Stride + x * 4 + 3];
        bitmap.UnlockBits(&data);
    }
    int At(int x, int y) const { return alpha[y * side + x]; }
    // The coverage as ExpectPixels reads it: spots list the expected alpha as their colour.
    Gdiplus::ARGB Pixel(int x, int y) const { return static_cast<Gdiplus::ARGB>(At(x, y)); }
    long Ink() const
    {
        long sum = 0;
        for (int a : alpha) sum += a;
        return sum;
    }
    // The largest difference between this drawing at (x, y) and the other at map(x, y), over the canvas.
    int LargestDifference(const CoverageCanvas& other, const PixelMap& map) const
    {
        int largest = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                int tx = 0, ty = 0;
                map(x, y, &tx, &ty);
                if (tx >= 0 && ty >= 0 && tx < side && ty < side)
                    largest = std::max(largest, std::abs(At(x, y) - other.At(tx, ty)));
            }
        return largest;
    }
};

struct Surface {
    Gdiplus::Bitmap bitmap;
    Gdiplus::Graphics graphics{&bitmap};
    explicit Surface(int size = 100) : bitmap(size, size, PixelFormat32bppARGB)
    {
        graphics.Clear(Gdiplus::Color(Gdiplus::Color::White));
    }
    Gdiplus::ARGB At(int x, int y)
    {
        Gdiplus::Color c;
        bitmap.GetPixel(x, y, &c);
        return c.GetValue();
    }
    bool Ink(int x, int y) { return Channel(At(x, y), 8) < 128; }
    bool Blank(int x, int y) { return At(x, y) == Gdiplus::Color::White; }
    int Differing(Surface& other)
    {
        int count = 0;
        const int size = static_cast<int>(bitmap.GetWidth());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) count += At(x, y) != other.At(x, y);
        return count;
    }
};

}  // namespace pictor_test
