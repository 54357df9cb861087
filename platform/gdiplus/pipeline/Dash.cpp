// Dashes gathered as pieces, for the callers that keep them.
#include "Dash.h"

namespace Gdiplus {

bool CutDashes(const StrokeFigure& figure, const std::vector<double>& pattern, double offset, size_t mostPieces,
               std::vector<DashPiece>* pieces)
{
    const size_t before = pieces->size();
    const bool cut = ForEachDash(figure, pattern, offset, mostPieces,
                                 [&](const std::vector<PointF>& points, bool atStart, bool atEnd) {
                                     pieces->push_back(DashPiece{points, atStart, atEnd});
                                 });
    if (!cut) pieces->resize(before);
    return cut;
}

}  // namespace Gdiplus
