// Path gradients: the centre colour at the centre point, the surround colours along the outline, each pixel
// inside the outline the mix of the centre colour and the outline's colour where the line from the centre
// through the pixel meets the outline, in the share of its distance from the centre. Outside the outline the
// brush paints nothing. Blends, preset colours, focus scales, gamma correction and tiling stay with the
// engine.
#include <cmath>
#include <limits>
#include <vector>

#include "../Gdiplus.h"
#include "Coverage.h"
#include "Paint.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

struct Straight {
    double a, r, g, b;
};

Straight StraightOf(ARGB colour)
{
    return Straight{double(colour >> 24), double((colour >> 16) & 0xFF), double((colour >> 8) & 0xFF),
                    double(colour & 0xFF)};
}

Straight Mixed(const Straight& from, const Straight& to, double share)
{
    return Straight{from.a + (to.a - from.a) * share, from.r + (to.r - from.r) * share,
                    from.g + (to.g - from.g) * share, from.b + (to.b - from.b) * share};
}

ARGB Packed(const Straight& c)
{
    auto byte = [](double v) { return ARGB(std::lround(std::clamp(v, 0.0, 255.0))); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

class PathGradientShader final : public Shader {
public:
    PathGradientShader(const DeviceMap& deviceToBrush, Polygon outline, std::vector<ARGB> surround, PointF centre,
                       ARGB centreColour)
        : back(deviceToBrush), outline(std::move(outline)), centre(centre), centreColour(StraightOf(centreColour))
    {
        for (ARGB colour : surround) this->surround.push_back(StraightOf(colour));
    }

    void Span(INT x, INT y, INT count, uint32_t* out) const override
    {
        for (INT i = 0; i < count; ++i) {
            const double u = (x + i) * back.m11 + y * back.m21 + back.dx;
            const double v = (x + i) * back.m12 + y * back.m22 + back.dy;
            out[i] = Inside(u, v) ? EnginePremultiplied(Packed(ColourAt(u, v))) : 0;
        }
    }

private:
    // Even-odd, as GDI+ fills the brush's outline.
    bool Inside(double u, double v) const
    {
        bool inside = false;
        for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
            const double yi = outline[i].Y, yj = outline[j].Y;
            if ((yi > v) == (yj > v)) continue;
            const double crossing = outline[j].X + (v - yj) / (yi - yj) * (outline[i].X - outline[j].X);
            if (u < crossing) inside = !inside;
        }
        return inside;
    }

    Straight ColourAt(double u, double v) const
    {
        const double dx = u - centre.X, dy = v - centre.Y;
        double nearest = std::numeric_limits<double>::infinity();
        Straight edge = centreColour;
        for (size_t i = 0; i < outline.size(); ++i) {
            const size_t next = (i + 1) % outline.size();
            const double ex = double(outline[next].X) - outline[i].X, ey = double(outline[next].Y) - outline[i].Y;
            const double denominator = Cross(dx, dy, ex, ey);
            if (denominator == 0) continue;
            const double wx = double(outline[i].X) - centre.X, wy = double(outline[i].Y) - centre.Y;
            // The ray centre + reach (pixel - centre) meets the edge at outline[i] + along (edge).
            const double reach = Cross(wx, wy, ex, ey) / denominator;
            const double along = Cross(wx, wy, dx, dy) / denominator;
            if (reach > 0 && along >= 0 && along <= 1 && reach < nearest) {
                nearest = reach;
                edge = Mixed(surround[i], surround[next], along);
            }
        }
        if (!std::isfinite(nearest)) return centreColour;
        // The pixel lies 1 / reach of the way from the centre to the outline.
        return Mixed(centreColour, edge, std::clamp(1.0 / nearest, 0.0, 1.0));
    }

    DeviceMap back;
    Polygon outline;
    std::vector<Straight> surround;
    PointF centre;
    Straight centreColour;
};

// The gradient in its plain form: a linear blend, no preset colours, no focus, no gamma, clamped.
bool Plain(const PathGradientBrush& gradient)
{
    REAL focusX = 0, focusY = 0;
    return gradient.GetBlendCount() <= 1 && gradient.GetInterpolationColorCount() == 0 &&
           !gradient.GetGammaCorrection() && gradient.GetFocusScales(&focusX, &focusY) == Ok && focusX == 0 &&
           focusY == 0 && gradient.GetWrapMode() == WrapModeClamp;
}

}  // namespace

std::unique_ptr<Shader> MakePathGradientShader(const Brush* brush, const DeviceMap& map)
{
    const auto* gradient = dynamic_cast<const PathGradientBrush*>(brush);
    if (!gradient || !gradient->NativeBrush() || !Plain(*gradient)) return nullptr;
    const PathGradientBrush::Outline& made = gradient->Definition();
    if (made.points.size() < 3) return nullptr;
    std::vector<Polygon> figures;
    std::vector<bool> closed;
    if (!FlattenPath(made.points.data(), made.types.data(), INT(made.points.size()), PointF(0, 0), &figures,
                     &closed) ||
        figures.size() != 1 || figures.front().size() < 3)
        return nullptr;
    INT count = gradient->GetPointCount();
    std::vector<Color> colours(size_t(std::max(count, 1)));
    if (count <= 0 || gradient->GetSurroundColors(colours.data(), &count) != Ok) return nullptr;
    // Curves are flattened, so their colours can only be one.
    const bool curved = figures.front().size() != made.points.size();
    std::vector<ARGB> surround;
    for (size_t i = 0; i < figures.front().size(); ++i)
        surround.push_back(colours[curved ? 0 : std::min(i, colours.size() - 1)].GetValue());
    if (curved)
        for (const Color& colour : colours)
            if (colour.GetValue() != surround.front()) return nullptr;
    Color centreColour;
    PointF centre;
    Matrix transform;
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (gradient->GetCenterColor(&centreColour) != Ok || gradient->GetCenterPoint(&centre) != Ok ||
        gradient->GetTransform(&transform) != Ok || transform.GetElements(m) != Ok)
        return nullptr;
    DeviceMap deviceToBrush;
    if (!InvertMap(ThenMap(DeviceMap{m[0], m[1], m[2], m[3], m[4], m[5]}, map), &deviceToBrush)) return nullptr;
    return std::make_unique<PathGradientShader>(deviceToBrush, figures.front(), std::move(surround), centre,
                                                centreColour.GetValue());
}

}  // namespace Gdiplus
