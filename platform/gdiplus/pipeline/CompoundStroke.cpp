// Compound bands, each built as the difference of two offset outlines of the figure: the side moved to
// the band's far edge and the side moved to its near edge, traversed back. Offsetting the two edges with
// the stroker's own joins (rather than stroking an offset centre line) keeps each edge exactly where the
// pen's outline between those offsets lies, with no overlap between pieces for the exact-area coverage,
// and makes a band on a rectangle the same polygon as the band-by-band rectangles draw.
#include "CompoundStroke.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "AnchorCap.h"

namespace Gdiplus {

namespace {

// Outlines beyond this many points, or dashes beyond this many, are refused (as the stroker does).
const size_t kMostPoints = size_t{1} << 24;
const size_t kMostDashes = size_t{1} << 22;
// Bands built corner by corner are refused beyond this many pieces.
const size_t kMostPolygons = size_t{1} << 22;
// The most lines standing for a round cap.
const int kMostArcSteps = 256;
const double kPi = 3.14159265358979323846;

// Appends the rings turned so that together they enclose positive area (the region between a closed
// band's two rings then winds once, the inside of both not at all).
void EmitTurned(std::vector<Polygon> rings, std::vector<Polygon>* out)
{
    double area = 0;
    for (const Polygon& ring : rings) area += SignedArea(ring);
    for (Polygon& ring : rings) {
        if (area < 0) std::reverse(ring.begin(), ring.end());
        out->push_back(std::move(ring));
    }
}

// The end of the points (their last point) and the unit direction along which the line leaves there;
// false when the points have no length.
bool EndOf(const std::vector<PointF>& points, PointF* end, PointF* direction)
{
    if (points.empty()) return false;
    *end = points.back();
    for (size_t i = points.size() - 1; i-- > 0;) {
        const double dx = double(end->X) - points[i].X, dy = double(end->Y) - points[i].Y;
        const double length = std::hypot(dx, dy);
        if (length > 0 && std::isfinite(length)) {
            *direction = PointF(REAL(dx / length), REAL(dy / length));
            return true;
        }
    }
    return false;
}

PointF Backwards(PointF direction) { return PointF(-direction.X, -direction.Y); }

// The point `distance` along the left normal of a line leaving `end` along `out` (to the line's left as
// the figure runs into that end).
PointF Beside(PointF end, PointF out, double distance)
{
    return PointF(REAL(end.X - out.Y * distance), REAL(end.Y + out.X * distance));
}

// An open side's end points (the figure's ends moved `distance` along the left normal of its first and
// last lines) moved to stand square to the curve's exact tangents there, where the figure has them.
void SquareSideEnds(const StrokeFigure& figure, double distance, Polygon* side)
{
    if (figure.closed || side->size() < 2) return;
    PointF end, direction;
    if ((figure.endTangent.X != 0 || figure.endTangent.Y != 0) && EndOf(figure.points, &end, &direction))
        side->back() = Beside(end, EndDirection(figure.endTangent, direction), distance);
    if (figure.startTangent.X == 0 && figure.startTangent.Y == 0) return;
    const std::vector<PointF> reversed(figure.points.rbegin(), figure.points.rend());
    // Out of the start the line runs backwards: its left is the figure's right.
    if (EndOf(reversed, &end, &direction))
        side->front() = Beside(end, EndDirection(Backwards(figure.startTangent), direction), -distance);
}

// One band of one figure between the offsets near and far (near < far). False when a side passes through
// a corner while the band does not cover the figure's own line there.
bool AddBand(const StrokeFigure& figure, double near, double far, const StrokeStyle& style, std::vector<Polygon>* out)
{
    Polygon farSide, nearSide;
    bool farThrough = false, nearThrough = false;
    if (!OffsetSide(figure, far, style.join, style.miterLimit, style.tolerance, &farSide, &farThrough) ||
        !OffsetSide(figure, near, style.join, style.miterLimit, style.tolerance, &nearSide, &nearThrough))
        return true;  // a figure of no length draws nothing
    if ((farThrough || nearThrough) && !(near <= 0 && far >= 0)) return false;
    SquareSideEnds(figure, far, &farSide);
    SquareSideEnds(figure, near, &nearSide);
    std::reverse(nearSide.begin(), nearSide.end());
    if (figure.closed) {
        EmitTurned({std::move(farSide), std::move(nearSide)}, out);
    } else {
        // The two sides joined end to end close the band with flat ends.
        farSide.insert(farSide.end(), nearSide.begin(), nearSide.end());
        EmitTurned({std::move(farSide)}, out);
    }
    return true;
}

PointF Middle(PointF a, PointF b) { return PointF((a.X + b.X) / 2, (a.Y + b.Y) / 2); }

// A band on the inside of corners too close together for its sides to cross: built corner by corner, each
// piece running from the middle of the segment before to the middle of the one after (an open figure's
// ends from its end points), so that the pieces meet flat; a corner whose sides still pass through it
// becomes its two half segments. The pieces overlap at most where the figure folds on itself, which the
// nonzero rule fills once.
void AddBandByCorners(const StrokeFigure& figure, double near, double far, const StrokeStyle& style,
                      std::vector<Polygon>* out)
{
    const std::vector<PointF>& p = figure.points;
    const size_t n = p.size();
    if (n < 2) return;
    const size_t first = figure.closed ? 0 : 1, last = figure.closed ? n : n - 1;
    const auto piece = [&](std::vector<PointF> points) {
        StrokeFigure open{std::move(points), false};
        if (AddBand(open, near, far, style, out) || open.points.size() < 3) return;
        AddBand(StrokeFigure{{open.points[0], open.points[1]}, false}, near, far, style, out);
        AddBand(StrokeFigure{{open.points[1], open.points[2]}, false}, near, far, style, out);
    };
    if (!figure.closed && n == 2) piece(p);
    for (size_t i = first; i < last; ++i) {
        const PointF before = p[(i + n - 1) % n], after = p[(i + 1) % n];
        const bool atStart = !figure.closed && i == 1, atEnd = !figure.closed && i == n - 2;
        piece({atStart ? before : Middle(before, p[i]), p[i], atEnd ? after : Middle(p[i], after)});
    }
}

bool AddBands(const StrokeFigure& figure, const StrokeStyle& style, const std::vector<double>& bands, double sense,
              std::vector<Polygon>* out)
{
    for (size_t i = 0; i + 1 < bands.size(); i += 2) {
        if (!(bands[i + 1] > bands[i])) continue;  // a band of no width draws nothing
        const double a = (bands[i] - 0.5) * style.width * sense, b = (bands[i + 1] - 0.5) * style.width * sense;
        if (!AddBand(figure, std::min(a, b), std::max(a, b), style, out))
            AddBandByCorners(figure, std::min(a, b), std::max(a, b), style, out);
        if (out->size() > kMostPolygons) return false;
    }
    return true;
}

// The figure cut into its dashes; the figure itself, from its start to its end, when the pen is solid.
bool Pieces(const StrokeFigure& figure, const StrokeStyle& style, std::vector<DashPiece>* pieces)
{
    if (style.dashes.empty()) {
        pieces->push_back(DashPiece{figure.points, true, true});
        return true;
    }
    std::vector<double> pattern;
    for (double dash : style.dashes) pattern.push_back(std::fabs(dash) * style.width);
    return CutDashes(figure, pattern, style.dashOffset * style.width, kMostDashes, pieces);
}

// A square, round or triangle cap beyond the end p of a line leaving along u, over the pen's full width
// (nothing for any other cap).
void AddCapBeyond(LineCap cap, PointF p, PointF u, const StrokeStyle& style, std::vector<Polygon>* out)
{
    if (cap != LineCapSquare && cap != LineCapRound && cap != LineCapTriangle) return;
    const double h = style.width / 2, nx = -u.Y, ny = u.X;
    const auto at = [&](double along, double across) {
        return PointF(REAL(p.X + u.X * along + nx * across), REAL(p.Y + u.Y * along + ny * across));
    };
    Polygon ring{at(0, h)};
    if (cap == LineCapSquare) {
        ring.push_back(at(h, h));
        ring.push_back(at(h, -h));
    } else if (cap == LineCapTriangle) {
        ring.push_back(at(h, 0));
    } else {
        const double ratio = 1.0 - style.tolerance / h;
        const double step = ratio > -1.0 ? 2.0 * std::acos(ratio) : kPi;
        const int steps = std::clamp(int(std::min(std::ceil(kPi / std::max(step, 1e-6)), 1e6)), 2, kMostArcSteps);
        for (int k = 1; k < steps; ++k) {
            const double turn = kPi * k / steps;
            ring.push_back(at(h * std::sin(turn), h * std::cos(turn)));
        }
    }
    ring.push_back(at(0, -h));
    EmitTurned({std::move(ring)}, out);
}

// The anchor at the end p of a line arriving along u, at the pen's full size, as a plain pen draws it.
void AddAnchor(LineCap cap, PointF p, PointF u, const StrokeStyle& style, std::vector<Polygon>* out)
{
    const double nx = -double(u.Y), ny = double(u.X);  // the left normal
    Polygon ring;
    for (const AnchorPoint& a : AnchorPolygon(cap, AnchorSize(style.width), style.tolerance))
        ring.emplace_back(REAL(p.X + u.X * a.forward + nx * a.side), REAL(p.Y + u.Y * a.forward + ny * a.side));
    EmitTurned({std::move(ring)}, out);
}

double Length(const std::vector<PointF>& points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += std::hypot(points[i].X - points[i - 1].X, points[i].Y - points[i - 1].Y);
    return length;
}

// An anchor at the line's end, along the curve's exact tangent there when it has one: drawn there, and the
// line cut back under an arrow as a plain pen's is. The cap then counts as flat.
void AnchorEnd(LineCap* cap, std::vector<PointF>* line, PointF tangent, const StrokeStyle& style,
               std::vector<Polygon>* out)
{
    if (*cap == LineCapNoAnchor) *cap = LineCapFlat;
    if (!IsAnchorCap(*cap)) return;
    PointF end, direction;
    if (EndOf(*line, &end, &direction)) AddAnchor(*cap, end, EndDirection(tangent, direction), style, out);
    TrimEnd(line, std::min(AnchorInset(*cap, style.width), Length(*line) / 2));
    *cap = LineCapFlat;
}

// Caps beyond both ends of an open piece, each along the tangent given for it (out of the piece; (0, 0)
// where its lines give the direction).
void AddCapsBeyond(std::vector<PointF> points, LineCap first, PointF firstTangent, LineCap last, PointF lastTangent,
                   const StrokeStyle& style, std::vector<Polygon>* out)
{
    PointF end, direction;
    if (EndOf(points, &end, &direction)) AddCapBeyond(last, end, EndDirection(lastTangent, direction), style, out);
    std::reverse(points.begin(), points.end());
    if (EndOf(points, &end, &direction)) AddCapBeyond(first, end, EndDirection(firstTangent, direction), style, out);
}

LineCap DashEnd(DashCap cap)
{
    return cap == DashCapRound ? LineCapRound : cap == DashCapTriangle ? LineCapTriangle : LineCapFlat;
}

// One figure's bands, with its anchors and its caps (or its dashes' caps) over the pen's full width at the
// ends. Nothing records whether GDI+ caps each band or the whole pen; capping the whole pen keeps the gaps
// along the line and gives an end the shape a plain pen's has.
bool AddFigure(const StrokeFigure& figure, const StrokeStyle& style, const std::vector<double>& bands, double sense,
               std::vector<Polygon>* out)
{
    StrokeFigure line = figure;
    LineCap startCap = figure.closed ? LineCapFlat : style.startCap;
    LineCap endCap = figure.closed ? LineCapFlat : style.endCap;
    // Out of the line at either end: the start's tangent runs into it.
    const PointF startOut = Backwards(figure.startTangent), endOut = figure.endTangent;
    std::reverse(line.points.begin(), line.points.end());
    AnchorEnd(&startCap, &line.points, startOut, style, out);
    std::reverse(line.points.begin(), line.points.end());
    AnchorEnd(&endCap, &line.points, endOut, style, out);
    std::vector<DashPiece> pieces;
    if (!Pieces(line, style, &pieces)) return false;
    const LineCap dashEnd = DashEnd(style.dashCap);
    const bool solidClosed = figure.closed && style.dashes.empty();
    for (const DashPiece& piece : pieces) {
        const bool atStart = piece.atStart && !figure.closed, atEnd = piece.atEnd && !figure.closed;
        StrokeFigure band{piece.points, solidClosed};
        if (atStart) band.startTangent = figure.startTangent;
        if (atEnd) band.endTangent = figure.endTangent;
        if (!AddBands(band, style, bands, sense, out)) return false;
        if (solidClosed) continue;
        AddCapsBeyond(piece.points, atStart ? startCap : dashEnd, atStart ? startOut : PointF(0, 0),
                      atEnd ? endCap : dashEnd, atEnd ? endOut : PointF(0, 0), style, out);
    }
    return true;
}

}  // namespace

bool CompoundStroke(const std::vector<StrokeFigure>& figures, const StrokeStyle& style,
                    const std::vector<double>& bands, double sense, std::vector<Polygon>* out)
{
    if (!(style.width > 0) || !std::isfinite(style.width)) return false;
    const size_t before = out->size();
    size_t points = 0;
    for (const StrokeFigure& figure : figures) {
        const size_t from = out->size();
        const bool drawn = AddFigure(figure, style, bands, sense, out);
        if (!drawn || (points += PointsIn(*out, from)) > kMostPoints) {
            out->resize(before);
            return false;
        }
    }
    return true;
}

}  // namespace Gdiplus
