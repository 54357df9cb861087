// Graphics extras (containers, coordinate spaces, pixel offset, rendering origin, text contrast, several
// rectangles, an image on a parallelogram) and font metrics and collections.
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "../engine/TextLock.h"
#include "DeviceContexts.h"

namespace Gdiplus {

namespace {

// Affine maps as six numbers in GDI+'s row-vector order (m11, m12, m21, m22, dx, dy).
void Compose(const REAL a[6], const REAL b[6], REAL out[6])  // first a, then b
{
    const REAL r[6] = {a[0] * b[0] + a[1] * b[2],        a[0] * b[1] + a[1] * b[3],
                       a[2] * b[0] + a[3] * b[2],        a[2] * b[1] + a[3] * b[3],
                       a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
    std::copy(r, r + 6, out);
}

bool Invert(const REAL m[6], REAL out[6])
{
    const double det = double(m[0]) * m[3] - double(m[1]) * m[2];
    if (!std::isfinite(det) || det == 0) return false;
    const REAL r[6] = {REAL(m[3] / det),
                       REAL(-m[1] / det),
                       REAL(-m[2] / det),
                       REAL(m[0] / det),
                       REAL((m[2] * double(m[5]) - m[3] * double(m[4])) / det),
                       REAL((m[1] * double(m[4]) - m[0] * double(m[5])) / det)};
    std::copy(r, r + 6, out);
    return true;
}

void Apply(const REAL m[6], PointF* points, INT count)
{
    for (INT i = 0; i < count; ++i) {
        const REAL x = points[i].X, y = points[i].Y;
        points[i] = PointF(x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]);
    }
}

// Device pixels per unit at the resolution; 0 for units a page cannot have.
REAL PixelsPerUnit(Unit unit, REAL dpi)
{
    switch (unit) {
    case UnitDisplay:
    case UnitPixel: return 1.0f;
    case UnitPoint: return dpi / 72.0f;
    case UnitInch: return dpi;
    case UnitDocument: return dpi / 300.0f;
    case UnitMillimeter: return dpi / 25.4f;
    default: return 0.0f;
    }
}

// How the engine's quality settings start inside a new container, as in GDI+.
void ResetQuality(DllExports::GpGraphics* graphics)
{
    DllExports::GdipSetSmoothingMode(graphics, SmoothingModeNone);
    DllExports::GdipSetInterpolationMode(graphics, InterpolationModeBilinear);
    DllExports::GdipSetCompositingMode(graphics, CompositingModeSourceOver);
    DllExports::GdipSetCompositingQuality(graphics, CompositingQualityDefault);
    DllExports::GdipSetPixelOffsetMode(graphics, PixelOffsetModeDefault);
    DllExports::GdipSetTextRenderingHint(graphics, TextRenderingHintSystemDefault);
    DllExports::GdipSetTextContrast(graphics, 4);
}

}  // namespace

// ---- Containers and coordinate spaces ----

REAL Graphics::PageFactor() const
{
    const REAL perUnit = PixelsPerUnit(pageUnit, State().dpiX);
    return perUnit * pageScale;
}

REAL Graphics::EngineToDevice() const
{
    if (InContainer() || pageUnit == UnitPixel) return 1.0f;
    if (appliedPageScale != 1.0f) return 0.0f;
    return pageUnit == UnitDisplay ? pageScale : PageFactor();
}

void Graphics::WorldToDevice(REAL m[6]) const
{
    Matrix world;
    GetTransform(&world);
    world.GetElements(m);
    const REAL page = PageFactor();
    const REAL scale[6] = {page, 0, 0, page, 0, 0};
    Compose(m, scale, m);
    if (InContainer()) Compose(m, containerBase, m);
}

std::shared_ptr<Region> Graphics::DeviceClipRegion() const
{
    if (Unclipped()) return nullptr;
    auto clip = std::make_shared<Region>();
    Matrix world;
    if (!clip->NativeRegion() || DllExports::GdipGetWorldTransform(nativeGraphics, world.NativeMatrix()) != Ok ||
        DllExports::GdipResetWorldTransform(nativeGraphics) != Ok)
        return nullptr;
    const bool read = DllExports::GdipGetClip(nativeGraphics, clip->NativeRegion()) == Ok;
    DllExports::GdipSetWorldTransform(nativeGraphics, world.NativeMatrix());
    const REAL page = EngineToDevice();
    Matrix toDevice(page, 0, 0, page, 0, 0);
    if (!read || (page != 1.0f && DllExports::GdipTransformRegion(clip->NativeRegion(), toDevice.NativeMatrix()) != Ok))
        return nullptr;
    return clip;
}

void Graphics::CombineDeviceClip(const Region& region, CombineMode combineMode)
{
    Matrix world;
    if (DllExports::GdipGetWorldTransform(nativeGraphics, world.NativeMatrix()) != Ok ||
        DllExports::GdipResetWorldTransform(nativeGraphics) != Ok)
        return;
    DllExports::GdipSetClipRegion(nativeGraphics, region.NativeRegion(), combineMode);
    DllExports::GdipSetWorldTransform(nativeGraphics, world.NativeMatrix());
    StateChanged();
}

Status Graphics::KeptInContainer(Status status)
{
    StateChanged();
    if (status == Ok && InContainer() && openContainers.back().clip)
        CombineDeviceClip(*openContainers.back().clip, CombineModeIntersect);
    return status;
}

GraphicsContainer Graphics::OpenContainerMapped(const REAL inner[6])
{
    REAL outside[6];
    WorldToDevice(outside);
    std::shared_ptr<Region> around = DeviceClipRegion();
    GraphicsState state = 0;
    if (SetStatus(DllExports::GdipSaveGraphics(nativeGraphics, &state)) != Ok) return 0;
    OpenContainer opened{state, {}, compositingMode, around};
    std::copy(containerBase, containerBase + 6, opened.outerBase);
    savedPages.push_back({state, pageUnit, pageScale, appliedPageScale});
    openContainers.push_back(opened);
    Compose(inner, outside, containerBase);
    // Inside, the engine's page stays in pixels: the layer applies the page settings with the mapping.
    DllExports::GdipSetPageUnit(nativeGraphics, UnitPixel);
    DllExports::GdipSetPageScale(nativeGraphics, 1.0f);
    pageUnit = UnitDisplay;
    pageScale = 1.0f;
    appliedPageScale = 1.0f;
    compositingMode = CompositingModeSourceOver;
    ResetQuality(nativeGraphics);
    Matrix identity;
    SetEngineWorld(identity);
    // The clip around stays, now on the device (the outside's may have been kept in its page unit).
    if (around) CombineDeviceClip(*around, CombineModeReplace);
    StateChanged();
    return state;
}

GraphicsContainer Graphics::BeginContainer()
{
    const REAL identity[6] = {1, 0, 0, 1, 0, 0};
    return OpenContainerMapped(identity);
}

// The source rectangle, in its unit, is carried onto the destination, in the outside's world coordinates.
GraphicsContainer Graphics::BeginContainer(const RectF& dstrect, const RectF& srcrect, Unit unit)
{
    const REAL perUnitX = PixelsPerUnit(unit, GetDpiX()), perUnitY = PixelsPerUnit(unit, GetDpiY());
    const REAL sx = dstrect.Width / (srcrect.Width * perUnitX), sy = dstrect.Height / (srcrect.Height * perUnitY);
    if (unit < UnitPixel || unit > UnitMillimeter || !std::isfinite(sx) || !std::isfinite(sy) ||
        !std::isfinite(dstrect.X) || !std::isfinite(dstrect.Y) || !std::isfinite(srcrect.X) ||
        !std::isfinite(srcrect.Y)) {
        SetStatus(InvalidParameter);
        return 0;
    }
    const REAL inner[6] = {sx, 0, 0, sy, dstrect.X - srcrect.X * perUnitX * sx, dstrect.Y - srcrect.Y * perUnitY * sy};
    return OpenContainerMapped(inner);
}

GraphicsContainer Graphics::BeginContainer(const Rect& dstrect, const Rect& srcrect, Unit unit)
{
    return BeginContainer(RectF(REAL(dstrect.X), REAL(dstrect.Y), REAL(dstrect.Width), REAL(dstrect.Height)),
                          RectF(REAL(srcrect.X), REAL(srcrect.Y), REAL(srcrect.Width), REAL(srcrect.Height)), unit);
}

void Graphics::ForgetContainersFrom(GraphicsState state)
{
    auto first = std::find_if(openContainers.begin(), openContainers.end(),
                              [state](const OpenContainer& open) { return open.state >= state; });
    if (first == openContainers.end()) return;
    std::copy(first->outerBase, first->outerBase + 6, containerBase);
    compositingMode = first->compositing;
    openContainers.erase(first, openContainers.end());
}

// A container this context does not hold open (ended already, or another context's) is ignored, as in
// GDI+; ending one ends those begun inside it.
Status Graphics::EndContainer(GraphicsContainer state)
{
    auto open = std::find_if(openContainers.begin(), openContainers.end(),
                             [state](const OpenContainer& c) { return c.state == state; });
    if (open == openContainers.end()) return SetStatus(Ok);
    return Restore(state);
}

Status Graphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, PointF* pts, INT count) const
{
    auto known = [](CoordinateSpace space) { return space >= CoordinateSpaceWorld && space <= CoordinateSpaceDevice; };
    if (!pts || count <= 0 || !known(destSpace) || !known(srcSpace)) return SetStatus(InvalidParameter);
    if (destSpace == srcSpace) return SetStatus(Ok);
    // Each space's map to device pixels; the points go to the device and back to the destination.
    REAL toDevice[3][6] = {{}, {1, 0, 0, 1, 0, 0}, {1, 0, 0, 1, 0, 0}};
    WorldToDevice(toDevice[CoordinateSpaceWorld]);
    const REAL page = PageFactor();
    toDevice[CoordinateSpacePage][0] = toDevice[CoordinateSpacePage][3] = page;
    if (InContainer()) Compose(toDevice[CoordinateSpacePage], containerBase, toDevice[CoordinateSpacePage]);
    REAL back[6];
    if (!Invert(toDevice[destSpace], back)) return SetStatus(InvalidParameter);
    REAL map[6];
    Compose(toDevice[srcSpace], back, map);
    Apply(map, pts, count);
    return SetStatus(Ok);
}

Status Graphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, Point* pts, INT count) const
{
    if (!pts || count <= 0) return SetStatus(InvalidParameter);
    std::vector<PointF> exact(static_cast<size_t>(count));
    for (INT i = 0; i < count; ++i) exact[i] = PointF(REAL(pts[i].X), REAL(pts[i].Y));
    const Status status = TransformPoints(destSpace, srcSpace, exact.data(), count);
    if (status != Ok) return status;
    // Rounded half up, as GDI+ rounds; points beyond INT's range are clamped to it.
    auto round = [](REAL v) {
        const double r = std::floor(double(v) + 0.5);
        return std::isfinite(r) ? INT(std::clamp(r, -2147483648.0, 2147483647.0)) : 0;
    };
    for (INT i = 0; i < count; ++i) pts[i] = Point(round(exact[i].X), round(exact[i].Y));
    return status;
}

// ---- Settings ----

Status Graphics::SetPixelOffsetMode(PixelOffsetMode pixelOffsetMode)
{
    if (pixelOffsetMode < PixelOffsetModeDefault || pixelOffsetMode > PixelOffsetModeHalf)
        return SetStatus(InvalidParameter);
    StateChanged();
    return SetStatus(DllExports::GdipSetPixelOffsetMode(nativeGraphics, pixelOffsetMode));
}

PixelOffsetMode Graphics::GetPixelOffsetMode() const
{
    PixelOffsetMode mode = PixelOffsetModeInvalid;
    SetStatus(DllExports::GdipGetPixelOffsetMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetRenderingOrigin(INT x, INT y)
{
    StateChanged();
    return SetStatus(DllExports::GdipSetRenderingOrigin(nativeGraphics, x, y));
}

Status Graphics::GetRenderingOrigin(INT* x, INT* y) const
{
    return SetStatus(DllExports::GdipGetRenderingOrigin(nativeGraphics, x, y));
}

Status Graphics::SetTextContrast(UINT contrast)
{
    if (contrast > 12) return SetStatus(InvalidParameter);
    return SetStatus(DllExports::GdipSetTextContrast(nativeGraphics, contrast));
}

UINT Graphics::GetTextContrast() const
{
    UINT contrast = 0;
    SetStatus(DllExports::GdipGetTextContrast(nativeGraphics, &contrast));
    return contrast;
}

Status Graphics::GetNearestColor(Color* color) const
{
    // The layer's surfaces hold 32 bits a pixel: every colour is its own nearest.
    if (!color) return SetStatus(InvalidParameter);
    return SetStatus(nativeGraphics ? Ok : InvalidParameter);
}

void Graphics::Flush(FlushIntention intention)
{
    SetStatus(DllExports::GdipFlush(nativeGraphics, intention));
    ShowDrawing(this);  // a context on a window's device context puts its drawing on screen
}

// ---- Several rectangles, and an image on a parallelogram ----

// Each rectangle goes through the single-rectangle member, so every route the layer draws by applies.
template <typename R>
static Status EachRectangle(const R* rects, INT count, const std::function<Status(const R&)>& draw)
{
    if (!rects || count <= 0) return InvalidParameter;
    Status first = Ok;
    for (INT i = 0; i < count; ++i) {
        const Status status = draw(rects[i]);
        if (first == Ok) first = status;
    }
    return first;
}

Status Graphics::FillRectangles(const Brush* brush, const RectF* rects, INT count)
{
    if (!brush) return SetStatus(InvalidParameter);
    return SetStatus(EachRectangle<RectF>(rects, count, [&](const RectF& r) { return FillRectangle(brush, r); }));
}

Status Graphics::FillRectangles(const Brush* brush, const Rect* rects, INT count)
{
    if (!brush) return SetStatus(InvalidParameter);
    return SetStatus(EachRectangle<Rect>(rects, count, [&](const Rect& r) { return FillRectangle(brush, r); }));
}

Status Graphics::DrawRectangles(const Pen* pen, const RectF* rects, INT count)
{
    if (!pen) return SetStatus(InvalidParameter);
    return SetStatus(EachRectangle<RectF>(rects, count, [&](const RectF& r) { return DrawRectangle(pen, r); }));
}

Status Graphics::DrawRectangles(const Pen* pen, const Rect* rects, INT count)
{
    if (!pen) return SetStatus(InvalidParameter);
    return SetStatus(EachRectangle<Rect>(rects, count, [&](const Rect& r) { return DrawRectangle(pen, r); }));
}

// The image's pixel rectangle is carried onto the parallelogram by the world transform, and drawn through
// the rectangle-to-rectangle member with every fix the layer makes there.
Status Graphics::DrawImage(Image* image, const PointF* destPoints, INT count)
{
    if (!image || !destPoints) return SetStatus(InvalidParameter);
    if (count == 4) return SetStatus(NotImplemented);  // as GDI+: a fourth corner is not supported
    if (count != 3) return SetStatus(InvalidParameter);
    const REAL width = REAL(image->GetWidth()), height = REAL(image->GetHeight());
    if (!(width > 0 && height > 0)) return SetStatus(InvalidParameter);
    const PointF& origin = destPoints[0];
    const REAL map[6] = {(destPoints[1].X - origin.X) / width,  (destPoints[1].Y - origin.Y) / width,
                         (destPoints[2].X - origin.X) / height, (destPoints[2].Y - origin.Y) / height,
                         origin.X,                              origin.Y};
    REAL inverse[6];
    if (!std::all_of(map, map + 6, [](REAL v) { return std::isfinite(v); })) return SetStatus(InvalidParameter);
    if (!Invert(map, inverse)) return SetStatus(Ok);  // a flat parallelogram covers no pixels
    const GraphicsState state = Save();
    Matrix placement(map[0], map[1], map[2], map[3], map[4], map[5]);
    Status status = MultiplyTransform(&placement, MatrixOrderPrepend);
    if (status == Ok) status = DrawImage(image, RectF(0, 0, width, height), REAL(0), REAL(0), width, height, UnitPixel);
    Restore(state);
    return SetStatus(status);
}

Status Graphics::DrawImage(Image* image, const Point* destPoints, INT count)
{
    if (!image || !destPoints) return SetStatus(InvalidParameter);
    if (count != 3) return SetStatus(count == 4 ? NotImplemented : InvalidParameter);
    const PointF exact[3] = {PointF(REAL(destPoints[0].X), REAL(destPoints[0].Y)),
                             PointF(REAL(destPoints[1].X), REAL(destPoints[1].Y)),
                             PointF(REAL(destPoints[2].X), REAL(destPoints[2].Y))};
    return DrawImage(image, exact, 3);
}

// ---- Fonts ----

UINT16 FontFamily::Metric(Status (*metric)(const DllExports::GpFontFamily*, INT, UINT16*), INT style) const
{
    UINT16 value = 0;
    const auto lock = LockEngineText();
    return SetStatus(metric(nativeFamily, style, &value)) == Ok ? value : 0;
}

UINT16 FontFamily::GetEmHeight(INT style) const
{
    return Metric(DllExports::GdipGetEmHeight, style);
}

UINT16 FontFamily::GetCellAscent(INT style) const
{
    return Metric(DllExports::GdipGetCellAscent, style);
}

UINT16 FontFamily::GetCellDescent(INT style) const
{
    return Metric(DllExports::GdipGetCellDescent, style);
}

UINT16 FontFamily::GetLineSpacing(INT style) const
{
    return Metric(DllExports::GdipGetLineSpacing, style);
}

BOOL FontFamily::IsStyleAvailable(INT style) const
{
    BOOL available = FALSE;
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipIsStyleAvailable(nativeFamily, style, &available));
    return available;
}

Font::Font(HDC hdc, const LOGFONTW* logfont)
{
    if (!hdc || !logfont) {
        SetStatus(InvalidParameter);
        return;
    }
    WCHAR face[LF_FACESIZE] = {};
    std::copy(logfont->lfFaceName, logfont->lfFaceName + LF_FACESIZE - 1, face);
    // Only an installed face (or its metric-compatible stand-in) makes a font, as in GDI+.
    const FontFamily family(face);
    if (!family.IsAvailable()) {
        SetStatus(NotTrueTypeFont);
        return;
    }
    INT style = FontStyleRegular;
    if (logfont->lfWeight > 400) style |= FontStyleBold;
    if (logfont->lfItalic) style |= FontStyleItalic;
    if (logfont->lfUnderline) style |= FontStyleUnderline;
    if (logfont->lfStrikeOut) style |= FontStyleStrikeout;
    // A negative height is the em height; a positive one the cell's (ascent and descent).
    REAL size = std::abs(REAL(logfont->lfHeight));
    if (logfont->lfHeight > 0) {
        const REAL em = family.GetEmHeight(style), cell = REAL(family.GetCellAscent(style)) + family.GetCellDescent(style);
        if (em > 0 && cell > 0) size = size * em / cell;
    }
    if (size == 0) size = 12.0f;  // GDI's default height for 0
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipCreateFont(family.NativeFamily(), size, style, UnitWorld, &nativeFont));
}

Font::Font(HDC hdc) { SetStatus(hdc ? NotImplemented : InvalidParameter); }

Status Font::GetLogFontW(const Graphics* g, LOGFONTW* logfontW) const
{
    if (!g || !logfontW || !nativeFont) return SetStatus(InvalidParameter);
    const auto lock = LockEngineText();
    return SetStatus(DllExports::GdipGetLogFontW(nativeFont, g->NativeGraphics(), logfontW));
}

REAL Font::GetHeight(const Graphics* graphics) const
{
    REAL height = 0;
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipGetFontHeight(nativeFont, graphics ? graphics->NativeGraphics() : nullptr, &height));
    return height;
}

REAL Font::GetHeight(REAL dpi) const
{
    REAL height = 0;
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipGetFontHeightGivenDPI(nativeFont, dpi, &height));
    return height;
}

Unit Font::GetUnit() const
{
    Unit unit = UnitWorld;
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipGetFontUnit(nativeFont, &unit));
    return unit;
}

// ---- Font collections ----

INT FontCollection::GetFamilyCount() const
{
    INT count = 0;
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipGetFontCollectionFamilyCount(nativeCollection, &count));
    return count;
}

Status FontCollection::GetFamilies(INT numSought, FontFamily* gpfamilies, INT* numFound) const
{
    if (!gpfamilies || !numFound || numSought <= 0) return SetStatus(InvalidParameter);
    std::vector<DllExports::GpFontFamily*> found(size_t(numSought), nullptr);
    const auto lock = LockEngineText();
    INT count = 0;
    const Status status =
        DllExports::GdipGetFontCollectionFamilyList(nativeCollection, numSought, found.data(), &count);
    *numFound = status == Ok ? count : 0;
    for (INT i = 0; i < count && status == Ok; ++i) {
        if (gpfamilies[i].nativeFamily) DllExports::GdipDeleteFontFamily(gpfamilies[i].nativeFamily);
        gpfamilies[i].nativeFamily = found[size_t(i)];
        gpfamilies[i].standInFor.clear();
    }
    return SetStatus(status);
}

InstalledFontCollection::InstalledFontCollection()
{
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipNewInstalledFontCollection(&nativeCollection));
}

PrivateFontCollection::PrivateFontCollection()
{
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipNewPrivateFontCollection(&nativeCollection));
}

PrivateFontCollection::~PrivateFontCollection()
{
    const auto lock = LockEngineText();
    if (nativeCollection) DllExports::GdipDeletePrivateFontCollection(&nativeCollection);
}

// libgdiplus opens any path (a FIFO blocks it) and takes any file as fonts; only regular files that
// FreeType reads as fonts reach it.
Status PrivateFontCollection::AddFontFile(const WCHAR* filename)
{
    if (!filename || !nativeCollection) return SetStatus(InvalidParameter);
    const std::string path = Utf16ToUtf8(filename);
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return SetStatus(FileNotFound);
    int faces = 0;
    FcPattern* font = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &faces);
    if (!font) return SetStatus(InvalidParameter);
    FcPatternDestroy(font);
    const auto lock = LockEngineText();
    return SetStatus(DllExports::GdipPrivateAddFontFile(nativeCollection, filename));
}

}  // namespace Gdiplus
