// Flattening, centred strokes and exact-area coverage of polygons (after the signed-area accumulation of
// font-rs: each edge adds, per row, the area it bounds to the cells it crosses; a running sum along the row
// is then the coverage).
#include "Coverage.h"

#include "RowClones.h"

namespace Gdiplus {

namespace {

// How far, in pixels, a flattened curve may stray from the curve (the engine's cairo allows as much).
const float kFlatness = 0.1f;
// Curves are cut into at most this many lines, whatever their size.
const int kMostLinesPerCurve = 1024;
// Points a flattened figure makes room for at its start.
const INT kPointsAtOnce = 16;

PointF Lerp(const PointF& a, const PointF& b, float t) { return PointF(a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t); }

// Lines along a cubic Bézier from the polygon's last point, enough that none strays more than kFlatness:
// with n equal steps the error is at most 3/4 of the largest second difference over n squared.
void AddBezier(Polygon& polygon, const PointF& p1, const PointF& p2, const PointF& p3)
{
    const PointF p0 = polygon.back();
    const float dx = std::max(std::fabs(p0.X - 2 * p1.X + p2.X), std::fabs(p1.X - 2 * p2.X + p3.X));
    const float dy = std::max(std::fabs(p0.Y - 2 * p1.Y + p2.Y), std::fabs(p1.Y - 2 * p2.Y + p3.Y));
    const float steps = std::ceil(std::sqrt(0.75f * std::hypot(dx, dy) / kFlatness));
    // Not-a-number coordinates give one line; the caller refuses such shapes.
    const int n = steps >= 1.0f ? static_cast<int>(std::min(steps, float(kMostLinesPerCurve))) : 1;
    for (int k = 1; k <= n; ++k) {
        const float t = float(k) / float(n);
        const PointF a = Lerp(p0, p1, t), b = Lerp(p1, p2, t), c = Lerp(p2, p3, t);
        polygon.push_back(Lerp(Lerp(a, b, t), Lerp(b, c, t), t));
    }
}

// The coordinates here are bounded, so whole numbers below and above them fit an INT.
[[gnu::always_inline]] inline INT FloorToInt(float v) { return static_cast<INT>(std::floor(v)); }
[[gnu::always_inline]] inline INT CeilToInt(float v) { return static_cast<INT>(std::ceil(v)); }

float Dot(const PointF& a, const PointF& b) { return a.X * b.X + a.Y * b.Y; }
PointF Minus(const PointF& a, const PointF& b) { return PointF(a.X - b.X, a.Y - b.Y); }

// The polygon without points that repeat the one before (nor a last point that repeats the first).
Polygon WithoutRepeats(const Polygon& figure)
{
    const float kSame = 1e-4f;
    Polygon points;
    for (const PointF& p : figure)
        if (points.empty() || std::fabs(p.X - points.back().X) > kSame || std::fabs(p.Y - points.back().Y) > kSame)
            points.push_back(p);
    while (points.size() > 1 && std::fabs(points.back().X - points[0].X) <= kSame &&
           std::fabs(points.back().Y - points[0].Y) <= kSame)
        points.pop_back();
    return points;
}

}  // namespace

bool FlattenPath(const PointF* points, const BYTE* types, INT count, PointF offset, std::vector<Polygon>* figures,
                 std::vector<bool>* closed)
{
    for (INT i = 0; i < count; ++i) {
        const BYTE type = types[i] & PathPointTypePathTypeMask;
        auto at = [&](INT k) { return PointF(points[k].X + offset.X, points[k].Y + offset.Y); };
        if (type == PathPointTypeStart) {
            // Room for the figure's first few points at once (a line's two without growing).
            Polygon& figure = figures->emplace_back();
            figure.reserve(static_cast<size_t>(std::min(count - i, kPointsAtOnce)));
            figure.push_back(at(i));
            closed->push_back(false);
        } else if (figures->empty()) {
            return false;
        } else if (type == PathPointTypeLine) {
            figures->back().push_back(at(i));
        } else if (type == PathPointTypeBezier && i + 2 < count &&
                   (types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeBezier &&
                   (types[i + 2] & PathPointTypePathTypeMask) == PathPointTypeBezier) {
            AddBezier(figures->back(), at(i), at(i + 1), at(i + 2));
            i += 2;
        } else {
            return false;
        }
        if (types[i] & PathPointTypeCloseSubpath) closed->back() = true;
    }
    return true;
}

bool CentredStroke(const Polygon& figure, REAL width, REAL miterLimit, std::vector<Polygon>* band)
{
    const Polygon points = WithoutRepeats(figure);
    const size_t n = points.size();
    if (n < 3) return false;
    const float half = width / 2;
    std::vector<PointF> normals(n);  // of the edge from point i to point i + 1, to its left
    for (size_t i = 0; i < n; ++i) {
        const PointF edge = Minus(points[(i + 1) % n], points[i]);
        const float length = std::hypot(edge.X, edge.Y);
        normals[i] = PointF(-edge.Y / length, edge.X / length);
    }
    Polygon outer(n), inner(n);
    for (size_t i = 0; i < n; ++i) {
        const PointF& before = normals[(i + n - 1) % n];
        const PointF& after = normals[i];
        const float bend = 1.0f + Dot(before, after);  // 2 cos² of half the turn
        if (bend < 1e-6f || 2.0f / bend > miterLimit * miterLimit) return false;
        const PointF miter((before.X + after.X) * half / bend, (before.Y + after.Y) * half / bend);
        outer[i] = PointF(points[i].X + miter.X, points[i].Y + miter.Y);
        inner[n - 1 - i] = PointF(points[i].X - miter.X, points[i].Y - miter.Y);
    }
    // Each moved edge must keep its direction; one that turned round marks an outline folded over.
    for (size_t i = 0; i < n; ++i) {
        const PointF edge = Minus(points[(i + 1) % n], points[i]);
        const size_t j = n - 1 - i, k = (n - 1 - i + n - 1) % n;  // inner runs backwards: edge i is k -> j
        if (Dot(Minus(outer[(i + 1) % n], outer[i]), edge) <= 0 || Dot(Minus(inner[k], inner[j]), edge) <= 0)
            return false;
    }
    band->push_back(std::move(outer));
    band->push_back(std::move(inner));
    return true;
}

namespace {

// The most cells a thread keeps between masks (1 MiB of them); larger boxes allocate their own.
const size_t kMostKeptCells = size_t(1) << 18;

}  // namespace

CoverageMask::Storage& CoverageMask::ThreadStorage()
{
    thread_local Storage kept;
    return kept;
}

CoverageMask::CoverageMask(const Rect& box)
    : box(box), cellsPerRow(box.Width + 1), wordsPerRow((box.Width + 1 + 63) / 64)
{
    const size_t rows = static_cast<size_t>(std::max(box.Height, 0));
    const size_t cellCount = static_cast<size_t>(cellsPerRow) * rows;
    Storage& kept = ThreadStorage();
    storage = !kept.taken && cellCount <= kMostKeptCells ? &kept : &own;
    storage->taken = true;
    // Grown with zeros, which keeps the storage all zero.
    if (storage->cells.size() < cellCount) storage->cells.resize(cellCount, 0.0f);
    if (storage->marks.size() < static_cast<size_t>(wordsPerRow) * rows)
        storage->marks.resize(static_cast<size_t>(wordsPerRow) * rows, 0);
    cells = storage->cells.data();
    marks = storage->marks.data();
}

CoverageMask::~CoverageMask()
{
    if (!swept) ClearMarked();
    storage->taken = false;
}

void CoverageMask::ClearMarked()
{
    for (INT y = 0; y < box.Height; ++y) {
        uint64_t* words = marks + static_cast<size_t>(y) * static_cast<size_t>(wordsPerRow);
        float* row = cells + static_cast<size_t>(y) * static_cast<size_t>(cellsPerRow);
        for (INT w = 0; w < wordsPerRow; ++w) {
            for (uint64_t bits = words[w]; bits != 0; bits &= bits - 1) row[w * 64 + __builtin_ctzll(bits)] = 0.0f;
            words[w] = 0;
        }
    }
}

namespace {

// The cells and marks of a mask, as the edge loop below works on them.
struct Grid {
    Rect box;
    INT cellsPerRow, wordsPerRow;
    float* cells;
    uint64_t* marks;
};

// Area left of the box goes to its first cell, where the running sum starts; area past the last cell is
// never summed, so it is dropped. An edge known to lie inside the row adds to its cells as they are.
template <bool inside> [[gnu::always_inline]] inline void AddCell(const Grid& grid, float* row, INT x, float area)
{
    if constexpr (inside)
        row[x] += area;
    else if (x < grid.cellsPerRow)
        row[std::max(x, 0)] += area;
}

// Marks cells first..last (0 <= first <= last) of row y as having received area.
[[gnu::always_inline]] inline void Mark(const Grid& grid, INT y, INT first, INT last)
{
    uint64_t* words = grid.marks + static_cast<size_t>(y) * static_cast<size_t>(grid.wordsPerRow);
    const unsigned from = static_cast<unsigned>(first), to = static_cast<unsigned>(last);
    const uint64_t fromOn = ~uint64_t(0) << (from % 64), upTo = ~uint64_t(0) >> (63 - to % 64);
    if (from / 64 == to / 64) {
        words[from / 64] |= fromOn & upTo;
        return;
    }
    words[from / 64] |= fromOn;
    for (unsigned w = from / 64 + 1; w < to / 64; ++w) words[w] = ~uint64_t(0);
    words[to / 64] |= upTo;
}

// The rows an edge from (x0, y0) down to (x1, y1), in the box's coordinates, crosses: each adds the area it
// bounds to the cells it crosses there.
template <bool inside>
[[gnu::always_inline]] inline void AddRows(const Grid& grid, float x0, float y0, float x1, float y1, float direction)
{
    const INT cellsPerRow = grid.cellsPerRow;
    const float dxdy = (x1 - x0) / (y1 - y0);
    const INT firstRow = std::max(FloorToInt(y0), 0);
    const INT endRow = std::min(CeilToInt(y1), grid.box.Height);
    for (INT y = firstRow; y < endRow; ++y) {
        const float top = std::max(float(y), y0), bottom = std::min(float(y + 1), y1);
        if (bottom <= top) continue;
        float* row = grid.cells + static_cast<size_t>(y) * static_cast<size_t>(cellsPerRow);
        const float d = (bottom - top) * direction;
        const float xa = x0 + (top - y0) * dxdy, xb = x0 + (bottom - y0) * dxdy;
        const float left = std::min(xa, xb), right = std::max(xa, xb);
        const INT li = FloorToInt(left), ri = CeilToInt(right);
        const float leftFloor = float(li), rightCeil = float(ri);
        if (ri <= li + 1) {
            // Within one column: the area right of the edge's middle.
            const float middle = 0.5f * (xa + xb) - leftFloor;
            AddCell<inside>(grid, row, li, d - d * middle);
            AddCell<inside>(grid, row, li + 1, d * middle);
        } else {
            const float s = 1.0f / (right - left);
            const float leftPart = left - leftFloor, rightPart = right - rightCeil + 1.0f;
            const float first = 0.5f * s * (1.0f - leftPart) * (1.0f - leftPart);
            const float last = 0.5f * s * rightPart * rightPart;
            AddCell<inside>(grid, row, li, d * first);
            if (ri == li + 2) {
                AddCell<inside>(grid, row, li + 1, d * (1.0f - first - last));
            } else {
                const float second = s * (1.5f - leftPart);
                AddCell<inside>(grid, row, li + 1, d * (second - first));
                // The columns wholly crossed each take the same share; those left of the box together.
                const INT from = li + 2, to = ri - 1;
                if constexpr (inside) {
                    for (INT x = from; x < to; ++x) row[x] += d * s;
                } else {
                    const INT leftOfBox = std::clamp(-from, 0, to - from);
                    if (leftOfBox > 0) AddCell<inside>(grid, row, 0, d * s * float(leftOfBox));
                    for (INT x = std::max(from, 0); x < std::min(to, cellsPerRow); ++x)
                        AddCell<inside>(grid, row, x, d * s);
                }
                AddCell<inside>(grid, row, ri - 1, d * (1.0f - second - float(ri - li - 3) * s - last));
            }
            AddCell<inside>(grid, row, ri, d * last);
        }
        if (inside)
            Mark(grid, y, li, std::max(ri, li + 1));
        else if (li < cellsPerRow)
            Mark(grid, y, std::max(li, 0), std::min(std::max(std::max(ri, li + 1), 0), cellsPerRow - 1));
    }
}

[[gnu::always_inline]] inline void AddEdge(const Grid& grid, PointF from, PointF to)
{
    const Rect& box = grid.box;
    float x0 = from.X - float(box.X), y0 = from.Y - float(box.Y), x1 = to.X - float(box.X), y1 = to.Y - float(box.Y);
    if (y0 == y1) return;
    float direction = 1.0f;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        direction = -1.0f;
    }
    // An edge inside the box's pixels by a margin far wider than the rounding of the points worked out along
    // it (a few steps of a float of the row's length) reaches no cell outside the row: its first cell is 0 or
    // more, and its last, and the one after its first, at most the extra cell. A shape's own box is that
    // of its outline, so most edges are such, those at its sides too.
    const float margin = 1e-3f + 1e-5f * float(grid.cellsPerRow);
    if (std::min(x0, x1) >= margin && std::max(x0, x1) <= float(box.Width) - margin)
        AddRows<true>(grid, x0, y0, x1, y1, direction);
    else
        AddRows<false>(grid, x0, y0, x1, y1, direction);
}

// Every edge of the polygon, built for AVX2 (whose rounding instructions make floor and ceil cheap) and
// for any x86-64.
PICTOR_ROW_CLONES void AddEdges(const Grid& grid, const Polygon& polygon)
{
    for (size_t i = 0; i < polygon.size(); ++i) AddEdge(grid, polygon[i], polygon[(i + 1) % polygon.size()]);
}

}  // namespace

void CoverageMask::AddPolygon(const Polygon& polygon)
{
    swept = false;
    AddEdges(Grid{box, cellsPerRow, wordsPerRow, cells, marks}, polygon);
}

}  // namespace Gdiplus
