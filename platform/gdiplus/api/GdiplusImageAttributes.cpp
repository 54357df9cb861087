// ImageAttributes: the layer keeps its own record of every setting (pipeline/ImageAdjust.h), which the layer
// draws with; the engine's object is kept in step for the metafiles the engine plays.
#include <cmath>
#include <new>

#include "../Gdiplus.h"
#include "../pipeline/ImageAdjust.h"

namespace Gdiplus {

namespace {

const ColorMatrix kIdentity = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};

// GDI+'s checks of a colour matrix call: a matrix, a known flag, and a grey matrix for AltGray.
Status CheckMatrices(const ColorMatrix* colour, const ColorMatrix* grey, ColorMatrixFlags flags)
{
    if (!colour) return InvalidParameter;
    if (flags != ColorMatrixFlagsDefault && flags != ColorMatrixFlagsSkipGrays && flags != ColorMatrixFlagsAltGray)
        return InvalidParameter;
    return flags == ColorMatrixFlagsAltGray && !grey ? InvalidParameter : Ok;
}

// The map from old to new colour; the first entry of a colour wins. Null when it cannot be held.
std::shared_ptr<const std::unordered_map<ARGB, ARGB>> RemapOf(UINT size, const ColorMap* map)
{
    try {
        auto table = std::make_shared<std::unordered_map<ARGB, ARGB>>();
        table->reserve(size);
        for (UINT i = 0; i < size; ++i) table->emplace(map[i].oldColor.GetValue(), map[i].newColor.GetValue());
        return table;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

ImageAttributes::ImageAttributes() : adjustments(new (std::nothrow) ImageAdjustments())
{
    SetStatus(adjustments ? DllExports::GdipCreateImageAttributes(&nativeAttributes) : OutOfMemory);
}

ImageAttributes::~ImageAttributes()
{
    if (nativeAttributes) DllExports::GdipDisposeImageAttributes(nativeAttributes);
}

ImageAttributes* ImageAttributes::Clone() const
{
    DllExports::GpImageAttributes* copy = nullptr;
    if (!adjustments || SetStatus(DllExports::GdipCloneImageAttributes(nativeAttributes, &copy)) != Ok) return nullptr;
    auto* attributes = new ImageAttributes();
    if (!attributes || !attributes->adjustments) {
        DllExports::GdipDisposeImageAttributes(copy);
        delete attributes;
        SetStatus(OutOfMemory);
        return nullptr;
    }
    if (attributes->nativeAttributes) DllExports::GdipDisposeImageAttributes(attributes->nativeAttributes);
    attributes->nativeAttributes = copy;
    *attributes->adjustments = *adjustments;
    attributes->lastResult = Ok;
    return attributes;
}

Status ImageAttributes::Record(ColorAdjustType type, Status check, const std::function<void(ColorAdjustments&)>& change)
{
    if (!adjustments || !nativeAttributes) return SetStatus(OutOfMemory);
    if (type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount) return SetStatus(InvalidParameter);
    if (check != Ok) return SetStatus(check);
    change(adjustments->kinds[type]);
    return SetStatus(Ok);
}

Status ImageAttributes::SetColorMatrix(const ColorMatrix* colorMatrix, ColorMatrixFlags mode, ColorAdjustType type)
{
    return SetColorMatrices(colorMatrix, nullptr, mode, type);
}

Status ImageAttributes::SetColorMatrices(const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                                         ColorMatrixFlags mode, ColorAdjustType type)
{
    const Status status = Record(type, CheckMatrices(colorMatrix, grayMatrix, mode), [&](ColorAdjustments& kind) {
        kind.matrixOn = true;
        kind.colour = *colorMatrix;
        kind.grey = grayMatrix ? *grayMatrix : kIdentity;
        kind.flags = mode;
    });
    if (status == Ok)
        DllExports::GdipSetImageAttributesColorMatrix(nativeAttributes, type, TRUE, colorMatrix, grayMatrix, mode);
    return status;
}

Status ImageAttributes::ClearColorMatrices(ColorAdjustType type) { return ClearColorMatrix(type); }

Status ImageAttributes::ClearColorMatrix(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.matrixOn = false; });
    if (status == Ok)
        DllExports::GdipSetImageAttributesColorMatrix(nativeAttributes, type, FALSE, nullptr, nullptr,
                                                      ColorMatrixFlagsDefault);
    return status;
}

Status ImageAttributes::SetToIdentity(ColorAdjustType type)
{
    return SetColorMatrix(&kIdentity, ColorMatrixFlagsDefault, type);
}

Status ImageAttributes::Reset(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind = ColorAdjustments(); });
    if (status == Ok) DllExports::GdipResetImageAttributes(nativeAttributes, type);
    return status;
}

Status ImageAttributes::SetColorKey(const Color& colorLow, const Color& colorHigh, ColorAdjustType type)
{
    const Status status = Record(type, Ok, [&](ColorAdjustments& kind) {
        kind.keyOn = true;
        kind.keyLow = colorLow.GetValue();
        kind.keyHigh = colorHigh.GetValue();
    });
    if (status == Ok)
        DllExports::GdipSetImageAttributesColorKeys(nativeAttributes, type, TRUE, colorLow.GetValue(),
                                                    colorHigh.GetValue());
    return status;
}

Status ImageAttributes::ClearColorKey(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.keyOn = false; });
    if (status == Ok) DllExports::GdipSetImageAttributesColorKeys(nativeAttributes, type, FALSE, 0, 0);
    return status;
}

Status ImageAttributes::SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type)
{
    std::shared_ptr<const std::unordered_map<ARGB, ARGB>> table;
    Status check = !map || mapSize == 0 ? InvalidParameter : (mapSize > kMostRemapEntries ? OutOfMemory : Ok);
    if (check == Ok && type >= ColorAdjustTypeDefault && type < ColorAdjustTypeCount) {
        table = RemapOf(mapSize, map);
        if (!table) check = OutOfMemory;
    }
    const Status status = Record(type, check, [&](ColorAdjustments& kind) { kind.remap = table; });
    if (status == Ok) DllExports::GdipSetImageAttributesRemapTable(nativeAttributes, type, TRUE, mapSize, map);
    return status;
}

Status ImageAttributes::ClearRemapTable(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.remap.reset(); });
    if (status == Ok) DllExports::GdipSetImageAttributesRemapTable(nativeAttributes, type, FALSE, 0, nullptr);
    return status;
}

Status ImageAttributes::SetGamma(REAL gamma, ColorAdjustType type)
{
    const Status status =
        Record(type, gamma > 0 && std::isfinite(gamma) ? Ok : InvalidParameter, [&](ColorAdjustments& kind) {
            kind.gammaOn = true;
            kind.gamma = gamma;
        });
    if (status == Ok) DllExports::GdipSetImageAttributesGamma(nativeAttributes, type, TRUE, gamma);
    return status;
}

Status ImageAttributes::ClearGamma(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.gammaOn = false; });
    if (status == Ok) DllExports::GdipSetImageAttributesGamma(nativeAttributes, type, FALSE, 0);
    return status;
}

Status ImageAttributes::SetThreshold(REAL threshold, ColorAdjustType type)
{
    // Thresholds outside 0 to 1 are taken: below, every channel goes to full; above, to none.
    const Status status = Record(type, std::isnan(threshold) ? InvalidParameter : Ok, [&](ColorAdjustments& kind) {
        kind.thresholdOn = true;
        kind.threshold = threshold;
    });
    if (status == Ok) DllExports::GdipSetImageAttributesThreshold(nativeAttributes, type, TRUE, threshold);
    return status;
}

Status ImageAttributes::ClearThreshold(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.thresholdOn = false; });
    if (status == Ok) DllExports::GdipSetImageAttributesThreshold(nativeAttributes, type, FALSE, 0);
    return status;
}

Status ImageAttributes::SetNoOp(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.noOp = true; });
    if (status == Ok) DllExports::GdipSetImageAttributesNoOp(nativeAttributes, type, TRUE);
    return status;
}

Status ImageAttributes::ClearNoOp(ColorAdjustType type)
{
    const Status status = Record(type, Ok, [](ColorAdjustments& kind) { kind.noOp = false; });
    if (status == Ok) DllExports::GdipSetImageAttributesNoOp(nativeAttributes, type, FALSE);
    return status;
}

Status ImageAttributes::SetWrapMode(WrapMode wrap, const Color& color, BOOL clamp)
{
    if (!adjustments || !nativeAttributes) return SetStatus(OutOfMemory);
    if (wrap < WrapModeTile || wrap > WrapModeClamp) return SetStatus(InvalidParameter);
    adjustments->wrap = wrap;
    adjustments->clampColour = color.GetValue();
    DllExports::GdipSetImageAttributesWrapMode(nativeAttributes, wrap, color.GetValue(), clamp);
    return SetStatus(Ok);
}

}  // namespace Gdiplus
