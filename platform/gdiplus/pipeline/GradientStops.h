// A gradient's blend as stops of a piecewise linear function: blend factors at their positions, shared by
// the linear and the path gradient paints.
#pragma once

#include <vector>

namespace Gdiplus {

struct GradientStop {
    double position;
    double value;
};

// The value at t of the piecewise linear function through the stops (sorted by position); the end values
// hold beyond the ends.
inline double ValueAt(const std::vector<GradientStop>& stops, double t)
{
    if (t <= stops.front().position) return stops.front().value;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t > stops[i].position) continue;
        const double span = stops[i].position - stops[i - 1].position;
        const double share = span > 0 ? (t - stops[i - 1].position) / span : 1.0;
        return stops[i - 1].value + (stops[i].value - stops[i - 1].value) * share;
    }
    return stops.back().value;
}

}  // namespace Gdiplus
