// The clip of a drawing context as device pixels, for the fills the layer paints itself. GDI+ clips are
// aliased: a device pixel is inside when its centre is inside the clip region (AliasedCoverage.h). The
// region is the engine's, read in device space, where the engine keeps it as it was set (under the world
// transform of that moment). Coordinates are the coverage stage's: pixel (x, y) is [x, x + 1] x [y, y + 1].
#pragma once

#include <memory>
#include <vector>

#include "AliasedCoverage.h"
#include "../engine/GdiplusFlat.h"

namespace Gdiplus {

class DeviceClip {
public:
    DeviceClip();
    ~DeviceClip();
    DeviceClip(const DeviceClip&) = delete;
    DeviceClip& operator=(const DeviceClip&) = delete;

    // Reads the context's clip, moved by `offset` (as the figures are for the pixel offset mode). False
    // when it cannot be read as pixels here (data of an unknown form, a clip inside a container, a point that
    // is not a number): the
    // drawing is then left to the engine. Shapes reaching past the band around the canvas are cut to it.
    bool Read(DllExports::GpGraphics* graphics, REAL offset, bool inContainer, const RectF& band);

    // True when the clip holds a single box of pixels (or the whole plane): Narrow is then all it does.
    bool IsBox() const { return box != nullptr; }
    // The part of `area` the clip's box of pixels lets through (all of it when the clip is a shape).
    Rect Narrow(const Rect& area) const;

    // The runs of row y within [left, right) the clip lets through; rows top to bottom.
    void Runs(INT y, INT left, INT right, PixelRuns* runs);

    struct Node;

private:
    std::unique_ptr<Node> root;
    // For a clip of one rectangle: its pixels (coverage-stage coordinates); null otherwise.
    std::unique_ptr<Rect> box;
};

// The runs a clip lets through, for each row of a band of pixels: built once per band, then applied to the
// spans painted there. Memory grows with the runs of the band's rows only.
class ClipRows {
public:
    ClipRows(DeviceClip& clip, const Rect& band);

    // Calls paint(x, count) for each part of the span [x, x + count) of row y that the clip lets through.
    template <class Paint> void ForEachPart(INT y, INT x, INT count, Paint&& paint) const;

private:
    INT top;
    std::vector<PixelRun> runs;
    std::vector<size_t> rowStarts;  // runs of row top + k are [rowStarts[k], rowStarts[k + 1])
};

template <class Paint> void ClipRows::ForEachPart(INT y, INT x, INT count, Paint&& paint) const
{
    const size_t k = static_cast<size_t>(y - top);
    if (y < top || k + 1 >= rowStarts.size()) return;
    const INT end = x + count;
    for (size_t r = rowStarts[k]; r < rowStarts[k + 1] && runs[r].from < end; ++r) {
        const INT from = std::max(runs[r].from, x), to = std::min(runs[r].to, end);
        if (from < to) paint(from, to - from);
    }
}

}  // namespace Gdiplus
