// Colour adjustments of a picture's pixels, one pixel at a time on straight colours, and the picture's
// surroundings by the wrap mode.
#include "ImageAdjust.h"

#include <cmath>

#include "PixelView.h"
#include "Premultiply.h"

namespace Gdiplus {

namespace {

// Pixels an adjusted area holds at most (256 MiB of them).
constexpr int64_t kMostAreaPixels = int64_t(1) << 26;

bool IsIdentity(const ColorMatrix& m)
{
    // The fifth column (the homogeneous one) plays no part in the colour.
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 4; ++column)
            if (m.m[row][column] != (row == column ? 1.0f : 0.0f)) return false;
    return true;
}

// True (with the factor) for the identity but for alpha scaled by a factor in [0, 1].
bool ScalesAlphaOnly(const ColorMatrix& m, REAL* factor)
{
    ColorMatrix identity = m;
    identity.m[3][3] = 1.0f;
    *factor = m.m[3][3];
    return IsIdentity(identity) && *factor >= 0.0f && *factor <= 1.0f;
}

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

// A channel value to a byte, rounded; values that are not numbers give 0.
uint32_t ToByte(float value)
{
    if (!(value > 0.0f)) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<uint32_t>(value + 0.5f);
}

bool IsGrey(uint32_t pixel)
{
    return Channel(pixel, 16) == Channel(pixel, 8) && Channel(pixel, 8) == Channel(pixel, 0);
}

// Between low and high in each colour channel (alpha is not compared, as GDI+ keys).
bool WithinKey(uint32_t pixel, ARGB low, ARGB high)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t value = Channel(pixel, shift);
        if (value < Channel(low, shift) || value > Channel(high, shift)) return false;
    }
    return true;
}

// The full chain of one kind's adjustments for straight pixels.
class Adjuster {
public:
    explicit Adjuster(const ColorAdjustments& settings) : settings(settings)
    {
        matrixOn = settings.matrixOn && !(IsIdentity(settings.colour) &&
                                          (settings.flags != ColorMatrixFlagsAltGray || IsIdentity(settings.grey)));
        for (uint32_t value = 0; value < 256; ++value) {
            uint32_t out = value;
            if (settings.thresholdOn) out = value / 255.0f > settings.threshold ? 255 : 0;
            if (settings.gammaOn) out = ToByte(std::pow(out / 255.0f, settings.gamma) * 255.0f);
            tone[value] = static_cast<uint8_t>(out);
        }
        toneOn = settings.thresholdOn || settings.gammaOn;
    }

    uint32_t Adjust(uint32_t pixel) const
    {
        if (settings.keyOn && WithinKey(pixel, settings.keyLow, settings.keyHigh)) pixel = 0;
        if (settings.remap) {
            const auto found = settings.remap->find(pixel);
            if (found != settings.remap->end()) pixel = found->second;
        }
        if (matrixOn) {
            if (settings.flags == ColorMatrixFlagsDefault || !IsGrey(pixel))
                pixel = Transform(pixel, settings.colour);
            else if (settings.flags == ColorMatrixFlagsAltGray)
                pixel = Transform(pixel, settings.grey);
        }
        if (toneOn)
            pixel = (pixel & 0xFF000000u) | uint32_t(tone[Channel(pixel, 16)]) << 16 |
                    uint32_t(tone[Channel(pixel, 8)]) << 8 | tone[Channel(pixel, 0)];
        return pixel;
    }

private:
    // The row vector (r, g, b, a, 1) times the matrix, channels in [0, 1].
    static uint32_t Transform(uint32_t pixel, const ColorMatrix& m)
    {
        const float in[4] = {float(Channel(pixel, 16)), float(Channel(pixel, 8)), float(Channel(pixel, 0)),
                             float(Channel(pixel, 24))};
        uint32_t out[4];
        for (int column = 0; column < 4; ++column) {
            float sum = m.m[4][column] * 255.0f;
            for (int row = 0; row < 4; ++row) sum += in[row] * m.m[row][column];
            out[column] = ToByte(sum);
        }
        return out[3] << 24 | out[0] << 16 | out[1] << 8 | out[2];
    }

    const ColorAdjustments& settings;
    bool matrixOn = false;
    bool toneOn = false;
    uint8_t tone[256]{};
};

// Where each column (or row) of the area reads the picture: its index, or -1 for the clamp colour.
std::vector<INT> SourceIndices(INT start, INT count, INT size, bool flips, bool clamps)
{
    std::vector<INT> indices(static_cast<size_t>(count));
    for (INT i = 0; i < count; ++i) {
        const int64_t at = int64_t(start) + i;
        if (at >= 0 && at < size) {
            indices[size_t(i)] = INT(at);
        } else if (clamps) {
            indices[size_t(i)] = -1;
        } else {
            const int64_t period = flips ? 2 * int64_t(size) : size;
            int64_t within = at % period;
            if (within < 0) within += period;
            indices[size_t(i)] = INT(within < size ? within : period - 1 - within);
        }
    }
    return indices;
}

uint32_t StraightOf(uint32_t pixel, PixelKind kind)
{
    if (kind == PixelKind::Premultiplied) return StraightPixel(pixel);
    if (kind == PixelKind::Opaque) return pixel | 0xFF000000u;
    return pixel;
}

uint32_t Stored(uint32_t straight, PixelKind kind)
{
    return kind == PixelKind::Premultiplied ? PremultiplyPixel(straight) : straight;
}

// The alpha-only matrix of a canvas drawn with an opacity, without unpremultiplying.
uint32_t AlphaScaled(uint32_t pixel, PixelKind kind, uint32_t factor)
{
    if (kind == PixelKind::Premultiplied) return ScaledPixel(pixel, factor);
    const uint32_t alpha = kind == PixelKind::Opaque ? 255u : pixel >> 24;
    return (pixel & 0x00FFFFFFu) | ((alpha * factor + 127) / 255) << 24;
}

}  // namespace

bool ColorAdjustments::ChangesNothing() const
{
    if (noOp) return true;
    const bool matrixIdle = !matrixOn || (IsIdentity(colour) && (flags != ColorMatrixFlagsAltGray || IsIdentity(grey)));
    return matrixIdle && !keyOn && !remap && !gammaOn && !thresholdOn;
}

const ColorAdjustments& ImageAdjustments::ForBitmaps() const
{
    const ColorAdjustments& own = kinds[ColorAdjustTypeBitmap];
    return own.AnySet() ? own : kinds[ColorAdjustTypeDefault];
}

bool AdjustPictureArea(const PictureRows& source, const Rect& area, const ImageAdjustments& adjustments,
                       AdjustedPicture* out)
{
    if (area.Width <= 0 || area.Height <= 0 || source.width <= 0 || source.height <= 0 ||
        int64_t(area.Width) * area.Height > kMostAreaPixels)
        return false;
    const ColorAdjustments& settings = adjustments.ForBitmaps();
    const bool clamps = adjustments.wrap == WrapModeClamp;
    const bool flipsX = adjustments.wrap == WrapModeTileFlipX || adjustments.wrap == WrapModeTileFlipXY;
    const bool flipsY = adjustments.wrap == WrapModeTileFlipY || adjustments.wrap == WrapModeTileFlipXY;
    const std::vector<INT> columns = SourceIndices(area.X, area.Width, source.width, flipsX, clamps);
    const std::vector<INT> rows = SourceIndices(area.Y, area.Height, source.height, flipsY, clamps);

    // An opaque source keeps its format while everything drawn stays opaque; the others keep theirs.
    const PixelKind kind = source.kind == PixelKind::Opaque ? PixelKind::Straight : source.kind;
    const Adjuster adjuster(settings);
    REAL factor = 1.0f;
    const bool alphaOnly = !settings.noOp && settings.matrixOn && settings.flags == ColorMatrixFlagsDefault &&
                           !settings.keyOn && !settings.remap && !settings.gammaOn && !settings.thresholdOn &&
                           ScalesAlphaOnly(settings.colour, &factor);
    const uint32_t factor255 = static_cast<uint32_t>(factor * 255.0f + 0.5f);
    const uint32_t outside = Stored(adjustments.clampColour, kind);

    out->width = area.Width;
    out->height = area.Height;
    out->pixels.assign(size_t(area.Width) * size_t(area.Height), 0);
    uint32_t opaque = 0xFF000000u;
    for (INT y = 0; y < area.Height; ++y) {
        uint32_t* target = out->pixels.data() + size_t(y) * size_t(area.Width);
        const INT sourceRow = rows[size_t(y)];
        const uint32_t* row = sourceRow < 0 ? nullptr : source.scan0 + sourceRow * source.strideWords;
        for (INT x = 0; x < area.Width; ++x) {
            const INT sourceColumn = columns[size_t(x)];
            uint32_t pixel = outside;
            if (row && sourceColumn >= 0) {
                const uint32_t read = row[sourceColumn];
                if (settings.noOp)
                    pixel = source.kind == PixelKind::Opaque ? read | 0xFF000000u : read;
                else if (alphaOnly)
                    pixel = AlphaScaled(read, source.kind, factor255);
                else
                    pixel = Stored(adjuster.Adjust(StraightOf(read, source.kind)), kind);
            }
            opaque &= pixel;
            target[x] = pixel;
        }
    }
    if (source.kind == PixelKind::Opaque && opaque == 0xFF000000u)
        out->format = PixelFormat32bppRGB;
    else
        out->format = kind == PixelKind::Premultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
    return true;
}

}  // namespace Gdiplus
