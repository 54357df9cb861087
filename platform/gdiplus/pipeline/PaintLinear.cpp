// Linear gradient brushes at device pixels, with GDI+'s geometry: the colour is constant along lines
// perpendicular to the gradient line (from the first colour's start to the last colour's end), taken through
// the brush transform and the world transform. Along the line the colours follow the blend factors (or the
// interpolation colours), straight colours interpolated, with gamma 2.2 when asked, then premultiplied; beyond
// its ends the gradient tiles, or mirrors every other repeat for TileFlipX and TileFlipXY.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "GradientStops.h"
#include "Paint.h"

namespace Gdiplus {

namespace {

// Colours worked out along one repeat of the gradient: fine enough that neighbouring entries of a
// gradient over the full range differ by under a level.
const int kSteps = 1024;
const double kGamma = 2.2;
// Gradient positions are taken to this many parts of a tile.
const double kSnap = 1 << 20;

using Stop = GradientStop;

// The straight colour a share of the way from one colour to the other, channel by channel.
std::array<double, 4> Mix(ARGB from, ARGB to, double share, bool gamma)
{
    std::array<double, 4> mixed{};
    for (int i = 0; i < 4; ++i) {
        const int shift = 24 - 8 * i;
        double a = double((from >> shift) & 0xFF) / 255.0, b = double((to >> shift) & 0xFF) / 255.0;
        // Alpha is interpolated as it stands; colour channels in linear light when gamma-corrected.
        const bool linearLight = gamma && i > 0;
        if (linearLight) a = std::pow(a, kGamma), b = std::pow(b, kGamma);
        double value = a + (b - a) * share;
        if (linearLight) value = std::pow(value, 1.0 / kGamma);
        mixed[i] = value * 255.0;
    }
    return mixed;
}

uint32_t Premultiplied(const std::array<double, 4>& straight)
{
    const double alpha = std::clamp(straight[0], 0.0, 255.0);
    uint32_t pixel = uint32_t(alpha + 0.5) << 24;
    for (int i = 1; i < 4; ++i)
        pixel |= uint32_t(alpha * std::clamp(straight[i], 0.0, 255.0) / 255.0 + 0.5) << (24 - 8 * i);
    return pixel;
}

// The blend factors (or interpolation colours) of the brush, as the engine keeps them.
bool ReadBlend(DllExports::GpLineGradient* native, std::vector<Stop>* factors, std::vector<ARGB>* presetColours,
               std::vector<REAL>* presetPositions)
{
    INT presets = 0, blends = 0;
    if (DllExports::GdipGetLinePresetBlendCount(native, &presets) == Ok && presets >= 2) {
        presetColours->resize(size_t(presets));
        presetPositions->resize(size_t(presets));
        return DllExports::GdipGetLinePresetBlend(native, presetColours->data(), presetPositions->data(), presets) ==
               Ok;
    }
    if (DllExports::GdipGetLineBlendCount(native, &blends) != Ok) return false;
    if (blends < 2) {
        *factors = {{0.0, 0.0}, {1.0, 1.0}};
        return true;
    }
    std::vector<REAL> values(static_cast<size_t>(blends)), positions(static_cast<size_t>(blends));
    if (DllExports::GdipGetLineBlend(native, values.data(), positions.data(), blends) != Ok) return false;
    for (INT i = 0; i < blends; ++i) factors->push_back({positions[i], values[i]});
    return true;
}

// The premultiplied colours at steps 0 .. kSteps of one repeat.
bool ColoursAlong(DllExports::GpLineGradient* native, ARGB first, ARGB second, std::vector<uint32_t>* colours)
{
    std::vector<Stop> factors;
    std::vector<ARGB> presetColours;
    std::vector<REAL> presetPositions;
    BOOL gamma = FALSE;
    if (!ReadBlend(native, &factors, &presetColours, &presetPositions) ||
        DllExports::GdipGetLineGammaCorrection(native, &gamma) != Ok)
        return false;
    colours->resize(kSteps + 1);
    for (int i = 0; i <= kSteps; ++i) {
        const double t = double(i) / kSteps;
        if (presetColours.empty()) {
            (*colours)[i] = Premultiplied(Mix(first, second, ValueAt(factors, t), gamma));
            continue;
        }
        // Between the two interpolation colours around t.
        size_t next = 1;
        while (next + 1 < presetPositions.size() && t > presetPositions[next]) ++next;
        const double from = presetPositions[next - 1], span = presetPositions[next] - from;
        const double share = std::clamp(span > 0 ? (t - from) / span : 1.0, 0.0, 1.0);
        (*colours)[i] = Premultiplied(Mix(presetColours[next - 1], presetColours[next], share, gamma));
    }
    return true;
}

class LinearShader final : public Shader {
public:
    // t = perX x + perY y + at0 at pixel (x, y).
    LinearShader(double perX, double perY, double at0, bool mirrored, std::vector<uint32_t> colours)
        : perX(perX), perY(perY), at0(at0), mirrored(mirrored), colours(std::move(colours))
    {
    }

    void Span(INT x, INT y, INT count, uint32_t* out) const override
    {
        const double start = perX * x + perY * y + at0;
        for (INT i = 0; i < count; ++i) out[i] = colours[Step(start + perX * i)];
    }

private:
    size_t Step(double t) const
    {
        if (!std::isfinite(t)) return 0;
        // A pixel centre on a tile's end lands on it whatever route its coordinates took: rounding left by
        // the transforms (a millionth of a tile) does not carry it back into the tile before.
        t = std::nearbyint(t * kSnap) / kSnap;
        if (mirrored) {
            t -= 2.0 * std::floor(t / 2.0);
            if (t > 1.0) t = 2.0 - t;
        } else {
            t -= std::floor(t);
        }
        return size_t(std::clamp(t, 0.0, 1.0) * kSteps + 0.5);
    }

    double perX, perY, at0;
    bool mirrored;
    std::vector<uint32_t> colours;
};

}  // namespace

std::unique_ptr<Shader> MakeLinearShader(const Brush* brush, const DeviceMap& map)
{
    const auto* gradient = dynamic_cast<const LinearGradientBrush*>(brush);
    if (!gradient || !gradient->NativeBrush()) return nullptr;
    auto* native = reinterpret_cast<DllExports::GpLineGradient*>(gradient->NativeBrush());
    const LinearGradientBrush::Line& line = gradient->Definition();
    const REAL* m = line.transform;
    const DeviceMap brushToWorld{m[0], m[1], m[2], m[3], m[4], m[5]};
    DeviceMap deviceToBrush;
    WrapMode wrap = WrapModeTile;
    ARGB ends[2] = {0, 0};
    if (!InvertMap(ThenMap(brushToWorld, map), &deviceToBrush) ||
        DllExports::GdipGetLineWrapMode(native, &wrap) != Ok || DllExports::GdipGetLineColors(native, ends) != Ok)
        return nullptr;
    const double vx = double(line.to.X) - line.from.X, vy = double(line.to.Y) - line.from.Y;
    const double squared = vx * vx + vy * vy;
    if (!(squared > 0) || !std::isfinite(squared)) return nullptr;
    std::vector<uint32_t> colours;
    if (!ColoursAlong(native, ends[0], ends[1], &colours)) return nullptr;
    const DeviceMap& g = deviceToBrush;
    const double perX = (g.m11 * vx + g.m12 * vy) / squared, perY = (g.m21 * vx + g.m22 * vy) / squared;
    const double at0 = ((g.dx - line.from.X) * vx + (g.dy - line.from.Y) * vy) / squared;
    // Flipping across the line changes nothing along it: TileFlipY is a plain tile here.
    const bool mirrored = wrap == WrapModeTileFlipX || wrap == WrapModeTileFlipXY;
    return std::make_unique<LinearShader>(perX, perY, at0, mirrored, std::move(colours));
}

}  // namespace Gdiplus
