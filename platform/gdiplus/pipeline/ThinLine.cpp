// One-pixel lines for aliased thin pens, as parallelograms for the centre rule.
#include "ThinLine.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

// More segments than this are left to the engine (the stroker's bound on points, four a segment).
const size_t kMostSegments = size_t{1} << 22;

// The parallelogram of one segment: half a pixel either side across the segment's minor axis, moved back
// half a pixel along its major axis, so that it takes the pixel of its start and leaves that of its end to
// the next segment (and takes it too when `takesEnd`), as a line stepped pixel by pixel does. Turned the
// same way as every other.
void AddSegment(const PointF& a, const PointF& b, bool takesEnd, std::vector<Polygon>* out)
{
    const float dx = b.X - a.X, dy = b.Y - a.Y;
    if (dx == 0 && dy == 0) return;
    const bool steep = std::fabs(dy) > std::fabs(dx);
    const float major = steep ? std::fabs(dy) : std::fabs(dx);
    const float ux = 0.5f * dx / major, uy = 0.5f * dy / major;  // half a pixel along the major axis
    const PointF from(a.X - ux, a.Y - uy), to = takesEnd ? PointF(b.X + ux, b.Y + uy) : PointF(b.X - ux, b.Y - uy);
    const float hx = steep ? 0.5f : 0.0f, hy = steep ? 0.0f : 0.5f;
    Polygon piece = {
        {from.X - hx, from.Y - hy}, {to.X - hx, to.Y - hy}, {to.X + hx, to.Y + hy}, {from.X + hx, from.Y + hy}};
    // The sign of the turn is that of (b - a) x (2h).
    if ((steep ? -dy : dx) < 0) std::reverse(piece.begin(), piece.end());
    out->push_back(std::move(piece));
}

// An open run takes its last point's pixel; a closed one ends where it began.
void AddRun(const std::vector<PointF>& points, bool closed, bool takesEnd, std::vector<Polygon>* out)
{
    for (size_t i = 1; i < points.size(); ++i)
        AddSegment(points[i - 1], points[i], takesEnd && !closed && i + 1 == points.size(), out);
    if (closed && points.size() > 2) AddSegment(points.back(), points.front(), false, out);
}

}  // namespace

bool ThinLines(const std::vector<StrokeFigure>& figures, const std::vector<double>& pattern, double offset,
               std::vector<Polygon>* out)
{
    const size_t before = out->size();
    for (const StrokeFigure& figure : figures) {
        if (pattern.empty()) {
            AddRun(figure.points, figure.closed, true, out);
        } else {
            std::vector<DashPiece> pieces;
            if (!CutDashes(figure, pattern, offset, kMostSegments, &pieces)) {
                out->resize(before);
                return false;
            }
            for (const DashPiece& piece : pieces) AddRun(piece.points, false, piece.atEnd && !figure.closed, out);
        }
        if (out->size() - before > kMostSegments) {
            out->resize(before);
            return false;
        }
    }
    return true;
}

}  // namespace Gdiplus
