// Region data in GDI+'s layout: a 16-byte header (size after the first 8 bytes, CRC-32 of those bytes,
// magic, twice the number of combinations), then the operations tree in prefix order: a combination is
// its mode followed by its two operands; a leaf is a tag and, for a rectangle, x, y, width, height; for
// a path, the size of its record, then magic, point count, flags (0x4000 when every coordinate is a
// 16-bit whole number, which are then stored as shorts; floats otherwise), the points and the point
// types padded to 4 bytes.
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "RegionShape.h"

namespace Gdiplus {

namespace {

constexpr UINT kTagRect = 0x10000000, kTagPath = 0x10000001, kTagEmpty = 0x10000002, kTagInfinite = 0x10000003;
constexpr UINT kMagic = 0xdbc01002, kOlderMagic = 0xdbc01001;
constexpr UINT kPathIntegers = 0x4000;
constexpr UINT kHeaderBytes = 16;
// A described tree holds at most this many nodes (a region of more is described by the engine's data).
constexpr int kMaxNodes = 4096;

UINT Padded(UINT bytes) { return (bytes + 3) & ~3u; }

bool IsShort(REAL value) { return value == std::floor(value) && value >= -32768.0f && value <= 32767.0f; }

bool PointsAreShorts(const std::vector<PointF>& points)
{
    for (const PointF& p : points)
        if (!IsShort(p.X) || !IsShort(p.Y)) return false;
    return true;
}

UINT PathRecordSize(const RegionShape& shape)
{
    const UINT count = static_cast<UINT>(shape.points.size());
    return 12 + count * (PointsAreShorts(shape.points) ? 4 : 8) + Padded(count);
}

UINT NodeSize(const RegionShape& shape)
{
    switch (shape.kind) {
    case RegionShape::Kind::Rect:
        return 20;
    case RegionShape::Kind::Path:
        return 8 + PathRecordSize(shape);
    case RegionShape::Kind::Combine:
        return 4 + NodeSize(*shape.left) + NodeSize(*shape.right);
    default:
        return 4;
    }
}

UINT CombinationsOf(const RegionShape& shape)
{
    if (shape.kind != RegionShape::Kind::Combine) return 0;
    return 1 + CombinationsOf(*shape.left) + CombinationsOf(*shape.right);
}

struct Writer {
    BYTE* at;
    void Put(const void* bytes, size_t size)
    {
        std::memcpy(at, bytes, size);
        at += size;
    }
    void Word(UINT value) { Put(&value, 4); }
    void Real(REAL value) { Put(&value, 4); }
};

void WritePath(const RegionShape& shape, Writer& out)
{
    const bool shorts = PointsAreShorts(shape.points);
    out.Word(PathRecordSize(shape));
    out.Word(kMagic);
    out.Word(static_cast<UINT>(shape.points.size()));
    out.Word(shorts ? kPathIntegers : 0);
    for (const PointF& p : shape.points) {
        if (shorts) {
            const short xy[2] = {static_cast<short>(p.X), static_cast<short>(p.Y)};
            out.Put(xy, 4);
        } else {
            out.Real(p.X);
            out.Real(p.Y);
        }
    }
    out.Put(shape.types.data(), shape.types.size());
    const size_t padding = Padded(static_cast<UINT>(shape.types.size())) - shape.types.size();
    const BYTE zeros[4] = {};
    out.Put(zeros, padding);
}

void WriteNode(const RegionShape& shape, Writer& out)
{
    switch (shape.kind) {
    case RegionShape::Kind::Rect:
        out.Word(kTagRect);
        out.Real(shape.rect.X);
        out.Real(shape.rect.Y);
        out.Real(shape.rect.Width);
        out.Real(shape.rect.Height);
        break;
    case RegionShape::Kind::Path:
        out.Word(kTagPath);
        WritePath(shape, out);
        break;
    case RegionShape::Kind::Combine:
        out.Word(static_cast<UINT>(shape.mode));
        WriteNode(*shape.left, out);
        WriteNode(*shape.right, out);
        break;
    case RegionShape::Kind::Empty:
        out.Word(kTagEmpty);
        break;
    case RegionShape::Kind::Infinite:
        out.Word(kTagInfinite);
        break;
    }
}

UINT Crc32(const BYTE* bytes, size_t size)
{
    UINT crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

struct Reader {
    const BYTE* at;
    const BYTE* end;
    int nodes = 0;
    bool Has(size_t size) const { return static_cast<size_t>(end - at) >= size; }
    bool Get(void* bytes, size_t size)
    {
        if (!Has(size)) return false;
        std::memcpy(bytes, at, size);
        at += size;
        return true;
    }
    bool Word(UINT* value) { return Get(value, 4); }
    bool Real(REAL* value) { return Get(value, 4); }
};

RegionShapePtr ReadPath(Reader& in)
{
    UINT recordSize = 0, magic = 0, count = 0, flags = 0;
    if (!in.Word(&recordSize) || !in.Has(recordSize) || recordSize < 12) return nullptr;
    Reader record{in.at, in.at + recordSize};
    in.at += recordSize;
    if (!record.Word(&magic) || (magic != kMagic && magic != kOlderMagic)) return nullptr;
    if (!record.Word(&count) || !record.Word(&flags)) return nullptr;
    const bool shorts = flags & kPathIntegers;
    if (count > recordSize || !record.Has(size_t{count} * (shorts ? 4 : 8) + count)) return nullptr;
    auto shape = std::make_shared<RegionShape>();
    shape->kind = RegionShape::Kind::Path;
    shape->points.resize(count);
    shape->types.resize(count);
    for (PointF& p : shape->points) {
        if (shorts) {
            short xy[2] = {};
            record.Get(xy, 4);
            p = PointF(xy[0], xy[1]);
        } else {
            record.Real(&p.X);
            record.Real(&p.Y);
        }
    }
    record.Get(shape->types.data(), count);
    return shape;
}

RegionShapePtr ReadNode(Reader& in)
{
    UINT tag = 0;
    if (++in.nodes > kMaxNodes || !in.Word(&tag)) return nullptr;
    if (tag >= CombineModeIntersect && tag <= CombineModeComplement) {
        RegionShapePtr first = ReadNode(in);
        RegionShapePtr second = first ? ReadNode(in) : nullptr;
        return CombinedShape(static_cast<CombineMode>(tag), first, second);
    }
    if (tag == kTagRect) {
        RectF rect;
        if (!in.Real(&rect.X) || !in.Real(&rect.Y) || !in.Real(&rect.Width) || !in.Real(&rect.Height)) return nullptr;
        return RectShape(rect);
    }
    if (tag == kTagPath) return ReadPath(in);
    if (tag == kTagEmpty) return PlainShape(RegionShape::Kind::Empty);
    if (tag == kTagInfinite) return PlainShape(RegionShape::Kind::Infinite);
    return nullptr;
}

RegionShapePtr MappedRect(const RectF& rect, const REAL* m)
{
    if (m[1] == 0 && m[2] == 0) {
        const REAL x0 = rect.X * m[0] + m[4], x1 = rect.GetRight() * m[0] + m[4];
        const REAL y0 = rect.Y * m[3] + m[5], y1 = rect.GetBottom() * m[3] + m[5];
        return RectShape(RectF(std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0)));
    }
    auto shape = std::make_shared<RegionShape>();
    shape->kind = RegionShape::Kind::Path;
    shape->points = {
        {rect.X, rect.Y}, {rect.GetRight(), rect.Y}, {rect.GetRight(), rect.GetBottom()}, {rect.X, rect.GetBottom()}};
    shape->types = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
                    PathPointTypeLine | PathPointTypeCloseSubpath};
    for (PointF& p : shape->points) p = PointF(m[0] * p.X + m[2] * p.Y + m[4], m[1] * p.X + m[3] * p.Y + m[5]);
    return shape;
}

Status BuildPathRegion(const RegionShape& shape, DllExports::GpRegion** region)
{
    DllExports::GpPath* path = nullptr;
    Status status = shape.points.empty()
                        ? DllExports::GdipCreatePath(shape.fillMode, &path)
                        : DllExports::GdipCreatePath2(shape.points.data(), shape.types.data(),
                                                      static_cast<INT>(shape.points.size()), shape.fillMode, &path);
    if (status == Ok) status = DllExports::GdipCreateRegionPath(path, region);
    if (path) DllExports::GdipDeletePath(path);
    return status;
}

// Removes the removed region's rectangles from the target one at a time: libgdiplus removes a region of
// several rectangles wrongly (of two equal two-rectangle regions, one rectangle stayed).
Status ExcludeEach(DllExports::GpRegion* target, DllExports::GpRegion* removed)
{
    Matrix identity;
    UINT count = 0;
    Status status = DllExports::GdipGetRegionScansCount(removed, &count, identity.NativeMatrix());
    std::vector<RectF> rects(count);
    INT filled = 0;
    if (status == Ok && count)
        status = DllExports::GdipGetRegionScans(removed, rects.data(), &filled, identity.NativeMatrix());
    for (INT i = 0; status == Ok && i < filled && i < static_cast<INT>(count); ++i)
        status = DllExports::GdipCombineRegionRect(target, &rects[i], CombineModeExclude);
    return status;
}

bool HoldsPath(const RegionShape& shape)
{
    if (shape.kind == RegionShape::Kind::Combine) return HoldsPath(*shape.left) || HoldsPath(*shape.right);
    return shape.kind == RegionShape::Kind::Path;
}

}  // namespace

Status CombineRectangleRegions(DllExports::GpRegion** region, DllExports::GpRegion* other, CombineMode mode)
{
    if (mode != CombineModeXor && mode != CombineModeExclude && mode != CombineModeComplement)
        return DllExports::GdipCombineRegionRegion(*region, other, mode);
    // The result is built aside and swapped in when whole, so a failure leaves the region as it was.
    DllExports::GpRegion *result = nullptr, *common = nullptr;
    Status status = DllExports::GdipCloneRegion(mode == CombineModeComplement ? other : *region, &result);
    if (mode == CombineModeXor) {
        if (status == Ok) status = DllExports::GdipCloneRegion(*region, &common);
        if (status == Ok) status = DllExports::GdipCombineRegionRegion(result, other, CombineModeUnion);
        if (status == Ok) status = DllExports::GdipCombineRegionRegion(common, other, CombineModeIntersect);
        if (status == Ok) status = ExcludeEach(result, common);
    } else if (status == Ok) {
        status = ExcludeEach(result, mode == CombineModeComplement ? *region : other);
    }
    if (status == Ok) std::swap(result, *region);
    if (result) DllExports::GdipDeleteRegion(result);
    if (common) DllExports::GdipDeleteRegion(common);
    return status;
}

RegionShapePtr RectShape(const RectF& rect)
{
    auto shape = std::make_shared<RegionShape>();
    shape->kind = RegionShape::Kind::Rect;
    shape->rect = rect;
    return shape;
}

RegionShapePtr PathShape(const GraphicsPath& path)
{
    auto shape = std::make_shared<RegionShape>();
    shape->kind = RegionShape::Kind::Path;
    shape->fillMode = path.GetFillMode();
    const INT count = std::max(0, path.GetPointCount());
    shape->points.resize(static_cast<size_t>(count));
    shape->types.resize(static_cast<size_t>(count));
    if (count &&
        (path.GetPathPoints(shape->points.data(), count) != Ok || path.GetPathTypes(shape->types.data(), count) != Ok))
        return nullptr;
    return shape;
}

RegionShapePtr PlainShape(RegionShape::Kind kind)
{
    auto shape = std::make_shared<RegionShape>();
    shape->kind = kind;
    return shape;
}

RegionShapePtr CombinedShape(CombineMode mode, const RegionShapePtr& first, const RegionShapePtr& second)
{
    if (!first || !second) return nullptr;
    if (mode == CombineModeReplace) return second;
    // Bounding the nodes bounds both the tree's size and its nesting (the recursions over it).
    const int nodes = 1 + first->nodes + second->nodes;
    if (nodes > kMaxNodes) return nullptr;
    auto shape = std::make_shared<RegionShape>();
    shape->kind = RegionShape::Kind::Combine;
    shape->mode = mode;
    shape->left = first;
    shape->right = second;
    shape->nodes = nodes;
    return shape;
}

RegionShapePtr MappedShape(const RegionShapePtr& shape, const REAL* m)
{
    if (!shape) return nullptr;
    switch (shape->kind) {
    case RegionShape::Kind::Rect:
        return MappedRect(shape->rect, m);
    case RegionShape::Kind::Combine:
        return CombinedShape(shape->mode, MappedShape(shape->left, m), MappedShape(shape->right, m));
    case RegionShape::Kind::Path: {
        auto mapped = std::make_shared<RegionShape>(*shape);
        for (PointF& p : mapped->points) p = PointF(m[0] * p.X + m[2] * p.Y + m[4], m[1] * p.X + m[3] * p.Y + m[5]);
        return mapped;
    }
    default:
        return shape;
    }
}

UINT RegionShapeDataSize(const RegionShape& shape) { return kHeaderBytes + NodeSize(shape); }

void WriteRegionShape(const RegionShape& shape, BYTE* buffer)
{
    const UINT size = RegionShapeDataSize(shape);
    Writer out{buffer};
    out.Word(size - 8);
    out.Word(0);  // the checksum, once the rest is written
    out.Word(kMagic);
    out.Word(2 * CombinationsOf(shape));
    WriteNode(shape, out);
    const UINT crc = Crc32(buffer + 8, size - 8);
    std::memcpy(buffer + 4, &crc, 4);
}

RegionShapePtr ReadRegionShape(const BYTE* data, size_t size)
{
    Reader in{data, data + size};
    UINT declared = 0, checksum = 0, magic = 0, combinations = 0;
    if (!data || !in.Word(&declared) || !in.Word(&checksum) || !in.Word(&magic) || !in.Word(&combinations))
        return nullptr;
    if ((magic != kMagic && magic != kOlderMagic) || declared < 8 || declared > size - 8) return nullptr;
    in.end = data + 8 + declared;
    RegionShapePtr shape = ReadNode(in);
    return in.at == in.end ? shape : nullptr;
}

Status BuildEngineRegion(const RegionShape& shape, DllExports::GpRegion** region)
{
    *region = nullptr;
    switch (shape.kind) {
    case RegionShape::Kind::Rect:
        return DllExports::GdipCreateRegionRect(&shape.rect, region);
    case RegionShape::Kind::Path:
        return BuildPathRegion(shape, region);
    case RegionShape::Kind::Empty: {
        const Status status = DllExports::GdipCreateRegion(region);
        return status == Ok ? DllExports::GdipSetEmpty(*region) : status;
    }
    case RegionShape::Kind::Infinite:
        return DllExports::GdipCreateRegion(region);
    case RegionShape::Kind::Combine:
        break;
    }
    DllExports::GpRegion* second = nullptr;
    Status status = BuildEngineRegion(*shape.left, region);
    if (status == Ok) status = BuildEngineRegion(*shape.right, &second);
    if (status == Ok)
        status = HoldsPath(shape) ? DllExports::GdipCombineRegionRegion(*region, second, shape.mode)
                                  : CombineRectangleRegions(region, second, shape.mode);
    if (second) DllExports::GdipDeleteRegion(second);
    if (status != Ok && *region) {
        DllExports::GdipDeleteRegion(*region);
        *region = nullptr;
    }
    return status;
}

}  // namespace Gdiplus
