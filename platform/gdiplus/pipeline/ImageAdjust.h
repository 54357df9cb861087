// The colour adjustments of an ImageAttributes applied by the layer to a picture's pixels before it is drawn:
// colour key, remap table, colour (and grey) matrix, threshold and gamma, in that order, on straight colours,
// and the wrap mode that fills the picture's surroundings where a source rectangle reaches past its edges.
// The adjusted pixels are a picture of their own, drawn by the same routes as a picture without attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

// The most entries a remap table holds (as many as a blend); more is OutOfMemory.
constexpr UINT kMostRemapEntries = 1u << 20;

// What one kind of drawing (a ColorAdjustType) is adjusted by.
struct ColorAdjustments {
    bool noOp = false;
    bool matrixOn = false;
    ColorMatrix colour{};
    ColorMatrix grey{};
    ColorMatrixFlags flags = ColorMatrixFlagsDefault;
    bool keyOn = false;
    ARGB keyLow = 0, keyHigh = 0;
    // Old colour to new colour, the first entry of a colour winning; shared by clones, replaced whole.
    std::shared_ptr<const std::unordered_map<ARGB, ARGB>> remap;
    bool gammaOn = false;
    REAL gamma = 1.0f;
    bool thresholdOn = false;
    REAL threshold = 0.0f;

    // True once anything is set for the kind, which then no longer falls back to the default kind.
    bool AnySet() const { return noOp || matrixOn || keyOn || remap || gammaOn || thresholdOn; }
    // True when drawing with these changes no pixel.
    bool ChangesNothing() const;
};

// The layer's record of an ImageAttributes.
struct ImageAdjustments {
    ColorAdjustments kinds[ColorAdjustTypeCount];
    WrapMode wrap = WrapModeClamp;
    // The colour outside the picture under WrapModeClamp (transparent until SetWrapMode gives one).
    ARGB clampColour = 0;

    // What a bitmap is drawn with: the bitmap kind's own settings once any is set, else the default kind's.
    const ColorAdjustments& ForBitmaps() const;
};

// How a picture's 32-bit pixels hold their colour.
enum class PixelKind { Straight, Premultiplied, Opaque };

// A picture's pixels as the stage reads them.
struct PictureRows {
    const uint32_t* scan0 = nullptr;
    ptrdiff_t strideWords = 0;
    INT width = 0, height = 0;
    PixelKind kind = PixelKind::Straight;
};

// Adjusted pixels of an area of picture coordinates, which may reach past the picture.
struct AdjustedPicture {
    std::vector<uint32_t> pixels;
    INT width = 0, height = 0;
    PixelFormat format = PixelFormat32bppARGB;
};

// The area's pixels (inside the picture: its adjusted pixels; outside: by the wrap mode, the picture
// repeated or mirrored, or the clamp colour) in the source's own 32-bit form where it can keep it. False
// when the area is empty or too large to hold (over 2^28 pixels).
bool AdjustPictureArea(const PictureRows& source, const Rect& area, const ImageAdjustments& adjustments,
                       AdjustedPicture* out);

}  // namespace Gdiplus
