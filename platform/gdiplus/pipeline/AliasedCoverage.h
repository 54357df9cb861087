// GDI+'s aliased rule, for fills without anti-aliasing and for clips: a pixel is inside a shape, whole, when
// its centre is. A centre exactly on an edge belongs to the shape below and to the right of the edge (top and
// left edges hold their centres, bottom and right edges do not), so shapes that share an edge share no pixel.
// Coordinates are those of the coverage stage (Coverage.h): pixel (x, y) is the square [x, x + 1] x [y, y + 1],
// its centre at (x + 0.5, y + 0.5).
#pragma once

#include <vector>

#include "Coverage.h"

namespace Gdiplus {

// A run of whole pixels of one row, from `from` up to `to` (excluded).
struct PixelRun {
    INT from = 0;
    INT to = 0;
};
using PixelRuns = std::vector<PixelRun>;

// How two sets of pixels combine, as a clip combines with what it is given (GDI+'s CombineMode order).
enum class RunCombine { Replace, Intersect, Union, Xor, Exclude, Complement };

// Combines the runs of a and b (each sorted, apart) into `out`, sorted and apart.
void CombineRuns(const PixelRuns& a, const PixelRuns& b, RunCombine how, PixelRuns* out);

// The runs of row y, within [left, right), of the pixels whose centres lie inside the rectangle
// [x0, x1) x [y0, y1); appended to `runs`.
void RectangleRun(float x0, float y0, float x1, float y1, INT y, INT left, INT right, PixelRuns* runs);

// The pixels whose centres lie inside closed polygons, row by row. Rows are asked for top to bottom: the
// edges a row's centre line crosses are kept from one row to the next.
class CentreScanner {
public:
    CentreScanner(const std::vector<Polygon>& polygons, bool evenOdd);

    // The runs of row y within [left, right), sorted and apart, into `runs` (replacing what it held).
    void Runs(INT y, INT left, INT right, PixelRuns* runs);

private:
    struct Edge {
        float top, bottom;  // top < bottom
        float x, slope;     // x at the top, and its change per unit of y
        int direction;      // +1 downwards, -1 upwards
    };
    struct Crossing {
        float x;
        int direction;
    };

    std::vector<Edge> edges;  // sorted by top
    bool evenOdd;
    size_t nextEdge = 0;
    std::vector<size_t> active;
    std::vector<Crossing> crossings;
    INT lastRow;
};

}  // namespace Gdiplus
