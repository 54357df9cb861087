// The paint stage's choice of paint for a brush, and the compositing of a shader's span over coverage.
#include "Paint.h"

#include <algorithm>
#include <cmath>

#include "../Gdiplus.h"
#include "../text/GlyphBlend.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

// Pixels a shader writes at once, on the stack.
const INT kSpanChunk = 256;
// Pixels at an outline composited at once.
const INT kMostSharesAtOnce = 64;

// One colour everywhere, for a solid paint that copies.
class SolidShader final : public Shader {
public:
    explicit SolidShader(uint32_t premultiplied) : pixel(premultiplied) {}
    void Span(INT, INT, INT count, uint32_t* out) const override { std::fill_n(out, count, pixel); }

private:
    uint32_t pixel;
};

// The span scaled to the coverage, in place of the row's pixels.
void CopySpan(uint32_t* pixels, const uint32_t* span, INT count, int coverage)
{
    if (coverage == 255) {
        std::copy_n(span, count, pixels);
        return;
    }
    for (INT i = 0; i < count; ++i) pixels[i] = ScaledPixel(span[i], static_cast<uint32_t>(coverage));
}

// The span scaled to the coverage and composited over the row's pixels, four at a time: a hatch or
// gradient fill spends most of its time here.
void OverSpan(uint32_t* pixels, const uint32_t* span, INT count, int coverage)
{
    INT i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i sources = _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + i));
        if (coverage != 255) sources = ScaledFour(sources, coverage);
        auto* at = reinterpret_cast<__m128i*>(pixels + i);
        _mm_storeu_si128(at, OverFour(sources, _mm_loadu_si128(at)));
    }
    for (; i < count; ++i) pixels[i] = OverPixel(ScaledPixel(span[i], static_cast<uint32_t>(coverage)), pixels[i]);
}

bool SolidColourOf(const Brush* brush, ARGB* colour)
{
    BrushType type = BrushTypeLinearGradient;
    DllExports::GpBrush* native = brush ? brush->NativeBrush() : nullptr;
    return native && DllExports::GdipGetBrushType(native, &type) == Ok && type == BrushTypeSolidColor &&
           DllExports::GdipGetSolidFillColor(reinterpret_cast<DllExports::GpSolidFill*>(native), colour) == Ok;
}

}  // namespace

PaintSource::PaintSource(const Brush* brush, const DeviceMap& map, const Point& renderingOrigin)
{
    if (!brush || !brush->NativeBrush()) return;
    if (SolidColourOf(brush, &colour)) {
        solid = true;
        return;
    }
    // A hatch is told by its class: the layer makes its large confetti as a texture.
    shader = MakeHatchShader(brush, renderingOrigin);
    if (!shader) shader = MakeLinearShader(brush, map);
    if (!shader) shader = MakeTextureShader(brush, map);
    if (!shader) shader = MakePathGradientShader(brush, map);
    opaque = shader && shader->Opaque();
}

void PaintSource::CopyInstead()
{
    if (solid) shader = std::make_unique<SolidShader>(EnginePremultiplied(colour));
    solid = false;
    copying = true;
}

void PaintSource::Composite(uint32_t* row, INT x, INT y, INT count, int coverage) const
{
    if (coverage <= 0) return;
    uint32_t span[kSpanChunk];
    for (INT done = 0; done < count; done += kSpanChunk) {
        const INT n = std::min(kSpanChunk, count - done);
        uint32_t* pixels = row + done;
        if (coverage == 255 && (copying || opaque)) {
            // The paint's pixels replace those under them whole: written in their place.
            shader->Span(x + done, y, n, pixels);
            continue;
        }
        shader->Span(x + done, y, n, span);
        if (copying) {
            CopySpan(pixels, span, n, coverage);
        } else {
            OverSpan(pixels, span, n, coverage);
        }
    }
}

void PaintSource::CompositeShares(uint32_t* row, INT x, INT y, INT count, const uint8_t* shares) const
{
    uint32_t span[kMostSharesAtOnce];
    count = std::min(count, kMostSharesAtOnce);
    shader->Span(x, y, count, span);
    for (INT i = 0; i < count; ++i) {
        const int coverage = shares[i];
        if (coverage == 0) continue;
        if (coverage == 255 && (copying || opaque))
            row[i] = span[i];
        else if (copying)
            CopySpan(row + i, span + i, 1, coverage);
        else
            OverSpan(row + i, span + i, 1, coverage);
    }
}

PaintSource PenPaint(const Pen* pen, ARGB colour, const DeviceMap& map, const Point& renderingOrigin)
{
    PenType type = PenTypeUnknown;
    if (!pen || !pen->NativePen() || DllExports::GdipGetPenFillType(pen->NativePen(), &type) != Ok ||
        type == PenTypeSolidColor)
        return PaintSource(colour);
    // Without the pen's copy of its brush the stage cannot paint it: an empty paint leaves it to the engine.
    return PaintSource(pen->StrokeBrush(), map, renderingOrigin);
}

DeviceMap ThenMap(const DeviceMap& a, const DeviceMap& b)
{
    return DeviceMap{a.m11 * b.m11 + a.m12 * b.m21,      a.m11 * b.m12 + a.m12 * b.m22,
                     a.m21 * b.m11 + a.m22 * b.m21,      a.m21 * b.m12 + a.m22 * b.m22,
                     a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

}  // namespace Gdiplus
