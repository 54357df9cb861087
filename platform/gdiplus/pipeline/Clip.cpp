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

// The rectangles scaled by `scale`, moved by `shift` and cut to the band, as [left, right) x [top, bottom);
// false for one that is not a number.
bool AddRectangles(const BYTE* at, const BYTE* end, float scale, float shift, const RectF& band, Node* node)
{
    if ((end - at) % sizeof(RectF) != 0) return false;
    for (RectF r; Take(at, end, &r);) {
        if (!std::isfinite(r.X) || !std::isfinite(r.Y) || !std::isfinite(r.Width) || !std::isfinite(r.Height))
            return false;
        const float left = std::max(r.X * scale + shift, band.X), top = std::max(r.Y * scale + shift, band.Y);
        const float right = std::min((r.X + r.Width) * scale + shift, band.X + band.Width);
        const float bottom = std::min((r.Y + r.Height) * scale + shift, band.Y + band.Height);
        if (left < right && top < bottom) node->rectangles.emplace_back(left, top, right, bottom);
    }
    return true;
}

bool ReadTree(const BYTE*& at, const BYTE* end, float scale, float shift, const RectF& band, int depth, Node* node);

bool ReadPath(const BYTE*& at, const BYTE* end, float scale, float shift, const RectF& band, Node* node)
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
    if (scale != 1.0f)
        for (PointF& point : points) point = PointF(point.X * scale, point.Y * scale);
    if (count > 0 && !FlattenPath(points.data(), types.data(), INT(count), PointF(shift, shift), &figures, &closed))
        return false;
    if (!CutToBand(&figures, band)) return false;
    node->kind = Node::Kind::Path;
    node->scanner = std::make_unique<CentreScanner>(figures, fillMode == FillModeAlternate);
    return true;
}

bool ReadTree(const BYTE*& at, const BYTE* end, float scale, float shift, const RectF& band, int depth, Node* node)
{
    uint32_t tag = 0, mode = 0, size = 0;
    if (depth > kDeepestTree || !Take(at, end, &tag)) return false;
    if (tag == kTagPath) return ReadPath(at, end, scale, shift, band, node);
    if (tag != kTagTree || !Take(at, end, &mode) || mode > CombineModeComplement) return false;
    node->kind = Node::Kind::Combination;
    node->how = static_cast<RunCombine>(mode);
    node->first = std::make_unique<Node>();
    node->second = std::make_unique<Node>();
    for (Node* branch : {node->first.get(), node->second.get()}) {
        if (!Take(at, end, &size) || static_cast<uint64_t>(end - at) < size) return false;
        const BYTE* branchAt = at;
        if (!ReadTree(branchAt, at + size, scale, shift, band, depth + 1, branch)) return false;
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

struct DeviceClip::Shape {
    std::unique_ptr<Node> root;
    // For a clip of one rectangle: its pixels (coverage-stage coordinates); null otherwise.
    std::unique_ptr<Rect> box;
    INT top = 0, bottom = 0, left = 0, right = 0;  // the band's pixels
    std::vector<PixelRuns> rows;                   // row top + k across the band, once known
    std::vector<bool> known;
};

namespace {

// An unclipped context reports a huge clip; most fills see one, and need not read its data.
bool Unclipped(DllExports::GpGraphics* graphics)
{
    RectF bounds;
    return DllExports::GdipGetClipBounds(graphics, &bounds) == Ok && bounds.Width >= 4e6f && bounds.Height >= 4e6f;
}

std::shared_ptr<DeviceClip::Shape> EmptyShape(const RectF& band)
{
    auto shape = std::make_shared<DeviceClip::Shape>();
    shape->root = std::make_unique<Node>();
    shape->top = PixelFrom(band.Y + 0.5f);
    shape->bottom = PixelFrom(band.Y + band.Height + 0.5f);
    shape->left = PixelFrom(band.X + 0.5f);
    shape->right = PixelFrom(band.X + band.Width + 0.5f);
    return shape;
}

bool SameBand(const RectF& a, const RectF& b)
{
    return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

std::shared_ptr<DeviceClip::Shape> EverywhereShape(const RectF& band)
{
    auto shape = EmptyShape(band);
    shape->root->kind = Node::Kind::Everything;
    shape->box = std::make_unique<Rect>(Everywhere());
    return shape;
}

// The pixels of the engine's region data, scaled by `scale` and its centres moved by `shift`; null when the
// data is of a form not read here or holds a point that is not a number.
std::shared_ptr<DeviceClip::Shape> ShapeOfData(const std::vector<BYTE>& data, float scale, float shift,
                                               const RectF& band)
{
    if (data.size() < 8) return nullptr;
    const BYTE* at = data.data() + 8;
    const BYTE* end = data.data() + data.size();
    uint32_t magic = 0, combining = 0, type = 0;
    if (!Take(at, end, &magic) || magic != kRegionMagic || !Take(at, end, &combining) || !Take(at, end, &type))
        return nullptr;
    auto shape = EmptyShape(band);
    Node* root = shape->root.get();
    if (type == kDataInfinite) return EverywhereShape(band);
    if (type == kDataRectangles || type == kDataEmpty) {
        if (type == kDataRectangles && !AddRectangles(at, end, scale, shift, band, root)) return nullptr;
    } else if (type != kDataPath || !ReadTree(at, end, scale, shift, band, 0, root)) {
        return nullptr;
    }
    if (root->kind == Node::Kind::Everything) {
        shape->box = std::make_unique<Rect>(Everywhere());
    } else if (root->kind == Node::Kind::Rectangles && root->rectangles.size() <= 1) {
        shape->box = std::make_unique<Rect>();
        if (!root->rectangles.empty()) {
            const RectF& r = root->rectangles.front();  // [left, right) x [top, bottom)
            const INT x0 = PixelFrom(r.X), y0 = PixelFrom(r.Y);
            *shape->box = Rect(x0, y0, std::max(PixelFrom(r.Width) - x0, 0), std::max(PixelFrom(r.Height) - y0, 0));
        }
    }
    return shape;
}

}  // namespace

DeviceClip::DeviceClip() = default;
DeviceClip::~DeviceClip() = default;

bool DeviceClip::Read(DllExports::GpGraphics* graphics, REAL scale, REAL offset, const RectF& band)
{
    DeviceClipCache once;
    return once.Read(graphics, Unclipped(graphics), scale, offset, band, this);
}

bool DeviceClipCache::Read(DllExports::GpGraphics* graphics, bool unclipped, REAL scale, REAL offset,
                           const RectF& band, DeviceClip* clip)
{
    if (unclipped) {
        // The same plane for every unclipped fill of the band, made once.
        if (!everywhere || !SameBand(band, everywhereBand)) {
            everywhere = EverywhereShape(band);
            everywhereBand = band;
        }
        clip->shape = everywhere;
        return true;
    }
    std::vector<BYTE> read;
    if (!DeviceClipData(graphics, &read)) return false;
    // The pixel centres sit half a pixel into the coverage stage's squares, and the pixel offset moves them.
    const float readShift = 0.5f + offset;
    const bool same = shape && read == data && readShift == shift && scale == this->scale && SameBand(band, this->band);
    if (!same) {
        shape = ShapeOfData(read, scale, readShift, band);
        data.swap(read);
        shift = readShift;
        this->band = band;
        this->scale = scale;
    }
    clip->shape = shape;
    return shape != nullptr;
}

bool DeviceClip::IsBox() const { return shape && shape->box; }

Rect DeviceClip::Narrow(const Rect& area) const
{
    if (!IsBox()) return area;
    const Rect& box = *shape->box;
    const INT x0 = std::max(area.X, box.X), y0 = std::max(area.Y, box.Y);
    const INT x1 = std::min(area.X + area.Width, box.X + box.Width);
    const INT y1 = std::min(area.Y + area.Height, box.Y + box.Height);
    return Rect(x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0));
}

const PixelRuns& DeviceClip::Row(INT y)
{
    static const PixelRuns none;
    if (!shape || y < shape->top || y >= shape->bottom) return none;
    Shape& s = *shape;
    if (s.rows.empty()) {
        s.rows.resize(static_cast<size_t>(s.bottom - s.top));
        s.known.assign(s.rows.size(), false);
    }
    const size_t k = static_cast<size_t>(y - s.top);
    if (!s.known[k]) {
        s.root->Runs(y, s.left, s.right, &s.rows[k]);
        s.known[k] = true;
    }
    return s.rows[k];
}

void DeviceClip::Runs(INT y, INT left, INT right, PixelRuns* runs)
{
    runs->clear();
    for (const PixelRun& run : Row(y)) {
        const INT from = std::max(run.from, left), to = std::min(run.to, right);
        if (from < to) runs->push_back({from, to});
    }
}

ClipRows::ClipRows(DeviceClip& clip, const Rect& band) : top(band.Y)
{
    rows.reserve(static_cast<size_t>(std::max(band.Height, 0)));
    for (INT y = band.Y; y < band.Y + band.Height; ++y) {
        rows.push_back(&clip.Row(y));
        // Runs are apart: a row lets the band through when one of them holds it.
        whole = whole && std::any_of(rows.back()->begin(), rows.back()->end(), [&](const PixelRun& run) {
                    return run.from <= band.X && run.to >= band.X + band.Width;
                });
    }
}

}  // namespace Gdiplus
