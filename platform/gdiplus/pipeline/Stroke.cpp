// The stroker, worked in doubles. Each figure becomes one polygon (open: one side, the end cap, the other
// side back, the start cap) or two (closed: the two sides, one turned against the other); each dash is
// an open figure of its own. Corners on a side's inner bend meet where the two moved segments cross,
// which leaves no overlap to count twice in the exact-area coverage; where the segments are too short
// for that, the side passes through the corner itself (a small loop that the nonzero rule fills).
#include "Stroke.h"

#include "AnchorCap.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

const double kPi = 3.14159265358979323846;
// Outlines beyond this many points, or dashes beyond this many, are refused.
const size_t kMostPoints = size_t{1} << 24;
const size_t kMostDashes = size_t{1} << 22;
// The most lines standing for one round join, cap or anchor.
const int kMostArcSteps = 256;
// Below this, a turn is taken as no turn.
const double kStraight = 1e-12;

struct Vec {
    double x, y;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
Vec LeftNormal(Vec u) { return {-u.y, u.x}; }
Vec Rotated(Vec v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

using Ring = std::vector<Vec>;

// A figure's distinct points, with the unit direction and the length of each segment (a closed run's
// last segment goes from its last point back to its first).
struct Run {
    std::vector<Vec> points;
    std::vector<Vec> directions;
    std::vector<double> lengths;
    bool closed = false;

    size_t Segments() const { return directions.size(); }
};

// Points this close are one for the stroke: half the tolerance.
double Spacing(const StrokeStyle& style) { return style.tolerance / 2; }

bool Near(Vec a, Vec b, double spacing) { return std::fabs(a.x - b.x) <= spacing && std::fabs(a.y - b.y) <= spacing; }

// Points closer than `spacing` to the last one kept are passed over (an open figure's end is kept, in
// place of the point before it): dense figures, whose points' rounding would turn each short segment
// at random, keep their shape within the spacing.
Run MakeRun(const std::vector<PointF>& figure, bool closed, double spacing)
{
    Run run;
    run.closed = closed;
    for (const PointF& p : figure) {
        const Vec v{p.X, p.Y};
        if (run.points.empty() || !Near(v, run.points.back(), spacing)) run.points.push_back(v);
    }
    if (!closed && !figure.empty() && run.points.size() > 1) {
        const Vec end{figure.back().X, figure.back().Y};
        if (end.x != run.points.back().x || end.y != run.points.back().y) run.points.back() = end;
        if (run.points.back().x == run.points[run.points.size() - 2].x &&
            run.points.back().y == run.points[run.points.size() - 2].y)
            run.points.pop_back();
    }
    while (closed && run.points.size() > 1 && Near(run.points.back(), run.points[0], spacing)) run.points.pop_back();
    const size_t n = run.points.size();
    const size_t segments = n < 2 ? 0 : closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        const Vec edge = run.points[(i + 1) % n] - run.points[i];
        const double length = std::hypot(edge.x, edge.y);
        run.directions.push_back(edge * (1.0 / length));
        run.lengths.push_back(length);
    }
    return run;
}

Run Reversed(const Run& run)
{
    Run back;
    back.closed = run.closed;
    back.points.assign(run.points.rbegin(), run.points.rend());
    for (size_t i = run.Segments(); i-- > 0;) {
        back.directions.push_back(run.directions[i] * -1.0);
        back.lengths.push_back(run.lengths[i]);
    }
    // A closed run's segment i goes from point i to point i + 1: reversed, the closing segment comes last.
    if (run.closed && back.Segments() > 1) {
        std::rotate(back.directions.begin(), back.directions.begin() + 1, back.directions.end());
        std::rotate(back.lengths.begin(), back.lengths.begin() + 1, back.lengths.end());
    }
    return back;
}

// How many lines stand for an arc of the angle and radius, each straying at most `tolerance`.
int ArcSteps(double angle, double radius, double tolerance)
{
    const double ratio = 1.0 - tolerance / radius;
    const double step = ratio > -1.0 ? 2.0 * std::acos(std::max(ratio, -1.0)) : kPi;
    const double steps = std::ceil(std::fabs(angle) / std::max(step, 1e-6));
    return std::isfinite(steps) ? std::clamp(static_cast<int>(std::min(steps, 1e6)), 1, kMostArcSteps) : 1;
}

// The points of an arc around `centre` from direction `from` turned by `angle`, both ends included when
// asked for.
void AddArc(Ring* ring, Vec centre, Vec from, double angle, double radius, double tolerance, bool ends)
{
    const int steps = ArcSteps(angle, radius, tolerance);
    for (int k = ends ? 0 : 1; k <= (ends ? steps : steps - 1); ++k)
        ring->push_back(centre + Rotated(from, angle * k / steps) * radius);
}

struct Joining {
    LineJoin join;
    double miterLimit;
    double tolerance;
};

// The corner on the outer side of a bend at p, from the end of the segment arriving along u1 to the
// start of the one leaving along u2, at distance d.
void AddOuterJoin(Ring* side, Vec p, Vec u1, Vec u2, double d, const Joining& joining)
{
    const Vec n1 = LeftNormal(u1), n2 = LeftNormal(u2);
    const double turn = Cross(u1, u2), along = Dot(u1, u2);
    if (joining.join == LineJoinRound) {
        AddArc(side, p, n1, -std::atan2(std::fabs(turn), along), d, joining.tolerance, true);
        return;
    }
    const Vec m = n1 + n2;
    const double size = std::hypot(m.x, m.y), cosHalf = size / 2;
    const bool mitred = joining.join == LineJoinMiter || joining.join == LineJoinMiterClipped;
    if (mitred && size > kStraight && cosHalf * joining.miterLimit >= 1.0) {
        side->push_back(p + m * (d / (1.0 + along)));
        return;
    }
    if (joining.join == LineJoinMiter) {
        // GDI+ cuts a miter beyond its limit square to the bisector, the limit's length from the corner.
        const double reach = joining.miterLimit * d;
        if (size > kStraight) {
            const Vec bisector = m * (1.0 / size);
            const double past = (reach - d * cosHalf) / Dot(u1, bisector);
            side->push_back(p + n1 * d + u1 * past);
            side->push_back(p + n2 * d - u2 * past);
        } else {
            side->push_back(p + n1 * d + u1 * reach);
            side->push_back(p + n2 * d + u1 * reach);
        }
        return;
    }
    side->push_back(p + n1 * d);
    side->push_back(p + n2 * d);
}

// How far along each of its segments the inner corner at a bend reaches (the moved segments cross there).
double InnerReach(Vec u1, Vec u2, double d)
{
    const double along = Dot(u1, u2);
    return along > -1.0 + 1e-12 ? d * std::fabs(Cross(u1, u2)) / (1.0 + along) : HUGE_VAL;
}

// The run moved a distance d to its left, with its corners joined. False when an inner corner had to pass
// through the run's own point (its segments too short for the crossing).
bool AddSide(const Run& run, double d, const Joining& joining, Ring* side)
{
    const size_t n = run.points.size(), segments = run.Segments();
    const size_t first = run.closed ? 0 : 1, last = run.closed ? n : n - 1;
    // How far each corner that bends towards this side reaches along its two segments.
    std::vector<double> reach(n, 0.0);
    for (size_t i = first; i < last; ++i) {
        const Vec u1 = run.directions[(i + segments - 1) % segments], u2 = run.directions[i % segments];
        if (Cross(u1, u2) > kStraight) reach[i] = InnerReach(u1, u2, d);
    }
    bool allMet = true;
    if (!run.closed) side->push_back(run.points[0] + LeftNormal(run.directions[0]) * d);
    for (size_t i = first; i < last; ++i) {
        const size_t before = (i + segments - 1) % segments, after = i % segments;
        const Vec p = run.points[i], u1 = run.directions[before], u2 = run.directions[after];
        const double turn = Cross(u1, u2);
        if (std::fabs(turn) <= kStraight && Dot(u1, u2) > 0) {
            side->push_back(p + LeftNormal(u1) * d);
        } else if (turn > kStraight) {
            const bool meets = reach[(i + n - 1) % n] + reach[i] <= run.lengths[before] &&
                               reach[i] + reach[(i + 1) % n] <= run.lengths[after];
            const Vec n1 = LeftNormal(u1), n2 = LeftNormal(u2);
            if (meets) {
                side->push_back(p + (n1 + n2) * (d / (1.0 + Dot(u1, u2))));
            } else {
                side->push_back(p + n1 * d);
                side->push_back(p);
                side->push_back(p + n2 * d);
                allMet = false;
            }
        } else {
            AddOuterJoin(side, p, u1, u2, d, joining);
        }
    }
    if (!run.closed) side->push_back(run.points[n - 1] + LeftNormal(run.directions[segments - 1]) * d);
    return allMet;
}

// The cap's points at an end p facing outwards along u, between the two sides' ends (p + h n, p - h n).
void AddCap(Ring* ring, LineCap cap, Vec p, Vec u, double h, double tolerance)
{
    const Vec n = LeftNormal(u);
    if (cap == LineCapSquare) {
        ring->push_back(p + (n + u) * h);
        ring->push_back(p + (u - n) * h);
    } else if (cap == LineCapTriangle) {
        ring->push_back(p + u * h);
    } else if (cap == LineCapRound) {
        AddArc(ring, p, n, -kPi, h, tolerance, false);
    }
}

// The anchor around the end p of a line arriving along u (pipeline/AnchorCap.h).
Ring Anchor(LineCap cap, Vec p, Vec u, double width, double tolerance)
{
    const Vec n = LeftNormal(u);
    Ring ring;
    for (const AnchorPoint& a : AnchorPolygon(cap, AnchorSize(width), tolerance))
        ring.push_back(p + u * a.forward + n * a.side);
    return ring;
}

// Cuts the line's start and end short under arrow anchors (at most half the line each).
void TrimUnderAnchors(std::vector<PointF>* points, LineCap startCap, LineCap endCap, double width, double length)
{
    TrimEnd(points, std::min(AnchorInset(endCap, width), length / 2));
    std::reverse(points->begin(), points->end());
    TrimEnd(points, std::min(AnchorInset(startCap, width), length / 2));
    std::reverse(points->begin(), points->end());
}

double SignedArea(const Ring& ring)
{
    double area = 0;
    for (size_t i = 0; i < ring.size(); ++i) area += Cross(ring[i], ring[(i + 1) % ring.size()]);
    return area / 2;
}

// Appends the ring as a polygon, reversed when its own area is negative (reversed is true).
void EmitTurned(Ring& ring, bool reversed, std::vector<Polygon>* out)
{
    if (reversed) std::reverse(ring.begin(), ring.end());
    Polygon& polygon = out->emplace_back();
    polygon.reserve(ring.size());
    for (const Vec& v : ring) polygon.emplace_back(static_cast<REAL>(v.x), static_cast<REAL>(v.y));
}

// Appends the rings as polygons, all turned so that together they enclose positive area.
void Emit(std::vector<Ring> rings, std::vector<Polygon>* out)
{
    double area = 0;
    for (const Ring& ring : rings) area += SignedArea(ring);
    for (Ring& ring : rings) EmitTurned(ring, area < 0, out);
}

// One ring alone, without copying it into a list of rings (each dash of a dashed line is one).
void Emit(Ring&& ring, std::vector<Polygon>* out) { EmitTurned(ring, SignedArea(ring) < 0, out); }

// The directions a run leaves its start and reaches its end, along its first and last lines.
struct EndDirections {
    Vec start, end;
};

// A curve's exact tangent in place of the line that comes near it, when it is given and heads the same way
// as the line (a cusp at the very end would otherwise fold the end over).
Vec ExactOr(PointF tangent, Vec line)
{
    const double length = std::hypot(double(tangent.X), double(tangent.Y));
    if (!(length > 0) || !std::isfinite(length)) return line;
    const Vec exact{tangent.X / length, tangent.Y / length};
    return Dot(exact, line) > 0 ? exact : line;
}

EndDirections FigureEnds(const Run& run, const StrokeFigure& figure, bool atStart, bool atEnd)
{
    EndDirections ends{run.directions.front(), run.directions.back()};
    if (atStart) ends.start = ExactOr(figure.startTangent, ends.start);
    if (atEnd) ends.end = ExactOr(figure.endTangent, ends.end);
    return ends;
}

bool HasTangents(const StrokeFigure& figure)
{
    return figure.startTangent.X != 0 || figure.startTangent.Y != 0 || figure.endTangent.X != 0 ||
           figure.endTangent.Y != 0;
}

// An open run with its caps: one side, the end cap, the other side back, the start cap. The caps and the
// sides' ends stand square to the directions given for the run's ends.
void StrokeOpen(const Run& run, LineCap startCap, LineCap endCap, const StrokeStyle& style, const Joining& joining,
                const EndDirections& ends, std::vector<Polygon>* out)
{
    const double h = style.width / 2;
    const Vec first = run.points.front(), last = run.points.back();
    Ring ring;
    AddSide(run, h, joining, &ring);
    ring.front() = first + LeftNormal(ends.start) * h;
    ring.back() = last + LeftNormal(ends.end) * h;
    AddCap(&ring, endCap, last, ends.end, h, style.tolerance);
    const size_t back = ring.size();
    AddSide(Reversed(run), h, joining, &ring);
    ring[back] = last - LeftNormal(ends.end) * h;
    ring.back() = first - LeftNormal(ends.start) * h;
    AddCap(&ring, startCap, first, ends.start * -1.0, h, style.tolerance);
    Emit(std::move(ring), out);
}

// A figure of one segment, as StrokeOpen strokes it but without a run's bookkeeping (most lines and
// dashes). False when the figure has more points.
bool StrokeSegment(const std::vector<PointF>& points, LineCap startCap, LineCap endCap, const StrokeStyle& style,
                   std::vector<Polygon>* out)
{
    if (points.size() != 2) return false;
    const Vec a{points[0].X, points[0].Y}, b{points[1].X, points[1].Y};
    // Ends this close are one point, as MakeRun takes them: nothing to stroke.
    if (Near(a, b, Spacing(style))) return true;
    const double length = std::hypot(b.x - a.x, b.y - a.y), h = style.width / 2;
    const Vec u = (b - a) * (1.0 / length), n = LeftNormal(u);
    // Kept from segment to segment (a dashed line strokes one a dash); at most two round caps' points.
    thread_local Ring ring;
    ring.clear();
    ring.push_back(a + n * h);
    ring.push_back(b + n * h);
    // Flat ends add no points: the call is passed over (its arguments' stores cost more than it does).
    if (endCap != LineCapFlat) AddCap(&ring, endCap, b, u, h, style.tolerance);
    ring.push_back(b - n * h);
    ring.push_back(a - n * h);
    if (startCap != LineCapFlat) AddCap(&ring, startCap, a, u * -1.0, h, style.tolerance);
    EmitTurned(ring, SignedArea(ring) < 0, out);
    return true;
}

void StrokeClosed(const Run& run, const StrokeStyle& style, const Joining& joining, std::vector<Polygon>* out)
{
    const double h = style.width / 2;
    Ring left, right;
    AddSide(run, h, joining, &left);
    AddSide(Reversed(run), h, joining, &right);
    Emit({std::move(left), std::move(right)}, out);
}

double FigureLength(const std::vector<PointF>& points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += std::hypot(double(points[i].X) - points[i - 1].X, double(points[i].Y) - points[i - 1].Y);
    return length;
}

bool Finite(const std::vector<PointF>& points)
{
    for (const PointF& p : points)
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
    return true;
}

LineCap DashEnd(DashCap cap)
{
    return cap == DashCapRound ? LineCapRound : cap == DashCapTriangle ? LineCapTriangle : LineCapFlat;
}

// Anchors and the absence of a cap leave a line's own end flat.
LineCap LineEnd(LineCap cap) { return IsAnchorCap(cap) || cap == LineCapNoAnchor ? LineCapFlat : cap; }

// The line's dashes, or its whole length, with the caps at its own ends.
bool StrokeLine(const StrokeFigure& line, LineCap startCap, LineCap endCap, const StrokeStyle& style,
                const Joining& joining, std::vector<Polygon>* out)
{
    const bool open = !line.closed;
    if (style.dashes.empty()) {
        if (open && !HasTangents(line) && StrokeSegment(line.points, startCap, endCap, style, out)) return true;
        const Run run = MakeRun(line.points, line.closed, Spacing(style));
        if (run.Segments() == 0) return true;
        if (run.closed)
            StrokeClosed(run, style, joining, out);
        else
            StrokeOpen(run, startCap, endCap, style, joining, FigureEnds(run, line, open, open), out);
        return true;
    }
    // Kept from line to line: a pattern has at most a few dozen lengths.
    thread_local std::vector<double> pattern;
    pattern.clear();
    for (double dash : style.dashes) pattern.push_back(std::fabs(dash) * style.width);
    const LineCap dashEnd = DashEnd(style.dashCap);
    bool tooMany = false;
    const bool cut = ForEachDash(line, pattern, style.dashOffset * style.width, kMostDashes,
                                 [&](const std::vector<PointF>& points, bool atStart, bool atEnd) {
                                     const LineCap first = atStart && open ? startCap : dashEnd,
                                                   last = atEnd && open ? endCap : dashEnd;
                                     const bool curveEnd = open && (atStart || atEnd) && HasTangents(line);
                                     if (!curveEnd && StrokeSegment(points, first, last, style, out)) return;
                                     const Run run = MakeRun(points, false, Spacing(style));
                                     if (run.Segments() == 0) return;
                                     StrokeOpen(run, first, last, style, joining,
                                                FigureEnds(run, line, open && atStart, open && atEnd), out);
                                     tooMany = tooMany || out->size() > kMostDashes;
                                 });
    if (pattern.capacity() > 256) std::vector<double>().swap(pattern);
    return cut && !tooMany;
}

// One figure: its anchors, then its dashes or its whole length.
bool StrokeOne(const StrokeFigure& figure, const StrokeStyle& style, const Joining& joining, std::vector<Polygon>* out)
{
    // Most lines: one open segment without anchors, which needs neither a run nor a copy of its own.
    if (!figure.closed && figure.points.size() == 2 && !IsAnchorCap(style.startCap) && !IsAnchorCap(style.endCap)) {
        const PointF a = figure.points[0], b = figure.points[1];
        // Ends this close are one point, as MakeRun takes them: nothing to stroke.
        if (Near(Vec{a.X, a.Y}, Vec{b.X, b.Y}, Spacing(style))) return true;
        return StrokeLine(figure, LineEnd(style.startCap), LineEnd(style.endCap), style, joining, out);
    }
    StrokeFigure line = figure;
    const Run whole = MakeRun(figure.points, figure.closed, Spacing(style));
    if (whole.Segments() == 0) return true;
    // Closed figures have no ends; a closed figure of two points is the line there and back.
    if (figure.closed && whole.points.size() == 2) {
        const PointF a(float(whole.points[0].x), float(whole.points[0].y));
        const PointF b(float(whole.points[1].x), float(whole.points[1].y));
        line.points = {a, b, a};
        line.closed = false;
    }
    const bool open = !line.closed;
    LineCap startCap = open ? style.startCap : LineCapFlat, endCap = open ? style.endCap : LineCapFlat;
    if (open && figure.closed) startCap = endCap = LineCapFlat;
    // Anchors stand along a curve's exact tangent at its ends, as plain caps do.
    const EndDirections ends = FigureEnds(whole, figure, open, open);
    if (IsAnchorCap(startCap))
        Emit({Anchor(startCap, whole.points.front(), ends.start * -1.0, style.width, style.tolerance)}, out);
    if (IsAnchorCap(endCap)) Emit({Anchor(endCap, whole.points.back(), ends.end, style.width, style.tolerance)}, out);
    // An arrow's tip is the line's end, so the line stops under the arrow.
    if (AnchorInset(startCap, style.width) > 0 || AnchorInset(endCap, style.width) > 0)
        TrimUnderAnchors(&line.points, startCap, endCap, style.width, FigureLength(line.points));
    return StrokeLine(line, LineEnd(startCap), LineEnd(endCap), style, joining, out);
}

}  // namespace

bool StrokeFigures(const std::vector<StrokeFigure>& figures, const StrokeStyle& style, std::vector<Polygon>* out)
{
    const size_t before = out->size();
    if (!(style.width > 0) || !std::isfinite(style.width)) return false;
    const Joining joining{style.join, std::max(style.miterLimit, 1.0), style.tolerance};
    size_t points = 0;
    for (const StrokeFigure& figure : figures) {
        const size_t from = out->size();
        if (!Finite(figure.points) || !StrokeOne(figure, style, joining, out) ||
            (points += PointsIn(*out, from)) > kMostPoints) {
            out->resize(before);
            return false;
        }
    }
    return true;
}

bool InsetBand(const std::vector<StrokeFigure>& figures, double width, LineJoin join, double miterLimit,
               double tolerance, std::vector<Polygon>* out)
{
    const size_t before = out->size();
    const Joining joining{join, std::max(miterLimit, 1.0), tolerance};
    for (const StrokeFigure& figure : figures) {
        Run run = MakeRun(figure.points, true, tolerance / 2);
        if (!figure.closed || !Finite(figure.points) || !(width > 0)) {
            out->resize(before);
            return false;
        }
        if (run.points.size() < 3) continue;
        // Turned so that the inside lies to the left of every segment.
        if (SignedArea(run.points) < 0) run = Reversed(run);
        Ring inner;
        if (!AddSide(run, width, joining, &inner)) {
            out->resize(before);
            return false;
        }
        std::reverse(inner.begin(), inner.end());
        Emit({run.points, std::move(inner)}, out);
    }
    return true;
}

bool OffsetSide(const StrokeFigure& figure, double distance, LineJoin join, double miterLimit, double tolerance,
                std::vector<PointF>* side, bool* throughCorner)
{
    if (!Finite(figure.points) || !std::isfinite(distance)) return false;
    const Run run = MakeRun(figure.points, figure.closed, tolerance / 2);
    if (run.Segments() == 0 || (run.closed && run.points.size() < 3)) return false;
    const Joining joining{join, std::max(miterLimit, 1.0), tolerance};
    Ring ring;
    // AddSide moves to the left: a side on the right is the reversed run's left, turned back.
    const bool right = distance < 0;
    *throughCorner = !AddSide(right ? Reversed(run) : run, std::fabs(distance), joining, &ring);
    if (right) std::reverse(ring.begin(), ring.end());
    side->reserve(side->size() + ring.size());
    for (const Vec& v : ring) side->emplace_back(static_cast<REAL>(v.x), static_cast<REAL>(v.y));
    return true;
}

void TrimEnd(std::vector<PointF>* points, double length)
{
    while (points->size() >= 2 && length > 0) {
        const PointF a = (*points)[points->size() - 2], b = points->back();
        const double segment = std::hypot(double(b.X) - a.X, double(b.Y) - a.Y);
        if (segment > length) {
            const double t = 1.0 - length / segment;
            points->back() = PointF(static_cast<REAL>(a.X + (double(b.X) - a.X) * t),
                                    static_cast<REAL>(a.Y + (double(b.Y) - a.Y) * t));
            return;
        }
        length -= segment;
        points->pop_back();
    }
}

double SignedArea(const Polygon& polygon)
{
    double area = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const PointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        area += double(a.X) * b.Y - double(a.Y) * b.X;
    }
    return area / 2;
}

size_t PointsIn(const std::vector<Polygon>& polygons, size_t from)
{
    size_t points = 0;
    for (size_t i = from; i < polygons.size(); ++i) points += polygons[i].size();
    return points;
}

}  // namespace Gdiplus
