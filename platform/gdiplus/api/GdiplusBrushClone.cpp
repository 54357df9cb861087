// Copies of brushes: the engine's object cloned, and what the layer keeps of each kind (its definition)
// copied with it, so that a pen can keep the brush it was given (Pen::StrokeBrush).
#include <memory>

#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

// The copy with the engine's clone in it, or null when cloning fails.
template <class Kind> Brush* Finished(std::unique_ptr<Kind> copy, bool cloned)
{
    return cloned ? copy.release() : nullptr;
}

}  // namespace

bool Brush::CopyNativeTo(Brush* copy) const
{
    DllExports::GpBrush* clone = nullptr;
    if (SetStatus(DllExports::GdipCloneBrush(nativeBrush, &clone)) != Ok || !clone) return false;
    copy->nativeBrush = clone;
    return true;
}

Brush* Brush::Clone() const
{
    std::unique_ptr<Brush> copy(new Brush());
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

Brush* SolidBrush::Clone() const
{
    std::unique_ptr<SolidBrush> copy(new SolidBrush());
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

Brush* HatchBrush::Clone() const
{
    std::unique_ptr<HatchBrush> copy(new HatchBrush());
    copy->hatch = hatch;
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

Brush* LinearGradientBrush::Clone() const
{
    std::unique_ptr<LinearGradientBrush> copy(new LinearGradientBrush());
    copy->line = line;
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

Brush* TextureBrush::Clone() const
{
    std::unique_ptr<TextureBrush> copy(new TextureBrush());
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

Brush* PathGradientBrush::Clone() const
{
    std::unique_ptr<PathGradientBrush> copy(new PathGradientBrush());
    copy->outline = outline;
    const bool cloned = CopyNativeTo(copy.get());
    return Finished(std::move(copy), cloned);
}

}  // namespace Gdiplus
