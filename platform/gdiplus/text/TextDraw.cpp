// Text laid out, measured and drawn by the layer: the font's face found once (without the engine), the text
// shaped and broken into lines (TextLayout.cpp), and each glyph's cached coverage composited in the brush's
// paint (Paint.h) through the context's clip (Clip.h), or, under a transform that turns or scales, at sizes
// too large to cache, under copying compositing, or with a brush or clip the layer cannot read, the glyphs'
// outlines filled as every other shape is. None of it takes the engine's text lock, so threads drawing on
// their own canvases run at once.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "TextFaces.h"

#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "../engine/TextLock.h"
#include "../pipeline/Clip.h"
#include "../pipeline/DeviceFigure.h"
#include "../pipeline/Paint.h"
#include "../pipeline/PixelView.h"
#include "GlyphBlend.h"
#include "GlyphCache.h"
#include "TextLayout.h"
#include "TextOutline.h"
#include "TextTrimming.h"

namespace Gdiplus {

namespace {

// A glyph reaches at most this many ems from its origin, for leaving out glyphs far off the canvas.
constexpr float kGlyphReachEms = 4.0f;

// Device pixels per unit of a font's size or a page at the resolution; 0 for a unit neither can have.
double PixelsPerFontUnit(Unit unit, double dpi)
{
    switch (unit) {
    case UnitDisplay:
    case UnitPixel:
        return 1;
    case UnitPoint:
        return dpi / 72;
    case UnitInch:
        return dpi;
    case UnitDocument:
        return dpi / 300;
    case UnitMillimeter:
        return dpi / 25.4;
    default:
        return 0;
    }
}

// Half a pixel up and left under the Half and HighQuality pixel offsets, as the layer's shapes move.
double TextPixelOffset(PixelOffsetMode offset)
{
    return offset == PixelOffsetModeHalf || offset == PixelOffsetModeHighQuality ? -0.5 : 0.0;
}

std::shared_ptr<const LayerFont> LookUpLayerFont(DllExports::GpFont* native)
{
    auto font = std::make_shared<LayerFont>();
    WCHAR name[LF_FACESIZE] = {};
    UINT16 em = 0, ascent = 0, spacing = 0;
    {
        const auto lock = LockEngineText();
        DllExports::GpFontFamily* family = nullptr;
        if (!native || DllExports::GdipGetFamily(native, &family) != Ok || !family) return nullptr;
        const bool known = DllExports::GdipGetFamilyName(family, name, 0) == Ok &&
                           DllExports::GdipGetFontSize(native, &font->size) == Ok &&
                           DllExports::GdipGetFontStyle(native, &font->style) == Ok &&
                           DllExports::GdipGetFontUnit(native, &font->unit) == Ok &&
                           DllExports::GdipGetEmHeight(family, font->style, &em) == Ok &&
                           DllExports::GdipGetCellAscent(family, font->style, &ascent) == Ok &&
                           DllExports::GdipGetLineSpacing(family, font->style, &spacing) == Ok;
        DllExports::GdipDeleteFontFamily(family);
        if (!known || em == 0) return nullptr;
    }
    if (font->unit != UnitWorld && PixelsPerFontUnit(font->unit, 96) == 0) return nullptr;
    std::string file;
    int index = 0;
    if (!MatchFace(Utf16ToUtf8(name), font->style, &file, &index, &font->synthetic)) return nullptr;
    font->face = TextFace::Open(file, index);
    if (!font->face) return nullptr;
    font->family = Utf16ToUtf8(name);
    font->emHeight = em;
    font->cellAscent = ascent;
    font->lineSpacing = spacing;
    return font;
}

// The format's flags, read without keeping a status in the format: the generic formats are shared by
// every thread.
INT FlagsOf(const StringFormat* format)
{
    INT flags = 0;
    if (format) DllExports::GdipGetStringFormatFlags(format->NativeFormat(), &flags);
    return flags;
}

// The format's trimming, hotkey prefix and tab stops, read as its flags are (TextLayout.h).
void ReadFormatRules(const StringFormat* format, TextRules* rules)
{
    if (!format) return;
    DllExports::GpStringFormat* native = format->NativeFormat();
    DllExports::GdipGetStringFormatTrimming(native, &rules->trimming);
    INT prefix = HotkeyPrefixNone;
    DllExports::GdipGetStringFormatHotkeyPrefix(native, &prefix);
    rules->hotkeyPrefix = static_cast<HotkeyPrefix>(prefix);
    INT count = 0;
    if (DllExports::GdipGetStringFormatTabStopCount(native, &count) != Ok || count <= 0) return;
    rules->tabStops.resize(size_t(count));
    if (DllExports::GdipGetStringFormatTabStops(native, count, &rules->firstTabOffset, rules->tabStops.data()) != Ok)
        rules->tabStops.clear();
}

INT LengthOf(const WCHAR* text, INT length)
{
    if (length >= 0) return length;
    return static_cast<INT>(std::char_traits<char16_t>::length(text));
}

// Device pixels [left, right) x [top, bottom) that text may paint.
struct PixelBox {
    INT left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return left >= right || top >= bottom; }
};

// What glyph masks are composited with: a premultiplied solid colour, or the brush's paint when `shaded`
// is set; and the clip's runs when the clip is not one box.
struct MaskPaint {
    uint32_t source = 0;
    const PaintSource* shaded = nullptr;
    const ClipRows* clipRows = nullptr;
};

// Composites pixels [from, to) of device row y, whose coverage starts at coverage[0] for pixel `from`.
[[gnu::always_inline]] inline void PaintMaskRun(uint32_t* row, const uint8_t* coverage, INT from, INT to, INT y,
                                                const MaskPaint& paint)
{
    if (!paint.shaded) return BlendCoverage(row + from, coverage, to - from, paint.source);
    // The paint is asked for a run of pixels that share a coverage at once.
    for (INT x = from; x < to;) {
        const uint8_t share = coverage[x - from];
        INT end = x + 1;
        while (end < to && coverage[end - from] == share) ++end;
        if (share != 0) paint.shaded->Composite(row + x, x, y, end - x, share);
        x = end;
    }
}

// The first pixel whose centre lies at or past the coordinate, kept within a range INT holds.
INT PixelEdge(double coordinate) { return INT(std::clamp(std::ceil(coordinate), -1e9, 1e9)); }

// Whether a point, reaching `reach` device pixels around it, may touch the box.
bool Touches(const PointF& p, float reach, const PixelBox& box)
{
    return p.X + reach >= float(box.left) && p.X - reach <= float(box.right) && p.Y + reach >= float(box.top) &&
           p.Y - reach <= float(box.bottom);
}

// Composites the paint, scaled by the glyph's coverage, over the pixels of the box it reaches (and the clip
// lets through). The glyph's rows lie a canvas row apart: all are asked for before the first is painted.
void PaintMask(const PixelView& target, const GlyphMask& mask, INT x, INT y, const MaskPaint& paint,
               const PixelBox& box)
{
    const INT left = std::max(x, box.left), right = std::min(x + mask.width, box.right);
    const INT top = std::max(y, box.top), bottom = std::min(y + mask.height, box.bottom);
    if (left >= right) return;
    for (INT row = top; row < bottom; ++row) {
        __builtin_prefetch(target.Row(row) + left, 1);
        __builtin_prefetch(target.Row(row) + right - 1, 1);
    }
    for (INT row = top; row < bottom; ++row) {
        // Canvas pixel p takes the coverage at p - x of the glyph's row.
        const uint8_t* coverage = mask.coverage.data() + size_t(row - y) * size_t(mask.width);
        uint32_t* pixels = target.Row(row);
        if (!paint.clipRows) {
            PaintMaskRun(pixels, coverage + (left - x), left, right, row, paint);
            continue;
        }
        paint.clipRows->ForEachPart(row, left, right - left, [&](INT from, INT count) {
            PaintMaskRun(pixels, coverage + (from - x), from, from + count, row, paint);
        });
    }
}

// The glyph rendering a text rendering hint asks for. ClearType's colour fringes need to know the screen's
// subpixel order, which a canvas has not: it is drawn as AntiAliasGridFit, as GDI+ draws it on a bitmap
// with an alpha channel.
GlyphRendering RenderingOf(TextRenderingHint hint)
{
    GlyphRendering rendering;
    rendering.singleBit =
        hint == TextRenderingHintSingleBitPerPixel || hint == TextRenderingHintSingleBitPerPixelGridFit;
    rendering.gridFit = hint != TextRenderingHintAntiAlias && hint != TextRenderingHintSingleBitPerPixel;
    return rendering;
}

// Composites each glyph's cached coverage, the glyphs moved by the map's translation. Grid-fitted glyphs
// start on whole pixels and are hinted; others start at the nearest quarter pixel.
void PaintGlyphs(const PixelView& target, const LaidText& laid, const DeviceMap& map, GlyphRendering rendering,
                 const MaskPaint& paint, float reach, const PixelBox& box)
{
    const int steps = rendering.gridFit ? 1 : 4;
    // A style the font's own face lacks is made up on its glyphs, not on those of faces fallen back to.
    GlyphRendering made = rendering;
    made.synthetic = laid.font ? laid.font->synthetic : 0;
    GlyphLookup masks(laid.emSize, rendering), madeMasks(laid.emSize, made);
    for (const PlacedGlyph& glyph : laid.glyphs) {
        // Pixel centres lie on whole coordinates; a glyph's coverage square starts half a pixel before.
        const double x = glyph.x + map.dx + 0.5, y = glyph.y + map.dy + 0.5;
        if (!Touches(PointF(float(x), float(y)), reach, box)) continue;
        const double cellX = std::floor(x), cellY = std::floor(y);
        const int stepX = int(std::lround((x - cellX) * steps)), stepY = int(std::lround((y - cellY) * steps));
        const INT left = INT(cellX) + stepX / steps, top = INT(cellY) + stepY / steps;
        GlyphLookup& lookup = made.synthetic && glyph.face == laid.font->face.get() ? madeMasks : masks;
        const GlyphMask* mask =
            lookup.Find(*glyph.face, glyph.glyph, (stepX % steps) * 4 / steps, (stepY % steps) * 4 / steps);
        if (mask) PaintMask(target, *mask, left + mask->left, top + mask->top, paint, box);
    }
}

// The canvas's pixels under the laid text's box (and a pixel around it), asked for before the paint and
// clip are read so that they are on their way by the time the glyphs are composited: text lands on pixels
// far apart, rarely in a cache. Boxes larger than a few strings are left to the glyphs themselves.
void PrefetchUnder(const PixelView& target, const RectF& box, const DeviceMap& map)
{
    constexpr int64_t kPrefetchedPixels = 1 << 15;
    const INT left = std::max(0, PixelEdge(box.X + map.dx) - 1);
    const INT right = std::min(target.Width(), PixelEdge(double(box.GetRight()) + map.dx) + 1);
    const INT top = std::max(0, PixelEdge(box.Y + map.dy) - 1);
    const INT bottom = std::min(target.Height(), PixelEdge(double(box.GetBottom()) + map.dy) + 1);
    if (left >= right || top >= bottom || int64_t(right - left) * (bottom - top) > kPrefetchedPixels) return;
    constexpr INT kPixelsALine = 16;
    for (INT y = top; y < bottom; ++y) {
        const uint32_t* row = target.Row(y);
        for (INT x = left; x < right; x += kPixelsALine) __builtin_prefetch(row + x, 1);
        __builtin_prefetch(row + right - 1, 1);
    }
}

// The rows of the box that glyphs, reaching `reach` pixels around their origins, may touch.
PixelBox RowsReached(const LaidText& laid, const DeviceMap& map, float reach, PixelBox box)
{
    float top = std::numeric_limits<float>::max(), bottom = std::numeric_limits<float>::lowest();
    for (const PlacedGlyph& glyph : laid.glyphs) {
        top = std::min(top, glyph.y), bottom = std::max(bottom, glyph.y);
    }
    if (laid.glyphs.empty()) return PixelBox{};
    box.top = std::max(box.top, PixelEdge(double(top) + map.dy - reach));
    box.bottom = std::min(box.bottom, PixelEdge(double(bottom) + map.dy + reach + 1));
    return box;
}

}  // namespace

const LayerFont* Font::Layer() const
{
    std::call_once(layerLookup, [this] { layer = LookUpLayerFont(nativeFont); });
    return layer.get();
}

bool FlattensPlane(const DeviceMap& map)
{
    const double determinant = map.m11 * map.m22 - map.m12 * map.m21;
    return !std::isfinite(determinant) || determinant == 0 || !std::isfinite(map.dx) || !std::isfinite(map.dy);
}

bool UsableLayout(const RectF& layout, RectF* usable)
{
    if (std::isnan(layout.Width) || std::isnan(layout.Height) || !std::isfinite(layout.X) || !std::isfinite(layout.Y))
        return false;
    // An infinite side sets no limit, as an empty one does.
    *usable = RectF(layout.X, layout.Y, std::isfinite(layout.Width) ? layout.Width : 0.0f,
                    std::isfinite(layout.Height) ? layout.Height : 0.0f);
    return true;
}

Status Graphics::LayOutByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               const StringFormat* format, LaidText* laid, bool drawn) const
{
    RectF layout;
    if (!string || !font || !font->NativeFont() || !nativeGraphics || !UsableLayout(layoutRect, &layout))
        return InvalidParameter;
    const LayerFont* layer = font->Layer();
    if (!layer) return GenericError;
    // A font in pixels or world units is sized in world units; one in points, inches, document units or
    // millimetres keeps its size on the device whatever the page unit and scale (GDI+).
    float em = layer->size;
    if (layer->unit != UnitPixel && layer->unit != UnitWorld) {
        REAL dpi = 0;
        const double page = PageFactor();
        if (DllExports::GdipGetDpiY(nativeGraphics, &dpi) != Ok || !(dpi > 0) || !(page > 0)) return GenericError;
        em = float(double(em) * PixelsPerFontUnit(layer->unit, dpi) / page);
    }
    if (!(em > 0) || !std::isfinite(em)) return InvalidParameter;
    return LayOutAtEm(string, length, *layer, em, layout, format, laid, drawn) ? Ok : GenericError;
}

bool Graphics::TextDeviceMap(DeviceMap* map) const
{
    if (LayerDeviceMap(map, true)) return true;
    // The engine keeps a page unit other than pixels itself: its world composed with that page. The map may
    // flatten the plane (FlattensPlane).
    Unit unit = UnitWorld;
    REAL scale = 0, dpi = 0;
    Matrix world;
    REAL m[6] = {0, 0, 0, 0, 0, 0};
    if (!surface || !nativeGraphics || DllExports::GdipGetPageUnit(nativeGraphics, &unit) != Ok ||
        DllExports::GdipGetPageScale(nativeGraphics, &scale) != Ok ||
        DllExports::GdipGetDpiX(nativeGraphics, &dpi) != Ok ||
        DllExports::GdipGetWorldTransform(nativeGraphics, world.NativeMatrix()) != Ok || world.GetElements(m) != Ok)
        return false;
    const double page = PixelsPerFontUnit(unit, dpi) * scale;
    const double offset = TextPixelOffset(State().pixelOffset);
    *map = DeviceMap{m[0] * page, m[1] * page, m[2] * page, m[3] * page, m[4] * page + offset, m[5] * page + offset};
    return true;
}

bool LayOutAtEm(const WCHAR* string, INT length, const LayerFont& layer, float em, const RectF& layoutRect,
                const StringFormat* format, LaidText* laid, bool drawn)
{
    // Flags GDI+ does not know are laid out as without them; DisplayFormatControl too (format controls stay
    // invisible, as the engine kept them).
    const INT flags = FlagsOf(format);
    RectF layout;
    if (!string || !UsableLayout(layoutRect, &layout)) return false;
    if (!(em > 0) || !std::isfinite(em)) return false;
    TextRules rules;
    rules.emSize = em;
    rules.ascent = em * layer.cellAscent / layer.emHeight;
    rules.lineHeight = em * layer.lineSpacing / layer.emHeight;
    rules.padding = format && format->IsTypographic() ? 0.0f : em / 6.0f;
    rules.wrap = !(flags & StringFormatFlagsNoWrap);
    rules.cutAtWidth = (flags & StringFormatFlagsNoWrap) && !(flags & StringFormatFlagsNoClip);
    rules.measureTrailingSpaces = flags & StringFormatFlagsMeasureTrailingSpaces;
    rules.lineLimit = flags & StringFormatFlagsLineLimit;
    if (format) {
        DllExports::GdipGetStringFormatAlign(format->NativeFormat(), &rules.alignment);
        DllExports::GdipGetStringFormatLineAlign(format->NativeFormat(), &rules.lineAlignment);
    }
    rules.rightToLeft = flags & StringFormatFlagsDirectionRightToLeft;
    rules.vertical = flags & StringFormatFlagsDirectionVertical;
    rules.fontFallback = !(flags & StringFormatFlagsNoFontFallback);
    ReadFormatRules(format, &rules);
    // Drawn, an unwrapped line too wide runs on, clipped, unless trimmed with an ellipsis.
    if (drawn && !EndsWithEllipsis(rules.trimming)) rules.cutAtWidth = false;
    laid->font = &layer;
    laid->emSize = em;
    return LayOutText(layer, string, LengthOf(string, length), layout, rules, laid);
}

Status Graphics::MeasureStringByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                      const StringFormat* format, RectF* box, INT* fitted, INT* lines) const
{
    LaidText laid;
    const Status laidOut = LayOutByLayer(string, length, font, layoutRect, format, &laid);
    if (laidOut != Ok) return laidOut;
    *box = laid.box;
    if (fitted) *fitted = laid.fitted;
    if (lines) *lines = laid.lines;
    return Ok;
}

Status Graphics::DrawStringByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                   const StringFormat* format, const Brush* brush)
{
    if (!brush || !brush->NativeBrush()) return InvalidParameter;
    RectF layout;
    if (!UsableLayout(layoutRect, &layout)) return InvalidParameter;
    LaidText laid;
    const Status laidOut = LayOutByLayer(string, length, font, layout, format, &laid, true);
    if (laidOut != Ok) return laidOut;
    DeviceMap map;
    if (!TextDeviceMap(&map)) return GenericError;
    // A world that flattens the plane draws nothing, as it draws no shape.
    if (FlattensPlane(map)) return Ok;
    const TextRenderingHint hint = State().textHint;
    const INT flags = FlagsOf(format);
    const GlyphRendering rendering = RenderingOf(hint);
    const bool translation = map.m11 == 1 && map.m12 == 0 && map.m21 == 0 && map.m22 == 1;
    // Text is clipped to its layout rectangle unless told not to (pixels whose centres lie inside).
    const bool clipped = layout.Width > 0 && layout.Height > 0 && !(flags & StringFormatFlagsNoClip);
    const double stretch = std::max(std::abs(map.m11) + std::abs(map.m21), std::abs(map.m12) + std::abs(map.m22));
    const float reach = float(kGlyphReachEms * laid.emSize * stretch);
    const RectF* clipTo = clipped ? &layout : nullptr;
    // Copying compositing replaces pixels by the brush scaled by coverage: the glyphs are filled as one shape,
    // so that glyphs that touch do not each replace what the other drew.
    if (!translation || laid.emSize > kLargestCachedEm || laid.vertical || compositingMode != CompositingModeSourceOver)
        return FillOutlinesByLayer(laid, map, clipTo, reach, rendering.singleBit, brush);
    // The glyphs' masks, painted while the canvas's pixels are held; the lines of an underlined or struck-out
    // font and of shown hotkeys are filled after they are let go. A brush or clip the layer cannot read
    // leaves the canvas untouched, and the outlines are filled instead.
    const bool painted = [&] {
        const PaintSource paint(brush, map, State().origin);
        const PixelView target(surface.get(), ViewedFormats::Drawn);
        if (target.Valid()) PrefetchUnder(target, laid.box, map);
        DeviceClip clip;
        if (!paint.Valid() || !target.Valid() || !ReadDeviceClip(&clip, target)) return false;
        const Rect within = clip.Narrow(Rect(0, 0, target.Width(), target.Height()));
        PixelBox box{within.X, within.Y, within.X + within.Width, within.Y + within.Height};
        if (clipped) {
            box.left = std::max(box.left, PixelEdge(layout.X + map.dx));
            box.top = std::max(box.top, PixelEdge(layout.Y + map.dy));
            box.right = std::min(box.right, PixelEdge(double(layout.X) + layout.Width + map.dx));
            box.bottom = std::min(box.bottom, PixelEdge(double(layout.Y) + layout.Height + map.dy));
        }
        box = RowsReached(laid, map, reach, box);
        ARGB colour = 0;
        MaskPaint maskPaint;
        if (paint.Solid(&colour))
            maskPaint.source = EnginePremultiplied(colour);
        else
            maskPaint.shaded = &paint;
        if ((!maskPaint.shaded && maskPaint.source == 0) || box.Empty()) return true;
        std::optional<ClipRows> clipRows;
        if (!clip.IsBox()) {
            clipRows.emplace(clip, Rect(box.left, box.top, box.right - box.left, box.bottom - box.top));
            maskPaint.clipRows = &*clipRows;
        }
        PaintGlyphs(target, laid, map, rendering, maskPaint, reach, box);
        return true;
    }();
    if (!painted) return FillOutlinesByLayer(laid, map, clipTo, reach, rendering.singleBit, brush);
    std::vector<PointF> points;
    std::vector<BYTE> types;
    UnderlineFigures(laid, clipTo, &points, &types);
    return points.empty() ? Ok : FillTextFigures(brush, map, points, types, rendering.singleBit);
}

Status Graphics::FillTextFigures(const Brush* brush, const DeviceMap& map, const std::vector<PointF>& points,
                                 const std::vector<BYTE>& types, bool wholePixels)
{
    if (FillFigures(brush, map, points.data(), types.data(), INT(points.size()), FillModeWinding, wholePixels))
        return Ok;
    // A brush or clip the layer cannot read: the figures are filled as a path, with the smoothing the
    // rendering hint asks for.
    const GraphicsPath path(points.data(), types.data(), INT(points.size()), FillModeWinding);
    if (path.GetLastStatus() != Ok) return path.GetLastStatus();
    const SmoothingMode smoothing = GetSmoothingMode();
    SetSmoothingMode(wholePixels ? SmoothingModeNone : SmoothingModeAntiAlias);
    const Status filled = FillPath(brush, &path);
    SetSmoothingMode(smoothing);
    return filled;
}

Status Graphics::FillOutlinesByLayer(const LaidText& laid, const DeviceMap& map, const RectF* clipTo, float reach,
                                     bool wholePixels, const Brush* brush)
{
    // The outlines of the glyphs that may reach the canvas, and the lines of an underlined or struck-out
    // font and of shown hotkeys, filled.
    UINT width = 0, height = 0;
    if (DllExports::GdipGetImageWidth(surface.get(), &width) != Ok ||
        DllExports::GdipGetImageHeight(surface.get(), &height) != Ok)
        return GenericError;
    const PixelBox canvas{0, 0, INT(width), INT(height)};
    std::vector<size_t> visible;
    for (size_t i = 0; i < laid.glyphs.size(); ++i)
        if (Touches(map.Apply(PointF(laid.glyphs[i].x, laid.glyphs[i].y)), reach, canvas)) visible.push_back(i);
    std::vector<PointF> points;
    std::vector<BYTE> types;
    if (!GlyphOutlines(laid, visible, &points, &types)) return GenericError;
    UnderlineFigures(laid, nullptr, &points, &types);
    if (points.empty()) return Ok;
    if (!clipTo) return FillTextFigures(brush, map, points, types, wholePixels);
    // Text kept to its layout rectangle: the rectangle narrows the context's clip for this fill alone.
    const GraphicsState state = Save();
    Status filled = IntersectClip(*clipTo);
    if (filled == Ok) filled = FillTextFigures(brush, map, points, types, wholePixels);
    Restore(state);
    return filled;
}

Status Graphics::MeasureRangesByLayer(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                      const StringFormat* format, Region* regions) const
{
    LaidText laid;
    const Status laidOut = LayOutByLayer(string, length, font, layoutRect, format, &laid);
    if (laidOut != Ok) return laidOut;
    // A range reaching outside the string is refused (GDI+).
    const INT units = LengthOf(string, length);
    const std::vector<CharacterRange>& ranges = format->MeasurableRanges();
    for (const CharacterRange& range : ranges) {
        const INT first = range.Length >= 0 ? range.First : range.First + range.Length;
        if (range.First < 0 || first < 0 || first + std::abs(range.Length) > units) return InvalidParameter;
    }
    for (size_t r = 0; r < ranges.size(); ++r) {
        const INT first = ranges[r].Length >= 0 ? ranges[r].First : ranges[r].First + ranges[r].Length;
        const INT end = first + std::abs(ranges[r].Length);
        regions[r].MakeEmpty();
        // The cells of the range's characters, joined along each line.
        RectF cell;
        INT cellLine = -1;
        auto flush = [&] {
            if (cellLine >= 0) regions[r].Union(laid.Turned(cell));
            cellLine = -1;
        };
        for (const PlacedGlyph& glyph : laid.glyphs) {
            if (glyph.unit < first || glyph.unit >= end) {
                flush();
                continue;
            }
            if (cellLine == glyph.line && std::abs(cell.GetRight() - glyph.penX) < 1e-3f) {
                cell.Width += glyph.advance;
                continue;
            }
            flush();
            cell = RectF(glyph.penX, laid.lineTops[glyph.line], glyph.advance, laid.lineHeight);
            cellLine = glyph.line;
        }
        flush();
    }
    return Ok;
}

}  // namespace Gdiplus
