// World-to-device mapping and the cut of far-reaching figures to a band around the canvas (in doubles, so
// that a point at 1e30 neither overflows nor loses the position of its edges near the canvas).
#include "DeviceFigure.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Gdiplus {

namespace {

// Figures reaching further than this outside the canvas are cut to the canvas and this margin around it.
const float kBandMargin = 64.0f;

struct PointD {
    double x, y;
};

// One side of the band: the points at or past `limit` along one axis (x when `alongX`), on the inner side
// when `low` is the band's lower limit.
struct Side {
    bool alongX;
    bool low;
    double limit;

    double Of(const PointD& p) const { return alongX ? p.x : p.y; }
    bool Inside(const PointD& p) const { return low ? Of(p) >= limit : Of(p) <= limit; }
    PointD Projected(const PointD& p) const { return alongX ? PointD{limit, p.y} : PointD{p.x, limit}; }
    // Where the edge from `in` (inside) to `out` crosses the side. Measured from the end inside, which lies
    // near the side, so that a far end's size cannot swamp the result.
    PointD Crossing(const PointD& in, const PointD& out) const
    {
        const double t = (limit - Of(in)) / (Of(out) - Of(in));
        return alongX ? PointD{limit, in.y + t * (out.y - in.y)} : PointD{in.x + t * (out.x - in.x), limit};
    }
};

// One Sutherland–Hodgman pass, with the points outside moved onto the side instead of dropped: the edges
// moved there run along the side and keep the winding of what lay beyond it.
std::vector<PointD> CutBySide(const std::vector<PointD>& points, const Side& side)
{
    std::vector<PointD> cut;
    cut.reserve(points.size() + 4);
    for (size_t i = 0; i < points.size(); ++i) {
        const PointD& a = points[i];
        const PointD& b = points[(i + 1) % points.size()];
        const bool aInside = side.Inside(a);
        cut.push_back(aInside ? a : side.Projected(a));
        if (aInside != side.Inside(b)) cut.push_back(aInside ? side.Crossing(a, b) : side.Crossing(b, a));
    }
    return cut;
}

bool Within(const Polygon& polygon, const RectF& band)
{
    for (const PointF& p : polygon)
        if (!(p.X >= band.X && p.X <= band.X + band.Width && p.Y >= band.Y && p.Y <= band.Y + band.Height))
            return false;
    return true;
}

bool Finite(const Polygon& polygon)
{
    for (const PointF& p : polygon)
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
    return true;
}

Polygon CutPolygon(const Polygon& polygon, const RectF& band)
{
    std::vector<PointD> points;
    points.reserve(polygon.size());
    for (const PointF& p : polygon) points.push_back({p.X, p.Y});
    const Side sides[] = {{true, true, band.X},
                          {true, false, double(band.X) + band.Width},
                          {false, true, band.Y},
                          {false, false, double(band.Y) + band.Height}};
    for (const Side& side : sides) points = CutBySide(points, side);
    Polygon cut;
    cut.reserve(points.size());
    for (const PointD& p : points) cut.emplace_back(float(p.x), float(p.y));
    return cut;
}

}  // namespace

double DeviceMap::UniformScale() const
{
    // Turn and scale alike: (m11, m12) and (m21, m22) of equal length and at right angles.
    const double first = std::hypot(m11, m12), second = std::hypot(m21, m22);
    if (std::fabs(first - second) > 1e-6 * first || std::fabs(m11 * m21 + m12 * m22) > 1e-6 * first * first) return 0;
    return first;
}

PointF DeviceMap::Apply(const PointF& p) const
{
    return PointF(float(p.X * m11 + p.Y * m21 + dx), float(p.X * m12 + p.Y * m22 + dy));
}

std::vector<PointF> ToDevice(const DeviceMap& map, const PointF* points, INT count)
{
    if (map.IsIdentity()) return std::vector<PointF>(points, points + count);
    std::vector<PointF> device;
    device.reserve(static_cast<size_t>(count));
    for (INT i = 0; i < count; ++i) device.push_back(map.Apply(points[i]));
    return device;
}

bool CutToBand(std::vector<Polygon>* polygons, const RectF& band)
{
    for (Polygon& polygon : *polygons) {
        // A polygon within the band is finite; only the others are looked at again.
        if (Within(polygon, band)) continue;
        if (!Finite(polygon)) return false;
        polygon = CutPolygon(polygon, band);
    }
    return true;
}

bool InvertMap(const DeviceMap& map, DeviceMap* inverse)
{
    const double determinant = map.m11 * map.m22 - map.m12 * map.m21;
    if (!(determinant != 0) || !std::isfinite(determinant)) return false;
    inverse->m11 = map.m22 / determinant;
    inverse->m12 = -map.m12 / determinant;
    inverse->m21 = -map.m21 / determinant;
    inverse->m22 = map.m11 / determinant;
    inverse->dx = -(map.dx * inverse->m11 + map.dy * inverse->m21);
    inverse->dy = -(map.dx * inverse->m12 + map.dy * inverse->m22);
    return true;
}

RectF BandAround(INT width, INT height)
{
    return RectF(-kBandMargin, -kBandMargin, float(width) + 2 * kBandMargin, float(height) + 2 * kBandMargin);
}

Rect PixelBounds(const std::vector<Polygon>& polygons, INT width, INT height)
{
    const float most = std::numeric_limits<float>::max();
    float left = most, top = most, right = -most, bottom = -most;
    for (const Polygon& polygon : polygons)
        for (const PointF& p : polygon) {
            left = std::min(left, p.X), right = std::max(right, p.X);
            top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
        }
    if (left > right) return Rect(0, 0, 0, 0);
    const INT x0 = std::max(static_cast<INT>(std::floor(left)), 0);
    const INT y0 = std::max(static_cast<INT>(std::floor(top)), 0);
    const INT x1 = std::min(static_cast<INT>(std::ceil(right)), width);
    const INT y1 = std::min(static_cast<INT>(std::ceil(bottom)), height);
    return Rect(x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0));
}

}  // namespace Gdiplus
