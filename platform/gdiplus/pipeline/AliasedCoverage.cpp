// GDI+'s aliased rule: pixels whose centres lie inside the shape, found from the edges that cross each row's
// centre line.
#include "AliasedCoverage.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace Gdiplus {

namespace {

// The first pixel whose centre lies at or right of x, kept within [left, right].
INT FirstCentreFrom(float x, INT left, INT right)
{
    const float first = std::ceil(x - 0.5f);
    if (!(first > float(left))) return left;
    return first >= float(right) ? right : static_cast<INT>(first);
}

// Appends [from, to) to sorted runs, joining it to the last run it touches.
void AppendRun(INT from, INT to, PixelRuns* runs)
{
    if (from >= to) return;
    if (!runs->empty() && runs->back().to >= from) {
        runs->back().to = std::max(runs->back().to, to);
        return;
    }
    runs->push_back({from, to});
}

bool Keeps(bool inA, bool inB, RunCombine how)
{
    switch (how) {
    case RunCombine::Replace: return inB;
    case RunCombine::Intersect: return inA && inB;
    case RunCombine::Union: return inA || inB;
    case RunCombine::Xor: return inA != inB;
    case RunCombine::Exclude: return inA && !inB;
    case RunCombine::Complement: return inB && !inA;
    }
    return false;
}

}  // namespace

void CombineRuns(const PixelRuns& a, const PixelRuns& b, RunCombine how, PixelRuns* out)
{
    out->clear();
    size_t i = 0, j = 0;
    INT at = INT_MIN;
    // Walks the boundaries of both in order; between two boundaries membership does not change.
    while (i < a.size() || j < b.size()) {
        const INT nextA = i < a.size() ? (at < a[i].from ? a[i].from : a[i].to) : INT_MAX;
        const INT nextB = j < b.size() ? (at < b[j].from ? b[j].from : b[j].to) : INT_MAX;
        const INT next = std::min(nextA, nextB);
        const bool inA = i < a.size() && at >= a[i].from, inB = j < b.size() && at >= b[j].from;
        if (at != INT_MIN && Keeps(inA, inB, how)) AppendRun(at, next, out);
        at = next;
        if (i < a.size() && at >= a[i].to) ++i;
        if (j < b.size() && at >= b[j].to) ++j;
    }
}

void RectangleRun(float x0, float y0, float x1, float y1, INT y, INT left, INT right, PixelRuns* runs)
{
    const float centre = float(y) + 0.5f;
    if (!(centre >= y0 && centre < y1)) return;
    runs->push_back({FirstCentreFrom(x0, left, right), FirstCentreFrom(x1, left, right)});
    if (runs->back().from >= runs->back().to) runs->pop_back();
}

CentreScanner::CentreScanner(const std::vector<Polygon>& polygons, bool evenOdd) : evenOdd(evenOdd), lastRow(INT_MAX)
{
    for (const Polygon& polygon : polygons)
        for (size_t k = 0; k < polygon.size(); ++k) {
            const PointF& p = polygon[k];
            const PointF& q = polygon[(k + 1) % polygon.size()];
            if (!(p.Y != q.Y)) continue;  // level edges cross no centre line
            const PointF& upper = p.Y < q.Y ? p : q;
            const PointF& lower = p.Y < q.Y ? q : p;
            edges.push_back({upper.Y, lower.Y, upper.X, (lower.X - upper.X) / (lower.Y - upper.Y), p.Y < q.Y ? 1 : -1});
        }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
}

void CentreScanner::Runs(INT y, INT left, INT right, PixelRuns* runs)
{
    runs->clear();
    if (y < lastRow) {
        nextEdge = 0;
        active.clear();
    }
    lastRow = y;
    const float centre = float(y) + 0.5f;
    // An edge holds the centre lines from its top (included) to its bottom (excluded).
    while (nextEdge < edges.size() && edges[nextEdge].top <= centre) active.push_back(nextEdge++);
    std::erase_if(active, [&](size_t e) { return edges[e].bottom <= centre; });
    crossings.clear();
    for (size_t e : active)
        if (edges[e].top <= centre)
            crossings.push_back({edges[e].x + (centre - edges[e].top) * edges[e].slope, edges[e].direction});
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    int winding = 0;
    for (size_t k = 0; k + 1 < crossings.size(); ++k) {
        winding += crossings[k].direction;
        const bool inside = evenOdd ? (winding & 1) != 0 : winding != 0;
        if (inside)
            AppendRun(FirstCentreFrom(crossings[k].x, left, right), FirstCentreFrom(crossings[k + 1].x, left, right),
                      runs);
    }
}

}  // namespace Gdiplus
