// Anti-aliased coverage of closed polygons, each pixel's share worked out exactly as the area the polygons
// cover of it, for the filled and outlined shapes the layer draws itself (GdiplusAntialiased.cpp). Device pixel
// (x, y) is the square [x, x + 1] x [y, y + 1].
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "../GdiplusTypes.h"

namespace Gdiplus {

// A closed polygon: its last point joins its first.
using Polygon = std::vector<PointF>;

// Flattens the figures of a path, given as GDI+ keeps them (points and point types), into polygons that
// stray at most a tenth of a pixel from the curves, each point moved by `offset`. A figure counts as
// closed when its last point carries the close flag. False when the types do not make whole figures.
bool FlattenPath(const PointF* points, const BYTE* types, INT count, PointF offset, std::vector<Polygon>* figures,
                 std::vector<bool>* closed);

// The area a pen of the width covers, centred on a closed polygon, as two polygons: the polygon moved out by
// half the width and the polygon moved in, the second turned the other way so that only the band between
// them is covered. Joins are mitred. False when a join's miter exceeds the limit, when the polygon turns
// back on itself, or when the inner outline would fold over (a pen too wide for a bend).
bool CentredStroke(const Polygon& figure, REAL width, REAL miterLimit, std::vector<Polygon>* band);

// Accumulates the signed area of polygons over the pixels of a box, then hands on the coverage row by row.
class CoverageMask {
public:
    // The box is clipped by the caller to the pixels that will be painted; polygons may reach beyond it.
    explicit CoverageMask(const Rect& box);
    ~CoverageMask();
    CoverageMask(const CoverageMask&) = delete;
    CoverageMask& operator=(const CoverageMask&) = delete;

    void AddPolygon(const Polygon& polygon);

    // Calls span(x, y, count, coverage) for every run of pixels of the box that share one coverage, from
    // 1 to 255, left to right and top to bottom. Winding counts make the coverage of nested figures; with
    // evenOdd, an area covered twice is uncovered.
    template <class Span> void Sweep(bool evenOdd, Span&& span);

    // As Sweep, with the pixels whose cells area reached handed on together: touched(x, y, count, shares) for
    // each run of such pixels (at most kMostCellsAtOnce), shares[i] being the coverage of pixel x + i, from 0
    // to 255; span(x, y, count, coverage) for each run between them that shares one coverage from 1 to 255.
    template <class Span, class Cells> void SweepCells(bool evenOdd, Span&& span, Cells&& touched);

    static constexpr INT kMostCellsAtOnce = 64;

private:
    // Cells and marks, all zero between uses: each thread keeps one set for the masks it makes one at a
    // time (a fill per shape would otherwise allocate and clear its own), and a mask takes its own when
    // that set is in use or the box is large.
    struct Storage {
        std::vector<float> cells;
        std::vector<uint64_t> marks;
        bool taken = false;
    };
    static Storage& ThreadStorage();
    // Zeroes what the sweep has not: the cells and marks of a mask that was filled and not swept.
    void ClearMarked();

    template <bool evenOdd> static int CoverageOf(float sum);
    template <bool evenOdd, class Span, class Cells> void SweepRows(Span&& span, Cells&& touched);

    Rect box;
    INT cellsPerRow;  // the box's width and one more cell, which takes area that ends past the last pixel
    INT wordsPerRow;  // of marks
    Storage own;
    Storage* storage;
    float* cells;
    // A bit a cell, set where area arrived: the sweep visits those cells alone and passes over the runs
    // between them whole.
    uint64_t* marks;
    // A sweep leaves every cell and mark zero.
    bool swept = false;
};

template <bool evenOdd> [[gnu::always_inline]] inline int CoverageMask::CoverageOf(float sum)
{
    float share = std::fabs(sum);
    if (evenOdd && share > 1.0f) {
        // Folded into [0, 2), then an area covered twice counts as uncovered.
        share -= 2.0f * float(static_cast<INT>(share / 2.0f));
        if (share > 1.0f) share = 2.0f - share;
    }
    return static_cast<int>(std::min(share, 1.0f) * 255.0f + 0.5f);
}

template <class Span, class Cells> void CoverageMask::SweepCells(bool evenOdd, Span&& span, Cells&& touched)
{
    // The fill rule chosen once, not at every cell.
    if (evenOdd)
        SweepRows<true>(span, touched);
    else
        SweepRows<false>(span, touched);
    swept = true;
}

template <bool evenOdd, class Span, class Cells> void CoverageMask::SweepRows(Span&& span, Cells&& touched)
{
    uint8_t shares[kMostCellsAtOnce];
    for (INT y = 0; y < box.Height; ++y) {
        float* row = cells + static_cast<size_t>(y) * static_cast<size_t>(cellsPerRow);
        uint64_t* words = marks + static_cast<size_t>(y) * static_cast<size_t>(wordsPerRow);
        float sum = 0.0f;
        INT next = 0;   // the first cell not yet handed on
        INT first = 0;  // the first of the held shares' pixels
        INT held = 0;
        const auto handOn = [&] {
            if (held > 0) touched(box.X + first, box.Y + y, held, static_cast<const uint8_t*>(shares));
            held = 0;
        };
        for (INT w = 0; w < wordsPerRow; ++w) {
            for (uint64_t bits = words[w]; bits != 0;) {
                // A run of cells that area reached: from..to - 1.
                const INT start = __builtin_ctzll(bits);
                const uint64_t rest = ~bits >> start;  // 0 when the run goes on to the word's end
                const INT length = rest == 0 ? 64 - start : __builtin_ctzll(rest);
                bits = length + start >= 64 ? 0 : bits & (~uint64_t(0) << (start + length));
                const INT from = w * 64 + start, to = from + length;
                if (from > next) {
                    // No area arrived in the cells between: one coverage holds for all of them.
                    handOn();
                    const int coverage = CoverageOf<evenOdd>(sum);
                    if (coverage > 0) span(box.X + next, box.Y + y, from - next, coverage);
                }
                if (held == 0) first = from;
                // The extra cell past the last pixel is summed but never painted.
                const INT painted = std::min(to, box.Width);
                for (INT x = from; x < painted; ++x) {
                    sum += row[x];
                    row[x] = 0.0f;
                    if (held == kMostCellsAtOnce) {
                        handOn();
                        first = x;
                    }
                    shares[held++] = static_cast<uint8_t>(CoverageOf<evenOdd>(sum));
                }
                if (to > box.Width) {
                    sum += row[box.Width];
                    row[box.Width] = 0.0f;
                }
                next = to;
            }
            words[w] = 0;
        }
        handOn();
        // A shape that goes on past the box's right side covers the rest of the row alike.
        const int coverage = next < box.Width ? CoverageOf<evenOdd>(sum) : 0;
        if (coverage > 0) span(box.X + next, box.Y + y, box.Width - next, coverage);
    }
}

template <class Span> void CoverageMask::Sweep(bool evenOdd, Span&& span)
{
    SweepCells(evenOdd, span, [&](INT x, INT y, INT count, const uint8_t* shares) {
        for (INT i = 0; i < count; ++i)
            if (shares[i] > 0) span(x + i, y, 1, int(shares[i]));
    });
}

}  // namespace Gdiplus
