// Dashes: a figure cut into the pieces a dashed pen draws, the pattern measured along the figure.
#pragma once

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

}  // namespace Gdiplus
