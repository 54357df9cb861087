// The anchors' points are Windows' as GraphicsPath::Widen lists them (recorded by Wine's tests).
#include "AnchorCap.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

// The distance of a quarter circle's Bézier control points from its ends, per unit radius.
const double kQuarterBezier = 0.5522847498;
// The most lines standing for one Bézier of the round anchor.
const int kMostBezierSteps = 64;

void Add(AnchorFigure& figure, double forward, double side, BYTE type)
{
    figure.points.push_back({forward, side});
    figure.types.push_back(type);
}

// The circle as four Béziers from the right of the end round through the tip.
AnchorFigure RoundAnchor(double size)
{
    AnchorFigure figure;
    const double k = size * kQuarterBezier;
    Add(figure, 0, -size, PathPointTypeStart);
    const AnchorPoint quarters[] = {{k, -size}, {size, -k}, {size, 0},  {size, k},   {k, size},   {0, size},
                                    {-k, size}, {-size, k}, {-size, 0}, {-size, -k}, {-k, -size}, {0, -size}};
    for (const AnchorPoint& p : quarters) Add(figure, p.forward, p.side, PathPointTypeBezier);
    return figure;
}

AnchorPoint BezierAt(const AnchorPoint* c, double t)
{
    const double s = 1 - t, a = s * s * s, b = 3 * s * s * t, d = 3 * s * t * t, e = t * t * t;
    return {a * c[0].forward + b * c[1].forward + d * c[2].forward + e * c[3].forward,
            a * c[0].side + b * c[1].side + d * c[2].side + e * c[3].side};
}

// Steps for a quarter circle of the radius whose chords stray at most `tolerance` from it.
int QuarterSteps(double radius, double tolerance)
{
    if (!(tolerance > 0) || !(radius > tolerance)) return 2;
    const double angle = 2 * std::acos(1 - tolerance / radius);
    const double steps = std::ceil(1.5707963267948966 / angle);
    return static_cast<int>(std::clamp(steps, 2.0, double(kMostBezierSteps)));
}

double SignedArea(const std::vector<AnchorPoint>& ring)
{
    double area = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const AnchorPoint& a = ring[i];
        const AnchorPoint& b = ring[(i + 1) % ring.size()];
        area += a.forward * b.side - a.side * b.forward;
    }
    return area / 2;
}

}  // namespace

bool IsAnchorCap(LineCap cap)
{
    return cap == LineCapSquareAnchor || cap == LineCapRoundAnchor || cap == LineCapDiamondAnchor ||
           cap == LineCapArrowAnchor;
}

double AnchorSize(double penWidth) { return std::fmax(penWidth, 2.0); }

double AnchorInset(LineCap cap, double penWidth) { return cap == LineCapArrowAnchor ? penWidth : 0.0; }

AnchorFigure AnchorShape(LineCap cap, double size)
{
    if (cap == LineCapRoundAnchor) return RoundAnchor(size);
    std::vector<AnchorPoint> corners;
    if (cap == LineCapSquareAnchor) {
        const double h = size / std::sqrt(2.0);
        corners = {{-h, h}, {-h, -h}, {h, -h}, {h, h}};
    } else if (cap == LineCapDiamondAnchor) {
        corners = {{size, 0}, {0, size}, {-size, 0}, {0, -size}};
    } else if (cap == LineCapArrowAnchor) {
        const double back = -size * std::sqrt(3.0);
        corners = {{0, 0}, {back, size}, {back, -size}};
    }
    AnchorFigure figure;
    for (size_t i = 0; i < corners.size(); ++i)
        Add(figure, corners[i].forward, corners[i].side, i == 0 ? BYTE(PathPointTypeStart) : BYTE(PathPointTypeLine));
    return figure;
}

std::vector<AnchorPoint> AnchorPolygon(LineCap cap, double size, double tolerance)
{
    const AnchorFigure figure = AnchorShape(cap, size);
    std::vector<AnchorPoint> polygon;
    const int steps = QuarterSteps(size, tolerance);
    for (size_t i = 0; i < figure.points.size(); ++i) {
        const bool bezierStart =
            i + 3 < figure.points.size() && (figure.types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeBezier;
        polygon.push_back(figure.points[i]);
        if (!bezierStart) continue;
        for (int s = 1; s < steps; ++s) polygon.push_back(BezierAt(&figure.points[i], double(s) / steps));
        i += 2;  // the control points; the Bézier's end starts the next
    }
    // The last Bézier ends on the first point.
    if (polygon.size() > 1 && polygon.back().forward == polygon.front().forward &&
        polygon.back().side == polygon.front().side)
        polygon.pop_back();
    if (SignedArea(polygon) < 0) std::reverse(polygon.begin(), polygon.end());
    return polygon;
}

PointF EndDirection(PointF tangent, PointF line)
{
    const double length = std::hypot(double(tangent.X), double(tangent.Y));
    if (!(length > 0) || !std::isfinite(length)) return line;
    const PointF exact(REAL(tangent.X / length), REAL(tangent.Y / length));
    // A cusp at the very end turns the tangent back against the line: the line's end would fold over.
    return double(exact.X) * line.X + double(exact.Y) * line.Y > 0 ? exact : line;
}

}  // namespace Gdiplus
