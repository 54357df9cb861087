// What the peer workloads share: the canvas size, where shapes go, and each library's canvas, made once.
#pragma once

#include <cairo.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "FxPictor.h"

namespace peers {

const int kWidth = 1920, kHeight = 1080;
const int kShapes = 200, kStrings = 200, kGradients = 20;
const int kLargeWidth = 4000, kLargeHeight = 3000, kThumbWidth = 800, kThumbHeight = 600;

struct Spot {
    int x, y;
};
inline Spot SpotOf(int i) { return Spot{(i * 137) % 1800, (i * 61) % 1000}; }

// Qt needs an application object for its fonts; it runs without a display.
QGuiApplication& QtApp();
// Each library's 1920 x 1080 canvas, anti-aliased.
CFxPictor& Canvas();
QImage& QtCanvas();
cairo_surface_t* CairoCanvas();
// A photo-like 4000 x 3000 picture, the same bytes for every library.
const std::vector<uint32_t>& LargePixels();
// A rounded rectangle with corners of radius r, as a new sub-path of cairo's current path.
void CairoRoundRect(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace peers
