// Inset pens: GDI+ draws an inset pen's whole width inside a closed outline; libgdiplus ignores the
// alignment and centres the stroke on the outline. The layer strokes the outline at twice the width,
// centred, with drawing clipped to the shape's inside: what remains is the inset stroke.
#include <memory>
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

struct PenDeleter {
    void operator()(DllExports::GpPen* pen) const { DllExports::GdipDeletePen(pen); }
};
using EnginePen = std::unique_ptr<DllExports::GpPen, PenDeleter>;

// The same pen, centred and twice as wide. Dash lengths count in pen widths, so they are halved to
// keep their length on the surface.
EnginePen DoubleWidthCentredCopy(const Pen& pen)
{
    DllExports::GpPen* raw = nullptr;
    if (DllExports::GdipClonePen(pen.NativePen(), &raw) != Ok) return nullptr;
    EnginePen copy(raw);
    DllExports::GdipSetPenWidth(raw, 2.0f * pen.GetWidth());
    DllExports::GdipSetPenMode(raw, PenAlignmentCenter);
    INT dashCount = 0;
    if (DllExports::GdipGetPenDashCount(raw, &dashCount) == Ok && dashCount > 0) {
        std::vector<REAL> dashes(static_cast<size_t>(dashCount));
        if (DllExports::GdipGetPenDashArray(raw, dashes.data(), dashCount) == Ok) {
            for (REAL& length : dashes) length *= 0.5f;
            DllExports::GdipSetPenDashArray(raw, dashes.data(), dashCount);
        }
    }
    return copy;
}

}  // namespace

bool Graphics::IsInset(const Pen* pen)
{
    return pen && pen->NativePen() && pen->GetAlignment() == PenAlignmentInset;
}

Status Graphics::DrawInset(const Pen* pen, const GraphicsPath& outline, Status built)
{
    if (built != Ok) return SetStatus(built);
    EnginePen wide = DoubleWidthCentredCopy(*pen);
    if (!wide) return SetStatus(OutOfMemory);
    GraphicsState state = 0;
    Status status = DllExports::GdipSaveGraphics(nativeGraphics, &state);
    if (status != Ok) return SetStatus(status);
    status = DllExports::GdipSetClipPath(nativeGraphics, outline.NativePath(), CombineModeIntersect);
    if (status == Ok) status = DllExports::GdipDrawPath(nativeGraphics, wide.get(), outline.NativePath());
    DllExports::GdipRestoreGraphics(nativeGraphics, state);
    return SetStatus(status);
}

}  // namespace Gdiplus
