// Pairs of benchmarks compared as a ratio: the member's CPU time over the reference's, measured in the same
// process on the same data, so that the machine's load cancels out (on a busy machine wall time mostly
// measures waiting).
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

// A member against the fastest of other libraries doing the same work.
struct PeerRow {
    std::string member;
    std::vector<std::string> peers;
    double target;      // for the CPU time per iteration (of the whole process where wallTarget is set)
    double wallTarget;  // 0, or the target for wall time as well
};
std::vector<PeerRow>& PeerRows();

// The sizes the pixel members are measured at, to show how cost grows with the canvas.
struct CanvasSize {
    int width;
    int height;
};
const CanvasSize kPixelSizes[] = {{960, 540}, {1920, 1080}, {3840, 2160}};
std::string SizeName(const CanvasSize& size);
