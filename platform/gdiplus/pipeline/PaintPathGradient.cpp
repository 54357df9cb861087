// Path gradients: the centre colour at the centre point (or over the focus outline, the brush's outline
// scaled about the centre by the focus scales), the surround colours along the outline. Each pixel takes its
// place along the line from the centre through it: 0 where that line meets the outline, 1 at the centre or
// the focus outline. The blend factors give the centre colour's share at each place (or the interpolation
// colours the colour there), mixed in linear light when gamma correction is on. Clamped, the brush paints
// inside its outline only; the tile and flip modes repeat that over the plane in tiles the size of the
// outline's bounds, every other tile mirrored across for the flips.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "../Gdiplus.h"
#include "GradientStops.h"
#include "Coverage.h"
#include "Paint.h"
#include "PixelView.h"

namespace Gdiplus {

namespace {

// Places worked out along the centre-to-outline line: neighbouring entries differ by under a level.
const int kSteps = 1024;
const double kGamma = 2.2;
// Focus scales below this are taken as a point: the focus outline shrinks to the centre.
const double kSmallestFocus = 1e-9;
// The most edge numbers the buckets hold each way: 4M (16 MiB), or this many for each point of an outline
// longer than that, so that the index stays a bounded multiple of the outline itself.
const size_t kMostBucketed = size_t(1) << 22;
const size_t kBucketedPerPoint = 8;

struct Straight {
    double a, r, g, b;
};

Straight StraightOf(ARGB colour)
{
    return Straight{double(colour >> 24), double((colour >> 16) & 0xFF), double((colour >> 8) & 0xFF),
                    double(colour & 0xFF)};
}

// A share of the way from one colour to the other; colour channels in linear light when gamma-corrected.
Straight Mixed(const Straight& from, const Straight& to, double share, bool gamma)
{
    const auto channel = [&](double a, double b) {
        if (!gamma) return a + (b - a) * share;
        const double la = std::pow(a / 255.0, kGamma), lb = std::pow(b / 255.0, kGamma);
        return std::pow(std::max(la + (lb - la) * share, 0.0), 1.0 / kGamma) * 255.0;
    };
    return Straight{from.a + (to.a - from.a) * share, channel(from.r, to.r), channel(from.g, to.g),
                    channel(from.b, to.b)};
}

ARGB Packed(const Straight& c)
{
    auto byte = [](double v) { return ARGB(std::lround(std::clamp(v, 0.0, 255.0))); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// An angle's stand-in in [0, 4): it rises with the direction's angle from the x axis as atan2's does, and is
// cheaper to find. Not a number for a direction that is not one.
double PseudoAngle(double dx, double dy)
{
    const double r = dx / (std::fabs(dx) + std::fabs(dy));
    return dy >= 0 ? 1 - r : 3 + r;
}

// Edge numbers gathered into buckets, rising within each: the only edges a query falling in a bucket can
// meet. One bucket holds every edge.
class EdgeBuckets {
public:
    // `span(edge, &first, &count)` names each edge's buckets: `count` of them from `first` on, wrapping past
    // the last. False, holding nothing, when they would hold more than `most` numbers.
    template <typename Span> bool Build(size_t edges, size_t buckets, size_t most, Span span)
    {
        starts.assign(buckets + 1, 0);
        numbers.clear();
        size_t total = 0;
        for (size_t edge = 0; edge < edges; ++edge) {
            size_t first = 0, count = 0;
            span(edge, &first, &count);
            count = std::min(count, buckets);
            if ((total += count) > most) return Clear();
            for (size_t k = 0; k < count; ++k) ++starts[(first + k) % buckets + 1];
        }
        for (size_t k = 0; k < buckets; ++k) starts[k + 1] += starts[k];
        numbers.resize(total);
        std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
        for (size_t edge = 0; edge < edges; ++edge) {
            size_t first = 0, count = 0;
            span(edge, &first, &count);
            count = std::min(count, buckets);
            for (size_t k = 0; k < count; ++k) numbers[next[(first + k) % buckets]++] = uint32_t(edge);
        }
        return true;
    }
    size_t Count() const { return starts.empty() ? 0 : starts.size() - 1; }
    const uint32_t* Begin(size_t bucket) const { return numbers.data() + starts[bucket]; }
    const uint32_t* End(size_t bucket) const { return numbers.data() + starts[bucket + 1]; }

private:
    bool Clear()
    {
        starts.assign(2, 0);
        numbers.clear();
        return false;
    }
    std::vector<uint32_t> starts;
    std::vector<uint32_t> numbers;
};

// The outline's edges (edge k runs from point k to the next) bucketed two ways, so that a pixel meets only
// the edges near it instead of walking the whole outline: by rows of the outline's height, for the even-odd
// inside test along a row, and by the direction they lie in from the centre, for the ray from the centre.
// A bucket is found by arithmetic that never decreases, so every edge a query can meet lies in its bucket.
// Outlines whose edges span many buckets (long edges, many of them) get fewer, wider buckets, down to one
// that holds every edge once: the index's size is bounded whatever the outline.
class OutlineIndex {
public:
    // False only for an outline of more edges than the numbers can name.
    bool Build(const Polygon& outline, PointF centre)
    {
        const size_t n = outline.size();
        if (n > std::numeric_limits<uint32_t>::max()) return false;
        const size_t most = std::max(kMostBucketed, kBucketedPerPoint * n);
        low = high = outline.front().Y;
        for (const PointF& p : outline) low = std::min(low, double(p.Y)), high = std::max(high, double(p.Y));
        const auto rows = [&](size_t edge, size_t* first, size_t* count) {
            const double a = outline[edge].Y, b = outline[(edge + 1) % n].Y;
            *first = RowOf(std::min(a, b));
            *count = RowOf(std::max(a, b)) - *first + 1;
        };
        const auto directions = [&](size_t edge, size_t* first, size_t* count) {
            Directions(outline[edge], outline[(edge + 1) % n], centre, first, count);
        };
        for (buckets = std::clamp<size_t>(n, 1, size_t(1) << 16);; buckets /= 2) {
            rowScale = high > low ? double(buckets) / (high - low) : 0.0;
            angleScale = double(buckets) / 4.0;
            if (byRow.Build(n, buckets, most, rows) && byDirection.Build(n, buckets, most, directions)) return true;
            // One bucket holds each edge once, n numbers each way, always within `most`.
            if (buckets == 1) return false;
        }
    }

    // The edges that may cross row v.
    const EdgeBuckets& Rows() const { return byRow; }
    size_t RowOf(double v) const { return Bucket((v - low) * rowScale); }
    bool WithinRows(double v) const { return v >= low && v < high; }
    // The edges the ray from the centre in direction (dx, dy) may meet.
    const EdgeBuckets& Directions() const { return byDirection; }
    size_t DirectionOf(double angle) const { return Bucket(angle * angleScale); }

private:
    // The bucket at a scaled place, the first for a place that is not a number.
    size_t Bucket(double place) const { return place > 0 ? size_t(std::min(place, double(buckets - 1))) : 0; }

    // The buckets of the directions an edge spans seen from the centre, a bucket more each side; every
    // bucket for an edge through the centre or whose directions are not numbers.
    void Directions(PointF a, PointF b, PointF centre, size_t* first, size_t* count) const
    {
        const double ax = double(a.X) - centre.X, ay = double(a.Y) - centre.Y;
        const double bx = double(b.X) - centre.X, by = double(b.Y) - centre.Y;
        const double turn = Cross(ax, ay, bx, by);
        double from = PseudoAngle(ax, ay), to = PseudoAngle(bx, by);
        const bool through = turn == 0 && ax * bx + ay * by <= 0;
        if (through || !std::isfinite(turn) || !std::isfinite(from) || !std::isfinite(to)) {
            *first = 0, *count = std::numeric_limits<size_t>::max();
            return;
        }
        // The edge spans the directions from `from` round to `to`, the shorter way (under half a turn).
        if (turn < 0) std::swap(from, to);
        if (to < from) to += 4;
        const size_t start = size_t(std::floor(from * angleScale)), end = size_t(std::floor(to * angleScale));
        *first = (start + buckets - 1) % buckets;
        *count = end - start + 3;
    }

    EdgeBuckets byRow, byDirection;
    size_t buckets = 1;
    double low = 0, high = 0, rowScale = 0, angleScale = 0;
};

using Stop = GradientStop;

// How colours run from the outline (place 0) to the centre (place 1): blend factors, or interpolation
// colours when the brush has them.
struct Ramp {
    std::vector<Stop> factors;
    std::vector<ARGB> presetColours;
    std::vector<REAL> presetPositions;
    bool gamma = false;

    bool Preset() const { return !presetColours.empty(); }

    // The straight colour at a place, between the colours at the outline and the centre.
    Straight At(double place, const Straight& edge, const Straight& centre) const
    {
        if (!Preset()) return Mixed(edge, centre, ValueAt(factors, place), gamma);
        size_t next = 1;
        while (next + 1 < presetPositions.size() && place > presetPositions[next]) ++next;
        const double from = presetPositions[next - 1], span = presetPositions[next] - from;
        const double share = std::clamp(span > 0 ? (place - from) / span : 1.0, 0.0, 1.0);
        return Mixed(StraightOf(presetColours[next - 1]), StraightOf(presetColours[next]), share, gamma);
    }
};

bool ReadRamp(DllExports::GpPathGradient* native, Ramp* ramp)
{
    INT presets = 0, blends = 0;
    BOOL gamma = FALSE;
    if (DllExports::GdipGetPathGradientGammaCorrection(native, &gamma) != Ok) return false;
    ramp->gamma = gamma != FALSE;
    if (DllExports::GdipGetPathGradientPresetBlendCount(native, &presets) == Ok && presets >= 2) {
        ramp->presetColours.resize(size_t(presets));
        ramp->presetPositions.resize(size_t(presets));
        return DllExports::GdipGetPathGradientPresetBlend(native, ramp->presetColours.data(),
                                                          ramp->presetPositions.data(), presets) == Ok;
    }
    if (DllExports::GdipGetPathGradientBlendCount(native, &blends) != Ok) return false;
    if (blends < 2) {
        ramp->factors = {{0.0, 0.0}, {1.0, 1.0}};
        return true;
    }
    std::vector<REAL> values(static_cast<size_t>(blends)), positions(static_cast<size_t>(blends));
    if (DllExports::GdipGetPathGradientBlend(native, values.data(), positions.data(), blends) != Ok) return false;
    for (INT i = 0; i < blends; ++i) ramp->factors.push_back({positions[i], values[i]});
    return true;
}

// The brush transform. The engine answers WrongState while interpolation colours are set, so it is read
// from a copy of the brush whose colours are put back to a blend.
bool ReadTransform(const PathGradientBrush& gradient, bool preset, REAL m[6])
{
    Matrix transform;
    if (!preset) return gradient.GetTransform(&transform) == Ok && transform.GetElements(m) == Ok;
    DllExports::GpBrush* copy = nullptr;
    if (DllExports::GdipCloneBrush(gradient.NativeBrush(), &copy) != Ok || !copy) return false;
    auto* native = reinterpret_cast<DllExports::GpPathGradient*>(copy);
    const REAL factors[] = {0, 1}, positions[] = {0, 1};
    const bool read = DllExports::GdipSetPathGradientBlend(native, factors, positions, 2) == Ok &&
                      DllExports::GdipGetPathGradientTransform(native, transform.NativeMatrix()) == Ok &&
                      transform.GetElements(m) == Ok;
    DllExports::GdipDeleteBrush(copy);
    return read;
}

// Where the tiles repeat in brush space; none when clamped.
struct Tiling {
    bool tiled = false, flipX = false, flipY = false;
    double x = 0, y = 0, width = 1, height = 1;

    // The point carried into the first tile, mirrored for the flipped tiles.
    void Fold(double* u, double* v) const
    {
        if (!tiled) return;
        *u = Folded(*u, x, width, flipX);
        *v = Folded(*v, y, height, flipY);
    }

    static double Folded(double value, double start, double size, bool flip)
    {
        const double tiles = std::floor((value - start) / size);
        const double within = value - start - tiles * size;
        const bool mirrored = flip && std::fmod(std::fabs(tiles), 2.0) == 1.0;
        return start + (mirrored ? size - within : within);
    }
};

class PathGradientShader final : public Shader {
public:
    PathGradientShader(const DeviceMap& deviceToBrush, Polygon outline, OutlineIndex index, std::vector<ARGB> surround,
                       PointF centre, ARGB centreColour, Ramp ramp, PointF focus, Tiling tiling)
        : back(deviceToBrush), outline(std::move(outline)), index(std::move(index)), centre(centre),
          centreColour(StraightOf(centreColour)), ramp(std::move(ramp)),
          focusX(std::max(double(std::fabs(focus.X)), kSmallestFocus)),
          focusY(std::max(double(std::fabs(focus.Y)), kSmallestFocus)), focused(focus.X != 0 || focus.Y != 0),
          tiling(tiling)
    {
        for (ARGB colour : surround) this->surround.push_back(StraightOf(colour));
        oneEdgeColour = std::all_of(surround.begin(), surround.end(), [&](ARGB c) { return c == surround.front(); });
        // One colour along the outline (or interpolation colours): the colours at each place are worked
        // out once.
        if (this->ramp.Preset() || oneEdgeColour) {
            for (int i = 0; i <= kSteps; ++i)
                table.push_back(EnginePremultiplied(
                    Packed(this->ramp.At(double(i) / kSteps, this->surround.front(), this->centreColour))));
        }
    }

    void Span(INT x, INT y, INT count, uint32_t* out) const override
    {
        for (INT i = 0; i < count; ++i) {
            double u = (x + i) * back.m11 + y * back.m21 + back.dx;
            double v = (x + i) * back.m12 + y * back.m22 + back.dy;
            tiling.Fold(&u, &v);
            out[i] = std::isfinite(u) && std::isfinite(v) && Inside(u, v) ? ColourAt(u, v) : 0;
        }
    }

private:
    // Even-odd, as GDI+ fills the brush's outline.
    bool Inside(double u, double v) const
    {
        if (!index.WithinRows(v)) return false;
        const EdgeBuckets& rows = index.Rows();
        const size_t row = index.RowOf(v);
        bool inside = false;
        for (const uint32_t* edge = rows.Begin(row); edge != rows.End(row); ++edge) {
            const size_t j = *edge, i = (j + 1) % outline.size();
            const double yi = outline[i].Y, yj = outline[j].Y;
            if ((yi > v) == (yj > v)) continue;
            const double crossing = outline[j].X + (v - yj) / (yi - yj) * (outline[i].X - outline[j].X);
            if (u < crossing) inside = !inside;
        }
        return inside;
    }

    // How many times the direction reaches from the centre to the nearest crossing of the outline (infinite
    // when it crosses none), and the outline's colour there when asked.
    double Reach(double dx, double dy, Straight* edge) const
    {
        double nearest = std::numeric_limits<double>::infinity();
        const double angle = PseudoAngle(dx, dy);
        if (!std::isfinite(angle)) return nearest;
        const EdgeBuckets& directions = index.Directions();
        const size_t bucket = index.DirectionOf(angle);
        for (const uint32_t* number = directions.Begin(bucket); number != directions.End(bucket); ++number) {
            const size_t i = *number;
            const size_t next = (i + 1) % outline.size();
            const double ex = double(outline[next].X) - outline[i].X, ey = double(outline[next].Y) - outline[i].Y;
            const double denominator = Cross(dx, dy, ex, ey);
            if (denominator == 0) continue;
            const double wx = double(outline[i].X) - centre.X, wy = double(outline[i].Y) - centre.Y;
            // The ray centre + reach (direction) meets the edge at outline[i] + along (edge).
            const double reach = Cross(wx, wy, ex, ey) / denominator;
            const double along = Cross(wx, wy, dx, dy) / denominator;
            if (reach > 0 && along >= 0 && along <= 1 && reach < nearest) {
                nearest = reach;
                if (edge) *edge = Mixed(surround[i], surround[next], along, false);
            }
        }
        return nearest;
    }

    // The pixel's place: 0 on the outline, 1 at the centre or within the focus outline.
    double Place(double dx, double dy, Straight* edge) const
    {
        if (dx == 0 && dy == 0) return 1;
        const double outer = Reach(dx, dy, edge);
        if (!std::isfinite(outer)) return 1;
        // The focus outline is the outline scaled about the centre: it lies along this direction where the
        // outline lies along the direction unscaled.
        const double inner = focused ? Reach(dx / focusX, dy / focusY, nullptr) : 0.0;
        if (!(inner < 1)) return 1;
        if (!(outer > inner)) return 0;
        return std::clamp((outer - 1) / (outer - inner), 0.0, 1.0);
    }

    uint32_t ColourAt(double u, double v) const
    {
        Straight edge = surround.front();
        const double place = Place(u - centre.X, v - centre.Y, table.empty() ? &edge : nullptr);
        if (!table.empty()) return table[size_t(place * kSteps + 0.5)];
        return EnginePremultiplied(Packed(ramp.At(place, edge, centreColour)));
    }

    DeviceMap back;
    Polygon outline;
    OutlineIndex index;
    std::vector<Straight> surround;
    PointF centre;
    Straight centreColour;
    Ramp ramp;
    double focusX, focusY;
    bool focused;
    Tiling tiling;
    bool oneEdgeColour = true;
    std::vector<uint32_t> table;
};

bool ReadTiling(const PathGradientBrush& gradient, Tiling* tiling)
{
    const WrapMode wrap = gradient.GetWrapMode();
    if (wrap == WrapModeClamp) return true;
    RectF bounds;
    if (gradient.GetRectangle(&bounds) != Ok || !(bounds.Width > 0) || !(bounds.Height > 0) ||
        !std::isfinite(bounds.Width) || !std::isfinite(bounds.Height))
        return false;
    tiling->tiled = true;
    tiling->flipX = wrap == WrapModeTileFlipX || wrap == WrapModeTileFlipXY;
    tiling->flipY = wrap == WrapModeTileFlipY || wrap == WrapModeTileFlipXY;
    tiling->x = bounds.X, tiling->y = bounds.Y, tiling->width = bounds.Width, tiling->height = bounds.Height;
    return true;
}

// The outline's colours, one a flattened point: curves are flattened, so their colours can only be one.
bool ReadSurround(const PathGradientBrush& gradient, size_t flattened, size_t made, std::vector<ARGB>* surround)
{
    INT count = gradient.GetPointCount();
    std::vector<Color> colours(size_t(std::max(count, 1)));
    if (count <= 0 || gradient.GetSurroundColors(colours.data(), &count) != Ok) return false;
    const bool curved = flattened != made;
    for (size_t i = 0; i < flattened; ++i)
        surround->push_back(colours[curved ? 0 : std::min(i, colours.size() - 1)].GetValue());
    if (curved)
        for (const Color& colour : colours)
            if (colour.GetValue() != surround->front()) return false;
    return true;
}

}  // namespace

std::unique_ptr<Shader> MakePathGradientShader(const Brush* brush, const DeviceMap& map)
{
    const auto* gradient = dynamic_cast<const PathGradientBrush*>(brush);
    if (!gradient || !gradient->NativeBrush()) return nullptr;
    auto* native = reinterpret_cast<DllExports::GpPathGradient*>(gradient->NativeBrush());
    const PathGradientBrush::Outline& made = gradient->Definition();
    if (made.points.size() < 3) return nullptr;
    std::vector<Polygon> figures;
    std::vector<bool> closed;
    if (!FlattenPath(made.points.data(), made.types.data(), INT(made.points.size()), PointF(0, 0), &figures, &closed) ||
        figures.size() != 1 || figures.front().size() < 3)
        return nullptr;
    std::vector<ARGB> surround;
    Ramp ramp;
    Tiling tiling;
    Color centreColour;
    PointF centre, focus;
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (!ReadSurround(*gradient, figures.front().size(), made.points.size(), &surround) || !ReadRamp(native, &ramp) ||
        !ReadTiling(*gradient, &tiling) || gradient->GetCenterColor(&centreColour) != Ok ||
        gradient->GetCenterPoint(&centre) != Ok || gradient->GetFocusScales(&focus.X, &focus.Y) != Ok ||
        !std::isfinite(focus.X) || !std::isfinite(focus.Y) || !ReadTransform(*gradient, ramp.Preset(), m))
        return nullptr;
    DeviceMap deviceToBrush;
    OutlineIndex index;
    if (!InvertMap(ThenMap(DeviceMap{m[0], m[1], m[2], m[3], m[4], m[5]}, map), &deviceToBrush) ||
        !index.Build(figures.front(), centre))
        return nullptr;
    return std::make_unique<PathGradientShader>(deviceToBrush, figures.front(), std::move(index), std::move(surround),
                                                centre, centreColour.GetValue(), std::move(ramp), focus, tiling);
}

}  // namespace Gdiplus
