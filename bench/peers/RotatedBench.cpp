// Shapes and a picture drawn under a 30-degree rotation, by the library and by its peers: the route a
// turned drawing takes must be as fast as the plain one.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <memory>

#include "../Ratios.h"
#include "Peers.h"

namespace {

using namespace peers;

const float kTurn = 30.0f;
const int kPhotoWidth = 800, kPhotoHeight = 600, kPhotos = 4;

// The canvas's context turned about (cx, cy); the caller resets it.
void TurnAbout(Gdiplus::Graphics& graphics, float cx, float cy)
{
    graphics.ResetTransform();
    graphics.TranslateTransform(cx, cy);
    graphics.RotateTransform(kTurn);
    graphics.TranslateTransform(-cx, -cy);
}

// ---- ellipses and rounded rectangles, each turned about its centre, filled and outlined ----

void BM_TurnedShapes(benchmark::State& state, bool ellipses)
{
    Gdiplus::Graphics& graphics = *Canvas().m_pGraphics;
    Gdiplus::Pen outline(Gdiplus::Color(255, 80, 60, 40), 1.0f);
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const Spot at = SpotOf(i);
            TurnAbout(graphics, at.x + 45.0f, at.y + 25.0f);
            if (ellipses) {
                Gdiplus::SolidBrush fill(Gdiplus::Color(255, 250, 220, BYTE(i)));
                graphics.FillEllipse(&fill, at.x, at.y, 90, 50);
                graphics.DrawEllipse(&outline, at.x, at.y, 90, 50);
            } else {
                Canvas().FillRoundRect(at.x, at.y, 90, 50, 255, 250, 220, BYTE(i), 255, 80, 60, 40, 8);
            }
        }
    graphics.ResetTransform();
}

void BM_QtTurnedShapes(benchmark::State& state, bool ellipses)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(80, 60, 40), 1.0));
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const Spot at = SpotOf(i);
            painter.resetTransform();
            painter.translate(at.x + 45.0, at.y + 25.0);
            painter.rotate(kTurn);
            painter.translate(-(at.x + 45.0), -(at.y + 25.0));
            painter.setBrush(QColor(250, 220, i % 256));
            if (ellipses)
                painter.drawEllipse(QRectF(at.x, at.y, 90, 50));
            else
                painter.drawRoundedRect(QRectF(at.x, at.y, 89, 49), 8, 8);
        }
}

void BM_CairoTurnedShapes(benchmark::State& state, bool ellipses)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    cairo_set_line_width(cr, 1.0);
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const Spot at = SpotOf(i);
            cairo_identity_matrix(cr);
            cairo_translate(cr, at.x + 45.0, at.y + 25.0);
            cairo_rotate(cr, kTurn * M_PI / 180.0);
            cairo_translate(cr, -(at.x + 45.0), -(at.y + 25.0));
            cairo_new_path(cr);
            if (ellipses) {
                cairo_save(cr);
                cairo_translate(cr, at.x + 45.0, at.y + 25.0);
                cairo_scale(cr, 45.0, 25.0);
                cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
                cairo_restore(cr);
            } else {
                CairoRoundRect(cr, at.x, at.y, 89, 49, 8);
            }
            cairo_set_source_rgb(cr, 250 / 255.0, 220 / 255.0, (i % 256) / 255.0);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 80 / 255.0, 60 / 255.0, 40 / 255.0);
            cairo_stroke(cr);
        }
    cairo_destroy(cr);
}

// ---- an 800 x 600 photo drawn turned, bilinear, at its size ----

// The top-left 800 x 600 of the large picture, rows at the large picture's stride.
const uint32_t* PhotoPixels() { return LargePixels().data(); }
const int kPhotoStride = kLargeWidth * 4;

void BM_TurnedPhoto(benchmark::State& state)
{
    Gdiplus::Bitmap photo(kPhotoWidth, kPhotoHeight, kPhotoStride, PixelFormat32bppPARGB,
                          reinterpret_cast<BYTE*>(const_cast<uint32_t*>(PhotoPixels())));
    Gdiplus::Graphics& graphics = *Canvas().m_pGraphics;
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
    for (auto _ : state)
        for (int i = 0; i < kPhotos; ++i) {
            TurnAbout(graphics, 500.0f + 300 * i, 500.0f);
            graphics.DrawImage(&photo, Gdiplus::RectF(100.0f + 300 * i, 200.0f, kPhotoWidth, kPhotoHeight));
        }
    graphics.ResetTransform();
}

void BM_QtTurnedPhoto(benchmark::State& state)
{
    const QImage photo(reinterpret_cast<const uchar*>(PhotoPixels()), kPhotoWidth, kPhotoHeight, kPhotoStride,
                       QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (auto _ : state)
        for (int i = 0; i < kPhotos; ++i) {
            painter.resetTransform();
            painter.translate(500.0 + 300 * i, 500.0);
            painter.rotate(kTurn);
            painter.translate(-(500.0 + 300 * i), -500.0);
            painter.drawImage(QPointF(100.0 + 300 * i, 200.0), photo);
        }
}

void BM_CairoTurnedPhoto(benchmark::State& state)
{
    cairo_surface_t* photo = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(PhotoPixels())), CAIRO_FORMAT_ARGB32, kPhotoWidth,
        kPhotoHeight, kPhotoStride);
    cairo_t* cr = cairo_create(CairoCanvas());
    for (auto _ : state)
        for (int i = 0; i < kPhotos; ++i) {
            cairo_identity_matrix(cr);
            cairo_translate(cr, 500.0 + 300 * i, 500.0);
            cairo_rotate(cr, kTurn * M_PI / 180.0);
            cairo_translate(cr, -(500.0 + 300 * i), -500.0);
            cairo_set_source_surface(cr, photo, 100.0 + 300 * i, 200.0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
            cairo_rectangle(cr, 100.0 + 300 * i, 200.0, kPhotoWidth, kPhotoHeight);
            cairo_fill(cr);
        }
    cairo_destroy(cr);
    cairo_surface_destroy(photo);
}

const bool kRegistered = [] {
    auto add = [](const std::string& name, auto run) {
        return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
    };
    const std::string shapes = "/200-turned-30";
    add("peer:TurnedEllipse" + shapes, [](benchmark::State& s) { BM_TurnedShapes(s, true); });
    add("peer:TurnedRoundRect" + shapes, [](benchmark::State& s) { BM_TurnedShapes(s, false); });
    add("peer:qt-turned-ellipse" + shapes, [](benchmark::State& s) { BM_QtTurnedShapes(s, true); });
    add("peer:qt-turned-roundrect" + shapes, [](benchmark::State& s) { BM_QtTurnedShapes(s, false); });
    add("peer:cairo-turned-ellipse" + shapes, [](benchmark::State& s) { BM_CairoTurnedShapes(s, true); });
    add("peer:cairo-turned-roundrect" + shapes, [](benchmark::State& s) { BM_CairoTurnedShapes(s, false); });
    PeerRows().push_back({"peer:TurnedEllipse" + shapes,
                          {"peer:qt-turned-ellipse" + shapes, "peer:cairo-turned-ellipse" + shapes}, 1.0, 0});
    PeerRows().push_back({"peer:TurnedRoundRect" + shapes,
                          {"peer:qt-turned-roundrect" + shapes, "peer:cairo-turned-roundrect" + shapes}, 1.0, 0});

    // Qt blends large spans on a thread pool: CPU time is counted for the whole process.
    const std::string photo = "/800x600-x4-turned-30-bilinear";
    add("peer:TurnedDrawImage" + photo, BM_TurnedPhoto)->MeasureProcessCPUTime();
    add("peer:qt-turned-image" + photo, BM_QtTurnedPhoto)->MeasureProcessCPUTime();
    add("peer:cairo-turned-image" + photo, BM_CairoTurnedPhoto)->MeasureProcessCPUTime();
    PeerRows().push_back(
        {"peer:TurnedDrawImage" + photo, {"peer:qt-turned-image" + photo, "peer:cairo-turned-image" + photo}, 1.0, 0});
    return true;
}();

}  // namespace
