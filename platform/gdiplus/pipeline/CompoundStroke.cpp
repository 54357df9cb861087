// Compound bands, each built as the difference of two offset outlines of the figure: the side moved to
// the band's far edge and the side moved to its near edge, traversed back. Offsetting the two edges with
// the stroker's own joins (rather than stroking an offset centre line) keeps each edge exactly where the
// pen's outline between those offsets lies, with no overlap between pieces for the exact-area coverage,
// and makes a band on a rectangle the same polygon as the band-by-band rectangles draw.
#include "CompoundStroke.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

// Outlines beyond this many points, or dashes beyond this many, are refused (as the stroker does).
const size_t kMostPoints = size_t{1} << 24;
const size_t kMostDashes = size_t{1} << 22;
// Bands built corner by corner are refused beyond this many pieces.
const size_t kMostPolygons = size_t{1} << 22;

bool FlatEnd(LineCap cap) { return cap == LineCapFlat || cap == LineCapNoAnchor; }

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

// The figure cut into its dashes, each an open figure; the figure itself when the pen is solid.
bool Pieces(const StrokeFigure& figure, const StrokeStyle& style, std::vector<StrokeFigure>* pieces)
{
    if (style.dashes.empty()) {
        pieces->push_back(figure);
        return true;
    }
    std::vector<double> pattern;
    for (double dash : style.dashes) pattern.push_back(std::fabs(dash) * style.width);
    std::vector<DashPiece> dashes;
    if (!CutDashes(figure, pattern, style.dashOffset * style.width, kMostDashes, &dashes)) return false;
    for (DashPiece& dash : dashes) pieces->push_back(StrokeFigure{std::move(dash.points), false});
    return true;
}

}  // namespace

bool CompoundStroke(const std::vector<StrokeFigure>& figures, const StrokeStyle& style,
                    const std::vector<double>& bands, double sense, std::vector<Polygon>* out)
{
    if (!(style.width > 0) || !std::isfinite(style.width) || !FlatEnd(style.startCap) || !FlatEnd(style.endCap) ||
        (!style.dashes.empty() && style.dashCap != DashCapFlat))
        return false;
    const size_t before = out->size();
    size_t points = 0;
    for (const StrokeFigure& figure : figures) {
        const size_t from = out->size();
        std::vector<StrokeFigure> pieces;
        bool drawn = Pieces(figure, style, &pieces);
        for (size_t i = 0; drawn && i < pieces.size(); ++i) drawn = AddBands(pieces[i], style, bands, sense, out);
        if (!drawn || (points += PointsIn(*out, from)) > kMostPoints) {
            out->resize(before);
            return false;
        }
    }
    return true;
}

}  // namespace Gdiplus
