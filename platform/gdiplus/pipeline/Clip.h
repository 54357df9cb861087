// The clip of a drawing context as device pixels, for the fills the layer paints itself. GDI+ clips are
// aliased: a device pixel is inside when its centre is inside the clip region (AliasedCoverage.h). The
// region is the engine's, read in device space, where the engine keeps it as it was set (under the world
// transform of that moment). Coordinates are the coverage stage's: pixel (x, y) is [x, x + 1] x [y, y + 1].
#pragma once

#include <algorithm>
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

    // Reads the context's clip, scaled by `scale` (the page the engine leaves out of its clip) and moved by
    // `offset` (as the figures are for the pixel offset mode). False when it cannot be read as pixels here
    // (data of an unknown form, a point that is not a number): the drawing is then left to the engine.
    // Shapes reaching past the band around the canvas are cut to it.
    bool Read(DllExports::GpGraphics* graphics, REAL scale, REAL offset, const RectF& band);

    // True when the clip holds a single box of pixels (or the whole plane): Narrow is then all it does.
    bool IsBox() const;
    // The part of `area` the clip's box of pixels lets through (all of it when the clip is a shape).
    Rect Narrow(const Rect& area) const;

    // The runs of row y within [left, right) the clip lets through.
    void Runs(INT y, INT left, INT right, PixelRuns* runs);

    struct Node;
    // The clip's pixels, shared by the reads that found the same clip (DeviceClipCache).
    struct Shape;

private:
    friend class DeviceClipCache;
    friend class ClipRows;
    // The runs of row y across the whole band, worked out once; empty outside the band.
    const PixelRuns& Row(INT y);

    std::shared_ptr<Shape> shape;
};

// The last clip a context read, kept for its next fills: the engine's clip data (in device space) is read at
// every fill and compared with the data the kept pixels came from, so a clip set, combined, moved, reset or
// restored in any way is never mistaken for the kept one, and the paths of an unchanged clip are not
// flattened and scanned again.
class DeviceClipCache {
public:
    // As DeviceClip::Read, sharing the kept pixels when the clip, the scale, the offset and the band are the same.
    // `unclipped` is what the context knows of its clip: nothing is then read.
    bool Read(DllExports::GpGraphics* graphics, bool unclipped, REAL scale, REAL offset, const RectF& band,
              DeviceClip* clip);

private:
    std::vector<BYTE> data;
    REAL shift = 0;
    REAL scale = 1;
    RectF band;
    std::shared_ptr<DeviceClip::Shape> shape;
    // The shape of no clip, for the band it was made for.
    std::shared_ptr<DeviceClip::Shape> everywhere;
    RectF everywhereBand;
};

// The runs a clip lets through, for each row of a band of pixels, then applied to the spans painted there. The
// rows are the clip's own, worked out at their first use and kept with it.
class ClipRows {
public:
    ClipRows(DeviceClip& clip, const Rect& band);

    // Calls paint(x, count) for each part of the span [x, x + count) of row y that the clip lets through.
    template <class Paint> void ForEachPart(INT y, INT x, INT count, Paint&& paint) const;

private:
    INT top;
    std::vector<const PixelRuns*> rows;  // the clip's runs of row top + k, across the whole band
    bool whole = true;                   // the clip lets the whole band through
};

template <class Paint> void ClipRows::ForEachPart(INT y, INT x, INT count, Paint&& paint) const
{
    const size_t k = static_cast<size_t>(y - top);
    if (y < top || k >= rows.size()) return;
    if (whole) return paint(x, count);
    const PixelRuns& row = *rows[k];
    const INT end = x + count;
    auto run = std::partition_point(row.begin(), row.end(), [x](const PixelRun& r) { return r.to <= x; });
    for (; run != row.end() && run->from < end; ++run) {
        const INT from = std::max(run->from, x), to = std::min(run->to, end);
        if (from < to) paint(from, to - from);
    }
}

}  // namespace Gdiplus
