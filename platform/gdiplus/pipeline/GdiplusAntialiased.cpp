// Anti-aliased shapes, filled (rectangles, polygons, pies, ellipses, paths) and outlined (every shape, by the
// stroker: StrokePen.cpp) by the layer itself. libgdiplus hands them to cairo, whose scan converter samples 15
// sub-rows of every pixel and which, for each path fill, also strokes the outline a pixel wide (so the fill
// spills half a pixel over its edge), puts an ellipse's fill half a pixel up and left of its outline and a
// rectangle's edges between pixels. Here each pixel gets the exact area the shape covers of it, with GDI+'s
// geometry: pixel centres on whole coordinates, fills to their outline; fills under any world transform and
// page (every page unit and scale), outlines too. Fills and pens take brushes of every kind (Paint.h),
// composited over or copied, clips are read as pixels (Clip.h), and without anti-aliasing fills and outlines
// cover whole pixels by GDI+'s rule.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "AliasedCoverage.h"
#include "Clip.h"
#include "Coverage.h"
#include "DeviceFigure.h"
#include "../Gdiplus.h"
#include "Paint.h"
#include "PixelView.h"
#include "RowClones.h"
#include "StrokePen.h"
#include "../text/GlyphBlend.h"

namespace Gdiplus {

namespace {

// A pixel's square spans half a pixel either side of its centre; coverage squares start at whole numbers.
const PointF kPixelCentre(0.5f, 0.5f);
// The control-point distance of a quarter ellipse of radius 1 drawn as a cubic Bézier.
const float kQuarterBezier = 0.5522847498f;
// How many rows ahead of the one being painted are fetched into the cache: as many as keep about
// kLinesAhead cache lines asked for, from 3 (wide shapes) to 8 (narrow ones, such as lines, whose rows are
// painted quickly: measured 10 % faster than 3 on a busy machine).
const INT kFewestRowsAhead = 3, kMostRowsAhead = 8, kLinesAhead = 32;
// How many rows of a shape are asked for before its edges are laid down.
const INT kRowsBefore = 64;
// How many rows ahead a box's fill asks for the ends of its rows (measured: 3 and 6 were slower).
const INT kBoxRowsAhead = 12;
// The most cells a coverage mask holds at once (4 MiB of them).
const INT kMostCells = 1 << 20;

}  // namespace

uint32_t EnginePremultiplied(ARGB colour)
{
    const uint32_t alphaByte = colour >> 24;
    if (alphaByte == 0) return 0;
    const double alpha = alphaByte / 255.0;
    uint32_t pixel = alphaByte << 24;
    for (int shift : {16, 8, 0}) {
        const double channel = ((colour >> shift) & 0xFF) / 255.0;
        pixel |= (static_cast<uint32_t>(channel * alpha * 65535.0 + 0.5) >> 8) << shift;
    }
    return pixel;
}

namespace {

// Stores the pixel over a run: single pixels up to a 32-byte boundary, then whole aligned blocks (a store
// that straddles two cache lines costs two). Inlined, so that the blocks are AVX2 stores where the
// caller is built for AVX2.
[[gnu::always_inline]] inline void FillPixels(uint32_t* row, INT count, uint32_t pixel)
{
    using Block = uint32_t __attribute__((vector_size(32)));
    INT i = 0;
    for (; i < count && (reinterpret_cast<uintptr_t>(row + i) & 31) != 0; ++i) row[i] = pixel;
    const Block block = {pixel, pixel, pixel, pixel, pixel, pixel, pixel, pixel};
    for (; i + 8 <= count; i += 8) *reinterpret_cast<Block*>(row + i) = block;
    for (; i < count; ++i) row[i] = pixel;
}

// Stores the pixel over a run of at least 8: an unaligned block at each end and aligned blocks between (the
// ends overlap them): a box's short rows take few stores, where single pixels up to the alignment took many.
[[gnu::always_inline]] inline void StoreWideRun(uint32_t* row, INT count, uint32_t pixel)
{
    using Block = uint32_t __attribute__((vector_size(32)));
    using LooseBlock = uint32_t __attribute__((vector_size(32), aligned(4)));
    const Block block = {pixel, pixel, pixel, pixel, pixel, pixel, pixel, pixel};
    *reinterpret_cast<LooseBlock*>(row) = block;
    uint32_t* const last = row + count - 8;
    auto* aligned = reinterpret_cast<uint32_t*>((reinterpret_cast<uintptr_t>(row) + 32) & ~uintptr_t(31));
    for (; aligned < last; aligned += 8) *reinterpret_cast<Block*>(aligned) = block;
    *reinterpret_cast<LooseBlock*>(last) = block;
}

// What two side pixels of a box are composited with, as OverPixel does it, one pixel a 64-bit half.
struct SidePair {
    __m128i sources;  // the two premultiplied pixels, in the low 32-bit lanes
    __m128i factors;  // 255 - each one's alpha, in the 16-bit lanes of its half
};

SidePair SidePairOf(uint32_t left, uint32_t right)
{
    const auto factor = [](uint32_t pixel) { return static_cast<short>(255 - (pixel >> 24)); };
    const short l = factor(left), r = factor(right);
    return {_mm_set_epi32(0, 0, static_cast<int>(right), static_cast<int>(left)),
            _mm_set_epi16(r, r, r, r, l, l, l, l)};
}

// OverPixel for both side pixels of a row at once (the same rounding, channel by channel): one by one, the
// two blends cost more than the stores of the row between them.
[[gnu::always_inline]] inline void PaintSidePair(uint32_t* left, uint32_t* right, const SidePair& pair)
{
    const __m128i under =
        _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(*left)), _mm_cvtsi32_si128(static_cast<int>(*right)));
    __m128i scaled = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(under, _mm_setzero_si128()), pair.factors),
                                   _mm_set1_epi16(0x80));
    scaled = _mm_srli_epi16(_mm_add_epi16(scaled, _mm_srli_epi16(scaled, 8)), 8);
    const __m128i over = _mm_add_epi32(_mm_packus_epi16(scaled, scaled), pair.sources);
    *left = static_cast<uint32_t>(_mm_cvtsi128_si32(over));
    *right = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(over, 4)));
}

// Composites the premultiplied source, scaled to the coverage, over a run of pixels. Inlined into its
// callers, whose loops are built for the machine.
[[gnu::always_inline]] inline void PaintRun(uint32_t* row, INT count, uint32_t source, int coverage)
{
    if (coverage <= 0 || count <= 0) return;
    if (coverage == 255 && source >> 24 == 255) {
        FillPixels(row, count, source);
        return;
    }
    const uint32_t covered = coverage == 255 ? source : ScaledPixel(source, static_cast<uint32_t>(coverage));
    for (INT i = 0; i < count; ++i) row[i] = OverPixel(covered, row[i]);
}

// Composites the premultiplied source, or the shaded paint when there is one, over the pixels of the band that
// the polygons cover (and the clip's rows let through, when given).
void PaintBand(const PixelView& target, const std::vector<Polygon>& polygons, bool evenOdd, uint32_t source,
               const PaintSource* shaded, const Rect& band, const ClipRows* clipRows)
{
    // Canvas rows lie pages apart: the first line of each of the first rows is asked for before the edges are
    // laid down, so that finding their pages overlaps that work (asking for whole rows then was slower), and
    // the rows are asked for whole a little ahead of their painting.
    for (INT y = band.Y; y < band.Y + std::min(band.Height, kRowsBefore); ++y)
        __builtin_prefetch(target.Row(y) + band.X, 1);
    CoverageMask mask(band);
    for (const Polygon& polygon : polygons) mask.AddPolygon(polygon);
    INT fetched = band.Y - 1;
    const INT rowsAhead = std::clamp(kLinesAhead / (band.Width / 16 + 1), kFewestRowsAhead, kMostRowsAhead);
    const auto fetchAhead = [&](INT y) {
        for (; fetched < std::min(y + rowsAhead, band.Y + band.Height - 1); ++fetched)
            for (INT at = 0; at < band.Width; at += 16) __builtin_prefetch(target.Row(fetched + 1) + band.X + at, 1);
    };
    const auto paintSpan = [&](INT x, INT y, INT count, int coverage) {
        fetchAhead(y);
        uint32_t* row = target.Row(y);
        const auto paint = [&](INT from, INT n) {
            if (shaded)
                shaded->Composite(row + from, from, y, n, coverage);
            else
                PaintRun(row + from, n, source, coverage);
        };
        if (!clipRows) return paint(x, count);
        clipRows->ForEachPart(y, x, count, paint);
    };
    if (shaded && shaded->PixelWise() && !clipRows) {
        // The pixels at the outline are shaded a run at a time.
        return mask.SweepCells(evenOdd, paintSpan, [&](INT x, INT y, INT count, const uint8_t* shares) {
            fetchAhead(y);
            shaded->CompositeShares(target.Row(y) + x, x, y, count, shares);
        });
    }
    if (shaded || clipRows) return mask.Sweep(evenOdd, paintSpan);
    // A solid colour everywhere: the pixels at the outline are blended a run at a time, four a step.
    mask.SweepCells(evenOdd, paintSpan, [&](INT x, INT y, INT count, const uint8_t* shares) {
        fetchAhead(y);
        BlendCoverage(target.Row(y) + x, shares, count, source);
    });
}

// The pixels a fill of the polygons (cut to the band) paints, within the clip, and the premultiplied colour
// of a solid paint (0 for a shaded one); false when nothing would change.
bool PaintedBox(const PixelView& target, const std::vector<Polygon>& polygons, const PaintSource& paint,
                const DeviceClip& clip, Rect* box, uint32_t* source)
{
    *box = clip.Narrow(PixelBounds(polygons, target.Width(), target.Height()));
    ARGB colour = 0;
    const bool solid = paint.Solid(&colour);
    *source = solid ? EnginePremultiplied(colour) : 0;
    return box->Width > 0 && box->Height > 0 && (!solid || *source != 0);
}

// Composites the paint over the pixels the polygons cover, within the clip; false when a point is not a
// number.
bool PaintCovered(const PixelView& target, std::vector<Polygon>& polygons, bool evenOdd, const PaintSource& paint,
                  DeviceClip& clip)
{
    Rect box;
    uint32_t source = 0;
    if (!CutToBand(&polygons, BandAround(target.Width(), target.Height()))) return false;
    if (!PaintedBox(target, polygons, paint, clip, &box, &source)) return true;
    const bool solid = source != 0;
    // Rows are worked in bands, so that a shape as large as the canvas needs a mask of bounded size.
    const INT rowsPerBand = std::max(kMostCells / (box.Width + 1), 1);
    for (INT top = box.Y; top < box.Y + box.Height; top += rowsPerBand) {
        const INT rows = std::min(rowsPerBand, box.Y + box.Height - top);
        const Rect band(box.X, top, box.Width, rows);
        const PaintSource* shaded = solid ? nullptr : &paint;
        if (clip.IsBox()) {
            PaintBand(target, polygons, evenOdd, source, shaded, band, nullptr);
            continue;
        }
        const ClipRows clipRows(clip, band);
        PaintBand(target, polygons, evenOdd, source, shaded, band, &clipRows);
    }
    return true;
}

// Composites the paint, whole, over the pixels whose centres the polygons hold (GDI+'s rule without
// anti-aliasing), within the clip; false when a point is not a number.
bool PaintCentres(const PixelView& target, std::vector<Polygon>& polygons, bool evenOdd, const PaintSource& paint,
                  DeviceClip& clip)
{
    Rect box;
    uint32_t source = 0;
    if (!CutToBand(&polygons, BandAround(target.Width(), target.Height()))) return false;
    if (!PaintedBox(target, polygons, paint, clip, &box, &source)) return true;
    CentreScanner scanner(polygons, evenOdd);
    PixelRuns runs;
    for (INT y = box.Y; y < box.Y + box.Height; ++y) {
        scanner.Runs(y, box.X, box.X + box.Width, &runs);
        PaintWholeRuns(target, paint, source, y, clip, &runs);
    }
    return true;
}

int CoverageOfShare(float share) { return static_cast<int>(std::min(share, 1.0f) * 255.0f + 0.5f); }

uint32_t CoveredPixel(uint32_t source, int coverage)
{
    return coverage <= 0 ? 0 : coverage == 255 ? source : ScaledPixel(source, static_cast<uint32_t>(coverage));
}

// Composites the colour over the box [left, right] x [top, bottom] of device space (pixel (x, y) being the
// square [x, x + 1] x [y, y + 1]): the exact area of each pixel it covers. The rows it crosses whole share
// one coverage per column: their insides are filled as runs and only their two side pixels blended. Built
// for AVX2 and for any x86-64.
PICTOR_ROW_CLONES void PaintBox(const PixelView& target, float left, float top, float right, float bottom, ARGB colour)
{
    const uint32_t source = EnginePremultiplied(colour);
    left = std::clamp(left, 0.0f, float(target.Width()));
    right = std::clamp(right, 0.0f, float(target.Width()));
    top = std::clamp(top, 0.0f, float(target.Height()));
    bottom = std::clamp(bottom, 0.0f, float(target.Height()));
    if (!(right > left && bottom > top) || source == 0) return;
    const INT x0 = static_cast<INT>(std::floor(left)), x1 = static_cast<INT>(std::ceil(right));
    const INT y0 = static_cast<INT>(std::floor(top)), y1 = static_cast<INT>(std::ceil(bottom));
    // The shares of the first and last columns; one column alone takes the box's width.
    const float firstColumn = std::min(right, float(x0 + 1)) - left;
    const float lastColumn = right - std::max(left, float(x1 - 1));
    // Inlined, so that it is built for the machine with the rest.
    auto paintRow = [&](INT y) __attribute__((always_inline))
    {
        const float rowShare = std::min(bottom, float(y + 1)) - std::max(top, float(y));
        uint32_t* row = target.Row(y);
        PaintRun(row + x0, 1, source, CoverageOfShare(rowShare * firstColumn));
        if (x1 - x0 < 2) return;
        PaintRun(row + x0 + 1, x1 - x0 - 2, source, CoverageOfShare(rowShare));
        PaintRun(row + x1 - 1, 1, source, CoverageOfShare(rowShare * lastColumn));
    };
    const INT wholeFrom = top == float(y0) ? y0 : y0 + 1, wholeTo = bottom == float(y1) ? y1 : y1 - 1;
    if (x1 - x0 < 2 || wholeFrom >= wholeTo) {
        for (INT y = y0; y < y1; ++y) paintRow(y);
        return;
    }
    // The rows cut by the top and bottom sides are read whole: they are asked for now and painted last.
    for (INT x = x0; x < x1 + 16; x += 16) {
        if (wholeFrom > y0) __builtin_prefetch(target.Row(y0) + std::min(x, x1 - 1), 1);
        if (wholeTo < y1) __builtin_prefetch(target.Row(y1 - 1) + std::min(x, x1 - 1), 1);
    }
    const SidePair sides = SidePairOf(CoveredPixel(source, CoverageOfShare(firstColumn)),
                                      CoveredPixel(source, CoverageOfShare(lastColumn)));
    const INT inside = x1 - x0 - 2;
    const bool opaqueInside = source >> 24 == 255 && inside >= 8;
    // Held here: the stores below could be the view's own fields, which it would otherwise read again.
    uint32_t* const firstRow = target.Row(wholeFrom) + x0;
    const ptrdiff_t stride = target.Row(wholeFrom + 1) - target.Row(wholeFrom);
    // The rows crossed whole, each in one pass: its side pixels blended, its inside stored.
    for (INT y = wholeFrom; y < wholeTo; ++y) {
        uint32_t* row = firstRow + (y - wholeFrom) * stride;
        // The ends of a row well ahead, which are read, are asked for, so that waiting for them overlaps
        // the stores of the rows between.
        if (y + kBoxRowsAhead < wholeTo) {
            const uint32_t* ahead = row + kBoxRowsAhead * stride;
            __builtin_prefetch(ahead, 1);
            __builtin_prefetch(ahead + inside + 1, 1);
        }
        PaintSidePair(row, row + inside + 1, sides);
        if (opaqueInside)
            StoreWideRun(row + 1, inside, source);
        else
            PaintRun(row + 1, inside, source, 255);
    }
    for (INT y = y0; y < wholeFrom; ++y) paintRow(y);
    for (INT y = wholeTo; y < y1; ++y) paintRow(y);
}

// The solid colour of a brush; false for any other brush.
bool SolidColour(const Brush* brush, ARGB* colour)
{
    BrushType type = BrushTypeLinearGradient;
    DllExports::GpBrush* native = brush ? brush->NativeBrush() : nullptr;
    return native && DllExports::GdipGetBrushType(native, &type) == Ok && type == BrushTypeSolidColor &&
           DllExports::GdipGetSolidFillColor(reinterpret_cast<DllExports::GpSolidFill*>(native), colour) == Ok;
}

// An ellipse's box of a negative width or height is the box on the other side of its corner, as the engine
// draws it; a box without area, or one not a number, is left to the engine.
bool HasArea(REAL width, REAL height) { return std::fabs(width) > 0 && std::fabs(height) > 0; }

// The points and types of an ellipse's four quarter Béziers, from its right end anticlockwise on screen, as
// GDI+ and the engine build it.
void EllipseFigure(REAL x, REAL y, REAL width, REAL height, std::vector<PointF>* points, std::vector<BYTE>* types)
{
    const float rx = width / 2, ry = height / 2, cx = x + rx, cy = y + ry;
    const float kx = kQuarterBezier * rx, ky = kQuarterBezier * ry;
    *points = {{cx + rx, cy},      {cx + rx, cy - ky}, {cx + kx, cy - ry}, {cx, cy - ry},      {cx - kx, cy - ry},
               {cx - rx, cy - ky}, {cx - rx, cy},      {cx - rx, cy + ky}, {cx - kx, cy + ry}, {cx, cy + ry},
               {cx + kx, cy + ry}, {cx + rx, cy + ky}, {cx + rx, cy}};
    types->assign(points->size(), PathPointTypeBezier);
    types->front() = PathPointTypeStart;
    types->back() |= PathPointTypeCloseSubpath;
}

bool PathOf(const GraphicsPath* path, std::vector<PointF>* points, std::vector<BYTE>* types, FillMode* mode)
{
    INT count = 0;
    if (!path || !path->NativePath() || DllExports::GdipGetPointCount(path->NativePath(), &count) != Ok || count <= 0)
        return false;
    points->resize(static_cast<size_t>(count));
    types->resize(static_cast<size_t>(count));
    return DllExports::GdipGetPathPoints(path->NativePath(), points->data(), count) == Ok &&
           DllExports::GdipGetPathTypes(path->NativePath(), types->data(), count) == Ok &&
           DllExports::GdipGetPathFillMode(path->NativePath(), mode) == Ok;
}

}  // namespace

void PaintWholeRuns(const PixelView& target, const PaintSource& paint, uint32_t solid, INT y, DeviceClip& clip,
                    PixelRuns* runs)
{
    if (!clip.IsBox() && !runs->empty()) {
        thread_local PixelRuns allowed, kept;
        clip.Runs(y, runs->front().from, runs->back().to, &allowed);
        CombineRuns(*runs, allowed, RunCombine::Intersect, &kept);
        runs->swap(kept);
    }
    uint32_t* row = target.Row(y);
    for (const PixelRun& run : *runs) {
        if (solid != 0)
            PaintRun(row + run.from, run.to - run.from, solid, 255);
        else
            paint.Composite(row + run.from, run.from, y, run.to - run.from, 255);
    }
}

// GDI+ puts pixel centres on whole coordinates, or half a pixel off them for the Half and HighQuality
// pixel offsets (libgdiplus records the mode and draws the same either way): the figure then moves up and
// left by half a pixel on the device.
static REAL PixelOffset(PixelOffsetMode offset)
{
    return offset == PixelOffsetModeHalf || offset == PixelOffsetModeHighQuality ? -0.5f : 0.0f;
}

// GDI+ fills without anti-aliasing in these modes: a pixel whole when its centre is inside.
static bool Aliased(SmoothingMode mode)
{
    return mode == SmoothingModeNone || mode == SmoothingModeHighSpeed || mode == SmoothingModeDefault;
}

bool Graphics::ReadDeviceClip(DeviceClip* clip, const PixelView& target) const
{
    if (!deviceClips) deviceClips = std::make_shared<DeviceClipCache>();
    const LayerState& state = State();
    return deviceClips->Read(nativeGraphics, state.unclipped, EngineToDevice(), PixelOffset(state.pixelOffset),
                             BandAround(target.Width(), target.Height()), clip);
}

bool Graphics::AntialiasedDeviceMap(DeviceMap* map) const
{
    // Every smoothing mode is taken: the aliased ones fill whole pixels.
    const SmoothingMode mode = State().smoothing;
    return nativeGraphics && mode >= SmoothingModeDefault && mode <= SmoothingModeAntiAlias && LayerDeviceMap(map, true);
}

bool Graphics::Unclipped() const { return nativeGraphics && State().unclipped; }

bool Graphics::LayerDeviceMap(DeviceMap* map, bool copyingToo) const
{
    // The engine's world transform, followed by the page where the engine leaves it out. The clip is read
    // when drawing.
    const bool copying = copyingToo && compositingMode == CompositingModeSourceCopy;
    if ((compositingMode != CompositingModeSourceOver && !copying) || !surface || !nativeGraphics) return false;
    const REAL page = EngineToDevice();
    if (!(page > 0)) return false;
    const LayerState& state = State();
    const REAL* m = state.world;
    const REAL offset = PixelOffset(state.pixelOffset);
    *map = DeviceMap{m[0] * page, m[1] * page, m[2] * page, m[3] * page, m[4] * page + offset, m[5] * page + offset};
    const double determinant = map->m11 * map->m22 - map->m12 * map->m21;
    return std::isfinite(determinant) && determinant != 0 && std::isfinite(map->dx) && std::isfinite(map->dy);
}

bool Graphics::FillAntialiased(const Brush* brush, const DeviceMap& map, const PointF* points, const BYTE* types,
                               INT count, FillMode mode)
{
    return FillFigures(brush, map, points, types, count, mode, Aliased(State().smoothing));
}

bool Graphics::FillFigures(const Brush* brush, const DeviceMap& map, const PointF* points, const BYTE* types, INT count,
                           FillMode mode, bool wholePixels)
{
    PaintSource paint(brush, map, State().origin);
    if (compositingMode == CompositingModeSourceCopy) paint.CopyInstead();
    if (!paint.Valid()) return false;
    const std::vector<PointF> device = ToDevice(map, points, count);
    std::vector<Polygon> figures;
    std::vector<bool> closed;
    if (!FlattenPath(device.data(), types, count, kPixelCentre, &figures, &closed)) return false;
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    DeviceClip clip;
    if (!target.Valid() || !ReadDeviceClip(&clip, target)) return false;
    return wholePixels ? PaintCentres(target, figures, mode == FillModeAlternate, paint, clip)
                       : PaintCovered(target, figures, mode == FillModeAlternate, paint, clip);
}

bool Graphics::DrawAntialiased(const Pen* pen, const DeviceMap& map, const PointF* points, const BYTE* types, INT count)
{
    ARGB colour = 0;
    // Without anti-aliasing the pen's outline takes whole pixels by the centre rule, as fills do.
    const bool aliased = Aliased(State().smoothing);
    std::vector<Polygon> outline;
    if (!PenOutline(pen, map, points, types, count, kPixelCentre, &outline, &colour, aliased)) return false;
    PaintSource paint = PenPaint(pen, colour, map, State().origin);
    if (compositingMode == CompositingModeSourceCopy) paint.CopyInstead();
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    DeviceClip clip;
    if (!paint.Valid() || !target.Valid() || !ReadDeviceClip(&clip, target)) return false;
    return aliased ? PaintCentres(target, outline, false, paint, clip)
                   : PaintCovered(target, outline, false, paint, clip);
}

bool Graphics::FillRectangleAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    DeviceMap map;
    ARGB colour = 0;
    if (!(width > 0 && height > 0) || !AntialiasedDeviceMap(&map)) return false;
    const PointF corners[] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    const PointF from = map.Apply(corners[0]), to = map.Apply(corners[2]);
    if (map.KeepsAxes() && !Aliased(State().smoothing) && compositingMode == CompositingModeSourceOver &&
        SolidColour(brush, &colour)) {
        if (!std::isfinite(from.X) || !std::isfinite(from.Y) || !std::isfinite(to.X) || !std::isfinite(to.Y))
            return false;
        const PixelView target(surface.get(), ViewedFormats::Drawn);
        DeviceClip clip;
        if (!target.Valid() || !ReadDeviceClip(&clip, target)) return false;
        if (clip.IsBox()) {
            // The clip's box of pixels is where its squares lie; the box is filled within them.
            const Rect within = clip.Narrow(Rect(0, 0, target.Width(), target.Height()));
            const auto inside = [](float v, INT low, INT size) { return std::clamp(v, float(low), float(low + size)); };
            PaintBox(target, inside(std::min(from.X, to.X) + kPixelCentre.X, within.X, within.Width),
                     inside(std::min(from.Y, to.Y) + kPixelCentre.Y, within.Y, within.Height),
                     inside(std::max(from.X, to.X) + kPixelCentre.X, within.X, within.Width),
                     inside(std::max(from.Y, to.Y) + kPixelCentre.Y, within.Y, within.Height), colour);
            return true;
        }
    }
    // Turned boxes, whole pixels and clips other than a box: the rectangle is filled as a polygon.
    const BYTE types[] = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
                          PathPointTypeLine | PathPointTypeCloseSubpath};
    return FillAntialiased(brush, map, corners, types, 4, FillModeAlternate);
}

bool Graphics::FillPolygonAntialiased(const Brush* brush, const PointF* points, INT count, FillMode mode)
{
    DeviceMap map;
    if (!points || count < 3 || !AntialiasedDeviceMap(&map)) return false;
    std::vector<BYTE> types(static_cast<size_t>(count), PathPointTypeLine);
    types.front() = PathPointTypeStart;
    types.back() |= PathPointTypeCloseSubpath;
    return FillAntialiased(brush, map, points, types.data(), count, mode);
}

bool Graphics::FillPieAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                                  REAL sweepAngle)
{
    DeviceMap map;
    if (!(width > 0 && height > 0) || !AntialiasedDeviceMap(&map)) return false;
    GraphicsPath pie;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode mode = FillModeAlternate;
    return pie.AddPie(x, y, width, height, startAngle, sweepAngle) == Ok && PathOf(&pie, &points, &types, &mode) &&
           FillAntialiased(brush, map, points.data(), types.data(), INT(points.size()), FillModeAlternate);
}

bool Graphics::FillEllipseAntialiased(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    DeviceMap map;
    if (!HasArea(width, height) || !AntialiasedDeviceMap(&map)) return false;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    EllipseFigure(x, y, width, height, &points, &types);
    return FillAntialiased(brush, map, points.data(), types.data(), INT(points.size()), FillModeAlternate);
}

bool Graphics::DrawEllipseAntialiased(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    DeviceMap map;
    if (!HasArea(width, height) || !AntialiasedDeviceMap(&map)) return false;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    EllipseFigure(x, y, width, height, &points, &types);
    return DrawAntialiased(pen, map, points.data(), types.data(), INT(points.size()));
}

bool Graphics::FillPathAntialiased(const Brush* brush, const GraphicsPath* path)
{
    DeviceMap map;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode mode = FillModeAlternate;
    return AntialiasedDeviceMap(&map) && PathOf(path, &points, &types, &mode) &&
           FillAntialiased(brush, map, points.data(), types.data(), INT(points.size()), mode);
}

bool Graphics::DrawPathAntialiased(const Pen* pen, const GraphicsPath* path)
{
    DeviceMap map;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode mode = FillModeAlternate;
    return AntialiasedDeviceMap(&map) && PathOf(path, &points, &types, &mode) &&
           DrawAntialiased(pen, map, points.data(), types.data(), INT(points.size()));
}

}  // namespace Gdiplus
