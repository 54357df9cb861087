// Dashes measured along each figure in doubles, so that long figures keep their pattern in step.
#include "Dash.h"

#include <cmath>

namespace Gdiplus {

namespace {

double Distance(const PointF& a, const PointF& b) { return std::hypot(double(b.X) - a.X, double(b.Y) - a.Y); }

PointF Between(const PointF& a, const PointF& b, double t)
{
    return PointF(static_cast<REAL>(a.X + (double(b.X) - a.X) * t), static_cast<REAL>(a.Y + (double(b.Y) - a.Y) * t));
}

// Where the pattern stands at the figure's start: the index of the dash or gap, and the length left of it.
void PatternStart(const std::vector<double>& pattern, double period, double offset, size_t* index, double* left)
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

}  // namespace

bool CutDashes(const StrokeFigure& figure, const std::vector<double>& pattern, double offset, size_t mostPieces,
               std::vector<DashPiece>* pieces)
{
    double period = 0;
    for (double length : pattern) period += length;
    if (pattern.empty() || !(period > 0) || !std::isfinite(period)) return false;
    // A closed figure comes back to its first point.
    const std::vector<PointF>& points = figure.points;
    const size_t count = points.size() + (figure.closed && !points.empty() ? 1 : 0);
    const auto point = [&](size_t i) { return i < points.size() ? points[i] : points.front(); };
    if (count < 2) return true;
    const size_t before = pieces->size();
    size_t index = 0;
    double left = 0;
    PatternStart(pattern, period, offset, &index, &left);
    // Most dashes lie along one line: room for their two ends is made at once.
    const auto startPiece = [](const PointF& at) {
        DashPiece piece;
        piece.points.reserve(2);
        piece.points.push_back(at);
        return piece;
    };
    DashPiece current = startPiece(points.front());
    current.atStart = true;
    for (size_t i = 1; i < count; ++i) {
        PointF from = point(i - 1);
        const PointF to = point(i);
        double segment = Distance(from, to);
        // Each turn of the loop ends a dash or a gap within this segment.
        while (segment > left) {
            const PointF cut = Between(from, to, left / segment);
            if (index % 2 == 0) {
                current.points.push_back(cut);
                pieces->push_back(std::move(current));
                if (pieces->size() - before > mostPieces) {
                    pieces->resize(before);
                    return false;
                }
            }
            current = startPiece(cut);
            segment -= left;
            from = cut;
            index = (index + 1) % pattern.size();
            left = pattern[index];
        }
        left -= segment;
        current.points.push_back(to);
    }
    if (index % 2 == 0) {
        current.atEnd = true;
        pieces->push_back(std::move(current));
    }
    return true;
}

}  // namespace Gdiplus
