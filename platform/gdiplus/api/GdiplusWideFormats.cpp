// Row conversions between the engine's 32-bit pixels and the formats it cannot hold (WidePixels.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "../pipeline/Premultiply.h"
#include "WidePixels.h"

namespace Gdiplus {

namespace {

const uint32_t kLinearOne = 8192;  // full intensity of a 48- or 64-bit channel

// The sRGB curve from 8-bit values to linear 0..8192, and back by the nearest entry.
class LinearTable {
public:
    LinearTable()
    {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            toLinear[i] = static_cast<uint16_t>(std::lround(linear * kLinearOne));
        }
    }
    uint16_t Linear(uint32_t c) const { return toLinear[c & 0xFF]; }
    uint32_t Encoded(uint32_t linear) const
    {
        const uint16_t* end = toLinear + 256;
        const uint16_t* above = std::lower_bound(toLinear, end, static_cast<uint16_t>(std::min(linear, kLinearOne)));
        if (above == end) return 255;
        if (above == toLinear) return 0;
        return static_cast<uint32_t>(above - toLinear) - (linear - above[-1] < *above - linear ? 1 : 0);
    }

private:
    uint16_t toLinear[256];
};

const LinearTable& Table()
{
    static const LinearTable table;
    return table;
}

uint16_t LinearAlpha(uint32_t a) { return static_cast<uint16_t>((a * kLinearOne + 127) / 255); }
uint32_t EncodedAlpha(uint32_t a) { return (std::min(a, kLinearOne) * 255 + kLinearOne / 2) / kLinearOne; }

// Engine pixels to straight ARGB and back, by the engine bitmap's own format.
enum class Native { Straight, Premultiplied, Opaque };

uint32_t StraightOf(uint32_t pixel, Native native)
{
    if (native == Native::Opaque) return pixel | 0xFF000000u;
    return native == Native::Premultiplied ? StraightPixel(pixel) : pixel;
}

uint32_t NativeOf(uint32_t straight, Native native)
{
    if (native == Native::Opaque) return straight | 0xFF000000u;
    return native == Native::Premultiplied ? PremultiplyPixel(straight) : straight;
}

void PutWords(BYTE* out, const uint16_t* words, int count) { std::memcpy(out, words, sizeof(uint16_t) * count); }

// One straight ARGB pixel written in the wide format (blue first, as GDI+ lays out every format).
void PutWide(PixelFormat wide, uint32_t argb, BYTE* out)
{
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    if (wide == PixelFormat16bppARGB1555) {
        const uint16_t packed =
            static_cast<uint16_t>((a >= 128 ? 0x8000 : 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        PutWords(out, &packed, 1);
        return;
    }
    const LinearTable& table = Table();
    uint16_t words[4] = {table.Linear(b), table.Linear(g), table.Linear(r), LinearAlpha(a)};
    if (wide == PixelFormat64bppPARGB)
        for (int i = 0; i < 3; ++i)
            words[i] = static_cast<uint16_t>((words[i] * words[3] + kLinearOne / 2) / kLinearOne);
    PutWords(out, words, wide == PixelFormat48bppRGB ? 3 : 4);
}

uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }

// One pixel of the wide format read as straight ARGB.
uint32_t GetWide(PixelFormat wide, const BYTE* in)
{
    uint16_t words[4] = {0, 0, 0, static_cast<uint16_t>(kLinearOne)};
    if (wide == PixelFormat16bppARGB1555) {
        std::memcpy(words, in, 2);
        const uint32_t p = words[0];
        return (p & 0x8000 ? 0xFF000000u : 0u) | Widen5((p >> 10) & 0x1F) << 16 | Widen5((p >> 5) & 0x1F) << 8 |
               Widen5(p & 0x1F);
    }
    std::memcpy(words, in, sizeof(uint16_t) * (wide == PixelFormat48bppRGB ? 3 : 4));
    uint32_t linear[3] = {words[0], words[1], words[2]};
    if (wide == PixelFormat64bppPARGB)
        for (uint32_t& c : linear) c = words[3] ? (c * kLinearOne + words[3] / 2) / words[3] : 0;
    const LinearTable& table = Table();
    return EncodedAlpha(words[3]) << 24 | table.Encoded(linear[2]) << 16 | table.Encoded(linear[1]) << 8 |
           table.Encoded(linear[0]);
}

size_t WideBytes(PixelFormat wide) { return (wide >> 8 & 0xFF) / 8; }

template <PixelFormat Wide, Native From> void ToWideRow(const BYTE* engine, BYTE* caller, size_t callerBytes)
{
    const size_t count = callerBytes / WideBytes(Wide);
    const auto* in = reinterpret_cast<const uint32_t*>(engine);
    for (size_t i = 0; i < count; ++i) PutWide(Wide, StraightOf(in[i], From), caller + i * WideBytes(Wide));
}

template <PixelFormat Wide, Native To> void FromWideRow(const BYTE* caller, BYTE* engine, size_t callerBytes)
{
    const size_t count = callerBytes / WideBytes(Wide);
    auto* out = reinterpret_cast<uint32_t*>(engine);
    for (size_t i = 0; i < count; ++i) out[i] = NativeOf(GetWide(Wide, caller + i * WideBytes(Wide)), To);
}

template <PixelFormat Wide> WideRowForms FormsFor(Native native)
{
    switch (native) {
    case Native::Straight:
        return {ToWideRow<Wide, Native::Straight>, FromWideRow<Wide, Native::Straight>};
    case Native::Premultiplied:
        return {ToWideRow<Wide, Native::Premultiplied>, FromWideRow<Wide, Native::Premultiplied>};
    default:
        return {ToWideRow<Wide, Native::Opaque>, FromWideRow<Wide, Native::Opaque>};
    }
}

}  // namespace

bool IsWideFormat(PixelFormat format)
{
    return format == PixelFormat16bppARGB1555 || format == PixelFormat48bppRGB || format == PixelFormat64bppARGB ||
           format == PixelFormat64bppPARGB;
}

bool WideHasAlpha(PixelFormat format) { return IsWideFormat(format) && format != PixelFormat48bppRGB; }

WideRowForms WideRows(PixelFormat native, PixelFormat wide)
{
    Native from = Native::Straight;
    if (native == PixelFormat32bppPARGB)
        from = Native::Premultiplied;
    else if (native == PixelFormat32bppRGB)
        from = Native::Opaque;
    else if (native != PixelFormat32bppARGB)
        return {};
    switch (wide) {
    case PixelFormat16bppARGB1555:
        return FormsFor<PixelFormat16bppARGB1555>(from);
    case PixelFormat48bppRGB:
        return FormsFor<PixelFormat48bppRGB>(from);
    case PixelFormat64bppARGB:
        return FormsFor<PixelFormat64bppARGB>(from);
    case PixelFormat64bppPARGB:
        return FormsFor<PixelFormat64bppPARGB>(from);
    default:
        return {};
    }
}

ARGB QuantisedAs(PixelFormat wide, ARGB straight)
{
    BYTE pixel[8];
    PutWide(wide, straight, pixel);
    return GetWide(wide, pixel);
}

}  // namespace Gdiplus
