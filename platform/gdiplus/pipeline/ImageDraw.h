// Pictures drawn onto a turned or sheared parallelogram by the layer: the destination's pixels are carried
// back into the picture and sampled there (bicubic, bilinear, or the nearest pixel), and the parallelogram's edges are
// covered exactly as a filled figure's. libgdiplus hands such draws to pixman, which resamples with a
// general filter several times slower.
#pragma once

#include "DeviceFigure.h"
#include "PixelView.h"

namespace Gdiplus {

class DeviceClip;

// How a picture is sampled between its pixels: the nearest pixel, the two-by-two around the point, or the
// four-by-four weighted by Keys' cubic (a = -0.5).
enum class ImageSampling { Nearest, Bilinear, Bicubic };

// Draws the `from` rectangle of `source` through `toDevice`, which carries the picture's pixel coordinates
// (pixel (i, j) spans [i, i + 1] x [j, j + 1]) to device coordinates (pixel centres on whole numbers),
// composited source over `target`, or with `copying` put in place of the pixels it covers (edge pixels take
// the sample scaled to their coverage, as the layer's fills copy). The rectangle may be of fractional pixels
// and reach past the picture: only the picture's pixels it reaches into are sampled, and beyond them edge
// pixels blend with transparency, as GDI+'s do (the nearest pixel keeps to the rectangle's edges). False,
// having drawn nothing, when the map cannot be inverted or reaches values that are not numbers. A `clip`,
// when given, keeps the drawing to the device pixels it lets through. An unscaled upright picture whose
// pixels land on whole device pixels is copied as it is.
bool DrawImageMapped(const PixelView& target, const PixelView& source, const RectF& from, const DeviceMap& toDevice,
                     ImageSampling sampling, bool copying, DeviceClip* clip = nullptr);

// ScaleDownByArea and ScaleNearest (PixelView.h) kept to the device pixels `clip` lets through, each pixel
// there as it is without the clip; with no clip, the whole destination.
void ScaleDownByArea(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy,
                     DeviceClip* clip);
void ScaleNearest(const PixelView& src, const Rect& from, const PixelView& dst, const Rect& to, bool sourceCopy,
                  DeviceClip* clip);

}  // namespace Gdiplus
