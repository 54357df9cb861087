// Where a picture of one size lands when fitted, aspect kept and centred, into another.
#pragma once

namespace pictor {

struct FitResult {
    int x, y, width, height;
};

FitResult FitInto(int fromWidth, int fromHeight, int toWidth, int toHeight);

}  // namespace pictor
