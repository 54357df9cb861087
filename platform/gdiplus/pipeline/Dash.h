// Dashes: a figure cut into the pieces a dashed pen draws, the pattern measured along the figure.
#pragma once

#include <cmath>
#include <vector>

#include "../GdiplusTypes.h"

namespace Gdiplus {

/// One figure of a path, already flattened to lines; a closed figure's last point joins its first.
struct StrokeFigure {
    std::vector<PointF> points;
    bool closed = false;
    /// The directions a curve leaves its first point and reaches its last one, exact where its lines only
    /// come near them; (0, 0) where the first and last lines give the direction.
    PointF startTangent{0, 0};
    PointF endTangent{0, 0};
};

/// One dash: an open run of lines, and whether it begins at its figure's start or ends at its end.
struct DashPiece {
    std::vector<PointF> points;
    bool atStart = false;
    bool atEnd = false;
};

/// Cuts the figure by the pattern (dash, gap, dash, ... lengths in the figure's units), the pattern moved
/// back by `offset` along the figure. Appends the dashes to `pieces`; false, with nothing more appended
/// than it held, when they would number more than `mostPieces` or the pattern has no length.
bool CutDashes(const StrokeFigure& figure, const std::vector<double>& pattern, double offset, size_t mostPieces,
               std::vector<DashPiece>* pieces);

/// As CutDashes, handing each dash to take(points, atStart, atEnd) as it is cut, its points held in one
/// list kept from dash to dash (a dashed line then makes no list of its own per dash). False when the
/// dashes would number more than `mostPieces` (those taken so far stay taken) or the pattern has no length.
template <class Take>
bool ForEachDash(const StrokeFigure& figure, const std::vector<double>& pattern, double offset, size_t mostPieces,
                 Take&& take);

namespace dash_detail {

inline double Distance(const PointF& a, const PointF& b) { return std::hypot(double(b.X) - a.X, double(b.Y) - a.Y); }

inline PointF Between(const PointF& a, const PointF& b, double t)
{
    return PointF(static_cast<REAL>(a.X + (double(b.X) - a.X) * t), static_cast<REAL>(a.Y + (double(b.Y) - a.Y) * t));
}

// Where the pattern stands at the figure's start: the index of the dash or gap, and the length left of it.
inline void PatternStart(const std::vector<double>& pattern, double period, double offset, size_t* index, double* left)
{
    double into = std::fmod(offset, period);
    if (into < 0) into += period;
    *index = 0;
    for (size_t k = 0; k < pattern.size() && into >= pattern[*index]; ++k) {
        into -= pattern[*index];
        *index = (*index + 1) % pattern.size();
    }
    *left = pattern[*index] - into;
}

}  // namespace dash_detail

// Dashes measured along each figure in doubles, so that long figures keep their pattern in step.
template <class Take>
bool ForEachDash(const StrokeFigure& figure, const std::vector<double>& pattern, double offset, size_t mostPieces,
                 Take&& take)
{
    double period = 0;
    for (double length : pattern) period += length;
    if (pattern.empty() || !(period > 0) || !std::isfinite(period)) return false;
    // A closed figure comes back to its first point.
    const std::vector<PointF>& points = figure.points;
    const size_t count = points.size() + (figure.closed && !points.empty() ? 1 : 0);
    const auto point = [&](size_t i) { return i < points.size() ? points[i] : points.front(); };
    if (count < 2) return true;
    size_t index = 0, taken = 0;
    double left = 0;
    dash_detail::PatternStart(pattern, period, offset, &index, &left);
    // The dash being cut: its points so far, in the thread's kept list unless a dash taken cuts dashes of
    // its own, which then take a list of their own.
    thread_local std::vector<PointF> kept;
    thread_local bool keptInUse = false;
    struct Lease {
        bool held = !keptInUse;
        Lease() { keptInUse = true; }
        ~Lease()
        {
            if (!held) return;
            keptInUse = false;
            // Left small, so that a thread keeps no long figure's points.
            if (kept.capacity() > 4096) std::vector<PointF>().swap(kept);
        }
    } lease;
    std::vector<PointF> own;
    std::vector<PointF>& current = lease.held ? kept : own;
    current.assign(1, points.front());
    bool atStart = true;
    for (size_t i = 1; i < count; ++i) {
        PointF from = point(i - 1);
        const PointF to = point(i);
        double segment = dash_detail::Distance(from, to);
        // Each turn of the loop ends a dash or a gap within this segment.
        while (segment > left) {
            const PointF cut = dash_detail::Between(from, to, left / segment);
            if (index % 2 == 0) {
                current.push_back(cut);
                take(static_cast<const std::vector<PointF>&>(current), atStart, false);
                if (++taken > mostPieces) return false;
            }
            current.assign(1, cut);
            atStart = false;
            segment -= left;
            from = cut;
            index = (index + 1) % pattern.size();
            left = pattern[index];
        }
        left -= segment;
        current.push_back(to);
    }
    if (index % 2 == 0) take(static_cast<const std::vector<PointF>&>(current), atStart, true);
    return true;
}

}  // namespace Gdiplus
