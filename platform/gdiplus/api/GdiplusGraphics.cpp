// Graphics: drawing contexts on images, device contexts and windows.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "../../win/Window.h"
#include "../Gdiplus.h"
#include "../pipeline/Clip.h"
#include "../pipeline/ImageAdjust.h"
#include "../pipeline/ImageDraw.h"
#include "../pipeline/PixelView.h"
#include "../pipeline/ShapeInput.h"
#include "CompoundPen.h"
#include "DeviceContexts.h"

namespace Gdiplus {

namespace {

const REAL kScreenDpi = 96.0f;

// The screen's drawing surface stands in for a window that has none: a one-pixel 32-bit image
// at the screen's resolution, enough to make bitmaps compatible with it.
std::shared_ptr<DllExports::GpImage> MakeScreenSurface()
{
    DllExports::GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok) return nullptr;
    DllExports::GdipBitmapSetResolution(bitmap, kScreenDpi, kScreenDpi);
    return std::shared_ptr<DllExports::GpImage>(reinterpret_cast<DllExports::GpImage*>(bitmap),
                                                [](DllExports::GpImage* p) { DllExports::GdipDisposeImage(p); });
}

DllExports::GpPen* NativeOf(const Pen* pen) { return pen ? pen->NativePen() : nullptr; }
DllExports::GpBrush* NativeOf(const Brush* brush) { return brush ? brush->NativeBrush() : nullptr; }
DllExports::GpImage* NativeOf(Image* image) { return image ? image->NativeImage() : nullptr; }
DllExports::GpPath* NativeOf(const GraphicsPath* path) { return path ? path->NativePath() : nullptr; }
DllExports::GpMatrix* NativeOf(const Matrix* matrix) { return matrix ? matrix->NativeMatrix() : nullptr; }
DllExports::GpImageAttributes* NativeOf(const ImageAttributes* attributes)
{
    return attributes ? attributes->NativeAttributes() : nullptr;
}

// A rectangle with one side of no length, which a path does not take: its outline is still drawn, as a line
// there and back along its corners, as the engine draws it.
bool IsFlat(REAL width, REAL height)
{
    return (width == 0 && height != 0) || (height == 0 && width != 0);
}

// libgdiplus finishes a path fill with a stroke of its outline that takes the dash of the last pen it
// drew with, which leaves dashes along the fill's edge; a solid pen that draws nothing clears it.
void ClearEngineDash(DllExports::GpGraphics* graphics)
{
    DllExports::GpPen* pen = nullptr;
    if (DllExports::GdipCreatePen1(0x00000000, 1.0f, UnitWorld, &pen) != Ok) return;
    DllExports::GdipDrawLineI(graphics, pen, 0, 0, 0, 0);
    DllExports::GdipDeletePen(pen);
}

}  // namespace

Graphics::Graphics(HDC hdc) { OpenDeviceContext(hdc); }

Graphics::Graphics(HWND hwnd, BOOL)
{
    HDC windowDC = CurrentClientDC(hwnd);
    if (windowDC) {
        OpenDeviceContext(windowDC);
        return;
    }
    surface = MakeScreenSurface();
    SetStatus(DllExports::GdipGetImageGraphicsContext(surface.get(), &nativeGraphics));
}

Graphics::Graphics(Image* image)
{
    if (image) surface = image->SharedNativeImage();
    SetStatus(DllExports::GdipGetImageGraphicsContext(surface.get(), &nativeGraphics));
}

// A device context the layer handed out draws on its surface here too, through the layer, at the surface's
// resolution (a window's is shown when this context is flushed or ends). Every device context here is one
// the layer handed out: one it does not know (the engine would read it as its own context and crash on a
// stray handle), or one that is gone, has nothing to draw on. GDI+ answers a null one with OutOfMemory.
void Graphics::OpenDeviceContext(HDC hdc)
{
    if (!hdc) {
        SetStatus(OutOfMemory);
        return;
    }
    const DeviceContextTarget target = FindDeviceContext(hdc);
    if (!target.surface) {
        SetStatus(InvalidParameter);
        return;
    }
    surface = target.surface;
    if (SetStatus(DllExports::GdipGetImageGraphicsContext(surface.get(), &nativeGraphics)) == Ok && target.shown)
        ShowWhenDrawn(this, hdc);
}

Graphics::~Graphics()
{
    EndDrawing(this);
    // The context goes before the surface it draws into.
    if (nativeGraphics) DllExports::GdipDeleteGraphics(nativeGraphics);
}

Graphics* Graphics::FromHDC(HDC hdc) { return new Graphics(hdc); }
Graphics* Graphics::FromHWND(HWND hwnd, BOOL icm) { return new Graphics(hwnd, icm); }
Graphics* Graphics::FromImage(Image* image) { return new Graphics(image); }

Status Graphics::Clear(const Color& color)
{
    if (ClearByLayer(color.GetValue())) return SetStatus(Ok);
    return SetStatus(DllExports::GdipGraphicsClear(nativeGraphics, color.GetValue()));
}

Status Graphics::SetSmoothingMode(SmoothingMode mode)
{
    StateChanged();
    return SetStatus(DllExports::GdipSetSmoothingMode(nativeGraphics, mode));
}

SmoothingMode Graphics::GetSmoothingMode() const
{
    SmoothingMode mode = SmoothingModeInvalid;
    SetStatus(DllExports::GdipGetSmoothingMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetInterpolationMode(InterpolationMode mode)
{
    StateChanged();
    return SetStatus(DllExports::GdipSetInterpolationMode(nativeGraphics, mode));
}

InterpolationMode Graphics::GetInterpolationMode() const
{
    InterpolationMode mode = InterpolationModeInvalid;
    SetStatus(DllExports::GdipGetInterpolationMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetCompositingMode(CompositingMode mode)
{
    Status status = SetStatus(DllExports::GdipSetCompositingMode(nativeGraphics, mode));
    if (status == Ok) compositingMode = mode;
    return status;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint)
{
    StateChanged();
    return SetStatus(DllExports::GdipSetTextRenderingHint(nativeGraphics, hint));
}

Status Graphics::SetEngineWorld(const Matrix& world)
{
    StateChanged();
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    world.GetElements(m);
    Matrix engine(m[0], m[1], m[2], m[3], m[4], m[5]);
    if (appliedPageScale != 1.0f) engine.Scale(appliedPageScale, appliedPageScale, MatrixOrderAppend);
    if (InContainer()) {
        const REAL* b = containerBase;
        Matrix base(b[0], b[1], b[2], b[3], b[4], b[5]);
        engine.Multiply(&base, MatrixOrderAppend);
    }
    return SetStatus(DllExports::GdipSetWorldTransform(nativeGraphics, engine.NativeMatrix()));
}

Status Graphics::SetTransform(const Matrix* matrix)
{
    StateChanged();
    if (!LayerShapesWorld() || !matrix)
        return SetStatus(DllExports::GdipSetWorldTransform(nativeGraphics, NativeOf(matrix)));
    return SetEngineWorld(*matrix);
}

Status Graphics::GetTransform(Matrix* matrix) const
{
    Status status = SetStatus(DllExports::GdipGetWorldTransform(nativeGraphics, NativeOf(matrix)));
    if (status == Ok && matrix && InContainer()) {
        const REAL* b = containerBase;
        Matrix outside(b[0], b[1], b[2], b[3], b[4], b[5]);
        if (outside.Invert() == Ok) matrix->Multiply(&outside, MatrixOrderAppend);
    }
    if (status == Ok && matrix && appliedPageScale != 1.0f)
        matrix->Scale(1.0f / appliedPageScale, 1.0f / appliedPageScale, MatrixOrderAppend);
    return status;
}

Status Graphics::ResetTransform()
{
    StateChanged();
    if (!LayerShapesWorld()) return SetStatus(DllExports::GdipResetWorldTransform(nativeGraphics));
    Matrix identity;
    return SetEngineWorld(identity);
}

// Prepending works on the engine's transform as it is; appending must go in before the page scale.
Status Graphics::RotateTransform(REAL angle, MatrixOrder order)
{
    StateChanged();
    if (order == MatrixOrderPrepend || !LayerShapesWorld())
        return SetStatus(DllExports::GdipRotateWorldTransform(nativeGraphics, angle, order));
    Matrix world;
    GetTransform(&world);
    world.Rotate(angle, order);
    return SetEngineWorld(world);
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    StateChanged();
    if (order == MatrixOrderPrepend || !LayerShapesWorld())
        return SetStatus(DllExports::GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
    Matrix world;
    GetTransform(&world);
    world.Translate(dx, dy, order);
    return SetEngineWorld(world);
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    StateChanged();
    if (order == MatrixOrderPrepend || !LayerShapesWorld())
        return SetStatus(DllExports::GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
    Matrix world;
    GetTransform(&world);
    world.Scale(sx, sy, order);
    return SetEngineWorld(world);
}

Status Graphics::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    StateChanged();
    if (order == MatrixOrderPrepend || !LayerShapesWorld() || !matrix)
        return SetStatus(DllExports::GdipMultiplyWorldTransform(nativeGraphics, NativeOf(matrix), order));
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    matrix->GetElements(m);
    Matrix world;
    GetTransform(&world);
    REAL w[6] = {1, 0, 0, 1, 0, 0};
    world.GetElements(w);
    // world × matrix, in GDI+'s row-vector convention.
    world.SetElements(w[0] * m[0] + w[1] * m[2], w[0] * m[1] + w[1] * m[3], w[2] * m[0] + w[3] * m[2],
                      w[2] * m[1] + w[3] * m[3], w[4] * m[0] + w[5] * m[2] + m[4], w[4] * m[1] + w[5] * m[3] + m[5]);
    return SetEngineWorld(world);
}

// Inside a container the engine's page stays in pixels and the layer applies the whole page.
REAL Graphics::EnginePageScale() const
{
    if (InContainer()) return PageFactor();
    return pageUnit == UnitPixel ? pageScale : 1.0f;
}

void Graphics::UpdatePixelPageScale()
{
    REAL wanted = EnginePageScale();
    if (wanted == appliedPageScale || !(wanted > 0.0f)) return;
    Matrix world;
    GetTransform(&world);
    appliedPageScale = wanted;
    SetEngineWorld(world);
}

// The engine keeps a clip set under a page unit in that unit: when the page changes, the clip is scaled so
// that it stays on the device pixels it was set on, as in GDI+.
void Graphics::KeepClipOnDevice(REAL before)
{
    const REAL after = EngineToDevice();
    if (before == after || !(before > 0) || !(after > 0) || Unclipped()) return;
    Matrix world, scale(before / after, 0, 0, before / after, 0, 0);
    Region clip;
    if (DllExports::GdipGetWorldTransform(nativeGraphics, world.NativeMatrix()) != Ok ||
        DllExports::GdipResetWorldTransform(nativeGraphics) != Ok)
        return;
    if (DllExports::GdipGetClip(nativeGraphics, clip.NativeRegion()) == Ok &&
        DllExports::GdipTransformRegion(clip.NativeRegion(), scale.NativeMatrix()) == Ok)
        DllExports::GdipSetClipRegion(nativeGraphics, clip.NativeRegion(), CombineModeReplace);
    DllExports::GdipSetWorldTransform(nativeGraphics, world.NativeMatrix());
}

Status Graphics::SetPageUnit(Unit unit)
{
    StateChanged();
    const REAL before = EngineToDevice();
    if (InContainer()) {
        if (unit < UnitDisplay || unit > UnitMillimeter) return SetStatus(InvalidParameter);
        pageUnit = unit;
        UpdatePixelPageScale();
        return SetStatus(Ok);
    }
    Status status = SetStatus(DllExports::GdipSetPageUnit(nativeGraphics, unit));
    if (status == Ok) {
        pageUnit = unit;
        UpdatePixelPageScale();
        KeepClipOnDevice(before);
        StateChanged();
    }
    return status;
}

Unit Graphics::GetPageUnit() const
{
    if (InContainer()) return pageUnit;
    Unit unit = UnitWorld;
    SetStatus(DllExports::GdipGetPageUnit(nativeGraphics, &unit));
    return unit;
}

Status Graphics::SetPageScale(REAL scale)
{
    StateChanged();
    if (InContainer()) {
        if (!(scale > 0.0f && scale <= 1e9f)) return SetStatus(InvalidParameter);
        pageScale = scale;
        UpdatePixelPageScale();
        return SetStatus(Ok);
    }
    const REAL before = EngineToDevice();
    Status status = SetStatus(DllExports::GdipSetPageScale(nativeGraphics, scale));
    if (status == Ok) {
        pageScale = scale;
        UpdatePixelPageScale();
        KeepClipOnDevice(before);
        StateChanged();
    }
    return status;
}

REAL Graphics::GetPageScale() const
{
    if (InContainer()) return pageScale;
    REAL scale = 0;
    SetStatus(DllExports::GdipGetPageScale(nativeGraphics, &scale));
    return scale;
}

REAL Graphics::GetDpiX() const
{
    REAL dpi = 0;
    SetStatus(DllExports::GdipGetDpiX(nativeGraphics, &dpi));
    return dpi;
}

REAL Graphics::GetDpiY() const
{
    REAL dpi = 0;
    SetStatus(DllExports::GdipGetDpiY(nativeGraphics, &dpi));
    return dpi;
}

Status Graphics::DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2)
{
    Status bands = Ok;
    if (DrawCompoundLine(*this, pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2), &bands)) return bands;
    const Point ends[] = {{x1, y1}, {x2, y2}};
    if (DrawLinesAntialiased(pen, ends, 2, false)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(ends, 2, 2), &answer))
        return SetStatus(answer);
    if (!EngineDrawsLineEnds(pen))
        return DrawLineWithEnds(pen, static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                                static_cast<REAL>(y2));
    return SetStatus(DllExports::GdipDrawLineI(nativeGraphics, NativeOf(pen), x1, y1, x2, y2));
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    Status bands = Ok;
    if (DrawCompoundLine(*this, pen, x1, y1, x2, y2, &bands)) return bands;
    const PointF ends[] = {{x1, y1}, {x2, y2}};
    if (DrawLinesAntialiased(pen, ends, 2, false)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(ends, 2, 2), &answer))
        return SetStatus(answer);
    if (!EngineDrawsLineEnds(pen)) return DrawLineWithEnds(pen, x1, y1, x2, y2);
    return SetStatus(DllExports::GdipDrawLine(nativeGraphics, NativeOf(pen), x1, y1, x2, y2));
}

Status Graphics::DrawLine(const Pen* pen, const Point& pt1, const Point& pt2)
{
    return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status Graphics::DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height)
{
    return DrawRectangle(pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status Graphics::DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    Status bands = Ok;
    if (DrawCompoundRectangle(*this, pen, RectF(x, y, width, height), &bands)) return bands;
    if (IsFlat(width, height) && !IsInset(pen)) {
        const PointF corners[] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
        return DrawPolygon(pen, corners, 4);
    }
    if (width >= 0 && height >= 0 &&
        DrawShapeAntialiased(pen, [&](GraphicsPath& shape) { return shape.AddRectangle(RectF(x, y, width, height)); }))
        return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), RectangleInput(x, y, width, height), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddRectangle(RectF(x, y, width, height)));
    }
    return SetStatus(DllExports::GdipDrawRectangle(nativeGraphics, NativeOf(pen), x, y, width, height));
}

Status Graphics::DrawRectangle(const Pen* pen, const Rect& rect)
{
    return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawRectangle(const Pen* pen, const RectF& rect)
{
    return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height)
{
    if (DrawEllipseAntialiased(pen, REAL(x), REAL(y), REAL(width), REAL(height))) return SetStatus(Ok);
    Status answer = Ok;
    if (DrawFlatEllipse(pen, REAL(x), REAL(y), REAL(width), REAL(height), &answer)) return answer;
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddEllipse(x, y, width, height));
    }
    return SetStatus(DllExports::GdipDrawEllipseI(nativeGraphics, NativeOf(pen), x, y, width, height));
}

Status Graphics::DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (DrawEllipseAntialiased(pen, x, y, width, height)) return SetStatus(Ok);
    Status answer = Ok;
    if (DrawFlatEllipse(pen, x, y, width, height, &answer)) return answer;
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddEllipse(x, y, width, height));
    }
    return SetStatus(DllExports::GdipDrawEllipse(nativeGraphics, NativeOf(pen), x, y, width, height));
}

// An ellipse with one side of no length folds onto that side: it is drawn as the line between its ends,
// with flat ends whatever the pen's caps (the outline is a closed figure), as the engine draws it. One
// with no area, or not a number, is answered without drawing. False when the ellipse is left to the engine.
bool Graphics::DrawFlatEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height, Status* answer)
{
    if (IsFlat(width, height) && Usable(pen) && FiniteBox(x, y, width, height)) {
        const std::unique_ptr<Pen> flat(pen->Clone());
        const PointF ends[] = {{x, y}, {x + width, y + height}};
        if (!flat || flat->SetLineCap(LineCapFlat, LineCapFlat, pen->GetDashCap()) != Ok ||
            !DrawLinesAntialiased(flat.get(), ends, 2, false))
            return false;
        *answer = SetStatus(Ok);
        return true;
    }
    if (!UndrawableShape(nativeGraphics != nullptr, Usable(pen), EllipseInput(x, y, width, height), answer))
        return false;
    *answer = SetStatus(*answer);
    return true;
}

Status Graphics::DrawPolygon(const Pen* pen, const Point* points, INT count)
{
    if (DrawLinesAntialiased(pen, points, count, true)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 2), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddPolygon(points, count));
    }
    return SetStatus(DllExports::GdipDrawPolygonI(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawPolygon(const Pen* pen, const PointF* points, INT count)
{
    if (DrawLinesAntialiased(pen, points, count, true)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PointsInput(points, count, 2), &answer))
        return SetStatus(answer);
    if (IsInset(pen)) {
        GraphicsPath outline;
        return DrawInset(pen, outline, outline.AddPolygon(points, count));
    }
    return SetStatus(DllExports::GdipDrawPolygon(nativeGraphics, NativeOf(pen), points, count));
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path)
{
    // GDI+ insets closed figures only; a path with open figures is drawn centred, as the engine does.
    if (DrawPathAntialiased(pen, path)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(pen), PathInput(path), &answer)) return SetStatus(answer);
    if (IsInset(pen) && path && path->AllFiguresClosed()) return DrawInset(pen, *path, Ok);
    return SetStatus(DllExports::GdipDrawPath(nativeGraphics, NativeOf(pen), NativeOf(path)));
}

namespace {

// GDI+ lays a hatch from the rendering origin in device pixels whatever the world transform; libgdiplus
// lays it in world units, so that it moves, turns and grows with the transform. The world transform, when
// a hatch is under one.
bool HatchUnderTransform(DllExports::GpGraphics* graphics, const Brush* brush, Matrix* world)
{
    return dynamic_cast<const HatchBrush*>(brush) &&
           DllExports::GdipGetWorldTransform(graphics, world->NativeMatrix()) == Ok && !world->IsIdentity();
}

}  // namespace

Status Graphics::FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height)
{
    if (FillGradientRectangle(brush, REAL(x), REAL(y), REAL(width), REAL(height))) return Ok;
    if (FillRectangleAntialiased(brush, REAL(x), REAL(y), REAL(width), REAL(height))) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush),
                        RectangleInput(REAL(x), REAL(y), REAL(width), REAL(height)), &answer))
        return SetStatus(answer);
    Matrix world;
    if (HatchUnderTransform(nativeGraphics, brush, &world))
        return FillRectangle(brush, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                             static_cast<REAL>(height));
    return SetStatus(DllExports::GdipFillRectangleI(nativeGraphics, NativeOf(brush), x, y, width, height));
}

// A hatch under a transform is filled over the area taken to device pixels, with no transform for the fill.
Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (FillGradientRectangle(brush, x, y, width, height)) return Ok;
    if (FillRectangleAntialiased(brush, x, y, width, height)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), RectangleInput(x, y, width, height), &answer))
        return SetStatus(answer);
    Matrix world;
    if (!HatchUnderTransform(nativeGraphics, brush, &world))
        return SetStatus(DllExports::GdipFillRectangle(nativeGraphics, NativeOf(brush), x, y, width, height));
    GraphicsPath area;
    area.AddRectangle(RectF(x, y, width, height));
    Status status = SetStatus(DllExports::GdipTransformPath(area.NativePath(), world.NativeMatrix()));
    if (status != Ok) return status;
    DllExports::GdipResetWorldTransform(nativeGraphics);
    status = FillNativePath(NativeOf(brush), area.NativePath());
    DllExports::GdipSetWorldTransform(nativeGraphics, world.NativeMatrix());
    return status;
}

Status Graphics::FillRectangle(const Brush* brush, const Rect& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillRectangle(const Brush* brush, const RectF& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height)
{
    if (FillEllipseAntialiased(brush, REAL(x), REAL(y), REAL(width), REAL(height))) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush),
                        EllipseInput(REAL(x), REAL(y), REAL(width), REAL(height)), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipFillEllipseI(nativeGraphics, NativeOf(brush), x, y, width, height));
}

Status Graphics::FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (FillEllipseAntialiased(brush, x, y, width, height)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), EllipseInput(x, y, width, height), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipFillEllipse(nativeGraphics, NativeOf(brush), x, y, width, height));
}

Status Graphics::FillPolygon(const Brush* brush, const Point* points, INT count, FillMode fillMode)
{
    if (points && count >= 3) {
        std::vector<PointF> corners;
        for (INT i = 0; i < count; ++i) corners.emplace_back(REAL(points[i].X), REAL(points[i].Y));
        if (FillPolygonAntialiased(brush, corners.data(), count, fillMode)) return SetStatus(Ok);
    }
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), AreaInput(points, count), &answer))
        return SetStatus(answer);
    return SetStatus(DllExports::GdipFillPolygonI(nativeGraphics, NativeOf(brush), points, count, fillMode));
}

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path)
{
    if (FillPathAntialiased(brush, path)) return SetStatus(Ok);
    Status answer = Ok;
    if (UndrawableShape(nativeGraphics != nullptr, Usable(brush), PathInput(path), &answer)) return SetStatus(answer);
    return FillNativePath(NativeOf(brush), NativeOf(path));
}

Status Graphics::FillNativePath(DllExports::GpBrush* brush, DllExports::GpPath* path)
{
    ClearEngineDash(nativeGraphics);
    return SetStatus(DllExports::GdipFillPath(nativeGraphics, brush, path));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin, const Brush* brush)
{
    return DrawString(string, length, font, origin, nullptr, brush);
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                            const StringFormat* format, const Brush* brush)
{
    RectF layout(origin.X, origin.Y, 0.0f, 0.0f);
    return DrawString(string, length, font, layout, format, brush);
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                            const StringFormat* format, const Brush* brush)
{
    if (!surface) return SetStatus(InvalidParameter);
    return SetStatus(DrawStringByLayer(string, length, font, layoutRect, format, brush));
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                               const StringFormat* format, RectF* boundingBox) const
{
    RectF layout(origin.X, origin.Y, 0.0f, 0.0f);
    return MeasureString(string, length, font, layout, format, boundingBox);
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                               RectF* boundingBox) const
{
    return MeasureString(string, length, font, origin, nullptr, boundingBox);
}

namespace {

// How many page units one inch is, for the units a page can have; 0 for a unit measured in pixels.
REAL UnitsPerInch(Unit unit)
{
    switch (unit) {
    case UnitPoint: return 72.0f;
    case UnitInch: return 1.0f;
    case UnitDocument: return 300.0f;
    case UnitMillimeter: return 25.4f;
    default: return 0.0f;
    }
}

}  // namespace

// GDI+ draws an image, or a part of it, at a point at its physical size: its pixels over its resolution,
// in inches, shown at the device's resolution. libgdiplus draws it at its pixel size whatever the
// resolutions. False when a resolution is unknown.
bool Graphics::PhysicalSize(Image* image, REAL pixelsWide, REAL pixelsHigh, REAL* width, REAL* height) const
{
    REAL imageDpiX = 0, imageDpiY = 0, deviceDpiX = 0, deviceDpiY = 0;
    DllExports::GdipGetImageHorizontalResolution(image->NativeImage(), &imageDpiX);
    DllExports::GdipGetImageVerticalResolution(image->NativeImage(), &imageDpiY);
    DllExports::GdipGetDpiX(nativeGraphics, &deviceDpiX);
    DllExports::GdipGetDpiY(nativeGraphics, &deviceDpiY);
    if (!(imageDpiX > 0 && imageDpiY > 0 && deviceDpiX > 0 && deviceDpiY > 0)) return false;
    const REAL perInch = UnitsPerInch(pageUnit);
    *width = pixelsWide / imageDpiX * (perInch > 0 ? perInch : deviceDpiX);
    *height = pixelsHigh / imageDpiY * (perInch > 0 ? perInch : deviceDpiY);
    return true;
}

Status Graphics::DrawImage(Image* image, REAL x, REAL y)
{
    REAL width = 0, height = 0;
    if (!image || !PhysicalSize(image, static_cast<REAL>(image->GetWidth()), static_cast<REAL>(image->GetHeight()),
                                &width, &height))
        return SetStatus(DllExports::GdipDrawImage(nativeGraphics, NativeOf(image), x, y));
    return DrawImage(image, x, y, width, height);
}

Status Graphics::DrawImage(Image* image, INT x, INT y)
{
    return DrawImage(image, static_cast<REAL>(x), static_cast<REAL>(y));
}

Status Graphics::DrawImage(Image* image, const Point& point) { return DrawImage(image, point.X, point.Y); }

Status Graphics::DrawImage(Image* image, INT x, INT y, INT width, INT height)
{
    if (image && DrawImageItself(image, RectF(REAL(x), REAL(y), REAL(width), REAL(height)), 0, 0,
                                 REAL(image->GetWidth()), REAL(image->GetHeight())))
        return SetStatus(Ok);
    return SetStatus(DllExports::GdipDrawImageRectI(nativeGraphics, NativeOf(image), x, y, width, height));
}

Status Graphics::DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height)
{
    if (image && DrawImageItself(image, RectF(x, y, width, height), 0, 0, REAL(image->GetWidth()),
                                 REAL(image->GetHeight())))
        return SetStatus(Ok);
    return SetStatus(DllExports::GdipDrawImageRect(nativeGraphics, NativeOf(image), x, y, width, height));
}

Status Graphics::DrawImage(Image* image, const Rect& rect)
{
    return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawImage(Image* image, const RectF& rect)
{
    return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawImage(Image* image, INT x, INT y, INT srcx, INT srcy, INT srcwidth, INT srcheight, Unit srcUnit)
{
    return DrawImage(image, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(srcx),
                     static_cast<REAL>(srcy), static_cast<REAL>(srcwidth), static_cast<REAL>(srcheight), srcUnit);
}

namespace {

// A length converted to pixels, taken as the whole number of pixels within float rounding of it: 12 mm at
// 192 dpi is 90.70866 pixels, but 47.99999 pixels converted from millimetres and back are 48.
REAL ConvertedToPixels(REAL value, REAL pixelsPerUnit)
{
    const REAL pixels = value * pixelsPerUnit;
    const REAL whole = std::round(pixels);
    return std::fabs(pixels - whole) <= 1e-5f * std::max(1.0f, std::fabs(whole)) ? whole : pixels;
}

// A source rectangle in other units than pixels, in the picture's pixels by its resolution. A display unit
// of a picture is one of its pixels; world units have no size in a picture.
Status SourceInPixels(Image* image, Unit unit, REAL* x, REAL* y, REAL* width, REAL* height)
{
    if (unit == UnitPixel || unit == UnitDisplay) return Ok;
    const REAL perInch = UnitsPerInch(unit);
    const REAL dpiX = image->GetHorizontalResolution(), dpiY = image->GetVerticalResolution();
    if (!(perInch > 0) || !(dpiX > 0 && dpiY > 0)) return InvalidParameter;
    *x = ConvertedToPixels(*x, dpiX / perInch);
    *width = ConvertedToPixels(*width, dpiX / perInch);
    *y = ConvertedToPixels(*y, dpiY / perInch);
    *height = ConvertedToPixels(*height, dpiY / perInch);
    return Ok;
}

}  // namespace

Status Graphics::DrawImage(Image* image, REAL x, REAL y, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight,
                           Unit srcUnit)
{
    REAL width = 0, height = 0;
    if (!image || image->GetType() == ImageTypeMetafile)
        return SetStatus(DllExports::GdipDrawImagePointRect(nativeGraphics, NativeOf(image), x, y, srcx, srcy,
                                                            srcwidth, srcheight, srcUnit));
    const Status converted = SourceInPixels(image, srcUnit, &srcx, &srcy, &srcwidth, &srcheight);
    if (converted != Ok) return SetStatus(converted);
    if (!PhysicalSize(image, srcwidth, srcheight, &width, &height))
        return SetStatus(DllExports::GdipDrawImagePointRect(nativeGraphics, NativeOf(image), x, y, srcx, srcy, srcwidth,
                                                            srcheight, UnitPixel));
    return DrawImage(image, RectF(x, y, width, height), srcx, srcy, srcwidth, srcheight, UnitPixel);
}

namespace {

// A picture's pixels as the adjusting stage reads them: its own 32-bit pixels where it has them, else a
// straight copy.
class PictureSource {
public:
    explicit PictureSource(Image* image) : view(image->NativeImage(), ViewedFormats::Any)
    {
        if (view.Valid()) {
            rows.scan0 = view.Row(0);
            rows.strideWords = view.Height() > 1 ? view.Row(1) - view.Row(0) : 0;
            rows.width = view.Width();
            rows.height = view.Height();
            rows.kind =
                view.Opaque() ? PixelKind::Opaque : (view.Straight() ? PixelKind::Straight : PixelKind::Premultiplied);
        } else if (image->GetType() == ImageTypeBitmap) {
            Copy(static_cast<Bitmap*>(image));
        }
    }

    bool Valid() const { return rows.scan0 != nullptr; }
    const PictureRows& Rows() const { return rows; }

private:
    void Copy(Bitmap* bitmap)
    {
        const INT width = INT(bitmap->GetWidth()), height = INT(bitmap->GetHeight());
        if (width <= 0 || height <= 0 || int64_t(width) * height > (int64_t(1) << 26)) return;
        copy.resize(size_t(width) * size_t(height));
        BitmapData data{};
        data.Width = UINT(width);
        data.Height = UINT(height);
        data.Stride = width * 4;
        data.PixelFormat = PixelFormat32bppARGB;
        data.Scan0 = copy.data();
        const Rect whole(0, 0, width, height);
        if (bitmap->LockBits(&whole, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data) != Ok)
            return;
        bitmap->UnlockBits(&data);
        rows = PictureRows{copy.data(), width, width, height, PixelKind::Straight};
    }

    PixelView view;
    std::vector<uint32_t> copy;
    PictureRows rows;
};

// The picture pixels to adjust for a source rectangle: the whole picture when the rectangle lies inside it
// and covers much of it, else the rectangle widened by what the drawing routes may sample around it (a
// pixel or two, more when shrinking), kept inside the picture when the rectangle is.
Rect AreaToAdjust(INT pictureWidth, INT pictureHeight, const RectF& dest, const RectF& source)
{
    const double left = std::min(source.X, source.X + source.Width),
                 right = std::max(source.X, source.X + source.Width);
    const double top = std::min(source.Y, source.Y + source.Height),
                 bottom = std::max(source.Y, source.Y + source.Height);
    const bool inside = left >= 0 && top >= 0 && right <= pictureWidth && bottom <= pictureHeight;
    const double shrink = std::max(std::fabs(source.Width / dest.Width), std::fabs(source.Height / dest.Height));
    const INT margin = 2 + INT(std::ceil(std::min(shrink >= 0 ? shrink : 0.0, 64.0)));
    const double areaWide = right - left + 2 * margin, areaHigh = bottom - top + 2 * margin;
    const double pictureArea = double(pictureWidth) * pictureHeight;
    if (inside && (pictureArea <= 65536 || pictureArea <= 4 * areaWide * areaHigh))
        return Rect(0, 0, pictureWidth, pictureHeight);
    INT x0 = INT(std::floor(left)) - margin, y0 = INT(std::floor(top)) - margin;
    INT x1 = INT(std::ceil(right)) + margin, y1 = INT(std::ceil(bottom)) + margin;
    if (inside) {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, pictureWidth);
        y1 = std::min(y1, pictureHeight);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

// The adjusted pixels of the area as a bitmap of their own; its status tells whether it could be made.
std::unique_ptr<Bitmap> AdjustedBitmap(Image* image, const Rect& area, const ImageAdjustments& adjustments)
{
    AdjustedPicture adjusted;
    {
        // The picture stays locked only while it is read.
        const PictureSource picture(image);
        if (!picture.Valid() || !AdjustPictureArea(picture.Rows(), area, adjustments, &adjusted)) return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>(adjusted.width, adjusted.height, adjusted.format);
    if (bitmap->GetLastStatus() != Ok) return nullptr;
    const PixelView view(bitmap->NativeImage(), ViewedFormats::Any);
    if (!view.Valid()) return nullptr;
    for (INT y = 0; y < adjusted.height; ++y)
        std::copy_n(adjusted.pixels.data() + size_t(y) * size_t(adjusted.width), adjusted.width, view.Row(y));
    return bitmap;
}

// Draws the picture with its colours adjusted: the adjusting stage makes a picture of the adjusted pixels,
// which is then drawn as any picture without attributes is. Pictures the adjustments leave as they are, with
// a source inside them, are drawn directly.
Status DrawImageAdjusted(Graphics& graphics, Image* image, const RectF& dest, const RectF& source,
                         const ImageAdjustments& adjustments, DrawImageAbort callback, void* callbackData)
{
    const INT width = INT(image->GetWidth()), height = INT(image->GetHeight());
    const Rect area = AreaToAdjust(width, height, dest, source);
    const bool inside = area.X >= 0 && area.Y >= 0 && area.X + area.Width <= width && area.Y + area.Height <= height;
    if (inside && adjustments.ForBitmaps().ChangesNothing())
        return graphics.DrawImage(image, dest, source.X, source.Y, source.Width, source.Height, UnitPixel, nullptr,
                                  callback, callbackData);
    if (area.Width <= 0 || area.Height <= 0) return Ok;
    const std::unique_ptr<Bitmap> bitmap = AdjustedBitmap(image, area, adjustments);
    if (!bitmap) return OutOfMemory;
    bitmap->SetResolution(image->GetHorizontalResolution(), image->GetVerticalResolution());
    return graphics.DrawImage(bitmap.get(), dest, source.X - area.X, source.Y - area.Y, source.Width, source.Height,
                              UnitPixel, nullptr, callback, callbackData);
}

// libgdiplus aborts the process (a failed assertion) when a scaled draw puts its cairo context into an
// error state, which rectangles beyond cairo's 24-bit coordinate range do. Such draws are refused.
bool WithinEngineRange(double x, double y, double width, double height)
{
    const double limit = 8388607.0;  // 2^23 - 1
    for (double value : {x, y, width, height, x + width, y + height})
        if (!(value >= -limit && value <= limit)) return false;
    return true;
}

}  // namespace

Status Graphics::DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                           Unit srcUnit, const ImageAttributes* imageAttributes, DrawImageAbort callback,
                           void* callbackData)
{
    const RectF dest(static_cast<REAL>(destRect.X), static_cast<REAL>(destRect.Y), static_cast<REAL>(destRect.Width),
                     static_cast<REAL>(destRect.Height));
    return DrawImage(image, dest, static_cast<REAL>(srcx), static_cast<REAL>(srcy), static_cast<REAL>(srcwidth),
                     static_cast<REAL>(srcheight), srcUnit, imageAttributes, callback, callbackData);
}

Status Graphics::DrawImage(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight,
                           Unit srcUnit, const ImageAttributes* imageAttributes, DrawImageAbort callback,
                           void* callbackData)
{
    if (!WithinEngineRange(destRect.X, destRect.Y, destRect.Width, destRect.Height) ||
        !WithinEngineRange(srcx, srcy, srcwidth, srcheight))
        return SetStatus(ValueOverflow);
    // The engine plays metafiles, with their attributes and units.
    if (image && image->GetType() == ImageTypeMetafile) {
        if (srcUnit == UnitPixel && !imageAttributes)
            return DrawMetafilePart(image, destRect, srcx, srcy, srcwidth, srcheight);
        return SetStatus(DllExports::GdipDrawImageRectRect(
            nativeGraphics, NativeOf(image), destRect.X, destRect.Y, destRect.Width, destRect.Height, srcx, srcy,
            srcwidth, srcheight, srcUnit, NativeOf(imageAttributes), callback, callbackData));
    }
    if (image) {
        const Status converted = SourceInPixels(image, srcUnit, &srcx, &srcy, &srcwidth, &srcheight);
        if (converted != Ok) return SetStatus(converted);
        if (!WithinEngineRange(srcx, srcy, srcwidth, srcheight)) return SetStatus(ValueOverflow);
    }
    if (image && imageAttributes) {
        const ImageAdjustments* adjustments = imageAttributes->Adjustments();
        if (!adjustments) return SetStatus(InvalidParameter);
        return SetStatus(DrawImageAdjusted(*this, image, destRect, RectF(srcx, srcy, srcwidth, srcheight), *adjustments,
                                           callback, callbackData));
    }
    if (DrawImageItself(image, destRect, srcx, srcy, srcwidth, srcheight)) return SetStatus(Ok);
    if (ScalesOneAxisOnly(destRect, srcwidth, srcheight))
        return DrawImageThroughScale(image, destRect, srcx, srcy, srcwidth, srcheight, callback, callbackData);
    return SetStatus(DllExports::GdipDrawImageRectRect(nativeGraphics, NativeOf(image), destRect.X, destRect.Y,
                                                       destRect.Width, destRect.Height, srcx, srcy, srcwidth, srcheight,
                                                       UnitPixel, nullptr, callback, callbackData));
}

// libgdiplus skips the scaling of a rectangle-to-rectangle draw when either side keeps its size, so a
// picture stretched in one direction only comes out unscaled; GDI+ scales each direction on its own.
bool Graphics::ScalesOneAxisOnly(const RectF& destRect, REAL srcwidth, REAL srcheight)
{
    auto same = [](REAL a, REAL b) { return std::fabs(a - b) <= 0.00059604645f; };  // the engine's "near zero"
    return same(destRect.Width, srcwidth) != same(destRect.Height, srcheight);
}

// The scale goes into the world transform for the one draw, which then keeps the source's size.
Status Graphics::DrawImageThroughScale(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                                       REAL srcheight, DrawImageAbort callback, void* callbackData)
{
    if (srcwidth == 0 || srcheight == 0 || destRect.Width == 0 || destRect.Height == 0) return Ok;
    Matrix saved;
    Status status = SetStatus(DllExports::GdipGetWorldTransform(nativeGraphics, saved.NativeMatrix()));
    if (status != Ok) return status;
    DllExports::GdipTranslateWorldTransform(nativeGraphics, destRect.X, destRect.Y, MatrixOrderPrepend);
    DllExports::GdipScaleWorldTransform(nativeGraphics, destRect.Width / srcwidth, destRect.Height / srcheight,
                                        MatrixOrderPrepend);
    status = SetStatus(DllExports::GdipDrawImageRectRect(nativeGraphics, NativeOf(image), 0, 0, srcwidth, srcheight,
                                                         srcx, srcy, srcwidth, srcheight, UnitPixel, nullptr, callback,
                                                         callbackData));
    DllExports::GdipSetWorldTransform(nativeGraphics, saved.NativeMatrix());
    return status;
}

// libgdiplus answers NotImplemented to a metafile drawn from a source rectangle. The whole picture is played
// instead, placed and scaled so that the source rectangle lands on the destination, and clipped to it.
Status Graphics::DrawMetafilePart(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                                  REAL srcheight)
{
    if (srcwidth == 0 || srcheight == 0 || destRect.Width == 0 || destRect.Height == 0) return Ok;
    GraphicsState state = 0;
    Status status = DllExports::GdipSaveGraphics(nativeGraphics, &state);
    if (status != Ok) return SetStatus(status);
    DllExports::GdipTranslateWorldTransform(nativeGraphics, destRect.X, destRect.Y, MatrixOrderPrepend);
    DllExports::GdipScaleWorldTransform(nativeGraphics, destRect.Width / srcwidth, destRect.Height / srcheight,
                                        MatrixOrderPrepend);
    DllExports::GdipTranslateWorldTransform(nativeGraphics, -srcx, -srcy, MatrixOrderPrepend);
    status =
        DllExports::GdipSetClipRect(nativeGraphics, std::min(srcx, srcx + srcwidth), std::min(srcy, srcy + srcheight),
                                    std::fabs(srcwidth), std::fabs(srcheight), CombineModeIntersect);
    if (status == Ok)
        status = DllExports::GdipDrawImageRect(nativeGraphics, image->NativeImage(), 0, 0, REAL(image->GetWidth()),
                                               REAL(image->GetHeight()));
    DllExports::GdipRestoreGraphics(nativeGraphics, state);
    return SetStatus(status);
}

bool Graphics::DrawsPixelForPixel() const
{
    if (!surface || !nativeGraphics) return false;
    if (pageUnit != UnitPixel && !(pageUnit == UnitDisplay && pageScale == 1.0f)) return false;
    const LayerState& state = State();
    const REAL* m = state.world;
    return state.unclipped && m[0] == 1.0f && m[1] == 0.0f && m[2] == 0.0f && m[3] == 1.0f && m[4] == 0.0f &&
           m[5] == 0.0f;
}

namespace {

// A rectangle of whole pixels lying inside a width x height bitmap, from floats that must be exact.
bool WholePixels(REAL x, REAL y, REAL width, REAL height, INT boundWidth, INT boundHeight, Rect* out)
{
    if (!(x >= 0 && y >= 0 && width >= 1 && height >= 1 && x + width <= boundWidth && y + height <= boundHeight))
        return false;
    *out = Rect(INT(x), INT(y), INT(width), INT(height));
    return out->X == x && out->Y == y && out->Width == width && out->Height == height;
}

}  // namespace

bool Graphics::DrawScaledDown(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight)
{
    // Pictures drawn as they are go to the general route; so do enlarged ones, unless nearest neighbour is asked
    // for.
    if (destRect.Width == srcwidth && destRect.Height == srcheight) return false;
    const InterpolationMode mode = State().interpolation;
    const bool nearest = mode == InterpolationModeNearestNeighbor;
    if (!nearest && !(destRect.Width <= srcwidth && destRect.Height <= srcheight)) return false;
    // World units must be device pixels, up to a move by whole pixels (the pixel offset mode is not applied here).
    DeviceMap world;
    if (!image || image->NativeImage() == surface.get() || !LayerDeviceMap(&world, true)) return false;
    const PixelOffsetMode offset = State().pixelOffset;
    const double half = offset == PixelOffsetModeHalf || offset == PixelOffsetModeHighQuality ? 0.5 : 0.0;
    const double moveX = world.dx + half, moveY = world.dy + half;
    if (world.m11 != 1 || world.m22 != 1 || world.m12 != 0 || world.m21 != 0 || moveX != std::floor(moveX) ||
        moveY != std::floor(moveY))
        return false;
    // Averaging by area takes premultiplied and opaque pixels (32bppARGB only with nearest neighbour).
    if (!nearest && image->GetPixelFormat() == PixelFormat32bppARGB) return false;
    const PixelView source(image->NativeImage(), ViewedFormats::Any);
    if (!source.Valid()) return false;
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    if (!target.Valid()) return false;
    Rect from, to;
    if (!WholePixels(srcx, srcy, srcwidth, srcheight, source.Width(), source.Height(), &from) ||
        !WholePixels(REAL(destRect.X + moveX), REAL(destRect.Y + moveY), destRect.Width, destRect.Height,
                     target.Width(), target.Height(), &to))
        return false;
    DeviceClip clip;
    if (!ReadDeviceClip(&clip, target)) return false;
    const bool sourceCopy = compositingMode == CompositingModeSourceCopy;
    if (nearest)
        ScaleNearest(source, from, target, to, sourceCopy, Unclipped() ? nullptr : &clip);
    else
        ScaleDownByArea(source, from, target, to, sourceCopy, Unclipped() ? nullptr : &clip);
    return true;
}

namespace {

// Whether the layer's routes read the bitmap's own pixels: its 32-bit formats, and 24bppRGB's 32-bit cells.
bool ViewedInPlace(Image* image)
{
    const PixelFormat format = image->GetPixelFormat();
    return format == PixelFormat32bppPARGB || format == PixelFormat32bppARGB || format == PixelFormat32bppRGB ||
           format == PixelFormat24bppRGB;
}

// A clone of the engine bitmap behind a picture held as an Image (a GIF or a palette PNG a canvas loads),
// owned as a Bitmap so that it is read through the layer's own locks.
class ClonedBitmap : public Bitmap {
public:
    explicit ClonedBitmap(DllExports::GpImage* clone)
        : Bitmap(reinterpret_cast<DllExports::GpBitmap*>(clone), clone ? Ok : OutOfMemory)
    {
    }
};

// A 32bppPARGB copy of a bitmap of another format (indexed, 16-bit, 48- or 64-bit); null when it cannot be
// made.
std::unique_ptr<Bitmap> PremultipliedCopy(Image* image)
{
    if (image->GetType() != ImageTypeBitmap) return nullptr;
    const INT width = INT(image->GetWidth()), height = INT(image->GetHeight());
    if (width <= 0 || height <= 0 || int64_t(width) * height > (int64_t(1) << 26)) return nullptr;
    Bitmap* bitmap = dynamic_cast<Bitmap*>(image);
    std::unique_ptr<Bitmap> cloned;
    if (!bitmap) {
        DllExports::GpImage* clone = nullptr;
        if (DllExports::GdipCloneImage(image->NativeImage(), &clone) != Ok || !clone) return nullptr;
        cloned = std::make_unique<ClonedBitmap>(clone);
        bitmap = cloned.get();
    }
    auto copy = std::make_unique<Bitmap>(width, height, PixelFormat32bppPARGB);
    if (copy->GetLastStatus() != Ok) return nullptr;
    const PixelView pixels(copy->NativeImage(), ViewedFormats::Premultiplied);
    if (!pixels.Valid()) return nullptr;
    BitmapData data{};
    data.Width = UINT(width);
    data.Height = UINT(height);
    data.Stride = height > 1 ? INT(reinterpret_cast<BYTE*>(pixels.Row(1)) - reinterpret_cast<BYTE*>(pixels.Row(0)))
                             : width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels.Row(0);
    const Rect whole(0, 0, width, height);
    if (bitmap->LockBits(&whole, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppPARGB, &data) != Ok)
        return nullptr;
    bitmap->UnlockBits(&data);
    return copy;
}

}  // namespace

bool Graphics::DrawImageItself(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                               REAL srcheight)
{
    if (!image || image->NativeImage() == surface.get()) return false;
    // Pictures of other formats take the same routes through a copy in 32bppPARGB, made once for the draw.
    std::unique_ptr<Bitmap> copy;
    if (!ViewedInPlace(image)) {
        copy = PremultipliedCopy(image);
        if (!copy) return false;
        image = copy.get();
    }
    return DrawScaledDown(image, destRect, srcx, srcy, srcwidth, srcheight) ||
           DrawImageSampled(image, destRect, srcx, srcy, srcwidth, srcheight);
}

bool Graphics::DrawImageSampled(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                                REAL srcheight)
{
    DeviceMap world;
    if (!image || image->NativeImage() == surface.get() || !LayerDeviceMap(&world, true)) return false;
    const InterpolationMode mode = State().interpolation;
    // GDI+'s default and low quality are bilinear; its high quality is bicubic.
    const bool nearest = mode == InterpolationModeNearestNeighbor;
    const bool bicubic = mode == InterpolationModeBicubic || mode == InterpolationModeHighQualityBicubic ||
                         mode == InterpolationModeHighQuality;
    if (!nearest && !bicubic && mode != InterpolationModeBilinear && mode != InterpolationModeHighQualityBilinear &&
        mode != InterpolationModeDefault && mode != InterpolationModeLowQuality)
        return false;
    if (!(srcwidth > 0 && srcheight > 0)) return false;
    // Picture pixels to world units (the destination rectangle), then to the device.
    const double sx = destRect.Width / srcwidth, sy = destRect.Height / srcheight;
    const double ox = destRect.X - srcx * sx, oy = destRect.Y - srcy * sy;
    const DeviceMap toDevice{sx * world.m11, sx * world.m12, sy * world.m21, sy * world.m22,
                             ox * world.m11 + oy * world.m21 + world.dx, ox * world.m12 + oy * world.m22 + world.dy};
    const PixelView source(image->NativeImage(), ViewedFormats::Any);
    const PixelView target(surface.get(), ViewedFormats::Drawn);
    DeviceClip clip;
    if (!source.Valid() || !target.Valid() || !ReadDeviceClip(&clip, target)) return false;
    const ImageSampling sampling =
        nearest ? ImageSampling::Nearest : (bicubic ? ImageSampling::Bicubic : ImageSampling::Bilinear);
    // The source rectangle as given: of fractional pixels, or reaching past the picture.
    return DrawImageMapped(target, source, RectF(srcx, srcy, srcwidth, srcheight), toDevice, sampling,
                           compositingMode == CompositingModeSourceCopy, Unclipped() ? nullptr : &clip);
}

HDC Graphics::GetHDC()
{
    HDC hdc = nullptr;
    if (SetStatus(DllExports::GdipGetDC(nativeGraphics, &hdc)) == Ok) RegisterDeviceContext(hdc, this, surface);
    return hdc;
}

void Graphics::ReleaseHDC(HDC hdc)
{
    if (SetStatus(DllExports::GdipReleaseDC(nativeGraphics, hdc)) == Ok) RetireDeviceContext(hdc);
}

}  // namespace Gdiplus
