#include "NestedOutlines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "Wrapping.h"

namespace pictor {

namespace {

// Corner diameter at which the three corners after the first are drawn half a pixel larger.
const int kWideCornerDiameter = 20;

// Device pixels beyond the canvas that a one-pixel pen and anti-aliasing may still touch.
const double kDeviceReach = 2.0;
// World units beyond an outline that its pen (half of 1.0) and the engine's arc flattening may reach.
const double kWorldReach = 1.5;
// The engine draws in floats, which place a coordinate of magnitude v only to within about v * 2^-23.
const double kFloatSlack = 1.0 / (1 << 22);
// Between two outlines of the run no corner box moves by more than this many world units.
const double kMovePerOutline = 8.0;

struct Span {
    double left, top, right, bottom;
};

// A box of the engine's arcs, its sides in order whatever the signs of its size, widened by what the
// engine's float coordinates may move them.
Span Normalised(const Gdiplus::Rect& box)
{
    const double x1 = box.X, x2 = double(box.X) + box.Width, y1 = box.Y, y2 = double(box.Y) + box.Height;
    Span span{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    span.left -= std::fabs(span.left) * kFloatSlack;
    span.top -= std::fabs(span.top) * kFloatSlack;
    span.right += std::fabs(span.right) * kFloatSlack;
    span.bottom += std::fabs(span.bottom) * kFloatSlack;
    return span;
}

double DistanceToSpan(double x, double y, const Span& q)
{
    const double dx = std::max({q.left - x, 0.0, x - q.right});
    const double dy = std::max({q.top - y, 0.0, y - q.bottom});
    return std::hypot(dx, dy);
}

// How far the visible world lies outside, or inside, everything the outline may cover (positive) or
// how close it comes (zero or less). The outline lies within the hull of its corner boxes; it stays
// outside the rectangle between their inner sides (its straight parts join arcs within the boxes); and
// when the outline is a proper rounded rectangle, outside the core its corner circles round off.
double Clearance(const CornerBoxes& corners, const WorldBox& v)
{
    const Span tl = Normalised(corners.topLeft), tr = Normalised(corners.topRight);
    const Span br = Normalised(corners.bottomRight), bl = Normalised(corners.bottomLeft);

    const double left = std::min({tl.left, tr.left, br.left, bl.left});
    const double right = std::max({tl.right, tr.right, br.right, bl.right});
    const double top = std::min({tl.top, tr.top, br.top, bl.top});
    const double bottom = std::max({tl.bottom, tr.bottom, br.bottom, bl.bottom});
    const double outside = std::max({left - v.right, v.left - right, top - v.bottom, v.top - bottom});

    const double holeLeft = std::max(tl.right, bl.right), holeRight = std::min(tr.left, br.left);
    const double holeTop = std::max(tl.bottom, tr.bottom), holeBottom = std::min(bl.top, br.top);
    const double inside = std::min({v.left - holeLeft, holeRight - v.right, v.top - holeTop, holeBottom - v.bottom});

    double core = -std::numeric_limits<double>::infinity();
    const Gdiplus::Rect* boxes[] = {&corners.topLeft, &corners.topRight, &corners.bottomRight, &corners.bottomLeft};
    auto proper = [](const Gdiplus::Rect* b) { return b->Width >= 0 && b->Height >= 0; };
    if (std::all_of(std::begin(boxes), std::end(boxes), proper)) {
        auto centreX = [](const Gdiplus::Rect& b) { return b.X + b.Width / 2.0; };
        auto centreY = [](const Gdiplus::Rect& b) { return b.Y + b.Height / 2.0; };
        // Every arc bulges away from the rectangle of the innermost centres by at least the smallest
        // radius (less half a pixel, as the wider corners' centres sit half a pixel apart). Where the
        // right and bottom sides' pixel inset puts the centres past each other, the rectangle closes to
        // their middle and the radius gives up that distance.
        Span centres{std::max(centreX(corners.topLeft), centreX(corners.bottomLeft)),
                     std::max(centreY(corners.topLeft), centreY(corners.topRight)),
                     std::min(centreX(corners.topRight), centreX(corners.bottomRight)),
                     std::min(centreY(corners.bottomLeft), centreY(corners.bottomRight))};
        const double crossedX = std::max(0.0, centres.left - centres.right);
        const double crossedY = std::max(0.0, centres.top - centres.bottom);
        if (crossedX > 0) centres.left = centres.right = (centres.left + centres.right) / 2;
        if (crossedY > 0) centres.top = centres.bottom = (centres.top + centres.bottom) / 2;
        const double magnitude = std::max({std::fabs(left), std::fabs(right), std::fabs(top), std::fabs(bottom)});
        const double radius = std::min({corners.topLeft.Width, corners.topRight.Width, corners.bottomRight.Width,
                                        corners.bottomLeft.Width}) / 2.0 -
                              0.5 - std::hypot(crossedX, crossedY) / 2 - magnitude * kFloatSlack;
        core = radius - std::max({DistanceToSpan(v.left, v.top, centres), DistanceToSpan(v.right, v.top, centres),
                                  DistanceToSpan(v.left, v.bottom, centres),
                                  DistanceToSpan(v.right, v.bottom, centres)});
    }
    return std::max({outside, inside, core});
}

// Outlines until a corner box's position could wrap around the int range and jump across the world.
long long OutlinesBeforeWrap(const CornerBoxes& corners)
{
    long long nearest = LLONG_MAX;
    for (const Gdiplus::Rect* b : {&corners.topLeft, &corners.topRight, &corners.bottomRight, &corners.bottomLeft})
        for (long long value : {static_cast<long long>(b->X), static_cast<long long>(b->Y)})
            nearest = std::min({nearest, INT_MAX - value, value - INT_MIN});
    return static_cast<long long>(static_cast<double>(nearest) / kMovePerOutline);
}

}  // namespace

CornerBoxes RoundCorners(const Gdiplus::Rect& r, int nDiameter)
{
    const int d = std::min({nDiameter, r.Width, r.Height});
    // The right and bottom sides lie one pixel inside the rectangle; at diameter 20 the other three
    // corners get boxes one pixel larger whose outer sides stay there.
    int box = d, w = r.Width, h = r.Height;
    if (d == kWideCornerDiameter) {
        box = d + 1;
        w = WrapSub(w, 1);
        h = WrapSub(h, 1);
    }
    const int x2 = WrapSub(WrapAdd(r.X, w), WrapAdd(d, 1));
    const int y2 = WrapSub(WrapAdd(r.Y, h), WrapAdd(d, 1));
    return {Gdiplus::Rect(r.X, r.Y, d, d), Gdiplus::Rect(x2, r.Y, box, box), Gdiplus::Rect(x2, y2, box, box),
            Gdiplus::Rect(r.X, y2, box, box)};
}

void AddRoundOutline(Gdiplus::GraphicsPath& path, const CornerBoxes& corners)
{
    path.Reset();
    path.AddArc(corners.topLeft, 180.0f, 90.0f);
    path.AddArc(corners.topRight, 270.0f, 90.0f);
    path.AddArc(corners.bottomRight, 0.0f, 90.0f);
    path.AddArc(corners.bottomLeft, 90.0f, 90.0f);
    path.CloseFigure();
}

std::optional<WorldBox> VisibleWorld(CFxPictor& canvas)
{
    Gdiplus::Matrix world;
    canvas.m_pGraphics->GetTransform(&world);
    Gdiplus::REAL m[6] = {1, 0, 0, 1, 0, 0};
    world.GetElements(m);
    // Device = (world transform, then the page scale) of a point, in GDI+'s row-vector convention.
    const double scale = canvas.m_pGraphics->GetPageScale();
    const double a = m[0] * scale, b = m[1] * scale, c = m[2] * scale, d = m[3] * scale;
    const double e = m[4] * scale, f = m[5] * scale;
    const double det = a * d - b * c;
    if (!std::isfinite(det) || det == 0) return std::nullopt;

    const double inf = std::numeric_limits<double>::infinity();
    WorldBox box{inf, inf, -inf, -inf};
    for (double x : {-kDeviceReach, canvas.m_nWidth + kDeviceReach})
        for (double y : {-kDeviceReach, canvas.m_nHeight + kDeviceReach}) {
            const double wx = (d * (x - e) - c * (y - f)) / det, wy = (a * (y - f) - b * (x - e)) / det;
            box = {std::min(box.left, wx), std::min(box.top, wy), std::max(box.right, wx), std::max(box.bottom, wy)};
        }
    if (!(std::isfinite(box.left) && std::isfinite(box.top) && std::isfinite(box.right) && std::isfinite(box.bottom)))
        return std::nullopt;
    return WorldBox{box.left - kWorldReach, box.top - kWorldReach, box.right + kWorldReach, box.bottom + kWorldReach};
}

long long OutlinesClear(const CornerBoxes& corners, const WorldBox& visible)
{
    const double clearance = Clearance(corners, visible);
    if (!(clearance > 0)) return 0;
    const long long steps = static_cast<long long>(std::min(clearance / kMovePerOutline, 1e18));
    return std::max(1LL, std::min(steps, OutlinesBeforeWrap(corners)));
}

}  // namespace pictor
