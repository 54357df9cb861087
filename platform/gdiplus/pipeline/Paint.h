// The paint stage: a brush's colours at device pixels, for the fills the layer composites itself
// (GdiplusAntialiased.cpp). A solid brush is one colour and stays the fast path; hatches, linear gradients,
// textures and path gradients give a span of premultiplied pixels for each run of covered pixels
// (PaintHatch.cpp, PaintLinear.cpp, PaintTexture.cpp, PaintPathGradient.cpp).
#pragma once

#include <cstdint>
#include <memory>

#include "AliasedCoverage.h"
#include "DeviceFigure.h"

namespace Gdiplus {

class Brush;
class Pen;

// The colours of one brush at device pixels. Pixel (x, y) is sampled at its centre, which the device map puts
// at (x, y).
class Shader {
public:
    virtual ~Shader() = default;
    // Writes the premultiplied colours of pixels x .. x + count - 1 of row y.
    virtual void Span(INT x, INT y, INT count, uint32_t* out) const = 0;
    // True when every pixel it writes is opaque (a fully covered run then takes them as they are).
    virtual bool Opaque() const { return false; }
    // True when a pixel's colour depends on its place alone, not on the run it is asked for with (the pixels
    // at an outline may then be asked for a run at a time).
    virtual bool PixelWise() const { return false; }
};

// A brush's paint, chosen once per fill: one solid colour, or a shader. Empty (Valid() false) for a brush the
// stage does not paint, which the engine then draws.
class PaintSource {
public:
    // One solid straight colour.
    explicit PaintSource(ARGB colour) : solid(true), colour(colour) {}
    // The brush drawn through the map (world to device), its hatches laid from the rendering origin.
    PaintSource(const Brush* brush, const DeviceMap& map, const Point& renderingOrigin);

    bool Valid() const { return solid || shader != nullptr; }
    // True for one solid colour, with *straight set to it.
    bool Solid(ARGB* straight) const
    {
        if (solid) *straight = colour;
        return solid;
    }
    // Composites the brush's pixels x .. x + count - 1 of row y, scaled to the coverage (1 to 255), over
    // the row's pixels (premultiplied) from `row` on; copies them in their place once CopyInstead is called.
    void Composite(uint32_t* row, INT x, INT y, INT count, int coverage) const;
    // True when CompositeShares gives the pixels Composite gives one at a time.
    bool PixelWise() const { return shader && shader->PixelWise(); }
    // As Composite for each of pixels x .. x + count - 1 (count at most 64) with its own coverage, shares[i]
    // (0 to 255) that of pixel x + i.
    void CompositeShares(uint32_t* row, INT x, INT y, INT count, const uint8_t* shares) const;
    // Copying compositing (GDI+'s SourceCopy): the covered pixels take the brush's colour, its alpha scaled
    // by the coverage, in place of what they held. The paint is then never Solid: it goes by Composite.
    void CopyInstead();

private:
    bool copying = false;
    bool solid = false;
    bool opaque = false;  // the shader's pixels are all opaque
    ARGB colour = 0;
    std::unique_ptr<Shader> shader;
};

// The paint of a pen's stroke: its colour (as PenOutline reads it) for a pen of one colour, else its brush
// anchored as the brush of a fill through the same map; empty for a pen whose brush the stage does not paint.
PaintSource PenPaint(const Pen* pen, ARGB colour, const DeviceMap& map, const Point& renderingOrigin);

// The shaders of each brush kind; nullptr for a brush (or a state of it) they do not paint.
std::unique_ptr<Shader> MakeHatchShader(const Brush* brush, const Point& renderingOrigin);
std::unique_ptr<Shader> MakeLinearShader(const Brush* brush, const DeviceMap& map);
std::unique_ptr<Shader> MakeTextureShader(const Brush* brush, const DeviceMap& map);
std::unique_ptr<Shader> MakePathGradientShader(const Brush* brush, const DeviceMap& map);

// The map that applies `first`, then `second`.
DeviceMap ThenMap(const DeviceMap& first, const DeviceMap& second);

class DeviceClip;
class PixelView;

/// Composites the paint, whole, over the runs of row y that the clip lets through (the runs are narrowed to
/// those): the premultiplied colour `solid`, or the shaded paint when that is 0.
void PaintWholeRuns(const PixelView& target, const PaintSource& paint, uint32_t solid, INT y, DeviceClip& clip,
                    PixelRuns* runs);

}  // namespace Gdiplus
