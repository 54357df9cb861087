// Pairs of benchmarks compared as a ratio: the member's time over the reference's time, measured in
// the same process on the same data, so that the machine's load cancels out.
#pragma once

#include <string>
#include <vector>

struct RatioRow {
    std::string member;     // benchmark name of the member
    std::string reference;  // benchmark name of the reference run
    double target;          // the ratio the member should stay at or under
};

// Every family adds its rows when it registers its benchmarks, at start-up.
std::vector<RatioRow>& RatioRows();

// The sizes the pixel members are measured at, to show how cost grows with the canvas.
struct CanvasSize {
    int width;
    int height;
};
const CanvasSize kPixelSizes[] = {{960, 540}, {1920, 1080}, {3840, 2160}};
std::string SizeName(const CanvasSize& size);
