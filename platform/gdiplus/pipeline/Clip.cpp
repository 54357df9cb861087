// The engine's clip read back as pixel runs. libgdiplus keeps the clip in device space and hands it out in
// world coordinates (through the inverse of the world transform); its region data is a tree of rectangle
// lists and paths combined two at a time (region-path-tree.c). The engine's own pixels for a path clip are
// cairo's anti-aliased ones (any pixel touched counts), so the tree is read and its pixels worked out here.
#include "Clip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "DeviceFigure.h"
#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

const uint32_t kRegionMagic = 0xdbc01002;
const uint32_t kDataRectangles = 0x10000000, kDataPath = 0x10000001, kDataEmpty = 0x10000002,
               kDataInfinite = 0x10000003;
const uint32_t kTagPath = 1, kTagTree = 2;
// A tree deeper than this (thousands of combinations) is left to the engine.
const int kDeepestTree = 2048;
// Coordinates are kept within this distance of the canvas before they become whole pixels.
const float kFarthest = float(1 << 30);

// Reads a little-endian word or value from the data, moving on past it; false past the end.
template <class T> bool Take(const BYTE*& at, const BYTE* end, T* value)
{
    if (end - at < static_cast<std::ptrdiff_t>(sizeof(T))) return false;
    std::memcpy(value, at, sizeof(T));
    at += sizeof(T);
    return true;
}

// The plane as a box of pixels, far larger than any canvas.
Rect Everywhere() { return Rect(INT(-kFarthest / 2), INT(-kFarthest / 2), INT(kFarthest), INT(kFarthest)); }

// Sorts runs that may overlap and joins those that do.
void JoinOverlaps(PixelRuns* runs)
{
    std::sort(runs->begin(), runs->end(), [](const PixelRun& a, const PixelRun& b) { return a.from < b.from; });
    size_t kept = 0;
    for (const PixelRun& run : *runs) {
        if (kept > 0 && (*runs)[kept - 1].to >= run.from) {
            (*runs)[kept - 1].to = std::max((*runs)[kept - 1].to, run.to);
            continue;
        }
        (*runs)[kept++] = run;
    }
    runs->resize(kept);
}

INT PixelFrom(float edge) { return static_cast<INT>(std::clamp(std::ceil(edge - 0.5f), -kFarthest, kFarthest)); }

}  // namespace

struct DeviceClip::Node {
    enum class Kind { Rectangles, Path, Everything, Combination } kind = Kind::Rectangles;
    std::vector<RectF> rectangles;  // as [left, right) x [top, bottom), in coverage-stage coordinates
    std::unique_ptr<CentreScanner> scanner;
    RunCombine how = RunCombine::Replace;
    std::unique_ptr<Node> first, second;
    PixelRuns scratchFirst, scratchSecond;  // the branches' runs of the row being worked

    void Runs(INT y, INT left, INT right, PixelRuns* runs)
    {
        runs->clear();
        switch (kind) {
        case Kind::Everything:
            if (left < right) runs->push_back({left, right});
            return;
        case Kind::Path: scanner->Runs(y, left, right, runs); return;
        case Kind::Rectangles:
            for (const RectF& r : rectangles) RectangleRun(r.X, r.Y, r.Width, r.Height, y, left, right, runs);
            if (rectangles.size() > 1) JoinOverlaps(runs);
            return;
        case Kind::Combination:
            first->Runs(y, left, right, &scratchFirst);
            second->Runs(y, left, right, &scratchSecond);
            CombineRuns(scratchFirst, scratchSecond, how, runs);
            return;
        }
    }
};

namespace {

using Node = DeviceClip::Node;

// The rectangles moved by `shift` and cut to the band, as [left, right) x [top, bottom); false for one that
// is not a number.
bool AddRectangles(const BYTE* at, const BYTE* end, float shift, const RectF& band, Node* node)
{
    if ((end - at) % sizeof(RectF) != 0) return false;
    for (RectF r; Take(at, end, &r);) {
        if (!std::isfinite(r.X) || !std::isfinite(r.Y) || !std::isfinite(r.Width) || !std::isfinite(r.Height))
            return false;
        const float left = std::max(r.X + shift, band.X), top = std::max(r.Y + shift, band.Y);
        const float right = std::min(r.X + r.Width + shift, band.X + band.Width);
        const float bottom = std::min(r.Y + r.Height + shift, band.Y + band.Height);
        if (left < right && top < bottom) node->rectangles.emplace_back(left, top, right, bottom);
    }
    return true;
}

bool ReadTree(const BYTE*& at, const BYTE* end, float shift, const RectF& band, int depth, Node* node);

bool ReadPath(const BYTE*& at, const BYTE* end, float shift, const RectF& band, Node* node)
{
    uint32_t count = 0, fillMode = 0;
    if (!Take(at, end, &count) || !Take(at, end, &fillMode) || fillMode > FillModeWinding) return false;
    if (static_cast<uint64_t>(end - at) < uint64_t(count) * (1 + sizeof(PointF))) return false;
    const std::vector<BYTE> types(at, at + count);
    std::vector<PointF> points(count);
    std::memcpy(points.data(), at + count, count * sizeof(PointF));
    at += count * (1 + sizeof(PointF));
    std::vector<Polygon> figures;
    std::vector<bool> closed;
    if (count > 0 && !FlattenPath(points.data(), types.data(), INT(count), PointF(shift, shift), &figures, &closed))
        return false;
    if (!CutToBand(&figures, band)) return false;
    node->kind = Node::Kind::Path;
    node->scanner = std::make_unique<CentreScanner>(figures, fillMode == FillModeAlternate);
    return true;
}

bool ReadTree(const BYTE*& at, const BYTE* end, float shift, const RectF& band, int depth, Node* node)
{
    uint32_t tag = 0, mode = 0, size = 0;
    if (depth > kDeepestTree || !Take(at, end, &tag)) return false;
    if (tag == kTagPath) return ReadPath(at, end, shift, band, node);
    if (tag != kTagTree || !Take(at, end, &mode) || mode > CombineModeComplement) return false;
    node->kind = Node::Kind::Combination;
    node->how = static_cast<RunCombine>(mode);
    node->first = std::make_unique<Node>();
    node->second = std::make_unique<Node>();
    for (Node* branch : {node->first.get(), node->second.get()}) {
        if (!Take(at, end, &size) || static_cast<uint64_t>(end - at) < size) return false;
        const BYTE* branchAt = at;
        if (!ReadTree(branchAt, at + size, shift, band, depth + 1, branch)) return false;
        at += size;
    }
    return true;
}

// The engine's clip region in device space, as its region data.
bool DeviceClipData(DllExports::GpGraphics* graphics, std::vector<BYTE>* data)
{
    Region region;
    Matrix world;
    if (!region.NativeRegion() || DllExports::GdipGetWorldTransform(graphics, world.NativeMatrix()) != Ok)
        return false;
    // The engine hands the clip out through the inverse of the world transform; with none for a moment, it
    // comes out exactly as kept. Only a transform the engine took before is given back to it.
    const bool transformed = !world.IsIdentity();
    if (transformed && DllExports::GdipResetWorldTransform(graphics) != Ok) return false;
    const Status read = DllExports::GdipGetClip(graphics, region.NativeRegion());
    if (transformed && DllExports::GdipSetWorldTransform(graphics, world.NativeMatrix()) != Ok) return false;
    UINT size = 0, filled = 0;
    if (read != Ok || DllExports::GdipGetRegionDataSize(region.NativeRegion(), &size) != Ok || size < 20) return false;
    data->resize(size);
    return DllExports::GdipGetRegionData(region.NativeRegion(), data->data(), size, &filled) == Ok && filled <= size &&
           (data->resize(filled), true);
}

}  // namespace

DeviceClip::DeviceClip() = default;
DeviceClip::~DeviceClip() = default;

bool DeviceClip::Read(DllExports::GpGraphics* graphics, REAL offset, bool inContainer, const RectF& band)
{
    // An unclipped context reports a huge clip; most fills see one, and need not read its data.
    RectF bounds;
    const bool unclipped = DllExports::GdipGetClipBounds(graphics, &bounds) == Ok && bounds.Width >= 4e6f &&
                           bounds.Height >= 4e6f;
    // The engine adds the containers' clips to its own; only a context without any is taken.
    if (inContainer && !unclipped) return false;
    if (unclipped) {
        root = std::make_unique<Node>();
        root->kind = Node::Kind::Everything;
        box = std::make_unique<Rect>(Everywhere());
        return true;
    }
    std::vector<BYTE> data;
    if (!DeviceClipData(graphics, &data)) return false;
    const BYTE* at = data.data() + 8;
    const BYTE* end = data.data() + data.size();
    uint32_t magic = 0, combining = 0, type = 0;
    if (!Take(at, end, &magic) || magic != kRegionMagic || !Take(at, end, &combining) || !Take(at, end, &type))
        return false;
    // The pixel centres sit half a pixel into the coverage stage's squares, and the pixel offset moves them.
    const float shift = 0.5f + offset;
    root = std::make_unique<Node>();
    if (type == kDataInfinite) {
        root->kind = Node::Kind::Everything;
    } else if (type == kDataRectangles || type == kDataEmpty) {
        if (type == kDataRectangles && !AddRectangles(at, end, shift, band, root.get())) return false;
    } else if (type != kDataPath || !ReadTree(at, end, shift, band, 0, root.get())) {
        return false;
    }
    if (root->kind == Node::Kind::Everything) {
        box = std::make_unique<Rect>(Everywhere());
    } else if (root->kind == Node::Kind::Rectangles && root->rectangles.size() <= 1) {
        box = std::make_unique<Rect>();
        if (!root->rectangles.empty()) {
            const RectF& r = root->rectangles.front();  // [left, right) x [top, bottom)
            const INT x0 = PixelFrom(r.X), y0 = PixelFrom(r.Y);
            *box = Rect(x0, y0, std::max(PixelFrom(r.Width) - x0, 0), std::max(PixelFrom(r.Height) - y0, 0));
        }
    }
    return true;
}

Rect DeviceClip::Narrow(const Rect& area) const
{
    if (!box) return area;
    const INT x0 = std::max(area.X, box->X), y0 = std::max(area.Y, box->Y);
    const INT x1 = std::min(area.X + area.Width, box->X + box->Width);
    const INT y1 = std::min(area.Y + area.Height, box->Y + box->Height);
    return Rect(x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0));
}

void DeviceClip::Runs(INT y, INT left, INT right, PixelRuns* runs)
{
    if (root) root->Runs(y, left, right, runs);
    else runs->clear();
}

ClipRows::ClipRows(DeviceClip& clip, const Rect& band) : top(band.Y)
{
    PixelRuns row;
    rowStarts.reserve(static_cast<size_t>(band.Height) + 1);
    for (INT y = band.Y; y < band.Y + band.Height; ++y) {
        rowStarts.push_back(runs.size());
        clip.Runs(y, band.X, band.X + band.Width, &row);
        runs.insert(runs.end(), row.begin(), row.end());
    }
    rowStarts.push_back(runs.size());
}

}  // namespace Gdiplus
